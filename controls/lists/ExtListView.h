// TQsExtListView: the enhanced list view (EnhListView.h) with a virtual
// (owner-data) mode in which it holds no rows and asks its owner for every
// cell it paints, for cache hints and for type-ahead matches; the platform's
// extended styles as a set; per-column header formats (image, side,
// resizable); the header's column order kept across window re-creation and
// saved with the layout; check-box, marquee, activation, hot-track and
// info-tip events. Notifications arrive in either A or W form.
//
//   lv.SetVirtualMode(true);
//   lv.OnVMGetItemInfo = [&](auto&, int row, int col, auto& mask, int& image, ...) { ... };
//   lv.SetVirtualItemCount(listing.Count(), LVSICF_NOSCROLL);
//
// Tested by tests/controls/lists/ExtListView_test.cpp and
// VirtualListView_test.cpp.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "controls/lists/EnhListView.h"
#include "framework/Exception.h"

namespace qv::controls {

enum TLVExtendedStyle {
  lvxGridLines, lvxSubItemImages, lvxCheckboxes, lvxTrackSelect, lvxHeaderDragDrop, lvxFullRowSelect,
  lvxOneClickActivate, lvxTwoClickActivate, lvxFlatScrollBar, lvxInfoTip, lvxUnderlineHot, lvxUnderlineCold,
  lvxLabelTip
};

class TLVExtendedStyles {
public:
  TLVExtendedStyles() = default;
  TLVExtendedStyles(std::initializer_list<TLVExtendedStyle> styles);
  bool Contains(TLVExtendedStyle s) const { return (m_bits & Bit(s)) != 0; }
  TLVExtendedStyles& Include(TLVExtendedStyle s) { m_bits |= Bit(s); return *this; }
  TLVExtendedStyles& Exclude(TLVExtendedStyle s) { m_bits &= ~Bit(s); return *this; }
  bool operator==(const TLVExtendedStyles&) const = default;

private:
  static uint16_t Bit(TLVExtendedStyle s) { return static_cast<uint16_t>(1u << static_cast<unsigned>(s)); }
  uint16_t m_bits = 0;
};

// The platform's LVS_EX_* mask of a set, and back (other bits ignored).
DWORD ExtendedStylesToMask(const TLVExtendedStyles& styles);
TLVExtendedStyles ExtendedStylesFromMask(DWORD mask);

// The low five bits of LVITEM.mask.
enum TLVVMMaskItem : unsigned { lvifText = 0x1, lvifImage = 0x2, lvifParam = 0x4, lvifState = 0x8, lvifIndent = 0x10 };
using TLVVMMaskItems = unsigned;

enum TColumnImageAlign { ciaLeftOfText, ciaRightOfText };

class TQsExtListColumns;

// Header format of one column, matched to the list's column by index.
class TQsExtListColumn {
public:
  int ImageIndex() const { return m_imageIndex; }
  void SetImageIndex(int v);
  TColumnImageAlign ImageAlignment() const { return m_imageAlignment; }
  void SetImageAlignment(TColumnImageAlign v);
  bool AllowResize() const { return m_allowResize; }
  void SetAllowResize(bool v) { m_allowResize = v; }
  // Takes the image and its side, not AllowResize.
  void Assign(const TQsExtListColumn& other);

private:
  friend class TQsExtListColumns;
  TQsExtListColumns* m_owner = nullptr;
  int m_imageIndex = -1;
  TColumnImageAlign m_imageAlignment = ciaRightOfText;
  bool m_allowResize = true;
};

class TQsExtListColumns {
public:
  TQsExtListColumns() = default;
  TQsExtListColumns(const TQsExtListColumns&) = delete;
  TQsExtListColumns& operator=(const TQsExtListColumns&) = delete;

