// The calculator panel: a four-function pocket calculator with a read-only
// display at the top, a memory indicator and up to 27 push buttons (digits,
// decimal point, sign change, the four operators, equals, square root,
// percent, reciprocal, backspace, clear-entry, clear-all and four memory
// keys). It computes in double precision, formats the display with the
// locale's separators, takes keys through its display and can paint a
// background picture behind buttons that copy it.
//
// Three arrangements: the normal one with a memory column, one without the
// memory keys, and a simple one with digits, the four operators, "C", "Back"
// and "=". Another edit can stand in for the own display (SetDisplay), which
// is how the calculator edit drops the panel down and shows the results in
// its own text.
#pragma once

#include <QObject>
#include <QPointer>

#include <array>
#include <memory>

#include "Buttons.h"
#include "ExtCtrls.h"
#include "Pictures.h"
#include "StdCtrls.h"
#include "SysUtils.h"

#include "nvCommon.h"

class TnvCalculator;

// ---------------------------------------------------------------- enumerations

namespace nvCalculatorTypes {
Q_NAMESPACE

enum TnvCalcButtonType {
    btNone,
    bt0,
    bt1,
    bt2,
    bt3,
    bt4,
    bt5,
    bt6,
    bt7,
    bt8,
    bt9,
    btDecimal,
    btPlusMinus,
    btMultiply,
    btDivide,
    btAdd,
    btSubtract,
    btEquals,
    btSqrt,
    btPercent,
    btInverse,
    btBackspace,
    btClear,    // "CE": clears the entry
    btClearAll, // "C": clears the calculation
    btMRecall,
    btMStore,
    btMClear,
    btMAdd
};
Q_ENUM_NS(TnvCalcButtonType)

// Stored as a 16-bit set: bit n is the option of ordinal n.
enum TnvCalcOption {
    cboHotTrackButtons = 0x1,
    cboFlatButtons = 0x2,
    cboHideBorder = 0x4,
    cboHideEditor = 0x8,
    cboShowStatus = 0x10, // kept; no effect
    cboHideMemory = 0x20,
    cboSelectOnEquals = 0x40,
    cboShowDecimal = 0x80,
    cboSimpleCalc = 0x100,
    cboFlatDrawStyle = 0x200,
    cboRoundedButtons = 0x400,
    cboDigitGrouping = 0x800,
    cboCloseOnEquals = 0x1000, // read by the calculator edit
};
Q_DECLARE_FLAGS(TnvCalcOptions, TnvCalcOption)
Q_FLAG_NS(TnvCalcOptions)

enum TnvCalcBitmapDrawStyle { cbdStretch, cbdTile, cbdTopLeft, cbdCenter };
Q_ENUM_NS(TnvCalcBitmapDrawStyle)

} // namespace nvCalculatorTypes
using namespace nvCalculatorTypes;
Q_DECLARE_OPERATORS_FOR_FLAGS(nvCalculatorTypes::TnvCalcOptions)

constexpr int CalcButtonTypeCount = btMAdd + 1;

// The definition of one button: where it goes, what it shows and which type
// it reports.
struct TButtonRecord {
    int Top = 0;
    int Left = 0;
    int Width = 0;
    int Height = 0;
    String Caption;
    String Hint;
    TColor FontColor = TColor(0);
    TColor ButtonColor = TColor(0);
    TnvCalcButtonType ButtonType = btNone;
};

// Lets the owner change a button's type, caption, colours and hint as the
// arrangement defines it.
using TnvSetButtonAttributesEvent = TEvent<TnvCalculator*, TnvCalcButtonType&, String&, TColor&, TColor&, String&>;
ZEN_EVENT_TYPE(TnvSetButtonAttributesEvent)

ZEN_DECLARE_EXCEPTION(EnvCalcException, Exception);

// Shading of the button faces: every channel of the resolved colour moves
// half-way to white, or to half its value.
TColor CalcLighten(TColor Color);
TColor CalcDarken(TColor Color);

// ---------------------------------------------------------------- child controls

// One key of the calculator. Its Tag is the index of its record; the
// calculator (its owner) paints the background it copies when Transparent.
class TnvCalcButton : public TSpeedButton {
    Q_OBJECT
public:
    explicit TnvCalcButton(TComponent* AOwner = nullptr);
    ~TnvCalcButton() override;

