// Forms driven by scripted keys and clicks; the automatic user presses F10
// once the script is used up.
#include <gtest/gtest.h>

#include "shell/window/text_grid.h"
#include "shell/window/window_state.h"
#include "support/run_capture.h"
#include "textui/actions.h"
#include "textui/forms.h"
#include "textui/text_screen.h"

using namespace kesto;
using namespace kesto::textui;

namespace {

FormField field_at(std::int16_t row, std::int16_t column, std::int16_t width, std::int16_t offset,
                   std::int16_t format_index = 1) {
  FormField f;
  f.row = row;
  f.column = column;
  f.width = width;
  f.offset = offset;
  f.format_index = format_index;
  return f;
}

// Three text fields of width 6: (5, 14), (5, 40) and (7, 14).
Form three_fields() {
  Form f;
  f.storage = std::string(18, ' ');
  f.fields = {field_at(5, 14, 6, 1), field_at(5, 40, 6, 7), field_at(7, 14, 6, 13)};
  return f;
}

Form edited(Form f, const std::string& script, bool loop = false) {
  kesto::testing::run_captured([&] { loop ? FORM_LOOP(f) : FORM_EDIT(f); }, script);
  return f;
}

std::string row_text(int row, int column, int width) {
  return shell::text_row(row).substr(static_cast<std::size_t>(column - 1), static_cast<std::size_t>(width));
}

int attribute(int row, int column) {
  return shell::text_grid().attrs[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)];
}

}  // namespace

TEST(FormEdit, TypingIntoABlankFieldStartsAtItsLastPositionAndShiftsLeft) {
  Form f;
  f.storage = std::string(14, ' ');
  f.fields = {field_at(7, 14, 14, 1)};
  f.fields[0].highlight = 1;
  f = edited(f, "text ABC\n");
  EXPECT_EQ(f.storage, "           ABC");
  EXPECT_EQ(f.action, ACTION_F10);
  EXPECT_EQ(row_text(7, 14, 14), "           ABC");
  EXPECT_EQ(attribute(7, 14), ATTR_REVERSE);
  EXPECT_EQ(attribute(7, 27), ATTR_REVERSE);
}

TEST(FormEdit, KeysMoveBetweenEditableFieldsOnly) {
  struct Case {
    const char* name;
    std::int16_t start;
    bool protect_middle;
    const char* script;
    const char* storage;  // where the typed Z landed
  };
  const Case cases[] = {
      {"tab skips a protected field", 1, true, "key Tab\ntext Z\n", "                 Z"},
      {"tab wraps to the first field", 3, false, "key Tab\ntext Z\n", "     Z            "},
      {"up keeps the column", 3, false, "key Up\ntext Z\n", "     Z            "},
      {"down from column 40", 2, false, "key Down\ntext Z\n", "                 Z"},
      {"right past the end", 1, false, "key Right\nkey Right\nkey Right\ntext Z\n", "           Z      "},
      {"left past the start", 2, false, "key Left\nkey Left\nkey Left\nkey Left\nkey Left\nkey Left\ntext Z\n",
       "     Z            "},
      {"backspace blanks", 1, false, "text XY\nkey Backspace\ntext Z\n", "    XZ            "},
  };
  for (const Case& c : cases) {
    Form f = three_fields();
    f.current = c.start;
    f.fields[1].protect = c.protect_middle ? 1 : 0;
    f = edited(f, c.script);
    EXPECT_EQ(f.storage, c.storage) << c.name;
    EXPECT_EQ(f.action, ACTION_F10) << c.name;
  }
}

TEST(FormEdit, ClicksEditTheClickedFieldOrEndTheForm) {
  struct Case {
    const char* name;
    bool protect_middle;
    const char* script;
    std::int16_t action;
    const char* storage;
  };
  const Case cases[] = {
      {"click into a field at its third cell", false, "click left cell 7 16\ntext Z\n", ACTION_F10,
       "              Z   "},
      {"click on a protected field", true, "click left cell 5 42\n", 1002, "                  "},
      {"click outside every field", false, "click left cell 12 1\n", ACTION_CLICK, "                  "},
      {"function key", false, "key F3\n", ACTION_F3, "                  "},
      {"the bar", false, "key code:124\n", ACTION_BAR, "                  "},
      {"enter", false, "key Enter\n", ACTION_ENTER, "                  "},
      {"window closed", false, "close\n", ACTION_QUIT, "                  "},
  };
  for (const Case& c : cases) {
    Form f = three_fields();
    f.fields[1].protect = c.protect_middle ? 1 : 0;
    f = edited(f, c.script);
    EXPECT_EQ(f.action, c.action) << c.name;
    EXPECT_EQ(f.storage, c.storage) << c.name;
  }
}

