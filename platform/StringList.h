// String lists: the abstract list of strings with an object per string, and
// the runtime's string list (sortable, with duplicate rules and change events).
//
// A list stores itself in a form file under the defined property "Strings":
//
//     Items.Strings = (
//       'one'
//       'two')
#pragma once

#include <functional>
#include <vector>

#include "Classes.h"

class TStream;
class TReader;
class TWriter;

// ---------------------------------------------------------------- TStrings

// A list of strings, each with an associated object (any pointer-sized value
// may be kept there; the list does not own it). Indexes are 0-based. The
// string operations (IndexOf, IndexOfName, Values) compare through
// CompareStrings, which ignores case by default.
class TStrings : public QObject, public TPersistent {
    Q_OBJECT
public:
    explicit TStrings(QObject* Parent = nullptr);
    ~TStrings() override;

    // ---- the list itself (what a concrete list implements)
    virtual int Count() const = 0;
    virtual String Get(int Index) const = 0;
    // Replaces the string at Index (by default: delete, then insert with the same object).
    virtual void Put(int Index, const String& S);
    virtual TObject* GetObject(int Index) const;
    virtual void PutObject(int Index, TObject* AObject);
    virtual void Insert(int Index, const String& S) = 0;
    virtual void InsertObject(int Index, const String& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;

    String operator[](int Index) const { return Get(Index); }
    String Strings(int Index) const { return Get(Index); }
    TObject* Objects(int Index) const { return GetObject(Index); }

    // ---- operations built on the above
    // Add returns the index the string went to.
    virtual int Add(const String& S);
    virtual int AddObject(const String& S, TObject* AObject);
    void Append(const String& S) { Add(S); }
    // Adds every string of Strings with its object (one update).
    virtual void AddStrings(const TStrings& Strings);
    virtual void Exchange(int Index1, int Index2);
    // Moves the string and its object from CurIndex to NewIndex.
    virtual void Move(int CurIndex, int NewIndex);
    // The first index of S, or -1.
    virtual int IndexOf(const String& S) const;
    int IndexOfObject(TObject* AObject) const;
    // Byte-wise equality of the strings (objects are not compared).
    bool Equals(const TStrings& Strings) const;

    // ---- name=value lines
    // Name of a line: the part before the first separator ("" without one).
    String Names(int Index) const;
    int IndexOfName(const String& Name) const;
    // Value after the separator of the first line named Name, or "".
    String Values(const String& Name) const;
    // Sets the value of the line named Name; adds a line when there is none,
    // and removes the line when Value is "".
    void SetValues(const String& Name, const String& Value);
    // Value of line Index ("" for a negative index or a line without separator).
    String ValueFromIndex(int Index) const;
    void SetValueFromIndex(int Index, const String& Value);
    char NameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(char Value) { FNameValueSeparator = Value; }

    // ---- the list as one text
    // Each string followed by CR LF.
    String Text() const;
    // Splits at CR LF, LF or CR; the text ends at the first NUL character.
    virtual void SetText(const String& Value);

    // Items joined with Delimiter. An item is quoted with QuoteChar (quotes
    // inside doubled) when it contains the delimiter, the quote character
    // or, unless StrictDelimiter, a control character or blank. A list of
    // one empty string gives two quote characters.
    String DelimitedText() const;
    // Splits at Delimiter outside quotes; unless StrictDelimiter, blanks and
    // control characters separate items too and surround them unseen.
    void SetDelimitedText(const String& Value);
    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char Value) { FDelimiter = Value; }
    char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char Value) { FQuoteChar = Value; }
    bool StrictDelimiter() const { return FStrictDelimiter; }
    void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }
    // DelimitedText with ',' and '"' and without StrictDelimiter.
    String CommaText() const;
    void SetCommaText(const String& Value);

    // ---- updates
    // Nested; the first BeginUpdate and the last EndUpdate call SetUpdateState.
    void BeginUpdate();
    // Raises EListError when no update is open.
    void EndUpdate();

    // ---- persistence
    // From another TStrings: the strings, their objects and the separator,
    // delimiter and quote settings.
    void Assign(TPersistent* Source) override;
    // Reads the rest of the stream as text (SetText).
    virtual void LoadFromStream(TStream& Stream);
    virtual void SaveToStream(TStream& Stream) const;
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName) const;
    // Stores the list under "Strings" (only when it is not empty).
    void DefineProperties(TFiler* Filer) override;

