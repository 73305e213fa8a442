// The file-name record shared by the run driver and the file menus, and the
// routines that build, take apart and tidy paths and names on its
// fixed-width fields. Every routine works in place and keeps the widths.
#pragma once

#include <cstdint>
#include <string>

namespace kesto::textui {

struct FileNameRecord {
  std::string directory = std::string(66, ' ');  // may be blank: the current directory
  std::string file_name = std::string(14, ' ');
  std::string default_extension = std::string(3, ' ');
  std::string full_path = std::string(80, ' ');
};

struct PathSeparators {
  char current = '/';       // this platform's separator
  char alternative = '\\';  // typed separators of the other kind are turned into it
};

FileNameRecord& file_name_record();
PathSeparators& path_separators();

void SET_SEPARATORS();
// Moves the text to the start of its field; returns the position of its last
// non-blank character (0 when blank).
std::int32_t LEFT_JUSTIFY(std::string& text);
void LOWER_CASE(std::string& text);
// Joins directory (up to its first blank) and file name into an 80-character
// path, adding a separator between them when the directory lacks one.
void BUILD_PATH(std::string& path, const std::string& directory, const std::string& file_name);
// Splits an 80-character path into a 66-character directory (ending in the
// separator) and a 14-character file name.
void SPLIT_PATH(const std::string& path, std::string& directory, std::string& file_name);

// While the name holds the separator or ":", drops everything up to and
// including the first of them (A:RUN2 becomes RUN2).
void STRIP_NAME_PREFIX(std::string& file_name);
// Lower-cases the name and gives it the extension in place of any other
// (DATA.IN with txt becomes data.txt); a name of 11 characters or more
// without a "." keeps its form.
void APPLY_EXTENSION(std::string& file_name, const std::string& extension);
// Gives the extension only to a name without one (a name ending in "."
// loses the "." first); a name with an extension keeps it.
void ADD_MISSING_EXTENSION(std::string& file_name, const std::string& extension);
// Up to the first blank, the alternative separator becomes the separator.
void NORMALISE_SEPARATORS(std::string& directory);
// Cuts the directory at its first blank, and at a separator that directly
// follows another one.
void TRIM_DIRECTORY(std::string& directory);
// Left-justifies the directory and ends it in the separator when there is
// room (a directory of 66 characters stays as it is).
void END_DIRECTORY(std::string& directory);
// Takes apart what was typed into the directory field: a path of a file
// that exists, or whose last component has an extension, goes into
// directory and file name; anything else is a directory.
void SPLIT_DIRECTORY_FIELD(std::string& directory, std::string& file_name, const std::string& extension,
                           std::int32_t extension_mode);

// True when the last component of what was typed into the directory field
// is a file name longer than the 14 characters a name may have: it has an
// extension, or names an existing file, and is no existing directory.
bool LONG_NAME_IN_DIRECTORY(const std::string& directory);
// True when neither field holds a character beyond ASCII: the names are
// taken byte for byte as this file system's, where such a character would
// be a stray byte.
bool ASCII_NAMES(const std::string& directory, const std::string& file_name);
// True when the path BUILD_PATH makes of the two holds them whole in its 80
// characters.
bool PATH_FITS(const std::string& directory, const std::string& file_name);

}  // namespace kesto::textui
