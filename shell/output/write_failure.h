// The message box of a picture file that could not be written: the
// writer's own line, then the system's reason on a second line.
#pragma once

#include <string>

namespace kesto::shell {

void show_write_failure(const std::string& text, int error);

}  // namespace kesto::shell
