// Regional settings read from the locale, or pinned by tests.
#include "support/QcSysUtils.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "support/QcErrors.h"
#include "support/QcUnitVersioning.h"

namespace qv::controls {

namespace {

const TUnitVersionInfo kUnitVersion = {"support/QcSysUtils.cpp", "3.2.0.0", "", "QCL\\source\\common", "",
                                       nullptr};
const TUnitVersionRegistration kRegistration(kUnitVersion);

std::mutex g_overrideLock;
std::optional<TQcLocaleSettings> g_override;
std::atomic<uint16_t> g_twoDigitYearWindow{50};

std::string LocaleText(LCID locale, LCTYPE type) {
  char buffer[128] = {};
  const int n = GetLocaleInfoA(locale, type, buffer, sizeof buffer);
  return n > 1 ? std::string(buffer, static_cast<size_t>(n - 1)) : std::string();
}

char LocaleChar(LCID locale, LCTYPE type, char fallback) {
  const std::string text = LocaleText(locale, type);
  return text.empty() ? fallback : text[0];
}

uint8_t LocaleNumber(LCID locale, LCTYPE type, uint8_t fallback, unsigned highest) {
  const std::string text = LocaleText(locale, type);
  char* end = nullptr;
  const unsigned long v = std::strtoul(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || v > highest) return fallback;
  return static_cast<uint8_t>(v);
}

TQcLocaleSettings ReadLocale() {
  TQcLocaleSettings s;
  s.CurrencyDecimals = LocaleNumber(LOCALE_USER_DEFAULT, LOCALE_ICURRDIGITS, 2, 255);
  s.CurrencyString = LocaleText(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY);
  s.DecimalSeparator = LocaleChar(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, '.');
  s.ThousandSeparator = LocaleChar(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, ',');
  s.CurrencyFormat = LocaleNumber(LOCALE_USER_DEFAULT, LOCALE_ICURRENCY, 0, 3);
  s.NegCurrFormat = LocaleNumber(LOCALE_USER_DEFAULT, LOCALE_INEGCURR, 0, 15);
  s.SystemDecimalSeparator = LocaleChar(LOCALE_SYSTEM_DEFAULT, LOCALE_SDECIMAL, '.');
  s.SystemThousandSeparator = LocaleChar(LOCALE_SYSTEM_DEFAULT, LOCALE_STHOUSAND, '.');
  return s;
}

std::optional<TQcLocaleSettings> Pinned() {
  std::lock_guard<std::mutex> lock(g_overrideLock);
  return g_override;
}

}  // namespace

TQcLocaleSettings LocaleSettings() {
  if (auto pinned = Pinned()) return *pinned;
  return ReadLocale();
}

// Each accessor reads only its own value.
uint8_t CurrencyDecimals() {
  if (auto p = Pinned()) return p->CurrencyDecimals;
  return LocaleNumber(LOCALE_USER_DEFAULT, LOCALE_ICURRDIGITS, 2, 255);
}
std::string CurrencyString() {
  if (auto p = Pinned()) return p->CurrencyString;
  return LocaleText(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY);
}
char DecimalSeparator() {
  if (auto p = Pinned()) return p->DecimalSeparator;
  return LocaleChar(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, '.');
}
char ThousandSeparator() {
  if (auto p = Pinned()) return p->ThousandSeparator;
  return LocaleChar(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, ',');
}
uint8_t CurrencyFormat() {
  if (auto p = Pinned()) return p->CurrencyFormat;
  return LocaleNumber(LOCALE_USER_DEFAULT, LOCALE_ICURRENCY, 0, 3);
}
uint8_t NegCurrFormat() {
  if (auto p = Pinned()) return p->NegCurrFormat;
  return LocaleNumber(LOCALE_USER_DEFAULT, LOCALE_INEGCURR, 0, 15);
}

uint16_t TwoDigitYearCenturyWindow() { return g_twoDigitYearWindow.load(); }
void SetTwoDigitYearCenturyWindow(uint16_t window) { g_twoDigitYearWindow.store(window); }

char AnsiReplacementChar(UINT codePage) {
  CPINFO info{};
  if (!GetCPInfo(codePage, &info)) throw EQcInternalError("Failed to get ANSI replacement character");
  return static_cast<char>(info.DefaultChar[0]);
}

void UnloadModule(HMODULE& module) {
  if (module) FreeLibrary(module);
  module = nullptr;
}

void OverrideLocaleSettings(std::optional<TQcLocaleSettings> settings) {
  std::lock_guard<std::mutex> lock(g_overrideLock);
  g_override = std::move(settings);
}

}  // namespace qv::controls
