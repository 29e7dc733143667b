// ComCtrls: page controls with tab sheets, up-down buttons, progress bars
// and status bars, all painted by us in the classic look.
//
// Page control. The tabs of the sheets whose TabVisible is set run along one
// side of the control (TabPosition); the rest is the page area, framed by a
// raised edge, in which only the active sheet shows. A page control whose
// sheets all have TabVisible false draws no tabs and takes the whole control
// for the page area; its pages change only by program. Sheets are child
// controls of the page control (so they nest inside it in form files) and
// are aligned to the page area, which lies 4 pixels inside the frame.
//
// Tab geometry: a tab is the caption's width plus 12 pixels wide (TabWidth
// when set; plus the image and 3 pixels when the control has Images) and the
// font's line height plus 5 pixels high (TabHeight when set). The selected
// tab stands 2 pixels out on each side and touches the page area. With
// MultiLine, tabs that do not fit wrap into rows which fill the width, and
// the row of the selected tab moves next to the page area; without it, arrow
// buttons scroll a single row. Tabs on the left or right always wrap and
// show their captions turned.
#pragma once

#include <memory>
#include <vector>

#include "Controls.h"
#include "DB.h"
#include "Forms.h"
#include "ImageList.h"
#include "Menus.h"

class TPageControl;
class TStatusBar;
class TStatusPanel;

namespace ComCtrlsTypes {
Q_NAMESPACE

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
Q_ENUM_NS(TTabPosition)

enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };
Q_ENUM_NS(TTabStyle)

enum TUDAlignButton { udLeft, udRight };
Q_ENUM_NS(TUDAlignButton)

enum TUDOrientation { udHorizontal, udVertical };
Q_ENUM_NS(TUDOrientation)

// Which button of an up-down was clicked: btNext increases the position.
enum TUDBtnType { btNext, btPrev };
Q_ENUM_NS(TUDBtnType)

enum TProgressBarOrientation { pbHorizontal, pbVertical };
Q_ENUM_NS(TProgressBarOrientation)

enum TStatusPanelStyle { psText, psOwnerDraw };
Q_ENUM_NS(TStatusPanelStyle)

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
Q_ENUM_NS(TStatusPanelBevel)

} // namespace ComCtrlsTypes
using namespace ComCtrlsTypes;

// OnChanging of page controls and up-downs: set AllowChange false to refuse.
using TTabChangingEvent = TCloseQueryEvent;
using TUDChangingEvent = TCloseQueryEvent;
using TUDClickEvent = TEvent<TObject*, TUDBtnType>;
ZEN_EVENT_TYPE(TUDClickEvent)
// Paints an owner-drawn status panel in Rect (inside the panel's bevel).
using TStatusBarDrawPanelEvent = TEvent<TStatusBar*, TStatusPanel*, const TRect&>;

// ---------------------------------------------------------------- tab sheets

class TTabSheet : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(bool Highlighted READ Highlighted WRITE SetHighlighted)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
    Q_PROPERTY(int PageIndex READ PageIndex WRITE SetPageIndex STORED false)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool TabVisible READ TabVisible WRITE SetTabVisible)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TNotifyEvent OnHide MEMBER OnHide)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
    Q_PROPERTY(TNotifyEvent OnResize MEMBER OnResize)
    Q_PROPERTY(TNotifyEvent OnShow MEMBER OnShow)
public:
    explicit TTabSheet(TComponent* AOwner = nullptr);
    ~TTabSheet() override;

    // The page control the sheet is a page of (its parent), or null.
    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    // The sheet's place among the pages (-1 without a page control);
    // setting it moves the sheet and its tab.
    int PageIndex() const;
    void SetPageIndex(int Value);
    // The index of the sheet's tab among the shown tabs, or -1.
    int TabIndex() const;
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // A highlighted tab draws in clHighlight.
    bool Highlighted() const { return FHighlighted; }
    void SetHighlighted(bool Value);

    void SetParent(TWinControl* AParent) override;
    // The page control places its sheets: their bounds are not stored.
    bool IsPropertyStored(const char* Name) const override;

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    void VisibleChanged() override;
    void TextChanged() override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    bool FHighlighted = false;
    int FImageIndex = -1;
};

