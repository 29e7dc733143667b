// A gallery of the imager's effects on one picture, rendered through forms.
// With ZEN_IMAGER_DUMP set to a folder, the gallery is written there as
// imager-gallery.png for a look by eye.
#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>

#include "ImagerTestSupport.h"

namespace {

// Rings and stripes: edges in every direction, smooth areas, all colours.
std::unique_ptr<TBitmap> Rings(int W, int H)
{
    return MakePicture(W, H, [W, H](int X, int Y) {
        const double DX = X - W / 2.0, DY = Y - H / 2.0;
        const double D = std::sqrt(DX * DX + DY * DY);
        const int Ring = int(D / 9) % 2;
        const int R = ClampByte(int(255 * X / W));
        const int G = ClampByte(int(255 * Y / H));
        const int B = Ring ? 220 : 40;
        const bool Stripe = (X / 6) % 5 == 0 && Y > H * 2 / 3;
        return Stripe ? clBlack : MakeColor(uint32_t(R) | uint32_t(G) << 8 | uint32_t(B) << 16);
    });
}

struct TGalleryCase {
    const char* Name;
    std::function<void(TnvImager*)> Set;
};

} // namespace

TEST(ImagerGallery, EffectsRenderThroughTheControl)
{
    auto Pic = Rings(96, 72);
    auto Blend = MakeQuadrants(40, 40);
    TnvBitmap BlendBits;
    BlendBits.Assign(Blend.get());
    const TGalleryCase Cases[] = {
        {"original", [](TnvImager*) {}},
        {"grey scale", [](TnvImager* I) { I->BitmapOptions()->SetGrayScale(true); }},
        {"lightness 80, contrast 60",
         [](TnvImager* I) {
             I->BitmapOptions()->SetLightness(80);
             I->BitmapOptions()->SetContrast(60);
         }},
        {"emboss", [](TnvImager* I) { I->BitmapOptions()->SetEmbossed(true); }},
        {"wave",
         [](TnvImager* I) {
             I->BitmapOptions()->Wave()->SetXDiv(6);
             I->BitmapOptions()->Wave()->SetYDiv(8);
             I->BitmapOptions()->Wave()->SetRatio(5);
         }},
        {"rotation 30", [](TnvImager* I) { I->BitmapOptions()->Rotation()->SetAngle(30); }},
        {"alpha blend 128",
         [&BlendBits](TnvImager* I) {
             I->BitmapOptions()->AlphaBlend()->SetBitmap(&BlendBits);
             I->BitmapOptions()->AlphaBlend()->SetAmount(128);
         }},
        {"sponge 4, blur 2",
         [](TnvImager* I) {
             I->BitmapOptions()->SetSponge(4);
             I->BitmapOptions()->SetGaussianBlur(2);
         }},
        {"colour navy, inverted",
         [](TnvImager* I) {
             I->BitmapOptions()->SetColor(clNavy);
             I->BitmapOptions()->SetInverted(true);
         }},
    };
    const int CW = 192, CH = 144, Cols = 3;
    const int Rows = (int(std::size(Cases)) + Cols - 1) / Cols;
    auto Form = MakeForm(CW * Cols, CH * Rows, clBtnFace);
    std::vector<TnvImager*> Imagers;
    for (size_t K = 0; K < std::size(Cases); ++K) {
        auto* I = new TnvImager(Form.get());
        I->SetParent(Form.get());
        I->SetBounds(int(K % Cols) * CW + 4, int(K / Cols) * CH + 4, CW - 8, CH - 8);
        I->SetDrawStyle(dsStretch);
        I->SetSmoothStretching(true);
        I->Picture()->SetGraphic(Pic.get());
        Cases[K].Set(I);
        Imagers.push_back(I);
    }
    const QImage Shot = Shoot(*Form);
    // Every cell is covered by its picture and the cells differ.
    for (size_t K = 0; K < std::size(Cases); ++K) {
        SCOPED_TRACE(Cases[K].Name);
        const int X0 = int(K % Cols) * CW, Y0 = int(K / Cols) * CH;
        EXPECT_EQ(ShotPixel(Shot, X0 + 1, Y0 + 1), ColorToRGB(clBtnFace)) << "the margin stays";
        int Differs = 0;
        for (int Y = 10; Y < CH - 10; Y += 7)
            for (int X = 10; X < CW - 10; X += 7)
                Differs += Shot.pixel(X0 + X, Y0 + Y) != Shot.pixel(X + 0, Y + 0);
        if (K != 0) {
            EXPECT_GT(Differs, 20) << "the effect shows";
        }
    }
    if (const QByteArray Dir = qgetenv("ZEN_IMAGER_DUMP"); !Dir.isEmpty())
        Shot.save(QString::fromLocal8Bit(Dir) + "/imager-gallery.png");
}

TEST(ImagerGallery, DrawStylesSideBySide)
{
    auto Pic = Rings(60, 40);
    const TnvImagerDrawStyle Styles[] = {TnvImagerDrawStyle::dsNormal, dsCenter, dsStretch,
                                         dsTile, dsProportional, dsProportionalCenter};
    const int CW = 160, CH = 130;
    auto Form = MakeForm(CW * 3, CH * 2, clBtnFace);
    for (int K = 0; K < 6; ++K) {
        auto* I = new TnvImager(Form.get());
        I->SetParent(Form.get());
        I->SetBounds((K % 3) * CW + 5, (K / 3) * CH + 5, CW - 10, CH - 10);
        I->SetDrawStyle(Styles[K]);
        I->SetTransparent(K == 1);
        I->Picture()->SetGraphic(Pic.get());
    }
    const QImage Shot = Shoot(*Form);
    // Every style covers the imager's centre except the normal one, whose
    // picture stays in the top-left corner.
    for (int K = 0; K < 6; ++K) {
        SCOPED_TRACE(K);
        const int CX = (K % 3) * CW + CW / 2, CY = (K / 3) * CH + CH / 2;
        if (K == 0)
            EXPECT_EQ(ShotPixel(Shot, CX, CY), ColorToRGB(clBtnFace));
        else
            EXPECT_NE(ShotPixel(Shot, CX, CY), ColorToRGB(clBtnFace));
    }
    if (const QByteArray Dir = qgetenv("ZEN_IMAGER_DUMP"); !Dir.isEmpty())
        Shot.save(QString::fromLocal8Bit(Dir) + "/imager-styles.png");
}
