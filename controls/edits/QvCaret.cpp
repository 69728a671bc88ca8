// The custom caret of the edits.
#include "controls/edits/QvCaret.h"

#include "support/QcErrors.h"
#include "support/QvExceptions.h"

namespace qv::controls {

TQvCaret::TQvCaret(qv::fw::TWinControl* owner) : m_owner(owner) {
  if (!owner) throw EQVLException("TQvCaret: cannot be created without a valid Owner");
}

TQvCaret::~TQvCaret() {
  OnChanged = nullptr;
  DestroyCaret();
}

void TQvCaret::Changed() {
  if (m_updateCount > 0) {
    m_modified = true;
    return;
  }
  m_modified = false;
  if (OnChanged) OnChanged();
}

void TQvCaret::EndUpdate() {
  if (m_updateCount == 0) return;
  if (--m_updateCount == 0 && m_modified) Changed();
}

void TQvCaret::SetWidth(int v) {
  if (v == m_width) return;
  m_width = v;
  Changed();
}

void TQvCaret::SetHeight(int v) {
  if (v == m_height) return;
  m_height = v;
  Changed();
}

void TQvCaret::SetGray(bool v) {
  if (v == m_gray) return;
  m_gray = v;
  Changed();
}

void TQvCaret::SetBitmap(const qv::fw::TBitmap& bitmap) {
  BeginUpdate();
  if (bitmap.Empty()) m_bitmap.Clear();
  else m_bitmap.Assign(bitmap);
  m_width = 0;
  m_height = 0;
  m_gray = false;
  Changed();
  EndUpdate();
}

void TQvCaret::Assign(const TQvCaret& other) {
  if (&other == this) return;
  BeginUpdate();
  SetWidth(other.m_width);
  SetHeight(other.m_height);
  SetGray(other.m_gray);
  if (other.m_bitmap.Empty()) m_bitmap.Clear();
  else m_bitmap.Assign(other.m_bitmap);
  Changed();
  EndUpdate();
}

void TQvCaret::CreateCaret() {
  if (!m_owner->Focused() || IsDefault()) return;
  HWND h = m_owner->HandleIfAllocated();
  // A bitmap caret keeps the bitmap's own size; any size or grey setting
  // means a block caret instead.
  if (!m_bitmap.Empty() && m_width == 0 && m_height == 0 && !m_gray) {
    if (!::CreateCaret(h, m_bitmap.Handle(), 0, 0)) RaiseLastOSError();
  } else if (!::CreateCaret(h, reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(m_gray ? 1 : 0)), m_width, m_height) &&
             !::CreateCaret(h, nullptr, m_width, m_height)) {
    RaiseLastOSError();
  }
  m_created = true;
  ShowCaret(h);
}

void TQvCaret::DestroyCaret() {
  // Called while the focus leaves, when the owner no longer counts as
  // focused but the thread's caret is still its own; once the focus is
  // gone the caret went with it, so created stays true only while it lasts.
  if (!m_created || IsDefault()) return;
  ::DestroyCaret();
  m_created = false;
}

}  // namespace qv::controls
