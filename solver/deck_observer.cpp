#include "solver/deck_observer.h"

namespace kesto::solver {
namespace {

DeckObserver* g_observer = nullptr;

}  // namespace

DeckObserver& deck_observer() {
  static DeckObserver silent;
  return g_observer ? *g_observer : silent;
}

void set_deck_observer(DeckObserver* observer) { g_observer = observer; }

}  // namespace kesto::solver
