// The virtual extended list view: properties, window life, column order,
// item states, settings. Notifications are in ExtListViewNotify.cpp, header
// formats and drawing in ExtListViewPaint.cpp.
#include "controls/lists/ExtListView.h"

#include <algorithm>

#include "framework/Registry.h"

namespace qv::controls {

using namespace qv::fw;

namespace {

constexpr DWORD kStyleBits[] = {
    LVS_EX_GRIDLINES,       LVS_EX_SUBITEMIMAGES,   LVS_EX_CHECKBOXES, LVS_EX_TRACKSELECT, LVS_EX_HEADERDRAGDROP,
    LVS_EX_FULLROWSELECT,   LVS_EX_ONECLICKACTIVATE, LVS_EX_TWOCLICKACTIVATE, LVS_EX_FLATSB, LVS_EX_INFOTIP,
    LVS_EX_UNDERLINEHOT,    LVS_EX_UNDERLINECOLD,   LVS_EX_LABELTIP};
constexpr int kStyleCount = static_cast<int>(sizeof kStyleBits / sizeof kStyleBits[0]);

}  // namespace

TLVExtendedStyles::TLVExtendedStyles(std::initializer_list<TLVExtendedStyle> styles) {
  for (TLVExtendedStyle s : styles) Include(s);
}

DWORD ExtendedStylesToMask(const TLVExtendedStyles& styles) {
  DWORD mask = 0;
  for (int i = 0; i < kStyleCount; ++i)
    if (styles.Contains(static_cast<TLVExtendedStyle>(i))) mask |= kStyleBits[i];
  return mask;
}

TLVExtendedStyles ExtendedStylesFromMask(DWORD mask) {
  TLVExtendedStyles s;
  for (int i = 0; i < kStyleCount; ++i)
    if (mask & kStyleBits[i]) s.Include(static_cast<TLVExtendedStyle>(i));
  return s;
}

// ---- Column formats

void TQsExtListColumn::SetImageIndex(int v) {
  if (v == m_imageIndex) return;
  m_imageIndex = v;
  if (m_owner) m_owner->Changed(-1);
}

void TQsExtListColumn::SetImageAlignment(TColumnImageAlign v) {
  if (v == m_imageAlignment) return;
  m_imageAlignment = v;
  if (m_owner) m_owner->Changed(-1);
}

void TQsExtListColumn::Assign(const TQsExtListColumn& other) {
  m_imageIndex = other.m_imageIndex;
  m_imageAlignment = other.m_imageAlignment;
  if (m_owner) m_owner->Changed(-1);
}

TQsExtListColumn& TQsExtListColumns::Add() {
  m_items.push_back(std::make_unique<TQsExtListColumn>());
  m_items.back()->m_owner = this;
  Changed(Count() - 1);
  return *m_items.back();
}

const TQsExtListColumn* TQsExtListColumns::Find(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return m_items[static_cast<size_t>(index)].get();
}

void TQsExtListColumns::Clear() {
  m_items.clear();
  Changed(-1);
}

void TQsExtListColumns::Assign(const TQsExtListColumns& other) {
  if (&other == this) return;
  m_items.clear();
  for (const auto& src : other.m_items) {
    m_items.push_back(std::make_unique<TQsExtListColumn>());
    TQsExtListColumn& c = *m_items.back();
    c.m_owner = this;
    c.m_imageIndex = src->m_imageIndex;
    c.m_imageAlignment = src->m_imageAlignment;
  }
  Changed(-1);
}

// ---- COMCTL32 check

bool ComCtlVersionAtLeast470(const WORD version[4]) {
  static const WORD required[4] = {4, 70, 0, 0};
  for (int i = 0; i < 4; ++i)
    if (version[i] != required[i]) return version[i] > required[i];
  return true;
}

namespace {

// The file version of COMCTL32.DLL; false when it has none. The version
// functions are loaded at run time (the library links no version.lib).
bool ComCtlFileVersion(WORD out[4]) {
  HMODULE ver = LoadLibraryA("version.dll");
  if (!ver) return false;
  using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
  using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
  using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
  auto size = reinterpret_cast<SizeFn>(reinterpret_cast<void*>(GetProcAddress(ver, "GetFileVersionInfoSizeA")));
  auto info = reinterpret_cast<InfoFn>(reinterpret_cast<void*>(GetProcAddress(ver, "GetFileVersionInfoA")));
  auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(GetProcAddress(ver, "VerQueryValueA")));
  bool ok = false;
  if (size && info && query) {
    DWORD handle = 0;
    const DWORD n = size("COMCTL32.DLL", &handle);
    if (n > 0) {
      std::vector<char> data(n);
      VS_FIXEDFILEINFO* fixed = nullptr;
      UINT len = 0;
      if (info("COMCTL32.DLL", 0, n, data.data()) &&
          query(data.data(), "\\", reinterpret_cast<LPVOID*>(&fixed), &len) && fixed && len >= sizeof *fixed) {
        out[0] = HIWORD(fixed->dwFileVersionMS);
        out[1] = LOWORD(fixed->dwFileVersionMS);
        out[2] = HIWORD(fixed->dwFileVersionLS);
        out[3] = LOWORD(fixed->dwFileVersionLS);
        ok = true;
      }
    }
  }
  FreeLibrary(ver);
  return ok;
}

}  // namespace

