// The match stage: picks candidate start positions from the hints and walks
// the node program at each by backtracking. Every choice point and every
// change of group, loop counter or loop depth goes on one explicit stack, so
// failure restores the state exactly and no input length can overflow the
// machine stack; the step budget bounds time and stack size. A choice whose
// other alternatives cannot read the next character leaves nothing on the
// stack, which keeps loops that run once per character at a few words a pass.
// Covered by tests/regex/Matcher_test.cpp and the Perl differential test.
#include "regex/detail/Matcher.h"

#include <algorithm>
#include <cstdlib>
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

// Stack frames: the words below the tag, and the tag's field.
enum : std::uint32_t {
  FUndo = 0,        // old value; register
  FUndoGroup = 1,   // old start, old end; group
  FAlt = 2,         // position; Branch to resume at
  FLoopAlt = 3,     // position, old last pass start; the loop's choice Branch
  FRepeat = 4,      // start, count tried; repeat node
  FRepeatLazy = 5,  // start, count tried, most; repeat node
  FLoopExit = 6,    // position; Loop node
  FLoopMore = 7,    // position; LoopLazy node
  // A repeat whose extension is marked once every count has failed.
  FRepeatMarked = 8,      // start, count tried, most; repeat node
  FRepeatLazyMarked = 9,  // start, count tried, most; repeat node
};
constexpr int kFrameWords[10] = {2, 3, 2, 3, 3, 4, 2, 2, 4, 4};

using TStack = TBacktrackStack;

// The visited set is kept to this many bits (32 MiB); a longer product of
// choice points and positions searches without it.
constexpr std::uint64_t kVisitedBits = std::uint64_t{32} << 23;
// Freed at the end of a search when larger (bytes).
constexpr std::size_t kVisitedKept = std::size_t{1} << 16;
// The steps each state the set records pays for, beyond two per node of the
// program: a walk from one recorded state to the next goes through each
// node at most once, and a few more pay for the backtracks between.
constexpr std::int64_t kStepsPerState = 32;
// A simple repeat with an upper bound short of the subject's end reads its
// run without the extension marks: up to this bound, each entry's reading
// goes on the states' pay too; beyond it the search keeps the fixed budget.
constexpr std::int32_t kShortRepeat = 64;

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

void TMatcher::TFree::operator()(std::uint64_t* p) const { std::free(p); }

void TMatcher::Set(std::int32_t reg, std::int32_t value) {
  m_stack.Push(static_cast<std::uint32_t>(m_regs[static_cast<std::size_t>(reg)]), TStack::Tag(FUndo, reg));
  m_regs[static_cast<std::size_t>(reg)] = value;
}

