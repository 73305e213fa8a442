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

// Opens the MARKEL file at `path` (trailing blanks do not count), switches
// recording on and writes the header with the 9-character date; the
// header's first line is the path. The records go to a temporary file beside
// it, which replaces the file only when recording closes. False when the
// file cannot be written, or when the path names something other than a
// regular file: nothing is open then, recording stays off and `error` (when
// given) holds the system's error number.
bool open_markel_file(std::string_view path, const std::string& date, int* error = nullptr);
// Switches recording off and puts the recorded file in place; 0, or the
// system's error number when a record or the file could not be written (an
// earlier file is then left as it was).
int close_markel_file();
// Switches recording off and drops what was recorded (a run that did not
// come to its end): an earlier file stays as it was.
void discard_markel_file();
// At the end of a run: closes an open recording and says in a message box
// when it could not be written.
void finish_markel_file();
// False when the last recording closed could not be written.
bool markel_file_written();
// The file the records go to until recording closes (empty when none is open).
std::string markel_recording_file();

}  // namespace kesto::textui
