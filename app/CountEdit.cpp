// Count edit of the options dialog.
#include "app/CountEdit.h"

#include <algorithm>
#include <cctype>

namespace qv::app {

namespace {
int Clamp(int v) { return std::clamp(v, TCountEdit::kMin, TCountEdit::kMax); }
}  // namespace

TCountEdit::TCountEdit(fw::TComponent* owner) : fw::TEdit(owner) {
  SetMaxLength(2);
  SetAlignment(fw::TAlignment::RightJustify);
}

void TCountEdit::CreateParams(fw::TCreateParams& p) {
  fw::TEdit::CreateParams(p);
  p.Style |= ES_NUMBER;
}

int TCountEdit::Value() const {
  // Pasted text passes the digits-only style: read the digits it starts
  // with, and no more than fit the range.
  const std::string text = Text();
  int v = 0;
  for (size_t i = 0; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && v <= kMax; ++i)
    v = v * 10 + (text[i] - '0');
  return Clamp(v);
}

void TCountEdit::SetValue(int v) { SetText(std::to_string(Clamp(v))); }

void TCountEdit::DoExit() {
  const std::string shown = std::to_string(Value());
  if (Text() != shown) SetText(shown);
  fw::TEdit::DoExit();
}

}  // namespace qv::app
