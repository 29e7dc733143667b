// The status bar and its panels (see nvStatusBar.h).
#include "nvStatusBar.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QSysInfo>

#include <algorithm>

#include "Forms.h"
#include "RichEdit.h"
#include "SysUtils.h"

#include "nvCommon.h"

namespace {

// ---------------------------------------------------------------- process-wide state

std::vector<TnvCustomStatusBar*>& Bars()
{
    static std::vector<TnvCustomStatusBar*> List;
    return List;
}

THookHandle& KeyHook()
{
    static THookHandle Handle = 0;
    return Handle;
}

std::function<TDateTime()>& Clock()
{
    static std::function<TDateTime()> F;
    return F;
}

// Repaints the key-state panels of every bar for a lock key, press and
// release alike; the event goes on to its control.
bool StatusBarKeyHook(const TKeyHookInfo& Info)
{
    TnvStatusPanelStyle Style;
    switch (Info.Key) {
    case VK_CAPITAL: Style = psCapsLock; break;
    case VK_INSERT: Style = psOverWrite; break;
    case VK_NUMLOCK: Style = psNumLock; break;
    case VK_SCROLL: Style = psScrollLock; break;
    default: return false;
    }
    const std::vector<TnvCustomStatusBar*> Copy = Bars();
    for (TnvCustomStatusBar* Bar : Copy)
        if (std::find(Bars().begin(), Bars().end(), Bar) != Bars().end())
            Bar->Panels()->RepaintStyle(Style);
    return false;
}

bool IsClockStyle(TnvStatusPanelStyle S)
{
    return S == psDateTime || S == psDate || S == psTime;
}

bool IsHintStyle(TnvStatusPanelStyle S)
{
    return S == psHint || S == psHintContainerOnly;
}

bool IsKeyStyle(TnvStatusPanelStyle S)
{
    return S == psOverWrite || S == psCapsLock || S == psNumLock || S == psScrollLock;
}

// The timer a style needs, or 0.
int TimerOfStyle(TnvStatusPanelStyle S)
{
    if (IsClockStyle(S))
        return nvClockTimerId;
    if (IsHintStyle(S))
        return nvHintTimerId;
    if (S == psRichEditStatus)
        return nvRichEditTimerId;
    return 0;
}

int TimerInterval(int TimerId)
{
    switch (TimerId) {
    case nvClockTimerId: return nvClockTimerInterval;
    case nvHintTimerId: return nvHintTimerInterval;
    default: return nvRichEditTimerInterval;
    }
}

Word KeyOfStyle(TnvStatusPanelStyle S)
{
    switch (S) {
    case psOverWrite: return VK_INSERT;
    case psCapsLock: return VK_CAPITAL;
    case psNumLock: return VK_NUMLOCK;
    case psScrollLock: return VK_SCROLL;
    default: return 0;
    }
}

// The platform's name buffers hold 25 characters with the terminating zero.
constexpr size_t NameBufferSize = 25;

bool FitName(const QString& Value, String& Name)
{
    const String S = FromQString(Value);
    if (S.empty() || S.size() + 1 > NameBufferSize)
        return false;
    Name = S;
    return true;
}

// Part geometry of the native bar.
constexpr int PartTop = 2;
constexpr int PartGap = 2;

bool IsWidthText(const String& S, bool& Percent)
{
    int V = 0;
    // Negative widths are refused: the layout takes them for percentages or
    // subtracts them from the space used.
    if (TryStrToInt(S, V)) {
        Percent = false;
        return V >= 0;
    }
    if (S.size() >= 2 && S.back() == '%' && TryStrToInt(S.substr(0, S.size() - 1), V)) {
        Percent = true;
        return V >= 0;
    }
    return false;
}

} // namespace

void SetStatusBarClock(std::function<TDateTime()> Clock_)
{
    Clock() = std::move(Clock_);
}

TDateTime StatusBarNow()
{
    return Clock() ? Clock()() : Now();
}

bool GetPlatformUserName(String& Name)
{
    for (const char* Var : {"USER", "LOGNAME", "USERNAME"}) {
        const QString V = qEnvironmentVariable(Var);
        if (!V.isEmpty())
            return FitName(V, Name);
    }
    return false;
}

bool GetPlatformComputerName(String& Name)
{
    return FitName(QSysInfo::machineHostName(), Name);
}

// ---------------------------------------------------------------- TnvStatusBarText

TnvStatusBarText::TnvStatusBarText(TnvCustomStatusBar* StatusBar) : FStatusBar(StatusBar) {}

void TnvStatusBarText::SetString(String& Field, const String& Value)
{
    if (Field == Value)
        return;
    Field = Value;
    if (FStatusBar)
        FStatusBar->Invalidate();
}

void TnvStatusBarText::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TnvStatusBarText*>(Source)) {
        SetCapsLock(S->FCapsLock);
        SetOverwrite(S->FOverwrite);
        SetNumLock(S->FNumLock);
        SetScrollLock(S->FScrollLock);
        return;
    }
    TPersistent::Assign(Source);
}

TPersistent* TnvStatusBarText::GetOwner()
{
    return FStatusBar;
}

// ---------------------------------------------------------------- TnvStatusPanel

TnvStatusPanel::TnvStatusPanel(TCollection* ACollection) : TnvCollectionItem(nullptr)
{
    // The item joins its collection only once it is whole: joining tells the
    // bar, which then reads every panel.
    auto* Panels = dynamic_cast<TnvStatusPanels*>(ACollection);
    TnvCustomStatusBar* Bar = Panels ? Panels->StatusBar() : nullptr;
    FFont = std::make_unique<TFont>();
    if (Bar)
        FFont->Assign(Bar->Font());
    FFont->OnChange = [this](TObject*) { FontChanged(); };
    TnvTextCallbacks Callbacks;
    Callbacks.Invalidate = [this] { RepaintPanel(); };
    Callbacks.SizeChanged = [this] { TextSizeChanged(); };
    Callbacks.IsEnabled = [this] { return IsTextEnabled(); };
    FTextOptions = std::make_unique<TnvCaptionText>(Callbacks, FFont.get(), nullptr, this);
    FTextOptions->SetVAlignment(vaVCenter);
    if (ACollection) {
        ACollection->BeginUpdate();
        try {
            SetCollection(ACollection);
            UniquePanelName(FName);
        } catch (...) {
            ACollection->EndUpdate();
            throw;
        }
        ACollection->EndUpdate();
    } else {
        UniquePanelName(FName);
    }
    OnNotify = [this](TObject*) {
        if (TnvCollection* C = NvCollection())
            C->RefreshCompanion();
    };
}

