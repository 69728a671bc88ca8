// TPackedEntries: entries come back as added, in order, across chunks, with
// long and empty names; a replay empties it, also when the caller throws.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "engine/PackedEntries.h"

using namespace qv::engine;

namespace {

TFolderEntry Entry(int i, std::u16string name, std::u16string shortName = u"") {
  TFolderEntry e;
  e.Name = std::move(name);
  e.ShortName = std::move(shortName);
  e.Attributes = static_cast<uint32_t>(i * 7);
  e.Size = 5000000000ULL + static_cast<uint64_t>(i);
  e.Created = -1 - i;  // raw times are kept as given, even negative ones
  e.Accessed = int64_t{1} << 62;
  e.Modified = 132000000000000000 + i;
  return e;
}

bool Same(const TFolderEntry& a, const TFolderEntry& b) {
  return a.Name == b.Name && a.ShortName == b.ShortName && a.Attributes == b.Attributes && a.Size == b.Size &&
         a.Created == b.Created && a.Accessed == b.Accessed && a.Modified == b.Modified;
}

}  // namespace

TEST(PackedEntries, ReplaysEveryEntryInOrder) {
  std::vector<TFolderEntry> in;
  // Enough entries for many chunks, names of every length up to MAX_PATH,
  // a name longer than a chunk, empty names, units outside cp1252.
  for (int i = 0; i < 5000; ++i)
    in.push_back(Entry(i, std::u16string(static_cast<size_t>(i % 261), static_cast<char16_t>(u'a' + i % 26)),
                       i % 3 ? u"IMG_1~" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) + u".JPG" : u""));
  in.push_back(Entry(1, std::u16string(40000, u'\u65e5')));
  in.push_back(Entry(2, u"\u20ac\U0001F600.txt", u"_~1.TXT"));
  TPackedEntries packed;
  for (const TFolderEntry& e : in) packed.Add(e);
  EXPECT_EQ(packed.Count(), in.size());

  size_t n = 0;
  packed.Drain([&](const TFolderEntry& e) {
    ASSERT_LT(n, in.size());
    EXPECT_TRUE(Same(e, in[n])) << n;
    ++n;
  });
  EXPECT_EQ(n, in.size());
  EXPECT_EQ(packed.Count(), 0u);
  packed.Drain([&](const TFolderEntry&) { ++n; });
  EXPECT_EQ(n, in.size());
}

TEST(PackedEntries, EmptiedWhenTheReceiverThrows) {
  TPackedEntries packed;
  for (int i = 0; i < 3000; ++i) packed.Add(Entry(i, u"file" + std::u16string(40, u'x')));
  int seen = 0;
  EXPECT_THROW(packed.Drain([&](const TFolderEntry&) {
    if (++seen == 2000) throw std::runtime_error("full");
  }),
               std::runtime_error);
  EXPECT_EQ(packed.Count(), 0u);
  // Usable again afterwards.
  packed.Add(Entry(9, u"again.txt"));
  std::u16string name;
  packed.Drain([&](const TFolderEntry& e) { name = e.Name; });
  EXPECT_EQ(name, u"again.txt");
}
