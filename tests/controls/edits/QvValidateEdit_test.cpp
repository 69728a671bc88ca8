// The validating edit in a real window, typed into through the loop, with
// the locale's separators pinned ('.' decimal, ',' thousands, "$"): the
// 1..99 count edit of the options dialog, refused characters, Escape,
// range rules, formats and their carry-over, display options, critical
// colours and the value-changed event.
#include "controls/edits/QvValidateEdit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "framework/Exception.h"
#include "framework/Form.h"
#include "support/QcSysUtils.h"
#include "tests/common/ControlTestSupport.h"

using namespace qv::controls;
using namespace qv::fw;
using qv::test::App;

namespace {

class TValidateForm : public TForm {
public:
  TValidateForm() : TForm(&App(), "TQvValidateTestForm") {
    SetClientSize(300, 120);
    Count = &Make<TQvValidateEdit>("ValidateMaxCombo");
    Count->Place(this, 10, 10, 40, 21);
    Count->SetDisplayFormat(dfInteger);
    Count->SetHasMinValue(true);
    Count->SetHasMaxValue(true);
    Count->SetMinValue(1);
    Count->SetMaxValue(99);
    Count->SetMaxLength(2);
    Count->SetEditText("1");
    Free = &Make<TQvValidateEdit>("Free");
    Free->Place(this, 10, 40, 120, 21);
    Other = &Make<TEdit>("Other");
    Other->Place(this, 150, 10, 100, 21);
    FinishCreate();
    Show();
    App().ProcessMessages();
  }
  TQvValidateEdit* Count;
  TQvValidateEdit* Free;
  TEdit* Other;
};

class QvValidateEdit : public ::testing::Test {
protected:
  void SetUp() override {
    TQcLocaleSettings s;
    s.DecimalSeparator = '.';
    s.ThousandSeparator = ',';
    s.CurrencyString = "$";
    s.CurrencyDecimals = 2;
    OverrideLocaleSettings(s);
    SetTwoDigitYearCenturyWindow(50);
    f = std::make_unique<TValidateForm>();
  }
  void TearDown() override {
    f.reset();
    OverrideLocaleSettings(std::nullopt);
  }
  std::unique_ptr<TValidateForm> f;
};

void Type(TWinControl& c, const std::string& chars) {
  for (char ch : chars) PostMessageA(c.Handle(), WM_CHAR, static_cast<unsigned char>(ch), 1);
  App().ProcessMessages();
}

std::string Shown(TWinControl& c) {
  char buf[128] = {};
  GetWindowTextA(c.Handle(), buf, sizeof buf);
  return buf;
}

int64_t IntValue(const TQvCustomValidateEdit& e) { return std::get<int64_t>(e.Value()); }

// Replaces the edit's text by typing, then leaves it.
void Enter(TValidateForm& f, TQvValidateEdit& e, const std::string& typed) {
  e.SetFocus();
  e.SelectAll();
  if (typed.empty()) PostMessageA(e.Handle(), WM_CHAR, VK_BACK, 1);
  Type(e, typed);
  f.Other->SetFocus();
  App().ProcessMessages();
}

}  // namespace

TEST_F(QvValidateEdit, CountEditReadsBackOneToNinetyNineWhateverIsTyped) {
  struct {
    const char* typed;
    const char* shown;
    int64_t value;
  } cases[] = {{"0", "1", 1}, {"", "1", 1}, {"-5", "1", 1}, {"7", "7", 7}, {"07", "7", 7}, {"99", "99", 99},
               {"x4", "4", 4}};
  for (const auto& c : cases) {
    Enter(*f, *f->Count, c.typed);
    EXPECT_EQ(Shown(*f->Count), c.shown) << c.typed;
    EXPECT_EQ(IntValue(*f->Count), c.value) << c.typed;
  }
  // Written values are clamped the same way.
  f->Count->SetValue(int64_t{150});
  EXPECT_EQ(Shown(*f->Count), "99");
  f->Count->SetValue(int64_t{0});
  EXPECT_EQ(Shown(*f->Count), "1");
  f->Count->SetValue(std::string("42"));
  EXPECT_EQ(IntValue(*f->Count), 42);
}

