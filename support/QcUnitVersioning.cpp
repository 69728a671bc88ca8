// The unit-version registry and each module's access to it.
#include "support/QcUnitVersioning.h"

#include <algorithm>
#include <mutex>

#include "support/QcSharedMemory.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace qv::controls {

namespace {

// What the shared memory holds. The address alone is not enough: a slot
// left by an ended process whose id was reused (a third process can keep
// the mapping open) would point anywhere, so the slot also carries the
// creation time of the process that wrote it.
struct TSharedSlot {
  uint64_t Magic;
  TUnitVersioning* Registry;
  uint64_t ProcessStamp;
};
constexpr uint64_t kSlotMagic = 0x5156'5556'5245'4731ULL;

// Modules of one process hold the mutex only for a few list operations; a
// longer wait means a stranger holds it, and the module goes on alone.
constexpr DWORD kMutexWaitMs = 5000;

uint64_t ProcessStamp() {
  FILETIME creation{}, exit{}, kernel{}, user{};
  if (!GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user)) return 1;
  return (static_cast<uint64_t>(creation.dwHighDateTime) << 32) | creation.dwLowDateTime;
}

}  // namespace

// ---- Records --------------------------------------------------------------

bool TUnitVersioningModule::Holds(const TUnitVersionInfo* info) const {
  return std::any_of(m_items.begin(), m_items.end(), [&](const auto& v) { return v->Info() == info; });
}

void TUnitVersioningModule::Add(const TUnitVersionInfo* info) { m_items.push_back(std::make_unique<TUnitVersion>(info)); }

void TUnitVersioning::InsertRecord(HINSTANCE instance, const TUnitVersionInfo* info) {
  for (auto& m : m_modules) {
    if (m->Instance() != instance) continue;
    if (!m->Holds(info)) m->Add(info);
    return;
  }
  m_modules.push_back(std::make_unique<TUnitVersioningModule>(instance));
  m_modules.back()->Add(info);
}

void TUnitVersioning::DropModule(HINSTANCE instance) {
  for (size_t i = m_modules.size(); i-- > 0;) {
    if (m_modules[i]->Instance() != instance) continue;
    m_modules.erase(m_modules.begin() + static_cast<std::ptrdiff_t>(i));
    break;
  }
  for (auto& p : m_providers) p->ReleaseModule(instance);
}

void TUnitVersioning::RegisterProvider(std::unique_ptr<TUnitVersioningProvider> provider) {
  if (provider) m_providers.push_back(std::move(provider));
}

const TUnitVersioningModule* TUnitVersioning::FindModule(HINSTANCE instance) const {
  for (auto& m : m_modules)
    if (m->Instance() == instance) return m.get();
  return nullptr;
}

// ---- A module's access ----------------------------------------------------

std::string UnitVersioningMutexName(DWORD processId) {
  return "MutexZUD_UnitVersioning_" + std::to_string(processId);
}

std::string UnitVersioningSharedMemoryName(DWORD processId) {
  return "ShmZUD_UnitVersioning_" + std::to_string(processId);
}

// Holds the module's state lock and the process-wide mutex (when it could
// be had) for one operation on the registry.
class TUnitVersionRegistryAccess::TLockedRegistry {
public:
  explicit TLockedRegistry(TUnitVersionRegistryAccess& access) : m_access(access), m_state(StateLock()) {
    if (access.m_finalized) return;
    try {
      if (!access.m_mutex)
        access.m_mutex = std::make_unique<TQcMutex>(nullptr, false, UnitVersioningMutexName(access.m_processId));
      const TQcWaitResult r = access.m_mutex->WaitFor(kMutexWaitMs);
      m_locked = r == TQcWaitResult::Signaled || r == TQcWaitResult::Abandoned;
    } catch (...) {
      m_locked = false;  // no mutex: the module keeps a registry of its own
    }
  }
  ~TLockedRegistry() {
    if (m_locked) m_access.m_mutex->Release();
  }
  TLockedRegistry(const TLockedRegistry&) = delete;
  TLockedRegistry& operator=(const TLockedRegistry&) = delete;

  bool Locked() const { return m_locked; }

private:
  // One module's state is also guarded against its own threads.
  static std::recursive_mutex& StateLockObject() {
    static std::recursive_mutex* lock = new std::recursive_mutex;  // outlives every module end
    return *lock;
  }
  static std::unique_lock<std::recursive_mutex> StateLock() { return std::unique_lock(StateLockObject()); }

  TUnitVersionRegistryAccess& m_access;
  std::unique_lock<std::recursive_mutex> m_state;
  bool m_locked = false;
};

TUnitVersionRegistryAccess::TUnitVersionRegistryAccess(DWORD processId) : m_processId(processId) {}

TUnitVersionRegistryAccess::~TUnitVersionRegistryAccess() { Finalize(); }

