// Input through the window: real key and mouse events become event records
// (function keys, arrows, characters; Shift alone gives nothing), pointer
// positions are client pixels in text mode and page units with a picture,
// closing the window gives the quit event, and script steps travel through
// the window as real events.
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QWidget>
#include <QCursor>
#include <QMouseEvent>
#include <QTest>

#include "shell/window/picture.h"
#include "shell/window/text_grid.h"
#include "window_fixture.h"

namespace kesto::shell {
namespace {

using testing::settle;
using testing::WindowTest;

using WindowEvents = WindowTest;

EventRecord next_event() {
  EventRecord e;
  WAIT_EVENT(e);
  return e;
}

void load_script(const std::string& text) {
  std::string error;
  ASSERT_TRUE(parse_script(text, script(), error)) << error;
}

// Counts the key presses the client area receives.
struct KeyCounter : QObject {
  int presses = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::KeyPress) ++presses;
    return false;
  }
};

TEST_F(WindowEvents, FunctionKeysArrowsAndCharacters) {
  for (int f = 0; f < 12; ++f) QTest::keyClick(&client(), static_cast<Qt::Key>(Qt::Key_F1 + f));
  for (Qt::Key k : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Right, Qt::Key_Left}) QTest::keyClick(&client(), k);
  QTest::keyClick(&client(), Qt::Key_A);
  QTest::keyClick(&client(), 'A');
  QTest::keyClick(&client(), Qt::Key_Return);
  QTest::keyClick(&client(), Qt::Key_Escape);
  QTest::keyClick(&client(), Qt::Key_Backspace);
  QTest::keyClick(&client(), Qt::Key_5);
  for (int f = 0; f < 12; ++f) EXPECT_EQ(GI_GET_KEY(), 129 + f);
  EXPECT_EQ(GI_GET_KEY(), KEY_UP);
  EXPECT_EQ(GI_GET_KEY(), KEY_DOWN);
  EXPECT_EQ(GI_GET_KEY(), KEY_RIGHT);
  EXPECT_EQ(GI_GET_KEY(), KEY_LEFT);
  EXPECT_EQ(GI_GET_KEY(), 'a');
  EXPECT_EQ(GI_GET_KEY(), 'A');
  EXPECT_EQ(GI_GET_KEY(), 13);
  EXPECT_EQ(GI_GET_KEY(), 27);
  EXPECT_EQ(GI_GET_KEY(), 8);
  EXPECT_EQ(GI_GET_KEY(), '5');
}

TEST_F(WindowEvents, KeysWithoutACharacterGiveNoEvent) {
  for (Qt::Key k : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Alt, Qt::Key_Home, Qt::Key_Delete, Qt::Key_PageUp})
    QTest::keyClick(&client(), k);
  EXPECT_EQ(POLL_KEY(), 0);
  QTest::keyClick(&client(), Qt::Key_X);
  EXPECT_EQ(POLL_KEY(), 13);
  const EventRecord e = next_event();
  EXPECT_EQ(e.type, EVENT_KEY);
  EXPECT_EQ(e.key, 'x');
}

// Alt with a letter opens the menu whose mnemonic it is; Alt or Meta with
// any other key that types a character gives no key, while function keys and
// arrows count whatever is held, and AltGr types its characters.
TEST_F(WindowEvents, AltWithALetterOpensItsMenuOrGivesNoKey) {
  settle();
  QTest::keyClick(&client(), Qt::Key_F, Qt::AltModifier);
  QWidget* popup = QApplication::activePopupWidget();
  ASSERT_NE(popup, nullptr);
  ASSERT_NE(qobject_cast<QMenu*>(popup), nullptr);
  EXPECT_EQ(qobject_cast<QMenu*>(popup)->title(), "&File");
  popup->close();
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* text;
    int code;  // 0: no key
  } cases[] = {
      {Qt::Key_X, Qt::AltModifier, "x", 0},
      {Qt::Key_5, Qt::AltModifier, "5", 0},
      {Qt::Key_Return, Qt::AltModifier, "\r", 0},
      {Qt::Key_X, Qt::MetaModifier, "x", 0},
      {Qt::Key_X, Qt::AltModifier | Qt::ShiftModifier, "X", 0},
      {Qt::Key_F2, Qt::AltModifier, "", 130},
      {Qt::Key_Up, Qt::AltModifier, "", KEY_UP},
      {Qt::Key_At, Qt::GroupSwitchModifier, "@", '@'},
      {Qt::Key_X, Qt::NoModifier, "x", 'x'},
  };
  for (const auto& c : cases) {
    QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers, QString::fromLatin1(c.text));
    QCoreApplication::sendEvent(&client(), &press);
    EXPECT_EQ(POLL_KEY(), c.code ? 13 : 0) << c.text << " " << c.modifiers;
    if (c.code) {
      EXPECT_EQ(GI_GET_KEY(), c.code) << c.text;
    }
  }
}

