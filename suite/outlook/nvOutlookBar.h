// The outlook bar: a button group whose buttons are page headers. Each page
// pairs a header button with a content panel; exactly one page is open. The
// headers are stacked along the bar (top to bottom, or left to right) and the
// open page's panel fills the space they leave. Opening another page slides
// the headers and the two panels to their new places in a few animation
// steps, synchronously, with the headers marked busy so that clicks during
// the slide are ignored (or undone). A panel may hold any controls; by
// default each new page gets an outlook list filling its panel. The bar can
// show an imager's picture, tiled or stretched, behind its headers and its
// transparent panels.
//
// The bar owns its panels; the header buttons are owned by the bar's owner
// like the buttons of any group. A form file stores the headers and then the
// panels as children of the bar; the page collection itself is not stored.
#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

#include "Controls.h"
#include "nvButtonGroup.h"
#include "nvChangeLink.h"
#include "nvImager.h"

class TnvOutlookPage;
class TnvOutlookPages;
class TnvCustomOutlookBar;
class TnvCustomOutlookList;

namespace nvOutlookBarTypes {
Q_NAMESPACE
enum TnvCustomOutlookBarOption { cboAutoCreateOutlookList = 0x1, cboTransparentPanels = 0x2 };
Q_DECLARE_FLAGS(TnvCustomOutlookBarOptions, TnvCustomOutlookBarOption)
Q_FLAG_NS(TnvCustomOutlookBarOptions)
enum TnvPanelAlignment { paDynamic, paTop, paBottom };
Q_ENUM_NS(TnvPanelAlignment)
} // namespace nvOutlookBarTypes
Q_DECLARE_OPERATORS_FOR_FLAGS(nvOutlookBarTypes::TnvCustomOutlookBarOptions)
using namespace nvOutlookBarTypes;

// ---------------------------------------------------------------- TnvOutlookPanel

// The area of a page that holds the page's controls. Panels are transparent:
// on a bar with an imager they show the bar's picture, continuing it
// seamlessly; otherwise they paint their colour. The bar moves them with the
// positioning flag set while it slides the pages.
class TnvOutlookPanel : public TCustomControl {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TnvOutlookPanel(TComponent* AOwner = nullptr);
    ~TnvOutlookPanel() override;

    bool Transparent() const { return FTransparent; }
    // Changing it invalidates the parent (the panel shows what lies behind it).
    void SetTransparent(bool Value);
    // The page the panel belongs to (set by the outlook bar).
    TnvOutlookPage* Page() const { return FPage.data(); }
    void SetPage(TnvOutlookPage* Value);
    // Set while the bar positions the panel during a slide.
    bool Positioning() const { return FPositioning; }
    void SetPositioning(bool Value) { FPositioning = Value; }
    // The outlook bar of the panel's page (or the bar it lies on), or null.
    TnvCustomOutlookBar* OutlookBar() const;

    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    bool PaintsTransparent() const override;
    // Draws the bar's imager picture onto Canvas, clipped to Rect (a
    // rectangle of this control): tiles continue the bar's tiling; a
    // stretched picture is the part of the bar's behind the control, or
    // with StretchOverSelf the picture stretched over the control. False
    // without a bar picture to draw.
    bool DrawBarPicture(TCanvas* Canvas, const TRect& Rect, bool StretchOverSelf) const;

    bool FTransparent = true;
    QPointer<TnvOutlookPage> FPage;
    bool FPositioning = false;
};

// ---------------------------------------------------------------- TnvAnimation

// How the bar slides its pages.
class TnvAnimation : public QObject, public TPersistent {
    Q_OBJECT
    Q_CLASSINFO("AlwaysStored", "Enabled, Interval, Steps")
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(int Interval READ Interval WRITE SetInterval)
    Q_PROPERTY(int Steps READ Steps WRITE SetSteps)
public:
    Q_INVOKABLE TnvAnimation() = default;
    explicit TnvAnimation(TnvCustomOutlookBar* Bar) : FBar(Bar) {}

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    // Milliseconds between the steps.
    int Interval() const { return FInterval; }
    void SetInterval(int Value) { FInterval = Value; }
    // Steps of a page change. The bar takes values below 1 as 1 (the change
    // completes at once).
    int Steps() const { return FSteps; }
    void SetSteps(int Value) { FSteps = Value; }

    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

private:
    TnvCustomOutlookBar* FBar = nullptr;
    bool FEnabled = true;
    int FInterval = 1;
    int FSteps = 7;
};

