// The unit-version registry: one per process, found by later modules
// through the named mutex and shared slot; records per module; providers
// told of dropped modules; release at the end; a real second module (a
// library loaded into this process).
#include "support/QcUnitVersioning.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <thread>
#include <vector>

#include "support/QcErrors.h"
#include "support/QcSharedMemory.h"
#include "tests/common/ChildProcess.h"

namespace qv::controls {
namespace {

// Ids of no running process (multiples of 4 above what Wine hands out), so
// that test modules meet only each other and never this process's registry.
DWORD FakeProcessId(int n) { return 0x3FFF0000u + 4u * static_cast<DWORD>(n); }

const TUnitVersionInfo kA = {"a.cpp", "$Revision: 1 $", "", "QCL\\source\\common", "", nullptr};
const TUnitVersionInfo kB = {"b.cpp", "$Revision: 2 $", "", "QCL\\source\\windows", "", nullptr};

HINSTANCE Instance(uintptr_t n) { return reinterpret_cast<HINSTANCE>(n * 0x10000); }

// The library that stands for a second module, beside this program.
std::string ModulePath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string dll = path;
  return dll.substr(0, dll.find_last_of("\\/") + 1) + "qv_unitversion_module.dll";
}

class TRecordingProvider : public TUnitVersioningProvider {
public:
  explicit TRecordingProvider(std::vector<HINSTANCE>& log) : m_log(log) {}
  void ReleaseModule(HINSTANCE instance) override { m_log.push_back(instance); }

private:
  std::vector<HINSTANCE>& m_log;
};

TEST(QcUnitVersioning, SharedObjectsAreNamedAfterTheProcess) {
  EXPECT_EQ(UnitVersioningMutexName(1234), "MutexZUD_UnitVersioning_1234");
  EXPECT_EQ(UnitVersioningSharedMemoryName(1234), "ShmZUD_UnitVersioning_1234");
}

TEST(QcUnitVersioning, RecordsGroupByModuleWithoutDuplicates) {
  TUnitVersioning reg;
  reg.InsertRecord(Instance(1), &kA);
  reg.InsertRecord(Instance(1), &kB);
  reg.InsertRecord(Instance(1), &kA);  // same record again: kept once
  reg.InsertRecord(Instance(2), &kA);
  ASSERT_EQ(reg.ModuleCount(), 2);
  const TUnitVersioningModule* m1 = reg.FindModule(Instance(1));
  ASSERT_NE(m1, nullptr);
  ASSERT_EQ(m1->Count(), 2);
  EXPECT_EQ(m1->Item(0).RCSfile(), "a.cpp");
  EXPECT_EQ(m1->Item(1).Revision(), "$Revision: 2 $");
  EXPECT_EQ(m1->Item(1).LogPath(), "QCL\\source\\windows");
  // An equal record elsewhere in memory is another record.
  const TUnitVersionInfo copyOfA = kA;
  reg.InsertRecord(Instance(1), &copyOfA);
  EXPECT_EQ(reg.FindModule(Instance(1))->Count(), 3);
}

TEST(QcUnitVersioning, DroppingTellsProvidersEvenOfUnknownModules) {
  std::vector<HINSTANCE> told;
  TUnitVersioning reg;
  reg.RegisterProvider(std::make_unique<TRecordingProvider>(told));
  reg.RegisterProvider(std::make_unique<TRecordingProvider>(told));
  reg.InsertRecord(Instance(1), &kA);
  reg.InsertRecord(Instance(2), &kB);

  reg.DropModule(Instance(7));  // never registered
  EXPECT_EQ(reg.ModuleCount(), 2);
  EXPECT_EQ(told, (std::vector<HINSTANCE>{Instance(7), Instance(7)}));

  told.clear();
  reg.DropModule(Instance(1));
  EXPECT_EQ(reg.ModuleCount(), 1);
  EXPECT_EQ(reg.FindModule(Instance(1)), nullptr);
  EXPECT_NE(reg.FindModule(Instance(2)), nullptr);
  EXPECT_EQ(told.size(), 2u);
}

TEST(QcUnitVersioning, SecondModuleFindsTheFirstModulesRegistry) {
  TUnitVersionRegistryAccess first(FakeProcessId(1));
  TUnitVersionRegistryAccess second(FakeProcessId(1));
  TUnitVersioning* reg = first.Acquire();
  ASSERT_NE(reg, nullptr);
  EXPECT_TRUE(first.OwnsRegistry());
  EXPECT_EQ(second.Acquire(), reg);
  EXPECT_FALSE(second.OwnsRegistry());

  first.AddRecord(Instance(1), &kA);
  second.AddRecord(Instance(2), &kB);
  EXPECT_EQ(reg->ModuleCount(), 2);
  second.RemoveModule(Instance(1));
  EXPECT_EQ(reg->ModuleCount(), 1);

  // A module of another process has a registry of its own.
  TUnitVersionRegistryAccess elsewhere(FakeProcessId(2));
  TUnitVersioning* other = elsewhere.Acquire();
  EXPECT_NE(other, reg);
  EXPECT_EQ(other->ModuleCount(), 0);
}

TEST(QcUnitVersioning, WithoutTheMutexEachModuleKeepsARegistryOfItsOwn) {
  // Another object holds the mutex's name: no module can have the mutex,
  // and none may then use or publish a registry another could reach.
  const DWORD pid = FakeProcessId(9);
  HANDLE squatter = CreateEventA(nullptr, TRUE, FALSE, UnitVersioningMutexName(pid).c_str());
  ASSERT_NE(squatter, nullptr);
  {
    TUnitVersionRegistryAccess first(pid);
    TUnitVersionRegistryAccess second(pid);
    TUnitVersioning* a = first.Acquire();
    TUnitVersioning* b = second.Acquire();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_TRUE(first.OwnsRegistry());
    EXPECT_TRUE(second.OwnsRegistry());
    first.AddRecord(Instance(1), &kA);
    second.AddRecord(Instance(2), &kB);
    EXPECT_EQ(a->ModuleCount(), 1);
    ASSERT_NE(a->FindModule(Instance(1)), nullptr);
    EXPECT_EQ(b->ModuleCount(), 1);
    ASSERT_NE(b->FindModule(Instance(2)), nullptr);
  }
  CloseHandle(squatter);
  // Once the name is free again, modules share one registry as usual.
  TUnitVersionRegistryAccess third(pid);
  TUnitVersionRegistryAccess fourth(pid);
  EXPECT_EQ(third.Acquire(), fourth.Acquire());
}

TEST(QcUnitVersioning, NonOwnerEndingLeavesTheRegistryToOthers) {
  // Were the slot cleared by any module that ends, a third module would
  // start a second registry while the first still lives.
  TUnitVersionRegistryAccess owner(FakeProcessId(3));
  TUnitVersioning* reg = owner.Acquire();
  {
    TUnitVersionRegistryAccess passer(FakeProcessId(3));
    passer.AddRecord(Instance(1), &kA);
  }  // finalised here
  TUnitVersionRegistryAccess third(FakeProcessId(3));
  EXPECT_EQ(third.Acquire(), reg);
  EXPECT_EQ(reg->ModuleCount(), 1);
}

TEST(QcUnitVersioning, OwnerEndingClearsTheSlotAndOthersGoOnSafely) {
  auto owner = std::make_unique<TUnitVersionRegistryAccess>(FakeProcessId(4));
  TUnitVersionRegistryAccess other(FakeProcessId(4));
  TUnitVersioning* first = owner->Acquire();
  ASSERT_EQ(other.Acquire(), first);
  owner.reset();  // frees its registry and clears the slot

  // The other module no longer reaches the freed registry: it starts its own.
  other.AddRecord(Instance(5), &kB);
  TUnitVersioning* now = other.Acquire();
  ASSERT_NE(now, nullptr);
  EXPECT_TRUE(other.OwnsRegistry());
  ASSERT_EQ(now->ModuleCount(), 1);
  EXPECT_NE(now->FindModule(Instance(5)), nullptr);
}

TEST(QcUnitVersioning, AfterFinalisingNothingIsAcquiredAndChangesAreIgnored) {
  TUnitVersionRegistryAccess access(FakeProcessId(5));
  access.AddRecord(Instance(1), &kA);
  access.Finalize();
  EXPECT_TRUE(access.Finalized());
  EXPECT_EQ(access.Acquire(), nullptr);
  access.AddRecord(Instance(1), &kA);  // no registry, no crash
  access.RemoveModule(Instance(1));
  access.Finalize();  // twice is harmless
  // The shared objects are gone with the last module.
  void* view = nullptr;
  EXPECT_THROW(OpenNamedMapping(view, UnitVersioningSharedMemoryName(FakeProcessId(5)), 0, FILE_MAP_ALL_ACCESS),
               ESharedMemError);
}

TEST(QcUnitVersioning, StaleSlotFromAnotherProcessIsNotTrusted) {
  // A process that ended with the same id may have left an address in a
  // mapping that somebody still holds open: following it would crash.
  const DWORD pid = FakeProcessId(6);
  void* planted = nullptr;
  ASSERT_EQ(OpenNamedMapping(planted, UnitVersioningSharedMemoryName(pid), 64, FILE_MAP_ALL_ACCESS), 0u);
  auto* words = static_cast<uint64_t*>(planted);
  words[0] = 0x5156'5556'5245'4731ULL;  // looks right ...
  words[1] = 0xDEADBEEF0;  // ... but points nowhere
  words[2] = 12345;  // written by another process
  {
    TUnitVersionRegistryAccess access(pid);
    TUnitVersioning* reg = access.Acquire();
    ASSERT_NE(reg, nullptr);
    EXPECT_NE(reinterpret_cast<uint64_t>(reg), 0xDEADBEEF0ULL);
    EXPECT_TRUE(access.OwnsRegistry());
    access.AddRecord(Instance(1), &kA);
    EXPECT_EQ(reg->ModuleCount(), 1);
  }
  EXPECT_TRUE(CloseNamedMapping(planted));
}

TEST(QcUnitVersioning, ModulesOnSeveralThreadsShareOneRegistry) {
  TUnitVersionRegistryAccess owner(FakeProcessId(7));
  TUnitVersioning* reg = owner.Acquire();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t] {
      TUnitVersionRegistryAccess module(FakeProcessId(7));
      for (int i = 0; i < 50; ++i) module.AddRecord(Instance(100 + static_cast<uintptr_t>(t)), &kA);
      module.AddRecord(Instance(200 + static_cast<uintptr_t>(t)), &kB);
      module.RemoveModule(Instance(200 + static_cast<uintptr_t>(t)));
    });
  for (auto& t : threads) t.join();
  ASSERT_EQ(reg->ModuleCount(), 4);
  for (int t = 0; t < 4; ++t) EXPECT_EQ(reg->FindModule(Instance(100 + static_cast<uintptr_t>(t)))->Count(), 1);
}

