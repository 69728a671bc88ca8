// TForm: a top-level window whose window class is the form's class name
// (TMainForm, TQuoDial, ...), built in code from a layout, shown normally or
// in a modal loop that returns ModalResult. Modal loops nest. Closing asks
// OnCloseQuery, then OnClose with an action (hide, free, none).
// Example:  TQuoDial& d = *new TQuoDial(Application()); int r = d.ShowModal();
// Tested by tests/framework/Form_test.cpp.
#pragma once

#include "framework/WinControl.h"

namespace qv::fw {

// Standard results; equal to the dialog-box button IDs (IDOK, IDYES, ...).
enum TModalResult : int {
  mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY, mrIgnore = IDIGNORE,
  mrYes = IDYES, mrNo = IDNO, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10
};

enum class TCloseAction { None, Hide, Free, Minimize };
enum class TBorderStyle { Sizeable, Dialog, Single, None, ToolWindow };
enum class TPosition { Designed, ScreenCenter, MainFormCenter };

class TButtonControl;

class TForm : public TWinControl {
public:
  // className: the window class (and the form's type name for tests).
  TForm(TComponent* owner, std::string className);
  ~TForm() override;

  const std::string& ClassName() const { return m_className; }

  // Client size set from the design, the frame added around it.
  void SetClientSize(int width, int height);
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  TBorderStyle BorderStyle() const { return m_borderStyle; }
  void SetBorderStyle(TBorderStyle s) { m_borderStyle = s; }
  TPosition Position() const { return m_position; }
  void SetPosition(TPosition p) { m_position = p; }
  void SetMinSize(int width, int height) { m_minWidth = width; m_minHeight = height; }
  void SetMaxSize(int width, int height) { m_maxWidth = width; m_maxHeight = height; }
  bool KeyPreview() const { return m_keyPreview; }
  void SetKeyPreview(bool v) { m_keyPreview = v; }
  void SetBorderIcons(bool minimize, bool maximize) { m_minimizeBox = minimize; m_maximizeBox = maximize; }
  HICON Icon() const { return m_icon; }
  void SetIcon(HICON icon);

  // --- Showing and closing
  void Show();
  void Hide();
  int ShowModal();
  bool Modal() const { return m_modal; }
  int ModalResult() const { return m_modalResult; }
  void SetModalResult(int r) { m_modalResult = r; }
  void Close();
  // Frees the form once the current message has been handled.
  void Release();
  TCloseAction DefaultCloseAction() const { return m_defaultCloseAction; }
  void SetDefaultCloseAction(TCloseAction a) { m_defaultCloseAction = a; }

  // --- Focus inside the form
  TWinControl* ActiveControl() const { return m_activeControl.Get(); }
  void SetActiveControl(TWinControl* c);
  void ActiveControlChanged(TWinControl* c) { m_activeControl.Set(c); }
  // Moves the focus to the next (or previous) tab stop.
  void SelectNext(bool forward);

  // Default (Enter) and cancel (Esc) buttons of the form.
  void SetDefaultButton(TButtonControl* b);
  void SetCancelButton(TButtonControl* b);

  // --- Events
  TNotifyEvent OnCreate;   // run by the form's constructor after its layout
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  std::function<void(TComponent& sender, bool& canClose)> OnCloseQuery;
  std::function<void(TComponent& sender, TCloseAction& action)> OnClose;
  TNotifyEvent OnDestroy;

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  // Ends layout building: applies deferred effects, then OnCreate.
  void FinishCreate();
  bool CloseQuery();
  // Lets the form handle Enter and Esc itself (true when handled).
  virtual bool DialogKey(WORD key);

private:
  friend class TApplication;
  void DoClose(TCloseAction& action);
  void PlaceOnScreen();

  std::string m_className;
  TBorderStyle m_borderStyle = TBorderStyle::Sizeable;
  TPosition m_position = TPosition::Designed;
  int m_minWidth = 0, m_minHeight = 0, m_maxWidth = 0, m_maxHeight = 0;
  bool m_keyPreview = false;
  bool m_minimizeBox = true, m_maximizeBox = true;
  bool m_modal = false;
  bool m_shownOnce = false;
  int m_modalResult = mrNone;
  TCloseAction m_defaultCloseAction = TCloseAction::Hide;
  HICON m_icon = nullptr;
  TComponentLink<TWinControl> m_activeControl;
  TComponentLink<TButtonControl> m_defaultButton;
  TComponentLink<TButtonControl> m_cancelButton;
};

}  // namespace qv::fw
