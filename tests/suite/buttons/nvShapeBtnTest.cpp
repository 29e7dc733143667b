// The shape button: outline geometry of every shape and orientation, the
// window region from the painted face (checked against the platform's own
// polygon regions), hit tests, the bevel and pressed looks on rendered
// pixels, custom point lists (the octagon of the launch buttons, bad lists
// and their fallback), caching of outlines and regions, and form streaming.
#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>

#include <cmath>
#include <functional>
#include <set>

#include "Regions.h"
#include "nvButtonTestSupport.h"
#include "nvShapeBtn.h"

// A parent that counts as a grid for the buttons (its class name is what matters).
class TCustomGrid : public TWinControl {
    Q_OBJECT
public:
    explicit TCustomGrid(TComponent* AOwner = nullptr) : TWinControl(AOwner) {}
};

namespace {

class TTestShapeBtn : public TnvShapeBtn {
public:
    explicit TTestShapeBtn(TComponent* AOwner = nullptr) : TnvShapeBtn(AOwner) {}
    QImage Render()
    {
        QImage Image(Width(), Height(), QImage::Format_ARGB32_Premultiplied);
        Image.fill(Qt::transparent);
        PaintControl(Image);
        return Image;
    }
    // The button as it shows on a parent of colour Back: pixels outside the
    // window region are the parent's.
    QImage Composed(QRgb Back)
    {
        const QImage Face = Render();
        QImage Out(Width(), Height(), QImage::Format_RGB32);
        Out.fill(Back);
        for (int Y = 0; Y < Height(); ++Y)
            for (int X = 0; X < Width(); ++X)
                if (!HasWindowRegion() || WindowRegion().contains(QPoint(X, Y)))
                    Out.setPixel(X, Y, Face.pixel(X, Y));
        return Out;
    }
};

const char* const Octagon[] = {"Width/8, 0",        "Width*7/8, 0",         "Width*7/8, Height/8",
                               "Width, Height/8",   "Width, Height*7/8",    "Width*7/8, Height*7/8",
                               "Width*7/8, Height", "Width/8, Height",      "Width/8, Height*7/8",
                               "0, Height*7/8",     "0, Height/8",          "Width/8,Height/8",
                               "Width/8,0"};

void SetOctagon(TnvCustomShapeBtn& B)
{
    TStringList L;
    for (const char* Line : Octagon)
        L.Add(Line);
    B.SetPointList(&L);
    B.SetShape(bsCustom);
}

struct TShapeFixture {
    TWinControl Host;
    TTestShapeBtn Btn;
    explicit TShapeFixture(int W = 61, int H = 41)
    {
        InitApplication();
        ParkPointer();
        Host.SetBounds(0, 0, 300, 200);
        Btn.SetParent(&Host);
        Btn.SetBounds(10, 20, W, H);
    }
};

std::vector<TPoint> Pts(std::initializer_list<std::pair<int, int>> L)
{
    std::vector<TPoint> P;
    for (auto [X, Y] : L)
        P.emplace_back(X, Y);
    return P;
}

String Show(const std::vector<TPoint>& P)
{
    String S;
    for (const TPoint& Q : P)
        S += "(" + IntToStr(Q.X) + ", " + IntToStr(Q.Y) + ") ";
    return S;
}

// Distance of (X, Y) from the boundary of the closed polygon P, negative
// inside (even-odd rule), in plain floating point geometry.
double SignedDistance(const std::vector<TPoint>& P, double X, double Y)
{
    double Best = 1e300;
    bool Inside = false;
    for (size_t I = 0; I + 1 < P.size(); ++I) {
        const double X1 = P[I].X, Y1 = P[I].Y, X2 = P[I + 1].X, Y2 = P[I + 1].Y;
        const double DX = X2 - X1, DY = Y2 - Y1, L2 = DX * DX + DY * DY;
        double T = L2 > 0 ? ((X - X1) * DX + (Y - Y1) * DY) / L2 : 0;
        T = std::clamp(T, 0.0, 1.0);
        Best = std::min(Best, std::hypot(X - (X1 + T * DX), Y - (Y1 + T * DY)));
        if ((Y1 > Y) != (Y2 > Y) && X < X1 + (Y - Y1) * DX / DY)
            Inside = !Inside;
    }
    return Inside ? -Best : Best;
}

const TnvButtonShape PolygonShapes[] = {bsTriangle, bsArrow, bsDiamond, bsRect, bsStar, bsTrapezoid, bsCustom};
const TnvShapeOrientation Orientations[] = {soLeft, soRight, soUp, soDown};

const char* ShapeName(TnvButtonShape S)
{
    static const char* N[] = {"roundrect", "ellipse", "triangle", "arrow", "diamond",
                              "rect",      "star",    "trapezoid", "custom"};
    return N[S];
}
const char* OrientationName(TnvShapeOrientation O)
{
    static const char* N[] = {"left", "right", "up", "down"};
    return N[O];
}

QRgb Face()
{
    return Sys(clBtnFace);
}

} // namespace

// ---------------------------------------------------------------- geometry

TEST(nvShapeBtnGeometry, PointsOfEachShapePointingUp)
{
    const int W = 100, H = 60; // a 101 x 61 button
    struct {
        TnvButtonShape Shape;
        std::vector<TPoint> Points;
    } Cases[] = {
        {bsTriangle, Pts({{50, 0}, {100, 60}, {0, 60}, {50, 0}})},
        {bsArrow, Pts({{0, 20}, {50, 0}, {100, 20}, {75, 20}, {75, 60}, {25, 60}, {25, 20}, {0, 20}})},
        {bsDiamond, Pts({{50, 0}, {100, 30}, {50, 60}, {0, 30}, {50, 0}})},
        {bsRect, Pts({{0, 0}, {100, 0}, {100, 60}, {0, 60}, {0, 0}})},
        // t = min(60 div 2, (100 div 2) div 2) = 25
        {bsTrapezoid, Pts({{25, 0}, {75, 0}, {100, 60}, {0, 60}, {25, 0}})},
        {bsRoundRect, {}},
        {bsEllipse, {}},
        {bsCustom, {}}, // no list
    };
    for (const auto& C : Cases)
        EXPECT_EQ(ShapeOutline(C.Shape, soUp, W, H, nullptr), C.Points) << ShapeName(C.Shape);
}

