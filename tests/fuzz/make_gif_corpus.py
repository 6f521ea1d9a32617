#!/usr/bin/env python3
"""Writes the seed corpus of the gif_stream fuzzer into corpus/gif_stream/.

Every file is assembled here byte by byte, so each seed shows which part of
the format it exercises: frames and delays, each disposal method, local colour
tables, transparency, interlacing, extensions the decoder must skip, real LZW
data whose code width grows and whose table fills up, GIF87a, empty frames and
cut-off files. Run it again after changing it; the output is deterministic.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "gif_stream")


def header(width, height, palette, version=b"89a"):
    """Signature, logical screen descriptor and global colour table."""
    size_field = 0
    while (2 << size_field) < len(palette):
        size_field += 1
    palette = palette + [(0, 0, 0)] * ((2 << size_field) - len(palette))
    out = b"GIF" + version + struct.pack("<HH", width, height)
    out += bytes([0x80 | 0x70 | size_field, 0, 0])  # table present, 8-bit colour resolution
    for r, g, b in palette:
        out += bytes([r, g, b])
    return out, size_field


def control(delay_cs=0, disposal=0, transparent=None):
    """Graphic control extension: disposal, delay, transparent index."""
    flags = (disposal << 2) | (1 if transparent is not None else 0)
    return bytes([0x21, 0xF9, 0x04, flags]) + struct.pack("<H", delay_cs) + bytes([transparent or 0, 0])


def sub_blocks(data):
    """Data split into blocks of at most 255 bytes, then the terminator."""
    out = b""
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    return out + b"\x00"


def lzw(indices, min_size):
    """A real GIF LZW encoder: the code width grows with the table and a clear
    code restarts it when it is full (4096 entries)."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    out, acc, nbits = bytearray(), 0, 0
    width = min_size + 1

    def emit(code):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    def reset():
        return {(i,): i for i in range(clear)}, end + 1, min_size + 1

    table, next_code, width = reset()
    emit(clear)
    word = ()
    emitted = 0  # codes since the last clear
    for k in indices:
        if word + (k,) in table:
            word += (k,)
            continue
        emit(table[word])
        emitted += 1
        if next_code < 4096:
            table[word + (k,)] = next_code
            next_code += 1
            # The decoder adds this entry one code later, then widens when
            # its next free code needs another bit.
            if next_code - 1 == (1 << width) and width < 12:
                width += 1
        else:
            emit(clear)
            table, next_code, width = reset()
            emitted = 0
        word = (k,)
    if word:
        emit(table[word])
        emitted += 1
        # The decoder adds one more entry on this last code and may widen
        # before it reads the end code.
        if emitted >= 2 and next_code == (1 << width) and next_code <= 0xFFF:
            width += 1
    emit(end)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def image(x, y, w, h, indices, min_size, local=None, interlaced=False):
    """Image descriptor, optional local colour table, LZW raster."""
    flags = 0x40 if interlaced else 0
    table = b""
    if local:
        size_field = 0
        while (2 << size_field) < len(local):
            size_field += 1
        local = local + [(0, 0, 0)] * ((2 << size_field) - len(local))
        flags |= 0x80 | size_field
        table = b"".join(bytes(c) for c in local)
    return (b"\x2C" + struct.pack("<HHHH", x, y, w, h) + bytes([flags]) + table +
            bytes([min_size]) + sub_blocks(lzw(indices, min_size)))


RGBW = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)]
TRAILER = b"\x3B"


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)

    # One red pixel, delay 100 ms.
    h, _ = header(1, 1, RGBW)
    write("one_pixel.gif", h + control(10) + image(0, 0, 1, 1, [0], 2) + TRAILER)

    # Three full frames with delays 0, 10 and 20 hundredths.
    h, _ = header(4, 4, RGBW)
    frames = b"".join(control(d, 1) + image(0, 0, 4, 4, [i] * 16, 2) for i, d in enumerate([0, 10, 20]))
    three = h + frames + TRAILER
    write("three_frames.gif", three)

    # Each disposal method after a partial frame, with a NETSCAPE loop block
    # and a comment the decoder must skip.
    h, _ = header(4, 4, RGBW)
    netscape = b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    comment = b"\x21\xFE" + sub_blocks(b"seed corpus")
    body = control(5, 1) + image(0, 0, 4, 4, [0] * 16, 2)
    for disposal in (0, 1, 2, 3):
        body += control(5, disposal) + image(1, 1, 2, 2, [disposal % 4] * 4, 2)
    write("disposals.gif", h + netscape + comment + body + TRAILER)

    # Transparency over a previous frame, and a local colour table.
    h, _ = header(3, 2, RGBW)
    body = control(5, 1) + image(0, 0, 3, 2, [2] * 6, 2)
    body += control(5, 1, transparent=3) + image(0, 0, 3, 2, [3, 1, 3, 1, 3, 1], 2)
    body += control(5, 1) + image(0, 0, 3, 2, [0, 1, 2, 3, 4, 5], 3,
                                  local=[(9, 9, 9), (20, 20, 20), (40, 40, 40), (80, 80, 80),
                                         (120, 0, 0), (0, 120, 0)])
    write("transparent_local_table.gif", h + body + TRAILER)

    # Interlaced rows (passes of 8, 8, 4 and 2 lines).
    h, _ = header(3, 9, RGBW)
    write("interlaced.gif", h + control(0) + image(0, 0, 3, 9, [i % 4 for i in range(27)], 2,
                                                     interlaced=True) + TRAILER)

    # 256 colours and enough varied pixels for the code width to reach 12
    # bits and the table to fill up and be cleared.
    palette = [(i, 255 - i, (i * 7) & 0xFF) for i in range(256)]
    h, _ = header(96, 96, palette)
    pixels = [((x * 31) ^ (y * 17) ^ (x * y)) & 0xFF for y in range(96) for x in range(96)]
    write("full_lzw_table.gif", h + control(4) + image(0, 0, 96, 96, pixels, 8) + TRAILER)

    # GIF87a: no graphic control extension at all.
    h, _ = header(2, 2, RGBW, b"87a")
    write("gif87a.gif", h + image(0, 0, 2, 2, [0, 1, 2, 3], 2) + TRAILER)

    # A frame of width 0, then a normal one.
    h, _ = header(2, 2, RGBW)
    write("empty_frame.gif", h + control(0) + b"\x2C" + struct.pack("<HHHH", 0, 0, 0, 2) + b"\x00" +
          b"\x02" + sub_blocks(lzw([], 2)) + control(0) + image(0, 0, 2, 2, [1] * 4, 2) + TRAILER)

    # Cut in the middle of frame 3's raster; and cut right after the header.
    write("cut_in_frame_three.gif", three[:len(three) - 6])
    write("cut_after_header.gif", three[:13 + 12])

    # No trailer, and a frame that lies partly outside the canvas.
    h, _ = header(2, 2, RGBW)
    write("no_trailer.gif", h + control(0) + image(0, 0, 2, 2, [0] * 4, 2))
    write("frame_outside_canvas.gif", h + control(0) + image(1, 1, 2, 2, [0] * 4, 2) + TRAILER)


if __name__ == "__main__":
    main()
