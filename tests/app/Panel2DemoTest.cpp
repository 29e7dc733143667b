// The panel demonstration: entering a panel colours its label red and
// leaving gives it the window text colour back; the frame combo frames every
// panel; the colour lists colour every panel with and without the focus; and
// "Transparent" makes every panel transparent with a note in the status bar.
#include <gtest/gtest.h>

#include <memory>

#include "DemoInput.h"
#include "DemoShot.h"
#include "Panel2Demo.h"
#include "TestDump.h"

namespace {

std::unique_ptr<TPanel2DemoForm> MakeForm()
{
    InitApplication();
    return std::unique_ptr<TPanel2DemoForm>(
        CheckedCast<TPanel2DemoForm>(CreateFormInstance(ClassOf<TPanel2DemoForm>(), Application)));
}

QRgb Rgb(TColor Colour)
{
    return ColorToQRgb(Colour) & 0xFFFFFFu;
}

// The colour inside a panel, right of its label and above its edit.
QRgb InsideColour(TForm* Form, TnvPanel* Panel)
{
    const QImage Shot = Form->grab().toImage();
    return Shot.pixel(Panel->mapTo(Form, QPoint(Panel->Width() - 8, 14))) & 0xFFFFFFu;
}

TEdit* EditOf(TForm* Form, TnvPanel* Panel)
{
    return CheckedCast<TEdit>(Form->FindComponent("Edit" + std::to_string(Panel->Tag())));
}

// The focus moves into an edit as a click into it moves it.
void EnterEdit(TEdit* Edit)
{
    ClickAt(Edit->LineEdit(), QPoint(4, 4));
    if (!Edit->Focused())
        Edit->SetFocus();
}

TEST(Panel2DemoTest, EnteringAPanelColoursItsLabelAndItsBackground)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "Panel2DemoForm");
    Form->Show();
    ASSERT_EQ(Form->Panels().size(), 6u);
    // The window opens with the focus in the first panel's edit.
    for (TnvPanel* Panel : Form->Panels()) {
        const bool First = Panel == Form->Panels()[0];
        EXPECT_EQ(Form->PanelLabel(Panel)->Font()->Color(), First ? clRed : clWindowText) << Panel->Name();
        EXPECT_EQ(InsideColour(Form.get(), Panel), Rgb(First ? clCream : clWhite)) << Panel->Name();
    }
    TnvPanel* Previous = Form->Panels()[0];
    for (int I : {2, 5, 0}) {
        TnvPanel* Panel = Form->Panels()[I];
        SCOPED_TRACE(Panel->Name());
        EnterEdit(EditOf(Form.get(), Panel));
        EXPECT_EQ(Form->PanelLabel(Panel)->Font()->Color(), clRed);
        EXPECT_EQ(InsideColour(Form.get(), Panel), Rgb(clCream)) << "the focused colour";
        if (Previous) {
            EXPECT_EQ(Form->PanelLabel(Previous)->Font()->Color(), clWindowText);
            EXPECT_EQ(InsideColour(Form.get(), Previous), Rgb(clWhite));
        }
        Previous = Panel;
    }
    DumpPng(Form->grab().toImage(), "panel2-demo-focus");
}

