// The ID3v2 reader's entry by UTF-16 path (any name): the file is opened
// once for reading, shared for reading, writing and deletion, so others may
// read, write, rename or delete it meanwhile. Windows only.
// Tested by tests/media/win32/Win32FileSource_test.cpp.
#pragma once

#include <string>

#include "media/ID3v2.h"

namespace qv::media {

// Resets the tag, then reads it from the file; false when the file cannot be
// opened or holds fewer than 10 bytes.
bool LoadId3v2Tag(TID3v2& tag, const std::wstring& path);

}  // namespace qv::media
