// Tests of engine/Runs.h on the fake disk: the report's exact lines, the
// dialog states, collisions, chains, case-only renames, names the program
// must not touch, stop and undo, dates, times and attributes, backups and
// report failures.
#include "engine/Runs.h"

#include <gtest/gtest.h>

#include "RunFakes.h"

using namespace qv::engine;
using namespace qv::engine::testing;

namespace {

class Runs : public TRunFixture {
protected:
  std::vector<std::string> Names() {
    std::vector<std::string> out;
    for (const auto& [name, content] : Files()) out.push_back(A(name));
    return out;
  }
  using Lines = std::vector<std::string>;
  // The file lines of the rename report (after the 10 header lines).
  Lines FileLines() {
    const Lines all = ReportLines();
    Lines out;
    for (size_t i = 10; i < all.size() && !all[i].empty(); ++i) out.push_back(all[i]);
    return out;
  }
};

}  // namespace

TEST_F(Runs, ReportOfARenameRun) {
  options.ScriptFile = false;
  options.NameFile = "SansNom_";
  options.NoneIndice = false;
  options.NoExtension = true;
  File("photo.jpg");
  File("photo1.jpg");
  ASSERT_EQ(Scan(), 2u);
  auto report = OpenTestReport();
  const TRunSummary s = RunRename(ctx, dialog, report.get());
  ASSERT_TRUE(report->Close());
  EXPECT_EQ(s.Renamed, 2);
  EXPECT_EQ(ReportLines(), (Lines{
                               "Rapport Quorvant Pro version 3.2.0.0",
                               "Date d'ex\xE9" "cution : 14/07/2024 10:05:30",
                               "",
                               "Dossier \xE0 explorer     : Photos",
                               "Nombre de fichiers     : 3 fichiers : filtre (*.*)",
                               "Mod\xE8le d'exemple       : <$M_n>",
                               "Modifier les dates     : Non",
                               "Modifier les heures    : Non",
                               "Modifier les attributs : Non",
                               "",
                               " photo.jpg | 25/12/2006 14:30:00 | 32 = SansNom_00.jpg | Ok",
                               "photo1.jpg | 25/12/2006 14:30:00 | 32 = SansNom_01.jpg | Ok",
                               "",
                               "Op\xE9ration termin\xE9" "e : 2 fichiers renomm\xE9s - 0 fichier non renomm\xE9",
                           }));
  EXPECT_EQ(ReportText().substr(0, 38), "Rapport Quorvant Pro version 3.2.0.0\r\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"SansNom_00.jpg", "SansNom_01.jpg"}));
  EXPECT_EQ(listing[0].NewName, "SansNom_00.jpg");
  EXPECT_EQ(ctx.RenamedCount, 2);
}

TEST_F(Runs, DialogStatesAndProgress) {
  for (const char* n : {"a.txt", "b.txt", "c.txt"}) File(n);
  Scan();
  TRecordingDialog seen;
  dialog.onPump = [&] {
    // While the run works: only "Arrêter" can be used.
    seen = dialog;
  };
  RunRename(ctx, dialog, nullptr);
  EXPECT_FALSE(seen.buttons[TRunButton::Oui].enabled);
  EXPECT_FALSE(seen.buttons[TRunButton::Non].enabled);
  EXPECT_TRUE(seen.buttons[TRunButton::Undo].visible);
  EXPECT_FALSE(seen.buttons[TRunButton::Undo].enabled);
  EXPECT_TRUE(seen.buttons[TRunButton::Arreter].enabled);
  EXPECT_FALSE(seen.buttons[TRunButton::Fermer].enabled);
  EXPECT_FALSE(seen.reportControlsEnabled);
  EXPECT_EQ(seen.mainStatus, "Op\xE9ration en cours...");
  EXPECT_EQ(seen.panelStatus, "C:\\Photos\\c.txt");
  EXPECT_EQ(dialog.labelHistory, (std::vector<std::string>{"Op\xE9ration en cours...",
                                                           "Op\xE9ration en cours (33,3 %)",
                                                           "Op\xE9ration en cours (66,7 %)",
                                                           "Op\xE9ration en cours (100 %)",
                                                           "Op\xE9ration termin\xE9" "e"}));
  EXPECT_EQ(dialog.rangeMin, 1);
  EXPECT_EQ(dialog.rangeMax, 3);
  EXPECT_EQ(dialog.positions, (std::vector<int64_t>{1, 2, 3}));
  EXPECT_EQ(dialog.pumps, 3);
  // Finished: undo, close; no report button without a report.
  EXPECT_TRUE(dialog.buttons[TRunButton::Undo].enabled);
  EXPECT_FALSE(dialog.buttons[TRunButton::Arreter].enabled);
  EXPECT_TRUE(dialog.buttons[TRunButton::Fermer].enabled);
  EXPECT_FALSE(dialog.buttons[TRunButton::Rapport].enabled);
  EXPECT_EQ(dialog.mainStatus, "");
  EXPECT_EQ(dialog.panelStatus, "3 fichiers renomm\xE9s - 0 fichier non renomm\xE9");
}

TEST_F(Runs, PercentAndSummaries) {
  const struct {
    double value;
    const char* text;
  } cases[] = {{100, "100 %"}, {50, "50 %"}, {33.333, "33,3 %"}, {66.666, "66,7 %"}, {0.5, "0,5 %"},
               {0.01, "0 %"},  {99.96, "100 %"}};
  for (const auto& c : cases) EXPECT_EQ(FormatPercent(c.value, ','), c.text) << c.value;
  EXPECT_EQ(FormatPercent(12.5, '.'), "12.5 %");
  TRunSummary s;
  s.Renamed = 3, s.Ignored = 2;
  EXPECT_EQ(UndoSummaryText(s), "3 fichiers renomm\xE9s (0 erreur) - 2 fichiers ignor\xE9s");
  // Side failures are remarks: the summary keeps its own words.
  s.Renamed = 1, s.Failed = 2, s.BackupFailures = 1, s.AttributeFailures = 2, s.TimeFailures = 1;
  EXPECT_EQ(RenameSummaryText(s), "1 fichier renomm\xE9 - 2 fichiers non renomm\xE9s");
  EXPECT_EQ(UndoSummaryText(s), "1 fichier renomm\xE9 (2 erreurs) - 2 fichiers ignor\xE9s");
}

TEST_F(Runs, EmptyListOnlyTellsSo) {
  Scan();
  const TRunSummary s = RunRename(ctx, dialog, nullptr);
  EXPECT_FALSE(s.Started);
  EXPECT_EQ(dialog.information, (std::vector<std::string>{"Aucun fichier trouv\xE9 dans le dossier sp\xE9" "cifi\xE9"}));
  EXPECT_TRUE(dialog.buttons.empty());
  const TRunSummary u = RunUndo(ctx, dialog, nullptr);
  EXPECT_FALSE(u.Started);
  EXPECT_EQ(dialog.information.back(), "Aucun fichier n'est disponible pour la restauration");
  EXPECT_FALSE(dialog.buttons[TRunButton::Undo].enabled);
}

TEST_F(Runs, CollisionsWithListedAndUnlistedNames) {
  File("a.txt");
  File("b.txt");
  File("keep.doc");           // excluded by the mask
  disk.AddFolder(P("Backup"));  // a subfolder
  Map("a.txt", "KEEP.DOC");
  Map("b.txt", "backup");
  ASSERT_EQ(Scan("*.txt"), 2u);
  auto report = OpenTestReport();
  const TRunSummary s = RunRename(ctx, dialog, report.get());
  report->Close();
  EXPECT_EQ(s.Failed, 2);
  EXPECT_EQ(FileLines(), (Lines{"a.txt | 25/12/2006 14:30:00 | 32 = KEEP.DOC | Erreur",
                                "b.txt | 25/12/2006 14:30:00 | 32 =   backup | Erreur"}));
  // "Erreur" says it all: the report ends with the summary, no message.
  const Lines all = ReportLines();
  ASSERT_EQ(all.size(), 10u + 2 + 2);
  EXPECT_EQ(all[13], "Op\xE9ration termin\xE9" "e : 0 fichier renomm\xE9 - 2 fichiers non renomm\xE9s");
  EXPECT_TRUE(s.Remarks.empty());
  EXPECT_TRUE(dialog.information.empty());
  EXPECT_TRUE(dialog.errors.empty());
  EXPECT_EQ(disk.Content(P("keep.doc")), "<keep.doc>");
  EXPECT_EQ(disk.Content(P("a.txt")), "<a.txt>");
  EXPECT_EQ(ctx.RenamedCount, 0);
  EXPECT_EQ(dialog.panelStatus, "0 fichier renomm\xE9 - 2 fichiers non renomm\xE9s");
}

TEST_F(Runs, ChainsInBothOrdersAndTheirUndo) {
  // a -> b met first: b is still there, so a fails and b moves on.
  File("a");
  File("b");
  Map("a", "b");
  Map("b", "c");
  Scan();
  RunRename(ctx, dialog, nullptr);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(disk.Content(P("c")), "<b>");
  EXPECT_EQ(listing[0].Status, 0);
  RunUndo(ctx, dialog, nullptr);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(dialog.panelStatus, "1 fichier renomm\xE9 (0 erreur) - 1 fichier ignor\xE9");

  // b -> c first, then a -> b: both succeed; undo goes from the last file
  // back, so b is free again when c returns to it.
  ASSERT_EQ(Scan(), 2u);
  listing.SortFiles(1, false);  // b before a
  RunRename(ctx, dialog, nullptr);
  EXPECT_EQ(Names(), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(disk.Content(P("b")), "<a>");
  RunUndo(ctx, dialog, nullptr);
  EXPECT_EQ(disk.Content(P("a")), "<a>");
  EXPECT_EQ(disk.Content(P("b")), "<b>");
  EXPECT_EQ(dialog.panelStatus, "2 fichiers renomm\xE9s (0 erreur) - 0 fichier ignor\xE9");
}

TEST_F(Runs, CaseOnlyRenamesGoThroughATemporaryName) {
  disk.caseOnlyRenameIsNoOp = true;  // as Wine does
  File("photo.jpg");
  File("Notes.TXT");
  Map("photo.jpg", "PHOTO.JPG");
  Map("Notes.TXT", "notes.txt");
  Scan();
  const TRunSummary s = RunRename(ctx, dialog, nullptr);
  EXPECT_EQ(s.Renamed, 2);
  EXPECT_EQ(Names(), (std::vector<std::string>{"PHOTO.JPG", "notes.txt"}));
  RunUndo(ctx, dialog, nullptr);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Notes.TXT", "photo.jpg"}));
}

TEST_F(Runs, NamesTheProgramMustNotTouch) {
  disk.AddFile(P("") + u"\u0416ena.txt", "<cyrillic>");  // not in cp1252
  File("con.txt");
  File("dot.txt");
  File("long.txt");
  File("tab.txt");
  File("empty.txt");
  Map("?ena.txt", "ena.txt");
  Map("con.txt", "CON.txt");
  Map("dot.txt", "dot.");
  Map("long.txt", std::string(256, 'x'));
  Map("tab.txt", "a.txt ");
  Map("empty.txt", "");
  ASSERT_EQ(Scan(), 6u);
  ASSERT_TRUE(listing[0].NameIsLossy || listing[5].NameIsLossy);
  const auto before = Files();
  auto report = OpenTestReport();
  const TRunSummary s = RunRename(ctx, dialog, report.get());
  report->Close();
  EXPECT_EQ(s.Failed, 6);
  EXPECT_EQ(disk.renames, 0);
  EXPECT_EQ(Files(), before);
  for (const std::string& line : FileLines()) EXPECT_EQ(line.substr(line.size() - 9), " | Erreur") << line;
  EXPECT_TRUE(s.Remarks.empty());
  EXPECT_EQ(ReportLines().size(), 10u + 6 + 2);
}

TEST_F(Runs, AControlCharacterOfATagValueNeverReachesTheNameOrTheReport) {
  File("ctl.txt");
  Map("ctl.txt", "a\tb\x01" "c.txt");
  options.ReplaceChar = "-";
  Scan();
  auto report = OpenTestReport();
  const TRunSummary s = RunRename(ctx, dialog, report.get());
  report->Close();
  EXPECT_EQ(s.Renamed, 1);
  EXPECT_EQ(FileLines(), (Lines{"ctl.txt | 25/12/2006 14:30:00 | 32 = a-b-c.txt | Ok"}));
  EXPECT_EQ(disk.Content(P("a-b-c.txt")), "<ctl.txt>");
}

TEST_F(Runs, StopThenUndo) {
  for (int i = 0; i < 10; ++i) File("f" + std::to_string(i) + ".txt");
  options.ScriptFile = false;
  options.NameFile = "n";
  options.NoneIndice = false;
  options.NoExtension = true;
  Scan();
  dialog.stopAtPoll = 4;  // polled before each file: 3 done
  auto report = OpenTestReport();
  const TRunSummary s = RunRename(ctx, dialog, report.get());
  EXPECT_TRUE(s.Stopped);
  EXPECT_EQ(s.Renamed, 3);
  EXPECT_EQ(ctx.RenamedCount, 3);
  EXPECT_EQ(dialog.panelStatus, "3 fichiers renomm\xE9s - 0 fichier non renomm\xE9");
  report->Close();
  const Lines all = ReportLines();
  ASSERT_EQ(all.size(), 10u + 3 + 3 + 2);
  EXPECT_EQ(all[13], "");
  EXPECT_EQ(all[14], "");
  EXPECT_EQ(all[15], "Op\xE9ration interrompue par l'utilisateur");
  EXPECT_EQ(all[17], "Op\xE9ration termin\xE9" "e : 3 fichiers renomm\xE9s - 0 fichier non renomm\xE9");
  EXPECT_EQ(Files().size(), 10u);
  EXPECT_EQ(disk.Content(P("n00.txt")), "<f0.txt>");
  EXPECT_EQ(disk.Content(P("f3.txt")), "<f3.txt>");

  auto append = OpenTestReport(TOpenMode::Append);
  const TRunSummary u = RunUndo(ctx, dialog, append.get());
  append->Close();
  EXPECT_EQ(u.Renamed, 3);
  EXPECT_EQ(u.Ignored, 7);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(disk.Content(P("f" + std::to_string(i) + ".txt")), "<f" + std::to_string(i) + ".txt>");
  const Lines undo = ReportLines();
  ASSERT_EQ(undo.size(), all.size() + 5 + 10 + 2);
  EXPECT_EQ(undo[all.size() + 2], "Restauration demand\xE9" "e par l'utilisateur");
  EXPECT_EQ(undo[all.size() + 3], "Date d'ex\xE9" "cution : 14/07/2024 10:05:30");
  // The last file first; the files the run did not reach are "Ignoré",
  // under the name the run would have given them.
  EXPECT_EQ(undo[all.size() + 5], "n09.txt = 25/12/2006 14:30:00 | 32 | f9.txt | Ignor\xE9");
  EXPECT_EQ(undo[all.size() + 14], "n00.txt = 25/12/2006 14:30:00 | 32 | f0.txt | Ok");
  EXPECT_EQ(undo.back(), "Op\xE9ration Undo termin\xE9" "e : 3 fichiers renomm\xE9s (0 erreur) - 7 fichiers ignor\xE9s");
  EXPECT_FALSE(dialog.buttons[TRunButton::Undo].enabled);
  EXPECT_TRUE(dialog.buttons[TRunButton::Rapport].enabled);
  EXPECT_EQ(dialog.positions.back(), 1);  // the undo's progress runs downward
}

TEST_F(Runs, RenamedCountStartsAgainWithEachRun) {
  File("a.txt");
  File("b.txt");
  Map("a.txt", "c.txt");
  Scan();
  RunRename(ctx, dialog, nullptr);
  EXPECT_EQ(ctx.RenamedCount, 2);  // a file whose name stays counts as renamed
  // A second run stopped before its first file leaves nothing to undo,
  // whatever the first one did.
  Scan();
  dialog.stopAtPoll = 1;
  RunRename(ctx, dialog, nullptr);
  EXPECT_EQ(ctx.RenamedCount, 0);
  RunUndo(ctx, dialog, nullptr);
  EXPECT_EQ(dialog.information.back(), "Aucun fichier n'est disponible pour la restauration");
  EXPECT_EQ(disk.Content(P("c.txt")), "<a.txt>");
}

TEST_F(Runs, UnparseableDateIsReplacedBeforeTheHeader) {
  File("a.txt");
  Map("a.txt", "b.txt");
  Scan();
  options.DateOn = options.TimeOn = true;
  options.Date = "31/02/2024";
  options.Time = "25:99";
  dialog.header[THeaderField::Date] = options.Date;
  dialog.header[THeaderField::Time] = options.Time;
  auto report = OpenTestReport();
  RunRename(ctx, dialog, report.get());
  report->Close();
  EXPECT_EQ(options.Date, "14/07/2024");
  EXPECT_EQ(options.Time, "10:05:30");
  const Lines lines = ReportLines();
  EXPECT_EQ(lines[6], "Modifier les dates     : 14/07/2024");
  EXPECT_EQ(lines[7], "Modifier les heures    : 10:05:30");
  EXPECT_EQ(dialog.header[THeaderField::Date], "14/07/2024");
  const auto* f = disk.Find(P("b.txt"));
  EXPECT_EQ(f->modified, FileTime(2024, 7, 14, 10, 5, 30));
}

TEST_F(Runs, DatesTimesAndAttributes) {
  File("a.txt");
  File("b.txt");
  File("c.txt");
  disk.Find(P("a.txt"))->modified = FileTime(2001, 2, 3, 4, 5, 6, 789);
  disk.Find(P("a.txt"))->created = FileTime(1970, 1, 1, 0, 0, 1, 1);
  Scan();
  options.DateOn = true;
  options.TimeOn = true;
  options.Date = "25/12/2006";
  options.Time = "14:30:00";
  options.AttributOn = true;
  options.Attribut = kAttrReadOnly | kAttrArchive;
  Map("a.txt", "A1.txt");
  RunRename(ctx, dialog, nullptr);
  const auto* a = disk.Find(P("A1.txt"));
  EXPECT_EQ(a->modified, FileTime(2006, 12, 25, 14, 30, 0));
  EXPECT_EQ(a->created, a->modified);
  EXPECT_EQ(a->attributes, kAttrReadOnly | kAttrArchive);
  // Undo puts back the exact file times of the scan, milliseconds and
  // times before 1980 included, and the attributes.
  RunUndo(ctx, dialog, nullptr);
  a = disk.Find(P("a.txt"));
  EXPECT_EQ(a->modified, FileTime(2001, 2, 3, 4, 5, 6, 789));
  EXPECT_EQ(a->created, FileTime(1970, 1, 1, 0, 0, 1, 1));
  EXPECT_EQ(a->attributes, kAttrArchive);

  // Date only keeps the time of day; time only keeps the date.
  options.AttributOn = false;
  options.TimeOn = false;
  Scan();
  RunRename(ctx, dialog, nullptr);
  EXPECT_EQ(disk.Find(P("A1.txt"))->modified, FileTime(2006, 12, 25, 4, 5, 6, 789));
  options.DateOn = false;
  options.TimeOn = true;
  options.Time = "08:09:10";
  Scan();
  const TRunSummary s = RunRename(ctx, dialog, nullptr);
  EXPECT_TRUE(s.TimeOnly);
  EXPECT_EQ(disk.Find(P("b.txt"))->modified, FileTime(2006, 12, 25, 8, 9, 10));
}

TEST_F(Runs, OnlyASideChangeThatFailedOnARenamedFileFollowsTheSummary) {
  File("a.txt");
  File("b.txt");
  File("c.txt");
  Map("a.txt", "A1.txt");
  Map("b.txt", "c.txt");  // taken: its word says so
  Map("c.txt", "C1.txt");
  Scan();
  options.DateOn = true;
  disk.refuseTimesAt = P("C1.txt");
  auto report = OpenTestReport();
  const TRunSummary s = RunRename(ctx, dialog, report.get());
  report->Close();
  EXPECT_EQ(s.Renamed, 2);
  EXPECT_EQ(s.TimeFailures, 1);
  EXPECT_EQ(FileLines(), (Lines{"a.txt | 25/12/2006 14:30:00 | 32 = A1.txt | Ok",
                                "b.txt | 25/12/2006 14:30:00 | 32 =  c.txt | Erreur",
                                "c.txt | 25/12/2006 14:30:00 | 32 = C1.txt | Ok"}));
  const Lines all = ReportLines();
  ASSERT_EQ(all.size(), 10u + 3 + 3);
  EXPECT_EQ(all[14], "Op\xE9ration termin\xE9" "e : 2 fichiers renomm\xE9s - 1 fichier non renomm\xE9");
  EXPECT_EQ(all[15], "c.txt : sans nouvelle date");
  EXPECT_TRUE(dialog.information.empty());
  EXPECT_TRUE(dialog.errors.empty());

  // Undo: the one refused restore follows its summary too.
  disk.refuseTimesAt = P("c.txt");
  auto append = OpenTestReport(TOpenMode::Append);
  RunUndo(ctx, dialog, append.get());
  append->Close();
  EXPECT_EQ(ReportLines().back(), "C1.txt : dates non restaur\xE9" "es");
  EXPECT_EQ(ReportLines()[ReportLines().size() - 2],
            "Op\xE9ration Undo termin\xE9" "e : 2 fichiers renomm\xE9s (0 erreur) - 1 fichier ignor\xE9");
  EXPECT_TRUE(dialog.information.empty());
}

TEST_F(Runs, UndoFindsEachFileByTheNameTheRunGaveIt) {
  File("a.txt");
  File("b.txt");
  Map("a.txt", "x.txt");
  Map("b.txt", "y.txt");
  Scan();
  RunRename(ctx, dialog, nullptr);
  ASSERT_EQ(Names(), (std::vector<std::string>{"x.txt", "y.txt"}));
  // A repaint builds the names again from files that are gone: another name.
  Map("a.txt", "y.txt");
  Map("b.txt", "z.txt");
  for (size_t i = 0; i < listing.Count(); ++i) listing[i].NewName = names.BuildNewName(listing[i].FileName, i);
  ASSERT_EQ(listing[0].NewName, "y.txt");
  auto report = OpenTestReport();
  const TRunSummary u = RunUndo(ctx, dialog, report.get());
  report->Close();
  EXPECT_EQ(u.Renamed, 2);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(disk.Content(P("a.txt")), "<a.txt>");
  EXPECT_EQ(disk.Content(P("b.txt")), "<b.txt>");
  const Lines all = ReportLines();
  ASSERT_GE(all.size(), 4u);
  EXPECT_EQ(all[all.size() - 4], "y.txt = 25/12/2006 14:30:00 | 32 | b.txt | Ok");
  EXPECT_EQ(all[all.size() - 3], "x.txt = 25/12/2006 14:30:00 | 32 | a.txt | Ok");
}

// A repaint between two files builds the names again: the run still gives
// each file the name it built, which its report and undo hold.
TEST_F(Runs, ARepaintDuringTheRunChangesNoNameItGives) {
  File("a.txt");
  File("b.txt");
  Map("a.txt", "x.txt");
  Map("b.txt", "y.txt");
  Scan();
  dialog.onPump = [&] {
    for (size_t i = 0; i < listing.Count(); ++i) listing[i].NewName = "repeint" + std::to_string(i) + ".txt";
  };
  const TRunSummary s = RunRename(ctx, dialog, nullptr);
  dialog.onPump = nullptr;
  EXPECT_EQ(s.Renamed, 2);
  EXPECT_EQ(Names(), (std::vector<std::string>{"x.txt", "y.txt"}));
  EXPECT_EQ(RunUndo(ctx, dialog, nullptr).Renamed, 2);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_F(Runs, BackupCopiesNeverOverwrite) {
  File("a.txt", "new a");
  File("b.txt", "new b");
  disk.AddFolder(P("Backup"));
  disk.AddFile(P("Backup\\b.txt"), "older b");
  options.Backup = true;
  Map("a.txt", "x.txt");
  Map("b.txt", "y.txt");
  Scan();
  const TRunSummary s = RunRename(ctx, dialog, nullptr);
  EXPECT_EQ(s.BackupFailures, 0);
  EXPECT_TRUE(ctx.BackupFolderReady);
  EXPECT_EQ(disk.Content(P("Backup\\a.txt")), "new a");
  EXPECT_EQ(disk.Content(P("Backup\\b.txt")), "older b");
  EXPECT_EQ(disk.Content(P("x.txt")), "new a");
}

TEST_F(Runs, BackupFolderThatCannotBeMadeIsReported) {
  File("a.txt");
  File("Backup", "a file in the way");
  options.Backup = true;
  Map("a.txt", "x.txt");
  Scan("*.txt");
  auto report = OpenTestReport();
  const TRunSummary s = RunRename(ctx, dialog, report.get());
  report->Close();
  EXPECT_FALSE(ctx.BackupFolderReady);
  EXPECT_EQ(s.Renamed, 1);
  EXPECT_EQ(s.BackupFailures, 1);
  EXPECT_EQ(FileLines(), (Lines{"a.txt | 25/12/2006 14:30:00 | 32 = x.txt | Ok"}));
  EXPECT_EQ(dialog.panelStatus, "1 fichier renomm\xE9 - 0 fichier non renomm\xE9");
  EXPECT_EQ(ReportLines().back(), "a.txt : sans sauvegarde");
  EXPECT_TRUE(dialog.information.empty());
  EXPECT_EQ(disk.Content(P("Backup")), "a file in the way");
}

TEST_F(Runs, FilesGoneOrHeldOpen) {
  File("gone.txt");
  File("moved.txt");
  File("held.txt");
  File("ok.txt");
  Map("gone.txt", "1.txt");
  Map("moved.txt", "2.txt");
  Map("held.txt", "3.txt");
  Map("ok.txt", "4.txt");
  Scan();
  disk.Remove(P("gone.txt"));
  ASSERT_TRUE(disk.Rename(P("moved.txt"), P("elsewhere.txt")).ok());
  disk.Find(P("held.txt"))->locked = true;
  auto report = OpenTestReport();
  const TRunSummary s = RunRename(ctx, dialog, report.get());
  report->Close();
  EXPECT_EQ(s.Renamed, 1);
  EXPECT_EQ(s.Failed, 3);
  const Lines lines = FileLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].substr(lines[0].size() - 9), " | Erreur") << lines[0];
  EXPECT_EQ(lines[3].substr(lines[3].size() - 5), " | Ok") << lines[3];
  EXPECT_TRUE(s.Remarks.empty());
  EXPECT_EQ(disk.Content(P("held.txt")), "<held.txt>");
  EXPECT_EQ(disk.Content(P("elsewhere.txt")), "<moved.txt>");
}

TEST_F(Runs, ReportWriteFailureEndsTheRun) {
  for (int i = 0; i < 40; ++i) File("file" + std::to_string(i) + ".txt");
  options.ScriptFile = false;
  options.NameFile = "n";
  options.NoneIndice = false;
  options.NoExtension = true;
  Scan();
  disk.AddFolder(u"C:\\Rapports");
  TFileResult error;
  auto file = disk.OpenForWriting(u"C:\\Rapports\\Photos.txt", TOpenMode::Replace, error);
  // A small buffer: the third write, which fails, comes in the middle of
  // the files, and every write after it fails too.
  TReportWriter report(std::move(file), "C:\\Rapports\\Photos.txt", 256);
  disk.writeFailsFrom = 3;
  const TRunSummary s = RunRename(ctx, dialog, &report);
  EXPECT_TRUE(s.ReportFailed);
  EXPECT_GT(s.Renamed, 0);
  EXPECT_LT(s.Renamed, 40);
  EXPECT_EQ(ctx.RenamedCount, s.Renamed);
  ASSERT_EQ(dialog.errors.size(), 1u);
  EXPECT_EQ(dialog.errors[0],
            "Attention, le rapport suivant ne peut pas \xEAtre \xE9" "crit :\r\nC:\\Rapports\\Photos.txt\r\n\r\n"
            "L'op\xE9ration a \xE9t\xE9 interrompue.");
  EXPECT_TRUE(dialog.buttons[TRunButton::Fermer].enabled);
  EXPECT_EQ(Files().size(), 40u);
  // What was done can be undone.
  const TRunSummary u = RunUndo(ctx, dialog, nullptr);
  EXPECT_EQ(u.Renamed, s.Renamed);
  for (int i = 0; i < 40; ++i) EXPECT_TRUE(disk.Exists(P("file" + std::to_string(i) + ".txt"))) << i;
}

TEST_F(Runs, ReportWriterBuffers) {
  TFakeDisk::TOutput* out = nullptr;
  TFileResult error;
  auto file = disk.OpenForWriting(u"C:\\r.txt", TOpenMode::Replace, error);
  out = static_cast<TFakeDisk::TOutput*>(file.get());
  TReportWriter w(std::move(file), "C:\\r.txt", 1000);
  for (int i = 0; i < 99; ++i) w.Line("0123456789");  // 12 bytes a line
  EXPECT_EQ(out->writes, 1);                          // one write at 1,000 bytes, none per line
  EXPECT_TRUE(w.Close());
  EXPECT_EQ(disk.Content(u"C:\\r.txt").size(), 99u * 12);
}

TEST_F(Runs, EachLineStartIsOnDiskBeforeItsFileIsRenamed) {
  for (int i = 0; i < 5; ++i) File("f" + std::to_string(i) + ".txt");
  options.ScriptFile = false;
  options.NameFile = "n";
  options.NoneIndice = false;
  options.NoExtension = true;
  Scan();
  auto report = OpenTestReport();
  std::vector<std::string> seen;  // the report's last line at each rename
  disk.onRename = [&](const std::u16string&, const std::u16string&) {
    const std::string text = ReportText();
    seen.push_back(text.substr(text.rfind("\r\n") + 2));
  };
  const int writesBefore = disk.writes;
  RunRename(ctx, dialog, report.get());
  // One write per file (the header rides along with the first), one for
  // the end.
  EXPECT_EQ(disk.writes - writesBefore, 5 + 1);
  report->Close();
  EXPECT_EQ(seen, (Lines{"f0.txt | 25/12/2006 14:30:00 | 32 = n00.txt | ", "f1.txt | 25/12/2006 14:30:00 | 32 = n01.txt | ",
                         "f2.txt | 25/12/2006 14:30:00 | 32 = n02.txt | ", "f3.txt | 25/12/2006 14:30:00 | 32 = n03.txt | ",
                         "f4.txt | 25/12/2006 14:30:00 | 32 = n04.txt | "}));
  EXPECT_EQ(FileLines().back(), "f4.txt | 25/12/2006 14:30:00 | 32 = n04.txt | Ok");

  // The undo's lines too.
  seen.clear();
  auto append = OpenTestReport(TOpenMode::Append);
  RunUndo(ctx, dialog, append.get());
  append->Close();
  ASSERT_EQ(seen.size(), 5u);
  EXPECT_EQ(seen[0], "n04.txt = 25/12/2006 14:30:00 | 32 | f4.txt | ");
  EXPECT_EQ(ReportLines()[ReportLines().size() - 3], "n00.txt = 25/12/2006 14:30:00 | 32 | f0.txt | Ok");
}

TEST_F(Runs, ACaseOnlyRenameHasItsTemporaryNameOnRecordWhileItLasts) {
  disk.caseOnlyRenameIsNoOp = true;
  File("photo.jpg");
  File("~qv0.tmp");  // the temporary name is one that no entry holds
  Map("photo.jpg", "PHOTO.JPG");
  Scan("*.jpg");
  auto report = OpenTestReport();
  std::vector<std::string> seen;
  disk.onRename = [&](const std::u16string&, const std::u16string&) {
    const std::string text = ReportText();
    seen.push_back(text.substr(text.rfind("\r\n") + 2));
  };
  const TRunSummary s = RunRename(ctx, dialog, report.get());
  report->Close();
  EXPECT_EQ(s.Renamed, 1);
  EXPECT_EQ(seen, (Lines{"photo.jpg | 25/12/2006 14:30:00 | 32 = PHOTO.JPG | [nom provisoire : ~qv1.tmp]",
                         "photo.jpg | 25/12/2006 14:30:00 | 32 = PHOTO.JPG | [nom provisoire : ~qv1.tmp]"}));
  // Once the file has its name, the line is the plain one.
  EXPECT_EQ(FileLines(), (Lines{"photo.jpg | 25/12/2006 14:30:00 | 32 = PHOTO.JPG | Ok"}));
  EXPECT_TRUE(s.Remarks.empty());

  // Its undo too.
  auto append = OpenTestReport(TOpenMode::Append);
  RunUndo(ctx, dialog, append.get());
  append->Close();
  EXPECT_EQ(ReportLines()[ReportLines().size() - 3], "PHOTO.JPG = 25/12/2006 14:30:00 | 32 | photo.jpg | Ok");
  EXPECT_EQ(A(disk.Find(P("photo.jpg"))->path), "C:\\Photos\\photo.jpg");
}

TEST_F(Runs, AStrandedFileIsNamedInTheRemarksAndTheMessage) {
  disk.caseOnlyRenameIsNoOp = true;
  File("photo.jpg");
  Map("photo.jpg", "PHOTO.JPG");
  Scan();
  auto report = OpenTestReport();
  // Both the second step and the way back fail: renames 2 and 3.
  disk.onRename = [&](const std::u16string&, const std::u16string&) {
    if (disk.renames >= 2) disk.failAt = disk.operations + 1;
  };
  const TRunSummary s = RunRename(ctx, dialog, report.get());
  disk.failAt = 0;
  report->Close();
  EXPECT_EQ(Files(), (std::map<std::u16string, std::string>{{u"~qv0.tmp", "<photo.jpg>"}}));
  EXPECT_EQ(FileLines(), (Lines{"photo.jpg | 25/12/2006 14:30:00 | 32 = PHOTO.JPG | Erreur"}));
  const std::string remark = "photo.jpg : fichier laiss\xE9 sous le nom ~qv0.tmp";
  EXPECT_EQ(s.Remarks, (Lines{remark}));
  EXPECT_EQ(ReportLines().back(), remark);
  EXPECT_EQ(dialog.errors, (Lines{"Attention, les fichiers suivants se trouvent sous un nom temporaire :\r\n\r\n"
                                  "photo.jpg -> ~qv0.tmp"}));
  EXPECT_TRUE(dialog.information.empty());
}
