// Datasets, fields, data sources and data links over the in-memory store.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "DBTestSupport.h"
#include "FloatFormat.h"
#include "FormFixtures.h"
#include "StringList.h"

namespace {

// Id 1..N with names "n1".."nN".
std::unique_ptr<TClientDataSet> MakeNumbers(int N, const String& Name = "Numbers")
{
    std::vector<std::vector<TVariant>> Rows;
    for (int I = 1; I <= N; ++I)
        Rows.push_back({I, "n" + IntToStr(I)});
    return MakeTable({{"Id", ftInteger}, {"Name", ftString, 10}}, Rows, Name);
}

int CurrentId(TDataSet& DS)
{
    return DS.FieldByName("Id")->AsInteger();
}

} // namespace

// ---------------------------------------------------------------- variants

TEST(DBVariant, ConvertsComparesAndHoldsArrays)
{
    EXPECT_TRUE(TVariant().IsNull());
    EXPECT_EQ(TVariant(5), TVariant(5LL));
    EXPECT_EQ(TVariant(5), TVariant(5.0));
    EXPECT_FALSE(TVariant(5) == TVariant("5"));
    EXPECT_FALSE(TVariant() == TVariant(""));
    EXPECT_EQ(TVariant("12").AsInteger(), 12);
    EXPECT_EQ(TVariant(2.5).AsString(), "2.5");
    EXPECT_EQ(TVariant(true).AsString(), "True");
    EXPECT_EQ(TVariant().AsString(), "");
    EXPECT_EQ(TVariant::FromDateTime(45366.5).AsFloat(), 45366.5);
    EXPECT_RAISES(TVariant().AsInteger(), EVariantError, "Could not convert variant of type (Null) into type (Integer)");
    EXPECT_RAISES(TVariant("x").AsFloat(), EVariantError, "Could not convert variant of type (String) into type (Double)");
    EXPECT_RAISES(TVariant(5000000000LL).AsInteger(), EVariantError,
                  "Could not convert variant of type (Int64) into type (Integer)");

    const TVariant A = VarArrayOf({1, "x", TVariant()});
    ASSERT_TRUE(A.IsArray());
    EXPECT_EQ(A.ArrayCount(), 3);
    EXPECT_EQ(A[1], TVariant("x"));
    EXPECT_TRUE(A[2].IsNull());
    EXPECT_EQ(A, VarArrayOf({1LL, "x", TVariant()}));
    EXPECT_FALSE(A == VarArrayOf({1, "x"}));
    EXPECT_RAISES(A[3], EVariantError, "Variant array index out of bounds");
}

// ---------------------------------------------------------------- fields

namespace {

std::unique_ptr<TClientDataSet> MakeAllTypes()
{
    return MakeTable({{"S", ftString, 10},
                      {"I", ftInteger},
                      {"S16", ftSmallint},
                      {"W", ftWord},
                      {"L", ftLargeint},
                      {"F", ftFloat},
                      {"C", ftCurrency},
                      {"B", ftBoolean},
                      {"D", ftDate},
                      {"T", ftTime},
                      {"DT", ftDateTime},
                      {"M", ftMemo},
                      {"Bl", ftBlob},
                      {"G", ftGraphic}},
                     {}, "All");
}

} // namespace

TEST(DBField, TextConversionsFollowTheFieldKind)
{
    struct TCase {
        const char* Field;
        const char* Input;
        const char* AsString; // null: Error is expected
        const char* Error;
    };
    const TCase Cases[] = {
        {"S", "hello", "hello", nullptr},
        {"S", "eleven char", nullptr, "Value 'eleven char' is too long for field 'S' (at most 10 characters)"},
        {"I", "42", "42", nullptr},
        {"I", " -7", "-7", nullptr},
        {"I", "", "", nullptr},
        {"I", "abc", nullptr, "'abc' is not a valid integer value for field 'I'"},
        {"I", "3000000000", nullptr, "3000000000 is not a valid value for field 'I'. The allowed range is -2147483648 to 2147483647"},
        {"S16", "70000", nullptr, "70000 is not a valid value for field 'S16'. The allowed range is -32768 to 32767"},
        {"W", "-1", nullptr, "-1 is not a valid value for field 'W'. The allowed range is 0 to 65535"},
        {"L", "9223372036854775807", "9223372036854775807", nullptr},
        {"F", "2.5", "2.5", nullptr},
        {"F", "1e3", "1000", nullptr},
        {"F", "x1", nullptr, "'x1' is not a valid floating point value for field 'F'"},
        {"C", "1234.5", "1234.5", nullptr},
        {"B", "true", "True", nullptr},
        {"B", "f", "False", nullptr},
        {"B", "1", "True", nullptr},
        {"B", "maybe", nullptr, "'maybe' is not a valid boolean value for field 'B'"},
        {"D", "3/15/2024", "3/15/2024", nullptr},
        {"D", "2/30/2024", nullptr, "'2/30/2024' is not a valid date value for field 'D'"},
        {"T", "13:45", "1:45:00 PM", nullptr},
        {"T", "25:00", nullptr, "'25:00' is not a valid time value for field 'T'"},
        {"DT", "3/15/2024 1:30 PM", "3/15/2024 1:30:00 PM", nullptr},
        {"DT", "soon", nullptr, "'soon' is not a valid date and time value for field 'DT'"},
        {"M", "line 1\r\nline 2", "line 1\r\nline 2", nullptr},
    };
    auto DS = MakeAllTypes();
    DS->Append();
    for (const TCase& C : Cases) {
        SCOPED_TRACE(String(C.Field) + " <- '" + C.Input + "'");
        TField* F = DS->FieldByName(C.Field);
        F->Clear();
        if (C.AsString) {
            F->SetAsString(C.Input);
            EXPECT_EQ(F->AsString(), C.AsString);
            EXPECT_EQ(F->IsNull(), String(C.AsString).empty());
        } else {
            EXPECT_RAISES(F->SetAsString(C.Input), EDatabaseError, C.Error);
            EXPECT_TRUE(F->IsNull()) << "a rejected value must not be stored";
        }
    }
}

TEST(DBField, TypedAccessAndAccessErrors)
{
    auto DS = MakeAllTypes();
    DS->Append();
    DS->FieldByName("F")->SetAsFloat(2.5);
    EXPECT_EQ(DS->FieldByName("F")->AsInteger(), 2) << "rounds half to even";
    DS->FieldByName("I")->SetAsFloat(7.0);
    EXPECT_EQ(DS->FieldByName("I")->Value(), TVariant(7));
    DS->FieldByName("S")->SetAsInteger(12);
    EXPECT_EQ(DS->FieldByName("S")->AsInteger(), 12);
    DS->FieldByName("DT")->SetAsDateTime(45366.0 + 12345678.4 / MSecsPerDay);
    EXPECT_EQ(DS->FieldByName("DT")->AsDateTime(), 45366.0 + 12345678.0 / MSecsPerDay) << "kept to the millisecond";
    DS->FieldByName("D")->SetAsDateTime(45366.75);
    EXPECT_EQ(DS->FieldByName("D")->AsDateTime(), 45366.0);
    DS->FieldByName("T")->SetAsDateTime(45366.75);
    EXPECT_EQ(DS->FieldByName("T")->AsDateTime(), 0.75);
    DS->FieldByName("B")->SetValue(TVariant(0));
    EXPECT_FALSE(DS->FieldByName("B")->AsBoolean());
    EXPECT_EQ(DS->FieldByName("S16")->AsInteger(), 0) << "null reads as 0";

    EXPECT_RAISES(DS->FieldByName("B")->AsInteger(), EDatabaseError, "Cannot access field 'B' as type Integer");
    EXPECT_RAISES(DS->FieldByName("Bl")->SetAsFloat(1), EDatabaseError, "Cannot access field 'Bl' as type Float");
    EXPECT_RAISES(DS->FieldByName("DT")->AsBoolean(), EDatabaseError, "Cannot access field 'DT' as type Boolean");
    EXPECT_RAISES(DS->FieldByName("I")->SetAsDateTime(1), EDatabaseError, "Cannot access field 'I' as type DateTime");
    EXPECT_RAISES(DS->FieldByName("I")->SetValue(VarArrayOf({1})), EDatabaseError,
                  "Cannot access field 'I' as type Array");
    DS->Cancel();
    EXPECT_RAISES(DS->FieldByName("I")->SetAsInteger(1), EDatabaseError, "All: Dataset not in edit or insert mode");
}

