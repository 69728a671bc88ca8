// The JPEG marker walk and the file kinds of the photo reader.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "media/ImgData.h"
#include "media/IptcData.h"
#include "tests/media/PhotoBuilder.h"

using namespace qv::media;
using namespace qv::media::test;

namespace {

Bytes SmallTiff(ByteOrder o = ByteOrder::Little) {
  TTiff t(o);
  const int ifd0 = t.AddIfd();
  t.Ascii(ifd0, 0x010F, "Canon");
  t.Ascii(ifd0, 0x0110, "Canon PowerShot S95");
  return t.Build();
}

struct TLoad {
  TimgData reader{255};
  bool result = false;
  uint64_t bytesRead = 0;
  TLoad& Run(const Bytes& file, std::string_view name = "photo.jpg") {
    TMemorySource src(file);
    result = reader.LoadImageMetadata(&src, name);
    bytesRead = src.bytesRead();
    return *this;
  }
  std::string Value(std::string_view name) const { return reader.ExifValue(name); }
};

}  // namespace

TEST(JpegReader, ExifAfterApp0IsRead) {
  TLoad l;
  l.Run(Jpeg({Jfif(), ExifApp1(SmallTiff()), Dqt()}));
  EXPECT_TRUE(l.result);
  EXPECT_EQ(l.reader.StatusText, "<none>");
  ASSERT_NE(l.reader.ExifInfo(), nullptr);
  EXPECT_EQ(l.Value("Make"), "Canon");
  EXPECT_EQ(l.Value("model"), "Canon PowerShot S95");
  EXPECT_TRUE(l.reader.MetadataPresent());
  EXPECT_EQ(l.reader.HeaderSection, &l.reader.Sections[0]);
  EXPECT_EQ(l.reader.ExifSection, &l.reader.Sections[1]);
}

TEST(JpegReader, MetadataMustLieInTheFirstFourSections) {
  TLoad l;
  l.Run(Jpeg({Jfif(), Dqt(), Dqt(), Dqt(), ExifApp1(SmallTiff())}));
  EXPECT_FALSE(l.result);
  EXPECT_EQ(l.reader.ExifInfo(), nullptr);
  EXPECT_EQ(l.reader.StatusText, "Not an EXIF file");
  l.Run(Jpeg({Jfif(), Dqt(), Dqt(), ExifApp1(SmallTiff())}));
  EXPECT_TRUE(l.result);
}

TEST(JpegReader, SecondApp1IsDroppedAndTakesNoSlot) {
  TTiff other(ByteOrder::Big);
  other.Ascii(other.AddIfd(), 0x010F, "Other");
  TLoad l;
  l.Run(Jpeg({ExifApp1(SmallTiff()), ExifApp1(other.Build()), Dqt()}));
  EXPECT_TRUE(l.result);
  EXPECT_EQ(l.Value("Make"), "Canon");
  EXPECT_EQ(l.reader.SectionCount, 3);  // APP1, DQT, SOS
  EXPECT_EQ(l.reader.Sections[1].Marker, 0xDB);
}

TEST(JpegReader, CommentOrIptcAloneIsMetadataWithoutExif) {
  TLoad l;
  l.Run(Jpeg({Jfif(), Com("first"), Com("second")}));
  EXPECT_TRUE(l.result);
  EXPECT_TRUE(l.reader.MetadataPresent());
  EXPECT_EQ(l.reader.ExifInfo(), nullptr);
  ASSERT_NE(l.reader.CommentSection, nullptr);
  EXPECT_EQ(l.reader.CommentSection->Bytes.substr(2), "second");  // a later comment replaces
  l.Run(Jpeg({Section(0xED, {'P', 'h', 'o', 't', 'o', 's', 'h', 'o', 'p', ' ', '3', '.', '0', 0})}));
  EXPECT_TRUE(l.result);
  EXPECT_EQ(l.reader.ExifInfo(), nullptr);
  EXPECT_NE(l.reader.IptcInfo(), nullptr);
  l.Run(Jpeg({Jfif(), Dqt()}));
  EXPECT_FALSE(l.result);
  EXPECT_EQ(l.reader.StatusText, "Not an EXIF file");
}

