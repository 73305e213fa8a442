#include "shell/window/key_mapping.h"

#include "shell/window/events.h"

namespace kesto::shell {

std::int16_t key_code_for(int qt_key, Qt::KeyboardModifiers modifiers, const QString& text) {
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F12) return static_cast<std::int16_t>(KEY_F1 + (qt_key - Qt::Key_F1));
  switch (qt_key) {
    case Qt::Key_Up: return KEY_UP;
    case Qt::Key_Down: return KEY_DOWN;
    case Qt::Key_Right: return KEY_RIGHT;
    case Qt::Key_Left: return KEY_LEFT;
    default: break;
  }
  if (modifiers & (Qt::AltModifier | Qt::MetaModifier)) return 0;
  switch (qt_key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return KEY_ENTER;
    case Qt::Key_Backspace: return KEY_BACKSPACE;
    case Qt::Key_Escape: return KEY_ESCAPE;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Delete: return 0;  // types no character
    default: break;
  }
  if (text.isEmpty()) return 0;
  const char16_t c = text.at(0).unicode();
  // Characters are single bytes (Latin-1); others type nothing here.
  if (c == 0 || c > 255 || c == 127) return 0;
  return static_cast<std::int16_t>(c);
}

bool qt_key_for(const std::string& name, std::int16_t code, QtKeyPress& press) {
  press = QtKeyPress{};
  if (code == 0) {
    if (name == "Shift")
      press.key = Qt::Key_Shift;
    else if (name == "Ctrl")
      press.key = Qt::Key_Control;
    else if (name == "Alt")
      press.key = Qt::Key_Alt;
    else
      return false;
    return true;
  }
  if (code >= KEY_F1 && code <= KEY_F12) {
    press.key = Qt::Key_F1 + (code - KEY_F1);
    return true;
  }
  switch (code) {
    case KEY_UP: press.key = Qt::Key_Up; return true;
    case KEY_DOWN: press.key = Qt::Key_Down; return true;
    case KEY_RIGHT: press.key = Qt::Key_Right; return true;
    case KEY_LEFT: press.key = Qt::Key_Left; return true;
    case KEY_ENTER:
      press.key = Qt::Key_Return;
      press.text = "\r";
      return true;
    case KEY_BACKSPACE:
      press.key = Qt::Key_Backspace;
      press.text = "\b";
      return true;
    case KEY_ESCAPE:
      press.key = Qt::Key_Escape;
      press.text = "\x1b";
      return true;
    case 9:
      press.key = Qt::Key_Tab;
      press.text = "\t";
      return true;
    default: break;
  }
  if (code < 1 || code > 255 || code == 127) return false;
  const QChar c(static_cast<char16_t>(code));
  press.text = QString(c);
  if (c.isLetter() && code < 128) {
    press.key = Qt::Key_A + (c.toUpper().unicode() - 'A');
    if (c.isUpper()) press.modifiers = Qt::ShiftModifier;
  } else if (code >= 32 && code < 127) {
    press.key = code;  // Qt's keys for printable ASCII are their codes
  } else if (code <= 26) {
    press.key = Qt::Key_A + (code - 1);  // a control character: Ctrl and a letter
    press.modifiers = Qt::ControlModifier;
  } else {
    press.key = Qt::Key_unknown;
  }
  return true;
}

}  // namespace kesto::shell
