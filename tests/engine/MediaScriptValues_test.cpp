// The media and regular-expression value tags through the interpreter, on
// the photos and MP3 files of data/ (made by data/make-media.sh; expected
// values agree with exiftool and mutagen, the readers' formats aside) and
// on copies of them in a temporary folder. Expected regular-expression
// results come from Perl's s///g on the same texts.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "DiskFolderReader.h"
#include "base/CodePage.h"
#include "engine/MediaScriptValues.h"
#include "engine/ScriptInterpreter.h"

namespace qv::engine {
namespace {

namespace fs = std::filesystem;

// Given by the build: a source path seen through __FILE__ may be relative
// (a compiler cache rewrites it), and the tests run from the build folder.
std::string DataFolder() { return QV_ENGINE_TEST_DATA; }

// The old name without its last extension, as the name builder gives it.
std::string NamePart(std::string_view name) {
  const size_t dot = name.rfind('.');
  return std::string(name.substr(0, dot));
}

class MediaValues : public ::testing::Test {
protected:
  MediaValues() { options.Directory = DataFolder(); }

  std::string Expand(std::string_view model, std::string_view name, size_t index = 9999) {
    return interpreter.ExpandScript(index, model, name, NamePart(name));
  }

  TProgramOptions options;
  TFileListing listing;
  TStdioMediaFiles files;
  TMediaScriptValues values{options, listing, files};
  TScriptInterpreter interpreter{options, listing, &values};
};

// A temporary folder removed with its files.
class TTempDir {
public:
  TTempDir() {
    static int counter = 0;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    m_path = fs::temp_directory_path() / ("qv_values_" + std::to_string(stamp) + "_" + std::to_string(++counter));
    fs::create_directories(m_path);
  }
  ~TTempDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
  }
  const fs::path& path() const { return m_path; }
  void Copy(const std::string& from, const fs::path& to) const {
    fs::copy_file(fs::path(DataFolder()) / from, m_path / to, fs::copy_options::overwrite_existing);
  }

private:
  fs::path m_path;
};

TEST_F(MediaValues, PhotoValuesOfJpegAndTiff) {
  const std::string jpg = "Holiday 2006.jpg";
  EXPECT_EQ(Expand("<$E_DateTimeOriginal>_<$E_Model><G0>", jpg), "2006-07-14 09-08-07_Exemplar Z5");
  EXPECT_EQ(Expand("<$E_Make> <$E_ISOSpeedRatings><G0>", jpg), "Exemplar 200");
  // ":" and "/" of a value become the "ReplaceChar" text.
  EXPECT_EQ(Expand("<$E_ImageDescription><G0>", jpg), "Plage- Nice-Est");
  EXPECT_EQ(Expand("<$E_Model[8]><G0>", jpg), "Exemplar");
  EXPECT_EQ(Expand("<$E_Model[10-2]><G0>", jpg), "Z5");
  EXPECT_EQ(Expand("<$E_NoSuchTag>x<G0>", jpg), "x");
  // An E tag does not consume SOURCE.
  EXPECT_EQ(Expand("<$E_Model>_", jpg), "Exemplar Z5Holiday 2006_");
  EXPECT_EQ(Expand("<$E_Model> <$E_DateTimeOriginal[4]><G0>", "scan.tif"), "Exemplar T1 2007");
}

TEST_F(MediaValues, FilesWithoutExifYieldNothing) {
  for (const char* name : {"comment.jpg", "iptc.jpg", "song.mp3", "gone.jpg"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Expand("[<$E_Model>]<G0>", name), "[]");
  }
  // A missing file only resets the shared reader.
  Expand("<$E_Model>", "Holiday 2006.jpg");
  ASSERT_NE(values.PhotoReader().ExifInfo(), nullptr);
  EXPECT_EQ(Expand("<$E_Model>x<G0>", "gone.jpg"), "x");
  EXPECT_EQ(values.PhotoReader().ExifInfo(), nullptr);
}

TEST_F(MediaValues, Id3FieldsOfMp3Files) {
  EXPECT_EQ(Expand("<$M_ARTIST> - <$M_TITLE><G0>", "song.mp3"), "No\xEBl Artiste - Chanson d'\xE9t\xE9");
  EXPECT_EQ(Expand("<$M_album>_<$M_Year>_<$M_GENRE>_<$M_TRACKSTRING><G0>", "song.mp3"), "Disque_2006_Rock_3-12");
  EXPECT_EQ(Expand("<$M_COMMENT><G0>", "song.mp3"), "A-B- C-");
  EXPECT_EQ(Expand("<$M_TITLE[7]><G0>", "song.mp3"), "Chanson");
  EXPECT_EQ(Expand("[<$M_BITRATE>]<G0>", "song.mp3"), "[]");
  // Version 2.4 in UTF-8, converted to cp1252.
  EXPECT_EQ(Expand("<$M_TITLE> <$M_ARTIST><G0>", "song24.mp3"), "\x8Cuvre \x80 Z\xE9ro");
  for (const char* name : {"notag.mp3", "tiny.mp3", "gone.mp3"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Expand("[<$M_TITLE>]<G0>", name), "[]");
  }
}

TEST_F(MediaValues, Mp3ExtensionIsComparedWithTheOptionAsStored) {
  EXPECT_EQ(Expand("<$M_TITLE><G0>", "song.mp3"), "Chanson d'\xE9t\xE9");
  options.ExtMP3 = "mp3";
  EXPECT_EQ(Expand("[<$M_TITLE>]<G0>", "song.mp3"), "[]");
  options.ExtMP3 = "MP3";
  TTempDir dir;
  dir.Copy("song.mp3", "LOUD.Mp3");
  dir.Copy("song.mp3", "song.wav");
  options.Directory = dir.path().string();
  EXPECT_EQ(Expand("<$M_TITLE><G0>", "LOUD.Mp3"), "Chanson d'\xE9t\xE9");
  EXPECT_EQ(Expand("[<$M_TITLE>]<G0>", "song.wav"), "[]");

  EXPECT_TRUE(HasMp3Extension("a.b.mp3", "MP3"));
  EXPECT_FALSE(HasMp3Extension("mp3", "MP3"));
  EXPECT_FALSE(HasMp3Extension("a.mp3x", "MP3"));
  EXPECT_TRUE(HasMp3Extension("a.", ""));
}

TEST_F(MediaValues, WorkedExamples) {
  EXPECT_EQ(Expand("<$U=day>", "Holiday 2006.jpg"), "HoliDAY 2006");
  EXPECT_EQ(Expand("<$X=^Holiday?Trip>", "Holiday 2006.jpg"), "Trip 2006");
}

TEST_F(MediaValues, CaseTagsAgreeWithPerl) {
  struct Case {
    const char* expression;
    const char* text;
    const char* upper;
    const char* lower;
  };
  const Case cases[] = {
      {"day", "Holiday 2006", "HoliDAY 2006", "Holiday 2006"},
      {"[aeiou]", "Holiday 2006", "HOlIdAy 2006", "Holiday 2006"},
      {"[A-Z]", "Holiday 2006", "Holiday 2006", "holiday 2006"},
      {"b*", "abba", "aBBa", "abba"},
      {"a?", "bab", "bAb", "bab"},
      {"o+|", "foo bar", "fOO bar", "foo bar"},
      {".", "ab", "AB", "ab"},
      {"^", "abc", "abc", "abc"},
      {"$", "abc", "abc", "abc"},
      {"[A-Z]+", "PHOTO De PARIS", "PHOTO De PARIS", "photo de paris"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expression);
    EXPECT_EQ(values.RegexCase(c.expression, c.text, true), c.upper);
    EXPECT_EQ(values.RegexCase(c.expression, c.text, false), c.lower);
  }
  // Matches change case by the cp1252 locale rules.
  EXPECT_EQ(values.RegexCase(".+", "\xE9t\xE9 \xE0 No\xEBl", true), "\xC9T\xC9 \xC0 NO\xCBL");
}

TEST_F(MediaValues, ReplaceTagAgreesWithPerlAndTheEngine) {
  struct Case {
    const char* expression;
    const char* tmpl;
    const char* text;
    const char* result;
  };
  const Case cases[] = {
      {"^Holiday", "Trip", "Holiday 2006", "Trip 2006"},
      {"o", "0", "foo", "f00"},
      {"x*", "-", "abc", "-a-b-c-"},
      {"a*", "-", "baaac", "-b--c-"},
      {"(b+)", "[$1]", "abbc", "a[bb]c"},
      {"(\\d+)", "${1}0", "img 12 and 3", "img 120 and 30"},
      {"(\\w+) (\\d+)", "$2_$1", "Holiday 2006", "2006_Holiday"},
      {"(a)|(b)", "<$1$2>", "cab", "c<a><b>"},
      {"zz", "y", "abc", "abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expression);
    EXPECT_EQ(values.RegexReplace(c.expression, c.tmpl, c.text), c.result);
    EXPECT_EQ(regex::RegexReplaceAll(c.expression, c.text, c.tmpl, true), c.result);
  }
}

TEST_F(MediaValues, RegexTagsThroughTheInterpreter) {
  const std::string name = "Holiday 2006.jpg";
  // L, U and X clear SOURCE wherever they stand.
  EXPECT_EQ(Expand("<$L=H>_<G3>", name), "holiday 2006_");
  EXPECT_EQ(Expand("<G3>-<$U=day>", name), "Hol-iDAY 2006");
  // The expression and the template keep their case.
  EXPECT_EQ(Expand("<$X=HOLI?x>", name), "Holiday 2006");
  // "??" is the separator, reduced to one "?", whose value is then a
  // forbidden character.
  EXPECT_EQ(interpreter.ExpandScript(0, "<$X=a??b?c>", "banana.txt", "banana"), "bb-cnb-cnb-c");
  // Without a separator X yields nothing and keeps SOURCE.
  EXPECT_EQ(Expand("<$X=day>!", name), "Holiday 2006!");
}

TEST_F(MediaValues, CaseTagKeepsAtMost255CharactersAfterTheLastMatch) {
  const std::string source = "a" + std::string(299, 'b');
  EXPECT_EQ(interpreter.ExpandScript(0, "<$U=^a>", "x", source), "A" + std::string(255, 'b'));
  // No match: the first 255 characters, and SOURCE is then empty.
  EXPECT_EQ(interpreter.ExpandScript(0, "<$L=zzz><G3>x", "x", source), source.substr(0, 255) + "x");
  // X keeps everything.
  EXPECT_EQ(interpreter.ExpandScript(0, "<$X=^a?c>", "x", source), "c" + std::string(299, 'b'));
}

// Mended: an expression that matches the empty text made no progress.
TEST_F(MediaValues, EmptyMatchesMoveOnByOneCharacter) {
  const std::string name = "Holiday 2006.jpg";
  EXPECT_EQ(Expand("<$U=x*>", name), "Holiday 2006");
  EXPECT_EQ(Expand("<$L=x*>", name), "Holiday 2006");
  EXPECT_EQ(Expand("<$X=x*?_>", name), "_H_o_l_i_d_a_y_ _2_0_0_6_");
  // The empty matches are still processed: each one inserts the template,
  // also at the end and after a non-empty match.
  EXPECT_EQ(interpreter.ExpandScript(0, "<$X=a*?->", "baaac", "baaac"), "-b--c-");
  EXPECT_EQ(interpreter.ExpandScript(0, "<$U=a*>", "baaac", "baaac"), "bAAAc");
  EXPECT_EQ(interpreter.ExpandScript(0, "<$U=x*>", "e", ""), "");
}

// Mended: a search over the step budget is an error: the whole expansion
// gives SOURCE back, at once. (The back reference keeps the ambiguous loop
// from being settled by the matcher's visited set.)
TEST_F(MediaValues, SearchOverItsStepBudgetFallsBackToSource) {
  const std::string source(40, 'a');
  for (const char* model : {"x<$U=(a|aa)*[bc]\\1>y", "x<$L=(a|aa)*[bc]\\1>y", "x<$X=(a|aa)*[bc]\\1?z>y"}) {
    SCOPED_TRACE(model);
    EXPECT_EQ(interpreter.ExpandScript(0, model, "n", source), source);
  }
  // Without it the same loop is answered: no match, the name as it stands.
  EXPECT_EQ(interpreter.ExpandScript(0, "x<$U=(a|aa)*[bc]>y", "n", source), "x" + source + "y");
  regex::TRegexEngine engine;
  engine.SetExpression("(a|aa)*[bc]\\1");
  try {
    RegexTag(engine, source, true);
    FAIL() << "no error";
  } catch (const regex::ERegexError& e) {
    EXPECT_EQ(e.ErrorCode, regex::kStepBudgetError);
  }
}

// Each search within the engine's budget, but one per character: the tag
// as a whole is over its budget and fails the same way.
TEST_F(MediaValues, TagOverItsStepBudgetFallsBackToSource) {
  // A back reference keeps the search to its step budget.
  const char* expression = "(a|aa){0,14}b\\1|a";
  const std::string source(40, 'a');
  regex::TRegexEngine engine;
  engine.SetExpression(expression);
  ASSERT_TRUE(engine.Exec(source));
  try {
    RegexTag(engine, source, true);
    FAIL() << "no error";
  } catch (const regex::ERegexError& e) {
    EXPECT_EQ(e.ErrorCode, regex::kStepBudgetError);
  }
  EXPECT_EQ(interpreter.ExpandScript(0, std::string("<$U=") + expression + ">", "n", source), source);
  // A long text with a match at every character stays within budget.
  const std::string names(255, 'n');
  EXPECT_EQ(interpreter.ExpandScript(0, "<$U=n>", "n", names), std::string(255, 'N'));
}

TEST_F(MediaValues, BadExpressionsFallBackToSource) {
  for (const char* model : {"a<$U=(b>c", "a<$L=[b>c", "a<$X=(b?c>d", "a<$U=>c", "a<$X=?c>d"}) {
    SCOPED_TRACE(model);
    EXPECT_EQ(Expand(model, "Holiday 2006.jpg"), "Holiday 2006");
  }
  EXPECT_EQ(values.RegexCase("(b", "abc", true), std::nullopt);
}

TEST_F(MediaValues, CacheGivesTheNamesOfReadingEveryFileForEveryTag) {
  const char* models[] = {"<$E_DateTimeOriginal>_<$E_Model><G0>", "<$M_ARTIST> - <$M_TITLE><G0>",
                          "<$E_Make>/<$M_YEAR>/<$U=[aeiou]>", "<$X=(\\w+)?[$1]>", "<$L=[A-Z]><$E_Model[3]>"};
  const char* names[] = {"Holiday 2006.jpg", "scan.tif", "comment.jpg", "iptc.jpg", "song.mp3",
                         "song24.mp3",       "notag.mp3", "tiny.mp3",    "gone.jpg"};
  std::vector<std::string> plain;
  values.SetCaching(TValueCaching::Off);
  for (const char* m : models)
    for (const char* n : names) plain.push_back(Expand(m, n));
  const TMediaReadStats readEveryTime = values.Stats();

  values.SetCaching(TValueCaching::On);
  values.ResetStats();
  for (int pass = 0; pass < 2; ++pass) {
    size_t i = 0;
    for (const char* m : models)
      for (const char* n : names) EXPECT_EQ(Expand(m, n), plain[i++]) << m << " " << n;
    if (pass == 0) {
      // Four photos: one read each for the first model's two tags, and one
      // more for "Make", asked later; every tag read its file before. The
      // MP3 files are no photos by their names and are never opened for
      // photo tags.
      EXPECT_EQ(values.Stats().PhotoReads, 8u);
      EXPECT_EQ(readEveryTime.PhotoReads, 16u);
      values.ResetStats();
    }
  }
  // A repaint reads no file.
  EXPECT_EQ(values.Stats().PhotoReads, 0u);
  EXPECT_EQ(values.Stats().AudioReads, 0u);
  EXPECT_GT(values.Stats().CacheHits, 0u);
}

// Counts the file system calls of the value tags.
class TCountingFiles final : public IMediaFiles {
public:
  std::optional<TFileStamp> Stamp(const std::u16string& path) override {
    ++stamps;
    return m_disk.Stamp(path);
  }
  std::unique_ptr<media::TByteSource> Open(const std::u16string& path) override {
    ++opens;
    return m_disk.Open(path);
  }
  std::unique_ptr<media::TByteSource> OpenStamped(const std::u16string& path, TFileStamp& stamp) override {
    ++stampedOpens;
    const std::optional<TFileStamp> found = m_disk.Stamp(path);
    std::unique_ptr<media::TByteSource> source = found ? m_disk.Open(path) : nullptr;
    if (source) stamp = *found;
    return source;
  }
  int stamps = 0, opens = 0, stampedOpens = 0;

private:
  TStdioMediaFiles m_disk;
};

TEST(MediaValueCalls, AFirstReadOpensOnceAndARepaintOnlyStamps) {
  TProgramOptions options;
  options.Directory = DataFolder();
  TFileListing listing;
  TCountingFiles files;
  TMediaScriptValues values(options, listing, files);
  TScriptInterpreter in(options, listing, &values);
  const auto expand = [&](std::string_view model, std::string_view name) {
    return in.ExpandScript(9999, model, name, NamePart(name));
  };
  // Photo tags on files that are no photos by their names touch no file.
  EXPECT_EQ(expand("[<$E_Model><$E_Make>]<G0>", "song.mp3"), "[]");
  EXPECT_EQ(expand("[<$E_Model>]<G0>", "absent.txt"), "[]");
  EXPECT_EQ(files.stamps + files.opens + files.stampedOpens, 0);
  EXPECT_EQ(values.Stats().PhotoReads, 0u);

  // A first read: one open that brings the stamp; the second tag of the
  // same expansion takes the file as unchanged.
  EXPECT_EQ(expand("<$E_Model>_<$E_Make><G0>", "Holiday 2006.jpg"), "Exemplar Z5_Exemplar");
  EXPECT_EQ(files.stampedOpens, 1);
  EXPECT_EQ(files.opens, 0);
  EXPECT_EQ(files.stamps, 0);
  // A repaint: one stamp for the file, no open.
  EXPECT_EQ(expand("<$E_Model>_<$E_Make><G0>", "Holiday 2006.jpg"), "Exemplar Z5_Exemplar");
  EXPECT_EQ(files.stampedOpens, 1);
  EXPECT_EQ(files.opens, 0);
  EXPECT_EQ(files.stamps, 1);
  EXPECT_EQ(values.Stats().PhotoReads, 1u);
  // Outside an expansion every call looks the file up.
  const std::string path = DataFolder() + "\\Holiday 2006.jpg";
  const TScriptFile direct{9999, "Holiday 2006.jpg", path};
  EXPECT_EQ(values.ExifValue(direct, "Model"), "Exemplar Z5");
  EXPECT_EQ(values.ExifValue(direct, "Make"), "Exemplar");
  EXPECT_EQ(files.stamps, 3);

  // A missing photo: the failed open is told from an unopenable file by
  // its stamp, and nothing is kept.
  EXPECT_EQ(expand("[<$E_Model>]<G0>", "gone.jpg"), "[]");
  EXPECT_EQ(files.stampedOpens, 2);
  EXPECT_EQ(files.stamps, 4);
  EXPECT_EQ(values.CachedFiles(), 1u);

  // Without the cache every tag opens its file, with no stamp beforehand.
  values.SetCaching(TValueCaching::Off);
  files.stamps = files.opens = files.stampedOpens = 0;
  EXPECT_EQ(expand("<$M_ARTIST> - <$M_TITLE><G0>", "song.mp3"), "No\xEBl Artiste - Chanson d'\xE9t\xE9");
  EXPECT_EQ(files.stampedOpens, 2);
  EXPECT_EQ(files.stamps + files.opens, 0);
}

TEST_F(MediaValues, RewrittenOrRemovedFilesAreReadAgain) {
  TTempDir dir;
  options.Directory = dir.path().string();
  dir.Copy("song.mp3", "a.mp3");
  EXPECT_EQ(Expand("<$M_ARTIST><G0>", "a.mp3"), "No\xEBl Artiste");
  EXPECT_EQ(Expand("<$M_ARTIST><G0>", "a.mp3"), "No\xEBl Artiste");
  EXPECT_EQ(values.Stats().AudioReads, 1u);

  // Another size.
  dir.Copy("song24.mp3", "a.mp3");
  EXPECT_EQ(Expand("<$M_ARTIST><G0>", "a.mp3"), "Z\xE9ro");
  EXPECT_EQ(values.Stats().AudioReads, 2u);

  // Same size, other bytes and another last-write time.
  {
    std::fstream f(dir.path() / "a.mp3", std::ios::in | std::ios::out | std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    const size_t at = bytes.find("Z\xC3\xA9ro");
    ASSERT_NE(at, std::string::npos);
    f.seekp(static_cast<std::streamoff>(at));
    f.write("Hero", 4);
  }
  const fs::path p = dir.path() / "a.mp3";
  fs::last_write_time(p, fs::last_write_time(p) + std::chrono::seconds(5));
  EXPECT_EQ(Expand("<$M_ARTIST><G0>", "a.mp3"), "Heroo");
  EXPECT_EQ(values.Stats().AudioReads, 3u);

  fs::remove(p);
  EXPECT_EQ(Expand("[<$M_ARTIST>]<G0>", "a.mp3"), "[]");
  EXPECT_EQ(values.CachedFiles(), 0u);
}

TEST_F(MediaValues, ClearCacheMakesTheNextTagReadAgain) {
  const std::string jpg = "Holiday 2006.jpg";
  Expand("<$E_Model>", jpg);
  Expand("<$E_Model>", jpg);
  EXPECT_EQ(values.Stats().PhotoReads, 1u);
  EXPECT_EQ(values.CachedFiles(), 1u);
  values.ClearCache();
  EXPECT_EQ(values.CachedFiles(), 0u);
  EXPECT_EQ(Expand("<$E_Model><G0>", jpg), "Exemplar Z5");
  EXPECT_EQ(values.Stats().PhotoReads, 2u);
}

TEST_F(MediaValues, CompiledExpressionsGiveTheResultsOfFreshEngines) {
  // More distinct expressions than the compiled cache keeps, in turn.
  std::vector<std::string> expressions;
  for (int i = 0; i < 40; ++i) expressions.push_back("(" + std::string(1, char('a' + i % 26)) + "+)" + std::to_string(i % 3) + "?");
  expressions.push_back("(b");
  // Another text each round, so that engines are reused, not results.
  const std::string texts[] = {"abc0 aab1 ccc2 zz0 yyy", "yyy2 aab0 abc1 ccc", "abc0 aab1 ccc2 zz0 yyy"};
  std::vector<std::optional<std::string>> plain;
  values.SetCaching(TValueCaching::Off);
  for (const std::string& text : texts)
    for (const std::string& e : expressions) {
      plain.push_back(values.RegexCase(e, text, text[0] == 'a'));
      plain.push_back(values.RegexReplace(e, "<$1>", text));
    }
  values.SetCaching(TValueCaching::On);
  size_t i = 0;
  for (const std::string& text : texts)
    for (const std::string& e : expressions) {
      EXPECT_EQ(values.RegexCase(e, text, text[0] == 'a'), plain[i++]) << e;
      EXPECT_EQ(values.RegexReplace(e, "<$1>", text), plain[i++]) << e;
    }
}

TEST_F(MediaValues, DateTagAsksWhetherTheFileExists) {
  TTempDir dir;
  dir.Copy("song.mp3", "a.mp3");
  testing::TDiskFolderReader reader;
  listing.SetFolderReader(&reader);
  options.Directory = dir.path().string();
  ASSERT_EQ(listing.ScanFolder(options.Directory, "*.*", kScanAttributes), 1u);
  TCalendarTime when;
  when.Year = 2006;
  when.Month = 12;
  when.Day = 25;
  when.Hour = 14;
  when.Minute = 30;
  listing.Item(0).Modified = *EncodeDateTime(when);
  EXPECT_EQ(interpreter.ExpandScript(0, "<$D_LASTWRITE><G0>", "a.mp3", "a"), "25-12-2006 14-30-00");
  fs::remove(dir.path() / "a.mp3");
  EXPECT_EQ(interpreter.ExpandScript(0, "[<$D_LASTWRITE>]<G0>", "a.mp3", "a"), "[]");
}

TEST_F(MediaValues, ListedFilesAreReadByTheirExactName) {
  TTempDir dir;
  testing::TDiskFolderReader reader;
  listing.SetFolderReader(&reader);
  options.Directory = dir.path().string();
  // A name cp1252 cannot hold: its cp1252 form "?mega.mp3" names no file.
  const std::u16string wide = u"\u03A9mega.mp3";
  dir.Copy("song.mp3", fs::path(wide));
  ASSERT_EQ(listing.ScanFolder(options.Directory, "*.*", kScanAttributes), 1u);
  const TFileObject& f = listing.Item(0);
  ASSERT_TRUE(f.NameIsLossy);
  ASSERT_EQ(f.FileName, "?mega.mp3");
  const TScriptFile file{0, f.FileName, ""};
  EXPECT_EQ(values.ExactPath(file), base::Cp1252ToUtf16(options.Directory) + u"\\" + wide);
#ifndef _WIN32  // stdio under Windows opens by the ANSI code page
  EXPECT_EQ(interpreter.ExpandScript(0, "<$M_ARTIST><G0>", f.FileName, "?mega"), "No\xEBl Artiste");
#endif
  // Not that entry of the listing, or a listing of another folder: the
  // path built from "Directory" and the name.
  EXPECT_EQ(values.ExactPath(TScriptFile{0, "other.mp3", "d\\other.mp3"}), u"d\\other.mp3");
  options.Directory += "x";
  EXPECT_EQ(values.ExactPath(TScriptFile{0, f.FileName, "d\\?mega.mp3"}), u"d\\?mega.mp3");
}

}  // namespace
}  // namespace qv::engine
