// Fault injection for engine/Runs.h: the Nth changing operation of the fake
// disk fails (once, or from then on; or a rename says yes and does
// nothing) for N = 1, 2, ... until a run meets no fault. After each run no
// file may be lost or half-renamed, each file must be where its status and
// its report line say, every failure must be reported, and an undo must
// put everything back.
#include <gtest/gtest.h>

#include <set>

#include "RunFakes.h"
#include "engine/Runs.h"

using namespace qv::engine;
using namespace qv::engine::testing;

namespace {

struct Original {
  std::u16string name;
  std::string content;
  uint32_t attributes;
  int64_t modified, created;
};

// A folder with a chain, a case-only change, an unchanged name, a
// collision with an unlisted file, a plain rename and a read-only file;
// backup, new dates and attributes, and a report.
void Prepare(TRunWorld& w) {
  w.disk.caseOnlyRenameIsNoOp = true;
  const struct {
    const char* from;
    const char* to;
  } files[] = {{"a.txt", "b.txt"}, {"b.txt", "c.txt"}, {"p.txt", "P.TXT"}, {"q.txt", "q.txt"},
               {"r.txt", "keep.doc"}, {"s.txt", "t.txt"}, {"ro.txt", "RO2.txt"}};
  for (const auto& f : files) {
    w.File(f.from, std::string("content of ") + f.from, std::string(f.from) == "ro.txt" ? kAttrReadOnly : kAttrArchive);
    w.Map(f.from, f.to);
  }
  w.File("keep.doc");
  w.options.Backup = true;
  w.options.DateOn = w.options.TimeOn = true;
  w.options.AttributOn = true;
  w.options.Attribut = kAttrArchive | kAttrHidden;
  ASSERT_EQ(w.Scan("*.txt"), 7u);
}

std::vector<Original> Snapshot(TRunWorld& w) {
  std::vector<Original> out;
  for (size_t i = 0; i < w.listing.Count(); ++i) {
    const auto* n = w.disk.Find(w.P(w.listing[i].FileName));
    out.push_back({w.listing[i].WideName, n->content, n->attributes, n->modified, n->created});
  }
  return out;
}

// Where each listed file's content is now (contents are unique).
std::u16string WhereIs(TRunWorld& w, const std::string& content) {
  std::u16string at;
  int found = 0;
  for (const auto& [name, c] : w.Files())
    if (c == content) at = name, ++found;
  EXPECT_LE(found, 1) << content;
  return at;
}

bool IsTemporary(const std::u16string& name) { return name.rfind(u"~qv", 0) == 0; }

// The files of C:\Photos are the original contents under old, new or
// (reported) temporary names; statuses, counts and report lines agree.
void CheckAfterRename(TRunWorld& w, const std::vector<Original>& before, const TRunSummary& s, bool persistent,
                      const std::string& where) {
  SCOPED_TRACE(where);
  EXPECT_EQ(w.Files().size(), before.size() + 1) << "a file appeared or vanished";  // + keep.doc
  EXPECT_EQ(w.disk.Content(w.P("keep.doc")), "<keep.doc>");
  int64_t renamed = 0;
  const std::vector<std::string> lines = w.ReportLines();
  for (size_t i = 0; i < before.size(); ++i) {
    const TFileObject& f = w.listing[i];
    const std::u16string at = WhereIs(w, before[i].content);
    ASSERT_FALSE(at.empty()) << "lost: " << A(before[i].name);
    if (f.Status == 1) {
      ++renamed;
      EXPECT_EQ(at, U(f.NewName)) << "reported renamed, is not";
    } else if (IsTemporary(at)) {
      EXPECT_TRUE(persistent) << "stranded by a single fault";
      bool told = false;
      for (const std::string& line : s.Stranded) told |= line == f.FileName + " -> " + A(at);
      EXPECT_TRUE(told) << "stranded without a word: " << A(at);
    } else {
      EXPECT_EQ(at, before[i].name) << "half-renamed";
    }
    // A file that may have moved has its line started on disk first.
    if (f.Status == 1 || at != before[i].name) {
      ASSERT_LT(10 + i, lines.size()) << "moved without a report line: " << f.FileName;
      EXPECT_NE(lines[10 + i].find(f.FileName + " | "), std::string::npos) << lines[10 + i];
    }
    if (IsTemporary(at)) {
      bool named = false;
      for (const std::string& r : s.Remarks) named |= r.find(A(at)) != std::string::npos;
      EXPECT_TRUE(named) << "no remark names " << A(at);
    }
    // The report line says what happened (while the report could be written).
    const size_t line = 10 + i;
    if (!s.ReportFailed && line < lines.size() && !lines[line].empty() && lines[line][0] != 'O') {
      const std::string word = lines[line].substr(lines[line].rfind(" | ") + 3);
      if (f.Status == 1)
        EXPECT_EQ(word, "Ok") << lines[line];
      else
        EXPECT_EQ(word, "Erreur") << lines[line];
    }
  }
  EXPECT_EQ(renamed, s.Renamed);
  EXPECT_EQ(renamed, w.ctx.RenamedCount);
  // Failures are counted and shown: per file, or the report failure as a
  // message.
  if (s.ReportFailed) {
    EXPECT_FALSE(w.dialog.errors.empty());
  }
  EXPECT_EQ(w.dialog.panelStatus.empty(), false);
}

// After a clean undo the folder is as it was, times and attributes too,
// except files stranded under a temporary name by persistent faults.
void CheckAfterUndo(TRunWorld& w, const std::vector<Original>& before, bool persistent, const std::string& where,
                    bool withTimesAndAttributes = true) {
  SCOPED_TRACE(where);
  for (const Original& o : before) {
    const std::u16string at = WhereIs(w, o.content);
    ASSERT_FALSE(at.empty()) << "lost: " << A(o.name);
    if (persistent && IsTemporary(at)) continue;
    EXPECT_EQ(at, o.name);
    if (!withTimesAndAttributes) continue;
    const auto* n = w.disk.Find(JoinPath(TRunWorld::kFolder, at));
    EXPECT_EQ(n->attributes, o.attributes) << A(o.name);
    EXPECT_EQ(n->modified, o.modified) << A(o.name);
    EXPECT_EQ(n->created, o.created) << A(o.name);
  }
}

// One fault of the fake disk: at the nth changing operation after it is
// armed, once or from then on, an error or a rename that says yes and does
// nothing.
struct TFaultCase {
  bool persistent = false;
  TFakeDisk::TFault kind = TFakeDisk::TFault::Error;
  int n = 1;
  std::string where;  // "once error at 3", for the failure messages
  bool met = false;

