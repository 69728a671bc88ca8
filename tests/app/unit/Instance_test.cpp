// The hand-over block between two instances, read defensively.
#include "app/Instance.h"

#include <gtest/gtest.h>

using namespace qv::app;

TEST(InstanceMessage, RoundTripsAndRefusesTooLongPaths) {
  auto block = EncodeInstanceMessage("c:\\photos\\paris");
  ASSERT_TRUE(block);
  EXPECT_EQ(block->size(), 256u);
  EXPECT_EQ(DecodeInstanceMessage(block->data(), block->size()).value(), "c:\\photos\\paris");
  EXPECT_TRUE(EncodeInstanceMessage(std::string(255, 'a')));
  // A cut path could open another folder: nothing is sent.
  EXPECT_FALSE(EncodeInstanceMessage(std::string(256, 'a')));
}

TEST(InstanceMessage, HostileBlocksAreBoundedOrIgnored) {
  EXPECT_FALSE(DecodeInstanceMessage(nullptr, 256));
  const unsigned char empty[1] = {0};
  EXPECT_FALSE(DecodeInstanceMessage(empty, 0));
  EXPECT_EQ(DecodeInstanceMessage(empty, 1).value(), "");
  // Length byte says 200, the block holds 4 characters.
  const unsigned char shortBlock[5] = {200, 'a', 'b', 'c', 'd'};
  EXPECT_EQ(DecodeInstanceMessage(shortBlock, sizeof shortBlock).value(), "abcd");
  // A big block still yields at most 255 characters.
  std::vector<unsigned char> big(1000, 'x');
  big[0] = 255;
  EXPECT_EQ(DecodeInstanceMessage(big.data(), big.size())->size(), 255u);
}

TEST(InstanceMessage, HelpSwitchIsNoFolder) {
  EXPECT_TRUE(IsHelpSwitch("/noversion"));
  EXPECT_TRUE(IsHelpSwitch("/NOVERSION"));
  EXPECT_FALSE(IsHelpSwitch("c:\\noversion"));
}
