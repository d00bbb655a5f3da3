-- Loads a MIDI file with Scorlane and prints what is in it.
--   lua5.1 examples/demo.lua [song.mid]     (luajit works the same way)
-- Without an argument it shows examples/demo.mid. The native library is looked
-- for in build/ beside this script's folder, then along package.cpath.

local scriptDir = (arg[0]:match("^(.*)[/\\]") or ".")
local function findModule()
  local candidates = { scriptDir .. "/../build/scorlane.so", scriptDir .. "/../build/scorlane.dll" }
  for template in package.cpath:gmatch("[^;]+") do
    candidates[#candidates + 1] = template:gsub("%?", "scorlane")
  end
  for _, path in ipairs(candidates) do
    local f = io.open(path, "rb")
    if f then
      f:close()
      return path
    end
  end
  error("scorlane native library not found; build it first (see README)")
end

local Scorlane = assert(package.loadlib(findModule(), "Scorlane"))
local fileName = arg[1] or (scriptDir .. "/demo.mid")
local song = Scorlane(fileName)
if not song then
  io.stderr:write(fileName .. ": not a readable Standard MIDI File\n")
  os.exit(1)
end

local NOTE_NAMES = { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" }
local function noteName(key)
  return NOTE_NAMES[key % 12 + 1] .. (math.floor(key / 12) - 1)
end

print(string.format("%s: %d track%s, %d ticks per quarter note", fileName, #song,
                    #song == 1 and "" or "s", song.resolution))

print("\nTracks")
for index, track in ipairs(song) do
  local line = string.format("  %2d  %-20s %5d notes", index, '"' .. track.trackname .. '"', #track)
  if #track > 0 then
    local first, last, low, high = math.huge, 0, 127, 0
    for _, note in ipairs(track) do
      first = math.min(first, note.noteon)
      last = math.max(last, note.noteoff)
      low = math.min(low, note.notenum)
      high = math.max(high, note.notenum)
    end
    line = line .. string.format("  ticks %d-%d  keys %s-%s", first, last, noteName(low), noteName(high))
  end
  if #track.pitch > 0 then
    local low, high = 0, 0
    for _, bend in ipairs(track.pitch) do
      low, high = math.min(low, bend.pitch), math.max(high, bend.pitch)
    end
    line = line .. string.format("  %d bends %+.2f..%+.2f st", #track.pitch, low, high)
  end
  print(line .. string.format("  end %d", track.trackend))
end

if #song.bpm > 0 then
  print("\nTempo map")
  for _, change in ipairs(song.bpm) do
    print(string.format("  tick %8d  %g bpm", change.time, change.bpm))
  end
end

if #song.beat > 0 then
  print("\nMeters")
  for _, change in ipairs(song.beat) do
    print(string.format("  tick %8d  %d/%d", change.time, change.beat, change.denom))
  end
end

local function showTexts(title, list, limit)
  if #list == 0 then return end
  print(string.format("\n%s (%d)", title, #list))
  for i = 1, math.min(#list, limit) do
    local entry = list[i]
    print(string.format("  tick %8d  track %d  %q", entry.time, entry.track + 1, entry.text))
  end
  if #list > limit then print("  ...") end
end

showTexts("Markers", song.marker, 8)
showTexts("Lyrics", song.lyric, 8)
showTexts("Texts", song.text, 8)
