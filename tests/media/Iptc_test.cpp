// The IPTC reader: datasets of an APP13 block, names, repeatable datasets.
#include <gtest/gtest.h>

#include "media/ImgData.h"
#include "media/IptcData.h"
#include "tests/media/PhotoBuilder.h"

using namespace qv::media;
using namespace qv::media::test;

namespace {

Bytes Dataset(uint8_t record, uint8_t dataset, std::string_view value) {
  Bytes b{0x1C, record, dataset, uint8_t(value.size() >> 8), uint8_t(value.size())};
  for (char c : value) b.push_back(uint8_t(c));
  return b;
}

// An APP13 section's bytes from its length field on.
std::string App13(const Bytes& datasets) {
  Bytes d = {'P', 'h', 'o', 't', 'o', 's', 'h', 'o', 'p', ' ', '3', '.', '0', 0, '8', 'B', 'I', 'M', 4, 4, 0, 0};
  Put32(d, uint32_t(datasets.size()), ByteOrder::Big);
  d.insert(d.end(), datasets.begin(), datasets.end());
  const Bytes s = Section(0xED, d);
  return std::string(s.begin() + 2, s.end());
}

std::string DataFile(const char* name) { return std::string(QV_MEDIA_TEST_DATA) + "/photo/" + name; }

}  // namespace

TEST(Iptc, DatasetsOfABlock) {
  TIPTCdata iptc(nullptr);
  iptc.ReadIptcBlock(App13(Concat({Dataset(2, 0, std::string_view("\x00\x04", 2)), Dataset(2, 25, "alpha"), Dataset(2, 25, "beta"),
                                   Dataset(2, 5, "Tour"), Dataset(2, 5, "Deux"), Dataset(2, 200, "custom"),
                                   Dataset(2, 90, "Paris"), Dataset(1, 90, "\x1B%G"), Dataset(8, 10, "sf")})));
  std::vector<std::string> names;
  for (const TTagEntry& e : iptc.Entries) names.push_back(e.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Keywords", "ObjectName", "ObjectName", "Custom_200", "City",
                                             "Subfile"}));
  EXPECT_EQ(iptc.IptcTagValue("keywords", "-"), "alpha,beta");
  EXPECT_EQ(iptc.FindIptcTag("ObjectName"), 1);
  EXPECT_EQ(iptc.Entry(1).ValueText, "Tour");
  EXPECT_EQ(iptc.Entry(3).ByteCount, 64);
  EXPECT_EQ(iptc.Entry(3).Description, "Custom_200");
  EXPECT_EQ(iptc.Entry(4).Description, "City");
  EXPECT_EQ(iptc.Entry(4).ByteCount, 32);
  EXPECT_EQ(iptc.Entry(4).RecordNumber, 2);
  EXPECT_EQ(iptc.Entry(99).Tag, 0);
  EXPECT_EQ(iptc.IptcTagValue("Urgency", "none"), "none");
}

TEST(Iptc, DatasetLengthsPastTheBlockAreClamped) {
  std::string block = App13(Concat({Dataset(2, 90, "Paris"), Bytes{0x1C, 2, 120, 0xFF, 0xF0, 'a', 'b'}}));
  TIPTCdata iptc(nullptr);
  iptc.ReadIptcBlock(block);
  EXPECT_EQ(iptc.IptcTagValue("City", ""), "Paris");
  EXPECT_EQ(iptc.IptcTagValue("ImageCaption", "?"), "ab");
  for (size_t cut = 0; cut < block.size(); ++cut) iptc.ReadIptcBlock(block.substr(0, cut));
  iptc.ReadIptcBlock("");
  EXPECT_EQ(iptc.EntryCount(), 0);
}

