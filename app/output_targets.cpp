#include "app/output_targets.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <vector>

#include "common/file_replacing.h"

namespace kesto::app {
namespace {

namespace fs = std::filesystem;

// The pictures a run names; unnamed ones are numbered and cannot be known
// beforehand (those are checked as they are written).
const char* const kPictureNames[] = {"geometry", "potential"};
const char* const kExportExtensions[] = {".eps", ".tif", ".wmf", ".emf", ".pdf"};

// Only what can never be written is refused here: a read-only file is left
// to its writer, which says why it could not write it.
bool special(const std::string& path, const std::string& what, std::string& error) {
  const int e = common::target_error(path);
  if (e == EISDIR) {
    error = what + " " + path + " is a directory";
    return true;
  }
  if (e == common::kNotRegularFile) {
    error = what + " " + path + " is not a regular file (a FIFO, a device or a socket); it is not replaced";
    return true;
  }
  return false;
}

bool folder_refused(const std::string& dir, const char* option, std::string& error) {
  struct stat st {};
  if (::stat(dir.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
    error = std::string(option) + " " + dir + ": not a directory";
    return true;
  }
  return false;
}

}  // namespace

bool check_output_targets(const OutputTargets& t, std::string& error) {
  for (const char* table : {"VOLTS.TBL", "EFIELD.TBL"}) {
    const std::string path = t.tables_folder == "." ? table : (fs::path(t.tables_folder) / table).string();
    if (special(path, "the table file", error)) return false;
  }
  if (!t.markel.empty() && special(t.markel, "the MARKEL file", error)) return false;
  if (!t.convergence.empty() && special(t.convergence, "the convergence file", error)) return false;
  if (!t.pictures.empty()) {
    if (folder_refused(t.pictures, "--pictures", error)) return false;
    for (const char* name : kPictureNames)
      if (special((fs::path(t.pictures) / (std::string(name) + ".png")).string(), "the picture file", error))
        return false;
  }
  if (!t.exports.empty()) {
    if (folder_refused(t.exports, "--export", error)) return false;
    for (const char* name : kPictureNames)
      for (const char* extension : kExportExtensions)
        if (special((fs::path(t.exports) / (std::string(name) + extension)).string(), "the picture file", error))
          return false;
  }
  return true;
}

}  // namespace kesto::app
