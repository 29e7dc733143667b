#include "DBLinks.h"

#include <QPointer>

#include <algorithm>

namespace {
const char* const SCircularDataLink = "Circular datalinks are not allowed";
} // namespace

// ---------------------------------------------------------------- data source

TDataSource::TDataSource(TComponent* AOwner) : TNonVisualComponent(AOwner) {}

TDataSource::~TDataSource()
{
    Destroying();
    while (!FDataLinks.empty())
        FDataLinks.back()->SetDataSource(nullptr);
    if (FDataSet)
        SetDataSet(nullptr);
}

bool TDataSource::IsLinkedTo(TDataSet* DataSet) const
{
    int Guard = 0;
    while (DataSet && ++Guard < 10000) {
        TDataSource* S = DataSet->MasterSource();
        if (!S)
            return false;
        if (S == this)
            return true;
        DataSet = S->DataSet();
    }
    return false;
}

void TDataSource::SetDataSet(TDataSet* Value)
{
    if (Value == FDataSet)
        return;
    if (IsLinkedTo(Value))
        DatabaseError(SCircularDataLink, this);
    if (FDataSet) {
        FDataSet->RemoveDataSource(this);
        FDataSet->RemoveFreeNotification(this);
    }
    FDataSet = Value;
    if (Value) {
        Value->AddDataSource(this);
        Value->FreeNotification(this);
    }
    UpdateState();
}

void TDataSource::SetEnabled(bool Value)
{
    FEnabled = Value;
    UpdateState();
}

void TDataSource::UpdateState()
{
    SetState(FEnabled && FDataSet ? FDataSet->State() : dsInactive);
}

void TDataSource::SetState(TDataSetState Value)
{
    if (FState == Value)
        return;
    const TDataSetState Prior = FState;
    FState = Value;
    NotifyDataLinks(deUpdateState, 0);
    if (!IsDestroying()) {
        if (OnStateChange)
            OnStateChange(this);
        if (Prior == dsInactive && OnDataChange)
            OnDataChange(this, nullptr);
    }
}

void TDataSource::Edit()
{
    if (FAutoEdit && FState == dsBrowse)
        FDataSet->Edit();
}

void TDataSource::DataEvent(TDataEvent Event, intptr_t Info)
{
    if (Event == deUpdateState) {
        UpdateState();
        return;
    }
    if (FState == dsInactive)
        return;
    NotifyDataLinks(Event, Info);
    switch (Event) {
    case deFieldChange:
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
        if (OnDataChange)
            OnDataChange(this, Event == deFieldChange ? reinterpret_cast<TField*>(Info) : nullptr);
        break;
    case deUpdateRecord:
        if (OnUpdateData)
            OnUpdateData(this);
        break;
    default: break;
    }
}

void TDataSource::NotifyDataLinks(TDataEvent Event, intptr_t Info)
{
    // Master links of detail datasets first, so that a control of this
    // source finds the details already following the new record.
    std::vector<QPointer<TDataLink>> Links;
    for (TDataLink* L : FDataLinks)
        if (L->IsMasterLink())
            Links.emplace_back(L);
    for (TDataLink* L : FDataLinks)
        if (!L->IsMasterLink())
            Links.emplace_back(L);
    for (const QPointer<TDataLink>& L : Links)
        if (L && L->FDataSource == this)
            L->DataEvent(Event, Info);
}

void TDataSource::AddLink(TDataLink* Link)
{
    FDataLinks.push_back(Link);
    if (FDataSet)
        FDataSet->UpdateBufferCount();
}

void TDataSource::RemoveLink(TDataLink* Link)
{
    FDataLinks.erase(std::remove(FDataLinks.begin(), FDataLinks.end(), Link), FDataLinks.end());
    if (FDataSet)
        FDataSet->UpdateBufferCount();
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation)
{
    TNonVisualComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataSet && AComponent == static_cast<TComponent*>(FDataSet)) {
        FDataSet = nullptr;
        UpdateState();
    }
}

// ---------------------------------------------------------------- data links

TDataLink::TDataLink() = default;

TDataLink::~TDataLink()
{
    if (FDataSource) {
        TDataSource* S = FDataSource;
        FDataSource = nullptr;
        S->RemoveLink(this);
    }
}

TDataSet* TDataLink::DataSet() const
{
    return FDataSource ? FDataSource->DataSet() : nullptr;
}

void TDataLink::SetDataSource(TDataSource* Value, TComponent* Watcher)
{
    if (Value == FDataSource)
        return;
    if (FDataSource && Watcher)
        FDataSource->RemoveFreeNotification(Watcher);
    SetDataSource(Value);
    if (Value && Watcher)
        Value->FreeNotification(Watcher);
}

bool TDataLink::DataSourceRemoved(const TComponent* AComponent)
{
    if (!AComponent || AComponent != static_cast<const TComponent*>(FDataSource))
        return false;
    SetDataSource(nullptr);
    return true;
}

void TDataLink::SetDataSource(TDataSource* Value)
{
    if (Value == FDataSource)
        return;
    if (FDataSource) {
        TDataSource* Old = FDataSource;
        FDataSource = nullptr;
        Old->RemoveLink(this);
        UpdateState();
    }
    if (Value) {
        FDataSource = Value;
        Value->AddLink(this);
        UpdateState();
    }
}

