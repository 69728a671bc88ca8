// Shadowed labels in a real window: the embossed shadow's place (also for a
// disabled label without shadow), auto-size with the shadow counted, the
// vertical layouts, the accelerator that focuses the focus control, the
// focus frame following it, forgetting a freed focus control, and the
// mirrored alignment of a label read from the right.
#include "controls/buttons/QxLabel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "framework/Action.h"
#include "framework/Bitmap.h"
#include "framework/Form.h"
#include "tests/common/ControlTestSupport.h"

using namespace qv::controls;
using namespace qv::fw;
using qv::test::App;

namespace {

class TLabelForm : public TForm {
public:
  TLabelForm() : TForm(&App(), "TQxLabelTestForm") {
    SetClientSize(300, 120);
    Label = &Make<TQxLabel>("Label");
    Label->Place(this, 10, 10, 65, 17);
    Label->SetAutoSize(false);
    Label->SetColor(clWhite);
    Label->SetParentColor(false);
    Label->Font().SetColor(clBlack);
    Label->SetCaption("&Nom");
    Edit = &Make<TEdit>("Edit");
    Edit->Place(this, 10, 60, 100, 21);
    Other = &Make<TEdit>("Other");
    Other->Place(this, 120, 60, 100, 21);
    FinishCreate();
    Show();
    App().ProcessMessages();
  }
  TQxLabel* Label;
  TEdit* Edit;
  TEdit* Other;
};

// The label as painted, with the rows and columns where each colour shows.
class TInk {
public:
  explicit TInk(TWinControl& c) : m_w(c.Width()), m_h(c.Height()) {
    m_bmp.Create(m_w, m_h, 24);
    SendMessageA(c.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_bmp.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
  }
  // The bounding box of the pixels of one colour (empty: Left > Right).
  TRect Box(COLORREF c) const {
    TRect r{m_w, m_h, -1, -1};
    for (int y = 0; y < m_h; ++y)
      for (int x = 0; x < m_w; ++x)
        if (m_bmp.Pixel(x, y) == c) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x);
          r.Bottom = std::max(r.Bottom, y);
        }
    return r;
  }

private:
  int m_w, m_h;
  TBitmap m_bmp;
};

}  // namespace

TEST(QxLabel, TheShadowLiesTowardsItsCorner) {
  TLabelForm f;
  TQxLabel& l = *f.Label;
  l.SetShadowColor(clRed);
  l.SetShadowSize(2);
  // Room all around, so that no shadow is clipped.
  l.SetBounds(10, 10, 80, 40);
  l.SetLayout(tlCenter);
  l.SetAlignment(TAlignment::Center);
  for (auto [pos, dx, dy] : {std::tuple{spLeftTop, -2, -2}, std::tuple{spRightBottom, 2, 2},
                             std::tuple{spLeftBottom, -2, 2}, std::tuple{spRightTop, 2, -2}}) {
    l.SetShadowPos(pos);
    TInk ink(l);
    const TRect text = ink.Box(RGB(0, 0, 0)), shadow = ink.Box(RGB(255, 0, 0));
    ASSERT_LE(text.Left, text.Right);
    ASSERT_LE(shadow.Left, shadow.Right) << pos;
    // Text drawn over the shadow hides part of it: compare the far edges.
    if (dx < 0) EXPECT_EQ(shadow.Left, text.Left + dx) << pos;
    else EXPECT_EQ(shadow.Right, text.Right + dx) << pos;
    if (dy < 0) EXPECT_EQ(shadow.Top, text.Top + dy) << pos;
    else EXPECT_EQ(shadow.Bottom, text.Bottom + dy) << pos;
  }
}

TEST(QxLabel, ADisabledLabelIsEmbossedEvenWithoutShadow) {
  TLabelForm f;
  TQxLabel& l = *f.Label;
  l.SetColor(clNavy);  // the highlight must stand out from the background
  l.SetShadowSize(0);
  {
    TInk ink(l);
    EXPECT_GT(ink.Box(RGB(0, 0, 0)).Left, -1);
    EXPECT_LT(ink.Box(ColorToRGB(clBtnHighlight)).Right, 0);  // no shadow while enabled
  }
  l.SetEnabled(false);
  TInk ink(l);
  const TRect grey = ink.Box(ColorToRGB(clGrayText)), light = ink.Box(ColorToRGB(clBtnHighlight));
  ASSERT_LE(grey.Left, grey.Right);
  ASSERT_LE(light.Left, light.Right);
  EXPECT_EQ(light.Right, grey.Right + 1);
  EXPECT_EQ(light.Bottom, grey.Bottom + 1);
  EXPECT_LT(ink.Box(RGB(0, 0, 0)).Right, 0);  // the font colour is not used
}

TEST(QxLabel, AutoSizeCountsTheShadowAndKeepsARightEdge) {
  TLabelForm f;
  TQxLabel& l = *f.Label;
  l.SetCaption("Dossier");
  l.SetShadowSize(0);
  l.SetAutoSize(true);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, l.EffectiveFont().Handle());
  RECT r{0, 0, 0, 0};
  const int h = DrawTextA(dc, "Dossier", 7, &r, DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(l.Width(), r.right + 2);
  EXPECT_EQ(l.Height(), h);
  l.SetShadowSize(3);
  EXPECT_EQ(l.Width(), r.right + 2 + 3);
  EXPECT_EQ(l.Height(), h + 3);
  const int right = l.Left() + l.Width();
  l.SetAlignment(TAlignment::RightJustify);
  l.SetCaption("Dossier de travail");
  EXPECT_EQ(l.Left() + l.Width(), right);
  // An empty caption still takes one line.
  l.SetCaption("");
  EXPECT_EQ(l.Height(), h + 3);
}