TEST_F(WindowEvents, PressReleaseAndMovesInClientPixels) {
  QTest::mousePress(&client(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 20));
  QTest::mouseRelease(&client(), Qt::RightButton, Qt::NoModifier, QPoint(30, 40));
  QTest::mousePress(&client(), Qt::MiddleButton, Qt::NoModifier, QPoint(1, 1));  // no event
  for (Qt::MouseButtons held : {Qt::MouseButtons(Qt::NoButton), Qt::MouseButtons(Qt::LeftButton),
                                Qt::MouseButtons(Qt::RightButton), Qt::LeftButton | Qt::RightButton}) {
    QMouseEvent move(QEvent::MouseMove, QPointF(50, 60), client().mapToGlobal(QPointF(50, 60)), Qt::NoButton, held,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&client(), &move);
  }
  EventRecord e = next_event();
  EXPECT_EQ(e.type, EVENT_PRESS);
  EXPECT_EQ(e.button, 1);
  EXPECT_EQ(e.x, 10);
  EXPECT_EQ(e.y, 20);
  e = next_event();
  EXPECT_EQ(e.type, EVENT_RELEASE);
  EXPECT_EQ(e.button, 2);
  EXPECT_EQ(e.x, 30);
  EXPECT_EQ(e.y, 40);
  for (int held : {0, 1, 2, 3}) {
    e = next_event();
    EXPECT_EQ(e.type, EVENT_MOVE);
    EXPECT_EQ(e.button, held);
    EXPECT_EQ(e.x, 50);
  }
}

TEST_F(WindowEvents, PositionsAreInPageUnitsWhileAPictureIsShown) {
  testing::set_client_size(700, 500);  // 5 page units per pixel
  BEGIN_PICTURE(0);
  QTest::mousePress(&client(), Qt::LeftButton, Qt::NoModifier, QPoint(351, 249));
  const EventRecord e = next_event();
  EXPECT_EQ(e.type, EVENT_PRESS);
  EXPECT_EQ(e.x, 5);
  EXPECT_EQ(e.y, 5);
  END_PICTURE(1);
  QTest::mousePress(&client(), Qt::LeftButton, Qt::NoModifier, QPoint(351, 249));
  EXPECT_EQ(next_event().x, 351);
}

TEST_F(WindowEvents, ClosingTheWindowGivesQuitToEveryLaterWait) {
  main_window()->close();
  EXPECT_EQ(POLL_KEY(), 13);  // the computing run notices it
  EXPECT_EQ(GI_CHECK_KEY(), KEY_QUIT);
  EXPECT_EQ(GI_GET_KEY(), KEY_QUIT);
  EXPECT_EQ(next_event().type, EVENT_QUIT);
  // The window is not destroyed by the close.
  ASSERT_NE(main_window(), nullptr);
  EXPECT_TRUE(main_window()->isVisible());
}

TEST_F(WindowEvents, CloseWhileWaitingForAKey) {
  load_script("key Shift\nclose\nkey A\n");
  EXPECT_EQ(GI_GET_KEY(), KEY_QUIT);
}

