// Inch texts and the two option dialogs: formatting and parsing with their
// edge cases, the spins, the refusals, and what OK and Cancel store.
#include <QLineEdit>
#include <QRadioButton>

#include "shell/settings/inches.h"
#include "shell/window/menu_commands.h"
#include "shell/settings/page_setup_dialog.h"
#include "shell/settings/pen_width_dialog.h"
#include "shell/drawing/primitives.h"
#include "window_fixture.h"

namespace kesto::shell {
namespace {

std::string fmt(std::int32_t v) { return FORMAT_INCHES(v); }

// PARSE_INCHES as a value, or "invalid".
std::string parse(const std::string& text) {
  std::int32_t v = -777;
  if (!PARSE_INCHES(text, v)) return "invalid";
  return std::to_string(v);
}

TEST(FormatInches, Examples) {
  EXPECT_EQ(fmt(650), "6.5\"");
  EXPECT_EQ(fmt(100), "1\"");
  EXPECT_EQ(fmt(125), "1.25\"");
  EXPECT_EQ(fmt(5), "0.05\"");
  EXPECT_EQ(fmt(0), "0\"");
  EXPECT_EQ(fmt(-5), "-0.05\"");
  EXPECT_EQ(fmt(50), "0.5\"");
  EXPECT_EQ(fmt(-650), "-6.5\"");
  EXPECT_EQ(fmt(1000), "10\"");
  EXPECT_EQ(fmt(101), "1.01\"");
  EXPECT_EQ(fmt(2147483647), "21474836.47\"");
  EXPECT_EQ(fmt(-2147483647 - 1), "-21474836.48\"");
}

TEST(ParseInches, Examples) {
  EXPECT_EQ(parse("6.5"), "650");
  EXPECT_EQ(parse("6.5\""), "650");
  EXPECT_EQ(parse("1.255"), "126");
  EXPECT_EQ(parse("1.254"), "125");
  EXPECT_EQ(parse("-0.1"), "-10");
  EXPECT_EQ(parse("6.567"), "657");
  EXPECT_EQ(parse("6.5679999"), "657");  // digits after the third are ignored
  EXPECT_EQ(parse("-1.255"), "-126");    // the sign applies last
  EXPECT_EQ(parse("7"), "700");
  EXPECT_EQ(parse("+7"), "700");
  EXPECT_EQ(parse(".5"), "50");
  EXPECT_EQ(parse("5."), "500");
  EXPECT_EQ(parse("  1.25\"  "), "125");
  EXPECT_EQ(parse("0.999"), "100");
}

TEST(ParseInches, InvalidTexts) {
  for (const char* text : {"1.2.3", "1 2", "", "   ", "\"", ".", "-", "+.", "- 5", "5 \"", "5\"\"", "5\"x", "abc",
                           "1,5", "--5", "5-", "\"5", "1e3"})
    EXPECT_EQ(parse(text), "invalid") << "'" << text << "'";
}

TEST(ParseInches, ValuesBeyond32BitsAreInvalid) {
  EXPECT_EQ(parse("21474836.47"), "2147483647");
  EXPECT_EQ(parse("21474836.48"), "invalid");
  EXPECT_EQ(parse("-21474836.48"), "-2147483648");
  EXPECT_EQ(parse("99999999999999999999"), "invalid");
}

TEST(ParseInches, FormatReadsBack) {
  for (std::int32_t v : {0, 1, -1, 9, 10, 99, 100, 101, 650, 12345, -98765, 2147483647})
    EXPECT_EQ(parse(fmt(v)), std::to_string(v));
}

TEST(InchSpin, StepsToTheNextTenth) {
  EXPECT_EQ(inch_spin("1.25\"", true), "1.3\"");
  EXPECT_EQ(inch_spin("1.3\"", true), "1.4\"");
  EXPECT_EQ(inch_spin("-0.15", true), "-0.1\"");
  EXPECT_EQ(inch_spin("1.25", false), "1.2\"");
  EXPECT_EQ(inch_spin("1.2", false), "1.1\"");
  EXPECT_EQ(inch_spin("0.05", false), "0\"");
  EXPECT_EQ(inch_spin("0", false), "-0.1\"");  // no lower limit
  EXPECT_EQ(inch_spin("-0.15", false), "-0.2\"");
}

TEST(InchSpin, ReadsEightCharactersAndLeavesBadTextAlone) {
  EXPECT_EQ(inch_spin("1.2345678", true), "1.3\"");  // read as 1.234567
  EXPECT_EQ(inch_spin("abc", true), "abc");
  EXPECT_EQ(inch_spin("", false), "");
  EXPECT_EQ(inch_spin("21474836.47", true), "21474836.1\"");  // read as 21474836
  EXPECT_EQ(inch_spin("99999999", true), "99999999");         // beyond 32 bits: left alone
}

TEST(PenWidthSpin, UpAndDown) {
  EXPECT_EQ(pen_width_spin("1", true), "2");
  EXPECT_EQ(pen_width_spin("1", false), "1");  // never below 1
  EXPECT_EQ(pen_width_spin("5", false), "4");
  EXPECT_EQ(pen_width_spin("abc", true), "1");  // unreadable counts as 0
  EXPECT_EQ(pen_width_spin("abc", false), "0");
  EXPECT_EQ(pen_width_spin("-3", true), "1");
  EXPECT_EQ(pen_width_spin("4294967295", true), "4294967295");
  std::uint32_t v = 0;
  EXPECT_TRUE(parse_pen_width(" 12 ", v));
  EXPECT_EQ(v, 12u);
  EXPECT_FALSE(parse_pen_width("4294967296", v));
  EXPECT_FALSE(parse_pen_width("1 2", v));
  EXPECT_FALSE(parse_pen_width("+3", v));
}

using Dialogs = testing::WindowTest;

void load_script(const std::string& text) {
  std::string error;
  ASSERT_TRUE(parse_script(text, script(), error)) << error;
}

TEST_F(Dialogs, PenWidthStoresPositiveIntegers) {
  load_script("dialog 1002 3\ndialog 1003 4\ndialog 1004 5\ndialog-button 1\n");
  settings().PenWidthEPS = 9;
  PEN_WIDTH_DIALOG();
  EXPECT_EQ(settings().window_pen_width, 3);
  EXPECT_EQ(settings().PenWidthPrinter, 4);
  EXPECT_EQ(settings().PenWidthEMF, 5);  // the field labelled EPS sets the EMF width
  EXPECT_EQ(settings().PenWidthEPS, 9);
  EXPECT_EQ(colour_state().pen_width, 3);
  EXPECT_FALSE(window_state().bitmap_valid);  // redrawn with the new width
  EXPECT_TRUE(message_log().empty());
}

TEST_F(Dialogs, PenWidthRefusesZeroAndStaysOpen) {
  load_script("dialog 1003 0\ndialog-button 1\ndialog 1003 x\ndialog-button 1\ndialog 1003 7\ndialog-button 1\n");
  PEN_WIDTH_DIALOG();
  ASSERT_EQ(message_log().size(), 2u);
  EXPECT_EQ(message_log()[0].caption, "Pen Width Error");
  EXPECT_EQ(message_log()[0].text, "All pen width values must be positive integers");
  EXPECT_EQ(settings().PenWidthPrinter, 7);
  EXPECT_EQ(settings().window_pen_width, 1);  // the window width did not change
}

TEST_F(Dialogs, PenWidthSpinsAndCancel) {
  load_script("dialog-spin 1005 down\ndialog-spin 1006 up\ndialog-spin 1006 up\ndialog-button 2\n");
  PEN_WIDTH_DIALOG();
  EXPECT_EQ(settings().window_pen_width, 1);
  EXPECT_EQ(settings().PenWidthPrinter, 2);  // cancelled
  load_script("dialog-spin 1005 down\ndialog-spin 1006 up\ndialog-spin 1007 up\ndialog-button 1\n");
  PEN_WIDTH_DIALOG();
  EXPECT_EQ(settings().window_pen_width, 1);  // the down spin at 1 keeps 1
  EXPECT_EQ(settings().PenWidthPrinter, 3);
  EXPECT_EQ(settings().PenWidthEMF, 3);
}

TEST_F(Dialogs, PenWidthsAboveTheLimitAreHeldThere) {
  load_script("dialog 1002 5000\ndialog-button 1\n");
  PEN_WIDTH_DIALOG();
  EXPECT_EQ(settings().window_pen_width, MAX_PEN_WIDTH);
}

TEST_F(Dialogs, DialogWithoutStepsIsCancelled) {
  settings().PenWidthPrinter = 6;
  PEN_WIDTH_DIALOG();
  EXPECT_EQ(settings().PenWidthPrinter, 6);
}

TEST_F(Dialogs, PageSetupStoresParsedInches) {
  load_script("dialog 1002 0.5\ndialog 1003 0.75\"\ndialog 1004 6.567\ndialog-button 1\n");
  PAGE_SETUP_DIALOG();
  EXPECT_EQ(settings().PageTopMargin, 50);
  EXPECT_EQ(settings().PageLeftMargin, 75);
  EXPECT_EQ(settings().PageWidth, 657);
}

TEST_F(Dialogs, PageSetupRefusesInvalidData) {
  load_script("dialog 1002 \"\ndialog-button 1\ndialog 1002 1 2\ndialog-button 1\ndialog-button 2\n");
  PAGE_SETUP_DIALOG();
  ASSERT_EQ(message_log().size(), 2u);
  EXPECT_EQ(message_log()[0].caption, "Page Setup Error");
  EXPECT_EQ(message_log()[0].text, "Invalid data");
  EXPECT_EQ(settings().PageTopMargin, 100);
}

TEST_F(Dialogs, PageSetupSpinsAndOrientation) {
  load_script("dialog-spin 1005 up\ndialog-spin 1006 down\ndialog-spin 1007 up\ndialog-button 1009\ndialog-button 1\n");
  PAGE_SETUP_DIALOG();
  EXPECT_EQ(settings().PageTopMargin, 110);
  EXPECT_EQ(settings().PageLeftMargin, 90);
  EXPECT_EQ(settings().PageWidth, 660);
  EXPECT_EQ(settings().LandscapePrinter, 1);
  // The orientation is taken at the click, even when the dialog is cancelled.
  load_script("dialog-button 1008\ndialog 1004 9\ndialog-button 2\n");
  PAGE_SETUP_DIALOG();
  EXPECT_EQ(settings().LandscapePrinter, 0);
  EXPECT_EQ(settings().PageWidth, 660);
}

TEST_F(Dialogs, MenuOpensTheDialogsInsideTheWait) {
  load_script("menu 9\ndialog 1003 8\ndialog-button 1\nmenu 1\ndialog 1004 7\ndialog-button 1\nkey Enter\n");
  EXPECT_EQ(GI_GET_KEY(), 13);
  EXPECT_EQ(settings().PenWidthPrinter, 8);
  EXPECT_EQ(settings().PageWidth, 700);
}

}  // namespace
}  // namespace kesto::shell
