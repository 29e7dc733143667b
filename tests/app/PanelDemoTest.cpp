// The group box demonstration: the colour combos colour both boxes,
// "Transparent" lets the backdrop through both and disables the combos,
// "Full Border" and the caption-indent up-down apply to both, and a box
// shows its focused colour only while it holds the focus.
#include <gtest/gtest.h>

#include <memory>

#include "DemoInput.h"
#include "DemoShot.h"
#include "PanelDemo.h"
#include "TestDump.h"

namespace {

std::unique_ptr<TPanelDemoForm> MakeForm()
{
    InitApplication();
    return std::unique_ptr<TPanelDemoForm>(
        CheckedCast<TPanelDemoForm>(CreateFormInstance(ClassOf<TPanelDemoForm>(), Application)));
}

// The colour of a box's inside (below the caption, left of its children).
QRgb InsideColour(TForm* Form, TnvGroupBox* Box)
{
    const QImage Shot = Form->grab().toImage();
    const QPoint P = Box->mapTo(Form, QPoint(6, Box->Height() - 8));
    return Shot.pixel(P) & 0xFFFFFFu;
}

QRgb Rgb(TColor Colour)
{
    return ColorToQRgb(Colour) & 0xFFFFFFu;
}

// Picks the next colour of a colour combo with the Down key.
TColor NextColour(TnvColorCombo* Combo)
{
    Combo->SetFocus();
    TypeKey(Combo->LineEdit(), Qt::Key_Down);
    return Combo->SelectedColor();
}

TEST(PanelDemoTest, ColourCombosColourBothBoxes)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "Zentavo GroupBox Demo");
    Form->Show();
    // The window opens with the focus in the first edit of the address box:
    // that box shows its colour, the payment box its unfocused colour.
    ASSERT_TRUE(Form->AddressBox->FocusedInside());
    EXPECT_EQ(InsideColour(Form.get(), Form->AddressBox), Rgb(clWhite));
    EXPECT_EQ(InsideColour(Form.get(), Form->PaymentBox), Rgb(clCream));

    const TColor Unfocused = NextColour(Form->NonFocusColorCombo);
    ASSERT_NE(Unfocused, clCream);
    for (TnvGroupBox* Box : Form->Boxes())
        EXPECT_EQ(Box->Frame()->NonFocusColor(), Unfocused);
    const TColor Focused = NextColour(Form->ColorCombo);
    ASSERT_NE(Focused, clWhite);
    for (TnvGroupBox* Box : Form->Boxes())
        EXPECT_EQ(Box->Color(), Focused);
    // The combos hold the focus now: both boxes are unfocused.
    for (TnvGroupBox* Box : Form->Boxes())
        EXPECT_EQ(InsideColour(Form.get(), Box), Rgb(Unfocused)) << Box->Name();

    // A click into the card number gives the payment box its focused
    // colour; the address box keeps the unfocused one.
    auto* Edit = CheckedCast<TEdit>(Form->FindComponent("CardEdit"));
    ClickAt(Edit->LineEdit(), QPoint(5, 5));
    if (!Edit->Focused())
        Edit->SetFocus();
    EXPECT_TRUE(Form->PaymentBox->FocusedInside());
    EXPECT_EQ(InsideColour(Form.get(), Form->PaymentBox), Rgb(Focused));
    EXPECT_EQ(InsideColour(Form.get(), Form->AddressBox), Rgb(Unfocused));
    DumpPng(Form->grab().toImage(), "panel-demo-focus");
}

TEST(PanelDemoTest, TransparentLetsTheBackdropThroughAndDisablesTheCombos)
{
    auto Form = MakeForm();
    Form->Show();
    ClickLikeAUser(Form->TransparentCheck);
    ASSERT_TRUE(Form->TransparentCheck->Checked());
    for (TnvGroupBox* Box : Form->Boxes())
        EXPECT_TRUE(Box->Transparent()) << Box->Name();
    EXPECT_FALSE(Form->ColorCombo->Enabled());
    EXPECT_FALSE(Form->NonFocusColorCombo->Enabled());
    // The inside of the payment box below its edit shows the backdrop's
    // tile exactly as the backdrop alone draws it there.
    const QImage Shot = Form->grab().toImage();
    const QImage Backdrop = CheckedCast<TControl>(Form->FindComponent("Backdrop"))->grab().toImage();
    TnvGroupBox* Box = Form->PaymentBox;
    int Differ = 0;
    for (int Y = Box->Height() - 22; Y < Box->Height() - 6; ++Y)
        for (int X = 6; X < Box->Width() - 6; ++X) {
            const QPoint P = Box->mapTo(Form.get(), QPoint(X, Y));
            Differ += (Shot.pixel(P) & 0xFFFFFFu) != (Backdrop.pixel(P) & 0xFFFFFFu);
        }
    EXPECT_EQ(Differ, 0);
    DumpPng(Shot, "panel-demo-transparent");

    ClickLikeAUser(Form->TransparentCheck);
    for (TnvGroupBox* Box : Form->Boxes()) {
        EXPECT_FALSE(Box->Transparent()) << Box->Name();
        // The check box holds the focus: both boxes show the unfocused colour.
        EXPECT_EQ(InsideColour(Form.get(), Box), Rgb(clCream)) << Box->Name();
    }
    EXPECT_TRUE(Form->ColorCombo->Enabled());
    EXPECT_TRUE(Form->NonFocusColorCombo->Enabled());
}

TEST(PanelDemoTest, FullBorderAndCaptionIndentApplyToBothBoxes)
{
    auto Form = MakeForm();
    Form->Show();
    std::vector<int> Tops;
    for (TnvGroupBox* Box : Form->Boxes()) {
        EXPECT_FALSE(Box->FullBorder());
        Tops.push_back(Box->FrameRect().Top);
    }
    ClickLikeAUser(Form->FullBorderCheck);
    for (size_t I = 0; I < Tops.size(); ++I) {
        TnvGroupBox* Box = Form->Boxes()[I];
        EXPECT_TRUE(Box->FullBorder());
        EXPECT_GT(Box->FrameRect().Top, Tops[I]) << "the border runs below the caption";
    }
    ClickLikeAUser(Form->FullBorderCheck);
    for (TnvGroupBox* Box : Form->Boxes())
        EXPECT_FALSE(Box->FullBorder());

    // The up-down's arrows (upper half up, lower half down) move the indent of both captions.
    TUpDown* UpDown = Form->IndentUpDown;
    ASSERT_EQ(UpDown->Position(), 8);
    for (int I = 0; I < 3; ++I)
        ClickAt(UpDown, QPoint(UpDown->Width() / 2, UpDown->Height() / 4));
    EXPECT_EQ(UpDown->Position(), 11);
    for (TnvGroupBox* Box : Form->Boxes())
        EXPECT_EQ(Box->CaptionIndent(), 11);
    for (int I = 0; I < 12; ++I)
        ClickAt(UpDown, QPoint(UpDown->Width() / 2, UpDown->Height() * 3 / 4));
    EXPECT_EQ(UpDown->Position(), 3) << "the up-down stops at the smallest indent a box takes";
    for (TnvGroupBox* Box : Form->Boxes())
        EXPECT_EQ(Box->CaptionIndent(), 3);
}

TEST(PanelDemoTest, OpensAndClosesRepeatedly)
{
    InitApplication();
    const int Before = Application->ComponentCount();
    for (int I = 0; I < 3; ++I) {
        auto Form = MakeForm();
        Form->Show();
        ClickLikeAUser(Form->TransparentCheck);
        Form->Close();
    }
    EXPECT_EQ(Application->ComponentCount(), Before);
}

} // namespace