// ---------------------------------------------------------------- TnvOutlookPage

// A page: a header button (the group item's button) and a panel.
class TnvOutlookPage : public TnvButtonGroupItem {
    Q_OBJECT
public:
    // Not while the bar loads: makes the page's panel (and, with
    // cboAutoCreateOutlookList, its outlook list).
    Q_INVOKABLE explicit TnvOutlookPage(TCollection* ACollection = nullptr);
    // Frees the panel.
    ~TnvOutlookPage() override;

    TnvOutlookPanel* Panel() const { return FPanel.data(); }
    TnvCustomOutlookList* OutlookList() const;

    // The page's SetDown(true), then the bar arranges.
    void Activate() override;
    // After loading: the panel becomes owned by the bar; panel and list are
    // linked to the page.
    void HookButton() override;
    // Also moves the panel to the same position among the bar's children.
    void SetIndex(int Value) override;

    // ---- own virtual operations, in slot order
    virtual TnvCustomOutlookBar* GetOutlookBar() const;
    // Makes an outlook list filling the panel; nothing when there is one.
    virtual void CreateOutlookList();

private:
    friend class TnvCustomOutlookBar;
    friend class TnvOutlookPages;
    friend class TnvOutlookPanel;
    void AttachPanel(TnvOutlookPanel* Panel);
    void AttachList(TnvCustomOutlookList* List);

    QPointer<TnvOutlookPanel> FPanel;
    QPointer<TnvCustomOutlookList> FOutlookList;
    // The list as a control, kept for comparisons: while the list is being
    // destroyed FOutlookList still holds it but may no longer be read as a list.
    const TControl* FOutlookListControl = nullptr;
};

// ---------------------------------------------------------------- TnvOutlookPages

class TnvOutlookPages : public TnvButtonGroupItems {
    Q_OBJECT
public:
    explicit TnvOutlookPages(TnvCustomButtonGroup* Group);
    ~TnvOutlookPages() override;

    TnvOutlookPage* Page(int Index) const { return static_cast<TnvOutlookPage*>(Item(Index)); }
    // Adds a page with its header (hidden when the bar shows no headers);
    // the only page is opened.
    TnvButtonGroupItem* Add() override;
    // Lays the headers out along the bar and slides the open panel into the
    // space left (see the comments in the code).
    void ArrangeButtons() override;

    // ---- own virtual operations, in slot order
    virtual TnvCustomOutlookBar* GetOutlookBar() const;
    // The animation's callback: places Control at Rect (client coordinates
    // of the bar).
    virtual void SetControlBounds(TControl* Control, const TRect& Rect);
};

// ---------------------------------------------------------------- TnvCustomOutlookBar

class TnvCustomOutlookBar : public TnvCustomButtonGroup {
    Q_OBJECT
public:
    explicit TnvCustomOutlookBar(TComponent* AOwner = nullptr);
    ~TnvCustomOutlookBar() override;

