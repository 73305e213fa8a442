#include "shell/graphics/graphics_interface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "shell/window/events.h"
#include "shell/window/main_window.h"
#include "shell/graphics/palettes.h"
#include "shell/script/batch.h"
#include "shell/window/picture.h"
#include "shell/drawing/primitives.h"
#include "shell/graphics/screen_dump.h"
#include "shell/graphics/stroke_font.h"
#include "shell/window/window_state.h"

namespace kesto::shell {
namespace {

GraphicsState& gs() { return graphics_state(); }

// The logical palette colours are taken from: the one realised, or palette 1
// before any is.
const LogicalPalette& current_palette() { return logical_palette(gs().logical_palette ? gs().logical_palette : 1); }

void set_rgb(const Rgb& c) { SET_RGB(c.red, c.green, c.blue); }

// Realises the logical palette of a palette number (1-6); false for others.
bool realise(std::int16_t number) {
  const int k = logical_palette_for(number);
  if (k == 0) return false;
  GraphicsState& g = gs();
  g.logical_palette = k;
  g.realised_number = number;
  SET_PALETTE(logical_palette(k));
  return true;
}

// A colour operation realises its own default palette number while no
// palette has been selected since the window opened.
void default_palette(std::int16_t number) {
  if (gs().palette_number == 0) GI_PALETTE(number);
}

void show_graphics() {
  GraphicsState& g = gs();
  if (g.graphics_shown) return;
  g.graphics_shown = true;
  BEGIN_PICTURE(g.new_picture_pending ? 0 : 1);
  g.new_picture_pending = false;
  realise(g.palette_number);
  set_rgb(current_palette().colour(7));
}

void hide_graphics() {
  GraphicsState& g = gs();
  if (!g.graphics_shown) return;
  g.graphics_shown = false;
  END_PICTURE(g.end_keep);
}

// Cuts a segment along one axis (a: that axis, b: the other) to lo..hi by
// linear interpolation; false when it lies wholly outside.
bool cut_axis(float& a1, float& b1, float& a2, float& b2, float lo, float hi) {
  if ((a1 < lo && a2 < lo) || (a1 > hi && a2 > hi)) return false;
  const float A1 = a1, B1 = b1, A2 = a2, B2 = b2;
  // An end outside means the other end is not beyond the same edge, so A1 != A2.
  auto at = [&](float edge) { return B1 + (B2 - B1) * (edge - A1) / (A2 - A1); };
  if (A1 < lo || A1 > hi) {
    a1 = A1 < lo ? lo : hi;
    b1 = at(a1);
  }
  if (A2 < lo || A2 > hi) {
    a2 = A2 < lo ? lo : hi;
    b2 = at(a2);
  }
  return true;
}

// Cuts the segment to the rectangle, in x first and then in y. False when
// nothing of it lies inside.
bool clip_segment(float& x1, float& y1, float& x2, float& y2, const ViewRect& r) {
  return cut_axis(x1, y1, x2, y2, std::min(r.x0, r.x1), std::max(r.x0, r.x1)) &&
         cut_axis(y1, x1, y2, x2, std::min(r.y0, r.y1), std::max(r.y0, r.y1));
}

// Page rectangle of two world points: corner with smaller x and larger y
// first, then the opposite one.
void page_corners(float x1, float y1, float x2, float y2, std::int16_t& l, std::int16_t& t, std::int16_t& r,
                  std::int16_t& b) {
  const ViewMapping& m = gs().mapping;
  const std::int16_t px1 = map_x(m, x1), px2 = map_x(m, x2);
  const std::int16_t py1 = map_y(m, y1), py2 = map_y(m, y2);
  l = std::min(px1, px2);
  r = std::max(px1, px2);
  t = std::max(py1, py2);
  b = std::min(py1, py2);
}

// The command class of a key read at a picture: 1 for "`", "P", "p"; 2 for
// "F", "f" (a screen dump); 3 for "~"; 0 for any other.
std::int16_t command_class(std::int16_t key) {
  switch (key) {
    case '`':
    case 'P':
    case 'p': return 1;
    case 'F':
    case 'f': return 2;
    case '~': return 3;
    default: return 0;
  }
}

}  // namespace

GraphicsState& graphics_state() {
  static GraphicsState g;
  return g;
}

void GI_OPEN() {
  GraphicsState& g = gs();
  if (g.graphics_enabled) {
    OPEN_WINDOW();
    scale_palettes();
  }
  GI_COLOUR(7);
  g.palette_number = 0;
}

void GI_SET_FRAME(float x0, float x1, float y0, float y1) { gs().frame = {x0, x1, y0, y1}; }

void GI_SET_VIEWPORT(float x0, float x1, float y0, float y1) { gs().viewport = {x0, x1, y0, y1}; }

void GI_SET_WINDOW(float x0, float x1, float y0, float y1) {
  gs().world = {x0, x1, y0, y1};
  gs().clip = {x0, x1, y0, y1};
}

void GI_BEGIN(std::int16_t mode) {
  GraphicsState& g = gs();
  if (g.plotting_active) return;
  g.plotting_active = true;
  if (mode == 0) show_graphics();
  g.mapping = build_view_mapping(g.frame, g.viewport, g.world, g.page, g.page_aspect);
}

void GI_CLEAR() {
  GraphicsState& g = gs();
  if (g.graphics_shown) {
    BEGIN_PICTURE(0);
    set_rgb(current_palette().colour(7));
  } else {
    g.new_picture_pending = true;
  }
}

void GI_END(std::int16_t mode) {
  GraphicsState& g = gs();
  if (!g.plotting_active) return;
  g.plotting_active = false;
  if (mode == 0) {
    const std::int16_t key = GI_GET_KEY();
    // The window closed while the picture waited: the run ends here, as at
    // every other wait, and nothing after the picture runs.
    if (key == KEY_QUIT) {
      hide_graphics();
      call_fatal_stop();
    }
    if (command_class(key) == 2) write_screen_dump();
  }
  if (mode != 1) hide_graphics();
}

void GI_HIDE_GRAPHICS() { hide_graphics(); }

std::int16_t GI_WAIT_COMMAND() { return command_class(GI_GET_KEY()); }

void GI_MOVE(float x, float y) {
  GraphicsState& g = gs();
  g.current_x = x;
  g.current_y = y;
  g.page_x = map_x(g.mapping, x);
  g.page_y = map_y(g.mapping, y);
}

void GI_POINT(float x, float y) {
  GI_MOVE(x, y);
  PLOT_PIXEL(gs().page_x, gs().page_y);
}

void GI_DRAW(float x, float y) {
  GraphicsState& g = gs();
  float x1 = g.current_x, y1 = g.current_y, x2 = x, y2 = y;
  std::int16_t px1 = g.page_x, py1 = g.page_y;
  bool visible = true;
  if (g.clipping) {
    visible = clip_segment(x1, y1, x2, y2, g.clip);
    px1 = map_x(g.mapping, x1);
    py1 = map_y(g.mapping, y1);
  }
  GI_MOVE(x, y);
  if (visible) DRAW_LINE(px1, py1, map_x(g.mapping, x2), map_y(g.mapping, y2));
}

void GI_RECT(float x1, float y1, float x2, float y2) {
  std::int16_t l, t, r, b;
  page_corners(x1, y1, x2, y2, l, t, r, b);
  DRAW_RECT(l, t, r, b);
}

void GI_FILL_RECT(float x1, float y1, float x2, float y2, std::int16_t side_flags) {
  std::int16_t l, t, r, b;
  page_corners(x1, y1, x2, y2, l, t, r, b);
  auto inset = [&](int bit) { return static_cast<std::int16_t>((side_flags & bit) ? 0 : 1); };
  FILL_RECT(l, t, r, b, inset(1), inset(2), inset(4), inset(8));
}

void GI_QUAD(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4) {
  const float x[4] = {x1, x2, x3, x4};
  const float y[4] = {y1, y2, y3, y4};
  GI_POLYGON(x, y, 4);
}

void GI_POLYGON(const float* x, const float* y, std::int16_t n) {
  if (!x || !y || n < 1) return;
  const int count = std::min<int>(n, 4);
  std::int16_t px[4], py[4];
  for (int i = 0; i < count; ++i) {
    px[i] = map_x(gs().mapping, x[i]);
    py[i] = map_y(gs().mapping, y[i]);
  }
  FILL_POLYGON(px, py, static_cast<std::int16_t>(count));
}

void GI_CLIP(std::int16_t flag) { gs().clipping = flag != 0; }

void GI_TEXT_SIZE(float width, float height) {
  gs().xs = width / 6.0f;
  gs().ys = height / 9.0f;
}

void GI_TEXT_STEP(float ax, float ay, float third) {
  gs().ax = ax;
  gs().ay = ay;
  gs().step_third = third;
}

void GI_TEXT_ANGLE(float sine, float cosine, float third) {
  gs().sine = sine;
  gs().cosine = cosine;
  gs().angle_third = third;
}

void GI_WHERE(float& x, float& y) {
  x = gs().current_x;
  y = gs().current_y;
}

void GI_TEXT_PROPORTIONAL(std::int16_t flag) { gs().proportional = flag != 0; }

void GI_TEXT(std::int16_t n, const char* chars) {
  if (!chars) return;
  DrawingSession session;
  GraphicsState& g = gs();
  const int count = std::abs(static_cast<int>(n));
  const bool draw = n >= 0;
  for (int i = 0; i < count; ++i) {
    const int code = static_cast<unsigned char>(chars[i]);
    if (code == 0) break;
    const Glyph& glyph_of = glyph(glyph_number(code));
    const float ox = g.current_x, oy = g.current_y;
    if (draw) {
      for (const GlyphPoint& p : glyph_of.points) {
        const float u = static_cast<float>(p.x) * g.xs, v = static_cast<float>(p.y) * g.ys;
        const float x = ox + g.cosine * u + g.sine * v;
        const float y = oy + g.cosine * v - g.sine * u;
        if (p.pen_up)
          GI_MOVE(x, y);
        else
          GI_DRAW(x, y);
      }
    }
    // Proportional spacing takes the glyph's spare width off the advance;
    // a count that only advances measures the same way, so that text placed
    // from its measured length lands where it is then drawn.
    float f = 1.0f;
    if (g.proportional) {
      const float length = std::sqrt(g.ax * g.ax + g.ay * g.ay);
      if (length > 0.0f) f = (length - static_cast<float>(glyph_of.spare_width) * g.xs) / length;
    }
    GI_MOVE(ox + f * g.ax, oy + f * g.ay);
  }
}

void GI_PALETTE(std::int16_t number) {
  GraphicsState& g = gs();
  if (number == g.palette_number) return;
  if (realise(number)) set_rgb(current_palette().colour(7));
  g.palette_number = number;
}

void GI_COLOUR(std::int16_t index) {
  default_palette(1);
  const int i = index >= 0 && index <= 15 ? index : 8;
  const Rgb c = current_palette().colour(i);
  const int grey = i == 0 ? 0 : i >= 8 ? 191 : 255;
  SET_RGB_GREY(c.red, c.green, c.blue, static_cast<std::int16_t>(grey));
}

void GI_COLOUR_PAIR(std::int16_t index_on_black, std::int16_t index_on_white, float grey_on_black,
                    float darkness_on_white) {
  default_palette(1);
  SET_INDEXED(index_on_black, index_on_white, static_cast<std::int16_t>(fraction_byte(grey_on_black)),
              static_cast<std::int16_t>(fraction_byte(darkness_on_white)));
}

void GI_COLOUR_RGB(float red, float green, float blue) {
  default_palette(2);
  SET_RGB(static_cast<std::int16_t>(fraction_byte(red)), static_cast<std::int16_t>(fraction_byte(green)),
          static_cast<std::int16_t>(fraction_byte(blue)));
}

void GI_COLOUR_INDEX(std::int16_t n) {
  default_palette(3);
  int entry = n + 16;
  if (entry < 16 || entry > 31) entry = 23;
  set_rgb(current_palette().colour(entry));
}

void GI_SCALE_BIPOLAR(float v) {
  default_palette(4);
  const ScaleColour s = bipolar_scale(v);
  const Rgb c = logical_palette(2).colour(s.entry);
  SET_RGB_GREY(c.red, c.green, c.blue, static_cast<std::int16_t>(s.grey));
}

void GI_SCALE_UNIPOLAR(float v) {
  default_palette(5);
  const ScaleColour s = unipolar_scale(v);
  const Rgb c = logical_palette(2).colour(s.entry);
  SET_RGB_GREY(c.red, c.green, c.blue, static_cast<std::int16_t>(s.grey));
}

void GI_SCALE_THERMAL(float v) {
  default_palette(6);
  const ScaleColour s = thermal_scale(v);
  if (s.entry == 0 || s.grey == 0) {
    SET_INDEXED(0, 0, 0, 255);  // black on either background
    return;
  }
  const Rgb c = logical_palette(3).colour(32 + s.entry);
  SET_RGB_GREY(c.red, c.green, c.blue, static_cast<std::int16_t>(s.grey));
}

namespace {

// Waits with the crosshair for a click (its point) or a key (the start point).
void locate(float x0, float y0, float& x, float& y, std::int16_t& code) {
  const ViewMapping& m = gs().mapping;
  const std::int16_t start_x = map_x(m, x0), start_y = map_y(m, y0);
  SET_CROSSHAIR(1);
  WARP_POINTER(start_x, start_y);
  x = x0;
  y = y0;
  EventRecord e;
  for (;;) {
    WAIT_EVENT(e);
    if (e.type == EVENT_PRESS) {
      code = static_cast<std::int16_t>(-e.button);
      // A click on the start point's page point gives the start point exactly.
      x = e.x == start_x ? x0 : unmap_x(m, e.x);
      y = e.y == start_y ? y0 : unmap_y(m, e.y);
      break;
    }
    if (e.type == EVENT_KEY) {
      code = e.key;
      break;
    }
    if (e.type == EVENT_QUIT) {
      code = KEY_QUIT;
      break;
    }
  }
  SET_CROSSHAIR(0);
}

}  // namespace

void GI_LOCATE(float x0, float y0, float, float, float, float, float& x, float& y, std::int16_t& code) {
  const PickWait pick(x0, y0);
  locate(x0, y0, x, y, code);
}

void GI_FINAL_PAUSE() {
  float x = 0.0f, y = 0.0f;
  std::int16_t code = 0;
  locate(0.0f, 0.0f, x, y, code);  // a pause on the last picture, not a pick
  if (code == KEY_QUIT) {
    hide_graphics();
    call_fatal_stop();
  }
  hide_graphics();
}

void SET_CAPTION(const char* text, std::int16_t length) {
  std::string caption;
  for (int i = 0; text && i < std::min<int>(length, 31) && text[i] != '\0'; ++i) caption.push_back(text[i]);
  window_state().caption = caption;
}

}  // namespace kesto::shell
