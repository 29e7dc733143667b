#include "nvProgressBar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionProgressBar>

#include "Canvas.h"
#include "Colors.h"
#include "DBFields.h"
#include "FloatFormat.h"
#include "nvCommon.h"

namespace {

// Trunc(Part * Size / Range), exactly: the quotient of the integer product,
// truncated toward zero as integer division does. Part and Range span at most
// 2^32 and Size is a pixel extent or 100, so the product stays far inside 64
// bits. An empty range counts as no progress.
int64_t Scaled(int64_t Part, int64_t Size, int64_t Range)
{
    if (Range == 0)
        return 0;
    return Part * Size / Range;
}

} // namespace

// ---------------------------------------------------------------- TBltBitmap

void TBltBitmap::MakeLike(TBitmap* Template)
{
    SetSize(Template->Width(), Template->Height());
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(clWindowFrame);
    Canvas()->FillRect(TRect(0, 0, Width(), Height()));
}

// ---------------------------------------------------------------- TnvProgressBar

TnvProgressBar::TnvProgressBar(TComponent* AOwner)
    : TCustomControl(AOwner), FDataLink(std::make_unique<TFieldDataLink>()), FPicture(std::make_unique<TBitmap>()),
      FBlt(std::make_unique<TBltBitmap>())
{
    FControlStyle |= csReplicatable | csOpaque;
    FDataLink->SetControl(this);
    FDataLink->OnDataChange = [this](TObject*) { DataChange(); };
    FDataLink->OnUpdateData = [this](TObject*) { UpdateData(); };
    SetColor(clWindow);
    SetTabStop(false);
    SetBounds(Left(), Top(), 150, GetSystemMetrics(SM_CYVSCROLL));
}

TnvProgressBar::~TnvProgressBar()
{
    FDataLink->OnDataChange = nullptr;
    FDataLink->OnUpdateData = nullptr;
    FDataLink->SetDataSource(nullptr);
}

void TnvProgressBar::SetRange(int AMin, int AMax)
{
    if (AMax < AMin)
        throw EInvalidOperation(ClassName() + " property out of range");
    FMin = AMin;
    FMax = AMax;
}

int TnvProgressBar::Progress() const
{
    if (ControlState().testFlag(csPaintCopy))
        if (TField* F = FDataLink->Field())
            return IntMin(F->AsInteger(), FMax);
    return FProgress;
}

void TnvProgressBar::SetProgress(int Value)
{
    if (Value == FProgress)
        return;
    FProgress = IntMax(IntMin(Value, FMax), FMin);
    if (!IsLoading())
        DoChange();
    Invalidate();
}

void TnvProgressBar::StepIt()
{
    // In 64 bits: Progress + Step may pass the integer range.
    SetProgress(static_cast<int>(std::min<int64_t>(FMax, int64_t(Progress()) + FStep)));
}

void TnvProgressBar::SetBlockSize(int Value)
{
    if (FBlockSize == Value)
        return;
    FBlockSize = Value;
    Invalidate();
}

void TnvProgressBar::SetBlockColor(TColor Value)
{
    if (FBlockColor == Value)
        return;
    FBlockColor = Value;
    Invalidate();
}

void TnvProgressBar::SetSmooth(bool Value)
{
    if (FSmooth == Value)
        return;
    FSmooth = Value;
    Invalidate();
}

void TnvProgressBar::SetOrientation(TnvProgressBarOrientation Value)
{
    if (FOrientation == Value)
        return;
    FOrientation = Value;
    RecreateWnd();
    Invalidate();
}

void TnvProgressBar::SetShowProgressText(bool Value)
{
    if (FShowProgressText == Value)
        return;
    FShowProgressText = Value;
    Invalidate();
}

void TnvProgressBar::SetDisplayFormat(const String& Value)
{
    if (FDisplayFormat == Value)
        return;
    FDisplayFormat = Value;
    Invalidate();
}

void TnvProgressBar::SetDisableThemes(bool Value)
{
    if (FDisableThemes == Value)
        return;
    FDisableThemes = Value;
    Invalidate();
}

void TnvProgressBar::SetDataSource(TDataSource* Value)
{
    FDataLink->SetDataSource(Value, this);
}

void TnvProgressBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataLink)
        FDataLink->DataSourceRemoved(AComponent);
}

void TnvProgressBar::DoChange()
{
    if (OnChange)
        OnChange(this);
}

void TnvProgressBar::DataChange()
{
    if (TField* F = FDataLink->Field())
        SetProgress(F->AsInteger());
}

void TnvProgressBar::UpdateData()
{
    if (TField* F = FDataLink->Field())
        if (F->AsInteger() != Progress())
            F->SetAsInteger(Progress());
}

void TnvProgressBar::Loaded()
{
    TCustomControl::Loaded();
    DoChange();
}

void TnvProgressBar::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_GETDATALINK: Message.Result = reinterpret_cast<intptr_t>(FDataLink.get()); return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    default: break;
    }
    TCustomControl::WndProc(Message);
}

String TnvProgressBar::ProgressText() const
{
    if (!FShowProgressText)
        return String();
    // (Progress - Min) / range x 100, truncated: computed as the integer
    // quotient of (Progress - Min) x 100 and the range, so that 29 of 100
    // reads 29 and not the 28 that a floating-point 0.29 x 100 truncates to.
    const double Percent = double(Scaled(int64_t(Progress()) - FMin, 100, int64_t(FMax) - FMin));
    if (!FDisplayFormat.empty())
        return FormatFloat(FDisplayFormat, Percent);
    return FloatToStr(Percent) + "%";
}

