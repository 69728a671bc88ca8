// TThread: a worker thread whose hand-over to the main thread (Synchronize)
// is served by the application's hidden window, so a worker never blocks
// while a modal loop or a menu runs on the main thread. WaitFor keeps the
// main thread's messages flowing while it waits, so a worker blocked in
// Synchronize cannot dead-lock it.
// Tested by tests/framework/Form_test.cpp (hand-over while a modal loop runs).
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

namespace qv::fw {

class TThread {
public:
  TThread();
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Starts Execute() on a new thread; false when the thread cannot start.
  bool Start();
  void Terminate() { m_terminated = true; }
  bool Terminated() const { return m_terminated; }
  bool Finished() const { return m_finished; }
  // Waits for the end, pumping messages when called on the main thread.
  void WaitFor();
  HANDLE Handle() const { return m_handle; }

protected:
  virtual void Execute() = 0;
  // Runs fn on the main thread and returns when it is done.
  void Synchronize(const std::function<void()>& fn);

private:
  static unsigned __stdcall ThreadProc(void* self);
  HANDLE m_handle = nullptr;
  std::atomic<bool> m_terminated{false};
  std::atomic<bool> m_finished{false};
};

}  // namespace qv::fw
