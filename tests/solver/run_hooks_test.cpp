// The hooks through which a run reaches the program it runs in. Every solver
// test runs with the hooks the program installs (batch mode's), as a run of
// the program does; this file installs them for the whole test program.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/batch_hooks.h"
#include "solver/run_hooks.h"

namespace {

class ProgramHooks : public ::testing::Environment {
 public:
  void SetUp() override { kesto::app::install_batch_hooks(); }
};
[[maybe_unused]] const auto* const kProgramHooks = ::testing::AddGlobalTestEnvironment(new ProgramHooks);

using namespace kesto::solver;

std::vector<std::string>& calls() {
  static std::vector<std::string> c;
  return c;
}

TEST(RunHooks, EachCallReachesItsHookAndAnUnsetOneDoesNothing) {
  const RunHooks saved = run_hooks();
  calls().clear();
  std::ostringstream pages;
  run_hooks() = RunHooks{};
  name_picture("geometry");
  forget_pages();
  leave_page();
  run_unattended(pages, [] { calls().push_back("body"); });  // runs as any other stretch
  EXPECT_EQ(calls(), std::vector<std::string>{"body"});

  calls().clear();
  run_hooks().picture_named = [](const std::string& name) { calls().push_back("named " + name); };
  run_hooks().pages_forgotten = [] { calls().push_back("forgotten"); };
  run_hooks().page_left = [] { calls().push_back("left"); };
  run_hooks().unattended = [](std::ostream& out, const std::function<void()>& body) {
    out << "unattended:";
    body();
  };
  name_picture("potential");
  forget_pages();
  leave_page();
  run_unattended(pages, [&] { pages << "body"; });
  EXPECT_EQ(calls(), (std::vector<std::string>{"named potential", "forgotten", "left"}));
  EXPECT_EQ(pages.str(), "unattended:body");
  run_hooks() = saved;
}

}  // namespace
