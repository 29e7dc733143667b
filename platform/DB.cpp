#include "DB.h"

#include <algorithm>
#include <limits>

#include "DBClient.h"
#include "DBStore.h"
#include "StringList.h"

// ---------------------------------------------------------------- messages

namespace {

const char* const SDataSetClosed = "Cannot perform this operation on a closed dataset";
const char* const SDataSetOpen = "Cannot perform this operation on an open dataset";
const char* const SNotEditing = "Dataset not in edit or insert mode";
const char* const SDataSetReadOnly = "Cannot modify a read-only dataset";
const char* const SDataSetEmpty = "Cannot perform this operation on an empty dataset";
const char* const SCircularDataLink = "Circular datalinks are not allowed";
const char* const SRecordNotFound = "Record not found";

constexpr size_t NoPos = std::numeric_limits<size_t>::max();

String Quoted(const String& S)
{
    return "'" + S + "'";
}

// Names separated by ';', blanks around them removed, empty ones skipped.
std::vector<String> SplitNames(const String& Names)
{
    std::vector<String> Result;
    size_t Start = 0;
    while (Start <= Names.size()) {
        size_t End = Names.find(';', Start);
        if (End == String::npos)
            End = Names.size();
        String Name = Trim(Names.substr(Start, End - Start));
        if (!Name.empty())
            Result.push_back(Name);
        Start = End + 1;
    }
    return Result;
}

bool IsTextType(TFieldType T)
{
    return T == ftString || T == ftMemo;
}

} // namespace

String FieldTypeName(TFieldType Type)
{
    switch (Type) {
    case ftString: return "String";
    case ftSmallint: return "Smallint";
    case ftInteger: return "Integer";
    case ftWord: return "Word";
    case ftBoolean: return "Boolean";
    case ftFloat: return "Float";
    case ftCurrency: return "Currency";
    case ftDate: return "Date";
    case ftTime: return "Time";
    case ftDateTime: return "DateTime";
    case ftBlob: return "Blob";
    case ftMemo: return "Memo";
    case ftGraphic: return "Graphic";
    case ftLargeint: return "Largeint";
    case ftUnknown: break;
    }
    return "Unknown";
}

void DatabaseError(const String& Message, const TComponent* Component)
{
    if (Component && !Component->Name().empty())
        throw EDatabaseError(Component->Name() + ": " + Message);
    throw EDatabaseError(Message);
}

// ---------------------------------------------------------------- field definitions

void TFieldDef::SetSize(int Value)
{
    if (Value < 0)
        throw EDatabaseError("Invalid size " + IntToStr(Value) + " for field definition '" + FName + "'");
    FSize = Value;
}

void TFieldDef::Assign(TPersistent* Source)
{
    if (auto* D = dynamic_cast<TFieldDef*>(Source)) {
        FName = D->FName;
        FDataType = D->FDataType;
        FSize = D->FSize;
        FRequired = D->FRequired;
        return;
    }
    TCollectionItem::Assign(Source);
}

TFieldDefs::TFieldDefs(TPersistent* Owner) : TCollection(ClassOf<TFieldDef>(), Owner)
{
    SetPropName("FieldDefs");
}

TFieldDef* TFieldDefs::Add(const String& Name, TFieldType DataType, int Size, bool Required)
{
    if (Find(Name))
        throw EDatabaseError("Duplicate field name '" + Name + "'");
    auto* D = static_cast<TFieldDef*>(TCollection::Add());
    D->SetName(Name);
    D->SetDataType(DataType);
    D->SetSize(Size);
    D->SetRequired(Required);
    return D;
}

TFieldDef* TFieldDefs::Find(const String& Name) const
{
    const int I = IndexOf(Name);
    return I < 0 ? nullptr : Items(I);
}

int TFieldDefs::IndexOf(const String& Name) const
{
    for (int I = 0; I < Count(); ++I)
        if (SameText(Items(I)->Name(), Name))
            return I;
    return -1;
}

// ---------------------------------------------------------------- field list

TField* TFields::Fields(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("Field index out of range");
    return FList[static_cast<size_t>(Index)];
}

TField* TFields::FindField(const String& FieldName) const
{
    for (TField* F : FList)
        if (SameText(F->FieldName(), FieldName))
            return F;
    return nullptr;
}

TField* TFields::FieldByName(const String& FieldName) const
{
    if (TField* F = FindField(FieldName))
        return F;
    DatabaseError("Field " + Quoted(FieldName) + " not found", FDataSet);
}

int TFields::IndexOf(const TField* Field) const
{
    auto It = std::find(FList.begin(), FList.end(), Field);
    return It == FList.end() ? -1 : static_cast<int>(It - FList.begin());
}

// ---------------------------------------------------------------- helpers of the dataset

struct TDataSet::TView {
    const std::vector<uint32_t>* Base = nullptr;
    size_t Lo = 0;
    size_t Hi = 0;
    bool Owned = false;
    std::vector<uint32_t> Own;

    size_t Count() const { return Owned ? Own.size() : Hi - Lo; }
    uint32_t At(size_t P) const { return Owned ? Own[P] : (*Base)[Lo + P]; }
};

// Switches the dataset into a temporary state (calculating, filtering)
// without telling anyone, and back.
class TDataSet::TTempState {
public:
    TTempState(TDataSet* DS, TDataSetState State) : FDataSet(DS), FSaved(DS->FState) { DS->FState = State; }
    ~TTempState() { FDataSet->FState = FSaved; }
    TTempState(const TTempState&) = delete;
    TTempState& operator=(const TTempState&) = delete;

private:
    TDataSet* FDataSet;
    TDataSetState FSaved;
};

// The link a detail dataset keeps to its master source.
class TMasterDataLink : public TDataLink {
public:
    explicit TMasterDataLink(TDataSet* Detail) : FDetail(Detail) {}

protected:
    void ActiveChanged() override { FDetail->MasterChanged(); }
    void CheckBrowseMode() override
    {
        if (FDetail->Active())
            FDetail->CheckBrowseMode();
    }
    void RecordChanged(TField* Field) override
    {
        if (!Field || IsMasterField(Field))
            FDetail->MasterChanged();
    }
    bool IsMasterLink() const override { return true; }

private:
    bool IsMasterField(const TField* Field) const
    {
        for (const String& Name : SplitNames(FDetail->FMasterFields))
            if (SameText(Name, Field->FieldName()))
                return true;
        return false;
    }
    TDataSet* FDetail;
};

// ---------------------------------------------------------------- dataset: life

