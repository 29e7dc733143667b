// The data-aware imager: following record moves, writing edited pictures
// back, picture types, bad picture data and its painting.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include "FormStream.h"
#include "ImagerTestSupport.h"
#include "platform/DBTestSupport.h"

namespace {

String BmpBytes(TGraphic& G)
{
    TMemoryStream S;
    G.SaveToStream(S);
    return String(S.Bytes().begin(), S.Bytes().end());
}

String Solid(int W, int H, TColor C)
{
    auto B = MakePicture(W, H, [C](int, int) { return C; });
    return BmpBytes(*B);
}

// A JPEG file of 16 x 16 quadrants (red at the top left).
String JpegBytes()
{
    TJPEGImage Jpeg;
    auto Pic = MakeQuadrants(16, 16);
    Jpeg.Assign(Pic.get());
    return BmpBytes(Jpeg);
}

// An icon file of a blue 16 x 16 picture.
String IconBytes()
{
    TIcon Icon;
    QImage IconImage(16, 16, QImage::Format_ARGB32);
    IconImage.fill(qRgb(0, 0, 255));
    Icon.AddImage(IconImage, 32);
    return BmpBytes(Icon);
}

// Catches what the application would show, for the life of the object.
struct TShownErrors {
    std::vector<String> Messages;
    TShownErrors()
    {
        Application->OnException = [this](TObject*, const std::exception& E) { Messages.push_back(E.what()); };
    }
    ~TShownErrors() { Application->OnException = nullptr; }
};

struct TBound {
    std::unique_ptr<TClientDataSet> DS;
    std::unique_ptr<TDataSource> Source;
    std::unique_ptr<TForm> Form;
    TnvDBImager* Imager = nullptr;
};

TBound Bind(std::unique_ptr<TClientDataSet> DS, const String& Field)
{
    TBound B;
    B.DS = std::move(DS);
    B.Source = std::make_unique<TDataSource>();
    B.Source->SetDataSet(B.DS.get());
    B.Form = MakeForm(120, 100, clFuchsia);
    B.Imager = new TnvDBImager(B.Form.get());
    B.Imager->SetParent(B.Form.get());
    B.Imager->SetBounds(10, 10, 64, 44);
    B.Imager->SetDataSource(B.Source.get());
    B.Imager->SetDataField(Field);
    return B;
}

} // namespace

TEST(ImagerDB, FollowsRecordMovesAndShowsNoPictureForBadData)
{
    TShownErrors Errors;
    auto Quad = MakeQuadrants(20, 10);
    auto DS = MakeTable({{"Id", ftInteger}, {"Graphic", ftGraphic}},
                        {{1, Solid(6, 4, clRed)}, {2, BmpBytes(*Quad)}, {3, TVariant(String("BM not a bitmap"))},
                         {4, TVariant()}},
                        "Pics");
    TBound B = Bind(std::move(DS), "Graphic");
    TnvDBImager* I = B.Imager;
    ASSERT_FALSE(I->IsPictureEmpty());
    EXPECT_EQ(I->Picture()->Width(), 6);
    EXPECT_EQ(BitmapPixel(*I->WorkBitmap(), 2, 2), clRed);

    B.DS->Next();
    EXPECT_EQ(I->Picture()->Width(), 20);
    EXPECT_EQ(BitmapPixel(*I->WorkBitmap(), 15, 8), clYellow);
    // The effects follow the new record.
    I->BitmapOptions()->SetInverted(true);
    EXPECT_EQ(BitmapPixel(*I->WorkBitmap(), 15, 8), clBlue);
    I->BitmapOptions()->SetInverted(false);

    // Bad data: no picture, no error, the record as it was.
    B.DS->Next();
    EXPECT_TRUE(Errors.Messages.empty()) << Errors.Messages[0];
    EXPECT_TRUE(I->IsPictureEmpty());
    EXPECT_TRUE(I->WorkBitmap()->Empty());
    EXPECT_EQ(B.DS->State(), dsBrowse);
    EXPECT_FALSE(B.DS->Modified());
    EXPECT_EQ(B.DS->FieldByName("Graphic")->AsString(), "BM not a bitmap");
    // Asking again ignores the bad bitmap too.
    I->SetAutoDisplay(false);
    B.DS->Prior();
    B.DS->Next();
    EXPECT_TRUE(I->IsPictureEmpty());
    EXPECT_NO_THROW(I->LoadPicture());
    EXPECT_TRUE(I->IsPictureEmpty());
    I->SetAutoDisplay(true);

    // A null field shows nothing, without an error.
    B.DS->Next();
    EXPECT_TRUE(I->IsPictureEmpty());
    B.DS->First();
    EXPECT_EQ(BitmapPixel(*I->WorkBitmap(), 0, 0), clRed);
    EXPECT_TRUE(Errors.Messages.empty());
}

