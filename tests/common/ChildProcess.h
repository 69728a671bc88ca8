// Runs the test program itself again as a child process, with only some of
// its tests and an environment variable that tells those tests they are the
// child (they skip themselves otherwise). For tests of what several
// processes share (named kernel objects, process exit).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace qv::test {

// The child's exit code; none when it could not be started or did not end
// within a minute.
inline std::optional<DWORD> RunThisProgramAgain(const std::string& gtestFilter, const char* variable,
                                                const std::string& value) {
  char exe[MAX_PATH] = {};
  if (!GetModuleFileNameA(nullptr, exe, sizeof exe)) return std::nullopt;
  std::string command = std::string("\"") + exe + "\" --gtest_filter=" + gtestFilter;
  if (!SetEnvironmentVariableA(variable, value.c_str())) return std::nullopt;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  SetEnvironmentVariableA(variable, nullptr);
  if (!started) return std::nullopt;
  std::optional<DWORD> code;
  if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) {
    DWORD c = 1;
    GetExitCodeProcess(pi.hProcess, &c);
    code = c;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

}  // namespace qv::test
