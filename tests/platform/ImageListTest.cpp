// Image lists: adding and editing images, drawing enabled, blended, masked
// and disabled (embossed) checked on pixels, change notification and the
// stored "Bitmap" data.
#include <gtest/gtest.h>

#include <memory>

#include "Canvas.h"
#include "FormStream.h"
#include "ImageList.h"
#include "Pictures.h"

namespace {

constexpr QRgb Green = 0xFF008000u;

// Two 4 x 4 cells: red with a fuchsia (mask colour) top-left pixel and a
// white bottom-right pixel; all blue.
std::unique_ptr<TBitmap> Strip()
{
    auto B = std::make_unique<TBitmap>();
    B->SetPixelFormat(pf24bit);
    B->SetSize(8, 4);
    TCanvas* C = B->Canvas();
    C->Brush()->SetColor(clRed);
    C->FillRect(TRect(0, 0, 4, 4));
    C->Brush()->SetColor(clBlue);
    C->FillRect(TRect(4, 0, 8, 4));
    C->SetPixels(0, 0, clFuchsia);
    C->SetPixels(3, 3, clWhite);
    return B;
}

std::unique_ptr<TImageList> List()
{
    auto L = std::make_unique<TImageList>();
    L->SetWidth(4);
    L->SetHeight(4);
    auto S = Strip();
    EXPECT_EQ(L->AddMasked(S.get(), clFuchsia), 0);
    return L;
}

QRgb Px(const QImage& I, int X, int Y)
{
    return I.pixel(X, Y) | 0xFF000000u;
}

} // namespace

TEST(ImageListTest, AddingAndEditingImages)
{
    auto L = List();
    ASSERT_EQ(L->Count(), 2);
    EXPECT_EQ(L->ImageAt(0).pixel(0, 0) & 0xFFFFFF, 0u); // the mask colour became black
    EXPECT_EQ(L->MaskAt(0).pixelIndex(0, 0), 1);
    EXPECT_EQ(L->MaskAt(0).pixelIndex(1, 0), 0);
    EXPECT_EQ(L->ImageAt(1).pixel(2, 2) & 0xFFFFFF, 0x0000FFu);
    // Add with an explicit mask bitmap (white = transparent).
    auto S = Strip();
    TBitmap Mask;
    Mask.SetSize(4, 4);
    Mask.Canvas()->Brush()->SetColor(clBlack);
    Mask.Canvas()->FillRect(TRect(0, 0, 4, 4));
    Mask.Canvas()->SetPixels(1, 1, clWhite);
    EXPECT_EQ(L->Add(S.get(), &Mask), 2);
    EXPECT_EQ(L->Count(), 4);
    EXPECT_EQ(L->MaskAt(2).pixelIndex(1, 1), 1);
    EXPECT_EQ(L->MaskAt(3).pixelIndex(1, 1), 0); // beyond the mask: opaque
    L->Move(3, 0);
    EXPECT_EQ(L->ImageAt(0).pixel(1, 1) & 0xFFFFFF, 0x0000FFu);
    L->Delete(0);
    L->Replace(2, S.get(), nullptr);
    EXPECT_EQ(L->MaskAt(2).pixelIndex(1, 1), 0);
    EXPECT_THROW(L->Delete(5), EInvalidOperation);
    TBitmap Narrow;
    Narrow.SetSize(3, 4);
    EXPECT_THROW(L->Add(&Narrow, nullptr), EInvalidOperation);
    EXPECT_THROW(L->Add(nullptr, nullptr), EInvalidOperation);
    // A new size empties the list.
    L->SetWidth(8);
    EXPECT_EQ(L->Count(), 0);
    EXPECT_THROW(L->SetHeight(0), EInvalidOperation);
    // GetBitmap draws the image on white.
    auto M = List();
    TBitmap Out;
    ASSERT_TRUE(M->GetBitmap(0, &Out));
    EXPECT_EQ(Out.Width(), 4);
    EXPECT_EQ(Out.Canvas()->Pixels(0, 0), clWhite);
    EXPECT_EQ(Out.Canvas()->Pixels(1, 0), clRed);
    EXPECT_FALSE(M->GetBitmap(7, &Out));
}

