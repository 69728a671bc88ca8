// The rename dialog end to end over real folders: the request opens it,
// real messages drive it (clicks, close box, Alt+F4, Esc), the engine's
// runs rename real files, and the files, backups and report lines are
// read back from the disk.
#include <gtest/gtest.h>

#include <set>

#include "app/dialogs/DialogTestSupport.h"

using namespace qv;
using namespace qv::test;
using app::TQuoDial;

namespace {

std::string LastWriteLocal(const std::u16string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(W(path), GetFileExInfoStandard, &data)) return "<absent>";
  FILETIME local;
  SYSTEMTIME st;
  FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
  FileTimeToSystemTime(&local, &st);
  char buf[32];
  snprintf(buf, sizeof buf, "%02u/%02u/%04u %02u:%02u:%02u", st.wDay, st.wMonth, st.wYear, st.wHour, st.wMinute,
           st.wSecond);
  return buf;
}

// The dialog once it is on screen.
TDriver::TStep Found(TQuoDial*& d) {
  return [&d] {
    d = FindForm<TQuoDial>("TQuoDial");
    return d != nullptr;
  };
}

// The run is over and the dialog can be closed.
TDriver::TStep RunOver(TQuoDial*& d) {
  return [&d] { return !d->Running() && d->BtnFermer->Visible() && d->BtnFermer->Enabled(); };
}

void ExpectButton(fw::TControl* b, bool visible, bool enabled) {
  EXPECT_EQ(b->Visible(), visible) << b->Name();
  EXPECT_EQ(b->Enabled(), enabled) << b->Name();
}

}  // namespace

