// Early folder listings: taken by the scan of the same folder (in any
// spelling) with the same entries a listing gives then; refused for another
// folder, after any change inside the folder, for a folder put in place of
// the listed one, and for a missing folder, so the scan lists it itself.
#include <gtest/gtest.h>

#include <vector>

#include "engine/FileObject.h"
#include "engine/win32/DiskSpelling.h"
#include "engine/win32/EarlyListing.h"
#include "engine/win32/SystemHelpers.h"
#include "engine/win32/TempFolder.h"
#include "engine/win32/Win32FolderReader.h"

using namespace qv::engine;
using namespace qv::engine::win32;
using qv::engine::testing::TTempFolder;

namespace {

std::vector<TFolderEntry> Listed(const std::u16string& folder) {
  std::vector<TFolderEntry> out;
  EXPECT_TRUE(ListFolder(SearchPattern(DiskFolder(folder)), [&](const TFolderEntry& e) { out.push_back(e); }));
  return out;
}

std::vector<TFolderEntry> Taken(TEarlyListing& early, const std::u16string& folder, bool& took) {
  std::vector<TFolderEntry> out;
  took = early.Take(DiskFolder(folder), [&](const TFolderEntry& e) { out.push_back(e); });
  return out;
}

// Files only: listing a folder moves the access time of its "." entry.
std::vector<TFolderEntry> Files(const std::vector<TFolderEntry>& entries) {
  std::vector<TFolderEntry> out;
  for (const TFolderEntry& e : entries)
    if (!(e.Attributes & FILE_ATTRIBUTE_DIRECTORY)) out.push_back(e);
  return out;
}

void ExpectSame(std::vector<TFolderEntry> a, std::vector<TFolderEntry> b) {
  a = Files(a);
  b = Files(b);
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].Name, b[i].Name);
    EXPECT_EQ(a[i].ShortName, b[i].ShortName);
    EXPECT_EQ(a[i].Attributes, b[i].Attributes);
    EXPECT_EQ(a[i].Size, b[i].Size);
    EXPECT_EQ(a[i].Created, b[i].Created);
    EXPECT_EQ(a[i].Accessed, b[i].Accessed);
    EXPECT_EQ(a[i].Modified, b[i].Modified);
  }
}

