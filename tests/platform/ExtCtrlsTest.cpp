#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>

#include <functional>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "FormStream.h"
#include "Forms.h"
#include "Menus.h"
#include "TypInfo.h"

namespace {

// A window built from the form below, with the handlers it names.
// A form stores its own components (timer, menus) before its controls and
// shows its main menu through the published Menu.
class TDemoForm : public TForm {
    Q_OBJECT
public:
    explicit TDemoForm(TComponent* AOwner = nullptr) : TForm(AOwner) {}

    std::vector<String> Calls;
    int Ticks = 0;
    bool AllowPageChange = true;

    Q_INVOKABLE void PageControl1Change(TObject*) { Calls.push_back("page change"); }
    Q_INVOKABLE void PageControl1Changing(TObject*, bool& AllowChange)
    {
        Calls.push_back("page changing");
        AllowChange = AllowPageChange;
    }
    Q_INVOKABLE void RadioGroup1Click(TObject* Sender)
    {
        Calls.push_back("radio " + IntToStr(static_cast<TRadioGroup*>(Sender)->ItemIndex()));
    }
    Q_INVOKABLE void Timer1Timer(TObject*) { ++Ticks; }
    Q_INVOKABLE void Open1Click(TObject*) { Calls.push_back("open"); }
    Q_INVOKABLE void Exit1Click(TObject*) { Calls.push_back("exit"); }
    Q_INVOKABLE void Copy1Click(TObject*) { Calls.push_back("copy"); }
};

// As the form writer writes it, so reading and writing give the same text.
const char* const DemoText = R"(object DemoForm: TDemoForm
  Caption = 'Controls demo'
  ClientHeight = 300
  ClientWidth = 480
  Menu = MainMenu1
  object Timer1: TTimer
    Interval = 20
    OnTimer = Timer1Timer
  end
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&File'
      object Open1: TMenuItem
        Caption = '&Open...'
        ShortCut = 16463
        OnClick = Open1Click
      end
      object N1: TMenuItem
        Caption = '-'
      end
      object Exit1: TMenuItem
        Caption = 'E&xit'
        ShortCut = 32883
        OnClick = Exit1Click
      end
    end
    object View1: TMenuItem
      Caption = '&View'
      object Large1: TMenuItem
        Caption = '&Large'
        Checked = True
        GroupIndex = 1
        RadioItem = True
      end
      object Small1: TMenuItem
        Caption = '&Small'
        GroupIndex = 1
        RadioItem = True
      end
    end
  end
  object PopupMenu1: TPopupMenu
    object Copy1: TMenuItem
      Caption = '&Copy'
      OnClick = Copy1Click
    end
  end
  object Shape1: TShape
    Left = 10
    Top = 120
    Width = 100
    Height = 30
    Brush.Color = clNavy
    Pen.Color = clRed
  end
  object Panel1: TPanel
    Top = 19
    Width = 480
    Height = 60
    Align = alTop
    BevelInner = bvLowered
    BevelWidth = 2
    BorderWidth = 3
    Caption = 'Top panel'
    Color = clMoneyGreen
    PopupMenu = PopupMenu1
    TabOrder = 0
    object Panel2: TPanel
      Left = 300
      Top = 12
      Width = 150
      Height = 36
      BevelOuter = bvLowered
      Caption = 'Inner'
      TabOrder = 0
    end
  end
  object PageControl1: TPageControl
    Left = 130
    Top = 100
    Width = 200
    Height = 120
    ActivePage = TabSheet2
    TabOrder = 1
    OnChange = PageControl1Change
    OnChanging = PageControl1Changing
    object TabSheet1: TTabSheet
      Caption = 'First'
      TabVisible = False
      object Bevel1: TBevel
        Left = 8
        Top = 8
        Width = 100
      end
    end
    object TabSheet2: TTabSheet
      Caption = 'Second'
      Color = clCream
      ParentColor = False
      TabVisible = False
    end
    object TabSheet3: TTabSheet
      Caption = 'Third'
      TabVisible = False
    end
  end
  object RadioGroup1: TRadioGroup
    Left = 340
    Top = 100
    Width = 130
    Height = 90
    Caption = 'Size'
    Items.Strings = (
      'Small'
      'Medium'
      'Large')
    ItemIndex = 1
    TabOrder = 2
    OnClick = RadioGroup1Click
  end
  object StatusBar1: TStatusBar
    Top = 281
    Width = 480
    Panels = <
      item
        Text = 'Ready'
        Width = 100
      end
      item
        Alignment = taCenter
        Text = 'Line 1'
        Width = 80
      end
      item
        Bevel = pbRaised
        Text = 'OVR'
      end>
  end
end
)";

QRgb Pixel(const QImage& Image, int X, int Y)
{
    return Image.pixel(X, Y) & 0xFFFFFFu;
}

QRgb Sys(TColor C)
{
    return ColorToQRgb(C) & 0xFFFFFFu;
}

// Where a control's client point is in the form's picture.
QPoint At(TControl* C, int X, int Y)
{
    return C->mapTo(C->window(), QPoint(X, Y));
}

