// The page heap of GuardedHeap.h, and the global operator new and delete
// that serve from it while a scope is open (from malloc otherwise).
#include "tests/common/GuardedHeap.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

// Addresses reserved once and handed out in order, never twice: a freed
// block's pages stay reserved and unreadable.
constexpr size_t kReserve = size_t{1} << 30;
constexpr size_t kPage = 4096;
// Each block's span is kept in front of it; 16 keeps the block aligned.
constexpr size_t kHeader = 16;

std::atomic<char*> g_base{nullptr};
std::atomic<size_t> g_next{0};
std::atomic<int> g_scopes{0};
std::atomic<long> g_live{0};

bool IsGuarded(const void* p) {
  const char* base = g_base.load();
  return base && static_cast<const char*>(p) >= base && static_cast<const char*>(p) < base + kReserve;
}

void* GuardedAllocate(size_t n) {
  char* base = g_base.load();
  if (!base || n > kReserve) return nullptr;
  const size_t span = (n + kHeader + kPage - 1) / kPage * kPage;
  const size_t at = g_next.fetch_add(span);
  if (at > kReserve - span) return nullptr;  // used up: ordinary blocks from here
  char* block = static_cast<char*>(VirtualAlloc(base + at, span, MEM_COMMIT, PAGE_READWRITE));
  if (!block) return nullptr;
  *reinterpret_cast<size_t*>(block) = span;
  ++g_live;
  return block + kHeader;
}

void* Allocate(size_t n) {
  if (g_scopes.load() > 0)
    if (void* p = GuardedAllocate(n)) return p;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}

void Release(void* p) {
  if (!p) return;
  if (!IsGuarded(p)) {
    std::free(p);
    return;
  }
  char* block = static_cast<char*>(p) - kHeader;
  const size_t span = *reinterpret_cast<size_t*>(block);
  VirtualFree(block, span, MEM_DECOMMIT);
  --g_live;
}

// A fault on our pages ends the program at once, with the reason: left to
// the usual handling it could be swallowed by a window procedure's frame,
// or wait on a debugger until the test times out.
LONG CALLBACK FaultOnFreedBlock(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* r = info->ExceptionRecord;
  if (r->ExceptionCode != EXCEPTION_ACCESS_VIOLATION || r->NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
  const void* at = reinterpret_cast<const void*>(r->ExceptionInformation[1]);
  if (!IsGuarded(at)) return EXCEPTION_CONTINUE_SEARCH;
  std::fprintf(stderr, "GuardedHeap: freed memory touched at %p (code at %p)\n", at, r->ExceptionAddress);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

namespace qv::test {

TGuardedHeap::TGuardedHeap() {
  if (!g_base.load()) {
    g_base = static_cast<char*>(VirtualAlloc(nullptr, kReserve, MEM_RESERVE, PAGE_NOACCESS));
    AddVectoredExceptionHandler(1, &FaultOnFreedBlock);
  }
  ++g_scopes;
}

TGuardedHeap::~TGuardedHeap() { --g_scopes; }

long TGuardedHeap::LiveBlocks() { return g_live.load(); }

}  // namespace qv::test

void* operator new(size_t n) { return Allocate(n); }
void* operator new[](size_t n) { return Allocate(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept {
  try {
    return Allocate(n);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](size_t n, const std::nothrow_t&) noexcept {
  try {
    return Allocate(n);
  } catch (...) {
    return nullptr;
  }
}
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
