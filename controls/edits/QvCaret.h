// TQvCaret: the caret an edit shows while it has the focus, when it is not
// the system's: a bitmap, or a solid or grey block of a given size. The
// default state (no bitmap, 0 x 0, not grey) leaves the edit's own caret.
// Changes made between BeginUpdate and EndUpdate are reported once.
// Example:  edit.Caret().SetWidth(3);   // a 3-pixel bar, line high
// Not streamed with a layout (layouts here are code). Main thread only.
// Tested by tests/controls/edits/QvEdit_test.cpp.
#pragma once

#include <functional>

#include "framework/Bitmap.h"
#include "framework/WinControl.h"

namespace qv::controls {

class TQvCaret {
public:
  // Throws EQVLException without an owner.
  explicit TQvCaret(qv::fw::TWinControl* owner);
  ~TQvCaret();
  TQvCaret(const TQvCaret&) = delete;
  TQvCaret& operator=(const TQvCaret&) = delete;

  const qv::fw::TBitmap& Bitmap() const { return m_bitmap; }
  // Copies the bitmap and returns the size and grey flag to their defaults.
  void SetBitmap(const qv::fw::TBitmap& bitmap);
  int Width() const { return m_width; }
  void SetWidth(int v);
  int Height() const { return m_height; }
  void SetHeight(int v);
  bool Gray() const { return m_gray; }
  void SetGray(bool v);
  // Width, height, grey flag and bitmap, reported as one change.
  void Assign(const TQvCaret& other);

  void BeginUpdate() { ++m_updateCount; }
  void EndUpdate();

  bool IsDefault() const { return m_width == 0 && m_height == 0 && !m_gray && m_bitmap.Empty(); }
  bool Created() const { return m_created; }
  // Both act only while the owner has the focus and the caret is not the
  // default one; creating raises the system's error when it fails twice.
  void CreateCaret();
  void DestroyCaret();

  // Told of every change outside an update (the edit recreates the caret).
  std::function<void()> OnChanged;

private:
  void Changed();

  qv::fw::TWinControl* m_owner;
  qv::fw::TBitmap m_bitmap;
  int m_width = 0;
  int m_height = 0;
  bool m_gray = false;
  int m_updateCount = 0;
  bool m_modified = false;
  bool m_created = false;
};

}  // namespace qv::controls
