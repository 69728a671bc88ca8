// The compiled help as the system's help viewer reads it: every help context
// that the program passes (the list the help build took from the sources)
// opens a page, and a context the help does not know opens nothing.
#include <windows.h>

#include <gtest/gtest.h>
#include <htmlhelp.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

std::vector<int> ProgramContexts() {
  std::vector<int> contexts;
  std::ifstream in(QV_HELP_CONTEXTS);
  for (int c; in >> c;) contexts.push_back(c);
  return contexts;
}

class HelpContexts : public ::testing::Test {
protected:
  void SetUp() override {
    m_module = LoadLibraryA("hhctrl.ocx");
    ASSERT_NE(m_module, nullptr);
    m_htmlHelp = reinterpret_cast<HtmlHelpFn>(GetProcAddress(m_module, "HtmlHelpA"));
    ASSERT_NE(m_htmlHelp, nullptr);
    ASSERT_NE(GetFileAttributesA(QV_HELP_FILE), INVALID_FILE_ATTRIBUTES) << QV_HELP_FILE;
  }
  void TearDown() override {
    if (m_htmlHelp) m_htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
  }
  HWND Open(int context) { return m_htmlHelp(GetDesktopWindow(), QV_HELP_FILE, HH_HELP_CONTEXT, context); }

  HMODULE m_module = nullptr;
  HtmlHelpFn m_htmlHelp = nullptr;
};

}  // namespace

TEST_F(HelpContexts, EveryContextOfTheProgramOpensAPage) {
  const std::vector<int> contexts = ProgramContexts();
  // The main window, the folder dialog, the three refusal messages, the
  // simulation, the about box and the options at least.
  ASSERT_GE(contexts.size(), 8u);
  for (int c : contexts) EXPECT_NE(Open(c), nullptr) << "context " << c;
}

TEST_F(HelpContexts, AnUnknownContextOpensNothing) {
  EXPECT_EQ(Open(9999), nullptr);
  EXPECT_EQ(Open(6), nullptr);
}
