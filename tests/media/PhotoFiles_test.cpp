// The photo reader on files made by ImageMagick and exiftool
// (data/photo/make-photos.sh). Expected values agree with `exiftool -s -n`
// except where this reader's formats differ by design (listed in the
// script's notes): quoted UNDEFINED values, "F2.8", "1/200 sec", "72.00",
// degrees as 48°51'23.76''.
#include <gtest/gtest.h>

#include <string>

#include "media/ImgData.h"
#include "media/IptcData.h"

using namespace qv::media;

namespace {
std::string DataFile(const char* name) { return std::string(QV_MEDIA_TEST_DATA) + "/photo/" + name; }
}  // namespace

TEST(PhotoFiles, ExifJpegInBothByteOrders) {
  TimgData r;
  for (const char* name : {"exif_ii.jpg", "exif_mm.jpg"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(r.LoadImageMetadata(DataFile(name)));
    EXPECT_EQ(r.StatusText, "<none>");
    ASSERT_NE(r.ExifInfo(), nullptr);
    const std::pair<const char*, const char*> expected[] = {
        {"Make", "Canon"},
        {"Model", "Canon PowerShot S95"},
        {"ImageDescription", "A description of exactly eighty characters, which "},
        {"Orientation", "CounterClockwise 90\xB0"},
        {"XResolution", "72.00"},
        {"ResolutionUnit", "Inch"},
        {"DateTime", "2024:07:14 10:11:12"},
        {"DateTimeOriginal", "2024:07:14 09:08:07"},
        {"DateTimeDigitized", "2024:07:14 09:08:07"},
        {"SubSecTimeOriginal", "42"},
        {"Artist", "Ann Example"},
        {"Copyright", "(c) 2024 Example"},
        {"ExposureTime", "1/200 sec"},
        {"FNumber", "F2.8"},
        {"ExposureProgram", "Aperture priority"},
        {"ISOSpeedRatings", "200"},
        {"ExifVersion", "\"0230\""},
        {"ComponentsConfiguration", "YCbCr"},
        {"ShutterSpeedValue", "0.0039 sec (1/256)"},
        {"MaxApertureValue", "F2.0"},
        {"MeteringMode", "MultiSegment"},
        {"LightSource", "Daylight"},
        {"Flash", "On, auto mode"},
        {"FocalLength", " 5.80 mm"},
        {"UserComment", "Vacances d'ete"},
        {"ColorSpace", "sRGB"},
        {"ExifImageWidth", "3648"},
        {"FocalPlaneResolutionUnit", "Inch"},
        {"GPSLatitudeRef", "N"},
        {"GPSLatitude", "48\xB0" "51'23.76''"},
        {"GPSLongitude", "2\xB0" "21'7.92''"},
        {"GPSAltitude", "35/1"},
        {"GPSTimeStamp", "8:7:6"},
        {"GPSDateStamp", "2024:07:14"},
        {"GPSMapDatum", "WGS-84"},
        {"Title", "\xC9t\xE9 \xE0 No\xEBl \x80 2024"},
        {"Comments", "A Windows comment that is longer than sixty-four characters, to be read whole."},
        {"Keywords", "mer;plage"},
        {"FocalLengthIn35mmFilm", "35.68"},
    };
    for (const auto& [tag, value] : expected) EXPECT_EQ(r.ExifValue(tag), value) << tag;
    EXPECT_EQ(r.ExifInfo()->PixelWidth, 3648);
  }
}

TEST(PhotoFiles, UnicodeUserCommentAndLongExposure) {
  TimgData r;
  ASSERT_TRUE(r.LoadImageMetadata(DataFile("unicode.jpg")));
  EXPECT_EQ(r.ExifValue("UserComment"), "Caf\xE9 cr\xE8me");
  EXPECT_EQ(r.ExifValue("ExposureTime"), "2 sec");
  EXPECT_EQ(r.ExifValue("Make"), "NIKON CORPORATION");
}

TEST(PhotoFiles, CommentOnly) {
  TimgData r;
  EXPECT_TRUE(r.LoadImageMetadata(DataFile("comment.jpg")));
  EXPECT_TRUE(r.MetadataPresent());
  EXPECT_EQ(r.ExifInfo(), nullptr);
  ASSERT_NE(r.CommentSection, nullptr);
  EXPECT_EQ(r.CommentSection->Bytes.substr(2), "Just a comment");
}

TEST(PhotoFiles, TiffAsImageMagickWritesIt) {
  TimgData r;
  for (const char* name : {"im_lsb.tif", "im_msb.tif"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(r.LoadImageMetadata(DataFile(name)));
    EXPECT_EQ(r.ExifValue("ImageDescription"), "Written by ImageMagick after the pixels");
    EXPECT_EQ(r.ExifValue("PageName"), "Page one");
    EXPECT_EQ(r.ExifValue("ImageWidth"), "40");
    EXPECT_EQ(r.ExifValue("BitsPerSample"), "8, 8, 8");
    EXPECT_EQ(r.ExifValue("StripOffsets"), "8");
  }
}

TEST(PhotoFiles, TiffAndNefWithExif) {
  TimgData r;
  for (const char* name : {"tags_lsb.nef", "tags_msb.tif"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(r.LoadImageMetadata(DataFile(name)));
    EXPECT_EQ(r.ExifValue("Make"), "NIKON CORPORATION");
    EXPECT_EQ(r.ExifValue("Model"), "NIKON D200");
    EXPECT_EQ(r.ExifValue("DateTimeOriginal"), "2023:01:02 03:04:05");
    EXPECT_EQ(r.ExifValue("ExposureTime"), "1/4 sec");
    EXPECT_EQ(r.ExifValue("FNumber"), "F5.6");
    EXPECT_EQ(r.ExifValue("ISOSpeedRatings"), "400");
    EXPECT_EQ(r.ExifValue("FocalLength"), "50.00 mm");
  }
}
