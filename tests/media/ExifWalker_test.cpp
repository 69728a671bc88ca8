// The EXIF directory walker: entries, value texts, sub-directories, bounds
// and limits, in both byte orders.
#include <gtest/gtest.h>

#include "media/ImgData.h"
#include "tests/media/PhotoBuilder.h"

using namespace qv::media;
using namespace qv::media::test;

namespace {

class ExifWalker : public ::testing::TestWithParam<ByteOrder> {
protected:
  const TImageInfo& Load(const Bytes& tiff) {
    file = Jpeg({ExifApp1(tiff)});
    TMemorySource src(file);
    reader.LoadImageMetadata(&src, "x.jpg");
    EXPECT_NE(reader.ExifInfo(), nullptr);
    return *reader.ExifInfo();
  }
  std::string Value(std::string_view name) const { return reader.ExifValue(name); }
  ByteOrder O() const { return GetParam(); }

  Bytes file;
  TimgData reader{255};
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(BothOrders, ExifWalker, ::testing::Values(ByteOrder::Little, ByteOrder::Big),
                         [](const auto& p) { return p.param == ByteOrder::Little ? "II" : "MM"; });

TEST_P(ExifWalker, ValueTextsOfTheMainTable) {
  TTiff t(O());
  const int ifd0 = t.AddIfd();
  t.Ascii(ifd0, 0x010E, std::string(80, 'd'));
  t.Ascii(ifd0, 0x010F, "Canon");
  t.Add(ifd0, {0x0110, 2, 20, {'S', '9', '5', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}});
  t.Short(ifd0, 0x0112, {6});
  t.Rational(ifd0, 0x011A, {{72, 1}});
  t.Short(ifd0, 0x0128, {2});
  t.Long(ifd0, 0x0103, {7});  // not in its decode list
  t.Undefined(ifd0, 0x9000, {'0', '2', '3', '0'});
  t.Rational(ifd0, 0x829D, {{28, 10}});
  t.Rational(ifd0, 0x829A, {{10, 2000}});
  t.Rational(ifd0, 0x920A, {{58, 10}});
  t.Short(ifd0, 0x9209, {25});
  t.Undefined(ifd0, 0x9101, {1, 2, 3, 0});
  t.Rational(ifd0, 0x9201, {{8, 1}}, 10);
  t.Short(ifd0, 0x9999, {1});  // unknown: not stored
  const TImageInfo& info = Load(t.Build());
  EXPECT_EQ(Value("ImageDescription"), std::string(50, 'd'));
  EXPECT_EQ(Value("Make"), "Canon");
  EXPECT_EQ(Value("Model"), "S95");  // zero padding ends the text
  EXPECT_EQ(Value("Orientation"), "CounterClockwise 90\xB0");
  EXPECT_EQ(Value("XResolution"), "72.00");
  EXPECT_EQ(Value("ResolutionUnit"), "Inch");
  EXPECT_EQ(Value("Compression"), "");
  EXPECT_EQ(Value("ExifVersion"), "\"0230\"");
  EXPECT_EQ(Value("FNumber"), "F2.8");
  EXPECT_EQ(Value("ExposureTime"), "1/200 sec");
  EXPECT_EQ(Value("FocalLength"), " 5.80 mm");
  EXPECT_EQ(Value("Flash"), "On, auto mode");
  EXPECT_EQ(Value("ComponentsConfiguration"), "YCbCr");
  EXPECT_EQ(Value("ShutterSpeedValue"), "0.0039 sec (1/256)");
  EXPECT_EQ(info.FindTagIndex("Unknown"), -1);
  EXPECT_EQ(info.EntryCount(), 14);
  EXPECT_EQ(info.CameraMake, "Canon");
  EXPECT_EQ(info.CameraModel, "S95");
  EXPECT_EQ(info.ExifVersion, "0230");
  const TTagEntry e = FindExifEntry(info, "FNumber");
  EXPECT_EQ(e.ValueType, 5);
  EXPECT_EQ(e.ByteCount, 8);
  EXPECT_EQ(e.Description, "FNumber");
  EXPECT_EQ(FindExifEntry(info, "fnumber").ValueText, "F2.8");
  EXPECT_EQ(FindExifEntry(info, "FNumber ").Tag, 0);
}

TEST_P(ExifWalker, SubDirectoriesAreWalkedAtTheirPointer) {
  TTiff t(O());
  const int ifd0 = t.AddIfd(), exif = t.AddIfd(), gps = t.AddIfd(), interop = t.AddIfd();
  t.Ascii(ifd0, 0x010F, "Make");
  t.Pointer(ifd0, 0x8769, exif);
  t.Pointer(ifd0, 0x8825, gps);
  t.Ascii(ifd0, 0x0131, "After");
  t.Rational(exif, 0x829D, {{4, 1}});
  t.Pointer(exif, 0xA005, interop);
  t.Ascii(interop, 0x0001, "R98");
  t.Short(gps, 0x0000, {2});  // GPSVersionID has tag 0: never stored
  t.Ascii(gps, 0x0001, "N");
  t.Rational(gps, 0x0002, {{48, 1}, {51, 1}, {2376, 100}});
  t.Rational(gps, 0x0007, {{8, 1}, {7, 1}, {6, 1}});
  t.Short(gps, 0x0005, {0});
  const TImageInfo& info = Load(t.Build());
  std::vector<std::string> names;
  for (const TTagEntry& e : info.Entries) names.push_back(e.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Make", "FNumber", "InteroperabilityIndex",
                                             "InteroperabilityOffset", "ExifOffset", "GPSLatitudeRef",
                                             "GPSLatitude", "GPSTimeStamp", "GPSAltitudeRef", "GPSInfo",
                                             "Software"}));
  EXPECT_EQ(Value("GPSLatitude"), "48\xB0" "51'23.76''");
  EXPECT_EQ(Value("GPSTimeStamp"), "8:7:6");
  EXPECT_EQ(Value("GPSAltitudeRef"), "Sealevel");
  EXPECT_EQ(Value("InteroperabilityIndex"), "R98");
}

