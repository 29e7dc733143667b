// The suite bitmap: store layout and size changes, change announcement,
// loading and giving away (framework bitmaps, BMP streams, stored forms, the
// memory image), and copies between bitmaps.
#include <gtest/gtest.h>

#include <memory>

#include "FormStream.h"
#include "Streams.h"
#include "nvBitmap.h"
#include "nvBitmapReference.h"

using nvref::Pic;

// A component with a bitmap property, as image buttons have.
class TnvBitmapHolder : public TNonVisualComponent {
    Q_OBJECT
    Q_PROPERTY(TnvBitmap* Image READ Image WRITE SetImage)
public:
    explicit TnvBitmapHolder(TComponent* AOwner = nullptr) : TNonVisualComponent(AOwner) {}
    TnvBitmap* Image() const { return FImage.get(); }
    void SetImage(TnvBitmap* Value) { FImage->Assign(Value); }

private:
    std::unique_ptr<TnvBitmap> FImage = std::make_unique<TnvBitmap>();
};

namespace {

// Counts the announcements a bitmap makes through a change link and OnChange.
struct TChangeCounter {
    TnvChangeLink Link;
    int Links = 0;
    int Events = 0;
    TObject* Sender = nullptr;
    explicit TChangeCounter(TnvBitmap& B)
    {
        Link.OnChange = [this](TObject* S) {
            ++Links;
            Sender = S;
        };
        B.RegisterChanges(&Link);
        B.OnChange = [this](TObject*) { ++Events; };
    }
};

// A framework bitmap with the picture's pixels (32-bit), then converted to
// the pixel format.
std::unique_ptr<TBitmap> FrameworkBitmap(const Pic& P, TPixelFormat Format)
{
    QImage I(P.W, P.H, QImage::Format_RGB32);
    for (int Y = 0; Y < P.H; ++Y)
        for (int X = 0; X < P.W; ++X) {
            const TRGBTriple& T = P.At(X, Y);
            I.setPixel(X, Y, qRgb(T.rgbtRed, T.rgbtGreen, T.rgbtBlue));
        }
    auto B = std::make_unique<TBitmap>();
    B->SetImage(I);
    B->SetPixelFormat(Format);
    return B;
}

Pic PixelsOf(TBitmap& B)
{
    const QImage I = B.ToImage32();
    Pic P(I.width(), I.height());
    for (int Y = 0; Y < P.H; ++Y)
        for (int X = 0; X < P.W; ++X) {
            const QRgb C = I.pixel(X, Y);
            P.At(X, Y) = MakeTriple(uint8_t(qRed(C)), uint8_t(qGreen(C)), uint8_t(qBlue(C)));
        }
    return P;
}

std::vector<uint8_t> Saved(TGraphic& G)
{
    TMemoryStream S;
    G.SaveToStream(S);
    return S.Bytes();
}

} // namespace

// ---------------------------------------------------------------- store

TEST(nvBitmapStore, RowLayoutFollowsTheWidth)
{
    struct Case {
        int W, H, Gap, Stride;
    } Cases[] = {{1, 1, 1, 4}, {4, 3, 0, 12}, {5, 2, 1, 16}, {6, 1, 2, 20}, {7, 3, 3, 24}, {8, 2, 0, 24}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.W << " x " << C.H);
        TnvBitmap B;
        B.SetSize(C.W, C.H);
        EXPECT_EQ(B.RowGap(), C.Gap);
        EXPECT_EQ(B.RowStride(), C.Stride);
        EXPECT_EQ(B.ImageSize(), int64_t(C.Stride) * C.H);
        ASSERT_NE(B.Rows(), nullptr);
        for (int Y = 0; Y < C.H; ++Y)
            EXPECT_EQ(reinterpret_cast<uint8_t*>(B.Rows()[Y]), B.Bits() + Y * C.Stride);
        EXPECT_EQ(B.Image().constBits(), B.Bits());
        EXPECT_EQ(B.Image().format(), QImage::Format_BGR888);
        EXPECT_EQ(B.Image().bytesPerLine(), C.Stride);
    }
}

