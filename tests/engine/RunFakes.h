// Test doubles for the runs: an in-memory disk (IFileOps and IFolderReader)
// that compares names as Windows does, can behave like Wine on case-only
// renames and can fail its Nth changing operation once or from then on; a
// dialog that records what the runs show; script values that give each
// file the new name a test wants; and a fixture that wires them together.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/CodePage.h"
#include "engine/FileNameRules.h"
#include "engine/FileObject.h"
#include "engine/FileOps.h"
#include "engine/NameBuilder.h"
#include "engine/Report.h"
#include "engine/RunObserver.h"
#include "engine/Runs.h"
#include "engine/ScriptInterpreter.h"

namespace qv::engine::testing {

inline std::u16string U(std::string_view cp1252) { return base::Cp1252ToUtf16(cp1252); }
inline std::string A(std::u16string_view wide) { return base::Utf16ToCp1252(wide); }

inline int64_t FileTime(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  TCalendarTime t;
  t.Year = y, t.Month = mo, t.Day = d, t.Hour = h, t.Minute = mi, t.Second = s, t.Millisecond = ms;
  return *CalendarToFileTime(t);
}

class TFakeDisk final : public IFileOps, public IFolderReader {
public:
  struct Node {
    std::u16string path;  // exact
    bool folder = false;
    std::string content;
    uint32_t attributes = kAttrArchive;
    int64_t created = 0, accessed = 0, modified = 0;
    bool locked = false;    // held open without sharing
    bool noCreate = false;  // folder: nothing can be created inside
  };

  // ---- Behaviour ----
  bool caseOnlyRenameIsNoOp = false;  // as Wine: success, nothing changes
  std::u16string refuseTimesAt;        // new file times refused at this path
  enum class TFault { Error, Lie };   // Lie: a rename says yes and does nothing
  int failAt = 0;                     // the Nth changing operation fails (0: none)
  bool persistent = false;            // ... and every one after it
  TFault fault = TFault::Error;
  int operations = 0;
  int injected = 0;
  int renames = 0;          // calls of Rename
  int writeFailsFrom = 0;   // report writes fail from the Nth one on (0: never)
  int writes = 0;
  // Called at each Rename before it acts (what the report says by then).
  std::function<void(const std::u16string& from, const std::u16string& to)> onRename;

  TFakeDisk() { AddFolder(u"C:"); }

  void AddFolder(const std::u16string& path) {
    Node n;
    n.path = path;
    n.folder = true;
    m_nodes[Key(path)] = n;
  }
  void AddFile(const std::u16string& path, std::string content, uint32_t attributes = kAttrArchive,
               int64_t time = FileTime(2006, 12, 25, 14, 30, 0)) {
    Node n;
    n.path = path;
    n.content = std::move(content);
    n.attributes = attributes;
    n.created = n.accessed = n.modified = time;
    m_nodes[Key(path)] = n;
  }
  Node* Find(const std::u16string& path) {
    const auto it = m_nodes.find(Key(path));
    return it == m_nodes.end() ? nullptr : &it->second;
  }
  void Remove(const std::u16string& path) { m_nodes.erase(Key(path)); }
  // Exact names and contents of the files (not folders) directly in folder.
  std::map<std::u16string, std::string> Files(const std::u16string& folder) const {
    std::map<std::u16string, std::string> out;
    const std::u16string k = Key(folder);
    for (const auto& [key, n] : m_nodes)
      if (!n.folder && Parent(key) == k) out[Name(n.path)] = n.content;
    return out;
  }
  std::string Content(const std::u16string& path) {
    Node* n = Find(path);
    return n ? n->content : std::string("<absent>");
  }

