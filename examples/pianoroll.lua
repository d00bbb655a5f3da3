-- Draws a MIDI file as a piano roll in SVG: one colour per track, pitch bends
-- over their notes, bar lines from the meter map, tempo changes and lyrics along
-- the time axis, which is in seconds.
--   lua5.1 examples/pianoroll.lua song.mid out.svg      (luajit works too)
-- Needs require("scorlane"): run from the repository root after a build, or with
-- scorlane installed (LuaRocks, or scorlane.lua and the native library on the paths).

local scriptDir = arg[0]:match("^(.*)[/\\]") or "."
package.path = scriptDir .. "/../lua/?.lua;" .. package.path
package.cpath = scriptDir .. "/../build/?.so;" .. package.cpath
local scorlane = require("scorlane")

local input, output = arg[1], arg[2]
if not input or not output then
  io.stderr:write("usage: pianoroll.lua song.mid out.svg\n")
  os.exit(2)
end
local song = scorlane.load(input)
if not song then
  io.stderr:write(input .. ": not a readable Standard MIDI File\n")
  os.exit(1)
end
local timing = scorlane.timing(song)

-- Layout ----------------------------------------------------------------------

local ROW = 6                -- pixels per semitone
local LEFT, RIGHT = 48, 16   -- margins
local TOP = 44               -- tempo marks and the seconds axis above the roll
local LYRIC_BAND = 28        -- lyrics below the roll
local MAX_WIDTH = 2400

local lowKey, highKey, endSeconds = 127, 0, 0
for _, track in ipairs(song) do
  for _, note in ipairs(track) do
    lowKey = math.min(lowKey, note.notenum)
    highKey = math.max(highKey, note.notenum)
    endSeconds = math.max(endSeconds, timing:seconds(note.noteoff))
  end
  endSeconds = math.max(endSeconds, timing:seconds(track.trackend))
end
if lowKey > highKey then lowKey, highKey = 60, 72 end
lowKey, highKey = math.max(0, lowKey - 2), math.min(127, highKey + 2)
endSeconds = math.max(endSeconds, 1)
local pixelsPerSecond = math.min(80, (MAX_WIDTH - LEFT - RIGHT) / endSeconds)
local rollHeight = (highKey - lowKey + 1) * ROW
local width = math.ceil(LEFT + endSeconds * pixelsPerSecond + RIGHT)
local height = TOP + rollHeight + LYRIC_BAND

local function x(seconds) return LEFT + seconds * pixelsPerSecond end
local function y(key) return TOP + (highKey - key) * ROW end  -- top edge of the key's row

-- SVG text --------------------------------------------------------------------

