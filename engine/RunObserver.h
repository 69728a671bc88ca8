// What the runs show and ask while they work, as an interface: the rename
// dialog and the simulation dialog implement it over their controls (the
// component names are in the comments), tests with recording fakes. The
// runs know no window; every method has a do-nothing default so each
// dialog implements only the controls it has.
// Used by engine/Runs.h and engine/Simulation.h.
#pragma once

#include <cstdint>
#include <string>

namespace qv::engine {

enum class TRunButton { Non, Oui, Undo, Arreter, Fermer, Rapport };

// The rename dialog's parameter labels (LabelDirectory ... LabelAttribut),
// which the report header repeats.
enum class THeaderField { Directory, NbFiles, Modele, Date, Time, Attribut };

class IRunObserver {
public:
  virtual ~IRunObserver() = default;

  // ---- Progress and texts ----
  virtual void SetProgressRange(int64_t /*min*/, int64_t /*max*/) {}  // ProgressBar
  virtual void SetProgressPosition(int64_t /*position*/) {}
  virtual void SetLabelStatus(const std::string& /*text*/) {}  // LabelStatus
  virtual void SetPanelStatus(const std::string& /*text*/) {}  // PanelStatus
  virtual void SetMainStatus(const std::string& /*text*/) {}   // main window's status panel 0

  // ---- Buttons (BtnNon ... BtnRapport) and the report controls ----
  virtual void SetButton(TRunButton /*button*/, bool /*visible*/, bool /*enabled*/) {}
  // CheckRapport, LabelRapport and EditRapport (greyed when disabled).
  virtual void SetReportControlsEnabled(bool /*enabled*/) {}

  // ---- Parameter labels of the rename dialog ----
  virtual std::string HeaderText(THeaderField /*field*/) { return {}; }
  // A run that replaces an unparseable date or time shows the replacement.
  virtual void SetHeaderText(THeaderField /*field*/, const std::string& /*text*/) {}

  // ---- The simulation's error list (Memo) ----
  virtual void ClearMemo() {}
  virtual void SetMemoEnabled(bool /*enabled*/) {}
  virtual void AppendMemoLine(const std::string& /*line*/) {}  // appends, never re-sets the text
  virtual void MemoCaretToStart() {}

  // ---- Stop request (FStopRequested) and message pumping ----
  // Polled before each file.
  virtual bool StopRequested() { return false; }
  virtual void ClearStopRequest() {}
  // Called after every file so the dialog repaints and its stop button works.
  virtual void ProcessMessages() {}

  // ---- Messages to the user (information, OK; error, OK) ----
  virtual void ShowInformation(const std::string& /*text*/) {}
  virtual void ShowError(const std::string& /*text*/) {}
};

}  // namespace qv::engine
