// Text-effects renderer: settings, notifications, the geometry of measuring
// and placing, and the colours of the extrusion layers, as tables of cases.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "nvTextTestSupport.h"
#include "nvtext.h"

using namespace nvTextTest;

namespace {

int TW(TTextRig& Rig, const String& S)
{
    return Rig.Font.TextWidth(S);
}

int LH(TTextRig& Rig)
{
    return Rig.Font.Metrics().tmHeight;
}

} // namespace

TEST(nvTextGeometry, RotationIsNormalisedOnAssignment)
{
    struct TCase {
        int Set, Read;
    };
    const std::vector<TCase> Cases = {{0, 0},     {45, 45},   {359, 359}, {360, 0},    {720, 0},
                                      {-90, 270}, {-1, 359},  {-360, 360}, {-450, 270}, {-720, 360},
                                      {1000, 280}};
    for (const TCase& C : Cases) {
        EXPECT_EQ(NormalizeRotation(C.Set), C.Read) << C.Set;
        TTextRig Rig;
        Rig.Text->SetRotation(C.Set);
        EXPECT_EQ(Rig.Text->Rotation(), C.Read) << C.Set;
    }
}

TEST(nvTextGeometry, RoundDownSubtractsJustUnderAHalf)
{
    struct TCase {
        double X;
        int R;
    };
    const std::vector<TCase> Cases = {{127.5, 127}, {0.5, 0}, {1.0, 1}, {2.5, 2}, {3.0, 3},
                                      {2.9, 2},     {-0.5, -1}, {-1.0, -1}, {0.0, 0}, {223.125, 223}};
    for (const TCase& C : Cases)
        EXPECT_EQ(nvRoundDown(C.X), C.R) << C.X;
}

TEST(nvTextGeometry, OrientationVectors)
{
    struct TCase {
        TnvOrientation O;
        TPoint V;
    };
    const std::vector<TCase> Cases = {{nvTopLeft, {1, 1}},   {nvTopRight, {-1, 1}}, {nvBottomLeft, {1, -1}},
                                      {nvBottomRight, {-1, -1}}, {nvTop, {0, 1}},      {nvRight, {-1, 0}},
                                      {nvLeft, {1, 0}},       {nvBottom, {0, -1}}};
    for (const TCase& C : Cases) {
        EXPECT_EQ(OrientationVector(C.O).X, C.V.X) << C.O;
        EXPECT_EQ(OrientationVector(C.O).Y, C.V.Y) << C.O;
    }
}

TEST(nvTextGeometry, ExtrusionLayerColours)
{
    struct TCase {
        const char* Name;
        TColor Near, Far;
        int Depth, Layer;
        bool Striated;
        TColor Expected;
    };
    const TColor Face = ColorToRGB(clBtnFace);
    const std::vector<TCase> Cases = {
        {"smooth: layer 4 of 8 from blue to black", clBlack, clBlue, 8, 4, false, RGB(0, 0, 127)},
        {"smooth: the last layer is the near colour", clBlack, clBlue, 8, 8, false, clBlack},
        {"smooth: the first layer is nearly the far colour", clBlack, clBlue, 8, 1, false, RGB(0, 0, 223)},
        {"smooth: rising toward a brighter near colour", clRed, clBlack, 8, 4, false, RGB(127, 0, 0)},
        {"smooth: every channel", RGB(200, 100, 50), RGB(0, 200, 250), 4, 1, false, RGB(50, 175, 200)},
        {"smooth: system colours are resolved", clBlack, clBtnFace, 2, 1, false,
         RGB(nvRoundDown(GetRValue(Face) / 2.0), nvRoundDown(GetGValue(Face) / 2.0), nvRoundDown(GetBValue(Face) / 2.0))},
        {"striated: odd layers at full strength", clBlack, clBlue, 8, 1, true, RGB(0, 0, 224)},
        {"striated: even layers a quarter as bright", clBlack, clBlue, 8, 2, true, RGB(0, 0, 112)},
        {"striated: the low 8 bits of a channel", clBlack, clBlue, 8, 3, true, RGB(0, 0, 160)},
        {"striated: even layer past 255", clBlack, clBlue, 8, 8, true, RGB(0, 0, 192)},
        {"depth 0 gives the near colour", clLime, clBlue, 0, 1, false, clLime},
    };
    for (const TCase& C : Cases)
        EXPECT_EQ(ExtrudeLayerColor(C.Near, C.Far, C.Depth, C.Layer, C.Striated), C.Expected) << C.Name;
}

