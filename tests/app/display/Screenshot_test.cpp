// A window holding every display control in each of its states, painted on
// the real screen and saved as a picture (screenshots/display_controls.bmp
// in the build folder) to be looked at.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/ASLink.h"
#include "app/OndrelGradientButton.h"
#include "app/OndrelWallpaper.h"
#include "app/display/DisplayTestSupport.h"
#include "common/ScreenCapture.h"
#include "framework/Menus.h"

using namespace qv::app;
using namespace qv::test;

namespace {

// A texture like the program's: nine shades of the button face, scattered.
HBITMAP Texture() {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  unsigned seed = 12345;
  return MakeBitmap(50, 50, [&](int, int) {
    seed = seed * 1103515245u + 12345u;
    const int shade = static_cast<int>((seed >> 16) % 9) * 5;
    auto down = [&](int v) { return v > shade ? v - shade : 0; };
    return RGB(down(GetRValue(face)), down(GetGValue(face)), down(GetBValue(face)));
  });
}

HBITMAP Glyph() {
  // A blue disc on magenta (the lower-left colour, drawn see-through).
  return MakeBitmap(16, 16, [](int x, int y) {
    const int dx = x - 8, dy = y - 8;
    return dx * dx + dy * dy < 36 ? RGB(30, 80, 200) : RGB(255, 0, 255);
  });
}

TOndrelGradientButton& AddButton(TDisplayTestForm& form, const char* name, const char* caption, int x, int y,
                                 int w = 100, int h = 30) {
  auto& b = form.Make<TOndrelGradientButton>(name);
  b.Place(&form, x, y, w, h);
  b.SetCaption(caption);
  return b;
}

}  // namespace

