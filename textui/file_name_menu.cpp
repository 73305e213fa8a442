#include "textui/file_name_menu.h"

#include "common/file_lookup.h"
#include "common/fixed_text.h"
#include "textui/actions.h"
#include "textui/banner.h"
#include "textui/file_chooser.h"
#include "textui/file_names.h"
#include "textui/forms.h"
#include "textui/menu_choice.h"
#include "textui/messages.h"
#include "textui/text_screen.h"

namespace kesto::textui {
namespace {

constexpr std::int16_t kF3Row = 9;
constexpr std::int16_t kF10Row = 11;

void write_row(std::int16_t row, std::string_view text) {
  SET_CURSOR(row, 1);
  WRITE_NORMAL(common::pad(text, 80), 80);
}

// The page without its fields; the menu row table learns the F3 and F10 rows.
void draw_page(std::int32_t banner) {
  CLEAR_SCREEN();
  write_row(1, message_area().title_line);
  write_row(3, "***** DIRECTORY AND FILE NAME MENU ***** DIRECTORY AND FILE NAME MENU *****     ");
  write_row(5, "DIRECTORY:");
  write_row(7, "FILE NAME:");
  write_row(kF3Row, "             F3 = EXIT FROM THE PROGRAM");
  write_row(kF10Row, "             F10= CONTINUE");
  MenuRowTable& rows = menu_row_table();
  rows.fill(0);
  rows[2] = kF3Row;
  rows[9] = kF10Row;
  if (banner == 1) NOTICE_BLOCK();
}

// The two fields: the file name (row 7) first, then the directory (row 5).
Form name_form(const FileNameRecord& r) {
  Form f;
  f.storage = common::pad(r.file_name, 14) + common::pad(r.directory, 66);
  f.format = "A ";
  FormField name;
  name.offset = 1;
  name.row = 7;
  name.column = 14;
  name.width = 14;
  name.highlight = 1;
  FormField directory = name;
  directory.offset = 15;
  directory.row = 5;
  directory.width = 66;
  f.fields = {name, directory};
  f.current = 0;
  return f;
}

void cannot_open(const FileNameRecord& r) {
  set_message("ERROR: THE PROGRAM CANNOT OPEN THE FILE.");
  MSG_PAGE();
  set_message("THE DIRECTORY PATH AND FILE NAME ARE:");
  MSG_NEXT();
  set_message(r.full_path);
  MSG_NEXT();
  set_message("PLEASE SPECIFY A NEW DIRECTORY OR FILE NAME.");
  MSG_PAUSE();
}

}  // namespace

void FILE_NAME_MENU(std::int32_t show_list, std::int32_t extension_mode, std::int32_t check_mode, std::int32_t banner) {
  FileNameRecord& r = file_name_record();
  r.file_name = common::pad(r.file_name, 14);
  r.directory = common::pad(r.directory, 66);
  LEFT_JUSTIFY(r.file_name);
  if (show_list == 1 && common::trimmed_length(r.default_extension) > 0) {
    CLEAR_SCREEN();
    SET_CURSOR(1, 1);
    WRITE_NORMAL(message_area().title_line, 80);
    CHOOSE_BY_EXTENSION(r.directory, r.file_name, r.default_extension);
  }
  for (;;) {
    draw_page(banner);
    NORMALISE_SEPARATORS(r.directory);
    Form form = name_form(r);
    FORM_LOOP(form);
    r.file_name = form.storage.substr(0, 14);
    r.directory = form.storage.substr(14, 66);
    LEFT_JUSTIFY(r.file_name);
    LEFT_JUSTIFY(r.directory);
    std::int16_t action = form.action;
    if (action == ACTION_QUIT) INTERRUPT_STOP();
    if (action < 0) continue;
    ROW_TO_KEY(action, menu_row_table());

    // Tidy the names: a typed path prefix, a path in the directory field,
    // the extension. Separators of the other kind typed just now are turned
    // round first: this file system would not find a path through them.
    STRIP_NAME_PREFIX(r.file_name);
    NORMALISE_SEPARATORS(r.directory);
    if (action != ACTION_F3 && LONG_NAME_IN_DIRECTORY(r.directory)) {
      // Taken apart, it would leave a directory and no name: the page says
      // why, and the menu comes back with the path as typed.
      set_message("A FILE NAME HAS AT MOST 14 CHARACTERS.");
      NOTICE_PAGE();
      continue;
    }
    SPLIT_DIRECTORY_FIELD(r.directory, r.file_name, r.default_extension, extension_mode);
    if (extension_mode == 0) APPLY_EXTENSION(r.file_name, r.default_extension);
    if (extension_mode == 1) ADD_MISSING_EXTENSION(r.file_name, r.default_extension);

    if (action == ACTION_F3) {
      BUILD_PATH(r.full_path, r.directory, r.file_name);
      LEAVE_STOP();
    }
    if (action != ACTION_F10) continue;  // the page again, with the tidied names

    // Acceptance.
    if (!ASCII_NAMES(r.directory, r.file_name)) {
      set_message("A DIRECTORY OR FILE NAME MAY HOLD ONLY ASCII CHARACTERS.");
      NOTICE_PAGE();
      continue;
    }
    if (!PATH_FITS(r.directory, r.file_name)) {
      // A directory of 66 characters, its separator and a name of 14.
      set_message("THE DIRECTORY PATH AND FILE NAME HOLD MORE THAN 80 CHARACTERS.");
      NOTICE_PAGE();
      continue;
    }
    BUILD_PATH(r.full_path, r.directory, r.file_name);
    if (check_mode == -1) return;
    if (extension_mode == 1) {
      APPLY_EXTENSION(r.file_name, r.default_extension);
      BUILD_PATH(r.full_path, r.directory, r.file_name);
    }
    if (LEFT_JUSTIFY(r.file_name) == 0) {
      set_message("PLEASE ENTER A FILE NAME.");
      NOTICE_PAGE();
      continue;
    }
    if (check_mode == 0) return;
    if (common::opens_as_existing_file(std::string(common::trim_right(r.full_path)))) return;
    cannot_open(r);
  }
}

void fill_from_argument(std::string_view argument) {
  const std::size_t length = common::trimmed_length(argument);
  if (length == 0 || length > 80) return;
  FileNameRecord& r = file_name_record();
  r.directory = std::string(66, ' ');
  r.file_name = std::string(14, ' ');
  // Separators of the other kind split the argument as they would in the
  // directory field: DATA\RUN1.TXT is the file RUN1.TXT of DATA.
  std::string path = common::pad(argument, 80);
  NORMALISE_SEPARATORS(path);
  SPLIT_PATH(path, r.directory, r.file_name);
}

void FILE_NAME_MENU_START(std::int32_t extension_mode, std::int32_t check_mode, std::string_view argument) {
  SET_SEPARATORS();
  fill_from_argument(argument);
  FILE_NAME_MENU(0, extension_mode, check_mode, 1);
}

}  // namespace kesto::textui