TnvStatusPanel::~TnvStatusPanel()
{
    FFont->OnChange = nullptr;
    if (TnvCustomStatusBar* Bar = GetStatusBar())
        if (TControl* C = HostedControl(); C && !Bar->IsDestroying())
            C->RemoveFreeNotification(Bar);
    if (Collection())
        SetCollection(nullptr);
}

TnvStatusPanels* TnvStatusPanel::Panels() const
{
    return dynamic_cast<TnvStatusPanels*>(Collection());
}

TnvCustomStatusBar* TnvStatusPanel::GetStatusBar() const
{
    TnvStatusPanels* P = Panels();
    return P ? P->StatusBar() : nullptr;
}

TControl* TnvStatusPanel::HostedControl() const
{
    return dynamic_cast<TControl*>(Component());
}

void TnvStatusPanel::ReleaseFromOtherPanels()
{
    TComponent* Hosted = Component();
    if (!Hosted)
        return;
    for (TnvCustomStatusBar* B : TnvCustomStatusBar::StatusBarList())
        for (int I = 0; I < B->Panels()->Count(); ++I) {
            TnvStatusPanel* P = B->Panels()->Items(I);
            if (P != this && P->Component() == Hosted)
                P->SetComponent(nullptr);
        }
}

void TnvStatusPanel::PanelChanged()
{
    TCollectionItem::Changed(false);
}

void TnvStatusPanel::UniquePanelName(String& Name)
{
    TnvStatusPanels* P = Panels();
    for (int N = 0;; ++N) {
        const String Candidate = "Panel" + std::to_string(N);
        if (!P || !P->FindPanel(Candidate)) {
            Name = Candidate;
            return;
        }
    }
}

bool TnvStatusPanel::IsWidthStored() const
{
    // "0" is stored too: a new panel starts at "50", so leaving it out would
    // read the panel back wider than it was.
    return true;
}

void TnvStatusPanel::SetBevel(TnvStatusPanelBevel Value)
{
    if (FBevel == Value)
        return;
    FBevel = Value;
    PanelChanged();
}

void TnvStatusPanel::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    PanelChanged();
}

void TnvStatusPanel::SetComponent(TComponent* Value)
{
    TComponent* Current = Component();
    if (!Value && !Current)
        return;
    TnvCustomStatusBar* Bar = GetStatusBar();
    if (Value && Bar && Value == static_cast<TComponent*>(Bar))
        throw EInvalidOperation("Control cannot equal parent StatusBar");
    if (auto* Old = dynamic_cast<TControl*>(Current); Old && !Old->IsDestroying() && Bar) {
        TCustomForm* Form = Bar->GetParentForm();
        if (FStyle != psRichEditStatus && Form && Old != Value)
            Old->SetParent(Form);
    }
    if (Current && Bar && Current != Value && !Current->IsDestroying())
        Current->RemoveFreeNotification(Bar);
    FComponent = Value;
    FComponentGuard = Value ? Value->AsObject() : nullptr;
    if (Value && Bar)
        Value->FreeNotification(Bar);
    if (!Value)
        SetStylePlain(psTextOnly);
    else if (dynamic_cast<TCustomRichEdit*>(Value))
        SetStyle(psRichEditStatus);
    else if (dynamic_cast<TControl*>(Value)) {
        SetStyle(psControl);
        // A panel that hosted a control before keeps its style: the new
        // control still leaves every other panel.
        ReleaseFromOtherPanels();
    }
    PanelChanged();
}

void TnvStatusPanel::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    if (FStyle == psControl)
        if (TControl* C = HostedControl())
            C->SetEnabled(Value);
    PanelChanged();
}

void TnvStatusPanel::SetFont(TFont* Value)
{
    FFont->Assign(Value);
}

void TnvStatusPanel::FontChanged()
{
    if (FStyle == psControl)
        if (TControl* C = HostedControl())
            C->SetFont(FFont.get());
    PanelChanged();
}

void TnvStatusPanel::SetHint(const String& Value)
{
    if (FHint == Value)
        return;
    FHint = Value;
    if (FStyle == psControl)
        if (TControl* C = HostedControl())
            C->SetHint(Value);
    PanelChanged();
}

void TnvStatusPanel::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    PanelChanged();
}

void TnvStatusPanel::SetIndent(int Value)
{
    if (FIndent == Value)
        return;
    FIndent = Value;
    PanelChanged();
}

void TnvStatusPanel::SetMargin(int Value)
{
    if (FMargin == Value)
        return;
    FMargin = Value;
    PanelChanged();
}

void TnvStatusPanel::SetName(const String& Value)
{
    if (FName == Value)
        return;
    if (TnvStatusPanels* P = Panels())
        if (TnvStatusPanel* Other = P->FindPanel(Value); Other && Other != this)
            throw EInvalidOperation(Format("A panel named %s already exists.", {Value}));
    FName = Value;
    PanelChanged();
    if (OnNotify)
        OnNotify(this);
}

void TnvStatusPanel::SetPopupMenu(TPopupMenu* Value)
{
    if (FPopupMenu == Value)
        return;
    FPopupMenu = Value;
    FPopupMenuComponent = Value;
    if (Value)
        if (TnvCustomStatusBar* Bar = GetStatusBar())
            Value->FreeNotification(Bar);
}

