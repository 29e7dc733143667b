// The image button demonstration window: the tabs select the pages and
// recolour their captions, switches and lights follow each other, tacks name
// their state, continents name themselves, and the combos set the dither
// colour, the dither style and the tint of the pictures.
#include <gtest/gtest.h>

#include <memory>

#include "DemoInput.h"
#include "DemoShot.h"
#include "ImageBtnDemo.h"
#include "TestDump.h"

namespace {

std::unique_ptr<TImageBtnDemoForm> MakeForm()
{
    InitApplication();
    return std::unique_ptr<TImageBtnDemoForm>(
        CheckedCast<TImageBtnDemoForm>(CreateFormInstance(ClassOf<TImageBtnDemoForm>(), Application)));
}

// A point inside a shaped button's outline, in its client coordinates.
QPoint InsideOutline(TWinControl* Button)
{
    const QRegion& R = Button->WindowRegion();
    if (R.isEmpty())
        return QPoint(Button->Width() / 2, Button->Height() / 2);
    const QRect Middle = *(R.begin() + R.rectCount() / 2);
    return Middle.center();
}

void ClickButton(TWinControl* Button)
{
    ClickAt(Button, InsideOutline(Button));
}

TEST(ImageBtnDemoTest, TabsSelectPagesAndRecolourTheirCaptions)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "Zentavo Image Button Demo");
    Form->Show();
    ASSERT_EQ(Form->TabGroup->ButtonItems()->Count(), 4);
    auto Tab = [&](int I) { return Form->TabGroup->ButtonItems()->Item(I - 1)->Button(); };
    EXPECT_EQ(Form->PageControl1->ActivePage()->Name(), "TabSheet1");
    EXPECT_EQ(Tab(1)->Font()->Color(), clYellow);
    int Old = 1;
    for (int I : {3, 2, 4, 1}) {
        SCOPED_TRACE(I);
        ClickButton(Tab(I));
        EXPECT_TRUE(Tab(I)->Down());
        EXPECT_EQ(Form->PageControl1->ActivePage()->Name(), "TabSheet" + std::to_string(I));
        EXPECT_EQ(Tab(I)->Font()->Color(), clYellow);
        EXPECT_EQ(Tab(Old)->Font()->Color(), clWhite);
        DumpPng(Form->grab().toImage(), ("imagebtn-demo-page" + std::to_string(I)).c_str());
        Old = I;
    }
}

TEST(ImageBtnDemoTest, SwitchesAndLightsFollowEachOther)
{
    auto Form = MakeForm();
    Form->Show();
    // The stored states agree pairwise.
    for (int I = 0; I < 3; ++I)
        EXPECT_EQ(Form->Switches[I]->Down(), Form->Lights[I]->Down()) << I;
    struct TStep {
        TnvImageBtn* Clicked;
        TnvImageBtn* Partner;
    };
    const TStep Steps[] = {{Form->Switches[0], Form->Lights[0]}, {Form->Lights[0], Form->Switches[0]},
                           {Form->Lights[2], Form->Switches[2]}, {Form->Switches[1], Form->Lights[1]},
                           {Form->WallSwitch, Form->Led},        {Form->Led, Form->WallSwitch},
                           {Form->Led, Form->WallSwitch}};
    for (const TStep& S : Steps) {
        SCOPED_TRACE(S.Clicked->Name());
        const bool Was = S.Clicked->Down();
        ClickButton(S.Clicked);
        EXPECT_EQ(S.Clicked->Down(), !Was);
        EXPECT_EQ(S.Partner->Down(), !Was);
        // The other pairs keep their states.
        for (int I = 0; I < 3; ++I)
            EXPECT_EQ(Form->Switches[I]->Down(), Form->Lights[I]->Down()) << I;
    }
    // A lit bulb shows its yellow picture.
    const QImage Lit = Form->Lights[2]->grab().toImage();
    EXPECT_EQ(Lit.pixel(30, 14) & 0xFFFFFFu, 0xFFF070u);
}

TEST(ImageBtnDemoTest, TacksNameTheirState)
{
    auto Form = MakeForm();
    Form->Show();
    Form->PageControl1->SetActivePageIndex(1);
    for (int I = 0; I < 3; ++I) {
        SCOPED_TRACE(I);
        const bool Was = Form->Tacks[I]->Down();
        EXPECT_EQ(Form->TackLabels[I]->Caption(), Was ? "Tack\r\n(In)" : "Tack\r\n(Out)");
        ClickButton(Form->Tacks[I]);
        EXPECT_EQ(Form->Tacks[I]->Down(), !Was);
        EXPECT_EQ(Form->TackLabels[I]->Caption(), !Was ? "Tack\r\n(In)" : "Tack\r\n(Out)");
    }
}

