// TQvMaxPixel: a limit on the width of an edit's text in pixels, measured
// in the edit's font or a font of its own. Length 0 means no limit.
// Example:  edit.MaxPixel().SetLength(50);  // typing past 50 pixels cuts the end
// Main thread only. Tested by tests/controls/edits/QvEdit_test.cpp.
#pragma once

#include <functional>
#include <string>

#include "framework/WinControl.h"

namespace qv::controls {

class TQvMaxPixel {
public:
  explicit TQvMaxPixel(qv::fw::TWinControl& owner);
  TQvMaxPixel(const TQvMaxPixel&) = delete;
  TQvMaxPixel& operator=(const TQvMaxPixel&) = delete;

  int Length() const { return m_length; }
  void SetLength(int v);
  bool UseControlFont() const { return m_useControlFont; }
  void SetUseControlFont(bool v);
  // Used only when UseControlFont is off; a change counts as a change.
  qv::fw::TFont& Font() { return m_font; }
  void SetFont(const qv::fw::TFont& f) { m_font.Assign(f); }

  // Removes characters from the end of text until it fits; true when the
  // text was wider than Length before.
  bool Test(std::string& text) const;

  // Told of every change (the edit applies the limit again).
  std::function<void()> OnChanged;

private:
  void Changed();
  qv::fw::TWinControl& m_owner;
  int m_length = 0;
  bool m_useControlFont = true;
  qv::fw::TFont m_font;
};

}  // namespace qv::controls
