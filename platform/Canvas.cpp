#include "Canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <numbers>

// Pixels are handled as 32-bit Qt values 0xFFRRGGBB. Raster operations are
// bitwise, so they give the same result on that layout as on $00BBGGRR.

namespace {

constexpr uint32_t AlphaBits = 0xFF000000u;
constexpr uint32_t RgbBits = 0x00FFFFFFu;
constexpr uint32_t WhitePix = 0xFFFFFFFFu;
constexpr uint32_t BlackPix = 0xFF000000u;
constexpr int Rop2Copy = 13;

bool Is32(QImage::Format F)
{
    return F == QImage::Format_RGB32 || F == QImage::Format_ARGB32 || F == QImage::Format_ARGB32_Premultiplied;
}

// A row of 24-bit pixels (blue, green, red bytes) as opaque 32-bit pixels,
// four at a time from three little-endian words.
void BgrRowTo32(const uchar* S, uint32_t* D, int W)
{
    int X = 0;
    for (; X + 4 <= W; X += 4, S += 12) {
        uint32_t Words[3];
        std::memcpy(Words, S, 12);
        D[X] = 0xFF000000u | (Words[0] & 0xFFFFFFu);
        D[X + 1] = 0xFF000000u | Words[0] >> 24 | (Words[1] & 0xFFFFu) << 8;
        D[X + 2] = 0xFF000000u | Words[1] >> 16 | (Words[2] & 0xFFu) << 16;
        D[X + 3] = 0xFF000000u | Words[2] >> 8;
    }
    for (; X < W; ++X, S += 3)
        D[X] = 0xFF000000u | uint32_t(S[2]) << 16 | uint32_t(S[1]) << 8 | S[0];
}

// The area of a 24-bit image in a 32-bit format (opaque: the same value in
// every one), converted in one pass on this thread.
QImage BgrAreaTo32(const QImage& Source, const QRect& A, QImage::Format Format)
{
    QImage Out(A.size(), Format);
    for (int Y = 0; Y < A.height(); ++Y)
        BgrRowTo32(Source.constScanLine(A.y() + Y) + 3 * static_cast<qsizetype>(A.x()),
                   reinterpret_cast<uint32_t*>(Out.scanLine(Y)), A.width());
    return Out;
}

bool IsMonoFormat(QImage::Format F)
{
    return F == QImage::Format_Mono || F == QImage::Format_MonoLSB;
}

// $00BBGGRR to a Qt pixel and back.
inline uint32_t ToPix(uint32_t C)
{
    return AlphaBits | (C & 0xFF) << 16 | (C & 0xFF00) | (C >> 16 & 0xFF);
}
inline uint32_t FromPix(uint32_t P)
{
    return (P >> 16 & 0xFF) | (P & 0xFF00) | (P & 0xFF) << 16;
}
inline uint32_t ColorPix(TColor C)
{
    return ToPix(static_cast<uint32_t>(ColorToRGB(C)) & RgbBits);
}

// The platform's nearest of black and white: white when r + g + b > 382.5.
inline bool NearerWhite(uint32_t P)
{
    return ((P >> 16 & 0xFF) + (P >> 8 & 0xFF) + (P & 0xFF)) * 2 > 765;
}
inline uint32_t MonoPix(uint32_t P)
{
    return NearerWhite(P) ? WhitePix : BlackPix;
}

inline int ClampCoord(long long V)
{
    return static_cast<int>(std::clamp<long long>(V, -MaxCoord, MaxCoord));
}

inline int PosMod(long long A, int M)
{
    long long R = A % M;
    return static_cast<int>(R < 0 ? R + M : R);
}

// Index of the white entry of a monochrome image's colour table.
int WhiteIndex(const QImage& I)
{
    const QList<QRgb> T = I.colorTable();
    if (T.size() >= 2)
        return qGray(T[1]) >= qGray(T[0]) ? 1 : 0;
    return 1;
}

inline int MonoIndexAt(const uchar* Line, int X, bool Lsb)
{
    return Lsb ? (Line[X >> 3] >> (X & 7)) & 1 : (Line[X >> 3] >> (7 - (X & 7))) & 1;
}

inline void SetMonoIndex(uchar* Line, int X, bool Lsb, int Index)
{
    const uchar Bit = Lsb ? uchar(1u << (X & 7)) : uchar(0x80u >> (X & 7));
    if (Index)
        Line[X >> 3] |= Bit;
    else
        Line[X >> 3] &= uchar(~Bit);
}

// ROP2 on pixels: truth table (Code - 1), bit index 2 * P + D.
inline uint32_t Rop2(int Code, uint32_t P, uint32_t D)
{
    uint32_t R;
    switch (Code) {
    case 13: R = P; break;
    case 7: R = P ^ D; break;
    case 10: R = ~(P ^ D); break;
    case 6: R = ~D; break;
    case 11: R = D; break;
    case 1: R = 0; break;
    case 16: R = ~0u; break;
    default: {
        const unsigned T = static_cast<unsigned>(Code - 1);
        R = 0;
        if (T & 1)
            R |= ~P & ~D;
        if (T & 2)
            R |= ~P & D;
        if (T & 4)
            R |= P & ~D;
        if (T & 8)
            R |= P & D;
    }
    }
    return (R & RgbBits) | AlphaBits;
}

// ---------------------------------------------------------------- surfaces

// A 32-bit view of part of a target image. 32-bit targets are drawn on
// directly; other formats through a scratch copy that is written back when
// the surface goes away (monochrome: nearest of black and white).
class TSurface {
public:
    TSurface(QImage& Target, const QRect& Area) : FTarget(Target), FArea(Area & Target.rect())
    {
        if (FArea.isEmpty())
            return;
        const QImage::Format F = Target.format();
        if (Is32(F)) {
            FImage = &Target;
        } else {
            FOX = FArea.x();
            FOY = FArea.y();
            if (IsMonoFormat(F)) {
                FMono = true;
                FLsb = F == QImage::Format_MonoLSB;
                FWhite = WhiteIndex(Target);
                FScratch = QImage(FArea.size(), QImage::Format_RGB32);
                for (int Y = 0; Y < FArea.height(); ++Y) {
                    const uchar* L = Target.constScanLine(FArea.y() + Y);
                    auto* D = reinterpret_cast<uint32_t*>(FScratch.scanLine(Y));
                    for (int X = 0; X < FArea.width(); ++X)
                        D[X] = MonoIndexAt(L, FArea.x() + X, FLsb) == FWhite ? WhitePix : BlackPix;
                }
            } else if (F == QImage::Format_BGR888) {
                // The suite's 24-bit pictures: converted straight from the area.
                FScratch = BgrAreaTo32(Target, FArea, QImage::Format_RGB32);
            } else {
                FScratch = Target.copy(FArea).convertToFormat(QImage::Format_RGB32);
            }
            FImage = &FScratch;
            FCopy = true;
        }
        FBits = FImage->bits();
        FBpl = FImage->bytesPerLine();
    }
    ~TSurface() { Commit(); }
    TSurface(const TSurface&) = delete;
    TSurface& operator=(const TSurface&) = delete;

    bool Empty() const { return FArea.isEmpty(); }
    const QRect& Area() const { return FArea; }
    QImage& Image() { return *FImage; }
    QPoint Origin() const { return QPoint(FOX, FOY); }
    // Row Y (device); index it with X - OX().
    uint32_t* Row(int Y) { return reinterpret_cast<uint32_t*>(FBits + static_cast<qsizetype>(Y - FOY) * FBpl); }
    int OX() const { return FOX; }
    void Put(int X, int Y, uint32_t Pix, int Code)
    {
        uint32_t* P = Row(Y) + (X - FOX);
        *P = Code == Rop2Copy ? Pix : Rop2(Code, Pix, *P);
    }

    void Commit()
    {
        if (!FCopy)
            return;
        FCopy = false;
        if (FMono) {
            for (int Y = 0; Y < FArea.height(); ++Y) {
                uchar* L = FTarget.scanLine(FArea.y() + Y);
                const auto* S = reinterpret_cast<const uint32_t*>(FScratch.constScanLine(Y));
                for (int X = 0; X < FArea.width(); ++X)
                    SetMonoIndex(L, FArea.x() + X, FLsb, NearerWhite(S[X]) ? FWhite : 1 - FWhite);
            }
            return;
        }
        if (FTarget.format() == QImage::Format_BGR888) {
            for (int Y = 0; Y < FArea.height(); ++Y) {
                uchar* D = FTarget.scanLine(FArea.y() + Y) + 3 * static_cast<qsizetype>(FArea.x());
                const auto* S = reinterpret_cast<const uint32_t*>(FScratch.constScanLine(Y));
                const int W = FArea.width();
                int X = 0;
                // Four pixels into three little-endian words at a time.
                for (; X + 4 <= W; X += 4, D += 12) {
                    const uint32_t A = S[X] & 0xFFFFFFu, B = S[X + 1] & 0xFFFFFFu, C = S[X + 2] & 0xFFFFFFu,
                                   E = S[X + 3] & 0xFFFFFFu;
                    const uint32_t Words[3] = {A | B << 24, B >> 8 | C << 16, C >> 16 | E << 8};
                    std::memcpy(D, Words, 12);
                }
                for (; X < W; ++X, D += 3) {
                    D[0] = static_cast<uchar>(S[X]);
                    D[1] = static_cast<uchar>(S[X] >> 8);
                    D[2] = static_cast<uchar>(S[X] >> 16);
                }
            }
            return;
        }
        QImage Back = FTarget.format() == QImage::Format_Indexed8
                          ? FScratch.convertToFormat(QImage::Format_Indexed8, FTarget.colorTable(), Qt::AvoidDither)
                          : FScratch.convertToFormat(FTarget.format());
        const int Bpp = FTarget.depth() / 8;
        for (int Y = 0; Y < FArea.height(); ++Y)
            std::memcpy(FTarget.scanLine(FArea.y() + Y) + static_cast<qsizetype>(FArea.x()) * Bpp,
                        Back.constScanLine(Y), static_cast<size_t>(FArea.width()) * Bpp);
    }

private:
    QImage& FTarget;
    QRect FArea;
    QImage FScratch;
    QImage* FImage = nullptr;
    uchar* FBits = nullptr;
    qsizetype FBpl = 0;
    int FOX = 0;
    int FOY = 0;
    bool FCopy = false;
    bool FMono = false;
    bool FLsb = false;
    int FWhite = 1;
};

// ---------------------------------------------------------------- drawing context

// Everything one drawing operation needs to know about its canvas.
struct TCtx {
    TCanvas* Canvas = nullptr;
    QImage* Target = nullptr;
    bool Mono = false;
    QPoint Org;            // viewport origin
    QRegion Clip;          // device coordinates, within the image
    QRect Bounds;          // of Clip
    std::vector<QRect> Rects;
    uint32_t Text = BlackPix; // device text colour
    uint32_t Bk = WhitePix;   // device background colour
    bool OpaqueBk = true;
    int Rop2 = Rop2Copy;
    QPoint BrushOrg;       // device

    bool Contains(int X, int Y) const
    {
        if (!Bounds.contains(X, Y))
            return false;
        if (Rects.size() == 1)
            return true;
        for (const QRect& R : Rects)
            if (R.contains(X, Y))
                return true;
        return false;
    }
    uint32_t Map(uint32_t Pix) const { return Mono ? MonoPix(Pix) : Pix; }
    int DX(int X) const { return ClampCoord(static_cast<long long>(X) + Org.x()); }
    int DY(int Y) const { return ClampCoord(static_cast<long long>(Y) + Org.y()); }
    // Calls F(X0, X1) for the parts of row Y, X0 .. X1 - 1, inside the clip region.
    template <class F>
    void ClipSpan(int Y, int X0, int X1, F&& Fn) const
    {
        if (Y < Bounds.top() || Y > Bounds.bottom())
            return;
        for (const QRect& R : Rects) {
            if (Y < R.top() || Y > R.bottom())
                continue;
            const int A = std::max(X0, R.left()), B = std::min(X1, R.right() + 1);
            if (A < B)
                Fn(A, B);
        }
    }
};

// What fills pixels: a solid colour, a hatch, a pattern image or nothing.
struct TPaint {
    enum TKind { None, Solid, Hatch, Pattern } Kind = None;
    uint32_t Color = BlackPix;
    uint32_t Bk = WhitePix;
    bool Opaque = true; // hatch gaps painted with Bk
    const uint8_t* Bits = nullptr;
    QImage Image;       // RGB32 pattern
    QPoint Org;
    int Rop2 = Rop2Copy;

