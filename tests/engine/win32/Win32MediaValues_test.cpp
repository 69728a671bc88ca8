// The value tags on real files of a scanned folder, through the wide API:
// files whose names cp1252 cannot hold are read by their exact names, a
// file rewritten on disk is read again, a file that cannot be opened gives
// nothing. The files are copies of tests/engine/data.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>

#include "engine/MediaScriptValues.h"
#include "engine/ScriptInterpreter.h"
#include "engine/win32/TempFolder.h"
#include "engine/win32/Win32FolderReader.h"
#include "engine/win32/Win32MediaFiles.h"

namespace qv::engine {
namespace {

using testing::TTempFolder;
using win32::U16;
using win32::W;

std::u16string DataFile(const char* name) {
  return U16(std::string(QV_ENGINE_TEST_DATA) + "/" + name);
}

class Win32MediaValues : public ::testing::Test {
protected:
  void Copy(const char* from, const std::u16string& to) {
    ASSERT_TRUE(CopyFileW(W(DataFile(from)), W(folder / to), FALSE)) << from;
  }
  void Scan() {
    listing.SetFolderReader(&reader);
    listing.ScanFolderWide(folder.path(), "*.*", kScanAttributes);
    options.Directory = listing.FolderPath;
  }
  // Expands model for the listed file of that exact name.
  std::string Expand(std::string_view model, const std::u16string& wide) {
    for (size_t i = 0; i < listing.Count(); ++i) {
      const TFileObject& f = listing.Item(i);
      if (f.WideName != wide) continue;
      const size_t dot = f.FileName.rfind('.');
      return interpreter.ExpandScript(i, model, f.FileName, f.FileName.substr(0, dot));
    }
    ADD_FAILURE() << "not listed";
    return {};
  }

  TTempFolder folder;
  win32::TWin32FolderReader reader;
  TProgramOptions options;
  TFileListing listing;
  win32::TWin32MediaFiles files;
  TMediaScriptValues values{options, listing, files};
  TScriptInterpreter interpreter{options, listing, &values};
};

TEST_F(Win32MediaValues, NamesOutsideTheCodePageAreReadByTheirExactName) {
  // Both names are "?a.jpg" in cp1252; each must give its own file.
  Copy("Holiday 2006.jpg", u"\u03A9a.jpg");
  Copy("comment.jpg", u"\u03A8a.jpg");
  Copy("song.mp3", u"\u65E5\u672C.mp3");
  Copy("Holiday 2006.jpg", u"\u00C9t\u00E9.jpg");
  Scan();
  ASSERT_EQ(listing.Count(), 4u);
  EXPECT_EQ(Expand("<$E_Model><G0>", u"\u03A9a.jpg"), "Exemplar Z5");
  EXPECT_EQ(Expand("[<$E_Model>]<G0>", u"\u03A8a.jpg"), "[]");
  EXPECT_EQ(Expand("<$M_ARTIST> - <$M_TITLE><G0>", u"\u65E5\u672C.mp3"), "No\xEBl Artiste - Chanson d'\xE9t\xE9");
  EXPECT_EQ(Expand("<$E_DateTimeOriginal[10]><G0>", u"\u00C9t\u00E9.jpg"), "2006-07-14");
  EXPECT_EQ(Expand("<$U=\xE9>", u"\u00C9t\u00E9.jpg"), "\xC9t\xC9");
}

TEST_F(Win32MediaValues, DateTagOnlyWhileTheExactFileExists) {
  Copy("song.mp3", u"\u03A9.mp3");
  Scan();
  ASSERT_EQ(listing.Count(), 1u);
  EXPECT_NE(Expand("[<$D_CREATE>]<G0>", u"\u03A9.mp3"), "[]");
  ASSERT_TRUE(DeleteFileW(W(folder / u"\u03A9.mp3")));
  EXPECT_EQ(Expand("[<$D_CREATE>]<G0>", u"\u03A9.mp3"), "[]");
  EXPECT_EQ(Expand("[<$M_TITLE>]<G0>", u"\u03A9.mp3"), "[]");
}

TEST_F(Win32MediaValues, RepaintsReadNothingAndRewrittenFilesAreReadAgain) {
  Copy("song.mp3", u"\u03A9.mp3");
  Copy("Holiday 2006.jpg", u"p.jpg");
  Scan();
  for (int pass = 0; pass < 3; ++pass) {
    EXPECT_EQ(Expand("<$M_ARTIST><G0>", u"\u03A9.mp3"), "No\xEBl Artiste");
    EXPECT_EQ(Expand("<$E_DateTimeOriginal>_<$E_Model><G0>", u"p.jpg"), "2006-07-14 09-08-07_Exemplar Z5");
  }
  EXPECT_EQ(values.Stats().AudioReads, 1u);
  EXPECT_EQ(values.Stats().PhotoReads, 1u);

  Copy("song24.mp3", u"\u03A9.mp3");
  EXPECT_EQ(Expand("<$M_ARTIST><G0>", u"\u03A9.mp3"), "Z\xE9ro");
  EXPECT_EQ(values.Stats().AudioReads, 2u);

  // Same size, another last-write time: read again.
  Copy("song24.mp3", u"\u03A9.mp3");
  HANDLE h = CreateFileW(W(folder / u"\u03A9.mp3"), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  FILETIME t{};
  t.dwHighDateTime = 0x01C00000;
  ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &t));
  CloseHandle(h);
  EXPECT_EQ(Expand("<$M_ARTIST><G0>", u"\u03A9.mp3"), "Z\xE9ro");
  EXPECT_EQ(values.Stats().AudioReads, 3u);

