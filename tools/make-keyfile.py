#!/usr/bin/env python3
"""Writes share/qslkeyf2.dll, the companion key file every installation ships.

The file is 2048 bytes from a fixed xorshift32 sequence, so running this again gives the same
file; installations that share one data directory must agree on it byte for byte. The program
turns the 30 bytes at offset 1138 into the current database's password.

Usage: tools/make-keyfile.py [OUTPUT]   (default: share/qslkeyf2.dll beside this folder)
"""
import os
import sys

SIZE = 2048
SEED = 0x51C3F2A7


def key_bytes():
    state = SEED
    out = bytearray()
    while len(out) < SIZE:
        state ^= (state << 13) & 0xFFFFFFFF
        state ^= state >> 17
        state ^= (state << 5) & 0xFFFFFFFF
        out.append((state >> 11) & 0xFF)
    return bytes(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "share", "qslkeyf2.dll")
    with open(target, "wb") as f:
        f.write(key_bytes())


if __name__ == "__main__":
    main()
