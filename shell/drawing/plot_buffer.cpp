#include "shell/drawing/plot_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include "shell/settings/message_box.h"
#include "shell/drawing/primitives.h"

namespace kesto::shell {
namespace {

// Resizes the block to `size` bytes; false when the memory cannot be had
// (or the test limit forbids it). The used bytes are kept. A block that
// grows from one step to the next takes room for as many steps again at
// once (or exactly its size, when that much cannot be had), so that a long
// picture does not copy the whole block at every step; a new or smaller
// block holds its size and no more.
bool resize_block(PlotBuffer& b, std::size_t size) {
  if (b.growth_limit != 0 && size > b.growth_limit && size > b.block.size()) return false;
  try {
    const std::size_t old_size = b.block.size();
    const bool growing = old_size > 0 && size > old_size;
    if (size > b.block.capacity()) {
      try {
        b.block.reserve(growing ? std::max(size, 2 * b.block.capacity()) : size);
      } catch (const std::bad_alloc&) {
        b.block.reserve(size);
      }
    }
    b.block.resize(size);
    if (!growing && size < b.block.capacity()) b.block.shrink_to_fit();
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

// Whether ENSURE_ROOM has anything to do: the buffer takes records and
// fewer than the largest record's bytes remain.
bool short_of_room(const PlotBuffer& b) { return !b.full && b.used + PLOT_RECORD_MARGIN >= b.block.size(); }

std::int16_t coordinate_at(const std::uint8_t* p) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

}  // namespace

PlotBuffer& plot_buffer() {
  static PlotBuffer b;
  return b;
}

bool ALLOCATE_PLOT_BUFFER() {
  PlotBuffer& b = plot_buffer();
  b.used = 0;
  b.read_position = 0;
  b.full = false;
  b.block.clear();
  return resize_block(b, PLOT_BUFFER_STEP);
}

void ENSURE_ROOM() {
  PlotBuffer& b = plot_buffer();
  if (!short_of_room(b)) return;
  if (resize_block(b, b.block.size() + PLOT_BUFFER_STEP)) return;
  b.full = true;
  suspend_painters();  // the message box lets the window repaint
  SHOW_MESSAGE("Plot buffer is full");
}

void START_NEW_PICTURE() {
  PlotBuffer& b = plot_buffer();
  if (b.block.size() > b.used + PLOT_BUFFER_STEP) {
    const std::size_t steps = std::max<std::size_t>(1, (b.used + PLOT_BUFFER_STEP - 1) / PLOT_BUFFER_STEP);
    resize_block(b, steps * PLOT_BUFFER_STEP);
  }
  b.used = 0;
  b.read_position = 0;
  b.full = false;
}

void FREE_PLOT_BUFFER() {
  PlotBuffer& b = plot_buffer();
  std::vector<std::uint8_t>().swap(b.block);
  b.used = 0;
  b.read_position = 0;
}

void append_record(const std::uint8_t* bytes, std::size_t n) {
  PlotBuffer& b = plot_buffer();
  if (short_of_room(b)) ENSURE_ROOM();  // most records find room enough
  if (n > 0 && bytes[0] != OP_RGB && bytes[0] != OP_RGB_GREY && bytes[0] != OP_INDEXED) ++b.shapes;
  if (b.full || b.used + n > b.block.size()) return;
  std::memcpy(b.block.data() + b.used, bytes, n);
  b.used += n;
}

bool next_record(const std::uint8_t* data, std::size_t end, std::size_t& position, PlotRecord& r) {
  while (position < end) {
    const std::uint8_t op = data[position];
    const std::uint8_t* p = data + position + 1;
    const std::size_t left = end - position - 1;
    r = PlotRecord{};
    r.opcode = op;
    switch (op) {
      case OP_LINE:
      case OP_RECT:
      case OP_FILLED_RECT: {
        const std::size_t size = op == OP_FILLED_RECT ? 9 : 8;
        if (left < size) return false;
        r.x[0] = coordinate_at(p);
        r.y[0] = coordinate_at(p + 2);
        r.x[1] = coordinate_at(p + 4);
        r.y[1] = coordinate_at(p + 6);
        r.count = 2;
        if (op == OP_FILLED_RECT) r.flags = p[8];
        position += 1 + size;
        return true;
      }
      case OP_RGB:
      case OP_RGB_GREY:
      case OP_INDEXED: {
        const std::size_t size = op == OP_RGB ? 3 : 4;
        if (left < size) return false;
        std::memcpy(r.values, p, size);
        position += 1 + size;
        return true;
      }
      case OP_POLYGON: {
        if (left < 1) return false;
        const int n = p[0];
        if (left < 1 + 4 * static_cast<std::size_t>(n)) return false;
        // Points beyond what a polygon may hold are read past, not kept.
        r.count = std::min(n, MAX_POLYGON_POINTS);
        for (int i = 0; i < r.count; ++i) {
          r.x[i] = coordinate_at(p + 1 + 4 * i);
          r.y[i] = coordinate_at(p + 3 + 4 * i);
        }
        position += 2 + 4 * static_cast<std::size_t>(n);
        return true;
      }
      default:
        ++position;  // not an opcode: skipped
        break;
    }
  }
  return false;
}

}  // namespace kesto::shell
