// Model validation before a run: which texts are checked, and the tag
// stripping that keeps only inserted replacement texts.
#include "engine/RunRequest.h"

#include <gtest/gtest.h>

#include "engine/ProgramOptions.h"

using namespace qv::engine;

TEST(RunRequest, StripScriptTagsKeepsPlainTextAndReplacements) {
  const struct {
    const char* model;
    const char* stripped;
  } cases[] = {
      {"abc", "abc"},
      {"<U1><L20>_<C3>", "_"},
      {"<R1=a??b>", "b"},
      {"<R1=a?b:c>", "b:c"},
      {"x<R2=?\?>y", "xy"},
      {"<X=(\\d+)?n$1>", "n$1"},
      {"<$E_Model>-<$M_TITLE>", "-"},
      {"ab<cd", "ab<cd"},
      {"<a>b<", "b<"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(StripScriptTags(c.model), c.stripped) << c.model;
}

TEST(RunRequest, ValidateModelsReportsTheFirstBadField) {
  TProgramOptions o;
  o.NoFile = false;
  o.NoExtension = false;
  EXPECT_EQ(ValidateModels(o, {"photo_", "jpg", "0"}), TModelField::None);
  EXPECT_EQ(ValidateModels(o, {"a:b", "jpg", "0"}), TModelField::Name);
  EXPECT_EQ(ValidateModels(o, {"ab", "j?g", "0"}), TModelField::Extension);
  EXPECT_EQ(ValidateModels(o, {"ab", "jpg", "*"}), TModelField::Format);
  EXPECT_EQ(ValidateModels(o, {"ab", "jpg", ""}), TModelField::None);
  // Script mode checks only what the tags insert.
  o.ScriptFile = true;
  EXPECT_EQ(ValidateModels(o, {"<R1=a??b>", "jpg", "0"}), TModelField::None);
  EXPECT_EQ(ValidateModels(o, {"<R1=a?b:c>", "jpg", "0"}), TModelField::Name);
  EXPECT_EQ(ValidateModels(o, {"<G3", "jpg", "0"}), TModelField::Name);
  // A kept name or extension is not checked at all.
  o.ScriptFile = false;
  o.NoFile = true;
  EXPECT_EQ(ValidateModels(o, {"*", "jpg", "0"}), TModelField::None);
  o.NoExtension = true;
  EXPECT_EQ(ValidateModels(o, {"*", "*", "0"}), TModelField::None);
}
