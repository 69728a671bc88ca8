// Tests of engine/FileObject.h: scanning through a fake folder reader
// (attributes, masks, sizes past 4 GB, raw times, UTF-16 names, type-name
// cache) and every sort key both ways.
#include "engine/FileObject.h"

#include <gtest/gtest.h>

#include <map>

using namespace qv::engine;

namespace {

class FakeReader : public IFolderReader {
public:
  std::vector<TFolderEntry> entries;
  bool fail = false;
  std::map<std::u16string, int> typeCalls;

  bool ReadFolder(const std::u16string& folder, const std::function<void(const TFolderEntry&)>& onEntry) override {
    lastFolder = folder;
    if (fail) return false;
    for (const auto& e : entries) onEntry(e);
    return true;
  }
  std::string TypeName(const std::u16string& name) override {
    ++typeCalls[name];
    const size_t dot = name.rfind(u'.');
    if (dot == std::u16string::npos) return "Fichier";
    std::string ext;
    for (size_t i = dot + 1; i < name.size(); ++i) ext += static_cast<char>(name[i] & 0x7F);
    if (ext == "long") return std::string(100, 'L');
    return "Fichier " + ext;
  }
  std::u16string lastFolder;
};

int64_t Ft(int y, int mo, int d, int h = 12) {
  TCalendarTime t;
  t.Year = y, t.Month = mo, t.Day = d, t.Hour = h;
  return *CalendarToFileTime(t);
}

TFolderEntry Entry(std::u16string name, uint64_t size, uint32_t attr = kAttrArchive, int64_t time = 0) {
  TFolderEntry e;
  e.Name = std::move(name);
  e.Size = size;
  e.Attributes = attr;
  e.Created = e.Modified = e.Accessed = time ? time : Ft(2020, 1, 1);
  return e;
}

std::vector<std::string> Names(const TFileListing& l) {
  std::vector<std::string> out;
  for (size_t i = 0; i < l.Count(); ++i) out.push_back(l[i].FileName);
  return out;
}

}  // namespace

TEST(FileListing, ScanFiltersAttributesAndMasks) {
  FakeReader r;
  r.entries = {Entry(u".", 0, kAttrDirectory), Entry(u"..", 0, kAttrDirectory), Entry(u"sub.jpg", 0, kAttrDirectory),
               Entry(u"a.jpg", 10), Entry(u"B.JPG", 20, kAttrReadOnly), Entry(u"hidden.jpg", 30, kAttrHidden),
               Entry(u"sys.jpg", 40, kAttrSystem | kAttrArchive), Entry(u"readme", 5), Entry(u"c.png", 7)};
  TFileListing l;
  l.SetFolderReader(&r);
  EXPECT_EQ(l.ScanFolder("C:\\Photos\\", "*.jpg", kScanAttributes), 2u);
  EXPECT_EQ(Names(l), (std::vector<std::string>{"a.jpg", "B.JPG"}));
  EXPECT_EQ(l.TotalSize, 30);
  EXPECT_EQ(l.FolderPath, "C:\\Photos\\");
  EXPECT_EQ(l.ScanFolder("C:\\Photos", "*.jpg", kScanAttributesFull), 4u);
  EXPECT_EQ(l.ScanFolder("C:\\Photos", "", kScanAttributes), 4u);  // a.jpg B.JPG readme c.png
  EXPECT_EQ(l.ScanFolder("C:\\Photos", "*.*", kScanAttributes), 4u);
  EXPECT_EQ(l.ScanFolder("C:\\Photos", "readme", kScanAttributes), 1u);
  // A subfolder never appears, even with every attribute allowed.
  EXPECT_EQ(l.ScanFolder("C:\\Photos", "sub*", 0xFFFFFFFF), 0u);
  r.fail = true;
  EXPECT_EQ(l.ScanFolder("C:\\Nowhere", "*.*", kScanAttributes), 0u);
  EXPECT_EQ(l.Count(), 0u);
  EXPECT_EQ(l.TotalSize, 0);
}