TDataSet::TDataSet(TComponent* AOwner)
    : TNonVisualComponent(AOwner), FFields(this), FFieldDefs(std::make_unique<TFieldDefs>(this)),
      FView(std::make_unique<TView>())
{
}

TDataSet::~TDataSet()
{
    Destroying();
    if (Active())
        CloseCursor();
    FMasterLink.reset();
    while (!FDataSources.empty())
        FDataSources.back()->SetDataSet(nullptr);
    while (!FFields.FList.empty()) {
        TField* F = FFields.FList.back();
        delete F; // leaves the list through RemoveField
    }
}

void TDataSet::SetActive(bool Value)
{
    if (IsLoading()) {
        FStreamedActive = Value;
        return;
    }
    if (Active() == Value)
        return;
    if (Value)
        OpenCursor();
    else
        CloseCursor();
}

void TDataSet::Loaded()
{
    TNonVisualComponent::Loaded();
    if (FStreamedActive) {
        FStreamedActive = false;
        Open();
    }
}

void TDataSet::CheckActive() const
{
    if (!Active())
        Error(SDataSetClosed);
}

void TDataSet::CheckInactive() const
{
    if (Active())
        Error(SDataSetOpen);
}

void TDataSet::DoEvent(const TDataSetNotifyEvent& Event)
{
    if (Event && !IsDestroying())
        Event(this);
}

void TDataSet::OpenCursor()
{
    if (FOpening)
        return;
    FOpening = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } Reset{FOpening};
    DoEvent(BeforeOpen);
    try {
        InternalOpen();
        if (FFields.Count() == 0)
            CreateDefaultFields();
        BindFields();
        BuildIndex();
        BuildView();
        FEditMode = TEditMode::None;
        if (ViewCount() > 0)
            FillWindow(0, 0, false);
        else
            ClearBuffers();
        FBOF = true;
        FEOF = ViewCount() == 0;
    } catch (...) {
        FBuffers.clear();
        *FView = TView();
        for (TField* F : FFields.FList) {
            F->FFieldNo = 0;
            F->FCalcSlot = -1;
        }
        DestroyDefaultFields();
        InternalClose();
        throw;
    }
    FOpening = false;
    SetState(dsBrowse);
    DoEvent(AfterOpen);
    if (!IsEmpty())
        DoAfterScroll();
}

void TDataSet::CloseCursor()
{
    const bool Silent = IsDestroying();
    if (!Silent)
        DoEvent(BeforeClose);
    FEditMode = TEditMode::None;
    FEditRow.clear();
    FEditId = NoRecord;
    SetState(dsInactive);
    ClearBuffers();
    *FView = TView();
    FRangeKey.clear();
    FBOF = FEOF = true;
    FModified = false;
    for (TField* F : FFields.FList) {
        F->FFieldNo = 0;
        F->FCalcSlot = -1;
    }
    DestroyDefaultFields();
    InternalClose();
    if (!Silent)
        DoEvent(AfterClose);
}

void TDataSet::InternalOpen()
{
    if (FStore)
        return;
    TDataPacket P;
    if (FFieldDefs->Count() > 0) {
        for (int I = 0; I < FFieldDefs->Count(); ++I) {
            const TFieldDef* D = FFieldDefs->Items(I);
            P.Columns.push_back({D->Name(), D->DataType(), D->Size(), D->Required()});
        }
    } else {
        for (const TField* F : FFields.FList)
            if (F->FieldKind() == fkData)
                P.Columns.push_back({F->FieldName(), F->DataType(), F->Size(), F->Required()});
    }
    if (P.Columns.empty())
        Error("Cannot open a dataset that has neither field definitions nor fields");
    SetPacket(std::move(P));
}

void TDataSet::CreateDataSet()
{
    if (Active())
        Close();
    DropStore();
    TDataPacket P;
    if (FFieldDefs->Count() > 0) {
        for (int I = 0; I < FFieldDefs->Count(); ++I) {
            const TFieldDef* D = FFieldDefs->Items(I);
            P.Columns.push_back({D->Name(), D->DataType(), D->Size(), D->Required()});
        }
    } else {
        for (const TField* F : FFields.FList)
            if (F->FieldKind() == fkData)
                P.Columns.push_back({F->FieldName(), F->DataType(), F->Size(), F->Required()});
    }
    if (P.Columns.empty())
        Error("Cannot create a dataset that has neither field definitions nor fields");
    SetPacket(std::move(P));
    Open();
}

void TDataSet::SetPacket(TDataPacket&& Packet)
{
    CheckInactive();
    std::unique_ptr<TRecordStore> Store;
    try {
        Store = std::make_unique<TRecordStore>(std::move(Packet));
    } catch (const EDatabaseError& E) {
        Error(E.Message());
    }
    FFieldDefs->BeginUpdate();
    FFieldDefs->Clear();
    for (const auto& C : Store->Columns())
        FFieldDefs->Add(C.Name, C.DataType, C.Size, C.Required);
    FFieldDefs->EndUpdate();
    FStore = std::move(Store);
}

TDataPacket TDataSet::GetPacket() const
{
    return FStore ? FStore->Packet() : TDataPacket();
}

void TDataSet::DropStore()
{
    CheckInactive();
    FStore.reset();
}

// ---------------------------------------------------------------- dataset: fields

void TDataSet::AddField(TField* Field)
{
    CheckInactive();
    CheckFieldName(Field, Field->FieldName());
    FFields.FList.push_back(Field);
}

void TDataSet::RemoveField(TField* Field)
{
    auto& L = FFields.FList;
    L.erase(std::remove(L.begin(), L.end(), Field), L.end());
    FDefaultFields.erase(std::remove(FDefaultFields.begin(), FDefaultFields.end(), Field), FDefaultFields.end());
    if (Active())
        CloseCursor();
}

void TDataSet::CheckFieldName(const TField* Field, const String& Name) const
{
    if (Name.empty())
        return;
    for (const TField* F : FFields.FList)
        if (F != Field && SameText(F->FieldName(), Name))
            Error("Duplicate field name " + Quoted(Name));
}

void TDataSet::CreateDefaultFields()
{
    for (const auto& C : FStore->Columns()) {
        const TMetaClass* Class = TField::FieldClassOf(C.DataType);
        auto* F = dynamic_cast<TField*>(Class->CreateComponent(this));
        F->FFieldName = C.Name;
        F->FSize = C.DataType == ftString ? C.Size : 0;
        F->FRequired = C.Required;
        FDefaultFields.push_back(F);
        F->SetDataSet(this);
    }
}

