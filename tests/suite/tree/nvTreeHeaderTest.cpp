// The tree header: sections and their limits, the platform items they keep
// in step, sections resized and moved with real mouse events and the events
// in order, the linked tree's display fields, the owner-drawn painting, and
// the stored form read, written and read back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>

#include <memory>

#include "Canvas.h"
#include "FormStream.h"
#include "Forms.h"
#include "TestDump.h"
#include "nvCommon.h"
#include "nvTreeHeader.h"
#include "nvTreeHeaderTestClasses.h"

namespace {

QRgb Pixel(const QImage& Image, int X, int Y)
{
    return Image.pixel(X, Y) & 0xFFFFFFu;
}

QRgb Rgb(TColor C)
{
    return ColorToQRgb(C) & 0xFFFFFFu;
}

// The platform control's item (width, text, format, order).
HDITEM PlatformItem(TnvTreeHeaderControl* C, int Index)
{
    HDITEM I;
    I.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | HDI_ORDER;
    EXPECT_EQ(C->Perform(HDM_GETITEM, Index, reinterpret_cast<intptr_t>(&I)), 1) << Index;
    return I;
}

String PlatformTexts(TnvTreeHeaderControl* C)
{
    String S;
    const intptr_t N = C->Perform(HDM_GETITEMCOUNT);
    for (int I = 0; I < N; ++I) {
        const HDITEM Item = PlatformItem(C, I);
        S += (I ? "," : "") + Item.pszText + "/" + std::to_string(Item.cxy);
    }
    return S;
}

String SectionTexts(TnvTreeHeaderSections* S)
{
    String T;
    for (int I = 0; I < S->Count(); ++I)
        T += (I ? "," : "") + S->Items(I)->Text() + "/" + std::to_string(S->Items(I)->Width());
    return T;
}

// A form 300 wide with a 20-pixel header of three sections: Name (field
// Company, 80), City (field City, 60 within [40, 100]) and Phone (no field,
// 70), a tree linked to it with two display lines, and a log of every event.
struct THeaderFixture {
    std::unique_ptr<THeaderTestForm> Form;
    TnvTreeHeader* H;
    TnvTreeHeaderControl* C;
    THeaderTestTree* Tree;
    std::vector<String> Log;

