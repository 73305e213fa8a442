#include "solver/network_solve.h"

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kesto::solver {
namespace {

using Matrix = Eigen::SparseMatrix<double, Eigen::ColMajor, int>;
using Factor = Eigen::SimplicialLDLT<Matrix, Eigen::Lower, Eigen::AMDOrdering<int>>;

constexpr std::size_t kCells = static_cast<std::size_t>(sheet::MAXNX + 1) * (sheet::MAXNY + 1);

bool finite_positive(float g) { return std::isfinite(g) && g > 0.0f; }

// The four neighbours of a cell and the conductances of the links to them.
struct Links {
  std::int32_t I[4], J[4];
  double G[4];
};

Links links_of(const sheet::Grid& g, std::int32_t I, std::int32_t J) {
  return {{I - 1, I + 1, I, I},
          {J, J, J - 1, J + 1},
          {g.GX[I - 1][J], g.GX[I][J], g.GY[I][J - 1], g.GY[I][J]}};
}

}  // namespace

struct NetworkSolver::Network {
  const sheet::Grid* grid = nullptr;
  std::vector<std::int32_t> unknown;  // per cell index: its unknown, or -1 for a fixed cell
  std::vector<std::size_t> cell;      // per unknown: its cell index
  std::vector<double> scale;          // per unknown: 1 / sqrt(its diagonal)
  Eigen::VectorXd rhs;                // scaled right-hand side
  Matrix matrix;                      // scaled, lower triangle
  Factor factor;
  double low = 0.0, high = 0.0;  // range of the fixed potentials
};

NetworkSolver::NetworkSolver() : network_(std::make_unique<Network>()) {}
NetworkSolver::~NetworkSolver() = default;

bool NetworkSolver::set_up(const sheet::Grid& g, ConvergedPotential& result) {
  Network& n = *network_;
  n.grid = &g;
  n.unknown.assign(kCells, -1);
  n.cell.clear();
  result = ConvergedPotential{};
  bool any_fixed = false;
  for (std::int32_t I = 1; I <= g.NX; ++I)
    for (std::int32_t J = 1; J <= g.NY; ++J) {
      const std::size_t c = ConvergedPotential::index(I, J);
      if (g.FIXED[I][J] != 0) {
        const double v = g.V[I][J];
        n.low = any_fixed ? std::min(n.low, v) : v;
        n.high = any_fixed ? std::max(n.high, v) : v;
        any_fixed = true;
        continue;
      }
      if (I == 1 || I == g.NX || J == 1 || J == g.NY) {
        result.failure = "a free cell lies on the edge ring";
        return false;
      }
      n.unknown[c] = static_cast<std::int32_t>(n.cell.size());
      n.cell.push_back(c);
    }
  const std::int32_t unknowns = static_cast<std::int32_t>(n.cell.size());
  result.unknowns = unknowns;

  // Every free cell is joined to a fixed one: the free cell of a group of
  // free cells with the largest I has a right neighbour outside the group,
  // which is therefore fixed, and every link is a finite positive
  // conductance (checked here, as the run checks it before the sweeps). So
  // each group's equations reach a fixed potential and the matrix is
  // positive definite: the factorisation needs no pivoting.
  n.scale.assign(static_cast<std::size_t>(unknowns), 0.0);
  for (std::int32_t k = 0; k < unknowns; ++k) {
    const std::int32_t I = static_cast<std::int32_t>(n.cell[k] / (sheet::MAXNY + 1));
    const std::int32_t J = static_cast<std::int32_t>(n.cell[k] % (sheet::MAXNY + 1));
    const Links l = links_of(g, I, J);
    double diagonal = 0.0;
    for (int s = 0; s < 4; ++s) {
      if (!finite_positive(static_cast<float>(l.G[s]))) {
        result.failure = "a link conductance is not a finite positive number";
        return false;
      }
      diagonal += l.G[s];
    }
    n.scale[static_cast<std::size_t>(k)] = 1.0 / std::sqrt(diagonal);
  }
  std::vector<Eigen::Triplet<double, int>> entries;
  entries.reserve(static_cast<std::size_t>(unknowns) * 3);
  n.rhs = Eigen::VectorXd::Zero(unknowns);
  for (std::int32_t k = 0; k < unknowns; ++k) {
    const std::int32_t I = static_cast<std::int32_t>(n.cell[k] / (sheet::MAXNY + 1));
    const std::int32_t J = static_cast<std::int32_t>(n.cell[k] % (sheet::MAXNY + 1));
    const Links l = links_of(g, I, J);
    const double sk = n.scale[static_cast<std::size_t>(k)];
    entries.emplace_back(k, k, 1.0);
    for (int s = 0; s < 4; ++s) {
      const std::int32_t m = n.unknown[ConvergedPotential::index(l.I[s], l.J[s])];
      if (m < 0)
        n.rhs[k] += sk * l.G[s] * static_cast<double>(g.V[l.I[s]][l.J[s]]);
      else if (m > k)
        entries.emplace_back(m, k, -sk * l.G[s] * n.scale[static_cast<std::size_t>(m)]);
    }
  }
  n.matrix.resize(unknowns, unknowns);
  n.matrix.setFromTriplets(entries.begin(), entries.end());
  return true;
}

bool NetworkSolver::factorise(ConvergedPotential& result) {
  Network& n = *network_;
  n.factor.compute(n.matrix);
  if (n.factor.info() != Eigen::Success) {
    result.failure = "the factorisation of the network failed";
    return false;
  }
  result.smallest_pivot = n.cell.empty() ? 1.0 : n.factor.vectorD().minCoeff();
  if (!(result.smallest_pivot >= kSmallestPivot)) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "the conductances span too many decades for double precision (smallest pivot %.1E of the scaled "
                  "network)",
                  result.smallest_pivot);
    result.failure = text;
    return false;
  }
  return true;
}

