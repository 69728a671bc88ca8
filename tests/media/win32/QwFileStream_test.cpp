#include "media/win32/QwFileStream.h"

#include <gtest/gtest.h>

#include <cwchar>

#include "base/CodePage.h"
#include "media/win32/Win32Temp.h"

using namespace qv::media;
using qv::media::test::TempFolder;

namespace {
std::string ansi(const std::wstring& w) {
  return qv::base::Utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(w.data()), w.size()));
}
}  // namespace

TEST(QwFileStream, MissingFileRaisesOpenErrorWithFullPathAndReason) {
  TempFolder dir;
  const std::wstring name = dir.file(L"absent.mp3");
  try {
    TQwFileStream s(name, fmOpenRead | fmShareDenyWrite);
    FAIL() << "no exception";
  } catch (const EFOpenError& e) {
    const std::string prefix = "Impossible d'ouvrir le fichier \"" + ansi(WideFullPathName(name)) + "\". ";
    const std::string msg = e.what();
    ASSERT_EQ(msg.substr(0, prefix.size()), prefix);
    EXPECT_GT(msg.size(), prefix.size());  // the system's reason follows
  }
  try {
    TQwFileStream s(dir.file(L"no\\such\\folder.mp3"), fmCreate);
    FAIL() << "no exception";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Impossible de cr\xE9" "er le fichier \"", 0), 0u) << e.what();
  }
}

TEST(QwFileStream, NonAnsiNameCreateWriteSeekRead) {
  TempFolder dir;
  const std::wstring name = dir.file(L"\u65E5\u672C \u00E9t\u00E9 \u0100.mp3");
  {
    TQwFileStream out(name, fmCreate);
    EXPECT_EQ(out.Write("ID3\x04 tag", 8), 8u);
    EXPECT_EQ(out.Size(), 8);
  }
  TQwFileStream in(name, fmOpenRead | fmShareDenyWrite);
  char buf[8] = {};
  EXPECT_EQ(in.Seek(4, SeekOrigin::Begin), 4);
  EXPECT_EQ(in.Read(buf, 8), 4u);  // only 4 bytes are left
  EXPECT_EQ(std::string(buf, 4), " tag");
  EXPECT_EQ(in.Position(), 8);
  EXPECT_EQ(in.Seek(-8, SeekOrigin::End), 0);
}

TEST(QwFileStream, ModeDenyWriteLetsOthersReadButNotWrite) {
  TempFolder dir;
  const std::wstring name = dir.file(L"partage.mp3");
  ASSERT_TRUE(TempFolder::write(name, "data"));
  TQwFileStream s(name, fmOpenRead | fmShareDenyWrite);
  HANDLE reader = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE);
  if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
  HANDLE writer = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  EXPECT_THROW(TQwFileStream(name, fmOpenWrite | fmShareDenyNone), EFOpenError);
}

TEST(QwFileStream, SystemErrorTexts) {
  EXPECT_FALSE(WideSysErrorText(ERROR_FILE_NOT_FOUND).empty());
  EXPECT_EQ(WideSysErrorText(0x2FFFFFFFu), L"Unspecified error (805306367) from system.");
}

TEST(QwFileStream, WideStringCopyAndSearch) {
  wchar_t buf[8];
  std::wmemset(buf, L'#', 8);
  EXPECT_EQ(WideStrLCopy(buf, L"\u00E9t\u00E9 \u0416", 3), buf);
  EXPECT_EQ(std::wstring(buf), L"\u00E9t\u00E9");
  EXPECT_EQ(buf[4], L'#');  // nothing written past the end mark
  WideStrLCopy(buf, L"ab", 7);
  EXPECT_EQ(std::wstring(buf), L"ab");
  WideStrLCopy(buf, L"abc", 0);
  EXPECT_EQ(buf[0], L'\0');

  const wchar_t* text = L"C:\\\u0416\\x.mp3";
  EXPECT_EQ(WideStrScan(text, L'\u0416'), text + 3);
  EXPECT_EQ(WideStrScan(text, L'\\'), text + 2);
  EXPECT_EQ(WideStrScan(text, L'z'), nullptr);
  EXPECT_EQ(WideStrScan(text, L'\0'), text + 10);
  EXPECT_EQ(WideStrScan(L"", L'a'), nullptr);
}
