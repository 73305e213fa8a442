// Scripted input: a list of everything a user can do (keys, clicks and
// pointer moves, closing the window, menu commands, answers for message boxes
// and file dialogs), fed to the program one step at a time whenever it waits
// for input. Tests and `--script FILE` drive whole runs with it. While the
// window is open, keys, pointer steps, the close and menu steps travel
// through it as real window events; boxes and dialogs take their answers
// from the steps that follow when they open.
//
// Script text, one step per line ('#' starts a comment line):
//   key NAME               a key: one printable character, or Enter, Esc,
//                          Backspace, Tab, Space, F1..F12, Up, Down, Left,
//                          Right, Shift, Ctrl, Alt (the last three yield no
//                          key event), or code:N for key code N
//   text CHARACTERS        one key per character (the rest of the line)
//   press BUTTON WHERE     button press: BUTTON is left or right; WHERE is
//   release BUTTON WHERE     pixel X Y | cell ROW COLUMN | page X Y
//   click BUTTON WHERE     press and release at the same place
//   move WHERE [BUTTONS]   pointer move, BUTTONS held (0-3, default 0)
//   close                  the user closes the window
//   menu ID                the menu item with that id, picked as a user would
//                          (an item greyed for the moment does nothing); an id
//                          without an item (2), or whose item is greyed for
//                          good (11 Write EPS, 13 Write WMF), is sent to the
//                          window as a command
//   answer ok|cancel|yes|no   the answer for the next message box; for a
//                          print dialog, ok prints on the default printer
//   file PATH | file cancel   the answer for the next file dialog (a relative
//                          PATH starts at the dialog's initial directory); for
//                          a print dialog, printing to the PDF file PATH
//   dialog ID TEXT         types TEXT into edit ID of the next dialog
//   dialog-button ID       presses button ID of the next dialog (1 OK, 2 Cancel)
//   dialog-spin ID up|down steps spin bar ID of the next dialog
//   resize WIDTH HEIGHT    the user resizes the window to a client area of
//                          WIDTH x HEIGHT pixels (1 to 10000 each)
//   busy N STEP            STEP (key, press, release, move, close, menu or
//                          resize) done while the program works: it arrives
//                          at the N-th key poll from now
//   busy-key NAME [N]      the same as busy N key NAME (N defaults to 1)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::shell {

struct ScriptStep {
  enum class Kind {
    key,
    press,
    release,
    move,
    close,
    menu,
    answer,
    file,
    dialog_text,
    dialog_button,
    dialog_spin,
    resize
  };
  enum class Where { pixel, cell, page };

  Kind kind = Kind::key;
  int line = 0;  // line of the script text, for messages
  // A step done while the program works arrives at its key poll number
  // after_polls (counted from when the step before it was done).
  bool busy = false;
  int after_polls = 1;
  // key
  std::string key_name;       // as written ("F10", "a", "Shift", "code:65")
  std::int16_t key_code = 0;  // what the program sees; 0 for keys that yield no event
  // press, release, move
  std::int16_t button = 0;  // 1 left, 2 right; for moves the buttons held
  Where where = Where::pixel;
  double x = 0, y = 0;  // pixel x y, cell row column, or page x y; resize: width, height
  // menu, dialog_text, dialog_button
  int id = 0;
  // answer, file, dialog_text; dialog_spin: "up" or "down"
  std::string text;
};

struct Script {
  std::vector<ScriptStep> steps;
  std::size_t next = 0;
  bool active = false;  // a script was given (even if it is used up)

  bool done() const { return next >= steps.size(); }
  const ScriptStep* peek() const { return done() ? nullptr : &steps[next]; }
};

// Parses script text; on a malformed line returns false and says why in `error`.
bool parse_script(std::string_view text, Script& script, std::string& error);
// Appends the steps of one line of script text (number line_no, counted from
// 1, without its line feed); false with the reason in `error` when malformed.
bool parse_script_line(std::string_view line, int line_no, Script& script, std::string& error);

// The key code a key name stands for; false for an unknown name.
bool key_code_for(std::string_view name, std::int16_t& code);

// The program's one script.
Script& script();

}  // namespace kesto::shell
