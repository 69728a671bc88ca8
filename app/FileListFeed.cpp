// Feeding of the main window's virtual file list, its sort and its refresh.
#include "app/FileListFeed.h"

#include <windows.h>
#include <shellapi.h>

#include "engine/DateTime.h"
#include "engine/TextUtils.h"
#include "engine/win32/WideText.h"
#include "framework/Graphics.h"

namespace qv::app {

using namespace qv::fw;
using namespace qv::controls;

namespace {

// Sort key of each column; 0: the column does not sort ("Nouveau nom").
constexpr uint8_t kColumnKeys[] = {1, 0, 3, 4, 5, 6, 8, 9};
constexpr int kColumns = static_cast<int>(sizeof kColumnKeys);

// The user locale's thousands separator (a blank when it has none). A
// separator cp1252 cannot hold (the narrow no-break space of recent French
// locales) becomes the no-break space.
std::string LocaleThousandSeparator() {
  wchar_t sep[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, sep, 8) <= 1) return " ";
  char out[16] = {};
  BOOL lossy = FALSE;
  const int n = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, sep, -1, out, sizeof out, nullptr, &lossy);
  if (lossy) return "\xA0";
  return n > 1 ? std::string(out) : std::string(" ");
}

bool FolderExists(const std::string& folder) {
  if (folder.empty()) return false;
  const DWORD a = GetFileAttributesW(engine::win32::W(engine::win32::U16(folder)));
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TFileListFeed::TFileListFeed(TQsExtListView& list, engine::TProgramOptions& options, engine::TFileListing& listing,
                             engine::TNameBuilder& names, TStatusText statusText, TMonitorSwitch monitor)
    : m_list(list),
      m_options(options),
      m_listing(listing),
      m_names(names),
      m_statusText(std::move(statusText)),
      m_monitor(std::move(monitor)),
      m_thousandSeparator(LocaleThousandSeparator()) {}

TFileListFeed::~TFileListFeed() {
  Detach();
  // Only our wrappers go: the shell's lists are shared, never destroyed.
  if (m_list.SmallImages() == m_smallImages.get()) m_list.SetSmallImages(nullptr);
  if (m_list.LargeImages() == m_largeImages.get()) m_list.SetLargeImages(nullptr);
}

void TFileListFeed::Attach() {
  m_attached = true;
  m_list.OnVMGetItemInfo = [this](TComponent& s, int item, int sub, TLVVMMaskItems& mask, int& image, WORD& ov,
                                  WORD& si, LPARAM& param, UINT& state, UINT& stateMask, int& indent,
                                  std::string& text) {
    FileListVMGetItemInfo(s, item, sub, mask, image, ov, si, param, state, stateMask, indent, text);
  };
  m_list.OnVMCacheHint = [this](TComponent& s, NMLVCACHEHINT& hint) { FileListVMCacheHint(s, hint); };
  m_list.OnColumnClick = [this](TComponent& s, int column) { FileListColumnClick(s, column); };
}

void TFileListFeed::Detach() {
  if (!m_attached) return;
  m_attached = false;
  // No row may be asked for once the listing may be gone.
  m_list.SetVirtualItemCount(0, LVSICF_NOSCROLL);
  m_list.OnVMGetItemInfo = nullptr;
  m_list.OnVMCacheHint = nullptr;
  m_list.OnColumnClick = nullptr;
}

// ---- Cells

std::string TFileListFeed::Thousands(int64_t n) const {
  // Grouped here: Wine's number formatting groups the digits only once.
  return engine::FormatThousands(n, m_thousandSeparator);
}

std::string TFileListFeed::FormatSize(int64_t bytes) const {
  const int64_t kb = bytes / 1024 + (bytes % 1024 ? 1 : 0);
  return Thousands(kb) + " Ko";
}

std::string TFileListFeed::CellText(size_t row, int column) {
  if (row >= m_listing.Count()) return {};
  engine::TFileObject& f = m_listing.Item(row);
  switch (column) {
    case 0: return f.FileName;
    case 1:
      f.NewName = m_names.BuildNewName(f.FileName, row);
      return f.NewName;
    case 2: return FormatSize(f.Size);
    case 3: return engine::FormatDateTime(m_options.ModelDate, f.Created);
    case 4: return engine::FormatDateTime(m_options.ModelDate, f.Modified);
    case 5: return engine::FormatDateTime(m_options.ModelDate, f.Accessed);
    case 6: return std::to_string(f.Attributes);
    case 7: return f.TypeName;
    default: return {};
  }
}

void TFileListFeed::FileListVMGetItemInfo(TComponent&, int item, int subItem, TLVVMMaskItems& mask, int& image,
                                          WORD&, WORD&, LPARAM&, UINT&, UINT&, int&, std::string& text) {
  if (item < 0 || static_cast<size_t>(item) >= m_listing.Count()) return;
  try {
    engine::TFileObject& f = m_listing.Item(static_cast<size_t>(item));
    if ((mask & lvifImage) && subItem == 0) {
      // A row painted before its cache hint fetches its icon now.
      if (f.ImageIndex == -1) f.ImageIndex = IconFor(f);
      image = f.ImageIndex;
    }
    if (mask & lvifText) text = CellText(static_cast<size_t>(item), subItem);
  } catch (...) {
    // A cell that cannot be built keeps what it has.
  }
}

void TFileListFeed::FileListVMCacheHint(TComponent&, NMLVCACHEHINT& hint) {
  if (hint.iTo < hint.iFrom || hint.iFrom < 0) return;
  const size_t last = std::min(static_cast<size_t>(hint.iTo) + 1, m_listing.Count());
  for (size_t i = static_cast<size_t>(hint.iFrom); i < last; ++i) {
    engine::TFileObject& f = m_listing.Item(i);
    if (f.ImageIndex == -1) f.ImageIndex = IconFor(f);
  }
}

int TFileListFeed::IconFor(const engine::TFileObject& f) {
  // By name only, so one shell call per extension is enough.
  if (IconIndex) {
    std::u16string path = m_listing.WideFolderPath;
    if (!path.empty() && path.back() != u'\\') path += u'\\';
    return IconIndex(path + f.WideName);
  }
  return m_icons.IconIndex(f.WideName);
}

int TFileListFeed::GetSystemIconIndex(const std::string& path) {
  return engine::win32::GetSystemIconIndex(engine::win32::U16(path));
}

void TFileListFeed::SetupSystemImageLists() {
  SHFILEINFOA sfi{};
  auto small = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoA("", 0, &sfi, sizeof sfi, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  auto large = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("", 0, &sfi, sizeof sfi, SHGFI_SYSICONINDEX));
  if (!m_smallImages) m_smallImages = std::make_unique<TImageList>(nullptr);
  if (!m_largeImages) m_largeImages = std::make_unique<TImageList>(nullptr);
  m_smallImages->Attach(small, TImageListOwnership::Shared);
  m_largeImages->Attach(large, TImageListOwnership::Shared);
  m_list.SetSmallImages(m_smallImages.get());
  m_list.SetLargeImages(m_largeImages.get());
}

// ---- Sorting

void TFileListFeed::FileListColumnClick(TComponent&, int column) {
  SortByColumn(column, column == m_sortColumn ? !m_sortAscending : true);
}

void TFileListFeed::SortByColumn(int column, bool ascending) {
  const uint8_t key = column >= 0 && column < kColumns ? kColumnKeys[column] : 0;
  if (key != 0) {
    m_sortColumn = column;
    m_sortAscending = ascending;
    m_listing.SortFiles(key, ascending);
    m_listing.SortKey = key;
  } else if (Beep) {
    Beep();
  } else {
    MessageBeep(MB_OK);
  }
  // The list shows the order the rows are in, not the column last clicked.
  m_list.SetSortColumn(m_sortColumn);
  m_list.SetSortAscending(m_sortAscending);
  if (key != 0)
    m_list.SetVirtualItemCount(static_cast<int>(m_listing.Count()), LVSICF_NOSCROLL);
  else
    m_list.Invalidate();
}

void TFileListFeed::RestoreSavedSort() {
  int column = m_list.SortColumn();
  // A saved column that does not sort starts with the names.
  if (column < 0 || column >= kColumns || kColumnKeys[column] == 0) column = 0;
  SortByColumn(column, m_list.SortAscending());
}

// ---- Refresh

void TFileListFeed::ClearList() {
  m_listing.ClearFiles();
  m_list.SetVirtualItemCount(0, LVSICF_NOSCROLL);
}

std::string TFileListFeed::StatusText(size_t count, int64_t total) const {
  const auto n = static_cast<int64_t>(count);
  return " " + std::to_string(count) + engine::PluralSuffix(" fichier", n) + " dans " + Thousands(total) +
         engine::PluralSuffix(" octet", total);
}

void TFileListFeed::RefreshFileList() {
  if (WindowShown && !WindowShown()) return;
  if (!m_options.ActiveListe) {
    ClearList();
    m_fileCount = 0;
    m_totalSize = 0;
    if (m_statusText) m_statusText(" Liste désactivée");
    return;
  }
  m_fileCount = 0;
  m_totalSize = 0;
  const std::string folder = m_options.Directory;
  if (FolderExists(folder)) {
    TWaitCursor wait;
    if (m_monitor) m_monitor(false, folder);
    struct MonitorBack {
      TFileListFeed& feed;
      const std::string& folder;
      ~MonitorBack() {
        if (feed.m_monitor) feed.m_monitor(feed.m_options.Auto, folder);
      }
    } back{*this, folder};
    // The shell's image lists take a tenth of a second under Wine: they
    // come with the first scan rather than before the window is shown, and
    // before the listing, which may still be under way on a worker thread.
    if (!m_smallImages) SetupSystemImageLists();
    m_fileCount = m_listing.ScanFolder(folder, m_options.Mask, engine::ScanAttributes(m_options));
    m_totalSize = m_listing.TotalSize;
    if (UpdateAutoFormat) UpdateAutoFormat(m_fileCount);
    m_listing.SortFiles(m_listing.SortKey, m_sortAscending);
    m_list.SetVirtualItemCount(static_cast<int>(m_fileCount), LVSICF_NOSCROLL);
  } else {
    ClearList();
  }
  if (m_statusText) m_statusText(StatusText(m_fileCount, m_totalSize));
}

}  // namespace qv::app
