#!/usr/bin/python3
"""Times Python's mido on the benchmark files, given work equal to Scorlane's:
every note paired with its start and end tick (by key, as Scorlane pairs), the
tempo map of the first track, and every pitch bend with its tick.

  mido_peer.py FILES_DIR      prints: peer, set, files, notes, seconds
"""
import glob
import os
import sys
import time

import mido


def load(path):
    midi = mido.MidiFile(path)
    notes = 0
    tempos = []
    bends = 0
    for index, track in enumerate(midi.tracks):
        tick = 0
        sounding = {}
        paired = []
        for message in track:
            tick += message.time
            kind = message.type
            if kind == "note_on" and message.velocity > 0:
                if message.note in sounding:
                    paired.append((sounding.pop(message.note), tick))
                sounding[message.note] = (message.channel, tick, message.note, message.velocity)
            elif kind == "note_off" or kind == "note_on":
                start = sounding.pop(message.note, None)
                if start is not None:
                    paired.append((start, tick))
            elif kind == "pitchwheel":
                bends += 1
            elif kind == "set_tempo" and index == 0:
                tempos.append((tick, mido.tempo2bpm(message.tempo)))
        for start in sounding.values():
            paired.append((start, tick))
        notes += len(paired)
    return notes


def main():
    files_dir = sys.argv[1]
    sets = [("large", [os.path.join(files_dir, "large.mid")]),
            ("songs", sorted(glob.glob(os.path.join(files_dir, "songs", "*.mid"))))]
    for name, files in sets:
        start = time.perf_counter()
        notes = sum(load(f) for f in files)
        seconds = time.perf_counter() - start
        print("mido\t%s\t%d\t%d\t%.3f" % (name, len(files), notes, seconds), flush=True)


if __name__ == "__main__":
    main()
