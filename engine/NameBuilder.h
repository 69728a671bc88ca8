// The name builder: one file's new full name from the option settings, as
// the list's preview and the runs both show it. Name and extension each
// come from a fixed model, a script (TScriptInterpreter) or the old part;
// an index (a running number) goes into one of them; kept or scripted
// parts are case-converted.
//
//   TNameBuilder b(options, interpreter);
//   b.BuildNewName("a.jpg", 0);  // "SansNom_00.jpg" with the defaults
//
// Reads the options as they stand at each call (it keeps no copy).
// Tested by tests/engine/NameBuilder_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/ProgramOptions.h"
#include "engine/ScriptInterpreter.h"

namespace qv::engine {

// Old parts of a file name: the name part is what stands before the last
// ".", the extension what follows it ("archive.tar.gz": "archive.tar" and
// "gz"; ".profile": "" and "profile"; "readme": "readme" and "").
std::string_view OldNamePart(std::string_view fullName);
std::string_view OldExtension(std::string_view fullName);

// Case modes: 0 none, 1 upper, 2 first letter upper and the rest lower,
// 3 lower, 4 (name parts only) as 2 and every letter after a blank upper;
// any other mode changes nothing. folded selects the accent-folding case
// conversions ("MAJ Ascii") instead of the Windows-1252 ones.
enum class TCasePart { Name, Extension };
std::string ConvertCase(std::string_view text, int mode, bool folded, TCasePart part);

// Inserts index after the first position characters of part (at its end
// when it is shorter; a negative position counts as 0).
void InsertIndex(std::string& part, std::string_view index, int64_t position);

class TNameBuilder {
public:
  TNameBuilder(const TProgramOptions& options, TScriptInterpreter& interpreter)
      : m_options(options), m_interpreter(interpreter) {}

  // New full name of the file at fileIndex (0-based, list order).
  std::string BuildNewName(std::string_view oldFullName, size_t fileIndex);
  // The old name part, case-converted by "Casse File" when "No File" or
  // "Script File" is on.
  std::string ApplyNameCase(std::string_view oldFullName) const;
  // The old extension, case-converted by "Casse Extension" when
  // "No Extension" or "Script Extension" is on.
  std::string ApplyExtensionCase(std::string_view oldFullName) const;
  // fileIndex + "Start" in decimal, padded on the left with "Character" to
  // "Format" (modulo 256) characters; never cut.
  std::string IndexText(size_t fileIndex) const;

private:
  std::string NameScript(std::string_view oldFullName, size_t fileIndex);
  std::string ExtensionScript(std::string_view oldFullName, size_t fileIndex);

  const TProgramOptions& m_options;
  TScriptInterpreter& m_interpreter;
};

}  // namespace qv::engine
