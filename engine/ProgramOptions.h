// The option settings (one value per registry value name of the "Options"
// key, each with its default), the four history lists, and their load and
// save through an ISettingsStore. Portable: the registry is behind the
// store, "today" and the documents folder are given by the caller.
// Tested by tests/engine/ProgramOptions_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/DateTime.h"
#include "engine/SettingsStore.h"

namespace qv::engine {

inline constexpr char kProductKey[] = "Software\\Halbrecht\\Quorvant Pro";
inline constexpr char kOptionsKey[] = "Software\\Halbrecht\\Quorvant Pro\\Options";
inline constexpr char kListsKey[] = "Software\\Halbrecht\\Quorvant Pro\\Lists";
inline constexpr char kProductVersion[] = "3.2.0.0";

// What the controls hold: the index width (as padding caps it), the
// attribute boxes (read-only, hidden, system, archive), the filter edit.
inline constexpr int32_t kMaxPadWidth = 255;
inline constexpr int32_t kAttributeBits = 1 | 2 | 4 | 32;
inline constexpr size_t kMaxMaskLength = 255;

// Field names follow the registry value names ("No File" is NoFile, ...).
struct TProgramOptions {
  std::string Directory;
  std::string Mask = "*.*";
  std::string NameFile = "SansNom_";
  int32_t IdxNameFile = 0;
  bool NoFile = false;
  bool ScriptFile = false;
  int32_t IdxScriptFile = 0;
  int32_t CasseFile = 0;  // 0..4
  std::string NameExtension;
  int32_t IdxNameExtension = 0;
  bool NoExtension = true;
  bool ScriptExtension = false;
  int32_t IdxScriptExtension = 0;
  int32_t CasseExtension = 0;  // 0..3
  bool DateOn = false;
  std::string ExtMP3 = "MP3";
  std::string Date;          // new file date as text (short date format)
  TDateTime Date2 = 0.0;     // binary copy of the same date ("Date 2")
  bool TimeOn = false;
  std::string Time;          // "hh:nn:ss"
  bool AttributOn = false;
  int32_t Attribut = 32;
  int32_t Format = 2;
  char Character = '0';      // always one character
  int32_t Start = 0;
  int32_t Position = 8;
  bool AutoFormat = false;
  bool ExtensionIndice = false;
  bool NoneIndice = false;
  bool Rapport = true;
  std::string Editor;
  bool Auto = false;
  bool ActiveListe = true;
  bool Backup = false;
  int32_t DownCount = 10;
  int32_t MaxCombo = 10;
  bool Texture = false;
  int32_t PositionIndice = 0;  // 0 free, 1 start, 2 end
  bool Grid = false;
  bool SaveSaisie = true;
  bool DeleteList = false;
  bool MajAscii = false;
  bool Hint = true;
  std::string ModelDate = "dd/mm/yyyy hh:nn:ss";
  bool AttributFull = false;
  int32_t Col0 = 8388608;   // navy
  int32_t Col1 = 255;       // red
  int32_t Col2 = 16711680;  // blue
  std::string ReplaceChar = "-";
  std::string DirRapport;
};

// The start-up defaults that depend on the moment and the machine: "Date"
// and "Date 2" := today, "Time" := now as "hh:nn:ss", "DirRapport" :=
// documentsFolder + "\Quorvant Pro\Rapports".
void SetStartupDefaults(TProgramOptions& o, TDateTime now, const std::string& documentsFolder,
                        const TFormatSettings& fs = DefaultFormatSettings());

// The attribute mask of scans: 47 with "Attribut Full", else 41.
uint32_t ScanAttributes(const TProgramOptions& o);

struct THistoryLists {
  std::vector<std::string> NameHistory;        // "Names Files"
  std::vector<std::string> NameScriptHistory;  // "Scripts Files"
  std::vector<std::string> ExtHistory;         // "Names Extensions"
  std::vector<std::string> ExtScriptHistory;   // "Scripts Extensions"
};

// Reads every option with the value in memory as default (call
// SetStartupDefaults first), then the history lists; a value out of its
// control's range takes its default, the attributes keep their four bits.
// Never fails.
void LoadSettings(ISettingsStore& store, TProgramOptions& o, THistoryLists& h,
                  const TFormatSettings& fs = DefaultFormatSettings());
// Writes "Version", every option (not "DirRapport" nor "ExtMP3") and the
// lists afresh; false when a write failed.
bool SaveSettings(ISettingsStore& store, const TProgramOptions& o, const THistoryLists& h,
                  const TFormatSettings& fs = DefaultFormatSettings());

// History list under key: the values named by numbers, in the order of
// their numbers ("2" before "10", whatever order the store enumerates
// them in), then any other names; a value of another type than string
// loads as an empty entry.
std::vector<std::string> ReadStringList(ISettingsStore& store, const std::string& key);
bool WriteStringList(ISettingsStore& store, const std::string& key, const std::vector<std::string>& list);

}  // namespace qv::engine
