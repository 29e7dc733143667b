// Points, sizes and rectangles with the platform's conventions: a rectangle
// holds Left..Right-1 and Top..Bottom-1, so Right and Bottom are excluded.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <algorithm>

struct TPoint {
    int X = 0;
    int Y = 0;
    constexpr TPoint() = default;
    constexpr TPoint(int AX, int AY) : X(AX), Y(AY) {}
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
    QPoint ToQPoint() const { return QPoint(X, Y); }
    static TPoint FromQPoint(const QPoint& P) { return TPoint(P.x(), P.y()); }
};

struct TSize {
    int cx = 0;
    int cy = 0;
    constexpr TSize() = default;
    constexpr TSize(int W, int H) : cx(W), cy(H) {}
    friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr TRect() = default;
    constexpr TRect(int L, int T, int R, int B) : Left(L), Top(T), Right(R), Bottom(B) {}
    constexpr TRect(TPoint TopLeft, TPoint BottomRight)
        : Left(TopLeft.X), Top(TopLeft.Y), Right(BottomRight.X), Bottom(BottomRight.Y)
    {
    }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr TPoint TopLeft() const { return TPoint(Left, Top); }
    constexpr TPoint BottomRight() const { return TPoint(Right, Bottom); }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(TPoint P) const { return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom; }

    // QRect's right and bottom are inclusive; the conversions keep the pixels.
    QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TRect FromQRect(const QRect& R) { return TRect(R.x(), R.y(), R.x() + R.width(), R.y() + R.height()); }
};

constexpr TPoint Point(int X, int Y)
{
    return TPoint(X, Y);
}
constexpr TRect Rect(int Left, int Top, int Right, int Bottom)
{
    return TRect(Left, Top, Right, Bottom);
}
constexpr TRect Bounds(int Left, int Top, int Width, int Height)
{
    return TRect(Left, Top, Left + Width, Top + Height);
}
constexpr bool PtInRect(const TRect& R, TPoint P)
{
    return R.Contains(P);
}
constexpr bool IsRectEmpty(const TRect& R)
{
    return R.IsEmpty();
}
// The platform's rules: an empty result is the zero rectangle and the call returns false.
inline bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B)
{
    TRect R(std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
            std::min(A.Bottom, B.Bottom));
    if (R.IsEmpty()) {
        Dest = TRect();
        return false;
    }
    Dest = R;
    return true;
}
inline bool UnionRect(TRect& Dest, const TRect& A, const TRect& B)
{
    if (A.IsEmpty()) {
        Dest = B;
    } else if (B.IsEmpty()) {
        Dest = A;
    } else {
        Dest = TRect(std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
                     std::max(A.Bottom, B.Bottom));
    }
    if (Dest.IsEmpty()) {
        Dest = TRect();
        return false;
    }
    return true;
}
constexpr void OffsetRect(TRect& R, int DX, int DY)
{
    R.Left += DX;
    R.Right += DX;
    R.Top += DY;
    R.Bottom += DY;
}
constexpr void InflateRect(TRect& R, int DX, int DY)
{
    R.Left -= DX;
    R.Right += DX;
    R.Top -= DY;
    R.Bottom += DY;
}
