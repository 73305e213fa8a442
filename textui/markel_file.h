// Recording pictures into a MARKEL file: opening the file with its six
// header lines and switching recording on, and closing it again. From the
// open on, every drawing operation of the plotting kernel appends its record.
#pragma once

#include <string>

namespace kesto::textui {

// Opens (or overwrites) the MARKEL file at `path`, writes the header with the
// 9-character date, and switches recording on. False when the file cannot be
// written; recording then stays off.
bool open_markel_file(const std::string& path, const std::string& date);
// The same with today's date.
bool open_markel_file(const std::string& path);
// Switches recording off and closes the file (nothing more is written).
void close_markel_file();

}  // namespace kesto::textui