TEST_P(ExifWalker, DirectoryLoopsAreWalkedOnce) {
  TTiff t(O());
  const int ifd0 = t.AddIfd(), exif = t.AddIfd();
  t.Ascii(ifd0, 0x010F, "Make");
  t.Pointer(ifd0, 0x8769, exif);
  t.Rational(exif, 0x829D, {{4, 1}});
  t.Pointer(exif, 0x8769, 0);      // back to IFD0
  t.Pointer(exif, 0xA005, exif);   // to itself
  t.Pointer(exif, 0x8825, exif);   // as GPS: already walked
  const TImageInfo& info = Load(t.Build());
  EXPECT_EQ(info.EntryCount(), 6);
  EXPECT_EQ(info.FindTagIndex("FNumber"), 1);
}

TEST_P(ExifWalker, NestingAndDirectoryCountAreCapped) {
  // A chain of 200 directories, each pointing to the next.
  TTiff t(O());
  std::vector<int> ifds;
  for (int i = 0; i < 200; ++i) ifds.push_back(t.AddIfd());
  for (int i = 0; i < 200; ++i) {
    t.Short(ifds[size_t(i)], 0x0112, {1});
    if (i + 1 < 200) t.Pointer(ifds[size_t(i)], 0x8769, ifds[size_t(i) + 1]);
  }
  const TImageInfo& info = Load(t.Build());
  EXPECT_LE(info.EntryCount(), 2 * (TImageInfo::kMaxDepth + 1));
  EXPECT_GE(info.EntryCount(), TImageInfo::kMaxDepth);
}

TEST_P(ExifWalker, StoredEntriesAndRawBytesAreCapped) {
  // 5000 entries in one directory, each pointing at the same 4000 bytes.
  TTiff t(O());
  const int ifd0 = t.AddIfd();
  t.Undefined(ifd0, 0x9C9C, Bytes(4000, 'a'), 1);
  const Bytes one = t.Build();
  const uint32_t shared = t.ValueOffset(0, 0);
  TTiff big(O());
  const int b0 = big.AddIfd();
  for (int i = 0; i < 5000; ++i) big.RawEntry(b0, 0x013B, 2, 4000, shared + 5000 * 12);
  Bytes tiff = big.Build();
  tiff.insert(tiff.end(), one.begin(), one.end());  // the shared value, after the table
  const size_t at = tiff.size() - one.size() + shared;
  ASSERT_EQ(tiff[at], 'a');
  // Point every entry at it.
  for (size_t i = 0; i < 5000; ++i) Patch32(tiff, big.ValueOffset(0, i), uint32_t(at), O());
  if (tiff.size() > 65000) tiff.resize(65000);
  const TImageInfo& info = Load(tiff);
  EXPECT_LE(size_t(info.EntryCount()), TImageInfo::kMaxEntries);
  uint64_t raw = 0;
  for (const TTagEntry& e : info.Entries) raw += e.RawBytes.size();
  EXPECT_LE(raw, TImageInfo::kMaxRawBytes);
}

