#include "support/x_client.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>
#include <vector>

namespace kesto::testing {
namespace {

// A window may go away between two requests; an error then fails the
// request instead of ending the test program, as Xlib's own handler would.
int ignore_error(Display*, XErrorEvent*) { return 0; }

// One connection for the length of a call.
class Connection {
 public:
  explicit Connection(const std::string& display) : d_(XOpenDisplay(display.c_str())) {
    XSetErrorHandler(ignore_error);
  }
  ~Connection() {
    if (d_) XCloseDisplay(d_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  Display* get() const { return d_; }

 private:
  Display* d_;
};

// The mapped top-level windows of that title (of any title when null), from
// the bottom of the stack up.
std::vector<unsigned long> windows_titled(Display* d, const char* title) {
  std::vector<unsigned long> found;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n)) return found;
  for (unsigned int i = 0; i < n; ++i) {
    XWindowAttributes a;
    char* name = nullptr;
    if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable &&
        (!title || (XFetchName(d, children[i], &name) && name && std::string(title) == name)))
      found.push_back(children[i]);
    if (name) XFree(name);
  }
  if (children) XFree(children);
  return found;
}

// Adds the windows below `parent`, at any depth, whose title holds `part`.
void collect_named(Display* d, Window parent, const std::string& part, std::vector<unsigned long>& found) {
  Window root = 0, up = 0;
  Window* children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(d, parent, &root, &up, &children, &n)) return;
  for (unsigned int i = 0; i < n; ++i) {
    char* name = nullptr;
    if (XFetchName(d, children[i], &name) && name && std::string(name).find(part) != std::string::npos)
      found.push_back(children[i]);
    if (name) XFree(name);
    collect_named(d, children[i], part, found);
  }
  if (children) XFree(children);
}

}  // namespace

std::vector<unsigned long> x_windows_named(const std::string& display, const std::string& part) {
  std::vector<unsigned long> found;
  Connection c(display);
  if (c.get()) collect_named(c.get(), DefaultRootWindow(c.get()), part, found);
  return found;
}

bool x_display_answers(const std::string& display) { return Connection(display).get() != nullptr; }

unsigned long x_find_window(const std::string& display, const std::string& title) {
  Connection c(display);
  if (!c.get()) return 0;
  const std::vector<unsigned long> found = windows_titled(c.get(), title.c_str());
  return found.empty() ? 0 : found.front();
}

int x_count_windows(const std::string& display) {
  Connection c(display);
  return c.get() ? static_cast<int>(windows_titled(c.get(), nullptr).size()) : 0;
}

QImage x_grab_window(const std::string& display, unsigned long window) {
  Connection c(display);
  if (!c.get()) return {};
  XWindowAttributes a;
  if (!XGetWindowAttributes(c.get(), window, &a) || a.map_state != IsViewable) return {};
  XImage* x = XGetImage(c.get(), window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
  if (!x) return {};
  // The tests' screens are 24-bit true colour: red, green, blue bytes.
  QImage image(a.width, a.height, QImage::Format_RGB32);
  for (int y = 0; y < a.height; ++y)
    for (int col = 0; col < a.width; ++col) {
      const unsigned long p = XGetPixel(x, col, y);
      image.setPixel(col, y,
                     qRgb(static_cast<int>((p & x->red_mask) >> 16), static_cast<int>((p & x->green_mask) >> 8),
                          static_cast<int>(p & x->blue_mask)));
    }
  XDestroyImage(x);
  return image;
}

bool x_close_window(const std::string& display, unsigned long window) {
  Connection c(display);
  if (!c.get()) return false;
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(c.get(), "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(c.get(), "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  const bool sent = XSendEvent(c.get(), window, False, NoEventMask, &e) != 0;
  XSync(c.get(), False);
  return sent;
}

}  // namespace kesto::testing
