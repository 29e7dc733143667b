// The column header of the data-aware tree: a panel (TnvTreeHeader) that
// hosts the platform's header control (TnvTreeHeaderControl, a sub-classed
// "SysHeader32" window) whose sections (TnvTreeHeaderSection) each name a
// dataset field. Every section is drawn by the header control itself, in the
// owner-draw request of the platform control. Dragging a divider resizes a
// section within [MinWidth, MaxWidth]; with thcoAllowColumnMove a section
// dragged to a new place moves in the collection (the platform control is
// never left to reorder its items, so an item's order is always its index).
//
// A tree that shows its rows in the header's columns derives from
// TnvTreeHeaderClient and is linked as the control's TreeView: the header
// then tells it to recompute its rows when a section is resized, and
// rewrites its DisplayFields and repaints it when a section moves.
#pragma once

#include <QPointer>

#include <memory>

#include "ExtCtrls.h"
#include "ImageList.h"
#include "NativeHeader.h"

class TnvTreeHeader;
class TnvTreeHeaderControl;
class TnvTreeHeaderSection;
class TStrings;

namespace nvTreeHeaderTypes {
Q_NAMESPACE

enum TnvTreeHeaderOption {
    thcoAllowColumnMove = 0x1,
    thcoSortTreeOnClick = 0x2, // stored; no effect of its own
    thcoRightBorder = 0x4,
};
Q_DECLARE_FLAGS(TnvTreeHeaderOptions, TnvTreeHeaderOption)
Q_FLAG_NS(TnvTreeHeaderOptions)

} // namespace nvTreeHeaderTypes
using namespace nvTreeHeaderTypes;
Q_DECLARE_OPERATORS_FOR_FLAGS(nvTreeHeaderTypes::TnvTreeHeaderOptions)

// The stored default of Options: all three.
constexpr TnvTreeHeaderOptions nvDefaultTreeHeaderOptions = TnvTreeHeaderOptions::fromInt(7);

// ---------------------------------------------------------------- events

using TnvHeaderDrawSectionEvent = TEvent<TnvTreeHeader*, TnvTreeHeaderSection*, const TRect&, bool>;
ZEN_EVENT_TYPE(TnvHeaderDrawSectionEvent)
using TnvHeaderSectionNotifyEvent = TEvent<TnvTreeHeader*, TnvTreeHeaderSection*>;
ZEN_EVENT_TYPE(TnvHeaderSectionNotifyEvent)
using TnvHeaderSectionTrackEvent = TEvent<TnvTreeHeader*, TnvTreeHeaderSection*, int, TSectionTrackState>;
ZEN_EVENT_TYPE(TnvHeaderSectionTrackEvent)
using TnvHeaderSectionMoveEvent = TEvent<TnvTreeHeader*, TnvTreeHeaderSection*, int, int, bool&>;
ZEN_EVENT_TYPE(TnvHeaderSectionMoveEvent)
using TnvSectionDragEvent = TEvent<TObject*, TnvTreeHeaderSection*, TnvTreeHeaderSection*>;
ZEN_EVENT_TYPE(TnvSectionDragEvent)

// ---------------------------------------------------------------- the tree side

// What the header needs of the tree that uses it. The data-aware tree
// derives from it beside its control class.
class TnvTreeHeaderClient {
public:
    virtual ~TnvTreeHeaderClient() = default;
    // The tree as a control (repainted, and watched for its removal).
    virtual TWinControl* TreeControl() = 0;
    // One display expression per level.
    virtual TStrings* DisplayFields() const = 0;
    // Recomputes the row height and the rows.
    virtual void RecalcRowHeight() = 0;
};

// ---------------------------------------------------------------- sections

