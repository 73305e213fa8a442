#include "shell/settings/message_box.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <iostream>

#include "shell/script/batch.h"
#include "shell/script/interaction.h"
#include "shell/window/main_window.h"
#include "shell/window/window_state.h"

namespace kesto::shell {

std::vector<ShownMessage>& message_log() {
  static std::vector<ShownMessage> log;
  return log;
}

void show_message_box(const std::string& title, const std::string& text, bool error_icon) {
  ShownMessage shown{title, text, "ok"};
  if (!person_answers() || !QApplication::instance()) {
    // Nobody sits at the screen: the box is answered at once, by the script's
    // next answer step when there is one.
    if (const ScriptStep* s = take_step(ScriptStep::Kind::answer)) shown.answer = s->text;
    message_log().push_back(shown);
    if (batch_mode().enabled) std::cerr << "kesto: " << title << ": " << text << '\n';
    return;
  }
  message_log().push_back(shown);
  QMessageBox box(error_icon ? QMessageBox::Critical : QMessageBox::NoIcon, QString::fromStdString(title),
                  QString::fromStdString(text), QMessageBox::Ok, main_window());
  box.exec();
}

void SHOW_MESSAGE(const std::string& text) {
  // The text ends at its first NUL, as a C string would.
  show_message_box(window_state().caption, text.substr(0, text.find('\0')), false);
}

void SHOW_MESSAGE_NUMBER(const std::string& text, std::int16_t number) {
  SHOW_MESSAGE(text.substr(0, text.find('\0')) + std::to_string(number));
}

void SHOW_MESSAGE_LONG(const std::string& text, std::int32_t number) {
  SHOW_MESSAGE(text.substr(0, text.find('\0')) + std::to_string(number));
}

}  // namespace kesto::shell
