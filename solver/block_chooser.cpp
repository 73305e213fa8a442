#include "solver/block_chooser.h"

namespace kesto::solver {
namespace {

// Batches timed before the sizes are compared.
constexpr std::int32_t kFirstTimings = 2;
// The weight of a new timing in the smoothed speed.
constexpr double kWeight = 0.5;

}  // namespace

std::int32_t BlockChooser::choose() {
  ++chosen_;
  if (timed_[0] < kFirstTimings) return kSmall;
  if (timed_[1] < kFirstTimings) return kLarge;
  const int faster = rate_[1] > rate_[0] ? 1 : 0;
  const int pick = chosen_ % kRetryEvery == 0 ? 1 - faster : faster;
  return pick == 0 ? kSmall : kLarge;
}

void BlockChooser::report(std::int32_t block, std::int32_t sweeps, double seconds) {
  if (!(seconds > 0.0) || sweeps <= 0) return;
  const int k = block == kSmall ? 0 : block == kLarge ? 1 : -1;
  if (k < 0) return;
  const double rate = sweeps / seconds;
  rate_[k] = timed_[k] == 0 ? rate : (1.0 - kWeight) * rate_[k] + kWeight * rate;
  ++timed_[k];
}

}  // namespace kesto::solver
