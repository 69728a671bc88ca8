// The cursor numbers of the input controls and their table: 14000 an open
// hand (shown over a slider's thumb), 14001 a hand that grips. The cursors
// are resources of the program (resources/QuorvantPro.rc); an executable
// linked without them gets the system's hand instead, so a control never
// shows no cursor. Main thread only.
// Example:  thumb.SetCursor(QxCursor(crGrabHand));
// Tested by tests/services/QxConst_test.cpp.
#pragma once

#include <windows.h>

namespace qv::controls {

constexpr int crGrabHand = 14000;
constexpr int crGrabDrag = 14001;

// The cursor registered under a number; null for any other number. The
// table is filled once, on first use.
HCURSOR QxCursor(int number);

}  // namespace qv::controls
