// End-to-end test driver.
#include "tests/harness/Harness.h"

#include "tests/common/ScreenCapture.h"

#include <commctrl.h>
#include <richedit.h>
#include <tlhelp32.h>

#include <fstream>
#include <random>
#include <thread>

namespace qv::harness {

std::wstring ProgramPath() {
  std::wstring p = QV_APP_EXE_W;
  // The build gives a Unix path; Wine maps / to drive Z:.
  if (!p.empty() && p[0] == L'/') p = L"Z:" + p;
  for (auto& c : p)
    if (c == L'/') c = L'\\';
  return p;
}

std::filesystem::path ScreenshotDir() {
  std::wstring p = QV_SCREENSHOT_DIR_W;
  if (!p.empty() && p[0] == L'/') p = L"Z:" + p;
  std::filesystem::path dir(p);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return dir;
}

bool WaitUntil(const std::function<bool()>& pred, Ms timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (pred()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(10ms);
  }
}

namespace {
// Every program a test starts belongs to this job: when the test process
// dies (a ctest time-out kills it), the programs die with it instead of
// taking the next test's start as a second instance.
HANDLE TestJob() {
  static HANDLE job = [] {
    HANDLE j = CreateJobObjectW(nullptr, nullptr);
    if (j) {
      JOBOBJECT_EXTENDED_LIMIT_INFORMATION info{};
      info.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
      SetInformationJobObject(j, JobObjectExtendedLimitInformation, &info, sizeof info);
    }
    return j;
  }();
  return job;
}

std::wstring BaseName(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}
}  // namespace

void KillStrayPrograms() {
  const std::wstring exe = BaseName(ProgramPath());
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32W e{};
  e.dwSize = sizeof e;
  for (BOOL more = Process32FirstW(snap, &e); more; more = Process32NextW(snap, &e)) {
    if (lstrcmpiW(e.szExeFile, exe.c_str()) != 0) continue;
    HANDLE h = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                           e.th32ProcessID);
    if (h) {
      // The listed program may have ended since the snapshot and its id gone
      // to another process (a test starting beside us): end only what the
      // handle shows to be the program.
      wchar_t image[MAX_PATH] = {};
      DWORD size = MAX_PATH;
      if (QueryFullProcessImageNameW(h, 0, image, &size) && lstrcmpiW(BaseName(image).c_str(), exe.c_str()) == 0) {
        TerminateProcess(h, 1);
        WaitForSingleObject(h, 5000);
      }
      CloseHandle(h);
    }
  }
  CloseHandle(snap);
}

TProgram::TProgram(const std::wstring& args) {
  std::wstring cmd = L"\"" + ProgramPath() + L"\"";
  if (!args.empty()) cmd += L" " + args;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::vector<wchar_t> buf(cmd.begin(), cmd.end());
  buf.push_back(0);
  if (CreateProcessW(nullptr, buf.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi)) {
    if (HANDLE job = TestJob()) AssignProcessToJobObject(job, pi.hProcess);
    ResumeThread(pi.hThread);
    m_process = pi.hProcess;
    m_pid = pi.dwProcessId;
    CloseHandle(pi.hThread);
  }
}

TProgram::~TProgram() {
  if (m_process) {
    if (Running()) Kill();
    CloseHandle(m_process);
  }
}

bool TProgram::Running() const { return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }

void TProgram::Kill() {
  if (!m_process) return;
  TerminateProcess(m_process, 1);
  WaitForSingleObject(m_process, 5000);
}

bool TProgram::WaitForExit(Ms timeout) {
  return m_process && WaitForSingleObject(m_process, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD TProgram::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (m_process) GetExitCodeProcess(m_process, &code);
  return code;
}

std::string ClassOf(HWND hwnd) {
  char buf[256] = {};
  GetClassNameA(hwnd, buf, sizeof buf);
  return buf;
}

namespace {
struct TopSearch {
  DWORD pid;
  std::string cls;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<TopSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == s->pid && (s->cls.empty() || ClassOf(hwnd) == s->cls)) s->found.push_back(hwnd);
  return TRUE;
}

struct ChildSearch {
  std::string name;
  HWND found = nullptr;
};

BOOL CALLBACK FindNamed(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<ChildSearch*>(lp);
  if (ControlName(hwnd) == s->name) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

std::vector<HWND> TopWindows(DWORD pid, const std::string& className) {
  TopSearch s{pid, className, {}};
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND TProgram::WaitForWindow(const std::string& className, const std::string& title, Ms timeout) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND h : TopWindows(m_pid, className)) {
          if (!IsWindowVisible(h)) continue;
          if (!title.empty() && GetText(h) != title) continue;
          found = h;
          return true;
        }
        return false;
      },
      timeout);
  return found;
}

