#include "shell/script/interaction.h"

#include <QGuiApplication>

#include "shell/script/batch.h"

namespace kesto::shell {

bool real_display() {
  if (!QGuiApplication::instance()) return false;
  const QString platform = QGuiApplication::platformName();
  return platform != "offscreen" && platform != "minimal";
}

bool person_answers() { return real_display() && !batch_mode().enabled && script().done(); }

const ScriptStep* take_step(ScriptStep::Kind kind) {
  Script& sc = script();
  const ScriptStep* s = sc.peek();
  if (!s || s->kind != kind) return nullptr;
  ++sc.next;
  return s;
}

}  // namespace kesto::shell
