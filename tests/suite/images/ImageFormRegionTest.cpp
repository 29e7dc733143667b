// The image form's region: which colour lies outside, the region built from
// the picture, the stored "RegionData" (written, read, preferred to the
// picture, none when damaged) and when the region is (not) rebuilt.
#include <gtest/gtest.h>

#include "FormStream.h"
#include "ImageFormTestSupport.h"
#include "Streams.h"
#include "nvCommon.h"

using namespace ImageFormTest;

namespace {

const std::vector<std::string> Outline = {
    "..####..",
    ".######.",
    "########",
    "##....##",
    "#.r##.y#",
    "........",
};

// The stored RegionData of the image form in a written form.
std::vector<uint8_t> StoredRegionData(TComponent* Root)
{
    const TFormObject O = WriteComponent(Root);
    for (const TFormObject& C : O.Children)
        for (const TFormProperty& P : C.Properties)
            if (P.Name == "RegionData")
                return P.Value.Bytes;
    ADD_FAILURE() << "no RegionData written";
    return {};
}

// The text of a written form with the image form's RegionData replaced.
String WithRegionData(TComponent* Root, const std::vector<uint8_t>& Data)
{
    TFormObject O = WriteComponent(Root);
    for (TFormObject& C : O.Children)
        for (TFormProperty& P : C.Properties)
            if (P.Name == "RegionData")
                P.Value.Bytes = Data;
    return FormObjectToText(O);
}

std::unique_ptr<TForm> ReadForm(const String& Text)
{
    TFormReadOptions Options;
    Options.FileName = "Shaped.nvf";
    return std::unique_ptr<TForm>(dynamic_cast<TForm*>(ReadComponentFromText(Text, nullptr, nullptr, Options)));
}

TnvImageForm* ImageOf(TForm* Form)
{
    return dynamic_cast<TnvImageForm*>(Form->FindComponent("nvImageForm1"));
}

} // namespace

TEST(ImageFormRegion, KeyColourAndRegionFromPicture)
{
    struct {
        const char* Name;
        TPixelFormat Format;
        TColor TransparentColor;
        std::function<TColor(char)> ColorOf;
        char Outside; // the character whose pixels lie outside
    } Cases[] = {
        {"24-bit, bottom-left white", pf24bit, clNone, Ink, '.'},
        {"16 colours, bottom-left white", pf4bit, clNone, Ink, '.'},
        {"8-bit, bottom-left white", pf8bit, clNone, Ink, '.'},
        {"32-bit, bottom-left white", pf32bit, clNone, Ink, '.'},
        {"24-bit, navy given", pf24bit, clNavy, Ink, '#'},
        {"16 colours, navy given", pf4bit, clNavy, Ink, '#'},
        {"24-bit, bottom-left green", pf24bit, clNone, [](char C) { return C == '.' ? clGreen : Ink(C); }, '.'},
    };
    for (const auto& C : Cases) {
        TShapedForm S(8, 6);
        auto B = BitmapFromRows(Outline, C.Format, C.ColorOf);
        S.SetPicture(B.get());
        S.Image->SetTransparentColor(C.TransparentColor);
        S.Image->UpdateRegion();
        EXPECT_EQ(S.Image->KeyColor(), C.TransparentColor != clNone ? C.TransparentColor : C.ColorOf('.')) << C.Name;
        EXPECT_TRUE(EqualRgn(S.Image->Region(), RunsOf(Outline, C.Outside))) << C.Name;
        // At run time the region shapes the form.
        EXPECT_TRUE(EqualRgn(S.Form->WindowRegion(), S.Image->Region())) << C.Name;
    }
}

TEST(ImageFormRegion, WhitePixelsInsideTheOutlineAreOutsideToo)
{
    // The bottom-left pixel is white: every white pixel lies outside the
    // form, the hole in the middle included.
    TShapedForm S(8, 6);
    auto B = BitmapFromRows(Outline, pf24bit, Ink);
    S.SetPicture(B.get());
    S.Image->UpdateRegion();
    EXPECT_FALSE(PtInRegion(S.Image->Region(), 3, 3));
    EXPECT_FALSE(PtInRegion(S.Image->Region(), 0, 0));
    EXPECT_TRUE(PtInRegion(S.Image->Region(), 2, 4)); // red
    EXPECT_TRUE(PtInRegion(S.Image->Region(), 6, 4)); // yellow
}