TEST(QuoDial, RenamesWithReportAndBackupAndOpensTheReportQuoted) {
  TMessages messages;
  TTestHost host;
  for (const char* name : {"plage.jpg", "port.jpg", "dune.jpg", "phare.jpg"}) host.File(name);
  host.File("notes.txt");
  eng::TProgramOptions& o = host.options;
  o.Mask = "*.jpg";
  o.Backup = true;
  o.Rapport = true;
  o.DateOn = true;
  o.Date = "25/12/2006";
  o.TimeOn = true;
  o.Time = "14:30:00";
  o.Texture = true;
  host.Scan();
  std::vector<std::string> started;
  app::SetProgramStarter([&](const std::string& commandLine) {
    started.push_back(commandLine);
    return true;
  });

  TQuoDial* d = nullptr;
  std::string reportPath;
  TDriver driver;
  driver.Then(Found(d))
      .Then(TDriver::Wait(200))
      .Do([&] {
        // Waiting: the parameters, the report name, start and cancel only.
        EXPECT_EQ(d->Caption(), "Renommer");
        EXPECT_EQ(d->LabelDirectory->Caption(), "Vacances 2024");
        EXPECT_EQ(d->LabelNbFiles->Caption(), "4 fichiers : filtre (*.jpg)");
        EXPECT_EQ(d->LabelModele->Caption(), "Photo_01.jpg");
        EXPECT_EQ(d->LabelDate->Caption(), "25/12/2006");
        EXPECT_EQ(d->LabelTime->Caption(), "14:30:00");
        EXPECT_EQ(d->LabelAttribut->Caption(), "Non");
        EXPECT_EQ(d->LabelStatus->Caption(), "Opération en attente");
        EXPECT_EQ(d->PanelStatus->Caption(), "4 fichiers : filtre (*.jpg)");
        EXPECT_EQ(d->EditRapport->Text(), "Vacances 2024.txt");
        EXPECT_TRUE(d->CheckRapport->Checked());
        EXPECT_TRUE(d->EditRapport->Enabled());
        EXPECT_TRUE(d->WallpaperDial->Visible());
        ExpectButton(d->BtnOui, true, true);
        ExpectButton(d->BtnNon, true, true);
        for (auto* b : {d->BtnUndo, d->BtnArreter, d->BtnRapport, d->BtnFermer}) ExpectButton(b, false, false);
        reportPath = d->ReportFilePath();
        SaveScreenshot(d->Handle(), "quodial_before");
        PostClick(d->BtnOui);
      })
      .Then(RunOver(d))
      .Then(TDriver::Wait(200))
      .Do([&] {
        EXPECT_EQ(d->LabelStatus->Caption(), "Opération terminée");
        EXPECT_EQ(d->PanelStatus->Caption(), "4 fichiers renommés - 0 fichier non renommé");
        EXPECT_EQ(d->ProgressBar->Position(), 4);
        ExpectButton(d->BtnUndo, true, true);
        ExpectButton(d->BtnArreter, true, false);
        ExpectButton(d->BtnRapport, true, true);
        ExpectButton(d->BtnOui, true, false);
        ExpectButton(d->BtnNon, true, false);
        EXPECT_FALSE(d->CheckRapport->Enabled());
        EXPECT_FALSE(d->EditRapport->Enabled());
        SaveScreenshot(d->Handle(), "quodial_after");
        PostClick(d->BtnRapport);
      })
      .Then([&] { return !started.empty(); })
      .Do([&] { PostClick(d->BtnFermer); });
  driver.Start();
  app::RequestRename(host);
  app::SetProgramStarter({});
  ASSERT_TRUE(driver.Finished());

  // The files, in list order, with their contents, and the one outside the mask.
  EXPECT_EQ(host.Files(), (std::map<std::string, std::string>{{"Photo_01.jpg", "<dune.jpg>"},
                                                              {"Photo_02.jpg", "<phare.jpg>"},
                                                              {"Photo_03.jpg", "<plage.jpg>"},
                                                              {"Photo_04.jpg", "<port.jpg>"},
                                                              {"notes.txt", "<notes.txt>"}}));
  for (const char* n : {"Photo_01.jpg", "Photo_04.jpg"}) EXPECT_EQ(LastWriteLocal(host.Path(n)), "25/12/2006 14:30:00");
  EXPECT_EQ(host.Files(host.folder + u"\\Backup"),
            (std::map<std::string, std::string>{{"dune.jpg", "<dune.jpg>"},
                                                {"phare.jpg", "<phare.jpg>"},
                                                {"plage.jpg", "<plage.jpg>"},
                                                {"port.jpg", "<port.jpg>"}}));

  const std::vector<std::string> lines = host.ReportLines("Vacances 2024.txt");
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[0], "Rapport Quorvant Pro version 3.2.0.0");
  EXPECT_EQ(lines[1].rfind("Date d'exécution : ", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "Dossier à explorer     : Vacances 2024");
  EXPECT_EQ(lines[4], "Nombre de fichiers     : 4 fichiers : filtre (*.jpg)");
  EXPECT_EQ(lines[5], "Modèle d'exemple       : Photo_01.jpg");
  EXPECT_EQ(lines[6], "Modifier les dates     : 25/12/2006");
  EXPECT_EQ(lines[7], "Modifier les heures    : 14:30:00");
  EXPECT_EQ(lines[8], "Modifier les attributs : Non");
  EXPECT_EQ(lines[9], "");
  const char* olds[] = {" dune.jpg", "phare.jpg", "plage.jpg", " port.jpg"};
  for (int i = 0; i < 4; ++i) {
    const std::string& line = lines[10 + i];
    EXPECT_EQ(line.rfind(std::string(olds[i]) + " | ", 0), 0u) << line;
    EXPECT_NE(line.find(" = Photo_0" + std::to_string(i + 1) + ".jpg | Ok"), std::string::npos) << line;
    EXPECT_EQ(line.size() - line.rfind(" | Ok"), 5u) << line;
  }
  EXPECT_EQ(lines[14], "");
  EXPECT_EQ(lines[15], "Opération terminée : 4 fichiers renommés - 0 fichier non renommé");

  // The editor and the report, each quoted: both paths hold blanks.
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], "\"" + app::DefaultEditor() + "\" \"" + reportPath + "\"");
  EXPECT_NE(reportPath.find("Quorvant Pro\\Rapports\\Vacances 2024.txt"), std::string::npos);

  EXPECT_EQ(host.MainStatus, (std::vector<std::string>{"Opération en cours...", ""}));
  EXPECT_EQ(host.Log, (std::vector<std::string>{"commit", "monitor off", "cache", "refresh", "monitor off"}));
  EXPECT_TRUE(messages.All.empty()) << messages.Texts()[0];
}