  // ---- IFileOps ----
  TFileResult Rename(const std::u16string& from, const std::u16string& to) override {
    ++renames;
    if (onRename) onRename(from, to);
    if (Fault()) return fault == TFault::Lie ? TFileResult::Ok() : Failure();
    Node* src = Find(from);
    if (!src) return TFileResult::Fail(TFileError::NotFound);
    if (!IsFolder(Parent(Key(to)))) return TFileResult::Fail(TFileError::PathNotFound);
    if (src->locked) return TFileResult::Fail(TFileError::InUse);
    if (Node* dst = Find(to)) {
      if (dst != src) return TFileResult::Fail(TFileError::Exists);
      if (caseOnlyRenameIsNoOp) return TFileResult::Ok();
      src->path = to;
      return TFileResult::Ok();
    }
    Node moved = *src;
    moved.path = to;
    m_nodes.erase(Key(from));
    m_nodes[Key(to)] = moved;
    return TFileResult::Ok();
  }
  TFileResult CopyNoOverwrite(const std::u16string& from, const std::u16string& to) override {
    if (Fault()) return Failure();
    Node* src = Find(from);
    if (!src) return TFileResult::Fail(TFileError::NotFound);
    if (src->locked) return TFileResult::Fail(TFileError::InUse);
    if (Find(to)) return TFileResult::Fail(TFileError::Exists);
    if (!CanCreateIn(Parent(Key(to)))) return TFileResult::Fail(TFileError::PathNotFound);
    Node copy = *src;
    copy.path = to;
    m_nodes[Key(to)] = copy;
    return TFileResult::Ok();
  }
  TFileResult CreateFolder(const std::u16string& path) override {
    if (Fault()) return Failure();
    if (Find(path)) return TFileResult::Fail(TFileError::Exists);
    if (!CanCreateIn(Parent(Key(path)))) return TFileResult::Fail(TFileError::PathNotFound);
    AddFolder(path);
    return TFileResult::Ok();
  }
  TFileResult SetAttributes(const std::u16string& path, uint32_t attributes) override {
    if (Fault()) return Failure();
    Node* n = Find(path);
    if (!n) return TFileResult::Fail(TFileError::NotFound);
    n->attributes = attributes;
    return TFileResult::Ok();
  }
  TFileResult SetDateTime(const std::u16string& path, const TCalendarTime& when, int mode) override {
    if (Fault()) return Failure();
    Node* n = Find(path);
    if (!n) return TFileResult::Fail(TFileError::NotFound);
    if (n->locked || path == refuseTimesAt) return TFileResult::Fail(TFileError::InUse);
    TCalendarTime t = when;
    const TCalendarTime file = *FileTimeToCalendar(n->modified);  // the fake's local time is UTC
    if (mode == 1) t.Hour = file.Hour, t.Minute = file.Minute, t.Second = file.Second, t.Millisecond = file.Millisecond;
    if (mode == 2) t.Year = file.Year, t.Month = file.Month, t.Day = file.Day;
    const auto ft = CalendarToFileTime(t);
    if (!ft || mode < 0 || mode > 2) return TFileResult::Fail(TFileError::Other);
    n->created = n->accessed = n->modified = *ft;
    return TFileResult::Ok();
  }
  TFileResult RestoreTimes(const std::u16string& path, int64_t created, int64_t accessed, int64_t modified) override {
    if (Fault()) return Failure();
    Node* n = Find(path);
    if (!n) return TFileResult::Fail(TFileError::NotFound);
    if (n->locked || path == refuseTimesAt) return TFileResult::Fail(TFileError::InUse);
    n->created = created, n->accessed = accessed, n->modified = modified;
    return TFileResult::Ok();
  }
  bool Exists(const std::u16string& path) override { return Find(path) != nullptr; }
  bool FolderExists(const std::u16string& path) override { return IsFolder(Key(path)); }
  std::optional<std::u16string> ExactName(const std::u16string& path) override {
    Node* n = Find(path);
    if (!n) return std::nullopt;
    return Name(n->path);
  }
  bool ListFolder(const std::u16string& folder,
                  const std::function<void(const std::u16string&, bool)>& onEntry) override {
    if (!IsFolder(Key(folder))) return false;
    const std::u16string k = Key(folder);
    for (const auto& [key, n] : m_nodes)
      if (Parent(key) == k && key != k) onEntry(Name(n.path), n.folder);
    return true;
  }

  class TOutput final : public IOutputFile {
  public:
    TOutput(TFakeDisk& disk, std::u16string path) : m_disk(disk), m_path(std::move(path)) {}
    TFileResult Write(const char* data, size_t size) override {
      ++writes;
      ++m_disk.writes;
      if (m_disk.Fault() || (m_disk.writeFailsFrom && m_disk.writes >= m_disk.writeFailsFrom))
        return TFileResult::Fail(TFileError::DiskFull);
      Node* n = m_disk.Find(m_path);
      if (!n) return TFileResult::Fail(TFileError::NotFound);
      n->content.append(data, size);
      return TFileResult::Ok();
    }
    TFileResult CutBack(size_t size) override {
      if (m_disk.Fault()) return TFileResult::Fail(TFileError::AccessDenied);
      Node* n = m_disk.Find(m_path);
      if (!n || n->content.size() < size) return TFileResult::Fail(TFileError::Other);
      n->content.resize(n->content.size() - size);
      return TFileResult::Ok();
    }
    TFileResult Close() override { return TFileResult::Ok(); }
    int writes = 0;

