// Data layer: datasets (the fields and the variant values are in
// DBFields.h, the data sources and data links in DBLinks.h; this header
// includes both).
//
// A TDataSet is a cursor over an in-memory table: records in a store, an
// optional sort order (IndexFieldNames), an optional range that follows the
// current record of a master dataset (MasterSource, MasterFields) and an
// optional record filter (Filtered, OnFilterRecord). What the cursor shows is
// the "view": the store's records in index order, within the master range,
// that pass the filter.
//
// The dataset keeps a window of record buffers around the current record, as
// large as the largest BufferCount of the data links attached to it through
// data sources. Each link sees its own part of that window (ActiveRecord,
// RecordCount), which scrolls only as far as needed to keep the current
// record inside it. Changes reach the links as data events:
//
//   deFieldChange     a field of the current record changed (Info: the field)
//   deRecordChange    the current record changed as a whole (Edit)
//   deDataSetChange   the window was filled anew (First, Last, Locate, Post,
//                     Cancel, Delete, Insert, a detail following its master)
//   deDataSetScroll   the cursor moved through the records (MoveBy, Next,
//                     Prior; Info: how far the dataset's window moved)
//   deLayoutChange    the fields changed
//   deUpdateRecord    controls should write pending edits into the fields
//   deUpdateState     the dataset's state changed
//   deCheckBrowseMode the dataset is about to leave the current record
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Classes.h"
#include "DateTime.h"

class TDataSet;
class TDataSource;
class TDataLink;
class TField;
class TVariant;
class TStrings;

namespace DBTypes {
Q_NAMESPACE
enum TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftDate,
    ftTime,
    ftDateTime,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftLargeint,
};
Q_ENUM_NS(TFieldType)
enum TFieldKind { fkData, fkCalculated, fkLookup };
Q_ENUM_NS(TFieldKind)
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(TAlignment)
enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsCalcFields, dsFilter };
Q_ENUM_NS(TDataSetState)
} // namespace DBTypes
using namespace DBTypes;

enum TDataEvent {
    deFieldChange,
    deRecordChange,
    deDataSetChange,
    deDataSetScroll,
    deLayoutChange,
    deUpdateRecord,
    deUpdateState,
    deCheckBrowseMode,
};

enum TLocateOption : unsigned { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = unsigned;
enum TResyncModeFlag : unsigned { rmExact = 1, rmCenter = 2 };
using TResyncMode = unsigned;

// The type's name as messages show it ("Integer", "String", "Graphic").
String FieldTypeName(TFieldType Type);
// Raises EDatabaseError with the message, prefixed "Name: " when Component has a name.
[[noreturn]] void DatabaseError(const String& Message, const TComponent* Component = nullptr);

// ---------------------------------------------------------------- field definitions

// The definition of one column of the record store: what a dataset without
// persistent fields makes its fields from, and what files describe.
class TFieldDef : public TCollectionItem {
    Q_OBJECT
    Q_PROPERTY(String Name READ Name WRITE SetName)
    Q_PROPERTY(DBTypes::TFieldType DataType READ DataType WRITE SetDataType)
    Q_PROPERTY(int Size READ Size WRITE SetSize)
    Q_PROPERTY(bool Required READ Required WRITE SetRequired)
public:
    explicit TFieldDef(TCollection* Collection = nullptr) : TCollectionItem(Collection) {}

