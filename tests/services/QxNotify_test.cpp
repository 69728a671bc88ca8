// The folder monitor on real folders under Wine: changes reported within a
// bounded wait, bursts merged, stops at every awkward moment (a change
// queued, inside OnChange, inside a modal loop, against a finishing
// worker), and the error paths, some forced through the worker's table of
// platform calls.
#include "services/QxNotify.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "framework/Form.h"
#include "framework/OSError.h"
#include "services/QxFileUtil.h"
#include "services/detail/NotifyApi.h"
#include "tests/common/ControlTestSupport.h"

using namespace qv::controls;
using qv::test::App;
using qv::test::PumpFor;
using qv::test::PumpUntil;
using qv::test::TTempFolder;

namespace {

constexpr int kWait = 3000;  // bound of every wait for a change

// A monitor on a temporary folder that counts its OnChange events.
struct TWatched {
  TTempFolder folder;
  TQxFolderMonitor monitor{&App()};
  int changes = 0;
  TWatched() {
    monitor.OnChange = [this](qv::fw::TComponent& sender) {
      EXPECT_EQ(&sender, &monitor);
      ++changes;
    };
    monitor.SetMonitorSubtree(false);
    monitor.SetFolderName(folder.Path());
  }
  // Waits (pumping) for the count to pass `before`.
  bool ChangeAfter(int before) {
    return PumpUntil([&] { return changes > before; }, kWait);
  }
};

// Restores the platform calls when a test that forced failures ends.
struct TApiGuard {
  ~TApiGuard() { detail::NotifyApi() = detail::PlatformNotifyApi(); }
};

// The worker's wait fails at once, as with a handle the system closed.
void FailEveryWait() {
  detail::NotifyApi().Wait = [](DWORD, const HANDLE*, BOOL, DWORD) -> DWORD {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  };
}

bool NoWorkersBeyond(int baseline) {
  return PumpUntil([&] { return TNotifyThread::InstanceCount() == baseline; }, kWait);
}

// Counts restarts (the one virtual of the monitor).
class TCountingMonitor : public TQxFolderMonitor {
public:
  using TQxFolderMonitor::TQxFolderMonitor;
  int restarts = 0;
  void RestartMonitor(bool active) override {
    ++restarts;
    TQxFolderMonitor::RestartMonitor(active);
  }
};

}  // namespace

TEST(QxFolderMonitor, DefaultsAndMasks) {
  TQxFolderMonitor m(&App());
  EXPECT_EQ(m.Filter().Byte(), 27);
  EXPECT_TRUE(m.MonitorSubtree());
  EXPECT_EQ(m.DelayTime(), 0u);
  EXPECT_FALSE(m.Active());
  EXPECT_EQ(m.LastError(), 0u);
  EXPECT_EQ(FolderChangeMask({fnFileName, fnSize, fnLastWrite}), 0x19u);
  EXPECT_EQ(FolderChangeMask({fnSecurity}), 0x100u);
  EXPECT_EQ(FolderChangeMask(TFileChangeFilters::FromByte(0xFF)), 0x17Fu);
  EXPECT_EQ(FolderChangeMask({}), 0u);
}

TEST(QxFolderMonitor, NoFolderMeansInactiveWithoutError) {
  TTempFolder dir;
  dir.Write("file.txt");
  TQxFolderMonitor m(&App());
  m.SetActive(true);  // empty name
  EXPECT_FALSE(m.Active());
  m.SetFolderName(dir.File("file.txt"));
  m.SetActive(true);
  EXPECT_FALSE(m.Active());
  m.SetFolderName(dir.File("missing"));
  m.SetActive(true);
  EXPECT_FALSE(m.Active());
  EXPECT_FALSE(FolderExists(dir.File("file.txt")));
  EXPECT_TRUE(FolderExists(dir.Path()));
}

