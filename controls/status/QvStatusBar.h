// TQvStatusBar: the window's status bar. Each panel can host one control,
// placed inside it with margins and kept there when panels or the bar
// change; with AutoHint a non-blank hint takes over the whole bar as one
// borderless part (hosted controls hidden meanwhile) and a blank one gives
// the panels back. The last panel reaches the right edge, so its text is
// never cut by a fixed width.
// Example:  auto& bar = form.Make<TQvStatusBar>("StatusBar"); bar.SetParent(&form);
//           bar.AddPanel(372); bar.AddPanel(50); bar.QvPanel(1).SetText(" 3 fichiers");
// Main thread only. Tested by tests/controls/status/QvStatusBar_test.cpp.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "controls/status/QvExControls.h"
#include "framework/ComCtrls.h"

namespace qv::controls {

class TQvStatusBar;

// The framework's status bar under the wrapper scheme.
class TQvExStatusBar : public TQvExControl<qv::fw::TStatusBar> {
public:
  explicit TQvExStatusBar(qv::fw::TComponent* owner);
};

class TQvStatusPanel : public qv::fw::TStatusPanel {
public:
  explicit TQvStatusPanel(TQvStatusBar& bar);
  ~TQvStatusPanel() override;

  qv::fw::TControl* Control() const { return m_control; }
  // Hosts c in this panel (parented to the bar, as high as the bar's client
  // area less 4); the bar itself is refused with EQVLException.
  void SetControl(qv::fw::TControl* c);
  int MarginLeft() const { return m_marginLeft; }
  void SetMarginLeft(int v);
  int MarginTop() const { return m_marginTop; }
  void SetMarginTop(int v);

private:
  friend class TQvStatusBar;
  TQvStatusBar& m_qvBar;
  qv::fw::TControl* m_control = nullptr;  // linked by the bar's free notification
  int m_marginLeft = 3;
  int m_marginTop = 3;
};

class TQvStatusBar : public TQvExStatusBar {
public:
  explicit TQvStatusBar(qv::fw::TComponent* owner);
  ~TQvStatusBar() override;

  TQvStatusPanel& QvPanel(int index) const { return static_cast<TQvStatusPanel&>(Panel(index)); }
  bool HintMode() const { return m_hintMode; }
  // Places every hosted control in its panel.
  void LayoutControls();

  bool ExecuteHint(const std::string& hint) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  std::unique_ptr<qv::fw::TStatusPanel> CreatePanel() override;
  void PanelsChanged() override;
  void AfterBoundsChange() override;
  void CreateParams(qv::fw::TCreateParams& p) override;
  void CreateWnd() override;
  void Notification(qv::fw::TComponent* component, qv::fw::TOperation op) override;

private:
  friend class TQvStatusPanel;
  void ControlLinkChanged(qv::fw::TControl* old, qv::fw::TControl* now);
  void LeaveHintMode();
  void ShowHintPart();

  bool m_hintMode = false;
  std::string m_hintText;  // shown again when the window is made anew
  // Controls hidden on entering hint mode (weak: one may be freed meanwhile).
  std::vector<std::unique_ptr<qv::fw::TComponentLink<qv::fw::TControl>>> m_hidden;
};

}  // namespace qv::controls
