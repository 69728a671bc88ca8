// Maker notes: the private directories cameras store in the EXIF MakerNote
// (tag 0x927C). TmsInfo chooses, by the first five letters of the camera
// make, the layout (directory header length, what value offsets count from,
// byte order) and the tag table of that maker; TImageInfo::WalkMakerNote
// reads the note's directory into maker entries (Id 1) of the image's list.
//
// Every read is bounded: entries must lie inside the note, and a value that
// does not fit in the note is looked up in the image's TIFF block at the
// same TIFF offset (empty when it is outside that block too).
// Tested by tests/media/MakerNote_test.cpp.
#pragma once

#include <cstdint>
#include <span>

#include "media/TagEntry.h"

namespace qv::media {

class TImageInfo;

struct TMakerRow {
  uint16_t tag;
  const char* name;
  const char* description;  // "Skip" (any case): the walker ignores the tag
  const char* decodeList;
  TTagFormatter formatter;
};

enum class TMakerTable { Nikon1, Nikon2, Olympus, Casio1, Casio2, Fuji, Canon, Seiko, Sanyo, Minolta };

std::span<const TMakerRow> MakerNoteTable(TMakerTable table);

// What the value offsets of a note's entries count from.
enum class TMakerOffsets {
  MainTiff,        // the image's TIFF header (most makes)
  NoteTiffHeader,  // the note's own TIFF header at its 11th byte (Nikon type 3)
  NoteStart,       // the note's first byte (Fuji)
};

struct TMakerLayout {
  TMakerTable table = TMakerTable::Canon;
  uint32_t headerLength = 0;  // bytes before the entry count
  TMakerOffsets offsets = TMakerOffsets::MainTiff;
  bool intel = false;         // always little-endian (Fuji)
  bool ownHeaderOrder = false;  // byte order from the note's own TIFF header (Nikon type 3)
};

class TmsInfo {
public:
  TmsInfo(bool tiffFlag, TImageInfo* parent) : TiffFlag(tiffFlag), Parent(parent) {}

  // The layout for the parent's make and note; false for other makes.
  bool ChooseLayout(TMakerLayout& layout) const;
  // Chooses the layout and walks the note; false (nothing added) for a make
  // without a layout.
  bool ReadMakerNote();

  bool TiffFlag;
  TImageInfo* Parent;
};

// Maker formatters.
std::string FormatNikonLens(const TFormatInput& in);
std::string FormatNikonColorMode(const TFormatInput& in);
// The Canon setting lists keep their whole number list as the value text.
std::string FormatCanonList(const TFormatInput& in);

}  // namespace qv::media
