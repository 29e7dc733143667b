// The poll window: borderless and cut to its clipboard picture, with
// transparent custom-framed edits and combos that show the paper through
// them until they have the focus; the answers, given with the mouse and
// the keyboard, are summed up; the title drags the window and the red
// button closes it.
#include <gtest/gtest.h>

#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <memory>

#include "DemoInput.h"
#include "DemoShot.h"
#include "FrameDemo.h"
#include "TestDump.h"
#include "nvCommon.h"

namespace {

std::unique_ptr<TFrameDemo> MakeForm()
{
    InitApplication();
    auto Form = std::unique_ptr<TFrameDemo>(
        CheckedCast<TFrameDemo>(CreateFormInstance(ClassOf<TFrameDemo>(), Application)));
    Form->Show();
    ActivateWindowOf(Form.get());
    QApplication::processEvents();
    return Form;
}

// The picture's pixel at a point of the form.
QRgb PicturePixel(TFrameDemo* Form, QPoint P)
{
    auto* Bitmap = dynamic_cast<TBitmap*>(Form->nvImageForm1->Picture()->Graphic());
    return ColorToQRgb(Bitmap->Canvas()->Pixels(P.x(), P.y())) & 0xFFFFFFu;
}

TEST(FrameDemoTest, ShapedByItsPicture)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "FrameDemo");
    EXPECT_EQ(Form->BorderStyle(), bsNone);
    ASSERT_TRUE(Form->HasWindowRegion());
    EXPECT_EQ(Form->WindowRegion(),
              RegionFromGraphic(Form->nvImageForm1->Picture()->Graphic(), Form->nvImageForm1->KeyColor()));
    // The clip stands out above the board; its hole and the corners are outside.
    const struct {
        QPoint P;
        bool Inside;
    } Points[] = {{{240, 4}, true}, {{240, 36}, false}, {{20, 4}, false}, {{0, 459}, false}, {{240, 300}, true}};
    for (const auto& C : Points)
        EXPECT_EQ(Form->WindowRegion().contains(C.P), C.Inside) << C.P.x() << "," << C.P.y();
    for (int I = 0; I < Form->ControlCount(); ++I) {
        TControl* C = Form->Controls(I);
        if (!C->Visible() || dynamic_cast<TnvImageForm*>(C))
            continue;
        const int In = std::min({6, C->Width() / 2, C->Height() / 2});
        for (const QPoint P : {QPoint(C->Left() + In, C->Top() + In),
                               QPoint(C->Left() + C->Width() - 1 - In, C->Top() + C->Height() - 1 - In)})
            EXPECT_TRUE(Form->WindowRegion().contains(P)) << C->Name();
    }
}