std::string ControlName(HWND hwnd) {
  const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(hwnd, "QvName")));
  if (!atom) return {};
  char buf[256] = {};
  const UINT n = GlobalGetAtomNameA(atom, buf, sizeof buf);
  return std::string(buf, n);
}

HWND FindControl(HWND top, const std::string& name) {
  ChildSearch s{name, nullptr};
  EnumChildWindows(top, FindNamed, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND WaitForControl(HWND top, const std::string& name, Ms timeout) {
  HWND h = nullptr;
  WaitUntil([&] { return (h = FindControl(top, name)) != nullptr; }, timeout);
  return h;
}

std::string GetText(HWND hwnd) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &len)) return {};
  std::string s(len + 1, '\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutA(hwnd, WM_GETTEXT, len + 1, reinterpret_cast<LPARAM>(s.data()), SMTO_ABORTIFHUNG, 5000, &got);
  s.resize(got);
  return s;
}

void Click(HWND hwnd) {
  DWORD_PTR r;
  SendMessageTimeoutA(hwnd, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, &r);
}

void ClickAsync(HWND hwnd) { PostMessageA(hwnd, BM_CLICK, 0, 0); }

void SetText(HWND hwnd, const std::string& text) {
  DWORD_PTR r;
  SendMessageTimeoutA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &r);
}

void TypeChars(HWND hwnd, const std::string& text) {
  for (char c : text) {
    DWORD_PTR r;
    SendMessageTimeoutA(hwnd, WM_CHAR, static_cast<unsigned char>(c), 1, SMTO_ABORTIFHUNG, 5000, &r);
  }
}

void PressKey(HWND hwnd, WORD vk, bool ctrl, bool shift, bool alt) {
  // Key state lives in the target's thread: attach to it while pressing.
  DWORD targetThread = GetWindowThreadProcessId(hwnd, nullptr);
  AttachThreadInput(GetCurrentThreadId(), targetThread, TRUE);
  BYTE keys[256];
  GetKeyboardState(keys);
  BYTE saved[256];
  memcpy(saved, keys, sizeof keys);
  if (ctrl) keys[VK_CONTROL] = 0x80;
  if (shift) keys[VK_SHIFT] = 0x80;
  if (alt) keys[VK_MENU] = 0x80;
  SetKeyboardState(keys);
  const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN, up = alt ? WM_SYSKEYUP : WM_KEYUP;
  DWORD_PTR r;
  SendMessageTimeoutA(hwnd, down, vk, 1, SMTO_ABORTIFHUNG, 5000, &r);
  SendMessageTimeoutA(hwnd, up, vk, 0xC0000001, SMTO_ABORTIFHUNG, 5000, &r);
  SetKeyboardState(saved);
  AttachThreadInput(GetCurrentThreadId(), targetThread, FALSE);
}

void FocusControl(HWND hwnd) {
  if (!hwnd) return;
  const DWORD target = GetWindowThreadProcessId(hwnd, nullptr);
  AttachThreadInput(GetCurrentThreadId(), target, TRUE);
  SetFocus(hwnd);
  AttachThreadInput(GetCurrentThreadId(), target, FALSE);
}

