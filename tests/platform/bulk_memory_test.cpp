#include "platform/bulk_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace orbis::platform {
namespace {

// Pools carve blocks out of these on the assumption that they are aligned,
// zero-filled and writable throughout.
TEST(BulkMemoryTest, BlocksAreAlignedZeroedAndWritable) {
  for (std::size_t pages : {1u, 3u}) {
    std::size_t size = pages * BulkAlignment;
    auto* block = static_cast<unsigned char*>(allocateBulk(size));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % BulkAlignment, 0u);
    EXPECT_EQ(block[0], 0);
    EXPECT_EQ(block[size - 1], 0);
    std::memset(block, 0xA5, size);
    EXPECT_EQ(block[size / 2], 0xA5);
    releaseBulk(block, size);
  }
  EXPECT_EQ(allocateBulk(0), nullptr);
  releaseBulk(nullptr, BulkAlignment);  // accepted, does nothing
}

}  // namespace
}  // namespace orbis::platform
