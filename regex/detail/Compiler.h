// Internal: expression text -> node program (RegexParser.cpp parses and
// emits, RegexProgram.cpp computes the hints). Errors come back as values;
// the engine turns them into ERegexError. Covered by tests/regex/Compiler_test.cpp.
#pragma once

#include <memory>
#include <string>

#include "regex/detail/Program.h"

namespace qv::regex::detail {

struct TCompileSettings {
  RegexModifiers modifiers = DefaultModifiers;
  const std::string* spaceChars = nullptr;
  const std::string* wordChars = nullptr;
  const std::uint8_t* invert = nullptr;  // 256-entry case inversion table
  TCharSet lineSeparators;
  bool pairAssigned = true;
  std::uint8_t pairHead = '\r';
  // ^ and $ take their line forms under m only when this is true.
  bool LinesDefined() const { return pairAssigned || lineSeparators.Count() > 0; }
};

struct TCompileResult {
  std::unique_ptr<TProgram> program;  // null on error
  int errorCode = 0;
  int errorPos = 0;  // characters before the parse cursor
};

// text must not contain NUL (the engine's copy ends at the first one).
TCompileResult Compile(const std::string& text, const TCompileSettings& settings);

// Applies modifier letters to set (ParseModifierString of the engine).
bool ApplyModifierString(const char* text, std::size_t length, RegexModifiers& set);

}  // namespace qv::regex::detail
