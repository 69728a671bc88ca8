// A folder reader over std::filesystem, portable, for listings with the
// exact names of a real folder where the Win32 reader is not at hand
// (native tests and benchmarks). Plain attributes: archive, or directory;
// every type name is "Fichier".
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <system_error>

#include "engine/FolderReader.h"

namespace qv::engine::testing {

class TDiskFolderReader final : public IFolderReader {
public:
  bool ReadFolder(const std::u16string& folder, const std::function<void(const TFolderEntry&)>& onEntry) override {
    std::error_code ec;
    for (const std::filesystem::directory_entry& d : std::filesystem::directory_iterator(folder, ec)) {
      TFolderEntry e;
      e.Name = d.path().filename().u16string();
      std::error_code sizeError;
      e.Size = d.is_regular_file(sizeError) ? d.file_size(sizeError) : 0;
      e.Attributes = d.is_directory(sizeError) ? kAttrDirectory : kAttrArchive;
      onEntry(e);
    }
    return !ec;
  }
  std::string TypeName(const std::u16string&) override { return "Fichier"; }
};

}  // namespace qv::engine::testing