// A left click at a point of a control.
void ClickAt(QWidget* W, QPoint P)
{
    const QPoint G = W->mapToGlobal(P);
    QMouseEvent Press(QEvent::MouseButtonPress, P, G, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W, &Press);
    QMouseEvent Release(QEvent::MouseButtonRelease, P, G, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(W, &Release);
}

void MouseTo(QWidget* W, QEvent::Type Type, QPoint P, Qt::MouseButtons Buttons)
{
    QMouseEvent E(Type, P, W->mapToGlobal(P), Type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(W, &E);
}

// Runs the event loop until Done holds or the time is up.
bool WaitUntil(const std::function<bool()>& Done, int Milliseconds)
{
    QEventLoop Loop;
    QTimer Poll;
    QObject::connect(&Poll, &QTimer::timeout, &Loop, [&] {
        if (Done())
            Loop.quit();
    });
    QTimer::singleShot(Milliseconds, &Loop, &QEventLoop::quit);
    Poll.start(5);
    if (!Done())
        Loop.exec();
    return Done();
}

template <class T>
T* Get(TComponent* Root, const String& Name)
{
    auto* C = dynamic_cast<T*>(Root->FindComponent(Name));
    EXPECT_NE(C, nullptr) << Name;
    return C;
}

std::unique_ptr<TDemoForm> LoadDemo()
{
    InitApplication();
    RegisterClasses<TDemoForm>();
    auto Form = std::make_unique<TDemoForm>();
    ReadComponentFromText(DemoText, Form.get());
    return Form;
}

// A plain form to put controls on.
std::unique_ptr<TForm> NewForm(int W = 300, int H = 200)
{
    InitApplication();
    auto Form = std::make_unique<TForm>();
    Form->SetBounds(0, 0, W, H);
    return Form;
}

} // namespace

// ---------------------------------------------------------------- building

TEST(ExtCtrlsBuild, EveryClassIsRegisteredWithTheFrameworksDefaults)
{
    struct TCase {
        const char* Class;
        int Width, Height;
    };
    const TCase Cases[] = {{"TPanel", 185, 41}, {"TShape", 65, 65},     {"TImage", 105, 105},
                           {"TPaintBox", 105, 105}, {"TBevel", 50, 50}, {"TRadioGroup", 185, 105},
                           {"TSplitter", 3, 100}, {"TScrollBox", 185, 41}};
    for (const TCase& C : Cases) {
        const TMetaClass* Class = FindClass(C.Class);
        ASSERT_NE(Class, nullptr) << C.Class;
        std::unique_ptr<TComponent> Comp(Class->CreateComponent(nullptr));
        auto* Control = dynamic_cast<TControl*>(Comp.get());
        ASSERT_NE(Control, nullptr) << C.Class;
        EXPECT_EQ(Control->Width(), C.Width) << C.Class;
        EXPECT_EQ(Control->Height(), C.Height) << C.Class;
    }
    ASSERT_NE(FindClass("TTimer"), nullptr);

    TPanel Panel;
    EXPECT_EQ(Panel.BevelOuter(), bvRaised);
    EXPECT_EQ(Panel.BevelInner(), bvNone);
    EXPECT_EQ(Panel.BevelWidth(), 1);
    EXPECT_EQ(Panel.Alignment(), taCenter);
    EXPECT_EQ(Panel.Color(), clBtnFace);
    EXPECT_FALSE(Panel.ParentColor());
    EXPECT_TRUE(Panel.FullRepaint());
    TTimer Timer;
    EXPECT_TRUE(Timer.Enabled());
    EXPECT_EQ(Timer.Interval(), 1000);
    TSplitter Splitter;
    EXPECT_EQ(Splitter.Align(), alLeft);
    EXPECT_EQ(Splitter.Cursor(), crHSplit);
    EXPECT_EQ(Splitter.MinSize(), 30);
    TBevel Bevel;
    EXPECT_EQ(Bevel.Shape(), bsBox);
    EXPECT_EQ(Bevel.Style(), bsLowered);
}

TEST(ExtCtrlsBuild, PublishedPropertiesWorkThroughReflection)
{
    TPanel Panel;
    SetEnumProp(&Panel, "BevelOuter", "bvLowered");
    SetEnumProp(&Panel, "Alignment", "taRightJustify");
    SetOrdProp(&Panel, "BorderWidth", 4);
    SetEnumProp(&Panel, "BorderStyle", "bsSingle");
    EXPECT_EQ(Panel.BevelOuter(), bvLowered);
    EXPECT_EQ(Panel.Alignment(), taRightJustify);
    EXPECT_EQ(Panel.BorderWidth(), 4);
    // Border edge 2, outer bevel 1 and border width 4 leave the rest to children.
    TRect R = Panel.ClientRect();
    Panel.AdjustClientRect(R);
    EXPECT_EQ(R, TRect(7, 7, 185 - 7, 41 - 7));

    TShape Shape;
    SetEnumProp(&Shape, "Shape", "stCircle");
    SetOrdProp(GetObjectProp(&Shape, "Brush"), "Color", clNavy);
    EXPECT_EQ(Shape.Shape(), stCircle);
    EXPECT_EQ(Shape.Brush()->Color(), clNavy);

    TBevel Bevel;
    SetEnumProp(&Bevel, "Shape", "bsTopLine");
    SetEnumProp(&Bevel, "Style", "bsRaised");
    EXPECT_EQ(GetEnumProp(&Bevel, "Shape"), "bsTopLine");
    EXPECT_EQ(GetEnumProp(&Bevel, "Style"), "bsRaised");

    TSplitter Splitter;
    SetEnumProp(&Splitter, "Align", "alTop");
    EXPECT_EQ(Splitter.Cursor(), crVSplit);
    EXPECT_EQ(GetEnumProp(&Splitter, "ResizeStyle"), "rsPattern");
}

TEST(ExtCtrlsBuild, BadValuesRaiseClearErrors)
{
    TPanel Panel;
    EXPECT_THROW(Panel.SetBevelWidth(0), EInvalidOperation);
    EXPECT_THROW(Panel.SetBorderWidth(-1), EInvalidOperation);
    EXPECT_THROW(Panel.SetBorderStyle(bsDialog), EInvalidOperation);
    EXPECT_EQ(Panel.BevelWidth(), 1);
    TRadioGroup Group;
    EXPECT_THROW(Group.SetColumns(0), EInvalidOperation);
    EXPECT_THROW(Group.SetColumns(17), EInvalidOperation);
    TTimer Timer;
    EXPECT_THROW(Timer.SetInterval(-5), EInvalidOperation);
    TSplitter Splitter;
    EXPECT_THROW(Splitter.SetMinSize(0), EInvalidOperation);
    TScrollBox Box;
    EXPECT_THROW(Box.HorzScrollBar()->SetRange(-1), EInvalidOperation);
    EXPECT_THROW(Box.SetBorderStyle(bsSizeable), EInvalidOperation);

    TImage Image;
    TIcon Icon;
    QImage Pixels(8, 8, QImage::Format_ARGB32);
    Pixels.fill(Qt::red);
    Icon.AddImage(Pixels, 32);
    Image.Picture()->SetGraphic(&Icon);
    try {
        Image.Canvas();
        ADD_FAILURE() << "an icon has no canvas";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "Can only modify an image if it contains a bitmap");
    }

    // A bad value in a form names the place.
    InitApplication();
    TForm Form;
    try {
        ReadComponentFromText("object F: TForm\n  object P: TPanel\n    BevelWidth = 0\n  end\nend\n", &Form);
        ADD_FAILURE() << "BevelWidth 0 was accepted";
    } catch (const EReadError& E) {
        EXPECT_NE(E.Message().find("P.BevelWidth"), String::npos) << E.Message();
        EXPECT_NE(E.Message().find("at least 1"), String::npos) << E.Message();
    }
}

// ---------------------------------------------------------------- the demo form

