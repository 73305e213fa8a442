// The data file the run works on, remembered as the default folder and file
// stem of the picture export dialogs.
#pragma once

#include <string>

namespace kesto::shell {

struct DataFile {
  std::string directory;
  std::string file_name;
};

DataFile& data_file();

}  // namespace kesto::shell