TEST(nvShapeBtnGeometry, StarOfA101PixelSquare)
{
    EXPECT_EQ(ShapeOutline(bsStar, soUp, 100, 100, nullptr),
              Pts({{50, 0}, {62, 38}, {100, 38}, {69, 61}, {82, 100}, {50, 77}, {18, 100}, {31, 61}, {0, 38},
                   {38, 38}, {50, 0}}));
}

TEST(nvShapeBtnGeometry, OrientationTurnsClockwiseScaledToTheBox)
{
    const int W = 100, H = 60;
    // The arrow's tip (w div 2, 0) for each orientation.
    struct {
        TnvShapeOrientation O;
        TPoint Tip;
    } Cases[] = {
        {soUp, TPoint(50, 0)},
        {soRight, TPoint(100, 30)}, // the middle of the right edge
        {soDown, TPoint(50, 60)},   // the middle of the bottom edge
        {soLeft, TPoint(0, 30)},    // the middle of the left edge
    };
    for (const auto& C : Cases) {
        const auto P = ShapeOutline(bsArrow, C.O, W, H, nullptr);
        ASSERT_EQ(P.size(), 8u);
        EXPECT_EQ(P[1], C.Tip) << OrientationName(C.O);
        EXPECT_EQ(P.front(), P.back());
        EXPECT_EQ(TurnPoint(TPoint(50, 0), C.O, W, H), C.Tip);
    }
    // A one-pixel-wide box cannot be turned (no division by zero).
    EXPECT_EQ(TurnPoint(TPoint(0, 5), soRight, 0, 10), TPoint(0, 5));
}

TEST(nvShapeBtnGeometry, OctagonOfTheLaunchButtons)
{
    TShapeFixture F(161, 33);
    SetOctagon(F.Btn);
    std::vector<TPoint> P;
    ASSERT_EQ(F.Btn.GetOutline(P), 14);
    EXPECT_EQ(P, Pts({{20, 0},
                      {140, 0},
                      {140, 4},
                      {160, 4},
                      {160, 28},
                      {140, 28},
                      {140, 32},
                      {20, 32},
                      {20, 28},
                      {0, 28},
                      {0, 4},
                      {20, 4},
                      {20, 0},
                      {20, 0}}))
        << Show(P);
    // The corners are cut away; the middle and the arms are in.
    const QRegion& R = F.Btn.WindowRegion();
    EXPECT_FALSE(R.contains(QPoint(0, 0)));
    EXPECT_FALSE(R.contains(QPoint(10, 2)));
    EXPECT_FALSE(R.contains(QPoint(150, 30)));
    EXPECT_TRUE(R.contains(QPoint(80, 16)));
    EXPECT_TRUE(R.contains(QPoint(2, 16)));
    EXPECT_TRUE(R.contains(QPoint(158, 16)));
    EXPECT_TRUE(R.contains(QPoint(80, 1)));
}

