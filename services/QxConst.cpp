// The cursor table of the input controls.
#include "services/QxConst.h"

namespace qv::controls {

namespace {

struct TCursors {
  HCURSOR Hand = nullptr, Drag = nullptr;
};

TCursors LoadCursors() {
  HINSTANCE self = GetModuleHandleA(nullptr);
  HCURSOR fallback = LoadCursorA(nullptr, IDC_HAND);
  HCURSOR hand = LoadCursorA(self, "QX_HANDCUR");
  HCURSOR drag = LoadCursorA(self, "QX_DRAGCUR");
  return {hand ? hand : fallback, drag ? drag : fallback};
}

// Loaded with the program rather than on first use, so that the numbers
// are there before any control asks for them.
const TCursors g_cursors = LoadCursors();

}  // namespace

HCURSOR QxCursor(int number) {
  switch (number) {
    case crGrabHand: return g_cursors.Hand;
    case crGrabDrag: return g_cursors.Drag;
    default: return nullptr;
  }
}

}  // namespace qv::controls
