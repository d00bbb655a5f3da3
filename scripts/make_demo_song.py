#!/usr/bin/env python3
"""Writes examples/demo.mid: a short song of the project's own making.

Three tracks at 480 ticks per quarter: a conductor track (name, tempo changes,
meters, markers), a melody with lyrics and a pitch bend, and a bass line.
Deterministic: running it again gives the same bytes.
"""
import struct
import sys

DIVISION = 480


def varlen(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


def meta(kind, data):
    return bytes([0xFF, kind]) + varlen(len(data)) + data


def track(events):
    """events: (absolute tick, bytes) pairs, written with delta times in tick order."""
    body = b""
    now = 0
    for tick, data in sorted(events, key=lambda e: e[0]):
        body += varlen(tick - now) + data
        now = tick
    body += varlen(0) + meta(0x2F, b"")
    return b"MTrk" + struct.pack(">I", len(body)) + body


def tempo(bpm):
    return meta(0x51, struct.pack(">I", round(60_000_000 / bpm))[1:])


def conductor():
    q = DIVISION
    return track([
        (0, meta(0x03, b"Scorlane demo")),
        (0, tempo(120)),
        (0, meta(0x58, bytes([4, 2, 24, 8]))),
        (0, meta(0x06, b"Verse")),
        (16 * q, meta(0x06, b"Bridge")),
        (16 * q, tempo(96)),
        (16 * q, meta(0x58, bytes([3, 2, 24, 8]))),
        (28 * q, tempo(132)),
    ])


MELODY = [  # (key, quarters, lyric)
    (67, 1, b"Scor"), (69, 1, b"lane "), (71, 2, b"reads "), (74, 1, b"the "), (72, 1, b"mid"),
    (71, 2, b"i "), (69, 1, b"and "), (67, 1, b"hands "), (69, 2, b"it "), (71, 4, b"on"),
    (72, 1, None), (74, 1, None), (76, 2, None), (74, 3, None), (72, 3, None),
    (71, 3, None), (69, 3, None), (67, 6, None),
]


def melody():
    q = DIVISION
    events = [(0, meta(0x03, b"Melody")), (0, bytes([0xC0, 73]))]  # flute
    tick = 0
    for key, quarters, lyric in MELODY:
        if lyric:
            events.append((tick, meta(0x05, lyric)))
        events.append((tick, bytes([0x90, key, 96])))
        events.append((tick + quarters * q - 10, bytes([0x80, key, 0])))
        tick += quarters * q
    # A slide up into the last note, and back.
    end = tick - 6 * q
    for step in range(9):
        value = 8192 + step * 512
        events.append((end + step * 40, bytes([0xE0, value & 0x7F, value >> 7])))
    events.append((end + 3 * q, bytes([0xE0, 0x00, 0x40])))
    return track(events)


BASS = [43, 43, 48, 50, 43, 47, 48, 50, 45, 50, 43, 43]


def bass():
    q = DIVISION
    # Bend range 12 semitones through registered parameter 0.
    events = [(0, meta(0x03, b"Bass")), (0, bytes([0xC1, 33])),
              (0, bytes([0xB1, 101, 0])), (0, bytes([0xB1, 100, 0])), (0, bytes([0xB1, 6, 12]))]
    tick = 0
    for key in BASS:
        for beat in range(2):
            events.append((tick + beat * 2 * q, bytes([0x91, key, 80])))
            events.append((tick + beat * 2 * q + 2 * q - 20, bytes([0x91, key, 0])))
        tick += 4 * q
    events.append((tick - q, bytes([0xE1, 0x00, 0x30])))
    return track(events)


def main(path):
    tracks = [conductor(), melody(), bass()]
    header = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), DIVISION)
    with open(path, "wb") as out:
        out.write(header + b"".join(tracks))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "examples/demo.mid")
