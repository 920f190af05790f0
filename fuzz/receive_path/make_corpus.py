#!/usr/bin/env python3
"""Writes the seed corpus of the receive-path fuzz targets from the packet
layouts (one file per scenario): receive_path's (with its fault reproducers
in crashes/) and receive_sync's, which reads the same format. Run from this
folder; the output is checked in."""
import os
import struct

REQUEST = 0xA0000010  # a camera request's transaction number


def packet(code, transaction, payload=b""):
    return struct.pack("<IHHI", 12 + len(payload), code, 0, transaction) + payload


def records(flags, transfers):
    out = bytes([flags])
    for t in transfers:
        out += struct.pack("<H", len(t)) + t
    return out


def request(code, payload=b""):
    return packet(code, REQUEST, payload)


def file_open(name):
    chars = b"".join(bytes([ord(c), 0]) for c in name)
    return request(0x200A, struct.pack("<II", 0, len(name)) + chars)


def file_in(handle, data):
    return request(0x200C, struct.pack("<III", handle, len(data), 0) + data)


def file_close(handle):
    return request(0x200B, struct.pack("<I", handle))


def state_notice(value):
    return request(0x2003, struct.pack("<HH", value, 1))


def stat_changed(entries):
    body = struct.pack("<I", len(entries))
    for index, kind, value in entries:
        body += struct.pack("<IB3xi", index, kind, value)
    return request(0x2009, body)


def frame(width, height, data, status=0):
    sub = struct.pack("<HHHHiiiiI", status, 0, width, height, 20, 5, 0, 1, len(data))
    return packet(0x100A, 5, sub + data)


def after_view(width, height, data):
    return packet(0x102B, 6, struct.pack("<HHHHI", 0, 0, width, height, len(data)) + data)


def all_cam_stat(entries):
    body = struct.pack("<HHI", 0, 0, len(entries))
    for index, value in entries:
        body += struct.pack("<IIiIii", index, 0, value, 0, 0, 0)
    return packet(0x100E, 3, body)


def split(data, size=512):
    return [data[i:i + size] for i in range(0, len(data), size)]


JPEG = bytes([0xFF, 0xD8, 0xFF, 0xE0]) + bytes(range(256)) * 8 + bytes([0xFF, 0xD9])

SEEDS = {
    "requests": records(0, [state_notice(1), stat_changed([(8, 1, 20), (9, 3, 4), (200, 1, 1)]),
                            request(0x2008, b"\0\0"), request(0x2001), request(0x200D),
                            request(0x2006, b"\0\0"), request(0x2019), request(0x7777, b"xy")]),
    "file": records(0, [file_open("DSC00001.JPG")] + [file_in(1, JPEG[:1500]), file_in(1, JPEG[1500:]),
                                                     file_close(1), file_open("DSC00001.THM"),
                                                     file_in(2, JPEG[:300]), file_close(2)]),
    "file_in_pieces": records(0x05, [file_open("IMG.QRW"), file_in(1, bytes(3000)), file_close(1)]),
    "files_interleaved": records(0, [file_open("A.JPG"), file_open("B.JPG"), file_in(2, b"bb"),
                                     file_in(1, b"aa"), file_close(2), file_close(1), file_close(9)]),
    "frame": records(0x10, [state_notice(1)] + split(frame(64, 48, JPEG))),
    "frame_short_reads": records(0x03, split(frame(64, 48, JPEG))),
    "after_view": records(0, split(after_view(32, 24, JPEG[:900]))),
    "responses": records(0, [all_cam_stat([(3, 1), (4, 2), (29, 0), (8, 30)]),
                             packet(0x1005, 4, struct.pack("<Hii", 0, 100, 200)),
                             packet(0x1029, 7, struct.pack("<HHHHH", 0, 1, 2, 3, 4)),
                             packet(0x102C, 8, struct.pack("<HHHH", 0, 9, 8, 7)),
                             packet(0x1100, 9), packet(0x1030, 10, b"\1\0")]),
    "closing": records(0, [state_notice(1), request(0x2002)]),
    "lying_lengths": records(0, [struct.pack("<IHHI", 4096, 0x200C, 0, REQUEST) + bytes(20),
                                 struct.pack("<IHHI", 11, 0x2003, 0, REQUEST),
                                 file_open("X.JPG")[:-3], request(0x2009, struct.pack("<I", 0xFFFFFFFF))]),
}

# A frame whose continuation comes back short, followed by a transfer longer
# than the rest of the packet.
first = frame(16, 16, bytes(1536 - 12 - 28))
CRASHES = {
    "short_continuation_then_long_transfer": records(0, [first[:512], bytes(511), bytes(1024)]),
}

# For receive_sync: a raw file after its picture (quality 6) while three
# files are awaited.
SYNC_SEEDS = dict(SEEDS)
SYNC_SEEDS["raw_after_picture"] = records(0x60, [file_open("A.JPG"), file_in(1, JPEG[:700]),
                                                 file_close(1), file_open("A.QRW"),
                                                 file_in(2, bytes(900)), file_close(2)])

for folder, inputs in (("corpus", SEEDS), ("crashes", CRASHES),
                       ("../receive_sync/corpus", SYNC_SEEDS)):
    os.makedirs(folder, exist_ok=True)
    for name, data in inputs.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
