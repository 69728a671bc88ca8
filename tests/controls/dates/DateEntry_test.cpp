// Tests of controls/dates/DateEntry.h: validity, field order, century window,
// masked and free-form reading, default formats and masks.
#include "controls/dates/DateEntry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace qv::controls;
using namespace qv::engine;

namespace {

TDateEntrySettings In2026() {
  TDateEntrySettings s;
  s.ThisYear = 2026;
  return s;
}

TDateTime Day(int y, int m, int d) { return EncodeDateOnly(y, m, d); }

}  // namespace

TEST(DateEntry, PartsAndValuesValidity) {
  EXPECT_TRUE(DatePartsValid(2024, 2, 29));
  EXPECT_FALSE(DatePartsValid(2024, 2, 30));
  EXPECT_FALSE(DatePartsValid(2023, 2, 29));
  EXPECT_FALSE(DatePartsValid(0, 1, 1));
  EXPECT_FALSE(DatePartsValid(10000, 1, 1));
  EXPECT_TRUE(DatePartsValid(9999, 12, 31));
  EXPECT_FALSE(DatePartsValid(2024, 13, 1));
  EXPECT_FALSE(DatePartsValid(2024, 1, 0));
  EXPECT_TRUE(DateValueValid(Day(2024, 12, 25)));
  EXPECT_TRUE(DateValueValid(0.0));
  EXPECT_FALSE(DateValueValid(1e12));
  EXPECT_FALSE(DateValueValid(std::nan("")));
}

TEST(DateEntry, FieldOrderIsDecidedByTheFirstDateLetter) {
  EXPECT_EQ(DateOrderOf("yyyy/mm/dd"), dfoYearMonthDay);
  EXPECT_EQ(DateOrderOf("dd/MM/yyyy"), dfoDayMonthYear);
  EXPECT_EQ(DateOrderOf("M/d/yyyy"), dfoMonthDayYear);
  EXPECT_EQ(DateOrderOf("ggee/mm/dd"), dfoYearMonthDay);
  EXPECT_EQ(DateOrderOf("/-."), dfoDayMonthYear);
  EXPECT_EQ(DateOrderOf(""), dfoDayMonthYear);
}

TEST(DateEntry, TwoDigitYearsFallIntoTheCenturyWindow) {
  const TDateEntrySettings s = In2026();
  EXPECT_EQ(FullYear(66, s), 1966);
  EXPECT_EQ(FullYear(99, s), 1999);
  EXPECT_EQ(FullYear(0, s), 2000);
  EXPECT_EQ(FullYear(65, s), 2065);
  EXPECT_EQ(FullYear(-1, s), 2026);
  EXPECT_EQ(FullYear(100, s), 100);
  EXPECT_EQ(FullYear(1850, s), 1850);
  TDateEntrySettings none = s;
  none.CenturyWindow = 0;
  EXPECT_EQ(FullYear(10, none), 2010);
  EXPECT_EQ(FullYear(99, none), 2099);
}

TEST(DateEntry, MaskedTextsUnderDayMonthYear) {
  const TDateEntrySettings s = In2026();
  EXPECT_EQ(*TryTextToDate("DD/MM/YYYY", "25/12/2024", s), Day(2024, 12, 25));
  // A blank year is this year; a short one is expanded.
  EXPECT_EQ(*TryTextToDate("DD/MM/YYYY", "25/12/    ", s), Day(2026, 12, 25));
  EXPECT_EQ(*TryTextToDate("DD/MM/YYYY", "25/12/24  ", s), Day(2024, 12, 25));
  EXPECT_EQ(*TryTextToDate("DD/MM/YYYY", " 5/ 3/2024", s), Day(2024, 3, 5));
  EXPECT_EQ(*TryTextToDate("DD/MM/YY", "01/01/30", s), Day(2030, 1, 1));
  EXPECT_EQ(*TryTextToDate("DD/MM/YY", "01/01/70", s), Day(1970, 1, 1));
  // Blank days fail both readings; so do impossible dates.
  EXPECT_FALSE(TryTextToDate("DD/MM/YYYY", "  /12/2024", s));
  EXPECT_FALSE(TryTextToDate("DD/MM/YYYY", "31/02/2024", s));
  EXPECT_FALSE(TryTextToDate("DD/MM/YYYY", "  /  /    ", s));
  // A year that is not a number is no year, not this year.
  EXPECT_FALSE(TryTextToDate("DD/MM/YYYY", "25/12/2x24", s));
  EXPECT_FALSE(TryTextToDate("DD/MM/YYYY", "25/12/ x  ", s));
  EXPECT_FALSE(TryTextToDate("YYYY/MM/DD", "2O24/12/25", s));
  EXPECT_FALSE(TryTextToDate("DD/MM/YY", "25/12/-1", s));
  EXPECT_EQ(*TryTextToDate("DD/MM/YYYY", "", s), EmptyDate);
}

