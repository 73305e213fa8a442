// Copying the picture to the clipboard.
#pragma once

namespace kesto::shell {

// Menu command Copy: what the window's client area shows, as an image; while
// a picture is shown, also as an enhanced metafile ("image/x-emf") for
// programs that take vector pictures; while a text page is shown, also as
// plain text (its 25 lines). Nothing happens without a window.
void COPY_PICTURE();

}  // namespace kesto::shell