    THeaderFixture()
    {
        InitApplication();
        Form = std::make_unique<THeaderTestForm>();
        Form->SetBounds(0, 0, 300, 120);
        H = new TnvTreeHeader(Form.get());
        H->SetName("Header1");
        H->SetParent(Form.get());
        H->SetHeight(20);
        C = H->HeaderControl();
        Tree = new THeaderTestTree(Form.get());
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 20, 300, 100);
        Tree->Fields.Add("\"Company\"");
        Tree->Fields.Add("\"OrderNo\"");
        C->SetTreeView(Tree);
        Add("Name", 80, "Company");
        TnvTreeHeaderSection* City = Add("City", 60, "City");
        City->SetMinWidth(40);
        City->SetMaxWidth(100);
        Add("Phone", 70, "");
        auto Name = [](TnvTreeHeaderSection* S) { return S ? S->Text() : String("nil"); };
        H->OnSectionTrack = [this, Name](TnvTreeHeader*, TnvTreeHeaderSection* S, int W, TSectionTrackState St) {
            static const char* States[] = {"begin", "move", "end"};
            Log.push_back("track " + Name(S) + " " + std::to_string(W) + " " + States[St]);
        };
        H->OnSectionResize = [this, Name](TnvTreeHeader*, TnvTreeHeaderSection* S) {
            Log.push_back("resize " + Name(S) + " " + std::to_string(S->Width()));
        };
        H->OnSectionClick = [this, Name](TnvTreeHeader*, TnvTreeHeaderSection* S) {
            Log.push_back("click " + Name(S));
        };
        H->OnSectionMove = [this, Name](TnvTreeHeader*, TnvTreeHeaderSection* S, int From, int To, bool& Allow) {
            Log.push_back("move " + Name(S) + " " + std::to_string(From) + ">" + std::to_string(To));
            Allow = AllowMove;
        };
        H->OnSectionDrag = [this, Name](TObject*, TnvTreeHeaderSection* From, TnvTreeHeaderSection* To) {
            Log.push_back("drag " + Name(From) + ">" + Name(To));
        };
        H->SetHeaderMouseDown([this](TObject*, TMouseButton, TShiftState, int X, int) {
            Log.push_back("mousedown " + std::to_string(X));
        });
        Form->Show();
    }
    TnvTreeHeaderSection* Add(const String& Text, int Width, const String& Field)
    {
        TnvTreeHeaderSection* S = H->Sections()->Add();
        S->SetText(Text);
        S->SetWidth(Width);
        S->SetFieldName(Field);
        return S;
    }
    void Send(QEvent::Type Type, int X, Qt::MouseButton Button, Qt::MouseButtons Buttons)
    {
        const QPointF At(X, 8);
        QMouseEvent E(Type, At, C->mapToGlobal(At), Button, Buttons, Qt::NoModifier);
        QApplication::sendEvent(C, &E);
    }
    void Press(int X) { Send(QEvent::MouseButtonPress, X, Qt::LeftButton, Qt::LeftButton); }
    void Move(int X, bool Down = true) { Send(QEvent::MouseMove, X, Qt::NoButton, Down ? Qt::LeftButton : Qt::NoButton); }
    void Release(int X) { Send(QEvent::MouseButtonRelease, X, Qt::LeftButton, Qt::NoButton); }
    void Drag(int From, int To)
    {
        Press(From);
        Move((From + To) / 2);
        Move(To);
        Release(To);
    }
    String TakeLog()
    {
        String S;
        for (const String& L : Log)
            S += (S.empty() ? "" : "; ") + L;
        Log.clear();
        return S;
    }
    QImage Shot() { return C->grab().toImage(); }
    bool AllowMove = true;
};

// ---------------------------------------------------------------- sections

TEST(nvTreeHeader, SectionDefaultsAndDisplayName)
{
    InitApplication();
    TnvTreeHeaderControl Control;
    EXPECT_EQ(Control.Height(), 17);
    EXPECT_EQ(Control.HotSection(), -1);
    EXPECT_EQ(Control.Options(), TnvTreeHeaderOptions(thcoAllowColumnMove) | thcoSortTreeOnClick | thcoRightBorder);
    EXPECT_EQ(Control.Style(), HDS_BUTTONS | HDS_DRAGDROP);
    TnvTreeHeaderSection* S = Control.Sections()->Add();
    EXPECT_EQ(S->Alignment(), taLeftJustify);
    EXPECT_TRUE(S->AllowClick());
    EXPECT_EQ(S->MaxWidth(), 10000);
    EXPECT_EQ(S->MinWidth(), 0);
    EXPECT_EQ(S->Style(), hsText);
    EXPECT_EQ(S->Width(), 50);
    EXPECT_EQ(S->ImageIndex(), -1);
    EXPECT_EQ(S->ImageAlignment(), taLeftJustify);
    EXPECT_EQ(S->GetDisplayName(), "0 - TnvTreeHeaderSection");
    Control.Sections()->Add()->SetText("City");
    EXPECT_EQ(Control.Sections()->Items(1)->GetDisplayName(), "1 - City");
    EXPECT_EQ(Control.Sections()->GetOwner(), static_cast<TPersistent*>(&Control));

    TnvTreeHeader Header;
    EXPECT_EQ(Header.Align(), alTop);
    EXPECT_FALSE(Header.HotTrack());
    EXPECT_FALSE(Header.DisableThemes());
    EXPECT_EQ(Header.Options(), nvDefaultTreeHeaderOptions);
    // The control fills the panel.
    EXPECT_EQ(Header.HeaderControl()->BoundsRect(), TRect(0, 0, Header.Width(), Header.Height()));
}