void TnvStatusPanel::SetStyle(TnvStatusPanelStyle Value)
{
    if (FStyle == Value)
        return;
    TnvCustomStatusBar* Bar = GetStatusBar();
    if (Bar && Bar->HandleAllocated())
        if (const int Old = TimerOfStyle(FStyle))
            Bar->StopTimerIfUnused(Old, this);
    FStyle = Value;
    if (Value == psControl)
        ReleaseFromOtherPanels();
    if (const int Timer = TimerOfStyle(Value); Timer && Bar && Bar->HandleAllocated() && !IsDesigning(Bar))
        Bar->StartTimer(Timer);
    PanelChanged();
}

void TnvStatusPanel::SetText(const String& Value)
{
    if (FText == Value)
        return;
    FText = Value;
    TextChanged(Value);
    RepaintPanel();
}

void TnvStatusPanel::SetWidth(const String& Value)
{
    if (FWidth == Value)
        return;
    bool Percent = false;
    if (!IsWidthText(Value, Percent))
        throw EInvalidOperation(
            "Width must be a valid, positive integer, or must be an integer followed by a \"%\" sign.");
    FWidth = Value;
    FPixelWidth = Percent ? 0 : StrToInt(Value);
    if (TnvCustomStatusBar* Bar = GetStatusBar())
        Bar->LayoutPanels();
    TCollectionItem::Changed(true);
}

void TnvStatusPanel::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation != opRemove)
        return;
    if (AComponent == FComponent && FComponentGuard)
        SetComponent(nullptr);
    else if (AComponent == FComponent) {
        FComponent = nullptr;
        SetStylePlain(psTextOnly);
    }
    if (AComponent && AComponent == FPopupMenuComponent) {
        FPopupMenu = nullptr;
        FPopupMenuComponent = nullptr;
    }
}

bool TnvStatusPanel::IsTextEnabled()
{
    return FLastEnabled;
}

void TnvStatusPanel::TextSizeChanged() {}

bool TnvStatusPanel::UpdateClockText()
{
    const TDateTime T = StatusBarNow();
    String S;
    switch (FStyle) {
    case psDateTime:
        S = FormatDateTime(FormatSettings.ShortDateFormat + " " + FormatSettings.ShortTimeFormat, T);
        FLastClockValue = T;
        break;
    case psDate:
        S = FormatDateTime(FormatSettings.ShortDateFormat, T);
        FLastClockValue = static_cast<TDateTime>(static_cast<int64_t>(T));
        break;
    case psTime:
        S = FormatDateTime(FormatSettings.ShortTimeFormat, T);
        FLastClockValue = T - static_cast<TDateTime>(static_cast<int64_t>(T));
        break;
    default: break;
    }
    if (S == FText)
        return false;
    FText = S;
    TextChanged(S);
    return true;
}

void TnvStatusPanel::Paint(TCanvas* ACanvas, const TRect& ARect)
{
    TCanvas* SavedCanvas = FCanvas;
    const TRect SavedRect = FPaintRect;
    FCanvas = ACanvas;
    FPaintRect = ARect;
    try {
        if (IsClockStyle(FStyle))
            UpdateClockText();
        if (FStyle != psControl) {
            FCanvas->Brush()->SetStyle(bsSolid);
            FCanvas->Brush()->SetColor(FColor);
            FCanvas->FillRect(ARect);
        }
        TnvCustomStatusBar* Bar = GetStatusBar();
        if (Bar && UseThemes(Bar) && FCanvas->Target()) {
            QPainter P(FCanvas->Target());
            QStyleOption Opt;
            Opt.rect = QRect(ARect.Left + FCanvas->ViewportOrg().X, ARect.Top + FCanvas->ViewportOrg().Y,
                             ARect.Width(), ARect.Height());
            Opt.state = QStyle::State_Enabled;
            QApplication::style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &Opt, &P);
        }
        switch (FStyle) {
        case psControl: PaintControl(); break;
        case psOverWrite:
        case psCapsLock:
        case psNumLock:
        case psScrollLock: PaintKeyState(); break;
        case psGlyph: PaintGlyph(); break;
        case psRichEditStatus: PaintRichEditStatus(); break;
        case psHint:
        case psHintContainerOnly: PaintHint(); break;
        case psUserName: PaintUserName(); break;
        case psComputerName: PaintComputerName(); break;
        case psTextOnly:
        case psDateTime:
        case psDate:
        case psTime: DrawPanelText(FText, FPaintRect, FEnabled); break;
        }
    } catch (...) {
        FCanvas = SavedCanvas;
        FPaintRect = SavedRect;
        throw;
    }
    FCanvas = SavedCanvas;
    FPaintRect = SavedRect;
}

void TnvStatusPanel::PaintControl()
{
    TControl* C = HostedControl();
    TnvCustomStatusBar* Bar = GetStatusBar();
    if (!C || !Bar || Bar->IsLoading())
        return;
    if (C->Parent() != Bar)
        C->SetParent(Bar);
    DrawPanelText(FText, FPaintRect, FEnabled);
    TRect R = FPaintRect;
    if (!FText.empty()) {
        const TRect& T = FTextOptions->Rect();
        if (FTextOptions->Alignment() == taLeftJustify)
            R.Left = T.Right + 2;
        else if (FTextOptions->Alignment() == taRightJustify)
            R.Right = T.Left - 2;
    }
    R = TRect(R.Left + FMargin, R.Top + FMargin, R.Right - FMargin, R.Bottom - FMargin);
    if (R.Width() > 0 && R.Height() > 0 && C->BoundsRect() != R)
        C->SetBoundsRect(R);
    if (auto* W = dynamic_cast<TWinControl*>(C); W && !UseThemes(Bar))
        InvalidateWindowTree(W);
}

void TnvStatusPanel::PaintGlyph()
{
    TnvCustomStatusBar* Bar = GetStatusBar();
    TCustomImageList* Images = Bar ? Bar->Images() : nullptr;
    if (Images && FImageIndex >= 0 && FImageIndex < Images->Count()) {
        const int X = FPaintRect.Left + FMargin;
        const int Y = FPaintRect.Top + (FPaintRect.Height() - Images->Height()) / 2;
        DrawImageListImage(Images, FImageIndex, FCanvas, X, Y, FEnabled);
        FPaintRect.Left += Images->Width() + 5;
    }
    DrawPanelText(FText, FPaintRect, FEnabled);
}

