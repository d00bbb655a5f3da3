-- The result table as a Lua script sees it. Runs under lua5.1 and luajit:
--   lua5.1 result_table_test.lua path/to/scorlane.so
local modulePath = assert(arg[1], "usage: result_table_test.lua path/to/scorlane.so")
local Scorlane = assert(package.loadlib(modulePath, "Scorlane"))

local F = dofile((arg[0]:match("^(.*)[/\\]") or ".") .. "/fixtures.lua")
local hex, track, smf, writeFile, describe, check = F.hex, F.track, F.smf, F.writeFile, F.describe, F.check

local function expectTable(name, bytes, expected)
  local ok, result = pcall(Scorlane, writeFile(bytes))
  if not ok then return check(name, false, "raised " .. tostring(result)) end
  F.same(name, expected, result)
end

local function expectNoValues(name, ...)
  local results = { pcall(Scorlane, ...) }
  check(name, results[1] == true and #results == 1,
        "expected no values, got " .. describe(results[2]) .. ", " .. describe(results[3]))
end

-- Loads that give no values ------------------------------------------------

expectNoValues("missing file", F.missingFile)
expectNoValues("empty file", writeFile(""))
expectNoValues("directory", F.directory)
expectNoValues("not a MIDI file", writeFile("RIFF\0\0\0\6\0\0\0\1\0\96"))
expectNoValues("missing track", writeFile(smf(1, 96, { track(hex("00 ff 2f 00")) }):gsub(
  "\0\1\0\96", "\0\2\0\96", 1)))
expectNoValues("no argument")
expectNoValues("nil argument", nil)
expectNoValues("table argument", {})
expectNoValues("boolean argument", true)

-- Whole tables --------------------------------------------------------------

-- Fills in the top-level lists a case leaves out: they are present and empty.
local function emptyLists(t)
  for _, key in ipairs({ "bpm", "beat", "lyric", "marker", "text" }) do
    t[key] = t[key] or {}
  end
  return t
end

expectTable("zero tracks", smf(1, 480, {}), emptyLists({ resolution = 480 }))

local function note(channel, on, off, key, velocity)
  return { channel = channel, noteon = on, noteoff = off, notenum = key, velocity = velocity }
end

expectTable("notes and the track layout",
  smf(0, 0x01E0, { track(hex("00 99 24 64  60 89 24 00  00 90 3c 40  81 00 3e 50  10 3c 00  "
                             .. "00 80 3e 00  00 ff 2f 00")) }),
  emptyLists({
    resolution = 480,
    [1] = {
      note(9, 0, 96, 36, 100), note(0, 96, 240, 60, 64), note(0, 224, 240, 62, 80),
      pitch = {}, trackname = "", trackend = 240,
    },
  }))

expectTable("a note still sounding ends with the track",
  smf(1, 96, { track(hex("00 90 3c 40  83 60 ff 2f 00")), track(hex("00 ff 2f 00")) }),
  emptyLists({
    resolution = 96,
    [1] = { note(0, 0, 480, 60, 64), pitch = {}, trackname = "", trackend = 480 },
    [2] = { pitch = {}, trackname = "", trackend = 0 },
  }))

expectTable("pitch bends scaled by the bend range",
  smf(0, 96, { track(hex("00 e0 00 40  10 e0 00 60  00 b0 65 00  00 64 00  00 06 0c  "
                         .. "10 e0 00 50  10 e3 00 00  00 ff 2f 00")) }),
  emptyLists({
    resolution = 96,
    [1] = {
      pitch = {
        { time = 0, pitch = 0 },
        { time = 16, pitch = 1.0 },   -- value 4096 under range 2
        { time = 32, pitch = 3.0 },   -- value 2048 under range 12
        { time = 48, pitch = -12.0 }, -- value -8192 under range 12
      },
      trackname = "", trackend = 48,
    },
  }))

expectTable("meta events: names, ends, maps from the first track",
  smf(1, 96, {
    track(hex("00 ff 03 05 'Tempo'  00 ff 51 03 07 a1 20  00 ff 58 04 06 03 18 08  "
              .. "60 ff 51 03 0a 2c 2b  00 ff 58 04 04 02 18 08  00 ff 2f 00")),
    track(hex("00 ff 03 04 'Bass'  00 ff 03 04 'Lead'  00 ff 51 03 07 a1 20  "
              .. "00 ff 58 04 03 02 18 08  10 ff 2f 00")),
  }),
  emptyLists({
    resolution = 96,
    [1] = { pitch = {}, trackname = "Tempo", trackend = 96 },
    [2] = { pitch = {}, trackname = "Lead", trackend = 16 },
    bpm = { { bpm = 120, time = 0 }, { bpm = 89.999, time = 96 } },
    beat = { { beat = 6, denom = 8, time = 0 }, { beat = 4, denom = 4, time = 96 } },
  }))

expectTable("texts numbered across tracks",
  smf(1, 96, {
    track(hex("00 ff 05 02 'La'  10 ff 05 04 'Li' 00 'x'  00 ff 06 01 'A'  00 ff 01 00")),
    track(hex("00 ff 05 02 'Lo'  20 ff 05 02 'Lu'  00 ff 01 04 'note'")),
  }),
  {
    resolution = 96, bpm = {}, beat = {},
    [1] = { pitch = {}, trackname = "", trackend = 0 },
    [2] = { pitch = {}, trackname = "", trackend = 0 },
    lyric = {
      { text = "La", time = 0, track = 0, index = 1 },
      { text = "Li", time = 16, track = 0, index = 2 },
      { text = "Lo", time = 0, track = 1, index = 3 },
      { text = "Lu", time = 32, track = 1, index = 4 },
    },
    marker = { { text = "A", time = 16, track = 0, index = 1 } },
    text = {
      { text = "", time = 16, track = 0, index = 1 },
      { text = "note", time = 32, track = 1, index = 2 },
    },
  })

-- Text bytes reach Lua unchanged, whatever their encoding.
do
  local shiftJis, utf8 = hex("82 a0 82 a2"), hex("e3 81 82")
  local result = Scorlane(writeFile(smf(0, 96, { track(
    "\0\255\5\4" .. shiftJis .. "\0\255\5\3" .. utf8 .. hex("00 ff 2f 00")) })))
  check("lyric bytes pass through", result.lyric[1].text == shiftJis and result.lyric[2].text == utf8,
        describe(result.lyric[1].text))
end

-- A number argument is taken as its string form: 73519 names the file "73519"
-- in the working directory.
do
  local f = assert(io.open("73519", "wb"))
  f:write(smf(0, 7, {}))
  f:close()
  local ok, result = pcall(Scorlane, 73519)
  os.remove("73519")
  check("number argument", ok and type(result) == "table" and result.resolution == 7,
        describe(result))
end

F.finish()
