// TPackedEntries: folder entries kept compactly for a later replay, the
// names inline in fixed-size chunks (no heap block per entry). Replayed
// once, in order, each chunk freed as soon as it has been read, so the
// replay and what it builds never hold two full copies of a large folder.
// Not thread-safe: filled by one thread, replayed after it has finished.
// Tested by tests/engine/PackedEntries_test.cpp.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "engine/FolderReader.h"

namespace qv::engine {

class TPackedEntries {
public:
  void Add(const TFolderEntry& e);
  size_t Count() const { return m_count; }
  // Calls onEntry for every entry in the order added, then holds none.
  void Drain(const std::function<void(const TFolderEntry&)>& onEntry);
  void Clear();

private:
  static constexpr size_t kChunk = 64 * 1024;
  struct Chunk {
    std::unique_ptr<unsigned char[]> bytes;
    size_t used = 0;
    size_t capacity = 0;
  };
  std::vector<Chunk> m_chunks;
  size_t m_count = 0;
};

}  // namespace qv::engine
