// The module's list of open named mappings.
#include "support/QcSharedMemory.h"

#include <atomic>

#include "support/QcErrors.h"
#include "support/QcSynch.h"
#include "support/QcSysInfo.h"

namespace qv::controls {

namespace {

struct TMappingNode {
  std::string Name;
  HANDLE Mapping = nullptr;
  void* View = nullptr;
  SIZE_T Size = 0;
  DWORD Access = 0;
  int Count = 1;
  TMappingNode* Next = nullptr;
};

// The lock and the list are never freed: the ends of other units (and
// threads still running while the process exits) may close mappings after
// this unit has ended, and must still find both valid.
constinit std::atomic<TQcIntfCriticalSection*> g_lock{nullptr};
constinit TMappingNode* g_head = nullptr;

TQcIntfCriticalSection& GlobalLock() {
  TQcIntfCriticalSection* cs = g_lock.load(std::memory_order_acquire);
  if (!cs) {
    auto* fresh = new TQcIntfCriticalSection;
    if (g_lock.compare_exchange_strong(cs, fresh, std::memory_order_acq_rel)) {
      cs = fresh;
    } else {
      delete fresh;  // another thread's lock won; cs holds it
    }
  }
  return *cs;
}

SIZE_T MappedSize(void* view) {
  MEMORY_BASIC_INFORMATION info{};
  return VirtualQuery(view, &info, sizeof info) ? info.RegionSize : 0;
}

// A copy-on-write view and a shared one are never exchanged: writes meant
// to stay private would reach the section, or the other way round.
bool SameWriteSharing(DWORD a, DWORD b) { return (a == FILE_MAP_COPY) == (b == FILE_MAP_COPY); }

TMappingNode* FindReusable(const std::string& name, DWORD size, DWORD access) {
  for (TMappingNode* n = g_head; n; n = n->Next)
    if (n->Name == name && n->Size >= size && (access & ~n->Access) == 0 && SameWriteSharing(access, n->Access))
      return n;
  return nullptr;
}

}  // namespace

namespace detail {

void CheckMappingName(const std::string& name, bool beforeWin2000) {
  // An empty name would make an unnamed mapping that the list then shares
  // under "" as if it had a name.
  if (name.empty() || (beforeWin2000 && name.find('\\') != std::string::npos))
    throw ESharedMemError("Invalid MMF name \"" + name + "\"");
}

DWORD MappingProtection(DWORD desiredAccess, bool win9x) {
  return (win9x && desiredAccess == FILE_MAP_COPY) ? PAGE_WRITECOPY : PAGE_READWRITE;
}

}  // namespace detail

DWORD OpenNamedMapping(void*& view, const std::string& name, DWORD size, DWORD desiredAccess) {
  const TQcSystemInfo& sys = SystemInfo();
  detail::CheckMappingName(name, sys.BeforeWin2000());
  auto held = GlobalLock().Acquire();

  if (TMappingNode* node = FindReusable(name, size, desiredAccess)) {
    ++node->Count;
    view = node->View;
    return ERROR_ALREADY_EXISTS;
  }

  DWORD result = 0;
  HANDLE mapping = OpenFileMappingA(desiredAccess, FALSE, name.c_str());
  if (mapping) {
    result = ERROR_ALREADY_EXISTS;
  } else {
    if (size == 0) throw ESharedMemError("The MMF named \"" + name + "\" cannot be created empty");
    mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, detail::MappingProtection(desiredAccess, sys.IsWin9x()),
                                 0, size, name.c_str());
    const DWORD error = GetLastError();
    if (!mapping) RaiseLastOSError(error);
    if (error == ERROR_ALREADY_EXISTS) result = ERROR_ALREADY_EXISTS;
  }

  void* mapped = MapViewOfFile(mapping, desiredAccess, 0, 0, size);
  if (!mapped) {
    const DWORD error = GetLastError();
    CloseHandle(mapping);
    RaiseLastOSError(error);
  }

  auto* node = new TMappingNode;
  node->Name = name;
  node->Mapping = mapping;
  node->View = mapped;
  node->Size = size ? size : MappedSize(mapped);
  node->Access = desiredAccess;
  node->Next = g_head;
  g_head = node;
  view = mapped;
  return result;
}

bool CloseNamedMapping(void*& view) {
  if (!view) return true;
  auto held = GlobalLock().Acquire();
  for (TMappingNode** link = &g_head; *link; link = &(*link)->Next) {
    TMappingNode* node = *link;
    if (node->View != view) continue;
    if (node->Count < 2) {
      UnmapViewOfFile(node->View);
      CloseHandle(node->Mapping);
      *link = node->Next;
      delete node;
    } else {
      --node->Count;
    }
    view = nullptr;
    return true;
  }
  return false;
}

}  // namespace qv::controls