TEST(nvShapeBtnGeometry, CustomLinesAcceptEitherCommaForm)
{
    struct {
        const char* Line;
        TPoint Want;
    } Cases[] = {
        {"Width/8,0", TPoint(20, 0)},
        {"width/8, height", TPoint(20, 32)},
        {"  Width - 10,  Height/2", TPoint(150, 16)},
        {"0-Width/2, 7", TPoint(-80, 7)},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(EvaluateCustomPoint(C.Line, 160, 32), C.Want) << C.Line;
}

// ---------------------------------------------------------------- regions and hit tests

// For every polygon shape in every orientation: the window region is the
// polygon (the platform's region of the same points) plus its outline, no
// more than a pixel beyond it; every vertex is in it; hit tests through the
// parent follow it.
TEST(nvShapeBtnRegion, EveryShapeInEveryOrientationFollowsItsOutline)
{
    for (TnvButtonShape S : PolygonShapes)
        for (TnvShapeOrientation O : Orientations) {
            SCOPED_TRACE(String(ShapeName(S)) + " " + OrientationName(O));
            TShapeFixture F(61, 41);
            if (S == bsCustom)
                SetOctagon(F.Btn);
            else
                F.Btn.SetShape(S);
            F.Btn.SetOrientation(O);
            std::vector<TPoint> P;
            ASSERT_GT(F.Btn.GetOutline(P), 3);
            EXPECT_EQ(P, ShapeOutline(S, O, 60, 40, F.Btn.PointList()));
            const QRegion& R = F.Btn.WindowRegion();
            ASSERT_FALSE(R.isEmpty());
            // Pixels well inside the outline are on the button, pixels well
            // outside are not (the rasterising of the edges decides the rest).
            int Checked = 0;
            for (int Y = 0; Y < 41; ++Y)
                for (int X = 0; X < 61; ++X) {
                    const double D = SignedDistance(P, X + 0.5, Y + 0.5);
                    if (D < -1.5) {
                        ASSERT_TRUE(R.contains(QPoint(X, Y))) << "inside pixel " << X << ", " << Y;
                        ++Checked;
                    } else if (D > 1.5) {
                        ASSERT_FALSE(R.contains(QPoint(X, Y))) << "outside pixel " << X << ", " << Y;
                    }
                }
            EXPECT_GT(Checked, 61 * 41 / 8);
            for (const TPoint& V : P)
                EXPECT_TRUE(R.contains(QPoint(V.X, V.Y))) << "vertex " << V.X << ", " << V.Y;
            // Hit tests: the point in the middle of the box is on every shape
            // here; a pixel the region leaves out is not, and there the
            // parent answers.
            EXPECT_EQ(F.Host.ControlAtPos(TPoint(10 + 30, 20 + 20)), &F.Btn);
            bool FoundOutside = false;
            for (int Y = 0; Y < 41 && !FoundOutside; ++Y)
                for (int X = 0; X < 61 && !FoundOutside; ++X)
                    if (!R.contains(QPoint(X, Y))) {
                        FoundOutside = true;
                        EXPECT_EQ(F.Host.ControlAtPos(TPoint(10 + X, 20 + Y)), nullptr) << X << ", " << Y;
                    }
            EXPECT_EQ(FoundOutside, S != bsRect);
        }
}

TEST(nvShapeBtnRegion, RoundShapes)
{
    // Rounded rectangle and ellipse fit (0, 0, Width - 1, Height - 1): the last
    // column and row are outside.
    for (TnvButtonShape S : {bsRoundRect, bsEllipse}) {
        SCOPED_TRACE(ShapeName(S));
        TShapeFixture F(151, 32);
        F.Btn.SetShape(S);
        std::vector<TPoint> P;
        EXPECT_EQ(F.Btn.GetOutline(P), 0);
        const QRegion& R = F.Btn.WindowRegion();
        EXPECT_EQ(RegionBox(R), TRect(0, 0, 150, 31));
        EXPECT_FALSE(R.contains(QPoint(0, 0)));
        EXPECT_FALSE(R.contains(QPoint(149, 30)));
        EXPECT_TRUE(R.contains(QPoint(75, 0)));
        EXPECT_TRUE(R.contains(QPoint(0, 15)));
        EXPECT_TRUE(R.contains(QPoint(75, 15)));
        // Symmetric about the middle of (0, 0, 150, 31).
        for (int Y = 0; Y < 31; ++Y)
            for (int X = 0; X < 150; ++X)
                ASSERT_EQ(R.contains(QPoint(X, Y)), R.contains(QPoint(149 - X, 30 - Y))) << X << ", " << Y;
    }
    // The corner bias decides how much of the corner goes.
    TShapeFixture Small(151, 32), Large(151, 32);
    Small.Btn.SetShape(bsRoundRect);
    Large.Btn.SetShape(bsRoundRect);
    Large.Btn.SetRoundRectBias(40);
    EXPECT_TRUE(Small.Btn.WindowRegion().contains(QPoint(6, 3)));
    EXPECT_FALSE(Large.Btn.WindowRegion().contains(QPoint(6, 3)));
    EXPECT_TRUE(Large.Btn.WindowRegion().subtracted(Small.Btn.WindowRegion()).isEmpty());
}

TEST(nvShapeBtnRegion, BuiltOncePerStateAndRebuiltOnChanges)
{
    TShapeFixture F(80, 40);
    F.Btn.SetShape(bsStar);
    const int Regions = F.Btn.RegionBuildCount();
    const int Outlines = F.Btn.OutlineBuildCount();
    for (int I = 0; I < 10; ++I) {
        F.Btn.Render();
        F.Host.ControlAtPos(TPoint(10 + 40, 20 + 20));
        F.Btn.PointInButton(5, 5, false);
        F.Btn.CreateRegion(true, false);
    }
    EXPECT_EQ(F.Btn.RegionBuildCount(), Regions);
    EXPECT_EQ(F.Btn.OutlineBuildCount(), Outlines);
    // Each setting of the outline (and the size) builds it anew, once.
    struct {
        const char* What;
        std::function<void()> Change;
    } Changes[] = {
        {"size", [&] { F.Btn.SetBounds(10, 20, 90, 50); }},
        {"orientation", [&] { F.Btn.SetOrientation(soDown); }},
        {"shape", [&] { F.Btn.SetShape(bsDiamond); }},
        {"bias", [&] {
             F.Btn.SetShape(bsRoundRect);
             F.Btn.SetRoundRectBias(10);
         }},
        {"points", [&] { SetOctagon(F.Btn); }},
    };
    for (const auto& C : Changes) {
        const QRegion Before = F.Btn.WindowRegion();
        const int R0 = F.Btn.RegionBuildCount();
        C.Change();
        EXPECT_GT(F.Btn.RegionBuildCount(), R0) << C.What;
        EXPECT_FALSE(EqualRgn(Before, F.Btn.WindowRegion())) << C.What;
        const int R1 = F.Btn.RegionBuildCount();
        F.Btn.Render();
        F.Btn.Render();
        EXPECT_EQ(F.Btn.RegionBuildCount(), R1) << C.What;
    }
    // The point list changed in place rebuilds too.
    const int R2 = F.Btn.RegionBuildCount();
    F.Btn.PointList()->Strings(0); // reading changes nothing
    EXPECT_EQ(F.Btn.RegionBuildCount(), R2);
    F.Btn.PointList()->Delete(F.Btn.PointList()->Count() - 1);
    EXPECT_GT(F.Btn.RegionBuildCount(), R2);
}

TEST(nvShapeBtnRegion, RectangleInsideAGridHasNoRegion)
{
    InitApplication();
    TCustomGrid Grid;
    Grid.SetBounds(0, 0, 200, 100);
    TTestShapeBtn Btn;
    Btn.SetParent(&Grid);
    Btn.SetBounds(0, 0, 60, 20);
    EXPECT_FALSE(Btn.HasWindowRegion());
    // Another shape in the grid still has its outline.
    Btn.SetShape(bsEllipse);
    EXPECT_TRUE(Btn.HasWindowRegion());
}

TEST(nvShapeBtnRegion, ShapeButtonsNeverStoreTheirRegion)
{
    InitApplication();
    RegisterClasses<TButtonTestForm>();
    TButtonTestForm Form;
    auto* Btn = new TnvShapeBtn(&Form);
    Btn->SetName("Star");
    Btn->SetParent(&Form);
    Btn->SetBounds(5, 5, 60, 60);
    Btn->SetShape(bsStar);
    ASSERT_TRUE(Btn->RegionData().HasBuffer()); // kept in memory
    const String Text = ComponentToText(&Form);
    EXPECT_EQ(Text.find("RegionData"), String::npos) << Text;
}

// ---------------------------------------------------------------- face pixels

TEST(nvShapeBtnFace, RectangleBevelUpAndPressed)
{
    TShapeFixture F(75, 25);
    const TnvShadeColors* S = F.Btn.ShadeColors();
    QImage Up = F.Btn.Render();
    // Up: highlight along the top and left edge with the 3D light inside it,
    // black along the bottom and right edge with the shadow inside it.
    EXPECT_EQ(Rgb(Up, 30, 0), Sys(S->BtnHighlight()));
    EXPECT_EQ(Rgb(Up, 0, 12), Sys(S->BtnHighlight()));
    EXPECT_EQ(Rgb(Up, 30, 1), Sys(S->Btn3DLight()));
    EXPECT_EQ(Rgb(Up, 1, 12), Sys(S->Btn3DLight()));
    EXPECT_EQ(Rgb(Up, 30, 24), Sys(S->BtnBlack()));
    EXPECT_EQ(Rgb(Up, 74, 12), Sys(S->BtnBlack()));
    EXPECT_EQ(Rgb(Up, 30, 23), Sys(S->BtnShadow()));
    EXPECT_EQ(Rgb(Up, 73, 12), Sys(S->BtnShadow()));
    EXPECT_EQ(Rgb(Up, 30, 12), Face());
    // A whole rectangle: the region is the full button.
    EXPECT_TRUE(EqualRgn(F.Btn.WindowRegion(), CreateRectRgn(0, 0, 75, 25)));

    // Pressed (a group button held down): the colours swap.
    F.Btn.SetDitherColor(clNone);
    F.Btn.SetGroupIndex(1);
    F.Btn.SetDown(true);
    QImage Dn = F.Btn.Render();
    EXPECT_EQ(Rgb(Dn, 30, 0), Sys(S->BtnBlack()));
    EXPECT_EQ(Rgb(Dn, 30, 1), Sys(S->BtnShadow()));
    EXPECT_EQ(Rgb(Dn, 30, 24), Sys(S->BtnHighlight()));
    EXPECT_EQ(Rgb(Dn, 30, 23), Sys(S->Btn3DLight()));
    // DitherColor clNone: the pressed face is plain.
    for (int X = 10; X < 20; ++X)
        EXPECT_EQ(Rgb(Dn, X, 6), Face()) << X;
}

TEST(nvShapeBtnFace, PressedGroupButtonShowsAChecker)
{
    TShapeFixture F(75, 25);
    F.Btn.SetColor(clBlue);
    F.Btn.SetDitherColor(clNavy);
    F.Btn.SetGroupIndex(1);
    F.Btn.SetDown(true);
    const QImage I = F.Btn.Render();
    std::set<QRgb> Seen;
    for (int Y = 5; Y < 9; ++Y)
        for (int X = 10; X < 30; ++X) {
            const QRgb Want = ((X + Y) % 2 == 0) ? 0x000080u : 0x0000FFu;
            ASSERT_EQ(Rgb(I, X, Y), Want) << X << ", " << Y;
        }
    // The pressed region is the whole face, checker and all.
    EXPECT_TRUE(EqualRgn(F.Btn.CreateRegion(true, true), CreateRectRgn(0, 0, 75, 25)));
}

TEST(nvShapeBtnFace, KeyColourAvoidsTheFaceColour)
{
    TShapeFixture F(41, 41);
    F.Btn.SetShape(bsDiamond);
    EXPECT_EQ(F.Btn.KeyColor(), MakeColor(0x0000FF));
    QImage I = F.Btn.Render();
    EXPECT_EQ(Rgb(I, 0, 0), 0xFF0000u); // outside the diamond: red (QRgb is RRGGBB)
    F.Btn.SetColor(clRed);
    EXPECT_EQ(F.Btn.KeyColor(), MakeColor(0xFF0000));
    I = F.Btn.Render();
    EXPECT_EQ(Rgb(I, 0, 0), 0x0000FFu); // blue outside
    EXPECT_EQ(Rgb(I, 20, 20), 0xFF0000u); // the red face stays
    F.Btn.SetBounds(10, 20, 42, 42); // a new outline with the red face
    EXPECT_TRUE(F.Btn.WindowRegion().contains(QPoint(21, 21)));
    EXPECT_EQ(F.Btn.FaceColor(), MakeColor(0x0000FF)); // an exact display: unchanged
}

TEST(nvShapeBtnFace, FlatStyleBevelsOnlyUnderThePointer)
{
    TButtonTestForm Form;
    Form.SetBounds(0, 0, 200, 100);
    TTestShapeBtn* Btn = new TTestShapeBtn(&Form);
    Btn->SetParent(&Form);
    Btn->SetBounds(10, 10, 75, 25);
    Btn->SetShadeStyle(fbsFlat);
    Btn->SetTabStop(false);
    Activate(&Form);
    ParkPointer();
    const TnvShadeColors* S = Btn->ShadeColors();
    QImage Cold = Btn->Render();
    EXPECT_EQ(Rgb(Cold, 30, 0), Face());
    EXPECT_EQ(Rgb(Cold, 30, 24), Face());
    QCursor::setPos(Btn->mapToGlobal(QPoint(30, 12)));
    QImage Hot = Btn->Render();
    EXPECT_EQ(Rgb(Hot, 30, 0), Sys(S->BtnHighlight()));
    EXPECT_EQ(Rgb(Hot, 30, 24), Sys(S->BtnBlack()));
    // Focused: a focus line on the outline, the bevel one pixel further in.
    Btn->SetTabStop(true);
    Btn->SetFocus();
    ASSERT_TRUE(Btn->Focused());
    Btn->ShadeColors()->SetBtnFocus(clLime);
    QImage Focus = Btn->Render();
    EXPECT_EQ(Rgb(Focus, 30, 0), 0x00FF00u);
    EXPECT_EQ(Rgb(Focus, 30, 1), Sys(S->BtnHighlight()));
    EXPECT_EQ(Rgb(Focus, 30, 2), Sys(S->Btn3DLight()));
    EXPECT_EQ(Rgb(Focus, 30, 24), 0x00FF00u);
    EXPECT_EQ(Rgb(Focus, 30, 23), Sys(S->BtnBlack()));
    ParkPointer();
}

TEST(nvShapeBtnFace, ThemedRectangleDrawsThePlatformButton)
{
    TShapeFixture F(75, 25);
    const QImage Classic = F.Btn.Render();
    SetThemeServicesEnabled(true);
    const QImage Themed = F.Btn.Render();
    F.Btn.SetShape(bsDiamond); // only rectangles take the themed look
    const QImage Diamond = F.Btn.Render();
    F.Btn.SetShape(bsRect);
    F.Btn.SetDisableThemes(true);
    const QImage Disabled = F.Btn.Render();
    SetThemeServicesEnabled(false);
    EXPECT_NE(Themed, Classic);
    EXPECT_EQ(Disabled, Classic);
    F.Btn.SetShape(bsDiamond);
    EXPECT_EQ(F.Btn.Render(), Diamond);
}

TEST(nvShapeBtnFace, ComputeCanvasAttributesColoursTheFace)
{
    TShapeFixture F(61, 41);
    F.Btn.SetShape(bsEllipse);
    int Calls = 0;
    F.Btn.OnComputeCanvasAttributes = [&](TObject* Sender, TCanvas* C) {
        ++Calls;
        EXPECT_EQ(Sender, &F.Btn);
        C->Brush()->SetColor(clYellow);
    };
    const QImage I = F.Btn.Render();
    EXPECT_GE(Calls, 1);
    EXPECT_EQ(Rgb(I, 30, 20), 0xFFFF00u);
}

// ---------------------------------------------------------------- bad point lists

TEST(nvShapeBtnCustom, BadListsFallBackToARectangleAndRaise)
{
    struct {
        const char* Line;
        const char* Class;
        const char* Message;
    } Cases[] = {
        {"Width/2 0", "EInvalidOperation", nvInvalidCustomPointsMessage},
        {"Width/0, 0", "EInvalidOperation", "Divide By Zero Error"},
        {"Width x 2, 0", "EInvalidOperation", "Only alpha characters \"+\", \"-\", \"x\", and \"/\" are allowed."},
        {"-5, 0", "EConvertError", nullptr},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Line);
        TShapeFixture F(61, 41);
        F.Btn.SetShape(bsCustom);
        TStringList L;
        L.Add("0, 0");
        L.Add("Width, 0");
        L.Add(C.Line);
        try {
            F.Btn.SetPointList(&L);
            ADD_FAILURE() << "no exception";
        } catch (const Exception& E) {
            EXPECT_EQ(E.ClassName(), String(C.Class));
            if (C.Message) {
                EXPECT_EQ(E.Message(), String(C.Message));
            }
        }
        EXPECT_EQ(F.Btn.Shape(), bsRect);
        EXPECT_TRUE(EqualRgn(F.Btn.WindowRegion(), CreateRectRgn(0, 0, 61, 41)));
        // The button paints and works as a rectangle.
        const QImage I = F.Btn.Render();
        EXPECT_EQ(Rgb(I, 30, 0), Sys(F.Btn.ShadeColors()->BtnHighlight()));
        std::vector<TPoint> P;
        EXPECT_EQ(F.Btn.GetOutline(P), 5);
    }
    // GetOutline itself raises for a bad list.
    TShapeFixture F(61, 41);
    TStringList L;
    L.Add("0, 0");
    L.Add("Width, 0");
    L.Add("Height");
    F.Btn.SetPointList(&L); // bsRect: the list is not evaluated
    std::vector<TPoint> P;
    F.Btn.SetShape(bsEllipse);
    EXPECT_EQ(F.Btn.GetOutline(P), 0);
    EXPECT_THROW(F.Btn.SetShape(bsCustom), EInvalidOperation);
    EXPECT_EQ(F.Btn.Shape(), bsRect);
}

