#include "Regions.h"

#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// A region that would need more rectangles than this is not made (the calls
// give no region), and a sweep over unordered rectangles gives up after this
// much work; both keep forged data from exhausting memory or time.
constexpr size_t MaxRegionRects = size_t(1) << 22;
constexpr int64_t MaxSweepWork = int64_t(1) << 26;

using TSpan = std::pair<int, int>; // [first, second)
using TSpans = std::vector<TSpan>;

int ClampCoord(int64_t V)
{
    return static_cast<int>(std::clamp<int64_t>(V, RegionCoordMin, RegionCoordMax));
}

bool InRange(int32_t V)
{
    return V >= RegionCoordMin && V <= RegionCoordMax;
}

// Sorts spans and merges those that overlap or touch.
void NormalizeSpans(TSpans& Spans)
{
    std::sort(Spans.begin(), Spans.end());
    size_t Out = 0;
    for (size_t I = 0; I < Spans.size(); ++I) {
        if (Out > 0 && Spans[I].first <= Spans[Out - 1].second)
            Spans[Out - 1].second = std::max(Spans[Out - 1].second, Spans[I].second);
        else
            Spans[Out++] = Spans[I];
    }
    Spans.resize(Out);
}

// Collects bands from the top down into canonical banded rectangles: a band
// that touches the previous one and has the same spans extends it.
class TBandWriter {
public:
    // Adds the band [Top, Bottom) with sorted spans that neither overlap nor
    // touch. Returns false once the region has grown too large.
    bool Add(int Top, int Bottom, const TSpans& Spans)
    {
        if (Spans.empty() || Bottom <= Top)
            return true;
        if (FHaveLast && FRects[FLastStart].Bottom == Top && FRects.size() - FLastStart == Spans.size()) {
            bool Same = true;
            for (size_t I = 0; I < Spans.size() && Same; ++I) {
                const TRect& R = FRects[FLastStart + I];
                Same = R.Left == Spans[I].first && R.Right == Spans[I].second;
            }
            if (Same) {
                for (size_t I = FLastStart; I < FRects.size(); ++I)
                    FRects[I].Bottom = Bottom;
                return true;
            }
        }
        if (FRects.size() + Spans.size() > MaxRegionRects)
            return false;
        FLastStart = FRects.size();
        FHaveLast = true;
        for (const TSpan& S : Spans)
            FRects.push_back(TRect(S.first, Top, S.second, Bottom));
        return true;
    }

    std::vector<TRect>& Rects() { return FRects; }
    void Clear()
    {
        FRects.clear();
        FHaveLast = false;
        FLastStart = 0;
    }

private:
    std::vector<TRect> FRects;
    size_t FLastStart = 0;
    bool FHaveLast = false;
};

QRegion MakeRegion(const std::vector<TRect>& Rects)
{
    QRegion R;
    if (Rects.empty())
        return R;
    std::vector<QRect> Q;
    Q.reserve(Rects.size());
    for (const TRect& T : Rects)
        Q.push_back(T.ToQRect());
    R.setRects(Q.data(), static_cast<int>(Q.size()));
    return R;
}

// Canonical bands of rectangles already in banded order (sorted by top, one
// bottom per top, bands not overlapping, spans sorted and not overlapping).
// Returns false when the rectangles are not in that order.
bool BandsFromOrdered(std::span<const TRect> Rects, TBandWriter& W, bool& TooLarge)
{
    TooLarge = false;
    TSpans Spans;
    int BandTop = 0, BandBottom = 0;
    bool InBand = false;
    int PrevBottom = std::numeric_limits<int>::min();
    for (const TRect& R : Rects) {
        if (R.IsEmpty())
            continue;
        if (InBand && R.Top == BandTop) {
            if (R.Bottom != BandBottom || R.Left < Spans.back().second)
                return false;
            if (R.Left == Spans.back().second)
                Spans.back().second = R.Right;
            else
                Spans.emplace_back(R.Left, R.Right);
            continue;
        }
        if (InBand) {
            if (!W.Add(BandTop, BandBottom, Spans)) {
                TooLarge = true;
                return false;
            }
            PrevBottom = BandBottom;
        }
        if (R.Top < PrevBottom)
            return false;
        BandTop = R.Top;
        BandBottom = R.Bottom;
        Spans.assign(1, TSpan(R.Left, R.Right));
        InBand = true;
    }
    if (InBand && !W.Add(BandTop, BandBottom, Spans)) {
        TooLarge = true;
        return false;
    }
    return true;
}

