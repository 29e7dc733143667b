// The button base: layout of glyph and caption, the press cycle with its
// notifications, groups, keyboard, kinds, hot tracking, the stored region
// records and the glyph cells, checked on a form and on rendered pixels.
#include <gtest/gtest.h>
#include <functional>

#include "DBClient.h"
#include "DBLinks.h"
#include "Regions.h"
#include <QCursor>
#include "Streams.h"
#include "nvButtonTestSupport.h"

namespace {

const char* const GroupForm = R"(object ButtonTestForm: TButtonTestForm
  ClientHeight = 120
  ClientWidth = 300
  object A: TnvImageBtn
    Left = 10
    Top = 10
    Width = 60
    Height = 30
    Caption = 'A'
    GroupIndex = 1
    Down = True
    OnClick = BtnClick
    OnSelChange = BtnSelChange
  end
  object B: TnvImageBtn
    Left = 80
    Top = 10
    Width = 60
    Height = 30
    Caption = 'B'
    GroupIndex = 1
    OnClick = BtnClick
    OnSelChange = BtnSelChange
  end
  object P: TnvImageBtn
    Left = 150
    Top = 10
    Width = 60
    Height = 30
    Caption = '&Plain'
    OnClick = BtnClick
    OnSelChange = BtnSelChange
  end
  object T: TnvImageBtn
    Left = 10
    Top = 50
    Width = 60
    Height = 30
    Caption = 'T'
    GroupIndex = 2
    Options = [boToggleOnUp]
    OnClick = BtnClick
    OnSelChange = BtnSelChange
  end
  object U: TnvImageBtn
    Left = 80
    Top = 50
    Width = 60
    Height = 30
    Caption = 'U'
    GroupIndex = 3
    AllowAllUp = True
    OnClick = BtnClick
    OnSelChange = BtnSelChange
  end
end
)";

struct TGroupFixture {
    std::unique_ptr<TButtonTestForm> Form;
    TnvChangeLink Link;
    TGroupFixture()
    {
        InitApplication();
        RegisterClasses<TButtonTestForm>();
        ParkPointer();
        Form = std::make_unique<TButtonTestForm>();
        ReadComponentFromText(GroupForm, Form.get());
        Link.OnChanging = [this](TObject* S) { Form->Log.push_back("changing:" + TButtonTestForm::NameOf(S)); };
        Link.OnChange = [this](TObject* S) { Form->Log.push_back("change:" + TButtonTestForm::NameOf(S)); };
        for (const char* N : {"A", "B", "P", "T", "U"})
            Btn(N)->RegisterChanges(&Link);
        Activate(Form.get());
        Form->Log.clear();
    }
    TnvCustomBitBtn* Btn(const String& Name) { return Get<TnvCustomBitBtn>(Form.get(), Name); }
};

using TLog = std::vector<String>;

} // namespace

// ---------------------------------------------------------------- layout

