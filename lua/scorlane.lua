-- scorlane: load Standard MIDI Files into Lua tables, and work with their time.
--
--   local scorlane = require("scorlane")
--   local song = scorlane.load("song.mid")       -- the native Scorlane function itself
--   local timing = scorlane.timing(song)
--   print(timing:seconds(song[2][1].noteon))
--
-- This file finds the native library (scorlane.so or scorlane.dll) along
-- package.cpath and binds its one function, Scorlane. The helpers below are
-- plain Lua working on the table Scorlane returns; they never change it.

local M = {}

local function fileExists(path)
  local file = io.open(path, "rb")
  if file then
    file:close()
    return true
  end
  return false
end

-- package.searchpath, which PUC Lua 5.1 lacks.
local function searchPath(name, path)
  if package.searchpath then return package.searchpath(name, path) end
  local tried = {}
  for template in path:gmatch("[^;]+") do
    local candidate = template:gsub("%?", (name:gsub("%.", package.config:sub(1, 1))))
    if fileExists(candidate) then return candidate end
    tried[#tried + 1] = "\n\tno file '" .. candidate .. "'"
  end
  return nil, table.concat(tried)
end

local nativePath, tried = searchPath("scorlane", package.cpath)
if not nativePath then
  error("scorlane: native library not found along package.cpath:" .. tried, 2)
end
local native, bindError = package.loadlib(nativePath, "Scorlane")
if not native then
  error("scorlane: cannot bind Scorlane in '" .. nativePath .. "': " .. tostring(bindError), 2)
end

--- Loads a MIDI file: the result table, or nothing. The native function itself.
M.load = native
--- Where the native library was found.
M.nativePath = nativePath

local DEFAULT_BPM = 120
local DEFAULT_NUMERATOR, DEFAULT_DENOMINATOR = 4, 4

-- Index of the last entry of `list` whose `key` is <= value (list sorted by key),
-- or 0 when there is none.
local function lastAtOrBefore(list, key, value)
  local low, high = 1, #list
  local found = 0
  while low <= high do
    local middle = math.floor((low + high) / 2)
    if list[middle][key] <= value then
      found = middle
      low = middle + 1
    else
      high = middle - 1
    end
  end
  return found
end

local Timing = {}
Timing.__index = Timing

--- Seconds from the start of the song at `tick`.
function Timing:seconds(tick)
  local segment = self.segments[math.max(1, lastAtOrBefore(self.segments, "tick", tick))]
  return segment.seconds + (tick - segment.tick) * segment.secondsPerTick
end

--- The tick at `seconds` from the start of the song (fractional ticks included).
function Timing:ticks(seconds)
  local segment = self.segments[math.max(1, lastAtOrBefore(self.segments, "seconds", seconds))]
  return segment.tick + (seconds - segment.seconds) / segment.secondsPerTick
end

--- Bar and beat at `tick`, both counted from 1, and the ticks into that beat.
-- A meter change starts a new bar, also when it falls inside one.
function Timing:barbeat(tick)
  local meter = self.meters[math.max(1, lastAtOrBefore(self.meters, "tick", tick))]
  local into = tick - meter.tick
  local bars = math.floor(into / meter.barTicks)
  local inBar = into - bars * meter.barTicks
  local beats = math.floor(inBar / meter.beatTicks)
  return meter.bar + bars, beats + 1, inBar - beats * meter.beatTicks
end

-- Seconds per tick: from the tempo for a metrical division, from the frame
-- rate for a time-code one (top bit set: -frames per second, ticks per frame).
local function secondsPerTickFunction(resolution)
  if resolution >= 0x8000 then
    local framesPerSecond = 256 - math.floor(resolution / 256)
    if framesPerSecond == 29 then framesPerSecond = 30000 / 1001 end
    local perTick = 1 / (framesPerSecond * (resolution % 256))
    return function() return perTick end
  end
  if resolution <= 0 then error("scorlane.timing: a resolution of 0 has no tick length", 3) end
  return function(bpm) return 60 / (bpm * resolution) end
end

--- Prepares the tempo and meter maps of a loaded song for the conversions
-- above: linear time now, logarithmic time per conversion. Before the first
-- tempo entry the tempo is 120 bpm; before the first meter, 4/4.
function M.timing(song)
  local perTick = secondsPerTickFunction(song.resolution)
  local segments = { { tick = 0, seconds = 0, bpm = DEFAULT_BPM, secondsPerTick = perTick(DEFAULT_BPM) } }
  for _, change in ipairs(song.bpm) do
    local last = segments[#segments]
    if change.time <= last.tick then
      -- Several tempos at one tick: the last one holds.
      last.bpm, last.secondsPerTick = change.bpm, perTick(change.bpm)
    else
      segments[#segments + 1] = {
        tick = change.time,
        seconds = last.seconds + (change.time - last.tick) * last.secondsPerTick,
        bpm = change.bpm,
        secondsPerTick = perTick(change.bpm),
      }
    end
  end

  local quarter = song.resolution < 0x8000 and song.resolution or 1
  local function meter(tick, bar, numerator, denominator)
    local beatTicks = quarter * 4 / denominator
    return { tick = tick, bar = bar, numerator = numerator, denominator = denominator,
             beatTicks = beatTicks, barTicks = beatTicks * numerator }
  end
  local meters = { meter(0, 1, DEFAULT_NUMERATOR, DEFAULT_DENOMINATOR) }
  for _, change in ipairs(song.beat) do
    local last = meters[#meters]
    if change.beat > 0 and change.denom > 0 then
      if change.time <= last.tick then
        meters[#meters] = meter(last.tick, last.bar, change.beat, change.denom)
      else
        local bars = math.ceil((change.time - last.tick) / last.barTicks)
        meters[#meters + 1] = meter(change.time, last.bar + bars, change.beat, change.denom)
      end
    end
  end
  return setmetatable({ segments = segments, meters = meters }, Timing)
end

--- All notes of all tracks in time order (by noteon; notes that start together
-- keep track order, then file order). Returns the song's own note tables, and
-- a parallel list of the track number (the key in the song) of each.
function M.notes(song)
  local merged, tracks = {}, {}
  local heads = {}  -- heap of {track, index} ordered by (noteon, track)
  local function less(a, b)
    local x, y = song[a[1]][a[2]].noteon, song[b[1]][b[2]].noteon
    if x ~= y then return x < y end
    return a[1] < b[1]
  end
  local function push(item)
    heads[#heads + 1] = item
    local i = #heads
    while i > 1 do
      local parent = math.floor(i / 2)
      if not less(heads[i], heads[parent]) then break end
      heads[i], heads[parent] = heads[parent], heads[i]
      i = parent
    end
  end
  local function pop()
    local top = heads[1]
    heads[1] = heads[#heads]
    heads[#heads] = nil
    local i, n = 1, #heads
    while true do
      local left, right, smallest = 2 * i, 2 * i + 1, i
      if left <= n and less(heads[left], heads[smallest]) then smallest = left end
      if right <= n and less(heads[right], heads[smallest]) then smallest = right end
      if smallest == i then break end
      heads[i], heads[smallest] = heads[smallest], heads[i]
      i = smallest
    end
    return top
  end
  for track = 1, #song do
    if song[track][1] then push({ track, 1 }) end
  end
  while #heads > 0 do
    local item = pop()
    local track, index = item[1], item[2]
    merged[#merged + 1] = song[track][index]
    tracks[#tracks + 1] = track
    if song[track][index + 1] then push({ track, index + 1 }) end
  end
  -- Each track's notes are in noteon order unless its ticks wrapped: check.
  for i = 2, #merged do
    if merged[i].noteon < merged[i - 1].noteon then
      local order = {}
      for j = 1, #merged do order[j] = j end
      table.sort(order, function(a, b)
        local x, y = merged[a].noteon, merged[b].noteon
        if x ~= y then return x < y end
        return a < b
      end)
      local sortedNotes, sortedTracks = {}, {}
      for j, k in ipairs(order) do sortedNotes[j], sortedTracks[j] = merged[k], tracks[k] end
      return sortedNotes, sortedTracks
    end
  end
  return merged, tracks
end

local Window = {}
Window.__index = Window

--- The notes sounding at some moment of [from, to) seconds: those that start
-- before `to` and end after `from` (a note of zero length counts when it
-- starts inside the window). Returns a list of note tables and a parallel list
-- of their track numbers, in time order.
function Window:sounding(from, to)
  local notes, found, foundTracks = self.notes, {}, {}
  -- Candidates end after `from`: skip the prefix whose latest end is earlier.
  local low, high = 1, #notes
  local first = #notes + 1
  while low <= high do
    local middle = math.floor((low + high) / 2)
    if self.latestEnd[middle] > from or self.starts[middle] >= from then
      first = middle
      high = middle - 1
    else
      low = middle + 1
    end
  end
  for i = first, #notes do
    local start = self.starts[i]
    if start >= to then break end
    if self.ends[i] > from or start >= from then
      found[#found + 1] = notes[i]
      foundTracks[#foundTracks + 1] = self.tracks[i]
    end
  end
  return found, foundTracks
end

--- Prepares a loaded song for window queries in seconds (what a rhythm game asks
-- every frame): linear time now, then a binary search and the notes found per query.
function M.window(song)
  local timing = M.timing(song)
  local notes, tracks = M.notes(song)
  local starts, ends, latestEnd = {}, {}, {}
  local latest = -math.huge
  for i, note in ipairs(notes) do
    starts[i] = timing:seconds(note.noteon)
    ends[i] = timing:seconds(note.noteoff)
    if ends[i] > latest then latest = ends[i] end
    latestEnd[i] = latest
  end
  return setmetatable({ notes = notes, tracks = tracks, starts = starts, ends = ends,
                        latestEnd = latestEnd, timing = timing }, Window)
end

return M