bool NetworkSolver::solve(ConvergedPotential& result) {
  Network& n = *network_;
  const sheet::Grid& g = *n.grid;
  const std::size_t unknowns = n.cell.size();
  result.V.assign(kCells, 0.0);
  for (std::int32_t I = 1; I <= g.NX; ++I)
    for (std::int32_t J = 1; J <= g.NY; ++J) result.V[ConvergedPotential::index(I, J)] = g.V[I][J];
  if (unknowns == 0) {
    result.solved = true;
    return true;
  }

  // Each free cell's net current (the residual of its equation), and the
  // sum of the sizes of the currents it balances, in long double so that the
  // residual of a good solution is not lost in its own rounding.
  auto residuals = [&](Eigen::VectorXd& scaled, double& largest_relative) {
    largest_relative = 0.0;
    for (std::size_t k = 0; k < unknowns; ++k) {
      const std::int32_t I = static_cast<std::int32_t>(n.cell[k] / (sheet::MAXNY + 1));
      const std::int32_t J = static_cast<std::int32_t>(n.cell[k] % (sheet::MAXNY + 1));
      const Links l = links_of(g, I, J);
      const long double v = result.V[n.cell[k]];
      long double net = 0.0L, size = 0.0L;
      for (int s = 0; s < 4; ++s) {
        const long double w = result.V[ConvergedPotential::index(l.I[s], l.J[s])];
        net += l.G[s] * (w - v);
        size += l.G[s] * (std::fabs(w) + std::fabs(v));
      }
      scaled[static_cast<Eigen::Index>(k)] = static_cast<double>(net) * n.scale[k];
      if (net != 0.0L) largest_relative = std::max(largest_relative, static_cast<double>(std::fabs(net) / size));
    }
  };

  const Eigen::VectorXd y = n.factor.solve(n.rhs);
  if (n.factor.info() != Eigen::Success) {
    result.failure = "the solve of the factorised network failed";
    return false;
  }
  for (std::size_t k = 0; k < unknowns; ++k) result.V[n.cell[k]] = y[static_cast<Eigen::Index>(k)] * n.scale[k];

  // One step of refinement: the correction it makes is about the error of
  // the first solution, and the solution after it is the one kept.
  Eigen::VectorXd r(static_cast<Eigen::Index>(unknowns));
  double relative = 0.0;
  residuals(r, relative);
  const Eigen::VectorXd dy = n.factor.solve(r);
  double correction = 0.0;
  for (std::size_t k = 0; k < unknowns; ++k) {
    const double dv = dy[static_cast<Eigen::Index>(k)] * n.scale[k];
    result.V[n.cell[k]] += dv;
    correction = std::max(correction, std::fabs(dv));
  }
  if (!std::isfinite(correction)) correction = INFINITY;
  residuals(r, relative);
  result.residual = relative;
  result.correction = correction;

  const double range = n.high - n.low;
  bool inside = true;
  for (std::size_t k = 0; k < unknowns && inside; ++k) {
    const double v = result.V[n.cell[k]];
    inside = std::isfinite(v) && v >= n.low - kLargestResidual * range && v <= n.high + kLargestResidual * range;
  }
  if (!(relative <= kLargestResidual) || !(correction <= kLargestResidual * range) || !inside) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "the solution is not accurate enough (relative residual %.1E, refinement moved a cell by %.1E V)",
                  relative, correction);
    result.failure = text;
    result.V.clear();
    return false;
  }
  result.solved = true;
  return true;
}

std::size_t NetworkSolver::factor_bytes() const {
  const Network& n = *network_;
  const auto L = n.factor.matrixL().nestedExpression();
  return static_cast<std::size_t>(L.nonZeros()) * (sizeof(double) + sizeof(int)) +
         static_cast<std::size_t>(L.cols() + 1) * sizeof(int) + static_cast<std::size_t>(L.cols()) * sizeof(double);
}

ConvergedPotential solve_network(const sheet::Grid& g) {
  ConvergedPotential result;
  NetworkSolver solver;
  if (solver.set_up(g, result) && solver.factorise(result)) solver.solve(result);
  return result;
}

}  // namespace kesto::solver