TEST_F(WindowEvents, ScriptedKeysTravelThroughTheWindow) {
  KeyCounter counter;
  client().installEventFilter(&counter);
  load_script("text aZ\nkey Enter\nkey Shift\nkey F12\nkey Up\nkey code:233\nkey Tab\nkey code:1\n");
  EXPECT_EQ(GI_GET_KEY(), 'a');
  EXPECT_EQ(GI_GET_KEY(), 'Z');
  EXPECT_EQ(GI_GET_KEY(), 13);
  EXPECT_EQ(GI_GET_KEY(), 140);  // Shift went through and gave nothing
  EXPECT_EQ(GI_GET_KEY(), KEY_UP);
  EXPECT_EQ(GI_GET_KEY(), 233);
  EXPECT_EQ(GI_GET_KEY(), 9);
  EXPECT_EQ(GI_GET_KEY(), 1);
  EXPECT_EQ(counter.presses, 9);
  // The script is used up and nobody sits at an offscreen window.
  EXPECT_EQ(GI_GET_KEY(), KEY_QUIT);
  client().removeEventFilter(&counter);
}

TEST_F(WindowEvents, ScriptedPointerAtACellAndAtAPagePoint) {
  load_script("click left cell 3 5\nmove page 500 -250 1\n");
  const TextLayout& l = text_layout();
  EventRecord e = next_event();
  EXPECT_EQ(e.type, EVENT_PRESS);
  EXPECT_EQ(e.x, 4 * l.cell_width + l.x_origin + l.cell_width / 2);
  EXPECT_EQ(e.y, 2 * l.line_height + l.y_origin + l.line_height / 2);
  // The text screen's own rule turns the pixel back into the cell.
  EXPECT_EQ((e.x - l.x_origin) / l.cell_width + 1, 5);
  EXPECT_EQ((e.y - l.y_origin) / l.line_height + 1, 3);
  EXPECT_EQ(next_event().type, EVENT_RELEASE);
  BEGIN_PICTURE(0);
  e = next_event();
  EXPECT_EQ(e.type, EVENT_MOVE);
  EXPECT_EQ(e.button, 1);
  EXPECT_EQ(e.x, 500);  // the remembered pair gives the page point back exactly
  EXPECT_EQ(e.y, -250);
}

TEST_F(WindowEvents, BusyKeyArrivesAtTheNamedPoll) {
  load_script("busy-key F3 3\n");
  EXPECT_EQ(POLL_KEY(), 0);
  EXPECT_EQ(POLL_KEY(), 0);
  EXPECT_EQ(POLL_KEY(), 13);
  EXPECT_EQ(GI_CHECK_KEY(), 131);
}

TEST_F(WindowEvents, WithNobodyToAnswerTheWaitEndsAsIfClosed) {
  EXPECT_EQ(next_event().type, EVENT_QUIT);
  EXPECT_EQ(GI_GET_KEY(), KEY_QUIT);
}

TEST_F(WindowEvents, WarpedPointerReadsBackItsPagePoint) {
  testing::set_client_size(640, 452);
  BEGIN_PICTURE(0);
  WARP_POINTER(1001, -333);
  std::int16_t px = 0, py = 0;
  page_to_pixel(1001, -333, px, py);
  EXPECT_EQ(QCursor::pos(), client().mapToGlobal(QPoint(px, py)));
  QTest::mousePress(&client(), Qt::LeftButton, Qt::NoModifier, QPoint(px, py));
  const EventRecord e = next_event();
  EXPECT_EQ(e.x, 1001);
  EXPECT_EQ(e.y, -333);
}

TEST_F(WindowEvents, CursorFollowsTheModes) {
  EXPECT_EQ(client().cursor().shape(), Qt::ArrowCursor);
  SET_TEXT_CURSOR(1);
  EXPECT_EQ(client().cursor().shape(), Qt::IBeamCursor);
  SET_CROSSHAIR(1);  // the program's own crosshair wins
  EXPECT_EQ(client().cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(client().cursor().hotSpot(), QPoint(15, 15));
  SET_CROSSHAIR(0);
  EXPECT_EQ(client().cursor().shape(), Qt::IBeamCursor);
  SET_TEXT_CURSOR(0);
  EXPECT_EQ(client().cursor().shape(), Qt::ArrowCursor);
}

TEST_F(WindowEvents, TheWaitShowsTheCaretInTextMode) {
  window_state().caret_shown = false;
  QTest::keyClick(&client(), Qt::Key_Q);
  next_event();
  EXPECT_TRUE(window_state().caret_shown);
}

}  // namespace
}  // namespace kesto::shell
