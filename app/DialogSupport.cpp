// Placement, texture, progress pacing and program start of the dialogs.
#include "app/DialogSupport.h"

#include <algorithm>
#include <vector>

#include "engine/win32/SystemHelpers.h"
#include "framework/Application.h"

namespace qv::app {

// ---- Placement ------------------------------------------------------------

void PlaceDialog(fw::TForm& dialog, const TDialogPlacement& place) {
  int left = place.MainLeft + place.BevelLeft;
  int top = place.MainTop + place.BevelTop + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYSMCAPTION) + 2;
  // A main window near the bottom of the screen would push the dialog's
  // buttons out of reach.
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (GetMonitorInfoA(MonitorFromPoint(POINT{left, top}, MONITOR_DEFAULTTONEAREST), &mi)) {
    const RECT& work = mi.rcWork;
    left = std::max(static_cast<int>(work.left), std::min(left, static_cast<int>(work.right) - dialog.Width()));
    top = std::max(static_cast<int>(work.top), std::min(top, static_cast<int>(work.bottom) - dialog.Height()));
  }
  dialog.SetBounds(left, top, dialog.Width(), dialog.Height());
}

// ---- Texture ---------------------------------------------------------------

bool RecolourTexture(fw::TBitmap& texture, COLORREF buttonFace) {
  if (texture.ColorCount() < 9) return false;
  std::vector<fw::TColor> shades(9);
  for (int i = 0; i <= 8; ++i) {
    // Per component, so a dark face cannot borrow from its neighbour.
    auto down = [i](int v) { return std::max(0, v - 5 * i); };
    shades[static_cast<size_t>(8 - i)] =
        RGB(down(GetRValue(buttonFace)), down(GetGValue(buttonFace)), down(GetBValue(buttonFace)));
  }
  return texture.SetColorTable(0, shades) == 9;
}

bool ApplyTexture(bool textureOn, TOndrelWallpaper& wallpaper, HBITMAP texture) {
  if (!textureOn) {
    wallpaper.SetVisible(false);
    return true;
  }
  fw::TBitmap copy;
  if (!texture || !copy.CopyFrom(texture) || !RecolourTexture(copy, GetSysColor(COLOR_BTNFACE))) return false;
  copy.Dormant();
  wallpaper.SetBitmap(copy.Handle());
  wallpaper.SetVisible(true);
  return true;
}

// ---- Status panel ----------------------------------------------------------

void TStatusPanel::Paint(fw::TCanvas& c) {
  const fw::TRect r{0, 0, Width(), Height()};
  fw::DrawBevel(c, r, fw::TBevelCut::Lowered);
  const std::string text = Caption();
  if (text.empty()) return;
  const fw::TRect t{r.Left + 4, r.Top + 1, r.Right - 4, r.Bottom - 1};
  c.TextRect(text, t, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_PATH_ELLIPSIS | DT_NOPREFIX,
             Enabled() ? EffectiveFont().Color() : fw::clGrayText);
}

// ---- Run display -----------------------------------------------------------

void TRunDisplay::SetLabelStatus(const std::string& text) {
  m_statusText = text;
  m_statusDirty = true;
}

void TRunDisplay::SetPanelStatus(const std::string& text) {
  m_panelText = text;
  m_panelDirty = true;
}

void TRunDisplay::SetProgressRange(int64_t min, int64_t max) {
  Flush();
  auto clamp = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, 0, INT32_MAX)); };
  m_bar.SetRange(clamp(min), clamp(max));
}

void TRunDisplay::SetProgressPosition(int64_t position) {
  m_position = position;
  m_positionDirty = true;
}

void TRunDisplay::AppendMemoLine(const std::string& line) {
  if (!m_memo) return;
  if (!m_memoLines.empty()) m_memoLines += "\r\n";
  m_memoLines += line;
}

void TRunDisplay::ClearMemo() {
  m_memoLines.clear();
  if (m_memo) m_memo->Clear();
}

void TRunDisplay::Pump() {
  const auto now = std::chrono::steady_clock::now();
  if (now - m_last < kInterval) return;
  Flush();
  if (fw::Application()) fw::Application()->ProcessMessages();
  m_last = std::chrono::steady_clock::now();
}

void TRunDisplay::Flush() {
  if (m_statusDirty) m_status.SetCaption(m_statusText);
  if (m_panelDirty) m_panel.SetCaption(m_panelText);
  if (m_positionDirty) m_bar.SetPosition(static_cast<int>(std::clamp<int64_t>(m_position, 0, INT32_MAX)));
  m_statusDirty = m_panelDirty = m_positionDirty = false;
  if (m_memo && !m_memoLines.empty()) {
    // One append for every line since the last time.
    m_memo->AppendLine(m_memoLines);
    m_memoLines.clear();
  }
}

// ---- Outside programs ------------------------------------------------------

namespace {

std::function<bool(const std::string&)>& Starter() {
  static std::function<bool(const std::string&)> starter;
  return starter;
}

std::string Unquoted(std::string s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
  return s;
}

}  // namespace

std::string QuotedCommandLine(const std::string& program, const std::string& argument) {
  return "\"" + Unquoted(program) + "\" \"" + argument + "\"";
}

void SetProgramStarter(std::function<bool(const std::string& commandLine)> starter) {
  Starter() = std::move(starter);
}

bool StartProgram(const std::string& program, const std::string& argument) {
  std::string commandLine = QuotedCommandLine(program, argument);
  if (Starter()) return Starter()(commandLine);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

std::string DefaultEditor() { return engine::GetWindowsDir() + "\\NOTEPAD.EXE"; }

bool FileExistsAt(const std::string& path) {
  if (path.empty()) return false;
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace qv::app
