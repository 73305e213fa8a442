// Appending records to the open MARKEL file: the kernel routines ask whether
// recording is on before they build a record, and write it as one line.
#pragma once

#include <string>

#include "kernel/kernel.h"

namespace kesto::plot {

// True while the recording flag is 1 (a MARKEL file is open and records).
inline bool recording() { return kernel_state().recording == 1; }

// Writes the record as one line of the MARKEL file.
void write_record(const std::string& record);

// Writes what the file holds so far through to the disk.
void flush_records();

}  // namespace kesto::plot
