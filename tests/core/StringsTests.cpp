// Tests of TStrings/TStringList: access, sorting, text forms, name=value lines, notification.
#include "host/core/Strings.h"

#include <gtest/gtest.h>

namespace kyt {
namespace {

void Fill(TStringList& list, std::initializer_list<const char*> lines) {
  for (const char* s : lines) list.Add(s);
}

std::vector<std::string> Contents(const TStrings& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Strings(i));
  return out;
}

// Counts change notifications of a list.
struct TChangeCounter {
  int Changing = 0;
  int Changed = 0;
  void OnChanging(TObject*) { ++Changing; }
  void OnChanged(TObject*) { ++Changed; }
  void Attach(TStringList& list) {
    list.SetOnChanging(TNotifyEvent::Bind<&TChangeCounter::OnChanging>(this));
    list.SetOnChange(TNotifyEvent::Bind<&TChangeCounter::OnChanged>(this));
  }
};

TEST(StringList, AddInsertDeleteAndClearKeepOrder) {
  TStringList list;
  EXPECT_EQ(list.Add("b"), 0);
  EXPECT_EQ(list.Add("d"), 1);
  list.Insert(0, "a");
  list.Insert(2, "c");
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"a", "b", "c", "d"}));
  list.Delete(1);
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"a", "c", "d"}));
  list.Put(0, "z");
  EXPECT_EQ(list.Get(0), "z");
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(StringList, IndexOutOfRangeRaisesListError) {
  TStringList list;
  Fill(list, {"one"});
  EXPECT_THROW(list.Get(1), EListError);
  EXPECT_THROW(list.Get(-1), EListError);
  EXPECT_THROW(list.Delete(5), EListError);
  EXPECT_THROW(list.Put(1, "x"), EListError);
  EXPECT_THROW(list.Insert(3, "x"), EListError);
  EXPECT_NO_THROW(list.Insert(1, "at end"));
}

TEST(StringList, IndexOfIgnoresCaseUnlessCaseSensitive) {
  TStringList list;
  Fill(list, {"Alpha", "beta"});
  EXPECT_EQ(list.IndexOf("ALPHA"), 0);
  EXPECT_EQ(list.IndexOf("gamma"), -1);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("ALPHA"), -1);
  EXPECT_EQ(list.IndexOf("beta"), 1);
}

TEST(StringList, SortedListKeepsOrderAndFindsByBinarySearch) {
  TStringList list;
  list.SetSorted(true);
  for (const char* s : {"pear", "Apple", "fig", "banana"}) list.Add(s);
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"Apple", "banana", "fig", "pear"}));
  int index = -1;
  EXPECT_TRUE(list.Find("FIG", index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(list.Find("grape", index));
  EXPECT_EQ(index, 3);  // where it would go
  EXPECT_EQ(list.IndexOf("PEAR"), 3);
  EXPECT_THROW(list.Insert(0, "x"), EListError);
}

TEST(StringList, SortingAnExistingListSortsIt) {
  TStringList list;
  Fill(list, {"c", "a", "b"});
  list.SetSorted(true);
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(StringList, DuplicatesIgnoreAcceptOrRaise) {
  TStringList list;
  list.SetSorted(true);
  list.Add("x");
  EXPECT_EQ(list.Add("X"), 0);  // dupIgnore by default, case-insensitive
  EXPECT_EQ(list.Count(), 1);
  list.SetDuplicates(dupAccept);
  list.Add("x");
  EXPECT_EQ(list.Count(), 2);
  list.SetDuplicates(dupError);
  EXPECT_THROW(list.Add("x"), EListError);
  EXPECT_EQ(list.Count(), 2);
}

TEST(StringList, CaseSensitiveSortedListTellsCasesApart) {
  TStringList list;
  list.SetCaseSensitive(true);
  list.SetSorted(true);
  list.Add("a");
  list.Add("A");
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Get(0), "A");
}

TEST(StringList, TextJoinsWithCrLfAfterEveryLine) {
  TStringList list;
  Fill(list, {"one", "", "three"});
  EXPECT_EQ(list.Text(), "one\r\n\r\nthree\r\n");
  EXPECT_EQ(TStringList().Text(), "");
}

TEST(StringList, SetTextSplitsOnCrLfLfOrCr) {
  TStringList list;
  list.SetText("a\r\nb\nc\rd");
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"a", "b", "c", "d"}));
  list.SetText("last line ends\r\n");
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"last line ends"}));
  list.SetText("\n\n");
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"", ""}));
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
}

TEST(StringList, CommaTextQuotesItemsThatNeedIt) {
  TStringList list;
  Fill(list, {"plain", "two words", "say \"hi\"", "a,b", ""});
  EXPECT_EQ(list.CommaText(), "plain,\"two words\",\"say \"\"hi\"\"\",\"a,b\",\"\"");
  TStringList back;
  back.SetCommaText(list.CommaText());
  EXPECT_EQ(Contents(back), Contents(list));
}

