#!/usr/bin/env python3
"""Records a PulseAudio source from outside Wine and writes down where its sound stopped.

    monitor_gaps.py SOURCE GAPS_FILE [--raw FILE]

Records SOURCE (the loopback rig's "probe.monitor") as 16-bit stereo at 44,100 Hz and appends to GAPS_FILE:
    gap START END   a run of at least MIN_FRAMES frames in which both channels are exactly 0
    upto T          everything recorded up to T has been looked at (T grows)
Times are milliseconds of the system's wall clock (CLOCK_REALTIME, which Wine's GetSystemTimeAsFileTime
reads too). The monitor delivers the server's frames, each block of them no earlier than its last frame
was made: frame n is stamped base + n / 44.1, base being the least, over the blocks read within 2.5 s of
it either way, of when a block was read less the time that all frames up to its end span. The window
follows the null sink's clock, which runs a few hundred ppm off the wall clock; a frame is stamped once
the recording is 2.5 s past it. A tone never has two 0 frames in a row; Wine's playback stream running
dry inside the server leaves exact 0s in the monitor for milliseconds. --raw also keeps the recording,
each block as "<when it was read, 8-byte double><frames before it, 4 bytes><its frames>", to measure how
the stamps line up with what a program inside Wine records.
Runs until it is ended (SIGTERM). Talks to the server through libpulse-simple with ctypes."""
import collections
import ctypes
import re
import signal
import struct
import sys
import time

RATE = 44100
FRAME = 4  # two 16-bit channels
MIN_FRAMES = 2
BLOCK_FRAMES = 441  # 10 ms
MS_PER_FRAME = 1000.0 / RATE
SETTLE_FRAMES = RATE * 5 // 2  # a frame is stamped once the recording is 2.5 s past it
UPTO_FRAMES = RATE // 5
ZEROS = re.compile(rb"\x00{%d,}" % FRAME)


class SampleSpec(ctypes.Structure):
    _fields_ = [("format", ctypes.c_int), ("rate", ctypes.c_uint32), ("channels", ctypes.c_uint8)]


class BufferAttr(ctypes.Structure):
    _fields_ = [(name, ctypes.c_uint32) for name in ("maxlength", "tlength", "prebuf", "minreq", "fragsize")]


def main():
    source, gaps_path = sys.argv[1], sys.argv[2]
    raw = open(sys.argv[4], "wb") if len(sys.argv) > 4 and sys.argv[3] == "--raw" else None
    pulse = ctypes.CDLL("libpulse-simple.so.0")
    pulse.pa_simple_new.restype = ctypes.c_void_p
    pulse.pa_simple_read.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_size_t, ctypes.POINTER(ctypes.c_int)]
    sample_format = SampleSpec(3, RATE, 2)  # PA_SAMPLE_S16LE
    block = BLOCK_FRAMES * FRAME
    attr = BufferAttr(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, block)
    error = ctypes.c_int(0)
    stream = pulse.pa_simple_new(None, b"monitor_gaps", 2, source.encode(), b"record", ctypes.byref(sample_format),
                                 None, ctypes.byref(attr), ctypes.byref(error))
    if not stream:
        sys.exit(f"monitor_gaps: cannot record {source} (error {error.value})")
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    out = open(gaps_path, "a", buffering=1)
    buffer = ctypes.create_string_buffer(block)
    frames = 0  # frames recorded before this block
    blocks = collections.deque()  # (frames up to a block's end, when it was read less the time they span)
    zeros = None  # the first frame of a run of 0 frames that reached the end of the last block
    gaps = []  # runs of 0 frames not yet written: (first, end)
    last_upto = -SETTLE_FRAMES
    while True:
        if pulse.pa_simple_read(stream, buffer, block, ctypes.byref(error)) < 0:
            sys.exit(f"monitor_gaps: read failed (error {error.value})")
        now = time.time() * 1000.0
        data = buffer.raw
        if raw:
            raw.write(struct.pack("<dI", now, frames) + data)
        runs = [(frames + -(-m.start() // FRAME), frames + m.end() // FRAME) for m in ZEROS.finditer(data)]
        runs = [(a, b) for a, b in runs if b > a]
        if zeros is not None and not (runs and runs[0][0] == frames):
            gaps.append((zeros, frames))
            zeros = None
        for a, b in runs:
            first = zeros if a == frames and zeros is not None else a
            zeros = None
            if b == frames + BLOCK_FRAMES:
                zeros = first
            else:
                gaps.append((first, b))
        frames += BLOCK_FRAMES
        blocks.append((frames, now - frames * MS_PER_FRAME))
        while blocks[0][0] < frames - 3 * SETTLE_FRAMES:
            blocks.popleft()

        def stamp(frame):
            near = [offset for end, offset in blocks if abs(end - frame) <= SETTLE_FRAMES]
            return min(near or [offset for _, offset in blocks]) + frame * MS_PER_FRAME

        settled = frames - SETTLE_FRAMES
        for first, end in [g for g in gaps if g[1] <= settled]:
            if end - first >= MIN_FRAMES:
                out.write(f"gap {stamp(first):.1f} {stamp(first) + (end - first) * MS_PER_FRAME:.1f}\n")
        gaps = [g for g in gaps if g[1] > settled]
        upto = min([settled] + [first for first, _ in gaps] + ([zeros] if zeros is not None else []))
        if upto >= 0 and upto - last_upto >= UPTO_FRAMES:
            last_upto = upto
            out.write(f"upto {stamp(upto):.1f}\n")


if __name__ == "__main__":
    main()