    // The calculator that owns the button (null for another owner).
    TnvCalculator* Calculator() const;
    TnvCalcButtonType ButtonType() const { return FButtonType; }
    void SetButtonType(TnvCalcButtonType Value) { FButtonType = Value; }
    TColor ButtonColor() const { return FButtonColor; }
    void SetButtonColor(TColor Value);
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Value);
    // Shown pressed because its key is held down.
    bool KeyPressed() const { return FKeyPressed; }
    void SetKeyPressed(bool Value) { FKeyPressed = Value; }
    // Not placed by the arrangement: hidden while designing (and not painted).
    bool DesignHidden() const { return FDesignHidden; }
    void SetDesignHidden(bool Value) { FDesignHidden = Value; }

    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void EnabledChanged() override;

private:
    TnvCalcButtonType FButtonType = btNone;
    TColor FButtonColor = clBtnFace;
    TColor FFontColor = clWindowText;
    bool FKeyPressed = false;
    bool FDesignHidden = false;
};

// The text of the memory indicator.
class TnvCalcLabel : public TLabel {
    Q_OBJECT
public:
    explicit TnvCalcLabel(TComponent* AOwner = nullptr);
};

// The sunken box of the memory indicator, in its own colour.
class TnvCalcBevel : public TBevel {
    Q_OBJECT
public:
    explicit TnvCalcBevel(TComponent* AOwner = nullptr);

protected:
    void Paint() override;
};

// The own display: right-aligned, read-only, "Arial" 13 pixels high.
class TRightEdit : public TEdit {
    Q_OBJECT
public:
    explicit TRightEdit(TComponent* AOwner = nullptr);
};

// ---------------------------------------------------------------- TnvCalculator

class TnvCalculator : public TCustomPanel {
    Q_OBJECT
    Q_CLASSINFO("AlwaysStored", "BackgroundBitmapDrawStyle")
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(TPicture* BackgroundBitmap READ BackgroundBitmap WRITE SetBackgroundBitmap)
    Q_PROPERTY(nvCalculatorTypes::TnvCalcBitmapDrawStyle BackgroundBitmapDrawStyle READ BackgroundBitmapDrawStyle WRITE
                   SetBackgroundBitmapDrawStyle)
    Q_PROPERTY(bool Border3D READ Border3D WRITE SetBorder3D)
    Q_PROPERTY(int ButtonMargin READ ButtonMargin WRITE SetButtonMargin)
    Q_PROPERTY(int FixedDecimalPlaces READ FixedDecimalPlaces WRITE SetFixedDecimalPlaces)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(nvCalculatorTypes::TnvCalcOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(TColor PanelColor READ PanelColor WRITE SetPanelColor)
    Q_PROPERTY(String Text READ Text WRITE SetText STORED false)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TnvSetButtonAttributesEvent OnSetButtonAttributes MEMBER OnSetButtonAttributes)
public:
    Q_INVOKABLE explicit TnvCalculator(TComponent* AOwner = nullptr);
    ~TnvCalculator() override;

    // ---- properties
    TPicture* BackgroundBitmap() const { return FBackgroundBitmap.get(); }
    void SetBackgroundBitmap(TPicture* Value);
    TnvCalcBitmapDrawStyle BackgroundBitmapDrawStyle() const { return FBackgroundBitmapDrawStyle; }
    void SetBackgroundBitmapDrawStyle(TnvCalcBitmapDrawStyle Value);
    bool Border3D() const { return FBorder3D; }
    void SetBorder3D(bool Value);
    int ButtonMargin() const { return FButtonMargin; }
    void SetButtonMargin(int Value);
    // 0 or more: results of "=" show exactly this many decimals.
    int FixedDecimalPlaces() const { return FFixedDecimalPlaces; }
    void SetFixedDecimalPlaces(int Value) { FFixedDecimalPlaces = Value; }
    TnvCalcOptions Options() const { return FOptions; }
    void SetOptions(TnvCalcOptions Value);
    TColor PanelColor() const { return FPanelColor; }
    void SetPanelColor(TColor Value);

    TnvSetButtonAttributesEvent OnSetButtonAttributes;

    // ---- operations
    // Lays the buttons, the memory indicator and the display out for the
    // panel's size and options (creating them the first time).
    virtual void ArrangeButtons();
    // The click handler of every calculator button.
    virtual void CalcButtonClick(TObject* Sender);
    // The display in use: the outside edit when one is set, else the own
    // display (null before the first arrangement).
    virtual TCustomEdit* GetDisplay() const;
    // Makes Edit the display instead of the own one (null: the own one again).
    virtual void SetDisplay(TCustomEdit* Edit);
    // Sets the background as dirty and repaints the panel and its children.
    virtual void InvalidateAll();
    // Resets the calculation ("C"); the memory and the editing state stay.
    virtual void ClearAll();
    // The button of a key character (Ctrl selects the memory keys).
    virtual TnvCalcButtonType CharToButtonType(char Ch, bool Ctrl);
    // Keyboard entry: the own display's key events end here, and the
    // calculator edit calls these with the keys of its own edit.
    virtual void DisplayKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    virtual void DisplayKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
    // The engine: every button press and key ends here.
    virtual void ProcessButton(TnvCalcButtonType AType);

