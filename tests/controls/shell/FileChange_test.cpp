// The one-shot folder change watcher: its filter mask, one report for a
// burst of changes, no report after Terminate or for a missing folder, and
// no watcher or handle left behind.
#include <gtest/gtest.h>

#include "controls/shell/FileChange.h"
#include "tests/common/ListViewHost.h"

namespace fs = std::filesystem;
using namespace qv;
using namespace qv::test;
using controls::TFileChangeThread;

namespace {

bool NoWatcherLeft() {
  return PumpUntil([] { return TFileChangeThread::InstanceCount() == 0 && TFileChangeThread::OpenHandleCount() == 0; });
}

// The watch is in place once its change handle is open: a change made
// before that (the worker may start late on a busy machine) is not seen.
bool Watching() {
  return PumpUntil([] { return TFileChangeThread::OpenHandleCount() == 1; });
}

}  // namespace

TEST(FileChange, TheMaskTakesTheFiveLowFlagsAsTheyAreAndSecurityAsItsOwnBit) {
  using namespace controls;
  EXPECT_EQ(FileChangeMask(31), 0x1Fu);
  EXPECT_EQ(FileChangeMask(fcDirName), 0x2u);
  EXPECT_EQ(FileChangeMask(fcSecurity), 0x100u);
  EXPECT_EQ(FileChangeMask(fcSecurity | fcFileName), 0x101u);
  EXPECT_EQ(FileChangeMask(0xC0), 0u) << "bits above the six flags are ignored";
}

TEST(FileChange, ABurstOfChangesGivesOneReportOnTheMainThread) {
  App();
  TTempDir dir;
  int reports = 0;
  DWORD thread = 0;
  TFileChangeThread* w = TFileChangeThread::Create(AnsiPath(dir.Path()), controls::fcDirName, false,
                                                   [&](TFileChangeThread& t) {
                                                     ++reports;
                                                     thread = GetCurrentThreadId();
                                                     EXPECT_FALSE(t.Cancelled());
                                                   });
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(Watching());
  for (int i = 0; i < 5; ++i) fs::create_directory(dir.Path() / ("d" + std::to_string(i)));
  ASSERT_TRUE(PumpUntil([&] { return reports > 0; }));
  PumpUntil([] { return false; }, 200);
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(thread, GetCurrentThreadId());
  EXPECT_TRUE(NoWatcherLeft());
}

TEST(FileChange, AFilterOfDirectoryNamesIgnoresNewFiles) {
  App();
  TTempDir dir;
  int reports = 0;
  TFileChangeThread* w = TFileChangeThread::Create(AnsiPath(dir.Path()), controls::fcDirName, false,
                                                   [&](TFileChangeThread&) { ++reports; });
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(Watching());
  std::ofstream(dir.Path() / "file.txt") << "x";
  PumpUntil([] { return false; }, 300);
  EXPECT_EQ(reports, 0);
  w->Terminate();
  EXPECT_TRUE(NoWatcherLeft());
}

TEST(FileChange, TerminateEndsTheWatchWithoutAReport) {
  App();
  TTempDir dir;
  int reports = 0;
  TFileChangeThread* w = TFileChangeThread::Create(AnsiPath(dir.Path()), 31, false,
                                                   [&](TFileChangeThread&) { ++reports; });
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(Watching());
  w->Terminate();
  ASSERT_TRUE(PumpUntil([] { return TFileChangeThread::OpenHandleCount() == 0; }));
  fs::create_directory(dir.Path() / "late");
  PumpUntil([] { return false; }, 200);
  EXPECT_EQ(reports, 0);
  EXPECT_TRUE(NoWatcherLeft());
}

TEST(FileChange, AMissingFolderEndsAtOnceWithoutAReport) {
  App();
  TTempDir dir;
  int reports = 0;
  TFileChangeThread* w = TFileChangeThread::Create(AnsiPath(dir.Path() / "missing"), 31, false,
                                                   [&](TFileChangeThread&) { ++reports; });
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return w->Finished(); }));
  EXPECT_TRUE(w->Cancelled());
  EXPECT_NE(w->ErrorCode(), 0u);
  w->Terminate();  // the owner still lets go as usual
  EXPECT_EQ(reports, 0);
  EXPECT_TRUE(NoWatcherLeft());
}
