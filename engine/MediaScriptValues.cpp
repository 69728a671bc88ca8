// Media and regular-expression values of the script tags; see
// MediaScriptValues.h.
#include "engine/MediaScriptValues.h"

#include "base/CodePage.h"
#include "engine/TextUtils.h"

namespace qv::engine {

namespace {

// Bounds of the value cache: a folder of this many files is read again
// after the cache fills; a file asked for more distinct values than this
// (scripts typed one after another) starts its list afresh.
constexpr size_t kMaxCachedFiles = 65536;
constexpr size_t kMaxValuesPerFile = 64;
// Results of regular-expression tags kept (a few screens of rows for a few
// models); the memo starts afresh when it is full.
constexpr size_t kMaxRegexResults = 4096;

void AppendPart(std::string& key, std::string_view part) {
  key += std::to_string(part.size());
  key += ':';
  key.append(part);
}

bool SameFolder(std::string_view a, std::string_view b) {
  return AnsiUpperCase(StripTrailingBackslashes(a)) == AnsiUpperCase(StripTrailingBackslashes(b));
}

// Grants each search of one tag its budget (see kRegexFullSearches).
class TTagBudget {
public:
  explicit TTagBudget(regex::TRegexEngine& engine) : m_engine(engine) {}

  // Before every search of the input.
  void Next() {
    const uint64_t allowance = 64u * static_cast<uint64_t>(m_engine.InputString().size());
    m_inputSpent += allowance;
    if (m_inputSpent > kRegexTagInputBudget)
      throw regex::ERegexError(m_engine.ErrorText(regex::kStepBudgetError), regex::kStepBudgetError, 0);
    m_engine.SetStepBudget(++m_searches <= kRegexFullSearches ? regex::kDefaultStepBudget : kRegexLaterSearchBudget);
  }

private:
  regex::TRegexEngine& m_engine;
  int m_searches = 0;
  uint64_t m_inputSpent = 0;
};

// The whole match of the last search as 0-based [start, start + length)
// of the engine's input, or false when it is not a match at or after pos.
bool LastMatch(const regex::TRegexEngine& engine, size_t pos, size_t& start, size_t& length) {
  const int start1 = engine.MatchStart(0);
  const int length1 = engine.MatchLength(0);
  if (start1 < 1 || length1 < 0) return false;
  start = static_cast<size_t>(start1 - 1);
  length = static_cast<size_t>(length1);
  const size_t searched = engine.InputString().size();
  return start >= pos && start <= searched && length <= searched - start;
}

// Calls onMatch(start, length) for every match of the engine's expression
// in text, left to right, under one tag's budget; returns the position
// after the last match (0 without one).
template <typename F>
size_t ForEachMatch(regex::TRegexEngine& engine, std::string_view text, F&& onMatch) {
  TTagBudget budget(engine);
  engine.SetInputString(text);
  // The engine stops its input at a NUL; positions agree up to there.
  const size_t searched = engine.InputString().size();
  size_t pos = 0;
  budget.Next();
  if (!engine.ExecPos(1)) return pos;
  size_t start = 0;
  size_t length = 0;
  while (LastMatch(engine, pos, start, length)) {
    onMatch(start, length);
    pos = start + length;
    // An empty match is taken as it is, but the next search must start one
    // character further, or it would find that same match forever.
    const size_t next = pos + (length == 0 ? 1 : 0);
    if (next > searched) break;
    budget.Next();
    if (!engine.ExecPos(static_cast<int>(next + 1))) break;
  }
  return pos;
}

}  // namespace

std::string RegexTag(regex::TRegexEngine& engine, std::string_view text, bool toUpper) {
  std::string out;
  size_t copied = 0;
  const size_t pos = ForEachMatch(engine, text, [&](size_t start, size_t length) {
    out.append(text.substr(copied, start - copied));
    const std::string_view matched = text.substr(start, length);
    out += toUpper ? AnsiUpperCase(matched) : AnsiLowerCase(matched);
    copied = start + length;
  });
  out.append(text.substr(pos, kRegexTagTail));
  return out;
}

std::string RegexReplaceTag(regex::TRegexEngine& engine, std::string_view text, std::string_view tmpl) {
  std::string out;
  size_t copied = 0;
  const size_t pos = ForEachMatch(engine, text, [&](size_t start, size_t length) {
    out.append(text.substr(copied, start - copied));
    out += engine.ExpandTemplate(tmpl);
    copied = start + length;
  });
  // The rest as given, also past a NUL where the search stopped.
  out.append(text.substr(pos));
  return out;
}

bool HasMp3Extension(std::string_view fileName, std::string_view extMp3) {
  const size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string ext = AnsiUpperCase(fileName.substr(dot + 1));
  return ext == extMp3;
}

TMediaScriptValues::TMediaScriptValues(const TProgramOptions& options, const TFileListing& listing,
                                       IMediaFiles& files)
    : m_options(options), m_listing(listing), m_files(files) {}

void TMediaScriptValues::SetCaching(TValueCaching caching) {
  if (caching == m_caching) return;
  m_caching = caching;
  ClearCache();
}

void TMediaScriptValues::ClearCache() {
  m_cache.clear();
  m_regex.Clear();
  m_regexResults.clear();
  m_photoHeld.valid = false;
  m_id3Held.valid = false;
  m_checked = {};
}

std::u16string TMediaScriptValues::ExactPath(const TScriptFile& file) const {
  if (file.Index < m_listing.Count()) {
    const TFileObject& f = m_listing.Item(file.Index);
    if (!f.WideName.empty() && f.FileName == file.OldFullName && SameFolder(m_listing.FolderPath, m_options.Directory)) {
      std::u16string path =
          m_listing.WideFolderPath.empty() ? base::Cp1252ToUtf16(m_listing.FolderPath) : m_listing.WideFolderPath;
      while (!path.empty() && path.back() == u'\\') path.pop_back();
      path += u'\\';
      path += f.WideName;
      return path;
    }
  }
  return base::Cp1252ToUtf16(file.Path);
}

bool TMediaScriptValues::FileExists(const TScriptFile& file) {
  const std::u16string path = ExactPath(file);
  return StampOf(file, path).has_value();
}

std::optional<TFileStamp> TMediaScriptValues::StampOf(const TScriptFile& file, const std::u16string& path) {
  if (file.Expansion != 0 && file.Expansion == m_checked.expansion && path == m_checked.path) return m_checked.stamp;
  std::optional<TFileStamp> stamp = m_files.Stamp(path);
  Checked(file, path, stamp);
  return stamp;
}

void TMediaScriptValues::Checked(const TScriptFile& file, const std::u16string& path,
                                 const std::optional<TFileStamp>& stamp) {
  if (file.Expansion == 0) return;
  m_checked.expansion = file.Expansion;
  m_checked.path = path;
  m_checked.stamp = stamp;
}

std::string TMediaScriptValues::ExifValue(const TScriptFile& file, std::string_view name) {
  return FileValue(TKind::Exif, file, name);
}

std::string TMediaScriptValues::Mp3Value(const TScriptFile& file, std::string_view key) {
  if (!HasMp3Extension(file.OldFullName, m_options.ExtMP3)) return {};
  return FileValue(TKind::Id3, file, key);
}

std::string TMediaScriptValues::FileValue(TKind kind, const TScriptFile& file, std::string_view name) {
  if (kind == TKind::Exif && !media::TimgData::ReadsName(file.OldFullName)) {
    // Not a photo by its name: nothing to read, whatever the file holds.
    m_photo.LoadImageMetadata(nullptr, file.OldFullName);
    m_photoHeld.valid = false;
    return {};
  }
  const std::u16string path = ExactPath(file);
  const auto it = m_caching == TValueCaching::On ? m_cache.find(path) : m_cache.end();
  if (it == m_cache.end()) {
    // A first read: the stamp comes with the open file.
    TFileStamp stamp;
    const std::unique_ptr<media::TByteSource> source = m_files.OpenStamped(path, stamp);
    if (!source) {
      const std::optional<TFileStamp> found = StampOf(file, path);
      if (!found) {
        NoFile(kind, path);
        return {};
      }
      stamp = *found;
    }
    Checked(file, path, stamp);
    Load(kind, source.get(), path, stamp, file.OldFullName);
    std::string value = Read(kind, name);
    if (m_caching == TValueCaching::On)
      Entry(path, stamp).values.push_back(TCachedValue{kind, std::string(name), value});
    return value;
  }
  const std::optional<TFileStamp> stamp = StampOf(file, path);
  if (!stamp) {
    NoFile(kind, path);
    return {};
  }
  TCacheEntry& entry = Entry(path, *stamp);
  for (const TCachedValue& v : entry.values) {
    if (v.kind == kind && v.name == name) {
      ++m_stats.CacheHits;
      return v.value;
    }
  }
  const THeld& held = kind == TKind::Exif ? m_photoHeld : m_id3Held;
  if (!(held.valid && held.stamp == *stamp && held.path == path)) {
    const std::unique_ptr<media::TByteSource> source = m_files.Open(path);
    Load(kind, source.get(), path, *stamp, file.OldFullName);
  }
  std::string value = Read(kind, name);
  if (entry.values.size() >= kMaxValuesPerFile) entry.values.clear();
  entry.values.push_back(TCachedValue{kind, std::string(name), value});
  return value;
}

void TMediaScriptValues::NoFile(TKind kind, const std::u16string& path) {
  // Nothing to read: the reader is only reset.
  if (kind == TKind::Exif) {
    m_photo.Reset();
    m_photoHeld.valid = false;
  } else {
    m_id3.Reset();
    m_id3Ok = false;
    m_id3Held.valid = false;
  }
  Forget(path);
}

void TMediaScriptValues::Load(TKind kind, media::TByteSource* source, const std::u16string& path,
                              const TFileStamp& stamp, std::string_view fileName) {
  THeld& held = kind == TKind::Exif ? m_photoHeld : m_id3Held;
  if (kind == TKind::Exif) {
    ++m_stats.PhotoReads;
    // A null source stands for a file that exists but cannot be opened.
    m_photo.LoadImageMetadata(source, fileName);
  } else {
    ++m_stats.AudioReads;
    if (source) {
      m_id3Ok = m_id3.LoadId3v2Tag(*source);
    } else {
      m_id3.Reset();
      m_id3Ok = false;
    }
  }
  held.path = path;
  held.stamp = stamp;
  held.valid = true;
}

std::string TMediaScriptValues::Read(TKind kind, std::string_view name) const {
  if (kind == TKind::Exif) return m_photo.ExifValue(name);
  return m_id3Ok ? m_id3.Field(name) : std::string();
}

TMediaScriptValues::TCacheEntry& TMediaScriptValues::Entry(const std::u16string& path, const TFileStamp& stamp) {
  auto it = m_cache.find(path);
  if (it == m_cache.end()) {
    if (m_cache.size() >= kMaxCachedFiles) m_cache.clear();
    it = m_cache.emplace(path, TCacheEntry{stamp, {}}).first;
  } else if (!(it->second.stamp == stamp)) {
    it->second.stamp = stamp;
    it->second.values.clear();
  }
  return it->second;
}

void TMediaScriptValues::Forget(const std::u16string& path) {
  if (!m_cache.empty()) m_cache.erase(path);
}

namespace {

// A bad expression or a search over its step budget: nullopt, on which the
// caller falls back to the source text.
template <typename F>
std::optional<std::string> Guarded(F&& run) {
  try {
    return run();
  } catch (const regex::ERegexError&) {
    return std::nullopt;
  }
}

}  // namespace

template <typename F>
TMediaScriptValues::TRegexResult TMediaScriptValues::Memo(char kind, std::string_view expression,
                                                          std::string_view tmpl, std::string_view text, F&& compute) {
  if (m_caching == TValueCaching::Off) {
    return Guarded([&] {
      regex::TRegexEngine engine;
      engine.SetExpression(expression);
      return compute(engine);
    });
  }
  std::string key(1, kind);
  AppendPart(key, expression);
  AppendPart(key, tmpl);
  AppendPart(key, text);
  if (const auto it = m_regexResults.find(key); it != m_regexResults.end()) return it->second;
  TRegexResult result = Guarded([&] { return compute(m_regex.Engine(expression)); });
  if (m_regexResults.size() >= kMaxRegexResults) m_regexResults.clear();
  m_regexResults.emplace(std::move(key), result);
  return result;
}

std::optional<std::string> TMediaScriptValues::RegexCase(std::string_view expression, std::string_view text,
                                                         bool toUpper) {
  return Memo(toUpper ? 'U' : 'L', expression, {}, text,
              [&](regex::TRegexEngine& engine) { return RegexTag(engine, text, toUpper); });
}

std::optional<std::string> TMediaScriptValues::RegexReplace(std::string_view expression, std::string_view tmpl,
                                                            std::string_view text) {
  return Memo('X', expression, tmpl, text,
              [&](regex::TRegexEngine& engine) { return RegexReplaceTag(engine, text, tmpl); });
}

}  // namespace qv::engine
