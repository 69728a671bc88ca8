// The cursor numbers of the input controls and their table: 14000 an open
// hand (shown over a slider's thumb), 14001 a hand that grips. The cursors
// are the program's resources "QX_HANDCUR" and "QX_DRAGCUR"
// (resources/QuorvantPro.rc), loaded when the program starts; an
// executable linked without them gets the system's hand instead, so a
// control never shows no cursor. Main thread only.
// Example:  thumb.SetCursor(QxCursor(crGrabHand));
// Tested by tests/services/QxConst_test.cpp.
#pragma once

#include <windows.h>

namespace qv::controls {

constexpr int crGrabHand = 14000;
constexpr int crGrabDrag = 14001;

// The cursor registered under a number; null for any other number.
HCURSOR QxCursor(int number);

}  // namespace qv::controls