TEST(nvTextGeometry, EffectiveShadowOffset)
{
    struct TCase {
        const char* Name;
        bool Shadow;
        int X, Y;
        bool Extrude;
        TnvOrientation O;
        TPoint Expected;
    };
    const std::vector<TCase> Cases = {
        {"shadow alone", true, 10, 10, false, nvBottomRight, {10, 10}},
        {"no shadow", false, 10, 10, false, nvBottomRight, {0, 0}},
        {"negative offsets without extrusion", true, -3, -4, false, nvBottomRight, {-3, -4}},
        {"same signs as the extrusion vector", true, 10, 10, true, nvTopLeft, {10, 10}},
        {"opposite signs", true, 10, 10, true, nvBottomRight, {0, 0}},
        {"mixed", true, 10, -5, true, nvBottomLeft, {10, -5}},
        {"vector component 0", true, 10, 10, true, nvTop, {0, 10}},
        {"negative x along the vector", true, -4, 10, true, nvTopRight, {-4, 10}},
        {"zero stays zero", true, 0, 10, true, nvTopLeft, {0, 10}},
        {"disabled shadow under extrusion", false, 10, 10, true, nvTopLeft, {0, 0}},
    };
    for (const TCase& C : Cases) {
        TTextRig Rig;
        Rig.Text->Shadow()->SetEnabled(C.Shadow);
        Rig.Text->Shadow()->SetXOffset(C.X);
        Rig.Text->Shadow()->SetYOffset(C.Y);
        Rig.Text->ExtrudeEffects()->SetEnabled(C.Extrude);
        Rig.Text->ExtrudeEffects()->SetOrientation(C.O);
        EXPECT_EQ(Rig.Text->ShadowOffset().X, C.Expected.X) << C.Name;
        EXPECT_EQ(Rig.Text->ShadowOffset().Y, C.Expected.Y) << C.Name;
        // The stored offsets are never changed.
        EXPECT_EQ(Rig.Text->Shadow()->XOffset(), C.X) << C.Name;
        EXPECT_EQ(Rig.Text->Shadow()->YOffset(), C.Y) << C.Name;
    }
}

TEST(nvTextGeometry, ExtrusionExtents)
{
    struct TCase {
        bool Enabled;
        TnvOrientation O;
        TPoint Extent, Oriented;
    };
    const std::vector<TCase> Cases = {{true, nvBottomRight, {6, 6}, {6, 6}}, {true, nvTop, {6, 6}, {0, 6}},
                                      {true, nvLeft, {6, 6}, {6, 0}},        {true, nvTopRight, {6, 6}, {6, 6}},
                                      {false, nvTop, {0, 0}, {0, 0}}};
    for (const TCase& C : Cases) {
        TTextRig Rig;
        Rig.Text->ExtrudeEffects()->SetDepth(6);
        Rig.Text->ExtrudeEffects()->SetEnabled(C.Enabled);
        Rig.Text->ExtrudeEffects()->SetOrientation(C.O);
        EXPECT_EQ(Rig.Text->ExtrudeExtent(), C.Extent) << C.O;
        EXPECT_EQ(Rig.Text->OrientedExtrudeExtent(), C.Oriented) << C.O;
    }
}

