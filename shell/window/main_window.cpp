#include "shell/window/main_window.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QCloseEvent>
#include <QCursor>
#include <QFocusEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSessionManager>
#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>

#include "common/file_replacing.h"
#include "shell/script/batch.h"
#include "shell/window/events.h"
#include "shell/window/key_mapping.h"
#include "shell/window/menu_commands.h"
#include "shell/settings/message_box.h"
#include "shell/window/page_mapping.h"
#include "shell/drawing/plot_buffer.h"
#include "shell/drawing/primitives.h"
#include "shell/window/process_entry.h"
#include "shell/settings/settings.h"
#include "shell/window/surfaces.h"
#include "shell/window/stray_close.h"
#include "shell/window/text_grid.h"
#include "shell/window/text_layout.h"
#include "shell/window/text_painting.h"
#include "shell/window/window_state.h"

// Resources of a static library must be registered by hand.
static void init_shell_resources() { Q_INIT_RESOURCE(shell); }

namespace kesto::shell {
namespace {

std::int16_t clamp16(double v) { return static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0)); }

// The client area: paints the text grid or the picture and turns keys and
// pointer actions into input events (positions in client pixels).
class ClientArea : public QWidget {
 public:
  explicit ClientArea(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled, false);
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    QPainter p(this);
    if (window_state().graphics_mode) {
      refresh_window_surface();
      const QImage& image = surfaces().window;
      p.drawImage(0, 0, image);
      // Beyond the bitmap (only while a resize is pending) the background shows.
      if (width() > image.width()) p.fillRect(image.width(), 0, width() - image.width(), height(), background_colour());
      if (height() > image.height())
        p.fillRect(0, image.height(), width(), height() - image.height(), background_colour());
    } else {
      p.setClipRect(e->rect());
      paint_text_grid(p, rect());
    }
  }

  void resizeEvent(QResizeEvent*) override {
    const QWidget* top = window();
    client_resized(width(), height(), top && top->isMinimized());
  }

  void keyPressEvent(QKeyEvent* e) override {
    const std::int16_t code = key_code_for(e->key(), e->modifiers(), e->text());
    if (code == 0) {
      e->ignore();
      return;
    }
    EventRecord r;
    r.type = EVENT_KEY;
    r.key = code;
    push_input(r);
  }

  void mousePressEvent(QMouseEvent* e) override { pointer(e, EVENT_PRESS); }
  void mouseReleaseEvent(QMouseEvent* e) override { pointer(e, EVENT_RELEASE); }
  void mouseMoveEvent(QMouseEvent* e) override { pointer(e, EVENT_MOVE); }

  // Tab is a key of the program, not a move to another control.
  bool focusNextPrevChild(bool) override { return false; }

  void focusInEvent(QFocusEvent*) override {
    window_state().has_focus = true;
    if (!window_state().graphics_mode) update();
  }
  void focusOutEvent(QFocusEvent*) override {
    window_state().has_focus = false;
    if (!window_state().graphics_mode) update();
  }

 private:
  void pointer(QMouseEvent* e, std::int16_t type) {
    EventRecord r;
    r.type = type;
    if (type == EVENT_MOVE) {
      r.button = static_cast<std::int16_t>(((e->buttons() & Qt::LeftButton) ? 1 : 0) |
                                           ((e->buttons() & Qt::RightButton) ? 2 : 0));
    } else if (e->button() == Qt::LeftButton) {
      r.button = 1;
    } else if (e->button() == Qt::RightButton) {
      r.button = 2;
    } else {
      return;  // other buttons give no event
    }
    r.x = clamp16(e->position().x());
    r.y = clamp16(e->position().y());
    push_input(r);
  }
};

// The main window: closing it does not destroy it but tells the waiting
// program that the user wants to stop.
class MainWindow : public QMainWindow {
 public:
  MainWindow() { setAttribute(Qt::WA_DeleteOnClose, false); }

 protected:
  void closeEvent(QCloseEvent* e) override {
    e->ignore();
    if (!window_state().quit_seen) {
      EventRecord quit;
      quit.type = EVENT_QUIT;
      push_input(quit);
    }
  }
};

struct WindowObjects {
  std::unique_ptr<MainWindow> window;
  ClientArea* client = nullptr;
  std::map<int, QAction*> actions;
  QCursor crosshair;
};

WindowObjects& objects() {
  static WindowObjects o;
  return o;
}

// Saves the picture the batch window shows as a PNG file: the window
// surface, which holds what the user would see, progress drawn on the window
// only included. The file is replaced whole or not at all; a failure leaves
// the system's reason in errno.
bool save_picture(const std::string& path) {
  if (!objects().window) {
    errno = ENODATA;
    return false;
  }
  refresh_window_surface();
  suspend_painters();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!surfaces().window.save(&buffer, "PNG")) {
    errno = ENOMEM;
    return false;
  }
  const int error = common::replace_file(path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
  errno = error;
  return error == 0;
}

// A session end is refused while the program runs.
void refuse_session_end(QSessionManager& manager) {
  SHOW_MESSAGE("Application still active");
  manager.cancel();
}

}  // namespace

