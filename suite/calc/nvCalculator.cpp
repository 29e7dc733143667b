// The calculator panel: arrangement, engine, keyboard and painting.
#include "nvCalculator.h"

#include <QApplication>

#include <cmath>

#include "FloatFormat.h"
#include "System.h"

// ---------------------------------------------------------------- shading

namespace {

TColor ShadeChannels(TColor Color, bool Lighter)
{
    uint8_t Top, Blue, Green, Red;
    ColorToBytes(Color, Top, Blue, Green, Red);
    auto Shade = [Lighter](int Ch) {
        const int V = Lighter ? Ch + static_cast<int>((255 - Ch) * 0.5) : static_cast<int>(Ch * 0.5);
        return std::clamp(V, 0, 255);
    };
    return TColor(Shade(Red) | (Shade(Green) << 8) | (Shade(Blue) << 16));
}

// The caption, hint and caption colour a button starts with.
struct TDefaultButton {
    const char* Caption;
    const char* Hint;
    bool Red;
};

const TDefaultButton DefaultButtons[CalcButtonTypeCount] = {
    {"", "", false},                                                      // btNone
    {"0", "Puts this number in display.", false},                         // bt0
    {"1", "Puts this number in display.", false},                         // bt1
    {"2", "Puts this number in display.", false},                         // bt2
    {"3", "Puts this number in display.", false},                         // bt3
    {"4", "Puts this number in display.", false},                         // bt4
    {"5", "Puts this number in display.", false},                         // bt5
    {"6", "Puts this number in display.", false},                         // bt6
    {"7", "Puts this number in display.", false},                         // bt7
    {"8", "Puts this number in display.", false},                         // bt8
    {"9", "Puts this number in display.", false},                         // bt9
    {nullptr, "Inserts a decimal point.", false},                         // btDecimal: the separator
    {"+/-", "Changes sign of displayed number.", false},                  // btPlusMinus
    {"*", "Multiplies.", true},                                           // btMultiply
    {"/", "Divides.", true},                                              // btDivide
    {"+", "Adds.", true},                                                 // btAdd
    {"-", "Subtracts.", true},                                            // btSubtract
    {"=", "Performs any operation on previous numbers.", true},           // btEquals
    {"sqrt", "Calculates squareroot of number.", false},                  // btSqrt
    {"%", "Calculates Percentage", false},                                // btPercent
    {"1/x", "Calculates the reciprocal.", false},                         // btInverse
    {"Back", "Deletes last digit of displayed number.", true},            // btBackspace
    {"CE", "Clears displayed number.", true},                             // btClear
    {"C", "Clears the current calculation.", true},                       // btClearAll
    {"MR", "Recalls the number stored in memory.", true},                 // btMRecall
    {"MS", "Stores the displayed number in memory.", true},               // btMStore
    {"MC", "Clears any number stored in memory.\r\n\r\nKeyboard equivalent = CTRL + L", true}, // btMClear
    {"M+", "Adds displayed number to number in memory.", true},           // btMAdd
};

String DecimalSep()
{
    return String(1, FormatSettings.DecimalSeparator);
}

int CountDigits(const String& S)
{
    int N = 0;
    for (char C : S)
        if (C >= '0' && C <= '9')
            ++N;
    return N;
}

bool IsChainOperator(TnvCalcButtonType T)
{
    return T == btMultiply || T == btDivide || T == btAdd || T == btSubtract;
}

// A result the floating-point unit would have refused.
double Checked(double R)
{
    if (std::isnan(R))
        throw EInvalidOp("Invalid floating point operation");
    if (std::isinf(R))
        throw EOverflow("Floating point overflow");
    return R;
}

// The key character of a key: Enter "=", Delete "c", Backspace "b", Escape
// "e", every other key the character it types without modifiers.
char KeyCharOf(Word Key)
{
    switch (Key) {
    case VK_RETURN: return '=';
    case VK_DELETE: return 'c';
    case VK_BACK: return 'b';
    case VK_ESCAPE: return 'e';
    default: return KeyToChar(Key);
    }
}

// The character Shift makes of the five shifted calculator keys; the
// character itself for every other.
char ShiftedKeyChar(char Ch)
{
    switch (Ch) {
    case '-': return '_';
    case '2': return '@';
    case '5': return '%';
    case '8': return '*';
    case '=': return '+';
    default: return Ch;
    }
}

void Line3(TCanvas* C, TColor Color, int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    C->Pen()->SetColor(Color);
    C->MoveTo(X1, Y1);
    C->LineTo(X2, Y2);
    C->LineTo(X3, Y3);
}

} // namespace

TColor CalcLighten(TColor Color)
{
    return ShadeChannels(Color, true);
}

TColor CalcDarken(TColor Color)
{
    return ShadeChannels(Color, false);
}

// ---------------------------------------------------------------- TnvCalcButton

TnvCalcButton::TnvCalcButton(TComponent* AOwner) : TSpeedButton(AOwner)
{
    SetTransparent(false);
}

TnvCalcButton::~TnvCalcButton() = default;

TnvCalculator* TnvCalcButton::Calculator() const
{
    return dynamic_cast<TnvCalculator*>(Owner());
}

void TnvCalcButton::SetButtonColor(TColor Value)
{
    if (FButtonColor == Value)
        return;
    FButtonColor = Value;
    Invalidate();
}

