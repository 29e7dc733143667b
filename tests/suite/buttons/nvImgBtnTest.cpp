// The image button: outlines from the picture, the four faces on rendered
// pixels, colouring and the pressed-in-group looks, hit tests, shared
// pictures, memory release and the stored outlines in a form.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "Regions.h"
#include "nvButtonTestSupport.h"

namespace {

// A 38 x 38 button (no scaling of a 38 x 38 picture, nor of it at fbsRaised
// in a 40 x 40 button) on a parent without a form.
struct TImageFixture {
    TWinControl Host;
    TTestImageBtn Btn;
    std::unique_ptr<TnvBitmap> Picture = SquarePicture(38, 38, 10, 10, 30, 30);
    TImageFixture(int Size = 38)
    {
        InitApplication();
        ParkPointer();
        Host.SetBounds(0, 0, 200, 200);
        Btn.SetParent(&Host);
        Btn.SetBounds(20, 20, Size, Size);
        Btn.SetImage(Picture.get());
    }
};

const QRgb Red = 0xFF0000u;

} // namespace

TEST(nvImgBtnOutline, ThePictureShapesTheWindowAndTheHitArea)
{
    TImageFixture F;
    EXPECT_TRUE(EqualRgn(F.Btn.AppliedRegion(), CreateRectRgn(10, 10, 30, 30)));
    EXPECT_TRUE(EqualRgn(F.Btn.WindowRegion(), CreateRectRgn(10, 10, 30, 30)));
    EXPECT_FALSE(F.Btn.IsShaped()); // one picture: the outline is the same up and down
    // Hit tests follow the outline, through the parent's child-window test.
    EXPECT_TRUE(F.Btn.HitTest(TPoint(15, 15)));
    EXPECT_FALSE(F.Btn.HitTest(TPoint(2, 2)));
    EXPECT_EQ(F.Host.ControlAtPos(TPoint(20 + 15, 20 + 15)), &F.Btn);
    EXPECT_EQ(F.Host.ControlAtPos(TPoint(20 + 2, 20 + 2)), nullptr);
    // The outline is the stored record now, built once.
    EXPECT_TRUE(F.Btn.RegionData().HasBuffer());
    const int Builds = F.Btn.RegionDecodeCount();
    for (int I = 0; I < 20; ++I) {
        F.Btn.Render();
        F.Btn.CreateRegion(true, false);
    }
    EXPECT_EQ(F.Btn.RegionDecodeCount(), Builds);
    // A size change drops it; the next application builds it for the new size.
    F.Btn.SetBounds(20, 20, 76, 76);
    EXPECT_TRUE(EqualRgn(F.Btn.AppliedRegion(), CreateRectRgn(20, 20, 60, 60)));
}

TEST(nvImgBtnOutline, TransparentColourChoices)
{
    TImageFixture F;
    // The top-left pixel (magenta) is the key: every magenta pixel leaves the outline.
    EXPECT_EQ(F.Btn.ImageKeyColor(false), MakeColor(0xFF00FF));
    // An explicit colour that is not in the picture: the whole rectangle.
    F.Btn.SetTransparentColor(MakeColor(0x00FF00));
    EXPECT_TRUE(EqualRgn(F.Btn.AppliedRegion(), CreateRectRgn(0, 0, 38, 38)));
    // A system colour never equals a pixel's colour value: the full rectangle too.
    F.Btn.SetTransparentColor(clBtnFace);
    EXPECT_TRUE(EqualRgn(F.Btn.AppliedRegion(), CreateRectRgn(0, 0, 38, 38)));
    // No transparency: no outline at all, and the whole picture shows.
    F.Btn.SetTransparentColor(nvNoTransparency);
    EXPECT_TRUE(F.Btn.AppliedRegion().isEmpty());
    EXPECT_FALSE(F.Btn.HasWindowRegion());
    const QImage I = F.Btn.Render();
    EXPECT_EQ(Rgb(I, 0, 0), 0xFF00FFu);
    EXPECT_EQ(Rgb(I, 15, 15), Red);
}

