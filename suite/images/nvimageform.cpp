#include "nvimageform.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>

#include <cstdlib>

#include "FormStream.h"
#include "Regions.h"
#include "Streams.h"
#include "nvCommon.h"

// ---------------------------------------------------------------- the screen's outline surface

namespace {

// A frameless window above all others that takes no input and shows the
// outline picture; its mask leaves only the outline pixels.
class TOutlineWindow : public QWidget {
public:
    TOutlineWindow()
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::X11BypassWindowManagerHint | Qt::WindowTransparentForInput |
                               Qt::WindowDoesNotAcceptFocus)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    QImage Picture;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter P(this);
        P.drawImage(0, 0, Picture);
    }
};

// The one-pixel border of R.
QRegion OutlineOf(const TRect& R)
{
    const QRegion Whole = CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom);
    return Whole.subtracted(CreateRectRgn(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1));
}

bool GDragFullWindows = true;

} // namespace

TnvScreenOutline::TnvScreenOutline() = default;

TnvScreenOutline::~TnvScreenOutline()
{
    if (FWindow && QCoreApplication::instance())
        delete FWindow.data();
}

QWidget* TnvScreenOutline::Window() const
{
    return FWindow.data();
}

void TnvScreenOutline::DrawFocusRect(const TRect& R)
{
    if (R.Right <= R.Left || R.Bottom <= R.Top)
        return;
    // Inverting twice restores the pixels: a rectangle drawn again goes.
    auto It = std::find(FRects.begin(), FRects.end(), R);
    if (It != FRects.end())
        FRects.erase(It);
    else
        FRects.push_back(R);
    Refresh();
}

void TnvScreenOutline::Refresh()
{
    if (FRects.empty()) {
        if (FWindow)
            delete FWindow.data();
        return;
    }
    TRect Box = FRects.front();
    for (const TRect& R : FRects)
        Box = TRect(std::min(Box.Left, R.Left), std::min(Box.Top, R.Top), std::max(Box.Right, R.Right),
                    std::max(Box.Bottom, R.Bottom));
    // The outline picture: white, with the focus rectangles' dots inverted
    // (black), as inverting the screen over a light background shows them.
    QImage Picture(Box.Width(), Box.Height(), QImage::Format_RGB32);
    Picture.fill(Qt::white);
    QRegion Mask;
    {
        TCanvas C(&Picture);
        for (const TRect& R : FRects) {
            const TRect Local(R.Left - Box.Left, R.Top - Box.Top, R.Right - Box.Left, R.Bottom - Box.Top);
            ::DrawFocusRect(&C, Local);
            Mask += OutlineOf(Local);
        }
    }
    if (!FWindow)
        FWindow = new TOutlineWindow();
    auto* W = static_cast<TOutlineWindow*>(FWindow.data());
    W->Picture = std::move(Picture);
    W->setGeometry(Box.Left, Box.Top, Box.Width(), Box.Height());
    W->setMask(Mask);
    W->show();
    if (QGuiApplication::platformName() != "offscreen") // no stacking there
        W->raise();
    W->update();
}

TnvScreenOutline& ScreenOutline()
{
    static TnvScreenOutline Outline;
    return Outline;
}

bool DragFullWindows()
{
    return GDragFullWindows;
}

void SetDragFullWindows(bool Value)
{
    GDragFullWindows = Value;
}

// ---------------------------------------------------------------- the hook's decision

namespace {

// Shared by all image forms.
THookHandle GHook = 0;
int GInstances = 0;
bool GHookBusy = false;

// The windowed control whose window a control lies in: the control itself
// when it is windowed, else its nearest windowed parent.
TWinControl* WindowedControlOf(TControl* C)
{
    for (; C; C = C->Parent())
        if (auto* W = dynamic_cast<TWinControl*>(C))
            return W;
    return nullptr;
}

} // namespace

