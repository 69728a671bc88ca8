// The rename and undo runs: every file of the listing, in list order,
// renamed to the name the name builder gives it (with an optional backup
// copy, new file dates, times and attributes, and the report lines), and
// the files of the last rename put back, from the last to the first, with
// their exact scan-time file times and attributes. The dialog that drives
// a run implements IRunObserver; the disk is behind IFileOps.
//
//   TRunContext ctx{listing, options, names, fileOps};
//   RunRename(ctx, dialog, report.get());   // report may be null
//   RunUndo(ctx, dialog, report.get());
//
// Every rename is checked on disk; a file whose name cp1252 cannot hold,
// or whose new name the system would refuse or alter, is reported and left
// alone. Single-threaded: the runs pump the dialog's messages between
// files. Tested by tests/engine/Runs_test.cpp, RunsFaults_test.cpp and
// tests/engine/win32/RunsOnDisk_test.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/DateTime.h"
#include "engine/FileObject.h"
#include "engine/FileOps.h"
#include "engine/NameBuilder.h"
#include "engine/ProgramOptions.h"
#include "engine/Report.h"
#include "engine/RunObserver.h"

namespace qv::engine {

// What the runs work on; the main window keeps one for its lifetime.
struct TRunContext {
  TRunContext(TFileListing& listing, TProgramOptions& options, TNameBuilder& names, IFileOps& files)
      : Listing(listing), Options(options), Names(names), Files(files) {}

  TFileListing& Listing;
  TProgramOptions& Options;  // "Date" and "Time" are replaced when they do not parse
  TNameBuilder& Names;
  IFileOps& Files;
  TFormatSettings Format = DefaultFormatSettings();
  char DecimalSeparator = ',';  // of the progress percentage
  // The local date-time now (report dates, replacement date and time).
  std::function<TDateTime()> Now = [] { return 0.0; };

  // Files renamed by the last rename run, counted file by file so that a
  // run ended early still lets undo put back what it did (FRenamedCount).
  int64_t RenamedCount = 0;
  // The new name the last rename run gave each file, in list order: what
  // undo looks for, whatever the list has built since.
  std::vector<std::string> GivenNames;
  bool BackupFolderReady = false;
};

struct TRunSummary {
  int64_t Renamed = 0;
  int64_t Failed = 0;
  int64_t Ignored = 0;          // undo: files the rename had not renamed
  int64_t BackupFailures = 0;   // backup copies that could not be made
  int64_t TimeFailures = 0;     // new or restored file times not set
  int64_t AttributeFailures = 0;
  bool Stopped = false;         // by the user's stop request
  bool ReportFailed = false;    // the report could not be written; the run ended there
  bool Aborted = false;         // an unexpected failure ended the run
  bool Started = false;         // false when there was nothing to do
  bool TimeOnly = false;        // the new times were times of day only
  // Files left under a temporary name ("photo.jpg -> ~qv0.tmp"): a case
  // change whose second step and way back both failed. The run tells the
  // user at its end, report or not.
  std::vector<std::string> Stranded;
  // What a file's report word cannot say, one line per file, listed after
  // the report's summary: a side change asked for that failed on a file
  // reported "Ok" ("a.txt : sans nouvelle date"), and where a stranded
  // file is.
  std::vector<std::string> Remarks;
};

TRunSummary RunRename(TRunContext& ctx, IRunObserver& dialog, TReportWriter* report);
TRunSummary RunUndo(TRunContext& ctx, IRunObserver& dialog, TReportWriter* report);

// Creates the backup folder (an existing one is fine) and records in
// BackupFolderReady whether it is there.
void CreateBackupFolder(TRunContext& ctx, const std::u16string& path);
// Copies a file into the backup folder; an existing copy is never
// overwritten (that is not a failure: the older copy is kept).
TFileResult CopyToBackup(IFileOps& fs, const std::u16string& source, const std::u16string& target);
// The current folder + "\Backup".
std::u16string BackupFolderPath(const TFileListing& listing);

// Summary texts: "3 fichiers renommés - 0 fichier non renommé" and the
// undo's "3 fichiers renommés (0 erreur) - 2 fichiers ignorés".
std::string RenameSummaryText(const TRunSummary& s);
std::string UndoSummaryText(const TRunSummary& s);
// "##.# %" of value with the given decimal separator, never an empty
// integer part ("0,5 %", "33,3 %", "100 %").
std::string FormatPercent(double value, char decimalSeparator);

}  // namespace qv::engine
