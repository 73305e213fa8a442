// Test support: a small X client of the test's own, for what a window
// manager or another program does to a window: find it by its title, read
// what it shows, ask it to close. Xlib's names stay inside x_client.cpp.
#pragma once

#include <QImage>
#include <string>
#include <vector>

namespace kesto::testing {

// Whether a client can connect to the display.
bool x_display_answers(const std::string& display);

// The mapped top-level window of that title on the display; 0 when none.
unsigned long x_find_window(const std::string& display, const std::string& title);

// Every window of the display, shown or not, whose title holds `part`, as a
// tool that looks windows up by name finds them.
std::vector<unsigned long> x_windows_named(const std::string& display, const std::string& part);

// How many mapped top-level windows the display shows (a program's open
// menus are windows of their own).
int x_count_windows(const std::string& display);

// What the window shows on the screen now, as an RGB image of its size;
// null when it cannot be read.
QImage x_grab_window(const std::string& display, unsigned long window);

// Asks the window to close, as a window manager does when the user closes
// it (the WM_DELETE_WINDOW protocol). False when it cannot be sent.
bool x_close_window(const std::string& display, unsigned long window);

}  // namespace kesto::testing
