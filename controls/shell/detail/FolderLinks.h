// Internal: the two-way links between the shell tree, list and combo box.
// Not an API; tested through tests/controls/shell/SystemFolderControls_test.cpp.
#pragma once

namespace qv::controls::detail {

// Points `self` at `other` through `mine`: the old end lets go of `self`,
// each end watches the other being freed, and the new end points back
// through `setBack`. Returns false when `other` was linked already.
template <typename Self, typename Other>
bool RelinkBothWays(Self* self, Other*& mine, Other* other, Self* (Other::*back)() const,
                    void (Other::*setBack)(Self*)) {
  if (other == mine) return false;
  Other* old = mine;
  mine = other;
  if (old) {
    self->RemoveFreeNotification(old);
    if ((old->*back)() == self) (old->*setBack)(nullptr);
  }
  if (other) {
    self->FreeNotification(other);
    (other->*setBack)(self);
  }
  return true;
}

}  // namespace qv::controls::detail