void TnvCalcButton::SetFontColor(TColor Value)
{
    if (FFontColor == Value)
        return;
    FFontColor = Value;
    Invalidate();
}

void TnvCalcButton::EnabledChanged()
{
    TSpeedButton::EnabledChanged();
    Invalidate();
}

void TnvCalcButton::WndProc(TMessage& Message)
{
    TSpeedButton::WndProc(Message);
    if (Message.Msg == CM_MOUSEENTER || Message.Msg == CM_MOUSELEAVE) {
        const TnvCalculator* Calc = Calculator();
        if (Calc && Calc->Options().testFlag(cboHotTrackButtons) && !Calc->Options().testFlag(cboFlatDrawStyle))
            Invalidate();
    }
}

void TnvCalcButton::Paint()
{
    if (FDesignHidden && IsDesigning())
        return;
    TnvCalculator* Calc = Calculator();
    const TnvCalcOptions Opt = Calc ? Calc->Options() : TnvCalcOptions();
    TCanvas* C = Canvas();
    const bool Inside = FMouseInControl;
    const bool Pressed = FKeyPressed || State() == bsDown;
    const bool Hot = Inside && Opt.testFlag(cboHotTrackButtons) && !Opt.testFlag(cboFlatButtons);
    const bool FlatStyle = Opt.testFlag(cboFlatDrawStyle);
    const bool Rounded = Opt.testFlag(cboRoundedButtons);

    C->Font()->Assign(Font());
    C->Font()->SetColor(FFontColor);
    C->Pen()->SetColor(clBlack);
    C->Pen()->SetWidth(1);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(FButtonColor);

    TRect R = ClientRect();
    TBitmap* Cache = Transparent() && Calc ? Calc->BackgroundCache() : nullptr;
    if (Cache)
        C->CopyRect(R, Cache->Canvas(), BoundsRect());
    else
        C->FillRect(R);

    if (Hot && !FlatStyle) {
        C->Pen()->SetColor(clWindowFrame);
        C->Brush()->SetStyle(bsClear);
        if (!Rounded) {
            C->Rectangle(R);
            InflateRect(R, -1, -1);
        }
    }

    C->Pen()->SetColor(clBtnShadow);
    C->Pen()->SetWidth(1);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(FButtonColor);
    const TColor Dark = CalcDarken(FButtonColor);
    const TColor Light = CalcLighten(FButtonColor);

    // The rounded face: a 20 x 20 corner ellipse, thicker and outlined when hot.
    auto RoundedFace = [&] {
        if (Hot) {
            InflateRect(R, -1, -1);
            C->Pen()->SetWidth(2);
        }
        C->RoundRect(R.Left, R.Top, R.Right, R.Bottom, 20, 20);
        if (Hot) {
            C->Pen()->SetColor(clWindowFrame);
            C->Pen()->SetWidth(1);
            C->RoundRect(R.Left, R.Top, R.Right, R.Bottom, 20, 20);
        }
    };

    if (Pressed) {
        if (FlatStyle) {
            DrawFrameControl(C, R, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED | DFCS_CHECKED | DFCS_FLAT);
        } else if (Rounded) {
            RoundedFace();
            InflateRect(R, -1, -1);
        } else {
            C->Brush()->SetStyle(bsClear);
            C->Rectangle(R);
            const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
            Line3(C, Dark, L, B, L, T, Rt, T);
            Line3(C, clBlack, L + 1, B - 1, L + 1, T + 1, Rt - 1, T + 1);
            Line3(C, Light, L + 2, B - 2, Rt - 2, B - 2, Rt - 2, T + 2);
            Line3(C, clWhite, L + 1, B - 1, Rt - 1, B - 1, Rt - 1, T + 1);
            InflateRect(R, -1, -1);
        }
    } else if (!Opt.testFlag(cboFlatButtons) || (Inside && Opt.testFlag(cboHotTrackButtons))) {
        if (FlatStyle) {
            DrawFrameControl(C, R, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_FLAT);
        } else if (Rounded) {
            C->Brush()->SetStyle(bsClear);
            RoundedFace();
        } else {
            C->Brush()->SetStyle(bsClear);
            C->Rectangle(R);
            const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
            Line3(C, Light, L, B, L, T, Rt, T);
            Line3(C, clWhite, L + 1, B - 1, L + 1, T + 1, Rt - 1, T + 1);
            Line3(C, Dark, L + 2, B - 2, Rt - 2, B - 2, Rt - 2, T + 1);
            Line3(C, clBlack, L + 1, B - 1, Rt - 1, B - 1, Rt - 1, T);
        }
    }

    if (Pressed)
        OffsetRect(R, 1, 1);
    C->Brush()->SetStyle(bsClear);
    DrawText(C, Caption(), R, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

// ---------------------------------------------------------------- memory indicator, display

TnvCalcLabel::TnvCalcLabel(TComponent* AOwner) : TLabel(AOwner)
{
    SetAutoSize(false);
    SetTransparent(true);
    SetAlignment(taCenter);
}

TnvCalcBevel::TnvCalcBevel(TComponent* AOwner) : TBevel(AOwner) {}

void TnvCalcBevel::Paint()
{
    TCanvas* C = Canvas();
    TRect Outer(0, 0, Width(), Height());
    Frame3D(C, Outer, clBlack, clWhite, 1);
    TRect Inner(1, 1, Width() - 1, Height() - 1);
    Frame3D(C, Inner, CalcDarken(Color()), CalcLighten(Color()), 1);
}

TRightEdit::TRightEdit(TComponent* AOwner) : TEdit(AOwner)
{
    LineEdit()->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Font()->SetName("Arial");
    Font()->SetHeight(-13);
    Font()->SetStyle(TFontStyles());
    SetText("0");
    // A read-only line edit shows no caret, so a mouse release leaves none.
    SetReadOnly(true);
}

// ---------------------------------------------------------------- TnvCalculator

TnvCalculator::TnvCalculator(TComponent* AOwner)
    : TCustomPanel(AOwner), FBackgroundCache(std::make_unique<TBitmap>()),
      FBackgroundBitmap(std::make_unique<TPicture>())
{
    // The caption is the display's text, never the component's name.
    FControlStyle &= ~TControlStyle(csSetCaption);
    FBackgroundBitmap->SetOwner(this);
    FBackgroundBitmap->OnChange = [this](TObject*) { PictureChanged(); };
    SetBounds(Left(), Top(), 250, 200);
}

TnvCalculator::~TnvCalculator()
{
    FBackgroundBitmap->OnChange = nullptr;
}

// ---- properties

bool TnvCalculator::HasPicture() const
{
    return FBackgroundBitmap->Graphic() && !FBackgroundBitmap->Graphic()->Empty();
}

bool TnvCalculator::HasCalcButtons() const
{
    for (int I = 0; I < ControlCount(); ++I)
        if (dynamic_cast<TnvCalcButton*>(Controls(I)))
            return true;
    return false;
}

TnvCalcButton* TnvCalculator::FindCalcButton(TnvCalcButtonType AType) const
{
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* B = dynamic_cast<TnvCalcButton*>(Controls(I)); B && B->ButtonType() == AType)
            return B;
    return nullptr;
}

void TnvCalculator::PictureChanged()
{
    const bool Has = HasPicture();
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* B = dynamic_cast<TnvCalcButton*>(Controls(I)))
            B->SetTransparent(Has);
    FBackgroundCache = std::make_unique<TBitmap>();
    FBackgroundDirty = true;
    if (!IsLoading())
        InvalidateAll();
}

