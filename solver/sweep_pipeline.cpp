#include "solver/sweep_pipeline.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "solver/block_chooser.h"
#include "solver/sweep.h"
#include "solver/sweep_kernels.h"
#include "solver/wavefront_layout.h"
#include "solver/wavefront_sweeps.h"

namespace kesto::solver {
namespace {

using Clock = std::chrono::steady_clock;
using RowSweep = float (*)(WavefrontLayout&, std::int32_t, bool);

constexpr std::int32_t kMaxThreads = 256;
// Rows by which a sweep follows the one before it.
constexpr std::int32_t kLag = 2;
// The first address row that holds interior cells.
constexpr std::int32_t kFirstRow = 2;

std::int32_t& threads_chosen() {
  static std::int32_t threads = 0;  // 0: not chosen
  return threads;
}

std::int32_t& block_chosen() {
  static std::int32_t block = 0;  // 0: chosen by timing
  return block;
}

inline void relax_cpu() {
#if defined(__x86_64__)
  __builtin_ia32_pause();
#endif
}

// Waits until `ready()`; spins briefly, then yields the core, which a thread
// it waits for may need (more threads than cores).
template <class Ready>
inline void spin_until(Ready ready) {
  for (std::int32_t n = 0; !ready(); ++n) {
    if (n < 512)
      relax_cpu();
    else
      std::this_thread::yield();
  }
}

// Rows finished of the last sweep of the block a thread runs, counted over
// the batch: sweep k's row i finished is k * rows + i + 1.
struct alignas(64) Progress {
  std::atomic<std::int64_t> done{-1};
};

struct Batch {
  std::int32_t block = kSweepsInFlight;  // sweeps of a thread's block
  WavefrontLayout* w = nullptr;
  RowSweep row = nullptr;
  std::int32_t rows = 0;  // address rows with interior cells
  std::int32_t count = 0;
  const bool* measure = nullptr;
  float* change = nullptr;
  Clock::time_point deadline;
  std::int32_t threads = 1;
  // Sweeps of the batch that are made: lowered, to the first sweep of a
  // block, by the thread that finds the deadline passed before it starts
  // that block. No block at or past it writes anything.
  std::atomic<std::int32_t> end{0};
  Progress progress[kMaxThreads];
};

// The larger of two row maxima (neither is a NaN: the kernels pass NaN
// changes over).
inline float larger(float change, float largest) { return change > largest ? change : largest; }

// Lowers the batch's end to `sweep` unless it is already there or below.
void end_at(Batch& b, std::int32_t sweep) {
  std::int32_t end = b.end.load(std::memory_order_acquire);
  while (end > sweep && !b.end.compare_exchange_weak(end, sweep, std::memory_order_acq_rel)) {
  }
}

// Thread t's share of the batch: blocks t, t + T, ...
void sweep_blocks(Batch& b, std::int32_t t) {
  const std::int32_t T = b.threads, R = b.rows;
  Progress& mine = b.progress[t];
  for (std::int64_t block = t;; block += T) {
    const std::int64_t first = block * b.block;
    if (first >= b.end.load(std::memory_order_acquire)) return;
    const auto k0 = static_cast<std::int32_t>(first);
    if (block > 0 && Clock::now() >= b.deadline) {
      end_at(b, k0);
      return;
    }
    const std::int32_t n = std::min(b.block, b.count - k0);
    const Progress& before = b.progress[(block + T - 1) % T];
    const std::int64_t before_base = static_cast<std::int64_t>(k0 - 1) * R;
    float largest[BlockChooser::kLarge] = {};
    // The progress of the sweep before, as last read: read again only when
    // it does not reach far enough, as the line it is on moves between cores.
    std::int64_t known = -1;
    for (std::int32_t step = 0; step < R + kLag * (n - 1); ++step) {
      for (std::int32_t j = 0; j < n; ++j) {
        const std::int32_t i = step - kLag * j;
        if (i < 0) break;
        if (i >= R) continue;
        if (j == 0 && block > 0) {
          // The sweep before this one must have finished rows i and i + 1.
          const std::int64_t needed = before_base + std::min(i + kLag, R);
          bool abandoned = false;
          spin_until([&] {
            if (known >= needed) return true;
            known = before.done.load(std::memory_order_acquire);
            if (known >= needed) return true;
            // Before its first row a block gives way to an earlier one that
            // found the deadline passed (and so will never progress).
            abandoned = i == 0 && b.end.load(std::memory_order_acquire) <= k0;
            return abandoned;
          });
          if (abandoned) return;
        }
        const bool measure = b.measure[k0 + j];
        const float c = b.row(*b.w, kFirstRow + i, measure);
        if (measure) largest[j] = larger(c, largest[j]);
        if (j == n - 1) mine.done.store(static_cast<std::int64_t>(k0 + j) * R + i + 1, std::memory_order_release);
      }
    }
    for (std::int32_t j = 0; j < n; ++j)
      if (b.measure[k0 + j]) b.change[k0 + j] = largest[j];
  }
}

// The threads besides the calling one, started as first needed and kept
// for the process's life; between batches they wait on the generation.
class SweepCrew {
 public:
  ~SweepCrew() {
    stop_.store(true, std::memory_order_release);
    generation_.fetch_add(1, std::memory_order_release);
    generation_.notify_all();
    for (std::thread& t : helpers_) t.join();
  }

