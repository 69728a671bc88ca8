// The message dialog in a real modal loop: the system's control IDs of its
// buttons, and what Esc answers for each button set.
#include "framework/MessageDialog.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "framework/Application.h"
#include "framework/Form.h"
#include "tests/framework/FwTestSupport.h"

using namespace qv::fw;

namespace {

struct TProbe {
  std::map<std::string, int> Ids;
  const char* Fallback = nullptr;  // pressed after Esc, in case Esc left the box open
};
TProbe* g_probe = nullptr;

BOOL CALLBACK CollectButton(HWND hwnd, LPARAM) {
  char name[64] = {};
  if (GetClassNameA(hwnd, name, sizeof name) && lstrcmpiA(name, "Button") == 0) {
    char text[64] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    g_probe->Ids[text] = GetDlgCtrlID(hwnd);
  }
  return TRUE;
}

// Once the box runs its loop: record the buttons, then Esc, then the
// fallback button, both through the queue in that order.
void CALLBACK OnTick(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND box = FindWindowA("TMessageForm", nullptr);
  if (!box) return;
  EnumChildWindows(box, CollectButton, 0);
  HWND focus = GetFocus();
  HWND target = focus && GetAncestor(focus, GA_ROOT) == box ? focus : box;
  PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0000001);
  if (g_probe->Fallback)
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      char text[64] = {};
      GetWindowTextA(c, text, sizeof text);
      if (g_probe->Fallback == std::string(text)) PostMessageA(c, BM_CLICK, 0, 0);
    }
}

int AskWithEsc(unsigned buttons, TProbe& probe) {
  g_probe = &probe;
  SetTimer(nullptr, 0, 1, OnTick);
  const int result = MessageDlg("Question ?", TMsgDlgType::Confirmation, buttons, 7);
  g_probe = nullptr;
  return result;
}

}  // namespace

TEST(MessageDialog, ButtonsCarryTheSystemControlIds) {
  test::TestApp();
  TProbe probe;
  AskWithEsc(mbYesNoCancel | mbHelp, probe);
  EXPECT_EQ(probe.Ids["&Oui"], IDYES);
  EXPECT_EQ(probe.Ids["&Non"], IDNO);
  EXPECT_EQ(probe.Ids["Annuler"], IDCANCEL);
  EXPECT_EQ(probe.Ids["&Aide"], IDHELP);
  TProbe more;
  AskWithEsc(mbOK | mbAbortRetryIgnore, more);
  EXPECT_EQ(more.Ids["OK"], IDOK);
  EXPECT_EQ(more.Ids["&Abandonner"], IDABORT);
  EXPECT_EQ(more.Ids["&R\xE9" "essayer"], IDRETRY);
  EXPECT_EQ(more.Ids["&Ignorer"], IDIGNORE);
}

TEST(MessageDialog, EscAnswersCancelElseNoElseOkAndNothingInAnAbortIgnoreQuestion) {
  test::TestApp();
  struct Case {
    unsigned buttons;
    int answer;
  };
  for (const Case& c : {Case{mbYesNoCancel, mrCancel}, Case{mbOKCancel, mrCancel}, Case{mbYesNo, mrNo},
                        Case{mbOK | mbHelp, mrOk}}) {
    TProbe probe;
    EXPECT_EQ(AskWithEsc(c.buttons, probe), c.answer) << c.buttons;
  }
  TProbe probe;
  probe.Fallback = "&Ignorer";
  EXPECT_EQ(AskWithEsc(mbAbortIgnore, probe), mrIgnore);
}
