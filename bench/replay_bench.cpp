// Drawing and replaying a full-capacity potential picture: 250 x 110 filled
// cells (27,500), each with its own scale colour, on a 1920 x 1080 window.
// Recording draws every cell on the window surface and the backing bitmap
// and appends its records, as the relaxation's displays do; replaying redraws
// both images from the plot buffer, as a repaint after a resize does (it
// should take well under 50 ms).
//
//   ./build/kesto_bench --benchmark_filter=Picture --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <QImage>

#include "shell/graphics/graphics_interface.h"
#include "shell/window/page_mapping.h"
#include "shell/graphics/palettes.h"
#include "shell/drawing/plot_buffer.h"
#include "shell/drawing/primitives.h"
#include "shell/window/surfaces.h"
#include "shell/window/window_state.h"

namespace {

using namespace kesto::shell;

constexpr int kColumns = 250, kRows = 110;

// The shell state a benchmark replaces, put back afterwards so that other
// benchmarks of the same run find their window as they left it.
class BenchShell {
 public:
  BenchShell(int width, int height) {
    release_surface_painters();
    saved_surfaces_ = surfaces();
    saved_window_ = window_state();
    saved_mapping_ = page_mapping();
    saved_targets_ = draw_targets();
    saved_colour_ = colour_state();
    saved_graphics_ = graphics_state();
    saved_buffer_ = plot_buffer();

    window_state().bitmap_width = static_cast<std::int16_t>(width);
    window_state().bitmap_height = static_cast<std::int16_t>(height);
    update_page_mapping();
    surfaces().window = QImage(width, height, QImage::Format_RGB32);
    surfaces().backing = QImage(width, height, QImage::Format_RGB32);
    draw_targets() = DrawTargets{};
    colour_state() = ColourState{};
    graphics_state() = GraphicsState{};
    plot_buffer() = PlotBuffer{};
    ALLOCATE_PLOT_BUFFER();
    CLEAR_PICTURE();
    scale_palettes();
    const float r = 1250.0f / 1750.0f;
    GI_SET_FRAME(-1.0f, 1.0f, -r, r);
    GI_SET_VIEWPORT(-1.0f, 1.0f, -r, r);
    GI_SET_WINDOW(-1750.0f, 1750.0f, -1250.0f, 1250.0f);
    GI_BEGIN(1);
    GI_PALETTE(5);
  }
  ~BenchShell() {
    release_surface_painters();
    surfaces() = saved_surfaces_;
    window_state() = saved_window_;
    page_mapping() = saved_mapping_;
    draw_targets() = saved_targets_;
    colour_state() = saved_colour_;
    graphics_state() = saved_graphics_;
    plot_buffer() = saved_buffer_;
  }

 private:
  Surfaces saved_surfaces_;
  WindowState saved_window_;
  PageMapping saved_mapping_;
  DrawTargets saved_targets_;
  ColourState saved_colour_;
  GraphicsState saved_graphics_;
  PlotBuffer saved_buffer_;
};

// The map area of a result picture, cell by cell, each in its own colour of
// the hue scale, as the potential map draws it.
void draw_potential_picture() {
  const float width = 3300.0f / kColumns, height = 2150.0f / kRows;
  for (int i = 0; i < kColumns; ++i) {
    for (int j = 0; j < kRows; ++j) {
      GI_SCALE_UNIPOLAR(static_cast<float>((i * 7 + j * 3) % 101) / 100.0f);
      const float x = -1650.0f + static_cast<float>(i) * width, y = -925.0f + static_cast<float>(j) * height;
      GI_FILL_RECT(x, y, x + width, y + height, 0);
    }
  }
}

void BM_RecordPotentialPicture(benchmark::State& state) {
  BenchShell shell(1920, 1080);
  for (auto _ : state) {
    START_NEW_PICTURE();
    draw_potential_picture();
    benchmark::DoNotOptimize(plot_buffer().used);
  }
  state.counters["cells"] = kColumns * kRows;
  state.counters["buffer_bytes"] = static_cast<double>(plot_buffer().used);
  state.counters["cells_per_s"] =
      benchmark::Counter(static_cast<double>(kColumns * kRows), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RecordPotentialPicture)->Unit(benchmark::kMillisecond);

// The same picture recorded with no image drawn: the plot buffer's own cost.
void BM_RecordPotentialPictureBufferOnly(benchmark::State& state) {
  BenchShell shell(1920, 1080);
  draw_targets().window = false;
  draw_targets().bitmap = false;
  for (auto _ : state) {
    START_NEW_PICTURE();
    draw_potential_picture();
    benchmark::DoNotOptimize(plot_buffer().used);
  }
  state.counters["buffer_bytes"] = static_cast<double>(plot_buffer().used);
}
BENCHMARK(BM_RecordPotentialPictureBufferOnly)->Unit(benchmark::kMillisecond);

// Repaint after a resize: both images cleared and redrawn from the buffer.
void BM_ReplayPotentialPicture(benchmark::State& state) {
  BenchShell shell(1920, 1080);
  draw_potential_picture();
  for (auto _ : state) {
    window_state().bitmap_valid = false;
    CLEAR_PICTURE();
    REPLAY();
    benchmark::DoNotOptimize(surfaces().backing.constBits());
  }
  state.counters["buffer_bytes"] = static_cast<double>(plot_buffer().used);
}
BENCHMARK(BM_ReplayPotentialPicture)->Unit(benchmark::kMillisecond);

}  // namespace