TEST(nvTextGeometry, CalcTextSize)
{
    TTextRig Probe(400, 200, -13, false);
    const int L = LH(Probe);
    const int WrapWidth = TW(Probe, "aaa bbb") + 2;
    struct TCase {
        const char* Name;
        String Text;
        TnvTextOptions Options;
        bool WordWrap;
        TRect Rect;
        std::function<void(TnvText*)> Setup;
        TSize Expected;
    };
    const std::vector<TCase> Cases = {
        {"accelerators stripped", "Buttons && Labels", toShowAccel, false, TRect(0, 0, 400, 200), nullptr,
         TSize(TW(Probe, "Buttons & Labels") + 1, L)},
        {"ampersands literal", "Buttons && Labels", TnvTextOptions(), false, TRect(0, 0, 400, 200), nullptr,
         TSize(TW(Probe, "Buttons && Labels") + 1, L)},
        {"a marked letter", "&File", toShowAccel, false, TRect(0, 0, 400, 200), nullptr, TSize(TW(Probe, "File") + 1, L)},
        {"two lines with their spacing", "ab\r\ncdef", toShowAccel, false, TRect(0, 0, 400, 200), nullptr,
         TSize(TW(Probe, "cdef") + 1, 2 * L + 5)},
        {"line spacing 0", "ab\r\ncdef", toShowAccel, false, TRect(0, 0, 400, 200),
         [](TnvText* T) { T->SetLineSpacing(0); }, TSize(TW(Probe, "cdef") + 1, 2 * L)},
        {"empty text", "", toShowAccel, false, TRect(0, 0, 400, 200), nullptr, TSize(1, 0)},
        {"no wrapping without word wrap", "aaa bbb ccc", toShowAccel, false, TRect(0, 0, WrapWidth, 200), nullptr,
         TSize(TW(Probe, "aaa bbb ccc") + 1, L)},
        {"wrapped in the rectangle", "aaa bbb ccc", toShowAccel, true, TRect(0, 0, WrapWidth, 200), nullptr,
         TSize(TW(Probe, "aaa bbb") + 1, 2 * L)},
        {"the extrusion narrows the wrapping width", "aaa bbb ccc", toShowAccel, true, TRect(0, 0, WrapWidth, 200),
         [](TnvText* T) {
             T->ExtrudeEffects()->SetEnabled(true);
             T->ExtrudeEffects()->SetDepth(10);
         },
         TSize(std::max({TW(Probe, "aaa"), TW(Probe, "bbb"), TW(Probe, "ccc")}) + 1, 3 * L)},
        {"so does the shadow", "aaa bbb ccc", toShowAccel, true, TRect(0, 0, WrapWidth, 200),
         [](TnvText* T) { T->Shadow()->SetEnabled(true); },
         TSize(std::max({TW(Probe, "aaa"), TW(Probe, "bbb"), TW(Probe, "ccc")}) + 1, 3 * L)},
    };
    for (const TCase& C : Cases) {
        TTextRig Rig(400, 200, -13, false);
        Rig.Text->SetOptions(C.Options);
        Rig.Text->SetWordWrap(C.WordWrap);
        Rig.Text->SetRect(C.Rect);
        if (C.Setup)
            C.Setup(Rig.Text.get());
        Rig.Text->SetText(C.Text);
        const TSize S = Rig.Text->CalcTextSize();
        EXPECT_EQ(S.cx, C.Expected.cx) << C.Name;
        EXPECT_EQ(S.cy, C.Expected.cy) << C.Name;
    }
}

