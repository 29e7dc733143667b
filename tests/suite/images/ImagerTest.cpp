// The imager: the effects and their order, the working bitmap's size, the
// draw styles on rendered pixels, transparency, change links, clipboard,
// focus and stored forms.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include <set>

#include "FormStream.h"
#include "ImagerTestSupport.h"
#include "System.h"

namespace {

// An imager whose shared machinery the tests may look at.
class TTestImager : public TnvImager {
public:
    using TnvImager::TnvImager;
    TnvImagerCore* Core() const { return FCore.get(); }
};

// The working bitmap the options should give: the picture with the effects
// applied by hand in the documented order.
using TRefStep = std::function<void(TnvBitmap&)>;

// The picture the effects start from: the picture itself, or, for a rotated
// picture, the picture stretched into a square of its larger side.
std::unique_ptr<TnvBitmap> StartingPicture(TGraphic* Pic, bool Rotated)
{
    auto R = std::make_unique<TnvBitmap>();
    if (Rotated) {
        TnvBitmap Copy;
        Copy.Assign(Pic);
        const int Side = std::max(Pic->Width(), Pic->Height());
        R->SetSize(Side, Side);
        R->Canvas()->StretchDraw(TRect(0, 0, Side, Side), &Copy);
    } else {
        R->Assign(Pic);
    }
    return R;
}

struct TOrderCase {
    const char* Name;
    std::function<void(TnvBitmapOptions*)> Set;
    std::vector<TRefStep> InOrder;
    std::vector<TRefStep> Swapped; // the same effects in another order
};

} // namespace

TEST(ImagerEffects, AppliedInTheFixedOrder)
{
    auto Pic = MakeGradient(23, 17);
    const TRGBTriple Tint = ColorToTriple(MakeColor(0x3060F0));
    const TOrderCase Cases[] = {
        {"grey then lightness",
         [](TnvBitmapOptions* O) {
             O->SetLightness(-120);
             O->SetGrayScale(true);
         },
         {[](TnvBitmap& B) { B.GrayScale(); }, [](TnvBitmap& B) { B.Lightness(-120); }},
         {[](TnvBitmap& B) { B.Lightness(-120); }, [](TnvBitmap& B) { B.GrayScale(); }}},
        {"colour then tint then saturation",
         [](TnvBitmapOptions* O) {
             O->SetSaturation(400);
             O->SetTintColor(MakeColor(0x3060F0));
             O->SetColor(MakeColor(0x80C0FF));
         },
         {[](TnvBitmap& B) { B.Colorize(0xFF, 0xC0, 0x80); },
          [Tint](TnvBitmap& B) { B.AddRGB(Tint.rgbtRed >> 1, Tint.rgbtGreen >> 1, Tint.rgbtBlue >> 1); },
          [](TnvBitmap& B) { B.Saturation(400); }},
         {[](TnvBitmap& B) { B.Saturation(400); }, [](TnvBitmap& B) { B.Colorize(0xFF, 0xC0, 0x80); },
          [Tint](TnvBitmap& B) { B.AddRGB(Tint.rgbtRed >> 1, Tint.rgbtGreen >> 1, Tint.rgbtBlue >> 1); }}},
        {"blur, emboss, invert, contrast, sharpen",
         [](TnvBitmapOptions* O) {
             O->SetSharpen(1);
             O->SetContrast(90);
             O->SetInverted(true);
             O->SetEmbossed(true);
             O->SetGaussianBlur(2);
         },
         {[](TnvBitmap& B) { B.GaussianBlur(2); }, [](TnvBitmap& B) { B.Emboss(); },
          [](TnvBitmap& B) { B.Invert(); }, [](TnvBitmap& B) { B.Contrast(90); }, [](TnvBitmap& B) { B.Sharpen(1); }},
         {[](TnvBitmap& B) { B.Sharpen(1); }, [](TnvBitmap& B) { B.Contrast(90); }, [](TnvBitmap& B) { B.Invert(); },
          [](TnvBitmap& B) { B.Emboss(); }, [](TnvBitmap& B) { B.GaussianBlur(2); }}},
        {"flips, wave, rotation",
         [](TnvBitmapOptions* O) {
             O->Rotation()->SetAngle(30);
             O->Wave()->SetRatio(3);
             O->Wave()->SetXDiv(4);
             O->Wave()->SetYDiv(5);
             O->SetVerticallyFlipped(true);
             O->SetHorizontallyFlipped(true);
         },
         {[](TnvBitmap& B) { B.Flip(true); }, [](TnvBitmap& B) { B.Flip(false); },
          [](TnvBitmap& B) { B.Wave(4, 5, 3, false); }, [](TnvBitmap& B) { B.Rotate(TPoint(-1, -1), 30); }},
         {[](TnvBitmap& B) { B.Rotate(TPoint(-1, -1), 30); }, [](TnvBitmap& B) { B.Wave(4, 5, 3, false); },
          [](TnvBitmap& B) { B.Flip(true); }, [](TnvBitmap& B) { B.Flip(false); }}},
    };
    for (const TOrderCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TTestImager Imager;
        Imager.Picture()->SetGraphic(Pic.get());
        C.Set(Imager.BitmapOptions());
        TnvBitmap* Work = Imager.WorkBitmap();

        auto Reference = [&](const std::vector<TRefStep>& Steps) {
            auto R = StartingPicture(Pic.get(), Imager.BitmapOptions()->Rotation()->Angle() != 0);
            for (const TRefStep& S : Steps)
                S(*R);
            return R;
        };
        EXPECT_TRUE(SamePixels(*Work, *Reference(C.InOrder)));
        EXPECT_FALSE(SamePixels(*Work, *Reference(C.Swapped))) << "the case must tell the orders apart";
    }
}