void TnvCalculator::SetBackgroundBitmap(TPicture* Value)
{
    if (Value != FBackgroundBitmap.get())
        FBackgroundBitmap->Assign(Value);
    // The picture's own change notice does the same; a picture that reports
    // no change (the same one assigned again) still gets a fresh cache.
    PictureChanged();
}

void TnvCalculator::SetBackgroundBitmapDrawStyle(TnvCalcBitmapDrawStyle Value)
{
    if (FBackgroundBitmapDrawStyle == Value)
        return;
    FBackgroundBitmapDrawStyle = Value;
    InvalidateAll();
}

void TnvCalculator::SetBorder3D(bool Value)
{
    if (FBorder3D == Value)
        return;
    FBorder3D = Value;
    Invalidate();
}

void TnvCalculator::SetButtonMargin(int Value)
{
    if (FButtonMargin == Value)
        return;
    FButtonMargin = Value;
    if (!IsLoading())
        ArrangeButtons();
}

void TnvCalculator::SetOptions(TnvCalcOptions Value)
{
    if (FOptions == Value)
        return;
    FOptions = Value;
    if (!IsLoading()) {
        ArrangeButtons();
        InvalidateAll();
    }
}

void TnvCalculator::SetPanelColor(TColor Value)
{
    if (FPanelColor == Value)
        return;
    FPanelColor = Value;
    SetColor(Value);
    if (FMemoryLabel)
        FMemoryLabel->SetColor(Value);
    if (FMemoryBevel)
        FMemoryBevel->SetColor(Value);
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* B = dynamic_cast<TnvCalcButton*>(Controls(I)))
            B->SetButtonColor(Value);
    InvalidateAll();
}

// ---- display

TCustomEdit* TnvCalculator::GetDisplay() const
{
    if (FExternalDisplay)
        return FExternalDisplay.data();
    return FDisplay.data();
}

void TnvCalculator::SetDisplay(TCustomEdit* Edit)
{
    FExternalDisplay = Edit;
}

String TnvCalculator::GetText() const
{
    const TCustomEdit* D = GetDisplay();
    return D ? D->Text() : String();
}

void TnvCalculator::SetTextBuf(const String& Value)
{
    if (TCustomEdit* D = GetDisplay())
        D->SetText(Value);
}

String TnvCalculator::DisplayText() const
{
    return GetText();
}

void TnvCalculator::SetDisplayText(const String& Value)
{
    SetTextBuf(Value);
}

void TnvCalculator::CaretToEnd()
{
    if (TCustomEdit* D = GetDisplay()) {
        D->SetSelStart(Length(D->Text()));
        D->SetSelLength(0);
    }
}

void TnvCalculator::SelectDisplay()
{
    if (TCustomEdit* D = GetDisplay())
        D->SelectAll();
}

// ---- arrangement

int TnvCalculator::RowTop(int Row) const
{
    return Row * (FRowH + FRowM) + 5;
}