TEST(DBField, DisplayAndEditText)
{
    auto DS = MakeAllTypes();
    DS->Append();
    auto Set = [&](const char* F, const TVariant& V) { DS->FieldByName(F)->SetValue(V); };
    Set("C", 1234.5);
    Set("F", 1.0 / 3);
    Set("I", 7);
    Set("B", true);
    Set("DT", TVariant::FromDateTime(EncodeDate(2024, 3, 5) + EncodeTime(14, 5, 0, 0)));
    Set("M", "memo text");

    struct TCase {
        const char* Field;
        const char* DisplayFormat; // "" keeps the default
        const char* Display;
        const char* Edit;
    };
    const TCase Cases[] = {
        {"C", "", "$1,234.50", "1234.50"},
        {"F", "", "0.333333333333333", "0.333333333333333"},
        {"F", "0.00", "0.33", "0.33"},
        {"I", "", "7", "7"},
        {"I", "000", "007", "007"},
        {"B", "", "True", "True"},
        {"DT", "", "3/5/2024 2:05:00 PM", "3/5/2024 2:05:00 PM"},
        {"DT", "yyyy-mm-dd", "2024-03-05", "3/5/2024 2:05:00 PM"},
        {"M", "", "(MEMO)", "memo text"},
        {"Bl", "", "(Blob)", "(Blob)"},
        {"G", "", "(Graphic)", "(Graphic)"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(String(C.Field) + " '" + C.DisplayFormat + "'");
        TField* F = DS->FieldByName(C.Field);
        if (auto* N = dynamic_cast<TNumericField*>(F))
            N->SetDisplayFormat(C.DisplayFormat);
        if (auto* D = dynamic_cast<TDateTimeField*>(F))
            D->SetDisplayFormat(C.DisplayFormat);
        EXPECT_EQ(F->DisplayText(), C.Display);
        EXPECT_EQ(F->EditText(), C.Edit);
    }
    auto* Num = static_cast<TNumericField*>(DS->FieldByName("I"));
    Num->SetEditFormat("0");
    EXPECT_EQ(Num->EditText(), "7") << "EditFormat wins for the edit text";
    auto* Bool = static_cast<TBooleanField*>(DS->FieldByName("B"));
    Bool->SetDisplayValues("Yes;No");
    EXPECT_EQ(Bool->DisplayText(), "Yes");
    Bool->SetAsString("n");
    EXPECT_FALSE(Bool->AsBoolean());
    EXPECT_EQ(Bool->AsString(), "No");

    // OnGetText and OnSetText replace the conversions.
    TField* S = DS->FieldByName("S");
    S->OnGetText = [](TField*, String& Text, bool Display) { Text = Display ? "shown" : "edited"; };
    S->OnSetText = [](TField* Sender, const String& Text) { Sender->SetAsString("<" + Text + ">"); };
    S->SetEditText("x");
    EXPECT_EQ(S->AsString(), "<x>");
    EXPECT_EQ(S->DisplayText(), "shown");
    EXPECT_EQ(S->EditText(), "edited");

    EXPECT_EQ(DS->FieldByName("I")->Alignment(), taRightJustify);
    EXPECT_EQ(DS->FieldByName("C")->Alignment(), taRightJustify);
    EXPECT_EQ(DS->FieldByName("S")->Alignment(), taLeftJustify);
    EXPECT_EQ(DS->FieldByName("S")->DisplayWidth(), 10);
    EXPECT_EQ(DS->FieldByName("S")->Size(), 10);
    EXPECT_EQ(DS->FieldByName("M")->DataType(), ftMemo);
    EXPECT_TRUE(DS->FieldByName("G")->IsBlob());
}

TEST(DBField, ValidateAndReadOnly)
{
    auto DS = MakeNumbers(2);
    TField* Name = DS->FieldByName("Name");
    int Changes = 0;
    Name->OnChange = [&](TField*) { ++Changes; };
    Name->OnValidate = [](TField* F) {
        if (F->AsString() == "bad")
            throw EDatabaseError("no bad names");
    };
    DS->Edit();
    Name->SetAsString("good");
    EXPECT_EQ(Changes, 1);
    EXPECT_RAISES(Name->SetAsString("bad"), EDatabaseError, "no bad names");
    EXPECT_EQ(Name->AsString(), "good") << "a rejected value gives way to the old one";
    EXPECT_EQ(Changes, 1);
    Name->SetReadOnly(true);
    EXPECT_FALSE(Name->CanModify());
    EXPECT_RAISES(Name->SetAsString("x"), EDatabaseError, "Field 'Name' cannot be modified");
    DS->Post();
    EXPECT_EQ(ColumnText(*DS, "Name"), "good,n2");
}

TEST(DBField, BlobStreams)
{
    auto DS = MakeTable({{"Id", ftInteger}, {"Pic", ftGraphic}}, {{1, TVariant()}}, "Pics");
    auto* Pic = static_cast<TBlobField*>(DS->FieldByName("Pic"));
    TDataSource Source;
    Source.SetDataSet(DS.get());
    TRecordingLink Link;
    Link.SetDataSource(&Source);
    Link.Take();

    EXPECT_RAISES(Pic->CreateBlobStream(bmWrite), EDatabaseError, "Pics: Dataset not in edit or insert mode");
    DS->Edit();
    Link.Take();
    std::vector<uint8_t> Bytes;
    for (int I = 0; I < 256; ++I)
        Bytes.push_back(static_cast<uint8_t>(I));
    TMemoryStream In(Bytes);
    In.SetPosition(100);
    Pic->LoadFromStream(In);
    EXPECT_EQ(Pic->AsBytes(), Bytes) << "the whole stream, from its start";
    EXPECT_EQ(Link.Take(), "record Pic");
    {
        auto W = Pic->CreateBlobStream(bmWrite);
        EXPECT_TRUE(Pic->AsBytes().empty()) << "bmWrite starts empty";
        W->WriteBuffer("abc", 3);
        EXPECT_EQ(Pic->AsString(), "abc") << "writes reach the record at once";
        EXPECT_EQ(Link.Take(), "");
    }
    EXPECT_EQ(Link.Take(), "record Pic") << "the change is announced when the stream goes";
    {
        auto RW = Pic->CreateBlobStream(bmReadWrite);
        RW->Seek(0, soEnd);
        RW->WriteBuffer("de", 2);
    }
    DS->Post();
    TMemoryStream Out;
    Pic->SaveToStream(Out);
    EXPECT_EQ(String(Out.Bytes().begin(), Out.Bytes().end()), "abcde");
    auto R = Pic->CreateBlobStream(bmRead);
    char Buf[5];
    R->ReadBuffer(Buf, 5);
    EXPECT_EQ(String(Buf, 5), "abcde");
    EXPECT_EQ(Pic->DisplayText(), "(GRAPHIC)");
}

// ---------------------------------------------------------------- navigation

TEST(DBDataSet, CursorMovesAndReportsItsEnds)
{
    auto DS = MakeNumbers(5);
    struct TStep {
        const char* What;
        int Moved; // what MoveBy returned (ignored for the others)
        int RecNo;
        bool Bof;
        bool Eof;
    };
    auto Do = [&](const String& Op) {
        if (Op == "First") DS->First();
        else if (Op == "Last") DS->Last();
        else if (Op == "Next") DS->Next();
        else if (Op == "Prior") DS->Prior();
        else if (Op.rfind("MoveBy ", 0) == 0) return DS->MoveBy(std::stoi(Op.substr(7)));
        else if (Op.rfind("RecNo ", 0) == 0) DS->SetRecNo(std::stoi(Op.substr(6)));
        return 0;
    };
    const TStep Steps[] = {
        {"First", 0, 1, true, false},     {"Next", 0, 2, false, false},      {"MoveBy 2", 2, 4, false, false},
        {"Next", 0, 5, false, false},     {"Next", 0, 5, false, true},       {"MoveBy 1", 0, 5, false, true},
        {"Prior", 0, 4, false, false},    {"MoveBy -10", -3, 1, true, false}, {"MoveBy -1", 0, 1, true, false},
        {"MoveBy 0", 0, 1, true, false},  {"Last", 0, 5, false, true},       {"RecNo 2", 0, 2, false, false},
        {"RecNo 99", 0, 5, false, false}, {"RecNo 0", 0, 1, false, false},
    };
    EXPECT_TRUE(DS->Bof());
    for (const TStep& S : Steps) {
        SCOPED_TRACE(S.What);
        EXPECT_EQ(Do(S.What), S.Moved);
        EXPECT_EQ(DS->RecNo(), S.RecNo);
        EXPECT_EQ(CurrentId(*DS), S.RecNo);
        EXPECT_EQ(DS->Bof(), S.Bof);
        EXPECT_EQ(DS->Eof(), S.Eof);
    }
    EXPECT_EQ(DS->RecordCount(), 5);
    EXPECT_TRUE(DS->IsSequenced());
}

TEST(DBDataSet, EmptyAndClosedDataSets)
{
    auto DS = MakeNumbers(0);
    EXPECT_TRUE(DS->Bof());
    EXPECT_TRUE(DS->Eof());
    EXPECT_TRUE(DS->IsEmpty());
    EXPECT_EQ(DS->RecNo(), -1);
    EXPECT_EQ(DS->MoveBy(1), 0);
    EXPECT_TRUE(DS->FieldByName("Id")->IsNull());
    EXPECT_RAISES(DS->Delete(), EDatabaseError, "Numbers: Cannot perform this operation on an empty dataset");
    DS->Edit();
    EXPECT_EQ(DS->State(), dsInsert) << "editing an empty dataset inserts";
    DS->Cancel();

    DS->Close();
    EXPECT_EQ(DS->State(), dsInactive);
    EXPECT_RAISES(DS->RecordCount(), EDatabaseError, "Numbers: Cannot perform this operation on a closed dataset");
    EXPECT_RAISES(DS->First(), EDatabaseError, "Numbers: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(DS->FieldCount(), 0) << "default fields go with the cursor";
    DS->Open();
    EXPECT_EQ(DS->FieldCount(), 2);
    EXPECT_RAISES(DS->FieldByName("Nope"), EDatabaseError, "Numbers: Field 'Nope' not found");
    EXPECT_EQ(DS->FindField("nope"), nullptr);
    EXPECT_EQ(DS->FindField("NAME"), DS->Fields()[1]) << "field names ignore case";
    EXPECT_EQ(DS->Fields()[0]->FieldName(), "Id");
}

// ---------------------------------------------------------------- editing

TEST(DBDataSet, EditPostCancelInsertAppendDelete)
{
    auto DS = MakeNumbers(3);
    std::vector<String> Events;
    auto Log = [&](const char* Name) { return [&Events, Name](TDataSet*) { Events.push_back(Name); }; };
    DS->BeforeEdit = Log("BeforeEdit");
    DS->AfterEdit = Log("AfterEdit");
    DS->BeforePost = Log("BeforePost");
    DS->AfterPost = Log("AfterPost");
    DS->BeforeInsert = Log("BeforeInsert");
    DS->AfterInsert = Log("AfterInsert");
    DS->BeforeCancel = Log("BeforeCancel");
    DS->AfterCancel = Log("AfterCancel");
    DS->BeforeDelete = Log("BeforeDelete");
    DS->AfterDelete = Log("AfterDelete");
    DS->BeforeScroll = Log("BeforeScroll");
    DS->AfterScroll = Log("AfterScroll");
    DS->OnNewRecord = [&](TDataSet* D) {
        Events.push_back("OnNewRecord");
        D->FieldByName("Name")->SetAsString("new");
    };
    auto Take = [&] {
        String S;
        for (const String& E : Events)
            S += (S.empty() ? "" : ",") + E;
        Events.clear();
        return S;
    };
    TField* Name = DS->FieldByName("Name");

    DS->Next();
    Take();
    DS->Edit();
    EXPECT_EQ(DS->State(), dsEdit);
    Name->SetAsString("B");
    EXPECT_TRUE(DS->Modified());
    DS->Cancel();
    EXPECT_EQ(Take(), "BeforeEdit,AfterEdit,BeforeCancel,AfterCancel");
    EXPECT_EQ(Name->AsString(), "n2");

    DS->Edit();
    Name->SetAsString("B");
    DS->Post();
    EXPECT_EQ(Take(), "BeforeEdit,AfterEdit,BeforePost,AfterPost");
    EXPECT_FALSE(DS->Modified());
    EXPECT_EQ(DS->RecNo(), 2);

    DS->Insert();
    EXPECT_EQ(Take(), "BeforeInsert,BeforeScroll,OnNewRecord,AfterInsert,AfterScroll");
    EXPECT_EQ(DS->State(), dsInsert);
    EXPECT_EQ(DS->RecNo(), 2) << "a new record takes the current one's place";
    EXPECT_EQ(Name->AsString(), "new");
    EXPECT_FALSE(DS->Modified()) << "values set by OnNewRecord do not count as changes";
    DS->FieldByName("Id")->SetAsInteger(9);
    DS->Post();
    EXPECT_EQ(ColumnText(*DS, "Id"), "1,9,2,3");
    EXPECT_EQ(CurrentId(*DS), 9);

    DS->Insert();
    DS->Cancel();
    EXPECT_EQ(CurrentId(*DS), 9) << "cancelling an insert returns to the record that was current";
    EXPECT_EQ(DS->RecordCount(), 4);

    DS->Append();
    EXPECT_TRUE(DS->Eof());
    DS->FieldByName("Id")->SetAsInteger(10);
    DS->Post();
    EXPECT_EQ(ColumnText(*DS, "Id"), "1,9,2,3,10");
    EXPECT_EQ(DS->RecNo(), 5);
    Take();

    DS->SetRecNo(2);
    Take();
    DS->Delete();
    EXPECT_EQ(Take(), "BeforeDelete,BeforeScroll,AfterDelete,AfterScroll");
    EXPECT_EQ(CurrentId(*DS), 2) << "the next record becomes current";
    DS->Last();
    DS->Delete();
    EXPECT_EQ(CurrentId(*DS), 3) << "deleting the last record makes the new last one current";
    EXPECT_EQ(ColumnText(*DS, "Id"), "1,2,3");

    DS->Insert();
    DS->Delete();
    EXPECT_EQ(DS->State(), dsBrowse) << "deleting a record being inserted cancels it";
    EXPECT_EQ(DS->RecordCount(), 3);

    // CheckBrowseMode posts a changed record and cancels an unchanged one.
    DS->Edit();
    Name->SetAsString("x");
    DS->CheckBrowseMode();
    EXPECT_EQ(Name->AsString(), "x");
    DS->Append();
    DS->CheckBrowseMode();
    EXPECT_EQ(DS->RecordCount(), 3);
    EXPECT_RAISES(DS->Post(), EDatabaseError, "Numbers: Dataset not in edit or insert mode");
}

TEST(DBDataSet, ManyInsertsAtOnePlaceKeepTheirOrder)
{
    // Each insert goes before the record inserted last: the order keys run
    // out of room between the same two records and are renumbered.
    auto DS = MakeNumbers(2);
    DS->Last();
    String Expected = "1";
    for (int I = 139; I >= 100; --I)
        Expected += "," + IntToStr(I);
    for (int I = 100; I < 140; ++I)
        DS->InsertRecord({I, "x"});
    EXPECT_EQ(ColumnText(*DS, "Id"), Expected + ",2");
    DS->SetIndexFieldNames("Name;Id");
    EXPECT_EQ(CurrentId(*DS), 139) << "the record inserted last stays current";
    EXPECT_EQ(DS->RecNo(), 42) << "n1, n2, then the x records by Id";
    DS->SetIndexFieldNames("Name");
    EXPECT_EQ(ColumnText(*DS, "Id").substr(0, 12), "1,2,139,138,") << "ties keep the natural order";
}

TEST(DBDataSet, RequiredFieldsAndReadOnlyDataSets)
{
    auto DS = std::make_unique<TClientDataSet>();
    DS->SetName("People");
    DS->FieldDefs()->Add("Id", ftInteger, 0, true);
    DS->FieldDefs()->Add("Name", ftString, 10);
    DS->CreateDataSet();
    DS->Append();
    DS->FieldByName("Name")->SetAsString("x");
    EXPECT_RAISES(DS->Post(), EDatabaseError, "Field 'Id' must have a value");
    EXPECT_EQ(DS->State(), dsInsert);
    DS->FieldByName("Id")->SetAsInteger(1);
    DS->Post();
    EXPECT_RAISES(DS->AppendRecord({TVariant(), "y"}), EDatabaseError, "Field 'Id' must have a value");
    EXPECT_EQ(DS->State(), dsBrowse) << "a failed AppendRecord leaves no half-made record";
    EXPECT_EQ(DS->RecordCount(), 1);

    DS->SetReadOnly(true);
    EXPECT_FALSE(DS->CanModify());
    EXPECT_FALSE(DS->FieldByName("Name")->CanModify());
    EXPECT_RAISES(DS->Edit(), EDatabaseError, "People: Cannot modify a read-only dataset");
    EXPECT_RAISES(DS->Append(), EDatabaseError, "People: Cannot modify a read-only dataset");
    EXPECT_EQ(DS->State(), dsBrowse);
}

// ---------------------------------------------------------------- bookmarks

TEST(DBDataSet, BookmarksFollowRecordsThroughIndexesAndFilters)
{
    auto DS = MakeTable({{"Id", ftInteger}, {"Name", ftString, 10}}, {{1, "d"}, {2, "b"}, {3, "a"}, {4, "c"}}, "T");
    DS->SetRecNo(3);
    const TBookmark Third = DS->GetBookmark();
    DS->SetRecNo(1);
    const TBookmark First = DS->GetBookmark();
    EXPECT_TRUE(Third);
    EXPECT_EQ(DS->CompareBookmarks(First, Third), -1);
    EXPECT_EQ(DS->CompareBookmarks(Third, Third), 0);
    EXPECT_EQ(DS->CompareBookmarks(TBookmark(), Third), -1);
    EXPECT_EQ(DS->CompareBookmarks(TBookmark(), TBookmark()), 0);

    DS->GotoBookmark(Third);
    EXPECT_EQ(CurrentId(*DS), 3);
    DS->SetIndexFieldNames("Name");
    DS->First();
    DS->SetBookmark(First);
    EXPECT_EQ(CurrentId(*DS), 1);
    EXPECT_EQ(DS->RecNo(), 4);
    EXPECT_EQ(DS->CompareBookmarks(First, Third), 1) << "compared in the order of the current index";

    DS->OnFilterRecord = [](TDataSet* D, bool& Accept) { Accept = D->FieldByName("Id")->AsInteger() != 3; };
    DS->SetFiltered(true);
    EXPECT_FALSE(DS->BookmarkValid(Third)) << "a filtered-out record cannot be reached";
    EXPECT_RAISES(DS->GotoBookmark(Third), EDatabaseError, "T: Record not found");
    DS->SetFiltered(false);
    EXPECT_TRUE(DS->BookmarkValid(Third));

    DS->GotoBookmark(Third);
    DS->Delete();
    EXPECT_FALSE(DS->BookmarkValid(Third));
    TBookmark B = DS->GetBookmark();
    DS->FreeBookmark(B);
    EXPECT_TRUE(B.IsNull());
    DS->Insert();
    EXPECT_TRUE(DS->GetBookmark().IsNull()) << "a record being inserted has no bookmark";
    DS->Cancel();

    auto Other = MakeNumbers(4);
    EXPECT_FALSE(Other->BookmarkValid(First)) << "bookmarks belong to their dataset";
    DS->Close();
    DS->Open();
    EXPECT_TRUE(DS->BookmarkValid(First)) << "the in-memory store outlives Close";
}

// ---------------------------------------------------------------- searching

TEST(DBDataSet, LocateAndLookup)
{
    auto DS = MakeTable({{"Id", ftInteger}, {"Name", ftString, 10}, {"City", ftString, 10}},
                        {{1, "Alpha", "Rome"}, {2, "beta", "Oslo"}, {3, "Beta", "Rome"}, {4, "Gamma", "Oslo"}}, "T");
    struct TCase {
        const char* Fields;
        TVariant Keys;
        TLocateOptions Options;
        int Found; // 0: not found
    };
    const TCase Cases[] = {
        {"Name", "Beta", 0, 3},
        {"Name", "beta", 0, 2},
        {"Name", "BETA", loCaseInsensitive, 2},
        {"Name", "Gam", loPartialKey, 4},
        {"Name", "ga", loPartialKey | loCaseInsensitive, 4},
        {"Name", "Gam", 0, 0},
        {"Name", "Gammas", loPartialKey, 0},
        {"City;Name", VarArrayOf({"Rome", "Beta"}), 0, 3},
        {"City;Name", VarArrayOf({"Oslo", "Beta"}), 0, 0},
        {"Id", "3", 0, 3},
        {"Id", 3.0, 0, 3},
        {"Name", TVariant(), 0, 0},
    };
    // The same answers by scanning and through an index on the key fields.
    for (const char* Index : {"", "Name", "City;Name", "Id"}) {
        DS->SetIndexFieldNames(Index);
        for (const TCase& C : Cases) {
            SCOPED_TRACE(String("index '") + Index + "', " + C.Fields + " = " + ::testing::PrintToString(C.Keys));
            DS->Locate("Id", 4);
            EXPECT_EQ(DS->Locate(C.Fields, C.Keys, C.Options), C.Found != 0);
            EXPECT_EQ(CurrentId(*DS), C.Found ? C.Found : 4) << "not found leaves the cursor alone";
        }
    }
    DS->SetIndexFieldNames("");
    DS->First();
    EXPECT_EQ(DS->Lookup("Id", 4, "Name"), TVariant("Gamma"));
    EXPECT_TRUE(DS->Lookup("Id", 9, "Name").IsNull());
    EXPECT_EQ(DS->Lookup("City;Name", VarArrayOf({"Rome", "Beta"}), "Id;City"), VarArrayOf({3, "Rome"}));
    EXPECT_EQ(CurrentId(*DS), 1) << "Lookup does not move the cursor";

    EXPECT_RAISES(DS->Locate("Nope", 1), EDatabaseError, "T: Field 'Nope' not found");
    EXPECT_RAISES(DS->Locate("Id;Name", 1), EDatabaseError, "T: 2 key values are needed for the fields 'Id;Name'");
    EXPECT_RAISES(DS->Locate("Id", "abc"), EDatabaseError, "'abc' is not a valid integer value for field 'Id'");
}

// ---------------------------------------------------------------- filters and indexes

TEST(DBDataSet, RecordFilter)
{
    auto DS = MakeTable({{"Id", ftInteger}, {"City", ftString, 10}},
                        {{1, "Rome"}, {2, "Oslo"}, {3, "Rome"}, {4, "Oslo"}, {5, "Rome"}}, "T");
    String Wanted = "Rome";
    DS->OnFilterRecord = [&](TDataSet* D, bool& Accept) {
        EXPECT_EQ(D->State(), dsFilter);
        Accept = D->FieldByName("City")->AsString() == Wanted;
    };
    DS->Last();
    DS->SetFiltered(true);
    EXPECT_EQ(DS->RecordCount(), 3);
    EXPECT_EQ(CurrentId(*DS), 1) << "filtering goes to the first record";
    EXPECT_EQ(ColumnText(*DS, "Id"), "1,3,5");
    Wanted = "Oslo";
    DS->Refresh();
    EXPECT_EQ(ColumnText(*DS, "Id"), "2,4");

    // A record that no longer passes leaves the view when posted.
    DS->First();
    DS->Edit();
    DS->FieldByName("City")->SetAsString("Rome");
    DS->Post();
    EXPECT_EQ(ColumnText(*DS, "Id"), "4");
    EXPECT_EQ(CurrentId(*DS), 4);
    DS->AppendRecord({6, "Paris"});
    EXPECT_EQ(DS->RecordCount(), 1);

    DS->SetFiltered(false);
    EXPECT_EQ(ColumnText(*DS, "Id"), "1,2,3,4,5,6");
    DS->OnFilterRecord = [](TDataSet*, bool&) { throw EDatabaseError("filter failed"); };
    EXPECT_RAISES(DS->SetFiltered(true), EDatabaseError, "filter failed");
    EXPECT_EQ(DS->State(), dsBrowse) << "a failing filter leaves no temporary state behind";
}

TEST(DBDataSet, IndexFieldNamesSortAndKeepTheCurrentRecord)
{
    auto DS = MakeTable({{"Id", ftInteger}, {"Name", ftString, 10}, {"Grp", ftInteger}, {"Pic", ftBlob}},
                        {{1, "d", 2}, {2, "b", 1}, {3, "a", 2}, {4, "c", 1}, {5, "b", 2}, {6, TVariant(), 3}}, "T");
    DS->Locate("Id", 4);
    struct TCase {
        const char* Index;
        const char* Order;
    };
    const TCase Cases[] = {
        {"Name", "6,3,2,5,4,1"},      // nulls first, ties in natural order
        {"Grp;Name", "2,4,3,5,1,6"},
        {"Grp ; Id", "2,4,1,3,5,6"},
        {"", "1,2,3,4,5,6"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Index);
        DS->SetIndexFieldNames(C.Index);
        EXPECT_EQ(CurrentId(*DS), 4) << "the current record stays current";
        EXPECT_EQ(ColumnText(*DS, "Id"), C.Order);
    }
    DS->SetIndexFieldNames("Name");
    EXPECT_RAISES(DS->SetIndexFieldNames("Nope"), EDatabaseError, "T: Field 'Nope' not found");
    EXPECT_RAISES(DS->SetIndexFieldNames("Pic"), EDatabaseError, "T: Field 'Pic' is a Blob field and cannot be indexed");
    EXPECT_EQ(DS->IndexFieldNames(), "Name");
    EXPECT_EQ(ColumnText(*DS, "Id"), "6,3,2,5,4,1") << "a rejected index leaves the order as it was";

    // Changed keys move the record, and the cursor goes with it.
    DS->Locate("Id", 2);
    DS->Edit();
    DS->FieldByName("Name")->SetAsString("z");
    DS->Post();
    EXPECT_EQ(CurrentId(*DS), 2);
    EXPECT_EQ(DS->RecNo(), 6);
    DS->InsertRecord({7, "bb", 1});
    EXPECT_EQ(ColumnText(*DS, "Id"), "6,3,5,7,4,1,2");
    EXPECT_EQ(CurrentId(*DS), 7);
}

// ---------------------------------------------------------------- master/detail

namespace {

struct TOrderEntry {
    std::unique_ptr<TClientDataSet> Customers =
        MakeTable({{"CustNo", ftInteger}, {"Company", ftString, 10}}, {{1, "A"}, {2, "B"}, {3, "C"}}, "Customers");
    std::unique_ptr<TClientDataSet> Orders = MakeTable(
        {{"OrderNo", ftInteger}, {"CustNo", ftInteger}}, {{12, 2}, {10, 1}, {11, 1}}, "Orders");
    std::unique_ptr<TClientDataSet> Items = MakeTable(
        {{"OrderNo", ftInteger}, {"ItemNo", ftInteger}, {"Qty", ftInteger}},
        {{12, 3, 30}, {10, 1, 1}, {12, 1, 10}, {11, 1, 5}, {10, 2, 2}, {12, 2, 20}}, "Items");
    TDataSource CustSource, OrderSource;

    TOrderEntry()
    {
        CustSource.SetDataSet(Customers.get());
        OrderSource.SetDataSet(Orders.get());
        Orders->SetIndexFieldNames("CustNo;OrderNo");
        Orders->SetMasterFields("CustNo");
        Orders->SetMasterSource(&CustSource);
        Items->SetIndexFieldNames("OrderNo;ItemNo");
        Items->SetMasterFields("OrderNo");
        Items->SetMasterSource(&OrderSource);
    }
};

} // namespace

TEST(DBMasterDetail, ThreeLevelsFollowTheirMasters)
{
    TOrderEntry E;
    EXPECT_EQ(ColumnText(*E.Orders, "OrderNo"), "10,11");
    EXPECT_EQ(ColumnText(*E.Items, "ItemNo"), "1,2");
    E.Orders->Next();
    EXPECT_EQ(ColumnText(*E.Items, "Qty"), "5");
    E.Customers->Next();
    EXPECT_EQ(E.Orders->FieldByName("OrderNo")->AsInteger(), 12);
    EXPECT_TRUE(E.Orders->Bof()) << "a detail starts at its first record";
    EXPECT_EQ(ColumnText(*E.Items, "Qty"), "10,20,30");
    EXPECT_EQ(E.Items->RecordCount(), 3);
    E.Customers->Next();
    EXPECT_TRUE(E.Orders->IsEmpty());
    EXPECT_TRUE(E.Items->IsEmpty()) << "no order, no items";

    // A new detail record gets the master's key.
    E.Customers->First();
    E.Orders->Append();
    EXPECT_EQ(E.Orders->FieldByName("CustNo")->AsInteger(), 1);
    EXPECT_TRUE(E.Items->IsEmpty()) << "the master being inserted has no details";
    E.Orders->FieldByName("OrderNo")->SetAsInteger(13);
    E.Orders->Post();
    EXPECT_EQ(ColumnText(*E.Orders, "OrderNo"), "10,11,13");

    // A detail whose key changes leaves the range.
    E.Orders->Locate("OrderNo", 13);
    E.Orders->Edit();
    E.Orders->FieldByName("CustNo")->SetAsInteger(3);
    E.Orders->Post();
    EXPECT_EQ(ColumnText(*E.Orders, "OrderNo"), "10,11");
    E.Customers->Last();
    EXPECT_EQ(ColumnText(*E.Orders, "OrderNo"), "13");

    // Changing the master's key field refreshes the detail at once.
    E.Customers->Edit();
    E.Customers->FieldByName("CustNo")->SetAsInteger(2);
    EXPECT_EQ(ColumnText(*E.Orders, "OrderNo"), "12");
    E.Customers->Cancel();

    // Without an open master the detail shows every record.
    E.Customers->Close();
    EXPECT_EQ(E.Orders->RecordCount(), 4);
    E.Customers->Open();
    EXPECT_EQ(E.Orders->RecordCount(), 2);
    E.Orders->SetMasterSource(nullptr);
    EXPECT_EQ(E.Orders->RecordCount(), 4);
}

TEST(DBMasterDetail, PendingDetailEditsArePostedBeforeTheMasterMoves)
{
    TOrderEntry E;
    E.Items->Edit();
    E.Items->FieldByName("Qty")->SetAsInteger(99);
    E.Customers->Next();
    EXPECT_EQ(E.Items->State(), dsBrowse);
    E.Customers->First();
    EXPECT_EQ(ColumnText(*E.Items, "Qty"), "99,2");
}

TEST(DBMasterDetail, DetailsAreToldOfAChangeNotAScroll)
{
    TOrderEntry E;
    TRecordingLink Detail;
    Detail.LogChecks = false;
    Detail.SetDataSource(&E.OrderSource);
    Detail.Take();
    E.Customers->Next();
    EXPECT_EQ(Detail.Take(), "changed");
    E.Customers->Prior();
    EXPECT_EQ(Detail.Take(), "changed");
    E.Orders->Next();
    EXPECT_EQ(Detail.Take(), "scrolled 1");

    // While the master's controls are disabled the details stay where they are.
    E.Customers->DisableControls();
    E.Customers->Next();
    EXPECT_EQ(E.Orders->FieldByName("CustNo")->AsInteger(), 1);
    EXPECT_EQ(Detail.Take(), "");
    E.Customers->EnableControls();
    EXPECT_EQ(E.Orders->FieldByName("CustNo")->AsInteger(), 2);
    EXPECT_EQ(Detail.Take(), "changed");
}

TEST(DBMasterDetail, MisconfigurationsAreRejected)
{
    TOrderEntry E;
    TDataSource ItemSource;
    ItemSource.SetDataSet(E.Items.get());
    EXPECT_RAISES(E.Customers->SetMasterSource(&ItemSource), EDatabaseError,
                  "Customers: Circular datalinks are not allowed");
    EXPECT_RAISES(E.Orders->SetMasterSource(&E.OrderSource), EDatabaseError,
                  "Orders: Circular datalinks are not allowed");
    E.CustSource.SetName("CustSource");
    EXPECT_RAISES(E.CustSource.SetDataSet(E.Items.get()), EDatabaseError,
                  "CustSource: Circular datalinks are not allowed");
    EXPECT_EQ(E.CustSource.DataSet(), E.Customers.get());

    E.Orders->SetIndexFieldNames("CustNo");
    EXPECT_RAISES(E.Orders->SetMasterFields("CustNo;Company"), EDatabaseError,
                  "Orders: MasterFields 'CustNo;Company' need an index whose first 2 fields are the detail fields; "
                  "IndexFieldNames is 'CustNo'");
    EXPECT_EQ(E.Orders->MasterFields(), "CustNo");
    EXPECT_EQ(ColumnText(*E.Orders, "OrderNo"), "10,11");
}

// ---------------------------------------------------------------- calculated and lookup fields

namespace {

struct TPricedItems {
    std::unique_ptr<TClientDataSet> Parts =
        MakeTable({{"PartNo", ftInteger}, {"Description", ftString, 20}, {"Price", ftCurrency}},
                  {{100, "Bolt", 0.5}, {200, "Nut", 0.25}}, "Parts");
    std::unique_ptr<TClientDataSet> Items = std::make_unique<TClientDataSet>();
    TField* PartName;
    TField* Total;

    TPricedItems()
    {
        Items->SetName("Items");
        Items->FieldDefs()->Add("PartNo", ftInteger);
        Items->FieldDefs()->Add("Qty", ftInteger);
        for (const char* N : {"PartNo", "Qty"}) {
            auto* F = new TIntegerField(Items.get());
            F->SetFieldName(N);
            F->SetDataSet(Items.get());
        }
        PartName = new TStringField(Items.get());
        PartName->SetFieldName("PartName");
        PartName->SetFieldKind(fkLookup);
        PartName->SetLookupDataSet(Parts.get());
        PartName->SetLookupKeyFields("PartNo");
        PartName->SetLookupResultField("Description");
        PartName->SetKeyFields("PartNo");
        PartName->SetDataSet(Items.get());
        Total = new TCurrencyField(Items.get());
        Total->SetFieldName("Total");
        Total->SetCalculated(true);
        Total->SetDataSet(Items.get());
        Items->OnCalcFields = [this](TDataSet* D) {
            EXPECT_EQ(D->State(), dsCalcFields);
            const TVariant Price = Parts->Lookup("PartNo", D->FieldByName("PartNo")->Value(), "Price");
            if (!Price.IsNull())
                Total->SetAsFloat(D->FieldByName("Qty")->AsInteger() * Price.AsFloat());
        };
        Items->CreateDataSet();
        Items->AppendRecord({100, 4});
        Items->AppendRecord({200, 2});
        Items->AppendRecord({300, 1});
        Items->First();
    }
};

} // namespace

TEST(DBCalcFields, CalculatedAndLookupFieldsAreFilledPerRecord)
{
    TPricedItems P;
    EXPECT_EQ(ColumnText(*P.Items, "PartName"), "Bolt,Nut,");
    EXPECT_EQ(ColumnText(*P.Items, "Total"), "2,0.5,");
    EXPECT_EQ(P.Items->FieldCount(), 4);
    EXPECT_TRUE(P.Total->Calculated());
    EXPECT_TRUE(P.PartName->Lookup());

    // AutoCalcFields: a change recalculates before the record is posted.
    P.Items->Edit();
    P.Items->FieldByName("Qty")->SetAsInteger(10);
    EXPECT_EQ(P.Total->AsFloat(), 5.0);
    P.Items->FieldByName("PartNo")->SetAsInteger(200);
    EXPECT_EQ(P.PartName->AsString(), "Nut");
    EXPECT_RAISES(P.Total->SetAsFloat(1), EDatabaseError, "Field 'Total' cannot be modified");
    EXPECT_FALSE(P.Total->CanModify());
    P.Items->Post();
    EXPECT_EQ(P.Total->AsFloat(), 2.5);

    // Calculated fields can be located on and looked up, and are not stored.
    EXPECT_TRUE(P.Items->Locate("PartName", "Nut"));
    EXPECT_EQ(P.Items->Lookup("Total", 0.5, "PartNo"), TVariant(200));
    P.Items->Close();
    P.Items->Open();
    EXPECT_EQ(P.Items->FieldDefs()->Count(), 2);
}

TEST(DBCalcFields, BrokenDefinitionsKeepTheDataSetClosed)
{
    TPricedItems P;
    P.Items->Close();
    P.PartName->SetLookupDataSet(nullptr);
    EXPECT_RAISES(P.Items->Open(), EDatabaseError, "Items: Lookup information for field 'PartName' is incomplete");
    EXPECT_FALSE(P.Items->Active());
    P.PartName->SetLookupDataSet(P.Parts.get());
    P.Items->OnCalcFields = [](TDataSet*) { throw EDatabaseError("calc failed"); };
    EXPECT_RAISES(P.Items->Open(), EDatabaseError, "calc failed");
    EXPECT_FALSE(P.Items->Active());
    EXPECT_EQ(P.Items->State(), dsInactive);
    P.Items->OnCalcFields = nullptr;
    P.Items->Open();
    EXPECT_EQ(ColumnText(*P.Items, "PartName"), "Bolt,Nut,");
    P.Parts.reset();
    EXPECT_EQ(P.PartName->LookupDataSet(), nullptr) << "a destroyed lookup dataset is forgotten";
}

// ---------------------------------------------------------------- data links

TEST(DBDataLink, NotificationKindsAndOrder)
{
    auto DS = MakeNumbers(4);
    TDataSource Source;
    Source.SetDataSet(DS.get());
    TRecordingLink Link;
    Link.WindowField = "Id";
    Link.SetDataSource(&Source);
    EXPECT_EQ(Link.Take(), "active");

    struct TStep {
        const char* Action;
        const char* Log;
    };
    const TStep Steps[] = {
        {"Next", "check; scrolled 1"}, // a window of one record moves with the cursor
        {"Last", "check; changed"},
        {"Next", "check"}, // at the end the cursor stays
        {"Edit", "check; editing; record nil"},
        {"SetName", "record Name"},
        {"Post", "update; check; browsing; changed"},
        {"Insert", "check; editing; changed"},
        {"Cancel", "check; browsing; changed"},
        {"Append", "check; editing; changed"},
        {"SetName", "record Name"},
        {"CheckBrowseMode", "check; update; update; check; browsing; changed"},
        {"Delete", "check; changed"},
        {"Locate", "check; changed"},
        {"Close", "inactive"},
        {"Open", "active"},
    };
    for (const TStep& S : Steps) {
        SCOPED_TRACE(S.Action);
        const String A = S.Action;
        if (A == "Next") DS->Next();
        else if (A == "Last") DS->Last();
        else if (A == "Edit") DS->Edit();
        else if (A == "SetName") DS->FieldByName("Name")->SetAsString("x");
        else if (A == "Post") DS->Post();
        else if (A == "Insert") DS->Insert();
        else if (A == "Cancel") DS->Cancel();
        else if (A == "Append") DS->Append();
        else if (A == "CheckBrowseMode") DS->CheckBrowseMode();
        else if (A == "Delete") DS->Delete();
        else if (A == "Locate") DS->Locate("Id", 2);
        else if (A == "Close") DS->Close();
        else if (A == "Open") DS->Open();
        EXPECT_EQ(Link.Take(), S.Log);
    }

    // The data source reports the same changes, with the field when one changed.
    std::vector<String> SourceLog;
    Source.OnDataChange = [&](TObject*, TField* F) { SourceLog.push_back(F ? F->FieldName() : String("nil")); };
    Source.OnStateChange = [&](TObject*) { SourceLog.push_back("state"); };
    DS->Edit();
    DS->FieldByName("Id")->SetAsInteger(7);
    DS->Cancel();
    EXPECT_EQ(SourceLog, (std::vector<String>{"state", "nil", "Id", "state", "nil"}));

    // Disabled sources and disabled controls keep quiet.
    Link.Take();
    Source.SetEnabled(false);
    EXPECT_EQ(Link.Take(), "inactive");
    EXPECT_EQ(Source.State(), dsInactive);
    Source.SetEnabled(true);
    EXPECT_EQ(Link.Take(), "active");
    DS->DisableControls();
    DS->DisableControls();
    DS->Next();
    DS->Edit();
    DS->Cancel();
    DS->EnableControls();
    EXPECT_EQ(Link.Take(), "") << "still disabled once";
    EXPECT_TRUE(DS->ControlsDisabled());
    DS->EnableControls();
    EXPECT_EQ(Link.Take(), "changed") << "enabling announces a change";
    DS->DisableControls();
    DS->Close();
    DS->EnableControls();
    EXPECT_EQ(Link.Take(), "inactive") << "a state change during the pause is reported";
}

TEST(DBDataLink, RecordWindowsScrollMinimally)
{
    auto DS = MakeNumbers(10);
    TDataSource Source;
    Source.SetDataSet(DS.get());
    TRecordingLink Link;
    Link.WindowField = "Id";
    Link.LogChecks = false;
    Link.SetBufferCount(3);
    Link.SetDataSource(&Source);
    Link.Take();
    EXPECT_EQ(Link.ShowWindow(), "[1],2,3");

    struct TStep {
        const char* Action;
        const char* Log;
        const char* Window;
    };
    const TStep Steps[] = {
        {"Next", "scrolled 0", "1,[2],3"},
        {"Next", "scrolled 0", "1,2,[3]"},
        {"Next", "scrolled 1", "2,3,[4]"},
        {"Prior", "scrolled 0", "2,[3],4"},
        {"Prior", "scrolled 0", "[2],3,4"},
        {"Prior", "scrolled -1", "[1],2,3"},
        {"MoveBy 5", "scrolled 3", "4,5,[6]"},
        {"MoveBy -1", "scrolled 0", "4,[5],6"},
        {"Last", "changed", "8,9,[10]"},
        {"Prior", "scrolled 0", "8,[9],10"},
        {"First", "changed", "[1],2,3"},
        {"RecNo 5", "changed", "4,[5],6"},
        {"Insert", "editing; changed", "4,[],5"},
        {"Cancel", "browsing; changed", "4,[5],6"},
        {"Append", "editing; changed", "9,10,[]"},
        {"Cancel", "browsing; changed", "8,9,[10]"},
    };
    for (const TStep& S : Steps) {
        SCOPED_TRACE(S.Action);
        const String A = S.Action;
        if (A == "Next") DS->Next();
        else if (A == "Prior") DS->Prior();
        else if (A == "Last") DS->Last();
        else if (A == "First") DS->First();
        else if (A == "Insert") DS->Insert();
        else if (A == "Append") DS->Append();
        else if (A == "Cancel") DS->Cancel();
        else if (A.rfind("MoveBy ", 0) == 0) DS->MoveBy(std::stoi(A.substr(7)));
        else if (A.rfind("RecNo ", 0) == 0) DS->SetRecNo(std::stoi(A.substr(6)));
        EXPECT_EQ(Link.Take(), S.Log);
        EXPECT_EQ(Link.ShowWindow(), S.Window);
        EXPECT_EQ(Link.RecordCount(), 3);
    }

    // Reading another buffered record does not move the cursor; UpdateCursorPos
    // and Resync make it the current one in place.
    DS->SetRecNo(5);
    Link.Take();
    ASSERT_EQ(Link.ShowWindow(), "4,[5],6");
    Link.SetActiveRecord(2);
    EXPECT_EQ(CurrentId(*DS), 6);
    EXPECT_RAISES(Link.SetActiveRecord(3), EDatabaseError, "Record 3 is outside the data link's window of 3 records");
    DS->UpdateCursorPos();
    DS->Resync(0);
    EXPECT_EQ(Link.ShowWindow(), "4,5,[6]");
    EXPECT_EQ(DS->RecNo(), 6);
    EXPECT_EQ(Link.Take(), "changed");

    // A second, larger link widens the dataset's window; each link keeps its own.
    TRecordingLink Wide;
    Wide.WindowField = "Id";
    Wide.LogChecks = false;
    Wide.SetBufferCount(5);
    Wide.SetDataSource(&Source);
    EXPECT_EQ(DS->BufferCount(), 5);
    EXPECT_EQ(Wide.ShowWindow(), "4,5,[6],7,8");
    EXPECT_EQ(Link.ShowWindow(), "4,5,[6]");
    DS->MoveBy(3);
    EXPECT_EQ(Wide.ShowWindow(), "5,6,7,8,[9]");
    EXPECT_EQ(Link.ShowWindow(), "7,8,[9]");
    EXPECT_EQ(Link.Take(), "scrolled 3");
    Wide.SetDataSource(nullptr);
    EXPECT_EQ(DS->BufferCount(), 3);
    EXPECT_EQ(Link.ShowWindow(), "7,8,[9]");

    // At the end a larger window reaches back.
    DS->Last();
    Link.SetBufferCount(1);
    EXPECT_EQ(Link.ShowWindow(), "[10]");
    Link.SetBufferCount(4);
    EXPECT_EQ(Link.ShowWindow(), "7,8,9,[10]");

    // Fewer records than buffers.
    auto Small = MakeNumbers(2);
    TDataSource SmallSource;
    SmallSource.SetDataSet(Small.get());
    Link.SetDataSource(&SmallSource);
    EXPECT_EQ(Link.RecordCount(), 2);
    Small->Last();
    EXPECT_EQ(Link.ShowWindow(), "1,[2]");
}

TEST(DBDataLink, FieldDataLinkEditsThroughTheSource)
{
    auto DS = MakeNumbers(2);
    TDataSource Source;
    Source.SetDataSet(DS.get());
    TFieldDataLink Link;
    std::vector<String> Log;
    String ControlText;
    Link.OnActiveChange = [&](TObject*) { Log.push_back(Link.Active() ? "active" : "inactive"); };
    Link.OnDataChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &Link);
        ControlText = Link.Field() ? Link.Field()->AsString() : String();
        Log.push_back("data " + ControlText);
    };
    Link.OnEditingChange = [&](TObject*) { Log.push_back(Link.Editing() ? "editing" : "browsing"); };
    Link.OnUpdateData = [&](TObject*) {
        Log.push_back("update");
        Link.Field()->SetAsString(ControlText);
    };
    auto Take = [&] {
        String S;
        for (const String& L : Log)
            S += (S.empty() ? "" : "; ") + L;
        Log.clear();
        return S;
    };
    Link.SetFieldName("Name");
    Link.SetDataSource(&Source);
    EXPECT_EQ(Take(), "data n1; active");
    EXPECT_EQ(Link.Field(), DS->FieldByName("Name"));
    EXPECT_TRUE(Link.CanModify());

    // The control edits: Edit puts the dataset into edit mode (AutoEdit),
    // Modified marks the control's text for writing, Post writes it.
    EXPECT_TRUE(Link.Edit());
    EXPECT_EQ(DS->State(), dsEdit);
    EXPECT_EQ(Take(), "editing; data n1");
    ControlText = "typed";
    Link.Modified();
    EXPECT_TRUE(Link.IsModified());
    DS->Post();
    EXPECT_EQ(Take(), "update; browsing; data typed") << "the link's own write is not echoed back";
    EXPECT_EQ(DS->FieldByName("Name")->AsString(), "typed");
    DS->Next();
    EXPECT_EQ(Take(), "data n2");
    DS->Edit();
    DS->FieldByName("Id")->SetAsInteger(5);
    EXPECT_EQ(Take(), "editing; data n2") << "changes of other fields do not concern the link";
    DS->Cancel();
    Take();
    Link.Reset();
    EXPECT_EQ(Take(), "data n2");

    Source.SetAutoEdit(false);
    EXPECT_FALSE(Link.Edit());
    EXPECT_EQ(DS->State(), dsBrowse);
    Source.SetAutoEdit(true);
    Link.SetReadOnly(true);
    EXPECT_FALSE(Link.CanModify());
    EXPECT_FALSE(Link.Edit());
    Link.SetReadOnly(false);
    DS->FieldByName("Name")->SetReadOnly(true);
    EXPECT_FALSE(Link.CanModify());
    DS->Edit();
    EXPECT_FALSE(Link.Editing()) << "a read-only field is not edited";
    DS->Cancel();
    DS->FieldByName("Name")->SetReadOnly(false);
    Take();

    EXPECT_RAISES(Link.SetFieldName("Nope"), EDatabaseError, "Numbers: Field 'Nope' not found");
    Link.SetFieldName("Id");
    EXPECT_EQ(Take(), "data 2");
    DS->Close();
    EXPECT_EQ(Link.Field(), nullptr);
    EXPECT_EQ(Take(), "data ; inactive");
}