  int Count() const { return static_cast<int>(m_items.size()); }
  TQsExtListColumn& Add();
  TQsExtListColumn& Item(int index) { return *m_items.at(static_cast<size_t>(index)); }
  const TQsExtListColumn* Find(int index) const;
  void Clear();
  // Clears, then copies every item.
  void Assign(const TQsExtListColumns& other);
  // The changed column, or -1 when the whole collection changed.
  std::function<void(int index)> OnChange;

private:
  friend class TQsExtListColumn;
  void Changed(int index) {
    if (OnChange) OnChange(index);
  }
  std::vector<std::unique_ptr<TQsExtListColumn>> m_items;
};

class EELVException : public fw::EQvError {
public:
  using EQvError::EQvError;
};
class EELVOldComCtl : public EELVException {
public:
  using EELVException::EELVException;
};

// Whether a file version (major, minor, release, build) is 4.70.0.0 or later.
bool ComCtlVersionAtLeast470(const WORD version[4]);

using TLVVMGetItemInfoEvent =
    std::function<void(fw::TComponent& sender, int item, int subItem, TLVVMMaskItems& mask, int& image,
                       WORD& overlayImage, WORD& stateImage, LPARAM& param, UINT& state, UINT& stateMask,
                       int& indent, std::string& text)>;
using TLVVMCacheHintEvent = std::function<void(fw::TComponent& sender, NMLVCACHEHINT& hintInfo)>;
using TLVVMFindItemEvent = std::function<void(fw::TComponent& sender, NMLVFINDITEMA& findInfo, int& found)>;
using TLVVMStateChangedEvent = std::function<void(fw::TComponent& sender, NMLVODSTATECHANGE& stateInfo)>;
using TLVVMCaptionEditedEvent =
    std::function<void(fw::TComponent& sender, int item, bool canceled, const std::string& text)>;
using TLVItemCheckedEvent = std::function<void(fw::TComponent& sender, int itemIndex, bool checked)>;
using TLVMarqueeBeginEvent = std::function<void(fw::TComponent& sender, bool& canBegin)>;
using TLVHotTrackEvent = std::function<void(fw::TComponent& sender, int& itemIndex, int subItemIndex,
                                            POINT location, bool& allowSelect)>;
using TLVInfoTipEvent = std::function<void(fw::TComponent& sender, int itemIndex, int subItemIndex,
                                           const std::string& current, std::string& additional)>;

class TCustomExtListView : public TCustomEnhListView {
public:
  explicit TCustomExtListView(fw::TComponent* owner);
  ~TCustomExtListView() override;

  // ---- Properties
  bool VirtualMode() const { return m_virtualMode; }
  void SetVirtualMode(bool v);
  TLVExtendedStyles ExtendedStyles() const;
  void SetExtendedStyles(TLVExtendedStyles styles);
  TQsExtListColumns& ColumnsFormat() { return m_columnsFormat; }
  void SetColumnsFormat(const TQsExtListColumns& formats) { m_columnsFormat.Assign(formats); }
  int HoverTime() const;
  void SetHoverTime(int ms);
  bool RequireComCtlUpdate() const { return m_requireComCtlUpdate; }
  // True checks the installed COMCTL32.DLL at once (EELVOldComCtl).
  void SetRequireComCtlUpdate(bool v);
  TQsExtLVSaveSettings& SaveSettings() { return static_cast<TQsExtLVSaveSettings&>(TCustomEnhListView::SaveSettings()); }
  void SetShowSortArrows(bool v) override;
  void SetStateImages(fw::TImageList* images) override;
  int ItemCount() const override;

  // ---- Operations
  // flags: LVSICF_NOINVALIDATEALL (1), LVSICF_NOSCROLL (2); others dropped.
  void SetVirtualItemCount(int count, unsigned flags);
  int VirtualItemCount() const { return m_virtualCount; }
  void StoreColumnOrder(const std::vector<int>& order);
  bool FetchColumnOrder(int count, std::vector<int>& order);
  void SetItemCheckState(int index, bool checked);
  bool GetItemCheckState(int index) const;
  int GetSubItemImageIndex(int item, int subItem) const;
  void SetSubItemImageIndex(int item, int subItem, int image);
  void SetSelectionMarkIndex(int index);
  int SelectionMarkIndex() const { return m_selectionMark; }
  // Applies the header format of one column (all of them with -1).
  void ApplyColumnFormat(int index);

