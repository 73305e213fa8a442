#include "shell/settings/pen_width_dialog.h"

#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <algorithm>
#include <charconv>

#include "shell/settings/dialog_runner.h"
#include "shell/window/main_window.h"
#include "shell/settings/message_box.h"
#include "shell/drawing/primitives.h"
#include "shell/settings/settings.h"
#include "shell/window/window_state.h"

namespace kesto::shell {

bool parse_pen_width(const std::string& text, std::uint32_t& value) {
  value = 0;
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return false;
  const auto last = text.find_last_not_of(" \t");
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  if (*begin < '0' || *begin > '9') return false;
  std::uint32_t v = 0;
  const auto r = std::from_chars(begin, end, v);
  if (r.ec != std::errc() || r.ptr != end) return false;
  value = v;
  return true;
}

std::string pen_width_spin(const std::string& text, bool up) {
  std::uint32_t v = 0;
  parse_pen_width(text, v);
  if (up && v < UINT32_MAX)
    ++v;
  else if (!up && v > 1)
    --v;
  return std::to_string(v);
}

void PEN_WIDTH_DIALOG() {
  Settings& s = settings();
  QDialog dialog(main_window());
  dialog.setObjectName("IDD_PENW");
  dialog.setWindowTitle("Pen Width");
  size_in_dialog_units(dialog, 272, 84);
  auto* grid = new QGridLayout(&dialog);
  const struct {
    int edit, spin;
    const char* label;
    std::int32_t value;
  } rows[] = {
      {1002, 1005, "Window:", s.window_pen_width},
      {1003, 1006, "Printer:", s.PenWidthPrinter},
      {1004, 1007, "EPS:", s.PenWidthEMF},
  };
  QLineEdit* edits[3] = {};
  for (int i = 0; i < 3; ++i) {
    grid->addWidget(new QLabel(rows[i].label, &dialog), i, 0);
    auto* edit = new QLineEdit(QString::number(rows[i].value), &dialog);
    edit->setObjectName(QString::number(rows[i].edit));
    edits[i] = edit;
    grid->addWidget(edit, i, 1);
    grid->addWidget(
        new SpinBar(
            rows[i].spin,
            [edit](bool up) { edit->setText(QString::fromStdString(pen_width_spin(edit->text().toStdString(), up))); },
            &dialog),
        i, 2);
  }
  auto* ok = new QPushButton("OK", &dialog);
  ok->setObjectName("1");
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", &dialog);
  cancel->setObjectName("2");
  grid->addWidget(ok, 0, 3);
  grid->addWidget(cancel, 1, 3);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  QObject::connect(ok, &QPushButton::clicked, [&] {
    std::uint32_t v[3] = {};
    for (int i = 0; i < 3; ++i) {
      if (!parse_pen_width(edits[i]->text().toStdString(), v[i]) || v[i] == 0) {
        show_message_box("Pen Width Error", "All pen width values must be positive integers", true);
        return;
      }
    }
    // Wider pens would only cover the picture; the widths stop at the limit.
    auto limited = [](std::uint32_t w) { return static_cast<std::int32_t>(std::min<std::uint32_t>(w, MAX_PEN_WIDTH)); };
    const std::int32_t window_width = limited(v[0]);
    s.PenWidthPrinter = limited(v[1]);
    s.PenWidthEMF = limited(v[2]);
    if (window_width != s.window_pen_width) {
      s.window_pen_width = window_width;
      colour_state().pen_width = window_width;
      WindowState& w = window_state();
      w.bitmap_valid = false;
      w.surface_stale = true;
      update_client_area();
    }
    dialog.accept();
  });
  run_dialog(dialog);
}

}  // namespace kesto::shell