HWND FocusedWindowOf(HWND anyWindowOfThread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(anyWindowOfThread, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

bool IsChecked(HWND button) {
  DWORD_PTR r = 0;
  SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
  return r == BST_CHECKED;
}

bool IsEnabled(HWND hwnd) { return IsWindowEnabled(hwnd) != FALSE; }
bool IsVisible(HWND hwnd) { return IsWindowVisible(hwnd) != FALSE; }

RECT WindowRectOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

namespace {
// Memory in another process for messages that carry pointers.
class TRemoteBuffer {
public:
  TRemoteBuffer(HWND owner, size_t size) : m_size(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (m_process) m_ptr = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~TRemoteBuffer() {
    if (m_ptr) VirtualFreeEx(m_process, m_ptr, 0, MEM_RELEASE);
    if (m_process) CloseHandle(m_process);
  }
  bool Ok() const { return m_ptr != nullptr; }
  void* Ptr() const { return m_ptr; }
  bool Write(const void* data, size_t n, size_t at = 0) {
    SIZE_T done = 0;
    return WriteProcessMemory(m_process, static_cast<char*>(m_ptr) + at, data, n, &done) && done == n;
  }
  bool Read(void* data, size_t n, size_t at = 0) {
    SIZE_T done = 0;
    return ReadProcessMemory(m_process, static_cast<char*>(m_ptr) + at, data, n, &done) && done == n;
  }

private:
  HANDLE m_process = nullptr;
  void* m_ptr = nullptr;
  size_t m_size;
};
}  // namespace

std::vector<std::string> ComboItems(HWND combo) {
  // Wide messages: Wine hands the ANSI item texts of another process back
  // as UTF-16.
  std::vector<std::string> items;
  DWORD_PTR count = 0;
  SendMessageTimeoutW(combo, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
  for (DWORD_PTR i = 0; i < count; ++i) {
    DWORD_PTR len = 0;
    SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 5000, &len);
    if (len == static_cast<DWORD_PTR>(CB_ERR)) len = 0;
    std::wstring w(len + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(w.data()), SMTO_ABORTIFHUNG, 5000, &got);
    w.resize(got == static_cast<DWORD_PTR>(CB_ERR) ? 0 : wcsnlen(w.c_str(), w.size()));
    const int n = WideCharToMultiByte(1252, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string a(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(1252, 0, w.c_str(), static_cast<int>(w.size()), a.data(), n, nullptr, nullptr);
    items.push_back(a);
  }
  return items;
}

COLORREF RichEditColorAt(HWND richEdit, int pos) {
  TRemoteBuffer remote(richEdit, sizeof(CHARFORMATA));
  if (!remote.Ok()) return CLR_INVALID;
  DWORD_PTR r = 0;
  SendMessageTimeoutA(richEdit, EM_SETSEL, static_cast<WPARAM>(pos), pos + 1, SMTO_ABORTIFHUNG, 5000, &r);
  CHARFORMATA cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_COLOR;
  remote.Write(&cf, sizeof cf);
  SendMessageTimeoutA(richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(remote.Ptr()),
                      SMTO_ABORTIFHUNG, 5000, &r);
  SendMessageTimeoutA(richEdit, EM_SETSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
  if (!remote.Read(&cf, sizeof cf)) return CLR_INVALID;
  return cf.crTextColor;
}

int ListViewCount(HWND list) {
  DWORD_PTR n = 0;
  SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &n);
  return static_cast<int>(n);
}

std::string ListViewText(HWND list, int row, int column) {
  const size_t textSize = 1024;
  TRemoteBuffer remote(list, sizeof(LVITEMA) + textSize);
  if (!remote.Ok()) return {};
  LVITEMA item{};
  item.iSubItem = column;
  item.cchTextMax = static_cast<int>(textSize);
  item.pszText = static_cast<char*>(remote.Ptr()) + sizeof(LVITEMA);
  remote.Write(&item, sizeof item);
  DWORD_PTR len = 0;
  SendMessageTimeoutA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.Ptr()),
                      SMTO_ABORTIFHUNG, 5000, &len);
  std::string s(textSize, '\0');
  remote.Read(s.data(), textSize, sizeof(LVITEMA));
  s.resize(strnlen(s.data(), textSize));
  return s;
}

RECT ListViewSubItemRect(HWND list, int row, int column) {
  RECT r{LVIR_BOUNDS, column, 0, 0};
  TRemoteBuffer remote(list, sizeof r);
  if (!remote.Ok() || !remote.Write(&r, sizeof r)) return RECT{};
  DWORD_PTR ok = 0;
  SendMessageTimeoutA(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.Ptr()),
                      SMTO_ABORTIFHUNG, 5000, &ok);
  if (!ok || !remote.Read(&r, sizeof r)) return RECT{};
  return r;
}

RECT HeaderItemRect(HWND header, int index) {
  RECT r{};
  TRemoteBuffer remote(header, sizeof r);
  if (!remote.Ok()) return r;
  DWORD_PTR ok = 0;
  SendMessageTimeoutA(header, HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.Ptr()),
                      SMTO_ABORTIFHUNG, 5000, &ok);
  if (!ok || !remote.Read(&r, sizeof r)) return RECT{};
  return r;
}

std::vector<int> HeaderOrder(HWND header) {
  DWORD_PTR n = 0;
  SendMessageTimeoutA(header, HDM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &n);
  if (n == 0 || n > 64) return {};
  std::vector<int> order(n);
  TRemoteBuffer remote(header, n * sizeof(int));
  if (!remote.Ok()) return {};
  DWORD_PTR ok = 0;
  SendMessageTimeoutA(header, HDM_GETORDERARRAY, n, reinterpret_cast<LPARAM>(remote.Ptr()), SMTO_ABORTIFHUNG, 5000,
                      &ok);
  if (!ok || !remote.Read(order.data(), n * sizeof(int))) return {};
  return order;
}

std::vector<std::string> ListViewColumns(HWND list) {
  std::vector<std::string> cols;
  const size_t textSize = 256;
  TRemoteBuffer remote(list, sizeof(LVCOLUMNA) + textSize);
  if (!remote.Ok()) return cols;
  for (int i = 0; i < 64; ++i) {
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    col.cchTextMax = static_cast<int>(textSize);
    col.pszText = static_cast<char*>(remote.Ptr()) + sizeof(LVCOLUMNA);
    remote.Write(&col, sizeof col);
    DWORD_PTR ok = 0;
    SendMessageTimeoutA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote.Ptr()),
                        SMTO_ABORTIFHUNG, 5000, &ok);
    if (!ok) break;
    std::string s(textSize, '\0');
    remote.Read(s.data(), textSize, sizeof(LVCOLUMNA));
    s.resize(strnlen(s.data(), textSize));
    cols.push_back(s);
  }
  return cols;
}

