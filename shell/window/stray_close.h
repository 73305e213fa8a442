// A close asked of a window of the program that is not one of its shown
// windows: Qt's hidden client leader and clipboard owner windows carry the
// program's name, so a tool that looks windows up by name may send the
// window manager's close request to one of them. Qt drops such a request;
// the program takes it as a close of its main window.
#pragma once

namespace kesto::shell {

// Watches the X connection for such requests (once; nothing happens on other
// window systems).
void watch_for_stray_closes();

}  // namespace kesto::shell