TEST(DBDataLink, LinksSurviveTheirSourcesAndDataSets)
{
    auto DS = MakeNumbers(3);
    auto Source = std::make_unique<TDataSource>();
    Source->SetDataSet(DS.get());
    TRecordingLink Link;
    Link.SetDataSource(Source.get());
    Link.Take();
    DS.reset();
    EXPECT_EQ(Link.Take(), "inactive");
    EXPECT_EQ(Source->DataSet(), nullptr);
    EXPECT_EQ(Link.DataSet(), nullptr);
    Source.reset();
    EXPECT_EQ(Link.DataSource(), nullptr);
}

// ---------------------------------------------------------------- stored forms

TEST(DBForms, DataSetsFieldsAndSourcesComeFromFormFiles)
{
    RegisterFixtureClasses();
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const String Base = FromQString(Dir.path()) + "/";
    {
        auto C = MakeTable({{"CustNo", ftInteger}, {"Company", ftString, 20}}, {{1, "A"}, {2, "B"}});
        C->SaveToFile(Base + "cust.xml");
        auto O = MakeTable({{"OrderNo", ftInteger}, {"CustNo", ftInteger}}, {{10, 1}, {11, 2}, {12, 1}});
        O->SaveToFile(Base + "orders.xml");
    }
    const String Text = "object Form1: TFixtureForm\n"
                        "  object Orders: TClientDataSet\n"
                        "    FileName = '" + Base + "orders.xml'\n"
                        "    IndexFieldNames = 'CustNo;OrderNo'\n"
                        "    MasterSource = CustSource\n"
                        "    MasterFields = 'CustNo'\n"
                        "    Active = True\n"
                        "    object OrdersOrderNo: TIntegerField\n"
                        "      FieldName = 'OrderNo'\n"
                        "      DisplayFormat = '00000'\n"
                        "    end\n"
                        "    object OrdersCustNo: TIntegerField\n"
                        "      FieldName = 'CustNo'\n"
                        "      DisplayLabel = 'Customer'\n"
                        "    end\n"
                        "    object OrdersTwice: TIntegerField\n"
                        "      FieldName = 'Twice'\n"
                        "      FieldKind = fkCalculated\n"
                        "    end\n"
                        "  end\n"
                        "  object CustSource: TDataSource\n"
                        "    DataSet = Customers\n"
                        "  end\n"
                        "  object Customers: TClientDataSet\n"
                        "    FileName = '" + Base + "cust.xml'\n"
                        "    Active = True\n"
                        "  end\n"
                        "end\n";
    std::unique_ptr<TComponent> Form(ReadComponentFromText(Text, nullptr));
    auto* Orders = dynamic_cast<TClientDataSet*>(Form->FindComponent("Orders"));
    ASSERT_NE(Orders, nullptr);
    EXPECT_TRUE(Orders->Active());
    EXPECT_EQ(Orders->FieldCount(), 3);
    EXPECT_EQ(Orders->FieldByName("CustNo")->DisplayLabel(), "Customer");
    EXPECT_EQ(Orders->FieldByName("OrderNo")->DisplayText(), "00010");
    EXPECT_EQ(Orders->FindComponent("OrdersOrderNo"), nullptr) << "persistent fields belong to the form";
    EXPECT_EQ(Form->FindComponent("OrdersOrderNo"), Orders->FieldByName("OrderNo"));
    EXPECT_EQ(ColumnText(*Orders, "OrderNo"), "10,12") << "the detail follows a master opened after it";

    const String Written = ComponentToText(Form.get());
    for (const char* Part : {"object OrdersCustNo: TIntegerField", "DisplayLabel = 'Customer'",
                             "FieldKind = fkCalculated", "MasterSource = CustSource", "DisplayFormat = '00000'"})
        EXPECT_NE(Written.find(Part), String::npos) << Part << "\n" << Written;
    EXPECT_EQ(Written.find("DisplayLabel = 'OrderNo'"), String::npos) << "unset labels are not stored";

    // A persistent field the file does not have: the form is not made.
    String Bad = Text;
    Bad.replace(Bad.find("FieldName = 'CustNo'"), 20, "FieldName = 'Nope'");
    EXPECT_RAISES(ReadComponentFromText(Bad, nullptr), EDatabaseError, "Orders: Field 'Nope' not found");
    String Mismatch = Text;
    Mismatch.replace(Mismatch.find("OrdersCustNo: TIntegerField"), 27, "OrdersCustNo: TStringField");
    EXPECT_RAISES(ReadComponentFromText(Mismatch, nullptr), EDatabaseError,
                  "Orders: Type mismatch for field 'CustNo', expecting: String actual: Integer");
}

TEST(DBForms, DataClassesAreRegistered)
{
    for (const char* Name : {"TClientDataSet", "TDataSource", "TStringField", "TIntegerField", "TSmallintField",
                             "TWordField", "TLargeintField", "TFloatField", "TCurrencyField", "TBooleanField",
                             "TDateTimeField", "TDateField", "TTimeField", "TMemoField", "TBlobField", "TGraphicField"})
        EXPECT_NE(FindClass(Name), nullptr) << Name;
    EXPECT_EQ(TField::FieldClassOf(ftWord), ClassOf<TWordField>());
}
