#include "shell/script/batch.h"

#include <filesystem>
#include <iostream>

#include "common/run_ended.h"
#include "shell/window/events.h"
#include "shell/window/text_grid.h"

namespace kesto::shell {
namespace {
PictureSaver g_saver = nullptr;

std::ostream& out() {
  BatchMode& b = batch_mode();
  return b.out ? *b.out : std::cout;
}
}  // namespace

BatchMode& batch_mode() {
  static BatchMode b;
  return b;
}

void NAME_PICTURE(const std::string& name) { batch_mode().next_picture_name = name; }

void set_picture_saver(PictureSaver saver) { g_saver = saver; }

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

bool batch_answer(bool graphics_shown) {
  BatchMode& b = batch_mode();
  if (!b.enabled) return false;
  if (graphics_shown) {
    b.last_picture_name = b.next_picture_name.empty() ? "picture" : b.next_picture_name;
    if (!b.pictures_dir.empty() && g_saver) {
      ++b.pictures_saved;
      std::string name =
          b.next_picture_name.empty() ? "picture" + std::to_string(b.pictures_saved) : b.next_picture_name;
      const std::filesystem::path path = std::filesystem::path(b.pictures_dir) / (name + ".png");
      std::error_code ec;
      std::filesystem::create_directories(b.pictures_dir, ec);
      if (!g_saver(path.string())) std::cerr << "kesto: could not save the picture " << path.string() << '\n';
    }
    b.next_picture_name.clear();
  } else {
    const std::string page = text_page();
    const std::uint64_t clears = text_grid().clears;
    if (page == b.last_answered_page && clears != b.last_answered_clears) {
      out() << "kesto: the batch stopped because this page was shown again unchanged.\n" << std::flush;
      throw common::RunEnded{common::RunEnded::Kind::stalled};
    }
    b.last_answered_page = page;
    b.last_answered_clears = clears;
  }
  EventRecord enter;
  enter.type = EVENT_KEY;
  enter.key = KEY_ENTER;
  push_input(enter);
  return true;
}

}  // namespace kesto::shell