TEST(nvImgBtnOutline, WithoutAPictureAPlaceholderFaceAndNoOutline)
{
    InitApplication();
    TWinControl Host;
    TTestImageBtn Btn;
    Btn.SetParent(&Host);
    Btn.SetBounds(0, 0, 40, 30);
    const QImage I = Btn.Render();
    EXPECT_TRUE(Btn.AppliedRegion().isEmpty());
    EXPECT_EQ(Rgb(I, 20, 15), Sys(clBtnFace));
    EXPECT_EQ(Rgb(I, 0, 0), 0u); // the dash-dot frame starts with a dash
    EXPECT_EQ(Rgb(I, 1, 0), 0u);
}

TEST(nvImgBtnFaces, NormalFaceAndThePressedPictureMovingInsideTheOutline)
{
    TImageFixture F;
    F.Btn.SetShadeStyle(fbsNormal);
    QImage I = F.Btn.Render();
    EXPECT_EQ(Rgb(I, 10, 10), Red);
    EXPECT_EQ(Rgb(I, 29, 29), Red);
    // Pressed in a group without a down picture (no dither colour): the picture
    // moves by the down offsets; the band it uncovers is the Shadow colour.
    F.Btn.SetDitherColor(clNone);
    F.Btn.SetGroupIndex(1);
    F.Btn.SetDown(true);
    F.Btn.ShadeColors()->SetShadow(MakeColor(0x00204060));
    I = F.Btn.Render();
    EXPECT_EQ(Rgb(I, 10, 10), 0x604020u);
    EXPECT_EQ(Rgb(I, 11, 20), 0x604020u);
    EXPECT_EQ(Rgb(I, 12, 12), Red);
    EXPECT_TRUE(EqualRgn(F.Btn.AppliedRegion(), CreateRectRgn(10, 10, 30, 30)));
}

TEST(nvImgBtnFaces, RaisedFaceHasADropShadowAndPressesOntoIt)
{
    TImageFixture F(40);
    F.Btn.SetShadeStyle(fbsRaised);
    EXPECT_TRUE(F.Btn.IsShaped());
    // Up: the picture (38 x 38) and its copy moved by (2, 2).
    const QRegion Up = CreateRectRgn(10, 10, 30, 30).united(CreateRectRgn(12, 12, 32, 32));
    EXPECT_TRUE(EqualRgn(F.Btn.AppliedRegion(), Up));
    QImage I = F.Btn.Render();
    EXPECT_EQ(Rgb(I, 10, 10), Red);
    EXPECT_EQ(Rgb(I, 31, 31), Sys(clBlack)); // Shadow: black by default
    EXPECT_EQ(Rgb(I, 30, 20), Sys(clBlack));
    // Down: only the moved shape, with the picture on it.
    F.Btn.SetDitherColor(clNone);
    F.Btn.SetGroupIndex(1);
    F.Btn.SetDown(true);
    EXPECT_TRUE(EqualRgn(F.Btn.AppliedRegion(), CreateRectRgn(12, 12, 32, 32)));
    I = F.Btn.Render();
    EXPECT_EQ(Rgb(I, 12, 12), Red);
    EXPECT_EQ(Rgb(I, 31, 31), Red);
    // A shaped button hits in the union of both outlines.
    EXPECT_TRUE(F.Btn.PointInButton(10, 10, false));
    EXPECT_TRUE(F.Btn.PointInButton(31, 31, false));
    EXPECT_FALSE(F.Btn.PointInButton(33, 33, false));
    EXPECT_FALSE(F.Btn.PointInButton(20, 20, true)); // only while tracking
}

