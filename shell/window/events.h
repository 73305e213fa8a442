// Input events: the record that every key and pointer wait receives, the
// event wait itself, the non-blocking key poll and the key reads built on them.
#pragma once

#include <cstdint>

namespace kesto::shell {

// Key codes as the application sees them.
enum KeyCode : std::int16_t {
  KEY_BACKSPACE = 8,
  KEY_ENTER = 13,
  KEY_ESCAPE = 27,
  KEY_F1 = 129,  // F1..F12 are 129..140
  KEY_F10 = 138,
  KEY_F12 = 140,
  KEY_UP = 141,
  KEY_DOWN = 142,
  KEY_RIGHT = 143,
  KEY_LEFT = 144,
  KEY_QUIT = -11,  // the window was closed
};

// Event types.
enum EventType : std::int16_t {
  EVENT_NONE = 0,
  EVENT_PRESS = 1,
  EVENT_KEY = 2,
  EVENT_MOVE = 5,
  EVENT_RELEASE = 6,
  EVENT_QUIT = 7,
};

struct EventRecord {
  std::int16_t type = EVENT_NONE;
  std::int16_t key = 0;     // for EVENT_KEY
  std::int16_t button = 0;  // 1 left, 2 right; for a move the buttons held (1, 2, 3 or 0)
  std::int16_t x = 0;       // page units in graphics mode, client pixels in text mode
  std::int16_t y = 0;
};

// Blocks until an input event arrives (window messages are handled meanwhile)
// and returns it; positions are converted to page units in graphics mode.
void WAIT_EVENT(EventRecord& event);

// 13 when a key is waiting (nothing is removed), 0 otherwise. Never blocks.
std::int16_t POLL_KEY();

// Waits for a key (pointer events are discarded): its code, or -11 when the
// window was closed.
std::int16_t GI_GET_KEY();

// POLL_KEY under the graphics call interface.
std::int16_t GI_POLL_KEY();

// 0 when no key waits; otherwise reads and returns it (-11 for a closed window).
std::int16_t GI_CHECK_KEY();

// The key that batch mode's automatic user presses at the waits from now on
// (Enter unless a page asks for another); returns the one it replaces.
std::int16_t set_batch_answer_key(std::int16_t key);

// ---- The input queue between the event sources and the waits --------------

// Appends an input event (positions in client pixels) for the next wait.
void push_input(const EventRecord& event);

// Forgets every queued event and the quit state (a fresh run in tests).
void reset_input();

}  // namespace kesto::shell