TEST(nvTextGeometry, CalcExtent)
{
    TTextRig Probe(400, 300, -20, true);
    Probe.Text->SetText("Hello");
    const TSize T = Probe.Text->CalcTextSize();
    const int W = T.cx, H = T.cy;
    auto Rot = [](double Deg, int Wd, int Ht) {
        const double A = Deg * 3.14159265358979323846 / 180;
        return TSize(nvRoundDown(std::abs(std::sin(A)) * Ht + std::abs(std::cos(A)) * Wd),
                     nvRoundDown(std::abs(std::cos(A)) * Ht + std::abs(std::sin(A)) * Wd));
    };
    struct TCase {
        const char* Name;
        std::function<void(TnvText*)> Setup;
        bool Clip;
        TSize Expected;
    };
    const std::vector<TCase> Cases = {
        {"plain", nullptr, true, TSize(W, H)},
        {"extrusion adds its depth both ways",
         [](TnvText* X) {
             X->ExtrudeEffects()->SetEnabled(true);
             X->ExtrudeEffects()->SetDepth(8);
         },
         true, TSize(W + 8, H + 8)},
        {"unoriented even toward the top",
         [](TnvText* X) {
             X->ExtrudeEffects()->SetEnabled(true);
             X->ExtrudeEffects()->SetDepth(8);
             X->ExtrudeEffects()->SetOrientation(nvTop);
         },
         true, TSize(W + 8, H + 8)},
        {"shadow", [](TnvText* X) { X->Shadow()->SetEnabled(true); }, true, TSize(W + 10, H + 10)},
        {"shadow against the extrusion counts nothing",
         [](TnvText* X) {
             X->Shadow()->SetEnabled(true);
             X->ExtrudeEffects()->SetEnabled(true);
             X->ExtrudeEffects()->SetDepth(4);
         },
         true, TSize(W + 4, H + 4)},
        {"outline", [](TnvText* X) { X->SetStyle(nvlsOutline); }, true, TSize(W + 2, H + 2)},
        {"90 degrees", [](TnvText* X) { X->SetRotation(90); }, true, TSize(H, W)},
        {"180 degrees", [](TnvText* X) { X->SetRotation(180); }, true, TSize(W, H)},
        {"270 degrees", [](TnvText* X) { X->SetRotation(-90); }, true, TSize(H, W)},
        {"45 degrees", [](TnvText* X) { X->SetRotation(45); }, true, Rot(45, W, H)},
        {"30 degrees", [](TnvText* X) { X->SetRotation(30); }, true, Rot(30, W, H)},
        {"limited to the rectangle", [](TnvText* X) { X->SetRect(TRect(5, 5, 25, 15)); }, false,
         TSize(std::min(W, 20), std::min(H, 10))},
        {"not limited when clipping", [](TnvText* X) { X->SetRect(TRect(5, 5, 25, 15)); }, true, TSize(W, H)},
    };
    for (const TCase& C : Cases) {
        TTextRig Rig(400, 300, -20, true);
        Rig.Text->SetText("Hello");
        if (C.Setup)
            C.Setup(Rig.Text.get());
        TSize S;
        Rig.Text->CalcExtent(C.Clip, S);
        EXPECT_EQ(S.cx, C.Expected.cx) << C.Name;
        EXPECT_EQ(S.cy, C.Expected.cy) << C.Name;
    }
}

