// The sweep kernel forced through the environment (KESTO_SWEEP_KERNEL).
#include <gtest/gtest.h>

#include "app/sweep_kernel_choice.h"
#include "solver/sweep_kernels.h"

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
