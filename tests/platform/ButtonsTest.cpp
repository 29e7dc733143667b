// Speed buttons and buttons with pictures: groups, kinds, glyph layout and
// their pictures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include <memory>

#include "TestDump.h"
#include "Buttons.h"
#include "FormStream.h"
#include "Forms.h"

class TToolForm : public TForm {
    Q_OBJECT
public:
    explicit TToolForm(TComponent* AOwner = nullptr) : TForm(AOwner) {}
    std::vector<String> Calls;
    Q_INVOKABLE void ToolClick(TObject* Sender) { Calls.push_back(dynamic_cast<TComponent*>(Sender)->Name()); }
};

namespace {

const char* const ToolText = R"(object ToolForm: TToolForm
  ClientHeight = 80
  ClientWidth = 200
  object Bold: TSpeedButton
    Left = 4
    Top = 4
    AllowAllUp = True
    GroupIndex = 2
    Caption = 'B'
    OnClick = ToolClick
  end
  object Left1: TSpeedButton
    Left = 40
    Top = 4
    GroupIndex = 1
    Down = True
    Caption = 'L'
    OnClick = ToolClick
  end
  object Center1: TSpeedButton
    Left = 64
    Top = 4
    GroupIndex = 1
    Caption = 'C'
    Flat = True
    OnClick = ToolClick
  end
  object Right1: TSpeedButton
    Left = 88
    Top = 4
    GroupIndex = 1
    Caption = 'R'
    Layout = blGlyphTop
    Margin = 2
    Spacing = 1
    OnClick = ToolClick
  end
  object Plain: TSpeedButton
    Left = 112
    Top = 4
    Caption = 'P'
    OnClick = ToolClick
  end
  object OkBtn: TBitBtn
    Left = 4
    Top = 40
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 0
    Kind = bkOK
  end
  object CloseBtn: TBitBtn
    Left = 90
    Top = 40
    Caption = '&Close'
    TabOrder = 1
    OnClick = ToolClick
    Kind = bkClose
  end
end
)";

std::unique_ptr<TToolForm> LoadToolForm()
{
    InitApplication();
    RegisterClasses<TToolForm>();
    auto Form = std::make_unique<TToolForm>();
    ReadComponentFromText(ToolText, Form.get());
    return Form;
}

template <class T>
T* Get(TComponent* Form, const String& Name)
{
    auto* C = dynamic_cast<T*>(Form->FindComponent(Name));
    EXPECT_NE(C, nullptr) << Name;
    return C;
}

void ClickAt(QWidget* W, QPoint P)
{
    const QPoint G = W->mapToGlobal(P);
    QMouseEvent Press(QEvent::MouseButtonPress, P, G, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W, &Press);
    QMouseEvent Release(QEvent::MouseButtonRelease, P, G, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(W, &Release);
}

QRgb Sys(TColor C)
{
    return ColorToQRgb(C) & 0xFFFFFFu;
}

// A glyph of Cells pictures of Size x Size: a black square from 4 to 11 on
// olive (the bottom-left pixel, so transparent).
std::unique_ptr<TBitmap> SquareGlyph(int Cells, int Size = 16)
{
    QImage I(Size * Cells, Size, QImage::Format_RGB32);
    I.fill(QColor(128, 128, 0));
    for (int C = 0; C < Cells; ++C)
        for (int Y = 4; Y < 12; ++Y)
            for (int X = 4; X < 12; ++X)
                I.setPixel(C * Size + X, Y, C == 0 ? qRgb(0, 0, 0) : qRgb(0, 0, 255));
    auto B = std::make_unique<TBitmap>();
    B->SetImage(I);
    return B;
}

} // namespace

