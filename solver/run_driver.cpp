#include "solver/run_driver.h"

#include "common/file_replacing.h"
#include "common/fixed_text.h"
#include "common/run_ended.h"
#include "plot/geometry_view.h"
#include "kernel/kernel.h"
#include "plot/result_maps.h"
#include "plot/sheet.h"
#include "solver/converged_answer.h"
#include "solver/convergence.h"
#include "solver/deck_reader.h"
#include "solver/field_current.h"
#include "solver/grid.h"
#include "solver/range_checks.h"
#include "solver/relaxation.h"
#include "solver/run_hooks.h"
#include "solver/sweep.h"
#include "solver/table_writer.h"
#include "textui/banner.h"
#include "textui/file_name_menu.h"
#include "textui/file_names.h"
#include "textui/markel_file.h"
#include "textui/messages.h"
#include "textui/text_screen.h"

namespace kesto::solver {
namespace {

void closing_page() {
  textui::set_message("The output files are:");
  textui::MSG_PAGE();
  textui::set_message("VOLTS.TBL=the scalar potential");
  textui::MSG_NEXT();
  textui::set_message("EFIELD.TBL=the magnitude of the electric field");
  textui::MSG_NEXT();
  textui::set_message("Use program TINTO to draw color contour maps of these files.");
  // The convergence line, where the run has no terminal to print it on,
  // goes below the prompt.
  struct Note {
    Note() {
      if (run_options().convergence_on_closing_page) textui::set_page_note([] { return last_convergence_line(); });
    }
    ~Note() { textui::set_page_note({}); }
  } note;
  textui::MSG_PAUSE();
}

}  // namespace

void name_deck(const std::string& deck, std::int32_t check_mode) {
  textui::FileNameRecord& r = textui::file_name_record();
  r.directory = std::string(66, ' ');
  r.file_name = std::string(14, ' ');
  r.default_extension = "txt";
  textui::SET_SEPARATORS();
  textui::fill_from_argument(deck);
  textui::FILE_NAME_MENU(0, 0, check_mode, 2);
  grid().DECK_NAME = r.file_name;
}

void set_program_identity() {
  textui::ProgramIdentity& id = textui::program_identity();
  id.name = "KESTO   ";
  id.version = "1A    ";
  id.release_date = " SEPT. 20, 2000";
}

RunOptions& run_options() {
  static RunOptions o;
  return o;
}

void RUN_DRIVER() {
  // 1. Program identity and the title line of every message page.
  set_program_identity();
  textui::SET_TITLE();
  textui::program_identity().notice_variant = 2;
  std::string today;
  textui::DATE_SHORT(today);
  textui::install_fatal_stop_hook();

  // 2-3. Graphics window and text screen.
  plot::TEKOPEN("kesto", 5);
  textui::TEXT_BEGIN();
  int markel_error = 0;
  if (!run_options().markel.empty() && !textui::open_markel_file(run_options().markel, today, &markel_error)) {
    textui::set_message("Fatal error: the MARKEL file cannot be written: " + common::error_text(markel_error) + ".");
    textui::NOTICE_PAGE();
    textui::FATAL_STOP();
  }

  // 4. The input deck, named on the menu; it goes on once the deck opens.
  name_deck(run_options().deck, 1);
  Grid& g = grid();

  // 5-7. Defaults, an empty grid, the deck.
  SET_DEFAULTS();
  CLEAR_GRID();
  READ_DECK();
  start_converged_answer();

  // 8-9. The sheet as read; the displays draw this grid from now on.
  plot::use_sheet(g);
  plot::MAP_LAYOUT();
  name_picture("geometry");
  plot::GEOMETRY_VIEW();

  // 10-15. Relaxation, current, field, tables. The field is computed before
  // the first table is written, so that a field that overflows ends the run
  // with nothing written; the two tables are renamed into place together.
  SET_CONDUCTANCES();
  check_conductances();
  RELAX();
  FIND_CURRENT();
  FIND_EFIELD();
  write_tables();
  deliver_converged_tables();
  textui::finish_markel_file();

  // 16-17. The closing page, then the stop.
  closing_page();
  textui::CLEAR_SCREEN();
  textui::TEXT_END();
  plot::TEKCLOSE();
  throw common::RunEnded{common::RunEnded::Kind::normal};
}

}  // namespace kesto::solver