TEST(QuoDial, ACollidingNameFailsAndNothingIsLost) {
  TMessages messages;
  TTestHost host;
  host.File("a.txt");
  host.File("b.txt");
  host.File("c.doc");
  host.options.NameFile = "Pareil";
  host.options.NoneIndice = true;
  host.Scan();

  TQuoDial* d = nullptr;
  TDriver driver;
  driver.Then(Found(d)).Do([&] { PostClick(d->BtnOui); }).Then(RunOver(d)).Do([&] {
    EXPECT_EQ(d->PanelStatus->Caption(), "2 fichiers renommés - 1 fichier non renommé");
    PostClick(d->BtnFermer);
  });
  driver.Start();
  app::RequestRename(host);
  ASSERT_TRUE(driver.Finished());

  EXPECT_EQ(host.Files(), (std::map<std::string, std::string>{
                              {"Pareil.txt", "<a.txt>"}, {"b.txt", "<b.txt>"}, {"Pareil.doc", "<c.doc>"}}));
  const std::vector<std::string> lines = host.ReportLines("Vacances 2024.txt");
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_NE(lines[10].find("a.txt | "), std::string::npos);
  EXPECT_EQ(lines[10].substr(lines[10].size() - 5), " | Ok");
  EXPECT_NE(lines[11].find("b.txt | "), std::string::npos);
  EXPECT_EQ(lines[11].substr(lines[11].size() - 22), " = Pareil.txt | Erreur") << lines[11];
  EXPECT_EQ(lines[14], "Opération terminée : 2 fichiers renommés - 1 fichier non renommé");
  // The word says why: the report ends with the summary, and no message
  // stands in the way of the dialog's buttons.
  EXPECT_TRUE(messages.All.empty()) << messages.Texts()[0];
}

TEST(QuoDial, StoppedInTheMiddleThenUndoneEveryFileBackIntact) {
  TMessages messages;
  messages.Answer = [](const TMessage&) { return IDYES; };  // stop, then undo
  TTestHost host;
  std::map<std::string, std::string> before;
  for (int i = 1; i <= 60; ++i) {
    char name[32];
    snprintf(name, sizeof name, "img%03d.png", i);
    host.File(name, std::string(100 + i, static_cast<char>('a' + i % 26)));
  }
  before = host.Files();
  host.options.AttributOn = true;
  host.options.Attribut = 1;  // read-only: undo must put the old attributes back
  host.Scan();

  TQuoDial* d = nullptr;
  host.disk.RenameDelayMs = 2;
  host.disk.OnRename = [&](int n) {
    if (n == 8) PostClick(d->BtnArreter);
  };
  TDriver driver;
  driver.Then(Found(d))
      .Do([&] { PostClick(d->BtnOui); })
      .Then(RunOver(d))
      .Do([&] {
        EXPECT_EQ(d->LabelStatus->Caption(), "Opération terminée");
        ExpectButton(d->BtnUndo, true, true);
        host.disk.OnRename = nullptr;
        host.disk.RenameDelayMs = 0;
        PostClick(d->BtnUndo);
      })
      .Then([&] { return !d->Running() && d->LabelStatus->Caption() == "Opération Undo terminée"; })
      .Do([&] {
        ExpectButton(d->BtnUndo, true, false);
        ExpectButton(d->BtnArreter, true, false);
        ExpectButton(d->BtnFermer, true, true);
        PostClick(d->BtnFermer);
      });
  driver.Start();
  app::RequestRename(host);
  ASSERT_TRUE(driver.Finished());

  ASSERT_EQ(messages.All.size(), 2u);
  EXPECT_EQ(messages.All[0].Text, "\r\nVoulez-vous arrêter l'opération en cours ?");
  EXPECT_EQ(messages.All[0].Type, eng::mtConfirmation);
  EXPECT_EQ(messages.All[1].Text,
            "Attention, vous allez annuler l'opération !\r\nTous les paramètres vont être restaurés.\r\n\r\n"
            "Souhaitez-vous restaurer tous les fichiers ?");
  EXPECT_EQ(messages.All[1].Type, eng::mtWarning);

  // Every file back under its name, with its content and attributes.
  EXPECT_EQ(host.Files(), before);
  for (const auto& [name, content] : before)
    EXPECT_FALSE(GetFileAttributesW(W(host.Path(name))) & FILE_ATTRIBUTE_READONLY) << name;

  // The report tells the stop, then the undo appended to it.
  const std::vector<std::string> lines = host.ReportLines("Vacances 2024.txt");
  int renamed = 0;
  for (size_t i = 10; i < lines.size() && !lines[i].empty(); ++i) renamed += lines[i].ends_with(" | Ok");
  EXPECT_GT(renamed, 7);
  EXPECT_LT(renamed, 60);
  auto at = [&](const std::string& s) { return std::find(lines.begin(), lines.end(), s) - lines.begin(); };
  const auto stopped = at("Opération interrompue par l'utilisateur");
  ASSERT_LT(stopped, static_cast<long>(lines.size()));
  EXPECT_EQ(lines[stopped + 2], "Opération terminée : " + std::to_string(renamed) + " fichiers renommés - 0 fichier non renommé");
  const auto undo = at("Restauration demandée par l'utilisateur");
  ASSERT_LT(undo, static_cast<long>(lines.size()));
  EXPECT_EQ(lines.back(), "Opération Undo terminée : " + std::to_string(renamed) + " fichiers renommés (0 erreur) - " +
                              std::to_string(60 - renamed) + " fichiers ignorés");
}