std::int16_t OPEN_WINDOW() {
  ensure_application();
  WindowObjects& o = objects();
  WindowState& w = window_state();
  if (o.window) return 1;
  init_shell_resources();
  READ_SETTINGS();

  w.window_open = true;
  w.shut_down = false;
  w.bitmap_width = 640;
  w.bitmap_height = 452;
  update_page_mapping();
  reset_surfaces();
  text_grid().clear();

  o.window = std::make_unique<MainWindow>();
  o.window->setWindowTitle(QString::fromStdString(w.caption));
  o.client = new ClientArea(o.window.get());
  o.window->setCentralWidget(o.client);
  // A window that nobody sees and no script drives has no use for an icon
  // or a menu bar, and both read images (the icon, the bar's overflow
  // button), which loads every image-format plugin.
  if (!run_unseen()) {
    o.window->setWindowIcon(QIcon(":/kesto/orvicon.xpm"));
    o.actions = build_menu_bar(*o.window);
  }
  if (qApp) QObject::connect(qApp, &QGuiApplication::commitDataRequest, o.window.get(), refuse_session_end);
  watch_for_stray_closes();

  if (batch_mode().enabled) {
    // A window whose pictures nobody sees or saves is never shown, but its
    // client area gets the batch size all the same, so that the pages and
    // pictures are laid out as in any batch run. It takes the size directly:
    // laying out the menu bar around it would load the system's fonts,
    // which such a run never uses.
    if (window_unseen())
      o.client->resize(BATCH_CLIENT_WIDTH, BATCH_CLIENT_HEIGHT);
    else {
      o.window->show();
      resize_client_area(BATCH_CLIENT_WIDTH, BATCH_CLIENT_HEIGHT);
    }
    set_picture_saver(save_picture);
  } else {
    // Without a window manager a maximise request is not carried out: the
    // normal size is the whole screen too.
    if (const QScreen* screen = o.window->screen()) o.window->setGeometry(screen->availableGeometry());
    o.window->showMaximized();
  }
  o.client->setFocus();
  o.window->activateWindow();
  // A hidden client area gets no size notification: take its size now.
  client_resized(o.client->width(), o.client->height(), false);

  // Both images start as the background; the picture is empty.
  fill_surfaces();
  w.bitmap_valid = true;
  w.surface_stale = false;
  w.graphics_mode = false;
  w.crosshair_mode = false;
  w.text_cursor_mode = false;
  w.caret_shown = true;
  if (plot_buffer().block.empty()) ALLOCATE_PLOT_BUFFER();
  START_NEW_PICTURE();
  forget_pen_and_brush();
  colour_state().pen_width = settings().window_pen_width;
  set_picture_commands_enabled(false);
  update_option_checks();
  apply_cursor();
  repaint_client_area();
  return 1;
}

QMainWindow* main_window() { return objects().window.get(); }

QWidget* client_area() { return objects().client; }

QAction* menu_action(int id) {
  const auto it = objects().actions.find(id);
  return it == objects().actions.end() ? nullptr : it->second;
}

void update_client_area(const QRect& area) {
  if (QWidget* c = client_area()) {
    if (area.isNull())
      c->update();
    else
      c->update(area);
  }
}

void repaint_client_area() {
  if (QWidget* c = client_area()) c->repaint();
}

void close_window() {
  if (QMainWindow* m = main_window()) m->close();
}

bool resize_client_area(int width, int height) {
  WindowObjects& o = objects();
  if (!o.window) return false;
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (o.window->isMaximized() || o.window->isFullScreen()) o.window->showNormal();
  o.window->layout()->activate();
  const QSize frame = o.window->size() - o.client->size();
  o.window->resize(frame.width() + width, frame.height() + height);
  // A window system may refuse the size; the client area follows what it got.
  if (o.client->size() != QSize(width, height)) o.client->resize(width, height);
  return true;
}

void FIT_CLIENT_640() {
  WindowObjects& o = objects();
  if (!o.window) return;
  const WindowState& w = window_state();
  const QPoint position = o.window->pos();
  if (o.window->isMaximized()) o.window->showNormal();
  o.window->resize(o.window->width() - w.bitmap_width + 640, o.window->height() - w.bitmap_height + 480);
  o.window->move(position);
  repaint_client_area();
}

void apply_cursor() {
  WindowObjects& o = objects();
  if (!o.client) return;
  const WindowState& w = window_state();
  if (w.crosshair_mode) {
    // Made when first wanted, as it is an image too.
    if (o.crosshair.shape() != Qt::BitmapCursor) o.crosshair = QCursor(QPixmap(":/kesto/crosshair.xpm"), 15, 15);
    o.client->setCursor(o.crosshair);
  } else if (w.text_cursor_mode)
    o.client->setCursor(Qt::IBeamCursor);
  else
    o.client->setCursor(Qt::ArrowCursor);
}

void destroy_window() {
  WindowObjects& o = objects();
  set_picture_saver(nullptr);
  o.actions.clear();
  o.client = nullptr;
  o.window.reset();
  window_state().window_open = false;
}

void client_resized(int width, int height, bool minimised) {
  WindowState& w = window_state();
  w.client_width = clamp16(width);
  w.client_height = clamp16(height);
  if (minimised) return;  // a minimised window keeps its bitmap
  if (w.client_width > 0 && w.client_height > 0 &&
      (w.client_width != w.bitmap_width || w.client_height != w.bitmap_height)) {
    w.bitmap_width = w.client_width;
    w.bitmap_height = w.client_height;
    reset_surfaces();
    w.bitmap_valid = false;
    w.surface_stale = true;
  }
  update_page_mapping();
  lay_out_text(w.client_width, w.client_height);
}

}  // namespace kesto::shell