void TDataSet::DestroyDefaultFields()
{
    const std::vector<TField*> Fields = std::move(FDefaultFields);
    FDefaultFields.clear();
    for (TField* F : Fields)
        delete F;
}

void TDataSet::BindFields()
{
    FCalcFieldCount = 0;
    for (TField* F : FFields.FList) {
        F->FFieldNo = 0;
        F->FCalcSlot = -1;
        if (F->FieldKind() == fkData) {
            const int C = FStore->ColumnIndex(F->FieldName());
            if (C < 0)
                Error("Field " + Quoted(F->FieldName()) + " not found");
            const auto& Col = FStore->Columns()[static_cast<size_t>(C)];
            if (Col.DataType != F->DataType())
                Error("Type mismatch for field " + Quoted(F->FieldName()) + ", expecting: " +
                      FieldTypeName(F->DataType()) + " actual: " + FieldTypeName(Col.DataType));
            F->FFieldNo = C + 1;
            if (F->DataType() == ftString)
                F->FSize = Col.Size;
        } else {
            if (F->FieldKind() == fkLookup &&
                (!F->LookupDataSet() || SplitNames(F->KeyFields()).empty() ||
                 SplitNames(F->LookupKeyFields()).size() != SplitNames(F->KeyFields()).size() ||
                 F->LookupResultField().empty()))
                Error("Lookup information for field " + Quoted(F->FieldName()) + " is incomplete");
            F->FCalcSlot = FCalcFieldCount++;
        }
    }
}

std::vector<TField*> TDataSet::FieldList(const String& Names) const
{
    std::vector<TField*> Result;
    for (const String& N : SplitNames(Names))
        Result.push_back(FieldByName(N));
    return Result;
}

void TDataSet::GetFieldNames(TStrings* List) const
{
    List->BeginUpdate();
    List->Clear();
    for (const TField* F : FFields.FList)
        List->Add(F->FieldName());
    List->EndUpdate();
}

const TVariant* TDataSet::FieldSlot(const TField* Field) const
{
    const TRecBuf* B = nullptr;
    switch (FState) {
    case dsInactive: return nullptr;
    case dsCalcFields: B = FCalcBuffer; break;
    case dsFilter: B = FFilterBuffer; break;
    default:
        if (FBuffers.empty())
            return nullptr;
        B = &FBuffers[static_cast<size_t>(FActiveRecord)];
        break;
    }
    if (!B)
        return nullptr;
    if (Field->FieldKind() == fkData) {
        if (Field->FFieldNo <= 0)
            return nullptr;
        const std::vector<TVariant>* Data;
        if (B->Id == NewRecord || (FEditMode == TEditMode::Edit && B->Id == FEditId))
            Data = &FEditRow;
        else if (FStore && FStore->Exists(B->Id))
            Data = &FStore->Values(B->Id);
        else
            return nullptr;
        const auto C = static_cast<size_t>(Field->FFieldNo - 1);
        return C < Data->size() ? &(*Data)[C] : nullptr;
    }
    const auto S = static_cast<size_t>(Field->FCalcSlot);
    if (Field->FCalcSlot < 0 || S >= B->Calc.size())
        return nullptr;
    return &B->Calc[S];
}

void TDataSet::SetFieldValue(TField* Field, TVariant Value)
{
    const bool Calculating = FState == dsCalcFields;
    const String Name = Quoted(Field->DisplayName());
    if (Calculating) {
        if (Field->FieldKind() == fkData)
            throw EDatabaseError("Field " + Name + " cannot be modified");
    } else {
        if (FState != dsEdit && FState != dsInsert)
            Error(SNotEditing);
        if (Field->FieldKind() != fkData || Field->ReadOnly())
            throw EDatabaseError("Field " + Name + " cannot be modified");
    }
    auto* Slot = const_cast<TVariant*>(FieldSlot(Field));
    if (!Slot)
        throw EDatabaseError("Field " + Name + " is not bound to its dataset");
    TVariant Old = std::move(*Slot);
    *Slot = std::move(Value);
    if (Field->OnValidate) {
        try {
            Field->OnValidate(Field);
        } catch (...) {
            if (auto* S = const_cast<TVariant*>(FieldSlot(Field)))
                *S = std::move(Old);
            throw;
        }
    }
    if (Calculating)
        return;
    DataEvent(deFieldChange, reinterpret_cast<intptr_t>(Field));
    if (Field->OnChange)
        Field->OnChange(Field);
}

// ---------------------------------------------------------------- dataset: index, range, view

std::vector<int> TDataSet::ResolveIndexColumns(const String& Names) const
{
    std::vector<int> Columns;
    for (const String& N : SplitNames(Names)) {
        const int C = FStore->ColumnIndex(N);
        if (C < 0) {
            if (const TField* F = FindField(N); F && F->FieldKind() != fkData)
                Error("Field " + Quoted(N) + " is not a data field and cannot be indexed");
            Error("Field " + Quoted(N) + " not found");
        }
        const TFieldType T = FStore->Columns()[static_cast<size_t>(C)].DataType;
        if (T == ftBlob || T == ftGraphic)
            Error("Field " + Quoted(N) + " is a " + FieldTypeName(T) + " field and cannot be indexed");
        Columns.push_back(C);
    }
    return Columns;
}

String TDataSet::EffectiveIndexFieldNames() const
{
    if (!FIndexFieldNames.empty())
        return FIndexFieldNames;
    return FMasterSource ? FMasterFields : String();
}

void TDataSet::BuildIndex()
{
    std::vector<int> Columns = ResolveIndexColumns(EffectiveIndexFieldNames());
    const size_t MasterCount = FMasterSource ? SplitNames(FMasterFields).size() : 0;
    if (MasterCount > Columns.size())
        Error("MasterFields " + Quoted(FMasterFields) + " need an index whose first " +
              IntToStr(static_cast<uint64_t>(MasterCount)) + " fields are the detail fields; IndexFieldNames is " +
              Quoted(FIndexFieldNames));
    FStore->SetIndex(std::move(Columns));
}

bool TDataSet::MasterRangeActive() const
{
    return FMasterLink && FMasterLink->Active() && !SplitNames(FMasterFields).empty();
}

std::vector<TVariant> TDataSet::MasterKeyValues() const
{
    std::vector<TVariant> Keys;
    TDataSet* Master = FMasterLink->DataSet();
    const std::vector<String> Names = SplitNames(FMasterFields);
    for (size_t I = 0; I < Names.size(); ++I) {
        const auto& Col = FStore->Columns()[static_cast<size_t>(FStore->IndexColumns()[I])];
        Keys.push_back(TField::ConvertValue(Master->FieldByName(Names[I])->Value(), Col.DataType, 0, Col.Name));
    }
    return Keys;
}

