#include "nvCalcEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>

#include "Canvas.h"
#include "DBFields.h"
#include "FloatFormat.h"
#include "Forms.h"
#include "System.h"

namespace {

constexpr int PanelHeight = 175;
constexpr int PanelWidth = 250;
constexpr int SimplePanelWidth = 148;
// How long a key that opened the calculator shows its button pressed.
constexpr int FlashMilliseconds = 100;

char DecimalSep()
{
    return FormatSettings.DecimalSeparator;
}

bool IsDigit(char C)
{
    return C >= '0' && C <= '9';
}

bool IsPress(unsigned Msg)
{
    switch (Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: return true;
    default: return false;
    }
}

bool IsWidgetIn(const QWidget* Outer, const QWidget* W)
{
    return Outer && W && (W == Outer || Outer->isAncestorOf(W));
}

// The characters that Shift makes of the shifted calculator keys.
char ShiftedChar(char C)
{
    switch (C) {
    case '-': return '_';
    case '2': return '@';
    case '5': return '%';
    case '8': return '*';
    case '=': return '+';
    default: return C;
    }
}

// The text without thousands separators; Caret (an index into Text) becomes
// the index into the result.
String Ungroup(const String& Text, int& Caret)
{
    String Out;
    int NewCaret = 0;
    for (int I = 0; I < static_cast<int>(Text.size()); ++I) {
        if (Text[I] == FormatSettings.ThousandSeparator)
            continue;
        if (I < Caret)
            ++NewCaret;
        Out += Text[I];
    }
    Caret = NewCaret;
    return Out;
}

// The index in Grouped behind the first Count characters that are not
// thousands separators.
int GroupedIndex(const String& Grouped, int Count)
{
    int Seen = 0;
    for (int I = 0; I < static_cast<int>(Grouped.size()); ++I) {
        if (Seen == Count)
            return I;
        if (Grouped[I] != FormatSettings.ThousandSeparator)
            ++Seen;
    }
    return static_cast<int>(Grouped.size());
}

// An ungrouped number text formatted with grouping; the decimals typed
// (trailing zeros included) stay as they are.
String RegroupTyped(const String& Ungrouped)
{
    const double V = StrToFloatLoose(Ungrouped);
    const size_t Sep = Ungrouped.find(DecimalSep());
    if (Sep == String::npos)
        return TnvCustomCalcEdit::GroupingText(V);
    const size_t Decimals = Ungrouped.size() - Sep - 1;
    if (Decimals == 0)
        return FormatFloat("#,##0", V) + DecimalSep(); // the point just typed
    return FormatFloat("#,##0." + String(Decimals, '0'), V);
}

} // namespace

// ---------------------------------------------------------------- TnvPopupCalcOptions

TnvPopupCalcOptions::TnvPopupCalcOptions() : FBackground(std::make_unique<TPicture>())
{
    FBackground->SetOwner(this);
}

TnvPopupCalcOptions::~TnvPopupCalcOptions() = default;

void TnvPopupCalcOptions::SetBackground(TPicture* Value)
{
    if (Value)
        FBackground->Assign(Value);
    else
        FBackground->SetGraphic(nullptr);
}

void TnvPopupCalcOptions::SetBackgroundStyle(TnvCalcBitmapDrawStyle Value)
{
    if (Value < cbdStretch || Value > cbdCenter)
        throw EInvalidOperation("Invalid background style " + std::to_string(static_cast<int>(Value)));
    FBackgroundStyle = Value;
}

void TnvPopupCalcOptions::SetButtonMargin(int Value)
{
    if (Value < 0)
        throw EInvalidOperation("ButtonMargin cannot be negative (" + std::to_string(Value) + ")");
    FButtonMargin = Value;
}

