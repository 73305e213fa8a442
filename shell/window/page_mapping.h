// Mapping between page units (3500 x 2500, origin at the centre, y up) and
// pixels of the backing bitmap: the page is fitted with its aspect kept and
// centred. The last forward pair is remembered so that a point placed with
// the pointer reads back exactly. While an output device is drawn, page
// points map onto that device instead.
#pragma once

#include <cstdint>

namespace kesto::shell {

struct PageMapping {
  std::int32_t extent = 452;  // pixels that `unit` page units span
  std::int32_t unit = 2500;
  bool have_last = false;
  std::int16_t last_page_x = 0, last_page_y = 0;
  std::int16_t last_pixel_x = 0, last_pixel_y = 0;
};

// Mapping onto a printer or metafile: device x = x * width / 3500 + cx,
// device y = y * height' / -2500 + cy (height' = -height in landscape, and
// the two results exchanged), integer arithmetic.
struct DeviceMapping {
  std::int32_t width = 3500, height = 2500;
  std::int32_t cx = 1750, cy = 1250;
  bool landscape = false;
};

PageMapping& page_mapping();
DeviceMapping& device_mapping();

// Recomputes extent and unit from the bitmap size (and forgets the last pair).
void update_page_mapping();
// Page point to device pixel (window, or the output device while it is drawn).
void TO_DEVICE(std::int16_t x, std::int16_t y, std::int16_t& px, std::int16_t& py);
// Page point to window pixel, without remembering the pair (for overlays).
void page_to_pixel(std::int16_t x, std::int16_t y, std::int16_t& px, std::int16_t& py);
// Window pixel to page point.
void FROM_DEVICE(std::int16_t px, std::int16_t py, std::int16_t& x, std::int16_t& y);

// Integer division rounded to the nearest, halves away from zero.
std::int64_t round_div(std::int64_t numerator, std::int64_t denominator);

}  // namespace kesto::shell
