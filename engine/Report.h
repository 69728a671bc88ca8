// The report file of the runs: cp1252 text with CR LF line ends, written
// through a buffer that the runs flush before each rename (what is on disk
// must say which files a killed run had reached: one write per file, no
// flush to the disk surface, so a power cut may lose the last lines), plus
// the report's default name and path and its opening as the rename dialog
// does it (folder created first, then the file replaced or appended to).
// The lines themselves are the runs' (engine/Runs.h).
//
//   TReportOpenResult r = OpenReport(fs, dirRapport, "Paris.txt", TOpenMode::Replace);
//   if (r.Writer) { r.Writer->Line("Rapport ..."); r.Writer->Close(); }
//
// Tested by tests/engine/Report_test.cpp.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "engine/FileOps.h"

namespace qv::engine {

class TReportWriter {
public:
  // path: shown in messages about this report (cp1252).
  TReportWriter(std::unique_ptr<IOutputFile> file, std::string path, size_t bufferSize = 64 * 1024);
  ~TReportWriter();  // closes, errors ignored: call Close to see them
  TReportWriter(const TReportWriter&) = delete;
  TReportWriter& operator=(const TReportWriter&) = delete;

  // text as is; Line adds CR LF.
  void Write(std::string_view text);
  void Line(std::string_view text = {});
  // Hands the buffer to the file; false once any write has failed.
  bool Flush();
  // Flushes, then puts text on disk until the next write takes it back:
  // the temporary name of a two-step rename is on record only while the
  // file may carry it. False once any write has failed.
  bool WriteProvisional(std::string_view text);
  // Flushes and closes; false when anything failed since the opening.
  bool Close();

  // A write has failed: what follows is lost, the run should end.
  bool Failed() const { return !m_error.ok(); }
  const TFileResult& Error() const { return m_error; }
  const std::string& Path() const { return m_path; }

private:
  bool TakeBackProvisional();

  std::unique_ptr<IOutputFile> m_file;
  std::string m_path;
  std::string m_buffer;
  size_t m_bufferSize;
  size_t m_provisional = 0;  // bytes at the file's end that the next write takes back
  TFileResult m_error;
};

// The report's default file name: the folder's last component + ".txt",
// with the characters a file name may not hold replaced ("C:\" would give
// "C:.txt"); "Rapport.txt" when nothing is left.
std::string DefaultReportName(std::string_view folder, std::string_view replacement = "-");
// reportFolder without trailing backslashes + "\" + fileName.
std::string ReportPath(std::string_view reportFolder, std::string_view fileName);

enum class TReportOpen { Ok, FolderFailed, OpenFailed };
struct TReportOpenResult {
  TReportOpen Status = TReportOpen::OpenFailed;
  std::unique_ptr<TReportWriter> Writer;  // set when Status is Ok
  std::string Path;                       // the report's full path
  TFileResult Error;
};

// Creates reportFolder with its missing parents, then opens the report:
// Replace empties it, Append adds to its end and creates it when it is
// missing or cannot be appended to.
TReportOpenResult OpenReport(IFileOps& fs, std::string_view reportFolder, std::string_view fileName,
                             TOpenMode mode);

}  // namespace qv::engine