    // ---- properties
    // The header button of the open page; setting a header opens its page.
    TnvCustomBitBtn* ActivePage() const;
    void SetActivePage(TnvCustomBitBtn* Value);
    TnvAnimation* Animation() const { return FAnimation.get(); }
    void SetAnimation(TnvAnimation* Value) { FAnimation->Assign(Value); }
    // Extent of every header along the layout direction.
    int ButtonSize() const { return FButtonSize; }
    void SetButtonSize(int Value);
    // The background picture's source (not owned; it is put on the bar, hidden).
    TnvCustomImager* Imager() const { return FImager.data(); }
    void SetImager(TnvCustomImager* Value);
    TnvCustomOutlookBarOptions Options() const { return FOptions; }
    TnvPanelAlignment PanelAlignment() const { return FPanelAlignment; }
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);
    TnvOutlookPages* OutlookItems() const { return static_cast<TnvOutlookPages*>(ButtonItems()); }
    void SetOutlookItems(TnvOutlookPages* Value) { SetButtonItems(Value); }

    // The client area inside the border, in the bar's coordinates: where the
    // headers and the open panel lie.
    TRect PageRect() const;

    // ---- overrides of the group
    const TMetaClass* ItemsClass() const override;
    // Always the bar's own size: the bar never fits itself to its buttons.
    void SizeToButtons(TnvCustomBitBtn* Button, bool Apply, TSize& Size) override;
    void ButtonChanged(TnvCustomBitBtn* Button) override;

    // ---- own virtual operations, in slot order
    virtual void SetOptions(TnvCustomOutlookBarOptions Value);
    virtual void SetPanelAlignment(TnvPanelAlignment Value);
    // A shape button of another shape than a rectangle, or another image
    // button with a transparent colour.
    virtual bool IsShapedButton(TnvCustomBitBtn* Button) const;
    // Inside a selection change: only layouts run there slide.
    virtual bool InSelectionChange() const { return FSelChangeDepth > 0; }

    // ---- framework overrides
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void SetName(const String& NewName) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    TComponent* GetChildOwner(const TMetaClass* ChildClass) override;
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    bool PaintsTransparent() const override { return false; }

private:
    friend class TnvOutlookPages;
    friend class TnvOutlookPage;
    // The imager left the bar's children or was freed (Destroyed: it may no
    // longer be read as an imager).
    void DropImager(bool Destroyed);
    // Paints the background (the imager's picture, or Color) through Clip.
    void PaintBackground(const QRegion& Clip);

    int FSelChangeDepth = 0;
    bool FUndoing = false;
    QPointer<TnvCustomImager> FImager;
    // The imager as a control and as a component, kept for comparisons while
    // it is being destroyed.
    const TControl* FImagerControl = nullptr;
    const TComponent* FImagerComponent = nullptr;
    std::unique_ptr<TnvChangeLink> FImagerLink;
    std::unique_ptr<TnvAnimation> FAnimation;
    int FButtonSize = 20;
    TnvCustomOutlookBarOptions FOptions = cboAutoCreateOutlookList;
    TnvPanelAlignment FPanelAlignment = paDynamic;
    bool FShowButtons = true;
};

// ---------------------------------------------------------------- TnvOutlookBar

class TnvOutlookBar : public TnvCustomOutlookBar {
    Q_OBJECT
    Q_PROPERTY(TnvCustomBitBtn* ActivePage READ ActivePage WRITE SetActivePage)
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(TnvAnimation* Animation READ Animation WRITE SetAnimation)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool AutoBold READ AutoBold WRITE SetAutoBold)
    Q_PROPERTY(ControlsTypes::TBevelCut BevelInner READ BevelInner WRITE SetBevelInner)
    Q_PROPERTY(ControlsTypes::TBevelCut BevelOuter READ BevelOuter WRITE SetBevelOuter)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(String ButtonClassName READ ButtonClassName WRITE SetButtonClassName)
    Q_PROPERTY(int ButtonSize READ ButtonSize WRITE SetButtonSize)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(TnvCustomImager* Imager READ Imager WRITE SetImager)
    Q_PROPERTY(nvCommonTypes::TnvLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(nvOutlookBarTypes::TnvCustomOutlookBarOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(TnvOutlookPages* OutlookItems READ OutlookItems WRITE SetOutlookItems STORED false)
    Q_PROPERTY(nvOutlookBarTypes::TnvPanelAlignment PanelAlignment READ PanelAlignment WRITE SetPanelAlignment)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ShowButtons READ ShowButtons WRITE SetShowButtons)
    Q_PROPERTY(bool ShowDownAsUp READ ShowDownAsUp WRITE SetShowDownAsUp)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TnvButtonGroupChangeEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TnvButtonGroupChangeEvent OnChanging MEMBER OnChanging)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TNotifyEvent OnResize MEMBER OnResize)
public:
    Q_INVOKABLE explicit TnvOutlookBar(TComponent* AOwner = nullptr) : TnvCustomOutlookBar(AOwner) {}
};

void RegisterOutlookBarClasses();