// Only programs whose control flow depends on nothing but the node, the
// position and the state of their loops qualify: a back reference reads
// the groups. Each choice point gets one row of positions per state of the
// counters around it that can change what it does; a choice point whose
// rows would not fit is never recorded.
__attribute__((noinline)) void TMatcher::StartVisiting() {
  m_visitFrom = 0;
  if (!m_program->mayVisit || settings.visited == TMatchSettings::TVisited::Never) return;
  if (!m_program->visit) BuildVisitTables(*m_program);
  const TProgram::TVisitTables& v = *m_program->visit;
  const auto width = static_cast<std::uint64_t>(m_len) + 1;
  const std::uint64_t rowsMost = kVisitedBits / width;
  // A loop allowed more passes than the subject has characters beyond its
  // least count never reaches its bound: each pass past the least count
  // consumes a character, or is the last.
  m_levelCap.resize(v.levelMins.size());
  for (std::size_t l = 0; l < v.levelMins.size(); ++l) {
    const std::int64_t max = v.levelMaxes[l];
    const bool bounded = max != kInfinite && max - v.levelMins[l] <= static_cast<std::int64_t>(m_len) + 1;
    m_levelCap[l] = bounded ? static_cast<std::int32_t>(max) : v.levelMins[l];
  }
  // A row per state of the counters around each choice point; then, where
  // they fit too, one per such state and count of loops around whose pass
  // began at the row's place (without them those states go unrecorded).
  m_rowBase.assign(2 * static_cast<std::size_t>(v.count), -1);
  std::uint64_t rows = 0;
  auto counterStates = [&](std::int32_t i) {
    const std::int32_t levels = v.levelCount[static_cast<std::size_t>(i)];
    std::uint64_t own = 1;
    for (std::int32_t d = 0; d < levels && own <= rowsMost; ++d)
      own *= static_cast<std::uint64_t>(m_levelCap[static_cast<std::size_t>(v.levelAt[static_cast<std::size_t>(i)] + d)]) + 1;
    return own;
  };
  for (std::int32_t i = 0; i < v.count; ++i) {
    if (v.levelCount[static_cast<std::size_t>(i)] < 0) continue;
    const std::uint64_t own = counterStates(i);
    if (own > rowsMost - rows) continue;
    m_rowBase[2 * static_cast<std::size_t>(i)] = static_cast<std::int64_t>(rows);
    rows += own;
  }
  bool bounded = true;
  for (std::int32_t i = 0; i < v.count; ++i) {
    const auto around = static_cast<std::uint64_t>(v.emptyCount[static_cast<std::size_t>(i)]);
    if (m_rowBase[2 * static_cast<std::size_t>(i)] < 0) {
      bounded = false;
      continue;
    }
    if (around == 0) continue;
    const std::uint64_t own = counterStates(i);
    if (own > (rowsMost - rows) / around) {
      bounded = false;
      continue;
    }
    m_rowBase[2 * static_cast<std::size_t>(i) + 1] = static_cast<std::int64_t>(rows);
    rows += own * around;
  }
  const std::uint64_t bits = rows * width;
  if (bits == 0) return;
  // When every state has its row, each fails at most once and the set
  // bounds the search's work: it gets steps as it records states, whatever
  // the budget. Not when a repeat may read a long run from each of many
  // places without the marks.
  std::int64_t perState = kStepsPerState + 2 * static_cast<std::int64_t>(v.nodes);
  for (const std::int32_t max : v.repeatMaxes) {
    if (max >= m_len) continue;
    if (max > kShortRepeat) bounded = false;
    perState += 2 * static_cast<std::int64_t>(max) + 2;
  }
  const std::size_t words = static_cast<std::size_t>((bits + 63) / 64);
  if (words > m_visitedWords) {
    // calloc: fresh pages are zero without being touched.
    m_visited.reset(static_cast<std::uint64_t*>(std::calloc(words, sizeof(std::uint64_t))));
    m_visitedWords = m_visited ? words : 0;
    if (!m_visited) return;
  }
  m_visiting = true;
  m_perState = bounded ? perState : 0;
  m_recorded = m_paid = 0;
  m_payLeft = settings.boundedMost;
}

// The slow path of a step count that fell below 0: the visited set comes
// in at its threshold, or the count gets the steps that the states
// recorded since its last call pay for. The new count; below 0 when the
// budget is spent.
__attribute__((noinline)) std::int64_t TMatcher::MoreSteps(std::int64_t steps) {
  if (m_visitFrom > 0) {
    steps += m_visitFrom;
    if (steps >= 0) StartVisiting();
    return steps;
  }
  const std::int64_t pay = std::min(m_perState * (m_recorded - m_paid), m_payLeft);
  m_paid = m_recorded;
  m_payLeft -= pay;
  return steps + pay;
}

