// The demonstration's main window: built from its form file, the category
// switch, and the launch buttons that open the demonstration windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include "AppTestSupport.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "DemoForms.h"
#include "DemoShot.h"
#include "ExceptionBarrier.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "mainu.h"
#include "Regions.h"
#include "nvCommon.h"
#include "nvDemoRichEdit.h"

namespace {

std::unique_ptr<TMainForm> MakeMainForm()
{
    RegisterDemoClasses();
    return std::unique_ptr<TMainForm>(
        CheckedCast<TMainForm>(CreateFormInstance(ClassOf<TMainForm>(), Application)));
}

template <class T = TControl>
T* Child(TComponent* Form, const String& Name)
{
    auto* C = dynamic_cast<T*>(Form->FindComponent(Name));
    EXPECT_NE(C, nullptr) << Name;
    return C;
}

TEST(MainFormTest, WindowAndComponentsStandWhereTheFormFileSays)
{
    auto Form = MakeMainForm();
    EXPECT_EQ(Form->Caption(), "Zentavo Suite");
    EXPECT_EQ(Form->BorderStyle(), bsNone);
    EXPECT_EQ(Form->BorderIcons(), TBorderIcons(biSystemMenu) | biMinimize | biHelp);
    EXPECT_EQ(Form->Position(), poScreenCenter);
    EXPECT_FALSE(Form->Scaled());
    EXPECT_EQ(Form->ClientWidth(), 600);
    EXPECT_EQ(Form->ClientHeight(), 463);
    EXPECT_EQ(Form->Font()->Height(), -11);

    struct TCase {
        const char* Name;
        int Left, Top, Width, Height;
    };
    const TCase Cases[] = {
        {"nvImageForm1", 0, 0, 600, 463},   {"Shape1", 10, 8, 582, 21},        {"TitleLabel", 192, 33, 273, 43},
        {"PageControl1", 161, 324, 431, 134}, {"nvButtonGroup1", 44, 88, 117, 238}, {"nvShapeBtn3", 573, 11, 17, 15},
        {"nvImageBtn1", 53, 29, 52, 52},    {"nvOutlookBar1", 168, 88, 424, 233},
        // category buttons: seven of 22 pixels, then four of 21
        {"DemoBtnOutlookBar", 0, 0, 117, 22}, {"DemoBtnStatusBar", 0, 132, 117, 22}, {"DemoBtnImager", 0, 154, 117, 21},
        {"DemoBars", 0, 217, 117, 21},
        // launch buttons and their group boxes
        {"nvShapeBtn8", 134, 21, 151, 32},  {"DemoButtonOutlookBar", 108, 69, 198, 32}, {"GroupBox6", 3, 0, 198, 119},
        {"GroupBox5", 208, 0, 211, 119},    {"nvShapeBtn10", 16, 24, 161, 33},  {"nvShapeBtn16", 107, 80, 166, 33},
        {"GroupBox2", 138, 1, 136, 119},    {"DemoButtonShapeBtn1", 8, 48, 121, 32}, {"nvShapeBtn1", 10, 74, 115, 32},
        {"nvShapeBtn2", 131, 45, 177, 32},  {"GroupBox4", 1, -1, 200, 57},      {"CalculatorDemoButton", 21, 19, 161, 31},
        {"nvShapeBtn7", 136, 64, 149, 49},  {"DBImagerDemoButton", 128, 78, 161, 30}, {"GroupBox8", 0, 0, 417, 123},
        {"nvImageBtn2", 123, 41, 174, 48},  {"Panel2DemoButton", 80, 70, 265, 33}, {"nvShapeBtn18", 80, 64, 265, 33},
    };
    for (const TCase& C : Cases) {
        TControl* Control = Child(Form.get(), C.Name);
        ASSERT_NE(Control, nullptr);
        EXPECT_EQ(Control->BoundsRect(), TRect(C.Left, C.Top, C.Left + C.Width, C.Top + C.Height)) << C.Name;
    }
    EXPECT_EQ(Form->nvLabel2->Caption(), "Kellvane's Zentavo Demo");
    EXPECT_EQ(Form->nvLabel2->Left(), 16);
    EXPECT_EQ(Form->TitleLabel->Font()->Height(), -32);
    EXPECT_EQ(Form->TitleLabel->Font()->Color(), clWhite);
    EXPECT_TRUE(Form->TitleLabel->TextOptions()->ExtrudeEffects()->Enabled());
    EXPECT_EQ(Form->TitleLabel->TextOptions()->ExtrudeEffects()->Depth(), 8);
    EXPECT_EQ(Form->TitleLabel->TextOptions()->ExtrudeEffects()->FarColor(), clBlue);
    EXPECT_TRUE(Form->TitleLabel->Transparent());
    EXPECT_EQ(Form->Shape1->Brush()->Color(), clNavy);
    EXPECT_EQ(Form->nvImageForm1->Picture()->Width(), 600);
    EXPECT_EQ(Form->nvImageForm1->Picture()->Height(), 463);
    EXPECT_EQ(Form->nvImageForm1->CaptionBarControl(), Form->Shape1);
    EXPECT_EQ(Form->nvImageForm1->DragTolerance(), 5);
    EXPECT_EQ(Form->nvImageBtn1->ShadeStyle(), fbsRaised);
    EXPECT_TRUE(Form->nvImageBtn1->Options().testFlag(boToggleOnUp));
    EXPECT_EQ(Form->nvImageBtn1->Image()->Width(), 52);
    EXPECT_FALSE(Form->nvShapeBtn3->Glyph()->Empty());
    // The outline: corners lie outside, the middle inside.
    EXPECT_FALSE(Form->WindowRegion().contains(QPoint(0, 0)));
    EXPECT_FALSE(Form->WindowRegion().contains(QPoint(0, 462)));
    EXPECT_FALSE(Form->WindowRegion().contains(QPoint(599, 462)));
    EXPECT_TRUE(Form->WindowRegion().contains(QPoint(300, 230)));
    EXPECT_TRUE(Form->WindowRegion().contains(QPoint(300, 0)));
}

struct TCategory {
    const char* Button;
    const char* Caption;
    const char* PageCaption;
    bool ScrollBar;
};
const TCategory Categories[] = {
    {"DemoBtnOutlookBar", "Outlook Bar", "OutlookBar Description", true},
    {"DemoBtnTreeview", "TreeViews", "TreeView Description", false},
    {"DemoBtnImageForm", "Image Forms", "Image Form Description", false},
    {"DemoBtnLabelButtons", "Buttons && Labels", "Button Label Descriptions", true},
    {"DemoBtnButtonGroup", "Button Group", "ButtonGroup Description", false},
    {"DemoBtnCombos", "Combos", "Combos Description", true},
    {"DemoBtnStatusBar", "Status Bar", "StatusBar Description", true},
    {"DemoBtnImager", "Imager Control", "Imager Description", true},
    {"DemoFramingBtn", "Custom Framing", "RichEditPage9", true},
    {"DemoPanels", "Panels", "RichEditPage10", true},
    {"DemoBars", "Progress&&Trackbar", "RichEditPage11", true},
};

TEST(MainFormTest, CategoryTableAndStartState)
{
    auto Form = MakeMainForm();
    for (int N = 1; N <= 11; ++N) {
        const TCategory& C = Categories[N - 1];
        SCOPED_TRACE(C.Button);
        auto* Button = Child(Form.get(), C.Button);
        ASSERT_NE(Button, nullptr);
        EXPECT_EQ(Button->Tag(), N);
        EXPECT_EQ(Button->Caption(), C.Caption);
        EXPECT_EQ(Button->Parent(), Form->nvButtonGroup1);
        EXPECT_EQ(Button->Font()->Color(), N == 1 ? clYellow : clWhite);
        EXPECT_TRUE(Button->Font()->Style().testFlag(fsBold));
        auto* Sheet = Child<TTabSheet>(Form.get(), "TabSheet" + std::to_string(N));
        ASSERT_NE(Sheet, nullptr);
        EXPECT_EQ(Sheet->PageControl(), Form->PageControl1);
        EXPECT_FALSE(Sheet->TabVisible());
        // The description page: a hidden shape button of the bar and a
        // panel that only the open page shows, over the whole bar.
        auto* Page = Child<TnvShapeBtn>(Form.get(), "RichEditPage" + std::to_string(N));
        ASSERT_NE(Page, nullptr);
        EXPECT_EQ(Page->Parent(), Form->nvOutlookBar1);
        EXPECT_EQ(Page->Caption(), C.PageCaption);
        EXPECT_EQ(Page->GroupIndex(), 1);
        EXPECT_FALSE(Page->Visible());
        auto* Item = dynamic_cast<TnvOutlookPage*>(Form->nvOutlookBar1->OutlookItems()->FindItemByButton(Page));
        ASSERT_NE(Item, nullptr);
        EXPECT_EQ(Item->Index(), N - 1);
        TnvOutlookPanel* Panel = Item->Panel();
        ASSERT_NE(Panel, nullptr);
        EXPECT_EQ(Panel->Owner(), Form->nvOutlookBar1);
        EXPECT_EQ(Panel->Visible(), N == 1);
        if (N == 1) {
            EXPECT_EQ(Panel->BoundsRect(), TRect(0, 0, 424, 233));
        }
        EXPECT_EQ(Item->OutlookList(), nullptr);
        auto* Edit = Child<TnvDemoRichEdit>(Form.get(), "nvDemoRichEdit" + std::to_string(N));
        ASSERT_NE(Edit, nullptr);
        EXPECT_EQ(Edit->Parent(), Panel);
        EXPECT_EQ(Edit->Width(), 424);
        EXPECT_EQ(Edit->Height(), 233);
        EXPECT_EQ(Edit->Align(), alClient);
        EXPECT_EQ(Edit->BorderStyle(), bsNone);
        EXPECT_EQ(Edit->ScrollBars(), C.ScrollBar ? ssVertical : ssNone);
        EXPECT_GT(Edit->Lines()->Count(), 2);
    }
    EXPECT_EQ(Form->SelectedCategory(), Form->FindComponent("DemoBtnOutlookBar"));
    EXPECT_EQ(Form->PageControl1->ActivePage()->Name(), "TabSheet1");
    EXPECT_EQ(Form->nvOutlookBar1->ActivePage()->Name(), "RichEditPage1");
    EXPECT_EQ(Form->TitleLabel->Caption(), "Outlook Bar");
    // The bar as the window keeps it.
    TnvOutlookBar* Bar = Form->nvOutlookBar1;
    EXPECT_FALSE(Bar->ShowButtons());
    EXPECT_EQ(Bar->ButtonSize(), 20);
    EXPECT_EQ(Bar->ButtonClassName(), "TnvShapeBtn");
    EXPECT_EQ(Bar->Layout(), loVertical);
    EXPECT_EQ(Bar->Options(), TnvCustomOutlookBarOptions(cboAutoCreateOutlookList));
    EXPECT_EQ(Bar->PanelAlignment(), paDynamic);
    EXPECT_TRUE(Bar->Animation()->Enabled());
    EXPECT_EQ(Bar->Animation()->Interval(), 1);
    EXPECT_EQ(Bar->Animation()->Steps(), 7);
    EXPECT_FALSE(Bar->AutoBold());
    EXPECT_EQ(Bar->BevelOuter(), bvNone);
    EXPECT_EQ(Bar->BorderStyle(), bsNone);
    EXPECT_EQ(Bar->OutlookItems()->Count(), 11);
}

TEST(MainFormTest, CategorySwitchChangesFontsPagesAndTitleInOrder)
{
    auto Form = MakeMainForm();
    Form->Show();
    // What the description page sees when it is shown: the launch page has
    // changed already, the title not yet.
    String LaunchPageAtShow, TitleAtShow;
    TColor FontAtShow = clNone;
    // The bar reports its page change once the new page is open.
    String OpenAtChange;
    Form->nvOutlookBar1->OnChange = [&](TnvCustomButtonGroup*, TnvButtonGroupItem*, TnvButtonGroupItem* Page) {
        LaunchPageAtShow = Form->PageControl1->ActivePage()->Name();
        TitleAtShow = Form->TitleLabel->Caption();
        FontAtShow = dynamic_cast<TControl*>(Form->SelectedCategory())->Font()->Color();
        OpenAtChange.clear();
        for (int I = 0; I < 11; ++I) {
            TnvOutlookPanel* P = Form->nvOutlookBar1->OutlookItems()->Page(I)->Panel();
            if (P->Visible())
                OpenAtChange += std::to_string(I + 1) + "@" + std::to_string(P->Left()) + "," +
                                std::to_string(P->Top()) + "," + std::to_string(P->Width()) + "x" +
                                std::to_string(P->Height());
        }
        (void)Page;
    };
    const int Order[] = {4, 2, 11, 1, 9, 6, 3, 10, 5, 8, 7};
    int Previous = 1;
    for (int N : Order) {
        SCOPED_TRACE(N);
        TControl* Old = Child(Form.get(), Categories[Previous - 1].Button);
        TControl* Button = Child(Form.get(), Categories[N - 1].Button);
        ClickLikeAUser(Button);
        EXPECT_EQ(Form->SelectedCategory(), Button);
        EXPECT_EQ(Old->Font()->Color(), clWhite);
        EXPECT_EQ(Button->Font()->Color(), clYellow);
        EXPECT_EQ(Form->PageControl1->ActivePage()->Name(), "TabSheet" + std::to_string(N));
        EXPECT_EQ(Form->nvOutlookBar1->ActivePage()->Name(), "RichEditPage" + std::to_string(N));
        EXPECT_EQ(Form->TitleLabel->Caption(), Categories[N - 1].Caption);
        EXPECT_EQ(LaunchPageAtShow, "TabSheet" + std::to_string(N));
        EXPECT_EQ(TitleAtShow, Categories[Previous - 1].Caption);
        EXPECT_EQ(FontAtShow, clYellow);
        // Only the new description is open, over the whole bar.
        EXPECT_EQ(OpenAtChange, std::to_string(N) + "@0,0,424x233");
        // Exactly one category is down.
        int Down = 0;
        for (const TCategory& C : Categories)
            Down += Child<TnvShapeBtn>(Form.get(), C.Button)->Down();
        EXPECT_EQ(Down, 1);
        Previous = N;
    }
    // Clicking the selected category runs no switch.
    TControl* Selected = Form->SelectedCategory();
    Form->TitleLabel->SetCaption("unchanged");
    Selected->Font()->SetColor(clRed);
    ClickLikeAUser(Selected);
    EXPECT_EQ(Form->TitleLabel->Caption(), "unchanged");
    EXPECT_EQ(Selected->Font()->Color(), clRed);
}

TEST(MainFormTest, CategorySwitchWithMissingOrWrongPages)
{
    auto Form = MakeMainForm();
    // A tag that names no page leaves both containers without an active page.
    auto* Stray = new TPanel(Form.get());
    Stray->SetName("StrayCategory");
    Stray->SetTag(42);
    Stray->SetCaption("Stray");
    Form->CategoryChange(nullptr, Stray);
    EXPECT_EQ(Form->PageControl1->ActivePage(), nullptr);
    // The bar opens the page of a button of its own; no button leaves the
    // open page open.
    EXPECT_EQ(Form->nvOutlookBar1->ActivePage()->Name(), "RichEditPage1");
    EXPECT_EQ(Form->TitleLabel->Caption(), "Stray");

    // A component of that name but of another class is an invalid typecast.
    auto* WrongSheet = new TLabel(Form.get());
    WrongSheet->SetName("TabSheet42");
    EXPECT_THROW(Form->CategoryChange(nullptr, Stray), EInvalidCast);
    WrongSheet->SetName("Unused1");
    auto* WrongPage = new TLabel(Form.get());
    WrongPage->SetName("RichEditPage42");
    auto* Sheet = new TTabSheet(Form.get());
    Sheet->SetName("TabSheet42");
    Sheet->SetPageControl(Form->PageControl1);
    EXPECT_THROW(Form->CategoryChange(nullptr, Stray), EInvalidCast);
    EXPECT_EQ(Form->PageControl1->ActivePage(), Sheet);
}

struct TLaunch {
    const char* Button;
    const char* Sheet;
    const char* Caption;
    const char* Handler;
    const char* FormClass;
    const char* FormCaption;
};
const TLaunch Launches[] = {
    {"nvShapeBtn8", "TabSheet1", "OutlookBar Demo", "nvShapeBtn8Click", "TOutlookBarForm", "TnvOutlookBar Demo"},
    {"DemoButtonOutlookBar", "TabSheet1", "Example using OutlookBar", "DemoButtonOutlookBarClick", "TPaintForm", "Paint"},
    {"nvShapeBtn9", "TabSheet2", "Click for Demo", "DemoButtonTreeViewClick", "TTreeViewDemoForm",
     "Zentavo TreeView Demo"},
    {"nvShapeBtn10", "TabSheet2", "Click for Demo", "nvShapeBtn9Click", "TDMTreeViewForm",
     "Zentavo - Data-Aware Tree View Demo"},
    {"nvShapeBtn14", "TabSheet3", "ImageForm Demo 1", "nvShapeBtn14Click", "TFrameDemo", "FrameDemo"},
    {"nvShapeBtn15", "TabSheet3", "ImageForm Demo 2", "nvShapeBtn15Click", "TOrderForm",
     "Zentavo ImageForm - Make your form take on any shape."},
    {"nvShapeBtn16", "TabSheet3", "Tab Shaped Form Demo", "nvShapeBtn16Click", "TImageTabForm", "ImageTabForm"},
    {"DemoButtonLabel", "TabSheet4", "Label Demo", "DemoButtonLabelClick", "TLabelForm",
     "The Ultimate Label Control..."},
    {"Label2DemoButton", "TabSheet4", "Demo", "Label2DemoButtonClick", "TJustifyLabelDemoForm",
     "Database Label Demo w/Full Justification Support"},
    {"DemoButtonShapeBtn1", "TabSheet4", "Click For Demo", "DemoButtonShapeBtn1Click", "TShapeBtnDemoForm",
     "Demonstration of the Zentavo ShapeButton"},
    {"DemoButtonImageBtn", "TabSheet4", "Click For Demo", "DemoButtonImageBtnClick", "TImageBtnDemoForm",
     "Zentavo Image Button Demo"},
    {"nvShapeBtn1", "TabSheet4", "Clickable Maps", "nvShapeBtn1Click", "TMapForm", "Clickable Maps!"},
    {"nvShapeBtn5", "TabSheet5", "ButtonGroups", "nvShapeBtn5Click", "TButtonGroupDemo2", "Zentavo ButtonGroup Demo"},
    {"nvShapeBtn2", "TabSheet5", "Tab ButtonGroup Demo", "nvShapeBtn2Click", "TTabBtnGroupForm",
     "Demo of Zentavo ButtonGroup as a Tab Control"},
    {"nvShapeBtn12", "TabSheet6", "Click for Demo", "nvShapeBtn12Click", "TColorDemoForm",
     "Zentavo ColorCombo and ColorListBox Demo"},
    {"nvShapeBtn13", "TabSheet6", "Click for Demo", "nvShapeBtn13Click", "TTreeComboDemoForm",
     "Zentavo Suite TreeView/Image Combo"},
    {"CalculatorDemoButton", "TabSheet6", "Click for Demo", "CalculatorDemoButtonClick", "TCalculatorDemoForm",
     "CalculatorDemoForm"},
    {"DemoButtonStatusBar", "TabSheet7", "  The Ultimate\r\nStatusBar Demo", "DemoButtonStatusBarClick",
     "TStatusBarDemoForm", "Demonstration of all the powerful StatusBar styles"},
    {"nvShapeBtn7", "TabSheet7", "Proportional Panel\r\n    Sizing Demo", "nvShapeBtn7Click", "TProportionalDemo",
     "Proportional Sizing of StatusBar Demo"},
    {"DemoButtonTiler", "TabSheet8", "Background Tiling Demo", "DemoButtonTilerClick", "TTilerForm", "Tiler Demo"},
    {"nvShapeBtn6", "TabSheet8", "Powerful Imaging Demo", "nvShapeBtn6Click", "TImagerForm", "Imager Demo"},
    {"DBImagerDemoButton", "TabSheet8", "Database Imager", "DBImagerDemoButtonClick", "TDBImagerDemoForm",
     "TnvDBImager Demo"},
    {"nvImageBtn2", "TabSheet9", "Transparency\r\nAnd Custom Framing!", "nvImageBtn2Click", "TFrameDemo",
     "FrameDemo"},
    {"nvShapeBtn4", "TabSheet10", "Zentavo GroupBox Demo", "nvShapeBtn4Click", "TPanelDemoForm",
     "Zentavo GroupBox Demo"},
    {"Panel2DemoButton", "TabSheet10", "Zentavo Panel Demo", "Panel2DemoButtonClick", "TPanel2DemoForm",
     "Panel2DemoForm"},
    {"nvShapeBtn17", "TabSheet11", "New - DataBound ProgressBar", "nvShapeBtn17Click", "TProgressForm",
     "ProgressBar Demo"},
    {"nvShapeBtn18", "TabSheet11", "New - Databound Trackbar", "nvShapeBtn18Click", "TTrackbarForm", "TrackBar Demo"},
    {"nvImageBtn1", "", "", "DemoButtonImageFormClick", "TOrderForm",
     "Zentavo ImageForm - Make your form take on any shape."},
};

// Closes the modal window that the next ShowModal opens, noting what it saw.
struct TModalCloser {
    struct TSeen {
        QPointer<QWidget> Window;
        String ClassName;
        String Caption;
        TCursor CursorWhileShown = crNone;
        bool WasFresh = false;
        bool Stop = false;
    };
    std::shared_ptr<TSeen> Seen = std::make_shared<TSeen>();