  void run(Batch& b) {
    while (static_cast<std::int32_t>(helpers_.size()) < b.threads - 1) {
      // A new helper waits for the batch after those already made.
      const auto index = static_cast<std::int32_t>(helpers_.size()) + 1;
      const std::uint32_t seen = generation_.load(std::memory_order_relaxed);
      helpers_.emplace_back([this, index, seen] { help(index, seen); });
    }
    for (std::int32_t t = 0; t < b.threads; ++t) b.progress[t].done.store(-1, std::memory_order_relaxed);
    finished_.store(0, std::memory_order_relaxed);
    batch_ = &b;
    generation_.fetch_add(1, std::memory_order_release);
    generation_.notify_all();
    sweep_blocks(b, 0);
    const auto helpers = static_cast<std::int32_t>(helpers_.size());
    spin_until([&] { return finished_.load(std::memory_order_acquire) == helpers; });
    batch_ = nullptr;
  }

 private:
  void help(std::int32_t index, std::uint32_t seen) {
    for (;;) {
      // A short spin first: the next batch usually follows within a poll.
      const Clock::time_point spin_end = Clock::now() + std::chrono::microseconds(200);
      std::uint32_t now = generation_.load(std::memory_order_acquire);
      for (std::int32_t n = 0; now == seen; ++n) {
        if ((n & 63) == 63 && Clock::now() >= spin_end) {
          generation_.wait(seen, std::memory_order_acquire);
        } else {
          relax_cpu();
        }
        now = generation_.load(std::memory_order_acquire);
      }
      seen = now;
      if (stop_.load(std::memory_order_acquire)) return;
      // Every helper reports back, with work or without, so that the batch
      // outlives each one's look at it.
      Batch& b = *batch_;
      if (index < b.threads) sweep_blocks(b, index);
      finished_.fetch_add(1, std::memory_order_acq_rel);
    }
  }

  std::vector<std::thread> helpers_;
  std::atomic<std::uint32_t> generation_{0};
  std::atomic<std::int32_t> finished_{0};
  std::atomic<bool> stop_{false};
  Batch* batch_ = nullptr;
};

SweepCrew& crew() {
  static SweepCrew c;
  return c;
}

RowSweep row_sweep(SweepKernel kernel) {
#if defined(__x86_64__)
  switch (kernel) {
    case SweepKernel::sse2: return sweep_wavefront_row_sse2;
    case SweepKernel::avx2: return sweep_wavefront_row_avx2;
    case SweepKernel::avx512: return sweep_wavefront_row_avx512;
    default: break;
  }
#else
  (void)kernel;
#endif
  return nullptr;
}

}  // namespace

namespace {
std::atomic<bool> g_core_reserved{false};
}  // namespace

void reserve_sweep_core(bool reserved) { g_core_reserved.store(reserved, std::memory_order_relaxed); }

void use_sweep_block(std::int32_t sweeps) {
  block_chosen() = sweeps == BlockChooser::kSmall || sweeps == BlockChooser::kLarge ? sweeps : 0;
}

void use_sweep_threads(std::int32_t threads) { threads_chosen() = threads < 1 ? 0 : std::min(threads, kMaxThreads); }

std::int32_t sweep_threads() { return threads_chosen() > 0 ? threads_chosen() : available_cores(); }

std::int32_t available_cores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) != 0) return 1;
  return std::clamp(CPU_COUNT(&set), 1, kMaxThreads);
}

std::int32_t sweep_held_until(std::int32_t count, const bool* measure, float* change, Clock::time_point deadline) {
  WavefrontLayout& w = wavefront_layout();
  const RowSweep row = row_sweep(sweep_kernel());
  const std::int32_t rows = w.NX + w.NY - 5;
  if (row == nullptr || rows <= 0) {
    // Kernels that sweep the grid itself, and grids without interior
    // cells: one sweep after another, the deadline looked at between blocks
    // as the pipeline does.
    for (std::int32_t i = 0; i < count; ++i) {
      if (i >= kSweepsInFlight && i % kSweepsInFlight == 0 && Clock::now() >= deadline) return i;
      if (measure[i])
        change[i] = sweep_held_change();
      else
        sweep_held();
    }
    return count;
  }
  if (!w.holds_potentials) load_wavefront_potentials();
  static const std::unique_ptr<Batch> batch = std::make_unique<Batch>();
  Batch& b = *batch;
  b.w = &w;
  b.row = row;
  b.rows = rows;
  b.count = count;
  b.measure = measure;
  b.change = change;
  b.deadline = deadline;
  std::int32_t threads = sweep_threads();
  if (g_core_reserved.load(std::memory_order_relaxed)) threads = std::max(1, std::min(threads, available_cores() - 1));
  // One thread keeps the small block, which its cache holds best, and so do
  // batches too short for a large block on every thread; the others take
  // the size their batches have found faster.
  static BlockChooser chooser;
  static std::int32_t timed_nx = 0, timed_ny = 0;  // the sheet the chooser timed
  if (w.NX != timed_nx || w.NY != timed_ny) {
    chooser.forget();
    timed_nx = w.NX, timed_ny = w.NY;
  }
  const bool timed = threads > 1 && block_chosen() == 0 && count >= BlockChooser::kLarge * threads;
  b.block = kSweepsInFlight;
  if (threads > 1 && block_chosen() != 0) b.block = block_chosen();
  if (timed) b.block = chooser.choose();
  b.threads = std::min(threads, (count + b.block - 1) / b.block);
  b.end.store(count, std::memory_order_relaxed);
  const Clock::time_point start = Clock::now();
  crew().run(b);
  const std::int32_t made = b.end.load(std::memory_order_acquire);
  // Only a batch that gave every thread a block says how fast its size is.
  if (timed && b.threads == threads && made >= b.block * threads)
    chooser.report(b.block, made, std::chrono::duration<double>(Clock::now() - start).count());
  return made;
}

}  // namespace kesto::solver
