// The wrapped edit and its clipboard gate.
#include "controls/edits/QvExStdCtrls.h"

namespace qv::controls {

TQvClipboardCommands ClipboardCommandOf(UINT msg) {
  switch (msg) {
    case WM_CUT: return caCut;
    case WM_COPY: return caCopy;
    case WM_PASTE: return caPaste;
    case WM_CLEAR: return caClear;
    case WM_UNDO:
    case EM_UNDO: return caUndo;
    default: return 0;
  }
}

TQvExCustomEdit::TQvExCustomEdit(qv::fw::TComponent* owner) : TQvExControl<qv::fw::TCustomEdit>(owner) {
  SetHintColor(qv::fw::clDefault);
}

bool TQvExCustomEdit::ClipboardRefused(UINT msg) const {
  const TQvClipboardCommands needed = ClipboardCommandOf(msg);
  return needed && !(m_clipboardCommands & needed);
}

LRESULT TQvExCustomEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (ClipboardRefused(msg)) return 1;
  return TQvExControl<qv::fw::TCustomEdit>::WndProc(msg, wp, lp);
}

}  // namespace qv::controls
