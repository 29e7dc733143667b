// The label: auto-size, transparency, accelerators, mouse enter and leave,
// the data-aware label, form files, and the main window's title drawn to a
// picture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>

#include <memory>

#include "DBClient.h"
#include "ExtCtrls.h"
#include "FormStream.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "nvLabel.h"
#include "nvLabelTestClasses.h"
#include "nvTextTestSupport.h"

using namespace nvTextTest;

namespace {

std::unique_ptr<TLabelTestForm> NewForm(int W = 400, int H = 200)
{
    InitApplication();
    RegisterClasses<TLabelTestForm, TDBCtrlGrid, TShape>();
    auto F = std::make_unique<TLabelTestForm>();
    F->SetClientWidth(W);
    F->SetClientHeight(H);
    return F;
}

TnvLabel* NewLabel(TForm* Form, const String& Caption)
{
    auto* L = new TnvLabel(Form);
    L->SetParent(Form);
    L->SetLeft(100);
    L->SetTop(20);
    L->SetCaption(Caption);
    return L;
}

QImage Shot(TForm* Form)
{
    return Form->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void SendKey(QWidget* W, int Key, const QString& Text, Qt::KeyboardModifiers Mods)
{
    QKeyEvent Press(QEvent::KeyPress, Key, Mods, Text);
    QApplication::sendEvent(W, &Press);
    QKeyEvent Release(QEvent::KeyRelease, Key, Mods, Text);
    QApplication::sendEvent(W, &Release);
}

} // namespace

TEST(nvLabel, NewLabel)
{
    auto Form = NewForm();
    TnvLabel L(Form.get());
    EXPECT_EQ(L.Width(), 65);
    EXPECT_EQ(L.Height(), 17);
    EXPECT_TRUE(L.AutoSize());
    EXPECT_FALSE(L.Transparent());
    EXPECT_TRUE(L.ControlStyle().testFlag(csReplicatable));
    EXPECT_EQ(L.TextOptions()->Options(), TnvTextOptions(toShowAccel));
    EXPECT_EQ(L.TextOptions()->Alignment(), taLeftJustify);
    EXPECT_EQ(L.TextOptions()->VAlignment(), vaTop);
}

TEST(nvLabel, AutoSizeFollowsTheText)
{
    auto Form = NewForm();
    TnvLabel* L = NewLabel(Form.get(), "Buttons && Labels");
    EXPECT_EQ(L->Width(), L->Font()->TextWidth("Buttons & Labels") + 1) << "one ampersand shown";
    EXPECT_EQ(L->Height(), L->Font()->Metrics().tmHeight);

    const int W = L->Width(), H = L->Height();
    L->TextOptions()->ExtrudeEffects()->SetEnabled(true);
    EXPECT_EQ(L->Width(), W + 10);
    L->TextOptions()->ExtrudeEffects()->SetDepth(4);
    EXPECT_EQ(L->Width(), W + 4) << "a new depth resizes the label";
    EXPECT_EQ(L->Height(), H + 4);

    L->Font()->SetHeight(-30);
    EXPECT_GT(L->Height(), H + 15) << "a font change resizes";

    L->SetAutoSize(false);
    const int Fixed = L->Width();
    L->SetCaption("A much longer caption than before");
    EXPECT_EQ(L->Width(), Fixed) << "no sizing without AutoSize";
    L->SetAutoSize(true);
    EXPECT_GT(L->Width(), Fixed) << "sized again when AutoSize is set";
}

TEST(nvLabel, RightAlignedTextGrowsToTheLeft)
{
    auto Form = NewForm();
    TnvLabel* L = NewLabel(Form.get(), "ab");
    L->TextOptions()->SetAlignment(taRightJustify);
    L->SetLeft(200);
    const int Right = L->Left() + L->Width();
    L->SetCaption("abcdefghij");
    EXPECT_EQ(L->Left() + L->Width(), Right);
    EXPECT_LT(L->Left(), 200);
    L->SetCaption("a");
    EXPECT_EQ(L->Left() + L->Width(), Right) << "and shrinks toward the right edge";

    TnvLabel* LeftOne = NewLabel(Form.get(), "ab");
    const int Left = LeftOne->Left();
    LeftOne->SetCaption("abcdefghij");
    EXPECT_EQ(LeftOne->Left(), Left);
}

TEST(nvLabel, OpaqueLabelsFillTheirBackground)
{
    for (int Variant = 0; Variant < 4; ++Variant) {
        const bool Transparent = Variant % 2 != 0;
        const bool Buffered = Variant >= 2;
        auto Form = NewForm();
        Form->SetColor(clBtnFace);
        TnvLabel* L = NewLabel(Form.get(), "x");
        L->SetAutoSize(false);
        L->SetBounds(100, 20, 80, 30);
        L->SetParentColor(false);
        L->SetColor(clRed);
        L->SetTransparent(Transparent);
        L->TextOptions()->SetDoubleBuffered(Buffered);
        EXPECT_EQ(L->Transparent(), Transparent);
        EXPECT_EQ(L->ControlStyle().testFlag(csOpaque), !Transparent);
        const QImage I = Shot(Form.get());
        const TColor Expected = Transparent ? ColorToRGB(clBtnFace) : clRed;
        for (TPoint P : {TPoint(100, 20), TPoint(179, 20), TPoint(100, 49), TPoint(179, 49), TPoint(170, 40)})
            EXPECT_EQ(QRgbToColor(I.pixel(P.X, P.Y)), Expected) << Variant << " at " << P.X << "," << P.Y;
        EXPECT_GT(CountColor(I.copy(100, 20, 80, 30), clBlack), 0) << Variant << ": the caption is drawn";
        EXPECT_EQ(QRgbToColor(I.pixel(99, 20)), ColorToRGB(clBtnFace)) << "nothing outside";
    }
}

TEST(nvLabel, TextIsDrawnWithItsEffects)
{
    auto Form = NewForm();
    Form->SetColor(clWhite);
    TnvLabel* L = NewLabel(Form.get(), "I");
    L->SetTransparent(true);
    L->Font()->SetHeight(-40);
    L->Font()->SetStyle(TFontStyles(fsBold));
    L->Font()->SetColor(clYellow);
    L->TextOptions()->SetStyle(nvlsOutline);
    L->TextOptions()->SetOutlineColor(clRed);
    const QImage I = Shot(Form.get());
    const TRect Text = BoxOfColor(I, clYellow);
    ASSERT_FALSE(Text.IsEmpty());
    TRect Ring = Text;
    InflateRect(Ring, 1, 1);
    EXPECT_EQ(BoxOfColor(I, clRed), Ring);
    EXPECT_GE(Ring.Left, L->Left());
    EXPECT_LE(Ring.Right, L->Left() + L->Width());

    L->SetEnabled(false);
    const QImage D = Shot(Form.get());
    EXPECT_EQ(CountColor(D, clYellow), 0) << "disabled: the disabled colours";
    EXPECT_GT(CountColor(D, clBtnShadow), 0);
}

TEST(nvLabel, AcceleratorFocusesTheFocusControl)
{
    for (bool ShowAccel : {true, false}) {
        auto Form = NewForm();
        auto* Button = new TButton(Form.get());
        Button->SetParent(Form.get());
        Button->SetName("Button1");
        auto* Edit = new TEdit(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetTop(100);
        TnvLabel* L = NewLabel(Form.get(), "&Name");
        L->SetFocusControl(Edit);
        if (!ShowAccel)
            L->TextOptions()->SetOptions(TnvTextOptions());
        Form->Show();
        Button->SetFocus();
        ASSERT_EQ(Form->ActiveControl(), Button);
        TMessage M{CM_DIALOGCHAR, 'x', 0, 0};
        L->WndProc(M);
        EXPECT_EQ(M.Result, 0) << "another letter";
        SendKey(Button, Qt::Key_N, "n", Qt::AltModifier);
        if (ShowAccel)
            EXPECT_EQ(Form->ActiveControl(), Edit);
        else
            EXPECT_EQ(Form->ActiveControl(), Button) << "without toShowAccel the key is ignored";
        Form->Hide();
    }
}

TEST(nvLabel, FocusControlIsClearedWhenDestroyed)
{
    auto Form = NewForm();
    auto* Edit = new TEdit(Form.get());
    Edit->SetParent(Form.get());
    TnvLabel* L = NewLabel(Form.get(), "&Name");
    L->SetFocusControl(Edit);
    delete Edit;
    EXPECT_EQ(L->FocusControl(), nullptr);
    TMessage M{CM_DIALOGCHAR, 'N', 0, 0};
    L->WndProc(M);
    EXPECT_EQ(M.Result, 0);
}

TEST(nvLabel, MouseEnterAndLeave)
{
    auto Form = NewForm();
    TnvLabel* L = NewLabel(Form.get(), "hot");
    std::vector<String> Calls;
    L->OnMouseEnter = [&](TObject* S) {
        EXPECT_EQ(S, L);
        Calls.push_back("enter");
    };
    L->OnMouseLeave = [&](TObject*) { Calls.push_back("leave"); };
    L->Perform(CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(L));
    L->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(L));
    EXPECT_EQ(Calls, (std::vector<String>{"enter", "leave"}));
}

TEST(nvLabel, FormFilesReadAndWriteTheTextOptions)
{
    const String Text = "object F: TLabelTestForm\n"
                        "  ClientWidth = 300\n"
                        "  ClientHeight = 100\n"
                        "  object TitleLabel: TnvLabel\n"
                        "    Left = 12\n"
                        "    Top = 5\n"
                        "    Width = 273\n"
                        "    Height = 43\n"
                        "    AutoSize = False\n"
                        "    Caption = 'Outlook Bar'\n"
                        "    Font.Height = -32\n"
                        "    Font.Style = [fsBold]\n"
                        "    Transparent = True\n"
                        "    TextOptions.Alignment = taRightJustify\n"
                        "    TextOptions.ExtrudeEffects.Depth = 8\n"
                        "    TextOptions.ExtrudeEffects.Enabled = True\n"
                        "    TextOptions.ExtrudeEffects.FarColor = clBlue\n"
                        "    TextOptions.ExtrudeEffects.Orientation = nvTopLeft\n"
                        "    TextOptions.Shadow.XOffset = -3\n"
                        "    TextOptions.DisabledColors.ShadeColor = clMaroon\n"
                        "    TextOptions.Options = [toShowAccel, toFullJustify]\n"
                        "    TextOptions.Rotation = -90\n"
                        "    TextOptions.Style = nvlsRaised\n"
                        "    OnMouseEnter = TitleEnter\n"
                        "    OnMouseLeave = TitleLeave\n"
                        "  end\n"
                        "end\n";
    auto Form = NewForm();
    ReadComponentFromText(Text, Form.get());
    auto* L = dynamic_cast<TnvLabel*>(Form->FindComponent("TitleLabel"));
    ASSERT_NE(L, nullptr);
    EXPECT_FALSE(L->AutoSize());
    EXPECT_EQ(L->Width(), 273) << "not auto-sized";
    EXPECT_TRUE(L->Transparent());
    TnvCaptionText* T = L->TextOptions();
    EXPECT_EQ(T->Alignment(), taRightJustify);
    EXPECT_EQ(T->ExtrudeEffects()->Depth(), 8);
    EXPECT_TRUE(T->ExtrudeEffects()->Enabled());
    EXPECT_EQ(T->ExtrudeEffects()->FarColor(), clBlue);
    EXPECT_EQ(T->ExtrudeEffects()->Orientation(), nvTopLeft);
    EXPECT_EQ(T->Shadow()->XOffset(), -3);
    EXPECT_EQ(T->DisabledColors()->ShadeColor(), clMaroon);
    EXPECT_EQ(T->Options(), TnvTextOptions(toShowAccel) | toFullJustify);
    EXPECT_EQ(T->Rotation(), 270);
    EXPECT_EQ(T->Style(), nvlsRaised);
    L->Perform(CM_MOUSEENTER, 0, 0);
    L->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Form->Calls, (std::vector<String>{"enter", "leave"}));