// Bad data of every picture type: a record move shows no picture and reports
// nothing, also moving back and forth; a good record after it shows its own
// picture. Asked for directly, a bad bitmap is ignored and a bad picture of
// another kind is reported, naming the field.
TEST(ImagerDB, BadPicturesOfEveryTypeShowNothingOnRecordMoves)
{
    struct TCase {
        const char* Name;
        TnvImagerPictureType Type;
        String Good;
        bool RaisesWhenAsked;
    };
    const TCase Cases[] = {
        {"bitmap", nvptBitmap, Solid(6, 4, clRed), false},
        {"JPEG", nvptJpg, JpegBytes(), true},
        {"icon", nvptIcon, IconBytes(), true},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TShownErrors Errors;
        auto DS = MakeTable({{"Id", ftInteger}, {"Graphic", ftGraphic}},
                            {{1, C.Good}, {2, TVariant(String("\x01\x02 no picture at all"))}}, "Pics");
        TBound B = Bind(std::move(DS), "Graphic");
        TnvDBImager* I = B.Imager;
        I->SetPictureType(C.Type);
        ASSERT_FALSE(I->IsPictureEmpty());
        for (int Round = 0; Round < 2; ++Round) {
            B.DS->Next();
            EXPECT_TRUE(I->IsPictureEmpty());
            EXPECT_TRUE(I->WorkBitmap()->Empty());
            B.DS->First();
            EXPECT_FALSE(I->IsPictureEmpty());
        }
        B.DS->Next();
        EXPECT_TRUE(Errors.Messages.empty()) << Errors.Messages[0];
        EXPECT_EQ(B.DS->State(), dsBrowse);
        EXPECT_FALSE(B.DS->Modified());
        if (C.RaisesWhenAsked) {
            try {
                I->LoadPicture();
                ADD_FAILURE() << "no error";
            } catch (const EInvalidGraphic& E) {
                EXPECT_NE(E.Message().find("Field 'Graphic' does not hold a valid picture"), String::npos)
                    << E.Message();
            }
        } else {
            EXPECT_NO_THROW(I->LoadPicture());
        }
        EXPECT_TRUE(I->IsPictureEmpty());
    }
}