TEST(QxFolderMonitor, ReportsCreatedRenamedAndDeletedFiles) {
  TWatched w;
  w.monitor.SetFilter({fnFileName});
  w.monitor.SetActive(true);
  ASSERT_TRUE(w.monitor.Active());

  int before = w.changes;
  w.folder.Write("a.txt");
  EXPECT_TRUE(w.ChangeAfter(before)) << "creation";
  PumpFor(50);
  before = w.changes;
  ASSERT_TRUE(MoveFileA(w.folder.File("a.txt").c_str(), w.folder.File("b.txt").c_str()));
  EXPECT_TRUE(w.ChangeAfter(before)) << "rename";
  PumpFor(50);
  before = w.changes;
  ASSERT_TRUE(DeleteFileA(w.folder.File("b.txt").c_str()));
  EXPECT_TRUE(w.ChangeAfter(before)) << "deletion";
  w.monitor.SetActive(false);
  EXPECT_FALSE(w.monitor.Active());
}

TEST(QxFolderMonitor, ReportsSizeAndWriteTimeChanges) {
  TWatched w;
  w.folder.Write("grow.txt", "1");
  w.monitor.SetFilter({fnSize, fnLastWrite});
  w.monitor.SetActive(true);
  PumpFor(50);
  const int before = w.changes;
  w.folder.Write("grow.txt", "longer content");
  EXPECT_TRUE(w.ChangeAfter(before));
}

TEST(QxFolderMonitor, SameValuesDoNotRestart) {
  TTempFolder dir;
  TCountingMonitor m(&App());
  m.SetFolderName(dir.Path());
  m.SetActive(true);
  ASSERT_TRUE(m.Active());
  const int restarts = m.restarts;
  m.SetActive(true);
  m.SetFolderName(dir.Path());
  m.SetFilter(m.Filter());
  m.SetMonitorSubtree(true);
  EXPECT_EQ(m.restarts, restarts);
  m.SetMonitorSubtree(false);
  EXPECT_EQ(m.restarts, restarts + 1);
  EXPECT_TRUE(m.Active());
}

TEST(QxFolderMonitor, MovingToAnotherFolder) {
  TWatched w;
  TTempFolder other;
  w.monitor.SetFolderName(other.Path());  // inactive stays inactive
  EXPECT_FALSE(w.monitor.Active());
  w.monitor.SetFolderName(w.folder.Path());
  w.monitor.SetActive(true);
  w.monitor.SetFolderName(other.Path());
  ASSERT_TRUE(w.monitor.Active());
  PumpFor(50);
  int before = w.changes;
  w.folder.Write("old.txt");
  PumpFor(200);
  EXPECT_EQ(w.changes, before) << "the old folder is no longer watched";
  other.Write("new.txt");
  EXPECT_TRUE(w.ChangeAfter(before));
  w.monitor.SetFolderName(other.File("gone"));  // silently inactive
  EXPECT_FALSE(w.monitor.Active());
}

TEST(QxFolderMonitor, DelayMergesABurstIntoOneChange) {
  TWatched w;
  w.monitor.SetDelayTime(300);
  w.monitor.SetActive(true);
  const auto start = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point reported{};
  w.monitor.OnChange = [&](qv::fw::TComponent&) {
    ++w.changes;
    reported = std::chrono::steady_clock::now();
  };
  std::thread burst([&] {
    for (int i = 0; i < 10; ++i) {
      w.folder.Write("f" + std::to_string(i) + ".txt");
      Sleep(10);
    }
  });
  EXPECT_TRUE(PumpUntil([&] { return w.changes > 0; }, kWait));
  burst.join();
  PumpFor(700);
  EXPECT_EQ(w.changes, 1);
  const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(reported - start).count();
  EXPECT_GE(waited, 250);
}

