#include "shell/script/batch.h"

#include <cerrno>
#include <filesystem>
#include <iostream>

#include "common/file_replacing.h"
#include "common/run_ended.h"
#include "shell/drawing/plot_buffer.h"
#include "shell/window/events.h"
#include "shell/window/text_grid.h"

namespace kesto::shell {
namespace {
PictureSaver g_saver = nullptr;

// Answers to one page, never redrawn, after which the batch gives up.
constexpr int kMaxAnswersToOnePage = 100;

std::ostream& out() {
  BatchMode& b = batch_mode();
  return b.out ? *b.out : std::cout;
}

[[noreturn]] void stop_stalled(const char* why) {
  out() << "kesto: the batch stopped because " << why << '\n' << std::flush;
  throw common::RunEnded{common::RunEnded::Kind::stalled};
}

// The automatic user is about to answer a point pick: the same pick again,
// from the same point over a picture that has not changed, would only bring
// the same answer back.
void check_pick(BatchMode& b) {
  const std::uint64_t picture = plot_buffer().shapes;
  const bool same_point = b.pick_answered && b.pick_x == b.answered_pick_x && b.pick_y == b.answered_pick_y;
  b.same_pick_answers = same_point ? b.same_pick_answers + 1 : 0;
  if ((same_point && picture == b.answered_pick_picture) || b.same_pick_answers >= kMaxAnswersToOnePage)
    stop_stalled("this picture asked again for a point unchanged.");
  b.pick_answered = true;
  b.answered_pick_x = b.pick_x;
  b.answered_pick_y = b.pick_y;
  b.answered_pick_picture = picture;
}
}  // namespace

BatchMode& batch_mode() {
  static BatchMode b;
  return b;
}

void NAME_PICTURE(const std::string& name) { batch_mode().next_picture_name = name; }

void set_picture_saver(PictureSaver saver) { g_saver = saver; }

PickWait::PickWait(float x, float y) {
  BatchMode& b = batch_mode();
  b.pick_waiting = true;
  b.pick_x = x;
  b.pick_y = y;
}

PickWait::~PickWait() { batch_mode().pick_waiting = false; }

void batch_print_page() {
  BatchMode& b = batch_mode();
  if (!b.enabled) return;
  const std::string page = text_page();
  const std::uint64_t clears = text_grid().clears;
  if (page == b.last_printed_page && clears == b.last_printed_clears) return;
  b.last_printed_page = page;
  b.last_printed_clears = clears;
  out() << page << '\n' << std::flush;
}

void batch_page_waited_on() {
  if (batch_mode().enabled) batch_mode().page_waited_on = true;
}

void batch_page_leaving() {
  BatchMode& b = batch_mode();
  if (!b.enabled || !b.page_waited_on) return;
  batch_print_page();
  b.page_waited_on = false;
}

std::int16_t set_batch_answer_key(std::int16_t key) {
  const std::int16_t previous = batch_mode().answer_key;
  batch_mode().answer_key = key;
  return previous;
}

void batch_forget_pages() {
  BatchMode& b = batch_mode();
  b.last_printed_page.clear();
  b.last_printed_clears = ~0ull;
  b.answered_pages.clear();
  b.last_answered_page.clear();
  b.last_answered_clears = ~0ull;
  b.same_page_answers = 0;
  b.pick_answered = false;
  b.same_pick_answers = 0;
}

bool batch_answer(bool graphics_shown) {
  BatchMode& b = batch_mode();
  if (!b.enabled) return false;
  if (b.pick_waiting) check_pick(b);
  if (graphics_shown) {
    b.last_picture_name = b.next_picture_name.empty() ? "picture" : b.next_picture_name;
    if (!b.pictures_dir.empty() && g_saver) {
      ++b.pictures_saved;
      std::string name =
          b.next_picture_name.empty() ? "picture" + std::to_string(b.pictures_saved) : b.next_picture_name;
      const std::filesystem::path path = std::filesystem::path(b.pictures_dir) / (name + ".png");
      std::error_code ec;
      std::filesystem::create_directories(b.pictures_dir, ec);
      errno = 0;
      if (!g_saver(path.string())) {
        const int error = errno != 0 ? errno : EIO;
        std::cerr << "kesto: could not save the picture " << path.string() << " (" << common::error_text(error)
                  << ")\n";
        b.file_not_written = true;
      }
    }
    b.next_picture_name.clear();
  } else {
    batch_print_page();
    const std::string page = text_page();
    const std::uint64_t clears = text_grid().clears;
    // A page answered before and drawn again since comes round in a loop (a
    // menu that sends the same answer back to an error page); one page
    // answered over and over without being drawn again ignores the answer.
    const auto seen = b.answered_pages.find(page);
    const bool drawn_again = seen != b.answered_pages.end() && seen->second != clears;
    if (page == b.last_answered_page && clears == b.last_answered_clears)
      ++b.same_page_answers;
    else
      b.same_page_answers = 0;
    if (drawn_again || b.same_page_answers >= kMaxAnswersToOnePage)
      stop_stalled("this page was shown again unchanged.");
    if (!b.pick_waiting) b.pick_answered = false;  // the run went on from its last pick
    b.answered_pages[page] = clears;
    b.last_answered_page = page;
    b.last_answered_clears = clears;
  }
  EventRecord key;
  key.type = EVENT_KEY;
  key.key = b.answer_key;
  push_input(key);
  return true;
}

}  // namespace kesto::shell
