#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets: a few small logs with good, broken and
stuffed frames, in raw and text form, under each export setting."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def crc(data):
    value = 0xFFFF
    for byte in data:
        value ^= byte << 8
        for _ in range(8):
            value = ((value << 1) ^ 0x1021 if value & 0x8000 else value << 1) & 0xFFFF
    return value ^ 0xFFFF


def frame(address, message, sequence=0):
    body = bytes([address >> 8, address & 0xFF, sequence, len(message)]) + message
    check = crc(body)
    body += bytes([check >> 8, check & 0xFF])
    stuffed = bytearray()
    for byte in body:
        stuffed += bytes([0xFD, byte - 0xFD]) if byte >= 0xFD else bytes([byte])
    return b"\xfe" + bytes(stuffed) + b"\xff"


PS = bytes([0x02, 0x00, 0x00]) + b"RADIO 1 "
RT = bytes([0x0A, 0x00, 0x00, 0x0A, 0x00]) + b"NEWS\xfeNOW"
RTC = bytes([0x0D, 26, 12, 31, 23, 59, 58, 0, 0x22])
PI = bytes([0x01, 0x00, 0x00, 0xD3, 0x1A])
UNKNOWN = bytes([0x99, 1, 2, 3])

FRAMES = [frame(0x0041, PS), frame(0x1234, RT + PI, 7), frame(0x0000, RTC),
          frame(0xFFFF, PI + UNKNOWN)]
BROKEN = b"\xfe\x00\x00\xff" + b"\xff" + b"\xfe\x00\x00\x00\x00\x7b\x3e\xff" + b"\xfd\x07"
BINARY = b"".join(FRAMES) + BROKEN + b"\x00garbage\xfe\x00\x00"


def text(log):
    lines = []
    for i in range(0, len(log), 16):
        pairs = " ".join("%02X" % b for b in log[i:i + 16])
        lines.append("12:00:%02d <%s>" % (i % 60, pairs))
    return ("\r\n".join(lines) + "\r\n").encode()


TEXT = text(b"".join(FRAMES)) + text(BROKEN)


def counted(value):
    return bytes([len(value)]) + value


def run_seed(log_type, mode, details, address=None, mecs=None, fault=0):
    settings = log_type | mode << 2 | details << 4
    settings |= (address is not None) << 5 | (mecs is not None) << 6
    return (bytes([settings, fault]) + counted(address or b"") + counted(mecs or b""))


def write(target, name, content):
    folder = os.path.join(HERE, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(content)


write("run", "analysis-binary", run_seed(0, 0, 1) + BINARY)
write("run", "analysis-text", run_seed(0, 0, 1) + TEXT)
write("run", "keep-details-text", run_seed(1, 1, 1, fault=40) + TEXT)
write("run", "remove-filtered", run_seed(2, 2, 1, b"0041", b"02,0A", fault=0x85) + BINARY)
write("run", "outside-binary", run_seed(2, 3, 0, fault=0x90) + BINARY)
write("text_decoder", "frames", b"\x07" + TEXT)
write("text_decoder", "separators", b"\x01" + b"(FE 00) [12,34];\nFE 0A\r\n\"FF\" <FE>3")
for i, f in enumerate(FRAMES):
    destuffed = bytearray()
    escape = False
    for byte in f[:-1]:
        if escape:
            destuffed.append(0xFD + byte)
            escape = False
        elif byte == 0xFD:
            escape = True
        else:
            destuffed.append(byte)
    length = len(destuffed)
    header = bytes([length & 0xFF, length >> 8, 5, 0, destuffed[5], 40])
    write("element_detail", "frame-%d" % i, header + bytes(destuffed))