TEST(nvShapeBtnCustom, PointsFarOutsideTheBoxAreClipped)
{
    TShapeFixture F(61, 41);
    TStringList L;
    L.Add("0-Width*100000, 0-Height*100000");
    L.Add("Width*100000, Height/2");
    L.Add("0, Height*100000");
    F.Btn.SetPointList(&L);
    for (TnvShapeOrientation O : Orientations) {
        F.Btn.SetShape(bsCustom);
        F.Btn.SetOrientation(O);
        EXPECT_EQ(F.Btn.Shape(), bsCustom);
        const QRegion& R = F.Btn.WindowRegion();
        // The triangle covers the whole box.
        EXPECT_TRUE(EqualRgn(R, CreateRectRgn(0, 0, 61, 41))) << OrientationName(O);
        F.Btn.Render();
    }
}

TEST(nvShapeBtnCustom, ABadListInAFormLoadsAsARectangleAndIsReported)
{
    InitApplication();
    RegisterClasses<TButtonTestForm>();
    const String Text = "object F: TButtonTestForm\n"
                        "  object B: TnvShapeBtn\n"
                        "    Left = 4\n"
                        "    Top = 4\n"
                        "    Width = 80\n"
                        "    Height = 30\n"
                        "    Shape = bsCustom\n"
                        "    PointList.Strings = (\n"
                        "      '0, 0'\n"
                        "      'Width, 0'\n"
                        "      'Width; Height')\n"
                        "  end\n"
                        "end\n";
    std::vector<String> Reported;
    auto Old = Application->OnException;
    Application->OnException = [&](TObject*, const std::exception& E) { Reported.push_back(E.what()); };
    TButtonTestForm Form;
    ASSERT_NO_THROW(ReadComponentFromText(Text, &Form));
    auto* B = Get<TnvShapeBtn>(&Form, "B");
    ASSERT_NE(B, nullptr);
    EXPECT_EQ(B->Shape(), bsRect);
    EXPECT_TRUE(EqualRgn(B->WindowRegion(), CreateRectRgn(0, 0, 80, 30)));
    QApplication::processEvents();
    Application->OnException = Old;
    ASSERT_EQ(Reported.size(), 1u);
    EXPECT_EQ(String(Reported[0]), String(nvInvalidCustomPointsMessage));
}

