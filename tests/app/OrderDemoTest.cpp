// The order window: borderless and cut to its picture, its tab buttons open
// the outlook bar's pages, the addresses on the ordering page behave as
// links, the title drags the window and the round button closes it.
#include <gtest/gtest.h>

#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <memory>

#include "DemoInput.h"
#include "DemoShot.h"
#include "OrderDemo.h"
#include "ShapedWindowChecks.h"
#include "TestDump.h"
#include "nvCommon.h"

namespace {

std::unique_ptr<TOrderForm> MakeForm()
{
    InitApplication();
    auto Form = std::unique_ptr<TOrderForm>(
        CheckedCast<TOrderForm>(CreateFormInstance(ClassOf<TOrderForm>(), Application)));
    Form->Show();
    ActivateWindowOf(Form.get());
    QApplication::processEvents();
    return Form;
}

TnvShapeBtn* Button(TOrderForm* Form, const char* Name)
{
    return CheckedCast<TnvShapeBtn>(Form->FindComponent(Name));
}

// The point of the edit's text area over the middle of the character at
// Position of its plain text.
QPoint OverCharacter(TCustomRichEdit* Edit, int Position)
{
    QTextEdit* E = Edit->Editor();
    QTextCursor C(E->document());
    C.setPosition(Position);
    const QRect Left = E->cursorRect(C);
    C.setPosition(Position + 1);
    const QRect Right = E->cursorRect(C);
    return QPoint((Left.left() + Right.left()) / 2, Left.center().y());
}

TEST(OrderDemoTest, ShapedByItsPicture)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "Zentavo ImageForm - Make your form take on any shape.");
    EXPECT_EQ(Form->BorderStyle(), bsNone);
    ASSERT_TRUE(Form->HasWindowRegion());
    EXPECT_EQ(Form->WindowRegion(), RegionFromGraphic(Form->nvImageForm1->Picture()->Graphic(), Form->nvImageForm1->KeyColor()));
    const struct {
        QPoint P;
        bool Inside;
    } Points[] = {{{0, 0}, false},   {{330, 4}, true},   {{20, 120}, true}, {{20, 152}, false},
                  {{300, 250}, true}, {{559, 0}, false}, {{0, 399}, false}};
    for (const auto& C : Points)
        EXPECT_EQ(Form->WindowRegion().contains(C.P), C.Inside) << C.P.x() << "," << C.P.y();
    ExpectControlsInsideTheOutline(Form.get());
    // The page buttons sit on the picture's tabs.
    for (const char* Name : {"PricesButton", "OrderingButton", "AboutButton"}) {
        TnvShapeBtn* B = Button(Form.get(), Name);
        EXPECT_TRUE(Form->WindowRegion().contains(QPoint(B->Left() + 10, B->Top() + B->Height() / 2))) << Name;
    }
    DumpPng(Form->grab().toImage(), "order-demo");
}

TEST(OrderDemoTest, ButtonsOpenTheirPages)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->OrderBar->ActivePage()->Name(), "PricesPage");
    const struct {
        const char* Button;
        const char* Page;
        int Index;
    } Steps[] = {{"OrderingButton", "OrderingPage", 1}, {"AboutButton", "AboutPage", 2}, {"PricesButton", "PricesPage", 0}};
    for (const auto& S : Steps) {
        SCOPED_TRACE(S.Button);
        ClickLikeAUser(Button(Form.get(), S.Button));
        EXPECT_TRUE(Button(Form.get(), S.Button)->Down());
        EXPECT_EQ(Form->OrderBar->ActivePage()->Name(), S.Page);
        TnvOutlookPanel* Panel = Form->OrderBar->OutlookItems()->Page(S.Index)->Panel();
        EXPECT_TRUE(Panel->Visible());
        EXPECT_EQ(Panel->BoundsRect(), TRect(0, 0, 418, 280));
    }
}

TEST(OrderDemoTest, AddressesBehaveAsLinks)
{
    auto Form = MakeForm();
    std::vector<String> Opened;
    Form->OpenAddress = [&](const String& A) {
        Opened.push_back(A);
        return true;
    };
    ClickLikeAUser(Button(Form.get(), "OrderingButton"));
    DumpPng(Form->grab().toImage(), "order-demo-ordering");
    TnvDemoRichEdit* Edit = Form->OrderingEdit;
    QWidget* Area = Edit->Editor()->viewport();
    const QString Text = Edit->Document()->toPlainText();
    const int Web = Text.indexOf("www.zentavo.example");
    const int Mail = Text.indexOf("sales@zentavo.example");
    const int Plain = Text.indexOf("Order on line");
    ASSERT_GE(Web, 0);
    ASSERT_GE(Mail, 0);
    ASSERT_GE(Plain, 0);
    const Qt::CursorShape Own = Area->cursor().shape();

    MouseMove(Area, OverCharacter(Edit, Web + 6));
    EXPECT_EQ(Edit->Cursor(), crHandPoint);
    EXPECT_EQ(Area->cursor().shape(), Qt::PointingHandCursor);
    MouseMove(Area, OverCharacter(Edit, Plain + 2));
    EXPECT_EQ(Edit->Cursor(), crDefault);
    EXPECT_EQ(Area->cursor().shape(), Own);
    MouseMove(Area, OverCharacter(Edit, Mail + 12));
    EXPECT_EQ(Edit->Cursor(), crHandPoint);

    MousePress(Area, OverCharacter(Edit, Plain + 2));
    MouseRelease(Area, OverCharacter(Edit, Plain + 2));
    EXPECT_TRUE(Opened.empty());
    MousePress(Area, OverCharacter(Edit, Web + 1));
    MouseRelease(Area, OverCharacter(Edit, Web + 1));
    MousePress(Area, OverCharacter(Edit, Mail + 20));
    MouseRelease(Area, OverCharacter(Edit, Mail + 20));
    EXPECT_EQ(Opened, (std::vector<String>{"http://www.zentavo.example", "mailto:sales@zentavo.example"}));
    // A right press opens nothing.
    MousePress(Area, OverCharacter(Edit, Web + 1), Qt::RightButton);
    MouseRelease(Area, OverCharacter(Edit, Web + 1), Qt::RightButton);
    EXPECT_EQ(Opened.size(), 2u);
}

TEST(OrderDemoTest, TitleDragsTheWindow)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->nvImageForm1->CaptionBarControl(), Form->TitleLabel);
    const TPoint Start(Form->Left(), Form->Top());
    const QPoint Press = Form->TitleLabel->mapToGlobal(QPoint(60, 20));
    QPointer<TOrderForm> Guard = Form.get();
    bool Ran = false;
    QTimer::singleShot(0, [&] {
        Ran = true;
        if (!Guard)
            return;
        MouseMove(Guard, Guard->mapFromGlobal(Press + QPoint(-25, 12)), Qt::LeftButton);
        MouseRelease(Guard, Guard->mapFromGlobal(Press + QPoint(-25, 12)));
    });
    MousePress(Form->TitleLabel, Form->TitleLabel->mapFromGlobal(Press));
    for (int I = 0; I < 5 && !Ran; ++I)
        QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_TRUE(Ran);
    EXPECT_EQ(TPoint(Form->Left(), Form->Top()), TPoint(Start.X - 25, Start.Y + 12));
}

TEST(OrderDemoTest, CloseButtonClosesAndTheWindowOpensAgain)
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