    static TPaint SolidPaint(uint32_t Pix, int Code = Rop2Copy)
    {
        TPaint P;
        P.Kind = Solid;
        P.Color = Pix;
        P.Rop2 = Code;
        return P;
    }
    // The colour at device pixel (X, Y); false where nothing is painted.
    bool At(int X, int Y, uint32_t& Out) const
    {
        switch (Kind) {
        case Solid: Out = Color; return true;
        case Hatch:
            if ((Bits[PosMod(static_cast<long long>(Y) - Org.y(), 8)] >> (7 - PosMod(static_cast<long long>(X) - Org.x(), 8))) & 1) {
                Out = Color;
                return true;
            }
            Out = Bk;
            return Opaque;
        case Pattern: {
            const auto* Row = reinterpret_cast<const uint32_t*>(
                Image.constScanLine(PosMod(static_cast<long long>(Y) - Org.y(), Image.height())));
            Out = Row[PosMod(static_cast<long long>(X) - Org.x(), Image.width())];
            return true;
        }
        default: return false;
        }
    }
};

// The colours of row Y from X0 for N pixels into Out; Paint[i] false where
// nothing is painted (hatch gaps in transparent mode).
void PaintRow(const TPaint& P, int Y, int X0, int N, uint32_t* Out, bool* Paint)
{
    switch (P.Kind) {
    case TPaint::Solid:
        std::fill(Out, Out + N, P.Color);
        std::fill(Paint, Paint + N, true);
        return;
    case TPaint::Hatch: {
        const uint8_t Bits = P.Bits[PosMod(static_cast<long long>(Y) - P.Org.y(), 8)];
        int B = PosMod(static_cast<long long>(X0) - P.Org.x(), 8);
        for (int I = 0; I < N; ++I) {
            const bool On = (Bits >> (7 - B)) & 1;
            Out[I] = On ? P.Color : P.Bk;
            Paint[I] = On || P.Opaque;
            B = (B + 1) & 7;
        }
        return;
    }
    case TPaint::Pattern: {
        const int W = P.Image.width();
        const auto* Row = reinterpret_cast<const uint32_t*>(
            P.Image.constScanLine(PosMod(static_cast<long long>(Y) - P.Org.y(), P.Image.height())));
        int X = PosMod(static_cast<long long>(X0) - P.Org.x(), W);
        for (int I = 0; I < N; ++I) {
            Out[I] = Row[X];
            if (++X == W)
                X = 0;
        }
        std::fill(Paint, Paint + N, true);
        return;
    }
    default: std::fill(Paint, Paint + N, false); return;
    }
}

// A pattern image as RGB32: monochrome patterns take Text for black and Bk for
// white; every pixel mapped to black or white for a monochrome destination.
QImage PatternImage(const QImage& Src, uint32_t Text, uint32_t Bk, bool MonoDest)
{
    QImage R;
    if (IsMonoFormat(Src.format())) {
        R = QImage(Src.size(), QImage::Format_RGB32);
        const int White = WhiteIndex(Src);
        const bool Lsb = Src.format() == QImage::Format_MonoLSB;
        for (int Y = 0; Y < Src.height(); ++Y) {
            const uchar* L = Src.constScanLine(Y);
            auto* D = reinterpret_cast<uint32_t*>(R.scanLine(Y));
            for (int X = 0; X < Src.width(); ++X)
                D[X] = MonoIndexAt(L, X, Lsb) == White ? Bk : Text;
        }
        return R;
    }
    R = Src.convertToFormat(QImage::Format_RGB32);
    for (int Y = 0; Y < R.height(); ++Y) {
        auto* D = reinterpret_cast<uint32_t*>(R.scanLine(Y));
        for (int X = 0; X < R.width(); ++X)
            D[X] = MonoDest ? MonoPix(D[X] | AlphaBits) : (D[X] | AlphaBits);
    }
    return R;
}

TPaint BrushPaint(const TCtx& C, const TBrush* B, int Code, bool ForceOpaque = false)
{
    TPaint P;
    P.Rop2 = Code;
    P.Org = C.BrushOrg;
    if (!B || B->Style() == bsClear)
        return P;
    P.Color = C.Map(ColorPix(B->Color()));
    P.Bk = C.Bk;
    P.Opaque = ForceOpaque || C.OpaqueBk;
    if (B->HasBitmap()) {
        P.Kind = TPaint::Pattern;
        P.Image = PatternImage(B->Bitmap(), C.Text, C.Bk, C.Mono);
        if (P.Image.isNull() || P.Image.width() == 0 || P.Image.height() == 0)
            P.Kind = TPaint::None;
    } else if (B->Style() == bsSolid) {
        P.Kind = TPaint::Solid;
    } else {
        P.Kind = TPaint::Hatch;
        P.Bits = HatchPattern(B->Style());
    }
    return P;
}

// Paints X0 .. X1 - 1 of row Y (already clipped, inside the surface).
void PaintSpan(TSurface& S, int Y, int X0, int X1, const TPaint& P)
{
    if (X0 >= X1 || P.Kind == TPaint::None)
        return;
    uint32_t* Row = S.Row(Y) + (X0 - S.OX()); // pixel X0
    const int N = X1 - X0;
    if (P.Kind == TPaint::Solid) {
        if (P.Rop2 == Rop2Copy) {
            std::fill(Row, Row + N, P.Color);
        } else {
            for (int I = 0; I < N; ++I)
                Row[I] = Rop2(P.Rop2, P.Color, Row[I]);
        }
        return;
    }
    constexpr int Chunk = 256;
    uint32_t Pix[Chunk];
    bool Paint[Chunk];
    for (int Done = 0; Done < N; Done += Chunk) {
        const int K = std::min(Chunk, N - Done);
        PaintRow(P, Y, X0 + Done, K, Pix, Paint);
        uint32_t* D = Row + Done;
        for (int I = 0; I < K; ++I)
            if (Paint[I])
                D[I] = P.Rop2 == Rop2Copy ? Pix[I] : Rop2(P.Rop2, Pix[I], D[I]);
    }
}

// Paints the span X0 .. X1 - 1 of row Y (device) where the clip allows.
void PaintClippedSpan(const TCtx& C, TSurface& S, int Y, int X0, int X1, const TPaint& P)
{
    if (Y < S.Area().top() || Y > S.Area().bottom())
        return;
    X0 = std::max(X0, S.Area().left());
    X1 = std::min(X1, S.Area().right() + 1);
    if (X0 >= X1)
        return;
    C.ClipSpan(Y, X0, X1, [&](int A, int B) { PaintSpan(S, Y, A, B, P); });
}

void FillDeviceRect(const TCtx& C, const QRect& R, const TPaint& P)
{
    if (P.Kind == TPaint::None)
        return;
    const QRect Area = R & C.Bounds;
    if (Area.isEmpty())
        return;
    TSurface S(*C.Target, Area);
    for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
        PaintClippedSpan(C, S, Y, Area.left(), Area.right() + 1, P);
}

void FillDeviceRegion(const TCtx& C, const QRegion& Rgn, const TPaint& P)
{
    if (P.Kind == TPaint::None)
        return;
    const QRegion R = Rgn & C.Clip;
    if (R.isEmpty())
        return;
    TSurface S(*C.Target, R.boundingRect());
    for (const QRect& Rc : R)
        for (int Y = Rc.top(); Y <= Rc.bottom(); ++Y)
            PaintSpan(S, Y, Rc.left(), Rc.right() + 1, P);
}

// A rectangle from logical coordinates to device coordinates, right and bottom
// excluded; an empty QRect when it holds no pixel.
QRect DeviceRect(const TCtx& C, int L, int T, int R, int B)
{
    const int DL = C.DX(L), DT = C.DY(T), DR = C.DX(R), DB = C.DY(B);
    if (DR <= DL || DB <= DT)
        return QRect();
    return QRect(QPoint(DL, DT), QPoint(DR - 1, DB - 1));
}

// ---------------------------------------------------------------- lines

// Calls Plot(X, Y, I) for the pixels of the line from (X0, Y0) to (X1, Y1),
// the end pixel left out, that lie in Lim; I counts steps along the major axis.
template <class F>
void WalkLine(int X0, int Y0, int X1, int Y1, const QRect& Lim, F&& Plot)
{
    const long long DX = static_cast<long long>(X1) - X0, DY = static_cast<long long>(Y1) - Y0;
    const long long ADX = std::llabs(DX), ADY = std::llabs(DY);
    const int SX = DX < 0 ? -1 : 1, SY = DY < 0 ? -1 : 1;
    const long long N = std::max(ADX, ADY);
    if (N == 0 || Lim.isEmpty())
        return;
    if (ADX >= ADY) {
        long long Lo = 0, Hi = N - 1;
        if (SX > 0) {
            Lo = std::max(Lo, static_cast<long long>(Lim.left()) - X0);
            Hi = std::min(Hi, static_cast<long long>(Lim.right()) - X0);
        } else {
            Lo = std::max(Lo, static_cast<long long>(X0) - Lim.right());
            Hi = std::min(Hi, static_cast<long long>(X0) - Lim.left());
        }
        for (long long I = Lo; I <= Hi; ++I) {
            const long long Y = Y0 + SY * ((2 * I * ADY + ADX) / (2 * ADX));
            if (Y >= Lim.top() && Y <= Lim.bottom())
                Plot(static_cast<int>(X0 + SX * I), static_cast<int>(Y), I);
        }
    } else {
        long long Lo = 0, Hi = N - 1;
        if (SY > 0) {
            Lo = std::max(Lo, static_cast<long long>(Lim.top()) - Y0);
            Hi = std::min(Hi, static_cast<long long>(Lim.bottom()) - Y0);
        } else {
            Lo = std::max(Lo, static_cast<long long>(Y0) - Lim.bottom());
            Hi = std::min(Hi, static_cast<long long>(Y0) - Lim.top());
        }
        for (long long I = Lo; I <= Hi; ++I) {
            const long long X = X0 + SX * ((2 * I * ADX + ADY) / (2 * ADY));
            if (X >= Lim.left() && X <= Lim.right())
                Plot(static_cast<int>(X), static_cast<int>(Y0 + SY * I), I);
        }
    }
}

// The on/off pattern of a pen style, one entry a pixel.
struct TDash {
    bool On[24] = {};
    int Length = 0; // 0: solid
};

TDash DashOf(TPenStyle Style)
{
    static constexpr uint8_t Dash[] = {18, 6}, Dot[] = {3, 3}, DashDot[] = {9, 6, 3, 6},
                             DashDotDot[] = {9, 3, 3, 3, 3, 3};
    const uint8_t* Seg = nullptr;
    int Count = 0;
    switch (Style) {
    case psDash: Seg = Dash; Count = 2; break;
    case psDot: Seg = Dot; Count = 2; break;
    case psDashDot: Seg = DashDot; Count = 4; break;
    case psDashDotDot: Seg = DashDotDot; Count = 6; break;
    default: break;
    }
    TDash D;
    for (int I = 0; I < Count; ++I)
        for (int K = 0; K < Seg[I]; ++K)
            D.On[D.Length++] = (I % 2) == 0;
    return D;
}

// The pen of one operation.
struct TPenSpec {
    bool Visible = true;
    int Width = 1;
    uint32_t Color = BlackPix;
    uint32_t Bk = WhitePix;
    bool Gaps = false;
    int Rop2 = Rop2Copy;
    TDash Dash;
    TPenStyle Style = psSolid;
};

TPenSpec PenSpec(const TCtx& C, const TPen* P)
{
    TPenSpec S;
    S.Style = P->Style();
    S.Visible = S.Style != psClear;
    S.Width = std::max(1, P->Width());
    S.Color = C.Map(ColorPix(P->Color()));
    S.Bk = C.Bk;
    S.Gaps = C.OpaqueBk;
    S.Rop2 = C.Rop2;
    if (S.Width == 1)
        S.Dash = DashOf(S.Style);
    return S;
}

// A one-pixel line with the pen (dashes continue from Phase).
void PlotThinLine(const TCtx& C, TSurface& S, const TPenSpec& Pen, int X0, int Y0, int X1, int Y1, long long& Phase)
{
    const QRect Lim = S.Area() & C.Bounds;
    WalkLine(X0, Y0, X1, Y1, Lim, [&](int X, int Y, long long I) {
        if (!C.Contains(X, Y))
            return;
        if (Pen.Dash.Length == 0 || Pen.Dash.On[(Phase + I) % Pen.Dash.Length])
            S.Put(X, Y, Pen.Color, Pen.Rop2);
        else if (Pen.Gaps)
            S.Put(X, Y, Pen.Bk, Pen.Rop2);
    });
    Phase += std::max(std::llabs(static_cast<long long>(X1) - X0), std::llabs(static_cast<long long>(Y1) - Y0));
}

// Paints the set pixels of a mask (RGB32, non-black = set) whose top left is
// device point At.
void PaintMask(const TCtx& C, const QImage& Mask, QPoint At, const TPaint& P)
{
    const QRect Area = QRect(At, Mask.size()) & C.Bounds;
    if (Area.isEmpty() || P.Kind == TPaint::None)
        return;
    TSurface S(*C.Target, Area);
    for (int Y = Area.top(); Y <= Area.bottom(); ++Y) {
        const auto* M = reinterpret_cast<const uint32_t*>(Mask.constScanLine(Y - At.y()));
        auto Set = [&](int X) { return (M[X - At.x()] & RgbBits) != 0; };
        int X = Area.left();
        const int End = Area.right() + 1;
        while (X < End) {
            while (X < End && !Set(X))
                ++X;
            int X1 = X;
            while (X1 < End && Set(X1))
                ++X1;
            if (X < X1)
                C.ClipSpan(Y, X, X1, [&](int A, int B) { PaintSpan(S, Y, A, B, P); });
            X = X1;
        }
    }
}

// Rasterises with Qt (no antialiasing) into a mask over Area (device).
QImage RasterMask(const QRect& Area, const std::function<void(QPainter&)>& Draw)
{
    QImage M(Area.size(), QImage::Format_RGB32);
    M.fill(0);
    QPainter P(&M);
    P.setRenderHint(QPainter::Antialiasing, false);
    P.translate(-Area.x(), -Area.y());
    P.setPen(Qt::NoPen);
    P.setBrush(Qt::white);
    Draw(P);
    return M;
}

// Clips a segment to a rectangle (Liang-Barsky); false when nothing is left.
bool ClipSegment(double& X0, double& Y0, double& X1, double& Y1, const QRectF& R)
{
    double T0 = 0, T1 = 1;
    const double DX = X1 - X0, DY = Y1 - Y0;
    const double P[4] = {-DX, DX, -DY, DY};
    const double Q[4] = {X0 - R.left(), R.right() - X0, Y0 - R.top(), R.bottom() - Y0};
    for (int I = 0; I < 4; ++I) {
        if (P[I] == 0) {
            if (Q[I] < 0)
                return false;
            continue;
        }
        const double T = Q[I] / P[I];
        if (P[I] < 0)
            T0 = std::max(T0, T);
        else
            T1 = std::min(T1, T);
        if (T0 > T1)
            return false;
    }
    const double NX0 = X0 + T0 * DX, NY0 = Y0 + T0 * DY, NX1 = X0 + T1 * DX, NY1 = Y0 + T1 * DY;
    X0 = NX0;
    Y0 = NY0;
    X1 = NX1;
    Y1 = NY1;
    return true;
}

// Wide pen lines: the union of round-capped segments, which is the same as
// the segments joined with round joins.
void PaintWideLines(const TCtx& C, const std::vector<QPoint>& Pts, bool Closed, const TPenSpec& Pen)
{
    if (Pts.empty())
        return;
    const int W = Pen.Width;
    QRect Box;
    for (const QPoint& P : Pts)
        Box |= QRect(P, QSize(1, 1));
    Box.adjust(-W, -W, W, W);
    const QRect Area = Box & C.Bounds;
    if (Area.isEmpty())
        return;
    const QRectF Lim = QRectF(Area).adjusted(-W, -W, W, W);
    QImage Mask = RasterMask(Area, [&](QPainter& P) {
        QPainterPath Path;
        const size_t N = Pts.size();
        const size_t Segs = Closed ? N : N - 1;
        for (size_t I = 0; I < std::max<size_t>(Segs, 1); ++I) {
            const QPoint& A = Pts[I % N];
            const QPoint& B = Pts[(I + 1) % N];
            double X0 = A.x() + 0.5, Y0 = A.y() + 0.5, X1 = B.x() + 0.5, Y1 = B.y() + 0.5;
            if (!ClipSegment(X0, Y0, X1, Y1, Lim))
                continue;
            QPainterPath Seg;
            Seg.moveTo(X0, Y0);
            Seg.lineTo(X1, Y1);
            QPainterPathStroker St;
            St.setWidth(W);
            St.setCapStyle(Qt::RoundCap);
            St.setJoinStyle(Qt::RoundJoin);
            Path.addPath(St.createStroke(Seg));
        }
        Path.setFillRule(Qt::WindingFill);
        P.drawPath(Path);
    });
    PaintMask(C, Mask, Area.topLeft(), TPaint::SolidPaint(Pen.Color, Pen.Rop2));
}

// Outline of a polygon or polyline with the pen (device points). Each segment
// leaves out its end point, so a closed outline covers every pixel once.
void StrokePoints(const TCtx& C, const std::vector<QPoint>& Pts, bool Closed, const TPenSpec& Pen, long long& Phase)
{
    if (!Pen.Visible || Pts.empty())
        return;
    if (Pen.Width > 1) {
        PaintWideLines(C, Pts, Closed, Pen);
        return;
    }
    QRect Box;
    for (const QPoint& P : Pts)
        Box |= QRect(P, QSize(1, 1));
    const QRect Area = Box & C.Bounds;
    if (Area.isEmpty()) {
        // Keep the dash phase moving as if the lines had been drawn.
        for (size_t I = 0; I + 1 < Pts.size(); ++I)
            Phase += std::max(std::abs(Pts[I + 1].x() - Pts[I].x()), std::abs(Pts[I + 1].y() - Pts[I].y()));
        return;
    }
    TSurface S(*C.Target, Area);
    const size_t N = Pts.size();
    for (size_t I = 0; I + 1 < N; ++I)
        PlotThinLine(C, S, Pen, Pts[I].x(), Pts[I].y(), Pts[I + 1].x(), Pts[I + 1].y(), Phase);
    if (Closed && N > 1)
        PlotThinLine(C, S, Pen, Pts[N - 1].x(), Pts[N - 1].y(), Pts[0].x(), Pts[0].y(), Phase);
}

// Sutherland-Hodgman clipping of a polygon to a rectangle. The even-odd fill
// inside the rectangle stays the same.
QPolygonF ClipPolygon(const QPolygonF& In, const QRectF& R)
{
    QPolygonF Poly = In;
    for (int Edge = 0; Edge < 4 && !Poly.isEmpty(); ++Edge) {
        auto Inside = [&](const QPointF& P) {
            switch (Edge) {
            case 0: return P.x() >= R.left();
            case 1: return P.x() <= R.right();
            case 2: return P.y() >= R.top();
            default: return P.y() <= R.bottom();
            }
        };
        auto Cross = [&](const QPointF& A, const QPointF& B) {
            double T;
            switch (Edge) {
            case 0: T = (R.left() - A.x()) / (B.x() - A.x()); break;
            case 1: T = (R.right() - A.x()) / (B.x() - A.x()); break;
            case 2: T = (R.top() - A.y()) / (B.y() - A.y()); break;
            default: T = (R.bottom() - A.y()) / (B.y() - A.y()); break;
            }
            return A + (B - A) * T;
        };
        QPolygonF Out;
        for (int I = 0; I < Poly.size(); ++I) {
            const QPointF& Cur = Poly[I];
            const QPointF& Prev = Poly[(I + Poly.size() - 1) % Poly.size()];
            const bool CI = Inside(Cur), PI = Inside(Prev);
            if (CI) {
                if (!PI)
                    Out << Cross(Prev, Cur);
                Out << Cur;
            } else if (PI) {
                Out << Cross(Prev, Cur);
            }
        }
        Poly = Out;
    }
    return Poly;
}

// ---------------------------------------------------------------- ellipses

// Row Y of the ellipse inscribed in the box L .. R-1, T .. B-1: the pixels
// whose centres lie strictly inside it, X0 .. X1 - 1. Exact integer arithmetic,
// so the shape is symmetric.
bool EllipseSpan(long long L, long long T, long long R, long long B, long long Y, long long& X0, long long& X1)
{
    const long long W = R - L, H = B - T;
    if (W <= 0 || H <= 0 || Y < T || Y >= B)
        return false;
    using I128 = __int128;
    const I128 WW = static_cast<I128>(W) * W, HH = static_cast<I128>(H) * H;
    const I128 Y2 = 2 * Y + 1 - (T + B);
    const I128 Rem = WW * (HH - Y2 * Y2); // X2^2 * HH < Rem
    if (Rem <= 0)
        return false;
    long long K = static_cast<long long>(std::sqrt(static_cast<long double>(Rem) / static_cast<long double>(HH)));
    while (static_cast<I128>(K + 1) * (K + 1) * HH < Rem)
        ++K;
    while (K >= 0 && static_cast<I128>(K) * K * HH >= Rem)
        --K;
    // X2 = 2x + 1 - (L + R) has the parity of W + 1.
    if (((K ^ (W + 1)) & 1) != 0)
        --K;
    if (K < 0)
        return false;
    X0 = (-K - 1 + L + R) / 2;
    X1 = (K - 1 + L + R) / 2 + 1;
    return X0 < X1;
}

// Rounded rectangle L .. R-1, T .. B-1 with corner ellipses EW x EH.
bool RoundRectSpan(long long L, long long T, long long R, long long B, long long EW, long long EH, long long Y,
                   long long& X0, long long& X1)
{
    if (Y < T || Y >= B || R <= L)
        return false;
    EW = std::clamp(EW, 0LL, R - L);
    EH = std::clamp(EH, 0LL, B - T);
    if (EW < 2 || EH < 2) {
        X0 = L;
        X1 = R;
        return true;
    }
    // Rows in the top or bottom band take the corner ellipse's row.
    long long EY = -1;
    if (2 * (Y - T) + 1 < EH)
        EY = Y - T;
    else if (2 * (B - 1 - Y) + 1 < EH)
        EY = EH - (B - Y);
    if (EY < 0) {
        X0 = L;
        X1 = R;
        return true;
    }
    long long A, Z;
    if (!EllipseSpan(0, 0, EW, EH, EY, A, Z))
        return false;
    X0 = L + A;
    X1 = R - (EW - Z);
    return X0 < X1;
}

using TSpanFn = std::function<bool(long long Y, long long& X0, long long& X1)>;

// A figure whose rows are single spans: Outer gives its rows; the outline is
// its border one pixel wide (Inner null) or Outer minus Inner (wide pens).
// The outline gets Pen, the rest Brush.
void PaintSpanFigure(const TCtx& C, const QRect& Box, const TSpanFn& Outer, const TSpanFn* Inner, bool Outline,
                     const TPaint& Pen, const TPaint& Brush)
{
    const QRect Area = Box & C.Bounds;
    if (Area.isEmpty())
        return;
    TSurface S(*C.Target, Area);
    for (int Y = Area.top(); Y <= Area.bottom(); ++Y) {
        long long A, B;
        if (!Outer(Y, A, B))
            continue;
        const int X0 = static_cast<int>(std::max<long long>(A, Area.left()));
        const int X1 = static_cast<int>(std::min<long long>(B, Area.right() + 1LL));
        if (!Outline) {
            PaintClippedSpan(C, S, Y, X0, X1, Brush);
            continue;
        }
        long long IA = 0, IB = 0;
        bool HasInner;
        if (Inner) {
            HasInner = (*Inner)(Y, IA, IB);
        } else {
            long long PA, PB, NA, NB;
            HasInner = Outer(Y - 1LL, PA, PB) && Outer(Y + 1LL, NA, NB);
            if (HasInner) {
                IA = std::max({A + 1, PA, NA});
                IB = std::min({B - 1, PB, NB});
            }
        }
        if (!HasInner || IA >= IB) {
            PaintClippedSpan(C, S, Y, X0, X1, Pen);
            continue;
        }
        const int I0 = static_cast<int>(std::clamp<long long>(IA, X0, X1));
        const int I1 = static_cast<int>(std::clamp<long long>(IB, X0, X1));
        PaintClippedSpan(C, S, Y, X0, I0, Pen);
        PaintClippedSpan(C, S, Y, I0, I1, Brush);
        PaintClippedSpan(C, S, Y, I1, X1, Pen);
    }
}

// Angle in radians of a point seen from (CX, CY), counter-clockwise with y
// pointing down on the screen, in [0, 2 pi).
double ScreenAngle(double CX, double CY, double X, double Y)
{
    double A = std::atan2(CY - Y, X - CX);
    return A < 0 ? A + 2 * std::numbers::pi : A;
}

enum class TArcKind { Arc, Pie, Chord };

// Arc, Pie and Chord on the ellipse of the device box (L, T, R, B).
void PaintArcFigure(const TCtx& C, TArcKind Kind, long long L, long long T, long long R, long long B, double XS,
                    double YS, double XE, double YE, const TPaint& Pen, bool PenVisible, const TPaint& Brush)
{
    const QRect Box(QPoint(ClampCoord(L), ClampCoord(T)), QPoint(ClampCoord(R - 1), ClampCoord(B - 1)));
    const QRect Area = Box & C.Bounds;
    if (Area.isEmpty() || R <= L || B <= T)
        return;
    const double CX = (L + R) / 2.0, CY = (T + B) / 2.0, RA = (R - L) / 2.0, RB = (B - T) / 2.0;
    const double A0 = ScreenAngle(CX, CY, XS, YS);
    double Sweep = ScreenAngle(CX, CY, XE, YE) - A0;
    if (Sweep <= 0)
        Sweep += 2 * std::numbers::pi;
    auto OnEllipse = [&](double A) {
        const double Co = std::cos(A), Si = std::sin(A);
        const double K = 1.0 / std::sqrt((Co / RA) * (Co / RA) + (Si / RB) * (Si / RB));
        return QPointF(CX + K * Co, CY - K * Si);
    };
    const QPointF PS = OnEllipse(A0), PE = OnEllipse(A0 + Sweep), PM = OnEllipse(A0 + Sweep / 2);
    auto Side = [&](double X, double Y) {
        return (PE.x() - PS.x()) * (Y - PS.y()) - (PE.y() - PS.y()) * (X - PS.x());
    };
    const double MidSide = Side(PM.x(), PM.y());
    const bool Full = Sweep >= 2 * std::numbers::pi - 1e-12;

    // Rows of the ellipse, one extra row above and below for the neighbours.
    const int Rows = Area.height() + 2;
    std::vector<long long> SA(Rows), SB(Rows);
    std::vector<char> SH(Rows);
    for (int I = 0; I < Rows; ++I)
        SH[I] = EllipseSpan(L, T, R, B, Area.top() - 1 + I, SA[I], SB[I]);
    auto InEllipse = [&](int X, int Y) {
        const int I = Y - Area.top() + 1;
        return I >= 0 && I < Rows && SH[I] && X >= SA[I] && X < SB[I];
    };
    auto InSector = [&](int X, int Y) {
        if (Full)
            return true;
        const double PX = X + 0.5, PY = Y + 0.5;
        if (PX == CX && PY == CY)
            return true;
        double D = ScreenAngle(CX, CY, PX, PY) - A0;
        if (D < 0)
            D += 2 * std::numbers::pi;
        return D <= Sweep;
    };
    auto InFigure = [&](int X, int Y) {
        if (!InEllipse(X, Y))
            return false;
        switch (Kind) {
        case TArcKind::Pie: return InSector(X, Y);
        case TArcKind::Chord: {
            if (Full)
                return true;
            const double S = Side(X + 0.5, Y + 0.5);
            return S == 0 || (S > 0) == (MidSide > 0);
        }
        default: return true;
        }
    };
    TSurface S(*C.Target, Area);
    for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
        for (int X = Area.left(); X <= Area.right(); ++X) {
            if (!C.Contains(X, Y) || !InFigure(X, Y))
                continue;
            const bool Border =
                !InFigure(X - 1, Y) || !InFigure(X + 1, Y) || !InFigure(X, Y - 1) || !InFigure(X, Y + 1);
            uint32_t Pix;
            if (Kind == TArcKind::Arc) {
                if (PenVisible && Border && InSector(X, Y) && Pen.At(X, Y, Pix))
                    S.Put(X, Y, Pix, Pen.Rop2);
                continue;
            }
            if (Border && PenVisible) {
                if (Pen.At(X, Y, Pix))
                    S.Put(X, Y, Pix, Pen.Rop2);
            } else if (Brush.At(X, Y, Pix)) {
                S.Put(X, Y, Pix, Brush.Rop2);
            }
        }
}

} // namespace

