// The pixel-width limit of the edits.
#include "controls/edits/QvMaxPixel.h"

#include "framework/Graphics.h"

namespace qv::controls {

TQvMaxPixel::TQvMaxPixel(qv::fw::TWinControl& owner) : m_owner(owner) {
  m_font.OnChange = [this] { Changed(); };
}

void TQvMaxPixel::Changed() {
  if (OnChanged) OnChanged();
}

void TQvMaxPixel::SetLength(int v) {
  if (v == m_length) return;
  m_length = v;
  Changed();
}

void TQvMaxPixel::SetUseControlFont(bool v) {
  if (v == m_useControlFont) return;
  m_useControlFont = v;
  Changed();
}

bool TQvMaxPixel::Test(std::string& text) const {
  if (m_length == 0) return false;
  HWND h = m_owner.HandleIfAllocated();
  HDC dc = GetDC(h);
  if (!dc) return false;
  bool wider = false;
  {
    qv::fw::TCanvas canvas(dc);
    canvas.SetFont(m_useControlFont ? m_owner.EffectiveFont() : m_font);
    if (!text.empty() && canvas.TextExtent(text).cx > m_length) {
      wider = true;
      // One call finds how much fits (a pasted page must not cost a
      // measure per character); the loop after it settles kerning.
      INT fit = 0;
      SIZE size{};
      if (m_length > 0 &&
          GetTextExtentExPointA(dc, text.data(), static_cast<int>(text.size()), m_length, &fit, nullptr, &size) &&
          fit >= 0 && static_cast<size_t>(fit) < text.size())
        text.resize(static_cast<size_t>(fit));
      while (!text.empty() && canvas.TextExtent(text).cx > m_length) text.pop_back();
    }
  }
  ReleaseDC(h, dc);
  return wider;
}

}  // namespace qv::controls
