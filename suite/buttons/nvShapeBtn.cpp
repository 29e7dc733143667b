#include "nvShapeBtn.h"

#include <QMetaObject>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "ExceptionBarrier.h"
#include "Forms.h"
#include "Regions.h"
#include "nvEvaluator.h"

const char* const nvInvalidCustomPointsMessage =
    "Invalid Custom Points Format.  X and Y Coordinates must be separated by a comma and space.";

// ---------------------------------------------------------------- outline geometry

namespace {

constexpr long double DegToRad = 3.14159265358979323846264338327950288L / 180.0L;

// Trunc of extended floating point.
int TruncInt(long double Value)
{
    return static_cast<int>(std::trunc(Value));
}

std::vector<TPoint> StarPoints(int W, int H)
{
    const long double Cos18 = std::cos(18.0L * DegToRad), Sin18 = std::sin(18.0L * DegToRad);
    const long double Tan18 = std::tan(18.0L * DegToRad), Sin36 = std::sin(36.0L * DegToRad);
    const int C = TruncInt(H / Cos18);
    const int D = TruncInt(C / (2 * Sin18 + 2));
    const int C2 = C - 2 * D;
    const int E = TruncInt(Cos18 * D);
    const int T = TruncInt(Tan18 * H);
    const int G = W / 2;
    const TPoint P1(G + C2 / 2, E);
    const TPoint P3(P1.X + TruncInt(Sin18 * C2), P1.Y + TruncInt(Cos18 * C2));
    return {TPoint(G, 0),
            P1,
            TPoint(W, E),
            P3,
            TPoint(G + T, H),
            TPoint(G, H - TruncInt(Sin36 * D)),
            TPoint(G - T, H),
            TPoint(W - P3.X, P3.Y),
            TPoint(0, E),
            TPoint(W - P1.X, P1.Y)};
}

// Clips the closed polygon P (first point repeated last) to the rectangle
// (L, T) - (R, B) (Sutherland-Hodgman), keeping it closed.
std::vector<TPoint> ClipClosedPolygon(const std::vector<TPoint>& P, int L, int T, int R, int B)
{
    struct TF {
        long double X, Y;
    };
    std::vector<TF> Poly;
    for (size_t I = 0; I + 1 < P.size(); ++I)
        Poly.push_back({static_cast<long double>(P[I].X), static_cast<long double>(P[I].Y)});
    auto ClipSide = [&](auto Inside, auto Cross) {
        std::vector<TF> Out;
        for (size_t I = 0; I < Poly.size(); ++I) {
            const TF A = Poly[I], C = Poly[(I + 1) % Poly.size()];
            const bool InA = Inside(A), InC = Inside(C);
            if (InA)
                Out.push_back(A);
            if (InA != InC)
                Out.push_back(Cross(A, C));
        }
        Poly = std::move(Out);
    };
    auto AtX = [](TF A, TF C, long double X) { return TF{X, A.Y + (C.Y - A.Y) * (X - A.X) / (C.X - A.X)}; };
    auto AtY = [](TF A, TF C, long double Y) { return TF{A.X + (C.X - A.X) * (Y - A.Y) / (C.Y - A.Y), Y}; };
    ClipSide([&](TF A) { return A.X >= L; }, [&](TF A, TF C) { return AtX(A, C, L); });
    ClipSide([&](TF A) { return A.X <= R; }, [&](TF A, TF C) { return AtX(A, C, R); });
    ClipSide([&](TF A) { return A.Y >= T; }, [&](TF A, TF C) { return AtY(A, C, T); });
    ClipSide([&](TF A) { return A.Y <= B; }, [&](TF A, TF C) { return AtY(A, C, B); });
    std::vector<TPoint> Out;
    for (const TF& F : Poly)
        Out.emplace_back(static_cast<int>(std::llround(F.X)), static_cast<int>(std::llround(F.Y)));
    if (!Out.empty())
        Out.push_back(Out.front());
    return Out;
}

} // namespace