// The fixed order at each boundary: for every two neighbours in the order,
// the two effects alone give the picture with the first applied before the
// second, and a case where the other order gives another picture. Three
// neighbours commute for every picture (a tint or a saturation changes each
// pixel by its own value alone, and the sponge only moves pixel values
// around; the two flips are exchanges of pixels), so no result can tell
// their order; the table says so for them.
TEST(ImagerEffects, EveryNeighbourPairOfTheFixedOrder)
{
    auto Pic = MakeGradient(23, 17);
    auto Blend = MakeQuadrants(23, 17);
    TnvBitmap BlendBits;
    BlendBits.Assign(Blend.get());
    const TRGBTriple Tint = ColorToTriple(MakeColor(0x3060F0));
    using TSet = std::function<void(TnvBitmapOptions*)>;
    struct TEffect {
        const char* Name;
        TSet Set;
        TRefStep Apply;
    };
    // The sixteen effects in their fixed order.
    const TEffect Order[] = {
        {"gray scale", [](TnvBitmapOptions* O) { O->SetGrayScale(true); }, [](TnvBitmap& B) { B.GrayScale(); }},
        {"lightness", [](TnvBitmapOptions* O) { O->SetLightness(-120); }, [](TnvBitmap& B) { B.Lightness(-120); }},
        {"alpha blend",
         [&](TnvBitmapOptions* O) {
             O->AlphaBlend()->SetBitmap(&BlendBits);
             O->AlphaBlend()->SetAmount(128);
         },
         [&](TnvBitmap& B) { B.AlphaBlend(&BlendBits, 128, true); }},
        {"colour", [](TnvBitmapOptions* O) { O->SetColor(MakeColor(0x80C0FF)); },
         [](TnvBitmap& B) { B.Colorize(0xFF, 0xC0, 0x80); }},
        {"tint", [](TnvBitmapOptions* O) { O->SetTintColor(MakeColor(0x3060F0)); },
         [Tint](TnvBitmap& B) { B.AddRGB(Tint.rgbtRed >> 1, Tint.rgbtGreen >> 1, Tint.rgbtBlue >> 1); }},
        {"sponge", [](TnvBitmapOptions* O) { O->SetSponge(3); }, [](TnvBitmap& B) { B.Sponge(3); }},
        {"saturation", [](TnvBitmapOptions* O) { O->SetSaturation(400); }, [](TnvBitmap& B) { B.Saturation(400); }},
        {"gaussian blur", [](TnvBitmapOptions* O) { O->SetGaussianBlur(2); }, [](TnvBitmap& B) { B.GaussianBlur(2); }},
        {"emboss", [](TnvBitmapOptions* O) { O->SetEmbossed(true); }, [](TnvBitmap& B) { B.Emboss(); }},
        {"invert", [](TnvBitmapOptions* O) { O->SetInverted(true); }, [](TnvBitmap& B) { B.Invert(); }},
        {"contrast", [](TnvBitmapOptions* O) { O->SetContrast(250); }, [](TnvBitmap& B) { B.Contrast(250); }},
        {"sharpen", [](TnvBitmapOptions* O) { O->SetSharpen(1); }, [](TnvBitmap& B) { B.Sharpen(1); }},
        {"horizontal flip", [](TnvBitmapOptions* O) { O->SetHorizontallyFlipped(true); },
         [](TnvBitmap& B) { B.Flip(true); }},
        {"vertical flip", [](TnvBitmapOptions* O) { O->SetVerticallyFlipped(true); },
         [](TnvBitmap& B) { B.Flip(false); }},
        {"wave",
         [](TnvBitmapOptions* O) {
             O->Wave()->SetRatio(3);
             O->Wave()->SetXDiv(4);
             O->Wave()->SetYDiv(5);
         },
         [](TnvBitmap& B) { B.Wave(4, 5, 3, false); }},
        {"rotation", [](TnvBitmapOptions* O) { O->Rotation()->SetAngle(30); },
         [](TnvBitmap& B) { B.Rotate(TPoint(-1, -1), 30); }},
    };
    const std::set<String> Commuting = {"tint / sponge", "sponge / saturation", "horizontal flip / vertical flip"};
    const uint32_t Seed = 20240601;
    for (size_t I = 0; I + 1 < std::size(Order); ++I) {
        const TEffect& First = Order[I];
        const TEffect& Second = Order[I + 1];
        const String Boundary = String(First.Name) + " / " + Second.Name;
        SCOPED_TRACE(Boundary);
        TTestImager Imager;
        Imager.Picture()->SetGraphic(Pic.get());
        TnvBitmapOptions* O = Imager.BitmapOptions();
        // Set in the reverse order, applied once.
        O->BeginUpdate();
        Second.Set(O);
        First.Set(O);
        RandSeed = Seed;
        O->EndUpdate();

        auto Reference = [&](const TRefStep& A, const TRefStep& B) {
            auto R = StartingPicture(Pic.get(), O->Rotation()->Angle() != 0);
            RandSeed = Seed;
            A(*R);
            B(*R);
            return R;
        };
        const auto InOrder = Reference(First.Apply, Second.Apply);
        const auto Swapped = Reference(Second.Apply, First.Apply);
        EXPECT_TRUE(SamePixels(*Imager.WorkBitmap(), *InOrder));
        if (Commuting.count(Boundary))
            EXPECT_TRUE(SamePixels(*InOrder, *Swapped)) << "listed as commuting";
        else
            EXPECT_FALSE(SamePixels(*InOrder, *Swapped)) << "the case must tell the two orders apart";
    }
}

