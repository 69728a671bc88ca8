// Internal to the folder monitor: the platform calls its worker makes, kept
// in one table so tests can make them fail on purpose. Not for other users.
// Tested by tests/services/QxNotify_test.cpp.
#pragma once

#include <windows.h>

namespace qv::controls::detail {

struct TNotifyApi {
  HANDLE(WINAPI* FindFirst)(LPCSTR folder, BOOL watchSubtree, DWORD filter);
  BOOL(WINAPI* FindNext)(HANDLE change);
  BOOL(WINAPI* FindClose)(HANDLE change);
  DWORD(WINAPI* Wait)(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);
  // Called by a worker after its loop and clean-up, just before it hands
  // itself over to be freed; null in the program.
  void (*BeforeRelease)();
};

// The table in use; swap entries only while no worker runs.
TNotifyApi& NotifyApi();
// The table of the real platform calls.
const TNotifyApi& PlatformNotifyApi();

}  // namespace qv::controls::detail