std::optional<TnvFormDragStart> FindFormDragStart(TCustomForm* Form, TWinControl* W, TPoint ScreenPos)
{
    if (!Form)
        return std::nullopt;
    for (int I = 0; I < Form->ControlCount(); ++I) {
        TControl* C = Form->Controls(I);
        if (!InheritsFromClassName(C, "TnvCustomImageForm"))
            continue;
        auto* ImageForm = dynamic_cast<TnvCustomImageForm*>(C);
        if (!ImageForm)
            continue;
        TControl* Bar = ImageForm->CaptionBarControl();
        bool Clickable = false, OnBar = false;
        if (W) {
            TWinControl* Container = Bar && Bar->Parent() && Bar->Parent() != Form ? Bar->Parent() : Form;
            // Controls with a click or press handler keep their presses.
            if (TControl* Hit = Container->ControlAtPos(Container->ScreenToClient(ScreenPos), true, false))
                Clickable = Hit->OnClick.Assigned() || Hit->OnMouseDown.Assigned();
            OnBar = Bar && Bar->Parent() == W && Bar->BoundsRect().Contains(W->ScreenToClient(ScreenPos));
        }
        const TPoint P = Form->ScreenToClient(ScreenPos);
        if ((Bar && !Clickable && OnBar) || (Bar && Bar == W) || (!Bar && !Clickable && W == Form))
            return TnvFormDragStart{ImageForm, P};
    }
    return std::nullopt;
}

bool TnvCustomImageForm::MouseHook(const TMouseHookInfo& Info)
{
    if (Info.Msg != WM_LBUTTONDOWN || GHookBusy || !Info.Widget)
        return false;
    // A press that a widget left unhandled travels on to its parents; only
    // its first delivery, to the widget under the mouse, counts.
    const QPoint Global(Info.ScreenPos.X, Info.ScreenPos.Y);
    if (Info.Widget->childAt(Info.Widget->mapFromGlobal(Global)))
        return false;
    TWinControl* W = WindowedControlOf(FindControl(Info.Widget));
    // The form the press lands in: the window system activates it with the
    // press, after the press has been delivered.
    TCustomForm* F = W ? W->GetParentForm() : nullptr;
    if (!F || !F->Enabled())
        return false;
    GHookBusy = true;
    bool Handled = false;
    try {
        if (const auto Start = FindFormDragStart(F, W, Info.ScreenPos)) {
            if (QGuiApplication::platformName() != "offscreen") // no stacking there
                F->BringToFront();
            Start->Control->BeginFormDrag(mbLeft, TShiftState(ssLeft), Start->FormPoint.X, Start->FormPoint.Y);
            Handled = true;
        }
    } catch (...) {
        GHookBusy = false;
        throw;
    }
    GHookBusy = false;
    return Handled;
}

bool TnvCustomImageForm::HookInstalled()
{
    return GHook != 0;
}

int TnvCustomImageForm::InstanceCount()
{
    return GInstances;
}

// ---------------------------------------------------------------- TnvCustomImageForm

TnvCustomImageForm::TnvCustomImageForm(TComponent* AOwner) : TnvCustomImage(AOwner)
{
    SetAlign(alClient);
    if (!IsDesigning()) {
        if (!GHook)
            GHook = InstallMouseHook(&TnvCustomImageForm::MouseHook);
        ++GInstances;
        FCounted = true;
    }
}

TnvCustomImageForm::~TnvCustomImageForm()
{
    if (FDragging && !FLiveDrag)
        DrawDragFrame(ScreenOutline(), FFrameRect);
    FRegion = QRegion();
    // An instance counts from its creation at run time, whatever its design
    // state has become since.
    if (FCounted) {
        --GInstances;
        if (GInstances < 1 && GHook) {
            RemoveHook(GHook);
            GHook = 0;
        }
    }
}

void TnvCustomImageForm::SetPicture(TPicture* Value)
{
    Picture()->Assign(Value);
    if (Value && Value->Width() > 0 && Value->Height() > 0)
        if (TCustomForm* F = GetParentForm()) {
            F->SetClientWidth(Value->Width());
            F->SetClientHeight(Value->Height());
        }
    Invalidate();
}

void TnvCustomImageForm::SetCaptionBarControl(TControl* Value)
{
    if (FCaptionBarControl == Value)
        return;
    if (FCaptionBarControl)
        RemoveFreeNotification(FCaptionBarControl);
    FCaptionBarControl = Value;
    if (Value)
        FreeNotification(Value);
}

void TnvCustomImageForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TnvCustomImage::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == FCaptionBarControl)
        FCaptionBarControl = nullptr;
}

void TnvCustomImageForm::SetParent(TWinControl* AParent)
{
    if (AParent && !dynamic_cast<TCustomForm*>(AParent))
        if (TCustomForm* F = AParent->GetParentForm())
            AParent = F;
    TnvCustomImage::SetParent(AParent);
    if (AParent) {
        RemoveClipChildren(AParent);
        if (auto* F = dynamic_cast<TCustomForm*>(AParent))
            F->SetBorderStyle(bsNone);
    }
}

void TnvCustomImageForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TnvCustomImage::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (AutoSize())
        if (TCustomForm* F = GetParentForm()) {
            F->SetClientWidth(AWidth);
            F->SetClientHeight(AHeight);
        }
}

void TnvCustomImageForm::Paint()
{
    if (FOptions.testFlag(ifNoPaletteDither))
        SetNoDither();
    TnvCustomImage::Paint();
}

void TnvCustomImageForm::HandlePictureChange(TObject* Sender)
{
    ++FPictureStamp;
    TnvCustomImage::HandlePictureChange(Sender);
}

bool TnvCustomImageForm::UsesSystemDrag() const
{
    return FOptions.testFlag(ifUseWindowsDrag) && DragFullWindows();
}

// ---------------------------------------------------------------- region

TColor TnvCustomImageForm::KeyColor() const
{
    if (FTransparentColor != clNone)
        return FTransparentColor;
    auto* B = dynamic_cast<TBitmap*>(Picture()->Graphic());
    if (!B || B->Empty())
        return clNone;
    return QRgbToColor(B->Image().pixel(0, B->Height() - 1));
}

void TnvCustomImageForm::UpdateRegion()
{
    FRegionPending = false;
    TCustomForm* F = GetParentForm();
    const bool RunTime = !IsDesigning();
    const TColor Key = KeyColor();
    if (!(FRegionFromPicture && FRegionPictureStamp == FPictureStamp && FRegionKey == Key)) {
        if (F && RunTime)
            F->SetWindowRegion(QRegion());
        // Only a bitmap has pixels to read here; a picture of another kind
        // is left as it is and gives no region.
        auto* B = dynamic_cast<TBitmap*>(Picture()->Graphic());
        FRegion = B ? RegionFromGraphic(B, Key) : QRegion();
        FRegionFromPicture = true;
        FRegionPictureStamp = FPictureStamp;
        FRegionKey = Key;
    }
    if (F && RunTime)
        F->SetWindowRegion(FRegion);
}

void TnvCustomImageForm::DefineProperties(TFiler* Filer)
{
    TnvCustomImage::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "RegionData", [this](TStream& S) { ReadRegionData(S); }, [this](TStream& S) { WriteRegionData(S); },
        true);
}

void TnvCustomImageForm::ReadRegionData(TStream& Stream)
{
    // The length n, then n bytes of region data. Damaged data (too short for
    // its length, a length other than the bytes that follow, bytes that are
    // no region) gives no region: the form keeps its rectangular shape, and
    // the rest of the form loads as usual.
    const int64_t Available = Stream.Size() - Stream.Position();
    std::optional<QRegion> R;
    if (Available >= 4) {
        const uint32_t N = Stream.ReadUInt32();
        if (N == 0) {
            FRegion = QRegion();
            FRegionFromPicture = false;
            // The picture and the transparent colour may follow in the form.
            if (IsLoading())
                FRegionPending = true;
            else
                UpdateRegion();
            return;
        }
        if (static_cast<int64_t>(N) == Available - 4) {
            std::vector<uint8_t> Bytes(N);
            Stream.ReadBuffer(Bytes.data(), N);
            R = ExtCreateRegion(Bytes);
        }
    }
    FRegion = R.value_or(QRegion());
    FRegionFromPicture = false;
    FRegionPending = false;
    if (!IsDesigning())
        if (TWinControl* P = Parent())
            P->SetWindowRegion(FRegion);
}

void TnvCustomImageForm::WriteRegionData(TStream& Stream)
{
    UpdateRegion();
    if (FRegion.isEmpty()) {
        Stream.WriteUInt32(0);
        return;
    }
    const std::vector<uint8_t> Data = GetRegionData(FRegion);
    Stream.WriteUInt32(static_cast<uint32_t>(Data.size()));
    Stream.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size()));
}

void TnvCustomImageForm::Loaded()
{
    TnvCustomImage::Loaded();
    if (FRegionPending)
        UpdateRegion();
}

// ---------------------------------------------------------------- dragging

void TnvCustomImageForm::DrawDragFrame(TnvScreenOutline& Screen, const TRect& R)
{
    for (int Inset = 0; Inset < 3; ++Inset)
        Screen.DrawFocusRect(TRect(R.Left + Inset, R.Top + Inset, R.Right - Inset, R.Bottom - Inset));
}

