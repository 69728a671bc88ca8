// What the dialogs' layout files share: a named control placed in one call,
// and a transparent label of text.
// Example: auto* b = Put<TButton>(*this, *this, "BtnOui", 10, 380, 80, 25);
#pragma once

#include <string>

#include "framework/StdCtrls.h"

namespace qv::app::layout {

template <class T>
T* Put(fw::TComponent& owner, fw::TWinControl& parent, const std::string& name, int l, int t, int w, int h) {
  T& c = owner.Make<T>(name);
  c.Place(&parent, l, t, w, h);
  return &c;
}

// Transparent: the dialogs' texture shows around the letters.
inline fw::TLabel* Words(fw::TComponent& owner, fw::TWinControl& parent, const std::string& name,
                         const std::string& text, int l, int t, int w, int h = 15) {
  auto* label = Put<fw::TLabel>(owner, parent, name, l, t, w, h);
  label->SetCaption(text);
  label->SetTransparent(true);
  return label;
}

}  // namespace qv::app::layout