// ---------------------------------------------------------------- canvas internals

class TCanvasAccess {
public:
    static TCtx Context(TCanvas* C)
    {
        if (!C || !C->FTarget || C->FTarget->isNull())
            throw EInvalidOperation("Canvas does not allow drawing");
        TCtx X;
        X.Canvas = C;
        X.Target = C->FTarget;
        X.Mono = IsMonoFormat(X.Target->format());
        X.Org = QPoint(C->FViewportOrg.X, C->FViewportOrg.Y);
        const QRect ImageRect = X.Target->rect();
        X.Clip = C->FHasClip ? (C->FClip & ImageRect) : QRegion(ImageRect);
        X.Bounds = X.Clip.boundingRect();
        X.Rects.assign(X.Clip.begin(), X.Clip.end());
        X.Text = X.Map(ToPix(C->FTextColor));
        X.Bk = X.Map(ToPix(C->FBkColor));
        X.OpaqueBk = C->FBkMode == OPAQUE;
        X.Rop2 = C->FRop2;
        X.BrushOrg = QPoint(C->FBrushOrigin.X, C->FBrushOrigin.Y);
        return X;
    }
    static int& DashPos(TCanvas* C) { return C->FDashPos; }
    static void Justification(TCanvas* C, int& Extra, int& Count)
    {
        Extra = C->FBreakExtra;
        Count = C->FBreakCount;
    }
    static TPoint& PenPos(TCanvas* C) { return C->FPenPos; }
    static uint32_t BkColorRaw(TCanvas* C) { return C->FBkColor; }
};

