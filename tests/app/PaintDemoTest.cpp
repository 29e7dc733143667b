// The paint program: the information window on the first activation only,
// the paper cleared to white when shown, the rubber band in the not-XOR pen
// mode and the final figure in the copy mode, and the tools, pen and brush
// styles from the outlook lists and the colours from the combos.
#include <gtest/gtest.h>

#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

#include "DemoInput.h"
#include "DemoShot.h"
#include "PaintDemo.h"
#include "TestDump.h"

namespace {

std::unique_ptr<TPaintForm> MakeForm()
{
    InitApplication();
    auto Form =
        std::unique_ptr<TPaintForm>(CheckedCast<TPaintForm>(CreateFormInstance(ClassOf<TPaintForm>(), Application)));
    Form->Show();
    ActivateWindowOf(Form.get());
    QApplication::processEvents();
    return Form;
}

QRgb At(TPaintForm* Form, int X, int Y)
{
    return ColorToQRgb(Form->Picture()->Canvas()->Pixels(X, Y)) & 0xFFFFFFu;
}

QRgb Rgb(TColor C)
{
    return ColorToQRgb(C) & 0xFFFFFFu;
}

// Opens the bar's page of the list and clicks the list's item.
void Pick(TPaintForm* Form, TnvOutlookList* List, int Item)
{
    for (int I = 0; I < Form->PaletteBar->OutlookItems()->Count(); ++I)
        if (Form->PaletteBar->OutlookItems()->Page(I)->OutlookList() == List)
            ClickLikeAUser(Form->PaletteBar->OutlookItems()->Item(I)->Button());
    List->grab();
    TnvOutlookListItem* It = List->Items()->Items(Item);
    ClickAt(List, CentreOf(It->ItemRect()));
    ASSERT_TRUE(It->Selected()) << It->Text();
}

// A drag on the paper through the given points.
void Drag(TPaintForm* Form, std::vector<QPoint> Points)
{
    MousePress(Form->PaintBox, Points.front());
    for (size_t I = 1; I < Points.size(); ++I)
        MouseMove(Form->PaintBox, Points[I], Qt::LeftButton);
    MouseRelease(Form->PaintBox, Points.back());
}

TEST(PaintDemoTest, InformationWindowOnTheFirstActivationOnly)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "Paint");
    ASSERT_NE(Form->InfoForm, nullptr);
    EXPECT_EQ(Form->InfoForm->Caption(), "Outlook Bars!");
    EXPECT_TRUE(Form->InfoForm->Visible());
    TInfoForm* First = Form->InfoForm;
    DumpPng(First->grab().toImage(), "paint-demo-info");
    ClickLikeAUser(CheckedCast<TControl>(First->FindComponent("OkButton")));
    EXPECT_FALSE(First->Visible());
    // Activated again: no second window.
    Form->Hide();
    Form->Show();
    ActivateWindowOf(Form.get());
    QApplication::processEvents();
    EXPECT_EQ(Form->InfoForm, First);
    EXPECT_FALSE(First->Visible());
    int Infos = 0;
    for (int I = 0; I < Form->ComponentCount(); ++I)
        Infos += dynamic_cast<TInfoForm*>(Form->Components(I)) != nullptr;
    EXPECT_EQ(Infos, 1);
}

TEST(PaintDemoTest, InformationWindowDoesNotHoldUpTheModalPaintWindow)
{
    InitApplication();
    std::unique_ptr<TPaintForm> Form(CheckedCast<TPaintForm>(CreateFormInstance(ClassOf<TPaintForm>(), Application)));
    QPointer<TPaintForm> Guard = Form.get();
    QWidget* ModalSeen = nullptr;
    bool InfoShown = false;
    int Polls = 0;
    std::function<void()> Poll = [&] {
        if (!Guard)
            return;
        if ((!Guard->InfoForm || !Guard->InfoForm->Visible()) && ++Polls < 200) {
            if (!Guard->isActiveWindow())
                ActivateWindowOf(Guard);
            QTimer::singleShot(5, Poll);
            return;
        }
        InfoShown = Guard->InfoForm && Guard->InfoForm->Visible();
        ModalSeen = QApplication::activeModalWidget();
        Guard->Close();
    };
    QTimer::singleShot(5, Poll);
    Form->ShowModal();
    EXPECT_TRUE(InfoShown);
    // The paint window stays the modal window: the information window is a
    // window of its own, in front of it.
    EXPECT_EQ(ModalSeen, Form.get());
    ASSERT_NE(Form->InfoForm, nullptr);
    EXPECT_EQ(Form->InfoForm->parentWidget(), Form.get());
}

