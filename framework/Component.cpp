// Ownership, names and free notification.
#include "framework/Component.h"

#include <string.h>

#include <algorithm>

namespace qv::fw {

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  m_destroying = true;
  // Tell subscribers first, so nobody reaches a half-freed object.
  auto subscribers = std::move(m_freeNotifies);
  m_freeNotifies.clear();
  for (TComponent* s : subscribers) {
    s->RemoveFreeNotification(this);
    s->Notification(this, TOperation::Remove);
  }
  while (!m_components.empty()) {
    TComponent* c = m_components.back();
    delete c;  // its destructor removes it from m_components
  }
  if (TComponent* owner = m_owner) {
    owner->RemoveComponent(this);
    owner->Notification(this, TOperation::Remove);
  }
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : m_components)
    if (_stricmp(c->m_name.c_str(), name.c_str()) == 0) return c;
  return nullptr;
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (std::find(other->m_freeNotifies.begin(), other->m_freeNotifies.end(), this) == other->m_freeNotifies.end())
    other->m_freeNotifies.push_back(this);
  if (std::find(m_freeNotifies.begin(), m_freeNotifies.end(), other) == m_freeNotifies.end())
    m_freeNotifies.push_back(other);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (!other) return;
  auto drop = [](std::vector<TComponent*>& v, TComponent* c) { v.erase(std::remove(v.begin(), v.end(), c), v.end()); };
  drop(other->m_freeNotifies, this);
  drop(m_freeNotifies, other);
}

void TComponent::BeginLoading() {
  m_loading = true;
  for (TComponent* c : m_components) c->BeginLoading();
}

void TComponent::EndLoading() {
  if (!m_loading) return;
  m_loading = false;
  for (TComponent* c : std::vector<TComponent*>(m_components)) c->EndLoading();
  Loaded();
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::InsertComponent(TComponent* c) {
  c->m_owner = this;
  m_components.push_back(c);
  // Made while its owner's layout is being built: it loads with it.
  if (m_loading) c->BeginLoading();
  Notification(c, TOperation::Insert);
}

void TComponent::RemoveComponent(TComponent* c) {
  m_components.erase(std::remove(m_components.begin(), m_components.end(), c), m_components.end());
  c->m_owner = nullptr;
}

}  // namespace qv::fw
