// Whole renames in the real program under Wine, on real folders: a refused
// model, a rename with report and backup, a collision, a stop then undo, a
// simulation that changes nothing, runs killed at a random moment.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <vector>

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

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    out.push_back(text.substr(start, end - start));
  if (start < text.size()) out.push_back(text.substr(start) + "<no CR LF at the end>");
  return out;
}

// A file line of a rename report: old name right-aligned | its date and
// time | attributes | new name right-aligned | the outcome, nothing more.
std::string FileLinePattern(const std::string& oldName, size_t w1, const std::string& newName, size_t w2,
                            const std::string& word) {
  auto pad = [](const std::string& n, size_t w) { return std::string(n.size() < w ? w - n.size() : 0, ' ') + n; };
  auto quote = [](const std::string& t) { return std::regex_replace(t, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)"); };
  return quote(pad(oldName, w1)) + R"( \| \d{1,2}/\d{1,2}/\d{4} \d\d:\d\d:\d\d \| (?: \d|\d{2,}) = )" + quote(pad(newName, w2)) +
         " \\| " + word;
}

// "Opération terminée" after a rename, "Opération Undo terminée" after an undo.
bool Finished(HWND dialog) {
  const std::string status = GetText(FindControl(dialog, "LabelStatus"));
  return status.rfind("Opération", 0) == 0 && status.find("terminée") != std::string::npos;
}

// A finished run leaves its dialog usable: no message box over it, its
// end buttons enabled. The next box must be the undo's own question, so a
// box opened at the end of the run would be met first.
void ExpectUsableAtOnce(TProgram& app, HWND dlg) {
  EXPECT_TRUE(IsWindowEnabled(dlg));
  EXPECT_TRUE(IsEnabled(FindControl(dlg, "BtnUndo")));
  EXPECT_TRUE(IsEnabled(FindControl(dlg, "BtnFermer")));
  EXPECT_EQ(TopWindows(app.Pid(), "TMessageForm").size(), 0u);
}

// The file's last-write time set to a local date and time.
void SetModifiedLocal(const fs::path& file, WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD sec) {
  const SYSTEMTIME st{y, mo, 0, d, h, mi, sec, 0};
  FILETIME local, utc;
  ASSERT_TRUE(SystemTimeToFileTime(&st, &local));
  ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
  HANDLE f = CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(SetFileTime(f, nullptr, nullptr, &utc));
  CloseHandle(f);
}

const std::regex kExecutionDate(R"(Date d'exécution : \d{1,2}/\d{1,2}/\d{4} \d{1,2}:\d\d:\d\d)");

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
  const std::string nbFiles = GetText(FindControl(dlg, "LabelNbFiles"));
  const std::string modele = GetText(FindControl(dlg, "LabelModele"));
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
  // The report, line by line as the users' tools read it.
  const std::vector<std::string> report = Lines(ReadFile(s.reports.Path() / (folderName + ".txt")));
  ASSERT_EQ(report.size(), 15u);
  EXPECT_EQ(report[0], "Rapport Quorvant Pro version 3.2.0.0");
  EXPECT_TRUE(std::regex_match(report[1], std::regex(R"(Date d'exécution : \d{1,2}/\d{1,2}/\d{4} \d{1,2}:\d\d:\d\d)")))
      << report[1];
  EXPECT_EQ(std::vector<std::string>(report.begin() + 2, report.begin() + 10),
            (std::vector<std::string>{"", "Dossier à explorer     : " + folderName, "Nombre de fichiers     : " + nbFiles,
                                      "Modèle d'exemple       : " + modele, "Modifier les dates     : Non",
                                      "Modifier les heures    : Non", "Modifier les attributs : Non", ""}));
  const char* olds[] = {"a.txt", "b.txt", "c.txt"};
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(std::regex_match(report[10 + i],
                                 std::regex(FileLinePattern(olds[i], 5, "Doc_0" + std::to_string(i) + ".txt", 10, "Ok"))))
        << report[10 + i];
  EXPECT_EQ(report[13], "");
  EXPECT_EQ(report[14], "Opération terminée : 3 fichiers renommés - 0 fichier non renommé");

  // The list was rescanned; the same model again now collides with the
  // names it already gave, except where a file keeps its own name.
  HWND list = FindControl(s.main, "FileList");
  ASSERT_TRUE(WaitUntil([&] { return ListViewText(list, 0, 0) == "Doc_00.txt"; }));
  s.folder.Write("a.txt", "nouveau");
  PressKey(FindControl(s.main, "EditMask"), VK_F5);
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 4; }));
  // What the run will meet, row by row: a name held by a file not yet
  // renamed is taken (the same name is no change).
  std::vector<std::pair<std::string, std::string>> rows;
  std::set<std::string> held;
  size_t w1 = 0, w2 = 0;
  for (int i = 0; i < 4; ++i) {
    rows.emplace_back(ListViewText(list, i, 0), ListViewText(list, i, 1));
    held.insert(Lower(rows.back().first));
    w1 = std::max(w1, rows.back().first.size());
    w2 = std::max(w2, rows.back().second.size());
  }
  std::vector<std::string> expectedWords;
  int failures = 0;
  for (const auto& [from, to] : rows) {
    const bool ok = Lower(from) == Lower(to) || !held.count(Lower(to));
    if (ok) {
      held.erase(Lower(from));
      held.insert(Lower(to));
    } else {
      ++failures;
    }
    expectedWords.push_back(ok ? "Ok" : "Erreur");
  }
  ASSERT_GT(failures, 0);
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
  ExpectUsableAtOnce(*s.app, dlg);
  ClickAsync(FindControl(dlg, "BtnFermer"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg) || !IsWindowVisible(dlg); }));
  // The per-file word is the whole record: the report ends with its summary.
  const std::vector<std::string> second = Lines(ReadFile(s.reports.Path() / (folderName + ".txt")));
  ASSERT_EQ(second.size(), 10u + 4 + 2);
  for (size_t i = 0; i < 4; ++i)
    EXPECT_TRUE(std::regex_match(second[10 + i], std::regex(FileLinePattern(rows[i].first, w1, rows[i].second, w2,
                                                                             expectedWords[i]))))
        << second[10 + i];
  EXPECT_EQ(second[15], "Opération terminée : " + std::to_string(4 - failures) + " fichier" +
                            (4 - failures > 1 ? "s renommés" : " renommé") + " - " + std::to_string(failures) +
                            " fichier" + (failures > 1 ? "s non renommés" : " non renommé"));
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

