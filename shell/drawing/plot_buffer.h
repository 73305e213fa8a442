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
  OP_LINE = 3,         // x1, y1, x2, y2
  OP_RECT = 4,         // x1, y1, x2, y2 (smaller x and larger y first)
  OP_FILLED_RECT = 5,  // x1, y1, x2, y2, inset flags (bit 3 left, 2 right, 1 top, 0 bottom)
  OP_RGB = 8,          // red, blue, green
  OP_RGB_GREY = 9,     // red, blue, green, grey level
  OP_INDEXED = 11,     // index on black, index on white, grey on black, darkness on white
  OP_POLYGON = 12,     // count n, then n points (x, y)
};

constexpr std::size_t PLOT_BUFFER_STEP = 65536;  // the block grows and shrinks in these steps
constexpr std::size_t PLOT_RECORD_MARGIN = 42;   // the largest record: a 10-point polygon
constexpr int MAX_POLYGON_POINTS = 10;

struct PlotBuffer {
  std::vector<std::uint8_t> block;  // size S: a whole multiple of 65,536 bytes
  std::size_t used = 0;             // N, also the write position
  std::size_t read_position = 0;
  bool full = false;
  std::size_t growth_limit = 0;  // tests: the largest S the block may grow to (0: no limit)
  std::uint64_t shapes = 0;      // lines, rectangles and polygons appended so far (colours not counted)
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

// Appends one record of n bytes (at most 42) after ENSURE_ROOM; dropped
// while the buffer is full.
void append_record(const std::uint8_t* bytes, std::size_t n);

// One decoded record.
struct PlotRecord {
  std::uint8_t opcode = 0;
  std::int16_t x[MAX_POLYGON_POINTS] = {};  // LINE, RECT, FILLED_RECT: two points; POLYGON: count points
  std::int16_t y[MAX_POLYGON_POINTS] = {};
  int count = 0;                // points held in x and y
  std::uint8_t values[4] = {};  // colour fields in record order
  std::uint8_t flags = 0;       // FILLED_RECT inset flags
};

// Decodes the record at `position` and moves past it. Bytes that are not an
// opcode are skipped. False when no whole record is left before `end`.
bool next_record(const std::uint8_t* data, std::size_t end, std::size_t& position, PlotRecord& record);

}  // namespace kesto::shell
