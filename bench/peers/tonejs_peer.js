// Times the npm package @tonejs/midi on the benchmark files. Its parse already
// does work equal to Scorlane's: notes paired with start and end ticks, the
// tempo map, and the pitch bends (as control changes per track).
//   node tonejs_peer.js FILES_DIR      prints: peer, set, files, notes, seconds
const fs = require("fs");
const path = require("path");
const { Midi } = require("@tonejs/midi");

function load(file) {
  const midi = new Midi(fs.readFileSync(file));
  let notes = 0;
  for (const track of midi.tracks) {
    notes += track.notes.length;
    for (const note of track.notes) {
      if (note.ticks + note.durationTicks < note.ticks) throw new Error("bad note");
    }
  }
  if (!Array.isArray(midi.header.tempos)) throw new Error("no tempo map");
  return notes;
}

const dir = process.argv[2];
const songsDir = path.join(dir, "songs");
const sets = [
  ["large", [path.join(dir, "large.mid")]],
  ["songs", fs.readdirSync(songsDir).filter((f) => f.endsWith(".mid")).sort()
      .map((f) => path.join(songsDir, f))],
];
for (const [name, files] of sets) {
  const start = process.hrtime.bigint();
  let notes = 0;
  for (const file of files) notes += load(file);
  const seconds = Number(process.hrtime.bigint() - start) / 1e9;
  console.log(`tonejs\t${name}\t${files.length}\t${notes}\t${seconds.toFixed(3)}`);
}