// ---------------------------------------------------------------- page control

class TPageControl : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(TTabSheet* ActivePage READ ActivePage WRITE SetActivePage)
    Q_PROPERTY(int ActivePageIndex READ ActivePageIndex WRITE SetActivePageIndex STORED false)
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool HotTrack READ HotTrack WRITE SetHotTrack)
    Q_PROPERTY(TCustomImageList* Images READ Images WRITE SetImages)
    Q_PROPERTY(bool MultiLine READ MultiLine WRITE SetMultiLine)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(ComCtrlsTypes::TTabStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(int TabHeight READ TabHeight WRITE SetTabHeight)
    Q_PROPERTY(int TabIndex READ TabIndex WRITE SetTabIndex STORED false)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(ComCtrlsTypes::TTabPosition TabPosition READ TabPosition WRITE SetTabPosition)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(int TabWidth READ TabWidth WRITE SetTabWidth)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TTabChangingEvent OnChanging MEMBER OnChanging)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
    Q_PROPERTY(TNotifyEvent OnResize MEMBER OnResize)
public:
    explicit TPageControl(TComponent* AOwner = nullptr);
    ~TPageControl() override;

    // ---- pages
    int PageCount() const { return static_cast<int>(FPages.size()); }
    // EListError for a bad index.
    TTabSheet* Pages(int Index) const;
    // The page after (GoForward) or before CurPage, wrapping around, skipping
    // sheets without a tab when CheckTabVisible; CurPage null starts at the
    // end (forward) or the beginning. Null when there is no such page.
    TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const;
    // Moves to that page as a click on its tab does: OnChanging may refuse,
    // OnChange follows.
    void SelectNextPage(bool GoForward, bool CheckTabVisible = true);

    // The sheet that shows (null: none). Setting it shows that sheet and
    // hides the others without OnChanging and OnChange; a sheet of another
    // page control is ignored.
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const;
    // -1 hides every page; EListError for an index beyond the pages.
    void SetActivePageIndex(int Value);

    // ---- tabs
    // The number of shown tabs and the sheet of tab Index.
    int TabCount() const;
    TTabSheet* TabSheet(int TabIndex) const;
    // The tab of the active page, or -1; setting it shows the page of that
    // tab (as ActivePage does).
    int TabIndex() const;
    void SetTabIndex(int Value);
    // A tab's rectangle (client coordinates; empty for a tab scrolled away)
    // and the tab at a point (-1: none).
    TRect TabRect(int TabIndex);
    int IndexOfTabAt(int X, int Y);
    // The rectangle the sheets fill.
    TRect DisplayRect();
    // The number of tab rows.
    int RowCount();

    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    TTabStyle Style() const { return FStyle; }
    void SetStyle(TTabStyle Value);
    // 0: from the font. Negative values raise EInvalidOperation.
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int Value);
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition Value);

    void AdjustClientRect(TRect& Rect) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;

protected:
    // OnChanging: whether the active page may change now.
    virtual bool CanChange();
    // OnChange, after the user changed the page.
    virtual void Change();
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    bool WantsKey(Word Key, TShiftState Shift) override;
    void BoundsChanged(int OldWidth, int OldHeight) override;
    void FontChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TTabSheet;
    struct TTabInfo {
        TTabSheet* Sheet = nullptr;
        TRect Rect;     // where the tab is drawn (not selected)
        int Row = 0;    // 0 = next to the page area
        bool Shown = true;
    };
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void MovePage(TTabSheet* Page, int NewIndex);
    void ChangeActivePage(TTabSheet* Page);
    void TabsChanged();
    void Layout();
    bool Vertical() const { return FTabPosition == tpLeft || FTabPosition == tpRight; }
    int TabThickness();
    int TabLength(TTabSheet* Sheet);
    TRect ToClient(const TRect& R) const;
    TRect PaneRect();
    void DrawTab(TCanvas* C, const TTabInfo& Tab, bool Selected);
    void DrawTabCaption(TCanvas* C, const TTabInfo& Tab, TRect R, bool Selected);
    void DrawScrollButtons(TCanvas* C);
    TRect ScrollButtonRect(bool Next);

    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    bool FHotTrack = false;
    TCustomImageList* FImages = nullptr;
    std::unique_ptr<TChangeLink> FImageChangeLink;
    bool FMultiLine = false;
    TTabStyle FStyle = tsTabs;
    int FTabHeight = 0;
    int FTabWidth = 0;
    TTabPosition FTabPosition = tpTop;
    // Layout
    bool FLayoutValid = false;
    std::vector<TTabInfo> FTabs;
    int FRows = 0;
    int FTabArea = 0; // thickness of the tab rows along their side
    int FFirstTab = 0;
    bool FScrollable = false;
    int FHotTab = -1;
};