TEST(nvTextGeometry, CalcTextRect)
{
    TTextRig Probe(400, 300, -20, true);
    Probe.Text->SetText("Hello");
    const TSize T = Probe.Text->CalcTextSize();
    const int W = T.cx, H = T.cy;
    struct TCase {
        const char* Name;
        TRect Rect;
        std::function<void(TnvText*)> Setup;
        TRect Expected;
    };
    const TRect Big(10, 20, 310, 220); // centre (160, 120)
    const std::vector<TCase> Cases = {
        {"centred", Big, nullptr, TRect(160 - W / 2, 120 - H / 2, 160 - W / 2 + W, 120 - H / 2 + H)},
        {"extrusion moves the origin up and left by half its depth",
         Big,
         [](TnvText* X) {
             X->ExtrudeEffects()->SetEnabled(true);
             X->ExtrudeEffects()->SetDepth(8);
         },
         TRect(156 - W / 2, 116 - H / 2, 156 - W / 2 + W + 8, 116 - H / 2 + H + 8)},
        {"shadow likewise", Big, [](TnvText* X) { X->Shadow()->SetEnabled(true); },
         TRect(155 - W / 2, 115 - H / 2, 155 - W / 2 + W + 10, 115 - H / 2 + H + 10)},
        {"90 degrees: the origin is at the bottom left of the turned text", Big,
         [](TnvText* X) { X->SetRotation(90); }, TRect(160 - H / 2, 120 + W / 2, 160 - H / 2 + H, 120 + W / 2 + W)},
        {"180 degrees: the origin is at the bottom right", Big, [](TnvText* X) { X->SetRotation(180); },
         TRect(160 + W / 2, 120 + H / 2, 160 + W / 2 + W, 120 + H / 2 + H)},
        {"a text larger than the rectangle starts at its corner", TRect(3, 4, 13, 9), nullptr,
         TRect(3, 4, 13, 9)},
    };
    for (const TCase& C : Cases) {
        TTextRig Rig(400, 300, -20, true);
        Rig.Text->SetText("Hello");
        Rig.Text->SetRect(C.Rect);
        if (C.Setup)
            C.Setup(Rig.Text.get());
        TRect R;
        Rig.Text->CalcTextRect(false, R);
        EXPECT_EQ(R, C.Expected) << C.Name << ": got " << R.Left << "," << R.Top << "," << R.Right << ","
                                 << R.Bottom;
    }
}

TEST(nvTextGeometry, CalcRectMeasuresWithTheEffectFontAndRestoresTheCanvasFont)
{
    TTextRig Rig(400, 300, -20, true);
    Rig.Surface.Canvas.Font()->SetHeight(-9);
    Rig.Surface.Canvas.Font()->SetStyle(TFontStyles());
    Rig.Text->SetText("Hello");
    TRect R;
    Rig.Text->CalcRect(true, R);
    EXPECT_EQ(R.Width(), Rig.Font.TextWidth("Hello") + 1) << "measured in the owner's font";
    EXPECT_EQ(Rig.Surface.Canvas.Font()->Height(), -9) << "the canvas font is back";
    EXPECT_EQ(Rig.Surface.Canvas.Font()->Style(), TFontStyles());
}

TEST(nvTextGeometry, SettingsNotifyTheOwner)
{
    struct TCase {
        const char* Name;
        std::function<void(TnvText*)> Change;
        bool SizeChange, Invalidate;
    };
    const std::vector<TCase> Cases = {
        {"Alignment", [](TnvText* T) { T->SetAlignment(taCenter); }, false, true},
        {"VAlignment", [](TnvText* T) { T->SetVAlignment(vaBottom); }, false, true},
        {"HighlightColor", [](TnvText* T) { T->SetHighlightColor(clRed); }, false, true},
        {"ShadeColor", [](TnvText* T) { T->SetShadeColor(clRed); }, false, true},
        {"OutlineColor", [](TnvText* T) { T->SetOutlineColor(clRed); }, false, true},
        {"LineSpacing", [](TnvText* T) { T->SetLineSpacing(2); }, true, true},
        {"Options", [](TnvText* T) { T->SetOptions(TnvTextOptions()); }, true, true},
        {"Rotation", [](TnvText* T) { T->SetRotation(90); }, true, true},
        {"Rotation to an equal angle", [](TnvText* T) { T->SetRotation(360); }, false, false},
        {"Style", [](TnvText* T) { T->SetStyle(nvlsRaised); }, true, true},
        {"WordWrap", [](TnvText* T) { T->SetWordWrap(true); }, false, true},
        {"DoubleBuffered", [](TnvText* T) { T->SetDoubleBuffered(true); }, false, false},
        {"Text", [](TnvText* T) { T->SetText("new"); }, false, false},
        {"Shadow.Color", [](TnvText* T) { T->Shadow()->SetColor(clRed); }, false, true},
        {"Shadow.Enabled", [](TnvText* T) { T->Shadow()->SetEnabled(true); }, true, true},
        {"Shadow.XOffset", [](TnvText* T) { T->Shadow()->SetXOffset(3); }, true, true},
        {"Shadow.YOffset", [](TnvText* T) { T->Shadow()->SetYOffset(3); }, true, true},
        {"Shadow.XOffset unchanged", [](TnvText* T) { T->Shadow()->SetXOffset(10); }, false, false},
        {"ExtrudeEffects.Depth", [](TnvText* T) { T->ExtrudeEffects()->SetDepth(3); }, true, true},
        {"ExtrudeEffects.Enabled", [](TnvText* T) { T->ExtrudeEffects()->SetEnabled(true); }, true, true},
        {"ExtrudeEffects.FarColor", [](TnvText* T) { T->ExtrudeEffects()->SetFarColor(clRed); }, false, true},
        {"ExtrudeEffects.NearColor", [](TnvText* T) { T->ExtrudeEffects()->SetNearColor(clRed); }, false, true},
        {"ExtrudeEffects.Orientation", [](TnvText* T) { T->ExtrudeEffects()->SetOrientation(nvTop); }, true, true},
        {"ExtrudeEffects.Striated", [](TnvText* T) { T->ExtrudeEffects()->SetStriated(true); }, false, true},
        {"DisabledColors.HighlightColor", [](TnvText* T) { T->DisabledColors()->SetHighlightColor(clRed); }, false,
         true},
        {"DisabledColors.ShadeColor", [](TnvText* T) { T->DisabledColors()->SetShadeColor(clRed); }, false, true},
    };
    for (const TCase& C : Cases) {
        TTextRig Rig;
        C.Change(Rig.Text.get());
        EXPECT_EQ(Rig.SizeChanges, C.SizeChange ? 1 : 0) << C.Name;
        EXPECT_EQ(Rig.Invalidates, C.Invalidate ? 1 : 0) << C.Name;
    }
}

