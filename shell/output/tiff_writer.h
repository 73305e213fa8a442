// The picture as an uncompressed TIFF image: the stored 180-byte template
// (one directory of 12 entries, resolution 72 dpi, one strip) with the size
// and the colour or grey fields filled in, then the pixels of the backing
// bitmap, rows from the top. The same bytes are the EPS file's preview.
#pragma once

#include <QRect>
#include <cstdint>
#include <string>
#include <vector>

class QImage;

namespace kesto::shell {

constexpr int TIFF_HEADER_BYTES = 180;

// The part of a bitmap of the given size that the TIFF takes: all of a
// 640 x 480 bitmap, otherwise the page as the window's page mapping shows
// it (`extent` pixels span `unit` page units), its ends held to the bitmap.
QRect tiff_capture_rect(int bitmap_width, int bitmap_height, int extent, int unit);

// The TIFF of the `capture` part of `bitmap`: colour (red, green, blue per
// pixel) or grey (one byte per pixel, the red component).
std::vector<std::uint8_t> tiff_bytes(const QImage& bitmap, const QRect& capture, bool colour);

// The TIFF of the picture as the window holds it (the backing bitmap, brought
// up to date first), colour by the colour option.
std::vector<std::uint8_t> picture_tiff();

// Menu command Write TIF: the save dialog, then the file. A cancelled dialog
// or a file that cannot be created writes nothing and says nothing.
void WRITE_TIFF();

// Writes the picture's TIFF to the named file (the name ends at its first
// blank, NUL or `length`); false when nothing was written.
bool WRITE_TIFF_FILE(const char* name, std::int16_t length);

}  // namespace kesto::shell
