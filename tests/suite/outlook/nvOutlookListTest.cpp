// The outlook list: item sizes, the scroll geometry (bottom item, scroll
// buttons, scroll steps), hot tracking, clicks and selection, the scroll
// button's repeat timer, hints and the painted picture.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "FormStream.h"
#include "Forms.h"
#include "ImageList.h"
#include "StdCtrls.h"
#include "TestDump.h"
#include "nvOutlookList.h"

namespace {

using SB = TnvOutlookScrollButton;

// A list whose protected mouse handling and painting the tests can call.
class TTestOutlookList : public TnvOutlookList {
public:
    explicit TTestOutlookList(TComponent* AOwner = nullptr) : TnvOutlookList(AOwner) {}
    using TnvCustomOutlookList::MouseDown;
    using TnvCustomOutlookList::MouseMove;
    using TnvCustomOutlookList::MouseUp;
    QImage Render()
    {
        QImage Image(Width(), Height(), QImage::Format_ARGB32_Premultiplied);
        Image.fill(Qt::transparent);
        PaintControl(Image);
        return Image;
    }
    void Move(TPoint P) { MouseMove(TShiftState(), P.X, P.Y); }
    void Down(TPoint P) { MouseDown(mbLeft, TShiftState(), P.X, P.Y); }
    void Up(TPoint P) { MouseUp(mbLeft, TShiftState(), P.X, P.Y); }
    void Click(TPoint P)
    {
        Move(P);
        Down(P);
        Up(P);
    }
};

QRgb Rgb(const QImage& I, int X, int Y)
{
    return I.pixel(X, Y) & 0xFFFFFFu;
}

QRgb Sys(TColor C)
{
    return ColorToQRgb(C) & 0xFFFFFFu;
}

TPoint Center(const TRect& R)
{
    return TPoint(R.Left + R.Width() / 2, R.Top + R.Height() / 2);
}

// A form with a list of N items "Item 1" ... (all the same size) and, on
// request, 32 x 32 images in solid colours.
struct TListFixture {
    TForm Form;
    TTestOutlookList* List;
    std::unique_ptr<TCustomImageList> Images;
    std::vector<String> Log;