TButtonRecord TnvCalculator::DefineButton(TnvCalcButtonType AType, int Top, int Left, int Width, int Height,
                                          const String& Caption, TColor FontColor, const String& Hint)
{
    TnvCalcButtonType Type = AType;
    String Cap = Caption;
    TColor Font = FontColor;
    TColor Face = FPanelColor;
    String H = Hint;
    DoSetButtonAttributes(Type, Cap, Font, Face, H);
    TButtonRecord R;
    R.Top = Top;
    R.Left = Left;
    R.Width = Width;
    R.Height = Height;
    R.Caption = Cap;
    R.Hint = H;
    R.FontColor = Font;
    R.ButtonColor = Face;
    R.ButtonType = Type;
    return R;
}

void TnvCalculator::DoSetButtonAttributes(TnvCalcButtonType& AType, String& ACaption, TColor& AFontColor,
                                          TColor& AButtonColor, String& AHint)
{
    if (OnSetButtonAttributes)
        OnSetButtonAttributes(this, AType, ACaption, AFontColor, AButtonColor, AHint);
}

namespace {

// Which records the running arrangement placed.
using TPlacedSet = std::array<bool, CalcButtonTypeCount>;

} // namespace

void TnvCalculator::ArrangeButtons()
{
    const int W = Width(), H = Height(), M = FButtonMargin;
    const bool HideEditor = FOptions.testFlag(cboHideEditor);
    const int Rows = HideEditor ? 5 : 6;
    enum { Normal, NoMemory, Simple } Mode = FOptions.testFlag(cboSimpleCalc)   ? Simple
                                             : FOptions.testFlag(cboHideMemory) ? NoMemory
                                                                                : Normal;
    const int K0 = HideEditor ? 1 : 2;
    const bool Designing = IsDesigning();
    FRowM = M;
    FRowH = (H - (Rows - 1) * M - 10) / Rows;
    const int RowH = FRowH;

    TPlacedSet Placed{};
    auto Def = [&](TnvCalcButtonType T, int Row, int Left, int Width) {
        const TDefaultButton& D = DefaultButtons[T];
        FButtons[T] = DefineButton(T, RowTop(Row), Left, Width, RowH, D.Caption ? String(D.Caption) : DecimalSep(),
                                   D.Red ? clRed : clBlue, D.Hint);
        Placed[T] = true;
    };
    // The keypad: four rows of five columns (four in the simple mode).
    auto Keypad = [&](const int* X, int ColW, int FirstRow, bool IsSimple) {
        const TnvCalcButtonType Cols[5][4] = {
            {bt7, bt4, bt1, bt0},
            {bt8, bt5, bt2, IsSimple ? btDecimal : btPlusMinus},
            {bt9, bt6, bt3, IsSimple ? btPlusMinus : btDecimal},
            {btDivide, btMultiply, btSubtract, btAdd},
            {btSqrt, btPercent, btInverse, btEquals},
        };
        for (int C = 0; C < (IsSimple ? 4 : 5); ++C)
            for (int Row = 0; Row < 4; ++Row)
                Def(Cols[C][Row], FirstRow + Row, X[C], ColW);
    };
    auto NormalLayout = [&] {
        const int ColW = (W - 15 - 5 * M) / 6;
        Def(btMClear, K0, 5, ColW);
        Def(btMRecall, K0 + 1, 5, ColW);
        Def(btMStore, K0 + 2, 5, ColW);
        Def(btMAdd, K0 + 3, 5, ColW);
        const int Wide = (W - ColW - 3 * M - 15) / 3;
        Def(btBackspace, K0 - 1, W - 3 * Wide - 2 * M - 5, Wide);
        Def(btClear, K0 - 1, W - 2 * Wide - M - 5, Wide);
        Def(btClearAll, K0 - 1, W - Wide - 5, Wide);
        int S = 3 * Wide - 5 * ColW - 2 * M;
        if (S < 1)
            S = 0;
        const int X[5] = {W - S - ColW - 4 * (ColW + M) - 5, W - S - ColW - 3 * (ColW + M) - 5,
                          W - S - ColW - 2 * (ColW + M) - 5, W - 2 * ColW - M - 5, W - ColW - 5};
        Keypad(X, ColW, K0, false);
        return ColW;
    };

    int ColW = 0;
    if (Mode == Normal) {
        ColW = NormalLayout();
    } else {
        if (Designing) {
            // The records the mode leaves out keep their normal places, so a
            // designer can still reach them; the buttons are not shown.
            NormalLayout();
            Placed.fill(false);
        }
        const int Cols = Mode == Simple ? 4 : 5;
        ColW = (W - 10 - (Cols - 1) * M) / Cols;
        const int Wide = (W - 3 * M) / 3;
        const int Trim = std::abs(W - 3 * Wide - 2 * M - 10);
        if (Mode == NoMemory) {
            Def(btBackspace, K0 - 1, 5, Wide - Trim);
            Def(btClear, K0 - 1, W - 2 * Wide - M - 5, Wide);
            Def(btClearAll, K0 - 1, W - Wide - 5, Wide);
            const int X[5] = {5, ColW + M + 5, 2 * ColW + 2 * M + 5, W - 2 * ColW - M - 5, W - ColW - 5};
            Keypad(X, ColW, K0, false);
        } else {
            Def(btClearAll, Rows - 1, 5, Wide - Trim);
            Def(btBackspace, Rows - 1, W - 2 * Wide - M - 5, Wide);
            Def(btEquals, Rows - 1, W - Wide - 5, Wide);
            const int X[4] = {5, ColW + M + 5, 2 * ColW + 2 * M + 5, W - ColW - 5};
            Keypad(X, ColW, K0 - 1, true);
        }
    }

    // The buttons: made once, then updated from their records.
    const bool Picture = HasPicture();
    auto Apply = [&](TnvCalcButton* B, const TButtonRecord& R, TnvCalcButtonType Index) {
        B->SetBounds(R.Left, R.Top, R.Width, R.Height);
        B->SetFontColor(R.FontColor);
        B->SetButtonColor(R.ButtonColor);
        B->SetHint(R.Hint);
        B->Font()->SetHeight(Font()->Height());
        B->Font()->SetName(Font()->Name());
        B->Font()->SetStyle(Font()->Style());
        B->OnClick = [this](TObject* Sender) { CalcButtonClick(Sender); };
        B->SetTransparent(Picture);
        // A button the mode does not place is not shown; while designing it
        // stays (at its normal place) but paints nothing.
        B->SetDesignHidden(!Placed[Index]);
        B->SetVisible(Placed[Index] || Designing);
        // A key first made by a mode that left it out gets its type and
        // caption when a later arrangement places it.
        if (Placed[Index]) {
            B->SetButtonType(R.ButtonType);
            B->SetCaption(R.Caption);
        }
    };
    if (!HasCalcButtons()) {
        for (int I = 0; I < CalcButtonTypeCount; ++I) {
            const auto T = static_cast<TnvCalcButtonType>(I);
            const TButtonRecord& R = FButtons[I];
            auto* B = new TnvCalcButton(this);
            B->SetParent(this);
            B->SetButtonType(Placed[I] ? R.ButtonType : T);
            B->SetCaption(R.Caption);
            B->SetTag(I);
            Apply(B, R, T);
        }
    } else {
        for (int I = 0; I < ControlCount(); ++I)
            if (auto* B = dynamic_cast<TnvCalcButton*>(Controls(I))) {
                const intptr_t Index = B->Tag();
                if (Index >= 0 && Index < CalcButtonTypeCount)
                    Apply(B, FButtons[Index], static_cast<TnvCalcButtonType>(Index));
            }
    }

    // The memory indicator, beside the control row in the normal mode.
    if (Mode == Normal) {
        if (!FMemoryBevel) {
            FMemoryBevel = new TnvCalcBevel(this);
            FMemoryBevel->SetParent(this);
        }
        FMemoryBevel->SetBounds(5, RowTop(K0 - 1) + 1, ColW, RowH - 1);
        FMemoryBevel->SetColor(FPanelColor);
        if (!FMemoryLabel) {
            FMemoryLabel = new TnvCalcLabel(this);
            FMemoryLabel->SetParent(this);
            FMemoryLabel->SetColor(FPanelColor);
        }
        FMemoryLabel->Font()->SetHeight(Font()->Height());
        FMemoryLabel->Font()->SetName(Font()->Name());
        FMemoryLabel->Font()->SetStyle(Font()->Style());
        QImage Scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
        TCanvas Measure(&Scratch);
        Measure.Font()->Assign(FMemoryLabel->Font());
        const int TH = Measure.TextHeight("M");
        FMemoryLabel->SetBounds(5, RowTop(K0 - 1) + (RowH - TH) / 2, ColW, RowH);
        FMemoryLabel->SetVisible(true);
        FMemoryLabel->SetCaption(FMemory != 0 ? " M" : "");
    } else {
        delete FMemoryBevel.data();
        // The label is kept for a later normal arrangement but not shown
        // where the control row's keys now are.
        if (FMemoryLabel)
            FMemoryLabel->SetVisible(false);
    }

    // The own display.
    if (!FDisplay) {
        FDisplay = new TRightEdit(this);
        FDisplay->SetParent(this);
        FDisplay->OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) {
            DisplayKeyDown(Sender, Key, Shift);
        };
        FDisplay->OnKeyUp = [this](TObject* Sender, Word& Key, TShiftState Shift) { DisplayKeyUp(Sender, Key, Shift); };
    }
    FDisplay->SetVisible(!HideEditor);
    FDisplay->SetBounds(5, 5, W - 10, RowH);

    InvalidateAll();
}

