// The script file of `--script FILE`: only a regular file is taken, of at
// most MAX_SCRIPT_BYTES, read and parsed a line at a time, so that a device,
// a FIFO or a directory given by mistake is refused at once instead of being
// read without end or taken as an empty script.
#pragma once

#include <cstdint>
#include <string>

#include "shell/script/script.h"

namespace kesto::shell {

// 16 MiB: hundreds of thousands of steps, far beyond any run's needs.
constexpr std::int64_t MAX_SCRIPT_BYTES = std::int64_t{16} << 20;

// Reads the script file at `path` into `script`. False with a message for the
// user in `error` when the file cannot be opened or read, is not a regular
// file, is larger than MAX_SCRIPT_BYTES, or has a malformed line.
bool read_script_file(const std::string& path, Script& script, std::string& error);

}  // namespace kesto::shell