// The union of rectangles in any order, by a sweep over their top and bottom
// edges. Returns false when the work or the result grows too large.
bool BandsFromSweep(std::span<const TRect> Input, TBandWriter& W)
{
    std::vector<TRect> Rects;
    Rects.reserve(Input.size());
    for (const TRect& R : Input)
        if (!R.IsEmpty())
            Rects.push_back(R);
    std::sort(Rects.begin(), Rects.end(), [](const TRect& A, const TRect& B) { return A.Top < B.Top; });
    std::vector<int> Edges;
    Edges.reserve(Rects.size() * 2);
    for (const TRect& R : Rects) {
        Edges.push_back(R.Top);
        Edges.push_back(R.Bottom);
    }
    std::sort(Edges.begin(), Edges.end());
    Edges.erase(std::unique(Edges.begin(), Edges.end()), Edges.end());

    std::vector<const TRect*> Active;
    TSpans Spans;
    size_t Next = 0;
    int64_t Work = 0;
    for (size_t I = 0; I + 1 < Edges.size(); ++I) {
        const int Y = Edges[I];
        Active.erase(std::remove_if(Active.begin(), Active.end(), [Y](const TRect* R) { return R->Bottom <= Y; }),
                     Active.end());
        while (Next < Rects.size() && Rects[Next].Top == Y)
            Active.push_back(&Rects[Next++]);
        Work += static_cast<int64_t>(Active.size()) + 1;
        if (Work > MaxSweepWork)
            return false;
        Spans.clear();
        for (const TRect* R : Active)
            Spans.emplace_back(R->Left, R->Right);
        NormalizeSpans(Spans);
        if (!W.Add(Y, Edges[I + 1], Spans))
            return false;
    }
    return true;
}

// Canonical rectangles of a list, fast when it is already banded.
bool CanonicalBands(std::span<const TRect> Rects, TBandWriter& W)
{
    bool TooLarge = false;
    if (BandsFromOrdered(Rects, W, TooLarge))
        return true;
    if (TooLarge)
        return false;
    W.Clear();
    return BandsFromSweep(Rects, W);
}

// ---------------------------------------------------------------- polygons

struct TEdge {
    int64_t X0, Y0, X1, Y1; // Y0 < Y1
    int Dir;                // +1 when the polygon runs downwards along it
};

// First pixel column whose centre lies at or right of the crossing of the edge
// with the scan line through the centres of row Y: ceil(x_e - 0.5).
int64_t CrossingColumn(const TEdge& E, int64_t Y)
{
    const int64_t D = E.Y1 - E.Y0;
    const int64_t N = 2 * E.X0 * D + (2 * Y + 1 - 2 * E.Y0) * (E.X1 - E.X0) - D;
    const int64_t Den = 2 * D;
    int64_t Q = N / Den;
    if (N % Den != 0 && N > 0)
        ++Q;
    return Q;
}

