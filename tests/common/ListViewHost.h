// Test support for the list views: one application object per test
// program, a shown form that hosts a list, message pumping with a bounded
// wait, real header clicks and key strokes, and a registry key of the
// test's own for saved settings.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "controls/lists/ExtListView.h"
#include "controls/shell/FileChange.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Registry.h"
#include "tests/common/ScreenCapture.h"

namespace qv::test {

inline fw::TApplication& App() {
  static fw::TApplication* app = [] {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_LISTVIEW_CLASSES;
    InitCommonControlsEx(&icc);
    auto* a = new fw::TApplication();
    a->SetTitle("QvListViewTests");
    a->OnException = [](const std::string& m) { ADD_FAILURE() << "exception in a window procedure: " << m; };
    return a;
  }();
  return *app;
}

// Handles every waiting message.
inline void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Pumps until pred holds or the time-out passes. The default bounds a wait
// for something that must happen: generous, as it costs nothing when it does
// and a busy machine can hold a worker or a repaint for seconds.
inline bool PumpUntil(const std::function<bool()>& pred, int ms = 15000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    Pump();
    if (pred()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    Sleep(5);
  }
}

class THostForm : public fw::TForm {
public:
  explicit THostForm(int width = 640, int height = 400) : TForm(&App(), "TListHostForm") {
    SetCaption("Liste");
    SetClientSize(width, height);
    FinishCreate();
  }
};

// A form holding one list view, made inside the form's layout (so the
// list's Loaded runs as in a real window).
template <class TList>
class TListForm : public fw::TForm {
public:
  TListForm(int width, int height, const std::function<void(TList&)>& setup) : TForm(&App(), "TListHostForm") {
    SetCaption("Liste");
    SetClientSize(width, height);
    List = &Make<TList>("FileList");
    List->Place(this, 8, 8, width - 16, height - 16);
    if (setup) setup(*List);
    FinishCreate();
  }
  TList* List = nullptr;
};

// The form above, shown; freed with the holder.
template <class TList = controls::TQsExtListView>
struct THostedList {
  explicit THostedList(const std::function<void(TList&)>& setup = {}, int width = 640, int height = 400)
      : form(new TListForm<TList>(width, height, setup)), list(form->List) {
    form->Show();
    Pump();
  }
  ~THostedList() { delete form; }
  THostedList(const THostedList&) = delete;
  THostedList& operator=(const THostedList&) = delete;
  HWND Handle() const { return list->Handle(); }

  TListForm<TList>* form;
  TList* list;
};

// Clicks a header section the way the mouse does.
inline void ClickHeader(HWND list, int column) {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  RECT r{};
  SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(header, WM_LBUTTONUP, 0, at);
  Pump();
}

// A key stroke (down and up) sent to a window.
inline void Stroke(HWND hwnd, WORD vk) {
  SendMessageA(hwnd, WM_KEYDOWN, vk, 1);
  SendMessageA(hwnd, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
}

// Paints the window now (the list asks for the cells it shows).
inline void PaintNow(HWND hwnd) {
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateWindow(hwnd);
}

// A cell's text as the list gives it (in process: the list asks its owner).
inline std::string ListText(HWND list, int row, int column) {
  char buf[1024] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.cchTextMax = sizeof buf;
  item.pszText = buf;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return buf;
}

// Windows path text of a path, cp1252.
inline std::string AnsiPath(const std::filesystem::path& p) {
  const std::wstring w = p.wstring();
  const int n = WideCharToMultiByte(1252, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n > 0 ? n : 0), '\0');
  WideCharToMultiByte(1252, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

// A fresh folder under the temporary folder, removed with its files.
class TTempDir {
public:
  TTempDir() {
    std::random_device rd;
    std::error_code ec;
    const auto base = std::filesystem::temp_directory_path(ec);
    for (int i = 0; i < 100 && m_path.empty(); ++i) {
      auto p = base / ("qvlv_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(rd() % 1000000));
      if (std::filesystem::create_directory(p, ec)) m_path = p;
    }
  }
  ~TTempDir() {
    // Folder watchers let go of their folders in their own threads, after
    // their owner is gone; removing a folder a change handle still holds
    // can leave the removal stuck under Wine.
    for (int i = 0; i < 1000 && qv::controls::TFileChangeThread::OpenHandleCount() > 0; ++i) Sleep(10);
    std::error_code ec;
    for (const auto& e : std::filesystem::recursive_directory_iterator(m_path, ec))
      SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(m_path, ec);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  const std::filesystem::path& Path() const { return m_path; }

private:
  std::filesystem::path m_path;
};

// Saves the whole screen as <build folder>/screenshots/<name>.bmp (the
// build folder is the first parent of the test program that holds
// CMakeCache.txt); returns the path.
inline std::filesystem::path SaveScreenshot(const std::string& name) {
  const auto path = qv::test::BuildScreenshotDir() / (name + ".bmp");
  qv::test::SaveScreenArea(qv::test::WholeScreen(), path);
  return path;
}

// A registry key for one test, removed before and after it.
class TTestKey {
public:
  TTestKey() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_key = std::string("Software\\Halbrecht\\QvTests\\ListView\\") + info->test_suite_name() + "." + info->name();
    fw::Registry::DeleteKey(m_key);
  }
  ~TTestKey() { fw::Registry::DeleteKey(m_key); }
  const std::string& Key() const { return m_key; }
  std::string Read(const std::string& section, const std::string& name) const {
    return fw::Registry::ReadString(m_key + "\\" + section, name, "<none>");
  }
  void Write(const std::string& section, const std::string& name, const std::string& value) const {
    fw::Registry::WriteString(m_key + "\\" + section, name, value);
  }

private:
  std::string m_key;
};

}  // namespace qv::test
