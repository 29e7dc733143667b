// The edit frame (settings, text offsets, edit rectangle, drawing on rendered
// pixels) and the combo button (states, groups, faces).
#include <gtest/gtest.h>

#include <QImage>

#include "Canvas.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "nvComboTestSupport.h"
#include "nvcombobutton.h"
#include "nvframe.h"
#include "TestDump.h"

using namespace nvComboTest;

namespace {

constexpr TnvEditFrameEnabledSet AllSides =
    TnvEditFrameEnabledSet(efLeftBorder) | efTopBorder | efRightBorder | efBottomBorder;

} // namespace

TEST(nvEditFrame, NewFrameAndEnablingOnAnEdit)
{
    auto Form = NewForm();
    auto* Edit = new TEdit(Form.get());
    Edit->SetParent(Form.get());
    TnvEditFrame Frame(Edit);
    EXPECT_FALSE(Frame.Enabled());
    EXPECT_EQ(Frame.FocusBorders(), AllSides);
    EXPECT_EQ(Frame.NonFocusBorders(), TnvEditFrameEnabledSet(efBottomBorder));
    EXPECT_EQ(Frame.FocusStyle(), efsFrameBox);
    EXPECT_EQ(Frame.NonFocusColor(), clNone);
    EXPECT_EQ(Edit->BorderStyle(), bsSingle);
    Frame.SetEnabled(true);
    EXPECT_EQ(Edit->BorderStyle(), bsNone) << "the frame replaces the edit's own border";
    EXPECT_TRUE(Frame.IsActive());

    // A frame of something that is not a windowed control has no control.
    TnvEditFrame Loose(nullptr);
    Loose.SetEnabled(true);
    EXPECT_FALSE(Loose.IsActive());
}

TEST(nvEditFrame, TextOffsets)
{
    struct Case {
        TnvEditFrameEnabledSet Borders;
        TnvEditFocusStyle Style;
        int OffsetX, OffsetY;
        int X, Y;
    };
    const Case Cases[] = {
        {TnvEditFrameEnabledSet(efBottomBorder), efsFrameBox, 0, 0, 1, 2}, // the unfocused default
        {AllSides, efsFrameBox, 0, 0, 2, 2},
        {AllSides, efsFrameSingle, 0, 0, 2, 2},
        {AllSides, efsFrameSunken, 0, 0, 3, 3},
        {AllSides, efsFrameEtched, 0, 0, 3, 3},
        {TnvEditFrameEnabledSet(efTopBorder), efsFrameBump, 0, 0, 1, 3},
        {TnvEditFrameEnabledSet(efLeftBorder), efsFrameRaised, 0, 0, 3, 2},
        {AllSides, efsFrameSunken, 4, -1, 7, 2},
    };
    for (const Case& C : Cases) {
        TnvEditFrame F(nullptr);
        F.SetNonFocusBorders(C.Borders);
        F.SetNonFocusStyle(C.Style);
        F.SetFocusBorders(C.Borders);
        F.SetFocusStyle(C.Style);
        F.SetNonFocusTextOffsetX(C.OffsetX);
        F.SetNonFocusTextOffsetY(C.OffsetY);
        for (bool Focused : {false, true}) {
            int X = -9, Y = -9;
            F.GetTextOffsets(X, Y, Focused);
            EXPECT_EQ(X, C.X) << C.Style << " borders " << C.Borders.toInt();
            EXPECT_EQ(Y, C.Y) << C.Style << " borders " << C.Borders.toInt();
        }
    }
}

TEST(nvEditFrame, EditRectangleInsideTheFocusedFrame)
{
    struct Case {
        TnvEditFrameEnabledSet Borders;
        TnvEditFocusStyle Style;
        TRect Expected;
    };
    // From (0, 0, 100, 20).
    const Case Cases[] = {
        {AllSides, efsFrameBox, TRect(2, 2, 99, 20)},
        {AllSides, efsFrameSingle, TRect(2, 2, 100, 20)},
        {TnvEditFrameEnabledSet(efBottomBorder), efsFrameBox, TRect(2, 2, 100, 20)},
        {AllSides, efsFrameSunken, TRect(3, 3, 98, 20)},
        {AllSides, efsFrameBump, TRect(3, 3, 98, 20)},
        {AllSides, efsFrameRaised, TRect(2, 3, 98, 20)},
        {AllSides, efsFrameEtched, TRect(2, 3, 98, 20)},
        {TnvEditFrameEnabledSet(efTopBorder), efsFrameSunken, TRect(1, 3, 98, 20)},
    };
    for (const Case& C : Cases) {
        TnvEditFrame F(nullptr);
        F.SetFocusBorders(C.Borders);
        F.SetFocusStyle(C.Style);
        TRect R(0, 0, 100, 20);
        F.AdjustEditRect(R);
        EXPECT_EQ(R, C.Expected) << C.Style << " borders " << C.Borders.toInt();
    }
}

