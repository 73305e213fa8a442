#include "textui/file_chooser.h"

#include <algorithm>
#include <vector>

#include "common/fixed_text.h"
#include "shell/window/events.h"
#include "textui/actions.h"
#include "textui/messages.h"
#include "textui/pick_list.h"
#include "textui/text_screen.h"

namespace kesto::textui {
namespace {

constexpr std::int16_t kTop = 3;
constexpr std::int16_t kLeft = 20;
constexpr std::int16_t kItemWidth = 17;
constexpr std::int32_t kOnePage = 20;  // names shown at once
constexpr const char* kNone = "NONE OF THE ABOVE";
constexpr const char* kMore = "SHOW MORE NAMES  ";

void write_row(std::int16_t row, std::int16_t column, const std::string& text, std::int16_t width,
               std::int16_t attribute = ATTR_NORMAL) {
  SET_CURSOR(row, column);
  PUT_TEXT(common::pad(text, static_cast<std::size_t>(width)), width, attribute);
}

// A page that tells why no list is shown (rows 5 and 7; row 7 may be
// empty) and waits for a key.
void key_page(const std::string& row5, const std::string& row7) {
  CLEAR_SCREEN();
  write_row(5, 1, row5, 80);
  if (!row7.empty()) write_row(7, 1, row7, 80);
  write_row(9, 1, "TYPE ANY KEY TO CONTINUE....", 80);
  WAIT_KEY();
}

// The heading and help of the chooser, then the list.
void offer(const char* heading, const NameList& list, std::string& file_name) {
  write_row(2, 1, heading, static_cast<std::int16_t>(std::string(heading).size()));
  write_row(2, 55, "CHOOSE A FILE NAME:", 19, ATTR_REVERSE);
  const std::pair<std::int16_t, const char*> help[] = {
      {4, "MOUSE:"},      {5, "   RIGHT BUTTON: CHOOSE"}, {6, "   LEFT  BUTTON: FINISH"},
      {8, "ARROW KEYS:"}, {9, "   ENTER: CHOOSE"},        {10, "   ESCAPE: FINISH"},
  };
  for (const auto& [row, text] : help) write_row(row, 55, text, 25);
  CHOOSE_FROM_LIST(list, file_name);
}

constexpr const char* kNoMatch = "SORRY, THERE ARE NO FILES";
constexpr const char* kNoMatchMore = "WHICH MATCH THE GIVEN FILE NAME.";

// The chooser over the names found, or the page that says none was.
void page_for(const NameList& list, const char* heading, const std::string& row5, const std::string& row7,
              std::string& file_name) {
  if (list.count() > 0) {
    offer(heading, list, file_name);
    return;
  }
  key_page(row5, row7);
  file_name = std::string(14, ' ');
}

// The by-name pages need a name to compare; false (after telling the user)
// when the given one is blank.
bool have_a_name(const std::string& text) {
  if (common::trimmed_length(std::string_view(text).substr(0, std::min<std::size_t>(14, text.size()))) > 0) return true;
  key_page("PLEASE TYPE A FILE NAME THAT CAN BE COMPARED", "WITH THE FILE NAMES IN YOUR DIRECTORY.");
  return false;
}

}  // namespace

void CHOOSE_FROM_LIST(const NameList& list, std::string& file_name) {
  file_name = std::string(14, ' ');
  const std::int32_t n = list.count();
  std::int32_t skipped = 0;  // names before the first one shown
  for (;;) {
    // The items of this page: names, then "NONE OF THE ABOVE" and, for a
    // long list, "SHOW MORE NAMES".
    std::vector<std::string> items;
    const std::int32_t shown = n <= kOnePage ? n : std::min(n - skipped, kOnePage);
    const std::int32_t first = n <= kOnePage ? 0 : skipped;
    for (std::int32_t k = 0; k < shown; ++k)
      items.push_back(common::pad(list.names[static_cast<std::size_t>(first + k)], kItemWidth));
    const std::int16_t none_item = static_cast<std::int16_t>(items.size() + 1);
    items.push_back(kNone);
    std::int16_t more_item = 0;
    if (n > kOnePage) {
      more_item = static_cast<std::int16_t>(items.size() + 1);
      items.push_back(kMore);
      for (std::int16_t row = 3; row <= 25; ++row) write_row(row, kLeft, "", kItemWidth);
    }

    std::int16_t current = 1, marked = 0, action = 0, choice = 0;
    while (choice == 0) {
      PICK_LIST(PICK_DRAW | PICK_WAIT, kTop, kLeft, items, kItemWidth, current, marked, action);
      if (action == ACTION_QUIT) INTERRUPT_STOP();
      if ((action == shell::KEY_ENTER || action == -2) && current > 0)
        marked = current;
      else if ((action == shell::KEY_ESCAPE || action == -1) && current > 0)
        choice = current;
    }
    if (choice == more_item) {
      skipped += 10;
      if (skipped > n - 10) skipped = 0;
      continue;
    }
    if (choice != none_item) file_name = items[static_cast<std::size_t>(choice - 1)].substr(0, 14);
    return;
  }
}

void CHOOSE_BY_EXTENSION(const std::string& directory, std::string& file_name, const std::string& extension) {
  NameList list;
  LIST_BY_EXTENSION(directory, extension, list);
  page_for(list,
           "FILE NAMES IN YOUR DIRECTORY:", "SORRY, THERE ARE NO FILES WITH EXTENSION ." + common::pad(extension, 3),
           "", file_name);
}

void CHOOSE_BY_EXTENSION_HERE(const std::string& extension, std::string& file_name) {
  NameList list;
  LIST_BY_EXTENSION_HERE(extension, list);
  page_for(list, "FILE NAMES FOUND IN YOUR DIRECTORY:", "SORRY, NO FILES WITH EXTENSION ." + common::pad(extension, 3),
           "WERE FOUND.", file_name);
}

void CHOOSE_BY_NAME(const std::string& path, std::string& file_name) {
  if (!have_a_name(path)) return;
  NameList list;
  LIST_BY_NAME(path, list);
  page_for(list, "FILE NAMES IN YOUR DIRECTORY:", kNoMatch, kNoMatchMore, file_name);
}

void CHOOSE_BY_NAME_HERE(const std::string& name, std::string& file_name) {
  if (!have_a_name(name)) return;
  NameList list;
  LIST_BY_NAME_HERE(name, list);
  page_for(list, "FILE NAMES IN YOUR DIRECTORY:", kNoMatch, kNoMatchMore, file_name);
}

}  // namespace kesto::textui