TEST(FormLoop, EnterMovesOnUntilAnotherActionEndsIt) {
  Form f = edited(three_fields(), "text A\nkey Enter\ntext B\nkey Enter\ntext C\nkey Enter\ntext D\n", true);
  EXPECT_EQ(f.storage, "     D     B     C");  // back in field 1, D replaced A
  EXPECT_EQ(f.action, ACTION_F10);
  EXPECT_EQ(f.current, 1);
}

TEST(FormEdit, TypedValuesAreStoredOrSilentlyDiscarded) {
  struct Case {
    const char* typed;
    float value;
    const char* shown;
  };
  const Case cases[] = {
      {"4.7K", 4700.0f, "   4700.00"}, {"4.7k", 3.0f, "      3.00"}, {"+5", 3.0f, "      3.00"},
      {"5", 5.0f, "      5.00"},       {"5.", 5.0f, "      5.00"},   {".5", 0.5f, "      0.50"},
      {"", 0.0f, "      0.00"},  // cleared with blanks: 0
  };
  for (const Case& c : cases) {
    Form f;
    f.storage = std::string(10, ' ');
    f.format = "A F2";
    f.fields = {field_at(4, 10, 10, 1, 2)};
    f.fields[0].real_value = 3.0f;
    // From the first typed character to past the end, then blank the field.
    std::string script = "key Right\nkey Right\nkey Right\nkey Right\n";
    for (int i = 0; i < 10; ++i) script += "key Backspace\n";
    if (*c.typed) script += std::string("text ") + c.typed + "\n";
    f = edited(f, script);
    EXPECT_FLOAT_EQ(f.fields[0].real_value, c.value) << c.typed;
    EXPECT_EQ(f.storage, c.shown) << c.typed;
    EXPECT_EQ(row_text(4, 10, 10), c.shown) << c.typed;
    EXPECT_EQ(f.action, ACTION_F10) << c.typed;
  }
}

TEST(FormEdit, AnInvalidValueKeepsTheUserInTheField) {
  Form f;
  f.storage = std::string(8, ' ');
  f.format = "F1";
  f.fields = {field_at(4, 10, 8, 1)};
  f.fields[0].real_value = 2.0f;
  // "     2.0": to the 2, then "x" over it; F3 is swallowed, F2 then leaves.
  f = edited(f, "text x\nkey F3\nkey F2\n");
  EXPECT_EQ(f.action, 2);
  EXPECT_EQ(f.storage, "     2.0");
}

TEST(FormEdit, IntegerFieldsTakeDigitsOnly) {
  for (const auto& [typed, value] : {std::pair{"-42", -42}, std::pair{"4.2", 7}, std::pair{"99999", 7}}) {
    Form f;
    f.storage = std::string(6, ' ');
    f.format = "I ";
    f.fields = {field_at(4, 10, 6, 1)};
    f.fields[0].integer_value = 7;
    std::string script = "key Right\n";  // past the end of "     7"
    for (int i = 0; i < 6; ++i) script += "key Backspace\n";
    f = edited(f, script + "text " + typed + "\n");
    EXPECT_EQ(f.fields[0].integer_value, value) << typed;
  }
}

TEST(FormEdit, FieldLooksAndValueDisplaysWithoutAnEditableField) {
  Form f;
  f.storage = std::string(40, ' ');
  f.format = "P2E2A ";
  f.fields = {field_at(3, 1, 8, 1, 1), field_at(3, 11, 8, 9, 1), field_at(3, 21, 8, 17, 2), field_at(5, 1, 8, 25, 3)};
  f.fields[0].real_value = 4700.0f;
  f.fields[1].real_value = 47000.0f;
  f.fields[2].real_value = 47000.0f;
  f.storage.replace(24, 8, "BUTTON  ");
  for (FormField& fld : f.fields) fld.protect = 1;
  f.fields[2].highlight = 1;
  f.action = 77;
  shell::text_grid() = shell::TextGrid{};
  FORM_EDIT(f);  // nothing to edit: it shows the fields and returns at once
  EXPECT_EQ(f.action, 77);
  EXPECT_EQ(shell::text_row(3).substr(0, 28), "  4.70 3   47.00 3    4.70 4");
  EXPECT_EQ(f.storage.substr(0, 24), "  4.70 3 47.00 3  4.70 4");
  EXPECT_EQ(row_text(5, 1, 8), "BUTTON  ");
  EXPECT_EQ(attribute(3, 1), ATTR_NORMAL);    // protected
  EXPECT_EQ(attribute(3, 21), ATTR_REVERSE);  // highlighted
  EXPECT_EQ(attribute(3, 28), ATTR_REVERSE);
}