TEST(nvButtonLayout, GlyphAndTextRectanglesByLayoutAlignmentMarginAndSpacing)
{
    InitApplication();
    struct TCase {
        const char* Name;
        TButtonLayout Layout;
        TAlignment Align;
        int Margin;
        int GlyphCells; // 0: no glyph
        int NumGlyphs;
        const char* Caption;
        TSize Text;
        TRect WantText;
        TRect WantGlyph;
        TRect WantArea;
    };
    // A 100 x 40 button, Spacing 4, cells of 16 x 16.
    const TCase Cases[] = {
        {"left, centred", blGlyphLeft, taCenter, -1, 1, 1, "Go", {30, 12}, {45, 14, 75, 26}, {25, 12, 41, 28},
         {-1, -1, 101, 41}},
        {"right, centred", blGlyphRight, taCenter, -1, 1, 1, "Go", {30, 12}, {25, 14, 55, 26}, {59, 12, 75, 28},
         {-1, -1, 101, 41}},
        {"top, centred", blGlyphTop, taCenter, -1, 1, 1, "Go", {30, 12}, {35, 24, 65, 36}, {42, 4, 58, 20},
         {-1, -1, 101, 41}},
        {"bottom, centred", blGlyphBottom, taCenter, -1, 1, 1, "Go", {30, 12}, {35, 4, 65, 16}, {42, 20, 58, 36},
         {-1, -1, 101, 41}},
        {"left aligned, automatic margin 4", blGlyphLeft, taLeftJustify, -1, 1, 1, "Go", {30, 12},
         {24, 14, 54, 26}, {4, 12, 20, 28}, {-1, -1, 101, 41}},
        {"right aligned, margin 2", blGlyphLeft, taRightJustify, 2, 1, 1, "Go", {30, 12}, {68, 14, 98, 26},
         {48, 12, 64, 28}, {2, 2, 98, 38}},
        {"no caption: no spacing", blGlyphLeft, taCenter, -1, 1, 1, "", {0, 0}, {58, 20, 58, 20},
         {42, 12, 58, 28}, {-1, -1, 101, 41}},
        {"no glyph: the layout's own spacing", blGlyphLeft, taCenter, 0, 0, 1, "Go", {30, 12}, {34, 14, 64, 26},
         {37, 20, 37, 20}, {0, 0, 100, 40}},
        {"four cells of one strip", blGlyphLeft, taCenter, -1, 4, 4, "Go", {30, 12}, {45, 14, 75, 26},
         {25, 12, 41, 28}, {-1, -1, 101, 41}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TTestImageBtn Btn;
        Btn.SetBounds(0, 0, 100, 40);
        Btn.SetCaption(C.Caption);
        Btn.SetLayout(C.Layout);
        Btn.TextOptions()->SetAlignment(C.Align);
        Btn.SetMargin(C.Margin);
        if (C.GlyphCells > 0) {
            TBitmap G;
            G.SetSize(16 * C.GlyphCells, 16);
            Btn.SetGlyph(&G);
        }
        Btn.SetNumGlyphs(C.NumGlyphs);
        TRect Area, Glyph, Text;
        Btn.CalcLayout(nullptr, Btn.ClientRect(), Area, C.Text, Glyph, Text);
        EXPECT_EQ(Text, C.WantText);
        EXPECT_EQ(Glyph, C.WantGlyph);
        EXPECT_EQ(Area, C.WantArea);
    }
}

TEST(nvButtonLayout, OffsetsMoveGlyphAndTextAndThePressedLookAddsTheDownShift)
{
    InitApplication();
    TWinControl Host;
    TTestImageBtn Btn;
    Btn.SetParent(&Host);
    Btn.SetBounds(0, 0, 100, 40);
    Btn.SetCaption("Go");
    TBitmap G;
    G.SetSize(16, 16);
    Btn.SetGlyph(&G);
    Btn.Offsets()->SetTextX(3);
    Btn.Offsets()->SetTextY(-2);
    Btn.Offsets()->SetGlyphX(-1);
    Btn.Offsets()->SetGlyphY(5);
    TRect Area, Glyph, Text;
    Btn.CalcLayout(nullptr, Btn.ClientRect(), Area, TSize(30, 12), Glyph, Text);
    EXPECT_EQ(Text, TRect(48, 12, 78, 24));
    EXPECT_EQ(Glyph, TRect(24, 17, 40, 33));
    Btn.SetGroupIndex(1);
    Btn.SetDown(true);
    Btn.Offsets()->SetTextDownX(2);
    Btn.Offsets()->SetTextDownY(3);
    Btn.CalcLayout(nullptr, Btn.ClientRect(), Area, TSize(30, 12), Glyph, Text);
    EXPECT_EQ(Text, TRect(50, 15, 80, 27));
    EXPECT_EQ(Glyph, TRect(26, 20, 42, 36));
    // A group that shows its selection as up draws the down button unshifted.
    Btn.SetShowDownAsUp(true);
    Btn.CalcLayout(nullptr, Btn.ClientRect(), Area, TSize(30, 12), Glyph, Text);
    EXPECT_EQ(Text, TRect(48, 12, 78, 24));
}

TEST(nvButtonProperties, DefaultsClampsAndKinds)
{
    InitApplication();
    TTestImageBtn Btn;
    EXPECT_EQ(Btn.Width(), 75);
    EXPECT_EQ(Btn.Height(), 25);
    EXPECT_TRUE(Btn.TabStop());
    EXPECT_EQ(Btn.Margin(), -1);
    EXPECT_EQ(Btn.Spacing(), 4);
    EXPECT_EQ(Btn.TextOptions()->Alignment(), taCenter);
    EXPECT_EQ(Btn.TextOptions()->VAlignment(), vaVCenter);
    EXPECT_EQ(Btn.Offsets()->TextDownX(), 1);
    EXPECT_EQ(Btn.ShadeColors()->Btn3DLight(), cl3DLight);
    Btn.SetNumGlyphs(0);
    EXPECT_EQ(Btn.NumGlyphs(), 1);
    Btn.SetNumGlyphs(7);
    EXPECT_EQ(Btn.NumGlyphs(), 4);
    Btn.SetMargin(-5);
    EXPECT_EQ(Btn.Margin(), -1);

    // A kind brings its caption, result, role and two-cell glyph.
    struct TKindCase {
        TBitBtnKind Kind;
        const char* Caption;
        TModalResult Result;
        bool Default, Cancel;
    };
    const TKindCase Kinds[] = {{bkOK, "OK", mrOk, true, false},       {bkCancel, "Cancel", mrCancel, false, true},
                               {bkHelp, "&Help", mrNone, false, false}, {bkYes, "&Yes", mrYes, true, false},
                               {bkNo, "&No", mrNo, false, true},       {bkClose, "&Close", mrNone, false, false},
                               {bkAbort, "Abort", mrAbort, false, false}, {bkRetry, "&Retry", mrRetry, false, false},
                               {bkIgnore, "&Ignore", mrIgnore, false, false}, {bkAll, "&All", mrAll, false, false}};
    for (const TKindCase& K : Kinds) {
        TTestImageBtn B;
        B.SetKind(K.Kind);
        EXPECT_EQ(B.Kind(), K.Kind);
        EXPECT_EQ(B.Caption(), K.Caption);
        EXPECT_EQ(B.ModalResult(), K.Result);
        EXPECT_EQ(B.Default(), K.Default);
        EXPECT_EQ(B.Cancel(), K.Cancel);
        EXPECT_EQ(B.NumGlyphs(), 2);
        EXPECT_EQ(B.Glyph()->Width(), 2 * B.Glyph()->Height());
        EXPECT_FALSE(B.IsGlyphStored());
        EXPECT_FALSE(B.IsCaptionStored());
    }
    // Leaving the kind's values makes it a custom button.
    TTestImageBtn Ok;
    Ok.SetKind(bkOK);
    Ok.SetModalResult(mrCancel);
    EXPECT_EQ(Ok.Kind(), bkCustom);
    TTestImageBtn Yes;
    Yes.SetKind(bkYes);
    TBitmap G;
    G.SetSize(8, 8);
    Yes.SetGlyph(&G);
    EXPECT_EQ(Yes.Kind(), bkCustom);
    EXPECT_TRUE(Yes.IsGlyphStored());
}

// ---------------------------------------------------------------- the press cycle

TEST(nvButtonPress, ClickingTheSecondButtonOfAGroupPopsTheFirstUpInOrder)
{
    TGroupFixture F;
    auto* A = F.Btn("A");
    auto* B = F.Btn("B");
    EXPECT_TRUE(A->Down());
    EXPECT_TRUE(A->LastSelDown());
    Press(B, QPoint(5, 5));
    EXPECT_TRUE(B->Down()); // follows the pointer while held
    EXPECT_TRUE(A->Down());
    EXPECT_EQ(F.Form->Log, TLog({"changing:B"}));
    Release(B, QPoint(5, 5));
    EXPECT_TRUE(B->Down());
    EXPECT_FALSE(A->Down());
    EXPECT_TRUE(B->LastSelDown());
    EXPECT_FALSE(A->LastSelDown());
    EXPECT_EQ(F.Form->Log, TLog({"changing:B", "sel:A", "change:A", "sel:B", "change:B", "click:B"}));

    // Clicking the down button again leaves it down (no AllowAllUp); its
    // release tells the group again, so the button that is up hears of it.
    F.Form->Log.clear();
    ClickAt(B, QPoint(5, 5));
    EXPECT_TRUE(B->Down());
    EXPECT_FALSE(A->Down());
    EXPECT_EQ(F.Form->Log, TLog({"sel:A", "change:A", "click:B"}));
}

TEST(nvButtonPress, ReleasingOutsideNeitherClicksNorChangesTheState)
{
    TGroupFixture F;
    auto* A = F.Btn("A");
    auto* B = F.Btn("B");
    Press(B, QPoint(5, 5));
    EXPECT_TRUE(B->Down());
    MoveHeld(B, QPoint(-30, 5)); // over A now
    EXPECT_FALSE(B->Down());
    MoveHeld(B, QPoint(6, 6)); // back over B
    EXPECT_TRUE(B->Down());
    MoveHeld(B, QPoint(200, 5));
    Release(B, QPoint(200, 5));
    EXPECT_FALSE(B->Down());
    EXPECT_TRUE(A->Down());
    EXPECT_FALSE(B->Tracking());
    for (const String& E : F.Form->Log)
        EXPECT_NE(E, "click:B");
    // A release away without a move before it restores the state as well.
    F.Form->Log.clear();
    Press(B, QPoint(5, 5));
    Release(B, QPoint(500, 5));
    EXPECT_FALSE(B->Down());
    EXPECT_TRUE(A->Down());
    EXPECT_EQ(std::count(F.Form->Log.begin(), F.Form->Log.end(), String("click:B")), 0);
}

TEST(nvButtonPress, APlainButtonGoesDownWhileHeldAndNeverStaysDown)
{
    TGroupFixture F;
    auto* P = F.Btn("P");
    P->SetDown(true);
    EXPECT_FALSE(P->Down()); // no group: setting Down has no effect at run time
    Press(P, QPoint(3, 3));
    EXPECT_TRUE(P->Down());
    Release(P, QPoint(3, 3));
    EXPECT_FALSE(P->Down());
    EXPECT_EQ(F.Form->Log, TLog({"changing:P", "click:P"}));
}

TEST(nvButtonPress, ToggleOnUpChangesOnReleaseAndAlwaysClicks)
{
    TGroupFixture F;
    auto* T = F.Btn("T");
    Press(T, QPoint(3, 3));
    EXPECT_FALSE(T->Down());
    Release(T, QPoint(3, 3));
    EXPECT_TRUE(T->Down());
    EXPECT_EQ(F.Form->Log, TLog({"changing:T", "sel:T", "change:T", "click:T"}));
    // Released far away: still a click; a down button without AllowAllUp stays down.
    F.Form->Log.clear();
    Press(T, QPoint(3, 3));
    Release(T, QPoint(400, 90));
    EXPECT_TRUE(T->Down());
    EXPECT_EQ(F.Form->Log, TLog({"click:T"}));
}

TEST(nvButtonPress, AllowAllUpLetsTheDownButtonBeClickedUp)
{
    TGroupFixture F;
    auto* U = F.Btn("U");
    ClickAt(U, QPoint(4, 4));
    EXPECT_TRUE(U->Down());
    ClickAt(U, QPoint(4, 4));
    EXPECT_FALSE(U->Down());
    EXPECT_EQ(F.Form->Log, TLog({"changing:U", "sel:U", "change:U", "click:U", "sel:U", "change:U", "click:U"}));
}

TEST(nvButtonPress, SettingDownBroadcastsToTheGroupAndBusyIgnoresInput)
{
    TGroupFixture F;
    auto* A = F.Btn("A");
    auto* B = F.Btn("B");
    B->SetDown(true);
    EXPECT_FALSE(A->Down());
    EXPECT_EQ(F.Form->Log, TLog({"changing:B", "sel:A", "change:A", "sel:B", "change:B"}));
    // A broadcast of another group index, or from a button that is up, changes nothing.
    TMessage M{CM_BUTTONPRESSED, 7, reinterpret_cast<intptr_t>(static_cast<TControl*>(A)), 0};
    B->WndProc(M);
    M.WParam = 1;
    B->WndProc(M);
    EXPECT_TRUE(B->Down());

    F.Form->Log.clear();
    A->SetBusy(true);
    ClickAt(A, QPoint(5, 5));
    A->Click();
    EXPECT_FALSE(A->Down());
    EXPECT_TRUE(F.Form->Log.empty());
}

TEST(nvButtonPress, EveryOtherButtonOfTheGroupHearsOfThePressInChildOrder)
{
    // Four buttons of group 5 and one of group 6, all on one parent; W is down.
    InitApplication();
    RegisterClasses<TButtonTestForm>();
    ParkPointer();
    String Text = "object ButtonTestForm: TButtonTestForm\n  ClientHeight = 60\n  ClientWidth = 400\n";
    const char* const Names[] = {"W", "X", "Y", "Z", "Other"};
    for (int I = 0; I < 5; ++I)
        Text += "  object " + String(Names[I]) + ": TnvImageBtn\n    Left = " + std::to_string(10 + 70 * I) +
                "\n    Top = 10\n    Width = 60\n    Height = 30\n    GroupIndex = " + (I < 4 ? "5" : "6") +
                (I == 0 || I == 4 ? "\n    Down = True" : "") + "\n    OnSelChange = BtnSelChange\n  end\n";
    Text += "end\n";
    TButtonTestForm Form;
    ReadComponentFromText(Text, &Form);
    TnvChangeLink Link;
    Link.OnChange = [&](TObject* S) { Form.Log.push_back("change:" + TButtonTestForm::NameOf(S)); };
    for (const char* N : Names)
        Get<TnvCustomBitBtn>(&Form, N)->RegisterChanges(&Link);
    Activate(&Form);
    auto* Y = Get<TnvCustomBitBtn>(&Form, "Y");

    struct TCase {
        const char* How;
        std::function<void()> Act;
    };
    const TCase Cases[] = {
        {"clicked", [&] { ClickAt(Y, QPoint(5, 5)); }},
        {"set in code", [&] { Y->SetDown(true); }},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.How);
        Get<TnvCustomBitBtn>(&Form, "W")->SetDown(true);
        Form.Log.clear();
        C.Act();
        // The buttons that were up hear of it too, each with its own change notification;
        // the button of another group hears nothing.
        std::vector<String> Sel;
        for (const String& E : Form.Log)
            if (E.rfind("click:", 0) != 0)
                Sel.push_back(E);
        EXPECT_EQ(Sel, TLog({"sel:W", "change:W", "sel:X", "change:X", "sel:Z", "change:Z", "sel:Y", "change:Y"}));
        for (const char* N : {"W", "X", "Z"}) {
            EXPECT_FALSE(Get<TnvCustomBitBtn>(&Form, N)->Down()) << N;
            EXPECT_FALSE(Get<TnvCustomBitBtn>(&Form, N)->LastSelDown()) << N;
        }
        EXPECT_TRUE(Y->Down());
        EXPECT_TRUE(Get<TnvCustomBitBtn>(&Form, "Other")->Down());
    }
}

