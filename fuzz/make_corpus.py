#!/usr/bin/python3
"""Writes the hand-made seeds and hostile files of the fuzz corpora (corpus/<reader>/).

Seeds are small valid files of each kind; the hostile files are the tiny files that once
made a reader take far too much memory or time, or read past its buffer. Files that a
fuzzer found are kept beside them as they were found (named by their hash).
Run: /usr/bin/python3 fuzz/make_corpus.py
"""
import io
import os
import struct
import zlib

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))


def put(reader, name, data):
    d = os.path.join(HERE, "corpus", reader)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


def pil(img, fmt, **kw):
    b = io.BytesIO()
    img.save(b, fmt, **kw)
    return b.getvalue()


def pattern(mode, w, h):
    img = Image.new("RGB", (w, h))
    img.putdata([((x * 37) % 256, (y * 53) % 256, ((x + y) * 11) % 256) for y in range(h) for x in range(w)])
    return img.convert(mode) if mode != "RGB" else img


# ---- BMP and packed DIB -------------------------------------------------------------

def bmp_file(dib, palette_bytes=0, header=40):
    return b"BM" + struct.pack("<IHHI", 14 + len(dib), 0, 0, 14 + header + palette_bytes) + dib


def info_header(w, h, bits, compression=0, used=0, image_size=0):
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, compression, image_size, 2835, 2835, used, 0)


def bmp_seeds():
    seeds = {
        "rgb24.bmp": pil(pattern("RGB", 7, 5), "BMP"),
        "pal8.bmp": pil(pattern("P", 9, 4), "BMP"),
        "mono.bmp": pil(pattern("1", 13, 3), "BMP"),
    }
    pal16 = b"".join(struct.pack("<BBBB", i * 16, 255 - i * 16, i * 8, 0) for i in range(16))
    rle4 = bytes([4, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 0, 0, 1])
    seeds["rle4.bmp"] = bmp_file(info_header(7, 2, 4, 2, 16, len(rle4)) + pal16 + rle4, len(pal16))
    pal256 = b"".join(struct.pack("<BBBB", i, i, 255 - i, 0) for i in range(256))
    rle8 = bytes([3, 7, 0, 3, 1, 2, 3, 0, 0, 2, 1, 1, 2, 9, 0, 1])
    seeds["rle8.bmp"] = bmp_file(info_header(6, 3, 8, 1, 256, len(rle8)) + pal256 + rle8, len(pal256))
    masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    px16 = b"".join(struct.pack("<H", v) for v in (0xFFFF, 0xF800, 0x07E0, 0x001F)) * 2
    seeds["bitfields565.bmp"] = bmp_file(info_header(4, 2, 16, 3) + masks + px16, len(masks))
    px32 = bytes(range(32))
    seeds["rgb32.bmp"] = bmp_file(info_header(4, 2, 32) + px32)
    os2 = struct.pack("<IHHHH", 12, 3, 2, 1, 24) + bytes(range(24))
    seeds["os2.bmp"] = bmp_file(os2, 0, 12)
    return seeds


def all_bmp():
    for name, data in bmp_seeds().items():
        put("bmp", name, data)
        put("dib", name.replace(".bmp", ".dib"), data[14:] + bytes(4))
    # An RLE bitmap that ends at once: a large image described by a few bytes.
    put("bmp", "rle8_ends_early.bmp", bmp_file(info_header(2000, 2000, 8, 1, 2, 2) + bytes(8) + bytes([0, 1]), 8))
    # RLE files of 16 million rows in a few bytes, bottom-up and top-down.
    put("bmp", "regress-rle4-tall.bmp", bmp_file(info_header(7, 16777214, 4, 2, 16, 2) + bytes(64) + bytes([0, 1]), 64))
    put("bmp", "regress-rle8-tall-top-down.bmp",
        bmp_file(info_header(7, -16777214, 8, 1, 2, 2) + bytes(8) + bytes([0, 1]), 8))
    # Top-down packed DIB.
    put("dib", "top_down.dib", info_header(3, -2, 24) + bytes(range(24)) + bytes(4))


# ---- PNG ----------------------------------------------------------------------------

def chunk(kind, data, length=None):
    n = len(data) if length is None else length
    return struct.pack(">I", n) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


PNG_SIG = b"\x89PNG\r\n\x1a\n"


def ihdr(w, h, depth, colour, interlace=0):
    return chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, depth, colour, 0, 0, interlace))