TEST(JpegReader, FileKindsByExtension) {
  const Bytes file = Jpeg({ExifApp1(SmallTiff())});
  TLoad l;
  for (const char* name : {"a.JPG", "b.jpeg", "c.Jpe", "dir.x/d.jpg", "C:\\x.y\\e.JPEG"}) {
    EXPECT_TRUE(l.Run(file, name).result) << name;
    EXPECT_EQ(l.Value("Make"), "Canon") << name;
  }
  for (const char* name : {"a.jfif", "jpg", "a.jpg.txt", "dir.jpg/file", "x.png"}) {
    EXPECT_FALSE(l.Run(file, name).result) << name;
    EXPECT_EQ(l.reader.StatusText, "Not an EXIF file") << name;
    EXPECT_EQ(l.bytesRead, 0u) << name;
  }
  TimgData r;
  EXPECT_FALSE(r.LoadImageMetadata(nullptr, "locked.jpg"));
  EXPECT_EQ(r.StatusText, "Illegal Exif construction");
  EXPECT_FALSE(r.LoadImageMetadata("/no/such/folder/photo.jpg"));
  EXPECT_EQ(r.StatusText, "");
  // Not starting with SOI.
  EXPECT_FALSE(l.Run(Bytes{0xFF, 0xD9, 0xFF, 0xD8}).result);
  EXPECT_FALSE(l.Run(Bytes{}).result);
}

// Files the path entries reach only through the reader's opener.
struct TFakeFiles {
  static inline std::map<std::string, Bytes> files;
  static inline std::vector<std::string> opened;
  static bool IsFile(const std::string& path) { return files.count(path) != 0; }
  static std::unique_ptr<TByteSource> Open(const std::string& path) {
    opened.push_back(path);
    const auto it = files.find(path);
    if (it == files.end() || it->second.empty()) return nullptr;  // empty: exists, cannot be opened
    return std::make_unique<TMemorySource>(it->second);
  }
};
const TPathOpener kFakePaths{TFakeFiles::IsFile, TFakeFiles::Open};

TEST(JpegReader, PathEntriesOpenFilesThroughTheReadersOpener) {
  TFakeFiles::files = {{"m:a.jpg", Jpeg({ExifApp1(SmallTiff())})}, {"m:b.txt", Bytes{1, 2, 3}}, {"m:locked.jpg", {}}};
  TFakeFiles::opened.clear();
  TimgData r;
  r.Paths = &kFakePaths;
  EXPECT_TRUE(r.LoadImageMetadata("m:a.jpg"));
  EXPECT_EQ(r.ExifValue("Make"), "Canon");
  // Another kind is never opened; a missing file is not asked for.
  EXPECT_FALSE(r.LoadImageMetadata("m:b.txt"));
  EXPECT_EQ(r.StatusText, "Not an EXIF file");
  EXPECT_FALSE(r.LoadImageMetadata("m:c.jpg"));
  EXPECT_EQ(r.ExifInfo(), nullptr);
  EXPECT_FALSE(r.LoadImageMetadata("m:locked.jpg"));
  EXPECT_EQ(r.StatusText, "Illegal Exif construction");
  // The IPTC entry loads through its owner, so through the same opener.
  TIPTCdata mine(&r);
  EXPECT_FALSE(mine.ReadIptcFile("m:a.jpg"));
  EXPECT_EQ((TFakeFiles::opened), (std::vector<std::string>{"m:a.jpg", "m:locked.jpg", "m:a.jpg"}));
}

TEST(JpegReader, FillBytesAndStandaloneMarkersAreSkipped) {
  Bytes file{0xFF, 0xD8, 0xFF, 0xFF, 0xFF};  // fill bytes before the first marker
  const Bytes app1 = ExifApp1(SmallTiff());
  file.insert(file.end(), app1.begin() + 1, app1.end());  // its 0xFF comes from the fill
  // A restart marker and TEM carry no length: nothing may be read after them.
  file.insert(file.end(), {0xFF, 0xD0, 0xFF, 0x01});
  const Bytes com = Com("c");
  file.insert(file.end(), com.begin(), com.end());
  TLoad l;
  l.Run(file);
  EXPECT_TRUE(l.result);
  EXPECT_EQ(l.Value("Make"), "Canon");
  ASSERT_NE(l.reader.CommentSection, nullptr);
  EXPECT_EQ(l.reader.CommentSection->Bytes.substr(2), "c");
}

// Regression: at the end of the file a read that did not fail left 0xFF as
// the marker, and the walk never ended.
TEST(JpegReader, EndOfFileEndsTheWalk) {
  TLoad l;
  Bytes file = Jpeg({Jfif(), ExifApp1(SmallTiff())}, false);
  EXPECT_TRUE(l.Run(file).result);
  EXPECT_EQ(l.Value("Make"), "Canon");
  file.push_back(0xFF);
  EXPECT_TRUE(l.Run(file).result);
  file.push_back(0xC4);  // a marker, then the file ends inside its length
  EXPECT_TRUE(l.Run(file).result);
  EXPECT_FALSE(l.Run(Bytes{0xFF, 0xD8}).result);
  EXPECT_FALSE(l.Run(Bytes(100000, 0xFF)).result);  // only fill bytes: bounded, no metadata
  Bytes fill{0xFF, 0xD8};
  fill.resize(200000, 0xFF);
  EXPECT_FALSE(l.Run(fill).result);
}

