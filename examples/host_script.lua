-- Run by the embedding host (examples/host.cpp), which registers Scorlane as a
-- global:  scorlane_host build/scorlane.so examples/host_script.lua song.mid
local song = Scorlane(arg[1] or "examples/demo.mid")
if not song then
  print("no song: " .. tostring(arg[1]))
  return
end
local notes = 0
for _, track in ipairs(song) do notes = notes + #track end
print(string.format("%d tracks, %d notes, %d lyrics, resolution %d",
                    #song, notes, #song.lyric, song.resolution))
