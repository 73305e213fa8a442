// How many sweeps a thread's block holds when the sweeps run on several
// threads. Each block's first sweep reads the rows the block before it, on
// another core, has just written, so a larger block moves fewer rows between
// cores for each sweep made, but keeps more rows in flight in its own core's
// cache. Which is faster depends on what moving rows between cores costs,
// and on a virtual machine that changes by the minute (from one thread's
// speed to nearly two). So both sizes are timed on the batches of the run
// itself: the faster is kept, and the other is tried again now and then.
// The potentials are the same with either.
#pragma once

#include <cstdint>

namespace kesto::solver {

class BlockChooser {
 public:
  // The two sizes, in sweeps.
  static constexpr std::int32_t kSmall = 4, kLarge = 16;
  // Every this many batches the size that is slower is tried again.
  static constexpr std::int32_t kRetryEvery = 8;

  // The size of the next batch's blocks.
  std::int32_t choose();
  // A batch with blocks of `block` sweeps made `sweeps` sweeps in `seconds`.
  void report(std::int32_t block, std::int32_t sweeps, double seconds);
  // Forgets what was timed (the sheet changed).
  void forget() { *this = BlockChooser{}; }

 private:
  double rate_[2] = {0.0, 0.0};  // sweeps per second, smoothed, of kSmall and kLarge
  std::int32_t timed_[2] = {0, 0};
  std::int64_t chosen_ = 0;
};

}  // namespace kesto::solver
