// The menu bar and the picture: items greyed and checked as the window
// opens and as pictures come and go, the option toggles, the commands, and
// a picture that survives a resize because it is replayed.
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWindow>
#include <filesystem>

#include "shell/window/events.h"

#include "shell/window/menu_commands.h"
#include "shell/window/picture.h"
#include "shell/drawing/plot_buffer.h"
#include "shell/drawing/primitives.h"
#include "shell/window/surfaces.h"
#include "window_fixture.h"

namespace kesto::shell {
namespace {

using testing::settle;
using testing::WindowTest;

using WindowMenu = WindowTest;

bool enabled(int id) {
  QAction* a = menu_action(id);
  EXPECT_NE(a, nullptr) << "menu item " << id;
  return a && a->isEnabled();
}

bool checked(int id) { return menu_action(id) && menu_action(id)->isChecked(); }

std::string last_message() { return message_log().empty() ? std::string() : message_log().back().text; }

TEST_F(WindowMenu, ItemsAsTheWindowOpens) {
  for (int id : {1, 4, 5, 7, 8, 9, 10}) EXPECT_TRUE(enabled(id)) << id;
  for (int id : {3, 6, 11, 12, 13, 14}) EXPECT_FALSE(enabled(id)) << id;
  EXPECT_EQ(menu_action(2), nullptr);  // printer set-up has no item
  EXPECT_TRUE(checked(7));
  EXPECT_FALSE(checked(8));  // the background is white
  EXPECT_EQ(menu_action(3)->text(), "&Print");
  EXPECT_EQ(menu_action(8)->text(), "&Black Background");
  EXPECT_EQ(main_window()->windowTitle(), "ORV Zud");
  EXPECT_FALSE(main_window()->windowIcon().isNull());
}

TEST_F(WindowMenu, PictureCommandsFollowThePicture) {
  BEGIN_PICTURE(0);
  for (int id : {3, 6, 12, 14}) EXPECT_TRUE(enabled(id)) << id;
  for (int id : {11, 13}) EXPECT_FALSE(enabled(id)) << id;  // greyed for good
  END_PICTURE(1);
  for (int id : {3, 6, 12, 14, 11, 13}) EXPECT_FALSE(enabled(id)) << id;
  BEGIN_PICTURE(1);
  EXPECT_TRUE(enabled(3));
  END_PICTURE(0);
  EXPECT_FALSE(enabled(3));
}

TEST_F(WindowMenu, ColourToggleInvalidatesTheBitmap) {
  BEGIN_PICTURE(0);
  settle();
  ASSERT_TRUE(window_state().bitmap_valid);
  menu_action(CMD_COLOR)->trigger();
  EXPECT_EQ(settings().ColorWindow, 0);
  EXPECT_FALSE(checked(CMD_COLOR));
  EXPECT_FALSE(window_state().bitmap_valid);
  settle();  // the repaint replays the picture
  EXPECT_TRUE(window_state().bitmap_valid);
  menu_action(CMD_COLOR)->trigger();
  EXPECT_EQ(settings().ColorWindow, 1);
  EXPECT_TRUE(checked(CMD_COLOR));
}

TEST_F(WindowMenu, BlackBackgroundToggleRepaintsInBlack) {
  menu_action(CMD_BLACK_BACKGROUND)->trigger();
  EXPECT_EQ(settings().BlackBG, 1);
  EXPECT_TRUE(checked(CMD_BLACK_BACKGROUND));
  EXPECT_FALSE(window_state().bitmap_valid);
  EXPECT_EQ(surfaces().backing.pixelColor(5, 5), QColor(0, 0, 0));
  settle();
  const QImage shown = client().grab().toImage();
  EXPECT_EQ(shown.pixelColor(2, 2), QColor(0, 0, 0));
  menu_action(CMD_BLACK_BACKGROUND)->trigger();
  EXPECT_EQ(settings().BlackBG, 0);
  EXPECT_FALSE(checked(CMD_BLACK_BACKGROUND));
  EXPECT_EQ(client().grab().toImage().pixelColor(2, 2), QColor(255, 255, 255));
}

TEST_F(WindowMenu, AboutAndExit) {
  menu_action(CMD_ABOUT)->trigger();
  EXPECT_EQ(last_message(), "The \"About\" box is not implemented");
  menu_action(CMD_EXIT)->trigger();
  EXPECT_EQ(GI_GET_KEY(), KEY_QUIT);
}

TEST_F(WindowMenu, ScriptedMenuStepsActLikeAUser) {
  std::string error;
  ASSERT_TRUE(parse_script("menu 6\nmenu 10\nmenu 7\nkey Enter\n", script(), error)) << error;
  EXPECT_EQ(GI_GET_KEY(), 13);          // the commands ran inside the wait
  ASSERT_EQ(message_log().size(), 1u);  // Print, greyed without a picture, did nothing
  EXPECT_EQ(message_log()[0].text, "The \"About\" box is not implemented");
  EXPECT_EQ(settings().ColorWindow, 0);
}

TEST_F(WindowMenu, CommandHandlersCanBeInstalled) {
  static int calls = 0;
  calls = 0;
  set_menu_command_handler(CMD_COPY, [] { ++calls; });
  run_menu_command(CMD_COPY);
  set_menu_command_handler(CMD_COPY, nullptr);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(message_log().empty());
}

// Pixels of a colour in an image.
int count(const QImage& image, const QColor& c) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == c) ++n;
  return n;
}