TEST(FrameDemoTest, FramedFieldsShowThePaperUntilFocused)
{
    auto Form = MakeForm();
    DumpPng(Form->grab().toImage(), "frame-demo");
    struct TField {
        TnvCustomCombo* Combo;
        TnvEditFocusStyle NonFocusStyle;
    };
    const TField Fields[] = {{Form->DevelopersEdit, efsFrameSingle},
                             {Form->BudgetEdit, efsFrameSunken},
                             {Form->ButtonColourCombo, efsFrameEtched},
                             {Form->BackColourCombo, efsFrameBump}};
    for (const TField& F : Fields) {
        SCOPED_TRACE(F.Combo->Name());
        EXPECT_TRUE(F.Combo->Frame()->Enabled());
        EXPECT_TRUE(F.Combo->Frame()->Transparent());
        EXPECT_EQ(F.Combo->Frame()->NonFocusStyle(), F.NonFocusStyle);
    }
    // The first field has the focus when the window opens: it draws its
    // full box. Tabbed away from, it keeps only its bottom line, so its top
    // row shows the paper.
    TnvCalcEdit* Edit = Form->DevelopersEdit;
    const QPoint Top = Edit->mapTo(Form.get(), QPoint(Edit->Width() / 3, 0));
    auto Shown = [&](QPoint P) { return Form->grab().toImage().pixel(P) & 0xFFFFFFu; };
    ASSERT_TRUE(Edit->Focused());
    EXPECT_NE(Shown(Top), PicturePixel(Form.get(), Top));
    TypeKey(Edit->LineEdit(), Qt::Key_Tab);
    EXPECT_FALSE(Edit->Focused());
    EXPECT_TRUE(Form->BudgetEdit->Focused());
    EXPECT_EQ(Shown(Top), PicturePixel(Form.get(), Top));
    DumpPng(Form->grab().toImage(), "frame-demo-budget");
    TypeKey(Form->BudgetEdit->LineEdit(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(Edit->Focused());
    EXPECT_NE(Shown(Top), PicturePixel(Form.get(), Top));
}

TEST(FrameDemoTest, AnswersAreSummedUp)
{
    auto Form = MakeForm();
    auto* Send = CheckedCast<TnvShapeBtn>(Form->FindComponent("SendButton"));
    ClickLikeAUser(Send);
    String S = Form->ResultLabel->Caption();
    EXPECT_NE(S.find("3 developers"), String::npos) << S;
    EXPECT_NE(S.find("you use Buttons, Labels"), String::npos) << S;
    EXPECT_NE(S.find("from the web"), String::npos) << S;
    EXPECT_NE(S.find("buttons in Navy on Silver"), String::npos) << S;

    // New answers: twelve developers, combos used too, heard from a friend,
    // another button colour.
    TnvCalcEdit* Edit = Form->DevelopersEdit;
    ClickAt(Edit->LineEdit(), QPoint(4, Edit->LineEdit()->height() / 2));
    Edit->SelectAll();
    TypeKey(Edit->LineEdit(), Qt::Key_1, Qt::NoModifier, "1");
    TypeKey(Edit->LineEdit(), Qt::Key_2, Qt::NoModifier, "2");
    EXPECT_EQ(Edit->Text(), "12");
    ClickLikeAUser(Form->UsesGroup->ButtonItems()->Item(2)->Button());
    ClickLikeAUser(Form->UsesGroup->ButtonItems()->Item(0)->Button());
    ClickLikeAUser(Form->HeardGroup->ButtonItems()->Item(0)->Button());
    Form->ButtonColourCombo->SetFocus();
    TypeKey(Form->ButtonColourCombo->LineEdit(), Qt::Key_Down);
    const String Colour = Form->ButtonColourCombo->Text();
    EXPECT_NE(Colour, "Navy");
    ClickLikeAUser(Send);
    S = Form->ResultLabel->Caption();
    EXPECT_NE(S.find("12 developers"), String::npos) << S;
    EXPECT_NE(S.find("you use Labels, Combos;"), String::npos) << S;
    EXPECT_NE(S.find("from a friend"), String::npos) << S;
    EXPECT_NE(S.find("buttons in " + Colour), String::npos) << S;
    DumpPng(Form->grab().toImage(), "frame-demo-answered");
}

TEST(FrameDemoTest, TitleDragsTheWindow)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->nvImageForm1->CaptionBarControl(), Form->TitleLabel);
    const TPoint Start(Form->Left(), Form->Top());
    const QPoint Press = Form->TitleLabel->mapToGlobal(QPoint(200, 20));
    QPointer<TFrameDemo> Guard = Form.get();
    bool Ran = false;
    QTimer::singleShot(0, [&] {
        Ran = true;
        if (!Guard)
            return;
        MouseMove(Guard, Guard->mapFromGlobal(Press + QPoint(30, -20)), Qt::LeftButton);
        MouseRelease(Guard, Guard->mapFromGlobal(Press + QPoint(30, -20)));
    });
    MousePress(Form->TitleLabel, Form->TitleLabel->mapFromGlobal(Press));
    for (int I = 0; I < 5 && !Ran; ++I)
        QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_TRUE(Ran);
    EXPECT_EQ(TPoint(Form->Left(), Form->Top()), TPoint(Start.X + 30, Start.Y - 20));
}

TEST(FrameDemoTest, CloseButtonClosesAndTheWindowOpensAgain)
{
    InitApplication();
    const int Before = Application->ComponentCount();
    for (int I = 0; I < 3; ++I) {
        auto Form = MakeForm();
        ClickLikeAUser(Form->CloseButton);
        EXPECT_FALSE(Form->Visible());
    }
    EXPECT_EQ(Application->ComponentCount(), Before);
}

} // namespace
