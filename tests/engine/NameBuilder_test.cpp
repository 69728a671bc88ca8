// Tests of engine/NameBuilder.h: old parts, the index text and its place,
// the two index modes with fixed, kept and scripted parts, and every case
// mode of names and extensions, with and without accent folding.
#include "engine/NameBuilder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace qv::engine;

namespace {

TEST(NameBuilderParts, OldNamePartAndExtension) {
  const struct {
    const char* full;
    const char* name;
    const char* ext;
  } cases[] = {
      {"archive.tar.gz", "archive.tar", "gz"}, {".profile", "", "profile"}, {"readme", "readme", ""},
      {"a.", "a", ""},                         {"", "", ""},                {"Holiday 2006.jpg", "Holiday 2006", "jpg"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OldNamePart(c.full), c.name) << c.full;
    EXPECT_EQ(OldExtension(c.full), c.ext) << c.full;
  }
}

TEST(NameBuilderParts, CaseModes) {
  const struct {
    const char* text;
    int mode;
    bool folded;
    TCasePart part;
    const char* expected;
  } cases[] = {
      {"h\xC9L\xC8NE", 0, false, TCasePart::Name, "h\xC9L\xC8NE"},
      {"h\xC9L\xC8NE", 1, false, TCasePart::Name, "H\xC9L\xC8NE"},
      {"h\xC9L\xC8NE", 1, true, TCasePart::Name, "HELENE"},
      {"h\xC9L\xC8NE", 2, false, TCasePart::Name, "H\xE9l\xE8ne"},
      {"h\xC9L\xC8NE", 2, true, TCasePart::Name, "Helene"},
      {"h\xC9L\xC8NE", 3, false, TCasePart::Name, "h\xE9l\xE8ne"},
      {"h\xC9L\xC8NE", 3, true, TCasePart::Name, "helene"},
      {"le petit  prince", 4, false, TCasePart::Name, "Le Petit  Prince"},
      {"jean-paul dupont", 4, false, TCasePart::Name, "Jean-paul Dupont"},
      {"a b ", 4, false, TCasePart::Name, "A B "},
      {" x", 4, false, TCasePart::Name, " X"},
      {"\xE9lan \xE9T\xE9", 4, false, TCasePart::Name, "\xC9lan \xC9t\xE9"},
      {"\xE9lan \xE9T\xE9", 4, true, TCasePart::Name, "Elan Ete"},
      // Outside the narrower folding table, accented letters keep their case.
      {"\xF3\xD1", 1, true, TCasePart::Name, "\xF3\xD1"},
      {"\xF3\xD1", 1, false, TCasePart::Name, "\xD3\xD1"},
      {"\xFF", 1, false, TCasePart::Name, "\x9F"},
      {"\xFF", 1, true, TCasePart::Name, "Y"},
      {"abc", 5, false, TCasePart::Name, "abc"},
      {"abc", -1, false, TCasePart::Name, "abc"},
      {"", 2, false, TCasePart::Name, ""},
      {"", 4, true, TCasePart::Name, ""},
      {"jPg", 1, false, TCasePart::Extension, "JPG"},
      {"jPg", 2, false, TCasePart::Extension, "Jpg"},
      {"JPG", 3, false, TCasePart::Extension, "jpg"},
      {"a b", 4, false, TCasePart::Extension, "a b"},
      {"", 1, false, TCasePart::Extension, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ConvertCase(c.text, c.mode, c.folded, c.part), c.expected)
        << c.text << " mode " << c.mode << (c.folded ? " folded" : "");
}

TEST(NameBuilderParts, InsertIndex) {
  const struct {
    const char* part;
    int64_t position;
    const char* expected;
  } cases[] = {
      {"SansNom_", 8, "SansNom_01"}, {"SansNom_", 0, "01SansNom_"}, {"SansNom_", 3, "San01sNom_"},
      {"SansNom_", 99, "SansNom_01"}, {"SansNom_", -5, "01SansNom_"}, {"", 8, "01"},
      {"txt", 8, "txt01"},           {"abc", INT64_MAX, "abc01"},   {"abc", INT64_MIN, "01abc"},
  };
  for (const auto& c : cases) {
    std::string part = c.part;
    InsertIndex(part, "01", c.position);
    EXPECT_EQ(part, c.expected) << c.part << " at " << c.position;
  }
}

class Names : public ::testing::Test {
protected:
  Names() { in.SetFolderName("Paris"); }
  TProgramOptions o;
  TFileListing listing;
  TScriptInterpreter in{o, listing};
  TNameBuilder b{o, in};
};

TEST_F(Names, IndexText) {
  const struct {
    int32_t start, format;
    char pad;
    size_t index;
    const char* expected;
  } cases[] = {
      {1, 3, '0', 4, "005"},
      {0, 2, '0', 0, "00"},
      {1000, 2, '0', 4, "1004"},   // never cut
      {0, 258, '0', 7, "07"},      // "Format" modulo 256
      {0, 4, ' ', 7, "   7"},
      {0, 4, '\0', 7, "   7"},     // an empty pad character is a blank
      {0, 3, '_', 12, "_12"},
      {-5, 3, '0', 0, "0-5"},
      {INT32_MAX, 0, '0', 1, "2147483648"},
  };
  for (const auto& c : cases) {
    o.Start = c.start, o.Format = c.format, o.Character = c.pad;
    EXPECT_EQ(b.IndexText(c.index), c.expected) << c.start << " " << c.format;
  }
  o.Format = -1;
  EXPECT_EQ(b.IndexText(0).size(), 255u);
}

struct NameCase {
  const char* what;
  std::function<void(TProgramOptions&)> set;
  const char* oldName;
  size_t index;
  const char* expected;
};

TEST_F(Names, BuildNewName) {
  const std::vector<NameCase> cases = {
      {"defaults", [](TProgramOptions&) {}, "a.jpg", 0, "SansNom_00.jpg"},
      {"defaults, second file", [](TProgramOptions&) {}, "b.jpg", 1, "SansNom_01.jpg"},
      {"no extension, no dot", [](TProgramOptions&) {}, "readme", 0, "SansNom_00"},
      {"index first", [](TProgramOptions& o) { o.Position = 0; }, "a.jpg", 0, "00SansNom_.jpg"},
      {"index last", [](TProgramOptions& o) { o.Position = 99; }, "a.jpg", 0, "SansNom_00.jpg"},
      {"index inside", [](TProgramOptions& o) { o.Position = 4; }, "a.jpg", 3, "Sans03Nom_.jpg"},
      {"negative position", [](TProgramOptions& o) { o.Position = -3; }, "a.jpg", 0, "00SansNom_.jpg"},
      {"no index", [](TProgramOptions& o) { o.NoneIndice = true; }, "b.png", 5, "SansNom_.png"},
      {"fixed extension",
       [](TProgramOptions& o) {
         o.NoExtension = false;
         o.NameExtension = "txt";
       },
       "a.jpg", 0, "SansNom_00.txt"},
      {"empty fixed extension", [](TProgramOptions& o) { o.NoExtension = false; }, "a.jpg", 0, "SansNom_00"},
      {"index in the extension",
       [](TProgramOptions& o) {
         o.ExtensionIndice = true;
         o.NoExtension = false;
         o.NameExtension = "txt";
         o.Start = 1;
       },
       "photo.jpg", 0, "SansNom_.txt01"},
      {"index in the extension, none, empty extension",
       [](TProgramOptions& o) {
         o.ExtensionIndice = true;
         o.NoExtension = false;
         o.NoneIndice = true;
       },
       "photo.jpg", 0, "SansNom_."},
      {"index in the extension at 1",
       [](TProgramOptions& o) {
         o.ExtensionIndice = true;
         o.NoExtension = false;
         o.NameExtension = "txt";
         o.Position = 1;
       },
       "photo.jpg", 2, "SansNom_.t02xt"},
      {"keep name, index after it",
       [](TProgramOptions& o) {
         o.NoFile = true;
         o.Position = 99;
       },
       "photo.jpg", 2, "photo02.jpg"},
      {"keep name, index in the extension model",
       [](TProgramOptions& o) {
         o.NoFile = true;
         o.NoExtension = false;
         o.ExtensionIndice = true;
         o.NameExtension = "txt";
       },
       "photo.jpg", 1, "photo.txt01"},
      {"keep name and extension, index in the extension",
       [](TProgramOptions& o) {
         o.NoFile = true;
         o.ExtensionIndice = true;
       },
       "photo.jpg", 1, "photo.jpg01"},
      {"keep both, no index",
       [](TProgramOptions& o) {
         o.NoFile = true;
         o.NoneIndice = true;
       },
       "Photo.JPG", 1, "Photo.JPG"},
      {"name case 2, locale",
       [](TProgramOptions& o) {
         o.NoFile = true;
         o.NoneIndice = true;
         o.CasseFile = 2;
       },
       "h\xC9L\xC8NE.jpg", 0, "H\xE9l\xE8ne.jpg"},
      {"name case 2, folded",
       [](TProgramOptions& o) {
         o.NoFile = true;
         o.NoneIndice = true;
         o.CasseFile = 2;
         o.MajAscii = true;
       },
       "h\xC9L\xC8NE.jpg", 0, "Helene.jpg"},
      {"name case 4",
       [](TProgramOptions& o) {
         o.NoFile = true;
         o.NoneIndice = true;
         o.CasseFile = 4;
       },
       "le petit  prince.txt", 0, "Le Petit  Prince.txt"},
      {"case only on kept or scripted parts",
       [](TProgramOptions& o) {
         o.NameFile = "abc";
         o.CasseFile = 1;
         o.NoneIndice = true;
       },
       "x.jpg", 0, "abc.jpg"},
      {"extension case on the kept extension",
       [](TProgramOptions& o) {
         o.CasseExtension = 3;
         o.NoneIndice = true;
       },
       "x.JPG", 0, "SansNom_.jpg"},
      {"extension case 4 is none",
       [](TProgramOptions& o) {
         o.CasseExtension = 4;
         o.NoneIndice = true;
       },
       "x.JpG", 0, "SansNom_.JpG"},
      {"fixed extension takes no case",
       [](TProgramOptions& o) {
         o.NoExtension = false;
         o.NameExtension = "TxT";
         o.CasseExtension = 1;
         o.NoneIndice = true;
       },
       "x.jpg", 0, "SansNom_.TxT"},
      {"name script",
       [](TProgramOptions& o) {
         o.ScriptFile = true;
         o.NameFile = "<U1><L20>";
       },
       "hOLIDAY.jpg", 0, "Holiday00.jpg"},
      {"name script sees the converted case",
       [](TProgramOptions& o) {
         o.ScriptFile = true;
         o.NameFile = "<G3>_<$D>";
         o.CasseFile = 1;
       },
       "abcdef.jpg", 0, "ABC_Pari00sDEF.jpg"},
      {"name script wins over keep",
       [](TProgramOptions& o) {
         o.ScriptFile = true;
         o.NoFile = true;
         o.NameFile = "<C3>";
         o.NoneIndice = true;
       },
       "abcdef.jpg", 0, "def.jpg"},
      {"extension script",
       [](TProgramOptions& o) {
         o.NoExtension = false;
         o.ScriptExtension = true;
         o.NameExtension = "<U3>";
         o.NoneIndice = true;
       },
       "a.jpeg", 0, "SansNom_.JPE"},
      {"kept extension wins over its script",
       [](TProgramOptions& o) {
         o.ScriptExtension = true;
         o.NameExtension = "<U3>";
         o.NoneIndice = true;
       },
       "a.jpeg", 0, "SansNom_.jpeg"},
      {"extension script with the index",
       [](TProgramOptions& o) {
         o.NoExtension = false;
         o.ScriptExtension = true;
         o.ExtensionIndice = true;
         o.NameExtension = "<L9>";
         o.Position = 0;
       },
       "a.JPEG", 3, "SansNom_.03jpeg"},
      {"name script in extension-index mode",
       [](TProgramOptions& o) {
         o.ScriptFile = true;
         o.ExtensionIndice = true;
         o.NoExtension = false;
         o.NameFile = "<G1>";
         o.NameExtension = "e";
       },
       "xyz.jpg", 0, "x.e00"},
      {"script that fails gives its source",
       [](TProgramOptions& o) {
         o.ScriptFile = true;
         o.NameFile = "<$U=x>abc";
         o.NoneIndice = true;
       },
       "Holiday.jpg", 0, "Holiday.jpg"},
  };
  for (const NameCase& c : cases) {
    TProgramOptions fresh;
    o = fresh;
    c.set(o);
    EXPECT_EQ(b.BuildNewName(c.oldName, c.index), c.expected) << c.what;
  }
}

TEST_F(Names, ApplyCaseOnlyWhenKeptOrScripted) {
  o.CasseFile = 1;
  o.CasseExtension = 1;
  o.NoExtension = false;
  EXPECT_EQ(b.ApplyNameCase("ab.cd"), "ab");
  EXPECT_EQ(b.ApplyExtensionCase("ab.cd"), "cd");
  o.ScriptFile = true;
  o.ScriptExtension = true;
  EXPECT_EQ(b.ApplyNameCase("ab.cd"), "AB");
  EXPECT_EQ(b.ApplyExtensionCase("ab.cd"), "CD");
  o.ScriptFile = false;
  o.NoFile = true;
  o.ScriptExtension = false;
  o.NoExtension = true;
  EXPECT_EQ(b.ApplyNameCase("ab.cd"), "AB");
  EXPECT_EQ(b.ApplyExtensionCase("ab.cd"), "CD");
}

}  // namespace
