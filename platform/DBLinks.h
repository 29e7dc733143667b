// Data layer: data sources and data links (included by DB.h).
//
// A data source joins a dataset to the data-aware controls: each control owns
// a data link (usually a TFieldDataLink) attached to the source. The dataset
// tells its sources of every data event (see DB.h), each source tells its
// links, and a link turns the events into its notifications: ActiveChanged,
// DataSetChanged, DataSetScrolled (with the distance its window moved),
// RecordChanged (with the field that changed, or null), EditingChanged,
// UpdateData and CheckBrowseMode, the same distinctions the framework's rule
// makes. A detail refreshed after its master moved reports a change, not a
// scroll.
#pragma once

#include "DB.h"

// ---------------------------------------------------------------- data source

class TDataSource : public TNonVisualComponent {
    Q_OBJECT
    Q_PROPERTY(bool AutoEdit READ AutoEdit WRITE SetAutoEdit)
    Q_PROPERTY(TDataSet* DataSet READ DataSet WRITE SetDataSet)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TNotifyEvent OnStateChange MEMBER OnStateChange)
    Q_PROPERTY(TDataChangeEvent OnDataChange MEMBER OnDataChange)
    Q_PROPERTY(TNotifyEvent OnUpdateData MEMBER OnUpdateData)
public:
    explicit TDataSource(TComponent* AOwner = nullptr);
    ~TDataSource() override;

    TDataSet* DataSet() const { return FDataSet; }
    // Raises "Circular datalinks are not allowed" when Value is a detail of
    // this source (directly or further down).
    void SetDataSet(TDataSet* Value);
    bool AutoEdit() const { return FAutoEdit; }
    void SetAutoEdit(bool Value) { FAutoEdit = Value; }
    // A disabled source looks inactive to its links.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // The dataset's state as the links see it (inactive while disabled).
    TDataSetState State() const { return FState; }
    // Puts the dataset into edit mode when AutoEdit is set and it is browsing.
    void Edit();
    // Whether DataSet is a detail of this source, directly or further down
    // (so making it this source's dataset would close a circle).
    bool IsLinkedTo(TDataSet* DataSet) const;

    TNotifyEvent OnStateChange;
    // Field: the field that changed, or null for a change of the whole record.
    TDataChangeEvent OnDataChange;
    TNotifyEvent OnUpdateData;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TDataSet;
    friend class TDataLink;
    void DataEvent(TDataEvent Event, intptr_t Info);
    void NotifyDataLinks(TDataEvent Event, intptr_t Info);
    void SetState(TDataSetState Value);
    void UpdateState();
    void AddLink(TDataLink* Link);
    void RemoveLink(TDataLink* Link);

    TDataSet* FDataSet = nullptr;
    std::vector<TDataLink*> FDataLinks;
    TDataSetState FState = dsInactive;
    bool FAutoEdit = true;
    bool FEnabled = true;
};

// ---------------------------------------------------------------- data links

// What a data-aware control uses to follow a data source: it is told of the
// data events through the protected notifications below and sees a window
// of BufferCount records of the dataset.
class TDataLink : public QObject {
    Q_OBJECT
public:
    TDataLink();
    ~TDataLink() override;

    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* Value);
    // SetDataSource for a control's data-source property: Watcher hears of
    // the removal of the new source (and no longer of the old one).
    void SetDataSource(TDataSource* Value, TComponent* Watcher);
    // For the watcher's Notification: a removed source is let go; true when
    // AComponent was the source.
    bool DataSourceRemoved(const TComponent* AComponent);
    TDataSet* DataSet() const;
    // Linked to an open dataset through an enabled source.
    bool Active() const { return FActive; }
    // The dataset edits or inserts and the link is not read-only.
    bool Editing() const { return FEditing; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);

    // The record window: BufferCount records at most (at least 1).
    int BufferCount() const { return FBufferCount; }
    void SetBufferCount(int Value);
    // Records in the window (0 when inactive).
    int RecordCount() const;
    // The current record's index in the window. Setting it makes another
    // buffered record the one the fields show, without moving the cursor;
    // set it back when done. Raises for an index outside the window.
    int ActiveRecord() const;
    void SetActiveRecord(int Value);

    // Puts the dataset into edit mode through the source (AutoEdit) unless
    // the link is read-only; returns Editing.
    bool Edit();
    // Calls UpdateData; record changes that this causes are not echoed back.
    void UpdateRecord();

protected:
    virtual void ActiveChanged() {}
    virtual void CheckBrowseMode() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int Distance);
    virtual void EditingChanged() {}
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* Field);
    virtual void UpdateData() {}
    // Links told before the others (the master link of a detail dataset).
    virtual bool IsMasterLink() const { return false; }

private:
    friend class TDataSource;
    friend class TDataSet;
    void DataEvent(TDataEvent Event, intptr_t Info);
    void UpdateState();
    void SetActive(bool Value);
    void SetEditing(bool Value);
    // Keeps the window inside the dataset's buffers and around its current
    // record; returns how far the window moved.
    int UpdateRange();

    TDataSource* FDataSource = nullptr;
    int FFirstRecord = 0;
    int FBufferCount = 1;
    bool FActive = false;
    bool FEditing = false;
    bool FReadOnly = false;
    bool FUpdating = false;
};

// A link to one field of the data source's dataset, as single-field
// controls use it. Its events get the link as Sender.
class TFieldDataLink : public TDataLink {
    Q_OBJECT
public:
    TFieldDataLink() = default;

    const String& FieldName() const { return FFieldName; }
    // Looks the field up while active ("Field 'X' not found" when missing).
    void SetFieldName(const String& Value);
    TField* Field() const { return FField; }
    // The control that owns the link (for the owner's use).
    TComponent* Control() const { return FControl; }
    void SetControl(TComponent* Value) { FControl = Value; }
    // The dataset edits this record and the field can be modified.
    bool Editing() const { return FEditing; }
    bool CanModify() const;
    // Puts the dataset into edit mode when the field can be modified.
    bool Edit();
    // Notes that the control's value differs from the field's.
    void Modified() { FModified = true; }
    bool IsModified() const { return FModified; }
    // Shows the field's value again (a data change notification).
    void Reset() { RecordChanged(nullptr); }

    TNotifyEvent OnDataChange;
    TNotifyEvent OnEditingChange;
    TNotifyEvent OnUpdateData;
    TNotifyEvent OnActiveChange;

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void LayoutChanged() override;
    void RecordChanged(TField* Field) override;
    void UpdateData() override;

private:
    void UpdateField();
    void SetField(TField* Value);
    void SetFieldEditing(bool Value);

    String FFieldName;
    TField* FField = nullptr;
    TComponent* FControl = nullptr;
    bool FEditing = false;
    bool FModified = false;
};
