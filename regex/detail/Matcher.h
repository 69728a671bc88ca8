// Internal: runs a node program over an input by backtracking, on an explicit
// stack (no recursion on the input's length), within a step budget.
// Covered by tests/regex/Matcher_test.cpp and the Perl differential test.
#pragma once

#include <cstdint>
#include <vector>

#include "regex/detail/Program.h"

namespace qv::regex::detail {

struct TMatchSettings {
  const std::uint8_t* invert = nullptr;  // 256-entry case inversion table
  TCharSet word;
  TCharSet lineSeparators;
  bool pairAssigned = true;
  std::uint8_t pairHead = '\r';
  std::uint8_t pairTail = '\n';
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
  struct TFrame {
    std::int32_t kind, a, b, c, d;
  };
  int Run(std::int32_t start);
  std::int32_t Repeat(std::int32_t operand, std::int32_t max, std::int32_t pos, std::int32_t& unit,
                      std::int64_t& steps);
  std::int32_t UnitOf(std::int32_t operand) const;
  void Push(std::int32_t kind, std::int32_t a, std::int32_t b, std::int32_t c = 0, std::int32_t d = 0) {
    if (m_sp == m_stack.size()) m_stack.resize(m_stack.size() * 2 + 64);
    m_stack[m_sp++] = TFrame{kind, a, b, c, d};
  }
  void Set(std::int32_t reg, std::int32_t value) {
    Push(0, reg, m_regs[static_cast<std::size_t>(reg)]);
    m_regs[static_cast<std::size_t>(reg)] = value;
  }
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
  std::vector<TFrame> m_stack;
  std::size_t m_sp = 0;
  std::vector<std::int32_t> m_regs;
};

}  // namespace qv::regex::detail
