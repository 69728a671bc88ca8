// Item identifier lists, names, icons and folder data of the shell controls.
#include "controls/shell/ShellItems.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

namespace qv::controls {

namespace {

// Module state: the shell allocator, the counters, the computer folder's
// list and OLE, set up on first use (on the main thread) and undone when
// the program ends.
struct TShellModule {
  IMalloc* Malloc = nullptr;
  int LiveLists = 0;
  int FolderData = 0;
  LPITEMIDLIST Drives = nullptr;
  bool DrivesFetched = false;
  bool OleStarted = false;

  IMalloc* Allocator() {
    if (!Malloc && FAILED(SHGetMalloc(&Malloc))) Malloc = nullptr;
    return Malloc;
  }

  ~TShellModule() {
    if (FolderData > 0) {
      // Raising here would terminate the program; say it where a
      // developer looks instead.
      OutputDebugStringA(kLeakMessage);
      std::fprintf(stderr, "%s\n", kLeakMessage);
    }
    if (Drives && Malloc) Malloc->Free(Drives);
    if (Malloc) Malloc->Release();
    if (OleStarted) OleUninitialize();
  }
};

TShellModule& Module() {
  static TShellModule module;
  return module;
}

}  // namespace

// --- Item identifier lists

UINT ItemIdListSize(LPCITEMIDLIST pidl) {
  if (!pidl) return 0;
  UINT size = 0;
  const BYTE* p = reinterpret_cast<const BYTE*>(pidl);
  for (;;) {
    USHORT cb;
    std::memcpy(&cb, p + size, sizeof cb);
    if (cb == 0) break;
    size += cb;
  }
  return size + sizeof(USHORT);
}

LPITEMIDLIST AllocItemIdList(UINT size) {
  IMalloc* m = Module().Allocator();
  if (!m || size == 0) return nullptr;
  auto* p = static_cast<LPITEMIDLIST>(m->Alloc(size));
  if (!p) return nullptr;
  std::memset(p, 0, size);
  ++Module().LiveLists;
  return p;
}

void FreeItemIdList(LPITEMIDLIST& pidl) {
  if (!pidl) return;
  if (IMalloc* m = Module().Allocator()) m->Free(pidl);
  --Module().LiveLists;
  pidl = nullptr;
}

TPidl AdoptItemIdList(LPITEMIDLIST fromShell) {
  if (fromShell) ++Module().LiveLists;
  return TPidl(fromShell);
}

int LiveItemIdLists() { return Module().LiveLists; }

LPITEMIDLIST JoinItemIdLists(LPCITEMIDLIST first, LPCITEMIDLIST second) {
  const UINT size1 = first ? ItemIdListSize(first) - sizeof(USHORT) : 0;
  const UINT size2 = ItemIdListSize(second);
  // A null second list still ends the result.
  const UINT total = size1 + (size2 ? size2 : sizeof(USHORT));
  LPITEMIDLIST out = AllocItemIdList(total);
  if (!out) return nullptr;
  BYTE* p = reinterpret_cast<BYTE*>(out);
  if (size1) std::memcpy(p, first, size1);
  if (size2) std::memcpy(p + size1, second, size2);
  return out;
}

LPITEMIDLIST CopyItemIdList(LPCITEMIDLIST pidl) {
  const UINT size = ItemIdListSize(pidl);
  if (size == 0) return nullptr;
  LPITEMIDLIST out = AllocItemIdList(size);
  if (out) std::memcpy(out, pidl, size);
  return out;
}

LPITEMIDLIST NextItemId(LPCITEMIDLIST pidl) {
  if (!pidl) return nullptr;
  USHORT cb;
  std::memcpy(&cb, pidl, sizeof cb);
  if (cb == 0) return nullptr;
  return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(reinterpret_cast<const BYTE*>(pidl) + cb));
}

LPITEMIDLIST CopyFirstItemId(LPCITEMIDLIST pidl) {
  if (!pidl) return nullptr;
  USHORT cb;
  std::memcpy(&cb, pidl, sizeof cb);
  LPITEMIDLIST out = AllocItemIdList(cb + sizeof(USHORT));
  if (out) std::memcpy(out, pidl, cb);
  return out;
}

LPCITEMIDLIST DrivesItemIdList() {
  TShellModule& m = Module();
  if (!m.DrivesFetched) {
    m.DrivesFetched = true;
    LPITEMIDLIST p = nullptr;
    // Owned by the module for the whole run: not part of the live count.
    if (m.Allocator() && SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &p))) m.Drives = p;
  }
  return m.Drives;
}

// --- Names and icons