TEST(ButtonsBuild, GlyphCountIsKeptBetweenOneAndFourAndFollowsSquareStrips)
{
    InitApplication();
    TSpeedButton B;
    EXPECT_EQ(B.NumGlyphs(), 1);
    EXPECT_EQ(B.Margin(), -1);
    EXPECT_EQ(B.Spacing(), 4);
    EXPECT_EQ(B.Layout(), blGlyphLeft);
    EXPECT_TRUE(B.Transparent());
    const std::pair<int, int> Counts[] = {{0, 1}, {1, 1}, {3, 3}, {4, 4}, {9, 4}, {-2, 1}};
    for (auto [Set, Want] : Counts) {
        B.SetNumGlyphs(Set);
        EXPECT_EQ(B.NumGlyphs(), Want) << Set;
    }
    B.SetGlyph(SquareGlyph(2).get());
    EXPECT_EQ(B.NumGlyphs(), 2);
    EXPECT_EQ(B.Glyph()->Width(), 32);
    EXPECT_THROW(B.SetMargin(-2), EInvalidOperation);
    EXPECT_THROW(B.SetLayout(static_cast<TButtonLayout>(7)), EInvalidOperation);
}

TEST(ButtonsBuild, BitBtnKindsGiveTheirCaptionResultAndRole)
{
    InitApplication();
    struct TCase {
        TBitBtnKind Kind;
        const char* Caption;
        TModalResult Result;
        bool Default, Cancel;
    };
    const TCase Cases[] = {
        {bkOK, "OK", mrOk, true, false},         {bkCancel, "Cancel", mrCancel, false, true},
        {bkHelp, "&Help", mrNone, false, false}, {bkYes, "&Yes", mrYes, true, false},
        {bkNo, "&No", mrNo, false, true},        {bkClose, "&Close", mrNone, false, false},
        {bkAbort, "Abort", mrAbort, false, false}, {bkRetry, "&Retry", mrRetry, false, false},
        {bkIgnore, "&Ignore", mrIgnore, false, false}, {bkAll, "&All", mrAll, false, false},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Caption);
        TBitBtn B;
        B.SetKind(C.Kind);
        EXPECT_EQ(B.Kind(), C.Kind);
        EXPECT_EQ(B.Caption(), C.Caption);
        EXPECT_EQ(B.ModalResult(), C.Result);
        EXPECT_EQ(B.Default(), C.Default);
        EXPECT_EQ(B.Cancel(), C.Cancel);
        // Each kind has a picture of its own.
        const QImage G = TBitBtn::KindGlyph(C.Kind);
        ASSERT_FALSE(G.isNull());
        int Opaque = 0;
        for (int Y = 0; Y < G.height(); ++Y)
            for (int X = 0; X < G.width(); ++X)
                Opaque += qAlpha(G.pixel(X, Y)) > 0;
        EXPECT_GT(Opaque, 10);
    }
    TBitBtn B;
    B.SetKind(bkOK);
    B.SetModalResult(mrYes);
    EXPECT_EQ(B.Kind(), bkCustom);
    B.SetKind(bkCancel);
    B.SetDefault(true);
    EXPECT_EQ(B.Kind(), bkCustom);
    EXPECT_THROW(B.SetKind(static_cast<TBitBtnKind>(20)), EInvalidOperation);
}

TEST(ButtonsForm, ReadsAndWritesTheSameText)
{
    auto Form = LoadToolForm();
    EXPECT_TRUE(Get<TSpeedButton>(Form.get(), "Left1")->Down());
    EXPECT_EQ(Get<TBitBtn>(Form.get(), "OkBtn")->Kind(), bkOK);
    EXPECT_EQ(Get<TBitBtn>(Form.get(), "CloseBtn")->Kind(), bkClose);
    EXPECT_EQ(ComponentToText(Form.get()), ToolText);
}

