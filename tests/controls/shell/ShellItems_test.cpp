// Item identifier lists over hand-made bytes (sizes, joins, copies, steps),
// STRRET texts of every kind including a hostile offset, display names and
// icons of a real folder, the folder data count and the shell menu's hint.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "controls/shell/ShellContextMenu.h"
#include "controls/shell/ShellItems.h"
#include "controls/shell/detail/ShellMenuHooks.h"
#include "tests/common/ListViewHost.h"

using namespace qv;
using namespace qv::controls;
using namespace qv::test;

namespace {

// A list of identifiers whose payloads are the given bytes, from the shell
// allocator.
TPidl MakeList(const std::vector<std::vector<BYTE>>& ids) {
  UINT size = 2;
  for (const auto& id : ids) size += static_cast<UINT>(id.size()) + 2;
  TPidl out(AllocItemIdList(size));
  BYTE* p = reinterpret_cast<BYTE*>(out.Get());
  for (const auto& id : ids) {
    const USHORT cb = static_cast<USHORT>(id.size() + 2);
    std::memcpy(p, &cb, 2);
    std::memcpy(p + 2, id.data(), id.size());
    p += cb;
  }
  return out;
}

std::vector<BYTE> Bytes(LPCITEMIDLIST pidl) {
  const BYTE* p = reinterpret_cast<const BYTE*>(pidl);
  return std::vector<BYTE>(p, p + ItemIdListSize(pidl));
}

}  // namespace

TEST(ShellItems, SizesCountEveryIdentifierAndTheTerminator) {
  EXPECT_EQ(ItemIdListSize(nullptr), 0u);
  TPidl empty = MakeList({});
  EXPECT_EQ(ItemIdListSize(empty.Get()), 2u);
  TPidl two = MakeList({{1, 2, 3}, {4}});
  EXPECT_EQ(ItemIdListSize(two.Get()), 5u + 3u + 2u);
}

TEST(ShellItems, JoiningCopyingAndSteppingKeepTheBytes) {
  const int live = LiveItemIdLists();
  {
    TPidl a = MakeList({{1, 2}});
    TPidl b = MakeList({{3}, {4, 5, 6}});
    TPidl joined(JoinItemIdLists(a.Get(), b.Get()));
    TPidl expected = MakeList({{1, 2}, {3}, {4, 5, 6}});
    EXPECT_EQ(Bytes(joined.Get()), Bytes(expected.Get()));
    TPidl fromNull(JoinItemIdLists(nullptr, b.Get()));
    EXPECT_EQ(Bytes(fromNull.Get()), Bytes(b.Get()));
    TPidl copy(CopyItemIdList(joined.Get()));
    EXPECT_EQ(Bytes(copy.Get()), Bytes(joined.Get()));
    EXPECT_EQ(CopyItemIdList(nullptr), nullptr);
    TPidl first(CopyFirstItemId(b.Get()));
    TPidl onlyFirst = MakeList({{3}});
    EXPECT_EQ(Bytes(first.Get()), Bytes(onlyFirst.Get()));

    LPITEMIDLIST last = NextItemId(b.Get());
    ASSERT_NE(last, nullptr);
    LPITEMIDLIST terminator = NextItemId(last);
    ASSERT_NE(terminator, nullptr) << "the last identifier steps to the terminator";
    EXPECT_EQ(ItemIdListSize(terminator), 2u);
    EXPECT_EQ(NextItemId(terminator), nullptr);
    EXPECT_EQ(NextItemId(nullptr), nullptr);
    EXPECT_GT(LiveItemIdLists(), live);
  }
  EXPECT_EQ(LiveItemIdLists(), live) << "every list made here went back to the allocator";
  LPITEMIDLIST none = nullptr;
  FreeItemIdList(none);
  EXPECT_EQ(none, nullptr);
}

TEST(ShellItems, StrRetTextsOfEveryKindAndAnOffsetOutsideTheList) {
  TPidl item = MakeList({{'a', 'b', 'c', 0}});
  STRRET sr{};
  sr.uType = STRRET_OFFSET;
  sr.uOffset = 2;
  EXPECT_EQ(StrRetText(sr, item.Get()), "abc");
  sr.uOffset = 400;
  EXPECT_EQ(StrRetText(sr, item.Get()), "");
  sr = STRRET{};
  sr.uType = STRRET_CSTR;
  std::strcpy(sr.cStr, "Photos d'été");
  EXPECT_EQ(StrRetText(sr, item.Get()), "Photos d'été");
  sr = STRRET{};
  sr.uType = STRRET_WSTR;
  const wchar_t text[] = L"\u00c9t\u00e9";
  sr.pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof text));
  std::memcpy(sr.pOleStr, text, sizeof text);
  EXPECT_EQ(StrRetText(sr, item.Get()), "Été");
  EXPECT_EQ(sr.pOleStr, nullptr) << "the shell's text is freed";
}