    const String Written = ComponentToText(Form.get());
    for (const char* Line : {"TextOptions.ExtrudeEffects.Depth = 8", "TextOptions.ExtrudeEffects.FarColor = clBlue",
                             "TextOptions.Rotation = 270", "TextOptions.Style = nvlsRaised",
                             "TextOptions.Alignment = taRightJustify", "AutoSize = False",
                             "OnMouseEnter = TitleEnter"})
        EXPECT_NE(Written.find(Line), String::npos) << Line << "\n" << Written;
    for (const char* Default : {"NearColor", "Striated", "LineSpacing", "HighlightColor", "DoubleBuffered"})
        EXPECT_EQ(Written.find(Default), String::npos) << Default << " is at its default\n" << Written;

    auto Back = NewForm();
    ReadComponentFromText(Written, Back.get());
    auto* L2 = dynamic_cast<TnvLabel*>(Back->FindComponent("TitleLabel"));
    ASSERT_NE(L2, nullptr);
    EXPECT_EQ(ComponentToText(Back.get()), Written);
    EXPECT_EQ(L2->TextOptions()->Shadow()->XOffset(), -3);
}

TEST(nvLabel, BadValuesInAFormFileNameTheProperty)
{
    const String Text = "object F: TLabelTestForm\n"
                        "  object L1: TnvLabel\n"
                        "    TextOptions.ExtrudeEffects.Orientation = nvSideways\n"
                        "  end\n"
                        "end\n";
    auto Form = NewForm();
    try {
        ReadComponentFromText(Text, Form.get());
        ADD_FAILURE() << "no exception";
    } catch (const EReadError& E) {
        EXPECT_NE(E.Message().find("L1.TextOptions.ExtrudeEffects.Orientation"), String::npos) << E.Message();
    }
    EXPECT_EQ(Form->FindComponent("L1"), nullptr) << "nothing half-built is left";
}

