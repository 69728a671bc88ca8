// Who frees a worker thread object that its owner may let go of before the
// worker ends: whichever of the two lets go second. A worker cannot free
// itself (its destructor joins it), so a worker that ends second hands
// itself to a message-only window of the main thread, which frees it.
// Used by the folder monitor (QxNotify.h) and the shell tree's one-shot
// watcher (controls/shell/FileChange.h).
// Example:  m_release.WorkerEnds(*this);   // last step of Execute
//           if (m_release.OwnerLetsGo()) delete this;   // owner side
// Tested by tests/services/QxNotify_test.cpp and tests/controls/shell/FileChange_test.cpp.
#pragma once

#include <atomic>

#include "framework/Thread.h"

namespace qv::controls {

class TWorkerRelease {
public:
  // The owner lets go. True when the worker has ended already: the caller
  // frees it now (the join is immediate).
  bool OwnerLetsGo() { return (m_bits.fetch_or(kOwnerGone) & kWorkerDone) != 0; }
  // Lets go for the owner, and tells whether the owner had let go before
  // (a report delivered on the main thread is then dropped).
  bool OwnerHadLetGo() { return (m_bits.fetch_or(kOwnerGone) & kOwnerGone) != 0; }
  // The worker's last step: when its owner has let go, the main thread's
  // reaper frees it. Nothing of the worker may be touched afterwards.
  void WorkerEnds(fw::TThread& worker);

  // Makes the reaper window on the main thread; call there before starting
  // a worker that may end second.
  static void EnsureReaper();

private:
  static constexpr unsigned kOwnerGone = 1, kWorkerDone = 2;
  std::atomic<unsigned> m_bits{0};
};

}  // namespace qv::controls