namespace {

// Polygon filled with the even-odd rule and outlined with the pen.
void PaintPolygon(const TCtx& C, const std::vector<QPoint>& Pts, const TPenSpec& Pen, const TPaint& Brush)
{
    if (Pts.size() < 2)
        return;
    if (Brush.Kind != TPaint::None && Pts.size() >= 3) {
        QRect Box;
        for (const QPoint& P : Pts)
            Box |= QRect(P, QSize(1, 1));
        const QRect Area = Box & C.Bounds;
        if (!Area.isEmpty()) {
            QPolygonF Poly;
            for (const QPoint& P : Pts)
                Poly << QPointF(P);
            Poly = ClipPolygon(Poly, QRectF(Area).adjusted(-2, -2, 2, 2));
            if (Poly.size() >= 3) {
                QImage Mask = RasterMask(Area, [&](QPainter& P) { P.drawPolygon(Poly, Qt::OddEvenFill); });
                PaintMask(C, Mask, Area.topLeft(), Brush);
            }
        }
    }
    long long Phase = 0;
    StrokePoints(C, Pts, true, Pen, Phase);
}

// ---------------------------------------------------------------- text

struct TTextSeg {
    int X = 0;
    QString Text;
};

// One line of text: reference point (device), the offset of its cell's top
// left from there along the text's axes, its pieces and underline.
struct TTextLine {
    int X = 0;
    int Y = 0;
    int OX = 0;
    int OY = 0;
    std::vector<TTextSeg> Segs;
    int Width = 0;
    int ULX = -1;
    int ULW = 0;
    bool Glyphs = true;
};

void PaintText(const TCtx& C, TFont* Font, const std::vector<TTextLine>& Lines, bool OpaqueCells,
               const QRect* OpaqueRect, const QRect* ClipRect)
{
    const TTextMetric& TM = Font->Metrics();
    const int LH = TM.tmHeight;
    const double Angle = Font->Orientation() / 10.0;
    QRect Area;
    for (const TTextLine& L : Lines) {
        QTransform T;
        T.translate(L.X, L.Y);
        if (Angle != 0)
            T.rotate(-Angle);
        Area |= T.mapRect(QRect(L.OX - LH, L.OY - 2, L.Width + 2 * LH, LH + 4));
    }
    if (OpaqueRect)
        Area |= *OpaqueRect;
    if (ClipRect)
        Area &= *ClipRect;
    Area &= C.Bounds;
    if (Area.isEmpty())
        return;
    TSurface S(*C.Target, Area);
    if (S.Empty())
        return;
    {
        QPainter P(&S.Image());
        QRegion Clip = C.Clip & QRegion(S.Area());
        if (ClipRect)
            Clip &= *ClipRect;
        P.setClipRegion(Clip.translated(-S.Origin()));
        const QColor Bk = QColor::fromRgb(C.Bk), Text = QColor::fromRgb(C.Text);
        if (OpaqueRect)
            P.fillRect(OpaqueRect->translated(-S.Origin()), Bk);
        P.setFont(Font->QtFont());
        P.setPen(Text);
        const QRect Visible = Clip.boundingRect(); // device coordinates
        for (const TTextLine& L : Lines) {
            QTransform T;
            T.translate(L.X, L.Y);
            if (Angle != 0)
                T.rotate(-Angle);
            if (!T.mapRect(QRect(L.OX - LH, L.OY - 2, L.Width + 2 * LH, LH + 4)).intersects(Visible))
                continue;
            P.save();
            P.translate(L.X - S.Origin().x(), L.Y - S.Origin().y());
            if (Angle != 0)
                P.rotate(-Angle);
            if (OpaqueCells && L.Width > 0)
                P.fillRect(QRect(L.OX, L.OY, L.Width, LH), Bk);
            if (L.Glyphs)
                for (const TTextSeg& Seg : L.Segs)
                    if (!Seg.Text.isEmpty())
                        P.drawText(QPoint(L.OX + Seg.X, L.OY + TM.tmAscent), Seg.Text);
            if (L.ULX >= 0 && L.ULW > 0)
                P.fillRect(QRect(L.OX + L.ULX, L.OY + TM.tmAscent + TM.tmUnderlinePos, L.ULW, TM.tmUnderlineThickness),
                           Text);
            P.restore();
        }
    }
}

QString Latin1(std::string_view S)
{
    return QString::fromLatin1(S.data(), static_cast<qsizetype>(S.size()));
}

// ExtTextOut after the canvas state is in effect.
void ExtTextOutImpl(TCanvas* Canvas, int X, int Y, unsigned Options, const TRect* R, std::string_view Text,
                    const int* Dx)
{
    TCtx C = TCanvasAccess::Context(Canvas);
    TFont* Font = Canvas->Font();
    const TTextMetric& TM = Font->Metrics();
    const int* CW = Font->CharWidths();
    const size_t N = Text.size();
    int Extra = 0, Count = 0;
    TCanvasAccess::Justification(Canvas, Extra, Count);
    const bool Justify = !Dx && Count > 0;

    TTextLine L;
    std::vector<int> Adv(N);
    int Blank = 0;
    for (size_t I = 0; I < N; ++I) {
        const unsigned char Ch = static_cast<unsigned char>(Text[I]);
        Adv[I] = Dx ? Dx[I] : CW[Ch];
        if (Justify && Ch == ' ') {
            const int Rem = Extra % Count;
            Adv[I] += Extra / Count + (Blank < std::abs(Rem) ? (Rem < 0 ? -1 : 1) : 0);
            ++Blank;
        }
        L.Width += Adv[I];
    }
    if (!Dx && !Justify) {
        L.Segs.push_back({0, Latin1(Text)});
    } else {
        int Pos = 0;
        size_t I = 0;
        while (I < N) {
            if (Justify && Text[I] == ' ') {
                Pos += Adv[I++];
                continue;
            }
            size_t J = I + 1;
            if (Justify)
                while (J < N && Text[J] != ' ')
                    ++J;
            int W = 0;
            for (size_t K = I; K < J; ++K)
                W += Adv[K];
            L.Segs.push_back({Pos, Latin1(Text.substr(I, J - I))});
            Pos += W;
            I = J;
        }
    }
    const unsigned Align = Canvas->TextAlign();
    TPoint& Pen = TCanvasAccess::PenPos(Canvas);
    const TPoint Ref = (Align & TA_UPDATECP) ? Pen : TPoint(X, Y);
    L.X = C.DX(Ref.X);
    L.Y = C.DY(Ref.Y);
    switch (Align & 6) {
    case TA_CENTER: L.OX = -L.Width / 2; break;
    case TA_RIGHT: L.OX = -L.Width; break;
    default: break;
    }
    switch (Align & 24) {
    case TA_BASELINE: L.OY = -TM.tmAscent; break;
    case TA_BOTTOM: L.OY = -TM.tmHeight; break;
    default: break;
    }
    QRect Opaque, Clip;
    if (R) {
        Opaque = DeviceRect(C, R->Left, R->Top, R->Right, R->Bottom);
        Clip = Opaque;
    }
    PaintText(C, Font, {L}, C.OpaqueBk, (R && (Options & ETO_OPAQUE)) ? &Opaque : nullptr,
              (R && (Options & ETO_CLIPPED)) ? &Clip : nullptr);
    if (Align & TA_UPDATECP)
        Pen.X += (Align & 6) == TA_LEFT ? L.Width : 0;
}

} // namespace

// ---------------------------------------------------------------- TCanvas

TCanvas::TCanvas(QImage* Target)
    : FTarget(Target), FFont(new TFont(this)), FPen(new TPen(this)), FBrush(new TBrush(this))
{
    FFont->OnChange = [this](TObject*) { FontChanged(); };
    FPen->OnChange = [this](TObject*) { PenChanged(); };
    FBrush->OnChange = [this](TObject*) { BrushChanged(); };
}

TCanvas::~TCanvas() = default;

void TCanvas::SetTarget(QImage* Value)
{
    FTarget = Value;
    FHasClip = false;
    FClip = QRegion();
}

bool TCanvas::Monochrome() const
{
    return FTarget && IsMonoFormat(FTarget->format());
}

void TCanvas::SetFont(TFont* Value)
{
    if (Value)
        FFont->Assign(Value);
}

void TCanvas::SetPen(TPen* Value)
{
    if (Value)
        FPen->Assign(Value);
}

void TCanvas::SetBrush(TBrush* Value)
{
    if (Value)
        FBrush->Assign(Value);
}

void TCanvas::SetCopyMode(TCopyMode Value)
{
    FCopyMode = Value;
}

void TCanvas::FontChanged()
{
    FFontDirty = true;
}

void TCanvas::PenChanged()
{
    FPenDirty = true;
}

void TCanvas::BrushChanged()
{
    FBrushDirty = true;
}

void TCanvas::RequireFont()
{
    if (!FFontDirty)
        return;
    FFontDirty = false;
    FTextColor = static_cast<uint32_t>(ColorToRGB(FFont->Color())) & RgbBits;
}

void TCanvas::RequirePen()
{
    if (!FPenDirty)
        return;
    FPenDirty = false;
    FRop2 = PenModeToRop2(FPen->Mode());
}

void TCanvas::RequireBrush()
{
    if (!FBrushDirty)
        return;
    FBrushDirty = false;
    const uint32_t C = static_cast<uint32_t>(ColorToRGB(FBrush->Color())) & RgbBits;
    if (FBrush->Style() == bsSolid) {
        FBkColor = C;
        FBkMode = OPAQUE;
    } else {
        FBkColor = ~C & RgbBits;
        FBkMode = TRANSPARENT;
    }
}

void TCanvas::RequireAllState()
{
    RequireFont();
    RequirePen();
    RequireBrush();
}

void TCanvas::Changing()
{
    if (OnChanging)
        OnChanging(this);
}

void TCanvas::Changed()
{
    if (OnChange)
        OnChange(this);
}

TRect TCanvas::ClipRect() const
{
    if (!FTarget || FTarget->isNull())
        return TRect();
    QRect R = FTarget->rect();
    if (FHasClip)
        R &= FClip.boundingRect();
    if (R.isEmpty())
        return TRect();
    TRect T = TRect::FromQRect(R);
    OffsetRect(T, -FViewportOrg.X, -FViewportOrg.Y);
    return T;
}

TColor TCanvas::Pixels(int X, int Y) const
{
    if (!FTarget || FTarget->isNull())
        return CLR_INVALID;
    const long long DX = static_cast<long long>(X) + FViewportOrg.X, DY = static_cast<long long>(Y) + FViewportOrg.Y;
    if (DX < 0 || DY < 0 || DX >= FTarget->width() || DY >= FTarget->height())
        return CLR_INVALID;
    const QPoint P(static_cast<int>(DX), static_cast<int>(DY));
    if (FHasClip && !FClip.contains(P))
        return CLR_INVALID;
    const QImage::Format F = FTarget->format();
    if (Is32(F))
        return MakeColor(FromPix(reinterpret_cast<const uint32_t*>(FTarget->constScanLine(P.y()))[P.x()]));
    if (IsMonoFormat(F))
        return MonoIndexAt(FTarget->constScanLine(P.y()), P.x(), F == QImage::Format_MonoLSB) == WhiteIndex(*FTarget)
                   ? clWhite
                   : clBlack;
    return MakeColor(FromPix(FTarget->pixel(P)));
}

void TCanvas::SetPixels(int X, int Y, TColor Color)
{
    Changing();
    TCtx C = TCanvasAccess::Context(this);
    const int DX = C.DX(X), DY = C.DY(Y);
    if (C.Contains(DX, DY)) {
        TSurface S(*C.Target, QRect(DX, DY, 1, 1));
        S.Put(DX, DY, C.Map(ColorPix(Color)), Rop2Copy);
    }
    Changed();
}

TColor TCanvas::TextColor()
{
    RequireAllState();
    return MakeColor(FTextColor);
}

TColor TCanvas::SetTextColor(TColor Color)
{
    RequireAllState();
    const TColor Old = MakeColor(FTextColor);
    FTextColor = static_cast<uint32_t>(ColorToRGB(Color)) & RgbBits;
    return Old;
}

TColor TCanvas::BkColor()
{
    RequireAllState();
    return MakeColor(FBkColor);
}

TColor TCanvas::SetBkColor(TColor Color)
{
    RequireAllState();
    const TColor Old = MakeColor(FBkColor);
    FBkColor = static_cast<uint32_t>(ColorToRGB(Color)) & RgbBits;
    return Old;
}

int TCanvas::BkMode()
{
    RequireAllState();
    return FBkMode;
}

int TCanvas::SetBkMode(int Mode)
{
    if (Mode != TRANSPARENT && Mode != OPAQUE)
        throw EInvalidOperation("Invalid background mode " + IntToStr(Mode));
    RequireAllState();
    const int Old = FBkMode;
    FBkMode = Mode;
    return Old;
}

unsigned TCanvas::SetTextAlign(unsigned Align)
{
    const unsigned Old = FTextAlign;
    FTextAlign = Align & (TA_UPDATECP | TA_CENTER | TA_BASELINE);
    return Old;
}

void TCanvas::SetTextJustification(int BreakExtra, int BreakCount)
{
    if (BreakCount <= 0) {
        FBreakExtra = 0;
        FBreakCount = 0;
        return;
    }
    FBreakExtra = std::clamp(BreakExtra, -MaxCoord, MaxCoord);
    FBreakCount = BreakCount;
}

QRegion TCanvas::ClipRegion() const
{
    return FHasClip ? FClip : QRegion();
}

void TCanvas::SetClipRegion(const QRegion* Region)
{
    FHasClip = Region != nullptr;
    FClip = Region ? *Region : QRegion();
}

namespace {
QRect LogicalToDevice(const TRect& R, TPoint Org)
{
    const long long L = static_cast<long long>(R.Left) + Org.X, T = static_cast<long long>(R.Top) + Org.Y;
    const long long Rt = static_cast<long long>(R.Right) + Org.X, B = static_cast<long long>(R.Bottom) + Org.Y;
    if (Rt <= L || B <= T)
        return QRect();
    return QRect(QPoint(ClampCoord(L), ClampCoord(T)), QPoint(ClampCoord(Rt - 1), ClampCoord(B - 1)));
}
const QRect Everything(QPoint(-MaxCoord, -MaxCoord), QPoint(MaxCoord, MaxCoord));
} // namespace

void TCanvas::IntersectClipRect(const TRect& R)
{
    const QRect D = LogicalToDevice(R, FViewportOrg);
    FClip = FHasClip ? (FClip & D) : QRegion(D);
    FHasClip = true;
}

void TCanvas::ExcludeClipRect(const TRect& R)
{
    const QRect D = LogicalToDevice(R, FViewportOrg);
    FClip = (FHasClip ? FClip : QRegion(Everything)) - QRegion(D);
    FHasClip = true;
}

void TCanvas::Lock()
{
    FMutex.lock();
    ++FLockCount;
}

void TCanvas::Unlock()
{
    if (FLockCount <= 0)
        throw EInvalidOperation("Canvas is not locked");
    --FLockCount;
    FMutex.unlock();
}

bool TCanvas::TryLock()
{
    if (!FMutex.try_lock())
        return false;
    ++FLockCount;
    return true;
}

void TCanvas::MoveTo(int X, int Y)
{
    FPenPos = TPoint(X, Y);
    FDashPos = 0;
}

void TCanvas::LineTo(int X, int Y)
{
    Changing();
    RequirePen();
    RequireBrush();
    TCtx C = TCanvasAccess::Context(this);
    const TPenSpec Pen = PenSpec(C, FPen);
    long long Phase = FDashPos;
    StrokePoints(C, {QPoint(C.DX(FPenPos.X), C.DY(FPenPos.Y)), QPoint(C.DX(X), C.DY(Y))}, false, Pen, Phase);
    FDashPos = static_cast<int>(Phase % 24);
    FPenPos = TPoint(X, Y);
    Changed();
}

namespace {
std::vector<QPoint> DevicePoints(const TCtx& C, std::span<const TPoint> Points)
{
    std::vector<QPoint> R;
    R.reserve(Points.size());
    for (const TPoint& P : Points)
        R.emplace_back(C.DX(P.X), C.DY(P.Y));
    return R;
}
} // namespace

void TCanvas::Polyline(std::span<const TPoint> Points)
{
    Changing();
    RequirePen();
    RequireBrush();
    TCtx C = TCanvasAccess::Context(this);
    long long Phase = 0;
    if (Points.size() >= 2)
        StrokePoints(C, DevicePoints(C, Points), false, PenSpec(C, FPen), Phase);
    Changed();
}

void TCanvas::Polygon(std::span<const TPoint> Points)
{
    Changing();
    RequirePen();
    RequireBrush();
    TCtx C = TCanvasAccess::Context(this);
    PaintPolygon(C, DevicePoints(C, Points), PenSpec(C, FPen), BrushPaint(C, FBrush, C.Rop2));
    Changed();
}

