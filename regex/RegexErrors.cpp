// The engine's error texts, as the engine has always worded them (their
// spelling included: callers and stored messages may compare them).
// Covered by tests/regex/Engine_test.cpp.
#include "regex/RegexEngine.h"

namespace qv::regex {

std::string TRegexEngine::ErrorText(int code) const {
  switch (code) {
    case 0: return "No errors";
    case 100: return "TRegexEngine(comp): Null Argument";
    case 101: return "TRegexEngine(comp): Regexp Too Big";
    case 102: return "TRegexEngine(comp): ParseReg Too Many ()";
    case 103: return "TRegexEngine(comp): ParseReg Unmatched ()";
    case 104: return "TRegexEngine(comp): ParseReg Unmatched ()";
    case 105: return "TRegexEngine(comp): ParseReg Junk On End";
    case 106: return "TRegexEngine(comp): *+ Operand Could Be Empty";
    case 107: return "TRegexEngine(comp): Nested *?+";
    case 108: return "TRegexEngine(comp): Bad Hex Digit";
    case 109: return "TRegexEngine(comp): Invalid [] Range";
    case 110: return "TRegexEngine(comp): Parse Atom Trailing \\";
    case 111: return "TRegexEngine(comp): No Hex Code After \\x";
    case 112: return "TRegexEngine(comp): Hex Code After \\x Is Too Big";
    case 113: return "TRegexEngine(comp): Unmatched []";
    case 114: return "TRegexEngine(comp): Internal Urp";
    case 115: return "TRegexEngine(comp): ?+*{ Follows Nothing";
    case 116: return "TRegexEngine(comp): Trailing \\";
    case 119: return "TRegexEngine(comp): RarseAtom Internal Disaster";
    case 122: return "TRegexEngine(comp): BRACES Argument Too Big";
    case 124: return "TRegexEngine(comp): BRACE Min Param Greater then Max";
    case 125: return "TRegexEngine(comp): Unclosed (?#Comment)";
    case 126: return "TRegexEngine(comp): Complex Braces Need The Loop Build Mode";
    case 127: return "TRegexEngine(comp): Urecognized Modifier";
    case 128: return "TRegexEngine(comp): LinePairedSeparator must countain two different chars or no chars at all";
    case 1000: return "TRegexEngine(exec): RegRepeat Called Inappropriately";
    case 1001: return "TRegexEngine(exec): MatchPrim Memory Corruption";
    case 1002: return "TRegexEngine(exec): MatchPrim Corrupted Pointers";
    case 1003: return "TRegexEngine(exec): Not Assigned Expression Property";
    case 1004: return "TRegexEngine(exec): Corrupted Program";
    case 1005: return "TRegexEngine(exec): No Input String Specified";
    case 1006: return "TRegexEngine(exec): Offset Must Be Greater Then 0";
    case 1007: return "TRegexEngine(exec): ExecNext Without Exec[Pos]";
    case 1008: return "TRegexEngine(exec): GetInputString Without InputString";
    case 1011: return "TRegexEngine(dump): Corrupted Opcode";
    case 1014: return "TRegexEngine(exec): Loop Stack Exceeded";
    case 1015: return "TRegexEngine(exec): Loop Without LoopEntry !";
    case kStepBudgetError: return "TRegexEngine(exec): Match Step Budget Exceeded";
    case 2000: return "TRegexEngine(misc): Bad p-code imported";
    default: return "Unknown error";
  }
}

}  // namespace qv::regex