TEST(nvEditFrame, AssignCopiesTheRestOnlyForAnEnabledFrame)
{
    TnvEditFrame Source(nullptr);
    Source.SetFocusStyle(efsFrameEtched);
    Source.SetNonFocusColor(clYellow);
    Source.SetNonFocusBorders(AllSides);
    Source.SetMouseEnterSameAsFocus(true);

    TnvEditFrame Disabled(nullptr);
    Disabled.Assign(&Source);
    EXPECT_EQ(Disabled.FocusStyle(), efsFrameEtched) << "copied first, always";
    EXPECT_EQ(Disabled.NonFocusColor(), clNone) << "the rest only for an enabled frame";

    Source.SetEnabled(true);
    Source.SetEraseParent(true);
    TnvEditFrame Enabled(nullptr);
    Enabled.Assign(&Source);
    EXPECT_TRUE(Enabled.Enabled());
    EXPECT_EQ(Enabled.NonFocusColor(), clYellow);
    EXPECT_EQ(Enabled.NonFocusBorders(), AllSides);
    EXPECT_TRUE(Enabled.MouseEnterSameAsFocus());
    EXPECT_TRUE(Enabled.EraseParent());

    TFont Font;
    EXPECT_THROW(Enabled.Assign(&Font), EConvertError);
}

// The frame of every style, drawn by an unfocused combo with all four sides:
// the outer and inner lines of the top and bottom sides, on rendered pixels.
TEST(nvEditFrame, DrawsEachStyleOnItsSides)
{
    struct Case {
        TnvEditFocusStyle Style;
        TColor TopOuter, TopInner, BottomOuter, BottomInner;
    };
    const Case Cases[] = {
        {efsFrameBox, clWindowFrame, clWindow, clWindowFrame, clWindow},
        {efsFrameSunken, clBtnShadow, cl3DDkShadow, clBtnHighlight, cl3DLight},
        {efsFrameRaised, cl3DLight, clBtnHighlight, cl3DDkShadow, clBtnShadow},
        {efsFrameEtched, clBtnShadow, clBtnHighlight, clBtnHighlight, clBtnShadow},
        {efsFrameBump, cl3DLight, cl3DDkShadow, cl3DDkShadow, cl3DLight},
        {efsFrameSingle, clWindowFrame, clYellow, clWindowFrame, clYellow},
    };
    auto Form = NewForm();
    TTestCombo* C = NewCombo(Form.get());
    C->SetColor(clYellow);
    C->SetText("");
    C->Frame()->SetEnabled(true);
    C->Frame()->SetNonFocusBorders(AllSides);
    auto* Other = NewEdit(Form.get(), 20, 100);
    ShowForm(Form.get());
    Other->SetFocus();
    Pump();
    ASSERT_FALSE(C->ComboFocused());
    for (const Case& K : Cases) {
        C->Frame()->SetNonFocusStyle(K.Style);
        const QImage Img = Shot(C);
        const int H = Img.height();
        EXPECT_EQ(PixelColor(Img, 40, 0), ColorToRGB(K.TopOuter)) << K.Style;
        EXPECT_EQ(PixelColor(Img, 40, 1), ColorToRGB(K.TopInner)) << K.Style;
        EXPECT_EQ(PixelColor(Img, 40, H - 1), ColorToRGB(K.BottomOuter)) << K.Style;
        EXPECT_EQ(PixelColor(Img, 40, H - 2), ColorToRGB(K.BottomInner)) << K.Style;
        EXPECT_EQ(PixelColor(Img, 0, H / 2), ColorToRGB(K.TopOuter)) << K.Style << ": left side";
        EXPECT_EQ(PixelColor(Img, 40, H / 2), clYellow) << K.Style << ": the background inside";
        if (K.Style == efsFrameSunken)
            DumpPng(Img, "combo-frame-sunken");
    }
}