namespace {
void Order(int& A, int& B)
{
    if (A > B)
        std::swap(A, B);
}
} // namespace

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2)
{
    Changing();
    RequirePen();
    RequireBrush();
    TCtx C = TCanvasAccess::Context(this);
    Order(X1, X2);
    Order(Y1, Y2);
    const int L = C.DX(X1), T = C.DY(Y1), R = C.DX(X2), B = C.DY(Y2);
    const TPenSpec Pen = PenSpec(C, FPen);
    const TPaint Brush = BrushPaint(C, FBrush, C.Rop2);
    if (R > L && B > T) {
        if (!Pen.Visible) {
            if (R - 1 > L && B - 1 > T)
                FillDeviceRect(C, QRect(QPoint(L, T), QPoint(R - 2, B - 2)), Brush);
        } else if (Pen.Width == 1) {
            if (R - L > 2 && B - T > 2)
                FillDeviceRect(C, QRect(QPoint(L + 1, T + 1), QPoint(R - 2, B - 2)), Brush);
            long long Phase = 0;
            StrokePoints(C, {QPoint(L, T), QPoint(R - 1, T), QPoint(R - 1, B - 1), QPoint(L, B - 1)}, true, Pen, Phase);
        } else {
            const int W = Pen.Width, Half = W / 2;
            const QRect Outer = Pen.Style == psInsideFrame
                                    ? QRect(QPoint(L, T), QPoint(R - 1, B - 1))
                                    : QRect(QPoint(L - Half, T - Half), QPoint(R - 2 - Half + W, B - 2 - Half + W));
            const QRect Inner = Outer.adjusted(W, W, -W, -W);
            if (Inner.isValid())
                FillDeviceRect(C, Inner, Brush);
            FillDeviceRegion(C, QRegion(Outer) - QRegion(Inner.isValid() ? Inner : QRect()),
                             TPaint::SolidPaint(Pen.Color, Pen.Rop2));
        }
    }
    Changed();
}

namespace {
// Ellipse-like figures: the box (L, T, R, B) in device coordinates and a row
// function for any box.
using TRowOf = std::function<bool(long long L, long long T, long long R, long long B, bool Inner, long long Y,
                                  long long& X0, long long& X1)>;

void PaintRoundFigure(const TCtx& C, int L, int T, int R, int B, const TPenSpec& Pen, const TPaint& Brush,
                      const TRowOf& RowOf)
{
    if (R <= L || B <= T)
        return;
    if (!Pen.Visible) {
        TSpanFn Outer = [&](long long Y, long long& A, long long& Z) { return RowOf(L, T, R - 1, B - 1, false, Y, A, Z); };
        PaintSpanFigure(C, QRect(QPoint(L, T), QPoint(R - 2, B - 2)), Outer, nullptr, false, TPaint(), Brush);
        return;
    }
    const TPaint PenPaint = TPaint::SolidPaint(Pen.Color, Pen.Rop2);
    if (Pen.Width == 1) {
        TSpanFn Outer = [&](long long Y, long long& A, long long& Z) { return RowOf(L, T, R, B, false, Y, A, Z); };
        PaintSpanFigure(C, QRect(QPoint(L, T), QPoint(R - 1, B - 1)), Outer, nullptr, true, PenPaint, Brush);
        return;
    }
    const int W = Pen.Width, Half = W / 2;
    long long OL = L, OT = T, OR = R, OB = B;
    if (Pen.Style != psInsideFrame) {
        OL = L - Half;
        OT = T - Half;
        OR = R - 1 - Half + W;
        OB = B - 1 - Half + W;
    }
    TSpanFn Outer = [&](long long Y, long long& A, long long& Z) { return RowOf(OL, OT, OR, OB, false, Y, A, Z); };
    TSpanFn Inner = [&](long long Y, long long& A, long long& Z) {
        return RowOf(OL + W, OT + W, OR - W, OB - W, true, Y, A, Z);
    };
    PaintSpanFigure(C, QRect(QPoint(ClampCoord(OL), ClampCoord(OT)), QPoint(ClampCoord(OR - 1), ClampCoord(OB - 1))),
                    Outer, &Inner, true, PenPaint, Brush);
}
} // namespace

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    Changing();
    RequirePen();
    RequireBrush();
    TCtx C = TCanvasAccess::Context(this);
    Order(X1, X2);
    Order(Y1, Y2);
    const long long EW = std::abs(static_cast<long long>(X3)), EH = std::abs(static_cast<long long>(Y3));
    const TPenSpec Pen = PenSpec(C, FPen);
    const int W = Pen.Width;
    PaintRoundFigure(C, C.DX(X1), C.DY(Y1), C.DX(X2), C.DY(Y2), Pen, BrushPaint(C, FBrush, C.Rop2),
                     [&](long long L, long long T, long long R, long long B, bool Inner, long long Y, long long& A,
                         long long& Z) {
                         // The inside of a wide outline has corners smaller by twice the pen width.
                         const long long Shrink = Inner ? 2LL * W : 0;
                         return RoundRectSpan(L, T, R, B, std::max(0LL, EW - Shrink), std::max(0LL, EH - Shrink), Y, A,
                                              Z);
                     });
    Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2)
{
    Changing();
    RequirePen();
    RequireBrush();
    TCtx C = TCanvasAccess::Context(this);
    Order(X1, X2);
    Order(Y1, Y2);
    PaintRoundFigure(C, C.DX(X1), C.DY(Y1), C.DX(X2), C.DY(Y2), PenSpec(C, FPen), BrushPaint(C, FBrush, C.Rop2),
                     [](long long L, long long T, long long R, long long B, bool, long long Y, long long& A,
                        long long& Z) { return EllipseSpan(L, T, R, B, Y, A, Z); });
    Changed();
}

