// The previewed model line and where its index digits stand.
#include "engine/ModelPreview.h"

#include <gtest/gtest.h>

#include "engine/ProgramOptions.h"

using namespace qv::engine;

TEST(ModelPreview, IndexInTheNameOrTheExtension) {
  TProgramOptions o;
  o.NameFile = "SansNom_";
  o.NameExtension = "";
  o.Start = 0;
  o.Format = 2;
  o.Position = 8;
  TPreviewLine l = BuildPreviewLine(o);
  EXPECT_EQ(l.Text, "SansNom_00");
  EXPECT_EQ(l.IndexOffset, 8);
  EXPECT_EQ(l.FormatDigits, 2);
  o.NameExtension = "jpg";
  o.Position = 4;
  EXPECT_EQ(BuildPreviewLine(o).Text, "Sans00Nom_.jpg");
  // Index in an empty extension: name, dot, index.
  o.ExtensionIndice = true;
  o.NameExtension = "";
  o.Position = 1;
  l = BuildPreviewLine(o);
  EXPECT_EQ(l.Text, "SansNom_.00");
  EXPECT_EQ(l.IndexOffset, 9);
  o.NoneIndice = true;
  l = BuildPreviewLine(o);
  EXPECT_EQ(l.Text, "SansNom_.");
  EXPECT_FALSE(l.HasIndex);
}

TEST(ModelPreview, DigitsBeyondTheFormatAreCountedApart) {
  TProgramOptions o;
  o.NameFile = "a";
  o.NameExtension = "";
  o.Position = 1;
  o.Start = 1000;
  o.Format = 2;
  TPreviewLine l = BuildPreviewLine(o);
  EXPECT_EQ(l.Text, "a1000");
  EXPECT_EQ(l.ExtraDigits, 2);
  EXPECT_EQ(l.FormatDigits, 2);
  o.Character = '_';
  o.Start = 7;
  o.Format = 3;
  EXPECT_EQ(BuildPreviewLine(o).Text, "a__7");
  // A position past a short name places the index (and its colour) at the end.
  o.Position = 9;
  EXPECT_EQ(BuildPreviewLine(o).IndexOffset, 1);
  // A width past what padding gives colours no more than the padded text.
  o.Format = 1000;
  l = BuildPreviewLine(o);
  EXPECT_EQ(l.Text.size(), 1u + 255);
  EXPECT_EQ(l.FormatDigits, 255);
  o.ScriptFile = true;
  EXPECT_TRUE(BuildPreviewLine(o).ScriptMode);
}

TEST(ModelPreview, ScriptVisibleLength) {
  EXPECT_EQ(ScriptVisibleLength("ab<G3>cd"), 7);
  EXPECT_EQ(ScriptVisibleLength("ab<G3"), 2);
  EXPECT_EQ(ScriptVisibleLength("<u5=x><L2><C9><$E_Model>x"), 8);
  EXPECT_EQ(ScriptVisibleLength("<G>"), 0);
  EXPECT_EQ(ScriptVisibleLength("<Gzz>"), 0);
  EXPECT_EQ(ScriptVisibleLength("<G99999999999>"), 0);
  EXPECT_EQ(ScriptVisibleLength(""), 0);
}