QRegion ScanPolygons(std::span<const TPoint> Points, std::span<const int> Counts, int FillMode)
{
    if (FillMode != ALTERNATE && FillMode != WINDING)
        return QRegion();
    std::vector<TEdge> Edges;
    size_t Start = 0;
    for (int Count : Counts) {
        if (Count < 0 || Start + static_cast<size_t>(Count) > Points.size())
            return QRegion();
        for (int I = 0; I < Count; ++I) {
            const TPoint& A = Points[Start + I];
            const TPoint& B = Points[Start + (I + 1) % Count];
            const int64_t AX = ClampCoord(A.X), AY = ClampCoord(A.Y);
            const int64_t BX = ClampCoord(B.X), BY = ClampCoord(B.Y);
            if (AY == BY)
                continue;
            if (AY < BY)
                Edges.push_back({AX, AY, BX, BY, +1});
            else
                Edges.push_back({BX, BY, AX, AY, -1});
        }
        Start += static_cast<size_t>(Count);
    }
    if (Edges.empty())
        return QRegion();
    std::sort(Edges.begin(), Edges.end(), [](const TEdge& A, const TEdge& B) { return A.Y0 < B.Y0; });

    TBandWriter W;
    std::vector<const TEdge*> Active;
    std::vector<std::pair<int64_t, int>> Cross;
    TSpans Spans;
    size_t Next = 0;
    int64_t Y = Edges.front().Y0;
    while (Next < Edges.size() || !Active.empty()) {
        if (Active.empty() && Next < Edges.size())
            Y = std::max(Y, Edges[Next].Y0);
        while (Next < Edges.size() && Edges[Next].Y0 <= Y)
            Active.push_back(&Edges[Next++]);
        Active.erase(std::remove_if(Active.begin(), Active.end(), [Y](const TEdge* E) { return E->Y1 <= Y; }),
                     Active.end());
        if (Active.empty())
            continue;
        // Rows up to the next event repeat this row when every active edge
        // is vertical.
        int64_t NextEvent = Next < Edges.size() ? Edges[Next].Y0 : std::numeric_limits<int64_t>::max();
        bool AllVertical = true;
        for (const TEdge* E : Active) {
            NextEvent = std::min(NextEvent, E->Y1);
            AllVertical = AllVertical && E->X0 == E->X1;
        }
        const int64_t RowEnd = AllVertical ? NextEvent : Y + 1;

        Cross.clear();
        for (const TEdge* E : Active)
            Cross.emplace_back(CrossingColumn(*E, Y), E->Dir);
        std::sort(Cross.begin(), Cross.end());
        Spans.clear();
        int Winding = 0;
        int64_t SpanStart = 0;
        for (const auto& [X, Dir] : Cross) {
            const bool WasInside = FillMode == WINDING ? Winding != 0 : (Winding & 1) != 0;
            Winding += Dir;
            const bool Inside = FillMode == WINDING ? Winding != 0 : (Winding & 1) != 0;
            if (!WasInside && Inside)
                SpanStart = X;
            else if (WasInside && !Inside && X > SpanStart)
                Spans.emplace_back(static_cast<int>(SpanStart), static_cast<int>(X));
        }
        NormalizeSpans(Spans);
        if (!W.Add(static_cast<int>(Y), static_cast<int>(RowEnd), Spans))
            return QRegion();
        Y = RowEnd;
    }
    return MakeRegion(W.Rects());
}

// ---------------------------------------------------------------- ellipses

// For an ellipse box of width A and height B (both > 0), the half-width in
// doubled pixel units of row Y2 (the doubled offset of the row centre from the
// ellipse centre): the largest X of A + 1's parity with
// X^2 B^2 + Y2^2 A^2 < A^2 B^2, or -1 when no pixel centre of the row is inside.
int64_t EllipseHalfSpan(int64_t A, int64_t B, int64_t Y2)
{
    using I128 = __int128;
    const I128 Rhs = I128(A) * A * (I128(B) * B - I128(Y2) * Y2);
    if (Rhs <= 0)
        return -1;
    const I128 B2 = I128(B) * B;
    const int Parity = static_cast<int>((A + 1) & 1);
    auto Inside = [&](int64_t X) { return I128(X) * X * B2 < Rhs; };
    int64_t X = static_cast<int64_t>(std::sqrt(static_cast<long double>(Rhs) / static_cast<long double>(B2)));
    if ((X & 1) != Parity)
        --X;
    while (X + 2 <= A && Inside(X + 2))
        X += 2;
    while (X >= 0 && !Inside(X))
        X -= 2;
    return X;
}

constexpr int64_t MaxShapeRows = int64_t(MaxRegionRects);

void NormalizeRect(int& Left, int& Top, int& Right, int& Bottom)
{
    Left = ClampCoord(Left);
    Top = ClampCoord(Top);
    Right = ClampCoord(Right);
    Bottom = ClampCoord(Bottom);
    if (Left > Right)
        std::swap(Left, Right);
    if (Top > Bottom)
        std::swap(Top, Bottom);
}

