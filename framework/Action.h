// TAction: one command shared by the controls linked to it. Its caption,
// enabled and checked states, hint, image index and visibility reach every
// linked control; a linked control's click runs OnExecute; OnUpdate sets
// the states again each time the application's loop is idle. TActionLink is
// the part a control holds to follow one action.
// Example:  auto& a = form.Make<TAction>("ActRenommer"); a.SetCaption("Renommer");
//           a.OnExecute = ...; button.SetAction(&a);
// Main thread only. Tested by tests/framework/Action_test.cpp.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Control.h"

namespace qv::fw {

class TActionLink;
class TImageList;

class TAction : public TComponent {
public:
  explicit TAction(TComponent* owner);
  ~TAction() override;

  const std::string& Caption() const { return m_caption; }
  void SetCaption(const std::string& v);
  bool Enabled() const { return m_enabled; }
  void SetEnabled(bool v);
  bool Checked() const { return m_checked; }
  void SetChecked(bool v);
  const std::string& Hint() const { return m_hint; }
  void SetHint(const std::string& v);
  int ImageIndex() const { return m_imageIndex; }
  void SetImageIndex(int v);
  bool Visible() const { return m_visible; }
  void SetVisible(bool v);
  // The list ImageIndex points into (borrowed; may be null).
  TImageList* Images() const { return m_images; }
  void SetImages(TImageList* images);

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;

  // OnUpdate first; then OnExecute when the action is enabled. True when
  // OnExecute ran.
  virtual bool Execute();
  // OnUpdate; true when there is one.
  virtual bool Update();
  // Every action of the process, once (the application's idle step).
  static void UpdateAll();

private:
  friend class TActionLink;
  enum class TChange { Caption, Enabled, Checked, Hint, ImageIndex, Visible };
  void Changed(TChange what);
  // Every setter: acts only on a change, then tells the linked controls.
  template <typename T>
  void Assign(T& field, const T& value, TChange what) {
    if (value == field) return;
    field = value;
    Changed(what);
  }

  std::string m_caption;
  bool m_enabled = true;
  bool m_checked = false;
  std::string m_hint;
  int m_imageIndex = -1;
  bool m_visible = true;
  TImageList* m_images = nullptr;
  std::vector<TActionLink*> m_links;
};

// Held by a control (one per control); the control says what each of the
// action's properties does to it. Copying is refused: the action keeps the
// link's address.
class TActionLink {
public:
  TActionLink() = default;
  ~TActionLink();
  TActionLink(const TActionLink&) = delete;
  TActionLink& operator=(const TActionLink&) = delete;

  TAction* Action() const { return m_action; }
  // Follows the action (null: none); every property is applied at once.
  void SetAction(TAction* action);
  // The control's click: the action's Execute; false without an action.
  bool Execute();

  std::function<void(const std::string&)> OnCaption;
  std::function<void(bool)> OnEnabled;
  std::function<void(bool)> OnChecked;
  std::function<void(const std::string&)> OnHint;
  std::function<void(int)> OnImageIndex;
  std::function<void(bool)> OnVisible;

private:
  friend class TAction;
  void Apply(TAction::TChange what);
  TAction* m_action = nullptr;
};

}  // namespace qv::fw