// ---- A rename run killed at a random moment ---------------------------------
// QV_KILL_ROUNDS (default 1) rounds of each kind, QV_KILL_FILES files
// (default 2,000). Whatever the moment, every file is under its old name,
// its new name or the temporary name its report line gives, with its own
// content, and every file that moved has its line started in the report.

namespace {

int EnvInt(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::atoi(v) : fallback;
}

std::string FileName(int i) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "img%04d.dat", i);
  return buf;
}

// The percentage the dialog's status shows ("Opération en cours (33,3 %)").
double ShownPercent(HWND dialog) {
  const std::string status = GetText(FindControl(dialog, "LabelStatus"));
  const size_t open = status.find(" (");
  if (status.rfind("Opération en cours", 0) != 0 || open == std::string::npos) return -1;
  std::string number = status.substr(open + 2);
  for (char& c : number)
    if (c == ',') c = '.';
  return std::atof(number.c_str());
}

struct TStartedLine {
  std::string newName;
  std::string rest;  // "Ok", "Erreur", "" or the temporary name on record
};

// The file lines of a rename report as far as they reached the disk, by
// old name.
std::map<std::string, TStartedLine> StartedLines(const std::string& report) {
  std::map<std::string, TStartedLine> out;
  size_t start = 0;
  for (int line = 0; start < report.size(); ++line) {
    size_t end = report.find("\r\n", start);
    const std::string text = report.substr(start, end == std::string::npos ? std::string::npos : end - start);
    start = end == std::string::npos ? report.size() : end + 2;
    if (line < 10) continue;
    if (text.empty()) break;
    const size_t bar = text.find(" | ");
    const size_t eq = text.find(" = ", bar == std::string::npos ? 0 : bar);
    const size_t bar2 = eq == std::string::npos ? std::string::npos : text.find(" | ", eq + 3);
    if (bar2 == std::string::npos) {
      ADD_FAILURE() << "a line cut before its first piece ended: " << text;
      break;
    }
    auto trimmed = [](std::string s) { return s.substr(std::min(s.find_first_not_of(' '), s.size())); };
    out[trimmed(text.substr(0, bar))] = {trimmed(text.substr(eq + 3, bar2 - eq - 3)), text.substr(bar2 + 3)};
  }
  return out;
}

