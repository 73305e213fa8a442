#include "shell/settings/page_setup_dialog.h"

#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>

#include "shell/settings/dialog_runner.h"
#include "shell/settings/inches.h"
#include "shell/window/main_window.h"
#include "shell/settings/message_box.h"
#include "shell/settings/settings.h"

namespace kesto::shell {

void PAGE_SETUP_DIALOG() {
  Settings& s = settings();
  QDialog dialog(main_window());
  dialog.setObjectName("IDD_PASETUP");
  dialog.setWindowTitle("Page Setup");
  size_in_dialog_units(dialog, 130, 143);
  auto* grid = new QGridLayout(&dialog);
  const struct {
    int edit, spin;
    const char* label;
    std::int32_t value;
  } rows[] = {
      {1002, 1005, "Top Margin", s.PageTopMargin},
      {1003, 1006, "Left Margin", s.PageLeftMargin},
      {1004, 1007, "Width", s.PageWidth},
  };
  QLineEdit* edits[3] = {};
  for (int i = 0; i < 3; ++i) {
    grid->addWidget(new QLabel(rows[i].label, &dialog), i, 0);
    auto* edit = new QLineEdit(QString::fromStdString(FORMAT_INCHES(rows[i].value)), &dialog);
    edit->setObjectName(QString::number(rows[i].edit));
    edit->setMaxLength(8);
    edits[i] = edit;
    grid->addWidget(edit, i, 1);
    grid->addWidget(
        new SpinBar(
            rows[i].spin,
            [edit](bool up) { edit->setText(QString::fromStdString(inch_spin(edit->text().toStdString(), up))); },
            &dialog),
        i, 2);
  }
  auto* portrait = new QRadioButton("Portrait", &dialog);
  portrait->setObjectName("1008");
  auto* landscape = new QRadioButton("Landscape", &dialog);
  landscape->setObjectName("1009");
  (s.LandscapePrinter == 1 ? landscape : portrait)->setChecked(true);
  QObject::connect(portrait, &QRadioButton::clicked, [&s] { s.LandscapePrinter = 0; });
  QObject::connect(landscape, &QRadioButton::clicked, [&s] { s.LandscapePrinter = 1; });
  grid->addWidget(portrait, 3, 0, 1, 2);
  grid->addWidget(landscape, 4, 0, 1, 2);
  auto* ok = new QPushButton("OK", &dialog);
  ok->setObjectName("1");
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", &dialog);
  cancel->setObjectName("2");
  grid->addWidget(ok, 5, 0);
  grid->addWidget(cancel, 5, 1);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  QObject::connect(ok, &QPushButton::clicked, [&] {
    std::int32_t v[3] = {};
    for (int i = 0; i < 3; ++i) {
      if (!PARSE_INCHES(edits[i]->text().left(8).toStdString(), v[i])) {
        show_message_box("Page Setup Error", "Invalid data", true);
        return;
      }
    }
    s.PageTopMargin = v[0];
    s.PageLeftMargin = v[1];
    s.PageWidth = v[2];
    dialog.accept();
  });
  run_dialog(dialog);
}

}  // namespace kesto::shell
