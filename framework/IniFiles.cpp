// INI files and the registry seen as INI.
#include "framework/IniFiles.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "framework/Registry.h"
#include "framework/Streams.h"

namespace qv::fw {

namespace {

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return {};
  const size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

unsigned char Fold(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<unsigned char>(c - 32);
  return c;
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// The name of a "name=value" line, or "" for comments and other lines.
std::string KeyName(const std::string& line) {
  const std::string t = Trim(line);
  if (t.empty() || t[0] == ';') return {};
  const size_t eq = t.find('=');
  return eq == std::string::npos ? std::string() : Trim(t.substr(0, eq));
}

}  // namespace

// --- TCustomIniFile

bool TCustomIniFile::ValueExists(const std::string& section, const std::string& ident) {
  for (const auto& name : ReadSection(section))
    if (SameText(name, ident)) return true;
  return false;
}

int TCustomIniFile::ReadInteger(const std::string& section, const std::string& ident, int def) {
  const std::string t = Trim(ReadString(section, ident, ""));
  if (t.empty()) return def;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(t.c_str(), &end, 10);
  if (errno != 0 || end == t.c_str() || *end != '\0' || v < INT_MIN || v > INT_MAX) return def;
  return static_cast<int>(v);
}

bool TCustomIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
  return WriteString(section, ident, std::to_string(value));
}

bool TCustomIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

bool TCustomIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
  return WriteString(section, ident, value ? "1" : "0");
}

// --- TIniFile

TIniFile::TIniFile(std::wstring path) : m_path(std::move(path)) {}

void TIniFile::Refresh() {
  WIN32_FILE_ATTRIBUTE_DATA fa{};
  uint64_t stamp = 0, size = 0;
  if (GetFileAttributesExW(m_path.c_str(), GetFileExInfoStandard, &fa)) {
    stamp = (static_cast<uint64_t>(fa.ftLastWriteTime.dwHighDateTime) << 32) | fa.ftLastWriteTime.dwLowDateTime;
    size = (static_cast<uint64_t>(fa.nFileSizeHigh) << 32) | fa.nFileSizeLow;
    if (stamp == 0) stamp = 1;  // 0 stands for "missing"
  }
  if (m_read && stamp == m_stamp && size == m_size) return;
  m_read = true;
  m_stamp = stamp;
  m_size = size;
  m_preamble.clear();
  m_sections.clear();
  TMemoryStream m;
  if (stamp == 0 || !m.LoadFromFile(m_path)) return;
  const std::string& text = m.Bytes();
  std::vector<std::string>* target = &m_preamble;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + ((end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    const std::string t = Trim(line);
    const size_t close = t.find(']');
    if (!t.empty() && t[0] == '[' && close != std::string::npos) {
      m_sections.push_back(TSection{Trim(t.substr(1, close - 1)), {}});
      target = &m_sections.back().Lines;
    } else {
      target->push_back(line);
    }
  }
}

bool TIniFile::Save() {
  std::string text;
  for (const auto& l : m_preamble) text += l + "\r\n";
  for (const auto& s : m_sections) {
    text += "[" + s.Name + "]\r\n";
    for (const auto& l : s.Lines) text += l + "\r\n";
  }
  // A crash or a full disk while writing must not leave half a file.
  const std::wstring temp = m_path + L".qvtmp";
  {
    TFileStream f;
    if (!f.Open(temp, TFileMode::Create)) return false;
    if (!f.WriteText(text) || !f.Flush()) {
      f.Close();
      DeleteFileW(temp.c_str());
      return false;
    }
  }
  if (!MoveFileExW(temp.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temp.c_str());
    return false;
  }
  m_read = false;
  Refresh();  // takes the new stamp (and reads back what was written)
  return true;
}

TIniFile::TSection* TIniFile::FindSection(const std::string& name) {
  for (auto& s : m_sections)
    if (SameText(s.Name, name)) return &s;
  return nullptr;
}

int TIniFile::FindKey(const TSection& s, const std::string& ident) {
  for (size_t i = 0; i < s.Lines.size(); ++i)
    if (SameText(KeyName(s.Lines[i]), ident)) return static_cast<int>(i);
  return -1;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& def) {
  Refresh();
  const std::string name = Trim(ident);
  const TSection* s = FindSection(Trim(section));
  if (!s || name.empty()) return def;
  const int i = FindKey(*s, name);
  if (i < 0) return def;
  const std::string& line = s->Lines[static_cast<size_t>(i)];
  std::string v = Trim(line.substr(line.find('=') + 1));
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
  return v;
}

bool TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  const std::string sec = Trim(section), name = Trim(ident);
  if (sec.empty() || name.empty() || sec.find(']') != std::string::npos || name.find('=') != std::string::npos ||
      name[0] == ';' || name[0] == '[' || HasLineBreak(sec) || HasLineBreak(name) || HasLineBreak(value))
    return false;
  Refresh();
  const auto savedPreamble = m_preamble;
  const auto savedSections = m_sections;
  TSection* s = FindSection(sec);
  if (!s) {
    if (!m_sections.empty() || !m_preamble.empty()) {
      auto& last = m_sections.empty() ? m_preamble : m_sections.back().Lines;
      if (last.empty() || !Trim(last.back()).empty()) last.push_back("");
    }
    m_sections.push_back(TSection{sec, {}});
    s = &m_sections.back();
  }
  const std::string line = name + "=" + value;
  const int i = FindKey(*s, name);
  if (i >= 0) {
    s->Lines[static_cast<size_t>(i)] = line;
  } else {
    // After the section's last non-blank line, so blank separators stay last.
    size_t at = s->Lines.size();
    while (at > 0 && Trim(s->Lines[at - 1]).empty()) --at;
    s->Lines.insert(s->Lines.begin() + static_cast<long>(at), line);
  }
  if (Save()) return true;
  m_preamble = savedPreamble;
  m_sections = savedSections;
  return false;
}

