// File-system tests of the input controls.
// Tested by tests/services/QxNotify_test.cpp.
#pragma once

#include <windows.h>

#include <string>

namespace qv::controls {

// True when the name (cp1252) is an existing folder.
inline bool FolderExists(const std::string& name) {
  const DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace qv::controls
