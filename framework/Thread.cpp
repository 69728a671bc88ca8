// Worker threads with a hand-over to the main thread.
#include "framework/Thread.h"

#include <process.h>

#include "framework/Application.h"

namespace qv::fw {

TThread::TThread() = default;

TThread::~TThread() {
  if (m_handle) {
    Terminate();
    WaitFor();
    CloseHandle(m_handle);
  }
}

bool TThread::Start() {
  if (m_handle) return false;
  m_handle = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &TThread::ThreadProc, this, 0, nullptr));
  return m_handle != nullptr;
}

unsigned __stdcall TThread::ThreadProc(void* p) {
  auto* self = static_cast<TThread*>(p);
  try {
    self->Execute();
  } catch (...) {
    // A worker's failure must not take the process down; the worker's own
    // code reports what it needs to before this point.
  }
  self->m_finished = true;
  return 0;
}

void TThread::WaitFor() {
  if (!m_handle) return;
  const bool mainThread = Application() && GetCurrentThreadId() == GetWindowThreadProcessId(Application()->Handle(), nullptr);
  if (!mainThread) {
    WaitForSingleObject(m_handle, INFINITE);
    return;
  }
  for (;;) {
    const DWORD r = MsgWaitForMultipleObjects(1, &m_handle, FALSE, INFINITE, QS_SENDMESSAGE);
    if (r == WAIT_OBJECT_0) break;
    // Only sent messages (the hand-over) are served here; posted input
    // stays queued for the loop.
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void TThread::Synchronize(const std::function<void()>& fn) {
  if (Application()) Application()->Synchronize(fn);
  else fn();
}

}  // namespace qv::fw
