// String lists: index and sorted-list errors, sorted insertion and duplicate
// rules, Find, the exact quick sort order, text forms and their quoting,
// name=value lines, change events and update nesting, streams and files.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <random>

#include "StringList.h"
#include "Streams.h"

namespace {

using Items = std::vector<String>;

Items ItemsOf(const TStrings& L)
{
    Items R;
    for (int I = 0; I < L.Count(); ++I)
        R.push_back(L[I]);
    return R;
}

void Fill(TStrings& L, const Items& Values)
{
    for (const String& S : Values)
        L.Add(S);
}

// Distinct object pointers to tag strings with.
TObject* Obj(intptr_t N)
{
    return reinterpret_cast<TObject*>(N * 16);
}

template <class E>
void ExpectThrowMessage(const std::function<void()>& F, const String& Message)
{
    try {
        F();
        ADD_FAILURE() << "no exception, expected: " << Message;
    } catch (const E& Ex) {
        EXPECT_EQ(Ex.Message(), Message);
    }
}

} // namespace

TEST(StringListBasics, AddInsertDeleteObjects)
{
    TStringList L;
    EXPECT_EQ(L.Add("one"), 0);
    EXPECT_EQ(L.AddObject("two", Obj(2)), 1);
    L.Append("three");
    L.Insert(0, "zero");
    L.InsertObject(4, "four", Obj(4));
    EXPECT_EQ(ItemsOf(L), (Items{"zero", "one", "two", "three", "four"}));
    EXPECT_EQ(L.Strings(2), "two");
    EXPECT_EQ(L.Objects(2), Obj(2));
    EXPECT_EQ(L.Objects(0), nullptr);
    EXPECT_EQ(L.IndexOfObject(Obj(4)), 4);
    EXPECT_EQ(L.IndexOfObject(Obj(9)), -1);

    L.Put(1, "ONE");
    L.PutObject(1, Obj(1));
    L.Delete(3);
    EXPECT_EQ(ItemsOf(L), (Items{"zero", "ONE", "two", "four"}));

    // Exchange and Move carry the objects along.
    L.Exchange(0, 2);
    EXPECT_EQ(ItemsOf(L), (Items{"two", "ONE", "zero", "four"}));
    EXPECT_EQ(L.Objects(0), Obj(2));
    L.Move(0, 3);
    EXPECT_EQ(ItemsOf(L), (Items{"ONE", "zero", "four", "two"}));
    EXPECT_EQ(L.Objects(3), Obj(2));
    EXPECT_EQ(L.Objects(0), Obj(1));

    // IndexOf ignores case (accented letters too) unless CaseSensitive.
    L.Add("\xC9t\xE9");
    EXPECT_EQ(L.IndexOf("one"), 0);
    EXPECT_EQ(L.IndexOf("\xE9T\xC9"), 4);
    EXPECT_EQ(L.IndexOf("five"), -1);
    L.SetCaseSensitive(true);
    EXPECT_EQ(L.IndexOf("one"), -1);
    EXPECT_EQ(L.IndexOf("ONE"), 0);

    // AddStrings (also of the list itself), Equals, Assign.
    TStringList M;
    M.Add("x");
    M.AddStrings(M);
    EXPECT_EQ(ItemsOf(M), (Items{"x", "x"}));
    TStringList Copy;
    Copy.Add("to be replaced");
    L.SetDelimiter(';');
    L.SetNameValueSeparator(':');
    Copy.Assign(&L);
    EXPECT_TRUE(Copy.Equals(L));
    EXPECT_EQ(Copy.Objects(3), Obj(2));
    EXPECT_EQ(Copy.Delimiter(), ';');
    EXPECT_EQ(Copy.NameValueSeparator(), ':');
    Copy.Put(0, "one");
    EXPECT_FALSE(Copy.Equals(L)); // byte comparison
    Copy.Assign(&Copy);
    EXPECT_EQ(Copy.Count(), 5);
    TPersistentObject Other;
    EXPECT_THROW(Copy.Assign(&Other), EConvertError);

    L.Clear();
    EXPECT_EQ(L.Count(), 0);
}

