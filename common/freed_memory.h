// What the allocator does with memory the program frees.
#pragma once

namespace kesto::common {

// From now on freed memory stays with the process for the next allocation
// instead of going back to the system at once. The direct solve of a run
// allocates and frees several blocks of a few megabytes; handed back, each
// is mapped afresh and every page of it faults in again when the next block
// is made, and unmapping them lies on the path to the answer. Kept, a heap
// holds at most 64 MiB free until the process ends; the solve, the largest
// user, grows the resident memory by about 11 MB for the largest grid.
void keep_freed_memory();

}  // namespace kesto::common