    TModalCloser() { Poll(Seen); }
    ~TModalCloser() { Seen->Stop = true; }
    TModalCloser(const TModalCloser&) = delete;
    TModalCloser& operator=(const TModalCloser&) = delete;

    static void Poll(std::shared_ptr<TSeen> S)
    {
        QTimer::singleShot(5, [S] {
            if (S->Stop)
                return;
            auto* Form = dynamic_cast<TCustomForm*>(QApplication::activeModalWidget());
            if (!Form) {
                Poll(S);
                return;
            }
            S->Stop = true;
            S->Window = Form;
            S->ClassName = Form->ClassName();
            S->Caption = Form->Caption();
            S->CursorWhileShown = Screen->Cursor();
            S->WasFresh = !Form->property("zenSeenBefore").isValid();
            Form->setProperty("zenSeenBefore", true);
            Form->Close();
        });
    }
};

TEST(MainFormTest, EveryLaunchButtonOpensItsWindowModallyAndFreshEachTime)
{
    auto Form = MakeMainForm();
    // The data-aware windows read "..\db\*.xml" from the working directory.
    TWorkingDirectory Dir(SourceDir() + "/app/forms");
    Form->Show();
    for (const TLaunch& L : Launches) {
        SCOPED_TRACE(L.Button);
        auto* Button = Child(Form.get(), L.Button);
        ASSERT_NE(Button, nullptr);
        if (*L.Sheet) {
            TControl* P = Button->Parent();
            while (P && !dynamic_cast<TTabSheet*>(P))
                P = P->Parent();
            ASSERT_NE(P, nullptr);
            EXPECT_EQ(P->Name(), L.Sheet);
            EXPECT_EQ(Button->Caption(), L.Caption);
        }
        EXPECT_EQ(Button->OnClick.MethodName(), QByteArray(L.Handler));
        for (int Round = 0; Round < 2; ++Round) {
            TModalCloser Closer;
            Button->OnClick(Button);
            EXPECT_EQ(Closer.Seen->ClassName, L.FormClass);
            EXPECT_EQ(Closer.Seen->Caption, L.FormCaption);
            EXPECT_EQ(Closer.Seen->CursorWhileShown, crDefault);
            EXPECT_TRUE(Closer.Seen->WasFresh) << "round " << Round;
            EXPECT_TRUE(Closer.Seen->Window.isNull()) << "the window is destroyed after it closes";
        }
        EXPECT_EQ(Screen->Cursor(), crDefault);
    }
    EXPECT_EQ(DemoFormClasses().size(), 26u);
}

TEST(MainFormTest, AMissingDataFileReachesTheExceptionDisplayAndTheWindowStaysUsable)
{
    auto Form = MakeMainForm();
    Form->Show();
    QTemporaryDir Empty;
    TWorkingDirectory Dir(Empty.path());
    std::vector<String> Shown;
    const TExceptionHandler Old =
        SetExceptionHandler([&](const std::exception& E) { Shown.push_back(ExceptionDisplayText(E)); });
    const int FormsBefore = Screen->FormCount();
    auto* Progress = Child(Form.get(), "nvShapeBtn17");
    // Clicked from the event loop, as a user's click arrives.
    QTimer::singleShot(0, [Progress] { Progress->OnClick(Progress); });
    for (int I = 0; I < 5 && Shown.empty(); ++I)
        QApplication::processEvents();
    SetExceptionHandler(Old);
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_NE(Shown[0].find("nvorders.xml"), String::npos) << Shown[0];
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_EQ(Screen->FormCount(), FormsBefore);
    // The window goes on working: another window opens, categories switch.
    TModalCloser Closer;
    auto* Colors = Child(Form.get(), "nvShapeBtn12");
    Colors->OnClick(Colors);
    EXPECT_EQ(Closer.Seen->ClassName, "TColorDemoForm");
    ClickLikeAUser(Child(Form.get(), "DemoBtnCombos"));
    EXPECT_EQ(Form->TitleLabel->Caption(), "Combos");
}

TEST(MainFormTest, TheCloseButtonClosesTheMainWindow)
{
    auto Form = MakeMainForm();
    Form->Show();
    ASSERT_TRUE(Form->isVisible());
    EXPECT_EQ(Form->nvShapeBtn3->OnClick.MethodName(), QByteArray("nvShapeBtn3Click"));
    Form->nvShapeBtn3->OnClick(Form->nvShapeBtn3);
    EXPECT_FALSE(Form->isVisible());
}

} // namespace

