// What the shell folder controls rest on: item identifier lists (PIDLs)
// made and freed through the shell allocator, display names, system icon
// indexes and image lists, and the folder data each tree node carries
// (counted, so a leak is seen at the end of the program).
//
//   TPidl abs(JoinItemIdLists(parentAbs, child));   // freed with abs
//   std::string name = StrRetToText(folder, child, TDisplayNameKind::Normal);
//
// Main thread only (the allocator and the counter are module state).
// Tested by tests/controls/shell/ShellItems_test.cpp.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "framework/Exception.h"
#include "framework/ImageList.h"

namespace qv::controls {

// --- Item identifier lists. Every list made here comes from the shell
// allocator and goes back to it; null stands for "no item".

// Sum of the identifiers' byte counts plus the two-byte terminator; 0 for null.
UINT ItemIdListSize(LPCITEMIDLIST pidl);
// size bytes, zero-filled; null when the allocation fails.
LPITEMIDLIST AllocItemIdList(UINT size);
// Frees and sets the variable to null.
void FreeItemIdList(LPITEMIDLIST& pidl);
// first (may be null) followed by second, as one new list.
LPITEMIDLIST JoinItemIdLists(LPCITEMIDLIST first, LPCITEMIDLIST second);
// A copy of the whole list; null for null.
LPITEMIDLIST CopyItemIdList(LPCITEMIDLIST pidl);
// The identifier after the first one (the terminator for the last one);
// null when pidl is null or already the terminator.
LPITEMIDLIST NextItemId(LPCITEMIDLIST pidl);
// A new list holding only the first identifier.
LPITEMIDLIST CopyFirstItemId(LPCITEMIDLIST pidl);

// Owns one list; move-only.
class TPidl {
public:
  TPidl() = default;
  explicit TPidl(LPITEMIDLIST pidl) : m_pidl(pidl) {}
  ~TPidl() { FreeItemIdList(m_pidl); }
  TPidl(TPidl&& o) noexcept : m_pidl(o.Release()) {}
  TPidl& operator=(TPidl&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }
  TPidl(const TPidl&) = delete;
  TPidl& operator=(const TPidl&) = delete;

  LPITEMIDLIST Get() const { return m_pidl; }
  explicit operator bool() const { return m_pidl != nullptr; }
  LPITEMIDLIST Release() {
    LPITEMIDLIST p = m_pidl;
    m_pidl = nullptr;
    return p;
  }
  void Reset(LPITEMIDLIST pidl = nullptr) {
    FreeItemIdList(m_pidl);
    m_pidl = pidl;
  }

private:
  LPITEMIDLIST m_pidl = nullptr;
};

// A list the shell made (ParseDisplayName, EnumObjects, ...), counted as
// made here so the leak count below covers it.
TPidl AdoptItemIdList(LPITEMIDLIST fromShell);
// Lists made or adopted here and not yet freed (leak checks).
int LiveItemIdLists();

// The computer folder's list, fetched once (null when the shell has none).
LPCITEMIDLIST DrivesItemIdList();

// --- Names and icons

enum class TDisplayNameKind { Normal = 0, InFolder = 1, ForParsing = 2 };

// The item's display name in the ANSI code page; empty when the shell fails.
std::string StrRetToText(IShellFolder* folder, LPCITEMIDLIST relative, TDisplayNameKind kind);
// The text of a STRRET the shell returned for relative (freed here).
std::string StrRetText(STRRET& sr, LPCITEMIDLIST relative);
// SHGetFileInfo's icon index for an absolute list; -1 when it fails.
int ItemIconIndex(LPCITEMIDLIST absolute, UINT flags);
// The small icon, closed and open.
void ItemIconIndexes(LPCITEMIDLIST absolute, int& normal, int& open);
// Hands the shell's small system image list to images as a shared list.
bool LoadSystemImageList(fw::TImageList& images, bool large = false);
// The file-system path of an absolute list; empty outside the file system.
std::string ItemPath(LPCITEMIDLIST absolute);
// An ANSI text (the process's code page) in the UTF-16 the shell parses.
std::wstring AnsiToWide(const std::string& s);

// --- Folder data of one tree node

// Counts itself: the program must have freed every one by its end.
class TFolderItemData {
public:
  // Takes the folder (AddRef) and both lists (freed with the object).
  TFolderItemData(IShellFolder* parentFolder, LPITEMIDLIST relative, LPITEMIDLIST absolute, ULONG attributes);
  ~TFolderItemData();
  TFolderItemData(const TFolderItemData&) = delete;
  TFolderItemData& operator=(const TFolderItemData&) = delete;

  bool Populated = false;
  IShellFolder* ParentFolder() const { return m_folder; }
  LPCITEMIDLIST Relative() const { return m_relative; }
  LPCITEMIDLIST Absolute() const { return m_absolute; }
  ULONG Attributes = 0;
  int Spare1 = 0, Spare2 = 0;
  // After a rename: the new relative list, and the absolute one rebuilt.
  void ReplaceItemIdLists(LPITEMIDLIST relative, LPITEMIDLIST absolute);

  // Objects alive now.
  static int Count();

private:
  IShellFolder* m_folder;
  LPITEMIDLIST m_relative;
  LPITEMIDLIST m_absolute;
};

class ELeaking : public fw::EQvError {
public:
  using fw::EQvError::EQvError;
};

class ENoFolderData : public fw::EQvError {
public:
  using fw::EQvError::EQvError;
};

inline constexpr char kLeakMessage[] = "Memory Leak Detected.  Not all folder data was freed.";
inline constexpr char kNoFolderDataMessage[] = "Could not get folder data.";

// Raises ELeaking when folder data is still alive. The module's end runs
// the same check but only reports (an exception there would end the
// program without unwinding).
void CheckFolderDataLeaks();

// COM with OLE on the calling (main) thread for the context menus, once;
// undone at the module's end.
void EnsureOleInitialized();

}  // namespace qv::controls
