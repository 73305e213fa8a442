// Plays script steps: through the open window as real key and mouse events,
// a close request or a menu command, or (without a window) straight into the
// input queue.
#pragma once

namespace kesto::shell {

// Plays the next step of the script; false when the script is used up.
bool play_next_script_step();

}  // namespace kesto::shell