void TDataSet::BuildView()
{
    const std::vector<uint32_t>& Ids = FStore->Ordered();
    const std::vector<int>& Columns = FStore->IndexColumns();
    TView V;
    V.Base = &Ids;
    V.Lo = 0;
    V.Hi = Ids.size();
    FRangeKey.clear();
    if (MasterRangeActive()) {
        FRangeKey = MasterKeyValues();
        auto Compare = [&](uint32_t Id) {
            const std::vector<TVariant>& R = FStore->Values(Id);
            for (size_t I = 0; I < FRangeKey.size(); ++I)
                if (int C = CompareFieldValues(R[static_cast<size_t>(Columns[I])], FRangeKey[I]))
                    return C;
            return 0;
        };
        V.Lo = PartitionPoint(Ids.size(), [&](size_t P) { return Compare(Ids[P]) < 0; });
        V.Hi = PartitionPoint(Ids.size(), [&](size_t P) { return Compare(Ids[P]) <= 0; });
    }
    if (FFiltered && OnFilterRecord) {
        for (size_t P = V.Lo; P < V.Hi; ++P)
            if (AcceptRecord(Ids[P]))
                V.Own.push_back(Ids[P]);
        V.Owned = true;
    }
    *FView = std::move(V);
}

bool TDataSet::AcceptRecord(uint32_t Id)
{
    TRecBuf B{Id, {}};
    CalculateFields(B);
    TTempState Temp(this, dsFilter);
    const TRecBuf* Saved = FFilterBuffer;
    FFilterBuffer = &B;
    bool Accept = true;
    try {
        OnFilterRecord(this, Accept);
    } catch (...) {
        FFilterBuffer = Saved;
        throw;
    }
    FFilterBuffer = Saved;
    return Accept;
}

size_t TDataSet::ViewCount() const
{
    return FView->Count();
}

uint32_t TDataSet::ViewAt(size_t Pos) const
{
    return FView->At(Pos);
}

size_t TDataSet::ViewLowerBound(uint32_t Id) const
{
    return PartitionPoint(ViewCount(), [&](size_t P) { return FStore->Compare(ViewAt(P), Id) < 0; });
}

size_t TDataSet::ViewPosition(uint32_t Id) const
{
    if (!FStore || !FStore->Exists(Id))
        return NoPos;
    const size_t P = ViewLowerBound(Id);
    return P < ViewCount() && ViewAt(P) == Id ? P : NoPos;
}

bool TDataSet::IsLinkedTo(TDataSource* DataSource) const
{
    int Guard = 0;
    while (DataSource && DataSource->DataSet() && ++Guard < 10000) {
        if (DataSource->DataSet() == this)
            return true;
        DataSource = DataSource->DataSet()->MasterSource();
    }
    return false;
}

void TDataSet::SetMasterSource(TDataSource* Value)
{
    if (Value == FMasterSource)
        return;
    if (Value && IsLinkedTo(Value))
        Error(SCircularDataLink);
    if (FMasterSource)
        FMasterSource->RemoveFreeNotification(this);
    FMasterSource = Value;
    if (Value)
        Value->FreeNotification(this);
    if (!FMasterLink)
        FMasterLink = std::make_unique<TMasterDataLink>(this);
    // The link's activation (or deactivation) refreshes an open detail.
    const bool WasActive = FMasterLink->Active();
    FMasterLink->SetDataSource(Value);
    if (WasActive == FMasterLink->Active())
        MasterChanged();
}

void TDataSet::SetMasterFields(const String& Value)
{
    if (Value == FMasterFields)
        return;
    const String Old = FMasterFields;
    FMasterFields = Value;
    try {
        MasterChanged();
    } catch (...) {
        FMasterFields = Old;
        MasterChanged();
        throw;
    }
}

void TDataSet::MasterChanged()
{
    if (!Active() || FOpening || IsLoading())
        return;
    CheckBrowseMode();
    DoBeforeScroll();
    if (ResolveIndexColumns(EffectiveIndexFieldNames()) != FStore->IndexColumns())
        BuildIndex();
    else if (FMasterSource && SplitNames(FMasterFields).size() > FStore->IndexColumns().size())
        BuildIndex(); // raises the mismatch
    BuildView();
    if (ViewCount() > 0)
        FillWindow(0, 0, false);
    else
        ClearBuffers();
    FBOF = true;
    FEOF = ViewCount() == 0;
    DataEvent(deDataSetChange);
    DoAfterScroll();
}

void TDataSet::SetIndexFieldNames(const String& Value)
{
    if (Value == FIndexFieldNames)
        return;
    if (!Active()) {
        FIndexFieldNames = Value;
        return;
    }
    CheckBrowseMode();
    const String Old = FIndexFieldNames;
    FIndexFieldNames = Value;
    try {
        BuildIndex();
    } catch (...) {
        FIndexFieldNames = Old;
        BuildIndex();
        throw;
    }
    UpdateCursorPos();
    BuildView();
    Resync(0);
}

void TDataSet::SetFiltered(bool Value)
{
    if (Value == FFiltered)
        return;
    if (!Active()) {
        FFiltered = Value;
        return;
    }
    CheckBrowseMode();
    FFiltered = Value;
    try {
        BuildView();
    } catch (...) {
        FFiltered = !Value;
        BuildView();
        throw;
    }
    First();
}

void TDataSet::SetReadOnly(bool Value)
{
    if (Value == FReadOnly)
        return;
    if (Active())
        CheckBrowseMode();
    FReadOnly = Value;
}

void TDataSet::Refresh()
{
    CheckBrowseMode();
    UpdateCursorPos();
    BuildView();
    Resync(0);
}

// ---------------------------------------------------------------- dataset: the window

size_t TDataSet::ExtCount() const
{
    return ViewCount() + (FEditMode == TEditMode::Insert ? 1 : 0);
}

uint32_t TDataSet::ExtAt(size_t Pos) const
{
    if (FEditMode != TEditMode::Insert)
        return ViewAt(Pos);
    if (Pos < FInsertPos)
        return ViewAt(Pos);
    if (Pos == FInsertPos)
        return NewRecord;
    return ViewAt(Pos - 1);
}

uint32_t TDataSet::CurrentId() const
{
    return FBuffers.empty() ? NoRecord : FBuffers[static_cast<size_t>(FActiveRecord)].Id;
}

void TDataSet::ClearBuffers()
{
    FBuffers.clear();
    FWinTop = 0;
    FActiveRecord = 0;
    FCursorId = NoRecord;
}

