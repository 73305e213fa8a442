#include "shell/window/menu_commands.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QTextStream>

#include "shell/output/clipboard.h"
#include "shell/output/emf_writer.h"
#include "shell/output/eps_writer.h"
#include "shell/output/printing.h"
#include "shell/output/tiff_writer.h"
#include "shell/output/wmf_writer.h"
#include "shell/window/main_window.h"
#include "shell/settings/message_box.h"
#include "shell/settings/page_setup_dialog.h"
#include "shell/settings/pen_width_dialog.h"
#include "shell/settings/settings.h"
#include "shell/window/surfaces.h"
#include "shell/window/window_state.h"

namespace kesto::shell {
namespace {

std::map<int, MenuCommandHandler>& handlers() {
  static std::map<int, MenuCommandHandler> h;
  return h;
}

struct Held {
  bool holding = false;
  std::vector<int> ids;
};

Held& held() {
  static Held h;
  return h;
}

// A colour or background change: the picture must be drawn again.
void picture_options_changed() {
  WindowState& w = window_state();
  w.bitmap_valid = false;
  w.surface_stale = true;
  update_option_checks();
  update_client_area();
}

void toggle_colour() {
  Settings& s = settings();
  s.ColorWindow = s.ColorWindow ? 0 : 1;
  picture_options_changed();
}

void toggle_background() {
  Settings& s = settings();
  s.BlackBG = s.BlackBG ? 0 : 1;
  fill_surfaces();
  picture_options_changed();
}

// A menu that closes, by Escape too, hands the keyboard back to the client
// area instead of leaving the menu bar waiting for a mnemonic: the keys that
// follow go to the program. It looks once the closing is over, so that a
// menu the arrow keys open in its place keeps the keyboard.
void keyboard_back_to_client() {
  QWidget* client = client_area();
  if (!client) return;
  QMetaObject::invokeMethod(
      client,
      [] {
        if (QApplication::activePopupWidget()) return;
        if (QWidget* c = client_area()) c->setFocus(Qt::OtherFocusReason);
      },
      Qt::QueuedConnection);
}

}  // namespace

std::map<int, QAction*> build_menu_bar(QMainWindow& window) {
  std::map<int, QAction*> actions;
  QFile file(":/kesto/orvmenu.menu");
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return actions;
  QMenuBar* bar = window.menuBar();
  QMenuBar* right = nullptr;
  QMenu* menu = nullptr;
  QTextStream in(&file);
  while (!in.atEnd()) {
    const QString line = in.readLine().trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    const QString verb = line.section(' ', 0, 0);
    if (verb == "popup") {
      menu = bar->addMenu(line.section(' ', 1));
      QObject::connect(menu, &QMenu::aboutToHide, keyboard_back_to_client);
    } else if (verb == "popup-right") {
      // Help sits at the right end of the bar.
      if (!right) {
        right = new QMenuBar(bar);
        bar->setCornerWidget(right, Qt::TopRightCorner);
      }
      menu = right->addMenu(line.section(' ', 1));
      QObject::connect(menu, &QMenu::aboutToHide, keyboard_back_to_client);
    } else if (verb == "end") {
      menu = nullptr;
    } else if (verb == "item" || verb == "command") {
      const int id = line.section(' ', 1, 1).toInt();
      const QString state = line.section(' ', 2, 2);
      const QString text = line.section(' ', 3);
      QAction* action = verb == "item" && menu ? menu->addAction(text) : bar->addAction(text);
      action->setObjectName(QString::number(id));
      action->setData(id);
      if (state == "greyed") action->setEnabled(false);
      if (state == "checked") {
        action->setCheckable(true);
        action->setChecked(true);
      }
      QObject::connect(action, &QAction::triggered, [id] { run_menu_command(id); });
      actions[id] = action;
    }
  }
  return actions;
}

HoldMenuCommands::HoldMenuCommands() : was_holding_(held().holding) { held().holding = true; }

HoldMenuCommands::~HoldMenuCommands() { held().holding = was_holding_; }

bool acts_while_computing(int id) { return id == CMD_EXIT; }

const std::vector<int>& held_menu_commands() { return held().ids; }

bool run_held_menu_commands() {
  if (held().ids.empty()) return false;
  const std::vector<int> ids = std::move(held().ids);
  held().ids.clear();
  for (const int id : ids) run_menu_command(id);
  return true;
}

void forget_held_menu_commands() { held().ids.clear(); }

void run_menu_command(int id) {
  if (held().holding && !acts_while_computing(id)) {
    held().ids.push_back(id);
    return;
  }
  const auto h = handlers().find(id);
  if (h != handlers().end() && h->second) {
    h->second();
    return;
  }
  switch (id) {
    case CMD_PAGE_SETUP: PAGE_SETUP_DIALOG(); break;
    case CMD_PRINTER_SETUP: PRINTER_SETUP(); break;
    case CMD_PRINT: PRINT_WITH_DIALOG(); break;
    case CMD_EXIT: close_window(); break;
    case CMD_COPY: COPY_PICTURE(); break;
    case CMD_PRINT_NOW: PRINT_NOW(); break;
    case CMD_COLOR: toggle_colour(); break;
    case CMD_BLACK_BACKGROUND: toggle_background(); break;
    case CMD_PEN_WIDTH: PEN_WIDTH_DIALOG(); break;
    case CMD_ABOUT: SHOW_MESSAGE("The \"About\" box is not implemented"); break;
    case CMD_WRITE_EPS: WRITE_EPS(); break;
    case CMD_WRITE_TIF: WRITE_TIFF(); break;
    case CMD_WRITE_WMF: WRITE_WMF(); break;
    case CMD_WRITE_EMF: WRITE_EMF(); break;
    default: break;
  }
}

void set_menu_command_handler(int id, MenuCommandHandler handler) { handlers()[id] = handler; }

bool greyed_for_good(int id) { return id == CMD_WRITE_EPS || id == CMD_WRITE_WMF; }

void set_picture_commands_enabled(bool enabled) {
  window_state().picture_commands_enabled = enabled;
  for (int id : {CMD_PRINTER_SETUP, CMD_PRINT, CMD_PRINT_NOW, CMD_WRITE_TIF, CMD_WRITE_EMF})
    if (QAction* a = menu_action(id)) a->setEnabled(enabled);
}

void update_option_checks() {
  if (QAction* a = menu_action(CMD_COLOR)) a->setChecked(settings().ColorWindow != 0);
  if (QAction* a = menu_action(CMD_BLACK_BACKGROUND)) a->setChecked(settings().BlackBG != 0);
}

}  // namespace kesto::shell
