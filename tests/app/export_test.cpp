// The batch mode's export of the demonstration deck's final picture in five
// formats, each read back by a tool this project did not write; and the
// export's failure paths.
#include <gtest/gtest.h>

#include <QImage>
#include <set>

#include "program_run.h"
#include "support/external_tool.h"

namespace fs = std::filesystem;
using namespace kesto::testing;

namespace {

bool bluish(const QColor& c) { return c.blue() > 200 && c.red() < 60; }
bool reddish(const QColor& c) { return c.red() > 200 && c.blue() < 60; }

}  // namespace

TEST(BatchExport, DemoPictureInFiveFormatsThatOtherToolsRead) {
  const fs::path dir = fresh_dir("export");
  const ProgramRun r = run_kesto(dir, {"--batch", std::string(KESTO_SOURCE_DIR) + "/examples/DEMO", "--export", "out"});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  const fs::path out = dir / "out";
  ASSERT_EQ(files_in(out), (std::set<std::string>{"potential.emf", "potential.eps", "potential.pdf", "potential.tif",
                                                  "potential.wmf"}));
  const std::string at = "cd " + shell_quote(out.string()) + " && ";

  // Ghostscript renders the PostScript at 72 dots to the inch on the 469 x
  // 335 bounding box: the colour bar runs from blue at its left end to red at
  // its right, under the map.
  ToolRun t = run_tool(at +
                       "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r72 -dEPSCrop -sOutputFile=eps.png "
                       "potential.eps");
  ASSERT_EQ(t.status, 0) << t.output;
  const QImage eps(QString::fromStdString((out / "eps.png").string()));
  ASSERT_EQ(eps.size(), QSize(469, 335));
  EXPECT_TRUE(bluish(eps.pixelColor(20, 305))) << eps.pixelColor(20, 305).name().toStdString();
  EXPECT_TRUE(reddish(eps.pixelColor(449, 305))) << eps.pixelColor(449, 305).name().toStdString();
  EXPECT_EQ(eps.pixelColor(234, 1), QColor(255, 255, 255));  // above the page's frame

  // The TIFF, and the EPS file's preview, which is the same picture.
  t = run_tool(at +
               "tiffinfo potential.tif && epstool --extract-preview potential.eps preview.tif && tiffinfo "
               "preview.tif && cmp potential.tif preview.tif");
  EXPECT_EQ(t.status, 0) << t.output;
  EXPECT_EQ(occurrences(t.output, "Image Width: 1400 Image Length: 1000"), 2) << t.output;

  // The metafiles converted to SVG: every cell of the 250 x 110 map and the
  // bar's blue and red ends.
  t = run_tool(at + "wmf2svg -o wmf.svg potential.wmf");
  ASSERT_EQ(t.status, 0) << t.output;
  const std::string wmf = file_text((out / "wmf.svg").string());
  EXPECT_GE(occurrences(wmf, "<rect"), 250 * 110);
  EXPECT_GT(occurrences(wmf, "fill:blue"), 0);
  EXPECT_GT(occurrences(wmf, "fill:red"), 0);
  t = run_tool(at + "emf2svg-conv -i potential.emf -o emf.svg");
  ASSERT_EQ(t.status, 0) << t.output;
  const std::string emf = file_text((out / "emf.svg").string());
  EXPECT_GE(occurrences(emf, "<rect"), 250 * 110);
  EXPECT_GT(occurrences(emf, "fill=\"#0008FC\""), 0);  // the bar's first step
  EXPECT_GT(occurrences(emf, "fill=\"#FC1000\""), 0);  // and its last

  // One US Letter page.
  t = run_tool(at + "pdfinfo potential.pdf | tr -s ' '");
  EXPECT_NE(t.output.find("Pages: 1\n"), std::string::npos) << t.output;
  EXPECT_NE(t.output.find("Page size: 612 x 792 pts (letter)"), std::string::npos) << t.output;
}

TEST(BatchExport, NothingToExportOrNowhereToWriteIsSaid) {
  const fs::path dir = fresh_dir("noexport");
  write_file(dir / "bad.txt", "SPACE 2 2\nEN\n");  // a deck error before any picture
  ProgramRun r = run_kesto(dir, {"--batch", "bad", "--export", "out"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("the run showed no picture; nothing was exported"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir / "out"));

  write_file(dir / "plate.txt", "SPACE 8 6\nTHICK     0.001\nRESIS_B   2 2 7 5 1.0\nLI   3 2 3 5 5.0\nNST  3\nEN\n");
  write_file(dir / "taken", "a file, not a folder");
  r = run_kesto(dir, {"--batch", "plate", "--export", "taken"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "kesto: --export taken: not a directory\n");
  EXPECT_EQ(read_file(dir / "taken"), "a file, not a folder");
  // A folder that cannot be made: every file is named, and the run fails.
  r = run_kesto(dir, {"--batch", "plate", "--export", "taken/below"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(occurrences(r.err, "kesto: could not write the picture taken/below/potential."), 5) << r.err;
  EXPECT_EQ(occurrences(r.err, "(Not a directory)\n"), 5) << r.err;

  r = run_kesto(dir, {"plate", "--export", "out"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--export works in batch mode only"), std::string::npos);
}
