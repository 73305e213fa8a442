#include "app/batch_hooks.h"

#include "shell/window/process_entry.h"
#include "solver/run_hooks.h"

namespace kesto::app {

void install_batch_hooks() {
  solver::RunHooks& h = solver::run_hooks();
  h.picture_named = &shell::NAME_BATCH_PICTURE;
  h.pages_forgotten = &shell::FORGET_BATCH_PAGES;
  h.page_left = &shell::LEAVE_BATCH_PAGE;
  h.unattended = &shell::RUN_AS_BATCH;
}

}  // namespace kesto::app
