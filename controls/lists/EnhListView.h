// TCustomEnhListView: the report list view over the platform's
// "SysListView32", with sorting on column clicks (smart, typed or by the
// owner's handler), sort arrows drawn in an owner-drawn header, owner-drawn
// rows, type-ahead in the sorted column, column auto-sizing, item moves, a
// switch that stops column resizing, and its layout saved to and read from
// the registry (LVSaveSettings.h).
//
//   auto& lv = form.Make<TQsExtListView>("FileList");
//   lv.AddColumn("Nom", 120); lv.SetAutoColumnSort(acsSortToggle);
//
// A list that holds its rows keeps them as TListItem objects and gives the
// platform list their texts by callback; a virtual list (ExtListView.h)
// holds none. Main thread only: the sort direction lives in module values
// while a sort runs. Tested by tests/controls/lists/EnhListView_test.cpp.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "controls/lists/LVSaveSettings.h"
#include "controls/lists/ListViewTypes.h"
#include "controls/lists/SmartCompare.h"
#include "framework/ImageList.h"
#include "framework/WinControl.h"

namespace qv::controls {

class TCustomEnhListView : public fw::TWinControl {
public:
  explicit TCustomEnhListView(fw::TComponent* owner);
  ~TCustomEnhListView() override;

  // ---- The ordinary list view: columns
  int ColumnCount() const { return static_cast<int>(m_columns.size()); }
  TListColumn& AddColumn(const std::string& caption, int width,
                         fw::TAlignment alignment = fw::TAlignment::LeftJustify);
  void ClearColumns();
  // The column with its current width (the window's while it exists).
  const TListColumn& Column(int index) const;
  int ColumnWidth(int index) const;
  // Also takes LVSCW_AUTOSIZE (-1) and LVSCW_AUTOSIZE_USEHEADER (-2).
  void SetColumnWidth(int index, int width);
  void SetColumnCaption(int index, const std::string& caption);

  // ---- The ordinary list view: rows of a list that holds them
  virtual int ItemCount() const;
  TListItem& AddItem(const std::string& caption);
  TListItem& InsertItem(int index, const std::string& caption);
  void DeleteItem(int index);
  void ClearItems();
  // The row at index in the current order; null outside the list. A list
  // whose owner holds the rows fills one item object for the call, valid
  // until the next one.
  TListItem* Item(int index) const;
  int IndexOf(const TListItem* item) const;
  // Repaints a row after its texts changed.
  void UpdateItem(int index);
  // First selected row, -1 when none.
  int Selected() const;
  int ItemFocused() const;
  // Selects and focuses one row (the others are deselected), -1 clears.
  void SelectItem(int index);
  bool ItemSelected(int index) const;
  void ScrollIntoView(int index);
  int TopIndex() const;

  TViewStyle ViewStyle() const { return m_viewStyle; }
  void SetViewStyle(TViewStyle v);
  bool HideSelection() const { return m_hideSelection; }
  void SetHideSelection(bool v);
  bool MultiSelect() const { return m_multiSelect; }
  void SetMultiSelect(bool v);
  bool ReadOnly() const { return m_readOnly; }
  void SetReadOnly(bool v);
  // Image lists are borrowed: the list never frees them (shared or not).
  fw::TImageList* SmallImages() const { return m_smallLink.Images(); }
  void SetSmallImages(fw::TImageList* images);
  fw::TImageList* LargeImages() const { return m_largeLink.Images(); }
  void SetLargeImages(fw::TImageList* images);
  fw::TImageList* StateImages() const { return m_stateLink.Images(); }
  virtual void SetStateImages(fw::TImageList* images);

  // Destroys and creates the window again, keeping columns, rows and state.
  void RecreateWnd();
  HWND HeaderHandle() const { return m_header; }

  // ---- Sorting
  TAutoColumnSort AutoColumnSort() const { return m_autoColumnSort; }
  void SetAutoColumnSort(TAutoColumnSort v);
  TAutoSortStyle AutoSortStyle() const { return m_autoSortStyle; }
  void SetAutoSortStyle(TAutoSortStyle v);
  bool AutoResort() const { return m_autoResort; }
  void SetAutoResort(bool v) { m_autoResort = v; }
  bool AutoSortAscending() const { return m_autoSortAscending; }
  void SetAutoSortAscending(bool v);
  bool SortAscending() const { return m_sortAscending; }
  int SortColumn() const { return m_sortColumn; }
  // Set by an OnColumnClick handler, these tell the view that its owner
  // has sorted: the click then neither sorts nor moves the sort column.
  void SetSortAscending(bool v);
  void SetSortColumn(int column);
  // Date, number and text conventions of the smart comparison.
  void SetCompareSettings(const TCompareSettings& s) { m_compare = s; }
  const TCompareSettings& CompareSettings() const { return m_compare; }

