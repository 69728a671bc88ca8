// TSimulation: the modal dialog of a dry run. Once its modal loop runs, a
// one-shot timer starts the engine's simulation, which lists in the memo
// every name a rename would fail on and touches no file; the stop button
// ends it early, the close button is enabled when it is over. While the
// simulation is on, the dialog cannot be closed (close box, Alt+F4 and Esc
// are refused).
// Layout: Simulation.layout.cpp. Tested by tests/app/dialogs/Simulation_test.cpp.
#pragma once

#include <memory>
#include <string>

#include "app/DialogSupport.h"
#include "app/OndrelGradientButton.h"
#include "app/OndrelWallpaper.h"
#include "app/RunRequests.h"
#include "engine/RunObserver.h"
#include "engine/Runs.h"
#include "framework/ExtCtrls.h"
#include "framework/Form.h"
#include "framework/StdCtrls.h"

namespace qv::app {

class TSimulation : public fw::TForm, public engine::IRunObserver {
public:
  // host and ctx outlive the dialog.
  TSimulation(fw::TComponent* owner, IRunHost& host, engine::TRunContext& ctx);
  ~TSimulation() override;

  // --- Controls (owned by the form; names as in the layout)
  TOndrelWallpaper* WallpaperSim = nullptr;
  fw::TLabel* Label1 = nullptr;
  fw::TLabel* Label15 = nullptr;
  fw::TMemo* Memo = nullptr;
  fw::TPanel* Panel2 = nullptr;
  fw::TLabel* LabelStatus = nullptr;
  fw::TProgressBar* ProgressBar = nullptr;
  TStatusPanel* PanelStatus = nullptr;
  TOndrelGradientButton* BtnArreter = nullptr;
  TOndrelGradientButton* BtnFermer = nullptr;
  fw::TTimer* Timer = nullptr;

  // FStopRequested: set by the stop button, polled by the simulation.
  bool FStopRequested = false;
  bool Running() const { return m_running; }

  // --- IRunObserver
  void SetProgressRange(int64_t min, int64_t max) override { m_display->SetProgressRange(min, max); }
  void SetProgressPosition(int64_t position) override { m_display->SetProgressPosition(position); }
  void SetLabelStatus(const std::string& text) override { m_display->SetLabelStatus(text); }
  void SetPanelStatus(const std::string& text) override { m_display->SetPanelStatus(text); }
  void SetMainStatus(const std::string& text) override;
  void SetButton(engine::TRunButton button, bool visible, bool enabled) override;
  void ClearMemo() override { m_display->ClearMemo(); }
  void SetMemoEnabled(bool enabled) override;
  void AppendMemoLine(const std::string& line) override { m_display->AppendMemoLine(line); }
  void MemoCaretToStart() override;
  bool StopRequested() override { return FStopRequested; }
  void ClearStopRequest() override { FStopRequested = false; }
  void ProcessMessages() override { m_display->Pump(); }
  void ShowInformation(const std::string& text) override;
  void ShowError(const std::string& text) override;

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  bool DialogKey(WORD key) override;

private:
  void BuildLayout();

  // --- Handlers
  void FormCreate(fw::TComponent& sender);
  void FormShow(fw::TComponent& sender);
  void FormCloseQuery(fw::TComponent& sender, bool& canClose);
  void BtnArreterClick(fw::TComponent& sender);
  void BtnFermerClick(fw::TComponent& sender);
  void TimerTimer(fw::TComponent& sender);

  IRunHost& m_host;
  engine::TRunContext& m_ctx;
  std::unique_ptr<TRunDisplay> m_display;
  bool m_running = false;
  bool m_started = false;
};

}  // namespace qv::app