TEST(nvLabel, DataAwareLabelShowsTheFieldText)
{
    auto Form = NewForm();
    auto* DS = new TClientDataSet(Form.get());
    DS->FieldDefs()->Add("Name", ftString, 20);
    DS->FieldDefs()->Add("Price", ftFloat);
    DS->FieldDefs()->Add("Notes", ftMemo);
    DS->CreateDataSet();
    DS->AppendRecord({"Tea", 2.5, "line one\r\nline two"});
    DS->AppendRecord({"Coffee", 3.25, "strong"});
    DS->First();
    auto* Source = new TDataSource(Form.get());
    Source->SetDataSet(DS);
    TnvLabel* L = NewLabel(Form.get(), "before");
    L->SetDataSource(Source);
    EXPECT_EQ(L->Caption(), "before") << "no field: the caption stays";
    L->SetDataField("Name");
    EXPECT_EQ(L->Caption(), "Tea");
    EXPECT_EQ(L->Width(), L->Font()->TextWidth("Tea") + 1) << "auto-sized to the field text";
    DS->Next();
    EXPECT_EQ(L->Caption(), "Coffee");
    DS->Edit();
    DS->FieldByName("Name")->SetAsString("Cocoa");
    EXPECT_EQ(L->Caption(), "Cocoa") << "follows edits of the field";
    DS->Cancel();
    L->SetDataField("Price");
    EXPECT_EQ(L->Caption(), DS->FieldByName("Price")->DisplayText());
    L->SetDataField("Notes");
    DS->First();
    EXPECT_EQ(L->Caption(), "line one\r\nline two") << "a memo's whole text";
    TMessage M{CM_GETDATALINK, 0, 0, 0};
    L->WndProc(M);
    EXPECT_EQ(M.Result, reinterpret_cast<intptr_t>(L->DataLink()));
    delete Source;
    EXPECT_EQ(L->DataSource(), nullptr) << "a removed data source is cleared";
}

