// End-to-end start-up of the real program under Wine, driven through the
// test harness: launch -> main window shown, launch -> the status bar's
// "N fichiers dans ..." (the list filled), and the process's peak memory
// (PeakWorkingSetSize, the resident peak, and PeakPagefileUsage, which Wine
// fills with the private memory at the time of the call), on generated folders of 3, 20,000 and 100,000 empty files (f3, f20000 and
// f100000 in the temporary folder's qv_app_bench, made when absent), default
// settings, the folder given as argument. Beside it, in the same run, the
// launch -> shown time of a bare Win32 window (bare_window.exe) and its
// memory once shown: what the Wine process costs before any program work.
// Run by bench/app/run.sh [runs [program]], where program is another build
// of the program to measure (a Windows path to a QuorvantPro.exe; the
// build's own by default).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/harness/Harness.h"

using namespace qv::harness;
using Clock = std::chrono::steady_clock;

namespace {

double MsSince(Clock::time_point a) { return std::chrono::duration<double, std::milli>(Clock::now() - a).count(); }

struct TFigures {
  std::vector<double> shown, filled, peakMb, workingSetMb, pagefileMb;
};

struct TMemory {
  double workingSetMb = -1, pagefileMb = -1;
  double Peak() const { return std::max(workingSetMb, pagefileMb); }
};

void PrintRow(const char* what, std::vector<double> v, const char* unit) {
  if (v.empty()) {
    std::printf("  %-34s (no figure)\n", what);
    return;
  }
  std::sort(v.begin(), v.end());
  std::printf("  %-34s min %8.1f  median %8.1f  max %8.1f %s\n", what, v.front(), v[v.size() / 2], v.back(), unit);
}

// A visible top-level window of the process with that class, polled
// every 2 ms so the figure is not rounded to the harness's 10 ms.
HWND WaitShown(DWORD pid, const char* className, Ms timeout) {
  const auto until = Clock::now() + timeout;
  while (Clock::now() < until) {
    for (HWND h : TopWindows(pid, className))
      if (IsWindowVisible(h)) return h;
    Sleep(2);
  }
  return nullptr;
}

TMemory PeakMemory(DWORD pid) {
  TMemory m;
  HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!h) return m;
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  if (GetProcessMemoryInfo(h, &pmc, sizeof pmc)) {
    m.workingSetMb = static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
    m.pagefileMb = static_cast<double>(pmc.PeakPagefileUsage) / (1024.0 * 1024.0);
  }
  CloseHandle(h);
  return m;
}

// A started process, ended when it goes out of scope.
class TStarted {
public:
  explicit TStarted(const std::wstring& cmd) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    if (!CreateProcessW(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi)) m_pi = {};
    else CloseHandle(m_pi.hThread);
  }
  ~TStarted() {
    if (!m_pi.hProcess) return;
    TerminateProcess(m_pi.hProcess, 0);
    WaitForSingleObject(m_pi.hProcess, 5000);
    CloseHandle(m_pi.hProcess);
  }
  TStarted(const TStarted&) = delete;
  TStarted& operator=(const TStarted&) = delete;
  bool Started() const { return m_pi.hProcess != nullptr; }
  DWORD Pid() const { return m_pi.dwProcessId; }

private:
  PROCESS_INFORMATION m_pi{};
};

// Launch -> shown in ms (-1 when it did not show), and the memory once its
// first paint is done.
double BareStart(TMemory* memory = nullptr) {
  const auto t0 = Clock::now();
  TStarted bare(L"\"" QV_BARE_WINDOW_W L"\"");
  if (!bare.Started()) return -1;
  const HWND w = WaitShown(bare.Pid(), "QvBareWindow", std::chrono::seconds(20));
  if (!w) return -1;
  const double ms = MsSince(t0);
  if (memory) {
    // A message answered means the window's start work is behind it.
    DWORD_PTR r = 0;
    SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
    *memory = PeakMemory(bare.Pid());
  }
  return ms;
}

