// The range error text and its display.
#include "services/QxRangeError.h"

#include "framework/Format.h"
#include "framework/MessageDialog.h"

namespace qv::controls {

namespace {

TRangeErrorDisplay& Display() {
  static TRangeErrorDisplay display;
  return display;
}

}  // namespace

std::string RangeErrorText(const std::string& low, const std::string& high) {
  std::string pattern = qv::fw::LoadStr(kRangeErrorTextId);
  if (pattern.empty()) pattern = "La valeur doit être comprise entre %d et %d";
  std::string out;
  int filled = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 'd' && filled < 2) {
      out += filled++ == 0 ? low : high;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

TRangeErrorDisplay SetRangeErrorDisplay(TRangeErrorDisplay display) {
  TRangeErrorDisplay old = std::move(Display());
  Display() = std::move(display);
  return old;
}

void ShowRangeError(const std::string& message) {
  if (Display()) Display()(message);
  else qv::fw::MessageDlg(message, qv::fw::TMsgDlgType::Error, qv::fw::mbOK);
}

}  // namespace qv::controls
