// Mutex, event, semaphore and critical sections seen from several threads,
// and the error the mutex raises.
#include "support/QcSynch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/QcErrors.h"

namespace qv::controls {
namespace {

std::string UniqueName(const char* what) {
  return std::string("QvSynchTest_") + what + "_" + std::to_string(GetCurrentProcessId());
}

TEST(QcSynch, WaitResultsMapAsTheSystemReportsThem) {
  EXPECT_EQ(WaitResultOf(WAIT_OBJECT_0), TQcWaitResult::Signaled);
  EXPECT_EQ(WaitResultOf(WAIT_ABANDONED), TQcWaitResult::Abandoned);
  EXPECT_EQ(WaitResultOf(WAIT_IO_COMPLETION), TQcWaitResult::IoCompletion);
  EXPECT_EQ(WaitResultOf(WAIT_TIMEOUT), TQcWaitResult::Timeout);
  EXPECT_EQ(WaitResultOf(WAIT_FAILED), TQcWaitResult::Error);
  EXPECT_EQ(static_cast<int>(TQcWaitResult::Abandoned), 0);
  EXPECT_EQ(static_cast<int>(TQcWaitResult::Signaled), 3);
  EXPECT_EQ(static_cast<int>(TQcWaitResult::Timeout), 4);
}

TEST(QcSynch, MutexExcludesOtherThreadsUntilReleased) {
  const std::string name = UniqueName("mutex");
  TQcMutex owner(nullptr, true, name);
  EXPECT_FALSE(owner.Existed());
  EXPECT_EQ(owner.Name(), name);

  TQcMutex second(nullptr, false, name);  // same object, opened again
  EXPECT_TRUE(second.Existed());

  TQcWaitResult whileHeld{}, afterRelease{};
  std::atomic<bool> tried{false}, released{false};
  std::thread t([&] {
    whileHeld = second.WaitFor(50);
    tried = true;
    while (!released) Sleep(1);
    afterRelease = second.WaitFor(5000);
    second.Release();
  });
  // Released only once the thread has tried: it may start late on a busy machine.
  while (!tried) Sleep(1);
  EXPECT_TRUE(owner.Release());
  released = true;
  t.join();
  EXPECT_EQ(whileHeld, TQcWaitResult::Timeout);
  EXPECT_EQ(afterRelease, TQcWaitResult::Signaled);
  // The thread released it: free again here.
  EXPECT_EQ(owner.WaitFor(0), TQcWaitResult::Signaled);
  EXPECT_TRUE(owner.Release());
  // A mutex not held cannot be released.
  EXPECT_FALSE(owner.Release());
}

TEST(QcSynch, MutexLeftByAnEndedThreadIsAbandoned) {
  TQcMutex m(nullptr, false, UniqueName("abandoned"));
  std::thread([&] { EXPECT_EQ(m.WaitFor(0), TQcWaitResult::Signaled); }).join();  // ends holding it
  EXPECT_EQ(m.WaitFor(1000), TQcWaitResult::Abandoned);
  // The waiter owns it now and can release it normally.
  EXPECT_TRUE(m.Release());
}

TEST(QcSynch, MutexRecursiveOwnershipNeedsAsManyReleases) {
  TQcMutex m(nullptr, false, "");
  ASSERT_EQ(m.WaitFor(0), TQcWaitResult::Signaled);
  ASSERT_EQ(m.WaitFor(0), TQcWaitResult::Signaled);
  EXPECT_TRUE(m.Release());
  TQcWaitResult other{};
  std::thread([&] { other = m.WaitFor(0); }).join();
  EXPECT_EQ(other, TQcWaitResult::Timeout);
  EXPECT_TRUE(m.Release());
  std::thread([&] {
    other = m.WaitFor(0);
    m.Release();
  }).join();
  EXPECT_EQ(other, TQcWaitResult::Signaled);
}

TEST(QcSynch, MutexFailureRaisesTheWin32ErrorWithCallerText) {
  // A name in a namespace that does not exist cannot be created.
  try {
    TQcMutex m(nullptr, false, "NoSuchNamespace\\Mutex");
    FAIL() << "mutex created";
  } catch (const EQcMutexError& e) {
    EXPECT_NE(e.LastError(), 0u);
    const std::string text = e.what();
    EXPECT_EQ(text.rfind("Win32 error: ", 0), 0u) << text;
    const std::string tail = " (" + std::to_string(e.LastError()) + ")\r\nFailed to create mutex";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << text;
    EXPECT_EQ(text, "Win32 error: " + e.LastErrorMessage() + tail);
  }
}

TEST(QcSynch, Win32ErrorFormatsTheSystemTextAndCode) {
  const EQcWin32Error e("Appel", ERROR_ACCESS_DENIED);
  EXPECT_EQ(e.LastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(e.LastErrorMessage().empty());
  EXPECT_EQ(std::string(e.what()), "Win32 error: " + e.LastErrorMessage() + " (5)\r\nAppel");
  // Taken from the thread's last error when no code is given.
  SetLastError(ERROR_FILE_NOT_FOUND);
  const EQcWin32Error last("x");
  EXPECT_EQ(last.LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(QcSynch, AutoResetEventWakesOneWaiterPerSignal) {
  TQcEvent ev(nullptr, false, false, "");
  std::atomic<int> woken{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 3; ++i)
    waiters.emplace_back([&] {
      if (ev.WaitFor(20000) == TQcWaitResult::Signaled) ++woken;
    });
  Sleep(50);
  EXPECT_EQ(woken.load(), 0);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(ev.SetEvent());
    for (int spin = 0; spin < 2000 && woken.load() < i + 1; ++spin) Sleep(5);
    EXPECT_EQ(woken.load(), i + 1);  // never two for one signal
  }
  for (auto& t : waiters) t.join();
  EXPECT_EQ(ev.WaitFor(0), TQcWaitResult::Timeout);  // consumed
}

TEST(QcSynch, ManualResetEventReleasesEveryWaiterUntilReset) {
  const std::string name = UniqueName("event");
  TQcEvent ev(nullptr, true, false, name);
  EXPECT_FALSE(ev.Existed());
  TQcEvent again(nullptr, true, false, name);
  EXPECT_TRUE(again.Existed());

  std::atomic<int> woken{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 4; ++i)
    waiters.emplace_back([&] {
      if (again.WaitFor(20000) == TQcWaitResult::Signaled) ++woken;
    });
  Sleep(50);
  ASSERT_TRUE(ev.SetEvent());
  for (auto& t : waiters) t.join();
  EXPECT_EQ(woken.load(), 4);
  EXPECT_EQ(ev.WaitFor(0), TQcWaitResult::Signaled);  // still set
  ASSERT_TRUE(ev.ResetEvent());
  EXPECT_EQ(again.WaitFor(10), TQcWaitResult::Timeout);
}

TEST(QcSynch, SemaphoreCountsAndRefusesToPassItsMaximum) {
  TQcSemaphore sem(nullptr, 2, 3, "");
  EXPECT_EQ(sem.WaitFor(0), TQcWaitResult::Signaled);
  EXPECT_EQ(sem.WaitFor(0), TQcWaitResult::Signaled);
  EXPECT_EQ(sem.WaitFor(0), TQcWaitResult::Timeout);
  long previous = -1;
  EXPECT_TRUE(sem.Release(3, &previous));
  EXPECT_EQ(previous, 0);
  EXPECT_FALSE(sem.Release(1));  // would be 4 of 3
  // Of the count of 3, a pool of threads gets exactly three.
  std::atomic<int> got{0};
  std::vector<std::thread> takers;
  for (int i = 0; i < 6; ++i)
    takers.emplace_back([&] {
      if (sem.WaitFor(100) == TQcWaitResult::Signaled) ++got;
    });
  for (auto& t : takers) t.join();
  EXPECT_EQ(got.load(), 3);
  EXPECT_THROW(TQcSemaphore(nullptr, 2, 1, ""), EQcWin32Error);  // initial above maximum
}

TEST(QcSynch, CriticalSectionsSerialiseIncrements) {
  TQcCriticalSection cs;
  TQcIntfCriticalSection intf;
  long plain = 0, viaRef = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        cs.Enter();
        long v = plain;
        plain = v + 1;
        cs.Leave();
        auto held = intf.Acquire();
        long w = viaRef;
        viaRef = w + 1;
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(plain, 80000);
  EXPECT_EQ(viaRef, 80000);
}

TEST(QcSynch, InterfaceSectionIsHeldExactlyWhileAReferenceLives) {
  TQcIntfCriticalSection intf;
  std::atomic<int> phase{0};
  std::atomic<bool> entered{false};
  std::thread t;
  {
    auto held = intf.Acquire();
    auto moved = std::move(held);  // still one hold, not two
    t = std::thread([&] {
      phase = 1;
      auto mine = intf.Acquire();
      entered = true;
    });
    while (phase.load() == 0) Sleep(1);
    Sleep(50);
    EXPECT_FALSE(entered.load());
  }
  t.join();
  EXPECT_TRUE(entered.load());
}

TEST(QcSynch, DispatcherObjectClosesItsHandle) {
  HANDLE h = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  HANDLE dup = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), &dup, 0, FALSE, DUPLICATE_SAME_ACCESS));
  { TQcDispatcherObject owned(h); EXPECT_EQ(owned.WaitFor(0), TQcWaitResult::Signaled); }
  DWORD flags = 0;
  EXPECT_FALSE(GetHandleInformation(h, &flags));  // closed
  EXPECT_TRUE(GetHandleInformation(dup, &flags));
  CloseHandle(dup);
}

}  // namespace
}  // namespace qv::controls
