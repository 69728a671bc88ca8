// TQvExCustomEdit: the framework's edit under the wrapper scheme of
// QvExControls.h, plus a gate on the clipboard commands: a command left out
// of ClipboardCommands is refused (result 1) before the edit sees it.
// Example:  edit.SetClipboardCommands(caCopy | caPaste);  // no cut, clear or undo
// Main thread only. Tested by tests/controls/edits/QvEdit_test.cpp.
#pragma once

#include "controls/status/QvExControls.h"
#include "framework/StdCtrls.h"

namespace qv::controls {

enum TQvClipboardCommand : unsigned {
  caCopy = 1u << 0,
  caCut = 1u << 1,
  caPaste = 1u << 2,
  caClear = 1u << 3,
  caUndo = 1u << 4,
};
using TQvClipboardCommands = unsigned;
constexpr TQvClipboardCommands kAllClipboardCommands = caCopy | caCut | caPaste | caClear | caUndo;

// The command a clipboard message needs (0 for any other message).
TQvClipboardCommands ClipboardCommandOf(UINT msg);

class TQvExCustomEdit : public TQvExControl<qv::fw::TCustomEdit> {
public:
  explicit TQvExCustomEdit(qv::fw::TComponent* owner);

  TQvClipboardCommands ClipboardCommands() const { return m_clipboardCommands; }
  virtual void SetClipboardCommands(TQvClipboardCommands commands) { m_clipboardCommands = commands; }

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  // True when msg is a clipboard command this edit does not allow.
  bool ClipboardRefused(UINT msg) const;

private:
  TQvClipboardCommands m_clipboardCommands = kAllClipboardCommands;
};

}  // namespace qv::controls
