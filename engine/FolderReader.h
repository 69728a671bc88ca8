// What a folder scan needs from the system, as an interface: the folder's
// entries (in directory order) and the shell's type name of a file. The
// Win32 side implements it over FindFirstFileExW and SHGetFileInfoW
// (engine/win32/Win32FolderReader.h); tests use an in-memory fake.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace qv::engine {

// Attribute bits of the file system (FILE_ATTRIBUTE_*).
inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrSystem = 0x04;
inline constexpr uint32_t kAttrVolume = 0x08;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;

// One directory entry, as the system gives it.
struct TFolderEntry {
  std::u16string Name;       // exact UTF-16 long name
  std::u16string ShortName;  // 8.3 alternate name, empty when none
  uint32_t Attributes = 0;
  uint64_t Size = 0;
  int64_t Created = 0;  // UTC file times (100-ns since 1601)
  int64_t Accessed = 0;
  int64_t Modified = 0;
};

// The lower-cased extension of a name ("" when it has none): the key of the
// caches kept per extension (type names, icons).
std::u16string ExtensionKey(const std::u16string& name);

class IFolderReader {
public:
  virtual ~IFolderReader() = default;
  // Calls onEntry for every entry of the folder ("." and ".." included or
  // not, directories included); false when the folder cannot be searched.
  virtual bool ReadFolder(const std::u16string& folder, const std::function<void(const TFolderEntry&)>& onEntry) = 0;
  // The shell's type name for a file of this name (cp1252, at most 80
  // characters; empty when unknown). Called once per distinct extension.
  virtual std::string TypeName(const std::u16string& fileName) = 0;
};

}  // namespace qv::engine
