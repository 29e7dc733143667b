// Regions: sets of pixels as values (QRegion), with the platform's region
// calls around them.
//
// A region is a plain QRegion: copying is cheap (implicitly shared), nothing
// has to be deleted, and QWidget::setMask takes it as it is. The functions
// below keep caller code in the platform's shape:
//
//     QRegion R = CreateRectRgn(0, 0, 10, 10);
//     CombineRgn(R, R, CreateEllipticRgn(5, 5, 20, 20), RGN_OR);
//     OffsetRgn(R, 2, 3);
//     if (PtInRegion(R, X, Y)) ...
//
// "No region" (what the platform reports as a null handle) is an empty
// QRegion where a function returns a QRegion, and std::nullopt where the
// difference matters (reading stored region data).
//
// Coordinates are pixels; rectangles exclude their right and bottom edges.
// Region coordinates are limited to the platform's 28-bit range
// [RegionCoordMin, RegionCoordMax]; the Create functions clamp to it and stored
// data outside it is rejected.
//
// Stored region data (GetRegionData / ExtCreateRegion), all integers 32-bit
// little-endian:
//
//     offset  size  field
//      0       4    header size, always 32
//      4       4    type, always 1 (rectangles)
//      8       4    rectangle count C
//     12       4    rectangle bytes, 16 x C
//     16      16    bounding rectangle: left, top, right, bottom
//     32    16 x C  rectangles: left, top, right, bottom
//
// The rectangles are written in y-x banded order: sorted by top, then left;
// rectangles of one band share top and bottom; bands do not overlap, spans in
// a band neither overlap nor touch, and two touching bands never have the same
// spans (they are merged), so a region has exactly one stored form.
#pragma once

#include <QRegion>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "Types.h"

class TCanvas;
class TBrush;

// Results of the region functions, numbered as the platform numbers them.
enum TRegionType : int { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
// CombineRgn modes.
enum TRegionMode : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
// Polygon fill modes.
enum TPolyFillMode : int { ALTERNATE = 1, WINDING = 2 };

constexpr int RegionCoordMin = -(1 << 27);
constexpr int RegionCoordMax = (1 << 27) - 1;

// Size of the stored region data header and of one stored rectangle.
constexpr uint32_t RegionDataHeaderSize = 32;
constexpr uint32_t RegionDataRectSize = 16;

// ---------------------------------------------------------------- creation

// A rectangle region; swapped edges are put in order, an empty rectangle gives
// an empty region.
QRegion CreateRectRgn(int Left, int Top, int Right, int Bottom);
QRegion CreateRectRgnIndirect(const TRect& R);

// The ellipse inscribed in the rectangle: pixel (x, y) belongs to it when its
// centre (x + 0.5, y + 0.5) lies strictly inside the ellipse whose centre is the
// rectangle's centre and whose axes are the rectangle's width and height. The
// region is symmetric about both axes of the rectangle; its box is the
// rectangle unless the ellipse is so flat that a whole edge row or column has
// no centre inside.
QRegion CreateEllipticRgn(int Left, int Top, int Right, int Bottom);
QRegion CreateEllipticRgnIndirect(const TRect& R);

// A rectangle with corners rounded by quarters of an ellipse of
// EllipseWidth x EllipseHeight (clamped to the rectangle's size): each corner is
// the corresponding quarter of CreateEllipticRgn of an ellipse box of that size
// placed in the corner; rows between the corner arcs are full. A zero ellipse
// size gives the plain rectangle.
QRegion CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int EllipseWidth, int EllipseHeight);

// Polygon regions. The polygon is closed implicitly (last point to first).
// Rasterisation rule: pixel (x, y) belongs to the region when its centre
// (x + 0.5, y + 0.5) is inside the polygon (ALTERNATE: an odd number of edges
// cross the ray to its left; WINDING: the edges' directions do not add up to
// zero). A centre exactly on an edge follows the top-left convention: an edge
// counts for a scan line when top <= y + 0.5 < bottom (horizontal edges never
// count), and a crossing at x_e counts as left of the centre when
// x_e <= x + 0.5; so centres on left and top edges are inside and on right and
// bottom edges outside. A shape made of whole pixels is reproduced exactly:
// the polygon (0,0) (10,0) (10,10) (0,10) gives CreateRectRgn(0, 0, 10, 10).
QRegion CreatePolygonRgn(std::span<const TPoint> Points, int FillMode);
QRegion CreatePolygonRgn(const TPoint* Points, int Count, int FillMode);
// Several polygons filled together (the crossings of all of them count).
QRegion CreatePolyPolygonRgn(std::span<const TPoint> Points, std::span<const int> Counts, int FillMode);

