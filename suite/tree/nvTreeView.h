// The suite's tree view: a sub-class of the native tree-view control
// (TNativeTreeView, "SysTreeView32") that keeps its nodes in a TnvTreeNodes
// store (nvTreeNodes.h) and draws every item itself through the native
// control's custom-draw cycle: tree lines and expand buttons (flat, raised or
// themed), check boxes and radio buttons, normal, overlay and state images,
// the text with hot-tracking and address styling, selection and
// multi-selection colours and the focus rectangle. The native control keeps
// the structure, scrolling, keyboard navigation and label editing; the
// control turns its notifications into the events below.
//
// Window: the options map to native style bits (TVS_*, WS_BORDER, the
// client edge) when the window is created and are changed on a live window.
// Destroying the window (RecreateWnd: BorderStyle, Color, Ctl3D, clearing
// StateImages) saves the whole tree in the node stream together with the
// first visible node, the selected node and the indent, and the new window
// reads it back; while the window is away no node exists.
//
// Geometry of a painted node (T = DisplayRect(true), I = the indent captured
// at the start of the paint, H = the row height):
//   button cell C: [T.Left - I, T.Left), moved left by Images.Width + 2 for a
//     node with an image and by the state slot width (StateImages.Width, or
//     16 for the blank list) for a node with a state image, then right by 1
//     for a node with an image;
//   centre of a rectangle: (Left + W/2, Top + H/2, + 1 when H/2 is odd);
//   line column X(node) = C.Left + 1 + min((H/2)/2 + 2, 6);
//   expand button: S = max(H/2, 8), h = S/2, the box [X - h, Y - h] to
//     [X + h + 1, Y + h + 1) (9 x 9 at H = 16);
//   check box: b = min((H/2)/2 + 2, 6), [C.Right + 1, cy - b] to
//     [C.Right + 2 + 2b, cy + b + 1) (13 x 13 at H = 16, 11 x 11 at H = 12).
#pragma once

#include <QPointer>
#include <QVariant>

#include <memory>
#include <vector>

#include "ExtCtrls.h"
#include "Forms.h"
#include "ImageList.h"
#include "NativeTreeView.h"
#include "nvCanvas.h"
#include "nvTreeNodes.h"

class TnvCustomTreeView;

