// The graphics call interface: the operations through which the plotting
// library and the text screen use the shell. World coordinates are mapped to
// page units by the view mapping; text is drawn in the shell's stroke font;
// colours come from three logical palettes and three colour scales. No
// operation fails: out-of-range values are clamped or replaced by defaults.
#pragma once

#include <cstdint>

#include "shell/graphics/view_mapping.h"

namespace kesto::shell {

// The graphics state: one instance for the run.
struct GraphicsState {
  ViewRect frame, viewport, world;        // used by the next GI_BEGIN
  ViewRect clip{0.0f, 0.0f, 0.0f, 0.0f};  // set with the world window
  PageExtent page;
  float page_aspect = 2500.0f / 3500.0f;  // page height over width
  ViewMapping mapping;
  float current_x = 0.0f, current_y = 0.0f;  // the current point
  std::int16_t page_x = 0, page_y = 0;       // and its page point
  bool plotting_active = false;
  bool graphics_shown = false;
  bool new_picture_pending = false;
  bool clipping = false;
  float xs = 0.005f, ys = 0.005f;                  // world units per font grid unit
  float ax = 0.03f, ay = 0.0f, step_third = 0.0f;  // advance from one character to the next
  float sine = 0.0f, cosine = 1.0f, angle_third = 0.0f;
  bool proportional = false;
  std::int16_t palette_number = 0;   // 0: the next colour operation picks its default
  std::int16_t realised_number = 0;  // the palette number last realised
  int logical_palette = 0;           // 1-3: the logical palette realised; 0 none yet
  std::int16_t end_keep = 1;         // keep flag GI_END passes to END_PICTURE
  bool graphics_enabled = true;      // GI_OPEN opens the window
};

GraphicsState& graphics_state();

// Opens the window (when graphics are enabled), prepares the palettes,
// selects colour 7 and forgets the palette number.
void GI_OPEN();
// Frame, viewport and world window of the view mapping (used from the next GI_BEGIN).
void GI_SET_FRAME(float x0, float x1, float y0, float y1);
void GI_SET_VIEWPORT(float x0, float x1, float y0, float y1);
void GI_SET_WINDOW(float x0, float x1, float y0, float y1);  // also the clip rectangle
// Starts plotting (mode 0 shows the graphics); nothing when already active.
void GI_BEGIN(std::int16_t mode);
// Starts a new, empty picture (or marks one pending while graphics are hidden).
void GI_CLEAR();
// Ends plotting: mode 0 waits for a command key first ("F" writes a screen
// dump; a closed window ends the run through the fatal stop); unless mode is
// 1 the graphics are hidden and the text screen returns.
void GI_END(std::int16_t mode);
// Waits for a key and classifies it: 1 for "`", "P", "p"; 2 for "F", "f";
// 3 for "~"; 0 for any other.
std::int16_t GI_WAIT_COMMAND();

void GI_MOVE(float x, float y);
void GI_POINT(float x, float y);
void GI_DRAW(float x, float y);
void GI_RECT(float x1, float y1, float x2, float y2);
// Side flags: a 0 bit insets the fill by one pixel on that side
// (bit 0 left, bit 1 right, bit 2 top, bit 3 bottom).
void GI_FILL_RECT(float x1, float y1, float x2, float y2, std::int16_t side_flags);
void GI_QUAD(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
void GI_POLYGON(const float* x, const float* y, std::int16_t n);  // n at most 4
void GI_CLIP(std::int16_t flag);

// Stroke-font text.
void GI_TEXT_SIZE(float width, float height);
void GI_TEXT_STEP(float ax, float ay, float unused);
void GI_TEXT_ANGLE(float sine, float cosine, float unused);
void GI_WHERE(float& x, float& y);
void GI_TEXT_PROPORTIONAL(std::int16_t flag);
// Draws up to n characters at the current point; a negative n only advances.
void GI_TEXT(std::int16_t n, const char* chars);

// Colours.
void GI_PALETTE(std::int16_t number);
void GI_COLOUR(std::int16_t index);
void GI_COLOUR_PAIR(std::int16_t index_on_black, std::int16_t index_on_white, float grey_on_black,
                    float darkness_on_white);
void GI_COLOUR_RGB(float red, float green, float blue);
void GI_COLOUR_INDEX(std::int16_t n);
void GI_SCALE_BIPOLAR(float v);
void GI_SCALE_UNIPOLAR(float v);
void GI_SCALE_THERMAL(float v);

// Pointer picking: waits for a button press (code -1 left, -2 right), a key
// (its code) or the window's close (-11).
void GI_LOCATE(float x0, float y0, float xmin, float ymin, float xmax, float ymax, float& x, float& y,
               std::int16_t& code);
// Waits for a click or key on the picture; a closed window ends the run.
void GI_FINAL_PAUSE();
// Leaves graphics mode for the text screen (after GI_END(1)).
void GI_HIDE_GRAPHICS();
// The orderly end of the shell: writes the settings file and (once per run)
// releases the window and its drawing resources. Returns to the caller,
// which then ends the run. A later GI_OPEN in the same process opens a new
// window.
void SHELL_SHUTDOWN();

// Window caption (at most 31 characters), set before GI_OPEN.
void SET_CAPTION(const char* text, std::int16_t length);
// 1: later drawing appears on the window only (not kept, not recorded); 0: normal.
void SET_TRANSIENT(std::int16_t flag);
// Directory and file name remembered as defaults for picture export.
void SET_DATA_FILE(const char* directory, std::int16_t directory_length, const char* file_name);

// The text screen installs the fatal stop here at start-up, so that the shell
// can end the run (GI_END, GI_FINAL_PAUSE) without depending on the layers
// above it.
using FatalStopHook = void (*)();
void set_fatal_stop_hook(FatalStopHook hook);
// Calls the installed fatal stop (which does not return).
[[noreturn]] void call_fatal_stop();

}  // namespace kesto::shell