TEST(ImageFormRegion, StoredRegionDataLayout)
{
    TShapedForm S(8, 6);
    auto B = BitmapFromRows(Outline, pf4bit, Ink);
    S.SetPicture(B.get());
    const std::vector<uint8_t> Data = StoredRegionData(S.Form.get());
    const std::vector<TRect> Rects = GetRegionRects(RunsOf(Outline, '.'));
    const uint32_t K = static_cast<uint32_t>(Rects.size());
    ASSERT_EQ(Data.size(), 4 + 32 + 16 * size_t(K));
    EXPECT_EQ(UInt32At(Data, 0), 32 + 16 * K);  // n
    EXPECT_EQ(UInt32At(Data, 4), 32u);          // header size
    EXPECT_EQ(UInt32At(Data, 8), 1u);           // rectangles
    EXPECT_EQ(UInt32At(Data, 12), K);           // count
    EXPECT_EQ(UInt32At(Data, 16), 16 * K);      // bytes of rectangles
    EXPECT_EQ(UInt32At(Data, 20), 0u);          // bounding box 0, 0, 8, 5
    EXPECT_EQ(UInt32At(Data, 28), 8u);
    EXPECT_EQ(UInt32At(Data, 32), 5u);
    for (uint32_t I = 0; I < K; ++I) {
        const size_t O = 36 + 16 * size_t(I);
        EXPECT_EQ(TRect(int(UInt32At(Data, O)), int(UInt32At(Data, O + 4)), int(UInt32At(Data, O + 8)),
                        int(UInt32At(Data, O + 12))),
                  Rects[I]);
    }
}

TEST(ImageFormRegion, PictureOfOnlyTheKeyColourStoresFourZeroBytes)
{
    TShapedForm S(5, 4);
    auto B = BitmapFromRows({"rrrrr", "rrrrr", "rrrrr", "rrrrr"}, pf24bit, Ink);
    S.SetPicture(B.get());
    EXPECT_EQ(StoredRegionData(S.Form.get()), std::vector<uint8_t>(4, 0));
    EXPECT_TRUE(S.Image->Region().isEmpty());

    // Loading it scans the picture again and again finds nothing: the form
    // stays rectangular.
    auto F = ReadForm(ComponentToText(S.Form.get()));
    ASSERT_TRUE(F);
    EXPECT_TRUE(ImageOf(F.get())->Region().isEmpty());
    EXPECT_FALSE(F->HasWindowRegion());
}

TEST(ImageFormRegion, ZeroLengthRegionDataScansThePictureOnLoad)
{
    TShapedForm S(8, 6);
    auto B = BitmapFromRows(Outline, pf4bit, Ink);
    S.SetPicture(B.get());
    auto F = ReadForm(WithRegionData(S.Form.get(), {0, 0, 0, 0}));
    ASSERT_TRUE(F);
    EXPECT_TRUE(EqualRgn(ImageOf(F.get())->Region(), RunsOf(Outline, '.')));
    EXPECT_TRUE(EqualRgn(F->WindowRegion(), RunsOf(Outline, '.')));
}

TEST(ImageFormRegion, StoredRegionShapesTheFormWithoutAScan)
{
    TShapedForm S(8, 6);
    auto B = BitmapFromRows(Outline, pf24bit, Ink);
    S.SetPicture(B.get());

    // Round trip: the stored region is the picture's.
    auto Same = ReadForm(ComponentToText(S.Form.get()));
    ASSERT_TRUE(Same);
    EXPECT_TRUE(EqualRgn(ImageOf(Same.get())->Region(), RunsOf(Outline, '.')));
    EXPECT_TRUE(EqualRgn(Same->WindowRegion(), RunsOf(Outline, '.')));

    // A stored region that differs from the picture wins: it is used as it
    // is, the picture is not scanned.
    const QRegion Stored = CreateRectRgn(1, 1, 4, 3) + CreateRectRgn(5, 0, 7, 6);
    std::vector<uint8_t> Data = GetRegionData(Stored);
    const uint32_t N = static_cast<uint32_t>(Data.size());
    Data.insert(Data.begin(), {uint8_t(N), uint8_t(N >> 8), uint8_t(N >> 16), uint8_t(N >> 24)});
    auto F = ReadForm(WithRegionData(S.Form.get(), Data));
    ASSERT_TRUE(F);
    EXPECT_TRUE(EqualRgn(ImageOf(F.get())->Region(), Stored));
    EXPECT_TRUE(EqualRgn(F->WindowRegion(), Stored));

    // Saving rebuilds it from the picture, so what is stored matches the picture.
    EXPECT_EQ(StoredRegionData(F.get()), StoredRegionData(S.Form.get()));
    EXPECT_TRUE(EqualRgn(F->WindowRegion(), RunsOf(Outline, '.')));
}