    const String& Name() const { return FName; }
    void SetName(const String& Value) { FName = Value; }
    TFieldType DataType() const { return FDataType; }
    void SetDataType(TFieldType Value) { FDataType = Value; }
    // Maximum length of a string field in characters (0: the default of 20).
    int Size() const { return FSize; }
    void SetSize(int Value);
    bool Required() const { return FRequired; }
    void SetRequired(bool Value) { FRequired = Value; }
    String GetDisplayName() const override { return FName; }
    void Assign(TPersistent* Source) override;

private:
    String FName;
    TFieldType FDataType = ftUnknown;
    int FSize = 0;
    bool FRequired = false;
};

class TFieldDefs : public TCollection {
    Q_OBJECT
public:
    explicit TFieldDefs(TPersistent* Owner = nullptr);
    TFieldDef* Items(int Index) const { return static_cast<TFieldDef*>(TCollection::Items(Index)); }
    TFieldDef* operator[](int Index) const { return Items(Index); }
    TFieldDef* Add(const String& Name, TFieldType DataType, int Size = 0, bool Required = false);
    // The definition of that name (case-insensitive), or null.
    TFieldDef* Find(const String& Name) const;
    int IndexOf(const String& Name) const;
};

// ---------------------------------------------------------------- field list

// The fields of a dataset in their order. Field names compare case-insensitively.
class TFields {
public:
    int Count() const { return static_cast<int>(FList.size()); }
    // Raises EListError "Field index out of range" for a bad index.
    TField* Fields(int Index) const;
    TField* operator[](int Index) const { return Fields(Index); }
    TField* FindField(const String& FieldName) const;
    // Raises EDatabaseError "Field 'X' not found".
    TField* FieldByName(const String& FieldName) const;
    int IndexOf(const TField* Field) const;
    std::vector<TField*>::const_iterator begin() const { return FList.begin(); }
    std::vector<TField*>::const_iterator end() const { return FList.end(); }

private:
    friend class TDataSet;
    explicit TFields(TDataSet* DataSet) : FDataSet(DataSet) {}
    TDataSet* FDataSet;
    std::vector<TField*> FList;
};

// ---------------------------------------------------------------- bookmarks

// A reference to one record of one dataset that stays valid while the record
// exists, whatever the sort order, range or filter. An empty bookmark is nil.
class TBookmark {
public:
    TBookmark() = default;
    bool IsNull() const { return FRecord == 0; }
    explicit operator bool() const { return FRecord != 0; }
    friend bool operator==(const TBookmark&, const TBookmark&) = default;

private:
    friend class TDataSet;
    TBookmark(uint64_t Store, uint64_t Record) : FStore(Store), FRecord(Record) {}
    uint64_t FStore = 0;
    uint64_t FRecord = 0; // record id + 1
};

// ---------------------------------------------------------------- data packets

// A whole table as plain values: the columns, then the rows in their natural
// order with one value per column. What dataset files are read into and
// written from (see DBClient.h).
struct TDataPacket {
    struct TColumn {
        String Name;
        TFieldType DataType = ftUnknown;
        int Size = 0;
        bool Required = false;
    };
    std::vector<TColumn> Columns;
    std::vector<std::vector<TVariant>> Rows;
};

// ---------------------------------------------------------------- dataset

using TDataSetNotifyEvent = TEvent<TDataSet*>;
using TFilterRecordEvent = TEvent<TDataSet*, bool&>;
// Field: the field that changed, or null for the whole record (declared as a
// published event type in DBFields.h, where TField is complete).
using TDataChangeEvent = TEvent<TObject*, TField*>;

class TMasterDataLink;
class TRecordStore;

class TDataSet : public TNonVisualComponent {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(bool AutoCalcFields READ AutoCalcFields WRITE SetAutoCalcFields)
    Q_PROPERTY(bool Filtered READ Filtered WRITE SetFiltered)
    Q_PROPERTY(String IndexFieldNames READ IndexFieldNames WRITE SetIndexFieldNames)
    Q_PROPERTY(TDataSource* MasterSource READ MasterSource WRITE SetMasterSource)
    Q_PROPERTY(String MasterFields READ MasterFields WRITE SetMasterFields)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(TFieldDefs* FieldDefs READ FieldDefs)
    Q_PROPERTY(TDataSetNotifyEvent BeforeOpen MEMBER BeforeOpen)
    Q_PROPERTY(TDataSetNotifyEvent AfterOpen MEMBER AfterOpen)
    Q_PROPERTY(TDataSetNotifyEvent BeforeClose MEMBER BeforeClose)
    Q_PROPERTY(TDataSetNotifyEvent AfterClose MEMBER AfterClose)
    Q_PROPERTY(TDataSetNotifyEvent BeforeInsert MEMBER BeforeInsert)
    Q_PROPERTY(TDataSetNotifyEvent AfterInsert MEMBER AfterInsert)
    Q_PROPERTY(TDataSetNotifyEvent BeforeEdit MEMBER BeforeEdit)
    Q_PROPERTY(TDataSetNotifyEvent AfterEdit MEMBER AfterEdit)
    Q_PROPERTY(TDataSetNotifyEvent BeforePost MEMBER BeforePost)
    Q_PROPERTY(TDataSetNotifyEvent AfterPost MEMBER AfterPost)
    Q_PROPERTY(TDataSetNotifyEvent BeforeCancel MEMBER BeforeCancel)
    Q_PROPERTY(TDataSetNotifyEvent AfterCancel MEMBER AfterCancel)
    Q_PROPERTY(TDataSetNotifyEvent BeforeDelete MEMBER BeforeDelete)
    Q_PROPERTY(TDataSetNotifyEvent AfterDelete MEMBER AfterDelete)
    Q_PROPERTY(TDataSetNotifyEvent BeforeScroll MEMBER BeforeScroll)
    Q_PROPERTY(TDataSetNotifyEvent AfterScroll MEMBER AfterScroll)
    Q_PROPERTY(TDataSetNotifyEvent OnNewRecord MEMBER OnNewRecord)
    Q_PROPERTY(TDataSetNotifyEvent OnCalcFields MEMBER OnCalcFields)
    Q_PROPERTY(TFilterRecordEvent OnFilterRecord MEMBER OnFilterRecord)
public:
    explicit TDataSet(TComponent* AOwner = nullptr);
    ~TDataSet() override;