// ---- life cycle

void TnvCalculator::Loaded()
{
    TCustomPanel::Loaded();
    ArrangeButtons();
    const bool Picture = HasPicture();
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* B = dynamic_cast<TnvCalcButton*>(Controls(I)))
            B->SetTransparent(Picture);
    if (Picture)
        FBackgroundDirty = true;
}

void TnvCalculator::SetParent(TWinControl* AParent)
{
    TCustomPanel::SetParent(AParent);
    // A calculator made in code gets its keys when it is first placed.
    if (AParent && !IsLoading() && !IsDestroying() && !HasCalcButtons())
        ArrangeButtons();
}

void TnvCalculator::BoundsChanged(int OldWidth, int OldHeight)
{
    TCustomPanel::BoundsChanged(OldWidth, OldHeight);
    const TRect New(0, 0, Width(), Height());
    if (New == FLastSize)
        return;
    FLastSize = New;
    FBackgroundDirty = true;
    if (!IsLoading() && (HasCalcButtons() || Parent()))
        ArrangeButtons();
}

void TnvCalculator::WndProc(TMessage& Message)
{
    // The text is the display's, which repaints itself.
    if (Message.Msg == CM_TEXTCHANGED)
        return;
    TCustomPanel::WndProc(Message);
}

void TnvCalculator::InvalidateAll()
{
    FBackgroundDirty = true;
    Invalidate();
    for (int I = 0; I < ControlCount(); ++I)
        Controls(I)->Invalidate();
}