TEST(StringList, SetCommaTextSplitsOnCommasAndSpaces) {
  TStringList list;
  list.SetCommaText("a, b c,\"d e\",");
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"a", "b", "c", "d e", ""}));
}

TEST(StringList, SetCommaTextEndsAtAZeroCharacter) {
  TStringList list;
  list.SetCommaText(std::string("a,b\0c,d", 7));
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"a", "b"}));
  list.SetCommaText(std::string("\0", 1));
  EXPECT_EQ(list.Count(), 0);
}

TEST(StringList, DelimitedTextUsesTheDelimiter) {
  TStringList list;
  Fill(list, {"x", "y z"});
  list.SetDelimiter(';');
  EXPECT_EQ(list.DelimitedText(), "x;\"y z\"");
}

TEST(StringList, NamesAndValues) {
  TStringList list;
  Fill(list, {"Path=C:\\x", "Size=10", "no separator", "Empty="});
  EXPECT_EQ(list.Names(0), "Path");
  EXPECT_EQ(list.Names(2), "");
  EXPECT_EQ(list.Values("size"), "10");
  EXPECT_EQ(list.Values("missing"), "");
  EXPECT_EQ(list.ValueFromIndex(0), "C:\\x");
  EXPECT_EQ(list.IndexOfName("EMPTY"), 3);
  list.SetValue("Size", "20");
  EXPECT_EQ(list.Get(1), "Size=20");
  list.SetValue("New", "1");
  EXPECT_EQ(list.Get(4), "New=1");
  list.SetValue("Path", "");
  EXPECT_EQ(list.IndexOfName("Path"), -1);
  EXPECT_EQ(list.Count(), 4);
}

TEST(StringList, AssignCopiesLinesAndObjects) {
  TStringList source;
  Fill(source, {"a", "b"});
  TObject marker;
  source.PutObject(1, &marker);
  TStringList dest;
  Fill(dest, {"old"});
  dest.Assign(&source);
  EXPECT_EQ(Contents(dest), Contents(source));
  EXPECT_EQ(dest.Objects(1), &marker);
  EXPECT_TRUE(dest.Equals(&source));
  source.Put(0, "changed");
  EXPECT_EQ(dest.Get(0), "a");  // a copy, not shared
}

TEST(StringList, AssignFromAnotherClassRaisesNamingBoth) {
  TStringList list;
  TPersistent other;
  try {
    list.Assign(&other);
    FAIL() << "expected EConvertError";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TPersistent to a TStringList");
  }
}

TEST(StringList, ChangeEventsFireOncePerOperationAndOncePerUpdate) {
  TStringList list;
  TChangeCounter counter;
  counter.Attach(list);
  list.Add("a");
  EXPECT_EQ(counter.Changing, 1);
  EXPECT_EQ(counter.Changed, 1);
  list.BeginUpdate();
  list.Add("b");
  list.Add("c");
  list.BeginUpdate();
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(counter.Changed, 1);
  list.EndUpdate();
  EXPECT_EQ(counter.Changing, 2);
  EXPECT_EQ(counter.Changed, 2);
  list.SetText("x\ny");
  EXPECT_EQ(counter.Changed, 3);
}

TEST(StringList, AFailedAssignStillEndsTheUpdate) {
  TStringList target;
  target.SetSorted(true);
  target.SetDuplicates(dupError);
  TStringList source;
  Fill(source, {"b", "a", "b"});
  TChangeCounter counter;
  counter.Attach(target);
  EXPECT_THROW(target.Assign(&source), EListError);
  EXPECT_EQ(target.UpdateCount(), 0);
  const int changed = counter.Changed;
  target.Add("c");
  EXPECT_EQ(counter.Changed, changed + 1) << "change notification works again";
}

TEST(StringList, ExchangeAndMove) {
  TStringList list;
  Fill(list, {"a", "b", "c"});
  list.Exchange(0, 2);
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"c", "b", "a"}));
  list.Move(0, 2);
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"b", "a", "c"}));
  EXPECT_THROW(list.Exchange(0, 3), EListError);
}

TEST(StringList, AddStringsAppends) {
  TStringList list;
  Fill(list, {"a"});
  TStringList more;
  Fill(more, {"b", "c"});
  list.AddStrings(&more);
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(StringList, OwnsObjectsDeletesThemWithTheirLines) {
  struct TCounted : TObject {
    explicit TCounted(int& n) : Count(n) { ++Count; }
    ~TCounted() override { --Count; }
    int& Count;
  };
  int alive = 0;
  {
    TStringList list;
    list.SetOwnsObjects(true);
    list.AddObject("one", new TCounted(alive));
    list.AddObject("two", new TCounted(alive));
    list.Delete(0);
    EXPECT_EQ(alive, 1);
  }
  EXPECT_EQ(alive, 0);
}

}  // namespace
}  // namespace kyt