void TCustomExtListView::SetRequireComCtlUpdate(bool v) {
  m_requireComCtlUpdate = v;
  if (!v) return;
  WORD version[4] = {};
  if (!ComCtlFileVersion(version) || !ComCtlVersionAtLeast470(version))
    throw EELVOldComCtl("COMCTL32.DLL is older than required version");
}

// ---- Life

TCustomExtListView::TCustomExtListView(TComponent* owner) : TCustomEnhListView(owner) {
  ReplaceSettings(std::make_unique<TQsExtLVSaveSettings>());
  m_columnsFormat.OnChange = [this](int index) { ApplyColumnFormat(index); };
}

TCustomExtListView::~TCustomExtListView() {
  // The layout is saved when the control goes, even when its window went
  // first with its parent's (widths and order are kept for that).
  SetDestroyingSave(true);
  AutoSaveSettings();
  SetDestroyingSave(false);
  m_columnsFormat.OnChange = nullptr;
}

std::string TCustomExtListView::GetVersion() const { return "TQsExtListView v3.72"; }

void TCustomExtListView::CreateParams(TCreateParams& p) {
  TCustomEnhListView::CreateParams(p);
  if (m_virtualMode) p.Style |= LVS_OWNERDATA;
}

void TCustomExtListView::CreateWnd() {
  TCustomEnhListView::CreateWnd();
  HWND h = HandleIfAllocated();
  if (m_selectionMark != -1) SendMessageA(h, LVM_SETSELECTIONMARK, 0, m_selectionMark);
  if (m_hoverTime != -1) SendMessageA(h, LVM_SETHOVERTIME, 0, m_hoverTime);
  SendMessageA(h, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(ExtendedStylesToMask(m_extendedStyles)));
  if (m_virtualMode && m_virtualCount > 0)
    SendMessageA(h, LVM_SETITEMCOUNT, static_cast<WPARAM>(m_virtualCount), m_virtualFlags & 3);
  if (static_cast<int>(m_keptOrder.size()) == ColumnCount() && ColumnCount() > 0 && IsPermutation(m_keptOrder)) {
    SendMessageA(h, LVM_SETCOLUMNORDERARRAY, m_keptOrder.size(), reinterpret_cast<LPARAM>(m_keptOrder.data()));
    InvalidateRect(h, nullptr, TRUE);
  }
  if (!Loading()) {
    ApplyCallbackMask();
    ApplyColumnFormat(-1);
  }
  RestoreItemStates();
}

