// Windows version text of the about box.
#include "app/WindowsVersion.h"

#include <cstring>
#include <vector>

namespace qv::app {

namespace {

// A string value under HKEY_LOCAL_MACHINE, empty when the key or value is
// missing or of another type.
std::string ReadMachineString(const char* key, const char* name) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return {};
  std::string value;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(h, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0 && size <= 4096) {
    std::vector<char> data(size + 1, '\0');
    if (RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS)
      value = data.data();  // stored strings may lack their terminator
  }
  RegCloseKey(h);
  return value;
}

void AppendNineX(std::string& text, const TWindowsVersionFacts& f) {
  const char second = f.ServicePack.size() >= 2 ? f.ServicePack[1] : '\0';
  if (f.Major == 4 && f.Minor == 0) {
    AppendVersionPart(text, "Microsoft Windows 95", true);
    if (second == 'C' || second == 'B') AppendVersionPart(text, " OSR2", false);
  } else if (f.Major == 4 && f.Minor == 10) {
    AppendVersionPart(text, "Microsoft Windows 98", true);
    if (second == 'A') AppendVersionPart(text, " SE", false);
  } else if (f.Major == 4 && f.Minor == 90) {
    AppendVersionPart(text, "Microsoft Windows Millennium", true);
  }
}

void AppendServerSuite(std::string& text, const TWindowsVersionFacts& f) {
  if (f.SuiteMask & VER_SUITE_DATACENTER)
    AppendVersionPart(text, " DataCenter Server", false);
  else if (f.SuiteMask & VER_SUITE_ENTERPRISE)
    AppendVersionPart(text, f.Major == 4 ? " Advanced Server" : " Enterprise Server", false);
  else if (f.SuiteMask == VER_SUITE_BLADE)
    AppendVersionPart(text, " Web Server", false);
  else
    AppendVersionPart(text, " Server", false);
}

void AppendNt(std::string& text, const TWindowsVersionFacts& f) {
  const bool named = f.Major <= 4 || (f.Major == 5 && f.Minor == 0);
  if (f.Major <= 4) AppendVersionPart(text, "Microsoft Windows NT", true);
  if (f.Major == 5 && f.Minor == 0) AppendVersionPart(text, "Microsoft Windows 2000", true);

  if (f.Extended) {
    if (f.ProductType == VER_NT_WORKSTATION) {
      // NT 4 and 2000 are named above: a generic second line would only
      // repeat them, so the edition goes on their line.
      const char* name = f.Major == 6 && f.Minor == 2   ? "Microsoft Windows 8"
                         : f.Major == 6 && f.Minor == 1 ? "Microsoft Windows 7"
                         : f.Major == 6 && f.Minor == 0 ? "Microsoft Windows Vista"
                         : f.Major == 5 && f.Minor == 1 ? "Microsoft Windows XP"
                         : named                        ? nullptr
                                                        : "Microsoft Windows";
      if (name) AppendVersionPart(text, name, true);
      AppendVersionPart(text, (f.SuiteMask & VER_SUITE_PERSONAL) ? " HOME" : " PRO", false);
    } else if (f.ProductType == VER_NT_SERVER) {
      if (f.Major == 6 && f.Minor == 0)
        AppendVersionPart(text, "Microsoft Windows Longhorn", true);
      else if (f.Major == 5 && f.Minor == 1)
        AppendVersionPart(text, "Microsoft Windows .NET", true);
      AppendServerSuite(text, f);
    }
  } else {
    if (f.ProductOptionsType == "WINNT")
      AppendVersionPart(text, " PRO", false);
    else if (f.ProductOptionsType == "LANMANNT")
      AppendVersionPart(text, " Server", false);
    else if (f.ProductOptionsType == "SERVERNT")
      AppendVersionPart(text, " Advanced Server", false);
  }

  // "version %d.%d %s (Build %d)" and "%s %s%s (Build %d)", built whole
  // whatever the length of the registry's texts.
  const std::string build = " (Build " + std::to_string(f.Build & 0xFFFF) + ")";
  if (f.Major <= 4)
    AppendVersionPart(text,
                      "version " + std::to_string(f.Major) + "." + std::to_string(f.Minor) + " " + f.ServicePack + build,
                      true);
  AppendVersionPart(text, f.EditionID + " " + f.ServicePack + f.SubVersionNumber + build, true);
}

}  // namespace

std::string TrimLeadingSpaces(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  return text.substr(i);
}

void AppendVersionPart(std::string& text, const std::string& part, bool newLine) {
  if (text.empty())
    text = TrimLeadingSpaces(part);
  else if (newLine)
    text += '\r' + TrimLeadingSpaces(part);
  else
    text += part;
}

std::string BuildWindowsVersionText(const TWindowsVersionFacts& facts) {
  std::string text;
  if (facts.Platform == VER_PLATFORM_WIN32_WINDOWS)
    AppendNineX(text, facts);
  else if (facts.Platform == VER_PLATFORM_WIN32_NT)
    AppendNt(text, facts);
  return text;
}

std::optional<TWindowsVersionFacts> ReadWindowsVersionFacts() {
  TWindowsVersionFacts f;
  OSVERSIONINFOEXA ex{};
  ex.dwOSVersionInfoSize = sizeof ex;
  if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ex))) {
    f.Extended = true;
    f.SuiteMask = ex.wSuiteMask;
    f.ProductType = ex.wProductType;
  } else {
    ex.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ex))) return std::nullopt;
  }
  f.Platform = ex.dwPlatformId;
  f.Major = ex.dwMajorVersion;
  f.Minor = ex.dwMinorVersion;
  f.Build = ex.dwBuildNumber;
  // The system fills a fixed array; never read past it.
  f.ServicePack.assign(ex.szCSDVersion, strnlen(ex.szCSDVersion, sizeof ex.szCSDVersion));
  if (f.Platform == VER_PLATFORM_WIN32_NT) {
    if (!f.Extended)
      f.ProductOptionsType = ReadMachineString("SYSTEM\\CurrentControlSet\\Control\\ProductOptions", "ProductType");
    const char* current = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    f.SubVersionNumber = ReadMachineString(current, "SubVersionNumber");
    f.EditionID = ReadMachineString(current, "EditionID");
  }
  return f;
}

std::string GetWindowsVersionText() {
  const auto facts = ReadWindowsVersionFacts();
  return facts ? BuildWindowsVersionText(*facts) : std::string();
}

}  // namespace qv::app