TEST(nvButtonPress, DownIsAcceptedWhileLoadingAndAutoBoldFollowsIt)
{
    InitApplication();
    RegisterClasses<TButtonTestForm>();
    TButtonTestForm Form;
    ReadComponentFromText(R"(object ButtonTestForm: TButtonTestForm
  object Solo: TnvImageBtn
    Down = True
  end
  object G1: TnvImageBtn
    GroupIndex = 4
    Options = [boAutoBold]
  end
end
)",
                          &Form);
    EXPECT_TRUE(Get<TnvCustomBitBtn>(&Form, "Solo")->Down());
    auto* G1 = Get<TnvCustomBitBtn>(&Form, "G1");
    G1->SetDown(true);
    EXPECT_TRUE(G1->Font()->Style().testFlag(fsBold));
    G1->SetAllowAllUp(true);
    G1->SetDown(false);
    EXPECT_FALSE(G1->Font()->Style().testFlag(fsBold));
    // Without boFocusable the loaded button is not a tab stop.
    EXPECT_FALSE(G1->TabStop());
}

// ---------------------------------------------------------------- keyboard

TEST(nvButtonKeys, SpaceEnterEscapeAndAccelerators)
{
    TGroupFixture F;
    auto* P = F.Btn("P");
    auto* B = F.Btn("B");
    auto* A = F.Btn("A");
    Word Key = VK_SPACE;
    TMessage K{WM_KEYDOWN, VK_SPACE, 0, 0};
    P->WndProc(K);
    (void)Key;
    EXPECT_EQ(F.Form->Log, TLog({"changing:P", "click:P"}));
    EXPECT_FALSE(P->Down());

    // Enter reaches the default button, Esc the cancel button, unless a shift key is held.
    F.Form->Log.clear();
    P->SetDefault(true);
    B->SetCancel(true);
    F.Form->SetActiveControl(nullptr);
    EXPECT_TRUE(P->ActiveDefault());
    EXPECT_NE(F.Form->Perform(CM_DIALOGKEY, VK_RETURN, 0), 0);
    EXPECT_EQ(F.Form->Perform(CM_DIALOGKEY, VK_RETURN, ssShift), 0);
    EXPECT_NE(F.Form->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 0);
    EXPECT_EQ(F.Form->Log, TLog({"click:P", "click:B"}));
    // A focused suite button takes Enter from the default button.
    F.Form->Log.clear();
    A->SetOptions(TnvButtonOptions(boFocusable));
    A->SetTabStop(true);
    A->SetFocus();
    EXPECT_FALSE(P->ActiveDefault());
    EXPECT_TRUE(A->ActiveDefault());
    F.Form->Perform(CM_DIALOGKEY, VK_RETURN, 0);
    EXPECT_EQ(F.Form->Log, TLog({"click:A"}));

    // The caption's accelerator clicks the button.
    F.Form->Log.clear();
    EXPECT_NE(F.Form->Perform(CM_DIALOGCHAR, 'p', 0), 0);
    EXPECT_EQ(F.Form->Log, TLog({"click:P"}));
    // In a group it also selects the button, with the usual notifications.
    F.Form->Log.clear();
    B->SetCaption("&Bee");
    F.Form->Perform(CM_DIALOGCHAR, 'b', 0);
    EXPECT_TRUE(B->Down());
    EXPECT_FALSE(A->Down());
    EXPECT_EQ(F.Form->Log, TLog({"changing:B", "sel:A", "change:A", "sel:B", "change:B", "click:B"}));
}