TEST(ImagerEffects, AlphaBlendComesAfterLightnessAndStretchesItsBitmap)
{
    auto Pic = MakeGradient(20, 12);
    auto Blend = MakeQuadrants(10, 6);
    TTestImager Imager;
    Imager.Picture()->SetGraphic(Pic.get());
    TnvBitmap BlendBits;
    BlendBits.Assign(Blend.get());
    Imager.BitmapOptions()->AlphaBlend()->SetBitmap(&BlendBits);
    Imager.BitmapOptions()->AlphaBlend()->SetAmount(128);
    Imager.BitmapOptions()->SetLightness(60);

    TnvBitmap Ref;
    Ref.Assign(Pic.get());
    Ref.Lightness(60);
    Ref.AlphaBlend(&BlendBits, 128, true);
    EXPECT_TRUE(SamePixels(*Imager.WorkBitmap(), Ref));

    // A transparent blend bitmap leaves the picture alone under its
    // top-left colour (red, the top-left quadrant).
    Imager.BitmapOptions()->AlphaBlend()->SetTransparent(true);
    TnvBitmap Plain;
    Plain.Assign(Pic.get());
    Plain.Lightness(60);
    EXPECT_EQ(BitmapPixel(*Imager.WorkBitmap(), 2, 2), BitmapPixel(Plain, 2, 2));
    EXPECT_NE(BitmapPixel(*Imager.WorkBitmap(), 15, 8), BitmapPixel(Plain, 15, 8));
}

TEST(ImagerEffects, EveryApplyStartsFromThePicture)
{
    auto Pic = MakeGradient(16, 16);
    TTestImager Imager;
    Imager.Picture()->SetGraphic(Pic.get());
    TnvBitmap Original;
    Original.Assign(Pic.get());
    TnvBitmapOptions* O = Imager.BitmapOptions();

    // Effects that undo each other when applied twice must not be applied
    // on top of the previous result.
    O->SetInverted(true);
    O->SetLightness(40);
    O->SetLightness(0);
    O->SetInverted(false);
    EXPECT_TRUE(SamePixels(*Imager.WorkBitmap(), Original));
    O->SetSponge(3);
    O->SetSponge(0);
    EXPECT_TRUE(SamePixels(*Imager.WorkBitmap(), Original));

    // Saturation 0 is a setting (grey); only -1 is off.
    O->SetSaturation(0);
    TnvBitmap Grey;
    Grey.Assign(Pic.get());
    Grey.GrayScale();
    EXPECT_TRUE(SamePixels(*Imager.WorkBitmap(), Grey));
    O->SetSaturation(-1);
    EXPECT_TRUE(SamePixels(*Imager.WorkBitmap(), Original));

    // A white tint adds 127 to each channel.
    auto Black = MakePicture(4, 4, [](int, int) { return clBlack; });
    Imager.Picture()->SetGraphic(Black.get());
    O->SetTintColor(clWhite);
    EXPECT_EQ(BitmapPixel(*Imager.WorkBitmap(), 1, 1), MakeColor(0x7F7F7F));
}

