// The converged answer beside the run's own: the network is solved directly
// (network_solve.h), beside the sweeps or after them, and the run learns exactly
// how far its NSTEP potential is from the converged one, the converged
// current through the current line, and, for whoever asks, the two tables of
// the converged potential. The run's own potentials, pages, pictures and
// tables are never touched by it.
#pragma once

#include <cstdint>
#include <string>

#include "solver/convergence.h"
#include "solver/network_solve.h"

namespace kesto::solver {

struct ConvergedAnswer {
  bool found = false;            // the direct solve succeeded
  std::string failure;           // why not, when it did not
  ConvergedPotential potential;  // the converged potential
  double distance = 0.0;         // largest |V after NSTEP sweeps - converged V| of any cell (V)
  std::int32_t I = 0, J = 0;     // the first cell where it occurs (I outer, J inner)
  double range = 0.0;            // largest minus smallest converged potential (V)
  bool with_current = false;     // the deck has a CURRENT line
  float nstep_current = 0.0f;    // its current after the sweeps (A), as the run shows it
  double current = 0.0;          // ... and from the converged potential (A)
};

// The run's converged answer.
ConvergedAnswer& converged_answer();
// Whether the runs solve the network at all (someone reads the answer: the
// convergence line is shown, or the converged tables are asked for); off
// until the program turns it on. Turning it off waits for a solve still
// running beside a run that ended early.
void want_converged_answer(bool wanted);
bool converged_answer_wanted();

// Once the deck is read: when the answer is wanted and the process may use
// more than one core, the network is solved on a thread of its own, from a
// copy of the grid given the conductances SET_CONDUCTANCES will give it,
// while the run goes on to its sweeps (which leave that core to it
// meanwhile). The answer is the same as one solved afterwards. When someone
// takes the converged tables, that thread goes on to make them once it has
// given the answer, while the run makes its own.
void start_converged_answer();

// After the last sweep, the grid's potentials up to date: the answer for the
// grid, when wanted (otherwise it stays empty). It takes the solve started
// before the sweeps when that solved this grid's network (its conductances,
// fixed cells and their potentials are still the same), waiting for it if
// need be; otherwise it solves the network now.
void find_converged_answer();

// The exact convergence line: the last sweep's change (from `e`), the
// distance from the converged potential with its share of the range and its
// cell, the two currents when there is a current line, and the sweeps still
// needed for 1 mV as `e` estimates them.
std::string exact_convergence_line(const ConvergenceEstimate& e, const ConvergedAnswer& a);

// Who receives the converged tables: the texts of VOLTS.TBL and EFIELD.TBL,
// or (both empty) the reason there are none.
using ConvergedTablesListener = void (*)(const std::string& volts, const std::string& efield,
                                         const std::string& failure);
void set_converged_tables_listener(ConvergedTablesListener listener);
// After the run's own tables: the converged tables to the listener, if any
// (those made beside the run when they are this grid's, otherwise made now).
void deliver_converged_tables();

}  // namespace kesto::solver