TPoint EvaluateCustomPoint(const String& Line, int W, int H)
{
    String S = UpperCase(Line);
    if (S.find(',') == String::npos)
        throw EInvalidOperation(nvInvalidCustomPointsMessage);
    // 'a,b' and 'a, b' both become 'a, b'.
    S = ReplaceAll(S, ",", ", ");
    S = ReplaceAll(S, ",  ", ", ");
    S = ReplaceAll(S, "WIDTH", IntToStr(W));
    S = ReplaceAll(S, "HEIGHT", IntToStr(H));
    const int X = TnvEvaluator::Evaluate(GetToken(S, ", ", 0));
    const int Y = TnvEvaluator::Evaluate(GetToken(S, ", ", 1));
    return TPoint(X, Y);
}

TPoint TurnPoint(TPoint P, TnvShapeOrientation Orientation, int W, int H)
{
    if (W <= 0 || H <= 0)
        return P;
    int Turns = 0;
    switch (Orientation) {
    case soUp: Turns = 0; break;
    case soRight: Turns = 1; break;
    case soDown: Turns = 2; break;
    case soLeft: Turns = 3; break;
    }
    for (int I = 0; I < Turns; ++I) {
        // 64-bit products: a huge custom coordinate must not overflow here.
        const int64_t X = W - (int64_t(W) * P.Y) / H;
        const int64_t Y = (int64_t(H) * P.X) / W;
        P = TPoint(static_cast<int>(X), static_cast<int>(Y));
    }
    return P;
}

std::vector<TPoint> ShapeOutline(TnvButtonShape Shape, TnvShapeOrientation Orientation, int W, int H,
                                 const TStrings* PointList)
{
    std::vector<TPoint> P;
    switch (Shape) {
    case bsTriangle: P = {TPoint(W / 2, 0), TPoint(W, H), TPoint(0, H)}; break;
    case bsArrow:
        P = {TPoint(0, H / 3),         TPoint(W / 2, 0),     TPoint(W, H / 3),         TPoint(W - W / 4, H / 3),
             TPoint(W - W / 4, H),     TPoint(W / 4, H),     TPoint(W / 4, H / 3)};
        break;
    case bsDiamond: P = {TPoint(W / 2, 0), TPoint(W, H / 2), TPoint(W / 2, H), TPoint(0, H / 2)}; break;
    case bsRect: P = {TPoint(0, 0), TPoint(W, 0), TPoint(W, H), TPoint(0, H)}; break;
    case bsTrapezoid: {
        const int T = std::min(H / 2, (W / 2) / 2);
        P = {TPoint(T, 0), TPoint(W - T, 0), TPoint(W, H), TPoint(0, H)};
        break;
    }
    case bsStar: P = StarPoints(W, H); break;
    case bsCustom:
        if (!PointList || PointList->Count() < 3)
            return {};
        P.reserve(static_cast<size_t>(PointList->Count()) + 1);
        for (int I = 0; I < PointList->Count(); ++I)
            P.push_back(EvaluateCustomPoint(PointList->Strings(I), W, H));
        break;
    case bsRoundRect:
    case bsEllipse: return {};
    }
    P.push_back(P.front());
    for (TPoint& Q : P)
        Q = TurnPoint(Q, Orientation, W, H);
    return P;
}

// ---------------------------------------------------------------- TnvCustomShapeBtn

// While a setter runs, an outline error is raised to the setter's caller.
struct TRaiseOutlineErrors {
    TnvCustomShapeBtn* Button;
    explicit TRaiseOutlineErrors(TnvCustomShapeBtn* B) : Button(B) { ++Button->FRaiseOutlineErrors; }
    ~TRaiseOutlineErrors() { --Button->FRaiseOutlineErrors; }
};

TnvCustomShapeBtn::TnvCustomShapeBtn(TComponent* AOwner) : TnvCustomImageBtn(AOwner)
{
    FColor = clBtnFace;
    FShadeStyle = fbsHighlight;
    FPointList = std::make_unique<TStringList>();
    FPointList->OnChange = [this](TObject*) { OutlineChanged(); };
    FRegionScratch = std::make_unique<TnvBitmap>();
    // The window exists from the start: its outline too.
    ApplyRegion();
}

TnvCustomShapeBtn::~TnvCustomShapeBtn()
{
    Destroying();
    FPointList->OnChange = nullptr;
}