void TDataSet::FillWindow(size_t Top, size_t ActivePos, bool Reuse)
{
    const size_t N = ExtCount();
    const size_t Count = std::min(static_cast<size_t>(FBufferCount), N - Top);
    std::vector<TRecBuf> Buffers;
    Buffers.reserve(Count);
    for (size_t P = Top; P < Top + Count; ++P) {
        const uint32_t Id = ExtAt(P);
        if (Reuse && P >= FWinTop && P < FWinTop + FBuffers.size() && FBuffers[P - FWinTop].Id == Id) {
            Buffers.push_back(std::move(FBuffers[P - FWinTop]));
            continue;
        }
        Buffers.push_back(TRecBuf{Id, {}});
        CalculateFields(Buffers.back());
    }
    FBuffers = std::move(Buffers);
    FWinTop = Top;
    FActiveRecord = static_cast<int>(ActivePos - Top);
    FCursorId = CurrentId();
}

void TDataSet::FillAround(size_t Pos, int ActiveHint, bool Center)
{
    const size_t N = ExtCount();
    const auto B = static_cast<size_t>(FBufferCount);
    size_t Want = Center ? (B - 1) / 2 : static_cast<size_t>(std::clamp(ActiveHint, 0, FBufferCount - 1));
    size_t Top = Pos >= Want ? Pos - Want : 0;
    if (N - Top < B)
        Top = N > B ? N - B : 0;
    FillWindow(Top, Pos, false);
    FBOF = FEOF = false;
}

void TDataSet::CalculateFields(TRecBuf& Buffer)
{
    if (FCalcFieldCount == 0) {
        Buffer.Calc.clear();
        return;
    }
    Buffer.Calc.assign(static_cast<size_t>(FCalcFieldCount), TVariant());
    TTempState Temp(this, dsCalcFields);
    const TRecBuf* Saved = FCalcBuffer;
    FCalcBuffer = &Buffer;
    try {
        for (TField* F : FFields.FList) {
            if (F->FieldKind() != fkLookup)
                continue;
            TDataSet* L = F->LookupDataSet();
            if (!L || !L->Active())
                continue;
            std::vector<TVariant> Keys;
            bool HasNull = false;
            for (TField* K : FieldList(F->KeyFields())) {
                Keys.push_back(K->Value());
                HasNull = HasNull || Keys.back().IsNull();
            }
            if (HasNull)
                continue;
            const TVariant Key = Keys.size() == 1 ? Keys[0] : VarArrayOf(Keys);
            const TVariant R = L->Lookup(F->LookupKeyFields(), Key, F->LookupResultField());
            Buffer.Calc[static_cast<size_t>(F->FCalcSlot)] =
                TField::ConvertValue(R, F->DataType(), 0, F->DisplayName());
        }
        if (OnCalcFields)
            OnCalcFields(this);
    } catch (...) {
        FCalcBuffer = Saved;
        throw;
    }
    FCalcBuffer = Saved;
}

void TDataSet::RecalcActive()
{
    if (FCalcFieldCount > 0 && !FBuffers.empty())
        CalculateFields(FBuffers[static_cast<size_t>(FActiveRecord)]);
}

std::vector<TDataLink*> TDataSet::AllLinks() const
{
    std::vector<TDataLink*> Links;
    for (const TDataSource* S : FDataSources)
        Links.insert(Links.end(), S->FDataLinks.begin(), S->FDataLinks.end());
    return Links;
}

void TDataSet::UpdateBufferCount()
{
    int Max = 1;
    for (const TDataLink* L : AllLinks())
        Max = std::max(Max, L->FBufferCount);
    SetBufferCount(Max);
}

void TDataSet::SetBufferCount(int Value)
{
    if (Value == FBufferCount)
        return;
    FBufferCount = Value;
    if (!Active() || FBuffers.empty())
        return;
    const size_t N = ExtCount();
    const size_t A = FWinTop + static_cast<size_t>(FActiveRecord);
    const size_t Count = std::min(static_cast<size_t>(Value), N);
    size_t Top = FWinTop;
    if (A - Top >= Count)
        Top = A - Count + 1;
    if (Top + Count > N)
        Top = N - Count;
    const int Shift = static_cast<int>(FWinTop) - static_cast<int>(Top);
    FillWindow(Top, A, true);
    ShiftLinks(Shift);
}

void TDataSet::ShiftLinks(int Offset)
{
    for (TDataLink* L : AllLinks())
        if (L->FActive) {
            L->FFirstRecord += Offset;
            L->UpdateRange();
        }
}

// ---------------------------------------------------------------- dataset: navigation

bool TDataSet::IsEmpty() const
{
    return !Active() || FBuffers.empty();
}

void TDataSet::First()
{
    CheckBrowseMode();
    DoBeforeScroll();
    if (ViewCount() > 0)
        FillWindow(0, 0, false);
    else
        ClearBuffers();
    FBOF = true;
    FEOF = ViewCount() == 0;
    DataEvent(deDataSetChange);
    DoAfterScroll();
}

void TDataSet::Last()
{
    CheckBrowseMode();
    DoBeforeScroll();
    const size_t N = ViewCount();
    if (N > 0) {
        const auto B = static_cast<size_t>(FBufferCount);
        FillWindow(N > B ? N - B : 0, N - 1, false);
    } else {
        ClearBuffers();
    }
    FEOF = true;
    FBOF = N == 0;
    DataEvent(deDataSetChange);
    DoAfterScroll();
}

int TDataSet::MoveBy(int Distance)
{
    CheckBrowseMode();
    if (!((Distance > 0 && !FEOF) || (Distance < 0 && !FBOF)))
        return 0;
    DoBeforeScroll();
    FBOF = FEOF = false;
    const auto N = static_cast<int64_t>(ViewCount());
    const auto Pos = static_cast<int64_t>(FWinTop) + FActiveRecord;
    int64_t Target = Pos + Distance;
    if (Target >= N) {
        Target = N - 1;
        FEOF = true;
    }
    if (Target < 0) {
        Target = 0;
        FBOF = true;
    }
    const auto Top = static_cast<int64_t>(FWinTop);
    const auto Count = static_cast<int64_t>(FBuffers.size());
    int64_t NewTop = Top;
    if (Target < Top)
        NewTop = Target;
    else if (Target >= Top + Count)
        NewTop = Target - Count + 1;
    if (NewTop != Top) {
        FillWindow(static_cast<size_t>(NewTop), static_cast<size_t>(Target), true);
    } else {
        FActiveRecord = static_cast<int>(Target - Top);
        FCursorId = CurrentId();
    }
    DataEvent(deDataSetScroll, static_cast<intptr_t>(NewTop - Top));
    DoAfterScroll();
    return static_cast<int>(Target - Pos);
}

