// The platform's header control: items and their shown order, hit tests,
// layout, divider tracking and drag-to-reorder with real mouse events and the
// notifications they send, owner drawing and the painted faces.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include <functional>
#include <memory>

#include "Canvas.h"
#include "Forms.h"
#include "NativeHeader.h"
#include "TestDump.h"

namespace {

// A header that records its notifications ("code:item[:value]") and lets a
// test answer them.
class TRecordingHeader : public TNativeHeader {
public:
    explicit TRecordingHeader(TComponent* AOwner) : TNativeHeader(AOwner) {}
    std::vector<String> Log;
    std::function<intptr_t(NMHEADER&)> Answer;
    std::vector<DRAWITEMSTRUCT> Drawn;
    bool OwnerDraws = true;

    intptr_t Notify(NMHDR& H) override
    {
        auto& N = reinterpret_cast<NMHEADER&>(H);
        Log.push_back(Describe(N));
        return Answer ? Answer(N) : 0;
    }
    void WndProc(TMessage& M) override
    {
        if (M.Msg == WM_DRAWITEM) {
            auto* D = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam);
            Drawn.push_back(*D);
            if (OwnerDraws) {
                D->hDC->Brush()->SetColor(clYellow);
                TRect R = D->rcItem;
                D->hDC->FillRect(R);
                M.Result = 1;
            }
            return;
        }
        TNativeHeader::WndProc(M);
    }
    String TakeLog()
    {
        String S;
        for (const String& L : Log)
            S += (S.empty() ? "" : " ") + L;
        Log.clear();
        return S;
    }

private:
    static String WidthText(const NMHEADER& N)
    {
        return N.pitem->mask & HDI_WIDTH ? std::to_string(N.pitem->cxy) : String("-");
    }
    static String Describe(const NMHEADER& N)
    {
        const String Item = ":" + std::to_string(N.iItem);
        switch (N.hdr.code) {
        case HDN_ITEMCHANGING: return "changing" + Item + ":" + WidthText(N);
        case HDN_ITEMCHANGED: return "changed" + Item + ":" + WidthText(N);
        case HDN_ITEMCLICK: return "click" + Item;
        case HDN_ITEMDBLCLICK: return "dblclick" + Item;
        case HDN_DIVIDERDBLCLICK: return "divdblclick" + Item;
        case HDN_BEGINTRACK: return "begintrack" + Item + ":" + std::to_string(N.pitem->cxy);
        case HDN_TRACK: return "track" + Item + ":" + std::to_string(N.pitem->cxy);
        case HDN_ENDTRACK: return "endtrack" + Item + ":" + std::to_string(N.pitem->cxy);
        case HDN_BEGINDRAG: return "begindrag" + Item;
        case HDN_ENDDRAG: return "enddrag" + Item + ":" + std::to_string(N.pitem->iOrder);
        case NM_RELEASEDCAPTURE: return "released";
        case NM_RCLICK: return "rclick" + Item + ":" + std::to_string(N.iButton);
        default: return "code" + std::to_string(N.hdr.code);
        }
    }
};

