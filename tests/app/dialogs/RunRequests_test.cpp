// The checks of the rename and simulation requests, in their order, with
// their French messages, sounds' kinds and help contexts, what they ask of
// the main window (focus, list, monitor, rescan), and the rename dialog as
// the request fills it.
#include <gtest/gtest.h>

#include "app/dialogs/DialogTestSupport.h"

using namespace qv;
using namespace qv::test;
using app::TQuoDial;

namespace {

// Records each message in the host's log too, to check what came first.
void LogMessages(TMessages& messages, TTestHost& host, int answer) {
  messages.Answer = [&host, answer](const TMessage&) {
    host.Log.push_back("message");
    return answer;
  };
}

// Closes the rename dialog by its close box once it is shown.
TDriver::TStep CloseRenameDialog() {
  return [] {
    auto* d = FindForm<TQuoDial>("TQuoDial");
    if (d) PostMessageA(d->Handle(), WM_CLOSE, 0, 0);
    return d != nullptr;
  };
}

}  // namespace

TEST(RunRequests, AMissingFolderIsRefusedAndGivesTheFolderEditTheFocus) {
  for (bool emptyOption : {false, true}) {
    TMessages messages;
    TTestHost host;
    host.options.Directory = emptyOption ? "" : A(host.temp / u"Parti ailleurs");
    LogMessages(messages, host, IDOK);
    app::RequestRename(host);
    app::RequestSimulation(host);
    ASSERT_EQ(messages.All.size(), 2u);
    EXPECT_EQ(messages.All[0].Text,
              "Le dossier sélectionné n'est pas accessible ou n'existe pas.\r\n"
              "L'opération ne peut pas s'effectuer. Veuillez contrôler SVP.");
    EXPECT_EQ(messages.All[0].Type, eng::mtInformation);
    EXPECT_EQ(messages.All[0].Buttons, eng::mbOK);
    EXPECT_EQ(host.Log, (std::vector<std::string>{"commit", "message", "focus folder", "commit", "message",
                                                  "focus folder"}));
  }
}

TEST(RunRequests, AListSwitchedOffGoesOnOnlyOnYes) {
  for (int answer : {IDNO, IDCANCEL}) {
    TMessages messages;
    TTestHost host;
    host.File("a.txt");
    host.Scan();
    host.options.ActiveListe = false;
    LogMessages(messages, host, answer);
    app::RequestRename(host);
    ASSERT_EQ(messages.All.size(), 1u);
    EXPECT_EQ(messages.All[0].Text,
              "La liste des fichiers a été désactivée. L'opération ne peut pas\r\n"
              "se dérouler. Voulez-vous réactiver la liste des fichiers ?");
    EXPECT_EQ(messages.All[0].Type, eng::mtConfirmation);
    EXPECT_EQ(messages.All[0].Buttons, eng::mbYesNo);
    EXPECT_EQ(host.Log, (std::vector<std::string>{"commit", "message"})) << answer;
  }
  TMessages messages;
  TTestHost host;
  host.File("a.txt");
  host.Scan();
  host.options.ActiveListe = false;
  LogMessages(messages, host, IDYES);
  TDriver driver;
  driver.Then(CloseRenameDialog());
  driver.Start();
  app::RequestRename(host);
  ASSERT_TRUE(driver.Finished());
  EXPECT_EQ(host.Log, (std::vector<std::string>{"commit", "message", "reactivate", "monitor off", "cache", "refresh",
                                                "monitor off"}));
}

TEST(RunRequests, AnEmptyListIsRefused) {
  TMessages messages;
  TTestHost host;
  host.Scan();
  app::RequestSimulation(host);
  ASSERT_EQ(messages.All.size(), 1u);
  EXPECT_EQ(messages.All[0].Text, "Aucun fichier trouvé dans le dossier spécifié");
  EXPECT_EQ(messages.All[0].Type, eng::mtInformation);
  EXPECT_EQ(host.Log, (std::vector<std::string>{"commit"}));
}