TEST(ExtCtrlsForm, ReadsEveryControlWithItsValues)
{
    auto Form = LoadDemo();
    auto* PC = Get<TPageControl>(Form.get(), "PageControl1");
    auto* Sheet1 = Get<TTabSheet>(Form.get(), "TabSheet1");
    auto* Sheet2 = Get<TTabSheet>(Form.get(), "TabSheet2");
    auto* Sheet3 = Get<TTabSheet>(Form.get(), "TabSheet3");
    ASSERT_EQ(PC->PageCount(), 3);
    EXPECT_EQ(PC->Pages(0), Sheet1);
    EXPECT_EQ(PC->Pages(2), Sheet3);
    EXPECT_EQ(Sheet3->PageIndex(), 2);
    EXPECT_EQ(PC->ActivePage(), Sheet2);
    EXPECT_EQ(PC->TabCount(), 0);
    EXPECT_EQ(PC->TabIndex(), -1);
    EXPECT_EQ(Get<TBevel>(Form.get(), "Bevel1")->Parent(), Sheet1);

    auto* Panel1 = Get<TPanel>(Form.get(), "Panel1");
    auto* Panel2 = Get<TPanel>(Form.get(), "Panel2");
    EXPECT_EQ(Panel2->Parent(), Panel1);
    EXPECT_EQ(Panel1->BevelInner(), bvLowered);
    EXPECT_EQ(Panel1->BorderWidth(), 3);
    EXPECT_EQ(Panel1->PopupMenu(), Get<TPopupMenu>(Form.get(), "PopupMenu1"));
    EXPECT_EQ(Panel2->BevelOuter(), bvLowered);

    auto* Shape = Get<TShape>(Form.get(), "Shape1");
    EXPECT_EQ(Shape->Brush()->Color(), clNavy);
    EXPECT_EQ(Shape->Pen()->Color(), clRed);

    auto* Group = Get<TRadioGroup>(Form.get(), "RadioGroup1");
    EXPECT_EQ(Group->Items()->Count(), 3);
    EXPECT_EQ(Group->ItemIndex(), 1);

    auto* Bar = Get<TStatusBar>(Form.get(), "StatusBar1");
    ASSERT_EQ(Bar->Panels()->Count(), 3);
    EXPECT_EQ(Bar->Panels()->Items(1)->Alignment(), taCenter);
    EXPECT_EQ(Bar->Panels()->Items(2)->Bevel(), pbRaised);
    EXPECT_EQ(Bar->Align(), alBottom);

    auto* Menu = Get<TMainMenu>(Form.get(), "MainMenu1");
    EXPECT_EQ(Form->Menu(), Menu);
    ASSERT_EQ(Menu->Items()->Count(), 2);
    auto* File1 = Get<TMenuItem>(Form.get(), "File1");
    EXPECT_EQ(Menu->Items()->Items(0), File1);
    ASSERT_EQ(File1->Count(), 3);
    EXPECT_TRUE(File1->Items(1)->IsLine());
    EXPECT_EQ(ShortCutToText(Get<TMenuItem>(Form.get(), "Open1")->ShortCut()), "Ctrl+O");
    EXPECT_EQ(ShortCutToText(Get<TMenuItem>(Form.get(), "Exit1")->ShortCut()), "Alt+F4");
    EXPECT_EQ(Get<TMenuItem>(Form.get(), "Exit1")->GetParentComponent(), File1);
    EXPECT_EQ(File1->GetParentComponent(), Menu);

    // Aligned controls fit below the menu bar.
    ASSERT_NE(Menu->MenuBar(), nullptr);
    EXPECT_EQ(Menu->MenuBar()->actions().size(), 2);
    EXPECT_EQ(Panel1->Top(), Menu->MenuBar()->height());
    EXPECT_EQ(Panel1->Width(), Form->ClientWidth());
    EXPECT_EQ(Bar->Top() + Bar->Height(), Form->ClientHeight());
}

TEST(ExtCtrlsForm, WritesBackTheTextItWasReadFrom)
{
    auto Form = LoadDemo();
    EXPECT_EQ(ComponentToText(Form.get()), DemoText);

    // Changes are written and read back; showing pages does not reorder them.
    auto* PC = Get<TPageControl>(Form.get(), "PageControl1");
    PC->SetActivePage(Get<TTabSheet>(Form.get(), "TabSheet3"));
    PC->SetActivePage(Get<TTabSheet>(Form.get(), "TabSheet1"));
    Get<TRadioGroup>(Form.get(), "RadioGroup1")->SetItemIndex(2);
    Get<TMenuItem>(Form.get(), "Small1")->SetChecked(true);
    const String Text = ComponentToText(Form.get());
    auto Copy = std::make_unique<TDemoForm>();
    ReadComponentFromText(Text, Copy.get());
    auto* PC2 = Get<TPageControl>(Copy.get(), "PageControl1");
    EXPECT_EQ(PC2->ActivePage(), Get<TTabSheet>(Copy.get(), "TabSheet1"));
    EXPECT_EQ(PC2->Pages(1), Get<TTabSheet>(Copy.get(), "TabSheet2"));
    EXPECT_EQ(Get<TRadioGroup>(Copy.get(), "RadioGroup1")->ItemIndex(), 2);
    EXPECT_TRUE(Get<TMenuItem>(Copy.get(), "Small1")->Checked());
    EXPECT_FALSE(Get<TMenuItem>(Copy.get(), "Large1")->Checked());
    EXPECT_EQ(ComponentToText(Copy.get()), Text);
}