// ---- painting

TBitmap* TnvCalculator::BackgroundCache()
{
    if (!HasPicture())
        return nullptr;
    const int W = Width(), H = Height();
    if (FBackgroundDirty || FBackgroundCache->Width() != W || FBackgroundCache->Height() != H) {
        FBackgroundDirty = false;
        if (W <= 0 || H <= 0)
            return nullptr;
        FBackgroundCache->SetSize(W, H);
        FBackgroundCache->SetTransparentColor(clNone);
        TGraphic* G = FBackgroundBitmap->Graphic();
        TCanvas* C = FBackgroundCache->Canvas();
        switch (FBackgroundBitmapDrawStyle) {
        case cbdStretch: C->StretchDraw(TRect(0, 0, W, H), G); break;
        case cbdTile: TileGraphic(G, C, TRect(0, 0, W, H)); break;
        case cbdTopLeft: C->Draw(0, 0, G); break;
        case cbdCenter: C->Draw((W - G->Width()) / 2, (H - G->Height()) / 2, G); break;
        }
    }
    return FBackgroundCache.get();
}

void TnvCalculator::Paint()
{
    TCanvas* C = Canvas();
    const TRect Client = ClientRect();
    if (TBitmap* Cache = BackgroundCache()) {
        C->CopyRect(Client, Cache->Canvas(), Client);
    } else {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(FPanelColor);
        C->FillRect(Client);
    }
    if (FOptions.testFlag(cboHideBorder))
        return;
    TRect R = Client;
    if (FBorder3D) {
        Frame3D(C, R, CalcLighten(Color()), clBlack, 1);
        Frame3D(C, R, clWhite, CalcDarken(Color()), 1);
    } else {
        Frame3D(C, R, clWhite, clBlack, 1);
    }
}

// ---- number formatting

String TnvCalculator::FormatValue(bool Fixed, double X) const
{
    const bool Grouping = FOptions.testFlag(cboDigitGrouping);
    const String IntPicture = Grouping ? "#,##0" : "###0";
    const String Stem = Grouping ? "#,##0." : "###0.";
    if (Fixed && FFixedDecimalPlaces >= 0)
        return FormatFloat(Stem + String(FFixedDecimalPlaces, '0'), X);
    if (Frac(X) == 0)
        return FormatFloat(IntPicture, X);
    const double Y = StrToFloat(FloatToStrF(X, ffFixed, 15, 15));
    const String U = FormatFloat("#.##############", Y);
    const int P = Pos(DecimalSep(), U);
    const int N = Length(U) - P;
    return FormatFloat(Stem + String(N, '0'), Y);
}

double TnvCalculator::Parse(const String& S) const
{
    return StrToFloatLoose(S);
}

double TnvCalculator::Apply(TnvCalcButtonType Op, double A, double B, bool CalcDivideError) const
{
    switch (Op) {
    case btMultiply: return Checked(A * B);
    case btAdd: return Checked(A + B);
    case btSubtract: return Checked(A - B);
    case btDivide:
        if (B == 0) {
            if (CalcDivideError)
                throw EnvCalcException("Cannot divide by zero");
            if (A == 0)
                throw EInvalidOp("Invalid floating point operation");
            throw EZeroDivide("Floating point division by zero");
        }
        return Checked(A / B);
    default: return A;
    }
}

// ---- the engine

void TnvCalculator::Beep()
{
    ++FBeepCount;
    QApplication::beep();
}

void TnvCalculator::ClearAll()
{
    FEntryValue = 0;
    SetDisplayText("0");
    FAccumulator = 0;
    FNewEntry = false;
    FPendingOp = btNone;
    FPreviousOp = btNone;
    FAfterEquals = false;
    FLastOperand = 0;
    FAfterUnary = false;
    FDecimalEntered = false;
    FLastButton = btNone;
}

void TnvCalculator::CalcButtonClick(TObject* Sender)
{
    const auto* C = dynamic_cast<TComponent*>(Sender);
    if (!C || C->Tag() < 0 || C->Tag() >= CalcButtonTypeCount)
        return;
    ProcessButton(static_cast<TnvCalcButtonType>(C->Tag()));
}

void TnvCalculator::ProcessButton(TnvCalcButtonType AType)
{
    bool Selected = false;
    try {
        if (!DoProcessButton(AType, Selected))
            return;
    } catch (const EAbort&) {
        throw;
    } catch (const Exception& E) {
        if (TnvCalcButton* B = FindCalcButton(AType)) {
            B->SetKeyPressed(false);
            B->Invalidate();
        }
        ClearAll();
        SetDisplayText(E.Message());
        Selected = false;
    }
    FinalSteps(Selected);
}

