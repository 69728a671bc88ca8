// The reaper of workers that end after their owner let go; see WorkerRelease.h.
#include "services/WorkerRelease.h"

#include <windows.h>

#include "framework/Application.h"

namespace qv::controls {

namespace {

constexpr UINT kFreeWorker = WM_APP + 0x105;
std::atomic<HWND> g_reaper{nullptr};

LRESULT CALLBACK ReaperProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kFreeWorker) {
    delete reinterpret_cast<fw::TThread*>(lp);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

void TWorkerRelease::EnsureReaper() {
  if (g_reaper.load()) return;
  g_reaper = fw::CreateMessageWindow("TQxWorkerReaper", &ReaperProc);
}

void TWorkerRelease::WorkerEnds(fw::TThread& worker) {
  if (m_bits.fetch_or(kWorkerDone) & kOwnerGone) {
    if (HWND reaper = g_reaper.load()) PostMessageA(reaper, kFreeWorker, 0, reinterpret_cast<LPARAM>(&worker));
  }
}

}  // namespace qv::controls
