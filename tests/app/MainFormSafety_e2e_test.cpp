// Faults of the main window found by driving it from outside: what the
// first close writes, the stored index position at start-up, a pasted
// extension, and a close asked while a run is going on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/app/E2eSupport.h"

using namespace qv::harness;
using namespace qv::e2e;
namespace fs = std::filesystem;

namespace {

const std::string kListsKey = std::string(kProductKey) + "\\Lists";

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Puts text on the clipboard and pastes it into an edit of the program.
bool Paste(HWND edit, const std::string& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!mem) {
    CloseClipboard();
    return false;
  }
  memcpy(GlobalLock(mem), text.c_str(), text.size() + 1);
  GlobalUnlock(mem);
  const bool set = SetClipboardData(CF_TEXT, mem) != nullptr;
  CloseClipboard();
  if (!set) return false;
  FocusControl(edit);
  DWORD_PTR r;
  SendMessageTimeoutA(edit, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 5000, &r);
  SendMessageTimeoutA(edit, WM_PASTE, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
  return true;
}

}  // namespace

TEST(MainWindowSafetyE2E, AFirstCloseWritesEveryHistoryKeyAndNoViewStyle) {
  ResetProgramRegistry();
  TProgram app;
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  CloseMain(app, main);
  for (const char* list : {"Names Files", "Scripts Files", "Names Extensions", "Scripts Extensions"})
    EXPECT_TRUE(RegistryKeyExists(kListsKey + "\\" + list)) << list;
  // The list's saved settings keep sizes, order and sort, never the view.
  EXPECT_TRUE(RegistryKeyExists(std::string(kProductKey) + "\\Sort"));
  EXPECT_FALSE(RegistryKeyExists(std::string(kProductKey) + "\\ViewStyle"));
}

TEST(MainWindowSafetyE2E, TheStoredIndexPositionInTheExtensionSurvivesTheStart) {
  struct Case {
    const char* model;
    const char* position;  // the label after the start
    const char* newName;
    DWORD stored;          // "Position" after the close
  };
  // A position beyond the model is clamped to its length, and only then.
  for (const Case& c : {Case{"txt", "Position : 3", "SansNom_.txt01", 3},
                        Case{"abcdefghij", "Position : 8", "SansNom_.abcdefgh01ij", 8}}) {
    SCOPED_TRACE(c.model);
    ResetProgramRegistry();
    WriteRegistryDword(kOptionsKey, "No Extension", 0);
    WriteRegistryDword(kOptionsKey, "Extension Indice", 1);
    WriteRegistryDword(kOptionsKey, "Position", 8);
    WriteRegistryDword(kOptionsKey, "Start", 1);
    WriteRegistryString(kListsKey + "\\Names Extensions", "0", c.model);
    TTempFolder folder("qvpos");
    folder.Write("photo.jpg", "p");
    TProgram app(Quoted(folder.Path()));
    HWND main = WaitForMain(app);
    ASSERT_NE(main, nullptr);
    HWND list = FindControl(main, "FileList");
    ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 1; }));
    EXPECT_EQ(GetText(FindControl(main, "LabelPosition")), c.position);
    EXPECT_EQ(ListViewText(list, 0, 1), c.newName);
    CloseMain(app, main);
    DWORD position = 0;
    ASSERT_TRUE(ReadRegistryDword(kOptionsKey, "Position", position));
    EXPECT_EQ(position, c.stored);
  }
}

TEST(MainWindowSafetyE2E, APastedExtensionWithItsDotTakesEffectAtOnce) {
  ResetProgramRegistry();
  WriteRegistryDword(kOptionsKey, "No Extension", 0);
  TTempFolder folder("qvpaste");
  folder.Write("photo.jpg", "p");
  TProgram app(Quoted(folder.Path()));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  HWND list = FindControl(main, "FileList");
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 1; }));
  HWND combo = FindControl(main, "EditExt");
  HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  ASSERT_TRUE(Paste(edit, ".txt"));
  ASSERT_TRUE(WaitUntil([&] { return GetText(edit) == "txt"; })) << GetText(edit);
  EXPECT_TRUE(WaitUntil([&] { return ListViewText(list, 0, 1) == "SansNom_00.txt"; })) << ListViewText(list, 0, 1);
  CloseMain(app, main);
  std::string stored;
  ASSERT_TRUE(ReadRegistryString(kOptionsKey, "Name Extension", stored));
  EXPECT_EQ(stored, "txt");
}

