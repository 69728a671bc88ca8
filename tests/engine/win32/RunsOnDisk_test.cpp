// The rename, undo and simulation runs on real folders (under Wine): the
// fault cases a user meets. Each test ends with no file lost, every
// content intact and every failure reported.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "../RunFakes.h"
#include "engine/Runs.h"
#include "engine/Simulation.h"
#include "engine/win32/SystemHelpers.h"
#include "engine/win32/TempFolder.h"
#include "engine/win32/WideText.h"
#include "engine/win32/Win32FileOps.h"
#include "engine/win32/Win32FolderReader.h"

using namespace qv::engine;
using namespace qv::engine::testing;
using qv::engine::win32::W;

namespace {

class RunsOnDisk : public ::testing::Test {
protected:
  RunsOnDisk() {
    listing.SetFolderReader(&reader);
    listing.SetTimeZone(win32::SystemTimeZone());
    UseMappedNames(options, ctx);
    CreateDirectoryW(W(folder), nullptr);
  }

  std::u16string P(std::string_view name) const { return JoinPath(folder, U(name)); }
  void File(std::string_view name, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    const std::string content = "<" + std::string(name) + ">";
    HANDLE h = CreateFileW(W(P(name)), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << name;
    DWORD n = 0;
    WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &n, nullptr);
    CloseHandle(h);
  }
  void Map(std::string from, std::string to) { values.target[std::move(from)] = std::move(to); }
  size_t Scan(const char* masks = "*.*") { return listing.ScanFolderWide(folder, masks, kScanAttributes); }

  static std::string Read(const std::u16string& path) {
    HANDLE h = CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<absent>";
    std::string s(4096, '\0');
    DWORD n = 0;
    ReadFile(h, s.data(), static_cast<DWORD>(s.size()), &n, nullptr);
    CloseHandle(h);
    s.resize(n);
    return s;
  }
  // Exact names and contents of the folder's files (subfolders left out).
  std::map<std::string, std::string> Files() {
    std::map<std::string, std::string> out;
    fs.ListFolder(folder, [&](const std::u16string& name, bool isFolder) {
      if (!isFolder) out[A(name)] = Read(JoinPath(folder, name));
    });
    return out;
  }
  // Every content of before is still there, once, under some name.
  void ExpectNothingLost(const std::map<std::string, std::string>& before) {
    std::multiset<std::string> was, is;
    for (const auto& [n, c] : before) was.insert(c);
    for (const auto& [n, c] : Files()) is.insert(c);
    EXPECT_EQ(is, was);
  }
  std::unique_ptr<TReportWriter> Report(TOpenMode mode = TOpenMode::Replace) {
    TReportOpenResult r = OpenReport(fs, A(reports), "Photos.txt", mode);
    EXPECT_EQ(r.Status, TReportOpen::Ok);
    return std::move(r.Writer);
  }
  std::vector<std::string> ReportFileLines() {
    const std::string text = Read(JoinPath(reports, u"Photos.txt"));
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
      out.push_back(text.substr(start, end - start));
    return out;
  }
  // The file lines of a rename report: word at the end of each.
  std::vector<std::string> Outcomes() {
    std::vector<std::string> out;
    const auto lines = ReportFileLines();
    for (size_t i = 10; i < lines.size() && !lines[i].empty(); ++i) out.push_back(lines[i].substr(lines[i].rfind(" | ") + 3));
    return out;
  }

  TTempFolder dir;
  const std::u16string folder = dir / u"Photos";
  const std::u16string reports = dir / u"Rapports";
  win32::TWin32FileOps fs;
  win32::TWin32FolderReader reader;
  TFileListing listing;
  TProgramOptions options;
  TMappedNames values;
  TScriptInterpreter interpreter{options, listing, &values};
  TNameBuilder names{options, interpreter};
  TRunContext ctx{listing, options, names, fs};
  TRecordingDialog dialog;
};

using Strings = std::vector<std::string>;
using Contents = std::map<std::string, std::string>;

}  // namespace