  void Arm(TFakeDisk& disk) {
    disk.failAt = disk.operations + n;
    disk.persistent = persistent;
    disk.fault = kind;
  }
  // Stops the faults; true when the run met this one.
  bool Disarm(TFakeDisk& disk) {
    met = disk.injected > 0;
    disk.failAt = 0;
    return met;
  }
};

// Plays body for a fault at operation 1, 2, ... once and persistent, an
// error and a lie, each series until a run no longer meets its fault (or
// past 400 operations); stops at a fatal failure. Returns the cases played.
template <typename F>
int ForEachFault(F body) {
  int cases = 0;
  for (const bool persistent : {false, true}) {
    for (const auto kind : {TFakeDisk::TFault::Error, TFakeDisk::TFault::Lie}) {
      for (int n = 1;; ++n) {
        TFaultCase fault{persistent, kind, n,
                         std::string(persistent ? "persistent " : "once ") +
                             (kind == TFakeDisk::TFault::Lie ? "lie " : "error ") + "at " + std::to_string(n)};
        body(fault);
        ++cases;
        if (::testing::Test::HasFatalFailure()) return cases;
        if (!fault.met || n > 400) break;
      }
    }
  }
  return cases;
}

}  // namespace

TEST(RunFaults, EveryOperationOfARenameRunFails) {
  const int cases = ForEachFault([](TFaultCase& fault) {
    const std::string& where = fault.where;
    TRunWorld w;
    Prepare(w);
    const std::vector<Original> before = Snapshot(w);
    auto report = w.OpenTestReport();
    fault.Arm(w.disk);
    const TRunSummary s = RunRename(w.ctx, w.dialog, report.get());
    report->Close();
    const bool met = fault.Disarm(w.disk);
    CheckAfterRename(w, before, s, fault.persistent, where);
    if (met) {
      EXPECT_TRUE(s.Failed || s.BackupFailures || s.TimeFailures || s.AttributeFailures || s.ReportFailed)
          << where << ": a fault went unreported";
    }
    RunUndo(w.ctx, w.dialog, nullptr);
    CheckAfterUndo(w, before, fault.persistent, where);
  });
  EXPECT_GT(cases, 60);
}

