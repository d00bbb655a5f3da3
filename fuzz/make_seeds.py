#!/usr/bin/env python3
"""Writes small seed files for the fuzz corpus: each one dense in one kind of event."""
import os
import struct
import sys


def chunk(tag, body, length=None):
    return tag + struct.pack(">I", len(body) if length is None else length) + body


def smf(tracks, fmt=1, division=96, header_length=6, declared=None):
    count = len(tracks) if declared is None else declared
    header = struct.pack(">HHH", fmt, count, division) + b"\0" * (header_length - 6)
    return chunk(b"MThd", header) + b"".join(tracks)


def track(hex_events, length=None):
    return chunk(b"MTrk", bytes.fromhex(hex_events), length)


SEEDS = {
    "notes-running-status": smf([track("00903c40 10 3c00 00 3e40 10 803e00 00 993c64 00ff2f00")]),
    "bends-and-rpn": smf([track("00e00040 10e00060 00b06500 006400 00060c 00e07f7f 00 2600 "
                                "10e10000 00ff2f00")]),
    "omni-and-mono": smf([track("00b07c00 00b07e0170 10e00040 00b07d00 00b07e01 00e00040 "
                                "00b07900 00ff2f00")]),
    "meta-all": smf([track("00ff0305'Tempo' 00ff510307a120 00ff580406031808 00ff0105'hello' "
                           .replace("'Tempo'", b"Tempo".hex()).replace("'hello'", b"hello".hex())
                           + "00ff0502" + b"La".hex() + " 00ff0601" + b"A".hex()
                           + " 00ff020100 00ff2f00 10ff0500 00ff590200ff")]),
    "sysex-and-system": smf([track("00f08100" + "7f" * 128 + " 00f70201f7 00f8 00903c40 "
                                   "00ff2f00")]),
    "junk-between-chunks": smf([track("00903c40 10803c00 00ff2f00")]) + b"\0\0\0" +
                           track("00ff2f00"),
    "header-length-8": smf([track("00ff2f00")], header_length=8),
    "past-declared-length": smf([track("00903c4005", length=5), track("00ff2f00")]),
    "five-byte-delta": smf([track("80808080ee903c40 00ff2f00")]),
    "tempo-in-second-track": smf([track("00ff2f00"), track("00ff510307a120 00ff2f00")]),
}


def main(directory):
    os.makedirs(directory, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(directory, name + ".mid"), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "fuzz/corpus")
