// Whoever lets go second frees the worker: the owner at once when the
// worker has ended, else the main thread's reaper after the worker ends.
#include "services/WorkerRelease.h"

#include <gtest/gtest.h>

#include "tests/common/ControlTestSupport.h"

using namespace qv::controls;
using qv::test::App;
using qv::test::PumpUntil;

namespace {

std::atomic<int> g_alive{0};

// A worker that ends when its event is set.
class TProbe : public qv::fw::TThread {
public:
  TProbe() : m_go(CreateEventA(nullptr, TRUE, FALSE, nullptr)) { ++g_alive; }
  ~TProbe() override {
    SetEvent(m_go);
    WaitFor();
    CloseHandle(m_go);
    --g_alive;
  }
  void Go() { SetEvent(m_go); }
  TWorkerRelease Release;

protected:
  void Execute() override {
    WaitForSingleObject(m_go, 30000);
    Release.WorkerEnds(*this);
  }

private:
  HANDLE m_go;
};

TEST(TWorkerRelease, AWorkerThatEndsAfterItsOwnerLetGoIsFreedOnTheMainThread) {
  App();
  TWorkerRelease::EnsureReaper();
  auto* probe = new TProbe;
  ASSERT_TRUE(probe->Start());
  EXPECT_FALSE(probe->Release.OwnerLetsGo()) << "the worker still runs";
  probe->Go();
  EXPECT_TRUE(PumpUntil([] { return g_alive.load() == 0; }, 10000));
}

TEST(TWorkerRelease, AnOwnerThatLetsGoAfterTheWorkerEndedFreesItAtOnce) {
  App();
  TWorkerRelease::EnsureReaper();
  auto* probe = new TProbe;
  ASSERT_TRUE(probe->Start());
  probe->Go();
  ASSERT_TRUE(PumpUntil([probe] { return probe->Finished(); }, 10000));
  EXPECT_EQ(g_alive.load(), 1) << "nobody frees a worker its owner still holds";
  ASSERT_TRUE(probe->Release.OwnerLetsGo());
  delete probe;
  EXPECT_EQ(g_alive.load(), 0);
}

TEST(TWorkerRelease, OnlyTheFirstLettingGoOfTheOwnerCounts) {
  TWorkerRelease r;
  EXPECT_FALSE(r.OwnerHadLetGo());
  EXPECT_TRUE(r.OwnerHadLetGo());
  EXPECT_FALSE(r.OwnerLetsGo()) << "no worker has ended";
}

}  // namespace
