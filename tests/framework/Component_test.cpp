// Ownership, names, free notification and loading of components.
#include "framework/Component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qv::fw;

namespace {
std::vector<std::string> g_freed;

class TProbe : public TComponent {
public:
  explicit TProbe(TComponent* owner) : TComponent(owner) {}
  ~TProbe() override { g_freed.push_back(Name()); }
  std::vector<std::string> removed;
  int loadedCalls = 0;

protected:
  void Notification(TComponent* c, TOperation op) override {
    if (op == TOperation::Remove) removed.push_back(c->Name());
  }
  void Loaded() override { ++loadedCalls; }
};
}  // namespace

TEST(Component, OwnerFreesItsComponentsNewestFirst) {
  g_freed.clear();
  {
    TProbe root(nullptr);
    root.SetName("root");
    auto& a = root.Make<TProbe>("a");
    a.Make<TProbe>("a1");
    root.Make<TProbe>("b");
    EXPECT_EQ(root.Components().size(), 2u);
    EXPECT_EQ(root.FindComponent("B"), root.Components()[1]);  // names compare without case
  }
  EXPECT_EQ(g_freed, (std::vector<std::string>{"root", "b", "a", "a1"}));
}

TEST(Component, FreedEarlyLeavesItsOwnerAndNotifiesIt) {
  TProbe root(nullptr);
  auto* a = &root.Make<TProbe>("a");
  delete a;
  EXPECT_TRUE(root.Components().empty());
  EXPECT_EQ(root.removed, (std::vector<std::string>{"a"}));
}

TEST(Component, FreeNotificationClearsLinksBothWays) {
  TProbe watcher(nullptr);
  watcher.SetName("watcher");
  auto* target = new TProbe(nullptr);
  target->SetName("target");
  watcher.FreeNotification(target);
  delete target;
  EXPECT_EQ(watcher.removed, (std::vector<std::string>{"target"}));

  // A watcher freed first must not be called later.
  auto* target2 = new TProbe(nullptr);
  {
    TProbe shortLived(nullptr);
    shortLived.FreeNotification(target2);
  }
  delete target2;  // would touch the freed watcher if the link stayed
}

TEST(Component, LinkReadsNullOnceTargetIsFreed) {
  TComponentLink<TProbe> link;
  auto* t = new TProbe(nullptr);
  link.Set(t);
  EXPECT_EQ(link.Get(), t);
  delete t;
  EXPECT_EQ(link.Get(), nullptr);
}

TEST(Component, EndLoadingCallsLoadedOnceOnTheWholeTree) {
  TProbe root(nullptr);
  auto& child = root.Make<TProbe>("child");
  root.BeginLoading();
  EXPECT_TRUE(child.Loading());
  root.EndLoading();
  root.EndLoading();
  EXPECT_FALSE(child.Loading());
  EXPECT_EQ(root.loadedCalls, 1);
  EXPECT_EQ(child.loadedCalls, 1);
}
