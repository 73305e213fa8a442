// The program's one main window: a menu bar over the client area, which
// shows either the text grid or the picture, and turns keys, pointer
// actions and the window's close into input events.
#pragma once

#include <QRect>
#include <cstdint>

class QAction;
class QMainWindow;
class QWidget;

namespace kesto::shell {

// Reads the settings, creates the window (maximised, or at the batch mode's
// fixed size), clears the text grid and shows it in text mode with an empty
// picture. Returns 1 (a window exists afterwards); when it is already open
// it is kept as it is.
std::int16_t OPEN_WINDOW();

// The client area size the batch window gets, so that saved pictures are the
// same on every machine.
constexpr int BATCH_CLIENT_WIDTH = 1400;
constexpr int BATCH_CLIENT_HEIGHT = 1000;

// The window, its client area and its menu items; null without a window.
QMainWindow* main_window();
QWidget* client_area();
QAction* menu_action(int id);

// Schedules a repaint of part of the client area (all of it for a null rectangle).
void update_client_area(const QRect& area = QRect());
// Repaints the client area at once.
void repaint_client_area();
// Asks the window to close, as the user does: the next wait gets the quit event.
void close_window();
// Gives the client area a new size (keeping the menu bar); false without a window.
bool resize_client_area(int width, int height);
// Resizes the window so that its client area becomes 640 x 480.
void FIT_CLIENT_640();
// Shows the cursor that the crosshair and text-cursor modes select.
void apply_cursor();
// Destroys the window (at shutdown).
void destroy_window();

// Called when the client area gets a new size (also before it is shown):
// new backing bitmap and window surface, page mapping and text layout.
void client_resized(int width, int height, bool minimised);

}  // namespace kesto::shell
