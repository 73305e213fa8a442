// The colour palette display: the fifteen numbered colours of colour mode 1
// as swatches with their numbers, under the title "COLOUR PALETTE".
#pragma once

namespace kesto::plot {

// Draws the display and waits for a key, as every finished picture does.
void PALETTE_SHOW();

}  // namespace kesto::plot
