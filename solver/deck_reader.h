// The input deck: a plain text file of 80-column lines. A line is a command
// when it begins with one of the keyword prefixes (upper case); any other
// line is a comment. Arguments are free-format numbers read from a fixed
// column of each command. Every error in a deck is fatal: its page is shown
// and the run ends.
#pragma once

#include <string>

namespace kesto::solver {

// Reads the deck named by the grid's DECK_NAME (in the directory of the
// file-name record) and builds the cell grid from it. Returns only when the
// whole deck is valid.
void READ_DECK();

// Completes a 14-character deck name without an extension with ".txt" when
// there is room for it (a name of 11 or more characters is left alone).
void ADD_TXT_EXT(std::string& name);

}  // namespace kesto::solver