TEST(nvButtonKinds, CloseKindClosesTheFormAndOtherKindsSetTheModalResult)
{
    TGroupFixture F;
    auto* P = F.Btn("P");
    P->SetKind(bkRetry);
    P->Click();
    EXPECT_EQ(F.Form->ModalResult(), mrRetry);
    P->SetKind(bkClose);
    P->Click();
    EXPECT_FALSE(F.Form->QWidget::isVisible());
    EXPECT_EQ(F.Form->Log, TLog({"click:P"})); // closing is all a close button does
}

// ---------------------------------------------------------------- hot tracking and shade styles

TEST(nvButtonLook, FlatButtonIsDrawnNormalWhileItsClickHandlerRuns)
{
    InitApplication();
    TWinControl Host;
    TStyleProbeBtn Btn;
    Btn.SetParent(&Host);
    Btn.SetShadeStyle(fbsFlat);
    QImage Outside = Btn.Render();
    QImage Inside;
    Btn.OnClick = [&](TObject*) { Inside = Btn.Render(); };
    Btn.Click();
    EXPECT_EQ(Rgb(Outside, 10, 2), TStyleProbeBtn::StyleColor(fbsFlat) & 0xFFFFFF);
    EXPECT_EQ(Rgb(Inside, 10, 2), TStyleProbeBtn::StyleColor(fbsNormal) & 0xFFFFFF);
    EXPECT_EQ(Rgb(Btn.Render(), 10, 2), TStyleProbeBtn::StyleColor(fbsFlat) & 0xFFFFFF);
    EXPECT_FALSE(Btn.InClick());
    // Other styles reach the face unchanged.
    for (TnvShadeStyle S : {fbsNormal, fbsRaised, fbsHighlight}) {
        Btn.SetShadeStyle(S);
        EXPECT_EQ(Rgb(Btn.Render(), 10, 2), TStyleProbeBtn::StyleColor(S) & 0xFFFFFF);
    }
}

