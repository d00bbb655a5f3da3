#!/usr/bin/env python3
"""Writes the benchmark's MIDI files (not committed; deterministic for a given seed).

  make_bench_files.py OUT_DIR [--songs N]

OUT_DIR/large.mid      about 1,000,000 notes over 16 tracks
OUT_DIR/notes-10k.mid, notes-100k.mid, notes-1m.mid, notes-4m.mid   for the growth curve
OUT_DIR/songs/NNNN.mid N song-sized files (default 2000), 2,000 to 20,000 notes each

Every file is format 1 at 480 ticks per quarter: a conductor track with a tempo map,
meters and markers, then note tracks with running status (velocity-0 note-ons as
note-offs), pitch bends, controllers (data entry of the bend range among them),
program changes and lyrics.
"""
import os
import random
import struct
import sys

DIVISION = 480


def varlen(value):
    out = bytearray([value & 0x7F])
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


VARLEN = [varlen(i) for i in range(4096)]


def chunk(body):
    return b"MTrk" + struct.pack(">I", len(body)) + body


def conductor(rng, length_ticks):
    body = bytearray()
    body += b"\x00\xff\x03\x09Conductor"
    now = 0
    tick = 0
    while tick < length_ticks:
        us = rng.randrange(300000, 900000)
        body += VARLEN[0] if tick == now else varlen(tick - now)
        body += b"\xff\x51\x03" + struct.pack(">I", us)[1:]
        now = tick
        if rng.random() < 0.3:
            body += b"\x00\xff\x58\x04" + bytes([rng.choice([2, 3, 4, 6]), rng.choice([2, 3]), 24, 8])
        if rng.random() < 0.2:
            text = b"Section %d" % (tick // DIVISION)
            body += b"\x00\xff\x06" + varlen(len(text)) + text
        tick += DIVISION * rng.choice([8, 16, 32])
    body += b"\x00\xff\x2f\x00"
    return chunk(bytes(body))


def note_track(rng, channel, notes, with_lyrics):
    body = bytearray()
    body += b"\x00\xff\x03" + varlen(len(b"Track %d" % channel)) + b"Track %d" % channel
    body += bytes([0x00, 0xC0 | channel, rng.randrange(128)])
    # Bend range 12 through registered parameter 0, then data entry.
    body += bytes([0x00, 0xB0 | channel, 101, 0, 0x00, 100, 0, 0x00, 6, 12])
    status_on = 0x90 | channel
    running = 0xB0 | channel
    key = 60
    words = [b"la", b"li", b"lo", b"oh", b"yeah", b"na"]
    for i in range(notes):
        key = min(100, max(30, key + rng.randrange(-5, 6)))
        velocity = rng.randrange(40, 127)
        gap = rng.randrange(0, 240)
        if running != status_on:
            body += VARLEN[gap] + bytes([status_on, key, velocity])
            running = status_on
        else:
            body += VARLEN[gap] + bytes([key, velocity])
        if with_lyrics and i % 4 == 0:
            word = words[i % len(words)]
            body += b"\x00\xff\x05" + bytes([len(word)]) + word
            running = 0xFF
        if i % 16 == 5:
            value = rng.randrange(16384)
            body += bytes([0x00, 0xE0 | channel, value & 0x7F, value >> 7])
            running = 0xE0 | channel
        if i % 32 == 7:
            body += bytes([0x00, 0xB0 | channel, 7, rng.randrange(128)])
            running = 0xB0 | channel
        duration = rng.randrange(30, 480)
        if running != status_on:
            body += VARLEN[duration] + bytes([status_on, key, 0])
            running = status_on
        else:
            body += VARLEN[duration] + bytes([key, 0])
    body += b"\x00\xff\x2f\x00"
    return chunk(bytes(body))


def song(seed, notes, tracks=16):
    rng = random.Random(seed)
    per_track = [notes // tracks + (1 if i < notes % tracks else 0) for i in range(tracks)]
    body = [note_track(rng, i % 16, n, with_lyrics=(i == 0)) for i, n in enumerate(per_track)]
    length = max(per_track) * 400
    header = b"MThd" + struct.pack(">IHHH", 6, 1, tracks + 1, DIVISION)
    return header + conductor(rng, length) + b"".join(body)


def write(path, data):
    with open(path, "wb") as out:
        out.write(data)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "build-bench/files"
    songs = int(sys.argv[sys.argv.index("--songs") + 1]) if "--songs" in sys.argv else 2000
    os.makedirs(os.path.join(out, "songs"), exist_ok=True)
    write(os.path.join(out, "large.mid"), song(1, 1_000_000))
    for name, notes in (("10k", 10_000), ("100k", 100_000), ("1m", 1_000_000), ("4m", 4_000_000)):
        write(os.path.join(out, "notes-%s.mid" % name), song(100 + notes, notes))
    rng = random.Random(7)
    for i in range(songs):
        notes = rng.randrange(2000, 20001)
        tracks = rng.randrange(4, 17)
        write(os.path.join(out, "songs", "%04d.mid" % i), song(1000 + i, notes, tracks))


if __name__ == "__main__":
    main()
