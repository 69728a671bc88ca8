// More controls: bevel and image (windowless, painted by the parent), timer
// (non-visual), progress bar.
// Tested by tests/framework/Form_test.cpp (timer) and tests/framework/ComCtrls_test.cpp.
#pragma once

#include <windows.h>

#include "framework/StdCtrls.h"

namespace qv::fw {

enum class TBevelShape { Box, Frame, TopLine, BottomLine, LeftLine, RightLine, Spacer };
enum class TBevelStyle { Lowered, Raised };

class TBevel : public TGraphicControl {
public:
  explicit TBevel(TComponent* owner) : TGraphicControl(owner) {}
  void SetShape(TBevelShape s) { m_shape = s; Invalidate(); }
  void SetStyle(TBevelStyle s) { m_style = s; Invalidate(); }

protected:
  void Paint(TCanvas& c) override;

private:
  TBevelShape m_shape = TBevelShape::Box;
  TBevelStyle m_style = TBevelStyle::Lowered;
};

// A picture: a bitmap (owned or borrowed) or an icon. Transparent bitmaps
// treat the colour of their lower-left pixel as see-through.
class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent* owner) : TGraphicControl(owner) {}
  ~TImage() override;
  // Takes ownership of the bitmap.
  void SetBitmap(HBITMAP bmp);
  HBITMAP Bitmap() const { return m_bitmap; }
  void SetIcon(HICON icon);
  void SetTransparent(bool v) { m_transparent = v; Invalidate(); }
  void SetStretch(bool v) { m_stretch = v; Invalidate(); }
  void SetCenter(bool v) { m_center = v; Invalidate(); }
  void SetAutoSize(bool v);

protected:
  void Paint(TCanvas& c) override;

private:
  void AdjustSize();
  HBITMAP m_bitmap = nullptr;
  HICON m_icon = nullptr;
  bool m_transparent = false, m_stretch = false, m_center = false, m_autoSize = false;
};

// A timer on the application's thread: OnTimer every Interval milliseconds
// while Enabled.
class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  bool Enabled() const { return m_enabled; }
  void SetEnabled(bool v);
  unsigned Interval() const { return m_interval; }
  void SetInterval(unsigned ms);
  TNotifyEvent OnTimer;

private:
  static LRESULT CALLBACK TimerWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void Update();
  HWND m_hwnd = nullptr;
  bool m_enabled = true;
  unsigned m_interval = 1000;
};

class TProgressBar : public TWinControl {
public:
  explicit TProgressBar(TComponent* owner) : TWinControl(owner) {}
  void SetRange(int min, int max);
  int Min() const { return m_min; }
  int Max() const { return m_max; }
  int Position() const { return m_position; }
  void SetPosition(int p);

protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;

private:
  int m_min = 0, m_max = 100, m_position = 0;
};

}  // namespace qv::fw