TEST(nvButtonLook, MouseEnterAndLeaveSetHotAndCallTheEvents)
{
    InitApplication();
    TWinControl Host;
    TTestImageBtn Btn;
    Btn.SetParent(&Host);
    std::vector<String> Log;
    Btn.OnMouseEnter = [&](TObject*) { Log.push_back("enter"); };
    Btn.OnMouseLeave = [&](TObject*) { Log.push_back("leave"); };
    Btn.Perform(CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(static_cast<TControl*>(&Btn)));
    EXPECT_TRUE(Btn.Hot());
    Btn.Perform(CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(static_cast<TControl*>(&Btn)));
    EXPECT_FALSE(Btn.Hot());
    EXPECT_EQ(Log, (std::vector<String>{"enter", "leave"}));
}

TEST(nvButtonLook, UpdateShadeColorsDerivesTheBevelColours)
{
    InitApplication();
    TTestImageBtn Btn;
    Btn.UpdateShadeColors(MakeColor(0x00408060)); // red 0x60, green 0x80, blue 0x40
    // Shadow: each channel c + c * -50 div 100; black: the same again.
    EXPECT_EQ(Btn.ShadeColors()->BtnShadow(), MakeColor(0x00204030));
    EXPECT_EQ(Btn.ShadeColors()->BtnBlack(), MakeColor(0x00102018));
    // Light: c + (255 - c) * 50 div 100; highlight: the same again.
    EXPECT_EQ(Btn.ShadeColors()->Btn3DLight(), MakeColor(0x009FBFAF));
    EXPECT_EQ(Btn.ShadeColors()->BtnHighlight(), MakeColor(0x00CFDFD7));
}