TEST(nvTreeHeader, WidthLimits)
{
    InitApplication();
    TnvTreeHeaderControl Control;
    TnvTreeHeaderSection* S = Control.Sections()->Add();
    struct TStep {
        const char* Name;
        int Value;
        int Min, Max, Width; // after the step
    };
    // Each step acts on the state the previous one left.
    const TStep Steps[] = {
        {"width above max", 20000, 0, 10000, 10000},
        {"max below width", 300, 0, 300, 300},
        {"min above width", 400, 300, 300, 300},  // min stops at max
        {"max below min", 100, 300, 300, 300},    // max stops at min
        {"min negative", -5, 0, 300, 300},
        {"width below min", -20, 0, 300, 0},
        {"min raises width", 30, 30, 300, 30},
        {"max beyond limit", 50000, 30, 10000, 30},
    };
    for (const TStep& St : Steps) {
        SCOPED_TRACE(St.Name);
        const String N = St.Name;
        if (N.rfind("width", 0) == 0)
            S->SetWidth(St.Value);
        else if (N.rfind("max", 0) == 0)
            S->SetMaxWidth(St.Value);
        else
            S->SetMinWidth(St.Value);
        EXPECT_EQ(S->MinWidth(), St.Min);
        EXPECT_EQ(S->MaxWidth(), St.Max);
        EXPECT_EQ(S->Width(), St.Width);
        EXPECT_EQ(PlatformItem(&Control, 0).cxy, St.Width);
    }
    // Assign takes limits and width together, even where the target's own
    // limits would have cut them.
    TnvTreeHeaderSection* T = Control.Sections()->Add();
    T->SetMaxWidth(20);
    S->SetMaxWidth(300);
    S->SetMinWidth(150);
    S->SetWidth(200);
    S->SetText("S");
    S->SetFieldName("F");
    S->SetAllowClick(false);
    S->SetImageIndex(4);
    T->Assign(S);
    EXPECT_EQ(T->MinWidth(), 150);
    EXPECT_EQ(T->MaxWidth(), 300);
    EXPECT_EQ(T->Width(), 200);
    EXPECT_EQ(T->Text(), "S");
    EXPECT_EQ(T->FieldName(), "F");
    EXPECT_FALSE(T->AllowClick());
    EXPECT_EQ(T->ImageIndex(), -1) << "the image index is not copied";
    EXPECT_EQ(PlatformTexts(&Control), "S/200,S/200");
}

// A recording control: which platform messages a section change sends.
class TMessageLogControl : public TnvTreeHeaderControl {
public:
    std::vector<String> Sent;
    void WndProc(TMessage& M) override
    {
        switch (M.Msg) {
        case HDM_SETITEM: Sent.push_back("set " + std::to_string(M.WParam)); break;
        case HDM_INSERTITEM: Sent.push_back("insert " + std::to_string(M.WParam)); break;
        case HDM_DELETEITEM: Sent.push_back("delete " + std::to_string(M.WParam)); break;
        default: break;
        }
        TnvTreeHeaderControl::WndProc(M);
    }
    String Take()
    {
        String S;
        for (const String& L : Sent)
            S += (S.empty() ? "" : ",") + L;
        Sent.clear();
        return S;
    }
};