TEST(nvBitmapStore, NewStoreIsWhiteAndAnnouncedOnce)
{
    TnvBitmap B;
    TChangeCounter Count(B);
    EXPECT_TRUE(B.Empty());
    B.SetSize(3, 2);
    EXPECT_FALSE(B.Empty());
    EXPECT_EQ(B.Width(), 3);
    EXPECT_EQ(B.Height(), 2);
    for (int Y = 0; Y < 2; ++Y)
        for (int X = 0; X < 3; ++X)
            EXPECT_EQ(B.Row(Y)[X], MakeTriple(255, 255, 255));
    EXPECT_EQ(Count.Links, 1);
    EXPECT_EQ(Count.Events, 1);
    EXPECT_EQ(Count.Sender, &B);
}

TEST(nvBitmapStore, ZeroOrNegativeSideLeavesItEmptySilently)
{
    const std::pair<int, int> Sizes[] = {{0, 10}, {10, 0}, {-1, 5}, {5, -3}};
    for (auto [W, H] : Sizes) {
        TnvBitmap B;
        B.SetSize(4, 4);
        TChangeCounter Count(B);
        B.SetSize(W, H);
        EXPECT_TRUE(B.Empty());
        EXPECT_EQ(B.Width(), 0);
        EXPECT_EQ(B.Height(), 0);
        EXPECT_EQ(B.Bits(), nullptr);
        EXPECT_EQ(B.Rows(), nullptr);
        EXPECT_EQ(Count.Links, 0);
    }
}

TEST(nvBitmapStore, OversizedPictureRaisesAndKeepsThePicture)
{
    TnvBitmap B;
    B.SetSize(2, 2);
    B.Row(1)[1] = MakeTriple(1, 2, 3);
    EXPECT_THROW(B.SetSize(40000, 1), EInvalidGraphicOperation);
    EXPECT_THROW(B.SetSize(20000, 20000), EInvalidGraphicOperation);
    ASSERT_EQ(B.Width(), 2);
    EXPECT_EQ(B.Row(1)[1], MakeTriple(1, 2, 3));
}

TEST(nvBitmapStore, WidthAndHeightChangesKeepOrDropThePixels)
{
    TnvBitmap B;
    B.SetSize(4, 3);
    B.Row(2)[3] = MakeTriple(9, 8, 7);
    const uint8_t* Before = B.Bits();
    TChangeCounter Count(B);
    B.SetWidth(4);
    B.SetHeight(3);
    B.SetDimensions(4, 3);
    EXPECT_EQ(B.Bits(), Before);
    EXPECT_EQ(B.Row(2)[3], MakeTriple(9, 8, 7));
    EXPECT_EQ(Count.Links, 0);

    B.SetHeight(5);
    EXPECT_EQ(B.Width(), 4);
    EXPECT_EQ(B.Height(), 5);
    EXPECT_EQ(B.Row(2)[3], MakeTriple(255, 255, 255));
    EXPECT_EQ(Count.Links, 1);
    B.SetWidth(1);
    EXPECT_EQ(B.Width(), 1);
    EXPECT_EQ(B.Height(), 5);
    EXPECT_EQ(Count.Links, 2);
}

TEST(nvBitmapStore, CanvasAndPixelArithmeticShareTheBytes)
{
    TnvBitmap B;
    B.SetSize(5, 3);
    B.Canvas()->Brush()->SetColor(clRed);
    B.Canvas()->FillRect(TRect(1, 0, 3, 2));
    EXPECT_EQ(B.Row(0)[1], MakeTriple(255, 0, 0));
    EXPECT_EQ(B.Row(1)[2], MakeTriple(255, 0, 0));
    EXPECT_EQ(B.Row(2)[1], MakeTriple(255, 255, 255));
    EXPECT_EQ(B.Row(0)[3], MakeTriple(255, 255, 255));
    // The gap bytes after each row are never painted.
    EXPECT_EQ(B.Bits()[15], 0);

    B.Row(2)[4] = MakeTriple(10, 20, 30);
    EXPECT_EQ(B.Canvas()->Pixels(4, 2), RGB(10, 20, 30));
    B.Invert();
    EXPECT_EQ(B.Canvas()->Pixels(4, 2), RGB(245, 235, 225));
    EXPECT_EQ(B.Canvas()->Pixels(1, 0), RGB(0, 255, 255));

    B.SetSize(0, 0);
    EXPECT_THROW(B.Canvas()->FillRect(TRect(0, 0, 1, 1)), EInvalidOperation);
}