void PutLE32(uint8_t* P, uint32_t V)
{
    P[0] = static_cast<uint8_t>(V);
    P[1] = static_cast<uint8_t>(V >> 8);
    P[2] = static_cast<uint8_t>(V >> 16);
    P[3] = static_cast<uint8_t>(V >> 24);
}

uint32_t GetLE32(const uint8_t* P)
{
    return uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16 | uint32_t(P[3]) << 24;
}

} // namespace

// ---------------------------------------------------------------- creation

QRegion CreateRectRgn(int Left, int Top, int Right, int Bottom)
{
    NormalizeRect(Left, Top, Right, Bottom);
    if (Left == Right || Top == Bottom)
        return QRegion();
    return QRegion(Left, Top, Right - Left, Bottom - Top);
}

QRegion CreateRectRgnIndirect(const TRect& R)
{
    return CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom);
}

QRegion CreateEllipticRgn(int Left, int Top, int Right, int Bottom)
{
    return CreateRoundRectRgn(Left, Top, Right, Bottom, Right - Left, Bottom - Top);
}

QRegion CreateEllipticRgnIndirect(const TRect& R)
{
    return CreateEllipticRgn(R.Left, R.Top, R.Right, R.Bottom);
}

QRegion CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int EllipseWidth, int EllipseHeight)
{
    NormalizeRect(Left, Top, Right, Bottom);
    const int64_t W = int64_t(Right) - Left, H = int64_t(Bottom) - Top;
    if (W == 0 || H == 0)
        return QRegion();
    const int64_t EW = std::min<int64_t>(std::abs(int64_t(EllipseWidth)), W);
    const int64_t EH = std::min<int64_t>(std::abs(int64_t(EllipseHeight)), H);
    if (EW == 0 || EH == 0)
        return CreateRectRgn(Left, Top, Right, Bottom);
    // Rows of the corner ellipse's upper half (the middle row of an odd height
    // included) and their inset from the left and right edges.
    const int64_t ArcRows = (EH + 1) / 2;
    if (ArcRows > MaxShapeRows)
        return QRegion();
    std::vector<int64_t> Inset(static_cast<size_t>(ArcRows));
    for (int64_t I = 0; I < ArcRows; ++I) {
        const int64_t Half = EllipseHalfSpan(EW, EH, 2 * I + 1 - EH);
        // Pixel x of the ellipse box (0, EW) is inside for |2x + 1 - EW| <= Half.
        Inset[static_cast<size_t>(I)] = Half < 0 ? EW / 2 : (EW - 1 - Half) / 2;
    }
    TBandWriter Bands;
    TSpans Spans(1);
    auto InsetOf = [&](int64_t RowFromEdge) { return RowFromEdge < ArcRows ? Inset[size_t(RowFromEdge)] : 0; };
    const int64_t ArcEnd = std::min(H, ArcRows);
    auto AddRow = [&](int64_t I, int64_t RowsTop, int64_t RowsBottom) {
        const int64_t In = std::max(InsetOf(I), InsetOf(H - 1 - I));
        Spans[0] = TSpan(static_cast<int>(Left + In), static_cast<int>(Right - In));
        if (Spans[0].first >= Spans[0].second)
            return true;
        return Bands.Add(static_cast<int>(Top + RowsTop), static_cast<int>(Top + RowsBottom), Spans);
    };
    // Top arcs, the straight middle in one band, bottom arcs.
    for (int64_t I = 0; I < ArcEnd; ++I)
        if (!AddRow(I, I, I + 1))
            return QRegion();
    if (H - ArcRows > ArcEnd && !AddRow(ArcEnd, ArcEnd, H - ArcRows))
        return QRegion();
    for (int64_t I = std::max(ArcEnd, H - ArcRows); I < H; ++I)
        if (!AddRow(I, I, I + 1))
            return QRegion();
    return MakeRegion(Bands.Rects());
}

QRegion CreatePolygonRgn(std::span<const TPoint> Points, int FillMode)
{
    const int Count = static_cast<int>(std::min<size_t>(Points.size(), size_t(std::numeric_limits<int>::max())));
    return ScanPolygons(Points, std::span<const int>(&Count, 1), FillMode);
}

