// The deck check: reads a deck exactly as a run reads it, without a window,
// sweeps or tables, and reports what the reader made of every line, each
// line that would stop a run (with the page the run shows), and the lines
// that most likely do not say what their writer meant.
#pragma once

#include <iosfwd>
#include <string>

namespace kesto::solver {

// Checks the deck at `path` (completed with ".txt" as a run completes it)
// and writes the report to `out`. Returns 0 when there is nothing to report,
// 1 for warnings only, 2 when at least one line would stop a run.
int check_deck(const std::string& path, std::ostream& out);

}  // namespace kesto::solver