TEST(ImagerDB, EditedPicturesAreWrittenBack)
{
    auto DS = MakeTable({{"Id", ftInteger}, {"Graphic", ftGraphic}}, {{1, Solid(6, 4, clRed)}, {2, Solid(5, 5, clLime)}},
                        "Pics");
    TBound B = Bind(std::move(DS), "Graphic");
    TnvDBImager* I = B.Imager;
    EXPECT_EQ(B.DS->State(), dsBrowse);

    // Paste puts the dataset into edit mode and marks the record.
    auto Quad = MakeQuadrants(8, 8);
    QGuiApplication::clipboard()->setImage(Quad->ToImage32());
    I->PasteFromClipboard();
    EXPECT_EQ(B.DS->State(), dsEdit);
    EXPECT_EQ(I->Picture()->Width(), 8);
    B.DS->Post();
    const String Stored = B.DS->FieldByName("Graphic")->AsString();
    TBitmap Back;
    TMemoryStream S(std::vector<uint8_t>(Stored.begin(), Stored.end()));
    Back.LoadFromStream(S);
    ASSERT_EQ(Back.Width(), 8);
    EXPECT_EQ(Back.Canvas()->Pixels(6, 6), clYellow);

    // The other record is untouched; coming back shows the stored picture.
    B.DS->Next();
    EXPECT_EQ(BitmapPixel(*I->WorkBitmap(), 1, 1), clLime);
    B.DS->First();
    EXPECT_EQ(BitmapPixel(*I->WorkBitmap(), 7, 0), clLime);
    EXPECT_EQ(BitmapPixel(*I->WorkBitmap(), 0, 7), clBlue);

    // Cut empties the field on posting; escape would show it again first.
    I->CutToClipboard();
    EXPECT_TRUE(I->IsPictureEmpty());
    I->Perform(WM_CHAR, 27);
    EXPECT_FALSE(I->IsPictureEmpty()) << "escape shows the field's picture again";
    B.DS->Edit();
    I->CutToClipboard();
    EXPECT_TRUE(I->IsPictureEmpty());
    B.DS->Post();
    EXPECT_TRUE(B.DS->FieldByName("Graphic")->IsNull());

    // Moving records without editing writes nothing.
    B.DS->Next();
    B.DS->First();
    EXPECT_FALSE(B.DS->Modified());
    EXPECT_EQ(B.DS->State(), dsBrowse);
}

TEST(ImagerDB, PictureTypesAndNonBlobFields)
{
    TShownErrors Errors;
    auto DS = MakeTable({{"Id", ftInteger}, {"Graphic", ftGraphic}, {"Name", ftString, 10}},
                        {{1, JpegBytes(), "a"}, {2, IconBytes(), "b"}}, "Pics");
    TBound B = Bind(std::move(DS), "Graphic");
    TnvDBImager* I = B.Imager;
    // Read as a bitmap, a JPEG file is bad data: no picture, no error.
    EXPECT_TRUE(I->IsPictureEmpty());
    EXPECT_TRUE(Errors.Messages.empty());

    I->SetPictureType(nvptJpg);
    ASSERT_FALSE(I->IsPictureEmpty());
    EXPECT_NE(dynamic_cast<TJPEGImage*>(I->Picture()->Graphic()), nullptr);
    const uint32_t C = static_cast<uint32_t>(BitmapPixel(*I->WorkBitmap(), 2, 2));
    EXPECT_GT(C & 0xFF, 200u) << "red, up to JPEG noise";
    EXPECT_LT((C >> 8) & 0xFF, 50u);

    // The program may choose the type per record.
    I->OnCalcPictureType = [](TnvDBImager* Img, TnvImagerPictureType& Type, String&) {
        if (Img->Field()->DataSet()->FieldByName("Name")->AsString() == "b")
            Type = nvptIcon;
    };
    B.DS->Next();
    ASSERT_NE(dynamic_cast<TnvIcon*>(I->Picture()->Graphic()), nullptr);
    EXPECT_EQ(BitmapPixel(*I->WorkBitmap(), 8, 8), clBlue);

    // An unknown JPEG class changes nothing.
    I->OnCalcPictureType = [](TnvDBImager*, TnvImagerPictureType& Type, String& Name) {
        Type = nvptJpg;
        Name = "TNoSuchImage";
    };
    B.DS->First();
    EXPECT_TRUE(I->IsPictureEmpty());
    I->OnCalcPictureType = nullptr;

    // A field that is not a blob loads nothing.
    I->SetDataField("Name");
    EXPECT_TRUE(I->IsPictureEmpty());
    B.DS->Next();
    EXPECT_TRUE(I->IsPictureEmpty());
    EXPECT_EQ(reinterpret_cast<TFieldDataLink*>(I->Perform(CM_GETDATALINK)), I->DataLink());
}

