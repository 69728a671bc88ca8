// A window holding the spin edits, the sliders and the status bar as the
// main window uses them, saved as a picture (screenshots/controls-window.bmp
// under the test's working folder) to be looked at.
#include <gtest/gtest.h>

#include <fstream>

#include "controls/edits/QxSpinEdit.h"
#include "controls/slider/QxSlider.h"
#include "controls/status/QvStatusBar.h"
#include "framework/ExtCtrls.h"
#include "framework/Form.h"
#include "tests/common/ControlTestSupport.h"
#include "tests/common/ScreenCapture.h"

using namespace qv::controls;
using namespace qv::fw;
using qv::test::App;
using qv::test::PumpFor;

namespace {

class TControlsForm : public TForm {
public:
  TControlsForm() : TForm(&App(), "TControlsTestForm") {
    SetCaption("Contrôles de saisie et barre d'état");
    SetClientSize(560, 230);
    auto label = [this](const char* text, int x, int y) {
      auto& l = Make<TLabel>("");
      l.Place(this, x, y, 115, 16);
      l.SetCaption(text);
    };
    label("Début (diagonal)", 12, 14);
    SpinDebut = &Make<TQxSpinEdit>("SpinDebut");
    SpinDebut->Place(this, 12, 32, 70, 21);
    SpinDebut->SetDecimal(0);
    SpinDebut->SetValue(12);
    label("Système (up-down)", 130, 14);
    SpinStd = &Make<TQxSpinEdit>("SpinStd");
    SpinStd->Place(this, 130, 32, 90, 21);
    SpinStd->SetButtonKind(bkStandard);
    SpinStd->SetValueType(vtFloat);
    SpinStd->SetDecimal(2);
    SpinStd->SetDisplayFormat(",0.00");
    SpinStd->SetValue(1234.5L);
    label("Empilé (désactivé)", 260, 14);
    SpinOff = &Make<TQxSpinEdit>("SpinOff");
    SpinOff->Place(this, 260, 32, 70, 21);
    SpinOff->SetButtonKind(bkClassic);
    SpinOff->SetValueType(vtHex);
    SpinOff->SetValue(255);
    SpinOff->SetEnabled(false);

    label("Position de l'indice", 12, 72);
    Slider = &Make<TQxSlider>("QxSlider");
    Slider->Place(this, 12, 90, 150, 40);
    Slider->SetIncrement(1);
    Slider->SetMaxValue(10);
    Slider->SetValue(4);
    Slider->SetImageColors(siHThumb, 7, {clBtnFace});
    label("Pas de 10, biseau", 200, 72);
    Wide = &Make<TQxSlider>("Wide");
    Wide->Place(this, 200, 90, 220, 44);
    Wide->SetBevelStyle(bvLowered);
    Wide->SetValue(70);
    Wide->SetEnabled(false);
    Vertical = &Make<TQxSlider>("Vertical");
    Vertical->Place(this, 470, 10, 40, 150);  // a layout keeps its sides (no swap)
    Vertical->SetOrientation(soVertical);
    Vertical->SetIncrement(25);
    Vertical->SetValue(25);

    StatusBar = &Make<TQvStatusBar>("StatusBar");
    StatusBar->SetParent(this);
    StatusBar->AddPanel(260, "Choisissez la position de l'indice dans le nom");
    StatusBar->AddPanel(110);
    StatusBar->AddPanel(50, " 12 fichiers dans 1 234 567 octets");
    Progress = &Make<TProgressBar>("Progress");
    Progress->SetBounds(0, 0, 100, 10);
    Progress->SetPosition(60);
    StatusBar->QvPanel(1).SetControl(Progress);
    FinishCreate();
  }
  TQxSpinEdit *SpinDebut, *SpinStd, *SpinOff;
  TQxSlider *Slider, *Wide, *Vertical;
  TQvStatusBar* StatusBar;
  TProgressBar* Progress;
};

using qv::test::SaveWindowPicture;

}  // namespace

TEST(ControlsWindow, ShowsAllThreeControlsForTheEye) {
  TControlsForm f;
  f.SetLeft(40);
  f.SetTop(40);
  f.Show();
  f.SpinDebut->SetFocus();
  PumpFor(300);
  // Hold the first slider's thumb so its pressed state shows.
  const TRect t = f.Slider->ThumbRect();
  PostMessageA(f.Slider->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(t.Left + 3, t.Top + 3));
  PumpFor(200);
  EXPECT_TRUE(f.Slider->ThumbDragging());
  EXPECT_EQ(f.Progress->Left(), 260 + 3);
  EXPECT_EQ(f.StatusBar->PartText(2), " 12 fichiers dans 1 234 567 octets");
  // The frame too (a test program's window may not have drawn it yet).
  RedrawWindow(f.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpFor(300);
  CreateDirectoryA("screenshots", nullptr);
  EXPECT_TRUE(SaveWindowPicture(f.Handle(), "screenshots\\controls-window.bmp"));
  PostMessageA(f.Slider->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(t.Left + 3, t.Top + 3));
  PumpFor(50);
}