TEST(nvTreeHeader, SectionChangesReachThePlatformItems)
{
    InitApplication();
    TMessageLogControl Control;
    for (const char* T : {"A", "B", "C"})
        Control.Sections()->Add()->SetText(T);
    Control.Take();
    struct TCase {
        const char* Name;
        std::function<void(TnvTreeHeaderSections*)> Change;
        const char* Sent;
    };
    const TCase Cases[] = {
        {"text", [](TnvTreeHeaderSections* S) { S->Items(1)->SetText("Bee"); }, "set 1"},
        {"alignment", [](TnvTreeHeaderSections* S) { S->Items(0)->SetAlignment(taCenter); }, "set 0"},
        {"width of the last", [](TnvTreeHeaderSections* S) { S->Items(2)->SetWidth(90); }, "set 2"},
        {"width of another",
         [](TnvTreeHeaderSections* S) { S->Items(0)->SetWidth(70); },
         "delete 0,delete 0,delete 0,insert 0,insert 1,insert 2"},
        {"same width", [](TnvTreeHeaderSections* S) { S->Items(0)->SetWidth(70); }, ""},
        {"field name", [](TnvTreeHeaderSections* S) { S->Items(0)->SetFieldName("X"); }, ""},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        C.Change(Control.Sections());
        EXPECT_EQ(Control.Take(), C.Sent);
    }
    EXPECT_EQ(PlatformTexts(&Control), "A/70,Bee/50,C/90");
    // Every item is owner-drawn with the format of its alignment.
    Control.Sections()->Items(1)->SetAlignment(taRightJustify);
    EXPECT_EQ(PlatformItem(&Control, 0).fmt, HDF_CENTER | HDF_OWNERDRAW);
    EXPECT_EQ(PlatformItem(&Control, 1).fmt, HDF_RIGHT | HDF_OWNERDRAW);
    EXPECT_EQ(PlatformItem(&Control, 2).fmt, HDF_LEFT | HDF_OWNERDRAW);
    // Hot tracking and the options recreate the window: the items come back
    // with the new style.
    Control.SetHotTrack(true);
    EXPECT_EQ(Control.Style(), HDS_BUTTONS | HDS_HOTTRACK | HDS_DRAGDROP);
    EXPECT_EQ(PlatformTexts(&Control), "A/70,Bee/50,C/90");
    Control.SetOptions(TnvTreeHeaderOptions(thcoRightBorder));
    EXPECT_EQ(Control.Style(), HDS_BUTTONS | HDS_HOTTRACK);
    EXPECT_EQ(PlatformTexts(&Control), "A/70,Bee/50,C/90");
    Control.Sections()->Delete(0);
    EXPECT_EQ(PlatformTexts(&Control), "Bee/50,C/90");
}

// ---------------------------------------------------------------- mouse

TEST(nvTreeHeader, SectionResizedByMouseWithinItsLimits)
{
    THeaderFixture F;
    // City's divider is at 140; the drag proposes 120, then 70.
    F.Press(140);
    F.Move(200);
    F.Move(150);
    EXPECT_EQ(F.H->Sections()->Items(1)->Width(), 60) << "set at the release";
    F.Release(150);
    EXPECT_EQ(F.TakeLog(), "track City 60 begin; mousedown 140; track City 100 move; track City 70 move; "
                           "track City 70 end; resize City 70");
    EXPECT_EQ(SectionTexts(F.H->Sections()), "Name/80,City/70,Phone/70");
    EXPECT_EQ(PlatformTexts(F.C), "Name/80,City/70,Phone/70");
    EXPECT_EQ(F.Tree->Recalcs, 1);
    // Below MinWidth: held at 40.
    F.Drag(150, 90);
    EXPECT_EQ(F.H->Sections()->Items(1)->Width(), 40);
    EXPECT_EQ(PlatformItem(F.C, 1).cxy, 40);
    EXPECT_EQ(F.Tree->Recalcs, 2);
    F.TakeLog();
    // A drag that ends at the width it began with resizes nothing.
    F.Drag(120, 120);
    EXPECT_EQ(F.TakeLog(), "track City 40 begin; mousedown 120; track City 40 move; track City 40 move; "
                           "track City 40 end");
    EXPECT_EQ(F.Tree->Recalcs, 2);
}

