// The status bar: a bar of self-drawing panels that keep themselves up to
// date. Each panel has a style that decides what it shows (plain text, a
// hosted control, the state of a lock key, the date and time, an image with
// text, the caret position of a rich edit, the application's hint, the user
// or computer name) and draws its text through a text-effects object
// (TextOptions). Widths are pixels ("120") or a share of the space that the
// fixed panels leave ("25%").
//
// The bar keeps the model of a native status window: parts given by their
// right edges (-1 reaches the right border), a text and drawing flags per
// part, the simple mode with its own text, part rectangles two pixels below
// the top with two pixels between parts, a one-pixel bevel per part and the
// size grip in the bottom-right corner. Every part is owner-drawn: the bar
// paints the bevel and hands the rectangle inside it to the panel.
//
// Three timers keep panels current (clock 200 / 1000 ms, hint 300 / 100 ms,
// rich-edit caret 400 / 100 ms); they run only while a panel needs them. One
// keyboard hook, shared by all bars, repaints the key-state panels when Caps
// Lock, Insert, Num Lock or Scroll Lock is pressed or released.
#pragma once

#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

#include "Controls.h"
#include "DateTime.h"
#include "ImageList.h"
#include "Menus.h"

#include "nvCollection.h"
#include "nvtext.h"

class TnvCustomStatusBar;
class TnvStatusPanel;
class TnvStatusPanels;

namespace nvStatusBarTypes {
Q_NAMESPACE

enum TnvStatusPanelStyle {
    psTextOnly,
    psControl,
    psOverWrite,
    psCapsLock,
    psNumLock,
    psDateTime,
    psDate,
    psTime,
    psGlyph,
    psRichEditStatus,
    psHint,
    psUserName,
    psComputerName,
    psScrollLock,
    psHintContainerOnly
};
Q_ENUM_NS(TnvStatusPanelStyle)

enum TnvStatusPanelBevel { pbNone, pbLowered, pbRaised };
Q_ENUM_NS(TnvStatusPanelBevel)

} // namespace nvStatusBarTypes
using namespace nvStatusBarTypes;

using TnvDrawTextEvent = TEvent<TnvStatusPanel*, String&, bool&>;
ZEN_EVENT_TYPE(TnvDrawTextEvent)
using TnvPanelTextChangedEvent = TEvent<TObject*, const String&>;
ZEN_EVENT_TYPE(TnvPanelTextChangedEvent)
using TDrawPanelEvent = TEvent<TnvCustomStatusBar*, TnvStatusPanel*, const TRect&>;
ZEN_EVENT_TYPE(TDrawPanelEvent)
using TDrawKeyboardStateEvent = TEvent<TnvCustomStatusBar*, TnvStatusPanel*, bool, TRect&, String&>;
ZEN_EVENT_TYPE(TDrawKeyboardStateEvent)

// Timer identifiers and periods of the bar.
constexpr int nvClockTimerId = 200;
constexpr int nvClockTimerInterval = 1000;
constexpr int nvHintTimerId = 300;
constexpr int nvHintTimerInterval = 100;
constexpr int nvRichEditTimerId = 400;
constexpr int nvRichEditTimerInterval = 100;

// Drawing flags of a native part's text.
enum : unsigned {
    SBT_OWNERDRAW = 0x1000,
    SBT_NOBORDERS = 0x0100,
    SBT_POPOUT = 0x0200,
};
// The part number of the simple mode's text.
constexpr int SB_SIMPLEID = 255;
// At most this many parts go to the native bar.
constexpr int nvMaxStatusParts = 128;

// The clock the clock panels read (Now by default). Tests and demonstrations
// may put another in; an empty function restores the system clock.
void SetStatusBarClock(std::function<TDateTime()> Clock);
TDateTime StatusBarNow();

// The user's and the computer's name as the platform reports them; false
// when it cannot.
bool GetPlatformUserName(String& Name);
bool GetPlatformComputerName(String& Name);

// ---------------------------------------------------------------- TnvStatusBarText

// The texts of the key-state panels. Each change invalidates the bar.
class TnvStatusBarText : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(String CapsLock READ CapsLock WRITE SetCapsLock)
    Q_PROPERTY(String Overwrite READ Overwrite WRITE SetOverwrite)
    Q_PROPERTY(String NumLock READ NumLock WRITE SetNumLock)
    Q_PROPERTY(String ScrollLock READ ScrollLock WRITE SetScrollLock)
