// The options dialog run as the main window's command runs it, over a host
// that records what the main window is asked to show (with the option
// values at that moment): every control reads and writes its own option,
// the previews act on the main window only once the dialog is shown,
// cancelling gives every option back, forbidden replacement characters are
// refused, and wrong values from the registry come in as the defaults.
#include <gtest/gtest.h>

#include <array>

#include "app/Options.h"
#include "app/RegistrySettingsStore.h"
#include "app/dialogs/DialogTestSupport.h"

using namespace qv;
using namespace qv::test;
using app::TOptions;

namespace {

std::string OnOff(bool v) { return v ? "on" : "off"; }

class TOptionsHost final : public app::IOptionsHost {
public:
  eng::TProgramOptions& Options() override { return options; }
  app::TDialogPlacement DialogPlacement() override { return {40, 30, 8, 60}; }
  HBITMAP TextureSource() override { return texture.Handle(); }
  void CommitFocusedEdit() override { Log.push_back("commit"); }
  void ApplyMainTexture() override { Log.push_back("texture " + OnOff(options.Texture)); }
  void ApplyHintOption() override { Log.push_back("hint " + OnOff(options.Hint)); }
  void ApplyGridOption() override { Log.push_back("grid " + OnOff(options.Grid)); }
  void UpdateScanAttributes() override { Log.push_back("scan " + std::to_string(eng::ScanAttributes(options))); }
  void UpdateSliderRange() override { Log.push_back("slider " + std::to_string(options.PositionIndice)); }
  void UpdateModelPreview(bool rescan) override {
    Log.push_back(std::string("preview ") + (options.MajAscii ? "ascii" : "accents") + (rescan ? " rescan" : ""));
  }
  void ReloadListForDateFormat() override { Log.push_back("dates " + options.ModelDate); }
  void SetModelDropDownCount(int rows) override { Log.push_back("rows " + std::to_string(rows)); }

  // What the end of every run re-applies, for the options as they are.
  std::vector<std::string> FinalApply() const {
    return {"texture " + OnOff(options.Texture),
            "hint " + OnOff(options.Hint),
            "grid " + OnOff(options.Grid),
            "scan " + std::to_string(eng::ScanAttributes(options)),
            "slider " + std::to_string(options.PositionIndice),
            std::string("preview ") + (options.MajAscii ? "ascii" : "accents") + " rescan"};
  }
  std::vector<std::string> Since(size_t mark) const { return {Log.begin() + static_cast<ptrdiff_t>(mark), Log.end()}; }

