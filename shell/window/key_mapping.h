// Translation between the window system's keys and the program's key codes:
// characters by their code, F1-F12 129-140, up 141, down 142, right 143,
// left 144. Keys that are none of these (Shift alone, Home, Delete) give 0,
// which means no key event at all; so do keys typed with Alt or Meta held
// (Alt with a letter that is no menu's mnemonic reaches the window as the
// plain letter). AltGr is not Alt: the characters it types count.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

namespace kesto::shell {

// The key code of a key press (Qt key, modifiers held and the text it
// types); 0 for none.
std::int16_t key_code_for(int qt_key, Qt::KeyboardModifiers modifiers, const QString& text);

// A key press that yields a given key code, for playing scripted keys
// through the window.
struct QtKeyPress {
  int key = 0;
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
  QString text;
};
// The key press for a scripted key (its name as written and its code);
// false when no key of the keyboard yields that code.
bool qt_key_for(const std::string& name, std::int16_t code, QtKeyPress& press);

}  // namespace kesto::shell