public:
    explicit TnvStatusBarText(TnvCustomStatusBar* StatusBar = nullptr);

    const String& CapsLock() const { return FCapsLock; }
    void SetCapsLock(const String& Value) { SetString(FCapsLock, Value); }
    const String& Overwrite() const { return FOverwrite; }
    void SetOverwrite(const String& Value) { SetString(FOverwrite, Value); }
    const String& NumLock() const { return FNumLock; }
    void SetNumLock(const String& Value) { SetString(FNumLock, Value); }
    const String& ScrollLock() const { return FScrollLock; }
    void SetScrollLock(const String& Value) { SetString(FScrollLock, Value); }

    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

private:
    void SetString(String& Field, const String& Value);
    TnvCustomStatusBar* FStatusBar;
    String FCapsLock = "Caps";
    String FOverwrite = "Overwrite";
    String FNumLock = "Num";
    String FScrollLock = "Scroll";
};

// ---------------------------------------------------------------- TnvStatusPanel

class TnvStatusPanel : public TnvCollectionItem {
    Q_OBJECT
    Q_CLASSINFO("AlwaysStored", "Width")
    Q_PROPERTY(nvStatusBarTypes::TnvStatusPanelBevel Bevel READ Bevel WRITE SetBevel)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(QObject* Component READ ComponentObject WRITE SetComponentObject)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
    Q_PROPERTY(int Indent READ Indent WRITE SetIndent)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(String Name READ Name WRITE SetName)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(nvStatusBarTypes::TnvStatusPanelStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
    Q_PROPERTY(String Text READ Text WRITE SetText)
    Q_PROPERTY(TnvCaptionText* TextOptions READ TextOptions WRITE SetTextOptions)
    Q_PROPERTY(String Width READ Width WRITE SetWidth)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TnvDrawTextEvent OnDrawText MEMBER OnDrawText)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
    Q_PROPERTY(TnvPanelTextChangedEvent OnTextChanged MEMBER OnTextChanged)
public:
    Q_INVOKABLE explicit TnvStatusPanel(TCollection* ACollection = nullptr);
    ~TnvStatusPanel() override;

    // ---- properties
    TnvStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TnvStatusPanelBevel Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TComponent* Component() const { return FComponentGuard ? FComponent : nullptr; }
    // The bar itself: EInvalidOperation "Control cannot equal parent StatusBar".
    void SetComponent(TComponent* Value);
    // As published: the component as an object.
    QObject* ComponentObject() const { return Component() ? Component()->AsObject() : nullptr; }
    void SetComponentObject(QObject* Value) { SetComponent(dynamic_cast<TComponent*>(Value)); }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    const String& Name() const { return FName; }
    // A name another panel of the bar has: EInvalidOperation "A panel named
    // %s already exists.".
    void SetName(const String& Value);
    TPopupMenu* PopupMenu() const { return FPopupMenu.data(); }
    void SetPopupMenu(TPopupMenu* Value);
    TnvStatusPanelStyle Style() const { return FStyle; }
    void SetStyle(TnvStatusPanelStyle Value);
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    const String& Text() const { return FText; }
    void SetText(const String& Value);
    TnvCaptionText* TextOptions() const { return FTextOptions.get(); }
    void SetTextOptions(TnvCaptionText* Value) { FTextOptions->Assign(Value); }
    const String& Width() const { return FWidth; }
    // An integer, or an integer followed by "%"; anything else raises
    // EInvalidOperation with the width message.
    void SetWidth(const String& Value);

    // ---- state
    // The width the last layout gave the panel.
    int PixelWidth() const { return FPixelWidth; }
    // The part rectangle of the last paint (bar client coordinates).
    const TRect& PaintRect() const { return FPaintRect; }
    TCanvas* Canvas() const { return FCanvas; }
    bool LastEnabled() const { return FLastEnabled; }
    TDateTime LastClockValue() const { return FLastClockValue; }
    int LineNo() const { return FLineNo; }
    int ColNo() const { return FColNo; }

    TnvStatusPanels* Panels() const;
    TnvCustomStatusBar* GetStatusBar() const;

    // ---- operations
    virtual void UniquePanelName(String& Name);
    virtual bool IsWidthStored() const;
    virtual void FontChanged();
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual bool IsTextEnabled();
    virtual void TextSizeChanged();
    // Sets the clock text; true when Text changed.
    virtual bool UpdateClockText();
    virtual void Paint(TCanvas* ACanvas, const TRect& ARect);
    virtual void PaintControl();
    virtual void PaintGlyph();
    virtual void PaintKeyState();
    virtual void PaintHint();
    virtual void PaintUserName();
    virtual void PaintComputerName();
    virtual void PaintRichEditStatus();
    virtual void DrawPanelText(const String& AText, const TRect& ARect, bool AEnabled);
    // A point in panel coordinates to the screen, through the part rectangle.
    virtual TPoint PanelToScreen(TPoint P);
    // The native part rectangle.
    virtual void GetPanelRect(TRect& R);
    // Paints the panel at once through an off-screen picture.
    virtual void RepaintPanel();
    // The rich-edit caret update of the rich-edit timer.
    void UpdateRichEditPosition();

    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void TextChanged(const String& AText);

