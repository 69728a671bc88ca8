// The hyperlink label: the address it hands to the (injected) shell, clicks
// by BM_CLICK and by mouse, hover colour, sizing, shadow offsets and its
// accelerator.
#include "app/ASLink.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/display/DisplayTestSupport.h"

using namespace qv::app;
using namespace qv::test;
using qv::fw::TComponent;

namespace {

struct TOpened {
  HWND owner;
  std::string file, parameters, directory;
  int show;
};

struct TLinkForm : TDisplayTestForm {
  TLinkForm() {
    Link = &Make<TASLink>("ASLinkWeb");
    Link->Place(this, 20, 20, 65, 17);
    Link->SetCaption("Site web");
    Link->OnClick = [this](TComponent&) { Events.push_back("click"); };
    Link->Opener = [this](HWND owner, const std::string& f, const std::string& p, const std::string& d, int show) {
      Events.push_back("open");
      Opened.push_back({owner, f, p, d, show});
      return static_cast<INT_PTR>(Result);
    };
  }
  TASLink* Link;
  std::vector<std::string> Events;
  std::vector<TOpened> Opened;
  int Result = 42;
};

}  // namespace

TEST(ASLink, ClickRunsTheEventThenOpensSchemeAddressAndFile) {
  TLinkForm form;
  form.Link->SetURLType(TURLType::utHttp);
  form.Link->SetURLAdr("www.quorvant.example");
  form.Link->SetURLFile("aide/index.html");
  form.Open();
  SendMessageA(form.Link->Handle(), BM_CLICK, 0, 0);
  ASSERT_EQ(form.Opened.size(), 1u);
  EXPECT_EQ(form.Events, (std::vector<std::string>{"click", "open"}));
  EXPECT_EQ(form.Opened[0].file, "http://www.quorvant.example/aide/index.html");
  EXPECT_EQ(form.Opened[0].parameters, "");
  EXPECT_EQ(form.Opened[0].directory, "");
  EXPECT_EQ(form.Opened[0].show, SW_SHOWNOACTIVATE);
  EXPECT_TRUE(form.Link->LaunchUrl());
  form.Result = 2;  // the shell refused (file not found)
  EXPECT_FALSE(form.Link->LaunchUrl());
}

TEST(ASLink, MouseClickOpensOnceAndReleaseOutsideDoesNot) {
  TLinkForm form;
  form.Open();
  HWND h = form.Link->Handle();
  PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  form.Pump();
  EXPECT_EQ(form.Opened.size(), 1u);
  PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(300, 3));
  form.Pump();
  EXPECT_EQ(form.Opened.size(), 1u);
  EXPECT_EQ(form.Opened[0].file, "mailto:");  // the defaults: mailto, nothing else
}

TEST(ASLink, AddressWithoutSchemeDisabledLinkAndLongAddresses) {
  TLinkForm form;
  form.Open();
  form.Link->SetURLTypeAdd(false);
  form.Link->SetURLAdr("https://exemple.fr/page");
  SendMessageA(form.Link->Handle(), BM_CLICK, 0, 0);
  ASSERT_EQ(form.Opened.size(), 1u);
  EXPECT_EQ(form.Opened.back().file, "https://exemple.fr/page");

  form.Link->SetURLEnabled(false);
  SendMessageA(form.Link->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form.Opened.size(), 1u);
  EXPECT_EQ(form.Events.back(), "click");
  EXPECT_FALSE(form.Link->LaunchUrl());

  // Far beyond 80 characters: reaches the shell whole.
  form.Link->SetURLEnabled(true);
  form.Link->SetURLTypeAdd(true);
  form.Link->SetURLType(TURLType::utFtp);
  const std::string host(150, 'h'), file(120, 'f');
  form.Link->SetURLAdr(host);
  form.Link->SetURLFile(file);
  SendMessageA(form.Link->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form.Opened.back().file, "ftp://" + host + "/" + file);
}

TEST(ASLink, SchemePrefixes) {
  const struct { TURLType type; const char* prefix; } table[] = {
      {TURLType::utFile, "file://"},  {TURLType::utFtp, "ftp://"},     {TURLType::utGopher, "gopher://"},
      {TURLType::utHttp, "http://"},  {TURLType::utHttps, "https://"}, {TURLType::utMailto, "mailto:"},
      {TURLType::utNews, "news:"},    {TURLType::utTelnet, "telnet:"}, {TURLType::utWais, "wais:"}};
  for (const auto& row : table) EXPECT_STREQ(URLTypePrefix(row.type), row.prefix);
}

TEST(ASLink, TakesTheLinkColourWhileTheMouseIsOver) {
  TLinkForm form;
  form.Link->Font().SetColor(0x800000);
  form.Link->SetLinkColor(qv::fw::clRed);
  form.Open();
  HWND h = form.Link->Handle();
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(form.Link->Font().Color(), qv::fw::clRed);
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(3, 2));
  SendMessageA(h, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(form.Link->Font().Color(), 0x800000u);
}

