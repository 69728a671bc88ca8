// Maker notes, assembled byte by byte for each make's layout.
#include <gtest/gtest.h>

#include "media/ImgData.h"
#include "media/MakerNote.h"
#include "tests/media/PhotoBuilder.h"

using namespace qv::media;
using namespace qv::media::test;

namespace {

struct MEntry {
  uint16_t tag, type;
  uint32_t count;
  Bytes data;  // inline when 4 bytes or fewer
  int64_t forcedOffset = -1;  // written as given instead of pointing at data
};

// header, entry count, entries, next offset, then the out-of-line values;
// a value at note position q is written as offset `byte0 + q`.
Bytes Note(ByteOrder o, const Bytes& header, const std::vector<MEntry>& es, int64_t byte0) {
  Bytes b = header;
  Put16(b, uint16_t(es.size()), o);
  size_t data = b.size() + 12 * es.size() + 4;
  Bytes area;
  for (const MEntry& e : es) {
    Put16(b, e.tag, o);
    Put16(b, e.type, o);
    Put32(b, e.count, o);
    if (e.forcedOffset >= 0) {
      Put32(b, uint32_t(e.forcedOffset), o);
    } else if (e.data.size() <= 4) {
      Bytes v = e.data;
      v.resize(4, 0);
      b.insert(b.end(), v.begin(), v.end());
    } else {
      Put32(b, uint32_t(byte0 + int64_t(data + area.size())), o);
      area.insert(area.end(), e.data.begin(), e.data.end());
    }
  }
  Put32(b, 0, o);
  b.insert(b.end(), area.begin(), area.end());
  return b;
}

Bytes Str(const std::string& s, bool zero = true) {
  Bytes b(s.begin(), s.end());
  if (zero) b.push_back(0);
  return b;
}
Bytes U16(ByteOrder o, std::initializer_list<uint16_t> v) {
  Bytes b;
  for (uint16_t x : v) Put16(b, x, o);
  return b;
}
Bytes Rat(ByteOrder o, std::initializer_list<std::pair<uint32_t, uint32_t>> v) {
  Bytes b;
  for (auto [n, d] : v) {
    Put32(b, n, o);
    Put32(b, d, o);
  }
  return b;
}

// A JPEG with Make, Model, Artist in IFD0 and, in the EXIF directory,
// ExifVersion, the maker note and WhiteBalance. `makeNote` gets the note's
// TIFF offset (and the Artist value's) and returns the note.
struct TMakerFile {
  TMakerFile(ByteOrder o, std::string mk, std::string md, std::string ev)
      : order(o), make(std::move(mk)), model(std::move(md)), exifVersion(std::move(ev)) {}
  ByteOrder order;
  std::string make, model, exifVersion;
  Bytes file;
  uint32_t artistOffset = 0;

  template <class F>
  TMakerFile& Build(F makeNote) {
    Bytes note = makeNote(0u);
    for (int pass = 0; pass < 2; ++pass) {
      TTiff t(order);
      const int ifd0 = t.AddIfd(), exif = t.AddIfd();
      t.Ascii(ifd0, 0x010F, make);
      t.Ascii(ifd0, 0x0110, model);
      t.Ascii(ifd0, 0x013B, "Artist outside the note");
      t.Pointer(ifd0, 0x8769, exif);
      if (!exifVersion.empty()) t.Undefined(exif, 0x9000, Str(exifVersion, false));
      t.Undefined(exif, 0x927C, note);
      t.Short(exif, 0xA403, {1});
      const Bytes tiff = t.Build();
      artistOffset = t.ValueOffset(ifd0, 2);
      const uint32_t n = t.ValueOffset(exif, exifVersion.empty() ? 0 : 1);
      if (pass == 0) note = makeNote(n);
      else file = Jpeg({ExifApp1(tiff)});
    }
    return *this;
  }
};

struct TRead {
  TimgData reader;
  explicit TRead(const Bytes& file) {
    TMemorySource src(file);
    reader.LoadImageMetadata(&src, "m.jpg");
  }
  const TImageInfo& Info() const { return *reader.ExifInfo(); }
  TTagEntry Entry(std::string_view name) const { return FindExifEntry(Info(), name); }
  std::vector<std::string> Names() const {
    std::vector<std::string> v;
    for (const TTagEntry& e : Info().Entries) v.push_back((e.Id == 1 ? "m:" : "") + e.Name);
    return v;
  }
};

}  // namespace

