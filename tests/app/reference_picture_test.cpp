// The demonstration deck's pictures, made by a batch run, compared pixel for
// pixel with reference pictures that were made once and checked by eye
// (tests/app/reference/). A change in any layer that draws them (the maps,
// the legend, the colour bar's ticks and labels, the stroke font, the
// palettes, the pixel rules) shows up here.
#include <gtest/gtest.h>

#include <QImage>

#include "program_run.h"

namespace fs = std::filesystem;
using namespace kesto::testing;

namespace {

// Number of pixels that differ between two pictures of the same size.
long differing_pixels(const QImage& a, const QImage& b) {
  long n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

}  // namespace

TEST(ReferencePictures, DemoGeometryAndFinalMapMatchTheReferences) {
  const fs::path dir = fresh_dir("reference");
  const ProgramRun r =
      run_kesto(dir, {"--batch", std::string(KESTO_SOURCE_DIR) + "/examples/DEMO", "--pictures", "out"});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  for (const char* name : {"geometry", "potential"}) {
    const QImage made = QImage(QString::fromStdString((dir / "out" / (std::string(name) + ".png")).string()))
                            .convertToFormat(QImage::Format_RGB32);
    const QImage reference =
        QImage(QString::fromStdString(
                   std::string(KESTO_SOURCE_DIR).append("/tests/app/reference/demo_").append(name).append(".png")))
            .convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(made.isNull()) << name;
    ASSERT_FALSE(reference.isNull()) << name;
    ASSERT_EQ(made.size(), reference.size()) << name;
    EXPECT_EQ(differing_pixels(made, reference), 0) << name << ": the picture differs from its reference";
  }
}
