// Named shared memory, counted per name within this module: opening a name
// that is already open here gives the same view again, and the view is
// unmapped when the last open is closed.
// Example:  void* v = nullptr;  OpenNamedMapping(v, "Name", 16, FILE_MAP_ALL_ACCESS);  ...  CloseNamedMapping(v);
// Names are compared as the system compares them (case-sensitively). An
// open view is shared only with requests it can serve: one of at least the
// requested size whose access covers the requested access (a copy-on-write
// view serves only copy-on-write requests); any other request maps the
// section again. Thread-safe.
// Tested by tests/support/QcSharedMemory_test.cpp.
#pragma once

#include <windows.h>

#include <string>

namespace qv::controls {

// 0 when the mapping was created here, ERROR_ALREADY_EXISTS (183) when it
// existed (in this module or in the system). Raises ESharedMemError for an
// invalid name, or when a mapping that does not exist is asked for with
// size 0; the system's error when the mapping or its view cannot be made.
DWORD OpenNamedMapping(void*& view, const std::string& name, DWORD size, DWORD desiredAccess);
// Closes one open of the view and empties `view`: true when the view was
// open here (or `view` was already empty).
bool CloseNamedMapping(void*& view);

namespace detail {
// Raises ESharedMemError for a name the system cannot take: always for an
// empty one, and before Windows 2000 for one holding "\".
void CheckMappingName(const std::string& name, bool beforeWin2000);
// The page protection a new mapping gets for the access it is opened with.
DWORD MappingProtection(DWORD desiredAccess, bool win9x);
}  // namespace detail

}  // namespace qv::controls