TEST(ExtCtrlsForm, PagesChangeByProgramAndOnlyTheActiveSheetShows)
{
    auto Form = LoadDemo();
    Form->Show();
    auto* PC = Get<TPageControl>(Form.get(), "PageControl1");
    auto* Sheet1 = Get<TTabSheet>(Form.get(), "TabSheet1");
    auto* Sheet2 = Get<TTabSheet>(Form.get(), "TabSheet2");
    auto* Sheet3 = Get<TTabSheet>(Form.get(), "TabSheet3");
    auto Showing = [&] {
        return std::vector<bool>{Sheet1->isVisible(), Sheet2->isVisible(), Sheet3->isVisible()};
    };
    EXPECT_EQ(Showing(), (std::vector<bool>{false, true, false}));
    // Without tabs the sheets fill the frame but for its margin.
    EXPECT_EQ(PC->DisplayRect(), TRect(4, 4, 196, 116));
    EXPECT_EQ(Sheet2->BoundsRect(), TRect(4, 4, 196, 116));
    EXPECT_EQ(PC->IndexOfTabAt(10, 10), -1);

    // Setting the active page is silent.
    PC->SetActivePage(Sheet3);
    EXPECT_EQ(Showing(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(Sheet3->BoundsRect(), TRect(4, 4, 196, 116));
    EXPECT_TRUE(Form->Calls.empty());

    // Paging goes round, asks first and reports after.
    PC->SelectNextPage(true, false);
    EXPECT_EQ(PC->ActivePage(), Sheet1);
    EXPECT_EQ(Showing(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(Form->Calls, (std::vector<String>{"page changing", "page change"}));
    // Hidden tabs are skipped when tab visibility counts: nowhere to go.
    Form->Calls.clear();
    PC->SelectNextPage(true);
    EXPECT_EQ(PC->ActivePage(), Sheet1);
    EXPECT_TRUE(Form->Calls.empty());
    // A refusal keeps the page.
    Form->AllowPageChange = false;
    PC->SelectNextPage(false, false);
    EXPECT_EQ(PC->ActivePage(), Sheet1);
    EXPECT_EQ(Form->Calls, std::vector<String>{"page changing"});
    Form->AllowPageChange = true;
    PC->SetActivePageIndex(1);
    EXPECT_EQ(PC->ActivePage(), Sheet2);
    EXPECT_THROW(PC->SetActivePageIndex(3), EListError);
    PC->SetActivePage(nullptr);
    EXPECT_EQ(Showing(), (std::vector<bool>{false, false, false}));
}

TEST(ExtCtrlsForm, DrawsBevelsShapesAndPagesByTheFrameworksRules)
{
    auto Form = LoadDemo();
    Form->Show();
    auto* Panel1 = Get<TPanel>(Form.get(), "Panel1");
    auto* Panel2 = Get<TPanel>(Form.get(), "Panel2");
    auto* Shape = Get<TShape>(Form.get(), "Shape1");
    auto* PC = Get<TPageControl>(Form.get(), "PageControl1");
    QImage Shot = Form->grab().toImage();
    if (qEnvironmentVariableIsSet("ZEN_SHOT_DIR"))
        Shot.save(qEnvironmentVariable("ZEN_SHOT_DIR") + "/extctrls-demo.png");
    auto P = [&](TControl* C, int X, int Y) {
        const QPoint Q = At(C, X, Y);
        return Pixel(Shot, Q.x(), Q.y());
    };
    const int W = Panel1->Width(), H = Panel1->Height();
    const QRgb Light = Sys(clBtnHighlight), Dark = Sys(clBtnShadow), Green = Sys(clMoneyGreen);
    // Raised outer bevel, two lines: light top and left, dark bottom and
    // right; the top-right and bottom-left corners are dark.
    struct TCase {
        int X, Y;
        QRgb Color;
    };
    const TCase Panel1Cases[] = {
        {0, 0, Light},          {1, 1, Light},          {0, H - 2, Light},      {W - 2, 0, Light},
        {W - 1, 0, Dark},       {0, H - 1, Dark},       {W - 1, H - 1, Dark},   {W - 2, H - 2, Dark},
        {2, 2, Green},          {4, 4, Green},          {W - 3, H - 3, Green},  // the border width band
        {5, 5, Dark},           {6, 6, Dark},           {W - 6, H - 6, Light},  {W - 7, H - 7, Light}, // lowered inner
        {7, 7, Green},          {100, 40, Green},       // the inside
    };
    for (const TCase& C : Panel1Cases)
        EXPECT_EQ(P(Panel1, C.X, C.Y), C.Color) << "Panel1 " << C.X << "," << C.Y;
    // The nested lowered panel.
    EXPECT_EQ(P(Panel2, 0, 0), Dark);
    EXPECT_EQ(P(Panel2, 149, 35), Light);
    EXPECT_EQ(P(Panel2, 2, 2), Sys(clBtnFace));
    // The caption is centred: some text pixel lies in the middle row.
    bool TextFound = false;
    for (int X = 40; X < 110; ++X)
        TextFound |= P(Panel2, X, 18) == Sys(clWindowText);
    EXPECT_TRUE(TextFound);

    // The shape's pen outlines, its brush fills.
    const QRgb Red = Sys(clRed), Navy = Sys(clNavy);
    for (const TCase& C : {TCase{0, 0, Red}, TCase{99, 0, Red}, TCase{0, 29, Red}, TCase{99, 29, Red},
                           TCase{50, 0, Red}, TCase{1, 1, Navy}, TCase{50, 15, Navy}, TCase{98, 28, Navy}})
        EXPECT_EQ(P(Shape, C.X, C.Y), C.Color) << "Shape " << C.X << "," << C.Y;

    // The page frame (raised, soft) and the active sheet's colour inside.
    EXPECT_EQ(P(PC, 0, 0), Light);
    EXPECT_EQ(P(PC, 199, 119), Sys(cl3DDkShadow));
    EXPECT_EQ(P(PC, 198, 118), Dark);
    EXPECT_EQ(P(PC, 10, 10), Sys(clCream));
    PC->SetActivePage(Get<TTabSheet>(Form.get(), "TabSheet1"));
    Shot = Form->grab().toImage();
    EXPECT_EQ(P(PC, 10, 10), Sys(clBtnFace));
    // TabSheet1's lowered bevel box at (8, 8) of the sheet.
    auto* Bevel = Get<TBevel>(Form.get(), "Bevel1");
    EXPECT_EQ(P(Bevel, 0, 0), Dark);
    EXPECT_EQ(P(Bevel, 99, 49), Light);

    // The status bar: lowered panels, a raised one, the size grip.
    auto* Bar = Get<TStatusBar>(Form.get(), "StatusBar1");
    EXPECT_TRUE(Bar->ShowsSizeGrip());
    EXPECT_EQ(Bar->PanelRect(0), TRect(0, 2, 98, 19));
    EXPECT_EQ(Bar->PanelRect(2), TRect(180, 2, 480 - 17, 19));
    EXPECT_EQ(P(Bar, 0, 2), Dark);
    EXPECT_EQ(P(Bar, 97, 18), Light);
    EXPECT_EQ(P(Bar, 180, 2), Light);
    EXPECT_EQ(P(Bar, 462, 18), Dark);
    EXPECT_EQ(P(Bar, 0, 0), Sys(clBtnFace));
}

TEST(ExtCtrlsForm, TheTimerTicksOnlyWhenLoadedAndEnabled)
{
    auto Form = LoadDemo();
    auto* Timer = Get<TTimer>(Form.get(), "Timer1");
    EXPECT_TRUE(Timer->Running());
    EXPECT_TRUE(WaitUntil([&] { return Form->Ticks >= 3; }, 2000));
    Timer->SetEnabled(false);
    EXPECT_FALSE(Timer->Running());
    const int Ticks = Form->Ticks;
    WaitUntil([] { return false; }, 80);
    EXPECT_EQ(Form->Ticks, Ticks);
    Timer->SetEnabled(true);
    Timer->SetInterval(0);
    EXPECT_FALSE(Timer->Running());

    // While a form is read, and while designed, a timer does not run.
    TTimer Loading;
    Loading.BeginLoading();
    Loading.SetInterval(10);
    EXPECT_FALSE(Loading.Running());
    Loading.Loaded();
    EXPECT_TRUE(Loading.Running());
    TTimer Designed;
    Designed.SetDesigning(true);
    Designed.SetInterval(10);
    EXPECT_FALSE(Designed.Running());
}

TEST(ExtCtrlsForm, TheRadioGroupFollowsClicksKeysAndTheProgram)
{
    auto Form = LoadDemo();
    Form->Show();
    auto* Group = Get<TRadioGroup>(Form.get(), "RadioGroup1");
    const TRect Button = Group->ButtonRect(2);
    ClickAt(Group, QPoint(Button.Left + 5, (Button.Top + Button.Bottom) / 2));
    EXPECT_EQ(Group->ItemIndex(), 2);
    EXPECT_EQ(Form->Calls, std::vector<String>{"radio 2"});
    // A click on the checked button or beside the buttons changes nothing.
    ClickAt(Group, QPoint(Button.Left + 5, (Button.Top + Button.Bottom) / 2));
    ClickAt(Group, QPoint(2, 2));
    EXPECT_EQ(Form->Calls.size(), 1u);
    // Arrow keys move round the buttons.
    Group->SetFocus();
    for (int Key : {Qt::Key_Down, Qt::Key_Up}) {
        QKeyEvent Press(QEvent::KeyPress, Key, Qt::NoModifier);
        QApplication::sendEvent(Group, &Press);
    }
    EXPECT_EQ(Form->Calls, (std::vector<String>{"radio 2", "radio 0", "radio 2"}));
    // The program: clamped, and a change is a click.
    Form->Calls.clear();
    Group->SetItemIndex(7);
    EXPECT_EQ(Group->ItemIndex(), 2);
    Group->SetItemIndex(-4);
    EXPECT_EQ(Group->ItemIndex(), -1);
    Group->SetItemIndex(0);
    EXPECT_EQ(Form->Calls, std::vector<String>{"radio 0"});
    // Fewer items take the index along.
    Group->SetItemIndex(2);
    Group->Items()->Delete(2);
    EXPECT_EQ(Group->ItemIndex(), 1);

    // Columns fill from top to bottom: the caption's line, then rows of
    // equal height shared out over the rest.
    Group->Items()->Add("Huge");
    Group->Items()->Add("Giant");
    Group->SetColumns(2);
    const int Text = Group->Font()->Metrics().tmHeight;
    const int Space = 90 - Text - 5;
    const int Row = Space / 2;
    const int Top = Text + 1 + (Space % 2) / 2;
    EXPECT_EQ(Group->ButtonRect(0), Bounds(8, Top, 60, Row));
    EXPECT_EQ(Group->ButtonRect(2), Bounds(68, Top, 60, Row));
    EXPECT_EQ(Group->ButtonRect(3), Bounds(68, Top + Row, 60, Row));
    EXPECT_EQ(Group->ButtonRect(4), TRect());
    EXPECT_EQ(Group->ButtonAt(TPoint(70, Top + Row + 1)), 3);
}

TEST(ExtCtrlsForm, MenuItemsClickThroughTheirHandlers)
{
    auto Form = LoadDemo();
    Form->Show();
    auto* Open1 = Get<TMenuItem>(Form.get(), "Open1");
    // The bar shows the top items; Qt's actions carry the items.
    QMenuBar* Bar = Form->Menu()->MenuBar();
    ASSERT_NE(Bar, nullptr);
    EXPECT_EQ(Bar->actions()[0]->text(), "&File");
    EXPECT_EQ(Open1->Action()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    Open1->Action()->trigger();
    EXPECT_EQ(Form->Calls, std::vector<String>{"open"});
    EXPECT_TRUE(Form->Menu()->DispatchShortCut(TextToShortCut("Alt+F4")));
    EXPECT_FALSE(Form->Menu()->DispatchShortCut(TextToShortCut("Ctrl+Q")));
    EXPECT_EQ(Form->Calls, (std::vector<String>{"open", "exit"}));

    // The panel's pop-up menu opens where the right button was pressed.
    auto* Panel1 = Get<TPanel>(Form.get(), "Panel1");
    auto* Popup = Get<TPopupMenu>(Form.get(), "PopupMenu1");
    EXPECT_TRUE(PopupControlMenu(Panel1, TPoint(20, 10)));
    EXPECT_EQ(Popup->PopupComponent(), Panel1);
    QMenu* Menu = Popup->PopupWidget();
    EXPECT_TRUE(Menu->isVisible());
    EXPECT_EQ(Menu->pos(), Panel1->mapToGlobal(QPoint(20, 10)));
    Get<TMenuItem>(Form.get(), "Copy1")->Action()->trigger();
    Menu->close();
    EXPECT_EQ(Form->Calls.back(), "copy");
    // Panel2 has no menu of its own.
    EXPECT_FALSE(PopupControlMenu(Get<TPanel>(Form.get(), "Panel2"), TPoint(1, 1)));
}

// ---------------------------------------------------------------- painting

TEST(ExtCtrlsPaint, Frame3DDrawsNestedFramesAndShrinksTheRectangle)
{
    QImage Image(6, 5, QImage::Format_RGB32);
    Image.fill(Qt::white);
    TCanvas C(&Image);
    TRect R(0, 0, 6, 5);
    Frame3D(&C, R, clRed, clBlue, 2);
    EXPECT_EQ(R, TRect(2, 2, 4, 3));
    // Row by row: R = top colour, B = bottom colour, . = untouched.
    const char* const Expected[] = {"RRRRRB", "RRRRBB", "RR..BB", "RBBBBB", "BBBBBB"};
    for (int Y = 0; Y < 5; ++Y)
        for (int X = 0; X < 6; ++X) {
            const char Want = Expected[Y][X];
            const QRgb Color = Want == 'R' ? 0xFF0000 : Want == 'B' ? 0x0000FF : 0xFFFFFF;
            EXPECT_EQ(Image.pixel(X, Y) & 0xFFFFFF, Color) << X << "," << Y;
        }
    TRect Same(1, 1, 4, 4);
    Frame3D(&C, Same, clRed, clBlue, 0);
    EXPECT_EQ(Same, TRect(1, 1, 4, 4));
}

TEST(ExtCtrlsPaint, PanelBevelsFollowTheirCuts)
{
    struct TCase {
        TBevelCut Outer, Inner;
        int Width, Border;
        // Colours at (0,0), (W-1,H-1) and at the inner bevel's top-left.
        TColor TopLeft, BottomRight, InnerTopLeft;
        int InnerAt;
    };
    const TCase Cases[] = {
        {bvRaised, bvNone, 1, 0, clBtnHighlight, clBtnShadow, clBtnFace, 1},
        {bvLowered, bvNone, 1, 0, clBtnShadow, clBtnHighlight, clBtnFace, 1},
        {bvRaised, bvLowered, 1, 2, clBtnHighlight, clBtnShadow, clBtnShadow, 3},
        {bvLowered, bvRaised, 3, 1, clBtnShadow, clBtnHighlight, clBtnHighlight, 4},
        {bvNone, bvNone, 1, 0, clBtnFace, clBtnFace, clBtnFace, 0},
        {bvSpace, bvNone, 1, 0, clBtnHighlight, clBtnShadow, clBtnFace, 1},
    };
    auto Form = NewForm(120, 80);
    auto* Panel = new TPanel(Form.get());
    Panel->SetParent(Form.get());
    Panel->SetBounds(10, 10, 60, 40);
    Form->Show();
    for (const TCase& C : Cases) {
        Panel->SetBevelOuter(C.Outer);
        Panel->SetBevelInner(C.Inner);
        Panel->SetBevelWidth(C.Width);
        Panel->SetBorderWidth(C.Border);
        const QImage Shot = Form->grab().toImage();
        EXPECT_EQ(Pixel(Shot, 10, 10), Sys(C.TopLeft)) << C.Outer << " " << C.Inner;
        EXPECT_EQ(Pixel(Shot, 69, 49), Sys(C.BottomRight)) << C.Outer << " " << C.Inner;
        EXPECT_EQ(Pixel(Shot, 10 + C.InnerAt, 10 + C.InnerAt), Sys(C.InnerTopLeft)) << C.Outer << " " << C.Inner;
    }
    // A single border: a sunken edge outside the bevels.
    Panel->SetBevelOuter(bvRaised);
    Panel->SetBevelInner(bvNone);
    Panel->SetBevelWidth(1);
    Panel->SetBorderWidth(0);
    Panel->SetBorderStyle(bsSingle);
    QImage Shot = Form->grab().toImage();
    EXPECT_EQ(Pixel(Shot, 10, 10), Sys(clBtnShadow));
    EXPECT_EQ(Pixel(Shot, 11, 11), Sys(cl3DDkShadow));
    EXPECT_EQ(Pixel(Shot, 12, 12), Sys(clBtnHighlight));
    // With the parent's background the inside shows the form.
    Form->SetColor(clYellow);
    Panel->SetBorderStyle(bsNone);
    Panel->SetParentBackground(true);
    Shot = Form->grab().toImage();
    EXPECT_EQ(Pixel(Shot, 40, 20), Sys(clYellow));
    EXPECT_EQ(Pixel(Shot, 10, 10), Sys(clBtnHighlight));
}

TEST(ExtCtrlsPaint, ShapesFitTheirBoxAsTheFrameworkDoes)
{
    struct TCase {
        TShapeType Shape;
        int PenWidth;
        int X, Y;     // a point of the control
        char Expect;  // P pen, B brush, F the form
    };
    // Control 40 x 20 at (10, 10).
    const TCase Cases[] = {
        {stRectangle, 1, 0, 0, 'P'},  {stRectangle, 1, 39, 19, 'P'}, {stRectangle, 1, 1, 1, 'B'},
        {stRectangle, 3, 0, 0, 'P'},  {stRectangle, 3, 2, 2, 'P'},   {stRectangle, 3, 3, 3, 'B'},
        {stSquare, 1, 10, 0, 'P'},    {stSquare, 1, 9, 10, 'F'},     {stSquare, 1, 29, 19, 'P'},
        {stSquare, 1, 30, 10, 'F'},   {stEllipse, 1, 0, 0, 'F'},     {stEllipse, 1, 20, 10, 'B'},
        {stEllipse, 1, 20, 0, 'P'},   {stCircle, 1, 20, 10, 'B'},    {stCircle, 1, 5, 10, 'F'},
        {stRoundRect, 1, 0, 0, 'F'},  {stRoundRect, 1, 20, 0, 'P'},  {stRoundSquare, 1, 2, 10, 'F'},
    };
    auto Form = NewForm(80, 50);
    Form->SetColor(clYellow);
    auto* Shape = new TShape(Form.get());
    Shape->SetParent(Form.get());
    Shape->SetBounds(10, 10, 40, 20);
    Shape->Pen()->SetColor(clRed);
    Shape->Brush()->SetColor(clNavy);
    Form->Show();
    for (const TCase& C : Cases) {
        Shape->SetShape(C.Shape);
        Shape->Pen()->SetWidth(C.PenWidth);
        const QImage Shot = Form->grab().toImage();
        const QRgb Want = Sys(C.Expect == 'P' ? clRed : C.Expect == 'B' ? clNavy : clYellow);
        EXPECT_EQ(Pixel(Shot, 10 + C.X, 10 + C.Y), Want)
            << "shape " << C.Shape << " pen " << C.PenWidth << " at " << C.X << "," << C.Y;
    }
}

TEST(ExtCtrlsPaint, BevelsDrawTheirLines)
{
    struct TCase {
        TBevelShape Shape;
        TBevelStyle Style;
        int X, Y;
        TColor Color;
    };
    // Control 20 x 10.
    const TCase Cases[] = {
        {bsBox, bsLowered, 0, 0, clBtnShadow},       {bsBox, bsLowered, 19, 9, clBtnHighlight},
        {bsBox, bsRaised, 0, 0, clBtnHighlight},     {bsBox, bsRaised, 19, 9, clBtnShadow},
        {bsFrame, bsLowered, 0, 0, clBtnShadow},     {bsFrame, bsLowered, 1, 1, clBtnHighlight},
        {bsFrame, bsLowered, 18, 8, clBtnShadow},    {bsFrame, bsLowered, 19, 9, clBtnHighlight},
        {bsTopLine, bsLowered, 5, 0, clBtnShadow},   {bsTopLine, bsLowered, 5, 1, clBtnHighlight},
        {bsTopLine, bsLowered, 5, 2, clFuchsia},     {bsBottomLine, bsRaised, 5, 8, clBtnHighlight},
        {bsBottomLine, bsRaised, 5, 9, clBtnShadow}, {bsLeftLine, bsLowered, 0, 5, clBtnShadow},
        {bsLeftLine, bsLowered, 1, 5, clBtnHighlight}, {bsRightLine, bsLowered, 18, 5, clBtnShadow},
        {bsRightLine, bsLowered, 19, 5, clBtnHighlight}, {bsSpacer, bsLowered, 0, 0, clFuchsia},
    };
    auto Form = NewForm(60, 40);
    Form->SetColor(clFuchsia);
    auto* Bevel = new TBevel(Form.get());
    Bevel->SetParent(Form.get());
    Bevel->SetBounds(5, 5, 20, 10);
    Form->Show();
    for (const TCase& C : Cases) {
        Bevel->SetShape(C.Shape);
        Bevel->SetStyle(C.Style);
        const QImage Shot = Form->grab().toImage();
        EXPECT_EQ(Pixel(Shot, 5 + C.X, 5 + C.Y), Sys(C.Color)) << C.Shape << " " << C.Style << " " << C.X << ","
                                                             << C.Y;
    }
}

TEST(ExtCtrlsPaint, ImagesPlaceTheirPictureAndOfferItsCanvas)
{
    struct TCase {
        bool Stretch, Proportional, Center;
        TRect Dest;
    };
    // A 40 x 20 picture in a 100 x 60 control, then in a 30 x 30 one.
    const TCase Big[] = {
        {false, false, false, TRect(0, 0, 40, 20)},  {true, false, false, TRect(0, 0, 100, 60)},
        {false, false, true, TRect(30, 20, 70, 40)}, {true, true, false, TRect(0, 0, 100, 50)},
        {false, true, false, TRect(0, 0, 40, 20)},
    };
    const TCase Small[] = {
        {false, false, false, TRect(0, 0, 40, 20)},
        {false, true, false, TRect(0, 0, 30, 15)},
        {false, true, true, TRect(0, 7, 30, 22)},
    };
    TImage Image;
    TBitmap Bitmap;
    Bitmap.SetSize(40, 20);
    Image.Picture()->SetGraphic(&Bitmap);
    auto Check = [&](const TCase& C) {
        Image.SetStretch(C.Stretch);
        Image.SetProportional(C.Proportional);
        Image.SetCenter(C.Center);
        EXPECT_EQ(Image.DestRect(), C.Dest) << C.Stretch << C.Proportional << C.Center;
    };
    Image.SetBounds(0, 0, 100, 60);
    for (const TCase& C : Big)
        Check(C);
    Image.SetBounds(0, 0, 30, 30);
    for (const TCase& C : Small)
        Check(C);
    // AutoSize takes the picture's size.
    Image.SetAutoSize(true);
    EXPECT_EQ(Image.Width(), 40);
    EXPECT_EQ(Image.Height(), 20);

    // Drawing on an empty image makes a bitmap of the control's size.
    auto Form = NewForm(100, 80);
    auto* Empty = new TImage(Form.get());
    Empty->SetParent(Form.get());
    Empty->SetBounds(5, 5, 30, 20);
    TCanvas* C = Empty->Canvas();
    ASSERT_NE(dynamic_cast<TBitmap*>(Empty->Picture()->Graphic()), nullptr);
    EXPECT_EQ(Empty->Picture()->Width(), 30);
    C->Brush()->SetColor(clLime);
    C->FillRect(TRect(0, 0, 30, 20));
    Form->Show();
    QImage Shot = Form->grab().toImage();
    EXPECT_EQ(Pixel(Shot, 10, 10), Sys(clLime));
    // A transparent bitmap lets the form show where it has the colour of its
    // bottom-left pixel.
    C->Brush()->SetColor(clRed);
    C->FillRect(TRect(0, 0, 10, 20));
    Empty->SetTransparent(true);
    EXPECT_TRUE(Empty->Picture()->Graphic()->Transparent());
    Shot = Form->grab().toImage();
    EXPECT_EQ(Pixel(Shot, 25, 10), Sys(clLime));
    EXPECT_EQ(Pixel(Shot, 7, 10), Sys(clBtnFace));
}

TEST(ExtCtrlsPaint, PaintBoxesPaintInOnPaint)
{
    auto Form = NewForm(100, 80);
    auto* Box = new TPaintBox(Form.get());
    Box->SetParent(Form.get());
    Box->SetBounds(10, 10, 40, 30);
    Box->SetColor(clAqua);
    int Paints = 0;
    Box->OnPaint = [&](TObject* Sender) {
        ++Paints;
        auto* B = static_cast<TPaintBox*>(Sender);
        B->Canvas()->FillRect(TRect(0, 0, 20, 30));
    };
    Form->Show();
    const QImage Shot = Form->grab().toImage();
    EXPECT_GT(Paints, 0);
    EXPECT_EQ(Pixel(Shot, 15, 15), Sys(clAqua));  // the brush has the box's colour
    EXPECT_EQ(Pixel(Shot, 40, 15), Sys(clBtnFace)); // the rest is not painted
}

// ---------------------------------------------------------------- splitters

TEST(ExtCtrlsSplitter, DraggingResizesThePreviousAlignedControl)
{
    struct TCase {
        TAlign Align;
        int Drag;          // pixels along the splitter's axis
        bool AutoSnap;
        int ExpectedSize;  // of the resized control
    };
    // The resized control starts 100 pixels wide (or high); the parent is
    // 400 x 300 and MinSize 30. At most the parent less MinSize and the
    // other side-aligned controls (the splitter's 3 pixels).
    const TCase Cases[] = {
        {alLeft, 40, true, 140},   {alLeft, -40, true, 60},  {alLeft, -80, true, 0},  {alLeft, -80, false, 30},
        {alLeft, 500, true, 367},  {alRight, 40, true, 60},  {alRight, -40, true, 140}, {alTop, 25, true, 125},
        {alBottom, 25, true, 75},
    };
    for (const TCase& C : Cases) {
        auto Form = NewForm(400, 300);
        auto* Side = new TPanel(Form.get());
        Side->SetParent(Form.get());
        const bool Horizontal = C.Align == alLeft || C.Align == alRight;
        Side->SetBounds(0, 0, Horizontal ? 100 : 400, Horizontal ? 300 : 100);
        Side->SetAlign(C.Align);
        auto* Splitter = new TSplitter(Form.get());
        Splitter->SetAlign(C.Align);
        Splitter->SetAutoSnap(C.AutoSnap);
        // After the side panel along its edge.
        switch (C.Align) {
        case alLeft: Splitter->SetBounds(200, 0, 3, 300); break;
        case alRight: Splitter->SetBounds(100, 0, 3, 300); break;
        case alTop: Splitter->SetBounds(0, 200, 400, 3); break;
        default: Splitter->SetBounds(0, 50, 400, 3); break;
        }
        Splitter->SetParent(Form.get());
        auto* Rest = new TPanel(Form.get());
        Rest->SetParent(Form.get());
        Rest->SetAlign(alClient);
        Form->Show();
        int Moved = 0;
        Splitter->OnMoved = [&](TObject*) { ++Moved; };
        ASSERT_EQ(Splitter->FindControl(), Side) << C.Align;
        const QPoint Start(1, 1);
        const QPoint End = Horizontal ? QPoint(1 + C.Drag, 1) : QPoint(1, 1 + C.Drag);
        MouseTo(Splitter, QEvent::MouseButtonPress, Start, Qt::LeftButton);
        MouseTo(Splitter, QEvent::MouseMove, End, Qt::LeftButton);
        // The pattern style resizes only when released.
        EXPECT_EQ(Horizontal ? Side->Width() : Side->Height(), 100) << C.Align << " " << C.Drag;
        MouseTo(Splitter, QEvent::MouseButtonRelease, End, Qt::NoButton);
        EXPECT_EQ(Horizontal ? Side->Width() : Side->Height(), C.ExpectedSize) << C.Align << " " << C.Drag;
        EXPECT_EQ(Moved, 1);
        // The splitter follows the control's edge.
        switch (C.Align) {
        case alLeft: EXPECT_EQ(Splitter->Left(), C.ExpectedSize); break;
        case alRight: EXPECT_EQ(Splitter->Left() + Splitter->Width(), 400 - C.ExpectedSize); break;
        case alTop: EXPECT_EQ(Splitter->Top(), C.ExpectedSize); break;
        default: EXPECT_EQ(Splitter->Top() + Splitter->Height(), 300 - C.ExpectedSize); break;
        }
    }
}

TEST(ExtCtrlsSplitter, OnCanResizeMayChangeOrRefuseAndUpdateStyleResizesAtOnce)
{
    auto Form = NewForm(400, 300);
    auto* Side = new TPanel(Form.get());
    Side->SetParent(Form.get());
    Side->SetBounds(0, 0, 100, 300);
    Side->SetAlign(alLeft);
    auto* Splitter = new TSplitter(Form.get());
    Splitter->SetLeft(200);
    Splitter->SetParent(Form.get());
    Splitter->SetResizeStyle(rsUpdate);
    Form->Show();
    std::vector<int> Asked;
    Splitter->OnCanResize = [&](TObject*, int& NewSize, bool& Accept) {
        Asked.push_back(NewSize);
        if (NewSize > 150)
            Accept = false;
        else
            NewSize = NewSize / 10 * 10;
    };
    MouseTo(Splitter, QEvent::MouseButtonPress, QPoint(1, 5), Qt::LeftButton);
    MouseTo(Splitter, QEvent::MouseMove, QPoint(1 + 27, 5), Qt::LeftButton);
    EXPECT_EQ(Side->Width(), 120); // at once, rounded by the handler
    MouseTo(Splitter, QEvent::MouseMove, QPoint(1 + 80, 5), Qt::LeftButton);
    EXPECT_EQ(Side->Width(), 120); // refused
    MouseTo(Splitter, QEvent::MouseButtonRelease, QPoint(1 + 80, 5), Qt::NoButton);
    EXPECT_EQ(Side->Width(), 120);
    EXPECT_EQ(Asked.front(), 127);
    // Beveled splitters draw two frames.
    Splitter->SetBeveled(true);
    Splitter->SetWidth(6);
    const QImage Shot = Form->grab().toImage();
    const int X = Splitter->Left();
    EXPECT_EQ(Pixel(Shot, X, 10), Sys(clBtnShadow));
    EXPECT_EQ(Pixel(Shot, X + 1, 10), Sys(clBtnFace));
    EXPECT_EQ(Pixel(Shot, X + 2, 10), Sys(clBtnHighlight));
    EXPECT_EQ(Pixel(Shot, X + 3, 10), Sys(clBtnShadow));
    EXPECT_EQ(Pixel(Shot, X + 5, 10), Sys(clBtnHighlight));
}

// ---------------------------------------------------------------- scroll boxes

TEST(ExtCtrlsScrollBox, RangesFollowTheChildrenAndScrollingMovesThem)
{
    auto Form = NewForm(300, 200);
    Form->Show();
    auto* Box = new TScrollBox(Form.get());
    Box->SetParent(Form.get());
    Box->SetBounds(0, 0, 200, 100);
    EXPECT_FALSE(Box->HorzScrollBar()->IsScrollBarVisible());
    EXPECT_EQ(Box->ClientRect(), TRect(0, 0, 196, 96));
    auto* Child = new TPanel(Form.get());
    Child->SetParent(Box);
    Child->SetBounds(250, 20, 50, 30);
    // The child's right edge (from inside the border) sets the range.
    EXPECT_EQ(Box->HorzScrollBar()->Range(), 298);
    EXPECT_TRUE(Box->HorzScrollBar()->IsScrollBarVisible());
    EXPECT_FALSE(Box->VertScrollBar()->IsScrollBarVisible());
    EXPECT_EQ(Box->ClientHeight(), 96 - 17);
    EXPECT_EQ(Box->HorzScrollBar()->MaxPosition(), 298 - 196);

    Box->HorzScrollBar()->SetPosition(60);
    EXPECT_EQ(Child->Left(), 190);
    Box->HorzScrollBar()->SetPosition(1000); // clamped
    EXPECT_EQ(Box->HorzScrollBar()->Position(), 102);
    EXPECT_EQ(Child->Left(), 148);
    Box->HorzScrollBar()->SetPosition(0);
    Box->ScrollInView(Child);
    EXPECT_EQ(Child->Left() + Child->Width(), 2 + 196);
    // A vertical range appears when a child lies below.
    auto* Low = new TPanel(Form.get());
    Low->SetParent(Box);
    Low->SetBounds(10, 150, 20, 20);
    EXPECT_TRUE(Box->VertScrollBar()->IsScrollBarVisible());
    EXPECT_EQ(Box->VertScrollBar()->Range(), 168);
    // Moving a child updates the range.
    Low->SetTop(50);
    EXPECT_FALSE(Box->VertScrollBar()->IsScrollBarVisible());
    // Without AutoScroll the range is the program's and is stored.
    Box->SetAutoScroll(false);
    Box->HorzScrollBar()->SetRange(1000);
    EXPECT_EQ(Box->HorzScrollBar()->Range(), 1000);
    EXPECT_TRUE(Box->HorzScrollBar()->IsPropertyStored("Range"));
    Box->SetAutoScroll(true);
    EXPECT_FALSE(Box->HorzScrollBar()->IsPropertyStored("Range"));
}

TEST(ExtCtrlsScrollBox, AScrolledBoxIsStoredAsItShows)
{
    InitApplication();
    const char* const Text = R"(object F: TForm
  object Box: TScrollBox
    Width = 200
    Height = 100
    HorzScrollBar.Increment = 16
    HorzScrollBar.Position = 40
    TabOrder = 0
    object Far: TPanel
      Left = 210
      Top = 10
      Width = 50
      Height = 30
      TabOrder = 0
    end
  end
end
)";
    TForm Form;
    ReadComponentFromText(Text, &Form);
    auto* Box = dynamic_cast<TScrollBox*>(Form.FindComponent("Box"));
    auto* Far = dynamic_cast<TPanel*>(Form.FindComponent("Far"));
    ASSERT_NE(Box, nullptr);
    // The child was stored where the position puts it: reading moves nothing.
    EXPECT_EQ(Far->Left(), 210);
    EXPECT_EQ(Box->HorzScrollBar()->Position(), 40);
    EXPECT_EQ(Box->HorzScrollBar()->Range(), 40 + 210 + 50 - 2);
    EXPECT_EQ(ComponentToText(&Form), Text);
    Box->HorzScrollBar()->SetPosition(0);
    EXPECT_EQ(Far->Left(), 250);
}

#include "ExtCtrlsTest.moc"