TEST(nvBitmapStore, PixelConversions)
{
    EXPECT_EQ(ClampByte(-1), 0);
    EXPECT_EQ(ClampByte(0), 0);
    EXPECT_EQ(ClampByte(255), 255);
    EXPECT_EQ(ClampByte(256), 255);
    EXPECT_EQ(TripleToColor(MakeTriple(0x12, 0x34, 0x56)), MakeColor(0x563412));
    EXPECT_EQ(ColorToTriple(MakeColor(0x563412)), MakeTriple(0x12, 0x34, 0x56));
    EXPECT_EQ(ColorToTriple(clBtnFace), ColorToTriple(ColorToRGB(clBtnFace)));
    const TRGBTriple T = MakeTriple(1, 2, 3);
    EXPECT_EQ(T.rgbtRed, 1);
    EXPECT_EQ(T.rgbtBlue, 3);
}

// ---------------------------------------------------------------- change announcement

TEST(nvBitmapChange, LinksAreToldUntilUnregisteredAndNotWhileIgnoring)
{
    TnvBitmap B;
    TChangeCounter First(B), Second(B);
    std::vector<int> Order;
    First.Link.OnChange = [&](TObject*) { Order.push_back(1); };
    Second.Link.OnChange = [&](TObject*) { Order.push_back(2); };
    B.SetSize(2, 2);
    EXPECT_EQ(Order, (std::vector<int>{1, 2}));
    EXPECT_EQ(First.Link.Sender(), &B);

    B.SetIgnoreChange(true);
    B.SetSize(3, 3);
    EXPECT_EQ(Order.size(), 2u);
    B.SetIgnoreChange(false);

    B.UnregisterChanges(&First.Link);
    B.SetSize(4, 4);
    EXPECT_EQ(Order, (std::vector<int>{1, 2, 2}));

    // Effects and drawing announce nothing.
    B.Invert();
    B.Lightness(20);
    B.Canvas()->FillRect(TRect(0, 0, 2, 2));
    EXPECT_EQ(Order.size(), 3u);
}

TEST(nvBitmapChange, AssigningACopyAnnouncesOnce)
{
    const Pic P = nvref::RandomPic(7, 5, 1);
    TnvBitmap Src;
    nvref::ToBitmap(P, Src);
    Src.SetTransparent(true);
    Src.SetTransparentColor(clLime);
    Src.SetSmoothStretching(true);
    Src.SetRespectPalette(true);

    TnvBitmap Dest;
    Dest.SetSize(2, 2);
    TChangeCounter Count(Dest);
    Dest.Assign(&Src);
    EXPECT_EQ(Count.Links, 1);
    EXPECT_EQ(Count.Events, 1);
    EXPECT_EQ(nvref::FromBitmap(Dest), P);
    EXPECT_TRUE(Dest.Transparent());
    EXPECT_EQ(Dest.TransparentColor(), clLime);
    EXPECT_TRUE(Dest.SmoothStretching());
    EXPECT_TRUE(Dest.RespectPalette());
    EXPECT_FALSE(Dest.IgnoreChange());

    // An empty source empties the destination, again with one announcement.
    TnvBitmap Empty;
    Dest.Assign(&Empty);
    EXPECT_TRUE(Dest.Empty());
    EXPECT_EQ(Count.Links, 2);

    // Nil and an empty framework bitmap do the same.
    Dest.Assign(&Src);
    Dest.Assign(nullptr);
    EXPECT_TRUE(Dest.Empty());
    Dest.Assign(&Src);
    TBitmap EmptyFramework;
    Dest.Assign(&EmptyFramework);
    EXPECT_TRUE(Dest.Empty());
    EXPECT_EQ(Count.Links, 6);

    // Assigning a bitmap to itself changes nothing.
    Dest.Assign(&Src);
    Dest.Assign(&Dest);
    EXPECT_EQ(nvref::FromBitmap(Dest), P);
}

TEST(nvBitmapChange, UnsupportedClassesRaiseTheConversionError)
{
    TnvBitmap B;
    B.SetSize(2, 2);
    TFont Font;
    EXPECT_THROW(B.Assign(&Font), EConvertError);
    EXPECT_THROW(Font.Assign(&B), EConvertError);
    EXPECT_EQ(B.Width(), 2);
}

// ---------------------------------------------------------------- loading and giving away