std::vector<int>& commands_seen() {
  static std::vector<int> ids;
  return ids;
}
template <int Id>
void note_command() {
  commands_seen().push_back(Id);
}

// Keys as the window system delivers them: to the window, whose focus (the
// client area, the menu bar or an open menu) decides who gets them.
void user_key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(main_window()->windowHandle(), key, modifiers);
  settle();
}

// Every enabled item answers to Alt with its menu's letter and then its own
// letter; no two items of a menu share one.
TEST_F(WindowMenu, EveryEnabledItemHasAMnemonicThatWorks) {
  const MenuCommandHandler handlers[] = {nullptr,        note_command<1>,  nullptr,          note_command<3>,
                                         note_command<4>, note_command<5>, note_command<6>,  note_command<7>,
                                         note_command<8>, note_command<9>, note_command<10>, nullptr,
                                         note_command<12>, nullptr,         note_command<14>};
  for (int id = 1; id <= 14; ++id)
    if (handlers[id]) set_menu_command_handler(id, handlers[id]);
  BEGIN_PICTURE(0);  // the picture commands are enabled
  settle();
  const struct {
    Qt::Key menu;   // with Alt
    Qt::Key item;   // Qt::Key_unknown: the menu letter is the command itself
    int command;
  } cases[] = {
      {Qt::Key_F, Qt::Key_U, 1},  {Qt::Key_F, Qt::Key_P, 3},  {Qt::Key_F, Qt::Key_T, 12},
      {Qt::Key_F, Qt::Key_E, 14}, {Qt::Key_F, Qt::Key_X, 4},  {Qt::Key_E, Qt::Key_C, 5},
      {Qt::Key_P, Qt::Key_unknown, 6}, {Qt::Key_O, Qt::Key_C, 7},  {Qt::Key_O, Qt::Key_B, 8},
      {Qt::Key_O, Qt::Key_P, 9},  {Qt::Key_H, Qt::Key_A, 10},
  };
  for (const auto& c : cases) {
    commands_seen().clear();
    user_key(c.menu, Qt::AltModifier);
    if (c.item != Qt::Key_unknown) user_key(c.item);
    EXPECT_EQ(commands_seen(), std::vector<int>{c.command}) << "Alt+" << QKeySequence(c.menu).toString().toStdString()
                                                            << ", " << QKeySequence(c.item).toString().toStdString();
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    settle();
  }
  for (int id = 1; id <= 14; ++id) set_menu_command_handler(id, nullptr);
}

// A menu left with Escape gives the keyboard back: the next keys reach the
// program (F makes the screen dump at a picture, Space goes on) instead of
// opening menus; arrows that move to the next menu keep it in the menu bar.
TEST_F(WindowMenu, AfterAMenuClosesKeysGoToTheProgramAgain) {
  BEGIN_PICTURE(0);
  settle();
  user_key(Qt::Key_O, Qt::AltModifier);
  ASSERT_NE(qobject_cast<QMenu*>(QApplication::activePopupWidget()), nullptr);
  user_key(Qt::Key_Right);  // on to the next menu: still a menu
  ASSERT_NE(qobject_cast<QMenu*>(QApplication::activePopupWidget()), nullptr);
  user_key(Qt::Key_Escape);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  user_key(Qt::Key_F);
  user_key(Qt::Key_Space);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(POLL_KEY(), 13);
  EXPECT_EQ(GI_GET_KEY(), 'f');
  EXPECT_EQ(GI_GET_KEY(), ' ');
  EXPECT_EQ(POLL_KEY(), 0);
}

TEST_F(WindowMenu, PictureSurvivesResizeAndComesBackAfterText) {
  testing::set_client_size(700, 500);
  BEGIN_PICTURE(0);
  SET_RGB(255, 0, 0);
  FILL_RECT(-1750, 1250, 0, 0, 0, 0, 0, 0);  // the top left quarter of the page
  settle();
  const QColor red(255, 0, 0);
  EXPECT_NEAR(count(client().grab().toImage(), red), 350 * 250, 1500);
  EXPECT_GT(plot_buffer().used, 0u);

  testing::set_client_size(1400, 1000);
  EXPECT_EQ(window_state().bitmap_width, 1400);
  settle();
  EXPECT_TRUE(window_state().bitmap_valid);
  EXPECT_NEAR(count(client().grab().toImage(), red), 700 * 500, 3000);
  EXPECT_NEAR(count(surfaces().backing, red), 700 * 500, 3000);

  END_PICTURE(0);
  settle();
  EXPECT_EQ(count(client().grab().toImage(), red), 0);
  BEGIN_PICTURE(1);  // the same picture again
  settle();
  EXPECT_NEAR(count(client().grab().toImage(), red), 700 * 500, 3000);
  BEGIN_PICTURE(0);  // a new, empty picture
  settle();
  EXPECT_EQ(count(client().grab().toImage(), red), 0);
  EXPECT_EQ(plot_buffer().used, 0u);
}