namespace nvTreeViewTypes {
Q_NAMESPACE

enum TnvTreeViewOption {
    tvoExpandOnDblClk = 0x0001,
    tvoExpandButtons3D = 0x0002,
    tvoFlatCheckBoxes = 0x0004,
    tvoHideSelection = 0x0008,
    tvoRowSelect = 0x0010,
    tvoShowButtons = 0x0020,
    tvoShowLines = 0x0040,
    tvoShowRoot = 0x0080,
    tvoHotTrack = 0x0100,
    tvoAutoURL = 0x0200,
    tvoToolTips = 0x0400,
    tvoEditText = 0x0800,
    tvo3StateCheckbox = 0x1000,
};
Q_DECLARE_FLAGS(TnvTreeViewOptions, TnvTreeViewOption)
Q_FLAG_NS(TnvTreeViewOptions)

// The native custom-draw item state, bit for bit.
enum TnvItemState {
    nvisSelected = 0x001,
    nvisGrayed = 0x002,
    nvisDisabled = 0x004,
    nvisChecked = 0x008,
    nvisFocused = 0x010,
    nvisDefault = 0x020,
    nvisHot = 0x040,
    nvisMarked = 0x080,
    nvisIndeterminate = 0x100,
};
Q_DECLARE_FLAGS(TnvItemStates, TnvItemState)
Q_FLAG_NS(TnvItemStates)

enum TnvHitTest {
    nvhtAbove = 0x001,
    nvhtBelow = 0x002,
    nvhtNowhere = 0x004,
    nvhtOnItem = 0x008,
    nvhtOnButton = 0x010,
    nvhtOnIcon = 0x020,
    nvhtOnIndent = 0x040,
    nvhtOnLabel = 0x080,
    nvhtOnRight = 0x100,
    nvhtOnStateIcon = 0x200,
    nvhtToLeft = 0x400,
    nvhtToRight = 0x800,
};
Q_DECLARE_FLAGS(TnvHitTests, TnvHitTest)
Q_FLAG_NS(TnvHitTests)

// How a drag starts: by the program (dmManual) or by pressing and moving.
enum TDragMode { dmManual, dmAutomatic };
Q_ENUM_NS(TDragMode)

} // namespace nvTreeViewTypes
using namespace nvTreeViewTypes;
Q_DECLARE_OPERATORS_FOR_FLAGS(nvTreeViewTypes::TnvTreeViewOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(nvTreeViewTypes::TnvItemStates)
Q_DECLARE_OPERATORS_FOR_FLAGS(nvTreeViewTypes::TnvHitTests)

// The stored default of Options.
constexpr TnvTreeViewOptions nvDefaultTreeViewOptions = TnvTreeViewOptions::fromInt(1257);

// ---------------------------------------------------------------- events

using TnvTVChangedEvent = TEvent<TObject*, TnvTreeNode*>;
ZEN_EVENT_TYPE(TnvTVChangedEvent)
using TnvTVExpandedEvent = TnvTVChangedEvent;
using TnvToggleCheckboxEvent = TnvTVChangedEvent;
using TnvTVChangingEvent = TEvent<TObject*, TnvTreeNode*, bool&>;
ZEN_EVENT_TYPE(TnvTVChangingEvent)
using TnvTVExpandingEvent = TnvTVChangingEvent;
using TnvTVCollapsingEvent = TnvTVChangingEvent;
using TnvTVEditingEvent = TnvTVChangingEvent;
using TnvTVEditedEvent = TEvent<TObject*, TnvTreeNode*, String&>;
ZEN_EVENT_TYPE(TnvTVEditedEvent)
using TnvTVCompareEvent = TEvent<TObject*, TnvTreeNode*, TnvTreeNode*, intptr_t, int&>;
ZEN_EVENT_TYPE(TnvTVCompareEvent)
using TnvCalcNodeAttributesEvent = TEvent<TObject*, TnvTreeNode*, TnvItemStates>;
ZEN_EVENT_TYPE(TnvCalcNodeAttributesEvent)
using TnvTVDrawTextEvent = TEvent<TObject*, TnvTreeNode*, const TRect&, TnvItemStates, bool&>;
ZEN_EVENT_TYPE(TnvTVDrawTextEvent)
using TnvTreeMouseEvent = TEvent<TObject*, TnvTreeNode*, TMouseButton, TShiftState, int, int>;
ZEN_EVENT_TYPE(TnvTreeMouseEvent)
using TnvTreeMouseMoveEvent = TEvent<TObject*, TnvTreeNode*, TShiftState, int, int>;
ZEN_EVENT_TYPE(TnvTreeMouseMoveEvent)
// The node-notification hook: the tree, the node, the new value (text or
// image index, empty for creation and deletion) and the kind (nvnk*).
using TnvNodeNotifyEvent = TEvent<TnvCustomTreeView*, TnvTreeNode*, const QVariant&, int>;

// ---------------------------------------------------------------- multi-selection settings

class TnvTVMultiSelectAttributes : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(bool AutoUnselect READ AutoUnselect WRITE SetAutoUnselect)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(int MultiSelectLevel READ MultiSelectLevel WRITE SetMultiSelectLevel)
    Q_PROPERTY(bool MultiSelectCheckbox READ MultiSelectCheckbox WRITE SetMultiSelectCheckbox)
public:
    explicit TnvTVMultiSelectAttributes(TnvCustomTreeView* ATreeView = nullptr);
    TnvCustomTreeView* TreeView() const { return FTreeView; }

    bool AutoUnselect() const { return FAutoUnselect; }
    void SetAutoUnselect(bool Value) { FAutoUnselect = Value; }
    // Switching it off takes the reserved check-box slot from the nodes at a
    // multi-select level that have no check box of their own.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // The level whose nodes can be multi-selected; -1: every level.
    int MultiSelectLevel() const { return FMultiSelectLevel; }
    void SetMultiSelectLevel(int Value);
    // Multi-selectable nodes show a check box for their multi-selection.
    bool MultiSelectCheckbox() const { return FMultiSelectCheckbox; }
    void SetMultiSelectCheckbox(bool Value);

    // Copies Enabled, MultiSelectCheckbox and MultiSelectLevel through the setters.
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

private:
    TnvCustomTreeView* FTreeView;
    bool FAutoUnselect = true;
    bool FEnabled = false;
    int FMultiSelectLevel = 0;
    bool FMultiSelectCheckbox = true;
};