TEST(nvTextGeometry, DrawFlagsFollowOptionsAndWordWrap)
{
    struct TCase {
        TnvTextOptions Options;
        bool WordWrap;
        unsigned Flags;
    };
    const std::vector<TCase> Cases = {
        {toShowAccel, false, DT_NOCLIP},
        {TnvTextOptions(), false, DT_NOCLIP | DT_NOPREFIX},
        {TnvTextOptions(toShowAccel) | toShowEllipsis, false, DT_NOCLIP | DT_END_ELLIPSIS},
        {toShowAccel, true, DT_NOCLIP | DT_WORDBREAK},
        {toFullJustify, true, DT_NOCLIP | DT_NOPREFIX | DT_WORDBREAK},
    };
    for (const TCase& C : Cases) {
        TTextRig Rig;
        Rig.Text->SetOptions(C.Options);
        Rig.Text->SetWordWrap(C.WordWrap);
        EXPECT_EQ(Rig.Text->DrawFlags(), C.Flags) << int(C.Options) << " " << C.WordWrap;
    }
}

TEST(nvTextGeometry, LogicalFont)
{
    TTextRig Rig(100, 100, -17, true);
    Rig.Font.SetName("Times New Roman");
    Rig.Font.SetStyle(TFontStyles(fsBold) | fsItalic);
    TnvLogFont F = Rig.Text->GetLogFont();
    EXPECT_EQ(F.lfHeight, -17);
    EXPECT_EQ(F.lfWeight, 700);
    EXPECT_TRUE(F.lfItalic);
    EXPECT_FALSE(F.lfUnderline);
    EXPECT_EQ(F.lfEscapement, 0);
    EXPECT_EQ(F.lfOutPrecision, OUT_TT_PRECIS);
    EXPECT_EQ(F.lfCharSet, ANSI_CHARSET) << "the default character set becomes ANSI";
    EXPECT_EQ(F.lfQuality, 2);
    EXPECT_EQ(F.lfPitchAndFamily, 2);
    EXPECT_EQ(F.lfFaceName, "Times New Roman");

    Rig.Text->SetRotation(-45);
    Rig.Font.SetCharset(SYMBOL_CHARSET);
    Rig.Font.SetStyle(TFontStyles(fsUnderline));
    F = Rig.Text->GetLogFont();
    EXPECT_EQ(F.lfEscapement, 3150);
    EXPECT_EQ(F.lfOrientation, 3150);
    EXPECT_EQ(F.lfOutPrecision, OUT_TT_ONLY_PRECIS);
    EXPECT_EQ(F.lfCharSet, SYMBOL_CHARSET);
    EXPECT_EQ(F.lfWeight, 400);
    EXPECT_TRUE(F.lfUnderline);

    TFont Made;
    LogFontToFont(F, &Made);
    EXPECT_EQ(Made.Orientation(), 3150);
    EXPECT_EQ(Made.Height(), -17);
    EXPECT_EQ(Made.Name(), "Times New Roman");
    EXPECT_EQ(Made.Style(), TFontStyles(fsUnderline));
}