TEST(nvLabel, InsideADataControlGrid)
{
    auto Form = NewForm();
    auto* Grid = new TDBCtrlGrid(Form.get());
    Grid->SetParent(Form.get());
    auto* L = new TnvLabel(Form.get());
    L->SetParent(Grid);
    EXPECT_TRUE(L->DataSourceFixed());
    L->SetAutoSize(false);
    try {
        L->SetAutoSize(true);
        ADD_FAILURE() << "no exception";
    } catch (const EDatabaseError& E) {
        EXPECT_EQ(E.Message(), "Operation not allowed in a DBCtrlGrid");
    }
    EXPECT_FALSE(L->AutoSize());

    TnvLabel* Outside = NewLabel(Form.get(), "x");
    EXPECT_FALSE(Outside->DataSourceFixed());
    Outside->SetAutoSize(false);
    Outside->SetAutoSize(true);
    EXPECT_TRUE(Outside->AutoSize());
}

TEST(nvLabel, MainWindowTitle)
{
    // The title of the main window: white bold text with an 8-pixel
    // extrusion from blue to black toward the bottom right, on navy.
    const String Text = "object F: TLabelTestForm\n"
                        "  ClientWidth = 480\n"
                        "  ClientHeight = 90\n"
                        "  Color = clNavy\n"
                        "  Font.Name = 'MS Sans Serif'\n"
                        "  Font.Height = -11\n"
                        "  object Back: TShape\n"
                        "    Left = 180\n"
                        "    Top = 25\n"
                        "    Width = 300\n"
                        "    Height = 65\n"
                        "    Brush.Color = clBlue\n"
                        "    Pen.Color = clBlue\n"
                        "  end\n"
                        "  object TitleLabel: TnvLabel\n"
                        "    Left = 192\n"
                        "    Top = 33\n"
                        "    Width = 273\n"
                        "    Height = 43\n"
                        "    AutoSize = False\n"
                        "    Caption = 'Outlook Bar'\n"
                        "    Font.Color = clWhite\n"
                        "    Font.Height = -32\n"
                        "    Font.Name = 'MS Sans Serif'\n"
                        "    Font.Style = [fsBold]\n"
                        "    ParentFont = False\n"
                        "    TextOptions.ExtrudeEffects.Depth = 8\n"
                        "    TextOptions.ExtrudeEffects.Enabled = True\n"
                        "    TextOptions.ExtrudeEffects.FarColor = clBlue\n"
                        "    Transparent = True\n"
                        "  end\n"
                        "  object nvLabel2: TnvLabel\n"
                        "    Left = 16\n"
                        "    Top = 11\n"
                        "    Caption = 'Kellvane''s Zentavo Demo'\n"
                        "    Font.Color = clWhite\n"
                        "    Font.Height = -12\n"
                        "    Font.Style = [fsBold]\n"
                        "    ParentFont = False\n"
                        "    Transparent = True\n"
                        "  end\n"
                        "end\n";
    auto Form = NewForm();
    ReadComponentFromText(Text, Form.get());
    auto* Title = dynamic_cast<TnvLabel*>(Form->FindComponent("TitleLabel"));
    auto* Top = dynamic_cast<TnvLabel*>(Form->FindComponent("nvLabel2"));
    ASSERT_NE(Title, nullptr);
    ASSERT_NE(Top, nullptr);
    EXPECT_EQ(Title->BoundsRect(), TRect(192, 33, 192 + 273, 33 + 43));
    EXPECT_EQ(Top->Width(), Top->Font()->TextWidth("Kellvane's Zentavo Demo") + 1) << "auto-sized";
    const QImage I = Shot(Form.get());
    ASSERT_TRUE(I.save(ShotPath("nvtext-main-title.png")));

    const QImage Area = I.copy(Title->BoundsRect().ToQRect());
    const TRect White = BoxOfColor(Area, clWhite);
    ASSERT_FALSE(White.IsEmpty());
    EXPECT_LE(White.Left, 4) << "left aligned";
    EXPECT_LE(White.Top, 12) << "top aligned";
    // The extrusion ends 7 pixels right of and below the text, in the
    // first layer's colour.
    const TRect Block = BoxOf(Area, [](TColor P) { return P != ColorToRGB(clBlue); });
    EXPECT_EQ(Block.Right, White.Right + 7);
    EXPECT_EQ(Block.Bottom, White.Bottom + 7);
    EXPECT_GT(CountColor(Area, ExtrudeLayerColor(clBlack, clBlue, 8, 1, false)), 20);
    EXPECT_GT(CountColor(Area, ExtrudeLayerColor(clBlack, clBlue, 8, 7, false)), 20) << "the near end of the block";
    const TRect TopWhite = BoxOfColor(I.copy(Top->BoundsRect().ToQRect()), clWhite);
    EXPECT_FALSE(TopWhite.IsEmpty());
}

