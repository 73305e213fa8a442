// The batch mode's export (`--export DIR`): the run's last picture written
// in every format without a dialog, as NAME.eps, NAME.tif, NAME.wmf,
// NAME.emf and NAME.pdf in DIR, NAME being the picture's name ("potential"
// for the relaxed map).
#pragma once

#include <string>

namespace kesto::shell {

// Writes the picture in the plot buffer in the five formats into `dir`
// (made when missing) under `name`; a file that cannot be written is
// reported on standard error. False when any was not written.
bool export_picture(const std::string& dir, const std::string& name);

// In batch mode with an export folder: exports the last picture the run
// showed (nothing, with a note, when it showed none). Called as the shell
// shuts down, while the window and the plot buffer still exist.
void export_batch_picture();

}  // namespace kesto::shell