-- Texts in MIDI files are bytes in any encoding; SVG needs UTF-8 without control
-- characters. Valid UTF-8 passes; any other byte above 0x7F becomes "?".
local function xmlText(bytes)
  local out = {}
  local i = 1
  while i <= #bytes do
    local b = bytes:byte(i)
    local length = b < 0x80 and 1 or b >= 0xF0 and b < 0xF5 and 4 or b >= 0xE0 and 3
                   or b >= 0xC2 and b < 0xE0 and 2 or 0
    local valid = length > 0
    for j = i + 1, i + length - 1 do
      local c = bytes:byte(j)
      if not c or c < 0x80 or c > 0xBF then valid = false end
    end
    if not valid then
      out[#out + 1] = "?"
      i = i + 1
    else
      local piece = bytes:sub(i, i + length - 1)
      if length == 1 and (b < 0x20 or b == 0x7F) then piece = " " end
      out[#out + 1] = piece
      i = i + length
    end
  end
  return (table.concat(out):gsub("[&<>\"']", {
    ["&"] = "&amp;", ["<"] = "&lt;", [">"] = "&gt;", ['"'] = "&quot;", ["'"] = "&apos;" }))
end

local svg = {}
local function emit(format, ...) svg[#svg + 1] = string.format(format, ...) end

local function trackColour(index)
  local hue = ((index - 1) * 137.508) % 360  -- golden angle: neighbours differ
  return string.format("hsl(%.0f,70%%,45%%)", hue)
end

emit('<?xml version="1.0" encoding="UTF-8"?>')
emit('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d" '
     .. 'font-family="sans-serif" font-size="10">', width, height, width, height)
emit('<title>%s</title>', xmlText(input))
emit('<rect width="100%%" height="100%%" fill="#fbfbf8"/>')

-- Black-key rows and octave labels.
for key = lowKey, highKey do
  local pitchClass = key % 12
  if pitchClass == 1 or pitchClass == 3 or pitchClass == 6 or pitchClass == 8 or pitchClass == 10 then
    emit('<rect x="%d" y="%d" width="%.1f" height="%d" fill="#eeeee8"/>', LEFT, y(key),
         endSeconds * pixelsPerSecond, ROW)
  end
  if pitchClass == 0 then
    emit('<text x="4" y="%d">C%d</text>', y(key) + ROW, math.floor(key / 12) - 1)
  end
end

-- Bar lines from the meter map, with bar numbers every few bars.
do
  local bars, lastTick = {}, timing:ticks(endSeconds)
  for m, meter in ipairs(timing.meters) do
    local nextTick = timing.meters[m + 1] and timing.meters[m + 1].tick or lastTick + 1
    local tick, bar = meter.tick, meter.bar
    while tick < nextTick and tick <= lastTick do
      bars[#bars + 1] = { tick = tick, bar = bar }
      tick, bar = tick + meter.barTicks, bar + 1
    end
  end
  local labelEvery = math.max(1, math.ceil(#bars * 40 / (endSeconds * pixelsPerSecond)))
  for _, b in ipairs(bars) do
    local bx = x(timing:seconds(b.tick))
    emit('<line x1="%.1f" y1="%d" x2="%.1f" y2="%d" stroke="#c8c8c0" stroke-width="1"/>', bx, TOP,
         bx, TOP + rollHeight)
    if (b.bar - 1) % labelEvery == 0 then
      emit('<text x="%.1f" y="%d" fill="#888">%d</text>', bx + 2, TOP + rollHeight - 3, b.bar)
    end
  end
end

-- Seconds axis.
do
  local step = 1
  for _, s in ipairs({ 1, 2, 5, 10, 15, 30, 60, 120, 300 }) do
    step = s
    if s * pixelsPerSecond >= 50 then break end
  end
  for s = 0, endSeconds, step do
    emit('<line x1="%.1f" y1="%d" x2="%.1f" y2="%d" stroke="#444"/>', x(s), TOP - 6, x(s), TOP)
    emit('<text x="%.1f" y="%d">%ds</text>', x(s) + 2, TOP - 8, s)
  end
end

-- Tempo changes: marks along the top.
for _, change in ipairs(song.bpm) do
  local tx = x(timing:seconds(change.time))
  emit('<path d="M%.1f %d l4 -7 l-8 0 z" fill="#b04020"/>', tx, 30)
  emit('<text x="%.1f" y="%d" fill="#b04020">%g bpm</text>', tx + 5, 14, change.bpm)
end

-- Notes, then each track's bends drawn over the notes they bend.
for index, track in ipairs(song) do
  local colour = trackColour(index)
  emit('<g fill="%s" fill-opacity="0.85"><title>%s</title>', colour,
       xmlText(track.trackname ~= "" and track.trackname or ("track " .. index)))
  for _, note in ipairs(track) do
    local x1, x2 = x(timing:seconds(note.noteon)), x(timing:seconds(note.noteoff))
    emit('<rect x="%.1f" y="%d" width="%.1f" height="%d" rx="1"/>', x1, y(note.notenum),
         math.max(1, x2 - x1), ROW - 1)
  end
  emit('</g>')

  local bends = track.pitch
  if #bends > 0 then
    emit('<g fill="none" stroke="%s" stroke-width="1.5" stroke-opacity="0.9">', colour)
    for _, note in ipairs(track) do
      -- The bend in force when the note starts, then every bend while it sounds.
      local first = 0
      for b = 1, #bends do
        if bends[b].time <= note.noteon then first = b else break end
      end
      local points, bent = {}, false
      local centre = y(note.notenum) + ROW / 2
      local current = first > 0 and bends[first].pitch or 0
      points[1] = string.format("%.1f,%.1f", x(timing:seconds(note.noteon)), centre - current * ROW)
      bent = current ~= 0
      for b = first + 1, #bends do
        local bend = bends[b]
        if bend.time >= note.noteoff then break end
        local bx = x(timing:seconds(bend.time))
        points[#points + 1] = string.format("%.1f,%.1f", bx, centre - current * ROW)
        current = bend.pitch
        points[#points + 1] = string.format("%.1f,%.1f", bx, centre - current * ROW)
        bent = bent or current ~= 0
      end
      points[#points + 1] = string.format("%.1f,%.1f", x(timing:seconds(note.noteoff)),
                                          centre - current * ROW)
      if bent then emit('<polyline points="%s"/>', table.concat(points, " ")) end
    end
    emit('</g>')
  end
end

-- Lyrics along the bottom, alternating between two lines so neighbours don't collide.
for i, lyric in ipairs(song.lyric) do
  local lx = x(timing:seconds(lyric.time))
  emit('<text x="%.1f" y="%d" fill="#333">%s</text>', lx, TOP + rollHeight + 12 + (i % 2) * 12,
       xmlText(lyric.text))
end

emit('</svg>')

local file = assert(io.open(output, "wb"))
file:write(table.concat(svg, "\n"), "\n")
file:close()
