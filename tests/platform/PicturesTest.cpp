// Pictures: bitmaps (pixel formats, scan lines, transparency, drawing, BMP
// streams), icons, JPEG images, the picture with its stored form and the
// registry of graphic classes; bad data keeps the previous picture.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <functional>
#include <memory>

#include "Canvas.h"
#include "FormStream.h"
#include "JpegCodec.h"
#include "Pictures.h"
#include "Streams.h"

// A component with a picture, as image controls have one.
class TPictureHolder : public TNonVisualComponent {
    Q_OBJECT
    Q_PROPERTY(TPicture* Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(int Tag2 READ Tag2 WRITE SetTag2)
public:
    explicit TPictureHolder(TComponent* AOwner = nullptr) : TNonVisualComponent(AOwner) {}
    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    int Tag2() const { return FTag2; }
    void SetTag2(int V) { FTag2 = V; }

private:
    std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
    int FTag2 = 0;
};

namespace {

QRgb At(TBitmap& B, int X, int Y)
{
    return B.ToImage32().pixel(X, Y) & 0xFFFFFF;
}

// A 4 x 3 pf24bit bitmap: red, green, blue, white across, rows darker down.
std::unique_ptr<TBitmap> Sample()
{
    auto B = std::make_unique<TBitmap>();
    QImage I(4, 3, QImage::Format_RGB32);
    const QRgb Row[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};
    for (int Y = 0; Y < 3; ++Y)
        for (int X = 0; X < 4; ++X)
            I.setPixel(X, Y, qRgb(qRed(Row[X]) >> Y, qGreen(Row[X]) >> Y, qBlue(Row[X]) >> Y));
    B->SetImage(I);
    B->SetPixelFormat(pf24bit);
    return B;
}

std::vector<uint8_t> Saved(TGraphic& G)
{
    TMemoryStream S;
    G.SaveToStream(S);
    return S.Bytes();
}

void Load(TGraphic& G, const std::vector<uint8_t>& D)
{
    TMemoryStream S(D);
    G.LoadFromStream(S);
}

QImage Canvas32(int W, int H, QRgb Fill)
{
    QImage I(W, H, QImage::Format_RGB32);
    I.fill(Fill);
    return I;
}

std::unique_ptr<TIcon> SampleIcon()
{
    auto Icon = std::make_unique<TIcon>();
    // 16 x 16, 8 bits: index 1 (red) with a transparent left half.
    QImage Small(16, 16, QImage::Format_Indexed8);
    Small.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 0)});
    Small.fill(1);
    QImage Mask(16, 16, QImage::Format_Mono);
    Mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    Mask.fill(0);
    for (int Y = 0; Y < 16; ++Y)
        for (int X = 0; X < 8; ++X)
            Mask.setPixel(X, Y, 1);
    Icon->AddImage(Small, 8, Mask);
    // 32 x 32, 32 bits with alpha: a blue square on transparency.
    QImage Big(32, 32, QImage::Format_ARGB32);
    Big.fill(0);
    for (int Y = 8; Y < 24; ++Y)
        for (int X = 8; X < 24; ++X)
            Big.setPixel(X, Y, qRgba(0, 0, 255, 255));
    Icon->AddImage(Big, 32);
    return Icon;
}

} // namespace

