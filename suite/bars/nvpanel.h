// The suite's panel and group box: the framework's containers with a
// Transparent mode (the parent shows through, so a form background or
// picture continues under grouped controls) and an edit frame that replaces
// the bevels with flat frame lines and can give the container another
// background and caption colour while the focus is elsewhere. The group box
// can put its caption in a small box of its own, run its border fully below
// the caption and indent the caption.
#pragma once

#include <QObject>

#include <memory>

#include "ExtCtrls.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "nvframe.h"

// What the panel and the group box share: the frame, transparency and the
// focused flag, with the behaviour built on them.
class TnvContainerLook {
public:
    explicit TnvContainerLook(TWinControl* Control)
        : FControl(Control), FFrame(std::make_unique<TnvEditFrame>(Control))
    {
    }
    TnvEditFrame* Frame() const { return FFrame.get(); }
    bool FocusedInside() const { return FFocused; }

protected:
    // Transparent and not designed.
    bool LookTransparent() const { return FTransparent && !FControl->IsDesigning(); }
    // Stores the value and the opaque style; a live window at run time is
    // repainted with what lies behind it and created again.
    void StoreTransparent(bool Value);
    // A transparent control first invalidates its place in the parent.
    void InvalidateBehindLook() const;
    // The frame's unfocused colours differ from the control's.
    bool LookColorsDiffer() const;
    // WM_ERASEBKGND and CM_TEXTCHANGED as both containers take them; true
    // when the message is answered.
    bool HandleLookMessage(TMessage& Message, bool SkipErase);

    TWinControl* FControl;
    std::unique_ptr<TnvEditFrame> FFrame;
    bool FTransparent = false;
    bool FFocused = false;
};

class TnvCustomPanel : public TCustomPanel, public TnvContainerLook {
    Q_OBJECT
public:
    explicit TnvCustomPanel(TComponent* AOwner = nullptr);
    ~TnvCustomPanel() override;

    void SetFrame(TnvEditFrame* Value) { FFrame->Assign(Value); }
    bool Transparent() const { return FTransparent; }

    // ---- virtual operations, in slot order
    virtual void SetTransparent(bool Value);
    // Transparent and not designed.
    virtual bool IsTransparent() const;
    // Whether the unfocused look differs from the focused one in colour.
    virtual bool FocusColorsDiffer() const;

    void Invalidate() override;
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void DoEnter() override;
    void DoExit() override;
    void BoundsChanged(int OldWidth, int OldHeight) override;
    bool PaintsTransparent() const override { return IsTransparent(); }
    void FocusChanged(bool Entered);
};

class TnvCustomGroupBox : public TCustomGroupBox, public TnvContainerLook {
    Q_OBJECT
public:
    explicit TnvCustomGroupBox(TComponent* AOwner = nullptr);
    ~TnvCustomGroupBox() override;

    void SetFrame(TnvEditFrame* Value) { FFrame->Assign(Value); }
    bool Transparent() const { return FTransparent; }
    int CaptionIndent() const { return FCaptionIndent; }
    // At least 3.
    void SetCaptionIndent(int Value);
    bool BorderAroundLabel() const { return FBorderAroundLabel; }
    void SetBorderAroundLabel(bool Value) { FBorderAroundLabel = Value; }
    bool FullBorder() const { return FFullBorder; }
    void SetFullBorder(bool Value);

    // ---- virtual operations, in slot order
    virtual void SetTransparent(bool Value);
    virtual bool IsTransparent() const;
    virtual bool FocusColorsDiffer() const;

    void Invalidate() override;
    void WndProc(TMessage& Message) override;

    // The caption's height and the frame's top as painting lays them out.
    int CaptionBoxHeight() const;
    TRect FrameRect() const;

protected:
    void Paint() override;
    void DoEnter() override;
    void DoExit() override;
    void BoundsChanged(int OldWidth, int OldHeight) override;
    bool PaintsTransparent() const override { return IsTransparent(); }

private:
    int FCaptionIndent = 8;
    bool FBorderAroundLabel = false;
    bool FFullBorder = false;
};

class TnvPanel : public TnvCustomPanel {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(DBTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(ControlsTypes::TBiDiMode BiDiMode READ BiDiMode WRITE SetBiDiMode)
    Q_PROPERTY(ControlsTypes::TBevelCut BevelInner READ BevelInner WRITE SetBevelInner)
    Q_PROPERTY(ControlsTypes::TBevelCut BevelOuter READ BevelOuter WRITE SetBevelOuter)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Ctl3D READ Ctl3D WRITE SetCtl3D)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(TnvEditFrame* Frame READ Frame WRITE SetFrame)
    Q_PROPERTY(bool FullRepaint READ FullRepaint WRITE SetFullRepaint)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool Locked READ Locked WRITE SetLocked)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentBiDiMode READ ParentBiDiMode WRITE SetParentBiDiMode)
    Q_PROPERTY(bool ParentCtl3D READ ParentCtl3D WRITE SetParentCtl3D)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
    Q_PROPERTY(TNotifyEvent OnResize MEMBER OnResize)
public:
    Q_INVOKABLE explicit TnvPanel(TComponent* AOwner = nullptr) : TnvCustomPanel(AOwner) {}
};

class TnvGroupBox : public TnvCustomGroupBox {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(ControlsTypes::TBiDiMode BiDiMode READ BiDiMode WRITE SetBiDiMode)
    Q_PROPERTY(bool BorderAroundLabel READ BorderAroundLabel WRITE SetBorderAroundLabel)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int CaptionIndent READ CaptionIndent WRITE SetCaptionIndent)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Ctl3D READ Ctl3D WRITE SetCtl3D)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(TnvEditFrame* Frame READ Frame WRITE SetFrame)
    Q_PROPERTY(bool FullBorder READ FullBorder WRITE SetFullBorder)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentBiDiMode READ ParentBiDiMode WRITE SetParentBiDiMode)
    Q_PROPERTY(bool ParentCtl3D READ ParentCtl3D WRITE SetParentCtl3D)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    Q_INVOKABLE explicit TnvGroupBox(TComponent* AOwner = nullptr) : TnvCustomGroupBox(AOwner) {}
};