TEST(MakerNote, CanonValuesAreQuotedAndStoredAtTheMakerNote) {
  const ByteOrder o = ByteOrder::Little;
  TMakerFile f{o, "Canon", "Canon PowerShot S95", "0230"};
  f.Build([&](uint32_t n) {
    return Note(o, {}, {{0x0000, 3, 1, U16(o, {7})},  // Skip
                        {0x0006, 2, 19, Str("IMG:PowerShot JPEG")},
                        {0x0009, 2, 4, Str("Ann")},
                        {0x0001, 3, 6, U16(o, {12, 2, 0, 4, 1, 0})},
                        {0x9999, 3, 1, U16(o, {1})}},  // not in the table
                n);
  });
  TRead r(f.file);
  EXPECT_EQ(r.Names(), (std::vector<std::string>{"Make", "Model", "Artist", "ExifVersion", "m:ImageType",
                                                 "m:OwnerName", "m:ExposureInfo1", "MakerNote", "WhiteBalance",
                                                 "ExifOffset"}));
  EXPECT_EQ(r.Entry("ImageType").ValueText, "\"IMG:PowerShot JPEG\"");
  EXPECT_EQ(r.Entry("OwnerName").ValueText, "\"Ann\"");
  EXPECT_EQ(r.Entry("OwnerName").Id, 1);
  EXPECT_EQ(r.Entry("OwnerName").RawBytes, std::string("Ann\0", 4));
  EXPECT_EQ(r.Entry("ExposureInfo1").ValueText, "12, 2, 0, 4, 1, 0");
  EXPECT_EQ(r.reader.StatusText, "<none>");
}

TEST(MakerNote, NikonType3UsesItsOwnHeaderAndIsFoundFirst) {
  // Main block Motorola, note Intel: each read in its own order.
  const ByteOrder mm = ByteOrder::Big, ii = ByteOrder::Little;
  TMakerFile f{mm, "Nikon Corporation", "NIKON D70", "0221"};
  f.Build([&](uint32_t) {
    Bytes header = Str("Nikon");
    header.insert(header.end(), {2, 0x10, 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0});
    return Note(ii, header, {{0x0002, 3, 2, U16(ii, {0, 200})},
                             {0x0005, 2, 7, Str("AUTO  ")},
                             {0x0084, 5, 4, Rat(ii, {{18, 1}, {55, 1}, {35, 10}, {56, 10}})},
                             {0x008D, 2, 9, Str("MODE2   ")},
                             {0x0010, 7, 4, {1, 2, 3, 4}}},  // Skip
                -10);
  });
  TRead r(f.file);
  EXPECT_EQ(r.Entry("ISOSpeed").ValueText, "0, 200");
  EXPECT_EQ(r.Entry("WhiteBalance").ValueText, "\"AUTO  \"");  // the maker entry comes first
  EXPECT_EQ(r.Entry("WhiteBalance").Id, 1);
  EXPECT_EQ(r.Entry("LensInformation").ValueText, "18.0-55.0(mm)  F3.5-F5.6");
  EXPECT_EQ(r.Entry("ColorMode").ValueText, "Mode 2 (Adobe RGB)");
  EXPECT_EQ(r.Info().FindTagIndex("Skip"), -1);
  EXPECT_TRUE(r.reader.ExifInfo()->BigEndian);  // the image's order is back
}

TEST(MakerNote, NikonType1AndTheMakePrefixIgnoresCase) {
  const ByteOrder o = ByteOrder::Big;
  for (const char* make : {"NIKON CORPORATION", "Nikon"}) {
    TMakerFile f{o, make, "E990", "0210"};
    f.Build([&](uint32_t n) {
      return Note(o, {'N', 'i', 'k', 'o', 'n', 0, 1, 0},
                  {{0x0003, 3, 1, U16(o, {12})}, {0x0004, 3, 1, U16(o, {2})}, {0x0006, 3, 1, U16(o, {6})},
                   {0x000A, 5, 1, Rat(o, {{0, 100}})}},
                  n);
    });
    TRead r(f.file);
    EXPECT_EQ(r.Entry("Quality").ValueText, "2 Mpixel Fine") << make;
    EXPECT_EQ(r.Entry("ColorMode").ValueText, "Monochrome");
    EXPECT_EQ(r.Entry("ISOSpeed").ValueText, "");  // 6 is not listed
    EXPECT_EQ(r.Entry("DigitalZoom").ValueText, "0/100");
  }
}

TEST(MakerNote, FujiIsAlwaysIntelWithOffsetsFromTheNote) {
  const ByteOrder mm = ByteOrder::Big, ii = ByteOrder::Little;
  TMakerFile f{mm, "FUJIFILM", "FinePix", "0220"};
  f.Build([&](uint32_t) {
    return Note(ii, {'F', 'U', 'J', 'I', 'F', 'I', 'L', 'M', 12, 0, 0, 0},
                {{0x1000, 2, 8, Str("NORMAL ")}, {0x1001, 3, 1, U16(ii, {3})}, {0x1031, 3, 1, U16(ii, {256})},
                 {0x0000, 7, 4, {'0', '1', '3', '0'}}},  // Version: tag 0, never stored
                0);
  });
  TRead r(f.file);
  EXPECT_EQ(r.Entry("Quality").ValueText, "\"NORMAL \"");
  EXPECT_EQ(r.Entry("Sharpness").ValueText, "Normal");
  EXPECT_EQ(r.Entry("PictureMode").ValueText, "Aperture prior AE");
  EXPECT_EQ(r.Entry("Version").Tag, 0);
  // The EXIF entry after the note is read in the image's order again.
  EXPECT_EQ(r.Info().Entries[r.Info().FindTagIndex("MakerNote") + 1].ValueText, "Manual");
}

