// Line menus and function-key waits: up to ten lines whose labels name
// function keys, chosen by pressing the key or clicking the line, and the
// key bar of rows 23 to 25 (ten slots of 8 columns, one per function key).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kesto::textui {

// Entry k (1-based, k = 1..10) holds the screen row of the label of function
// key k (or of menu line k), 0 when there is none.
using MenuRowTable = std::array<std::int32_t, 10>;
MenuRowTable& menu_row_table();

// What LIST_MENU shows: ten lines of 80 characters (blank ones are left out),
// the row of the first line (0 to 25) and the step between the rows.
struct ListMenuState {
  std::array<std::string, 10> lines;
  std::int32_t first_row = 1;
  std::int32_t row_step = 2;
  ListMenuState() { lines.fill(std::string(80, ' ')); }
};
ListMenuState& list_menu_state();

// Writes the menu's non-blank lines, fills the menu row table and waits for
// a choice. A first row outside 0..25, a line below row 25 or no line at all
// ends the run with its error page.
void LIST_MENU(std::int16_t& action);

// Waits for F1..F10 (action 1..10) or a click on a row of the menu row table
// (the lowest k of that row); with an empty table any click gives 1000. Other
// keys and clicks are ignored; a closed window gives -11.
void WAIT_CHOICE(std::int16_t& action);

// Waits for a function key or a click anywhere; a click on the key bar of
// rows 23 to 25 becomes the key of its slot.
void KEY_BAR_CHOICE(std::int16_t& action);

// Action 1000 from a click below row 22 becomes the smallest k with
// k * 8 >= the clicked column.
void KEY_BAR_MAP(std::int16_t& action);

// Action 1000 becomes the first k whose table entry is the clicked row, or 0.
void ROW_TO_KEY(std::int16_t& action, const MenuRowTable& table);

}  // namespace kesto::textui
