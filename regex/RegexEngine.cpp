// The interface stage: settings, expression and input, lazy compilation,
// searches and match positions. Substitution is in RegexTemplate.cpp, the
// error texts in RegexErrors.cpp. Covered by tests/regex/Engine_test.cpp.
#include "regex/RegexEngine.h"

#include <array>
#include <cstring>

#include "regex/detail/Compiler.h"
#include "regex/detail/Matcher.h"

namespace qv::regex {
namespace {

const char kDefaultSpaceChars[] = " \t\n\r\f";
const char kDefaultWordChars[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_";
const char kDefaultLineSeparators[] = "\r\n";

// Windows-1252 case pairs beyond ASCII (what CharUpperA/CharLowerA do there).
unsigned char UpperOf(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return c;
  }
}
unsigned char LowerOf(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
  }
}

std::string_view UpToNul(std::string_view text) {
  const std::size_t nul = text.find('\0');
  return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// The default case inversion, tabulated once.
const unsigned char* DefaultInvertTable() {
  static const auto table = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c)
      t[static_cast<std::size_t>(c)] =
          static_cast<unsigned char>(TRegexEngine::DefaultInvertCase(static_cast<char>(static_cast<unsigned char>(c))));
    return t;
  }();
  return table.data();
}

RegexModifiers ModifierBit(int index) { return (index >= 1 && index <= 6) ? (1u << (index - 1)) : 0; }

}  // namespace

char TRegexEngine::DefaultInvertCase(char c) {
  const auto u = static_cast<unsigned char>(c);
  const unsigned char upper = UpperOf(u);
  return static_cast<char>(upper != u ? upper : LowerOf(u));
}

TRegexEngine::TRegexEngine()
    : m_matcher(std::make_unique<detail::TMatcher>()),
      m_spaceChars(kDefaultSpaceChars),
      m_wordChars(kDefaultWordChars),
      m_lineSeparators(kDefaultLineSeparators) {
  SetInvertCase(nullptr);
  m_matcher->settings.word.AddText(m_wordChars);
  m_matcher->settings.lineSeparators.AddText(m_lineSeparators);
  ClearGroups();
}

TRegexEngine::~TRegexEngine() = default;

void TRegexEngine::ClearGroups() {
  for (int g = 0; g < m_groupsSet; ++g) m_starts[g] = m_ends[g] = -1;
  m_groupsSet = 0;
}

void TRegexEngine::DropProgram() { m_program.reset(); }

void TRegexEngine::ResetMatchState() {
  m_input.clear();
  m_hasInput = false;
  m_lastError = 0;
  ClearGroups();
}

[[noreturn]] void TRegexEngine::Fail(int code) {
  RaiseRegexError(code);
  // An override that forgot to throw must not let the search go on.
  throw ERegexError(ErrorText(code), code, m_compilePos);
}

void TRegexEngine::RaiseRegexError(int code) {
  m_lastError = code;
  std::string message = ErrorText(code);
  if (code < 1000) message += " (pos " + std::to_string(CompileErrorPos()) + ")";
  throw ERegexError(message, code, CompileErrorPos());
}

void TRegexEngine::SetExpression(std::string_view text) {
  text = UpToNul(text);
  if (m_program && text == m_expression) return;
  m_expression.assign(text);
  DropProgram();
}

void TRegexEngine::SetInputString(std::string_view text) {
  ClearGroups();
  m_input.assign(UpToNul(text));
  m_hasInput = true;
}

bool TRegexEngine::GetModifier(int index) const {
  const RegexModifiers bit = ModifierBit(index);
  if (bit == 0) const_cast<TRegexEngine*>(this)->Fail(1013);
  return (m_modifiers & bit) != 0;
}

void TRegexEngine::SetModifier(int index, bool on) {
  const RegexModifiers bit = ModifierBit(index);
  if (bit == 0) Fail(1013);
  if (on)
    m_modifiers |= bit;
  else
    m_modifiers &= ~bit;
}

bool TRegexEngine::ParseModifierString(std::string_view text, RegexModifiers& set) {
  return detail::ApplyModifierString(text.data(), text.size(), set);
}

void TRegexEngine::SetSpaceChars(std::string_view text) {
  m_spaceChars.assign(UpToNul(text));
  DropProgram();
}

void TRegexEngine::SetWordChars(std::string_view text) {
  m_wordChars.assign(UpToNul(text));
  m_matcher->settings.word.Clear();
  m_matcher->settings.word.AddText(m_wordChars);
  DropProgram();
}

void TRegexEngine::SetLineSeparators(std::string_view text) {
  m_lineSeparators.assign(UpToNul(text));
  m_matcher->settings.lineSeparators.Clear();
  m_matcher->settings.lineSeparators.AddText(m_lineSeparators);
  DropProgram();
}