TEST(nvEditFrame, FocusedAndUnfocusedFramesDiffer)
{
    auto Form = NewForm();
    Form->SetColor(clAqua);
    TTestCombo* C = NewCombo(Form.get());
    C->SetText("Beta");
    C->Frame()->SetEnabled(true);
    auto* Other = NewEdit(Form.get(), 20, 100);
    ShowForm(Form.get());
    Other->SetFocus();
    Pump();

    // Unfocused default: the bottom side only, one line in the frame colour.
    QImage Img = Shot(C);
    DumpPng(Img, "combo-unfocused");
    const int H = Img.height();
    EXPECT_FALSE(C->ComboFocused());
    EXPECT_EQ(PixelColor(Img, 40, H - 1), ColorToRGB(clWindowFrame));
    EXPECT_EQ(PixelColor(Img, 40, 0), ColorToRGB(clWindow)) << "no top side";
    EXPECT_EQ(PixelColor(Img, 0, H / 2), ColorToRGB(clWindow)) << "no left side";
    EXPECT_TRUE(C->PaintsOwnText());

    C->SetFocus();
    Pump();
    EXPECT_TRUE(C->ComboFocused());
    EXPECT_FALSE(C->PaintsOwnText()) << "the edit paints its text while focused";
    Img = Shot(C);
    DumpPng(Img, "combo-focused");
    EXPECT_EQ(PixelColor(Img, 40, 0), ColorToRGB(clWindowFrame)) << "all four sides";
    EXPECT_EQ(PixelColor(Img, 0, H / 2), ColorToRGB(clWindowFrame));
    EXPECT_EQ(PixelColor(Img, 40, H - 1), ColorToRGB(clWindowFrame));

    // MouseEnterSameAsFocus: the mouse over an unfocused combo shows the focused frame.
    Other->SetFocus();
    Pump();
    C->Frame()->SetMouseEnterSameAsFocus(true);
    C->Perform(CM_MOUSEENTER, 0, 0);
    Img = Shot(C);
    EXPECT_EQ(PixelColor(Img, 40, 0), ColorToRGB(clWindowFrame));
    C->Perform(CM_MOUSELEAVE, 0, 0);
    Img = Shot(C);
    EXPECT_EQ(PixelColor(Img, 40, 0), ColorToRGB(clWindow));
}

TEST(nvEditFrame, TransparentAndNonFocusColourLooks)
{
    auto Form = NewForm();
    Form->SetColor(clAqua);
    TTestCombo* Plain = NewCombo(Form.get(), 20, 20);
    TTestCombo* Clear = NewCombo(Form.get(), 20, 60);
    TTestCombo* Yellow = NewCombo(Form.get(), 20, 100);
    for (TTestCombo* C : {Plain, Clear, Yellow}) {
        C->SetText("");
        C->Frame()->SetEnabled(true);
    }
    Clear->Frame()->SetTransparent(true);
    Yellow->Frame()->SetNonFocusColor(clYellow);
    ShowForm(Form.get());
    const QImage Img = Shot(Form.get());
    DumpPng(Img, "combo-looks");
    EXPECT_EQ(PixelColor(Img, 60, 30), ColorToRGB(clWindow));
    EXPECT_EQ(PixelColor(Img, 60, 70), clAqua) << "the form shows through a transparent unfocused combo";
    EXPECT_EQ(PixelColor(Img, 60, 110), clYellow) << "NonFocusColor is the unfocused background";
    EXPECT_EQ(PixelColor(Img, 60, 60 + 20), ColorToRGB(clWindowFrame)) << "the frame is still drawn";
    EXPECT_TRUE(Clear->Frame()->TransparentNow());
    Clear->SetFocus();
    Pump();
    EXPECT_FALSE(Clear->Frame()->TransparentNow()) << "focus ends the transparent look";
    const QImage Focused = Shot(Form.get());
    EXPECT_EQ(PixelColor(Focused, 60, 70), ColorToRGB(clWindow));
}

// ---------------------------------------------------------------- combo button

TEST(nvComboButton, DefaultsAndClampedValues)
{
    TnvComboButton B;
    EXPECT_EQ(B.Width(), 22);
    EXPECT_EQ(B.Height(), 23);
    EXPECT_EQ(B.Spacing(), 4);
    EXPECT_EQ(B.Margin(), -1);
    EXPECT_TRUE(B.Transparent());
    EXPECT_EQ(B.Color(), clBtnFace);
    B.SetNumGlyphs(7);
    EXPECT_EQ(B.NumGlyphs(), 4);
    B.SetMargin(-5);
    EXPECT_EQ(B.Margin(), -1) << "values below -1 are ignored";
    B.SetMargin(3);
    EXPECT_EQ(B.Margin(), 3);
    B.SetDown(true);
    EXPECT_FALSE(B.Down()) << "only a button of a group can be down";
}

