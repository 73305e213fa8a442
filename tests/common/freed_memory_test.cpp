#include "common/freed_memory.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <cstring>

namespace {

void* volatile g_block = nullptr;  // volatile: the allocation is not optimised away

// A block of the size the direct solve's factor takes comes from the heap,
// not from a map of its own, and once freed it stays with the process.
TEST(FreedMemory, ABlockOfSeveralMegabytesIsTakenFromTheHeapAndKeptWhenFreed) {
  constexpr std::size_t kBytes = 8u << 20;
  kesto::common::keep_freed_memory();
  const struct mallinfo2 before = mallinfo2();
  g_block = std::malloc(kBytes);
  ASSERT_NE(g_block, nullptr);
  std::memset(g_block, 1, kBytes);
  EXPECT_EQ(mallinfo2().hblks, before.hblks);
  std::free(g_block);
  EXPECT_GE(mallinfo2().fordblks, kBytes);
}

}  // namespace