TEST_F(WindowMenu, MinimisedSizeKeepsTheBitmap) {
  testing::set_client_size(700, 500);
  BEGIN_PICTURE(0);
  settle();
  const qint64 before = surfaces().backing.cacheKey();
  client_resized(0, 0, true);
  EXPECT_EQ(window_state().bitmap_width, 700);
  EXPECT_EQ(window_state().bitmap_height, 500);
  EXPECT_TRUE(window_state().bitmap_valid);
  EXPECT_EQ(surfaces().backing.cacheKey(), before);
  EXPECT_EQ(window_state().client_width, 0);
}

TEST_F(WindowMenu, FitClient640) {
  testing::set_client_size(900, 700);
  FIT_CLIENT_640();
  settle();
  EXPECT_EQ(client().width(), 640);
  EXPECT_EQ(client().height(), 480);
}

TEST_F(WindowMenu, BatchWindowHasAFixedSizeAndSavesItsPicture) {
  testing::reset_shell();
  batch_mode().enabled = true;
  // As the program does: the folder is known before the window opens.
  batch_mode().pictures_dir = "pictures";
  OPEN_WINDOW();
  settle();
  EXPECT_EQ(client().width(), BATCH_CLIENT_WIDTH);
  EXPECT_EQ(client().height(), BATCH_CLIENT_HEIGHT);
  EXPECT_EQ(window_state().bitmap_width, BATCH_CLIENT_WIDTH);
  BEGIN_PICTURE(0);
  SET_RGB(0, 0, 255);
  FILL_RECT(0, 0, 1750, -1250, 0, 0, 0, 0);
  NAME_PICTURE("quarter");
  std::filesystem::remove("pictures/quarter.png");
  batch_answer(true);
  QImage saved("pictures/quarter.png");
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.size(), QSize(BATCH_CLIENT_WIDTH, BATCH_CLIENT_HEIGHT));
  EXPECT_NEAR(count(saved, QColor(0, 0, 255)), 700 * 500, 3000);
}

// A window nobody can see or save (a batch run without pictures, export or
// script) keeps one-pixel images and draws no pixels, but records every
// shape in the plot buffer; any way of seeing the picture draws it in full.
// Only such a window has neither icon nor menu bar (whose images would load
// every image-format plugin).
TEST_F(WindowMenu, OnlyABatchWindowThatNobodySeesSkipsItsPixels) {
  struct Case {
    const char* name;
    bool batch;
    const char* pictures;
    const char* exports;
    bool script;
    bool unseen;
  };
  const Case cases[] = {
      {"batch alone", true, "", "", false, true},
      {"batch saving pictures", true, "pictures", "", false, false},
      {"batch exporting", true, "", "exports", false, false},
      {"batch with a script", true, "", "", true, false},
      {"window run", false, "", "", false, false},
  };
  for (const Case& c : cases) {
    testing::reset_shell();
    batch_mode().enabled = c.batch;
    batch_mode().pictures_dir = c.pictures;
    batch_mode().export_dir = c.exports;
    script().active = c.script;
    OPEN_WINDOW();
    settle();
    EXPECT_EQ(window_unseen(), c.unseen) << c.name;
    // Never shown when nobody sees it, but laid out at the batch size all the same.
    EXPECT_EQ(main_window()->isVisible(), !c.unseen) << c.name;
    EXPECT_EQ(main_window()->windowIcon().isNull(), c.unseen) << c.name;
    EXPECT_EQ(menu_action(CMD_COLOR) == nullptr, c.unseen) << c.name;
    EXPECT_EQ(main_window()->findChild<QMenuBar*>() == nullptr, c.unseen) << c.name;
    if (c.batch) {
      EXPECT_EQ(client_area()->size(), QSize(BATCH_CLIENT_WIDTH, BATCH_CLIENT_HEIGHT)) << c.name;
    }
    const int side = window_state().bitmap_width;
    BEGIN_PICTURE(0);
    const std::size_t before = plot_buffer().used;
    SET_RGB(0, 0, 255);
    FILL_RECT(-1750, 1250, 1750, -1250, 0, 0, 0, 0);
    DRAW_LINE(-1750, 0, 1750, 0);
    EXPECT_EQ(plot_buffer().used - before, 4u + 10u + 9u) << c.name;  // colour, filled rectangle, line
    EXPECT_EQ(surfaces().backing.width(), c.unseen ? 1 : side) << c.name;
    const QImage& backing = surfaces().backing;
    EXPECT_EQ(backing.pixelColor(backing.width() / 2, backing.height() / 2), c.unseen ? QColor(255, 255, 255) : QColor(0, 0, 255))
        << c.name;
  }
  testing::reset_shell();
}

}  // namespace
}  // namespace kesto::shell
