#!/usr/bin/env python3
"""Checks that a screenshot shows the 640 by 480 logical screen sharply scaled,
and recovers the logical picture from it.

Usage: blocks.py SHOT.ppm LEFT TOP WIDTH HEIGHT [--reference REF.ppm] [--logical OUT.ppm]

SHOT.ppm is a binary PPM of the whole screen (or window); the picture fills the
rectangle LEFT TOP WIDTH HEIGHT of it and the rest must be black. The screen's
size gives the whole factor N of the nearest stage: the largest that fits, at
least 1. When the rectangle is exactly 640N by 480N, every logical pixel must
be an N by N block of one colour. Otherwise the rectangle is a linear stretch of
those blocks: a pixel whose two linear samples on each axis fall in one block
must be that block's colour, every logical pixel must keep at least one such
pixel (from 2x on), and every other pixel must be the linear mix of its
neighbours' colours within a few steps. The logical picture recovered is
compared with REF.ppm (640 by 480) when given, and written to OUT.ppm when asked.
Prints one line of counts and exits 1 when anything is wrong.
"""
import math
import sys

LOGICAL_WIDTH = 640
LOGICAL_HEIGHT = 480
# The linear filter's weights are rounded to a few bits.
TOLERANCE = 3


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            while data[pos:pos + 1] not in (b"\n", b""):
                pos += 1
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[0] != b"P6" or int(fields[3]) != 255:
        sys.exit(f"{path}: not an 8-bit binary PPM")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:pos + 1 + width * height * 3]
    return width, height, pixels


def write_ppm(path, width, height, pixels):
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height))
        f.write(bytes(pixels))


def samples(size, enlarged, factor):
    """For each pixel of `size` along an axis: the logical pixels of its two
    linear samples in the enlarged picture and the second one's weight."""
    result = []
    for p in range(size):
        u = (p + 0.5) * enlarged / size - 0.5
        first = math.floor(u)
        weight = u - first
        a = min(max(first, 0), enlarged - 1) // factor
        b = min(max(first + 1, 0), enlarged - 1) // factor
        result.append((a, b, weight))
    return result


def main():
    args = sys.argv[1:]
    reference = logical_out = None
    if "--reference" in args:
        i = args.index("--reference")
        reference = args[i + 1]
        del args[i:i + 2]
    if "--logical" in args:
        i = args.index("--logical")
        logical_out = args[i + 1]
        del args[i:i + 2]
    if len(args) != 5:
        sys.exit(__doc__)
    shot = args[0]
    left, top, width, height = (int(v) for v in args[1:])
    screen_width, screen_height, pixels = read_ppm(shot)
    if left < 0 or top < 0 or left + width > screen_width or top + height > screen_height:
        sys.exit(f"the rectangle {width}x{height}+{left}+{top} is not inside the {screen_width}x{screen_height} shot")

    factor = max(1, min(screen_width // LOGICAL_WIDTH, screen_height // LOGICAL_HEIGHT))
    enlarged_width = LOGICAL_WIDTH * factor
    enlarged_height = LOGICAL_HEIGHT * factor
    whole = width == enlarged_width and height == enlarged_height

    def at(x, y):
        i = (y * screen_width + x) * 3
        return pixels[i], pixels[i + 1], pixels[i + 2]

    bars = 0
    for y in range(screen_height):
        for x in range(screen_width):
            if left <= x < left + width and top <= y < top + height:
                continue
            if at(x, y) != (0, 0, 0):
                bars += 1

    if whole:
        columns = [(x // factor, x // factor, 0.0) for x in range(width)]
        rows = [(y // factor, y // factor, 0.0) for y in range(height)]
    else:
        columns = samples(width, enlarged_width, factor)
        rows = samples(height, enlarged_height, factor)

    logical = [None] * (LOGICAL_WIDTH * LOGICAL_HEIGHT)
    uneven = 0
    blended = []
    for y in range(height):
        ya, yb, wy = rows[y]
        for x in range(width):
            xa, xb, wx = columns[x]
            colour = at(left + x, top + y)
            if xa == xb and ya == yb:
                i = ya * LOGICAL_WIDTH + xa
                if logical[i] is None:
                    logical[i] = colour
                elif logical[i] != colour:
                    uneven += 1
            else:
                blended.append((colour, xa, xb, wx, ya, yb, wy))

    missing = sum(1 for c in logical if c is None)
    if missing and factor == 1 and not whole:
        # Below 2x a stretch keeps no pixel of its own: nothing to compare with.
        print(f"bars {bars} (a stretch below 2x is not checked further)")
        return 1 if bars else 0

    mixed_wrong = 0
    for colour, xa, xb, wx, ya, yb, wy in blended:
        corners = [logical[ya * LOGICAL_WIDTH + xa], logical[ya * LOGICAL_WIDTH + xb],
                   logical[yb * LOGICAL_WIDTH + xa], logical[yb * LOGICAL_WIDTH + xb]]
        if any(c is None for c in corners):
            continue
        for channel in range(3):
            upper = corners[0][channel] * (1 - wx) + corners[1][channel] * wx
            lower = corners[2][channel] * (1 - wx) + corners[3][channel] * wx
            if abs(colour[channel] - (upper * (1 - wy) + lower * wy)) > TOLERANCE:
                mixed_wrong += 1
                break

    differing = 0
    if reference:
        ref_width, ref_height, ref = read_ppm(reference)
        if (ref_width, ref_height) != (LOGICAL_WIDTH, LOGICAL_HEIGHT):
            sys.exit(f"{reference}: not {LOGICAL_WIDTH}x{LOGICAL_HEIGHT}")
        for i, colour in enumerate(logical):
            if colour is not None and colour != tuple(ref[i * 3:i * 3 + 3]):
                differing += 1

    if logical_out:
        flat = []
        for colour in logical:
            flat.extend(colour if colour is not None else (0, 0, 0))
        write_ppm(logical_out, LOGICAL_WIDTH, LOGICAL_HEIGHT, flat)

    print(f"factor {factor} {'whole' if whole else 'stretched'}: bars {bars}, uneven {uneven}, "
          f"missing {missing}, badly mixed {mixed_wrong}, differing from reference {differing}")
    return 1 if bars or uneven or missing or mixed_wrong or differing else 0


if __name__ == "__main__":
    sys.exit(main())
