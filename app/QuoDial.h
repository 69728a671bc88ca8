// TQuoDial: the modal dialog of a rename run. It shows the run's
// parameters and asks for confirmation, opens the report, shows the run's
// progress with a stop button, then offers undo, the report in the editor,
// and close. The rename request fills it (RunRequests.cpp); the runs are
// the engine's, which see the dialog as their IRunObserver. While a run is
// on, the dialog cannot be closed (close box, Alt+F4 and Esc are refused).
// Layout: QuoDial.layout.cpp. Tested by tests/app/dialogs/QuoDial_test.cpp.
#pragma once

#include <memory>
#include <string>

#include "app/DialogSupport.h"
#include "app/OndrelWallpaper.h"
#include "app/RunRequests.h"
#include "controls/buttons/QxSpeedButton.h"
#include "engine/Report.h"
#include "engine/RunObserver.h"
#include "engine/Runs.h"
#include "framework/ExtCtrls.h"
#include "framework/Form.h"
#include "framework/StdCtrls.h"

namespace qv::app {

class TQuoDial : public fw::TForm, public engine::IRunObserver {
public:
  // host and ctx outlive the dialog.
  TQuoDial(fw::TComponent* owner, IRunHost& host, engine::TRunContext& ctx);
  ~TQuoDial() override;

  // --- Controls (owned by the form; names as in the layout)
  TOndrelWallpaper* WallpaperDial = nullptr;
  fw::TLabel* Label1 = nullptr;
  fw::TLabel* Label2 = nullptr;
  fw::TPanel* Panel1 = nullptr;
  fw::TLabel* LabelDirectory = nullptr;
  fw::TLabel* LabelNbFiles = nullptr;
  fw::TLabel* LabelModele = nullptr;
  fw::TLabel* LabelDate = nullptr;
  fw::TLabel* LabelTime = nullptr;
  fw::TLabel* LabelAttribut = nullptr;
  fw::TPanel* Panel2 = nullptr;
  fw::TLabel* LabelStatus = nullptr;
  fw::TProgressBar* ProgressBar = nullptr;
  TStatusPanel* PanelStatus = nullptr;
  fw::TCheckBox* CheckRapport = nullptr;
  fw::TLabel* LabelRapport = nullptr;
  fw::TEdit* EditRapport = nullptr;
  controls::TQxSpeedButton* BtnOui = nullptr;
  controls::TQxSpeedButton* BtnNon = nullptr;
  controls::TQxSpeedButton* BtnArreter = nullptr;
  controls::TQxSpeedButton* BtnFermer = nullptr;
  controls::TQxSpeedButton* BtnRapport = nullptr;
  controls::TQxSpeedButton* BtnUndo = nullptr;

  // FStopRequested: set by the stop button, polled by the runs.
  bool FStopRequested = false;
  // A rename or undo run is on.
  bool Running() const { return m_running; }
  // The report's full path: "DirRapport" + "\" + the report name.
  std::string ReportFilePath() const;
  // The button a control stands for (tests, the run's button states).
  controls::TQxSpeedButton* Button(engine::TRunButton b) const;

  // --- IRunObserver
  void SetProgressRange(int64_t min, int64_t max) override { m_display->SetProgressRange(min, max); }
  void SetProgressPosition(int64_t position) override { m_display->SetProgressPosition(position); }
  void SetLabelStatus(const std::string& text) override { m_display->SetLabelStatus(text); }
  void SetPanelStatus(const std::string& text) override { m_display->SetPanelStatus(text); }
  void SetMainStatus(const std::string& text) override;
  void SetButton(engine::TRunButton button, bool visible, bool enabled) override;
  void SetReportControlsEnabled(bool enabled) override;
  std::string HeaderText(engine::THeaderField field) override;
  void SetHeaderText(engine::THeaderField field, const std::string& text) override;
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
  fw::TLabel* HeaderLabel(engine::THeaderField field) const;

  // --- Handlers
  void FormCreate(fw::TComponent& sender);
  void FormCloseQuery(fw::TComponent& sender, bool& canClose);
  void BtnOuiClick(fw::TComponent& sender);
  void BtnNonClick(fw::TComponent& sender);
  void BtnArreterClick(fw::TComponent& sender);
  void BtnFermerClick(fw::TComponent& sender);
  void CheckRapportClick(fw::TComponent& sender);
  void LabelRapportClick(fw::TComponent& sender);
  void BtnRapportClick(fw::TComponent& sender);
  void BtnUndoClick(fw::TComponent& sender);
  void EditRapportMouseDown(fw::TComponent& sender, fw::TMouseButton button, fw::TShiftState shift, int x, int y);
  void UpdateReportEditState();

  // Opens the report for a run, each refusal shown; false when the run
  // must not take place.
  bool OpenReportFor(engine::TOpenMode mode, std::unique_ptr<engine::TReportWriter>& report);
  enum class TRunKind { Rename, Undo };
  void Run(TRunKind kind, engine::TReportWriter* report);
  void RefuseClose();

  IRunHost& m_host;
  engine::TRunContext& m_ctx;
  std::unique_ptr<TRunDisplay> m_display;
  bool m_running = false;
};

}  // namespace qv::app
