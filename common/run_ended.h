// The one way a run ends: the stop routines throw RunEnded, which unwinds to
// the process entry. A whole run, every fatal path included, can therefore run
// inside a test and be inspected afterwards.
#pragma once

namespace kesto::common {

struct RunEnded {
  enum class Kind {
    normal,   // the closing page was acknowledged and the graphics closed
    fatal,    // a fatal page ended the run through the fatal stop
    abrupt,   // an internal stop that skips the shell's shut-down
    stalled,  // the batch mode could not go on (a page shown again unchanged)
    left,     // the user left the program on the file-name menu (F3): no error
    interrupted,  // the user ended the run early: the window closed at a wait, or a key during the sweeps
  };
  Kind kind = Kind::normal;
};

}  // namespace kesto::common