TEST(PaintDemoTest, RubberBandInNotXorThenTheFigureInCopyMode)
{
    auto Form = MakeForm();
    const QRgb Pen = Rgb(Form->PenColorCombo->SelectedColor());
    const QRgb Brush = Rgb(Form->BrushColorCombo->SelectedColor());
    EXPECT_EQ(At(Form.get(), 10, 10), 0xFFFFFFu) << "the paper starts white";
    Pick(Form.get(), Form->ToolList, 1); // rectangles
    MousePress(Form->PaintBox, QPoint(50, 50));
    EXPECT_TRUE(Form->Drawing());
    MouseMove(Form->PaintBox, QPoint(150, 120), Qt::LeftButton);
    // On white, the not-XOR band shows the pen and brush colours themselves.
    EXPECT_EQ(At(Form.get(), 149, 80), Pen);
    EXPECT_EQ(At(Form.get(), 100, 80), Brush);
    MouseMove(Form->PaintBox, QPoint(100, 90), Qt::LeftButton);
    // The old band is gone, the new one is there.
    EXPECT_EQ(At(Form.get(), 149, 80), 0xFFFFFFu);
    EXPECT_EQ(At(Form.get(), 120, 100), 0xFFFFFFu);
    EXPECT_EQ(At(Form.get(), 99, 70), Pen);
    MouseRelease(Form->PaintBox, QPoint(120, 100));
    EXPECT_FALSE(Form->Drawing());
    // The figure ends where the mouse came up, in the copy mode.
    EXPECT_EQ(At(Form.get(), 119, 75), Pen);
    EXPECT_EQ(At(Form.get(), 99, 75), Brush);
    EXPECT_EQ(At(Form.get(), 50, 99), Pen);
    EXPECT_EQ(At(Form.get(), 121, 75), 0xFFFFFFu);
    EXPECT_EQ(At(Form.get(), 60, 101), 0xFFFFFFu);

    // A band over the figure mixes with it: not (pen xor paper).
    Pick(Form.get(), Form->ToolList, 0); // lines
    MousePress(Form->PaintBox, QPoint(40, 75));
    MouseMove(Form->PaintBox, QPoint(140, 75), Qt::LeftButton);
    EXPECT_EQ(At(Form.get(), 80, 75), ~(Pen ^ Brush) & 0xFFFFFFu);
    EXPECT_EQ(At(Form.get(), 130, 75), Pen) << "beyond the figure, on white";
    MouseRelease(Form->PaintBox, QPoint(140, 75));
    EXPECT_EQ(At(Form.get(), 80, 75), Pen);
    // What the paint box shows is the paper.
    const QImage Shown = Form->PaintBox->grab().toImage();
    EXPECT_EQ(Shown.pixel(80, 75) & 0xFFFFFFu, Pen);
    DumpPng(Form->grab().toImage(), "paint-demo-figures");
}

TEST(PaintDemoTest, StylesAndColoursComeFromTheListsAndCombos)
{
    auto Form = MakeForm();
    // A dashed pen leaves gaps in a line.
    Pick(Form.get(), Form->PenList, 1);
    Drag(Form.get(), {{20, 30}, {220, 30}});
    const QRgb Pen = Rgb(Form->PenColorCombo->SelectedColor());
    int Inked = 0;
    for (int X = 20; X < 220; ++X)
        Inked += At(Form.get(), X, 30) == Pen;
    EXPECT_GT(Inked, 60);
    EXPECT_LT(Inked, 180);
    // A clear brush leaves an ellipse's inside white; a new pen colour
    // draws its outline.
    Pick(Form.get(), Form->PenList, 0);
    Pick(Form.get(), Form->BrushList, 1);
    Pick(Form.get(), Form->ToolList, 2);
    Form->PenColorCombo->SetFocus();
    TypeKey(Form->PenColorCombo->LineEdit(), Qt::Key_Down);
    const QRgb NewPen = Rgb(Form->PenColorCombo->SelectedColor());
    EXPECT_NE(NewPen, Pen);
    Drag(Form.get(), {{40, 60}, {140, 160}});
    EXPECT_EQ(At(Form.get(), 90, 110), 0xFFFFFFu);
    EXPECT_EQ(At(Form.get(), 40, 110), NewPen);
    // A hatched brush fills with lines of its colour on white.
    Pick(Form.get(), Form->BrushList, 2);
    Pick(Form.get(), Form->ToolList, 1);
    Drag(Form.get(), {{200, 60}, {300, 160}});
    const QRgb Brush = Rgb(Form->BrushColorCombo->SelectedColor());
    int Hatched = 0, White = 0;
    for (int Y = 70; Y < 150; ++Y)
        for (int X = 210; X < 290; ++X) {
            Hatched += At(Form.get(), X, Y) == Brush;
            White += At(Form.get(), X, Y) == 0xFFFFFFu;
        }
    EXPECT_GT(Hatched, 300);
    EXPECT_GT(White, 3000);
    DumpPng(Form->grab().toImage(), "paint-demo-styles");

    // Shown again, the paper is white.
    Form->Hide();
    Form->Show();
    EXPECT_EQ(At(Form.get(), 40, 110), 0xFFFFFFu);
    EXPECT_EQ(At(Form.get(), 250, 110), 0xFFFFFFu);
}

TEST(PaintDemoTest, OpensAndClosesRepeatedly)
{
    InitApplication();
    const int Before = Application->ComponentCount();
    for (int I = 0; I < 3; ++I) {
        auto Form = MakeForm();
        Drag(Form.get(), {{10, 10}, {60, 40}});
        Form->Close();
    }
    EXPECT_EQ(Application->ComponentCount(), Before);
}

} // namespace
