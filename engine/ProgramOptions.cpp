// Option defaults, load and save; see ProgramOptions.h.
#include "engine/ProgramOptions.h"

#include <algorithm>
#include <cmath>

#include "engine/TextUtils.h"

namespace qv::engine {

namespace {

const std::string kOptions = kOptionsKey;
const std::string kLists = kListsKey;

struct ListKey {
  const char* name;
  std::vector<std::string> THistoryLists::*list;
};
constexpr ListKey kListKeys[] = {
    {"Names Files", &THistoryLists::NameHistory},
    {"Scripts Files", &THistoryLists::NameScriptHistory},
    {"Names Extensions", &THistoryLists::ExtHistory},
    {"Scripts Extensions", &THistoryLists::ExtScriptHistory},
};

// The options read and written alike, by type.
struct StringOpt {
  const char* name;
  std::string TProgramOptions::*field;
};
struct IntOpt {
  const char* name;
  int32_t TProgramOptions::*field;
};
struct BoolOpt {
  const char* name;
  bool TProgramOptions::*field;
};

// "Name File", "Name Extension", "Date", "Character", "DirRapport",
// "ExtMP3" and "ReplaceChar" have rules of their own.
constexpr StringOpt kStrings[] = {
    {"Directory", &TProgramOptions::Directory},
    {"Mask", &TProgramOptions::Mask},
    {"Time", &TProgramOptions::Time},
    {"Editor", &TProgramOptions::Editor},
    {"Model Date", &TProgramOptions::ModelDate},
};

constexpr IntOpt kIntegers[] = {
    {"Idx Name File", &TProgramOptions::IdxNameFile},
    {"Idx Script File", &TProgramOptions::IdxScriptFile},
    {"Casse File", &TProgramOptions::CasseFile},
    {"Idx Name Extension", &TProgramOptions::IdxNameExtension},
    {"Idx Script Extension", &TProgramOptions::IdxScriptExtension},
    {"Casse Extension", &TProgramOptions::CasseExtension},
    {"Attribut", &TProgramOptions::Attribut},
    {"Format", &TProgramOptions::Format},
    {"Start", &TProgramOptions::Start},
    {"Position", &TProgramOptions::Position},
    {"DownCount", &TProgramOptions::DownCount},
    {"Max Combo", &TProgramOptions::MaxCombo},
    {"Position Indice", &TProgramOptions::PositionIndice},
    {"Col0", &TProgramOptions::Col0},
    {"Col1", &TProgramOptions::Col1},
    {"Col2", &TProgramOptions::Col2},
};

// "Extension Indice" has its own rule (the older spelling).
constexpr BoolOpt kBools[] = {
    {"No File", &TProgramOptions::NoFile},
    {"Script File", &TProgramOptions::ScriptFile},
    {"No Extension", &TProgramOptions::NoExtension},
    {"Script Extension", &TProgramOptions::ScriptExtension},
    {"Date On", &TProgramOptions::DateOn},
    {"Time On", &TProgramOptions::TimeOn},
    {"Attribut On", &TProgramOptions::AttributOn},
    {"Auto Format", &TProgramOptions::AutoFormat},
    {"None Indice", &TProgramOptions::NoneIndice},
    {"Rapport", &TProgramOptions::Rapport},
    {"Auto", &TProgramOptions::Auto},
    {"Active Liste", &TProgramOptions::ActiveListe},
    {"Backup", &TProgramOptions::Backup},
    {"Texture", &TProgramOptions::Texture},
    {"Grid", &TProgramOptions::Grid},
    {"Save Saisie", &TProgramOptions::SaveSaisie},
    {"Delete List", &TProgramOptions::DeleteList},
    {"MAJ Ascii", &TProgramOptions::MajAscii},
    {"Hint", &TProgramOptions::Hint},
    {"Attribut Full", &TProgramOptions::AttributFull},
};

// A value name that is a plain decimal number (no sign, no leading zero).
bool ListIndex(const std::string& name, uint64_t& n) {
  if (name.empty() || name.size() > 9 || (name.size() > 1 && name[0] == '0')) return false;
  n = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<uint64_t>(c - '0');
  }
  return true;
}

// A stored value outside what its control or rule accepts takes its
// default: a hand-edited registry must neither stall the start (a width
// of two billion) nor reach the files (attribute bits no box stands for).
void BoundStoredValues(TProgramOptions& o, const THistoryLists& h) {
  const TProgramOptions d;
  auto within = [](int32_t& v, int32_t lo, int32_t hi, int32_t fallback) {
    if (v < lo || v > hi) v = fallback;
  };
  within(o.Format, 0, kMaxPadWidth, d.Format);
  within(o.CasseFile, 0, 4, d.CasseFile);
  within(o.CasseExtension, 0, 3, d.CasseExtension);
  within(o.PositionIndice, 0, 2, d.PositionIndice);
  within(o.DownCount, 1, 99, d.DownCount);
  within(o.MaxCombo, 1, 99, d.MaxCombo);
  o.Attribut &= kAttributeBits;
  if (o.Mask.size() > kMaxMaskLength) o.Mask = d.Mask;
  // A remembered entry outside its history selects the first one.
  auto entry = [](int32_t& idx, const std::vector<std::string>& list) {
    if (idx < 0 || static_cast<size_t>(idx) >= std::max<size_t>(list.size(), 1)) idx = 0;
  };
  entry(o.IdxNameFile, h.NameHistory);
  entry(o.IdxScriptFile, h.NameScriptHistory);
  entry(o.IdxNameExtension, h.ExtHistory);
  entry(o.IdxScriptExtension, h.ExtScriptHistory);
}

}  // namespace