TEST(nvTreeHeader, SectionsMovedByMouse)
{
    struct TCase {
        const char* Name;
        int From, To;
        bool Allow;
        const char* Log;
        const char* Order;
        const char* Fields;
    };
    // Sections: Name [0,80) City [80,140) Phone [140,210); the header is 300 wide.
    const TCase Cases[] = {
        {"beyond the last", 20, 250, true, "move Name 0>2; drag City>Name", "City,Phone,Name",
         "\"City\"\t\"Phone\"\t\"Company\""},
        {"onto the first", 170, 10, true, "move Phone 2>0; drag City>Phone", "Phone,Name,City",
         "\"Phone\"\t\"Company\"\t\"City\""},
        {"onto the middle", 20, 100, true, "move Name 0>1; drag City>Name", "City,Name,Phone",
         "\"City\"\t\"Company\"\t\"Phone\""},
        {"left of all", 100, -20, true, "move City 1>0; drag Name>City", "City,Name,Phone",
         "\"City\"\t\"Company\"\t\"Phone\""},
        {"refused", 20, 250, false, "move Name 0>2", "Name,City,Phone", "\"Company\";\"OrderNo\""},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        THeaderFixture F;
        F.AllowMove = C.Allow;
        F.Drag(C.From, C.To);
        EXPECT_EQ(F.TakeLog(), "mousedown " + std::to_string(C.From) + "; " + C.Log);
        String Order;
        for (int I = 0; I < 3; ++I)
            Order += (I ? "," : "") + F.H->Sections()->Items(I)->Text();
        EXPECT_EQ(Order, C.Order);
        // The platform items follow the sections, in the same order.
        String Items;
        for (int I = 0; I < 3; ++I) {
            const HDITEM Item = PlatformItem(F.C, I);
            Items += (I ? "," : "") + Item.pszText;
            EXPECT_EQ(Item.iOrder, I);
        }
        EXPECT_EQ(Items, C.Order);
        // Every display line of the tree becomes the new column list.
        ASSERT_EQ(F.Tree->Fields.Count(), 2);
        if (C.Allow) {
            EXPECT_EQ(F.Tree->Fields[0], C.Fields);
            EXPECT_EQ(F.Tree->Fields[1], C.Fields);
        } else {
            EXPECT_EQ(F.Tree->Fields[0] + ";" + F.Tree->Fields[1], C.Fields);
        }
    }
    // Without thcoAllowColumnMove a section cannot be dragged.
    THeaderFixture F;
    F.H->SetOptions(TnvTreeHeaderOptions(thcoRightBorder));
    F.Drag(20, 250);
    EXPECT_EQ(F.TakeLog(), "mousedown 20");
    EXPECT_EQ(SectionTexts(F.H->Sections()), "Name/80,City/60,Phone/70");
}

TEST(nvTreeHeader, ClicksAndAllowClick)
{
    THeaderFixture F;
    F.Press(100);
    F.Release(100);
    EXPECT_EQ(F.TakeLog(), "mousedown 100; click City");
    // A section that does not allow clicks swallows the press on its area...
    F.H->Sections()->Items(2)->SetAllowClick(false);
    F.Press(170);
    F.Release(170);
    EXPECT_EQ(F.TakeLog(), "");
    EXPECT_EQ(F.C->PressedItem(), -1);
    // ... but its divider still drags.
    F.Drag(210, 230);
    EXPECT_EQ(F.H->Sections()->Items(2)->Width(), 90);
    EXPECT_EQ(F.TakeLog(), "track Phone 70 begin; mousedown 210; track Phone 80 move; track Phone 90 move; "
                           "track Phone 90 end; resize Phone 90");
}

TEST(nvTreeHeader, HotSectionFollowsTheMouse)
{
    THeaderFixture F;
    // Without hot tracking or themes nothing is hot.
    F.Move(100, false);
    EXPECT_EQ(F.C->HotSection(), -1);
    F.H->SetHotTrack(true);
    EXPECT_EQ(F.C->Style() & HDS_HOTTRACK, unsigned(HDS_HOTTRACK));
    struct TCase {
        int X, Hot;
    };
    // Spans are strict: on a section's left edge no section is hot.
    for (const TCase& C : {TCase{100, 1}, TCase{80, -1}, TCase{81, 1}, TCase{79, 0}, TCase{250, -1}, TCase{1, 0}}) {
        F.Move(C.X, false);
        EXPECT_EQ(F.C->HotSection(), C.Hot) << C.X;
    }
    // A leave while the cursor is still over the header is ignored; a real
    // one clears the hot section.
    QCursor::setPos(F.C->mapToGlobal(QPoint(5, 5)));
    F.C->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(F.C->HotSection(), 0);
    QCursor::setPos(F.C->mapToGlobal(QPoint(5, 500)));
    F.C->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(F.C->HotSection(), -1);
}

