#include "shell/window/busy_cursor.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

namespace kesto::shell {

BusyCursor::BusyCursor() {
  // Without a GUI application (a test of the drawing alone) there is no cursor.
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
  QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  shown_ = true;
}

BusyCursor::~BusyCursor() {
  if (shown_) QGuiApplication::restoreOverrideCursor();
}

}  // namespace kesto::shell
