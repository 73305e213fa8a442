// Who answers the program when it asks: a person at a real display, the
// steps of a script, or (in batch mode) the automatic user. Boxes and dialogs
// only block when a person can answer them.
#pragma once

#include "shell/script/script.h"

namespace kesto::shell {

// True on a real display (not offscreen), outside batch mode, and with no
// script steps left to play.
bool person_answers();
// True when the program runs on a real display (not the offscreen platform).
bool real_display();
// Takes the next script step when it is of the given kind; null otherwise.
const ScriptStep* take_step(ScriptStep::Kind kind);

}  // namespace kesto::shell