TEST(QxFolderMonitor, ZeroDelayDropsThePendingChange) {
  TWatched w;
  w.monitor.SetDelayTime(400);
  w.monitor.SetActive(true);
  w.folder.Write("x.txt");
  PumpFor(100);  // the change is handed over and waits in the timer
  EXPECT_EQ(w.monitor.DelayTime(), 400u);
  w.monitor.SetDelayTime(0);
  PumpFor(700);
  EXPECT_EQ(w.changes, 0);
  w.folder.Write("y.txt");
  EXPECT_TRUE(w.ChangeAfter(0)) << "without delay again";
}

TEST(QxFolderMonitor, StopWhileAChangeIsQueued) {
  const int baseline = TNotifyThread::InstanceCount();
  {
    TWatched w;
    w.monitor.SetActive(true);
    w.folder.Write("queued.txt");
    Sleep(200);  // no pumping: the worker now waits in the hand-over
    w.monitor.SetActive(false);
    EXPECT_FALSE(w.monitor.Active());
    PumpFor(300);
    EXPECT_EQ(w.changes, 0);
  }
  EXPECT_TRUE(NoWorkersBeyond(baseline));
}

TEST(QxFolderMonitor, StopFromInsideOnChangeDoesNotBlock) {
  const int baseline = TNotifyThread::InstanceCount();
  TWatched w;
  w.monitor.OnChange = [&](qv::fw::TComponent&) {
    ++w.changes;
    w.monitor.SetActive(false);
  };
  w.monitor.SetActive(true);
  w.folder.Write("a.txt");
  EXPECT_TRUE(w.ChangeAfter(0));
  EXPECT_FALSE(w.monitor.Active());
  EXPECT_TRUE(NoWorkersBeyond(baseline));
  w.folder.Write("b.txt");
  PumpFor(200);
  EXPECT_EQ(w.changes, 1);
}

TEST(QxFolderMonitor, ChangesArriveAndStopInsideAModalLoop) {
  const int baseline = TNotifyThread::InstanceCount();
  TWatched w;
  w.monitor.SetActive(true);
  qv::fw::TForm dialog(&App(), "TQxModalTest");
  dialog.SetClientSize(120, 60);
  w.monitor.OnChange = [&](qv::fw::TComponent&) {
    ++w.changes;
    EXPECT_TRUE(dialog.Modal());
    w.monitor.SetActive(false);
    dialog.SetModalResult(qv::fw::mrOk);
  };
  qv::test::Later(dialog, [&] { w.folder.Write("in-modal.txt"); });
  EXPECT_EQ(dialog.ShowModal(), qv::fw::mrOk);
  EXPECT_EQ(w.changes, 1);
  EXPECT_TRUE(NoWorkersBeyond(baseline));
}

TEST(QxFolderMonitor, StopWhileOnChangeRunsAModalLoop) {
  const int baseline = TNotifyThread::InstanceCount();
  TWatched w;
  w.monitor.SetActive(true);
  qv::fw::TForm dialog(&App(), "TQxModalTest");
  dialog.SetClientSize(120, 60);
  w.monitor.OnChange = [&](qv::fw::TComponent&) {
    ++w.changes;
    // The worker waits for this handler while the dialog runs; the stop
    // must neither wait for it nor free it under its feet.
    qv::test::Later(dialog, [&] {
      w.monitor.SetActive(false);
      dialog.SetModalResult(qv::fw::mrOk);
    });
    dialog.ShowModal();
  };
  w.folder.Write("a.txt");
  EXPECT_TRUE(w.ChangeAfter(0));
  EXPECT_FALSE(w.monitor.Active());
  EXPECT_TRUE(NoWorkersBeyond(baseline));
  EXPECT_EQ(w.changes, 1);
}

