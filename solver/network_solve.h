// The converged potential of the sheet: the resistor network that the sweeps
// relax, solved directly. One unknown per free interior cell; each link
// carries the conductance GX or GY that SET_CONDUCTANCES gave it (a single-
// precision value, taken exactly into double); fixed cells (the electrodes
// and the edge ring) enter the right-hand side at their potentials. Every
// free cell's equation says that the currents of its four links sum to zero:
//   (sum of the four G) V(I,J) - sum of G x V(neighbour) = 0,
// a symmetric positive definite system with five entries a row, factorised
// by a sparse Cholesky (LDL^T) in double precision after a symmetric scaling
// to a unit diagonal. The sparse library stays behind this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sheet/cell_grid.h"

namespace kesto::solver {

// The direct solution of a grid's network, or why there is none.
struct ConvergedPotential {
  bool solved = false;
  std::string failure;        // when not solved: what went wrong, in words
  std::int32_t unknowns = 0;  // free cells solved for
  double residual = 0.0;      // largest relative residual of any free cell's equation
  double correction = 0.0;    // largest change (V) one step of refinement made
  double smallest_pivot = 0.0;  // smallest pivot of the factor of the scaled system (its diagonal is 1)
  std::vector<double> V;      // every cell's potential, at index(I, J); fixed cells keep theirs

  static std::size_t index(std::int32_t I, std::int32_t J) {
    return static_cast<std::size_t>(I) * (sheet::MAXNY + 1) + static_cast<std::size_t>(J);
  }
  double at(std::int32_t I, std::int32_t J) const { return V[index(I, J)]; }
};

// A solution is refused when a free cell's equation is off by more than this
// fraction of the currents it balances (its relative residual), or when one
// step of refinement moves a cell by more than this fraction of the range of
// the fixed potentials: the answer would not be the network's.
constexpr double kLargestResidual = 1.0E-9;
// A factorisation is refused when a pivot of the scaled system falls below
// this: the cell's own conductance has cancelled down to what is left over
// for the links that hold its group of cells to the fixed potentials, and
// fewer than six of the sixteen digits of double precision remain for it. A
// well conducting group of cells held only by links many decades weaker (an
// island of 1E-36 ohm-metres in a sheet of 1E37) does this; every row's
// residual can then be small while the group's potential is wrong.
constexpr double kSmallestPivot = 1.0E-10;

// The steps of the solve, apart, for measuring them.
class NetworkSolver {
 public:
  NetworkSolver();
  ~NetworkSolver();
  NetworkSolver(const NetworkSolver&) = delete;
  NetworkSolver& operator=(const NetworkSolver&) = delete;

  // The system of `g` (its conductances already set); false, with the
  // reason in `result.failure`, when a link of a free cell is not a finite
  // positive number or a free cell lies on the edge ring.
  bool set_up(const sheet::Grid& g, ConvergedPotential& result);
  // The ordering and the factorisation; false when the factorisation fails.
  bool factorise(ConvergedPotential& result);
  // The solution, checked (residual and one step of refinement) and stored
  // in `result`; false when it is refused.
  bool solve(ConvergedPotential& result);
  // Bytes the factor holds (its non-zero values and their row numbers).
  std::size_t factor_bytes() const;

 private:
  struct Network;
  std::unique_ptr<Network> network_;
};

// All three steps: the converged potential of `g`'s network.
ConvergedPotential solve_network(const sheet::Grid& g);

}  // namespace kesto::solver
