#!/usr/bin/env python3
"""Writes a log of realistic UECP encoder traffic, as raw bytes or as hexadecimal text.

Frames carry PS, RT, PI, AF, real time clock, TA/TP and a few other elements for a
handful of encoder addresses; now and then a fault is mixed in (CRC failure, frame cut
off, stray stop byte, bad stuffing, wrong message field length, line noise).

    make_traffic.py --format bin --size 65536 --seed 1 OUTPUT
"""
import argparse
import random


def crc16_genibus(data):
    c = 0xFFFF
    for d in data:
        c ^= d << 8
        for _ in range(8):
            c = ((c << 1) ^ 0x1021) & 0xFFFF if c & 0x8000 else (c << 1) & 0xFFFF
    return c ^ 0xFFFF


def stuff(data):
    out = bytearray()
    for b in data:
        if b >= 0xFD:
            out += bytes((0xFD, b - 0xFD))
        else:
            out.append(b)
    return out


def wire_frame(address, sequence, message, mfl=None):
    body = bytes((address >> 8, address & 0xFF, sequence & 0xFF,
                  len(message) if mfl is None else mfl)) + message
    crc = crc16_genibus(body)
    return b"\xFE" + stuff(body + bytes((crc >> 8, crc & 0xFF))) + b"\xFF"


STATION_NAMES = [b"CORVANEL", b"RADIO 1 ", b"NEWS 24 ", b"  JAZZ  ", b"TRAFFIC "]
RADIO_TEXTS = [b"Now playing: The Beatles - Let It Be", b"Traffic news at the top of the hour",
               b"Call the studio on 0800 123 456", b"Weather: sunny, 21 degrees",
               b"You are listening to Corvanel FM \xe4\xf6\xfc"]


def element(rng):
    kind = rng.choice("PS PS PS RT RT PI AF TATP PTY DI MS RTC".split())
    if kind == "PS":
        return b"\x02\x00\x00" + rng.choice(STATION_NAMES)
    if kind == "RT":
        text = rng.choice(RADIO_TEXTS)[:rng.randint(8, 64)]
        return bytes((0x0A, 0x00, 0x00, len(text) + 1, rng.randrange(4))) + text
    if kind == "PI":
        return bytes((0x01, 0x00, 0x00, 0xD3, rng.choice((0x41, 0xFE, 0x12))))
    if kind == "AF":
        freqs = bytes(rng.randrange(1, 205) for _ in range(rng.randint(2, 12)))
        return bytes((0x13, 0x00, 0x00, len(freqs))) + freqs
    if kind == "TATP":
        return bytes((0x03, 0x00, 0x00, rng.randrange(4)))
    if kind == "PTY":
        return bytes((0x07, 0x00, 0x00, rng.randrange(32)))
    if kind == "DI":
        return bytes((0x04, 0x00, 0x00, rng.randrange(16)))
    if kind == "MS":
        return bytes((0x05, 0x00, 0x00, rng.randrange(2)))
    return bytes((0x0D, 26, 12, 11, rng.randrange(24), rng.randrange(60), rng.randrange(60),
                  rng.randrange(100), rng.choice((0x02, 0x22, 0xFF))))


def traffic_piece(rng, sequence):
    """One frame of the log, sometimes spoiled; returns wire bytes."""
    address = rng.choice((0x0041, 0x0041, 0x0041, 0x0000, 0x00C2, 0x0FFF))
    message = b"".join(element(rng) for _ in range(rng.choice((1, 1, 1, 2, 3))))
    fault = rng.random()
    if fault < 0.004:
        frame = bytearray(wire_frame(address, sequence, message))
        frame[-2] ^= 0x01 if frame[-2] < 0xFC else 0x00
        return bytes(frame)  # CRC failure (or, rarely, still good)
    if fault < 0.006:
        return wire_frame(address, sequence, message)[:-3]  # cut off: un-closed
    if fault < 0.008:
        return b"\xFF"  # stray stop byte
    if fault < 0.009:
        return b"\xFD\x07"  # bad stuffing outside frames
    if fault < 0.011:
        return wire_frame(address, sequence, message, mfl=len(message) + 2)
    if fault < 0.013:
        return bytes(rng.randrange(0x20, 0x7F) for _ in range(rng.randint(1, 6)))  # line noise
    return wire_frame(address, sequence, message)


def hex_line(rng, index, piece):
    millis = index * 40
    stamp = "%02d:%02d:%02d.%03d" % (millis // 3600000 % 24, millis // 60000 % 60,
                                     millis // 1000 % 60, millis % 1000)
    return ("%s  TX: %s\r\n" % (stamp, " ".join("%02X" % b for b in piece))).encode("ascii")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--format", choices=("bin", "text"), default="bin")
    parser.add_argument("--size", type=int, default=65536, help="approximate size in bytes")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("output")
    args = parser.parse_args()
    rng = random.Random(args.seed)
    # A pool of distinct pieces, picked at random, keeps large logs quick to write.
    pool = [traffic_piece(rng, i) for i in range(min(20000, max(200, args.size // 40)))]
    if args.format == "text":
        pool = [hex_line(rng, i, piece) for i, piece in enumerate(pool)]
    written = 0
    with open(args.output, "wb") as out:
        while written < args.size:
            batch = b"".join(rng.choices(pool, k=4096))
            batch = batch[:args.size - written] if written + len(batch) > args.size else batch
            out.write(batch)
            written += len(batch)


if __name__ == "__main__":
    main()