struct THeader {
    std::unique_ptr<TForm> Form;
    TRecordingHeader* H;
    // Items "A", "B", "C" of widths 50, 60, 70.
    explicit THeader(unsigned Style = HDS_BUTTONS, std::vector<int> Widths = {50, 60, 70})
    {
        InitApplication();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 300, 100);
        H = new TRecordingHeader(Form.get());
        H->SetParent(Form.get());
        H->SetBounds(0, 0, 260, 17);
        H->SetStyle(Style);
        for (size_t I = 0; I < Widths.size(); ++I) {
            HDITEM Item;
            Item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
            Item.cxy = Widths[I];
            Item.pszText = String(1, static_cast<char>('A' + I));
            Item.fmt = HDF_LEFT;
            H->Perform(HDM_INSERTITEM, static_cast<intptr_t>(I), reinterpret_cast<intptr_t>(&Item));
        }
        H->Log.clear();
    }
    void Send(QEvent::Type Type, int X, int Y, Qt::MouseButton Button, Qt::MouseButtons Buttons)
    {
        const QPointF At(X, Y);
        QMouseEvent E(Type, At, H->mapToGlobal(At), Button, Buttons, Qt::NoModifier);
        QApplication::sendEvent(H, &E);
    }
    void Press(int X, int Y = 8) { Send(QEvent::MouseButtonPress, X, Y, Qt::LeftButton, Qt::LeftButton); }
    void Move(int X, int Y = 8, bool Down = true)
    {
        Send(QEvent::MouseMove, X, Y, Qt::NoButton, Down ? Qt::LeftButton : Qt::NoButton);
    }
    void Release(int X, int Y = 8) { Send(QEvent::MouseButtonRelease, X, Y, Qt::LeftButton, Qt::NoButton); }
    std::vector<int> Order()
    {
        std::vector<int> O(H->ItemCount());
        EXPECT_EQ(H->Perform(HDM_GETORDERARRAY, static_cast<intptr_t>(O.size()), reinterpret_cast<intptr_t>(O.data())), 1);
        return O;
    }
    int Width(int Index)
    {
        HDITEM I;
        I.mask = HDI_WIDTH;
        EXPECT_EQ(H->Perform(HDM_GETITEM, Index, reinterpret_cast<intptr_t>(&I)), 1);
        return I.cxy;
    }
    QImage Shot()
    {
        QImage Image(H->Width(), H->Height(), QImage::Format_ARGB32_Premultiplied);
        Image.fill(Qt::transparent);
        Form->Show();
        return H->grab().toImage();
    }
};

QRgb Pixel(const QImage& Image, int X, int Y)
{
    return Image.pixel(X, Y) & 0xFFFFFFu;
}

QRgb Rgb(TColor C)
{
    return ColorToQRgb(C) & 0xFFFFFFu;
}

// ---------------------------------------------------------------- items

TEST(NativeHeader, ItemsThroughMessages)
{
    THeader T;
    EXPECT_EQ(T.H->Perform(HDM_GETITEMCOUNT), 3);
    EXPECT_STREQ(TNativeHeader::WindowClassName, "SysHeader32");
    HDITEM Get;
    Get.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | HDI_ORDER | HDI_LPARAM | HDI_IMAGE;
    ASSERT_EQ(T.H->Perform(HDM_GETITEM, 1, reinterpret_cast<intptr_t>(&Get)), 1);
    EXPECT_EQ(Get.cxy, 60);
    EXPECT_EQ(Get.pszText, "B");
    EXPECT_EQ(Get.iOrder, 1);
    // Only the fields the mask names change.
    HDITEM Set;
    Set.mask = HDI_TEXT | HDI_FORMAT;
    Set.pszText = "Bee";
    Set.fmt = HDF_CENTER | HDF_OWNERDRAW;
    Set.cxy = 999;
    ASSERT_EQ(T.H->Perform(HDM_SETITEM, 1, reinterpret_cast<intptr_t>(&Set)), 1);
    EXPECT_EQ(T.Width(1), 60);
    ASSERT_EQ(T.H->Perform(HDM_GETITEM, 1, reinterpret_cast<intptr_t>(&Get)), 1);
    EXPECT_EQ(Get.pszText, "Bee");
    EXPECT_EQ(Get.fmt, HDF_CENTER | HDF_OWNERDRAW);
    // Setting an item reports the change around it.
    EXPECT_EQ(T.H->TakeLog(), "changing:1:- changed:1:-");
    // Bad indexes and null structures are refused.
    EXPECT_EQ(T.H->Perform(HDM_GETITEM, 3, reinterpret_cast<intptr_t>(&Get)), 0);
    EXPECT_EQ(T.H->Perform(HDM_SETITEM, -1, reinterpret_cast<intptr_t>(&Set)), 0);
    EXPECT_EQ(T.H->Perform(HDM_GETITEM, 0, 0), 0);
    EXPECT_EQ(T.H->Perform(HDM_DELETEITEM, 7), 0);
    EXPECT_EQ(T.H->Perform(HDM_INSERTITEM, 0, 0), -1);
    // A vetoed change leaves the item as it was.
    T.H->Answer = [](NMHEADER& N) { return N.hdr.code == HDN_ITEMCHANGING ? 1 : 0; };
    Set.mask = HDI_WIDTH;
    Set.cxy = 10;
    EXPECT_EQ(T.H->Perform(HDM_SETITEM, 0, reinterpret_cast<intptr_t>(&Set)), 0);
    EXPECT_EQ(T.Width(0), 50);
    // Item rectangles follow the shown order.
    TRect R;
    ASSERT_EQ(T.H->Perform(HDM_GETITEMRECT, 2, reinterpret_cast<intptr_t>(&R)), 1);
    EXPECT_EQ(R, TRect(110, 0, 180, 17));
    // Deleting all items one by one from the front, as a header refill does.
    while (T.H->Perform(HDM_GETITEMCOUNT) > 0)
        EXPECT_EQ(T.H->Perform(HDM_DELETEITEM, 0), 1);
    EXPECT_TRUE(T.Order().empty());
}