TUnitVersioning* TUnitVersionRegistryAccess::AcquireLocked() {
  if (m_finalized) return nullptr;
  if (!m_view) {
    try {
      OpenNamedMapping(m_view, UnitVersioningSharedMemoryName(m_processId), sizeof(TSharedSlot),
                       FILE_MAP_ALL_ACCESS);
    } catch (...) {
      m_view = nullptr;
    }
  }
  if (!m_view) {
    if (!m_owned) {
      m_registry = new TUnitVersioning;
      m_owned = true;
    }
    return m_registry;
  }
  auto* slot = static_cast<TSharedSlot*>(m_view);
  const bool valid = slot->Magic == kSlotMagic && slot->Registry && slot->ProcessStamp == ProcessStamp();
  if (valid && !m_owned) {
    m_registry = slot->Registry;  // the first module's registry (read again each time: it may have ended)
  } else if (!valid) {
    if (!m_owned) {
      m_registry = new TUnitVersioning;
      m_owned = true;
    }
    slot->Magic = kSlotMagic;
    slot->Registry = m_registry;
    slot->ProcessStamp = ProcessStamp();
  }
  return m_registry;
}

TUnitVersioning* TUnitVersionRegistryAccess::Resolve(bool locked) {
  if (m_finalized) return nullptr;
  if (locked) return AcquireLocked();
  // Without the mutex another module's registry cannot be used safely.
  if (!m_owned) {
    m_registry = new TUnitVersioning;
    m_owned = true;
  }
  return m_registry;
}

TUnitVersioning* TUnitVersionRegistryAccess::Acquire() {
  TLockedRegistry lock(*this);
  return Resolve(lock.Locked());
}

void TUnitVersionRegistryAccess::AddRecord(HINSTANCE instance, const TUnitVersionInfo* info) {
  TLockedRegistry lock(*this);  // held across the change: the registry may be another module's
  if (TUnitVersioning* registry = Resolve(lock.Locked())) registry->InsertRecord(instance, info);
}

void TUnitVersionRegistryAccess::RemoveModule(HINSTANCE instance) {
  TLockedRegistry lock(*this);
  if (TUnitVersioning* registry = Resolve(lock.Locked())) registry->DropModule(instance);
}

void TUnitVersionRegistryAccess::Finalize() {
  bool freeRegistry = false;
  {
    TLockedRegistry lock(*this);
    if (m_finalized) return;
    m_finalized = true;
    freeRegistry = m_owned;
    try {
      if (m_view) {
        auto* slot = static_cast<TSharedSlot*>(m_view);
        if (m_owned && slot->Registry == m_registry) {
          if (lock.Locked()) {
            slot->Magic = 0;
            slot->Registry = nullptr;
            slot->ProcessStamp = 0;
          } else {
            // Another module may be using it and the slot cannot be
            // cleared safely: leave both for the process's end.
            freeRegistry = false;
          }
        }
        CloseNamedMapping(m_view);
        m_view = nullptr;
      }
    } catch (...) {
    }
  }
  if (freeRegistry) delete m_registry;
  m_registry = nullptr;
  m_owned = false;
  m_mutex.reset();
}

// ---- This module ----------------------------------------------------------

namespace {

constinit bool g_moduleEnded = false;

struct TModuleAccess {
  TUnitVersionRegistryAccess Access;
  ~TModuleAccess() { g_moduleEnded = true; }  // before Access finalises
};

TUnitVersionRegistryAccess* ModuleAccess() {
  if (g_moduleEnded) return nullptr;
  static TModuleAccess module;
  return &module.Access;
}

}  // namespace

HINSTANCE ThisModuleInstance() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

TUnitVersioning* AcquireUnitVersionRegistry() {
  TUnitVersionRegistryAccess* access = ModuleAccess();
  return access ? access->Acquire() : nullptr;
}

void AddUnitVersionRecord(HINSTANCE instance, const TUnitVersionInfo* info) {
  if (TUnitVersionRegistryAccess* access = ModuleAccess()) access->AddRecord(instance, info);
}

void RemoveUnitVersionModule(HINSTANCE instance) {
  if (TUnitVersionRegistryAccess* access = ModuleAccess()) access->RemoveModule(instance);
}

TUnitVersionRegistration::TUnitVersionRegistration(const TUnitVersionInfo& info) {
  AddUnitVersionRecord(ThisModuleInstance(), &info);
}

TUnitVersionRegistration::~TUnitVersionRegistration() { RemoveUnitVersionModule(ThisModuleInstance()); }

namespace {
const TUnitVersionInfo kUnitVersion = {"support/QcUnitVersioning.cpp", "3.2.0.0", "", "QCL\\source\\windows",
                                       "", nullptr};
const TUnitVersionRegistration kRegistration(kUnitVersion);
}  // namespace

}  // namespace qv::controls
