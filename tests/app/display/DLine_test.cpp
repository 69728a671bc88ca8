// The separator line: where its grey and white lines fall for each rail
// style, across or down the middle of its area.
#include "app/DLine.h"

#include <gtest/gtest.h>

#include "app/display/DisplayTestSupport.h"

using namespace qv::app;
using namespace qv::test;

namespace {

constexpr COLORREF kGrey = RGB(0x80, 0x80, 0x80), kWhite = RGB(255, 255, 255), kBack = RGB(1, 2, 3);

// The rows (or columns) of a line's area: 'g' grey, 'w' white, '.' other,
// read along its middle.
std::string Profile(TDLine& line, TDisplayTestForm& form, bool horizontal) {
  TPicture pic(form.ClientWidth(), form.ClientHeight(), kBack);
  pic.PrintClient(form.Handle());
  std::string out;
  const int n = horizontal ? line.Height() : line.Width();
  for (int i = 0; i < n; ++i) {
    const COLORREF c = horizontal ? pic.At(line.Left() + line.Width() / 2, line.Top() + i)
                                  : pic.At(line.Left() + i, line.Top() + line.Height() / 2);
    out += c == kGrey ? 'g' : c == kWhite ? 'w' : '.';
  }
  return out;
}

}  // namespace

TEST(DLine, StartsAsASunkenHorizontalLineOfTwoHundredByFifty) {
  TDisplayTestForm form;
  auto& line = form.Make<TDLine>("DLineTest");
  EXPECT_EQ(line.Width(), 200);
  EXPECT_EQ(line.Height(), 50);
  EXPECT_EQ(line.Direction(), TLineDirection::drHoriz);
  EXPECT_EQ(line.RailStyle(), TRailStyle::stSunken);
}

TEST(DLine, EachRailStylePutsTheWhiteLineItsOwnDistanceFromTheGreyOne) {
  struct Case {
    TRailStyle style;
    const char* horizontal;  // rows 0..14 of a line 15 high
  };
  const Case cases[] = {
      {TRailStyle::stNone, ".......g......."},       {TRailStyle::stSunken, ".......gw......"},
      {TRailStyle::stSunkenPlus, ".......g.w....."}, {TRailStyle::stRaised, "......wg......."},
      {TRailStyle::stRaisedPlus, ".....w.g......."},
  };
  for (const Case& c : cases) {
    TDisplayTestForm form(120, 60);
    form.SetColor(RGB(1, 2, 3));
    auto& across = form.Make<TDLine>("Across");
    across.Place(&form, 10, 5, 100, 15);
    across.SetRailStyle(c.style);
    auto& down = form.Make<TDLine>("Down");
    down.Place(&form, 10, 25, 15, 30);
    down.SetDirection(TLineDirection::drVert);
    down.SetRailStyle(c.style);
    form.Open();
    EXPECT_EQ(Profile(across, form, true), c.horizontal) << static_cast<int>(c.style);
    EXPECT_EQ(Profile(down, form, false), c.horizontal) << static_cast<int>(c.style);
  }
}

TEST(DLine, AnEvenHeightPutsTheGreyLineJustAboveTheMiddle) {
  TDisplayTestForm form(120, 40);
  form.SetColor(RGB(1, 2, 3));
  auto& line = form.Make<TDLine>("Across");
  line.Place(&form, 10, 5, 100, 4);
  form.Open();
  EXPECT_EQ(Profile(line, form, true), ".gw.");
}
