// Figures of the virtual file list under Wine, 100,000 rows: setting the
// count and the first paint, scrolling to the end, a repaint at 1,000 and at
// 100,000 rows (nothing per repaint may grow with the rows), column-click
// sorts by name and by date, a refill after a rescan, and the item object of
// the last row (its cell requests counted). Baselines in the
// same run: a bare owner-data SysListView32 with the same look (font,
// system icons, full-row selection) answering with snprintf, and std::sort
// of the 100,000 names with strcmp.
// The rows come from an in-memory folder reader (the scan's own cost is
// measured by bench/engine/scan_bench).
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/FileListFeed.h"
#include "controls/lists/ExtListView.h"
#include "engine/ScriptInterpreter.h"
#include "framework/Application.h"
#include "framework/Form.h"

using namespace qv;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRows = 100000;

double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

template <class F>
double Time(F&& f) {
  const auto a = Clock::now();
  f();
  return Ms(a, Clock::now());
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void Paint(HWND h) {
  InvalidateRect(h, nullptr, TRUE);
  UpdateWindow(h);
}

void ClickHeader(HWND list, int column) {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  RECT r{};
  SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(header, WM_LBUTTONUP, 0, at);
}

// ---- Baseline: a bare owner-data list view

int g_bareRequests = 0;

LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(lp);
    if (hdr->code == LVN_GETDISPINFOA) {
      auto& item = reinterpret_cast<NMLVDISPINFOA*>(lp)->item;
      ++g_bareRequests;
      if (item.mask & LVIF_TEXT)
        snprintf(item.pszText, static_cast<size_t>(item.cchTextMax), "file_%06d.jpg %d", item.iItem, item.iSubItem);
      if (item.mask & LVIF_IMAGE) item.iImage = 0;
      return 0;
    }
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

struct TBareFigures {
  double countAndPaint, scrollEnd, repaint, lastRowCells;
  int lastRowRequests;
};

TBareFigures BareList() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = BareProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "QvBareHost";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  RegisterClassA(&wc);
  HWND host = CreateWindowExA(0, "QvBareHost", "bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 960, 600, nullptr,
                              nullptr, wc.hInstance, nullptr);
  HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                              WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA | LVS_SHAREIMAGELISTS,
                              8, 8, 940, 550, host, nullptr, wc.hInstance, nullptr);
  // The same look as ours: Tahoma 8, the shell's small icons, full rows.
  HDC dc = GetDC(nullptr);
  HFONT font = CreateFontA(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                           DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
  ReleaseDC(nullptr, dc);
  SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  SHFILEINFOA sfi{};
  SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL,
               static_cast<LPARAM>(SHGetFileInfoA("", 0, &sfi, sizeof sfi, SHGFI_SYSICONINDEX | SHGFI_SMALLICON)));
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  const char* captions[] = {"Nom", "Nouveau", "Taille", "Cr", "Mod", "Acc", "Attr", "Type"};
  for (int i = 0; i < 8; ++i) {
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = 110;
    col.pszText = const_cast<char*>(captions[i]);
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
  }
  Pump();
  TBareFigures f{};
  f.countAndPaint = Time([&] {
    SendMessageA(list, LVM_SETITEMCOUNT, kRows, LVSICF_NOSCROLL);
    UpdateWindow(list);
  });
  f.scrollEnd = Time([&] {
    SendMessageA(list, LVM_ENSUREVISIBLE, kRows - 1, FALSE);
    UpdateWindow(list);
  });
  f.repaint = Time([&] { Paint(list); });
  // Every cell of the last row, one LVM_GETITEM each.
  g_bareRequests = 0;
  f.lastRowCells = Time([&] {
    char buf[1024];
    for (int c = 0; c < 8; ++c) {
      LVITEMA it{};
      it.mask = LVIF_TEXT;
      it.iItem = kRows - 1;
      it.iSubItem = c;
      it.pszText = buf;
      it.cchTextMax = sizeof buf;
      SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    }
  });
  f.lastRowRequests = g_bareRequests;
  DestroyWindow(host);
  DeleteObject(font);
  Pump();
  return f;
}