TEST(FileListing, FieldsOfAScannedFile) {
  FakeReader r;
  TFolderEntry e = Entry(u"Vid\u00e9o longue.mkv", 5000000000ULL, kAttrArchive | kAttrReadOnly);
  e.ShortName = u"VIDEOL~1.MKV";
  e.Created = Ft(1969, 7, 20);  // before 1980: shown invalid, kept raw
  e.Modified = Ft(2024, 7, 14) + 12345678;
  e.Accessed = Ft(2024, 7, 15);
  r.entries = {e, Entry(u"small.mkv", 3000000000ULL)};
  TFileListing l;
  l.SetFolderReader(&r);
  ASSERT_EQ(l.ScanFolder("D:\\Films", "*.mkv", kScanAttributes), 2u);
  const TFileObject& f = l[0];
  EXPECT_EQ(f.FileName, "Vid\xE9o longue.mkv");
  EXPECT_EQ(f.NewName, f.FileName);
  EXPECT_EQ(f.WideName, e.Name);
  EXPECT_FALSE(f.NameIsLossy);
  EXPECT_EQ(f.ShortName, "VIDEOL~1.MKV");
  EXPECT_EQ(l[1].ShortName, "small.mkv");
  EXPECT_EQ(f.Size, 5000000000LL);  // past 32 bits
  EXPECT_EQ(l.TotalSize, 8000000000LL);
  EXPECT_EQ(f.Created, kInvalidFileDateTime);
  EXPECT_EQ(f.CreatedRaw, Ft(1969, 7, 20));
  EXPECT_EQ(f.ModifiedRaw, Ft(2024, 7, 14) + 12345678);
  EXPECT_EQ(f.Modified, EncodeDateOnly(2024, 7, 14) + 0.5);
  EXPECT_EQ(f.Attributes, kAttrArchive | kAttrReadOnly);
  EXPECT_EQ(f.ImageIndex, -1);
  EXPECT_EQ(f.Status, 0);
  EXPECT_EQ(f.TypeName, "Fichier mkv");
}

TEST(FileListing, NamesOutsideCp1252AreMarked) {
  FakeReader r;
  r.entries = {Entry(u"\u65e5\u672c.txt", 1), Entry(u"na\u00efve.txt", 1), Entry(u"\U0001F600.txt", 1),
               Entry(u"\u20ac.txt", 1)};
  TFileListing l;
  l.SetFolderReader(&r);
  ASSERT_EQ(l.ScanFolder("C:\\T", "*.txt", kScanAttributes), 4u);
  EXPECT_TRUE(l[0].NameIsLossy);
  EXPECT_EQ(l[0].FileName, "??.txt");
  EXPECT_EQ(l[0].WideName, u"\u65e5\u672c.txt");
  EXPECT_FALSE(l[1].NameIsLossy);
  EXPECT_TRUE(l[2].NameIsLossy);
  EXPECT_FALSE(l[3].NameIsLossy);  // the euro sign is in cp1252
  EXPECT_EQ(l[3].FileName, "\x80.txt");
}

TEST(FileListing, TypeNamesCachedPerExtension) {
  FakeReader r;
  for (int i = 0; i < 50; ++i) r.entries.push_back(Entry(u"f" + std::u16string(1, char16_t(u'a' + i % 26)) + u".JPG", 1));
  r.entries.push_back(Entry(u"x.jpg", 1));
  r.entries.push_back(Entry(u"y.long", 1));
  r.entries.push_back(Entry(u"noext", 1));
  TFileListing l;
  l.SetFolderReader(&r);
  l.ScanFolder("C:\\T", "", kScanAttributes);
  l.ScanFolder("C:\\T", "", kScanAttributes);
  int calls = 0;
  for (const auto& [name, n] : r.typeCalls) calls += n;
  EXPECT_EQ(calls, 3);  // .jpg (any case), .long, none: once across two scans
  EXPECT_EQ(l[l.Count() - 2].TypeName.size(), 80u);
}

