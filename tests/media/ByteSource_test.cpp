#include "media/ByteSource.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

using namespace qv::media;

TEST(ByteSource, ReadsInsideAndRefusesPastTheEnd) {
  const std::vector<uint8_t> bytes{1, 2, 3, 4, 5};
  TMemorySource src(bytes);
  uint8_t out[5]{};
  EXPECT_TRUE(src.read(0, out, 5));
  EXPECT_TRUE(src.read(5, out, 0));
  EXPECT_FALSE(src.read(1, out, 5));
  EXPECT_FALSE(src.read(6, out, 0));
  // Offsets near the top of the range must not wrap into "inside".
  EXPECT_FALSE(src.read(std::numeric_limits<uint64_t>::max() - 1, out, 4));
  EXPECT_FALSE(src.contains(2, std::numeric_limits<uint64_t>::max()));
  EXPECT_EQ(src.bytesRead(), 5u);
}

TEST(ByteSource, ByteOrders) {
  const std::vector<uint8_t> bytes{0x12, 0x34, 0x56, 0x78};
  TMemorySource src(bytes);
  uint16_t a = 0;
  uint32_t b = 0;
  ASSERT_TRUE(src.u16(0, ByteOrder::Big, a));
  EXPECT_EQ(a, 0x1234);
  ASSERT_TRUE(src.u16(0, ByteOrder::Little, a));
  EXPECT_EQ(a, 0x3412);
  ASSERT_TRUE(src.u32(0, ByteOrder::Big, b));
  EXPECT_EQ(b, 0x12345678u);
  ASSERT_TRUE(src.u32(0, ByteOrder::Little, b));
  EXPECT_EQ(b, 0x78563412u);
  EXPECT_FALSE(src.u32(1, ByteOrder::Big, b));
}
