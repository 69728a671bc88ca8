// The Win32 system helpers on real files: file times (read-only files,
// the three modes, exact restore before 1980), the version test, messages
// through an installed handler, folders, scaling.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "engine/win32/SystemHelpers.h"
#include "engine/win32/Win32FolderReader.h"
#include "engine/win32/TempFolder.h"

using namespace qv::engine;
using qv::engine::testing::TTempFolder;
using qv::engine::win32::W;

namespace {
TCalendarTime Cal(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  TCalendarTime t;
  t.Year = y, t.Month = mo, t.Day = d, t.Hour = h, t.Minute = mi, t.Second = s;
  return t;
}
// Local calendar time of a UTC file time.
TCalendarTime LocalOf(int64_t utc) {
  int64_t local = 0;
  EXPECT_TRUE(win32::SystemTimeZone().ToLocal(utc, local));
  return *FileTimeToCalendar(local);
}
bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}
}  // namespace

TEST(SystemHelpers, SetFileDateTimeModes) {
  TTempFolder dir;
  const std::u16string f = dir / u"lecture seule.txt";
  ASSERT_TRUE(dir.MakeFile(u"lecture seule.txt", 1, FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetFileDateTime(f, Cal(2006, 12, 25, 14, 30, 0), 0));
  EXPECT_TRUE(GetFileAttributesW(W(f)) & FILE_ATTRIBUTE_READONLY);  // still read-only
  int64_t c, a, m;
  ASSERT_TRUE(GetRawFileTimes(f, c, a, m));
  EXPECT_EQ(c, m);
  EXPECT_EQ(a, m);
  EXPECT_EQ(LocalOf(m), Cal(2006, 12, 25, 14, 30, 0));
  // Date only: the file's time of day stays.
  ASSERT_TRUE(SetFileDateTime(f, Cal(2010, 1, 2, 3, 4, 5), 1));
  ASSERT_TRUE(GetRawFileTimes(f, c, a, m));
  EXPECT_EQ(LocalOf(m), Cal(2010, 1, 2, 14, 30, 0));
  // Time only: the file's date stays.
  ASSERT_TRUE(SetFileDateTime(f, Cal(1999, 9, 9, 8, 7, 6), 2));
  ASSERT_TRUE(GetRawFileTimes(f, c, a, m));
  EXPECT_EQ(LocalOf(m), Cal(2010, 1, 2, 8, 7, 6));
  EXPECT_FALSE(SetFileDateTime(dir / u"absent.txt", Cal(2006, 1, 1), 0));
  EXPECT_FALSE(SetFileDateTime(f, Cal(2006, 2, 30), 0));
  EXPECT_FALSE(SetFileDateTime(f, Cal(2006, 1, 1), 3));
  EXPECT_TRUE(GetFileAttributesW(W(f)) & FILE_ATTRIBUTE_READONLY);
}

TEST(SystemHelpers, RestoreTimes) {
  TTempFolder dir;
  const std::u16string f = dir / u"\u65e5\u672c.txt";  // a name cp1252 cannot hold
  ASSERT_TRUE(dir.MakeFile(u"\u65e5\u672c.txt", 1, FILE_ATTRIBUTE_READONLY));
  const int64_t created = *CalendarToFileTime(Cal(1965, 3, 4, 5, 6, 7)) + 1;  // 100 ns past the second
  const int64_t accessed = *CalendarToFileTime(Cal(2150, 1, 1)) + 99;     // past the DOS range
  const int64_t modified = *CalendarToFileTime(Cal(2020, 2, 29, 23, 59, 59)) + 9999999;
  ASSERT_TRUE(RestoreRawFileTimes(f, accessed, modified, created));
  int64_t c, a, m;
  ASSERT_TRUE(GetRawFileTimes(f, c, a, m));
  // Wine keeps no settable creation time on Linux file systems: it reports
  // the last write time there.
  if (!RunningUnderWine()) {
    EXPECT_EQ(c, created);
  }
  EXPECT_EQ(a, accessed);
  EXPECT_EQ(m, modified);
  EXPECT_TRUE(GetFileAttributesW(W(f)) & FILE_ATTRIBUTE_READONLY);
  // From local date-time values (millisecond precision).
  const double when = *EncodeDateTime(Cal(1975, 5, 6, 7, 8, 9));
  ASSERT_TRUE(RestoreFileTimes(f, when, when, when));
  ASSERT_TRUE(GetRawFileTimes(f, c, a, m));
  EXPECT_EQ(LocalOf(m), Cal(1975, 5, 6, 7, 8, 9));
  EXPECT_FALSE(RestoreFileTimes(f, 1e300, when, when));
  EXPECT_FALSE(RestoreRawFileTimes(dir / u"absent", 0, 0, 0));
}

TEST(SystemHelpers, FileVersion) {
  wchar_t self[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  const std::u16string exe = qv::engine::win32::U16(self);
  EXPECT_TRUE(FileVersionAtLeast(exe, 4, 70, 0, 0));  // exactly
  EXPECT_TRUE(FileVersionAtLeast(exe, 4, 69, 9999, 0));
  EXPECT_TRUE(FileVersionAtLeast(exe, 3, 99, 99, 99));
  EXPECT_FALSE(FileVersionAtLeast(exe, 4, 70, 0, 1));
  EXPECT_FALSE(FileVersionAtLeast(exe, 4, 71, 0, 0));
  EXPECT_FALSE(FileVersionAtLeast(exe, 5, 0, 0, 0));
  TTempFolder dir;
  ASSERT_TRUE(dir.MakeFile(u"plain.txt", 10));
  EXPECT_FALSE(FileVersionAtLeast(dir / u"plain.txt", 0, 0, 0, 0));
  EXPECT_FALSE(FileVersionAtLeast(dir / u"absent.dll", 0, 0, 0, 0));
  EXPECT_TRUE(FileVersionAtLeast(std::string("COMCTL32.DLL"), 4, 70, 0, 0));
}

TEST(SystemHelpers, MessagesGoThroughTheHandler) {
  std::string text;
  TMsgDlgType type = mtCustom;
  TMsgDlgButtons buttons = 0;
  int help = -1;
  SetMessageHandler([&](const std::string& t, TMsgDlgType ty, TMsgDlgButtons b, int h) {
    text = t, type = ty, buttons = b, help = h;
    return IDYES;
  });
  EXPECT_EQ(ShowMessageWithSound("Renommer ?", mtConfirmation, mbYesNo | mbHelp, 12), IDYES);
  EXPECT_EQ(text, "Renommer ?");
  EXPECT_EQ(type, mtConfirmation);
  EXPECT_EQ(buttons, mbYesNo | mbHelp);
  EXPECT_EQ(help, 12);
  SetMessageHandler(nullptr);
  EXPECT_STREQ(SystemSoundAlias(mtWarning), "SystemHand");
  EXPECT_STREQ(SystemSoundAlias(mtError), "SystemHand");
  EXPECT_STREQ(SystemSoundAlias(mtInformation), "SystemExclamation");
  EXPECT_STREQ(SystemSoundAlias(mtConfirmation), "SystemAsterisk");
  EXPECT_STREQ(SystemSoundAlias(mtCustom), "");
  EXPECT_FALSE(PlaySystemSound(mtCustom));
  PlaySystemSound(mtInformation);  // no sound device is no failure of ours
}

TEST(SystemHelpers, FoldersAndMeasures) {
  const std::string win = GetWindowsDir();
  ASSERT_FALSE(win.empty());
  EXPECT_NE(win.back(), '\\');
  EXPECT_FALSE(GetSpecialFolderPath(CSIDL_PERSONAL, false).empty());
  EXPECT_FALSE(UseWinHelp());
  EXPECT_EQ(ScaleForDpi(100, 96), 100);
  EXPECT_EQ(ScaleForDpi(100, 120), 123);  // 100 * 118 / 96 = 122.9
  EXPECT_EQ(ScaleForDpi(1, 50), 0);       // 0.5: half to even
  EXPECT_EQ(ScaleForDpi(3, 50), 2);       // 1.5
  EXPECT_GT(ScaleForDpi(100), 0);
  EXPECT_GT(TextWidthInPixels(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), "Quorvant"), 0);
  EXPECT_EQ(TextWidthInPixels(nullptr, ""), 0);
  const std::string n = FormatThousands(1234567);
  EXPECT_EQ(n.substr(0, 1), "1");
  EXPECT_EQ(n.substr(n.size() - 3), "567");
  EXPECT_EQ(FormatThousands(999), "999");
}

// The formats of a run are the locale's own, through the same "/" and ":".
TEST(SystemHelpers, TheLocalesDateAndTimeFormats) {
  const TDateTime when = *EncodeDateTime({2006, 12, 25, 14, 30, 5, 0, 0});
  const TFormatSettings fr = SystemFormatSettings(MAKELCID(MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), SORT_DEFAULT));
  EXPECT_EQ(DateTimeToStr(when, fr), "25/12/2006 14:30:05");
  const TFormatSettings us = SystemFormatSettings(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT));
  EXPECT_EQ(DateTimeToStr(when, us), "12/25/2006 2:30:05 PM");
  const TFormatSettings de = SystemFormatSettings(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT));
  EXPECT_EQ(DateToStr(when, de), "25/12/2006");
  // The test prefix runs in French.
  EXPECT_EQ(DateTimeToStr(when, SystemFormatSettings()), "25/12/2006 14:30:05");
}
