// Our own French message dialog ("TMessageForm"): an icon per kind, the
// text, and a row of buttons with the standard control IDs (OK 1, Cancel 2,
// Abort 3, Retry 4, Ignore 5, Yes 6, No 7, Help 9). The Help
// button asks the application for help and does not close the dialog.
// Buttons carry the names "Yes", "No", "OK", "Cancel", "Abort", "Retry",
// "Ignore", "All", "NoToAll", "YesToAll", "Help"; the text is the label
// "Message". Tested by tests/framework/MessageDialog_test.cpp.
#pragma once

#include <string>

namespace qv::fw {

enum class TMsgDlgType { Warning, Error, Information, Confirmation, Custom };

// Button sets as bit flags.
enum TMsgDlgBtn : unsigned {
  mbYes = 1u << 0, mbNo = 1u << 1, mbOK = 1u << 2, mbCancel = 1u << 3, mbAbort = 1u << 4, mbRetry = 1u << 5,
  mbIgnore = 1u << 6, mbAll = 1u << 7, mbNoToAll = 1u << 8, mbYesToAll = 1u << 9, mbHelp = 1u << 10
};
constexpr unsigned mbYesNo = mbYes | mbNo;
constexpr unsigned mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr unsigned mbOKCancel = mbOK | mbCancel;
constexpr unsigned mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;
constexpr unsigned mbAbortIgnore = mbAbort | mbIgnore;

// Shows the dialog modally; returns the modal result of the pressed button.
// Esc presses Cancel when there is one, else No, else OK, and does nothing
// in an Abort/Ignore question; the close box gives mrCancel.
int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons, int helpContext = 0);

// The caption the dialog uses for a kind ("Avertissement", "Erreur", ...).
std::string MessageDlgCaption(TMsgDlgType type);

// A one-line input box: true with the entered text when OK is pressed.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);

}  // namespace qv::fw