// The bit of the state (choice point `index`, position `at`) under the
// current loop state, or -1 when that state is not recorded. A loop whose
// pass began at `at` has consumed nothing yet, and would leave where it
// otherwise goes round: such loops are the innermost few around the
// choice point (their passes began no earlier than the outer ones'), and
// how many they are picks one of its rows. Any other loop state is left
// unrecorded, as is every such state of a repeat's extension.
std::int64_t TMatcher::StateBit(std::int32_t index, std::int32_t at) const {
  const TProgram& p = *m_program;
  const TProgram::TVisitTables& v = *p.visit;
  const std::int32_t* regs = m_regs.data();
  const std::int64_t base = m_rowBase[2 * static_cast<std::size_t>(index)];
  if (base < 0) return -1;
  std::int32_t empty = 0;
  for (int id = 0; id < p.loopCount; ++id) empty += regs[RLastPass + id] == at;
  const std::int32_t levels = v.levelCount[static_cast<std::size_t>(index)];
  std::int64_t key = 0;
  if (levels != 0) {
    if (levels != regs[RDepth]) return -1;
    const std::int32_t* caps = m_levelCap.data() + v.levelAt[static_cast<std::size_t>(index)];
    for (std::int32_t d = 1; d <= levels; ++d) {
      empty += regs[RPass + d] == at;
      const std::int32_t cap = caps[d - 1];
      key = key * (cap + 1) + std::min(regs[RCount + d], cap);
    }
  }
  const std::int32_t around = v.emptyCount[static_cast<std::size_t>(index)];
  if (around != 0) {
    std::int32_t inner = 0;
    if (empty != 0) {
      const std::int32_t* loops = v.emptyLoops.data() + v.emptyAt[static_cast<std::size_t>(index)];
      for (; inner < around; ++inner) {
        const std::int32_t l = loops[around - 1 - inner];
        if (regs[l < 0 ? RPass - l : RLastPass + l] != at) break;
      }
    }
    if (inner != empty) return -1;
    if (inner != 0) {
      const std::int64_t emptyBase = m_rowBase[2 * static_cast<std::size_t>(index) + 1];
      if (emptyBase < 0) return -1;
      return (emptyBase + key * around + inner - 1) * (static_cast<std::int64_t>(m_len) + 1) + at;
    }
  } else if (empty != 0) {
    return -1;
  }
  return (base + key) * (static_cast<std::int64_t>(m_len) + 1) + at;
}

bool TMatcher::BitSet(std::int64_t bit) const {
  return (m_visited.get()[bit >> 6] >> (bit & 63)) & 1u;
}

void TMatcher::SetBit(std::int64_t bit) {
  std::uint64_t& word = m_visited.get()[bit >> 6];
  if (word == 0) m_dirty.push_back(static_cast<std::uint32_t>(bit >> 6));
  word |= std::uint64_t{1} << (bit & 63);
  ++m_recorded;
}

// True when the state (choice point `node`, position `at`) is new, and marks
// it; false when it was explored before, and so failed.
__attribute__((noinline)) bool TMatcher::Visit(std::int32_t node, std::int32_t at) {
  const std::int64_t bit = StateBit(m_program->visit->index[static_cast<std::size_t>(node)], at);
  if (bit < 0) return true;
  if (BitSet(bit)) return false;
  SetBit(bit);
  return true;
}

// A simple repeat's extension at q: every continuation from q to the end
// of the operand's run there has failed. Marked over ranges that end where
// the run ends or where marks begin, so the marks of one run form a suffix
// of it. -1 when the repeat has no extension row in the current state; the
// bit of `from` (the least count's position) otherwise.
std::int64_t TMatcher::ExtensionBit(std::int32_t repeat, std::int32_t from) const {
  return StateBit(m_program->visit->index[static_cast<std::size_t>(repeat)] + 1, from);
}

// The extension's bit for a repeat at pos, and the first count it stands
// for: the least one, or 1 when a count of 0 ends where a loop's pass began
// (not the bare state, see StateBit; every later count lies past the pass
// starts). That count is tried without marks.
__attribute__((noinline)) std::int64_t TMatcher::ExtensionStart(std::int32_t repeat, std::int32_t pos,
                                                                std::int32_t min, std::int32_t& first) const {
  first = min;
  std::int64_t bit = ExtensionBit(repeat, pos + min);
  if (bit < 0 && min == 0 && pos < m_len) {
    first = 1;
    bit = ExtensionBit(repeat, pos + 1);
  }
  return bit;
}

// The highest count worth trying from pos: the operand's run, cut before
// the first marked extension (whose bit for count `first` is given). The
// run is read in growing chunks, each followed by a look at the mark where
// it ends: the marks of a run form a suffix of it, so a search that meets
// one run from many places reads each part of it a bounded number of
// times, not once per place. -1 with m_error for a node that is not simple.
__attribute__((noinline)) std::int32_t TMatcher::RunToMark(std::int32_t operand, std::int32_t pos,
                                                          std::int32_t first, std::int64_t bit, std::int64_t& steps) {
  std::int32_t count = 0;
  std::int32_t chunk = 64;
  for (;;) {
    std::int32_t unit = 1;
    const std::int32_t got = Repeat(operand, chunk, pos + count, unit, steps);
    if (got < 0) return -1;
    count += got;
    if (count >= first && BitSet(bit + (count - first))) return FirstMarked(bit, pos + first, pos + count) - 1 - pos;
    if (got < chunk) return count;
    if (chunk < (1 << 29)) chunk *= 2;
  }
}

