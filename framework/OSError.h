// EOSError: a failed operating-system call reported with a message of the
// caller's own wording (EWin32Error words it for the caller) and the
// platform's error code; SysErrorMessage: the platform's text for a code.
// Tested by tests/services/QxNotify_test.cpp (its error path).
#pragma once

#include <string>

#include "framework/Exception.h"

namespace qv::fw {

class EOSError : public EQvError {
public:
  EOSError(const std::string& message, unsigned long code) : EQvError(message), m_code(code) {}
  unsigned long ErrorCode() const { return m_code; }

private:
  unsigned long m_code;
};

// The system's message for an error code (ANSI code page), without its
// trailing line break, blanks and dot; empty when the system has none.
std::string SysErrorMessage(unsigned long code);

}  // namespace qv::fw
