// The main window's control rules driven from outside: the model preview
// and its colours, the index boxes and the format edit, the attribute sum,
// the history combos (cap, removal, modes, what is never stored) and the
// time picker's keys.
#include <gtest/gtest.h>

#include <memory>

#include "tests/app/E2eSupport.h"

using namespace qv::harness;
using namespace qv::e2e;

namespace {

const std::string kListsKey = std::string(kProductKey) + "\\Lists";
const std::string kNames = kListsKey + "\\Names Files";

void WriteHistory(const std::string& key, const std::vector<std::string>& entries) {
  for (size_t i = 0; i < entries.size(); ++i) WriteRegistryString(key, std::to_string(i), entries[i]);
}

// The program on an empty-registry start (plus what the case wrote), with
// its main window shown over a folder of `files` files.
struct TStarted {
  explicit TStarted(int files = 1, const char* prefix = "qvrules") : folder(prefix) {
    for (int i = 0; i < files; ++i) folder.Write("f" + std::to_string(10 + i) + ".txt");
    app = std::make_unique<TProgram>(Quoted(folder.Path()));
    main = WaitForMain(*app);
    if (!main) return;
    list = FindControl(main, "FileList");
    listed = WaitUntil([&] { return ListViewCount(list) == files; });
  }
  HWND Control(const char* name) const { return FindControl(main, name); }
  HWND ComboEdit(const char* name) const { return FindWindowExA(Control(name), nullptr, "Edit", nullptr); }
  void Close() { CloseMain(*app, main); }

  TTempFolder folder;
  std::unique_ptr<TProgram> app;
  HWND main = nullptr;
  HWND list = nullptr;
  bool listed = false;
};

}  // namespace

TEST(MainWindowRulesE2E, ThePreviewColoursTheIndexAndSaysWhenItCannotShowTheModel) {
  ResetProgramRegistry();
  WriteRegistryDword(kOptionsKey, "Start", 1000);
  WriteRegistryDword(kOptionsKey, "Format", 2);
  TStarted s;
  ASSERT_TRUE(s.listed);
  HWND preview = s.Control("RichEdit");
  // "SansNom_" then the index after its 8 characters; two digits beyond
  // the width of 2 in the third colour, the last two in the second.
  ASSERT_EQ(GetText(preview), "SansNom_1000.*");
  EXPECT_EQ(RichEditColorAt(preview, 0), 0x800000u);
  EXPECT_EQ(RichEditColorAt(preview, 7), 0x800000u);
  EXPECT_EQ(RichEditColorAt(preview, 8), 0xFF0000u);
  EXPECT_EQ(RichEditColorAt(preview, 9), 0xFF0000u);
  EXPECT_EQ(RichEditColorAt(preview, 10), 0x0000FFu);
  EXPECT_EQ(RichEditColorAt(preview, 11), 0x0000FFu);
  EXPECT_EQ(RichEditColorAt(preview, 12), 0x800000u);
  Screenshot("main_preview_colours");

  HWND combo = s.Control("EditFile");
  Click(s.Control("BtnIndice2"));  // the index follows the end of the typed model
  SetComboText(combo, std::string(150, 'W'));
  EXPECT_TRUE(WaitUntil([&] { return GetText(preview) == "Modèle non visible"; })) << GetText(preview);
  SetComboText(combo, "Court_");
  EXPECT_TRUE(WaitUntil([&] { return GetText(preview) == "Court_1000.*"; })) << GetText(preview);

  Click(s.Control("CheckSpFile"));
  EXPECT_EQ(GetText(preview), "Modèle non disponible");
  Click(s.Control("CheckSpFile"));
  EXPECT_NE(GetText(preview), "Modèle non disponible");
  s.Close();
}

TEST(MainWindowRulesE2E, BothKeepBoxesForceNoIndexUntilOneIsCleared) {
  ResetProgramRegistry();  // the extension is kept by default
  TStarted s;
  ASSERT_TRUE(s.listed);
  HWND none = s.Control("CheckAucun");
  EXPECT_FALSE(IsChecked(none));
  EXPECT_TRUE(IsEnabled(none));
  Click(s.Control("CheckNoFile"));
  EXPECT_TRUE(IsChecked(none));
  EXPECT_FALSE(IsEnabled(none)) << "forced on, it cannot be changed";
  EXPECT_EQ(ListViewText(s.list, 0, 1), "f10.txt");
  Click(s.Control("CheckNoFile"));
  EXPECT_TRUE(IsEnabled(none));
  s.Close();
  EXPECT_EQ(StoredDword("None Indice"), 1u);
}

