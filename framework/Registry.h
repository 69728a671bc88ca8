// The one registry helper of the program: every access opens its key under
// HKEY_CURRENT_USER, reads never create keys, a missing key or value (or one
// of the wrong type) gives the caller's default, and no error escapes.
// Values are 8-bit strings (cp1252) or DWORDs. Tested by
// tests/framework/Registry_test.cpp.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv::fw {

namespace Registry {

// Reads. A key path is relative to HKEY_CURRENT_USER ("Software\\...").
std::optional<std::string> ReadString(const std::string& key, const std::string& name);
std::string ReadString(const std::string& key, const std::string& name, const std::string& def);
// Integers are read from REG_DWORD, or from a REG_SZ holding a decimal number.
int64_t ReadInteger(const std::string& key, const std::string& name, int64_t def);
// Booleans are read from REG_DWORD (non-zero), REG_BINARY (first byte) or
// REG_SZ ("1"/"0", "True"/"False").
bool ReadBool(const std::string& key, const std::string& name, bool def);
// Raw bytes of a REG_BINARY value (8-byte dates among them).
std::optional<std::string> ReadBinary(const std::string& key, const std::string& name);
bool ValueExists(const std::string& key, const std::string& name);
bool KeyExists(const std::string& key);
std::vector<std::string> ValueNames(const std::string& key);
// Names of the key's direct subkeys (empty when the key is missing).
std::vector<std::string> SubKeyNames(const std::string& key);

// Writes create the key when needed; false on any failure.
bool WriteString(const std::string& key, const std::string& name, const std::string& value);
bool WriteInteger(const std::string& key, const std::string& name, uint32_t value);
// Flags are REG_DWORD 0 or 1.
bool WriteBool(const std::string& key, const std::string& name, bool value);
bool WriteBinary(const std::string& key, const std::string& name, const std::string& bytes);
bool DeleteValue(const std::string& key, const std::string& name);
// Creates the key (and its parents) when missing; true when it exists after.
bool CreateKey(const std::string& key);
// Removes a key and everything under it.
bool DeleteKey(const std::string& key);

}  // namespace Registry

}  // namespace qv::fw