QRegion CreatePolygonRgn(const TPoint* Points, int Count, int FillMode)
{
    if (!Points || Count <= 0)
        return QRegion();
    return CreatePolygonRgn(std::span<const TPoint>(Points, static_cast<size_t>(Count)), FillMode);
}

QRegion CreatePolyPolygonRgn(std::span<const TPoint> Points, std::span<const int> Counts, int FillMode)
{
    return ScanPolygons(Points, Counts, FillMode);
}

QRegion RegionFromRects(std::span<const TRect> Rects)
{
    TBandWriter W;
    if (!CanonicalBands(Rects, W))
        return QRegion();
    return MakeRegion(W.Rects());
}

// ---------------------------------------------------------------- builder

void TRegionBuilder::AddRun(int Y, int X1, int X2)
{
    if (X1 >= X2)
        return;
    if (FUnordered) {
        FLoose.push_back(TRect(X1, Y, X2, Y + 1));
        return;
    }
    if (FHaveRow && Y != FRowY) {
        if (Y < FRowY) {
            SwitchToUnordered();
            FLoose.push_back(TRect(X1, Y, X2, Y + 1));
            return;
        }
        FlushRow();
    }
    if (!FHaveRow) {
        FHaveRow = true;
        FRowY = Y;
    }
    if (!FRow.empty() && X1 <= FRow.back().second) {
        if (X1 >= FRow.back().first) {
            // Touching or overlapping the last run: extend it.
            FRow.back().second = std::max(FRow.back().second, X2);
            return;
        }
        FRowUnsorted = true;
    }
    FRow.emplace_back(X1, X2);
}

void TRegionBuilder::FlushRow()
{
    if (!FHaveRow)
        return;
    if (FRowUnsorted)
        NormalizeSpans(FRow);
    if (!FRow.empty()) {
        const int Top = FRowY;
        // Extend the last band when it ends at this row with the same spans.
        bool Extended = false;
        if (FHaveBand && FBands[FLastBandStart].Bottom == Top && FBands.size() - FLastBandStart == FRow.size()) {
            bool Same = true;
            for (size_t I = 0; I < FRow.size() && Same; ++I)
                Same = FBands[FLastBandStart + I].Left == FRow[I].first &&
                       FBands[FLastBandStart + I].Right == FRow[I].second;
            if (Same) {
                for (size_t I = FLastBandStart; I < FBands.size(); ++I)
                    FBands[I].Bottom = Top + 1;
                Extended = true;
            }
        }
        if (!Extended) {
            FLastBandStart = FBands.size();
            FHaveBand = true;
            for (const TSpan& S : FRow)
                FBands.push_back(TRect(S.first, Top, S.second, Top + 1));
        }
    }
    FRow.clear();
    FRowUnsorted = false;
    FHaveRow = false;
}

void TRegionBuilder::SwitchToUnordered()
{
    FlushRow();
    FUnordered = true;
    FLoose = std::move(FBands);
    FBands.clear();
    FHaveBand = false;
}

QRegion TRegionBuilder::Build()
{
    QRegion Result;
    if (FUnordered) {
        Result = RegionFromRects(FLoose);
    } else {
        FlushRow();
        Result = FBands.size() <= MaxRegionRects ? MakeRegion(FBands) : QRegion();
    }
    Clear();
    return Result;
}

void TRegionBuilder::Clear()
{
    FBands.clear();
    FBands.shrink_to_fit();
    FLastBandStart = 0;
    FHaveBand = false;
    FRow.clear();
    FHaveRow = false;
    FRowUnsorted = false;
    FUnordered = false;
    FLoose.clear();
    FLoose.shrink_to_fit();
}

// ---------------------------------------------------------------- operations

