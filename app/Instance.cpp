// Single-instance hand-over.
#include "app/Instance.h"

#include <shellapi.h>

#include <algorithm>

namespace qv::app {

namespace {
HANDLE g_event = nullptr;
bool g_first = false;

std::string ToAnsi(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

struct EventCloser {
  ~EventCloser() {
    if (g_event) CloseHandle(g_event);
  }
} g_eventCloser;
}  // namespace

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> args;
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return args;
  for (int i = 1; i < argc; ++i) args.push_back(ToAnsi(argv[i]));
  LocalFree(argv);
  return args;
}

bool IsHelpSwitch(const std::string& arg) { return lstrcmpiA(arg.c_str(), "/noversion") == 0; }

bool FirstInstanceEvent(const std::string& name) {
  if (g_event) return g_first;
  g_event = CreateEventA(nullptr, FALSE, FALSE, name.c_str());
  g_first = GetLastError() != ERROR_ALREADY_EXISTS;
  return g_first;
}

std::optional<std::vector<unsigned char>> EncodeInstanceMessage(const std::string& text) {
  if (text.size() > 255) return std::nullopt;
  std::vector<unsigned char> block(256, 0);
  block[0] = static_cast<unsigned char>(text.size());
  std::copy(text.begin(), text.end(), block.begin() + 1);
  return block;
}

std::optional<std::string> DecodeInstanceMessage(const void* data, size_t size) {
  if (!data || size < 1) return std::nullopt;
  const auto* bytes = static_cast<const unsigned char*>(data);
  const size_t len = std::min<size_t>({bytes[0], size - 1, 255});
  return std::string(reinterpret_cast<const char*>(bytes + 1), len);
}

bool ActivateRunningInstance(const std::string& className, const std::string& title,
                             const std::vector<std::string>& args) {
  if (FirstInstanceEvent(title)) return false;
  // The other instance may still be starting (or ending): give its window a
  // moment to appear before starting as an instance of our own.
  HWND found = nullptr;
  for (int i = 0; i < 60 && !found; ++i) {
    found = FindWindowA(className.c_str(), title.c_str());
    if (!found) Sleep(50);
  }
  if (!found) return false;
  // The running window carries the program's taskbar button itself; the
  // hidden application window is left hidden, or it would show as a
  // second button.
  if (IsIconic(found)) ShowWindow(found, SW_RESTORE);
  SetForegroundWindow(found);
  if (!args.empty() && !IsHelpSwitch(args[0])) {
    if (auto block = EncodeInstanceMessage(args[0])) {
      COPYDATASTRUCT cds{};
      cds.dwData = 0;
      cds.cbData = static_cast<DWORD>(block->size());
      cds.lpData = block->data();
      DWORD_PTR result = 0;
      SendMessageTimeoutA(found, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_ABORTIFHUNG, 10000, &result);
    }
  }
  return true;
}

}  // namespace qv::app