enum class TKillKind { Plain, CaseOnly };

void KillRounds(TKillKind kind) {
  const int rounds = EnvInt("QV_KILL_ROUNDS", 1);
  const int count = EnvInt("QV_KILL_FILES", 2000);
  std::random_device seed;
  std::mt19937 random(seed());
  for (int round = 0; round < rounds; ++round) {
    ResetProgramRegistry();
    if (kind == TKillKind::Plain) {
      WriteRegistryString(kOptionsKey, "Name File", "K_");
      WriteRegistryDword(kOptionsKey, "Format", 4);
    } else {
      // The old name in capitals: every rename changes letter case only.
      WriteRegistryDword(kOptionsKey, "No File", 1);
      WriteRegistryDword(kOptionsKey, "Casse File", 1);
      WriteRegistryDword(kOptionsKey, "None Indice", 1);
    }
    TRunSession s;
    for (int i = 0; i < count; ++i) s.folder.Write(FileName(i), "content " + std::to_string(i));
    s.Start(count);
    HWND dlg = s.Open("BtnRenommer", "TQuoDial");
    ASSERT_NE(dlg, nullptr);
    const std::string reportName = GetText(FindControl(dlg, "EditRapport"));
    const double target = std::uniform_real_distribution<double>(0.0, 100.0)(random);
    ClickAsync(FindControl(dlg, "BtnOui"));
    // The moment is whatever the run has reached once the status shows
    // the target; the checks below hold for any moment.
    WaitUntil([&] { return ShownPercent(dlg) >= target || Finished(dlg); }, 120s);
    const double shown = ShownPercent(dlg);
    // Reading the status lands where the run lets messages through: a
    // few milliseconds more put the kill anywhere in a file's steps.
    Sleep(std::uniform_int_distribution<DWORD>(0, 40)(random));
    s.app->Kill();
    ASSERT_TRUE(s.app->WaitForExit(15s));

    const std::string report = ReadFile(s.reports.Path() / reportName);
    const std::map<std::string, TStartedLine> started = StartedLines(report);
    std::map<std::string, std::string> onDisk;  // content -> name
    int files = 0, moved = 0, temporary = 0;
    for (const auto& e : fs::directory_iterator(s.folder.Path())) {
      if (!e.is_regular_file()) continue;
      ++files;
      const std::string name = AnsiPath(e.path().filename());
      const std::string content = ReadFile(e.path());
      EXPECT_TRUE(onDisk.emplace(content, name).second) << "twice: " << content;
    }
    EXPECT_EQ(files, count) << "a file appeared or vanished";
    for (int i = 0; i < count; ++i) {
      const std::string old = FileName(i);
      const auto at = onDisk.find("content " + std::to_string(i));
      ASSERT_NE(at, onDisk.end()) << "lost or changed: " << old;
      const std::string& name = at->second;
      if (name == old) continue;
      ++moved;
      const auto line = started.find(old);
      ASSERT_NE(line, started.end()) << old << " is " << name << " with no line in the report";
      if (name == line->second.newName) continue;
      ++temporary;
      EXPECT_EQ(line->second.rest, "[nom provisoire : " + name + "]") << old << " is " << name;
    }
    const char* what = kind == TKillKind::Plain ? "plain" : "case-only";
    std::printf("[kill] %s round %d: target %.1f %%, shown %.1f %%, %d of %d files moved (%d under a temporary "
                "name), %zu lines started in the report\n",
                what, round + 1, target, shown, moved, count, temporary, started.size());
    std::fflush(stdout);
    KillStrayPrograms();
  }
}

}  // namespace

