// The cursor table of the input controls.
#include "services/QxConst.h"

#include <map>

#include "resources/resource_ids.h"

namespace qv::controls {

namespace {

const std::map<int, HCURSOR>& Table() {
  static const std::map<int, HCURSOR> table = [] {
    std::map<int, HCURSOR> t;
    HINSTANCE self = GetModuleHandleA(nullptr);
    HCURSOR fallback = LoadCursorA(nullptr, IDC_HAND);
    HCURSOR hand = LoadCursorA(self, MAKEINTRESOURCEA(IDC_QV_HAND));
    HCURSOR drag = LoadCursorA(self, MAKEINTRESOURCEA(IDC_QV_HANDPOINT));
    t[crGrabHand] = hand ? hand : fallback;
    t[crGrabDrag] = drag ? drag : fallback;
    return t;
  }();
  return table;
}

}  // namespace

HCURSOR QxCursor(int number) {
  const auto& t = Table();
  const auto it = t.find(number);
  return it == t.end() ? nullptr : it->second;
}

}  // namespace qv::controls
