// ID3v2 tag reader: header, frame walk (2.2 and 2.3/2.4 layouts) and the
// derivation of the script fields.
#include "media/ID3v2.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "base/CodePage.h"

namespace qv::media {

const std::array<std::string_view, kSlotCount> Id3v2FrameIds = {
    "TIT2", "TPE1", "TALB", "TRCK", "TYER", "TCON", "COMM", "TCOM", "TENC",
    "TCOP", "TLAN", "WXXX", "TDRC", "TOPE", "TIT1", "TOAL", "TSIZ"};
const std::array<std::string_view, kSlotCount> Id3v22FrameIds = {
    "TT2", "TP1", "TAL", "TRK", "TYE", "TCO", "COM", "TCM", "TEN",
    "TCR", "TLA", "WXX", "TOR", "TOA", "TT1", "TOT", "TSI"};

namespace {

// Header flags.
constexpr uint8_t kTagUnsync = 0x80;
constexpr uint8_t kTagExtended = 0x40;  // 2.2: compressed tag
constexpr uint8_t kTagFooter = 0x10;

// Frame format flags (second flags byte), which differ between 2.3 and 2.4.
constexpr uint8_t k23Compressed = 0x80, k23Encrypted = 0x40, k23Grouped = 0x20;
constexpr uint8_t k24Grouped = 0x40, k24Compressed = 0x08, k24Encrypted = 0x04,
                  k24Unsync = 0x02, k24DataLength = 0x01;

// b0 * 2^21 + b1 * 2^14 + b2 * 2^7 + b3, the bytes taken whole as the header
// layout gives it (a malformed size stays malformed, it cannot wrap).
uint64_t synchsafe(const uint8_t* b) {
  return (uint64_t(b[0]) << 21) + (uint64_t(b[1]) << 14) + (uint64_t(b[2]) << 7) + b[3];
}

// Removes the 00 that unsynchronisation put after each FF.
std::string deUnsync(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  bool afterFF = false;
  for (const char c : raw) {
    const auto b = static_cast<uint8_t>(c);
    if (!(afterFF && b == 0)) out.push_back(c);
    afterFF = b == 0xFF;
  }
  return out;
}

// The tag body as a sequence of bytes, read forwards only.
class BodyReader {
public:
  virtual ~BodyReader() = default;
  // Exactly n bytes, or false at the end of the body or on a read failure.
  virtual bool read(uint8_t* dst, size_t n) = 0;
  virtual bool skip(uint64_t n) = 0;
};

// A body stored as it is: skipping costs nothing.
class PlainBody final : public BodyReader {
public:
  PlainBody(TByteSource& src, uint64_t begin, uint64_t end) : m_src(src), m_pos(begin), m_end(end) {}
  bool read(uint8_t* dst, size_t n) override {
    if (n > m_end - m_pos || !m_src.read(m_pos, dst, n)) return false;
    m_pos += n;
    return true;
  }
  bool skip(uint64_t n) override {
    if (n > m_end - m_pos) return false;
    m_pos += n;
    return true;
  }

private:
  TByteSource& m_src;
  uint64_t m_pos, m_end;
};

// A body unsynchronised as a whole (2.2 and 2.3): frame sizes count the
// restored bytes, so every byte up to the last kept frame must be decoded.
class UnsyncBody final : public BodyReader {
public:
  UnsyncBody(TByteSource& src, uint64_t begin, uint64_t end) : m_src(src), m_pos(begin), m_end(end) {}
  bool read(uint8_t* dst, size_t n) override {
    for (size_t i = 0; i < n; ++i)
      if (!next(dst[i])) return false;
    return true;
  }
  bool skip(uint64_t n) override {
    uint8_t b;
    for (uint64_t i = 0; i < n; ++i)
      if (!next(b)) return false;
    return true;
  }

private:
  bool raw(uint8_t& b) {
    if (m_at == m_len) {
      const uint64_t left = m_end - m_pos;
      m_len = static_cast<size_t>(std::min<uint64_t>(left, sizeof m_buf));
      m_at = 0;
      if (m_len == 0 || !m_src.read(m_pos, m_buf, m_len)) {
        m_len = 0;
        return false;
      }
      m_pos += m_len;
    }
    b = m_buf[m_at++];
    return true;
  }
  bool next(uint8_t& b) {
    if (!raw(b)) return false;
    if (m_afterFF && b == 0 && !raw(b)) return false;
    m_afterFF = b == 0xFF;
    return true;
  }