TEST_F(QvValidateEdit, RefusedCharactersAreDroppedAndControlCharactersPass) {
  TQvValidateEdit& e = *f->Free;
  e.SetFocus();
  EXPECT_EQ(Shown(e), "0");  // an empty integer edit shows its value
  e.SelectAll();
  Type(e, "1a2.b3");
  EXPECT_EQ(Shown(e), "123");
  PostMessageA(e.Handle(), WM_CHAR, VK_BACK, 1);
  App().ProcessMessages();
  EXPECT_EQ(Shown(e), "12");
  // One sign, in front; a second one only over a selection.
  e.SetSelection(0, 0);
  Type(e, "-");
  EXPECT_EQ(Shown(e), "-12");
  e.SetSelection(0, 0);
  Type(e, "-");
  EXPECT_EQ(Shown(e), "-12");
  e.SetSelection(3, 0);
  Type(e, "+");
  EXPECT_EQ(Shown(e), "-12");
  e.SelectAll();
  Type(e, "-");
  EXPECT_EQ(Shown(e), "-");
}

TEST_F(QvValidateEdit, EscapeRestoresTheCommittedTextSelected) {
  TQvValidateEdit& e = *f->Count;
  Enter(*f, e, "42");
  e.SetFocus();
  e.SetSelection(2, 0);
  PostMessageA(e.Handle(), WM_CHAR, VK_BACK, 1);
  App().ProcessMessages();
  EXPECT_EQ(Shown(e), "4");
  PostMessageA(e.Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageA(e.Handle(), WM_KEYUP, VK_ESCAPE, 0xC0000001);
  App().ProcessMessages();
  EXPECT_EQ(Shown(e), "42");
  EXPECT_EQ(e.SelStart(), 0);
  EXPECT_EQ(e.SelLength(), 2);
}

TEST_F(QvValidateEdit, RangeBoundsFollowEachOther) {
  TQvValidateEdit& e = *f->Free;
  e.SetMinValue(10);
  e.SetMaxValue(5);
  EXPECT_EQ(e.MinValue(), 5);
  EXPECT_EQ(e.MaxValue(), 5);
  e.SetMinValue(8);
  EXPECT_EQ(e.MaxValue(), 8);
  // Switching a bound on applies it to the value there.
  e.SetEditText("20");
  e.SetHasMaxValue(true);
  EXPECT_EQ(Shown(e), "8");
}

TEST_F(QvValidateEdit, FloatWithTrimmedDecimalsPrefixAndSuffix) {
  TQvValidateEdit& e = *f->Free;
  e.SetDisplayFormat(dfFloat);
  EXPECT_EQ(e.Alignment(), TAlignment::RightJustify);
  e.SetDecimalPlaces(2);
  e.SetEditText("1234.5");
  EXPECT_EQ(Shown(e), "1,234.50");
  e.SetTrimDecimals(true);
  e.SetDisplayPrefix("[");
  e.SetDisplaySuffix(" kg");
  e.SetEditText("1.50");
  EXPECT_EQ(Shown(e), "[1.5 kg");
  e.SetEditText("2.00");
  EXPECT_EQ(Shown(e), "[2 kg");
  EXPECT_EQ(e.EditText(), "2.00");
  EXPECT_DOUBLE_EQ(std::get<double>(e.Value()), 2.0);
  // Leaving reads the shown text back without prefix, suffix or thousands.
  e.SetTrimDecimals(false);
  e.SetEditText("1234.5");
  e.SetFocus();
  f->Other->SetFocus();
  App().ProcessMessages();
  EXPECT_DOUBLE_EQ(e.AsFloat(), 1234.5);
  EXPECT_EQ(Shown(e), "[1,234.50 kg");
}

TEST_F(QvValidateEdit, ZeroEmptyShowsNothingButKeepsTheValue) {
  TQvValidateEdit& e = *f->Free;
  e.SetEditText("0");
  EXPECT_EQ(Shown(e), "0");
  e.SetZeroEmpty(true);
  EXPECT_EQ(Shown(e), "");
  EXPECT_EQ(IntValue(e), 0);
}

TEST_F(QvValidateEdit, YearsTakeTheCenturyOfTheWindow) {
  TQvValidateEdit& e = *f->Free;
  e.SetDisplayFormat(dfYear);
  EXPECT_EQ(e.MaxLength(), 4);
  e.SetEditText("49");
  EXPECT_EQ(Shown(e), "2049");
  e.SetEditText("50");
  EXPECT_EQ(Shown(e), "1950");
  EXPECT_EQ(IntValue(e), 1950);
  e.SetDisplayFormat(dfInteger);
  EXPECT_EQ(e.MaxLength(), 0);
}

TEST_F(QvValidateEdit, FormatChangesCarryTheValueOver) {
  TQvValidateEdit& e = *f->Free;
  e.SetDisplayFormat(dfHex);
  e.SetFocus();
  e.SelectAll();
  Type(e, "fFg");
  f->Other->SetFocus();
  App().ProcessMessages();
  EXPECT_EQ(Shown(e), "fF");
  EXPECT_EQ(IntValue(e), 255);
  e.SetDisplayFormat(dfInteger);
  EXPECT_EQ(Shown(e), "255");
  e.SetDisplayFormat(dfBinary);
  EXPECT_EQ(Shown(e), "11111111");
  e.SetDisplayFormat(dfOctal);
  EXPECT_EQ(Shown(e), "377");
  e.SetDisplayFormat(dfFloat);
  EXPECT_EQ(Shown(e), "255");
  e.SetValue(int64_t{9});
  EXPECT_DOUBLE_EQ(e.AsFloat(), 9);
}

TEST_F(QvValidateEdit, CriticalPointsColourTheText) {
  TQvValidateEdit& e = *f->Free;
  TQvValidateEditCriticalPoints& cp = e.CriticalPoints();
  cp.SetMinValue(1);
  cp.SetMaxValue(10);
  cp.SetCheckPoints(cpBoth);
  const struct {
    const char* text;
    TColor color;
  } cases[] = {{"1", cp.ColorBelow()}, {"10", cp.ColorAbove()}, {"5", e.EffectiveFont().Color()}, {"0", cp.ColorBelow()},
               {"11", cp.ColorAbove()}};
  for (const auto& c : cases) {
    e.SetEditText(c.text);
    EXPECT_EQ(e.FontColor(), c.color) << c.text;
  }
  cp.MinValueIncluded = true;
  e.SetEditText("1");
  EXPECT_EQ(e.FontColor(), e.EffectiveFont().Color());
  EXPECT_TRUE(e.IsInCriticalRange());
  cp.SetCheckPoints(cpNone);
  e.SetEditText("50");
  EXPECT_EQ(e.FontColor(), e.EffectiveFont().Color());
}

TEST_F(QvValidateEdit, ValueChangedOnlyWhenTheCommittedTextMoves) {
  TQvValidateEdit& e = *f->Count;
  int changes = 0;
  e.OnValueChanged = [&](TComponent&) { ++changes; };
  Enter(*f, e, "12");
  EXPECT_EQ(changes, 1);
  Enter(*f, e, "12");
  EXPECT_EQ(changes, 1);
  e.SetValue(int64_t{500});  // clamped to 99 once
  EXPECT_EQ(changes, 2);
  e.SetText("99");
  EXPECT_EQ(changes, 2);
}

TEST_F(QvValidateEdit, ScientificAndCurrencyCharacters) {
  TQvValidateEdit& e = *f->Free;
  e.SetDisplayFormat(dfScientific);
  e.SetFocus();
  e.SelectAll();
  Type(e, "e1.2.5e+3E");
  EXPECT_EQ(Shown(e), "1.25e+3");
  EXPECT_DOUBLE_EQ(e.AsFloat(), 1250);

  TQcLocaleSettings s;
  s.DecimalSeparator = '.';
  s.CurrencyString = "$";
  s.NegCurrFormat = 0;  // ($1.00): the sign is a '(' typed first
  OverrideLocaleSettings(s);
  e.SetDisplayFormat(dfCurrency);
  e.SetEditText("");
  e.SetFocus();
  e.SelectAll();
  Type(e, "(12.5");
  EXPECT_EQ(Shown(e), "-12.5");
  f->Other->SetFocus();
  App().ProcessMessages();
  EXPECT_EQ(Shown(e), "($12.50)");
  EXPECT_EQ(std::get<TCurrency>(e.Value()), TCurrency::FromScaled(-125000));
}

TEST_F(QvValidateEdit, OwnCheckCharsOnlyForTheFormatsThatKeepThem) {
  TQvValidateEdit& e = *f->Free;
  e.SetCheckChars("ab");
  EXPECT_EQ(e.CheckChars(), "01234567890");
  e.SetDisplayFormat(dfCheckChars);
  e.SetCheckChars("ab");
  e.SetFocus();
  e.SelectAll();
  Type(e, "abcba1");
  EXPECT_EQ(Shown(e), "abba");
  e.SetDisplayFormat(dfNonCheckChars);
  e.SetEditText("xaybz");
  EXPECT_EQ(Shown(e), "xyz");
  e.SetDisplayFormat(dfIdentifier);
  e.SetEditText("1_a9");
  EXPECT_EQ(Shown(e), "_a9");
}

namespace {

// One record with one field "Nombre", keeping its connectors.
class TFakeSource : public IQvDataSource, public IQvDataSourceConnection {
public:
  TQvVariant value = int64_t{7};
  bool writable = true;
  bool refuseWrites = false;
  int edits = 0;
  std::vector<TQvDataConnector*> connectors;

  bool IsActive() const override { return true; }
  TQvFieldObject FieldByName(const std::string& name) const override { return name == "Nombre" ? this : nullptr; }
  bool FieldIsNull(TQvFieldObject) const override { return std::holds_alternative<std::monostate>(value); }
  bool FieldCanModify(TQvFieldObject) const override { return writable; }
  TQvVariant FieldValue(TQvFieldObject) const override { return value; }
  void SetFieldValue(TQvFieldObject, const TQvVariant& v) override {
    if (refuseWrites) throw qv::fw::EQvError("Valeur refus\xE9" "e par la source");
    value = v;
  }
  std::string FieldText(TQvFieldObject) const override { return ""; }
  void SetFieldText(TQvFieldObject, const std::string&) override {}
  void RegisterConnector(TQvDataConnector* c) override { connectors.push_back(c); }
  void UnregisterConnector(TQvDataConnector* c) override { std::erase(connectors, c); }
  void StartEdit() override { ++edits; }
};

// The edit's connector, bound to the source's field "Nombre" (loaded).
TQvValidateEditDataConnector& BindToNombre(TQvValidateEdit& e, const std::shared_ptr<TFakeSource>& source) {
  auto& connector = dynamic_cast<TQvValidateEditDataConnector&>(e.DataConnector());
  connector.SetDataSource(source);
  connector.SetDataField("Nombre");
  return connector;
}

}  // namespace

TEST_F(QvValidateEdit, BoundToAFieldItLoadsTheValueAndWritesItBackOnLeaving) {
  TQvValidateEdit& e = *f->Count;
  auto source = std::make_shared<TFakeSource>();
  auto& connector = BindToNombre(e, source);
  EXPECT_EQ(Shown(e), "7");
  EXPECT_EQ(source->edits, 0);  // loading is not editing

  Enter(*f, e, "120");  // two characters at most: "12"
  EXPECT_GT(source->edits, 0);
  EXPECT_EQ(std::get<int64_t>(source->value), 12);

  // A field that cannot be written makes the edit read-only; a null one
  // shows NullValue.
  source->writable = false;
  source->value = TQvVariant{};
  connector.SetNullValue(int64_t{5});
  EXPECT_TRUE(e.ReadOnly());
  EXPECT_EQ(Shown(e), "5");
  connector.SetDataSource(nullptr);
  EXPECT_TRUE(source->connectors.empty());
}

TEST_F(QvValidateEdit, KeypadDecimalKeyTypesTheLocaleSeparator) {
  f.reset();
  TQcLocaleSettings s;
  s.DecimalSeparator = ',';
  s.ThousandSeparator = ' ';
  OverrideLocaleSettings(s);
  f = std::make_unique<TValidateForm>();
  TQvValidateEdit& e = *f->Free;
  e.SetDisplayFormat(dfFloat);
  e.SetFocus();
  e.SelectAll();
  Type(e, "3");
  // The keyboard's translation of the keypad key gives '.'; the edit makes
  // it the separator of the locale.
  PostMessageA(e.Handle(), WM_KEYDOWN, VK_DECIMAL, 0x00530001);
  App().ProcessMessages();
  PostMessageA(e.Handle(), WM_KEYUP, VK_DECIMAL, 0xC0530001);
  Type(e, "5.");
  EXPECT_EQ(Shown(e), "3,5");
  EXPECT_DOUBLE_EQ(e.AsFloat(), 3.5);
}

TEST_F(QvValidateEdit, EmptyValuesRoundingAndCustomCharacters) {
  TQvValidateEdit& e = *f->Free;
  e.SetAllowEmpty(true);
  e.SetEditText("");
  EXPECT_EQ(Shown(e), "");
  e.SetEditText("4");
  e.SetValue(TQvVariant{});
  EXPECT_EQ(Shown(e), "");
  // The range rules come first and may fill it.
  e.SetHasMinValue(true);
  e.SetMinValue(1);
  e.SetValue(std::string());
  EXPECT_EQ(Shown(e), "1");
  e.SetHasMinValue(false);

  e.SetDisplayFormat(dfPercent);
  e.SetDecimalPlaces(1);
  e.OnDecimalRounding = [](TComponent&, double& rounded, double value) { rounded = std::floor(value); };
  e.SetEditText("12.75");
  EXPECT_EQ(Shown(e), "12.0%");
  EXPECT_DOUBLE_EQ(e.AsFloat(), 12.75);
  e.OnDecimalRounding = nullptr;

  e.SetDisplayFormat(dfCustom);
  EXPECT_EQ(e.Alignment(), TAlignment::LeftJustify);
  e.OnCustomValidate = [](TComponent&, char key, const std::string& aText, int pos, bool& valid) {
    valid = key == 'x' || (pos > 1 && aText.back() == 'x' && key == 'y');
  };
  e.SetEditText("xyzxxyy");
  EXPECT_EQ(Shown(e), "xyxxy");
}

TEST_F(QvValidateEdit, PixelLimitWithASuffixEndsInsteadOfCuttingForever) {
  TQvValidateEdit& e = *f->Free;
  e.SetDisplaySuffix(" kg");
  e.MaxPixel().SetLength(25);
  e.SetFocus();
  e.SelectAll();
  Type(e, "123456789");
  // The value the limit let through is kept; the suffix may stand past it.
  EXPECT_FALSE(e.EditText().empty());
  EXPECT_LT(e.EditText().size(), 9u);
}

TEST_F(QvValidateEdit, ARefusedWriteBackIsShownBeforeTheFocusComesBack) {
  TQvValidateEdit& e = *f->Count;
  auto source = std::make_shared<TFakeSource>();
  auto& connector = BindToNombre(e, source);
  source->refuseWrites = true;
  qv::test::ShownErrors().clear();
  HWND focusAtMessage = nullptr;
  auto saved = App().OnException;
  App().OnException = [&](const std::string& message) {
    qv::test::ShownErrors().push_back(message);
    focusAtMessage = GetFocus();
  };
  Enter(*f, e, "42");
  App().OnException = saved;
  ASSERT_EQ(qv::test::ShownErrors().size(), 1u);
  EXPECT_EQ(qv::test::ShownErrors()[0], "Valeur refus\xE9" "e par la source");
  // The message did not find the edit refocused under it; the edit has the
  // focus once it is read.
  EXPECT_NE(focusAtMessage, e.Handle());
  EXPECT_EQ(GetFocus(), e.Handle());
  connector.SetDataSource(nullptr);
}

TEST_F(QvValidateEdit, CurrencyOverflowAndEmptyYearFaults) {
  TQvValidateEdit& e = *f->Free;
  // The currency string belongs to currency values only.
  e.SetDisplayFormat(dfNone);
  e.SetEditText("$5");
  EXPECT_EQ(e.EditText(), "$5");
  EXPECT_EQ(Shown(e), "$5");
  e.SetDisplayFormat(dfCurrency);
  e.SetEditText("$5");
  EXPECT_EQ(e.EditText(), "5");

  // A mantissa times a power of ten out of range is no number: 0.
  e.SetDisplayFormat(dfScientific);
  e.SetEditText("9e999");
  EXPECT_EQ(e.AsFloat(), 0);
  EXPECT_EQ(Shown(e).find("inf"), std::string::npos);
  e.SetEditText("-9e400");
  EXPECT_EQ(e.AsFloat(), 0);
  e.SetEditText("0e999");
  EXPECT_EQ(e.AsFloat(), 0);
  e.SetEditText("2e3");
  EXPECT_DOUBLE_EQ(e.AsFloat(), 2000);

  // An empty year stays empty when empty is allowed, and only then.
  e.SetDisplayFormat(dfYear);
  e.SetAllowEmpty(true);
  e.SetEditText("");
  EXPECT_EQ(e.EditText(), "");
  EXPECT_EQ(Shown(e), "");
  e.SetEditText("49");
  EXPECT_EQ(Shown(e), "2049");
  e.SetAllowEmpty(false);
  e.SetEditText("");
  EXPECT_EQ(Shown(e), "2000");
}

TEST_F(QvValidateEdit, NegativeCurrencyKeepsItsSignInEveryLocaleFormat) {
  TQvValidateEdit& e = *f->Free;
  const auto leave = [&] {
    f->Other->SetFocus();
    App().ProcessMessages();
  };
  // "S/." holds the decimal separator: wherever a format puts it, its '.'
  // must not be read as the number's.
  for (const std::string currency : {"$", "EUR", "S/."}) {
    for (uint8_t n = 0; n <= 15; ++n) {
      SCOPED_TRACE(currency + " NegCurrFormat " + std::to_string(n));
      TQcLocaleSettings s;
      s.DecimalSeparator = '.';
      s.ThousandSeparator = ',';
      s.CurrencyString = currency;
      s.CurrencyDecimals = 2;
      s.NegCurrFormat = n;
      OverrideLocaleSettings(s);
      e.SetDisplayFormat(dfInteger);
      e.SetDisplayFormat(dfCurrency);
      e.SetValue(-1234.5);
      const std::string shown = Shown(e);
      for (int round = 0; round < 2; ++round) {
        e.SetFocus();
        App().ProcessMessages();
        leave();
        EXPECT_EQ(Shown(e), shown);
        EXPECT_DOUBLE_EQ(e.AsFloat(), -1234.5);
      }
      // Typed with the sign where this format puts it.
      const bool parenthesis = n == 0 || n == 4 || n == 14 || n == 15;
      const bool trailing = n == 3 || n == 6 || n == 7 || n == 10 || n == 11 || n == 13;
      e.SetFocus();
      e.SelectAll();
      Type(e, parenthesis ? "(12.5" : trailing ? "12.5-" : "-12.5");
      leave();
      EXPECT_DOUBLE_EQ(e.AsFloat(), -12.5);
      e.SetFocus();
      leave();
      EXPECT_DOUBLE_EQ(e.AsFloat(), -12.5);
      // A second sign is refused.
      e.SetFocus();
      SendMessageA(e.Handle(), EM_SETSEL, 0, 0);
      Type(e, parenthesis ? "(" : "-");
      leave();
      EXPECT_DOUBLE_EQ(e.AsFloat(), -12.5);
      // Positive values stay positive.
      e.SetValue(7.25);
      e.SetFocus();
      leave();
      EXPECT_DOUBLE_EQ(e.AsFloat(), 7.25);
      // A leading sign typed just past the shown currency is the value's
      // first place; a trailing one typed at the end, its last.
      e.SetFocus();
      const int at = trailing ? static_cast<int>(Shown(e).size()) : static_cast<int>(currency.size());
      SendMessageA(e.Handle(), EM_SETSEL, at, at);
      Type(e, parenthesis ? "(" : "-");
      leave();
      EXPECT_DOUBLE_EQ(e.AsFloat(), -7.25);
    }
  }
  // Places count from past the prefix: a sign typed right after it leads.
  e.SetDisplayFormat(dfInteger);
  e.SetDisplayPrefix("n=");
  e.SetValue(int64_t{5});
  e.SetFocus();
  SendMessageA(e.Handle(), EM_SETSEL, 2, 2);
  Type(e, "-");
  leave();
  EXPECT_EQ(Shown(e), "n=-5");
}

TEST_F(QvValidateEdit, EscapeThroughAnActiveConnectorReloadsTheFieldsValue) {
  TQvValidateEdit& e = *f->Count;
  auto source = std::make_shared<TFakeSource>();
  auto& connector = BindToNombre(e, source);
  ASSERT_EQ(Shown(e), "7");
  const auto escape = [&] {
    PostMessageA(e.Handle(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(e.Handle(), WM_KEYUP, VK_ESCAPE, 0xC0010001);
    App().ProcessMessages();
  };
  e.SetFocus();
  e.SelectAll();
  Type(e, "3");
  source->value = int64_t{42};  // written meanwhile by someone else
  escape();
  EXPECT_EQ(Shown(e), "42");
  DWORD start = 1, end = 0;
  SendMessageA(e.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 2u);
  // A field that cannot be written is not read again: the committed text.
  source->writable = false;
  Type(e, "5");
  source->value = int64_t{9};
  escape();
  EXPECT_EQ(Shown(e), "42");
  connector.SetDataSource(nullptr);
}

TEST_F(QvValidateEdit, DecimalPlacesBeyondEighteenShowEighteen) {
  TQvValidateEdit& e = *f->Free;
  e.SetDisplayFormat(dfFloat);
  e.SetDecimalPlaces(4000000000u);
  e.SetValue(1.5);
  const std::string shown = Shown(e);
  ASSERT_NE(shown.find('.'), std::string::npos);
  EXPECT_EQ(shown.substr(0, 2), "1.");
  EXPECT_EQ(shown.size() - shown.find('.') - 1, 18u);
  EXPECT_DOUBLE_EQ(e.AsFloat(), 1.5);
  e.SetDisplayFormat(dfCurrency);
  e.SetValue(-2.25);
  EXPECT_DOUBLE_EQ(e.AsFloat(), -2.25);
  // A currency value reads as a currency: four decimals, the fifth rounded,
  // and written back as one.
  e.SetEditText("12.34567");
  ASSERT_TRUE(std::holds_alternative<TCurrency>(e.Value()));
  EXPECT_EQ(std::get<TCurrency>(e.Value()), TCurrency::FromScaled(123457));
  e.SetValue(TCurrency::FromScaled(-25000));
  EXPECT_EQ(std::get<TCurrency>(e.Value()), TCurrency::FromScaled(-25000));
}
