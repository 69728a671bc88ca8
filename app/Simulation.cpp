// Handlers of the simulation dialog.
#include "app/Simulation.h"

#include "engine/Simulation.h"
#include "engine/win32/SystemHelpers.h"

namespace qv::app {

using namespace qv::fw;
namespace eng = qv::engine;

TSimulation::TSimulation(TComponent* owner, IRunHost& host, eng::TRunContext& ctx)
    : TForm(owner, "TSimulation"), m_host(host), m_ctx(ctx) {
  BuildLayout();
  m_display = std::make_unique<TRunDisplay>(*LabelStatus, *ProgressBar, *PanelStatus, Memo);
  FinishCreate();
}

TSimulation::~TSimulation() = default;

void TSimulation::FormCreate(TComponent&) {
  PlaceDialog(*this, m_host.DialogPlacement());
  ApplyTexture(m_ctx.Options.Texture, *WallpaperSim, m_host.TextureSource());
}

void TSimulation::FormShow(TComponent&) {
  if (!m_started) Timer->SetEnabled(true);
}

void TSimulation::TimerTimer(TComponent&) {
  Timer->SetEnabled(false);
  if (m_started) return;
  m_started = true;
  m_running = true;
  HMENU system = GetSystemMenu(Handle(), FALSE);
  if (system) EnableMenuItem(system, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  try {
    eng::RunSimulation(m_ctx, *this);
  } catch (...) {
    MessageBeep(0);
  }
  m_display->Flush();
  // Whatever ended the simulation, the dialog can be closed.
  BtnArreter->SetEnabled(false);
  BtnFermer->SetEnabled(true);
  m_running = false;
  if (system) EnableMenuItem(system, SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
}

LRESULT TSimulation::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      // The simulation pumps this dialog's messages: closing it now would
      // free the dialog under the run.
      if (m_running) {
        MessageBeep(MB_OK);
        return 0;
      }
      break;
    case WM_SYSCOLORCHANGE:
      ApplyTexture(m_ctx.Options.Texture, *WallpaperSim, m_host.TextureSource());
      break;
    default:
      break;
  }
  return TForm::WndProc(msg, wp, lp);
}

bool TSimulation::DialogKey(WORD key) {
  if (key != VK_ESCAPE) return TForm::DialogKey(key);
  if (m_running)
    MessageBeep(MB_OK);
  else if (BtnFermer->Enabled())
    BtnFermer->Click();
  return true;
}

void TSimulation::FormCloseQuery(TComponent&, bool& canClose) { canClose = !m_running; }

void TSimulation::BtnArreterClick(TComponent&) {
  const int answer = eng::ShowMessageWithSound("\r\nVoulez-vous arrêter la simulation en cours ?",
                                               eng::mtConfirmation, eng::mbYesNo, 0);
  FStopRequested = answer == IDYES;
}

void TSimulation::BtnFermerClick(TComponent&) {
  if (!m_running) Close();
}

// ---- What the simulation shows ----------------------------------------------------

void TSimulation::SetButton(eng::TRunButton button, bool visible, bool enabled) {
  m_display->Flush();
  TOndrelGradientButton* b = button == eng::TRunButton::Arreter  ? BtnArreter
                             : button == eng::TRunButton::Fermer ? BtnFermer
                                                                 : nullptr;
  if (!b) return;
  b->SetVisible(visible);
  b->SetEnabled(enabled);
}

void TSimulation::SetMemoEnabled(bool enabled) {
  m_display->Flush();
  Memo->SetEnabled(enabled);
}

void TSimulation::MemoCaretToStart() {
  m_display->Flush();
  Memo->SetSelection(0, 0);
  if (Memo->HandleAllocated()) SendMessageA(Memo->HandleIfAllocated(), EM_SCROLLCARET, 0, 0);
}

void TSimulation::SetMainStatus(const std::string& text) { m_host.SetMainStatus(text); }

void TSimulation::ShowInformation(const std::string& text) {
  m_display->Flush();
  eng::ShowMessageWithSound(text, eng::mtInformation, eng::mbOK, 0);
}

void TSimulation::ShowError(const std::string& text) {
  m_display->Flush();
  eng::ShowMessageWithSound(text, eng::mtError, eng::mbOK, 0);
}

}  // namespace qv::app