TEST(Panel2DemoTest, FrameComboFramesEveryPanel)
{
    auto Form = MakeForm();
    Form->Show();
    struct TCase {
        const char* Text;
        bool Enabled;
        TnvEditFocusStyle Style;
    };
    const TCase Cases[] = {{"No Frame (Normal)", false, efsFrameSunken}, {"Sunken", true, efsFrameSunken},
                           {"Flat", true, efsFrameSingle},               {"FrameBox", true, efsFrameBox},
                           {"Raised", true, efsFrameRaised},             {"Etched", true, efsFrameEtched},
                           {"Bump", true, efsFrameBump}};
    ASSERT_EQ(Form->FrameCombo->Items()->Count(), 7);
    EXPECT_EQ(Form->FrameCombo->ItemIndex(), 1);
    Form->FrameCombo->SetFocus();
    // Walk down the list with the arrow key, then back up to the top.
    for (int I = 2; I < 7; ++I) {
        TypeKey(Form->FrameCombo->ComboBox(), Qt::Key_Down);
        ASSERT_EQ(Form->FrameCombo->ItemIndex(), I);
        EXPECT_EQ(Form->FrameCombo->Items()->Strings(I), Cases[I].Text);
        for (TnvPanel* Panel : Form->Panels()) {
            EXPECT_TRUE(Panel->Frame()->Enabled()) << Cases[I].Text;
            EXPECT_EQ(Panel->Frame()->FocusStyle(), Cases[I].Style) << Cases[I].Text;
            EXPECT_EQ(Panel->Frame()->NonFocusStyle(), Cases[I].Style) << Cases[I].Text;
        }
    }
    const QImage Bump = Form->grab().toImage();
    for (int I = 5; I >= 0; --I)
        TypeKey(Form->FrameCombo->ComboBox(), Qt::Key_Up);
    ASSERT_EQ(Form->FrameCombo->ItemIndex(), 0);
    for (TnvPanel* Panel : Form->Panels())
        EXPECT_FALSE(Panel->Frame()->Enabled());
    // Without the frame the panels show their bevels: the drawn edge changes.
    const QImage Plain = Form->grab().toImage();
    TnvPanel* First = Form->Panels()[0];
    const QPoint Edge = First->mapTo(Form.get(), QPoint(First->Width() / 2, 1));
    EXPECT_NE(Bump.pixel(Edge), Plain.pixel(Edge));
}

TEST(Panel2DemoTest, ColourListsColourEveryPanel)
{
    auto Form = MakeForm();
    Form->Show();
    auto ClickItem = [](TnvColorList* List, int Index) {
        List->SetTopIndex(Index);
        ClickAt(List->ListWidget()->viewport(), CentreOf(List->ItemRect(Index)));
        EXPECT_EQ(List->ItemIndex(), Index);
        return List->SelectedColor();
    };
    const TColor Unfocused = ClickItem(Form->NonFocusColorList, 3);
    const TColor Focused = ClickItem(Form->FocusColorList, 5);
    ASSERT_NE(Unfocused, Focused);
    ASSERT_NE(Rgb(Unfocused), Rgb(Focused));
    for (TnvPanel* Panel : Form->Panels()) {
        EXPECT_EQ(Panel->Frame()->NonFocusColor(), Unfocused) << Panel->Name();
        EXPECT_EQ(Panel->Color(), Focused) << Panel->Name();
    }
    TnvPanel* Third = Form->Panels()[2];
    EnterEdit(EditOf(Form.get(), Third));
    EXPECT_EQ(InsideColour(Form.get(), Third), Rgb(Focused));
    EXPECT_EQ(InsideColour(Form.get(), Form->Panels()[1]), Rgb(Unfocused));
}

TEST(Panel2DemoTest, TransparentMakesEveryPanelTransparentWithANote)
{
    auto Form = MakeForm();
    Form->Show();
    TnvStatusPanel* Info = Form->StatusBar1->Panels()->Items(0);
    const String Start = Info->Text();
    EXPECT_FALSE(Start.empty());
    ClickLikeAUser(Form->TransparentCheck);
    for (TnvPanel* Panel : Form->Panels())
        EXPECT_TRUE(Panel->Transparent()) << Panel->Name();
    EXPECT_EQ(Info->Text(), "Focus/NonFocus Colors ignored when Transparent");
    // The backdrop shows inside: no panel keeps its own colour there.
    for (TnvPanel* Panel : Form->Panels())
        EXPECT_NE(InsideColour(Form.get(), Panel), Rgb(clWhite)) << Panel->Name();
    DumpPng(Form->grab().toImage(), "panel2-demo-transparent");
    ClickLikeAUser(Form->TransparentCheck);
    for (TnvPanel* Panel : Form->Panels()) {
        EXPECT_FALSE(Panel->Transparent()) << Panel->Name();
        EXPECT_EQ(InsideColour(Form.get(), Panel), Rgb(clWhite)) << Panel->Name();
    }
    EXPECT_EQ(Info->Text(), Start);
}

TEST(Panel2DemoTest, OpensAndClosesRepeatedly)
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