void TnvStatusPanel::PaintKeyState()
{
    FText.clear();
    TnvCustomStatusBar* Bar = GetStatusBar();
    String S;
    if (Bar) {
        TnvStatusBarText* T = Bar->StatusBarText();
        switch (FStyle) {
        case psOverWrite: S = T->Overwrite(); break;
        case psCapsLock: S = T->CapsLock(); break;
        case psNumLock: S = T->NumLock(); break;
        case psScrollLock: S = T->ScrollLock(); break;
        default: break;
        }
    }
    const bool KeyIsOn = GetKeyToggled(KeyOfStyle(FStyle));
    if (Bar && Bar->OnDrawKeyboardState)
        Bar->OnDrawKeyboardState(Bar, this, KeyIsOn, FPaintRect, S);
    DrawPanelText(S, FPaintRect, KeyIsOn);
}

void TnvStatusPanel::PaintHint()
{
    TnvCustomStatusBar* Bar = GetStatusBar();
    if (FStyle == psHintContainerOnly && (!Bar || !Bar->MouseInHintContainer()))
        return;
    DrawPanelText(Application ? Application->Hint() : String(), FPaintRect, FEnabled);
}

void TnvStatusPanel::PaintUserName()
{
    String Name;
    if (GetPlatformUserName(Name))
        DrawPanelText(Name, FPaintRect, FEnabled);
}

void TnvStatusPanel::PaintComputerName()
{
    String Name;
    if (!GetPlatformComputerName(Name))
        Name.clear();
    DrawPanelText(Name, FPaintRect, FEnabled);
}

void TnvStatusPanel::PaintRichEditStatus()
{
    DrawPanelText("Ln: " + std::to_string(FLineNo + 1) + ", Col: " + std::to_string(FColNo + 1), FPaintRect,
                  FEnabled);
}

void TnvStatusPanel::DrawPanelText(const String& AText, const TRect& ARect, bool AEnabled)
{
    TRect R(ARect.Left + 2 + FIndent, ARect.Top, ARect.Right - 2, ARect.Bottom);
    FCanvas->SetFont(FFont.get());
    FTextOptions->SetCanvas(FCanvas);
    FTextOptions->SetRect(R);
    if (FInDrawText)
        return;
    String Text = AText;
    bool Enabled = AEnabled;
    FInDrawText = true;
    try {
        if (OnDrawText) {
            TnvTextCallbacks Callbacks;
            Callbacks.SizeChanged = [this] { TextSizeChanged(); };
            Callbacks.IsEnabled = [this] { return IsTextEnabled(); };
            FTextOptions->SetCallbacks(Callbacks);
            try {
                OnDrawText(this, Text, Enabled);
            } catch (...) {
                Callbacks.Invalidate = [this] { RepaintPanel(); };
                FTextOptions->SetCallbacks(Callbacks);
                throw;
            }
            Callbacks.Invalidate = [this] { RepaintPanel(); };
            FTextOptions->SetCallbacks(Callbacks);
        }
        FTextOptions->SetCanvas(FCanvas);
        FTextOptions->SetText(Text);
        FLastEnabled = Enabled;
        FCanvas->Brush()->SetStyle(bsClear);
        FTextOptions->Draw();
    } catch (...) {
        FInDrawText = false;
        throw;
    }
    FInDrawText = false;
    if (Text != FText)
        TextChanged(Text);
}

TPoint TnvStatusPanel::PanelToScreen(TPoint P)
{
    TRect R;
    GetPanelRect(R);
    TnvCustomStatusBar* Bar = GetStatusBar();
    const TPoint Client(P.X + R.Left, P.Y + R.Top);
    return Bar ? Bar->ClientToScreen(Client) : Client;
}

void TnvStatusPanel::GetPanelRect(TRect& R)
{
    R = TRect();
    if (TnvCustomStatusBar* Bar = GetStatusBar())
        Bar->NativeGetRect(Index(), R);
}

void TnvStatusPanel::RepaintPanel()
{
    TnvCustomStatusBar* Bar = GetStatusBar();
    if (!Bar || Bar->IsLoading() || Bar->IsDestroying() || FInDrawText)
        return;
    int W = FPaintRect.Width();
    if (Bar->SizeGrip() && Index() == Bar->Panels()->Count() - 1)
        W -= Bar->GripAllowance();
    const int H = FPaintRect.Height();
    if (W < 1 || H < 1)
        return;
    QImage Picture(W, H, QImage::Format_ARGB32_Premultiplied);
    Picture.fill(ColorToQRgb(clBtnFace));
    TCanvas C(&Picture);
    C.SetFont(Bar->Font());
    Paint(&C, TRect(0, 0, W, H));
    Bar->BlitPart(Picture, TPoint(FPaintRect.Left, FPaintRect.Top));
}

void TnvStatusPanel::UpdateRichEditPosition()
{
    auto* E = dynamic_cast<TCustomRichEdit*>(Component());
    if (!E)
        return;
    const int S = E->SelStart();
    int Line = E->LineFromChar(S);
    const int Col = S - E->LineIndex(E->CaretPos().Y);
    if (S - E->LineIndex(Line) != Col)
        --Line;
    if (Line != FLineNo || Col != FColNo) {
        FLineNo = Line;
        FColNo = Col;
        RepaintPanel();
    }
}

void TnvStatusPanel::Click()
{
    if (OnClick)
        OnClick(this);
}

void TnvStatusPanel::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
    if (!IsKeyStyle(FStyle))
        return;
    // A press and a release of the key: the application's keyboard state
    // toggles and the keyboard hook repaints the panels of the key.
    const int QtKey = VirtualKeyToQtKey(KeyOfStyle(FStyle));
    QWidget* Target = GetStatusBar();
    if (!Target || !QtKey)
        return;
    QKeyEvent Press(QEvent::KeyPress, QtKey, Qt::NoModifier);
    QCoreApplication::sendEvent(Target, &Press);
    QKeyEvent Release(QEvent::KeyRelease, QtKey, Qt::NoModifier);
    QCoreApplication::sendEvent(Target, &Release);
}

void TnvStatusPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
    if (Button == mbRight && FPopupMenu)
        if (TnvCustomStatusBar* Bar = GetStatusBar()) {
            const TPoint P = Bar->ClientToScreen(TPoint(X, Y));
            FPopupMenu->Popup(P.X, P.Y);
        }
}

void TnvStatusPanel::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
    if (TnvCustomStatusBar* Bar = GetStatusBar(); Bar && Bar->Hint() != FHint) {
        if (Application)
            Application->CancelHint();
        Bar->SetHint(FHint);
    }
}

void TnvStatusPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TnvStatusPanel::TextChanged(const String& AText)
{
    if (OnTextChanged)
        OnTextChanged(this, AText);
}

void TnvStatusPanel::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TnvStatusPanel*>(Source);
    if (!S) {
        TnvCollectionItem::Assign(Source);
        return;
    }
    TnvCustomStatusBar* Bar = GetStatusBar();
    FBevel = S->FBevel;
    FColor = S->FColor;
    if (!Bar || !Panels() || Panels()->UpdateCount() == 0)
        SetComponent(S->Component());
    FEnabled = S->FEnabled;
    FFont->Assign(S->FFont.get());
    FHint = S->FHint;
    FImageIndex = S->FImageIndex;
    FIndent = S->FIndent;
    FMargin = S->FMargin;
    SetPopupMenu(S->PopupMenu());
    FStyle = S->FStyle;
    // The style is copied without the setter, but its timer must run.
    if (const int Timer = TimerOfStyle(FStyle); Timer && Bar && Bar->HandleAllocated() && !IsDesigning(Bar))
        Bar->StartTimer(Timer);
    FText = S->FText;
    SetWidth(S->FWidth);
    FTextOptions->Assign(S->FTextOptions.get());
    OnClick = S->OnClick;
    OnDblClick = S->OnDblClick;
    OnDrawText = S->OnDrawText;
    OnMouseDown = S->OnMouseDown;
    OnMouseMove = S->OnMouseMove;
    OnMouseUp = S->OnMouseUp;
    OnTextChanged = S->OnTextChanged;
    PanelChanged();
}

String TnvStatusPanel::GetDisplayName() const
{
    return FName.empty() ? TnvCollectionItem::GetDisplayName() : FName;
}

// ---------------------------------------------------------------- TnvStatusPanels

TnvStatusPanels::TnvStatusPanels(TnvCustomStatusBar* StatusBar, const TMetaClass* ItemClass)
    : TnvCollection(ItemClass, StatusBar), FStatusBar(StatusBar)
{
    SetPropName("Panels");
}

TnvStatusPanel* TnvStatusPanels::FindPanel(const String& Name) const
{
    for (int I = 0; I < Count(); ++I)
        if (Items(I)->Name() == Name)
            return Items(I);
    return nullptr;
}

void TnvStatusPanels::RepaintStyle(TnvStatusPanelStyle Style)
{
    for (int I = 0; I < Count(); ++I)
        if (Items(I)->Style() == Style)
            Items(I)->RepaintPanel();
}

void TnvStatusPanels::Update(TCollectionItem* Item)
{
    if (!FStatusBar)
        return;
    if (Item)
        FStatusBar->UpdatePanel(Item->Index(), true);
    else
        FStatusBar->UpdatePanels();
}

// ---------------------------------------------------------------- TnvCustomStatusBar

TnvCustomStatusBar::TnvCustomStatusBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle = TControlStyle(csCaptureMouse) | csClickEvents | csOpaque | csDoubleClicks;
    FColor = clBtnFace;
    FParentColor = false;
    FStatusBarText = std::make_unique<TnvStatusBarText>(this);
    FPartCanvas = std::make_unique<TCanvas>();
    SetBounds(0, 0, 150, 20);
    SetAlign(alBottom);
    const TMetaClass* PanelsClass = GetPanelsClass();
    FPanels = std::make_unique<TnvStatusPanels>(this, PanelsClass);
    Bars().push_back(this);
    if (!KeyHook() && QCoreApplication::instance())
        KeyHook() = InstallKeyboardHook(StatusBarKeyHook);
}

TnvCustomStatusBar::~TnvCustomStatusBar()
{
    Destroying();
    KillTimer(nvClockTimerId);
    KillTimer(nvHintTimerId);
    KillTimer(nvRichEditTimerId);
    auto& L = Bars();
    L.erase(std::remove(L.begin(), L.end(), this), L.end());
    if (L.empty() && KeyHook()) {
        RemoveHook(KeyHook());
        KeyHook() = 0;
    }
    FPanels.reset();
    FPartCanvas.reset();
    FStatusBarText.reset();
}

const std::vector<TnvCustomStatusBar*>& TnvCustomStatusBar::StatusBarList()
{
    return Bars();
}

const TMetaClass* TnvCustomStatusBar::GetPanelsClass() const
{
    return ClassOf<TnvStatusPanel>();
}

void TnvCustomStatusBar::SetDisableThemes(bool Value)
{
    if (FDisableThemes == Value)
        return;
    FDisableThemes = Value;
    Invalidate();
}

void TnvCustomStatusBar::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    FImages = Value;
    FImagesComponent = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
}

void TnvCustomStatusBar::SetSimplePanel(bool Value)
{
    if (FSimplePanel == Value)
        return;
    FSimplePanel = Value;
    if (HandleAllocated())
        NativeSetSimple(Value);
}

void TnvCustomStatusBar::SetSimpleText(const String& Value)
{
    if (FSimpleText == Value)
        return;
    FSimpleText = Value;
    if (HandleAllocated())
        NativeSetText(SB_SIMPLEID, 0, Value);
}

bool TnvCustomStatusBar::SizeGrip() const
{
    if (!FSizeGrip)
        return false;
    auto* Form = dynamic_cast<TCustomForm*>(Parent());
    return Form && (Form->BorderStyle() == bsSizeable || Form->BorderStyle() == bsSizeToolWin);
}

