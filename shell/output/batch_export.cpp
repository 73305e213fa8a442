#include "shell/output/batch_export.h"

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
  const auto report = [&](bool written, const std::string& file) {
    if (!written) std::cerr << "kesto: could not write the picture " << file << '\n';
    all = all && written;
  };
  report(common::write_file_replacing(path(".eps"), picture_eps()), path(".eps"));
  report(common::write_file_replacing(path(".tif"), picture_tiff()), path(".tif"));
  report(common::write_file_replacing(path(".wmf"), picture_wmf()), path(".wmf"));
  report(common::write_file_replacing(path(".emf"), picture_emf()), path(".emf"));
  report(PRINT(*pdf_printer(path(".pdf"))), path(".pdf"));
  return all;
}

void export_batch_picture() {
  const BatchMode& b = batch_mode();
  if (!b.enabled || b.export_dir.empty()) return;
  if (b.last_picture_name.empty()) {
    std::cerr << "kesto: the run showed no picture; nothing was exported\n";
    return;
  }
  export_picture(b.export_dir, b.last_picture_name);
}

}  // namespace kesto::shell