TEST(QuoDial, CloseBoxAltF4AndEscAreRefusedWhileTheRunGoesOn) {
  TMessages messages;
  TTestHost host;
  for (int i = 1; i <= 40; ++i) host.File("doc" + std::to_string(100 + i) + ".txt");
  host.options.Rapport = false;
  host.options.Texture = true;
  host.Scan();

  TQuoDial* d = nullptr;
  bool sawRunning = false;
  host.disk.RenameDelayMs = 3;
  host.disk.OnRename = [&](int n) {
    if (n == 5) {
      sawRunning = d->Running();
      PostMessageA(d->Handle(), WM_CLOSE, 0, 0);
      PostMessageA(d->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
      PostEscape(d->Handle());
    }
    if (n == 24) SaveScreenshot(d->Handle(), "quodial_during");
  };
  TDriver driver;
  driver.Then(Found(d))
      .Do([&] {
        // Without a report the name edit is greyed.
        EXPECT_FALSE(d->EditRapport->Enabled());
        PostClick(d->BtnOui);
      })
      .Then(RunOver(d))
      .Do([&] {
        EXPECT_TRUE(IsWindowVisible(d->Handle()));
        EXPECT_EQ(d->PanelStatus->Caption(), "40 fichiers renommés - 0 fichier non renommé");
        ExpectButton(d->BtnRapport, true, false);
        PostEscape(d->Handle());  // over: Esc closes
      });
  driver.Start();
  app::RequestRename(host);
  ASSERT_TRUE(driver.Finished());
  EXPECT_TRUE(sawRunning);
  EXPECT_EQ(host.Files().size(), 40u);
  EXPECT_EQ(host.Files().count("Photo_40.txt"), 1u);
  EXPECT_TRUE(host.Files(host.ReportsFolder()).empty());
  EXPECT_TRUE(messages.All.empty());
}

TEST(QuoDial, OnlyTheExplicitAnswerOverwritesAReportOrUndoes) {
  TMessages messages;
  messages.RealDialog = true;
  TTestHost host;
  host.File("x.txt");
  host.File("y.txt");
  host.Scan();
  CreateDirectoryW(W(host.temp / u"Quorvant Pro"), nullptr);
  CreateDirectoryW(W(host.ReportsFolder()), nullptr);
  {
    std::ofstream old(A(host.ReportsFolder()) + "\\Vacances 2024.txt", std::ios::binary);
    old << "ancien";
  }
  const auto before = host.Files();
  auto box = [] { return FindForm<fw::TForm>("TMessageForm"); };
  auto answer = [&](const char* button) {
    return [&, button] {
      fw::TForm* m = box();
      if (!m) return false;
      if (std::string(button) == "close")
        PostMessageA(m->Handle(), WM_CLOSE, 0, 0);
      else
        PostMessageA(FindChild(m->Handle(), button), BM_CLICK, 0, 0);
      return true;
    };
  };
  auto boxGone = [&] { return box() == nullptr; };
  auto unchanged = [&] {
    EXPECT_EQ(host.Files(), before);
    EXPECT_EQ(TTestHost::Read(host.ReportsFolder() + u"\\Vacances 2024.txt"), "ancien");
  };

  TQuoDial* d = nullptr;
  TDriver driver;
  driver.Then(Found(d))
      .Do([&] { PostClick(d->BtnOui); })
      .Then(answer("close"))
      .Then(boxGone)
      .Do([&] {
        unchanged();
        EXPECT_EQ(d->LabelStatus->Caption(), "Opération en attente");
        ExpectButton(d->BtnOui, true, true);
        PostClick(d->BtnOui);
      })
      .Then(answer("Abort"))
      .Then(boxGone)
      .Do([&] {
        unchanged();
        PostClick(d->BtnOui);
      })
      .Then(answer("Ignore"))
      .Then(RunOver(d))
      .Do([&] {
        EXPECT_EQ(host.Files().count("Photo_02.txt"), 1u);
        PostClick(d->BtnUndo);
      })
      .Then(answer("close"))
      .Then(boxGone)
      .Do([&] {
        EXPECT_EQ(host.Files().count("Photo_02.txt"), 1u);  // not undone
        ExpectButton(d->BtnUndo, true, true);
        PostClick(d->BtnUndo);
      })
      .Then(answer("No"))
      .Then(boxGone)
      .Do([&] {
        EXPECT_EQ(host.Files().count("Photo_02.txt"), 1u);
        PostClick(d->BtnUndo);
      })
      .Then(answer("Yes"))
      .Then([&] { return !d->Running() && d->LabelStatus->Caption() == "Opération Undo terminée"; })
      .Do([&] { PostClick(d->BtnFermer); });
  driver.Start();
  app::RequestRename(host);
  ASSERT_TRUE(driver.Finished());

  EXPECT_EQ(host.Files(), before);
  const std::vector<std::string> lines = host.ReportLines("Vacances 2024.txt");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "Rapport Quorvant Pro version 3.2.0.0");
  EXPECT_EQ(lines.back(), "Opération Undo terminée : 2 fichiers renommés (0 erreur) - 0 fichier ignoré");
  ASSERT_EQ(messages.All.size(), 6u);
  EXPECT_EQ(messages.All[0].Text, "Attention, le rapport suivant existe déjà sur le disque :\r\n" + A(host.ReportsFolder()) +
                                      "\\Vacances 2024.txt\r\n\r\nChoisissez Ignorer pour écraser le fichier existant.");
  EXPECT_EQ(messages.All[0].Buttons, eng::mbAbort | eng::mbIgnore);
}