  // ---- Events
  TLVItemCheckedEvent OnItemChecked;
  TLVMarqueeBeginEvent OnMarqueeBegin;
  fw::TNotifyEvent OnItemActivate;
  TLVHotTrackEvent OnHotTrack;
  TLVInfoTipEvent OnInfoTip;
  TLVVMGetItemInfoEvent OnVMGetItemInfo;
  TLVVMCacheHintEvent OnVMCacheHint;
  TLVVMFindItemEvent OnVMFindItem;
  TLVVMStateChangedEvent OnVMStateChanged;
  TLVVMCaptionEditedEvent OnVMCaptionEdited;

  // ---- Overridable operations
  void NotifyMeasureItem(UINT& height) override;
  void DefaultDrawItem(fw::TCanvas& canvas, int index, RECT rect, TOwnerDrawState state, bool fullRowSelect) override;
  void DefaultDrawSubItem(fw::TCanvas& canvas, int index, int subItem, RECT rect, TOwnerDrawState state) override;
  int ColumnDisplayPosition(int column) const override;
  const TListColumn* ColumnAtPosition(int position) const override;
  std::string GetCellText(int item, int position) const override;
  std::string ColumnText(int item, int column) const override;
  bool NotifyDrawSubItem(fw::TCanvas& canvas, int index, int subItem, RECT rect, TOwnerDrawState state) override;
  bool NotifyDrawItem(fw::TCanvas& canvas, int index, RECT rect, TOwnerDrawState state, bool& fullRowSelect) override;
  void DefaultDrawHeaderSection(fw::TCanvas& canvas, int index, RECT rect, bool selected) override;
  std::string GetVersion() const override;
  bool WriteSettings() override;
  bool ReadSettings() override;

  virtual void NotifyItemChecked(int itemIndex, bool checked);
  virtual bool NotifyMarqueeBegin();
  virtual void NotifyItemActivate();
  virtual bool NotifyHotTrack(NMLISTVIEW& info);
  virtual void NotifyInfoTip(NMLVGETINFOTIPA& info, bool wide);
  // Answers one display-info request; wide when the record is LVITEMW.
  virtual void VMGetDispInfo(LVITEMA& item, bool wide);
  virtual void NotifyVMCacheHint(NMLVCACHEHINT& info);
  virtual int NotifyVMFindItem(NMLVFINDITEMA& info);
  virtual void NotifyVMStateChanged(NMLVODSTATECHANGE& info);

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  void CreateParams(fw::TCreateParams& p) override;
  void CreateWnd() override;
  void Loaded() override;
  bool CNNotify(NMHDR* hdr, LRESULT& result) override;
  bool HeaderNotify(NMHDR* hdr, LRESULT& result) override;
  bool ColumnResizable(int column) const override;
  // The header column under the cursor (HDM_HITTEST), -1 over none.
  int HeaderColumnAtCursor() const;
  // Screen position of the cursor; tests replace it.
  virtual POINT HeaderCursorPos() const;
  bool OwnerData() const override { return m_virtualMode; }
  TListItem* OwnerDataItem(int index) const override;
  std::vector<int> CurrentOrder() const override;
  void SmallImagesChanged() override;

private:
  void ApplyCallbackMask();
  void SaveItemStates();
  void RestoreItemStates();
  std::string VirtualCellText(int item, int subItem) const;

  // Mutable: the const getters refresh these copies from the window, which
  // the user or the system may have changed.
  mutable TLVExtendedStyles m_extendedStyles{lvxInfoTip};
  std::vector<int> m_keptOrder;
  TQsExtListColumns m_columnsFormat;
  bool m_virtualMode = false;
  int m_selectionMark = -1;
  mutable int m_hoverTime = -1;
  bool m_requireComCtlUpdate = false;
  int m_virtualCount = 0;
  unsigned m_virtualFlags = 0;
  bool m_statesSaved = false;
  int m_changingItem = -1;
  bool m_changingChecked = false;
  mutable std::unique_ptr<TListItem> m_ownerDataItem;  // what Item() returns in virtual mode
};

class TQsExtListView : public TCustomExtListView {
public:
  explicit TQsExtListView(fw::TComponent* owner) : TCustomExtListView(owner) {}
};

}  // namespace qv::controls