int TDataSet::RecNo() const
{
    CheckActive();
    if (FBuffers.empty())
        return -1;
    size_t P = FWinTop + static_cast<size_t>(FActiveRecord);
    if (FEditMode == TEditMode::Insert && P > FInsertPos)
        --P;
    return static_cast<int>(P + 1);
}

void TDataSet::SetRecNo(int Value)
{
    CheckBrowseMode();
    const size_t N = ViewCount();
    if (N == 0)
        return;
    Value = std::clamp(Value, 1, static_cast<int>(std::min<size_t>(N, std::numeric_limits<int>::max())));
    if (Value == RecNo())
        return;
    DoBeforeScroll();
    FillAround(static_cast<size_t>(Value - 1), 0, true);
    DataEvent(deDataSetChange);
    DoAfterScroll();
}

int TDataSet::RecordCount() const
{
    CheckActive();
    return static_cast<int>(ViewCount());
}

void TDataSet::UpdateCursorPos()
{
    if (!FBuffers.empty())
        FCursorId = CurrentId();
}

void TDataSet::Resync(TResyncMode Mode)
{
    CheckActive();
    const size_t N = ExtCount();
    if (N == 0) {
        ClearBuffers();
        FBOF = FEOF = true;
        DataEvent(deDataSetChange);
        return;
    }
    size_t Pos;
    if (FCursorId == NewRecord && FEditMode == TEditMode::Insert) {
        Pos = FInsertPos;
    } else {
        Pos = ViewPosition(FCursorId);
        if (Pos == NoPos) {
            if (Mode & rmExact)
                Error(SRecordNotFound);
            if (FStore->Exists(FCursorId))
                Pos = ViewLowerBound(FCursorId);
            else
                Pos = FWinTop + static_cast<size_t>(FActiveRecord);
        }
        if (FEditMode == TEditMode::Insert && Pos >= FInsertPos)
            ++Pos;
        Pos = std::min(Pos, N - 1);
    }
    FillAround(Pos, FActiveRecord, (Mode & rmCenter) != 0);
    DataEvent(deDataSetChange);
}

// ---------------------------------------------------------------- dataset: editing

void TDataSet::CheckCanModify() const
{
    if (!CanModify())
        Error(SDataSetReadOnly);
}

void TDataSet::CheckRequiredFields() const
{
    for (const TField* F : FFields.FList)
        if (F->FieldKind() == fkData && F->Required() && !F->ReadOnly() && F->IsNull())
            throw EDatabaseError("Field " + Quoted(F->DisplayName()) + " must have a value");
}

void TDataSet::UpdateRecord()
{
    if (FEditMode == TEditMode::None)
        Error(SNotEditing);
    DataEvent(deUpdateRecord);
}

void TDataSet::CheckBrowseMode()
{
    CheckActive();
    DataEvent(deCheckBrowseMode);
    if (FEditMode != TEditMode::None) {
        UpdateRecord();
        if (FModified)
            Post();
        else
            Cancel();
    }
}

void TDataSet::Edit()
{
    if (FEditMode != TEditMode::None)
        return;
    CheckActive();
    if (FBuffers.empty()) {
        Insert();
        return;
    }
    CheckBrowseMode();
    CheckCanModify();
    DoEvent(BeforeEdit);
    FEditId = CurrentId();
    FEditRow = FStore->Values(FEditId);
    FEditMode = TEditMode::Edit;
    SetState(dsEdit);
    DataEvent(deRecordChange);
    DoEvent(AfterEdit);
}

void TDataSet::BeginInsertAppend()
{
    CheckBrowseMode();
    CheckCanModify();
    DoEvent(BeforeInsert);
    DoBeforeScroll();
    FEditRow.assign(FStore->Columns().size(), TVariant());
    const std::vector<int>& Columns = FStore->IndexColumns();
    if (MasterRangeActive())
        for (size_t I = 0; I < FRangeKey.size() && I < Columns.size(); ++I)
            FEditRow[static_cast<size_t>(Columns[I])] = FRangeKey[I];
}

void TDataSet::EndInsertAppend()
{
    SetState(dsInsert);
    try {
        DoEvent(OnNewRecord);
    } catch (...) {
        // Back to where the cursor was, then let the error pass.
        FEditMode = TEditMode::None;
        FEditRow.clear();
        FCursorId = FInsertBefore;
        const size_t N = ExtCount();
        if (N == 0)
            ClearBuffers();
        else {
            size_t Pos = FInsertBefore == NoRecord ? N - 1 : ViewPosition(FInsertBefore);
            FillAround(Pos == NoPos ? N - 1 : Pos, FActiveRecord, false);
        }
        SetState(dsBrowse);
        DataEvent(deDataSetChange);
        throw;
    }
    FModified = false;
    DataEvent(deDataSetChange);
    DoEvent(AfterInsert);
    DoAfterScroll();
}

void TDataSet::Insert()
{
    BeginInsertAppend();
    FInsertBefore = CurrentId();
    FInsertPos = FBuffers.empty() ? 0 : FWinTop + static_cast<size_t>(FActiveRecord);
    FEditMode = TEditMode::Insert;
    TRecBuf New{NewRecord, {}};
    if (FBuffers.empty()) {
        FBuffers.push_back(std::move(New));
        FWinTop = 0;
        FActiveRecord = 0;
    } else {
        FBuffers.insert(FBuffers.begin() + FActiveRecord, std::move(New));
        if (FBuffers.size() > static_cast<size_t>(FBufferCount))
            FBuffers.pop_back();
    }
    CalculateFields(FBuffers[static_cast<size_t>(FActiveRecord)]);
    FCursorId = NewRecord;
    EndInsertAppend();
}

void TDataSet::Append()
{
    BeginInsertAppend();
    FInsertBefore = NoRecord;
    const size_t N = ViewCount();
    FInsertPos = N;
    FEditMode = TEditMode::Insert;
    const auto B = static_cast<size_t>(FBufferCount);
    FillWindow(N + 1 > B ? N + 1 - B : 0, N, false);
    FBOF = false;
    FEOF = true;
    EndInsertAppend();
}

