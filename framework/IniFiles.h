// INI-style storage of string values by section and name: TIniFile (a text
// file named by its UTF-16 path) and TRegistryIniFile (sections are
// subkeys of a base key under HKEY_CURRENT_USER, values REG_SZ strings,
// through the registry helper: reads never create keys). Integers are
// stored as decimal text, booleans as "1"/"0". No call throws; a failed
// write returns false. Not thread-safe.
// Example:  TRegistryIniFile ini("Software\\Halbrecht\\Quorvant Pro");
//           ini.WriteInteger("Sort", "SortCol", 2);
// Tested by tests/framework/IniFiles_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv::fw {

class TCustomIniFile {
public:
  TCustomIniFile() = default;
  virtual ~TCustomIniFile() = default;
  TCustomIniFile(const TCustomIniFile&) = delete;
  TCustomIniFile& operator=(const TCustomIniFile&) = delete;

  // --- Overridable primitives
  virtual std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) = 0;
  virtual bool WriteString(const std::string& section, const std::string& ident, const std::string& value) = 0;
  // Value names of a section, and the sections, in storage order.
  virtual std::vector<std::string> ReadSection(const std::string& section) = 0;
  virtual std::vector<std::string> ReadSections() = 0;
  virtual bool EraseSection(const std::string& section) = 0;
  virtual bool DeleteKey(const std::string& section, const std::string& ident) = 0;
  // A section exists when it holds at least one value.
  virtual bool SectionExists(const std::string& section) { return !ReadSection(section).empty(); }
  virtual bool ValueExists(const std::string& section, const std::string& ident);

  // --- Typed values over the strings
  // A decimal integer (blanks around it allowed); anything else, or a
  // number outside the int range, gives def.
  int ReadInteger(const std::string& section, const std::string& ident, int def);
  bool WriteInteger(const std::string& section, const std::string& ident, int value);
  // Read as an integer: non-zero is true.
  bool ReadBool(const std::string& section, const std::string& ident, bool def);
  bool WriteBool(const std::string& section, const std::string& ident, bool value);
};

// A Windows-style INI file: "[section]" lines, "name=value" lines, names and
// sections matched without regard to case, blanks around names and values
// dropped, one pair of matching quotes around a value removed on reading.
// Comments and unknown lines are kept. The file is read again when it
// changed on disk and written back (through a temporary file replacing it)
// after each change. Names holding "=", sections holding "]" and any text
// holding a line break are refused.
class TIniFile : public TCustomIniFile {
public:
  explicit TIniFile(std::wstring path);
  const std::wstring& Path() const { return m_path; }

  std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) override;
  bool WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
  std::vector<std::string> ReadSection(const std::string& section) override;
  std::vector<std::string> ReadSections() override;
  bool EraseSection(const std::string& section) override;
  bool DeleteKey(const std::string& section, const std::string& ident) override;

private:
  struct TSection {
    std::string Name;                // as written in the file
    std::vector<std::string> Lines;  // raw lines after the header
  };
  void Refresh();
  bool Save();
  TSection* FindSection(const std::string& name);
  // Index of the line holding ident in s, or -1.
  static int FindKey(const TSection& s, const std::string& ident);

  std::wstring m_path;
  std::vector<std::string> m_preamble;  // lines before the first section
  std::vector<TSection> m_sections;
  bool m_read = false;  // the stamp below describes what was read
  uint64_t m_stamp = 0;  // last write time, 0 for a missing file
  uint64_t m_size = 0;
};

// Sections are subkeys of baseKey ("" is the base key itself); a value of
// another type is read as its decimal text when it is a DWORD, else as
// missing.
class TRegistryIniFile : public TCustomIniFile {
public:
  explicit TRegistryIniFile(std::string baseKey) : m_base(std::move(baseKey)) {}
  const std::string& BaseKey() const { return m_base; }

  std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) override;
  bool WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
  std::vector<std::string> ReadSection(const std::string& section) override;
  std::vector<std::string> ReadSections() override;
  bool EraseSection(const std::string& section) override;
  bool DeleteKey(const std::string& section, const std::string& ident) override;
  bool ValueExists(const std::string& section, const std::string& ident) override;

private:
  std::string KeyOf(const std::string& section) const;
  std::string m_base;
};

}  // namespace qv::fw
