// The Pen Width dialog "IDD_PENW": pen widths for the window (1002), the
// printer (1003) and enhanced metafiles (1004, labelled "EPS:"), each with a
// spin bar (1005-1007); OK (1) stores them when all are positive integers.
#pragma once

#include <cstdint>
#include <string>

namespace kesto::shell {

// Shows the dialog and stores what the user confirms.
void PEN_WIDTH_DIALOG();

// Reads an edit as an unsigned integer: digits only (blanks around them
// allowed), at most 4294967295; false otherwise (the value is then 0).
bool parse_pen_width(const std::string& text, std::uint32_t& value);
// The pen width spin: up adds 1, down subtracts 1 while the value is above 1.
std::string pen_width_spin(const std::string& text, bool up);

}  // namespace kesto::shell