void TCustomExtListView::Loaded() {
  TCustomEnhListView::Loaded();
  EnsureHandle();
  ApplyColumnFormat(-1);
  ApplyCallbackMask();
}

void TCustomExtListView::ApplyCallbackMask() {
  HWND h = HandleIfAllocated();
  if (!h) return;
  UINT mask = static_cast<UINT>(SendMessageA(h, LVM_GETCALLBACKMASK, 0, 0));
  if (StateImages()) mask |= LVIS_STATEIMAGEMASK;
  mask |= LVIS_OVERLAYMASK;
  SendMessageA(h, LVM_SETCALLBACKMASK, mask, 0);
}

LRESULT TCustomExtListView::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY && !Creating()) SaveItemStates();
  if (msg == kSyncOrderMessage) {
    std::vector<int> order;
    FetchColumnOrder(ColumnCount(), order);
    return 0;
  }
  return TCustomEnhListView::WndProc(msg, wp, lp);
}

// ---- Item states across window re-creation

void TCustomExtListView::SaveItemStates() {
  // A virtual list's owner holds its rows' states: visiting every row here
  // would cost a call per row and column for nothing.
  if (m_virtualMode || !HandleAllocated()) return;
  const int n = ItemCount();
  for (int i = 0; i < n; ++i) {
    TListItem* it = Item(i);
    if (!it) continue;
    it->Checked = GetItemCheckState(i);
    it->SubItemImages.clear();
    for (int c = 1; c < ColumnCount(); ++c) it->SubItemImages.push_back(GetSubItemImageIndex(i, c - 1));
  }
  m_statesSaved = true;
}

void TCustomExtListView::RestoreItemStates() {
  if (!m_statesSaved || m_virtualMode || !HandleAllocated()) return;
  m_statesSaved = false;
  const int n = ItemCount();
  for (int i = 0; i < n; ++i) {
    TListItem* it = Item(i);
    if (!it) continue;
    SetItemCheckState(i, it->Checked);
    for (size_t c = 0; c < it->SubItemImages.size(); ++c)
      SetSubItemImageIndex(i, static_cast<int>(c), it->SubItemImages[c]);
  }
}

void TCustomExtListView::SetStateImages(TImageList* images) {
  if (images == StateImages()) return;
  SaveItemStates();
  TCustomEnhListView::SetStateImages(images);
  if (HWND h = HandleIfAllocated()) {
    UINT mask = static_cast<UINT>(SendMessageA(h, LVM_GETCALLBACKMASK, 0, 0));
    mask = images ? (mask | LVIS_STATEIMAGEMASK) : (mask & ~static_cast<UINT>(LVIS_STATEIMAGEMASK));
    SendMessageA(h, LVM_SETCALLBACKMASK, mask, 0);
  }
  RestoreItemStates();
}

// ---- Properties

void TCustomExtListView::SetVirtualMode(bool v) {
  if (v == m_virtualMode) return;
  ClearItems();
  m_virtualMode = v;
  RecreateWnd();
}

int TCustomExtListView::ItemCount() const {
  if (!m_virtualMode || HandleAllocated()) return TCustomEnhListView::ItemCount();
  return m_virtualCount;
}

void TCustomExtListView::SetVirtualItemCount(int count, unsigned flags) {
  m_virtualCount = count;
  m_virtualFlags = flags;
  if (HWND h = HandleIfAllocated()) SendMessageA(h, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), flags & 3);
}

TLVExtendedStyles TCustomExtListView::ExtendedStyles() const {
  if (HWND h = HandleIfAllocated()) {
    m_extendedStyles =
        ExtendedStylesFromMask(static_cast<DWORD>(SendMessageA(h, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)));
  }
  return m_extendedStyles;
}

