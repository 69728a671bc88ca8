// FILETIME and the engine's 64-bit file times (100-ns units since 1601),
// and the two halves the system gives of a 64-bit count.
#pragma once

#include <windows.h>

#include <cstdint>

namespace qv::engine::win32 {

inline uint64_t Join64(DWORD high, DWORD low) { return (uint64_t{high} << 32) | low; }

inline int64_t Ticks(const FILETIME& ft) { return static_cast<int64_t>(Join64(ft.dwHighDateTime, ft.dwLowDateTime)); }

inline FILETIME ToFileTime(int64_t t) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(t) & 0xFFFFFFFFu);
  ft.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(t) >> 32);
  return ft;
}

}  // namespace qv::engine::win32