  bool ShowSortArrows() const { return m_showSortArrows; }
  virtual void SetShowSortArrows(bool v);
  bool ReverseSortArrows() const { return m_reverseSortArrows; }
  void SetReverseSortArrows(bool v);
  TLVStyle Style() const { return m_style; }
  void SetStyle(TLVStyle v);
  bool ColumnSearch() const { return m_columnSearch; }
  void SetColumnSearch(bool v) { m_columnSearch = v; }
  bool NoColumnResize() const { return m_noColumnResize; }
  void SetNoColumnResize(bool v) { m_noColumnResize = v; }
  const std::string& TypeAheadText() const { return m_typeAhead; }

  TQsEnhLVSaveSettings& SaveSettings() { return *m_settings; }
  std::string Version() const { return GetVersion(); }

  // ---- Events
  TLVColumnClickEvent OnColumnClick;
  const TLVHDrawItemEvent& OnDrawHeader() const { return m_onDrawHeader; }
  void SetOnDrawHeader(TLVHDrawItemEvent handler);
  TLVMeasureItemEvent OnMeasureItem;
  TLVDrawItemEvent OnDrawItem;
  TLVDrawSubItemEvent OnDrawSubItem;
  TLVAfterDrawItemEvent OnAfterDefaultDrawItem;
  TLVSortItemsEvent OnSortItems;
  TLVSortStatusEvent OnSortBegin;
  TLVSortStatusEvent OnSortFinished;
  TLVEditCanceled OnEditCanceled;

  // ---- Overridable operations (the derived view replaces some)
  virtual void InvalidateHeaderSection(int column);
  virtual void SortByColumn(int column, bool ascending);
  virtual void NotifySortBegin(int column, bool ascending);
  virtual void NotifySortFinished(int column, bool ascending);
  virtual void CompareItemsByEvent(TListItem* item1, TListItem* item2, int& result, int textColumn);
  virtual void NotifyMeasureItem(UINT& height);
  virtual void DefaultDrawItem(fw::TCanvas& canvas, int index, RECT rect, TOwnerDrawState state, bool fullRowSelect);
  virtual void DefaultDrawSubItem(fw::TCanvas& canvas, int index, int subItem, RECT rect, TOwnerDrawState state);
  virtual void PaintRow(DRAWITEMSTRUCT& dis);
  virtual int ColumnDisplayPosition(int column) const;
  virtual const TListColumn* ColumnAtPosition(int position) const;
  // subItem < 0 is the caption.
  virtual std::string GetCellText(int item, int subItem) const;
  // The text of a column (0 = caption) of a row, for searches.
  virtual std::string ColumnText(int item, int column) const;
  virtual bool NotifyDrawSubItem(fw::TCanvas& canvas, int index, int subItem, RECT rect, TOwnerDrawState state);
  virtual bool NotifyDrawItem(fw::TCanvas& canvas, int index, RECT rect, TOwnerDrawState state, bool& fullRowSelect);
  virtual void NotifyAfterDefaultDrawItem(fw::TCanvas& canvas, int index, RECT rect, TOwnerDrawState state);
  virtual void NotifyEditCanceled(TListItem* item);
  virtual void DrawHeaderSection(DRAWITEMSTRUCT& dis);
  virtual bool NotifyDrawHeader(fw::TCanvas& canvas, int index, RECT& rect, bool selected);
  virtual void DefaultDrawHeaderSection(fw::TCanvas& canvas, int index, RECT rect, bool selected);
  // Fills a section's face inside the edges the platform drew; the area left
  // for its contents (moved down and right while pressed).
  static RECT FillHeaderFace(HDC dc, RECT rect, bool selected);
  virtual void SetHeaderOwnerDraw(bool on);
  virtual void CreateSortArrowBitmaps();
  virtual std::string GetVersion() const;
  virtual void AutoSaveSettings();
  virtual bool WriteSettings();
  virtual bool AutoLoadSettings();
  virtual bool ReadSettings();
  virtual void ColumnSortClick(int column, bool ascending);
  virtual void ResortItems();
  virtual void BeginItemsUpdate();
  virtual void EndItemsUpdate();
  virtual void AutoSizeColumns(bool useHeader);
  virtual void MoveItem(int from, int to);
  virtual bool FindItemStartingWith(const std::string& text, int column);
  virtual bool FindItemContaining(const std::string& text, int column);

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  void CreateParams(fw::TCreateParams& p) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;
  bool CNNotify(NMHDR* hdr, LRESULT& result) override;
  bool CNDrawItem(DRAWITEMSTRUCT* dis) override;
  bool CNMeasureItem(MEASUREITEMSTRUCT* mis) override;
  void KeyUp(WORD& key, fw::TShiftState shift) override;
  void FontChanged() override;
  void ColorChanged() override;
  void Notification(fw::TComponent* component, fw::TOperation op) override;
  // After the small image list was set, changed or freed.
  virtual void SmallImagesChanged();
  void SetImageListHandle(int which, fw::TImageList* images);

