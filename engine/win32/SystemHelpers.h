// The Win32 side of the engine's system helpers: messages with their
// system sounds, special folders, file times of a file, the file-version
// test, screen scaling and text measuring. Nothing here throws; failures
// give false, 0, or an empty text. Paths are taken as exact UTF-16 names
// (the cp1252 overloads are for paths typed by the user).
// Tested by tests/engine/win32/SystemHelpers_test.cpp.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "engine/DateTime.h"

namespace qv::engine {

// ---- Messages -----------------------------------------------------------

enum TMsgDlgType : int { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3, mtCustom = 4 };

// Button set: a combination of these bits.
using TMsgDlgButtons = uint32_t;
inline constexpr TMsgDlgButtons mbYes = 1u << 0, mbNo = 1u << 1, mbOK = 1u << 2, mbCancel = 1u << 3,
                                mbAbort = 1u << 4, mbRetry = 1u << 5, mbIgnore = 1u << 6, mbAll = 1u << 7,
                                mbNoToAll = 1u << 8, mbYesToAll = 1u << 9, mbHelp = 1u << 10;
inline constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo;
inline constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
inline constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;

// Results: the button pressed (IDOK 1 ... IDNO 7), and for the three
// buttons a message box lacks:
inline constexpr int mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

// Shows one message: (text, type, buttons, help context) -> button id.
using TMessageHandler = std::function<int(const std::string&, TMsgDlgType, TMsgDlgButtons, int)>;
// The application installs its own message dialog; an empty handler goes
// back to a plain message box with the type's icon and French caption.
void SetMessageHandler(TMessageHandler handler);

// Plays the type's system sound ("SystemHand" for warnings and errors,
// "SystemExclamation" for information, "SystemAsterisk" for questions,
// none for mtCustom) without waiting, then shows the message modally.
int ShowMessageWithSound(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext);
// The sound alone; true when it was played.
bool PlaySystemSound(TMsgDlgType type);
// The sound alias of a type, empty for mtCustom.
const char* SystemSoundAlias(TMsgDlgType type);

// ---- Folders and system -------------------------------------------------

// The Windows directory, without trailing backslash.
std::string GetWindowsDir();
// SHGetFolderPath of a CSIDL (CSIDL_FLAG_CREATE added when create); empty
// on failure.
std::string GetSpecialFolderPath(int csidl, bool create);
// True for "/noversion" as first argument, or Windows older than 2000.
bool UseWinHelp();
// The fixed version of a file's version resource is at least the given
// one (major, minor, release, build compared in that order); false when
// the file has none.
bool FileVersionAtLeast(const std::u16string& file, uint16_t major, uint16_t minor, uint16_t release, uint16_t build);
bool FileVersionAtLeast(const std::string& file, uint16_t major, uint16_t minor, uint16_t release, uint16_t build);

// Pixel measure scaled from 96 pixels per inch: v * (ppi - 2) / 96,
// rounded half to even; v unchanged at 96.
int ScaleForDpi(int v);
int ScaleForDpi(int v, int pixelsPerInch);
// Width of text in font on the screen; 0 on failure.
int TextWidthInPixels(HFONT font, const std::string& text);

// The integer with the user locale's thousands separator ("1 234 567").
std::string FormatThousands(int64_t n);

// The locale's short date and long time formats as the program writes
// them (the user's locale by default; its own settings included).
TFormatSettings SystemFormatSettings(LCID locale = LOCALE_USER_DEFAULT);

// ---- File times ----------------------------------------------------------

// Sets creation, last access and last write to one local time: mode 0 the
// date and time of when, 1 when's date with the file's time of day, 2 the
// file's date with when's time of day. A read-only file is changed and
// stays read-only. False on any failure, and the file is left as it was.
bool SetFileDateTime(const std::u16string& path, const TCalendarTime& when, int mode);
bool SetFileDateTime(const std::string& path, const TCalendarTime& when, int mode);
// Sets the three times from local date-time values (whole seconds kept to
// the millisecond).
bool RestoreFileTimes(const std::u16string& path, TDateTime accessed, TDateTime modified, TDateTime created);
// Sets the three times exactly as the scan found them (UTC file times):
// what undo uses, so no precision is lost and times before 1980 return.
bool RestoreRawFileTimes(const std::u16string& path, int64_t accessed, int64_t modified, int64_t created);
// The three UTC file times of a file (tests, checks after a run).
bool GetRawFileTimes(const std::u16string& path, int64_t& created, int64_t& accessed, int64_t& modified);

}  // namespace qv::engine