TEST(QxFolderMonitor, AFailingHandlerDoesNotEndTheWatch) {
  TWatched w;
  w.monitor.OnChange = [&](qv::fw::TComponent&) {
    ++w.changes;
    throw qv::fw::EQvError("handler failed");
  };
  w.monitor.SetFilter({fnFileName});
  w.monitor.SetActive(true);
  const size_t shown = qv::test::ShownErrors().size();
  w.folder.Write("a.txt");
  ASSERT_TRUE(w.ChangeAfter(0));
  PumpFor(50);
  const int before = w.changes;
  w.folder.Write("b.txt");
  EXPECT_TRUE(w.ChangeAfter(before));
  EXPECT_TRUE(w.monitor.Active());
  ASSERT_GT(qv::test::ShownErrors().size(), shown);
  EXPECT_EQ(qv::test::ShownErrors().back(), "handler failed");
}

TEST(QxFolderMonitor, AnUnwatchableFolderRaisesTheFrenchError) {
  TTempFolder dir;
  TQxFolderMonitor m(&App());
  m.SetFolderName(dir.Path());
  m.SetFilter({});
  try {
    m.SetActive(true);
    FAIL() << "no error";
  } catch (const qv::fw::EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), 87u);
    const std::string text = e.what();
    const std::string head =
        "Le rafra\xEE" "chissement automatique est incompatible avec le dossier s\xE9lectionn\xE9.\n\r"
        "Merci de le d\xE9sactiver. Erreur syst\xE8me. Code : 87. ";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.substr(head.size()), qv::fw::SysErrorMessage(87));
    EXPECT_FALSE(qv::fw::SysErrorMessage(87).empty());
  }
  EXPECT_FALSE(m.Active());
  EXPECT_EQ(m.LastError(), 87u);
}

TEST(QxFolderMonitor, AFailedFilterChangeKeepsTheOldWatch) {
  TWatched w;
  w.monitor.SetFilter({fnFileName});
  w.monitor.SetActive(true);
  EXPECT_THROW(w.monitor.SetFilter({}), qv::fw::EOSError);
  EXPECT_EQ(w.monitor.Filter(), TFileChangeFilters({fnFileName}));
  EXPECT_TRUE(w.monitor.Active());
  w.folder.Write("still.txt");
  EXPECT_TRUE(w.ChangeAfter(0));

  w.monitor.SetActive(false);
  EXPECT_NO_THROW(w.monitor.SetFilter({})) << "an inactive monitor opens nothing";
  EXPECT_THROW(w.monitor.SetActive(true), qv::fw::EOSError);
}

