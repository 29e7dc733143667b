// The calculator edit: a right-aligned numeric edit whose drop-down is a
// calculator panel. Closed, it takes only numeric typing and shows its value
// through an optional display format while it does not have the focus. An
// operator key or the drop-down button opens a calculator beneath it, and from
// then on the edit itself is the calculator's display: every key and button
// press updates the edit's text directly. The panel is made for each
// drop-down and destroyed at close-up.
//
// The panel floats as a top-level window that never takes the focus (the
// focus stays in the edit, whose caret is hidden meanwhile). A press on any
// other control of the application closes it with acceptance; accepting
// completes a pending operation first ("5 +" then Tab gives 10).
#pragma once

#include <QPointer>

#include <memory>

#include "nvCalculator.h"
#include "nvCombo.h"

class TnvCustomCalcEdit;

// The panel's attribute event, forwarded with the edit as the sender.
using TnvCalcAttributesEvent = TEvent<TnvCustomCalcEdit*, TnvCalcButtonType&, String&, TColor&, TColor&, String&>;
ZEN_EVENT_TYPE(TnvCalcAttributesEvent)

// Options copied into the panel at each drop-down.
class TnvPopupCalcOptions : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(TPicture* Background READ Background WRITE SetBackground)
    Q_PROPERTY(nvCalculatorTypes::TnvCalcBitmapDrawStyle BackgroundStyle READ BackgroundStyle WRITE SetBackgroundStyle)
    Q_PROPERTY(int ButtonMargin READ ButtonMargin WRITE SetButtonMargin)
    Q_PROPERTY(nvCalculatorTypes::TnvCalcOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(TColor PanelColor READ PanelColor WRITE SetPanelColor)
public:
    Q_INVOKABLE TnvPopupCalcOptions();
    ~TnvPopupCalcOptions() override;

    TPicture* Background() const { return FBackground.get(); }
    void SetBackground(TPicture* Value);
    TnvCalcBitmapDrawStyle BackgroundStyle() const { return FBackgroundStyle; }
    void SetBackgroundStyle(TnvCalcBitmapDrawStyle Value);
    int ButtonMargin() const { return FButtonMargin; }
    void SetButtonMargin(int Value);
    TnvCalcOptions Options() const { return FOptions; }
    void SetOptions(TnvCalcOptions Value) { FOptions = Value; }
    TColor PanelColor() const { return FPanelColor; }
    void SetPanelColor(TColor Value) { FPanelColor = Value; }

    void Assign(TPersistent* Source) override;

private:
    std::unique_ptr<TPicture> FBackground;
    TnvCalcBitmapDrawStyle FBackgroundStyle = cbdStretch;
    int FButtonMargin = 3;
    TnvCalcOptions FOptions = cboHideEditor;
    TColor FPanelColor = clBtnFace;
};

// The drop-down: a calculator that works for its edit. A press is ignored
// while the edit cannot be edited; every processed press marks the edit
// modified; with cboCloseOnEquals "=" closes the drop-down.
class TnvCalcPanel : public TnvCalculator {
    Q_OBJECT
public:
    explicit TnvCalcPanel(TComponent* AOwner = nullptr);
    // The edit the panel belongs to (null for another owner).
    TnvCustomCalcEdit* CalcEdit() const { return FEdit; }
    void ProcessButton(TnvCalcButtonType AType) override;

private:
    QPointer<TnvCustomCalcEdit> FEdit;
};

class TnvCustomCalcEdit : public TnvCustomCombo {
    Q_OBJECT
public:
    explicit TnvCustomCalcEdit(TComponent* AOwner = nullptr);
    ~TnvCustomCalcEdit() override;

    // ---- properties
    TnvPopupCalcOptions* CalcOptions() const { return FCalcOptions.get(); }
    void SetCalcOptions(TnvPopupCalcOptions* Value) { FCalcOptions->Assign(Value); }
    const String& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const String& Value);
    // The typing limit. Texts the program or the calculator sets are not cut
    // to it (an error message of the calculator is longer than 20).
    int MaxLength() const { return TCustomEdit::MaxLength(); }
    void SetMaxLength(int Value);
    // An empty text is kept instead of being replaced by zero.
    bool AllowEmpty() const { return FAllowEmpty; }
    void SetAllowEmpty(bool Value) { FAllowEmpty = Value; }
    // Where the text lies while the edit is not bound to a field.
    TAlignment UnboundAlignment() const { return FUnboundAlignment; }
    void SetUnboundAlignment(TAlignment Value);

    TNotifyEvent OnBeforeDropDown;
    TnvCalcAttributesEvent OnSetCalcButtonAttributes;

    // ---- value
    // The text read as a number (0 when it holds none).
    double Value() const;
    void SetValue(double X);
    // The text to show for Text while the edit is not focused.
    String GetDisplayText(const String& Text) const;
    // "0" (with the decimal separator under cboShowDecimal), or empty with
    // AllowEmpty.
    void ResetText();
    static bool IsCalculatorKey(char Ch);
    // The picture text of a value with digit grouping: "#,##0", or as many
    // decimals as the value needs at 15 significant digits.
    static String GroupingText(double X);

    // ---- state
    TnvCalcPanel* Panel() const { return FPanel; }
    bool DecimalTyped() const { return FDecimalTyped; }
    // How often typing was refused with a beep.
    int BeepCount() const { return FBeepCount; }

    // ---- drop-down
    void DropDown() override;
    void CloseUp(bool Accept) override;
    bool IsDroppedDown() const override;
    bool CanEdit() override;
    void SetModified(bool Value) override;

    void Loaded() override;