TEST(ImagerEffects, BeginUpdateAppliesOnceAtTheEnd)
{
    auto Pic = MakeGradient(12, 12);
    TTestImager Imager;
    Imager.Picture()->SetGraphic(Pic.get());
    TnvChangeLink Link;
    int Changes = 0;
    TObject* Sender = nullptr;
    Link.OnChange = [&](TObject* S) {
        ++Changes;
        Sender = S;
    };
    Imager.RegisterChanges(&Link);
    const uint64_t Applied = Imager.BitmapOptions()->ApplyCount();
    Imager.BitmapOptions()->BeginUpdate();
    Imager.BitmapOptions()->SetInverted(true);
    Imager.BitmapOptions()->SetContrast(30);
    Imager.BitmapOptions()->SetGrayScale(true);
    EXPECT_EQ(Changes, 0);
    Imager.BitmapOptions()->EndUpdate();
    EXPECT_EQ(Imager.BitmapOptions()->ApplyCount(), Applied + 1);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Sender, Imager.WorkBitmap()) << "watchers get the working bitmap";

    // A picture change tells the watchers too; an unregistered link hears
    // nothing more.
    auto Other = MakeQuadrants(8, 8);
    Imager.Picture()->SetGraphic(Other.get());
    EXPECT_GE(Changes, 2);
    Imager.UnregisterChanges(&Link);
    const int Before = Changes;
    Imager.BitmapOptions()->SetInverted(false);
    EXPECT_EQ(Changes, Before);
}

// ---------------------------------------------------------------- working bitmap size

TEST(ImagerWorkBitmap, SizeFollowsPreProcessStyleAndRotation)
{
    struct TCase {
        bool PreProcess;
        TnvImagerDrawStyle Style;
        int Angle;
        int W, H;
    };
    // Picture 200 x 100 on a 150 x 80 imager.
    const TCase Cases[] = {
        {true, TnvImagerDrawStyle::dsNormal, 0, 200, 100},
        {true, dsStretch, 0, 200, 100},
        {true, dsTile, 0, 200, 100},
        {true, dsStretch, 90, 200, 200},
        {false, TnvImagerDrawStyle::dsNormal, 0, 200, 100},
        {false, dsCenter, 0, 200, 100},
        {false, dsCenter, 90, 200, 200},
        {false, dsStretch, 0, 150, 80},
        {false, dsTile, 0, 150, 80},
        {false, dsProportional, 0, 150, 80},
        {false, dsProportionalCenter, 45, 150, 80},
    };
    auto Pic = MakeQuadrants(200, 100);
    for (const TCase& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.PreProcess << " " << int(C.Style) << " " << C.Angle);
        TTestImager Imager;
        Imager.SetBounds(0, 0, 150, 80);
        Imager.SetPreProcess(C.PreProcess);
        Imager.SetDrawStyle(C.Style);
        Imager.BitmapOptions()->Rotation()->SetAngle(C.Angle);
        Imager.Picture()->SetGraphic(Pic.get());
        EXPECT_EQ(Imager.WorkBitmap()->Width(), C.W);
        EXPECT_EQ(Imager.WorkBitmap()->Height(), C.H);
        // The angle set after the picture gives the same size.
        TTestImager Late;
        Late.SetBounds(0, 0, 150, 80);
        Late.SetPreProcess(C.PreProcess);
        Late.SetDrawStyle(C.Style);
        Late.Picture()->SetGraphic(Pic.get());
        Late.BitmapOptions()->Rotation()->SetAngle(C.Angle);
        EXPECT_EQ(Late.WorkBitmap()->Width(), C.W);
        EXPECT_EQ(Late.WorkBitmap()->Height(), C.H);
        EXPECT_TRUE(SamePixels(*Late.WorkBitmap(), *Imager.WorkBitmap()));
    }
}

TEST(ImagerWorkBitmap, ResizingTheControlRebuildsItAtControlSize)
{
    auto Pic = MakeQuadrants(20, 10);
    TTestImager Imager;
    Imager.SetPreProcess(false);
    Imager.SetDrawStyle(dsStretch);
    Imager.Picture()->SetGraphic(Pic.get());
    Imager.SetBounds(0, 0, 40, 30);
    ASSERT_EQ(Imager.WorkBitmap()->Width(), 40);
    ASSERT_EQ(Imager.WorkBitmap()->Height(), 30);
    // The picture is scaled into it before the effects.
    EXPECT_EQ(BitmapPixel(*Imager.WorkBitmap(), 1, 1), clRed);
    EXPECT_EQ(BitmapPixel(*Imager.WorkBitmap(), 38, 28), clYellow);
    Imager.BitmapOptions()->SetInverted(true);
    EXPECT_EQ(BitmapPixel(*Imager.WorkBitmap(), 38, 28), clBlue);

    // Emptying the picture empties the working bitmap.
    Imager.Picture()->SetGraphic(nullptr);
    EXPECT_TRUE(Imager.WorkBitmap()->Empty());
}