void TDataLink::SetReadOnly(bool Value)
{
    if (FReadOnly == Value)
        return;
    FReadOnly = Value;
    UpdateState();
}

void TDataLink::UpdateState()
{
    const TDataSetState S = FDataSource ? FDataSource->State() : dsInactive;
    SetActive(S != dsInactive);
    SetEditing((S == dsEdit || S == dsInsert) && !FReadOnly);
}

void TDataLink::SetActive(bool Value)
{
    if (FActive == Value)
        return;
    FActive = Value;
    FFirstRecord = 0;
    if (Value)
        UpdateRange();
    ActiveChanged();
}

void TDataLink::SetEditing(bool Value)
{
    if (FEditing == Value)
        return;
    FEditing = Value;
    EditingChanged();
}

void TDataLink::SetBufferCount(int Value)
{
    Value = std::max(1, Value);
    if (Value == FBufferCount)
        return;
    FBufferCount = Value;
    if (TDataSet* DS = DataSet())
        DS->UpdateBufferCount();
    if (FActive)
        UpdateRange();
}

int TDataLink::UpdateRange()
{
    const TDataSet* DS = DataSet();
    const int Old = FFirstRecord;
    int First = Old;
    const int N = DS ? DS->WindowRecordCount() : 0;
    if (N == 0) {
        First = 0;
    } else {
        const int A = DS->FActiveRecord;
        if (A < First)
            First = A;
        if (A > First + FBufferCount - 1)
            First = A - FBufferCount + 1;
        First = std::min(First, std::max(0, N - FBufferCount));
        First = std::max(First, 0);
    }
    FFirstRecord = First;
    return First - Old;
}

int TDataLink::RecordCount() const
{
    if (!FActive)
        return 0;
    return std::clamp(DataSet()->WindowRecordCount() - FFirstRecord, 0, FBufferCount);
}

int TDataLink::ActiveRecord() const
{
    if (!FActive)
        return 0;
    return DataSet()->FActiveRecord - FFirstRecord;
}

void TDataLink::SetActiveRecord(int Value)
{
    if (!FActive)
        return;
    const int N = RecordCount();
    if (Value < 0 || Value >= N)
        throw EDatabaseError("Record " + IntToStr(Value) + " is outside the data link's window of " + IntToStr(N) +
                             " records");
    DataSet()->FActiveRecord = Value + FFirstRecord;
}

bool TDataLink::Edit()
{
    if (!FReadOnly && FDataSource)
        FDataSource->Edit();
    return FEditing;
}

void TDataLink::UpdateRecord()
{
    FUpdating = true;
    try {
        UpdateData();
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TDataLink::DataSetScrolled(int)
{
    DataSetChanged();
}

void TDataLink::RecordChanged(TField*) {}

void TDataLink::DataEvent(TDataEvent Event, intptr_t Info)
{
    if (Event == deUpdateState) {
        UpdateState();
        return;
    }
    if (!FActive)
        return;
    switch (Event) {
    case deFieldChange:
    case deRecordChange:
        if (!FUpdating)
            RecordChanged(Event == deFieldChange ? reinterpret_cast<TField*>(Info) : nullptr);
        break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
        if (Event == deDataSetScroll)
            FFirstRecord -= static_cast<int>(Info);
        const int Moved = UpdateRange();
        if (Event == deDataSetChange)
            DataSetChanged();
        else if (Event == deDataSetScroll)
            DataSetScrolled(Moved);
        else
            LayoutChanged();
        break;
    }
    case deUpdateRecord: UpdateRecord(); break;
    case deCheckBrowseMode: CheckBrowseMode(); break;
    default: break;
    }
}

// ---------------------------------------------------------------- field data link

void TFieldDataLink::SetFieldName(const String& Value)
{
    if (FFieldName == Value)
        return;
    FFieldName = Value;
    UpdateField();
}

void TFieldDataLink::UpdateField()
{
    if (Active() && !FFieldName.empty()) {
        FField = nullptr;
        SetField(DataSet()->FieldByName(FFieldName));
    } else {
        SetField(nullptr);
    }
}

void TFieldDataLink::SetField(TField* Value)
{
    if (FField == Value)
        return;
    FField = Value;
    EditingChanged();
    RecordChanged(nullptr);
}

bool TFieldDataLink::CanModify() const
{
    return !ReadOnly() && FField && FField->CanModify();
}

bool TFieldDataLink::Edit()
{
    if (CanModify())
        TDataLink::Edit();
    return FEditing;
}

void TFieldDataLink::ActiveChanged()
{
    UpdateField();
    if (OnActiveChange)
        OnActiveChange(this);
}

void TFieldDataLink::EditingChanged()
{
    SetFieldEditing(TDataLink::Editing() && CanModify());
}

void TFieldDataLink::SetFieldEditing(bool Value)
{
    if (FEditing == Value)
        return;
    FEditing = Value;
    FModified = false;
    if (OnEditingChange)
        OnEditingChange(this);
}

void TFieldDataLink::LayoutChanged()
{
    UpdateField();
}

void TFieldDataLink::RecordChanged(TField* Field)
{
    if (!Field || Field == FField) {
        if (OnDataChange)
            OnDataChange(this);
        FModified = false;
    }
}

void TFieldDataLink::UpdateData()
{
    if (FModified) {
        if (FField && OnUpdateData)
            OnUpdateData(this);
        FModified = false;
    }
}
