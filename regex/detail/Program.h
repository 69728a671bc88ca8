// Internal: the node program the compiler emits and the matcher walks, with
// the hints kept beside it. Not part of the engine's API (see RegexEngine.h).
// Layout: byte 0 is the magic 216; each node is a 1-byte opcode, a signed
// 32-bit little-endian offset to the next node (0 = none) and its operand.
// Literal operands are a 32-bit length then the characters, so a literal may
// hold NUL. Covered by tests/regex/Compiler_test.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "regex/RegexEngine.h"

namespace qv::regex::detail {

enum TOpcode : std::uint8_t {
  OpEnd = 0,
  OpInputStart = 1,
  OpInputEnd = 2,
  OpAnyChar = 3,
  OpBranch = 6,
  OpBack = 7,
  OpLiteral = 8,
  OpNothing = 9,
  OpStar = 10,
  OpPlus = 11,
  OpDigit = 12,
  OpNonDigit = 13,
  OpBraces = 18,
  OpComment = 19,
  OpLiteralFold = 20,
  OpLoopEntry = 23,
  OpLoop = 24,
  OpAnyOfThree = 25,
  OpAnyButThree = 26,
  OpAnyOfSet = 27,
  OpBackRef = 28,
  OpBackRefFold = 29,
  OpStarLazy = 30,
  OpPlusLazy = 31,
  OpBracesLazy = 32,
  OpLoopLazy = 33,
  OpLineStart = 34,
  OpLineEnd = 35,
  OpAnyButLineBreak = 36,
  OpWordBoundary = 37,
  OpNotWordBoundary = 38,
  OpOpen1 = 40,   // Open1..Open14 = 40..53
  OpClose1 = 55,  // Close1..Close14 = 55..68
};

constexpr std::uint8_t kProgramMagic = 216;
constexpr int kNodeHeader = 5;
constexpr int kMaxGroups = 14;      // groups 1..14; index 0 is the whole match
constexpr int kMaxLoopDepth = 10;   // counted loops active at once
constexpr std::int32_t kInfinite = 2147483646;  // {n,} and lazy * + on complex operands
constexpr std::int32_t kRepeatMax = 2147483647; // simple * and +

inline std::int32_t ReadI32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                   static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}
inline void WriteI32(std::uint8_t* p, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  p[0] = static_cast<std::uint8_t>(u);
  p[1] = static_cast<std::uint8_t>(u >> 8);
  p[2] = static_cast<std::uint8_t>(u >> 16);
  p[3] = static_cast<std::uint8_t>(u >> 24);
}

// 256-bit character set.
struct TCharSet {
  std::uint64_t bits[4] = {0, 0, 0, 0};
  bool Has(std::uint8_t c) const { return (bits[c >> 6] >> (c & 63)) & 1u; }
  void Add(std::uint8_t c) { bits[c >> 6] |= std::uint64_t{1} << (c & 63); }
  void AddAll() { bits[0] = bits[1] = bits[2] = bits[3] = ~std::uint64_t{0}; }
  void Clear() { bits[0] = bits[1] = bits[2] = bits[3] = 0; }
  void AddText(const std::string& text) {
    for (char c : text) Add(static_cast<std::uint8_t>(c));
  }
  int Count() const;
};

