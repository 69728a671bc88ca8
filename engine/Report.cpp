// Buffered report writing and report paths; see Report.h.
#include "engine/Report.h"

#include "base/CodePage.h"
#include "engine/ScriptInterpreter.h"
#include "engine/TextUtils.h"

namespace qv::engine {

TReportWriter::TReportWriter(std::unique_ptr<IOutputFile> file, std::string path, size_t bufferSize)
    : m_file(std::move(file)), m_path(std::move(path)), m_bufferSize(bufferSize ? bufferSize : 1) {
  m_buffer.reserve(m_bufferSize);
  if (!m_file) m_error = TFileResult::Fail(TFileError::Other);
}

TReportWriter::~TReportWriter() { Close(); }

void TReportWriter::Write(std::string_view text) {
  if (Failed() || !TakeBackProvisional()) return;
  m_buffer.append(text);
  if (m_buffer.size() >= m_bufferSize) Flush();
}

void TReportWriter::Line(std::string_view text) {
  Write(text);
  Write("\r\n");
}

bool TReportWriter::Flush() {
  if (Failed() || !m_file || !TakeBackProvisional()) return false;
  if (!m_buffer.empty()) {
    const TFileResult r = m_file->Write(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
    if (!r.ok()) m_error = r;
  }
  return !Failed();
}

bool TReportWriter::WriteProvisional(std::string_view text) {
  if (!Flush() || text.empty()) return !Failed();
  const TFileResult r = m_file->Write(text.data(), text.size());
  if (!r.ok()) {
    m_error = r;
    return false;
  }
  m_provisional = text.size();
  return true;
}

bool TReportWriter::TakeBackProvisional() {
  if (m_provisional == 0 || !m_file) return true;
  const TFileResult r = m_file->CutBack(m_provisional);
  m_provisional = 0;
  if (!r.ok()) m_error = r;
  return r.ok();
}

bool TReportWriter::Close() {
  if (!m_file) return !Failed();
  Flush();
  const TFileResult r = m_file->Close();
  m_file.reset();
  if (!r.ok() && !Failed()) m_error = r;
  return !Failed();
}

std::string DefaultReportName(std::string_view folder, std::string_view replacement) {
  std::string name = ReplaceForbiddenChars(LastPathComponent(StripTrailingBackslashes(folder)), replacement);
  if (name.empty() || name.find_first_not_of(". ") == std::string::npos) name = "Rapport";
  return name + ".txt";
}

std::string ReportPath(std::string_view reportFolder, std::string_view fileName) {
  return StripTrailingBackslashes(reportFolder) + "\\" + std::string(fileName);
}

TReportOpenResult OpenReport(IFileOps& fs, std::string_view reportFolder, std::string_view fileName,
                             TOpenMode mode) {
  TReportOpenResult out;
  out.Path = ReportPath(reportFolder, fileName);
  if (!CreateFolderPath(fs, base::Cp1252ToUtf16(StripTrailingBackslashes(reportFolder)))) {
    out.Status = TReportOpen::FolderFailed;
    return out;
  }
  const std::u16string path = base::Cp1252ToUtf16(out.Path);
  std::unique_ptr<IOutputFile> file = fs.OpenForWriting(path, mode, out.Error);
  if (!file && mode == TOpenMode::Append) file = fs.OpenForWriting(path, TOpenMode::Replace, out.Error);
  if (!file) {
    out.Status = TReportOpen::OpenFailed;
    return out;
  }
  out.Error = TFileResult::Ok();
  out.Status = TReportOpen::Ok;
  out.Writer = std::make_unique<TReportWriter>(std::move(file), out.Path);
  return out;
}

}  // namespace qv::engine
