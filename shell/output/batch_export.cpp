#include "shell/output/batch_export.h"

#include <cerrno>
#include <filesystem>
#include <iostream>
#include <vector>

#include "common/file_replacing.h"
#include "shell/output/emf_writer.h"
#include "shell/output/eps_writer.h"
#include "shell/output/printing.h"
#include "shell/output/tiff_writer.h"
#include "shell/output/wmf_writer.h"
#include "shell/script/batch.h"

namespace kesto::shell {

bool export_picture(const std::string& dir, const std::string& name) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::create_directories(dir, ec);
  const auto path = [&](const char* extension) { return (fs::path(dir) / (name + extension)).string(); };
  bool all = true;
  const auto report = [&](int error, const std::string& file) {
    if (error != 0)
      std::cerr << "kesto: could not write the picture " << file << " (" << common::error_text(error) << ")\n";
    all = all && error == 0;
  };
  const auto write = [&](const char* extension, const std::vector<std::uint8_t>& bytes) {
    report(common::replace_file(path(extension), bytes.data(), bytes.size()), path(extension));
  };
  write(".eps", picture_eps());
  write(".tif", picture_tiff());
  write(".wmf", picture_wmf());
  write(".emf", picture_emf());
  // The printer says only whether it printed; the reason is then unknown.
  if (!PRINT(*pdf_printer(path(".pdf")))) {
    const int error = common::target_error(path(".pdf"));
    report(error != 0 ? error : EIO, path(".pdf"));
  }
  return all;
}

void export_batch_picture() {
  const BatchMode& b = batch_mode();
  if (!b.enabled || b.export_dir.empty()) return;
  if (b.last_picture_name.empty()) {
    std::cerr << "kesto: the run showed no picture; nothing was exported\n";
    return;
  }
  if (!export_picture(b.export_dir, b.last_picture_name)) batch_mode().file_not_written = true;
}

}  // namespace kesto::shell
