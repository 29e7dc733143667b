// The label demonstration window: the button group selects the pages, the
// radio group styles the sample, the advertisement hot-tracks and opens the
// ordering page, and every label of every page lies inside its page.
#include <gtest/gtest.h>

#include <memory>

#include "DemoInput.h"
#include "DemoShot.h"
#include "LabelDemo.h"
#include "TestDump.h"

namespace {

std::unique_ptr<TLabelForm> MakeForm()
{
    InitApplication();
    return std::unique_ptr<TLabelForm>(
        CheckedCast<TLabelForm>(CreateFormInstance(ClassOf<TLabelForm>(), Application)));
}

TEST(LabelDemoTest, ButtonGroupSelectsThePages)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "The Ultimate Label Control...");
    Form->Show();
    ASSERT_EQ(Form->PageGroup->ButtonItems()->Count(), 5);
    ASSERT_EQ(Form->PageControl1->PageCount(), 5);
    EXPECT_EQ(Form->PageControl1->ActivePage()->Name(), "TabSheet1");
    for (int Tag : {3, 5, 1, 4, 2}) {
        SCOPED_TRACE(Tag);
        TnvCustomBitBtn* Button = Form->PageGroup->ButtonItems()->Item(Tag - 1)->Button();
        ASSERT_EQ(Button->Tag(), Tag);
        ClickLikeAUser(Button);
        EXPECT_TRUE(Button->Down());
        EXPECT_EQ(Form->PageControl1->ActivePage()->Name(), "TabSheet" + std::to_string(Tag));
        DumpPng(Form->grab().toImage(), ("label-demo-page" + std::to_string(Tag)).c_str());
    }
    // Shown again, the window opens on its first page.
    Form->Hide();
    Form->Show();
    EXPECT_EQ(Form->PageControl1->ActivePage()->Name(), "TabSheet1");
    EXPECT_TRUE(Form->PageGroup->ButtonItems()->Item(0)->Button()->Down());
}

TEST(LabelDemoTest, RadioGroupStylesTheSample)
{
    auto Form = MakeForm();
    Form->Show();
    EXPECT_EQ(Form->SampleLabel->TextOptions()->Style(), nvlsRaised);
    // Navy pixels (the outline colour) inside the sample show the outline.
    auto NavyPixels = [&] {
        const QImage Shot = Form->grab().toImage();
        const QRect R(Form->SampleLabel->mapTo(Form.get(), QPoint(0, 0)), Form->SampleLabel->size());
        int N = 0;
        for (int Y = R.top(); Y <= R.bottom(); ++Y)
            for (int X = R.left(); X <= R.right(); ++X)
                N += (Shot.pixel(X, Y) & 0xFFFFFFu) == 0x000080u;
        return N;
    };
    EXPECT_EQ(NavyPixels(), 0);
    const TnvTextStyle Expected[] = {nvlsDefault, nvlsLowered, nvlsRaised, nvlsOutline};
    for (int I : {3, 0, 1, 3, 2}) {
        SCOPED_TRACE(I);
        ClickAt(Form->StyleRadioGroup, CentreOf(Form->StyleRadioGroup->ButtonRect(I)));
        EXPECT_EQ(Form->StyleRadioGroup->ItemIndex(), I);
        EXPECT_EQ(Form->SampleLabel->TextOptions()->Style(), Expected[I]);
        if (I == 3)
            EXPECT_GT(NavyPixels(), 100);
        else
            EXPECT_EQ(NavyPixels(), 0);
    }
}

TEST(LabelDemoTest, AdvertisementHotTracksAndOpensTheOrderPage)
{
    auto Form = MakeForm();
    std::vector<String> Opened;
    Form->OpenAddress = [&](const String& Address) {
        Opened.push_back(Address);
        return true;
    };
    Form->Show();
    TnvLabel* Ad = Form->AdLabel;
    EXPECT_EQ(Ad->Caption(), "Buy Zentavo Now!");
    EXPECT_EQ(Ad->Font()->Color(), clBlack);
    MouseEnter(Ad);
    EXPECT_EQ(Ad->Font()->Color(), MakeColor(0xFF0000));
    // The blue shows in the drawn text.
    const QImage Hot = Form->grab().toImage();
    const QRect R(Ad->mapTo(Form.get(), QPoint(0, 0)), Ad->size());
    int Blue = 0;
    for (int Y = R.top(); Y <= R.bottom(); ++Y)
        for (int X = R.left(); X <= R.right(); ++X)
            Blue += (Hot.pixel(X, Y) & 0xFFFFFFu) == 0x0000FFu;
    EXPECT_GT(Blue, 50);
    MouseLeave(Ad);
    EXPECT_EQ(Ad->Font()->Color(), clBlack);
    EXPECT_TRUE(Opened.empty());
    ClickLikeAUser(Ad);
    ASSERT_EQ(Opened.size(), 1u);
    EXPECT_EQ(Opened[0], ZentavoOrderPage);
}

TEST(LabelDemoTest, LabelsLieInsideTheirPages)
{
    auto Form = MakeForm();
    Form->Show();
    for (int P = 0; P < Form->PageControl1->PageCount(); ++P) {
        TTabSheet* Sheet = Form->PageControl1->Pages(P);
        Form->PageControl1->SetActivePage(Sheet);
        for (int I = 0; I < Sheet->ControlCount(); ++I) {
            TControl* C = Sheet->Controls(I);
            SCOPED_TRACE(C->Name());
            EXPECT_GE(C->Left(), 0);
            EXPECT_GE(C->Top(), 0);
            EXPECT_LE(C->Left() + C->Width(), Sheet->ClientWidth());
            EXPECT_LE(C->Top() + C->Height(), Sheet->ClientHeight());
        }
    }
}

TEST(LabelDemoTest, OpensAndClosesRepeatedly)
{
    InitApplication();
    const int Before = Application->ComponentCount();
    for (int I = 0; I < 4; ++I) {
        auto Form = MakeForm();
        Form->Show();
        ClickLikeAUser(Form->PageGroup->ButtonItems()->Item(I % 5)->Button());
        Form->Close();
    }
    EXPECT_EQ(Application->ComponentCount(), Before);
}

} // namespace