// A raised 40 x 40 button renders its picture at 38 x 38; the up outline is
// that square and its copy moved by (2, 2), so it reaches row and column 39
// (but not the two corners the copy leaves out); pressed, only the moved copy.
TEST(nvImgBtnOutline, RaisedOutlineReachesTheLastRowAndColumn)
{
    struct TPoints {
        std::vector<QPoint> In, Out;
    };
    const TPoints Up = {{{0, 0}, {37, 0}, {0, 37}, {39, 39}, {39, 2}, {2, 39}, {38, 38}},
                        {{38, 0}, {39, 1}, {0, 38}, {1, 39}, {40, 40}}};
    const TPoints Down = {{{2, 2}, {39, 39}, {39, 2}, {2, 39}}, {{0, 0}, {1, 1}, {37, 0}, {0, 37}, {1, 39}}};
    struct TCase {
        const char* Name;
        int PictureSize; // a square picture, wholly opaque, scaled to 38 x 38
    };
    const TCase Cases[] = {{"a 38-pixel picture", 38}, {"a 19-pixel picture", 19}, {"a 40-pixel picture", 40}};
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TImageFixture F(40);
        auto Picture = SquarePicture(C.PictureSize, C.PictureSize, 0, 0, C.PictureSize, C.PictureSize);
        F.Btn.SetImage(Picture.get());
        F.Btn.SetTransparentColor(clFuchsia); // no pixel of the picture
        F.Btn.SetShadeStyle(fbsRaised);
        F.Btn.SetDitherColor(clNone);
        F.Btn.SetGroupIndex(1);
        const QRegion UpRegion = CreateRectRgn(0, 0, 38, 38).united(CreateRectRgn(2, 2, 40, 40));
        EXPECT_TRUE(EqualRgn(F.Btn.AppliedRegion(), UpRegion));
        for (const QPoint& P : Up.In)
            EXPECT_TRUE(F.Btn.AppliedRegion().contains(P)) << "up, in: " << P.x() << "," << P.y();
        for (const QPoint& P : Up.Out)
            EXPECT_FALSE(F.Btn.AppliedRegion().contains(P)) << "up, out: " << P.x() << "," << P.y();
        QImage I = F.Btn.Render();
        EXPECT_EQ(Rgb(I, 37, 37), Red);
        EXPECT_EQ(Rgb(I, 39, 39), Sys(clBlack)) << "the shadow";
        EXPECT_EQ(Rgb(I, 38, 2), Sys(clBlack));

        F.Btn.SetDown(true);
        EXPECT_TRUE(EqualRgn(F.Btn.AppliedRegion(), CreateRectRgn(2, 2, 40, 40)));
        for (const QPoint& P : Down.In)
            EXPECT_TRUE(F.Btn.AppliedRegion().contains(P)) << "down, in: " << P.x() << "," << P.y();
        for (const QPoint& P : Down.Out)
            EXPECT_FALSE(F.Btn.AppliedRegion().contains(P)) << "down, out: " << P.x() << "," << P.y();
        I = F.Btn.Render();
        EXPECT_EQ(Rgb(I, 39, 39), Red) << "the picture pressed onto its shadow";
        EXPECT_EQ(Rgb(I, 2, 2), Red);
    }
}

