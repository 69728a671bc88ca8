// The process's unit-version registry: every service unit records its
// version when it starts and drops its module's records when it ends. All
// modules of the process that carry this code share one registry, found
// through a mutex "MutexZUD_UnitVersioning_<pid>" and a shared slot
// "ShmZUD_UnitVersioning_<pid>" that holds the registry's address.
// Example (in a unit's .cpp):
//   const TUnitVersionInfo kUnitVersion = {"file.cpp", "1.0", "", "QCL\\source\\common", "", nullptr};
//   const TUnitVersionRegistration kRegistration(kUnitVersion);
// Nothing in the program reads the records. The slot is cleared only by
// the module that created the registry, and trusted only when it was
// written by this very process (the process id alone can be a reused one).
// Tested by tests/support/QcUnitVersioning_test.cpp.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/QcSynch.h"

namespace qv::controls {

// One unit's version record (static data of the unit).
struct TUnitVersionInfo {
  const char* RCSfile;  // where the unit's source lives
  const char* Revision;
  const char* Date;
  const char* LogPath;
  const char* Extra;
  void* Data;
};

class TUnitVersion {
public:
  explicit TUnitVersion(const TUnitVersionInfo* info) : m_info(info) {}
  const TUnitVersionInfo* Info() const { return m_info; }
  std::string RCSfile() const { return m_info->RCSfile ? m_info->RCSfile : ""; }
  std::string Revision() const { return m_info->Revision ? m_info->Revision : ""; }
  std::string Date() const { return m_info->Date ? m_info->Date : ""; }
  std::string LogPath() const { return m_info->LogPath ? m_info->LogPath : ""; }

private:
  const TUnitVersionInfo* m_info;
};

class TUnitVersioningModule {
public:
  explicit TUnitVersioningModule(HINSTANCE instance) : m_instance(instance) {}
  HINSTANCE Instance() const { return m_instance; }
  int Count() const { return static_cast<int>(m_items.size()); }
  const TUnitVersion& Item(int i) const { return *m_items.at(static_cast<size_t>(i)); }
  bool Holds(const TUnitVersionInfo* info) const;
  void Add(const TUnitVersionInfo* info);

private:
  HINSTANCE m_instance;
  std::vector<std::unique_ptr<TUnitVersion>> m_items;
};

// Told of every module that is dropped.
class TUnitVersioningProvider {
public:
  virtual ~TUnitVersioningProvider() = default;
  virtual void ReleaseModule(HINSTANCE instance) = 0;
};

class TUnitVersioning {
public:
  TUnitVersioning() = default;
  TUnitVersioning(const TUnitVersioning&) = delete;
  TUnitVersioning& operator=(const TUnitVersioning&) = delete;

  // Other modules call these through the shared address: keep them first
  // and in this order.
  virtual void InsertRecord(HINSTANCE instance, const TUnitVersionInfo* info);
  virtual void DropModule(HINSTANCE instance);
  virtual ~TUnitVersioning() = default;

  void RegisterProvider(std::unique_ptr<TUnitVersioningProvider> provider);
  int ModuleCount() const { return static_cast<int>(m_modules.size()); }
  const TUnitVersioningModule& Module(int i) const { return *m_modules.at(static_cast<size_t>(i)); }
  const TUnitVersioningModule* FindModule(HINSTANCE instance) const;

private:
  std::vector<std::unique_ptr<TUnitVersioningModule>> m_modules;
  std::vector<std::unique_ptr<TUnitVersioningProvider>> m_providers;
};

// One module's access to the shared registry. The program has one (its
// own, below); tests make several to stand for several modules.
class TUnitVersionRegistryAccess {
public:
  // The process id names the shared objects; tests give ids of no process
  // so that their modules meet only each other.
  explicit TUnitVersionRegistryAccess(DWORD processId = GetCurrentProcessId());
  ~TUnitVersionRegistryAccess();  // Finalize()
  TUnitVersionRegistryAccess(const TUnitVersionRegistryAccess&) = delete;
  TUnitVersionRegistryAccess& operator=(const TUnitVersionRegistryAccess&) = delete;

  // The registry, or nothing after Finalize. For inspection only: use the
  // two operations below to change it.
  TUnitVersioning* Acquire();
  void AddRecord(HINSTANCE instance, const TUnitVersionInfo* info);
  void RemoveModule(HINSTANCE instance);
  // Clears the shared slot when this module created the registry, closes
  // the view, frees an own registry and the mutex; errors are ignored.
  void Finalize();

  bool OwnsRegistry() const { return m_owned; }
  bool Finalized() const { return m_finalized; }

private:
  class TLockedRegistry;
  TUnitVersioning* AcquireLocked();  // with the mutex held
  TUnitVersioning* Resolve(bool locked);

  DWORD m_processId;
  std::unique_ptr<TQcMutex> m_mutex;
  void* m_view = nullptr;
  TUnitVersioning* m_registry = nullptr;
  bool m_owned = false;
  bool m_finalized = false;
};

// The names of the shared objects for a process.
std::string UnitVersioningMutexName(DWORD processId);
std::string UnitVersioningSharedMemoryName(DWORD processId);

// This module's registry access (nothing after the module's end).
TUnitVersioning* AcquireUnitVersionRegistry();
void AddUnitVersionRecord(HINSTANCE instance, const TUnitVersionInfo* info);
void RemoveUnitVersionModule(HINSTANCE instance);

// This module's instance handle.
HINSTANCE ThisModuleInstance();

// A unit's start and end: registers the record with this module's
// instance, and drops the module's records when destroyed.
class TUnitVersionRegistration {
public:
  explicit TUnitVersionRegistration(const TUnitVersionInfo& info);
  ~TUnitVersionRegistration();
  TUnitVersionRegistration(const TUnitVersionRegistration&) = delete;
  TUnitVersionRegistration& operator=(const TUnitVersionRegistration&) = delete;
};

}  // namespace qv::controls
