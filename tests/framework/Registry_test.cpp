// The registry helper: defaults, no key created by reads, wrong types.
#include "framework/Registry.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace qv::fw;

namespace {
// Keys of each test's own: ctest runs the cases of this program, and other
// test programs, at the same time.
class RegistryTest : public ::testing::Test {
protected:
  void SetUp() override {
    kParent = std::string("Software\\QvTests\\RegistryHelper\\") +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    kKey = kParent + "\\Values";
    RegDeleteTreeA(HKEY_CURRENT_USER, kParent.c_str());
  }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kParent.c_str()); }
  std::string kParent, kKey;
};
}  // namespace

TEST_F(RegistryTest, ReadsOfMissingValuesGiveDefaultsAndCreateNoKey) {
  EXPECT_EQ(Registry::ReadString(kKey, "Mask", "*.*"), "*.*");
  EXPECT_EQ(Registry::ReadInteger(kKey, "Start", 7), 7);
  EXPECT_TRUE(Registry::ReadBool(kKey, "Auto", true));
  EXPECT_FALSE(Registry::ValueExists(kKey, "Mask"));
  EXPECT_TRUE(Registry::ValueNames(kKey).empty());
  EXPECT_FALSE(Registry::KeyExists(kKey));
  EXPECT_FALSE(Registry::KeyExists(kParent));
}

TEST_F(RegistryTest, RoundTripsAndFlagsAreDwords) {
  ASSERT_TRUE(Registry::WriteString(kKey, "Mask", "*.jpg;*.mp3"));
  ASSERT_TRUE(Registry::WriteInteger(kKey, "Start", 12));
  ASSERT_TRUE(Registry::WriteBool(kKey, "Auto", true));
  ASSERT_TRUE(Registry::WriteBinary(kKey, "Date 2", std::string("\x01\x02\x00\x03", 4)));
  EXPECT_EQ(Registry::ReadString(kKey, "Mask", ""), "*.jpg;*.mp3");
  EXPECT_EQ(Registry::ReadInteger(kKey, "Start", 0), 12);
  EXPECT_TRUE(Registry::ReadBool(kKey, "Auto", false));
  EXPECT_EQ(Registry::ReadBinary(kKey, "Date 2").value(), std::string("\x01\x02\x00\x03", 4));
  DWORD type = 0;
  RegGetValueA(HKEY_CURRENT_USER, kKey.c_str(), "Auto", RRF_RT_ANY, &type, nullptr, nullptr);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_TRUE(Registry::DeleteValue(kKey, "Mask"));
  EXPECT_EQ(Registry::ReadString(kKey, "Mask", "gone"), "gone");
}

TEST_F(RegistryTest, WrongTypesAndJunkGiveDefaults) {
  Registry::WriteString(kKey, "Start", "douze");
  Registry::WriteString(kKey, "Big", "99999999999999999999999");
  Registry::WriteInteger(kKey, "Mask", 5);
  Registry::WriteBinary(kKey, "Flag", "");
  Registry::WriteString(kKey, "Flag2", "peut-etre");
  EXPECT_EQ(Registry::ReadInteger(kKey, "Start", 3), 3);
  EXPECT_EQ(Registry::ReadInteger(kKey, "Big", 4), 4);
  EXPECT_EQ(Registry::ReadString(kKey, "Mask", "*.*"), "*.*");
  EXPECT_TRUE(Registry::ReadBool(kKey, "Flag", true));
  EXPECT_FALSE(Registry::ReadBool(kKey, "Flag2", false));
  // Text forms of numbers and flags are accepted.
  Registry::WriteString(kKey, "Num", "-42");
  Registry::WriteString(kKey, "Yes", "1");
  EXPECT_EQ(Registry::ReadInteger(kKey, "Num", 0), -42);
  EXPECT_TRUE(Registry::ReadBool(kKey, "Yes", false));
}