void TnvCustomShapeBtn::OutlineChanged()
{
    FOutlineValid = false;
    FBevelValid = false;
    FOutline.clear();
    FreeRegionRecords();
    if (IsLoading())
        return;
    // A new window: a size notification drops the stored outlines, which
    // are built again for it.
    TRaiseOutlineErrors Raise(this);
    RecreateWnd();
    if (FOutlineError) {
        std::exception_ptr E = FOutlineError;
        FOutlineError = nullptr;
        std::rethrow_exception(E);
    }
}

void TnvCustomShapeBtn::SetShape(TnvButtonShape Value)
{
    if (FShape == Value)
        return;
    FShape = Value;
    if (!IsLoading() && Parent() && InheritsFromClassName(Parent(), "TnvCustomButtonGroup"))
        InvalidateControlArea(Parent(), true);
    OutlineChanged();
}

void TnvCustomShapeBtn::SetOrientation(TnvShapeOrientation Value)
{
    if (FOrientation == Value)
        return;
    FOrientation = Value;
    OutlineChanged();
}

void TnvCustomShapeBtn::SetRoundRectBias(int Value)
{
    if (FRoundRectBias == Value)
        return;
    FRoundRectBias = Value;
    OutlineChanged();
}

void TnvCustomShapeBtn::SetPointList(TStrings* Value)
{
    // The list's change notification rebuilds the outline.
    if (Value)
        FPointList->Assign(Value);
    else
        FPointList->Clear();
}

void TnvCustomShapeBtn::SquareButton()
{
    const int S = std::max(Width(), Height());
    SetBounds(Left(), Top(), S, S);
}

const std::vector<TPoint>& TnvCustomShapeBtn::Outline()
{
    const int W = Width() - 1, H = Height() - 1;
    if (FOutlineValid && FOutlineW == W && FOutlineH == H)
        return FOutline;
    FOutlineValid = false;
    FBevelValid = false;
    FOutline.clear();
    ++FOutlineBuildCount;
    try {
        FOutline = ShapeOutline(FShape, FOrientation, W, H, FPointList.get());
    } catch (...) {
        // The points built so far go; the button falls back to a rectangle.
        FOutline.clear();
        FDrawOutline.clear();
        FShape = bsRect;
        throw;
    }
    // Points far outside the box (custom lists) would make every drawing
    // of the outline walk millions of pixels: the face is drawn from the
    // outline clipped to a margin around the box, which looks the same
    // inside it.
    const int G = 16 * std::max({W, H, 16});
    const bool Far = std::any_of(FOutline.begin(), FOutline.end(), [&](const TPoint& Q) {
        return Q.X < -G || Q.Y < -G || Q.X > W + G || Q.Y > H + G;
    });
    FDrawOutline = Far ? ClipClosedPolygon(FOutline, -G, -G, W + G, H + G) : FOutline;
    FOutlineW = W;
    FOutlineH = H;
    FOutlineValid = true;
    return FOutline;
}

int TnvCustomShapeBtn::GetOutline(std::vector<TPoint>& Points)
{
    Points = Outline();
    return static_cast<int>(Points.size());
}

TColor TnvCustomShapeBtn::KeyColor() const
{
    const uint32_t C = static_cast<uint32_t>(ColorToRGB(Color()));
    return C == 0x0000FF ? MakeColor(0xFF0000) : MakeColor(0x0000FF);
}

namespace {

// Whether the display changes (192, 192, 192) when a bitmap is drawn on it.
bool InexactDisplay()
{
    static const bool Inexact = [] {
        TnvBitmap Source;
        Source.SetSize(1, 1);
        Source.Row(0)[0] = MakeTriple(192, 192, 192);
        TBitmap Screen;
        Screen.SetSize(1, 1);
        Source.Draw(Screen.Canvas(), TRect(0, 0, 1, 1));
        const uint32_t C = static_cast<uint32_t>(Screen.Canvas()->Pixels(0, 0));
        return (C & 0xFF) >= 200 || ((C >> 8) & 0xFF) >= 200 || ((C >> 16) & 0xFF) >= 200;
    }();
    return Inexact;
}

} // namespace