int RegionType(const QRegion& Rgn)
{
    const int N = Rgn.rectCount();
    return N == 0 ? NULLREGION : N == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int CombineRgn(QRegion& Dest, const QRegion& Src1, const QRegion& Src2, int Mode)
{
    switch (Mode) {
    case RGN_AND:
        Dest = Src1.intersected(Src2);
        break;
    case RGN_OR:
        Dest = Src1.united(Src2);
        break;
    case RGN_XOR:
        Dest = Src1.xored(Src2);
        break;
    case RGN_DIFF:
        Dest = Src1.subtracted(Src2);
        break;
    case RGN_COPY:
        Dest = Src1;
        break;
    default:
        return RGN_ERROR;
    }
    return RegionType(Dest);
}

int OffsetRgn(QRegion& Rgn, int DX, int DY)
{
    if (!Rgn.isEmpty()) {
        const QRect B = Rgn.boundingRect();
        const int64_t L = int64_t(B.left()) + DX, T = int64_t(B.top()) + DY;
        const int64_t R = int64_t(B.left()) + B.width() + DX, Bo = int64_t(B.top()) + B.height() + DY;
        if (L < RegionCoordMin || T < RegionCoordMin || R > RegionCoordMax || Bo > RegionCoordMax)
            return RGN_ERROR;
        Rgn.translate(DX, DY);
    }
    return RegionType(Rgn);
}

void SetRectRgn(QRegion& Rgn, int Left, int Top, int Right, int Bottom)
{
    Rgn = CreateRectRgn(Left, Top, Right, Bottom);
}

bool PtInRegion(const QRegion& Rgn, int X, int Y)
{
    return Rgn.contains(QPoint(X, Y));
}

bool RectInRegion(const QRegion& Rgn, const TRect& R)
{
    int L = R.Left, T = R.Top, Ri = R.Right, B = R.Bottom;
    NormalizeRect(L, T, Ri, B);
    if (L == Ri || T == B)
        return false;
    return Rgn.intersects(QRect(L, T, Ri - L, B - T));
}

TRect RegionBox(const QRegion& Rgn)
{
    return Rgn.isEmpty() ? TRect() : TRect::FromQRect(Rgn.boundingRect());
}

int GetRgnBox(const QRegion& Rgn, TRect& Box)
{
    Box = RegionBox(Rgn);
    return RegionType(Rgn);
}

bool EqualRgn(const QRegion& A, const QRegion& B)
{
    if (A.isEmpty() || B.isEmpty())
        return A.isEmpty() && B.isEmpty();
    if (A.boundingRect() != B.boundingRect())
        return false;
    return A == B || A.xored(B).isEmpty();
}

std::vector<TRect> GetRegionRects(const QRegion& Rgn)
{
    std::vector<TRect> Rects;
    Rects.reserve(static_cast<size_t>(Rgn.rectCount()));
    for (const QRect& R : Rgn)
        Rects.push_back(TRect::FromQRect(R));
    TBandWriter W;
    if (!CanonicalBands(Rects, W))
        return Rects; // cannot happen for a region Qt holds; keep its own order
    return std::move(W.Rects());
}

QRegion FrameRegionOf(const QRegion& Rgn, int W, int H)
{
    QRegion Inner = Rgn;
    for (int I = 1; I <= std::max(W, 0) && !Inner.isEmpty(); ++I)
        Inner = Inner.intersected(Rgn.translated(I, 0)).intersected(Rgn.translated(-I, 0));
    for (int I = 1; I <= std::max(H, 0) && !Inner.isEmpty(); ++I)
        Inner = Inner.intersected(Rgn.translated(0, I)).intersected(Rgn.translated(0, -I));
    return Rgn.subtracted(Inner);
}

// ---------------------------------------------------------------- stored data

uint32_t GetRegionDataSize(const QRegion& Rgn)
{
    return RegionDataHeaderSize + RegionDataRectSize * static_cast<uint32_t>(GetRegionRects(Rgn).size());
}

std::vector<uint8_t> GetRegionData(const QRegion& Rgn)
{
    const std::vector<TRect> Rects = GetRegionRects(Rgn);
    const TRect Box = RegionBox(Rgn);
    const auto Count = static_cast<uint32_t>(Rects.size());
    std::vector<uint8_t> Data(RegionDataHeaderSize + size_t(RegionDataRectSize) * Count);
    uint8_t* P = Data.data();
    PutLE32(P + 0, RegionDataHeaderSize);
    PutLE32(P + 4, 1);
    PutLE32(P + 8, Count);
    PutLE32(P + 12, RegionDataRectSize * Count);
    PutLE32(P + 16, static_cast<uint32_t>(Box.Left));
    PutLE32(P + 20, static_cast<uint32_t>(Box.Top));
    PutLE32(P + 24, static_cast<uint32_t>(Box.Right));
    PutLE32(P + 28, static_cast<uint32_t>(Box.Bottom));
    P += RegionDataHeaderSize;
    for (const TRect& R : Rects) {
        PutLE32(P + 0, static_cast<uint32_t>(R.Left));
        PutLE32(P + 4, static_cast<uint32_t>(R.Top));
        PutLE32(P + 8, static_cast<uint32_t>(R.Right));
        PutLE32(P + 12, static_cast<uint32_t>(R.Bottom));
        P += RegionDataRectSize;
    }
    return Data;
}

std::optional<QRegion> ExtCreateRegion(const void* Data, size_t Size)
{
    if (!Data || Size < RegionDataHeaderSize)
        return std::nullopt;
    const auto* P = static_cast<const uint8_t*>(Data);
    const uint32_t HeaderSize = GetLE32(P + 0), Type = GetLE32(P + 4), Count = GetLE32(P + 8),
                   RectBytes = GetLE32(P + 12);
    if (HeaderSize != RegionDataHeaderSize || Type != 1)
        return std::nullopt;
    if (uint64_t(RectBytes) != uint64_t(Count) * RegionDataRectSize ||
        uint64_t(RegionDataHeaderSize) + RectBytes > Size)
        return std::nullopt;
    std::vector<TRect> Rects;
    Rects.reserve(Count);
    const uint8_t* R = P + RegionDataHeaderSize;
    for (uint32_t I = 0; I < Count; ++I, R += RegionDataRectSize) {
        const auto L = static_cast<int32_t>(GetLE32(R)), T = static_cast<int32_t>(GetLE32(R + 4)),
                   Ri = static_cast<int32_t>(GetLE32(R + 8)), B = static_cast<int32_t>(GetLE32(R + 12));
        if (!InRange(L) || !InRange(T) || !InRange(Ri) || !InRange(B))
            return std::nullopt;
        Rects.push_back(TRect(L, T, Ri, B));
    }
    TBandWriter W;
    if (!CanonicalBands(Rects, W))
        return std::nullopt;
    return MakeRegion(W.Rects());
}

std::optional<QRegion> ExtCreateRegion(std::span<const uint8_t> Data)
{
    return ExtCreateRegion(Data.data(), Data.size());
}

// ---------------------------------------------------------------- on a canvas

void FillRgn(TCanvas* Canvas, const QRegion& Rgn, TBrush* Brush)
{
    if (Canvas)
        Canvas->FillRgn(Rgn, Brush ? Brush : Canvas->Brush());
}

void PaintRgn(TCanvas* Canvas, const QRegion& Rgn)
{
    if (Canvas)
        Canvas->FillRgn(Rgn, Canvas->Brush());
}

void FrameRgn(TCanvas* Canvas, const QRegion& Rgn, TBrush* Brush, int W, int H)
{
    if (Canvas)
        Canvas->FrameRgn(Rgn, Brush ? Brush : Canvas->Brush(), W, H);
}

void InvertRgn(TCanvas* Canvas, const QRegion& Rgn)
{
    if (!Canvas || Rgn.isEmpty())
        return;
    // Inverts within the region (in device coordinates) and the old clip.
    const bool HadClip = Canvas->HasClipRegion();
    const QRegion OldClip = Canvas->ClipRegion();
    const TPoint Org = Canvas->ViewportOrg();
    QRegion Clip = Rgn.translated(Org.X, Org.Y);
    if (HadClip)
        Clip = Clip.intersected(OldClip);
    Canvas->SetClipRegion(&Clip);
    const TRect Box = RegionBox(Rgn);
    PatBlt(Canvas, Box.Left, Box.Top, Box.Width(), Box.Height(), DSTINVERT);
    Canvas->SetClipRegion(HadClip ? &OldClip : nullptr);
}