void TCustomExtListView::SetExtendedStyles(TLVExtendedStyles styles) {
  if (styles.Contains(lvxUnderlineCold) && !styles.Contains(lvxOneClickActivate)) styles.Include(lvxOneClickActivate);
  if (styles.Contains(lvxUnderlineHot) && !styles.Contains(lvxOneClickActivate) &&
      !styles.Contains(lvxTwoClickActivate))
    styles.Include(lvxOneClickActivate);
  const bool subImagesChanged = styles.Contains(lvxSubItemImages) != m_extendedStyles.Contains(lvxSubItemImages);
  m_extendedStyles = styles;
  if (HWND h = HandleIfAllocated()) {
    if (subImagesChanged) InvalidateRect(h, nullptr, TRUE);
    SendMessageA(h, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(ExtendedStylesToMask(styles)));
  }
}

int TCustomExtListView::HoverTime() const {
  if (HWND h = HandleIfAllocated())
    m_hoverTime = static_cast<int>(SendMessageA(h, LVM_GETHOVERTIME, 0, 0));
  return m_hoverTime;
}

void TCustomExtListView::SetHoverTime(int ms) {
  m_hoverTime = ms;
  if (HWND h = HandleIfAllocated()) SendMessageA(h, LVM_SETHOVERTIME, 0, ms);
}

void TCustomExtListView::SetSelectionMarkIndex(int index) {
  m_selectionMark = index;
  if (HWND h = HandleIfAllocated()) SendMessageA(h, LVM_SETSELECTIONMARK, 0, index);
}

void TCustomExtListView::SetShowSortArrows(bool v) {
  TCustomEnhListView::SetShowSortArrows(v);
  ApplyColumnFormat(-1);
}

void TCustomExtListView::SmallImagesChanged() {
  ReapplyHeaderOwnerDraw();
  ApplyColumnFormat(-1);
}

// ---- Column order

void TCustomExtListView::StoreColumnOrder(const std::vector<int>& order) {
  // An order that is not a permutation would corrupt the header.
  m_keptOrder = IsPermutation(order) ? order : IdentityOrder(static_cast<int>(order.size()));
  if (HWND h = HandleIfAllocated()) {
    if (static_cast<int>(m_keptOrder.size()) == ColumnCount())
      SendMessageA(h, LVM_SETCOLUMNORDERARRAY, m_keptOrder.size(), reinterpret_cast<LPARAM>(m_keptOrder.data()));
    InvalidateRect(h, nullptr, TRUE);
  }
}

bool TCustomExtListView::FetchColumnOrder(int count, std::vector<int>& order) {
  if (HWND h = HandleIfAllocated()) {
    if (count <= 0) return false;
    order.assign(static_cast<size_t>(count), 0);
    const bool ok = SendMessageA(h, LVM_GETCOLUMNORDERARRAY, static_cast<WPARAM>(count),
                                 reinterpret_cast<LPARAM>(order.data())) != 0;
    if (ok) m_keptOrder = order;
    return ok;
  }
  if (m_keptOrder.empty()) return false;
  order = m_keptOrder;
  return true;
}

std::vector<int> TCustomExtListView::CurrentOrder() const {
  const int n = ColumnCount();
  std::vector<int> order;
  if (HWND h = HandleIfAllocated(); h && n > 0) {
    order.assign(static_cast<size_t>(n), 0);
    if (SendMessageA(h, LVM_GETCOLUMNORDERARRAY, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(order.data())) &&
        IsPermutation(order))
      return order;
  } else if (static_cast<int>(m_keptOrder.size()) == n && IsPermutation(m_keptOrder)) {
    return m_keptOrder;
  }
  return IdentityOrder(n);
}

int TCustomExtListView::ColumnDisplayPosition(int column) const {
  if (column < 0 || column >= ColumnCount()) return 0;
  const std::vector<int> order = CurrentOrder();
  const auto it = std::find(order.begin(), order.end(), column);
  return it == order.end() ? 0 : static_cast<int>(it - order.begin());
}

