// Regional settings as the edits read them, the ANSI replacement character,
// the module unloader, the raise of a system error (French wording) and
// component links that follow their target's lifetime.
#include "support/QcSysUtils.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/OSError.h"
#include "support/QcErrors.h"
#include "support/QvQVLUtils.h"

namespace qv::controls {
namespace {

std::string Locale(LCID lcid, LCTYPE type) {
  char buffer[128] = {};
  const int n = GetLocaleInfoA(lcid, type, buffer, sizeof buffer);
  return n > 1 ? std::string(buffer, static_cast<size_t>(n - 1)) : std::string();
}

TEST(QcSysUtils, AccessorsReadTheUserLocaleEachTime) {
  OverrideLocaleSettings(std::nullopt);
  EXPECT_EQ(CurrencyString(), Locale(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY));
  EXPECT_EQ(DecimalSeparator(), Locale(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL).at(0));
  EXPECT_EQ(CurrencyDecimals(), std::stoi(Locale(LOCALE_USER_DEFAULT, LOCALE_ICURRDIGITS)));
  EXPECT_EQ(NegCurrFormat(), std::stoi(Locale(LOCALE_USER_DEFAULT, LOCALE_INEGCURR)));
  EXPECT_LE(NegCurrFormat(), 15);
  const TQcLocaleSettings all = LocaleSettings();
  EXPECT_EQ(all.SystemDecimalSeparator, Locale(LOCALE_SYSTEM_DEFAULT, LOCALE_SDECIMAL).at(0));
  EXPECT_EQ(all.DecimalSeparator, DecimalSeparator());
  // The tests run in a French locale: a decimal comma and the euro.
  EXPECT_EQ(DecimalSeparator(), ',');
  EXPECT_EQ(CurrencyString(), "€");
}

TEST(QcSysUtils, PinnedSettingsWinUntilReleased) {
  TQcLocaleSettings pinned;
  pinned.CurrencyDecimals = 3;
  pinned.CurrencyString = "CHF";
  pinned.DecimalSeparator = '.';
  pinned.NegCurrFormat = 12;
  OverrideLocaleSettings(pinned);
  EXPECT_EQ(CurrencyDecimals(), 3);
  EXPECT_EQ(CurrencyString(), "CHF");
  EXPECT_EQ(DecimalSeparator(), '.');
  EXPECT_EQ(NegCurrFormat(), 12);
  OverrideLocaleSettings(std::nullopt);
  EXPECT_EQ(CurrencyString(), Locale(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY));
}

TEST(QcSysUtils, TwoDigitYearWindowStartsAtFifty) {
  EXPECT_EQ(TwoDigitYearCenturyWindow(), 50);
  SetTwoDigitYearCenturyWindow(30);
  EXPECT_EQ(TwoDigitYearCenturyWindow(), 30);
  SetTwoDigitYearCenturyWindow(50);
}

TEST(QcSysUtils, AnsiReplacementCharacter) {
  EXPECT_EQ(AnsiReplacementChar(), '?');
  EXPECT_EQ(AnsiReplacementChar(1252), '?');
  try {
    AnsiReplacementChar(12345);  // no such code page
    FAIL();
  } catch (const EQcInternalError& e) {
    EXPECT_STREQ(e.what(), "Failed to get ANSI replacement character");
  }
}

TEST(QcSysUtils, UnloadModuleFreesOnceAndForgets) {
  HMODULE lib = LoadLibraryA("version.dll");
  ASSERT_NE(lib, nullptr);
  HMODULE again = LoadLibraryA("version.dll");  // a second reference keeps it loaded
  UnloadModule(lib);
  EXPECT_EQ(lib, nullptr);
  UnloadModule(lib);  // nothing to free
  EXPECT_NE(GetModuleHandleA("version.dll"), nullptr);
  FreeLibrary(again);
}

TEST(QcSysUtils, SystemErrorsAreRaisedInFrench) {
  try {
    RaiseLastOSError(ERROR_ACCESS_DENIED);
    FAIL();
  } catch (const qv::fw::EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<unsigned long>(ERROR_ACCESS_DENIED));
    const std::string text = e.what();
    const std::string head = "Erreur système. Code : 5.";
    EXPECT_EQ(text.substr(0, head.size()), head) << text;
    EXPECT_EQ(text, head + "\r\n" + qv::fw::SysErrorMessage(ERROR_ACCESS_DENIED));
  }
  SetLastError(ERROR_FILE_NOT_FOUND);
  try {
    RaiseLastOSError();
    FAIL();
  } catch (const qv::fw::EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
  }
  // A code the system has no text for: the first line alone.
  try {
    RaiseLastOSError(0x2FFFFFFF);
  } catch (const qv::fw::EOSError& e) {
    EXPECT_STREQ(e.what(), "Erreur système. Code : 805306367.");
  }
}

// A holder that clears its link when the target is freed.
class THolder : public qv::fw::TComponent {
public:
  THolder() : TComponent(nullptr) {}
  qv::fw::TComponent* Link = nullptr;
  int Removals = 0;

protected:
  void Notification(qv::fw::TComponent* c, qv::fw::TOperation op) override {
    TComponent::Notification(c, op);
    if (op == qv::fw::TOperation::Remove && c == Link) {
      Link = nullptr;
      ++Removals;
    }
  }
};

TEST(QcSysUtils, ComponentLinkFollowsItsTargetsLifetime) {
  THolder holder;
  auto* a = new qv::fw::TComponent(nullptr);
  auto* b = new qv::fw::TComponent(nullptr);
  EXPECT_TRUE(SwapComponentLink(&holder, a, holder.Link));
  EXPECT_FALSE(SwapComponentLink(&holder, a, holder.Link));  // same value
  EXPECT_TRUE(SwapComponentLink(&holder, b, holder.Link));
  delete a;  // no longer watched
  EXPECT_EQ(holder.Link, b);
  EXPECT_EQ(holder.Removals, 0);
  delete b;
  EXPECT_EQ(holder.Link, nullptr);
  EXPECT_EQ(holder.Removals, 1);

  // Without an owner nothing would clear the link: it is not set.
  qv::fw::TComponent* loose = nullptr;
  qv::fw::TComponent c(nullptr);
  EXPECT_FALSE(SwapComponentLink(static_cast<qv::fw::TComponent*>(nullptr), &c, loose));
  EXPECT_EQ(loose, nullptr);
}

}  // namespace
}  // namespace qv::controls
