#include "StringList.h"

#include <algorithm>

#include "FormStream.h"
#include "Streams.h"

// Helpers in a namespace of their own: the platform library is a unity build.
namespace ZenStringList {

const char* const LineBreak = "\r\n";

[[noreturn]] void ListIndexError(int Index)
{
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

[[noreturn]] void SortedListError()
{
    throw EListError("Operation not allowed on sorted list");
}

// The character at I, or NUL past the end (the parsers below read text the
// way the runtime reads a NUL-terminated string).
char At(const String& S, size_t I)
{
    return I < S.size() ? S[I] : '\0';
}

bool IsBlank(char C)
{
    const auto U = static_cast<unsigned char>(C);
    return U >= 1 && U <= ' ';
}

// Reads a quoted string starting at the quote character at P; doubled quotes
// stand for one. P ends after the closing quote. An unterminated string runs
// to the end of the text and loses its last character, as on the runtime.
String ExtractQuotedStr(const String& Text, size_t& P, char Quote)
{
    const size_t End = std::min(Text.find('\0'), Text.size());
    ++P; // opening quote
    String Result;
    size_t Start = P;
    for (;;) {
        const size_t Q = Text.find(Quote, P);
        if (Q == String::npos || Q >= End) {
            // Unterminated: the rest of the text, less its last character.
            P = End;
            Result.append(Text, Start, End - Start);
            if (!Result.empty())
                Result.pop_back();
            return Result;
        }
        Result.append(Text, Start, Q - Start);
        if (At(Text, Q + 1) == Quote) {
            Result += Quote;
            P = Q + 2;
            Start = P;
            continue;
        }
        P = Q + 1;
        return Result;
    }
}

String QuotedStr(const String& S, char Quote)
{
    String Result(1, Quote);
    for (char C : S) {
        Result += C;
        if (C == Quote)
            Result += Quote;
    }
    Result += Quote;
    return Result;
}

} // namespace ZenStringList

// ---------------------------------------------------------------- TStrings

TStrings::TStrings(QObject* Parent) : QObject(Parent) {}

TStrings::~TStrings() = default;

void TStrings::Put(int Index, const String& S)
{
    TObject* Temp = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, Temp);
}

TObject* TStrings::GetObject(int) const
{
    return nullptr;
}

void TStrings::PutObject(int, TObject*) {}

void TStrings::InsertObject(int Index, const String& S, TObject* AObject)
{
    Insert(Index, S);
    PutObject(Index, AObject);
}

int TStrings::Add(const String& S)
{
    const int Result = Count();
    Insert(Result, S);
    return Result;
}

int TStrings::AddObject(const String& S, TObject* AObject)
{
    const int Result = Add(S);
    PutObject(Result, AObject);
    return Result;
}

void TStrings::AddStrings(const TStrings& Strings)
{
    WithUpdate([&] {
        // The count is taken once, so a list can add itself.
        const int N = Strings.Count();
        for (int I = 0; I < N; ++I)
            AddObject(Strings.Get(I), Strings.GetObject(I));
    });
}

void TStrings::Exchange(int Index1, int Index2)
{
    WithUpdate([&] {
        TObject* TempObject = GetObject(Index1);
        const String TempString = Get(Index1);
        Put(Index1, Get(Index2));
        PutObject(Index1, GetObject(Index2));
        Put(Index2, TempString);
        PutObject(Index2, TempObject);
    });
}

void TStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    // Both indexes are checked first, so that a bad one loses nothing.
    if (CurIndex < 0 || CurIndex >= Count())
        ZenStringList::ListIndexError(CurIndex);
    if (NewIndex < 0 || NewIndex >= Count())
        ZenStringList::ListIndexError(NewIndex);
    WithUpdate([&] {
        const String TempString = Get(CurIndex);
        TObject* TempObject = GetObject(CurIndex);
        Delete(CurIndex);
        InsertObject(NewIndex, TempString, TempObject);
    });
}