TEST(ImageListTest, DrawingEnabledAndBlended)
{
    struct Case {
        const char* Name;
        std::function<void(TImageList&)> Setup;
        TDrawingStyle Style;
        QRgb Masked;    // canvas (2, 2): the transparent pixel
        QRgb Red;       // canvas (3, 2): a red pixel
    } Cases[] = {
        {"normal", [](TImageList&) {}, dsNormal, Green, qRgb(255, 0, 0)},
        {"background colour", [](TImageList& L) { L.SetBkColor(clYellow); }, dsNormal, qRgb(255, 255, 0),
         qRgb(255, 0, 0)},
        {"transparent style ignores the background", [](TImageList& L) { L.SetBkColor(clYellow); }, dsTransparent,
         Green, qRgb(255, 0, 0)},
        {"no masks", [](TImageList& L) { L.SetMasked(false); }, dsNormal, qRgb(0, 0, 0), qRgb(255, 0, 0)},
        {"focus: 25% blue", [](TImageList& L) { L.SetBlendColor(clBlue); }, dsFocus, Green, qRgb(191, 0, 63)},
        {"selected: 50% blue", [](TImageList& L) { L.SetBlendColor(clBlue); }, dsSelected, Green, qRgb(127, 0, 127)},
        {"selected on the canvas", [](TImageList&) {}, dsSelected, Green, qRgb(127, 64, 0)},
        {"default blend colour", [](TImageList& L) { L.SetBlendColor(clDefault); }, dsSelected, Green,
         qRgb((255 + qRed(ColorToQRgb(clHighlight))) / 2, qGreen(ColorToQRgb(clHighlight)) / 2,
              qBlue(ColorToQRgb(clHighlight)) / 2)},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        auto L = List();
        C.Setup(*L);
        L->SetDrawingStyle(C.Style);
        QImage Target(10, 10, QImage::Format_RGB32);
        Target.fill(Green);
        TCanvas Canvas(&Target);
        L->Draw(&Canvas, 2, 2, 0);
        EXPECT_EQ(Px(Target, 2, 2), C.Masked | 0xFF000000u);
        EXPECT_EQ(Px(Target, 3, 2), C.Red | 0xFF000000u);
        EXPECT_EQ(Px(Target, 6, 2), Green); // outside the cell
    }
    // The mask itself, and drawing clipped at the canvas edge.
    auto L = List();
    QImage Target(10, 10, QImage::Format_RGB32);
    Target.fill(Green);
    TCanvas Canvas(&Target);
    L->Draw(&Canvas, 0, 0, 0, dsNormal, itMask);
    EXPECT_EQ(Px(Target, 0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(Px(Target, 1, 0), qRgb(0, 0, 0));
    L->Draw(&Canvas, 8, 8, 1);
    EXPECT_EQ(Px(Target, 9, 9), qRgb(0, 0, 255));
    L->Draw(&Canvas, 0, 5, 9); // a bad index draws nothing
    EXPECT_EQ(Px(Target, 0, 5), Green);
}

TEST(ImageListTest, DisabledImagesAreEmbossed)
{
    auto L = List();
    QImage Target(10, 10, QImage::Format_RGB32);
    Target.fill(Green);
    TCanvas Canvas(&Target);
    L->Draw(&Canvas, 2, 2, 0, false);
    const QRgb Shadow = ColorToQRgb(clBtnShadow) | 0xFF000000u, Highlight = ColorToQRgb(clBtnHighlight) | 0xFF000000u;
    // Cell (0, 0) is transparent, cell (3, 3) white: neither is painted.
    std::vector<std::string> Expected = {
        "..........", "..........", "...SSS....", "..SSSSH...", "..SSSSH...",
        "..SSSHH...", "...HHH....", "..........", "..........", "..........",
    };
    // Cell (0, 0) is transparent, so (2, 2) stays; the highlight below it comes
    // from cell (0, 0)'s neighbours only where they are not painted themselves.
    for (int Y = 0; Y < 10; ++Y) {
        std::string Row;
        for (int X = 0; X < 10; ++X) {
            const QRgb P = Px(Target, X, Y);
            Row += P == Shadow ? 'S' : P == Highlight ? 'H' : P == Green ? '.' : '?';
        }
        EXPECT_EQ(Row, Expected[size_t(Y)]) << "row " << Y;
    }
}

TEST(ImageListTest, ChangeNotification)
{
    auto L = List();
    int Events = 0, Links = 0;
    L->OnChange = [&](TObject*) { ++Events; };
    auto Link = std::make_unique<TChangeLink>();
    Link->OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, L.get());
        ++Links;
    };
    L->RegisterChanges(Link.get());
    EXPECT_EQ(Link->Sender(), L.get());
    L->SetBkColor(clRed);
    L->SetBkColor(clRed); // no change
    L->Delete(0);
    EXPECT_EQ(Events, 2);
    EXPECT_EQ(Links, 2);
    Link.reset(); // unregisters itself
    L->Clear();
    EXPECT_EQ(Events, 3);
    // A link outliving its list is told nothing more.
    TChangeLink Later;
    {
        auto M = List();
        M->RegisterChanges(&Later);
    }
    EXPECT_EQ(Later.Sender(), nullptr);
}

