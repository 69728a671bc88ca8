// The settings store the engine's options and history lists are read from
// and written to: per key path (under the user's root) and value name.
// Reads never create keys and give the caller's default when the key or
// value is missing or of another type; writes create the key and answer
// false on failure; nothing throws. The registry adapter lives in
// app/RegistrySettingsStore.h; tests use TMemorySettingsStore.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace qv::engine {

class ISettingsStore {
public:
  virtual ~ISettingsStore() = default;
  // Types: string (REG_SZ), integer (REG_DWORD), flag (REG_DWORD 0/1,
  // true when not 0), float (8 bytes of REG_BINARY holding a double).
  virtual std::string ReadString(const std::string& key, const std::string& name, const std::string& def) = 0;
  virtual int32_t ReadInteger(const std::string& key, const std::string& name, int32_t def) = 0;
  virtual bool ReadBool(const std::string& key, const std::string& name, bool def) = 0;
  virtual double ReadFloat(const std::string& key, const std::string& name, double def) = 0;
  virtual bool ValueExists(const std::string& key, const std::string& name) = 0;
  virtual bool KeyExists(const std::string& key) = 0;
  // Names of the key's values in the store's own order (empty when none).
  virtual std::vector<std::string> ValueNames(const std::string& key) = 0;

  virtual bool WriteString(const std::string& key, const std::string& name, const std::string& value) = 0;
  virtual bool WriteInteger(const std::string& key, const std::string& name, int32_t value) = 0;
  virtual bool WriteBool(const std::string& key, const std::string& name, bool value) = 0;
  virtual bool WriteFloat(const std::string& key, const std::string& name, double value) = 0;
  // Creates the key without a value (an empty list is still a key).
  virtual bool CreateKey(const std::string& key) = 0;
  virtual bool DeleteValue(const std::string& key, const std::string& name) = 0;
  // Removes the key and all its subkeys; true also when it did not exist.
  virtual bool DeleteKey(const std::string& key) = 0;
};

// In-memory store with the same typing rules (tests, and a neutral store
// when no registry is wanted). Raw values of any type can be planted.
class TMemorySettingsStore final : public ISettingsStore {
public:
  struct Binary {
    std::string Bytes;
  };
  using Value = std::variant<std::string, uint32_t, Binary>;

  std::string ReadString(const std::string& key, const std::string& name, const std::string& def) override;
  int32_t ReadInteger(const std::string& key, const std::string& name, int32_t def) override;
  bool ReadBool(const std::string& key, const std::string& name, bool def) override;
  double ReadFloat(const std::string& key, const std::string& name, double def) override;
  bool ValueExists(const std::string& key, const std::string& name) override;
  bool KeyExists(const std::string& key) override;
  std::vector<std::string> ValueNames(const std::string& key) override;
  bool WriteString(const std::string& key, const std::string& name, const std::string& value) override;
  bool WriteInteger(const std::string& key, const std::string& name, int32_t value) override;
  bool WriteBool(const std::string& key, const std::string& name, bool value) override;
  bool WriteFloat(const std::string& key, const std::string& name, double value) override;
  bool CreateKey(const std::string& key) override;
  bool DeleteValue(const std::string& key, const std::string& name) override;
  bool DeleteKey(const std::string& key) override;

  void Plant(const std::string& key, const std::string& name, Value v);
  const Value* Find(const std::string& key, const std::string& name) const;
  std::vector<std::string> Keys() const;
  // Every write fails while set (fault injection).
  bool FailWrites = false;

private:
  // Key paths compared case-insensitively, as the registry does.
  static std::string Fold(const std::string& s);
  std::map<std::string, std::map<std::string, Value>> m_keys;
};

}  // namespace qv::engine
