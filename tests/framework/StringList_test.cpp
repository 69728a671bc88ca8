// String lists: sorted order that does not follow the user's locale,
// duplicates, the Text and CommaText forms, and files.
#include "framework/StringList.h"

#include <gtest/gtest.h>

#include "FwTestSupport.h"
#include "framework/Streams.h"

using namespace qv::fw;
using Items = std::vector<std::string>;

TEST(StringList, SortedOrderIsLinguisticAndIndependentOfCase) {
  TStringList l;
  l.SetSorted(true);
  for (const char* s : {"zebre", "\xE9t\xE9", "Fin", "ete", "abc", "\xC9t\xE9s"}) l.Add(s);
  EXPECT_EQ(l.Items(), (Items{"abc", "ete", "\xE9t\xE9", "\xC9t\xE9s", "Fin", "zebre"}));
  EXPECT_EQ(l.IndexOf("FIN"), 4);
  EXPECT_EQ(l.IndexOf("\xC9T\xC9"), 2);  // case folds, accents count
  EXPECT_EQ(l.IndexOf("ETE"), 1);
  EXPECT_EQ(l.IndexOf("et"), -1);
  int at = -1;
  EXPECT_FALSE(l.Find("b", at));
  EXPECT_EQ(at, 1);
  l.SetCaseSensitive(true);
  EXPECT_EQ(l.IndexOf("FIN"), -1);
  EXPECT_EQ(l.IndexOf("Fin"), 4);
}

TEST(StringList, ItemsTheCollationIgnoresStayDistinct) {
  TStringList l;
  l.Add("a-b");
  l.Add("ab");
  l.Add("a\x01" "b");
  EXPECT_EQ(l.IndexOf("ab"), 1);
  EXPECT_EQ(l.IndexOf("a\x01" "b"), 2);
  l.SetSorted(true);
  for (const auto& s : Items{"a-b", "ab", "a\x01" "b"}) EXPECT_EQ(l[l.IndexOf(s)], s);
}

TEST(StringList, DuplicatesPolicy) {
  TStringList l;
  EXPECT_EQ(l.Add("x"), 0);
  EXPECT_EQ(l.Add("X"), 1);  // accepted by default, sorted or not
  l.SetDuplicates(TDuplicates::Ignore);
  EXPECT_EQ(l.Add("x"), -1);
  l.Clear();
  l.SetSorted(true);
  l.Add("b");
  EXPECT_EQ(l.Add("B"), -1);
  l.SetDuplicates(TDuplicates::Error);
  EXPECT_THROW(l.Add("b"), EStringListError);
  EXPECT_THROW(l.SetText("c\r\nd\r\nC\r\n"), EStringListError);
  EXPECT_EQ(l.Items(), Items{"b"});  // a refused text leaves the list as it was
  EXPECT_THROW(l.Insert(0, "a"), EStringListError);
  EXPECT_THROW(l.Exchange(0, 0), EStringListError);
  EXPECT_THROW(l[3], EStringListError);
}

TEST(StringList, TextSplitsEveryLineBreakKind) {
  TStringList l;
  l.SetText("a\r\nb\nc\rd");
  EXPECT_EQ(l.Items(), (Items{"a", "b", "c", "d"}));
  l.SetText("a\r\n\r\n");
  EXPECT_EQ(l.Items(), (Items{"a", ""}));
  EXPECT_EQ(l.Text(), "a\r\n\r\n");
  l.SetText("");
  EXPECT_TRUE(l.Empty());
}

TEST(StringList, CommaTextQuotesWhatNeedsItAndParsesBlanksAsSeparators) {
  TStringList l{"a", "b c", "", "x\"y", "d,e", "\xE9"};
  EXPECT_EQ(l.CommaText(), "a,\"b c\",\"\",\"x\"\"y\",\"d,e\",\xE9");
  TStringList back;
  back.SetCommaText(l.CommaText());
  EXPECT_EQ(back.Items(), l.Items());
  back.SetCommaText(" a , b,,c, ");
  EXPECT_EQ(back.Items(), (Items{"a", "b", "", "c"}));
  back.SetCommaText("one two\t\"three four\"");
  EXPECT_EQ(back.Items(), (Items{"one", "two", "three four"}));
  back.SetCommaText("\"open");
  EXPECT_EQ(back.Items(), Items{"open"});
}

TEST(StringList, MoveAndFiles) {
  TStringList l{"0", "1", "2", "3"};
  l.Move(0, 3);
  EXPECT_EQ(l.Items(), (Items{"1", "2", "3", "0"}));
  l.Exchange(0, 3);
  EXPECT_EQ(l.Items(), (Items{"0", "2", "3", "1"}));
  l.Put(1, "\xC0 la ligne");
  qv::fw::test::TTempDir dir;
  ASSERT_TRUE(l.SaveToFile(dir.File(L"liste.txt")));
  TMemoryStream raw;
  ASSERT_TRUE(raw.LoadFromFile(dir.File(L"liste.txt")));
  EXPECT_EQ(raw.Bytes(), "0\r\n\xC0 la ligne\r\n3\r\n1\r\n");
  TStringList back{"old"};
  EXPECT_FALSE(back.LoadFromFile(dir.File(L"absent.txt")));
  EXPECT_EQ(back.Items(), Items{"old"});
  ASSERT_TRUE(back.LoadFromFile(dir.File(L"liste.txt")));
  EXPECT_EQ(back.Items(), l.Items());
}
