#!/usr/bin/env python3
"""Checks which sounds the program played, from what SDL's disk audio driver
wrote: raw samples in the device format, in real time.

Usage: played.py STREAM START END FILE.wav [START END FILE.wav ...]

Each triple asks: does the sound of FILE.wav start somewhere in the stream
between byte START and byte END ("end" for the end of the stream)? The
program asks for 44100 Hz, 16-bit signed, stereo, which the disk driver
grants; our WAVs are 44100 Hz 16-bit mono, so the output holds each WAV
sample twice (left and right), unchanged. The check looks for the first 1024
sample frames of the WAV from its first non-zero sample at a frame boundary,
each sample within two steps of the file's value (the device conversion goes
through floating point). Prints one line per triple and exits 1 when any sound is missing.
"""
import array
import struct
import sys
import wave

FRAME_BYTES = 4  # 16-bit stereo
PROBE_FRAMES = 1024
# The device conversion goes through floating point: a sample may come out one
# step away from the file's value.
TOLERANCE = 2


def probe(path):
    """The first PROBE_FRAMES samples of the WAV from its first non-zero one."""
    with wave.open(path) as w:
        if w.getframerate() != 44100 or w.getsampwidth() != 2 or w.getnchannels() != 1:
            sys.exit(f"{path}: expected 44100 Hz 16-bit mono")
        data = w.readframes(w.getnframes())
    samples = array.array("h", data)
    if sys.byteorder != "little":
        samples.byteswap()
    first = next((i for i, s in enumerate(samples) if s != 0), None)
    if first is None:
        sys.exit(f"{path}: silent")
    return samples[first:first + PROBE_FRAMES]


def found_between(stream, frames, samples, start, end):
    """The byte offset in [start, end) where `samples` begins in the stream
    (both channels within TOLERANCE of each sample), or None. Candidates are
    found by the loudest sample, then checked sample by sample."""
    anchor = max(range(len(samples)), key=lambda i: abs(samples[i]))
    for value in (samples[anchor] + d for d in range(-TOLERANCE, TOLERANCE + 1)):
        pattern = struct.pack("<hh", value, value)
        position = stream.find(pattern)
        while position != -1:
            if position % FRAME_BYTES == 0:
                first = position // FRAME_BYTES - anchor
                offset = first * FRAME_BYTES
                if first >= 0 and start <= offset < end and first + len(samples) <= len(frames) // 2:
                    if all(abs(frames[2 * (first + i)] - s) <= TOLERANCE and
                           abs(frames[2 * (first + i) + 1] - s) <= TOLERANCE
                           for i, s in enumerate(samples)):
                        return offset
            position = stream.find(pattern, position + 1)
    return None


def main(argv):
    if len(argv) < 5 or (len(argv) - 2) % 3 != 0:
        sys.exit(__doc__)
    with open(argv[1], "rb") as f:
        stream = f.read()
    stream = stream[:len(stream) - len(stream) % FRAME_BYTES]
    frames = array.array("h", stream)
    if sys.byteorder != "little":
        frames.byteswap()
    missing = 0
    for i in range(2, len(argv), 3):
        start = int(argv[i])
        end = len(stream) if argv[i + 1] == "end" else int(argv[i + 1])
        name = argv[i + 2]
        at = found_between(stream, frames, probe(name), start, end)
        if at is None:
            print(f"missing: {name} between bytes {start} and {end} of {len(stream)}")
            missing += 1
        else:
            print(f"played: {name} at {at / (44100 * FRAME_BYTES):.2f} s of the stream")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