TEST(nvBitmapLoad, FrameworkBitmapsOfEveryFormat)
{
    // Colours every format holds exactly: black, white, and the standard
    // 16-colour entries for the indexed ones.
    Pic P(6, 3);
    const TRGBTriple Colors[] = {MakeTriple(0, 0, 0),     MakeTriple(255, 255, 255), MakeTriple(255, 0, 0),
                                 MakeTriple(0, 128, 0),   MakeTriple(0, 0, 255),     MakeTriple(128, 128, 128)};
    for (int Y = 0; Y < 3; ++Y)
        for (int X = 0; X < 6; ++X)
            P.At(X, Y) = Colors[(X + Y) % 6];
    struct Case {
        TPixelFormat Format;
        bool Table;
    } Cases[] = {{pf4bit, true}, {pf8bit, true},   {pf15bit, false}, {pf16bit, false},
                 {pf24bit, false}, {pf32bit, false}, {pfDevice, false}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(int(C.Format));
        auto F = FrameworkBitmap(P, C.Format);
        TnvBitmap B;
        TChangeCounter Count(B);
        B.LoadFromBitmap(F.get());
        EXPECT_EQ(Count.Links, 1);
        EXPECT_EQ(nvref::FromBitmap(B), PixelsOf(*F));
        EXPECT_EQ(B.PixelFormat(), C.Format);
        EXPECT_EQ(B.HasColorTable(), C.Table);
        const std::vector<TRGBQuad> Table = F->ColorTable();
        ASSERT_EQ(B.ColorTableCount(), int(Table.size()));
        for (size_t I = 0; I < Table.size(); ++I)
            EXPECT_EQ(B.ColorTable()[I], Table[I]);
    }
    // Monochrome: black and white.
    auto Mono = FrameworkBitmap(P, pf1bit);
    TnvBitmap B;
    B.LoadFromBitmap(Mono.get());
    EXPECT_EQ(B.PixelFormat(), pf1bit);
    EXPECT_EQ(nvref::FromBitmap(B), PixelsOf(*Mono));
    EXPECT_EQ(B.ColorTableCount(), 2);
}

TEST(nvBitmapLoad, BmpStreamsKeepFormatColourTableAndPixels)
{
    // 8 bits with a colour table of 7 entries, 4 bits, 1 bit with two
    // colours that are not black and white, and the direct formats.
    auto Indexed = [](int Bits, int Entries) {
        QImage I(9, 4, QImage::Format_Indexed8);
        QList<QRgb> T;
        for (int K = 0; K < Entries; ++K)
            T.push_back(qRgb(K, (255 - 30 * K) & 255, (K * 77) % 256));
        I.setColorTable(T);
        for (int Y = 0; Y < 4; ++Y)
            for (int X = 0; X < 9; ++X)
                I.setPixel(X, Y, uint((X * 3 + Y) % Entries));
        auto B = std::make_unique<TBitmap>();
        TBmpImage Bmp;
        Bmp.Image = I;
        Bmp.BitCount = Bits;
        Bmp.ColorTable = std::vector<QRgb>(T.begin(), T.end());
        TMemoryStream S;
        WriteBmp(S, Bmp);
        S.SetPosition(0);
        B->LoadFromStream(S);
        return B;
    };
    std::vector<std::unique_ptr<TBitmap>> Sources;
    Sources.push_back(Indexed(8, 7));
    Sources.push_back(Indexed(8, 256));
    Sources.push_back(Indexed(4, 16));
    Sources.push_back(Indexed(1, 2));
    for (TPixelFormat F : {pf15bit, pf16bit, pf24bit, pf32bit})
        Sources.push_back(FrameworkBitmap(nvref::RandomPic(11, 3, 7), F));
    for (auto& Src : Sources) {
        SCOPED_TRACE(int(Src->PixelFormat()));
        const std::vector<uint8_t> File = Saved(*Src);
        TMemoryStream In(File);
        TnvBitmap B;
        B.LoadFromStream(In);
        const std::vector<uint8_t> Again = Saved(B);
        TMemoryStream Back(Again);
        TBitmap R;
        R.LoadFromStream(Back);
        EXPECT_EQ(R.PixelFormat(), Src->PixelFormat());
        EXPECT_EQ(R.ColorTable(), Src->ColorTable());
        EXPECT_EQ(PixelsOf(R), PixelsOf(*Src));
        EXPECT_EQ(Again, File);
    }
}