TEST(ASLink, PointsWithTheProgramsHandInstalledAsApplicationCursorFive) {
  TLinkForm form;
  HCURSOR own = LoadCursorA(GetModuleHandleA(nullptr), "CURSEUR1");
  ASSERT_NE(own, nullptr) << "the program's resources carry the link cursor";
  EXPECT_NE(own, LoadCursor(nullptr, IDC_HAND));
  EXPECT_EQ(kLinkCursor, 5);
  EXPECT_EQ(qv::fw::Application()->Cursor(kLinkCursor), own);
  EXPECT_EQ(form.Link->Cursor(), own);
  TASLink& second = form.Make<TASLink>("Second");
  EXPECT_EQ(second.Cursor(), own);
}

TEST(ASLink, AutoSizeFitsTheTextAndRightAlignedKeepsItsRightEdge) {
  TLinkForm form;
  form.Open();
  auto& link = *form.Link;
  const int w1 = link.Width();
  EXPECT_NE(w1, 65);  // fitted to "Site web", no longer the initial size
  link.SetCaption("Site web de Quorvant Pro");
  EXPECT_GT(link.Width(), w1);
  EXPECT_EQ(link.Left(), 20);

  link.SetAlignment(qv::fw::TAlignment::RightJustify);
  const int right = link.Left() + link.Width();
  link.SetCaption("Site web de Quorvant Pro, pages d'aide");
  EXPECT_EQ(link.Left() + link.Width(), right);
  EXPECT_LT(link.Left(), 20);

  // The shadow adds its size to the height.
  const int h = link.Height();
  link.SetShadowSize(3);
  EXPECT_EQ(link.Height(), h + 2);
  link.SetAutoSize(false);
  link.SetCaption("x");
  EXPECT_EQ(link.Left() + link.Width(), right);
}

TEST(ASLink, ShadowOffsetsByPosition) {
  TPicture pic(10, 10);
  const struct { TShadowPosition pos; int textDx, textDy, shadowDx, shadowDy; } table[] = {
      {TShadowPosition::spLeftTop, 2, 2, 0, 0},
      {TShadowPosition::spLeftBottom, 2, 0, 0, 2},
      {TShadowPosition::spRightBottom, 0, 0, 2, 2},
      {TShadowPosition::spRightTop, 0, 2, 2, 0}};
  HGDIOBJ old = SelectObject(pic.Dc(), GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICA tm{};
  GetTextMetricsA(pic.Dc(), &tm);
  for (const auto& row : table) {
    RECT r{10, 10, 10, 10};
    const int height = DrawShadowedText(pic.Dc(), "Ab", row.pos, RGB(255, 255, 255), 2, DT_CALCRECT, r);
    EXPECT_EQ(height, tm.tmHeight + 2);
    // The union covers both copies: two pixels more each way, from 10.
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 10);
    SIZE ext{};
    GetTextExtentPoint32A(pic.Dc(), "Ab", 2, &ext);
    EXPECT_EQ(r.right, 10 + ext.cx + 2);
    EXPECT_EQ(r.bottom, 10 + tm.tmHeight + 2);
  }
  RECT r{0, 0, 0, 0};
  EXPECT_EQ(DrawShadowedText(pic.Dc(), "Ab", TShadowPosition::spLeftTop, 0, 0, DT_CALCRECT, r), tm.tmHeight);
  SelectObject(pic.Dc(), old);
}

TEST(ASLink, AcceleratorMovesTheFocusToItsControl) {
  TLinkForm form;
  auto& edit = form.Make<qv::fw::TEdit>("EditDir");
  edit.Place(&form, 20, 60, 120, 22);
  auto& other = form.Make<qv::fw::TButton>("BtnOther");
  other.Place(&form, 20, 100, 80, 25);
  form.Link->SetCaption("&Dossier");
  form.Open();
  other.SetFocus();
  PostMessageA(other.Handle(), WM_SYSCHAR, 'd', 0x20000001);
  form.Pump();
  EXPECT_NE(GetFocus(), edit.Handle());  // no focus control yet: not taken
  form.Link->SetFocusControl(&edit);
  PostMessageA(other.Handle(), WM_SYSCHAR, 'd', 0x20000001);
  form.Pump();
  EXPECT_EQ(GetFocus(), edit.Handle());
  EXPECT_TRUE(form.Opened.empty());  // the accelerator does not open the link
}

TEST(ASLink, ForgetsAFocusControlThatIsFreed) {
  TLinkForm form;
  auto* edit = new qv::fw::TEdit(&form);
  form.Link->SetFocusControl(edit);
  delete edit;
  EXPECT_EQ(form.Link->FocusControl(), nullptr);
}