// The union of a list of rectangles in one step (any order, overlapping or
// not; empty rectangles are ignored). Rectangles already in banded order are
// taken as they are; others are merged by one sweep over their edges.
QRegion RegionFromRects(std::span<const TRect> Rects);

// Builds a region from one-pixel-high horizontal runs in one step. Runs are
// expected row by row from the top, left to right within a row (the order in
// which a picture is scanned); rows with the same spans are merged into bands
// as they arrive and the region is made once at the end. Runs in another
// order are accepted too and cost a sweep at the end.
//
//     TRegionBuilder B;
//     for each row y, for each run [x1, x2): B.AddRun(y, x1, x2);
//     QRegion R = B.Build();
class TRegionBuilder {
public:
    // Adds the pixels [X1, X2) of row Y; an empty run is ignored.
    void AddRun(int Y, int X1, int X2);
    // The region of all runs added; the builder is empty again afterwards.
    QRegion Build();
    void Clear();

private:
    void FlushRow();
    void SwitchToUnordered();

    std::vector<TRect> FBands;  // finished rectangles, banded
    size_t FLastBandStart = 0;  // first rectangle of the last band in FBands
    bool FHaveBand = false;
    std::vector<std::pair<int, int>> FRow; // spans of the row being collected
    int FRowY = 0;
    bool FHaveRow = false;
    bool FRowUnsorted = false;
    bool FUnordered = false;
    std::vector<TRect> FLoose; // everything, once runs came out of order
};

// ---------------------------------------------------------------- operations

// Dest := Src1 op Src2 (RGN_COPY: Src1). Dest may be one of the sources.
// Returns the type of the result, or RGN_ERROR for an unknown mode (Dest is
// then unchanged).
int CombineRgn(QRegion& Dest, const QRegion& Src1, const QRegion& Src2, int Mode);
int OffsetRgn(QRegion& Rgn, int DX, int DY);
// Makes Rgn the rectangle (as CreateRectRgn does).
void SetRectRgn(QRegion& Rgn, int Left, int Top, int Right, int Bottom);
bool PtInRegion(const QRegion& Rgn, int X, int Y);
// True when any pixel of the rectangle (edges put in order) is in the region.
bool RectInRegion(const QRegion& Rgn, const TRect& R);
// The bounding box (the zero rectangle for an empty region) and the type.
int GetRgnBox(const QRegion& Rgn, TRect& Box);
TRect RegionBox(const QRegion& Rgn);
// NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
int RegionType(const QRegion& Rgn);
// Same set of pixels.
bool EqualRgn(const QRegion& A, const QRegion& B);

// The region's rectangles in the canonical banded order described above.
std::vector<TRect> GetRegionRects(const QRegion& Rgn);

// The part of the region within W pixels of its left or right border or H
// pixels of its top or bottom border: the region minus the region shrunk by
// W horizontally and H vertically (what FrameRgn paints).
QRegion FrameRegionOf(const QRegion& Rgn, int W, int H);

// ---------------------------------------------------------------- stored data

// Byte size of the stored data of the region: 32 + 16 x rectangle count.
uint32_t GetRegionDataSize(const QRegion& Rgn);
// The stored data of the region (layout above).
std::vector<uint8_t> GetRegionData(const QRegion& Rgn);
// The region of stored data, or nullopt for data that is not region data:
// fewer than 32 bytes, a header size other than 32, a type other than 1, a
// rectangle byte count other than 16 x C, fewer than 32 + 16 x C bytes,
// coordinates outside the region range, or rectangles in an order whose union
// would be unreasonably large to compute. Bytes after the last rectangle are
// ignored, and so is the stored bounding rectangle (the box is recomputed).
// Empty rectangles are skipped; rectangles in any order are united.
std::optional<QRegion> ExtCreateRegion(const void* Data, size_t Size);
std::optional<QRegion> ExtCreateRegion(std::span<const uint8_t> Data);

// ---------------------------------------------------------------- on a canvas

// Fills the region with the brush (the canvas's own brush for PaintRgn).
void FillRgn(TCanvas* Canvas, const QRegion& Rgn, TBrush* Brush);
void PaintRgn(TCanvas* Canvas, const QRegion& Rgn);
// Paints FrameRegionOf(Rgn, W, H) with the brush.
void FrameRgn(TCanvas* Canvas, const QRegion& Rgn, TBrush* Brush, int W, int H);
// Inverts the colours of the pixels of the region.
void InvertRgn(TCanvas* Canvas, const QRegion& Rgn);
