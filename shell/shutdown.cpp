#include "shell/shutdown.h"

#include "shell/window_state.h"

namespace kesto::shell {

void SHELL_SHUTDOWN() {
  // Without a window there is nothing to write back or release.
  window_state().window_open = false;
}

}  // namespace kesto::shell