TEST(RunRequests, AForbiddenCharacterNamesItsFieldAfterTheFocusMoved) {
  struct Case {
    bool script;
    std::string name, ext;
    std::optional<std::string> pad;
    std::string subject;
    int field, help;
  };
  const Case cases[] = {
      {false, "a:b", "", std::nullopt, "Le nom", 1, 3},
      {true, "<R1=a?b:c>", "", std::nullopt, "Le nom", 1, 3},
      {true, "x<R1", "", std::nullopt, "Le nom", 1, 3},
      {false, "ok", "t*t", std::nullopt, "L'extension", 2, 4},
      {false, "ok", "txt", std::string("?"), "Le format", 3, 5},
  };
  for (const Case& c : cases) {
    TMessages messages;
    TTestHost host;
    host.File("a.txt");
    host.Scan();
    host.options.ScriptFile = c.script;
    host.options.NameFile = c.name;
    host.options.NoExtension = c.ext.empty();
    host.options.NameExtension = c.ext;
    host.padText = c.pad;
    LogMessages(messages, host, IDOK);
    app::RequestRename(host);
    ASSERT_EQ(messages.All.size(), 1u) << c.name;
    EXPECT_EQ(messages.All[0].Text, c.subject +
                                        " contient un caractère non autorisé (voir Aide).\r\n"
                                        "L'opération ne peut pas s'effectuer. Veuillez vérifier SVP.");
    EXPECT_EQ(messages.All[0].Type, eng::mtWarning);
    EXPECT_EQ(messages.All[0].Buttons, eng::mbOK | eng::mbHelp);
    EXPECT_EQ(messages.All[0].Help, c.help);
    EXPECT_EQ(host.Log, (std::vector<std::string>{"commit", "focus " + std::to_string(c.field), "message"})) << c.name;
  }
}

TEST(RunRequests, ScriptReplacementsWithoutForbiddenCharactersPass) {
  TMessages messages;
  TTestHost host;
  host.File("a.txt");
  host.Scan();
  host.options.ScriptFile = true;
  host.options.NameFile = "<R1=a??b>";
  TDriver driver;
  driver.Then(CloseRenameDialog());
  driver.Start();
  app::RequestRename(host);
  ASSERT_TRUE(driver.Finished());
  EXPECT_TRUE(messages.All.empty());
}

TEST(RunRequests, TheRenameDialogShowsTheChoicesAndTheMonitorFollowsAuto) {
  TMessages messages;
  TTestHost host;
  host.File("seul.mp3");
  eng::TProgramOptions& o = host.options;
  o.Directory += "\\";  // trailing backslash: the folder's name all the same
  o.Mask = "*.mp3;*.wav";
  o.DateOn = true;
  o.Date = "01/02/2003";
  o.AttributOn = true;
  o.Attribut = 33;
  o.Auto = true;
  o.Rapport = false;
  host.modelLine = "Piste_01.mp3";
  host.Scan();

  TDriver driver;
  driver.Then([&] {
    auto* d = FindForm<TQuoDial>("TQuoDial");
    if (!d) return false;
    EXPECT_EQ(d->LabelDirectory->Caption(), "Vacances 2024");
    EXPECT_EQ(d->LabelNbFiles->Caption(), "1 fichier : filtre (*.mp3;*.wav)");
    EXPECT_EQ(d->LabelModele->Caption(), "Piste_01.mp3");
    EXPECT_EQ(d->LabelDate->Caption(), "01/02/2003");
    EXPECT_EQ(d->LabelTime->Caption(), "Non");
    EXPECT_EQ(d->LabelAttribut->Caption(), "33");
    EXPECT_EQ(d->EditRapport->Text(), "Vacances 2024.txt");
    EXPECT_FALSE(d->CheckRapport->Checked());
    EXPECT_FALSE(d->EditRapport->Enabled());
    EXPECT_FALSE(d->WallpaperDial->Visible());
    EXPECT_FALSE(d->FStopRequested);
    // Over the main window's left column, level with its folder frame.
    RECT r;
    GetWindowRect(d->Handle(), &r);
    EXPECT_EQ(r.left, 48);
    EXPECT_EQ(r.top, 30 + 60 + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYSMCAPTION) + 2);
    // Checking the box turns the report on, and the name edit with it.
    d->CheckRapport->SetChecked(true);
    EXPECT_TRUE(host.options.Rapport);
    EXPECT_TRUE(d->EditRapport->Enabled());
    PostMessageA(d->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);  // Alt+F4 before a run closes
    return true;
  });
  driver.Start();
  app::RequestRename(host);
  ASSERT_TRUE(driver.Finished());
  EXPECT_EQ(host.Log, (std::vector<std::string>{"commit", "monitor off", "cache", "refresh", "monitor on"}));
  EXPECT_EQ(host.Files().count("seul.mp3"), 1u);
}
