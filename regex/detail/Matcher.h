// Internal: runs a node program over an input by backtracking, on an explicit
// stack (no recursion on the input's length), within a step budget. Once a
// search has taken more steps than a linear one would, and its program has
// no back reference, a visited set of (choice point, position, counters of
// the loops around it) states keeps it from exploring any state twice, over
// all the start positions of the search, so ambiguous nested loops and
// repeated scans of one run end in time linear in the input's length with
// the plain backtracker's answer. A search whose every state has its place
// in the set earns steps beyond its budget as the set records states.
// Covered by tests/regex/Matcher_test.cpp and the Perl differential test.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "regex/detail/BacktrackStack.h"
#include "regex/detail/Program.h"

namespace qv::regex::detail {

struct TMatchSettings {
  const std::uint8_t* invert = nullptr;  // 256-entry case inversion table
  TCharSet word;
  TCharSet lineSeparators;
  bool pairAssigned = true;
  std::uint8_t pairHead = '\r';
  std::uint8_t pairTail = '\n';
  // When the visited set comes in: after the steps a linear search needs
  // (Auto), from the first step, never (the plain backtracker, which the
  // tests compare it with), or after `after` steps (the tests' way to have
  // it come in on the way, over choices the search made without it).
  enum class TVisited { Auto, Always, Never, After } visited = TVisited::Auto;
  std::int64_t after = 0;
  // The most steps beyond its budget for a search that the visited set
  // bounds: it may be bounded, yet too long to wait for (see
  // RegexEngine.h).
  std::int64_t boundedMost = std::int64_t{1} << 28;
};

class TMatcher {
public:
  TMatchSettings settings;

  // Searches input[0, length) for the first match starting at `from` or later
  // (from <= length). Returns 1 with starts/ends of group 0 and of the
  // program's groups filled (0-based, -1 when unset; the entries of groups
  // the program does not have are not touched), 0 when there is no match, or
  // an error code.
  int Search(const TProgram& program, const std::uint8_t* input, std::int32_t length, std::int32_t from,
             std::uint64_t budget, std::int32_t* starts, std::int32_t* ends);

private:
  int Attempt(std::int32_t p, std::int32_t* starts, std::int32_t* ends);
  int SearchFolded(const std::uint8_t* input, std::int32_t length, std::int32_t from, std::int32_t* starts,
                   std::int32_t* ends);
  int Run(std::int32_t start);
  std::int32_t Repeat(std::int32_t operand, std::int32_t max, std::int32_t pos, std::int32_t& unit,
                      std::int64_t& steps);
  std::int32_t UnitOf(std::int32_t operand) const;
  void Set(std::int32_t reg, std::int32_t value);
  void StartVisiting();
  std::int64_t MoreSteps(std::int64_t steps);
  std::int64_t StateBit(std::int32_t index, std::int32_t at) const;
  bool BitSet(std::int64_t bit) const;
  void SetBit(std::int64_t bit);
  bool Visit(std::int32_t node, std::int32_t at);
  std::int64_t ExtensionBit(std::int32_t repeat, std::int32_t from) const;
  std::int64_t ExtensionStart(std::int32_t repeat, std::int32_t pos, std::int32_t min, std::int32_t& first) const;
  std::int32_t RunToMark(std::int32_t operand, std::int32_t pos, std::int32_t first, std::int64_t bit,
                         std::int64_t& steps);
  std::int32_t LazyCount(std::int32_t repeat, std::int32_t operand, std::int32_t hint, std::int32_t from,
                         std::int32_t k, std::int32_t& known, std::int32_t first, std::int64_t mark,
                         std::int64_t& steps);
  bool HintOk(std::int32_t hint, std::int32_t at) const {
    return hint < 0 || (at < m_len && (m_in[at] == (hint & 0xFF) || m_in[at] == (hint >> 8)));
  }
  std::int32_t FirstMarked(std::int64_t bit, std::int32_t from, std::int32_t to) const;
  void MarkExtension(std::int64_t bit, std::int32_t count);
  void EndVisiting();
  void Unwind();
  bool AtLineBreak(std::int32_t pos) const;
  bool AtLineStart(std::int32_t pos) const;
  bool AtLineEnd(std::int32_t pos) const;
  bool AtWordBoundary(std::int32_t pos) const;

  const TProgram* m_program = nullptr;
  const std::uint8_t* m_code = nullptr;
  const std::uint8_t* m_in = nullptr;
  std::int32_t m_len = 0;
  std::int64_t m_steps = 0;
  int m_error = 0;
  std::int32_t m_endPos = 0;
  TBacktrackStack m_stack;
  std::vector<std::int32_t> m_regs;
  // The visited set: one bit per (choice point, position), the words set in
  // this search (cleared at its end), and the step count that switches it on.
  struct TFree {
    void operator()(std::uint64_t* p) const;
  };
  std::unique_ptr<std::uint64_t, TFree> m_visited;
  std::size_t m_visitedWords = 0;
  std::vector<std::uint32_t> m_dirty;
  bool m_visiting = false;
  std::int64_t m_visitFrom = 0;
  // This search's layout of the set: for each choice point, its first row
  // and then the first of its rows for loops whose pass began at the row's
  // place (-1 when it has none), and the counter value of each loop level
  // past which the rows no longer tell counts apart.
  std::vector<std::int64_t> m_rowBase;
  std::vector<std::int32_t> m_levelCap;
  // The set bounds a search whose every state it records: then each state
  // it records pays for m_perState further steps (0 when it does not, and
  // while the set is out), as long as m_payLeft lasts. m_recorded counts
  // the states recorded in this search, m_paid those whose steps the count
  // has had.
  std::int64_t m_perState = 0;
  std::int64_t m_recorded = 0;
  std::int64_t m_paid = 0;
  std::int64_t m_payLeft = 0;
};

}  // namespace qv::regex::detail