void TnvCustomImageForm::BeginFormDrag(TMouseButton, TShiftState, int X, int Y)
{
    TCustomForm* F = GetParentForm();
    if (!F)
        return;
    if (UsesSystemDrag()) {
        if (QWidget* Grabber = QWidget::mouseGrabber())
            Grabber->releaseMouse();
        QWindow* Window = F->windowHandle();
        if (Window && Window->startSystemMove())
            return;
        // No window manager takes the move: the form follows the mouse
        // itself, contents and all.
        BeginTracking(X, Y, true);
        return;
    }
    TrackFormDrag(X, Y);
}

void TnvCustomImageForm::TrackFormDrag(int X, int Y)
{
    BeginTracking(X, Y, false);
}

namespace {

// Sees the mouse messages of the form during the drag loop.
class TDragFilter : public QObject {
public:
    std::function<bool(QObject*, QEvent*)> Handle;
    bool eventFilter(QObject* Watched, QEvent* Event) override { return Handle(Watched, Event); }
};

} // namespace

void TnvCustomImageForm::BeginTracking(int X, int Y, bool Live)
{
    QPointer<TCustomForm> Form = GetParentForm();
    if (!Form)
        return;
    QPointer<TnvCustomImageForm> Self = this;
    FLiveDrag = Live;
    FPressPoint = TPoint(X, Y);
    FPressScreen = Form->ClientToScreen(FPressPoint);
    FFirstMove = true;
    FDragging = false;
    FFrameRect = TRect();
    Form->SetMouseCapture(true);

    QEventLoop Loop;
    TDragFilter Filter;
    Filter.Handle = [&](QObject* Watched, QEvent* Event) {
        if (Watched != Form.data() || !Self)
            return false;
        if (Event->type() == QEvent::MouseMove) {
            const QPoint G = static_cast<QMouseEvent*>(Event)->globalPosition().toPoint();
            Self->FormDragMove(TPoint(G.x(), G.y()));
        } else if (Event->type() == QEvent::MouseButtonRelease &&
                   static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton) {
            Self->FormDragEnd();
            // The release is dispatched as usual; the loop ends after it.
            QMetaObject::invokeMethod(&Loop, &QEventLoop::quit, Qt::QueuedConnection);
        }
        return false;
    };
    // The drag ends when the form loses the mouse or the program ends.
    QTimer Watch;
    Watch.setInterval(25);
    QObject::connect(&Watch, &QTimer::timeout, &Loop, [&] {
        if (!Form || !Self || !Form->MouseCapture() || (Application && Application->Terminated()))
            Loop.quit();
    });
    struct TCleanup {
        QPointer<TCustomForm>& Form;
        TDragFilter& Filter;
        ~TCleanup()
        {
            if (QCoreApplication::instance())
                QCoreApplication::instance()->removeEventFilter(&Filter);
            if (Form && Form->MouseCapture())
                Form->SetMouseCapture(false);
        }
    } Cleanup{Form, Filter};
    QCoreApplication::instance()->installEventFilter(&Filter);
    Watch.start();
    Loop.exec();
}

void TnvCustomImageForm::FormDragMove(TPoint Cursor)
{
    TCustomForm* F = GetParentForm();
    if (!F)
        return;
    if (std::abs(Cursor.X - FPressScreen.X) <= FDragTolerance && std::abs(Cursor.Y - FPressScreen.Y) <= FDragTolerance)
        return;
    const TRect R = Bounds(Cursor.X - FPressPoint.X, Cursor.Y - FPressPoint.Y, F->Width(), F->Height());
    if (FLiveDrag) {
        FDragging = true;
        F->SetBounds(R.Left, R.Top, F->Width(), F->Height());
    } else {
        TnvScreenOutline& Screen = ScreenOutline();
        if (FFirstMove)
            FDragging = true;
        else
            DrawDragFrame(Screen, FFrameRect);
        DrawDragFrame(Screen, R);
    }
    FFrameRect = R;
    FFirstMove = false;
}

void TnvCustomImageForm::FormDragEnd()
{
    if (!FDragging)
        return;
    FDragging = false;
    if (!FLiveDrag)
        DrawDragFrame(ScreenOutline(), FFrameRect);
    TCustomForm* F = GetParentForm();
    if (!F)
        return;
    F->SetBounds(FFrameRect.Left, FFrameRect.Top, F->Width(), F->Height());
    if (F->MouseCapture())
        F->SetMouseCapture(false);
}

// ---------------------------------------------------------------- registration

void RegisterImageFormClasses()
{
    RegisterClasses<TnvImageForm>();
}

namespace {
[[maybe_unused]] const bool ImageFormRegistered = (RegisterImageFormClasses(), true);
}
