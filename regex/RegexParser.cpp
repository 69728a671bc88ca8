// The parse stage: reads the expression once, from left to right, and emits
// the node program as it goes (alternation, sequence, quantifier, atom, sets,
// escapes). Recursion is only on group nesting, which is at most 14 deep.
// Covered by tests/regex/Compiler_test.cpp.
#include <cstring>

#include "regex/detail/Compiler.h"

namespace qv::regex::detail {
namespace {

enum : int { FlagHasWidth = 1, FlagSimple = 2, FlagSpStart = 4 };

struct TParseError {
  int code;
  int pos;
};

constexpr const char* kMetaChars = "^$.[()|?+*\\{";

bool IsQuantifier(char c) { return c == '*' || c == '+' || c == '?' || c == '{'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsFreeSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class TParser {
public:
  TParser(const std::string& text, const TCompileSettings& settings)
      : m_start(text.c_str()), m_p(m_start), m_settings(settings), m_mods(settings.modifiers) {
    m_code.reserve(text.size() * 2 + 16);
  }

  std::vector<std::uint8_t> Run(int& flags) {
    m_code.push_back(kProgramMagic);
    ParseReg(false, flags);
    return std::move(m_code);
  }

  int Pos() const { return static_cast<int>(m_p - m_start); }

private:
  [[noreturn]] void Fail(int code) { throw TParseError{code, Pos()}; }

  // ---- Emission primitives -------------------------------------------------
  std::int32_t Here() const { return static_cast<std::int32_t>(m_code.size()); }
  std::int32_t EmitNode(std::uint8_t op) {
    const std::int32_t at = Here();
    m_code.insert(m_code.end(), {op, 0, 0, 0, 0});
    return at;
  }
  void EmitByte(std::uint8_t b) { m_code.push_back(b); }
  void EmitI32(std::int32_t v) {
    const std::size_t at = m_code.size();
    m_code.resize(at + 4);
    WriteI32(&m_code[at], v);
  }
  // Puts a node (header plus extra operand bytes) in front of the operand that
  // starts at `at`, moving the operand up. Links into the operand stay right
  // because every next offset is relative and the operand is the last thing
  // emitted.
  void InsertOp(std::uint8_t op, std::int32_t at, int extra) {
    const auto pos = m_code.begin() + at;
    m_code.insert(pos, static_cast<std::size_t>(kNodeHeader + extra), 0);
    m_code[static_cast<std::size_t>(at)] = op;
  }
  std::int32_t NextOf(std::int32_t node) const { return ReadI32(&m_code[static_cast<std::size_t>(node) + 1]); }
  void SetTail(std::int32_t p, std::int32_t target) {
    std::int32_t scan = p;
    for (std::int32_t off = NextOf(scan); off != 0; off = NextOf(scan)) scan += off;
    WriteI32(&m_code[static_cast<std::size_t>(scan) + 1], target - scan);
  }
  void SetOpTail(std::int32_t p, std::int32_t target) {
    if (m_code[static_cast<std::size_t>(p)] == OpBranch) SetTail(p + kNodeHeader, target);
  }
  std::int32_t EmitLiteral(const char* chars, std::int32_t length) {
    const std::int32_t node = EmitNode((m_mods & ModifierI) ? OpLiteralFold : OpLiteral);
    EmitI32(length);
    m_code.insert(m_code.end(), chars, chars + length);
    return node;
  }
  std::int32_t EmitSet(const TCharSet& members, bool negated) {
    const int count = members.Count();
    if (count > 3 || count == 0) {
      const std::int32_t node = EmitNode(OpAnyOfSet);
      for (int byte = 0; byte < 32; ++byte) {
        const auto bits = static_cast<std::uint8_t>(members.bits[byte >> 3] >> (8 * (byte & 7)));
        EmitByte(negated ? static_cast<std::uint8_t>(~bits) : bits);
      }
      return node;
    }
    const std::int32_t node = EmitNode(negated ? OpAnyButThree : OpAnyOfThree);
    std::uint8_t list[3];
    int n = 0;
    for (int c = 0; c < 256; ++c)
      if (members.Has(static_cast<std::uint8_t>(c))) list[n++] = static_cast<std::uint8_t>(c);
    for (int i = 0; i < 3; ++i) EmitByte(list[i < n ? i : n - 1]);
    return node;
  }

  // ---- Parse routines --------------------------------------------------------
  // Alternation: the whole expression, or a parenthesised group.
  std::int32_t ParseReg(bool group, int& flags) {
    const RegexModifiers saved = m_mods;
    flags = FlagHasWidth;
    std::int32_t ret = -1;
    int groupNo = 0;
    if (group) {
      if (m_nextGroup > kMaxGroups) Fail(102);
      groupNo = m_nextGroup++;
      ret = EmitNode(static_cast<std::uint8_t>(OpOpen1 + groupNo - 1));
    }
    int f = 0;
    std::int32_t branch = ParseSequence(f);
    const std::int32_t firstBranch = branch;
    if (ret >= 0)
      SetTail(ret, branch);
    else
      ret = branch;
    if (!(f & FlagHasWidth)) flags &= ~FlagHasWidth;
    flags |= f & FlagSpStart;
    while (*m_p == '|') {
      ++m_p;
      const std::int32_t next = ParseSequence(f);
      WriteI32(&m_code[static_cast<std::size_t>(branch) + 1], next - branch);
      branch = next;
      if (!(f & FlagHasWidth)) flags &= ~FlagHasWidth;
      flags |= f & FlagSpStart;
    }
    const std::int32_t ender =
        EmitNode(group ? static_cast<std::uint8_t>(OpClose1 + groupNo - 1) : static_cast<std::uint8_t>(OpEnd));
    SetTail(branch, ender);
    for (std::int32_t b = firstBranch; m_code[static_cast<std::size_t>(b)] == OpBranch; b += NextOf(b)) {
      SetOpTail(b, ender);
      if (b == branch) break;
    }
    if (group) {
      if (*m_p != ')') Fail(103);
      ++m_p;
    } else if (*m_p != '\0') {
      Fail(*m_p == ')' ? 104 : 105);
    }
    m_mods = saved;
    return ret;
  }

  // One alternative: a Branch and its chain of pieces.
  std::int32_t ParseSequence(int& flags) {
    flags = 0;
    const std::int32_t ret = EmitNode(OpBranch);
    std::int32_t chain = -1;
    while (*m_p != '\0' && *m_p != '|' && *m_p != ')') {
      int f = 0;
      const std::int32_t latest = ParseQuantifier(f);
      flags |= f & FlagHasWidth;
      if (chain < 0)
        flags |= f & FlagSpStart;
      else
        SetTail(chain, latest);
      chain = latest;
    }
    if (chain < 0) EmitNode(OpNothing);
    return ret;
  }

  // {n}, {n,}, {n,m}. False (cursor unchanged) when the text at '{' has another
  // shape, so that the '{' is a literal.
  bool ReadBraces(std::int32_t& min, std::int32_t& max, const char*& after) {
    const char* p = m_p + 1;
    const char* d1 = p;
    while (IsDigit(*p)) ++p;
    const char* e1 = p;
    if (e1 == d1) return false;
    const char* d2 = nullptr;
    const char* e2 = nullptr;
    if (*p == ',') {
      d2 = ++p;
      while (IsDigit(*p)) ++p;
      e2 = p;
    }
    if (*p != '}') return false;
    after = p + 1;
    auto number = [](const char* b, const char* e) {
      std::int32_t v = 0;
      for (; b < e; ++b) v = v * 10 + (*b - '0');
      return v;
    };
    if (e1 - d1 > 8 || (d2 && e2 - d2 > 8)) {
      m_p = after;
      Fail(122);
    }
    min = number(d1, e1);
    max = d2 ? (e2 > d2 ? number(d2, e2) : kInfinite) : min;
    return true;
  }

  std::int32_t ParseQuantifier(int& flags) {
    int f = 0;
    const std::int32_t ret = ParseAtom(f);
    const char op = *m_p;
    if (!IsQuantifier(op)) {
      flags = f;
      return ret;
    }
    std::int32_t min = 0, max = 0;
    const char* after = m_p + 1;
    if (op == '{' && !ReadBraces(min, max, after)) {
      flags = f;
      return ret;
    }
    if (!(f & FlagHasWidth) && op != '?') Fail(106);
    if (op == '{' && max < min) {
      m_p = after;
      Fail(124);
    }
    m_p = after;
    bool lazy = !(m_mods & ModifierG);
    if (*m_p == '?') {
      lazy = true;
      ++m_p;
    }
    const bool simple = (f & FlagSimple) != 0;
    switch (op) {
      case '*':
        flags = FlagSpStart;
        if (simple)
          InsertOp(lazy ? OpStarLazy : OpStar, ret, 0);
        else if (!lazy)
          EmitStarForm(ret);
        else
          EmitLoopForm(ret, 0, kInfinite, true);
        break;
      case '+':
        flags = FlagHasWidth | FlagSpStart;
        if (simple)
          InsertOp(lazy ? OpPlusLazy : OpPlus, ret, 0);
        else if (!lazy)
          EmitPlusForm(ret);
        else
          EmitLoopForm(ret, 1, kInfinite, true);
        break;
      case '?':
        flags = 0;
        if (!lazy)
          EmitOptionalForm(ret);
        else if (simple)
          EmitBraces(OpBracesLazy, ret, 0, 1);
        else
          EmitLoopForm(ret, 0, 1, true);
        break;
      default:  // '{'
        flags = (min > 0 ? FlagHasWidth : 0) | (max > 0 ? FlagSpStart : 0);
        if (simple)
          EmitBraces(lazy ? OpBracesLazy : OpBraces, ret, min, max);
        else
          EmitLoopForm(ret, min, max, lazy);
        break;
    }
    if (IsQuantifier(*m_p)) Fail(107);
    return ret;
  }

  void EmitBraces(std::uint8_t op, std::int32_t operand, std::int32_t min, std::int32_t max) {
    InsertOp(op, operand, 8);
    WriteI32(&m_code[static_cast<std::size_t>(operand) + kNodeHeader], min);
    WriteI32(&m_code[static_cast<std::size_t>(operand) + kNodeHeader + 4], max);
  }
  // x* as Branch(x Back->Branch) Branch(Nothing).
  void EmitStarForm(std::int32_t ret) {
    InsertOp(OpBranch, ret, 0);
    SetOpTail(ret, EmitNode(OpBack));
    SetOpTail(ret, ret);
    SetTail(ret, EmitNode(OpBranch));
    SetTail(ret, EmitNode(OpNothing));
  }
  // x+ as x Branch(Back->x) Branch(Nothing).
  void EmitPlusForm(std::int32_t ret) {
    const std::int32_t next = EmitNode(OpBranch);
    SetTail(ret, next);
    SetTail(EmitNode(OpBack), ret);
    SetTail(next, EmitNode(OpBranch));
    SetTail(ret, EmitNode(OpNothing));
  }
  // x? as Branch(x) Branch(Nothing).
  void EmitOptionalForm(std::int32_t ret) {
    InsertOp(OpBranch, ret, 0);
    SetTail(ret, EmitNode(OpBranch));
    const std::int32_t next = EmitNode(OpNothing);
    SetTail(ret, next);
    SetOpTail(ret, next);
  }
  // LoopEntry x Loop(min, max, back to x).
  void EmitLoopForm(std::int32_t ret, std::int32_t min, std::int32_t max, bool lazy) {
    InsertOp(OpLoopEntry, ret, 0);
    const std::int32_t body = ret + kNodeHeader;
    const std::int32_t loop = EmitNode(lazy ? OpLoopLazy : OpLoop);
    EmitI32(min);
    EmitI32(max);
    EmitI32(body - loop);
    SetTail(ret, loop);
    SetTail(body, loop);
  }

  std::int32_t ParseAtom(int& flags) {
    flags = 0;
    const char c = *m_p++;
    switch (c) {
      case '^':
        return EmitNode(((m_mods & ModifierM) && m_settings.LinesDefined()) ? OpLineStart : OpInputStart);
      case '$':
        return EmitNode(((m_mods & ModifierM) && m_settings.LinesDefined()) ? OpLineEnd : OpInputEnd);
      case '.':
        if (m_mods & ModifierS) {
          flags = FlagHasWidth | FlagSimple;
          return EmitNode(OpAnyChar);
        }
        flags = FlagHasWidth;
        return EmitNode(OpAnyButLineBreak);
      case '[':
        flags = FlagHasWidth | FlagSimple;
        return ParseSet();
      case '(':
        return ParseParen(flags);
      case '\0':
      case '|':
      case ')':
        --m_p;
        Fail(114);
      case '?':
      case '+':
      case '*':
        Fail(115);
      case '\\':
        return ParseEscape(flags);
      default:
        --m_p;
        return ParseLiteralRun(flags);
    }
  }

  std::int32_t ParseParen(int& flags) {
    if (*m_p != '?') {
      int f = 0;
      const std::int32_t ret = ParseReg(true, f);
      flags = f & (FlagHasWidth | FlagSpStart);
      return ret;
    }
    if (m_p[1] == '#') {
      const char* close = std::strchr(m_p + 2, ')');
      if (!close) {
        m_p += std::strlen(m_p);
        Fail(125);
      }
      m_p = close + 1;
      return EmitNode(OpComment);
    }
    const char* close = std::strchr(m_p + 1, ')');
    if (!close) {
      m_p += std::strlen(m_p);
      Fail(127);
    }
    RegexModifiers mods = m_mods;
    if (!ApplyModifierString(m_p + 1, static_cast<std::size_t>(close - (m_p + 1)), mods)) Fail(127);
    m_mods = mods;
    m_p = close + 1;
    return EmitNode(OpComment);
  }

  std::int32_t ParseEscape(int& flags) {
    const char e = *m_p;
    if (e == '\0') Fail(116);
    ++m_p;
    flags = FlagHasWidth | FlagSimple;
    switch (e) {
      case 'A': flags = 0; return EmitNode(OpInputStart);
      case 'Z': flags = 0; return EmitNode(OpInputEnd);
      case 'b': flags = 0; return EmitNode(OpWordBoundary);
      case 'B': flags = 0; return EmitNode(OpNotWordBoundary);
      case 'd': return EmitNode(OpDigit);
      case 'D': return EmitNode(OpNonDigit);
      case 'w':
      case 'W':
      case 's':
      case 'S': {
        TCharSet set;
        set.AddText((e == 'w' || e == 'W') ? *m_settings.wordChars : *m_settings.spaceChars);
        return EmitSet(set, e == 'W' || e == 'S');
      }
      default:
        break;
    }
    if (e >= '1' && e <= '9') {
      const std::int32_t node = EmitNode((m_mods & ModifierI) ? OpBackRefFold : OpBackRef);
      EmitByte(static_cast<std::uint8_t>(e - '0'));
      return node;
    }
    --m_p;
    const char ch = static_cast<char>(ParseEscapeCode());
    return EmitLiteral(&ch, 1);
  }

  // The character after a backslash (the cursor is on it, it is not NUL).
  int ParseEscapeCode() {
    const char e = *m_p++;
    switch (e) {
      case 't': return 9;
      case 'n': return 10;
      case 'r': return 13;
      case 'f': return 12;
      case 'a': return 7;
      case 'e': return 27;
      case 'x': break;
      default: return static_cast<unsigned char>(e);
    }
    if (*m_p == '{') {
      ++m_p;
      int value = 0;
      for (;; ++m_p) {
        if (*m_p == '\0') Fail(111);
        if (*m_p == '}') break;
        const int d = HexValue(*m_p);
        if (d < 0) Fail(108);
        value = value * 16 + d;
        if (value > 255) Fail(112);
      }
      ++m_p;
      return value;
    }
    int value = 0;
    for (int i = 0; i < 2; ++i) {
      if (*m_p == '\0') Fail(111);
      const int d = HexValue(*m_p);
      if (d < 0) Fail(108);
      value = value * 16 + d;
      ++m_p;
    }
    return value;
  }

  std::int32_t ParseSet() {
    bool negated = false;
    if (*m_p == '^') {
      negated = true;
      ++m_p;
    }
    const bool fold = (m_mods & ModifierI) != 0;
    const bool cyrillic = (m_mods & ModifierR) != 0;
    TCharSet set;
    auto add = [&](int c) {
      set.Add(static_cast<std::uint8_t>(c));
      if (fold) set.Add(m_settings.invert[static_cast<std::uint8_t>(c)]);
    };
    auto addText = [&](const std::string& text) {
      for (char ch : text) add(static_cast<unsigned char>(ch));
    };
    bool first = true;
    for (;;) {
      const char c = *m_p;
      if (c == '\0') Fail(113);
      if (c == ']' && !first) {
        ++m_p;
        break;
      }
      first = false;
      int start;
      if (c == '\\') {
        const char e = m_p[1];
        if (e == '\0') {
          ++m_p;
          Fail(110);
        }
        if (e == 'd' || e == 's' || e == 'w') {
          m_p += 2;
          if (e == 'd')
            addText("0123456789");
          else
            addText(e == 's' ? *m_settings.spaceChars : *m_settings.wordChars);
          continue;
        }
        ++m_p;
        start = ParseEscapeCode();
      } else {
        start = static_cast<unsigned char>(c);
        ++m_p;
      }
      if (*m_p != '-' || m_p[1] == '\0' || m_p[1] == ']') {
        add(start);
        continue;
      }
      if (m_p[1] == '\\' && m_p[2] != '\0' && std::strchr("dDsSwW", m_p[2])) {
        // "a-\d": the '-' is a member and the class escape comes next.
        add(start);
        add('-');
        ++m_p;
        continue;
      }
      ++m_p;
      int end;
      if (*m_p == '\\') {
        if (m_p[1] == '\0') {
          ++m_p;
          Fail(110);
        }
        ++m_p;
        end = ParseEscapeCode();
      } else {
        end = static_cast<unsigned char>(*m_p++);
      }
      AddRange(start, end, cyrillic, add);
    }
    return EmitSet(set, negated);
  }

  template <class Add>
  void AddRange(int start, int end, bool cyrillic, Add& add) {
    // Windows-1251 letter ranges, with the yo letters that lie outside them.
    const bool lower = cyrillic && start == 0xE0 && (end == 0xFF || end == 0xDF);
    const bool upper = cyrillic && ((start == 0xC0 && end == 0xDF) || (start == 0xE0 && end == 0xDF));
    if (lower || upper) {
      if (lower) {
        for (int c = 0xE0; c <= 0xFF; ++c) add(c);
        add(0xB8);
      }
      if (upper) {
        for (int c = 0xC0; c <= 0xDF; ++c) add(c);
        add(0xA8);
      }
      return;
    }
    if (end < start) Fail(109);
    for (int c = start; c <= end; ++c) add(c);
  }

  std::int32_t ParseLiteralRun(int& flags) {
    const bool freeSpacing = (m_mods & ModifierX) != 0;
    if (freeSpacing && IsFreeSpace(*m_p)) {
      while (IsFreeSpace(*m_p)) ++m_p;
      return EmitNode(OpComment);
    }
    if (freeSpacing && *m_p == '#') {
      while (*m_p != '\0' && *m_p != '\n' && *m_p != '\r') ++m_p;
      while (*m_p == '\n' || *m_p == '\r') ++m_p;
      return EmitNode(OpComment);
    }
    const char* s = m_p;
    std::size_t len = (*s == '{') ? 1 + RunLength(s + 1, freeSpacing) : RunLength(s, freeSpacing);
    if (len == 0) Fail(119);
    if (len > 1 && IsQuantifier(s[len])) --len;
    m_p = s + len;
    std::string kept;
    kept.reserve(len);
    for (std::size_t i = 0; i < len; ++i)
      if (!freeSpacing || !IsFreeSpace(s[i])) kept.push_back(s[i]);
    flags = FlagHasWidth | (kept.size() == 1 ? FlagSimple : 0);
    return EmitLiteral(kept.data(), static_cast<std::int32_t>(kept.size()));
  }

  static std::size_t RunLength(const char* s, bool freeSpacing) {
    std::size_t n = 0;
    while (s[n] != '\0' && !std::strchr(kMetaChars, s[n]) && !(freeSpacing && s[n] == '#')) ++n;
    return n;
  }

  const char* m_start;
  const char* m_p;
  const TCompileSettings& m_settings;
  RegexModifiers m_mods;
  int m_nextGroup = 1;
  std::vector<std::uint8_t> m_code;
};

}  // namespace

bool ApplyModifierString(const char* text, std::size_t length, RegexModifiers& set) {
  bool on = true;
  for (std::size_t i = 0; i < length; ++i) {
    RegexModifiers bit = 0;
    switch (text[i]) {
      case 'i': case 'I': bit = ModifierI; break;
      case 'r': case 'R': bit = ModifierR; break;
      case 's': case 'S': bit = ModifierS; break;
      case 'g': case 'G': bit = ModifierG; break;
      case 'm': case 'M': bit = ModifierM; break;
      case 'x': case 'X': bit = ModifierX; break;
      case '-': on = false; continue;
      default: return false;
    }
    if (on)
      set |= bit;
    else
      set &= ~bit;
  }
  return true;
}

TCompileResult Compile(const std::string& text, const TCompileSettings& settings) {
  TCompileResult result;
  if (text.empty()) {
    result.errorCode = 100;
    return result;
  }
  TParser parser(text, settings);
  auto program = std::make_unique<TProgram>();
  int flags = 0;
  try {
    program->code = parser.Run(flags);
  } catch (const TParseError& e) {
    result.errorCode = e.code;
    result.errorPos = e.pos;
    return result;
  }
  program->modifiers = settings.modifiers;
  const int error = ComputeHints(*program, (flags & FlagSpStart) != 0, settings.lineSeparators, settings.pairHead,
                                 settings.pairAssigned, settings.invert);
  if (error != 0) {
    result.errorCode = error;
    result.errorPos = parser.Pos();
    return result;
  }
  result.program = std::move(program);
  return result;
}

}  // namespace qv::regex::detail
