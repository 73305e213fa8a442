#include "shell/settings/dialog_runner.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFontMetrics>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <iostream>

#include "shell/script/interaction.h"

namespace kesto::shell {

SpinBar::SpinBar(int id, std::function<void(bool up)> on_step, QWidget* parent)
    : QWidget(parent), on_step_(std::move(on_step)) {
  setObjectName(QString::number(id));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (bool up : {true, false}) {
    auto* b = new QToolButton(this);
    b->setArrowType(up ? Qt::UpArrow : Qt::DownArrow);
    b->setObjectName(up ? "up" : "down");
    b->setAutoRepeat(true);
    b->setFixedSize(16, 11);
    QObject::connect(b, &QToolButton::clicked, [this, up] { step(up); });
    layout->addWidget(b);
  }
}

void size_in_dialog_units(QDialog& dialog, int width, int height) {
  const QFontMetrics m(dialog.font());
  dialog.setMinimumSize(width * m.averageCharWidth() / 4, height * m.height() / 8);
}

namespace {

// Plays one dialog step; false when it names no control of the dialog.
bool play_step(QDialog& dialog, const ScriptStep& s) {
  const QString id = QString::number(s.id);
  switch (s.kind) {
    case ScriptStep::Kind::dialog_text:
      if (auto* edit = dialog.findChild<QLineEdit*>(id)) {
        edit->setText(QString::fromStdString(s.text));
        return true;
      }
      return false;
    case ScriptStep::Kind::dialog_button:
      if (auto* button = dialog.findChild<QAbstractButton*>(id)) {
        button->click();
        return true;
      }
      return false;
    case ScriptStep::Kind::dialog_spin:
      if (auto* spin = dialog.findChild<SpinBar*>(id)) {
        spin->step(s.text == "up");
        return true;
      }
      return false;
    default: return false;
  }
}

}  // namespace

int run_dialog(QDialog& dialog) {
  if (person_answers()) return dialog.exec();
  dialog.setResult(QDialog::Rejected);
  dialog.show();
  Script& sc = script();
  bool closed = false;
  QObject::connect(&dialog, &QDialog::finished, [&closed](int) { closed = true; });
  while (!closed) {
    const ScriptStep* s = sc.peek();
    if (!s || (s->kind != ScriptStep::Kind::dialog_text && s->kind != ScriptStep::Kind::dialog_button &&
               s->kind != ScriptStep::Kind::dialog_spin))
      break;
    ++sc.next;
    if (!play_step(dialog, *s))
      std::cerr << "kesto: script line " << s->line << ": the dialog has no control " << s->id << '\n';
  }
  // No step left for this dialog: it is cancelled.
  if (!closed) dialog.reject();
  dialog.hide();
  return dialog.result();
}

}  // namespace kesto::shell