// The automatic margin (-1) places a left- or right-aligned caption as a
// margin of 4 does: the rendered caption is the same, 4 pixels further out
// than with a margin of 8.
TEST(nvImgBtnCaption, AutomaticMarginIsFourForLeftAndRightAlignment)
{
    struct TCase {
        const char* Name;
        TAlignment Alignment;
        int Inward; // +1: a larger margin moves the caption right, -1: left
    };
    const TCase Cases[] = {{"left", taLeftJustify, 1}, {"right", taRightJustify, -1}};
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        auto Caption = [&](int Margin) {
            TImageFixture F(38);
            F.Btn.SetBounds(20, 20, 100, 30);
            F.Btn.SetTransparentColor(nvNoTransparency); // a rectangular button
            F.Btn.Font()->SetColor(clBlue);
            F.Btn.SetCaption("Go");
            F.Btn.TextOptions()->SetAlignment(C.Alignment);
            F.Btn.SetMargin(Margin);
            const QImage I = F.Btn.Render();
            int L = I.width(), R = -1;
            for (int Y = 0; Y < I.height(); ++Y)
                for (int X = 0; X < I.width(); ++X)
                    if (Rgb(I, X, Y) == Sys(clBlue)) {
                        L = std::min(L, X);
                        R = std::max(R, X);
                    }
            return std::make_pair(L, R + 1);
        };
        const auto Auto = Caption(-1), Four = Caption(4), Eight = Caption(8);
        ASSERT_LT(Auto.first, Auto.second) << "a caption is drawn";
        EXPECT_EQ(Auto, Four);
        EXPECT_EQ(Eight.first, Four.first + 4 * C.Inward);
        EXPECT_EQ(Eight.second, Four.second + 4 * C.Inward);
        // The caption's ink lies at the margin of 4 (give or take the
        // layout's spacing and the glyphs' side bearings), not at the edge.
        if (C.Alignment == taLeftJustify) {
            EXPECT_GE(Auto.first, 4 - 2);
            EXPECT_LE(Auto.first, 4 + 3);
        } else {
            EXPECT_LE(Auto.second, 100 - 4 + 2);
            EXPECT_GE(Auto.second, 100 - 4 - 3);
        }
    }
}

TEST(nvImgBtnFaces, HighlightFaceBevelsTheContour)
{
    TImageFixture F;
    F.Btn.SetShadeStyle(fbsHighlight);
    TnvShadeColors* S = F.Btn.ShadeColors();
    S->SetBtnHighlight(MakeColor(0x0000FFFF));
    S->SetBtn3DLight(MakeColor(0x0000FF00));
    S->SetBtnShadow(MakeColor(0x00FF0000));
    S->SetBtnBlack(MakeColor(0x00FF00FF));
    QImage I = F.Btn.Render();
    const QRgb Hi = 0xFFFF00u, Light = 0x00FF00u, Shade = 0x0000FFu, Black = 0xFF00FFu;
    // Up: the corner and the top edge lit two deep, the far ends dark two deep.
    EXPECT_EQ(Rgb(I, 10, 10), Hi);
    EXPECT_EQ(Rgb(I, 11, 11), Light);
    EXPECT_EQ(Rgb(I, 29, 29), Black);
    EXPECT_EQ(Rgb(I, 28, 28), Shade);
    EXPECT_EQ(Rgb(I, 20, 10), Hi);    // top edge: a run from (20, 10) ...
    EXPECT_EQ(Rgb(I, 29, 19), Black); // ... to the right edge
    EXPECT_EQ(Rgb(I, 28, 18), Shade);
    EXPECT_EQ(Rgb(I, 15, 20), Red); // inside stays the picture
    // Down: the colours swap.
    F.Btn.SetDitherColor(clNone);
    F.Btn.SetGroupIndex(1);
    F.Btn.SetDown(true);
    I = F.Btn.Render();
    EXPECT_EQ(Rgb(I, 10, 10), Black);
    EXPECT_EQ(Rgb(I, 11, 11), Shade);
    EXPECT_EQ(Rgb(I, 29, 29), Hi);
    EXPECT_EQ(Rgb(I, 28, 28), Light);
}

TEST(nvImgBtnFaces, OnePixelDiagonalRunEndsInTheFirstColour)
{
    InitApplication();
    TnvBitmap Src, Dst;
    Src.SetSize(5, 5);
    Dst.SetSize(5, 5);
    for (int Y = 0; Y < 5; ++Y)
        for (int X = 0; X < 5; ++X)
            Src.Row(Y)[X] = MakeTriple(255, 0, 255);
    Src.Row(2)[2] = MakeTriple(10, 20, 30);
    TTestImageBtn Btn;
    Btn.DrawContourBevel(&Src, &Dst, false, MakeColor(0xFF00FF));
    EXPECT_EQ(Dst.Row(2)[2], ColorToTriple(Btn.ShadeColors()->BtnHighlight()));
    // Runs of one pixel paint their bevel partly onto the key pixels beside them.
    EXPECT_EQ(Dst.Row(3)[3], ColorToTriple(Btn.ShadeColors()->Btn3DLight()));
    EXPECT_EQ(Dst.Row(1)[1], ColorToTriple(Btn.ShadeColors()->BtnShadow()));
}

