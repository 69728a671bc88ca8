// Actions and their links to controls.
#include "framework/Action.h"

#include <algorithm>

namespace qv::fw {

namespace {
std::vector<TAction*>& LiveActions() {
  static std::vector<TAction*> actions;
  return actions;
}
}  // namespace

TAction::TAction(TComponent* owner) : TComponent(owner) { LiveActions().push_back(this); }

TAction::~TAction() {
  std::erase(LiveActions(), this);
  // The controls keep their last values but follow nothing any more.
  for (TActionLink* link : m_links) link->m_action = nullptr;
  m_links.clear();
}

void TAction::Changed(TChange what) {
  for (TActionLink* link : std::vector<TActionLink*>(m_links)) link->Apply(what);
}

void TAction::SetCaption(const std::string& v) { Assign(m_caption, v, TChange::Caption); }

void TAction::SetEnabled(bool v) { Assign(m_enabled, v, TChange::Enabled); }

void TAction::SetChecked(bool v) { Assign(m_checked, v, TChange::Checked); }

void TAction::SetHint(const std::string& v) { Assign(m_hint, v, TChange::Hint); }

void TAction::SetImageIndex(int v) { Assign(m_imageIndex, v, TChange::ImageIndex); }

void TAction::SetVisible(bool v) { Assign(m_visible, v, TChange::Visible); }

void TAction::SetImages(TImageList* images) { Assign(m_images, images, TChange::ImageIndex); }

bool TAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(*this);
  return true;
}

bool TAction::Execute() {
  Update();
  if (!m_enabled || !OnExecute) return false;
  OnExecute(*this);
  return true;
}

void TAction::UpdateAll() {
  // A handler may free actions: each one still alive is updated once.
  const std::vector<TAction*> snapshot = LiveActions();
  for (TAction* a : snapshot)
    if (std::find(LiveActions().begin(), LiveActions().end(), a) != LiveActions().end() && !a->Destroying())
      a->Update();
}

// --- TActionLink

TActionLink::~TActionLink() { SetAction(nullptr); }

void TActionLink::SetAction(TAction* action) {
  if (action == m_action) return;
  if (m_action) std::erase(m_action->m_links, this);
  m_action = action;
  if (!m_action) return;
  m_action->m_links.push_back(this);
  using C = TAction::TChange;
  for (C what : {C::Caption, C::Hint, C::ImageIndex, C::Checked, C::Enabled, C::Visible}) Apply(what);
}

void TActionLink::Apply(TAction::TChange what) {
  if (!m_action) return;
  using C = TAction::TChange;
  switch (what) {
    case C::Caption: if (OnCaption) OnCaption(m_action->Caption()); break;
    case C::Enabled: if (OnEnabled) OnEnabled(m_action->Enabled()); break;
    case C::Checked: if (OnChecked) OnChecked(m_action->Checked()); break;
    case C::Hint: if (OnHint) OnHint(m_action->Hint()); break;
    case C::ImageIndex: if (OnImageIndex) OnImageIndex(m_action->ImageIndex()); break;
    case C::Visible: if (OnVisible) OnVisible(m_action->Visible()); break;
  }
}

bool TActionLink::Execute() { return m_action && m_action->Execute(); }

}  // namespace qv::fw
