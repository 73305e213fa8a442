// Every example deck runs through the solver's phases; the results obey the
// physics they were written to show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <vector>

#include "solver/deck_check.h"
#include "solver/grid.h"
#include "solver/solver_fixture.h"
#include "solver/sweep.h"
#include "solver/sweep_kernels.h"

using namespace kesto;
using namespace kesto::solver;
using namespace kesto::testing;
namespace fs = std::filesystem;

namespace {

const fs::path kExamples = fs::path(KESTO_SOURCE_DIR) / "examples";

std::vector<std::string> example_names() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(kExamples))
    if (e.path().extension() == ".txt") names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Copies the example next to the test and runs the phases on it.
Captured run_example(const std::string& name) {
  fresh_run_state();
  fs::copy_file(kExamples / name, name, fs::copy_options::overwrite_existing);
  grid().DECK_NAME = common::pad(name, 14);
  return run_captured(solver_phases);
}

}  // namespace

TEST(Examples, EveryDeckRunsAndWritesBothTables) {
  const auto names = example_names();
  ASSERT_GE(names.size(), 4u);
  for (const auto& name : names) {
    SCOPED_TRACE(name);
    EXPECT_LE(name.size(), 14u);
    const auto c = run_example(name);
    ASSERT_FALSE(c.ended) << c.pages;
    const Grid& g = grid();
    const std::size_t data = static_cast<std::size_t>(g.NX) * (g.NY + 1);
    EXPECT_EQ(split_lines(read_file("VOLTS.TBL")).size(), (g.CURRENT_SET ? 33u : 31u) + data);
    EXPECT_EQ(split_lines(read_file("EFIELD.TBL")).size(), 31u + data);
    EXPECT_EQ(c.pages.find("The current flow is ") != std::string::npos, g.CURRENT_SET == 1);
    // Every free cell is a weighted mean of its neighbours, so the potential
    // stays within the range of the fixed potentials.
    const float slack = 1e-4f * (g.VMAX - g.VMIN);
    for (int I = 1; I <= g.NX; ++I)
      for (int J = 1; J <= g.NY; ++J) {
        ASSERT_GE(g.V[I][J], g.VMIN - slack) << I << "," << J;
        ASSERT_LE(g.V[I][J], g.VMAX + slack) << I << "," << J;
      }
    EXPECT_LT(g.VMIN, g.VMAX);
  }
}

TEST(Examples, DemoUsesTheWholeGridAndEveryKindOfCell) {
  ASSERT_FALSE(run_example("DEMO.txt").ended);
  const Grid& g = grid();
  EXPECT_EQ(g.NX, MAXNX);
  EXPECT_EQ(g.NY, MAXNY);
  EXPECT_EQ(g.NSTEP, 1000);
  EXPECT_EQ(g.NUPD, 100);
  EXPECT_EQ(g.CURRENT_SET, 1);
  EXPECT_LT(g.VMIN, 0.0f);
  int insulators = 0, electrodes = 0, grounded = 0;
  std::vector<float> resistivities;
  for (int I = 1; I <= g.NX; ++I)
    for (int J = 1; J <= g.NY; ++J) {
      if (g.FIXED[I][J] == 1) {
        (g.V[I][J] != 0.0f ? electrodes : grounded)++;
      } else if (g.RHO[I][J] == INSULATOR_RHO) {
        ++insulators;
      } else if (std::find(resistivities.begin(), resistivities.end(), g.RHO[I][J]) == resistivities.end()) {
        resistivities.push_back(g.RHO[I][J]);
      }
    }
  EXPECT_GT(insulators, 0);
  EXPECT_GT(electrodes, 0);
  EXPECT_GT(grounded, 0);
  EXPECT_GE(resistivities.size(), 2u);
}

TEST(Examples, StripIsLinearAndCarriesTheCurrentItsCommentsPredict) {
  ASSERT_FALSE(run_example("strip.txt").ended);
  const Grid& g = grid();
  for (int I = 2; I <= 59; ++I)
    for (int J = 3; J <= 10; ++J) EXPECT_NEAR(g.V[I][J], 10.0 * (I - 2) / 57.0, 2e-3) << I << "," << J;
  EXPECT_NEAR(g.CURRENT_AMPS, -0.001 * 8 * (2.0 / 2.0) * 10.0 / 57.0, 2e-6);
}

TEST(Examples, EveryKernelMatchesThePlainLoopOnEveryDeck) {
  for (const auto& name : example_names()) {
    SCOPED_TRACE(name);
    fresh_run_state();
    fs::copy_file(kExamples / name, name, fs::copy_options::overwrite_existing);
    grid().DECK_NAME = common::pad(name, 14);
    ASSERT_FALSE(run_captured(READ_DECK).ended);
    SET_CONDUCTANCES();
    const std::size_t n = sizeof grid().V / sizeof(float);
    std::vector<float> start(&grid().V[0][0], &grid().V[0][0] + n), plain;
    for (int s = 0; s < 25; ++s) sweep_plain();
    plain.assign(&grid().V[0][0], &grid().V[0][0] + n);
    for (const SweepKernel kernel : runnable_sweep_kernels()) {
      std::memcpy(&grid().V[0][0], start.data(), n * sizeof(float));
      use_sweep_kernel(kernel);
      for (int s = 0; s < 25; ++s) sweep_held();
      sync_potentials();
      EXPECT_EQ(std::memcmp(plain.data(), &grid().V[0][0], n * sizeof(float)), 0) << sweep_kernel_name(kernel);
    }
    use_sweep_kernel(fastest_sweep_kernel());
  }
}

// The check finds nothing in an example deck but the warnings its comments
// explain: DEMO and rings say why their sweeps suffice for what they show.
TEST(Examples, CheckReportsOnlyTheWarningsTheCommentsExplain) {
  const std::map<std::string, std::vector<std::string>> explained = {
      {"DEMO.txt", {"  line 70: NSTEP 1000 may be too few sweeps to settle"}},
      {"plate.txt", {}},
      {"rings.txt", {"  line 23: NSTEP 2000 may be too few sweeps to settle"}},
      {"strip.txt", {}},
  };
  ASSERT_EQ(example_names().size(), explained.size());
  for (const auto& [name, warnings] : explained) {
    SCOPED_TRACE(name);
    fresh_run_state();
    fs::copy_file(kExamples / name, name, fs::copy_options::overwrite_existing);
    std::ostringstream out;
    EXPECT_EQ(check_deck(name, out), warnings.empty() ? 0 : 1);
    std::vector<std::string> found;
    for (const auto& row : split_lines(out.str()))
      if (row.starts_with("  line ")) found.push_back(row.substr(0, row.find(" to settle") + 10));
    EXPECT_EQ(found, warnings) << out.str();
  }
}
