#include "shell/settings/file_dialog.h"

#include <QFileDialog>
#include <QMainWindow>
#include <algorithm>
#include <filesystem>

#include "shell/script/interaction.h"
#include "shell/window/main_window.h"

namespace kesto::shell {

const FileFilter FILE_FILTERS[FILE_FILTER_COUNT] = {
    {"GRAVO Files (*.gvo)", "*.gvo"},  {"Table Files (*.tbl;*.raw;*.asc)", "*.tbl;*.raw;*.asc"},
    {"Geometry Files (*.gw)", "*.gw"}, {"Solution Files (*.sol)", "*.sol"},
    {"All Files (*.*)", "*.*"},        {"Markel Files (*.mkl)", "*.mkl"},
};

namespace {

// Up to the last non-blank character within the length.
std::string trimmed_field(const std::string& text, std::int16_t length) {
  std::string s = text.substr(0, static_cast<std::size_t>(std::max<std::int16_t>(length, 0)));
  s = s.substr(0, s.find('\0'));
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

std::string padded(const std::string& text, std::int16_t length) {
  const std::size_t n = static_cast<std::size_t>(std::max<std::int16_t>(length, 0));
  std::string s = text.substr(0, n);
  s.resize(n, ' ');
  return s;
}

// The dialog's form of a filter: the description, then the patterns in
// parentheses (hidden from view), blank-separated; "*.*" means every file.
QString qt_filter(const FileFilter& f) {
  QString patterns = QString(f.patterns).replace(';', ' ');
  if (patterns == "*.*") patterns = "*";
  return QString(f.description) + " (" + patterns + ")";
}

std::string with_default_extension(const std::string& path, const std::string& extension = "txt") {
  const std::filesystem::path p(path);
  if (p.has_filename() && !p.has_extension()) return path + "." + extension;
  return path;
}

// The path a script's file step names, from the dialog's initial directory.
std::string scripted_path(const std::string& text, const std::string& start) {
  std::filesystem::path p(text);
  if (p.is_relative()) p = std::filesystem::path(start.empty() ? "." : start) / p;
  return std::filesystem::absolute(p).lexically_normal().string();
}

}  // namespace

void split_chosen_path(const std::string& path, std::string& directory, std::int16_t directory_length,
                       std::string& file_name, std::int16_t file_name_length, std::string& full_path,
                       std::int16_t full_path_length) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t split = slash == std::string::npos ? 0 : slash + 1;
  directory = padded(path.substr(0, split), directory_length);
  file_name = padded(path.substr(split), file_name_length);
  full_path = padded(path, full_path_length);
}

std::int16_t OPEN_FILE_DIALOG(const std::string& initial_name, std::int16_t name_length,
                              const std::string& initial_directory, std::int16_t directory_length,
                              std::int16_t filter_index, std::int16_t mode, std::string& directory,
                              std::int16_t directory_out_length, std::string& file_name,
                              std::int16_t file_name_out_length, std::string& full_path,
                              std::int16_t full_path_out_length) {
  const std::string name = trimmed_field(initial_name, name_length);
  const std::string start = trimmed_field(initial_directory, directory_length);
  const int filter = filter_index >= 1 && filter_index <= FILE_FILTER_COUNT ? filter_index - 1 : 0;
  std::string chosen;
  if (person_answers()) {
    QFileDialog dialog(main_window());
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    QStringList filters;
    for (const FileFilter& f : FILE_FILTERS) filters << qt_filter(f);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters[filter]);
    dialog.setDefaultSuffix("txt");
    // Modes 0 and 1 open the file for reading only.
    dialog.setOption(QFileDialog::ReadOnly, mode == 0 || mode == 1);
    if (!start.empty()) dialog.setDirectory(QString::fromStdString(start));
    if (!name.empty()) dialog.selectFile(QString::fromStdString(name));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return 1;
    chosen = dialog.selectedFiles().first().toStdString();
  } else {
    // Answered by the script's next file step; without one it is cancelled.
    const ScriptStep* s = take_step(ScriptStep::Kind::file);
    if (!s || s->text == "cancel") return 1;
    chosen = with_default_extension(scripted_path(s->text, start));
  }
  split_chosen_path(chosen, directory, directory_out_length, file_name, file_name_out_length, full_path,
                    full_path_out_length);
  return 0;
}

std::optional<std::string> SAVE_FILE_DIALOG(const FileFilter& filter, const std::string& default_extension,
                                            const std::string& initial_directory, const std::string& proposed_name) {
  if (!person_answers()) {
    const ScriptStep* s = take_step(ScriptStep::Kind::file);
    if (!s || s->text == "cancel") return std::nullopt;
    return with_default_extension(scripted_path(s->text, initial_directory), default_extension);
  }
  QFileDialog dialog(main_window());
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setNameFilter(qt_filter(filter));
  dialog.setDefaultSuffix(QString::fromStdString(default_extension));
  if (!initial_directory.empty()) dialog.setDirectory(QString::fromStdString(initial_directory));
  if (!proposed_name.empty()) dialog.selectFile(QString::fromStdString(proposed_name));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

}  // namespace kesto::shell