std::vector<std::string> TIniFile::ReadSection(const std::string& section) {
  Refresh();
  std::vector<std::string> names;
  if (const TSection* s = FindSection(Trim(section)))
    for (const auto& l : s->Lines)
      if (std::string n = KeyName(l); !n.empty()) names.push_back(n);
  return names;
}

std::vector<std::string> TIniFile::ReadSections() {
  Refresh();
  std::vector<std::string> names;
  for (const auto& s : m_sections) {
    bool seen = false;
    for (const auto& n : names) seen = seen || SameText(n, s.Name);
    if (!seen) names.push_back(s.Name);
  }
  return names;
}

bool TIniFile::EraseSection(const std::string& section) {
  Refresh();
  const std::string sec = Trim(section);
  const auto saved = m_sections;
  const size_t before = m_sections.size();
  std::erase_if(m_sections, [&](const TSection& s) { return SameText(s.Name, sec); });
  if (m_sections.size() == before) return true;
  if (Save()) return true;
  m_sections = saved;
  return false;
}

bool TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  Refresh();
  TSection* s = FindSection(Trim(section));
  const int i = s ? FindKey(*s, Trim(ident)) : -1;
  if (i < 0) return true;
  const auto saved = m_sections;
  s->Lines.erase(s->Lines.begin() + i);
  if (Save()) return true;
  m_sections = saved;
  return false;
}

// --- TRegistryIniFile

std::string TRegistryIniFile::KeyOf(const std::string& section) const {
  return section.empty() ? m_base : m_base + "\\" + section;
}

std::string TRegistryIniFile::ReadString(const std::string& section, const std::string& ident,
                                         const std::string& def) {
  const std::string key = KeyOf(section);
  if (auto s = Registry::ReadString(key, ident)) return *s;
  // DWORDs written by other tools read as their number; a REG_SZ was
  // taken above, so only REG_DWORD answers here.
  const int64_t kNone = INT64_MIN;
  const int64_t n = Registry::ReadInteger(key, ident, kNone);
  return n == kNone ? def : std::to_string(n);
}

bool TRegistryIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  return Registry::WriteString(KeyOf(section), ident, value);
}

std::vector<std::string> TRegistryIniFile::ReadSection(const std::string& section) {
  std::vector<std::string> names = Registry::ValueNames(KeyOf(section));
  std::erase(names, std::string());  // the key's unnamed default value
  return names;
}

std::vector<std::string> TRegistryIniFile::ReadSections() { return Registry::SubKeyNames(m_base); }

bool TRegistryIniFile::EraseSection(const std::string& section) {
  if (!Registry::KeyExists(KeyOf(section))) return true;
  return Registry::DeleteKey(KeyOf(section));
}

bool TRegistryIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  if (!Registry::ValueExists(KeyOf(section), ident)) return true;
  return Registry::DeleteValue(KeyOf(section), ident);
}

bool TRegistryIniFile::ValueExists(const std::string& section, const std::string& ident) {
  return Registry::ValueExists(KeyOf(section), ident);
}

}  // namespace qv::fw