TEST(QxLabel, LayoutMovesTheTextDown) {
  TLabelForm f;
  TQxLabel& l = *f.Label;
  l.SetBounds(10, 10, 65, 60);
  const int top = TInk(l).Box(RGB(0, 0, 0)).Top;
  l.SetLayout(tlCenter);
  const int centre = TInk(l).Box(RGB(0, 0, 0)).Top;
  l.SetLayout(tlBottom);
  const int bottom = TInk(l).Box(RGB(0, 0, 0)).Top;
  EXPECT_GT(centre, top + 10);
  EXPECT_GT(bottom, centre + 10);
  EXPECT_NEAR(centre - top, (bottom - top) / 2, 1);
}

TEST(QxLabel, TheAcceleratorFocusesTheFocusControlAndTheFrameFollows) {
  TLabelForm f;
  TQxLabel& l = *f.Label;
  EXPECT_FALSE(l.DialogChar('n'));  // no focus control yet
  l.SetFocusControl(f.Edit);
  l.SetShowFocus(true);
  f.Other->SetFocus();
  EXPECT_FALSE(l.HasFocus());
  EXPECT_TRUE(l.DialogChar('n'));
  EXPECT_EQ(GetFocus(), f.Edit->Handle());
  EXPECT_TRUE(l.HasFocus());
  f.Other->SetFocus();
  EXPECT_FALSE(l.HasFocus());
  EXPECT_FALSE(l.DialogChar('x'));
  l.SetShowAccelChar(false);
  EXPECT_FALSE(l.DialogChar('n'));
  l.SetShowAccelChar(true);
  f.Edit->SetEnabled(false);
  EXPECT_FALSE(l.DialogChar('n'));
  // A freed focus control is forgotten.
  delete f.Edit;
  EXPECT_EQ(l.FocusControl(), nullptr);
  EXPECT_FALSE(l.DialogChar('n'));
}

TEST(QxLabel, AnActionGivesItsTextAndStatesAndAClickRunsIt) {
  TLabelForm f;
  TQxLabel& l = *f.Label;
  auto& action = f.Make<TAction>("ActNom");
  int runs = 0;
  action.SetCaption("Nom du &fichier");
  action.SetHint("Nom|Le nom du fichier");
  action.OnExecute = [&](TComponent&) { ++runs; };
  l.SetAction(&action);
  EXPECT_EQ(l.Caption(), "Nom du &fichier");
  EXPECT_EQ(l.Hint(), "Nom|Le nom du fichier");
  PostMessageA(l.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  PostMessageA(l.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  App().ProcessMessages();
  EXPECT_EQ(runs, 1);
  action.SetEnabled(false);
  action.SetVisible(false);
  EXPECT_FALSE(l.Enabled());
  EXPECT_FALSE(l.Visible());
  l.SetAction(nullptr);
  action.SetCaption("Autre");
  EXPECT_EQ(l.Caption(), "Nom du &fichier");
}

TEST(QxLabel, RightToLeftMirrorsTheAlignmentAndTheKeptEdge) {
  TLabelForm f;
  TQxLabel& l = *f.Label;
  l.SetShadowSize(0);
  l.SetBounds(10, 10, 120, 17);
  EXPECT_TRUE(l.ParentBiDiMode());
  EXPECT_LE(TInk(l).Box(RGB(0, 0, 0)).Left, 3);
  // The parent's direction is the label's until it takes one of its own.
  f.SetBiDiMode(TBiDiMode::RightToLeft);
  EXPECT_EQ(l.BiDiMode(), TBiDiMode::RightToLeft);
  EXPECT_TRUE(l.ParentBiDiMode());
  EXPECT_GE(TInk(l).Box(RGB(0, 0, 0)).Right, l.Width() - 6);
  l.SetAlignment(TAlignment::RightJustify);
  EXPECT_LE(TInk(l).Box(RGB(0, 0, 0)).Left, 3);
  l.SetAlignment(TAlignment::Center);
  const TRect centred = TInk(l).Box(RGB(0, 0, 0));
  EXPECT_NEAR(centred.Left, l.Width() - 1 - centred.Right, 5);

  // Auto-size: a left-aligned label read from the right keeps its right
  // edge, a right-aligned or centred one its left edge.
  l.SetAlignment(TAlignment::LeftJustify);
  l.SetCaption("Nom");
  l.SetAutoSize(true);
  const int right = l.Left() + l.Width();
  l.SetCaption("Nom du dossier");
  EXPECT_EQ(l.Left() + l.Width(), right);
  l.SetAlignment(TAlignment::RightJustify);
  const int left = l.Left();
  l.SetCaption("Nom");
  EXPECT_EQ(l.Left(), left);
  // Centred is no side: the left edge stays, as left to right.
  l.SetAlignment(TAlignment::Center);
  l.SetCaption("Nom du dossier");
  EXPECT_EQ(l.Left(), left);

  l.SetBiDiMode(TBiDiMode::LeftToRight);
  EXPECT_FALSE(l.ParentBiDiMode());
  EXPECT_EQ(f.BiDiMode(), TBiDiMode::RightToLeft);
  l.SetParentBiDiMode(true);
  EXPECT_EQ(l.BiDiMode(), TBiDiMode::RightToLeft);
}