void TnvCustomStatusBar::SetSizeGrip(bool Value)
{
    if (FSizeGrip == Value)
        return;
    FSizeGrip = Value;
    RecreateWnd();
}

int TnvCustomStatusBar::GripAllowance() const
{
    return std::min(23, GetSystemMetrics(SM_CXVSCROLL) + 1);
}

bool TnvCustomStatusBar::PanelNeedsTimer(int TimerId, const TnvStatusPanel* Except) const
{
    for (int I = 0; I < FPanels->Count(); ++I) {
        const TnvStatusPanel* P = FPanels->Items(I);
        if (P != Except && TimerOfStyle(P->Style()) == TimerId)
            return true;
    }
    return false;
}

void TnvCustomStatusBar::StartTimer(int TimerId)
{
    if (!TimerActive(TimerId))
        SetTimer(TimerId, TimerInterval(TimerId));
}

void TnvCustomStatusBar::StopTimerIfUnused(int TimerId, const TnvStatusPanel* Except)
{
    if (!PanelNeedsTimer(TimerId, Except))
        KillTimer(TimerId);
}

// ---- the native bar

void TnvCustomStatusBar::NativeSetParts(const std::vector<int>& RightEdges)
{
    std::vector<TNativePart> Parts(std::max<size_t>(1, std::min<size_t>(RightEdges.size(), nvMaxStatusParts)));
    for (size_t I = 0; I < Parts.size(); ++I) {
        if (I < RightEdges.size())
            Parts[I].RightEdge = RightEdges[I];
        if (I < FNativeParts.size()) {
            Parts[I].Text = FNativeParts[I].Text;
            Parts[I].Flags = FNativeParts[I].Flags;
        }
    }
    FNativeParts = std::move(Parts);
    Invalidate();
}

int TnvCustomStatusBar::NativeGetParts(int Count, std::vector<int>* RightEdges) const
{
    if (RightEdges) {
        RightEdges->clear();
        for (int I = 0; I < std::min<int>(Count, static_cast<int>(FNativeParts.size())); ++I)
            RightEdges->push_back(FNativeParts[I].RightEdge);
    }
    return static_cast<int>(FNativeParts.size());
}

void TnvCustomStatusBar::NativeSetText(int Index, unsigned Flags, const String& Text)
{
    if (Index == SB_SIMPLEID) {
        FNativeSimpleText = Text;
        if (FNativeSimple)
            Invalidate();
        return;
    }
    if (Index < 0 || Index >= static_cast<int>(FNativeParts.size()))
        return;
    TNativePart& P = FNativeParts[Index];
    if (P.Text == Text && P.Flags == Flags)
        return;
    P.Text = Text;
    P.Flags = Flags;
    TRect R;
    if (NativeGetRect(Index, R))
        InvalidateRect(R);
}

String TnvCustomStatusBar::NativeText(int Index) const
{
    if (Index == SB_SIMPLEID)
        return FNativeSimpleText;
    return Index >= 0 && Index < static_cast<int>(FNativeParts.size()) ? FNativeParts[Index].Text : String();
}

unsigned TnvCustomStatusBar::NativeFlags(int Index) const
{
    return Index >= 0 && Index < static_cast<int>(FNativeParts.size()) ? FNativeParts[Index].Flags : 0;
}

bool TnvCustomStatusBar::NativeGetRect(int Index, TRect& R) const
{
    if (Index < 0 || Index >= static_cast<int>(FNativeParts.size()))
        return false;
    int Left = 0;
    for (int I = 0; I <= Index; ++I) {
        const int Edge = FNativeParts[I].RightEdge;
        const int Right = Edge == -1 ? FWidth : Edge;
        if (I == Index) {
            R = TRect(Left, PartTop, std::max(Left, Right), FHeight);
            return true;
        }
        Left = Right + PartGap;
    }
    return false;
}

void TnvCustomStatusBar::NativeSetSimple(bool Value)
{
    if (FNativeSimple == Value)
        return;
    FNativeSimple = Value;
    Invalidate();
}

// ---- panels to the native bar

void TnvCustomStatusBar::UpdatePanels()
{
    if (!HandleAllocated() || IsDestroying() || !FPanels)
        return;
    const int N = std::min(FPanels->Count(), nvMaxStatusParts);
    if (N == 0) {
        NativeSetParts({-1});
        NativeSetText(0, 0, String());
        return;
    }
    std::vector<int> Edges(N);
    int Sum = 0;
    for (int I = 0; I < N; ++I) {
        Sum += FPanels->Items(I)->PixelWidth();
        Edges[I] = I == N - 1 ? -1 : Sum;
    }
    NativeSetParts(Edges);
    for (int I = 0; I < N; ++I)
        UpdatePanel(I, false);
}

void TnvCustomStatusBar::UpdatePanel(int Index, bool Repaint)
{
    if (!HandleAllocated() || IsDestroying() || !FPanels || Index < 0 || Index >= FPanels->Count() ||
        Index >= nvMaxStatusParts)
        return;
    TnvStatusPanel* P = FPanels->Items(Index);
    String Text = P->Text();
    if (P->TextOptions()->Alignment() == taCenter)
        Text = "\t" + Text;
    else if (P->TextOptions()->Alignment() == taRightJustify)
        Text = "\t\t" + Text;
    unsigned Flags = SBT_OWNERDRAW;
    if (P->Bevel() == pbNone)
        Flags |= SBT_NOBORDERS;
    else if (P->Bevel() == pbRaised)
        Flags |= SBT_POPOUT;
    NativeSetText(Index, Flags, Text);
    if (Repaint) {
        TRect R;
        if (NativeGetRect(Index, R))
            InvalidateRect(R);
    }
}

TnvStatusPanel* TnvCustomStatusBar::PanelAtPos(int X, int Y)
{
    TPoint P(X, Y);
    if (X == -1 && Y == -1) {
        const QPoint C = mapFromGlobal(QCursor::pos());
        P = TPoint(C.x(), C.y());
    }
    for (int I = 0; I < FPanels->Count(); ++I) {
        TRect R;
        if (NativeGetRect(I, R) && R.Contains(P))
            return FPanels->Items(I);
    }
    return nullptr;
}

