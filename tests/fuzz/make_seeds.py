#!/usr/bin/env python3
"""Writes the small seed files of every fuzz target into OUT/<target>/.

Usage: make_seeds.py OUT DATA_FOLDER

Each reader gets a few tiny valid files of the kinds it takes (and the
smallest of the toy's own files from DATA_FOLDER), so that the fuzzer starts
from inputs that reach deep into the reader.
"""
import os
import shutil
import struct
import sys
import zlib

ROOM_TEXELS = 4  # the fuzz targets' room (see SmallModel.h)
CUBE_TEXELS = 64


def bmp(width, height, bits, top_down=False, second=b"M"):
    row = (width * bits + 31) // 32 * 4
    pixels = bytes((x * 37 + y * 11) & 0xFF for y in range(height) for x in range(row))
    header = b"B" + second + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits, 0, len(pixels), 0, 0, 0, 0)
    return header + info + pixels


def png(width, height, colour_type, depth, rows, palette=None, trns=None, interlace=0):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, interlace))
    if palette:
        out += chunk(b"PLTE", palette)
    if trns:
        out += chunk(b"tRNS", trns)
    out += chunk(b"IDAT", zlib.compress(b"".join(b"\0" + r for r in rows)))
    return out + chunk(b"IEND", b"")


def wav(tag, channels, rate, bits, frames):
    block = channels * bits // 8
    data = bytes((i * 29) & 0xFF for i in range(frames * block))
    fmt = struct.pack("<HHIIHH", tag, channels, rate, rate * block, block, bits)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def model(cubes, room_centre=(0.0, 0.0, 0.0)):
    out = struct.pack("<i", 1 + len(cubes)) + struct.pack("<3f", *room_centre)
    out += bytes((i * 7) & 0xFF for i in range(6 * ROOM_TEXELS * ROOM_TEXELS * 3))
    for centre in cubes:
        out += struct.pack("<3f", *centre) + bytes([255, 0, 0]) * (6 * CUBE_TEXELS * CUBE_TEXELS)
    return out


def main():
    out, data = sys.argv[1], sys.argv[2]
    seeds = {
        "bmp": {
            "24bit.bmp": bmp(3, 2, 24),
            "32bit_top_down.bmp": bmp(2, 2, 32, top_down=True),
            "16bit.bmp": bmp(5, 1, 16),
            "second_byte.bmp": bmp(1, 1, 24, second=b"Z"),
        },
        "png": {
            "rgba.png": png(1, 1, 6, 8, [b"\x10\x20\x30\x40"]),
            "palette_trns.png": png(3, 2, 3, 8, [b"\x00\x01\x02", b"\x02\x01\x00"], b"\xff\0\0\0\xff\0\0\0\xff", b"\x80"),
            "gray1.png": png(2, 2, 0, 1, [b"\x80", b"\x40"]),
            "gray16_alpha.png": png(1, 2, 4, 16, [b"\x12\x34\x56\x78", b"\x9a\xbc\xde\xf0"]),
            "rgb_interlaced.png": png(3, 3, 2, 8, [bytes(range(9))] * 3, interlace=1),
        },
        "wav": {
            "u8_mono.wav": wav(1, 1, 8000, 8, 16),
            "s16_stereo.wav": wav(1, 2, 44100, 16, 8),
            "s24_mono.wav": wav(1, 1, 22050, 24, 8),
            "f32_stereo.wav": wav(3, 2, 48000, 32, 4),
        },
        "options": {
            "windowed_size": b"--windowed=800x600\0--nosound",
            "folders": b"--datadir\0/tmp/data\0--savedir=/tmp/saves\0--startblank",
            "modes": b"--fullscreen\0--windowed\0--",
            "help": b"--help",
            "version": b"--version\0extra",
        },
    }
    room = model([])
    with_cube = model([(40.0, -20.0, 0.5)])
    seeds["model_file"] = {"room.data": room, "room_and_cube.data": with_cube,
                           "moved_room.data": model([], (1.0, 2.0, 3.0)), "short.data": with_cube[:-100]}
    # The writers' target reads its input as steps that build a model.
    seeds["writers"] = {"empty": b"", "steps": bytes(range(256)) * 4, "ones": b"\x01" * 300,
                        "mixed": bytes((i * 97 + 13) & 0xFF for i in range(900))}
    seeds["autosave"] = {"room.data": room, "room_and_cube.data": with_cube, "count_only.data": struct.pack("<i", 2)}

    copies = {"bmp": ["cursor_pen_mask.bmp"], "png": ["cursor_default.png", "selected0.png"], "wav": ["select.wav"]}
    for target, files in seeds.items():
        folder = os.path.join(out, target)
        os.makedirs(folder, exist_ok=True)
        for name, content in files.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(content)
        for name in copies.get(target, []):
            source = os.path.join(data, name)
            if os.path.exists(source):
                shutil.copyfile(source, os.path.join(folder, name))


if __name__ == "__main__":
    main()