TEST(MainWindowRulesE2E, TheFormatEditNeverStaysEmptyAndTheAutomaticWidthUsesThePadCharacter) {
  {
    ResetProgramRegistry();
    TStarted s;
    ASSERT_TRUE(s.listed);
    HWND format = s.Control("EditFormat");
    EXPECT_EQ(GetText(format), "00");
    SetText(format, "");
    EXPECT_TRUE(WaitUntil([&] { return GetText(format) == "0"; })) << GetText(format);
    EXPECT_TRUE(WaitUntil([&] { return ListViewText(s.list, 0, 1) == "SansNom_0.txt"; }))
        << ListViewText(s.list, 0, 1);
    s.Close();
    EXPECT_EQ(StoredDword("Format"), 1u);
  }
  {
    // An empty folder: the automatic width is that of index 0.
    ResetProgramRegistry();
    WriteRegistryDword(kOptionsKey, "Auto Format", 1);
    WriteRegistryDword(kOptionsKey, "Format", 4);
    TStarted s(0, "qvempty");
    ASSERT_NE(s.main, nullptr);
    HWND format = s.Control("EditFormat");
    EXPECT_TRUE(WaitUntil([&] { return GetText(format) == "0"; })) << GetText(format);
    EXPECT_FALSE(IsEnabled(format));
    s.Close();
    EXPECT_EQ(StoredDword("Format"), 1u);
  }
  {
    // Twelve files: two digits, shown as two pad characters, as typing
    // the width would show them.
    ResetProgramRegistry();
    WriteRegistryDword(kOptionsKey, "Auto Format", 1);
    WriteRegistryString(kOptionsKey, "Character", "-");
    TStarted s(12, "qvpad");
    ASSERT_TRUE(s.listed);
    HWND format = s.Control("EditFormat");
    EXPECT_TRUE(WaitUntil([&] { return GetText(format) == "--"; })) << GetText(format);
    EXPECT_EQ(ListViewText(s.list, 0, 1), "SansNom_-0.txt");
    Click(s.Control("CheckFormat"));  // typing again
    SetText(format, "---");
    EXPECT_TRUE(WaitUntil([&] { return ListViewText(s.list, 0, 1) == "SansNom_--0.txt"; }))
        << ListViewText(s.list, 0, 1);
    s.Close();
    EXPECT_EQ(StoredDword("Format"), 3u);
  }
}

TEST(MainWindowRulesE2E, TheStoredAttributesTickTheirBoxesAndShowTheirSum) {
  ResetProgramRegistry();
  WriteRegistryDword(kOptionsKey, "Attribut", 0x23);
  TStarted s;
  ASSERT_TRUE(s.listed);
  EXPECT_TRUE(IsChecked(s.Control("CheckRead")));
  EXPECT_TRUE(IsChecked(s.Control("CheckHidden")));
  EXPECT_FALSE(IsChecked(s.Control("CheckSystem")));
  EXPECT_TRUE(IsChecked(s.Control("CheckArchive")));
  EXPECT_EQ(GetText(s.Control("LabelDecimal")), "35");
  s.Close();
  EXPECT_EQ(StoredDword("Attribut"), 0x23u);
}

TEST(MainWindowRulesE2E, AHistoryKeepsMaxComboEntriesAndNeverStoresAWildcard) {
  ResetProgramRegistry();
  WriteRegistryDword(kOptionsKey, "Max Combo", 3);
  WriteHistory(kNames, {"A_", "B_", "C_"});
  TStarted s;
  ASSERT_TRUE(s.listed);
  HWND combo = s.Control("EditFile");
  TypeModel(s.main, "D_");
  EXPECT_EQ(ComboItems(combo), (std::vector<std::string>{"D_", "A_", "B_"}));
  for (const char* wildcard : {"*", "?", "<>"}) {
    SetComboText(combo, wildcard);
    LeaveControl(s.main);
    EXPECT_EQ(ComboItems(combo), (std::vector<std::string>{"D_", "A_", "B_"})) << wildcard;
  }
  s.Close();
}