TEST(ImagerWorkBitmap, TileWithoutPreProcessRepeatsThePicture)
{
    auto Pic = MakeQuadrants(10, 10);
    TTestImager Imager;
    Imager.SetPreProcess(false);
    Imager.SetDrawStyle(dsTile);
    Imager.SetBounds(0, 0, 25, 25);
    Imager.Picture()->SetGraphic(Pic.get());
    const TnvBitmap& W = *Imager.WorkBitmap();
    EXPECT_EQ(BitmapPixel(W, 2, 2), clRed);
    EXPECT_EQ(BitmapPixel(W, 12, 12), clRed);
    EXPECT_EQ(BitmapPixel(W, 17, 2), clLime);
    EXPECT_EQ(BitmapPixel(W, 22, 24), clRed);
}

TEST(ImagerWorkBitmap, AutoSizeTakesThePictureSizeUnlessAligned)
{
    auto Form = MakeForm(200, 200);
    auto* A = new TnvImager(Form.get());
    A->SetParent(Form.get());
    A->SetAutoSize(true);
    auto Pic = MakeGradient(37, 21);
    A->Picture()->SetGraphic(Pic.get());
    EXPECT_EQ(A->Width(), 37);
    EXPECT_EQ(A->Height(), 21);

    auto* B = new TnvImager(Form.get());
    B->SetParent(Form.get());
    B->SetAlign(alTop);
    const int H = B->Height();
    B->SetAutoSize(true);
    B->Picture()->SetGraphic(Pic.get());
    EXPECT_EQ(B->Height(), H);
    EXPECT_EQ(B->Width(), 200);
}

// ---------------------------------------------------------------- draw styles on pixels

namespace {

struct TStyleShot {
    std::unique_ptr<TForm> Form;
    TnvImager* Imager;
    QImage Shot;
};

// A 60 x 40 imager at (10, 10) on a fuchsia 100 x 80 form, showing a 20 x 10
// quadrant picture.
TStyleShot ShootStyle(TnvImagerDrawStyle Style, bool PreProcess, bool Smooth = false)
{
    TStyleShot S;
    S.Form = MakeForm(100, 80);
    S.Imager = new TnvImager(S.Form.get());
    S.Imager->SetParent(S.Form.get());
    S.Imager->SetBounds(10, 10, 60, 40);
    S.Imager->SetDrawStyle(Style);
    S.Imager->SetPreProcess(PreProcess);
    S.Imager->SetSmoothStretching(Smooth);
    auto Pic = MakeQuadrants(20, 10);
    S.Imager->Picture()->SetGraphic(Pic.get());
    S.Shot = Shoot(*S.Form);
    return S;
}

struct TProbe {
    int X, Y; // in imager coordinates
    TColor Color;
};

} // namespace

