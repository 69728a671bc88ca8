// The description of the running Windows shown by the about box: edition
// lines built from the system's version information and a few registry
// values under HKEY_LOCAL_MACHINE (read only), lines separated by a lone
// carriage return. The building is apart from the reading so every kind of
// system can be tested.
//
//   LWinVersion->SetCaption(GetWindowsVersionText());
//
// Tested by tests/app/unit/WindowsVersion_test.cpp.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace qv::app {

// What the description is built from.
struct TWindowsVersionFacts {
  DWORD Platform = 0;  // VER_PLATFORM_WIN32_WINDOWS (1) or VER_PLATFORM_WIN32_NT (2)
  DWORD Major = 0, Minor = 0, Build = 0;
  std::string ServicePack;  // szCSDVersion
  // The extended block could be read (suite mask and product type hold).
  bool Extended = false;
  WORD SuiteMask = 0;
  BYTE ProductType = 0;  // 1 workstation, 2 domain controller, 3 server
  // SYSTEM\CurrentControlSet\Control\ProductOptions "ProductType", read
  // only without the extended block.
  std::string ProductOptionsType;
  // SOFTWARE\Microsoft\Windows NT\CurrentVersion, NT family only.
  std::string EditionID, SubVersionNumber;
};

std::string TrimLeadingSpaces(const std::string& text);
// Empty text: text := part without its leading blanks. Otherwise a new line
// (CR) and the part without its leading blanks, or the part as it stands.
void AppendVersionPart(std::string& text, const std::string& part, bool newLine);
std::string BuildWindowsVersionText(const TWindowsVersionFacts& facts);

// The facts of this system; nothing when the version cannot be read.
std::optional<TWindowsVersionFacts> ReadWindowsVersionFacts();
// Empty when the version cannot be read.
std::string GetWindowsVersionText();

}  // namespace qv::app
