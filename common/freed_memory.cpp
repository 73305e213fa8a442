#include "common/freed_memory.h"

#include <cstdlib>  // defines __GLIBC__ under the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kesto::common {

void keep_freed_memory() {
#if defined(__GLIBC__)
  // Blocks below 32 MiB (the largest threshold the allocator takes) come
  // from its heaps rather than from maps of their own, and a heap keeps up
  // to 64 MiB free at its top. Setting either also stops the allocator from
  // moving its thresholds by itself.
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}

}  // namespace kesto::common
