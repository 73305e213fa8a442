#include "shell/output/output_state.h"

#include <QPrinter>

namespace kesto::shell {

OutputState& output_state() {
  static OutputState s;
  return s;
}

}  // namespace kesto::shell
