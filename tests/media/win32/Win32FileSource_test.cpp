#include "media/win32/Win32FileSource.h"

#include <gtest/gtest.h>

#include "media/ID3v2.h"
#include "media/Id3Bytes.h"
#include "media/win32/ID3v2File.h"
#include "media/win32/Win32Temp.h"

using namespace qv::media;
using qv::media::test::TempFolder;
namespace id3 = qv::media::test;

TEST(Win32FileSource, ReadsByUtf16NameAndStaysInBounds) {
  TempFolder dir;
  const std::wstring name = dir.file(L"\u0410\u0411 \u00E9.bin");
  ASSERT_TRUE(TempFolder::write(name, "0123456789"));
  TWin32FileSource src(name);
  ASSERT_TRUE(src.isOpen());
  EXPECT_EQ(src.size(), 10u);
  char b[4] = {};
  EXPECT_TRUE(src.read(6, b, 4));
  EXPECT_EQ(std::string(b, 4), "6789");
  EXPECT_FALSE(src.read(7, b, 4));
  TWin32FileSource missing(dir.file(L"absent"));
  EXPECT_FALSE(missing.isOpen());
  EXPECT_EQ(missing.openError(), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
}

TEST(Win32FileSource, OpenFileCanStillBeRenamedAndWritten) {
  TempFolder dir;
  const std::wstring name = dir.file(L"a.mp3");
  ASSERT_TRUE(TempFolder::write(name, "abc"));
  TWin32FileSource src(name);
  ASSERT_TRUE(src.isOpen());
  HANDLE writer = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(writer, INVALID_HANDLE_VALUE);
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  EXPECT_TRUE(MoveFileW(name.c_str(), dir.file(L"b.mp3").c_str())) << GetLastError();
}

TEST(Win32FileSource, PositionsPastFourGigabytes) {
  TempFolder dir;
  const std::wstring name = dir.file(L"gros.mp3");
  const uint64_t past4G = (uint64_t(5) << 30) + 7;
  {
    HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const std::string head = id3::tag(4, id3::frame(4, "TIT2", id3::text(0, "Gros")));
    DWORD put = 0;
    WriteFile(h, head.data(), static_cast<DWORD>(head.size()), &put, nullptr);
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(past4G);
    SetFilePointerEx(h, at, nullptr, FILE_BEGIN);
    WriteFile(h, "END", 3, &put, nullptr);
    CloseHandle(h);
  }
  TWin32FileSource src(name);
  ASSERT_TRUE(src.isOpen());
  EXPECT_EQ(src.size(), past4G + 3);
  char b[3] = {};
  ASSERT_TRUE(src.read(past4G, b, 3));
  EXPECT_EQ(std::string(b, 3), "END");
  TID3v2 tag;
  ASSERT_TRUE(LoadId3v2Tag(tag, name));
  EXPECT_EQ(tag.Info.FileLength, past4G + 3);
  EXPECT_EQ(tag.Title, "Gros");
}

TEST(Win32FileSource, TagReadByWidePath) {
  TempFolder dir;
  const std::wstring name = dir.file(L"\u65E5\u672C.mp3");
  ASSERT_TRUE(TempFolder::write(name, id3::tag(3, id3::frame(3, "TPE1", id3::text(0, "Artiste")))));
  TID3v2 tag;
  ASSERT_TRUE(LoadId3v2Tag(tag, name));
  EXPECT_EQ(tag.Artist, "Artiste");
  EXPECT_FALSE(LoadId3v2Tag(tag, dir.file(L"absent.mp3")));
  EXPECT_EQ(tag.Artist, "");
}

// Small reads come from one block read of the file's head; reads beyond it,
// across its end or larger than a block give the same bytes as the file.
TEST(Win32FileSource, BlockReadsGiveTheFileBytes) {
  TempFolder dir;
  const std::wstring name = dir.file(L"blocs.bin");
  const size_t block = TWin32FileSource::kBlockSize;
  std::string bytes(3 * block + 123, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  ASSERT_TRUE(TempFolder::write(name, bytes));
  TWin32FileSource src(name);
  ASSERT_TRUE(src.isOpen());
  EXPECT_EQ(src.systemReads(), 0u);
  struct Case {
    uint64_t at;
    size_t n;
  };
  const Case cases[] = {{0, 2}, {2, 18}, {block - 4, 4}, {100, 1000}, {block - 3, 10}, {block + 5, 4},
                        {bytes.size() - 128, 128}, {block - 3, 10}, {10, 2 * block + 50}, {bytes.size() - 1, 1}};
  for (const Case& c : cases) {
    std::string got(c.n, '\0');
    ASSERT_TRUE(src.read(c.at, got.data(), c.n)) << c.at;
    EXPECT_EQ(got, bytes.substr(c.at, c.n)) << c.at << "+" << c.n;
  }
  char b[4];
  EXPECT_FALSE(src.read(bytes.size() - 3, b, 4));
  EXPECT_FALSE(src.read(uint64_t(-2), b, 4));
  // Head once; a block at each of block - 3, block + 5, the end, block - 3
  // again; one direct read of the large span; nothing for the last byte,
  // which the end block holds.
  EXPECT_EQ(src.systemReads(), 6u);
}

// A file shorter than the head block takes its size from the head read; a
// longer one asks the system. Either way one read serves what lies in the head.
TEST(Win32FileSource, SizeComesWithTheHeadRead) {
  TempFolder dir;
  const std::wstring shortName = dir.file(L"court.bin");
  ASSERT_TRUE(TempFolder::write(shortName, "0123456789"));
  TWin32FileSource shortFile(shortName);
  EXPECT_EQ(shortFile.systemReads(), 0u);
  EXPECT_EQ(shortFile.size(), 10u);
  EXPECT_EQ(shortFile.systemReads(), 1u);
  char b[4] = {};
  EXPECT_TRUE(shortFile.read(6, b, 4));
  EXPECT_EQ(std::string(b, 4), "6789");
  EXPECT_EQ(shortFile.systemReads(), 1u);

  const std::wstring emptyName = dir.file(L"vide.bin");
  ASSERT_TRUE(TempFolder::write(emptyName, ""));
  TWin32FileSource empty(emptyName);
  ASSERT_TRUE(empty.isOpen());
  EXPECT_EQ(empty.size(), 0u);
  EXPECT_FALSE(empty.read(0, b, 1));

  for (const size_t n : {TWin32FileSource::kBlockSize, TWin32FileSource::kBlockSize + 1}) {
    const std::wstring name = dir.file(L"bloc" + std::to_wstring(n) + L".bin");
    std::string bytes(n, 'a');
    bytes.back() = 'z';
    ASSERT_TRUE(TempFolder::write(name, bytes));
    TWin32FileSource src(name);
    EXPECT_EQ(src.size(), n);
    ASSERT_TRUE(src.read(n - 1, b, 1));
    EXPECT_EQ(b[0], 'z');
  }
}

TEST(Win32FileSource, TagInTheHeadTakesOneRead) {
  TempFolder dir;
  const std::wstring name = dir.file(L"t\u00EAte.mp3");
  std::string content = id3::tag(3, id3::frame(3, "TPE1", id3::text(0, "Artiste")) +
                                        id3::frame(3, "TIT2", id3::text(0, "Titre")));
  content += std::string(200000, 'x');
  ASSERT_TRUE(TempFolder::write(name, content));
  TWin32FileSource src(name);
  TID3v2 tag;
  ASSERT_TRUE(tag.LoadId3v2Tag(src));
  EXPECT_EQ(tag.Artist, "Artiste");
  EXPECT_EQ(tag.Title, "Titre");
  EXPECT_EQ(src.systemReads(), 1u);
}
