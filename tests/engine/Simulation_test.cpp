// Tests of engine/Simulation.h: the error list and summary, names compared
// as the file system does, names held by entries that are not listed,
// chains, stop; and, on random small folders, that the simulation names
// exactly the files a rename run then fails on.
#include "engine/Simulation.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "RunFakes.h"

using namespace qv::engine;
using namespace qv::engine::testing;

namespace {
class Simulation : public TRunFixture {};
using Lines = std::vector<std::string>;
}  // namespace

TEST_F(Simulation, ErrorListAndSummary) {
  for (int i = 1; i <= 12; ++i) File((i < 10 ? "f0" : "f") + std::to_string(i) + ".txt");
  File("keep.doc");  // not listed: the mask leaves it out
  disk.AddFolder(P("Backup"));
  Map("f01.txt", "CON.txt");
  Map("f02.txt", "");
  Map("f03.txt", "F04.TXT");   // f04 still has its name
  Map("f05.txt", "F05.TXT");   // its own name in capitals
  Map("f06.txt", "KEEP.DOC");
  Map("f07.txt", "backup");
  Map("f08.txt", "f03.txt");   // f03 kept its name: its rename would fail
  Map("f09.txt", "x.txt");
  Map("f10.txt", "X.TXT");     // f09 has taken it
  ASSERT_EQ(Scan("*.txt"), 12u);
  const TSimulationSummary s = RunSimulation(ctx, dialog);
  EXPECT_EQ(dialog.memo, (Lines{"Fichier n\xB0" "01 : nom invalide : CON.txt", "Fichier n\xB0" "02 : nom invalide : ",
                                "Fichier n\xB0" "03 : nom existant : F04.TXT", "Fichier n\xB0" "06 : nom existant : KEEP.DOC",
                                "Fichier n\xB0" "07 : nom existant : backup", "Fichier n\xB0" "08 : nom existant : f03.txt",
                                "Fichier n\xB0" "10 : nom existant : X.TXT"}));
  EXPECT_EQ(s.Possible, 5);
  EXPECT_EQ(s.Errors, 7);
  EXPECT_EQ(dialog.panelStatus, "5 fichiers possibles - 7 erreurs d\xE9tect\xE9" "es");
  EXPECT_EQ(dialog.labelStatus, "Simulation termin\xE9" "e");
  EXPECT_EQ(dialog.labelHistory[1], "Simulation en cours (8,3 %)");
  EXPECT_EQ(dialog.mainHistory, (Lines{"Simulation en cours...", ""}));
  EXPECT_TRUE(dialog.memoCleared);
  EXPECT_TRUE(dialog.memoEnabled);
  EXPECT_TRUE(dialog.caretToStart);
  EXPECT_FALSE(dialog.buttons[TRunButton::Arreter].enabled);
  EXPECT_TRUE(dialog.buttons[TRunButton::Fermer].enabled);
  EXPECT_EQ(dialog.positions.front(), 1);
  EXPECT_EQ(dialog.positions.back(), 12);
  // Nothing touched, nothing stored.
  EXPECT_EQ(disk.operations, 0);
  EXPECT_EQ(listing[0].NewName, "f01.txt");
}

TEST_F(Simulation, NoErrorKeepsTheMemoDisabled) {
  File("a.txt");
  Map("a.txt", "A.TXT");
  Scan();
  const TSimulationSummary s = RunSimulation(ctx, dialog);
  EXPECT_EQ(s.Possible, 1);
  EXPECT_TRUE(dialog.memo.empty());
  EXPECT_FALSE(dialog.memoEnabled);
  EXPECT_EQ(dialog.panelStatus, "1 fichier possible - 0 erreur d\xE9tect\xE9" "e");
}

TEST_F(Simulation, ChainsAsARunWouldMeetThem) {
  File("a");
  File("b");
  Map("a", "b");
  Map("b", "c");
  Scan();
  RunSimulation(ctx, dialog);
  EXPECT_EQ(dialog.memo, (Lines{"Fichier n\xB0" "1 : nom existant : b"}));
  listing.SortFiles(1, false);  // b first frees its name for a
  RunSimulation(ctx, dialog);
  EXPECT_TRUE(dialog.memo.empty());
}

TEST_F(Simulation, StopAndEmptyList) {
  File("a.txt");
  File("b.txt");
  Scan();
  dialog.stopAtPoll = 2;
  const TSimulationSummary s = RunSimulation(ctx, dialog);
  EXPECT_TRUE(s.Stopped);
  EXPECT_EQ(dialog.stopClears, 1);
  EXPECT_EQ(dialog.labelStatus, "Simulation termin\xE9" "e (arr\xEAt utilisateur)");
  EXPECT_EQ(dialog.panelStatus, "1 fichier possible - 0 erreur d\xE9tect\xE9" "e");
  EXPECT_TRUE(dialog.buttons[TRunButton::Fermer].enabled);

  disk.Remove(P("a.txt"));
  disk.Remove(P("b.txt"));
  Scan();
  TRecordingDialog empty;
  EXPECT_FALSE(RunSimulation(ctx, empty).Started);
  EXPECT_EQ(empty.information, (Lines{"Aucun fichier trouv\xE9 dans le dossier sp\xE9" "cifi\xE9"}));
  EXPECT_FALSE(empty.memoCleared);
}