// ---------------------------------------------------------------- glyph cells

namespace {

// Four cells of 16 x 16 on olive: a square from 4 to 11 of one colour each.
void SetFourCellGlyph(TnvCustomBitBtn& Btn)
{
    const QRgb Colors[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
    QImage I(64, 16, QImage::Format_RGB32);
    I.fill(qRgb(128, 128, 0));
    for (int C = 0; C < 4; ++C)
        for (int Y = 4; Y < 12; ++Y)
            for (int X = 4; X < 12; ++X)
                I.setPixel(C * 16 + X, Y, Colors[C]);
    TBitmap G;
    G.SetImage(I);
    Btn.SetGlyph(&G);
    Btn.SetNumGlyphs(4);
}

} // namespace

TEST(nvButtonGlyph, CellByStateAndExactPositionAtOddX)
{
    InitApplication();
    TWinControl Host;
    Host.SetBounds(0, 0, 200, 100);
    TTestImageBtn Btn;
    Btn.SetParent(&Host);
    Btn.SetBounds(0, 0, 60, 40);
    SetFourCellGlyph(Btn);
    // The pointer over the button: the hot cell 3.
    QCursor::setPos(Btn.mapToGlobal(QPoint(30, 20)));
    ASSERT_EQ(QCursor::pos(), Btn.mapToGlobal(QPoint(30, 20))) << "the platform cannot move the pointer";
    QImage I = Btn.Render();
    EXPECT_EQ(Rgb(I, 26, 16), 0xFFFF00u);
    QCursor::setPos(Btn.mapToGlobal(QPoint(300, 20)));
    // No caption: the glyph is centred at (22, 12); its square covers 26 .. 33.
    I = Btn.Render();
    EXPECT_EQ(Rgb(I, 26, 16), 0xFF0000u);
    EXPECT_EQ(Rgb(I, 33, 23), 0xFF0000u);
    EXPECT_EQ(Rgb(I, 25, 16), Sys(clBtnFace)); // transparent glyph pixels show the face
    EXPECT_EQ(Rgb(I, 34, 16), Sys(clBtnFace));
    // An odd x position: the square starts exactly one pixel further right.
    Btn.Offsets()->SetGlyphX(1);
    I = Btn.Render();
    EXPECT_EQ(Rgb(I, 26, 16), Sys(clBtnFace));
    EXPECT_EQ(Rgb(I, 27, 16), 0xFF0000u);
    EXPECT_EQ(Rgb(I, 34, 16), 0xFF0000u);
    Btn.Offsets()->SetGlyphX(0);
    // Pressed (down in a group, moved by the down offset 1, 1): cell 2.
    Btn.SetGroupIndex(1);
    Btn.SetDown(true);
    I = Btn.Render();
    EXPECT_EQ(Rgb(I, 27, 17), 0x0000FFu);
    Btn.SetAllowAllUp(true);
    Btn.SetDown(false);
    // Disabled: cell 1.
    Btn.SetEnabled(false);
    I = Btn.Render();
    EXPECT_EQ(Rgb(I, 26, 16), 0x00FF00u);
    // Disabled with one cell: the engraved picture of cell 0.
    Btn.SetNumGlyphs(1);
    TBitmap G;
    QImage One(16, 16, QImage::Format_RGB32);
    One.fill(qRgb(128, 128, 0));
    for (int Y = 4; Y < 12; ++Y)
        for (int X = 4; X < 12; ++X)
            One.setPixel(X, Y, qRgb(0, 0, 0));
    G.SetImage(One);
    Btn.SetGlyph(&G);
    I = Btn.Render();
    EXPECT_EQ(Rgb(I, 26, 16), Sys(clBtnShadow));
    EXPECT_EQ(Rgb(I, 34, 24), Sys(clBtnHighlight));
}

// ---------------------------------------------------------------- stored region records

TEST(nvButtonRegion, RecordsRoundTripAndBadRecordsRaiseClearErrors)
{
    InitApplication();
    TTestImageBtn Btn;
    // N = 0 reads as no region and writes back as four zero bytes.
    TMemoryStream Zero(std::vector<uint8_t>{0, 0, 0, 0});
    Btn.ReadRegionData(Zero);
    EXPECT_FALSE(Btn.RegionData().HasBuffer());
    TMemoryStream Out;
    Btn.WriteRegionData(Out);
    EXPECT_EQ(Out.Bytes(), (std::vector<uint8_t>{0, 0, 0, 0}));

    // A region goes out as N and the platform's region data, and comes back.
    const QRegion R = CreateRectRgn(2, 3, 20, 9).united(CreateRectRgn(5, 9, 8, 15));
    Btn.SaveRegion(R, true);
    TMemoryStream Down;
    Btn.WriteDownRegionData(Down);
    const std::vector<uint8_t> Data = GetRegionData(R);
    ASSERT_EQ(Down.Bytes().size(), 4 + Data.size());
    EXPECT_EQ(Down.Bytes()[0], Data.size() & 0xFF);
    EXPECT_EQ(std::vector<uint8_t>(Down.Bytes().begin() + 4, Down.Bytes().end()), Data);
    TTestImageBtn Other;
    Down.SetPosition(0);
    Other.ReadDownRegionData(Down);
    EXPECT_TRUE(EqualRgn(Other.CreateRegion(false, true), R));

    // Truncated records name the property and what is wrong.
    TMemoryStream Short(std::vector<uint8_t>{5, 0});
    try {
        Other.ReadRegionData(Short);
        FAIL() << "a two-byte record was accepted";
    } catch (const EReadError& E) {
        EXPECT_NE(E.Message().find("RegionData"), String::npos) << E.Message();
    }
    std::vector<uint8_t> Lying{0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3};
    TMemoryStream Big(Lying);
    try {
        Other.ReadDownRegionData(Big);
        FAIL() << "a record announcing more bytes than it has was accepted";
    } catch (const EReadError& E) {
        EXPECT_NE(E.Message().find("DownRegionData"), String::npos) << E.Message();
        EXPECT_NE(E.Message().find("3 bytes"), String::npos) << E.Message();
    }
    // The record read before is kept.
    EXPECT_TRUE(EqualRgn(Other.CreateRegion(false, true), R));

    // Region data the platform rejects gives no region: the button is rectangular.
    std::vector<uint8_t> Junk(4 + 40, 0x11);
    Junk[0] = 40;
    Junk[1] = Junk[2] = Junk[3] = 0;
    TMemoryStream J(Junk);
    Other.ReadRegionData(J);
    EXPECT_TRUE(Other.CreateRegion(false, false).isEmpty());
}

// ---------------------------------------------------------------- data binding

TEST(nvButtonData, TheCaptionFollowsTheBoundFieldUnlessStatic)
{
    InitApplication();
    auto DS = std::make_unique<TClientDataSet>();
    DS->FieldDefs()->Add("Name", ftString, 20);
    DS->CreateDataSet();
    DS->AppendRecord({TVariant(String("First"))});
    DS->AppendRecord({TVariant(String("Second"))});
    DS->First();
    TDataSource Source;
    Source.SetDataSet(DS.get());
    TWinControl Host;
    TTestImageBtn Btn;
    Btn.SetParent(&Host);
    Btn.SetCaption("Fixed");
    Btn.SetDataSource(&Source);
    Btn.SetDataField("Name");
    String Cap;
    Btn.GetCaption(Cap);
    EXPECT_EQ(Cap, "First");
    EXPECT_EQ(Btn.Caption(), "First"); // the data change copied the field
    DS->Next();
    EXPECT_EQ(Btn.Caption(), "Second");
    EXPECT_EQ(Btn.Perform(CM_GETDATALINK), reinterpret_cast<intptr_t>(Btn.DataLink()));
    // A static caption ignores the binding.
    Btn.SetStaticCaption(true);
    Btn.SetCaption("Still");
    DS->First();
    Btn.GetCaption(Cap);
    EXPECT_EQ(Cap, "Still");
    EXPECT_EQ(Btn.Caption(), "Still");
}

TEST(nvButtonData, RemovingTheDataSourceClearsTheBinding)
{
    InitApplication();
    TWinControl Host;
    TTestImageBtn Btn;
    auto* Source = new TDataSource();
    Btn.SetDataSource(Source);
    EXPECT_EQ(Btn.DataSource(), Source);
    delete Source;
    EXPECT_EQ(Btn.DataSource(), nullptr);
}

// ---------------------------------------------------------------- focus, group looks, stored kinds

TEST(nvButtonLook, FocusRectangleAroundGlyphAndCaptionOnlyWithBothOptions)
{
    InitApplication();
    ParkPointer();
    RegisterClasses<TButtonTestForm>();
    TButtonTestForm Form;
    Form.SetBounds(0, 0, 200, 100);
    auto* Btn = new TTestImageBtn(&Form);
    Btn->SetParent(&Form);
    Btn->SetBounds(10, 10, 80, 40);
    SetFourCellGlyph(*Btn);
    Btn->SetNumGlyphs(1);
    Activate(&Form);
    const QImage Plain = Btn->Render();
    Btn->SetOptions(TnvButtonOptions(boFocusable) | boFocusRect);
    Btn->SetTabStop(true);
    Btn->SetFocus();
    const QImage Focused = Btn->Render();
    // Only the focus rectangle differs: changed pixels lie on one frame that
    // encloses the glyph (40 .. 55 wide cells of 16: the cell is 64 / 1 = 64 wide).
    int L = 1000, T = 1000, R = -1, B = -1, Changed = 0;
    for (int Y = 0; Y < Plain.height(); ++Y)
        for (int X = 0; X < Plain.width(); ++X)
            if (Rgb(Plain, X, Y) != Rgb(Focused, X, Y)) {
                ++Changed;
                L = std::min(L, X);
                T = std::min(T, Y);
                R = std::max(R, X);
                B = std::max(B, Y);
            }
    ASSERT_GT(Changed, 0);
    for (int Y = 0; Y < Plain.height(); ++Y)
        for (int X = 0; X < Plain.width(); ++X)
            if (Rgb(Plain, X, Y) != Rgb(Focused, X, Y)) {
                EXPECT_TRUE(X == L || X == R || Y == T || Y == B) << X << "," << Y;
            }
    // The glyph (64 x 16 at (8, 12)) grown by 2 lies within the frame.
    EXPECT_LE(L, 6);
    EXPECT_GE(R, 73);
    EXPECT_LE(T, 10);
    EXPECT_GE(B, 29);
    // Without boFocusRect: no frame.
    Btn->SetOptions(TnvButtonOptions(boFocusable));
    EXPECT_EQ(Btn->Render(), Plain);
}

TEST(nvButtonLook, AGroupShowingDownAsUpDrawsOnlyThePressOfAnUnselectedButton)
{
    TGroupFixture F;
    auto* A = F.Btn("A");
    auto* B = F.Btn("B");
    A->SetShowDownAsUp(true);
    B->SetShowDownAsUp(true);
    EXPECT_TRUE(A->Down());
    EXPECT_FALSE(A->PressedLook());
    QCursor::setPos(B->mapToGlobal(QPoint(5, 5)));
    Press(B, QPoint(5, 5));
    EXPECT_TRUE(B->PressedLook());
    Release(B, QPoint(5, 5));
    EXPECT_TRUE(B->Down());
    EXPECT_FALSE(B->PressedLook());
    ParkPointer();
}

TEST(nvButtonStored, KindsKeepTheirGlyphOutOfTheFormAndALoadedCaptionWins)
{
    InitApplication();
    RegisterClasses<TButtonTestForm>();
    TButtonTestForm Form;
    ReadComponentFromText(R"(object ButtonTestForm: TButtonTestForm
  object Yes1: TnvImageBtn
    Caption = 'Yes please'
    Kind = bkYes
  end
  object Ok1: TnvImageBtn
    Kind = bkOK
  end
end
)",
                          &Form);
    auto* Yes1 = Get<TnvCustomBitBtn>(&Form, "Yes1");
    auto* Ok1 = Get<TnvCustomBitBtn>(&Form, "Ok1");
    EXPECT_EQ(Yes1->Caption(), "Yes please");
    EXPECT_EQ(Ok1->Caption(), "OK");
    EXPECT_TRUE(Ok1->Default());
    EXPECT_FALSE(Ok1->Glyph()->Empty());
    const String Text = ComponentToText(&Form);
    EXPECT_EQ(Text.find("Glyph.Data"), String::npos) << Text;
    EXPECT_NE(Text.find("Caption = 'Yes please'"), String::npos) << Text;
    EXPECT_EQ(Text.find("Caption = 'OK'"), String::npos) << Text;
    EXPECT_NE(Text.find("Kind = bkOK"), String::npos) << Text;
}
