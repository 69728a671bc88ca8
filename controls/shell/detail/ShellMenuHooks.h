// Internal: what tests put in place of the platform's popup-menu loop (the
// real one waits for a user). Not part of the controls' interface.
#pragma once

#include <windows.h>

#include <functional>

namespace qv::controls::detail {

// Given the built menu and the hidden helper window that receives the
// menu's messages; returns the chosen command (0: none). An empty function
// goes back to TrackPopupMenuEx.
using TMenuTracker = std::function<UINT(HMENU menu, HWND helper, int x, int y)>;
void SetMenuTracker(TMenuTracker tracker);

}  // namespace qv::controls::detail