int TStrings::IndexOf(const String& S) const
{
    const int N = Count();
    for (int I = 0; I < N; ++I)
        if (CompareStrings(Get(I), S) == 0)
            return I;
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const
{
    const int N = Count();
    for (int I = 0; I < N; ++I)
        if (GetObject(I) == AObject)
            return I;
    return -1;
}

bool TStrings::Equals(const TStrings& Strings) const
{
    const int N = Count();
    if (N != Strings.Count())
        return false;
    for (int I = 0; I < N; ++I)
        if (Get(I) != Strings.Get(I))
            return false;
    return true;
}

String TStrings::Names(int Index) const
{
    const String S = Get(Index);
    const size_t P = S.find(FNameValueSeparator);
    return P == String::npos ? String() : S.substr(0, P);
}

int TStrings::IndexOfName(const String& Name) const
{
    const int N = Count();
    for (int I = 0; I < N; ++I) {
        const String S = Get(I);
        const size_t P = S.find(FNameValueSeparator);
        if (P != String::npos && CompareStrings(S.substr(0, P), Name) == 0)
            return I;
    }
    return -1;
}

String TStrings::Values(const String& Name) const
{
    const int I = IndexOfName(Name);
    return I >= 0 ? ValueFromIndex(I) : String();
}

void TStrings::SetValues(const String& Name, const String& Value)
{
    int I = IndexOfName(Name);
    if (!Value.empty()) {
        if (I < 0)
            I = Add(String());
        Put(I, Name + FNameValueSeparator + Value);
    } else if (I >= 0) {
        Delete(I);
    }
}

String TStrings::ValueFromIndex(int Index) const
{
    if (Index < 0)
        return String();
    const String S = Get(Index);
    const size_t P = S.find(FNameValueSeparator);
    return P == String::npos ? String() : S.substr(P + 1);
}

void TStrings::SetValueFromIndex(int Index, const String& Value)
{
    if (!Value.empty()) {
        if (Index < 0)
            Index = Add(String());
        Put(Index, Names(Index) + FNameValueSeparator + Value);
    } else if (Index >= 0) {
        Delete(Index);
    }
}

String TStrings::Text() const
{
    const int N = Count();
    String Result;
    for (int I = 0; I < N; ++I) {
        Result += Get(I);
        Result += ZenStringList::LineBreak;
    }
    return Result;
}

void TStrings::SetText(const String& Value)
{
    WithUpdate([&] {
        Clear();
        const size_t End = std::min(Value.find('\0'), Value.size());
        size_t P = 0;
        while (P < End) {
            const size_t Start = P;
            while (P < End && Value[P] != '\n' && Value[P] != '\r')
                ++P;
            Add(Value.substr(Start, P - Start));
            if (P < End && Value[P] == '\r')
                ++P;
            if (P < End && Value[P] == '\n')
                ++P;
        }
    });
}

String TStrings::DelimitedText() const
{
    return JoinDelimited(FDelimiter, FQuoteChar, FStrictDelimiter);
}

void TStrings::SetDelimitedText(const String& Value)
{
    SplitDelimited(Value, FDelimiter, FQuoteChar, FStrictDelimiter);
}

String TStrings::CommaText() const
{
    return JoinDelimited(',', '"', false);
}

void TStrings::SetCommaText(const String& Value)
{
    SplitDelimited(Value, ',', '"', false);
}

String TStrings::JoinDelimited(char Delim, char Quote, bool Strict) const
{
    const int N = Count();
    if (N == 1 && Get(0).empty())
        return String(2, Quote);
    String Result;
    for (int I = 0; I < N; ++I) {
        String S = Get(I);
        // Scan up to the first character that forces quoting; a NUL ends the scan.
        size_t P = 0;
        for (; P < S.size(); ++P) {
            const char C = S[P];
            if (C == '\0' || C == Quote || C == Delim || (!Strict && ZenStringList::IsBlank(C)))
                break;
        }
        if (P < S.size() && S[P] != '\0')
            S = ZenStringList::QuotedStr(S, Quote);
        if (I > 0)
            Result += Delim;
        Result += S;
    }
    return Result;
}

void TStrings::SplitDelimited(const String& Value, char Delim, char Quote, bool Strict)
{
    using ZenStringList::At;
    using ZenStringList::IsBlank;
    WithUpdate([&] {
        Clear();
        size_t P = 0;
        if (!Strict)
            while (IsBlank(At(Value, P)))
                ++P;
        while (At(Value, P) != '\0') {
            String S;
            if (At(Value, P) == Quote) {
                S = ZenStringList::ExtractQuotedStr(Value, P, Quote);
            } else {
                const size_t Start = P;
                for (;;) {
                    const char C = At(Value, P);
                    if (C == '\0' || C == Delim || (!Strict && static_cast<unsigned char>(C) <= ' '))
                        break;
                    ++P;
                }
                S = Value.substr(Start, P - Start);
            }
            Add(S);
            if (!Strict)
                while (IsBlank(At(Value, P)))
                    ++P;
            if (At(Value, P) == Delim) {
                // A delimiter at the very end stands for a last, empty item.
                if (At(Value, P + 1) == '\0')
                    Add(String());
                do
                    ++P;
                while (!Strict && IsBlank(At(Value, P)));
            }
        }
    });
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    if (FUpdateCount <= 0)
        throw EListError("EndUpdate without a matching BeginUpdate");
    --FUpdateCount;
    if (FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const String& S1, const String& S2) const
{
    return AnsiCompareText(S1, S2);
}

void TStrings::Assign(TPersistent* Source)
{
    if (auto* From = dynamic_cast<TStrings*>(Source)) {
        if (From == this)
            return;
        WithUpdate([&] {
            Clear();
            FNameValueSeparator = From->FNameValueSeparator;
            FQuoteChar = From->FQuoteChar;
            FDelimiter = From->FDelimiter;
            FStrictDelimiter = From->FStrictDelimiter;
            AddStrings(*From);
        });
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::LoadFromStream(TStream& Stream)
{
    WithUpdate([&] {
        const int64_t Size = Stream.Size() - Stream.Position();
        String S(static_cast<size_t>(std::max<int64_t>(Size, 0)), '\0');
        const int64_t Got = S.empty() ? 0 : Stream.Read(S.data(), static_cast<int64_t>(S.size()));
        S.resize(static_cast<size_t>(std::max<int64_t>(Got, 0)));
        SetText(S);
    });
}

void TStrings::SaveToStream(TStream& Stream) const
{
    const String S = Text();
    Stream.WriteBuffer(S.data(), static_cast<int64_t>(S.size()));
}

void TStrings::LoadFromFile(const String& FileName)
{
    TFileStream Stream(FileName, fmOpenRead);
    LoadFromStream(Stream);
}

void TStrings::SaveToFile(const String& FileName) const
{
    TFileStream Stream(FileName, fmCreate);
    SaveToStream(Stream);
}

void TStrings::DefineProperties(TFiler* Filer)
{
    TPersistent::DefineProperties(Filer);
    Filer->DefineProperty(
        "Strings", [this](TReader& Reader) { ReadData(Reader); }, [this](TWriter& Writer) { WriteData(Writer); },
        Count() > 0);
}

void TStrings::ReadData(TReader& Reader)
{
    Reader.ReadListBegin();
    WithUpdate([&] {
        Clear();
        while (!Reader.EndOfList())
            Add(Reader.ReadString());
    });
    Reader.ReadListEnd();
}

void TStrings::WriteData(TWriter& Writer) const
{
    Writer.WriteListBegin();
    const int N = Count();
    for (int I = 0; I < N; ++I)
        Writer.WriteString(Get(I));
    Writer.WriteListEnd();
}

// ---------------------------------------------------------------- TStringList

TStringList::TStringList(QObject* Parent) : TStrings(Parent) {}

TStringList::~TStringList() = default;

void TStringList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        ZenStringList::ListIndexError(Index);
}

String TStringList::Get(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<size_t>(Index)].S;
}

void TStringList::Put(int Index, const String& S)
{
    if (FSorted)
        ZenStringList::SortedListError();
    CheckIndex(Index);
    Changing();
    FItems[static_cast<size_t>(Index)].S = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<size_t>(Index)].Object;
}

void TStringList::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index);
    Changing();
    FItems[static_cast<size_t>(Index)].Object = AObject;
    Changed();
}