  values.ClearCache();
  EXPECT_EQ(Expand("<$E_Model><G0>", u"p.jpg"), "Exemplar Z5");
  EXPECT_EQ(values.Stats().PhotoReads, 2u);
}

TEST_F(Win32MediaValues, FileThatCannotBeOpenedGivesNothing) {
  Copy("Holiday 2006.jpg", u"p.jpg");
  Copy("song.mp3", u"s.mp3");
  Scan();
  HANDLE p = CreateFileW(W(folder / u"p.jpg"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  HANDLE s = CreateFileW(W(folder / u"s.mp3"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(p, INVALID_HANDLE_VALUE);
  ASSERT_NE(s, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Expand("[<$E_Model>]<G0>", u"p.jpg"), "[]");
  EXPECT_EQ(Expand("[<$M_TITLE>]<G0>", u"s.mp3"), "[]");
  CloseHandle(p);
  CloseHandle(s);
  // Once it can be opened, a cleared cache reads it.
  values.ClearCache();
  EXPECT_EQ(Expand("<$E_Model><G0>", u"p.jpg"), "Exemplar Z5");
}

TEST_F(Win32MediaValues, StampsOfFilesAndFolders) {
  Copy("song.mp3", u"s.mp3");
  CreateDirectoryW(W(folder / u"sub.mp3"), nullptr);
  const auto stamp = files.Stamp(folder / u"s.mp3");
  ASSERT_TRUE(stamp);
  EXPECT_EQ(stamp->Size, 2424);
  EXPECT_FALSE(files.Stamp(folder / u"sub.mp3"));
  EXPECT_FALSE(files.Stamp(folder / u"none.mp3"));
  EXPECT_EQ(files.Open(folder / u"none.mp3"), nullptr);
  EXPECT_NE(files.Open(folder / u"s.mp3"), nullptr);
}

// Values that lie beyond the first block read: a photo whose EXIF section
// follows 100 KB of other sections, an MP3 whose title follows a 100 KB
// picture; each read once.
TEST_F(Win32MediaValues, ValuesBeyondTheHeadBlock) {
  const std::u16string source = DataFile("Holiday 2006.jpg");
  HANDLE h = CreateFileW(W(source), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  std::string photo(4096, '\0');
  DWORD got = 0;
  ReadFile(h, photo.data(), static_cast<DWORD>(photo.size()), &got, nullptr);
  CloseHandle(h);
  photo.resize(got);
  std::string distant = photo.substr(0, 2);
  for (const size_t n : {65000u, 40000u}) {
    distant += "\xFF\xE2";
    distant += static_cast<char>((n + 2) >> 8);
    distant += static_cast<char>((n + 2) & 0xFF);
    distant += std::string(n, '\0');
  }
  distant += photo.substr(2);

  const auto frame = [](const char* id, const std::string& data) {
    const uint32_t n = static_cast<uint32_t>(data.size());
    std::string f(id, 4);
    for (int shift : {24, 16, 8, 0}) f += static_cast<char>((n >> shift) & 0xFF);
    return f + std::string(2, '\0') + data;
  };
  const std::string body = frame("APIC", std::string("\0image/jpeg\0\x03\0", 14) + std::string(100000, '\xAB')) +
                           frame("TIT2", std::string("\0Titre loin", 11));
  std::string song = "ID3\x03";
  song += std::string(2, '\0');
  const uint32_t n = static_cast<uint32_t>(body.size());
  for (int shift : {21, 14, 7, 0}) song += static_cast<char>((n >> shift) & 0x7F);
  song += body + std::string(4000, '\xFF');

  const std::pair<const char16_t*, const std::string&> made[] = {{u"loin.jpg", distant}, {u"loin.mp3", song}};
  for (const auto& [name, bytes] : made) {
    HANDLE w = CreateFileW(W(folder / name), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(w, INVALID_HANDLE_VALUE);
    DWORD put = 0;
    WriteFile(w, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(w);
  }
  Scan();
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(Expand("<$E_Model><G0>", u"loin.jpg"), "Exemplar Z5");
    EXPECT_EQ(Expand("<$M_TITLE><G0>", u"loin.mp3"), "Titre loin");
  }
  EXPECT_EQ(values.Stats().PhotoReads, 1u);
  EXPECT_EQ(values.Stats().AudioReads, 1u);
}

// The stamp that comes with an open file is the one a lookup by path gives,
// or a repaint would read every file again: for a file shorter than the
// head block, an empty one and one longer than it.
TEST_F(Win32MediaValues, StampOfTheOpenFileIsTheStampByPath) {
  Copy("song.mp3", u"s.mp3");
  HANDLE h = CreateFileW(W(folder / u"vide.mp3"), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  h = CreateFileW(W(folder / u"long.jpg"), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  const std::string block(100000, 'x');
  DWORD put = 0;
  WriteFile(h, block.data(), static_cast<DWORD>(block.size()), &put, nullptr);
  CloseHandle(h);
  CreateDirectoryW(W(folder / u"sub.mp3"), nullptr);
  for (const char16_t* name : {u"s.mp3", u"vide.mp3", u"long.jpg"}) {
    TFileStamp stamp;
    const auto source = files.OpenStamped(folder / name, stamp);
    ASSERT_NE(source, nullptr);
    const auto byPath = files.Stamp(folder / name);
    ASSERT_TRUE(byPath);
    EXPECT_EQ(stamp, *byPath);
    EXPECT_EQ(source->size(), static_cast<uint64_t>(byPath->Size));
  }
  TFileStamp untouched{7, 7};
  EXPECT_EQ(files.OpenStamped(folder / u"sub.mp3", untouched), nullptr);
  EXPECT_EQ(files.OpenStamped(folder / u"none.mp3", untouched), nullptr);
  EXPECT_EQ(untouched, (TFileStamp{7, 7}));
}

}  // namespace
}  // namespace qv::engine
