// The compiled help as the system reads it: the page of every help context
// that the program passes (the list the help build took from the sources
// and the program's table of topics) is stored in the file, and the help
// viewer opens it. The file carries no compiled context map: its compiler
// would have written the build folder into it.
#include <windows.h>

#include <gtest/gtest.h>
#include <htmlhelp.h>
#include <objbase.h>

#include <fstream>
#include <map>
#include <string>

// The system's reader of compiled help files (itss.dll); its header is not
// part of the toolchain, so the interface is declared here, outside the
// unnamed namespace: a class of internal linkage that nothing implements
// lets the compiler devirtualize its calls into nothing.
const CLSID kClsidITStorage = {0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
const IID kIidITStorage = {0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

struct IITStorage : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR*, DWORD, DWORD, IStorage**) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes*, DWORD, DWORD, IStorage**) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes*) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR*, IStorage*, DWORD, SNB, DWORD, IStorage**) = 0;
};

namespace {

using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

std::wstring Wide(const std::string& s) {
  std::wstring w(s.size() + 1, L'\0');
  w.resize(MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), static_cast<int>(w.size())) - 1);
  return w;
}

// Context -> page, as the help build found them in the program's sources.
std::map<int, std::string> ProgramContexts() {
  std::map<int, std::string> contexts;
  std::ifstream in(QV_HELP_CONTEXTS);
  int c;
  std::string page;
  while (in >> c >> page) contexts[c] = page;
  return contexts;
}

std::string ReadStream(IStorage* storage, const wchar_t* name) {
  IStream* stream = nullptr;
  if (FAILED(storage->OpenStream(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream)) || !stream) return {};
  std::string data;
  char buf[4096];
  ULONG got = 0;
  while (SUCCEEDED(stream->Read(buf, sizeof buf, &got)) && got) data.append(buf, got);
  stream->Release();
  return data;
}

class HelpContexts : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(GetFileAttributesA(QV_HELP_FILE), INVALID_FILE_ATTRIBUTES) << QV_HELP_FILE;
    CoInitialize(nullptr);
  }
  void TearDown() override {
    if (m_htmlHelp) m_htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
    CoUninitialize();
  }
  HWND Show(const std::string& topic) {
    if (!m_htmlHelp) {
      HMODULE module = LoadLibraryA("hhctrl.ocx");
      // Through a plain function pointer: GCC warns on a direct cast from FARPROC.
      auto* any = module ? reinterpret_cast<void (*)()>(GetProcAddress(module, "HtmlHelpA")) : nullptr;
      m_htmlHelp = reinterpret_cast<HtmlHelpFn>(any);
    }
    return m_htmlHelp ? m_htmlHelp(GetDesktopWindow(), topic.c_str(), HH_DISPLAY_TOPIC, 0) : nullptr;
  }

  HtmlHelpFn m_htmlHelp = nullptr;
};

}  // namespace

TEST_F(HelpContexts, ThePageOfEveryContextOfTheProgramIsInTheFile) {
  const std::map<int, std::string> contexts = ProgramContexts();
  // The main window, the folder dialog, the three refusal messages, the
  // simulation, the about box and the options at least.
  ASSERT_GE(contexts.size(), 8u);

  IITStorage* its = nullptr;
  ASSERT_EQ(CoCreateInstance(kClsidITStorage, nullptr, CLSCTX_INPROC_SERVER, kIidITStorage,
                             reinterpret_cast<void**>(&its)), S_OK);
  IStorage* storage = nullptr;
  const std::wstring path = Wide(QV_HELP_FILE);
  ASSERT_EQ(its->StgOpenStorage(path.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &storage), S_OK);
  for (const auto& [context, page] : contexts) {
    const std::string html = ReadStream(storage, Wide("/" + page).c_str());
    EXPECT_NE(html.find("<h1>"), std::string::npos) << "context " << context << ": " << page;
  }
  // A context map would send the viewer to the build folder.
  EXPECT_LE(ReadStream(storage, L"#IVB").size(), 4u);
  storage->Release();
  its->Release();
}

TEST_F(HelpContexts, TheHelpViewerOpensThePageOfEveryContext) {
  for (const auto& [context, page] : ProgramContexts()) {
    const std::string topic = std::string(QV_HELP_FILE) + "::/" + page;
    EXPECT_NE(Show(topic), nullptr) << context << " " << page;
  }
}
