#include "textui/markel_menu.h"

#include "common/fixed_text.h"
#include "kernel/kernel.h"
#include "textui/actions.h"
#include "textui/file_names.h"
#include "textui/forms.h"
#include "textui/markel_file.h"
#include "textui/menu_choice.h"
#include "textui/messages.h"
#include "textui/text_screen.h"

namespace kesto::textui {
namespace {

constexpr std::int16_t kF2Row = 9;
constexpr std::int16_t kF10Row = 11;
constexpr std::int16_t kF2 = 2;

void write_row(std::int16_t row, std::string_view text, std::int16_t attribute = ATTR_NORMAL) {
  SET_CURSOR(row, 1);
  PUT_TEXT(common::pad(text, 80), 80, attribute);
}

void draw_page() {
  CLEAR_SCREEN();
  write_row(1, message_area().title_line);
  write_row(3, "******* MARKEL FILE MENU ****** MARKEL FILE MENU ****** MARKEL FILE MENU *******", ATTR_REVERSE);
  write_row(7, "                    MARKEL FILE:");
  write_row(kF2Row, plot::kernel_state().recording == 1 ? "             F2 = CLOSE THE MARKEL FILE"
                                                        : "             F2 = START WRITING A MARKEL FILE");
  write_row(kF10Row, "             F10= RETURN TO THE MAIN MENU");
}

void start_recording(const std::string& date) {
  std::string& name = plot::kernel_state().markel_name;
  name = common::pad(name, 16);
  LEFT_JUSTIFY(name);
  std::string path;
  BUILD_PATH(path, file_name_record().directory, name.substr(0, 14));
  open_markel_file(path, date);  // a file that does not open leaves recording off, unreported
}

}  // namespace

void MARKEL_NAME_FORM(std::int16_t& action) {
  std::string& name = plot::kernel_state().markel_name;
  Form form;
  form.storage = common::pad(name, 16);
  form.format = "A ";
  FormField field;
  field.offset = 1;
  field.row = 7;
  field.column = 34;
  field.width = 14;
  field.highlight = 1;
  form.fields = {field};
  FORM_LOOP(form);
  if (form.action == ACTION_QUIT) INTERRUPT_STOP();
  name = common::pad(form.storage, 16);
  action = form.action;
}

void MARKEL_FILE_MENU(const std::string& date) {
  MenuRowTable rows{};
  rows[kF2 - 1] = kF2Row;
  rows[ACTION_F10 - 1] = kF10Row;
  for (;;) {
    draw_page();
    std::int16_t action = 0;
    MARKEL_NAME_FORM(action);
    ROW_TO_KEY(action, rows);
    if (action == ACTION_F10) return;
    if (action != kF2) continue;
    if (plot::kernel_state().recording == 1)
      finish_markel_file();
    else
      start_recording(date);
  }
}

}  // namespace kesto::textui