TEST(RunFaults, EveryOperationOfAnUndoFails) {
  const int cases = ForEachFault([](TFaultCase& fault) {
    const std::string& where = fault.where;
    SCOPED_TRACE(where);
    TRunWorld w;
    Prepare(w);
    const std::vector<Original> before = Snapshot(w);
    RunRename(w.ctx, w.dialog, nullptr);
    std::vector<std::u16string> renamedTo(before.size());
    for (size_t i = 0; i < before.size(); ++i) renamedTo[i] = WhereIs(w, before[i].content);
    auto report = w.OpenTestReport(TOpenMode::Append);
    fault.Arm(w.disk);
    const TRunSummary u = RunUndo(w.ctx, w.dialog, report.get());
    report->Close();
    const bool met = fault.Disarm(w.disk);
    // Each file is back (undo said Ok), still renamed (undo said
    // Erreur, or the file was not renamed), or stranded and reported.
    const std::vector<std::string> lines = w.ReportLines();
    std::set<std::u16string> okNames;
    int64_t back = 0;
    for (size_t i = 0; i < before.size(); ++i) {
      const std::u16string at = WhereIs(w, before[i].content);
      ASSERT_FALSE(at.empty()) << "lost: " << A(before[i].name);
      if (at == before[i].name && at != renamedTo[i]) ++back;
      if (IsTemporary(at)) {
        EXPECT_TRUE(fault.persistent);
        EXPECT_FALSE(u.Stranded.empty());
      } else {
        EXPECT_TRUE(at == before[i].name || at == renamedTo[i]) << A(at);
      }
    }
    EXPECT_LE(back, u.Renamed);
    // A report that cannot take a file's line ends the undo before
    // that file (or failed at the very end).
    if (u.ReportFailed)
      EXPECT_LE(u.Renamed + u.Failed + u.Ignored, static_cast<int64_t>(before.size()));
    else
      EXPECT_EQ(u.Renamed + u.Failed + u.Ignored, static_cast<int64_t>(before.size()));
    if (!u.ReportFailed) {
      int oks = 0, errors = 0;
      for (const std::string& line : lines) {
        oks += line.find(" | Ok") != std::string::npos && line.find(" = ") != std::string::npos;
        errors += line.find(" | Erreur") != std::string::npos;
      }
      EXPECT_GE(oks, u.Renamed);  // the rename run's own lines are not in this report
      EXPECT_EQ(errors, u.Failed);
    }
    if (met) {
      EXPECT_TRUE(u.Failed || u.TimeFailures || u.AttributeFailures || u.ReportFailed)
          << where << ": a fault went unreported";
    }
    // Once faults stop, a second undo puts back the names the first
    // could not (times and attributes it reported as not restored stay).
    RunUndo(w.ctx, w.dialog, nullptr);
    CheckAfterUndo(w, before, fault.persistent, where, u.TimeFailures == 0 && u.AttributeFailures == 0);
  });
  EXPECT_GT(cases, 40);
}
