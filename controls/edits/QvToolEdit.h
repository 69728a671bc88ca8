// The paint routine the edits share for what the system edit cannot draw
// itself: a disabled text in a colour of our own, or an aligned text while
// the edit is not focused. A focused edit is left to the system (after its
// extended style is brought in line with the alignment and the reading
// direction), so caret and selection stay the system's.
// Tested by tests/controls/edits/QvEdit_test.cpp (disabled painting, reading
// direction).
#pragma once

#include <windows.h>

#include <string>

#include "framework/StdCtrls.h"

namespace qv::controls {

// Paints `text` into the DC of the paint message (wp, or BeginPaint when
// wp is 0). Returns false when it declined and the caller must paint.
// keepLeft draws from the left edge whatever the alignment; paintCopy marks
// a painting into another DC than the edit's own, where no style changes.
bool PaintEdit(qv::fw::TCustomEdit& edit, const std::string& text, qv::fw::TAlignment alignment, WPARAM wp,
               bool focused, qv::fw::TColor disabledTextColor, bool keepLeft = false, bool paintCopy = false);

}  // namespace qv::controls
