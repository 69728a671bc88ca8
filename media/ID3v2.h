// TID3v2: reads the ID3v2 tag (versions 2.2, 2.3, 2.4) at the start of an
// audio file into the texts a name script can insert: title, artist, album,
// track, year, genre, comment, composer, encoder, copyright, language, link
// and the TSIZ text, all in cp1252.
//
//   qv::media::TID3v2 tag;
//   if (tag.LoadId3v2Tag(source) && tag.Present) use(tag.Title);
//
// Portable: it reads through a TByteSource, and only what it needs (the tag
// header, the frame headers and the first 500 bytes of the kept frames);
// everything else, pictures included, is skipped by position. Compressed and
// encrypted frames are not decoded (skipped). Not thread-safe: one object per
// thread, reset by every load.
// Tested by tests/media/ID3v2_test.cpp and ID3v2_mutagen_test.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "media/ByteSource.h"

namespace qv::media {

// Frame slots: index into TagInfo::FrameTexts.
enum Id3Slot : int {
  kSlotTitle, kSlotArtist, kSlotAlbum, kSlotTrack, kSlotYear, kSlotGenre, kSlotComment,
  kSlotComposer, kSlotEncoder, kSlotCopyright, kSlotLanguage, kSlotLink, kSlotYear2,
  kSlotArtist2, kSlotTitle2, kSlotAlbum2, kSlotSize, kSlotCount
};

// Frame identifiers by slot, for versions 2.3/2.4 and for version 2.2.
extern const std::array<std::string_view, kSlotCount> Id3v2FrameIds;
extern const std::array<std::string_view, kSlotCount> Id3v22FrameIds;

// The tag header as read, plus the kept frames' raw data (at most
// kMaxFrameBytes each; frame-level unsynchronisation, grouping byte and data
// length indicator already removed).
struct TagInfo {
  char Marker[3] = {};
  uint8_t Version = 0;
  uint8_t Revision = 0;
  uint8_t Flags = 0;
  uint8_t SizeBytes[4] = {};
  uint64_t FileLength = 0;
  std::array<std::string, kSlotCount> FrameTexts;
};

class TID3v2 {
public:
  // Bytes kept of each frame: names need no more.
  static constexpr size_t kMaxFrameBytes = 500;

  TID3v2() { Reset(); }

  // Resets the fields, then reads the tag from the source. False only when
  // the source holds fewer than 10 bytes (or cannot be read there); true
  // otherwise, with every field empty when there is no "ID3" header and
  // empty or partial fields when the tag is malformed.
  // (UTF-16 paths: media/win32/ID3v2File.h.)
  bool LoadId3v2Tag(TByteSource& source);

  void Reset();

  // The field named by a script key ("TITLE", "ARTIST", "ALBUM",
  // "TRACKSTRING", "YEAR", "GENRE", "COMMENT", "COMPOSER", "ENCODER",
  // "COPYRIGHT", "LANGUAGE", "LINK", "TSIZ"; any letter case), empty for any
  // other key.
  std::string Field(std::string_view key) const;

  // Frame decoding, public for tests and tools.
  // A text frame: encoding byte, then text up to its terminator, trimmed.
  static std::string DecodeFrameText(std::string_view data);
  // A frame with a description before its value (COMM: skip = 4 for the
  // encoding byte and language; WXXX: skip = 1). urlValue: the value is
  // always 8-bit text whatever the description's encoding.
  static std::string CommentText(std::string_view data, size_t skip, bool urlValue = false);

  TagInfo Info;

  bool Present = false;
  uint8_t Version = 0;
  uint32_t TagSize = 0;  // header + body (+ footer); 0 when past the file's end
  std::string Title;
  std::string Artist;
  std::string Album;
  uint16_t Track = 0;
  std::string TrackString;
  std::string Year;
  std::string Genre;
  std::string Comment;
  std::string Composer;
  std::string Encoder;
  std::string Copyright;
  std::string Language;
  std::string Link;
  std::string Tsiz;

private:
  void Derive();
};

}  // namespace qv::media
