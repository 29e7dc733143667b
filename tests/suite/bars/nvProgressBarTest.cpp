// The suite's progress bar: value rules and events, the block walk on
// rendered pixels (both orientations, gaps, smooth), the percentage text and
// its inverse look, and the data binding.
#include <gtest/gtest.h>

#include <QDir>
#include <QProxyStyle>

#include <cstring>
#include <vector>

#include "DBClient.h"
#include "DBFields.h"
#include "FormStream.h"
#include "Forms.h"
#include "nvCommon.h"
#include "nvProgressBar.h"

namespace {

class TTestProgressBar : public TnvProgressBar {
public:
    explicit TTestProgressBar(TComponent* AOwner = nullptr) : TnvProgressBar(AOwner) {}
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

struct TFixture {
    TForm Form;
    TTestProgressBar* Bar;
    int Changes = 0;
    TFixture(int W = 106, int H = 20)
    {
        InitApplication();
        Form.SetBounds(0, 0, 400, 400);
        Bar = new TTestProgressBar(&Form);
        Bar->SetParent(&Form);
        Bar->SetBounds(0, 0, W, H);
        Bar->SetShowProgressText(false);
        Bar->OnChange = [this](TObject*) { ++Changes; };
    }
};

TEST(nvProgressBar, DefaultsAndRange)
{
    InitApplication();
    TnvProgressBar Bar;
    EXPECT_EQ(Bar.Width(), 150);
    EXPECT_EQ(Bar.Height(), GetSystemMetrics(SM_CYVSCROLL));
    EXPECT_EQ(Bar.Min(), 0);
    EXPECT_EQ(Bar.Max(), 100);
    EXPECT_EQ(Bar.Step(), 10);
    EXPECT_EQ(Bar.BlockSize(), 10);
    EXPECT_EQ(Bar.BlockColor(), clHighlight);
    EXPECT_EQ(Bar.Color(), clWindow);
    EXPECT_TRUE(Bar.ShowProgressText());
    EXPECT_FALSE(Bar.TabStop());
    EXPECT_TRUE(Bar.ControlStyle().testFlag(csReplicatable));
    // A bound past the other raises and changes nothing.
    try {
        Bar.SetMin(101);
        FAIL() << "no exception";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "TnvProgressBar property out of range");
    }
    EXPECT_THROW(Bar.SetMax(-1), EInvalidOperation);
    EXPECT_EQ(Bar.Min(), 0);
    EXPECT_EQ(Bar.Max(), 100);
    // The progress is not clamped again when the range changes.
    Bar.SetProgress(80);
    Bar.SetMax(50);
    EXPECT_EQ(Bar.Progress(), 80);
}

TEST(nvProgressBar, ProgressAndStepEvents)
{
    TFixture F;
    struct TStep {
        const char* What;
        std::function<void()> Do;
        int Progress, Changes;
    };
    const TStep Steps[] = {
        {"set 30", [&] { F.Bar->SetProgress(30); }, 30, 1},
        {"same value: nothing", [&] { F.Bar->SetProgress(30); }, 30, 1},
        {"above Max", [&] { F.Bar->SetProgress(250); }, 100, 2},
        {"above Max again: clamped to the old value, still reported", [&] { F.Bar->SetProgress(300); }, 100, 3},
        {"below Min", [&] { F.Bar->SetProgress(-5); }, 0, 4},
        {"step", [&] { F.Bar->StepIt(); }, 10, 5},
        {"step near Max", [&] { F.Bar->SetProgress(97); F.Bar->StepIt(); }, 100, 7},
    };
    for (const TStep& S : Steps) {
        S.Do();
        EXPECT_EQ(F.Bar->Progress(), S.Progress) << S.What;
        EXPECT_EQ(F.Changes, S.Changes) << S.What;
    }
}

// The columns of a rendered horizontal bar's middle row that show the block colour.
std::vector<int> BlockColumns(const QImage& I)
{
    std::vector<int> Out;
    for (int X = 0; X < I.width(); ++X)
        if (Rgb(I, X, I.height() / 2) == Sys(clHighlight))
            Out.push_back(X);
    return Out;
}

// Runs of consecutive values, as "first-last" texts.
std::vector<String> Runs(const std::vector<int>& V)
{
    std::vector<String> Out;
    for (size_t I = 0; I < V.size();) {
        size_t J = I;
        while (J + 1 < V.size() && V[J + 1] == V[J] + 1)
            ++J;
        Out.push_back(std::to_string(V[I]) + "-" + std::to_string(V[J]));
        I = J + 1;
    }
    return Out;
}

TEST(nvProgressBar, ClassicBlocks)
{
    // 106 wide: the inner area is 3 .. 103, 100 pixels for 100 values.
    struct TCase {
        const char* Name;
        int Progress;
        bool Smooth;
        std::vector<String> Blocks;
    };
    const TCase Cases[] = {
        {"empty", 0, false, {}},
        {"one whole block", 15, false, {"3-12"}},
        {"two blocks with a gap", 20, false, {"3-12", "15-22"}},
        {"smooth", 20, true, {"3-22"}},
        {"smooth, whole blocks only", 29, true, {"3-22"}},
        {"full", 100, false, {"3-12", "15-22", "25-32", "35-42", "45-52", "55-62", "65-72", "75-82", "85-92", "95-102"}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TFixture F;
        F.Bar->SetSmooth(C.Smooth);
        F.Bar->SetProgress(C.Progress);
        const QImage I = F.Bar->Render();
        EXPECT_EQ(Runs(BlockColumns(I)), C.Blocks);
        // Background and sunken edge.
        EXPECT_EQ(Rgb(I, 103, 10), Sys(clWindow));
        EXPECT_EQ(Rgb(I, 0, 10), Sys(clBtnShadow));
        EXPECT_EQ(Rgb(I, 105, 10), Sys(clBtnHighlight));
        if (const QByteArray Dir = qgetenv("ZEN_BARS_DUMP"); !Dir.isEmpty() && C.Progress == 100)
            I.save(QDir(QString::fromLocal8Bit(Dir)).filePath("progress-full.png"));
    }
    // A block size below 1 draws no blocks (and ends).
    TFixture F;
    F.Bar->SetBlockSize(0);
    F.Bar->SetProgress(50);
    EXPECT_TRUE(BlockColumns(F.Bar->Render()).empty());
}

TEST(nvProgressBar, VerticalFillsFromTheBottom)
{
    TFixture F(20, 106);
    F.Bar->SetOrientation(nvpbVertical);
    F.Bar->SetProgress(20);
    const QImage I = F.Bar->Render();
    std::vector<int> Rows;
    for (int Y = 0; Y < I.height(); ++Y)
        if (Rgb(I, 10, Y) == Sys(clHighlight))
            Rows.push_back(Y);
    // Inner 3 .. 103: the first block 93 .. 102, the second 83 .. 90.
    EXPECT_EQ(Runs(Rows), (std::vector<String>{"83-90", "93-102"}));
}

TEST(nvProgressBar, PercentageIsExactForEveryValueOfARange)
{
    InitApplication();
    TnvProgressBar Bar;
    // 0 .. 100: the percentage is the value itself (29, 57 and 58 included,
    // whose floating-point quotients fall just short of the integer).
    for (int P = 0; P <= 100; ++P) {
        Bar.SetProgress(P);
        EXPECT_EQ(Bar.ProgressText(), std::to_string(P) + "%");
    }
    // Other ranges: the exact quotient, truncated.
    struct TCase {
        int Min, Max, Progress;
        const char* Text;
    };
    const TCase Cases[] = {
        {0, 200, 58, "29%"},       {0, 300, 87, "29%"},        {1, 101, 30, "29%"},
        {-50, 50, 7, "57%"},       {-100, 100, 16, "58%"},      {0, 7, 5, "71%"},
        {0, 3, 1, "33%"},          {0, 1000, 999, "99%"},       {0, 1000, 1000, "100%"},
        {-2147483647 - 1, 2147483647, 0, "50%"}, {-2147483647 - 1, 2147483647, 2147483647, "100%"},
    };
    for (const TCase& C : Cases) {
        Bar.SetMin(-2147483647 - 1);
        Bar.SetMax(C.Max);
        Bar.SetMin(C.Min);
        Bar.SetProgress(C.Progress);
        EXPECT_EQ(Bar.ProgressText(), C.Text) << C.Min << ".." << C.Max << " at " << C.Progress;
        Bar.SetDisplayFormat("0.00");
        EXPECT_EQ(Bar.ProgressText(), String(C.Text, std::strlen(C.Text) - 1) + ".00") << "the same value formatted";
        Bar.SetDisplayFormat("");
    }
}

TEST(nvProgressBar, PercentageText)
{
    struct TCase {
        int Min, Max, Progress;
        const char* Format;
        const char* Text;
    };
    const TCase Cases[] = {
        {0, 100, 0, "", "0%"},        {0, 100, 37, "", "37%"},        {50, 150, 100, "", "50%"},
        {0, 3, 2, "", "66%"},         {0, 100, 42, "000", "042"},    {0, 100, 42, "0 'percent'", "42 percent"},
        {10, 10, 10, "", "0%"}, // an empty range counts as no progress
    };
    for (const TCase& C : Cases) {
        InitApplication();
        TnvProgressBar Bar;
        Bar.SetMax(C.Max);
        Bar.SetMin(C.Min);
        Bar.SetProgress(C.Progress);
        Bar.SetDisplayFormat(C.Format);
        EXPECT_EQ(Bar.ProgressText(), C.Text) << C.Min << ".." << C.Max << " at " << C.Progress;
    }
    // Drawn as the inverse of what lies under it: over the background the
    // text is the background's inverse, over a block the block's.
    TFixture F(200, 40);
    F.Bar->SetShowProgressText(true);
    F.Bar->Font()->SetSize(16);
    F.Bar->SetProgress(50);
    const QImage I = F.Bar->Render();
    if (const QByteArray Dir = qgetenv("ZEN_BARS_DUMP"); !Dir.isEmpty())
        I.save(QDir(QString::fromLocal8Bit(Dir)).filePath("progress-text.png"));
    int OverBlock = 0, OverBack = 0;
    for (int Y = 3; Y < 37; ++Y)
        for (int X = 3; X < 197; ++X) {
            const QRgb P = Rgb(I, X, Y);
            OverBlock += P == (~Sys(clHighlight) & 0xFFFFFFu);
            OverBack += P == (~Sys(clWindow) & 0xFFFFFFu);
        }
    EXPECT_GT(OverBlock, 5);
    EXPECT_GT(OverBack, 5);
}

// Records the orientation the bar asks the style for.
class TOrientationRecorder : public QProxyStyle {
public:
    mutable std::vector<bool> GrooveHorizontal, ChunkHorizontal;
    void drawControl(ControlElement Element, const QStyleOption* Option, QPainter* Painter,
                     const QWidget* Widget) const override
    {
        const bool Horizontal = Option->state.testFlag(State_Horizontal);
        if (Element == CE_ProgressBarGroove)
            GrooveHorizontal.push_back(Horizontal);
        else if (Element == CE_ProgressBarContents)
            ChunkHorizontal.push_back(Horizontal);
        QProxyStyle::drawControl(Element, Option, Painter, Widget);
    }
};

TEST(nvProgressBar, ThemedBarDrawsAChunkInItsOrientation)
{
    struct TCase {
        const char* Name;
        TnvProgressBarOrientation Orientation;
        int W, H;
        TPoint Start, End; // a point in the first and one in the last quarter of the bar
    };
    const TCase Cases[] = {
        {"horizontal, filling from the left", nvpbHorizontal, 106, 20, {20, 10}, {90, 10}},
        {"vertical, filling from the bottom", nvpbVertical, 20, 106, {10, 90}, {10, 20}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        SetThemeServicesEnabled(true);
        TOrientationRecorder Style;
        TFixture F(C.W, C.H);
        F.Bar->setStyle(&Style);
        F.Bar->SetOrientation(C.Orientation);
        F.Bar->SetProgress(50);
        const QImage Half = F.Bar->Render();
        F.Bar->SetProgress(0);
        const QImage Empty = F.Bar->Render();
        F.Bar->SetDisableThemes(true);
        const QImage Classic = F.Bar->Render();
        SetThemeServicesEnabled(false);
        if (const QByteArray Dir = qgetenv("ZEN_BARS_DUMP"); !Dir.isEmpty())
            Half.save(QDir(QString::fromLocal8Bit(Dir))
                          .filePath(QString("progress-themed-%1.png").arg(int(C.Orientation))));
        // The style is told the bar's orientation for the groove and the chunk.
        const bool Horizontal = C.Orientation == nvpbHorizontal;
        ASSERT_FALSE(Style.GrooveHorizontal.empty());
        ASSERT_FALSE(Style.ChunkHorizontal.empty());
        for (bool H : Style.GrooveHorizontal)
            EXPECT_EQ(H, Horizontal) << "groove";
        for (bool H : Style.ChunkHorizontal)
            EXPECT_EQ(H, Horizontal) << "chunk";
        // The chunk covers the first half only.
        EXPECT_NE(Rgb(Half, C.Start.X, C.Start.Y), Rgb(Empty, C.Start.X, C.Start.Y));
        EXPECT_EQ(Rgb(Half, C.End.X, C.End.Y), Rgb(Empty, C.End.X, C.End.Y));
        EXPECT_EQ(Rgb(Classic, C.Start.X, C.Start.Y), Sys(clWindow));
        F.Bar->setStyle(nullptr);
    }
}

TEST(nvProgressBar, FollowsAnIntegerField)
{
    InitApplication();
    TForm Form;
    auto* Data = new TClientDataSet(&Form);
    Data->FieldDefs()->Add("Paid", ftInteger);
    Data->CreateDataSet();
    for (int V : {25, 140, 60}) {
        Data->Append();
        Data->FieldByName("Paid")->SetAsInteger(V);
        Data->Post();
    }
    Data->First();
    auto* Source = new TDataSource(&Form);
    Source->SetDataSet(Data);
    auto* Bar = new TTestProgressBar(&Form);
    Bar->SetParent(&Form);
    Bar->SetDataSource(Source);
    Bar->SetDataField("Paid");
    EXPECT_EQ(Bar->Progress(), 25);
    Data->Next();
    EXPECT_EQ(Bar->Progress(), 100); // limited to Max
    // A copy painted for a grid shows the record's value, at most Max.
    Data->Next();
    EXPECT_EQ(Bar->Progress(), 60);
    Bar->SetProgress(10);
    EXPECT_EQ(Bar->Progress(), 10);
    Bar->SetControlState(Bar->ControlState() | csPaintCopy);
    EXPECT_EQ(Bar->Progress(), 60);
    Bar->SetMax(200);
    Data->Edit();
    Data->FieldByName("Paid")->SetAsInteger(250);
    EXPECT_EQ(Bar->Progress(), 200);
    Bar->SetControlState(Bar->ControlState() & ~TControlState(csPaintCopy));
    Data->Cancel();
    Bar->SetMax(100);
    // UpdateData writes the bar's value back.
    Data->Edit();
    Bar->SetProgress(45);
    Bar->UpdateData();
    EXPECT_EQ(Data->FieldByName("Paid")->AsInteger(), 45);
    Data->Post();
    EXPECT_EQ(reinterpret_cast<TFieldDataLink*>(Bar->Perform(CM_GETDATALINK)), Bar->DataLink());
    // The data source freed: unbound.
    delete Source;
    EXPECT_EQ(Bar->DataSource(), nullptr);
}

TEST(nvProgressBar, StoredFormAndLoadedChange)
{
    InitApplication();
    String Text;
    {
        TForm Form;
        auto* Bar = new TnvProgressBar(&Form);
        Bar->SetName("Gauge");
        Bar->SetParent(&Form);
        Bar->SetMax(200);
        Bar->SetProgress(120);
        Bar->SetOrientation(nvpbVertical);
        Bar->SetBlockColor(clRed);
        Bar->SetSmooth(true);
        Bar->SetDisplayFormat("0.0");
        Text = ComponentToText(&Form);
    }
    EXPECT_NE(Text.find("Orientation = nvpbVertical"), String::npos) << Text;
    TForm Form;
    ReadComponentFromText(Text, &Form);
    auto* Bar = dynamic_cast<TnvProgressBar*>(Form.FindComponent("Gauge"));
    ASSERT_NE(Bar, nullptr);
    EXPECT_EQ(Bar->Max(), 200);
    EXPECT_EQ(Bar->Progress(), 120);
    EXPECT_EQ(Bar->Orientation(), nvpbVertical);
    EXPECT_EQ(Bar->BlockColor(), clRed);
    EXPECT_TRUE(Bar->Smooth());
    EXPECT_EQ(Bar->DisplayFormat(), "0.0");
}

} // namespace
