#include "textui/menu_choice.h"

#include "common/fixed_text.h"
#include "shell/window/events.h"
#include "textui/actions.h"
#include "textui/menu_input.h"
#include "textui/messages.h"
#include "textui/text_screen.h"

namespace kesto::textui {
namespace {

[[noreturn]] void menu_error(const char* text) {
  set_message(text);
  NOTICE_PAGE();
  FATAL_STOP();
}

// The first k (1-based) whose table entry is `row`, 0 when none is.
std::int16_t key_of_row(const MenuRowTable& table, std::int32_t row) {
  for (std::size_t k = 0; k < table.size(); ++k)
    if (table[k] != 0 && table[k] == row) return static_cast<std::int16_t>(k + 1);
  return 0;
}

}  // namespace

MenuRowTable& menu_row_table() {
  static MenuRowTable t{};
  return t;
}

ListMenuState& list_menu_state() {
  static ListMenuState s;
  return s;
}

void LIST_MENU(std::int16_t& action) {
  const ListMenuState& s = list_menu_state();
  MenuRowTable& table = menu_row_table();
  if (s.first_row < 0 || s.first_row > 25) menu_error("ERROR #3 IN LIST_MENU");
  std::int32_t row = s.first_row;
  bool any = false;
  for (std::size_t k = 0; k < 10; ++k) {
    table[k] = 0;
    if (common::trimmed_length(s.lines[k]) == 0) continue;
    if (any) row += s.row_step;
    any = true;
    // Rows beyond the screen are not drawn (the check below ends the run).
    if (row >= 1 && row <= 25) {
      SET_CURSOR(static_cast<std::int16_t>(row), 1);
      WRITE_NORMAL(s.lines[k], 80);
    }
    table[k] = row;
  }
  for (std::int32_t r : table)
    if (r > 25) menu_error("FATAL ERROR #1 IN SUB. LIST_MENU");
  if (!any) menu_error("FATAL ERROR #2 IN SUB. LIST_MENU");
  WAIT_CHOICE(action);
}

void WAIT_CHOICE(std::int16_t& action) {
  const AutomaticAnswer automatic(shell::KEY_F10);
  const MenuRowTable& table = menu_row_table();
  shell::EventRecord e;
  for (;;) {
    shell::WAIT_EVENT(e);
    if (e.type == shell::EVENT_QUIT) {
      action = ACTION_QUIT;
      return;
    }
    if (e.type == shell::EVENT_KEY && e.key >= shell::KEY_F1 && e.key <= shell::KEY_F10) {
      action = static_cast<std::int16_t>(e.key - shell::KEY_F1 + 1);
      return;
    }
    if (e.type != shell::EVENT_PRESS) continue;
    remember_click(e.x, e.y);
    bool empty = true;
    for (std::int32_t r : table) empty = empty && r == 0;
    if (empty) {
      action = ACTION_CLICK;
      return;
    }
    if (const std::int16_t k = key_of_row(table, last_click().row); k != 0) {
      action = k;
      return;
    }
  }
}

void KEY_BAR_CHOICE(std::int16_t& action) {
  menu_row_table().fill(0);
  WAIT_CHOICE(action);
  KEY_BAR_MAP(action);
}

void KEY_BAR_MAP(std::int16_t& action) {
  if (action != ACTION_CLICK || last_click().row <= 22) return;
  for (std::int16_t k = 1; k <= 10; ++k) {
    if (k * 8 >= last_click().column) {
      action = k;
      return;
    }
  }
}

void ROW_TO_KEY(std::int16_t& action, const MenuRowTable& table) {
  if (action == ACTION_CLICK) action = key_of_row(table, last_click().row);
}

}  // namespace kesto::textui