std::string StatusBarText(HWND statusBar, int part) {
  if (!statusBar) return {};
  DWORD_PTR len = 0;
  SendMessageTimeoutA(statusBar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0, SMTO_ABORTIFHUNG, 5000, &len);
  const size_t n = LOWORD(len) + 1;
  TRemoteBuffer remote(statusBar, n);
  if (!remote.Ok()) return {};
  DWORD_PTR r = 0;
  SendMessageTimeoutA(statusBar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(remote.Ptr()),
                      SMTO_ABORTIFHUNG, 5000, &r);
  std::string s(n, '\0');
  remote.Read(s.data(), n);
  s.resize(strnlen(s.data(), n));
  return s;
}

void DeleteRegistryKey(const std::string& key) { RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str()); }

void WriteRegistryString(const std::string& key, const std::string& name, const std::string& value) {
  HKEY k;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(k);
}

void WriteRegistryDword(const std::string& key, const std::string& name, DWORD value) {
  HKEY k;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(k, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(k);
}

bool ReadRegistryString(const std::string& key, const std::string& name, std::string& value) {
  char buf[4096];
  DWORD size = sizeof buf, type = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, &type, buf, &size) != ERROR_SUCCESS)
    return false;
  value.assign(buf, size ? size - 1 : 0);
  return true;
}

bool ReadRegistryDword(const std::string& key, const std::string& name, DWORD& value) {
  DWORD size = sizeof value;
  return RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) ==
         ERROR_SUCCESS;
}

bool RegistryKeyExists(const std::string& key) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

std::filesystem::path SaveScreenshot(const std::string& name) {
  const auto path = ScreenshotDir() / (name + ".bmp");
  qv::test::SaveScreenArea(qv::test::WholeScreen(), path);
  return path;
}

TTempFolder::TTempFolder(const std::string& prefix) {
  std::random_device rd;
  std::error_code ec;
  const auto base = std::filesystem::temp_directory_path(ec);
  for (int i = 0; i < 100; ++i) {
    auto p = base / (prefix + "_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(rd() % 1000000));
    if (std::filesystem::create_directory(p, ec)) {
      m_path = p;
      return;
    }
  }
}

TTempFolder::~TTempFolder() {
  std::error_code ec;
  if (!m_path.empty()) {
    // Read-only files left by a test must not keep the folder alive.
    for (const auto& e : std::filesystem::recursive_directory_iterator(m_path, ec))
      SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(m_path, ec);
  }
}

std::filesystem::path TTempFolder::Write(const std::string& name, const std::string& content) const {
  const auto p = m_path / name;
  std::ofstream out(p, std::ios::binary);
  out << content;
  return p;
}

std::string AnsiPath(const std::filesystem::path& p) {
  const std::wstring w = p.wstring();
  const int n = WideCharToMultiByte(1252, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(1252, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

}  // namespace qv::harness
