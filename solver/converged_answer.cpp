#include "solver/converged_answer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <exception>
#include <future>
#include <memory>
#include <utility>

#include "solver/field_current.h"
#include "solver/grid.h"
#include "solver/sweep.h"
#include "solver/sweep_pipeline.h"
#include "solver/table_writer.h"

namespace kesto::solver {
namespace {

bool g_wanted = false;
ConvergedTablesListener g_tables = nullptr;

// The texts of the two converged tables, or why there are none, with the
// current line's converged current the potential table gives.
struct ConvergedTables {
  bool made = false;
  std::string volts, efield, failure;
  bool with_current = false;
  double current = 0.0;
};

// The solve started before the sweeps: the grid it solves, its answer, and
// (when the tables are wanted) the converged tables, made once the answer is
// given while the run goes on to its own tables.
struct BackgroundSolve {
  std::shared_ptr<const Grid> grid;
  std::future<ConvergedPotential> potential;
  std::future<ConvergedTables> tables;
  bool taken = false;  // the run took the answer: it solved the run's network
};

BackgroundSolve& background() {
  static BackgroundSolve b;
  return b;
}

ConvergedPotential solve_guarded(const Grid& g) {
  try {
    return solve_network(g);
  } catch (const std::exception&) {
    ConvergedPotential p;
    p.failure = "there was not memory enough for the direct solve";
    return p;
  }
}

// Whether the network of `a` is that of `b`: the same grid size, links,
// fixed cells and fixed potentials (the free cells' potentials do not enter
// it).
bool same_network(const Grid& a, const Grid& b) {
  if (a.NX != b.NX || a.NY != b.NY) return false;
  for (std::int32_t I = 0; I <= a.NX; ++I) {
    const std::size_t row = sizeof(float) * static_cast<std::size_t>(a.NY + 1);
    if (std::memcmp(a.GX[I], b.GX[I], row) != 0 || std::memcmp(a.GY[I], b.GY[I], row) != 0 ||
        std::memcmp(a.FIXED[I], b.FIXED[I], sizeof(std::int32_t) * static_cast<std::size_t>(a.NY + 1)) != 0)
      return false;
    for (std::int32_t J = 0; J <= a.NY; ++J)
      if (a.FIXED[I][J] != 0 && std::memcmp(&a.V[I][J], &b.V[I][J], sizeof(float)) != 0) return false;
  }
  return true;
}

// The answer of the solve started before the sweeps, when it solved the
// network of `g`; the solve is waited for either way.
bool take_background_answer(const Grid& g, ConvergedPotential& p) {
  BackgroundSolve& b = background();
  if (!b.potential.valid()) return false;
  ConvergedPotential answer = b.potential.get();
  b.taken = same_network(*b.grid, g);
  if (b.taken) p = std::move(answer);
  return b.taken;
}

// Waits for the thread of a solve started before the sweeps, if any, to end
// (it may still be making tables no one takes, when its run ended early),
// and forgets it.
void finish_background_work() {
  BackgroundSolve& b = background();
  if (b.tables.valid()) b.tables.wait();  // its thread gave the answer first
  b = BackgroundSolve{};
}

// Whether the tables made beside the run from grid `a` are those of the
// run's grid `b` as far as the grid goes: besides the network, they read the
// deck's name and the cell size (the current they give is compared where
// they are delivered).
bool same_table_inputs(const Grid& a, const Grid& b) {
  return a.DECK_NAME == b.DECK_NAME && std::memcmp(&a.DX, &b.DX, sizeof a.DX) == 0 &&
         std::memcmp(&a.HALFDX, &b.HALFDX, sizeof a.HALFDX) == 0;
}

// x (>= 0) to `digits` significant digits: "1.76", "0.0208", "12", and in
// exponent form below 0.001 or from 1E6 on ("3.1E-07").
std::string significant(double x, int digits) {
  char text[40];
  if (x == 0.0) return "0";
  const int exponent = static_cast<int>(std::floor(std::log10(x)));
  if (exponent < -3 || exponent >= 6) {
    std::snprintf(text, sizeof text, "%.*E", digits - 1, x);
  } else {
    std::snprintf(text, sizeof text, "%.*f", std::max(0, digits - 1 - exponent), x);
    // Rounding up may add a digit (9.996 -> "10.00"): one decimal too many.
    const double shown = std::atof(text);
    if (shown >= std::pow(10.0, exponent + 1) && digits - 2 - exponent >= 0)
      std::snprintf(text, sizeof text, "%.*f", digits - 2 - exponent, x);
  }
  return text;
}

std::string amperes(double a) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3E A", a == 0.0 ? 0.0 : a);  // no "-0.000E+00"
  return text;
}

std::string grouped(long long n) {
  std::string digits = std::to_string(n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
  return digits;
}

// The field of the converged potential, by the central differences of
// FIND_EFIELD; false when a value overflows single precision.
bool converged_field(const Grid& g, const ConvergedPotential& p, CellValues& EMAG) {
  const float c = 1.0f / (g.DX * 2.0f);
  for (std::int32_t I = 1; I <= g.NX; ++I)
    for (std::int32_t J = 1; J <= g.NY; ++J) {
      EMAG[I][J] = 0.0f;
      if (g.FIXED[I][J] == 1) continue;
      const double dv_x = p.at(I + 1, J) - p.at(I - 1, J);
      const double dv_y = p.at(I, J + 1) - p.at(I, J - 1);
      EMAG[I][J] = static_cast<float>(std::sqrt(dv_x * dv_x + dv_y * dv_y) * c);
      if (!std::isfinite(EMAG[I][J])) return false;
    }
  return true;
}

// The converged tables of grid `g` from its converged potential `p`, with
// the current line's converged `current` when `with_current`.
ConvergedTables converged_tables(const Grid& g, const ConvergedPotential& p, bool with_current, double current) {
  ConvergedTables t;
  t.made = true;
  t.with_current = with_current;
  t.current = current;
  struct Cells {
    CellValues values{};
  };
  auto V = std::make_unique<Cells>();
  auto EMAG = std::make_unique<Cells>();
  for (std::int32_t I = 1; I <= g.NX; ++I)
    for (std::int32_t J = 1; J <= g.NY; ++J) V->values[I][J] = static_cast<float>(p.at(I, J));
  const float amps = static_cast<float>(current);
  if (!converged_field(g, p, EMAG->values) || !std::isfinite(amps)) {
    t.failure = "the converged field or current overflows single precision";
    return t;
  }
  t.volts =
      volts_table_text(g, V->values, with_current, amps, "CM The converged potential: the network solved directly.");
  t.efield =
      efield_table_text(g, EMAG->values, "CM The field of the converged potential (the network solved directly).");
  return t;
}

// The converged current through the current line of `g` from `v`.
double converged_current(const Grid& g, const std::vector<double>& v) {
  return line_current(g, clamped_current_line(g), v);
}

}  // namespace

ConvergedAnswer& converged_answer() {
  static ConvergedAnswer a;
  return a;
}

void want_converged_answer(bool wanted) {
  g_wanted = wanted;
  if (!wanted) finish_background_work();
}

bool converged_answer_wanted() { return g_wanted; }

void start_converged_answer() {
  BackgroundSolve& b = background();
  finish_background_work();  // an earlier run's, which ended before its answer
  if (!g_wanted || available_cores() < 2) return;
  try {
    const auto copy = std::make_shared<Grid>(grid());
    b.grid = copy;
    const bool tables_wanted = g_tables != nullptr;
    std::promise<ConvergedPotential> answer;
    b.potential = answer.get_future();
    reserve_sweep_core(true);
    b.tables = std::async(std::launch::async, [copy, tables_wanted, answer = std::move(answer)]() mutable {
      // The core is the solve's until its thread is done, tables included.
      struct Release {
        ~Release() { reserve_sweep_core(false); }
      } release;
      set_link_conductances(*copy);
      ConvergedPotential p = solve_guarded(*copy);
      if (!tables_wanted || !p.solved) {
        answer.set_value(std::move(p));
        return ConvergedTables{};
      }
      answer.set_value(p);  // the run reads its answer while the tables are made
      const bool with_current = copy->CURRENT_SET == 1;
      return converged_tables(*copy, p, with_current, with_current ? converged_current(*copy, p.V) : 0.0);
    });
  } catch (const std::exception&) {
    // No thread or no memory for the copy: the network is solved after the
    // sweeps instead.
    reserve_sweep_core(false);
    b = BackgroundSolve{};
  }
}

void find_converged_answer() {
  ConvergedAnswer& a = converged_answer();
  a = ConvergedAnswer{};
  const Grid& g = grid();
  // A solve started before the sweeps is waited for even when the answer is
  // no longer wanted; its thread, if it goes on to the tables, is waited for
  // when they are delivered, the next run starts or the answer is turned off.
  ConvergedPotential started;
  const bool taken = take_background_answer(g, started);
  if (!g_wanted) return;
  a.potential = taken ? std::move(started) : solve_guarded(g);
  if (!a.potential.solved) {
    a.failure = a.potential.failure;
    return;
  }
  double low = a.potential.at(1, 1), high = low;
  for (std::int32_t I = 1; I <= g.NX; ++I)
    for (std::int32_t J = 1; J <= g.NY; ++J) {
      const double v = a.potential.at(I, J);
      low = std::min(low, v);
      high = std::max(high, v);
      const double d = std::fabs(static_cast<double>(g.V[I][J]) - v);
      if (d > a.distance || a.I == 0) a.distance = d, a.I = I, a.J = J;
    }
  a.range = high - low;
  a.with_current = g.CURRENT_SET == 1;
  if (a.with_current) {
    a.nstep_current = line_current(g, clamped_current_line(g));
    a.current = converged_current(g, a.potential.V);
  }
  a.found = true;
}

std::string exact_convergence_line(const ConvergenceEstimate& e, const ConvergedAnswer& a) {
  using Kind = ConvergenceEstimate::Kind;
  std::string line = "convergence: ";
  char change[64];
  std::snprintf(change, sizeof change, "last sweep moved no cell by more than %.1E V", static_cast<double>(e.change));
  line += e.kind == Kind::no_sweep ? "no sweep made" : e.kind == Kind::converged ? "last sweep moved no cell" : change;
  if (a.distance == 0.0) {
    line += "; every cell holds the converged potential";
  } else {
    line += "; distance from the converged potential " + significant(a.distance, 3) + " V";
    if (a.range > 0.0) line += " (" + significant(100.0 * a.distance / a.range, 2) + " % of the range)";
    line += " at cell (" + std::to_string(a.I) + ", " + std::to_string(a.J) + ")";
  }
  if (a.with_current)
    line += "; current " + amperes(a.nstep_current) + " after the sweeps, " + amperes(a.current) + " converged";
  if (a.distance == 0.0) return line;
  if (a.distance <= kConvergenceTolerance) return line + "; within 1 mV";
  if (e.kind == Kind::settled && e.more_sweeps > 0.0) {
    const long long n = std::llround(e.more_sweeps);
    return line + "; an estimated " + grouped(n) + (n == 1 ? " more sweep" : " more sweeps") + " for 1 mV";
  }
  return line + "; the sweeps still needed for 1 mV cannot be estimated from the changes";
}

void set_converged_tables_listener(ConvergedTablesListener listener) { g_tables = listener; }

void deliver_converged_tables() {
  if (!g_tables) return;
  const ConvergedAnswer& a = converged_answer();
  if (!a.found) {
    g_tables({}, {}, a.failure.empty() ? "the network was not solved" : "the direct solve was refused: " + a.failure);
    return;
  }
  const Grid& g = grid();
  BackgroundSolve& b = background();
  if (b.tables.valid()) {
    // Made beside the run from the answer it took: used when they are the
    // tables of this grid and its current (otherwise, or when they could
    // not be made, they are made again here).
    try {
      const ConvergedTables t = b.tables.get();
      if (t.made && b.taken && same_table_inputs(*b.grid, g) && t.with_current == a.with_current &&
          std::memcmp(&t.current, &a.current, sizeof t.current) == 0) {
        g_tables(t.volts, t.efield, t.failure);
        return;
      }
    } catch (const std::exception&) {
    }
  }
  const ConvergedTables t = converged_tables(g, a.potential, a.with_current, a.current);
  g_tables(t.volts, t.efield, t.failure);
}

}  // namespace kesto::solver
