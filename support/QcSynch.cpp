// Waitable handles and the named mutex.
#include "support/QcSynch.h"

#include "support/QcErrors.h"
#include "support/QcUnitVersioning.h"

namespace qv::controls {

namespace {
const TUnitVersionInfo kUnitVersion = {"support/QcSynch.cpp", "3.2.0.0", "", "QCL\\source\\common", "",
                                       nullptr};
const TUnitVersionRegistration kRegistration(kUnitVersion);
}  // namespace

TQcWaitResult WaitResultOf(DWORD result) {
  switch (result) {
    case WAIT_OBJECT_0: return TQcWaitResult::Signaled;
    case WAIT_ABANDONED: return TQcWaitResult::Abandoned;
    case WAIT_IO_COMPLETION: return TQcWaitResult::IoCompletion;
    case WAIT_TIMEOUT: return TQcWaitResult::Timeout;
    default: return TQcWaitResult::Error;
  }
}

TQcDispatcherObject::~TQcDispatcherObject() {
  if (m_handle) CloseHandle(m_handle);
}

TQcWaitResult TQcDispatcherObject::WaitFor(DWORD timeoutMs) const {
  return WaitResultOf(WaitForSingleObject(m_handle, timeoutMs));
}

TQcMutex::TQcMutex(SECURITY_ATTRIBUTES* security, bool initialOwner, const std::string& name) : m_name(name) {
  HANDLE h = CreateMutexA(security, initialOwner ? TRUE : FALSE, name.empty() ? nullptr : name.c_str());
  const DWORD error = GetLastError();
  if (!h) throw EQcMutexError("Failed to create mutex", error);
  SetHandle(h);
  m_existed = error == ERROR_ALREADY_EXISTS;
}

TQcEvent::TQcEvent(SECURITY_ATTRIBUTES* security, bool manualReset, bool initiallySignaled, const std::string& name) {
  HANDLE h = CreateEventA(security, manualReset ? TRUE : FALSE, initiallySignaled ? TRUE : FALSE,
                          name.empty() ? nullptr : name.c_str());
  const DWORD error = GetLastError();
  if (!h) throw EQcWin32Error("Failed to create event", error);
  SetHandle(h);
  m_existed = error == ERROR_ALREADY_EXISTS;
}

TQcSemaphore::TQcSemaphore(SECURITY_ATTRIBUTES* security, long initialCount, long maximumCount,
                           const std::string& name) {
  HANDLE h = CreateSemaphoreA(security, initialCount, maximumCount, name.empty() ? nullptr : name.c_str());
  const DWORD error = GetLastError();
  if (!h) throw EQcWin32Error("Failed to create semaphore", error);
  SetHandle(h);
  m_existed = error == ERROR_ALREADY_EXISTS;
}

}  // namespace qv::controls