    explicit TListFixture(int N, int W = 120, int H = 300, bool WithImages = true)
    {
        InitApplication();
        Form.SetBounds(0, 0, 400, 400);
        List = new TTestOutlookList(&Form);
        List->SetName("List");
        List->SetParent(&Form);
        List->SetBorderStyle(bsNone);
        List->SetBounds(0, 0, W, H);
        if (WithImages) {
            Images.reset(TCustomImageList::CreateSize(32, 32));
            for (QRgb C : {qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(0, 0, 255)}) {
                QImage I(32, 32, QImage::Format_ARGB32);
                I.fill(C);
                Images->AddImage32(I);
            }
            List->SetImages(Images.get());
        }
        for (int I = 0; I < N; ++I) {
            TnvOutlookListItem* It = List->Items()->Add();
            It->SetText("Item " + std::to_string(I + 1));
            It->SetImageIndex(I % 3);
        }
        List->OnItemClick = [this](TnvCustomOutlookList*, TnvOutlookListItem* It) { Log.push_back("click:" + It->Text()); };
        List->OnItemChange = [this](TnvCustomOutlookList*, TnvOutlookListItem* It) {
            Log.push_back("change:" + It->Text());
        };
    }
    TnvOutlookListItem* Item(int I) const { return List->Items()->Items(I); }
    int Extent() const { return Item(0)->ItemExtent(); }
    int Index(TnvOutlookListItem* It) const { return It ? It->Index() : -1; }
};

TEST(nvOutlookList, DefaultsAndSpacing)
{
    TListFixture F(0);
    EXPECT_EQ(F.List->BorderStyle(), bsNone); // set by the fixture
    TnvOutlookList Fresh;
    EXPECT_EQ(Fresh.BorderStyle(), bsSingle);
    EXPECT_EQ(Fresh.Color(), clBtnShadow);
    EXPECT_EQ(Fresh.Font()->Color(), clWhite);
    EXPECT_EQ(Fresh.ItemHotTrackColor(), clBtnShadow);
    EXPECT_EQ(Fresh.ItemLayout(), blGlyphTop);
    EXPECT_EQ(Fresh.ScrollInterval(), 250);
    EXPECT_EQ(Fresh.TopItem(), nullptr);
    EXPECT_TRUE(Fresh.ItemHiliteMode()); // no images
    EXPECT_FALSE(Fresh.ControlStyle().testFlag(csCaptureMouse));

    struct Case {
        int Set, Read;
    } Cases[] = {{15, 16}, {7, 8}, {20, 20}, {0, 0}, {1, 2}};
    for (const Case& C : Cases) {
        Fresh.SetItemSpacing(C.Set);
        EXPECT_EQ(Fresh.ItemSpacing(), C.Read) << C.Set;
    }
}

TEST(nvOutlookList, ItemExtentFollowsLayoutAndImages)
{
    TListFixture F(1);
    TnvOutlookListItem* It = F.Item(0);
    const TSize Text = F.List->OffscreenBitmap()->Canvas()->TextExtent(It->Text());
    ASSERT_GT(Text.cx, 0);
    struct Case {
        TnvLayout Layout;
        TButtonLayout ItemLayout;
        bool Images;
        int ItemsWidth;
        int Expected;
    } Cases[] = {
        {loVertical, blGlyphTop, true, 0, Text.cy + 20 + 32 + 10},
        {loVertical, blGlyphBottom, true, 0, Text.cy + 20 + 32 + 10},
        {loVertical, blGlyphLeft, true, 0, Text.cy + 20},
        {loVertical, blGlyphTop, false, 0, Text.cy + 20},
        {loHorizontal, blGlyphTop, true, 0, Text.cx + 20},
        {loHorizontal, blGlyphLeft, true, 0, Text.cx + 20 + 32 + 0 + 10 + 8},
        {loHorizontal, blGlyphTop, true, 70, 70},
        {loVertical, blGlyphTop, true, 70, Text.cy + 20 + 32 + 10},
    };
    for (const Case& C : Cases) {
        F.List->SetLayout(C.Layout);
        F.List->SetItemLayout(C.ItemLayout);
        F.List->SetImages(C.Images ? F.Images.get() : nullptr);
        F.List->SetItemsWidth(C.ItemsWidth);
        EXPECT_EQ(It->ItemExtent(), C.Expected) << int(C.Layout) << "/" << int(C.ItemLayout) << "/" << C.Images;
    }
}

// Bottom item and the scroll buttons for client heights given in item
// extents (E) and half extents.
TEST(nvOutlookList, ScrollGeometry)
{
    struct Case {
        const char* Name;
        int Items;
        int Hidden;     // an invisible item's index, or -1
        int Top;        // index of the top item
        int Eighths;    // client height in eighths of an extent
        int Plus;       // pixels added to the height
        int Bottom;     // expected bottom item index
        bool Up, Down;  // CanScroll
    } Cases[] = {
        {"all fit", 4, -1, 0, 32, 0, 3, false, false},
        {"last item cut", 4, -1, 0, 24, 0, 3, false, true},
        {"last item more than half cut", 4, -1, 0, 28, -1, 3, false, true},
        {"last item half cut", 4, -1, 0, 28, 0, 3, false, false},
        {"last item less than half cut", 4, -1, 0, 28, 1, 3, false, false},
        {"scrolled down by one", 4, -1, 1, 24, 0, 3, true, false},
        {"scrolled, room left", 6, -1, 2, 16, 0, 4, true, true},
        {"hidden item skipped", 5, 2, 0, 24, 0, 4, false, true},
        {"hidden first item", 4, 0, 1, 40, 0, 3, false, false},
    };
    for (const Case& C : Cases) {
        TListFixture F(C.Items);
        const int E = F.Extent();
        F.List->SetHeight(E * C.Eighths / 8 + C.Plus);
        if (C.Hidden >= 0)
            F.Item(C.Hidden)->SetVisible(false);
        F.List->SetTopItem(F.Item(C.Top));
        EXPECT_EQ(F.Index(F.List->BottomItem()), C.Bottom) << C.Name;
        EXPECT_EQ(F.List->CanScroll(SB::Up), C.Up) << C.Name;
        EXPECT_EQ(F.List->CanScroll(SB::Down), C.Down) << C.Name;
        EXPECT_FALSE(F.List->CanScroll(SB::None)) << C.Name;
    }
}

TEST(nvOutlookList, ScrollButtonRectangles)
{
    TListFixture F(1, 120, 300);
    EXPECT_EQ(F.List->ScrollButtonRect(SB::Up), TRect(95, 10, 110, 25));
    EXPECT_EQ(F.List->ScrollButtonRect(SB::Down), TRect(95, 275, 110, 290));
    F.List->SetLayout(loHorizontal);
    F.List->SetBounds(0, 0, 300, 80);
    EXPECT_EQ(F.List->ScrollButtonRect(SB::Up), TRect(10, 10, 25, 25));
    EXPECT_EQ(F.List->ScrollButtonRect(SB::Down), TRect(275, 10, 290, 25));
}

TEST(nvOutlookList, ScrollStepsAndHiddenTopItem)
{
    TListFixture F(5);
    F.List->SetHeight(F.Extent() * 2);
    F.Item(1)->SetVisible(false);
    EXPECT_EQ(F.List->TopItem(), F.Item(0));
    struct Step {
        SB Button;
        int Top;
    } Steps[] = {{SB::Down, 2}, {SB::Down, 3}, {SB::Down, 4}, {SB::Down, 4}, {SB::Up, 3},
                 {SB::Up, 2},   {SB::Up, 0},   {SB::Up, 0}};
    for (const Step& S : Steps) {
        F.List->ScrollStep(S.Button);
        EXPECT_EQ(F.Index(F.List->TopItem()), S.Top);
    }
    F.List->SetTopItem(F.Item(2));
    F.Item(2)->SetVisible(false);
    EXPECT_EQ(F.List->TopItem(), F.Item(3));
    // Freeing the top item leaves the first visible item on top.
    delete F.Item(3);
    EXPECT_EQ(F.List->TopItem(), F.Item(0));
}

TEST(nvOutlookList, ItemRectanglesInView)
{
    TListFixture F(3);
    const int E = F.Extent();
    F.List->UpdateItemRects();
    for (int I = 0; I < 3; ++I) {
        const TRect Slot = F.Item(I)->CalcItemRect(TnvOutlookItemRectMode::Slot);
        EXPECT_EQ(Slot, TRect(0, I * E, 120, (I + 1) * E)) << I;
        // Icon mode: the item rectangle is the glyph's, 32 + 2 * 2 wide,
        // centred in the slot.
        const TRect G = F.Item(I)->ItemRect();
        EXPECT_EQ(G.Width(), 36) << I;
        EXPECT_EQ(G.Height(), 36) << I;
        EXPECT_EQ(G.Left, 60 - 18) << I;
        EXPECT_TRUE(G.Top >= Slot.Top && G.Bottom <= Slot.Bottom) << I;
    }
    F.List->SetHotTrackStyle(hsItemHilite);
    F.List->UpdateItemRects();
    EXPECT_EQ(F.Item(1)->ItemRect(), TRect(0, E, 120, 2 * E));
    // Scrolled out of view: empty.
    F.List->SetTopItem(F.Item(1));
    EXPECT_TRUE(F.Item(0)->CalcItemRect(TnvOutlookItemRectMode::Slot).IsEmpty());
    EXPECT_EQ(F.Item(1)->CalcItemRect(TnvOutlookItemRectMode::Slot), TRect(0, 0, 120, E));
}

TEST(nvOutlookList, HotTrackingFollowsTheMouse)
{
    TListFixture F(3);
    F.List->UpdateItemRects();
    const TPoint In1 = Center(F.Item(1)->ItemRect());
    F.List->Move(In1);
    EXPECT_TRUE(F.Item(1)->Hot());
    EXPECT_FALSE(F.Item(0)->Hot());
    EXPECT_TRUE(F.List->MouseCapture());
    F.List->Move(Center(F.Item(0)->ItemRect()));
    EXPECT_FALSE(F.Item(1)->Hot());
    EXPECT_TRUE(F.Item(0)->Hot());
    // Outside every icon (the slot's corner): nothing hot, capture released.
    F.List->Move(TPoint(1, 1));
    EXPECT_FALSE(F.Item(0)->Hot());
    EXPECT_FALSE(F.List->MouseCapture());
    // Outside the control.
    F.List->Move(In1);
    F.List->Move(TPoint(In1.X, F.List->Height() + 5));
    EXPECT_FALSE(F.Item(1)->Hot());
    // Pressed is cleared as the item stops being hot.
    F.List->Move(In1);
    F.List->Down(In1);
    EXPECT_TRUE(F.Item(1)->Pressed());
    EXPECT_TRUE(F.Item(1)->IsDown());
    F.List->Move(TPoint(1, 1));
    EXPECT_FALSE(F.Item(1)->Pressed());
    F.List->Up(TPoint(1, 1));
    EXPECT_TRUE(F.Log.empty());
}

TEST(nvOutlookList, ClicksAndSelection)
{
    TListFixture F(3);
    F.List->UpdateItemRects();
    auto ItemClicks = std::make_shared<std::vector<String>>();
    F.Item(2)->OnClick = [ItemClicks](TnvCustomOutlookList*, TnvOutlookListItem* It) {
        ItemClicks->push_back(It->Text());
    };
    // csClick: clicks are reported, nothing stays selected.
    F.Item(0)->SetSelected(true);
    EXPECT_FALSE(F.Item(0)->Selected());
    F.List->Click(Center(F.Item(2)->ItemRect()));
    EXPECT_EQ(F.Log, (std::vector<String>{"click:Item 3"}));
    EXPECT_EQ(*ItemClicks, (std::vector<String>{"Item 3"}));
    EXPECT_EQ(F.List->SelectedItem(), nullptr);

    // csSelect: the change comes before the click; the previous one is deselected.
    F.Item(0)->SetSelected(false);
    F.List->SetClickStyle(csSelect);
    F.Log.clear();
    F.List->Click(Center(F.Item(1)->ItemRect()));
    F.List->Click(Center(F.Item(2)->ItemRect()));
    F.List->Click(Center(F.Item(2)->ItemRect()));
    EXPECT_EQ(F.Log, (std::vector<String>{"change:Item 2", "click:Item 2", "change:Item 3", "click:Item 3",
                                          "click:Item 3"}));
    EXPECT_FALSE(F.Item(1)->Selected());
    EXPECT_TRUE(F.Item(2)->Selected());
    EXPECT_EQ(F.List->SelectedItem(), F.Item(2));

    // Disabled items and releases outside the pressed item do nothing.
    F.Log.clear();
    F.Item(0)->SetEnabled(false);
    F.List->Click(Center(F.Item(0)->ItemRect()));
    F.List->Move(Center(F.Item(1)->ItemRect()));
    F.List->Down(Center(F.Item(1)->ItemRect()));
    F.List->Up(TPoint(1, 1));
    EXPECT_TRUE(F.Log.empty());
}

TEST(nvOutlookList, ScrollButtonRepeatsWhileHeld)
{
    TListFixture F(6);
    F.List->SetHeight(F.Extent() * 2);
    const TPoint DownBtn = Center(F.List->ScrollButtonRect(SB::Down));
    F.List->Move(DownBtn);
    EXPECT_EQ(F.List->HotScrollButton(), SB::Down);
    F.List->Down(DownBtn);
    EXPECT_EQ(F.List->PressedScrollButton(), SB::Down);
    EXPECT_TRUE(F.List->TimerActive(100));
    EXPECT_TRUE(F.List->MouseCapture());
    F.List->Perform(WM_TIMER, 100);
    F.List->Perform(WM_TIMER, 100);
    EXPECT_EQ(F.Index(F.List->TopItem()), 2);
    // Ticks with the pointer off the button do not scroll.
    F.List->Move(TPoint(2, 2));
    F.List->Perform(WM_TIMER, 100);
    EXPECT_EQ(F.Index(F.List->TopItem()), 2);
    F.List->Move(DownBtn);
    F.List->Up(DownBtn); // the release scrolls once more
    EXPECT_EQ(F.Index(F.List->TopItem()), 3);
    EXPECT_FALSE(F.List->TimerActive(100));
    EXPECT_FALSE(F.List->MouseCapture());
    EXPECT_EQ(F.List->PressedScrollButton(), SB::None);
    // The up button works the same way; it cannot scroll past the first item.
    const TPoint UpBtn = Center(F.List->ScrollButtonRect(SB::Up));
    for (int I = 0; I < 5; ++I)
        F.List->Click(UpBtn);
    EXPECT_EQ(F.Index(F.List->TopItem()), 0);
    EXPECT_FALSE(F.List->CanScroll(SB::Up));
    F.List->Down(UpBtn);
    EXPECT_FALSE(F.List->TimerActive(100));
    F.List->Up(UpBtn);
}

TEST(nvOutlookList, RefusesChildControls)
{
    TListFixture F(1);
    auto* Label = new TLabel(&F.Form);
    try {
        Label->SetParent(F.List);
        FAIL() << "no exception";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(String(E.Message()),
                  "TnvCustomOutlookList does not accept child controls.  Delete TnvCustomOutlookList and/or set the "
                  "options property of the TnvControlBar, \"cboAutoCreateOutlookList\", to False");
    }
    EXPECT_EQ(F.List->ControlCount(), 0);
    EXPECT_EQ(Label->Parent(), nullptr);
}

TEST(nvOutlookList, FreeingTheImageListClearsImages)
{
    TListFixture F(1);
    EXPECT_FALSE(F.List->ItemHiliteMode());
    F.Images.reset();
    EXPECT_EQ(F.List->Images(), nullptr);
    EXPECT_TRUE(F.List->ItemHiliteMode());
}

TEST(nvOutlookList, HintShowsOnTheSecondTick)
{
    TListFixture F(2);
    F.List->UpdateItemRects();
    F.Item(0)->SetHint("First hint");
    const TPoint P = Center(F.Item(0)->ItemRect());
    F.List->Move(P);
    ASSERT_NE(F.List->HintWindow(), nullptr);
    EXPECT_EQ(F.List->HintWindow()->Item, F.Item(0));
    EXPECT_TRUE(F.List->TimerActive(101));
    const TRect HR = F.List->HintWindow()->HintRect;
    const TPoint Origin = F.List->ClientToScreen(TPoint(F.Item(0)->ItemRect().Left, F.Item(0)->ItemRect().Top));
    EXPECT_EQ(HR.Left, Origin.X);
    EXPECT_EQ(HR.Top, Origin.Y);
    F.List->Perform(WM_TIMER, 101);
    EXPECT_TRUE(F.List->HintWindow()->ShownHint.empty());
    F.List->Perform(WM_TIMER, 101);
    EXPECT_EQ(F.List->HintWindow()->ShownHint, "First hint");
    // Moving to an item without a hint hides it.
    F.List->Move(Center(F.Item(1)->ItemRect()));
    EXPECT_EQ(F.List->HintWindow(), nullptr);
    EXPECT_FALSE(F.List->TimerActive(101));
}

TEST(nvOutlookList, StoredFormRoundTrip)
{
    String Text;
    {
        TListFixture F(2, 120, 300, false);
        F.List->SetItemSpacing(12);
        F.List->SetClickStyle(csSelect);
        F.List->SetLayout(loHorizontal);
        F.List->SetItemLayout(blGlyphLeft);
        F.Item(1)->SetHint("Second");
        F.Item(1)->SetTextAlignment(taLeftJustify);
        F.Item(1)->SetVisible(false);
        F.Item(0)->SetSeparation(4);
        Text = ComponentToText(&F.Form);
    }
    EXPECT_NE(Text.find("object List: TnvOutlookList"), String::npos) << Text;
    TForm Form;
    ReadComponentFromText(Text, &Form);
    auto* L = dynamic_cast<TnvOutlookList*>(Form.FindComponent("List"));
    ASSERT_NE(L, nullptr);
    EXPECT_EQ(L->ItemSpacing(), 12);
    EXPECT_EQ(L->ClickStyle(), csSelect);
    EXPECT_EQ(L->Layout(), loHorizontal);
    EXPECT_EQ(L->ItemLayout(), blGlyphLeft);
    EXPECT_EQ(L->BorderStyle(), bsNone);
    ASSERT_EQ(L->Items()->Count(), 2);
    EXPECT_EQ(L->Items()->Items(0)->Text(), "Item 1");
    EXPECT_EQ(L->Items()->Items(0)->Separation(), 4);
    EXPECT_EQ(L->Items()->Items(1)->Hint(), "Second");
    EXPECT_EQ(L->Items()->Items(1)->TextAlignment(), taLeftJustify);
    EXPECT_FALSE(L->Items()->Items(1)->Visible());
    EXPECT_EQ(L->Items()->Items(1)->ImageIndex(), 1);
}

TEST(nvOutlookList, HorizontalLayout)
{
    TListFixture F(4, 0, 100);
    F.List->SetLayout(loHorizontal);
    F.List->SetItemsWidth(60);
    F.List->SetWidth(150);
    EXPECT_EQ(F.Extent(), 60); // ItemsWidth replaces the whole width
    EXPECT_EQ(F.Index(F.List->BottomItem()), 2);
    EXPECT_TRUE(F.List->CanScroll(SB::Down)); // item 2 is more than half cut off
    EXPECT_EQ(F.Item(1)->CalcItemRect(TnvOutlookItemRectMode::Slot), TRect(60, 0, 120, 100));
    F.List->Render();
    // Icon mode, horizontal: the item rectangle covers glyph and caption.
    const TRect G = F.Item(0)->CalcItemRect(TnvOutlookItemRectMode::Glyph);
    const TRect T = F.Item(0)->CalcItemRect(TnvOutlookItemRectMode::Text);
    TRect U;
    UnionRect(U, G, T);
    EXPECT_EQ(F.Item(0)->ItemRect(), U);
    F.List->ScrollStep(SB::Down);
    F.List->ScrollStep(SB::Down);
    EXPECT_EQ(F.Index(F.List->TopItem()), 2);
    EXPECT_FALSE(F.List->CanScroll(SB::Down));
    const QImage Img = F.List->Render();
    // The left arrow of the up button: its tip column is 2 pixels high.
    const TRect Up = F.List->ScrollButtonRect(SB::Up);
    EXPECT_EQ(Rgb(Img, Up.Left + 5, Up.Top + 3 + 4), 0u);
    EXPECT_NE(Rgb(Img, Up.Left + 5, Up.Top + 3 + 1), 0u);
    EXPECT_EQ(Rgb(Img, Up.Left + 5 + 3, Up.Top + 3 + 1), 0u);
}

// ---------------------------------------------------------------- painting

TEST(nvOutlookList, PaintsItemsFramesAndScrollButtons)
{
    TListFixture F(4, 120, 0);
    const int E = F.Extent();
    F.List->SetHeight(E * 2 + E / 4);
    F.List->SetItemHighlightColor(clWhite);
    F.List->SetItemShadowColor(clBlack);
    F.List->Render();
    F.List->Move(Center(F.Item(1)->ItemRect()));
    const QImage Img = F.List->Render();
    DumpPng(Img, "nvOutlookList-hot");
    const QRgb Back = Sys(clBtnShadow);

    // Images centred in their glyph rectangles: item 0 red, item 1 green.
    const TRect G0 = F.Item(0)->CalcItemRect(TnvOutlookItemRectMode::Glyph);
    const TRect G1 = F.Item(1)->CalcItemRect(TnvOutlookItemRectMode::Glyph);
    EXPECT_EQ(Rgb(Img, Center(G0).X, Center(G0).Y), qRgb(255, 0, 0) & 0xFFFFFFu);
    EXPECT_EQ(Rgb(Img, Center(G1).X, Center(G1).Y), qRgb(0, 128, 0) & 0xFFFFFFu);
    // Item 0 is not hot: no frame around its glyph.
    EXPECT_EQ(Rgb(Img, G0.Left, G0.Top), Back);
    // Item 1 is hot: raised frame (light top-left, dark bottom-right).
    EXPECT_EQ(Rgb(Img, G1.Left, G1.Top + 5), Sys(clWhite));
    EXPECT_EQ(Rgb(Img, G1.Left + 5, G1.Top), Sys(clWhite));
    EXPECT_EQ(Rgb(Img, G1.Right - 1, G1.Top + 5), Sys(clBlack));
    EXPECT_EQ(Rgb(Img, G1.Left + 5, G1.Bottom - 1), Sys(clBlack));
    // The down button is drawn (the list can scroll down), the up one not.
    const TRect Dn = F.List->ScrollButtonRect(SB::Down);
    const TRect Up = F.List->ScrollButtonRect(SB::Up);
    EXPECT_NE(Rgb(Img, Dn.Left + 1, Dn.Top + 1), Back);
    // The arrow's tip row (down arrow: row 3 from the top, 2 pixels wide).
    EXPECT_EQ(Rgb(Img, Dn.Left + 2 + 4, Dn.Top + 5 + 3), 0u);
    EXPECT_EQ(Rgb(Img, Dn.Left + 2 + 1, Dn.Top + 5), 0u);
    EXPECT_NE(Rgb(Img, Dn.Left + 2 + 1, Dn.Top + 5 + 3), 0u);
    for (int X = Up.Left; X < Up.Right; ++X)
        for (int Y = Up.Top; Y < Up.Bottom; ++Y)
            ASSERT_EQ(Rgb(Img, X, Y), Back) << X << "," << Y;

    // Pressed: sunken frame.
    F.List->Down(Center(F.Item(1)->ItemRect()));
    const QImage Pressed = F.List->Render();
    EXPECT_EQ(Rgb(Pressed, G1.Left, G1.Top + 5), Sys(clBlack));
    EXPECT_EQ(Rgb(Pressed, G1.Right - 1, G1.Top + 5), Sys(clWhite));
    F.List->Up(Center(F.Item(1)->ItemRect()));

    // Scrolled to the end: the up button appears, the down one goes.
    F.List->SetTopItem(F.Item(2));
    const QImage End = F.List->Render();
    EXPECT_EQ(Rgb(End, Dn.Left + 1, Dn.Top + 1), Back);
    EXPECT_NE(Rgb(End, Up.Left + 1, Up.Top + 1), Back);
    EXPECT_EQ(Rgb(End, Up.Left + 2 + 4, Up.Top + 5), 0u);
}

TEST(nvOutlookList, SelectedItemIsDitheredAndSunken)
{
    TListFixture F(2);
    F.List->SetClickStyle(csSelect);
    F.List->SetHotTrackStyle(hsItemHilite);
    F.List->SetItemHighlightColor(clWhite);
    F.List->SetItemShadowColor(clBlack);
    F.List->SetItemSelectedDitherColor(clYellow);
    F.List->Render();
    F.List->Click(Center(F.Item(0)->ItemRect()));
    F.List->Move(TPoint(F.List->Width() - 1, F.List->Height() - 1));
    ASSERT_TRUE(F.Item(0)->Selected());
    const QImage Img = F.List->Render();
    DumpPng(Img, "nvOutlookList-selected");
    const TRect H = F.Item(0)->ItemRect();
    EXPECT_EQ(H, F.Item(0)->SlotRect());
    // Sunken frame.
    EXPECT_EQ(Rgb(Img, H.Left, H.Top + 3), Sys(clBlack));
    EXPECT_EQ(Rgb(Img, H.Right - 1, H.Top + 3), Sys(clWhite));
    // Inside: a checker of the list colour and the dither colour.
    const QRgb A = Rgb(Img, H.Left + 3, H.Top + 3);
    const QRgb B = Rgb(Img, H.Left + 4, H.Top + 3);
    EXPECT_NE(A, B);
    EXPECT_TRUE((A == Sys(clYellow) && B == Sys(clBtnShadow)) || (B == Sys(clYellow) && A == Sys(clBtnShadow)));
    EXPECT_EQ(Rgb(Img, H.Left + 3, H.Top + 4), B);
    // The selected item's caption is black, the other one keeps the font's white.
    auto CountIn = [&Img](const TRect& R, QRgb C) {
        int N = 0;
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X)
                N += Rgb(Img, X, Y) == C;
        return N;
    };
    const TRect T0 = F.Item(0)->CalcItemRect(TnvOutlookItemRectMode::Text);
    const TRect T1 = F.Item(1)->CalcItemRect(TnvOutlookItemRectMode::Text);
    EXPECT_GT(CountIn(T0, 0), 5);
    EXPECT_EQ(CountIn(T0, Sys(clWhite)), 0);
    EXPECT_GT(CountIn(T1, Sys(clWhite)), 5);
    // The other item keeps the plain background.
    const TRect H1 = F.Item(1)->SlotRect();
    EXPECT_EQ(Rgb(Img, H1.Left + 3, H1.Top + 3), Sys(clBtnShadow));
}