TEST(MainWindowSafetyE2E, ACloseDuringARunIsRefusedAndTheProgramClosesAfterIt) {
  ResetProgramRegistry();
  WriteRegistryDword(kOptionsKey, "Rapport", 0);
  TTempFolder folder("qvclose");
  const int count = 1500;
  for (int i = 0; i < count; ++i) folder.Write("f" + std::to_string(1000 + i) + ".dat", std::to_string(i));
  TProgram app(Quoted(folder.Path()));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  HWND list = FindControl(main, "FileList");
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == count; }, 30s));
  TypeModel(main, "R_");
  ClickAsync(FindControl(main, "BtnRenommer"));
  HWND dlg = app.WaitForWindow("TQuoDial", "", 10s);
  ASSERT_NE(dlg, nullptr);
  // In the program's queue the close comes right behind the start of the
  // run, so the run's own message pumping meets it.
  PostMessageA(FindControl(dlg, "BtnOui"), BM_CLICK, 0, 0);
  PostMessageA(main, WM_CLOSE, 0, 0);
  DWORD_PTR answer = 1;
  EXPECT_NE(SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 30000, &answer), 0);
  EXPECT_EQ(answer, 0u) << "the session end must wait for the run";
  ASSERT_TRUE(WaitUntil(
      [&] { return !app.Running() || GetText(FindControl(dlg, "LabelStatus")) == "Opération terminée"; }, 60s));
  ASSERT_TRUE(app.Running()) << "the program ended under its run";
  Screenshot("e2e_close_refused_during_run");
  ClickAsync(FindControl(dlg, "BtnFermer"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg) || !IsWindowVisible(dlg); }));
  // Every file renamed, every content still there.
  std::set<std::string> contents;
  size_t renamed = 0;
  for (const auto& e : fs::directory_iterator(folder.Path())) {
    if (!e.is_regular_file()) continue;
    renamed += AnsiPath(e.path().filename()).rfind("R_", 0) == 0;
    contents.insert(ReadFile(e.path()));
  }
  EXPECT_EQ(renamed, static_cast<size_t>(count));
  EXPECT_EQ(contents.size(), static_cast<size_t>(count));
  EXPECT_EQ(contents.count("1499"), 1u);
  // Now the close goes through.
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(app.WaitForExit(20s));
  EXPECT_EQ(app.ExitCode(), 0u);
}

TEST(MainWindowSafetyE2E, ACloseDuringASimulationIsRefused) {
  ResetProgramRegistry();
  TTempFolder folder("qvclose");
  for (int i = 0; i < 300; ++i) folder.Write("f" + std::to_string(1000 + i) + ".dat", "x");
  TProgram app(Quoted(folder.Path()));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(FindControl(main, "FileList")) == 300; }, 20s));
  ClickAsync(FindControl(main, "BtnSimuler"));
  PostMessageA(main, WM_CLOSE, 0, 0);
  HWND dlg = app.WaitForWindow("TSimulation", "", 10s);
  ASSERT_NE(dlg, nullptr);
  HWND close = FindControl(dlg, "BtnFermer");
  ASSERT_TRUE(WaitUntil([&] { return !app.Running() || IsEnabled(close); }, 30s));
  ASSERT_TRUE(app.Running()) << "the program ended under its simulation";
  ClickAsync(close);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg) || !IsWindowVisible(dlg); }));
  CloseMain(app, main);
}

TEST(MainWindowSafetyE2E, StoredValuesOutOfTheirRangeStartWithTheirDefaultsAndAreWrittenBackSane) {
  ResetProgramRegistry();
  WriteRegistryDword(kOptionsKey, "Format", 100000000);  // no window within 90 s once
  WriteRegistryDword(kOptionsKey, "Attribut", 0xFFFFFFFF);
  WriteRegistryDword(kOptionsKey, "Attribut On", 1);
  WriteRegistryDword(kOptionsKey, "DownCount", static_cast<DWORD>(-7));
  WriteRegistryDword(kOptionsKey, "Max Combo", 100000);
  WriteRegistryDword(kOptionsKey, "Casse File", 99);
  WriteRegistryDword(kOptionsKey, "Position Indice", 7);
  WriteRegistryString(kOptionsKey, "Mask", std::string(10000, 'a'));
  TProgram app;
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(GetText(FindControl(main, "EditFormat")), "00");
  EXPECT_EQ(GetText(FindControl(main, "EditMask")), "*.*");
  // Only the four bits the boxes stand for are kept.
  for (const char* box : {"CheckRead", "CheckHidden", "CheckSystem", "CheckArchive"})
    EXPECT_TRUE(IsChecked(FindControl(main, box))) << box;
  CloseMain(app, main);
  DWORD v = 0;
  ASSERT_TRUE(ReadRegistryDword(kOptionsKey, "Format", v));
  EXPECT_EQ(v, 2u);
  ASSERT_TRUE(ReadRegistryDword(kOptionsKey, "Attribut", v));
  EXPECT_EQ(v, 39u);
  ASSERT_TRUE(ReadRegistryDword(kOptionsKey, "DownCount", v));
  EXPECT_EQ(v, 10u);
  ASSERT_TRUE(ReadRegistryDword(kOptionsKey, "Max Combo", v));
  EXPECT_EQ(v, 10u);
  ASSERT_TRUE(ReadRegistryDword(kOptionsKey, "Casse File", v));
  EXPECT_EQ(v, 0u);
  ASSERT_TRUE(ReadRegistryDword(kOptionsKey, "Position Indice", v));
  EXPECT_EQ(v, 0u);
  std::string mask;
  ASSERT_TRUE(ReadRegistryString(kOptionsKey, "Mask", mask));
  EXPECT_EQ(mask, "*.*");
}
