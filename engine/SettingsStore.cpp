// In-memory settings store; see SettingsStore.h.
#include "engine/SettingsStore.h"

#include <cstring>

#include "engine/TextUtils.h"

namespace qv::engine {

std::string TMemorySettingsStore::Fold(const std::string& s) { return AnsiLowerCase(s); }

const TMemorySettingsStore::Value* TMemorySettingsStore::Find(const std::string& key, const std::string& name) const {
  const auto k = m_keys.find(Fold(key));
  if (k == m_keys.end()) return nullptr;
  const auto v = k->second.find(Fold(name));
  return v == k->second.end() ? nullptr : &v->second;
}

std::string TMemorySettingsStore::ReadString(const std::string& key, const std::string& name, const std::string& def) {
  const Value* v = Find(key, name);
  const auto* s = v ? std::get_if<std::string>(v) : nullptr;
  return s ? *s : def;
}

int32_t TMemorySettingsStore::ReadInteger(const std::string& key, const std::string& name, int32_t def) {
  const Value* v = Find(key, name);
  const auto* d = v ? std::get_if<uint32_t>(v) : nullptr;
  return d ? static_cast<int32_t>(*d) : def;
}

bool TMemorySettingsStore::ReadBool(const std::string& key, const std::string& name, bool def) {
  const Value* v = Find(key, name);
  const auto* d = v ? std::get_if<uint32_t>(v) : nullptr;
  return d ? *d != 0 : def;
}

double TMemorySettingsStore::ReadFloat(const std::string& key, const std::string& name, double def) {
  const Value* v = Find(key, name);
  const auto* b = v ? std::get_if<Binary>(v) : nullptr;
  if (!b || b->Bytes.size() != sizeof(double)) return def;
  double d;
  std::memcpy(&d, b->Bytes.data(), sizeof d);
  return d;
}

bool TMemorySettingsStore::ValueExists(const std::string& key, const std::string& name) {
  return Find(key, name) != nullptr;
}

bool TMemorySettingsStore::KeyExists(const std::string& key) { return m_keys.count(Fold(key)) != 0; }

std::vector<std::string> TMemorySettingsStore::ValueNames(const std::string& key) {
  std::vector<std::string> names;
  const auto k = m_keys.find(Fold(key));
  if (k != m_keys.end())
    for (const auto& [name, value] : k->second) names.push_back(name);  // sorted by name, as Wine does
  return names;
}

void TMemorySettingsStore::Plant(const std::string& key, const std::string& name, Value v) {
  // Parent keys exist whenever a subkey does.
  const std::string folded = Fold(key);
  for (size_t p = folded.find('\\'); p != std::string::npos; p = folded.find('\\', p + 1))
    m_keys[folded.substr(0, p)];
  m_keys[folded][Fold(name)] = std::move(v);
}

bool TMemorySettingsStore::WriteString(const std::string& key, const std::string& name, const std::string& value) {
  if (FailWrites) return false;
  Plant(key, name, value);
  return true;
}

bool TMemorySettingsStore::WriteInteger(const std::string& key, const std::string& name, int32_t value) {
  if (FailWrites) return false;
  Plant(key, name, static_cast<uint32_t>(value));
  return true;
}

bool TMemorySettingsStore::WriteBool(const std::string& key, const std::string& name, bool value) {
  return WriteInteger(key, name, value ? 1 : 0);
}

bool TMemorySettingsStore::WriteFloat(const std::string& key, const std::string& name, double value) {
  if (FailWrites) return false;
  std::string bytes(sizeof value, '\0');
  std::memcpy(bytes.data(), &value, sizeof value);
  Plant(key, name, Binary{bytes});
  return true;
}

bool TMemorySettingsStore::CreateKey(const std::string& key) {
  if (FailWrites) return false;
  const std::string folded = Fold(key);
  for (size_t p = folded.find('\\'); p != std::string::npos; p = folded.find('\\', p + 1))
    m_keys[folded.substr(0, p)];
  m_keys[folded];
  return true;
}

bool TMemorySettingsStore::DeleteValue(const std::string& key, const std::string& name) {
  if (FailWrites) return false;
  const auto k = m_keys.find(Fold(key));
  if (k == m_keys.end()) return false;
  k->second.erase(Fold(name));
  return true;
}

bool TMemorySettingsStore::DeleteKey(const std::string& key) {
  if (FailWrites) return false;
  const std::string folded = Fold(key);
  for (auto it = m_keys.begin(); it != m_keys.end();) {
    if (it->first == folded || it->first.rfind(folded + "\\", 0) == 0)
      it = m_keys.erase(it);
    else
      ++it;
  }
  return true;
}

std::vector<std::string> TMemorySettingsStore::Keys() const {
  std::vector<std::string> keys;
  for (const auto& [k, v] : m_keys) keys.push_back(k);
  return keys;
}

}  // namespace qv::engine
