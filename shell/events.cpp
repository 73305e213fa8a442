#include "shell/events.h"

#include <deque>
#include <iostream>

#include "shell/batch.h"
#include "shell/script.h"
#include "shell/text_grid.h"
#include "shell/window_state.h"

namespace kesto::shell {
namespace {

std::deque<EventRecord>& queue() {
  static std::deque<EventRecord> q;
  return q;
}

// A key, or the window's close, waits in the queue: the run must notice both
// while it computes.
bool key_queued() {
  if (window_state().quit_seen) return true;
  for (const EventRecord& e : queue())
    if (e.type == EVENT_KEY || e.type == EVENT_QUIT) return true;
  return false;
}

// Pixel position of a scripted pointer step.
void step_position(const ScriptStep& s, EventRecord& e) {
  if (s.where == ScriptStep::Where::cell) {
    const TextLayout& l = text_layout();
    e.x = static_cast<std::int16_t>((s.x - 1) * l.cell_width + l.x_origin + l.cell_width / 2);
    e.y = static_cast<std::int16_t>((s.y - 1) * l.line_height + l.y_origin + l.line_height / 2);
  } else {
    e.x = static_cast<std::int16_t>(s.x);
    e.y = static_cast<std::int16_t>(s.y);
  }
}

// Turns the next script step into input; false when the script is used up.
bool feed_script_step() {
  Script& sc = script();
  const ScriptStep* s = sc.peek();
  if (!s) return false;
  ++sc.next;
  EventRecord e;
  switch (s->kind) {
    case ScriptStep::Kind::key:
    case ScriptStep::Kind::busy_key:
      if (s->key_code != 0) {
        e.type = EVENT_KEY;
        e.key = s->key_code;
        push_input(e);
      }
      break;
    case ScriptStep::Kind::press:
    case ScriptStep::Kind::release:
    case ScriptStep::Kind::move:
      e.type = s->kind == ScriptStep::Kind::press ? EVENT_PRESS
               : s->kind == ScriptStep::Kind::release ? EVENT_RELEASE : EVENT_MOVE;
      e.button = s->button;
      step_position(*s, e);
      push_input(e);
      break;
    case ScriptStep::Kind::close:
      e.type = EVENT_QUIT;
      push_input(e);
      break;
    default:
      std::cerr << "kesto: script line " << s->line << " has no dialog or menu to act on; skipped\n";
      break;
  }
  return true;
}

}  // namespace

void push_input(const EventRecord& event) { queue().push_back(event); }

void reset_input() {
  queue().clear();
  window_state().quit_seen = false;
}

void WAIT_EVENT(EventRecord& event) {
  WindowState& w = window_state();
  if (!w.graphics_mode) batch_print_page();
  for (;;) {
    if (w.quit_seen) {
      event = EventRecord{};
      event.type = EVENT_QUIT;
      return;
    }
    if (!queue().empty()) {
      event = queue().front();
      queue().pop_front();
      if (event.type == EVENT_QUIT) w.quit_seen = true;
      return;
    }
    if (feed_script_step()) continue;
    if (batch_answer(w.graphics_mode)) continue;
    // Nobody is left who could answer: the wait ends as if the window closed.
    EventRecord quit;
    quit.type = EVENT_QUIT;
    push_input(quit);
  }
}

std::int16_t POLL_KEY() {
  if (key_queued()) return 13;
  Script& sc = script();
  if (!sc.done()) {
    ScriptStep& s = sc.steps[sc.next];
    if (s.kind == ScriptStep::Kind::busy_key && --s.after_polls <= 0) {
      feed_script_step();
      if (key_queued()) return 13;
    }
  }
  return 0;
}

std::int16_t GI_GET_KEY() {
  EventRecord e;
  for (;;) {
    WAIT_EVENT(e);
    if (e.type == EVENT_KEY) return e.key;
    if (e.type == EVENT_QUIT) return KEY_QUIT;
  }
}

std::int16_t GI_POLL_KEY() { return POLL_KEY(); }

std::int16_t GI_CHECK_KEY() { return GI_POLL_KEY() > 0 ? GI_GET_KEY() : 0; }

}  // namespace kesto::shell