    void Assign(TPersistent* Source) override;
    String GetDisplayName() const override;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TnvDrawTextEvent OnDrawText;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TnvPanelTextChangedEvent OnTextChanged;

protected:
    // The item's change notification for this item alone.
    void PanelChanged();
    // Stores the style without the timer handling.
    void SetStylePlain(TnvStatusPanelStyle Value) { FStyle = Value; }
    TControl* HostedControl() const;
    // Takes the hosted control away from every other panel of every bar.
    void ReleaseFromOtherPanels();

private:
    friend class TnvCustomStatusBar;
    TnvStatusPanelBevel FBevel = nvStatusBarTypes::pbLowered;
    TColor FColor = clBtnFace;
    TComponent* FComponent = nullptr;
    QPointer<QObject> FComponentGuard;
    bool FEnabled = true;
    std::unique_ptr<TFont> FFont;
    String FHint;
    int FImageIndex = 0;
    int FIndent = 0;
    int FMargin = 0;
    String FName;
    QPointer<TPopupMenu> FPopupMenu;
    // The menu as a component, for comparisons while it is being destroyed.
    const TComponent* FPopupMenuComponent = nullptr;
    TnvStatusPanelStyle FStyle = psTextOnly;
    int FTag = 0;
    String FText;
    std::unique_ptr<TnvCaptionText> FTextOptions;
    String FWidth = "50";
    int FPixelWidth = 50;
    TCanvas* FCanvas = nullptr;
    TRect FPaintRect;
    bool FLastEnabled = true;
    bool FInDrawText = false;
    TDateTime FLastClockValue = 0;
    int FLineNo = 0;
    int FColNo = 0;
};

// ---------------------------------------------------------------- TnvStatusPanels

class TnvStatusPanels : public TnvCollection {
    Q_OBJECT
public:
    explicit TnvStatusPanels(TnvCustomStatusBar* StatusBar = nullptr,
                             const TMetaClass* ItemClass = ClassOf<TnvStatusPanel>());

    TnvStatusPanel* Items(int Index) const { return static_cast<TnvStatusPanel*>(TCollection::Items(Index)); }
    TnvStatusPanel* operator[](int Index) const { return Items(Index); }
    TnvStatusPanel* Add() { return static_cast<TnvStatusPanel*>(TCollection::Add()); }
    TnvCustomStatusBar* StatusBar() const { return FStatusBar; }
    // The panel named exactly Name (case-sensitive), or null.
    TnvStatusPanel* FindPanel(const String& Name) const;
    // Repaints every panel of the style, in index order.
    void RepaintStyle(TnvStatusPanelStyle Style);

protected:
    void Update(TCollectionItem* Item) override;

private:
    TnvCustomStatusBar* FStatusBar;
};

// ---------------------------------------------------------------- TnvCustomStatusBar

class TnvCustomStatusBar : public TCustomControl {
    Q_OBJECT
public:
    explicit TnvCustomStatusBar(TComponent* AOwner = nullptr);
    ~TnvCustomStatusBar() override;

