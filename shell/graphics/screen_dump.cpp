#include "shell/graphics/screen_dump.h"

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unordered_map>

#include "common/file_replacing.h"
#include "shell/graphics/graphics_interface.h"
#include "shell/settings/message_box.h"
#include "shell/window/page_mapping.h"
#include "shell/window/surfaces.h"
#include "shell/window/window_state.h"

namespace kesto::shell {
namespace {

void put16(std::vector<std::uint8_t>& out, std::size_t at, int v) {
  out[at] = static_cast<std::uint8_t>(v & 0xFF);
  out[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

// Nearest palette entry of each colour met, remembered: a picture holds few colours.
class NearestEntry {
 public:
  explicit NearestEntry(const LogicalPalette& p) : palette_(p) {}
  std::uint8_t operator()(QRgb rgb) {
    const auto it = cache_.find(rgb);
    if (it != cache_.end()) return it->second;
    int best = 0;
    long best_distance = -1;
    const int count = std::clamp<int>(palette_.count, 1, 256);
    for (int e = 0; e < count; ++e) {
      const PaletteEntry& p = palette_.entries[static_cast<std::size_t>(e)];
      const long dr = qRed(rgb) - p.red * 4, dg = qGreen(rgb) - p.green * 4, db = qBlue(rgb) - p.blue * 4;
      const long d = dr * dr + dg * dg + db * db;
      if (best_distance < 0 || d < best_distance) {
        best = e;
        best_distance = d;
      }
    }
    return cache_[rgb] = static_cast<std::uint8_t>(best);
  }

 private:
  const LogicalPalette& palette_;
  std::unordered_map<QRgb, std::uint8_t> cache_;
};

}  // namespace

std::string next_dump_name() {
  for (int counter = 1; counter <= 999; ++counter) {
    char name[16];
    std::snprintf(name, sizeof name, "VAZ%03d.PCX", counter);
    std::error_code ec;
    if (!std::filesystem::exists(name, ec)) return name;
  }
  return {};
}

LogicalPalette dump_palette(int realised_number) {
  return Palettes{}.logical[realised_number > 3 ? 1 : 0];  // a fresh set holds them in 6-bit steps
}

std::vector<std::uint8_t> dump_pixels(const QImage& bitmap, const LogicalPalette& palette) {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(DUMP_WIDTH * DUMP_HEIGHT), 0);
  NearestEntry nearest(palette);
  if (bitmap.isNull()) return pixels;
  QRect source(0, 0, bitmap.width(), bitmap.height());
  if (bitmap.width() != DUMP_WIDTH || bitmap.height() != DUMP_HEIGHT) {
    const PageMapping& m = page_mapping();
    const int unit = std::max(m.unit, 1);
    const int cx = bitmap.width() / 2, cy = bitmap.height() / 2;
    const int half_width = m.extent * 1750 / unit, half_height = m.extent * 1250 / unit;
    source = QRect(QPoint(cx - half_width, cy - half_height), QPoint(cx + half_width, cy + half_height))
                 .intersected(bitmap.rect());
    if (source.isEmpty()) source = bitmap.rect();
  }
  // Fit with the aspect kept; the rest is background.
  const double scale =
      std::min(static_cast<double>(DUMP_WIDTH) / source.width(), static_cast<double>(DUMP_HEIGHT) / source.height());
  const int width = std::clamp(static_cast<int>(source.width() * scale + 0.5), 1, DUMP_WIDTH);
  const int height = std::clamp(static_cast<int>(source.height() * scale + 0.5), 1, DUMP_HEIGHT);
  const int left = (DUMP_WIDTH - width) / 2, top = (DUMP_HEIGHT - height) / 2;
  const std::uint8_t background = nearest(background_colour().rgb());
  std::fill(pixels.begin(), pixels.end(), background);
  for (int y = 0; y < height; ++y) {
    const int sy = source.top() + static_cast<int>(static_cast<long>(y) * source.height() / height);
    for (int x = 0; x < width; ++x) {
      const int sx = source.left() + static_cast<int>(static_cast<long>(x) * source.width() / width);
      pixels[static_cast<std::size_t>((top + y) * DUMP_WIDTH + left + x)] = nearest(bitmap.pixel(sx, sy));
    }
  }
  return pixels;
}

void encode_pcx_row(const std::uint8_t* row, int n, std::vector<std::uint8_t>& out) {
  int i = 0;
  while (i < n) {
    const std::uint8_t v = row[i];
    int run = 1;
    while (i + run < n && run < 63 && row[i + run] == v) ++run;
    if (run == 1 && v < 192) {
      out.push_back(v);
    } else {
      out.push_back(static_cast<std::uint8_t>(192 + run));
      out.push_back(v);
    }
    i += run;
  }
}

std::vector<std::uint8_t> encode_pcx(const std::vector<std::uint8_t>& pixels, const LogicalPalette& palette) {
  std::vector<std::uint8_t> out(128, 0);
  out[0] = 10;  // manufacturer
  out[1] = 5;   // version
  out[2] = 1;   // run-length encoding
  out[3] = 8;   // bits per pixel
  put16(out, 4, 0);
  put16(out, 6, 0);
  put16(out, 8, DUMP_WIDTH - 1);
  put16(out, 10, DUMP_HEIGHT - 1);
  put16(out, 12, 300);  // resolution
  put16(out, 14, 300);
  // 16-63: the 16-colour map, zero; 64: reserved
  out[65] = 1;  // planes
  put16(out, 66, DUMP_WIDTH);
  put16(out, 68, 1);  // palette information
  put16(out, 70, DUMP_WIDTH);
  put16(out, 72, DUMP_HEIGHT);
  // 74-127: zero
  for (int y = 0; y < DUMP_HEIGHT; ++y) {
    const std::size_t start = static_cast<std::size_t>(y) * DUMP_WIDTH;
    if (start + DUMP_WIDTH > pixels.size()) {
      const std::vector<std::uint8_t> blank(DUMP_WIDTH, 0);
      encode_pcx_row(blank.data(), DUMP_WIDTH, out);
    } else {
      encode_pcx_row(pixels.data() + start, DUMP_WIDTH, out);
    }
  }
  out.push_back(12);
  for (const PaletteEntry& e : palette.entries) {
    out.push_back(static_cast<std::uint8_t>(e.red * 4));
    out.push_back(static_cast<std::uint8_t>(e.green * 4));
    out.push_back(static_cast<std::uint8_t>(e.blue * 4));
  }
  return out;
}

std::string write_screen_dump() {
  SHOW_MESSAGE("D1FILE");
  const std::string name = next_dump_name();
  if (name.empty()) {
    SHOW_MESSAGE("Screen dump not written: VAZ001.PCX to VAZ999.PCX all exist");
    return {};
  }
  release_surface_painters();
  const LogicalPalette palette = dump_palette(graphics_state().realised_number);
  const std::vector<std::uint8_t> bytes = encode_pcx(dump_pixels(surfaces().backing, palette), palette);
  if (common::replace_file(name, bytes.data(), bytes.size()) != 0) {
    SHOW_MESSAGE("Screen dump not written: " + name + " cannot be created");
    return {};
  }
  return name;
}

}  // namespace kesto::shell
