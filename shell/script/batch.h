// Batch mode: the automatic user. Every wait that nothing else answers is
// answered with a key (Enter, or the key the waiting page asks for: F10 on
// forms and menus, Escape in the file chooser); each text page the run waits
// on is printed to standard output as plain text, once, as it stands when it
// is answered or cleared; each completed picture can be saved as a file. A
// page that comes back unchanged ends the batch instead of looping for ever.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
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
  bool page_waited_on = false;   // the run waited on the page now shown
  std::int16_t answer_key = 13;  // what the automatic user presses (Enter unless a page asks otherwise)
  std::map<std::string, std::uint64_t> answered_pages;  // page text -> screen clears when last answered
  std::string last_answered_page;
  std::uint64_t last_answered_clears = ~0ull;
  int same_page_answers = 0;  // answers in a row to one page that was never drawn again
  // The point pick the run waits on (see PickWait) and the last one the
  // automatic user answered: where it started, the picture as it stood then
  // (the shapes drawn so far), and answers in a row to picks from there.
  bool pick_waiting = false;
  float pick_x = 0.0f, pick_y = 0.0f;
  bool pick_answered = false;
  float answered_pick_x = 0.0f, answered_pick_y = 0.0f;
  std::uint64_t answered_pick_picture = 0;
  int same_pick_answers = 0;
  int pictures_saved = 0;
  std::string next_picture_name;  // name for the next completed picture (see NAME_PICTURE)
  std::string last_picture_name;  // name of the last picture completed (empty: none yet)
  bool file_not_written = false;  // a picture file of --pictures or --export could not be written
};

BatchMode& batch_mode();

// Names the picture that is being drawn, for the file the batch mode saves it
// in ("geometry" becomes geometry.png). Unnamed pictures are numbered.
void NAME_PICTURE(const std::string& name);

// Hook through which the window saves the picture it shows as a PNG file;
// returns false when there is no picture to save or the file could not be
// written, with the system's reason in errno.
using PictureSaver = bool (*)(const std::string& path);
void set_picture_saver(PictureSaver saver);

// Prints the text page when it differs from the last one printed (batch only).
void batch_print_page();

// The run waits on the text page now shown: it will be printed when it is
// answered or cleared.
void batch_page_waited_on();
// The text page is about to be cleared: printed when the run waited on it.
void batch_page_leaving();


// Forgets the pages printed and answered so far, so that the next page is
// printed and answered even when it repeats an earlier one: for a reader that
// goes on past a fatal page as if a new run began.
void batch_forget_pages();

// While one of these lives the run waits for a point picked on the picture,
// starting at (x, y) in world coordinates. The automatic user's key gives
// that point back unchanged, so a pick it answered before, from the same
// point and with nothing drawn since, would be answered for ever.
class PickWait {
 public:
  PickWait(float x, float y);
  ~PickWait();
  PickWait(const PickWait&) = delete;
  PickWait& operator=(const PickWait&) = delete;
};

// Answers the current wait as the automatic user would, by queueing its key.
// False when batch mode is off. Ends the batch (RunEnded) when a page that was
// answered before is answered again after being drawn again, when one page
// is answered so often in a row that the run is plainly not moving on, and
// when a point pick would be answered again with nothing changed (or from
// the same point over and over).
bool batch_answer(bool graphics_shown);

}  // namespace kesto::shell