// ---- Ours: the file list fed from an in-memory folder of n files

class TMemoryFolder final : public engine::IFolderReader {
public:
  explicit TMemoryFolder(size_t n) {
    std::mt19937 rng(42);
    const char16_t* exts[] = {u".jpg", u".nef", u".mp3", u".txt", u".png", u".tif", u".doc", u".avi"};
    for (size_t i = 0; i < n; ++i) {
      engine::TFolderEntry e;
      std::string name = "IMG_" + std::to_string(rng() % 1000000) + "_" + std::to_string(i);
      e.Name.assign(name.begin(), name.end());
      e.Name += exts[i % 8];
      e.Attributes = engine::kAttrArchive;
      e.Size = rng() % 20000000;
      // 2000..2024, in 100-ns ticks since 1601.
      const int64_t base = INT64_C(125911584000000000);
      e.Modified = base + static_cast<int64_t>(rng() % 7800000) * 1000000000;
      e.Created = e.Modified - 36000000000;
      e.Accessed = e.Modified + 36000000000;
      m_entries.push_back(std::move(e));
    }
  }
  bool ReadFolder(const std::u16string&, const std::function<void(const engine::TFolderEntry&)>& onEntry) override {
    for (const auto& e : m_entries) onEntry(e);
    return true;
  }
  std::string TypeName(const std::u16string& fileName) override {
    return "Fichier " + std::string(fileName.end() - 3, fileName.end());
  }

private:
  std::vector<engine::TFolderEntry> m_entries;
};

class TBenchForm : public fw::TForm {
public:
  TBenchForm() : TForm(fw::Application(), "TBenchForm") {
    SetCaption("Liste");
    SetClientSize(960, 560);
    List = &Make<controls::TQsExtListView>("FileList");
    List->Place(this, 8, 8, 944, 544);
    const char* captions[] = {"Nom originel", "Nouveau nom", "Taille", "Créé", "Modifié", "Accédé", "Attr", "Type"};
    for (const char* c : captions) List->AddColumn(c, 110);
    List->SetVirtualMode(true);
    List->SetAutoColumnSort(controls::acsSortToggle);
    List->SetShowSortArrows(true);
    List->SetExtendedStyles({controls::lvxFullRowSelect, controls::lvxInfoTip});
    FinishCreate();
  }
  controls::TQsExtListView* List;
};

struct TOurFigures {
  double scan, countAndPaint, scrollEnd, repaint, sortName, sortNamePaint, sortDate, sortDatePaint, refill;
  int requestsPerRepaint;
  double lastRowItem;  // the item object of the last row
  int lastRowRequests;
  bool lastRowFilled;
};

TOurFigures OurList(size_t rows) {
  TMemoryFolder folder(rows);
  engine::TProgramOptions options;
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  options.Directory = windows;  // exists; the rows come from the memory folder
  engine::TFileListing listing;
  listing.SetFolderReader(&folder);
  engine::TScriptInterpreter interpreter(options, listing);
  engine::TNameBuilder names(options, interpreter);
  auto* form = new TBenchForm();
  form->Show();
  Pump();
  HWND list = form->List->Handle();
  int requests = 0;
  TOurFigures f{};
  {
    app::TFileListFeed feed(*form->List, options, listing, names, nullptr, nullptr);
    feed.SetupSystemImageLists();
    feed.Attach();
    auto getInfo = form->List->OnVMGetItemInfo;
    form->List->OnVMGetItemInfo = [&](fw::TComponent& s, int item, int sub, controls::TLVVMMaskItems& mask,
                                      int& image, WORD& o, WORD& si, LPARAM& p, UINT& st, UINT& sm, int& ind,
                                      std::string& text) {
      ++requests;
      getInfo(s, item, sub, mask, image, o, si, p, st, sm, ind, text);
    };
    // Scan (sort keys built once); then, from an empty list, the count set
    // and the first paint (icons and new names of the rows shown).
    f.scan = Time([&] { feed.RefreshFileList(); });
    form->List->SetVirtualItemCount(0, LVSICF_NOSCROLL);
    UpdateWindow(list);
    f.countAndPaint = Time([&] {
      form->List->SetVirtualItemCount(static_cast<int>(rows), LVSICF_NOSCROLL);
      UpdateWindow(list);
    });
    f.scrollEnd = Time([&] {
      SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(rows - 1), FALSE);
      UpdateWindow(list);
    });
    requests = 0;
    f.repaint = Time([&] { Paint(list); });
    f.requestsPerRepaint = requests;
    requests = 0;
    const controls::TListItem* last = nullptr;
    f.lastRowItem = Time([&] { last = form->List->Item(static_cast<int>(rows - 1)); });
    f.lastRowRequests = requests;
    f.lastRowFilled = last && !last->Caption.empty() && last->SubItems.size() == 7;
    f.sortName = Time([&] { ClickHeader(list, 0); });  // names: descending now
    f.sortNamePaint = Time([&] { UpdateWindow(list); });
    f.sortDate = Time([&] { ClickHeader(list, 4); });
    f.sortDatePaint = Time([&] { UpdateWindow(list); });
    f.refill = Time([&] {
      feed.RefreshFileList();
      UpdateWindow(list);
    });
  }
  delete form;
  Pump();
  return f;
}

