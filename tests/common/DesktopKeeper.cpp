// Keeps the Wine desktop of a test session alive from before the first test
// until the session's server is killed. Not a test; started detached by
// tools/ctest-wine.sh.
//
// Why: the desktop process is started by the first program that needs the
// desktop, inherits that program's stderr, and lives until the desktop has
// had no user for a second. A test that happened to start it kept its output
// pipe open (so ctest saw it running) for as long as any other test used the
// desktop: minutes in a busy run, until the time-out. With this program as a
// user all along, the desktop is started once, here, with no pipe of a test.
//
// Usage: qv_desktop_keeper.exe <ready-file> [max-seconds]
// Writes "ready" to ready-file once the desktop is up; ends by itself after
// max-seconds (default 4 hours) should the session's end be missed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  // A message-only window makes this thread a desktop user without putting
  // anything on the screen or among the top-level windows tests look at.
  HWND keeper = CreateWindowExA(0, "STATIC", "QvDesktopKeeper", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (!keeper || !GetDesktopWindow()) return 1;
  if (argc > 1) {
    if (FILE* f = std::fopen(argv[1], "w")) {
      std::fputs("ready\n", f);
      std::fclose(f);
    }
  }
  const long maxSeconds = argc > 2 ? std::atol(argv[2]) : 4L * 3600;
  SetTimer(keeper, 1, static_cast<UINT>(maxSeconds > 0 ? maxSeconds : 1) * 1000u, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == keeper) break;
    DispatchMessageA(&msg);
  }
  DestroyWindow(keeper);
  return 0;
}
