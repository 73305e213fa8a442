// The table files: their exact text (header, settings, coordinates, values,
// CR LF line ends), the line counts, and failed writes that must leave an
// earlier table untouched.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>

#include "common/file_replacing.h"
#include "common/fortran_format.h"
#include "solver/grid.h"
#include "solver/solver_fixture.h"
#include "solver/table_writer.h"

using namespace kesto;
using namespace kesto::solver;
using namespace kesto::testing;
namespace fs = std::filesystem;

namespace {

bool no_temporary_here() {
  for (const auto& e : fs::directory_iterator("."))
    if (e.path().extension() == ".tmp") return false;
  return true;
}

std::string crlf(std::initializer_list<std::string> ls) {
  std::string s;
  for (const auto& l : ls) s += l + "\r\n";
  return s;
}

// A 4 x 4 sheet with 1 m cells: a -5 V and a 12.5 V cell, some field.
void small_sheet() {
  fresh_run_state();
  Grid& g = grid();
  g.NX = 4;
  g.NY = 4;
  g.DX = 1.0f;
  g.HALFDX = 0.5f;
  g.DECK_NAME = common::pad("tiny.txt", 14);
  g.V[2][2] = -5.0f;
  g.V[3][3] = 12.5f;
  g.V[2][3] = 0.00123f;
  g.EMAG[2][3] = 123456.0f;
  g.EMAG[3][2] = 7.5f;
}

const std::string kVoltsHeader = crlf({
    "VOLTS.TBL     ",
    "CM",
    "CM",
    "CM TBL FILE CREATED BY PROGRAM KESTO",
    "CM",
    "CM",
    "CM Input File: tiny.txt      ",
    "CM",
    "CM This file contains the scalar potential.",
    "CM",
    "CM",
    "CM",
});

const std::string kVoltsSettings = crlf({
    "CM",
    "COLOR HOT-SCALE SPECTRUM",
    "ZTITLE        Scalar Potential (volts)        ",
    "TFLAG     0",
    "XLABEL    0.00000.1000             1         4",
    "YLABEL    0.00000.1000             1         4",
    "ZLABEL    0.0000 10.00             0         4",
    "ZSCALE    LINEAR0.0000    0.0000     100.0     100.0     20.00",
    "MODE      2",
    "CONDEL 20.00        0.0000         6",
    "BOXES   300  200",
    "YDIRN    UP",
    "CLRCTL 33.54    0.3333     66.77    0.6667    ",
    "SQUARE    1",
    "CM  ",
    "CM ",
    "XTITLE         Distance in x (cm)",
    "YTITLE         Distance in y (cm) ",
    "END  ",
});

}  // namespace

TEST(VoltsTable, WholeFileOfASmallSheet) {
  small_sheet();
  const auto c = run_captured(WRITE_VOLTS);
  ASSERT_FALSE(c.ended) << c.pages;
  const std::string data = crlf({
      " 0.5000E+02",
      " 0.5000E+02 0.0000E+00",
      " 0.1500E+03 0.0000E+00",
      " 0.2500E+03 0.0000E+00",
      " 0.3500E+03 0.0000E+00",
      " 0.1500E+03",
      " 0.5000E+02 0.0000E+00",
      " 0.1500E+03-0.5000E+01",
      " 0.2500E+03 0.1230E-02",
      " 0.3500E+03 0.0000E+00",
      " 0.2500E+03",
      " 0.5000E+02 0.0000E+00",
      " 0.1500E+03 0.0000E+00",
      " 0.2500E+03 0.1250E+02",
      " 0.3500E+03 0.0000E+00",
      " 0.3500E+03",
      " 0.5000E+02 0.0000E+00",
      " 0.1500E+03 0.0000E+00",
      " 0.2500E+03 0.0000E+00",
      " 0.3500E+03 0.0000E+00",
  });
  EXPECT_EQ(read_file("VOLTS.TBL"), kVoltsHeader + kVoltsSettings + data);
}

TEST(VoltsTable, CurrentLinesOnlyWithACurrentLine) {
  small_sheet();
  grid().CURRENT_SET = 1;
  grid().CURRENT_AMPS = 0.0125f;
  run_captured(WRITE_VOLTS);
  const std::string text = read_file("VOLTS.TBL");
  const std::string current = crlf({"CM The current in the resistor is   0.1250000E-01 amps.", "CM"});
  EXPECT_EQ(text.substr(0, kVoltsHeader.size() + current.size() + kVoltsSettings.size()),
            kVoltsHeader + current + kVoltsSettings);
  EXPECT_EQ(split_lines(text).size(), 33u + 4 * 5);

  grid().CURRENT_AMPS = -3.5E-7f;
  run_captured(WRITE_VOLTS);
  EXPECT_NE(read_file("VOLTS.TBL").find("CM The current in the resistor is  -0.3500000E-06 amps.\r\n"),
            std::string::npos);
}