TEST(NativeHeader, OrderFollowsInsertDeleteAndSetOrderArray)
{
    THeader T;
    int New[] = {2, 0, 1};
    ASSERT_EQ(T.H->Perform(HDM_SETORDERARRAY, 3, reinterpret_cast<intptr_t>(New)), 1);
    EXPECT_EQ(T.Order(), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(T.H->Perform(HDM_ORDERTOINDEX, 0), 2);
    EXPECT_EQ(T.H->Perform(HDM_ORDERTOINDEX, 3), -1);
    TRect R;
    T.H->GetItemRect(0, R);
    EXPECT_EQ(R.Left, 70);
    // Not a permutation, or the wrong count: refused, order kept.
    int Bad[] = {0, 0, 1};
    EXPECT_EQ(T.H->Perform(HDM_SETORDERARRAY, 3, reinterpret_cast<intptr_t>(Bad)), 0);
    EXPECT_EQ(T.H->Perform(HDM_SETORDERARRAY, 2, reinterpret_cast<intptr_t>(New)), 0);
    EXPECT_EQ(T.Order(), (std::vector<int>{2, 0, 1}));
    // Inserting at index 1 renumbers the later indexes and keeps their places.
    HDITEM I;
    I.mask = HDI_WIDTH;
    I.cxy = 10;
    EXPECT_EQ(T.H->Perform(HDM_INSERTITEM, 1, reinterpret_cast<intptr_t>(&I)), 1);
    // Without an order the new item shows at the place of its index.
    EXPECT_EQ(T.Order(), (std::vector<int>{3, 1, 0, 2}));
    // An insertion with an order goes there; an index past the end is clamped.
    I.mask = HDI_WIDTH | HDI_ORDER;
    I.iOrder = 0;
    EXPECT_EQ(T.H->Perform(HDM_INSERTITEM, 99, reinterpret_cast<intptr_t>(&I)), 4);
    EXPECT_EQ(T.Order(), (std::vector<int>{4, 3, 1, 0, 2}));
    EXPECT_EQ(T.H->Perform(HDM_DELETEITEM, 0), 1);
    EXPECT_EQ(T.Order(), (std::vector<int>{3, 2, 0, 1}));
    // HDI_ORDER through HDM_SETITEM moves an item.
    HDITEM Move;
    Move.mask = HDI_ORDER;
    Move.iOrder = 3;
    EXPECT_EQ(T.H->Perform(HDM_SETITEM, 3, reinterpret_cast<intptr_t>(&Move)), 1);
    EXPECT_EQ(T.Order(), (std::vector<int>{2, 0, 1, 3}));
}

TEST(NativeHeader, HitTestAndLayout)
{
    THeader T;
    struct TCase {
        int X, Y;
        unsigned Flags;
        int Item;
    };
    // Items: A [0,50) B [50,110) C [110,180); the control is 260 wide.
    const TCase Cases[] = {
        {10, 8, HHT_ONHEADER, 0},
        {47, 8, HHT_ONDIVIDER, 0},
        {53, 8, HHT_ONDIVIDER, 0},
        {54, 8, HHT_ONHEADER, 1},
        {108, 8, HHT_ONDIVIDER, 1},
        {179, 8, HHT_ONDIVIDER, 2},
        {190, 8, HHT_NOWHERE | HHT_TORIGHT, -1},
        {-1, 8, HHT_TOLEFT, -1},
        {270, 8, HHT_TORIGHT, -1},
        {10, -1, HHT_ABOVE, -1},
        {10, 17, HHT_BELOW, -1},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(std::to_string(C.X) + "," + std::to_string(C.Y));
        HDHITTESTINFO Info;
        Info.pt = TPoint(C.X, C.Y);
        EXPECT_EQ(T.H->Perform(HDM_HITTEST, 0, reinterpret_cast<intptr_t>(&Info)), C.Item);
        EXPECT_EQ(Info.flags, C.Flags);
        EXPECT_EQ(Info.iItem, C.Item);
    }
    // A zero-width item can be opened again from the right of its divider.
    HDITEM Zero;
    Zero.mask = HDI_WIDTH;
    Zero.cxy = 0;
    T.H->SetItem(1, Zero);
    HDHITTESTINFO Info;
    Info.pt = TPoint(52, 8);
    EXPECT_EQ(T.H->HitTest(Info), 1);
    EXPECT_EQ(Info.flags, HHT_ONDIVOPEN);
    // Layout takes the header's height off the top of the rectangle.
    TRect Room(5, 10, 205, 110);
    WINDOWPOS Pos;
    HDLAYOUT L{&Room, &Pos};
    ASSERT_EQ(T.H->Perform(HDM_LAYOUT, 0, reinterpret_cast<intptr_t>(&L)), 1);
    EXPECT_EQ(Pos.x, 5);
    EXPECT_EQ(Pos.y, 10);
    EXPECT_EQ(Pos.cx, 200);
    EXPECT_GT(Pos.cy, 12);
    EXPECT_EQ(Room.Top, 10 + Pos.cy);
}

// ---------------------------------------------------------------- mouse

TEST(NativeHeader, DividerTrackingSetsTheWidthAtRelease)
{
    THeader T;
    T.Press(50);
    EXPECT_EQ(T.H->TrackingItem(), 0);
    T.Move(60);
    T.Move(75);
    // Without full drag the width waits for the release.
    EXPECT_EQ(T.Width(0), 50);
    T.Release(75);
    EXPECT_EQ(T.Width(0), 75);
    EXPECT_EQ(T.H->TakeLog(),
              "begintrack:0:50 track:0:60 track:0:75 endtrack:0:75 changing:0:75 changed:0:75 released");
    EXPECT_EQ(T.H->TrackingItem(), -1);
    // The receiver clamps the width in place: the control uses what it gets
    // (the log shows the proposed widths).
    T.H->Answer = [](NMHEADER& N) {
        if (N.pitem && (N.hdr.code == HDN_TRACK || N.hdr.code == HDN_ENDTRACK))
            N.pitem->cxy = std::clamp(N.pitem->cxy, 40, 90);
        return intptr_t(0);
    };
    T.Press(75);
    T.Move(10);
    T.Release(10);
    EXPECT_EQ(T.Width(0), 40);
    EXPECT_EQ(T.H->TakeLog(), "begintrack:0:75 track:0:10 endtrack:0:40 changing:0:40 changed:0:40 released");
    // A vetoed begin tracks nothing; the press is not followed further.
    T.H->Answer = [](NMHEADER& N) { return N.hdr.code == HDN_BEGINTRACK ? 1 : 0; };
    T.Press(40);
    T.Move(100);
    T.Release(100);
    EXPECT_EQ(T.Width(0), 40);
    EXPECT_EQ(T.H->TakeLog(), "begintrack:0:40");
}

TEST(NativeHeader, FullDragSetsTheWidthAtEveryMove)
{
    THeader T(HDS_BUTTONS | HDS_FULLDRAG);
    T.Press(110); // B's divider
    T.Move(120);
    EXPECT_EQ(T.Width(1), 70);
    T.Move(100);
    T.Release(100);
    EXPECT_EQ(T.Width(1), 50);
    EXPECT_EQ(T.H->TakeLog(),
              "begintrack:1:60 track:1:70 changing:1:70 changed:1:70 track:1:50 changing:1:50 changed:1:50 "
              "endtrack:1:50 released");
}

TEST(NativeHeader, ClicksPressesAndDoubleClicks)
{
    THeader T;
    T.Press(80);
    EXPECT_EQ(T.H->PressedItem(), 1);
    // Off the item the pressed look goes, and comes back on it.
    T.Move(20);
    EXPECT_EQ(T.H->PressedItem(), -1);
    T.Move(70);
    EXPECT_EQ(T.H->PressedItem(), 1);
    T.Release(70);
    EXPECT_EQ(T.H->PressedItem(), -1);
    EXPECT_EQ(T.H->TakeLog(), "click:1 released");
    // A release elsewhere is no click.
    T.Press(80);
    T.Release(150);
    EXPECT_EQ(T.H->TakeLog(), "released");
    // Without HDS_BUTTONS nothing looks pressed, but a click is still one.
    T.H->SetStyle(HDS_HORZ);
    T.Press(10);
    EXPECT_EQ(T.H->PressedItem(), -1);
    T.Release(10);
    EXPECT_EQ(T.H->TakeLog(), "click:0 released");
    // Double clicks on an item and on a divider; a right click.
    T.Send(QEvent::MouseButtonDblClick, 20, 8, Qt::LeftButton, Qt::LeftButton);
    T.Release(20);
    T.Send(QEvent::MouseButtonDblClick, 50, 8, Qt::LeftButton, Qt::LeftButton);
    T.Release(50);
    T.Send(QEvent::MouseButtonPress, 20, 8, Qt::RightButton, Qt::RightButton);
    T.Send(QEvent::MouseButtonRelease, 20, 8, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(T.H->TakeLog(), "dblclick:0 click:0 released divdblclick:0 rclick:0:1");
}

TEST(NativeHeader, DragToReorder)
{
    struct TCase {
        const char* Name;
        int From, To; // mouse x of the press and of the release
        intptr_t EndAnswer;
        const char* Log;
        std::vector<int> Order;
    };
    const TCase Cases[] = {
        {"A onto C", 20, 150, 0, "begindrag:0 enddrag:0:2 released", {1, 2, 0}},
        {"C onto A", 150, 10, 0, "begindrag:2 enddrag:2:0 released", {2, 0, 1}},
        {"A past the end", 20, 240, 0, "begindrag:0 enddrag:0:2 released", {1, 2, 0}},
        {"C left of all", 150, -30, 0, "begindrag:2 enddrag:2:0 released", {2, 0, 1}},
        {"refused at the end", 20, 150, 1, "begindrag:0 enddrag:0:2 released", {0, 1, 2}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        THeader T(HDS_BUTTONS | HDS_DRAGDROP);
        T.H->Answer = [&C](NMHEADER& N) { return N.hdr.code == HDN_ENDDRAG ? C.EndAnswer : 0; };
        T.Press(C.From);
        T.Move(C.From + (C.To > C.From ? 3 : -3)); // within the threshold: no drag yet
        EXPECT_EQ(T.H->DraggingItem(), -1);
        T.Move(C.To);
        EXPECT_GE(T.H->DraggingItem(), 0);
        EXPECT_EQ(T.H->PressedItem(), -1);
        T.Release(C.To);
        EXPECT_EQ(T.H->TakeLog(), C.Log);
        EXPECT_EQ(T.Order(), C.Order);
        EXPECT_EQ(T.H->DraggingItem(), -1);
    }
    // Without HDS_DRAGDROP an item does not move.
    THeader T;
    T.Press(20);
    T.Move(150);
    T.Release(150);
    EXPECT_EQ(T.H->TakeLog(), "released");
    EXPECT_EQ(T.Order(), (std::vector<int>{0, 1, 2}));
    // A refused begin keeps the press a press.
    THeader R(HDS_BUTTONS | HDS_DRAGDROP);
    R.H->Answer = [](NMHEADER& N) { return N.hdr.code == HDN_BEGINDRAG ? 1 : 0; };
    R.Press(20);
    R.Move(30);
    EXPECT_EQ(R.H->DraggingItem(), -1);
    R.Release(30);
    EXPECT_EQ(R.H->TakeLog(), "begindrag:0 click:0 released");
}

TEST(NativeHeader, HotTrackingAndMessagePos)
{
    THeader T(HDS_BUTTONS | HDS_HOTTRACK);
    T.Move(70, 8, false);
    EXPECT_EQ(T.H->HotItem(), 1);
    EXPECT_EQ(T.H->MessagePos(), T.H->ClientToScreen(TPoint(70, 8)));
    T.Move(50, 8, false); // on a divider: no hot item
    EXPECT_EQ(T.H->HotItem(), -1);
    T.Move(120, 8, false);
    EXPECT_EQ(T.H->HotItem(), 2);
    T.H->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(T.H->HotItem(), -1);
    // Without the style nothing is hot.
    THeader Plain;
    Plain.Move(70, 8, false);
    EXPECT_EQ(Plain.H->HotItem(), -1);
}

// ---------------------------------------------------------------- painting

TEST(NativeHeader, PaintsFacesTextAndOwnerDrawnItems)
{
    THeader T;
    HDITEM Owner;
    Owner.mask = HDI_FORMAT | HDI_LPARAM;
    Owner.fmt = HDF_OWNERDRAW;
    Owner.lParam = 42;
    T.H->SetItem(2, Owner);
    T.Press(80); // B pressed
    const QImage Img = T.Shot();
    DumpPng(Img, "nativeheader-pressed");
    // A: a raised face (highlight at its top-left, dark shadow at its right).
    EXPECT_EQ(Pixel(Img, 0, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(Pixel(Img, 49, 8), Rgb(cl3DDkShadow));
    // A's text is drawn inside it.
    bool Text = false;
    for (int X = 6; X < 44 && !Text; ++X)
        for (int Y = 2; Y < 15 && !Text; ++Y)
            Text = Pixel(Img, X, Y) == Rgb(clBtnText);
    EXPECT_TRUE(Text);
    // B pressed: a flat shadow frame.
    EXPECT_EQ(Pixel(Img, 50, 0), Rgb(clBtnShadow));
    EXPECT_EQ(Pixel(Img, 109, 16), Rgb(clBtnShadow));
    // C is owner drawn: its inside is what the receiver painted, its edges
    // the control's.
    EXPECT_EQ(Pixel(Img, 140, 8), Rgb(clYellow));
    EXPECT_EQ(Pixel(Img, 110, 0), Rgb(clBtnHighlight));
    ASSERT_FALSE(T.H->Drawn.empty());
    const DRAWITEMSTRUCT& D = T.H->Drawn.back();
    EXPECT_EQ(D.CtlType, ODT_HEADER);
    EXPECT_EQ(D.itemID, 2u);
    EXPECT_EQ(D.rcItem, TRect(110, 0, 180, 17));
    EXPECT_EQ(D.itemData, 42);
    EXPECT_EQ(D.itemState, 0u);
    EXPECT_EQ(D.hwndItem, T.H);
    // Right of the last item: an empty raised face.
    EXPECT_EQ(Pixel(Img, 200, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(Pixel(Img, 200, 8), Rgb(clBtnFace));
    T.Release(80);
    // Pressing the owner-drawn item marks it selected.
    T.H->Drawn.clear();
    T.Press(140);
    T.Shot();
    ASSERT_FALSE(T.H->Drawn.empty());
    EXPECT_EQ(T.H->Drawn.back().itemState & ODS_SELECTED, ODS_SELECTED);
    T.Release(140);
}

TEST(NativeHeader, ImagesLeftAndRightOfTheText)
{
    THeader T;
    auto Images = std::make_unique<TImageList>(nullptr);
    Images->SetWidth(8);
    Images->SetHeight(8);
    QImage Red(8, 8, QImage::Format_ARGB32);
    Red.fill(QColor(255, 0, 0));
    Images->AddImage32(Red);
    EXPECT_EQ(T.H->Perform(HDM_SETIMAGELIST, 0, reinterpret_cast<intptr_t>(Images.get())), 0);
    EXPECT_EQ(T.H->Perform(HDM_GETIMAGELIST), reinterpret_cast<intptr_t>(Images.get()));
    HDITEM I;
    I.mask = HDI_FORMAT | HDI_IMAGE;
    I.fmt = HDF_LEFT | HDF_IMAGE;
    I.iImage = 0;
    T.H->SetItem(0, I);
    I.fmt = HDF_LEFT | HDF_IMAGE | HDF_BITMAP_ON_RIGHT;
    T.H->SetItem(1, I);
    I.fmt = HDF_LEFT; // an image index without HDF_IMAGE shows nothing
    T.H->SetItem(2, I);
    QImage Img = T.Shot();
    DumpPng(Img, "nativeheader-images");
    // A: the image 6 pixels in from the left, vertically centred (17 high).
    EXPECT_EQ(Pixel(Img, 6, 4), 0xFF0000u);
    EXPECT_EQ(Pixel(Img, 13, 11), 0xFF0000u);
    EXPECT_NE(Pixel(Img, 5, 8), 0xFF0000u);
    // B: the image ends 6 pixels in from the right (B spans [50, 110)).
    EXPECT_EQ(Pixel(Img, 103, 8), 0xFF0000u);
    EXPECT_EQ(Pixel(Img, 96, 8), 0xFF0000u);
    EXPECT_NE(Pixel(Img, 104, 8), 0xFF0000u);
    for (int X = 110; X < 180; ++X)
        ASSERT_NE(Pixel(Img, X, 8), 0xFF0000u) << X;
    // The list going away leaves the header without one.
    Images.reset();
    EXPECT_EQ(T.H->Perform(HDM_GETIMAGELIST), 0);
    Img = T.Shot();
    EXPECT_NE(Pixel(Img, 6, 8), 0xFF0000u);
}

TEST(NativeHeader, PaintsTheTrackLineAndTheDraggedItem)
{
    THeader T(HDS_BUTTONS | HDS_DRAGDROP);
    T.Press(50);
    T.Move(90);
    QImage Img = T.Shot();
    DumpPng(Img, "nativeheader-track");
    EXPECT_EQ(Pixel(Img, 89, 8), Rgb(clWindowFrame));
    EXPECT_EQ(Pixel(Img, 90, 8), Rgb(clWindowFrame));
    T.Release(90);
    T.Press(20);
    T.Move(150);
    Img = T.Shot();
    DumpPng(Img, "nativeheader-drag");
    // The drop mark at C's right edge (A goes after C), the dragged face at
    // the mouse with its grab offset kept.
    // A is 90 wide now: C spans [150, 220), the dragged face [130, 220).
    EXPECT_EQ(Pixel(Img, 220, 8), Rgb(clHighlight));
    EXPECT_EQ(Pixel(Img, 130, 8), Rgb(clWindowFrame));
    T.Release(150);
}

} // namespace
