// Registry helper over advapi32 (ANSI calls: values are cp1252 text).
#include "framework/Registry.h"

#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace qv::fw::Registry {

namespace {

// Owns an open key for the length of one access.
class Key {
public:
  Key(const std::string& path, bool write) {
    LONG rc;
    if (write) {
      rc = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_READ | KEY_WRITE, nullptr, &m_key, nullptr);
    } else {
      rc = RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &m_key);
    }
    if (rc != ERROR_SUCCESS) m_key = nullptr;
  }
  ~Key() {
    if (m_key) RegCloseKey(m_key);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  explicit operator bool() const { return m_key != nullptr; }
  HKEY get() const { return m_key; }

private:
  HKEY m_key = nullptr;
};

struct RawValue {
  DWORD type = REG_NONE;
  std::string bytes;
};

std::optional<RawValue> readRaw(const std::string& key, const std::string& name) {
  Key k(key, false);
  if (!k) return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(k.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return std::nullopt;
  RawValue v;
  v.type = type;
  v.bytes.resize(size);
  if (size && RegQueryValueExA(k.get(), name.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(v.bytes.data()), &size) != ERROR_SUCCESS)
    return std::nullopt;
  v.bytes.resize(size);
  return v;
}

std::string asText(const RawValue& v) {
  std::string s = v.bytes;
  const auto nul = s.find('\0');
  if (nul != std::string::npos) s.resize(nul);
  return s;
}

std::optional<int64_t> parseInteger(const std::string& s) {
  if (s.empty()) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const long long n = std::strtoll(s.c_str(), &end, 10);
  if (errno != 0 || end == s.c_str() || *end != '\0') return std::nullopt;
  return n;
}

}  // namespace

std::optional<std::string> ReadString(const std::string& key, const std::string& name) {
  const auto v = readRaw(key, name);
  if (!v || (v->type != REG_SZ && v->type != REG_EXPAND_SZ)) return std::nullopt;
  return asText(*v);
}

std::string ReadString(const std::string& key, const std::string& name, const std::string& def) {
  return ReadString(key, name).value_or(def);
}

int64_t ReadInteger(const std::string& key, const std::string& name, int64_t def) {
  const auto v = readRaw(key, name);
  if (!v) return def;
  if (v->type == REG_DWORD && v->bytes.size() == 4) {
    DWORD d;
    std::memcpy(&d, v->bytes.data(), 4);
    return static_cast<int32_t>(d);
  }
  if (v->type == REG_SZ) return parseInteger(asText(*v)).value_or(def);
  return def;
}

bool ReadBool(const std::string& key, const std::string& name, bool def) {
  const auto v = readRaw(key, name);
  if (!v) return def;
  if (v->type == REG_DWORD && v->bytes.size() == 4) {
    DWORD d;
    std::memcpy(&d, v->bytes.data(), 4);
    return d != 0;
  }
  if (v->type == REG_BINARY && !v->bytes.empty()) return v->bytes[0] != 0;
  if (v->type == REG_SZ) {
    const std::string s = asText(*v);
    if (s == "1" || _stricmp(s.c_str(), "True") == 0) return true;
    if (s == "0" || _stricmp(s.c_str(), "False") == 0) return false;
  }
  return def;
}

std::optional<std::string> ReadBinary(const std::string& key, const std::string& name) {
  const auto v = readRaw(key, name);
  if (!v || v->type != REG_BINARY) return std::nullopt;
  return v->bytes;
}

bool ValueExists(const std::string& key, const std::string& name) {
  Key k(key, false);
  return k && RegQueryValueExA(k.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool KeyExists(const std::string& key) { return static_cast<bool>(Key(key, false)); }

std::vector<std::string> ValueNames(const std::string& key) {
  std::vector<std::string> names;
  Key k(key, false);
  if (!k) return names;
  for (DWORD i = 0;; ++i) {
    char buf[16384];
    DWORD len = sizeof buf;
    if (RegEnumValueA(k.get(), i, buf, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(buf, len);
  }
  return names;
}

std::vector<std::string> SubKeyNames(const std::string& key) {
  std::vector<std::string> names;
  Key k(key, false);
  if (!k) return names;
  for (DWORD i = 0;; ++i) {
    char buf[256];  // key names are at most 255 characters
    DWORD len = sizeof buf;
    if (RegEnumKeyExA(k.get(), i, buf, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(buf, len);
  }
  return names;
}

bool WriteString(const std::string& key, const std::string& name, const std::string& value) {
  Key k(key, true);
  return k && RegSetValueExA(k.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool WriteInteger(const std::string& key, const std::string& name, uint32_t value) {
  Key k(key, true);
  const DWORD d = value;
  return k && RegSetValueExA(k.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&d), 4) ==
                  ERROR_SUCCESS;
}

bool WriteBool(const std::string& key, const std::string& name, bool value) {
  return WriteInteger(key, name, value ? 1 : 0);
}

bool WriteBinary(const std::string& key, const std::string& name, const std::string& bytes) {
  Key k(key, true);
  return k && RegSetValueExA(k.get(), name.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool DeleteValue(const std::string& key, const std::string& name) {
  Key k(key, true);
  return k && RegDeleteValueA(k.get(), name.c_str()) == ERROR_SUCCESS;
}

bool CreateKey(const std::string& key) { return static_cast<bool>(Key(key, true)); }

bool DeleteKey(const std::string& key) {
  return RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str()) == ERROR_SUCCESS;
}

}  // namespace qv::fw::Registry
