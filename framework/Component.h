// TComponent: the ownership and naming model of every framework object.
// An owner frees its components (newest first) when it is freed; a component
// freed earlier leaves its owner's list. Links that may outlive their target
// subscribe with FreeNotification and are cleared in Notification.
// Example:  auto& timer = form.Make<TTimer>("Timer");
// Not thread-safe: components live on the main thread.
// Tested by tests/framework/Component_test.cpp.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qv::fw {

enum class TOperation { Insert, Remove };

class TComponent {
public:
  explicit TComponent(TComponent* owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // Creates a component owned by this one (the owner frees it).
  template <class T, class... Args>
  T& Make(const std::string& name, Args&&... args) {
    T* c = new T(this, std::forward<Args>(args)...);
    c->SetName(name);
    return *c;
  }

  const std::string& Name() const { return m_name; }
  virtual void SetName(const std::string& name) { m_name = name; }
  TComponent* Owner() const { return m_owner; }
  int Tag() const { return m_tag; }
  void SetTag(int tag) { m_tag = tag; }

  const std::vector<TComponent*>& Components() const { return m_components; }
  TComponent* FindComponent(const std::string& name) const;

  // Asks `other` to call our Notification(other, Remove) when it is freed.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

  // Loading: while a layout is being built, setters store values and defer
  // effects that need the whole window; Loaded() then applies them.
  bool Loading() const { return m_loading; }
  void BeginLoading();
  void EndLoading();  // clears the flag on this and owned components, calls Loaded()

  bool Destroying() const { return m_destroying; }

protected:
  virtual void Notification(TComponent* component, TOperation op);
  virtual void Loaded() {}
  // Called first thing by destructors of classes that need a live vtable
  // while they tear down (windows).
  void MarkDestroying() { m_destroying = true; }
  // The same for this component and everything it owns, before a window tree
  // is torn down, so no event reaches a half-destroyed owner.
  void MarkTreeDestroying() {
    m_destroying = true;
    for (TComponent* c : m_components) c->MarkTreeDestroying();
  }

private:
  void InsertComponent(TComponent* c);
  void RemoveComponent(TComponent* c);

  TComponent* m_owner = nullptr;
  std::string m_name;
  int m_tag = 0;
  bool m_loading = false;
  bool m_destroying = false;
  std::vector<TComponent*> m_components;
  std::vector<TComponent*> m_freeNotifies;
};

// A weak link to a component: reads nullptr once the target is freed.
template <class T>
class TComponentLink : private TComponent {
public:
  TComponentLink() : TComponent(nullptr) {}
  ~TComponentLink() override {
    if (m_base) RemoveFreeNotification(m_base);
  }
  T* Get() const { return m_target; }
  void Set(T* target) {
    if (m_target == target) return;
    if (m_base) RemoveFreeNotification(m_base);
    m_target = target;
    m_base = target;
    if (m_base) FreeNotification(m_base);
  }

private:
  void Notification(TComponent* c, TOperation op) override {
    if (op == TOperation::Remove && c == m_base) {
      m_target = nullptr;
      m_base = nullptr;
    }
  }
  T* m_target = nullptr;
  TComponent* m_base = nullptr;  // the same object, usable where T is incomplete
};

}  // namespace qv::fw
