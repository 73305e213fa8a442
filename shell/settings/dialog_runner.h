// Running the shell's modal dialogs: a person answers them on a real
// display; otherwise the script's dialog steps fill and press them, and a
// dialog that no step closes is cancelled, so nothing ever waits for nobody.
#pragma once

#include <QWidget>
#include <functional>

class QDialog;
class QToolButton;

namespace kesto::shell {

// A pair of small arrow buttons beside an edit ("spin bar"): up steps the
// value up, down steps it down.
class SpinBar : public QWidget {
 public:
  SpinBar(int id, std::function<void(bool up)> on_step, QWidget* parent);
  void step(bool up) { on_step_(up); }

 private:
  std::function<void(bool up)> on_step_;
};

// Gives the dialog at least the size of its template in dialog units (a
// quarter of the average character width across, an eighth of the
// character height down).
void size_in_dialog_units(QDialog& dialog, int width, int height);

// Runs the dialog modally; its result (QDialog::Accepted or Rejected).
int run_dialog(QDialog& dialog);

}  // namespace kesto::shell
