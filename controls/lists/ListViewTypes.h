// Value types of the list views: enumerations, columns, the items of a list
// that holds its own rows (a virtual list holds none), and event types.
// Used by EnhListView.h and ExtListView.h.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Graphics.h"
#include "framework/StdCtrls.h"

namespace qv::controls {

enum TAutoColumnSort { acsNoSort, acsSort, acsSortToggle };
enum TAutoSortStyle { assSmart, assDefault };
enum TSortAs { saNone, saString, saNumeric, saDateTime };
enum TLVStyle { lvStandard, lvOwnerDrawFixed };
// The platform's view styles, in the order the saved "ViewStyle" uses.
enum TViewStyle { vsIcon = 0, vsSmallIcon = 1, vsList = 2, vsReport = 3 };

// One column of the list. The width is the window's while it exists and is
// kept here so it outlives the window.
struct TListColumn {
  std::string Caption;
  int Width = 50;
  fw::TAlignment Alignment = fw::TAlignment::LeftJustify;
};

// One row of a list that holds its rows. Texts reach the platform list by
// callback, so changing them needs only a repaint (TCustomEnhListView::
// UpdateItem).
class TListItem {
public:
  std::string Caption;
  std::vector<std::string> SubItems;
  int ImageIndex = -1;
  int Indent = 0;
  void* Data = nullptr;

  // Kept across a re-creation of the window.
  bool Checked = false;
  std::vector<int> SubItemImages;
};

// Owner-draw state of a row (the DRAWITEMSTRUCT's itemState bits).
using TOwnerDrawState = UINT;

class TCustomEnhListView;

using TLVSortItemsEvent = std::function<void(fw::TComponent& sender, TListItem* item1, TListItem* item2,
                                             int sortColumn, TSortAs& sortAs, int& compResult)>;
using TLVSortStatusEvent = std::function<void(fw::TComponent& sender, int sortColumn, bool ascending)>;
using TLVHDrawItemEvent = std::function<void(fw::TComponent& control, fw::TCanvas& canvas, int index,
                                             RECT& rect, bool selected, bool& defaultDrawing)>;
using TLVMeasureItemEvent = std::function<void(fw::TComponent& control, UINT& height)>;
using TLVDrawItemEvent = std::function<void(fw::TComponent& control, fw::TCanvas& canvas, int index, RECT rect,
                                            TOwnerDrawState state, bool& defaultDrawing, bool& fullRowSelect)>;
using TLVDrawSubItemEvent = std::function<void(fw::TComponent& control, fw::TCanvas& canvas, int index,
                                               int subItem, RECT rect, TOwnerDrawState state,
                                               bool& defaultDrawing)>;
using TLVAfterDrawItemEvent =
    std::function<void(fw::TComponent& control, fw::TCanvas& canvas, int index, RECT rect, TOwnerDrawState state)>;
using TLVEditCanceled = std::function<void(fw::TComponent& sender, TListItem* item)>;
using TLVColumnClickEvent = std::function<void(fw::TComponent& sender, int column)>;

}  // namespace qv::controls
