// TIFF and NEF files: the header, the first directory, the file kinds.
#include <gtest/gtest.h>

#include "media/ImgData.h"
#include "tests/media/PhotoBuilder.h"

using namespace qv::media;
using namespace qv::media::test;

namespace {
Bytes TiffWithIfdAt(uint32_t first, ByteOrder o) {
  TTiff t(o);
  const int ifd0 = t.AddIfd(), exif = t.AddIfd();
  t.Short(ifd0, 0x0100, {40});
  t.Ascii(ifd0, 0x010F, "NIKON CORPORATION");
  t.Pointer(ifd0, 0x8769, exif);
  t.Rational(exif, 0x829D, {{56, 10}});
  return t.Build(first);
}
}  // namespace

TEST(TiffReader, FirstDirectoryWhereTheHeaderSaysInBothOrders) {
  for (ByteOrder o : {ByteOrder::Little, ByteOrder::Big}) {
    for (uint32_t first : {8u, 3000u}) {  // after 3000 bytes of "pixels"
      Bytes file = TiffWithIfdAt(first, o);
      for (size_t i = 8; i < first; ++i) file[i] = uint8_t(i * 7);
      TimgData r;
      TMemorySource src(file);
      EXPECT_TRUE(r.LoadImageMetadata(&src, "a.tif"));
      EXPECT_EQ(r.StatusText, "<none>");
      ASSERT_NE(r.ExifInfo(), nullptr);
      EXPECT_TRUE(r.ExifInfo()->TiffFlag);
      EXPECT_FALSE(r.TiffFlag);
      EXPECT_EQ(r.ExifValue("Make"), "NIKON CORPORATION");
      EXPECT_EQ(r.ExifValue("FNumber"), "F5.6");
      EXPECT_EQ(r.ExifInfo()->PixelWidth, 40);
      EXPECT_EQ(r.ExifInfo()->EntryCount(), 4);
      EXPECT_EQ(FindExifEntry(*r.ExifInfo(), "Make").RawPos, int32_t(r.ExifInfo()->Entries[1].RawPos));
      EXPECT_EQ(r.SectionCount, 1);
      EXPECT_NE(r.ExifSection, nullptr);
    }
  }
}

TEST(TiffReader, RawPositionsCountFromTheBlock) {
  // A file offset o lies at block position o - 7 in TIFF files, o + 9 in JPEG.
  const Bytes file = TiffWithIfdAt(8, ByteOrder::Little);
  TimgData r;
  TMemorySource src(file);
  r.LoadImageMetadata(&src, "a.nef");
  const TTagEntry make = FindExifEntry(*r.ExifInfo(), "Make");
  EXPECT_EQ(make.RawBytes, "NIKON CORPORATION" + std::string(1, '\0'));
  ASSERT_GT(make.RawPos, 0);
  EXPECT_EQ(std::string(file.begin() + make.RawPos + 7, file.begin() + make.RawPos + 7 + 5), "NIKON");
}

TEST(TiffReader, HeaderChecks) {
  for (const Bytes& file : {Bytes{}, Bytes{'I'}, Bytes{'I', 'I'}, Bytes{'I', 'M', 42, 0, 8, 0, 0, 0},
                            Bytes{'I', 'I', 43, 0, 8, 0, 0, 0}, Bytes{'M', 'M', 42, 0, 0, 0, 0, 8},
                            Bytes{'I', 'I', 42, 0, 8, 0, 0}}) {
    TimgData r;
    TMemorySource src(file);
    EXPECT_FALSE(r.LoadImageMetadata(&src, "x.TIFF")) << file.size();
    EXPECT_EQ(r.ExifInfo(), nullptr);
    EXPECT_FALSE(r.MetadataPresent());
    EXPECT_EQ(r.StatusText, "Not an EXIF file");
    EXPECT_FALSE(r.TiffFlag);
  }
  // A header whose directory lies outside the file: a present, empty list.
  const Bytes outside{'I', 'I', 42, 0, 0xF0, 0xFF, 0xFF, 0xFF};
  TimgData r;
  TMemorySource src(outside);
  EXPECT_TRUE(r.LoadImageMetadata(&src, "x.tif"));
  ASSERT_NE(r.ExifInfo(), nullptr);
  EXPECT_EQ(r.ExifInfo()->EntryCount(), 0);
}

TEST(TiffReader, AJpegNamedTiffIsNotRead) {
  const Bytes jpeg{0xFF, 0xD8, 0xFF, 0xFE, 0, 3, 'x', 0xFF, 0xD9};
  TimgData r;
  TMemorySource src(jpeg);
  EXPECT_FALSE(r.LoadImageMetadata(&src, "x.tif"));
  TMemorySource src2(jpeg);
  EXPECT_TRUE(r.LoadImageMetadata(&src2, "x.jpg"));
}

TEST(TiffReader, ReadsOnlyDirectoriesAndTheirValues) {
  TTiff t(ByteOrder::Big);
  const int ifd0 = t.AddIfd();
  t.Ascii(ifd0, 0x010F, "NIKON");
  t.Undefined(ifd0, 0x9999, Bytes(30000, 7));  // unknown: never read
  t.Long(ifd0, 0x0111, {100000});
  Bytes file = t.Build(200000);  // the directory after 200 KB of pixels
  TimgData r;
  TMemorySource src(file);
  EXPECT_TRUE(r.LoadImageMetadata(&src, "big.tif"));
  EXPECT_EQ(r.ExifValue("Make"), "NIKON");
  EXPECT_EQ(r.ExifValue("StripOffsets"), "100000");
  EXPECT_EQ(src.bytesRead(), 8u + 2 + 3 * 12 + 6);
}