  eng::TProgramOptions options;
  std::vector<std::string> Log;
  TTestTexture texture;
};

TDriver::TStep Found(TOptions*& d) {
  return [&d] {
    d = FindForm<TOptions>("TOptions");
    return d != nullptr;
  };
}

// A user's click, handled before the call returns.
void ClickNow(fw::TWinControl* c) { SendMessageA(c->Handle(), BM_CLICK, 0, 0); }

// The text typed over the edit's text (the change notification follows).
void Type(fw::TWinControl* edit, const std::string& text) { SetWindowTextA(edit->Handle(), text.c_str()); }

// Characters typed into the edit, which gets the focus first.
void Keys(fw::TWinControl* edit, const std::string& chars) {
  edit->SetFocus();
  for (const char c : chars) SendMessageA(edit->Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
}

// The focus goes from the edit to another control, as with Tab.
void Leave(fw::TWinControl* edit, fw::TWinControl* next) {
  edit->SetFocus();
  next->SetFocus();
}

// The seven boxes and their options.
struct TBox {
  const char* name;
  bool eng::TProgramOptions::*option;
};
constexpr std::array<TBox, 7> kBoxes{{{"CheckTexture", &eng::TProgramOptions::Texture},
                                      {"CheckHint", &eng::TProgramOptions::Hint},
                                      {"CheckGrid", &eng::TProgramOptions::Grid},
                                      {"CheckAttrFull", &eng::TProgramOptions::AttributFull},
                                      {"CheckSaisie", &eng::TProgramOptions::SaveSaisie},
                                      {"CheckDelList", &eng::TProgramOptions::DeleteList},
                                      {"CheckMajAscii", &eng::TProgramOptions::MajAscii}}};

fw::TCheckBox* Box(TOptions& d, const char* name) { return dynamic_cast<fw::TCheckBox*>(d.FindComponent(name)); }

// The options the dialog edits, as one comparable text.
std::string Edited(const eng::TProgramOptions& o) {
  std::string s;
  for (const TBox& b : kBoxes) s += std::string(b.name) + "=" + OnOff(o.*b.option) + " ";
  return s + "Position Indice=" + std::to_string(o.PositionIndice) + " DownCount=" + std::to_string(o.DownCount) +
         " Max Combo=" + std::to_string(o.MaxCombo) + " ReplaceChar=[" + o.ReplaceChar + "] Model Date=[" +
         o.ModelDate + "]";
}

}  // namespace

TEST(Options, EachBoxShowsAndWritesItsOwnOption) {
  // Box i alone comes in checked; it is unchecked and the next one checked:
  // only the next one's option may come out set.
  TMessages messages;
  for (size_t i = 0; i < kBoxes.size(); ++i) {
    const TBox& tested = kBoxes[i];
    const TBox& next = kBoxes[(i + 1) % kBoxes.size()];
    SCOPED_TRACE(tested.name);
    TOptionsHost host;
    for (const TBox& b : kBoxes) host.options.*b.option = false;
    host.options.*tested.option = true;
    TOptions* d = nullptr;
    std::string shown;
    TDriver driver;
    driver.Then(Found(d)).Do([&] {
      for (const TBox& b : kBoxes) shown += Box(*d, b.name)->Checked() ? '1' : '0';
      ClickNow(Box(*d, tested.name));
      ClickNow(Box(*d, next.name));
      PostClick(d->BtnAccepter);
    });
    driver.Start();
    app::ExecuteOptionsDialog(host);
    ASSERT_TRUE(driver.Finished());
    std::string expected(kBoxes.size(), '0');
    expected[i] = '1';
    EXPECT_EQ(shown, expected);
    for (const TBox& b : kBoxes) EXPECT_EQ(host.options.*b.option, b.option == next.option) << b.name;
    EXPECT_EQ(host.Log.front(), "commit");
    EXPECT_EQ(host.Since(host.Log.size() - 6), host.FinalApply());
  }
  EXPECT_TRUE(messages.All.empty());
}

TEST(Options, PositionCountsCharacterAndDateFormatAreReadAndWritten) {
  TMessages messages;
  TOptionsHost host;
  eng::TProgramOptions& o = host.options;
  o.PositionIndice = 1;
  o.DownCount = 12;
  o.MaxCombo = 30;
  o.ReplaceChar = "_";
  o.ModelDate = "dd/mm/yy";
  TOptions* d = nullptr;
  TDriver driver;
  driver.Then(Found(d)).Then(TDriver::Wait(100)).Do([&] {
    EXPECT_EQ(d->Caption(), "Options");
    EXPECT_EQ(d->RadioPosIndice->ItemIndex(), 1);
    EXPECT_EQ(d->RadioPosIndice->Caption(), "      Indice       ");
    EXPECT_EQ(d->ValidateDownCount->Text(), "12");
    EXPECT_EQ(d->ValidateMaxCombo->Text(), "30");
    EXPECT_EQ(d->EditReplaceChar->Text(), "_");
    EXPECT_EQ(d->EditModelDate->Text(), "dd/mm/yy");
    SaveScreenshot(d->Handle(), "options");
    ClickNow(d->RadioPosIndice->Button(2));
    Type(d->ValidateDownCount, "15");
    // Out of the range on leaving: brought back to 1.
    Type(d->ValidateMaxCombo, "0");
    Leave(d->ValidateMaxCombo, d->EditReplaceChar);
    EXPECT_EQ(d->ValidateMaxCombo->Text(), "1");
    Type(d->EditReplaceChar, "");  // empty is allowed
    Leave(d->EditReplaceChar, d->EditModelDate);
    Type(d->EditModelDate, "yyyy-mm-dd");
    PostClick(d->BtnAccepter);
  });
  driver.Start();
  app::ExecuteOptionsDialog(host);
  ASSERT_TRUE(driver.Finished());
  EXPECT_EQ(o.PositionIndice, 2);
  EXPECT_EQ(o.DownCount, 15);
  EXPECT_EQ(o.MaxCombo, 1);
  EXPECT_EQ(o.ReplaceChar, "");
  EXPECT_EQ(o.ModelDate, "yyyy-mm-dd");
  // Both model combos take the new height, before the display options.
  const std::vector<std::string> tail = host.Since(host.Log.size() - 7);
  EXPECT_EQ(tail.front(), "rows 15");
  EXPECT_EQ(std::vector<std::string>(tail.begin() + 1, tail.end()), host.FinalApply());
  EXPECT_TRUE(messages.All.empty());
}

TEST(Options, CountsTypedPastTheirRangeAreBroughtIntoIt) {
  TOptionsHost host;
  TOptions* d = nullptr;
  std::vector<std::string> shown;
  TDriver driver;
  driver.Then(Found(d)).Do([&] {
    // Typed values, as they show after leaving the edit.
    for (const char* typed : {"0", "", "07", "7", "99", "1"}) {
      Type(d->ValidateDownCount, typed);
      Leave(d->ValidateDownCount, d->EditModelDate);
      shown.push_back(d->ValidateDownCount->Text());
    }
    // Keys typed last, the edits not left before "Accepter": letters and
    // a third digit are refused, and 0 still counts as 1.
    // (An emptied integer edit shows 0: the keys replace a selection.)
    for (auto* e : {d->ValidateDownCount, d->ValidateMaxCombo}) SendMessageA(e->Handle(), EM_SETSEL, 0, -1);
    Keys(d->ValidateDownCount, "5x");
    Keys(d->ValidateMaxCombo, "0");
    shown.push_back(d->ValidateDownCount->Text());
    PostClick(d->BtnAccepter);
  });
  driver.Start();
  app::ExecuteOptionsDialog(host);
  ASSERT_TRUE(driver.Finished());
  EXPECT_EQ(shown, (std::vector<std::string>{"1", "1", "7", "7", "99", "1", "5"}));
  EXPECT_EQ(host.options.DownCount, 5);
  EXPECT_EQ(host.options.MaxCombo, 1);
}

TEST(Options, PreviewsActOnlyOnceShownAndCancelGivesEveryOptionBack) {
  TMessages messages;
  TOptionsHost host;
  eng::TProgramOptions& o = host.options;
  o.AttributFull = true;
  const std::string before = Edited(o);
  TOptions* d = nullptr;
  size_t shownAt = 0;
  fw::TColor labelOn = 0, labelOff = 0;
  TDriver driver;
  driver.Then(Found(d)).Do([&] {
    // Filling the boxes previewed nothing.
    EXPECT_EQ(host.Log, (std::vector<std::string>{"commit"}));
    labelOn = d->LabelAttrFull->Font().Color();
    shownAt = host.Log.size();
    ClickNow(d->CheckTexture);
    EXPECT_TRUE(d->WallpaperOpt->Visible());
    ClickNow(d->CheckGrid);
    ClickNow(d->CheckMajAscii);
    ClickNow(d->CheckAttrFull);
    labelOff = d->LabelAttrFull->Font().Color();
    Type(d->EditModelDate, "yy");
    ClickNow(d->CheckHint);
    ClickNow(d->CheckSaisie);
    ClickNow(d->CheckDelList);
    ClickNow(d->RadioPosIndice->Button(1));
    Type(d->ValidateDownCount, "40");
    Type(d->ValidateMaxCombo, "50");
    Type(d->EditReplaceChar, "+");
    PostClick(d->BtnAnnuler);
  });
  driver.Start();
  app::ExecuteOptionsDialog(host);
  ASSERT_TRUE(driver.Finished());
  EXPECT_EQ(labelOn, static_cast<fw::TColor>(0x0000FF));
  EXPECT_EQ(labelOff, fw::clWindowText);
  // Each preview shows the box's value on the main window; the other
  // controls show nothing until the end.
  const std::vector<std::string> afterShown = host.Since(shownAt);
  ASSERT_GE(afterShown.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(afterShown.begin(), afterShown.begin() + 6),
            (std::vector<std::string>{"texture on", "grid on", "preview ascii rescan", "scan 41",
                                      "preview ascii rescan", "dates yy"}));
  EXPECT_EQ(afterShown.size(), 12u);
  EXPECT_EQ(Edited(o), before);
  // The main window is shown again as the options are.
  EXPECT_EQ(host.Since(host.Log.size() - 6), host.FinalApply());
  EXPECT_EQ(host.Log.back(), "preview accents rescan");
  EXPECT_TRUE(messages.All.empty());
}

TEST(Options, EscapeAndTheCloseBoxCancelToo) {
  for (const bool escape : {true, false}) {
    TOptionsHost host;
    const std::string before = Edited(host.options);
    TOptions* d = nullptr;
    TDriver driver;
    driver.Then(Found(d)).Then(TDriver::Wait(50)).Do([&] {
      ClickNow(d->CheckTexture);
      Type(d->EditModelDate, "hh:nn");
      if (escape) {
        PostEscape(d->Handle());
      } else {
        PostMessageA(d->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
      }
    });
    driver.Start();
    app::ExecuteOptionsDialog(host);
    ASSERT_TRUE(driver.Finished());
    EXPECT_EQ(Edited(host.options), before) << (escape ? "Esc" : "close box");
    EXPECT_EQ(host.Log.back(), "preview accents rescan");
  }
}

TEST(Options, EscapeInAChangedCountFirstBringsItsValueBack) {
  TOptionsHost host;
  host.options.DownCount = 12;
  TOptions* d = nullptr;
  std::string typed, afterFirst;
  int selStart = -1, selEnd = -1;
  bool openAfterFirst = false;
  TDriver driver;
  driver.Then(Found(d))
      .Do([&] {
        d->ValidateDownCount->SetFocus();
        SendMessageA(d->ValidateDownCount->Handle(), EM_SETSEL, 0, -1);
        Keys(d->ValidateDownCount, "4");
        typed = d->ValidateDownCount->Text();
        PostEscape(d->ValidateDownCount->Handle());
      })
      .Do([&] {
        afterFirst = d->ValidateDownCount->Text();
        SendMessageA(d->ValidateDownCount->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                     reinterpret_cast<LPARAM>(&selEnd));
        openAfterFirst = IsWindowVisible(d->Handle()) != 0;
        // Nothing left to bring back: this one is the dialog's.
        PostEscape(d->ValidateDownCount->Handle());
      });
  driver.Start();
  app::ExecuteOptionsDialog(host);  // returns once the second Escape closed it
  ASSERT_TRUE(driver.Finished());
  EXPECT_EQ(typed, "4");
  EXPECT_EQ(afterFirst, "12");
  EXPECT_EQ(selStart, 0);
  EXPECT_EQ(selEnd, 2);
  EXPECT_TRUE(openAfterFirst);
  EXPECT_EQ(host.options.DownCount, 12);
}

TEST(Options, AForbiddenReplacementIsRefusedOnLeavingAndOnClosing) {
  TMessages messages;
  TOptionsHost host;
  host.options.ReplaceChar = "_";
  TOptions* d = nullptr;
  std::string afterLeave, afterRefusedClose;
  bool openAfterRefusal = false;
  TDriver driver;
  driver.Then(Found(d))
      .Do([&] {
        Type(d->EditReplaceChar, "?");
        Leave(d->EditReplaceChar, d->EditModelDate);
        afterLeave = d->EditReplaceChar->Text();
        // Typed again and closed at once: the close is refused.
        Type(d->EditReplaceChar, "a|b");
        ClickNow(d->BtnAccepter);
      })
      .Then(TDriver::Wait(100))
      .Do([&] {
        openAfterRefusal = IsWindowVisible(d->Handle()) != FALSE;
        afterRefusedClose = d->EditReplaceChar->Text();
        PostClick(d->BtnAccepter);  // the restored text closes
      });
  driver.Start();
  app::ExecuteOptionsDialog(host);
  ASSERT_TRUE(driver.Finished());
  EXPECT_EQ(afterLeave, "_");
  EXPECT_TRUE(openAfterRefusal);
  EXPECT_EQ(afterRefusedClose, "_");
  EXPECT_EQ(host.options.ReplaceChar, "_");
  ASSERT_EQ(messages.All.size(), 2u);
  for (const TMessage& m : messages.All) {
    EXPECT_EQ(m.Text,
              "Le caractère de remplacement est interdit dans les noms de fichiers !\r\n"
              "Le caractère précédent va être automatiquement restauré.");
    EXPECT_EQ(m.Type, eng::mtWarning);
    EXPECT_EQ(m.Buttons, eng::mbOK);
  }
}

TEST(Options, EveryForbiddenCharacterIsRefused) {
  TMessages messages;
  TOptionsHost host;
  TOptions* d = nullptr;
  std::string refused;
  TDriver driver;
  driver.Then(Found(d)).Do([&] {
    for (const char c : std::string("\"*/:<>?\\|")) {
      if (!d->IsReplaceCharAllowed(std::string("x") + c)) refused += c;
    }
    for (const char* ok : {"", "-", "_", "~", "é", "abc"})
      EXPECT_TRUE(d->IsReplaceCharAllowed(ok)) << ok;
    PostClick(d->BtnAnnuler);
  });
  driver.Start();
  app::ExecuteOptionsDialog(host);
  ASSERT_TRUE(driver.Finished());
  EXPECT_EQ(refused, "\"*/:<>?\\|");
  EXPECT_EQ(messages.All.size(), 9u);
}

TEST(Options, WrongRegistryValuesComeInAsTheDefaults) {
  TMessages messages;
  const std::string key = eng::kOptionsKey;
  RegDeleteTreeA(HKEY_CURRENT_USER, eng::kProductKey);
  HKEY h = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
            ERROR_SUCCESS);
  auto text = [&](const char* name, const std::string& v) {
    RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()), static_cast<DWORD>(v.size() + 1));
  };
  auto dword = [&](const char* name, DWORD v) {
    RegSetValueExA(h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
  };
  auto binary = [&](const char* name, std::vector<BYTE> v) {
    RegSetValueExA(h, name, 0, REG_BINARY, v.data(), static_cast<DWORD>(v.size()));
  };
  // Flags and counts of the wrong type, a text stored as a number, values
  // out of their range and a replacement that file names forbid.
  text("Texture", "1");
  text("Hint", "0");
  binary("Grid", {1, 0, 0, 0});
  text("DownCount", "15");
  binary("Max Combo", {20, 0, 0, 0});
  dword("Model Date", 5);
  dword("Position Indice", 7);
  text("ReplaceChar", "?_");
  dword("MAJ Ascii", 1);  // a right value among the wrong ones
  RegCloseKey(h);

  TOptionsHost host;
  app::TRegistrySettingsStore store;
  eng::THistoryLists lists;
  eng::LoadSettings(store, host.options, lists);
  const eng::TProgramOptions defaults;
  EXPECT_EQ(host.options.Texture, defaults.Texture);
  EXPECT_EQ(host.options.Hint, defaults.Hint);
  EXPECT_EQ(host.options.Grid, defaults.Grid);
  EXPECT_EQ(host.options.DownCount, defaults.DownCount);
  EXPECT_EQ(host.options.MaxCombo, defaults.MaxCombo);
  EXPECT_EQ(host.options.ModelDate, defaults.ModelDate);
  EXPECT_TRUE(host.options.MajAscii);
  // The characters that file names forbid are dropped at load.
  EXPECT_EQ(host.options.ReplaceChar, "_");

  TOptions* d = nullptr;
  TDriver driver;
  driver.Then(Found(d)).Do([&] {
    EXPECT_FALSE(d->CheckTexture->Checked());
    EXPECT_TRUE(d->CheckHint->Checked());
    EXPECT_FALSE(d->CheckGrid->Checked());
    EXPECT_TRUE(d->CheckMajAscii->Checked());
    EXPECT_EQ(d->ValidateDownCount->Text(), "10");
    EXPECT_EQ(d->ValidateMaxCombo->Text(), "10");
    EXPECT_EQ(d->EditModelDate->Text(), "dd/mm/yyyy hh:nn:ss");
    EXPECT_EQ(d->RadioPosIndice->ItemIndex(), 0);
    EXPECT_EQ(d->EditReplaceChar->Text(), "_");
    PostClick(d->BtnAccepter);
  });
  driver.Start();
  app::ExecuteOptionsDialog(host);
  ASSERT_TRUE(driver.Finished());
  EXPECT_EQ(host.options.PositionIndice, 0);
  EXPECT_EQ(host.options.ReplaceChar, "_");
  EXPECT_TRUE(messages.All.empty());

  // Saved, every value has its own type again.
  ASSERT_TRUE(eng::SaveSettings(store, host.options, lists));
  DWORD type = 0, value = 0, size = sizeof value;
  ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, key.c_str(), "Texture", RRF_RT_ANY, &type, &value, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(value, 0u);
  size = sizeof value;
  ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, key.c_str(), "DownCount", RRF_RT_ANY, &type, &value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(value, 10u);
  RegDeleteTreeA(HKEY_CURRENT_USER, eng::kProductKey);
}