  // The derived view brings its own settings object.
  // Reads "Sort" and "ViewStyle" (both views read them alike).
  void ReadSortAndViewStyle();
  void ReplaceSettings(std::unique_ptr<TQsEnhLVSaveSettings> settings) { m_settings = std::move(settings); }
  // Notifications from the header window (the list view's child).
  virtual bool HeaderNotify(NMHDR* hdr, LRESULT& result);
  // Whether the column may be resized by the user.
  virtual bool ColumnResizable(int column) const;
  // The platform's data request for a row of a list that holds its rows.
  virtual void ItemDispInfo(LVITEMA& item, bool wide, wchar_t* wideText);
  // True when the view holds no rows (the owner gives them).
  virtual bool OwnerData() const { return false; }
  // The item object of a row that the owner holds, asked of the owner.
  virtual TListItem* OwnerDataItem(int index) const {
    (void)index;
    return nullptr;
  }
  // After the window exists and the columns are in it.
  virtual void ItemsToWindow();
  // Clock of the type-ahead (milliseconds); tests replace it.
  virtual DWORD TickCount() const { return GetTickCount(); }
  virtual void SearchMissed() { MessageBeep(MB_ICONHAND); }
  bool Creating() const { return m_creating; }
  // Makes the window (and those of its parents) when there is a parent.
  void EnsureHandle();
  bool OwnerDrawOn() const;
  int UpdateCount() const { return m_updateCount; }
  HBITMAP ArrowBitmap(bool ascending) const { return ascending ? m_arrowUp : m_arrowDown; }
  int ArrowSize() const { return m_arrowSize; }
  void ReapplyHeaderOwnerDraw();
  void SyncColumnWidthsFromWindow();
  bool DestroyingSave() const { return m_destroyingSave; }
  void SetDestroyingSave(bool v) { m_destroyingSave = v; }
  // Cell text of the column shown at a display position (sizes are saved in
  // display order).
  std::vector<int> WidthsInDisplayOrder() const;
  void ApplyWidthsInDisplayOrder(const std::vector<int>& widths);
  virtual std::vector<int> CurrentOrder() const;

  // Window-less state pieces the derived view reads.
  static constexpr UINT kReapplyHeaderMessage = WM_USER + 143;
  static constexpr UINT kSyncOrderMessage = WM_USER + 144;

private:
  // Inserts the platform's row for an item at index, every text asked back
  // through callbacks; the row's index as the platform placed it.
  int InsertCallbackRow(HWND h, int index, TListItem* item) const;
  static LRESULT CALLBACK HeaderProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static int CALLBACK SortCallback(LPARAM a, LPARAM b, LPARAM self);
  LRESULT HeaderWndProc(UINT msg, WPARAM wp, LPARAM lp);
  void SubclassHeader();
  void UnsubclassHeader();
  void ColumnToWindow(int index);
  void ApplyColor();
  void ImageListsToWindow();
  void RemeasureRows();
  void ColumnClick(int column);
  void PutSortColumn(int column);
  void PutSortAscending(bool v);
  void FreeArrowBitmaps();
  void CollectItemOrder();
  int SmartCompareItems(TListItem* a, TListItem* b) const;
  bool FindFrom(const std::string& text, int column, bool inclusive, bool containing);
  void SelectAndFocus(int index);

  // Mutable: while the window exists its widths are the truth, and the const
  // getters refresh this copy from it.
  mutable std::vector<TListColumn> m_columns;
  std::vector<std::unique_ptr<TListItem>> m_items;  // owned; order kept while no window
  TViewStyle m_viewStyle = vsReport;
  bool m_hideSelection = true;
  bool m_multiSelect = false;
  bool m_readOnly = false;
  fw::TImageChangeLink m_smallLink, m_largeLink, m_stateLink;

  bool m_resortPending = false;
  int m_updateCount = 1;
  TAutoColumnSort m_autoColumnSort = acsNoSort;
  TAutoSortStyle m_autoSortStyle = assSmart;
  bool m_autoResort = true;
  bool m_autoSortAscending = true;
  bool m_sortAscending = true;
  int m_sortColumn = -1;
  std::unique_ptr<TQsEnhLVSaveSettings> m_settings;
  bool m_showSortArrows = false;
  HBITMAP m_arrowUp = nullptr, m_arrowDown = nullptr;
  int m_arrowSize = 0;
  bool m_reverseSortArrows = false;
  HWND m_header = nullptr;
  WNDPROC m_headerPrevProc = nullptr;
  std::string m_typeAhead;
  DWORD m_lastTypeAhead = 0;
  bool m_hasTypedAhead = false;
  TLVStyle m_style = lvStandard;
  bool m_columnSearch = false;
  bool m_noColumnResize = false;
  TLVHDrawItemEvent m_onDrawHeader;
  TCompareSettings m_compare = DefaultCompareSettings();

  bool m_creating = false;
  bool m_inColumnClick = false;
  bool m_ownerSetSort = false;
  bool m_destroyingSave = false;
  bool m_headerNotifyGuard = false;
};

}  // namespace qv::controls
