// The sweep kernel forced through the environment (KESTO_SWEEP_KERNEL), and
// the program's portability: only the vector kernels, which run where the
// processor has their instructions, use more than the x86-64 baseline.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "app/sweep_kernel_choice.h"
#include "solver/sweep_kernels.h"
#include "program_run.h"

using namespace kesto;
using solver::SweepKernel;

TEST(SweepKernelChoice, TheNamedKernelIsUsedAndAnUnknownNameChangesNothing) {
  std::string error;
  EXPECT_TRUE(app::choose_sweep_kernel(nullptr, error));
  EXPECT_TRUE(app::choose_sweep_kernel("", error));
  EXPECT_EQ(solver::sweep_kernel(), solver::fastest_sweep_kernel());
  const std::vector<std::pair<const char*, SweepKernel>> named = {
      {"plain", SweepKernel::plain}, {"scalar", SweepKernel::scalar}, {"sse2", SweepKernel::sse2}};
  SweepKernel last = solver::sweep_kernel();
  for (const auto& [name, kernel] : named) {
#if !defined(__x86_64__)
    if (kernel == SweepKernel::sse2) continue;
#endif
    EXPECT_TRUE(app::choose_sweep_kernel(name, error)) << name;
    EXPECT_EQ(solver::sweep_kernel(), kernel) << name;
    last = kernel;
  }
  EXPECT_EQ(error, "");
  EXPECT_FALSE(app::choose_sweep_kernel("Plain", error));
  EXPECT_EQ(error.rfind("KESTO_SWEEP_KERNEL=Plain names no sweep kernel this processor runs; it runs plain scalar", 0),
            0u)
      << error;
  EXPECT_EQ(solver::sweep_kernel(), last);
}

TEST(Portability, OnlyTheVectorKernelsUseAvxInstructions) {
#if defined(__x86_64__)
  if (std::system("command -v objdump > /dev/null 2>&1") != 0) GTEST_SKIP() << "objdump is not installed";
  // The functions of the program that contain a VEX- or EVEX-encoded
  // instruction (their mnemonics begin with v), one a line, without the
  // suffix of a copy the optimiser specialised.
  const std::string command = std::string("objdump -d --no-show-raw-insn -C '") + KESTO_BINARY_DIR +
                              "/kesto' | awk '/^[0-9a-f]+ <.*>:$/ { f = $0 } $2 ~ /^v[a-z]/ { print f }' | "
                              "sed 's/^[0-9a-f]* //; s/ \\[clone [^]]*\\]//' | sort -u > vex_functions.txt";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::set<std::string> functions;
  std::istringstream lines(kesto::testing::read_file("vex_functions.txt"));
  for (std::string line; std::getline(lines, line);) functions.insert(line);
  EXPECT_EQ(functions,
            (std::set<std::string>{"<kesto::solver::sweep_wavefront_avx2(kesto::solver::WavefrontLayout&, bool)>:",
                                   "<kesto::solver::sweep_wavefront_avx512(kesto::solver::WavefrontLayout&, bool)>:",
                                   "<kesto::solver::sweep_wavefront_row_avx2(kesto::solver::WavefrontLayout&, int, bool)>:",
                                   "<kesto::solver::sweep_wavefront_row_avx512(kesto::solver::WavefrontLayout&, int, "
                                   "bool)>:"}));
#else
  GTEST_SKIP() << "the vector kernels exist on x86-64 only";
#endif
}