TEST(QcUnitVersioning, ThisProgramsUnitsAreRegistered) {
  TUnitVersioning* reg = AcquireUnitVersionRegistry();
  ASSERT_NE(reg, nullptr);
  const TUnitVersioningModule* self = reg->FindModule(ThisModuleInstance());
  ASSERT_NE(self, nullptr);
  std::vector<std::string> files;
  for (int i = 0; i < self->Count(); ++i) files.push_back(self->Item(i).RCSfile());
  EXPECT_NE(std::find(files.begin(), files.end(), "support/QcUnitVersioning.cpp"), files.end());
  EXPECT_NE(std::find(files.begin(), files.end(), "support/QcSynch.cpp"), files.end());
}

TEST(QcUnitVersioning, LoadedLibraryJoinsThisProcesssRegistryAndLeavesIt) {
  const std::string dll = ModulePath();
  TUnitVersioning* reg = AcquireUnitVersionRegistry();
  ASSERT_NE(reg, nullptr);
  const int before = reg->ModuleCount();

  HMODULE lib = LoadLibraryA(dll.c_str());
  ASSERT_NE(lib, nullptr) << dll << " error " << GetLastError();
  using TInstance = HINSTANCE (*)();
  using TRegistry = TUnitVersioning* (*)();
  using TRecord = const TUnitVersionInfo* (*)();
  auto instance = reinterpret_cast<TInstance>(reinterpret_cast<void*>(GetProcAddress(lib, "QvModuleInstance")));
  auto registry = reinterpret_cast<TRegistry>(reinterpret_cast<void*>(GetProcAddress(lib, "QvModuleRegistry")));
  auto record = reinterpret_cast<TRecord>(reinterpret_cast<void*>(GetProcAddress(lib, "QvModuleRecord")));
  ASSERT_TRUE(instance && registry && record);

  EXPECT_EQ(instance(), reinterpret_cast<HINSTANCE>(lib));
  EXPECT_EQ(registry(), reg);  // found through the shared slot, not a second one
  EXPECT_EQ(reg->ModuleCount(), before + 1);
  const TUnitVersioningModule* m = reg->FindModule(instance());
  ASSERT_NE(m, nullptr);
  EXPECT_TRUE(m->Holds(record()));

  const HINSTANCE gone = instance();
  ASSERT_TRUE(FreeLibrary(lib));
  EXPECT_EQ(reg->FindModule(gone), nullptr);
  EXPECT_EQ(reg->ModuleCount(), before);
  EXPECT_EQ(AcquireUnitVersionRegistry(), reg);  // ours lives on
}


constexpr char kChildVariable[] = "QV_UNITVERSION_CHILD";

// Runs only as the child of the test below: ends with the library loaded,
// so this program's registry is released before the library drops its
// records from it.
TEST(QcUnitVersioningChild, EndsWithTheLibraryStillLoaded) {
  char flag[8] = {};
  if (!GetEnvironmentVariableA(kChildVariable, flag, sizeof flag)) GTEST_SKIP() << "run by the exit test";
  ASSERT_NE(LoadLibraryA(ModulePath().c_str()), nullptr);
  ASSERT_NE(AcquireUnitVersionRegistry(), nullptr);
}

TEST(QcUnitVersioning, ProcessEndsCleanlyWhateverTheOrderModulesEnd) {
  const auto code = qv::test::RunThisProgramAgain("QcUnitVersioningChild.*", kChildVariable, "1");
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, 0u);  // a crash at the end shows as an exception code
}

}  // namespace
}  // namespace qv::controls
