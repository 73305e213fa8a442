// The colour bar under a result map: 32 coloured segments in a frame, major
// and minor ticks, numeric labels and the map title. COLOUR_BAR (declared
// with the maps) draws it with these two.
#pragma once

namespace kesto::plot {

// Ticks below the bar whose bottom is at yb, then the labels; a zero step
// (an empty value range) shows the "ZDELTA,ZLOW " error page and ends the run.
void BAR_TICKS(float yb);
// Labels of the major ticks from t0 on, under the bar whose bottom is at yb.
void BAR_LABELS(float t0, float yb);

}  // namespace kesto::plot