// ---------------------------------------------------------------- up-down

// Two arrow buttons that step Position between Min and Max by Increment,
// repeating while held. An Associate control shows the position as its text
// (with thousands separators when Thousands) and is read back before each
// step; the up-down sits beside it.
class TUpDown : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(ComCtrlsTypes::TUDAlignButton AlignButton READ AlignButton WRITE SetAlignButton)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool ArrowKeys READ ArrowKeys WRITE SetArrowKeys)
    Q_PROPERTY(TWinControl* Associate READ Associate WRITE SetAssociate)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int Increment READ Increment WRITE SetIncrement)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(ComCtrlsTypes::TUDOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Thousands READ Thousands WRITE SetThousands)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(bool Wrap READ Wrap WRITE SetWrap)
    Q_PROPERTY(TUDChangingEvent OnChanging MEMBER OnChanging)
    Q_PROPERTY(TUDClickEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    explicit TUpDown(TComponent* AOwner = nullptr);
    ~TUpDown() override;

    TUDAlignButton AlignButton() const { return FAlignButton; }
    void SetAlignButton(TUDAlignButton Value);
    bool ArrowKeys() const { return FArrowKeys; }
    void SetArrowKeys(bool Value) { FArrowKeys = Value; }
    // Setting an associate (not while the form is read) places the up-down
    // beside it, narrowing the associate by the up-down's width, and shows
    // the position in it. The up-down itself cannot be its associate, nor
    // can a control of another parent (EInvalidOperation).
    TWinControl* Associate() const { return FAssociate; }
    void SetAssociate(TWinControl* Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Min() const { return FMin; }
    void SetMin(int Value);
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);
    // Kept between Min and Max.
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    bool Thousands() const { return FThousands; }
    void SetThousands(bool Value);
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value) { FWrap = Value; }

    // What a click on a button does: reads the associate, asks OnChanging,
    // steps (wrapping or stopping at the ends), updates the associate, then
    // calls OnClick.
    virtual void Click(TUDBtnType Button);
    // The button under a client point.
    TUDBtnType ButtonAt(TPoint P) const;
    // Whether a button is held down now.
    bool ButtonDown() const { return FPressed; }

    void Loaded() override;
    void WndProc(TMessage& Message) override;

    TUDChangingEvent OnChanging;
    TUDClickEvent OnClick;

protected:
    virtual bool CanChange();
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    bool WantsKey(Word Key, TShiftState Shift) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void UpdateAssociateText();
    void ReadAssociateText();
    void PlaceBesideAssociate();
    TRect ButtonRect(TUDBtnType Button) const;

    TUDAlignButton FAlignButton = udRight;
    bool FArrowKeys = true;
    TWinControl* FAssociate = nullptr;
    int FIncrement = 1;
    int FMax = 100;
    int FMin = 0;
    TUDOrientation FOrientation = udVertical;
    int FPosition = 0;
    bool FThousands = true;
    bool FWrap = false;
    bool FPressed = false;
    bool FMouseOver = false;
    TUDBtnType FPressedButton = btNext;
};

// ---------------------------------------------------------------- progress bar