TEST(ImageFormRegion, DamagedRegionDataGivesNoRegionAndARectangularForm)
{
    TShapedForm S(8, 6);
    auto B = BitmapFromRows(Outline, pf24bit, Ink);
    S.SetPicture(B.get());
    S.Image->SetTransparentColor(clNavy);
    std::vector<uint8_t> Good = StoredRegionData(S.Form.get());
    ASSERT_GT(Good.size(), 40u);
    ASSERT_FALSE(ReadForm(WithRegionData(S.Form.get(), Good))->WindowRegion().isEmpty());

    std::vector<uint8_t> Truncated(Good.begin(), Good.end() - 7);
    std::vector<uint8_t> LongerThanSaid = Good;
    LongerThanSaid.push_back(0);
    std::vector<uint8_t> BadHeader = Good;
    BadHeader[4] = 31;
    std::vector<uint8_t> BadCount = Good;
    BadCount[12] += 1;
    std::vector<uint8_t> Huge = {0xFF, 0xFF, 0xFF, 0xFF, 1, 2};
    const struct {
        const char* Name;
        std::vector<uint8_t> Data;
    } Cases[] = {
        {"no length", {1, 0}},
        {"no bytes at all", {}},
        {"truncated rectangles", Truncated},
        {"bytes after the region", LongerThanSaid},
        {"huge length", Huge},
        {"header size", BadHeader},
        {"rectangle count", BadCount},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        std::unique_ptr<TForm> F;
        ASSERT_NO_THROW(F = ReadForm(WithRegionData(S.Form.get(), C.Data)));
        ASSERT_TRUE(F);
        TnvImageForm* I = ImageOf(F.get());
        // No region, no window region: the form is rectangular ...
        EXPECT_TRUE(I->Region().isEmpty());
        EXPECT_FALSE(F->HasWindowRegion());
        // ... and the rest of the form is there: the picture and the
        // properties read after it.
        EXPECT_EQ(I->Picture()->Width(), 8);
        EXPECT_EQ(I->TransparentColor(), clNavy);
        // Saving stores the picture's region again.
        EXPECT_EQ(StoredRegionData(F.get()), Good);
    }
}

TEST(ImageFormRegion, RegionIsKeptUntilRebuiltOnPurpose)
{
    TShapedForm S(8, 6);
    auto B = BitmapFromRows(Outline, pf24bit, Ink);
    S.SetPicture(B.get());
    S.Image->UpdateRegion();
    const QRegion Before = S.Image->Region();

    // A new picture, a new transparent colour or a new form size leave the
    // region alone.
    auto Other = BitmapFromRows({"####", "#..#", "####"}, pf24bit, Ink);
    S.SetPicture(Other.get());
    S.Image->SetTransparentColor(clNavy);
    S.Form->SetBounds(100, 80, 50, 50);
    EXPECT_TRUE(EqualRgn(S.Image->Region(), Before));
    EXPECT_TRUE(EqualRgn(S.Form->WindowRegion(), Before));

    // Rebuilding takes the new picture and colour.
    S.Image->UpdateRegion();
    EXPECT_TRUE(EqualRgn(S.Image->Region(), RunsOf({"####", "#..#", "####"}, '#')));

    // Drawing on the picture's bitmap is a change of the picture too (the
    // bottom-left pixel is navy, so navy lies outside).
    S.Image->SetTransparentColor(clNone);
    S.Image->UpdateRegion();
    EXPECT_TRUE(EqualRgn(S.Image->Region(), RunsOf({"####", "#..#", "####"}, '#')));
    S.Image->Canvas()->SetPixels(1, 1, clNavy);
    S.Image->UpdateRegion();
    EXPECT_TRUE(EqualRgn(S.Image->Region(), RunsOf({"####", "##.#", "####"}, '#')));
}

TEST(ImageFormRegion, PictureOfAnotherKindGivesNoRegionAndIsKept)
{
    TShapedForm S(16, 16);
    TIcon Icon;
    QImage I(16, 16, QImage::Format_ARGB32);
    I.fill(qRgba(0, 0, 255, 255));
    Icon.AddImage(I, 32);
    S.SetPicture(&Icon);
    EXPECT_EQ(S.Image->KeyColor(), clNone);
    EXPECT_EQ(StoredRegionData(S.Form.get()), std::vector<uint8_t>(4, 0));
    // Saving did not turn the icon into an empty bitmap.
    ASSERT_TRUE(dynamic_cast<TIcon*>(S.Image->Picture()->Graphic()));
    EXPECT_EQ(S.Image->Picture()->Width(), 16);
}

TEST(ImageFormRegion, MainWindowSizedPicture)
{
    // A 600 x 463, 16-colour picture: an outline with rounded corners, a
    // caption strip and a notch, white outside.
    const QRegion Shape = CreateRoundRectRgn(0, 0, 600, 463, 40, 40).subtracted(CreateRectRgn(0, 200, 30, 260));
    TBitmap B;
    B.SetImage(PictureOf(Shape, 600, 463, qRgb(0, 0, 128)));
    B.SetPixelFormat(pf4bit);
    TShapedForm S(600, 463);
    S.SetPicture(&B);
    const std::vector<uint8_t> Data = StoredRegionData(S.Form.get());
    EXPECT_TRUE(EqualRgn(S.Image->Region(), Shape));
    EXPECT_EQ(Data.size(), 4 + size_t(GetRegionDataSize(Shape)));
    auto F = ReadForm(ComponentToText(S.Form.get()));
    ASSERT_TRUE(F);
    EXPECT_TRUE(EqualRgn(F->WindowRegion(), Shape));
}