def all_png():
    put("png", "rgb.png", pil(pattern("RGB", 6, 4), "PNG"))
    put("png", "rgba_interlaced.png", pil(pattern("RGB", 5, 5).convert("RGBA"), "PNG", interlace=1))
    put("png", "palette.png", pil(pattern("P", 7, 3), "PNG"))
    put("png", "grey16.png", pil(pattern("L", 4, 4).convert("I;16"), "PNG"))
    put("png", "mono.png", pil(pattern("1", 9, 2), "PNG"))
    put("png", "grey_alpha_bkgd.png",
        PNG_SIG + ihdr(2, 1, 8, 4) + chunk(b"bKGD", b"\x00\x80") +
        chunk(b"IDAT", zlib.compress(b"\x00\x10\x80\xf0\x00")) + chunk(b"IEND", b""))
    idat = chunk(b"IDAT", zlib.compress(b"\x00\x00\x00\x00"))
    # A header claiming a huge interlaced image over a few bytes of data.
    put("png", "huge_interlaced.png", PNG_SIG + ihdr(60000, 60000, 8, 6, 1) + idat + chunk(b"IEND", b""))
    # A text chunk and an unknown chunk that declare 2 GiB.
    put("png", "text_2gib.png", PNG_SIG + ihdr(1, 1, 8, 0) + chunk(b"tEXt", b"Comment\x00x", 0x7FFFFFF0) + idat)
    put("png", "unknown_2gib.png", PNG_SIG + ihdr(1, 1, 8, 0) + chunk(b"quXe", b"xyz", 0x7FFFFFF0) + idat)
    put("png", "itxt_huge.png", PNG_SIG + ihdr(1, 1, 8, 0) +
        chunk(b"zTXt", b"k\x00\x00" + zlib.compress(b"a" * 200000)) + idat + chunk(b"IEND", b""))
    # Zero-length chunks, among them the one we read ourselves.
    put("png", "zero_length_bkgd.png", PNG_SIG + ihdr(1, 1, 8, 4) + chunk(b"bKGD", b"") +
        chunk(b"IDAT", zlib.compress(b"\x00\x10\x80")) + chunk(b"IEND", b""))
    put("png", "zero_length_iccp.png", PNG_SIG + ihdr(1, 1, 8, 0) + chunk(b"iCCP", b"") + chunk(b"quXe", b"") +
        idat + chunk(b"IEND", b""))


# ---- JPEG ---------------------------------------------------------------------------

