// Test helper: compiles an expression with the engine's default settings and
// writes its node program as a line of node names and operands, in code
// order ("Branch Literal'a' Star Literal'b' End"). Also gives the hints.
#pragma once

#include <string>

#include "regex/RegexEngine.h"
#include "regex/detail/Compiler.h"

namespace qv::regex::testing {

inline detail::TCompileSettings DefaultSettings(RegexModifiers modifiers = DefaultModifiers) {
  static unsigned char invert[256];
  for (int c = 0; c < 256; ++c)
    invert[c] = static_cast<unsigned char>(TRegexEngine::DefaultInvertCase(static_cast<char>(c)));
  detail::TCompileSettings s;
  s.modifiers = modifiers;
  static const std::string spaces = " \t\n\r\f";
  static const std::string words = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_";
  s.spaceChars = &spaces;
  s.wordChars = &words;
  s.invert = invert;
  s.lineSeparators.AddText("\r\n");
  return s;
}

inline std::string OperandText(const std::uint8_t* p, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) {
    const unsigned char c = p[i];
    if (c >= 0x20 && c < 0x7F) {
      out.push_back(static_cast<char>(c));
    } else {
      static const char hex[] = "0123456789ABCDEF";
      out += "\\x";
      out.push_back(hex[c >> 4]);
      out.push_back(hex[c & 15]);
    }
  }
  return out;
}

inline std::string Dump(const detail::TProgram& p) {
  using namespace detail;
  std::string out;
  for (std::size_t at = 1; at < p.code.size(); at += static_cast<std::size_t>(NodeSize(&p.code[at]))) {
    const std::uint8_t* n = &p.code[at];
    if (!out.empty()) out += ' ';
    switch (n[0]) {
      case OpEnd: out += "End"; break;
      case OpInputStart: out += "InputStart"; break;
      case OpInputEnd: out += "InputEnd"; break;
      case OpAnyChar: out += "AnyChar"; break;
      case OpBranch: out += "Branch"; break;
      case OpBack: out += "Back"; break;
      case OpNothing: out += "Nothing"; break;
      case OpStar: out += "Star"; break;
      case OpPlus: out += "Plus"; break;
      case OpDigit: out += "Digit"; break;
      case OpNonDigit: out += "NonDigit"; break;
      case OpComment: out += "Comment"; break;
      case OpLoopEntry: out += "LoopEntry"; break;
      case OpStarLazy: out += "StarLazy"; break;
      case OpPlusLazy: out += "PlusLazy"; break;
      case OpLineStart: out += "LineStart"; break;
      case OpLineEnd: out += "LineEnd"; break;
      case OpAnyButLineBreak: out += "AnyButLineBreak"; break;
      case OpWordBoundary: out += "WordBoundary"; break;
      case OpNotWordBoundary: out += "NotWordBoundary"; break;
      case OpLiteral:
      case OpLiteralFold:
        out += (n[0] == OpLiteral ? "Literal'" : "LiteralFold'") + OperandText(n + 9, ReadI32(n + 5)) + "'";
        break;
      case OpBraces:
      case OpBracesLazy:
        out += (n[0] == OpBraces ? "Braces" : "BracesLazy") + std::to_string(ReadI32(n + 5)) + "," +
               std::to_string(ReadI32(n + 9));
        break;
      case OpLoop:
      case OpLoopLazy:
        out += (n[0] == OpLoop ? "Loop" : "LoopLazy") + std::to_string(ReadI32(n + 5)) + "," +
               std::to_string(ReadI32(n + 9));
        break;
      case OpAnyOfThree: out += "AnyOfThree'" + OperandText(n + 5, 3) + "'"; break;
      case OpAnyButThree: out += "AnyButThree'" + OperandText(n + 5, 3) + "'"; break;
      case OpAnyOfSet: {
        int members = 0;
        for (int b = 0; b < 32; ++b)
          for (int bit = 0; bit < 8; ++bit) members += (n[5 + b] >> bit) & 1;
        out += "AnyOfSet" + std::to_string(members);
        break;
      }
      case OpBackRef: out += "BackRef" + std::to_string(n[5]); break;
      case OpBackRefFold: out += "BackRefFold" + std::to_string(n[5]); break;
      default:
        if (n[0] >= OpOpen1 && n[0] < OpOpen1 + 14)
          out += "Open" + std::to_string(n[0] - OpOpen1 + 1);
        else if (n[0] >= OpClose1 && n[0] < OpClose1 + 14)
          out += "Close" + std::to_string(n[0] - OpClose1 + 1);
        else
          out += "?" + std::to_string(n[0]);
    }
  }
  return out;
}

// The dump, or "error <code> at <pos>".
inline std::string DumpOf(const std::string& expression, RegexModifiers modifiers = DefaultModifiers) {
  const detail::TCompileResult r = detail::Compile(expression, DefaultSettings(modifiers));
  if (!r.program) return "error " + std::to_string(r.errorCode) + " at " + std::to_string(r.errorPos);
  return Dump(*r.program);
}

}  // namespace qv::regex::testing
