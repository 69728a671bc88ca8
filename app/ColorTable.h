// Colour tables of 16- and 256-colour pictures, read and written as RGB
// values (the texture and the slider thumb are recoloured through them),
// and the out-of-resources error their failures raise: the system's text
// for the last error, or "Ressources système insuffisantes".
// Example:  std::array<fw::TColor, 16> c{}; GetColorTable(bmp, c, 15, 0);
// Tested by tests/app/display/ColorTable_test.cpp.
#pragma once

#include <span>

#include "framework/Bitmap.h"
#include "framework/OSError.h"

namespace qv::app {

class EOutOfResources : public fw::EOSError {
public:
  using fw::EOSError::EOSError;
};

// Raises EOutOfResources for the calling thread's last error code.
[[noreturn]] void RaiseLastResourceError();

// value when it is not zero; zero raises through RaiseLastResourceError.
template <class T>
T CheckResourceResult(T value) {
  if (value == 0) RaiseLastResourceError();
  return value;
}

// Reads entries firstIndex .. firstIndex + lastIndex of the table into
// colours (as many as it holds) as RGB values; returns the number read.
// Nothing read (no table, indexes outside it) raises EOutOfResources.
int GetColorTable(fw::TBitmap& bitmap, std::span<fw::TColor> colours, int lastIndex, int firstIndex = 0);
// Writes colours[0 .. lastIndex] (as many as given; system colours
// resolved now) into the table from firstIndex; returns the number
// written. Nothing written raises EOutOfResources.
int SetColorTable(fw::TBitmap& bitmap, std::span<const fw::TColor> colours, int lastIndex, int firstIndex = 0);

}  // namespace qv::app