TEST(nvImgBtnFaces, FlatFaceHasNoBevelWithoutThePointer)
{
    TImageFixture F;
    F.Btn.SetShadeStyle(fbsFlat);
    QImage I = F.Btn.Render();
    EXPECT_EQ(Rgb(I, 10, 10), Red);
    EXPECT_EQ(Rgb(I, 29, 29), Red);
    // With the pointer on it, the contour bevel.
    QCursor::setPos(F.Btn.mapToGlobal(QPoint(15, 15)));
    I = F.Btn.Render();
    EXPECT_EQ(Rgb(I, 10, 10), Sys(F.Btn.ShadeColors()->BtnHighlight()));
    EXPECT_EQ(Rgb(I, 29, 29), Sys(F.Btn.ShadeColors()->BtnBlack()));
    // Inside a click it is drawn as a normal face.
    QImage InClick;
    F.Btn.OnClick = [&](TObject*) { InClick = F.Btn.Render(); };
    F.Btn.Click();
    EXPECT_EQ(Rgb(InClick, 10, 10), Red);
    ParkPointer();
}

TEST(nvImgBtnColour, ColourTintsThePictureAndPressedGroupButtonsDither)
{
    TImageFixture F;
    F.Btn.SetColor(MakeColor(0x00FFC0C0)); // red 192, green 192, blue 255: adds 63 blue
    QImage I = F.Btn.Render();
    EXPECT_EQ(Rgb(I, 15, 15), 0xFF003Fu);
    F.Btn.SetColor(clNone);

    // A pressed group button without a down picture: dsFill fills the outline.
    F.Btn.SetGroupIndex(1);
    F.Btn.SetDitherColor(MakeColor(0x0000FF00));
    F.Btn.SetDitherStyle(dsFill);
    F.Btn.Offsets()->SetTextDownX(0);
    F.Btn.ImgOffsets()->SetImageDownX(0);
    F.Btn.ImgOffsets()->SetImageDownY(0);
    F.Btn.SetDown(true);
    I = F.Btn.Render();
    EXPECT_EQ(Rgb(I, 15, 15), 0x00FF00u);
    EXPECT_EQ(Rgb(I, 16, 15), 0x00FF00u);
    // dsBlendDither: every other pixel, the picture through the rest.
    F.Btn.SetDitherStyle(dsBlendDither);
    I = F.Btn.Render();
    EXPECT_NE(Rgb(I, 15, 15), Rgb(I, 16, 15));
    for (int X = 14; X < 18; ++X) {
        const QRgb P = Rgb(I, X, 15);
        EXPECT_TRUE(P == 0x00FF00u || P == Red) << X;
    }
    // dsDither: a checker of silver and the dither colour.
    F.Btn.SetDitherStyle(dsDither);
    I = F.Btn.Render();
    for (int X = 14; X < 18; ++X) {
        const QRgb P = Rgb(I, X, 15);
        EXPECT_TRUE(P == 0x00FF00u || P == Sys(clSilver)) << X;
    }
    EXPECT_NE(Rgb(I, 15, 15), Rgb(I, 16, 15));
}

