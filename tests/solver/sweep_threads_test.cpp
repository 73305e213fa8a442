// The pipelined sweeps on several threads with deadlines that fall while the
// threads work, so that blocks are given up at every point a deadline can
// catch them: however the batches end, the sweeps made add up to the plain
// loop's potentials and changes, bit for bit. This file needs nothing but the
// sweeps and the cell grid, so that `make tsan` can also build it alone
// under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "sheet/cell_grid.h"
#include "solver/block_chooser.h"
#include "solver/sweep.h"
#include "solver/sweep_kernels.h"
#include "solver/sweep_pipeline.h"

using namespace kesto;
using namespace kesto::solver;

namespace {

using sheet::Grid;
using sheet::grid;

// A random nx x ny sheet: an edge ring of fixed random potentials, random
// resistivities inside, some interior cells fixed.
void random_sheet(std::mt19937& random, int nx, int ny) {
  static const float rhos[] = {1.0E6f, 100.0f, 0.5f, 3.3e4f, 1.0e-3f, 7.0f};
  std::uniform_real_distribution<float> volts(-50.0f, 50.0f);
  grid() = Grid{};
  Grid& g = grid();
  g.NX = nx;
  g.NY = ny;
  for (int I = 1; I <= nx; ++I)
    for (int J = 1; J <= ny; ++J) {
      const bool edge = I == 1 || I == nx || J == 1 || J == ny;
      g.RHO[I][J] = edge ? 0.0f : rhos[random() % 6];
      g.FIXED[I][J] = edge || random() % 11 == 0 ? 1 : 0;
      if (g.FIXED[I][J] != 0) g.V[I][J] = volts(random);
    }
}

std::vector<float> potentials() {
  return std::vector<float>(&grid().V[0][0], &grid().V[0][0] + sizeof grid().V / sizeof(float));
}

float largest_change(const std::vector<float>& before, const std::vector<float>& after) {
  float largest = 0.0f;
  for (std::size_t k = 0; k < before.size(); ++k) largest = std::max(largest, std::fabs(after[k] - before[k]));
  return largest;
}

}  // namespace

// Batches of up to 40 sweeps with deadlines from already passed to 200
// microseconds away, on 2, 3 and 4 threads, every vector kernel, each sweep
// measuring its change, while another thread reserves a core and gives it
// back (as the direct solve beside the sweeps does), so that batches run on
// fewer threads now and then: every batch makes at least its first block,
// and together they make exactly the plain loop's 120 sweeps.
TEST(SweepThreads, DeadlinesFallingDuringTheWorkLoseNoSweep) {
  constexpr int kSweeps = 120;
  std::mt19937 random(19);
  for (const auto& [nx, ny] : {std::pair{250, 110}, std::pair{37, 90}, std::pair{120, 6}}) {
    random_sheet(random, nx, ny);
    SET_CONDUCTANCES();
    const std::vector<float> start = potentials();
    std::vector<float> changes, before = start;
    for (int n = 0; n < kSweeps; ++n) {
      sweep_plain();
      changes.push_back(largest_change(before, potentials()));
      before = potentials();
    }
    for (const SweepKernel kernel : runnable_sweep_kernels()) {
      if (!sweeps_wavefront_layout(kernel)) continue;
      for (const auto& [threads, block] : {std::pair{2, 0}, std::pair{2, 16}, std::pair{3, 4}, std::pair{3, 16},
                                           std::pair{4, 0}, std::pair{4, 16}}) {
        SCOPED_TRACE(std::to_string(nx) + " x " + std::to_string(ny) + ", " + sweep_kernel_name(kernel) + ", threads " +
                     std::to_string(threads) + ", block " + std::to_string(block));
        std::memcpy(&grid().V[0][0], start.data(), start.size() * sizeof(float));
        use_sweep_kernel(kernel);
        use_sweep_threads(threads);
        use_sweep_block(block);
        bool measure[kSweeps];
        float change[kSweeps];
        for (bool& m : measure) m = true;
        const int waits_us[] = {-1, 0, 3, 10, 30, 200};
        std::atomic<bool> stop{false};
        std::thread reserving([&] {
          for (int n = 0; !stop.load(); ++n) {
            reserve_sweep_core(n % 2 == 0);
            std::this_thread::sleep_for(std::chrono::microseconds(20));
          }
          reserve_sweep_core(false);
        });
        int done = 0;
        for (int batch = 0; done < kSweeps; ++batch) {
          const int count = std::min(kSweeps - done, 40);
          const auto deadline =
              std::chrono::steady_clock::now() + std::chrono::microseconds(waits_us[batch % 6]);
          const int made = sweep_held_until(count, measure + done, change + done, deadline);
          ASSERT_GE(made, std::min(count, kSweepsInFlight));
          ASSERT_LE(made, count);
          done += made;
        }
        stop.store(true);
        reserving.join();
        sync_potentials();
        ASSERT_EQ(std::memcmp(before.data(), potentials().data(), start.size() * sizeof(float)), 0);
        for (int n = 0; n < kSweeps; ++n) ASSERT_EQ(change[n], changes[n]) << "sweep " << n + 1;
      }
    }
  }
  use_sweep_kernel(fastest_sweep_kernel());
  use_sweep_threads(0);
  use_sweep_block(0);
}

// The block size of several threads: both sizes timed twice, then the
// faster (by its smoothed speed) with the other tried every eighth batch,
// following the machine when its speeds change. S: 4 sweeps, L: 16.
TEST(BlockChooser, TimesBothSizesKeepsTheFasterAndTriesTheOtherAgain) {
  struct Case {
    const char* what;
    int (*rate)(int batch, bool large);  // sweeps per second the batch reports
    const char* choices;
  };
  const Case cases[] = {
      {"the small block faster", [](int, bool large) { return large ? 50 : 100; }, "SSLLSSSLSSSSSSSL"},
      {"the large block faster", [](int, bool large) { return large ? 100 : 50; }, "SSLLLLLSLLLLLLLS"},
      // From the ninth batch on the small block makes 20: 60, then 40, fall
      // below the large block's 50.
      {"the small block slowing down", [](int batch, bool large) { return large ? 50 : batch < 9 ? 100 : 20; },
       "SSLLSSSLSSLLLLLS"},
  };
  for (const Case& c : cases) {
    BlockChooser chooser;
    std::string seen;
    for (int batch = 1; batch <= 16; ++batch) {
      const std::int32_t block = chooser.choose();
      seen += block == BlockChooser::kLarge ? 'L' : 'S';
      chooser.report(block, c.rate(batch, block == BlockChooser::kLarge), 1.0);
    }
    EXPECT_EQ(seen, c.choices) << c.what;
    chooser.forget();
    EXPECT_EQ(chooser.choose(), BlockChooser::kSmall) << c.what;
  }
  // Timings of no time, no sweep or another size count for nothing.
  BlockChooser chooser;
  chooser.report(BlockChooser::kSmall, 0, 1.0);
  chooser.report(BlockChooser::kSmall, 10, 0.0);
  chooser.report(8, 10, 1.0);
  chooser.report(BlockChooser::kSmall, 10, 1.0);
  EXPECT_EQ(chooser.choose(), BlockChooser::kSmall);  // one timing of the small size so far
  chooser.report(BlockChooser::kSmall, 10, 1.0);
  EXPECT_EQ(chooser.choose(), BlockChooser::kLarge);
}