TEST(RunsE2E, ARenameRunKilledAnywhereLosesNothingAndItsReportSaysWhere) { KillRounds(TKillKind::Plain); }

TEST(RunsE2E, ACaseOnlyRunKilledAnywhereLeavesEveryFileWhereItsReportSays) { KillRounds(TKillKind::CaseOnly); }

TEST(RunsE2E, TenFilesWithTwoCollisionsThenUndoEveryLineAsWritten) {
  ResetProgramRegistry();
  TRunSession s;
  const std::vector<std::string> olds = {"a0.txt", "a1.txt", "a2.txt", "a3.txt", "a4.txt",
                                         "a5.txt", "a6.txt", "a7.txt", "Doc_03.txt", "Doc_07.txt"};
  for (const std::string& name : olds) {
    s.folder.Write(name, "<" + name + ">");
    SetModifiedLocal(s.folder.Path() / name, 2006, 12, 25, 14, 30, 0);
  }
  s.Start(10);
  HWND list = FindControl(s.main, "FileList");
  for (int i = 0; i < 10; ++i) ASSERT_EQ(ListViewText(list, i, 0), olds[i]);
  s.SetModel("Doc_");
  HWND dlg = s.Open("BtnRenommer", "TQuoDial");
  ASSERT_NE(dlg, nullptr);
  const std::string folderName = AnsiPath(s.folder.Path().filename());
  const std::string nbFiles = GetText(FindControl(dlg, "LabelNbFiles"));
  const std::string modele = GetText(FindControl(dlg, "LabelModele"));
  ClickAsync(FindControl(dlg, "BtnOui"));
  ASSERT_TRUE(WaitUntil([&] { return Finished(dlg); }, 20s));
  EXPECT_EQ(GetText(FindControl(dlg, "PanelStatus")), "8 fichiers renommés - 2 fichiers non renommés");
  ExpectUsableAtOnce(*s.app, dlg);
  EXPECT_TRUE(IsEnabled(FindControl(dlg, "BtnRapport")));
  Screenshot("e2e_quodial_collisions_done");

  const fs::path reportPath = s.reports.Path() / (folderName + ".txt");
  std::vector<std::string> report = Lines(ReadFile(reportPath));
  ASSERT_EQ(report.size(), 22u);
  EXPECT_EQ(report[0], "Rapport Quorvant Pro version 3.2.0.0");
  EXPECT_TRUE(std::regex_match(report[1], kExecutionDate)) << report[1];
  const std::vector<std::string> expectedRun = {
      "",
      "Dossier à explorer     : " + folderName,
      "Nombre de fichiers     : " + nbFiles,
      "Modèle d'exemple       : " + modele,
      "Modifier les dates     : Non",
      "Modifier les heures    : Non",
      "Modifier les attributs : Non",
      "",
      "    a0.txt | 25/12/2006 14:30:00 | 32 = Doc_00.txt | Ok",
      "    a1.txt | 25/12/2006 14:30:00 | 32 = Doc_01.txt | Ok",
      "    a2.txt | 25/12/2006 14:30:00 | 32 = Doc_02.txt | Ok",
      "    a3.txt | 25/12/2006 14:30:00 | 32 = Doc_03.txt | Erreur",
      "    a4.txt | 25/12/2006 14:30:00 | 32 = Doc_04.txt | Ok",
      "    a5.txt | 25/12/2006 14:30:00 | 32 = Doc_05.txt | Ok",
      "    a6.txt | 25/12/2006 14:30:00 | 32 = Doc_06.txt | Ok",
      "    a7.txt | 25/12/2006 14:30:00 | 32 = Doc_07.txt | Erreur",
      "Doc_03.txt | 25/12/2006 14:30:00 | 32 = Doc_08.txt | Ok",
      "Doc_07.txt | 25/12/2006 14:30:00 | 32 = Doc_09.txt | Ok",
      "",
      "Opération terminée : 8 fichiers renommés - 2 fichiers non renommés"};
  EXPECT_EQ(std::vector<std::string>(report.begin() + 2, report.end()), expectedRun);

  // The next box is the undo's question: nothing stood in its way.
  ClickAsync(FindControl(dlg, "BtnUndo"));
  HWND box = nullptr;
  const std::string confirm = s.Message(box);
  ASSERT_NE(box, nullptr);
  EXPECT_NE(confirm.find("annuler l'opération"), std::string::npos) << confirm;
  Click(FindControl(box, "Yes"));
  ASSERT_TRUE(WaitUntil([&] { return GetText(FindControl(dlg, "LabelStatus")) == "Opération Undo terminée"; }, 20s));
  EXPECT_EQ(GetText(FindControl(dlg, "PanelStatus")), "8 fichiers renommés (0 erreur) - 2 fichiers ignorés");
  EXPECT_TRUE(IsWindowEnabled(dlg));
  EXPECT_FALSE(IsEnabled(FindControl(dlg, "BtnUndo")));
  EXPECT_TRUE(IsEnabled(FindControl(dlg, "BtnFermer")));
  EXPECT_TRUE(IsEnabled(FindControl(dlg, "BtnRapport")));
  EXPECT_EQ(TopWindows(s.app->Pid(), "TMessageForm").size(), 0u);
  Screenshot("e2e_quodial_collisions_undone");

  report = Lines(ReadFile(reportPath));
  ASSERT_EQ(report.size(), 22u + 5 + 10 + 2);
  EXPECT_EQ(std::vector<std::string>(report.begin() + 22, report.begin() + 25),
            (std::vector<std::string>{"", "", "Restauration demandée par l'utilisateur"}));
  EXPECT_TRUE(std::regex_match(report[25], kExecutionDate)) << report[25];
  const std::vector<std::string> expectedUndo = {
      "",
      "Doc_09.txt = 25/12/2006 14:30:00 | 32 | Doc_07.txt | Ok",
      "Doc_08.txt = 25/12/2006 14:30:00 | 32 | Doc_03.txt | Ok",
      "Doc_07.txt = 25/12/2006 14:30:00 | 32 |     a7.txt | Ignoré",
      "Doc_06.txt = 25/12/2006 14:30:00 | 32 |     a6.txt | Ok",
      "Doc_05.txt = 25/12/2006 14:30:00 | 32 |     a5.txt | Ok",
      "Doc_04.txt = 25/12/2006 14:30:00 | 32 |     a4.txt | Ok",
      "Doc_03.txt = 25/12/2006 14:30:00 | 32 |     a3.txt | Ignoré",
      "Doc_02.txt = 25/12/2006 14:30:00 | 32 |     a2.txt | Ok",
      "Doc_01.txt = 25/12/2006 14:30:00 | 32 |     a1.txt | Ok",
      "Doc_00.txt = 25/12/2006 14:30:00 | 32 |     a0.txt | Ok",
      "",
      "Opération Undo terminée : 8 fichiers renommés (0 erreur) - 2 fichiers ignorés"};
  EXPECT_EQ(std::vector<std::string>(report.begin() + 26, report.end()), expectedUndo);

  std::set<std::string> back(olds.begin(), olds.end());
  EXPECT_EQ(NamesIn(s.folder.Path()), back);
  for (const std::string& name : olds) EXPECT_EQ(ReadFile(s.folder.Path() / name), "<" + name + ">");
  ClickAsync(FindControl(dlg, "BtnFermer"));
  s.Close();
}

