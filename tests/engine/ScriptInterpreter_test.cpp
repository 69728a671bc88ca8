// Tests of engine/ScriptInterpreter.h: every letter and "$" tag, tag
// anatomy ("=", "?", "??"), ranges, forbidden-character replacement, the
// value seam, the fault fallback, and the R and S tags against a literal
// transcription of their rules on random inputs.
#include "engine/ScriptInterpreter.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/DateTime.h"
#include "engine/FolderReader.h"
#include "engine/TextUtils.h"

using namespace qv::engine;

namespace {

struct Case {
  const char* script;
  const char* expected;
};

// Records what the interpreter asks, answers from maps; the regular
// expressions are taken as literal texts, which is enough to check what
// the interpreter hands over and what it does with the answer.
class FakeValues : public TScriptValues {
public:
  bool exists = true;
  std::map<std::string, std::string> exif, mp3;
  std::vector<std::string> calls;

  bool FileExists(const TScriptFile& f) override {
    calls.push_back("exists " + std::string(f.Path));
    return exists;
  }
  std::string ExifValue(const TScriptFile& f, std::string_view name) override {
    calls.push_back("exif " + std::string(name) + " " + std::string(f.OldFullName));
    auto it = exif.find(std::string(name));
    return it == exif.end() ? std::string() : it->second;
  }
  std::string Mp3Value(const TScriptFile&, std::string_view key) override {
    calls.push_back("mp3 " + std::string(key));
    auto it = mp3.find(std::string(key));
    return it == mp3.end() ? std::string() : it->second;
  }
  std::optional<std::string> RegexCase(std::string_view expr, std::string_view text, bool up) override {
    calls.push_back(std::string(up ? "U " : "L ") + std::string(expr) + " on " + std::string(text));
    if (expr == "(") return std::nullopt;
    std::string out(text);
    for (size_t at = out.find(expr); !expr.empty() && at != std::string::npos; at = out.find(expr, at + expr.size()))
      out.replace(at, expr.size(), up ? AnsiUpperCase(expr) : AnsiLowerCase(expr));
    return out;
  }
  std::optional<std::string> RegexReplace(std::string_view expr, std::string_view tmpl,
                                          std::string_view text) override {
    calls.push_back("X " + std::string(expr) + " by " + std::string(tmpl) + " on " + std::string(text));
    if (expr == "(") return std::nullopt;
    std::string out(text);
    const size_t at = out.find(expr);
    if (!expr.empty() && at != std::string::npos) out.replace(at, expr.size(), tmpl);
    return out;
  }
};

// One file whose three times the date tags read.
class OneFileReader : public IFolderReader {
public:
  TFolderEntry entry;
  bool ReadFolder(const std::u16string&, const std::function<void(const TFolderEntry&)>& onEntry) override {
    onEntry(entry);
    return true;
  }
  std::string TypeName(const std::u16string&) override { return {}; }
};

int64_t FileTime(int y, int mo, int d, int h, int mi, int s) {
  TCalendarTime t;
  t.Year = y, t.Month = mo, t.Day = d, t.Hour = h, t.Minute = mi, t.Second = s;
  return CalendarToFileTime(t).value();
}

class Script : public ::testing::Test {
protected:
  Script() {
    options.Directory = "D:\\Photos\\Paris";
    in.SetFolderName("Paris");
    reader.entry.Name = u"Holiday 2006.jpg";
    reader.entry.Created = FileTime(2006, 12, 25, 14, 30, 0);
    reader.entry.Modified = FileTime(2006, 12, 25, 0, 0, 0);
    reader.entry.Accessed = FileTime(2007, 1, 2, 3, 4, 6);
    listing.SetFolderReader(&reader);
    listing.SetTimeZone(FixedOffsetTimeZone(0));
    listing.ScanFolder(options.Directory, "*.*", kScanAttributes);
  }

  std::string Expand(std::string_view script, std::string_view source = "Holiday 2006") {
    return in.ExpandScript(0, script, "Holiday 2006.jpg", source);
  }

