// TApplication: the program's hidden owner window, title, main form and
// message loop (one message a pass: the OnMessage hook, dialog keys,
// dispatch), idle processing (hint of the control under the mouse, OnIdle),
// exception reporting that lets the loop go on, and the hand-over of work
// from worker threads (TThread::Synchronize) through the hidden window.
// One per process: Application() returns it.
// Tested by tests/framework/Form_test.cpp and tests/framework/Label_test.cpp.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <map>
#include <string>

#include "framework/Component.h"
#include "framework/Control.h"

namespace qv::fw {

class TForm;

class TApplication : public TComponent {
public:
  TApplication();
  ~TApplication() override;

  HWND Handle() const { return m_hwnd; }
  const std::string& Title() const { return m_title; }
  void SetTitle(const std::string& t);

  TForm* MainForm() const { return m_mainForm; }
  void SetMainForm(TForm* f) { m_mainForm = f; }
  bool ShowMainForm() const { return m_showMainForm; }
  void SetShowMainForm(bool v) { m_showMainForm = v; }
  // True while one of the application's forms runs its modal loop.
  bool ModalFormOpen() const;

  // Runs the loop until Terminate or the main form closes.
  void Run();
  // One pass: handle one message, or idle and wait when there is none.
  void HandleMessage();
  // Handles every message waiting now, then returns.
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return m_terminated; }

  // Shows an exception in a message box with the title and an error icon.
  void HandleException(std::exception_ptr e);
  void ShowException(const std::string& message);

  // Hints: the long part of the hint of the control under the mouse.
  const std::string& Hint() const { return m_hint; }
  void SetHint(const std::string& h);
  bool ShowHint() const { return m_showHint; }
  void SetShowHint(bool v);
  // The tooltip's colour unless its control says otherwise.
  TColor HintColor() const { return m_hintColor; }
  void SetHintColor(TColor c) { m_hintColor = c; }
  TNotifyEvent OnHint;
  // Called before each message is dispatched; set handled to eat it.
  std::function<void(MSG& msg, bool& handled)> OnMessage;
  // Called when the queue is empty; set done = false to be called again.
  std::function<void(TComponent& sender, bool& done)> OnIdle;
  // Replaces the error box for exceptions that reach the loop.
  std::function<void(const std::string& message)> OnException;
  // Help requests (F1, help buttons): the context number.
  std::function<void(int context)> OnHelp;
  void HelpContext(int context);

  // The application's numbered cursors: components install theirs and
  // refer to them by number. Null for a number never installed.
  void SetCursor(int number, HCURSOR cursor);
  HCURSOR Cursor(int number) const;

  // Runs fn on the main thread and waits for it (from any thread).
  void Synchronize(const std::function<void()>& fn);

  HWND ActiveFormHandle() const;
  // Forms register themselves so the loop finds the active one.
  void FormCreated(TForm* f);
  void FormDestroyed(TForm* f);
  // Frees a form after the message being handled.
  void ReleaseForm(TForm* f);

private:
  static LRESULT CALLBACK AppWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  bool ProcessMessage(MSG& msg);
  void Idle();
  void UpdateHintTool(HWND target, TControl* control);
  // The tooltip about to show over the control under the mouse, as it and
  // its control make it; false when there is none.
  bool HintInfoUnderMouse(THintInfo& info);
  HWND TooltipOfClass(const std::string& className);
  LRESULT TooltipNotify(NMHDR& header);

  HWND m_hwnd = nullptr;
  HWND m_tooltip = nullptr;
  std::map<std::string, HWND> m_classTooltips;  // by hint window class
  HWND m_tipTarget = nullptr;
  HWND m_tipWindow = nullptr;  // the tooltip that holds the tool
  THintInfo m_shownHint;        // what the last text request made
  TPoint m_defaultHintPos{};
  TColor m_hintColor = clInfoBk;
  std::string m_title;
  TForm* m_mainForm = nullptr;
  bool m_showMainForm = true;
  bool m_terminated = false;
  std::string m_hint;
  bool m_showHint = true;
  DWORD m_mainThread = 0;
  std::vector<TForm*> m_forms;
  std::map<int, HCURSOR> m_cursors;
};

// The application object of this process (null before it exists).
TApplication* Application();

// Registered window message used for Synchronize and deferred frees.
UINT SyncMessage();

// A message-only window of the calling thread, of a window class of its own
// that is registered on the first call (later calls, from any thread, find
// it registered). Null when the window cannot be made.
HWND CreateMessageWindow(const char* className, WNDPROC proc);

}  // namespace qv::fw
