// Hand-built ID3v2 bytes for the reader's tests: frames of the three
// layouts and a tag header around them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv::media::test {

inline std::string be32(uint32_t v) {
  return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}
inline std::string synchsafe32(uint32_t v) {
  return {char((v >> 21) & 0x7F), char((v >> 14) & 0x7F), char((v >> 7) & 0x7F), char(v & 0x7F)};
}

// A frame of the given version: 2 (3-byte id and size), 3 (plain size) or 4
// (synchsafe size); flags is the second (format) flags byte.
inline std::string frame(int version, const std::string& id, const std::string& data, uint8_t flags = 0) {
  if (version == 2) {
    const auto n = static_cast<uint32_t>(data.size());
    return id + std::string{char(n >> 16), char(n >> 8), char(n)} + data;
  }
  const auto n = static_cast<uint32_t>(data.size());
  return id + (version == 3 ? be32(n) : synchsafe32(n)) + std::string{'\0', char(flags)} + data;
}

// "ID3", version, revision 0, flags, synchsafe size of body + padding.
inline std::string tag(int version, const std::string& body, uint8_t flags = 0, size_t padding = 16) {
  const std::string padded = body + std::string(padding, '\0');
  return std::string("ID3") + char(version) + '\0' + char(flags) +
         synchsafe32(static_cast<uint32_t>(padded.size())) + padded;
}

// Text frame data: encoding byte then the bytes as given.
inline std::string text(uint8_t encoding, const std::string& bytes) { return std::string(1, char(encoding)) + bytes; }

// UTF-16LE bytes of an ASCII/Latin-1 text (for building frames).
inline std::string utf16le(const std::u16string& s) {
  std::string out;
  for (const char16_t c : s) out += std::string{char(c & 0xFF), char(c >> 8)};
  return out;
}
inline std::string utf16be(const std::u16string& s) {
  std::string out;
  for (const char16_t c : s) out += std::string{char(c >> 8), char(c & 0xFF)};
  return out;
}

// Unsynchronised form: a 00 after every FF.
inline std::string unsync(const std::string& s) {
  std::string out;
  for (const char c : s) {
    out += c;
    if (static_cast<uint8_t>(c) == 0xFF) out += '\0';
  }
  return out;
}

inline std::vector<uint8_t> bytes(const std::string& s) { return {s.begin(), s.end()}; }

}  // namespace qv::media::test