TEST(nvOutlookList, DrawItemHandlerCanTakeOverDrawing)
{
    TListFixture F(2);
    F.List->SetItemHighlightColor(clWhite);
    int Calls = 0;
    F.List->OnDrawItem = [&Calls](TnvCustomOutlookList*, TnvOutlookListItem* It, TPoint& GlyphPos, TPoint&,
                                  bool& Default) {
        ++Calls;
        if (It->Index() == 0) {
            Default = false;
            GlyphPos.X += 10;
        }
    };
    F.List->Render();
    const TRect G = F.Item(0)->CalcItemRect(TnvOutlookItemRectMode::Glyph);
    // A point of the moved glyph that lies right of where it would have been.
    const TPoint Moved(G.Right + 8, G.Top + G.Height() / 2);
    ASSERT_TRUE(F.Item(0)->ItemRect().Contains(Moved));
    F.List->Move(Moved);
    const QImage Img = F.List->Render();
    EXPECT_EQ(Calls, 4);
    // Nothing drawn for item 0 (no image, no frame) ...
    for (int X = F.Item(0)->SlotRect().Left; X < F.Item(0)->SlotRect().Right; X += 3)
        for (int Y = F.Item(0)->SlotRect().Top; Y < F.Item(0)->SlotRect().Bottom; Y += 3)
            ASSERT_EQ(Rgb(Img, X, Y), Sys(clBtnShadow)) << X << "," << Y;
    // ... but it reacts to the mouse at its moved rectangle.
    EXPECT_TRUE(F.Item(0)->Hot());
    // Item 1 is drawn as usual.
    const TRect G1 = F.Item(1)->CalcItemRect(TnvOutlookItemRectMode::Glyph);
    EXPECT_EQ(Rgb(Img, Center(G1).X, Center(G1).Y), qRgb(0, 128, 0) & 0xFFFFFFu);
}

} // namespace
