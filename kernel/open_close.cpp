// Opening and closing the graphics, and the bracket around each picture.
#include <algorithm>
#include <iostream>

#include "common/run_ended.h"
#include "kernel/kernel.h"
#include "kernel/recording.h"
#include "shell/graphics/graphics_interface.h"

namespace kesto::plot {

void TEKOPEN(std::string_view caption, std::int16_t length) {
  kernel_state().vertical_scale = 1.0f;
  // The caption is passed on as a counted text; never read past its end.
  const std::int16_t n = static_cast<std::int16_t>(
      std::clamp<std::int32_t>(length, 0, static_cast<std::int32_t>(std::min<std::size_t>(caption.size(), 31))));
  const std::string text(caption.substr(0, static_cast<std::size_t>(n)));
  shell::SET_CAPTION(text.c_str(), n);
  shell::GI_OPEN();
  // Frame and viewport of the page's aspect, world window in page units:
  // the view mapping is then the identity on page units.
  const float r = 1250.0f / 1750.0f;
  shell::GI_SET_FRAME(-1.0f, 1.0f, -r, r);
  shell::GI_SET_VIEWPORT(-1.0f, 1.0f, -r, r);
  shell::GI_SET_WINDOW(-1750.0f, 1750.0f, -1250.0f, 1250.0f);
  shell::GI_TEXT_PROPORTIONAL(1);
}

void TEKPAGE(std::int32_t I) {
  if (I == 0) {
    if (recording()) {
      write_record("CM");
      write_record("CM ");
      write_record("CM");
    }
    shell::GI_CLEAR();
  }
  shell::GI_BEGIN(0);
}

void TEKFLUSH(std::int32_t I) {
  if (recording()) {
    write_record("CM");
    write_record("CM");
  }
  flush_records();
  if (I == 0) {
    shell::GI_END(0);
  } else if (I == 1) {
    shell::GI_END(1);
    shell::GI_HIDE_GRAPHICS();
  } else {
    shell::GI_END(0);
    std::cout << " ERROR: TEKFLUSH CALLED WITH I NOT 0 OR 1" << std::endl;
    // A programming fault: the program stops at once, without the shell's
    // orderly shut-down.
    throw common::RunEnded{common::RunEnded::Kind::abrupt};
  }
}

void TEKCLOSE() {
  flush_records();
  shell::SHELL_SHUTDOWN();
}

}  // namespace kesto::plot
