// The directory-and-file-name menu: the page on which the user types the
// directory and the name of a file (the run's input deck), corrects them
// with the keys of a form, and goes on with F10 or ends the program with F3.
// The menu tidies the names after every action and, on F10, checks the file
// as asked; it returns only when the names are accepted, leaving them in the
// file-name record (file_names.h) with the full path built.
#pragma once

#include <cstdint>
#include <string_view>

namespace kesto::textui {

// show_list 1: run the chooser by extension before the first page.
// extension_mode 0: the default extension replaces any other after every
// action; 1: it is added where a name has none; other: names stay as typed.
// check_mode -1: F10 returns at once; 0: once a name is given; other: once
// the file opens. banner 1: the version block shows on the page.
// F3 and a closed window end the program.
void FILE_NAME_MENU(std::int32_t show_list, std::int32_t extension_mode, std::int32_t check_mode, std::int32_t banner);

// Fills the record's directory and file name from a program argument (a
// path of up to 80 characters), split as a typed path is split; a longer
// or blank argument leaves the record as it is.
void fill_from_argument(std::string_view argument);

// The menu as a program starts it: separators set, the record filled from
// the program's first argument, the version block shown.
void FILE_NAME_MENU_START(std::int32_t extension_mode, std::int32_t check_mode, std::string_view argument);

}  // namespace kesto::textui
