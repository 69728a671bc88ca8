// TFormPlacement: saves its owner form's window placement (normal
// rectangle, minimised and maximised positions, show state, optionally the
// active control) to the registry or an INI file, and restores it. It can
// pin the form's size (PreventResize) and impose size limits (MinMaxInfo)
// through a window hook on the form.
// Made while the form builds its layout, it also loads on the form's show
// and saves on its close query and destruction (while Active); made later
// by code, it only does what it is told.
// Example:  auto& p = form.Make<TFormPlacement>("FormPlacement");
//           p.SetIniFileName("Software\\Halbrecht\\Quorvant Pro"); p.SetIniSection("Placement");
//           p.LoadPlacement(); ... p.StorePlacement();
// Main thread only. Tested by tests/services/QxPlacement_test.cpp.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "framework/Control.h"
#include "services/QxAppUtils.h"
#include "services/QxHook.h"

namespace qv::controls {

using qv::fw::TNotifyEvent;

enum TPlacementOption : uint8_t { fpState, fpPosition, fpActiveControl };

class TPlacementOptions {
public:
  constexpr TPlacementOptions() = default;
  constexpr TPlacementOptions(std::initializer_list<TPlacementOption> members) {
    for (TPlacementOption o : members) m_bits = static_cast<uint8_t>(m_bits | (1u << o));
  }
  constexpr bool Has(TPlacementOption o) const { return (m_bits >> o) & 1u; }
  constexpr bool operator==(const TPlacementOptions&) const = default;

private:
  uint8_t m_bits = 0;
};

class TFormPlacement;

// Size and position limits as one MINMAXINFO; 0 leaves the system's value.
class TWinMinMaxInfo {
public:
  explicit TWinMinMaxInfo(TFormPlacement* owner = nullptr) : m_owner(owner) {}
  TWinMinMaxInfo(const TWinMinMaxInfo&) = delete;
  TWinMinMaxInfo& operator=(const TWinMinMaxInfo&) = delete;
  // Copies the values and tells the owner.
  void Assign(const TWinMinMaxInfo& other);

  int MaxPosLeft() const { return Value(0); }
  int MaxPosTop() const { return Value(1); }
  int MaxSizeHeight() const { return Value(2); }
  int MaxSizeWidth() const { return Value(3); }
  int MaxTrackHeight() const { return Value(4); }
  int MaxTrackWidth() const { return Value(5); }
  int MinTrackHeight() const { return Value(6); }
  int MinTrackWidth() const { return Value(7); }
  void SetMaxPosLeft(int v) { SetValue(0, v); }
  void SetMaxPosTop(int v) { SetValue(1, v); }
  void SetMaxSizeHeight(int v) { SetValue(2, v); }
  void SetMaxSizeWidth(int v) { SetValue(3, v); }
  void SetMaxTrackHeight(int v) { SetValue(4, v); }
  void SetMaxTrackWidth(int v) { SetValue(5, v); }
  void SetMinTrackHeight(int v) { SetValue(6, v); }
  void SetMinTrackWidth(int v) { SetValue(7, v); }

  // All eight values 0.
  bool DefaultMinMaxInfo() const;
  const MINMAXINFO& Info() const { return m_info; }

private:
  int Value(int index) const;
  void SetValue(int index, int value);
  LONG& Field(int index);
  TFormPlacement* m_owner;
  MINMAXINFO m_info{};
};

class TFormPlacement : public TComponent {
public:
  explicit TFormPlacement(TComponent* owner);
  ~TFormPlacement() override;

  // --- Properties
  bool Active() const { return m_active; }
  void SetActive(bool v) { m_active = v; }
  // The stored name, or the default (registry key or INI file name).
  std::string IniFileName() const;
  void SetIniFileName(const std::string& name) { m_iniFileName = name; }
  std::string IniSection() const;
  void SetIniSection(const std::string& section) { m_iniSection = section; }
  TWinMinMaxInfo& MinMaxInfo() { return m_minMaxInfo; }
  void SetMinMaxInfo(const TWinMinMaxInfo& info) { m_minMaxInfo.Assign(info); }
  TPlacementOptions Options() const { return m_options; }
  void SetOptions(TPlacementOptions options) { m_options = options; }
  bool PreventResize() const { return m_preventResize; }
  void SetPreventResize(bool v);
  TPlacementRegRoot RegistryRoot() const { return m_registryRoot; }
  void SetRegistryRoot(TPlacementRegRoot root) { m_registryRoot = root; }
  bool UseRegistry() const { return m_useRegistry; }
  void SetUseRegistry(bool v) { m_useRegistry = v; }
  int Version() const { return m_version; }
  void SetVersion(int v) { m_version = v; }
  TNotifyEvent OnSavePlacement;
  TNotifyEvent OnRestorePlacement;

  // --- Saving and restoring (errors propagate after the store is closed)
  // Does nothing while Active when nothing has been restored yet, so a form
  // closed before its placement was loaded keeps the stored one.
  void StorePlacement();
  void LoadPlacement();
  virtual void WritePlacementValues();
  virtual void ReadPlacementValues();
  virtual std::string ReadStoredString(const std::string& section, const std::string& ident, const std::string& def);
  virtual void WriteStoredString(const std::string& section, const std::string& ident, const std::string& value);
  int ReadStoredInteger(const std::string& ident, int def);
  void WriteStoredInteger(const std::string& ident, int value);

  // Called by the min/max info when its values change.
  void MinMaxInfoModified();

protected:
  virtual void SavePlacementEvent();
  virtual void RestorePlacementEvent();
  void Loaded() override;

private:
  class TStorageScope;
  TForm* Form() const;
  void OpenStorage(bool forWriting);
  void CloseStorage();
  void FormShowHook(TComponent& sender);
  void FormCloseQueryHook(TComponent& sender, bool& canClose);
  void FormDestroyHook(TComponent& sender);
  void PlacementMessageHook(TMessage& msg);
  void UpdateHook();
  void UpdatePlacement();
  void UpdatePreventResize();
  void ShowException();

  bool m_active = true;
  std::string m_iniFileName, m_iniSection;
  TWinMinMaxInfo m_minMaxInfo{this};
  TPlacementOptions m_options;
  bool m_preventResize = false;
  TPlacementRegRoot m_registryRoot = prCurrentUser;
  bool m_useRegistry = true;
  int m_version = 0;

  std::unique_ptr<TPlacementStorage> m_storage;  // open during one operation
  bool m_saved = false, m_restored = false, m_destroying = false;
  bool m_hadMaximize = false;  // a maximise button PreventResize took away
  // A state read while the form was hidden, applied when it is first shown.
  TWindowState m_pendingState = wsNormal;
  TQxWindowHook* m_hook = nullptr;
  bool m_formHooked = false;
  TNotifyEvent m_saveFormShow, m_saveFormDestroy;
  std::function<void(TComponent&, bool&)> m_saveFormCloseQuery;
};

}  // namespace qv::controls
