// What picture output remembers during a run: the file names last chosen
// for EPS and TIFF (proposed again by their dialogs) and the printer the
// print dialogs chose (kept until the shell shuts down).
#pragma once

#include <memory>
#include <string>

class QPrinter;

namespace kesto::shell {

struct OutputState {
  std::string eps_name;
  std::string tiff_name;
  std::shared_ptr<QPrinter> printer;  // null until a printer is chosen
};

OutputState& output_state();

}  // namespace kesto::shell
