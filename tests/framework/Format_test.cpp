// Locale-free formatting: grouped counts, date-time values across the
// 1899 epoch and the rounding to midnight, format tokens, string tables.
#include "framework/Format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace qv::fw;

TEST(Format, CountsGroupByThreeWithABlank) {
  const std::pair<int64_t, const char*> cases[] = {
      {0, "0"},          {7, "7"},           {999, "999"},          {1000, "1 000"},
      {100000, "100 000"}, {1234567, "1 234 567"}, {-1234, "-1 234"}, {-100, "-100"},
      {INT64_MAX, "9 223 372 036 854 775 807"}, {INT64_MIN, "-9 223 372 036 854 775 808"}};
  for (const auto& [n, want] : cases) EXPECT_EQ(FormatCount(n), want) << n;
}

TEST(Format, DateTimeValuesAroundTheEpoch) {
  EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30).value(), 0.0);
  EXPECT_DOUBLE_EQ(EncodeDateTime(1900, 1, 1, 12).value(), 2.5);
  EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 29, 6).value(), -1.25);  // day back, time forward
  EXPECT_DOUBLE_EQ(EncodeDateTime(2024, 2, 29).value(), 45351.0);
  EXPECT_FALSE(EncodeDateTime(2023, 2, 29));
  EXPECT_FALSE(EncodeDateTime(2024, 13, 1));
  EXPECT_FALSE(EncodeDateTime(2024, 1, 1, 24));
  EXPECT_FALSE(EncodeDateTime(0, 1, 1));
  for (double v : {0.0, 2.5, -1.25, 45351.75, -693593.0, 2958465.999988426}) {
    SYSTEMTIME st;
    ASSERT_TRUE(DecodeDateTime(v, st)) << v;
    EXPECT_DOUBLE_EQ(SystemTimeToDateTime(st).value(), v) << v;
  }
  SYSTEMTIME st;
  ASSERT_TRUE(DecodeDateTime(-1.25, st));
  EXPECT_EQ(st.wDay, 29);
  EXPECT_EQ(st.wHour, 6);
  EXPECT_EQ(st.wDayOfWeek, 5);  // a Friday
  // A hair before midnight rounds to the next calendar day, on both sides
  // of the epoch.
  ASSERT_TRUE(DecodeDateTime(1.99999999999, st));
  EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn:ss.zzz", 1.99999999999), "01/01/1900 00:00:00.000");
  EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", -1.99999999999), "30/12/1899 00:00");
  EXPECT_FALSE(DecodeDateTime(3e6, st));
  EXPECT_FALSE(DecodeDateTime(std::nan(""), st));
  EXPECT_EQ(DateTimeToStr(1e300), "");
}

TEST(Format, TokensAndFixedSeparators) {
  const TDateTime v = EncodeDateTime(2024, 7, 4, 9, 5, 3, 7).value();
  EXPECT_EQ(DateToStr(v), "04/07/2024");
  EXPECT_EQ(TimeToStr(v), "09:05:03");
  EXPECT_EQ(DateTimeToStr(v), "04/07/2024 09:05:03");
  const std::pair<const char*, const char*> cases[] = {
      {"d/m/yy", "4/7/24"},        {"DD-MM-YYYY", "04-07-2024"}, {"h:m", "9:5"},
      {"hh:mm", "09:05"},          {"hh' h 'nn", "09 h 05"},     {"\"dd\"dd", "dd04"},
      {"s.z ss.zzz", "3.7 03.007"}, {"yyyymmdd_hhnnss", "20240704_090503"}, {"mm/hh mm", "07/09 05"},
      {"'open", "open"}};
  for (const auto& [f, want] : cases) EXPECT_EQ(FormatDateTime(f, v), want) << f;
}

TEST(Format, StringTableTexts) {
  EXPECT_EQ(LoadStr(100), "La valeur doit \xEAtre comprise entre %d et %d");
  EXPECT_EQ(LoadStr(101), "\x8C" "uvre \x97 \xAB test \xBB \xFF");
  const std::string longText = LoadStr(102);
  EXPECT_EQ(longText.size(), 311u);  // longer than any fixed buffer
  EXPECT_EQ(longText.substr(longText.size() - 10), "0123456789");
  EXPECT_EQ(LoadStr(103), "");
}