void TnvProgressBar::DrawBar(TCanvas* ACanvas)
{
    const TRect Client(0, 0, ClientWidth(), ClientHeight());
    TRect Inner = Client;
    InflateRect(Inner, -3, -3);
    const int64_t Range = int64_t(FMax) - FMin;
    const int64_t Done = int64_t(Progress()) - FMin;
    const bool Horizontal = FOrientation == nvpbHorizontal;

    if (UseThemes(this)) {
        TRect Chunk = Inner;
        if (Horizontal)
            Chunk.Right = Inner.Left + int(Scaled(Done, Inner.Width(), Range));
        else
            Chunk.Top = Inner.Bottom - int(Scaled(Done, Inner.Height(), Range));
        QPainter P(ACanvas->Target());
        QStyleOptionProgressBar O;
        O.initFrom(this);
        O.rect = QRect(Client.Left, Client.Top, Client.Width(), Client.Height());
        O.minimum = 0;
        O.maximum = 1;
        O.progress = 0;
        // The style draws a vertical bar and chunk when the state does not
        // say horizontal.
        if (Horizontal)
            O.state |= QStyle::State_Horizontal;
        else
            O.state &= ~QStyle::State(QStyle::State_Horizontal);
        style()->drawControl(QStyle::CE_ProgressBarGroove, &O, &P, this);
        if (!Chunk.IsEmpty()) {
            // Styles turn a vertical chunk about the origin of its
            // rectangle's coordinates, so the chunk is drawn at the origin of
            // a painter moved to its place.
            P.translate(Chunk.Left, Chunk.Top);
            O.rect = QRect(0, 0, Chunk.Width(), Chunk.Height());
            O.progress = 1;
            style()->drawControl(QStyle::CE_ProgressBarContents, &O, &P, this);
        }
        return;
    }

    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->Brush()->SetColor(Color());
    ACanvas->FillRect(Client);
    TRect Edge = Client;
    DrawEdge(ACanvas, Edge, EDGE_SUNKEN, BF_LEFT | BF_TOP);
    Edge = Client;
    DrawEdge(ACanvas, Edge, EDGE_SUNKEN, BF_RIGHT | BF_BOTTOM);
    // Whole blocks only; a block size below 1 draws none (the walk would not end).
    if (FBlockSize < 1 || Range <= 0)
        return;
    ACanvas->Brush()->SetColor(FBlockColor);
    const int Progress = this->Progress();
    int C = Horizontal ? Inner.Left : Inner.Bottom;
    for (int64_t B = int64_t(FMin) + FBlockSize; Progress >= B; B += FBlockSize) {
        TRect Block = Inner;
        if (Horizontal) {
            const int Next = IntMin(Inner.Left + int(Scaled(B - FMin, Inner.Width(), Range)), Inner.Right);
            Block.Left = IntMin(Inner.Right, C);
            Block.Right = Next;
            ACanvas->FillRect(Block);
            C = FSmooth ? Next : Next + 2;
        } else {
            const int T = IntMax(Inner.Bottom - int(Scaled(B - FMin, Inner.Height(), Range)), Inner.Top);
            Block.Top = T;
            Block.Bottom = IntMax(Inner.Top, C);
            ACanvas->FillRect(Block);
            C = FSmooth ? T : T - 2;
        }
    }
}

void TnvProgressBar::PaintGauge()
{
    const int W = ClientWidth();
    const int H = ClientHeight();
    if (W <= 0 || H <= 0)
        return;
    // 1.-2. The bar, combined with a window-frame base by exclusive or.
    FPicture->SetSize(W, H);
    DrawBar(FPicture->Canvas());
    FBlt->MakeLike(FPicture.get());
    DrawBar(FPicture->Canvas());
    FPicture->Canvas()->SetCopyMode(cmSrcInvert);
    FPicture->Canvas()->Draw(0, 0, FBlt.get());
    FPicture->Canvas()->SetCopyMode(cmSrcCopy);
    // 3. The percentage, white on the window-frame base, combined the same
    // way so that it shows as the inverse of what lies under it.
    const String Text = ProgressText();
    if (!Text.empty()) {
        FBlt->MakeLike(FPicture.get());
        TCanvas* C = FBlt->Canvas();
        C->Brush()->SetStyle(bsClear);
        C->Font()->Assign(Font());
        C->Font()->SetColor(MakeColor(0xFFFFFF));
        const TRect R(0, 0, W, H);
        C->TextRect(R, (R.Width() - C->TextWidth(Text) + 1) / 2, (R.Height() - C->TextHeight(Text) + 1) / 2, Text);
        FPicture->Canvas()->SetCopyMode(cmSrcInvert);
        FPicture->Canvas()->Draw(0, 0, FBlt.get());
        FPicture->Canvas()->SetCopyMode(cmSrcCopy);
    }
    // 4. One copy onto the control.
    Canvas()->SetCopyMode(cmSrcCopy);
    Canvas()->Draw(0, 0, FPicture.get());
}

void TnvProgressBar::Paint()
{
    PaintGauge();
}

namespace {
[[maybe_unused]] const bool ProgressBarRegistered = (RegisterClasses<TnvProgressBar>(), true);
}