bool TnvCalculator::DoProcessButton(TnvCalcButtonType AType, bool& SelectedOnEquals)
{
    const String Sep = DecimalSep();
    auto EndsWithSep = [&](const String& S) { return !S.empty() && S.back() == Sep[0]; };
    auto HasSep = [&](const String& S) { return Pos(Sep, S) != 0; };

    // "=", and an operator on an empty display.
    auto Equals = [&] {
        if (DisplayText().empty()) {
            Beep();
        } else {
            double V;
            if (FAfterEquals || FPendingOp == btPercent) {
                V = FLastOperand;
            } else {
                V = Parse(DisplayText());
                FLastOperand = V;
            }
            if (FPendingOp == btNone)
                FAccumulator = V;
            else if (IsChainOperator(FPendingOp))
                FAccumulator = Apply(FPendingOp, FAccumulator, V, true);
            else if (FPendingOp == btPercent && IsChainOperator(FPreviousOp))
                FAccumulator = Apply(FPreviousOp, FAccumulator, V, false);
            FAfterEquals = true;
            SetDisplayText(FormatValue(true, FAccumulator));
            if (FOptions.testFlag(cboSelectOnEquals)) {
                SelectDisplay();
                SelectedOnEquals = true;
            } else {
                CaretToEnd();
            }
            FNewEntry = true;
            FEditing = false;
            FEntryValue = 0;
        }
        FLastButton = AType;
    };

    switch (AType) {
    case bt0:
    case bt1:
    case bt2:
    case bt3:
    case bt4:
    case bt5:
    case bt6:
    case bt7:
    case bt8:
    case bt9: {
        if (FNewEntry) {
            if (FAfterEquals || FAfterUnary)
                ClearAll();
            else
                SetDisplayText("0");
            FDecimalEntered = false;
        }
        FNewEntry = false;
        String D = DisplayText();
        if (CountDigits(D) >= FMaxDigits) {
            Beep();
            return false;
        }
        if (!FDecimalEntered && (D == "0" + Sep || D == "0" || FEntryValue == 0))
            D.clear();
        if (!FDecimalEntered && EndsWithSep(D))
            D.pop_back();
        FEditing = true;
        const String& Cap = FButtons[AType].Caption;
        D += Cap;
        FEntryValue = Parse(D);
        // Zeros typed after the decimal point stay visible.
        if (!(HasSep(D) && Cap == "0"))
            D = FormatValue(false, FEntryValue);
        SetDisplayText(D);
        CaretToEnd();
        FLastButton = AType;
        break;
    }
    case btDecimal: {
        if (FNewEntry) {
            if (FAfterEquals)
                ClearAll();
            else
                SetDisplayText("0");
            // A new number has no decimal point yet, whatever the last one had.
            FDecimalEntered = false;
        }
        FNewEntry = false;
        if (!FDecimalEntered) {
            String D = DisplayText();
            if (D == "0" + Sep || D == "0" || FEntryValue == 0)
                D = "0";
            FEntryValue = Parse(D);
            if (!EndsWithSep(D))
                D += FButtons[btDecimal].Caption;
            SetDisplayText(D);
        } else if (FLastButton == btDecimal) {
            Beep();
        }
        FDecimalEntered = true;
        FLastButton = btDecimal;
        break;
    }
    case btPlusMinus:
        FLastButton = btPlusMinus;
        FEntryValue = -Parse(DisplayText());
        // A result shown after "=" changes its sign in the running total too,
        // so the next operator continues from the negated value.
        if (FAfterEquals)
            FAccumulator = -FAccumulator;
        SetDisplayText(FloatToStr(FEntryValue));
        CaretToEnd();
        break;
    case btMultiply:
    case btDivide:
    case btAdd:
    case btSubtract:
    case btPercent: {
        if (DisplayText().empty()) {
            Equals();
            break;
        }
        const double V = Parse(DisplayText());
        TnvCalcButtonType Previous;
        if (FAfterEquals) {
            FLastOperand = V;
            FAfterEquals = false;
            FEntryValue = 0;
            FNewEntry = true;
            Previous = AType;
        } else if (FPendingOp == btNone) {
            FLastOperand = V;
            FAccumulator = V;
            FNewEntry = true;
            FEntryValue = 0;
            Previous = AType;
        } else if (FPendingOp == btPercent) {
            Previous = btPercent;
        } else {
            if (AType == btPercent) {
                FLastOperand = Checked(V / 100 * FAccumulator);
            } else {
                // An operator right after another one is ignored.
                if (IsChainOperator(FLastButton))
                    return false;
                FNewEntry = true;
                FAccumulator = Apply(FPendingOp, FAccumulator, V, true);
                FLastOperand = V;
            }
            FEntryValue = 0;
            Previous = FPendingOp;
        }
        FPreviousOp = Previous;
        FPendingOp = AType;
        SetDisplayText(FormatValue(false, AType == btPercent ? FLastOperand : FAccumulator));
        FEntryValue = 0;
        FLastButton = AType;
        // The operator took the unary result as its operand: the next digit
        // starts the second operand instead of a new calculation.
        FAfterUnary = false;
        break;
    }
    case btEquals: Equals(); break;
    case btSqrt:
    case btInverse: {
        const double V = Parse(DisplayText());
        if (AType == btSqrt) {
            if (V < 0)
                throw EInvalidOp("Invalid floating point operation");
            FEntryValue = std::sqrt(V);
        } else {
            if (V == 0)
                throw EnvCalcException("Cannot divide by zero");
            FEntryValue = Checked(1 / V);
        }
        SetDisplayText(FormatValue(false, FEntryValue));
        CaretToEnd();
        FEntryValue = 0;
        FNewEntry = true;
        FEditing = false;
        FAfterUnary = true;
        FLastButton = AType;
        break;
    }
    case btBackspace: {
        if (!FEditing) {
            Beep();
            break;
        }
        String S = DisplayText();
        if (EndsWithSep(S)) {
            S.erase(S.size() >= 2 ? S.size() - 2 : 0);
            FDecimalEntered = false;
        } else if (!S.empty()) {
            S.pop_back();
        }
        if (!HasSep(S))
            FDecimalEntered = false;
        if (S.empty()) {
            FEditing = false;
            S = "0";
        }
        const int P = Pos(Sep, S);
        const TCustomEdit* D = GetDisplay();
        if (P > 0 && D && D->SelStart() > P) {
            SetDisplayText(S);
        } else {
            FEntryValue = Parse(S);
            SetDisplayText(FormatValue(false, FEntryValue));
        }
        break;
    }
    case btClear:
        FEntryValue = 0;
        SetDisplayText("0");
        FDecimalEntered = false;
        break;
    case btClearAll: ClearAll(); break;
    case btMRecall:
        SetDisplayText(FormatValue(false, FMemory));
        CaretToEnd();
        FEntryValue = 0;
        break;
    case btMStore:
        FMemory = Parse(DisplayText());
        FEntryValue = 0;
        FNewEntry = true;
        FAfterUnary = true;
        FEditing = false;
        break;
    case btMClear: FMemory = 0; break;
    case btMAdd: FMemory = Checked(FMemory + Parse(DisplayText())); break;
    case btNone: break;
    }
    return true;
}

