// Actions: what a link hands its control, Execute gated by the enabled
// state after OnUpdate, the idle step that updates every action, and links
// and actions freed in either order.
#include "framework/Action.h"

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "tests/framework/FwTestSupport.h"

using namespace qv::fw;

namespace {

// What a control would have been told.
struct TClient {
  explicit TClient(TActionLink& link) {
    link.OnCaption = [this](const std::string& v) { caption = v; };
    link.OnEnabled = [this](bool v) { enabled = v; };
    link.OnChecked = [this](bool v) { checked = v; };
    link.OnHint = [this](const std::string& v) { hint = v; };
    link.OnImageIndex = [this](int v) { image = v; };
    link.OnVisible = [this](bool v) { visible = v; };
  }
  std::string caption, hint;
  bool enabled = false, checked = false, visible = false;
  int image = -9;
};

}  // namespace

TEST(Action, LinksTakeEveryPropertyAtOnceAndEachChangeAfter) {
  TComponent owner(nullptr);
  auto& a = owner.Make<TAction>("ActOuvrir");
  a.SetCaption("&Ouvrir");
  a.SetHint("Ouvrir|Ouvre un dossier");
  a.SetImageIndex(3);
  TActionLink link;
  TClient client(link);
  link.SetAction(&a);
  EXPECT_EQ(client.caption, "&Ouvrir");
  EXPECT_EQ(client.hint, "Ouvrir|Ouvre un dossier");
  EXPECT_EQ(client.image, 3);
  EXPECT_TRUE(client.enabled);
  EXPECT_TRUE(client.visible);
  EXPECT_FALSE(client.checked);
  a.SetChecked(true);
  a.SetEnabled(false);
  a.SetVisible(false);
  EXPECT_TRUE(client.checked);
  EXPECT_FALSE(client.enabled);
  EXPECT_FALSE(client.visible);
  // Unlinked, the client hears nothing more.
  link.SetAction(nullptr);
  a.SetCaption("Autre");
  EXPECT_EQ(client.caption, "&Ouvrir");
}

TEST(Action, ExecuteRunsOnlyWhenEnabledAfterTheUpdate) {
  TComponent owner(nullptr);
  auto& a = owner.Make<TAction>("Act");
  int runs = 0;
  bool allow = false;
  a.OnExecute = [&](TComponent& sender) {
    EXPECT_EQ(&sender, &a);
    ++runs;
  };
  a.OnUpdate = [&](TComponent&) { a.SetEnabled(allow); };
  TActionLink link;
  EXPECT_FALSE(link.Execute());  // no action
  link.SetAction(&a);
  EXPECT_FALSE(link.Execute());
  EXPECT_EQ(runs, 0);
  allow = true;
  EXPECT_TRUE(link.Execute());
  EXPECT_EQ(runs, 1);
  a.OnExecute = nullptr;
  EXPECT_FALSE(a.Execute());
}

TEST(Action, TheIdleStepUpdatesEveryLiveAction) {
  TApplication& app = qv::fw::test::TestApp();
  TComponent owner(nullptr);
  auto& first = owner.Make<TAction>("A1");
  auto* second = &owner.Make<TAction>("A2");
  int firstUpdates = 0, secondUpdates = 0;
  // The first one frees the second: it is not updated once freed.
  first.OnUpdate = [&](TComponent&) {
    ++firstUpdates;
    delete second;
    second = nullptr;
  };
  second->OnUpdate = [&](TComponent&) { ++secondUpdates; };
  // A timer wakes the loop's wait after each idle step.
  const UINT_PTR timer = SetTimer(nullptr, 0, 5, nullptr);
  for (int i = 0; i < 50 && firstUpdates == 0; ++i) app.HandleMessage();
  KillTimer(nullptr, timer);
  EXPECT_EQ(firstUpdates, 1);
  EXPECT_EQ(secondUpdates, 0);
  EXPECT_EQ(second, nullptr);
}

TEST(Action, LinksAndActionsMayGoInEitherOrder) {
  TClient* seen = nullptr;
  {
    TComponent owner(nullptr);
    auto& a = owner.Make<TAction>("Act");
    auto link = std::make_unique<TActionLink>();
    TClient client(*link);
    seen = &client;
    link->SetAction(&a);
    link.reset();          // the link goes first
    a.SetCaption("x");     // nobody to tell
    TActionLink other;
    other.SetAction(&a);
  }  // the action goes first: the other link follows nothing
  EXPECT_NE(seen, nullptr);
  TActionLink late;
  {
    TComponent owner(nullptr);
    late.SetAction(&owner.Make<TAction>("Act"));
  }
  EXPECT_EQ(late.Action(), nullptr);
  EXPECT_FALSE(late.Execute());
}