TEST(PicturesTest, BitmapSizeFormatsAndScanLines)
{
    TBitmap B;
    EXPECT_TRUE(B.Empty());
    EXPECT_EQ(B.PixelFormat(), pfDevice);
    EXPECT_EQ(B.HandleType(), bmDDB);
    B.SetSize(3, 2);
    EXPECT_EQ(At(B, 2, 1), 0xFFFFFFu); // new pixels are white
    B.Canvas()->SetPixels(0, 0, clRed);
    B.SetSize(5, 4);
    EXPECT_EQ(At(B, 0, 0), 0xFF0000u); // the picture stays in the corner
    EXPECT_EQ(At(B, 4, 3), 0xFFFFFFu);
    B.SetSize(0, 4);
    EXPECT_TRUE(B.Empty());
    EXPECT_THROW(B.SetSize(40000, 1), EInvalidGraphicOperation);

    // The bytes of the pixel (1, 0) = green and (2, 0) = blue in each layout.
    struct Case {
        TPixelFormat Format;
        std::vector<uint8_t> Bytes; // from the start of row 0
    } Cases[] = {
        {pf32bit, {0x00, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF}},
        {pf24bit, {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00}},
        {pf16bit, {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00}},
        {pf15bit, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00}},
        {pf8bit, {9, 10, 12}},   // the standard colours red, lime, blue
        {pf4bit, {0x9A, 0xCF}},  // red, lime | blue, white
        {pf1bit, {0x10}},        // red, lime, blue dark; white light
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Format);
        auto S = Sample();
        S->SetPixelFormat(C.Format);
        EXPECT_EQ(S->PixelFormat(), C.Format);
        const uint8_t* Row = S->ScanLine(0);
        EXPECT_EQ(std::vector<uint8_t>(Row, Row + C.Bytes.size()), C.Bytes);
        EXPECT_THROW(S->ScanLine(3), EInvalidGraphic);
        EXPECT_THROW(S->ScanLine(-1), EInvalidGraphic);
    }
}

TEST(PicturesTest, FourBitScanLinesAreWrittenBack)
{
    auto B = Sample();
    B->SetPixelFormat(pf4bit);
    uint8_t* Row = B->ScanLine(1);
    Row[0] = 0xC9; // blue, red
    // The canvas sees the change, and its drawing reaches the scan lines.
    EXPECT_EQ(B->Canvas()->Pixels(0, 1), clBlue);
    EXPECT_EQ(B->Canvas()->Pixels(1, 1), clRed);
    B->Canvas()->SetPixels(3, 1, clLime);
    EXPECT_EQ(B->ScanLine(1)[1] & 0x0F, 10);
    EXPECT_EQ(B->BytesPerScanLine(), 4);
}

TEST(PicturesTest, TransparentColourAndMasks)
{
    auto B = Sample();
    EXPECT_EQ(B->TransparentMode(), tmAuto);
    EXPECT_EQ(B->TransparentColor(), RGB(63, 0, 0)); // the bottom-left pixel
    B->SetTransparentColor(clBlue);
    EXPECT_EQ(B->TransparentMode(), tmFixed);
    EXPECT_EQ(B->TransparentColor(), clBlue);
    B->SetTransparentMode(tmAuto);
    EXPECT_EQ(B->TransparentColor(), RGB(63, 0, 0));
    B->Mask(clBlue);
    EXPECT_TRUE(B->Monochrome());
    EXPECT_EQ(At(*B, 2, 0), 0xFFFFFFu);
    EXPECT_EQ(At(*B, 1, 0), 0x000000u);
}

TEST(PicturesTest, BitmapStreamsKeepFormatAndColourTable)
{
    for (TPixelFormat F : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfDevice}) {
        SCOPED_TRACE(F);
        auto B = Sample();
        B->SetPixelFormat(F);
        TBitmap C;
        Load(C, Saved(*B));
        EXPECT_EQ(C.PixelFormat(), F == pfDevice ? pf24bit : F);
        EXPECT_EQ(C.ColorTable(), B->ColorTable());
        EXPECT_EQ(C.ToImage32(), B->ToImage32());
    }
    // Top-down and compressed files read back the same.
    auto B = Sample();
    B->SetPixelFormat(pf8bit);
    for (TBmpWriteOptions O : {TBmpWriteOptions{true, false}, TBmpWriteOptions{false, true}}) {
        TMemoryStream S;
        B->SaveToStream(S, O);
        S.SetPosition(0);
        TBitmap C;
        C.LoadFromStream(S);
        EXPECT_EQ(C.ToImage32(), B->ToImage32());
    }
    // An empty bitmap writes nothing and reads from nothing.
    TBitmap E;
    EXPECT_TRUE(Saved(E).empty());
    Load(*B, {});
    EXPECT_TRUE(B->Empty());
}