TColor TnvCustomShapeBtn::FaceColor() const
{
    const uint32_t C = static_cast<uint32_t>(ColorToRGB(Color())) & 0xFFFFFF;
    if (!InexactDisplay())
        return MakeColor(C);
    uint32_t Out = 0;
    for (int Shift = 0; Shift < 24; Shift += 8) {
        uint32_t V = (C >> Shift) & 0xFF;
        if (V != 0 && V % 8 == 0)
            --V;
        Out |= V << Shift;
    }
    return MakeColor(Out);
}

void TnvCustomShapeBtn::ComputeCanvasAttributes(TCanvas* Canvas)
{
    if (OnComputeCanvasAttributes)
        OnComputeCanvasAttributes(this, Canvas);
}

bool TnvCustomShapeBtn::IsRoundShape() const
{
    return FShape == bsRoundRect || FShape == bsEllipse;
}

// ---------------------------------------------------------------- region

QRegion TnvCustomShapeBtn::CreateRegion(bool Build, bool Down)
{
    // The stored (cached) outline of the state, whatever TransparentColor says.
    QRegion R = TnvCustomBitBtn::CreateRegion(false, Down);
    const TnvRegionRecord& Record = Down ? FDownRegionData : FRegionData;
    if (!Build || !R.isEmpty() || Record.BuiltEmpty)
        return R;
    if (FShape == bsRect && ParentIsGrid(this))
        return R;
    if (Width() <= 0 || Height() <= 0)
        return R;
    ++FRegionBuildCount;
    PaintFace(FRegionScratch.get(), true, Down, FShadeStyle);
    R = RegionFromBitmap(FRegionScratch.get(), KeyColor());
    FRegionScratch->FreeBitmap();
    SaveRegion(R, Down);
    return R;
}

void TnvCustomShapeBtn::ApplyRegion()
{
    TnvCustomImageBtn::ApplyRegion();
    ReportOutlineError();
}

void TnvCustomShapeBtn::ReportOutlineError()
{
    if (!FOutlineError || FRaiseOutlineErrors > 0)
        return;
    std::exception_ptr E = FOutlineError;
    FOutlineError = nullptr;
    if (!qApp)
        return; // no event loop to show it on
    // Shown once the event being handled is done (never from inside a paint
    // or while a form is being read).
    QMetaObject::invokeMethod(
        qApp,
        [E] {
            try {
                std::rethrow_exception(E);
            } catch (const std::exception& X) {
                if (Application)
                    Application->HandleException(X);
                else
                    ShowException(X);
            }
        },
        Qt::QueuedConnection);
}

void TnvCustomShapeBtn::Loaded()
{
    // Built for the loaded settings (the size may have been read without a
    // size notification).
    FOutlineValid = false;
    FreeRegionRecords();
    TnvCustomImageBtn::Loaded();
}

void TnvCustomShapeBtn::PaintButton()
{
    TnvCustomImageBtn::PaintButton();
    ReportOutlineError();
}

// ---------------------------------------------------------------- face

void TnvCustomShapeBtn::DrawFace(TnvBitmap* Bitmap, int RegionMode, bool Pressed, TnvShadeStyle Style)
{
    PaintFace(Bitmap, RegionMode != 0, Pressed, Style);
}

void TnvCustomShapeBtn::PaintFace(TnvBitmap* Bitmap, bool RegionMode, bool Pressed, TnvShadeStyle Style)
{
    const TnvButtonShape Before = FShape;
    try {
        PaintFaceOnce(Bitmap, RegionMode, Pressed, Style);
    } catch (const Exception&) {
        // A bad custom list: Shape is bsRect now. Keep the error for the
        // caller and paint the rectangle.
        if (Before != bsCustom || FShape != bsRect)
            throw;
        FOutlineError = std::current_exception();
        PaintFaceOnce(Bitmap, RegionMode, Pressed, Style);
    }
}