    // ---- properties (published by TnvStatusBar)
    bool DisableThemes() const { return FDisableThemes; }
    void SetDisableThemes(bool Value);
    TCustomImageList* Images() const { return FImages.data(); }
    void SetImages(TCustomImageList* Value);
    TnvStatusPanels* Panels() const { return FPanels.get(); }
    void SetPanels(TnvStatusPanels* Value) { FPanels->Assign(Value); }
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const String& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const String& Value);
    // The effective size grip: the flag, on a form that can be sized.
    bool SizeGrip() const;
    void SetSizeGrip(bool Value);
    bool SizeGripFlag() const { return FSizeGrip; }
    TnvStatusBarText* StatusBarText() const { return FStatusBarText.get(); }
    void SetStatusBarText(TnvStatusBarText* Value) { FStatusBarText->Assign(Value); }

    TDrawKeyboardStateEvent OnDrawKeyboardState;
    TDrawPanelEvent OnDrawPanel;

    // ---- operations
    virtual const TMetaClass* GetPanelsClass() const;
    // Sends the part edges and every panel's text to the native bar.
    virtual void UpdatePanels();
    // Sends one panel's text and bevel; Repaint invalidates its part.
    void UpdatePanel(int Index, bool Repaint);
    // The panel whose part contains the point; (-1, -1) takes the mouse
    // cursor's position.
    virtual TnvStatusPanel* PanelAtPos(int X, int Y);
    // Paints a panel into its part (the owner-draw step).
    virtual void DrawPanel(TnvStatusPanel* Panel, const TRect& Rect);
    // Whether the mouse is over the bar's form while that form is active.
    bool MouseInHintContainer() const;
    // Width taken from the last panel's drawing rectangle by the size grip.
    int GripAllowance() const;
    const TSize& LastSize() const { return FLastSize; }
    bool InSize() const { return FInSize; }
    // The timers the panels need; the bar starts and stops them.
    bool PanelNeedsTimer(int TimerId, const TnvStatusPanel* Except = nullptr) const;
    void StartTimer(int TimerId);
    void StopTimerIfUnused(int TimerId, const TnvStatusPanel* Except);

    // ---- the native bar's model
    // Sets the parts (right edges, -1 = to the right border).
    void NativeSetParts(const std::vector<int>& RightEdges);
    // The right edges, at most Count of them; returns the number of parts.
    int NativeGetParts(int Count, std::vector<int>* RightEdges) const;
    // Part Index's text with drawing flags (SB_SIMPLEID: the simple text).
    void NativeSetText(int Index, unsigned Flags, const String& Text);
    String NativeText(int Index) const;
    unsigned NativeFlags(int Index) const;
    // The part rectangle (bevel included); false for a part that is not there.
    bool NativeGetRect(int Index, TRect& R) const;
    void NativeSetSimple(bool Value);
    bool NativeSimple() const { return FNativeSimple; }

    // Every bar that exists.
    static const std::vector<TnvCustomStatusBar*>& StatusBarList();

    void Invalidate() override;
    void WndProc(TMessage& Message) override;
    void Loaded() override;
    void Click() override;
    void DblClick() override;

protected:
    void Paint() override;
    void Resize() override;
    void BoundsChanged(int OldWidth, int OldHeight) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void paintEvent(QPaintEvent* Event) override;
    // The layout of the panel widths.
    void LayoutPanels();
    // The size message: layout, then the panels repaint at once.
    void SizeMessage();
    void TimerTick(int TimerId);
    // Copies an off-screen picture of one part onto the bar's window.
    void BlitPart(const QImage& Picture, TPoint At);
    void InvalidateRect(const TRect& R);

private:
    friend class TnvStatusPanel;
    struct TNativePart {
        int RightEdge = -1;
        String Text;
        unsigned Flags = 0;
    };
    std::unique_ptr<TnvStatusPanels> FPanels;
    std::unique_ptr<TnvStatusBarText> FStatusBarText;
    std::unique_ptr<TCanvas> FPartCanvas;
    QPointer<TCustomImageList> FImages;
    // The list as a component, for comparisons while it is being destroyed.
    const TComponent* FImagesComponent = nullptr;
    bool FDisableThemes = false;
    bool FSimplePanel = false;
    String FSimpleText;
    bool FSizeGrip = true;
    TSize FLastSize{0, 0};
    bool FInSize = false;
    bool FSizeMessagePending = false;
    // Where the mouse was at its last message (the panel a click is for).
    TPoint FLastMousePos{-1, -1};
    // The native bar.
    std::vector<TNativePart> FNativeParts{TNativePart()};
    String FNativeSimpleText;
    bool FNativeSimple = false;
    // Areas copied by BlitPart since the last full paint.
    QRegion FBlitRegion;
    bool FFullPaintPending = true;
};

class TnvStatusBar : public TnvCustomStatusBar {
    Q_OBJECT
    // The effective size grip is false without a sizeable form, as is a new
    // bar's: written always, a switched-off grip reads back switched off.
    Q_CLASSINFO("AlwaysStored", "SizeGrip")
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool DisableThemes READ DisableThemes WRITE SetDisableThemes)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(TCustomImageList* Images READ Images WRITE SetImages)
    Q_PROPERTY(TnvStatusPanels* Panels READ Panels WRITE SetPanels)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool SimplePanel READ SimplePanel WRITE SetSimplePanel)
    Q_PROPERTY(String SimpleText READ SimpleText WRITE SetSimpleText)
    Q_PROPERTY(bool SizeGrip READ SizeGrip WRITE SetSizeGrip)
    Q_PROPERTY(TnvStatusBarText* StatusBarText READ StatusBarText WRITE SetStatusBarText)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TDrawKeyboardStateEvent OnDrawKeyboardState MEMBER OnDrawKeyboardState)
    Q_PROPERTY(TDrawPanelEvent OnDrawPanel MEMBER OnDrawPanel)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
    Q_PROPERTY(TNotifyEvent OnResize MEMBER OnResize)
public:
    explicit TnvStatusBar(TComponent* AOwner = nullptr) : TnvCustomStatusBar(AOwner) {}
};

// Registers the bar and its panel with the class registry (done once at start-up).
void RegisterNvStatusBarClasses();
