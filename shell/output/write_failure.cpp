#include "shell/output/write_failure.h"

#include "common/file_replacing.h"
#include "shell/settings/message_box.h"

namespace kesto::shell {

void show_write_failure(const std::string& text, int error) { SHOW_MESSAGE(text + "\n" + common::error_text(error)); }

}  // namespace kesto::shell