double BaselineSort(size_t rows) {
  TMemoryFolder folder(rows);
  std::vector<std::string> names;
  folder.ReadFolder(u"", [&](const engine::TFolderEntry& e) { names.emplace_back(e.Name.begin(), e.Name.end()); });
  return Time([&] {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
      return std::strcmp(a.c_str(), b.c_str()) < 0;
    });
  });
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_LISTVIEW_CLASSES;
  InitCommonControlsEx(&icc);
  fw::TApplication app;
  app.SetTitle("listview_bench");

  // A first window warms up Wine's painting (fonts, first-use costs).
  BareList();
  const TBareFigures bare = BareList();
  const TOurFigures small = OurList(1000);
  const TOurFigures big = OurList(kRows);
  const double baseSort = BaselineSort(kRows);

  printf("Virtual file list, %d rows (Wine, one run; times in ms)\n", kRows);
  printf("%-44s %10s %10s\n", "", "ours", "baseline");
  printf("%-44s %10.1f %10.1f   (goal < 50)\n", "set count + first paint", big.countAndPaint, bare.countAndPaint);
  printf("%-44s %10.1f %10.1f\n", "scroll to the end + paint", big.scrollEnd, bare.scrollEnd);
  printf("%-44s %10.1f %10.1f\n", "full repaint", big.repaint, bare.repaint);
  printf("%-44s %10.1f %10s\n", "full repaint at 1,000 rows", small.repaint, "");
  printf("%-44s %10d %10s\n", "cell requests per repaint, 100,000 rows", big.requestsPerRepaint, "");
  printf("%-44s %10d %10s\n", "cell requests per repaint, 1,000 rows", small.requestsPerRepaint, "");
  printf("%-44s %10.1f %10.1f   (goal < 150; baseline: std::sort strcmp)\n", "column click: sort by name",
         big.sortName, baseSort);
  printf("%-44s %10.1f\n", "  then paint", big.sortNamePaint);
  printf("%-44s %10.1f %10s   (goal < 150)\n", "column click: sort by date", big.sortDate, "");
  printf("%-44s %10.1f\n", "  then paint", big.sortDatePaint);
  printf("%-44s %10.1f %10s\n", "scan from memory + sort + count (first)", big.scan, "");
  printf("%-44s %10.1f %10s\n", "refill after a rescan (scan+sort+count+paint)", big.refill, "");
  printf("%-44s %10.3f %10.3f   (baseline: 8 x LVM_GETITEM)\n", "item object of row 99,999", big.lastRowItem,
         bare.lastRowCells);
  printf("%-44s %10d %10d   (%s)\n", "  cell requests", big.lastRowRequests, bare.lastRowRequests,
         big.lastRowFilled ? "caption and 7 sub-items filled" : "NOT FILLED");
  return 0;
}