TEST(QuoDial, ReportNamesThatCannotBeFilesAreRefusedWithTheMessage) {
  TMessages messages;
  TTestHost host;
  host.File("x.txt");
  host.Scan();
  const auto before = host.Files();
  const std::vector<std::string> names = {"rap:port.txt", "CON.txt", "sous\\dossier.txt", "fin.", ""};
  size_t next = 0;

  TQuoDial* d = nullptr;
  TDriver driver;
  driver.Then(Found(d)).Then([&] {
    if (next == names.size()) {
      PostClick(d->BtnNon);
      return true;
    }
    if (messages.All.size() == next) {
      d->EditRapport->SetText(names[next]);
      SendMessageA(d->BtnOui->Handle(), BM_CLICK, 0, 0);
      ++next;
    }
    return false;
  });
  driver.Start();
  app::RequestRename(host);
  ASSERT_TRUE(driver.Finished());

  ASSERT_EQ(messages.All.size(), names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(messages.All[i].Text, "Attention, le rapport suivant ne peut pas être créé :\r\n" +
                                        A(host.ReportsFolder()) + "\\" + names[i] +
                                        "\r\n\r\nL'opération ne peut pas être exécutée.");
    EXPECT_EQ(messages.All[i].Type, eng::mtError);
  }
  EXPECT_EQ(host.Files(), before);
  EXPECT_TRUE(host.Files(host.ReportsFolder()).empty());
}

