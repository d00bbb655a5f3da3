-- Prints a canonical dump of what Scorlane returns for each file named on the
-- command line: keys sorted, numbers with 17 significant digits. Two builds of
-- the library that agree print the same bytes.
--   lua5.1 dump_tables.lua path/to/scorlane.so file.mid...
local Scorlane = assert(package.loadlib(assert(arg[1]), "Scorlane"))

local function dump(value, out)
  local kind = type(value)
  if kind == "number" then
    out[#out + 1] = string.format("%.17g", value)
  elseif kind == "string" then
    out[#out + 1] = string.format("%q", value)
  elseif kind == "table" then
    local keys = {}
    for key in pairs(value) do keys[#keys + 1] = key end
    table.sort(keys, function(a, b)
      if type(a) ~= type(b) then return type(a) == "number" end
      return a < b
    end)
    out[#out + 1] = "{"
    for _, key in ipairs(keys) do
      dump(key, out)
      out[#out + 1] = "="
      dump(value[key], out)
      out[#out + 1] = ","
    end
    out[#out + 1] = "}"
  else
    out[#out + 1] = tostring(value)
  end
end

for i = 2, #arg do
  local out = {}
  dump(Scorlane(arg[i]), out)
  -- The file's base name only: the same files sit under different paths.
  print((arg[i]:match("[^/\\]+$")) .. " " .. table.concat(out))
end
