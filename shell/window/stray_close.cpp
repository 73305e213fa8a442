#include "shell/window/stray_close.h"

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QMainWindow>
#include <QWindow>
#include <cstdlib>
#include <cstring>

#include "shell/window/main_window.h"

namespace kesto::shell {
namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
  const xcb_atom_t a = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(reply);
  return a;
}

class StrayCloseFilter : public QAbstractNativeEventFilter {
 public:
  StrayCloseFilter(xcb_atom_t protocols, xcb_atom_t delete_window)
      : protocols_(protocols), delete_window_(delete_window) {}

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE) return false;
    const auto* m = static_cast<const xcb_client_message_event_t*>(message);
    if (m->format != 32 || m->type != protocols_ || m->data.data32[0] != delete_window_) return false;
    // A window Qt shows (the main window, an open menu or dialog) handles
    // its own close request.
    for (const QWindow* w : QGuiApplication::allWindows())
      if (w->handle() && static_cast<xcb_window_t>(w->winId()) == m->window) return false;
    close_window();
    return true;
  }

 private:
  xcb_atom_t protocols_, delete_window_;
};

}  // namespace

void watch_for_stray_closes() {
  static bool installed = false;
  if (installed || !qApp) return;
  const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return;
  installed = true;
  xcb_connection_t* c = x11->connection();
  // The filter lives as long as the application.
  qApp->installNativeEventFilter(new StrayCloseFilter(atom(c, "WM_PROTOCOLS"), atom(c, "WM_DELETE_WINDOW")));
}

}  // namespace kesto::shell
