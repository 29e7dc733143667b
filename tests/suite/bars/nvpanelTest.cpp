// The suite's panel and group box: transparency, the frame's focus colours,
// the group box's border and caption layouts on rendered pixels, and the
// stored form.
#include <gtest/gtest.h>

#include <QDir>

#include "FormStream.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "nvpanel.h"

namespace {

template <class Base>
class TRenderable : public Base {
public:
    explicit TRenderable(TComponent* AOwner = nullptr) : Base(AOwner) {}
    QImage Render()
    {
        QImage Image(this->Width(), this->Height(), QImage::Format_ARGB32_Premultiplied);
        Image.fill(Qt::transparent);
        this->PaintControl(Image);
        return Image;
    }
    void Enter() { this->DoEnter(); }
    void Exit() { this->DoExit(); }
};
using TTestPanel = TRenderable<TnvPanel>;
using TTestGroupBox = TRenderable<TnvGroupBox>;

QRgb Rgb(const QImage& I, int X, int Y)
{
    return I.pixel(X, Y) & 0xFFFFFFu;
}

QRgb Sys(TColor C)
{
    return ColorToQRgb(C) & 0xFFFFFFu;
}

TEST(nvPanel, TransparencyAndDesignTime)
{
    InitApplication();
    TForm Form;
    auto* Panel = new TTestPanel(&Form);
    Panel->SetParent(&Form);
    Panel->SetBounds(0, 0, 80, 40);
    Panel->SetBevelOuter(bvNone);
    EXPECT_EQ(Rgb(Panel->Render(), 40, 5), Sys(clBtnFace));
    Panel->SetTransparent(true);
    EXPECT_TRUE(Panel->IsTransparent());
    EXPECT_EQ(qAlpha(Panel->Render().pixel(40, 5)), 0); // the parent shows through
    // In the designer the panel is opaque.
    Form.SetDesigning(true);
    EXPECT_FALSE(Panel->IsTransparent());
    Form.SetDesigning(false);
}

TEST(nvPanel, NonFocusColorUntilAChildHasTheFocus)
{
    InitApplication();
    TForm Form;
    auto* Panel = new TTestPanel(&Form);
    Panel->SetParent(&Form);
    Panel->SetBounds(0, 0, 100, 50);
    Panel->Frame()->SetEnabled(true);
    Panel->Frame()->SetNonFocusColor(clYellow);
    Panel->Frame()->SetNonFocusFontColor(clRed);
    EXPECT_TRUE(Panel->FocusColorsDiffer());
    EXPECT_EQ(Rgb(Panel->Render(), 50, 10), Sys(clYellow));
    Panel->Enter();
    EXPECT_TRUE(Panel->FocusedInside());
    EXPECT_EQ(Rgb(Panel->Render(), 50, 10), Sys(clBtnFace));
    Panel->Exit();
    EXPECT_EQ(Rgb(Panel->Render(), 50, 10), Sys(clYellow));
    // A non-focus colour equal to the colour makes no difference.
    Panel->Frame()->SetNonFocusColor(clBtnFace);
    EXPECT_FALSE(Panel->FocusColorsDiffer());
    Panel->Frame()->SetEnabled(false);
    EXPECT_FALSE(Panel->FocusColorsDiffer());
}

TEST(nvGroupBox, BorderLayouts)
{
    InitApplication();
    TForm Form;
    auto* Box = new TTestGroupBox(&Form);
    Box->SetParent(&Form);
    Box->SetBounds(0, 0, 160, 80);
    Box->SetCaptionIndent(1);
    EXPECT_EQ(Box->CaptionIndent(), 3);
    Box->SetCaptionIndent(8);

    // Without a caption: a closed outline whose top edge is at 2 div 2 - 1 = 0.
    Box->SetCaption("");
    EXPECT_EQ(Box->FrameRect().Top, 0);
    QImage I = Box->Render();
    EXPECT_EQ(Rgb(I, 80, 0), Sys(clBtnShadow));
    EXPECT_EQ(Rgb(I, 80, 1), Sys(clBtnHighlight));
    EXPECT_EQ(Rgb(I, 0, 40), Sys(clBtnShadow));
    EXPECT_EQ(Rgb(I, 159, 40), Sys(clBtnHighlight));

    // A caption opens the top edge where it stands.
    Box->SetCaption("Options");
    const int H = Box->CaptionBoxHeight();
    const int Top = H / 2 - 1;
    EXPECT_EQ(Box->FrameRect().Top, Top);
    I = Box->Render();
    if (const QByteArray Dir = qgetenv("ZEN_BARS_DUMP"); !Dir.isEmpty())
        I.save(QDir(QString::fromLocal8Bit(Dir)).filePath("groupbox.png"));
    EXPECT_EQ(Rgb(I, 2, Top), Sys(clBtnShadow));   // the edge before the caption
    EXPECT_NE(Rgb(I, 20, Top), Sys(clBtnShadow));  // the gap under the caption
    EXPECT_EQ(Rgb(I, 150, Top), Sys(clBtnShadow)); // the edge after it

    // Full border: the border runs below the caption, unbroken.
    Box->SetFullBorder(true);
    EXPECT_EQ(Box->FrameRect().Top, H + 1);
    I = Box->Render();
    EXPECT_EQ(Rgb(I, 20, H + 1), Sys(clBtnShadow));
    EXPECT_EQ(Rgb(I, 150, H + 1), Sys(clBtnShadow));

    // The caption in its own box.
    Box->SetBorderAroundLabel(true);
    EXPECT_EQ(Box->CaptionBoxHeight(), H + 2);
    EXPECT_EQ(Box->FrameRect().Top, H + 2 - 2);
    I = Box->Render();
    EXPECT_EQ(Rgb(I, 5, 0), Sys(clBtnShadow));  // the label box's top edge
    EXPECT_EQ(Rgb(I, 5, 5), Sys(clBtnShadow));  // its left edge at x0 - 3
}

TEST(nvGroupBox, FlatBorderAndRightToLeftCaption)
{
    InitApplication();
    TForm Form;
    auto* Box = new TTestGroupBox(&Form);
    Box->SetParent(&Form);
    Box->SetBounds(0, 0, 160, 80);
    Box->SetCaption("Options");
    const int Top = Box->CaptionBoxHeight() / 2 - 1;

    // Without the 3D look: one outline in the window-frame colour on the frame
    // rectangle itself, no light line inside it.
    EXPECT_TRUE(Box->Ctl3D());
    Box->SetCtl3D(false);
    QImage I = Box->Render();
    EXPECT_EQ(Rgb(I, 0, 40), Sys(clWindowFrame));
    EXPECT_EQ(Rgb(I, 159, 40), Sys(clWindowFrame));
    EXPECT_EQ(Rgb(I, 80, 79), Sys(clWindowFrame));
    EXPECT_EQ(Rgb(I, 150, Top), Sys(clWindowFrame));
    EXPECT_EQ(Rgb(I, 1, 40), Sys(Form.Color())) << "no highlight line inside";
    EXPECT_EQ(Rgb(I, 158, 40), Sys(Form.Color()));
    // The 3D look: the shadow outline one pixel in from the right and bottom,
    // the highlight one pixel in from the left and top.
    Box->SetCtl3D(true);
    I = Box->Render();
    EXPECT_EQ(Rgb(I, 0, 40), Sys(clBtnShadow));
    EXPECT_EQ(Rgb(I, 1, 40), Sys(clBtnHighlight));
    EXPECT_EQ(Rgb(I, 158, 40), Sys(clBtnShadow));
    EXPECT_EQ(Rgb(I, 159, 40), Sys(clBtnHighlight));

    // Right-to-left alignment puts the caption's gap at W - TW - I.
    TCanvas* C = Box->Canvas();
    C->Font()->Assign(Box->Font());
    const int TW = C->TextWidth("Options");
    struct TCase {
        TBiDiMode Mode;
        int X0;
    };
    const TCase Cases[] = {{bdLeftToRight, 8}, {bdRightToLeft, 160 - TW - 8}, {bdRightToLeftReadingOnly, 8},
                           {bdRightToLeftNoAlign, 8}};
    for (const TCase& K : Cases) {
        SCOPED_TRACE(static_cast<int>(K.Mode));
        Box->SetBiDiMode(K.Mode);
        I = Box->Render();
        EXPECT_EQ(Rgb(I, K.X0 - 4, Top), Sys(clBtnShadow)) << "the edge up to the caption";
        EXPECT_NE(Rgb(I, K.X0 - 2, Top), Sys(clBtnShadow)) << "the gap";
        EXPECT_NE(Rgb(I, K.X0 + TW, Top), Sys(clBtnShadow)) << "the gap's end";
        EXPECT_EQ(Rgb(I, K.X0 + TW + 2, Top), Sys(clBtnShadow)) << "the edge after it";
    }
}

TEST(nvPanel, RightToLeftSwapsTheCaptionsSideAndBothFollowTheParent)
{
    InitApplication();
    TForm Form;
    auto* Outer = new TTestPanel(&Form);
    Outer->SetParent(&Form);
    Outer->SetBounds(0, 0, 200, 100);
    auto* Panel = new TTestPanel(&Form);
    Panel->SetParent(Outer);
    Panel->SetBounds(0, 0, 120, 30);
    Panel->SetBevelOuter(bvNone);
    Panel->SetCaption("WWW");
    auto InkColumns = [](const QImage& I) {
        int First = -1, Last = -1;
        for (int X = 0; X < I.width(); ++X)
            for (int Y = 0; Y < I.height(); ++Y)
                if (Rgb(I, X, Y) == 0) {
                    if (First < 0)
                        First = X;
                    Last = X;
                }
        return std::pair(First, Last);
    };
    Panel->SetAlignment(taLeftJustify);
    const auto Left = InkColumns(Panel->Render());
    EXPECT_LT(Left.first, 5);
    // The parent's right-to-left mode reaches the panel: a left-justified caption goes right.
    Outer->SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(Panel->BiDiMode(), bdRightToLeft);
    EXPECT_TRUE(Panel->ParentBiDiMode());
    const auto Right = InkColumns(Panel->Render());
    EXPECT_GT(Right.second, 114);
    EXPECT_EQ(Right.second - Right.first, Left.second - Left.first);
    Panel->SetAlignment(taRightJustify);
    EXPECT_EQ(InkColumns(Panel->Render()), Left);
    // Reading-only right-to-left keeps the alignment.
    Panel->SetBiDiMode(bdRightToLeftReadingOnly);
    EXPECT_FALSE(Panel->ParentBiDiMode());
    EXPECT_EQ(InkColumns(Panel->Render()), Right);

    // Ctl3D follows the parent until set; only then is it stored.
    Outer->SetCtl3D(false);
    EXPECT_FALSE(Panel->Ctl3D());
    EXPECT_FALSE(Panel->IsPropertyStored("Ctl3D"));
    Panel->SetCtl3D(true);
    EXPECT_FALSE(Panel->ParentCtl3D());
    EXPECT_TRUE(Panel->IsPropertyStored("Ctl3D"));
    Panel->SetParentCtl3D(true);
    EXPECT_FALSE(Panel->Ctl3D());
    EXPECT_TRUE(Panel->IsPropertyStored("BiDiMode"));
}

TEST(nvGroupBox, TransparentAndFrameColors)
{
    InitApplication();
    TForm Form;
    auto* Box = new TTestGroupBox(&Form);
    Box->SetParent(&Form);
    Box->SetBounds(0, 0, 160, 80);
    Box->SetCaption("Box");
    EXPECT_EQ(Rgb(Box->Render(), 80, 40), Sys(Form.Color()));
    Box->Frame()->SetEnabled(true);
    Box->Frame()->SetNonFocusColor(clAqua);
    EXPECT_EQ(Rgb(Box->Render(), 80, 40), Sys(clAqua));
    Box->Enter();
    EXPECT_EQ(Rgb(Box->Render(), 80, 40), Sys(Form.Color()));
    Box->Exit();
    Box->SetTransparent(true);
    EXPECT_EQ(qAlpha(Box->Render().pixel(80, 40)), 0);
}

TEST(nvPanel, StoredForm)
{
    InitApplication();
    String Text;
    {
        TForm Form;
        auto* Panel = new TnvPanel(&Form);
        Panel->SetName("Panel1");
        Panel->SetParent(&Form);
        Panel->SetTransparent(true);
        Panel->Frame()->SetEnabled(true);
        Panel->Frame()->SetNonFocusColor(clYellow);
        auto* Box = new TnvGroupBox(&Form);
        Box->SetName("Box1");
        Box->SetParent(&Form);
        Box->SetCaptionIndent(12);
        Box->SetFullBorder(true);
        Box->SetBorderAroundLabel(true);
        Text = ComponentToText(&Form);
    }
    TForm Form;
    ReadComponentFromText(Text, &Form);
    auto* Panel = dynamic_cast<TnvPanel*>(Form.FindComponent("Panel1"));
    auto* Box = dynamic_cast<TnvGroupBox*>(Form.FindComponent("Box1"));
    ASSERT_NE(Panel, nullptr);
    ASSERT_NE(Box, nullptr);
    EXPECT_TRUE(Panel->Transparent());
    EXPECT_TRUE(Panel->Frame()->Enabled());
    EXPECT_EQ(Panel->Frame()->NonFocusColor(), clYellow);
    EXPECT_EQ(Box->CaptionIndent(), 12);
    EXPECT_TRUE(Box->FullBorder());
    EXPECT_TRUE(Box->BorderAroundLabel());
}

} // namespace