// The outlines stored in the form file are those of the pictures beside it:
// a picture redrawn without its stored outline brought up to date would give
// a window or button that does not match what it shows.
TEST(MainFormTest, StoredOutlinesMatchThePictures)
{
    auto Form = MakeMainForm();
    auto Hex = [](const std::vector<uint8_t>& Bytes) {
        String S;
        for (const uint8_t B : Bytes)
            S += Format("%.2X", {int(B)});
        return S;
    };
    for (const char* Name : {"nvImageBtn1", "nvImageBtn2"}) {
        SCOPED_TRACE(Name);
        auto* Button = Child<TnvImageBtn>(Form.get(), Name);
        ASSERT_NE(Button, nullptr);
        const std::vector<uint8_t> Stored = Button->RegionData().Buffer;
        EXPECT_FALSE(Stored.empty()) << "no stored outline";
        // Shaped from the stored data, not by scanning the picture.
        EXPECT_EQ(Button->RegionDecodeCount(), 1);
        Button->FreeRegionRecords();
        const QRegion Built = Button->CreateRegion(true, false);
        EXPECT_FALSE(Built.isEmpty());
        EXPECT_EQ(Hex(Button->RegionData().Buffer), Hex(Stored));
    }
    // The window: the region it took from the stored data is the picture's.
    const QRegion Stored = Form->nvImageForm1->Region();
    EXPECT_FALSE(Stored.isEmpty());
    EXPECT_EQ(RegionFromGraphic(Form->nvImageForm1->Picture()->Graphic(), Form->nvImageForm1->KeyColor()), Stored);
    // Stored as 516 bytes: the count 512, then the 32-byte header and 30 rectangles.
    const std::vector<uint8_t> Data = GetRegionData(Stored);
    EXPECT_EQ(Data.size(), 512u);
    EXPECT_EQ(Stored.rectCount(), 30);
    QFile File(ToQString(FindFormFile("TMainForm")));
    ASSERT_TRUE(File.open(QIODevice::ReadOnly));
    const String Text = File.readAll().toStdString();
    const auto At = Text.find("\n    RegionData = {");
    ASSERT_NE(At, String::npos);
    const auto Open = Text.find('{', At), Close = Text.find('}', At);
    EXPECT_EQ(Close - Open - 1, 2 * 516u);
    EXPECT_EQ(Text.substr(Open + 1, 8), "00020000");
}