protected:
    TWinControl* GetDropDownControl() override { return FPanel; }
    TWinControl* GetDropDownContainer() override { return FPanel; }
    int GetItemCount() override { return 0; }
    void GetDropDownSize(int& Width, int& ItemHeight) override;
    void PaintText(TCanvas* Canvas, const TRect& Rect, const String& Text, bool InGrid, bool Highlight) override;
    bool IsOwnerDrawn() const override { return true; }
    void DataChange() override;
    void UpdateData() override;

    void Change() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoEnter() override;
    void DoExit() override;
    virtual void Beep();

private:
    friend class TnvCalcPanel;
    TAlignment CurrentAlignment() const;
    void ApplyAlignment();
    void SetOwnText(const String& Value);
    bool TypeGroupedDigit(char Digit);
    void GroupedBackspace();
    void InstallCancelHook();
    void RemoveCancelHook();
    void DestroyPanel();

    std::unique_ptr<TnvPopupCalcOptions> FCalcOptions;
    QPointer<TnvCalcPanel> FPanel;
    String FDisplayFormat;
    TAlignment FUnboundAlignment = taRightJustify;
    bool FDecimalTyped = false;
    bool FSuppressTextChange = false;
    bool FAllowEmpty = false;
    bool FClosingUp = false;
    bool FExiting = false;
    bool FClipboardEdit = false;
    int FBeepCount = 0;
    int FCancelHook = 0;
    bool FCancelHookInstalled = false;
};

class TnvCalcEdit : public TnvCustomCalcEdit {
    Q_OBJECT
    Q_PROPERTY(nvComboTypes::TnvAlignVertical AlignmentVertical READ AlignmentVertical WRITE SetAlignmentVertical)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE SetAutoSelect)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TnvButtonEffects* ButtonEffects READ ButtonEffects WRITE SetButtonEffects)
    Q_PROPERTY(TBitmap* ButtonGlyph READ ButtonGlyph WRITE SetButtonGlyph)
    Q_PROPERTY(nvComboTypes::TnvComboButtonStyle ButtonStyle READ ButtonStyle WRITE SetButtonStyle)
    Q_PROPERTY(int ButtonWidth READ ButtonWidth WRITE SetButtonWidth)
    Q_PROPERTY(TnvPopupCalcOptions* CalcOptions READ CalcOptions WRITE SetCalcOptions)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(QObject* Controller READ ControllerObject WRITE SetControllerObject)
    Q_PROPERTY(String DataField READ DataField WRITE SetDataField)
    Q_PROPERTY(TDataSource* DataSource READ DataSource WRITE SetDataSource)
    Q_PROPERTY(bool DisableThemes READ DisableThemes WRITE SetDisableThemes)
    Q_PROPERTY(String DisplayFormat READ DisplayFormat WRITE SetDisplayFormat)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(TnvEditFrame* Frame READ Frame WRITE SetFrame)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool ShowButton READ ShowButton WRITE SetShowButton)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(String Text READ Text WRITE SetText)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnAfterDropDown MEMBER OnAfterDropDown)
    Q_PROPERTY(TNotifyEvent OnBeforeDropDown MEMBER OnBeforeDropDown)
    Q_PROPERTY(TNotifyEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TnvComboCloseUpEvent OnCloseUp MEMBER OnCloseUp)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TNotifyEvent OnDropDown MEMBER OnDropDown)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TNotifyEvent OnMouseEnter MEMBER OnMouseEnter)
    Q_PROPERTY(TNotifyEvent OnMouseLeave MEMBER OnMouseLeave)
    Q_PROPERTY(TnvCalcAttributesEvent OnSetCalcButtonAttributes MEMBER OnSetCalcButtonAttributes)
public:
    Q_INVOKABLE explicit TnvCalcEdit(TComponent* AOwner = nullptr) : TnvCustomCalcEdit(AOwner) {}
};

void RegisterCalcEditClasses();