TEST(ShellItems, AnsiTextsReachTheShellAsUtf16) {
  EXPECT_EQ(AnsiToWide(""), L"");
  EXPECT_EQ(AnsiToWide("C:\\Photos d'été"), L"C:\\Photos d'\u00e9t\u00e9");
  EXPECT_EQ(AnsiToWide("\x80"), L"\u20ac");  // the euro sign of cp1252
}

TEST(ShellItems, ARealFolderHasANameAPathAndIconIndexes) {
  App();
  TTempDir dir;
  IShellFolder* desktop = nullptr;
  ASSERT_TRUE(SUCCEEDED(SHGetDesktopFolder(&desktop)));
  std::wstring path = dir.Path().wstring();
  LPITEMIDLIST parsed = nullptr;
  ASSERT_TRUE(SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, path.data(), nullptr, &parsed, nullptr)));
  TPidl pidl = AdoptItemIdList(parsed);
  EXPECT_EQ(ItemPath(pidl.Get()), AnsiPath(dir.Path()));
  EXPECT_EQ(StrRetToText(desktop, pidl.Get(), TDisplayNameKind::ForParsing), AnsiPath(dir.Path()));
  int normal = -2, open = -2;
  ItemIconIndexes(pidl.Get(), normal, open);
  EXPECT_GE(normal, 0);
  EXPECT_GE(open, 0);
  EXPECT_EQ(ItemIconIndex(nullptr, SHGFI_SYSICONINDEX | SHGFI_PIDL), -1);
  EXPECT_EQ(StrRetToText(nullptr, pidl.Get(), TDisplayNameKind::Normal), "");
  fw::TImageList images(nullptr);
  ASSERT_TRUE(LoadSystemImageList(images));
  EXPECT_TRUE(images.Shared());
  EXPECT_EQ(images.Width(), GetSystemMetrics(SM_CXSMICON));
  desktop->Release();
}

TEST(ShellItems, FolderDataIsCountedAndALeftOverRaisesTheLeakError) {
  const int before = TFolderItemData::Count();
  auto* data = new TFolderItemData(nullptr, AllocItemIdList(2), AllocItemIdList(2), SFGAO_FOLDER);
  EXPECT_EQ(TFolderItemData::Count(), before + 1);
  EXPECT_FALSE(data->Populated);
  EXPECT_EQ(data->Spare1, 0);
  try {
    CheckFolderDataLeaks();
    ADD_FAILURE() << "no ELeaking";
  } catch (const ELeaking& e) {
    EXPECT_STREQ(e.what(), "Memory Leak Detected.  Not all folder data was freed.");
  }
  delete data;
  EXPECT_EQ(TFolderItemData::Count(), before);
}

TEST(ShellContextMenu, TheHintShowsVerbAndHelpOfTheCommandUnderTheMouseAndLeavingClearsIt) {
  fw::TApplication& app = App();
  TTempDir dir;
  std::ofstream(dir.Path() / "note.txt") << "x";
  IShellFolder* desktop = nullptr;
  ASSERT_TRUE(SUCCEEDED(SHGetDesktopFolder(&desktop)));
  std::wstring path = dir.Path().wstring();
  LPITEMIDLIST parsed = nullptr;
  ASSERT_TRUE(SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, path.data(), nullptr, &parsed, nullptr)));
  TPidl folderPidl = AdoptItemIdList(parsed);
  IShellFolder* folder = nullptr;
  ASSERT_TRUE(SUCCEEDED(desktop->BindToObject(folderPidl.Get(), nullptr, IID_IShellFolder,
                                              reinterpret_cast<void**>(&folder))));
  std::wstring name = L"note.txt";
  ASSERT_TRUE(SUCCEEDED(folder->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &parsed, nullptr)));
  TPidl item = AdoptItemIdList(parsed);

  std::string hintInside, hintAfter;
  int firstCommand = 0;
  detail::SetMenuTracker([&](HMENU menu, HWND helper, int, int) -> UINT {
    for (int i = 0; i < GetMenuItemCount(menu) && !firstCommand; ++i) {
      const UINT id = GetMenuItemID(menu, i);
      if (id != 0 && id != static_cast<UINT>(-1)) firstCommand = static_cast<int>(id);
    }
    SendMessageA(helper, WM_MENUSELECT, MAKEWPARAM(firstCommand, MF_STRING), reinterpret_cast<LPARAM>(menu));
    hintInside = app.Hint();
    SendMessageA(helper, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    hintAfter = app.Hint();
    return 0;
  });
  LPCITEMIDLIST items[] = {item.Get()};
  TContextMenuRequest r;
  r.Folder = folder;
  r.Items = items;
  r.Count = 1;
  bool rename = true;
  const bool shown = ShowItemContextMenu(r, rename);
  detail::SetMenuTracker({});
  folder->Release();
  desktop->Release();
  if (!shown) GTEST_SKIP() << "the shell gives no context menu here";
  EXPECT_FALSE(rename);
  ASSERT_GT(firstCommand, 0);
  EXPECT_NE(hintInside.find('|'), std::string::npos) << hintInside;
  EXPECT_EQ(hintAfter, "");
}

