#include "shell/script/script_player.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <algorithm>
#include <iostream>

#include "shell/window/events.h"
#include "shell/window/key_mapping.h"
#include "shell/window/main_window.h"
#include "shell/window/menu_commands.h"
#include "shell/window/page_mapping.h"
#include "shell/script/script.h"
#include "shell/window/text_grid.h"

namespace kesto::shell {
namespace {

// Client pixel of a scripted pointer position: a pixel, the centre of a text
// cell (row, column), or a page point.
void step_position(const ScriptStep& s, std::int16_t& x, std::int16_t& y) {
  auto to16 = [](double v) { return static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0)); };
  if (s.where == ScriptStep::Where::cell) {
    const TextLayout& l = text_layout();
    x = to16((s.y - 1) * l.cell_width + l.x_origin + l.cell_width / 2);
    y = to16((s.x - 1) * l.line_height + l.y_origin + l.line_height / 2);
  } else if (s.where == ScriptStep::Where::page) {
    TO_DEVICE(to16(s.x), to16(s.y), x, y);
  } else {
    x = to16(s.x);
    y = to16(s.y);
  }
}

Qt::MouseButtons held_buttons(int mask) {
  Qt::MouseButtons b = Qt::NoButton;
  if (mask & 1) b |= Qt::LeftButton;
  if (mask & 2) b |= Qt::RightButton;
  return b;
}

void key_through_window(QWidget& client, const ScriptStep& s) {
  QtKeyPress k;
  if (!qt_key_for(s.key_name, s.key_code, k)) {
    // No key of a keyboard types this code: it goes straight to the program.
    EventRecord e;
    e.type = EVENT_KEY;
    e.key = s.key_code;
    push_input(e);
    return;
  }
  QKeyEvent press(QEvent::KeyPress, k.key, k.modifiers, k.text);
  QCoreApplication::sendEvent(&client, &press);
  QKeyEvent release(QEvent::KeyRelease, k.key, k.modifiers, k.text);
  QCoreApplication::sendEvent(&client, &release);
}

void pointer_through_window(QWidget& client, const ScriptStep& s, std::int16_t x, std::int16_t y) {
  const QPointF local(x, y);
  const QPointF global = client.mapToGlobal(local);
  const Qt::MouseButton button = s.button == 2 ? Qt::RightButton : Qt::LeftButton;
  if (s.kind == ScriptStep::Kind::press) {
    QMouseEvent e(QEvent::MouseButtonPress, local, global, button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(&client, &e);
  } else if (s.kind == ScriptStep::Kind::release) {
    QMouseEvent e(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&client, &e);
  } else {
    QMouseEvent e(QEvent::MouseMove, local, global, Qt::NoButton, held_buttons(s.button), Qt::NoModifier);
    QCoreApplication::sendEvent(&client, &e);
  }
}

// The user picks a menu item: an item greyed for the moment does nothing; a
// command without an item (printer set-up), or one whose item is greyed for
// good (Write EPS, Write WMF), is sent to the window directly.
void menu_through_window(const ScriptStep& s) {
  QAction* a = menu_action(s.id);
  if (a && !(greyed_for_good(s.id) && !a->isEnabled())) {
    if (a->isEnabled())
      a->trigger();
    else
      std::cerr << "kesto: script line " << s.line << ": menu item " << s.id << " is greyed; nothing happens\n";
    return;
  }
  run_menu_command(s.id);
}

}  // namespace

bool play_next_script_step() {
  Script& sc = script();
  const ScriptStep* s = sc.peek();
  if (!s) return false;
  ++sc.next;
  QWidget* client = client_area();
  EventRecord e;
  switch (s->kind) {
    case ScriptStep::Kind::key:
      if (client) {
        key_through_window(*client, *s);
      } else if (s->key_code != 0) {
        e.type = EVENT_KEY;
        e.key = s->key_code;
        push_input(e);
      }
      break;
    case ScriptStep::Kind::press:
    case ScriptStep::Kind::release:
    case ScriptStep::Kind::move: {
      std::int16_t x = 0, y = 0;
      step_position(*s, x, y);
      if (client) {
        pointer_through_window(*client, *s, x, y);
      } else {
        e.type = s->kind == ScriptStep::Kind::press     ? EVENT_PRESS
                 : s->kind == ScriptStep::Kind::release ? EVENT_RELEASE
                                                        : EVENT_MOVE;
        e.button = s->button;
        e.x = x;
        e.y = y;
        push_input(e);
      }
      break;
    }
    case ScriptStep::Kind::close:
      if (client) {
        close_window();
      } else {
        e.type = EVENT_QUIT;
        push_input(e);
      }
      break;
    case ScriptStep::Kind::menu:
      if (client)
        menu_through_window(*s);
      else
        std::cerr << "kesto: script line " << s->line << ": there is no window for the menu command; skipped\n";
      break;
    case ScriptStep::Kind::resize:
      if (!resize_client_area(static_cast<int>(s->x), static_cast<int>(s->y)))
        std::cerr << "kesto: script line " << s->line << ": there is no window to resize; skipped\n";
      break;
    default: std::cerr << "kesto: script line " << s->line << " has no box or dialog to answer; skipped\n"; break;
  }
  return true;
}

}  // namespace kesto::shell
