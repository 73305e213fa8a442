// Checks that keep every number of a run within single precision: the link
// conductances and the relaxation's weighted sums before the first sweep,
// the potentials after the last one, and the page that ends a run whose
// current, field or cell coordinates overflow. Each quantity is checked once,
// where it is computed, so that no sweep, display or table meets a number
// that is not finite; the pages end the run before anything is written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kesto::solver {

// Every GX, GY and SINV that the update of a free cell uses must be a finite
// positive number, and the largest potential times the cell's conductances
// must stay well inside the single-precision range, so that no weighted sum
// of a sweep can overflow. Otherwise a fatal page names the first such cell
// and its resistivity. Called once, after SET_CONDUCTANCES.
void check_conductances();

// Every potential must be finite after the sweeps; otherwise the picture is
// ended and a fatal page names the cell. The last guard before the final map.
void check_potentials();

// The fatal page of a number out of range: the heading, a line that says
// where (left out when empty), the advice; then the run ends.
[[noreturn]] void out_of_range_page(std::string_view heading, const std::string& where, std::string_view advice);

// The free-format line " I=  ... J=  ..." that names a cell on such a page.
std::string cell_line(std::int32_t I, std::int32_t J);

}  // namespace kesto::solver
