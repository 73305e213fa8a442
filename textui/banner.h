// The program's identity on every text page: the title line built from the
// name, version and release date, the version line and notice block, and
// today's date in the two short forms.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace kesto::textui {

struct ProgramIdentity {
  std::string name = std::string(8, ' ');           // 8 characters
  std::string version = std::string(6, ' ');        // 6 characters
  std::string release_date = std::string(15, ' ');  // 15 characters
  std::string year = std::string(4, ' ');           // last four characters of the date, kept by SET_TITLE
  std::int32_t notice_variant = 0;                  // 1 selects the second wording of the rights line
};

ProgramIdentity& program_identity();

// Right-justifies the release date, keeps its year and fills the title line.
void SET_TITLE();

// Moves the text right until its last character is not blank; a wholly blank
// text stays unchanged.
void RIGHT_JUSTIFY(std::string& text);

// Finds the first blank within the first 10 characters and removes all
// blanks directly after it (the line keeps its length).
void COLLAPSE_BLANKS(std::string& line);

// Version line and notices, from row 18 (shown by the file-name menu).
void NOTICE_BLOCK();

// Today's local date: "dd-MON-yy" (9 characters) and "dd-Mon-yyyy" (11);
// a day below 10 keeps a leading blank.
void DATE_SHORT(std::string& text);
void DATE_LONG(std::string& text);

// The same for a given date (for tests and the callers above).
std::string date_short(const std::tm& date);
std::string date_long(const std::tm& date);

}  // namespace kesto::textui