    // ---- opening and state
    bool Active() const { return FState != dsInactive; }
    // Opening while the component is loading waits for Loaded.
    void SetActive(bool Value);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    TDataSetState State() const { return FState; }
    // Recreates an empty record store from FieldDefs (or, when there are
    // none, from the persistent data fields) and opens the dataset.
    void CreateDataSet();

    // ---- the cursor
    // Bof: the cursor reached the first record by First or by moving back
    // past it; Eof likewise at the end. Both are true for an empty dataset.
    // (Spelled so because EOF is a macro of the C library.)
    bool Bof() const { return FBOF; }
    bool Eof() const { return FEOF; }
    bool IsEmpty() const;
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    // Moves by Distance records, stopping at either end; returns the distance
    // moved (negative backwards).
    int MoveBy(int Distance);
    // The current record's number in the view, from 1; while inserting, the
    // number the new record has where it is shown; -1 when there is no record.
    int RecNo() const;
    // Goes to record Value (clamped to 1..RecordCount), centring the window.
    void SetRecNo(int Value);
    // Records in the view (range and filter applied).
    int RecordCount() const;
    // Record numbers are available (always, for the in-memory store).
    bool IsSequenced() const { return true; }
    // Makes the record of the (possibly temporarily changed) active buffer
    // the record the cursor is on, for a following Resync.
    void UpdateCursorPos();
    // Fills the window anew around the cursor's record: in the same buffer
    // position as before, or in the middle with rmCenter. Without rmExact a
    // record that left the view gives its place to the next (or prior) one;
    // with rmExact that raises "Record not found".
    void Resync(TResyncMode Mode);
    // Re-reads the view (re-applying the filter) and keeps the cursor's record.
    void Refresh();

    // ---- editing
    bool Modified() const { return FModified; }
    bool CanModify() const { return Active() && !FReadOnly; }
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    // Posts or cancels a pending edit (posts when a field was changed).
    void CheckBrowseMode();
    // Asks the links to write their pending edits into the fields.
    void UpdateRecord();
    // Append/Insert then set the data fields in order (a null value leaves a
    // field empty) and Post.
    void AppendRecord(const std::vector<TVariant>& Values);
    void InsertRecord(const std::vector<TVariant>& Values);

    // ---- controls
    // Nested; while disabled no data events reach the data sources. The last
    // EnableControls reports a state change that happened meanwhile and then
    // a data set change.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount > 0; }

    // ---- bookmarks
    // Nil when there is no current record or a record is being inserted.
    TBookmark GetBookmark() const;
    TBookmark Bookmark() const { return GetBookmark(); }
    void SetBookmark(const TBookmark& Value) { GotoBookmark(Value); }
    // Raises "Record not found" for a bookmark that names no record of the view.
    void GotoBookmark(const TBookmark& Value);
    void FreeBookmark(TBookmark& Value) { Value = TBookmark(); }
    bool BookmarkValid(const TBookmark& Value) const;
    // -1, 0 or 1 by the records' order in the current index; nil is first.
    int CompareBookmarks(const TBookmark& A, const TBookmark& B) const;

