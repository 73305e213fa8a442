// Forms: a page of input fields at fixed places on the text screen, edited
// in place with the keyboard and the mouse. A field holds text (kind A) or a
// value shown in its kind (I, F, G, E, P; see field_values.h); a protected
// field cannot be edited and acts as a button. The form ends with an action
// code (actions.h) that tells its page what the user did.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::textui {

struct FormField {
  std::int16_t offset = 1;  // 1-based position of the field's text in the form's storage
  std::int16_t row = 1;     // screen position of the first character (rows 1 to 24)
  std::int16_t column = 1;
  std::int16_t width = 1;         // at most 80; at most 20 for numeric kinds
  std::int16_t format_index = 1;  // entry of the form's format string
  std::int16_t integer_value = 0;
  float real_value = 0.0f;
  std::int16_t highlight = 0;  // nonzero: the whole field in reverse video
  std::int16_t protect = 0;    // nonzero: not editable; a click ends the form with 1000 + i
};

struct Form {
  std::string storage;            // every field's text, back to back
  std::string format = "A ";      // two characters per entry: kind letter and decimals digit
  std::vector<FormField> fields;  // field i (1-based) is fields[i - 1]
  std::int16_t current = 0;       // field being edited; 0 on entry: the first editable one
  std::int16_t action = 0;        // how the form ended
};

// Field i's kind letter and decimals digit, and its text in the storage.
char field_kind(const Form& form, int i);
int field_decimals(const Form& form, int i);
std::string field_text(const Form& form, int i);

// Shows every field, then edits until an action leaves the form: Enter, a
// function key, the bar, a click outside the fields or on a protected field,
// or the window's close. Typed values that do not read in the field's kind
// are discarded silently. Moves between fields stay inside.
void FORM_EDIT(Form& form);

// FORM_EDIT again and again, Enter moving on to the next field, until any
// other action ends it.
void FORM_LOOP(Form& form);

// Edits one field's text (the edit buffer `text`, starting at position `p`)
// until a key or click ends it with `action`.
void FIELD_EDIT(Form& form, int i, std::string& text, std::int16_t p, std::int16_t& action);

// Moves the current field by the action: forward (Tab, down, right), back
// (up, left), or to a clicked field; only editable fields are reached.
void FIELD_NAV(const Form& form, std::int16_t& current, std::int16_t action);

// Draws field i with `text` in its look: reverse when highlighted, normal
// when protected, otherwise its first character reverse and the rest normal.
void SHOW_FIELD(const Form& form, int i, std::string_view text);

}  // namespace kesto::textui
