// Folder spellings on disk; see DiskSpelling.h.
#include "engine/win32/DiskSpelling.h"

#include <windows.h>

#include <mutex>
#include <utility>
#include <vector>

#include "engine/win32/WideText.h"

namespace qv::engine::win32 {

namespace {

constexpr size_t npos = std::u16string::npos;

// Few folders are in use at a time: the scanned one, its "Backup", the
// report folder. The most recent comes first.
constexpr size_t kRemembered = 8;
std::mutex g_lock;
std::vector<std::pair<std::u16string, std::u16string>> g_spellings;

bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// Length of the part kept as given: "c:\", "\\server\share\", and the same
// behind "\\?\" or "\\?\UNC\". npos for relative and unknown forms.
size_t RootLength(const std::u16string& p) {
  size_t at = 0;
  bool unc = false;
  if (p.rfind(u"\\\\?\\UNC\\", 0) == 0) {
    at = 8;
    unc = true;
  } else if (p.rfind(u"\\\\?\\", 0) == 0) {
    at = 4;
  } else if (p.rfind(u"\\\\", 0) == 0) {
    at = 2;
    unc = true;
  }
  if (unc) {
    const size_t server = p.find(u'\\', at);
    if (server == npos || server == at) return npos;
    const size_t share = p.find(u'\\', server + 1);
    if (share == npos || share == server + 1) return npos;
    return share + 1;
  }
  if (p.size() > at + 2 && IsLetter(p[at]) && p[at + 1] == u':' && p[at + 2] == u'\\') return at + 3;
  return npos;
}

enum class TEntry { Respelled, Kept, Missing };

// The disk's spelling of one entry of a folder (disk ends with "\"). Only a
// difference in letter case is taken: an entry found under another name (a
// short 8.3 name) is kept as given.
TEntry EntrySpelling(const std::u16string& disk, std::u16string& name) {
  if (name.empty() || name == u"." || name == u"..") return TEntry::Missing;
  const std::optional<std::u16string> entry = EntryName(disk + name);
  if (!entry) return TEntry::Missing;
  const std::u16string& found = *entry;
  if (found.size() != name.size() ||
      CompareStringOrdinal(W(found), static_cast<int>(found.size()), W(name), static_cast<int>(name.size()), TRUE) !=
          CSTR_EQUAL)
    return TEntry::Kept;
  name = found;
  return TEntry::Respelled;
}

// Every component of folder in the disk's spelling; complete is false when
// one is missing (the rest is kept as given and not remembered).
std::u16string Resolve(const std::u16string& folder, bool& complete) {
  complete = false;
  const size_t root = RootLength(folder);
  if (root == npos) return folder;
  std::u16string out = folder.substr(0, root);
  size_t at = root;
  while (at < folder.size()) {
    size_t end = folder.find(u'\\', at);
    if (end == npos) end = folder.size();
    std::u16string name = folder.substr(at, end - at);
    if (EntrySpelling(out, name) == TEntry::Missing) return out + folder.substr(at);
    out += name;
    if (end < folder.size()) out += u'\\';
    at = end + 1;
  }
  complete = true;
  return out;
}

std::u16string Spelling(const std::u16string& folder) {
  {
    std::lock_guard<std::mutex> hold(g_lock);
    for (size_t i = 0; i < g_spellings.size(); ++i) {
      if (g_spellings[i].first != folder) continue;
      if (i > 0) std::swap(g_spellings[i], g_spellings[0]);
      return g_spellings[0].second;
    }
  }
  bool complete = false;
  std::u16string disk = Resolve(folder, complete);
  if (complete) {
    std::lock_guard<std::mutex> hold(g_lock);
    if (g_spellings.size() >= kRemembered) g_spellings.pop_back();
    g_spellings.insert(g_spellings.begin(), {folder, disk});
  }
  return disk;
}

}  // namespace

std::u16string DiskFolder(const std::u16string& folder) {
  if (folder.empty()) return folder;
  return Spelling(folder);
}

std::u16string DiskPath(const std::u16string& path) {
  const size_t slash = path.rfind(u'\\');
  if (slash == npos || slash == 0) return path;
  const size_t root = RootLength(path);
  if (root == npos || slash < root) return path;
  // The folder keeps its trailing "\" when it is a root ("c:\").
  const size_t cut = slash + 1 == root ? root : slash;
  return Spelling(path.substr(0, cut)) + path.substr(cut);
}

std::optional<std::u16string> EntryName(const std::u16string& path) {
  // The "?" of a "\\?\" prefix is no wildcard.
  const size_t from = path.rfind(u"\\\\?\\", 0) == 0 ? 4 : 0;
  if (path.find_first_of(u"*?", from) != npos) return std::nullopt;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileExW(W(path), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr, 0);
  if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER) h = FindFirstFileW(W(path), &fd);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(h);
  return U16(fd.cFileName);
}

void ForgetDiskSpellings() {
  std::lock_guard<std::mutex> hold(g_lock);
  g_spellings.clear();
}

}  // namespace qv::engine::win32