TEST(MakerNote, OlympusCasioSeikoSanyoMinolta) {
  const ByteOrder o = ByteOrder::Little;
  struct TCase {
    const char* make;
    Bytes header;
    MEntry entry;
    const char* name;
    const char* value;
  } cases[] = {
      {"OLYMPUS OPTICAL CO.,LTD", Str("OLYMP\0\1", false), {0x0201, 3, 1, U16(o, {2})}, "JpegQual", "HQ"},
      {"OLYMPUS", Str("OLYMP\0\1", false), {0x0202, 3, 1, U16(o, {1})}, "Macro", "Macro;"},
      {"CASIO COMPUTER CO.,LTD.", Str("QVC\0\0", false), {0x0008, 3, 1, U16(o, {2})}, "Quality", "Super Fine"},
      {"CASIO", {}, {0x0002, 3, 1, U16(o, {3})}, "Quality", "Fine"},
      {"SEIKO EPSON CORP.", Str("SEIKO\0\1", false), {0x020A, 2, 6, Str("hello")}, "Comments", "\"hello\""},
      {"SANYO Electric Co.,Ltd.", Str("SANYO\0\1", false), {0x0F00, 7, 5, Str("dump")}, "DataDump", "\"dump.\""},
      {"Minolta Co., Ltd.", {}, {0x0E00, 7, 3, {'P', 0, 'M'}}, "PIMdata", "\"P.M\""},
  };
  for (const TCase& c : cases) {
    Bytes header = c.header;
    header.resize(c.header.empty() ? 0 : (std::string(c.make).substr(0, 5) == "CASIO" ? 6 : 8), 0);
    TMakerFile f{o, c.make, "Model", "0220"};
    f.Build([&](uint32_t n) { return Note(o, header, {c.entry}, n); });
    TRead r(f.file);
    EXPECT_EQ(r.Entry(c.name).ValueText, c.value) << c.make;
    EXPECT_EQ(r.Entry(c.name).Id, 1) << c.make;
  }
}

TEST(MakerNote, UnsupportedMakeAddsNothing) {
  const ByteOrder o = ByteOrder::Little;
  TMakerFile f{o, "Pentax", "K-1", "0230"};
  f.Build([&](uint32_t n) { return Note(o, {}, {{0x0006, 2, 4, Str("abc")}}, n); });
  TRead r(f.file);
  for (const TTagEntry& e : r.Info().Entries) EXPECT_EQ(e.Id, 0);
  EXPECT_EQ(r.reader.StatusText, "<none>");
  TmsInfo ms(false, const_cast<TImageInfo*>(&r.Info()));
  EXPECT_FALSE(ms.ReadMakerNote());
}

// Regression: a value that did not fit in the note was taken from the whole
// block at position "a + o", unbounded, and at the wrong place for a = 0.
TEST(MakerNote, ValuesOutsideTheNoteAreResolvedInTheTiffBlock) {
  const ByteOrder o = ByteOrder::Big;
  TMakerFile f{o, "Canon", "EOS", "0230"};
  uint32_t artist = 0;
  f.Build([&](uint32_t n) {
    artist = f.artistOffset;
    return Note(o, {}, {{0x0009, 2, 24, {}, artist},                  // IFD0's Artist value
                        {0x0006, 2, 40, {}, 0xFFFFFF00},              // outside everything
                        {0x0007, 2, 0x100000, {}, 8}},                // runs past the block
                n);
  });
  TRead r(f.file);
  EXPECT_GT(artist, 0u);
  EXPECT_EQ(r.Entry("OwnerName").ValueText, "\"Artist outside the note\"");
  EXPECT_EQ(r.Entry("ImageType").ValueText, "\"\"");
  EXPECT_EQ(r.Entry("FirmwareVersion").ValueText, "\"\"");
}

TEST(MakerNote, EntryTableStopsAtTheEndOfTheNote) {
  const ByteOrder o = ByteOrder::Little;
  TMakerFile f{o, "Canon", "EOS", "0230"};
  f.Build([&](uint32_t n) {
    Bytes note = Note(o, {}, {{0x0009, 2, 4, Str("Ann")}, {0x0006, 2, 4, Str("Bob")}}, n);
    note[0] = 0xFF;  // 255 entries announced
    note.resize(2 + 12 + 6);  // the second entry is cut
    return note;
  });
  TRead r(f.file);
  EXPECT_EQ(r.Entry("OwnerName").ValueText, "\"Ann\"");
  EXPECT_EQ(r.Entry("ImageType").Tag, 0);
  // Nikon type 3 notes shorter than their header.
  TMakerFile g{o, "NIKON", "D1", "0221"};
  g.Build([&](uint32_t) { return Str("Nikon", false); });
  TRead r2(g.file);
  EXPECT_EQ(r2.Entry("WhiteBalance").Id, 0);
}