// ---------------------------------------------------------------- the hint of a truncated item

// Shows the whole text of a node whose text does not fit the control; an
// address (StringData under tvoAutoURL) is blue and underlined.
class TnvTreeHintWindow : public THintWindow {
    Q_OBJECT
public:
    explicit TnvTreeHintWindow(TComponent* AOwner = nullptr) : THintWindow(AOwner) {}
    TnvTreeNode* Node() const { return FNode; }
    void SetNode(TnvTreeNode* Value) { FNode = Value; }

protected:
    void Paint() override;

private:
    TnvTreeNode* FNode = nullptr;
};

// ---------------------------------------------------------------- the control

class TnvCustomTreeView : public TNativeTreeView {
    Q_OBJECT
public:
    explicit TnvCustomTreeView(TComponent* AOwner = nullptr);
    ~TnvCustomTreeView() override;

    // ---- properties
    bool AutoExpand() const { return FAutoExpand; }
    void SetAutoExpand(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    int ChangeDelay() const { return FChangeDelay; }
    void SetChangeDelay(int Value);
    bool DisableThemes() const { return FDisableThemes; }
    void SetDisableThemes(bool Value);
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* StateImages() const { return FStateImages; }
    void SetStateImages(TCustomImageList* Value);
    // The native indent per level.
    int Indent() const;
    void SetIndent(int Value);
    TColor InactiveFocusColor() const { return FInactiveFocusColor; }
    void SetInactiveFocusColor(TColor Value);
    TnvTreeNodes* Items() const { return FTreeNodes.get(); }
    void SetItems(TnvTreeNodes* Value);
    TColor LineColor() const { return FLineColor; }
    void SetLineColor(TColor Value);
    TnvTVMultiSelectAttributes* MultiSelectAttributes() const { return FMultiSelectAttributes.get(); }
    void SetMultiSelectAttributes(TnvTVMultiSelectAttributes* Value);
    TnvTreeViewOptions Options() const { return FOptions; }
    void SetOptions(TnvTreeViewOptions Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool RightClickSelects() const { return FRightClickSelects; }
    void SetRightClickSelects(bool Value) { FRightClickSelects = Value; }
    TnvSortType SortType() const { return FSortType; }
    void SetSortType(TnvSortType Value);
    bool StreamExpandedNode() const { return FStreamExpandedNode; }
    void SetStreamExpandedNode(bool Value) { FStreamExpandedNode = Value; }
    // Stored and read; painting is always off-screen.
    bool UsePaintBuffering() const { return FUsePaintBuffering; }
    void SetUsePaintBuffering(bool Value) { FUsePaintBuffering = Value; }

    // ---- state
    // The canvas every item is painted on (its target is the native paint).
    TnvCanvas* Canvas() const { return FCanvas.get(); }
    const TnvTreeNodeClass* NodeClass() const { return FNodeClass; }
    void SetNodeClass(const TnvTreeNodeClass* Value) { FNodeClass = Value; }
    // 0 until a stream of version 1 was read or written.
    int StreamVersion() const { return FStreamVersion; }
    void SetStreamVersion(int Value) { FStreamVersion = Value; }
    TTimer* ChangeTimer() const { return FChangeTimer.get(); }
    bool Clearing() const { return FClearing; }
    // The multi-selected nodes in the order they were selected, and the anchor.
    const std::vector<TnvTreeNode*>& MultiSelection() const { return FSelectedList; }
    TnvTreeNode* RangeAnchor() const { return FRangeAnchor; }
    // The indent captured at the start of the current paint.
    int PaintIndent() const { return FPaintIndent; }
    // Items painted in the current (or last) paint cycle.
    int PaintedItems() const { return FPaintedItems; }
    // The node and hit flags the mouse is over (themes only) and the pressed
    // raised expand button.
    TnvTreeNode* HotNode() const { return FHotNode; }
    TnvHitTests HotHitTest() const { return FHotHitTest; }
    TnvTreeNode* PressedButtonNode() const { return FPressedNode; }
    bool ButtonPressed() const { return FButtonPressed; }
    // The node under the mouse and the selected node at the last left press.
    TnvTreeNode* MouseDownNode() const { return FMouseDownNode; }
    TnvTreeNode* SelectedAtPress() const { return FSelectedAtPress; }
    // The node whose label is being edited.
    TnvTreeNode* EditNode() const { return FEditNode; }
    // The hint of a truncated item: its window, its 250 ms timer, the node it
    // was shown for (kept after the hint goes, until another node is
    // pointed at) and the ticks it has been shown.
    THintWindow* HintWindow() const { return FHintWindow; }
    TTimer* HintTimer() const { return FHintTimer.get(); }
    TnvTreeNode* HintNode() const { return FHintNode; }
    int HintTicks() const { return FHintTicks; }
    // The shared blank 16 x 16 state list used while StateImages is nil.
    static TCustomImageList* BlankImages();

    // ---- operations
    TnvTreeNode* Selected() const;
    void SetSelected(TnvTreeNode* Node);
    TnvTreeNode* TopItem() const;
    void SetTopItem(TnvTreeNode* Node);
    TnvTreeNode* DropTarget() const;
    void SetDropTarget(TnvTreeNode* Node);
    TnvTreeNode* GetNodeAt(int X, int Y);
    TnvHitTests GetHitTestInfoAt(int X, int Y);
    bool IsEditing() const;
    void FullExpand();
    void FullCollapse();
    bool AlphaSort();
    bool CustomSort(TnvTVCompare SortProc, intptr_t Data);
    // Invalidates the node's whole row without erasing (nothing for a node
    // that is not shown).
    void InvalidateNode(TnvTreeNode* Node);
    void UnselectAll(TnvTreeNode* Except);
    // Whether the node's level can be multi-selected, and whether it shows a
    // check box for its multi-selection.
    bool IsMultiSelectLevel(int Level) const;
    bool HasMultiSelectCheckbox(const TnvTreeNode* Node) const;
    // The node draws a state image, or a check box (painting rules).
    bool NodeHasStateImage(const TnvTreeNode* Node) const;
    bool NodeHasCheckbox(const TnvTreeNode* Node) const;
    // The button cell of a node with text rectangle T (painting geometry).
    TRect ButtonCell(const TnvTreeNode* Node, const TRect& T) const;
    // The state-image slot width (StateImages.Width, or 16).
    int StateSlotWidth() const;

    // ---- virtual operations, in slot order
    virtual TnvTreeNode* CreateNode();
    virtual void GetImageIndex(TnvTreeNode* Node);
    virtual void GetSelectedIndex(TnvTreeNode* Node);
    virtual void SetMultiSelected(TnvTreeNode* Node, bool Value, bool Redraw);
    virtual bool IsRowInClient(TnvTreeNode* Node, bool UseTop);
    virtual void DoDrawText(TnvTreeNode* Node, const TRect& ARect, TnvItemStates AItemState, bool& DefaultDrawing);
    virtual void DoCompare(TnvTreeNode* Node1, TnvTreeNode* Node2, int& Compare, intptr_t Data);
    virtual void DoCalcNodeAttributes(TnvTreeNode* Node, TnvItemStates State);
    virtual String GetDisplayText(TnvTreeNode* Node);
    virtual bool IsRowSelect() const;
    virtual void BeginPaintItems();
    virtual void EndPaintItems();
    virtual void BeforeDrawItem(TnvTreeNode* Node, const TRect& Rect, TnvItemStates State);
    virtual void DrawItem(TnvTreeNode* Node, const TRect& Rect, TnvItemStates State);
    virtual void AfterDrawItem(TnvTreeNode* Node);
    virtual void DoToggleCheckbox(TnvTreeNode* Node);
    virtual THintWindow* CreateHintWindow(TnvTreeNode* Node);
    virtual void HideHint();

    // ---- overridable notifications
    virtual bool CanEdit(TnvTreeNode* Node);
    virtual bool CanChange(TnvTreeNode* Node);
    virtual bool CanCollapse(TnvTreeNode* Node);
    virtual bool CanExpand(TnvTreeNode* Node);
    virtual void Change(TnvTreeNode* Node);
    virtual void Collapse(TnvTreeNode* Node);
    virtual void Delete(TnvTreeNode* Node);
    virtual void Edit(const TVITEM& Item);
    virtual void Expand(TnvTreeNode* Node);

    intptr_t Notify(NMHDR& Header) override;
    void WndProc(TMessage& Message) override;
    void Loaded() override;

    // ---- events
    TnvTVChangedEvent OnChange;
    TnvTVChangingEvent OnChanging;
    TnvTVExpandingEvent OnExpanding;
    TnvTVExpandedEvent OnExpanded;
    TnvTVCollapsingEvent OnCollapsing;
    TnvTVExpandedEvent OnCollapsed;
    TnvTVEditingEvent OnEditing;
    TnvTVEditedEvent OnEdited;
    TnvTVExpandedEvent OnDeletion;
    TnvTVCompareEvent OnCompare;
    TnvTVExpandedEvent OnGetImageIndex;
    TnvTVExpandedEvent OnGetSelectedIndex;
    TnvCalcNodeAttributesEvent OnCalcNodeAttributes;
    TnvTVDrawTextEvent OnDrawText;
    TnvToggleCheckboxEvent OnToggleCheckbox;
    TnvTreeMouseEvent OnMouseDown;
    TnvTreeMouseEvent OnMouseUp;
    TnvTreeMouseEvent OnDblClick;
    TnvTreeMouseMoveEvent OnMouseMove;
    TnvNodeNotifyEvent OnNodeNotify;

protected:
    void CreateWnd() override;
    void DestroyWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void ColorChanged() override;
    void FontChanged() override;
    void DoExit() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    // Toggling a check box or radio button by mouse or space key.
    void ToggleNodeCheck(TnvTreeNode* Node);
    // Multi-selection of a left press on Node (no anchor change).
    void MultiSelectByMouse(TnvTreeNode* Node, TShiftState Shift, int X, int Y);
    // The raised expand button follows the mouse from a press on it until
    // the release (the widget's implicit grab delivers the moves and the
    // release outside the control).
    void TrackExpandButton(TnvTreeNode* Node);
    // One message while a raised expand button is pressed; true when it was
    // handled.
    bool TrackButtonMessage(TMessage& Message);
    // The label editor's events pass the control first: its keys go to the
    // control's key handling (a key consumed there does not reach the
    // editor), and the editor of an image-less node is kept over the text.
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void HookEditor();
    // Shows the hint for a node whose text does not fit, on a mouse move.
    void CheckHint(TnvTreeNode* Node);
    void HintTimerTick(TObject* Sender);
    void PlaceEditor(TEdit* Edit);
    bool EditorEvent(QEvent* Event);
    // Whether the point lies on an expand button within Node's row.
    bool OnButtonOfRow(TnvTreeNode* Node, TPoint P);
    // Ends an edit inside Node's subtree (keeping the text); true then.
    bool EditingBlocks(TnvTreeNode* Node);

    // The node's hook with a value (text, image index) or none.
    void NodeNotify(TnvTreeNode* Node, const QVariant& Value, int Kind);
    // Sets up the native window (styles, colours, lists, saved tree).
    void InitNativeWindow();
    // The style bits the options give at creation.
    unsigned CreationStyle() const;
    void ChangeStyleBit(unsigned Bit, bool On);
    void ApplyImageLists();
    // OldGoing: the old list is being destroyed and is not touched.
    void ChangeImages(TCustomImageList* Value, bool OldGoing);
    void ChangeStateImages(TCustomImageList* Value, bool OldGoing);
    void ImageListDestroyed(QObject* List);
    // StateIndex applied again to every node (after a list change).
    void ReapplyStateIndexes();
    void ImageListChange(TObject* Sender);
    void ChangeTimerTick(TObject* Sender);

    // Painting parts.
    TPoint CentreOf(const TRect& R) const;
    int LineColumn(const TRect& Cell) const;
    void DrawLinesAndButton(TnvTreeNode* Node, const TRect& Cell, const TRect& Text, int H);
    void DrawExpandButton(TnvTreeNode* Node, int X, int Y, int H);
    void DrawImagesAndCheckbox(TnvTreeNode* Node, const TRect& Cell, TnvItemStates State, int H);

private:
    friend class TnvTreeNode;
    friend class TnvTreeNodes;
    friend class TnvTVMultiSelectAttributes;
    void NodeDestroying(TnvTreeNode* Node);
    void ExpandTopLevel(bool Expand);
    void ResetCheckStates();
    void MultiSelectDisabled();
    intptr_t CustomDraw(NMTVCUSTOMDRAW& Draw);

    std::unique_ptr<TnvCanvas> FCanvas;
    std::unique_ptr<TnvTreeNodes> FTreeNodes;
    std::unique_ptr<TnvTVMultiSelectAttributes> FMultiSelectAttributes;
    const TnvTreeNodeClass* FNodeClass;
    bool FAutoExpand = false;
    TBorderStyle FBorderStyle = bsSingle;
    int FChangeDelay = 0;
    bool FDisableThemes = false;
    TDragMode FDragMode = dmManual;
    // Lists can go while their owner destroys its components, without a
    // notification: their destruction is watched as well.
    QPointer<TCustomImageList> FImages;
    QPointer<TCustomImageList> FStateImages;
    QMetaObject::Connection FImagesGone;
    QMetaObject::Connection FStateImagesGone;
    TChangeLink FImageChangeLink;
    TChangeLink FStateChangeLink;
    TColor FInactiveFocusColor = clBtnFace;
    TColor FLineColor = clBtnShadow;
    TnvTreeViewOptions FOptions = nvDefaultTreeViewOptions;
    bool FReadOnly = false;
    bool FRightClickSelects = false;
    TnvSortType FSortType = nvstNone;
    bool FStreamExpandedNode = false;
    bool FUsePaintBuffering = false;
    int FStreamVersion = 0;
    std::unique_ptr<TTimer> FChangeTimer;
    TnvTreeNode* FChangeNode = nullptr;
    // The window state saved while the window is away.
    std::unique_ptr<TMemoryStream> FSaveItems;
    int FSaveTopIndex = -1;
    int FSaveIndex = -1;
    int FSaveIndent = -1;
    bool FDestroyingWindow = false;
    bool FClearing = false;
    int FManualNotify = 0; // expansions the nodes run themselves
    bool FPainting = false;
    int FPaintIndent = 0;
    int FPaintedItems = 0;
    std::vector<TnvTreeNode*> FSelectedList;
    TnvTreeNode* FRangeAnchor = nullptr;
    TnvTreeNode* FHotNode = nullptr;
    TnvHitTests FHotHitTest;
    TnvTreeNode* FPressedNode = nullptr;
    bool FButtonPressed = false;
    TnvTreeNode* FMouseDownNode = nullptr;
    TnvTreeNode* FSelectedAtPress = nullptr;
    bool FTrackingButton = false;
    QPointer<QObject> FHookedEditor; // the editor whose events the control sees
    bool FResendingChars = false;
    TPoint FRightPressPos;
    QPointer<THintWindow> FHintWindow;
    std::unique_ptr<TTimer> FHintTimer;
    TnvTreeNode* FHintNode = nullptr;
    int FHintTicks = 0;
    bool FNativeBeginDrag = false;
    TnvTreeNode* FBeginDragNode = nullptr;
    TnvTreeNode* FEditNode = nullptr;
    TnvTreeNode* FSavedDropTarget = nullptr;
    bool FRefuseExpansion = false;
};

class TnvTreeView : public TnvCustomTreeView {
    Q_OBJECT
    Q_CLASSINFO("AlwaysStored", "Indent")
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool AutoExpand READ AutoExpand WRITE SetAutoExpand)
    Q_PROPERTY(ControlsTypes::TBiDiMode BiDiMode READ BiDiMode WRITE SetBiDiMode)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(int ChangeDelay READ ChangeDelay WRITE SetChangeDelay)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Ctl3D READ Ctl3D WRITE SetCtl3D)
    Q_PROPERTY(bool DisableThemes READ DisableThemes WRITE SetDisableThemes)
    Q_PROPERTY(nvTreeViewTypes::TDragMode DragMode READ DragMode WRITE SetDragMode)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(TCustomImageList* Images READ Images WRITE SetImages)
    Q_PROPERTY(TColor InactiveFocusColor READ InactiveFocusColor WRITE SetInactiveFocusColor)
    Q_PROPERTY(int Indent READ Indent WRITE SetIndent)
    Q_PROPERTY(TnvTreeNodes* Items READ Items WRITE SetItems)
    Q_PROPERTY(TColor LineColor READ LineColor WRITE SetLineColor)
    Q_PROPERTY(TnvTVMultiSelectAttributes* MultiSelectAttributes READ MultiSelectAttributes WRITE
                   SetMultiSelectAttributes)
    Q_PROPERTY(nvTreeViewTypes::TnvTreeViewOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(bool ParentBiDiMode READ ParentBiDiMode WRITE SetParentBiDiMode)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentCtl3D READ ParentCtl3D WRITE SetParentCtl3D)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool RightClickSelects READ RightClickSelects WRITE SetRightClickSelects)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(nvTreeNodesTypes::TnvSortType SortType READ SortType WRITE SetSortType)
    Q_PROPERTY(TCustomImageList* StateImages READ StateImages WRITE SetStateImages)
    Q_PROPERTY(bool StreamExpandedNode READ StreamExpandedNode WRITE SetStreamExpandedNode)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool UsePaintBuffering READ UsePaintBuffering WRITE SetUsePaintBuffering)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TnvTVChangedEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TnvTVChangingEvent OnChanging MEMBER OnChanging)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TnvTVExpandedEvent OnCollapsed MEMBER OnCollapsed)
    Q_PROPERTY(TnvTVCollapsingEvent OnCollapsing MEMBER OnCollapsing)
    Q_PROPERTY(TnvTVCompareEvent OnCompare MEMBER OnCompare)
    Q_PROPERTY(TnvCalcNodeAttributesEvent OnCalcNodeAttributes MEMBER OnCalcNodeAttributes)
    Q_PROPERTY(TnvTreeMouseEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TnvTVExpandedEvent OnDeletion MEMBER OnDeletion)
    Q_PROPERTY(TnvTVDrawTextEvent OnDrawText MEMBER OnDrawText)
    Q_PROPERTY(TnvTVEditedEvent OnEdited MEMBER OnEdited)
    Q_PROPERTY(TnvTVEditingEvent OnEditing MEMBER OnEditing)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TnvTVExpandedEvent OnExpanded MEMBER OnExpanded)
    Q_PROPERTY(TnvTVExpandingEvent OnExpanding MEMBER OnExpanding)
    Q_PROPERTY(TnvTVExpandedEvent OnGetImageIndex MEMBER OnGetImageIndex)
    Q_PROPERTY(TnvTVExpandedEvent OnGetSelectedIndex MEMBER OnGetSelectedIndex)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TnvTreeMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TnvTreeMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TnvTreeMouseEvent OnMouseUp MEMBER OnMouseUp)
    Q_PROPERTY(TnvToggleCheckboxEvent OnToggleCheckbox MEMBER OnToggleCheckbox)
public:
    Q_INVOKABLE explicit TnvTreeView(TComponent* AOwner = nullptr) : TnvCustomTreeView(AOwner) {}
};

// Registers the tree view and its sub-objects with the class registry.
void RegisterNvTreeViewClasses();
