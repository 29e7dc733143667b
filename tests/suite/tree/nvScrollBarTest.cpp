// The suite's scroll bar: part layout, position clamping, stepping with the
// repeat timer, thumb drags with and without live tracking, the painted
// parts; and the tool tip's shared font.
#include <gtest/gtest.h>

#include <QDir>

#include <sstream>
#include <vector>

#include "Canvas.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "nvCommon.h"
#include "nvScrollBar.h"
#include "nvToolTip.h"

namespace {

class TTestScrollBar : public TnvScrollBar {
public:
    explicit TTestScrollBar(TComponent* AOwner = nullptr) : TnvScrollBar(AOwner) {}
    std::vector<String> Log;
    void Scroll(int Code, int Pos) override { Log.push_back("scroll " + std::to_string(Code) + " " + std::to_string(Pos)); }
    void Press(int X, int Y) { Perform(WM_LBUTTONDOWN, 0, PointToLParam(X, Y)); }
    void Move(int X, int Y) { Perform(WM_MOUSEMOVE, TShiftState(ssLeft).toInt(), PointToLParam(X, Y)); }
    void Release(int X, int Y) { Perform(WM_LBUTTONUP, 0, PointToLParam(X, Y)); }
    QImage Render()
    {
        QImage Image(Width(), Height(), QImage::Format_ARGB32_Premultiplied);
        Image.fill(Qt::transparent);
        PaintControl(Image);
        return Image;
    }
};

String RectText(const TRect& R)
{
    std::ostringstream S;
    S << R.Left << "," << R.Top << "," << R.Right << "," << R.Bottom;
    return S.str();
}

struct TBarFixture {
    TForm Form;
    TTestScrollBar* Bar;
    TBarFixture(TScrollBarKind Kind = sbVertical, int W = 17, int H = 200)
    {
        InitApplication();
        Form.SetBounds(0, 0, 400, 400);
        Bar = new TTestScrollBar(&Form);
        Bar->SetParent(&Form);
        Bar->SetKind(Kind);
        Bar->SetBounds(0, 0, W, H);
        Bar->OnChange = [this](TnvCustomScrollBar*, int Old, int New) {
            Bar->Log.push_back("change " + std::to_string(Old) + ">" + std::to_string(New));
        };
    }
};

TEST(nvScrollBar, Defaults)
{
    InitApplication();
    TnvScrollBar Bar;
    EXPECT_EQ(Bar.Kind(), sbVertical);
    EXPECT_EQ(Bar.Width(), GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(Bar.Height(), 100);
    EXPECT_EQ(Bar.Min(), 0);
    EXPECT_EQ(Bar.Max(), 100);
    EXPECT_EQ(Bar.PageSize(), 10);
    EXPECT_EQ(Bar.SmallChange(), 1);
    EXPECT_EQ(Bar.RepeatInterval()->InitialDelay(), 500);
    EXPECT_EQ(Bar.RepeatInterval()->Interval(), 50);
    EXPECT_EQ(Bar.DragStartPos(), -1);
    EXPECT_FALSE(Bar.ScrollTimer()->Enabled());
    EXPECT_EQ(Bar.Perform(CM_DESIGNHITTEST), 1);
}

TEST(nvScrollBar, PositionIsClamped)
{
    struct TCase {
        int Min, Max, Page, Set, Expected;
    };
    const TCase Cases[] = {
        {0, 100, 10, 95, 91}, {0, 100, 10, -5, 0}, {0, 100, 10, 50, 50}, {10, 20, 5, 0, 10},
        {0, 5, 10, 3, 0}, // the range is smaller than the page: Min wins
        {-50, 50, 20, 100, 31},
    };
    for (const TCase& C : Cases) {
        InitApplication();
        TnvScrollBar Bar;
        Bar.SetMin(C.Min);
        Bar.SetMax(C.Max);
        Bar.SetPageSize(C.Page);
        Bar.SetPosition(C.Set);
        EXPECT_EQ(Bar.Position(), C.Expected) << C.Min << ".." << C.Max << " page " << C.Page << " set " << C.Set;
    }
    // SetParams stores as given.
    TnvScrollBar Bar;
    Bar.SetParams(500, 10, 20);
    EXPECT_EQ(Bar.Position(), 500);
    EXPECT_EQ(Bar.Max(), 10);
    EXPECT_EQ(Bar.Min(), 20);
    Bar.SetSmallChange(0); // out of range: ignored
    EXPECT_EQ(Bar.SmallChange(), 1);
}

TEST(nvScrollBar, PartLayout)
{
    struct TCase {
        const char* Name;
        TScrollBarKind Kind;
        int W, H, Page, Position;
        bool Fixed;
        const char *Inc, *Dec, *Thumb, *After, *Before;
    };
    // SM_CYVSCROLL and SM_CXHSCROLL are 17 here.
    const TCase Cases[] = {
        // 200 high: arrows 17, thumb (200 - 34) * 10 / 101 = 16, travel 150.
        {"vertical at the top", sbVertical, 17, 200, 10, 0, false, "0,183,17,200", "0,0,17,17", "0,18,17,33",
         "0,33,17,183", "0,17,17,18"},
        {"vertical in the middle", sbVertical, 17, 200, 10, 45, false, "0,183,17,200", "0,0,17,17",
         "0,91,17,107", "0,107,17,183", "0,17,17,91"},
        {"vertical at the end", sbVertical, 17, 200, 10, 91, false, "0,183,17,200", "0,0,17,17",
         "0,167,17,183", "0,183,17,183", "0,17,17,167"},
        // A small page gives the minimum thumb of a vertical bar, 8.
        {"minimum thumb", sbVertical, 17, 200, 1, 0, false, "0,183,17,200", "0,0,17,17", "0,18,17,25",
         "0,25,17,183", "0,17,17,18"},
        {"fixed thumb", sbVertical, 17, 200, 50, 0, true, "0,183,17,200", "0,0,17,17", "0,18,17,33",
         "0,33,17,183", "0,17,17,18"},
        // Horizontal: arrows of min(17, W / 3); thumb without a minimum.
        {"horizontal", sbHorizontal, 300, 17, 20, 40, false, "283,0,300,17", "0,0,17,17", "122,0,174,17",
         "174,0,283,17", "17,0,122,17"},
        {"narrow horizontal", sbHorizontal, 30, 17, 20, 0, false, "20,0,30,17", "0,0,10,17", "11,0,11,17",
         "11,0,20,17", "10,0,11,17"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TBarFixture F(C.Kind, C.W, C.H);
        F.Bar->SetPageSize(C.Page);
        F.Bar->SetFixedThumb(C.Fixed);
        F.Bar->SetPosition(C.Position);
        EXPECT_EQ(RectText(F.Bar->PartRect(sbpIncrement)), C.Inc);
        EXPECT_EQ(RectText(F.Bar->PartRect(sbpDecrement)), C.Dec);
        EXPECT_EQ(RectText(F.Bar->PartRect(sbpThumb)), C.Thumb);
        EXPECT_EQ(RectText(F.Bar->PartRect(sbpPageAfter)), C.After);
        EXPECT_EQ(RectText(F.Bar->PartRect(sbpPageBefore)), C.Before);
    }
    // Arrows of a short vertical bar: half the height below three arrow heights.
    for (const auto& [H, Arrow] : {std::pair{40, 17}, std::pair{30, 15}, std::pair{51, 17}, std::pair{20, 10}}) {
        TBarFixture S(sbVertical, 17, H);
        EXPECT_EQ(S.Bar->PartRect(sbpDecrement).Height(), Arrow) << H;
        EXPECT_EQ(S.Bar->PartRect(sbpIncrement).Top, H - Arrow) << H;
    }
    // A page as large as the range: no parts, every point outside.
    TBarFixture F;
    F.Bar->SetPageSize(101);
    EXPECT_FALSE(F.Bar->CanScroll());
    EXPECT_TRUE(F.Bar->PartRect(sbpThumb).IsEmpty());
    EXPECT_EQ(F.Bar->HitTest(5, 5), sbpOutside);
    F.Bar->Press(5, 5);
    F.Bar->Release(5, 5);
    EXPECT_EQ(F.Bar->Position(), 0);
}

TEST(nvScrollBar, HitTest)
{
    TBarFixture F;
    F.Bar->SetPosition(45); // thumb 91..107
    const std::pair<TPoint, TnvScrollBarPart> Cases[] = {
        {TPoint(8, 5), sbpDecrement},  {TPoint(8, 190), sbpIncrement}, {TPoint(8, 50), sbpPageBefore},
        {TPoint(8, 150), sbpPageAfter}, {TPoint(8, 95), sbpThumb},     {TPoint(30, 95), sbpOutside},
    };
    for (const auto& [P, Part] : Cases)
        EXPECT_EQ(F.Bar->HitTest(P.X, P.Y), Part) << P.X << "," << P.Y;
}

TEST(nvScrollBar, ArrowsAndPagesStepAndRepeat)
{
    TBarFixture F;
    F.Bar->SetSmallChange(3);
    // A press on the bottom arrow steps at once and starts the repeat timer.
    F.Bar->Press(8, 190);
    EXPECT_EQ(F.Bar->Position(), 3);
    EXPECT_EQ(F.Bar->Log, (std::vector<String>{"scroll 1 3", "change 0>3"}));
    EXPECT_TRUE(F.Bar->ScrollTimer()->Enabled());
    EXPECT_EQ(F.Bar->ScrollTimer()->Interval(), 500);
    EXPECT_EQ(F.Bar->PressedPart(), sbpIncrement);
    // Each tick steps again, now every 50 ms ...
    F.Bar->ScrollTimerTick();
    EXPECT_EQ(F.Bar->Position(), 6);
    EXPECT_EQ(F.Bar->ScrollTimer()->Interval(), 50);
    // ... but not while the cursor is off the arrow.
    F.Bar->Move(8, 100);
    F.Bar->ScrollTimerTick();
    EXPECT_EQ(F.Bar->Position(), 6);
    F.Bar->Move(8, 195);
    F.Bar->ScrollTimerTick();
    EXPECT_EQ(F.Bar->Position(), 9);
    // The release stops it.
    F.Bar->Release(8, 195);
    EXPECT_FALSE(F.Bar->ScrollTimer()->Enabled());
    EXPECT_EQ(F.Bar->PressedPart(), sbpNone);

    // The other parts, each with its code; a step that cannot move still reports.
    struct TCase {
        int Y, Start, Expected;
        const char* Scroll;
    };
    const TCase Cases[] = {
        {5, 10, 7, "scroll 0 7"},      // top arrow: - SmallChange
        {150, 10, 20, "scroll 3 20"},  // page after the thumb: + PageSize
        {20, 30, 20, "scroll 2 20"},   // page before the thumb: - PageSize
        {5, 0, 0, "scroll 0 0"},       // at the top already
    };
    for (const TCase& C : Cases) {
        F.Bar->SetPosition(C.Start);
        F.Bar->Log.clear();
        F.Bar->Press(8, C.Y);
        F.Bar->Release(8, C.Y);
        EXPECT_EQ(F.Bar->Position(), C.Expected) << C.Y;
        EXPECT_EQ(F.Bar->Log, (std::vector<String>{C.Scroll, "change " + std::to_string(C.Start) + ">" +
                                                                 std::to_string(C.Expected)}))
            << C.Y;
    }
    // A tick after the release stops the timer.
    F.Bar->ScrollTimer()->SetEnabled(true);
    F.Bar->ScrollTimerTick();
    EXPECT_FALSE(F.Bar->ScrollTimer()->Enabled());
}

TEST(nvScrollBar, ThumbDrags)
{
    // Without live tracking only the drawn thumb moves; the release sets the
    // position once with code 4 and no change event.
    TBarFixture F; // travel 150 for 91 positions
    F.Bar->Press(8, 20);
    EXPECT_EQ(F.Bar->PressedPart(), sbpThumb);
    F.Bar->Move(8, 20); // no movement at first: ignored
    EXPECT_EQ(F.Bar->DragDelta(), 0);
    F.Bar->Move(8, 50);
    EXPECT_EQ(F.Bar->DragDelta(), 30);
    EXPECT_EQ(F.Bar->DragStartPos(), 0);
    EXPECT_EQ(F.Bar->Position(), 0);
    EXPECT_EQ(RectText(F.Bar->PartRect(sbpThumb)), "0,47,17,63");
    F.Bar->Move(8, 95);
    F.Bar->Release(8, 95);
    // 75 / 150 x 91 = 45.5 -> 45
    EXPECT_EQ(F.Bar->Position(), 45);
    EXPECT_EQ(F.Bar->Log, (std::vector<String>{"scroll 4 45"}));
    EXPECT_EQ(F.Bar->DragStartPos(), -1);
    EXPECT_EQ(F.Bar->DragDelta(), 0);

    // With live tracking every move sets it.
    TBarFixture G;
    G.Bar->SetLiveTracking(true);
    G.Bar->Press(8, 20);
    G.Bar->Move(8, 35);
    G.Bar->Move(8, 65);
    EXPECT_EQ(G.Bar->Position(), 27);
    G.Bar->Release(8, 65);
    EXPECT_EQ(G.Bar->Log, (std::vector<String>{"scroll 4 9", "scroll 4 27", "scroll 4 27"}));
    // Moves above the bar are ignored.
    G.Bar->Log.clear();
    G.Bar->Press(8, 65);
    ASSERT_EQ(G.Bar->PressedPart(), sbpThumb);
    G.Bar->Move(8, -5);
    EXPECT_EQ(G.Bar->Position(), 27);
    G.Bar->Release(8, -5);
    EXPECT_EQ(G.Bar->Position(), 27);
    EXPECT_TRUE(G.Bar->Log.empty());
}

QRgb Rgb(const QImage& I, int X, int Y)
{
    return I.pixel(X, Y) & 0xFFFFFFu;
}

TEST(nvScrollBar, ClassicPainting)
{
    TBarFixture F;
    F.Bar->SetPosition(45); // thumb 0,91..17,107
    const QImage I = F.Bar->Render();
    if (const QByteArray Dir = qgetenv("ZEN_TREE_DUMP"); !Dir.isEmpty())
        I.save(QDir(QString::fromLocal8Bit(Dir)).filePath("scrollbar.png"));
    const QRgb Face = ColorToQRgb(clBtnFace) & 0xFFFFFFu;
    // The page areas are a face / white checker.
    EXPECT_EQ(Rgb(I, 4, 40), (4 + 40) % 2 ? 0xFFFFFFu : Face);
    EXPECT_EQ(Rgb(I, 5, 40), (5 + 40) % 2 ? 0xFFFFFFu : Face);
    EXPECT_EQ(Rgb(I, 6, 150), Face);
    // The thumb: a button face, its left column and top row in the face colour.
    EXPECT_EQ(Rgb(I, 8, 99), Face);
    EXPECT_EQ(Rgb(I, 0, 100), Face);
    // The arrows: button faces with a dark arrow in the middle.
    EXPECT_EQ(Rgb(I, 2, 8), Face);
    bool Dark = false;
    for (int Y = 4; Y < 13; ++Y)
        for (int X = 4; X < 13; ++X)
            Dark = Dark || Rgb(I, X, Y) == 0;
    EXPECT_TRUE(Dark);
    // A pressed page area turns black and dark grey.
    F.Bar->Press(8, 150);
    const QImage P = F.Bar->Render();
    EXPECT_EQ(Rgb(P, 4, 130) == 0 || Rgb(P, 4, 130) == 0x404040u, true);
    EXPECT_NE(Rgb(P, 4, 130), Rgb(P, 5, 130));
    F.Bar->Release(8, 150);
}

TEST(nvScrollBar, ThemedPaintingDrawsEveryPart)
{
    SetThemeServicesEnabled(true);
    TBarFixture F(sbHorizontal, 200, 17);
    F.Bar->SetPosition(40);
    const QImage I = F.Bar->Render();
    SetThemeServicesEnabled(false);
    if (const QByteArray Dir = qgetenv("ZEN_TREE_DUMP"); !Dir.isEmpty())
        I.save(QDir(QString::fromLocal8Bit(Dir)).filePath("scrollbar-themed.png"));
    // Every part is painted: no transparent pixel is left in the bar.
    for (int X = 0; X < 200; X += 7)
        EXPECT_EQ(qAlpha(I.pixel(X, 8)), 255) << X;
}

TEST(nvToolTip, DrawsInTheSharedFont)
{
    InitApplication();
    TnvToolTip Tip;
    ToolTipFont()->SetName("Arial");
    ToolTipFont()->SetSize(8);
    const TRect Small = Tip.CalcHintRect(400, "Sample text");
    ToolTipFont()->SetSize(24);
    const TRect Large = Tip.CalcHintRect(400, "Sample text");
    EXPECT_GT(Large.Width(), Small.Width() * 2);
    EXPECT_GT(Large.Height(), Small.Height());
    EXPECT_EQ(Tip.Font()->Size(), 24);
    // The application can take it as its hint window class.
    EXPECT_NE(GetClass("TnvToolTip"), nullptr);
    ToolTipFont()->SetSize(8);
}

} // namespace
