// The Win32 file operations on real files under the temporary folder:
// renames never replace, Wine's case-only MoveFile changes nothing (and
// the verified rename does it anyway), exact names, copies that never
// overwrite, report files replaced or appended, long paths, error mapping.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/SafeRename.h"
#include "engine/win32/TempFolder.h"
#include "engine/win32/WideText.h"
#include "engine/win32/Win32FileOps.h"

using namespace qv::engine;
using qv::engine::testing::TTempFolder;
using qv::engine::win32::TWin32FileOps;
using qv::engine::win32::W;

namespace {

bool WriteText(const std::u16string& path, const std::string& text) {
  HANDLE h = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD n = 0;
  const bool ok = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &n, nullptr) && n == text.size();
  CloseHandle(h);
  return ok;
}

std::string ReadText(const std::u16string& path) {
  HANDLE h = CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<absent>";
  std::string s(1 << 16, '\0');
  DWORD n = 0;
  ReadFile(h, s.data(), static_cast<DWORD>(s.size()), &n, nullptr);
  CloseHandle(h);
  s.resize(n);
  return s;
}

}  // namespace

TEST(Win32FileOps, RenameNeverReplaces) {
  TTempFolder dir;
  TWin32FileOps fs;
  ASSERT_TRUE(WriteText(dir / u"a.txt", "A"));
  ASSERT_TRUE(WriteText(dir / u"B.TXT", "B"));
  const TFileResult r = fs.Rename(dir / u"a.txt", dir / u"b.txt");
  EXPECT_EQ(r.Error, TFileError::Exists);
  EXPECT_EQ(ReadText(dir / u"a.txt"), "A");
  EXPECT_EQ(ReadText(dir / u"B.TXT"), "B");
  EXPECT_EQ(fs.Rename(dir / u"absent.txt", dir / u"x.txt").Error, TFileError::NotFound);
  EXPECT_TRUE(fs.Rename(dir / u"a.txt", dir / u"c.txt").ok());
  EXPECT_EQ(ReadText(dir / u"c.txt"), "A");
  EXPECT_EQ(fs.ExactName(dir / u"C.TXT"), u"c.txt");
  EXPECT_FALSE(fs.ExactName(dir / u"a.txt"));
  EXPECT_FALSE(fs.ExactName(dir / u"*.txt"));
  EXPECT_TRUE(fs.Exists(dir / u"b.txt"));
  EXPECT_FALSE(fs.FolderExists(dir / u"b.txt"));
  EXPECT_TRUE(fs.FolderExists(dir.path()));
}

TEST(Win32FileOps, CaseOnlyRename) {
  TTempFolder dir;
  TWin32FileOps fs;
  ASSERT_TRUE(WriteText(dir / u"photo.jpg", "P"));
  // Whatever the bare call does (Wine: says yes, changes nothing), the
  // verified rename leaves the file under the new letter case.
  fs.Rename(dir / u"photo.jpg", dir / u"Photo.JPG");
  const TRenameOutcome r = RenameVerified(fs, dir.path(), *fs.ExactName(dir / u"photo.jpg"), u"PHOTO.Jpg");
  EXPECT_TRUE(r.ok()) << static_cast<int>(r.Result.Error);
  EXPECT_EQ(fs.ExactName(dir / u"photo.jpg"), u"PHOTO.Jpg");
  EXPECT_EQ(ReadText(dir / u"PHOTO.Jpg"), "P");
  int entries = 0;
  fs.ListFolder(dir.path(), [&](const std::u16string&, bool) { ++entries; });
  EXPECT_EQ(entries, 1);  // no temporary name left behind
}

TEST(Win32FileOps, CopyNeverOverwrites) {
  TTempFolder dir;
  TWin32FileOps fs;
  ASSERT_TRUE(WriteText(dir / u"a.txt", "new"));
  ASSERT_TRUE(fs.CreateFolder(dir / u"Backup").ok());
  EXPECT_EQ(fs.CreateFolder(dir / u"Backup").Error, TFileError::Exists);
  EXPECT_TRUE(fs.CopyNoOverwrite(dir / u"a.txt", dir / u"Backup\\a.txt").ok());
  ASSERT_TRUE(WriteText(dir / u"a.txt", "newer"));
  EXPECT_EQ(fs.CopyNoOverwrite(dir / u"a.txt", dir / u"Backup\\a.txt").Error, TFileError::Exists);
  EXPECT_EQ(ReadText(dir / u"Backup\\a.txt"), "new");
  EXPECT_FALSE(fs.CopyNoOverwrite(dir / u"a.txt", dir / u"nowhere\\a.txt").ok());
  std::vector<std::pair<std::u16string, bool>> seen;
  EXPECT_TRUE(fs.ListFolder(dir.path(), [&](const std::u16string& n, bool folder) { seen.push_back({n, folder}); }));
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, (std::vector<std::pair<std::u16string, bool>>{{u"Backup", true}, {u"a.txt", false}}));
  EXPECT_FALSE(fs.ListFolder(dir / u"absent", [](const std::u16string&, bool) {}));
}