// The first marked extension in [from, to] given the bit of `from`, or to + 1.
std::int32_t TMatcher::FirstMarked(std::int64_t bit, std::int32_t from, std::int32_t to) const {
  if (BitSet(bit)) return from;
  std::int32_t lo = from, hi = to + 1;  // lo unmarked; hi marked or past the end
  while (hi - lo > 1) {
    const std::int32_t mid = lo + (hi - lo) / 2;
    if (BitSet(bit + (mid - from)))
      hi = mid;
    else
      lo = mid;
  }
  return hi;
}

// A lazy repeat with extension marks (whose bit for count `first` is
// given): the first count from k on worth trying, or -1 once none is, with
// the counts tried marked. The operand's run is read only as far as the
// counts go (known: the characters it is known to match), so a search that
// meets one run from many places does not read all of it each time. Out of
// line, like the rest of the set's work: most searches never need it.
__attribute__((noinline)) std::int32_t TMatcher::LazyCount(std::int32_t repeat, std::int32_t operand,
                                                          std::int32_t hint, std::int32_t from, std::int32_t k,
                                                          std::int32_t& known, std::int32_t first, std::int64_t mark,
                                                          std::int64_t& steps) {
  for (;; ++k, --steps) {
    if (k > known) {
      std::int32_t unit = 1;
      if (Repeat(operand, 1, from + known, unit, steps) <= 0) break;
      ++known;
    }
    // Marks further on: what the counts tried so far explored.
    if (k >= first && BitSet(mark + (k - first))) break;
    if (HintOk(hint, from + k) && Visit(repeat, from + k)) return k;
  }
  if (k > first) MarkExtension(mark, k - first);
  return -1;
}

// Marks the extension over count places from `bit`, up to where marks
// begin: the rest of the run is marked already.
void TMatcher::MarkExtension(std::int64_t bit, std::int32_t count) {
  for (std::int32_t i = 0; i < count && !BitSet(bit + i); ++i) SetBit(bit + i);
}

__attribute__((noinline)) void TMatcher::EndVisiting() {
  m_visiting = false;
  m_perState = 0;
  if (m_visitedWords * sizeof(std::uint64_t) > kVisitedKept) {
    m_visited.reset();
    m_visitedWords = 0;
  } else {
    for (const std::uint32_t w : m_dirty) m_visited.get()[w] = 0;
  }
  m_dirty.clear();
}

// After a match: the registers go back to "nothing set" for the next search,
// and the frames left are dropped. Resetting the few registers the program
// uses is cheaper than popping its frames one by one, each pop waiting for
// the tag of the one above.
void TMatcher::Unwind() {
  const TProgram& p = *m_program;
  std::int32_t* const regs = m_regs.data();
  for (int g = 1; g <= p.groupCount; ++g) regs[RStart + g] = regs[REnd + g] = regs[ROpen + g] = -1;
  regs[RDepth] = 0;
  if (p.hasCountedLoops) std::fill(regs + RCount, regs + RLastPass, -1);
  std::fill(regs + RLastPass, regs + RLastPass + p.loopCount, -1);
  m_stack.Clear();
}

