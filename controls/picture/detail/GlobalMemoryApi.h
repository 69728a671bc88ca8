// Internal to the GIF picture: the movable-memory calls its clipboard copy
// makes, kept in one table so tests can make them fail on purpose. Not for
// other users. Tested by tests/controls/picture/QxGifImage_test.cpp.
#pragma once

#include <windows.h>

namespace qv::controls::detail {

struct TGlobalMemoryApi {
  HGLOBAL(WINAPI* Alloc)(UINT flags, SIZE_T bytes);
  LPVOID(WINAPI* Lock)(HGLOBAL block);
  BOOL(WINAPI* Unlock)(HGLOBAL block);
  HGLOBAL(WINAPI* Free)(HGLOBAL block);
};

// The table in use; main thread only.
TGlobalMemoryApi& GlobalMemoryApi();
// The table of the real platform calls.
const TGlobalMemoryApi& PlatformGlobalMemoryApi();

}  // namespace qv::controls::detail