TEST(ButtonsInput, SpeedButtonsOfAGroupAreExclusive)
{
    auto Form = LoadToolForm();
    Form->Show();
    auto* L = Get<TSpeedButton>(Form.get(), "Left1");
    auto* C = Get<TSpeedButton>(Form.get(), "Center1");
    auto* R = Get<TSpeedButton>(Form.get(), "Right1");
    auto* Bold = Get<TSpeedButton>(Form.get(), "Bold");
    auto* Plain = Get<TSpeedButton>(Form.get(), "Plain");
    ClickAt(C, QPoint(5, 5));
    EXPECT_TRUE(C->Down());
    EXPECT_FALSE(L->Down());
    EXPECT_FALSE(R->Down());
    EXPECT_EQ(C->State(), bsExclusive);
    // Without AllowAllUp the down button stays down.
    ClickAt(C, QPoint(5, 5));
    EXPECT_TRUE(C->Down());
    R->SetDown(true);
    EXPECT_FALSE(C->Down());
    // A group of its own with AllowAllUp goes up and down.
    ClickAt(Bold, QPoint(5, 5));
    EXPECT_TRUE(Bold->Down());
    EXPECT_TRUE(R->Down());
    ClickAt(Bold, QPoint(5, 5));
    EXPECT_FALSE(Bold->Down());
    // A button of no group never stays down.
    ClickAt(Plain, QPoint(5, 5));
    EXPECT_FALSE(Plain->Down());
    EXPECT_EQ(Plain->State(), bsUp);
    EXPECT_EQ(Form->Calls, (std::vector<String>{"Center1", "Center1", "Bold", "Bold", "Plain"}));
    // The broadcast itself: another button of the group pressed.
    TMessage M{CM_BUTTONPRESSED, 1, reinterpret_cast<intptr_t>(L), 0};
    L->SetDown(true); // releases R through the same message
    EXPECT_FALSE(R->Down());
    M.WParam = 3;
    R->WndProc(M);
    EXPECT_TRUE(L->Down());
    // Setting AllowAllUp on one button tells the group.
    L->SetAllowAllUp(true);
    EXPECT_TRUE(R->AllowAllUp());
    L->SetDown(false);
    EXPECT_FALSE(L->Down());
}

TEST(ButtonsInput, CloseKindClosesTheFormAndDialogKeysReachBitButtons)
{
    auto Form = LoadToolForm();
    Form->Show();
    auto* Close = Get<TBitBtn>(Form.get(), "CloseBtn");
    Close->Click();
    EXPECT_FALSE(Form->QWidget::isVisible());
    EXPECT_TRUE(Form->Calls.empty()); // closing is all a close button does
    Form->Show();
    Get<TBitBtn>(Form.get(), "OkBtn")->SetFocus();
    Form->Perform(CM_DIALOGKEY, VK_RETURN, 0);
    EXPECT_EQ(Form->ModalResult(), mrOk);
}