void TnvCustomShapeBtn::PaintFaceOnce(TnvBitmap* Bitmap, bool RegionMode, bool Pressed, TnvShadeStyle Style)
{
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0)
        return;
    // The outline first: a bad custom list changes the shape before anything
    // is drawn.
    Outline();
    const std::vector<TPoint>& Points = FDrawOutline;
    const bool Active = Style != fbsFlat || IsDesigning() || Pressed || (Enabled() && PointInButton(-1, -1, false));
    Bitmap->SetDimensions(W, H);
    if (Bitmap->Empty())
        return;
    TCanvas* C = Bitmap->Canvas();
    TBrush Saved;
    Saved.Assign(C->Brush());
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetWidth(1);
    C->Pen()->SetMode(pmCopy);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(KeyColor());
    C->FillRect(TRect(0, 0, W, H));

    const TColor Face = FaceColor();
    C->Brush()->SetColor(Face);
    ComputeCanvasAttributes(C);
    const TColor Dither = DitherColor();
    C->Pen()->SetColor(Active && Dither != clNone ? ColorToRGB(Dither) : C->Brush()->Color());

    const bool Checker = Pressed && Dither != clNone && FGroupIndex != 0;
    if (Checker) {
        // Alternating pixels of Color and DitherColor.
        auto Brush = CreateCheckerBrush();
        C->Brush()->Assign(Brush.get());
    }
    // The checker takes its colours from the device state, which taking the
    // pen and brush would reset: set them last.
    auto CheckerColors = [&] {
        if (!Checker)
            return;
        C->RequireAllState();
        C->SetBkColor(Dither);
        C->SetTextColor(Color());
    };

    const int Wd = W - 1, Ht = H - 1;
    if (IsRoundShape()) {
        C->Pen()->SetColor(Face);
        CheckerColors();
        if (FShape == bsRoundRect)
            C->RoundRect(0, 0, Wd, Ht, FRoundRectBias, FRoundRectBias);
        else
            C->Ellipse(0, 0, Wd, Ht);
        if (Active && !RegionMode)
            DrawContourBevel(Bitmap, Bitmap, Pressed, KeyColor());
    } else if (!Points.empty()) {
        CheckerColors();
        C->Polygon(Points);
        if (Active && !RegionMode)
            DrawPolygonBevel(C, Points, Pressed);
    }
    if (FShape == bsRect && UseThemes(this) && !RegionMode)
        DrawThemedFace(Bitmap, Pressed);
    C->Brush()->Assign(&Saved);
}

const std::vector<TnvBevelEdge>& TnvCustomShapeBtn::BevelEdges(const std::vector<TPoint>& Points)
{
    if (FBevelValid && &Points == &FDrawOutline)
        return FBevelEdges;
    FBevelEdges.clear();
    // Which side of each edge is inside decides its colours and the
    // direction in which its inner lines step.
    const QRegion Inside = CreatePolygonRgn(Points, ALTERNATE);
    for (size_t I = 0; I + 1 < Points.size(); ++I) {
        const TPoint P1 = Points[I], P2 = Points[I + 1];
        const int DX = std::abs(P2.X - P1.X), DY = std::abs(P2.Y - P1.Y);
        const TPoint M(P1.X + (P2.X - P1.X) / 2, P1.Y + (P2.Y - P1.Y) / 2);
        TnvBevelEdge E{P1, P2, false, TPoint()};
        if (DY < DX) {
            E.Lit = PtInRegion(Inside, M.X, M.Y + 1);
            E.Step = TPoint(0, E.Lit ? 1 : -1);
        } else {
            E.Lit = PtInRegion(Inside, M.X + 1, M.Y);
            E.Step = TPoint(E.Lit ? 1 : -1, 0);
        }
        if (DX == 0)
            E.Step.Y = PtInRegion(Inside, P1.X, std::max(P1.Y, P2.Y) + 1) ? 1 : -1;
        else if (DY == 0)
            E.Step.X = PtInRegion(Inside, std::max(P1.X, P2.X), P1.Y) ? 1 : -1;
        FBevelEdges.push_back(E);
    }
    FBevelValid = &Points == &FDrawOutline;
    return FBevelEdges;
}

