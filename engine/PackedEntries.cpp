// Packed folder entries; see PackedEntries.h.
#include "engine/PackedEntries.h"

#include <cstring>

namespace qv::engine {

namespace {

// Each entry: this head, then the name and the short name (UTF-16 units),
// padded to 8 bytes.
struct Head {
  uint32_t attributes;
  uint32_t nameLength;
  uint32_t shortLength;
  uint32_t unused;
  uint64_t size;
  int64_t created, accessed, modified;
};

size_t Padded(size_t n) { return (n + 7) & ~size_t{7}; }

size_t EntryBytes(size_t nameLength, size_t shortLength) {
  return Padded(sizeof(Head) + (nameLength + shortLength) * sizeof(char16_t));
}

}  // namespace

void TPackedEntries::Add(const TFolderEntry& e) {
  const size_t need = EntryBytes(e.Name.size(), e.ShortName.size());
  if (m_chunks.empty() || m_chunks.back().capacity - m_chunks.back().used < need) {
    Chunk c;
    // A name longer than a chunk (never from a real folder) gets one of its own.
    c.capacity = need > kChunk ? need : kChunk;
    c.bytes = std::make_unique<unsigned char[]>(c.capacity);
    m_chunks.push_back(std::move(c));
  }
  Chunk& c = m_chunks.back();
  unsigned char* p = c.bytes.get() + c.used;
  const Head h{e.Attributes,
               static_cast<uint32_t>(e.Name.size()),
               static_cast<uint32_t>(e.ShortName.size()),
               0,
               e.Size,
               e.Created,
               e.Accessed,
               e.Modified};
  std::memcpy(p, &h, sizeof h);
  p += sizeof h;
  std::memcpy(p, e.Name.data(), e.Name.size() * sizeof(char16_t));
  p += e.Name.size() * sizeof(char16_t);
  std::memcpy(p, e.ShortName.data(), e.ShortName.size() * sizeof(char16_t));
  c.used += need;
  ++m_count;
}

void TPackedEntries::Drain(const std::function<void(const TFolderEntry&)>& onEntry) {
  // Emptied whatever happens: a chunk already read is gone.
  struct ClearAfter {
    TPackedEntries& entries;
    ~ClearAfter() { entries.Clear(); }
  } clearAfter{*this};
  TFolderEntry e;
  for (Chunk& c : m_chunks) {
    for (size_t at = 0; at < c.used;) {
      const unsigned char* p = c.bytes.get() + at;
      Head h;
      std::memcpy(&h, p, sizeof h);
      p += sizeof h;
      e.Name.resize(h.nameLength);
      std::memcpy(e.Name.data(), p, h.nameLength * sizeof(char16_t));
      p += h.nameLength * sizeof(char16_t);
      e.ShortName.resize(h.shortLength);
      std::memcpy(e.ShortName.data(), p, h.shortLength * sizeof(char16_t));
      e.Attributes = h.attributes;
      e.Size = h.size;
      e.Created = h.created;
      e.Accessed = h.accessed;
      e.Modified = h.modified;
      at += EntryBytes(h.nameLength, h.shortLength);
      onEntry(e);
    }
    c.bytes.reset();
  }
}

void TPackedEntries::Clear() {
  m_chunks.clear();
  m_count = 0;
}

}  // namespace qv::engine
