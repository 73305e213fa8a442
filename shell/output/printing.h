// Printing the picture on one page: the printer dialogs and the kept
// printer choice, the output mapping from Page Setup's margins and width,
// and the replay of the plot buffer onto the page with the printer's pen
// width. A PDF file is one more printer (the print dialog's "print to
// file", and the batch mode's export).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "shell/window/page_mapping.h"

class QPrinter;

namespace kesto::shell {

// The output mapping of a page: margins and width in hundredths of an inch
// at px x py device units to the inch; height = width x 5 / 7; a device
// scale of 1-100 percent shrinks both; the centre at the middle of the
// picture; landscape turns the picture by a quarter turn.
DeviceMapping print_mapping(int px, int py, int left_margin, int top_margin, int width, int scale, bool landscape);

// Prints the picture on `printer` (one page, measured from the paper's
// corner). When the printer cannot be opened: "Error accessing printer",
// nothing printed, false. A PDF file is written whole or not at all.
bool PRINT(QPrinter& printer);

// A printer that writes the PDF file `path`: US Letter, 600 units to the
// inch, in colour.
std::shared_ptr<QPrinter> pdf_printer(const std::string& path);

// Menu command 2: the printer set-up dialog on the kept choice, which the
// chosen printer replaces.
void PRINTER_SETUP();
// Menu command 3: the print dialog (no page ranges or selection); when
// confirmed, the chosen printer is kept and the picture printed.
void PRINT_WITH_DIALOG();
// Menu command 6: printed on the kept printer, or on the system's default
// printer when none is kept yet ("Error accessing printer" when there is none).
void PRINT_NOW();

}  // namespace kesto::shell