// The launch buttons' shapes and colours as the launch table and its notes
// give them.
TEST(MainFormTest, LaunchButtonsHaveTheirShapesAndColours)
{
    auto Form = MakeMainForm();
    Form->Show();
    enum TKind { Rounded, Octagon };
    const struct {
        const char* Name;
        TKind Kind;
        int Bias;
        TColor Color;
        TColor ShadeColor; // of the caption; rounded buttons only
        int TextY;
    } Cases[] = {
        {"nvShapeBtn8", Rounded, 25, clBtnFace, clBtnFace, 0},
        {"DemoButtonOutlookBar", Rounded, 25, clBtnFace, clBtnFace, 0},
        {"nvShapeBtn9", Octagon, 25, clBtnFace, clNone, 0},
        {"nvShapeBtn10", Octagon, 25, clBtnFace, clNone, 0},
        {"nvShapeBtn14", Octagon, 25, clBtnFace, clNone, 0},
        {"DemoButtonLabel", Rounded, 25, clBtnFace, clBtnFace, 0},
        {"Label2DemoButton", Rounded, 25, clBtnFace, MakeColor(0x0000B3), 0},
        {"DemoButtonShapeBtn1", Rounded, 25, clBtnFace, clNone, 0},
        {"DemoButtonImageBtn", Rounded, 25, clBtnFace, clNone, 0},
        {"nvShapeBtn1", Rounded, 25, clBtnFace, clNone, 0},
        {"nvShapeBtn5", Rounded, 25, clBtnFace, clNone, 0},
        {"nvShapeBtn2", Rounded, 25, clBtnFace, clNone, 0},
        {"CalculatorDemoButton", Octagon, 25, clBtnFace, clNone, 0},
        {"DemoButtonStatusBar", Rounded, 40, clBtnFace, clBtnFace, 0},
        {"nvShapeBtn7", Rounded, 40, clBtnFace, clBtnFace, 0},
        {"DemoButtonTiler", Rounded, 25, clBtnFace, clBtnFace, -2},
        {"DBImagerDemoButton", Rounded, 25, clBtnFace, MakeColor(0x0000A4), -2},
        {"Panel2DemoButton", Octagon, 25, clBtnFace, clNone, 0},
        {"nvShapeBtn17", Octagon, 25, clRed, clNone, 0},
        {"nvShapeBtn18", Octagon, 25, clRed, clNone, 0},
    };
    const std::vector<String> OctagonPoints = {"Width/8, 0",        "Width*7/8, 0",          "Width*7/8, Height/8",
                                         "Width, Height/8",   "Width, Height*7/8",     "Width*7/8, Height*7/8",
                                         "Width*7/8, Height", "Width/8, Height",       "Width/8, Height*7/8",
                                         "0, Height*7/8",     "0, Height/8",           "Width/8,Height/8",
                                         "Width/8,0"};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        auto* B = Child<TnvShapeBtn>(Form.get(), C.Name);
        ASSERT_NE(B, nullptr);
        EXPECT_EQ(B->Color(), C.Color);
        EXPECT_EQ(B->DitherColor(), clWhite);
        EXPECT_EQ(B->ShadeStyle(), fbsHighlight);
        EXPECT_EQ(B->Font()->Height(), -11);
        EXPECT_TRUE(B->Font()->Style().testFlag(fsBold));
        EXPECT_EQ(B->Offsets()->TextY(), C.TextY);
        if (C.Kind == Rounded) {
            EXPECT_EQ(B->Shape(), bsRoundRect);
            EXPECT_EQ(B->RoundRectBias(), C.Bias);
            EXPECT_EQ(B->TextOptions()->Style(), nvlsLowered);
            EXPECT_EQ(B->TextOptions()->ShadeColor(), C.ShadeColor);
        } else {
            EXPECT_EQ(B->Shape(), bsCustom);
            ASSERT_EQ(B->PointList()->Count(), int(OctagonPoints.size()));
            for (int I = 0; I < B->PointList()->Count(); ++I)
                EXPECT_EQ(B->PointList()->Strings(I), OctagonPoints[size_t(I)]);
            // The outline is the octagon: the corners are cut.
            const QRegion Outline = B->CreateRegion(true, false);
            EXPECT_FALSE(Outline.contains(QPoint(0, 0)));
            EXPECT_FALSE(Outline.contains(QPoint(B->Width() - 1, B->Height() - 1)));
            EXPECT_TRUE(Outline.contains(QPoint(B->Width() / 2, B->Height() / 2)));
            EXPECT_TRUE(Outline.contains(QPoint(0, B->Height() / 2)));
        }
    }
    auto* Red = Child<TnvShapeBtn>(Form.get(), "nvShapeBtn17");
    EXPECT_EQ(Red->ShadeColors()->Btn3DLight(), MakeColor(0x7F7FFF));
    EXPECT_EQ(Red->ShadeColors()->BtnShadow(), clMaroon);
}
