// The image combo: its items' captions become the combo's items, each item
// draws its picture before its caption, the keyboard picks items as in any
// drop-down list, and the items and the image list round-trip through the
// form file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>

#include <memory>

#include "ComboEx.h"
#include "FormStream.h"
#include "Forms.h"

namespace {

std::unique_ptr<TForm> NewForm()
{
    InitApplication();
    auto Form = std::make_unique<TForm>();
    Form->SetBounds(0, 0, 300, 200);
    return Form;
}

// An image list of solid 16 x 16 pictures in the given colours.
TImageList* SolidImages(TComponent* Owner, std::initializer_list<QRgb> Colours)
{
    auto* List = new TImageList(Owner);
    List->SetName("Pictures");
    for (QRgb C : Colours) {
        QImage I(16, 16, QImage::Format_ARGB32);
        I.fill(C);
        List->AddImage32(I);
    }
    return List;
}

struct TComboFixture {
    std::unique_ptr<TForm> Form = NewForm();
    TImageList* Images = SolidImages(Form.get(), {qRgb(255, 0, 0), qRgb(0, 160, 0)});
    TComboBoxEx* Combo = new TComboBoxEx(Form.get());

    TComboFixture()
    {
        Combo->SetName("Combo");
        Combo->SetParent(Form.get());
        Combo->SetBounds(10, 10, 160, 24);
        Combo->SetImages(Images);
        Combo->ItemsEx()->AddItem("Red", 0);
        Combo->ItemsEx()->AddItem("Green", 1, 1);
        Combo->ItemsEx()->AddItem("Plain");
        Combo->SetItemIndex(0);
        Form->Show();
    }
    QImage Face() const { return Combo->ComboBox()->grab().toImage(); }
    // The face's picture place (the list's item rectangle of the closed combo).
    QPoint ImageCentre() const
    {
        const QImage F = Face();
        // The picture's first red or green column, scanning the middle row.
        for (int X = 0; X < F.width(); ++X) {
            const QRgb P = F.pixel(X, F.height() / 2) & 0xFFFFFFu;
            if (P == 0xFF0000u || P == 0x00A000u)
                return QPoint(X + 8, F.height() / 2);
        }
        return QPoint(-1, -1);
    }
};

TEST(ComboEx, ItemsFollowTheCaptions)
{
    TComboFixture F;
    TStrings* Items = F.Combo->Items();
    ASSERT_EQ(Items->Count(), 3);
    EXPECT_EQ(Items->Get(0), "Red");
    EXPECT_EQ(Items->Get(2), "Plain");
    F.Combo->ItemsEx()->Items(1)->SetCaption("Lime");
    EXPECT_EQ(Items->Get(1), "Lime");
    EXPECT_EQ(F.Combo->ItemIndex(), 0);
    F.Combo->SetItemIndex(2);
    F.Combo->ItemsEx()->Delete(0);
    ASSERT_EQ(Items->Count(), 2);
    EXPECT_EQ(Items->Get(0), "Lime");
    // The selected entry was the third; it is now the second.
    EXPECT_EQ(F.Combo->ItemIndex(), 1);
    EXPECT_EQ(F.Combo->Text(), "Plain");
    // An item inserted before it moves it on; deleting it selects nothing.
    static_cast<TComboExItem*>(F.Combo->ItemsEx()->Insert(0))->SetCaption("Blue");
    EXPECT_EQ(F.Combo->Items()->Get(0), "Blue");
    EXPECT_EQ(F.Combo->ItemIndex(), 2);
    EXPECT_EQ(F.Combo->Text(), "Plain");
    F.Combo->ItemsEx()->Delete(2);
    EXPECT_EQ(F.Combo->ItemIndex(), -1);
    EXPECT_EQ(F.Combo->Items()->Count(), 2);
    EXPECT_THROW(F.Combo->ItemsEx()->Items(0)->SetIndent(-1), EInvalidOperation);
    // Items are tall enough for their pictures.
    EXPECT_GE(F.Combo->ItemHeight(), 18);
}

TEST(ComboEx, FaceShowsThePictureBeforeTheCaption)
{
    TComboFixture F;
    const QPoint Centre = F.ImageCentre();
    ASSERT_GE(Centre.x(), 0);
    EXPECT_EQ(F.Face().pixel(Centre) & 0xFFFFFFu, 0xFF0000u);
    // The caption lies to the right of the picture: dark text pixels there,
    // none to the left of it.
    auto DarkIn = [](const QImage& I, int X0, int X1) {
        int N = 0;
        for (int Y = 3; Y < I.height() - 3; ++Y)
            for (int X = X0; X < X1; ++X)
                N += qGray(I.pixel(X, Y)) < 60;
        return N;
    };
    QImage Face = F.Face();
    EXPECT_GT(DarkIn(Face, Centre.x() + 10, Centre.x() + 60), 10);
    F.Combo->SetItemIndex(1);
    Face = F.Face();
    EXPECT_EQ(Face.pixel(Centre) & 0xFFFFFFu, 0x00A000u) << "the face ignores the indentation";
    // An item without a picture keeps the picture's place empty, and its
    // caption starts where the others' do.
    F.Combo->SetItemIndex(2);
    Face = F.Face();
    EXPECT_NE(Face.pixel(Centre) & 0xFFFFFFu, 0xFF0000u);
    EXPECT_NE(Face.pixel(Centre) & 0xFFFFFFu, 0x00A000u);
    EXPECT_GT(DarkIn(Face, Centre.x() + 10, Centre.x() + 60), 10);
    EXPECT_EQ(DarkIn(Face, Centre.x() - 8, Centre.x() + 8), 0);
}

TEST(ComboEx, KeyboardPicksItemsAndReportsTheChange)
{
    TComboFixture F;
    int Changes = 0;
    F.Combo->OnChange = [&](TObject*) { ++Changes; };
    F.Combo->SetFocus();
    QWidget* Target = F.Combo->ComboBox();
    QKeyEvent Down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(Target, &Down);
    EXPECT_EQ(F.Combo->ItemIndex(), 1);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(F.Face().pixel(F.ImageCentre()) & 0xFFFFFFu, 0x00A000u);
    // Setting the index by program reports nothing.
    F.Combo->SetItemIndex(0);
    EXPECT_EQ(Changes, 1);
}

TEST(ComboEx, ImageListGoneLeavesCaptionsOnly)
{
    TComboFixture F;
    delete F.Images;
    EXPECT_EQ(F.Combo->Images(), nullptr);
    const QImage Face = F.Face();
    for (int X = 0; X < Face.width(); ++X)
        EXPECT_NE(Face.pixel(X, Face.height() / 2) & 0xFFFFFFu, 0xFF0000u) << X;
}

TEST(ComboEx, FormFileRoundTrip)
{
    const String Text = R"(object F: TForm
  object Pictures: TImageList
  end
  object Combo: TComboBoxEx
    Images = Pictures
    ItemIndex = 1
    ItemsEx = <
      item
        Caption = 'Dither'
        ImageIndex = 0
      end
      item
        Caption = 'Blend'
        ImageIndex = 1
        Indent = 2
      end>
    TabOrder = 0
  end
end
)";
    InitApplication();
    TForm Form;
    ReadComponentFromText(Text, &Form);
    auto* Combo = dynamic_cast<TComboBoxEx*>(Form.FindComponent("Combo"));
    ASSERT_NE(Combo, nullptr);
    EXPECT_EQ(Combo->Images(), Form.FindComponent("Pictures"));
    ASSERT_EQ(Combo->ItemsEx()->Count(), 2);
    EXPECT_EQ(Combo->ItemsEx()->Items(1)->Indent(), 2);
    EXPECT_EQ(Combo->Items()->Count(), 2);
    EXPECT_EQ(Combo->ItemIndex(), 1);
    EXPECT_EQ(Combo->Text(), "Blend");
    EXPECT_EQ(ComponentToText(&Form), Text);
}

} // namespace
