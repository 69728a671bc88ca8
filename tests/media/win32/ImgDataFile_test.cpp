// The photo reader's path entries under Windows: files named by UTF-16
// names that no 8-bit code page holds, 8-bit cp1252 names, and files that
// stay writable while they are read.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "media/ImgData.h"
#include "media/IptcData.h"
#include "media/win32/ImgDataFile.h"
#include "media/win32/Win32Temp.h"

using namespace qv::media;
using qv::media::test::TempFolder;

namespace {

std::string DataBytes(const char* name) {
  std::ifstream in(std::string(QV_MEDIA_TEST_DATA) + "/photo/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(ImgDataFile, NamesOutsideTheCodePageAreReadThroughTheWideEntries) {
  TempFolder dir;
  const std::string bytes = DataBytes("iptc.jpg");
  ASSERT_FALSE(bytes.empty());
  const std::wstring name = dir.file(L"\u041C\u043E\u0441\u043A\u0432\u0430 \u6771\u4EAC.JPG");
  ASSERT_TRUE(TempFolder::write(name, bytes));

  TimgData reader;
  ASSERT_TRUE(LoadImageMetadata(reader, name));
  ASSERT_NE(reader.IptcInfo(), nullptr);
  EXPECT_TRUE(ReadIptcFile(*reader.IptcInfo(), name));
  EXPECT_EQ(reader.IptcInfo()->IptcTagValue("City", ""), "Paris");
  TIPTCdata mine(&reader);
  EXPECT_TRUE(ReadIptcFile(mine, name));
  EXPECT_EQ(mine.IptcTagValue("ObjectName", ""), "Tour");

  // The file is never locked against writers while it is read.
  HANDLE writer = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(LoadImageMetadata(reader, name));
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);

  // Missing files, folders and other kinds read nothing.
  EXPECT_FALSE(LoadImageMetadata(reader, dir.file(L"\u0416.jpg")));
  EXPECT_EQ(reader.IptcInfo(), nullptr);
  const std::wstring text = dir.file(L"\u0416.txt");
  ASSERT_TRUE(TempFolder::write(text, bytes));
  EXPECT_FALSE(LoadImageMetadata(reader, text));
  EXPECT_EQ(reader.StatusText, "Not an EXIF file");
}

TEST(ImgDataFile, EightBitPathsAreCp1252Names) {
  TempFolder dir;
  const std::wstring name = dir.file(L"\u00E9t\u00E9 \u0153uvre \u20AC.jpg");
  ASSERT_TRUE(TempFolder::write(name, DataBytes("iptc.jpg")));
  char ansi[MAX_PATH * 2] = {};
  // The folder's own name is ASCII: the 8-bit form is exact.
  const std::wstring folder = name.substr(0, name.rfind(L'\\') + 1);
  for (size_t i = 0; i < folder.size(); ++i) ansi[i] = static_cast<char>(folder[i]);
  const std::string path = std::string(ansi) + "\xE9t\xE9 \x9Cuvre \x80.jpg";
  TimgData reader;
  reader.Paths = &kCp1252Paths;
  ASSERT_TRUE(reader.LoadImageMetadata(path));
  TIPTCdata mine(&reader);
  EXPECT_TRUE(mine.ReadIptcFile(path));
  EXPECT_EQ(mine.IptcTagValue("City", ""), "Paris");
}
