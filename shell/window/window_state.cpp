#include "shell/window/window_state.h"

namespace kesto::shell {

WindowState& window_state() {
  static WindowState w;
  return w;
}

}  // namespace kesto::shell
