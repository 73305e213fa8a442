// The MARKEL file menu: the page on which the user names the MARKEL file and
// starts or stops recording the pictures into it. The file goes into the
// directory of the file-name record (file_names.h); markel_file.h writes it.
#pragma once

#include <cstdint>
#include <string>

namespace kesto::textui {

// Shows the page until the user leaves it with F10 (or a click on its line);
// F2 (or a click on its line) starts recording into the named file, or
// closes the file while recording. `date` (9 characters) goes into the
// header. Leaving the page does not stop recording. A file that cannot be
// opened is not reported; recording then stays off and the page says so.
void MARKEL_FILE_MENU(const std::string& date);

// The one-field form of the MARKEL file name (row 7, column 34, 14
// characters); Enter keeps editing, any other action ends it. The name (16
// characters) takes what the form holds. A closed window ends the program.
void MARKEL_NAME_FORM(std::int16_t& action);

}  // namespace kesto::textui