// ---------------------------------------------------------------- the tree

TEST(nvTreeHeader, DisplayFieldsFromTheSections)
{
    THeaderFixture F;
    for (int Lines : {0, 1, 3}) {
        SCOPED_TRACE(Lines);
        F.Tree->Fields.Clear();
        for (int I = 0; I < Lines; ++I)
            F.Tree->Fields.Add("old");
        const int Before = F.Tree->Invalidations;
        F.C->UpdateDisplayFields();
        ASSERT_EQ(F.Tree->Fields.Count(), Lines);
        for (int I = 0; I < Lines; ++I)
            EXPECT_EQ(F.Tree->Fields[I], "\"Company\"\t\"City\"\t\"Phone\"");
        EXPECT_GT(F.Tree->Invalidations, Before);
    }
    // The tree going away unlinks it.
    delete F.Tree;
    F.Tree = nullptr;
    EXPECT_EQ(F.C->TreeView(), nullptr);
    F.C->UpdateDisplayFields();
    F.Drag(20, 250); // a move without a tree
    EXPECT_EQ(SectionTexts(F.H->Sections()), "City/60,Phone/70,Name/80");
}

TEST(nvTreeHeader, PanelSizesItsControl)
{
    THeaderFixture F;
    int Resizes = 0;
    F.H->OnResize = [&Resizes](TObject*) { ++Resizes; };
    F.H->SetHeight(24);
    EXPECT_EQ(Resizes, 1);
    EXPECT_EQ(F.C->BoundsRect(), TRect(0, 0, 300, 24));
    // A control moved left by a scrolled tree keeps reaching the right edge.
    F.C->SetLeft(-30);
    F.H->SetHeight(22);
    EXPECT_EQ(F.C->BoundsRect(), TRect(-30, 0, 300, 22));
}

// ---------------------------------------------------------------- painting

TEST(nvTreeHeader, PaintsSectionsTextImagesHotAndRightBorder)
{
    THeaderFixture F;
    std::vector<String> Draws;
    F.H->OnDrawSection = [&Draws](TnvTreeHeader*, TnvTreeHeaderSection* S, const TRect& R, bool Pressed) {
        Draws.push_back(S->Text() + " " + std::to_string(R.Left) + "-" + std::to_string(R.Right) +
                        (Pressed ? " pressed" : ""));
    };
    TImageList Images;
    Images.SetWidth(8);
    Images.SetHeight(8);
    QImage Red(8, 8, QImage::Format_ARGB32);
    Red.fill(QColor(255, 0, 0));
    Images.AddImage32(Red);
    F.H->SetImages(&Images);
    F.H->Sections()->Items(0)->SetImageIndex(0);
    F.H->Sections()->Items(2)->SetAlignment(taRightJustify);
    QImage Img = F.Shot();
    DumpPng(Img, "treeheader-plain");
    EXPECT_EQ(Draws, (std::vector<String>{"Name 0-80", "City 80-140", "Phone 140-210"}));
    // Name: the image at left + 4 (vertically centred), the text after it.
    EXPECT_EQ(Pixel(Img, 4, 10), 0xFF0000u);
    EXPECT_EQ(Pixel(Img, 11, 10), 0xFF0000u);
    auto HasColor = [&Img](int X0, int X1, QRgb Color) {
        for (int X = X0; X < X1; ++X)
            for (int Y = 2; Y < 18; ++Y)
                if (Pixel(Img, X, Y) == Color)
                    return true;
        return false;
    };
    EXPECT_TRUE(HasColor(13, 40, Rgb(clWindowText)));
    EXPECT_FALSE(HasColor(2, 12, Rgb(clWindowText))) << "nothing of the text over the image";
    // Phone is right-aligned: its text ends 4 pixels in from its right edge.
    EXPECT_TRUE(HasColor(180, 206, Rgb(clWindowText)));
    EXPECT_FALSE(HasColor(143, 160, Rgb(clWindowText)));
    // The right border line (thcoRightBorder) in the canvas pen.
    EXPECT_EQ(Pixel(Img, 299, 10), Rgb(clBlack));
    F.H->SetOptions(TnvTreeHeaderOptions(thcoAllowColumnMove));
    EXPECT_EQ(Pixel(F.Shot(), 299, 10), Rgb(clBtnFace));

    // Pressed: the request says so and the text moves one pixel.
    Draws.clear();
    F.Press(100);
    Img = F.Shot();
    DumpPng(Img, "treeheader-pressed");
    EXPECT_NE(std::find(Draws.begin(), Draws.end(), "City 80-140 pressed"), Draws.end());
    F.Release(100);

    // Hot tracking: the hot section's text is blue, the others are not.
    F.H->SetHotTrack(true);
    F.Move(100, false);
    Img = F.Shot();
    DumpPng(Img, "treeheader-hot");
    EXPECT_TRUE(HasColor(82, 138, Rgb(clBlue)));
    EXPECT_FALSE(HasColor(2, 78, Rgb(clBlue)));
    EXPECT_FALSE(HasColor(82, 138, Rgb(clWindowText)));
}

