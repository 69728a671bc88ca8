// Shared pieces of the dialog tests: the one application object; a host of
// the run requests over a real temporary folder, a real folder scan and the
// real name builder (the runs rename real files); a disk that can be slowed
// down and can act at its Nth rename; messages answered by the test or by
// the real message dialog; a driver that plays steps from a timer while the
// dialogs' modal loops and runs pump messages; the windows' texture; and
// window pictures.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/DialogSupport.h"
#include "app/QuoDial.h"
#include "app/RunRequests.h"
#include "app/Simulation.h"
#include "base/CodePage.h"
#include "common/ScreenCapture.h"
#include "engine/FileObject.h"
#include "engine/NameBuilder.h"
#include "engine/ProgramOptions.h"
#include "engine/ScriptInterpreter.h"
#include "engine/win32/SystemHelpers.h"
#include "engine/win32/TempFolder.h"
#include "engine/win32/WideText.h"
#include "engine/win32/Win32FileOps.h"
#include "engine/win32/Win32FolderReader.h"
#include "framework/Application.h"
#include "framework/ExtCtrls.h"
#include "framework/MessageDialog.h"

namespace qv::test {

namespace eng = qv::engine;
using eng::win32::W;

inline std::u16string U(std::string_view cp1252) { return base::Cp1252ToUtf16(cp1252); }
inline std::string A(std::u16string_view wide) { return base::Utf16ToCp1252(wide); }

// The windows' texture as the test program carries it (the program's own
// resource); the caller frees it.
inline HBITMAP LoadTestTexture() {
  return static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), app::kTextureResource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// The texture a dialog host hands out, freed with the host.
class TTestTexture {
public:
  TTestTexture() : m_bitmap(LoadTestTexture()) {}
  ~TTestTexture() {
    if (m_bitmap) DeleteObject(m_bitmap);
  }
  TTestTexture(const TTestTexture&) = delete;
  TTestTexture& operator=(const TTestTexture&) = delete;
  HBITMAP Handle() const { return m_bitmap; }

private:
  HBITMAP m_bitmap;
};

// ---- Messages ---------------------------------------------------------------

struct TMessage {
  std::string Text;
  eng::TMsgDlgType Type;
  eng::TMsgDlgButtons Buttons;
  int Help;
};

// Every message the code under test shows is recorded and answered by
// Answer (the real French dialog when RealDialog is set); none may block.
class TMessages {
public:
  TMessages() {
    eng::SetMessageHandler([this](const std::string& text, eng::TMsgDlgType type, eng::TMsgDlgButtons buttons, int help) {
      All.push_back({text, type, buttons, help});
      if (RealDialog)
        return fw::MessageDlg(text, static_cast<fw::TMsgDlgType>(type), buttons, help);
      if (Answer) return Answer(All.back());
      // Unanswered: the answer that changes nothing.
      if (buttons & eng::mbOK) return IDOK;
      if (buttons & eng::mbNo) return IDNO;
      if (buttons & eng::mbAbort) return IDABORT;
      return IDCANCEL;
    });
  }
  ~TMessages() {
    eng::SetMessageHandler([](const std::string& text, eng::TMsgDlgType, eng::TMsgDlgButtons, int) {
      ADD_FAILURE() << "message outside a test: " << text;
      return IDCANCEL;
    });
  }
  TMessages(const TMessages&) = delete;
  TMessages& operator=(const TMessages&) = delete;

  // The texts shown, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const TMessage& m : All) out.push_back(m.Text);
    return out;
  }
  bool Shown(const std::string& part) const {
    for (const TMessage& m : All)
      if (m.Text.find(part) != std::string::npos) return true;
    return false;
  }

  std::vector<TMessage> All;
  std::function<int(const TMessage&)> Answer;
  bool RealDialog = false;
};

// ---- Application and windows ----------------------------------------------------