TEST(ImagerPaint, EveryDrawStylePlacesThePicture)
{
    struct TCase {
        const char* Name;
        TnvImagerDrawStyle Style;
        bool PreProcess;
        std::vector<TProbe> Probes;
    };
    const TColor Back = clFuchsia;
    const TCase Cases[] = {
        {"normal", TnvImagerDrawStyle::dsNormal, true,
         {{0, 0, clRed}, {19, 0, clLime}, {0, 9, clBlue}, {19, 9, clYellow}, {20, 0, Back}, {0, 10, Back}}},
        // x = 30 - 10 = 20, y = 20 - 5 = 15.
        {"center", dsCenter, true,
         {{19, 15, Back}, {20, 15, clRed}, {39, 24, clYellow}, {40, 24, Back}, {20, 14, Back}, {20, 25, Back}}},
        // Each picture pixel covers 3 x 4 control pixels.
        {"stretch", dsStretch, true,
         {{0, 0, clRed}, {29, 19, clRed}, {30, 19, clLime}, {29, 20, clBlue}, {59, 39, clYellow}}},
        {"tile", dsTile, true,
         {{0, 0, clRed}, {10, 0, clLime}, {20, 0, clRed}, {45, 15, clBlue}, {55, 35, clYellow}, {59, 39, clYellow}}},
        // 20 x 10 fitted into 60 x 40: 60 x 30 at the top.
        {"proportional", dsProportional, true,
         {{0, 0, clRed}, {59, 29, clYellow}, {29, 14, clRed}, {30, 15, clYellow}, {30, 30, Back}, {0, 39, Back}}},
        // ... centred: from y = 5 to 35.
        {"proportional centred", dsProportionalCenter, true,
         {{0, 4, Back}, {0, 5, clRed}, {59, 34, clYellow}, {59, 35, Back}}},
        // Without PreProcess the working bitmap already has the control's
        // size: proportional styles fill the control.
        {"stretch at control size", dsStretch, false, {{0, 0, clRed}, {30, 20, clYellow}, {59, 39, clYellow}}},
        {"proportional at control size", dsProportional, false, {{0, 39, clBlue}, {59, 39, clYellow}}},
        {"tile at control size", dsTile, false, {{10, 0, clLime}, {45, 15, clBlue}}},
        {"center without pre-processing", dsCenter, false, {{19, 15, Back}, {20, 15, clRed}, {39, 24, clYellow}}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TStyleShot S = ShootStyle(C.Style, C.PreProcess);
        for (const TProbe& P : C.Probes)
            EXPECT_EQ(ShotPixel(S.Shot, 10 + P.X, 10 + P.Y), P.Color)
                << "at " << P.X << ", " << P.Y;
        // Nothing outside the control.
        EXPECT_EQ(ShotPixel(S.Shot, 75, 60), Back);
    }
}

TEST(ImagerPaint, EmptyImagerShowsADashedFrameOnlyWhenDesigning)
{
    auto Form = MakeForm(60, 40);
    auto* Imager = new TnvImager(Form.get());
    Imager->SetParent(Form.get());
    Imager->SetBounds(5, 5, 40, 30);
    QImage Shot = Shoot(*Form);
    EXPECT_EQ(ShotPixel(Shot, 5, 5), clFuchsia);
    EXPECT_EQ(ShotPixel(Shot, 20, 20), clFuchsia);
    Form->SetDesigning(true, false);
    Imager->Invalidate();
    Shot = Shoot(*Form);
    EXPECT_EQ(ShotPixel(Shot, 5, 5), clBlack);
    EXPECT_EQ(ShotPixel(Shot, 20, 20), clWhite);
    EXPECT_EQ(ShotPixel(Shot, 46, 20), clFuchsia);
}

TEST(ImagerPaint, SmoothStretchingBlendsNeighbours)
{
    TStyleShot Plain = ShootStyle(dsStretch, true, false);
    TStyleShot Smooth = ShootStyle(dsStretch, true, true);
    // Where red meets lime the bilinear picture has both channels.
    const TColor P = ShotPixel(Plain.Shot, 10 + 30, 10 + 2);
    const TColor S = ShotPixel(Smooth.Shot, 10 + 30, 10 + 2);
    EXPECT_EQ(P, clLime);
    const uint32_t V = static_cast<uint32_t>(S);
    EXPECT_GT(V & 0xFF, 0u);
    EXPECT_GT((V >> 8) & 0xFF, 0u);
    EXPECT_LT(V & 0xFF, 255u);
}

TEST(ImagerPaint, TransparentLeavesOutTheTopLeftColour)
{
    auto Form = MakeForm(60, 40, clAqua);
    auto* Imager = new TnvImager(Form.get());
    Imager->SetParent(Form.get());
    Imager->SetBounds(0, 0, 40, 20);
    auto Pic = MakePicture(20, 10, [](int X, int Y) { return X >= 5 && X < 15 && Y >= 3 && Y < 7 ? clNavy : clWhite; });
    Imager->Picture()->SetGraphic(Pic.get());
    Imager->SetTransparent(true);
    for (TnvImagerDrawStyle Style : {TnvImagerDrawStyle::dsNormal, dsStretch}) {
        SCOPED_TRACE(int(Style));
        Imager->SetDrawStyle(Style);
        const QImage Shot = Shoot(*Form);
        EXPECT_EQ(ShotPixel(Shot, 1, 1), clAqua);
        const int K = Style == dsStretch ? 2 : 1;
        EXPECT_EQ(ShotPixel(Shot, 6 * K, 4 * K), clNavy);
        EXPECT_EQ(ShotPixel(Shot, 17 * K, 8 * K), clAqua);
    }
    // A picture given later is drawn with its own transparency: an opaque
    // one opaque, a transparent one transparent. Setting Transparent again
    // makes the picture on show transparent.
    Imager->SetDrawStyle(TnvImagerDrawStyle::dsNormal);
    struct TCase {
        const char* Name;
        bool PictureTransparent, SetAgain;
        TColor AtWhite;
    };
    const TCase Cases[] = {
        {"an opaque picture", false, false, clWhite},
        {"a transparent picture", true, false, clAqua},
        {"an opaque picture, Transparent set again", false, true, clAqua},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        auto Other = MakePicture(20, 10, [](int X, int) { return X < 10 ? clWhite : clMaroon; });
        Other->SetTransparent(C.PictureTransparent);
        Imager->Picture()->SetGraphic(Other.get());
        EXPECT_TRUE(Imager->Transparent());
        if (C.SetAgain)
            Imager->SetTransparent(true);
        const QImage Shot = Shoot(*Form);
        EXPECT_EQ(ShotPixel(Shot, 3, 3), C.AtWhite);
        EXPECT_EQ(ShotPixel(Shot, 13, 3), clMaroon);
    }
}

TEST(ImagerPaint, EffectsShowOnScreenAndScaledCopiesAreKept)
{
    auto Form = MakeForm(80, 60);
    auto* Imager = new TTestImager(Form.get());
    Imager->SetParent(Form.get());
    Imager->SetBounds(0, 0, 80, 60);
    Imager->SetDrawStyle(dsStretch);
    auto Pic = MakeQuadrants(20, 10);
    Imager->Picture()->SetGraphic(Pic.get());
    Imager->BitmapOptions()->SetInverted(true);
    QImage Shot = Shoot(*Form);
    EXPECT_EQ(ShotPixel(Shot, 5, 5), clAqua); // inverted red
    EXPECT_EQ(ShotPixel(Shot, 75, 55), clBlue); // inverted yellow

    TnvBitmap* Scaled = Imager->Core()->ScaledWork(80, 60);
    Form->Repaint();
    EXPECT_EQ(Imager->Core()->ScaledWork(80, 60), Scaled) << "a repaint scales nothing again";
    Imager->BitmapOptions()->SetInverted(false);
    Shot = Shoot(*Form);
    EXPECT_EQ(ShotPixel(Shot, 5, 5), clRed);
}

// ---------------------------------------------------------------- clipboard and keys

TEST(ImagerClipboard, CutPutsTheProcessedPictureOnTheClipboardAndEmpties)
{
    QClipboard* Clip = QGuiApplication::clipboard();
    ASSERT_NE(Clip, nullptr);
    TTestImager Imager;
    auto Pic = MakeQuadrants(8, 6);
    Imager.Picture()->SetGraphic(Pic.get());
    Imager.BitmapOptions()->SetInverted(true);
    char Key = 24; // Ctrl+X
    Imager.HandleKeyPress(Key);
    EXPECT_TRUE(Imager.IsPictureEmpty());
    EXPECT_TRUE(Imager.WorkBitmap()->Empty());
    const QImage Image = Clip->image();
    ASSERT_EQ(Image.size(), QSize(8, 6));
    EXPECT_EQ(ShotPixel(Image, 0, 0), clAqua);

    // Ctrl+V takes it back as the picture (the effects apply again).
    Key = 22;
    Imager.HandleKeyPress(Key);
    ASSERT_FALSE(Imager.IsPictureEmpty());
    EXPECT_EQ(BitmapPixel(*Imager.WorkBitmap(), 0, 0), clRed);
    // Shift+Insert pastes too, after OnKeyDown saw the key.
    Word Seen = 0;
    Imager.OnKeyDown = [&](TObject*, Word& K, TShiftState) { Seen = K; };
    Imager.Picture()->SetGraphic(nullptr);
    Word Insert = VK_INSERT;
    Imager.HandleKeyDown(Insert, ssShift);
    EXPECT_EQ(Seen, VK_INSERT);
    EXPECT_FALSE(Imager.IsPictureEmpty());
}

TEST(ImagerFocus, CompanionTakesTheFocusAndSwallowsEnterErrors)
{
    auto Form = MakeForm(100, 80);
    auto* Imager = new TnvImager(Form.get());
    Imager->SetParent(Form.get());
    EXPECT_EQ(Imager->FocusControl(), nullptr);
    Imager->SetTabStop(true);
    ASSERT_NE(Imager->FocusControl(), nullptr);
    EXPECT_TRUE(Imager->FocusControl()->TabStop());
    EXPECT_EQ(Imager->FocusControl()->Parent(), Form.get());
    EXPECT_EQ(Imager->FocusControl()->Width(), 0);

    int Entered = 0;
    Imager->OnEnter = [&](TObject*) {
        ++Entered;
        throw Exception("handler failure");
    };
    Imager->HandleEnter();
    EXPECT_EQ(Entered, 1);
    EXPECT_TRUE(Imager->Focused());
    Imager->HandleExit();
    EXPECT_FALSE(Imager->Focused());

    // Focusing the imager focuses its companion, which tells the imager.
    Imager->OnEnter = nullptr;
    Form->Show();
    Imager->FocusImager();
    QCoreApplication::processEvents();
    EXPECT_TRUE(Imager->FocusControl()->Focused());
    EXPECT_TRUE(Imager->Focused());
    int Presses = 0;
    Imager->OnKeyPress = [&](TObject* Sender, char&) {
        EXPECT_EQ(Sender, Imager);
        ++Presses;
    };
    Imager->FocusControl()->Perform(WM_CHAR, 'a');
    EXPECT_EQ(Presses, 1) << "the companion's keys reach the imager";

    Imager->SetTabStop(false);
    EXPECT_EQ(Imager->FocusControl(), nullptr);
    Imager->SetFocusable(true);
    EXPECT_NE(Imager->FocusControl(), nullptr);
    Imager->SetFocusable(false);
    EXPECT_EQ(Imager->FocusControl(), nullptr);
}

// ---------------------------------------------------------------- stored forms

TEST(ImagerForm, PublishedPropertiesReadAndWriteBack)
{
    auto Pic = MakeGradient(12, 8);
    TPicture P;
    P.SetGraphic(Pic.get());
    auto Owner = std::make_unique<TForm>();
    auto* Imager = new TnvImager(Owner.get());
    Imager->SetName("nvImager1");
    Imager->SetParent(Owner.get());
    Imager->SetPicture(&P);
    Imager->SetDrawStyle(dsStretch);
    Imager->BitmapOptions()->SetLightness(50);
    Imager->BitmapOptions()->Rotation()->SetAngle(15);
    Imager->BitmapOptions()->Wave()->SetRatio(4);
    Imager->BitmapOptions()->AlphaBlend()->SetAmount(77);
    Imager->BitmapOptions()->SetColor(clNavy);
    const String Text = ComponentToText(Imager);
    for (const char* Line : {"DrawStyle = dsStretch", "BitmapOptions.Lightness = 50", "BitmapOptions.Rotation.Angle = 15",
                             "BitmapOptions.Wave.Ratio = 4", "BitmapOptions.AlphaBlend.Amount = 77",
                             "BitmapOptions.Color = clNavy", "Picture.Data"})
        EXPECT_NE(Text.find(Line), String::npos) << Line << "\n" << Text;
    EXPECT_EQ(Text.find("Saturation"), String::npos) << "defaults are not stored";
    EXPECT_EQ(Text.find("CenterX"), String::npos) << "defaults are not stored";

    auto Read = std::unique_ptr<TComponent>(ReadComponentFromText(Text, nullptr, nullptr));
    auto* R = dynamic_cast<TnvImager*>(Read.get());
    ASSERT_NE(R, nullptr);
    EXPECT_EQ(R->DrawStyle(), dsStretch);
    EXPECT_EQ(R->BitmapOptions()->Lightness(), 50);
    EXPECT_EQ(R->BitmapOptions()->Rotation()->Angle(), 15);
    EXPECT_EQ(R->BitmapOptions()->Rotation()->CenterX(), -1);
    EXPECT_EQ(R->BitmapOptions()->Saturation(), -1);
    EXPECT_EQ(R->BitmapOptions()->AlphaBlend()->Amount(), 77);
    // Loading applied the effects once, at the end.
    EXPECT_TRUE(SamePixels(*R->WorkBitmap(), *Imager->WorkBitmap()));
}

TEST(ImagerForm, BadValuesNameThePropertyAndCreateNothing)
{
    const String Text = "object nvImager1: TnvImager\n"
                        "  DrawStyle = dsStrech\n"
                        "end\n";
    try {
        std::unique_ptr<TComponent> C(ReadComponentFromText(Text, nullptr, nullptr, {"imager.nvf", ""}));
        FAIL() << "no error";
    } catch (const Exception& E) {
        EXPECT_NE(E.Message().find("DrawStyle"), String::npos) << E.Message();
        EXPECT_NE(E.Message().find("dsStrech"), String::npos) << E.Message();
    }
    // A blend amount beyond a byte is refused, not wrapped.
    const String Big = "object nvImager1: TnvImager\n"
                       "  BitmapOptions.AlphaBlend.Amount = 300\n"
                       "end\n";
    try {
        std::unique_ptr<TComponent> C(ReadComponentFromText(Big, nullptr, nullptr, {"imager.nvf", ""}));
        FAIL() << "no error";
    } catch (const Exception& E) {
        EXPECT_NE(E.Message().find("imager.nvf(2)"), String::npos) << E.Message();
        EXPECT_NE(E.Message().find("0 .. 255"), String::npos) << E.Message();
    }
    EXPECT_NE(FindClass("TnvDBImager"), nullptr);
}
