// The one exception base of the framework and the content engines' callers:
// a message text. An exception reaching the main loop is shown by
// TApplication::HandleException and the loop goes on.
#pragma once

#include <stdexcept>
#include <string>

namespace qv::fw {

class EQvError : public std::runtime_error {
public:
  explicit EQvError(const std::string& message) : std::runtime_error(message) {}
};

// A Win32 call failed; the message carries the call and the error captured
// where it happened.
class EWin32Error : public EQvError {
public:
  EWin32Error(const std::string& what, unsigned long code);
  unsigned long Code() const { return m_code; }

private:
  unsigned long m_code;
};

}  // namespace qv::fw