protected:
    // Negative, zero or positive like strcmp; the default is AnsiCompareText.
    virtual int CompareStrings(const String& S1, const String& S2) const;
    // Called with true when the first update begins and false when the last ends.
    virtual void SetUpdateState(bool Updating);
    int UpdateCount() const { return FUpdateCount; }
    // Runs Body inside BeginUpdate/EndUpdate, ending the update also on an exception.
    template <class F>
    void WithUpdate(F&& Body);

private:
    String JoinDelimited(char Delim, char Quote, bool Strict) const;
    void SplitDelimited(const String& Value, char Delim, char Quote, bool Strict);
    void ReadData(TReader& Reader);
    void WriteData(TWriter& Writer) const;

    int FUpdateCount = 0;
    char FNameValueSeparator = '=';
    char FDelimiter = ',';
    char FQuoteChar = '"';
    bool FStrictDelimiter = false;
};

template <class F>
void TStrings::WithUpdate(F&& Body)
{
    BeginUpdate();
    try {
        Body();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---------------------------------------------------------------- TStringList

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
// Compares the strings at Index1 and Index2 of List: negative, zero or positive.
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

// The runtime's string list.
//
// Errors (EListError): "List index out of bounds (<i>)", "Operation not
// allowed on sorted list" (Insert, Put and Move on a sorted list), "String
// list does not allow duplicates" (Add of an existing string to a sorted
// list with dupError).
//
// Change events: every change fires OnChanging before and OnChange after
// itself, except while an update is open. The first BeginUpdate fires
// OnChanging and the last EndUpdate fires OnChange, so a batch of changes
// inside BeginUpdate/EndUpdate is reported once.
class TStringList : public TStrings {
    Q_OBJECT
public:
    explicit TStringList(QObject* Parent = nullptr);
    ~TStringList() override;

    int Count() const override { return static_cast<int>(FItems.size()); }
    String Get(int Index) const override;
    void Put(int Index, const String& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    void Insert(int Index, const String& S) override;
    void InsertObject(int Index, const String& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;

    // On a sorted list the string goes to its sorted place, subject to
    // Duplicates; with dupIgnore the index of the existing string is returned.
    int Add(const String& S) override;
    int AddObject(const String& S, TObject* AObject) override;
    void Exchange(int Index1, int Index2) override;
    void Move(int CurIndex, int NewIndex) override;
    int IndexOf(const String& S) const override;

    // Binary search for S; returns whether it was found and sets Index to its
    // place (the first of equal strings with dupAccept) or to where it would
    // be inserted. Meaningful on a sorted list only.
    bool Find(const String& S, int& Index) const;
    // Sorts with CompareStrings; does nothing on a list that is Sorted.
    void Sort();
    // Sorts with Compare by the runtime's quick sort (the order of equal
    // strings follows from it); does nothing on a list that is Sorted.
    void CustomSort(const TStringListSortCompare& Compare);

    bool Sorted() const { return FSorted; }
    // Setting true sorts the list.
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    // A sorted list is sorted again by the new comparison.
    void SetCaseSensitive(bool Value);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    void SetUpdateState(bool Updating) override;
    // AnsiCompareText (locale order, case ignored) unless CaseSensitive, then
    // CompareStr (byte order).
    int CompareStrings(const String& S1, const String& S2) const override;

private:
    struct TItem {
        String S;
        TObject* Object = nullptr;
    };

    void CheckIndex(int Index) const;
    void InsertItem(int Index, const String& S, TObject* AObject);
    void ExchangeItems(int Index1, int Index2);
    void QuickSort(int L, int R, const TStringListSortCompare& Compare);

    std::vector<TItem> FItems;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = dupIgnore;
};