  private:
    TFakeDisk& m_disk;
    std::u16string m_path;
  };

  std::unique_ptr<IOutputFile> OpenForWriting(const std::u16string& path, TOpenMode mode,
                                              TFileResult& error) override {
    if (Fault()) {
      error = Failure();
      return nullptr;
    }
    Node* n = Find(path);
    if (n && n->folder) {
      error = TFileResult::Fail(TFileError::AccessDenied);
      return nullptr;
    }
    if (!n) {
      if (mode == TOpenMode::Append) {
        error = TFileResult::Fail(TFileError::NotFound);
        return nullptr;
      }
      if (!CanCreateIn(Parent(Key(path)))) {
        error = TFileResult::Fail(TFileError::AccessDenied);
        return nullptr;
      }
      AddFile(path, "");
      m_nodes[Key(path)].attributes = 0;
    } else if (mode == TOpenMode::Replace) {
      n->content.clear();
    }
    error = TFileResult::Ok();
    return std::make_unique<TOutput>(*this, path);
  }

  // ---- IFolderReader ----
  bool ReadFolder(const std::u16string& folder, const std::function<void(const TFolderEntry&)>& onEntry) override {
    const std::u16string k = Key(folder);
    if (!IsFolder(k)) return false;
    for (const auto& [key, n] : m_nodes) {
      if (Parent(key) != k || key == k) continue;
      TFolderEntry e;
      e.Name = Name(n.path);
      e.Attributes = n.folder ? kAttrDirectory : n.attributes;
      e.Size = n.content.size();
      e.Created = n.created, e.Accessed = n.accessed, e.Modified = n.modified;
      onEntry(e);
    }
    return true;
  }
  std::string TypeName(const std::u16string&) override { return "Fichier"; }

  bool Fault() {
    ++operations;
    if (failAt > 0 && (operations == failAt || (persistent && operations > failAt))) {
      ++injected;
      return true;
    }
    return false;
  }

private:
  static TFileResult Failure() { return TFileResult::Fail(TFileError::AccessDenied, 5); }
  static std::u16string Key(std::u16string_view path) {
    std::u16string k = FileNameKey(path);
    while (k.size() > 2 && k.back() == u'\\') k.pop_back();
    return k;
  }
  static std::u16string Parent(const std::u16string& key) {
    const size_t cut = key.rfind(u'\\');
    return cut == std::u16string::npos ? std::u16string() : key.substr(0, cut);
  }
  static std::u16string Name(const std::u16string& path) {
    const size_t cut = path.rfind(u'\\');
    return cut == std::u16string::npos ? path : path.substr(cut + 1);
  }
  bool IsFolder(const std::u16string& key) const {
    const auto it = m_nodes.find(key);
    return it != m_nodes.end() && it->second.folder;
  }
  bool CanCreateIn(const std::u16string& key) const {
    const auto it = m_nodes.find(key);
    return it != m_nodes.end() && it->second.folder && !it->second.noCreate;
  }

  std::map<std::u16string, Node> m_nodes;  // by case-insensitive key
};

// Records what a run shows; stops when asked to at the Nth poll.
class TRecordingDialog final : public IRunObserver {
public:
  struct Button {
    bool visible = false, enabled = false;
  };
  std::map<TRunButton, Button> buttons;
  std::map<THeaderField, std::string> header;
  std::string labelStatus, panelStatus, mainStatus;
  std::vector<std::string> labelHistory, mainHistory;
  int64_t rangeMin = 0, rangeMax = 0, position = 0;
  std::vector<int64_t> positions;
  bool reportControlsEnabled = true;
  std::vector<std::string> memo;
  bool memoEnabled = true, memoCleared = false, caretToStart = false;
  std::vector<std::string> information, errors;
  int stopAtPoll = 0;  // StopRequested answers yes from this poll on (0: never)
  int polls = 0, stopClears = 0, pumps = 0;
  std::function<void()> onPump;