void TnvCustomShapeBtn::DrawPolygonBevel(TCanvas* Canvas, const std::vector<TPoint>& Points, bool Pressed)
{
    if (Points.size() < 2)
        return;
    const std::vector<TnvBevelEdge>& Edges = BevelEdges(Points);
    const int F = (!PaintingCopy() && (HasFocus() || FDefault)) ? 1 : 0;
    const TnvShadeColors* S = FShadeColors.get();
    auto Line = [Canvas](const TnvBevelEdge& E, int K) {
        Canvas->MoveTo(E.A.X + E.Step.X * K, E.A.Y + E.Step.Y * K);
        Canvas->LineTo(E.B.X + E.Step.X * K, E.B.Y + E.Step.Y * K);
    };
    for (const TnvBevelEdge& E : Edges) {
        Canvas->Pen()->SetColor(ColorToRGB(E.Lit == Pressed ? S->BtnShadow() : S->Btn3DLight()));
        Line(E, F + 1);
    }
    for (const TnvBevelEdge& E : Edges) {
        Canvas->Pen()->SetColor(ColorToRGB(E.Lit == Pressed ? S->BtnBlack() : S->BtnHighlight()));
        Line(E, F);
    }
    if (F == 1) {
        Canvas->Pen()->SetColor(ColorToRGB(S->BtnFocus()));
        for (const TnvBevelEdge& E : Edges)
            Line(E, 0);
    }
}

void TnvCustomShapeBtn::DrawThemedFace(TnvBitmap* Bitmap, bool Pressed)
{
    const int W = Width() - 1, H = Height() - 1;
    if (W <= 0 || H <= 0)
        return;
    QImage Image(Bitmap->Width(), Bitmap->Height(), QImage::Format_RGB32);
    for (int Y = 0; Y < Bitmap->Height(); ++Y) {
        const TRGBTriple* Src = Bitmap->Row(Y);
        auto* Dst = reinterpret_cast<QRgb*>(Image.scanLine(Y));
        for (int X = 0; X < Bitmap->Width(); ++X)
            Dst[X] = qRgb(Src[X].rgbtRed, Src[X].rgbtGreen, Src[X].rgbtBlue);
    }
    QStyleOptionButton Option;
    Option.rect = QRect(0, 0, W, H);
    Option.palette = palette();
    Option.state = QStyle::State_Raised;
    if (!Enabled())
        Option.state = QStyle::State_None;
    else {
        Option.state |= QStyle::State_Enabled;
        if (Pressed)
            Option.state = (Option.state & ~QStyle::State_Raised) | QStyle::State_Sunken;
        else if (!PaintingCopy() && PointInButton(-1, -1, false))
            Option.state |= QStyle::State_MouseOver;
        else if (HasFocus())
            Option.state |= QStyle::State_HasFocus;
    }
    {
        QPainter P(&Image);
        style()->drawControl(QStyle::CE_PushButtonBevel, &Option, &P, this);
    }
    for (int Y = 0; Y < Bitmap->Height(); ++Y) {
        TRGBTriple* Dst = Bitmap->Row(Y);
        const auto* Src = reinterpret_cast<const QRgb*>(Image.constScanLine(Y));
        for (int X = 0; X < Bitmap->Width(); ++X)
            Dst[X] = MakeTriple(static_cast<uint8_t>(qRed(Src[X])), static_cast<uint8_t>(qGreen(Src[X])),
                                static_cast<uint8_t>(qBlue(Src[X])));
    }
}

// ---------------------------------------------------------------- framework

void TnvCustomShapeBtn::AssignTo(TPersistent* Dest)
{
    if (auto* D = dynamic_cast<TnvCustomShapeBtn*>(Dest)) {
        D->FOrientation = FOrientation;
        {
            // One rebuild for the four values.
            TNotifyEvent Change = std::move(D->FPointList->OnChange);
            D->FPointList->OnChange = nullptr;
            D->FPointList->Assign(FPointList.get());
            D->FPointList->OnChange = std::move(Change);
        }
        D->FRoundRectBias = FRoundRectBias;
        D->FShape = FShape;
        D->OutlineChanged();
    }
    TnvCustomImageBtn::AssignTo(Dest);
}

void RegisterShapeBtnClasses()
{
    RegisterClasses<TnvShapeBtn>();
}

namespace {
[[maybe_unused]] const bool ShapeBtnRegistered = (RegisterShapeBtnClasses(), true);
}
