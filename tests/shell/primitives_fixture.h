// Test support for drawing: a window surface and a backing bitmap of a known
// size behind the page mapping, every drawing state fresh, and readers of
// the pixels and plot buffer bytes a test produced.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <cstdint>
#include <vector>

#include "shell/graphics/graphics_interface.h"
#include "shell/settings/message_box.h"
#include "shell/window/page_mapping.h"
#include "shell/graphics/palettes.h"
#include "shell/drawing/plot_buffer.h"
#include "shell/drawing/primitives.h"
#include "shell/settings/settings.h"
#include "shell/window/surfaces.h"
#include "shell/window/window_state.h"
#include "window_fixture.h"

namespace kesto::testing {

// Fresh drawing state over images of w x h pixels filled with the
// background. At 350 x 250 one pixel is 10 page units: page (x, y) lands on
// pixel (175 + x / 10, 125 - y / 10).
inline void reset_drawing(int w = 350, int h = 250) {
  application();
  reset_shell();
  shell::release_surface_painters();
  shell::draw_targets() = shell::DrawTargets{};
  shell::colour_state() = shell::ColourState{};
  shell::graphics_state() = shell::GraphicsState{};
  shell::palettes() = shell::Palettes{};
  shell::plot_buffer() = shell::PlotBuffer{};
  shell::ALLOCATE_PLOT_BUFFER();
  shell::forget_pen_and_brush();
  shell::window_state().bitmap_width = static_cast<std::int16_t>(w);
  shell::window_state().bitmap_height = static_cast<std::int16_t>(h);
  shell::update_page_mapping();
  shell::surfaces().window = QImage(w, h, QImage::Format_RGB32);
  shell::surfaces().backing = QImage(w, h, QImage::Format_RGB32);
  shell::surfaces().window.fill(shell::background_colour());
  shell::surfaces().backing.fill(shell::background_colour());
}

// Where an image holds a colour: bounding rectangle and pixel count.
struct Painted {
  QRect bounds;
  int count = 0;
};

inline Painted painted(const QImage& image, QRgb colour) {
  shell::release_surface_painters();
  Painted p;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFFu) == (colour & 0xFFFFFFu)) {
        p.bounds = p.bounds.united(QRect(x, y, 1, 1));
        ++p.count;
      }
  return p;
}

inline QRgb pixel(const QImage& image, int x, int y) {
  shell::release_surface_painters();
  return image.pixel(x, y) & 0xFFFFFFu;
}

// The used bytes of the plot buffer.
inline std::vector<std::uint8_t> recorded() {
  const shell::PlotBuffer& b = shell::plot_buffer();
  return std::vector<std::uint8_t>(b.block.begin(), b.block.begin() + static_cast<std::ptrdiff_t>(b.used));
}

class DrawingTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_drawing(); }
  void TearDown() override { shell::release_surface_painters(); }
  QImage& window() { return shell::surfaces().window; }
  QImage& bitmap() { return shell::surfaces().backing; }
};

}  // namespace kesto::testing
