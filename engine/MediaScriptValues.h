// TMediaScriptValues: the script interpreter's values that come from
// outside the file name. "<$E_name>" reads a photo metadata value through
// one shared TimgData, "<$M_key>" an ID3v2 field through one shared TID3v2
// (each reset for every file), "<$L=...>", "<$U=...>" and "<$X=...?...>"
// apply a regular expression, and "<$D_...>" asks whether the file exists.
//
//   TMediaScriptValues values(options, listing, files);   // owner: main window
//   TScriptInterpreter in(options, listing, &values);
//   in.ExpandScript(i, "<$E_DateTimeOriginal>_<$E_Model>", name, source);
//
// Files are addressed by their exact UTF-16 path (the listing's wide folder
// and name), never by the cp1252 form of a name that cp1252 cannot hold.
//
// Caching (on by default): values read from a file are kept per exact path
// and reused while the file's size and last-write time are unchanged, so
// the list's repaints read no file; compiled expressions are kept per text,
// and the results of the regular-expression tags per expression and text.
// Either way the names are those of reading every file for every tag with
// a fresh engine per expression, which is what TValueCaching::Off does.
// The owner clears the cache after a rename run or a rescan. A file's first
// read takes its stamp from the open file, and the tags of one expansion
// look their file up once; a photo tag opens no file whose name is not a
// photo's, since the reader would read nothing of it.
//
// Not thread-safe: one object per thread (the readers are shared).
// Tested by tests/engine/MediaScriptValues_test.cpp and
// tests/engine/win32/Win32MediaValues_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/FileObject.h"
#include "engine/MediaFiles.h"
#include "engine/ProgramOptions.h"
#include "engine/ScriptValues.h"
#include "media/ID3v2.h"
#include "media/ImgData.h"
#include "regex/RegexCache.h"
#include "regex/RegexEngine.h"

namespace qv::engine {

// At most this many characters of the text after the last match are kept
// by "<$L=...>" and "<$U=...>".
inline constexpr size_t kRegexTagTail = 255;

// Step budget of one regular-expression tag over all its searches. The
// engine bounds each search, but a tag searches once per match: an
// expression that spends just under the engine's budget at every character
// would stall the list for a second on each row. So only the first
// kRegexFullSearches searches get the engine's default budget, later ones
// kRegexLaterSearchBudget (both plus the engine's allowance of 64 steps per
// character of input), and the per-character allowances of all searches
// together may not pass kRegexTagInputBudget. A tag over budget fails as a
// search over its budget does (error 1016). A 255-character name never
// meets the last limit; linear expressions never meet the second.
inline constexpr int kRegexFullSearches = 4;
inline constexpr std::uint32_t kRegexLaterSearchBudget = 65536;
inline constexpr std::uint64_t kRegexTagInputBudget = 32000000;

// Text with every match of the engine's expression lower-cased (toUpper
// false) or upper-cased (toUpper true), then at most kRegexTagTail
// characters of what follows the last match. An empty match changes
// nothing and the next search starts one character further. Raises
// regex::ERegexError like the engine (a bad expression, a search or the
// tag over its step budget).
std::string RegexTag(regex::TRegexEngine& engine, std::string_view text, bool toUpper);

// Text with every match of the engine's expression replaced by the
// template expanded for it ("$1", "${1}", "$&"), as the engine's
// ReplaceMatches does, under the tag's step budget. Raises like RegexTag.
std::string RegexReplaceTag(regex::TRegexEngine& engine, std::string_view text, std::string_view tmpl);

// True when the extension of fileName (from its last "."), upper-cased,
// equals "." + extMp3 as it stands: the files "<$M_...>" reads.
bool HasMp3Extension(std::string_view fileName, std::string_view extMp3);

enum class TValueCaching { On, Off };

// Counters for benchmarks and tests.
struct TMediaReadStats {
  uint64_t PhotoReads = 0;  // loads of the photo reader (a file opened or found unopenable)
  uint64_t AudioReads = 0;  // loads of the ID3 reader
  uint64_t CacheHits = 0;   // values answered from the cache
};

class TMediaScriptValues : public TScriptValues {
public:
  // Reads "ExtMP3" and "Directory" of options and the listing's names at
  // each call; options, listing and files must outlive this object.
  TMediaScriptValues(const TProgramOptions& options, const TFileListing& listing, IMediaFiles& files);
  TMediaScriptValues(const TMediaScriptValues&) = delete;
  TMediaScriptValues& operator=(const TMediaScriptValues&) = delete;

