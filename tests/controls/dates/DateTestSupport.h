// Shared by the date edit's and calendars' tests: a fixed French date
// locale, key and character posting through the application's loop, and a
// whole-screen BMP under <build folder>/screenshots.
#pragma once

#include <windows.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "controls/dates/QxDateUtil.h"
#include "engine/DateTime.h"
#include "framework/WinControl.h"
#include "tests/common/ControlTestSupport.h"
#include "tests/common/ScreenCapture.h"

namespace qv::test {

inline qv::controls::TDateLocale FrenchDates(const std::string& shortDate = "dd/MM/yyyy") {
  qv::controls::TDateLocale l;
  l.Entry.ShortDateFormat = shortDate;
  l.ShortDayNames = {"dim.", "lun.", "mar.", "mer.", "jeu.", "ven.", "sam."};
  return l;
}

// Sets the locale for one test and puts the system's back afterwards.
struct TLocaleScope {
  explicit TLocaleScope(const qv::controls::TDateLocale& l) { qv::controls::SetDateLocale(l); }
  ~TLocaleScope() { qv::controls::ResetDateLocale(); }
};

inline qv::engine::TDateTime Ymd(int y, int m, int d) { return qv::engine::EncodeDateOnly(y, m, d); }

inline void PostKey(HWND h, WORD vk) {
  PostMessageA(h, WM_KEYDOWN, vk, 1);
  PostMessageA(h, WM_KEYUP, vk, 0xC0000001);
  App().ProcessMessages();
}

inline void PostChars(HWND h, const std::string& chars) {
  for (char ch : chars) PostMessageA(h, WM_CHAR, static_cast<unsigned char>(ch), 1);
  App().ProcessMessages();
}

// A key with a modifier (VK_CONTROL, VK_SHIFT) held, as the keyboard
// state says while it is handled.
inline void PostKeyWith(WORD modifier, HWND h, WORD vk) {
  BYTE state[256];
  GetKeyboardState(state);
  const BYTE old = state[modifier];
  state[modifier] |= 0x80;
  SetKeyboardState(state);
  PostKey(h, vk);
  state[modifier] = old;
  SetKeyboardState(state);
}

inline void PostCtrlKey(HWND h, WORD vk) { PostKeyWith(VK_CONTROL, h, vk); }

// The calendars laid out for another screen resolution, for one test.
struct TPixelsPerInchScope {
  explicit TPixelsPerInchScope(int ppi) { qv::controls::SetCalendarPixelsPerInch(ppi); }
  ~TPixelsPerInchScope() { qv::controls::SetCalendarPixelsPerInch(0); }
};

inline std::filesystem::path SaveScreenBmp(const std::string& name) {
  const auto path = BuildScreenshotDir() / (name + ".bmp");
  SaveScreenArea(WholeScreen(), path);
  return path;
}

}  // namespace qv::test
