#include "textui/forms.h"

#include <algorithm>
#include <cstdlib>

#include "shell/window/events.h"
#include "shell/window/text_grid.h"
#include "textui/actions.h"
#include "textui/field_values.h"
#include "textui/menu_input.h"
#include "textui/text_screen.h"

namespace kesto::textui {
namespace {

const FormField& field(const Form& f, int i) { return f.fields[static_cast<std::size_t>(i - 1)]; }
FormField& field(Form& f, int i) { return f.fields[static_cast<std::size_t>(i - 1)]; }
int field_count(const Form& f) { return static_cast<int>(f.fields.size()); }

bool editable(const Form& f, int i) { return i >= 1 && i <= field_count(f) && field(f, i).protect == 0; }

bool numeric(char kind) { return kind == 'I' || kind == 'F' || kind == 'G' || kind == 'E' || kind == 'P'; }

// The storage holds every field's text, however the caller sized it.
void make_room(Form& f) {
  std::size_t needed = 0;
  for (const FormField& fld : f.fields)
    needed = std::max<std::size_t>(needed, static_cast<std::size_t>(fld.offset - 1 + fld.width));
  if (f.storage.size() < needed) f.storage.resize(needed, ' ');
}

void store_text(Form& f, int i, const std::string& text) {
  const FormField& fld = field(f, i);
  f.storage.replace(static_cast<std::size_t>(fld.offset - 1), static_cast<std::size_t>(fld.width), text);
}

// The field's text regenerated from its value (numeric kinds).
std::string value_text(const Form& f, int i) {
  const FormField& fld = field(f, i);
  return FORMAT_FIELD(field_kind(f, i), field_decimals(f, i), fld.width, fld.integer_value, fld.real_value);
}

// Position of the first non-blank character; the last position when blank.
std::int16_t first_typed_position(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  return static_cast<std::int16_t>(first == std::string::npos ? text.size() : first + 1);
}

// The field under the text cell, 0 if none.
int field_at(const Form& f, std::int16_t row, std::int16_t column) {
  for (int i = 1; i <= field_count(f); ++i) {
    const FormField& fld = field(f, i);
    if (fld.row == row && column >= fld.column && column <= fld.column + fld.width - 1) return i;
  }
  return 0;
}

// A key that puts a character into a field: printable ASCII and the printable
// Latin-1 characters. Control codes (Escape, Ctrl and a letter, Delete), the
// codes of F1 to F12 and the cursor keys store nothing.
bool types_a_character(std::int16_t k) { return (k >= 32 && k <= 126) || (k >= 160 && k <= 255); }

void place_caret(const FormField& fld, std::int16_t p) {
  SET_CURSOR(fld.row, static_cast<std::int16_t>(fld.column + p - 1));
}

// Stores a changed numeric text as the field's value. False when it does not
// read in the field's kind.
bool take_value(Form& f, int i, const std::string& text) {
  FormField& fld = field(f, i);
  if (field_kind(f, i) == 'I') return PARSE_INT(text, fld.integer_value);
  return PARSE_REAL(text, fld.real_value);
}

}  // namespace

char field_kind(const Form& f, int i) {
  const std::size_t at = static_cast<std::size_t>(2 * (field(f, i).format_index - 1));
  return at < f.format.size() ? f.format[at] : 'A';
}

int field_decimals(const Form& f, int i) {
  const std::size_t at = static_cast<std::size_t>(2 * (field(f, i).format_index - 1) + 1);
  const char d = at < f.format.size() ? f.format[at] : ' ';
  return d >= '0' && d <= '9' ? d - '0' : 0;
}

std::string field_text(const Form& f, int i) {
  const FormField& fld = field(f, i);
  std::string text = f.storage.substr(static_cast<std::size_t>(fld.offset - 1), static_cast<std::size_t>(fld.width));
  text.resize(static_cast<std::size_t>(fld.width), ' ');
  return text;
}

void SHOW_FIELD(const Form& f, int i, std::string_view text) {
  const FormField& fld = field(f, i);
  SET_CURSOR(fld.row, fld.column);
  if (fld.highlight != 0) {
    PUT_TEXT(text, fld.width, ATTR_REVERSE);
  } else if (fld.protect != 0) {
    PUT_TEXT(text, fld.width, ATTR_NORMAL);
  } else {
    PUT_TEXT(text, 1, ATTR_REVERSE);
    if (fld.width > 1) PUT_TEXT(text.substr(1), static_cast<std::int16_t>(fld.width - 1), ATTR_NORMAL);
  }
}

void FIELD_EDIT(Form& f, int i, std::string& text, std::int16_t p, std::int16_t& action) {
  const AutomaticAnswer automatic(shell::KEY_F10);
  const FormField& fld = field(f, i);
  const std::int16_t w = fld.width;
  auto draw_at = [&](std::int16_t q) {
    SET_CURSOR(fld.row, static_cast<std::int16_t>(fld.column + q - 1));
    const std::int16_t attribute = fld.highlight != 0 || q == 1 ? ATTR_REVERSE : ATTR_NORMAL;
    PUT_TEXT(std::string_view(text).substr(static_cast<std::size_t>(q - 1), 1), 1, attribute);
  };
  place_caret(fld, p);
  shell::EventRecord e;
  for (;;) {
    shell::WAIT_EVENT(e);
    if (e.type == shell::EVENT_MOVE) {
      std::int16_t row = 0, column = 0;
      cell_at(e.x, e.y, row, column);
      shell::SET_TEXT_CURSOR(field_at(f, row, column) != 0 ? 1 : 0);
      continue;
    }
    if (e.type == shell::EVENT_PRESS) {
      remember_click(e.x, e.y);
      action = static_cast<std::int16_t>(ACTION_CLICK + field_at(f, last_click().row, last_click().column));
      return;
    }
    if (e.type == shell::EVENT_QUIT) {
      action = ACTION_QUIT;
      return;
    }
    if (e.type != shell::EVENT_KEY) continue;
    const std::int16_t k = e.key;
    switch (k) {
      case shell::KEY_ENTER: action = ACTION_ENTER; return;
      case 9: action = ACTION_NEXT; return;
      case '|': action = ACTION_BAR; return;
      case shell::KEY_UP: action = ACTION_UP; return;
      case shell::KEY_DOWN: action = ACTION_DOWN; return;
      case shell::KEY_RIGHT:
        if (p > w) {
          action = ACTION_RIGHT;
          return;
        }
        place_caret(fld, ++p);
        continue;
      case shell::KEY_LEFT:
        if (p <= 1) {
          action = ACTION_LEFT;
          return;
        }
        place_caret(fld, --p);
        continue;
      case shell::KEY_BACKSPACE:
        if (p > 1) {
          --p;
          text[static_cast<std::size_t>(p - 1)] = ' ';
          draw_at(p);
          place_caret(fld, p);
        }
        continue;
      default: break;
    }
    if (k >= shell::KEY_F1 && k <= shell::KEY_F10) {
      action = static_cast<std::int16_t>(k - shell::KEY_F1 + 1);
      return;
    }
    if (!types_a_character(k)) continue;  // Escape, control codes, F11, F12
    const char c = static_cast<char>(k);
    if (p <= w) {
      text[static_cast<std::size_t>(p - 1)] = c;
      draw_at(p);
      ++p;
    } else {
      // The field is full: its text moves left to make room at the end.
      text.erase(0, 1);
      text.push_back(c);
      SHOW_FIELD(f, i, text);
    }
    place_caret(fld, p);
  }
}

void FIELD_NAV(const Form& f, std::int16_t& current, std::int16_t action) {
  const int n = field_count(f);
  if (action > ACTION_CLICK && action <= ACTION_CLICK + n) {
    if (editable(f, action - ACTION_CLICK)) current = static_cast<std::int16_t>(action - ACTION_CLICK);
    return;
  }
  const bool forward = action == ACTION_NEXT || action == ACTION_DOWN || action == ACTION_RIGHT;
  const bool backward = action == ACTION_UP || action == ACTION_LEFT;
  if ((!forward && !backward) || current < 1 || current > n) return;
  const FormField& from = field(f, current);
  auto position = [&](int i) { return field(f, i).row * 80 + field(f, i).column; };
  const int here = position(current);
  const bool other_row = action == ACTION_UP || action == ACTION_DOWN;
  int chosen = 0;
  for (int i = 1; i <= n; ++i) {
    if (!editable(f, i)) continue;
    const int pos = position(i);
    if (other_row && field(f, i).row == from.row) continue;
    if (forward && pos > here && pos < 2001 && (chosen == 0 || pos < position(chosen))) chosen = i;
    if (backward && pos < here && (chosen == 0 || pos > position(chosen))) chosen = i;
  }
  if (chosen == 0) {
    // Wrap round: the first field of all going forward, the last going back.
    for (int i = 1; i <= n; ++i) {
      if (!editable(f, i)) continue;
      if (chosen == 0 || (forward ? position(i) < position(chosen) : position(i) > position(chosen))) chosen = i;
    }
  }
  if (chosen == 0) return;
  if (other_row) {
    // Up and down keep the column as well as they can.
    const int row = field(f, chosen).row;
    int best = chosen;
    for (int i = 1; i <= n; ++i) {
      if (!editable(f, i) || field(f, i).row != row) continue;
      if (std::abs(field(f, i).column - from.column) < std::abs(field(f, best).column - from.column)) best = i;
    }
    chosen = best;
  }
  current = static_cast<std::int16_t>(chosen);
}

void FORM_EDIT(Form& f) {
  const int n = field_count(f);
  make_room(f);
  // 1. Every field shown; numeric fields show their values.
  for (int i = 1; i <= n; ++i) {
    std::string text = field_text(f, i);
    if (numeric(field_kind(f, i))) text = value_text(f, i);
    SHOW_FIELD(f, i, text);
    store_text(f, i, text);
  }
  // 2. The field to start in.
  int first_editable = 0;
  for (int i = n; i >= 1; --i)
    if (editable(f, i)) first_editable = i;
  if (first_editable == 0) return;
  if (!editable(f, f.current)) f.current = static_cast<std::int16_t>(first_editable);

  std::int16_t start = 0;  // position a click asked for; 0: the first typed character
  for (;;) {
    // 3. Edit the current field.
    const int i = f.current;
    const std::string stored = field_text(f, i);
    std::string text = stored;
    FIELD_EDIT(f, i, text, start > 0 ? start : first_typed_position(text), f.action);
    start = 0;
    // 4. A changed value must read in the field's kind, or the edit is undone.
    if (text != stored && numeric(field_kind(f, i))) {
      if (take_value(f, i, text)) {
        text = value_text(f, i);
        SHOW_FIELD(f, i, text);
      } else {
        SHOW_FIELD(f, i, stored);
        if (f.action < 0) return;
        continue;
      }
    }
    // 5-7. Keep the text, leave on a closed window, move by the action.
    store_text(f, i, text);
    if (f.action < 0) return;
    FIELD_NAV(f, f.current, f.action);
    const std::int16_t a = f.action;
    if ((a >= ACTION_ENTER && a <= ACTION_F10) || a == ACTION_BAR) {
      place_caret(field(f, f.current), 1);
      shell::SET_TEXT_CURSOR(0);
      return;
    }
    if (a == ACTION_CLICK) {
      shell::SET_TEXT_CURSOR(0);
      return;
    }
    if (a > ACTION_CLICK && a <= ACTION_CLICK + n) {
      const int clicked = a - ACTION_CLICK;
      if (!editable(f, clicked)) {
        shell::SET_TEXT_CURSOR(0);
        return;
      }
      start = static_cast<std::int16_t>(last_click().column - field(f, clicked).column + 1);
    }
    // Moves between fields (and clicks into one) go on editing.
  }
}

void FORM_LOOP(Form& f) {
  // A form without an editable field returns at once, whatever the action.
  if (std::none_of(f.fields.begin(), f.fields.end(), [](const FormField& fld) { return fld.protect == 0; })) {
    FORM_EDIT(f);
    return;
  }
  for (;;) {
    FORM_EDIT(f);
    if (f.action != ACTION_ENTER) return;
    f.action = ACTION_NEXT;
    FIELD_NAV(f, f.current, f.action);
  }
}

}  // namespace kesto::textui
