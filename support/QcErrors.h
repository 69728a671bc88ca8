// The support library's error classes, and the raise of a failed system
// call. EQcWin32Error captures GetLastError and its system text when it is
// constructed, so construct it right after the failing call.
// Example:  if (!h) throw EQcMutexError("Failed to create mutex");
// Tested by tests/support/QcSynch_test.cpp.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Exception.h"

namespace qv::controls {

class EQcError : public qv::fw::EQvError {
public:
  explicit EQcError(const std::string& message) : EQvError(message) {}
};

class EQcInternalError : public EQcError {
public:
  using EQcError::EQcError;
};

// "Win32 error: <system text> (<code>)\r\n<caller's text>".
class EQcWin32Error : public EQcError {
public:
  explicit EQcWin32Error(const std::string& callerText);
  EQcWin32Error(const std::string& callerText, DWORD code);
  DWORD LastError() const { return m_lastError; }
  const std::string& LastErrorMessage() const { return m_lastErrorMessage; }

private:
  EQcWin32Error(const std::string& callerText, DWORD code, const std::string& systemText);
  DWORD m_lastError;
  std::string m_lastErrorMessage;
};

class EQcMutexError : public EQcWin32Error {
public:
  using EQcWin32Error::EQcWin32Error;
};

class ESharedMemError : public EQcError {
public:
  using EQcError::EQcError;
};

class ArgumentOutOfRangeException : public EQcError {
public:
  ArgumentOutOfRangeException() : EQcError("Argument out of range") {}
};

// Raises the system's error for `code` as qv::fw::EOSError, worded
// "Erreur système. Code : <code>.\r\n<system text>".
[[noreturn]] void RaiseLastOSError(DWORD code);
[[noreturn]] void RaiseLastOSError();  // GetLastError(), read first thing

}  // namespace qv::controls
