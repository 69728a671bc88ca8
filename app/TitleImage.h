// The title picture of the main window and of the about box: a GIF picture
// of the program's resources ("TITRE"), decoded when a window is built.
// Its lower-left pixel's colour is the see-through one, as for every
// picture the image controls draw transparently.
// Tested by tests/app/unit/TitleImage_test.cpp.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace qv::app {

// A bitmap the caller owns; null when the data is no picture.
HBITMAP DecodeGifPicture(const uint8_t* data, size_t size);
// The "TITRE" resource of the executable, decoded; null when absent.
HBITMAP LoadTitleImage();

}  // namespace qv::app