// ---------------------------------------------------------------- streaming

TEST(nvShapeBtnStored, PublishedPropertiesRoundTrip)
{
    InitApplication();
    RegisterClasses<TButtonTestForm>();
    ASSERT_NE(GetClass("TnvShapeBtn"), nullptr);
    TButtonTestForm Form;
    Form.SetBounds(0, 0, 400, 200);
    auto* B = new TnvShapeBtn(&Form);
    B->SetName("nvShapeBtn9");
    B->SetParent(&Form);
    B->SetBounds(16, 24, 161, 33);
    B->SetCaption("Click for Demo");
    B->SetColor(clRed);
    B->SetDitherColor(clWhite);
    B->SetOrientation(soDown);
    B->SetRoundRectBias(40);
    B->TextOptions()->SetStyle(nvlsLowered);
    B->ShadeColors()->SetBtnBlack(MakeColor(0x000040));
    SetOctagon(*B);
    const String Text = ComponentToText(&Form);
    for (const char* Want : {"Shape = bsCustom", "Orientation = soDown", "RoundRectBias = 40", "PointList.Strings = (",
                             "'Width*7/8, Height/8'", "'Width/8,0'", "Color = clRed", "TextOptions.Style = nvlsLowered",
                             "ShadeColors.BtnBlack = "})
        EXPECT_NE(Text.find(Want), String::npos) << Want << "\n" << Text;
    EXPECT_EQ(Text.find("ShadeStyle"), String::npos); // fbsHighlight is the default

    TButtonTestForm Copy;
    ReadComponentFromText(Text, &Copy);
    auto* R = Get<TnvShapeBtn>(&Copy, "nvShapeBtn9");
    ASSERT_NE(R, nullptr);
    EXPECT_EQ(R->Shape(), bsCustom);
    EXPECT_EQ(R->Orientation(), soDown);
    EXPECT_EQ(R->RoundRectBias(), 40);
    EXPECT_EQ(R->PointList()->Text(), B->PointList()->Text());
    EXPECT_EQ(R->Color(), clRed);
    EXPECT_EQ(R->ShadeStyle(), fbsHighlight);
    EXPECT_TRUE(EqualRgn(R->WindowRegion(), B->WindowRegion()));

    // A new button's defaults.
    TnvShapeBtn Fresh;
    EXPECT_EQ(Fresh.Shape(), bsRect);
    EXPECT_EQ(Fresh.Orientation(), soUp);
    EXPECT_EQ(Fresh.RoundRectBias(), 25);
    EXPECT_EQ(Fresh.Color(), clBtnFace);
    EXPECT_EQ(Fresh.ShadeStyle(), fbsHighlight);
    EXPECT_EQ(Fresh.PointList()->Count(), 0);
    EXPECT_TRUE(EqualRgn(Fresh.WindowRegion(), CreateRectRgn(0, 0, 75, 25)));
}