bool TnvCustomStatusBar::MouseInHintContainer() const
{
    TCustomForm* Form = GetParentForm();
    // Without a form the bar itself is the container.
    if (!Form) {
        const QPoint C = mapFromGlobal(QCursor::pos());
        return rect().contains(C);
    }
    // A hidden form is not active, whatever the window system last said.
    if (!Form->Visible() || !Form->isVisible() || (Screen && Screen->ActiveForm() != Form))
        return false;
    const QPoint Origin = Form->mapToGlobal(QPoint(0, 0));
    const QRect Bounds(Origin, Form->size());
    return Bounds.contains(QCursor::pos());
}

// ---- layout

void TnvCustomStatusBar::BoundsChanged(int OldWidth, int OldHeight)
{
    TCustomControl::BoundsChanged(OldWidth, OldHeight);
    FSizeMessagePending = true;
}

void TnvCustomStatusBar::Resize()
{
    if (FSizeMessagePending) {
        FSizeMessagePending = false;
        SizeMessage();
        return;
    }
    LayoutPanels();
}

void TnvCustomStatusBar::SizeMessage()
{
    FInSize = true;
    if (!Parent() || IsLoading() || IsDestroying()) {
        FInSize = false;
        return;
    }
    try {
        LayoutPanels();
        for (int I = 0; I < FPanels->Count(); ++I) {
            TnvStatusPanel* P = FPanels->Items(I);
            TComponent* C = P->Component();
            if (!C || dynamic_cast<TCustomRichEdit*>(C))
                P->RepaintPanel();
        }
    } catch (...) {
        FInSize = false;
        throw;
    }
    FInSize = false;
}

void TnvCustomStatusBar::LayoutPanels()
{
    TCustomControl::Resize();
    const int W = FWidth;
    if (IsLoading() || W == 0 || !FPanels)
        return;
    int Used = 0;
    bool AnyPercent = false;
    for (int I = 0; I < FPanels->Count(); ++I) {
        TnvStatusPanel* P = FPanels->Items(I);
        int V = 0;
        const int Wanted = TryStrToInt(P->Width(), V) ? V : -1;
        P->FPixelWidth = std::min(W - Used, Wanted);
        if (P->FPixelWidth != -1)
            Used += P->FPixelWidth;
        if (P->Width().find('%') != String::npos)
            AnyPercent = true;
    }
    const int Rest = W - Used;
    for (int I = 0; I < FPanels->Count(); ++I) {
        TnvStatusPanel* P = FPanels->Items(I);
        if (P->FPixelWidth != -1 || Rest <= 0)
            continue;
        const String& S = P->Width();
        int Share = 0;
        if (!S.empty() && TryStrToInt(S.substr(0, S.size() - 1), Share))
            P->FPixelWidth = static_cast<int>(static_cast<int64_t>(Share) * Rest / 100);
    }
    if ((FLastSize.cx == 0 && FLastSize.cy == 0) || FLastSize.cy != FHeight) {
        UpdatePanels();
    } else {
        const int From = FLastSize.cx < W ? FLastSize.cx - 25 : W - 25;
        InvalidateRect(TRect(From, 0, W, FHeight));
    }
    FLastSize = TSize{W, FHeight};
    if (AnyPercent)
        UpdatePanels();
}

// ---- window

void TnvCustomStatusBar::CreateWnd()
{
    TCustomControl::CreateWnd();
    UpdatePanels();
    if (!FSimpleText.empty())
        NativeSetText(SB_SIMPLEID, 0, FSimpleText);
    if (FSimplePanel)
        NativeSetSimple(true);
    if (!::IsDesigning(this))
        for (int Id : {nvClockTimerId, nvHintTimerId, nvRichEditTimerId})
            if (PanelNeedsTimer(Id))
                StartTimer(Id);
}

void TnvCustomStatusBar::DestroyWnd()
{
    NativeSetText(0, 0, String());
    KillTimer(nvClockTimerId);
    KillTimer(nvHintTimerId);
    KillTimer(nvRichEditTimerId);
    // What the window held goes with it.
    FNativeParts.assign(1, TNativePart());
    FNativeSimpleText.clear();
    FNativeSimple = false;
    TCustomControl::DestroyWnd();
}

void TnvCustomStatusBar::Loaded()
{
    TCustomControl::Loaded();
    FSizeMessagePending = false;
    LayoutPanels();
}

void TnvCustomStatusBar::Invalidate()
{
    if (IsLoading())
        return;
    FFullPaintPending = true;
    TCustomControl::Invalidate();
}

void TnvCustomStatusBar::InvalidateRect(const TRect& R)
{
    if (IsLoading())
        return;
    FFullPaintPending = true;
    QWidget::update(R.ToQRect());
}

void TnvCustomStatusBar::BlitPart(const QImage& Picture, TPoint At)
{
    if (FPaintImage.size() != QSize(FWidth, FHeight) || FFullPaintPending) {
        // No picture of the bar to copy into yet: paint it whole.
        TCustomControl::Invalidate();
        return;
    }
    {
        QPainter P(&FPaintImage);
        P.setCompositionMode(QPainter::CompositionMode_Source);
        P.drawImage(At.X, At.Y, Picture);
    }
    const QRect R(At.X, At.Y, Picture.width(), Picture.height());
    FBlitRegion += R;
    QWidget::update(R);
}

void TnvCustomStatusBar::paintEvent(QPaintEvent* Event)
{
    // Parts copied by BlitPart are already in the picture: show them without
    // painting the bar again.
    if (!FFullPaintPending && FPaintImage.size() == QSize(FWidth, FHeight) &&
        FBlitRegion.contains(Event->region().boundingRect())) {
        FBlitRegion = QRegion();
        QPainter Painter(this);
        Painter.setClipRegion(Event->region());
        Painter.drawImage(0, 0, FPaintImage);
        return;
    }
    FBlitRegion = QRegion();
    FFullPaintPending = false;
    TCustomControl::paintEvent(Event);
}