TEST(FormEdit, PlainEditableFieldShowsItsFirstCharacterReversed) {
  Form f;
  f.storage = "abcd";
  f.fields = {field_at(6, 3, 4, 1)};
  f = edited(f, "text X\nkey Right\ntext Y\n");
  EXPECT_EQ(f.storage, "XbYd");
  EXPECT_EQ(attribute(6, 3), ATTR_REVERSE);  // typed at position 1
  EXPECT_EQ(attribute(6, 4), ATTR_NORMAL);
  EXPECT_EQ(attribute(6, 5), ATTR_NORMAL);  // typed away from position 1
}

TEST(FormEdit, PointerShapeAndCaretFollowTheField) {
  struct Case {
    const char* script;
    bool ibeam;
    int caret_column;  // 1-based, on row 7
  };
  const Case cases[] = {
      {"move cell 7 15\nclose\n", true, 27},
      {"move cell 7 15\nmove cell 20 1\nclose\n", false, 27},
      {"text AB\nclose\n", false, 28},
  };
  for (const Case& c : cases) {
    Form f;
    f.storage = std::string(14, ' ');
    f.fields = {field_at(7, 14, 14, 1)};
    shell::window_state().text_cursor_mode = false;
    f = edited(f, c.script);
    EXPECT_EQ(f.action, ACTION_QUIT);
    EXPECT_EQ(shell::window_state().text_cursor_mode, c.ibeam) << c.script;
    EXPECT_EQ(shell::text_grid().caret_row, 6) << c.script;
    EXPECT_EQ(shell::text_grid().caret_column, c.caret_column - 1) << c.script;
  }
  // Leaving with a key restores the arrow and puts the caret on the field.
  Form f;
  f.storage = std::string(14, ' ');
  f.fields = {field_at(7, 14, 14, 1)};
  f = edited(f, "move cell 7 15\n");
  EXPECT_FALSE(shell::window_state().text_cursor_mode);
  EXPECT_EQ(shell::text_grid().caret_column, 13);
}

TEST(FieldNav, MovesByPositionAndWraps) {
  // Editable fields at (5, 14), (5, 40), (7, 14); field 4 at (6, 1) is protected.
  Form f = three_fields();
  f.fields.push_back(field_at(6, 1, 6, 1));
  f.fields[3].protect = 1;
  struct Case {
    std::int16_t from, action, to;
  };
  const Case cases[] = {
      {1, ACTION_NEXT, 2}, {2, ACTION_NEXT, 3}, {3, ACTION_NEXT, 1}, {3, ACTION_RIGHT, 1},
      {1, ACTION_DOWN, 3}, {2, ACTION_DOWN, 3}, {3, ACTION_DOWN, 1}, {1, ACTION_LEFT, 3},
      {3, ACTION_LEFT, 2}, {3, ACTION_UP, 1},   {1, ACTION_UP, 3},   {2, ACTION_UP, 3},
      {1, 1003, 3},        {1, 1004, 1},        {2, ACTION_F10, 2},  {2, ACTION_ENTER, 2},
  };
  for (const Case& c : cases) {
    std::int16_t current = c.from;
    FIELD_NAV(f, current, c.action);
    EXPECT_EQ(current, c.to) << "from " << c.from << " by " << c.action;
  }
}

TEST(FormEdit, KeysThatTypeNoCharacterStoreNothingInAnyFieldKind) {
  // Escape, Ctrl+C, Delete, F11, F12 and a code between them: none is typed.
  const std::string junk = "key Esc\nkey code:3\nkey code:127\nkey F11\nkey F12\nkey code:150\n";
  struct Case {
    const char* format;
    const char* script;
    const char* storage;
    int integer_value;
    float real_value;
  };
  // Numeric fields start at their first digit; "4" or "5" goes over it.
  const Case cases[] = {
      {"A ", "text X\n", "         X", 0, 0.0f},
      {"I ", "text 4\n", "         4", 4, 0.0f},
      {"F1", "text 5\n", "       5.0", 0, 5.0f},
      {"G3", "text 5\n", "      5.00", 0, 5.0f},
  };
  for (const Case& c : cases) {
    Form f;
    f.storage = std::string(10, ' ');
    f.format = c.format;
    f.fields = {field_at(4, 10, 10, 1)};
    f.fields[0].integer_value = 7;
    f.fields[0].real_value = 7.0f;
    f = edited(f, std::string(c.script) + junk);
    EXPECT_EQ(f.storage, c.storage) << c.format;
    EXPECT_EQ(row_text(4, 10, 10), c.storage) << c.format;
    if (c.format[0] == 'I') {
      EXPECT_EQ(f.fields[0].integer_value, c.integer_value) << c.format;
    } else if (c.format[0] != 'A') {
      EXPECT_FLOAT_EQ(f.fields[0].real_value, c.real_value) << c.format;
    }
  }
  // A printable Latin-1 character is typed like any other.
  Form f;
  f.storage = std::string(6, ' ');
  f.fields = {field_at(4, 10, 6, 1)};
  f = edited(f, "key code:233\n");
  EXPECT_EQ(f.storage, "     \xE9");
}