// ---- keyboard

TnvCalcButtonType TnvCalculator::CharToButtonType(char Ch, bool Ctrl)
{
    if (Ch >= '0' && Ch <= '9')
        return static_cast<TnvCalcButtonType>(bt0 + (Ch - '0'));
    switch (Ch) {
    case '.':
    case ',': return btDecimal;
    case '+': return btAdd;
    case '-': return btSubtract;
    case '*': return btMultiply;
    case '/': return btDivide;
    case '=': return btEquals;
    case '%': return btPercent;
    case '@': return btSqrt;
    case '_': return btPlusMinus;
    case 'B':
    case 'b': return btBackspace;
    case 'C':
    case 'c': return Ctrl ? btMClear : btClear;
    case 'E':
    case 'e': return btClearAll;
    case 'R':
    case 'r': return Ctrl ? btMRecall : btInverse;
    case 'M':
    case 'm': return Ctrl ? btMStore : btNone;
    case 'P':
    case 'p': return Ctrl ? btMAdd : btNone;
    default: return btNone;
    }
}

void TnvCalculator::DisplayKeyDown(TObject*, Word& Key, TShiftState Shift)
{
    if (Key == VK_SHIFT)
        return;
    char Ch = KeyCharOf(Key);
    if (Shift.testFlag(ssShift)) {
        const char Sub = ShiftedKeyChar(Ch);
        FShiftSubstituted = Sub != Ch;
        Ch = Sub;
    }
    const TnvCalcButtonType T = CharToButtonType(Ch, Shift.testFlag(ssCtrl));
    if (TnvCalcButton* B = FindCalcButton(T)) {
        B->SetKeyPressed(true);
        B->Repaint();
    }
    ProcessButton(T);
    CaretToEnd();
}

void TnvCalculator::DisplayKeyUp(TObject*, Word& Key, TShiftState Shift)
{
    char Ch = KeyCharOf(Key);
    if (Shift.testFlag(ssShift) || FShiftSubstituted) {
        const char Sub = ShiftedKeyChar(Ch);
        if (Sub != Ch)
            FShiftSubstituted = false;
        Ch = Sub;
    }
    if (TnvCalcButton* B = FindCalcButton(CharToButtonType(Ch, Shift.testFlag(ssCtrl)))) {
        B->SetKeyPressed(false);
        B->Repaint();
    }
}

void TnvCalculator::FinalSteps(bool SelectedOnEquals)
{
    if (FOptions.testFlag(cboShowDecimal) && GetDisplay()) {
        const String D = DisplayText();
        if (Pos(DecimalSep(), D) == 0) {
            SetDisplayText(D + DecimalSep());
            if (SelectedOnEquals)
                SelectDisplay();
        }
    }
    if (FMemoryLabel)
        FMemoryLabel->SetCaption(FMemory != 0 ? " M" : "");
}

// ---------------------------------------------------------------- registration

void RegisterCalculatorClasses()
{
    RegisterClasses<TnvCalculator>();
    // Handlers of the attribute event name the key type as it is spelled in
    // their code; reference parameters are matched by that name.
    qRegisterMetaType<TnvCalcButtonType>("TnvCalcButtonType");
}

namespace {
[[maybe_unused]] const bool CalculatorRegistered = (RegisterCalculatorClasses(), true);
}
