// Test support for the plotting kernel and the displays: a real offscreen
// window opened through TEKOPEN, every module state reset, MARKEL recording
// into a file of the test's directory, and reading back what was drawn (the
// plot buffer's records, the pixels of the window surface and the bitmap).
#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "kernel/kernel.h"
#include "kernel/markel_records.h"
#include "plot/result_maps.h"
#include "plot/sheet.h"
#include "shell/graphics/graphics_interface.h"
#include "shell/window/page_mapping.h"
#include "shell/drawing/plot_buffer.h"
#include "shell/drawing/primitives.h"
#include "shell/window/surfaces.h"
#include "shell/window_fixture.h"
#include "sheet/cell_grid.h"
#include "support/run_capture.h"
#include "textui/banner.h"
#include "textui/markel_file.h"
#include "textui/messages.h"

namespace kesto::testing {

inline const char* kMarkelPath = "test.mkl";

// Everything the kernel, the displays and the shell remember between runs.
inline void reset_plot_state() {
  reset_shell();
  shell::graphics_state() = shell::GraphicsState{};
  shell::draw_targets() = shell::DrawTargets{};
  plot::kernel_state() = plot::KernelState{};
  plot::map_state() = plot::MapState{};
  textui::message_area() = textui::MessageArea{};
  textui::program_identity() = textui::ProgramIdentity{};
  if (shell::plot_buffer().block.empty()) shell::ALLOCATE_PLOT_BUFFER();
}

// The plot buffer's records from `from` (a byte position) on.
inline std::vector<shell::PlotRecord> plot_records(std::size_t from = 0) {
  std::vector<shell::PlotRecord> out;
  const shell::PlotBuffer& b = shell::plot_buffer();
  std::size_t position = from;
  shell::PlotRecord r;
  while (shell::next_record(b.block.data(), b.used, position, r)) out.push_back(r);
  return out;
}

inline std::vector<shell::PlotRecord> line_records(std::size_t from = 0) {
  std::vector<shell::PlotRecord> lines;
  for (const shell::PlotRecord& r : plot_records(from))
    if (r.opcode == shell::OP_LINE) lines.push_back(r);
  return lines;
}

inline std::vector<std::string> file_lines(const std::string& path) {
  std::vector<std::string> out;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

// Pixel of an image at a page point.
inline QColor pixel_at(const QImage& image, float x, float y) {
  std::int16_t px = 0, py = 0;
  shell::TO_DEVICE(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), px, py);
  return image.pixelColor(px, py);
}

// A sheet of nx x ny cells as a deck's SPACE line leaves it: the edge ring
// grounded, the interior free and insulating.
inline void fill_sheet(sheet::Grid& g, std::int32_t nx, std::int32_t ny) {
  g = sheet::Grid{};
  g.NX = nx;
  g.NY = ny;
  for (std::int32_t i = 1; i <= nx; ++i)
    for (std::int32_t j = 1; j <= ny; ++j) {
      const bool edge = i == 1 || j == 1 || i == nx || j == ny;
      g.FIXED[i][j] = edge ? 1 : 0;
      g.RHO[i][j] = edge ? 0.0f : sheet::INSULATOR_RHO;
    }
}

// A fresh offscreen window opened by the kernel (caption "kesto"), in text
// mode, with a client area of the page's aspect, and an empty sheet of the
// given size for the displays.
class PlotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    application();
    reset_plot_state();
    remove_settings_file();
    plot::use_sheet(*grid_);
    plot::TEKOPEN("kesto", 5);
    settle();
    set_client_size(1400, 1000);
  }
  void TearDown() override {
    textui::close_markel_file();
    reset_plot_state();
  }

  // Starts recording into a fresh MARKEL file.
  void start_recording() {
    textui::program_identity().name = "KESTO   ";
    ASSERT_TRUE(textui::open_markel_file(kMarkelPath, " 9-SEP-00"));
    header_lines_ = 6;
  }
  // The records written so far (after the header).
  std::vector<std::string> records() {
    plot::kernel_state().markel.flush();
    // While recording the records are in the temporary file; after, in place.
    const std::string open = textui::markel_recording_file();
    std::vector<std::string> all = file_lines(open.empty() ? kMarkelPath : open);
    return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(std::min(header_lines_, all.size())),
                                    all.end());
  }
  // A sheet of nx x ny cells for the displays (see fill_sheet); MAP_LAYOUT done.
  void sheet(std::int32_t nx, std::int32_t ny) {
    fill_sheet(*grid_, nx, ny);
    plot::MAP_LAYOUT();
  }
  sheet::Grid& grid() { return *grid_; }

  std::unique_ptr<sheet::Grid> grid_ = std::make_unique<sheet::Grid>();
  std::size_t header_lines_ = 0;
};

}  // namespace kesto::testing