TEST(Win32FileOps, OutputFilesReplaceOrAppend) {
  TTempFolder dir;
  TWin32FileOps fs;
  TFileResult e;
  EXPECT_FALSE(fs.OpenForWriting(dir / u"r.txt", TOpenMode::Append, e));
  EXPECT_EQ(e.Error, TFileError::NotFound);
  {
    auto f = fs.OpenForWriting(dir / u"r.txt", TOpenMode::Replace, e);
    ASSERT_TRUE(f);
    EXPECT_TRUE(f->Write("one\r\n", 5).ok());
    EXPECT_TRUE(f->Close().ok());
  }
  {
    auto f = fs.OpenForWriting(dir / u"r.txt", TOpenMode::Append, e);
    ASSERT_TRUE(f);
    // What a write put there can be taken back, in an appended file too.
    EXPECT_TRUE(f->Write("tw[~qv0.tmp]", 12).ok());
    EXPECT_EQ(ReadText(dir / u"r.txt"), "one\r\ntw[~qv0.tmp]");
    EXPECT_TRUE(f->CutBack(10).ok());
    EXPECT_TRUE(f->Write("o\r\n", 3).ok());
    // An editor (which shares writing) may look at the report while it is
    // written.
    EXPECT_EQ(ReadText(dir / u"r.txt"), "one\r\ntwo\r\n");
  }
  EXPECT_EQ(ReadText(dir / u"r.txt"), "one\r\ntwo\r\n");
  auto f = fs.OpenForWriting(dir / u"r.txt", TOpenMode::Replace, e);
  f.reset();
  EXPECT_EQ(ReadText(dir / u"r.txt"), "");
  EXPECT_FALSE(fs.OpenForWriting(dir / u"no\\r.txt", TOpenMode::Replace, e));
  EXPECT_EQ(e.Error, TFileError::PathNotFound);
}

TEST(Win32FileOps, LongPathsAndErrors) {
  TTempFolder dir;
  TWin32FileOps fs;
  std::u16string deep = dir.path();
  for (int i = 0; i < 5; ++i) {
    deep += u"\\" + std::u16string(60, static_cast<char16_t>(u'a' + i));
    ASSERT_TRUE(fs.CreateFolder(deep).ok());
  }
  ASSERT_GT(deep.size(), 300u);
  TFileResult e;
  auto f = fs.OpenForWriting(deep + u"\\r.txt", TOpenMode::Replace, e);
  ASSERT_TRUE(f);
  f.reset();
  EXPECT_TRUE(fs.Rename(deep + u"\\r.txt", deep + u"\\s.txt").ok());
  EXPECT_TRUE(fs.Exists(deep + u"\\s.txt"));
  EXPECT_EQ(win32::LongPath(u"C:\\a"), u"C:\\a");
  EXPECT_EQ(win32::LongPath(u"C:\\" + std::u16string(300, u'x')).substr(0, 7), u"\\\\?\\C:\\");
  EXPECT_EQ(win32::FileResultFromError(ERROR_SHARING_VIOLATION).Error, TFileError::InUse);
  EXPECT_EQ(win32::FileResultFromError(ERROR_ALREADY_EXISTS).Error, TFileError::Exists);
  EXPECT_EQ(win32::FileResultFromError(1234).Error, TFileError::Other);
  EXPECT_EQ(win32::FileResultFromError(1234).SystemCode, 1234u);
  EXPECT_EQ(FileErrorText(win32::FileResultFromError(1234)), "erreur syst\xE8me 1234");
  // The temporary folder's cleanup would need \\?\ for these.
  std::u16string p = deep;
  DeleteFileW(W(win32::LongPath(deep + u"\\s.txt")));
  for (int i = 0; i < 5; ++i) {
    RemoveDirectoryW(W(win32::LongPath(p)));
    p.resize(p.rfind(u'\\'));
  }
}
