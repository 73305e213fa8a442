#include "solver/run_hooks.h"

namespace kesto::solver {

RunHooks& run_hooks() {
  static RunHooks hooks;
  return hooks;
}

void name_picture(const std::string& name) {
  if (run_hooks().picture_named) run_hooks().picture_named(name);
}

void forget_pages() {
  if (run_hooks().pages_forgotten) run_hooks().pages_forgotten();
}

void leave_page() {
  if (run_hooks().page_left) run_hooks().page_left();
}

void run_unattended(std::ostream& pages, const std::function<void()>& body) {
  if (run_hooks().unattended)
    run_hooks().unattended(pages, body);
  else
    body();
}

}  // namespace kesto::solver
