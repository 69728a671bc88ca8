// Accelerator keys of controls that never take the focus ("&Renommer" on a
// painted button, a label that hands the focus to its edit). Alt+letter, or
// the letter alone while the focused control takes no characters (a button,
// not an edit or a list), is offered to the controls of the focused form in
// placement order; the first one that takes it ends the search, and the key
// is then not delivered as a character.
// Delivery needs no change to the message loop: a per-thread message filter
// reroutes candidate keys to a hidden window, which offers them outside the
// filter (so a handler may open a modal dialog) and hands untaken keys to
// their window unchanged. Menus in progress are left alone.
// Example:  class TMyButton : public TButtonControl, public TDialogCharTarget
//           { bool DialogChar(char key) override; };   // and EnableDialogChars()
// Tested by tests/app/display/GradientButtonAccel_test.cpp.
#pragma once

#include <string>

namespace qv::fw {

class TWinControl;

class TDialogCharTarget {
public:
  // True when the control acted on the key (it then counts as handled).
  virtual bool DialogChar(char key) = 0;

protected:
  ~TDialogCharTarget() = default;
};

// Installs the filter for the calling thread (once; later calls do nothing).
void EnableDialogChars();

// Offers key to root and the controls inside it, in placement order.
bool DispatchDialogChar(TWinControl& root, char key);

// True when key is the accelerator of caption ("&Fichier" and 'f' or 'F';
// "&&" is a literal ampersand).
bool IsAccel(char key, const std::string& caption);

}  // namespace qv::fw
