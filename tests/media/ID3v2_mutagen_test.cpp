// Differential check: every file of data/id3 was written by mutagen, and
// expected.txt holds what mutagen reads back (see make_id3_files.py). The
// reader must give the same title, artist, album, track, year, genre,
// comment and other fields, in cp1252.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "media/ID3v2.h"

using namespace qv::media;

namespace {

std::string dataDir() { return std::string(QV_MEDIA_TEST_DATA) + "/id3"; }

std::string unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x') {
      out.push_back(static_cast<char>(std::stoi(s.substr(i + 2, 2), nullptr, 16)));
      i += 3;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

// file -> field -> value
std::map<std::string, std::map<std::string, std::string>> expectations() {
  std::map<std::string, std::map<std::string, std::string>> all;
  std::ifstream in(dataDir() + "/expected.txt");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string file, field, value;
    std::getline(fields, file, '\t');
    std::getline(fields, field, '\t');
    std::getline(fields, value);
    all[file][field] = unescape(value);
  }
  return all;
}

}  // namespace

TEST(ID3v2Mutagen, EveryGeneratedFileReadsAsMutagenReadsIt) {
  const auto all = expectations();
  ASSERT_GE(all.size(), 10u);
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dataDir())) {
    if (entry.path().extension() != ".mp3") continue;
    const std::string name = entry.path().filename().string();
    const auto it = all.find(name);
    ASSERT_NE(it, all.end()) << name << " is missing from expected.txt";
    TStdioFileSource src(entry.path().string());
    ASSERT_TRUE(src.isOpen()) << name;
    TID3v2 tag;
    ASSERT_TRUE(tag.LoadId3v2Tag(src)) << name;
    EXPECT_TRUE(tag.Present) << name;
    for (const auto& [field, value] : it->second) {
      if (field == "track") {
        EXPECT_EQ(std::to_string(tag.Track), value) << name;
      } else {
        EXPECT_EQ(tag.Field(field), value) << name << " " << field;
      }
    }
    ++files;
  }
  EXPECT_EQ(files, all.size());
}
