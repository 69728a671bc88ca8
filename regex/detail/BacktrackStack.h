// Internal: the matcher's backtrack stack. Frames are a few 32-bit words
// with a tag word on top; the words live in chunks that are never moved,
// copied or zero-filled, so a search that goes a million choices deep grows
// the stack at the cost of writing its frames and nothing more.
// Covered by tests/regex/Matcher_test.cpp (long inputs).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace qv::regex::detail {

class TBacktrackStack {
public:
  // A tag holds a frame kind (4 bits) and a node offset or register (28).
  static constexpr std::uint32_t kFieldLimit = 1u << 28;
  static std::uint32_t Tag(std::uint32_t kind, std::int32_t field) {
    return kind << 28 | static_cast<std::uint32_t>(field);
  }
  static std::uint32_t KindOf(std::uint32_t tag) { return tag >> 28; }
  static std::int32_t FieldOf(std::uint32_t tag) { return static_cast<std::int32_t>(tag & (kFieldLimit - 1)); }

  // Room for a frame of n words (n <= 4), contiguous in one chunk.
  std::uint32_t* Grow(int n) {
    if (m_limit - m_top < n) NextChunk();
    std::uint32_t* at = m_top;
    m_top += n;
    return at;
  }
  void Push(std::uint32_t a, std::uint32_t tag) {
    std::uint32_t* w = Grow(2);
    w[0] = a;
    w[1] = tag;
  }
  void Push(std::uint32_t a, std::uint32_t b, std::uint32_t tag) {
    std::uint32_t* w = Grow(3);
    w[0] = a;
    w[1] = b;
    w[2] = tag;
  }
  void Push(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t tag) {
    std::uint32_t* w = Grow(4);
    w[0] = a;
    w[1] = b;
    w[2] = c;
    w[3] = tag;
  }

  // The tag of the top frame, after stepping back over emptied chunks;
  // false when the stack is empty.
  bool Top(std::uint32_t& tag) {
    while (m_top == m_base) {
      if (m_current == 0) return false;
      --m_current;
      Enter(m_chunks[m_current].savedTop);
    }
    tag = m_top[-1];
    return true;
  }
  // Removes the top frame of n words (Top() answered true); returns its words.
  const std::uint32_t* Pop(int n) {
    m_top -= n;
    return m_top;
  }

  bool Empty() const { return m_top == m_base && m_current == 0; }

  void Clear() {
    m_current = 0;
    if (m_chunks.empty()) {
      m_base = m_top = m_limit = nullptr;
    } else {
      Enter(m_chunks[0].words.get());
    }
  }
  // Frees the chunks beyond a small reserve, so an engine kept in a cache
  // does not hold the memory of one long search.
  void Trim() {
    if (m_grown) Shrink();
  }

private:
  void Shrink() {
    std::size_t kept = 0;
    std::size_t n = 0;
    while (n < m_chunks.size() && kept + m_chunks[n].size <= kKeptWords) kept += m_chunks[n++].size;
    m_chunks.resize(n == 0 ? 1 : n);
    m_grown = m_chunks.size() > 1;
    Clear();
  }

  static constexpr std::size_t kFirstWords = 1024;
  static constexpr std::size_t kLargestWords = std::size_t{1} << 20;
  static constexpr std::size_t kKeptWords = std::size_t{1} << 16;

  struct TChunk {
    std::unique_ptr<std::uint32_t[]> words;
    std::size_t size = 0;
    std::uint32_t* savedTop = nullptr;
  };

  void Enter(std::uint32_t* top) {
    TChunk& c = m_chunks[m_current];
    m_base = c.words.get();
    m_limit = m_base + c.size;
    m_top = top;
  }
  void NextChunk() {
    if (m_base != nullptr) {
      m_chunks[m_current].savedTop = m_top;
      ++m_current;
    }
    m_grown = m_current > 0;
    if (m_current == m_chunks.size()) {
      const std::size_t size =
          m_chunks.empty() ? kFirstWords : std::min(m_chunks.back().size * 2, kLargestWords);
      m_chunks.push_back(TChunk{std::make_unique_for_overwrite<std::uint32_t[]>(size), size, nullptr});
    }
    Enter(m_chunks[m_current].words.get());
  }

  std::vector<TChunk> m_chunks;
  std::size_t m_current = 0;
  std::uint32_t* m_base = nullptr;
  std::uint32_t* m_top = nullptr;
  std::uint32_t* m_limit = nullptr;
  bool m_grown = false;  // more than one chunk is held
};

}  // namespace qv::regex::detail