int TMatcher::Run(std::int32_t start) {
  const std::uint8_t* const code = m_code;
  const std::uint8_t* const in = m_in;
  const std::int32_t len = m_len;
  std::int32_t* const regs = m_regs.data();
  const std::int32_t* const loopChoice = m_program->loopChoice.empty() ? nullptr : m_program->loopChoice.data();
  const std::int32_t* const repeatHint = m_program->repeatHint.data();
  const std::int32_t* const altSet = m_program->altSet.empty() ? nullptr : m_program->altSet.data();
  const TCharSet* const altSets = m_program->altSets.data();
  TStack& stack = m_stack;  // empty: every attempt leaves it so
  std::int32_t node = m_program->entry;
  std::int32_t pos = start;
  // The steps left above m_visitFrom, where the visited set comes in (0
  // once it has, or was declined): one comparison with 0 per step serves
  // it and the budget, and holds no bound in a register. A search that
  // never backtracks to a choice still reaches it.
  std::int64_t steps = m_steps - m_visitFrom;

  // A simple repeat tries only counts after which its continuation can read
  // its first character, and not yet explored.
  auto hintOk = [&](std::int32_t hint, std::int32_t at) {
    return hint < 0 || (at < len && (in[at] == (hint & 0xFF) || in[at] == (hint >> 8)));
  };
  auto tryCount = [&](std::int32_t repeat, std::int32_t hint, std::int32_t at) {
    return hintOk(hint, at) && (!m_visiting || Visit(repeat, at));
  };
  auto nextOf = [&](std::int32_t n) {
    const std::int32_t off = ReadI32(code + n + 1);
    return off == 0 ? -1 : n + off;
  };
  // Every exit leaves the steps left to the next attempt of the search.
  struct TSync {
    std::int64_t& from;
    TMatcher& m;
    ~TSync() { m.m_steps = from + m.m_visitFrom; }
  } sync{steps, *this};

  for (;;) {
    if (--steps < 0 && (steps = MoreSteps(steps)) < 0) return kStepBudgetError;
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
        if (id >= 0 && regs[RLastPass + id] == pos) {
          // The last pass of this loop consumed nothing: leave the loop.
          Set(RLastPass + id, -1);
          node = next;
          continue;
        }
        if (m_visiting && !Visit(node, pos)) goto fail;
        // The alternative to enter, and whether any after it could start here.
        std::int32_t alt = node;
        bool keep = true;
        if (altSet) {
          const std::uint8_t c = pos < len ? in[pos] : 0;
          std::int32_t i = altSet[node];
          if (id < 0) {
            while (i >= 0 && !altSets[i].Has(c)) {
              alt = nextOf(alt);
              i = altSet[alt];
            }
          }
          keep = i >= 0 && altSets[i + 1].Has(c);
        }
        if (id >= 0) {
          const std::int32_t reg = RLastPass + id;
          if (keep) {
            stack.Push(static_cast<std::uint32_t>(pos), static_cast<std::uint32_t>(regs[reg]), TStack::Tag(FLoopAlt, node));
            regs[reg] = pos;
          } else {
            Set(reg, pos);
          }
        } else if (keep) {
          stack.Push(static_cast<std::uint32_t>(pos), TStack::Tag(FAlt, nextOf(alt)));
        }
        node = alt + kNodeHeader;
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
        const bool greedy = n[0] == OpStar || n[0] == OpPlus || n[0] == OpBraces;
        // Without a bound short of the subject's end, the counts a repeat
        // tries from here run to where its operand's run ends, and the
        // extension marks tell which of them are known to fail: a search
        // that meets the same run from many places tries each count once.
        std::int64_t mark = -1;
        std::int32_t first = r.min;  // the first count the marks stand for
        if (m_visiting && r.max >= len - pos) {
          if (static_cast<std::int64_t>(pos) + r.min > len) goto fail;
          mark = ExtensionStart(node, pos, r.min, first);
          if (mark >= 0 && first == r.min && BitSet(mark)) goto fail;
        }
        if (mark >= 0 && greedy) {
          const std::int32_t count = RunToMark(r.operand, pos, first, mark, steps);
          if (count < 0) return m_error;
          if (count < r.min) goto fail;
          if (r.next < 0) return 1002;
          std::int32_t k = count;
          while (k >= r.min && !tryCount(node, hint, pos + k)) --k, --steps;
          if (k < r.min) {
            if (count >= first) MarkExtension(mark, count - first + 1);
            goto fail;
          }
          stack.Push(static_cast<std::uint32_t>(pos), static_cast<std::uint32_t>(k), static_cast<std::uint32_t>(count),
                     TStack::Tag(FRepeatMarked, node));
          pos += k;
          node = r.next;
          continue;
        }
        if (mark >= 0) {
          std::int32_t unit = 1;
          std::int32_t known = Repeat(r.operand, r.min, pos, unit, steps);
          if (known < 0) return m_error;
          if (known < r.min) goto fail;
          if (r.next < 0) return 1002;
          const std::int32_t k = LazyCount(node, r.operand, hint, pos, r.min, known, first, mark, steps);
          if (k < 0) goto fail;
          stack.Push(static_cast<std::uint32_t>(pos), static_cast<std::uint32_t>(k), static_cast<std::uint32_t>(known),
                     TStack::Tag(FRepeatLazyMarked, node));
          pos += k;
          node = r.next;
          continue;
        }
        std::int32_t unit = 1;
        std::int32_t count = Repeat(r.operand, r.max, pos, unit, steps);
        if (count < 0) return m_error;
        if (unit == 0) count = r.min;  // an empty group: every count ends at the same place
        if (count < r.min) goto fail;
        if (r.next < 0) return 1002;
        std::int32_t k = greedy ? count : r.min;
        if (greedy) {
          if (m_visiting)
            while (k >= r.min && !tryCount(node, hint, pos + k * unit)) --k, --steps;
          else
            while (k >= r.min && !hintOk(hint, pos + k * unit)) --k, --steps;
          if (k < r.min) goto fail;
          if (k > r.min)
            stack.Push(static_cast<std::uint32_t>(pos), static_cast<std::uint32_t>(k), TStack::Tag(FRepeat, node));
        } else {
          if (m_visiting)
            while (k <= count && !tryCount(node, hint, pos + k * unit)) ++k, --steps;
          else
            while (k <= count && !hintOk(hint, pos + k * unit)) ++k, --steps;
          if (k > count) goto fail;
          if (k < count)
            stack.Push(static_cast<std::uint32_t>(pos), static_cast<std::uint32_t>(k), static_cast<std::uint32_t>(count),
                       TStack::Tag(FRepeatLazy, node));
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
        if (m_visiting && !Visit(node, pos)) goto fail;
        if (c < min || (n[0] == OpLoop && c < max)) {
          if (c >= min) stack.Push(static_cast<std::uint32_t>(pos), TStack::Tag(FLoopExit, node));
          Set(RCount + depth, c + 1);
          Set(RPass + depth, pos);
          node = body;
          continue;
        }
        if (n[0] == OpLoopLazy) stack.Push(static_cast<std::uint32_t>(pos), TStack::Tag(FLoopMore, node));
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
          stack.Push(static_cast<std::uint32_t>(regs[RStart + g]), static_cast<std::uint32_t>(regs[REnd + g]),
                     TStack::Tag(FUndoGroup, g));
          regs[RStart + g] = regs[ROpen + g];
          regs[REnd + g] = pos;
          break;
        }
        return 1001;
    }
    if (off == 0) return 1002;
    node += off;
    continue;

  fail:
    for (;;) {
      std::uint32_t tag = 0;
      if (!stack.Top(tag)) return 0;
      const std::uint32_t kind = TStack::KindOf(tag);
      const std::int32_t a = TStack::FieldOf(tag);
      const std::uint32_t* w = stack.Pop(kFrameWords[kind]);
      if (kind == FUndo) {
        regs[a] = static_cast<std::int32_t>(w[0]);
        continue;
      }
      if (kind == FUndoGroup) {
        regs[RStart + a] = static_cast<std::int32_t>(w[0]);
        regs[REnd + a] = static_cast<std::int32_t>(w[1]);
        continue;
      }
      if (--steps < 0 && (steps = MoreSteps(steps)) < 0) return kStepBudgetError;
      pos = static_cast<std::int32_t>(w[0]);
      if (kind == FAlt) {
        node = a;
        break;
      }
      if (kind == FLoopAlt) {
        const std::int32_t reg = RLastPass + loopChoice[a];
        regs[reg] = static_cast<std::int32_t>(w[1]);
        Set(reg, -1);
        node = nextOf(a);
        break;
      }
      if (kind == FRepeatMarked || kind == FRepeatLazyMarked) {
        // The registers are as they were when the repeat began: its
        // extension's bit is found again.
        const TRepeatNode r = DecodeRepeat(code, a);
        const std::int32_t hint = repeatHint[a];
        const std::int32_t from = pos;
        // most: the highest count (greedy), or the characters the operand
        // is known to match (lazy).
        std::int32_t most = static_cast<std::int32_t>(w[2]);
        std::int32_t k = static_cast<std::int32_t>(w[1]);
        std::int32_t first = r.min;
        const std::int64_t mark = ExtensionStart(a, from, r.min, first);
        if (kind == FRepeatMarked) {
          --k;
          while (k >= r.min && !tryCount(a, hint, from + k)) --k, --steps;
          if (k < r.min) {
            if (most >= first) MarkExtension(mark, most - first + 1);
            continue;
          }
        } else {
          k = LazyCount(a, r.operand, hint, from, k + 1, most, first, mark, steps);
          if (k < 0) continue;
        }
        stack.Push(static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(k), static_cast<std::uint32_t>(most),
                   TStack::Tag(kind, a));
        pos = from + k;
        node = r.next;
        break;
      }
      if (kind == FRepeat || kind == FRepeatLazy) {
        const TRepeatNode r = DecodeRepeat(code, a);
        const std::int32_t hint = repeatHint[a];
        const std::int32_t unit = UnitOf(r.operand);
        const std::int32_t from = pos;
        std::int32_t k = static_cast<std::int32_t>(w[1]);
        if (kind == FRepeat) {
          --k;
          while (k >= r.min && !tryCount(a, hint, from + k * unit)) --k, --steps;
          if (k < r.min) continue;
          if (k > r.min)
            stack.Push(static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(k), TStack::Tag(FRepeat, a));
        } else {
          std::int32_t most = static_cast<std::int32_t>(w[2]);
          // A lazy repeat met before the visited set came in goes on with
          // the extension marks: it may be one of a long chain of such.
          std::int32_t first = r.min;
          const std::int64_t mark =
              m_visiting && r.max >= len - from ? ExtensionStart(a, from, r.min, first) : -1;
          if (mark >= 0) {
            k = LazyCount(a, r.operand, hint, from, k + 1, most, first, mark, steps);
            if (k < 0) continue;
            stack.Push(static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(k),
                       static_cast<std::uint32_t>(most), TStack::Tag(FRepeatLazyMarked, a));
            pos = from + k;
            node = r.next;
            break;
          }
          ++k;
          while (k <= most && !tryCount(a, hint, from + k * unit)) ++k, --steps;
          if (k > most) continue;
          if (k < most)
            stack.Push(static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(k), static_cast<std::uint32_t>(most),
                       TStack::Tag(FRepeatLazy, a));
        }
        pos = from + k * unit;
        node = r.next;
        break;
      }
      // FLoopExit and FLoopMore: the level is the loop's own again here.
      const std::uint8_t* ln = code + a;
      const std::int32_t depth = regs[RDepth];
      if (kind == FLoopExit) {
        Set(RDepth, depth - 1);
        const std::int32_t loff = ReadI32(ln + 1);
        if (loff == 0) return 1002;
        node = a + loff;
        break;
      }
      const std::int32_t c = regs[RCount + depth];
      if (c >= ReadI32(ln + 9)) continue;
      Set(RCount + depth, c + 1);
      Set(RPass + depth, pos);
      node = a + ReadI32(ln + 13);
      break;
    }
  }
}

