// Named shared memory: counted opens in one module, two views of one
// section, and a second process that sees and answers what the first wrote.
#include "support/QcSharedMemory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "framework/OSError.h"
#include "support/QcErrors.h"
#include "tests/common/ChildProcess.h"

namespace qv::controls {
namespace {

std::string UniqueName(const char* what) {
  return std::string("QvShmTest_") + what + "_" + std::to_string(GetCurrentProcessId());
}

struct TExchange {
  uint32_t Question;
  uint32_t Answer;
  char Text[32];
};

TEST(QcSharedMemory, SameNameTwiceGivesOneViewClosedOnTheSecondClose) {
  const std::string name = UniqueName("twice");
  void* first = nullptr;
  void* second = nullptr;
  EXPECT_EQ(OpenNamedMapping(first, name, 64, FILE_MAP_ALL_ACCESS), 0u);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(OpenNamedMapping(second, name, 64, FILE_MAP_ALL_ACCESS), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(second, first);
  static_cast<char*>(first)[10] = 'Q';

  void* keep = first;
  EXPECT_TRUE(CloseNamedMapping(first));
  EXPECT_EQ(first, nullptr);
  MEMORY_BASIC_INFORMATION info{};
  ASSERT_TRUE(VirtualQuery(keep, &info, sizeof info));
  EXPECT_EQ(info.State, static_cast<DWORD>(MEM_COMMIT));  // still mapped for the second open
  EXPECT_EQ(static_cast<char*>(keep)[10], 'Q');

  EXPECT_TRUE(CloseNamedMapping(second));
  ASSERT_TRUE(VirtualQuery(keep, &info, sizeof info));
  EXPECT_NE(info.State, static_cast<DWORD>(MEM_COMMIT));  // unmapped now
  // Nothing left under that view, and an empty view closes trivially.
  EXPECT_FALSE(CloseNamedMapping(keep));
  void* none = nullptr;
  EXPECT_TRUE(CloseNamedMapping(none));

  // The section is gone with its last handle: opening it with size 0 fails.
  void* again = nullptr;
  try {
    OpenNamedMapping(again, name, 0, FILE_MAP_ALL_ACCESS);
    FAIL() << "opened a section that should be gone";
  } catch (const ESharedMemError& e) {
    EXPECT_EQ(std::string(e.what()), "The MMF named \"" + name + "\" cannot be created empty");
  }
  EXPECT_EQ(again, nullptr);
}

TEST(QcSharedMemory, TwoMappingsOfOneSectionSeeEachOthersWrites) {
  const std::string name = UniqueName("two");
  void* view = nullptr;
  ASSERT_EQ(OpenNamedMapping(view, name, sizeof(TExchange), FILE_MAP_ALL_ACCESS), 0u);
  // A second, independent mapping of the same section, as another module
  // that does not share our list would make it.
  HANDLE other = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
  ASSERT_NE(other, nullptr);
  auto* second = static_cast<TExchange*>(MapViewOfFile(other, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(TExchange)));
  ASSERT_NE(second, nullptr);
  EXPECT_NE(static_cast<void*>(second), view);

  static_cast<TExchange*>(view)->Question = 0xC0FFEE;
  EXPECT_EQ(second->Question, 0xC0FFEEu);
  std::strcpy(second->Text, "réponse");
  EXPECT_STREQ(static_cast<TExchange*>(view)->Text, "réponse");

  UnmapViewOfFile(second);
  CloseHandle(other);
  EXPECT_TRUE(CloseNamedMapping(view));
}

TEST(QcSharedMemory, NamesDifferingInCaseAreDifferentSections) {
  // The system tells them apart, so sharing one view for both would hand
  // one section's bytes to the other's users.
  const std::string lower = UniqueName("case");
  std::string upper = lower;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  void* a = nullptr;
  void* b = nullptr;
  ASSERT_EQ(OpenNamedMapping(a, lower, 16, FILE_MAP_ALL_ACCESS), 0u);
  ASSERT_EQ(OpenNamedMapping(b, upper, 16, FILE_MAP_ALL_ACCESS), 0u);
  EXPECT_NE(a, b);
  static_cast<char*>(a)[0] = 'a';
  static_cast<char*>(b)[0] = 'B';
  EXPECT_EQ(static_cast<char*>(a)[0], 'a');
  EXPECT_TRUE(CloseNamedMapping(a));
  EXPECT_TRUE(CloseNamedMapping(b));
}

TEST(QcSharedMemory, LargerRequestIsNotServedBySmallerOpenView) {
  // A view of 16 bytes handed to a caller that asked for 8192 would let it
  // write past the mapping; it gets a view of its own size instead, or the
  // system's refusal when the section is smaller than asked.
  const std::string name = UniqueName("size");
  void* small = nullptr;
  void* large = nullptr;
  ASSERT_EQ(OpenNamedMapping(small, name, 16, FILE_MAP_ALL_ACCESS), 0u);
  try {
    const DWORD r = OpenNamedMapping(large, name, 1 << 20, FILE_MAP_ALL_ACCESS);
    EXPECT_EQ(r, static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    ASSERT_NE(large, nullptr);
    EXPECT_NE(large, small);
    MEMORY_BASIC_INFORMATION info{};
    ASSERT_TRUE(VirtualQuery(large, &info, sizeof info));
    EXPECT_GE(info.RegionSize, static_cast<SIZE_T>(1 << 20));
    EXPECT_TRUE(CloseNamedMapping(large));
  } catch (const qv::fw::EOSError&) {
    EXPECT_EQ(large, nullptr);
  }
  // A smaller request shares the open view.
  void* smaller = nullptr;
  EXPECT_EQ(OpenNamedMapping(smaller, name, 8, FILE_MAP_ALL_ACCESS), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(smaller, small);
  EXPECT_TRUE(CloseNamedMapping(smaller));
  EXPECT_TRUE(CloseNamedMapping(small));
}

TEST(QcSharedMemory, CopyOnWriteViewKeepsItsWritesPrivate) {
  const std::string name = UniqueName("copy");
  void* shared = nullptr;
  void* copy = nullptr;
  void* shared2 = nullptr;
  ASSERT_EQ(OpenNamedMapping(shared, name, 4096, FILE_MAP_ALL_ACCESS), 0u);
  static_cast<char*>(shared)[0] = 'A';
  // FILE_MAP_COPY's bits are within FILE_MAP_ALL_ACCESS, yet the shared
  // view must not serve it.
  ASSERT_EQ(OpenNamedMapping(copy, name, 4096, FILE_MAP_COPY), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_NE(copy, shared);
  EXPECT_EQ(static_cast<char*>(copy)[0], 'A');
  static_cast<char*>(copy)[0] = 'B';
  EXPECT_EQ(static_cast<char*>(shared)[0], 'A');
  // Nor does the private view serve a shared request.
  ASSERT_EQ(OpenNamedMapping(shared2, name, 4096, FILE_MAP_WRITE), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(shared2, shared);
  EXPECT_TRUE(CloseNamedMapping(shared2));
  EXPECT_TRUE(CloseNamedMapping(copy));
  EXPECT_TRUE(CloseNamedMapping(shared));
}

TEST(QcSharedMemory, InvalidNamesAndProtections) {
  void* v = nullptr;
  try {
    OpenNamedMapping(v, "", 16, FILE_MAP_ALL_ACCESS);
    FAIL();
  } catch (const ESharedMemError& e) {
    EXPECT_STREQ(e.what(), "Invalid MMF name \"\"");
  }
  EXPECT_THROW(detail::CheckMappingName("Global\\x", true), ESharedMemError);
  EXPECT_NO_THROW(detail::CheckMappingName("Local\\x", false));
  try {
    detail::CheckMappingName("a\\b", true);
  } catch (const ESharedMemError& e) {
    EXPECT_STREQ(e.what(), "Invalid MMF name \"a\\b\"");
  }
  EXPECT_EQ(detail::MappingProtection(FILE_MAP_COPY, true), static_cast<DWORD>(PAGE_WRITECOPY));
  EXPECT_EQ(detail::MappingProtection(FILE_MAP_COPY, false), static_cast<DWORD>(PAGE_READWRITE));
  EXPECT_EQ(detail::MappingProtection(FILE_MAP_ALL_ACCESS, true), static_cast<DWORD>(PAGE_READWRITE));
}

TEST(QcSharedMemory, ConcurrentOpensAndClosesKeepTheCountsRight) {
  const std::string name = UniqueName("threads");
  void* anchor = nullptr;
  ASSERT_EQ(OpenNamedMapping(anchor, name, 64, FILE_MAP_ALL_ACCESS), 0u);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 200; ++i) {
        void* v = nullptr;
        OpenNamedMapping(v, name, 64, FILE_MAP_ALL_ACCESS);
        if (v != anchor) ADD_FAILURE() << "another view";
        InterlockedIncrement(static_cast<volatile LONG*>(v));
        CloseNamedMapping(v);
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(*static_cast<LONG*>(anchor), 800);
  EXPECT_TRUE(CloseNamedMapping(anchor));
}

// ---- Across processes -------------------------------------------------------

constexpr char kChildVariable[] = "QV_SHM_CHILD_NAME";

// Runs only as the child of the test below: answers the question it finds.
TEST(QcSharedMemoryChild, AnswersInTheParentsSection) {
  char name[256] = {};
  if (!GetEnvironmentVariableA(kChildVariable, name, sizeof name)) GTEST_SKIP() << "run by the cross-process test";
  void* view = nullptr;
  // It exists already: opened, not created, and size 0 is allowed then.
  ASSERT_EQ(OpenNamedMapping(view, name, 0, FILE_MAP_ALL_ACCESS), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  auto* x = static_cast<TExchange*>(view);
  x->Answer = x->Question * 2;
  std::strcpy(x->Text, "vu par l'enfant");
  EXPECT_TRUE(CloseNamedMapping(view));
}

TEST(QcSharedMemory, SecondProcessSeesAndAnswers) {
  const std::string name = UniqueName("process");
  void* view = nullptr;
  ASSERT_EQ(OpenNamedMapping(view, name, sizeof(TExchange), FILE_MAP_ALL_ACCESS), 0u);
  auto* x = static_cast<TExchange*>(view);
  x->Question = 21;

  const auto code = qv::test::RunThisProgramAgain("QcSharedMemoryChild.*", kChildVariable, name);
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, 0u);
  EXPECT_EQ(x->Answer, 42u);
  EXPECT_STREQ(x->Text, "vu par l'enfant");
  EXPECT_TRUE(CloseNamedMapping(view));
}

}  // namespace
}  // namespace qv::controls
