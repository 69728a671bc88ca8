// The program stage: node sizes, and the hints computed once the code is
// complete (first-character set, start character, anchoring, required
// substring, the loop table of greedy complex repeats). The first-character
// walk uses a work list and visits each node once, so neither nesting nor
// long alternations can make it deep or slow.
// Covered by tests/regex/Compiler_test.cpp.
#include <algorithm>
#include <bit>

#include "regex/detail/Program.h"

namespace qv::regex::detail {

int TCharSet::Count() const {
  return std::popcount(bits[0]) + std::popcount(bits[1]) + std::popcount(bits[2]) + std::popcount(bits[3]);
}

bool IsValidOpcode(std::uint8_t op) {
  switch (op) {
    case 4: case 5: case 14: case 15: case 16: case 17: case 21: case 22: case 39: case 54:
      return false;
    default:
      return op <= 68;
  }
}

int NodeSize(const std::uint8_t* node) {
  switch (node[0]) {
    case OpLiteral:
    case OpLiteralFold:
      return kNodeHeader + 4 + ReadI32(node + kNodeHeader);
    case OpBraces:
    case OpBracesLazy:
      return kNodeHeader + 8;
    case OpLoop:
    case OpLoopLazy:
      return kNodeHeader + 12;
    case OpAnyOfThree:
    case OpAnyButThree:
      return kNodeHeader + 3;
    case OpAnyOfSet:
      return kNodeHeader + 32;
    case OpBackRef:
    case OpBackRefFold:
      return kNodeHeader + 1;
    default:
      return kNodeHeader;
  }
}

namespace {

constexpr std::uint64_t kDigitBits = std::uint64_t{0x3FF} << '0';

// Where a walk may meet a counted loop's Loop node: only after the loop's
// entry (so its counter is 0), or anywhere inside its body (any count).
enum class TLoopCount { Zero, Any };

// Adds to `set` every character that can start a match from `start`.
int BuildStartCharSet(const TProgram& p, std::int32_t start, TCharSet& set, const TCharSet& lineSeparators,
                      std::uint8_t pairHead, bool pairAssigned, const std::uint8_t* invert,
                      TLoopCount count = TLoopCount::Zero) {
  std::vector<std::int32_t> work{start};
  std::vector<std::uint8_t> seen(p.code.size(), 0);
  while (!work.empty()) {
    std::int32_t node = work.back();
    work.pop_back();
    while (node >= 0 && !seen[static_cast<std::size_t>(node)]) {
      seen[static_cast<std::size_t>(node)] = 1;
      const std::uint8_t* n = &p.code[static_cast<std::size_t>(node)];
      const std::uint8_t op = n[0];
      switch (op) {
        case OpEnd:
        case OpAnyChar:
        case OpAnyButLineBreak:
        case OpBackRef:
        case OpBackRefFold:
          set.AddAll();
          return 0;
        case OpInputEnd:
          set.Add(0);
          node = -1;
          break;
        case OpLineEnd:
          // Whatever the global m says: a LineEnd exists only where m was in force.
          set.Add(0);
          for (int i = 0; i < 4; ++i) set.bits[i] |= lineSeparators.bits[i];
          if (pairAssigned) set.Add(pairHead);
          node = -1;
          break;
        case OpLiteral:
          set.Add(n[9]);
          node = -1;
          break;
        case OpLiteralFold:
          set.Add(n[9]);
          set.Add(invert[n[9]]);
          node = -1;
          break;
        case OpAnyOfThree:
          set.Add(n[5]);
          set.Add(n[6]);
          set.Add(n[7]);
          node = -1;
          break;
        case OpAnyButThree: {
          TCharSet but;
          but.Add(n[5]);
          but.Add(n[6]);
          but.Add(n[7]);
          for (int i = 0; i < 4; ++i) set.bits[i] |= ~but.bits[i];
          node = -1;
          break;
        }
        case OpAnyOfSet:
          for (int byte = 0; byte < 32; ++byte) set.bits[byte >> 3] |= std::uint64_t{n[5 + byte]} << (8 * (byte & 7));
          node = -1;
          break;
        case OpDigit:
          set.bits[0] |= kDigitBits;
          node = -1;
          break;
        case OpNonDigit:
          set.bits[0] |= ~kDigitBits;
          set.bits[1] = set.bits[2] = set.bits[3] = ~std::uint64_t{0};
          node = -1;
          break;
        case OpInputStart:
        case OpLineStart:
        case OpBack:
        case OpNothing:
        case OpComment:
        case OpWordBoundary:
        case OpNotWordBoundary:
        case OpLoopEntry:
          node = p.Next(node);
          break;
        case OpBranch: {
          const std::int32_t next = p.Next(node);
          if (next < 0 || p.Op(next) != OpBranch) {
            node += kNodeHeader;
            break;
          }
          for (std::int32_t b = node; b >= 0 && p.Op(b) == OpBranch; b = p.Next(b)) work.push_back(b + kNodeHeader);
          node = -1;
          break;
        }
        case OpStar:
        case OpStarLazy:
          work.push_back(p.Next(node));
          node += kNodeHeader;
          break;
        case OpPlus:
        case OpPlusLazy:
          node += kNodeHeader;
          break;
        case OpBraces:
        case OpBracesLazy:
          if (ReadI32(n + 5) == 0) work.push_back(p.Next(node));
          node += kNodeHeader + 8;
          break;
        case OpLoop:
        case OpLoopLazy:
          if (ReadI32(n + 5) == 0 || count == TLoopCount::Any) work.push_back(p.Next(node));
          node += ReadI32(n + 13);
          break;
        default:
          if (op >= OpOpen1 && op <= OpClose1 + kMaxGroups - 1 && IsValidOpcode(op)) {
            node = p.Next(node);
            break;
          }
          return 1001;
      }
    }
  }
  return 0;
}

// The first character a continuation from `node` must read, when it can be
// told without a choice: group marks, comments and single alternatives are
// looked through. (c | other case << 8), or -1.
std::int32_t FollowingChars(const TProgram& p, std::int32_t node, const std::uint8_t* invert) {
  for (int guard = 0; node >= 0 && guard < 64; ++guard) {
    const std::uint8_t op = p.Op(node);
    if (op == OpLiteral || op == OpLiteralFold) {
      const std::uint8_t c = p.code[static_cast<std::size_t>(node) + 9];
      return c | (op == OpLiteral ? c : invert[c]) << 8;
    }
    if (op == OpBranch) {
      const std::int32_t next = p.Next(node);
      if (next >= 0 && p.Op(next) == OpBranch) return -1;
      node += kNodeHeader;
      continue;
    }
    const bool mark = (op >= OpOpen1 && op < OpOpen1 + kMaxGroups) || (op >= OpClose1 && op < OpClose1 + kMaxGroups);
    if (!mark && op != OpComment && op != OpNothing) return -1;
    node = p.Next(node);
  }
  return -1;
}

// The start characters of each alternative and of those after it, so the
// matcher neither enters nor keeps for later an alternative that cannot
// read the next character. heads: the first Branch of each choice.
void ComputeAltSets(TProgram& p, const std::vector<std::int32_t>& heads, std::size_t alternatives,
                    const TCharSet& lineSeparators, std::uint8_t pairHead, bool pairAssigned,
                    const std::uint8_t* invert) {
  // Each alternative's set walks the rest of the program: keep the work
  // bounded for very long alternations.
  if (heads.empty() || alternatives * p.code.size() > (std::size_t{1} << 22)) return;
  p.altSet.assign(p.code.size(), -1);
  for (const std::int32_t head : heads) {
    if (p.altSet[static_cast<std::size_t>(head)] >= 0) continue;  // already seen as part of a chain
    std::vector<std::int32_t> chain;
    for (std::int32_t b = head; b >= 0 && p.Op(b) == OpBranch; b = p.Next(b)) chain.push_back(b);
    TCharSet rest;
    for (std::size_t i = chain.size(); i-- > 0;) {
      TCharSet own;
      if (BuildStartCharSet(p, chain[i] + kNodeHeader, own, lineSeparators, pairHead, pairAssigned, invert,
                            TLoopCount::Any) != 0)
        own.AddAll();
      if (i + 1 < chain.size()) {
        p.altSet[static_cast<std::size_t>(chain[i])] = static_cast<std::int32_t>(p.altSets.size());
        p.altSets.push_back(own);
        p.altSets.push_back(rest);
      }
      for (int w = 0; w < 4; ++w) rest.bits[w] |= own.bits[w];
    }
  }
}

}  // namespace

int ComputeHints(TProgram& p, bool singleStartsWithRepeat, const TCharSet& lineSeparators, std::uint8_t pairHead,
                 bool pairAssigned, const std::uint8_t* invert) {
  p.firstChars.Clear();
  const int error = BuildStartCharSet(p, 1, p.firstChars, lineSeparators, pairHead, pairAssigned, invert);
  if (error != 0) return error;
  for (int c = 0; c < 256; ++c) p.firstTable[c] = p.firstChars.Has(static_cast<std::uint8_t>(c)) ? 1 : 0;

  p.entry = 1;
  while (p.Op(p.entry) == OpBranch && static_cast<std::size_t>(p.entry + kNodeHeader) < p.code.size()) {
    const std::int32_t next = p.Next(p.entry);
    if (next >= 0 && p.Op(next) == OpBranch) break;
    p.entry += kNodeHeader;
  }
  // Inline modifiers leave a Comment where they stood.
  while (p.Op(p.entry) == OpComment && p.Next(p.entry) >= 0) p.entry = p.Next(p.entry);
  p.startChar = 0;
  p.anchored = false;
  p.mustAt = -1;
  p.mustLength = 0;
  p.foldAt = -1;
  p.foldLength = 0;
  p.foldOnly = false;
  const std::int32_t top = 1;
  const std::int32_t afterTop = p.Next(top);
  if (p.Op(top) == OpBranch && afterTop >= 0 && p.Op(afterTop) == OpEnd) {
    const std::int32_t scan = top + kNodeHeader;
    if (p.Op(scan) == OpLiteral)
      p.startChar = p.code[static_cast<std::size_t>(scan) + 9];
    else if (p.Op(scan) == OpInputStart)
      p.anchored = true;
    if (p.Op(p.entry) == OpLiteralFold) {
      p.foldAt = p.entry + 9;
      p.foldLength = ReadI32(&p.code[static_cast<std::size_t>(p.entry) + 5]);
      p.foldOnly = p.Next(p.entry) == afterTop;
    }
    if (singleStartsWithRepeat) {
      // Only nodes every match passes through: group contents and repeat
      // operands are not entered.
      for (std::int32_t s = scan; s >= 0; s = p.Next(s)) {
        if (p.Op(s) != OpLiteral) continue;
        const std::int32_t len = ReadI32(&p.code[static_cast<std::size_t>(s) + 5]);
        if (len >= p.mustLength) {
          p.mustAt = s + 9;
          p.mustLength = len;
        }
      }
    }
  }

  // Greedy complex * and + loops: the Branch whose first alternative goes
  // round again. For x* the Back leads to it; for x+ it holds the Back as
  // its operand.
  p.loopChoice.clear();
  p.repeatHint.clear();
  p.loopCount = 0;
  p.groupCount = 0;
  p.hasCountedLoops = false;
  p.hasBackRefs = false;
  p.altSet.clear();
  p.altSets.clear();
  p.visit.reset();
  std::vector<std::int32_t> heads;
  std::size_t choices = 0;
  for (std::size_t node = 1; node < p.code.size(); node += static_cast<std::size_t>(NodeSize(&p.code[node]))) {
    const std::uint8_t op = p.code[node];
    if (op == OpBackRef || op == OpBackRefFold) p.hasBackRefs = true;
    if (op == OpBranch) {
      const std::int32_t next = p.Next(static_cast<std::int32_t>(node));
      if (next >= 0 && p.Op(next) == OpBranch) {
        heads.push_back(static_cast<std::int32_t>(node));
        ++choices;
      }
    }
    // Repeats and counted loops are the other choice points.
    if (op == OpStar || op == OpPlus || op == OpBraces || op == OpStarLazy || op == OpPlusLazy ||
        op == OpBracesLazy || op == OpLoop || op == OpLoopLazy)
      ++choices;
    if (op >= OpOpen1 && op < OpOpen1 + kMaxGroups && op - OpOpen1 + 1 > p.groupCount) p.groupCount = op - OpOpen1 + 1;
    if (op == OpLoopEntry) p.hasCountedLoops = true;
    if (op == OpStar || op == OpPlus || op == OpBraces || op == OpStarLazy || op == OpPlusLazy || op == OpBracesLazy) {
      if (p.repeatHint.empty()) p.repeatHint.assign(p.code.size(), -1);
      p.repeatHint[node] = FollowingChars(p, p.Next(static_cast<std::int32_t>(node)), invert);
    }
    if (op != OpBack) continue;
    const std::int32_t target = p.Next(static_cast<std::int32_t>(node));
    std::int32_t choice = -1;
    if (target >= 0 && p.Op(target) == OpBranch)
      choice = target;
    else if (node >= static_cast<std::size_t>(kNodeHeader) && p.code[node - kNodeHeader] == OpBranch)
      choice = static_cast<std::int32_t>(node) - kNodeHeader;
    if (choice < 0) continue;
    if (p.loopChoice.empty()) p.loopChoice.assign(p.code.size(), -1);
    p.loopChoice[static_cast<std::size_t>(choice)] = p.loopCount++;
  }
  p.mayVisit = choices > 0 && !p.hasBackRefs;
  ComputeAltSets(p, heads, heads.size(), lineSeparators, pairHead, pairAssigned, invert);
  return 0;
}

void BuildVisitTables(const TProgram& p) {
  p.visit = std::make_unique<TProgram::TVisitTables>();
  TProgram::TVisitTables& v = *p.visit;
  for (std::size_t node = 1; node < p.code.size(); node += static_cast<std::size_t>(NodeSize(&p.code[node]))) {
    const std::uint8_t op = p.code[node];
    ++v.nodes;
    if (op == OpBraces || op == OpBracesLazy) v.repeatMaxes.push_back(ReadI32(&p.code[node + 9]));
    const bool repeat = op == OpStar || op == OpPlus || op == OpBraces || op == OpStarLazy || op == OpPlusLazy ||
                        op == OpBracesLazy;
    bool choice = repeat || op == OpLoop || op == OpLoopLazy;
    if (op == OpBranch) {
      const std::int32_t next = p.Next(static_cast<std::int32_t>(node));
      choice = next >= 0 && p.Op(next) == OpBranch;
    }
    if (!choice) continue;
    if (v.index.empty()) v.index.assign(p.code.size(), -1);
    v.index[node] = v.count;
    v.count += repeat ? 2 : 1;
  }
  v.levelAt.assign(static_cast<std::size_t>(v.count), 0);
  v.levelCount.assign(static_cast<std::size_t>(v.count), 0);
  v.emptyAt.assign(static_cast<std::size_t>(v.count), 0);
  v.emptyCount.assign(static_cast<std::size_t>(v.count), 0);

  // The loops around each choice point, as the code range of their bodies.
  // A counted loop's body lies between its LoopEntry and its Loop node (the
  // Loop node in it); the LoopEntry leads to the Loop. A greedy complex *
  // runs from its choice Branch (outside) to the Back that returns to it,
  // a + from its first node to its choice Branch (outside).
  struct TLoop {
    std::int32_t lo, hi, min, max, id;  // id: the loop's number, -1 when counted
  };
  std::vector<TLoop> loops;
  for (std::size_t node = 1; node < p.code.size(); node += static_cast<std::size_t>(NodeSize(&p.code[node]))) {
    const std::uint8_t op = p.code[node];
    const auto at = static_cast<std::int32_t>(node);
    if (op == OpBack && !p.loopChoice.empty()) {
      // As ComputeHints finds the loop's choice.
      const std::int32_t target = p.Next(at);
      if (target >= 0 && p.Op(target) == OpBranch) {
        if (p.loopChoice[static_cast<std::size_t>(target)] >= 0)
          loops.push_back({target + 1, at, 0, 0, p.loopChoice[static_cast<std::size_t>(target)]});
      } else if (target >= 0 && at >= kNodeHeader && p.Op(at - kNodeHeader) == OpBranch &&
                 p.loopChoice[static_cast<std::size_t>(at - kNodeHeader)] >= 0) {
        loops.push_back({target, at - kNodeHeader - 1, 0, 0, p.loopChoice[static_cast<std::size_t>(at - kNodeHeader)]});
      }
      continue;
    }
    if (op != OpLoop && op != OpLoopLazy) continue;
    const std::int32_t body = at + ReadI32(&p.code[node + 13]);
    const std::int32_t entry = body - kNodeHeader;
    if (entry < 1 || p.Op(entry) != OpLoopEntry || p.Next(entry) != at) {
      // Not the layout the compiler emits: let no counter go unseen.
      for (auto& n : v.levelCount) n = -1;
      return;
    }
    const std::int32_t min = ReadI32(&p.code[node + 5]);
    loops.push_back({entry + 1, at, min > 1 ? min : 1, ReadI32(&p.code[node + 9]), -1});
  }
  // Outermost first: the ranges around one place nest.
  std::sort(loops.begin(), loops.end(),
            [](const TLoop& a, const TLoop& b) { return a.lo != b.lo ? a.lo < b.lo : a.hi > b.hi; });
  for (std::size_t node = 1; node < p.code.size() && !loops.empty();
       node += static_cast<std::size_t>(NodeSize(&p.code[node]))) {
    const std::int32_t index = v.index.empty() ? -1 : v.index[node];
    if (index < 0) continue;
    const auto at = static_cast<std::int32_t>(node);
    const auto levelAt = static_cast<std::int32_t>(v.levelMins.size());
    const auto emptyAt = static_cast<std::int32_t>(v.emptyLoops.size());
    std::int32_t count = 0;
    for (const TLoop& l : loops) {
      if (at < l.lo || at > l.hi) continue;
      if (l.id < 0) {
        v.levelMins.push_back(l.min);
        v.levelMaxes.push_back(l.max);
        ++count;
      }
      v.emptyLoops.push_back(l.id < 0 ? -count : l.id);
    }
    v.levelAt[static_cast<std::size_t>(index)] = levelAt;
    v.levelCount[static_cast<std::size_t>(index)] = count;
    v.emptyAt[static_cast<std::size_t>(index)] = emptyAt;
    v.emptyCount[static_cast<std::size_t>(index)] = static_cast<std::int32_t>(v.emptyLoops.size()) - emptyAt;
    // A repeat's extension lies in the same counted loops as its
    // continuation; it stands for a range of places, which a pass start
    // at the first of them does not describe (see the matcher).
    const bool repeat = p.Op(at) != OpBranch && p.Op(at) != OpLoop && p.Op(at) != OpLoopLazy;
    if (repeat) {
      v.levelAt[static_cast<std::size_t>(index) + 1] = levelAt;
      v.levelCount[static_cast<std::size_t>(index) + 1] = count;
    }
  }
}

}  // namespace qv::regex::detail
