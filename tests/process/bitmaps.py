"""Small 16-colour BMP files for the process tests, written field by field.

Every pixel is known: pixel(x, y) gives its palette index, also for the
padding columns between biWidth and the stored row length.
"""

import struct


def pixel(x, y):
    return (x * 7 + y * 3 + x // 5) & 15


def stored_row_pixels(width):
    return (width + 7) // 8 * 8


def palette_bytes(entries):
    return b"".join(bytes([(i * 16) & 255, (255 - i * 16) & 255, (i * 40) & 255, 0])
                    for i in range(entries))


def make_bitmap(width, height, info_header_size=40, top_down=False, palette_entries=16,
                gap=0, pixel_of=pixel):
    row_pixels = stored_row_pixels(width)
    off_bits = 14 + info_header_size + 4 * palette_entries + gap
    pixel_bytes = row_pixels // 2 * height
    file_header = b"BM" + struct.pack("<IHHI", off_bits + pixel_bytes, 0, 0, off_bits)
    info_header = struct.pack("<IiiHHIIiiII", info_header_size, width,
                              -height if top_down else height, 1, 4, 0, pixel_bytes,
                              2835, 2835, 0 if palette_entries == 16 else palette_entries, 0)
    info_header += b"\0" * (info_header_size - 40)
    rows = []
    for stored in range(height):
        y = stored if top_down else height - 1 - stored
        rows.append(bytes(pixel_of(x, y) << 4 | pixel_of(x + 1, y)
                          for x in range(0, row_pixels, 2)))
    return file_header + info_header + palette_bytes(palette_entries) + b"\x5a" * gap + b"".join(rows)


def with_u32(data, offset, value):
    return data[:offset] + struct.pack("<I", value & 0xFFFFFFFF) + data[offset + 4:]


def make_indexed_bitmap(width, height, bits, pixel_of, entries):
    """An uncompressed bottom-up bitmap of 1 or 8 bits a pixel."""
    row_bytes = (width * bits + 31) // 32 * 4
    rows = []
    for stored in range(height):
        y = height - 1 - stored
        row = bytearray(row_bytes)
        for x in range(width):
            if bits == 8:
                row[x] = pixel_of(x, y)
            else:
                row[x // 8] |= pixel_of(x, y) << (7 - x % 8)
        rows.append(bytes(row))
    off_bits = 14 + 40 + 4 * entries
    pixels = b"".join(rows)
    return (b"BM" + struct.pack("<IHHI", off_bits + len(pixels), 0, 0, off_bits) +
            struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels), 2835, 2835,
                        entries, 0) +
            b"".join(struct.pack("<I", 0x010203 * (i + 1) & 0xFFFFFFFF) for i in range(entries)) +
            pixels)