  // TScriptValues.
  bool FileExists(const TScriptFile& file) override;
  std::string ExifValue(const TScriptFile& file, std::string_view name) override;
  std::string Mp3Value(const TScriptFile& file, std::string_view key) override;
  std::optional<std::string> RegexCase(std::string_view expression, std::string_view text, bool toUpper) override;
  std::optional<std::string> RegexReplace(std::string_view expression, std::string_view tmpl,
                                          std::string_view text) override;

  // Caching.
  void SetCaching(TValueCaching caching);
  TValueCaching Caching() const { return m_caching; }
  // Forgets every cached value and compiled expression.
  void ClearCache();
  size_t CachedFiles() const { return m_cache.size(); }

  const TMediaReadStats& Stats() const { return m_stats; }
  void ResetStats() { m_stats = {}; }

  // The shared readers, as the last tag left them.
  const media::TimgData& PhotoReader() const { return m_photo; }
  const media::TID3v2& Id3Reader() const { return m_id3; }

  // The path the tags use for the file: the listing's wide folder and name
  // when the file is that entry of the listing and the listing is of the
  // "Directory" folder, else file.Path converted from cp1252.
  std::u16string ExactPath(const TScriptFile& file) const;

private:
  enum class TKind : char { Exif = 'E', Id3 = 'M' };
  struct TCachedValue {
    TKind kind;
    std::string name;
    std::string value;
  };
  struct TCacheEntry {
    TFileStamp stamp;
    std::vector<TCachedValue> values;
  };
  // What a shared reader was last loaded with, so that a second tag of the
  // same file needs no second read.
  struct THeld {
    std::u16string path;
    TFileStamp stamp;
    bool valid = false;
  };

  // The stamp last found for a file within one expansion, so that its
  // other tags look the file up no more.
  struct TChecked {
    uint64_t expansion = 0;
    std::u16string path;
    std::optional<TFileStamp> stamp;
  };

  using TRegexResult = std::optional<std::string>;
  template <typename F>
  TRegexResult Memo(char kind, std::string_view expression, std::string_view tmpl, std::string_view text, F&& compute);
  std::string FileValue(TKind kind, const TScriptFile& file, std::string_view name);
  void Load(TKind kind, media::TByteSource* source, const std::u16string& path, const TFileStamp& stamp,
            std::string_view fileName);
  void NoFile(TKind kind, const std::u16string& path);
  std::optional<TFileStamp> StampOf(const TScriptFile& file, const std::u16string& path);
  void Checked(const TScriptFile& file, const std::u16string& path, const std::optional<TFileStamp>& stamp);
  std::string Read(TKind kind, std::string_view name) const;
  TCacheEntry& Entry(const std::u16string& path, const TFileStamp& stamp);
  void Forget(const std::u16string& path);

  const TProgramOptions& m_options;
  const TFileListing& m_listing;
  IMediaFiles& m_files;
  TValueCaching m_caching = TValueCaching::On;

  media::TimgData m_photo{255};
  media::TID3v2 m_id3;
  THeld m_photoHeld;
  THeld m_id3Held;
  bool m_id3Ok = false;  // the last ID3 load read the file
  TChecked m_checked;

  std::unordered_map<std::u16string, TCacheEntry> m_cache;
  regex::TRegexCache m_regex;
  std::unordered_map<std::string, TRegexResult> m_regexResults;
  TMediaReadStats m_stats;
};

}  // namespace qv::engine
