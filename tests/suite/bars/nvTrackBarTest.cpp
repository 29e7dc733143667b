// The suite's track bar: value and pixel mapping, snapping and events, tick
// walks, channel clicks with their repeat, thumb drags, keys, the tick-text
// event, rendered channel, thumb, bands and texts, data binding and the
// stored form.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDir>

#include <cmath>
#include <functional>
#include <vector>

#include "DBClient.h"
#include "DBFields.h"
#include "FloatFormat.h"
#include "FormStream.h"
#include "Forms.h"
#include "nvCommon.h"
#include "nvTrackBar.h"

namespace {

class TTestTrackBar : public TnvTrackBar {
public:
    explicit TTestTrackBar(TComponent* AOwner = nullptr) : TnvTrackBar(AOwner) {}
    QImage Render()
    {
        QImage Image(Width(), Height(), QImage::Format_ARGB32_Premultiplied);
        Image.fill(Qt::transparent);
        PaintControl(Image);
        return Image;
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

void Dump(const QImage& I, const char* Name)
{
    if (const QByteArray Dir = qgetenv("ZEN_BARS_DUMP"); !Dir.isEmpty())
        I.save(QDir(QString::fromLocal8Bit(Dir)).filePath(Name));
}

struct TFixture {
    TForm Form;
    TTestTrackBar* Bar;
    int Changes = 0;
    explicit TFixture(TnvTrackBarOrientation O = trnvHorizontal)
    {
        InitApplication();
        Form.SetBounds(0, 0, 400, 400);
        Form.SetColor(clBtnFace);
        Bar = new TTestTrackBar(&Form);
        Bar->SetParent(&Form);
        Bar->SetBounds(10, 10, 150, 45);
        if (O == trnvVertical) {
            Bar->SetOrientation(trnvVertical);
            Bar->SetBounds(10, 10, 45, 150);
        }
        Bar->OnChange = [this](TObject*) { ++Changes; };
    }
    void Show()
    {
        Form.Show();
        QApplication::setActiveWindow(&Form);
    }
    // Sends a mouse message to a control, in its client coordinates.
    static void Mouse(TControl* C, unsigned Msg, int X, int Y, TShiftState Shift = TShiftState())
    {
        C->Perform(Msg, Shift.toInt(), PointToLParam(X, Y));
    }
    void CursorAt(int X, int Y) { QCursor::setPos(Bar->mapToGlobal(QPoint(X, Y))); }
};

TEST(nvTrackBar, DefaultsAndRangeErrors)
{
    InitApplication();
    TnvTrackBar Bar;
    EXPECT_EQ(Bar.Width(), 150);
    EXPECT_EQ(Bar.Height(), 45);
    EXPECT_TRUE(Bar.TabStop());
    EXPECT_TRUE(Bar.ParentColor());
    EXPECT_EQ(Bar.Caption(), "");
    EXPECT_EQ(Bar.Min(), 0.0);
    EXPECT_EQ(Bar.Max(), 10.0);
    EXPECT_EQ(Bar.Increment(), 1.0);
    EXPECT_EQ(Bar.PageSize(), 2);
    EXPECT_EQ(Bar.ThumbColor(), clBtnFace);
    EXPECT_EQ(Bar.TrackColor(), TColor(0xFFFFFF));
    EXPECT_EQ(Bar.TrackPartialFillColor(), clNone);
    EXPECT_EQ(Bar.TickMarks(), tmnvBottomRight);
    EXPECT_EQ(Bar.TickStyle(), tsnvAuto);
    EXPECT_EQ(Bar.BevelOuter(), bvNone);
    EXPECT_TRUE(Bar.ControlStyle().testFlag(csReplicatable));
    EXPECT_FALSE(Bar.ControlStyle().testFlag(csDoubleClicks));
    EXPECT_FALSE(Bar.ControlStyle().testFlag(csAcceptsControls));
    // The thumb control: thickness along, length across the channel.
    EXPECT_EQ(Bar.ThumbControl()->Parent(), &Bar);
    EXPECT_EQ(Bar.ThumbControl()->Width(), 10);
    EXPECT_EQ(Bar.ThumbControl()->Height(), 20);
    EXPECT_FALSE(Bar.ThumbControl()->ControlStyle().testFlag(csOpaque));
    EXPECT_EQ(Bar.RepeatTimer(), nullptr);

    Bar.SetIncrement(0);
    EXPECT_EQ(Bar.Increment(), 1.0);
    try {
        Bar.SetParams(1, 2, 1);
        FAIL() << "no exception";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "TnvTrackBar property out of range");
    }
    // The range writers store a crossed bound without checks; the next
    // position change raises.
    Bar.SetMin(20);
    EXPECT_EQ(Bar.Min(), 20.0);
    EXPECT_THROW(Bar.SetPosition(5), EInvalidOperation);
    Bar.SetMin(0);
    Bar.SetPosition(8);
    Bar.SetMax(5); // clamps the position
    EXPECT_EQ(Bar.Position(), 5.0);
}

TEST(nvTrackBar, SetPositionSnapsAndReports)
{
    struct TCase {
        const char* What;
        double Min, Max, Inc, Start, Request, Expected;
        int Changes;
    };
    const TCase Cases[] = {
        {"plain step", 0, 10, 1, 0, 3, 3, 1},
        {"snapped to the quarter", 0, 3, 0.25, 0, 1.1, 1.0, 1},
        {"closer than a step: nothing", 0, 3, 0.25, 3, 2.9, 3, 0},
        {"less than Increment - 0.005 away: nothing", 0, 10, 1, 5, 5.4, 5, 0},
        {"rounded up past half a step", 0, 10, 1, 5, 5.6, 6, 1},
        {"clamped to Max", 0, 10, 1, 5, 25, 10, 1},
        {"clamped to Min", 0, 10, 1, 5, -3, 0, 1},
        {"snapping counts from 0, halves to even", 0.5, 10, 1, 0.5, 1.5, 2, 1},
        {"half to even downwards", 0, 10, 1, 0, 2.5, 2, 1},
        {"fractional range", -1, 1, 0.1, 0, -0.42, -0.4, 1},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        TFixture F;
        F.Bar->SetIncrement(C.Inc);
        F.Bar->SetMin(C.Min);
        F.Bar->SetMax(C.Max);
        F.Bar->SetPosition(C.Start);
        F.Changes = 0;
        F.Bar->SetPosition(C.Request);
        EXPECT_NEAR(F.Bar->Position(), C.Expected, 1e-9);
        EXPECT_EQ(F.Changes, C.Changes);
    }
    // Read-only: the position stays, the change is still reported.
    TFixture F;
    F.Bar->SetReadOnly(true);
    F.Bar->SetPosition(4);
    EXPECT_EQ(F.Bar->Position(), 0.0);
    EXPECT_EQ(F.Changes, 1);
}

TEST(nvTrackBar, ValuePixelMappingBothOrientations)
{
    struct TCase {
        TnvTrackBarOrientation O;
        TnvTickMark Marks;
        bool Inverted;
        TRect Track;
        double Value;
        int Pixel;
        TPoint ThumbPos; // the thumb control's Left, Top at that value
    };
    // 150 x 45 (45 x 150 vertical), thumb 10 x 20: the channel runs from
    // 5 + 5 to 150 - 5 - 5, 130 pixels for 10 values.
    const TCase Cases[] = {
        {trnvHorizontal, tmnvBottomRight, false, TRect(10, 7, 140, 17), 0, 0, TPoint(5, 4)},
        {trnvHorizontal, tmnvBottomRight, false, TRect(10, 7, 140, 17), 3, 39, TPoint(44, 4)},
        {trnvHorizontal, tmnvBottomRight, false, TRect(10, 7, 140, 17), 10, 130, TPoint(135, 4)},
        {trnvHorizontal, tmnvBottomRight, true, TRect(10, 7, 140, 17), 3, 91, TPoint(96, 4)},
        {trnvHorizontal, tmnvTopLeft, false, TRect(10, 14, 140, 24), 7, 91, TPoint(96, 11)},
        {trnvHorizontal, tmnvBoth, false, TRect(10, 14, 140, 24), 5, 65, TPoint(70, 11)},
        {trnvVertical, tmnvBottomRight, false, TRect(7, 10, 17, 140), 3, 39, TPoint(4, 44)},
        {trnvVertical, tmnvBottomRight, true, TRect(7, 10, 17, 140), 3, 91, TPoint(4, 96)},
        {trnvVertical, tmnvTopLeft, false, TRect(14, 10, 24, 140), 10, 130, TPoint(11, 135)},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(testing::Message() << "orientation " << C.O << " marks " << C.Marks << " inverted "
                                        << C.Inverted << " value " << C.Value);
        TFixture F(C.O);
        F.Bar->SetTickMarks(C.Marks);
        F.Bar->SetInverted(C.Inverted);
        const TRect R = F.Bar->GetTrackRect();
        EXPECT_EQ(R, C.Track);
        EXPECT_EQ(F.Bar->ValueToPixel(C.Value), C.Pixel);
        EXPECT_NEAR(F.Bar->PixelToValue(C.Pixel), C.Value, 1e-9);
        F.Bar->SetPosition(C.Value);
        EXPECT_EQ(TPoint(F.Bar->ThumbControl()->Left(), F.Bar->ThumbControl()->Top()), C.ThumbPos);
    }
    // Truncation towards zero: 130 / 3 * 1 = 43.33.
    TFixture F;
    F.Bar->SetMax(3);
    EXPECT_EQ(F.Bar->ValueToPixel(1), 43);
    // An empty range puts the thumb at the channel's start.
    F.Bar->SetMax(0);
    EXPECT_EQ(F.Bar->ValueToPixel(0), 0);
    // Changing the orientation keeps the size and turns the thumb.
    TFixture G;
    G.Bar->SetOrientation(trnvVertical);
    EXPECT_EQ(G.Bar->Width(), 150);
    EXPECT_EQ(G.Bar->Height(), 45);
    EXPECT_EQ(G.Bar->ThumbControl()->Width(), 20);
    EXPECT_EQ(G.Bar->ThumbControl()->Height(), 10);
}

TEST(nvTrackBar, TickWalks)
{
    using TTicks = std::vector<std::pair<double, int>>;
    struct TCase {
        const char* What;
        TnvTickStyle Style;
        double Min, Max, Frequency;
        TTicks Ticks;
    };
    const TCase Cases[] = {
        {"auto, every value", tsnvAuto, 0, 4, 1, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}},
        {"auto, stops at Max", tsnvAuto, 0, 10, 2.5, {{0, 0}, {2.5, 1}, {5, 2}, {7.5, 3}, {10, 4}}},
        {"auto, last step past Max", tsnvAuto, 1, 8, 3, {{1, 0}, {4, 1}, {7, 2}}},
        {"manual: first and last with the count as index", tsnvManual, 0, 10, 1, {{0, 0}, {10, 11}}},
        {"none", tsnvNone, 0, 10, 1, {}},
        {"frequency 0 draws none", tsnvAuto, 0, 10, 0, {}},
        {"negative frequency draws none", tsnvAuto, 0, 10, -1, {}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        TFixture F;
        F.Bar->SetTickStyle(C.Style);
        F.Bar->SetMax(C.Max);
        F.Bar->SetMin(C.Min);
        F.Bar->SetFrequency(C.Frequency);
        EXPECT_EQ(F.Bar->TickList(), C.Ticks);
    }
}

// Rows (horizontal) or columns (vertical) of the rendered image that are
// black along a line across the tick band.
std::vector<int> BlackAlong(const QImage& I, bool Horizontal, int Across, int From, int To)
{
    std::vector<int> Out;
    for (int A = From; A < To; ++A)
        if ((Horizontal ? Rgb(I, A, Across) : Rgb(I, Across, A)) == 0)
            Out.push_back(A);
    return Out;
}

TEST(nvTrackBar, RenderedTicks)
{
    // Horizontal, ticks below: lines from track Bottom + 8 to + 11 at track
    // Left + pixel; above: Top - 6 down to Top - 9.
    {
        TFixture F;
        F.Bar->SetFrequency(2);
        const QImage I = F.Bar->Render();
        Dump(I, "trackbar-ticks.png");
        EXPECT_EQ(BlackAlong(I, true, 26, 0, 150), (std::vector<int>{10, 36, 62, 88, 114, 140}));
        EXPECT_EQ(BlackAlong(I, false, 36, 17, 45), (std::vector<int>{25, 26, 27, 28}));
    }
    {
        TFixture F;
        F.Bar->SetTickMarks(tmnvBoth);
        F.Bar->SetFrequency(5);
        const QImage I = F.Bar->Render();
        // Track 14 .. 24: above 4 .. 8, below 32 .. 35.
        EXPECT_EQ(BlackAlong(I, false, 75, 0, 45), (std::vector<int>{5, 6, 7, 8, 32, 33, 34, 35}));
    }
    {
        TFixture F(trnvVertical);
        F.Bar->SetFrequency(5);
        F.Bar->SetInverted(true);
        const QImage I = F.Bar->Render();
        Dump(I, "trackbar-vertical.png");
        // Track 7 .. 17: ticks from x 25 to 28 at y 10 + pixel.
        EXPECT_EQ(BlackAlong(I, false, 26, 0, 150), (std::vector<int>{10, 75, 140}));
        EXPECT_EQ(BlackAlong(I, true, 75, 17, 45), (std::vector<int>{25, 26, 27, 28}));
    }
}

TEST(nvTrackBar, ChannelAndThumbPixels)
{
    TFixture F;
    F.Bar->SetPosition(5);
    const QImage I = F.Bar->Render();
    Dump(I, "trackbar-classic.png");
    // The channel: track (10, 7, 140, 17) widened by 4 to (6, 7, 144, 17).
    EXPECT_EQ(Rgb(I, 5, 12), Sys(clBtnShadow));
    EXPECT_EQ(Rgb(I, 20, 7), Sys(clBtnShadow));
    EXPECT_EQ(Rgb(I, 6, 12), 0x808080u);
    EXPECT_EQ(Rgb(I, 20, 8), 0x808080u);
    EXPECT_EQ(Rgb(I, 20, 12), 0xFFFFFFu);
    EXPECT_EQ(Rgb(I, 20, 16), Sys(clBtnFace));
    EXPECT_EQ(Rgb(I, 20, 17), Sys(clBtnHighlight));
    EXPECT_EQ(Rgb(I, 145, 12), Sys(clBtnHighlight));
    // Background in the parent's colour.
    EXPECT_EQ(Rgb(I, 2, 2), Sys(clBtnFace));
    // The thumb at x 70 .. 80, y 4: body down to 19, point down to 24.
    EXPECT_EQ(Rgb(I, 75, 12), Sys(clBtnFace));
    EXPECT_EQ(Rgb(I, 71, 10), Sys(clBtnHighlight)); // raised left edge, inner line
    EXPECT_NE(Rgb(I, 79, 10), Sys(clBtnFace));      // right edge in shadow
    EXPECT_EQ(Rgb(I, 75, 21), Sys(clBtnFace));      // inside the point
    EXPECT_EQ(Rgb(I, 71, 23), Sys(clBtnFace));      // background beside the tip
    EXPECT_NE(Rgb(I, 75, 12), Rgb(I, 75, 25));      // the tick below differs

    // A coloured thumb; the point faces down also with ticks above.
    TFixture G;
    G.Bar->SetTickMarks(tmnvTopLeft);
    G.Bar->SetThumbColor(clYellow);
    G.Bar->SetPosition(5);
    const QImage J = G.Bar->Render();
    Dump(J, "trackbar-topleft.png");
    EXPECT_EQ(Rgb(J, 75, 18), Sys(clYellow));
    EXPECT_EQ(Rgb(J, 75, 28), Sys(clYellow)); // tip below the body (body ends at 26)
    EXPECT_NE(Rgb(J, 71, 30), Sys(clYellow));

    // Hidden slider: no thumb.
    G.Bar->SetSliderVisible(false);
    EXPECT_EQ(Rgb(G.Bar->Render(), 75, 18), 0xFFFFFFu);
}

TEST(nvTrackBar, VerticalThumbShapes)
{
    struct TCase {
        TnvTickMark Marks;
        std::vector<TPoint> Thumb, Background;
    };
    // Position 0: the thumb at y 5 .. 15, from x 4 (11 with ticks on the
    // left), 20 long; the point, when there is one, 5 deep.
    const TCase Cases[] = {
        {tmnvBottomRight, {TPoint(10, 10), TPoint(17, 8), TPoint(19, 10), TPoint(19, 11)}, {TPoint(23, 6), TPoint(23, 14), TPoint(2, 10)}},
        {tmnvTopLeft, {TPoint(22, 10), TPoint(14, 10), TPoint(14, 9)}, {TPoint(11, 6), TPoint(11, 14), TPoint(33, 10)}},
        {tmnvBoth, {TPoint(20, 10), TPoint(13, 7), TPoint(28, 12)}, {TPoint(9, 10), TPoint(33, 6)}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(testing::Message() << "marks " << C.Marks);
        TFixture F(trnvVertical);
        F.Bar->SetTickMarks(C.Marks);
        F.Bar->SetThumbColor(clYellow);
        const QImage I = F.Bar->Render();
        Dump(I, (std::string("trackbar-vthumb-") + std::to_string(int(C.Marks)) + ".png").c_str());
        for (const TPoint& P : C.Thumb)
            EXPECT_EQ(Rgb(I, P.X, P.Y), Sys(clYellow)) << P.X << "," << P.Y;
        for (const TPoint& P : C.Background)
            EXPECT_EQ(Rgb(I, P.X, P.Y), Sys(clBtnFace)) << P.X << "," << P.Y;
    }
}

TEST(nvTrackBar, PartialFillAndSelection)
{
    struct TCase {
        const char* What;
        bool Inverted;
        double SelStart, SelEnd;
        std::vector<std::pair<int, QRgb>> Pixels; // x on row 12 and its colour
    };
    const QRgb Red = Sys(clRed), Sel = Sys(clHighlight), White = 0xFFFFFFu;
    const TCase Cases[] = {
        {"fill up to the thumb", false, 0, 0, {{8, Red}, {60, Red}, {74, Red}, {100, White}}},
        {"inverted fills behind", true, 0, 0, {{60, White}, {100, Red}, {142, Red}}},
        {"selection 2 .. 4 over the fill", false, 2, 4, {{30, Red}, {40, Sel}, {61, Sel}, {63, Red}}},
        {"selection from 0 is not shown", false, 0, 4, {{40, Red}}},
        {"reversed selection is not shown", false, 4, 2, {{40, Red}}},
        {"inverted selection lies mirrored", true, 2, 4, {{88, Sel}, {113, Sel}, {115, Red}, {86, Red}}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        TFixture F;
        F.Bar->SetTrackPartialFillColor(clRed);
        F.Bar->SetInverted(C.Inverted);
        F.Bar->SetSliderVisible(false);
        F.Bar->SetPosition(5);
        F.Bar->SetSelStart(C.SelStart);
        F.Bar->SetSelEnd(C.SelEnd);
        const QImage I = F.Bar->Render();
        for (const auto& [X, Colour] : C.Pixels)
            EXPECT_EQ(Rgb(I, X, 12), Colour) << "x " << X;
    }
}

TEST(nvTrackBar, ChannelClicksStepAndRepeat)
{
    TFixture F;
    F.Show();
    F.Bar->SetPosition(5); // thumb 70 .. 80
    // Outside the channel grown by 2: nothing.
    TFixture::Mouse(F.Bar, WM_LBUTTONDOWN, 30, 30);
    TFixture::Mouse(F.Bar, WM_LBUTTONUP, 30, 30);
    EXPECT_EQ(F.Bar->Position(), 5.0);
    EXPECT_EQ(F.Bar->RepeatTimer(), nullptr);
    // Left of the thumb: one step down, repeating after 400 ms.
    F.CursorAt(30, 12);
    TFixture::Mouse(F.Bar, WM_LBUTTONDOWN, 30, 12);
    ASSERT_NE(F.Bar->RepeatTimer(), nullptr);
    EXPECT_EQ(F.Bar->Position(), 4.0);
    EXPECT_EQ(F.Bar->RepeatTimer()->RepeatStep, -1.0);
    EXPECT_EQ(F.Bar->RepeatTimer()->Interval(), 400);
    EXPECT_TRUE(F.Bar->RepeatTimer()->Enabled());
    EXPECT_TRUE(F.Bar->Focused() || F.Form.ActiveControl() == F.Bar);
    // Ticks step on at 100 ms while the cursor stays before the thumb.
    F.Bar->RepeatTimerTick();
    EXPECT_EQ(F.Bar->Position(), 3.0);
    EXPECT_EQ(F.Bar->RepeatTimer()->Interval(), 100);
    F.Bar->RepeatTimerTick(); // thumb now at 31 .. 41, still after the cursor
    EXPECT_EQ(F.Bar->Position(), 2.0);
    F.Bar->RepeatTimerTick(); // thumb at 18 .. 28: it passed the cursor
    EXPECT_EQ(F.Bar->Position(), 1.0);
    EXPECT_TRUE(F.Bar->RepeatTimer()->Enabled());
    F.Bar->RepeatTimerTick();
    EXPECT_EQ(F.Bar->Position(), 1.0);
    EXPECT_FALSE(F.Bar->RepeatTimer()->Enabled());
    // Right of the thumb; the cursor leaving the bar across the channel stops it.
    F.CursorAt(120, 12);
    TFixture::Mouse(F.Bar, WM_LBUTTONDOWN, 120, 12);
    EXPECT_EQ(F.Bar->Position(), 2.0);
    F.CursorAt(120, 60);
    F.Bar->RepeatTimerTick();
    EXPECT_EQ(F.Bar->Position(), 2.0);
    EXPECT_FALSE(F.Bar->RepeatTimer()->Enabled());
    // Releasing the button stops the repeat.
    F.CursorAt(120, 12);
    TFixture::Mouse(F.Bar, WM_LBUTTONDOWN, 120, 12);
    EXPECT_TRUE(F.Bar->RepeatTimer()->Enabled());
    TFixture::Mouse(F.Bar, WM_LBUTTONUP, 120, 12);
    EXPECT_FALSE(F.Bar->RepeatTimer()->Enabled());
    EXPECT_EQ(F.Bar->Position(), 3.0);
    // Inverted: left of the thumb goes up; a repeat in the wrong direction stops.
    F.Bar->SetInverted(true);
    F.Bar->SetPosition(5); // thumb at 70 .. 80 again
    F.CursorAt(30, 12);
    TFixture::Mouse(F.Bar, WM_LBUTTONDOWN, 30, 12);
    EXPECT_EQ(F.Bar->Position(), 6.0);
    EXPECT_EQ(F.Bar->RepeatTimer()->RepeatStep, 1.0);
    F.Bar->RepeatTimerTick();
    EXPECT_EQ(F.Bar->Position(), 7.0);
    F.CursorAt(140, 12);
    F.Bar->RepeatTimerTick();
    EXPECT_EQ(F.Bar->Position(), 7.0);
    EXPECT_FALSE(F.Bar->RepeatTimer()->Enabled());
    TFixture::Mouse(F.Bar, WM_LBUTTONUP, 140, 12);
    // Vertical: below the thumb steps up.
    TFixture V(trnvVertical);
    V.Show();
    V.CursorAt(12, 100);
    TFixture::Mouse(V.Bar, WM_LBUTTONDOWN, 12, 100);
    EXPECT_EQ(V.Bar->Position(), 1.0);
    V.Bar->RepeatTimerTick();
    EXPECT_EQ(V.Bar->Position(), 2.0);
    TFixture::Mouse(V.Bar, WM_LBUTTONUP, 12, 100);
}

TEST(nvTrackBar, ThumbDrags)
{
    TFixture F;
    F.Show();
    TnvTrackIcon* T = F.Bar->ThumbControl();
    int Ends = 0;
    T->OnEndDrag = [&](TObject*) { ++Ends; };
    ASSERT_EQ(T->Left(), 5);
    // A press and a small move: no drag yet.
    TFixture::Mouse(T, WM_LBUTTONDOWN, 5, 10, ssLeft);
    TFixture::Mouse(T, WM_MOUSEMOVE, 7, 12, ssLeft);
    EXPECT_FALSE(T->Dragging());
    EXPECT_EQ(F.Bar->Position(), 0.0);
    // Moving 26 pixels right: pixel 26 is value 2.
    TFixture::Mouse(T, WM_MOUSEMOVE, 31, 10, ssLeft);
    EXPECT_TRUE(T->Dragging());
    EXPECT_EQ(F.Bar->Position(), 2.0);
    EXPECT_EQ(T->Left(), 31);
    // The thumb moved with it: the next move counts from its new place.
    TFixture::Mouse(T, WM_MOUSEMOVE, 18, 10, ssLeft);
    EXPECT_EQ(F.Bar->Position(), 3.0);
    // Past the end: clamped to Max.
    TFixture::Mouse(T, WM_MOUSEMOVE, 400, 10, ssLeft);
    EXPECT_EQ(F.Bar->Position(), 10.0);
    TFixture::Mouse(T, WM_LBUTTONUP, 5, 10);
    EXPECT_FALSE(T->Dragging());
    EXPECT_EQ(Ends, 1);
    // A vertical drag of 6 pixels moves the position by 6 / 1.3 -> 5 rounded.
    // A press and release without moving is no drag.
    TFixture::Mouse(T, WM_LBUTTONDOWN, 5, 10, ssLeft);
    TFixture::Mouse(T, WM_LBUTTONUP, 5, 10);
    EXPECT_EQ(Ends, 1);
    // The right button never drags.
    TFixture::Mouse(T, WM_RBUTTONDOWN, 5, 10, ssRight);
    TFixture::Mouse(T, WM_MOUSEMOVE, 60, 10, ssRight);
    EXPECT_EQ(F.Bar->Position(), 10.0);
    EXPECT_FALSE(T->Dragging());
    TFixture::Mouse(T, WM_RBUTTONUP, 60, 10);

    // Snapping to quarter steps while dragging a vertical, inverted bar.
    TFixture V(trnvVertical);
    V.Show();
    V.Bar->SetIncrement(0.25);
    V.Bar->SetInverted(true);
    TnvTrackIcon* VT = V.Bar->ThumbControl();
    ASSERT_EQ(VT->Top(), 135);
    TFixture::Mouse(VT, WM_LBUTTONDOWN, 10, 5, ssLeft);
    // Up 20 pixels: pixel 110, value 10 - 110 / 13 = 1.538 -> 1.5.
    TFixture::Mouse(VT, WM_MOUSEMOVE, 10, -15, ssLeft);
    EXPECT_EQ(V.Bar->Position(), 1.5);
    TFixture::Mouse(VT, WM_LBUTTONUP, 10, -15);
}

TEST(nvTrackBar, Keys)
{
    struct TCase {
        Word Key;
        bool Inverted;
        double Expected;
    };
    const TCase Cases[] = {
        {VK_RIGHT, false, 6}, {VK_DOWN, false, 6}, {VK_LEFT, false, 4},  {VK_UP, false, 4},
        {VK_NEXT, false, 7},  {VK_PRIOR, false, 3}, {VK_RIGHT, true, 4}, {VK_UP, true, 6},
        {VK_NEXT, true, 3},   {VK_PRIOR, true, 7},  {VK_HOME, false, 5},
    };
    for (const TCase& C : Cases) {
        TFixture F;
        F.Bar->SetPosition(5);
        F.Bar->SetInverted(C.Inverted);
        F.Bar->Perform(WM_KEYDOWN, C.Key);
        EXPECT_EQ(F.Bar->Position(), C.Expected) << "key " << C.Key << " inverted " << C.Inverted;
    }
    // A key cleared by OnKeyDown does nothing.
    TFixture F;
    F.Bar->OnKeyDown = [](TObject*, Word& Key, TShiftState) { Key = 0; };
    F.Bar->Perform(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(F.Bar->Position(), 0.0);
    // Snapping counts from 0, not from Min: from 0.5 the keys reach whole
    // numbers only and never come back to 0.5.
    TFixture G;
    G.Bar->SetMin(0.5);
    G.Bar->SetPosition(0.5);
    EXPECT_EQ(G.Bar->Position(), 0.5);
    G.Bar->Perform(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(G.Bar->Position(), 2.0);
    for (int I = 0; I < 3; ++I)
        G.Bar->Perform(WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(G.Bar->Position(), 1.0);
    // The arrows are the bar's own keys, not the form's.
    TFixture H;
    H.Show();
    H.Bar->SetFocus();
    QKeyEvent Press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(H.Bar, &Press);
    EXPECT_EQ(H.Bar->Position(), 1.0);
}

TEST(nvTrackBar, TickTextEvent)
{
    TFixture F;
    F.Bar->SetMax(3);
    F.Bar->SetFrequency(0.5);
    F.Bar->TextAttributes()->SetTickLabelFrequency(2);
    F.Bar->TextAttributes()->SetTickDisplayFormat("0.0");
    struct TCall {
        double Value;
        String Text;
        TRect Rect;
    };
    std::vector<TCall> Calls;
    // The demonstration's naming: whole values 0 .. 3 get names.
    F.Bar->OnDrawTickText = [&](TObject*, double V, String& Text, TRect& R, bool&) {
        Calls.push_back({V, Text, R});
        static const char* Names[] = {"Low", "Medium", "High", "Top Priority"};
        for (int I = 0; I < 4; ++I)
            if (std::fabs(V - I) < 0.01)
                Text = Names[I];
    };
    const QImage Named = F.Bar->Render();
    Dump(Named, "trackbar-ticktext.png");
    // Labels on every second tick (values 0, 1, 2, 3), below the ticks.
    ASSERT_EQ(Calls.size(), 4u);
    for (int I = 0; I < 4; ++I) {
        EXPECT_EQ(Calls[I].Value, double(I));
        EXPECT_EQ(Calls[I].Text, FormatFloat("0.0", I));
        const int X = 10 + 130 * I / 3;
        EXPECT_EQ(Calls[I].Rect.Top, 31);
        EXPECT_LE(Calls[I].Rect.Left, X);
        EXPECT_GE(Calls[I].Rect.Right, X - 1);
    }
    // DoDefault off: the bar draws no text at all.
    F.Bar->OnDrawTickText = [](TObject*, double, String&, TRect&, bool& DoDefault) { DoDefault = false; };
    const QImage Silent = F.Bar->Render();
    auto DarkBelow = [](const QImage& I) {
        int N = 0;
        for (int Y = 31; Y < 45; ++Y)
            for (int X = 0; X < 150; ++X)
                N += qGray(I.pixel(X, Y)) < 100;
        return N;
    };
    EXPECT_GT(DarkBelow(Named), 20);
    EXPECT_EQ(DarkBelow(Silent), 0);
    // No label frequency: no event.
    Calls.clear();
    F.Bar->OnDrawTickText = [&](TObject*, double V, String& T, TRect& R, bool&) { Calls.push_back({V, T, R}); };
    F.Bar->TextAttributes()->SetTickLabelFrequency(0);
    F.Bar->Render();
    EXPECT_TRUE(Calls.empty());
    // With ticks on both sides the labels stay below.
    F.Bar->TextAttributes()->SetTickLabelFrequency(1);
    F.Bar->SetTickMarks(tmnvBoth);
    F.Bar->Render();
    ASSERT_FALSE(Calls.empty());
    EXPECT_EQ(Calls[0].Rect.Top, 24 + 5 + 9);
    // Above with tmnvTopLeft: ending 11 above the track.
    Calls.clear();
    F.Bar->SetTickMarks(tmnvTopLeft);
    F.Bar->Render();
    ASSERT_FALSE(Calls.empty());
    EXPECT_EQ(Calls[0].Rect.Bottom, 14 - 11);
}

TEST(nvTrackBar, ValueText)
{
    struct TCase {
        TnvTrackBarTextPosition Pos;
        int X0, X1, Y0, Y1; // where dark text pixels must lie
    };
    const TCase Cases[] = {
        {tbtLeft, 0, 40, 0, 30},
        {tbtRight, 110, 150, 0, 30},
        {tbtBottom, 40, 110, 28, 45},
    };
    for (const TCase& C : Cases) {
        TFixture F;
        F.Bar->SetSliderVisible(false);
        F.Bar->SetTickStyle(tsnvNone);
        F.Bar->SetTrackColor(clBtnFace);
        F.Bar->SetPosition(3);
        F.Bar->TextAttributes()->SetShowText(true);
        F.Bar->TextAttributes()->SetDisplayFormat("0.00 'in'");
        F.Bar->TextAttributes()->SetPosition(C.Pos);
        EXPECT_EQ(F.Bar->ValueText(), "3.00 in");
        const QImage I = F.Bar->Render();
        int Inside = 0, Outside = 0;
        for (int Y = 0; Y < 45; ++Y)
            for (int X = 0; X < 150; ++X)
                if (Rgb(I, X, Y) == 0)
                    (X >= C.X0 && X < C.X1 && Y >= C.Y0 && Y < C.Y1 ? Inside : Outside)++;
        EXPECT_GT(Inside, 10) << C.Pos;
        EXPECT_EQ(Outside, 0) << C.Pos;
    }
    TFixture F;
    F.Bar->SetPosition(4);
    EXPECT_EQ(F.Bar->ValueText(), "4");
}

TEST(nvTrackBar, ThemedDrawing)
{
    SetThemeServicesEnabled(true);
    TFixture F;
    F.Bar->SetPosition(5);
    F.CursorAt(140, 40); // away from the thumb
    const QImage Themed = F.Bar->Render();
    EXPECT_EQ(F.Bar->ThumbThemePart(), TKP_THUMBBOTTOM);
    EXPECT_EQ(F.Bar->ThumbThemeState(70, 4), TUS_NORMAL);
    F.Bar->SetEnabled(false);
    EXPECT_EQ(F.Bar->ThumbThemeState(70, 4), TUS_DISABLED);
    F.Bar->SetEnabled(true);
    F.Bar->SetDisableThemes(true);
    const QImage Classic = F.Bar->Render();
    SetThemeServicesEnabled(false);
    Dump(Themed, "trackbar-themed.png");
    EXPECT_EQ(Rgb(Classic, 20, 12), 0xFFFFFFu);
    int Differ = 0;
    for (int Y = 0; Y < 30; ++Y)
        for (int X = 0; X < 150; ++X)
            Differ += Rgb(Themed, X, Y) != Rgb(Classic, X, Y);
    EXPECT_GT(Differ, 50);
    struct TPart {
        TnvTrackBarOrientation O;
        TnvTickMark M;
        int Part;
    };
    for (const TPart& P : {TPart{trnvHorizontal, tmnvBoth, TKP_THUMB}, TPart{trnvHorizontal, tmnvTopLeft, TKP_THUMBTOP},
                           TPart{trnvVertical, tmnvBoth, TKP_THUMBVERT}, TPart{trnvVertical, tmnvTopLeft, TKP_THUMBLEFT},
                           TPart{trnvVertical, tmnvBottomRight, TKP_THUMBRIGHT}}) {
        TFixture G(P.O);
        G.Bar->SetTickMarks(P.M);
        EXPECT_EQ(G.Bar->ThumbThemePart(), P.Part);
    }
}

TEST(nvTrackBar, FocusRectangleAndThumbStates)
{
    TFixture F;
    auto* Other = new TTestTrackBar(&F.Form);
    Other->SetParent(&F.Form);
    Other->SetTop(100);
    F.Show();
    Other->SetFocus();
    F.Bar->SetPosition(5);
    F.CursorAt(140, 40);
    const QImage Unfocused = F.Bar->Render();
    EXPECT_EQ(F.Bar->ThumbThemeState(70, 4), TUS_NORMAL);
    F.Bar->SetFocus();
    ASSERT_TRUE(F.Bar->Focused());
    const QImage Focused = F.Bar->Render();
    Dump(Focused, "trackbar-focused.png");
    // A dotted frame 2 pixels inside the client rectangle.
    EXPECT_EQ(Rgb(Unfocused, 2, 30), Sys(clBtnFace));
    EXPECT_NE(Rgb(Focused, 2, 30), Rgb(Focused, 2, 31));
    EXPECT_EQ(Rgb(Focused, 1, 30), Sys(clBtnFace));
    EXPECT_EQ(Rgb(Focused, 3, 30), Sys(clBtnFace));
    // Not on a copy painted for a grid.
    F.Bar->SetControlState(F.Bar->ControlState() | csPaintCopy);
    EXPECT_EQ(F.Bar->Render(), Unfocused);
    F.Bar->SetControlState(F.Bar->ControlState() & ~TControlState(csPaintCopy));
    // Theme states: focused, hot under the cursor, pressed while dragged.
    EXPECT_EQ(F.Bar->ThumbThemeState(70, 4), TUS_FOCUSED);
    F.CursorAt(75, 10);
    EXPECT_EQ(F.Bar->ThumbThemeState(70, 4), TUS_HOT);
    TnvTrackIcon* T = F.Bar->ThumbControl();
    TFixture::Mouse(T, WM_LBUTTONDOWN, 5, 10, ssLeft);
    TFixture::Mouse(T, WM_MOUSEMOVE, 20, 10, ssLeft);
    EXPECT_EQ(F.Bar->ThumbThemeState(T->Left(), 4), TUS_PRESSED);
    TFixture::Mouse(T, WM_LBUTTONUP, 20, 10);
}

TEST(nvTrackBar, ThumbIcon)
{
    TFixture F;
    TBitmap Icon;
    Icon.SetSize(8, 12);
    Icon.Canvas()->Brush()->SetColor(clLime);
    Icon.Canvas()->FillRect(TRect(0, 0, 8, 12));
    Icon.Canvas()->Brush()->SetColor(clFuchsia); // bottom-left: transparent
    Icon.Canvas()->FillRect(TRect(0, 10, 8, 12));
    F.Bar->SetTrackThumbIcon(&Icon);
    // The thumb control takes the icon's width when its window is next made.
    EXPECT_EQ(F.Bar->ThumbControl()->Width(), 10);
    F.Bar->RecreateWnd();
    EXPECT_EQ(F.Bar->ThumbControl()->Width(), 8);
    EXPECT_FALSE(F.Bar->ThumbControl()->Bitmap()->Empty());
    F.Bar->SetPosition(5);
    const QImage I = F.Bar->Render();
    Dump(I, "trackbar-icon.png");
    // Drawn at (track Left + pixel - 4, thumb Top) = (71, 4).
    EXPECT_EQ(Rgb(I, 71, 4), Sys(clLime));
    EXPECT_EQ(Rgb(I, 78, 13), Sys(clLime));
    EXPECT_NE(Rgb(I, 71, 15), Sys(clFuchsia));
    EXPECT_NE(Rgb(I, 70, 8), Sys(clLime));
}

TEST(nvTrackBar, FollowsAFloatField)
{
    InitApplication();
    TForm Form;
    Form.SetBounds(0, 0, 300, 200);
    auto* Data = new TClientDataSet(&Form);
    Data->FieldDefs()->Add("Total", ftFloat);
    Data->CreateDataSet();
    for (double V : {2.3, 7.8, 12.0}) {
        Data->Append();
        Data->FieldByName("Total")->SetAsFloat(V);
        Data->Post();
    }
    Data->First();
    auto* Source = new TDataSource(&Form);
    Source->SetDataSet(Data);
    auto* Bar = new TTestTrackBar(&Form);
    Bar->SetParent(&Form);
    Bar->SetMax(20);
    Bar->SetIncrement(0.5);
    int Changes = 0;
    Bar->OnChange = [&](TObject*) { ++Changes; };
    Bar->SetDataSource(Source);
    Bar->SetDataField("Total");
    // The field's value, snapped; the text shows it unsnapped while browsing.
    EXPECT_EQ(Bar->Position(), 2.5);
    EXPECT_EQ(Bar->DisplayValue(), 2.3);
    EXPECT_EQ(Bar->ValueText(), "2.3");
    EXPECT_EQ(Data->State(), dsBrowse);
    Data->Next();
    EXPECT_EQ(Bar->Position(), 8.0);
    // A copy painted for a grid shows each record's snapped value.
    Data->Next();
    Bar->SetControlState(Bar->ControlState() | csPaintCopy);
    Data->First();
    EXPECT_EQ(Bar->GetPosition(), 2.5);
    Bar->SetControlState(Bar->ControlState() & ~TControlState(csPaintCopy));
    // Moving the bar puts the dataset into edit mode; leaving writes back.
    Changes = 0;
    Bar->Perform(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(Bar->Position(), 3.0);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Data->State(), dsEdit);
    EXPECT_TRUE(Bar->DataLink()->IsModified());
    EXPECT_EQ(Bar->DisplayValue(), 3.0); // not browsing: the bar's own value
    Bar->Perform(CM_EXIT);
    EXPECT_EQ(Data->FieldByName("Total")->AsFloat(), 3.0);
    Data->Post();
    // Without AutoEdit a browsing dataset is not edited, the bar still moves.
    Source->SetAutoEdit(false);
    Bar->Perform(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(Data->State(), dsBrowse);
    EXPECT_EQ(Bar->Position(), 3.5);
    Source->SetAutoEdit(true);
    // A read-only link keeps the position, but the field still drives it.
    Bar->DataLink()->SetReadOnly(true);
    EXPECT_TRUE(Bar->IsReadOnly());
    Bar->Perform(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(Bar->Position(), 3.5);
    Data->Next();
    EXPECT_EQ(Bar->Position(), 8.0);
    Bar->DataLink()->SetReadOnly(false);
    EXPECT_EQ(reinterpret_cast<TFieldDataLink*>(Bar->Perform(CM_GETDATALINK)), Bar->DataLink());
    delete Source;
    EXPECT_EQ(Bar->DataSource(), nullptr);
}

TEST(nvTrackBar, FailedWriteBackKeepsTheFocus)
{
    InitApplication();
    TForm Form;
    Form.SetBounds(0, 0, 300, 200);
    auto* Data = new TClientDataSet(&Form);
    Data->FieldDefs()->Add("Total", ftFloat);
    Data->CreateDataSet();
    Data->Append();
    Data->FieldByName("Total")->SetAsFloat(1);
    Data->Post();
    auto* Source = new TDataSource(&Form);
    Source->SetDataSet(Data);
    auto* Bar = new TTestTrackBar(&Form);
    Bar->SetParent(&Form);
    auto* Other = new TTestTrackBar(&Form);
    Other->SetParent(&Form);
    Other->SetTop(60);
    Bar->SetDataSource(Source);
    Bar->SetDataField("Total");
    Form.Show();
    QApplication::setActiveWindow(&Form);
    Bar->SetFocus();
    Data->FieldByName("Total")->OnValidate = [](TField* F) {
        if (F->AsFloat() > 5)
            throw Exception("Total too large");
    };
    Bar->SetPosition(8);
    EXPECT_EQ(Data->State(), dsEdit);
    // Moving the focus away writes the value back; the field refuses it:
    // the error passes on and the focus comes back to the bar.
    String Error;
    try {
        Other->SetFocus();
    } catch (const Exception& E) {
        Error = E.Message();
    }
    EXPECT_EQ(Error, "Total too large");
    EXPECT_EQ(Form.ActiveControl(), Bar);
    EXPECT_THROW(Bar->Perform(CM_EXIT), Exception);
    EXPECT_EQ(Data->FieldByName("Total")->AsFloat(), 1.0);
}

TEST(nvTrackBar, StoredFormRoundTrip)
{
    InitApplication();
    String Text;
    {
        TForm Form;
        auto* Bar = new TnvTrackBar(&Form);
        Bar->SetName("Ruler");
        Bar->SetParent(&Form);
        Bar->SetIncrement(0.25);
        Bar->SetMax(30);
        Bar->SetMin(-5);
        Bar->SetPosition(12.5);
        Bar->SetFrequency(2.5);
        Bar->SetOrientation(trnvVertical);
        Bar->SetTickMarks(tmnvBoth);
        Bar->SetTickStyle(tsnvManual);
        Bar->SetSelStart(1);
        Bar->SetSelEnd(4);
        Bar->SetTrackPartialFillColor(clRed);
        Bar->SetThumbLength(24);
        Bar->SetSpacingLeftTop(8);
        Bar->SetInverted(true);
        Bar->TextAttributes()->SetShowText(true);
        Bar->TextAttributes()->SetDisplayFormat("0.00 'inches'");
        Bar->TextAttributes()->SetPosition(tbtBottom);
        Bar->TextAttributes()->SetTickLabelFrequency(2);
        TBitmap Icon;
        Icon.SetSize(6, 9);
        Icon.Canvas()->Brush()->SetColor(clBlue);
        Icon.Canvas()->FillRect(TRect(0, 0, 6, 9));
        Bar->SetTrackThumbIcon(&Icon);
        Text = ComponentToText(&Form);
    }
    EXPECT_NE(Text.find("ThumbColor = clBtnFace"), String::npos) << Text; // always stored
    EXPECT_NE(Text.find("Orientation = trnvVertical"), String::npos) << Text;
    EXPECT_EQ(Text.find("TnvTrackIcon"), String::npos) << Text;
    TForm Form;
    ReadComponentFromText(Text, &Form);
    auto* Bar = dynamic_cast<TnvTrackBar*>(Form.FindComponent("Ruler"));
    ASSERT_NE(Bar, nullptr);
    EXPECT_EQ(Bar->Increment(), 0.25);
    EXPECT_EQ(Bar->Min(), -5.0);
    EXPECT_EQ(Bar->Max(), 30.0);
    EXPECT_EQ(Bar->Position(), 12.5);
    EXPECT_EQ(Bar->Frequency(), 2.5);
    EXPECT_EQ(Bar->Orientation(), trnvVertical);
    EXPECT_EQ(Bar->TickMarks(), tmnvBoth);
    EXPECT_EQ(Bar->TickStyle(), tsnvManual);
    EXPECT_EQ(Bar->SelStart(), 1.0);
    EXPECT_EQ(Bar->SelEnd(), 4.0);
    EXPECT_EQ(Bar->TrackPartialFillColor(), clRed);
    EXPECT_EQ(Bar->ThumbLength(), 24);
    EXPECT_EQ(Bar->SpacingLeftTop(), 8);
    EXPECT_TRUE(Bar->Inverted());
    EXPECT_TRUE(Bar->TextAttributes()->ShowText());
    EXPECT_EQ(Bar->TextAttributes()->DisplayFormat(), "0.00 'inches'");
    EXPECT_EQ(Bar->TextAttributes()->Position(), tbtBottom);
    EXPECT_EQ(Bar->TextAttributes()->TickLabelFrequency(), 2);
    ASSERT_EQ(Bar->TrackThumbIcon()->Width(), 6);
    EXPECT_EQ(Bar->TrackThumbIcon()->Height(), 9);
    // Loading sized the thumb from the icon (vertical: its height).
    EXPECT_EQ(Bar->ThumbControl()->Height(), 9);
    EXPECT_EQ(Bar->ThumbControl()->Width(), 24);
    // A corrupt stored value names the property.
    String Bad = Text;
    const size_t P = Bad.find("TickStyle = tsnvManual");
    ASSERT_NE(P, String::npos);
    Bad.replace(P, 22, "TickStyle = tsnvSome");
    TForm Other;
    try {
        ReadComponentFromText(Bad, &Other);
        FAIL() << "no exception";
    } catch (const Exception& E) {
        EXPECT_NE(E.Message().find("TickStyle"), String::npos) << E.Message();
    }
}

} // namespace