struct TProgram {
  std::vector<std::uint8_t> code;
  // Hints for choosing start positions.
  TCharSet firstChars;
  std::uint8_t firstTable[256] = {};  // firstChars as one byte per character, for the scan
  std::uint8_t startChar = 0;   // 0 = none
  bool anchored = false;
  // The node each attempt starts at: past the Branch nodes at the top that
  // offer no alternative, which only cost a dispatch per attempt.
  std::int32_t entry = 1;
  std::int32_t mustAt = -1;     // offset in code of the required substring, -1 = none
  std::int32_t mustLength = 0;
  // A case-folded literal every match starts with (offset of its first
  // character in code, -1 = none), and whether it is the whole expression.
  std::int32_t foldAt = -1;
  std::int32_t foldLength = 0;
  bool foldOnly = false;
  RegexModifiers modifiers = 0;
  // The choice Branch of each greedy complex * or + loop, by code offset
  // (-1 elsewhere), so the matcher can stop a loop whose last pass consumed
  // nothing; loopCount ids are in use.
  std::vector<std::int32_t> loopChoice;
  int loopCount = 0;
  // For each simple repeat, by code offset: the characters that must follow
  // it (ch | other case << 8), found through group marks, or -1. Empty when
  // the program has no simple repeat.
  std::vector<std::int32_t> repeatHint;
  int groupCount = 0;      // highest group number used
  bool hasCountedLoops = false;
  bool hasBackRefs = false;  // then the groups steer the match: no visited set
  bool mayVisit = false;     // choice points, and no back reference
  // For the first Branch of each choice of alternatives, and for each later
  // one but the last, by code offset: an index i into altSets, where
  // altSets[i] holds the characters its own alternative can start with and
  // altSets[i + 1] those the alternatives after it can (0 standing for the
  // input's end); -1 elsewhere. Empty when there is no such Branch.
  std::vector<std::int32_t> altSet;
  std::vector<TCharSet> altSets;
  // The visited set's tables, built by BuildVisitTables the first time a
  // search needs them (most never do; until then a null pointer, which
  // keeps a program cheap to make and free). index: by code offset, a dense
  // index for each choice point whose outcome the set may record, or -1:
  // the Branch nodes that offer an alternative, the simple repeats (for the
  // place their continuation starts; index + 1 stands for the repeat's
  // extension, see the matcher) and the Loop nodes of counted loops. By
  // that index, levelAt and levelCount give the counted loops around the
  // choice point (its own loop last, for a Loop node), outermost first, as
  // a range of levelMins and levelMaxes; a count of -1 when the code is
  // not laid out as the compiler emits it. levelMins holds each loop's
  // least count of passes after which its counter no longer changes what
  // it does when it has no upper bound (at least 1), levelMaxes its upper
  // bound or kInfinite.
  struct TVisitTables {
    std::vector<std::int32_t> index;
    std::int32_t count = 0;
    std::vector<std::int32_t> levelAt;
    std::vector<std::int32_t> levelCount;
    std::vector<std::int32_t> levelMins;
    std::vector<std::int32_t> levelMaxes;
    // By the same index, emptyAt and emptyCount give every loop around the
    // choice point, outermost first, as a range of emptyLoops: a counted
    // loop as -(its level), a greedy complex * or + as its loop number. A
    // pass of these that began where the choice point is met has consumed
    // nothing yet; the matcher keeps such states apart. 0 loops for a
    // repeat's extension.
    std::vector<std::int32_t> emptyAt;
    std::vector<std::int32_t> emptyCount;
    std::vector<std::int32_t> emptyLoops;
    // The program's nodes, and the upper bound of each simple repeat that
    // has one ({n,m}).
    std::int32_t nodes = 0;
    std::vector<std::int32_t> repeatMaxes;
  };
  mutable std::unique_ptr<TVisitTables> visit;

  std::uint8_t Op(std::int32_t node) const { return code[static_cast<std::size_t>(node)]; }
  std::int32_t Next(std::int32_t node) const {
    const std::int32_t off = ReadI32(&code[static_cast<std::size_t>(node) + 1]);
    return off == 0 ? -1 : node + off;
  }
};

// Size of a node's own bytes (header and operand, not an operand node).
int NodeSize(const std::uint8_t* node);
bool IsValidOpcode(std::uint8_t op);

// Fills firstChars, startChar, anchored, the required substring and the loop
// table once the code is complete. Returns 0 or an error code (1001).
int ComputeHints(TProgram& program, bool singleStartsWithRepeat, const TCharSet& lineSeparators,
                 std::uint8_t pairHead, bool pairAssigned, const std::uint8_t* invert);

// Fills program.visit once (the matcher calls it on a complete program).
void BuildVisitTables(const TProgram& program);

}  // namespace qv::regex::detail
