// The three logical palettes and the colour scales that pick entries of
// them: palette 1 (standard colours and a colour cube), palette 2 (standard
// colours, a grey ramp and a hue circle) and palette 3 (standard colours,
// grey steps and a thermal ramp from black through purple and red to yellow).
#pragma once

#include <array>
#include <cstdint>

#include "shell/drawing/colour_rules.h"

namespace kesto::shell {

struct PaletteEntry {
  std::uint8_t red = 0, green = 0, blue = 0, flags = 0;
};

// A palette as the shell realises it: header (version, entry count), 256 entries.
struct LogicalPalette {
  std::uint16_t version = 0x300;
  std::uint16_t count = 0;
  std::array<PaletteEntry, 256> entries{};

  Rgb colour(int entry) const;  // entry outside 0-255 gives entry 0
};

// Palettes 1 and 2 are held in 6-bit steps until the window opens, when
// every byte of their entries is multiplied by 4 (once); palette 3 is in
// 8-bit steps from the start.
struct Palettes {
  std::array<LogicalPalette, 3> logical;
  bool scaled = false;
  Palettes();
};

Palettes& palettes();

// Multiplies every entry byte of palettes 1 and 2 by 4, the first time only.
void scale_palettes();
// Logical palette (1-3) that a palette number realises: 1-3 give 1, 4 and 5
// give 2, 6 gives 3; any other number realises none (0).
int logical_palette_for(int palette_number);
// Logical palette k (1-3) as it stands.
const LogicalPalette& logical_palette(int k);

// Colour scales. Each gives the palette entry and the grey level.
struct ScaleColour {
  int entry = 0;
  int grey = 0;
};
// v from -1 to 1: palette 2 entries 43-223 (the whole hue circle).
ScaleColour bipolar_scale(float v);
// v from 0 to 1: palette 2 entries 103-223 (blue through cyan, green, yellow to red).
ScaleColour unipolar_scale(float v);
// v from 0 to 1: step k = 0-192 of the thermal ramp (palette 3 entry 32 + k).
ScaleColour thermal_scale(float v);
// A fraction 0-1 as a byte: clamp(trunc(v x 256), 0, 255).
int fraction_byte(float v);

}  // namespace kesto::shell