void TStringList::Insert(int Index, const String& S)
{
    InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(int Index, const String& S, TObject* AObject)
{
    if (FSorted)
        ZenStringList::SortedListError();
    if (Index < 0 || Index > Count())
        ZenStringList::ListIndexError(Index);
    InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const String& S, TObject* AObject)
{
    Changing();
    FItems.insert(FItems.begin() + Index, TItem{S, AObject});
    Changed();
}

void TStringList::Delete(int Index)
{
    CheckIndex(Index);
    Changing();
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TStringList::Clear()
{
    if (FItems.empty())
        return;
    Changing();
    FItems.clear();
    FItems.shrink_to_fit();
    Changed();
}

int TStringList::Add(const String& S)
{
    return AddObject(S, nullptr);
}

int TStringList::AddObject(const String& S, TObject* AObject)
{
    int Result = Count();
    if (FSorted && Find(S, Result)) {
        switch (FDuplicates) {
        case dupIgnore:
            return Result;
        case dupError:
            throw EListError("String list does not allow duplicates");
        case dupAccept:
            break;
        }
    }
    InsertItem(Result, S, AObject);
    return Result;
}

void TStringList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    ExchangeItems(Index1, Index2);
    Changed();
}

void TStringList::ExchangeItems(int Index1, int Index2)
{
    // Checked again here because a sort comparison may have changed the list.
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
}

void TStringList::Move(int CurIndex, int NewIndex)
{
    // Checked before anything is deleted; the runtime would lose the string.
    if (CurIndex != NewIndex && FSorted)
        ZenStringList::SortedListError();
    TStrings::Move(CurIndex, NewIndex);
}

int TStringList::IndexOf(const String& S) const
{
    if (!FSorted)
        return TStrings::IndexOf(S);
    int Result = -1;
    return Find(S, Result) ? Result : -1;
}

bool TStringList::Find(const String& S, int& Index) const
{
    bool Result = false;
    int L = 0;
    int H = Count() - 1;
    while (L <= H) {
        const int I = static_cast<int>((static_cast<unsigned>(L) + static_cast<unsigned>(H)) >> 1);
        const int C = CompareStrings(FItems[static_cast<size_t>(I)].S, S);
        if (C < 0) {
            L = I + 1;
        } else {
            H = I - 1;
            if (C == 0) {
                Result = true;
                if (FDuplicates != dupAccept)
                    L = I;
            }
        }
    }
    Index = L;
    return Result;
}

void TStringList::Sort()
{
    CustomSort([](TStringList* List, int Index1, int Index2) {
        return List->CompareStrings(List->FItems[static_cast<size_t>(Index1)].S,
                                    List->FItems[static_cast<size_t>(Index2)].S);
    });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare)
{
    if (!Compare)
        throw EListError("No sort comparison given");
    if (FSorted || Count() <= 1)
        return;
    Changing();
    QuickSort(0, Count() - 1, Compare);
    Changed();
}

void TStringList::QuickSort(int L, int R, const TStringListSortCompare& Compare)
{
    // The runtime's quick sort: Hoare partition around the middle element,
    // whose position is followed through the exchanges.
    int I = 0;
    do {
        I = L;
        int J = R;
        int P = static_cast<int>((static_cast<unsigned>(L) + static_cast<unsigned>(R)) >> 1);
        do {
            // With a consistent comparison neither scan leaves L..R.
            while (Compare(this, I, P) < 0) {
                if (I >= R)
                    throw EListError("Sort comparison is inconsistent");
                ++I;
            }
            while (Compare(this, J, P) > 0) {
                if (J <= L)
                    throw EListError("Sort comparison is inconsistent");
                --J;
            }
            if (I <= J) {
                if (I != J)
                    ExchangeItems(I, J);
                if (P == I)
                    P = J;
                else if (P == J)
                    P = I;
                ++I;
                --J;
            }
        } while (I <= J);
        if (L < J)
            QuickSort(L, J, Compare);
        L = I;
    } while (I < R);
}

void TStringList::SetSorted(bool Value)
{
    if (FSorted == Value)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value)
{
    if (FCaseSensitive == Value)
        return;
    FCaseSensitive = Value;
    if (FSorted) {
        FSorted = false;
        Sort();
        FSorted = true;
    }
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating)
{
    if (Updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(const String& S1, const String& S2) const
{
    return FCaseSensitive ? CompareStr(S1, S2) : AnsiCompareText(S1, S2);
}
