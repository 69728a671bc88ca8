// TDLine: an etched separator line, windowless, drawn across the middle of
// its area: a grey line with a white one beside it (below or right for a
// sunken rail, above or left for a raised one, one or two pixels apart),
// or the grey line alone.
// Example:  auto& l = form.Make<TDLine>("DLine1"); l.Place(&form, 10, 80, 337, 4);
// Tested by tests/app/display/DLine_test.cpp.
#pragma once

#include "framework/Control.h"

namespace qv::app {

enum class TLineDirection { drHoriz, drVert };
enum class TRailStyle { stNone, stSunken, stSunkenPlus, stRaised, stRaisedPlus };

class TDLine : public fw::TGraphicControl {
public:
  explicit TDLine(fw::TComponent* owner);

  TLineDirection Direction() const { return m_direction; }
  void SetDirection(TLineDirection d);
  TRailStyle RailStyle() const { return m_railStyle; }
  void SetRailStyle(TRailStyle s);

  // Offset of the white line from the grey one (0 for stNone).
  static int RailOffset(TRailStyle s);

protected:
  void Paint(fw::TCanvas& canvas) override;

private:
  TLineDirection m_direction = TLineDirection::drHoriz;
  TRailStyle m_railStyle = TRailStyle::stSunken;
};

}  // namespace qv::app
