// Component references that follow their target's lifetime: the holder
// subscribes to the free notification of what it references, so that its
// Notification can clear the reference when the target is freed.
// Example (in a setter):  if (SwapComponentLink(this, control, m_focusControl)) Invalidate();
// Tested by tests/support/QcSysUtils_test.cpp.
#pragma once

#include "framework/Component.h"

namespace qv::controls {

// Points `reference` at `value` and moves `owner`'s free notification from
// the old target to the new one. Nothing changes without an owner (nobody
// would clear the reference) or when the value is the same; true when the
// reference changed.
template <class T>
bool SwapComponentLink(qv::fw::TComponent* owner, T* value, T*& reference) {
  if (value == reference || !owner) return false;
  if (reference) owner->RemoveFreeNotification(reference);
  reference = value;
  if (value) owner->FreeNotification(value);
  return true;
}

}  // namespace qv::controls