TEST(DisplayScreenshot, TexturedWindowWithButtonsInEachStateAndALink) {
  TDisplayTestForm form(480, 300, "TDisplayShowcase");
  form.SetCaption("Contrôles d'affichage");
  auto& wallpaper = form.Make<TOndrelWallpaper>("WallpaperTest");
  wallpaper.SetParent(&form);
  HBITMAP texture = Texture();
  wallpaper.SetBitmap(texture);

  auto& title = form.Make<qv::fw::TLabel>("LabelTitre");
  title.Place(&form, 16, 10, 300, 16);
  title.SetCaption("Boutons en dégradé sur fond texturé");

  auto& normal = AddButton(form, "BtnNormal", "&Renommer", 16, 36);
  (void)normal;
  auto& vertical = AddButton(form, "BtnVertical", "&Simuler", 128, 36);
  vertical.SetVertical(true);
  vertical.SetLightColor(RGB(255, 255, 255));
  vertical.SetShadowColor(RGB(150, 180, 225));
  auto& pressed = AddButton(form, "BtnPressed", "Enfoncé", 240, 36);
  auto& down = AddButton(form, "BtnDown", "&Auto (bas)", 352, 36);
  down.SetGroupIndex(2);
  down.SetAllowAllUp(true);
  down.SetVertical(true);
  down.SetDown(true);

  auto& disabled = AddButton(form, "BtnDisabled", "Inactif", 16, 80);
  disabled.SetEnabled(false);
  auto& flat = AddButton(form, "BtnFlat", "Plat", 128, 80);
  flat.SetFlat(true);
  auto& flatHot = AddButton(form, "BtnFlatHot", "Plat survolé", 240, 80);
  flatHot.SetFlat(true);
  auto& menuButton = AddButton(form, "BtnMenu", "Menu", 352, 80);
  auto& menu = form.Make<qv::fw::TPopupMenu>("MenuTest");
  menu.AddItem("ItemA", "Premier");
  menuButton.SetMarkDropDown(true);
  menuButton.SetDropDownMenu(&menu);

  HBITMAP glyph = Glyph();
  auto& left = AddButton(form, "BtnGlyphLeft", "&Options", 16, 124, 100, 34);
  left.SetLayout(TButtonLayout::GlyphLeft);
  left.SetSpacing(4);
  left.SetGlyph(glyph);
  auto& top = AddButton(form, "BtnGlyphTop", "Aide", 128, 124, 100, 50);
  top.SetGlyph(glyph);
  top.SetSpacing(2);
  auto& right = AddButton(form, "BtnGlyphRight", "Dossier", 240, 124, 100, 34);
  right.SetLayout(TButtonLayout::GlyphRight);
  right.SetSpacing(4);
  right.SetGlyph(glyph);
  right.SetLightColor(RGB(255, 250, 220));
  right.SetShadowColor(RGB(215, 170, 90));
  auto& wide = AddButton(form, "BtnWide", "Bevel 2", 352, 124, 100, 34);
  wide.SetBevelWidth(2);
  DeleteObject(glyph);

  auto& link = form.Make<TASLink>("ASLinkWeb");
  link.Place(&form, 16, 200, 65, 17);
  link.SetCaption("www.quorvant.example");
  link.Font().SetColor(0x800000);
  link.SetLinkColor(qv::fw::clRed);
  link.Opener = [](HWND, const std::string&, const std::string&, const std::string&, int) { return INT_PTR(42); };
  auto& hover = form.Make<TASLink>("ASLinkHover");
  hover.Place(&form, 16, 226, 65, 17);
  hover.SetCaption("Lien survolé (couleur du lien)");
  hover.Font().SetColor(0x800000);
  hover.SetLinkColor(qv::fw::clRed);
  auto& shadowed = form.Make<TASLink>("ASLinkShadow");
  shadowed.Place(&form, 240, 200, 65, 17);
  shadowed.SetCaption("Ombre grise en bas à droite");
  shadowed.SetShadowColor(RGB(128, 128, 128));
  shadowed.SetShadowPos(TShadowPosition::spRightBottom);
  shadowed.Font().SetStyle(qv::fw::TFontStyles{true});

  form.Open();
  SetForegroundWindow(form.Handle());
  // States that need input: held down, and under the mouse.
  PostMessageA(pressed.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(flatHot.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  PostMessageA(hover.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  PumpUntil([&] { return pressed.Pressed() && flatHot.Hot(); });
  RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(300);
  form.Pump();
  ASSERT_TRUE(pressed.Pressed());
  ASSERT_TRUE(flatHot.Hot());
  ASSERT_FALSE(flat.Hot());
  ASSERT_EQ(hover.Font().Color(), qv::fw::clRed);

  // The texture is really on the screen, behind the buttons and the label.
  POINT probe{470, 290};
  ClientToScreen(form.Handle(), &probe);
  HDC screen = GetDC(nullptr);
  const COLORREF onScreen = GetPixel(screen, probe.x, probe.y);
  ReleaseDC(nullptr, screen);
  HDC tileDc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(tileDc, texture);
  const COLORREF expected = GetPixel(tileDc, 470 % 50, 290 % 50);
  SelectObject(tileDc, old);
  DeleteDC(tileDc);
  DeleteObject(texture);
  EXPECT_EQ(onScreen, expected);

  const auto path = BuildScreenshotDir() / "display_controls.bmp";
  ASSERT_TRUE(SaveWindowPicture(form.Handle(), path));
  EXPECT_GT(std::filesystem::file_size(path), 100000u);
  PostMessageA(pressed.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
  form.Pump();
}

TEST(DisplayScreenshot, GradientButtonGlyphLayouts) {
  TDisplayTestForm form(560, 120, "TDisplayLayouts");
  form.SetCaption("Glyphe à gauche, à droite, en haut, en bas");
  HBITMAP glyph = Glyph();
  const struct {
    const char* name;
    const char* caption;
    TButtonLayout layout;
  } buttons[] = {{"BtnLeft", "Gauche", TButtonLayout::GlyphLeft},
                 {"BtnRight", "Droite", TButtonLayout::GlyphRight},
                 {"BtnTop", "Haut", TButtonLayout::GlyphTop},
                 {"BtnBottom", "Bas", TButtonLayout::GlyphBottom}};
  int x = 16;
  for (const auto& d : buttons) {
    auto& b = AddButton(form, d.name, d.caption, x, 20, 120, 64);
    b.SetLayout(d.layout);
    b.SetSpacing(4);
    b.SetGlyph(glyph);
    x += 134;
  }
  DeleteObject(glyph);
  form.Open();
  SetForegroundWindow(form.Handle());
  RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  form.Pump();
  const auto path = BuildScreenshotDir() / "gradient_layouts.bmp";
  ASSERT_TRUE(SaveWindowPicture(form.Handle(), path));
  EXPECT_GT(std::filesystem::file_size(path), 10000u);
}
