// The dialogs' shared helpers: the texture picture and its recolouring,
// the wallpaper it textures, the placement rule kept on screen, and the
// quoting of outside programs' command lines.
#include <gtest/gtest.h>

#include <set>

#include "app/dialogs/DialogTestSupport.h"

using namespace qv;
using namespace qv::test;

namespace {

class TTestForm : public fw::TForm {
public:
  TTestForm() : fw::TForm(&App(), "TDialogSupportTest") {
    SetBorderStyle(fw::TBorderStyle::Dialog);
    SetClientSize(357, 414);
    Wallpaper = &Make<app::TOndrelWallpaper>("Wallpaper");
    Wallpaper->SetParent(this);
    Wallpaper->SetVisible(false);
    FinishCreate();
  }
  app::TOndrelWallpaper* Wallpaper;
};

}  // namespace

TEST(Texture, TheResourceIsA16ColourPictureUsingTheNineRecolouredEntries) {
  HBITMAP h = LoadTestTexture();
  ASSERT_NE(h, nullptr);
  fw::TBitmap t;
  ASSERT_TRUE(t.CopyFrom(h));
  DeleteObject(h);
  EXPECT_EQ(t.Width(), 50);
  EXPECT_EQ(t.Height(), 50);
  EXPECT_EQ(t.BitsPerPixel(), 4);
  EXPECT_EQ(t.ColorCount(), 16);
  std::set<int> used;
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) used.insert(t.PixelIndex(x, y));
  EXPECT_LE(*used.rbegin(), 8);
  EXPECT_GE(used.size(), 6u);  // a grain, not a flat colour
}

TEST(Texture, RecolouringShadesTheButtonFaceDownToEntryZeroWithoutBorrowing) {
  HBITMAP h = LoadTestTexture();
  fw::TBitmap t;
  ASSERT_TRUE(t.CopyFrom(h));
  DeleteObject(h);
  const auto rest = t.ColorTable(9, 7);
  ASSERT_TRUE(app::RecolourTexture(t, RGB(212, 208, 200)));
  const auto table = t.ColorTable(0, 16);
  for (int i = 0; i <= 8; ++i) {
    const int d = 5 * (8 - i);
    EXPECT_EQ(table[static_cast<size_t>(i)], RGB(212 - d, 208 - d, 200 - d)) << i;
  }
  EXPECT_EQ(t.ColorTable(9, 7), rest);
  // A dark face: each component stops at 0 instead of taking from its
  // neighbour, which one 32-bit subtraction would do.
  ASSERT_TRUE(app::RecolourTexture(t, RGB(20, 100, 3)));
  EXPECT_EQ(t.ColorTable(0, 1)[0], RGB(0, 60, 0));
  EXPECT_EQ(t.ColorTable(4, 1)[0], RGB(0, 80, 0));
  EXPECT_EQ(t.ColorTable(8, 1)[0], RGB(20, 100, 3));

  fw::TBitmap direct;
  ASSERT_TRUE(direct.Create(8, 8, 24));
  EXPECT_FALSE(app::RecolourTexture(direct, RGB(212, 208, 200)));
}

TEST(Texture, TheWallpaperShowsTheRecolouredTextureOrHides) {
  TTestForm form;
  HBITMAP texture = LoadTestTexture();
  ASSERT_TRUE(app::ApplyTexture(true, *form.Wallpaper, texture));
  EXPECT_TRUE(form.Wallpaper->Visible());
  ASSERT_NE(form.Wallpaper->Bitmap(), nullptr);
  // Every pixel is one of the nine shades of the present button face.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  std::set<COLORREF> shades;
  for (int i = 0; i <= 8; ++i) {
    auto down = [i](int v) { return v > 5 * i ? v - 5 * i : 0; };
    shades.insert(RGB(down(GetRValue(face)), down(GetGValue(face)), down(GetBValue(face))));
  }
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, form.Wallpaper->Bitmap());
  for (int y = 0; y < 50; y += 7)
    for (int x = 0; x < 50; x += 3) EXPECT_EQ(shades.count(GetPixel(dc, x, y)), 1u) << x << "," << y;
  SelectObject(dc, old);
  DeleteDC(dc);

  // A picture without a colour table cannot be a texture: nothing changes.
  HBITMAP flat = CreateBitmap(4, 4, 1, 32, nullptr);
  const HBITMAP shown = form.Wallpaper->Bitmap();
  EXPECT_FALSE(app::ApplyTexture(true, *form.Wallpaper, flat));
  EXPECT_EQ(form.Wallpaper->Bitmap(), shown);
  EXPECT_TRUE(form.Wallpaper->Visible());
  EXPECT_TRUE(app::ApplyTexture(false, *form.Wallpaper, texture));
  EXPECT_FALSE(form.Wallpaper->Visible());
  DeleteObject(flat);
  DeleteObject(texture);
}

TEST(PlaceDialog, CoversTheLeftColumnAndStaysOnScreen) {
  TTestForm form;
  app::PlaceDialog(form, app::TDialogPlacement{100, 50, 8, 60});
  EXPECT_EQ(form.Left(), 108);
  EXPECT_EQ(form.Top(), 50 + 60 + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYSMCAPTION) + 2);

  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  app::PlaceDialog(form, app::TDialogPlacement{static_cast<int>(work.right) - 50, static_cast<int>(work.bottom) - 40,
                                               8, 60});
  EXPECT_EQ(form.Left() + form.Width(), work.right);
  EXPECT_EQ(form.Top() + form.Height(), work.bottom);
  app::PlaceDialog(form, app::TDialogPlacement{-3000, -3000, 8, 60});
  EXPECT_EQ(form.Left(), work.left);
  EXPECT_EQ(form.Top(), work.top);
}

TEST(OutsidePrograms, ProgramAndArgumentAreQuoted) {
  EXPECT_EQ(app::QuotedCommandLine("C:\\Program Files\\Bloc\\bloc.exe",
                                   "C:\\Mes documents\\Quorvant Pro\\Rapports\\Été 2024.txt"),
            "\"C:\\Program Files\\Bloc\\bloc.exe\" \"C:\\Mes documents\\Quorvant Pro\\Rapports\\Été 2024.txt\"");
  EXPECT_EQ(app::QuotedCommandLine("\"C:\\Ed\\ed.exe\"", "C:\\r.txt"), "\"C:\\Ed\\ed.exe\" \"C:\\r.txt\"");
  std::string seen;
  app::SetProgramStarter([&](const std::string& commandLine) {
    seen = commandLine;
    return false;
  });
  EXPECT_FALSE(app::StartProgram("C:\\Windows\\NOTEPAD.EXE", "C:\\a b\\c.txt"));
  EXPECT_EQ(seen, "\"C:\\Windows\\NOTEPAD.EXE\" \"C:\\a b\\c.txt\"");
  app::SetProgramStarter({});
  EXPECT_FALSE(app::StartProgram("C:\\nulle part\\absent.exe", "x"));
  EXPECT_EQ(app::DefaultEditor(), eng::GetWindowsDir() + "\\NOTEPAD.EXE");
}