void SetStartupDefaults(TProgramOptions& o, TDateTime now, const std::string& documentsFolder,
                        const TFormatSettings& fs) {
  o.Date2 = DateOf(now);
  o.Date = DateToStr(o.Date2, fs);
  o.Time = FormatDateTime("hh:nn:ss", now, fs);
  o.DirRapport = AddTrailingBackslash(StripTrailingBackslashes(documentsFolder)) + "Quorvant Pro\\Rapports";
}

uint32_t ScanAttributes(const TProgramOptions& o) { return o.AttributFull ? 47u : 41u; }

std::vector<std::string> ReadStringList(ISettingsStore& store, const std::string& key) {
  // Numbered names in the order of their numbers: the registry may
  // enumerate them by name ("0, 1, 10, 11, 2").
  std::vector<std::pair<uint64_t, std::string>> numbered;
  std::vector<std::string> others;
  for (const std::string& name : store.ValueNames(key)) {
    uint64_t n;
    if (ListIndex(name, n))
      numbered.emplace_back(n, name);
    else
      others.push_back(name);
  }
  std::sort(numbered.begin(), numbered.end());
  std::vector<std::string> list;
  list.reserve(numbered.size() + others.size());
  for (const auto& [n, name] : numbered) list.push_back(store.ReadString(key, name, std::string()));
  for (const auto& name : others) list.push_back(store.ReadString(key, name, std::string()));
  return list;
}

bool WriteStringList(ISettingsStore& store, const std::string& key, const std::vector<std::string>& list) {
  // The key is written even for an empty list, so a reader can tell an
  // emptied history from one never saved.
  bool ok = store.CreateKey(key);
  for (size_t i = 0; i < list.size(); ++i) ok = store.WriteString(key, std::to_string(i), list[i]) && ok;
  return ok;
}

void LoadSettings(ISettingsStore& store, TProgramOptions& o, THistoryLists& h, const TFormatSettings& fs) {
  for (const auto& s : kStrings) o.*s.field = store.ReadString(kOptions, s.name, o.*s.field);
  for (const auto& s : kIntegers) o.*s.field = store.ReadInteger(kOptions, s.name, o.*s.field);
  for (const auto& s : kBools) o.*s.field = store.ReadBool(kOptions, s.name, o.*s.field);
  o.ExtMP3 = store.ReadString(kOptions, "ExtMP3", o.ExtMP3);

  if (const auto today = StrToDate(o.Date, fs)) {
    const double stored = store.ReadFloat(kOptions, "Date 2", *today);
    // A stored float that is no date (NaN, out of range) keeps today.
    const double date = DecodeDateTime(stored) ? DateOf(stored) : *today;
    o.Date2 = date;
    o.Date = DateToStr(date, fs);
  } else {
    o.Date = store.ReadString(kOptions, "Date", o.Date);
  }

  const std::string pad = store.ReadString(kOptions, "Character", std::string(1, o.Character));
  o.Character = pad.empty() ? ' ' : pad[0];

  if (store.ValueExists(kOptions, "Extention Indice")) {
    o.ExtensionIndice = store.ReadBool(kOptions, "Extention Indice", o.ExtensionIndice);
    store.WriteBool(kOptions, "Extension Indice", o.ExtensionIndice);
    store.DeleteValue(kOptions, "Extention Indice");
  } else {
    o.ExtensionIndice = store.ReadBool(kOptions, "Extension Indice", o.ExtensionIndice);
  }

  // The replacement goes into file names: a stored "\" or ":" would turn a
  // tag value into a path.
  o.ReplaceChar = RemoveForbiddenChars(store.ReadString(kOptions, "ReplaceChar", o.ReplaceChar));

  for (const auto& l : kListKeys) h.*l.list = ReadStringList(store, kLists + "\\" + l.name);

  o.DirRapport = StripTrailingBackslashes(store.ReadString(kOptions, "DirRapport", o.DirRapport));
  BoundStoredValues(o, h);
}

bool SaveSettings(ISettingsStore& store, const TProgramOptions& o, const THistoryLists& h,
                  const TFormatSettings& fs) {
  bool ok = store.WriteString(kProductKey, "Version", kProductVersion);
  for (const auto& s : kStrings) ok = store.WriteString(kOptions, s.name, o.*s.field) && ok;
  for (const auto& s : kIntegers) ok = store.WriteInteger(kOptions, s.name, o.*s.field) && ok;
  for (const auto& s : kBools) ok = store.WriteBool(kOptions, s.name, o.*s.field) && ok;
  ok = store.WriteString(kOptions, "Name File", o.NameFile) && ok;
  ok = store.WriteString(kOptions, "Name Extension", o.NameExtension) && ok;
  ok = store.WriteString(kOptions, "Date", o.Date) && ok;
  if (const auto date = StrToDate(o.Date, fs)) ok = store.WriteFloat(kOptions, "Date 2", *date) && ok;
  ok = store.WriteString(kOptions, "Character", std::string(1, o.Character)) && ok;
  ok = store.WriteBool(kOptions, "Extension Indice", o.ExtensionIndice) && ok;
  ok = store.WriteString(kOptions, "ReplaceChar", o.ReplaceChar) && ok;

  // Afresh, so entries removed from a history leave the registry too.
  store.DeleteKey(kLists);
  for (const auto& l : kListKeys) ok = WriteStringList(store, kLists + "\\" + l.name, h.*l.list) && ok;
  return ok;
}

}  // namespace qv::engine