TEST(nvTextGeometry, AssignCopiesEverySettingAndTheText)
{
    TTextRig A, B;
    A.Text->SetAlignment(taRightJustify);
    A.Text->SetVAlignment(vaBottom);
    A.Text->SetHighlightColor(clRed);
    A.Text->SetShadeColor(clLime);
    A.Text->SetOutlineColor(clBlue);
    A.Text->SetLineSpacing(9);
    A.Text->SetOptions(TnvTextOptions(toFullJustify) | toShowEllipsis);
    A.Text->SetRotation(33);
    A.Text->SetStyle(nvlsOutline);
    A.Text->SetWordWrap(true);
    A.Text->SetDoubleBuffered(true);
    A.Text->Shadow()->SetEnabled(true);
    A.Text->Shadow()->SetXOffset(-2);
    A.Text->Shadow()->SetColor(clYellow);
    A.Text->ExtrudeEffects()->SetEnabled(true);
    A.Text->ExtrudeEffects()->SetDepth(3);
    A.Text->ExtrudeEffects()->SetFarColor(clNavy);
    A.Text->ExtrudeEffects()->SetStriated(true);
    A.Text->ExtrudeEffects()->SetOrientation(nvLeft);
    A.Text->DisabledColors()->SetShadeColor(clMaroon);
    A.Text->SetText("copied");
    B.Text->Assign(A.Text.get());
    EXPECT_EQ(B.Text->Alignment(), taRightJustify);
    EXPECT_EQ(B.Text->VAlignment(), vaBottom);
    EXPECT_EQ(B.Text->HighlightColor(), clRed);
    EXPECT_EQ(B.Text->ShadeColor(), clLime);
    EXPECT_EQ(B.Text->OutlineColor(), clBlue);
    EXPECT_EQ(B.Text->LineSpacing(), 9);
    EXPECT_EQ(B.Text->Options(), TnvTextOptions(toFullJustify) | toShowEllipsis);
    EXPECT_EQ(B.Text->Rotation(), 33);
    EXPECT_EQ(B.Text->Style(), nvlsOutline);
    EXPECT_TRUE(B.Text->WordWrap());
    EXPECT_TRUE(B.Text->DoubleBuffered());
    EXPECT_TRUE(B.Text->Shadow()->Enabled());
    EXPECT_EQ(B.Text->Shadow()->XOffset(), -2);
    EXPECT_EQ(B.Text->Shadow()->Color(), clYellow);
    EXPECT_TRUE(B.Text->ExtrudeEffects()->Enabled());
    EXPECT_EQ(B.Text->ExtrudeEffects()->Depth(), 3);
    EXPECT_EQ(B.Text->ExtrudeEffects()->FarColor(), clNavy);
    EXPECT_TRUE(B.Text->ExtrudeEffects()->Striated());
    EXPECT_EQ(B.Text->ExtrudeEffects()->Orientation(), nvLeft);
    EXPECT_EQ(B.Text->DisabledColors()->ShadeColor(), clMaroon);
    EXPECT_EQ(B.Text->Text(), "copied");
}
