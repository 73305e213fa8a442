// The progress bar that batch runs show on standard error while they relax.
#pragma once

#include <cstdint>

namespace kesto::app {

// Progress listener: redraws the bar when the shown percentage changes.
void batch_progress(std::int32_t done, std::int32_t total);
// Ends the bar's line if one is showing.
void finish_batch_progress();

}  // namespace kesto::app