TEST(ImagerDB, PaintsBorderBackgroundAndPicture)
{
    auto DS = MakeTable({{"Id", ftInteger}, {"Graphic", ftGraphic}}, {{1, Solid(10, 6, clRed)}}, "Pics");
    TBound B = Bind(std::move(DS), "Graphic");
    TnvDBImager* I = B.Imager;
    QImage Shot = Shoot(*B.Form);
    if (const QByteArray Dir = qgetenv("ZEN_IMAGER_DUMP"); !Dir.isEmpty())
        Shot.save(QString::fromLocal8Bit(Dir) + "/dbimager.png");
    // Sunken edge, then the picture at the client origin on clWindow, and
    // the frame of the form's active control around the client area.
    ASSERT_EQ(B.Form->ActiveControl(), I);
    EXPECT_EQ(ShotPixel(Shot, 10, 10), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ShotPixel(Shot, 12, 30), ColorToRGB(clWindowFrame));
    EXPECT_EQ(ShotPixel(Shot, 13, 13), clRed);
    EXPECT_EQ(ShotPixel(Shot, 21, 17), clRed);
    EXPECT_EQ(ShotPixel(Shot, 22, 13), ColorToRGB(clWindow));
    EXPECT_EQ(ShotPixel(Shot, 13, 18), ColorToRGB(clWindow));

    I->SetBorderStyle(bsNone);
    I->SetDrawStyle(dsCenter);
    Shot = Shoot(*B.Form);
    // x = 32 - 5, y = 22 - 3.
    EXPECT_EQ(ShotPixel(Shot, 10 + 27, 10 + 19), clRed);
    EXPECT_EQ(ShotPixel(Shot, 10 + 26, 10 + 19), ColorToRGB(clWindow));
    EXPECT_EQ(ShotPixel(Shot, 11, 11), ColorToRGB(clWindow));
    // A transparent imager shows the form where the picture has its
    // top-left colour and draws no background.
    auto Spot = MakePicture(10, 6, [](int X, int) { return X < 5 ? clWhite : clGreen; });
    I->SetDataSource(nullptr);
    I->Picture()->SetGraphic(Spot.get());
    I->SetTransparent(true);
    Shot = Shoot(*B.Form);
    EXPECT_EQ(ShotPixel(Shot, 10 + 28, 10 + 20), clFuchsia);
    EXPECT_EQ(ShotPixel(Shot, 10 + 34, 10 + 20), clGreen);
    EXPECT_EQ(ShotPixel(Shot, 10 + 5, 10 + 5), clFuchsia);

    // A freed data source is let go.
    I->SetDataSource(B.Source.get());
    B.Source.reset();
    EXPECT_EQ(I->DataSource(), nullptr);
}

TEST(ImagerDB, LeavingWithAFailedUpdatePassesTheErrorOn)
{
    auto DS = MakeTable({{"Id", ftInteger}, {"Graphic", ftGraphic}}, {{1, Solid(6, 4, clRed)}}, "Pics");
    TBound B = Bind(std::move(DS), "Graphic");
    TnvDBImager* I = B.Imager;
    B.DS->FieldByName("Graphic")->OnValidate = [](TField*) { throw EDatabaseError("Pictures are locked"); };
    int Exits = 0;
    I->OnExit = [&](TObject*) { ++Exits; };
    auto Pic = MakeQuadrants(4, 4);
    B.DS->Edit();
    I->Picture()->SetGraphic(Pic.get());
    EXPECT_THROW(I->Perform(CM_EXIT), EDatabaseError);
    EXPECT_EQ(Exits, 0) << "the exit event waits for a good update";
    EXPECT_EQ(B.DS->State(), dsEdit);
    B.DS->FieldByName("Graphic")->OnValidate = nullptr;
    I->Perform(CM_EXIT);
    EXPECT_EQ(Exits, 1);
    B.DS->Post();
    EXPECT_NE(B.DS->FieldByName("Graphic")->AsString(), Solid(6, 4, clRed));
}