    // The record of a button type as the last arrangement left it.
    const TButtonRecord& ButtonRecord(TnvCalcButtonType AType) const { return FButtons[AType]; }
    // The first calculator button of that type, or null.
    TnvCalcButton* FindCalcButton(TnvCalcButtonType AType) const;
    TnvCalcLabel* MemoryLabel() const { return FMemoryLabel; }
    TnvCalcBevel* MemoryBevel() const { return FMemoryBevel; }
    TRightEdit* OwnDisplay() const { return FDisplay; }
    double Memory() const { return FMemory; }
    // Read when a drop-down closes: whether the last operation was "=" and
    // which operator still waits for its operand.
    bool AfterEquals() const { return FAfterEquals; }
    TnvCalcButtonType PendingOp() const { return FPendingOp; }
    // How often a key was refused with a beep.
    int BeepCount() const { return FBeepCount; }

    // The background picture rendered at the panel's size, rebuilt first when
    // it is dirty; null without a picture.
    TBitmap* BackgroundCache();
    // The display text for a value: Fixed (a result of "=") honours
    // FixedDecimalPlaces; otherwise as many decimals as the value needs at
    // 15 significant digits.
    String FormatValue(bool Fixed, double X) const;

    void Loaded() override;
    void SetParent(TWinControl* AParent) override;
    void WndProc(TMessage& Message) override;

protected:
    virtual TButtonRecord DefineButton(TnvCalcButtonType AType, int Top, int Left, int Width, int Height,
                                       const String& Caption, TColor FontColor, const String& Hint);
    virtual void DoSetButtonAttributes(TnvCalcButtonType& AType, String& ACaption, TColor& AFontColor,
                                       TColor& AButtonColor, String& AHint);
    // The sound of a refused key.
    virtual void Beep();

    // The panel's text is the display's: reading gives "" and writing does
    // nothing while there is no display.
    String GetText() const override;
    void SetTextBuf(const String& Value) override;
    void Paint() override;
    void BoundsChanged(int OldWidth, int OldHeight) override;

    // ---- engine state
    double FMemory = 0;
    double FEntryValue = 0;
    double FAccumulator = 0;
    double FLastOperand = 0;
    TnvCalcButtonType FPendingOp = btNone;
    TnvCalcButtonType FPreviousOp = btNone;
    bool FDecimalEntered = false;
    bool FNewEntry = false;
    bool FAfterEquals = false;
    bool FAfterUnary = false;
    bool FEditing = false;
    TnvCalcButtonType FLastButton = btNone;
    bool FShiftSubstituted = false;
    int FMaxDigits = 15;
    int FBeepCount = 0;

    // ---- look and children
    std::array<TButtonRecord, CalcButtonTypeCount> FButtons{};
    // Watched: a child deleted from outside leaves no dangling pointer.
    QPointer<TRightEdit> FDisplay;
    QPointer<TCustomEdit> FExternalDisplay;
    QPointer<TnvCalcBevel> FMemoryBevel;
    QPointer<TnvCalcLabel> FMemoryLabel;
    std::unique_ptr<TBitmap> FBackgroundCache;
    bool FBackgroundDirty = false;
    TRect FLastSize;

private:
    bool HasPicture() const;
    bool HasCalcButtons() const;
    void PictureChanged();
    // Display helpers (nothing without a display).
    String DisplayText() const;
    void SetDisplayText(const String& Value);
    void CaretToEnd();
    void SelectDisplay();
    // False for the two early stops (digit limit, operator after operator).
    bool DoProcessButton(TnvCalcButtonType AType, bool& SelectedOnEquals);
    void FinalSteps(bool SelectedOnEquals);
    double Parse(const String& S) const;
    double Apply(TnvCalcButtonType Op, double A, double B, bool CalcDivideError) const;
    int RowTop(int Row) const;

    std::unique_ptr<TPicture> FBackgroundBitmap;
    TnvCalcBitmapDrawStyle FBackgroundBitmapDrawStyle = cbdStretch;
    bool FBorder3D = false;
    int FButtonMargin = 3;
    int FFixedDecimalPlaces = -1;
    TnvCalcOptions FOptions;
    TColor FPanelColor = clBtnFace;
    int FRowH = 0;
    int FRowM = 0;
};

void RegisterCalculatorClasses();
