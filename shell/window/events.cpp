#include "shell/window/events.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <deque>

#include "shell/script/batch.h"
#include "shell/script/interaction.h"
#include "shell/window/main_window.h"
#include "shell/window/menu_commands.h"
#include "shell/window/page_mapping.h"
#include "shell/script/script.h"
#include "shell/script/script_player.h"
#include "shell/window/window_state.h"

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

// Handles whatever the window has pending (repaints, input, menu commands)
// without waiting.
void process_pending_window_events() {
  if (client_area() && QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool is_pointer_event(const EventRecord& e) {
  return e.type == EVENT_PRESS || e.type == EVENT_RELEASE || e.type == EVENT_MOVE;
}

}  // namespace

void push_input(const EventRecord& event) { queue().push_back(event); }

void reset_input() {
  queue().clear();
  forget_held_menu_commands();
  window_state().quit_seen = false;
}

void WAIT_EVENT(EventRecord& event) {
  WindowState& w = window_state();
  if (!w.graphics_mode) {
    if (!w.caret_shown) {
      w.caret_shown = true;
      update_client_area();
    }
    batch_page_waited_on();
  }
  for (;;) {
    process_pending_window_events();
    if (w.quit_seen) {
      event = EventRecord{};
      event.type = EVENT_QUIT;
      return;
    }
    if (!queue().empty()) {
      event = queue().front();
      queue().pop_front();
      if (event.type == EVENT_QUIT) w.quit_seen = true;
      if (w.graphics_mode && is_pointer_event(event)) FROM_DEVICE(event.x, event.y, event.x, event.y);
      return;
    }
    // Nothing is waiting: the program now waits for the user, and what was
    // chosen from the menu while it computed is carried out first.
    if (run_held_menu_commands()) continue;
    if (play_next_script_step()) continue;
    if (batch_answer(w.graphics_mode)) continue;
    if (client_area() && person_answers()) {
      // A person at the window: handle its messages until one becomes input.
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
      continue;
    }
    // Nobody is left who could answer: the wait ends as if the window closed.
    EventRecord quit;
    quit.type = EVENT_QUIT;
    push_input(quit);
  }
}

std::int16_t POLL_KEY() {
  // The program computes: menu commands chosen meanwhile wait for its next wait.
  const HoldMenuCommands hold;
  process_pending_window_events();
  if (key_queued()) return 13;
  Script& sc = script();
  if (!sc.done()) {
    ScriptStep& s = sc.steps[sc.next];
    if (s.busy && --s.after_polls <= 0) {
      play_next_script_step();
      process_pending_window_events();
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
