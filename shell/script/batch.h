// Batch mode: the automatic user. Every wait that nothing else answers is
// answered with Enter; each text page the run shows is printed to standard
// output as plain text; each completed picture can be saved as a file. A
// page that would be answered again unchanged ends the batch instead of
// looping for ever.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace kesto::shell {

struct BatchMode {
  bool enabled = false;
  std::ostream* out = nullptr;  // where pages go (standard output when null)
  std::string pictures_dir;     // save completed pictures here as PNG (empty: do not save)
  std::string export_dir;       // export the run's last picture here in every format (empty: do not)

  // Book-keeping of the automatic user.
  std::string last_printed_page;
  std::uint64_t last_printed_clears = ~0ull;
  std::string last_answered_page;
  std::uint64_t last_answered_clears = ~0ull;
  int pictures_saved = 0;
  std::string next_picture_name;  // name for the next completed picture (see NAME_PICTURE)
  std::string last_picture_name;  // name of the last picture completed (empty: none yet)
};

BatchMode& batch_mode();

// Names the picture that is being drawn, for the file the batch mode saves it
// in ("geometry" becomes geometry.png). Unnamed pictures are numbered.
void NAME_PICTURE(const std::string& name);

// Hook through which the window saves the picture it shows as a PNG file;
// returns false when there is no picture to save.
using PictureSaver = bool (*)(const std::string& path);
void set_picture_saver(PictureSaver saver);

// Prints the text page when it differs from the last one printed (batch only).
void batch_print_page();

// Answers the current wait as the automatic user would, by queueing Enter.
// False when batch mode is off. Ends the batch (RunEnded) when the same page
// would be answered a second time after being drawn again.
bool batch_answer(bool graphics_shown);

}  // namespace kesto::shell