TEST(nvBitmapLoad, BadStreamsRaiseAndKeepThePicture)
{
    TnvBitmap B;
    B.SetSize(3, 3);
    B.Row(0)[0] = MakeTriple(1, 2, 3);
    const std::vector<std::vector<uint8_t>> Bad = {
        {'B', 'M', 1, 2, 3},
        {'X', 'Y', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const auto& Data : Bad) {
        TMemoryStream S(Data);
        try {
            B.LoadFromStream(S);
            ADD_FAILURE() << "no exception";
        } catch (const EInvalidGraphic& E) {
            EXPECT_NE(E.Message().find("Bitmap image is not valid"), std::string::npos) << E.Message();
        }
        ASSERT_EQ(B.Width(), 3);
        EXPECT_EQ(B.Row(0)[0], MakeTriple(1, 2, 3));
    }
    // A stream with nothing left gives an empty picture, and saving an empty
    // picture writes nothing.
    TMemoryStream Nothing;
    B.LoadFromStream(Nothing);
    EXPECT_TRUE(B.Empty());
    EXPECT_TRUE(Saved(B).empty());
}

TEST(nvBitmapLoad, StoredFormsHoldABmpFile)
{
    ClassOf<TnvBitmapHolder>();
    TnvBitmapHolder H;
    H.SetName("Holder");
    const Pic P = nvref::RandomPic(13, 6, 3);
    auto Src = FrameworkBitmap(nvref::RandomPic(13, 6, 3), pf24bit);
    H.Image()->Assign(Src.get());
    const String Text = ComponentToText(&H);
    const size_t Data = Text.find("Image.Data = {");
    ASSERT_NE(Data, std::string::npos) << Text;
    EXPECT_EQ(Text.find_first_not_of(" \r\n", Data + 14), Text.find("424D", Data)) << Text; // "BM"
    std::unique_ptr<TComponent> Back(ReadComponentFromText(Text, nullptr));
    auto* R = dynamic_cast<TnvBitmapHolder*>(Back.get());
    ASSERT_NE(R, nullptr);
    EXPECT_EQ(nvref::FromBitmap(*R->Image()), P);
    EXPECT_EQ(R->Image()->PixelFormat(), pf24bit);

    // An empty bitmap stores nothing.
    TnvBitmapHolder Empty;
    EXPECT_EQ(ComponentToText(&Empty).find("Image"), std::string::npos);
}

TEST(nvBitmapLoad, PicturesHoldTheSuiteBitmap)
{
    TnvBitmap B;
    nvref::ToBitmap(nvref::RandomPic(5, 4, 9), B);
    TPicture Picture;
    Picture.SetGraphic(&B);
    ASSERT_NE(dynamic_cast<TnvBitmap*>(Picture.Graphic()), nullptr);
    EXPECT_EQ(nvref::FromBitmap(*static_cast<TnvBitmap*>(Picture.Graphic())), nvref::FromBitmap(B));
    // And the other way: a picture assigned to the bitmap.
    TnvBitmap C;
    C.Assign(&Picture);
    EXPECT_EQ(nvref::FromBitmap(C), nvref::FromBitmap(B));
}

TEST(nvBitmapLoad, GivenToAFrameworkBitmap)
{
    const Pic P = nvref::RandomPic(6, 4, 11);
    TnvBitmap B;
    nvref::ToBitmap(P, B);
    B.SetTransparent(true);
    TBitmap F;
    B.AssignTo(&F);
    EXPECT_EQ(F.PixelFormat(), pf24bit);
    EXPECT_EQ(PixelsOf(F), P); // opaque, although the bitmap is transparent
    EXPECT_TRUE(F.Transparent());
    // clNone (the top-left pixel) becomes that pixel's colour.
    EXPECT_EQ(F.TransparentColor(), TripleToColor(P.At(0, 0)));
    B.SetTransparentColor(clFuchsia);
    B.AssignTo(&F);
    EXPECT_EQ(F.TransparentColor(), clFuchsia);

    // Drawn transparent, the framework bitmap leaves out what the bitmap
    // leaves out. With clNone that is the top-left pixel's colour; clNone
    // copied as a colour would leave out white instead (its low bytes).
    struct TCase {
        const char* Name;
        TColor Key;
        std::vector<bool> Kept; // of the four pixels: top-left red, white, red, blue
    };
    const TCase Cases[] = {
        {"clNone: the top-left colour", clNone, {false, true, false, true}},
        {"a colour: that colour", clBlue, {true, true, true, false}},
        {"white", clWhite, {true, false, true, true}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        nvref::Pic Four(4, 1);
        Four.At(0, 0) = ColorToTriple(clRed);
        Four.At(1, 0) = ColorToTriple(clWhite);
        Four.At(2, 0) = ColorToTriple(clRed);
        Four.At(3, 0) = ColorToTriple(clBlue);
        TnvBitmap T;
        nvref::ToBitmap(Four, T);
        T.SetTransparent(true);
        T.SetTransparentColor(C.Key);
        TBitmap G;
        T.AssignTo(&G);
        QImage Target(4, 1, QImage::Format_RGB32);
        Target.fill(qRgb(0, 128, 0));
        TCanvas Canvas(&Target);
        Canvas.Draw(0, 0, &G);
        for (int X = 0; X < 4; ++X) {
            const TRGBTriple& P = Four.At(X, 0);
            const QRgb Want = C.Kept[size_t(X)] ? qRgb(P.rgbtRed, P.rgbtGreen, P.rgbtBlue) : qRgb(0, 128, 0);
            EXPECT_EQ(Target.pixel(X, 0) & 0xFFFFFFu, Want & 0xFFFFFFu) << "pixel " << X;
        }
    }

    // From a framework bitmap: pixel format and transparency.
    auto G = FrameworkBitmap(P, pf32bit);
    G->SetTransparent(true);
    TnvBitmap C;
    C.Assign(G.get());
    EXPECT_EQ(C.PixelFormat(), pf32bit);
    EXPECT_TRUE(C.Transparent());
    EXPECT_EQ(nvref::FromBitmap(C), P);
}

TEST(nvBitmapLoad, OtherGraphicsAreDrawn)
{
    TIcon Icon;
    QImage I(4, 4, QImage::Format_ARGB32);
    I.fill(qRgba(0, 0, 255, 255));
    I.setPixel(1, 1, qRgba(0, 0, 0, 0));
    Icon.AddImage(I, 32);
    TnvBitmap B;
    TChangeCounter Count(B);
    B.Assign(&Icon);
    ASSERT_EQ(B.Width(), 4);
    EXPECT_EQ(B.Row(0)[0], MakeTriple(0, 0, 255));
    EXPECT_EQ(B.Row(1)[1], MakeTriple(255, 255, 255)); // transparent over the white bitmap
    EXPECT_EQ(Count.Links, 1);
}

TEST(nvBitmapLoad, MemoryImageReleasesAndRestoresTheStore)
{
    const Pic P = nvref::RandomPic(5, 3, 4);
    TnvBitmap B;
    nvref::ToBitmap(P, B);
    EXPECT_FALSE(B.HasMemoryImage());
    B.SaveToMemory();
    EXPECT_TRUE(B.Empty());
    EXPECT_TRUE(B.HasMemoryImage());
    TChangeCounter Count(B);
    B.RestoreFromMemory();
    EXPECT_FALSE(B.HasMemoryImage());
    EXPECT_EQ(nvref::FromBitmap(B), P);
    EXPECT_EQ(Count.Links, 1);
    B.RestoreFromMemory(); // nothing kept: nothing happens
    EXPECT_EQ(nvref::FromBitmap(B), P);

    B.SaveToMemory();
    B.FreeMemoryImage();
    EXPECT_FALSE(B.HasMemoryImage());
    B.RestoreFromMemory();
    EXPECT_TRUE(B.Empty());

    // An empty bitmap keeps no memory image.
    TnvBitmap E;
    E.SaveToMemory();
    EXPECT_FALSE(E.HasMemoryImage());
}

TEST(nvBitmapLoad, MemoryRowsMustCoverThePicture)
{
    TnvBitmap B;
    std::vector<uint8_t> Rows(16 * 2, 0x40); // 5 x 2: RowStride 16
    B.LoadFromMemory(Rows.data(), int64_t(Rows.size()), TSize(5, 2));
    ASSERT_EQ(B.Width(), 5);
    EXPECT_EQ(B.Row(1)[4], MakeTriple(0x40, 0x40, 0x40));
    EXPECT_THROW(B.LoadFromMemory(Rows.data(), 31, TSize(5, 2)), EInvalidGraphic);
    EXPECT_THROW(B.LoadFromMemory(nullptr, 32, TSize(5, 2)), EInvalidGraphic);
    EXPECT_EQ(B.Width(), 5); // kept
}

#include "nvBitmapTest.moc"