TEST(QuoDial, AReportFolderThatCannotBeMadeStopsTheRun) {
  TMessages messages;
  TTestHost host;
  host.File("x.txt");
  host.Scan();
  host.options.DirRapport = A(host.Path("x.txt")) + "\\Rapports\\";  // below a file

  TQuoDial* d = nullptr;
  TDriver driver;
  driver.Then(Found(d))
      .Do([&] { PostClick(d->BtnOui); })
      .Then([&] { return !messages.All.empty(); })
      .Do([&] { PostClick(d->BtnNon); });
  driver.Start();
  app::RequestRename(host);
  ASSERT_TRUE(driver.Finished());
  ASSERT_EQ(messages.All.size(), 1u);
  EXPECT_EQ(messages.All[0].Text, "Attention, le chemin suivant ne peut pas être créé :\r\n" + A(host.Path("x.txt")) +
                                      "\\Rapports\r\n\r\nL'opération ne peut pas être exécutée.");
  EXPECT_EQ(host.Files().count("x.txt"), 1u);
}

TEST(QuoDial, CtrlClickOnTheReportNameChoosesTheEditor) {
  TMessages messages;
  TTestHost host;
  host.File("x.txt");
  host.File("editeur.exe");
  host.Scan();
  host.options.Editor = "C:\\ancien.exe";
  const std::string existing = A(host.Path("editeur.exe"));

  TQuoDial* d = nullptr;
  auto ctrlClick = [&] {
    const LPARAM at = MAKELPARAM(5, 5);
    PostMessageA(d->EditRapport->Handle(), WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, at);
    PostMessageA(d->EditRapport->Handle(), WM_LBUTTONUP, MK_CONTROL, at);
  };
  auto type = [](std::string text) {
    return [text] {
      HWND q = FindWindowA("TInputQueryForm", nullptr);
      if (!q || !IsWindowVisible(q)) return false;
      char preset[MAX_PATH] = {};
      GetWindowTextA(FindChild(q, "Value"), preset, sizeof preset);
      SendMessageA(FindChild(q, "Value"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
      PostMessageA(FindChild(q, "OK"), BM_CLICK, 0, 0);
      return true;
    };
  };
  auto queryGone = [] { return !IsWindowVisible(FindWindowA("TInputQueryForm", nullptr)); };
  TDriver driver;
  driver.Then(Found(d))
      .Do(ctrlClick)
      .Then(type("C:\\nulle part\\editeur.exe"))
      .Then([&] { return queryGone() && messages.All.size() == 1; })
      .Do([&] {
        EXPECT_EQ(host.options.Editor, app::DefaultEditor());
        ctrlClick();
      })
      .Then(type("\"" + existing + "\""))
      .Then(queryGone)
      .Do([&] { PostClick(d->BtnNon); });
  driver.Start();
  app::RequestRename(host);
  ASSERT_TRUE(driver.Finished());
  ASSERT_EQ(messages.All.size(), 1u);
  EXPECT_EQ(messages.All[0].Text, "Attention, le fichier indiqué n'existe pas.\r\nL'éditeur par défaut a été restauré.");
  EXPECT_EQ(messages.All[0].Type, eng::mtWarning);
  EXPECT_EQ(host.options.Editor, existing);
  EXPECT_EQ(host.Files().count("x.txt"), 1u);
}