  TByteSource& m_src;
  uint64_t m_pos, m_end;
  uint8_t m_buf[4096];
  size_t m_at = 0, m_len = 0;
  bool m_afterFF = false;
};

int slotOf(const uint8_t* id, size_t len, const std::array<std::string_view, kSlotCount>& ids) {
  for (int i = 0; i < kSlotCount; ++i)
    if (std::memcmp(ids[i].data(), id, len) == 0) return i;
  return -1;
}

// Skips the extended header: 2.3 gives its size without the 4 size bytes,
// 2.4 as a synchsafe number that counts them.
bool skipExtendedHeader(BodyReader& body, uint8_t version) {
  uint8_t b[4];
  if (!body.read(b, 4)) return false;
  if (version == 3) return body.skip(load32(b, ByteOrder::Big));
  const uint64_t size = synchsafe(b);
  return size >= 4 && body.skip(size - 4);
}

void walkFrames(BodyReader& body, const TagInfo& info, std::array<std::string, kSlotCount>& slots) {
  const uint8_t version = info.Version;
  const size_t idLen = version == 2 ? 3 : 4;
  const size_t headerLen = version == 2 ? 6 : 10;
  const auto& ids = version == 2 ? Id3v22FrameIds : Id3v2FrameIds;
  uint8_t h[10];
  char data[TID3v2::kMaxFrameBytes];
  for (;;) {
    if (!body.read(h, headerLen)) return;
    // Padding (zero bytes) or something that is no frame ends the tag.
    if (h[0] < 'A' || h[0] > 'Z') return;
    uint64_t size = 0;
    uint8_t format = 0;
    if (version == 2) {
      size = (uint32_t(h[3]) << 16) | (uint32_t(h[4]) << 8) | h[5];
    } else {
      size = version == 3 ? load32(h + 4, ByteOrder::Big) : synchsafe(h + 4);
      format = h[9];
    }
    const int slot = slotOf(h, idLen, ids);
    // Bytes between the header and the data proper; frames we cannot decode.
    uint64_t extra = 0;
    bool readable = true, unsync = false;
    if (version == 3) {
      readable = !(format & (k23Compressed | k23Encrypted));
      extra = (format & k23Grouped) ? 1 : 0;
    } else if (version == 4) {
      readable = !(format & (k24Compressed | k24Encrypted));
      extra = ((format & k24Grouped) ? 1 : 0) + ((format & k24DataLength) ? 4 : 0);
      unsync = (format & k24Unsync) || (info.Flags & kTagUnsync);
    }
    if (slot < 0 || !readable || extra > size) {
      if (!body.skip(size)) return;
      continue;
    }
    const size_t keep = static_cast<size_t>(std::min<uint64_t>(size - extra, sizeof data));
    if (!body.skip(extra) || !body.read(reinterpret_cast<uint8_t*>(data), keep) ||
        !body.skip(size - extra - keep))
      return;  // the frame ends past the tag: it and what follows are not kept
    slots[slot] = unsync ? deUnsync({data, keep}) : std::string(data, keep);
  }
}

bool isSpaceOrControl(char c) { return static_cast<uint8_t>(c) <= 0x20; }

std::string trimmed(std::string s) {
  size_t b = 0, e = s.size();
  while (b < e && isSpaceOrControl(s[b])) ++b;
  while (e > b && isSpaceOrControl(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string upToNul(std::string_view s) { return std::string(s.substr(0, s.find('\0'))); }

// UTF-16 text (encodings 1 and 2): a leading byte-order mark decides the
// order and is dropped; without one the encoding's default holds.
std::string decodeUtf16(std::string_view s, ByteOrder order) {
  const auto* p = reinterpret_cast<const uint8_t*>(s.data());
  size_t n = s.size() / 2 * 2;
  if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) order = ByteOrder::Little, p += 2, n -= 2;
  else if (n >= 2 && p[0] == 0xFE && p[1] == 0xFF) order = ByteOrder::Big, p += 2, n -= 2;
  size_t end = 0;
  while (end < n && (p[end] | p[end + 1]) != 0) end += 2;
  return base::Utf16BytesToCp1252(p, end, order == ByteOrder::Big);
}

bool toUInt16(std::string_view s, uint16_t& v) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  if (s.empty() || s.size() > 5) return false;
  uint32_t n = 0;
  for (const char c : s) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + uint32_t(c - '0');
  }
  if (n > 0xFFFF) return false;
  v = static_cast<uint16_t>(n);
  return true;
}

// Drops the leading genre references "(17)", "(RX)", "(CR)" of a content
// type text; a parenthesis later in a genre name stays.
std::string genreText(std::string s) {
  size_t i = 0;
  while (i < s.size() && s[i] == '(') {
    const size_t close = s.find(')', i);
    if (close == std::string::npos) break;
    const std::string_view ref(s.data() + i + 1, close - i - 1);
    const bool number = !ref.empty() && std::all_of(ref.begin(), ref.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!number && ref != "RX" && ref != "CR") break;
    i = close + 1;
  }
  return trimmed(s.substr(i));
}

}  // namespace

void TID3v2::Reset() {
  Info = TagInfo{};
  Present = false;
  Version = 0;
  TagSize = 0;
  Track = 0;
  for (std::string* s : {&Title, &Artist, &Album, &TrackString, &Year, &Genre, &Comment, &Composer,
                         &Encoder, &Copyright, &Language, &Link, &Tsiz})
    s->clear();
}

bool TID3v2::LoadId3v2Tag(TByteSource& source) {
  Reset();
  uint8_t h[10];
  if (!source.read(0, h, sizeof h)) return false;
  std::memcpy(Info.Marker, h, 3);
  Info.Version = h[3];
  Info.Revision = h[4];
  Info.Flags = h[5];
  std::memcpy(Info.SizeBytes, h + 6, 4);
  Info.FileLength = source.size();
  if (std::memcmp(h, "ID3", 3) != 0) return true;

  Present = true;
  Version = h[3];
  const uint64_t bodySize = synchsafe(h + 6);
  const uint64_t total = bodySize + 10 + ((Info.Flags & kTagFooter) ? 10 : 0);
  TagSize = total > Info.FileLength ? 0 : static_cast<uint32_t>(total);
  if (Version < 2 || Version > 4 || TagSize == 0) return true;
  // A compressed 2.2 tag has no scheme defined: nothing to read.
  if (Version == 2 && (Info.Flags & kTagExtended)) return true;

  const bool wholeUnsync = Version < 4 && (Info.Flags & kTagUnsync);
  std::unique_ptr<BodyReader> body;
  if (wholeUnsync) body = std::make_unique<UnsyncBody>(source, 10, 10 + bodySize);
  else body = std::make_unique<PlainBody>(source, 10, 10 + bodySize);
  if (Version == 2 || !(Info.Flags & kTagExtended) || skipExtendedHeader(*body, Version))
    walkFrames(*body, Info, Info.FrameTexts);
  Derive();
  return true;
}

std::string TID3v2::DecodeFrameText(std::string_view data) {
  if (data.empty()) return {};
  const std::string_view text = data.substr(1);
  switch (static_cast<uint8_t>(data[0])) {
    case 0: return trimmed(upToNul(text));
    case 1: return trimmed(decodeUtf16(text, ByteOrder::Little));
    case 2: return trimmed(decodeUtf16(text, ByteOrder::Big));
    case 3: {
      std::string_view u = text;
      if (u.substr(0, 3) == "\xEF\xBB\xBF") u.remove_prefix(3);
      return trimmed(base::Utf8ToCp1252(upToNul(u)));
    }
    default:
      // No known encoding byte: the bytes as 8-bit text.
      return trimmed(upToNul(data));
  }
}

std::string TID3v2::CommentText(std::string_view data, size_t skip, bool urlValue) {
  if (data.empty()) return {};
  const char encoding = data[0];
  std::string_view rest = data.substr(std::min(skip, data.size()));
  // The description ends at 00 00 on a unit boundary in UTF-16, at 00 else.
  if (encoding == 1 || encoding == 2) {
    for (size_t i = 0; i + 1 < rest.size(); i += 2) {
      if (rest[i] == 0 && rest[i + 1] == 0) {
        rest.remove_prefix(i + 2);
        break;
      }
    }
  } else {
    const size_t nul = rest.find('\0');
    if (nul != std::string_view::npos) rest.remove_prefix(nul + 1);
  }
  std::string framed(1, urlValue ? '\0' : encoding);
  framed.append(rest);
  return DecodeFrameText(framed);
}

void TID3v2::Derive() {
  const auto text = [this](int slot) { return DecodeFrameText(Info.FrameTexts[slot]); };
  Title = text(kSlotTitle);
  if (Title.empty()) Title = text(kSlotTitle2);
  Artist = text(kSlotArtist);
  if (Artist.empty()) Artist = text(kSlotArtist2);
  Album = text(kSlotAlbum);
  if (Album.empty()) Album = text(kSlotAlbum2);
  TrackString = text(kSlotTrack);
  if (!toUInt16(std::string_view(TrackString).substr(0, TrackString.find('/')), Track)) Track = 0;
  Year = text(kSlotYear);
  if (Year.empty()) Year = text(kSlotYear2).substr(0, 4);
  Genre = genreText(text(kSlotGenre));
  Comment = CommentText(Info.FrameTexts[kSlotComment], 4);
  Link = CommentText(Info.FrameTexts[kSlotLink], 1, true);
  Composer = text(kSlotComposer);
  Encoder = text(kSlotEncoder);
  Copyright = text(kSlotCopyright);
  Language = text(kSlotLanguage);
  Tsiz = text(kSlotSize);
}

std::string TID3v2::Field(std::string_view key) const {
  std::string k(key);
  for (char& c : k)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  const std::pair<const char*, const std::string*> fields[] = {
      {"TITLE", &Title},       {"ARTIST", &Artist},   {"ALBUM", &Album},
      {"TRACKSTRING", &TrackString}, {"YEAR", &Year}, {"GENRE", &Genre},
      {"COMMENT", &Comment},   {"COMPOSER", &Composer}, {"ENCODER", &Encoder},
      {"COPYRIGHT", &Copyright}, {"LANGUAGE", &Language}, {"LINK", &Link},
      {"TSIZ", &Tsiz}};
  for (const auto& [name, value] : fields)
    if (k == name) return *value;
  return {};
}

}  // namespace qv::media
