// The file chooser: pages that show the names of existing files as a pick
// list, so that a name can be picked instead of typed. Long lists page by
// ten names at a time. Each page returns the picked name, or a blank name
// when nothing matched or the user chose "NONE OF THE ABOVE".
#pragma once

#include <string>

#include "textui/file_lists.h"

namespace kesto::textui {

// Files with the extension in the directory (66 characters).
void CHOOSE_BY_EXTENSION(const std::string& directory, std::string& file_name, const std::string& extension);
// Files with the extension in the current directory.
void CHOOSE_BY_EXTENSION_HERE(const std::string& extension, std::string& file_name);
// Files whose base name is that of the path text (80 characters).
void CHOOSE_BY_NAME(const std::string& path, std::string& file_name);
// Files of the current directory whose base name is that of the name (14).
void CHOOSE_BY_NAME_HERE(const std::string& name, std::string& file_name);

// The pick-list page of the names (from row 3, column 20): Enter or the
// right button marks a name, Escape or the left button takes the name under
// the caret; "SHOW MORE NAMES" pages on by ten names, wrapping round.
void CHOOSE_FROM_LIST(const NameList& list, std::string& file_name);

}  // namespace kesto::textui
