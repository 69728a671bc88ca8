// TID3v1: the ID3v1 tag object the main window creates beside TID3v2, kept
// in its reset state (the program reads no ID3v1 tag), and the ID3v1 genre
// names 0-147 (the original list and its common extension from 80 on).
// No test of its own: nothing reads it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv::media {

class TID3v1 {
public:
  TID3v1() { Reset(); }
  void Reset();

  bool Exists = false;
  uint8_t VersionID = 1;
  std::string Title;
  std::string Artist;
  std::string Album;
  std::string Year;
  std::string Comment;
  uint8_t Track = 0;
  uint8_t GenreID = 255;  // none
};

extern const std::array<std::string_view, 148> Id3GenreNames;

}  // namespace qv::media
