// The label: a window-less control whose caption is drawn by a text-effects
// object (TextOptions) with its styles, shadow, extrusion, rotation, outline,
// word wrap and justification. It sizes itself to its text, paints its
// background unless transparent, moves the focus to FocusControl on its
// accelerator key and reports mouse enter and leave. TnvDBCustomLabel shows
// the text of a dataset field.
#pragma once

#include <QPointer>

#include <memory>

#include "Controls.h"
#include "DB.h"
#include "DBFields.h"
#include "DBLinks.h"
#include "Menus.h"

#include "nvtext.h"

class TnvCustomLabel : public TGraphicControl {
    Q_OBJECT
public:
    explicit TnvCustomLabel(TComponent* AOwner = nullptr);
    ~TnvCustomLabel() override;

    TnvCaptionText* TextOptions() const { return FTextOptions.get(); }
    void SetTextOptions(TnvCaptionText* Value) { FTextOptions->Assign(Value); }
    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool Value);
    // The control that the accelerator focuses (not owned; cleared when it
    // is destroyed).
    TWinControl* FocusControl() const { return FFocusGuard ? FFocusControl : nullptr; }
    void SetFocusControl(TWinControl* Value);
    // Transparent exactly when the control style lacks csOpaque.
    bool Transparent() const { return !FControlStyle.testFlag(csOpaque); }
    void SetTransparent(bool Value);

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    void WndProc(TMessage& Message) override;
    void Loaded() override;

    // The text to draw: the caption.
    virtual void GetLabelText(String& Text);
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();
    // Whether the text draws its enabled look: the label's Enabled.
    virtual bool IsTextEnabled();
    // Sizes the label to its text (not while reading or without AutoSize);
    // right-aligned text keeps the right edge.
    virtual void AdjustBounds();

protected:
    void Paint() override;
    void FontChanged() override;
    void TextChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    std::unique_ptr<TnvCaptionText> FTextOptions;
    bool FAutoSize = true;
    // The focus control, its component (for comparisons while it is being
    // destroyed, when it may no longer be read as a control) and a guard
    // that empties when it is gone.
    TWinControl* FFocusControl = nullptr;
    TComponent* FFocusComponent = nullptr;
    QPointer<QObject> FFocusGuard;
};

// The label bound to a dataset field.
class TnvDBCustomLabel : public TnvCustomLabel {
    Q_OBJECT
public:
    explicit TnvDBCustomLabel(TComponent* AOwner = nullptr);
    ~TnvDBCustomLabel() override;

    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    const String& DataField() const { return FDataLink->FieldName(); }
    void SetDataField(const String& Value);
    TField* Field() const { return FDataLink->Field(); }
    TFieldDataLink* DataLink() const { return FDataLink.get(); }
    // Raises EDatabaseError "Operation not allowed in a DBCtrlGrid" when set
    // to true inside a data control grid.
    void SetAutoSize(bool Value) override;

    // Inside a data control grid (a parent of the class TDBCtrlGrid): the
    // grid fixes the data source.
    bool DataSourceFixed() const;

    void WndProc(TMessage& Message) override;
    void Loaded() override;
    void GetLabelText(String& Text) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The field's text: a memo's whole text, any other field's display text;
    // without a field the caption (at design time an empty caption of a
    // label with a data source shows the component name).
    String GetFieldText() const;
    void DataChange();

    std::unique_ptr<TFieldDataLink> FDataLink;
};

class TnvLabel : public TnvDBCustomLabel {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(String DataField READ DataField WRITE SetDataField)
    Q_PROPERTY(TDataSource* DataSource READ DataSource WRITE SetDataSource)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TWinControl* FocusControl READ FocusControl WRITE SetFocusControl)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(TnvCaptionText* TextOptions READ TextOptions WRITE SetTextOptions)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TContextPopupEvent OnContextPopup MEMBER OnContextPopup)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TNotifyEvent OnMouseEnter MEMBER OnMouseEnter)
    Q_PROPERTY(TNotifyEvent OnMouseLeave MEMBER OnMouseLeave)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    explicit TnvLabel(TComponent* AOwner = nullptr) : TnvDBCustomLabel(AOwner) {}
};

// Registers TnvLabel with the class registry (done once at start-up).
void RegisterNvLabelClasses();
