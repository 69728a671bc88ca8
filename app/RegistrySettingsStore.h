// The engine's settings store over the program's registry helper (under
// HKEY_CURRENT_USER). Values keep strictly to their types: an integer or
// flag stored as text, or a float that is not 8 bytes, reads as the
// default. Tested by tests/engine/win32/RegistrySettingsStore_test.cpp.
#pragma once

#include "engine/SettingsStore.h"

namespace qv::app {

class TRegistrySettingsStore final : public engine::ISettingsStore {
public:
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
};

}  // namespace qv::app