    // ---- searching
    // KeyFields: names separated by ';'. KeyValues: one value, or an array
    // of one value per key field (VarArrayOf). Moves to the first matching
    // record of the view and returns true, or returns false and stays.
    bool Locate(const String& KeyFields, const TVariant& KeyValues, TLocateOptions Options = 0);
    // The value of ResultFields (an array for several) of the first record
    // whose KeyFields match exactly, or Null; the cursor does not move.
    TVariant Lookup(const String& KeyFields, const TVariant& KeyValues, const String& ResultFields);

    // ---- fields
    TFields& Fields() { return FFields; }
    const TFields& Fields() const { return FFields; }
    int FieldCount() const { return FFields.Count(); }
    TField* FindField(const String& FieldName) const { return FFields.FindField(FieldName); }
    TField* FieldByName(const String& FieldName) const { return FFields.FieldByName(FieldName); }
    TFieldDefs* FieldDefs() const { return FFieldDefs.get(); }
    // The fields' names in order.
    void GetFieldNames(TStrings* List) const;

    // ---- properties
    bool AutoCalcFields() const { return FAutoCalcFields; }
    void SetAutoCalcFields(bool Value) { FAutoCalcFields = Value; }
    bool Filtered() const { return FFiltered; }
    // Applies the filter (or removes it) and goes to the first record.
    void SetFiltered(bool Value);
    // Fields to sort by, separated by ';' (strings in the locale's order,
    // nulls first, ties in the natural order). Keeps the current record.
    const String& IndexFieldNames() const { return FIndexFieldNames; }
    void SetIndexFieldNames(const String& Value);
    // Master/detail: the records shown are those whose first index fields
    // (or, without IndexFieldNames, the fields named like MasterFields) equal
    // MasterFields of the master's current record. With the master inactive
    // every record is shown. Raises "Circular datalinks are not allowed".
    TDataSource* MasterSource() const { return FMasterSource; }
    void SetMasterSource(TDataSource* Value);
    const String& MasterFields() const { return FMasterFields; }
    void SetMasterFields(const String& Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // Whether DataSource is MasterSource or a master above it (so linking
    // this dataset to it would close a circle).
    bool IsLinkedTo(TDataSource* DataSource) const;

    // ---- the record window (what data links see)
    int BufferCount() const { return FBufferCount; }
    // Buffered records and the current one's place among them.
    int WindowRecordCount() const { return static_cast<int>(FBuffers.size()); }
    int ActiveRecord() const { return FActiveRecord; }

    // ---- events
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnNewRecord, OnCalcFields;
    // Accept starts true; the handler reads the record through the fields.
    TFilterRecordEvent OnFilterRecord;

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void Loaded() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Called while opening, before the fields are bound: makes sure the
    // record store exists (the base creates an empty one from FieldDefs).
    virtual void InternalOpen();
    // Called after closing; the base keeps the records for the next Open.
    virtual void InternalClose() {}
    // Replaces the record store with the packet's columns and rows and
    // FieldDefs with its columns (only while closed). Values are checked and
    // converted to the columns' types; bad values raise EDatabaseError.
    void SetPacket(TDataPacket&& Packet);
    // The posted records in their natural order.
    TDataPacket GetPacket() const;
    bool HasStore() const { return FStore != nullptr; }
    void DropStore();
    [[noreturn]] void Error(const String& Message) const { DatabaseError(Message, this); }
    void CheckActive() const;
    void CheckInactive() const;

private:
    friend class TField;
    friend class TBlobField;
    friend class TFields;
    friend class TDataSource;
    friend class TDataLink;
    friend class TMasterDataLink;

    static constexpr uint32_t NoRecord = 0xFFFFFFFFu;
    static constexpr uint32_t NewRecord = 0xFFFFFFFEu; // the record being inserted

    struct TRecBuf {
        uint32_t Id;
        std::vector<TVariant> Calc;
    };
    struct TView;
    class TTempState;
    enum class TEditMode { None, Edit, Insert };

    // fields
    void AddField(TField* Field);
    void RemoveField(TField* Field);
    void CreateDefaultFields();
    void DestroyDefaultFields();
    void BindFields();
    void CheckFieldName(const TField* Field, const String& Name) const;
    const TVariant* FieldSlot(const TField* Field) const;
    void SetFieldValue(TField* Field, TVariant Value);
    std::vector<TField*> FieldList(const String& Names) const;

    // opening
    void OpenCursor();
    void CloseCursor();
    void SetState(TDataSetState Value);

    // index, range, filter, view
    std::vector<int> ResolveIndexColumns(const String& Names) const;
    String EffectiveIndexFieldNames() const;
    void BuildIndex();
    void BuildView();
    bool MasterRangeActive() const;
    std::vector<TVariant> MasterKeyValues() const;
    void MasterChanged();
    bool AcceptRecord(uint32_t Id);
    size_t ViewCount() const;
    uint32_t ViewAt(size_t Pos) const;
    size_t ViewPosition(uint32_t Id) const;
    size_t ViewLowerBound(uint32_t Id) const;
    size_t FindRecord(const String& KeyFields, const TVariant& KeyValues, TLocateOptions Options);
    TVariant RecordValue(uint32_t Id, TField* Field);

    // the window
    size_t ExtCount() const;
    uint32_t ExtAt(size_t Pos) const;
    void FillWindow(size_t Top, size_t ActivePos, bool Reuse);
    void ClearBuffers();
    void FillAround(size_t Pos, int ActiveHint, bool Center);
    void CalculateFields(TRecBuf& Buffer);
    void RecalcActive();
    void UpdateBufferCount();
    void SetBufferCount(int Value);
    void ShiftLinks(int Offset);
    uint32_t CurrentId() const;

    // events
    void DataEvent(TDataEvent Event, intptr_t Info = 0);
    void DoEvent(const TDataSetNotifyEvent& Event);
    void DoBeforeScroll() { DoEvent(BeforeScroll); }
    void DoAfterScroll() { DoEvent(AfterScroll); }
    void CheckCanModify() const;
    void CheckRequiredFields() const;
    void BeginInsertAppend();
    void EndInsertAppend();
    void AddDataSource(TDataSource* Source);
    void RemoveDataSource(TDataSource* Source);
    void SetRecordValues(const std::vector<TVariant>& Values);
    std::vector<TDataLink*> AllLinks() const;

    TDataSetState FState = dsInactive;
    TEditMode FEditMode = TEditMode::None;
    bool FBOF = true;
    bool FEOF = true;
    bool FModified = false;
    bool FStreamedActive = false;
    bool FAutoCalcFields = true;
    bool FFiltered = false;
    bool FReadOnly = false;
    bool FOpening = false;
    int FDisableCount = 0;
    TDataSetState FDisableState = dsInactive;
    TDataEvent FEnableEvent = deDataSetChange;

    TFields FFields;
    std::unique_ptr<TFieldDefs> FFieldDefs;
    std::vector<TField*> FDefaultFields; // fields made on open, destroyed on close
    int FCalcFieldCount = 0;
    String FIndexFieldNames;
    String FMasterFields;
    TDataSource* FMasterSource = nullptr;
    std::unique_ptr<TMasterDataLink> FMasterLink;
    std::vector<TDataSource*> FDataSources;

    std::unique_ptr<TRecordStore> FStore;
    std::unique_ptr<TView> FView;
    std::vector<TVariant> FRangeKey;         // master key values of the current range

    // the window: FBuffers[i] holds the record at extended position FWinTop + i
    std::vector<TRecBuf> FBuffers;
    size_t FWinTop = 0;
    int FActiveRecord = 0;
    int FBufferCount = 1;
    uint32_t FCursorId = NoRecord;

    // the record being edited or inserted
    std::vector<TVariant> FEditRow;
    uint32_t FEditId = NoRecord;
    size_t FInsertPos = 0;                   // extended position of the new record
    uint32_t FInsertBefore = NoRecord;                // record the new one goes before (natural order)

    // temporary states
    const TRecBuf* FCalcBuffer = nullptr;    // dsCalcFields: the buffer being calculated
    const TRecBuf* FFilterBuffer = nullptr;  // dsFilter: the record being filtered
};
ZEN_EVENT_TYPE(TDataSetNotifyEvent)
ZEN_EVENT_TYPE(TFilterRecordEvent)

// Registers the dataset, data source and field classes so form files can
// name them. Runs at start-up; calling it again does nothing.
void RegisterDBClasses();

#include "DBFields.h"
#include "DBLinks.h"