TEST(EfieldTable, HeaderAndValuesInMegavoltsPerMetre) {
  small_sheet();
  grid().CURRENT_SET = 1;  // never in the field table
  const auto c = run_captured(WRITE_EFIELD);
  ASSERT_FALSE(c.ended) << c.pages;
  const std::string text = read_file("EFIELD.TBL");
  const std::string header = crlf({
      "EFIELD.TBL    ",
      "CM",
      "CM",
      "CM TBL FILE CREATED BY PROGRAM KESTO",
      "CM",
      "CM",
      "CM Input File: tiny.txt      ",
      "CM",
      "CM This file contains the magnitude of the electric field vector.",
      "CM",
      "CM",
      "CM",
      "CM",
      "SQUARE    1",
      "COLOR HOT-SCALE SPECTRUM",
      "ZTITLE  Electric Field (megavolts/meter)",
      "TFLAG     0",
      "XLABEL    0.00000.1000             1         4",
      "YLABEL    0.00000.1000             1         4",
      "ZLABEL    0.00000.2000E-01         2         3",
      "ZSCALE    LINEAR0.4307E-030.4307E-030.1362    0.1362     20.00    ",
      "MODE      0",
      "CONDEL0.2000        0.0000         6",
      "BOXES   300  200",
      "YDIRN    UP",
      "CLRCTL0.4569E-010.3333    0.9094E-010.6667    ",
      "CM  ",
      "CM ",
      "XTITLE         Distance in x (cm) ",
      "YTITLE         Distance in y (cm) ",
      "END  ",
  });
  EXPECT_EQ(text.substr(0, header.size()), header);
  const auto rows = split_lines(text);
  ASSERT_EQ(rows.size(), 31u + 4 * 5);
  EXPECT_EQ(rows[31 + 5 + 3], " 0.2500E+03 0.1235E+00\r");  // 123456 V/m
  EXPECT_EQ(rows[31 + 10 + 2], " 0.1500E+03 0.7500E-05\r");
  EXPECT_EQ(rows[31 + 1], " 0.5000E+02 0.0000E+00\r");  // edge cells carry no field
}

TEST(Tables, CoordinatesAreCellCentresInCentimetres) {
  fresh_run_state();
  Grid& g = grid();
  g.NX = 250;
  g.NY = 110;
  g.DX = 0.01f;
  g.HALFDX = 0.005f;
  run_captured(WRITE_VOLTS);
  const auto rows = split_lines(read_file("VOLTS.TBL"));
  ASSERT_EQ(rows.size(), 31u + 250 * 111);
  EXPECT_EQ(rows[31], " 0.5000E+00\r");
  EXPECT_EQ(rows[32], " 0.5000E+00 0.0000E+00\r");
  EXPECT_EQ(rows[33], " 0.1500E+01 0.0000E+00\r");
  EXPECT_EQ(rows[31 + 249 * 111], " 0.2495E+03\r");                        // last column, x = 249.5 cm
  EXPECT_EQ(rows[31 + 249 * 111 + 110], " 0.1095E+03 0.0000E+00\r");       // its top cell
  for (const auto& r : rows) ASSERT_TRUE(!r.empty() && r.back() == '\r');  // every line ends in CR LF
}

TEST(Tables, ShortDeckNameIsPaddedTo14) {
  small_sheet();
  grid().DECK_NAME = common::pad("a.txt", 14);
  run_captured(WRITE_VOLTS);
  EXPECT_EQ(split_lines(read_file("VOLTS.TBL"))[6], "CM Input File: a.txt         \r");
}

TEST(Tables, AnOlderLongerFileIsReplacedWhole) {
  small_sheet();
  write_file("VOLTS.TBL", std::string(100000, '#'));
  run_captured(WRITE_VOLTS);
  EXPECT_EQ(fs::file_size("VOLTS.TBL"), read_file("VOLTS.TBL").size());
  EXPECT_EQ(read_file("VOLTS.TBL").find('#'), std::string::npos);
  EXPECT_TRUE(no_temporary_here());
}

// ---- Failed writes ------------------------------------------------------------------------

namespace {

const std::string kOld = "an earlier table\r\n";

void expect_write_failed(const Captured& c, const std::string& name, const std::string& reason) {
  EXPECT_TRUE(c.ended);
  EXPECT_EQ(c.how, common::RunEnded::Kind::fatal);
  const std::string page = "\n\nFatal error: the output file " + name + " could not be written.\n\n" +
                           "The system reports: " + reason + "\n\nAn earlier file of this name is left unchanged.\n\n" +
                           "Press any key to continue...\n";
  EXPECT_NE(c.pages.find(page), std::string::npos) << c.pages;
}

}  // namespace