TEST(nvTreeHeader, ThemedLookFollowsDisableThemes)
{
    THeaderFixture F;
    SetThemeServicesEnabled(true);
    struct TRestore {
        ~TRestore() { SetThemeServicesEnabled(false); }
    } Restore;
    const QImage Themed = F.Shot();
    DumpPng(Themed, "treeheader-themed");
    EXPECT_TRUE(F.C->Themed());
    // With themes a section becomes hot without HotTrack, and stays black.
    F.Move(100, false);
    EXPECT_EQ(F.C->HotSection(), 1);
    F.H->SetDisableThemes(true);
    const QImage Classic = F.Shot();
    EXPECT_FALSE(F.C->Themed());
    // The classic look: the raised edge's highlight at each section's left.
    EXPECT_EQ(Pixel(Classic, 80, 5), Rgb(clBtnHighlight));
    EXPECT_NE(Themed, Classic);
    // With the panel's switch set, the mouse no longer makes sections hot.
    F.Move(20, false);
    EXPECT_EQ(F.C->HotSection(), 1);
}

// ---------------------------------------------------------------- stored form

TEST(nvTreeHeader, StoredFormRoundTrip)
{
    InitApplication();
    const String Text = "object HeaderForm: THeaderTestForm\n"
                        "  ClientWidth = 320\n"
                        "  ClientHeight = 120\n"
                        "  object Images1: TImageList\n"
                        "  end\n"
                        "  object Header1: TnvTreeHeader\n"
                        "    Left = 0\n"
                        "    Top = 0\n"
                        "    Width = 320\n"
                        "    Height = 19\n"
                        "    Sections = <\n"
                        "      item\n"
                        "        Text = 'Company'\n"
                        "        Width = 120\n"
                        "        FieldName = 'Company'\n"
                        "      end\n"
                        "      item\n"
                        "        Alignment = taRightJustify\n"
                        "        AllowClick = False\n"
                        "        MaxWidth = 150\n"
                        "        MinWidth = 40\n"
                        "        Style = hsOwnerDraw\n"
                        "        Text = 'Paid'\n"
                        "        Width = 90\n"
                        "        FieldName = 'AmountPaid'\n"
                        "        ImageIndex = 2\n"
                        "        ImageAlignment = taRightJustify\n"
                        "      end\n"
                        "      item\n"
                        "      end>\n"
                        "    HotTrack = True\n"
                        "    Images = Images1\n"
                        "    Options = [thcoAllowColumnMove, thcoRightBorder]\n"
                        "    DisableThemes = True\n"
                        "    OnSectionClick = HeaderSectionClick\n"
                        "  end\n"
                        "end\n";
    auto Check = [](THeaderTestForm& Form) {
        auto* H = dynamic_cast<TnvTreeHeader*>(Form.FindComponent("Header1"));
        ASSERT_NE(H, nullptr);
        EXPECT_EQ(H->Align(), alTop);
        EXPECT_EQ(H->Height(), 19);
        EXPECT_TRUE(H->HotTrack());
        EXPECT_TRUE(H->DisableThemes());
        EXPECT_EQ(H->Options(), TnvTreeHeaderOptions(thcoAllowColumnMove) | thcoRightBorder);
        EXPECT_EQ(H->Images(), Form.FindComponent("Images1"));
        ASSERT_EQ(H->Sections()->Count(), 3);
        TnvTreeHeaderSection* Paid = H->Sections()->Items(1);
        EXPECT_EQ(Paid->Alignment(), taRightJustify);
        EXPECT_FALSE(Paid->AllowClick());
        EXPECT_EQ(Paid->MaxWidth(), 150);
        EXPECT_EQ(Paid->MinWidth(), 40);
        EXPECT_EQ(Paid->Style(), hsOwnerDraw);
        EXPECT_EQ(Paid->Width(), 90);
        EXPECT_EQ(Paid->FieldName(), "AmountPaid");
        EXPECT_EQ(Paid->ImageIndex(), 2);
        EXPECT_EQ(Paid->ImageAlignment(), taRightJustify);
        EXPECT_EQ(H->Sections()->Items(2)->Width(), 50);
        // The platform control has the sections and the style of the options.
        TnvTreeHeaderControl* C = H->HeaderControl();
        EXPECT_EQ(PlatformTexts(C), "Company/120,Paid/90,/50");
        EXPECT_EQ(C->Style(), HDS_BUTTONS | HDS_HOTTRACK | HDS_DRAGDROP);
        EXPECT_EQ(C->BoundsRect(), TRect(0, 0, 320, 19));
        // The bound handler runs on a click.
        H->SectionClick(H->Sections()->Items(0));
        EXPECT_EQ(Form.Calls, (std::vector<String>{"click Company"}));
    };
    THeaderTestForm First;
    ReadComponentFromText(Text, &First);
    Check(First);
    const String Written = ComponentToText(&First);
    for (const char* Line : {"Options = [thcoAllowColumnMove, thcoRightBorder]", "HotTrack = True",
                             "DisableThemes = True", "OnSectionClick = HeaderSectionClick", "Images = Images1",
                             "Style = hsOwnerDraw", "ImageAlignment = taRightJustify", "FieldName = 'AmountPaid'"})
        EXPECT_NE(Written.find(Line), String::npos) << Line << "\n" << Written;
    // Defaults are not stored, nor is the control the panel owns.
    for (const char* Absent : {"    Align = ", "AllowClick = True", "Width = 50\n", "MaxWidth = 10000",
                               "TnvTreeHeaderControl", "ImageIndex = -1"})
        EXPECT_EQ(Written.find(Absent), String::npos) << Absent << "\n" << Written;
    THeaderTestForm Second;
    ReadComponentFromText(Written, &Second);
    Check(Second);
    EXPECT_EQ(ComponentToText(&Second), Written);
}

TEST(nvTreeHeader, BadStoredValueNamesTheProperty)
{
    InitApplication();
    const String Text = "object HeaderForm: THeaderTestForm\n"
                        "  object Header1: TnvTreeHeader\n"
                        "    Sections = <\n"
                        "      item\n"
                        "        Style = hsPicture\n"
                        "      end>\n"
                        "  end\n"
                        "end\n";
    THeaderTestForm Form;
    try {
        ReadComponentFromText(Text, &Form);
        ADD_FAILURE() << "read";
    } catch (const Exception& E) {
        EXPECT_NE(E.Message().find("Header1.Sections"), String::npos) << E.Message();
        EXPECT_NE(E.Message().find("hsPicture"), String::npos) << E.Message();
    }
    EXPECT_EQ(Form.FindComponent("Header1"), nullptr);
}

} // namespace