void TnvCustomStatusBar::Paint()
{
    TCanvas* C = Canvas();
    C->SetFont(Font());
    if (ThemeServicesEnabled()) {
        QPainter P(C->Target());
        QStyleOption Opt;
        Opt.rect = QRect(0, 0, FWidth, FHeight);
        QApplication::style()->drawPrimitive(QStyle::PE_PanelStatusBar, &Opt, &P);
    }
    const bool Grip = SizeGrip();
    if (FNativeSimple) {
        TRect R(0, PartTop, FWidth, FHeight);
        DrawEdge(C, R, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        R.Left += 2;
        R.Right -= 2 + (Grip ? GetSystemMetrics(SM_CXVSCROLL) : 0);
        C->Brush()->SetStyle(bsClear);
        DrawText(C, FNativeSimpleText, R, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    } else {
        const int Panels = std::min(FPanels->Count(), nvMaxStatusParts);
        for (int I = 0; I < static_cast<int>(FNativeParts.size()); ++I) {
            const TNativePart& Part = FNativeParts[I];
            TRect R;
            if (!NativeGetRect(I, R) || R.Width() <= 0)
                continue;
            if (Part.Flags & SBT_POPOUT)
                DrawEdge(C, R, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
            else if (Part.Flags & SBT_NOBORDERS)
                R = TRect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
            else
                DrawEdge(C, R, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
            if (!(Part.Flags & SBT_OWNERDRAW)) {
                TRect T(R.Left + 2, R.Top, R.Right - 2, R.Bottom);
                C->Brush()->SetStyle(bsClear);
                DrawText(C, Part.Text, T, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
                continue;
            }
            // The owner-draw step of the part.
            if (NativeGetParts(Panels, nullptr) != std::max(1, Panels)) {
                UpdatePanels();
                break;
            }
            if (I >= FPanels->Count() || R.IsEmpty())
                continue;
            C->SetFont(Font());
            C->Brush()->SetColor(clBtnFace);
            C->Brush()->SetStyle(bsSolid);
            const QRegion Clip(R.ToQRect());
            C->SetClipRegion(&Clip);
            try {
                DrawPanel(FPanels->Items(I), R);
            } catch (...) {
                C->SetClipRegion(nullptr);
                throw;
            }
            C->SetClipRegion(nullptr);
        }
    }
    if (Grip) {
        const int G = GetSystemMetrics(SM_CXVSCROLL);
        TRect R(FWidth - G, std::max(0, FHeight - G), FWidth, FHeight);
        DrawFrameControl(C, R, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
}

void TnvCustomStatusBar::DrawPanel(TnvStatusPanel* Panel, const TRect& Rect)
{
    Panel->FCanvas = Canvas();
    Panel->FPaintRect = Rect;
    TRect R = Rect;
    if (SizeGrip() && Panel->Index() == FPanels->Count() - 1)
        R.Right -= GripAllowance();
    Panel->Paint(Canvas(), R);
    if (OnDrawPanel)
        OnDrawPanel(this, Panel, R);
}

// ---- messages and input

void TnvCustomStatusBar::TimerTick(int TimerId)
{
    for (int I = 0; I < FPanels->Count(); ++I) {
        TnvStatusPanel* P = FPanels->Items(I);
        switch (TimerId) {
        case nvClockTimerId:
            // A date panel draws again only when the day has changed; the
            // time panels change every tick.
            if (P->Style() == psDate && !P->Text().empty() &&
                static_cast<int64_t>(StatusBarNow()) == static_cast<int64_t>(P->LastClockValue()))
                break;
            if (IsClockStyle(P->Style()))
                P->RepaintPanel();
            break;
        case nvHintTimerId:
            if (P->Style() == psHint || (P->Style() == psHintContainerOnly && MouseInHintContainer()))
                P->SetText(Application ? Application->Hint() : String());
            break;
        case nvRichEditTimerId:
            if (P->Style() == psRichEditStatus)
                P->UpdateRichEditPosition();
            break;
        default: break;
        }
    }
}

void TnvCustomStatusBar::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_TIMER &&
        (Message.WParam == nvClockTimerId || Message.WParam == nvHintTimerId || Message.WParam == nvRichEditTimerId)) {
        TimerTick(static_cast<int>(Message.WParam));
        return;
    }
    if (Message.Msg == WM_LBUTTONDOWN && ::IsDesigning(this))
        Invalidate();
    TCustomControl::WndProc(Message);
}

void TnvCustomStatusBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == FImagesComponent) {
        FImages = nullptr;
        FImagesComponent = nullptr;
        Invalidate();
    }
    if (AComponent != this && FPanels)
        for (int I = 0; I < FPanels->Count(); ++I)
            FPanels->Items(I)->Notification(AComponent, Operation);
}

void TnvCustomStatusBar::Click()
{
    if (TnvStatusPanel* P = PanelAtPos(FLastMousePos.X, FLastMousePos.Y))
        P->Click();
    TCustomControl::Click();
}

void TnvCustomStatusBar::DblClick()
{
    if (TnvStatusPanel* P = PanelAtPos(FLastMousePos.X, FLastMousePos.Y))
        P->DblClick();
    TCustomControl::DblClick();
}

void TnvCustomStatusBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FLastMousePos = TPoint(X, Y);
    if (TnvStatusPanel* P = PanelAtPos(X, Y))
        P->MouseDown(Button, Shift, X, Y);
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TnvCustomStatusBar::MouseMove(TShiftState Shift, int X, int Y)
{
    FLastMousePos = TPoint(X, Y);
    if (TnvStatusPanel* P = PanelAtPos(X, Y))
        P->MouseMove(Shift, X, Y);
    TCustomControl::MouseMove(Shift, X, Y);
}

void TnvCustomStatusBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FLastMousePos = TPoint(X, Y);
    if (TnvStatusPanel* P = PanelAtPos(X, Y))
        P->MouseUp(Button, Shift, X, Y);
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void RegisterNvStatusBarClasses()
{
    RegisterClasses<TnvStatusBar, TnvStatusPanel>();
}

namespace {
[[maybe_unused]] const bool NvStatusBarRegistered = (RegisterNvStatusBarClasses(), true);
}
