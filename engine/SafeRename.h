// One verified rename inside a folder: the result is what the disk shows,
// not what the system call said. A change of letter case only goes through
// a unique temporary name in the same folder (Wine answers a case-only
// MoveFile with success and changes nothing), and goes back to the old
// name when its second step fails.
// Tested by tests/engine/SafeRename_test.cpp.
#pragma once

#include <functional>
#include <string>

#include "engine/FileOps.h"

namespace qv::engine {

struct TRenameOutcome {
  TFileResult Result;     // ok: the file now has exactly the new name
  std::u16string LeftAt;  // not empty when the file is stranded under a
                          // temporary name (both the second step and the
                          // way back failed): the report must name it
  bool ok() const { return Result.ok(); }
};

// Renames folder\from to folder\to. An identical name is a success when
// the file is there. Never replaces another file.
//
// targetKnownFree: the caller knows that no entry held the new name (it
// listed the folder and follows its own renames). Then the new name on
// disk proves the rename; otherwise the old name must also be gone, a
// check that costs a scan of the whole folder under Wine.
//
// beforeTemporary: told the temporary name of a case-only change before
// the file takes it (the report records it there); false leaves the file
// alone and fails.
TRenameOutcome RenameVerified(IFileOps& fs, const std::u16string& folder, const std::u16string& from,
                              const std::u16string& to, bool targetKnownFree = false,
                              const std::function<bool(const std::u16string&)>& beforeTemporary = {});

// A name no entry of folder has, for the case-only step ("~qv0.tmp", ...).
std::u16string UniqueTemporaryName(IFileOps& fs, const std::u16string& folder);

}  // namespace qv::engine
