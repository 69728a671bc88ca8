// The range error of the spin edit and the slider: the string-table text
// 65310 "La valeur doit être comprise entre %d et %d" filled with the two
// limits, and how an error that no caller can catch (leaving an edit) is
// shown: the framework's MessageDlg, or a display that tests put in.
// Example:  throw ERangeError(RangeErrorText("1", "10"));
// Main thread only. Tested by tests/controls/edits/QxSpinEdit_test.cpp.
#pragma once

#include <functional>
#include <string>

#include "framework/Exception.h"

namespace qv::controls {

constexpr unsigned kRangeErrorTextId = 65310;

class ERangeError : public qv::fw::EQvError {
public:
  explicit ERangeError(const std::string& message) : EQvError(message) {}
};

// The text with its two "%d" replaced by low and high (the program's
// string table, or the same French text when it is not linked in).
std::string RangeErrorText(const std::string& low, const std::string& high);

using TRangeErrorDisplay = std::function<void(const std::string& message)>;
// Replaces the display (an empty one restores MessageDlg); returns the old.
TRangeErrorDisplay SetRangeErrorDisplay(TRangeErrorDisplay display);
void ShowRangeError(const std::string& message);

}  // namespace qv::controls
