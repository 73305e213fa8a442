// The plot buffer: every drawing primitive appends a compact record of
// itself, so that the picture can be repainted, printed and exported by
// replaying it. Records are an opcode byte and packed fields; coordinates
// are little-endian 16-bit page units. The block grows in 64 KiB steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kesto::shell {

enum PlotOpcode : std::uint8_t {
  OP_LINE = 3,
  OP_RECT = 4,
  OP_FILLED_RECT = 5,
  OP_RGB = 8,
  OP_RGB_GREY = 9,
  OP_INDEXED = 11,
  OP_POLYGON = 12,
};

struct PlotBuffer {
  std::vector<std::uint8_t> block;  // size S: a whole multiple of 65,536 bytes
  std::size_t used = 0;             // N
  std::size_t read_position = 0;
  bool full = false;
  std::size_t growth_limit = 0;     // tests: the largest S the block may grow to (0: no limit)
};

PlotBuffer& plot_buffer();

// Allocates the block at its starting size; false when that fails.
bool ALLOCATE_PLOT_BUFFER();
// Makes room for the largest record, growing the block when fewer than 42
// bytes remain; on failure "Plot buffer is full" and recording stops.
void ENSURE_ROOM();
// Start of a new picture: shrink an oversized block, empty it.
void START_NEW_PICTURE();
// Frees the block.
void FREE_PLOT_BUFFER();

}  // namespace kesto::shell
