// Registry adapter of the engine's settings store; see RegistrySettingsStore.h.
#include "app/RegistrySettingsStore.h"

#include <cstring>

#include "framework/Registry.h"

namespace qv::app {

namespace Reg = qv::fw::Registry;

namespace {
// The helper also reads numbers and flags from text or binary values; the
// options keep to their own types, so those read as the default here.
bool IsTextOrBinary(const std::string& key, const std::string& name) {
  return Reg::ReadString(key, name).has_value() || Reg::ReadBinary(key, name).has_value();
}
}  // namespace

std::string TRegistrySettingsStore::ReadString(const std::string& key, const std::string& name,
                                               const std::string& def) {
  return Reg::ReadString(key, name, def);
}

int32_t TRegistrySettingsStore::ReadInteger(const std::string& key, const std::string& name, int32_t def) {
  if (IsTextOrBinary(key, name)) return def;
  return static_cast<int32_t>(Reg::ReadInteger(key, name, def));
}

bool TRegistrySettingsStore::ReadBool(const std::string& key, const std::string& name, bool def) {
  if (IsTextOrBinary(key, name)) return def;
  return Reg::ReadBool(key, name, def);
}

double TRegistrySettingsStore::ReadFloat(const std::string& key, const std::string& name, double def) {
  const auto bytes = Reg::ReadBinary(key, name);
  if (!bytes || bytes->size() != sizeof(double)) return def;
  double d;
  std::memcpy(&d, bytes->data(), sizeof d);
  return d;
}

bool TRegistrySettingsStore::ValueExists(const std::string& key, const std::string& name) {
  return Reg::ValueExists(key, name);
}

bool TRegistrySettingsStore::KeyExists(const std::string& key) { return Reg::KeyExists(key); }

std::vector<std::string> TRegistrySettingsStore::ValueNames(const std::string& key) { return Reg::ValueNames(key); }

bool TRegistrySettingsStore::WriteString(const std::string& key, const std::string& name, const std::string& value) {
  return Reg::WriteString(key, name, value);
}

bool TRegistrySettingsStore::WriteInteger(const std::string& key, const std::string& name, int32_t value) {
  return Reg::WriteInteger(key, name, static_cast<uint32_t>(value));
}

bool TRegistrySettingsStore::WriteBool(const std::string& key, const std::string& name, bool value) {
  return Reg::WriteBool(key, name, value);
}

bool TRegistrySettingsStore::WriteFloat(const std::string& key, const std::string& name, double value) {
  std::string bytes(sizeof value, '\0');
  std::memcpy(bytes.data(), &value, sizeof value);
  return Reg::WriteBinary(key, name, bytes);
}

bool TRegistrySettingsStore::CreateKey(const std::string& key) { return Reg::CreateKey(key); }

bool TRegistrySettingsStore::DeleteValue(const std::string& key, const std::string& name) {
  return Reg::DeleteValue(key, name);
}

bool TRegistrySettingsStore::DeleteKey(const std::string& key) {
  // Deleting a key that is not there is no failure.
  return !Reg::KeyExists(key) || Reg::DeleteKey(key);
}

}  // namespace qv::app