TEST(RunsE2E, ADateChangeThatFailsOnOneFileHasItsOneLineAfterTheSummary) {
  ResetProgramRegistry();
  WriteRegistryDword(kOptionsKey, "Date On", 1);
  TRunSession s;
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) s.folder.Write(name, name);
  s.Start(3);
  s.SetModel("Doc_");
  // Held open for deletion, all sharing granted: the rename goes through,
  // the reading of its time of day (which shares no deletion) cannot.
  HANDLE held = CreateFileW((s.folder.Path() / "b.txt").c_str(), DELETE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  HWND dlg = s.Open("BtnRenommer", "TQuoDial");
  ASSERT_NE(dlg, nullptr);
  ClickAsync(FindControl(dlg, "BtnOui"));
  ASSERT_TRUE(WaitUntil([&] { return Finished(dlg); }, 20s));
  CloseHandle(held);
  EXPECT_EQ(GetText(FindControl(dlg, "PanelStatus")), "3 fichiers renommés - 0 fichier non renommé");
  ExpectUsableAtOnce(*s.app, dlg);
  const std::vector<std::string> report =
      Lines(ReadFile(s.reports.Path() / (AnsiPath(s.folder.Path().filename()) + ".txt")));
  ASSERT_EQ(report.size(), 10u + 3 + 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(report[10 + i].substr(report[10 + i].size() - 5), " | Ok") << report[10 + i];
  EXPECT_EQ(report[13], "");
  EXPECT_EQ(report[14], "Opération terminée : 3 fichiers renommés - 0 fichier non renommé");
  EXPECT_EQ(report[15], "b.txt : sans nouvelle date");
  EXPECT_EQ(NamesIn(s.folder.Path()), (std::set<std::string>{"Doc_00.txt", "Doc_01.txt", "Doc_02.txt"}));
  ClickAsync(FindControl(dlg, "BtnFermer"));
  s.Close();
}

TEST(RunsE2E, UndoRestoresByTheNamesTheRunGaveWhateverTheListShowsSince) {
  ResetProgramRegistry();
  WriteRegistryDword(kOptionsKey, "Rapport", 0);
  WriteRegistryDword(kOptionsKey, "Script File", 1);
  TRunSession s;
  s.folder.Write("one.txt", "1");
  s.folder.Write("two.txt", "2");
  SetModifiedLocal(s.folder.Path() / "one.txt", 2006, 12, 25, 14, 30, 0);
  SetModifiedLocal(s.folder.Path() / "two.txt", 2007, 1, 2, 3, 4, 5);
  s.Start(2);
  // A script whose value reads the file: once it is renamed, the list
  // builds another name for it.
  SetComboText(FindControl(s.main, "EditFile"), "<C99>X<$D_LASTWRITE[2]>");
  LeaveControl(s.main);
  HWND list = FindControl(s.main, "FileList");
  ASSERT_TRUE(WaitUntil([&] { return ListViewText(list, 0, 1) != ListViewText(list, 1, 1); }));
  const std::string given0 = ListViewText(list, 0, 1), given1 = ListViewText(list, 1, 1);
  HWND dlg = s.Open("BtnRenommer", "TQuoDial");
  ASSERT_NE(dlg, nullptr);
  ClickAsync(FindControl(dlg, "BtnOui"));
  ASSERT_TRUE(WaitUntil([&] { return Finished(dlg); }, 20s));
  ASSERT_EQ(NamesIn(s.folder.Path()), (std::set<std::string>{given0, given1}));
  // Cells read while the dialog is open, as a repaint does.
  EXPECT_NE(ListViewText(list, 0, 1), given0);
  ListViewText(list, 1, 1);
  ClickAsync(FindControl(dlg, "BtnUndo"));
  HWND box = nullptr;
  s.Message(box);
  ASSERT_NE(box, nullptr);
  Click(FindControl(box, "Yes"));
  ASSERT_TRUE(WaitUntil([&] { return GetText(FindControl(dlg, "LabelStatus")) == "Opération Undo terminée"; }, 20s));
  EXPECT_EQ(GetText(FindControl(dlg, "PanelStatus")), "2 fichiers renommés (0 erreur) - 0 fichier ignoré");
  EXPECT_EQ(TopWindows(s.app->Pid(), "TMessageForm").size(), 0u);
  EXPECT_EQ(NamesIn(s.folder.Path()), (std::set<std::string>{"one.txt", "two.txt"}));
  EXPECT_EQ(ReadFile(s.folder.Path() / "one.txt"), "1");
  ClickAsync(FindControl(dlg, "BtnFermer"));
  s.Close();
}