TEST(ButtonsLayout, GlyphAndCaptionArePlacedByLayoutMarginAndSpacing)
{
    InitApplication();
    TButtonGlyph Glyph;
    Glyph.SetGlyph(SquareGlyph(1).get());
    QImage Scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    TCanvas Canvas(&Scratch);
    const TRect Client(0, 0, 100, 60);
    TRect T(0, 0, 100, 0);
    DrawText(&Canvas, "Go", T, DT_CALCRECT | DT_SINGLELINE);
    const int TW = T.Width(), TH = T.Height();
    struct TCase {
        TButtonLayout Layout;
        int Margin, Spacing;
        TPoint Glyph;
        TPoint Text;
    };
    const TCase Cases[] = {
        {blGlyphLeft, -1, 4, {(100 - (16 + 4 + TW) + 1) / 2, 22}, {(100 - (16 + 4 + TW) + 1) / 2 + 20, (60 - TH + 1) / 2}},
        {blGlyphRight, 5, 2, {100 - 5 - 16, 22}, {100 - 5 - 16 - 2 - TW, (60 - TH + 1) / 2}},
        {blGlyphTop, 3, 1, {42, 3}, {(100 - TW + 1) / 2, 3 + 16 + 1}},
        {blGlyphBottom, 3, -1, {42, 60 - 3 - 16}, {(100 - TW + 1) / 2, 60 - 3 - 16 - (60 - 19 - TH) / 2 - TH}},
        {blGlyphLeft, -1, -1, {(100 - 16 - TW) / 3, 22}, {(100 - 16 - TW) / 3 * 2 + 16, (60 - TH + 1) / 2}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(std::to_string(C.Layout) + " " + std::to_string(C.Margin) + " " + std::to_string(C.Spacing));
        const TButtonLayoutResult R = Glyph.CalcLayout(&Canvas, Client, TPoint(), "Go", C.Layout, C.Margin, C.Spacing);
        EXPECT_EQ(R.GlyphPos, C.Glyph);
        EXPECT_EQ(R.TextBounds.TopLeft(), C.Text);
        EXPECT_EQ(R.TextBounds.Width(), TW);
    }
    // The offset of a pressed button moves both.
    const auto Moved = Glyph.CalcLayout(&Canvas, Client, TPoint(1, 1), "Go", blGlyphLeft, 0, 0);
    EXPECT_EQ(Moved.GlyphPos, TPoint(1, 23));
    EXPECT_EQ(Moved.TextBounds.Left, 17);
}

TEST(ButtonsLook, DownAndDisabledButtonsDrawTheirStates)
{
    InitApplication();
    TForm Form;
    Form.SetBounds(0, 0, 200, 100);
    auto* Down = new TSpeedButton(&Form);
    Down->SetParent(&Form);
    Down->SetBounds(10, 10, 40, 40);
    Down->SetGroupIndex(1);
    Down->SetDown(true);
    auto* Off = new TSpeedButton(&Form);
    Off->SetParent(&Form);
    Off->SetBounds(60, 10, 40, 40);
    Off->SetGlyph(SquareGlyph(1).get());
    Off->SetEnabled(false);
    auto* Two = new TSpeedButton(&Form);
    Two->SetParent(&Form);
    Two->SetBounds(110, 10, 40, 40);
    Two->SetGlyph(SquareGlyph(2).get());
    auto* Ok = new TBitBtn(&Form);
    Ok->SetParent(&Form);
    Ok->SetBounds(10, 60, 75, 25);
    Ok->SetKind(bkOK);
    Form.Show();
    const QImage Shot = Form.grab().toImage();
    DumpPng(Shot, "buttons_look");
    auto Px = [&](int X, int Y) { return Shot.pixel(X, Y) & 0xFFFFFFu; };
    // Exclusively down: sunken edge and a checkerboard of face and highlight.
    EXPECT_EQ(Px(10, 10), Sys(cl3DDkShadow));
    EXPECT_EQ(Px(11, 11), Sys(clBtnShadow));
    EXPECT_EQ(Px(10 + 39, 10 + 39), Sys(clBtnHighlight));
    EXPECT_NE(Px(15, 15), Px(16, 15));
    EXPECT_EQ(Px(15, 15), Px(16, 16));
    EXPECT_TRUE(Px(15, 15) == Sys(clBtnFace) || Px(15, 15) == Sys(clBtnHighlight));
    // Disabled glyph: the square embossed (shadow, highlight one pixel down-right).
    const int GX = 60 + 12, GY = 10 + 12; // 16-pixel glyph centred in 40
    EXPECT_EQ(Px(GX + 5, GY + 5), Sys(clBtnShadow));
    EXPECT_EQ(Px(GX + 12, GY + 12), Sys(clBtnHighlight));
    EXPECT_EQ(Px(GX + 3, GY + 3), Sys(clBtnFace));
    // An enabled button shows the up picture, not the second one.
    EXPECT_EQ(Px(110 + 12 + 5, 10 + 12 + 5), 0x000000u);
    // The OK kind draws its green mark left of the caption.
    int Green = 0;
    for (int Y = 60; Y < 85; ++Y)
        for (int X = 10; X < 45; ++X)
            Green += Px(X, Y) == 0x008000u;
    EXPECT_GT(Green, 5);
}

#include "ButtonsTest.moc"