std::string TRegexEngine::LinePairedSeparator() const {
  return m_pairAssigned ? std::string{m_pairHead, m_pairTail} : std::string();
}

void TRegexEngine::SetLinePairedSeparator(std::string_view text) {
  if (text.size() == 2) {
    if (text[0] == text[1]) Fail(128);
    if (m_pairAssigned && m_pairHead == text[0] && m_pairTail == text[1]) return;
    m_pairAssigned = true;
    m_pairHead = text[0];
    m_pairTail = text[1];
    m_matcher->settings.pairAssigned = true;
    m_matcher->settings.pairHead = static_cast<std::uint8_t>(m_pairHead);
    m_matcher->settings.pairTail = static_cast<std::uint8_t>(m_pairTail);
    DropProgram();
  } else if (text.empty()) {
    if (!m_pairAssigned) return;
    m_pairAssigned = false;
    m_matcher->settings.pairAssigned = false;
    DropProgram();
  } else {
    Fail(128);
  }
}

void TRegexEngine::SetInvertCase(InvertCaseFunc invert) {
  m_invert = invert ? invert : &DefaultInvertCase;
  if (m_invert == &DefaultInvertCase)
    std::memcpy(m_invertTable, DefaultInvertTable(), sizeof m_invertTable);
  else
    for (int c = 0; c < 256; ++c)
      m_invertTable[c] = static_cast<unsigned char>(m_invert(static_cast<char>(static_cast<unsigned char>(c))));
  m_matcher->settings.invert = m_invertTable;
  DropProgram();
}

bool TRegexEngine::CompileExpression(const std::string& text) {
  detail::TCompileSettings settings;
  settings.modifiers = m_modifiers;
  settings.spaceChars = &m_spaceChars;
  settings.wordChars = &m_wordChars;
  settings.invert = m_invertTable;
  settings.lineSeparators = m_matcher->settings.lineSeparators;
  settings.pairAssigned = m_pairAssigned;
  settings.pairHead = static_cast<std::uint8_t>(m_pairHead);
  detail::TCompileResult result = detail::Compile(text, settings);
  if (!result.program) {
    m_program.reset();
    // The position counts only while the error is raised.
    struct TPosReset {
      int& pos;
      ~TPosReset() { pos = 0; }
    } reset{m_compilePos};
    m_compilePos = result.errorPos;
    Fail(result.errorCode);
  }
  m_program = std::move(result.program);
  return true;
}

bool TRegexEngine::PrepareProgram() {
  if (m_program && m_program->modifiers != m_modifiers) DropProgram();
  if (!m_program) {
    if (m_expression.empty()) Fail(1003);
    CompileExpression(m_expression);
  }
  if (m_program->code.empty() || m_program->code[0] != detail::kProgramMagic) Fail(1004);
  return true;
}

bool TRegexEngine::Exec(std::string_view text) {
  SetInputString(text);
  return ExecPos(1);
}

bool TRegexEngine::ExecNext() {
  if (m_starts[0] < 0 || m_ends[0] < 0) Fail(1007);
  int offset = m_ends[0] + 1;
  if (m_ends[0] == m_starts[0]) ++offset;
  return ExecPos(offset);
}

bool TRegexEngine::ExecPos(int offset) {
  ClearGroups();
  // The usual case, a program for the current modifiers, needs no call.
  if (!(m_program && m_program->modifiers == m_modifiers) && !PrepareProgram()) return false;
  if (!m_hasInput) Fail(1005);
  const auto length = static_cast<std::int64_t>(m_input.size());
  if (offset < 1) Fail(1006);
  if (offset > length + 1 || length > INT32_MAX - 1) return false;
  const std::uint64_t budget = std::uint64_t{m_stepBudget} + 64u * static_cast<std::uint64_t>(length);
  m_matcher->settings.boundedMost = static_cast<std::int64_t>(kBoundedSearchFactor) * m_stepBudget;
  const int r = m_matcher->Search(*m_program, reinterpret_cast<const std::uint8_t*>(m_input.data()),
                                  static_cast<std::int32_t>(length), offset - 1, budget, m_starts, m_ends);
  if (r == 1) {
    m_groupsSet = m_program->groupCount + 1;
    return true;
  }
  ClearGroups();
  if (r != 0) Fail(r);
  return false;
}

int TRegexEngine::MatchStart(int n) const {
  if (n < 0 || n > detail::kMaxGroups || !m_hasInput || m_starts[n] < 0 || m_ends[n] < 0) return -1;
  return m_starts[n] + 1;
}

int TRegexEngine::MatchLength(int n) const {
  if (n < 0 || n > detail::kMaxGroups || !m_hasInput || m_starts[n] < 0 || m_ends[n] < 0) return -1;
  return m_ends[n] - m_starts[n];
}

}  // namespace qv::regex
