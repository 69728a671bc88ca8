// A window holding validating edits in the process's own (French) locale:
// a count, a weight with a suffix, an amount, a value past its critical
// point, a disabled edit in colours of its own and a placeholder, saved as
// a picture (screenshots/edit-window.bmp under the test's working folder)
// to be looked at.
#include <gtest/gtest.h>

#include <fstream>

#include "controls/edits/QvValidateEdit.h"
#include "framework/Form.h"
#include "support/QcSysUtils.h"
#include "tests/common/ControlTestSupport.h"
#include "tests/common/ScreenCapture.h"

using namespace qv::controls;
using namespace qv::fw;
using qv::test::App;
using qv::test::PumpFor;

namespace {

class TEditWindow : public TForm {
public:
  TEditWindow() : TForm(&App(), "TQvEditWindowForm") {
    SetCaption("Zones de saisie validées");
    SetClientSize(330, 215);
    int y = 10;
    auto row = [&](const char* label, const char* name) {
      auto& l = Make<TLabel>("");
      l.Place(this, 10, y + 3, 150, 16);
      l.SetCaption(label);
      auto& e = Make<TQvValidateEdit>(name);
      e.Place(this, 170, y, 140, 21);
      y += 34;
      return &e;
    };
    Count = row("Capacité (1 à 99)", "Count");
    Count->SetHasMinValue(true);
    Count->SetHasMaxValue(true);
    Count->SetMinValue(1);
    Count->SetMaxValue(99);
    Count->SetMaxLength(2);
    Count->SetEditText("10");
    Weight = row("Poids", "Weight");
    Weight->SetDisplayFormat(dfFloat);
    Weight->SetDecimalPlaces(2);
    Weight->SetDisplaySuffix(" kg");
    Weight->SetEditText(std::string("1234") + DecimalSeparator() + "5");
    Amount = row("Montant", "Amount");
    Amount->SetDisplayFormat(dfCurrency);
    Amount->SetDecimalPlaces(2);  // while loading the locale's are not taken
    Amount->SetEditText(std::string("-99") + DecimalSeparator() + "5");
    Critical = row("Au-delà de 100 (bleu)", "Critical");
    Critical->CriticalPoints().SetMaxValue(100);
    Critical->CriticalPoints().SetCheckPoints(cpMaxValue);
    Critical->SetEditText("150");
    Disabled = row("Désactivée", "Disabled");
    Disabled->SetEditText("42");
    Disabled->SetDisabledColor(0xE0FFFF);
    Disabled->SetDisabledTextColor(0x000080);
    Disabled->SetEnabled(false);
    Empty = row("Texte vide", "Empty");
    Empty->SetDisplayFormat(dfAlphabetic);
    Empty->SetEmptyValue("(aucun nom)");
    FinishCreate();
  }
  TQvValidateEdit *Count, *Weight, *Amount, *Critical, *Disabled, *Empty;
};

using qv::test::SaveWindowPicture;

std::string Shown(TWinControl& c) {
  char buf[128] = {};
  GetWindowTextA(c.Handle(), buf, sizeof buf);
  return buf;
}

}  // namespace

TEST(EditWindow, ShowsTheValidatingEditsForTheEye) {
  TEditWindow f;
  f.SetLeft(60);
  f.SetTop(60);
  f.Show();
  f.Count->SetFocus();
  PumpFor(300);
  const char dec = DecimalSeparator();
  EXPECT_EQ(Shown(*f.Count), "10");
  EXPECT_EQ(Shown(*f.Weight), std::string("1") + ThousandSeparator() + "234" + dec + "50 kg");
  EXPECT_NE(Shown(*f.Amount).find(std::string("99") + dec + "50"), std::string::npos);
  EXPECT_EQ(f.Critical->FontColor(), f.Critical->CriticalPoints().ColorAbove());
  EXPECT_EQ(Shown(*f.Empty), "(aucun nom)");
  EXPECT_EQ(f.Empty->Text(), "");
  RedrawWindow(f.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpFor(200);
  CreateDirectoryA("screenshots", nullptr);
  EXPECT_TRUE(SaveWindowPicture(f.Handle(), "screenshots/edit-window.bmp"));
}
