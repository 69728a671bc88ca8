// The about box as the main window's command shows it: its texts (version,
// the running Windows, the rights line and the unscrambled notice), its
// title band and separators, and the ways it closes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

#include "app/APropos.h"
#include "app/WindowsVersion.h"
#include "app/dialogs/DialogTestSupport.h"

using namespace qv;
using namespace qv::test;
using app::TAPropos;

namespace {

class TAboutHost final : public app::IDialogHost {
public:
  eng::TProgramOptions& Options() override { return options; }
  app::TDialogPlacement DialogPlacement() override { return {40, 30, 8, 60}; }
  HBITMAP TextureSource() override { return texture.Handle(); }

  eng::TProgramOptions options;
  TTestTexture texture;
};

TDriver::TStep Found(TAPropos*& d) {
  return [&d] {
    d = FindForm<TAPropos>("TAPropos");
    return d != nullptr;
  };
}

// The colour of a client pixel of a window as it is on the screen.
COLORREF ScreenPixel(HWND hwnd, int x, int y) {
  POINT p{x, y};
  ClientToScreen(hwnd, &p);
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return c;
}

int Brightness(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

}  // namespace

TEST(APropos, ShowsTheVersionTheSystemAndTheRightsAndClosesWithFermer) {
  TAboutHost host;
  TAPropos* d = nullptr;
  RECT client{};
  std::string version, system, author, rights, caption, hint;
  COLORREF bandTop = 0, bandBottom = 0;
  TDriver driver;
  driver.Then(Found(d)).Then(TDriver::Wait(300)).Do([&] {
    caption = d->Caption();
    GetClientRect(d->Handle(), &client);
    version = d->LVersion->Caption();
    system = d->LWinVersion->Caption();
    author = d->LAuteur->Caption();
    rights = d->LDroits->Caption();
    hint = d->BtnFermer->Hint();
    // The title band goes from the shadow colour at the top to white at
    // the bottom, behind the pictures (sampled at their right).
    const HWND panel = d->PanelGrad->Handle();
    RECT r;
    GetClientRect(panel, &r);
    bandTop = ScreenPixel(panel, r.right - 8, 3);
    bandBottom = ScreenPixel(panel, r.right - 8, r.bottom - 3);
    SaveScreenshot(d->Handle(), "apropos");
    PostClick(d->BtnFermer);
  });
  driver.Start();
  app::ShowAboutBox(host);
  ASSERT_TRUE(driver.Finished());
  EXPECT_EQ(caption, "A Propos de...");
  EXPECT_EQ(client.right, 357);
  EXPECT_EQ(client.bottom, 414);
  EXPECT_EQ(version, "3.2.0.0");
  EXPECT_EQ(system, app::GetWindowsVersionText());
  EXPECT_FALSE(system.empty());
  EXPECT_EQ(author, app::kRightsLine);
  EXPECT_EQ(rights, app::RightsNotice());
  EXPECT_EQ(hint, "Ferme la fenêtre");
  EXPECT_LT(Brightness(bandTop), Brightness(bandBottom));
  EXPECT_GT(Brightness(bandBottom), 3 * 220);
}

TEST(APropos, TheRightsNoticeIsReadableButNotStoredAsText) {
  const std::string notice = app::RightsNotice();
  EXPECT_EQ(notice.substr(0, 39), "Ce logiciel est protégé par le droit d'");
  EXPECT_NE(notice.find("Halbrecht"), std::string::npos);
  EXPECT_EQ(notice.back(), '.');
  // Nowhere in the program's sections as plain text (the words looked for
  // are built at run time, so they are not there either).
  std::string words = "xuanoitanretni sétiart";
  std::reverse(words.begin(), words.end());
  ASSERT_NE(notice.find(words), std::string::npos);
  const auto* base = reinterpret_cast<const char*>(GetModuleHandleA(nullptr));
  const auto* nt =
      reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    const std::string_view bytes(base + section->VirtualAddress, section->Misc.VirtualSize);
    EXPECT_EQ(bytes.find(words), std::string_view::npos) << reinterpret_cast<const char*>(section->Name);
  }
}

TEST(APropos, ItsTitleBandAndSeparatorsAreThoseOfTheDesign) {
  TAboutHost host;
  TAPropos* d = nullptr;
  TDriver driver;
  driver.Then(Found(d)).Do([&] {
    EXPECT_EQ(d->GradientBck->StartColor(), fw::clBtnShadow);
    EXPECT_EQ(d->GradientBck->EndColor(), fw::clWhite);
    EXPECT_EQ(d->GradientBck->Angle(), 0);
    EXPECT_EQ(d->GradientBck->Width(), d->PanelGrad->ClientRect().Width());
    EXPECT_EQ(d->QxLabel1->Caption(), "Pour Windows");
    for (app::TDLine* line : {d->DLine1, d->DLine2, d->DLine3}) {
      EXPECT_EQ(line->Direction(), app::TLineDirection::drHoriz);
      EXPECT_EQ(line->RailStyle(), app::TRailStyle::stSunken);
    }
    EXPECT_EQ(d->BtnFermer->Caption(), "Fermer");
    PostClick(d->BtnFermer);
  });
  driver.Start();
  app::ShowAboutBox(host);
  ASSERT_TRUE(driver.Finished());
}

TEST(APropos, EscapeAndTheCloseBoxCloseIt) {
  for (const bool escape : {true, false}) {
    TAboutHost host;
    host.options.Texture = !escape;
    TAPropos* d = nullptr;
    bool textured = escape;
    TDriver driver;
    driver.Then(Found(d)).Then(TDriver::Wait(100)).Do([&] {
      textured = d->WallpaperAProp->Visible();
      SendMessageA(d->Handle(), WM_SYSCOLORCHANGE, 0, 0);
      if (!escape) SaveScreenshot(d->Handle(), "apropos_texture");
      if (escape) {
        PostEscape(d->Handle());
      } else {
        PostMessageA(d->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
      }
    });
    driver.Start();
    app::ShowAboutBox(host);
    ASSERT_TRUE(driver.Finished());
    EXPECT_EQ(textured, !escape);
    EXPECT_EQ(FindWindowA("TAPropos", nullptr), nullptr);
  }
}
