// The screen dump: the picture written as a 640 x 480 PCX file of palette
// indices with a 256-colour palette, under the first free name of
// "VAZ001.PCX" to "VAZ999.PCX" in the current directory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/graphics/palettes.h"

class QImage;

namespace kesto::shell {

constexpr int DUMP_WIDTH = 640;
constexpr int DUMP_HEIGHT = 480;

// Writes the picture of the backing bitmap as the next free "VAZnnn.PCX";
// returns the name written, empty when nothing was written.
std::string write_screen_dump();

// First name "VAZnnn.PCX" (nnn from 001) that does not exist in the current
// directory; empty when all 999 exist.
std::string next_dump_name();

// The palette a dump carries (in 6-bit steps): palette 2 after a palette
// number above 3 was realised last, palette 1 otherwise.
LogicalPalette dump_palette(int realised_number);

// The picture as 640 x 480 palette indices, rows from the top: a 640 x 480
// bitmap is taken whole; any other size contributes the page as the window
// shows it, scaled (nearest pixel, aspect kept) to fit and centred on the
// background. Each pixel becomes the palette entry nearest in colour.
std::vector<std::uint8_t> dump_pixels(const QImage& bitmap, const LogicalPalette& palette);

// The PCX bytes: 128-byte header, each row run-length encoded on its own,
// then the byte 12 and 256 palette entries (6-bit values times 4).
std::vector<std::uint8_t> encode_pcx(const std::vector<std::uint8_t>& pixels, const LogicalPalette& palette);

// One row run-length encoded: runs of up to 63 equal bytes as 192 + n and the
// byte; a single byte below 192 alone.
void encode_pcx_row(const std::uint8_t* row, int n, std::vector<std::uint8_t>& out);

}  // namespace kesto::shell