TEST(Options, StoredValuesOutOfRangeShowInRangeOrAsTheDefaults) {
  TMessages messages;
  for (const bool accept : {false, true}) {
    TOptionsHost host;
    eng::TProgramOptions& o = host.options;
    o.DownCount = 500;
    o.MaxCombo = -3;
    o.PositionIndice = 5;
    o.ReplaceChar = "?";
    TOptions* d = nullptr;
    std::string down, max, replace;
    int position = -2;
    TDriver driver;
    driver.Then(Found(d)).Do([&] {
      down = d->ValidateDownCount->Text();
      max = d->ValidateMaxCombo->Text();
      position = d->RadioPosIndice->ItemIndex();
      replace = d->EditReplaceChar->Text();
      PostClick(accept ? d->BtnAccepter : d->BtnAnnuler);
    });
    driver.Start();
    app::ExecuteOptionsDialog(host);
    ASSERT_TRUE(driver.Finished());
    EXPECT_EQ(down, "99");
    EXPECT_EQ(max, "1");
    EXPECT_EQ(position, 0);
    EXPECT_EQ(replace, "-");
    if (accept) {
      EXPECT_EQ(Edited(o), Edited([] {
                  eng::TProgramOptions e;
                  e.DownCount = 99;
                  e.MaxCombo = 1;
                  return e;
                }()));
    } else {  // nothing was written
      EXPECT_EQ(o.DownCount, 500);
      EXPECT_EQ(o.MaxCombo, -3);
      EXPECT_EQ(o.PositionIndice, 5);
      EXPECT_EQ(o.ReplaceChar, "?");
    }
  }
  EXPECT_TRUE(messages.All.empty());
}