TEST(nvImgBtnPictures, DownPictureSharingAndMemoryRelease)
{
    TImageFixture F;
    // A down picture of its own: the outline differs between up and down.
    auto DownPic = SquarePicture(38, 38, 5, 5, 15, 15, qRgb(0, 0, 255));
    F.Btn.SetImageDown(DownPic.get());
    EXPECT_TRUE(F.Btn.IsShaped());
    F.Btn.SetGroupIndex(1);
    F.Btn.SetDown(true);
    EXPECT_TRUE(EqualRgn(F.Btn.AppliedRegion(), CreateRectRgn(5, 5, 15, 15)));
    EXPECT_EQ(Rgb(F.Btn.Render(), 6, 6), 0x0000FFu);
    F.Btn.SetAllowAllUp(true);
    F.Btn.SetDown(false);
    EXPECT_TRUE(EqualRgn(F.Btn.AppliedRegion(), CreateRectRgn(10, 10, 30, 30)));

    // Another button shares this one's pictures by assignment.
    auto Other = std::make_unique<TTestImageBtn>();
    Other->SetParent(&F.Host);
    Other->SetBounds(100, 20, 38, 38);
    Other->Assign(&F.Btn);
    EXPECT_EQ(Other->ExtImage(), static_cast<TComponent*>(&F.Btn));
    EXPECT_EQ(Other->GetImage(false), F.Btn.Image());
    EXPECT_TRUE(EqualRgn(Other->AppliedRegion(), CreateRectRgn(10, 10, 30, 30)));
    // A new picture of the source reshapes the sharing button.
    auto Wide = SquarePicture(38, 38, 2, 2, 36, 20);
    F.Btn.Image()->Assign(Wide.get());
    EXPECT_TRUE(EqualRgn(Other->AppliedRegion(), CreateRectRgn(2, 2, 36, 20)));
    EXPECT_EQ(Rgb(Other->Render(), 30, 5), Red);

    // Without a window the up picture is kept only as memory.
    F.Btn.DestroyWnd();
    EXPECT_TRUE(F.Btn.Image()->HasMemoryImage());
    EXPECT_TRUE(F.Btn.Image()->Empty());
    F.Btn.CreateWnd();
    EXPECT_FALSE(F.Btn.Image()->Empty());
    EXPECT_TRUE(EqualRgn(F.Btn.AppliedRegion(), CreateRectRgn(2, 2, 36, 20)));

    // Freeing the source clears the reference.
    auto* Source = new TTestImageBtn();
    Source->SetImage(F.Picture.get());
    Other->SetExtImage(Source);
    EXPECT_EQ(Other->ExtImage(), static_cast<TComponent*>(Source));
    delete Source;
    EXPECT_EQ(Other->ExtImage(), nullptr);
}

TEST(nvImgBtnStored, OutlinesAreStoredInTheFormAndReadBackWithoutScanning)
{
    InitApplication();
    RegisterClasses<TButtonTestForm>();
    TButtonTestForm Form;
    Form.SetBounds(0, 0, 200, 100);
    auto* Btn = new TnvImageBtn(&Form);
    Btn->SetName("Pic");
    Btn->SetParent(&Form);
    Btn->SetBounds(5, 5, 38, 38);
    auto Picture = SquarePicture(38, 38, 10, 10, 30, 30);
    Btn->SetImage(Picture.get());
    ASSERT_TRUE(Btn->RegionData().HasBuffer());
    const String Text = ComponentToText(&Form);
    EXPECT_NE(Text.find("RegionData = {"), String::npos);
    EXPECT_NE(Text.find("DownRegionData = {"), String::npos);
    // These are written even at their defaults.
    EXPECT_NE(Text.find("DitherColor = clWhite"), String::npos) << Text;
    EXPECT_NE(Text.find("DitherStyle = dsDither"), String::npos) << Text;
    EXPECT_NE(Text.find("TransparentColor = clNone"), String::npos) << Text;

    TButtonTestForm Copy;
    ReadComponentFromText(Text, &Copy);
    auto* Read = Get<TnvImageBtn>(&Copy, "Pic");
    EXPECT_EQ(Read->RegionData().Buffer, Btn->RegionData().Buffer);
    EXPECT_EQ(Read->RegionDecodeCount(), 1); // decoded from the record, no picture scan
    EXPECT_TRUE(EqualRgn(Read->AppliedRegion(), CreateRectRgn(10, 10, 30, 30)));
    auto RegionLine = [](const String& T) {
        const size_t P = T.find("  RegionData = {");
        return P == String::npos ? String() : T.substr(P, T.find('}', P) - P);
    };
    EXPECT_FALSE(RegionLine(Text).empty());
    EXPECT_EQ(RegionLine(ComponentToText(&Copy)), RegionLine(Text));

    // A record that announces more bytes than it holds: a read error naming it.
    TButtonTestForm Bad;
    try {
        ReadComponentFromText(R"(object ButtonTestForm: TButtonTestForm
  object Pic: TnvImageBtn
    RegionData = {20000000000000}
  end
end
)",
                              &Bad);
        FAIL() << "a truncated region record was read";
    } catch (const EReadError& X) {
        EXPECT_NE(X.Message().find("RegionData"), String::npos) << X.Message();
    }
    EXPECT_EQ(Bad.FindComponent("Pic"), nullptr);
}

