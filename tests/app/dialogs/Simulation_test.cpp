// The simulation dialog over real folders: it starts by itself once shown,
// lists the invalid and colliding names in its memo (past the 32K limit of
// a plain edit), changes nothing on disk, stops on request and cannot be
// closed while it runs.
#include <gtest/gtest.h>

#include "app/dialogs/DialogTestSupport.h"

using namespace qv;
using namespace qv::test;
using app::TSimulation;

namespace {

TDriver::TStep Found(TSimulation*& d) {
  return [&d] {
    d = FindForm<TSimulation>("TSimulation");
    return d != nullptr;
  };
}

TDriver::TStep Over(TSimulation*& d) {
  return [&d] { return !d->Running() && d->BtnFermer->Enabled(); };
}

}  // namespace

TEST(Simulation, ListsInvalidAndCollidingNamesAndChangesNothing) {
  TMessages messages;
  TTestHost host;
  for (int i = 1; i <= 1200; ++i) {
    char name[32];
    snprintf(name, sizeof name, "f%04d.txt", i);
    host.File(name);
  }
  host.File("lisezmoi");  // no extension: its new name ends with a blank
  host.options.NameFile = "Doublon ";
  host.options.NoneIndice = true;
  host.Scan();
  const auto before = host.Files();

  TSimulation* d = nullptr;
  std::vector<std::string> lines;
  int textLength = 0;
  TDriver driver;
  driver.Then(Found(d)).Then(Over(d)).Then(TDriver::Wait(200)).Do([&] {
    EXPECT_EQ(d->Caption(), "Simulation");
    EXPECT_EQ(d->LabelStatus->Caption(), "Simulation terminée");
    EXPECT_EQ(d->PanelStatus->Caption(), "1 fichier possible - 1200 erreurs détectées");
    EXPECT_FALSE(d->BtnArreter->Enabled());
    EXPECT_TRUE(d->Memo->Enabled());
    EXPECT_EQ(d->ProgressBar->Position(), 1201);
    lines = d->Memo->Lines();
    textLength = GetWindowTextLengthA(d->Memo->Handle());
    EXPECT_EQ(d->Memo->SelStart(), 0);
    SaveScreenshot(d->Handle(), "simulation");
    PostClick(d->BtnFermer);
  });
  driver.Start();
  app::RequestSimulation(host);
  ASSERT_TRUE(driver.Finished());

  ASSERT_EQ(lines.size(), 1200u);
  EXPECT_EQ(lines[0], "Fichier n°0002 : nom existant : Doublon .txt");
  EXPECT_EQ(lines[1198], "Fichier n°1200 : nom existant : Doublon .txt");
  EXPECT_EQ(lines[1199], "Fichier n°1201 : nom invalide : Doublon ");
  EXPECT_GT(textLength, 32 * 1024);
  EXPECT_EQ(host.Files(), before);
  EXPECT_EQ(host.MainStatus, (std::vector<std::string>{"Simulation en cours...", ""}));
  // The monitor is back on "Auto"; no rescan after a simulation.
  EXPECT_EQ(host.Log, (std::vector<std::string>{"commit", "monitor off", "cache", "monitor off"}));
  EXPECT_TRUE(messages.All.empty());
}

TEST(Simulation, StopsOnRequestAndRefusesToCloseWhileRunning) {
  TMessages messages;
  messages.Answer = [](const TMessage&) { return IDYES; };
  TTestHost host;
  for (const char* n : {"a.txt", "b.txt", "c.txt", "d.txt"}) host.File(n);
  host.options.Auto = true;
  host.Scan();

  TSimulation* d = nullptr;
  bool running = false;
  // Sent as the simulation starts: handled by its first pass of messages.
  host.OnMainStatus = [&](const std::string& text) {
    if (text != "Simulation en cours...") return;
    d = FindForm<TSimulation>("TSimulation");
    running = d->Running();
    PostMessageA(d->Handle(), WM_CLOSE, 0, 0);
    PostMessageA(d->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PostEscape(d->Handle());
    PostClick(d->BtnArreter);
  };
  TDriver driver;
  driver.Then(Found(d)).Then(Over(d)).Do([&] {
    EXPECT_TRUE(IsWindowVisible(d->Handle()));
    EXPECT_EQ(d->LabelStatus->Caption(), "Simulation terminée (arrêt utilisateur)");
    EXPECT_EQ(d->PanelStatus->Caption(), "1 fichier possible - 0 erreur détectée");
    PostEscape(d->Handle());  // over: Esc closes
  });
  driver.Start();
  app::RequestSimulation(host);
  ASSERT_TRUE(driver.Finished());
  EXPECT_TRUE(running);
  ASSERT_EQ(messages.All.size(), 1u);
  EXPECT_EQ(messages.All[0].Text, "\r\nVoulez-vous arrêter la simulation en cours ?");
  EXPECT_EQ(messages.All[0].Type, eng::mtConfirmation);
  EXPECT_EQ(messages.All[0].Buttons, eng::mbYesNo);
  EXPECT_EQ(host.Log.back(), "monitor on");
}
