// Synchronisation objects of the support library: a waitable handle that
// closes itself, the named mutex built on it, a critical section, and a
// critical section held for as long as a reference to it is held; also
// the event and the semaphore.
// Example:  TQcMutex m(nullptr, false, "Name");  if (m.WaitFor(INFINITE) == TQcWaitResult::Signaled) ... m.Release();
// Tested by tests/support/QcSynch_test.cpp.
#pragma once

#include <windows.h>

#include <string>

namespace qv::controls {

// WaitForSingleObject's answer: WAIT_ABANDONED 0, failure 1,
// WAIT_IO_COMPLETION 2, WAIT_OBJECT_0 3, WAIT_TIMEOUT 4.
enum class TQcWaitResult { Abandoned = 0, Error = 1, IoCompletion = 2, Signaled = 3, Timeout = 4 };
TQcWaitResult WaitResultOf(DWORD waitForSingleObjectResult);

class TQcDispatcherObject {
public:
  explicit TQcDispatcherObject(HANDLE handle) : m_handle(handle) {}
  virtual ~TQcDispatcherObject();
  TQcDispatcherObject(const TQcDispatcherObject&) = delete;
  TQcDispatcherObject& operator=(const TQcDispatcherObject&) = delete;

  HANDLE Handle() const { return m_handle; }
  TQcWaitResult WaitFor(DWORD timeoutMs) const;

protected:
  TQcDispatcherObject() = default;
  void SetHandle(HANDLE h) { m_handle = h; }

private:
  HANDLE m_handle = nullptr;
};

class TQcMutex : public TQcDispatcherObject {
public:
  // CreateMutexA; failure raises EQcMutexError "Failed to create mutex".
  TQcMutex(SECURITY_ATTRIBUTES* security, bool initialOwner, const std::string& name);
  const std::string& Name() const { return m_name; }
  // The mutex existed before this object opened it.
  bool Existed() const { return m_existed; }
  bool Release() const { return ReleaseMutex(Handle()) != FALSE; }

private:
  std::string m_name;
  bool m_existed = false;
};

// An event; Manual: stays signalled until reset, else one waiter resets it.
class TQcEvent : public TQcDispatcherObject {
public:
  // CreateEventA; failure raises EQcWin32Error "Failed to create event".
  TQcEvent(SECURITY_ATTRIBUTES* security, bool manualReset, bool initiallySignaled, const std::string& name);
  bool Existed() const { return m_existed; }
  bool SetEvent() const { return ::SetEvent(Handle()) != FALSE; }
  bool ResetEvent() const { return ::ResetEvent(Handle()) != FALSE; }

private:
  bool m_existed = false;
};

class TQcSemaphore : public TQcDispatcherObject {
public:
  // CreateSemaphoreA; failure raises EQcWin32Error "Failed to create semaphore".
  TQcSemaphore(SECURITY_ATTRIBUTES* security, long initialCount, long maximumCount, const std::string& name);
  bool Existed() const { return m_existed; }
  // Adds `count`; false (and no change) when that would pass the maximum.
  bool Release(long count = 1, long* previous = nullptr) const {
    return ReleaseSemaphore(Handle(), count, previous) != FALSE;
  }

private:
  bool m_existed = false;
};

class TQcCriticalSection {
public:
  TQcCriticalSection() { InitializeCriticalSection(&m_section); }
  ~TQcCriticalSection() { DeleteCriticalSection(&m_section); }
  TQcCriticalSection(const TQcCriticalSection&) = delete;
  TQcCriticalSection& operator=(const TQcCriticalSection&) = delete;
  void Enter() { EnterCriticalSection(&m_section); }
  void Leave() { LeaveCriticalSection(&m_section); }

private:
  CRITICAL_SECTION m_section;
};

// Taking a reference enters the section and dropping it leaves it: a
// TQcIntfCriticalSection::TRef is the lock being held.
class TQcIntfCriticalSection {
public:
  class TRef {
  public:
    explicit TRef(TQcIntfCriticalSection& cs) : m_cs(&cs) { m_cs->AddRef(); }
    ~TRef() {
      if (m_cs) m_cs->Release();
    }
    TRef(TRef&& o) noexcept : m_cs(o.m_cs) { o.m_cs = nullptr; }
    TRef(const TRef&) = delete;
    TRef& operator=(const TRef&) = delete;
    TRef& operator=(TRef&&) = delete;

  private:
    TQcIntfCriticalSection* m_cs;
  };

  TRef Acquire() { return TRef(*this); }
  void AddRef() { m_section.Enter(); }
  void Release() { m_section.Leave(); }

private:
  TQcCriticalSection m_section;
};

}  // namespace qv::controls
