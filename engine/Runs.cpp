// The rename and undo runs; see Runs.h. Texts are cp1252, written with
// escapes so that the native build (no -fexec-charset) gives the same bytes.
#include "engine/Runs.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "base/CodePage.h"
#include "engine/FileNameRules.h"
#include "engine/SafeRename.h"
#include "engine/TextUtils.h"

namespace qv::engine {

namespace {

constexpr char kOk[] = "Ok";
constexpr char kErreur[] = "Erreur";
constexpr char kIgnore[] = "Ignor\xE9";
constexpr char kNoFileFound[] = "Aucun fichier trouv\xE9 dans le dossier sp\xE9" "cifi\xE9";
constexpr char kNothingToUndo[] = "Aucun fichier n'est disponible pour la restauration";
constexpr char kRunning[] = "Op\xE9ration en cours...";
constexpr char kUndoRunning[] = "Op\xE9ration Undo en cours...";
constexpr char kDone[] = "Op\xE9ration termin\xE9" "e";
constexpr char kUndoDone[] = "Op\xE9ration Undo termin\xE9" "e";
constexpr char kStoppedLine[] = "Op\xE9ration interrompue par l'utilisateur";
constexpr char kExecutionDate[] = "Date d'ex\xE9" "cution : ";

std::string Count(int64_t n, const char* word, const char* adjective) {
  return std::to_string(n) + PluralSuffix(word, n) + PluralSuffix(adjective, n);
}

// A renamed file's line ends with "Ok" alone; what the user asked for
// beside the rename and did not get is one remark under the file's name
// ("a.txt : sans nouvelle date"), or "Ok" would claim it was done.
const char* OkLineEnd(const std::string& name, const std::vector<std::string>& notes, TRunSummary& s) {
  if (notes.empty()) return kOk;
  std::string remark = name + " : ";
  for (size_t i = 0; i < notes.size(); ++i) remark += (i ? ", " : "") + notes[i];
  s.Remarks.push_back(std::move(remark));
  return kOk;
}

// The temporary name of a case-only change, on record after the line's
// first piece while the file may carry it; the line's end replaces it.
std::function<bool(const std::u16string&)> RecordTemporary(TReportWriter* report) {
  if (!report) return {};
  return [report](const std::u16string& temp) {
    return report->WriteProvisional("[nom provisoire : " + base::Utf16ToCp1252(temp) + "]");
  };
}

std::string DateTimeColumn(TDateTime value, const TFormatSettings& fs) {
  return FormatDateTime(fs.ShortDateFormat, value, fs) + " " + FormatDateTime("hh:nn:ss", value, fs);
}

std::string ExecutionDate(TDateTime now, const TFormatSettings& fs) {
  return kExecutionDate + DateToStr(now, fs) + " " + FormatDateTime(fs.LongTimeFormat, now, fs);
}

std::string FolderText(const TFileListing& l) { return StripTrailingBackslashes(l.FolderPath); }

std::vector<std::string> BuildAllNames(TRunContext& ctx) {
  std::vector<std::string> names(ctx.Listing.Count());
  for (size_t i = 0; i < names.size(); ++i) names[i] = ctx.Names.BuildNewName(ctx.Listing[i].FileName, i);
  return names;
}

// The report's name columns: the longest old name (W1) and the longest
// new name (W2) over the whole list, modulo 256.
struct TNameColumns {
  int OldWidth = 0;
  int NewWidth = 0;
};

TNameColumns Columns(const TFileListing& l, const std::vector<std::string>& names) {
  size_t oldMax = 0, newMax = 0;
  for (size_t i = 0; i < l.Count(); ++i) oldMax = std::max(oldMax, l[i].FileName.size());
  for (const std::string& n : names) newMax = std::max(newMax, n.size());
  return {static_cast<int>(oldMax % 256), static_cast<int>(newMax % 256)};
}

void ShowRunning(IRunObserver& d, bool canStop) {
  d.SetButton(TRunButton::Non, true, false);
  d.SetButton(TRunButton::Oui, true, false);
  d.SetButton(TRunButton::Undo, true, false);
  d.SetButton(TRunButton::Arreter, true, canStop);
  d.SetButton(TRunButton::Fermer, true, false);
  d.SetButton(TRunButton::Rapport, true, false);
  d.SetReportControlsEnabled(false);
}

void ShowFinished(IRunObserver& d, bool undoAvailable, bool withReport) {
  d.SetButton(TRunButton::Undo, true, undoAvailable);
  d.SetButton(TRunButton::Arreter, true, false);
  d.SetButton(TRunButton::Fermer, true, true);
  d.SetButton(TRunButton::Rapport, true, withReport);
  d.SetMainStatus("");
}

// The new date and time of the run. Parsed before the report header is
// written, so the header shows the date and time actually applied when an
// unparseable option text is replaced by today or the present time.
TCalendarTime PrepareNewDateTime(TRunContext& ctx, IRunObserver& d, TDateTime now) {
  TProgramOptions& o = ctx.Options;
  const TFormatSettings& fs = ctx.Format;
  std::optional<TDateTime> date = StrToDate(o.Date, fs);
  if (!date) {
    o.Date2 = DateOf(now);
    o.Date = DateToStr(o.Date2, fs);
    date = o.Date2;
    if (o.DateOn) d.SetHeaderText(THeaderField::Date, o.Date);
  }
  std::optional<TDateTime> time = StrToTime(o.Time, fs);
  if (!time) {
    o.Time = FormatDateTime("hh:nn:ss", now, fs);
    time = StrToTime(o.Time, fs);
    if (o.TimeOn) d.SetHeaderText(THeaderField::Time, o.Time);
  }
  TCalendarTime when;
  if (const auto day = DecodeDateTime(DateOf(*date))) when = *day;
  if (const auto clock = time ? DecodeDateTime(TimeOf(*time)) : std::nullopt) {
    when.Hour = clock->Hour;
    when.Minute = clock->Minute;
    when.Second = clock->Second;
    when.Millisecond = clock->Millisecond;
  }
  when.DayOfWeek = 0;
  return when;
}

void WriteRenameHeader(TReportWriter& r, IRunObserver& d, TDateTime now, const TFormatSettings& fs) {
  r.Line(std::string("Rapport ") + "Quorvant Pro" + " version " + kProductVersion);
  r.Line(ExecutionDate(now, fs));
  r.Line();
  r.Line("Dossier \xE0 explorer     : " + d.HeaderText(THeaderField::Directory));
  r.Line("Nombre de fichiers     : " + d.HeaderText(THeaderField::NbFiles));
  r.Line("Mod\xE8le d'exemple       : " + d.HeaderText(THeaderField::Modele));
  r.Line("Modifier les dates     : " + d.HeaderText(THeaderField::Date));
  r.Line("Modifier les heures    : " + d.HeaderText(THeaderField::Time));
  r.Line("Modifier les attributs : " + d.HeaderText(THeaderField::Attribut));
  r.Line();
}

// A file left under a temporary name: "Erreur" cannot say where it is, so
// it is on record after the summary and told at the end of the run.
void Stranded(const std::string& name, const TRenameOutcome& r, TRunSummary& s) {
  if (r.LeftAt.empty()) return;
  const std::string temp = base::Utf16ToCp1252(r.LeftAt);
  s.Stranded.push_back(name + " -> " + temp);
  s.Remarks.push_back(name + " : fichier laiss\xE9 sous le nom " + temp);
}

void ShowStranded(IRunObserver& d, const TRunSummary& s) {
  if (s.Stranded.empty()) return;
  std::string text = "Attention, les fichiers suivants se trouvent sous un nom temporaire :\r\n";
  for (const std::string& line : s.Stranded) text += "\r\n" + line;
  d.ShowError(text);
}

int DateTimeMode(const TProgramOptions& o) { return o.DateOn && o.TimeOn ? 0 : (o.DateOn ? 1 : 2); }

// The names the folder's entries hold, followed through the run's own
// renames: a rename to a name that no entry held is proved on disk by the
// new name alone, which spares a scan of the folder per file under Wine.
class TOccupiedNames {
public:
  TOccupiedNames(IFileOps& fs, const std::u16string& folder) {
    m_known = fs.ListFolder(folder, [&](const std::u16string& name, bool) { ++m_held[FileNameKey(name)]; });
  }
  bool KnownFree(const std::u16string& name) const {
    if (!m_known) return false;
    const auto it = m_held.find(FileNameKey(name));
    return it == m_held.end() || it->second <= 0;
  }
  void Follow(const std::u16string& from, const std::u16string& to, const TRenameOutcome& r) {
    if (r.ok()) {
      Move(from, to);
    } else if (!r.LeftAt.empty()) {
      Move(from, r.LeftAt);
    } else if (r.Result.Error == TFileError::NotVerified) {
      m_known = false;  // the disk no longer says what it holds
    }
  }

private:
  void Move(const std::u16string& from, const std::u16string& to) {
    --m_held[FileNameKey(from)];
    ++m_held[FileNameKey(to)];
  }
  bool m_known = false;
  std::unordered_map<std::u16string, int> m_held;
};

// Renames one file to given (the name the run built, which a repaint may
// have built again in the file's NewName since) and sets its new times and
// attributes; returns the end of its report line.
const char* RenameOneFile(TRunContext& ctx, TFileObject& f, const std::string& given, const TCalendarTime& when,
                          const std::u16string& backupFolder, TOccupiedNames& names, TReportWriter* report,
                          TRunSummary& s) {
  const TProgramOptions& o = ctx.Options;
  IFileOps& fs = ctx.Files;
  const std::u16string& folder = ctx.Listing.WideFolderPath;
  std::vector<std::string> notes;
  f.Status = 0;
  // Left alone: a name the program cannot address without loss or at all,
  // and a new name the system would refuse or silently alter.
  if (f.NameIsLossy || !IsReachableName(f.WideName) || !IsValidFileName(given)) {
    ++s.Failed;
    return kErreur;
  }

  if (o.Backup) {
    const TFileResult b = ctx.BackupFolderReady ? CopyToBackup(fs, JoinPath(folder, f.WideName),
                                                               JoinPath(backupFolder, f.WideName))
                                                : TFileResult::Fail(TFileError::PathNotFound);
    if (!b.ok()) {
      ++s.BackupFailures;
      notes.push_back("sans sauvegarde");
    }
  }

  const std::u16string newName = base::Cp1252ToUtf16(given);
  const TRenameOutcome r =
      RenameVerified(fs, folder, f.WideName, newName, names.KnownFree(newName), RecordTemporary(report));
  names.Follow(f.WideName, newName, r);
  if (!r.ok()) {
    ++s.Failed;
    Stranded(f.FileName, r, s);
    return kErreur;
  }
  f.Status = 1;
  ++s.Renamed;
  ++ctx.RenamedCount;

  const std::u16string path = JoinPath(folder, newName);
  if (o.DateOn || o.TimeOn) {
    if (!fs.SetDateTime(path, when, DateTimeMode(o)).ok()) {
      ++s.TimeFailures;
      notes.push_back(o.DateOn ? "sans nouvelle date" : "sans nouvelle heure");
    }
  }
  if (o.AttributOn && !fs.SetAttributes(path, static_cast<uint32_t>(o.Attribut)).ok()) {
    ++s.AttributeFailures;
    notes.push_back("sans nouveaux attributs");
  }
  return OkLineEnd(f.FileName, notes, s);
}

const char* UndoOneFile(TRunContext& ctx, const TFileObject& f, const std::string& given, TOccupiedNames& names,
                        TReportWriter* report, TRunSummary& s) {
  const TProgramOptions& o = ctx.Options;
  IFileOps& fs = ctx.Files;
  const std::u16string& folder = ctx.Listing.WideFolderPath;
  const std::u16string current = base::Cp1252ToUtf16(given);
  const TRenameOutcome r =
      RenameVerified(fs, folder, current, f.WideName, names.KnownFree(f.WideName), RecordTemporary(report));
  names.Follow(current, f.WideName, r);
  if (!r.ok()) {
    ++s.Failed;
    Stranded(given, r, s);
    return kErreur;
  }
  ++s.Renamed;
  std::vector<std::string> notes;
  const std::u16string path = JoinPath(folder, f.WideName);
  // The exact times of the scan, not the 2-second values the list shows.
  if ((o.DateOn || o.TimeOn) && !fs.RestoreTimes(path, f.CreatedRaw, f.AccessedRaw, f.ModifiedRaw).ok()) {
    ++s.TimeFailures;
    notes.push_back("dates non restaur\xE9" "es");
  }
  if (o.AttributOn && !fs.SetAttributes(path, f.Attributes).ok()) {
    ++s.AttributeFailures;
    notes.push_back("attributs non restaur\xE9s");
  }
  return OkLineEnd(given, notes, s);
}

std::string ProgressText(const char* what, size_t done, size_t count, char sep) {
  return std::string(what) + " (" + FormatPercent(static_cast<double>(done) * 100.0 / static_cast<double>(count), sep) +
         ")";
}

void ReportWriteFailure(IRunObserver& d, const TReportWriter& r, bool interrupted) {
  d.ShowError("Attention, le rapport suivant ne peut pas \xEAtre \xE9" "crit :\r\n" + r.Path() + "\r\n\r\n" +
              (interrupted ? "L'op\xE9ration a \xE9t\xE9 interrompue." : "Le rapport est incomplet."));
}

// A file's line in two pieces. The first is on disk before the file is
// touched, so the report of a run killed in its middle still names every
// file it may have renamed; the end waits in the buffer for the next
// file's first piece (one write per file). False once the report cannot
// be written: the run stops, since what it does must stay on record.
bool ReportLineStart(TReportWriter* report, const std::string& piece, TRunSummary& s) {
  if (!report) return true;
  report->Write(piece);
  if (report->Flush()) return true;
  s.ReportFailed = true;
  return false;
}

bool ReportLineEnd(TReportWriter* report, const char* end, TRunSummary& s) {
  if (!report) return true;
  report->Line(end);
  if (!report->Failed()) return true;
  s.ReportFailed = true;
  return false;
}

// The end shared by a rename and an undo: the dialog's final state, the
// summary line of the report, and the files left under temporary names.
void FinishRun(IRunObserver& d, TReportWriter* report, bool undoAvailable, const char* done, const std::string& summary,
               TRunSummary& s) {
  ShowFinished(d, undoAvailable, report != nullptr);
  d.SetLabelStatus(done);
  d.SetPanelStatus(summary);
  if (report) {
    const bool failedInRun = s.ReportFailed;
    report->Line();
    report->Line(std::string(done) + " : " + summary);
    for (const std::string& line : s.Remarks) report->Line(line);
    if (!report->Flush()) {
      s.ReportFailed = true;
      ReportWriteFailure(d, *report, failedInRun);
    }
  }
  ShowStranded(d, s);
}

}  // namespace

// ---- Helpers ------------------------------------------------------------

std::string FormatPercent(double value, char decimalSeparator) {
  if (!(value >= 0.0)) value = 0.0;
  if (value > 1e15) value = 1e15;
  const long long tenths = std::llround(value * 10.0);
  std::string s = std::to_string(tenths / 10);
  if (tenths % 10 != 0) {
    s += decimalSeparator;
    s += static_cast<char>('0' + tenths % 10);
  }
  return s + " %";
}

std::string RenameSummaryText(const TRunSummary& s) {
  return Count(s.Renamed, " fichier", " renomm\xE9") + " - " + Count(s.Failed, " fichier", " non renomm\xE9");
}

std::string UndoSummaryText(const TRunSummary& s) {
  return Count(s.Renamed, " fichier", " renomm\xE9") + " (" + Count(s.Failed, " erreur", "") + ") - " +
         Count(s.Ignored, " fichier", " ignor\xE9");
}

std::u16string BackupFolderPath(const TFileListing& listing) { return JoinPath(listing.WideFolderPath, u"Backup"); }

void CreateBackupFolder(TRunContext& ctx, const std::u16string& path) {
  ctx.Files.CreateFolder(path);  // an existing folder is what we want
  ctx.BackupFolderReady = ctx.Files.FolderExists(path);
}

TFileResult CopyToBackup(IFileOps& fs, const std::u16string& source, const std::u16string& target) {
  const TFileResult r = fs.CopyNoOverwrite(source, target);
  if (r.Error == TFileError::Exists) return TFileResult::Ok();
  return r;
}

// ---- Rename run -----------------------------------------------------------

TRunSummary RunRename(TRunContext& ctx, IRunObserver& d, TReportWriter* report) {
  TRunSummary s;
  TFileListing& l = ctx.Listing;
  const size_t count = l.Count();
  if (count == 0) {
    d.ShowInformation(kNoFileFound);
    return s;
  }
  s.Started = true;
  s.TimeOnly = ctx.Options.TimeOn && !ctx.Options.DateOn;
  ctx.RenamedCount = 0;
  for (size_t i = 0; i < count; ++i) l[i].Status = 0;
  d.SetMainStatus(kRunning);
  ShowRunning(d, true);
  const std::string folder = FolderText(l);

  try {
    ctx.GivenNames = BuildAllNames(ctx);
    const std::vector<std::string>& names = ctx.GivenNames;
    const TNameColumns w = Columns(l, names);
    const TDateTime now = ctx.Now();
    const TCalendarTime when = PrepareNewDateTime(ctx, d, now);
    if (report) WriteRenameHeader(*report, d, now, ctx.Format);
    const std::u16string backupFolder = BackupFolderPath(l);
    if (ctx.Options.Backup) CreateBackupFolder(ctx, backupFolder);
    TOccupiedNames occupied(ctx.Files, l.WideFolderPath);
    d.SetLabelStatus(kRunning);
    d.SetProgressRange(1, static_cast<int64_t>(count));

    for (size_t i = 0; i < count; ++i) {
      TFileObject& f = l[i];
      f.NewName = names[i];
      if (d.StopRequested()) {
        if (report) {
          report->Line();
          report->Line();
          report->Line(kStoppedLine);
        }
        s.Stopped = true;
        break;
      }
      if (report && !ReportLineStart(report,
                                     PadLeft(f.FileName, w.OldWidth, ' ') + " | " +
                                         DateTimeColumn(f.Modified, ctx.Format) + " | " +
                                         PadLeft(std::to_string(f.Attributes), 2, ' ') + " = " +
                                         PadLeft(names[i], w.NewWidth, ' ') + " | ",
                                     s))
        break;
      d.SetLabelStatus(ProgressText("Op\xE9ration en cours", i + 1, count, ctx.DecimalSeparator));
      d.SetPanelStatus(folder + "\\" + f.FileName);
      d.SetProgressPosition(static_cast<int64_t>(i + 1));
      d.ProcessMessages();
      if (!ReportLineEnd(report, RenameOneFile(ctx, f, names[i], when, backupFolder, occupied, report, s), s)) break;
    }
  } catch (...) {
    s.Aborted = true;
  }
  FinishRun(d, report, true, kDone, RenameSummaryText(s), s);
  return s;
}

// ---- Undo run -------------------------------------------------------------

TRunSummary RunUndo(TRunContext& ctx, IRunObserver& d, TReportWriter* report) {
  TRunSummary s;
  TFileListing& l = ctx.Listing;
  const size_t count = l.Count();
  // Undo puts back what the run did, from the names it gave: a name built
  // again now may differ (a tag that reads the file finds it gone), and a
  // list read again since no longer matches them.
  if (ctx.RenamedCount == 0 || count == 0 || ctx.GivenNames.size() != count) {
    d.ShowInformation(kNothingToUndo);
    d.SetButton(TRunButton::Undo, true, false);
    return s;
  }
  s.Started = true;
  d.SetMainStatus(kUndoRunning);
  ShowRunning(d, false);
  const std::string folder = FolderText(l);

  try {
    const TNameColumns w = Columns(l, ctx.GivenNames);
    if (report) {
      report->Line();
      report->Line();
      report->Line("Restauration demand\xE9" "e par l'utilisateur");
      report->Line(ExecutionDate(ctx.Now(), ctx.Format));
      report->Line();
    }
    d.SetLabelStatus(kUndoRunning);
    d.SetProgressRange(1, static_cast<int64_t>(count));
    TOccupiedNames occupied(ctx.Files, l.WideFolderPath);

    // From the last file to the first, so that chains (b -> c after
    // a -> b) come undone in the right order.
    for (size_t k = 0; k < count; ++k) {
      const size_t i = count - 1 - k;
      const TFileObject& f = l[i];
      const std::string& given = ctx.GivenNames[i];
      if (report && !ReportLineStart(report,
                                     PadLeft(given, w.NewWidth, ' ') + " = " +
                                         DateTimeColumn(f.Modified, ctx.Format) + " | " +
                                         PadLeft(std::to_string(f.Attributes), 2, ' ') + " | " +
                                         PadLeft(f.FileName, w.OldWidth, ' ') + " | ",
                                     s))
        break;
      d.SetLabelStatus(ProgressText("Op\xE9ration Undo en cours", k + 1, count, ctx.DecimalSeparator));
      d.SetPanelStatus(folder + "\\" + given);
      d.SetProgressPosition(static_cast<int64_t>(i + 1));
      d.ProcessMessages();
      const char* end = kIgnore;
      if (f.Status == 1) {
        end = UndoOneFile(ctx, f, given, occupied, report, s);
      } else {
        ++s.Ignored;
      }
      if (!ReportLineEnd(report, end, s)) break;
    }
  } catch (...) {
    s.Aborted = true;
  }
  FinishRun(d, report, false, kUndoDone, UndoSummaryText(s), s);
  return s;
}

}  // namespace qv::engine
