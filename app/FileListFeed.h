// TFileListFeed: the program's side of the main window's virtual file list.
// It answers the list's requests for the texts and icon of each visible row
// from the engine's listing (the "Nouveau nom" column is built by the name
// builder at that moment and kept in the file object), fetches icons for
// the rows about to be shown only, sorts on column clicks through the
// listing's keys (computed once per scan), rescans the folder on request
// and writes the status text. The main window owns one and forwards its
// list events to it (or lets Attach connect them).
//
//   TFileListFeed feed(FileList, options, listing, names, setStatusText, switchMonitor);
//   feed.Attach(); ... feed.RefreshFileList();
//
// Main thread only. Tested by tests/app/listfeed/FileListFeed_test.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "controls/lists/ExtListView.h"
#include "engine/FileObject.h"
#include "engine/NameBuilder.h"
#include "engine/ProgramOptions.h"
#include "engine/win32/Win32FolderReader.h"
#include "framework/ImageList.h"

namespace qv::app {

class TFileListFeed {
public:
  // Status panel 1 of the main window.
  using TStatusText = std::function<void(const std::string& text)>;
  // The folder monitor: off (with the folder to watch) before a scan, back
  // to the "Auto" option after it.
  using TMonitorSwitch = std::function<void(bool active, const std::string& folder)>;

  TFileListFeed(controls::TQsExtListView& list, engine::TProgramOptions& options, engine::TFileListing& listing,
                engine::TNameBuilder& names, TStatusText statusText, TMonitorSwitch monitor);
  ~TFileListFeed();
  TFileListFeed(const TFileListFeed&) = delete;
  TFileListFeed& operator=(const TFileListFeed&) = delete;

  // --- What the main window supplies besides (defaults in brackets)
  // Whether the window has been shown once [always].
  std::function<bool()> WindowShown;
  // Digits of the index for the file count, when "Auto Format" is on [none].
  std::function<void(size_t count)> UpdateAutoFormat;
  // The default beep of a refused column click [MessageBeep(MB_OK)].
  std::function<void()> Beep;
  // The system icon index of a file [cached per extension by the shell].
  std::function<int(const std::u16string& path)> IconIndex;
  // The thousands separator of sizes [the user locale's].
  void SetThousandSeparator(std::string sep) { m_thousandSeparator = std::move(sep); }

  // Connects the list's events to this feed; Detach empties the list and
  // disconnects them (before the listing goes away).
  void Attach();
  void Detach();

  // --- The main window's routines
  void FileListVMGetItemInfo(fw::TComponent& sender, int item, int subItem, controls::TLVVMMaskItems& mask,
                             int& image, WORD& overlayImage, WORD& stateImage, LPARAM& param, UINT& state,
                             UINT& stateMask, int& indent, std::string& text);
  void FileListVMCacheHint(fw::TComponent& sender, NMLVCACHEHINT& hint);
  void FileListColumnClick(fw::TComponent& sender, int column);
  void SortByColumn(int column, bool ascending);
  // The sort kept by the list's saved settings, applied at start.
  void RestoreSavedSort();
  void RefreshFileList();
  // The shell's small and large system image lists, shared with the list
  // (taken by the first scan that lists files when not set before).
  void SetupSystemImageLists();
  static int GetSystemIconIndex(const std::string& path);

  // --- State
  size_t FileCount() const { return m_fileCount; }
  int64_t TotalSize() const { return m_totalSize; }
  int SortColumn() const { return m_sortColumn; }
  bool SortAscending() const { return m_sortAscending; }
  // The text of one cell, as the list shows it.
  std::string CellText(size_t row, int column);
  std::string FormatSize(int64_t bytes) const;
  std::string StatusText(size_t count, int64_t total) const;

private:
  void ClearList();
  int IconFor(const engine::TFileObject& f);
  std::string Thousands(int64_t n) const;

  controls::TQsExtListView& m_list;
  engine::TProgramOptions& m_options;
  engine::TFileListing& m_listing;
  engine::TNameBuilder& m_names;
  TStatusText m_statusText;
  TMonitorSwitch m_monitor;
  engine::win32::TShellIconCache m_icons;
  std::unique_ptr<fw::TImageList> m_smallImages, m_largeImages;
  std::string m_thousandSeparator;
  bool m_attached = false;

  size_t m_fileCount = 0;
  int64_t m_totalSize = 0;
  int m_sortColumn = 0;
  bool m_sortAscending = true;
};

}  // namespace qv::app