TEST(nvLabel, ADataControlGridKeepsItsDataSourceWhileLoading)
{
    const String Text = "object F: TLabelTestForm\n"
                        "  object DS1: TDataSource\n"
                        "  end\n"
                        "  object Grid: TDBCtrlGrid\n"
                        "    object Inside: TnvLabel\n"
                        "      AutoSize = False\n"
                        "      DataSource = DS1\n"
                        "    end\n"
                        "  end\n"
                        "  object Outside: TnvLabel\n"
                        "    DataSource = DS1\n"
                        "  end\n"
                        "end\n";
    auto Form = NewForm();
    RegisterClasses<TDataSource>();
    ReadComponentFromText(Text, Form.get());
    auto* Inside = dynamic_cast<TnvLabel*>(Form->FindComponent("Inside"));
    auto* Outside = dynamic_cast<TnvLabel*>(Form->FindComponent("Outside"));
    ASSERT_NE(Inside, nullptr);
    ASSERT_NE(Outside, nullptr);
    EXPECT_EQ(Inside->DataSource(), nullptr) << "the grid decides";
    EXPECT_EQ(Outside->DataSource(), Form->FindComponent("DS1"));
    // After loading the data source can be set.
    Inside->SetDataSource(Outside->DataSource());
    EXPECT_EQ(Inside->DataSource(), Outside->DataSource());
}