// One attempt at p; on a match, fills starts and ends from the registers.
inline __attribute__((always_inline)) int TMatcher::Attempt(std::int32_t p, std::int32_t* starts,
                                                            std::int32_t* ends) {
  const int r = Run(p);
  if (r == 1) {
    starts[0] = p;
    ends[0] = m_endPos;
    for (int g = 1; g <= m_program->groupCount; ++g) {
      starts[g] = m_regs[static_cast<std::size_t>(RStart + g)];
      ends[g] = m_regs[static_cast<std::size_t>(REnd + g)];
    }
    if (!m_stack.Empty()) Unwind();
  } else if (r != 0) {
    // An error leaves them anyhow: start afresh next time.
    m_regs.clear();
    m_stack.Clear();
  }
  return r;
}

// The search of a program that starts with a case-folded literal: only
// where the literal itself stands is an attempt worth starting; when it is
// all there is, it is the match. Apart from Search, whose scan of the other
// programs it would otherwise crowd.
__attribute__((noinline)) int TMatcher::SearchFolded(const std::uint8_t* input, std::int32_t length,
                                                     std::int32_t from, std::int32_t* starts, std::int32_t* ends) {
  const std::uint8_t* const lit = m_code + m_program->foldAt;
  const std::int32_t l = m_program->foldLength;
  // Also keeps `end` inside the input (which may be null when empty).
  if (length - from < l) return 0;
  const std::uint8_t* const invert = settings.invert;
  const std::uint8_t c0 = lit[0];
  const std::uint8_t c1 = invert[c0];
  const std::uint8_t* const end = input + (length - l + 1);  // past the last place it may start
  // The next place of each case of its first character, found with
  // memchr (vectorised), kept until the scan passes it.
  auto find = [end](const std::uint8_t* at, std::uint8_t c) {
    if (at >= end) return end;
    const void* hit = std::memchr(at, c, static_cast<std::size_t>(end - at));
    return hit ? static_cast<const std::uint8_t*>(hit) : end;
  };
  const std::uint8_t* next0 = find(input + from, c0);
  const std::uint8_t* next1 = c1 == c0 ? end : find(input + from, c1);
  for (;;) {
    const std::uint8_t* at = next0 < next1 ? next0 : next1;
    if (at >= end) return 0;
    if (at == next0) next0 = find(at + 1, c0);
    if (at == next1) next1 = find(at + 1, c1);
    std::int32_t j = 1;
    while (j < l && (at[j] == lit[j] || at[j] == invert[lit[j]])) ++j;
    if (j < l) continue;
    const auto p = static_cast<std::int32_t>(at - input);
    if (m_program->foldOnly) {
      starts[0] = p;
      ends[0] = p + l;
      return 1;
    }
    const int r = Attempt(p, starts, ends);
    if (r != 0) return r;
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
  // Frames name nodes in 28 bits: a larger program cannot be searched.
  if (program.code.size() >= TStack::kFieldLimit) return kStepBudgetError;
  // Registers start every attempt at "nothing set": a failed attempt leaves
  // them so by itself, a successful one is unwound below.
  const auto need = static_cast<std::size_t>(RLastPass + program.loopCount);
  if (m_regs.size() < need) {
    m_regs.assign(need, -1);
    m_regs[RDepth] = 0;
  }

  // The visited set comes in well above the steps of any search that
  // backtracks a bounded number of times per character (StartVisiting
  // declines for programs and modes without it).
  m_visitFrom = std::max<std::int64_t>(0, m_steps - (16 * static_cast<std::int64_t>(length) + 4112));
  if (settings.visited == TMatchSettings::TVisited::After)
    m_visitFrom = std::max<std::int64_t>(0, m_steps - settings.after);
  if (settings.visited == TMatchSettings::TVisited::Always) StartVisiting();
  struct TEnd {
    TMatcher& m;
    ~TEnd() {
      if (m.m_visiting) m.EndVisiting();
      m.m_stack.Trim();
    }
  } end{*this};

  if (program.mustAt >= 0) {
    const std::string_view hay(reinterpret_cast<const char*>(input) + from, static_cast<std::size_t>(length - from));
    const std::string_view needle(reinterpret_cast<const char*>(m_code) + program.mustAt,
                                  static_cast<std::size_t>(program.mustLength));
    if (hay.find(needle) == std::string_view::npos) return 0;
  }

  if (program.anchored) return Attempt(from, starts, ends);
  if (program.foldAt >= 0) return SearchFolded(input, length, from, starts, ends);
  if (program.startChar != 0) {
    for (std::int32_t p = from; p < length; ++p) {
      const void* hit = std::memchr(input + p, program.startChar, static_cast<std::size_t>(length - p));
      if (!hit) return 0;
      p = static_cast<std::int32_t>(static_cast<const std::uint8_t*>(hit) - input);
      const int r = Attempt(p, starts, ends);
      if (r != 0) return r;
    }
    return 0;
  }
  // The scan for the next candidate is a loop of its own, whose few values
  // stay in registers: an attempt's call in the same loop made the compiler
  // keep the position in memory, a store and a load per character.
  const std::uint8_t* const first = program.firstTable;
  const std::uint8_t* const stop = input + length;
  for (const std::uint8_t* at = input + from;; ++at) {
    while (at < stop && !first[*at]) ++at;
    if (at >= stop) break;
    const int r = Attempt(static_cast<std::int32_t>(at - input), starts, ends);
    if (r != 0) return r;
  }
  // The end of the input is a candidate like a NUL character.
  return first[0] ? Attempt(length, starts, ends) : 0;
}

}  // namespace qv::regex::detail
