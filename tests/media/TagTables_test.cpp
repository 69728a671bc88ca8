#include "media/TagTables.h"

#include <gtest/gtest.h>

using namespace qv::media;

TEST(TagTables, SizesAndTheRowsWithMoreThanANumberAndAName) {
  ASSERT_EQ(ExifTagTable().size(), 251u);
  EXPECT_EQ(GpsTagTable().size(), 31u);
  EXPECT_EQ(MarkerTable().size(), 30u);
  const auto t = ExifTagTable();
  EXPECT_EQ(t[8].Name, "Compression");
  EXPECT_EQ(t[8].DecodeList, "6:Jpeg,3:Uncompressed,1:TIFF");
  EXPECT_EQ(t[16].DecodeList, "1:Normal,3:Rotated 180\xB0,6:CounterClockwise 90\xB0,8:Clockwise 90\xB0");
  EXPECT_EQ(t[22].FormatText, "%5.2f");
  EXPECT_EQ(t[161].FormatText, "F%0.1f");
  EXPECT_NE(t[160].Formatter, nullptr);
  EXPECT_EQ(t[241].Name, "FocalLengthin35mmFilm");
  EXPECT_EQ(t[241].FormatText, "%5.2f mm");
  EXPECT_EQ(t[249].Name, "ImageUniqueID");
  EXPECT_EQ(t[250].Name, "Unknown");
  EXPECT_EQ(t[250].Tag, 0);
  EXPECT_EQ(GpsTagTable()[23].Name, "GPSDestBearingkRef");
}

TEST(TagTables, LookupByNumber) {
  EXPECT_EQ(LookupTagByNumber(0x9999, TIfdKind::Main).Tag, 0);
  EXPECT_EQ(LookupTagByNumber(0x9999, TIfdKind::Main).Name, "Unknown");
  EXPECT_EQ(LookupTagByNumber(0x001E, TIfdKind::Gps).Name, "GPSDifferential");
  EXPECT_EQ(LookupTagByNumber(0x001F, TIfdKind::Gps).Tag, 0);
  EXPECT_EQ(LookupTagByNumber(0x0000, TIfdKind::Gps).Name, "GPSVersionID");
  EXPECT_EQ(LookupTagByNumber(0x0001, TIfdKind::Main).Name, "InteroperabilityIndex");
  EXPECT_EQ(LookupTagByNumber(0xA20E, TIfdKind::Main).Name, "FocalPlaneXResolution");
  EXPECT_EQ(LookupTagByNumber(0x920E, TIfdKind::Main).Name, "FocalPlaneXResolution");
  EXPECT_EQ(LookupTagByNumber(0xA420, TIfdKind::Main).Name, "ImageUniqueID");
  // Every row is found by its own number.
  for (size_t i = 0; i + 1 < ExifTagTable().size(); ++i)
    EXPECT_EQ(&LookupTagRow(ExifTagTable()[i].Tag, TIfdKind::Main), &ExifTagTable()[i]) << i;
}

TEST(TagTables, LookupByNameIgnoresAsciiCase) {
  EXPECT_EQ(TagTableIndexByName("FocalLengthIn35mmFilm"), 241);
  EXPECT_EQ(TagTableIndexByName("make"), 13);
  EXPECT_EQ(TagTableIndexByName("CFAPattern"), 157);  // the first of the two
  EXPECT_EQ(TagTableIndexByName("Unknown"), -1);
  EXPECT_EQ(TagTableIndexByName("Make "), -1);
}

TEST(TagTables, DescriptionsSplitBeforeCapitals) {
  EXPECT_EQ(DescriptionFromName("ExposureTime"), "Exposure Time");
  EXPECT_EQ(DescriptionFromName("GPSLatitudeRef"), "GPSLatitude Ref");
  EXPECT_EQ(DescriptionFromName("FocalPlaneXResolution"), "Focal Plane XResolution");
  EXPECT_EQ(DescriptionFromName("ISOSpeedRatings"), "ISOSpeed Ratings");
  EXPECT_EQ(DescriptionFromName("T4Options"), "T4 Options");  // digits clear the flag
  EXPECT_EQ(DescriptionFromName("GrayReponseUnit"), "Gray Reponse Unit");
  EXPECT_EQ(LookupTagRow(0x829A, TIfdKind::Main).Description, "Exposure Time");
  // Stored descriptions are kept.
  EXPECT_EQ(LookupTagRow(0x83BB, TIfdKind::Main).Description, "IPTC/NAA");
  EXPECT_EQ(LookupTagRow(0xA216, TIfdKind::Main).Description, "TIFF/EPStandardID");
  EXPECT_EQ(LookupTagRow(0xA405, TIfdKind::Main).Description, "Focal Length in 35mm Film");
  EXPECT_EQ(LookupTagRow(0x0002, TIfdKind::Gps).Description, "GPSLatitude");
}