TEST(FileListing, SortKeysBothWays) {
  FakeReader r;
  auto e = [&](const char16_t* name, const char16_t* shortName, uint64_t size, uint32_t attr, int day) {
    TFolderEntry x = Entry(name, size, attr);
    x.ShortName = shortName;
    x.Created = Ft(2020, 1, day);
    x.Modified = Ft(2021, 2, 28 - day);
    x.Accessed = Ft(2022, 3, 10 + (day * 7) % 11);
    return x;
  };
  r.entries = {e(u"b.txt", u"Z~1.TXT", 300, 0x20, 3), e(u"A.jpg", u"", 100, 0x21, 1), e(u"c.png", u"Y~1.PNG", 200, 0x01, 2)};
  TFileListing l;
  l.SetFolderReader(&r);
  l.ScanFolder("C:\\T", "", kScanAttributes);
  l[0].NewName = "2";
  l[1].NewName = "3";
  l[2].NewName = "1";  // scan order b, A, c
  struct Case {
    uint8_t key;
    std::vector<std::string> ascending;
  };
  const Case cases[] = {
      {1, {"A.jpg", "b.txt", "c.png"}},  // names, case ignored
      {2, {"c.png", "b.txt", "A.jpg"}},  // new names
      {3, {}},                           // size
      {4, {}},                           // created
      {5, {}},                           // modified
      {6, {}},                           // accessed
      {7, {"A.jpg", "c.png", "b.txt"}},  // short names: A.jpg, Y~1, Z~1
      {8, {}},                           // attributes
      {9, {"A.jpg", "c.png", "b.txt"}},  // types: Fichier jpg / png / txt
  };
  for (const Case& c : cases) {
    l.SortFiles(c.key, true);
    std::vector<std::string> asc = Names(l);
    l.SortFiles(c.key | 0x80, false);  // high bit ignored
    std::vector<std::string> desc = Names(l);
    std::reverse(desc.begin(), desc.end());
    EXPECT_EQ(asc, desc) << "key " << int(c.key);
    if (!c.ascending.empty()) {
      EXPECT_EQ(asc, c.ascending) << "key " << int(c.key);
    }
    // Check each ascending order against the field itself.
    for (size_t i = 1; i < l.Count(); ++i) {
      l.SortFiles(c.key, true);
      const TFileObject &p = l[i - 1], &q = l[i];
      switch (c.key) {
        case 3: EXPECT_LE(p.Size, q.Size); break;
        case 4: EXPECT_LE(p.CreatedRaw, q.CreatedRaw); break;
        case 5: EXPECT_LE(p.ModifiedRaw, q.ModifiedRaw); break;
        case 6: EXPECT_LE(p.AccessedRaw, q.AccessedRaw); break;
        case 8: EXPECT_LE(p.Attributes, q.Attributes); break;
        default: break;
      }
    }
  }
  l.SortFiles(9, false);
  EXPECT_EQ(Names(l), (std::vector<std::string>{"b.txt", "c.png", "A.jpg"}));
  // Other keys keep the order.
  l.SortFiles(0, true);
  l.SortFiles(10, true);
  EXPECT_EQ(Names(l), (std::vector<std::string>{"b.txt", "c.png", "A.jpg"}));
  // Status survives sorting, follows the file.
  l.SetStatus(0, 1);
  l.SortFiles(1, true);
  EXPECT_EQ(l.GetStatus(1), 1);
  EXPECT_EQ(l.GetFileName(1), "b.txt");
  EXPECT_EQ(l.GetStatus(0) + l.GetStatus(2), 0);
  EXPECT_EQ(l.GetStatus(99), 0);
  EXPECT_EQ(l.GetFileName(99), "");
  EXPECT_TRUE(l.SetNewName(99, "x"));
}

TEST(FileListing, NewNameSortSeesChanges) {
  FakeReader r;
  r.entries = {Entry(u"a", 1), Entry(u"b", 1)};
  TFileListing l;
  l.SetFolderReader(&r);
  l.ScanFolder("C:\\T", "", kScanAttributes);
  l.SetNewName(0, "z");
  l.SortFiles(2, true);
  EXPECT_EQ(l.GetFileName(0), "b");
  l.SetNewName(0, "zz");  // b -> zz
  l.SortFiles(2, true);
  EXPECT_EQ(l.GetFileName(0), "a");
}

// A folder larger than one storage block: every file keeps its fields, the
// sorts see all of them, and a rescan of a smaller folder forgets the rest.
TEST(FileListing, LargeFolderKeepsEveryFile) {
  FakeReader r;
  const size_t n = 2600;
  for (size_t i = 0; i < n; ++i) {
    const std::string name = "IMG_" + std::to_string(100000 + (i * 7919) % n) + ".jpg";
    r.entries.push_back(Entry(std::u16string(name.begin(), name.end()), i));
  }
  TFileListing l;
  l.SetFolderReader(&r);
  ASSERT_EQ(l.ScanFolder("C:\\T", "*.jpg", kScanAttributes), n);
  EXPECT_EQ(l.TotalSize, static_cast<int64_t>(n * (n - 1) / 2));
  for (size_t i = 0; i < n; i += 257) {
    EXPECT_EQ(l[i].Size, static_cast<int64_t>(i));
    EXPECT_EQ(l[i].WideName, std::u16string(l[i].FileName.begin(), l[i].FileName.end()));
  }
  l.SortFiles(1, false);
  for (size_t i = 0; i < n; ++i) ASSERT_EQ(l[i].FileName, "IMG_" + std::to_string(100000 + n - 1 - i) + ".jpg");
  l.SortFiles(3, true);
  for (size_t i = 0; i < n; ++i) ASSERT_EQ(l[i].Size, static_cast<int64_t>(i));
  l.SetNewName(n - 1, "dernier.jpg");
  EXPECT_EQ(l.GetNewName(n - 1), "dernier.jpg");

  r.entries.resize(3);
  ASSERT_EQ(l.ScanFolder("C:\\T", "*.jpg", kScanAttributes), 3u);
  EXPECT_EQ(l[2].Size, 2);
  EXPECT_EQ(l.GetFileName(3), "");
}