// Made once when absent, and left for later runs. Under Wine each new name
// costs a search of the folder, so run.sh makes them from the shell first.
void MakeFiles(const std::filesystem::path& dir, int count) {
  std::error_code ec;
  if (std::filesystem::exists(dir / "complet", ec)) return;
  std::filesystem::create_directories(dir, ec);
  for (int i = 0; i < count; ++i) {
    const std::wstring name = dir.wstring() + L"\\IMG_" + std::to_wstring(100000 + i) + L".jpg";
    HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  // A sub-folder: the list shows files only, so the count stays.
  std::filesystem::create_directories(dir / "complet", ec);
}

// One start on the folder: the figures go into f when they were all seen.
void ProgramStart(const std::wstring& program, const std::filesystem::path& dir, int count, TFigures& f) {
  KillStrayPrograms();
  DeleteRegistryKey("Software\\Halbrecht\\Quorvant Pro");
  const std::string expected = " " + std::to_string(count) + (count > 1 ? " fichiers dans " : " fichier dans ");
  const auto t0 = Clock::now();
  TStarted app(L"\"" + program + L"\" \"" + dir.wstring() + L"\"");
  const HWND main = app.Started() ? WaitShown(app.Pid(), "TMainForm", std::chrono::seconds(30)) : nullptr;
  if (!main) {
    std::printf("  (the main window did not appear)\n");
    return;
  }
  const double shown = MsSince(t0);
  HWND status = nullptr;
  double filled = -1;
  const auto until = Clock::now() + std::chrono::seconds(120);
  while (Clock::now() < until) {
    if (!status) status = FindControl(main, "StatusBar");
    if (status && StatusBarText(status, 1).rfind(expected, 0) == 0) {
      filled = MsSince(t0);
      break;
    }
    Sleep(2);
  }
  const TMemory peak = PeakMemory(app.Pid());
  if (filled < 0) {
    std::printf("  (the list was not filled: \"%s\")\n", status ? StatusBarText(status, 1).c_str() : "");
    return;
  }
  f.shown.push_back(shown);
  f.filled.push_back(filled);
  if (peak.Peak() >= 0) {
    f.peakMb.push_back(peak.Peak());
    f.workingSetMb.push_back(peak.workingSetMb);
    f.pagefileMb.push_back(peak.pagefileMb);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  std::wstring program = ProgramPath();
  if (argc > 2) {
    const std::string arg = argv[2];
    program.assign(arg.begin(), arg.end());
  }
  std::printf("app_start_bench: %d runs each, default settings, folder given as argument\n", runs);
  std::printf("program: %ls\n", program.c_str());
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "qv_app_bench";
  std::vector<double> bare, bareWorkingSet, barePagefile;
  // Every run warms the same things: one throwaway start of each first.
  BareStart();
  for (const int count : {3, 20000, 100000}) {
    const std::filesystem::path dir = root / ("f" + std::to_string(count));
    MakeFiles(dir, count);
    TFigures f, warm;
    if (count == 3) ProgramStart(program, dir, count, warm);
    for (int r = 0; r < runs; ++r) {
      TMemory m;
      bare.push_back(BareStart(&m));
      if (m.Peak() >= 0) {
        bareWorkingSet.push_back(m.workingSetMb);
        barePagefile.push_back(m.pagefileMb);
      }
      ProgramStart(program, dir, count, f);
    }
    std::printf("%d files:\n", count);
    PrintRow("launch -> main window shown", f.shown, "ms");
    PrintRow("launch -> list filled", f.filled, "ms");
    std::vector<double> after;
    for (size_t i = 0; i < f.shown.size() && i < f.filled.size(); ++i) after.push_back(f.filled[i] - f.shown[i]);
    PrintRow("window shown -> list filled", after, "ms");
    PrintRow("peak memory (larger of the two)", f.peakMb, "MB");
    PrintRow("  PeakWorkingSetSize", f.workingSetMb, "MB");
    PrintRow("  PeakPagefileUsage", f.pagefileMb, "MB");
  }
  std::printf("baseline:\n");
  PrintRow("launch -> bare Win32 window shown", bare, "ms");
  PrintRow("bare window PeakWorkingSetSize", bareWorkingSet, "MB");
  PrintRow("bare window PeakPagefileUsage", barePagefile, "MB");
  KillStrayPrograms();
  return 0;
}