class TProgressBar : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(ComCtrlsTypes::TProgressBarOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool Smooth READ Smooth WRITE SetSmooth)
    Q_PROPERTY(int Step READ Step WRITE SetStep)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    explicit TProgressBar(TComponent* AOwner = nullptr);
    ~TProgressBar() override;

    // Setting Min above Max (or Max below Min) raises EInvalidOperation once
    // the form is read; the position is kept inside the range.
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    void SetRange(int AMin, int AMax);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Step() const { return FStep; }
    void SetStep(int Value) { FStep = Value; }
    TProgressBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TProgressBarOrientation Value);
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool Value);

    // Adds Step; past Max the position starts again from Min.
    void StepIt();
    // Adds Delta, stopping at Min and Max.
    void StepBy(int Delta);

    void Loaded() override;

protected:
    void Paint() override;

private:
    void CheckRange(int AMin, int AMax) const;
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FStep = 10;
    TProgressBarOrientation FOrientation = pbHorizontal;
    bool FSmooth = false;
};

// ---------------------------------------------------------------- status bar

class TStatusPanel : public TCollectionItem {
    Q_OBJECT
    Q_PROPERTY(DBTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(ComCtrlsTypes::TStatusPanelBevel Bevel READ Bevel WRITE SetBevel)
    Q_PROPERTY(ComCtrlsTypes::TStatusPanelStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(String Text READ Text WRITE SetText)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
public:
    explicit TStatusPanel(TCollection* ACollection = nullptr);
    ~TStatusPanel() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel Value);
    TStatusPanelStyle Style() const { return FStyle; }
    void SetStyle(TStatusPanelStyle Value);
    const String& Text() const { return FText; }
    void SetText(const String& Value);
    // Pixels; negative values raise EInvalidOperation.
    int Width() const { return FWidth; }
    void SetWidth(int Value);

    void Assign(TPersistent* Source) override;
    String GetDisplayName() const override;

private:
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelBevel FBevel = pbLowered;
    TStatusPanelStyle FStyle = psText;
    String FText;
    int FWidth = 50;
};

class TStatusPanels : public TCollection {
    Q_OBJECT
public:
    explicit TStatusPanels(TStatusBar* StatusBar = nullptr);
    TStatusPanel* Items(int Index) const { return ItemAs<TStatusPanel>(this, Index); }
    TStatusPanel* operator[](int Index) const { return Items(Index); }
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TStatusBar* FStatusBar;
};

// A bar of panels along the bottom of a form (aligned to the bottom when
// made). Each panel is its Width wide; the last one takes the rest of the
// bar. SimplePanel shows SimpleText across the whole bar instead. SizeGrip
// draws the grip at the right end while the bar's form can be resized.
class TStatusBar : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(TStatusPanels* Panels READ Panels WRITE SetPanels)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool SimplePanel READ SimplePanel WRITE SetSimplePanel)
    Q_PROPERTY(String SimpleText READ SimpleText WRITE SetSimpleText)
    Q_PROPERTY(bool SizeGrip READ SizeGrip WRITE SetSizeGrip)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TStatusBarDrawPanelEvent OnDrawPanel MEMBER OnDrawPanel)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
    Q_PROPERTY(TNotifyEvent OnResize MEMBER OnResize)
public:
    explicit TStatusBar(TComponent* AOwner = nullptr);
    ~TStatusBar() override;

    TStatusPanels* Panels() const { return FPanels.get(); }
    void SetPanels(TStatusPanels* Value) { FPanels->Assign(Value); }
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const String& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const String& Value);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);

    // The rectangle of panel Index, including its bevel (empty for a bad
    // index or in simple mode), and the panel at a point (-1: none).
    TRect PanelRect(int Index) const;
    int PanelAt(TPoint P) const;
    // Whether the size grip shows now.
    bool ShowsSizeGrip() const;

    TStatusBarDrawPanelEvent OnDrawPanel;

protected:
    friend class TStatusPanels;
    void Paint() override;
    // Paints an owner-drawn panel: calls OnDrawPanel with the canvas ready.
    virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);

private:
    std::unique_ptr<TStatusPanels> FPanels;
    bool FSimplePanel = false;
    String FSimpleText;
    bool FSizeGrip = true;
};

ZEN_EVENT_TYPE(TStatusBarDrawPanelEvent)

void RegisterComCtrlsClasses();
