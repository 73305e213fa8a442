// The open-file dialog: a file chosen from a list of filters, returned as
// its directory, its file name and its full path, each as a blank-padded
// fixed-length text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kesto::shell {

// The filters, in order (index 1 is the first): description and patterns.
struct FileFilter {
  const char* description;
  const char* patterns;  // separated by ';'
};
constexpr int FILE_FILTER_COUNT = 6;
extern const FileFilter FILE_FILTERS[FILE_FILTER_COUNT];

// Shows the dialog starting at the initial file name and directory (each up
// to its last non-blank character within its length) with filter
// `filter_index` (1-6; others choose the first). On success fills directory
// (up to and including the last separator), file name and full path, each
// blank-padded and cut to its length, and returns 0; returns 1 when cancelled.
// A file name typed without an extension gets ".txt".
std::int16_t OPEN_FILE_DIALOG(const std::string& initial_name, std::int16_t name_length,
                              const std::string& initial_directory, std::int16_t directory_length,
                              std::int16_t filter_index, std::int16_t mode, std::string& directory,
                              std::int16_t directory_out_length, std::string& file_name,
                              std::int16_t file_name_out_length, std::string& full_path,
                              std::int16_t full_path_out_length);

// The save-file dialog of the picture exports: one filter, the extension a
// name typed without one gets, the directory it starts in (empty: the
// current one) and the name it proposes. An existing file is chosen only
// after the user confirms that it is to be replaced. Returns the chosen
// path, or nothing when the dialog is cancelled. Under a script it takes
// the next file step (a relative path starts at the initial directory);
// with none left it is cancelled.
std::optional<std::string> SAVE_FILE_DIALOG(const FileFilter& filter, const std::string& default_extension,
                                            const std::string& initial_directory, const std::string& proposed_name);

// Splits a chosen path into the three output texts (as OPEN_FILE_DIALOG does).
void split_chosen_path(const std::string& path, std::string& directory, std::int16_t directory_length,
                       std::string& file_name, std::int16_t file_name_length, std::string& full_path,
                       std::int16_t full_path_length);

}  // namespace kesto::shell