TEST(ImageBtnDemoTest, ContinentsNameThemselves)
{
    auto Form = MakeForm();
    Form->Show();
    Form->PageControl1->SetActivePageIndex(2);
    for (int Tag : {5, 1, 3, 6, 2, 4}) {
        TnvImageBtn* Continent = nullptr;
        for (int I = 0; I < Form->ComponentCount(); ++I)
            if (auto* B = dynamic_cast<TnvImageBtn*>(Form->Components(I));
                B && B->Name().rfind("Continent", 0) == 0 && B->Tag() == Tag)
                Continent = B;
        ASSERT_NE(Continent, nullptr) << Tag;
        ClickButton(Continent);
        EXPECT_TRUE(Continent->Down());
        EXPECT_EQ(Form->ContinentLabel->Caption(), TImageBtnDemoForm::ContinentNames[Tag - 1]);
    }
    EXPECT_EQ(String(TImageBtnDemoForm::ContinentNames[3]), "Africa");
}

TEST(ImageBtnDemoTest, CombosSetDitherColourStyleAndTint)
{
    auto Form = MakeForm();
    Form->Show();
    Form->PageControl1->SetActivePageIndex(1);
    TnvImageBtn* Pressed = Form->Puzzles[0];
    ASSERT_TRUE(Pressed->Down());
    EXPECT_EQ(Form->DitherStyleCombo->Text(), "DitherBlend");
    for (TnvImageBtn* B : Form->Puzzles)
        EXPECT_EQ(B->DitherStyle(), dsBlendDither);

    // Dither colour: every puzzle piece and butterfly takes the new colour.
    Form->DitherColorCombo->SetFocus();
    TypeKey(Form->DitherColorCombo->LineEdit(), Qt::Key_Down);
    const TColor Colour = Form->DitherColorCombo->SelectedColor();
    EXPECT_NE(Colour, clYellow);
    for (TnvImageBtn* B : Form->Puzzles)
        EXPECT_EQ(B->DitherColor(), Colour);
    for (TnvImageBtn* B : Form->Butterflies)
        EXPECT_EQ(B->DitherColor(), Colour);

    // The pressed piece's core: half its pixels in the dither colour while
    // blended, all of them once the style is a fill.
    auto DitherShare = [&] {
        const QImage I = Pressed->grab().toImage();
        const QRgb C = ColorToQRgb(Colour) & 0xFFFFFFu;
        int N = 0;
        for (int Y = 24; Y < 64; ++Y)
            for (int X = 24; X < 64; ++X)
                N += (I.pixel(X, Y) & 0xFFFFFFu) == C;
        return N / 1600.0;
    };
    EXPECT_NEAR(DitherShare(), 0.5, 0.05);
    Form->DitherStyleCombo->SetFocus();
    TypeKey(Form->DitherStyleCombo->ComboBox(), Qt::Key_Down);
    EXPECT_EQ(Form->DitherStyleCombo->Text(), "Fill");
    for (TnvImageBtn* B : Form->Puzzles)
        EXPECT_EQ(B->DitherStyle(), dsFill);
    for (TnvImageBtn* B : Form->Butterflies)
        EXPECT_EQ(B->DitherStyle(), dsDither) << "only the puzzle follows the style";
    EXPECT_NEAR(DitherShare(), 1.0, 0.01);
    TypeKey(Form->DitherStyleCombo->ComboBox(), Qt::Key_Up);
    TypeKey(Form->DitherStyleCombo->ComboBox(), Qt::Key_Up);
    EXPECT_EQ(Pressed->DitherStyle(), dsDither);
    DumpPng(Form->grab().toImage(), "imagebtn-demo-dither");

    // The tint of the ball and the heart.
    Form->PageControl1->SetActivePageIndex(3);
    Form->PictureColorCombo->SetFocus();
    TypeKey(Form->PictureColorCombo->LineEdit(), Qt::Key_Down);
    const TColor Tint = Form->PictureColorCombo->SelectedColor();
    EXPECT_NE(Tint, clTeal);
    EXPECT_EQ(Form->BallButton->Color(), Tint);
    EXPECT_EQ(Form->HeartButton->Color(), Tint);
}

TEST(ImageBtnDemoTest, OpensAndClosesRepeatedly)
{
    InitApplication();
    const int Before = Application->ComponentCount();
    for (int I = 0; I < 3; ++I) {
        auto Form = MakeForm();
        Form->Show();
        ClickButton(Form->Switches[I]);
        Form->Close();
    }
    EXPECT_EQ(Application->ComponentCount(), Before);
}

} // namespace