const TListColumn* TCustomExtListView::ColumnAtPosition(int position) const {
  if (position < 0 || position >= ColumnCount()) return nullptr;
  const int c = CurrentOrder()[static_cast<size_t>(position)];
  return &Column(c);
}

// ---- Checks and sub-item images

void TCustomExtListView::SetItemCheckState(int index, bool checked) {
  HWND h = HandleIfAllocated();
  if (!h) return;
  LVITEMA lv{};
  lv.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  lv.stateMask = LVIS_STATEIMAGEMASK;
  SendMessageA(h, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&lv));
}

bool TCustomExtListView::GetItemCheckState(int index) const {
  HWND h = HandleIfAllocated();
  if (!h) return false;
  const UINT st =
      static_cast<UINT>(SendMessageA(h, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK));
  return ((st & LVIS_STATEIMAGEMASK) >> 12) != 1;
}

int TCustomExtListView::GetSubItemImageIndex(int item, int subItem) const {
  HWND h = HandleIfAllocated();
  if (!h) return -1;
  LVITEMA lv{};
  lv.mask = LVIF_IMAGE;
  lv.iItem = item;
  lv.iSubItem = subItem + 1;
  if (!SendMessageA(h, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv))) return -1;
  return lv.iImage;
}

void TCustomExtListView::SetSubItemImageIndex(int item, int subItem, int image) {
  HWND h = HandleIfAllocated();
  if (!h) return;
  LVITEMA lv{};
  lv.mask = LVIF_IMAGE;
  lv.iItem = item;
  lv.iSubItem = subItem + 1;
  lv.iImage = image;
  SendMessageA(h, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&lv));
}

// ---- Settings

bool TCustomExtListView::WriteSettings() {
  using namespace LVSettingsNames;
  TQsExtLVSaveSettings& s = SaveSettings();
  const std::string& key = s.RegistryKey;
  if (key.empty()) return true;
  const int n = ColumnCount();
  if ((s.SaveColumnOrder || s.SaveColumnSizes) && n > 0) {
    if (s.SaveColumnOrder) {
      std::vector<int> order;
      if (!FetchColumnOrder(n, order) || static_cast<int>(order.size()) != n) order = IdentityOrder(n);
      Registry::WriteString(key + "\\" + kColumns, kOrder, JoinIntegerList(order));
    }
    if (s.SaveColumnSizes) Registry::WriteString(key + "\\" + kColumns, kSizes, JoinIntegerList(WidthsInDisplayOrder()));
  }
  if (s.SaveCurrentSort) {
    Registry::WriteString(key + "\\" + kSort, kAscending, SortAscending() ? "1" : "0");
    Registry::WriteString(key + "\\" + kSort, kSortCol, std::to_string(SortColumn()));
  }
  if (s.SaveViewStyle)
    Registry::WriteString(key + "\\" + kViewStyle, kViewStyle, std::to_string(static_cast<int>(ViewStyle())));
  return true;
}

bool TCustomExtListView::ReadSettings() {
  using namespace LVSettingsNames;
  TQsExtLVSaveSettings& s = SaveSettings();
  const std::string& key = s.RegistryKey;
  if (key.empty()) return true;
  const int n = ColumnCount();
  if ((s.SaveColumnOrder || s.SaveColumnSizes) && n > 0) {
    if (s.SaveColumnOrder) {
      const std::string text = Registry::ReadString(key + "\\" + kColumns, kOrder, "");
      StoreColumnOrder(text.empty() ? IdentityOrder(n) : ColumnOrderFromText(text, n));
    }
    if (s.SaveColumnSizes) {
      const std::string text = Registry::ReadString(key + "\\" + kColumns, kSizes, "");
      if (!text.empty()) ApplyWidthsInDisplayOrder(ColumnSizesFromText(text, WidthsInDisplayOrder()));
    }
  }
  ReadSortAndViewStyle();
  return true;
}

}  // namespace qv::controls
