// The shape button demonstration window: "Prev" and "Next" step through the
// pages, the orientation group turns and restacks the L buttons and the
// arrow, the hot-tracking button turns red and back, other buttons colour
// their captions, and the picked colour recolours the sample.
#include <gtest/gtest.h>

#include <memory>

#include "DemoInput.h"
#include "DemoShot.h"
#include "ShapeBtnDemo.h"
#include "TestDump.h"

namespace {

std::unique_ptr<TShapeBtnDemoForm> MakeForm()
{
    InitApplication();
    return std::unique_ptr<TShapeBtnDemoForm>(
        CheckedCast<TShapeBtnDemoForm>(CreateFormInstance(ClassOf<TShapeBtnDemoForm>(), Application)));
}

TnvShapeBtn* Button(TForm* Form, const char* Name)
{
    return CheckedCast<TnvShapeBtn>(Form->FindComponent(Name));
}

TEST(ShapeBtnDemoTest, PrevAndNextStepThroughThePages)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "Demonstration of the Zentavo ShapeButton");
    Form->Show();
    TPageControl* Pages = Form->PageControl1;
    ASSERT_EQ(Pages->PageCount(), 5);
    EXPECT_EQ(Pages->ActivePageIndex(), 0);
    TnvShapeBtn* Prev = Button(Form.get(), "PrevButton");
    TnvShapeBtn* Next = Button(Form.get(), "NextButton");
    struct TStep {
        TnvShapeBtn* Button;
        int Page;
    };
    // Forward to the end and round to the first page, then back past it.
    const TStep Steps[] = {{Next, 1}, {Next, 2}, {Next, 3}, {Next, 4}, {Next, 0}, {Prev, 4}, {Prev, 3}};
    for (const TStep& S : Steps) {
        ClickLikeAUser(S.Button);
        EXPECT_EQ(Pages->ActivePageIndex(), S.Page);
        DumpPng(Form->grab().toImage(), ("shape-demo-page" + std::to_string(S.Page + 1)).c_str());
    }
}

TEST(ShapeBtnDemoTest, OrientationTurnsTheArrowAndRestacksTheLButtons)
{
    auto Form = MakeForm();
    Form->Show();
    Form->PageControl1->SetActivePageIndex(1);
    TnvShapeBtn* Arrow = Form->OrientedArrow;
    for (int I = 0; I < 3; ++I)
        EXPECT_EQ(Form->LButtons[I]->BoundsRect(), TShapeBtnDemoForm::LButtonBounds(I, soUp)) << I;
    // Where the arrow's tip lies in its box for each orientation.
    struct TCase {
        int Item;
        TnvShapeOrientation Orientation;
        QPoint Tip;     // as a fraction of the box, in quarters
        QPoint Corner;  // a corner beside the tip, outside the arrow
    };
    const TCase Cases[] = {{3, soRight, {4, 2}, {4, 0}},
                           {1, soDown, {2, 4}, {0, 4}},
                           {2, soLeft, {0, 2}, {0, 0}},
                           {0, soUp, {2, 0}, {0, 0}}};
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Item);
        ClickAt(Form->OrientationRadioGroup, CentreOf(Form->OrientationRadioGroup->ButtonRect(C.Item)));
        EXPECT_EQ(Arrow->Orientation(), C.Orientation);
        const int W = Arrow->Width() - 1;
        const int H = Arrow->Height() - 1;
        auto At = [&](QPoint Q) { return QPoint(W * Q.x() / 4, H * Q.y() / 4); };
        const QPoint Tip = At(C.Tip) + QPoint(C.Tip.x() == 4 ? -2 : C.Tip.x() == 0 ? 2 : 0,
                                              C.Tip.y() == 4 ? -2 : C.Tip.y() == 0 ? 2 : 0);
        EXPECT_TRUE(Arrow->WindowRegion().contains(Tip)) << Tip.x() << "," << Tip.y();
        EXPECT_FALSE(Arrow->WindowRegion().contains(At(C.Corner)));
        for (int I = 0; I < 3; ++I) {
            TnvShapeBtn* L = Form->LButtons[I];
            EXPECT_EQ(L->Orientation(), C.Orientation);
            EXPECT_EQ(L->BoundsRect(), TShapeBtnDemoForm::LButtonBounds(I, C.Orientation));
            // Stacked: one after the other without overlapping, inside the page.
            if (I > 0)
                EXPECT_FALSE(QRect(L->Left(), L->Top(), L->Width(), L->Height())
                                 .intersects(QRect(Form->LButtons[I - 1]->Left(), Form->LButtons[I - 1]->Top(),
                                                   Form->LButtons[I - 1]->Width(), Form->LButtons[I - 1]->Height())));
            EXPECT_LE(L->Left() + L->Width(), L->Parent()->ClientWidth());
            EXPECT_LE(L->Top() + L->Height(), L->Parent()->ClientHeight());
        }
        DumpPng(Form->grab().toImage(), ("shape-demo-orientation" + std::to_string(C.Item)).c_str());
    }
}