def patch_size(jpeg, w, h):
    """Sets the frame's width and height in the first SOF marker."""
    b = bytearray(jpeg)
    i = 2
    while i < len(b):
        marker = b[i + 1]
        length = struct.unpack(">H", b[i + 2:i + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            b[i + 5:i + 9] = struct.pack(">HH", h, w)
            return bytes(b)
        i += 2 + length
    raise ValueError("no frame header")


def all_jpeg():
    small = pattern("RGB", 16, 16)
    put("jpeg", "baseline.jpg", pil(small, "JPEG", quality=50))
    put("jpeg", "grey.jpg", pil(small.convert("L"), "JPEG", quality=50))
    put("jpeg", "progressive.jpg", pil(small, "JPEG", quality=40, progressive=True))
    put("jpeg", "cmyk.jpg", pil(small.convert("CMYK"), "JPEG", quality=40))
    put("jpeg", "subsampled_dpcm.jpg", pil(pattern("RGB", 17, 9), "JPEG", quality=30, subsampling=2, dpi=(300, 300)))
    # A progressive CMYK file of a few hundred bytes whose frame claims 8000 × 8000.
    cmyk = pil(Image.new("CMYK", (8, 8)), "JPEG", quality=10, progressive=True)
    put("jpeg", "progressive_cmyk_huge.jpg", patch_size(cmyk, 8000, 8000))
    base = pil(Image.new("RGB", (8, 8)), "JPEG", quality=10)
    put("jpeg", "baseline_huge.jpg", patch_size(base, 65000, 65000))


# ---- icons and cursors ---------------------------------------------------------------

def icon_file(entries, kind=1):
    """entries: (width, height, bits, hot_x, hot_y, data)"""
    out = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    blobs = b""
    for w, h, bits, hx, hy, data in entries:
        second = (hx, hy) if kind == 2 else (1, bits)
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, second[0], second[1], len(data), offset + len(blobs))
        blobs += data
    return out + blobs


def dib_entry(w, h, bits, pixels, palette=b""):
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bits, 0, 0, 0, 0, 0, 0)
    mask = bytes(((w + 31) // 32 * 4) * h)
    return header + palette + pixels + mask


def all_icon():
    pal16 = b"".join(struct.pack("<BBBB", i * 16, i * 8, 255 - i * 16, 0) for i in range(16))
    px4 = bytes([0x01, 0x23, 0x45, 0x67]) * 16
    e4 = dib_entry(8, 8, 4, px4, pal16)
    px32 = b"".join(struct.pack("<BBBB", x * 30, y * 30, 128, 255 if (x + y) % 3 else 0)
                    for y in range(4) for x in range(4))
    e32 = dib_entry(4, 4, 32, px32)
    png = pil(pattern("RGB", 8, 8).convert("RGBA"), "PNG")
    # The first byte of a seed picks the requested size (see the harness).
    put("icon", "two_entries.ico", b"\x00" + icon_file([(8, 8, 4, 0, 0, e4), (4, 4, 32, 0, 0, e32)]))
    put("icon", "png_entry.ico", b"\x01" + icon_file([(8, 8, 32, 0, 0, png)]))
    put("icon", "cursor.cur", b"\x02" + icon_file([(8, 8, 4, 3, 5, e4)], kind=2))
    # A directory that claims a 1024 × 2048 entry held in a few bytes.
    big = struct.pack("<IiiHHIIiiII", 40, 1024, 2048, 1, 32, 0, 0, 0, 0, 0, 0) + bytes(16)
    put("icon", "huge_entry.ico", b"\x03" + icon_file([(0, 0, 32, 0, 0, big)] * 8))


# ---- WMF ----------------------------------------------------------------------------

def wmf_record(func, *words):
    return struct.pack("<IH", 3 + len(words), func) + b"".join(struct.pack("<h", w) for w in words)


def wmf_file(records, box=(0, 0, 400, 300), inch=1440, objects=4):
    body = b"".join(records) + wmf_record(0)
    header = struct.pack("<HHHIHIH", 1, 9, 0x300, (18 + len(body)) // 2, objects, 8, 0)
    key = struct.pack("<IH4hHI", 0x9AC6CDD7, 0, *box, inch, 0)
    placeable = key + struct.pack("<H", checksum(key))
    return placeable + header + body


def checksum(key):
    c = 0
    for i in range(0, 20, 2):
        c ^= struct.unpack("<H", key[i:i + 2])[0]
    return c


def all_wmf():
    shapes = [
        wmf_record(0x020C, 300, 400), wmf_record(0x020B, 0, 0),
        wmf_record(0x02FA, 0, 3, 0, 0x00FF, 0),             # pen
        wmf_record(0x02FC, 0, 0x3300, 0x0011, 0),           # brush
        wmf_record(0x012D, 0), wmf_record(0x012D, 1),
        wmf_record(0x041B, 200, 300, 20, 10),               # rectangle
        wmf_record(0x0418, 280, 390, 150, 200),             # ellipse
        wmf_record(0x0324, 3, 10, 10, 100, 20, 50, 90),     # polygon
        wmf_record(0x001E), wmf_record(0x0415, 50, 50, 10, 10), wmf_record(0x0127, -1),
        wmf_record(0x0521, 2, 0x6948, 40, 40),              # text "Hi"
    ]
    put("wmf", "shapes.wmf", wmf_file(shapes))
    # A 46-byte placeable file whose frame asks for a 16000 × 16000 canvas.
    huge = wmf_file([], box=(0, 0, 16000, 16000), inch=96)
    assert len(huge) == 46
    put("wmf", "placeable_huge_frame.wmf", huge)
    put("wmf", "savedc_flood.wmf", wmf_file([wmf_record(0x001E)] * 1200))
    excludes = [wmf_record(0x0415, (i * 7) % 300 + 2, (i * 13) % 400 + 2, (i * 7) % 300, (i * 13) % 400)
                for i in range(290)]
    put("wmf", "exclude_flood.wmf", wmf_file(excludes + [wmf_record(0x041B, 300, 400, 0, 0)]))


# ---- EMF ----------------------------------------------------------------------------

def emf_record(kind, payload):
    return struct.pack("<II", kind, 8 + len(payload)) + payload


def emf_file(records, description=None, desc_chars=None, desc_offset=None):
    text = "kandrivel\0".encode("utf-16-le") if description is None else description
    body = b"".join(records) + emf_record(14, struct.pack("<III", 0, 16, 20))
    header_size = 108 + len(text)
    chars = len(text) // 2 if desc_chars is None else desc_chars
    offset = 108 if desc_offset is None else desc_offset
    header = struct.pack("<II4i4iIIIIHHIIIii ii III ii", 1, header_size,
                         0, 0, 99, 49, 0, 0, 2646, 1323,
                         0x464D4520, 0x10000, header_size + len(body), len(records) + 2, 4, 0,
                         chars, offset, 0, 1024, 768, 270, 203, 0, 0, 0, 270000, 203000)
    return header + text + body


def all_emf():
    rect = [
        emf_record(39, struct.pack("<IIII", 1, 0, 0x00FF00, 0)),      # CREATEBRUSHINDIRECT
        emf_record(37, struct.pack("<I", 1)),                           # SELECTOBJECT
        emf_record(43, struct.pack("<4i", 10, 10, 80, 40)),             # RECTANGLE
        emf_record(42, struct.pack("<4i", 20, 5, 60, 45)),              # ELLIPSE
    ]
    put("emf", "shapes.emf", emf_file(rect))
    # Description offset and length pointing at and past the end of the header.
    put("emf", "description_past_end.emf", emf_file(rect, desc_chars=400, desc_offset=112))
    put("emf", "description_offset_at_end.emf", emf_file(rect, desc_chars=1, desc_offset=0xFFFFFFF0))


# ---- stream frames and the option file ------------------------------------------------

def all_frames():
    jpeg = pil(pattern("RGB", 8, 8), "JPEG", quality=30)
    framed = b"JFIF" + struct.pack("<II", 0, len(jpeg)) + jpeg
    put("stream_frame", "jfif_framed.bin", b"\x01" + framed + framed)
    put("stream_frame", "jfif_bare.bin", b"\x00" + jpeg)
    put("stream_frame", "pcx2_length_past_end.bin", b"\x01" + b"PCX2" + struct.pack("<II", 0, 0xFFFFFFF0) + bytes(8))
    put("stream_frame", "pcx_old_header.bin", b"\x01PCX\x00" + bytes(140))
    put("stream_frame", "jfif_length_past_end.bin", b"\x01JFIF" + struct.pack("<II", 0, 0x7FFFFFFF) + jpeg)


def all_options():
    put("option_file", "zeros.cgf", bytes(2379))
    put("option_file", "short.cgf", bytes(100))
    string = struct.pack("<i", 5) + b"abcde"
    put("option_file", "strings.cgf", bytes(2379) + string * 3 + struct.pack("<i", 0x7FFFFFFF))


# ---- GIF block structure ------------------------------------------------------------

def gif_screen(w, h, packed, table=b"", version=b"GIF89a"):
    return version + struct.pack("<HHBBB", w, h, packed, 0, 0) + table


def gif_frame(w, h, left=0, top=0, packed=0, data=b"\x02\x02\x44\x01\x00"):
    return b"," + struct.pack("<HHHHB", left, top, w, h, packed) + data


def all_gif():
    frames = [pattern("RGB", 9, 7).rotate(90 * i) for i in range(3)]
    b = io.BytesIO()
    frames[0].save(b, "GIF", save_all=True, append_images=frames[1:], duration=[0, 40, 70], loop=0)
    put("gif", "animated.gif", b.getvalue())
    put("gif", "interlaced.gif", pil(pattern("P", 5, 11), "GIF", interlace=True))
    bw = b"\x00\x00\x00\xff\xff\xff"
    gce = b"\x21\xf9\x04\x01\x0a\x00\x01\x00"
    put("gif", "gce_in_87a.gif", gif_screen(2, 2, 0x80, bw, b"GIF87a") + gce + gif_frame(2, 2) + b";")
    put("gif", "huge_frame.gif", gif_screen(1, 1, 0x80, bw) + gif_frame(65535, 65535) + b";")
    put("gif", "table_cut.gif", gif_screen(2, 2, 0x87, bw))
    put("gif", "subblock_past_end.gif", gif_screen(2, 2, 0x80, bw) + b"\x21\xfe\xff" + b"x" * 20)
    put("gif", "no_table.gif", gif_screen(4, 1, 0) + gif_frame(4, 1, 300, 300) + gif_frame(4, 1, packed=0x85) + b";")
    put("gif", "wide_code.gif", gif_screen(2, 1, 0x80, bw) + gif_frame(2, 1, data=b"\x0c\x01\x00\x00") + b";")


# ---- TIFF ---------------------------------------------------------------------------

TIFF_TYPES = {1: 1, 2: 1, 3: 2, 4: 4, 5: 8}


def tiff_file(entries, strip=b""):
    """entries: (tag, type, count, value bytes or None for the strip offset).
    The strip follows the header; values longer than 4 bytes follow the directory."""
    strip_at = 8
    ifd_at = strip_at + len(strip) + (len(strip) & 1)
    values_at = ifd_at + 2 + 12 * len(entries) + 4
    ifd = struct.pack("<H", len(entries))
    values = b""
    for tag, kind, count, value in sorted(entries, key=lambda e: e[0]):
        if value is None:
            value = struct.pack("<I", strip_at)
        if len(value) <= 4:
            field = value.ljust(4, b"\0")
        else:
            field = struct.pack("<I", values_at + len(values))
            values += value + b"\0" * (len(value) & 1)
        ifd += struct.pack("<HHI", tag, kind, count) + field
    ifd += struct.pack("<I", 0)
    return b"II*\0" + struct.pack("<I", ifd_at) + strip + b"\0" * (len(strip) & 1) + ifd + values


def short(tag, v):
    return (tag, 3, 1, struct.pack("<H", v))


def long_(tag, v):
    return (tag, 4, 1, struct.pack("<I", v))


def bilevel_tiff(w, h, strip, compression=1, photometric=0, fill_order=1, extra=()):
    return tiff_file([long_(256, w), long_(257, h), short(258, 1), short(259, compression),
                      short(262, photometric), short(266, fill_order), (273, 4, 1, None),
                      short(277, 1), long_(278, h), long_(279, len(strip))] + list(extra), strip)


def all_tiff():
    # 2^28 strip offsets and byte counts declared by a file of a few bytes.
    huge = 1 << 28
    put("tiff", "regress-strip-count-huge.tif",
        tiff_file([long_(256, 1), long_(257, huge), short(258, 1), short(259, 1), short(262, 0),
                   (273, 4, huge, struct.pack("<I", 8)), long_(278, 1), (279, 4, huge, struct.pack("<I", 8))],
                  b"\xff" * 4))
    # A G3 file of width 1 and 2^28 rows, and a G4 page of 16384 × 16384 in 2 bytes.
    put("tiff", "regress-g3-tall.tif", bilevel_tiff(1, huge, b"\x00\x01" * 20, compression=3))
    put("tiff", "regress-g4-page-two-bytes.tif", bilevel_tiff(16384, 16384, b"\x80\x00", compression=4))
    # The same page in a palette of two colours, which takes 24 bits a pixel.
    colours = struct.pack("<6H", 0xFFFF, 0, 0, 0, 0, 0xFFFF)
    put("tiff", "regress-g4-colour-page.tif",
        bilevel_tiff(16384, 16384, b"\x80" * 300, compression=4, photometric=3, extra=[(320, 3, 6, colours)]))
    # A G3 strip of zeros only: no end-of-line anywhere for the decoder to find.
    put("tiff", "regress-g3-zero-strip.tif", bilevel_tiff(8, 4096, bytes(4096), compression=3))
    # 1-bit strips with fill order 2, plain and PackBits (the bits of each byte reversed).
    rows = bytes([0b10110000, 0b01000000, 0b11100000])
    rev = bytes(int(f"{b:08b}"[::-1], 2) for b in rows)
    put("tiff", "fill-order-2.tif", bilevel_tiff(4, 3, rev, fill_order=2))
    packed = bytes([2]) + rows
    put("tiff", "fill-order-2-packbits.tif",
        bilevel_tiff(4, 3, bytes(int(f"{b:08b}"[::-1], 2) for b in packed), compression=32773, fill_order=2))
    # An RGB pixel whose resolution is the largest rational there is.
    rational = struct.pack("<II", 0xFFFFFFFF, 1)
    put("tiff", "resolution-max.tif",
        tiff_file([long_(256, 1), long_(257, 1), (258, 3, 3, struct.pack("<HHH", 8, 8, 8)), short(259, 1),
                   short(262, 2), (273, 4, 1, None), short(277, 3), long_(278, 1), long_(279, 3),
                   (282, 5, 1, rational), (283, 5, 1, rational), short(296, 2)], b"\x10\x80\xf0"))


def tiff_chain(pages):
    """A chain of directories, one after the other; pages: lists of entries whose values
    fit their field."""
    out = b"II*\0" + struct.pack("<I", 8)
    for i, entries in enumerate(pages):
        at = len(out)
        nxt = at + 2 + 12 * len(entries) + 4 if i + 1 < len(pages) else 0
        out += struct.pack("<H", len(entries))
        for tag, kind, count, value in sorted(entries, key=lambda e: e[0]):
            out += struct.pack("<HHI", tag, kind, count) + value.ljust(4, b"\0")
        out += struct.pack("<I", nxt)
    return out


def tiny_page(strip_at):
    """A 1 × 1 black-is-zero page whose pixel lies at strip_at."""
    return [long_(256, 1), long_(257, 1), short(262, 1), long_(273, strip_at)]


def shared_strips(w, h, rows, strip, extra, counts=None):
    """An image whose strips of `rows` rows all start at the one strip that follows the
    header (offsets stored as bytes); byte counts missing unless given."""
    n = (h + rows - 1) // rows
    entries = [long_(256, w), long_(257, h), (273, 1, n, bytes([8]) * n), long_(278, rows)] + list(extra)
    if counts is not None:
        entries.append((279, 1, n, bytes([counts]) * n))
    return tiff_file(entries, strip)


def all_tiff_rounds():
    """Strips sharing their bytes, LZW without data, long chains, long fax pages and
    fill order 2 on every depth."""
    rgb = [(258, 3, 3, struct.pack("<HHH", 8, 8, 8)), short(262, 2), short(277, 3)]
    put("tiff", "regress-shared-strips-packbits.tif",
        shared_strips(16384, 16384, 24, b"\x81\x00" * 50, rgb + [short(259, 32773)]))
    colours = struct.pack("<6H", 0xFFFF, 0, 0, 0, 0, 0xFFFF)
    bilevel_palette = [short(258, 1), short(262, 3), (320, 3, 6, colours)]
    put("tiff", "regress-shared-strips-g4-palette.tif",
        shared_strips(16384, 16384, 24, b"\xff" * 100, bilevel_palette + [short(259, 4)], counts=0))
    put("tiff", "regress-shared-strips-mono-palette.tif",
        shared_strips(16384, 16384, 24, b"\x55" * 100, bilevel_palette + [short(259, 1)]))
    # A blank fax page whose strips all use one blank strip: it loads.
    put("tiff", "blank-page-shared-strip.tif",
        shared_strips(1728, 400, 20, b"\xff" * 3, [short(258, 1), short(262, 0), short(259, 4)]))
    # LZW strips of a few bytes claiming 768 MiB of pixels.
    put("tiff", "regress-lzw-tiny-data-huge.tif",
        tiff_file([long_(256, 16384), long_(257, 16384), (273, 4, 1, None), long_(279, 12), short(259, 5)] + rgb,
                  b"\x80\x00\x20\x10\x08\x04\x02\x01\x00\x80\x40\x20"))
    # A G3 page of 1728 × 155344 pixels (the most the readers take) in a few hundred bytes.
    put("tiff", "regress-g3-long-page.tif",
        bilevel_tiff(1728, 155344, b"\xff" * 400, compression=3, extra=[long_(292, 1)]))
    # Fill order 2 on 8 bits: grey plain, RGB packed (every byte reversed, control bytes too).
    rev = lambda data: bytes(int(f"{b:08b}"[::-1], 2) for b in data)
    grey = bytes(range(0, 240, 20))
    put("tiff", "fill-order-2-grey8.tif",
        tiff_file([long_(256, 4), long_(257, 3), short(258, 8), short(262, 1), short(266, 2), (273, 4, 1, None),
                   long_(279, len(grey))], rev(grey)))
    packed = bytes([5]) + bytes(range(10, 70, 10)) + bytes([0xFB, 0x33])
    put("tiff", "fill-order-2-rgb-packbits.tif",
        tiff_file([long_(256, 4), long_(257, 1), short(259, 32773), short(266, 2), (273, 4, 1, None),
                   long_(279, len(packed))] + rgb, rev(packed)))
    # Directory chains: a short one for the fuzzer to grow, a long one for the page walk.
    put("tiff", "chain-15-pages.tif", tiff_chain([tiny_page(8)] * 15))
    put("tiff", "regress-many-pages.tif", tiff_chain([tiny_page(8)] * 1000))


def all_multi():
    """The first byte picks the format: even TIFF, odd GIF."""
    here = os.path.join(HERE, "corpus")
    for first, folder, name in ((0, "tiff", "regress-many-pages.tif"), (0, "tiff", "regress-g3-long-page.tif"),
                                (0, "tiff", "chain-15-pages.tif"), (0, "tiff", "regress-shared-strips-g4-palette.tif"),
                                (0, "tiff", "regress-lzw-tiny-data-huge.tif"), (0, "tiff", "g4.tif"),
                                (1, "gif", "animated.gif"), (1, "gif", "regress-many-frames.gif")):
        with open(os.path.join(here, folder, name), "rb") as f:
            put("multi", f"{folder}-{name}", bytes([first]) + f.read())


# ---- PCX ----------------------------------------------------------------------------

def pcx_file(w, h, bits, planes, data, bpl=None, encoding=1):
    bpl = bpl if bpl is not None else ((w * bits + 7) // 8 + 1) & ~1
    header = struct.pack("<BBBBHHHHHH", 10, 5, encoding, bits, 0, 0, w - 1, h - 1, 72, 72)
    header += bytes(range(0, 48)) + b"\0" + struct.pack("<BHH", planes, bpl, 1)
    return header.ljust(128, b"\0") + data


def pcx_rgb(w, h):
    rows = b""
    for y in range(h):
        for plane in range(3):
            line = bytes(((x * 50 + y * 30 + plane * 80) & 0xFF) for x in range(w))
            line = line.ljust(((w + 1) & ~1), b"\0")
            rows += b"".join(bytes([0xC1, b]) if b >= 0xC0 else bytes([b]) for b in line)
    return pcx_file(w, h, 8, 3, rows, bpl=(w + 1) & ~1)


def all_pcx():
    # 2 bits a pixel: a layout no PCX reader decodes.
    put("pcx", "regress-two-bit.pcx", pcx_file(7, 3, 2, 1, bytes([0xC6, 0x1B]) * 3))


# ---- GIF without frames ---------------------------------------------------------------

def all_gif_many_frames():
    # A thousand frames of one pixel: the frame walk of every frame's read.
    bw = b"\x00\x00\x00\xff\xff\xff"
    put("gif", "regress-many-frames.gif", gif_screen(1, 1, 0x80, bw) + gif_frame(1, 1) * 1000 + b";")


def all_gif_frameless():
    bw = b"\x00\x00\x00\xff\xff\xff"
    put("gif", "regress-no-frames.gif", gif_screen(2, 2, 0x80, bw) + b";")
    put("gif", "regress-zero-size-screen.gif", gif_screen(0, 0, 0))


# ---- catalog, batch and slide-show files ---------------------------------------------------

def catalog_record(text, pcx):
    return struct.pack("<i", len(text)) + text + b"PCX2" + struct.pack("<II", 0, len(pcx)) + pcx


def all_catalog():
    entry = b"/bilder/urlaub.jpg\r1234567890\r48213\r640\r480\r"
    put("catalog", "two_records.pca", catalog_record(entry, pcx_rgb(4, 3)) +
        catalog_record(b"/fehlt.png\r0\r0\r0\r0\r", pcx_rgb(2, 2)))
    put("catalog", "missing_fields.pca", catalog_record(b"/a.bmp", pcx_rgb(3, 1)))
    put("catalog", "text_past_end.pca", struct.pack("<i", 0x7FFFFFF0) + b"x" * 8)
    put("catalog", "thumbnail_past_end.pca", struct.pack("<i", 1) + b"/" + b"PCX2" +
        struct.pack("<II", 0, 0xFFFFFFF0) + bytes(16))
    put("catalog", "two_bit_thumbnail.pca", catalog_record(b"/c.pcx\r", pcx_file(3, 2, 2, 1, bytes(8))))


RECORD_SIZE = 1424


def save_params(bits=8, samples=3, dpi=(96, 96), pcx_version=5, quality=50):
    b = bytearray(1164)
    struct.pack_into("<iiii", b, 0, bits, samples, dpi[0], dpi[1])
    b[16:23] = b"\x06GIF89a"
    struct.pack_into("<i", b, 324, 1)           # TiffPlanarConfig
    struct.pack_into("<i", b, 1124, quality)    # JpegQuality
    struct.pack_into("<i", b, 1140, pcx_version)
    b[1144] = 1
    for off in (1148, 1152, 1156, 1160):
        struct.pack_into("<i", b, off, 16)
    return bytes(b)


def command(code, name=b"", args=(), params=None):
    r = bytearray(RECORD_SIZE)
    r[0] = code
    if name:
        r[1] = len(name)
        r[2:2 + len(name)] = name
    for i, a in enumerate(args):
        struct.pack_into("<i", r, 4 + 4 * i, a)
    if params is not None:
        r[260:260 + 1164] = params
    return bytes(r)


def all_batch():
    put("batch_file", "open_gray_save.atm", command(1, b"/tmp/a.jpg") + command(17) +
        command(2, b"/tmp/out.pcx", params=save_params()))
    put("batch_file", "save_every_format.atm", b"".join(
        command(2, b"/tmp/out." + ext, params=save_params(bits, samples))
        for ext, bits, samples in ((b"bmp", 4, 1), (b"png", 1, 1), (b"tiff", 8, 3), (b"jpg", 8, 1))))
    put("batch_file", "regress-pcx-depth-overflow.atm",
        command(2, b"/tmp/out.pcx", params=save_params(65536, 65536)))
    put("batch_file", "regress-png-dpi-overflow.atm",
        command(2, b"/tmp/out.png", params=save_params(dpi=(387389207, 96))))
    put("batch_file", "sizes_and_half_record.atm", command(0, args=(40, 30, 1)) +
        command(24, args=(70000, 2, 9)) + command(16, args=(300,)) + bytes(700))


def slide_block(fontsize=20, window=0, fixed=(300, 300), order=0, scaling=1, listsort=0, repeat=0):
    b = bytearray(836)
    struct.pack_into("<12i", b, 0, 2, window, fixed[0], fixed[1], order, scaling, 1, 15, listsort, 0, 0, fontsize)
    b[48:55] = bytes([1, 1, 1, repeat, 0, 1, 1])
    b[823:833] = bytes([1, 1, 1, 0, 1, 0, 0, 0, 0, 1])
    return bytes(b)


def all_slides():
    names = b"/bilder/b.jpg\r\n/bilder/A.BMP\r\n\r\n/bilder/c.tif\n/bilder/d.png\r\n"
    put("slide_show", "list_by_name.bin", slide_block(listsort=2, scaling=2) + names)
    put("slide_show", "random_backwards.bin", slide_block(order=1, listsort=1, repeat=1, window=2) + names)
    put("slide_show", "regress-font-size-negative.bin", slide_block(fontsize=-1600000000) + names)
    put("slide_show", "huge_fixed_window.bin", slide_block(fontsize=0x7FFFFFFF, fixed=(0x7FFFFFFF, -5)))


def all_option_slide_font():
    o = bytearray(2379)
    struct.pack_into("<i", o, 1325 + 44, -1600000000)
    put("option_file", "regress-slide-font-negative.cgf", bytes(o) + struct.pack("<i", 0) * 25)


# ---- load then save ------------------------------------------------------------------

def all_load_save():
    """The first byte picks the reader: 0 TIFF, 1 GIF, 2 JPEG, 3 PCX, 4 BMP, 5 PNG."""
    here = os.path.join(HERE, "corpus")
    for reader, folder, name in ((0, "tiff", "resolution-max.tif"), (0, "tiff", "fill-order-2.tif"),
                                 (0, "tiff", "g4.tif"), (2, "jpeg", "subsampled_dpcm.jpg"),
                                 (3, "pcx", "pal.pcx"), (3, "pcx", "mono.pcx"), (4, "bmp", "rle4.bmp"),
                                 (4, "bmp", "bitfields565.bmp"), (5, "png", "palette.png"),
                                 (5, "png", "grey16.png"), (1, "gif", "animated.gif")):
        with open(os.path.join(here, folder, name), "rb") as f:
            put("load_save", f"{folder}-{name}", bytes([reader]) + f.read())
    put("load_save", "pcx-rgb.pcx", bytes([3]) + pcx_rgb(5, 4))


if __name__ == "__main__":
    all_bmp()
    all_png()
    all_jpeg()
    all_icon()
    all_wmf()
    all_emf()
    all_frames()
    all_options()
    all_gif()
    all_gif_frameless()
    all_gif_many_frames()
    all_tiff()
    all_tiff_rounds()
    all_pcx()
    all_catalog()
    all_batch()
    all_slides()
    all_option_slide_font()
    all_load_save()
    all_multi()