// The name table is sized for the listed files; a folder holding far more
// entries than the mask lists makes it grow while the folder is read.
TEST_F(Simulation, FolderFarLargerThanTheList) {
  for (int i = 0; i < 3000; ++i) File("other" + std::to_string(i) + ".doc");
  File("a.txt");
  File("b.txt");
  Map("a.txt", "OTHER2999.DOC");
  Map("b.txt", "other3000.doc");
  ASSERT_EQ(Scan("*.txt"), 2u);
  const TSimulationSummary s = RunSimulation(ctx, dialog);
  EXPECT_EQ(dialog.memo, (Lines{"Fichier n\xB0" "1 : nom existant : OTHER2999.DOC"}));
  EXPECT_EQ(s.Possible, 1);

  // The next run, on a small folder, starts from empty tables again.
  TRunWorld small;
  small.File("a.txt");
  small.File("c.txt");
  small.Map("a.txt", "c.TXT");
  small.Map("c.txt", "OTHER2999.DOC");
  ASSERT_EQ(small.Scan("*.txt"), 2u);
  const TSimulationSummary again = RunSimulation(small.ctx, small.dialog);
  EXPECT_EQ(small.dialog.memo, (Lines{"Fichier n\xB0" "1 : nom existant : c.TXT"}));
  EXPECT_EQ(again.Possible, 1);
}

// The dialog pumps messages for each file; a simulation started from one of
// them leaves the first one's names as they were.
TEST_F(Simulation, ASimulationStartedWhileAnotherPumpsMessagesLeavesItsNamesAlone) {
  File("a.txt");
  File("b.txt");
  Map("a.txt", "b.txt");
  Map("b.txt", "c.txt");
  ASSERT_EQ(Scan("*.txt"), 2u);
  TRunWorld other;
  other.File("x.txt");
  other.File("y.txt");
  other.Map("x.txt", "Y.TXT");
  other.Map("y.txt", "b.txt");
  ASSERT_EQ(other.Scan("*.txt"), 2u);
  int nested = 0;
  dialog.onPump = [&] {
    if (nested++ == 0) RunSimulation(other.ctx, other.dialog);
  };
  const TSimulationSummary s = RunSimulation(ctx, dialog);
  EXPECT_EQ(other.dialog.memo, (Lines{"Fichier n\xB0" "1 : nom existant : Y.TXT"}));
  EXPECT_EQ(dialog.memo, (Lines{"Fichier n\xB0" "1 : nom existant : b.txt"}));
  EXPECT_EQ(s.Possible, 1);
}

TEST_F(Simulation, NameOutsideTheCodePage) {
  disk.AddFile(P("") + u"\u0416.txt", "z");
  Scan();
  RunSimulation(ctx, dialog);
  EXPECT_EQ(dialog.memo, (Lines{"Fichier n\xB0" "1 : nom non repr\xE9sentable : ?.txt"}));
}

// Random small folders: the simulation lists exactly the files that the
// rename run then leaves with their old names.
TEST(SimulationPredictsTheRun, RandomFolders) {
  std::mt19937 rng(20240714);
  const char* olds[] = {"a", "b", "c", "d", "A", "B", "C", "D"};
  const char* targets[] = {"a", "b", "c", "d", "e", "A", "B", "C", "E", "keep", "con", "sub", "x."};
  int errorsSeen = 0, renamesSeen = 0;
  for (int round = 0; round < 400; ++round) {
    TRunWorld w;
    w.disk.caseOnlyRenameIsNoOp = round % 2 == 0;
    w.disk.AddFile(w.P("keep.doc"), "keep");  // excluded by the mask
    w.disk.AddFolder(w.P("sub.txt"));
    std::set<std::string> keys;
    const int n = 2 + static_cast<int>(rng() % 5);
    for (int i = 0; i < n; ++i) {
      const std::string name = std::string(olds[rng() % 8]) + ".txt";
      if (!keys.insert(FileNameKey(name)).second) continue;
      w.File(name);
      std::string target = targets[rng() % 13];
      if (target != "x.") target += target == "keep" ? ".doc" : ".txt";
      w.Map(name, target);
    }
    ASSERT_GT(w.Scan("*.txt"), 0u);
    if (rng() % 2) w.listing.SortFiles(1, false);
    RunSimulation(w.ctx, w.dialog);
    std::set<size_t> predicted;
    for (const std::string& line : w.dialog.memo) predicted.insert(std::stoul(line.substr(10, 1)) - 1);
    RunRename(w.ctx, w.dialog, nullptr);
    std::set<size_t> failed;
    for (size_t i = 0; i < w.listing.Count(); ++i)
      if (w.listing[i].Status == 0) failed.insert(i);
    EXPECT_EQ(predicted, failed) << "round " << round;
    errorsSeen += static_cast<int>(failed.size());
    renamesSeen += static_cast<int>(w.listing.Count() - failed.size());
  }
  // The rounds met both outcomes often enough to mean something.
  EXPECT_GT(errorsSeen, 300);
  EXPECT_GT(renamesSeen, 300);
}