// The pair is renamed only when both are written: a field table that cannot
// be written leaves the earlier potential table beside the earlier field.
TEST(TableWriteFails, TheSecondTableFailingKeepsTheEarlierPair) {
  small_sheet();
  write_file("VOLTS.TBL", kOld);
  fs::create_directories("EFIELD.TBL/inside");
  const auto c = run_captured([] { write_tables(); });
  expect_write_failed(c, "EFIELD.TBL", "Is a directory");
  EXPECT_EQ(read_file("VOLTS.TBL"), kOld);
  EXPECT_TRUE(no_temporary_here());
}

TEST(TableWriteFails, PairIntoAnotherFolder) {
  small_sheet();
  fs::create_directory("out");
  run_captured([] { write_tables("out"); });
  EXPECT_EQ(split_lines(read_file("out/VOLTS.TBL"))[0], "VOLTS.TBL     \r");
  EXPECT_EQ(split_lines(read_file("out/EFIELD.TBL"))[0], "EFIELD.TBL    \r");
  EXPECT_FALSE(fs::exists("VOLTS.TBL"));
}

TEST(TableWriteFails, DirectoryInPlaceOfTheTable) {
  small_sheet();
  fs::create_directories("EFIELD.TBL/inside");
  const auto c = run_captured(WRITE_EFIELD);
  expect_write_failed(c, "EFIELD.TBL", "Is a directory");
  EXPECT_TRUE(fs::is_directory("EFIELD.TBL/inside"));
  EXPECT_TRUE(no_temporary_here());
  fs::remove_all("EFIELD.TBL");
}

TEST(TableWriteFails, NoRoomForTheWholeFile) {
  // A file-size limit stands in for a full disk: the write stops part way.
  small_sheet();
  grid().NX = 200;
  grid().NY = 100;
  write_file("VOLTS.TBL", kOld);
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 64 * 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const auto c = run_captured(WRITE_VOLTS);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  expect_write_failed(c, "VOLTS.TBL", "File too large");
  EXPECT_EQ(read_file("VOLTS.TBL"), kOld);
  EXPECT_TRUE(no_temporary_here());
}

// The temporary file cannot be created: the folder is a regular file, which
// no user, the super-user included, can create anything in.
TEST(TableWriteFails, TemporaryFileCannotBeCreated) {
  small_sheet();
  write_file("blocker", "a regular file\n");
  const auto c = run_captured([] { write_tables("blocker"); });
  expect_write_failed(c, "blocker/VOLTS.TBL", "Not a directory");
  EXPECT_EQ(read_file("blocker"), "a regular file\n");
}

// ---- The number form ---------------------------------------------------------------------------

TEST(TableNumbers, ZeroOfEitherSignIsWrittenWithoutASign) {
  std::string text;
  for (const float v : {-0.0f, 0.0f, -1.0E-45f}) append_E11_4(text, v);
  EXPECT_EQ(text, " 0.0000E+00 0.0000E+00-0.1401E-44");
}

TEST(TableNumbers, QuickEditAgreesWithTheExactOne) {
  auto same = [](float v) {
    std::string quick;
    append_E11_4(quick, v);
    EXPECT_EQ(quick, common::format_E(v, 11, 4)) << v;
  };
  // Exact ties round away from zero; values next to them do not.
  for (float v : {12.125f, 1234.5f, -1234.5f, 99995.0f, 0.5f, 1.0f, 10.0f, 0.1f, 9.9995f, 0.00123f, -5.0f, 1.0E-15f,
                  9.99995E19f, 1.0E20f, 1.0E-16f, 3.4028235E38f, 1.0E-45f, 0.0f, -0.0f})
    same(v);
  same(std::nextafter(1234.5f, 0.0f));
  same(std::nextafter(1234.5f, 2000.0f));
  // Many values of every magnitude, and the table's coordinates.
  std::mt19937 random(99);
  std::uniform_real_distribution<float> mantissa(-10.0f, 10.0f);
  std::uniform_int_distribution<int> exponent(-40, 38);
  for (int n = 0; n < 200000; ++n) same(mantissa(random) * std::pow(10.0f, exponent(random) / 2.0f));
  for (int n = 0; n < 100000; ++n) {
    std::uint32_t bits = static_cast<std::uint32_t>(random());
    float v;
    std::memcpy(&v, &bits, sizeof v);
    if (std::isfinite(v)) same(v);
  }
  for (int I = 1; I <= 500; ++I) same(static_cast<float>(2 * I - 1) * 0.0015f * 100.0f);
}