TEST(ImagerDB, StoredFormBindsTheImager)
{
    const String Text = "object Host: TForm\n"
                        "  object Source1: TDataSource\n"
                        "  end\n"
                        "  object nvDBImager1: TnvDBImager\n"
                        "    Left = 4\n"
                        "    DataSource = Source1\n"
                        "    DataField = 'Graphic'\n"
                        "    PictureType = nvptJpg\n"
                        "    DrawStyle = dsProportionalCenter\n"
                        "    BitmapOptions.GrayScale = True\n"
                        "    BitmapOptions.Wave.XDiv = 3\n"
                        "  end\n"
                        "end\n";
    std::unique_ptr<TComponent> Root(ReadComponentFromText(Text, nullptr, nullptr));
    auto* I = dynamic_cast<TnvDBImager*>(Root->FindComponent("nvDBImager1"));
    ASSERT_NE(I, nullptr);
    EXPECT_EQ(I->DataSource(), Root->FindComponent("Source1"));
    EXPECT_EQ(I->DataField(), "Graphic");
    EXPECT_EQ(I->PictureType(), nvptJpg);
    EXPECT_EQ(I->DrawStyle(), dsProportionalCenter);
    EXPECT_TRUE(I->BitmapOptions()->GrayScale());
    EXPECT_EQ(I->BitmapOptions()->Wave()->XDiv(), 3);
    EXPECT_EQ(I->Color(), clWindow);
    // Written back, it stores what differs from a new imager.
    const String Back = ComponentToText(Root.get());
    EXPECT_NE(Back.find("PictureType = nvptJpg"), String::npos) << Back;
    EXPECT_NE(Back.find("DataSource = Source1"), String::npos) << Back;
    EXPECT_EQ(Back.find("AutoDisplay"), String::npos) << Back;
}

TEST(ImagerDB, KeysCopyThePictureWithoutEffects)
{
    auto Quad = MakeQuadrants(8, 6);
    auto DS = MakeTable({{"Id", ftInteger}, {"Graphic", ftGraphic}}, {{1, BmpBytes(*Quad)}}, "Pics");
    TBound B = Bind(std::move(DS), "Graphic");
    TnvDBImager* I = B.Imager;
    I->BitmapOptions()->SetInverted(true);
    ASSERT_EQ(BitmapPixel(*I->WorkBitmap(), 0, 0), clAqua);
    QGuiApplication::clipboard()->clear();
    I->Perform(WM_CHAR, 3); // Ctrl+C
    const QImage Copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(Copied.size(), QSize(8, 6));
    EXPECT_EQ(ShotPixel(Copied, 0, 0), clRed) << "the picture itself, not the working bitmap";

    // A read-only link does not let Ctrl+X cut.
    I->SetReadOnly(true);
    I->Perform(WM_CHAR, 24);
    EXPECT_FALSE(I->IsPictureEmpty());
    EXPECT_EQ(B.DS->State(), dsBrowse);
    I->SetReadOnly(false);
    I->Perform(WM_CHAR, 24);
    EXPECT_TRUE(I->IsPictureEmpty());
    EXPECT_EQ(B.DS->State(), dsEdit);
    B.DS->Cancel();
    EXPECT_FALSE(I->IsPictureEmpty()) << "cancelling shows the stored picture again";
}

TEST(ImagerDB, PaintsACopyFromTheFieldWithoutEffects)
{
    auto DS = MakeTable({{"Id", ftInteger}, {"Graphic", ftGraphic}}, {{1, Solid(10, 5, clRed)}}, "Pics");
    TBound B = Bind(std::move(DS), "Graphic");
    TnvDBImager* I = B.Imager;
    I->SetBorderStyle(bsNone);
    I->SetDrawStyle(dsProportional);
    I->BitmapOptions()->SetInverted(true);
    I->SetControlState(I->ControlState() | csPaintCopy);
    const QImage Shot = Shoot(*B.Form);
    // 10 x 5 fitted into 64 x 44: 64 x 32 at the top, on clWindow.
    EXPECT_EQ(ShotPixel(Shot, 10 + 1, 10 + 1), clRed);
    EXPECT_EQ(ShotPixel(Shot, 10 + 62, 10 + 30), clRed);
    EXPECT_EQ(ShotPixel(Shot, 10 + 30, 10 + 40), ColorToRGB(clWindow));
}
