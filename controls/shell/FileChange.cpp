// The one-shot folder change watcher.
#include "controls/shell/FileChange.h"

#include "framework/Application.h"

namespace qv::controls {

namespace {

constexpr DWORD kPollMs = 10;
std::atomic<int> g_instances{0};
std::atomic<int> g_openHandles{0};

}  // namespace

DWORD FileChangeMask(TChangeFilter filter) {
  DWORD mask = filter & 0x1Fu;
  if (filter & fcSecurity) mask |= FILE_NOTIFY_CHANGE_SECURITY;
  return mask;
}

TFileChangeThread::TFileChangeThread(const std::string& folder, TChangeFilter filter, bool watchSubtree,
                                     TReport onChange)
    : m_folder(folder), m_watchSubtree(watchSubtree), m_filter(filter), m_onChange(std::move(onChange)) {
  ++g_instances;
}

TFileChangeThread::~TFileChangeThread() {
  fw::TThread::Terminate();
  WaitFor();
  --g_instances;
}

int TFileChangeThread::InstanceCount() { return g_instances.load(); }
int TFileChangeThread::OpenHandleCount() { return g_openHandles.load(); }

TFileChangeThread* TFileChangeThread::Create(const std::string& folder, TChangeFilter filter, bool watchSubtree,
                                             TReport onChange) {
  TWorkerRelease::EnsureReaper();
  auto* t = new TFileChangeThread(folder, filter, watchSubtree, std::move(onChange));
  if (!t->Start()) {
    delete t;
    return nullptr;
  }
  return t;
}

void TFileChangeThread::Terminate() {
  fw::TThread::Terminate();
  if (m_release.OwnerLetsGo()) delete this;  // the worker is over: the join is immediate
}

void TFileChangeThread::Execute() {
  HANDLE h = FindFirstChangeNotificationA(m_folder.c_str(), m_watchSubtree ? TRUE : FALSE, FileChangeMask(m_filter));
  if (h == INVALID_HANDLE_VALUE || h == nullptr) {
    m_error = GetLastError() ? GetLastError() : ERROR_INVALID_FUNCTION;
    m_cancelled = true;
  } else {
    ++g_openHandles;
    m_handle = h;
    for (;;) {
      const DWORD r = WaitForSingleObject(h, kPollMs);
      if (Terminated()) {
        m_cancelled = true;
        break;
      }
      // Signalled, or the wait failed: either way the folder is worth a look.
      if (r != WAIT_TIMEOUT) break;
    }
    FindCloseChangeNotification(h);
    m_handle = INVALID_HANDLE_VALUE;
    --g_openHandles;
  }
  if (!m_cancelled) Synchronize([this] { Deliver(); });
  // From here on the object belongs to whoever comes second.
  m_release.WorkerEnds(*this);
}

void TFileChangeThread::Deliver() {
  // An owner that has let go gets nothing; one that has not lets go now,
  // as the report tells it to forget the watcher.
  if (m_release.OwnerHadLetGo()) return;
  if (!m_onChange) return;
  try {
    m_onChange(*this);
  } catch (...) {
    if (fw::Application()) fw::Application()->HandleException(std::current_exception());
  }
}

}  // namespace qv::controls