inline fw::TApplication& App() {
  static fw::TApplication* app = [] {
    auto* a = new fw::TApplication();
    a->SetTitle("QvDialogTests");
    return a;
  }();
  return *app;
}

// The visible top-level window of a class, as its framework object.
template <class T>
T* FindForm(const char* className) {
  HWND h = FindWindowA(className, nullptr);
  if (!h || !IsWindowVisible(h)) return nullptr;
  return dynamic_cast<T*>(fw::TWinControl::FromHandle(h));
}

// A named child of a window (the "QvName" property).
inline HWND FindChild(HWND parent, const std::string& name) {
  struct Search {
    std::string name;
    HWND found = nullptr;
  } s{name};
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        const ATOM atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(GetPropA(h, "QvName")));
        char buf[128] = {};
        if (atom && GlobalGetAtomNameA(atom, buf, sizeof buf) && s->name == buf) {
          s->found = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

inline void PostClick(fw::TWinControl* c) { PostMessageA(c->Handle(), BM_CLICK, 0, 0); }

// Esc pressed and released, as the keyboard sends it to the window.
inline void PostEscape(HWND h) {
  PostMessageA(h, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PostMessageA(h, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

// Plays steps one after the other from a 1-ms timer: each step is called
// again on every tick until it returns true. The ticks also come while a
// run pumps messages, so steps act in the middle of runs and modal loops.
// Past the time limit the test fails and every dialog is made to close.
class TDriver {
public:
  using TStep = std::function<bool()>;

  explicit TDriver(std::chrono::seconds limit = std::chrono::seconds(30)) : m_limit(limit) {
    m_timer = &App().Make<fw::TTimer>("");
    m_timer->SetInterval(1);
    m_timer->SetEnabled(false);
    m_timer->OnTimer = [this](fw::TComponent&) { Tick(); };
  }
  ~TDriver() { delete m_timer; }
  TDriver(const TDriver&) = delete;
  TDriver& operator=(const TDriver&) = delete;

  TDriver& Then(TStep step) {
    m_steps.push_back(std::move(step));
    return *this;
  }
  // A step that does something once.
  TDriver& Do(std::function<void()> action) {
    return Then([action] {
      action();
      return true;
    });
  }
  // A step that lets the windows settle (paint, take the focus) for ms.
  static TStep Wait(int ms) {
    auto since = std::make_shared<std::chrono::steady_clock::time_point>();
    return [since, ms] {
      const auto now = std::chrono::steady_clock::now();
      if (*since == std::chrono::steady_clock::time_point{}) *since = now;
      return now - *since >= std::chrono::milliseconds(ms);
    };
  }
  void Start() {
    m_start = std::chrono::steady_clock::now();
    m_timer->SetEnabled(true);
  }
  bool Finished() const { return m_next >= m_steps.size(); }

private:
  void Tick() {
    if (m_inTick) return;
    m_inTick = true;
    if (std::chrono::steady_clock::now() - m_start > m_limit) {
      if (!m_timedOut) ADD_FAILURE() << "driver stuck at step " << m_next;
      m_timedOut = true;
      Rescue();
    } else if (m_next < m_steps.size() && m_steps[m_next]()) {
      ++m_next;
    }
    if (Finished()) m_timer->SetEnabled(false);
    m_inTick = false;
  }
  static void Rescue() {
    for (const char* cls : {"TMessageForm", "TInputQueryForm", "TOptions", "TAPropos"})
      if (HWND h = FindWindowA(cls, nullptr)) PostMessageA(h, WM_CLOSE, 0, 0);
    if (auto* d = FindForm<app::TQuoDial>("TQuoDial")) {
      d->FStopRequested = true;
      if (!d->Running()) d->SetModalResult(fw::mrCancel);
    }
    if (auto* s = FindForm<app::TSimulation>("TSimulation")) {
      s->FStopRequested = true;
      if (!s->Running()) s->SetModalResult(fw::mrCancel);
    }
  }

  std::vector<TStep> m_steps;
  size_t m_next = 0;
  fw::TTimer* m_timer = nullptr;
  std::chrono::seconds m_limit;
  std::chrono::steady_clock::time_point m_start;
  bool m_inTick = false;
  bool m_timedOut = false;
};

// ---- Disk -------------------------------------------------------------------------

// The real file system, optionally slowed down per rename (so a run lasts
// long enough to be stopped or pictured), with a hook at each rename.
class TTestDisk final : public eng::IFileOps {
public:
  eng::TFileResult Rename(const std::u16string& from, const std::u16string& to) override {
    ++Renames;
    if (OnRename) OnRename(Renames);
    if (RenameDelayMs) Sleep(RenameDelayMs);
    return m_real.Rename(from, to);
  }
  eng::TFileResult CopyNoOverwrite(const std::u16string& from, const std::u16string& to) override {
    return m_real.CopyNoOverwrite(from, to);
  }
  eng::TFileResult CreateFolder(const std::u16string& path) override { return m_real.CreateFolder(path); }
  eng::TFileResult SetAttributes(const std::u16string& path, uint32_t attributes) override {
    return m_real.SetAttributes(path, attributes);
  }
  eng::TFileResult SetDateTime(const std::u16string& path, const eng::TCalendarTime& when, int mode) override {
    return m_real.SetDateTime(path, when, mode);
  }
  eng::TFileResult RestoreTimes(const std::u16string& path, int64_t c, int64_t a, int64_t m) override {
    return m_real.RestoreTimes(path, c, a, m);
  }
  bool Exists(const std::u16string& path) override { return m_real.Exists(path); }
  bool FolderExists(const std::u16string& path) override { return m_real.FolderExists(path); }
  std::optional<std::u16string> ExactName(const std::u16string& path) override { return m_real.ExactName(path); }
  bool ListFolder(const std::u16string& folder,
                  const std::function<void(const std::u16string&, bool)>& onEntry) override {
    return m_real.ListFolder(folder, onEntry);
  }
  std::unique_ptr<eng::IOutputFile> OpenForWriting(const std::u16string& path, eng::TOpenMode mode,
                                                   eng::TFileResult& error) override {
    return m_real.OpenForWriting(path, mode, error);
  }

  int Renames = 0;  // rename calls (a case-only change makes two)
  DWORD RenameDelayMs = 0;
  std::function<void(int renameNumber)> OnRename;

private:
  eng::win32::TWin32FileOps m_real;
};

// ---- Host -------------------------------------------------------------------------

// The main window as the requests see it, over "<temp>\Vacances 2024" with
// the reports in "<temp>\Quorvant Pro\Rapports" (both paths hold blanks).
class TTestHost : public app::IRunHost {
public:
  TTestHost() {
    CreateDirectoryW(W(folder), nullptr);
    listing.SetFolderReader(&reader);
    listing.SetTimeZone(eng::win32::SystemTimeZone());
    options.Directory = A(folder);
    options.DirRapport = A(temp / u"Quorvant Pro\\Rapports");
    options.Mask = "*.*";
    options.NameFile = "Photo_";
    options.Format = 2;
    options.Start = 1;
    options.NoExtension = true;  // extensions kept
    options.Editor = app::DefaultEditor();
  }

  // A file of the folder whose content is its own name in brackets.
  void File(const std::string& name, const std::string& content = {}) {
    const std::string c = content.empty() ? "<" + name + ">" : content;
    HANDLE h = CreateFileW(W(Path(name)), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << name;
    DWORD n = 0;
    WriteFile(h, c.data(), static_cast<DWORD>(c.size()), &n, nullptr);
    CloseHandle(h);
  }
  std::u16string Path(const std::string& name) const { return folder + u"\\" + U(name); }
  void Scan() { listing.ScanFolderWide(folder, options.Mask, eng::ScanAttributes(options)); }

  static std::string Read(const std::u16string& path) {
    HANDLE h = CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<absent>";
    LARGE_INTEGER size{};
    GetFileSizeEx(h, &size);
    std::string s(static_cast<size_t>(size.QuadPart), '\0');
    DWORD n = 0;
    ReadFile(h, s.data(), static_cast<DWORD>(s.size()), &n, nullptr);
    CloseHandle(h);
    s.resize(n);
    return s;
  }
  // Names and contents of a folder's files (subfolders left out).
  std::map<std::string, std::string> Files(const std::u16string& dir) {
    std::map<std::string, std::string> out;
    disk.ListFolder(dir, [&](const std::u16string& name, bool isFolder) {
      if (!isFolder) out[A(name)] = Read(dir + u"\\" + name);
    });
    return out;
  }
  std::map<std::string, std::string> Files() { return Files(folder); }
  std::u16string ReportsFolder() const { return U(options.DirRapport); }
  // The lines of a report (CR LF ends).
  std::vector<std::string> ReportLines(const std::string& name) {
    const std::string text = Read(ReportsFolder() + u"\\" + U(name));
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
      out.push_back(text.substr(start, end - start));
    if (start < text.size()) out.push_back(text.substr(start));
    return out;
  }

  // --- IRunHost
  eng::TProgramOptions& Options() override { return options; }
  eng::TFileListing& Listing() override { return listing; }
  eng::TNameBuilder& Names() override { return names; }
  eng::IFileOps& FileOps() override { return disk; }
  void ClearMediaCache() override { Log.push_back("cache"); }
  void CommitFocusedEdit() override { Log.push_back("commit"); }
  const std::string& ModelLine() const override { return modelLine; }
  std::string MaskText() const override { return options.Mask; }
  std::string NameModelText() const override { return options.NameFile; }
  std::string ExtensionModelText() const override { return options.NameExtension; }
  std::string PadCharacterText() const override { return padText ? *padText : std::string(1, options.Character); }
  int ListItemCount() const override { return static_cast<int>(listing.Count()); }
  void ReactivateList() override {
    Log.push_back("reactivate");
    options.ActiveListe = true;
    Scan();
  }
  void RefreshFileList() override {
    Log.push_back("refresh");
    Scan();
  }
  void SetMonitorActive(bool active) override { Log.push_back(active ? "monitor on" : "monitor off"); }
  void FocusModelField(eng::TModelField field) override {
    Log.push_back("focus " + std::to_string(static_cast<int>(field)));
  }
  void FocusFolderEdit() override { Log.push_back("focus folder"); }
  void SetMainStatus(const std::string& text) override {
    MainStatus.push_back(text);
    if (OnMainStatus) OnMainStatus(text);
  }
  app::TDialogPlacement DialogPlacement() override { return {40, 30, 8, 60}; }
  HBITMAP TextureSource() override { return texture.Handle(); }

  eng::testing::TTempFolder temp;
  const std::u16string folder = temp / u"Vacances 2024";
  eng::win32::TWin32FolderReader reader;
  eng::TFileListing listing;
  eng::TProgramOptions options;
  eng::TScriptInterpreter interpreter{options, listing};
  eng::TNameBuilder names{options, interpreter};
  TTestDisk disk;
  std::string modelLine = "Photo_01.jpg";
  std::optional<std::string> padText;
  TTestTexture texture;

  std::vector<std::string> Log;         // what the requests asked of the window
  std::vector<std::string> MainStatus;  // status panel 0, in order
  std::function<void(const std::string&)> OnMainStatus;
};

// ---- Pictures -----------------------------------------------------------------------

// The window as it is on the screen, written as a 24-bit BMP into
// <build>/screenshots/<name>.bmp.
inline void SaveScreenshot(HWND hwnd, const std::string& name) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  SaveWindowPicture(hwnd, BuildScreenshotDir() / (name + ".bmp"));
}

}  // namespace qv::test
