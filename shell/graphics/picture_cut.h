// Cutting the recorded picture back: for a drawing that the next one draws
// over, every pixel of it, so that the picture's record holds only the last.
#pragma once

#include <cstddef>

namespace kesto::shell {

// How much of the picture is recorded so far, for CUT_PICTURE.
std::size_t PICTURE_LENGTH();
// Forgets what was recorded after `length` (a PICTURE_LENGTH of the picture
// now shown); the window and the bitmap keep showing it.
void CUT_PICTURE(std::size_t length);

}  // namespace kesto::shell
