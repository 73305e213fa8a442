#include "shell/window/process_entry.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "shell/script/batch.h"
#include "shell/window/main_window.h"
#include "shell/window/surfaces.h"
#include "shell/settings/message_box.h"
#include "shell/drawing/plot_buffer.h"
#include "shell/script/script.h"
#include "shell/script/script_file.h"
#include "shell/window/window_state.h"
#include "shell/graphics/graphics_interface.h"

namespace kesto::shell {
namespace {

bool has_display() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* v = std::getenv(name);
    if (v && *v) return true;
  }
  return false;
}

// The application object keeps references to its arguments for its whole life.
struct QtArguments {
  std::vector<std::string> words;
  std::vector<char*> pointers;
  int count = 0;
};

QtArguments& qt_arguments() {
  static QtArguments a;
  return a;
}

// Without a display two notices of the window system say nothing a user of
// a batch run could act on; they are left out of its standard error.
QtMessageHandler g_previous_handler = nullptr;

void quiet_offscreen_handler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith("This plugin does not support propagateSizeHints") ||
      message.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set"))
    return;
  if (g_previous_handler)
    g_previous_handler(type, context, message);
  else
    std::cerr << message.toStdString() << '\n';
}

// The display an interactive window would go to, for the message that it
// cannot be opened.
std::string display_name() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const bool wants_wayland = platform && std::string(platform).rfind("wayland", 0) == 0;
  if (wants_wayland && wayland && *wayland) return wayland;
  if (x11 && *x11) return x11;
  if (wayland && *wayland) return wayland;
  return platform && *platform ? platform : "(none)";
}

// While the window system is being set up for an interactive run, its
// messages are held back: when it cannot be set up at all, the toolkit ends
// the process through a fatal message (an abort, after notices about
// plugins that say nothing a user could act on). That fatal message is
// turned into one line of ours and exit status 2; when the set-up succeeds,
// the messages held back are passed on.
struct HeldMessage {
  QtMsgType type;
  std::string category, text;
};
std::vector<HeldMessage>* g_held = nullptr;
QtMessageHandler g_handler_before_hold = nullptr;

void hold_or_fail_handler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) {
    std::cerr << "kesto: cannot open the window on display " << display_name() << "; use --batch to run without one"
              << std::endl;
    std::_Exit(2);
  }
  if (g_held) g_held->push_back({type, context.category ? context.category : "", message.toStdString()});
}

std::unique_ptr<QApplication> make_application(int argc, char** argv, bool offscreen) {
  QtArguments& a = qt_arguments();
  a.words.assign(1, argc > 0 && argv && argv[0] ? argv[0] : "kesto");
  if (offscreen) {
    static const bool installed = [] {
      g_previous_handler = qInstallMessageHandler(quiet_offscreen_handler);
      return true;
    }();
    (void)installed;
    a.words.push_back("-platform");
    a.words.push_back("offscreen");
  }
  a.pointers.clear();
  for (std::string& w : a.words) a.pointers.push_back(w.data());
  a.pointers.push_back(nullptr);
  a.count = static_cast<int>(a.words.size());
  if (offscreen) return std::make_unique<QApplication>(a.count, a.pointers.data());

  static std::vector<HeldMessage> held;
  held.clear();
  g_held = &held;
  g_handler_before_hold = qInstallMessageHandler(hold_or_fail_handler);
  auto app = std::make_unique<QApplication>(a.count, a.pointers.data());
  qInstallMessageHandler(g_handler_before_hold);
  return app;
}

// Passes the messages held back while the window system was set up on (or
// drops them, when the run goes no further).
void release_held_messages(bool pass_on) {
  if (!g_held) return;
  if (pass_on)
    for (const HeldMessage& m : *g_held) {
      const QMessageLogContext context(nullptr, 0, nullptr, m.category.empty() ? nullptr : m.category.c_str());
      if (g_handler_before_hold)
        g_handler_before_hold(m.type, context, QString::fromStdString(m.text));
      else
        std::cerr << m.text << '\n';
    }
  g_held->clear();
  g_held = nullptr;
}

// Platforms that show nothing on any screen.
bool platform_shows_nothing() {
  const QString name = QGuiApplication::platformName();
  return name == "offscreen" || name == "minimal";
}

}  // namespace

void ensure_application() {
  if (QApplication::instance()) return;
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  // Never destroyed: windows may outlive any scope it could be tied to.
  static QApplication* const app = make_application(0, nullptr, !(platform && *platform)).release();
  static_cast<void>(app);
}

common::RunEnded::Kind PROCESS_ENTRY(int& argc, char** argv, void (*run_driver)(), bool batch) {
  using Kind = common::RunEnded::Kind;
  batch_mode().enabled = batch;
  std::unique_ptr<QApplication> own;
  if (!QApplication::instance()) {
    // Batch runs and scripted runs need no display; an interactive run does.
    const bool offscreen = batch || (script().active && !has_display());
    if (!offscreen && !has_display()) {
      std::cerr << "kesto: there is no display to open the window on (DISPLAY is not set); "
                   "use --batch or --script to run without one\n";
      return Kind::stalled;
    }
    own = make_application(argc, argv, offscreen);
    // An interactive run that nobody could see or answer would only wait.
    const bool refused = !batch && !script().active && platform_shows_nothing();
    release_held_messages(!refused);
    if (refused) {
      std::cerr << "kesto: the " << QGuiApplication::platformName().toStdString()
                << " platform shows no window; use --batch or --script to run without one\n";
      return Kind::stalled;
    }
  }
  if (!ALLOCATE_PLOT_BUFFER()) {
    SHOW_MESSAGE("Can't allocate memory for plot buffer");
    return Kind::abrupt;
  }
  Kind kind = Kind::normal;
  try {
    run_driver();
  } catch (const common::RunEnded& e) {
    kind = e.kind;
  }
  if (kind != Kind::abrupt) SHELL_SHUTDOWN();
  // Without the shut-down the window still exists; it must go before the
  // application object does.
  destroy_window();
  // The application of a run whose window nobody saw is left for the
  // process's end: taking it down would make its font database read the
  // system's font configuration only to let it go, a tenth of such a run.
  if (run_unseen()) static_cast<void>(own.release());
  return kind;
}

void SET_BATCH_MODE(bool enabled, const std::string& pictures_dir, const std::string& export_dir) {
  BatchMode& b = batch_mode();
  b.enabled = enabled;
  b.pictures_dir = pictures_dir;
  b.export_dir = export_dir;
  b.file_not_written = false;
}

bool BATCH_FILES_WRITTEN() { return !batch_mode().file_not_written; }

bool LOAD_SCRIPT_FILE(const std::string& path, std::string& error) { return read_script_file(path, script(), error); }

bool WINDOW_CLOSED() { return window_state().quit_seen; }

void NAME_BATCH_PICTURE(const std::string& name) { NAME_PICTURE(name); }
void FORGET_BATCH_PAGES() { batch_forget_pages(); }
void LEAVE_BATCH_PAGE() { batch_page_leaving(); }

void RUN_AS_BATCH(std::ostream& pages, const std::function<void()>& body) {
  BatchMode& batch = batch_mode();
  const BatchMode saved = batch;
  batch = BatchMode{};
  batch.enabled = true;
  batch.out = &pages;
  try {
    body();
  } catch (...) {
    batch = saved;
    throw;
  }
  batch = saved;
}

}  // namespace kesto::shell
