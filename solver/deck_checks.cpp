#include "solver/deck_checks.h"

#include "common/fixed_text.h"
#include "solver/grid.h"
#include "textui/messages.h"

namespace kesto::solver {

using textui::set_message;

void CHECK_INTERIOR(std::int32_t IS, std::int32_t JS, std::int32_t IE, std::int32_t JE) {
  const Grid& g = grid();
  set_message("");
  if (IS < 2 || IS > g.NX - 1) set_message("Fatal Error:");
  if (IE < 2 || IE > g.NX - 1) set_message("Fatal Error:");
  if (JS < 2 || JS > g.NY - 1) set_message("Fatal Error:");
  if (JE < 2 || JE > g.NY - 1) set_message("Fatal Error:");
  if (common::trimmed_length(textui::message_area().message_line) == 0) return;
  textui::MSG_PAGE();
  set_message("Edge cells must be grounded or at fixed potential.");
  textui::MSG_NEXT();
  set_message("Only interior cells can be set to insulating or resistive.");
  textui::MSG_PAUSE();
  textui::FATAL_STOP();
}

void CHECK_CURRENT_LINE() {
  Grid& g = grid();
  bool passes = false;
  if (g.ICE == g.ICS) {  // vertical, or a single cell
    if (g.JCS <= 0) g.JCS = 1;
    if (g.JCE > g.NY) g.JCE = g.NY;
    passes = g.ICS >= 3 && g.ICE <= g.NX - 2;
  } else if (g.JCE == g.JCS) {  // horizontal
    if (g.ICS <= 0) g.ICS = 1;
    if (g.ICE > g.NX) g.ICE = g.NX;
    passes = g.JCS >= 3 && g.JCE <= g.NY - 2;
  } else {
    set_message("Fatal error: the line for finding current flow");
    textui::MSG_PAGE();
    set_message("must be either horizontal or vertical.");
    textui::MSG_PAUSE();
    textui::FATAL_STOP();
  }
  if (passes) return;
  set_message("Fatal error: the line for finding current flow");
  textui::MSG_PAGE();
  set_message("must be at least 3 cells from the edge.");
  textui::MSG_PAUSE();
  textui::FATAL_STOP();
}

}  // namespace kesto::solver