TEST(JpegReader, SectionLengthBelowTwoEndsTheWalkAsCorrupt) {
  for (uint8_t len : {0, 1}) {
    TLoad l;
    Bytes file = Concat({Bytes{0xFF, 0xD8}, Com("c"), Bytes{0xFF, 0xE1, 0x00, len}, ExifApp1(SmallTiff())});
    EXPECT_FALSE(l.Run(file).result);
    EXPECT_EQ(l.reader.StatusText, "Not an EXIF file");
    EXPECT_EQ(l.reader.ExifInfo(), nullptr);
    EXPECT_TRUE(l.reader.MetadataPresent());  // what was found before is kept
  }
}

TEST(JpegReader, CutSectionIsCountedButNotUsed) {
  Bytes file = Jpeg({Jfif(), ExifApp1(SmallTiff())}, false);
  file.resize(file.size() - 3);
  TLoad l;
  EXPECT_FALSE(l.Run(file).result);
  EXPECT_EQ(l.reader.ExifInfo(), nullptr);
  EXPECT_EQ(l.reader.SectionCount, 2);
}

TEST(JpegReader, ExifHeaderChecks) {
  TLoad l;
  // Too short for its header: the reader must not look past the section.
  for (const Bytes& data : {Bytes{}, Bytes{'E', 'x'}, Bytes{'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0}}) {
    const Bytes file = Jpeg({Section(0xE1, data), Dqt()});
    EXPECT_TRUE(l.Run(file).result);
    ASSERT_NE(l.reader.ExifInfo(), nullptr);
    EXPECT_EQ(l.reader.ExifInfo()->EntryCount(), 0);
    EXPECT_EQ(l.reader.StatusText, "<none>");
    TMemorySource src(file);
    l.reader.ReadExifSection(src, *l.reader.ExifSection);
    EXPECT_EQ(l.reader.StatusText, "Incorrect Exif header");
  }
  // An XMP packet in the first APP1.
  const std::string xmp = "http://ns.adobe.com/xap/1.0/";
  const Bytes file = Jpeg({Section(0xE1, Bytes(xmp.begin(), xmp.end())), ExifApp1(SmallTiff())});
  EXPECT_TRUE(l.Run(file).result);
  EXPECT_EQ(l.reader.ExifInfo()->EntryCount(), 0);

  Bytes bad = ExifApp1(SmallTiff());
  bad[10] = 'X';
  TimgData r;
  TMemorySource src(bad);
  tSection s;
  s.Marker = 0xE1;
  s.Length = int32_t(bad.size() - 2);
  s.Offset = 2;
  r.ReadExifSection(src, s);
  EXPECT_EQ(r.StatusText, "Invalid Exif alignment marker");
}

TEST(JpegReader, OneReaderForManyFilesKeepsNothing) {
  TLoad l;
  l.Run(Jpeg({ExifApp1(SmallTiff()), Com("x")}));
  EXPECT_EQ(l.Value("Make"), "Canon");
  l.Run(Jpeg({Jfif(), Dqt()}));
  EXPECT_EQ(l.reader.ExifInfo(), nullptr);
  EXPECT_EQ(l.reader.CommentSection, nullptr);
  EXPECT_EQ(l.Value("Make"), "");
  TTiff be(ByteOrder::Big);
  be.Ascii(be.AddIfd(), 0x0110, "Second");
  l.Run(Jpeg({ExifApp1(be.Build())}));
  EXPECT_EQ(l.Value("Make"), "");
  EXPECT_EQ(l.Value("Model"), "Second");
  EXPECT_EQ(l.reader.ExifInfo()->CameraModel, "Second");
  EXPECT_EQ(l.reader.ExifInfo()->CameraMake, "");
}

TEST(JpegReader, ReadsEachByteOnceAndNeverTheScan) {
  TTiff t(ByteOrder::Little);
  const int ifd0 = t.AddIfd();
  t.Ascii(ifd0, 0x010F, "Canon");
  t.Undefined(ifd0, 0x9999, Bytes(30000, 7));
  const Bytes app1 = ExifApp1(t.Build());
  Bytes file = Jpeg({Jfif(), app1, Dqt()});
  file.insert(file.end() - 2, 1000000, 0x55);
  TLoad l;
  EXPECT_TRUE(l.Run(file).result);
  EXPECT_EQ(l.Value("Make"), "Canon");
  // SOI, the JFIF section, the APP1 once, the DQT and SOS headers.
  EXPECT_EQ(l.bytesRead, 2 + 18 + app1.size() + 4 + 4);
}
