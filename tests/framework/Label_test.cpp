// Labels paint their text inside their own window, in every alignment.
#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/StdCtrls.h"
#include "tests/framework/FwTestSupport.h"

using namespace qv::fw;

namespace {
// The leftmost and rightmost columns holding dark (text) pixels.
std::pair<int, int> InkColumns(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  HDC wdc = GetDC(hwnd);
  HDC mem = CreateCompatibleDC(wdc);
  HBITMAP bmp = CreateCompatibleBitmap(wdc, r.right, r.bottom);
  HGDIOBJ old = SelectObject(mem, bmp);
  SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
  int first = -1, last = -1;
  for (int x = 0; x < r.right; ++x)
    for (int y = 0; y < r.bottom; ++y) {
      const COLORREF c = GetPixel(mem, x, y);
      if (GetRValue(c) < 96 && GetGValue(c) < 96 && GetBValue(c) < 96) {
        if (first < 0) first = x;
        last = x;
        break;
      }
    }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(hwnd, wdc);
  return {first, last};
}
}  // namespace

TEST(Label, RightAlignedTextEndsInsideTheLabel) {
  qv::fw::test::TestApp();
  TForm form(Application(), "TLabelTestForm");
  form.SetClientSize(200, 60);
  auto& right = form.Make<TLabel>("Right");
  right.Place(&form, 20, 10, 70, 14);
  right.SetCaption("3.2.0.0");
  right.SetAlignment(TAlignment::RightJustify);
  auto& left = form.Make<TLabel>("Left");
  left.Place(&form, 20, 30, 70, 14);
  left.SetCaption("3.2.0.0");
  form.EndLoading();
  form.Show();
  const auto [lf, ll] = InkColumns(left.Handle());
  const auto [rf, rl] = InkColumns(right.Handle());
  EXPECT_GE(lf, 0);
  EXPECT_LT(lf, 3);
  EXPECT_LE(rl, 69);
  EXPECT_GE(rl, 64);
  EXPECT_EQ(rl - rf, ll - lf) << "the whole text is drawn";
  form.Hide();
}
