// The folders' spelling on disk, for file calls. Windows ignores letter case
// in paths, but Wine on a case-sensitive file system looks up every path
// component that differs from the disk by listing its parent folder, on every
// call (with a big parent, a GetFileAttributes costs 40 times more). The
// folder edit and the settings keep the folder as typed or lower-cased, so
// the file calls put a path's folders in the disk's spelling, found once per
// folder and remembered. The last component (a file name, maybe a new one)
// is never changed; components that do not exist stay as given.
// Tested by tests/engine/win32/DiskSpelling_test.cpp.
#pragma once

#include <optional>
#include <string>

namespace qv::engine::win32 {

// path with its folder part (before the last "\") in the disk's spelling.
std::u16string DiskPath(const std::u16string& path);
// folder with every component in the disk's spelling.
std::u16string DiskFolder(const std::u16string& folder);
// The name the entry at path has in its folder, exactly as the folder holds
// it; nullopt when there is none or path holds a wildcard (it would match
// other entries; the "?" of a "\\?\" prefix is none).
std::optional<std::u16string> EntryName(const std::u16string& path);
// Forgets the spellings found (a new scan: folders may have been renamed).
void ForgetDiskSpellings();

}  // namespace qv::engine::win32
