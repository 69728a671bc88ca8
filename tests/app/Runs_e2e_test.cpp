// Whole renames in the real program under Wine, on real folders: a refused
// model, a rename with report and backup, a collision, a stop then undo, a
// simulation that changes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/app/E2eSupport.h"

using namespace qv::harness;
using namespace qv::e2e;
namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::set<std::string> NamesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.is_regular_file()) names.insert(AnsiPath(e.path().filename()));
  return names;
}

// The program on a folder, with the report folder and options prepared.
struct TRunSession {
  TTempFolder folder{"qvrun"};
  TTempFolder reports{"qvrep"};
  std::unique_ptr<TProgram> app;
  HWND main = nullptr;

  void Start(int expectedFiles) {
    WriteRegistryString(kOptionsKey, "DirRapport", AnsiPath(reports.Path()));
    app = std::make_unique<TProgram>(Quoted(folder.Path()));
    main = WaitForMain(*app);
    ASSERT_NE(main, nullptr);
    HWND list = FindControl(main, "FileList");
    ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == expectedFiles; })) << ListViewCount(list);
  }
  void SetModel(const std::string& model) { TypeModel(main, model); }
  // Opens a dialog by a button of the main window.
  HWND Open(const char* button, const char* dialogClass) {
    ClickAsync(FindControl(main, button));
    return app->WaitForWindow(dialogClass, "", 10s);
  }
  // The French message box that a step opened; its text.
  std::string Message(HWND& box) {
    box = app->WaitForWindow("TMessageForm", "", 10s);
    return box ? GetText(FindControl(box, "Message")) : std::string();
  }
  void Close() {
    if (app && main) CloseMain(*app, main);
  }
};

// "Opération terminée" after a rename, "Opération Undo terminée" after an undo.
bool Finished(HWND dialog) {
  const std::string status = GetText(FindControl(dialog, "LabelStatus"));
  return status.rfind("Opération", 0) == 0 && status.find("terminée") != std::string::npos;
}

}  // namespace

TEST(RunsE2E, AModelWithAForbiddenCharacterIsRefusedWithItsMessage) {
  ResetProgramRegistry();
  TRunSession s;
  s.folder.Write("a.txt", "a");
  s.Start(1);
  s.SetModel("Vacances:2024_");
  HWND box = nullptr;
  ClickAsync(FindControl(s.main, "BtnRenommer"));
  const std::string text = s.Message(box);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(text,
            "Le nom contient un caractère non autorisé (voir Aide).\r\n"
            "L'opération ne peut pas s'effectuer. Veuillez vérifier SVP.");
  EXPECT_EQ(GetText(box), "Avertissement");
  EXPECT_NE(FindControl(box, "Help"), nullptr);
  Click(FindControl(box, "OK"));
  EXPECT_EQ(NamesIn(s.folder.Path()), (std::set<std::string>{"a.txt"}));
  s.Close();
}

TEST(RunsE2E, RenameWithReportAndBackupThenACollision) {
  ResetProgramRegistry();
  WriteRegistryDword(kOptionsKey, "Backup", 1);
  TRunSession s;
  s.folder.Write("b.txt", "deux");
  s.folder.Write("a.txt", "un");
  s.folder.Write("c.txt", "trois");
  s.Start(3);
  s.SetModel("Doc_");
  HWND dlg = s.Open("BtnRenommer", "TQuoDial");
  ASSERT_NE(dlg, nullptr);
  const std::string folderName = AnsiPath(s.folder.Path().filename());
  EXPECT_EQ(GetText(FindControl(dlg, "EditRapport")), folderName + ".txt");
  EXPECT_EQ(GetText(FindControl(dlg, "LabelStatus")), "Opération en attente");
  Screenshot("e2e_quodial_before");
  ClickAsync(FindControl(dlg, "BtnOui"));
  ASSERT_TRUE(WaitUntil([&] { return Finished(dlg); }, 20s));
  EXPECT_TRUE(IsEnabled(FindControl(dlg, "BtnUndo")));
  EXPECT_TRUE(IsEnabled(FindControl(dlg, "BtnFermer")));
  Screenshot("e2e_quodial_after");
  ClickAsync(FindControl(dlg, "BtnFermer"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg) || !IsWindowVisible(dlg); }));

  EXPECT_EQ(NamesIn(s.folder.Path()), (std::set<std::string>{"Doc_00.txt", "Doc_01.txt", "Doc_02.txt"}));
  EXPECT_EQ(ReadFile(s.folder.Path() / "Doc_00.txt"), "un");
  EXPECT_EQ(ReadFile(s.folder.Path() / "Doc_02.txt"), "trois");
  EXPECT_EQ(NamesIn(s.folder.Path() / "Backup"), (std::set<std::string>{"a.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(ReadFile(s.folder.Path() / "Backup" / "b.txt"), "deux");
  const std::string report = ReadFile(s.reports.Path() / (folderName + ".txt"));
  EXPECT_NE(report.find("a.txt"), std::string::npos) << report;
  EXPECT_NE(report.find("Doc_00.txt"), std::string::npos) << report;
  EXPECT_NE(report.find("Ok"), std::string::npos) << report;
  EXPECT_EQ(report.find("Erreur"), std::string::npos) << report;

  // The list was rescanned; the same model again now collides with the
  // names it already gave, except where a file keeps its own name.
  HWND list = FindControl(s.main, "FileList");
  ASSERT_TRUE(WaitUntil([&] { return ListViewText(list, 0, 0) == "Doc_00.txt"; }));
  s.folder.Write("a.txt", "nouveau");
  PressKey(FindControl(s.main, "EditMask"), VK_F5);
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 4; }));
  dlg = s.Open("BtnRenommer", "TQuoDial");
  ASSERT_NE(dlg, nullptr);
  // The report exists: only Ignore overwrites it.
  ClickAsync(FindControl(dlg, "BtnOui"));
  HWND box = nullptr;
  const std::string question = s.Message(box);
  ASSERT_NE(box, nullptr);
  EXPECT_NE(question.find("existe déjà"), std::string::npos) << question;
  Click(FindControl(box, "Ignore"));
  ASSERT_TRUE(WaitUntil([&] { return Finished(dlg); }, 20s));
  ClickAsync(FindControl(dlg, "BtnFermer"));
  const std::string second = ReadFile(s.reports.Path() / (folderName + ".txt"));
  EXPECT_NE(second.find("Erreur"), std::string::npos) << second;
  // Nothing lost: four files, every content still there.
  std::multiset<std::string> contents;
  for (const auto& e : fs::directory_iterator(s.folder.Path()))
    if (e.is_regular_file()) contents.insert(ReadFile(e.path()));
  EXPECT_EQ(contents, (std::multiset<std::string>{"deux", "nouveau", "trois", "un"}));
  s.Close();
}

