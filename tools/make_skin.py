#!/usr/bin/python3
"""Packs the readable skin under resources/skin/ into the skin engine's file resources/win8.she.

The file is a 24-byte header followed by the palette text and the style sheet (UTF-8):
".SHE", format version 1 and header length 24 (16-bit), palette length, style sheet length,
CRC-32 of the two texts and a reserved 0 (32-bit), all little-endian. The engine rejects a
file whose length or checksum does not match its header.

    /usr/bin/python3 tools/make_skin.py
"""

import pathlib
import struct
import zlib

RESOURCES = pathlib.Path(__file__).resolve().parent.parent / "resources"
FORMAT_VERSION = 1
HEADER_LENGTH = 24


def pack(palette: bytes, style_sheet: bytes) -> bytes:
    payload = palette + style_sheet
    header = b".SHE" + struct.pack("<HHIIII", FORMAT_VERSION, HEADER_LENGTH, len(palette),
                                   len(style_sheet), zlib.crc32(payload), 0)
    return header + payload


def main():
    palette = (RESOURCES / "skin" / "win8.palette").read_bytes()
    style_sheet = (RESOURCES / "skin" / "win8.qss").read_bytes()
    (RESOURCES / "win8.she").write_bytes(pack(palette, style_sheet))


if __name__ == "__main__":
    main()