TEST_P(ExifWalker, EntryTablesAndValuesMustFitTheBlock) {
  {
    TTiff t(O());
    const int ifd0 = t.AddIfd();
    t.Ascii(ifd0, 0x010F, "Make");
    Bytes tiff = t.Build();
    tiff[O() == ByteOrder::Little ? 8 : 9] = 200;  // 200 entries announced, 1 present
    Load(tiff);
    EXPECT_EQ(reader.ExifInfo()->EntryCount(), 0);
    TMemorySource src(file);
    reader.ReadExifSection(src, *reader.ExifSection);
    EXPECT_EQ(reader.StatusText, "Illegally sized directory");
  }
  {
    TTiff t(O());
    const int ifd0 = t.AddIfd();
    t.RawEntry(ifd0, 0x010F, 2, 10, 0xFFFFFFF0);     // offset past the block
    t.RawEntry(ifd0, 0x0110, 2, 100, 20);             // runs past the end: shortened
    t.RawEntry(ifd0, 0x013B, 5, 0xFFFFFFFF, 8);       // byte size beyond 32 bits
    t.RawEntry(ifd0, 0x0131, 12, 0x20000001, 0x7FFFFFFF);
    t.Pointer(ifd0, 0x8769, 0);
    Bytes tiff = t.Build();
    Patch32(tiff, t.ValueOffset(0, 4), 0xFFFFFFFE, O());  // sub-directory outside
    const TImageInfo& info = Load(tiff);
    EXPECT_EQ(Value("Make"), "");
    EXPECT_EQ(FindExifEntry(info, "Make").ByteCount, 0);
    EXPECT_EQ(FindExifEntry(info, "Model").ByteCount, int32_t(tiff.size() - 20));
    EXPECT_EQ(FindExifEntry(info, "Artist").ByteCount, int32_t(tiff.size() - 8));
    EXPECT_EQ(FindExifEntry(info, "Software").ByteCount, 0);
  }
}

TEST_P(ExifWalker, UserCommentAndXpTexts) {
  TTiff t(O());
  const int ifd0 = t.AddIfd();
  const std::string comment = std::string("ASCII\0\0\0", 8) + "Vacances";
  t.Undefined(ifd0, 0x9286, Bytes(comment.begin(), comment.end()));
  const Bytes title{0xC9, 0, 't', 0, 0xE9, 0, 0, 0};
  t.Undefined(ifd0, 0x9C9B, title, 1);
  const TImageInfo& info = Load(t.Build());
  EXPECT_EQ(Value("UserComment"), "Vacances");
  EXPECT_EQ(Value("Title"), "\xC9t\xE9");
  EXPECT_EQ(FindExifEntry(info, "Title").Description, "Title");
}

TEST_P(ExifWalker, FocalLength35Summary) {
  TTiff t(O());
  const int ifd0 = t.AddIfd(), exif = t.AddIfd();
  t.Pointer(ifd0, 0x8769, exif);
  t.Rational(exif, 0x920A, {{58, 10}});
  t.Long(exif, 0xA002, {3648});
  t.Long(exif, 0xA003, {2736});
  t.Rational(exif, 0xA20E, {{3292181, 200}});
  t.Rational(exif, 0xA20F, {{510989, 31}});
  t.Short(exif, 0xA210, {2});
  const Bytes tiff = t.Build();
  const TImageInfo& info = Load(tiff);
  EXPECT_EQ(info.PixelWidth, 3648);
  EXPECT_EQ(info.PixelHeight, 2736);
  const TTagEntry e = FindExifEntry(info, "FocalLengthIn35mmFilm");
  EXPECT_EQ(e.Name, "FocalLengthin35mmFilm");
  EXPECT_EQ(e.ValueText, "35.68");  // exiftool: 35.7 mm
  EXPECT_EQ(e.FormatText, "%s mm");
  EXPECT_EQ(e.ValueType, 10);
  EXPECT_EQ(e.RawBytes, "");
  EXPECT_EQ(info.Entries.back().Name, "FocalLengthin35mmFilm");

  // Stored by the camera: nothing is added.
  TTiff t2(O());
  const int a = t2.AddIfd();
  t2.Rational(a, 0x920A, {{58, 10}});
  t2.Short(a, 0xA405, {35});
  t2.Short(a, 0x0128, {2});
  t2.Rational(a, 0xA20E, {{100, 1}});
  t2.Rational(a, 0xA20F, {{100, 1}});
  EXPECT_EQ(Load(t2.Build()).EntryCount(), 5);
  EXPECT_EQ(Value("FocalLengthin35mmFilm"), "35.00 mm");
}