TEST(ShellContextMenu, NoFolderOrNoItemsGivesFalseAndShowsNothing) {
  TContextMenuRequest r;
  bool rename = true;
  EXPECT_FALSE(ShowItemContextMenu(r, rename));
  EXPECT_FALSE(rename);
  EXPECT_FALSE(ShowFileContextMenu("no-backslash", POINT{}, nullptr, TContextMenuAction::Popup, "", rename));
}

namespace {

// A shell menu whose commands and verbs a test chooses, and which records
// what it was asked to carry out.
class TFakeMenu : public IContextMenu {
public:
  struct TCommand {
    UINT offset;
    std::string verb;  // empty: the menu cannot name it
  };
  std::vector<TCommand> commands;
  bool wideVerbs = true, narrowVerbs = true;
  std::vector<std::string> invoked;  // "#<offset>" or the verb
  int defaultOffset = -1;            // the menu's default command, if any

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IContextMenu)) {
      *out = this;
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT, UINT first, UINT, UINT) override {
    UINT last = 0;
    for (const TCommand& c : commands) {
      AppendMenuA(menu, MF_STRING, first + c.offset, c.verb.empty() ? "?" : c.verb.c_str());
      last = std::max(last, c.offset);
    }
    if (defaultOffset >= 0) SetMenuDefaultItem(menu, first + static_cast<UINT>(defaultOffset), FALSE);
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, last + 1);
  }
  HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override {
    invoked.push_back(HIWORD(reinterpret_cast<UINT_PTR>(info->lpVerb)) == 0
                          ? "#" + std::to_string(LOWORD(reinterpret_cast<UINT_PTR>(info->lpVerb)))
                          : std::string(info->lpVerb));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR offset, UINT type, UINT*, LPSTR out, UINT cch) override {
    const TCommand* c = nullptr;
    for (const TCommand& k : commands)
      if (k.offset == offset) c = &k;
    if (!c || c->verb.empty()) return E_INVALIDARG;
    if (type == GCS_VERBW && wideVerbs) {
      auto* w = reinterpret_cast<wchar_t*>(out);
      const size_t n = std::min<size_t>(c->verb.size(), cch - 1);
      for (size_t i = 0; i < n; ++i) w[i] = static_cast<wchar_t>(c->verb[i]);
      w[n] = L'\0';
      return S_OK;
    }
    if (type == GCS_VERBA && narrowVerbs) {
      lstrcpynA(out, c->verb.c_str(), static_cast<int>(cch));
      return S_OK;
    }
    return E_NOTIMPL;
  }
  ULONG refs = 1;
};

// A folder that only hands out the menu above.
class TFakeFolder : public IShellFolder {
public:
  explicit TFakeFolder(TFakeMenu& menu) : m_menu(menu) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, LPBC, LPWSTR, ULONG*, LPITEMIDLIST*, ULONG*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BindToObject(LPCITEMIDLIST, LPBC, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BindToStorage(LPCITEMIDLIST, LPBC, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, LPCITEMIDLIST, LPCITEMIDLIST) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, LPCITEMIDLIST*, SFGAOF*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, LPCITEMIDLIST*, REFIID iid, UINT*, void** out) override {
    return m_menu.QueryInterface(iid, out);
  }
  HRESULT STDMETHODCALLTYPE GetDisplayNameOf(LPCITEMIDLIST, SHGDNF, STRRET*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetNameOf(HWND, LPCITEMIDLIST, LPCWSTR, SHGDNF, LPITEMIDLIST*) override {
    return E_NOTIMPL;
  }

private:
  TFakeMenu& m_menu;
};

// Carries out one of the fake menu's commands without showing it.
bool Carry(TFakeMenu& menu, TContextMenuAction action, ULONG attributes = 0, const std::string& verb = {}) {
  TFakeFolder folder(menu);
  TPidl item = MakeList({{1, 2, 3}});
  LPCITEMIDLIST items[] = {item.Get()};
  TContextMenuRequest r;
  r.Folder = &folder;
  r.Items = items;
  r.Count = 1;
  r.Attributes = attributes;
  r.Action = action;
  r.Verb = verb;
  bool rename = false;
  const bool result = ShowItemContextMenu(r, rename);
  EXPECT_FALSE(rename);
  return result;
}

// Shows the fake menu and picks the command numbered `chosen`.
bool Pick(TFakeMenu& menu, UINT chosen, bool& rename) {
  TFakeFolder folder(menu);
  TPidl item = MakeList({{1, 2, 3}});
  LPCITEMIDLIST items[] = {item.Get()};
  detail::SetMenuTracker([&](HMENU, HWND, int, int) { return chosen; });
  TContextMenuRequest r;
  r.Folder = &folder;
  r.Items = items;
  r.Count = 1;
  const bool result = ShowItemContextMenu(r, rename);
  detail::SetMenuTracker({});
  return result;
}

}  // namespace