TEST(ShapeBtnDemoTest, HotButtonTurnsRedAndBack)
{
    auto Form = MakeForm();
    Form->Show();
    Form->PageControl1->SetActivePageIndex(4);
    TnvShapeBtn* Hot = Form->HotButton;
    TnvShapeBtn Reference(nullptr);
    Reference.UpdateShadeColors(MakeColor(0x0000FF));
    MouseEnter(Hot, QPoint(Hot->Width() / 2, Hot->Height() / 2));
    EXPECT_EQ(Hot->Color(), MakeColor(0x0000FF));
    EXPECT_EQ(Hot->Font()->Color(), clWhite);
    EXPECT_EQ(Hot->TextOptions()->HighlightColor(), MakeColor(0xA0A0FF));
    EXPECT_EQ(Hot->TextOptions()->ShadeColor(), MakeColor(0x000080));
    EXPECT_EQ(Hot->ShadeColors()->BtnShadow(), Reference.ShadeColors()->BtnShadow());
    EXPECT_EQ(Hot->ShadeColors()->BtnHighlight(), Reference.ShadeColors()->BtnHighlight());
    const QImage Red = Hot->grab().toImage();
    EXPECT_EQ(Red.pixel(Hot->Width() / 2, 8) & 0xFFFFFFu, 0xFF0000u);
    MouseLeave(Hot);
    EXPECT_EQ(Hot->Color(), clBtnFace);
    EXPECT_EQ(Hot->Font()->Color(), clBlack);
    EXPECT_EQ(Hot->TextOptions()->ShadeColor(), clBtnShadow);
    EXPECT_EQ(Hot->TextOptions()->HighlightColor(), clBtnHighlight);
    EXPECT_EQ(Hot->ShadeColors()->Btn3DLight(), cl3DLight);
    const QImage Face = Hot->grab().toImage();
    EXPECT_EQ(Face.pixel(Hot->Width() / 2, 8) & 0xFFFFFFu, ColorToQRgb(clBtnFace) & 0xFFFFFFu);
}

TEST(ShapeBtnDemoTest, OtherButtonsColourTheirCaptions)
{
    auto Form = MakeForm();
    Form->Show();
    for (const char* Name : {"NextButton", "StarButton", "TrackDiamondButton", "GlyphTopButton"}) {
        SCOPED_TRACE(Name);
        TnvShapeBtn* B = Button(Form.get(), Name);
        MouseEnter(B, QPoint(B->Width() / 2, B->Height() / 2));
        EXPECT_EQ(B->Font()->Color(), clRed);
        MouseLeave(B);
        EXPECT_EQ(B->Font()->Color(), clBlack);
    }
}

TEST(ShapeBtnDemoTest, PickedColourRecoloursTheSample)
{
    auto Form = MakeForm();
    Form->Show();
    Form->PageControl1->SetActivePageIndex(2);
    TnvColorCombo* Combo = Form->ColourCombo;
    TnvShapeBtn* Sample = Form->ColourSample;
    EXPECT_EQ(Sample->Color(), Combo->SelectedColor());
    Combo->SetFocus();
    for (int Step = 0; Step < 3; ++Step) {
        const TColor Before = Combo->SelectedColor();
        TypeKey(Combo->LineEdit(), Qt::Key_Down);
        SCOPED_TRACE(Step);
        EXPECT_NE(Combo->SelectedColor(), Before);
        EXPECT_EQ(Sample->Color(), Combo->SelectedColor());
        TnvShapeBtn Reference(nullptr);
        Reference.UpdateShadeColors(Combo->SelectedColor());
        EXPECT_EQ(Sample->ShadeColors()->BtnShadow(), Reference.ShadeColors()->BtnShadow());
        EXPECT_EQ(Sample->ShadeColors()->Btn3DLight(), Reference.ShadeColors()->Btn3DLight());
    }
}

TEST(ShapeBtnDemoTest, OpensAndClosesRepeatedly)
{
    InitApplication();
    const int Before = Application->ComponentCount();
    for (int I = 0; I < 4; ++I) {
        auto Form = MakeForm();
        Form->Show();
        ClickLikeAUser(CheckedCast<TnvShapeBtn>(Form->FindComponent("NextButton")));
        Form->Close();
    }
    EXPECT_EQ(Application->ComponentCount(), Before);
}

} // namespace