TEST(PicturesTest, BadPictureDataKeepsThePreviousPicture)
{
    auto Bmp = Sample();
    const QImage Before = Bmp->ToImage32();
    std::vector<uint8_t> Good = Saved(*Bmp);
    std::vector<uint8_t> Cut(Good.begin(), Good.end() - 3);
    std::vector<uint8_t> Huge = Good;
    Huge[18] = 0x00;
    Huge[19] = 0x00;
    Huge[20] = 0x01; // width 65536
    const std::vector<std::pair<std::vector<uint8_t>, std::string>> Bad = {
        {{'B', 'M'}, "Bitmap image is not valid: the file header is truncated"},
        {Cut, "Bitmap image is not valid: the pixel data is truncated"},
        {Huge, "Bitmap image is not valid: its size 65536 x 3 exceeds the limit"},
        {{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "does not start with \"BM\""},
    };
    int Changes = 0;
    Bmp->OnChange = [&](TObject*) { ++Changes; };
    for (const auto& [Data, Message] : Bad) {
        SCOPED_TRACE(Message);
        try {
            Load(*Bmp, Data);
            ADD_FAILURE() << "no exception";
        } catch (const EInvalidGraphic& E) {
            EXPECT_NE(E.Message().find(Message), std::string::npos) << E.Message();
        }
        EXPECT_EQ(Bmp->ToImage32(), Before);
    }
    EXPECT_EQ(Changes, 0);

    // JPEG and icon data likewise.
    TJPEGImage Jpeg;
    const std::vector<uint8_t> JpegData = JpegEncode(Before.scaled(40, 30));
    Load(Jpeg, JpegData);
    EXPECT_THROW(Load(Jpeg, std::vector<uint8_t>(JpegData.begin(), JpegData.begin() + 200)), EInvalidGraphic);
    EXPECT_EQ(Jpeg.Width(), 40);
    EXPECT_EQ(Jpeg.Data(), JpegData);
    auto Icon = SampleIcon();
    EXPECT_THROW(Load(*Icon, {0, 0, 2, 0, 1, 0}), EInvalidGraphic);
    EXPECT_EQ(Icon->ImageCount(), 2);
    // A picture keeps its graphic when a file cannot be read.
    TPicture P;
    P.Bitmap()->Assign(Bmp.get());
    TMemoryStream S(Cut);
    EXPECT_THROW(P.LoadFromStream(S), EInvalidGraphic);
    ASSERT_NE(dynamic_cast<TBitmap*>(P.Graphic()), nullptr);
    EXPECT_EQ(static_cast<TBitmap*>(P.Graphic())->ToImage32(), Before);
}

TEST(PicturesTest, IconFilesAndBadIconData)
{
    auto Icon = SampleIcon();
    EXPECT_EQ(Icon->Width(), 32); // the 32 x 32 image is the current one
    TIcon Back;
    Load(Back, Saved(*Icon));
    ASSERT_EQ(Back.ImageCount(), 2);
    EXPECT_EQ(Back.Images(0).BitCount, 8);
    EXPECT_EQ(Back.Images(0).Color.size(), QSize(16, 16));
    EXPECT_EQ(Back.Images(1).BitCount, 32);
    EXPECT_EQ(Back.ToImage32(0), Icon->ToImage32(0));
    EXPECT_EQ(Back.ToImage32(1), Icon->ToImage32(1));
    EXPECT_EQ(qAlpha(Back.ToImage32(0).pixel(3, 3)), 0);   // masked
    EXPECT_EQ(Back.ToImage32(0).pixel(12, 3), qRgb(255, 0, 0));
    // Drawing leaves the transparent pixels alone.
    QImage Target = Canvas32(40, 40, qRgb(0, 128, 0));
    TCanvas C(&Target);
    C.Draw(2, 2, &Back);
    EXPECT_EQ(Target.pixel(2 + 16, 2 + 16), qRgb(0, 0, 255));
    EXPECT_EQ(Target.pixel(2 + 2, 2 + 2), qRgb(0, 128, 0));

    std::vector<uint8_t> Good = Saved(*Icon);
    std::vector<uint8_t> OffEnd = Good;
    OffEnd[6 + 12] = 0xF0; // first image's offset far beyond the file
    OffEnd[6 + 13] = 0xFF;
    std::vector<uint8_t> OddHeight = Good;
    const size_t First = Good[6 + 12] | Good[6 + 13] << 8;
    OddHeight[First + 8] = 31; // doubled height must be even
    const std::vector<std::pair<std::vector<uint8_t>, std::string>> Bad = {
        {{0, 0}, "the header is truncated (2 bytes)"},
        {{0, 0, 2, 0, 1, 0}, "does not start with an icon header (reserved 0, type 2)"},
        {{0, 0, 1, 0, 0, 0}, "it holds no image"},
        {{0, 0, 1, 0, 3, 0, 1, 2, 3}, "the directory of 3 images is truncated"},
        {OffEnd, "the data of image 0"},
        {OddHeight, "image 0: the icon image height 31 is not twice the image height"},
    };
    for (const auto& [Data, Detail] : Bad) {
        SCOPED_TRACE(Detail);
        try {
            TIcon I;
            Load(I, Data);
            ADD_FAILURE() << "no exception";
        } catch (const EInvalidGraphic& E) {
            EXPECT_EQ(E.Message().rfind("Icon image is not valid: ", 0), 0u) << E.Message();
            EXPECT_NE(E.Message().find(Detail), std::string::npos) << E.Message();
        }
    }
}

TEST(PicturesTest, JpegImages)
{
    auto B = Sample();
    B->SetSize(64, 48);
    B->Canvas()->Brush()->SetColor(RGB(200, 100, 50));
    B->Canvas()->FillRect(TRect(0, 0, 64, 48));
    TJPEGImage J;
    J.Assign(B.get());
    EXPECT_EQ(J.Width(), 64);
    const std::vector<uint8_t> D = Saved(J); // compressed on demand
    ASSERT_GT(D.size(), 100u);
    TJPEGImage K;
    Load(K, D);
    EXPECT_EQ(K.Height(), 48);
    const QRgb P = K.Bitmap()->ToImage32().pixel(30, 20);
    EXPECT_NEAR(qRed(P), 200, 3);
    EXPECT_NEAR(qGreen(P), 100, 3);
    EXPECT_NEAR(qBlue(P), 50, 3);
    EXPECT_EQ(K.Bitmap()->PixelFormat(), pf24bit);
    // The stored settings change how the picture is decoded.
    K.SetScale(jsQuarter);
    EXPECT_EQ(K.Width(), 16);
    EXPECT_EQ(K.Bitmap()->Height(), 12);
    K.SetGrayscale(true);
    EXPECT_EQ(K.Bitmap()->PixelFormat(), pf8bit);
    K.SetPerformance(jpBestSpeed);
    EXPECT_EQ(K.Width(), 16);
    // A bitmap takes the decoded picture.
    TBitmap Decoded;
    Decoded.Assign(&K);
    EXPECT_EQ(Decoded.Width(), 16);
    // Quality decides the size of a new compression.
    J.SetCompressionQuality(10);
    J.Compress();
    EXPECT_LT(J.Data().size(), D.size());
}

TEST(PicturesTest, DrawingOnACanvas)
{
    auto B = Sample();
    QImage Target = Canvas32(12, 8, qRgb(1, 2, 3));
    TCanvas C(&Target);
    C.Draw(1, 1, B.get());
    EXPECT_EQ(Target.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(Target.pixel(4, 3), qRgb(63, 63, 63));
    EXPECT_EQ(Target.pixel(5, 1), qRgb(1, 2, 3));
    // Doubled: each pixel becomes 2 x 2.
    C.StretchDraw(TRect(4, 0, 12, 6), B.get());
    EXPECT_EQ(Target.pixel(6, 0), qRgb(0, 255, 0));
    EXPECT_EQ(Target.pixel(7, 1), qRgb(0, 255, 0));
    EXPECT_EQ(Target.pixel(8, 2), qRgb(0, 0, 127));
    // Transparent: pixels of the transparent colour (bottom-left) stay.
    Target.fill(qRgb(1, 2, 3));
    B->SetTransparent(true);
    C.Draw(0, 0, B.get());
    EXPECT_EQ(Target.pixel(0, 2), qRgb(1, 2, 3));
    EXPECT_EQ(Target.pixel(0, 1), qRgb(127, 0, 0));
    // A monochrome bitmap draws black and white whatever the canvas colours.
    TBitmap M;
    M.SetMonochrome(true);
    M.SetSize(2, 1);
    M.Canvas()->SetPixels(0, 0, clBlack);
    C.Font()->SetColor(clRed);
    C.Brush()->SetColor(clYellow);
    C.Draw(10, 7, &M);
    EXPECT_EQ(Target.pixel(10, 7), qRgb(0, 0, 0));
    EXPECT_EQ(Target.pixel(11, 7), qRgb(255, 255, 255));
    // Drawing on a bitmap's canvas announces a change of the bitmap.
    int Changes = 0;
    B->OnChange = [&](TObject*) { ++Changes; };
    B->Canvas()->FillRect(TRect(0, 0, 1, 1));
    EXPECT_GE(Changes, 1);
}

TEST(PicturesTest, PictureHoldsAnyGraphicAndLoadsFilesByExtension)
{
    QTemporaryDir Dir;
    auto Path = [&](const char* Name) { return (Dir.path() + "/" + Name).toStdString(); };
    auto B = Sample();
    B->SaveToFile(Path("a.bmp"));
    auto Icon = SampleIcon();
    Icon->SaveToFile(Path("b.ICO"));
    TJPEGImage J;
    J.Assign(B.get());
    J.SaveToFile(Path("c.jpeg"));
    TMemoryStream(std::vector<uint8_t>{1, 2, 3}).SaveToFile(Path("d.xyz"));

    TPicture P;
    int Changes = 0;
    P.OnChange = [&](TObject*) { ++Changes; };
    struct Case {
        const char* File;
        const char* Class;
        int Width;
    } Cases[] = {{"a.bmp", "TBitmap", 4}, {"b.ICO", "TIcon", 32}, {"c.jpeg", "TJPEGImage", 4}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.File);
        const int Before = Changes;
        P.LoadFromFile(Path(C.File));
        ASSERT_NE(P.Graphic(), nullptr);
        EXPECT_EQ(P.Graphic()->ClassName(), C.Class);
        EXPECT_EQ(P.Width(), C.Width);
        EXPECT_GT(Changes, Before);
        // The same file by signature.
        TMemoryStream S;
        S.LoadFromFile(Path(C.File));
        TPicture Q;
        Q.LoadFromStream(S);
        EXPECT_EQ(Q.Graphic()->ClassName(), C.Class);
    }
    try {
        P.LoadFromFile(Path("d.xyz"));
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidGraphic& E) {
        EXPECT_EQ(E.Message(), "Unknown picture file extension (.xyz)");
    }
    EXPECT_EQ(P.Graphic()->ClassName(), "TJPEGImage");
    // Bitmap replaces another graphic; changes of the graphic reach OnChange.
    TBitmap* Bmp = P.Bitmap();
    EXPECT_TRUE(Bmp->Empty());
    const int Before = Changes;
    Bmp->SetSize(2, 2);
    EXPECT_GT(Changes, Before);
    // Assign copies the graphic.
    TPicture Copy;
    P.Bitmap()->Assign(B.get());
    Copy.Assign(&P);
    ASSERT_NE(Copy.Graphic(), P.Graphic());
    EXPECT_EQ(static_cast<TBitmap*>(Copy.Graphic())->ToImage32(), B->ToImage32());
    Copy.Assign(nullptr);
    EXPECT_EQ(Copy.Graphic(), nullptr);
    EXPECT_EQ(Copy.Width(), 0);
}

TEST(PicturesTest, GraphicClassRegistry)
{
    EXPECT_EQ(GraphicClassOfExtension("BMP"), ClassOf<TBitmap>());
    EXPECT_EQ(GraphicClassOfExtension(".jpg"), ClassOf<TJPEGImage>());
    EXPECT_EQ(GraphicClassOfExtension("jpeg"), ClassOf<TJPEGImage>());
    EXPECT_EQ(GraphicClassOfExtension("png"), nullptr);
    EXPECT_EQ(FindGraphicClass("ticon"), ClassOf<TIcon>());
    EXPECT_EQ(FindGraphicClass("TPicture"), nullptr);
    EXPECT_EQ(GraphicFilter(ClassOf<TBitmap>()), "All (*.bmp)|*.bmp|Bitmaps (*.bmp)|*.bmp");
    RegisterGraphicClass("dib", "Device Independent Bitmap", ClassOf<TBitmap>());
    EXPECT_EQ(GraphicClassOfExtension("DIB"), ClassOf<TBitmap>());
    EXPECT_NE(GraphicFilter().find("Device Independent Bitmap (*.dib)|*.dib"), std::string::npos);
    UnregisterGraphicClass(ClassOf<TBitmap>());
    EXPECT_EQ(GraphicClassOfExtension("dib"), nullptr);
    RegisterGraphicClass("bmp", "Bitmaps", ClassOf<TBitmap>());
    EXPECT_THROW(RegisterGraphicClass("x", "x", ClassOf<TPictureHolder>()), EInvalidGraphicOperation);
}

TEST(PicturesTest, PictureRoundTripsThroughAFormFile)
{
    ClassOf<TPictureHolder>();
    auto Icon = SampleIcon();
    TJPEGImage Jpeg;
    Jpeg.Assign(Sample().get());
    auto Bmp = Sample();
    Bmp->SetPixelFormat(pf8bit);
    TGraphic* Graphics[] = {Bmp.get(), Icon.get(), &Jpeg};
    for (TGraphic* G : Graphics) {
        SCOPED_TRACE(G->ClassName());
        TPictureHolder H;
        H.SetName("Holder");
        H.Picture()->SetGraphic(G);
        const String Text = ComponentToText(&H);
        // The payload starts with the class name as a short string.
        String Hex;
        const String Name = G->ClassName();
        Hex += IntToHex(int(Name.size()), 2);
        for (char Ch : Name)
            Hex += IntToHex(int(uint8_t(Ch)), 2);
        String Flat;
        for (char Ch : Text)
            if (Ch != ' ' && Ch != '\n')
                Flat += Ch;
        EXPECT_NE(Flat.find("Picture.Data={" + Hex), std::string::npos) << Text.substr(0, 200);
        std::unique_ptr<TComponent> Back(ReadComponentFromText(Text, nullptr));
        auto* R = dynamic_cast<TPictureHolder*>(Back.get());
        ASSERT_NE(R, nullptr);
        ASSERT_NE(R->Picture()->Graphic(), nullptr);
        EXPECT_EQ(R->Picture()->Graphic()->ClassName(), Name);
        EXPECT_EQ(R->Picture()->Width(), G->Width());
        if (auto* B = dynamic_cast<TBitmap*>(R->Picture()->Graphic())) {
            EXPECT_EQ(B->PixelFormat(), pf8bit);
            EXPECT_EQ(B->ToImage32(), Bmp->ToImage32());
        }
        EXPECT_EQ(Saved(*R->Picture()->Graphic()), Saved(*G));
    }
    // An empty picture stores nothing.
    TPictureHolder Empty;
    Empty.SetName("Holder");
    EXPECT_EQ(ComponentToText(&Empty).find("Picture.Data"), std::string::npos);
    // An unknown class or bad data names the property.
    const String Bad[] = {
        "object Holder: TPictureHolder\n  Picture.Data = {0454466F6F00}\nend\n",
        "object Holder: TPictureHolder\n  Picture.Data = {07544269746D6170424D0000}\nend\n",
    };
    const String Expect[] = {"Unknown picture class \"TFoo\"", "Bitmap image is not valid"};
    for (int I = 0; I < 2; ++I) {
        try {
            std::unique_ptr<TComponent> C(ReadComponentFromText(Bad[I], nullptr));
            ADD_FAILURE() << "no exception";
        } catch (const EReadError& E) {
            EXPECT_NE(E.Message().find("Picture.Data"), std::string::npos) << E.Message();
            EXPECT_NE(E.Message().find(Expect[I]), std::string::npos) << E.Message();
        }
    }
}

#include "PicturesTest.moc"
