#include "textui/pick_list.h"

#include <cstdlib>

#include "common/fixed_text.h"
#include "shell/window/events.h"
#include "shell/window/text_grid.h"
#include "textui/actions.h"
#include "textui/menu_input.h"
#include "textui/text_screen.h"

namespace kesto::textui {

void PICK_LIST(std::int16_t mode, std::int16_t top, std::int16_t left, const std::vector<std::string>& items,
               std::int16_t width, std::int16_t& current, std::int16_t marked, std::int16_t& action) {
  const std::int16_t count = static_cast<std::int16_t>(items.size());
  auto row_of = [&](std::int16_t k) { return static_cast<std::int16_t>(top + k - 1); };
  auto draw = [&](std::int16_t k) {
    SET_CURSOR(row_of(k), left);
    PUT_TEXT(common::pad(items[static_cast<std::size_t>(k - 1)], static_cast<std::size_t>(width)), width,
             k == marked ? ATTR_REVERSE : ATTR_NORMAL);
  };
  if (mode & PICK_DRAW)
    for (std::int16_t k = 1; k <= count; ++k) draw(k);
  if (!(mode & PICK_WAIT) || count == 0) return;

  const AutomaticAnswer automatic(shell::KEY_ESCAPE);
  current = static_cast<std::int16_t>(std::abs(current));
  if (current < 1 || current > count) current = 1;
  shell::SET_TEXT_CURSOR(1);
  SET_CURSOR(row_of(current), left);
  shell::EventRecord e;
  for (;;) {
    shell::WAIT_EVENT(e);
    if (e.type == shell::EVENT_KEY) {
      if (e.key == shell::KEY_DOWN || e.key == shell::KEY_UP) {
        const std::int16_t left_item = current;
        if (e.key == shell::KEY_DOWN)
          current = current >= count ? 1 : static_cast<std::int16_t>(current + 1);
        else
          current = current <= 1 ? count : static_cast<std::int16_t>(current - 1);
        draw(left_item);
        draw(current);
        SET_CURSOR(row_of(current), left);
        continue;
      }
      action = e.key >= 'A' && e.key <= 'Z' ? static_cast<std::int16_t>(e.key - 'A' + 'a') : e.key;
      break;
    }
    if (e.type == shell::EVENT_PRESS) {
      remember_click(e.x, e.y);
      const ClickedCell& c = last_click();
      const bool on_item = c.row >= top && c.row <= row_of(count) && c.column >= left && c.column <= left + width - 1;
      if (on_item)
        current = static_cast<std::int16_t>(c.row - top + 1);
      else
        current = static_cast<std::int16_t>(-current);
      action = e.button == 2 ? -2 : -1;
      break;
    }
    if (e.type == shell::EVENT_RELEASE) {
      action = 0;
      break;
    }
    if (e.type == shell::EVENT_QUIT) {
      action = ACTION_QUIT;
      break;
    }
  }
  shell::SET_TEXT_CURSOR(0);
  SET_CURSOR(row_of(static_cast<std::int16_t>(std::abs(current))), left);
}

}  // namespace kesto::textui