TEST(DateEntry, FreeFormTextsWhenTheMaskedPlacesFail) {
  const TDateEntrySettings s = In2026();
  EXPECT_EQ(*TryTextToDate("DD/MM/YYYY", "3/4", s), Day(2026, 4, 3));
  EXPECT_EQ(*TryTextToDate("DD/MM/YYYY", "3/4/", s), Day(2026, 4, 3));
  EXPECT_EQ(*TryTextToDate("DD/MM/YYYY", " 3 / 4 / 99 ", s), Day(1999, 4, 3));
  EXPECT_EQ(*TryTextToDate("MM/DD/YYYY", "3/4", s), Day(2026, 3, 4));
  EXPECT_EQ(*TryTextToDate("YYYY/MM/DD", "2024/3/4", s), Day(2024, 3, 4));
  // Leftovers, missing numbers and over-long numbers fail.
  EXPECT_FALSE(TryTextToDate("DD/MM/YYYY", "3/4/2024x", s));
  EXPECT_FALSE(TryTextToDate("DD/MM/YYYY", "3/", s));
  EXPECT_FALSE(TryTextToDate("DD/MM/YYYY", "3", s));
  EXPECT_FALSE(TryTextToDate("DD/MM/YYYY", "3/4/20245", s));
  int y = 0, m = 0, d = 0;
  EXPECT_TRUE(ParseFreeDate("00003/4/2024", "DD/MM/YYYY", y, m, d, s));  // leading zeros are free
  EXPECT_EQ(d, 3);
}

TEST(DateEntry, MaskedFieldsAndMonthNames) {
  const TDateEntrySettings s = In2026();
  EXPECT_EQ(ExtractMaskedField("DD/MM/YYYY", "25/12/2024", 'd', 1, 1, s), 25);
  EXPECT_EQ(ExtractMaskedField("DD/MM/YYYY", "  /12/2024", 'd', 1, 1, s), -1);
  EXPECT_EQ(ExtractMaskedField("DD/MM/YYYY", "2x/12/2024", 'd', 1, 1, s), -1);
  EXPECT_EQ(ExtractMaskedField("DD/MM/YYYY", "+5/12/2024", 'd', 1, 1, s), -1);
  EXPECT_EQ(ExtractMaskedField("DD/MM/YYYY", "25/12/2024 and more", 'd', 1, 7, s), 7);
  EXPECT_EQ(ExtractMaskedField("DD/MM/YYYY", "25/12/2024", 'm', 3, 0, s), 0);
  EXPECT_EQ(ExtractMaskedField("DD/MMM/YYYY", "25/MAR/2024", 'm', 3, 0, s), 3);
  EXPECT_EQ(ExtractMaskedField("DD/MMM/YYYY", "25/DEC/2024", 'm', 3, 0, s), -1);  // "d\xE9c", not "dec"
  EXPECT_EQ(ExtractMaskedField("DD/MMM/YYYY", "25/xyz/2024", 'm', 3, 0, s), -1);
  EXPECT_EQ(*TryTextToDate("DD/MMM/YYYY", "25/D\xC9" "C/2024", s), Day(2024, 12, 25));
  EXPECT_EQ(MonthByName("ao", 2, s), 8);
  EXPECT_EQ(MonthByName("", 0, s), 0);
  EXPECT_EQ(MonthByName("ju", 2, s), 6);  // the first match wins
}

TEST(DateEntry, DefaultFormatsAndMasksFollowTheOrder) {
  TDateEntrySettings s;
  EXPECT_TRUE(FourDigitYearFormat(s));
  EXPECT_EQ(DefaultDateFormat(true, s), "DD/MM/YYYY");
  EXPECT_EQ(DefaultDateFormat(false, s), "DD/MM/YY");
  EXPECT_EQ(DefaultDateMask('_', true, s), "!99/99/9999;1;_");
  EXPECT_EQ(DefaultDateMask(' ', false, s), "!99/99/99;1; ");
  s.ShortDateFormat = "M/d/yy";
  EXPECT_FALSE(FourDigitYearFormat(s));
  EXPECT_EQ(DefaultDateFormat(true, s), "MM/DD/YYYY");
  EXPECT_EQ(DefaultDateMask(' ', true, s), "!99/99/9999;1; ");
  s.ShortDateFormat = "yyyy-MM-dd";
  EXPECT_EQ(DefaultDateFormat(true, s), "YYYY/MM/DD");
  EXPECT_EQ(DefaultDateFormat(false, s), "YY/MM/DD");
  EXPECT_EQ(DefaultDateMask(' ', true, s), "!9999/99/99;1; ");
}

TEST(DateEntry, FarEastTrailingTextIsSkippedToTheTimeMarker) {
  TDateEntrySettings s = In2026();
  s.FarEast = true;
  s.ShortDateFormat = "yyyy/MM/dd ddd";
  s.ShortTimeFormat = "tt h:mm";
  s.TimeAMString = "AM";
  s.TimePMString = "PM";
  int y = 0, m = 0, d = 0;
  // The weekday after the date stops before the marker, so text remains.
  EXPECT_FALSE(ParseFreeDate("2024/3/4 Mon AM", "YYYY/MM/DD", y, m, d, s));
  EXPECT_TRUE(ParseFreeDate("2024/3/4 Mon", "YYYY/MM/DD", y, m, d, s));
  EXPECT_EQ(d, 4);
}
