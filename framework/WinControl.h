// TWinControl: a control with a real window. Our own window classes get the
// object at WM_NCCREATE; system classes (BUTTON, EDIT, ...) are subclassed
// after creation. One static procedure decodes messages once and calls typed
// virtual handlers; WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, scroll and colour
// messages from a direct child are reflected to that child's object first.
// Every named control carries its name in the window property "QvName" (a
// global atom) so end-to-end tests find it from another process.
// No exception leaves the window procedure: it goes to the application.
// Tested by tests/framework/Form_test.cpp and tests/framework/ComCtrls_test.cpp.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Control.h"

namespace qv::fw {

class TForm;

struct TCreateParams {
  std::string ClassName;      // window class to create
  bool SystemClass = false;   // an existing class (subclassed after creation)
  DWORD Style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD ExStyle = 0;
  UINT ClassStyle = CS_DBLCLKS;
  HCURSOR ClassCursor = nullptr;  // arrow when null
  // A top-level window without owner (a main window with its own taskbar
  // button); other top-level windows are owned.
  bool Unowned = false;
};

using TKeyEvent = std::function<void(TComponent& sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TComponent& sender, char& key)>;

// Asks for WM_MOUSELEAVE once the pointer leaves the window; false when the
// platform refuses.
bool TrackMouseLeave(HWND hwnd);

// Whether the pointer is over a window of its own: Enter on WM_MOUSEMOVE is
// true when it has just come in (and asks for WM_MOUSELEAVE), Leave on
// WM_MOUSELEAVE true when it was in.
class TMouseInside {
public:
  bool Enter(HWND hwnd) {
    if (m_inside) return false;
    m_inside = true;
    TrackMouseLeave(hwnd);
    return true;
  }
  bool Leave() {
    if (!m_inside) return false;
    m_inside = false;
    return true;
  }
  bool Inside() const { return m_inside; }

private:
  bool m_inside = false;
};

class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // --- Window handle
  HWND Handle();  // creates the window when needed
  HWND HandleIfAllocated() const { return m_hwnd; }
  bool HandleAllocated() const { return m_hwnd != nullptr; }
  void HandleNeeded() { Handle(); }
  void DestroyHandle();
  static TWinControl* FromHandle(HWND hwnd);
  // The control of ours that holds hwnd: its own, or the nearest of its
  // parents up to the top-level window (the edit inside a combo box).
  static TWinControl* OwnerOf(HWND hwnd);

  // --- Children (parenthood, not ownership)
  const std::vector<TControl*>& Controls() const { return m_controls; }
  void Realign();
  // The area that aligned children share: the client area, less any frame
  // the control draws inside it.
  virtual TRect AdjustClientRect() const { return ClientRect(); }
  // The control (windowed or not) at a client point, or null.
  TControl* ControlAtPos(int x, int y, bool allowDisabled = false) const;

  // --- Focus and keyboard
  // The child-window ID; set one before the window exists to replace the
  // automatic ID (dialog buttons keep the system's IDOK, IDCANCEL...).
  UINT ControlId() const { return m_id; }
  void SetControlId(UINT id) { m_id = id; }
  bool TabStop() const { return m_tabStop; }
  void SetTabStop(bool v);
  virtual bool CanFocus() const;
  void SetFocus();
  bool Focused() const;
  // Whether a window is this control or one of its own inner windows (a
  // combo box's edit), not a control of the framework placed inside it.
  bool OwnsPart(HWND other) const;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

  // --- Painting
  bool DoubleBuffered() const { return m_doubleBuffered; }
  void SetDoubleBuffered(bool v) { m_doubleBuffered = v; }
  // Transparent children ask for what lies behind them.
  bool ParentBackground() const { return m_parentBackground; }
  void SetParentBackground(bool v);
  // Paints this control's background (colour, or its own parent's when
  // transparent) and its windowless children into dc, in client coordinates.
  virtual void PaintBackground(HDC dc, const TRect& area);
  // Paints, into child's dc, what this control shows behind `child`.
  void PaintBehind(TControl& child, HDC childDc);
  void Invalidate() override;
  // Cross-process control lookup for tests; also the SetName hook.
  void SetName(const std::string& name) override;

  // The form this control sits on (null while unparented).
  TForm* ParentForm() const;

  // --- Message handling
  virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Perform(UINT msg, WPARAM wp = 0, LPARAM lp = 0);

protected:
  virtual void CreateParams(TCreateParams& params);
  // After the window exists (apply stored state that needs the handle).
  virtual void CreateWnd();
  virtual void DestroyWnd() {}
  // Calls the previous (system) procedure or DefWindowProc.
  LRESULT DefaultHandler(UINT msg, WPARAM wp, LPARAM lp);

  // Reflected notifications; return true when handled (result set).
  virtual bool CNCommand(WORD /*code*/, LRESULT& /*result*/) { return false; }
  virtual bool CNNotify(NMHDR* /*hdr*/, LRESULT& /*result*/) { return false; }
  virtual bool CNDrawItem(DRAWITEMSTRUCT* /*dis*/) { return false; }
  virtual bool CNMeasureItem(MEASUREITEMSTRUCT* /*mis*/) { return false; }
  virtual bool CNScroll(UINT /*msg*/, WPARAM /*wp*/) { return false; }
  // The brush for WM_CTLCOLOR*; null keeps the system's.
  virtual HBRUSH CNCtlColor(UINT msg, HDC dc);

  // Our own classes paint here (double-buffered when asked).
  virtual void Paint(TCanvas& canvas);
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void KeyPress(char& key);
  virtual void DoEnter();
  virtual void DoExit();
  // The focus came from / went to that window (WM_SETFOCUS / WM_KILLFOCUS).
  void FocusArrived(HWND from);
  void FocusLeft(HWND to);

  void BoundsChanged() override;
  void VisibleChanged() override;
  void EnabledChanged() override;
  void CaptionChanged() override;
  void FontChanged() override;
  void ColorChanged() override;
  void BiDiModeChanged() override;
  void ParentChanged(TWinControl* old) override;

  bool IsWindowed() const override { return true; }
  TRect ClientRect() const override;
  // After the size changed (by code or by the user): children re-aligned.
  virtual void Resized();
  bool OwnClass() const { return m_ownClass; }
  // The solid brush of the effective colour (kept while the colour holds).
  HBRUSH ColorBrush();

private:
  friend class TControl;
  friend class TApplication;
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
  void CreateHandle();
  void Attach(HWND hwnd);
  void Detach();
  void InsertControl(TControl* c);
  void RemoveControl(TControl* c);
  void UpdateNameProp();
  void ApplyFontToWindow();
  void SyncBoundsFromWindow();
  void AfterBoundsChange();
  bool RouteMouse(UINT msg, WPARAM wp, LPARAM lp);
  void PaintGraphicChildren(HDC dc, const TRect& area);

  HWND m_hwnd = nullptr;
  WNDPROC m_prevProc = nullptr;
  bool m_ownClass = false;
  bool m_tabStop = false;
  bool m_doubleBuffered = false;
  bool m_parentBackground = false;
  bool m_syncingBounds = false;
  std::vector<TControl*> m_controls;
  TControl* m_mouseCapture = nullptr;  // windowless child holding the mouse
  TControl* m_mouseOver = nullptr;     // windowless child under the mouse
  ATOM m_nameAtom = 0;
  HBRUSH m_brush = nullptr;
  COLORREF m_brushColor = 0;
  UINT m_id = 0;
  int m_alignedWidth = -1, m_alignedHeight = -1;
};

// Sends a message to each windowless and windowed child of a control.
void BroadcastToChildren(TWinControl& parent, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace qv::fw
