// The Page Setup dialog "IDD_PASETUP": top margin (1002), left margin
// (1003) and width (1004) of the printed picture as inch texts, each with a
// spin bar (1005-1007), and the Portrait (1008) / Landscape (1009) choice.
#pragma once

namespace kesto::shell {

// Shows the dialog; OK (1) stores the three lengths when all are valid.
// The orientation is stored as soon as it is clicked.
void PAGE_SETUP_DIALOG();

}  // namespace kesto::shell
