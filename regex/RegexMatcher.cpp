// The match stage: picks candidate start positions from the hints and walks
// the node program at each by backtracking. Every choice point and every
// change of group, loop counter or loop depth goes on one explicit stack, so
// failure restores the state exactly and no input length can overflow the
// machine stack; the step budget bounds time and stack size.
// Covered by tests/regex/Matcher_test.cpp and the Perl differential test.
#include "regex/detail/Matcher.h"

#include <cstring>
#include <string_view>

namespace qv::regex::detail {
namespace {

// Registers: group starts, ends and pending opens, the loop depth, one
// counter and one pass start per loop level, the last pass start of each
// greedy complex loop.
constexpr std::int32_t RStart = 0;
constexpr std::int32_t REnd = 15;
constexpr std::int32_t ROpen = 30;
constexpr std::int32_t RDepth = 45;
constexpr std::int32_t RCount = 46;
constexpr std::int32_t RPass = RCount + kMaxLoopDepth + 1;
constexpr std::int32_t RLastPass = RPass + kMaxLoopDepth + 1;

// Stack frames.
enum : std::int32_t {
  FUndo = 0,        // a: register, b: old value
  FAlt = 1,         // a: Branch to resume at, b: position, c: loop id or -1
  FRepeat = 2,      // a: repeat node, b: start, c: count tried
  FRepeatLazy = 3,  // a: repeat node, b: start, c: count tried, d: most
  FLoopExit = 4,    // a: Loop node, b: position
  FLoopMore = 5,    // a: LoopLazy node, b: position
};

struct TRepeatNode {
  std::int32_t min, max, operand, next;
};

inline __attribute__((always_inline)) TRepeatNode DecodeRepeat(const std::uint8_t* code, std::int32_t node) {
  const std::uint8_t* n = code + node;
  TRepeatNode r{};
  switch (n[0]) {
    case OpStar:
    case OpStarLazy:
      r = {0, kRepeatMax, node + kNodeHeader, 0};
      break;
    case OpPlus:
    case OpPlusLazy:
      r = {1, kRepeatMax, node + kNodeHeader, 0};
      break;
    default:
      r = {ReadI32(n + 5), ReadI32(n + 9), node + kNodeHeader + 8, 0};
      break;
  }
  const std::int32_t off = ReadI32(n + 1);
  r.next = off == 0 ? -1 : node + off;
  return r;
}

}  // namespace

bool TMatcher::AtLineBreak(std::int32_t pos) const {
  const std::uint8_t c = m_in[pos];
  if (settings.lineSeparators.Has(c)) return true;
  return settings.pairAssigned && c == settings.pairHead && pos + 1 < m_len && m_in[pos + 1] == settings.pairTail;
}

bool TMatcher::AtLineStart(std::int32_t pos) const {
  if (pos == 0) return true;
  const std::uint8_t c = m_in[pos - 1];
  const bool pair = settings.pairAssigned;
  if (pair && c == settings.pairTail && pos >= 2 && m_in[pos - 2] == settings.pairHead) return true;
  // Never between the two characters of a pair.
  return settings.lineSeparators.Has(c) &&
         !(pair && c == settings.pairHead && pos < m_len && m_in[pos] == settings.pairTail);
}

bool TMatcher::AtLineEnd(std::int32_t pos) const {
  if (pos == m_len) return true;
  const std::uint8_t c = m_in[pos];
  const bool pair = settings.pairAssigned;
  if (pair && c == settings.pairHead && pos + 1 < m_len && m_in[pos + 1] == settings.pairTail) return true;
  return settings.lineSeparators.Has(c) &&
         !(pair && c == settings.pairTail && pos > 0 && m_in[pos - 1] == settings.pairHead);
}

bool TMatcher::AtWordBoundary(std::int32_t pos) const {
  const bool before = pos > 0 && settings.word.Has(m_in[pos - 1]);
  const bool after = pos < m_len && settings.word.Has(m_in[pos]);
  return before != after;
}

std::int32_t TMatcher::UnitOf(std::int32_t operand) const {
  const std::uint8_t* o = m_code + operand;
  if (o[0] != OpBackRef && o[0] != OpBackRefFold) return 1;
  const std::int32_t s = m_regs[static_cast<std::size_t>(RStart + o[5])];
  const std::int32_t e = m_regs[static_cast<std::size_t>(REnd + o[5])];
  return (s < 0 || e < 0) ? 1 : e - s;
}

// How many times in a row the simple node at `operand` matches from pos (at
// most max). unit is the characters per repetition: 1, or the group's length
// for a back reference, 0 for an empty group (which matches empty any number
// of times). -1 with m_error set for a node that is not simple.
std::int32_t TMatcher::Repeat(std::int32_t operand, std::int32_t max, std::int32_t pos, std::int32_t& unit,
                              std::int64_t& steps) {
  const std::uint8_t* o = m_code + operand;
  const std::int32_t left = m_len - pos;
  const std::int32_t k = max < left ? max : left;
  const std::uint8_t* p = m_in + pos;
  std::int32_t i = 0;
  unit = 1;
  switch (o[0]) {
    case OpAnyChar:
      --steps;
      return k;
    case OpLiteral: {
      const std::uint8_t c = o[9];
      while (i < k && p[i] == c) ++i;
      break;
    }
    case OpLiteralFold: {
      const std::uint8_t c = o[9];
      const std::uint8_t ic = settings.invert[c];
      while (i < k && (p[i] == c || p[i] == ic)) ++i;
      break;
    }
    case OpDigit:
      while (i < k && p[i] >= '0' && p[i] <= '9') ++i;
      break;
    case OpNonDigit:
      while (i < k && (p[i] < '0' || p[i] > '9')) ++i;
      break;
    case OpAnyOfThree:
      while (i < k && (p[i] == o[5] || p[i] == o[6] || p[i] == o[7])) ++i;
      break;
    case OpAnyButThree:
      while (i < k && p[i] != o[5] && p[i] != o[6] && p[i] != o[7]) ++i;
      break;
    case OpAnyOfSet:
      while (i < k && ((o[5 + (p[i] >> 3)] >> (p[i] & 7)) & 1)) ++i;
      break;
    case OpBackRef:
    case OpBackRefFold: {
      const std::int32_t s = m_regs[static_cast<std::size_t>(RStart + o[5])];
      const std::int32_t e = m_regs[static_cast<std::size_t>(REnd + o[5])];
      if (s < 0 || e < 0) return 0;
      const std::int32_t l = e - s;
      if (l == 0) {
        unit = 0;
        return max;
      }
      unit = l;
      const bool fold = o[0] == OpBackRefFold;
      std::int32_t at = pos;
      std::int32_t count = 0;
      while (count < max && m_len - at >= l) {
        std::int32_t j = 0;
        for (; j < l; ++j) {
          const std::uint8_t g = m_in[s + j];
          const std::uint8_t c = m_in[at + j];
          if (c != g && !(fold && c == settings.invert[g])) break;
        }
        steps -= j;
        if (j < l) break;
        at += l;
        ++count;
      }
      return count;
    }
    default:
      m_error = 1000;
      return -1;
  }
  steps -= i;
  return i;
}

int TMatcher::Run(std::int32_t start) {
  const std::uint8_t* const code = m_code;
  const std::uint8_t* const in = m_in;
  const std::int32_t len = m_len;
  std::int32_t* const regs = m_regs.data();
  const std::int32_t* const loopChoice = m_program->loopChoice.empty() ? nullptr : m_program->loopChoice.data();
  const std::int32_t* const repeatHint = m_program->repeatHint.data();
  std::int32_t node = 1;
  std::int32_t pos = start;
  std::int64_t steps = m_steps;
  m_sp = 0;

  // A simple repeat tries only counts after which its continuation can read
  // its first character.
  auto hintOk = [&](std::int32_t hint, std::int32_t at) {
    return hint < 0 || (at < len && (in[at] == (hint & 0xFF) || in[at] == (hint >> 8)));
  };
  // Every exit leaves the steps left to the next attempt of the search.
  struct TSync {
    std::int64_t& from;
    std::int64_t& to;
    ~TSync() { to = from; }
  } sync{steps, m_steps};

  for (;;) {
    if (--steps < 0) return kStepBudgetError;
    const std::uint8_t* n = code + node;
    const std::int32_t off = ReadI32(n + 1);
    switch (n[0]) {
      case OpEnd:
        m_endPos = pos;
        return 1;
      case OpInputStart:
        if (pos != 0) goto fail;
        break;
      case OpInputEnd:
        if (pos != len) goto fail;
        break;
      case OpAnyChar:
        if (pos >= len) goto fail;
        ++pos;
        break;
      case OpAnyButLineBreak:
        if (pos >= len || AtLineBreak(pos)) goto fail;
        ++pos;
        break;
      case OpDigit:
        if (pos >= len || in[pos] < '0' || in[pos] > '9') goto fail;
        ++pos;
        break;
      case OpNonDigit:
        if (pos >= len || (in[pos] >= '0' && in[pos] <= '9')) goto fail;
        ++pos;
        break;
      case OpAnyOfThree:
        if (pos >= len || (in[pos] != n[5] && in[pos] != n[6] && in[pos] != n[7])) goto fail;
        ++pos;
        break;
      case OpAnyButThree:
        if (pos >= len || in[pos] == n[5] || in[pos] == n[6] || in[pos] == n[7]) goto fail;
        ++pos;
        break;
      case OpAnyOfSet:
        if (pos >= len || !((n[5 + (in[pos] >> 3)] >> (in[pos] & 7)) & 1)) goto fail;
        ++pos;
        break;
      case OpLiteral: {
        const std::int32_t l = ReadI32(n + 5);
        if (len - pos < l || in[pos] != n[9] ||
            (l > 1 && std::memcmp(in + pos + 1, n + 10, static_cast<std::size_t>(l - 1)) != 0))
          goto fail;
        pos += l;
        break;
      }
      case OpLiteralFold: {
        const std::int32_t l = ReadI32(n + 5);
        if (len - pos < l) goto fail;
        for (std::int32_t j = 0; j < l; ++j) {
          const std::uint8_t e = n[9 + j];
          const std::uint8_t c = in[pos + j];
          if (c != e && c != settings.invert[e]) goto fail;
        }
        pos += l;
        break;
      }
      case OpBackRef:
      case OpBackRefFold: {
        const std::int32_t s = regs[RStart + n[5]];
        const std::int32_t e = regs[REnd + n[5]];
        if (s < 0 || e < 0) goto fail;
        const std::int32_t l = e - s;
        if (len - pos < l) goto fail;
        const bool fold = n[0] == OpBackRefFold;
        for (std::int32_t j = 0; j < l; ++j) {
          const std::uint8_t g = in[s + j];
          const std::uint8_t c = in[pos + j];
          if (c != g && !(fold && c == settings.invert[g])) goto fail;
        }
        steps -= l;
        pos += l;
        break;
      }
      case OpBack:
      case OpNothing:
      case OpComment:
        break;
      case OpLineStart:
        if (!AtLineStart(pos)) goto fail;
        break;
      case OpLineEnd:
        if (!AtLineEnd(pos)) goto fail;
        break;
      case OpWordBoundary:
        if (!AtWordBoundary(pos)) goto fail;
        break;
      case OpNotWordBoundary:
        if (AtWordBoundary(pos)) goto fail;
        break;
      case OpBranch: {
        const std::int32_t next = off == 0 ? -1 : node + off;
        if (next < 0 || code[next] != OpBranch) {
          node += kNodeHeader;
          continue;
        }
        const std::int32_t id = loopChoice ? loopChoice[node] : -1;
        if (id >= 0) {
          const std::int32_t reg = RLastPass + id;
          if (regs[reg] == pos) {
            // The last pass of this loop consumed nothing: leave the loop.
            Set(reg, -1);
            node = next;
            continue;
          }
          Push(FAlt, next, pos, id);
          Set(reg, pos);
        } else {
          Push(FAlt, next, pos, -1);
        }
        node += kNodeHeader;
        continue;
      }
      case OpStar:
      case OpPlus:
      case OpBraces:
      case OpStarLazy:
      case OpPlusLazy:
      case OpBracesLazy: {
        const TRepeatNode r = DecodeRepeat(code, node);
        const std::int32_t hint = repeatHint[node];
        std::int32_t unit = 1;
        std::int32_t count = Repeat(r.operand, r.max, pos, unit, steps);
        if (count < 0) return m_error;
        if (unit == 0) count = r.min;  // an empty group: every count ends at the same place
        if (count < r.min) goto fail;
        if (r.next < 0) return 1002;
        const bool greedy = n[0] == OpStar || n[0] == OpPlus || n[0] == OpBraces;
        std::int32_t k = greedy ? count : r.min;
        if (greedy) {
          while (k >= r.min && !hintOk(hint, pos + k * unit)) --k, --steps;
          if (k < r.min) goto fail;
          if (k > r.min) Push(FRepeat, node, pos, k);
        } else {
          while (k <= count && !hintOk(hint, pos + k * unit)) ++k, --steps;
          if (k > count) goto fail;
          if (k < count) Push(FRepeatLazy, node, pos, k, count);
        }
        pos += k * unit;
        node = r.next;
        continue;
      }
      case OpLoopEntry: {
        const std::int32_t depth = regs[RDepth] + 1;
        if (depth > kMaxLoopDepth) return 1014;
        Set(RDepth, depth);
        Set(RCount + depth, 0);
        break;
      }
      case OpLoop:
      case OpLoopLazy: {
        const std::int32_t depth = regs[RDepth];
        if (depth <= 0) return 1015;
        const std::int32_t min = ReadI32(n + 5);
        const std::int32_t max = ReadI32(n + 9);
        const std::int32_t body = node + ReadI32(n + 13);
        const std::int32_t c = regs[RCount + depth];
        if (c >= 1 && c >= min && regs[RPass + depth] == pos) {
          // The last pass consumed nothing: more passes would not either.
          Set(RDepth, depth - 1);
          break;
        }
        if (c < min || (n[0] == OpLoop && c < max)) {
          if (c >= min) Push(FLoopExit, node, pos);
          Set(RCount + depth, c + 1);
          Set(RPass + depth, pos);
          node = body;
          continue;
        }
        if (n[0] == OpLoopLazy) Push(FLoopMore, node, pos);
        // The continuation sees the enclosing loop's level.
        Set(RDepth, depth - 1);
        break;
      }
      default:
        if (n[0] >= OpOpen1 && n[0] < OpOpen1 + kMaxGroups) {
          Set(ROpen + (n[0] - OpOpen1 + 1), pos);
          break;
        }
        if (n[0] >= OpClose1 && n[0] < OpClose1 + kMaxGroups) {
          const std::int32_t g = n[0] - OpClose1 + 1;
          Set(RStart + g, regs[ROpen + g]);
          Set(REnd + g, pos);
          break;
        }
        return 1001;
    }
    if (off == 0) return 1002;
    node += off;
    continue;

  fail:
    for (;;) {
      if (m_sp == 0) return 0;
      const TFrame f = m_stack[--m_sp];
      if (f.kind == FUndo) {
        regs[f.a] = f.b;
        continue;
      }
      if (--steps < 0) return kStepBudgetError;
      if (f.kind == FAlt) {
        pos = f.b;
        node = f.a;
        if (f.c >= 0) Set(RLastPass + f.c, -1);
        break;
      }
      if (f.kind == FRepeat || f.kind == FRepeatLazy) {
        const TRepeatNode r = DecodeRepeat(code, f.a);
        const std::int32_t hint = repeatHint[f.a];
        const std::int32_t unit = UnitOf(r.operand);
        std::int32_t k = f.c;
        if (f.kind == FRepeat) {
          --k;
          while (k >= r.min && !hintOk(hint, f.b + k * unit)) --k, --steps;
          if (k < r.min) continue;
          if (k > r.min) Push(FRepeat, f.a, f.b, k);
        } else {
          ++k;
          while (k <= f.d && !hintOk(hint, f.b + k * unit)) ++k, --steps;
          if (k > f.d) continue;
          if (k < f.d) Push(FRepeatLazy, f.a, f.b, k, f.d);
        }
        pos = f.b + k * unit;
        node = r.next;
        break;
      }
      // FLoopExit and FLoopMore: the level is the loop's own again here.
      const std::uint8_t* ln = code + f.a;
      const std::int32_t depth = regs[RDepth];
      pos = f.b;
      if (f.kind == FLoopExit) {
        Set(RDepth, depth - 1);
        const std::int32_t loff = ReadI32(ln + 1);
        if (loff == 0) return 1002;
        node = f.a + loff;
        break;
      }
      const std::int32_t c = regs[RCount + depth];
      if (c >= ReadI32(ln + 9)) continue;
      Set(RCount + depth, c + 1);
      Set(RPass + depth, pos);
      node = f.a + ReadI32(ln + 13);
      break;
    }
  }
}

int TMatcher::Search(const TProgram& program, const std::uint8_t* input, std::int32_t length, std::int32_t from,
                     std::uint64_t budget, std::int32_t* starts, std::int32_t* ends) {
  m_program = &program;
  m_code = program.code.data();
  m_in = input;
  m_len = length;
  m_steps = budget > static_cast<std::uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<std::int64_t>(budget);
  m_error = 0;
  // Registers start every attempt at "nothing set": a failed attempt leaves
  // them so by itself, a successful one is unwound below.
  const auto need = static_cast<std::size_t>(RLastPass + program.loopCount);
  if (m_regs.size() < need) {
    m_regs.assign(need, -1);
    m_regs[RDepth] = 0;
  }

  if (program.mustAt >= 0) {
    const std::string_view hay(reinterpret_cast<const char*>(input) + from, static_cast<std::size_t>(length - from));
    const std::string_view needle(reinterpret_cast<const char*>(m_code) + program.mustAt,
                                  static_cast<std::size_t>(program.mustLength));
    if (hay.find(needle) == std::string_view::npos) return 0;
  }

  auto attempt = [&](std::int32_t p) {
    const int r = Run(p);
    if (r == 1) {
      starts[0] = p;
      ends[0] = m_endPos;
      for (int g = 1; g <= program.groupCount; ++g) {
        starts[g] = m_regs[static_cast<std::size_t>(RStart + g)];
        ends[g] = m_regs[static_cast<std::size_t>(REnd + g)];
      }
      while (m_sp > 0) {
        const TFrame& f = m_stack[--m_sp];
        if (f.kind == FUndo) m_regs[static_cast<std::size_t>(f.a)] = f.b;
      }
    } else if (r != 0) {
      m_regs.clear();  // an error leaves them anyhow: start afresh next time
    }
    return r;
  };

  if (program.anchored) return attempt(from);
  if (program.startChar != 0) {
    for (std::int32_t p = from; p < length; ++p) {
      const void* hit = std::memchr(input + p, program.startChar, static_cast<std::size_t>(length - p));
      if (!hit) return 0;
      p = static_cast<std::int32_t>(static_cast<const std::uint8_t*>(hit) - input);
      const int r = attempt(p);
      if (r != 0) return r;
    }
    return 0;
  }
  const std::uint8_t* const first = program.firstTable;
  for (std::int32_t p = from; p < length; ++p) {
    if (!first[input[p]]) continue;
    const int r = attempt(p);
    if (r != 0) return r;
  }
  // The end of the input is a candidate like a NUL character.
  return first[0] ? attempt(length) : 0;
}

}  // namespace qv::regex::detail