void TDataSet::Post()
{
    UpdateRecord();
    DataEvent(deCheckBrowseMode);
    DoEvent(BeforePost);
    if (FEditMode == TEditMode::None)
        return; // a handler ended the edit
    CheckRequiredFields();
    const int Hint = FActiveRecord;
    uint32_t Id = FEditId;
    if (FEditMode == TEditMode::Insert)
        Id = FStore->Add(std::move(FEditRow), FInsertBefore);
    else
        FStore->Update(Id, std::move(FEditRow));
    FEditMode = TEditMode::None;
    FEditRow.clear();
    FEditId = NoRecord;
    FInsertBefore = NoRecord;
    BuildView();
    const size_t N = ViewCount();
    if (N == 0) {
        ClearBuffers();
        FBOF = FEOF = true;
    } else {
        size_t Pos = ViewPosition(Id);
        if (Pos == NoPos)
            Pos = std::min(ViewLowerBound(Id), N - 1);
        FillAround(Pos, Hint, false);
    }
    SetState(dsBrowse);
    DataEvent(deDataSetChange);
    DoEvent(AfterPost);
}

void TDataSet::Cancel()
{
    if (FEditMode == TEditMode::None)
        return;
    DataEvent(deCheckBrowseMode);
    DoEvent(BeforeCancel);
    if (FEditMode == TEditMode::None)
        return;
    const int Hint = FActiveRecord;
    const uint32_t Target = FEditMode == TEditMode::Insert ? FInsertBefore : FEditId;
    FEditMode = TEditMode::None;
    FEditRow.clear();
    FEditId = NoRecord;
    FInsertBefore = NoRecord;
    const size_t N = ViewCount();
    if (N == 0) {
        ClearBuffers();
        FBOF = FEOF = true;
    } else {
        size_t Pos = Target == NoRecord ? N - 1 : ViewPosition(Target);
        FillAround(Pos == NoPos ? N - 1 : Pos, Hint, false);
    }
    SetState(dsBrowse);
    DataEvent(deDataSetChange);
    DoEvent(AfterCancel);
}

void TDataSet::Delete()
{
    CheckActive();
    if (FEditMode == TEditMode::Insert) {
        Cancel();
        return;
    }
    if (FBuffers.empty())
        Error(SDataSetEmpty);
    DataEvent(deCheckBrowseMode);
    DoEvent(BeforeDelete);
    DoBeforeScroll();
    const uint32_t Id = CurrentId();
    const int Hint = FActiveRecord;
    size_t Pos = ViewPosition(Id);
    if (Pos == NoPos)
        Pos = FWinTop + static_cast<size_t>(FActiveRecord);
    FEditMode = TEditMode::None;
    FEditRow.clear();
    FEditId = NoRecord;
    FStore->Remove(Id);
    BuildView();
    const size_t N = ViewCount();
    if (N == 0) {
        ClearBuffers();
        FBOF = FEOF = true;
    } else {
        FillAround(std::min(Pos, N - 1), Hint, false);
    }
    SetState(dsBrowse);
    DataEvent(deDataSetChange);
    DoEvent(AfterDelete);
    DoAfterScroll();
}

void TDataSet::SetRecordValues(const std::vector<TVariant>& Values)
{
    std::vector<TField*> Data;
    for (TField* F : FFields.FList)
        if (F->FieldKind() == fkData)
            Data.push_back(F);
    if (Values.size() > Data.size())
        Error(IntToStr(static_cast<uint64_t>(Values.size())) + " values given for " +
              IntToStr(static_cast<uint64_t>(Data.size())) + " data fields");
    for (size_t I = 0; I < Values.size(); ++I)
        Data[I]->SetValue(Values[I]);
}

void TDataSet::AppendRecord(const std::vector<TVariant>& Values)
{
    Append();
    try {
        SetRecordValues(Values);
        Post();
    } catch (...) {
        Cancel();
        throw;
    }
}

void TDataSet::InsertRecord(const std::vector<TVariant>& Values)
{
    Insert();
    try {
        SetRecordValues(Values);
        Post();
    } catch (...) {
        Cancel();
        throw;
    }
}

// ---------------------------------------------------------------- dataset: controls and events

void TDataSet::SetState(TDataSetState Value)
{
    if (FState == Value)
        return;
    FState = Value;
    FModified = false;
    DataEvent(deUpdateState);
}

void TDataSet::DataEvent(TDataEvent Event, intptr_t Info)
{
    if (Event == deFieldChange) {
        const auto* F = reinterpret_cast<const TField*>(Info);
        if (F->FieldKind() == fkData) {
            FModified = true;
            if (FAutoCalcFields)
                RecalcActive();
        }
    }
    if (FDisableCount == 0) {
        const std::vector<TDataSource*> Sources = FDataSources;
        for (TDataSource* S : Sources)
            if (std::find(FDataSources.begin(), FDataSources.end(), S) != FDataSources.end())
                S->DataEvent(Event, Info);
    } else if ((Event == deUpdateState && FState == dsInactive) || Event == deLayoutChange) {
        FEnableEvent = deLayoutChange;
    }
}

void TDataSet::DisableControls()
{
    if (FDisableCount == 0) {
        FDisableState = FState;
        FEnableEvent = deDataSetChange;
    }
    ++FDisableCount;
}

void TDataSet::EnableControls()
{
    if (FDisableCount == 0)
        return;
    if (--FDisableCount == 0) {
        if (FDisableState != FState)
            DataEvent(deUpdateState);
        if (FDisableState != dsInactive && FState != dsInactive)
            DataEvent(FEnableEvent);
    }
}

void TDataSet::AddDataSource(TDataSource* Source)
{
    FDataSources.push_back(Source);
    UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* Source)
{
    FDataSources.erase(std::remove(FDataSources.begin(), FDataSources.end(), Source), FDataSources.end());
    UpdateBufferCount();
}

void TDataSet::Notification(TComponent* AComponent, TOperation Operation)
{
    TNonVisualComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && FMasterSource && AComponent == static_cast<TComponent*>(FMasterSource)) {
        FMasterSource = nullptr;
        if (FMasterLink)
            FMasterLink->SetDataSource(nullptr);
    }
}

void TDataSet::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    TNonVisualComponent::GetChildren(Proc, Root);
    for (TField* F : std::vector<TField*>(FFields.FList))
        if (F->Owner() == Root)
            Proc(F);
}

// ---------------------------------------------------------------- dataset: bookmarks

TBookmark TDataSet::GetBookmark() const
{
    const uint32_t Id = CurrentId();
    if (!Active() || Id == NoRecord || Id == NewRecord)
        return TBookmark();
    return TBookmark(FStore->Id(), uint64_t(Id) + 1);
}

