// Error texts of the support library.
#include "support/QcErrors.h"

#include <cstdio>

#include "framework/OSError.h"
#include "support/QcUnitVersioning.h"

namespace qv::controls {

namespace {
const TUnitVersionInfo kUnitVersion = {"support/QcErrors.cpp", "3.2.0.0", "", "QCL\\source\\common", "", nullptr};
const TUnitVersionRegistration kRegistration(kUnitVersion);

std::string Win32ErrorText(const std::string& systemText, DWORD code, const std::string& callerText) {
  return "Win32 error: " + systemText + " (" + std::to_string(code) + ")\r\n" + callerText;
}

}  // namespace

EQcWin32Error::EQcWin32Error(const std::string& callerText) : EQcWin32Error(callerText, GetLastError()) {}

EQcWin32Error::EQcWin32Error(const std::string& callerText, DWORD code)
    : EQcWin32Error(callerText, code, qv::fw::SysErrorMessage(code)) {}

EQcWin32Error::EQcWin32Error(const std::string& callerText, DWORD code, const std::string& systemText)
    : EQcError(Win32ErrorText(systemText, code, callerText)), m_lastError(code), m_lastErrorMessage(systemText) {}

void RaiseLastOSError(DWORD code) {
  char head[64];
  std::snprintf(head, sizeof head, "Erreur système. Code : %lu.", static_cast<unsigned long>(code));
  std::string text = head;
  const std::string system = qv::fw::SysErrorMessage(code);
  if (!system.empty()) text += "\r\n" + system;
  throw qv::fw::EOSError(text, code);
}

void RaiseLastOSError() { RaiseLastOSError(GetLastError()); }

}  // namespace qv::controls
