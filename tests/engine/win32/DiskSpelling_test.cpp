// Folder spellings on disk: a path named in another letter case is put in
// the disk's spelling up to its last component, which is never changed;
// missing, relative and wildcard paths stay as given; a new scan forgets.
#include "engine/win32/DiskSpelling.h"

#include <gtest/gtest.h>

#include "engine/win32/TempFolder.h"
#include "engine/win32/WideText.h"
#include "engine/win32/Win32FileOps.h"

using namespace qv::engine;
using namespace qv::engine::win32;
using qv::engine::testing::TTempFolder;

namespace {

// The path in lower case after its drive ("C:\\"), whose letter is kept as
// given: the system ignores its case everywhere.
std::u16string Lower(std::u16string s) {
  if (s.size() > 3) CharLowerBuffW(reinterpret_cast<wchar_t*>(s.data() + 3), static_cast<DWORD>(s.size() - 3));
  return s;
}

}  // namespace

TEST(DiskSpelling, FolderPartTakesTheDiskSpellingAndTheNameStays) {
  TTempFolder tmp;
  ASSERT_TRUE(CreateDirectoryW(W(tmp / u"Photos De Vacances"), nullptr));
  ASSERT_TRUE(CreateDirectoryW(W(tmp / u"Photos De Vacances\\\u00C9t\u00E9 2024"), nullptr));
  const std::u16string disk = tmp / u"Photos De Vacances\\\u00C9t\u00E9 2024";
  ForgetDiskSpellings();
  // The temporary folder's own spelling is the disk's: it comes from the system.
  EXPECT_EQ(DiskFolder(Lower(disk)), disk);
  EXPECT_EQ(DiskFolder(Lower(disk) + u"\\"), disk + u"\\");
  // The file name may be a new name: its case is the user's.
  EXPECT_EQ(DiskPath(Lower(disk) + u"\\NOUVEAU Nom.JPG"), disk + u"\\NOUVEAU Nom.JPG");
  EXPECT_EQ(DiskPath(Lower(disk) + u"\\Backup\\A.jpg"), disk + u"\\Backup\\A.jpg");
  // Remembered: a folder renamed behind our back keeps its old spelling
  // until the next scan forgets it.
  // Through another name: Wine does not rename to the same name in other case.
  ASSERT_TRUE(MoveFileW(W(tmp / u"Photos De Vacances"), W(tmp / u"tmp")));
  ASSERT_TRUE(MoveFileW(W(tmp / u"tmp"), W(tmp / u"photos de VACANCES")));
  EXPECT_EQ(DiskPath(Lower(disk) + u"\\a.jpg"), disk + u"\\a.jpg");
  ForgetDiskSpellings();
  EXPECT_EQ(DiskPath(Lower(disk) + u"\\a.jpg"), tmp / u"photos de VACANCES\\\u00C9t\u00E9 2024\\a.jpg");
}

TEST(DiskSpelling, PathsThatCannotBeResolvedStayAsGiven) {
  TTempFolder tmp;
  ForgetDiskSpellings();
  const std::u16string missing = Lower(tmp.path()) + u"\\absent\\SOUS\\f.txt";
  EXPECT_EQ(DiskPath(missing), tmp.path() + u"\\absent\\SOUS\\f.txt");
  for (const std::u16string p : {u"relatif\\f.txt", u"f.txt", u"", u"\\f.txt", u"c:f.txt", u"\\\\serveur"})
    EXPECT_EQ(DiskPath(p), p);
  EXPECT_EQ(DiskPath(Lower(tmp.path()) + u"\\*\\f.txt"), tmp.path() + u"\\*\\f.txt");
  EXPECT_EQ(DiskPath(Lower(tmp.path()) + u"\\\\f.txt"), tmp.path() + u"\\\\f.txt");
  EXPECT_EQ(DiskFolder(u"c:\\"), u"c:\\");
  EXPECT_EQ(DiskPath(u"c:\\f.txt"), u"c:\\f.txt");
}

TEST(DiskSpelling, FileCallsReachTheFileUnderAnotherSpelling) {
  TTempFolder tmp;
  ASSERT_TRUE(CreateDirectoryW(W(tmp / u"Dossier"), nullptr));
  ASSERT_TRUE(tmp.MakeFile(u"Dossier\\Fichier.txt", 5));
  ForgetDiskSpellings();
  const std::u16string lowered = Lower(tmp.path()) + u"\\dossier";
  TWin32FileOps fs;
  EXPECT_TRUE(fs.FolderExists(lowered));
  EXPECT_TRUE(fs.Exists(lowered + u"\\Fichier.txt"));
  std::vector<std::u16string> names;
  EXPECT_TRUE(fs.ListFolder(lowered, [&](const std::u16string& n, bool) { names.push_back(n); }));
  EXPECT_EQ(names, std::vector<std::u16string>{u"Fichier.txt"});
  ASSERT_TRUE(fs.Rename(lowered + u"\\Fichier.txt", lowered + u"\\Nouveau.TXT").ok());
  EXPECT_EQ(fs.ExactName(tmp / u"Dossier\\nouveau.txt"), std::u16string(u"Nouveau.TXT"));
}

// A folder named by its 8.3 name stays so, and the components below it still
// take the disk's spelling.
TEST(DiskSpelling, ShortNameComponentIsKeptAndTheRestRespelled) {
  TTempFolder tmp;
  ASSERT_TRUE(CreateDirectoryW(W(tmp / u"Un Nom Bien Trop Long"), nullptr));
  ASSERT_TRUE(CreateDirectoryW(W(tmp / u"Un Nom Bien Trop Long\\Sous"), nullptr));
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(W(tmp / u"Un Nom Bien Trop Long"), &fd);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  FindClose(h);
  const std::u16string shortName = U16(fd.cAlternateFileName);
  if (shortName.empty()) GTEST_SKIP() << "no 8.3 names on this file system";
  ForgetDiskSpellings();
  const std::u16string viaShort = Lower(tmp.path()) + u"\\" + shortName + u"\\sous";
  EXPECT_EQ(DiskFolder(viaShort), tmp.path() + u"\\" + shortName + u"\\Sous");
  EXPECT_EQ(DiskPath(viaShort + u"\\f.txt"), tmp.path() + u"\\" + shortName + u"\\Sous\\f.txt");
}
