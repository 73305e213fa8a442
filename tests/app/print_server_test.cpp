// Printing through a print scheduler, as a user with a printer prints: a
// batch run of the kesto executable picks the bar's Print or File > Print at
// the final map, and the test reads what the queue received (a PDF job): its
// pages, its paper, and where the picture's ink lies on the page. The
// scheduler is the test's own (support/print_server.h); when it cannot be
// started the tests are skipped with the reason.
#include <gtest/gtest.h>

#include <cstdio>

#include "program_run.h"
#include "support/print_server.h"

namespace fs = std::filesystem;
using namespace kesto::testing;

namespace {

const std::string kDeck = plate_deck("20", "10", false);

// A rectangle on the page in points, x from the left edge, y from the top.
struct Box {
  double left, top, right, bottom;
};

// The ink's bounding box of a one-page PDF, measured by Ghostscript (which
// gives it from the bottom edge); page_height turns it to the top edge.
bool ink_box(const fs::path& pdf, double page_height, Box& box, std::string& said) {
  const ToolRun t = run_tool("gs -q -dNOPAUSE -dBATCH -sDEVICE=bbox " + shell_quote(pdf.string()));
  said = t.output;
  const std::size_t at = said.find("%%HiResBoundingBox:");
  double llx = 0, lly = 0, urx = 0, ury = 0;
  if (t.status != 0 || at == std::string::npos ||
      std::sscanf(said.c_str() + at, "%%%%HiResBoundingBox: %lf %lf %lf %lf", &llx, &lly, &urx, &ury) != 4)
    return false;
  box = {llx, page_height - ury, urx, page_height - lly};
  return true;
}

class PrintServer : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!server_.start(why)) GTEST_SKIP() << "the test's own print scheduler could not be started: " << why;
  }

  // A run of the small deck that takes `steps` at the final map, with Page
  // Setup's margins and width in its settings file.
  ProgramRun run(const std::string& name, const std::string& steps, int landscape) {
    const fs::path dir = fresh_dir(name);
    write_file(dir / "plate.txt", kDeck);
    write_file(dir / "run.script", "key F10\nkey Enter\n" + steps + "\n");
    write_file(dir / "config" / "verudo.ini",
               "[Printer]\nPageLeftMargin=100\nPageTopMargin=50\nPageWidth=600\nLandscapePrinter=" +
                   std::to_string(landscape) + "\n");
    return run_kesto(dir, {"--batch", "plate", "--script", "run.script"}, {server_.environment()});
  }

  PrivatePrintServer server_;
};

// Page Setup: 1.00 inch from the left, 0.50 from the top, 6.00 wide; the
// picture is then 432 x 308.57 points, turned on its side in landscape.
TEST_F(PrintServer, EachPrintCommandSendsOnePageOfTheQueuesPaperWithThePictureInPageSetupsBox) {
  const struct {
    const char* name;
    const char* steps;
    const char* paper;
    int landscape;
    const char* page_size;  // as pdfinfo names it
    double page_height;
    Box picture;
  } cases[] = {
      {"bar", "menu 6", "A4", 0, "595 x 842 pts (A4)", 842, {72, 36, 504, 344.57}},
      {"dialog", "menu 3\nanswer ok", "Letter", 1, "612 x 792 pts (letter)", 792, {36, 72, 344.57, 504}},
  };
  for (const auto& c : cases) {
    const std::string queue = std::string("kesto_") + c.name;
    const ToolRun added = server_.add_queue(queue, c.paper);
    ASSERT_EQ(added.status, 0) << added.output;
    const ProgramRun r = run(c.name, c.steps, c.landscape);
    ASSERT_EQ(r.status, 0) << c.name << "\n" << r.out << r.err;
    EXPECT_EQ(r.err.find("Error accessing printer"), std::string::npos) << c.name << r.err;
    ASSERT_TRUE(server_.wait_until_idle()) << c.name << server_.run("lpstat -o").output;
    EXPECT_EQ(server_.jobs("completed", queue), 1) << c.name << server_.said();

    const fs::path job = server_.job_file(queue);
    const ToolRun info = run_tool("pdfinfo " + shell_quote(job.string()) + " | tr -s ' '");
    EXPECT_NE(info.output.find("Pages: 1\n"), std::string::npos) << c.name << info.output;
    EXPECT_NE(info.output.find(std::string("Page size: ") + c.page_size), std::string::npos) << c.name << info.output;

    Box ink{};
    std::string said;
    ASSERT_TRUE(ink_box(job, c.page_height, ink, said)) << c.name << said;
    // Inside the picture's box (half a point for the pen), and filling it.
    EXPECT_GE(ink.left, c.picture.left - 0.5) << c.name << said;
    EXPECT_GE(ink.top, c.picture.top - 0.5) << c.name << said;
    EXPECT_LE(ink.right, c.picture.right + 0.5) << c.name << said;
    EXPECT_LE(ink.bottom, c.picture.bottom + 0.5) << c.name << said;
  }
}

TEST_F(PrintServer, CancelledPrintDialogSendsNoJob) {
  ASSERT_EQ(server_.add_queue("kesto", "A4").status, 0);
  const ProgramRun r = run("cancelled", "menu 3\nanswer cancel", 0);
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(server_.jobs("all"), 0);
  EXPECT_FALSE(fs::exists(server_.job_file("kesto")));
}

// A scheduler without a single queue: both print commands say so in a box
// (on standard error in batch mode), send nothing, and the run goes on.
TEST_F(PrintServer, WithoutAQueueBothCommandsSayErrorAccessingPrinter) {
  const ProgramRun r = run("no_queue", "menu 6\nmenu 3\nanswer ok", 0);
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(occurrences(r.err, "kesto: Error: Error accessing printer\n"), 2) << r.err;
  EXPECT_EQ(server_.jobs("all"), 0);
  EXPECT_NE(r.out.find("The output files are:"), std::string::npos) << r.out;
}

}  // namespace
