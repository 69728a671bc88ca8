// What every dialog of the main window shares: its placement over the main
// window's left column, the recoloured texture behind it, the status panel
// of its runs, the pacing of a run's progress display, and the start of an
// outside program (the report editor, the explorer) with quoted paths.
//
//   PlaceDialog(*this, host.DialogPlacement());   // in the dialog's FormCreate
//   ApplyTexture(options.Texture, *WallpaperDial, host.TextureSource());
//
// Tested by tests/app/dialogs/DialogSupport_test.cpp.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "app/OndrelWallpaper.h"
#include "framework/Bitmap.h"
#include "framework/ExtCtrls.h"
#include "framework/Form.h"
#include "framework/StdCtrls.h"

namespace qv::app {

// The texture picture of the program's resources: 50 x 50, 16 colours, its
// pixels using table entries 0..8 (tools/make-texture.py).
inline constexpr char kTextureResource[] = "TEXTURE";

// Where the main window stands: its outer top-left corner on the screen and
// its folder frame's position in its client area.
struct TDialogPlacement {
  int MainLeft = 0, MainTop = 0;
  int BevelLeft = 0, BevelTop = 0;
};

// Puts the dialog over the main window's left column, level with the folder
// frame, kept inside the work area of the monitor it lands on.
void PlaceDialog(fw::TForm& dialog, const TDialogPlacement& place);

// Shades 0..8 of the texture's colour table from the button face: entry 8
// is the face itself, each lower entry 5 darker in red, green and blue
// (never below 0). False when the picture has fewer than 9 entries.
bool RecolourTexture(fw::TBitmap& texture, COLORREF buttonFace);

// Shows the wallpaper with a copy of texture recoloured in the present
// button face when textureOn, hides it otherwise; false when the texture
// could not be made, which leaves the wallpaper as it was. The main window
// passes the colour change on to its controls itself.
bool ApplyTexture(bool textureOn, TOndrelWallpaper& wallpaper, HBITMAP texture);

// A lowered panel whose text, too long for it, loses its middle
// ("C:\...\a.jpg") rather than both ends.
class TStatusPanel : public fw::TPanel {
public:
  explicit TStatusPanel(fw::TComponent* owner) : fw::TPanel(owner) {}

protected:
  void Paint(fw::TCanvas& c) override;
};

// The progress display of a run: texts, bar and error-list lines are kept
// and handed to the controls at most every kInterval, and the messages are
// let through as often, so a run over 100,000 files is not spent
// repainting. Whatever is pending is shown by Flush, which the dialogs call
// before anything else reaches the screen and after each run.
class TRunDisplay {
public:
  static constexpr std::chrono::milliseconds kInterval{15};

  TRunDisplay(fw::TLabel& status, fw::TProgressBar& bar, fw::TPanel& panel, fw::TMemo* memo = nullptr)
      : m_status(status), m_bar(bar), m_panel(panel), m_memo(memo) {}

  void SetLabelStatus(const std::string& text);
  void SetPanelStatus(const std::string& text);
  void SetProgressRange(int64_t min, int64_t max);
  void SetProgressPosition(int64_t position);
  void AppendMemoLine(const std::string& line);
  void ClearMemo();
  // Shows what is pending and lets the messages through when the interval
  // has passed since the last time.
  void Pump();
  void Flush();

private:
  fw::TLabel& m_status;
  fw::TProgressBar& m_bar;
  fw::TPanel& m_panel;
  fw::TMemo* m_memo;
  std::string m_statusText, m_panelText, m_memoLines;
  bool m_statusDirty = false, m_panelDirty = false, m_positionDirty = false;
  int64_t m_position = 0;
  std::chrono::steady_clock::time_point m_last{};
};

// "program" "argument", each quoted so blanks in paths (the default report
// folder holds one) do not split them; quotes already around program are
// dropped first.
std::string QuotedCommandLine(const std::string& program, const std::string& argument);
// Starts program on argument in a normal window; false when it could not
// be started.
bool StartProgram(const std::string& program, const std::string& argument);
// Tests replace the starting itself (the command line is handed over); an
// empty function goes back to starting processes.
void SetProgramStarter(std::function<bool(const std::string& commandLine)> starter);

// The Windows directory's Notepad, the default report editor.
std::string DefaultEditor();
// A file (not a folder) is at path.
bool FileExistsAt(const std::string& path);

}  // namespace qv::app