TEST(RunsE2E, StopInTheMiddleThenUndoBringsEveryFileBack) {
  ResetProgramRegistry();
  WriteRegistryDword(kOptionsKey, "Rapport", 0);
  TRunSession s;
  const int count = 1500;
  for (int i = 0; i < count; ++i) s.folder.Write("f" + std::to_string(1000 + i) + ".dat", std::to_string(i));
  s.Start(count);
  s.SetModel("R_");
  HWND dlg = s.Open("BtnRenommer", "TQuoDial");
  ASSERT_NE(dlg, nullptr);
  ClickAsync(FindControl(dlg, "BtnOui"));
  HWND stop = FindControl(dlg, "BtnArreter");
  ASSERT_TRUE(WaitUntil([&] { return IsEnabled(stop); }, 10s));
  Screenshot("e2e_quodial_during");
  ClickAsync(stop);
  HWND box = nullptr;
  const std::string question = s.Message(box);
  ASSERT_NE(box, nullptr) << "the run ended before the stop";
  EXPECT_NE(question.find("arrêter"), std::string::npos) << question;
  Click(FindControl(box, "Yes"));
  ASSERT_TRUE(WaitUntil([&] { return Finished(dlg); }, 30s));
  const auto afterStop = NamesIn(s.folder.Path());
  size_t renamed = 0;
  for (const auto& n : afterStop) renamed += n.rfind("R_", 0) == 0;
  EXPECT_GT(renamed, 0u);
  EXPECT_LT(renamed, static_cast<size_t>(count)) << "the stop did not stop";
  EXPECT_EQ(afterStop.size(), static_cast<size_t>(count));

  ClickAsync(FindControl(dlg, "BtnUndo"));
  const std::string confirm = s.Message(box);
  ASSERT_NE(box, nullptr);
  EXPECT_NE(confirm.find("annuler l'opération"), std::string::npos) << confirm;
  Click(FindControl(box, "Yes"));
  ASSERT_TRUE(WaitUntil(
      [&] { return GetText(FindControl(dlg, "LabelStatus")) == "Opération Undo terminée"; }, 60s))
      << GetText(FindControl(dlg, "LabelStatus"));
  std::set<std::string> expected;
  for (int i = 0; i < count; ++i) expected.insert("f" + std::to_string(1000 + i) + ".dat");
  EXPECT_EQ(NamesIn(s.folder.Path()), expected);
  EXPECT_EQ(ReadFile(s.folder.Path() / "f1007.dat"), "7");
  ClickAsync(FindControl(dlg, "BtnFermer"));
  s.Close();
}

TEST(RunsE2E, SimulationListsInvalidAndCollidingNamesAndChangesNothing) {
  ResetProgramRegistry();
  TRunSession s;
  s.folder.Write("un.txt", "1");
  s.folder.Write("deux.txt", "2");
  // A name the model gives is taken by something that is not in the list.
  fs::create_directory(s.folder.Path() / "Copie_00.txt");
  s.Start(2);
  s.SetModel("Copie_");
  HWND dlg = s.Open("BtnSimuler", "TSimulation");
  ASSERT_NE(dlg, nullptr);
  HWND close = FindControl(dlg, "BtnFermer");
  ASSERT_TRUE(WaitUntil([&] { return IsEnabled(close); }, 20s));
  std::string memo = GetText(FindControl(dlg, "Memo"));
  EXPECT_NE(memo.find("nom existant"), std::string::npos) << memo;
  Screenshot("e2e_simulation");
  ClickAsync(close);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg) || !IsWindowVisible(dlg); }));

  // A reserved device name is no file name, whatever its extension.
  Click(FindControl(s.main, "CheckAucun"));
  s.SetModel("CON");
  dlg = s.Open("BtnSimuler", "TSimulation");
  ASSERT_NE(dlg, nullptr);
  close = FindControl(dlg, "BtnFermer");
  ASSERT_TRUE(WaitUntil([&] { return IsEnabled(close); }, 20s));
  memo = GetText(FindControl(dlg, "Memo"));
  EXPECT_NE(memo.find("nom invalide"), std::string::npos) << memo;
  ClickAsync(close);
  EXPECT_EQ(NamesIn(s.folder.Path()), (std::set<std::string>{"deux.txt", "un.txt"}));
  s.Close();
}