// The properties a shape button always writes: their values at creation (and
// any other) appear in the written text, read back the same, and the text
// written again is the same text.
TEST(nvShapeBtnStored, AlwaysStoredPropertiesAreWrittenWhateverTheirValue)
{
    InitApplication();
    RegisterClasses<TButtonTestForm>();
    struct TCase {
        const char* Name;
        std::function<void(TnvShapeBtn*)> Set;
        std::vector<const char*> Lines;
    };
    const TCase Cases[] = {
        {"values at creation", [](TnvShapeBtn*) {},
         {"RoundRectBias = 25", "Color = clBtnFace", "DitherColor = clWhite", "DitherStyle = dsDither",
          "TransparentColor = clNone", "ParentClipping = False"}},
        {"the declared defaults of other readers",
         [](TnvShapeBtn* B) {
             B->SetRoundRectBias(0);
             B->SetColor(clWindow);
         },
         {"RoundRectBias = 0", "Color = clWindow"}},
        {"other values",
         [](TnvShapeBtn* B) {
             B->SetRoundRectBias(7);
             B->SetColor(clRed);
             B->SetDitherColor(clNavy);
             B->SetDitherStyle(dsBlendDither);
             B->SetTransparentColor(clLime);
         },
         {"RoundRectBias = 7", "Color = clRed", "DitherColor = clNavy", "DitherStyle = dsBlendDither",
          "TransparentColor = clLime"}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TButtonTestForm Form;
        Form.SetBounds(0, 0, 200, 100);
        auto* B = new TnvShapeBtn(&Form);
        B->SetName("Stored");
        B->SetParent(&Form);
        // Setting it (to either value) lets the parent paint under the
        // button, so it reads false from here on: the value a new button
        // without a parent has too.
        B->SetParentClipping(true);
        // Loading takes the tab stop from a button that is not focusable.
        B->SetTabStop(false);
        C.Set(B);
        const String Text = ComponentToText(&Form);
        for (const char* Line : C.Lines)
            EXPECT_NE(Text.find(String("    ") + Line), String::npos) << Line << "\n" << Text;

        TButtonTestForm Copy;
        ReadComponentFromText(Text, &Copy);
        auto* R = Get<TnvShapeBtn>(&Copy, "Stored");
        ASSERT_NE(R, nullptr);
        EXPECT_EQ(R->RoundRectBias(), B->RoundRectBias());
        EXPECT_EQ(R->Color(), B->Color());
        EXPECT_EQ(R->DitherColor(), B->DitherColor());
        EXPECT_EQ(R->DitherStyle(), B->DitherStyle());
        EXPECT_EQ(R->TransparentColor(), B->TransparentColor());
        EXPECT_EQ(ComponentToText(&Copy), Text);
    }
}

// A rounded and an octagon launch button as the main window's form declares them.
TEST(nvShapeBtnStored, LaunchButtonDeclarationsLoad)
{
    InitApplication();
    RegisterClasses<TButtonTestForm>();
    const String Text = "object F: TButtonTestForm\n"
                        "  object nvShapeBtn8: TnvShapeBtn\n"
                        "    Left = 134\n"
                        "    Top = 21\n"
                        "    Width = 151\n"
                        "    Height = 32\n"
                        "    Caption = 'OutlookBar Demo'\n"
                        "    DitherColor = clWhite\n"
                        "    Font.Height = -11\n"
                        "    Font.Name = 'MS Sans Serif'\n"
                        "    Font.Style = [fsBold]\n"
                        "    ParentFont = False\n"
                        "    Shape = bsRoundRect\n"
                        "    TextOptions.ShadeColor = clBtnFace\n"
                        "    TextOptions.Style = nvlsLowered\n"
                        "    OnClick = BtnClick\n"
                        "  end\n"
                        "  object nvShapeBtn9: TnvShapeBtn\n"
                        "    Left = 16\n"
                        "    Top = 60\n"
                        "    Width = 161\n"
                        "    Height = 33\n"
                        "    Caption = 'Click for Demo'\n"
                        "    DitherColor = clWhite\n"
                        "    Font.Height = -11\n"
                        "    Font.Name = 'MS Sans Serif'\n"
                        "    Font.Style = [fsBold]\n"
                        "    ParentFont = False\n"
                        "    PointList.Strings = (\n"
                        "      'Width/8, 0'\n"
                        "      'Width*7/8, 0'\n"
                        "      'Width*7/8, Height/8'\n"
                        "      'Width, Height/8'\n"
                        "      'Width, Height*7/8'\n"
                        "      'Width*7/8, Height*7/8'\n"
                        "      'Width*7/8, Height'\n"
                        "      'Width/8, Height'\n"
                        "      'Width/8, Height*7/8'\n"
                        "      '0, Height*7/8'\n"
                        "      '0, Height/8'\n"
                        "      'Width/8,Height/8'\n"
                        "      'Width/8,0')\n"
                        "    Shape = bsCustom\n"
                        "    OnClick = BtnClick\n"
                        "  end\n"
                        "end\n";
    TButtonTestForm Form;
    ReadComponentFromText(Text, &Form);
    Form.SetBounds(0, 0, 400, 200);
    auto* Rounded = Get<TnvShapeBtn>(&Form, "nvShapeBtn8");
    auto* Octa = Get<TnvShapeBtn>(&Form, "nvShapeBtn9");
    ASSERT_TRUE(Rounded && Octa);
    EXPECT_EQ(Rounded->Shape(), bsRoundRect);
    EXPECT_EQ(Rounded->TextOptions()->Style(), nvlsLowered);
    EXPECT_EQ(RegionBox(Rounded->WindowRegion()), TRect(0, 0, 150, 31));
    EXPECT_EQ(Octa->Shape(), bsCustom);
    EXPECT_FALSE(Octa->WindowRegion().contains(QPoint(5, 1)));
    EXPECT_TRUE(Octa->WindowRegion().contains(QPoint(80, 16)));
    // A click inside the outline reaches the form's handler; one in a cut
    // corner reaches the form instead.
    Activate(&Form);
    ClickAt(Octa, QPoint(80, 16));
    ClickAt(Rounded, QPoint(75, 16));
    ASSERT_EQ(Form.Log.size(), 2u);
    EXPECT_EQ(Form.Log[0], "click:nvShapeBtn9");
    EXPECT_EQ(Form.Log[1], "click:nvShapeBtn8");
    EXPECT_EQ(Form.ControlAtPos(TPoint(16 + 5, 60 + 1)), nullptr);
    EXPECT_EQ(Form.ControlAtPos(TPoint(16 + 80, 60 + 16)), Octa);
    ParkPointer();
}

TEST(nvShapeBtnRegion, ReleasingInACutCornerDoesNotClick)
{
    InitApplication();
    TButtonTestForm Form;
    Form.SetBounds(0, 0, 300, 100);
    auto* Btn = new TTestShapeBtn(&Form);
    Btn->SetName("Octa");
    Btn->SetParent(&Form);
    Btn->SetBounds(10, 10, 161, 33);
    SetOctagon(*Btn);
    Btn->OnClick = [&](TObject* S) { Form.BtnClick(S); };
    Activate(&Form);
    Press(Btn, QPoint(80, 16));
    EXPECT_TRUE(Btn->Down()); // held down while the pointer is on it
    MoveHeld(Btn, QPoint(3, 1)); // a cut corner: off the button
    EXPECT_FALSE(Btn->Down());
    Release(Btn, QPoint(3, 1));
    EXPECT_TRUE(Form.Log.empty());
    ClickAt(Btn, QPoint(3, 16)); // the left arm is on it
    ASSERT_EQ(Form.Log.size(), 1u);
    EXPECT_EQ(Form.Log[0], "click:Octa");
    ParkPointer();
}

TEST(nvShapeBtnStored, AssignCopiesTheOutlineSettings)
{
    TShapeFixture A(161, 33), B(161, 33);
    SetOctagon(A.Btn);
    A.Btn.SetOrientation(soLeft);
    A.Btn.SetRoundRectBias(7);
    B.Btn.Assign(&A.Btn);
    EXPECT_EQ(B.Btn.Shape(), bsCustom);
    EXPECT_EQ(B.Btn.Orientation(), soLeft);
    EXPECT_EQ(B.Btn.RoundRectBias(), 7);
    EXPECT_EQ(B.Btn.PointList()->Count(), 13);
    EXPECT_TRUE(EqualRgn(B.Btn.WindowRegion(), A.Btn.WindowRegion()));
}

TEST(nvShapeBtnShape, SquareButtonTakesTheLargerSide)
{
    TShapeFixture F(61, 41);
    F.Btn.SquareButton();
    EXPECT_EQ(F.Btn.Width(), 61);
    EXPECT_EQ(F.Btn.Height(), 61);
}

// ---------------------------------------------------------------- pictures

namespace {

QString ShotDir()
{
    const QByteArray Env = qgetenv("ZEN_BUTTON_SHOTS");
    const QString Dir = Env.isEmpty() ? QDir::tempPath() + "/zentavo-shape-shots" : QString::fromLocal8Bit(Env);
    QDir().mkpath(Dir);
    return Dir;
}

} // namespace

// Every shape in every orientation on one sheet (rows: shapes; columns:
// orientations up, right, down, left; the last column pressed in a group).
TEST(nvShapeBtnShots, EveryShapeInEveryOrientation)
{
    InitApplication();
    ParkPointer();
    const int CW = 110, CH = 70, BW = 100, BH = 60;
    const TnvShapeOrientation Order[] = {soUp, soRight, soDown, soLeft};
    QImage Sheet(5 * CW, 9 * CH, QImage::Format_RGB32);
    const QRgb Back = qRgb(0, 128, 128);
    Sheet.fill(Back);
    for (int S = 0; S <= bsCustom; ++S)
        for (int Col = 0; Col < 5; ++Col) {
            TWinControl Host;
            Host.SetBounds(0, 0, 200, 200);
            TTestShapeBtn Btn;
            Btn.SetParent(&Host);
            Btn.SetBounds(0, 0, BW, BH);
            if (S == bsCustom)
                SetOctagon(Btn);
            else
                Btn.SetShape(static_cast<TnvButtonShape>(S));
            Btn.SetOrientation(Order[Col % 4]);
            Btn.SetCaption(ShapeName(static_cast<TnvButtonShape>(S)));
            Btn.Font()->SetStyle(fsBold);
            if (Col == 4) {
                Btn.SetOrientation(soUp);
                Btn.SetColor(clBlue);
                Btn.SetDitherColor(clNavy);
                Btn.Font()->SetColor(clYellow);
                Btn.SetGroupIndex(1);
                Btn.SetDown(true);
            }
            const QImage I = Btn.Composed(Back);
            QPainter P(&Sheet);
            P.drawImage(Col * CW + 5, S * CH + 5, I);
            // The middle of each shape carries the face (or the checker).
            const QRgb Mid = Rgb(I, BW / 2, BH / 2 + (S == bsTriangle || S == bsStar ? 8 : 0));
            EXPECT_NE(Mid, Back & 0xFFFFFFu) << ShapeName(static_cast<TnvButtonShape>(S)) << " " << Col;
        }
    const QString File = ShotDir() + "/shapes.png";
    ASSERT_TRUE(Sheet.save(File)) << File.toStdString();
}

// Launch and category buttons of the main window, as its form configures them.
TEST(nvShapeBtnShots, LaunchButtons)
{
    InitApplication();
    ParkPointer();
    QImage Sheet(600, 330, QImage::Format_RGB32);
    const QRgb Back = Sys(clBtnFace);
    Sheet.fill(Back);
    auto Launch = [](TTestShapeBtn& B, const char* Caption, int W, int H) {
        B.SetBounds(0, 0, W, H);
        B.SetCaption(Caption);
        B.SetColor(clBtnFace);
        B.SetDitherColor(clWhite);
        B.Font()->SetName("MS Sans Serif");
        B.Font()->SetHeight(-11);
        B.Font()->SetStyle(fsBold);
    };
    auto Rounded = [&](TTestShapeBtn& B, const char* Caption, int W, int H, TColor Shade) {
        Launch(B, Caption, W, H);
        B.SetShape(bsRoundRect);
        B.TextOptions()->SetStyle(nvlsLowered);
        B.TextOptions()->SetShadeColor(Shade);
    };
    struct TItem {
        std::function<void(TTestShapeBtn&)> Setup;
        int X, Y;
    };
    std::vector<TItem> Items = {
        {[&](TTestShapeBtn& B) { Rounded(B, "OutlookBar Demo", 151, 32, clBtnFace); }, 10, 10},
        {[&](TTestShapeBtn& B) { Rounded(B, "Example using OutlookBar", 198, 32, clBtnFace); }, 180, 10},
        {[&](TTestShapeBtn& B) { Rounded(B, "Click For Demo", 121, 32, clNone); }, 400, 10},
        {[&](TTestShapeBtn& B) {
             Launch(B, "Click for Demo", 161, 33);
             SetOctagon(B);
         },
         10, 60},
        {[&](TTestShapeBtn& B) {
             Launch(B, "New - DataBound ProgressBar", 265, 33);
             SetOctagon(B);
             B.SetColor(clRed);
             B.ShadeColors()->SetBtn3DLight(MakeColor(0x7F7FFF));
             B.ShadeColors()->SetBtnHighlight(MakeColor(0xBFBFFF));
             B.ShadeColors()->SetBtnShadow(clMaroon);
             B.ShadeColors()->SetBtnBlack(MakeColor(0x000040));
         },
         180, 60},
        {[&](TTestShapeBtn& B) {
             Rounded(B, "  The Ultimate\r\nStatusBar Demo", 149, 49, clBtnFace);
             B.SetRoundRectBias(40);
         },
         10, 110},
        {[&](TTestShapeBtn& B) {
             Rounded(B, "Database Imager", 161, 30, clBtnFace);
             B.Offsets()->SetTextY(-2);
             B.Font()->SetColor(clBlack);
             B.TextOptions()->SetHighlightColor(MakeColor(0x4040FF));
             B.TextOptions()->SetShadeColor(MakeColor(0x0000A4));
         },
         180, 110},
        {[&](TTestShapeBtn& B) {
             Launch(B, "Rotated", 60, 90);
             B.SetShape(bsEllipse);
             B.TextOptions()->SetRotation(90);
         },
         470, 60},
        {[&](TTestShapeBtn& B) {
             Launch(B, "Glyph", 121, 32);
             B.SetShape(bsRoundRect);
             QImage G(32, 16, QImage::Format_RGB32);
             G.fill(qRgb(0, 128, 128));
             for (int Y = 3; Y < 13; ++Y)
                 for (int X = 3; X < 13; ++X) {
                     G.setPixel(X, Y, qRgb(200, 30, 30));
                     G.setPixel(16 + X, Y, qRgb(90, 90, 90));
                 }
             TBitmap Glyph;
             Glyph.SetImage(G);
             B.SetGlyph(&Glyph);
             B.SetNumGlyphs(2);
         },
         200, 160},
        {[&](TTestShapeBtn& B) {
             Launch(B, "Pressed", 121, 32);
             B.SetShape(bsRoundRect);
             B.SetGroupIndex(2);
             B.SetDown(true);
         },
         360, 160},
    };
    // Category buttons: blue rectangles in a column, the first one down.
    const char* Categories[] = {"Outlook Bar", "TreeViews", "Image Forms", "Buttons && Labels"};
    for (int I = 0; I < 4; ++I)
        Items.push_back({[&, I](TTestShapeBtn& B) {
                             B.SetBounds(0, 0, 117, 22);
                             B.SetCaption(Categories[I]);
                             B.SetColor(clBlue);
                             B.SetDitherColor(clNavy);
                             B.SetOptions(boFocusable);
                             B.ShadeColors()->SetBtn3DLight(MakeColor(0xFF7F7F));
                             B.ShadeColors()->SetBtnHighlight(MakeColor(0xFFBFBF));
                             B.ShadeColors()->SetBtnShadow(clNavy);
                             B.ShadeColors()->SetBtnBlack(MakeColor(0x400000));
                             B.Font()->SetName("MS Sans Serif");
                             B.Font()->SetHeight(-11);
                             B.Font()->SetStyle(fsBold);
                             B.Font()->SetColor(I == 0 ? clYellow : clWhite);
                             B.SetGroupIndex(1);
                             if (I == 0)
                                 B.SetDown(true);
                         },
                         10, 170 + I * 22});
    for (const TItem& It : Items) {
        TWinControl Host;
        Host.SetBounds(0, 0, 400, 200);
        TTestShapeBtn Btn;
        Btn.SetParent(&Host);
        It.Setup(Btn);
        const QImage I = Btn.Composed(Back);
        QPainter P(&Sheet);
        P.drawImage(It.X, It.Y, I);
        // The caption is drawn: some pixel in the middle band differs from the face.
        bool Text = false;
        for (int Y = Btn.Height() / 3; Y < 2 * Btn.Height() / 3 && !Text; ++Y)
            for (int X = Btn.Width() / 4; X < 3 * Btn.Width() / 4 && !Text; ++X)
                Text = Rgb(I, X, Y) != Rgb(I, Btn.Width() / 2, 3);
        EXPECT_TRUE(Text) << Btn.Caption();
    }
    const QString File = ShotDir() + "/launch.png";
    ASSERT_TRUE(Sheet.save(File)) << File.toStdString();
}

#include "nvShapeBtnTest.moc"