class TnvTreeHeaderSection : public TCollectionItem {
    Q_OBJECT
    Q_PROPERTY(DBTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool AllowClick READ AllowClick WRITE SetAllowClick)
    Q_PROPERTY(int MaxWidth READ MaxWidth WRITE SetMaxWidth)
    Q_PROPERTY(int MinWidth READ MinWidth WRITE SetMinWidth)
    Q_PROPERTY(NativeHeaderTypes::THeaderSectionStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(String Text READ Text WRITE SetText)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(String FieldName READ FieldName WRITE SetFieldName)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
    Q_PROPERTY(DBTypes::TAlignment ImageAlignment READ ImageAlignment WRITE SetImageAlignment)
public:
    static constexpr int MaxSectionWidth = 10000;

    explicit TnvTreeHeaderSection(TCollection* ACollection = nullptr);
    ~TnvTreeHeaderSection() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AllowClick() const { return FAllowClick; }
    void SetAllowClick(bool Value) { FAllowClick = Value; }
    // 0 .. MaxWidth; Width is clamped again.
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    // MinWidth .. 10000; Width is clamped again.
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    // Stored; every section is drawn by the header control whatever its style.
    THeaderSectionStyle Style() const { return FStyle; }
    void SetStyle(THeaderSectionStyle Value);
    const String& Text() const { return FText; }
    void SetText(const String& Value);
    // Clamped to [MinWidth, MaxWidth].
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    // The dataset field shown in this column.
    const String& FieldName() const { return FFieldName; }
    void SetFieldName(const String& Value) { FFieldName = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TAlignment ImageAlignment() const { return FImageAlignment; }
    void SetImageAlignment(TAlignment Value);

    // The left edge: the sum of the widths of the sections before this one.
    int Left() const;
    int Right() const { return Left() + FWidth; }

    // Copies Text, Width, MinWidth, MaxWidth, Alignment, Style, AllowClick
    // and FieldName.
    void Assign(TPersistent* Source) override;
    // The index, " - ", and Text (or the class name when Text is empty).
    String GetDisplayName() const override;

private:
    friend class TnvTreeHeaderControl;
    TAlignment FAlignment = taLeftJustify;
    bool FAllowClick = true;
    int FMaxWidth = MaxSectionWidth;
    int FMinWidth = 0;
    THeaderSectionStyle FStyle = hsText;
    String FText;
    int FWidth = 50;
    String FFieldName;
    int FImageIndex = -1;
    TAlignment FImageAlignment = taLeftJustify;
};

class TnvTreeHeaderSections : public TCollection {
    Q_OBJECT
public:
    explicit TnvTreeHeaderSections(TnvTreeHeaderControl* HeaderControl = nullptr);
    TnvTreeHeaderSection* Items(int Index) const { return ItemAs<TnvTreeHeaderSection>(this, Index); }
    TnvTreeHeaderSection* operator[](int Index) const { return Items(Index); }
    TnvTreeHeaderSection* Add() { return static_cast<TnvTreeHeaderSection*>(TCollection::Add()); }
    TnvTreeHeaderControl* HeaderControl() const { return FHeaderControl; }

protected:
    void Update(TCollectionItem* Item) override;
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

private:
    friend class TnvTreeHeaderSection;
    // A section finished its construction: the control can read it now.
    void SectionBuilt(TCollectionItem* Item);
    TnvTreeHeaderControl* FHeaderControl;
    // Sections still inside their constructors (not to be read yet).
    std::vector<TCollectionItem*> FBuilding;
};

// ---------------------------------------------------------------- the header control

class TnvTreeHeaderControl : public TNativeHeader {
    Q_OBJECT
public:
    explicit TnvTreeHeaderControl(TComponent* AOwner = nullptr);
    ~TnvTreeHeaderControl() override;

    TnvTreeHeaderSections* Sections() const { return FSections.get(); }
    void SetSections(TnvTreeHeaderSections* Value) { FSections->Assign(Value); }
    // Recreates the window.
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    TCustomImageList* Images() const { return FImages.data(); }
    void SetImages(TCustomImageList* Value);
    // Recreates the window.
    TnvTreeHeaderOptions Options() const { return FOptions; }
    void SetOptions(TnvTreeHeaderOptions Value);
    int HotSection() const { return FHotSection; }
    TnvTreeHeader* Header() const { return FHeader; }
    void SetHeader(TnvTreeHeader* Value) { FHeader = Value; }
    // The tree that uses this header; set and cleared by the tree, cleared
    // when the tree goes.
    TnvTreeHeaderClient* TreeView() const { return FTreeView; }
    void SetTreeView(TnvTreeHeaderClient* Value);
    TCanvas* ControlCanvas() const { return FControlCanvas.get(); }

    // The platform item of a section (width, text, format by alignment,
    // always owner-drawn).
    HDITEM SectionItem(int Index) const;
    // Sets one platform item (HDM_SETITEM), or deletes every platform item
    // and inserts one per section (HDM_INSERTITEM); only while the window
    // exists.
    void UpdateSection(int Index);
    void UpdateSections();

    // Rewrites every line of the tree's DisplayFields as the sections'
    // quoted field names (Text when FieldName is empty) joined by tabs, and
    // repaints the tree.
    virtual void UpdateDisplayFields();

    intptr_t Notify(NMHDR& Header) override;
    void WndProc(TMessage& Message) override;

protected:
    void CreateWnd() override;
    void Paint() override;
    void BoundsChanged(int OldWidth, int OldHeight) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void moveEvent(QMoveEvent* Event) override;
    // Draws one section on the platform's owner-draw request.
    void DrawItem(DRAWITEMSTRUCT& Draw);

private:
    unsigned WindowStyle() const;
    TnvTreeHeaderSection* SectionOf(int Item) const;
    void SetHotSection(int Value);
    bool CursorInItem(const TRect& Item) const;

    std::unique_ptr<TnvTreeHeaderSections> FSections;
    std::unique_ptr<TCanvas> FControlCanvas;
    bool FHotTrack = false;
    QPointer<TCustomImageList> FImages;
    TnvTreeHeaderOptions FOptions = nvDefaultTreeHeaderOptions;
    int FHotSection = -1;
    TnvTreeHeader* FHeader = nullptr;
    TnvTreeHeaderClient* FTreeView = nullptr;
    QPointer<TWinControl> FTreeControl;
    TPoint FMousePos{-1, -1}; // the last mouse position seen, -1 when outside
};

// ---------------------------------------------------------------- the panel

class TnvTreeHeader : public TCustomPanel {
    Q_OBJECT
    Q_PROPERTY(TnvTreeHeaderSections* Sections READ Sections WRITE SetSections)
    Q_PROPERTY(bool HotTrack READ HotTrack WRITE SetHotTrack)
    Q_PROPERTY(TCustomImageList* Images READ Images WRITE SetImages)
    Q_PROPERTY(nvTreeHeaderTypes::TnvTreeHeaderOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(bool DisableThemes READ DisableThemes WRITE SetDisableThemes)
    Q_PROPERTY(TnvHeaderDrawSectionEvent OnDrawSection MEMBER OnDrawSection)
    Q_PROPERTY(TnvHeaderSectionNotifyEvent OnSectionClick MEMBER OnSectionClick)
    Q_PROPERTY(TnvHeaderSectionNotifyEvent OnSectionResize MEMBER OnSectionResize)
    Q_PROPERTY(TnvHeaderSectionTrackEvent OnSectionTrack MEMBER OnSectionTrack)
    Q_PROPERTY(TnvHeaderSectionMoveEvent OnSectionMove MEMBER OnSectionMove)
    Q_PROPERTY(TnvSectionDragEvent OnSectionDrag MEMBER OnSectionDrag)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnResize MEMBER OnResize)
    Q_PROPERTY(TMouseEvent OnMouseDown READ HeaderMouseDown WRITE SetHeaderMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove READ HeaderMouseMove WRITE SetHeaderMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp READ HeaderMouseUp WRITE SetHeaderMouseUp)
public:
    Q_INVOKABLE explicit TnvTreeHeader(TComponent* AOwner = nullptr);
    ~TnvTreeHeader() override;

    TnvTreeHeaderControl* HeaderControl() const { return FHeaderControl; }
    TnvTreeHeaderSections* Sections() const { return FHeaderControl->Sections(); }
    // Copies the sections.
    void SetSections(TnvTreeHeaderSections* Value) { FHeaderControl->SetSections(Value); }
    bool HotTrack() const { return FHeaderControl->HotTrack(); }
    void SetHotTrack(bool Value) { FHeaderControl->SetHotTrack(Value); }
    TCustomImageList* Images() const { return FHeaderControl->Images(); }
    void SetImages(TCustomImageList* Value) { FHeaderControl->SetImages(Value); }
    TnvTreeHeaderOptions Options() const { return FHeaderControl->Options(); }
    void SetOptions(TnvTreeHeaderOptions Value) { FHeaderControl->SetOptions(Value); }
    bool DisableThemes() const { return FDisableThemes; }
    void SetDisableThemes(bool Value);

    // The header control's mouse events.
    TMouseEvent HeaderMouseDown() const { return FHeaderControl->OnMouseDown; }
    void SetHeaderMouseDown(const TMouseEvent& Value) { FHeaderControl->OnMouseDown = Value; }
    TMouseMoveEvent HeaderMouseMove() const { return FHeaderControl->OnMouseMove; }
    void SetHeaderMouseMove(const TMouseMoveEvent& Value) { FHeaderControl->OnMouseMove = Value; }
    TMouseEvent HeaderMouseUp() const { return FHeaderControl->OnMouseUp; }
    void SetHeaderMouseUp(const TMouseEvent& Value) { FHeaderControl->OnMouseUp = Value; }

    TnvHeaderDrawSectionEvent OnDrawSection;
    TnvHeaderSectionNotifyEvent OnSectionClick;
    TnvHeaderSectionNotifyEvent OnSectionResize;
    TnvHeaderSectionTrackEvent OnSectionTrack;
    TnvHeaderSectionMoveEvent OnSectionMove;
    TnvSectionDragEvent OnSectionDrag;

    // The notifications behind the events, in this order of declaration.
    virtual void DrawSection(TnvTreeHeaderSection* Section, const TRect& Rect, bool Pressed);
    virtual void SectionMove(TnvTreeHeaderSection* Section, int DragFrom, int DragTo, bool& AllowMove);
    virtual void SectionClick(TnvTreeHeaderSection* Section);
    virtual void SectionResize(TnvTreeHeaderSection* Section);
    virtual void SectionTrack(TnvTreeHeaderSection* Section, int Width, TSectionTrackState State);
    virtual void SectionDrag(TnvTreeHeaderSection* FromSection, TnvTreeHeaderSection* ToSection);

protected:
    void BoundsChanged(int OldWidth, int OldHeight) override;

private:
    TnvTreeHeaderControl* FHeaderControl;
    bool FDisableThemes = false;
};

void RegisterNvTreeHeaderClasses();
