// The step button on its own: which half a point belongs to, and holding a
// half (a click at once, again after 400 ms, then every 100 ms) until the
// pointer leaves it or the button is released.
#include "controls/edits/QxSpinButton.h"

#include <gtest/gtest.h>

#include <chrono>

#include "framework/Form.h"
#include "tests/common/ControlTestSupport.h"

using namespace qv::controls;
using namespace qv::fw;
using qv::test::App;
using qv::test::PumpFor;
using qv::test::PumpUntil;

namespace {

class TButtonForm : public TForm {
public:
  TButtonForm() : TForm(&App(), "TSpinButtonTestForm") {
    SetClientSize(200, 100);
    Holder = &Make<TCustomControl>("Holder");
    Holder->Place(this, 10, 10, 40, 40);
    Button = &Make<TQxSpinButton>("Button");
    Button->Place(Holder, 0, 0, 20, 20);
    Button->OnTopClick = [this](TComponent&) { ++tops; };
    Button->OnBottomClick = [this](TComponent&) { ++bottoms; };
    FinishCreate();
    Show();
    App().ProcessMessages();
  }
  void Post(UINT msg, WPARAM wp, int x, int y) {
    PostMessageA(Holder->Handle(), msg, wp, MAKELPARAM(x, y));
    App().ProcessMessages();
  }
  TCustomControl* Holder;
  TQxSpinButton* Button;
  int tops = 0, bottoms = 0;
};

}  // namespace

TEST(QxSpinButton, TheDiagonalFromLowerLeftToUpperRightSplitsTheHalves) {
  TButtonForm f;
  TQxSpinButton& b = *f.Button;
  b.SetBounds(0, 0, 16, 16);
  EXPECT_EQ(b.PartAt(2, 2), spTop);
  EXPECT_EQ(b.PartAt(14, 14), spBottom);
  EXPECT_EQ(b.PartAt(8, 8), spTop);     // on the diagonal
  EXPECT_EQ(b.PartAt(8, 9), spBottom);  // just below it
  EXPECT_EQ(b.PartAt(15, 2), spBottom);
  b.SetButtonStyle(sbsClassic);
  EXPECT_EQ(b.PartAt(15, 8), spTop);
  EXPECT_EQ(b.PartAt(0, 9), spBottom);
}

TEST(QxSpinButton, HoldingAHalfRepeatsAfter400MsThenEvery100Ms) {
  TButtonForm f;
  f.Post(WM_LBUTTONDOWN, MK_LBUTTON, 15, 15);  // lower half
  EXPECT_EQ(f.bottoms, 1);
  EXPECT_EQ(f.Button->PressedPart(), spBottom);
  PumpFor(300);
  EXPECT_EQ(f.bottoms, 1);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(PumpUntil([&] { return f.bottoms >= 4; }, 2000));
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  // The second click comes about 100 ms after the first repeat, and so on.
  EXPECT_LT(ms, 800);
  // Over the other half nothing repeats; back over the first it goes on.
  f.Post(WM_MOUSEMOVE, MK_LBUTTON, 3, 3);
  EXPECT_EQ(f.Button->PressedPart(), spNone);
  const int held = f.bottoms;
  PumpFor(300);
  EXPECT_EQ(f.bottoms, held);
  f.Post(WM_MOUSEMOVE, MK_LBUTTON, 15, 15);
  ASSERT_TRUE(PumpUntil([&] { return f.bottoms > held; }, 1000));
  // Outside the button the press lets go; the release stops it for good.
  f.Post(WM_MOUSEMOVE, MK_LBUTTON, 35, 35);
  EXPECT_EQ(f.Button->PressedPart(), spNone);
  f.Post(WM_LBUTTONUP, 0, 35, 35);
  const int released = f.bottoms;
  PumpFor(300);
  EXPECT_EQ(f.bottoms, released);
  EXPECT_EQ(f.tops, 0);
}

TEST(QxSpinButton, AClickThatTakesTheMouseAwayEndsThePress) {
  TButtonForm f;
  f.Button->OnTopClick = [&](TComponent&) {
    ++f.tops;
    ReleaseCapture();  // as a window opened by the click would
  };
  f.Post(WM_LBUTTONDOWN, MK_LBUTTON, 3, 3);
  EXPECT_EQ(f.tops, 1);
  EXPECT_EQ(f.Button->PressedPart(), spNone);
  PumpFor(600);
  EXPECT_EQ(f.tops, 1);
  f.Post(WM_LBUTTONUP, 0, 3, 3);
}

TEST(QxSpinButton, ADisabledButtonIgnoresPresses) {
  TButtonForm f;
  f.Button->SetEnabled(false);
  f.Post(WM_LBUTTONDOWN, MK_LBUTTON, 15, 15);
  f.Post(WM_LBUTTONUP, 0, 15, 15);
  EXPECT_EQ(f.bottoms, 0);
}