TEST(nvComboButton, GroupsAndStates)
{
    auto Form = NewForm();
    auto* Panel = new TPanel(Form.get());
    Panel->SetParent(Form.get());
    std::vector<TnvComboButton*> Buttons;
    std::vector<int> Clicks(3, 0);
    for (int I = 0; I < 3; ++I) {
        auto* B = new TnvComboButton(Form.get());
        B->SetParent(Panel);
        B->SetBounds(I * 30, 0, 22, 23);
        B->SetGroupIndex(1);
        B->OnClick = [&Clicks, I](TObject*) { ++Clicks[I]; };
        Buttons.push_back(B);
    }
    auto Click = [](TnvComboButton* B) {
        B->Perform(WM_LBUTTONDOWN, ssLeft, PointToLParam(5, 5));
        EXPECT_EQ(B->PressTracking(), true);
        B->Perform(WM_LBUTTONUP, 0, PointToLParam(5, 5));
    };
    Click(Buttons[0]);
    EXPECT_TRUE(Buttons[0]->Down());
    EXPECT_EQ(Buttons[0]->ButtonState(), bsExclusive);
    Click(Buttons[1]);
    EXPECT_TRUE(Buttons[1]->Down());
    EXPECT_FALSE(Buttons[0]->Down()) << "pressing a second button releases the first";
    EXPECT_EQ(Buttons[0]->ButtonState(), bsUp);
    Click(Buttons[1]);
    EXPECT_TRUE(Buttons[1]->Down()) << "without AllowAllUp the down button stays down";
    EXPECT_EQ(Clicks, (std::vector<int>{1, 2, 0}));

    Buttons[2]->SetAllowAllUp(true);
    EXPECT_TRUE(Buttons[1]->AllowAllUp()) << "the group takes the setting";
    Click(Buttons[1]);
    EXPECT_FALSE(Buttons[1]->Down());

    // A release outside does not click; dragging out and back tracks the state.
    TnvComboButton* B = Buttons[2];
    B->Perform(WM_LBUTTONDOWN, ssLeft, PointToLParam(5, 5));
    EXPECT_EQ(B->ButtonState(), bsDown);
    B->Perform(WM_MOUSEMOVE, ssLeft, PointToLParam(50, 5));
    EXPECT_EQ(B->ButtonState(), bsUp);
    B->Perform(WM_MOUSEMOVE, ssLeft, PointToLParam(6, 6));
    EXPECT_EQ(B->ButtonState(), bsDown);
    B->Perform(WM_MOUSEMOVE, ssLeft, PointToLParam(50, 5));
    B->Perform(WM_LBUTTONUP, 0, PointToLParam(50, 5));
    EXPECT_EQ(Clicks[2], 0);
    EXPECT_FALSE(B->Down());

    int DoubleClicks = 0;
    B->OnDblClick = [&DoubleClicks](TObject*) { ++DoubleClicks; };
    B->Perform(WM_LBUTTONDBLCLK, ssLeft, PointToLParam(5, 5));
    B->Perform(WM_LBUTTONUP, 0, PointToLParam(5, 5));
    EXPECT_EQ(DoubleClicks, 0) << "an up button ignores double clicks";
    B->SetDown(true);
    B->Perform(WM_LBUTTONDBLCLK, ssLeft, PointToLParam(5, 5));
    EXPECT_EQ(DoubleClicks, 1) << "a down button fires OnDblClick";
    B->Perform(WM_LBUTTONUP, 0, PointToLParam(5, 5));
    B->SetDown(true);
    B->SetEnabled(false);
    EXPECT_EQ(B->ButtonState(), bsDisabled);
    B->SetEnabled(true);
    EXPECT_EQ(B->ButtonState(), bsExclusive) << "re-enabled down button of a group";
}

TEST(nvComboButton, FlatHotTracking)
{
    auto Form = NewForm();
    auto* B = new TnvComboButton(Form.get());
    B->SetParent(Form.get());
    B->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_FALSE(B->MouseInside()) << "a raised button does not track";
    B->Perform(CM_MOUSELEAVE, 0, 0);
    B->SetFlat(true);
    B->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(B->MouseInside());
    B->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(B->MouseInside());
}

TEST(nvEditFrame, AutomaticHeight)
{
    auto Form = NewForm();
    TTestCombo* C = NewCombo(Form.get());
    const int FontHeight = C->Font()->Metrics().tmHeight;
    C->Frame()->AdjustHeight();
    EXPECT_EQ(C->Height(), FontHeight + 8) << "a bordered edit: eight border heights";
    C->Frame()->SetEnabled(true);
    C->Frame()->SetAutoSizeHeightAdjust(3);
    C->Frame()->AdjustHeight();
    EXPECT_EQ(C->Height(), FontHeight + 6 + 3) << "no border: 6, plus the frame's adjustment";
}