  void ExpectAll(const std::vector<Case>& cases, std::string_view source = "Holiday 2006") {
    for (const Case& c : cases) EXPECT_EQ(Expand(c.script, source), c.expected) << "script " << c.script;
  }

  TProgramOptions options;
  OneFileReader reader;
  TFileListing listing;
  FakeValues values;
  TScriptInterpreter in{options, listing, &values};
};

TEST_F(Script, WorkedExamples) {
  ExpectAll({
      {"<G4>", "Holi"},
      {"<G4>_", "Holiday 2006_"},
      {"<U1><L3>", "Holi"},
      {"<C8>", "2006"},
      {"<C8>-<G4>", "-2006"},
      {"<G7=hol>", "Holiday"},
      {"<G7=abc>", ""},
      {"<C8=holiday >x", "2006x"},
      {"<C8=trip>x", "Holiday 2006x"},
      {"<S1= >", "Holiday2006"},
      {"<R1=o?0>", "H0liday 2006"},
      {"<$D>", "ParisHoliday 2006"},
      {"<$D> <G0>", "Paris "},
      {"a<G2", "aHoliday 2006"},
      {"<>x", "Holiday 2006x"},
      {"<Z3>", "Holiday 2006"},
  });
}

TEST_F(Script, PlainTextAndTagEnds) {
  ExpectAll({
      {"", "Holiday 2006"},
      {"abc", "Holiday 2006abc"},
      {"x<G2>y<G2>", "xHoyli"},
      {"<G2><C1>", "Hoiday 2006"},
      // G, U, L and A as the last thing of the script drop the rest of
      // SOURCE, even when they take nothing; C, R, S, D, E, M do not.
      {"<G0>", ""},
      {"<U2>", "HO"},
      {"<L2>", "ho"},
      {"<A2>", "Ho"},
      {"<C2>", "liday 2006"},
      {"<R1=o?0>", "H0liday 2006"},
      {"<S1=o>", "Hliday 2006"},
      {"<$D_CREATE[2]>", "25Holiday 2006"},
      {"<$E_Model>", "Holiday 2006"},
      {"<$M_TITLE>", "Holiday 2006"},
      {"<G2><>", "Holiday 2006"},
      // An unterminated tag drops itself and everything after it.
      {"<G2>a<G2 b", "Hoaliday 2006"},
      {"<G2>a<", "Hoaliday 2006"},
      // The first ">" closes a tag; no nesting.
      {"<G<2>>", "Holiday 2006>"},
      {"<$D>>", "ParisHoliday 2006>"},
  });
}

TEST_F(Script, LowerCaseTagsAndCaseRules) {
  ExpectAll({
      {"<g3>", "Hol"},
      {"<u3>", "HOL"},
      {"<l3>", "hol"},
      {"<c3>", "iday 2006"},
      {"<s1=O>", "Hliday 2006"},
      {"<r1=O?0>", "H0liday 2006"},
      {"<$d>", "ParisHoliday 2006"},
      {"<$f>", "ParisHoliday 2006"},
      {"<$F>", "ParisHoliday 2006"},
  });
  // Letter case of Windows-1252, accents included.
  EXPECT_EQ(Expand("<U5>", "\xE9t\xE9 \xFF"), "\xC9T\xC9 \x9F");
  EXPECT_EQ(Expand("<L5>", "\xC9T\xC9 \x8A"), "\xE9t\xE9 \x9A");
  EXPECT_EQ(Expand("<A6>", "\xC0\xE7\xE9\xC6\xFF\x8A"), "Ace\xC6yS");
  // The comparison is in upper case, accents included.
  EXPECT_EQ(Expand("<G3=\xC9T\xC9>", "\xE9t\xE9 x"), "\xE9t\xE9");
  EXPECT_EQ(Expand("<S1=\xE9>", "a\xC9" "b\xE9"), "ab");
}

TEST_F(Script, CompareForms) {
  ExpectAll({
      // Matching: the letter's change; not matching: G takes nothing, the
      // others take the characters unchanged; both consume them.
      {"<U4=ho>_", "HOLIday 2006_"},
      {"<U4=xx>_", "Holiday 2006_"},
      {"<L4=ho>_", "holiday 2006_"},
      {"<L4=xx>_", "Holiday 2006_"},
      {"<G4=xx>_", "day 2006_"},
      {"<A4=xx>_", "Holiday 2006_"},
      // C: matching cuts, not matching keeps.
      {"<C4=ho>_", "day 2006_"},
      {"<C4=x>_", "Holiday 2006_"},
      // The length of CMP, not N, decides how much is compared.
      {"<G2=holiday 2>_", "Holiday 2006_"},
      {"<G2=holiday 3>_", "liday 2006_"},
      {"<G2=holiday 2006x>_", "liday 2006_"},
      // An empty comparison always matches.
      {"<G3=>_", "Holiday 2006_"},
      {"<C3=>_", "iday 2006_"},
      // Without a number the count is 0.
      {"<G=hol>x", "Holiday 2006x"},
      {"<Gx=hol>x", "Holiday 2006x"},
  });
}

TEST_F(Script, Separators) {
  // "??" is the separator when there is one, reduced to a single "?"; a
  // "?" before the "=" is none; without a separator R does nothing; with an
  // empty replacement R stops when the next find is where the last was.
  EXPECT_EQ(Expand("<R2=ab??cd>", "abx"), "cdx");
  EXPECT_EQ(Expand("<R3=a?b??c>", "a?bb"), "cb");
  EXPECT_EQ(Expand("<R1=a?b??c>", "a?bb"), "c?bb");
  EXPECT_EQ(Expand("<R1?=a?b>", "abc"), "abc");
  EXPECT_EQ(Expand("<R1=a>", "abx"), "abx");
  EXPECT_EQ(Expand("<R1=a?>", "aab"), "ab");
  EXPECT_EQ(Expand("<R1=a?>", "aba"), "b");
  EXPECT_EQ(Expand("<R1=a?A>", "aaa"), "AAA");
  EXPECT_EQ(Expand("<R1=a?aa>", "aba"), "aabaa");
  EXPECT_EQ(Expand("<R3=ab?X>", "abcabc"), "XX");
  EXPECT_EQ(Expand("<R9=b?X>", "abcb"), "aX");
  EXPECT_EQ(Expand("<S2=ab>", "aabbab"), "");
  EXPECT_EQ(Expand("<S1=ab>", "aabb"), "bb");
}

TEST_F(Script, MendedCounts) {
  ExpectAll({
      // An empty comparison text never occurs: S and R do nothing.
      {"<S1=>", "Holiday 2006"},
      {"<S3=?>", "Holiday 2006"},
      {"<R1=?x>", "Holiday 2006"},
      {"<R1=??x>", "Holiday 2006"},
      // Negative counts take nothing; S and R need a positive one.
      {"<G-3>", ""},
      {"<G-3>_", "Holiday 2006_"},
      {"<C-3>", "Holiday 2006"},
      {"<U-1=h>_", "Holiday 2006_"},
      {"<S-1=o>", "Holiday 2006"},
      {"<S0=o>", "Holiday 2006"},
      {"<R0=o?0>", "Holiday 2006"},
      {"<R-2=o?0>", "Holiday 2006"},
      // Counts past SOURCE take what there is; numbers beyond 32 bits are
      // not numbers.
      {"<G2147483647>", "Holiday 2006"},
      {"<C2147483647>x", "x"},
      {"<G99999999999>", ""},
      {"<G99999999999>_", "Holiday 2006_"},
      {"<S2147483647=d>", "Holi"},
      {"<R2147483647=d?D>", "HoliD"},
      {"<G+3>_", "Holiday 2006_"},
      {"<G 3>_", "Holiday 2006_"},
      {"<G3 >_", "Holiday 2006_"},
      {"<G->_", "Holiday 2006_"},
  });
  EXPECT_EQ(Expand("<G2147483648>_"), "Holiday 2006_");
  EXPECT_EQ(Expand("<G-2147483648>_"), "Holiday 2006_");
}

TEST_F(Script, DateTags) {
  ExpectAll({
      {"<$D_CREATE>", "25-12-2006 14-30-00Holiday 2006"},
      {"<$D_create>", "25-12-2006 14-30-00Holiday 2006"},
      {"<$D_LASTWRITE>", "25-12-2006Holiday 2006"},
      {"<$D_ACCESS>", "02-01-2007 03-04-06Holiday 2006"},
      {"<$D_OTHER>", "Holiday 2006"},
      {"<$D_>", "Holiday 2006"},
      {"<$DCREATE>", "Holiday 2006"},
      {"<$D=CREATE>", "Holiday 2006"},
      // Ranges.
      {"<$D_CREATE[10]>", "25-12-2006Holiday 2006"},
      {"<$D_CREATE[3-2]>", "-1Holiday 2006"},
      {"<$D_CREATE[x]>", "25-12-2006 14-30-00Holiday 2006"},
      {"<$D_CREATE[3-0]>", "Holiday 2006"},
      {"<$D_CREATE[0-4]>", "25-1Holiday 2006"},
      {"<$D_CREATE[12-99]>", "14-30-00Holiday 2006"},
      {"<$D_CREATE[19-1]>", "0Holiday 2006"},
      {"<$D_CREATE[20-1]>", "Holiday 2006"},
      {"<$D_CREATE[2147483647-2147483647]>", "Holiday 2006"},
      {"<$D_CREATE[99999999999]>", "25-12-2006 14-30-00Holiday 2006"},
      {"<$D_CREATE[-3]>", "25-Holiday 2006"},
      {"<$D_CREATE[2--3]>", "Holiday 2006"},
      {"<$D_CREATE[3]x>", "25-Holiday 2006"},
      {"<$D_CREATE[3>", "25-12-2006 14-30-00Holiday 2006"},
      {"<$D_[3]>", "Holiday 2006"},
  });
  EXPECT_EQ(values.calls.front(), "exists D:\\Photos\\Paris\\Holiday 2006.jpg");
  // A file that is gone yields nothing; the rest of the script goes on.
  values.exists = false;
  EXPECT_EQ(Expand("a<$D_CREATE>b<G4>"), "abHoli");
  // Outside the listing: nothing.
  EXPECT_EQ(in.ExpandScript(7, "<$D_CREATE>", "x.jpg", "x"), "x");
  EXPECT_EQ(in.FileDateTag(0, "Access"), "02/01/2007 03:04:06");
  EXPECT_EQ(in.FileDateTag(0, "LastWrite"), "25/12/2006");
  EXPECT_EQ(in.FileDateTag(0, "CREATED"), "");
}

TEST_F(Script, ReplaceCharOption) {
  options.ReplaceChar = "";
  EXPECT_EQ(Expand("<$D_CREATE>"), "25122006 143000Holiday 2006");
  options.ReplaceChar = "__";
  EXPECT_EQ(Expand("<$D_CREATE[10]>"), "25__12__2006Holiday 2006");
  // The range is taken from the value before the replacement.
  options.ReplaceChar = "";
  EXPECT_EQ(Expand("<$D_CREATE[3-3]>"), "12Holiday 2006");
  // The folder name is inserted as it is.
  in.SetFolderName("a:b");
  EXPECT_EQ(Expand("<$D>_"), "a:bHoliday 2006_");
}

TEST(ReplaceForbiddenChars, EveryCharacterAndReplacement) {
  const struct {
    const char* text;
    const char* replacement;
    const char* expected;
  } cases[] = {
      {"", "-", ""},
      {"abc", "-", "abc"},
      {"\"*/:<>?\\|", "-", "---------"},
      {"25/12/2006 14:30:00", "-", "25-12-2006 14-30-00"},
      {"a/b", "", "ab"},
      {"a/b:c", "__", "a__b__c"},
      // What is inserted is not looked at again.
      {"a?b", "??", "a??b"},
      {"\xE9/\xFF", "-", "\xE9-\xFF"},
      // Control characters of a tag value are no more usable in a name.
      {"Song\tOne\x01\x1F!", "-", "Song-One--!"},
      {"\r\n", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ReplaceForbiddenChars(c.text, c.replacement), c.expected) << c.text;
  EXPECT_EQ(ReplaceForbiddenChars(std::string("a\0b", 3), "-"), std::string("a\0b", 3));
}

TEST_F(Script, MediaValueTags) {
  values.exif["Model"] = "Cam/Pro 5";
  values.mp3["title"] = "Song: One";
  values.mp3["album"] = "Live\tat\x01Home";
  ExpectAll({
      {"<$E_Model>_", "Cam-Pro 5Holiday 2006_"},
      {"<$e_Model[3]>_", "CamHoliday 2006_"},
      {"<$E_Model[4-3]>_", "-PrHoliday 2006_"},
      {"<$E_Unknown>_", "Holiday 2006_"},
      {"<$M_title>_", "Song- OneHoliday 2006_"},
      {"<$m_title[1-4]>_", "SongHoliday 2006_"},
      {"<$EModel>_", "Holiday 2006_"},
      {"<$E=Model>_", "Holiday 2006_"},
      {"<$E_>_", "Holiday 2006_"},
  });
  // Names keep their case as typed; the file is the old full name.
  EXPECT_EQ(values.calls[0], "exif Model Holiday 2006.jpg");
  EXPECT_EQ(values.calls[4], "mp3 title");
  // Unknown kinds and short "$" tags yield nothing.
  ExpectAll({{"<$>_", "Holiday 2006_"},
             {"<$Q>_", "Holiday 2006_"},
             {"<$Q_x>_", "Holiday 2006_"},
             {"<$Dx>_", "Holiday 2006_"},
             {"<$F_x>_", "Holiday 2006_"}});
  // Control characters of a value go the way of the forbidden ones.
  ExpectAll({{"<$M_album>_", "Live-at-HomeHoliday 2006_"}});
}

TEST_F(Script, RegexTags) {
  ExpectAll({
      {"<$U=day>", "HoliDAY 2006"},
      {"<$L=HOL>", "Holiday 2006"},
      {"<$l=Hol>_", "holiday 2006_"},
      // The regular-expression tags clear SOURCE wherever they stand.
      {"<$U=day><G3>x", "HoliDAY 2006x"},
      {"<G2><$U=day>x", "HoliDAY 2006x"},
      {"<$X=Holiday?Trip>", "Trip 2006"},
      {"<$x=2006?y/m>-", "Holiday y-m-"},
      // "=" must follow the kind letter, and X needs a separator.
      {"<$U_day>_", "Holiday 2006_"},
      {"<$Uday>_", "Holiday 2006_"},
      {"<$X=Holiday>_", "Holiday 2006_"},
  });
  values.calls.clear();
  // The expression and template keep their case; "??" is reduced in them.
  EXPECT_EQ(Expand("<$U=a??b>"), "Holiday 2006");
  EXPECT_EQ(Expand("<$X=Ho?Lo?x>"), "Lo-xliday 2006");
  EXPECT_EQ(Expand("<$X=a??b?c>"), "Holidb-cy 2006");
  ASSERT_EQ(values.calls.size(), 3u);
  EXPECT_EQ(values.calls[0], "U a?b on Holiday 2006");
  EXPECT_EQ(values.calls[1], "X Ho by Lo?x on Holiday 2006");
  EXPECT_EQ(values.calls[2], "X a by b?c on Holiday 2006");
  // An expression that cannot be used ends the expansion with SOURCE.
  EXPECT_EQ(Expand("abc<$U=(>def"), "Holiday 2006");
  EXPECT_EQ(Expand("<G3><$X=(?x>"), "Holiday 2006");
}

TEST(ScriptDefaults, NoReadersNoEngine) {
  TProgramOptions options;
  TFileListing listing;
  TScriptInterpreter in(options, listing);
  // No media reader: the tags yield nothing; no expression engine: the
  // script gives its SOURCE.
  EXPECT_EQ(in.ExpandScript(0, "a<$E_Model>b<$M_TITLE>c", "x.jpg", "x"), "abxc");
  EXPECT_EQ(in.ExpandScript(0, "a<$U=x>", "x.jpg", "x"), "x");
  EXPECT_EQ(in.FolderName(), "");
  EXPECT_EQ(in.ExpandScript(0, "<$D>", "x.jpg", "x"), "x");
}

class ThrowingValues : public TScriptValues {
public:
  std::string ExifValue(const TScriptFile&, std::string_view) override { throw std::runtime_error("corrupt"); }
};

TEST_F(Script, FaultsGiveSource) {
  ThrowingValues throwing;
  in.SetValues(&throwing);
  EXPECT_EQ(Expand("<G3>-<$E_Model>-"), "Holiday 2006");
  in.SetValues(nullptr);
  EXPECT_EQ(Expand("<$E_Model><G3>"), "Hol");
  // An R tag that would grow SOURCE past any possible path fails the
  // script instead of exhausting memory.
  const std::string big(64, 'a');
  const std::string grow = "<R1=a?" + big + ">";
  std::string model;
  for (int i = 0; i < 4; ++i) model += grow;
  EXPECT_EQ(Expand(model, "aaaa"), "aaaa");
  EXPECT_EQ(Expand(grow, "aaaa").size(), 4u * 64u);
  // S tags that would rescan a long SOURCE over and over run out of steps.
  const std::string name(255, 'a');
  const std::string widen = "<R1=a?" + std::string(120, 'a') + ">";
  EXPECT_EQ(Expand(widen + "<S1=aa>", name), name);
  EXPECT_EQ(Expand("<S1=" + std::string(200, 'a') + ">", name), std::string(199, 'a'));
  EXPECT_EQ(Expand(widen + "<S30000=a>", name), "");
}

// Literal transcriptions of the R and S rules, to check the one-pass forms.
std::string LiteralReplace(std::string s, const std::string& cmp, size_t n, const std::string& repl) {
  size_t p = AnsiUpperCase(s).find(cmp);
  while (p != std::string::npos) {
    s.erase(p, n);
    s.insert(p, repl);
    const size_t q = AnsiUpperCase(s).find(cmp, p + repl.size());
    if (q == std::string::npos || q <= p) break;
    p = q;
  }
  return s;
}

std::string LiteralSuppress(std::string s, const std::string& cmp, size_t n) {
  for (size_t p = AnsiUpperCase(s).find(cmp); p != std::string::npos; p = AnsiUpperCase(s).find(cmp)) s.erase(p, n);
  return s;
}

TEST(ScriptDifferential, ReplaceAndSuppressMatchTheirRules) {
  TProgramOptions options;
  TFileListing listing;
  TScriptInterpreter in(options, listing);
  std::mt19937 rng(4);
  auto text = [&](size_t maxLen) {
    std::string s(rng() % (maxLen + 1), ' ');
    for (char& c : s) c = "aAb"[rng() % 3];
    return s;
  };
  for (int i = 0; i < 20000; ++i) {
    const std::string source = text(10);
    std::string cmp = text(3);
    if (cmp.empty()) cmp = "a";
    const std::string repl = text(3);
    const size_t n = 1 + rng() % 4;
    const std::string upper = AnsiUpperCase(cmp);
    EXPECT_EQ(in.ExpandScript(0, "<R" + std::to_string(n) + "=" + cmp + "?" + repl + ">", "", source),
              LiteralReplace(source, upper, n, repl))
        << source << " R" << n << " " << cmp << " " << repl;
    EXPECT_EQ(in.ExpandScript(0, "<S" + std::to_string(n) + "=" + cmp + ">", "", source),
              LiteralSuppress(source, upper, n))
        << source << " S" << n << " " << cmp;
  }
}

}  // namespace