TEST(QxFolderMonitor, PlatformFailureEndsTheWorkerAndActiveSaysSo) {
  TApiGuard guard;
  detail::NotifyApi().FindNext = [](HANDLE) -> BOOL {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  };
  TWatched w;
  w.monitor.SetActive(true);
  ASSERT_TRUE(w.monitor.Active());
  w.folder.Write("a.txt");
  EXPECT_TRUE(w.ChangeAfter(0));
  EXPECT_TRUE(PumpUntil([&] { return !w.monitor.Active(); }, kWait));
  EXPECT_EQ(w.monitor.LastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  const int seen = w.changes;
  w.folder.Write("b.txt");
  PumpFor(200);
  EXPECT_EQ(w.changes, seen);

  detail::NotifyApi() = detail::PlatformNotifyApi();
  w.monitor.SetActive(true);  // restarts: it was not active
  EXPECT_TRUE(w.monitor.Active());
  EXPECT_EQ(w.monitor.LastError(), 0u);
  w.folder.Write("c.txt");
  EXPECT_TRUE(w.ChangeAfter(seen));
}

TEST(QxFolderMonitor, WaitFailureEndsTheWorker) {
  TApiGuard guard;
  FailEveryWait();
  const int baseline = TNotifyThread::InstanceCount();
  {
    TWatched w;
    w.monitor.SetActive(true);
    EXPECT_TRUE(PumpUntil([&] { return !w.monitor.Active(); }, kWait));
    EXPECT_EQ(w.monitor.LastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  }
  EXPECT_TRUE(NoWorkersBeyond(baseline));
}

namespace {
// Holds a finishing worker just before it hands itself over.
HANDLE g_hold = nullptr;
std::atomic<bool> g_atRelease{false};
void HoldBeforeRelease() {
  g_atRelease = true;
  WaitForSingleObject(g_hold, INFINITE);
}
}  // namespace

TEST(QxFolderMonitor, StopAfterTheWorkerFinishedFreesItAtOnce) {
  TApiGuard guard;
  FailEveryWait();
  const int baseline = TNotifyThread::InstanceCount();
  TWatched w;
  w.monitor.SetActive(true);
  ASSERT_TRUE(PumpUntil([&] { return !w.monitor.Active(); }, kWait));
  Sleep(50);  // the worker has handed itself over to its owner
  EXPECT_EQ(TNotifyThread::InstanceCount(), baseline + 1);
  w.monitor.RestartMonitor(false);
  EXPECT_EQ(TNotifyThread::InstanceCount(), baseline) << "freed by the owner, synchronously";
  PumpFor(50);
  EXPECT_EQ(TNotifyThread::InstanceCount(), baseline);
}

TEST(QxFolderMonitor, StopBeforeTheWorkerFinishedLetsItFreeItself) {
  TApiGuard guard;
  g_hold = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  g_atRelease = false;
  detail::NotifyApi().BeforeRelease = &HoldBeforeRelease;
  const int baseline = TNotifyThread::InstanceCount();
  {
    TWatched w;
    w.monitor.SetActive(true);
    w.monitor.SetActive(false);  // stop event: the loop ends, then waits in the hook
    ASSERT_TRUE(PumpUntil([] { return g_atRelease.load(); }, kWait));
    PumpFor(50);
    EXPECT_EQ(TNotifyThread::InstanceCount(), baseline + 1) << "the owner let go without freeing";
    SetEvent(g_hold);
    EXPECT_TRUE(NoWorkersBeyond(baseline));
  }
  CloseHandle(g_hold);
  g_hold = nullptr;
}

TEST(QxFolderMonitor, ManyRestartsUnderChangesLeaveNoWorker) {
  const int baseline = TNotifyThread::InstanceCount();
  TWatched w;
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    for (int i = 0; !stop; ++i) {
      w.folder.Write("churn" + std::to_string(i % 5) + ".txt", std::string(static_cast<size_t>(i % 7 + 1), 'z'));
      Sleep(1);
    }
  });
  for (int i = 0; i < 150; ++i) {
    w.monitor.SetActive(true);
    if (i % 3 == 0) App().ProcessMessages();
    if (i % 5 == 0) Sleep(2);
    w.monitor.SetActive(false);
  }
  stop = true;
  writer.join();
  EXPECT_TRUE(NoWorkersBeyond(baseline));
}

namespace {
class TLoadingForm : public qv::fw::TForm {
public:
  explicit TLoadingForm(qv::fw::TComponent* owner, const std::string& folder) : TForm(owner, "TQxLoadingForm") {
    Monitor = &Make<TQxFolderMonitor>("Monitor");
    Monitor->SetFolderName(folder);
    Monitor->SetActive(true);
    ActiveWhileLoading = Monitor->Active();
    FinishCreate();
  }
  TQxFolderMonitor* Monitor;
  bool ActiveWhileLoading = true;
};
}  // namespace

TEST(QxFolderMonitor, ActivationWaitsForTheLayout) {
  TTempFolder dir;
  TLoadingForm form(&App(), dir.Path());
  EXPECT_FALSE(form.ActiveWhileLoading);
  EXPECT_TRUE(form.Monitor->Active());
}

TEST(QxFolderMonitor, FreeingTheMonitorDropsAPendingChange) {
  TTempFolder dir;
  int changes = 0;
  {
    TQxFolderMonitor m(&App());
    m.OnChange = [&](qv::fw::TComponent&) { ++changes; };
    m.SetFolderName(dir.Path());
    m.SetDelayTime(200);
    m.SetActive(true);
    dir.Write("x.txt");
    PumpFor(80);
  }
  PumpFor(400);
  EXPECT_EQ(changes, 0);
}
