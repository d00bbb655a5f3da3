-- Shared by the Lua-level tests: MIDI bytes from hex, files in a temporary
-- folder, deep comparison and the closing "N passed, N failed" line.
local F = {}

-- Hex byte pairs; 'text' in single quotes stands for its bytes.
function F.hex(s)
  local out = {}
  local i = 1
  while i <= #s do
    local c = s:sub(i, i)
    if c == "'" then
      local close = assert(s:find("'", i + 1, true), "unclosed quote")
      out[#out + 1] = s:sub(i + 1, close - 1)
      i = close + 1
    elseif c:match("%s") then
      i = i + 1
    else
      out[#out + 1] = string.char(tonumber(s:sub(i, i + 1), 16))
      i = i + 2
    end
  end
  return table.concat(out)
end

function F.bigEndian(value, count)
  local bytes = {}
  for i = count, 1, -1 do
    bytes[i] = string.char(value % 256)
    value = math.floor(value / 256)
  end
  return table.concat(bytes)
end

function F.track(events)
  return "MTrk" .. F.bigEndian(#events, 4) .. events
end

function F.smf(format, division, tracks)
  return "MThd" .. F.bigEndian(6, 4) .. F.bigEndian(format, 2) .. F.bigEndian(#tracks, 2)
      .. F.bigEndian(division, 2) .. table.concat(tracks)
end

-- Fixture files are temporary files of their own (no shell commands: the tests
-- also run on Windows), removed by F.finish.
local written = {}
function F.writeFile(bytes)
  local path = os.tmpname()
  local f = assert(io.open(path, "wb"))
  f:write(bytes)
  f:close()
  written[#written + 1] = path
  return path
end

-- A file name in a folder that does not exist.
F.missingFile = "no-such-folder/missing.mid"
-- A folder that exists everywhere.
F.directory = "."

function F.describe(v)
  if type(v) == "string" then return string.format("%q", v) end
  return tostring(v)
end

-- Returns nil when equal, or where they differ. Numbers are compared exactly.
function F.difference(expected, actual, path)
  path = path or "value"
  if type(expected) ~= "table" or type(actual) ~= "table" then
    if expected == actual then return nil end
    return path .. ": expected " .. F.describe(expected) .. ", got " .. F.describe(actual)
  end
  for k, v in pairs(expected) do
    local d = F.difference(v, actual[k], path .. "." .. tostring(k))
    if d then return d end
  end
  for k in pairs(actual) do
    if expected[k] == nil then return path .. "." .. tostring(k) .. ": unexpected key" end
  end
  return nil
end

F.passed, F.failed = 0, 0
function F.check(name, ok, message)
  if ok then
    F.passed = F.passed + 1
  else
    F.failed = F.failed + 1
    print("FAIL " .. name .. ": " .. tostring(message))
  end
end

-- Checks that `actual` equals `expected` deeply.
function F.same(name, expected, actual)
  local d = F.difference(expected, actual)
  F.check(name, d == nil, d)
end

-- Removes the temporary folder, prints the closing line and exits.
function F.finish()
  for _, path in ipairs(written) do os.remove(path) end
  print(string.format("%d passed, %d failed", F.passed, F.failed))
  os.exit(F.failed == 0 and 0 or 1)
end

return F