// A folder with a little of everything a scan meets.
void Fill(const TTempFolder& dir) {
  ASSERT_TRUE(dir.MakeFile(u"a.jpg", 10));
  ASSERT_TRUE(dir.MakeFile(u"Long Name With Spaces.jpeg", 3000));
  ASSERT_TRUE(dir.MakeFile(u"cach\u00e9.txt", 3, FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(dir.MakeFile(u"\u65e5\u672c.txt", 4));
  ASSERT_TRUE(CreateDirectoryW(W(dir / u"Sub"), nullptr));
  for (int i = 0; i < 300; ++i) ASSERT_TRUE(dir.MakeFile(u"IMG_" + U16(std::to_string(100000 + i)) + u".JPG", 1));
}

// Waits (bounded) until a change made in folder has been reported to
// this process: every watch of the folder has it then.
class TReported {
public:
  explicit TReported(const std::u16string& folder)
      : m_watch(FindFirstChangeNotificationW(W(folder), FALSE,
                                             FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES |
                                                 FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE |
                                                 FILE_NOTIFY_CHANGE_CREATION)) {}
  ~TReported() {
    if (m_watch != INVALID_HANDLE_VALUE) FindCloseChangeNotification(m_watch);
  }
  bool Wait() const { return m_watch != INVALID_HANDLE_VALUE && WaitForSingleObject(m_watch, 10000) == WAIT_OBJECT_0; }

private:
  HANDLE m_watch;
};

std::u16string Upper(std::u16string s) {
  for (char16_t& c : s)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
  return s;
}

}  // namespace

TEST(EarlyListing, TakenByTheSameFolderInAnySpelling) {
  TTempFolder dir;
  Fill(dir);
  const std::vector<TFolderEntry> expected = Listed(dir.path());
  for (const std::u16string& given : {dir.path(), Upper(dir.path()) + u"\\"}) {
    TEarlyListing early(given);
    bool took = false;
    const std::vector<TFolderEntry> got = Taken(early, dir.path(), took);
    EXPECT_TRUE(took);
    ExpectSame(got, expected);
    // Once only.
    EXPECT_FALSE(early.Take(DiskFolder(dir.path()), [](const TFolderEntry&) {}));
  }
}

TEST(EarlyListing, RefusedForAnotherOrAMissingFolder) {
  TTempFolder dir, other;
  Fill(dir);
  ASSERT_TRUE(other.MakeFile(u"x.txt", 1));
  {
    TEarlyListing early(dir.path());
    bool took = true;
    EXPECT_TRUE(Taken(early, other.path(), took).empty());
    EXPECT_FALSE(took);
  }
  {
    TEarlyListing early(dir.path() + u"\\Sub");  // a subfolder is another folder
    bool took = true;
    Taken(early, dir.path(), took);
    EXPECT_FALSE(took);
  }
  {
    TEarlyListing early(dir.path() + u"\\nowhere");
    early.Wait();
    EXPECT_EQ(early.Count(), 0u);
    bool took = true;
    Taken(early, dir.path() + u"\\nowhere", took);
    EXPECT_FALSE(took);
  }
  {
    TEarlyListing early(u"");
    bool took = true;
    Taken(early, u"", took);
    EXPECT_FALSE(took);
  }
}

// Every change the list would show, made after the early listing ended.
TEST(EarlyListing, RefusedAfterAChangeInTheFolder) {
  struct Change {
    const char* what;
    bool (*make)(const TTempFolder& dir);
  };
  const Change changes[] = {
      {"new file", [](const TTempFolder& d) { return d.MakeFile(u"new.jpg", 1); }},
      {"deleted file", [](const TTempFolder& d) { return DeleteFileW(W(d / u"a.jpg")) != 0; }},
      {"renamed file", [](const TTempFolder& d) { return MoveFileW(W(d / u"a.jpg"), W(d / u"b.jpg")) != 0; }},
      {"attributes", [](const TTempFolder& d) { return SetFileAttributesW(W(d / u"a.jpg"), FILE_ATTRIBUTE_READONLY) != 0; }},
      {"size",
       [](const TTempFolder& d) {
         HANDLE h = CreateFileW(W(d / u"a.jpg"), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
         if (h == INVALID_HANDLE_VALUE) return false;
         DWORD written = 0;
         const bool ok = SetFilePointer(h, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
                         WriteFile(h, "more", 4, &written, nullptr);
         CloseHandle(h);
         return ok;
       }},
      {"times",
       [](const TTempFolder& d) {
         const int64_t t = 130000000000000000;
         return RestoreRawFileTimes(d / u"a.jpg", t, t, t);
       }},
  };
  for (const Change& c : changes) {
    SCOPED_TRACE(c.what);
    TTempFolder dir;
    Fill(dir);
    TEarlyListing early(dir.path());
    early.Wait();
    ASSERT_GT(early.Count(), 300u);
    const TReported reported(dir.path());
    ASSERT_TRUE(c.make(dir));
    ASSERT_TRUE(reported.Wait());
    bool took = true;
    Taken(early, dir.path(), took);
    EXPECT_FALSE(took);
  }
}

TEST(EarlyListing, RefusedForAnotherFolderPutInItsPlace) {
  TTempFolder dir;
  const std::u16string folder = dir / u"Photos";
  const std::u16string aside = dir / u"Aside";
  ASSERT_TRUE(CreateDirectoryW(W(folder), nullptr));
  ASSERT_TRUE(dir.MakeFile(u"Photos\\a.jpg", 1));
  TEarlyListing early(folder);
  early.Wait();
  ASSERT_GE(early.Count(), 1u);
  // Moved away, and an empty folder of the same name made instead.
  ASSERT_TRUE(MoveFileW(W(folder), W(aside)));
  ASSERT_TRUE(CreateDirectoryW(W(folder), nullptr));
  bool took = true;
  Taken(early, folder, took);
  EXPECT_FALSE(took);
}

// Through the reader and the listing: whether the early entries are taken or
// not, the scan is the one a plain reader gives at that moment.
TEST(EarlyListing, ScanWithAnEarlyListingIsThePlainScan) {
  TTempFolder dir;
  Fill(dir);
  auto scan = [&](TWin32FolderReader& reader, TFileListing& l) {
    l.SetFolderReader(&reader);
    l.SetTimeZone(SystemTimeZone());
    return l.ScanFolderWide(dir.path(), "*.jpg;*.txt", kScanAttributes);
  };
  auto same = [](const TFileListing& a, const TFileListing& b) {
    ASSERT_EQ(a.Count(), b.Count());
    EXPECT_EQ(a.TotalSize, b.TotalSize);
    for (size_t i = 0; i < a.Count(); ++i) {
      EXPECT_EQ(a[i].WideName, b[i].WideName);
      EXPECT_EQ(a[i].FileName, b[i].FileName);
      EXPECT_EQ(a[i].ShortName, b[i].ShortName);
      EXPECT_EQ(a[i].TypeName, b[i].TypeName);
      EXPECT_EQ(a[i].ModifiedRaw, b[i].ModifiedRaw);
      EXPECT_EQ(a[i].Modified, b[i].Modified);
      EXPECT_EQ(a[i].Size, b[i].Size);
      EXPECT_EQ(a[i].Attributes, b[i].Attributes);
    }
  };
  TWin32FolderReader plain, withEarly;
  TFileListing expected, got;
  withEarly.ListEarly(Upper(dir.path()));
  ASSERT_EQ(scan(withEarly, got), scan(plain, expected));
  EXPECT_EQ(got.Count(), 302u);  // the hidden file and the subfolder left out
  same(got, expected);

  // A file made after the early listing began is in the scan.
  withEarly.ListEarly(dir.path());
  ASSERT_TRUE(dir.MakeFile(u"late.jpg", 7));
  EXPECT_EQ(scan(withEarly, got), 303u);
  EXPECT_EQ(scan(plain, expected), 303u);
  same(got, expected);

  // Dropped, or left for a scan of another folder: the scan lists itself.
  withEarly.ListEarly(dir.path() + u"\\Sub");
  EXPECT_EQ(scan(withEarly, got), 303u);
  withEarly.ListEarly(dir.path());
  withEarly.DropEarlyListing();
  EXPECT_EQ(scan(withEarly, got), 303u);
}

// A listing still under way when it is given up ends with it.
TEST(EarlyListing, GivenUpWhileListing) {
  TTempFolder dir;
  for (int i = 0; i < 3000; ++i) ASSERT_TRUE(dir.MakeFile(u"f" + U16(std::to_string(i)) + u".txt"));
  for (int i = 0; i < 5; ++i) TEarlyListing early(dir.path());
  TWin32FolderReader reader;
  reader.ListEarly(dir.path());
  reader.ListEarly(dir.path());  // the first one ends
}
