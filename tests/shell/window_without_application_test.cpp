// A window opened by code that never made an application object (tests of
// the layers above open it through the graphics interface) still works.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>

#include "shell/window/events.h"
#include "shell/window/main_window.h"
#include "shell/settings/settings.h"
#include "shell/graphics/graphics_interface.h"
#include "shell/window/text_grid.h"

namespace kesto::shell {
namespace {

TEST(WindowWithoutApplication, OpensOffscreenAndAnswersWaits) {
  // CTest runs this case in a process of its own; run together with the
  // other window tests it finds their application object and has nothing to show.
  if (QApplication::instance() != nullptr) GTEST_SKIP() << "needs a process without an application object";
  EXPECT_EQ(OPEN_WINDOW(), 1);
  ASSERT_NE(QApplication::instance(), nullptr);
  EXPECT_EQ(QGuiApplication::platformName(), "offscreen");
  ASSERT_NE(main_window(), nullptr);
  TEXT_AT(1, 1);
  TEXT_OUT("READY", 5, 7);
  EXPECT_EQ(GI_GET_KEY(), KEY_QUIT);  // nobody to answer: no hang
  SHELL_SHUTDOWN();
  EXPECT_EQ(main_window(), nullptr);
}

}  // namespace
}  // namespace kesto::shell
