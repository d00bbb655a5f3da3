-- require("scorlane") and its timing helpers, with figures worked out by hand.
--   lua5.1 module_test.lua LUA_MODULE_DIR NATIVE_MODULE_DIR
local luaDir, nativeDir = assert(arg[1]), assert(arg[2])
package.path = luaDir .. "/?.lua;" .. package.path
package.cpath = nativeDir .. "/?.so;" .. nativeDir .. "/?.dll;" .. package.cpath

local F = dofile((arg[0]:match("^(.*)[/\\]") or ".") .. "/fixtures.lua")
local hex, track, smf, check, same = F.hex, F.track, F.smf, F.check, F.same

local scorlane = require("scorlane")

-- The module --------------------------------------------------------------

check("load is the native function itself", debug.getinfo(scorlane.load, "S").what == "C",
      scorlane.nativePath)
do
  local results = { scorlane.load(F.missingFile) }
  check("load of a missing file gives no values", #results == 0, #results)
end

do  -- A native library that cannot be found names the paths tried.
  package.loaded.scorlane = nil
  local savedCpath = package.cpath
  package.cpath = "nowhere/?.so"
  local ok, message = pcall(require, "scorlane")
  package.cpath = savedCpath
  package.loaded.scorlane = scorlane
  check("missing native library", not ok and tostring(message):find("nowhere/scorlane.so", 1, true),
        message)
end

-- Timing ----------------------------------------------------------------------

-- 480 ticks per quarter; 120 bpm at 0, 60 bpm at 960, 240 bpm at 1920.
-- Meters: 4/4 at 0, 3/4 at 3840 (bar 3), 6/8 at 6720 (bar 5).
local conductor = track(hex("00 ff 51 03 07 a1 20  00 ff 58 04 04 02 18 08"
    .. "  87 40 ff 51 03 0f 42 40"              -- +960: 1000000 us
    .. "  87 40 ff 51 03 03 d0 90"              -- +960: 250000 us
    .. "  8f 00 ff 58 04 03 02 18 08"           -- +1920 = 3840
    .. "  96 40 ff 58 04 06 03 18 08"           -- +2880 = 6720
    .. "  00 ff 2f 00"))
local song = scorlane.load(F.writeFile(smf(1, 480, { conductor })))
local timing = scorlane.timing(song)

local secondsCases = {  -- tick, seconds
  { 0, 0 }, { 480, 0.5 }, { 960, 1.0 }, { 1440, 2.0 }, { 1920, 3.0 }, { 2400, 3.25 }, { 3840, 4.0 },
}
for _, case in ipairs(secondsCases) do
  check("seconds at tick " .. case[1], timing:seconds(case[1]) == case[2], timing:seconds(case[1]))
  check("ticks at " .. case[2] .. " s", timing:ticks(case[2]) == case[1], timing:ticks(case[2]))
end
check("ticks at 2.5 s", timing:ticks(2.5) == 1680, timing:ticks(2.5))
check("ticks at 3.125 s", timing:ticks(3.125) == 2160, timing:ticks(3.125))

local barCases = {  -- tick, bar, beat, ticks into the beat
  { 0, 1, 1, 0 }, { 1919, 1, 4, 479 }, { 1920, 2, 1, 0 }, { 3840, 3, 1, 0 },
  { 3840 + 1440 + 480 + 10, 4, 2, 10 }, { 6720, 5, 1, 0 }, { 6720 + 250, 5, 2, 10 },
  { 6720 + 1440, 6, 1, 0 },
}
for _, case in ipairs(barCases) do
  same("bar and beat at tick " .. case[1], { case[2], case[3], case[4] }, { timing:barbeat(case[1]) })
end

do  -- No tempo map: 120 bpm. No meter map: 4/4. A meter change mid-bar starts a bar.
  local plain = scorlane.load(F.writeFile(smf(0, 96, {
    track(hex("60 ff 58 04 03 02 18 08  00 ff 2f 00")) })))
  local t = scorlane.timing(plain)
  check("120 bpm by default", t:seconds(96) == 0.5, t:seconds(96))
  same("a meter change mid-bar starts a bar", { 2, 1, 0 }, { t:barbeat(96) })
  same("4/4 before the first meter", { 1, 1, 95 }, { t:barbeat(95) })
end

do  -- The first tempo comes later: 120 bpm until then.
  local late = scorlane.load(F.writeFile(smf(0, 100, {
    track(hex("64 ff 51 03 0f 42 40  00 ff 2f 00")) })))
  local t = scorlane.timing(late)
  check("120 bpm before the first tempo", t:seconds(100) == 0.5, t:seconds(100))
  check("the later tempo", t:seconds(200) == 1.5, t:seconds(200))
end

-- Notes in time order, and the notes sounding in a window ---------------------

local twoTracks = scorlane.load(F.writeFile(smf(1, 480, {
  track(hex("00 ff 2f 00")),                                        -- 120 bpm throughout
  track(hex("00 90 3c 40  83 60 3c 00  00 3e 40  83 60 3e 00")),   -- 60: 0-480, 62: 480-960
  track(hex("00 90 30 40  87 40 30 00  00 90 32 40  00 32 00")),   -- 48: 0-960, 50: 960-960
})))
do
  local notes, tracks = scorlane.notes(twoTracks)
  local keys = {}
  for i, note in ipairs(notes) do keys[i] = note.notenum end
  same("notes merged in time order", { 60, 48, 62, 50 }, keys)
  same("their tracks", { 2, 3, 2, 3 }, tracks)
  check("the song's own note tables", notes[1] == twoTracks[2][1], "a copy")
end

do
  local window = scorlane.window(twoTracks)
  local function keysSounding(from, to)
    local notes = window:sounding(from, to)
    local keys = {}
    for i, note in ipairs(notes) do keys[i] = note.notenum end
    return keys
  end
  same("window at the start", { 60, 48 }, keysSounding(0, 0.1))
  same("window across a note boundary", { 60, 48, 62 }, keysSounding(0.4, 0.6))
  same("a note ending at the window start is over", { 48, 62 }, keysSounding(0.5, 0.6))
  same("a zero-length note inside the window", { 50 }, keysSounding(1.0, 1.1))
  same("past the end", {}, keysSounding(2, 3))
end

F.finish()
