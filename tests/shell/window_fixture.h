// Test support for the window shell: one application object for the whole
// test program (offscreen), and a fixture that opens a fresh window of a
// known client size with every shell state reset.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>
#include <filesystem>
#include <string>

#include "shell/script/batch.h"
#include "shell/window/events.h"
#include "shell/window/main_window.h"
#include "shell/settings/message_box.h"
#include "shell/window/page_mapping.h"
#include "shell/script/script.h"
#include "shell/window/selection.h"
#include "shell/settings/settings.h"
#include "shell/graphics/graphics_interface.h"
#include "shell/window/text_grid.h"
#include "shell/window/window_state.h"

namespace kesto::testing {

inline QApplication& application() {
  static int argc = 1;
  static char name[] = "kesto_test";
  static char* argv[] = {name, nullptr};
  // Never destroyed: widgets of the last test may outlive the test body.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// Handles everything pending in the window (resizes, repaints).
inline void settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// Forgets every piece of shell state a test may have changed.
inline void reset_shell() {
  if (shell::main_window()) shell::SHELL_SHUTDOWN();
  shell::window_state() = shell::WindowState{};
  shell::settings() = shell::Settings{};
  shell::text_grid() = shell::TextGrid{};
  shell::script() = shell::Script{};
  shell::batch_mode() = shell::BatchMode{};
  shell::page_mapping() = shell::PageMapping{};
  shell::selection_overlay() = shell::SelectionOverlay{};
  shell::message_log().clear();
  shell::reset_input();
}

inline void remove_settings_file() {
  std::error_code ec;
  std::filesystem::remove(shell::settings_path(), ec);
}

inline void write_settings_file(const std::string& text) {
  const std::filesystem::path p = shell::settings_path();
  std::filesystem::create_directories(p.parent_path());
  FILE* f = std::fopen(p.string().c_str(), "wb");
  std::fputs(text.c_str(), f);
  std::fclose(f);
}

inline std::string read_settings_file() {
  std::string text;
  FILE* f = std::fopen(shell::settings_path().c_str(), "rb");
  if (!f) return text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
  std::fclose(f);
  return text;
}

// Gives the open window a client area of the given size.
inline void set_client_size(int width, int height) {
  shell::resize_client_area(width, height);
  settle();
}

// A fresh window with a client area of 800 x 600 pixels, in text mode.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    application();
    reset_shell();
    remove_settings_file();
    open_window();
  }
  void TearDown() override { reset_shell(); }

  void open_window(int width = 800, int height = 600) {
    shell::OPEN_WINDOW();
    settle();
    set_client_size(width, height);
  }

  QWidget& client() { return *shell::client_area(); }
};

}  // namespace kesto::testing