TEST(StringListErrors, IndexSortedAndDuplicateErrors)
{
    const String Sorted = "Operation not allowed on sorted list";
    struct Case {
        const char* Name;
        bool SortedList;
        std::function<void(TStringList&)> Op;
        String Message;
    };
    const Case Cases[] = {
        {"Get -1", false, [](TStringList& L) { L.Get(-1); }, "List index out of bounds (-1)"},
        {"Get Count", false, [](TStringList& L) { L[3]; }, "List index out of bounds (3)"},
        {"Objects", false, [](TStringList& L) { L.Objects(5); }, "List index out of bounds (5)"},
        {"Put", false, [](TStringList& L) { L.Put(3, "x"); }, "List index out of bounds (3)"},
        {"PutObject", false, [](TStringList& L) { L.PutObject(-1, nullptr); }, "List index out of bounds (-1)"},
        {"Insert past end", false, [](TStringList& L) { L.Insert(4, "x"); }, "List index out of bounds (4)"},
        {"Insert -1", false, [](TStringList& L) { L.InsertObject(-1, "x", nullptr); }, "List index out of bounds (-1)"},
        {"Delete", false, [](TStringList& L) { L.Delete(3); }, "List index out of bounds (3)"},
        {"Exchange", false, [](TStringList& L) { L.Exchange(0, 3); }, "List index out of bounds (3)"},
        {"Move to a bad index", false, [](TStringList& L) { L.Move(0, 3); }, "List index out of bounds (3)"},
        {"Move from a bad index", false, [](TStringList& L) { L.Move(-1, 0); }, "List index out of bounds (-1)"},
        {"EndUpdate unopened", false, [](TStringList& L) { L.EndUpdate(); },
         "EndUpdate without a matching BeginUpdate"},
        {"Insert sorted", true, [](TStringList& L) { L.Insert(0, "a"); }, Sorted},
        {"Put sorted", true, [](TStringList& L) { L.Put(0, "a"); }, Sorted},
        {"Move sorted", true, [](TStringList& L) { L.Move(0, 2); }, Sorted},
        {"Values of a new name, sorted", true, [](TStringList& L) { L.SetValues("k", "v"); }, Sorted},
        {"duplicate", true,
         [](TStringList& L) {
             L.SetDuplicates(dupError);
             L.Add("B");
         },
         "String list does not allow duplicates"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TStringList L;
        Fill(L, {"c", "b", "a"});
        L.SetSorted(C.SortedList);
        const Items Before = ItemsOf(L);
        ExpectThrowMessage<EListError>([&] { C.Op(L); }, C.Message);
        if (String(C.Name).find("Values") == String::npos) { // that one leaves its empty line, as on the runtime
            EXPECT_EQ(ItemsOf(L), Before);
        }
    }
}

TEST(StringListSorted, AddWithDuplicatesRules)
{
    struct Case {
        const char* Name;
        bool CaseSensitive;
        TDuplicates Duplicates;
        Items Added;
        std::vector<int> Indexes; // what each Add returned
        Items Result;
    };
    const Case Cases[] = {
        {"ignore, case-insensitive", false, dupIgnore, {"b", "A", "a", "C", "B"}, {0, 0, 0, 2, 1}, {"A", "b", "C"}},
        {"ignore, case-sensitive", true, dupIgnore, {"b", "B", "a", "b"}, {0, 0, 1, 2}, {"B", "a", "b"}},
        {"accept puts a new equal string first", false, dupAccept, {"b", "B", "a", "b"}, {0, 0, 0, 1},
         {"a", "b", "B", "b"}},
        {"error, distinct strings", false, dupError, {"z", "y", "x"}, {0, 0, 0}, {"x", "y", "z"}},
        // Locale order: punctuation, digits, letters; accented letters beside their base letter.
        {"locale order", false, dupIgnore, {"\xE9", "_", "a", "\xC9", "Z", "1", "f"}, {0, 0, 1, 2, 3, 1, 4},
         {"_", "1", "a", "\xE9", "f", "Z"}},
        {"byte order when case-sensitive", true, dupIgnore, {"\xE9", "_", "a", "Z", "1"}, {0, 0, 1, 0, 0},
         {"1", "Z", "_", "a", "\xE9"}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TStringList L;
        L.SetCaseSensitive(C.CaseSensitive);
        L.SetDuplicates(C.Duplicates);
        L.SetSorted(true);
        std::vector<int> Indexes;
        for (const String& S : C.Added)
            Indexes.push_back(L.Add(S));
        EXPECT_EQ(Indexes, C.Indexes);
        EXPECT_EQ(ItemsOf(L), C.Result);
    }

    // With dupAccept the newest of equal strings is the first of them.
    TStringList L;
    L.SetDuplicates(dupAccept);
    L.SetSorted(true);
    L.AddObject("k", Obj(1));
    L.AddObject("K", Obj(2));
    L.AddObject("k", Obj(3));
    EXPECT_EQ(L.Objects(0), Obj(3));
    EXPECT_EQ(L.Objects(2), Obj(1));

    // Duplicates are not looked for in a list that is not sorted.
    TStringList U;
    U.SetDuplicates(dupError);
    U.Add("a");
    EXPECT_EQ(U.Add("a"), 1);

    // Sorting when Sorted is set, re-sorting when the comparison changes, and
    // an assignment into a sorted list goes through the duplicate rule.
    TStringList S;
    Fill(S, {"b", "C", "a", "B"});
    S.SetSorted(true);
    EXPECT_EQ(ItemsOf(S).front(), "a");
    S.SetCaseSensitive(true);
    EXPECT_EQ(ItemsOf(S), (Items{"B", "C", "a", "b"}));
    TStringList T;
    T.SetSorted(true);
    T.Assign(&S);
    EXPECT_EQ(ItemsOf(T), (Items{"a", "B", "C"}));
}

TEST(StringListSorted, FindAndIndexOf)
{
    struct Case {
        TDuplicates Duplicates;
        String Wanted;
        bool Found;
        int Index;
    };
    // Sorted list: a b b b d f
    const Case Cases[] = {
        {dupAccept, "a", true, 0}, {dupAccept, "B", true, 1}, {dupAccept, "c", false, 4},
        {dupAccept, "d", true, 4}, {dupAccept, "F", true, 5}, {dupAccept, "g", false, 6},
        {dupAccept, "", false, 0},  {dupIgnore, "d", true, 4}, {dupIgnore, "e", false, 5},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Wanted + " " + std::to_string(C.Duplicates));
        TStringList L;
        L.SetDuplicates(dupAccept);
        L.SetSorted(true);
        Fill(L, {"d", "b", "f", "b", "a", "b"});
        L.SetDuplicates(C.Duplicates);
        int Index = -7;
        EXPECT_EQ(L.Find(C.Wanted, Index), C.Found);
        EXPECT_EQ(Index, C.Index);
        EXPECT_EQ(L.IndexOf(C.Wanted), C.Found ? C.Index : -1);
    }
}

TEST(StringListSort, QuickSortOrderOfEqualKeys)
{
    // Only the first character is compared, so the order among equal keys
    // shows the partitioning of the runtime's quick sort (a stable sort
    // would keep a1 a2 a3).
    auto ByFirstChar = [](TStringList* List, int A, int B) {
        return static_cast<int>(static_cast<unsigned char>(List->Get(A)[0])) -
               static_cast<int>(static_cast<unsigned char>(List->Get(B)[0]));
    };
    struct Case {
        Items Input;
        Items Expected;
    };
    const Case Cases[] = {
        {{"b1", "a1", "b2", "a2", "b3", "a3", "b4"}, {"a2", "a3", "a1", "b1", "b4", "b2", "b3"}},
        {{"x1", "x2", "x3", "x4", "x5"}, {"x4", "x5", "x3", "x1", "x2"}},
        {{"c1", "a1", "b1", "a2", "c2", "b2", "a3", "c3"}, {"a2", "a3", "a1", "b2", "b1", "c3", "c1", "c2"}},
        {{"only"}, {"only"}},
        {{}, {}},
    };
    for (const Case& C : Cases) {
        TStringList L;
        Fill(L, C.Input);
        for (int I = 0; I < L.Count(); ++I)
            L.PutObject(I, Obj(I + 1));
        L.CustomSort(ByFirstChar);
        EXPECT_EQ(ItemsOf(L), C.Expected);
        for (int I = 0; I < L.Count(); ++I) // objects travel with their strings
            EXPECT_EQ(L.Objects(I), Obj(std::find(C.Input.begin(), C.Input.end(), L[I]) - C.Input.begin() + 1));
    }

    // Sort orders by CompareStrings; a big random list comes out ordered.
    std::mt19937 Random(7);
    TStringList Big;
    for (int I = 0; I < 500; ++I)
        Big.Add(String(1, static_cast<char>('A' + Random() % 6)) + String(1, static_cast<char>('a' + Random() % 6)));
    Big.Sort();
    for (int I = 1; I < Big.Count(); ++I)
        ASSERT_LE(AnsiCompareText(Big[I - 1], Big[I]), 0) << I;

    // A sorted list ignores sort requests.
    TStringList S;
    Fill(S, {"b", "a"});
    S.SetSorted(true);
    S.CustomSort([](TStringList*, int A, int B) { return B - A; });
    EXPECT_EQ(ItemsOf(S), (Items{"a", "b"}));

    // A comparison that never finds the pivot equal is caught, not followed out of the list.
    TStringList Bad;
    Fill(Bad, {"a", "b", "c"});
    ExpectThrowMessage<EListError>([&] { Bad.CustomSort([](TStringList*, int, int) { return -1; }); },
                                   "Sort comparison is inconsistent");
    ExpectThrowMessage<EListError>([&] { Bad.CustomSort([](TStringList*, int, int) { return 1; }); },
                                   "Sort comparison is inconsistent");
}

TEST(StringListText, TextSplitsAndJoinsLines)
{
    struct Case {
        String In;
        Items Lines;
        String Out;
    };
    const Case Cases[] = {
        {"a\r\nb", {"a", "b"}, "a\r\nb\r\n"},
        {"a\nb\rc\r\n", {"a", "b", "c"}, "a\r\nb\r\nc\r\n"},
        {"", {}, ""},
        {"\r\n", {""}, "\r\n"},
        {"a\r\n\r\n", {"a", ""}, "a\r\n\r\n"},
        {"a\n\rb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
        {"a\r\r\nb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
        {" x \t", {" x \t"}, " x \t\r\n"},
        {String("ab\0cd\r\nef", 9), {"ab"}, "ab\r\n"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.In);
        TStringList L;
        L.Add("old");
        L.SetText(C.In);
        EXPECT_EQ(ItemsOf(L), C.Lines);
        EXPECT_EQ(L.Text(), C.Out);
    }
}

TEST(StringListText, CommaTextQuotingAndSplitting)
{
    struct JoinCase {
        Items Lines;
        String Text;
    };
    const JoinCase Joins[] = {
        {{"a", "b c", "d\"e", "", "f,g"}, "a,\"b c\",\"d\"\"e\",,\"f,g\""},
        {{""}, "\"\""},
        {{"", ""}, ","},
        {{}, ""},
        {{"tab\there", "x'y"}, "\"tab\there\",x'y"},
    };
    for (const JoinCase& C : Joins) {
        SCOPED_TRACE(C.Text);
        TStringList L;
        Fill(L, C.Lines);
        EXPECT_EQ(L.CommaText(), C.Text);
        TStringList Back;
        Back.SetCommaText(C.Text);
        EXPECT_EQ(ItemsOf(Back), C.Lines);
    }

    struct SplitCase {
        String Text;
        Items Lines;
    };
    const SplitCase Splits[] = {
        {"a b,c", {"a", "b", "c"}},
        {"  a , b  ", {"a", "b"}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},
        {"a, ", {"a"}},
        {",", {"", ""}},
        {"\"x y\",z", {"x y", "z"}},
        {"\"a\"\"b\"", {"a\"b"}},
        {"\"ab\"cd", {"ab", "cd"}},
        // Unterminated: the runtime drops the last character.
        {"\"abc", {"ab"}},
        {"\"ab\"\"", {"ab"}},
        {"\"a\"\"b", {"a\""}},
        {"\"", {""}},
        {"\"\"", {""}},
        {"\"\"\"\"", {"\""}},
        {"x'y", {"x'y"}},
    };
    for (const SplitCase& C : Splits) {
        SCOPED_TRACE(C.Text);
        TStringList L;
        L.SetCommaText(C.Text);
        EXPECT_EQ(ItemsOf(L), C.Lines);
    }
}

TEST(StringListText, DelimitedTextWithOwnDelimiterAndQuote)
{
    struct Case {
        bool Strict;
        Items Lines;
        String Text;
        String Parsed;      // text to split
        Items ParsedLines;  // what it gives
    };
    const Case Cases[] = {
        {false, {"a b", "c;d", "e'f", "g,h"}, "'a b';'c;d';'e''f';g,h", "a b; c", {"a", "b", "c"}},
        {true, {"a b", "c;d", "e'f", "g,h"}, "a b;'c;d';'e''f';g,h", "a b; c ;'x;y'", {"a b", " c ", "x;y"}},
        {true, {" lead", "trail "}, " lead;trail ", " ;", {" ", ""}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Text);
        TStringList L;
        L.SetDelimiter(';');
        L.SetQuoteChar('\'');
        L.SetStrictDelimiter(C.Strict);
        Fill(L, C.Lines);
        EXPECT_EQ(L.DelimitedText(), C.Text);

        TStringList Back;
        Back.Assign(&L);
        Back.SetDelimitedText(C.Text);
        EXPECT_EQ(ItemsOf(Back), C.Lines);
        Back.SetDelimitedText(C.Parsed);
        EXPECT_EQ(ItemsOf(Back), C.ParsedLines);

        // CommaText keeps to its own rules and leaves the settings alone.
        Back.SetCommaText("\"p q\",r");
        EXPECT_EQ(ItemsOf(Back), (Items{"p q", "r"}));
        EXPECT_EQ(Back.CommaText(), "\"p q\",r");
        EXPECT_EQ(Back.Delimiter(), ';');
        EXPECT_EQ(Back.QuoteChar(), '\'');
        EXPECT_EQ(Back.StrictDelimiter(), C.Strict);
    }
}

TEST(StringListValues, NamesAndValues)
{
    TStringList L;
    Fill(L, {"a=1", "B=2", "c", "=x", "d=e=f"});

    struct Case {
        int Index;
        String Name;
        String ValueFromIndex;
    };
    const Case Lines[] = {{0, "a", "1"}, {1, "B", "2"}, {2, "", ""}, {3, "", "x"}, {4, "d", "e=f"}, {-1, "", ""}};
    for (const Case& C : Lines) {
        SCOPED_TRACE(C.Index);
        if (C.Index >= 0) {
            EXPECT_EQ(L.Names(C.Index), C.Name);
        }
        EXPECT_EQ(L.ValueFromIndex(C.Index), C.ValueFromIndex);
    }
    EXPECT_THROW(L.Names(5), EListError);

    struct Lookup {
        String Name;
        int Index;
        String Value;
    };
    const Lookup Lookups[] = {{"A", 0, "1"}, {"b", 1, "2"}, {"c", -1, ""}, {"", 3, "x"}, {"d", 4, "e=f"}, {"zz", -1, ""}};
    for (const Lookup& C : Lookups) {
        SCOPED_TRACE(C.Name);
        EXPECT_EQ(L.IndexOfName(C.Name), C.Index);
        EXPECT_EQ(L.Values(C.Name), C.Value);
    }

    L.SetValues("b", "3");         // replaces the line, with the name as given
    L.SetValues("new", "v");       // appends
    L.SetValues("a", "");          // removes
    L.SetValues("missing", "");    // nothing
    L.SetValueFromIndex(1, "y");   // keeps the line's (empty) name
    L.SetValueFromIndex(-1, "w");  // appends a line with an empty name
    EXPECT_EQ(ItemsOf(L), (Items{"b=3", "=y", "=x", "d=e=f", "new=v", "=w"}));
    L.SetValueFromIndex(0, "");
    EXPECT_EQ(L.Values("b"), "");

    // Another separator.
    TStringList C;
    C.SetNameValueSeparator(':');
    Fill(C, {"k=v:1", "x:y"});
    EXPECT_EQ(C.Names(0), "k=v");
    EXPECT_EQ(C.Values("x"), "y");
    C.SetValues("z", "2");
    EXPECT_EQ(C[2], "z:2");
}

TEST(StringListEvents, ChangeAndChangingCounts)
{
    struct Case {
        const char* Name;
        std::function<void(TStringList&)> Op;
        int Changing;
        int Changed;
    };
    const Case Cases[] = {
        {"Add", [](TStringList& L) { L.Add("x"); }, 1, 1},
        {"AddObject", [](TStringList& L) { L.AddObject("x", Obj(1)); }, 1, 1},
        {"Insert", [](TStringList& L) { L.Insert(0, "x"); }, 1, 1},
        {"Put", [](TStringList& L) { L.Put(0, "x"); }, 1, 1},
        {"PutObject", [](TStringList& L) { L.PutObject(0, Obj(1)); }, 1, 1},
        {"Delete", [](TStringList& L) { L.Delete(0); }, 1, 1},
        {"Exchange", [](TStringList& L) { L.Exchange(0, 1); }, 1, 1},
        {"Move", [](TStringList& L) { L.Move(0, 1); }, 1, 1},
        {"Clear", [](TStringList& L) { L.Clear(); }, 1, 1},
        {"Clear empty", [](TStringList& L) { L.Clear(); L.Clear(); }, 1, 1},
        {"Sort", [](TStringList& L) { L.Sort(); }, 1, 1},
        {"Sorted", [](TStringList& L) { L.SetSorted(true); }, 1, 1},
        {"Text", [](TStringList& L) { L.SetText("a\nb\nc"); }, 1, 1},
        {"CommaText", [](TStringList& L) { L.SetCommaText("a,b"); }, 1, 1},
        {"AddStrings", [](TStringList& L) { L.AddStrings(L); }, 1, 1},
        {"Assign", [](TStringList& L) { TStringList O; O.Add("q"); L.Assign(&O); }, 1, 1},
        {"SetValues new", [](TStringList& L) { L.SetValues("k", "v"); }, 2, 2},
        {"batch", [](TStringList& L) { L.BeginUpdate(); L.Add("x"); L.Add("y"); L.Delete(0); L.EndUpdate(); }, 1, 1},
        {"nested batch",
         [](TStringList& L) {
             L.BeginUpdate();
             L.BeginUpdate();
             L.Add("x");
             L.EndUpdate();
             L.Add("y");
             L.EndUpdate();
         },
         1, 1},
        {"empty batch", [](TStringList& L) { L.BeginUpdate(); L.EndUpdate(); }, 1, 1},
        {"open batch", [](TStringList& L) { L.BeginUpdate(); L.Add("x"); }, 1, 0},
        {"failed Delete", [](TStringList& L) { EXPECT_THROW(L.Delete(9), EListError); }, 0, 0},
        {"Get", [](TStringList& L) { (void)L.Get(0); (void)L.IndexOf("b"); }, 0, 0},
        {"Sort of a sorted list",
         [](TStringList& L) {
             L.SetSorted(true);
             L.Sort();
             L.CustomSort([](TStringList*, int A, int B) { return B - A; });
         },
         1, 1},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TStringList L;
        Fill(L, {"b", "a"});
        int Changing = 0;
        int Changed = 0;
        L.OnChanging = [&](TObject* Sender) {
            EXPECT_EQ(Sender, &L);
            ++Changing;
        };
        L.OnChange = [&](TObject* Sender) {
            EXPECT_EQ(Sender, &L);
            ++Changed;
        };
        C.Op(L);
        EXPECT_EQ(Changing, C.Changing);
        EXPECT_EQ(Changed, C.Changed);
    }

    // OnChanging sees the list before the change, OnChange after it.
    TStringList L;
    std::vector<String> Seen;
    L.OnChanging = [&](TObject*) { Seen.push_back("before " + L.CommaText()); };
    L.OnChange = [&](TObject*) { Seen.push_back("after " + L.CommaText()); };
    L.Add("a");
    L.SetSorted(true); // one string: nothing to sort, nothing reported
    EXPECT_THROW(L.SetValues("k", "v"), EListError); // the added empty line stays, as on the runtime
    EXPECT_EQ(Seen, (std::vector<String>{"before ", "after a", "before a", "after ,a"}));

    // An exception inside a batch still closes the update.
    TStringList D;
    D.SetDuplicates(dupError);
    D.SetSorted(true);
    int Changes = 0;
    D.OnChange = [&](TObject*) { ++Changes; };
    EXPECT_THROW(D.SetCommaText("a,b,a"), EListError);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(ItemsOf(D), (Items{"a", "b"}));
    D.Add("c");
    EXPECT_EQ(Changes, 2);
    EXPECT_THROW(D.EndUpdate(), EListError);
}

TEST(StringListStreams, StreamsAndFiles)
{
    TStringList L;
    Fill(L, {"one", "", "three"});
    TStringStream Out("head:");
    Out.Seek(0, soEnd);
    L.SaveToStream(Out);
    EXPECT_EQ(Out.DataString(), "head:one\r\n\r\nthree\r\n");

    // Loading reads from the stream's position to its end.
    Out.SetPosition(5);
    TStringList Back;
    Back.LoadFromStream(Out);
    EXPECT_TRUE(Back.Equals(L));

    TStringStream Unix("a\nb");
    Back.LoadFromStream(Unix);
    EXPECT_EQ(ItemsOf(Back), (Items{"a", "b"}));

    QTemporaryDir Dir;
    const String File = (Dir.path() + "/list.txt").toStdString();
    L.SaveToFile(File);
    TStringList FromFile;
    FromFile.LoadFromFile(File);
    EXPECT_TRUE(FromFile.Equals(L));
    const String Missing = File + ".none";
    try {
        FromFile.LoadFromFile(Missing);
        ADD_FAILURE() << "loaded a missing file";
    } catch (const EFOpenError& E) {
        EXPECT_NE(E.Message().find(Missing), String::npos);
    }
    EXPECT_TRUE(FromFile.Equals(L));
}