// Writes each face to PNG files when ZEN_BUTTON_SHOTS names a folder, for a look.
TEST(nvImgBtnShots, RenderEachShadeStyle)
{
    const QByteArray Dir = qgetenv("ZEN_BUTTON_SHOTS");
    if (Dir.isEmpty())
        GTEST_SKIP() << "set ZEN_BUTTON_SHOTS to a folder to write the pictures";
    InitApplication();
    QDir().mkpath(QString::fromLocal8Bit(Dir));
    // A round picture with a caption and a glyph.
    QImage Round(80, 40, QImage::Format_RGB32);
    Round.fill(qRgb(255, 0, 255));
    for (int Y = 0; Y < 40; ++Y)
        for (int X = 0; X < 80; ++X) {
            const double DX = (X - 39.5) / 40.0, DY = (Y - 19.5) / 20.0;
            if (DX * DX + DY * DY < 1.0)
                Round.setPixel(X, Y, qRgb(80 + X, 120, 200 - Y * 2));
        }
    TBitmap RB;
    RB.SetImage(Round);
    TnvBitmap Pic;
    Pic.Assign(&RB);
    const char* Names[] = {"normal", "raised", "highlight", "flat", "flat-hot"};
    for (int Down = 0; Down < 2; ++Down)
        for (int S = 0; S < 5; ++S) {
            ParkPointer();
            TWinControl Host;
            TTestImageBtn Btn;
            Btn.SetParent(&Host);
            Btn.SetBounds(0, 0, 80, 40);
            Btn.SetImage(&Pic);
            Btn.SetCaption("Go");
            Btn.SetShadeStyle(static_cast<TnvShadeStyle>(S == 4 ? fbsFlat : S));
            if (S == 4)
                QCursor::setPos(Btn.mapToGlobal(QPoint(40, 20)));
            Btn.SetDitherStyle(dsBlendDither);
            if (Down) {
                Btn.SetGroupIndex(1);
                Btn.SetDown(true);
            }
            QImage I = Btn.Render();
            // Outside the outline: what the window region cuts away.
            QImage Shown(I.size(), QImage::Format_RGB32);
            Shown.fill(qRgb(255, 255, 255));
            for (int Y = 0; Y < I.height(); ++Y)
                for (int X = 0; X < I.width(); ++X)
                    if (!Btn.HasWindowRegion() || Btn.WindowRegion().contains(QPoint(X, Y)))
                        Shown.setPixel(X, Y, I.pixel(X, Y));
            const QString File = QString::fromLocal8Bit(Dir) + "/imgbtn-" + Names[S] + (Down ? "-down" : "-up") + ".png";
            EXPECT_TRUE(Shown.scaled(Shown.size() * 4).save(File));
        }
}

