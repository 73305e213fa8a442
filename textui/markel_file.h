// Recording pictures into a MARKEL file: opening the file with its six
// header lines and switching recording on, and closing it again. From the
// open on, every drawing operation of the plotting kernel appends its record.
// The MARKEL file menu and a batch run's --markel both start recording here,
// so the files of the two have one header from one writer.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace kesto::textui {

// Writes the first `width` characters of the text, up to the last non-blank
// one, as one line of the unit.
void WRITE_TRIMMED(std::string_view text, std::int32_t width, std::ostream& unit);

// Opens (or overwrites) the MARKEL file at `path` (trailing blanks do not
// count), switches recording on and writes the header with the 9-character
// date; the header's first line is the path. False when the file cannot be
// written, or when the path names something other than a regular file (a
// FIFO would block the open): nothing is open then and recording stays off.
bool open_markel_file(std::string_view path, const std::string& date);
// Switches recording off and closes the file (nothing more is written).
void close_markel_file();

}  // namespace kesto::textui