TEST(ShellContextMenu, RenameIsKnownByItsVerbWhateverItsNumber) {
  TFakeMenu menu;
  // Number 19 is another command here; rename has number 5.
  menu.commands = {{0, "open"}, {4, "rename"}, {18, "delete"}};
  bool rename = true;
  EXPECT_TRUE(Pick(menu, 19, rename));
  EXPECT_FALSE(rename);
  EXPECT_EQ(menu.invoked, std::vector<std::string>{"#18"});

  menu.invoked.clear();
  EXPECT_TRUE(Pick(menu, 5, rename));
  EXPECT_TRUE(rename);
  EXPECT_TRUE(menu.invoked.empty()) << "the caller renames, the shell does not";

  // Any letter case, and from the 8-bit verb when the wide one is missing.
  menu.commands = {{7, "ReNaMe"}};
  menu.wideVerbs = false;
  EXPECT_TRUE(Pick(menu, 8, rename));
  EXPECT_TRUE(rename);
  EXPECT_TRUE(menu.invoked.empty());
  EXPECT_EQ(menu.refs, 1u) << "every reference to the menu is released";
}

TEST(ShellContextMenu, WithoutReadableVerbsNumber19StandsForRename) {
  TFakeMenu menu;
  menu.commands = {{4, ""}, {18, ""}};
  bool rename = false;
  EXPECT_TRUE(Pick(menu, 19, rename));
  EXPECT_TRUE(rename);
  EXPECT_TRUE(menu.invoked.empty());
  EXPECT_TRUE(Pick(menu, 5, rename));
  EXPECT_FALSE(rename);
  EXPECT_EQ(menu.invoked, std::vector<std::string>{"#4"});
  // Nothing chosen: shown, nothing carried out.
  EXPECT_TRUE(Pick(menu, 0, rename));
  EXPECT_FALSE(rename);
  EXPECT_EQ(menu.invoked.size(), 1u);
}

// The three kinds that carry out a command directly: properties only for
// items that have a property sheet, the menu's default command when it has
// one, and a verb given by name.
TEST(ShellContextMenu, PropertiesDefaultAndNamedVerbAreCarriedOutWithoutAMenu) {
  TFakeMenu menu;
  menu.commands = {{0, "open"}, {3, "properties"}};
  EXPECT_FALSE(Carry(menu, TContextMenuAction::Properties));
  EXPECT_TRUE(menu.invoked.empty()) << "no property sheet, nothing asked";
  EXPECT_TRUE(Carry(menu, TContextMenuAction::Properties, SFGAO_HASPROPSHEET | SFGAO_FOLDER));
  EXPECT_EQ(menu.invoked, std::vector<std::string>{"properties"});

  menu.invoked.clear();
  EXPECT_FALSE(Carry(menu, TContextMenuAction::Default));
  EXPECT_TRUE(menu.invoked.empty()) << "a menu without a default command";
  menu.defaultOffset = 3;
  EXPECT_TRUE(Carry(menu, TContextMenuAction::Default));
  EXPECT_EQ(menu.invoked, std::vector<std::string>{"#3"});

  menu.invoked.clear();
  EXPECT_TRUE(Carry(menu, TContextMenuAction::Verb, 0, "open"));
  EXPECT_EQ(menu.invoked, std::vector<std::string>{"open"});
  EXPECT_FALSE(Carry(menu, TContextMenuAction::Verb, 0, ""));
  EXPECT_EQ(menu.invoked.size(), 1u);
  EXPECT_EQ(menu.refs, 1u);
}