TEST(ImageListTest, ImagesRoundTripThroughAFormFile)
{
    ClassOf<TImageList>();
    auto L = List();
    L->SetName("Images");
    L->SetBkColor(clYellow);
    // Six images: the stored grid has two rows.
    auto S = Strip();
    L->AddMasked(S.get(), clFuchsia);
    L->AddMasked(S.get(), clFuchsia);
    const String Text = ComponentToText(L.get());
    EXPECT_NE(Text.find("Bitmap = {"), std::string::npos);
    std::unique_ptr<TComponent> Back(ReadComponentFromText(Text, nullptr));
    auto* R = dynamic_cast<TImageList*>(Back.get());
    ASSERT_NE(R, nullptr);
    EXPECT_EQ(R->Width(), 4);
    EXPECT_EQ(R->BkColor(), clYellow);
    ASSERT_EQ(R->Count(), 6);
    for (int I = 0; I < 6; ++I) {
        SCOPED_TRACE(I);
        EXPECT_EQ(R->ImageAt(I), L->ImageAt(I));
        EXPECT_EQ(R->MaskAt(I).convertToFormat(QImage::Format_RGB32), L->MaskAt(I).convertToFormat(QImage::Format_RGB32));
    }
    // An empty list stores no images; bad data names the property.
    TImageList Empty;
    Empty.SetName("Images");
    EXPECT_EQ(ComponentToText(&Empty).find("Bitmap"), std::string::npos);
    const String Bad[] = {"object Images: TImageList\n  Bitmap = {01000000}\nend\n",
                          "object Images: TImageList\n  Bitmap = {01000000100000001000000001000000424D}\nend\n",
                          "object Images: TImageList\n  Bitmap = {00000100100000001000000001000000}\nend\n"};
    const String Detail[] = {"the header is truncated", "Bitmap image is not valid", "exceeds the bitmap limits"};
    for (int I = 0; I < 3; ++I) {
        SCOPED_TRACE(Detail[I]);
        try {
            std::unique_ptr<TComponent> C(ReadComponentFromText(Bad[I], nullptr));
            ADD_FAILURE() << "no exception";
        } catch (const EReadError& E) {
            EXPECT_NE(E.Message().find("Bitmap"), std::string::npos) << E.Message();
            EXPECT_NE(E.Message().find(Detail[I]), std::string::npos) << E.Message();
        }
    }
}
