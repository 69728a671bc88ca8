// Scans of real folders through TWin32FolderReader: attributes, sizes past
// 4 GB, UTF-16 names outside cp1252, raw times before 1980, type names.
#include <gtest/gtest.h>

#include "engine/FileObject.h"
#include "engine/win32/SystemHelpers.h"
#include "engine/win32/Win32FolderReader.h"
#include "engine/win32/TempFolder.h"

using namespace qv::engine;
using qv::engine::testing::TTempFolder;
using qv::engine::win32::TWin32FolderReader;

namespace {
const TFileObject* Find(const TFileListing& l, const std::u16string& name) {
  for (size_t i = 0; i < l.Count(); ++i)
    if (l[i].WideName == name) return &l[i];
  return nullptr;
}
}  // namespace

TEST(FolderScan, RealFolder) {
  TTempFolder dir;
  ASSERT_TRUE(dir.MakeFile(u"a.jpg", 10));
  ASSERT_TRUE(dir.MakeFile(u"big.bin", 5000000000ULL));  // sparse
  ASSERT_TRUE(dir.MakeFile(u"cach\u00e9.txt", 3, FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(dir.MakeFile(u"\u65e5\u672c.txt", 4));
  ASSERT_TRUE(dir.MakeFile(u"readme", 1));
  ASSERT_TRUE(CreateDirectoryW(qv::engine::win32::W(dir / u"sub.jpg"), nullptr));

  TWin32FolderReader reader;
  TFileListing l;
  l.SetFolderReader(&reader);
  l.SetTimeZone(win32::SystemTimeZone());
  EXPECT_EQ(l.ScanFolderWide(dir.path(), "", kScanAttributes), 4u);
  EXPECT_EQ(l.TotalSize, 5000000015LL);
  EXPECT_EQ(Find(l, u"big.bin")->Size, 5000000000LL);
  EXPECT_EQ(Find(l, u"cach\u00e9.txt"), nullptr);  // hidden
  EXPECT_EQ(Find(l, u"sub.jpg"), nullptr);
  const TFileObject* jp = Find(l, u"\u65e5\u672c.txt");
  ASSERT_NE(jp, nullptr);
  EXPECT_TRUE(jp->NameIsLossy);
  EXPECT_EQ(l.ScanFolderWide(dir.path(), "*.txt", kScanAttributesFull), 2u);
  const TFileObject* hidden = Find(l, u"cach\u00e9.txt");
  ASSERT_NE(hidden, nullptr);
  EXPECT_EQ(hidden->FileName, "cach\xE9.txt");
  EXPECT_FALSE(hidden->NameIsLossy);
  EXPECT_TRUE(hidden->Attributes & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(hidden->TypeName.empty());
  EXPECT_LE(hidden->TypeName.size(), 80u);
  EXPECT_EQ(l.ScanFolderWide(dir.path(), "readme", kScanAttributes), 1u);
  EXPECT_EQ(l.ScanFolderWide(dir.path() + u"\\nowhere", "", kScanAttributes), 0u);
  // The cp1252 path works as well, with or without trailing backslash.
  const std::string ansi = qv::base::Utf16ToCp1252(dir.path()) + "\\";
  EXPECT_EQ(l.ScanFolder(ansi, "*.jpg", kScanAttributes), 1u);
  EXPECT_EQ(l.FolderPath, ansi);
}

TEST(FolderScan, TimesKeptRawBefore1980) {
  TTempFolder dir;
  ASSERT_TRUE(dir.MakeFile(u"old.txt", 1));
  TCalendarTime t;
  t.Year = 1970, t.Month = 6, t.Day = 15, t.Hour = 10;
  const int64_t old = *CalendarToFileTime(t) + 1234567;  // not on a 2-second step
  ASSERT_TRUE(RestoreRawFileTimes(dir / u"old.txt", old, old, old));
  TWin32FolderReader reader;
  TFileListing l;
  l.SetFolderReader(&reader);
  l.SetTimeZone(win32::SystemTimeZone());
  ASSERT_EQ(l.ScanFolderWide(dir.path(), "", kScanAttributes), 1u);
  EXPECT_EQ(l[0].Modified, kInvalidFileDateTime);  // shown as before
  EXPECT_EQ(l[0].ModifiedRaw, old);                // kept exactly for undo
  EXPECT_EQ(l[0].AccessedRaw, old);
}

TEST(FolderScan, DotFilesUnderWine) {
  // Under Wine a Unix dot-file carries the hidden attribute, so the
  // default scan leaves it out; with "Attribut Full" it is listed.
  TTempFolder dir;
  ASSERT_TRUE(dir.MakeFile(u".profile", 1));
  ASSERT_TRUE(dir.MakeFile(u"plain", 1));
  TWin32FolderReader reader;
  TFileListing l;
  l.SetFolderReader(&reader);
  const size_t normal = l.ScanFolderWide(dir.path(), "", kScanAttributes);
  const size_t full = l.ScanFolderWide(dir.path(), "", kScanAttributesFull);
  EXPECT_EQ(full, 2u);
  const TFileObject* dot = Find(l, u".profile");
  ASSERT_NE(dot, nullptr);
  EXPECT_EQ(normal, (dot->Attributes & FILE_ATTRIBUTE_HIDDEN) ? 1u : 2u);
  std::printf("dot-file attributes: %u, default scan lists %zu of 2\n", dot->Attributes, normal);
}

TEST(FolderScan, ShellTypeNamesAndIcons) {
  EXPECT_FALSE(win32::GetShellTypeName(u"x.txt").empty());
  win32::TShellIconCache icons;
  const int a = icons.IconIndex(u"a.txt");
  EXPECT_EQ(icons.IconIndex(u"B.TXT"), a);
  EXPECT_GE(win32::GetSystemIconIndex(u"z.unknownext"), 0);
  EXPECT_EQ(win32::SearchPattern(u"C:\\a"), u"C:\\a\\*.*");
  EXPECT_EQ(win32::SearchPattern(u"C:\\a\\"), u"C:\\a\\*.*");
  EXPECT_EQ(win32::SearchPattern(u"C:\\" + std::u16string(300, u'x')).substr(0, 4), u"\\\\?\\");
}

// The scan's local times are the system's own conversion: the same values as
// FileTimeToLocalFileTime and LocalFileTimeToFileTime, call after call.
TEST(FolderScan, SystemTimeZoneGivesTheSystemConversion) {
  const TTimeZone zone = win32::SystemTimeZone();
  for (int64_t utc : {int64_t{0}, int64_t{116444736000000000}, int64_t{133000000000000000}, int64_t{1} << 62}) {
    FILETIME in{static_cast<DWORD>(utc), static_cast<DWORD>(utc >> 32)}, out{};
    ASSERT_TRUE(FileTimeToLocalFileTime(&in, &out));
    const int64_t expected = static_cast<int64_t>((uint64_t{out.dwHighDateTime} << 32) | out.dwLowDateTime);
    for (int again = 0; again < 2; ++again) {
      int64_t local = -1, back = -1;
      if (expected < 0) {
        EXPECT_FALSE(zone.ToLocal(utc, local));
        continue;
      }
      ASSERT_TRUE(zone.ToLocal(utc, local)) << utc;
      EXPECT_EQ(local, expected) << utc;
      FILETIME l{static_cast<DWORD>(local), static_cast<DWORD>(local >> 32)}, u{};
      ASSERT_TRUE(LocalFileTimeToFileTime(&l, &u));
      ASSERT_TRUE(zone.ToUtc(local, back));
      EXPECT_EQ(back, static_cast<int64_t>((uint64_t{u.dwHighDateTime} << 32) | u.dwLowDateTime));
    }
  }
  int64_t out = 0;
  EXPECT_FALSE(zone.ToLocal(-1, out));
  EXPECT_FALSE(zone.ToUtc(-5, out));
}