std::wstring AnsiToWide(const std::string& s) {
  const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n > 0 ? n : 1), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), n);
  w.resize(w.size() - 1);
  return w;
}

std::string StrRetText(STRRET& sr, LPCITEMIDLIST relative) {
  switch (sr.uType) {
    case STRRET_WSTR: {
      std::string out;
      if (sr.pOleStr) {
        const int n = WideCharToMultiByte(CP_ACP, 0, sr.pOleStr, -1, nullptr, 0, nullptr, nullptr);
        if (n > 1) {
          out.resize(static_cast<size_t>(n));
          WideCharToMultiByte(CP_ACP, 0, sr.pOleStr, -1, out.data(), n, nullptr, nullptr);
          out.resize(static_cast<size_t>(n - 1));
        }
        CoTaskMemFree(sr.pOleStr);
        sr.pOleStr = nullptr;
      }
      return out;
    }
    case STRRET_OFFSET: {
      // Kept inside the list: an offset the shell got wrong must not read past it.
      const UINT size = ItemIdListSize(relative);
      if (sr.uOffset >= size) return {};
      const char* text = reinterpret_cast<const char*>(relative) + sr.uOffset;
      return std::string(text, strnlen(text, size - sr.uOffset));
    }
    case STRRET_CSTR:
      return std::string(sr.cStr, strnlen(sr.cStr, sizeof sr.cStr));
    default:
      return {};
  }
}

std::string StrRetToText(IShellFolder* folder, LPCITEMIDLIST relative, TDisplayNameKind kind) {
  if (!folder || !relative) return {};
  static constexpr SHGDNF flags[] = {SHGDN_NORMAL, SHGDN_INFOLDER, SHGDN_FORPARSING};
  STRRET sr{};
  if (FAILED(folder->GetDisplayNameOf(relative, flags[static_cast<int>(kind)], &sr))) return {};
  return StrRetText(sr, relative);
}

int ItemIconIndex(LPCITEMIDLIST absolute, UINT flags) {
  if (!absolute) return -1;
  SHFILEINFOA info{};
  if (!SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &info, sizeof info, flags)) return -1;
  return info.iIcon;
}

void ItemIconIndexes(LPCITEMIDLIST absolute, int& normal, int& open) {
  normal = ItemIconIndex(absolute, SHGFI_SYSICONINDEX | SHGFI_PIDL | SHGFI_SMALLICON);
  open = ItemIconIndex(absolute, SHGFI_SYSICONINDEX | SHGFI_PIDL | SHGFI_SMALLICON | SHGFI_OPENICON);
}

bool LoadSystemImageList(fw::TImageList& images, bool large) {
  SHFILEINFOA info{};
  auto list = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoA("", 0, &info, sizeof info, SHGFI_SYSICONINDEX | (large ? 0u : SHGFI_SMALLICON)));
  if (!list) return false;
  // Shared: the shell's list serves every program and is never destroyed here.
  images.Attach(list, fw::TImageListOwnership::Shared);
  ImageList_SetBkColor(list, CLR_NONE);
  return true;
}

std::string ItemPath(LPCITEMIDLIST absolute) {
  if (!absolute) return {};
  char path[MAX_PATH] = {};
  if (!SHGetPathFromIDListA(absolute, path)) return {};
  return path;
}

// --- Folder data

TFolderItemData::TFolderItemData(IShellFolder* parentFolder, LPITEMIDLIST relative, LPITEMIDLIST absolute,
                                 ULONG attributes)
    : Attributes(attributes), m_folder(parentFolder), m_relative(relative), m_absolute(absolute) {
  if (m_folder) m_folder->AddRef();
  ++Module().FolderData;
}

TFolderItemData::~TFolderItemData() {
  FreeItemIdList(m_relative);
  FreeItemIdList(m_absolute);
  if (m_folder) m_folder->Release();
  --Module().FolderData;
}

void TFolderItemData::ReplaceItemIdLists(LPITEMIDLIST relative, LPITEMIDLIST absolute) {
  FreeItemIdList(m_relative);
  FreeItemIdList(m_absolute);
  m_relative = relative;
  m_absolute = absolute;
}

int TFolderItemData::Count() { return Module().FolderData; }

void CheckFolderDataLeaks() {
  if (Module().FolderData > 0) throw ELeaking(kLeakMessage);
}

void EnsureOleInitialized() {
  TShellModule& m = Module();
  if (m.OleStarted) return;
  // S_FALSE (already initialised on this thread) still needs its
  // matching uninitialise.
  m.OleStarted = SUCCEEDED(OleInitialize(nullptr));
}

}  // namespace qv::controls