TEST(Iptc, SetAppendAddRemove) {
  TIPTCdata iptc(nullptr);
  EXPECT_EQ(iptc.SetIptcTag("City", "Paris"), 0);
  EXPECT_EQ(iptc.SetIptcTag("CITY", ""), 0);  // empty keeps the value
  EXPECT_EQ(iptc.IptcTagValue("City", ""), "Paris");
  EXPECT_EQ(iptc.SetIptcTag("NoSuchTag", "x"), -1);
  EXPECT_EQ(iptc.AddIptcValue("Keywords", "New York"), 1);
  EXPECT_EQ(iptc.AddIptcValue("keywords", "new, \"Big Apple\""), 1);
  EXPECT_EQ(iptc.IptcTagValue("Keywords", ""), "New,York,\"Big Apple\"");
  EXPECT_EQ(iptc.AddIptcValue("City", "Lyon"), 0);
  EXPECT_EQ(iptc.IptcTagValue("City", ""), "Lyon");
  EXPECT_EQ(iptc.AddIptcValue("Nothing", "x"), -1);
  iptc.RemoveIptcTag("City");
  iptc.RemoveIptcTag("City");
  EXPECT_EQ(iptc.FindIptcTag("Keywords"), 0);
  TTagEntry empty;
  EXPECT_EQ(iptc.AddIptcEntry(empty), 0);
  EXPECT_EQ(iptc.EntryCount(), 1);
}

TEST(Iptc, CommaTexts) {
  EXPECT_EQ(JoinIptcValues("", "alpha"), "alpha");
  EXPECT_EQ(JoinIptcValues("alpha", "beta"), "alpha,beta");
  EXPECT_EQ(JoinIptcValues("alpha,beta", "BETA"), "alpha,beta");
  EXPECT_EQ(JoinIptcValues("", "two words"), "two,words");
  EXPECT_EQ(JoinIptcValues("", "\"two words\""), "\"two words\"");
  EXPECT_EQ(JoinIptcValues("", "\"say \"\"hi\"\"\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(JoinIptcValues("a", "b,"), "a,b,");
  EXPECT_EQ(JoinIptcValues("", ""), "");
  EXPECT_EQ(JoinIptcValues("", ","), "\"\"");  // one empty item
}

TEST(Iptc, FilesWrittenByExiftool) {
  TimgData reader;
  ASSERT_TRUE(reader.LoadImageMetadata(DataFile("iptc.jpg")));
  TIPTCdata* iptc = reader.IptcInfo();
  ASSERT_NE(iptc, nullptr);
  EXPECT_EQ(iptc->EntryCount(), 0);  // parsed on request only
  // The reader's own object asks its owner to load: it must survive the reset.
  EXPECT_TRUE(iptc->ReadIptcFile(DataFile("iptc.jpg")));
  EXPECT_EQ(reader.IptcInfo(), iptc);
  EXPECT_EQ(iptc->IptcTagValue("City", ""), "Paris");
  EXPECT_EQ(iptc->IptcTagValue("ObjectName", ""), "Tour");
  EXPECT_EQ(iptc->IptcTagValue("ByLine", ""), "Ann Example");
  EXPECT_EQ(iptc->IptcTagValue("LocationName", ""), "France");
  EXPECT_EQ(iptc->IptcTagValue("ImageCaption", ""), "Une legende");
  EXPECT_EQ(iptc->IptcTagValue("SuppCategory", ""), "one,two");
  EXPECT_EQ(iptc->IptcTagValue("Keywords", ""), "alpha,beta,New,York");  // exiftool: alpha, beta, New York
  EXPECT_FALSE(iptc->ReadIptcFile(DataFile("comment.jpg")));
  EXPECT_EQ(reader.IptcInfo(), nullptr);
  EXPECT_EQ(iptc->EntryCount(), 0);
  // A separate object parses into itself.
  TIPTCdata mine(&reader);
  EXPECT_TRUE(mine.ReadIptcFile(DataFile("iptc.jpg")));
  EXPECT_EQ(mine.IptcTagValue("City", ""), "Paris");
}