namespace {
void ArcCommon(TCanvas* Canvas, TArcKind Kind, int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    TCtx C = TCanvasAccess::Context(Canvas);
    Order(X1, X2);
    Order(Y1, Y2);
    const TPenSpec Pen = PenSpec(C, Canvas->Pen());
    long long L = C.DX(X1), T = C.DY(Y1), R = C.DX(X2), B = C.DY(Y2);
    if (!Pen.Visible) {
        if (Kind == TArcKind::Arc)
            return;
        --R;
        --B;
    }
    PaintArcFigure(C, Kind, L, T, R, B, C.DX(X3), C.DY(Y3), C.DX(X4), C.DY(Y4),
                   TPaint::SolidPaint(Pen.Color, Pen.Rop2), Pen.Visible,
                   Kind == TArcKind::Arc ? TPaint() : BrushPaint(C, Canvas->Brush(), C.Rop2));
}
} // namespace

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    Changing();
    RequirePen();
    RequireBrush();
    ArcCommon(this, TArcKind::Arc, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    Changing();
    RequirePen();
    RequireBrush();
    ArcCommon(this, TArcKind::Pie, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    Changing();
    RequirePen();
    RequireBrush();
    ArcCommon(this, TArcKind::Chord, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::FillRect(const TRect& R)
{
    Changing();
    RequireBrush();
    ::FillRect(this, R, FBrush);
    Changed();
}

void TCanvas::FrameRect(const TRect& R)
{
    Changing();
    RequireBrush();
    ::FrameRect(this, R, FBrush);
    Changed();
}

void TCanvas::FillRgn(const QRegion& Region, TBrush* ABrush)
{
    Changing();
    RequireBrush();
    TCtx C = TCanvasAccess::Context(this);
    FillDeviceRegion(C, Region.translated(C.Org), BrushPaint(C, ABrush ? ABrush : FBrush, Rop2Copy));
    Changed();
}

void TCanvas::FrameRgn(const QRegion& Region, TBrush* ABrush, int W, int H)
{
    Changing();
    RequireBrush();
    TCtx C = TCanvasAccess::Context(this);
    W = std::clamp(W, 0, 4096);
    H = std::clamp(H, 0, 4096);
    if (W > 0 || H > 0) {
        const QRegion Rgn = Region.translated(C.Org) & QRegion(C.Bounds.adjusted(-W - 1, -H - 1, W + 1, H + 1));
        QRegion Inner = Rgn;
        for (int K = 1; K <= W; ++K)
            Inner &= Rgn.translated(K, 0) & Rgn.translated(-K, 0);
        for (int K = 1; K <= H; ++K)
            Inner &= Rgn.translated(0, K) & Rgn.translated(0, -K);
        FillDeviceRegion(C, Rgn - Inner, BrushPaint(C, ABrush ? ABrush : FBrush, Rop2Copy));
    }
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& R)
{
    Changing();
    RequireBrush();
    ::DrawFocusRect(this, R);
    Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source)
{
    Changing();
    RequireFont();
    RequireBrush();
    if (Canvas) {
        Canvas->RequireFont();
        Canvas->RequireBrush();
    }
    StretchBlt(this, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Canvas, Source.Left, Source.Top, Source.Width(),
               Source.Height(), static_cast<uint32_t>(FCopyMode));
    Changed();
}

void TCanvas::TextOut(int X, int Y, const String& Text)
{
    Changing();
    RequireFont();
    RequireBrush();
    ExtTextOutImpl(this, X, Y, 0, nullptr, Text, nullptr);
    MoveTo(X + FFont->TextWidth(Text), Y);
    Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const String& Text)
{
    Changing();
    RequireFont();
    RequireBrush();
    ExtTextOutImpl(this, X, Y, ETO_CLIPPED | (FBrush->Style() != bsClear ? ETO_OPAQUE : 0u), &Rect, Text, nullptr);
    Changed();
}

TSize TCanvas::TextExtent(const String& Text)
{
    RequireFont();
    return TSize(FFont->TextWidth(Text), FFont->Metrics().tmHeight);
}

// ---------------------------------------------------------------- text functions

namespace {

// A line of DrawText before placing: display characters (prefixes removed,
// tabs kept when they expand) and the underlined character.
struct TRawLine {
    std::string Text;
    int Underline = -1;
};

class TTextLayout {
public:
    TTextLayout(const int* CW, int TabWidth, bool ExpandTabs) : FCW(CW), FTab(std::max(1, TabWidth)), FExpand(ExpandTabs) {}

    int Advance(int X, unsigned char Ch) const
    {
        if (Ch == '\t' && FExpand)
            return (X / FTab + 1) * FTab;
        return X + FCW[Ch];
    }
    int Width(std::string_view S) const
    {
        int X = 0;
        for (unsigned char Ch : S)
            X = Advance(X, Ch);
        return X;
    }
    // The segments between tabs with their positions.
    std::vector<TTextSeg> Segments(std::string_view S) const
    {
        std::vector<TTextSeg> R;
        int X = 0;
        size_t Start = 0;
        int SegX = 0;
        for (size_t I = 0; I <= S.size(); ++I) {
            if (I == S.size() || (S[I] == '\t' && FExpand)) {
                if (I > Start)
                    R.push_back({SegX, Latin1(S.substr(Start, I - Start))});
                if (I < S.size()) {
                    X = Advance(X, '\t');
                    Start = I + 1;
                    SegX = X;
                }
                continue;
            }
            X = Advance(X, static_cast<unsigned char>(S[I]));
        }
        return R;
    }

private:
    const int* FCW;
    int FTab;
    bool FExpand;
};

// Ends the line with "..." so that it fits Avail, as far as possible.
void Ellipsify(const TTextLayout& Lay, TRawLine& L, int Avail)
{
    const int Ell = Lay.Width("...");
    size_t Lo = 0, Hi = L.Text.size();
    // Largest K with Width(Text[0, K)) + Ell <= Avail (widths grow with K).
    while (Lo < Hi) {
        const size_t Mid = (Lo + Hi + 1) / 2;
        if (Lay.Width(std::string_view(L.Text).substr(0, Mid)) + Ell <= Avail)
            Lo = Mid;
        else
            Hi = Mid - 1;
    }
    L.Text = L.Text.substr(0, Lo) + "...";
    if (L.Underline >= static_cast<int>(Lo))
        L.Underline = -1;
}

int DrawTextImpl(TCanvas* Canvas, std::string_view Text, TRect& Rect, unsigned F, TDrawTextParams* Params)
{
    if (!Canvas)
        throw EInvalidOperation("Canvas does not allow drawing");
    Canvas->RequireAllState();
    TFont* Font = Canvas->Font();
    const TTextMetric& TM = Font->Metrics();
    const int LH = TM.tmHeight + ((F & DT_EXTERNALLEADING) ? TM.tmExternalLeading : 0);
    int TabChars = 8;
    if (F & DT_TABSTOP) {
        TabChars = (F >> 8) & 0xFF;
        F &= ~0xFF00u;
    }
    if (Params && Params->iTabLength > 0)
        TabChars = Params->iTabLength;
    if (TabChars <= 0)
        TabChars = 8;
    if (F & DT_SINGLELINE)
        F &= ~static_cast<unsigned>(DT_WORDBREAK);
    const bool Calc = F & DT_CALCRECT;
    const int LeftMargin = Params ? std::clamp(Params->iLeftMargin, 0, MaxCoord) : 0;
    const int RightMargin = Params ? std::clamp(Params->iRightMargin, 0, MaxCoord) : 0;
    const int Left = ClampCoord(static_cast<long long>(Rect.Left) + LeftMargin);
    const int Right = ClampCoord(static_cast<long long>(Rect.Right) - RightMargin);
    const int Avail = ClampCoord(static_cast<long long>(Right) - Left);
    if (Params)
        Params->uiLengthDrawn = static_cast<unsigned>(Text.size());

    if (Text.empty()) {
        if (Calc) {
            Rect.Right = Rect.Left;
            Rect.Bottom = (F & DT_SINGLELINE) ? Rect.Top + LH : Rect.Top;
        }
        return LH;
    }

    const bool Prefix = !(F & DT_NOPREFIX);
    const TTextLayout Lay(Font->CharWidths(), TabChars * TM.tmAveCharWidth, F & DT_EXPANDTABS);
    const unsigned EllipsisFlags = DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS;

    // Split into raw lines, remove the prefixes.
    std::vector<TRawLine> Raw;
    {
        TRawLine Cur;
        const size_t N = Text.size();
        for (size_t I = 0; I < N; ++I) {
            char Ch = Text[I];
            if (Ch == '\r' || Ch == '\n') {
                if (F & DT_SINGLELINE)
                    continue;
                if (Ch == '\r' && I + 1 < N && Text[I + 1] == '\n')
                    ++I;
                Raw.push_back(std::move(Cur));
                Cur = TRawLine();
                continue;
            }
            if (Ch == '&' && Prefix && I + 1 < N) {
                Ch = Text[++I];
                if (Ch != '&' && Cur.Underline < 0 && Ch != '\r' && Ch != '\n')
                    Cur.Underline = static_cast<int>(Cur.Text.size());
                if (Ch == '\r' || Ch == '\n') {
                    --I;
                    continue;
                }
            }
            if (Ch == '\t' && !(F & DT_EXPANDTABS))
                Ch = ' ';
            Cur.Text += Ch;
        }
        const bool EndsWithBreak = Text.back() == '\n' || Text.back() == '\r';
        if (!EndsWithBreak || (F & DT_SINGLELINE) || Raw.empty())
            Raw.push_back(std::move(Cur));
    }

    // Word breaking.
    std::vector<TRawLine> Lines;
    for (TRawLine& RL : Raw) {
        if (!(F & DT_WORDBREAK) || Lay.Width(RL.Text) <= Avail) {
            Lines.push_back(std::move(RL));
            continue;
        }
        const std::string& S = RL.Text;
        const size_t N = S.size();
        size_t Start = 0;
        while (Start < N) {
            // Scan forward: the last blank before which the text fits, up to
            // the first blank where it no longer does.
            size_t Best = 0;
            bool Found = false, Overflow = false;
            int X = 0;
            for (size_t J = Start; J < N; ++J) {
                if (S[J] == ' ' && J > Start && S[J - 1] != ' ') {
                    if (X > Avail) {
                        Overflow = true;
                        break;
                    }
                    Best = J;
                    Found = true;
                }
                X = Lay.Advance(X, static_cast<unsigned char>(S[J]));
            }
            Overflow = Overflow || X > Avail;
            size_t End = N, Next = N;
            if (Overflow) {
                if (Found) {
                    End = Best;
                } else if (F & DT_EDITCONTROL) {
                    End = Start + 1;
                    int W = Lay.Advance(0, static_cast<unsigned char>(S[Start]));
                    while (End < N) {
                        const int W2 = Lay.Advance(W, static_cast<unsigned char>(S[End]));
                        if (W2 > Avail)
                            break;
                        W = W2;
                        ++End;
                    }
                } else {
                    // A word wider than the line stays whole.
                    End = Start;
                    while (End < N && S[End] == ' ')
                        ++End;
                    while (End < N && S[End] != ' ')
                        ++End;
                }
                Next = End;
                while (Next < N && S[Next] == ' ')
                    ++Next;
            }
            TRawLine L;
            L.Text = S.substr(Start, End - Start);
            if (RL.Underline >= static_cast<int>(Start) && RL.Underline < static_cast<int>(End))
                L.Underline = RL.Underline - static_cast<int>(Start);
            Lines.push_back(std::move(L));
            if (Next <= Start)
                break;
            Start = Next;
        }
    }

    if (F & EllipsisFlags)
        for (TRawLine& L : Lines)
            if (Lay.Width(L.Text) > Avail)
                Ellipsify(Lay, L, Avail);

    // Place and draw.
    std::vector<TTextLine> Out;
    int Y = Rect.Top;
    int MaxW = 0;
    for (const TRawLine& L : Lines) {
        const int W = Lay.Width(L.Text);
        MaxW = std::max(MaxW, W);
        if (!Calc) {
            int X = Left;
            if (F & DT_CENTER)
                X = static_cast<int>((static_cast<long long>(Left) + Right - W) / 2);
            else if (F & DT_RIGHT)
                X = Right - W;
            if (F & DT_SINGLELINE) {
                if (F & DT_VCENTER)
                    Y = static_cast<int>(Rect.Top + (static_cast<long long>(Rect.Bottom) - Rect.Top - LH) / 2);
                else if (F & DT_BOTTOM)
                    Y = Rect.Bottom - LH;
            }
            TTextLine T;
            T.X = X;
            T.Y = Y;
            T.Width = W;
            T.Segs = Lay.Segments(L.Text);
            T.Glyphs = !(F & DT_PREFIXONLY);
            if (L.Underline >= 0 && !(F & DT_HIDEPREFIX)) {
                T.ULX = Lay.Width(std::string_view(L.Text).substr(0, L.Underline));
                T.ULW = Lay.Advance(T.ULX, static_cast<unsigned char>(L.Text[L.Underline])) - T.ULX;
            }
            Out.push_back(std::move(T));
        }
        Y = ClampCoord(static_cast<long long>(Y) + LH);
    }
    if (Calc) {
        Rect.Right = ClampCoord(static_cast<long long>(Rect.Left) + LeftMargin + MaxW + RightMargin);
        Rect.Bottom = Y;
        return Y - Rect.Top;
    }
    TCtx C = TCanvasAccess::Context(Canvas);
    for (TTextLine& T : Out) {
        T.X = C.DX(T.X);
        T.Y = C.DY(T.Y);
    }
    const QRect Clip = DeviceRect(C, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
    PaintText(C, Font, Out, C.OpaqueBk, nullptr, (F & DT_NOCLIP) ? nullptr : &Clip);
    return Y - Rect.Top;
}

} // namespace

int DrawText(TCanvas* Canvas, const String& Text, TRect& Rect, unsigned Format)
{
    return DrawTextImpl(Canvas, Text, Rect, Format, nullptr);
}

int DrawText(TCanvas* Canvas, const char* Text, int Count, TRect& Rect, unsigned Format)
{
    std::string_view S;
    if (Text)
        S = Count < 0 ? std::string_view(Text) : std::string_view(Text, static_cast<size_t>(Count));
    return DrawTextImpl(Canvas, S, Rect, Format, nullptr);
}

int DrawTextEx(TCanvas* Canvas, const String& Text, TRect& Rect, unsigned Format, TDrawTextParams* Params)
{
    return DrawTextImpl(Canvas, Text, Rect, Format, Params);
}

bool ExtTextOut(TCanvas* Canvas, int X, int Y, unsigned Options, const TRect* Rect, const String& Text, const int* Dx)
{
    if (!Canvas)
        return false;
    Canvas->RequireAllState();
    ExtTextOutImpl(Canvas, X, Y, Options, Rect, Text, Dx);
    return true;
}

bool TextOut(TCanvas* Canvas, int X, int Y, const String& Text)
{
    return ExtTextOut(Canvas, X, Y, 0, nullptr, Text, nullptr);
}

bool SetTextJustification(TCanvas* Canvas, int BreakExtra, int BreakCount)
{
    if (!Canvas)
        return false;
    Canvas->SetTextJustification(BreakExtra, BreakCount);
    return true;
}

TSize GetTextExtentPoint(TCanvas* Canvas, const String& Text)
{
    if (!Canvas)
        return TSize();
    Canvas->RequireAllState();
    return Canvas->TextExtent(Text);
}

bool GetTextMetrics(TCanvas* Canvas, TTextMetric& Metric)
{
    if (!Canvas)
        return false;
    Canvas->RequireAllState();
    Metric = Canvas->Font()->Metrics();
    return true;
}

TColor SetTextColor(TCanvas* Canvas, TColor Color)
{
    return Canvas ? Canvas->SetTextColor(Color) : CLR_INVALID;
}

TColor SetBkColor(TCanvas* Canvas, TColor Color)
{
    return Canvas ? Canvas->SetBkColor(Color) : CLR_INVALID;
}

int SetBkMode(TCanvas* Canvas, int Mode)
{
    return Canvas ? Canvas->SetBkMode(Mode) : 0;
}

// ---------------------------------------------------------------- fills and frames

void FillRect(TCanvas* Canvas, const TRect& Rect, TBrush* Brush)
{
    if (!Canvas)
        return;
    Canvas->RequireAllState();
    TCtx C = TCanvasAccess::Context(Canvas);
    FillDeviceRect(C, DeviceRect(C, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom),
                   BrushPaint(C, Brush ? Brush : Canvas->Brush(), Rop2Copy));
}

void FrameRect(TCanvas* Canvas, const TRect& Rect, TBrush* Brush)
{
    if (!Canvas)
        return;
    Canvas->RequireAllState();
    TCtx C = TCanvasAccess::Context(Canvas);
    const QRect R = DeviceRect(C, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
    if (R.isEmpty())
        return;
    const QRect Inner = R.adjusted(1, 1, -1, -1);
    FillDeviceRegion(C, QRegion(R) - QRegion(Inner.isValid() ? Inner : QRect()),
                     BrushPaint(C, Brush ? Brush : Canvas->Brush(), Rop2Copy));
}

void FillSolidRect(TCanvas* Canvas, const TRect& Rect, TColor Color)
{
    if (!Canvas)
        return;
    Canvas->RequireAllState();
    TCtx C = TCanvasAccess::Context(Canvas);
    FillDeviceRect(C, DeviceRect(C, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom),
                   TPaint::SolidPaint(C.Map(ColorPix(Color))));
}

void DrawFocusRect(TCanvas* Canvas, const TRect& Rect)
{
    if (!Canvas)
        return;
    Canvas->RequireAllState();
    TCtx C = TCanvasAccess::Context(Canvas);
    const QRect R = DeviceRect(C, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
    const QRect Area = R & C.Bounds;
    if (Area.isEmpty())
        return;
    TSurface S(*C.Target, Area);
    const int L = R.left(), T = R.top(), Rt = R.right(), B = R.bottom();
    auto Dot = [&](int X, int Y) {
        if (((X - L + Y - T) & 1) == 0 && Area.contains(X, Y) && C.Contains(X, Y))
            S.Put(X, Y, WhitePix, 7);
    };
    for (int X = std::max(L, Area.left()); X <= std::min(Rt, Area.right()); ++X) {
        Dot(X, T);
        if (B != T)
            Dot(X, B);
    }
    for (int Y = std::max(T + 1, Area.top()); Y <= std::min(B - 1, Area.bottom()); ++Y) {
        Dot(L, Y);
        if (Rt != L)
            Dot(Rt, Y);
    }
}

// ---------------------------------------------------------------- edges

namespace {

// The system colours of an edge's four lines; -1 where a line is not drawn.
// Inner and outer are each 0 (none), 1 (raised), 2 (sunken) or 3 (both,
// which draws nothing). An inner line without an outer one takes the outer
// place.
struct TEdgeColors {
    int LTOuter = -1, LTInner = -1, RBOuter = -1, RBInner = -1;
};

TEdgeColors EdgeColors(unsigned Edge, unsigned Flags)
{
    const unsigned Outer = Edge & BDR_OUTER, Inner = (Edge & BDR_INNER) >> 2;
    TEdgeColors E;
    if (Flags & (BF_MONO | BF_FLAT)) {
        const bool Mono = Flags & BF_MONO;
        const int Line = Mono ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW;
        const int Fill = Mono ? COLOR_WINDOW : COLOR_BTNFACE;
        const int O = Outer ? Line : (Inner ? Fill : -1);
        const int I = (Outer && Inner) ? Fill : -1;
        E.LTOuter = E.RBOuter = O;
        E.LTInner = E.RBInner = I;
        return E;
    }
    const bool Soft = Flags & BF_SOFT;
    // Colours of a raised or sunken line in the outer or inner place.
    auto LT = [&](unsigned Kind, bool IsOuter) {
        if (Kind == 1)
            return IsOuter ? (Soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT) : (Soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT);
        return IsOuter ? (Soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW) : (Soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW);
    };
    auto RB = [&](unsigned Kind, bool IsOuter) {
        if (Kind == 1)
            return IsOuter ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW;
        return IsOuter ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT;
    };
    const bool OuterOk = Outer == 1 || Outer == 2, InnerOk = Inner == 1 || Inner == 2;
    if (OuterOk) {
        E.LTOuter = LT(Outer, true);
        E.RBOuter = RB(Outer, true);
        if (InnerOk) {
            E.LTInner = LT(Inner, false);
            E.RBInner = RB(Inner, false);
        }
    } else if (Outer == 0 && InnerOk) {
        E.LTOuter = LT(Inner, false);
        E.RBOuter = RB(Inner, false);
    }
    return E;
}

// Width of an edge in pixels: one for each level present.
int EdgeWidth(unsigned Edge)
{
    return ((Edge & BDR_OUTER) || (Edge & BDR_INNER) ? 1 : 0) + ((Edge & BDR_OUTER) && (Edge & BDR_INNER) ? 1 : 0);
}

bool EdgeValid(unsigned Edge, unsigned Flags)
{
    return !(((Edge & BDR_INNER) == BDR_INNER || (Edge & BDR_OUTER) == BDR_OUTER) && !(Flags & (BF_FLAT | BF_MONO)));
}

uint32_t SysPix(const TCtx& C, int Index)
{
    return C.Map(ToPix(GetSysColor(Index)));
}

// A one-pixel line in a system colour, end pixel left out.
void SysLine(const TCtx& C, TSurface& S, int Index, int X0, int Y0, int X1, int Y1)
{
    if (Index < 0 || S.Empty())
        return;
    TPenSpec P;
    P.Color = SysPix(C, Index);
    long long Phase = 0;
    PlotThinLine(C, S, P, X0, Y0, X1, Y1, Phase);
}

void SysFill(const TCtx& C, const QRect& R, int Index)
{
    FillDeviceRect(C, R, TPaint::SolidPaint(SysPix(C, Index)));
}

// The platform's 50 % pattern of two system colours, aligned to the brush origin.
void SysChecker(const TCtx& C, const QRect& R, int Even, int Odd)
{
    TPaint P;
    P.Kind = TPaint::Pattern;
    P.Image = QImage(2, 2, QImage::Format_RGB32);
    const uint32_t E = SysPix(C, Even), O = SysPix(C, Odd);
    P.Image.setPixel(0, 0, E);
    P.Image.setPixel(1, 1, E);
    P.Image.setPixel(1, 0, O);
    P.Image.setPixel(0, 1, O);
    P.Org = C.BrushOrg;
    FillDeviceRect(C, R, P);
}

bool DrawRectEdge(const TCtx& C, TRect& Rect, unsigned Edge, unsigned Flags)
{
    const TEdgeColors E = EdgeColors(Edge, Flags);
    const bool Valid = EdgeValid(Edge, Flags);
    const int L = C.DX(Rect.Left), T = C.DY(Rect.Top), R = C.DX(Rect.Right), B = C.DY(Rect.Bottom);
    {
        TSurface S(*C.Target, (R > L && B > T) ? QRect(QPoint(L, T), QPoint(R - 1, B - 1)) & C.Bounds : QRect());
        if (!S.Empty()) {
            const int LTp = (Flags & BF_TOPLEFT) == BF_TOPLEFT, RTp = (Flags & BF_TOPRIGHT) == BF_TOPRIGHT;
            const int LBp = (Flags & BF_BOTTOMLEFT) == BF_BOTTOMLEFT, RBp = (Flags & BF_BOTTOMRIGHT) == BF_BOTTOMRIGHT;
            if (Flags & BF_TOP)
                SysLine(C, S, E.LTOuter, L, T, R, T);
            if (Flags & BF_LEFT)
                SysLine(C, S, E.LTOuter, L, T, L, B);
            if (Flags & BF_BOTTOM)
                SysLine(C, S, E.RBOuter, L, B - 1, R, B - 1);
            if (Flags & BF_RIGHT)
                SysLine(C, S, E.RBOuter, R - 1, T, R - 1, B);
            if (Flags & BF_TOP)
                SysLine(C, S, E.LTInner, L + LTp, T + 1, R - RTp, T + 1);
            if (Flags & BF_LEFT)
                SysLine(C, S, E.LTInner, L + 1, T + LTp, L + 1, B - LBp);
            if (Flags & BF_BOTTOM)
                SysLine(C, S, E.RBInner, L + LBp, B - 2, R - RBp, B - 2);
            if (Flags & BF_RIGHT)
                SysLine(C, S, E.RBInner, R - 2, T + RTp, R - 2, B - RBp);
        }
    }
    if (((Flags & BF_MIDDLE) && Valid) || (Flags & BF_ADJUST)) {
        const int Add = EdgeWidth(Edge);
        TRect In = Rect;
        if (Flags & BF_LEFT)
            In.Left += Add;
        if (Flags & BF_RIGHT)
            In.Right -= Add;
        if (Flags & BF_TOP)
            In.Top += Add;
        if (Flags & BF_BOTTOM)
            In.Bottom -= Add;
        if ((Flags & BF_MIDDLE) && Valid)
            SysFill(C, DeviceRect(C, In.Left, In.Top, In.Right, In.Bottom), (Flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE);
        if (Flags & BF_ADJUST)
            Rect = In;
    }
    return Valid;
}

// Diagonal edges. The line is 45 degrees in the square of the smaller side:
// "/" from the bottom-left corner for the kinds that end at the top right or
// bottom left, "\" from the top-left corner for those that end at the top left
// or bottom right. The inner line runs one pixel towards the filled side.
bool DrawDiagEdge(const TCtx& C, TRect& Rect, unsigned Edge, unsigned Flags)
{
    const bool Valid = EdgeValid(Edge, Flags);
    const int Add = EdgeWidth(Edge);
    const TEdgeColors E = EdgeColors(Edge, Flags);
    const bool Bottom = Flags & BF_BOTTOM;
    const int Outer = Bottom ? E.RBOuter : E.LTOuter;
    const int Inner = Bottom ? E.RBInner : E.LTInner;
    const int L = C.DX(Rect.Left), T = C.DY(Rect.Top), R = C.DX(Rect.Right), B = C.DY(Rect.Bottom);
    const int D = std::max(0, std::min(R - L, B - T));
    // A: ends bottom left, B: ends bottom right, C: ends top right, D: ends top left.
    char Kind;
    switch (Flags & BF_RECT) {
    case BF_TOPLEFT:
    case BF_TOP: Kind = 'D'; break;
    case BF_BOTTOMRIGHT: Kind = 'B'; break;
    case 0:
    case BF_LEFT:
    case BF_BOTTOM:
    case BF_BOTTOMLEFT: Kind = 'A'; break;
    default: Kind = 'C'; break;
    }
    if (D > 0) {
        {
            TSurface S(*C.Target, QRect(QPoint(L, T), QPoint(R - 1, B - 1)) & C.Bounds);
            if (!S.Empty()) {
                switch (Kind) {
                case 'A':
                    SysLine(C, S, Outer, L + D - 1, B - D, L - 1, B);
                    SysLine(C, S, Inner, L + D - 2, B - D, L - 1, B - 1);
                    break;
                case 'B':
                    SysLine(C, S, Outer, L + D - 1, T + D - 1, L - 1, T - 1);
                    SysLine(C, S, Inner, L + D - 2, T + D - 1, L - 1, T);
                    break;
                case 'C':
                    SysLine(C, S, Outer, L, B - 1, L + D, B - 1 - D);
                    SysLine(C, S, Inner, L + 1, B - 1, L + D, B - D);
                    break;
                default:
                    SysLine(C, S, Outer, L + D - 1, T + D - 1, L - 1, T - 1);
                    SysLine(C, S, Inner, L + D - 1, T + D - 2, L, T - 1);
                    break;
                }
            }
        }
        if ((Flags & BF_MIDDLE) && Valid) {
            std::vector<QPoint> P;
            switch (Kind) {
            case 'A': P = {{L + D - 1 - Add, B - D}, {L, T}, {L, B - 1 - Add}}; break;
            case 'B': P = {{L + D - 1 - Add, T + D - 1}, {L, B - 1}, {L, T + Add}}; break;
            case 'C': P = {{L + D - 1, B - D + Add}, {R - 1, T + Add}, {R - 1, B - 1}, {L + Add, B - 1}}; break;
            default: P = {{L + Add, T}, {R - 1, T}, {R - 1, B - 1 - Add}, {L + D - 1, T + D - 1 - Add}}; break;
            }
            TPenSpec Pen;
            Pen.Color = SysPix(C, (Flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE);
            PaintPolygon(C, P, Pen, TPaint::SolidPaint(Pen.Color));
        }
    }
    if (Flags & BF_ADJUST) {
        if (Flags & BF_LEFT)
            Rect.Left += Add;
        if (Flags & BF_RIGHT)
            Rect.Right -= Add;
        if (Flags & BF_TOP)
            Rect.Top += Add;
        if (Flags & BF_BOTTOM)
            Rect.Bottom -= Add;
    }
    return Valid;
}

} // namespace

bool DrawEdge(TCanvas* Canvas, TRect& Rect, unsigned Edge, unsigned Flags)
{
    if (!Canvas)
        return false;
    Canvas->RequireAllState();
    TCtx C = TCanvasAccess::Context(Canvas);
    if (Flags & BF_DIAGONAL)
        return DrawDiagEdge(C, Rect, Edge, Flags);
    return DrawRectEdge(C, Rect, Edge, Flags);
}

// ---------------------------------------------------------------- frame controls

namespace {

TRect SquareIn(const TRect& R)
{
    const int W = R.Width(), H = R.Height(), D = std::min(W, H);
    TRect S = R;
    if (W < H) {
        S.Top += (H - W) / 2;
        S.Bottom = S.Top + D;
    } else if (W > H) {
        S.Left += (W - H) / 2;
        S.Right = S.Left + D;
    }
    return S;
}

void FramePush(const TCtx& C, TRect& Rect, unsigned State)
{
    const unsigned Edge = (State & (DFCS_PUSHED | DFCS_CHECKED | DFCS_FLAT)) ? EDGE_SUNKEN : EDGE_RAISED;
    const unsigned Flat = (State & DFCS_FLAT) ? unsigned(BF_FLAT) : 0u;
    TRect R = Rect;
    if (State & DFCS_CHECKED) {
        DrawRectEdge(C, R, Edge, (State & DFCS_MONO) ? (BF_MONO | BF_RECT | BF_ADJUST) : (Flat | BF_RECT | BF_SOFT | BF_ADJUST));
        if (!(State & DFCS_TRANSPARENT))
            SysChecker(C, DeviceRect(C, R.Left, R.Top, R.Right, R.Bottom), COLOR_BTNHIGHLIGHT, COLOR_BTNFACE);
    } else if (State & DFCS_MONO) {
        DrawRectEdge(C, R, Edge, BF_MONO | BF_RECT | BF_ADJUST);
        if (!(State & DFCS_TRANSPARENT))
            SysFill(C, DeviceRect(C, R.Left, R.Top, R.Right, R.Bottom), COLOR_BTNFACE);
    } else {
        DrawRectEdge(C, R, Edge, Flat | BF_RECT | BF_SOFT | ((State & DFCS_TRANSPARENT) ? 0u : unsigned(BF_MIDDLE)));
    }
    if (State & DFCS_ADJUSTRECT)
        InflateRect(Rect, -2, -2);
}

void FrameCheck(const TCtx& C, const TRect& Rect, unsigned State)
{
    TRect Sq = SquareIn(Rect);
    const unsigned Kind = (State & DFCS_FLAT) ? unsigned(BF_FLAT) : (State & DFCS_MONO) ? unsigned(BF_MONO) : 0u;
    DrawRectEdge(C, Sq, EDGE_SUNKEN, BF_RECT | BF_ADJUST | Kind);
    const QRect In = DeviceRect(C, Sq.Left, Sq.Top, Sq.Right, Sq.Bottom);
    const bool ThreeState = (State & 0xFF) == DFCS_BUTTON3STATE;
    if (!(State & DFCS_TRANSPARENT)) {
        if (State & (DFCS_INACTIVE | DFCS_PUSHED))
            SysFill(C, In, COLOR_BTNFACE);
        else if (ThreeState && (State & DFCS_CHECKED))
            SysChecker(C, In, COLOR_BTNHIGHLIGHT, COLOR_BTNFACE);
        else
            SysFill(C, In, COLOR_WINDOW);
    }
    if ((State & DFCS_CHECKED) && !In.isEmpty()) {
        // The check mark: seven columns three pixels high, centred.
        static constexpr int Top[7] = {2, 3, 4, 3, 2, 1, 0};
        const int Color = ((State & DFCS_INACTIVE) || ThreeState) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT;
        const int OX = In.left() + (In.width() - 7) / 2, OY = In.top() + (In.height() - 7) / 2;
        QRegion Mark;
        for (int K = 0; K < 7; ++K)
            Mark += QRect(OX + K, OY + Top[K], 1, 3);
        FillDeviceRegion(C, Mark & In, TPaint::SolidPaint(SysPix(C, Color)));
    }
}

void FrameRadio(const TCtx& C, const TRect& Rect, unsigned State)
{
    const TRect Sq = SquareIn(Rect);
    const long long L = C.DX(Sq.Left), T = C.DY(Sq.Top), R = C.DX(Sq.Right), B = C.DY(Sq.Bottom);
    const long long Size = R - L;
    if (Size <= 0)
        return;
    const QRect Area = QRect(QPoint(static_cast<int>(L), static_cast<int>(T)),
                             QPoint(static_cast<int>(R - 1), static_cast<int>(B - 1))) & C.Bounds;
    if (Area.isEmpty())
        return;
    auto In = [](long long L0, long long T0, long long R0, long long B0, long long X, long long Y) {
        long long A, Z;
        return EllipseSpan(L0, T0, R0, B0, Y, A, Z) && X >= A && X < Z;
    };
    const bool Flat = State & DFCS_FLAT, Mono = State & DFCS_MONO;
    const bool Checked = State & DFCS_CHECKED, Inactive = State & DFCS_INACTIVE;
    const int FaceFill = (Inactive || (State & DFCS_PUSHED)) ? COLOR_BTNFACE : COLOR_WINDOW;
    const long long Dot = (Size + 1) / 3;
    TSurface S(*C.Target, Area);
    for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
        for (int X = Area.left(); X <= Area.right(); ++X) {
            if (!C.Contains(X, Y) || !In(L, T, R, B, X, Y))
                continue;
            // Which half: the top-left one lies above the rising diagonal.
            const long long DX = 2LL * X + 1 - (L + R), DY = 2LL * Y + 1 - (T + B);
            const bool TopLeft = DX + DY < 0 || (DX + DY == 0 && DY < 0);
            int Index;
            if (!In(L + 1, T + 1, R - 1, B - 1, X, Y)) {
                Index = Mono ? COLOR_WINDOWFRAME : Flat ? COLOR_BTNSHADOW : TopLeft ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT;
            } else if (!In(L + 2, T + 2, R - 2, B - 2, X, Y)) {
                Index = (Mono || Flat) ? FaceFill : TopLeft ? COLOR_3DDKSHADOW : COLOR_3DLIGHT;
            } else if (Checked && In(L + Dot, T + Dot, R - Dot, B - Dot, X, Y)) {
                Index = Inactive ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT;
            } else {
                if (State & DFCS_TRANSPARENT)
                    continue;
                Index = FaceFill;
            }
            S.Put(X, Y, SysPix(C, Index), Rop2Copy);
        }
}

// A filled triangle pointing in a direction, for scroll arrows: rows of
// 2h-1, 2h-3, ... 1 pixels.
void ArrowGlyph(const TCtx& C, int Dir, int CX, int CY, int H, int Index)
{
    QRegion Rgn;
    for (int K = 0; K < H; ++K) {
        const int Len = 2 * (H - K) - 1;
        switch (Dir) {
        case DFCS_SCROLLUP: Rgn += QRect(CX - (Len - 1) / 2, CY + H - 1 - K, Len, 1); break;
        case DFCS_SCROLLDOWN: Rgn += QRect(CX - (Len - 1) / 2, CY + K, Len, 1); break;
        case DFCS_SCROLLLEFT: Rgn += QRect(CX + H - 1 - K, CY - (Len - 1) / 2, 1, Len); break;
        default: Rgn += QRect(CX + K, CY - (Len - 1) / 2, 1, Len); break;
        }
    }
    FillDeviceRegion(C, Rgn, TPaint::SolidPaint(SysPix(C, Index)));
}

bool FrameScroll(const TCtx& C, TRect& Rect, unsigned State)
{
    const unsigned Kind = State & 0xFF;
    if (Kind == DFCS_SCROLLSIZEGRIP) {
        const QRect R = DeviceRect(C, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
        if (R.isEmpty())
            return true;
        if (!(State & DFCS_TRANSPARENT))
            SysFill(C, R, COLOR_BTNFACE);
        TSurface S(*C.Target, R & C.Bounds);
        const int D = std::min(R.width(), R.height());
        const int X = R.right(), Y = R.bottom();
        // Three grooves: a highlight line and two shadow lines each.
        for (int G = 0; G < 3; ++G) {
            const int K = D - 1 - 4 * G;
            if (K < 3)
                break;
            SysLine(C, S, COLOR_BTNHIGHLIGHT, X - K + 1, Y, X + 1, Y - K);
            SysLine(C, S, COLOR_BTNSHADOW, X - K + 2, Y, X + 1, Y - K + 1);
            SysLine(C, S, COLOR_BTNSHADOW, X - K + 3, Y, X + 1, Y - K + 2);
        }
        return true;
    }
    int Dir;
    switch (Kind) {
    case DFCS_SCROLLUP: Dir = DFCS_SCROLLUP; break;
    case DFCS_SCROLLDOWN:
    case DFCS_SCROLLCOMBOBOX: Dir = DFCS_SCROLLDOWN; break;
    case DFCS_SCROLLLEFT: Dir = DFCS_SCROLLLEFT; break;
    case DFCS_SCROLLRIGHT: Dir = DFCS_SCROLLRIGHT; break;
    default: return false;
    }
    const bool Pushed = State & DFCS_PUSHED;
    TRect R = Rect;
    if (Pushed && (State & DFCS_FLAT)) {
        DrawRectEdge(C, R, EDGE_SUNKEN, BF_FLAT | BF_RECT | ((State & DFCS_TRANSPARENT) ? 0u : unsigned(BF_MIDDLE)));
    } else {
        FramePush(C, R, State & (DFCS_PUSHED | DFCS_FLAT | DFCS_MONO | DFCS_TRANSPARENT));
    }
    const int W = Rect.Width(), H = Rect.Height(), S = std::min(W, H);
    if (S <= 0)
        return true;
    const int AH = std::max(1, (S + 1) / 4);
    const int Shift = Pushed ? 1 : 0;
    const bool Vertical = Dir == DFCS_SCROLLUP || Dir == DFCS_SCROLLDOWN;
    // Top-left of the glyph's box: (2 AH - 1) x AH pointing up or down.
    const int BoxW = Vertical ? 2 * AH - 1 : AH, BoxH = Vertical ? AH : 2 * AH - 1;
    const int BX = C.DX(Rect.Left) + (W - BoxW) / 2 + Shift, BY = C.DY(Rect.Top) + (H - BoxH) / 2 + Shift;
    const int CX = Vertical ? BX + AH - 1 : BX, CY = Vertical ? BY : BY + AH - 1;
    if (State & DFCS_INACTIVE) {
        ArrowGlyph(C, Dir, CX + 1, CY + 1, AH, COLOR_BTNHIGHLIGHT);
        ArrowGlyph(C, Dir, CX, CY, AH, COLOR_BTNSHADOW);
    } else {
        ArrowGlyph(C, Dir, CX, CY, AH, COLOR_BTNTEXT);
    }
    return true;
}

} // namespace

bool DrawFrameControl(TCanvas* Canvas, TRect& Rect, unsigned Type, unsigned State)
{
    if (!Canvas)
        return false;
    Canvas->RequireAllState();
    TCtx C = TCanvasAccess::Context(Canvas);
    switch (Type) {
    case DFC_BUTTON:
        if (State & DFCS_BUTTONPUSH) {
            FramePush(C, Rect, State);
            return true;
        }
        if (State & DFCS_BUTTONRADIO) {
            FrameRadio(C, Rect, State);
            return true;
        }
        if ((State & 0xFF) == DFCS_BUTTONCHECK || (State & 0xFF) == DFCS_BUTTON3STATE) {
            FrameCheck(C, Rect, State);
            return true;
        }
        return false;
    case DFC_SCROLL: return FrameScroll(C, Rect, State);
    default: return false;
    }
}

// ---------------------------------------------------------------- block transfers

uint32_t ApplyRop3(uint8_t Table, uint32_t P, uint32_t S, uint32_t D)
{
    uint32_t R = 0;
    for (int N = 0; N < 8; ++N)
        if ((Table >> N) & 1)
            R |= ((N & 4) ? P : ~P) & ((N & 2) ? S : ~S) & ((N & 1) ? D : ~D);
    return R;
}

namespace {

// Source pixels as 32-bit values in the destination's terms.
struct TBltSource {
    QImage Img;
    int OX = 0;
    int OY = 0;
    QRect Area; // device rectangle of the source that exists
    const uint32_t* Row(int Y) const { return reinterpret_cast<const uint32_t*>(Img.constScanLine(Y - OY)); }
};

bool MakeSource(TCanvas* Src, const QRect& Want, const TCtx& Dest, TBltSource& Out)
{
    const QImage& SI = *Src->Target();
    const QRect A = Want & SI.rect();
    if (A.isEmpty())
        return false;
    Out.Area = A;
    const QImage::Format F = SI.format();
    if (IsMonoFormat(F)) {
        // Black takes the destination's text colour, white its background.
        Out.Img = QImage(A.size(), QImage::Format_RGB32);
        Out.OX = A.x();
        Out.OY = A.y();
        const int White = WhiteIndex(SI);
        const bool Lsb = F == QImage::Format_MonoLSB;
        const uint32_t On = Dest.Mono ? WhitePix : Dest.Bk, Off = Dest.Mono ? BlackPix : Dest.Text;
        for (int Y = 0; Y < A.height(); ++Y) {
            const uchar* L = SI.constScanLine(A.y() + Y);
            auto* D = reinterpret_cast<uint32_t*>(Out.Img.scanLine(Y));
            for (int X = 0; X < A.width(); ++X)
                D[X] = MonoIndexAt(L, A.x() + X, Lsb) == White ? On : Off;
        }
    } else if (Dest.Mono) {
        // The source's background colour becomes white, everything else black.
        Out.Img = SI.copy(A).convertToFormat(QImage::Format_RGB32);
        Out.OX = A.x();
        Out.OY = A.y();
        const uint32_t Key = ToPix(TCanvasAccess::BkColorRaw(Src)) & RgbBits;
        for (int Y = 0; Y < A.height(); ++Y) {
            auto* D = reinterpret_cast<uint32_t*>(Out.Img.scanLine(Y));
            for (int X = 0; X < A.width(); ++X)
                D[X] = (D[X] & RgbBits) == Key ? WhitePix : BlackPix;
        }
    } else {
        // In the destination's own 32-bit format, so that a copy keeps alpha
        // as that format stores it (scratch surfaces are RGB32).
        const QImage::Format DF = Is32(Dest.Target->format()) ? Dest.Target->format() : QImage::Format_RGB32;
        if (F == DF && &SI != Dest.Target) {
            Out.Img = SI;
            Out.OX = 0;
            Out.OY = 0;
        } else if (F == QImage::Format_BGR888) {
            // The suite's 24-bit pictures: converted straight from the area,
            // without copying it first.
            Out.Img = BgrAreaTo32(SI, A, DF);
            Out.OX = A.x();
            Out.OY = A.y();
        } else {
            Out.Img = SI.copy(A).convertToFormat(DF);
            Out.OX = A.x();
            Out.OY = A.y();
        }
    }
    return true;
}

struct TBltJob {
    QRect Dest;                  // device rectangle of the destination
    const TBltSource* Src = nullptr;
    int SDX = 0, SDY = 0;        // source = destination + offset (no scaling)
    const std::vector<int>* MapX = nullptr; // source column for each destination column from MapX0
    const std::vector<int>* MapY = nullptr;
    int MapX0 = 0, MapY0 = 0;
    const TPaint* Pat = nullptr;
    bool RawCopy = false;        // SRCCOPY: the source pixels as they are, alpha included
};

template <class Op>
void BltRows(TSurface& S, const QRect& Rc, const TBltJob& J, Op Fn)
{
    const int W = Rc.width();
    std::vector<uint32_t> SBuf(W, 0), PBuf(W, 0);
    if (J.Pat && J.Pat->Kind == TPaint::Solid)
        std::fill(PBuf.begin(), PBuf.end(), J.Pat->Color);
    const bool PatRows = J.Pat && J.Pat->Kind != TPaint::Solid;
    std::unique_ptr<bool[]> Painted(PatRows ? new bool[W] : nullptr);
    for (int Y = Rc.top(); Y <= Rc.bottom(); ++Y) {
        uint32_t* D = S.Row(Y) + (Rc.left() - S.OX());
        const uint32_t* SR = SBuf.data();
        if (J.Src) {
            const int SY = J.MapY ? (*J.MapY)[Y - J.MapY0] : Y + J.SDY;
            const uint32_t* Row = J.Src->Row(SY);
            if (J.MapX) {
                for (int I = 0; I < W; ++I)
                    SBuf[I] = Row[(*J.MapX)[Rc.left() + I - J.MapX0] - J.Src->OX];
            } else {
                SR = Row + (Rc.left() + J.SDX - J.Src->OX);
            }
        }
        if (PatRows)
            PaintRow(*J.Pat, Y, Rc.left(), W, PBuf.data(), Painted.get());
        if (J.RawCopy) {
            std::memcpy(D, SR, static_cast<size_t>(W) * sizeof(uint32_t));
            continue;
        }
        const uint32_t* PR = PBuf.data();
        for (int I = 0; I < W; ++I)
            D[I] = (Fn(PR[I], SR[I], D[I]) & RgbBits) | AlphaBits;
    }
}

template <class Op>
void RunBlt(const TCtx& C, const TBltJob& J, Op Fn)
{
    const QRect Area = J.Dest & C.Bounds;
    if (Area.isEmpty())
        return;
    TSurface S(*C.Target, Area);
    for (const QRect& R : C.Rects) {
        const QRect Rc = R & Area;
        if (!Rc.isEmpty())
            BltRows(S, Rc, J, Fn);
    }
}

void DispatchRop(const TCtx& C, const TBltJob& J, uint8_t T)
{
    using U = uint32_t;
    switch (T) {
    case 0xCC: RunBlt(C, J, [](U, U S, U) { return S; }); break;
    case 0xEE: RunBlt(C, J, [](U, U S, U D) { return S | D; }); break;
    case 0x88: RunBlt(C, J, [](U, U S, U D) { return S & D; }); break;
    case 0x66: RunBlt(C, J, [](U, U S, U D) { return S ^ D; }); break;
    case 0x44: RunBlt(C, J, [](U, U S, U D) { return S & ~D; }); break;
    case 0x33: RunBlt(C, J, [](U, U S, U) { return ~S; }); break;
    case 0x11: RunBlt(C, J, [](U, U S, U D) { return ~(S | D); }); break;
    case 0xC0: RunBlt(C, J, [](U P, U S, U) { return P & S; }); break;
    case 0xBB: RunBlt(C, J, [](U, U S, U D) { return ~S | D; }); break;
    case 0xF0: RunBlt(C, J, [](U P, U, U) { return P; }); break;
    case 0xFB: RunBlt(C, J, [](U P, U S, U D) { return P | ~S | D; }); break;
    case 0x5A: RunBlt(C, J, [](U P, U, U D) { return P ^ D; }); break;
    case 0x55: RunBlt(C, J, [](U, U, U D) { return ~D; }); break;
    case 0x00: RunBlt(C, J, [](U, U, U) { return 0u; }); break;
    case 0xFF: RunBlt(C, J, [](U, U, U) { return ~0u; }); break;
    case 0xE2: RunBlt(C, J, [](U P, U S, U D) { return (S & P) | (~S & D); }); break;
    case 0x22: RunBlt(C, J, [](U, U S, U D) { return ~S & D; }); break;
    case 0xB8: RunBlt(C, J, [](U P, U S, U D) { return (S & D) | (~S & P); }); break;
    default: {
        // Any other table: pick the minterms by their bits.
        U M[8];
        for (int N = 0; N < 8; ++N)
            M[N] = ((T >> N) & 1) ? ~0u : 0u;
        RunBlt(C, J, [M](U P, U S, U D) {
            const U F0 = (~S & ((~D & M[0]) | (D & M[1]))) | (S & ((~D & M[2]) | (D & M[3])));
            const U F1 = (~S & ((~D & M[4]) | (D & M[5]))) | (S & ((~D & M[6]) | (D & M[7])));
            return (~P & F0) | (P & F1);
        });
        break;
    }
    }
}

// The source coordinate of each destination coordinate Lo .. Hi of a W-wide
// destination showing SW source pixels from S0 (mirrored when Flip).
std::vector<int> StretchMap(int Lo, int Hi, int D0, long long W, int S0, long long SW, bool Flip)
{
    std::vector<int> M;
    if (Hi < Lo)
        return M;
    M.reserve(static_cast<size_t>(Hi - Lo + 1));
    for (long long X = Lo; X <= Hi; ++X) {
        long long I = X - D0;
        if (Flip)
            I = W - 1 - I;
        M.push_back(ClampCoord(S0 + ((2 * I + 1) * SW) / (2 * W)));
    }
    return M;
}

bool Transfer(TCanvas* Dest, int X, int Y, long long W, long long H, TCanvas* Src, int XS, int YS, long long SW,
              long long SH, uint32_t Rop, bool Stretch)
{
    if (!Dest)
        return false;
    const uint8_t T = static_cast<uint8_t>(Rop >> 16);
    const bool UseS = ((T >> 2) & 0x33) != (T & 0x33);
    const bool UseP = ((T >> 4) & 0x0F) != (T & 0x0F);
    Dest->RequireAllState();
    TCtx C = TCanvasAccess::Context(Dest);
    if (UseS) {
        if (!Src || !Src->Target() || Src->Target()->isNull())
            return false;
        Src->RequireAllState();
    }
    bool FlipX = false, FlipY = false;
    long long DX0 = static_cast<long long>(X) + C.Org.x(), DY0 = static_cast<long long>(Y) + C.Org.y();
    if (!Stretch) {
        if (W < 0 || H < 0)
            return false;
        SW = W;
        SH = H;
    } else {
        if (W < 0) {
            DX0 += W;
            W = -W;
            FlipX = !FlipX;
        }
        if (H < 0) {
            DY0 += H;
            H = -H;
            FlipY = !FlipY;
        }
        if (SW < 0) {
            XS = ClampCoord(static_cast<long long>(XS) + SW);
            SW = -SW;
            FlipX = !FlipX;
        }
        if (SH < 0) {
            YS = ClampCoord(static_cast<long long>(YS) + SH);
            SH = -SH;
            FlipY = !FlipY;
        }
    }
    if (W == 0 || H == 0)
        return true;
    if (UseS && (SW == 0 || SH == 0))
        return false;
    const QRect DestRect(QPoint(ClampCoord(DX0), ClampCoord(DY0)), QPoint(ClampCoord(DX0 + W - 1), ClampCoord(DY0 + H - 1)));
    QRect Vis = DestRect & C.Bounds;
    if (Vis.isEmpty())
        return true;

    TPaint Pat;
    if (UseP) {
        Pat = BrushPaint(C, Dest->Brush(), Rop2Copy, true);
        if (Pat.Kind == TPaint::None)
            return true; // a clear brush paints nothing
    }
    TBltJob J;
    J.Pat = UseP ? &Pat : nullptr;
    TBltSource Source;
    std::vector<int> MapX, MapY;
    if (UseS) {
        const QPoint SOrg(Src->ViewportOrg().X, Src->ViewportOrg().Y);
        const long long SX0 = static_cast<long long>(XS) + SOrg.x(), SY0 = static_cast<long long>(YS) + SOrg.y();
        const bool Scaled = Stretch && (SW != W || SH != H || FlipX || FlipY);
        if (!Scaled) {
            // The part of the destination whose source exists.
            const QRect SrcWant(QPoint(ClampCoord(SX0 + (Vis.left() - DX0)), ClampCoord(SY0 + (Vis.top() - DY0))),
                                Vis.size());
            if (!MakeSource(Src, SrcWant, C, Source))
                return true;
            J.SDX = static_cast<int>(SX0 - DX0);
            J.SDY = static_cast<int>(SY0 - DY0);
            Vis &= Source.Area.translated(-J.SDX, -J.SDY);
        } else {
            MapX = StretchMap(Vis.left(), Vis.right(), static_cast<int>(DX0), W, static_cast<int>(SX0), SW, FlipX);
            MapY = StretchMap(Vis.top(), Vis.bottom(), static_cast<int>(DY0), H, static_cast<int>(SY0), SH, FlipY);
            const auto [MinX, MaxX] = std::minmax_element(MapX.begin(), MapX.end());
            const auto [MinY, MaxY] = std::minmax_element(MapY.begin(), MapY.end());
            if (!MakeSource(Src, QRect(QPoint(*MinX, *MinY), QPoint(*MaxX, *MaxY)), C, Source))
                return true;
            // Maps are monotonic: keep the destination columns and rows whose source exists.
            auto Keep = [](const std::vector<int>& M, int Lo, int Hi, int Base, int& A, int& B) {
                A = -1;
                B = -2;
                for (size_t I = 0; I < M.size(); ++I)
                    if (M[I] >= Lo && M[I] <= Hi) {
                        if (A < 0)
                            A = Base + static_cast<int>(I);
                        B = Base + static_cast<int>(I);
                    }
            };
            int XA, XB, YA, YB;
            Keep(MapX, Source.Area.left(), Source.Area.right(), Vis.left(), XA, XB);
            Keep(MapY, Source.Area.top(), Source.Area.bottom(), Vis.top(), YA, YB);
            if (XA < 0 || YA < 0)
                return true;
            J.MapX0 = Vis.left();
            J.MapY0 = Vis.top();
            Vis = QRect(QPoint(XA, YA), QPoint(XB, YB));
            J.MapX = &MapX;
            J.MapY = &MapY;
        }
        J.Src = &Source;
    }
    J.Dest = Vis;
    J.RawCopy = T == 0xCC;
    if (!Vis.isEmpty())
        DispatchRop(C, J, T);
    return true;
}

} // namespace

bool BitBlt(TCanvas* Dest, int X, int Y, int Width, int Height, TCanvas* Src, int XSrc, int YSrc, uint32_t Rop)
{
    return Transfer(Dest, X, Y, Width, Height, Src, XSrc, YSrc, Width, Height, Rop, false);
}

bool StretchBlt(TCanvas* Dest, int X, int Y, int Width, int Height, TCanvas* Src, int XSrc, int YSrc, int SrcWidth,
                int SrcHeight, uint32_t Rop)
{
    return Transfer(Dest, X, Y, Width, Height, Src, XSrc, YSrc, SrcWidth, SrcHeight, Rop, true);
}

bool PatBlt(TCanvas* Dest, int X, int Y, int Width, int Height, uint32_t Rop)
{
    const uint8_t T = static_cast<uint8_t>(Rop >> 16);
    if (((T >> 2) & 0x33) != (T & 0x33))
        return false;
    return Transfer(Dest, X, Y, Width, Height, nullptr, 0, 0, Width, Height, Rop, false);
}
