// The script-tag interpreter: expands a name or extension model made of
// plain text and tags in angle brackets ("<G4>_<$D>", "<R1=o?0>") into one
// file's new name part. Letter tags take, cut, change the case of, fold,
// replace or delete characters from the left of SOURCE (the old part);
// "$" tags insert the folder name, a file date, or the values that
// TScriptValues supplies (metadata, audio tags, regular expressions).
//
//   TScriptInterpreter in(options, listing);
//   in.ExpandScript(0, "<U1><L20>", "holiday.jpg", "holiday");  // "Holiday"
//
// Never fails: any fault gives SOURCE back unchanged. Not thread-safe (the
// value seam may keep per-file state). Tested by
// tests/engine/ScriptInterpreter_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/FileObject.h"
#include "engine/ProgramOptions.h"
#include "engine/ScriptValues.h"

namespace qv::engine {

// No text a script builds may grow past the longest path the system takes;
// a script that would (an R tag that multiplies SOURCE) fails instead, so a
// hostile model cannot exhaust memory or time.
inline constexpr size_t kMaxScriptText = 32767;
// Character steps one expansion may spend (copies, moves and compares of
// its tags); a script that needs more fails, so a model crafted to make S
// tags rescan a long SOURCE over and over cannot hang the list. Real
// scripts on real names spend a few thousand.
inline constexpr uint64_t kScriptStepBudget = uint64_t{1} << 24;

// Every forbidden character of text, and every control character (codes
// 1 to 31), replaced by the whole replacement
// (which may be empty or longer than one character); what was inserted is
// not looked at again.
std::string ReplaceForbiddenChars(std::string_view text, std::string_view replacement);

class TScriptInterpreter {
public:
  // Reads options ("Directory", "ReplaceChar") and the listing's file times
  // at each call; both must outlive the interpreter. values may be null
  // (then the defaults of TScriptValues answer).
  TScriptInterpreter(const TProgramOptions& options, const TFileListing& listing, TScriptValues* values = nullptr);
  TScriptInterpreter(const TScriptInterpreter&) = delete;
  TScriptInterpreter& operator=(const TScriptInterpreter&) = delete;

  void SetValues(TScriptValues* values);
  // Display name of the current folder (ExtractFolderName of its path),
  // inserted by "<$D>" and "<$F>"; kept by the owner when the folder changes.
  void SetFolderName(std::string name) { m_folderName = std::move(name); }
  const std::string& FolderName() const { return m_folderName; }

  // model expanded for the file fileIndex of the listing, whose old full
  // name is oldFullName; source is the old part the tags work on (already
  // case-converted by the name builder).
  std::string ExpandScript(size_t fileIndex, std::string_view model, std::string_view oldFullName,
                           std::string_view source);

  // The file's creation ("CREATE"), last-write ("LASTWRITE") or last-access
  // ("ACCESS") time from the scan, in the short date and long time formats
  // (the time left out at midnight); which is compared in upper case; other words and
  // indexes outside the listing give an empty text.
  std::string FileDateTag(size_t fileIndex, std::string_view which) const;

private:
  friend class TScriptExpansion;

  const TProgramOptions& m_options;
  const TFileListing& m_listing;
  TScriptValues m_noValues;
  uint64_t m_expansions = 0;
  TScriptValues* m_values;
  std::string m_folderName;
};

}  // namespace qv::engine
