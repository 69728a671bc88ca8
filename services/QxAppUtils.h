// Storage-neutral access for the form placement store: a store of sections
// of named string values, kept either in the registry (sections are subkeys
// of one key) or in an INI file; the default storage names; and the two
// routines that write and read a form's window placement, the same code
// for both kinds. Missing or malformed values read as the caller's default.
// Example:  TPlacementRegistry reg(prCurrentUser, "Software\\Halbrecht\\Quorvant Pro", true);
//           WriteFormPlacement(form, &reg, "Placement");
// Main thread only. Tested by tests/services/QxPlacement_test.cpp.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Component.h"
#include "framework/Form.h"

namespace qv::controls {

using qv::fw::TComponent;
using qv::fw::TForm;

enum TPlacementRegRoot { prCurrentUser, prLocalMachine, prCurrentConfig, prClassesRoot, prUsers, prDynData };

enum TWindowState { wsNormal, wsMinimized, wsMaximized };

// Sections of named string values. Reads give nothing for a missing value;
// writes raise qv::fw::EQvError when the store refuses them.
class TPlacementStorage {
public:
  virtual ~TPlacementStorage() = default;
  virtual bool Read(const std::string& section, const std::string& ident, std::string& value) = 0;
  virtual void Write(const std::string& section, const std::string& ident, const std::string& value) = 0;
};

// Under a key of one of the registry roots; keys are made only by writes.
class TPlacementRegistry : public TPlacementStorage {
public:
  TPlacementRegistry(TPlacementRegRoot root, std::string key, bool forWriting);
  bool Read(const std::string& section, const std::string& ident, std::string& value) override;
  void Write(const std::string& section, const std::string& ident, const std::string& value) override;

private:
  std::string PathOf(const std::string& section) const;
  TPlacementRegRoot m_root;
  std::string m_key;
  bool m_forWriting;
};

// An INI file (a name without a folder lives in the Windows folder).
class TPlacementIniFile : public TPlacementStorage {
public:
  explicit TPlacementIniFile(std::string fileName) : m_fileName(std::move(fileName)) {}
  bool Read(const std::string& section, const std::string& ident, std::string& value) override;
  // A value that begins and ends with the same quote gets one more pair of
  // double quotes, which the INI reader strips.
  void Write(const std::string& section, const std::string& ident, const std::string& value) override;

private:
  std::string m_fileName;
};

// --- Reads and writes through whichever store (none: defaults, no writes)
std::string IniReadString(TPlacementStorage* storage, const std::string& section, const std::string& ident,
                          const std::string& def);
// A value that is not a whole decimal 32-bit number reads as the default.
int IniReadInteger(TPlacementStorage* storage, const std::string& section, const std::string& ident, int def);
void IniWriteString(TPlacementStorage* storage, const std::string& section, const std::string& ident,
                    const std::string& value);
void IniWriteInteger(TPlacementStorage* storage, const std::string& section, const std::string& ident, int value);

// "(1024x768)": each screen resolution keeps its own positions.
std::string ScreenSizeSuffix();
// ident + suffix, or ident when that is empty.
std::string ReadPosStr(TPlacementStorage* storage, const std::string& section, const std::string& ident);
// ident + suffix, then ident.
void WritePosStr(TPlacementStorage* storage, const std::string& section, const std::string& ident,
                 const std::string& value);
int ScreenPixelsPerInch();

// "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos" and "NormPos".
void WriteFormPlacement(TForm& form, TPlacementStorage* storage, const std::string& section);
// Applies what is stored (positions of another pixel density ignored). A
// state that cannot be applied to a hidden form yet is returned in
// `deferredState` (wsNormal when none), for the caller to apply once the
// form is shown; without the pointer it is dropped.
void ReadFormPlacement(TForm& form, TPlacementStorage* storage, const std::string& section, bool loadPosition,
                       bool loadState, TWindowState* deferredState = nullptr);

// --- Default names
// The form's class name; a control's form class name followed by its name;
// another component's "FormClass.Name" (on a form) or its name.
std::string GetDefaultSection(const TComponent* component);
// "<exe name>.INI", or what DefaultIniNameProc gives.
std::string GetDefaultIniName();
// "Software\" [+ DefaultCompanyName + "\"] + the application title (with
// UseAppTitleForRegKey) or the executable's base name.
std::string GetDefaultIniRegKey();

extern std::string (*DefaultIniNameProc)();
extern std::string DefaultCompanyName;
extern bool UseAppTitleForRegKey;

}  // namespace qv::controls