TEST(nvImgBtnPictures, ANewUpPictureWhileShowingTheDownPictureKeepsTheWindow)
{
    TImageFixture F;
    auto DownPic = SquarePicture(38, 38, 5, 5, 15, 15, qRgb(0, 0, 255));
    F.Btn.SetImageDown(DownPic.get());
    F.Btn.SetGroupIndex(1);
    F.Btn.SetDown(true);
    const int Windows = F.Btn.WindowCount;
    auto Other = SquarePicture(38, 38, 1, 1, 20, 20);
    F.Btn.SetImage(Other.get());
    EXPECT_EQ(F.Btn.WindowCount, Windows);
    EXPECT_TRUE(EqualRgn(F.Btn.AppliedRegion(), CreateRectRgn(5, 5, 15, 15)));
    F.Btn.SetAllowAllUp(true);
    F.Btn.SetDown(false);
    EXPECT_TRUE(EqualRgn(F.Btn.AppliedRegion(), CreateRectRgn(1, 1, 20, 20)));
    // Up, a new picture re-creates the window.
    F.Btn.SetImage(F.Picture.get());
    EXPECT_EQ(F.Btn.WindowCount, Windows + 1);
}

// Kind buttons with their glyphs, enabled and disabled, and a caption with
// effects, written as PNG files when ZEN_BUTTON_SHOTS names a folder.
TEST(nvImgBtnShots, RenderKindsAndCaptionEffects)
{
    const QByteArray Dir = qgetenv("ZEN_BUTTON_SHOTS");
    if (Dir.isEmpty())
        GTEST_SKIP() << "set ZEN_BUTTON_SHOTS to a folder to write the pictures";
    InitApplication();
    ParkPointer();
    QDir().mkpath(QString::fromLocal8Bit(Dir));
    QImage Sheet(4 * 100, 2 * 34, QImage::Format_RGB32);
    Sheet.fill(qRgb(255, 255, 255));
    const TBitBtnKind Kinds[] = {bkOK, bkCancel, bkHelp, bkAll};
    for (int Enabled = 0; Enabled < 2; ++Enabled)
        for (int K = 0; K < 4; ++K) {
            TWinControl Host;
            TTestImageBtn Btn;
            Btn.SetParent(&Host);
            Btn.SetBounds(0, 0, 96, 30);
            Btn.SetKind(Kinds[K]);
            Btn.SetEnabled(Enabled == 1);
            if (K == 3) {
                Btn.TextOptions()->SetStyle(nvlsRaised);
                Btn.TextOptions()->Shadow()->SetEnabled(true);
                Btn.TextOptions()->Shadow()->SetXOffset(2);
                Btn.TextOptions()->Shadow()->SetYOffset(2);
            }
            const QImage I = Btn.Render();
            for (int Y = 0; Y < I.height(); ++Y)
                for (int X = 0; X < I.width(); ++X)
                    Sheet.setPixel(K * 100 + X, Enabled * 34 + Y, I.pixel(X, Y));
        }
    EXPECT_TRUE(Sheet.scaled(Sheet.size() * 3).save(QString::fromLocal8Bit(Dir) + "/kinds.png"));
}

TEST(nvImgBtnOutline, ReleasingOnATransparentPixelIsNotAClick)
{
    InitApplication();
    ParkPointer();
    RegisterClasses<TButtonTestForm>();
    TButtonTestForm Form;
    Form.SetBounds(0, 0, 200, 100);
    auto* Btn = new TTestImageBtn(&Form);
    Btn->SetName("Pic");
    Btn->SetParent(&Form);
    Btn->SetBounds(20, 20, 38, 38);
    auto Picture = SquarePicture(38, 38, 10, 10, 30, 30);
    Btn->SetImage(Picture.get());
    Btn->OnClick = [&](TObject* S) { Form.BtnClick(S); };
    Activate(&Form);
    ClickAt(Btn, QPoint(15, 15));
    EXPECT_EQ(Form.Log, (std::vector<String>{"click:Pic"}));
    Press(Btn, QPoint(15, 15));
    EXPECT_TRUE(Btn->Down());
    MoveHeld(Btn, QPoint(3, 3)); // still inside the rectangle, outside the picture
    EXPECT_FALSE(Btn->Down());
    Release(Btn, QPoint(3, 3));
    EXPECT_FALSE(Btn->Down());
    EXPECT_EQ(Form.Log.size(), 1u);
}
