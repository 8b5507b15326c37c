#!/usr/bin/env python3
# Writes the seed inputs of fuzz_clock into corpus/. Layout: a 16-bit mask of
# present keys (bits 11-12 the working directory, bit 13 unopenable file), each
# present value as a 16-bit length and its bytes, then the operations.
import os
import struct

KEYS = ["left", "top", "right", "bottom", "TimerMinute", "TimerSecond",
        "TimerFormat", "SoundFormat", "SoundWav", "Restart", "RestartSec"]
TICK, ADVANCE, SET_TICK, BACK, TIME, START, STOP, FORMAT = range(8)


def settings(values, flags=0):
    mask = flags
    out = b""
    for i, key in enumerate(KEYS):
        if key in values:
            mask |= 1 << i
            v = values[key]
            out += struct.pack("<H", len(v)) + v
    return struct.pack("<H", mask) + out


def set_tick(t):
    return bytes([SET_TICK]) + struct.pack("<I", t & 0xFFFFFFFF)


def local_time(*fields):
    return bytes([TIME]) + struct.pack("<8H", *fields)


def formatter(size, which, a, b):
    return bytes([FORMAT]) + struct.pack("<HBii", size, which, a, b)


typical = {"left": b"120", "top": b"80", "right": b"300", "bottom": b"200",
           "TimerMinute": b"0", "TimerSecond": b"3", "TimerFormat": b"0",
           "SoundFormat": b"0", "SoundWav": b"DEFAULT", "Restart": b"1", "RestartSec": b"2"}
seeds = {
    "empty": b"",
    "typical": settings(typical) + local_time(2003, 2, 0, 9, 13, 5, 9, 0) + set_tick(5000)
    + bytes([START]) + bytes([TICK]) * 8 + bytes([STOP, TICK]),
    "huge_numbers": settings({"left": b"99999999999999999999", "top": b"-2147483648",
                              "TimerMinute": b"2147483647", "TimerSecond": b" -2",
                              "Restart": b"1", "RestartSec": b"4294967296", "TimerFormat": b"7abc"})
    + bytes([START, TICK, ADVANCE, 0xFF, 0xFF, TICK]),
    "negative_preset": settings({"TimerMinute": b"-1", "TimerSecond": b"-30", "SoundFormat": b"1",
                                 "SoundWav": b"C:\\alarm.wav", "Restart": b"1", "RestartSec": b"-5"})
    + bytes([START, TICK, TICK, TICK]),
    "long_wav": settings({"SoundWav": b"C:\\" + b"w" * 400 + b".wav", "SoundFormat": b"1",
                          "TimerMinute": b"0", "TimerSecond": b"1"})
    + bytes([START, TICK, TICK]),
    "empty_values": settings({k: b"" for k in KEYS}) + bytes([START, TICK, TICK, STOP]),
    "wrap": settings({"TimerMinute": b"1", "TimerSecond": b"0", "Restart": b"1",
                      "RestartSec": b"10"})
    + set_tick(0xFFFFFFFF - 30000) + bytes([START]) + bytes([TICK]) * 75
    + local_time(65535, 65535, 9, 65535, 23, 59, 59, 999) + bytes([TICK]),
    "long_dir": settings(typical, flags=1 << 11) + bytes([START, TICK]),
    "unopenable": settings(typical, flags=(2 << 11) | 0x2000) + bytes([START, TICK, STOP]),
    "formatters": settings({}) + local_time(2024, 12, 6, 31, 12, 30, 0, 0)
    + formatter(256, 0, 0, 0) + formatter(5, 1, 0, 0) + formatter(1, 2, 1, -2147483648)
    + formatter(0, 3, -2147483648, 2147483647) + formatter(256, 5, 0, 0),
}
here = os.path.dirname(os.path.abspath(__file__))
os.makedirs(os.path.join(here, "corpus"), exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(here, "corpus", name), "wb") as f:
        f.write(data)