void TnvPopupCalcOptions::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TnvPopupCalcOptions*>(Source)) {
        FBackground->Assign(S->FBackground.get());
        FBackgroundStyle = S->FBackgroundStyle;
        FButtonMargin = S->FButtonMargin;
        FOptions = S->FOptions;
        FPanelColor = S->FPanelColor;
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------- TnvCalcPanel

TnvCalcPanel::TnvCalcPanel(TComponent* AOwner) : TnvCalculator(AOwner)
{
    FEdit = dynamic_cast<TnvCustomCalcEdit*>(AOwner);
    FControlStyle |= TControlStyle(csReplicatable) | csNoDesignVisible | csActionClient;
    SetColor(clBtnFace);
}

void TnvCalcPanel::ProcessButton(TnvCalcButtonType AType)
{
    TnvCustomCalcEdit* Edit = FEdit;
    if (Edit && !Edit->CanEdit())
        return;
    TnvCalculator::ProcessButton(AType);
    if (!Edit)
        return;
    Edit->SetModified(true);
    if (AType == btEquals && Options().testFlag(cboCloseOnEquals) && !Edit->FClosingUp) {
        Repaint();
        Edit->CloseUp(false);
        // The press is over: the key or click that made it goes no further.
        Abort();
    }
}

// ---------------------------------------------------------------- TnvCustomCalcEdit

TnvCustomCalcEdit::TnvCustomCalcEdit(TComponent* AOwner)
    : TnvCustomCombo(AOwner), FCalcOptions(std::make_unique<TnvPopupCalcOptions>())
{
    SetMaxLength(20);
    ApplyAlignment();
}

TnvCustomCalcEdit::~TnvCustomCalcEdit()
{
    RemoveCancelHook();
    if (FPanel)
        FPanel->SetDisplay(nullptr);
}

// ---- properties

void TnvCustomCalcEdit::SetDisplayFormat(const String& Value)
{
    if (FDisplayFormat == Value)
        return;
    FDisplayFormat = Value;
    Invalidate();
}

void TnvCustomCalcEdit::SetMaxLength(int Value)
{
    TCustomEdit::SetMaxLength(Value);
    // The limit is kept for typing (KeyPress); the line edit itself takes
    // any text the program sets.
    LineEdit()->setMaxLength(32767);
}

void TnvCustomCalcEdit::SetUnboundAlignment(TAlignment Value)
{
    if (FUnboundAlignment == Value)
        return;
    FUnboundAlignment = Value;
    ApplyAlignment();
    Invalidate();
}

TAlignment TnvCustomCalcEdit::CurrentAlignment() const
{
    if (TField* F = Field())
        return F->Alignment();
    return FUnboundAlignment;
}

void TnvCustomCalcEdit::ApplyAlignment()
{
    Qt::Alignment H = Qt::AlignLeft;
    switch (CurrentAlignment()) {
    case taRightJustify: H = Qt::AlignRight; break;
    case taCenter: H = Qt::AlignHCenter; break;
    default: break;
    }
    LineEdit()->setAlignment(H | Qt::AlignTop);
}

// ---- value

double TnvCustomCalcEdit::Value() const
{
    return StrToFloatLoose(Text());
}

String TnvCustomCalcEdit::GroupingText(double X)
{
    if (Frac(X) == 0)
        return FormatFloat("#,##0", X);
    const double Y = StrToFloat(FloatToStrF(X, ffFixed, 15, 15));
    const String U = FormatFloat("#.##############", Y);
    const int P = Pos(String(1, DecimalSep()), U);
    return FormatFloat("#,##0." + String(Length(U) - P, '0'), Y);
}

void TnvCustomCalcEdit::SetValue(double X)
{
    if (X == Value())
        return;
    if (!ComboFocused())
        SetText(FormatFloat(String(), X));
    else if (FCalcOptions->Options().testFlag(cboDigitGrouping))
        SetText(GroupingText(X));
    else
        SetText(FloatToStr(X));
}

String TnvCustomCalcEdit::GetDisplayText(const String& Text) const
{
    if (TField* F = Field()) {
        if (!FDisplayFormat.empty())
            return FormatFloat(FDisplayFormat, F->IsNull() ? 0.0 : F->AsFloat());
        return F->DisplayText();
    }
    if (!FDisplayFormat.empty())
        return FormatFloat(FDisplayFormat, StrToFloatLoose(Text, FDisplayFormat));
    return Text;
}

void TnvCustomCalcEdit::SetOwnText(const String& Value)
{
    const bool Was = FSuppressTextChange;
    FSuppressTextChange = true;
    try {
        SetText(Value);
    } catch (...) {
        FSuppressTextChange = Was;
        throw;
    }
    FSuppressTextChange = Was;
}

void TnvCustomCalcEdit::ResetText()
{
    if (FAllowEmpty)
        SetOwnText(String());
    else if (FCalcOptions->Options().testFlag(cboShowDecimal))
        SetOwnText(String("0") + DecimalSep());
    else
        SetOwnText("0");
    FDecimalTyped = false;
    FSuppressTextChange = false;
}

bool TnvCustomCalcEdit::IsCalculatorKey(char Ch)
{
    switch (Ch) {
    case '%':
    case '*':
    case '+':
    case '-':
    case '/':
    case '=':
    case '^':
    case '!':
    case '#':
    case ';':
    case '@':
    case '_':
    case 'l':
    case 'n':
    case 'r':
    case 'm':
    case 'p': return true;
    default: return false;
    }
}

void TnvCustomCalcEdit::Beep()
{
    ++FBeepCount;
    QApplication::beep();
}

// ---- life cycle

void TnvCustomCalcEdit::Loaded()
{
    TnvCustomCombo::Loaded();
    ApplyAlignment();
    if (Text().empty() || Value() == 0)
        ResetText();
}

// ---- data

void TnvCustomCalcEdit::DataChange()
{
    TnvCustomCombo::DataChange();
    ApplyAlignment();
}

void TnvCustomCalcEdit::UpdateData()
{
    TField* F = Field();
    if (!F)
        return;
    const double V = Value();
    if (F->IsNull() || F->AsFloat() != V)
        F->SetValue(TVariant(V));
}

bool TnvCustomCalcEdit::CanEdit()
{
    return TnvCustomCombo::CanEdit();
}

void TnvCustomCalcEdit::SetModified(bool Value)
{
    TnvCustomCombo::SetModified(Value);
}

void TnvCustomCalcEdit::Change()
{
    if (FSuppressTextChange)
        return;
    if (FClipboardEdit) {
        // After a paste or a cut: an empty or zero text starts again.
        FClipboardEdit = false;
        if (Text().empty() || Value() == 0) {
            TnvCustomCombo::Change();
            ResetText();
            SelectAll();
            return;
        }
    }
    TnvCustomCombo::Change();
}

// ---- drop-down

bool TnvCustomCalcEdit::IsDroppedDown() const
{
    return FPanel && FPanel->isVisible();
}

void TnvCustomCalcEdit::GetDropDownSize(int& Width, int& ItemHeight)
{
    Width = FPanel ? FPanel->Width() : 0;
    ItemHeight = 0;
}

void TnvCustomCalcEdit::DropDown()
{
    if (OnBeforeDropDown)
        OnBeforeDropDown(this);
    const String Sep(1, DecimalSep());
    if (!FPanel) {
        FCalcOptions->SetOptions(FCalcOptions->Options() | cboHideEditor);
        FPanel = new TnvCalcPanel(this);
        AttachDropDownContainer(FPanel);
        QPointer<TnvCustomCalcEdit> Self(this);
        FPanel->OnSetButtonAttributes = [Self](TnvCalculator*, TnvCalcButtonType& Type, String& Caption,
                                               TColor& FontColor, TColor& ButtonColor, String& Hint) {
            if (Self && Self->OnSetCalcButtonAttributes)
                Self->OnSetCalcButtonAttributes(Self.data(), Type, Caption, FontColor, ButtonColor, Hint);
        };
        const bool Simple = FCalcOptions->Options().testFlag(cboSimpleCalc);
        FPanel->SetBounds(0, 0, Simple ? SimplePanelWidth : PanelWidth, PanelHeight);
        FPanel->SetDisplay(this);
    }
    TnvCalcPanel* P = FPanel;

    // The value stays when there is one; otherwise the calculation starts at 0.
    if (!(Value() != 0 && !P->Text().empty()))
        SetOwnText(FCalcOptions->Options().testFlag(cboShowDecimal) ? "0" + Sep : String("0"));

    if (TGraphic* G = FCalcOptions->Background()->Graphic(); G && !G->Empty()) {
        P->SetBackgroundBitmapDrawStyle(FCalcOptions->BackgroundStyle());
        P->SetBackgroundBitmap(FCalcOptions->Background());
    }
    P->SetPanelColor(FCalcOptions->PanelColor());
    P->SetOptions(FCalcOptions->Options());
    P->SetButtonMargin(FCalcOptions->ButtonMargin());
    if (!P->FindCalcButton(bt0))
        P->ArrangeButtons();

    // Under the edit, right edges aligned; above it when there is no room
    // below; inside the screen.
    const QPoint Origin = mapToGlobal(QPoint(0, 0));
    const int PW = P->Width();
    const int PH = P->Height();
    int Y = Origin.y() + Height() - (BorderStyle() == bsSingle ? 1 : 0);
    const TRect Work = Screen->WorkAreaRect();
    if (Y + PH > Work.Bottom)
        Y = Origin.y() - PH;
    int X = Origin.x() + Width() - PW - 1;
    if (X + PW >= Screen->Width())
        X = Screen->Width() - PW;
    else
        X = std::max(0, X);

    Invalidate();
    FDecimalTyped = false;
    DoDropDown(); // an exception leaves the panel hidden
    if (!FPanel)
        return;
    P->SetBounds(X, Y, PW, PH);
    P->SetVisible(true);
    P->QWidget::show();
    InstallCancelHook();
    if (!Focused() && CanFocus())
        SetFocus();
    // The edit is the calculator's display now: no caret, no typing.
    EnterListMode();
    DoAfterDropDown();
}

void TnvCustomCalcEdit::DestroyPanel()
{
    if (!FPanel)
        return;
    TnvCalcPanel* P = FPanel;
    FPanel = nullptr;
    P->SetDisplay(nullptr);
    P->OnSetButtonAttributes = nullptr;
    P->SetVisible(false);
    P->QWidget::hide();
    // A button of the panel may be the one whose click closes it.
    P->deleteLater();
}

void TnvCustomCalcEdit::CloseUp(bool Accept)
{
    if (FClosingUp)
        return;
    FClosingUp = true;
    struct TGuard {
        bool& Flag;
        ~TGuard() { Flag = false; }
    } Guard{FClosingUp};

    if (Accept && FPanel && !Text().empty() && !FPanel->AfterEquals() && FPanel->PendingOp() != btNone) {
        // Complete the pending operation.
        Word Key = VK_RETURN;
        FPanel->DisplayKeyDown(FPanel, Key, TShiftState());
    }
    const bool HadPanel = FPanel != nullptr;
    TnvCustomCombo::CloseUp(Accept);
    RemoveCancelHook();
    DestroyPanel();
    if (!HadPanel)
        return;
    DoCloseUp(Accept);
    if (!FExiting && !Focused() && CanFocus() && window()->isActiveWindow())
        SetFocus();
    SelectAll();
    if (Style() != nvComboTypes::csDropDownList)
        LeaveListMode();
}

void TnvCustomCalcEdit::InstallCancelHook()
{
    if (FCancelHookInstalled)
        return;
    QPointer<TnvCustomCalcEdit> Self(this);
    FCancelHook = InstallMouseHook([Self](const TMouseHookInfo& Info) {
        if (!Self || !Self->IsDroppedDown() || !IsPress(Info.Msg))
            return false;
        // A press on another control cancels the drop-down mode: the
        // calculator closes, accepting.
        if (IsWidgetIn(Self, Info.Widget) || IsWidgetIn(Self->FPanel, Info.Widget))
            return false;
        Self->CloseUp(true);
        return false;
    });
    FCancelHookInstalled = true;
}

void TnvCustomCalcEdit::RemoveCancelHook()
{
    if (!FCancelHookInstalled)
        return;
    RemoveHook(FCancelHook);
    FCancelHookInstalled = false;
}

// ---- keyboard

void TnvCustomCalcEdit::KeyDown(Word& Key, TShiftState Shift)
{
    TnvCustomCombo::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    if (IsDroppedDown() && (Key == VK_BACK || Key == VK_ESCAPE || Key == VK_DELETE)) {
        // The calculator's own keys for "Back", "C" and "CE"; the line edit
        // must not delete anything itself.
        Word K = Key;
        FPanel->DisplayKeyDown(this, K, Shift);
        Key = 0;
        return;
    }
    char C;
    if (Key == VK_RETURN) {
        C = '=';
    } else {
        C = KeyToChar(Key);
        if (C == 'R' || C == 'M' || C == 'P')
            C = static_cast<char>(C - 'A' + 'a');
        if (Shift.testFlag(ssShift))
            C = ShiftedChar(C);
    }
    const bool Open = IsDroppedDown();
    const bool Numeric = IsDigit(C) || C == '.' || C == ',' || (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD0 + 9) ||
                         Key == VK_DECIMAL;
    if (!IsCalculatorKey(C) && !(Numeric && Open))
        return;
    const bool CloseOnEquals = FCalcOptions->Options().testFlag(cboCloseOnEquals);
    if (C != '=' || !CloseOnEquals) {
        if (!Open) {
            if (!Text().empty()) {
                DropDown();
                if (TnvCalcPanel* P = FPanel) {
                    Word K = Key;
                    P->DisplayKeyDown(this, K, Shift);
                    // The key's button shows pressed for a moment.
                    QPointer<TnvCalcPanel> Watch(P);
                    const Word Up = Key;
                    QTimer::singleShot(FlashMilliseconds, P, [Watch, Up, Shift] {
                        if (Watch) {
                            Word K2 = Up;
                            Watch->DisplayKeyUp(Watch, K2, Shift);
                        }
                    });
                }
            }
        } else {
            Word K = Key;
            FPanel->DisplayKeyDown(this, K, Shift);
        }
    } else if (Open) {
        CloseUp(true);
    } else {
        SelectAll();
    }
    Key = 0;
}

void TnvCustomCalcEdit::KeyUp(Word& Key, TShiftState Shift)
{
    TnvCustomCombo::KeyUp(Key, Shift);
    if (FPanel) {
        Word K = Key;
        FPanel->DisplayKeyUp(this, K, Shift);
        return;
    }
    if (Text().empty() && !FAllowEmpty) {
        ResetText();
        SelectAll();
    }
}

bool TnvCustomCalcEdit::TypeGroupedDigit(char Digit)
{
    String T = Text();
    const int Start = SelStart();
    T.erase(static_cast<size_t>(Start), static_cast<size_t>(SelLength()));
    int Caret = Start;
    String U = Ungroup(T, Caret);
    if (U == "0") {
        // A leading zero gives way to the digit.
        U.clear();
        Caret = 0;
    }
    U.insert(static_cast<size_t>(Caret), 1, Digit);
    double V = 0;
    if (!TryStrToFloat(U, V))
        return false;
    const String G = RegroupTyped(U);
    SetOwnText(G);
    SetSelStart(GroupedIndex(G, Caret + 1));
    SetModified(true);
    return true;
}

void TnvCustomCalcEdit::GroupedBackspace()
{
    String T = Text();
    int Start = SelStart();
    const int Len = SelLength();
    if (Len > 0) {
        T.erase(static_cast<size_t>(Start), static_cast<size_t>(Len));
    } else if (Start > 0) {
        // A separator before the caret goes with the digit before it.
        if (T[Start - 1] == FormatSettings.ThousandSeparator && Start > 1)
            --Start;
        T.erase(static_cast<size_t>(Start - 1), 1);
        --Start;
    } else {
        return;
    }
    int Caret = Start;
    const String U = Ungroup(T, Caret);
    FDecimalTyped = U.find(DecimalSep()) != String::npos;
    if (U.empty() || U == "-") {
        ResetText();
        SetSelStart(Length(Text()));
    } else {
        const String G = RegroupTyped(U);
        SetOwnText(G);
        SetSelStart(GroupedIndex(G, Caret));
    }
    SetModified(true);
}

void TnvCustomCalcEdit::KeyPress(char& Key)
{
    TnvCustomCombo::KeyPress(Key);
    if (Key == 0)
        return;
    const bool CloseOnEquals = FCalcOptions->Options().testFlag(cboCloseOnEquals);
    if (SelLength() > 0) {
        FDecimalTyped = false;
        if (CloseOnEquals && Key != '\r' && Key != '=' && !IsDroppedDown() && IsDigit(Key))
            SetSelText(String());
    }
    if (IsDroppedDown()) {
        SetModified(true);
        Key = 0;
        return;
    }
    const bool Grouping = FCalcOptions->Options().testFlag(cboDigitGrouping);
    const char Sep = DecimalSep();
    if (IsDigit(Key)) {
        if (MaxLength() > 0 && SelLength() == 0 && Length(Text()) >= MaxLength()) {
            Key = 0;
            return;
        }
        if (Grouping) {
            TypeGroupedDigit(Key);
            Key = 0;
        }
        return;
    }
    if (Key == '.' || Key == ',') {
        String Rest = Text();
        Rest.erase(static_cast<size_t>(SelStart()), static_cast<size_t>(SelLength()));
        const double V = StrToFloatLoose(Rest);
        if (Rest.find(Sep) != String::npos && V != 0) {
            Beep();
            Key = 0;
            return;
        }
        FDecimalTyped = true;
        if (Rest.empty() || V == 0) {
            SetText(String("0") + Sep);
            SetSelStart(2);
            Key = 0;
            return;
        }
        Key = Sep;
        return;
    }
    if (Key == '\b') {
        if (Grouping) {
            GroupedBackspace();
            Key = 0;
        }
        return;
    }
    if (Key == 3)
        return; // copy
    if (Key == 22 || Key == 24) {
        // Paste and cut change the value: only while it can be edited.
        if (!CanEdit()) {
            Key = 0;
            return;
        }
        SetModified(true);
        FClipboardEdit = true;
        return;
    }
    Key = 0;
}

// ---- focus

void TnvCustomCalcEdit::DoEnter()
{
    TnvCustomCombo::DoEnter();
    if (!AutoSelect())
        SetSelStart(Length(Text()));
}

void TnvCustomCalcEdit::DoExit()
{
    FExiting = true;
    try {
        TnvCustomCombo::DoExit();
    } catch (...) {
        FExiting = false;
        throw;
    }
    FExiting = false;
    FDecimalTyped = false;
    Invalidate();
}

// ---- painting

void TnvCustomCalcEdit::PaintText(TCanvas* Canvas, const TRect&, const String&, bool, bool)
{
    TRect R;
    GetEditRect(R);
    const TRect Client = EditClientRect();
    OffsetRect(R, Client.Left, Client.Top);
    int X = GetLeftIndent() + 2;
    int Y = 2;
    const bool FrameActive = Frame()->IsActive();
    ApplyFrameTextOffsets(X, Y);
    if (AlignmentVertical() == nvavCenter)
        Y = GetTextTop() + Y - 1;
    const String S = ComboFocused() && Field() ? FloatToStr(Value()) : GetDisplayText(Text());

    TColor FontColor = Font()->Color();
    if (Frame()->NonFocusFontColor() != clNone && !ComboFocused())
        FontColor = Frame()->NonFocusFontColor();
    if (FrameActive && Frame()->TransparentNow() && Frame()->NonFocusTransparentFontColor() != clNone)
        FontColor = Frame()->NonFocusTransparentFontColor();
    Canvas->Font()->Assign(Font());
    Canvas->Font()->SetColor(FontColor);
    Canvas->Brush()->SetStyle(bsClear);

    const int Left = Client.Left + X;
    const int Right = R.Right;
    const int W = Canvas->TextWidth(S);
    int TX = Left;
    switch (CurrentAlignment()) {
    case taRightJustify: TX = Right - W; break;
    case taCenter: TX = Left + (Right - Left - W) / 2; break;
    default: break;
    }
    const TRect Clip(Left, Client.Top, Right, Client.Bottom);
    Canvas->TextRect(Clip, TX, Client.Top + Y, S);
}

// ---------------------------------------------------------------- registration

void RegisterCalcEditClasses()
{
    RegisterClasses<TnvCalcEdit, TnvPopupCalcOptions>();
    qRegisterMetaType<TnvCustomCalcEdit*>("TnvCustomCalcEdit*");
}

namespace {
[[maybe_unused]] const bool CalcEditRegistered = (RegisterCalcEditClasses(), true);
}