TEST(MainWindowRulesE2E, CtrlDeleteRemovesAnEntryOnlyWhenTheOptionAllowsIt) {
  {
    ResetProgramRegistry();  // "Delete List" is off by default
    WriteHistory(kNames, {"A_", "B_"});
    TStarted s;
    ASSERT_TRUE(s.listed);
    HWND combo = s.Control("EditFile");
    SetComboText(combo, "A_");
    PressKey(s.ComboEdit("EditFile"), VK_DELETE, /*ctrl=*/true);
    EXPECT_EQ(ComboItems(combo), (std::vector<std::string>{"A_", "B_"}));
    EXPECT_EQ(GetText(combo), "A_");
    s.Close();
  }
  ResetProgramRegistry();
  WriteRegistryDword(kOptionsKey, "Delete List", 1);
  WriteHistory(kNames, {"A_", "B_"});
  TStarted s;
  ASSERT_TRUE(s.listed);
  HWND combo = s.Control("EditFile");
  SetComboText(combo, "A_");
  PressKey(s.ComboEdit("EditFile"), VK_DELETE, /*ctrl=*/true);
  EXPECT_EQ(ComboItems(combo), std::vector<std::string>{"B_"});
  EXPECT_EQ(GetText(combo), "");
  EXPECT_TRUE(WaitUntil([&] { return ListViewText(s.list, 0, 1) == "00.txt"; })) << ListViewText(s.list, 0, 1);
  // A text that is no entry is cleared all the same.
  SetComboText(combo, "Z_");
  PressKey(s.ComboEdit("EditFile"), VK_DELETE, /*ctrl=*/true);
  EXPECT_EQ(ComboItems(combo), std::vector<std::string>{"B_"});
  EXPECT_EQ(GetText(combo), "");
  s.Close();
}

TEST(MainWindowRulesE2E, ScriptModeAndBackRestoresTheNameEntry) {
  ResetProgramRegistry();
  WriteHistory(kNames, {"A_", "B_", "C_"});
  WriteHistory(kListsKey + "\\Scripts Files", {"<A3>", "<$F>"});
  WriteRegistryDword(kOptionsKey, "Idx Name File", 2);
  WriteRegistryDword(kOptionsKey, "Idx Script File", 1);
  TStarted s;
  ASSERT_TRUE(s.listed);
  HWND combo = s.Control("EditFile");
  EXPECT_EQ(GetText(combo), "C_");
  Click(s.Control("CheckSpFile"));
  EXPECT_EQ(ComboItems(combo), (std::vector<std::string>{"<A3>", "<$F>"}));
  EXPECT_EQ(GetText(combo), "<$F>");
  Click(s.Control("CheckSpFile"));
  EXPECT_EQ(ComboItems(combo), (std::vector<std::string>{"A_", "B_", "C_"}));
  EXPECT_EQ(GetText(combo), "C_");
  s.Close();
  EXPECT_EQ(StoredDword("Idx Name File"), 2u);
  EXPECT_EQ(StoredDword("Idx Script File"), 1u);

  // A typed model equal to an entry stands for that entry across a switch,
  // and is what the next start shows.
  TStarted t;
  ASSERT_TRUE(t.listed);
  combo = t.Control("EditFile");
  SetComboText(combo, "B_");
  Click(t.Control("CheckSpFile"));
  EXPECT_EQ(GetText(combo), "<$F>");
  t.Close();
  EXPECT_EQ(StoredDword("Idx Name File"), 1u);
  TStarted u;
  ASSERT_TRUE(u.listed);
  Click(u.Control("CheckSpFile"));
  EXPECT_EQ(GetText(u.Control("EditFile")), "B_");
  u.Close();
}

TEST(MainWindowRulesE2E, TheTimePickerTakesNowWithCtrlAndMidnightWithAlt) {
  ResetProgramRegistry();
  WriteRegistryDword(kOptionsKey, "Time On", 1);
  WriteRegistryString(kOptionsKey, "Time", "12:34:56");
  auto secondsOfDay = [] {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
  };
  int before = 0, after = 0;
  {
    TStarted s;
    ASSERT_TRUE(s.listed);
    PressKey(s.Control("TimePicker"), 'A', /*ctrl=*/false, /*shift=*/false, /*alt=*/true);
    s.Close();
    EXPECT_EQ(StoredString("Time"), "00:00:00");
  }
  {
    TStarted s;
    ASSERT_TRUE(s.listed);
    before = secondsOfDay();
    PressKey(s.Control("TimePicker"), VK_CONTROL, /*ctrl=*/true);
    after = secondsOfDay();
    s.Close();
  }
  const std::string t = StoredString("Time");
  ASSERT_EQ(t.size(), 8u) << t;
  const int stored = std::stoi(t.substr(0, 2)) * 3600 + std::stoi(t.substr(3, 2)) * 60 + std::stoi(t.substr(6, 2));
  if (after >= before) {  // not across midnight
    EXPECT_GE(stored, before);
    EXPECT_LE(stored, after);
  }
}
