// The cell grid: the sheet model that the solver writes and the displays
// read; data only, the solver's phases give it its values. NX x NY square
// cells, cell (I, J) counted from 1 from the lower left; arrays are indexed
// [I][J] with the fixed capacity MAXNX x MAXNY (index 0 is unused). The edge
// ring of cells is always fixed.
#pragma once

#include <cstdint>
#include <string>

namespace kesto::sheet {

constexpr std::int32_t MAXNX = 250;
constexpr std::int32_t MAXNY = 110;
constexpr float INSULATOR_RHO = 1.0E6f;  // a free cell with exactly this resistivity insulates

struct Grid {
  // Grid size and units.
  std::int32_t NX = 0, NY = 0;
  float DX = 0.0f;      // side of a cell, metres
  float HALFDX = 0.0f;  // DX / 2
  float THICK = 0.0f;   // sheet thickness, metres

  // Per-cell arrays.
  std::int32_t FIXED[MAXNX + 1][MAXNY + 1] = {};  // 1: potential fixed; 0: free
  float V[MAXNX + 1][MAXNY + 1] = {};             // potential, volts
  float RHO[MAXNX + 1][MAXNY + 1] = {};           // resistivity, ohm-metres
  float GX[MAXNX + 1][MAXNY + 1] = {};            // conductance of the link to (I+1, J)
  float GY[MAXNX + 1][MAXNY + 1] = {};            // conductance of the link to (I, J+1)
  float SINV[MAXNX + 1][MAXNY + 1] = {};          // 1 / sum of the four link conductances
  float EMAG[MAXNX + 1][MAXNY + 1] = {};          // field magnitude, volts per metre

  // Run settings and results.
  std::int32_t NSTEP = 0;                           // relaxation sweeps
  std::int32_t NUPD = 0;                            // sweeps between progress displays
  std::int32_t SINGLE_STEP = 0;                     // 1: show every cell update
  std::int32_t PAUSE_EACH = 0;                      // 1: wait for a key after each progress display
  std::int32_t CURRENT_SET = 0;                     // 1: a current line was given
  std::int32_t ICS = 0, JCS = 0, ICE = 0, JCE = 0;  // the current line
  float CURRENT_AMPS = 0.0f;
  float VMIN = 0.0f, VMAX = 0.0f;
  std::string DECK_NAME = std::string(14, ' ');
};

// The one grid of the program (zeroed at start-up).
Grid& grid();

}  // namespace kesto::sheet