TEST(Options, TheReportsFolderButtonOpensTheExplorerOrSaysWhyNot) {
  TMessages messages;
  eng::testing::TTempFolder temp;
  const std::u16string reports = temp / u"Quorvant Pro\\Rapports";
  CreateDirectoryW(W(temp / u"Quorvant Pro"), nullptr);
  CreateDirectoryW(W(reports), nullptr);
  std::vector<std::string> started;
  app::SetProgramStarter([&](const std::string& commandLine) {
    started.push_back(commandLine);
    return true;
  });
  TOptionsHost host;
  host.options.DirRapport = A(reports) + "\\\\";
  TOptions* d = nullptr;
  TDriver driver;
  driver.Then(Found(d)).Do([&] {
    ClickNow(d->BtnDirRapport);
    host.options.DirRapport = A(temp / u"Absent");
    ClickNow(d->BtnDirRapport);
    PostClick(d->BtnAnnuler);
  });
  driver.Start();
  app::ExecuteOptionsDialog(host);
  app::SetProgramStarter({});
  ASSERT_TRUE(driver.Finished());
  EXPECT_EQ(started, (std::vector<std::string>{"\"explorer.exe\" \"" + A(reports) + "\""}));
  ASSERT_EQ(messages.All.size(), 1u);
  EXPECT_EQ(messages.All[0].Text,
            "Le dossier des rapports n'existe pas ou n'est pas accessible :\r\n" + A(temp / u"Absent") + "\\");
  EXPECT_EQ(messages.All[0].Type, eng::mtInformation);
  EXPECT_EQ(messages.All[0].Buttons, eng::mbOK);
}

TEST(Options, TheTextureFollowsTheOptionAndTheColourScheme) {
  for (const bool on : {false, true}) {
    TOptionsHost host;
    host.options.Texture = on;
    TOptions* d = nullptr;
    bool visible = !on, visibleAfterColours = !on;
    TDriver driver;
    driver.Then(Found(d)).Then(TDriver::Wait(100)).Do([&] {
      visible = d->WallpaperOpt->Visible();
      SendMessageA(d->Handle(), WM_SYSCOLORCHANGE, 0, 0);
      visibleAfterColours = d->WallpaperOpt->Visible();
      if (on) SaveScreenshot(d->Handle(), "options_texture");
      PostClick(d->BtnAnnuler);
    });
    driver.Start();
    app::ExecuteOptionsDialog(host);
    ASSERT_TRUE(driver.Finished());
    EXPECT_EQ(visible, on);
    EXPECT_EQ(visibleAfterColours, on);
  }
}