  void SetProgressRange(int64_t min, int64_t max) override { rangeMin = min, rangeMax = max; }
  void SetProgressPosition(int64_t p) override {
    position = p;
    positions.push_back(p);
  }
  void SetLabelStatus(const std::string& t) override {
    labelStatus = t;
    labelHistory.push_back(t);
  }
  void SetPanelStatus(const std::string& t) override { panelStatus = t; }
  void SetMainStatus(const std::string& t) override {
    mainStatus = t;
    mainHistory.push_back(t);
  }
  void SetButton(TRunButton b, bool visible, bool enabled) override { buttons[b] = {visible, enabled}; }
  void SetReportControlsEnabled(bool e) override { reportControlsEnabled = e; }
  std::string HeaderText(THeaderField f) override { return header[f]; }
  void SetHeaderText(THeaderField f, const std::string& t) override { header[f] = t; }
  void ClearMemo() override {
    memo.clear();
    memoCleared = true;
  }
  void SetMemoEnabled(bool e) override { memoEnabled = e; }
  void AppendMemoLine(const std::string& line) override { memo.push_back(line); }
  void MemoCaretToStart() override { caretToStart = true; }
  bool StopRequested() override {
    ++polls;
    return stopAtPoll > 0 && polls >= stopAtPoll && stopClears == 0;
  }
  void ClearStopRequest() override { ++stopClears; }
  void ProcessMessages() override {
    ++pumps;
    if (onPump) onPump();
  }
  void ShowInformation(const std::string& t) override { information.push_back(t); }
  void ShowError(const std::string& t) override { errors.push_back(t); }
};

// Script values that give each old name the new name a test wants.
class TMappedNames final : public TScriptValues {
public:
  std::map<std::string, std::string> target;  // old full name -> new full name
  std::string Mp3Value(const TScriptFile& file, std::string_view key) override {
    const auto it = target.find(std::string(file.OldFullName));
    const std::string full = it == target.end() ? std::string(file.OldFullName) : it->second;
    // The whole target in the name part: the extension model adds nothing.
    return key == "n" ? full : std::string();
  }
};

// Each file gets its mapped name (TMappedNames): the name script asks the
// values for it, and nothing else is added. New dates 25/12/2006 14:30:00;
// the run's now 14/07/2024 10:05:30.
inline void UseMappedNames(TProgramOptions& options, TRunContext& ctx) {
  options.ScriptFile = true;
  options.NameFile = "<$M_n><G0>";  // <G0> ends the script: the old name is dropped
  options.NoneIndice = true;
  options.NoExtension = false;
  options.ScriptExtension = false;
  options.NameExtension = "";
  options.ReplaceChar = "";
  options.Date = "25/12/2006";
  options.Time = "14:30:00";
  ctx.Now = [] { return *EncodeDateTime(TCalendarTime{2024, 7, 14, 10, 5, 30, 0, 0}); };
}

// A listing of C:\Photos on the fake disk, with the runs wired to it.
struct TRunWorld {
  TRunWorld() {
    disk.AddFolder(kFolder);
    listing.SetFolderReader(&disk);
    UseMappedNames(options, ctx);
    dialog.header = {{THeaderField::Directory, "Photos"},
                     {THeaderField::NbFiles, "3 fichiers : filtre (*.*)"},
                     {THeaderField::Modele, "<$M_n>"},
                     {THeaderField::Date, "Non"},
                     {THeaderField::Time, "Non"},
                     {THeaderField::Attribut, "Non"}};
  }

  static constexpr char16_t kFolder[] = u"C:\\Photos";
  std::u16string P(std::string_view name) const { return JoinPath(kFolder, U(name)); }
  void File(std::string_view name, std::string content = {}, uint32_t attributes = kAttrArchive) {
    disk.AddFile(P(name), content.empty() ? "<" + std::string(name) + ">" : std::move(content), attributes);
  }
  void Map(std::string from, std::string to) { values.target[std::move(from)] = std::move(to); }
  size_t Scan(const char* masks = "*.*") { return listing.ScanFolderWide(kFolder, masks, kScanAttributes); }
  std::map<std::u16string, std::string> Files() const { return disk.Files(kFolder); }

  // Opens C:\Rapports\Photos.txt on the fake disk.
  std::unique_ptr<TReportWriter> OpenTestReport(TOpenMode mode = TOpenMode::Replace) {
    TReportOpenResult r = OpenReport(disk, "C:\\Rapports", "Photos.txt", mode);
    EXPECT_EQ(r.Status, TReportOpen::Ok);
    return std::move(r.Writer);
  }
  std::string ReportText() { return disk.Content(u"C:\\Rapports\\Photos.txt"); }
  // The report's lines, without their CR LF.
  std::vector<std::string> ReportLines() {
    std::vector<std::string> lines;
    const std::string text = ReportText();
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
      lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
  }

  TFakeDisk disk;
  TFileListing listing;
  TProgramOptions options;
  TMappedNames values;
  TScriptInterpreter interpreter{options, listing, &values};
  TNameBuilder names{options, interpreter};
  TRunContext ctx{listing, options, names, disk};
  TRecordingDialog dialog;
};

class TRunFixture : public ::testing::Test, public TRunWorld {};

}  // namespace qv::engine::testing