bool TDataSet::BookmarkValid(const TBookmark& Value) const
{
    if (!Active() || Value.IsNull() || Value.FStore != FStore->Id() || Value.FRecord > NewRecord)
        return false;
    return ViewPosition(static_cast<uint32_t>(Value.FRecord - 1)) != NoPos;
}

void TDataSet::GotoBookmark(const TBookmark& Value)
{
    CheckBrowseMode();
    if (!BookmarkValid(Value))
        Error(SRecordNotFound);
    DoBeforeScroll();
    FillAround(ViewPosition(static_cast<uint32_t>(Value.FRecord - 1)), 0, true);
    DataEvent(deDataSetChange);
    DoAfterScroll();
}

int TDataSet::CompareBookmarks(const TBookmark& A, const TBookmark& B) const
{
    if (A.IsNull() || B.IsNull())
        return A.IsNull() == B.IsNull() ? 0 : A.IsNull() ? -1 : 1;
    if (A == B)
        return 0;
    const auto IA = static_cast<uint32_t>(A.FRecord - 1);
    const auto IB = static_cast<uint32_t>(B.FRecord - 1);
    if (Active() && A.FStore == FStore->Id() && B.FStore == FStore->Id() && FStore->Exists(IA) && FStore->Exists(IB))
        return FStore->Compare(IA, IB);
    return A.FRecord < B.FRecord ? -1 : 1;
}

// ---------------------------------------------------------------- dataset: searching

TVariant TDataSet::RecordValue(uint32_t Id, TField* Field)
{
    if (Field->FieldKind() == fkData)
        return Field->FFieldNo > 0 ? FStore->Values(Id)[static_cast<size_t>(Field->FFieldNo - 1)] : TVariant();
    TRecBuf B{Id, {}};
    CalculateFields(B);
    const auto S = static_cast<size_t>(Field->FCalcSlot);
    return Field->FCalcSlot >= 0 && S < B.Calc.size() ? B.Calc[S] : TVariant();
}

size_t TDataSet::FindRecord(const String& KeyFields, const TVariant& KeyValues, TLocateOptions Options)
{
    CheckActive();
    const std::vector<TField*> Fields = FieldList(KeyFields);
    if (Fields.empty())
        Error("No key fields given");
    std::vector<TVariant> Keys;
    if (Fields.size() == 1) {
        Keys.push_back(KeyValues.IsArray() && KeyValues.ArrayCount() == 1 ? KeyValues[0] : KeyValues);
    } else {
        if (!KeyValues.IsArray() || KeyValues.ArrayCount() != static_cast<int>(Fields.size()))
            Error(IntToStr(static_cast<uint64_t>(Fields.size())) + " key values are needed for the fields " +
                  Quoted(KeyFields));
        for (int I = 0; I < KeyValues.ArrayCount(); ++I)
            Keys.push_back(KeyValues[I]);
    }
    struct TKey {
        TField* Field;
        TVariant Value;
        bool Text;
    };
    std::vector<TKey> K;
    bool Indexed = true;
    const std::vector<int>& Columns = FStore->IndexColumns();
    for (size_t I = 0; I < Fields.size(); ++I) {
        TField* F = Fields[I];
        const bool Text = Options != 0 && IsTextType(F->DataType());
        TVariant V = Keys[I];
        if (!V.IsNull())
            V = Text ? TVariant(V.AsString()) : TField::ConvertValue(V, F->DataType(), 0, F->DisplayName());
        K.push_back({F, std::move(V), Text});
        Indexed = Indexed && !Text && F->FieldKind() == fkData && I < Columns.size() && Columns[I] == F->FFieldNo - 1;
    }
    auto Matches = [&](uint32_t Id) {
        for (const TKey& Key : K) {
            const TVariant V = RecordValue(Id, Key.Field);
            if (Key.Value.IsNull() || V.IsNull()) {
                if (Key.Value.IsNull() != V.IsNull())
                    return false;
                continue;
            }
            if (Key.Text) {
                String S = V.AsString();
                const String KS = Key.Value.AsString();
                if (Options & loPartialKey) {
                    if (S.size() < KS.size())
                        return false;
                    S.resize(KS.size());
                }
                if (!((Options & loCaseInsensitive) ? AnsiSameText(S, KS) : S == KS))
                    return false;
            } else if (CompareFieldValues(V, Key.Value) != 0) {
                return false;
            }
        }
        return true;
    };
    const size_t N = ViewCount();
    if (Indexed) {
        const size_t P = PartitionPoint(N, [&](size_t Q) {
            const std::vector<TVariant>& R = FStore->Values(ViewAt(Q));
            for (size_t I = 0; I < K.size(); ++I)
                if (int C = CompareFieldValues(R[static_cast<size_t>(Columns[I])], K[I].Value))
                    return C < 0;
            return false;
        });
        return P < N && Matches(ViewAt(P)) ? P : NoPos;
    }
    for (size_t P = 0; P < N; ++P)
        if (Matches(ViewAt(P)))
            return P;
    return NoPos;
}

bool TDataSet::Locate(const String& KeyFields, const TVariant& KeyValues, TLocateOptions Options)
{
    CheckBrowseMode();
    const size_t Pos = FindRecord(KeyFields, KeyValues, Options);
    if (Pos == NoPos)
        return false;
    DoBeforeScroll();
    FillAround(Pos, 0, true);
    DataEvent(deDataSetChange);
    DoAfterScroll();
    return true;
}

TVariant TDataSet::Lookup(const String& KeyFields, const TVariant& KeyValues, const String& ResultFields)
{
    const size_t Pos = FindRecord(KeyFields, KeyValues, 0);
    const std::vector<TField*> Result = FieldList(ResultFields);
    if (Pos == NoPos || Result.empty())
        return TVariant();
    const uint32_t Id = ViewAt(Pos);
    if (Result.size() == 1)
        return RecordValue(Id, Result[0]);
    std::vector<TVariant> Values;
    for (TField* F : Result)
        Values.push_back(RecordValue(Id, F));
    return VarArrayOf(std::move(Values));
}

// ---------------------------------------------------------------- registration

void RegisterDBClasses()
{
    RegisterClasses<TFieldDef, TDataSet, TDataSource, TStringField, TIntegerField, TSmallintField, TWordField,
                    TLargeintField, TFloatField, TCurrencyField, TBooleanField, TDateTimeField, TDateField,
                    TTimeField, TBlobField, TMemoField, TGraphicField>();
    RegisterClientDataSetClasses();
}

namespace {
[[maybe_unused]] const bool DBClassesRegistered = (RegisterDBClasses(), true);
}