TEST_F(RunsOnDisk, CollisionWithAListedName) {
  File("a.txt");
  File("b.txt");
  Map("a.txt", "B.TXT");
  Scan();
  const Contents before = Files();
  auto report = Report();
  RunRename(ctx, dialog, report.get());
  report->Close();
  EXPECT_EQ(Files(), before);
  EXPECT_EQ(Outcomes(), (Strings{"Erreur", "Ok"}));
  EXPECT_EQ(ReportFileLines().back().rfind("Op\xE9ration termin\xE9" "e : ", 0), 0u) << ReportFileLines().back();
}

TEST_F(RunsOnDisk, CollisionWithUnlistedNames) {
  File("a.txt");
  File("b.txt");
  File("keep.doc");
  CreateDirectoryW(W(P("Backup")), nullptr);
  Map("a.txt", "KEEP.doc");
  Map("b.txt", "backup");
  ASSERT_EQ(Scan("*.txt"), 2u);
  const Contents before = Files();
  RunSimulation(ctx, dialog);
  EXPECT_EQ(dialog.memo, (Strings{"Fichier n\xB0" "1 : nom existant : KEEP.doc", "Fichier n\xB0" "2 : nom existant : backup"}));
  auto report = Report();
  RunRename(ctx, dialog, report.get());
  report->Close();
  EXPECT_EQ(Files(), before);
  EXPECT_EQ(Outcomes(), (Strings{"Erreur", "Erreur"}));
  EXPECT_TRUE(dialog.information.empty());
  EXPECT_TRUE(fs.FolderExists(P("Backup")));
}

TEST_F(RunsOnDisk, ChainsInBothOrders) {
  File("a.txt");
  File("b.txt");
  Map("a.txt", "b.txt");
  Map("b.txt", "c.txt");
  Scan();
  const Contents before = Files();
  RunRename(ctx, dialog, nullptr);  // a first: b is still there
  EXPECT_EQ(Files(), (Contents{{"a.txt", "<a.txt>"}, {"c.txt", "<b.txt>"}}));
  RunUndo(ctx, dialog, nullptr);
  EXPECT_EQ(Files(), before);

  Scan();
  listing.SortFiles(1, false);  // b first
  RunRename(ctx, dialog, nullptr);
  EXPECT_EQ(Files(), (Contents{{"b.txt", "<a.txt>"}, {"c.txt", "<b.txt>"}}));
  RunUndo(ctx, dialog, nullptr);
  EXPECT_EQ(Files(), before);
}

TEST_F(RunsOnDisk, ReadOnlyFilesWithNewDatesAndAttributes) {
  File("ro.txt", FILE_ATTRIBUTE_READONLY);
  File("rw.txt");
  Map("ro.txt", "ro2.txt");
  Map("rw.txt", "rw2.txt");
  int64_t c0, a0, m0;
  ASSERT_TRUE(GetRawFileTimes(P("ro.txt"), c0, a0, m0));
  Scan();
  options.DateOn = options.TimeOn = options.AttributOn = true;
  options.Attribut = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE;
  const TRunSummary s = RunRename(ctx, dialog, nullptr);
  EXPECT_EQ(s.Renamed, 2);
  EXPECT_EQ(s.TimeFailures + s.AttributeFailures, 0);
  EXPECT_EQ(GetFileAttributesW(W(P("rw2.txt"))), DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE});
  int64_t c, a, m;
  ASSERT_TRUE(GetRawFileTimes(P("ro2.txt"), c, a, m));
  int64_t local = 0;
  ASSERT_TRUE(win32::SystemTimeZone().ToLocal(m, local));
  EXPECT_EQ(*FileTimeToCalendar(local), (TCalendarTime{2006, 12, 25, 14, 30, 0, 0, 0}));
  // Undo: names, exact times and attributes back, read-only files too.
  const TRunSummary u = RunUndo(ctx, dialog, nullptr);
  EXPECT_EQ(u.Renamed, 2);
  EXPECT_EQ(u.TimeFailures + u.AttributeFailures, 0);
  EXPECT_EQ(Files(), (Contents{{"ro.txt", "<ro.txt>"}, {"rw.txt", "<rw.txt>"}}));
  EXPECT_TRUE(GetFileAttributesW(W(P("ro.txt"))) & FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(GetFileAttributesW(W(P("rw.txt"))) & FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(GetRawFileTimes(P("ro.txt"), c, a, m));
  EXPECT_EQ(m, m0);
  EXPECT_EQ(c, c0);
}

TEST_F(RunsOnDisk, UndoRestoresTheExactFileTimes) {
  File("t.txt");
  // Odd 100-ns values and a time before 1980, which the list cannot show.
  const int64_t accessed = FileTime(1975, 3, 4, 5, 6, 7, 8) + 1234, modified = FileTime(2001, 2, 3) + 98765;
  const int64_t created = FileTime(1999, 9, 9) + 7;
  ASSERT_TRUE(RestoreRawFileTimes(P("t.txt"), accessed, modified, created));
  int64_t c, a, m;
  ASSERT_TRUE(GetRawFileTimes(P("t.txt"), c, a, m));
  const bool keepsCreation = c == created;  // Wine on Linux reports the last write time
  Map("t.txt", "u.txt");
  Scan();
  EXPECT_EQ(listing[0].Accessed, kInvalidFileDateTime);
  options.DateOn = true;
  RunRename(ctx, dialog, nullptr);
  ASSERT_TRUE(GetRawFileTimes(P("u.txt"), c, a, m));
  ASSERT_NE(m, modified);
  RunUndo(ctx, dialog, nullptr);
  ASSERT_TRUE(GetRawFileTimes(P("t.txt"), c, a, m));
  EXPECT_EQ(a, accessed);
  EXPECT_EQ(m, modified);
  if (keepsCreation) {
    EXPECT_EQ(c, created);
  }
}

TEST_F(RunsOnDisk, FilesDeletedOrRenamedAfterTheScan) {
  File("gone.txt");
  File("moved.txt");
  File("stays.txt");
  Map("gone.txt", "1.txt");
  Map("moved.txt", "2.txt");
  Map("stays.txt", "3.txt");
  Scan();
  ASSERT_TRUE(DeleteFileW(W(P("gone.txt"))));
  ASSERT_TRUE(MoveFileW(W(P("moved.txt")), W(P("elsewhere.txt"))));
  const Contents before = Files();
  auto report = Report();
  const TRunSummary s = RunRename(ctx, dialog, report.get());
  report->Close();
  EXPECT_EQ(s.Failed, 2);
  EXPECT_EQ(Outcomes(), (Strings{"Erreur", "Erreur", "Ok"}));
  EXPECT_TRUE(s.Remarks.empty());
  ExpectNothingLost(before);
  EXPECT_EQ(Read(P("elsewhere.txt")), "<moved.txt>");
  RunUndo(ctx, dialog, nullptr);
  EXPECT_EQ(Read(P("stays.txt")), "<stays.txt>");
}

TEST_F(RunsOnDisk, FileHeldOpenWithoutSharing) {
  File("held.txt");
  File("free.txt");
  Map("held.txt", "h2.txt");
  Map("free.txt", "f2.txt");
  Scan();
  HANDLE h = CreateFileW(W(P("held.txt")), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  options.DateOn = true;
  auto report = Report();
  const TRunSummary s = RunRename(ctx, dialog, report.get());
  report->Close();
  CloseHandle(h);
  // Whatever the system allows, the report says what is on disk.
  const size_t held = listing[1].FileName == "held.txt" ? 1 : 0;
  const bool renamed = listing[held].Status == 1;
  EXPECT_EQ(Read(P(renamed ? "h2.txt" : "held.txt")), "<held.txt>");
  const Strings outcomes = Outcomes();
  ASSERT_EQ(outcomes.size(), 2u);
  if (renamed) {
    EXPECT_EQ(outcomes[held], "Ok");
  } else {
    EXPECT_EQ(outcomes[held], "Erreur");
  }
  EXPECT_EQ(s.Renamed + s.Failed, 2);
  EXPECT_EQ(Read(P("f2.txt")), "<free.txt>");
  RunUndo(ctx, dialog, nullptr);
  EXPECT_EQ(Files(), (Contents{{"free.txt", "<free.txt>"}, {"held.txt", "<held.txt>"}}));
}

TEST_F(RunsOnDisk, UnwritableReportFolderStopsBeforeAnyRename) {
  File("a.txt");
  Map("a.txt", "b.txt");
  Scan();
  // A file where the report folder should be: the folder cannot be made.
  HANDLE h = CreateFileW(W(dir / u"blocked"), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  CloseHandle(h);
  TReportOpenResult r = OpenReport(fs, A(dir / u"blocked\\Rapports"), "Photos.txt", TOpenMode::Replace);
  EXPECT_EQ(r.Status, TReportOpen::FolderFailed);
  EXPECT_FALSE(r.Writer);
  // A folder where the report file should be: the report cannot be opened.
  CreateDirectoryW(W(reports), nullptr);
  CreateDirectoryW(W(JoinPath(reports, u"Photos.txt")), nullptr);
  r = OpenReport(fs, A(reports), "Photos.txt", TOpenMode::Replace);
  EXPECT_EQ(r.Status, TReportOpen::OpenFailed);
  EXPECT_EQ(Files(), (Contents{{"a.txt", "<a.txt>"}}));  // the dialog runs nothing then
}

TEST_F(RunsOnDisk, BackupFolderThatCannotBeCreated) {
  File("a.txt");
  File("Backup");  // a file in the way
  Map("a.txt", "b.txt");
  options.Backup = true;
  ASSERT_EQ(Scan("*.txt"), 1u);
  auto report = Report();
  const TRunSummary s = RunRename(ctx, dialog, report.get());
  report->Close();
  EXPECT_EQ(s.Renamed, 1);
  EXPECT_EQ(s.BackupFailures, 1);
  EXPECT_EQ(Outcomes(), (Strings{"Ok"}));
  EXPECT_EQ(Read(P("Backup")), "<Backup>");
  EXPECT_EQ(dialog.panelStatus, "1 fichier renomm\xE9 - 0 fichier non renomm\xE9");
  EXPECT_EQ(s.Remarks, (Strings{"a.txt : sans sauvegarde"}));
}

TEST_F(RunsOnDisk, BackupCopiesAreMadeAndNeverOverwritten) {
  File("a.txt");
  File("b.txt");
  CreateDirectoryW(W(P("Backup")), nullptr);
  HANDLE h = CreateFileW(W(P("Backup\\b.txt")), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  DWORD n = 0;
  WriteFile(h, "older", 5, &n, nullptr);
  CloseHandle(h);
  Map("a.txt", "x.txt");
  Map("b.txt", "y.txt");
  options.Backup = true;
  Scan("*.txt");
  const TRunSummary s = RunRename(ctx, dialog, nullptr);
  EXPECT_EQ(s.Renamed, 2);
  EXPECT_EQ(s.BackupFailures, 0);
  EXPECT_EQ(Read(P("Backup\\a.txt")), "<a.txt>");
  EXPECT_EQ(Read(P("Backup\\b.txt")), "older");
}

TEST_F(RunsOnDisk, StopInTheMiddleThenUndo) {
  for (int i = 0; i < 10; ++i) File("f" + std::to_string(i) + ".txt");
  options.ScriptFile = false;
  options.NameFile = "n";
  options.NoneIndice = false;
  options.NoExtension = true;
  Scan();
  listing.SortFiles(1, true);
  const Contents before = Files();
  dialog.stopAtPoll = 6;
  auto report = Report();
  const TRunSummary s = RunRename(ctx, dialog, report.get());
  report->Close();
  EXPECT_TRUE(s.Stopped);
  EXPECT_EQ(s.Renamed, 5);
  EXPECT_EQ(Files().count("n04.txt"), 1u);
  EXPECT_EQ(Files().count("f5.txt"), 1u);
  auto append = Report(TOpenMode::Append);
  const TRunSummary u = RunUndo(ctx, dialog, append.get());
  append->Close();
  EXPECT_EQ(u.Renamed, 5);
  EXPECT_EQ(u.Ignored, 5);
  EXPECT_EQ(Files(), before);
  const Strings lines = ReportFileLines();
  EXPECT_EQ(lines.back(), "Op\xE9ration Undo termin\xE9" "e : 5 fichiers renomm\xE9s (0 erreur) - 5 fichiers ignor\xE9s");
}

TEST_F(RunsOnDisk, UndoAfterAPartialRun) {
  File("a.txt");
  File("b.txt");
  File("c.txt");
  File("d.txt");
  Map("a.txt", "d.txt");  // taken: fails
  Map("b.txt", "x.txt");
  Map("c.txt", "CON.txt");  // refused before touching the file
  Map("d.txt", "y.txt");
  Scan();
  const Contents before = Files();
  const TRunSummary s = RunRename(ctx, dialog, nullptr);
  EXPECT_EQ(s.Renamed, 2);
  EXPECT_EQ(s.Failed, 2);
  EXPECT_EQ(Files(), (Contents{{"a.txt", "<a.txt>"}, {"c.txt", "<c.txt>"}, {"x.txt", "<b.txt>"}, {"y.txt", "<d.txt>"}}));
  const TRunSummary u = RunUndo(ctx, dialog, nullptr);
  EXPECT_EQ(u.Renamed, 2);
  EXPECT_EQ(u.Ignored, 2);
  EXPECT_EQ(Files(), before);
}

TEST_F(RunsOnDisk, CaseOnlyRenamesAndTheirUndo) {
  File("photo.jpg");
  File("\xE9t\xE9.txt");
  Map("photo.jpg", "Photo.JPG");
  Map("\xE9t\xE9.txt", "\xC9T\xC9.txt");
  Scan();
  RunSimulation(ctx, dialog);
  EXPECT_TRUE(dialog.memo.empty());
  auto report = Report();
  const TRunSummary s = RunRename(ctx, dialog, report.get());
  report->Close();
  EXPECT_EQ(s.Renamed, 2);
  EXPECT_EQ(Files(), (Contents{{"Photo.JPG", "<photo.jpg>"}, {"\xC9T\xC9.txt", "<\xE9t\xE9.txt>"}}));
  // The temporary names were on record only while they lasted.
  EXPECT_EQ(Outcomes(), (Strings{"Ok", "Ok"}));
  RunUndo(ctx, dialog, nullptr);
  EXPECT_EQ(Files(), (Contents{{"photo.jpg", "<photo.jpg>"}, {"\xE9t\xE9.txt", "<\xE9t\xE9.txt>"}}));
}

TEST_F(RunsOnDisk, NamesTheProgramLeavesAlone) {
  // A name cp1252 cannot hold, and new names the system would refuse or
  // alter (trailing dot, device name).
  HANDLE h = CreateFileW(W(folder + u"\\\u0416.txt"), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  File("dot.txt");
  File("dev.txt");
  Map("?.txt", "z.txt");
  Map("dot.txt", "dot.");
  Map("dev.txt", "aux.txt");
  ASSERT_EQ(Scan(), 3u);
  const TRunSummary s = RunRename(ctx, dialog, nullptr);
  EXPECT_EQ(s.Failed, 3);
  int entries = 0;
  bool wideThere = false;
  fs.ListFolder(folder, [&](const std::u16string& n, bool) {
    ++entries;
    wideThere |= n == u"\u0416.txt";
  });
  EXPECT_EQ(entries, 3);
  EXPECT_TRUE(wideThere);
  EXPECT_EQ(Read(P("dot.txt")), "<dot.txt>");
}

// Names that end in a dot or a blank (made by another system): no path
// reaches them, so the simulation counts them as the errors the run meets.
TEST_F(RunsOnDisk, SourcesEndingInADotOrABlankArePredictedAsTheRunFindsThem) {
  File("a.txt");
  for (const char16_t* odd : {u"dot.txt.", u"nodot "}) {
    const std::u16string path = u"\\\\?\\" + JoinPath(folder, odd);
    HANDLE h = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
  }
  Map("a.txt", "1.txt");
  Map("dot.txt.", "2.txt");
  Map("nodot ", "3.txt");
  ASSERT_EQ(Scan(), 3u);
  ASSERT_EQ(A(listing[1].WideName), "dot.txt.");
  const TSimulationSummary sim = RunSimulation(ctx, dialog);
  EXPECT_EQ(dialog.memo, (Strings{"Fichier n\xB0" "2 : fichier introuvable : dot.txt.",
                                  "Fichier n\xB0" "3 : fichier introuvable : nodot "}));
  EXPECT_EQ(sim.Possible, 1);
  EXPECT_EQ(sim.Errors, 2);
  auto report = Report();
  const TRunSummary s = RunRename(ctx, dialog, report.get());
  report->Close();
  EXPECT_EQ(s.Renamed, sim.Possible);
  EXPECT_EQ(s.Failed, sim.Errors);
  EXPECT_EQ(Outcomes(), (Strings{"Ok", "Erreur", "Erreur"}));
}
