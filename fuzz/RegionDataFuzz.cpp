// Feeds arbitrary bytes to the stored region data reader: bad data gives no
// region, never a crash or an unbounded allocation; a region that reads must
// write the same canonical data back. The same bytes read as a polygon
// exercise the scan conversion, whose region must survive the round trip too.
#include <cstdlib>
#include <cstring>

#include "Regions.h"

namespace {

void CheckRoundTrip(const QRegion& R)
{
    const std::vector<uint8_t> D = GetRegionData(R);
    const std::optional<QRegion> Back = ExtCreateRegion(D);
    if (!Back || !EqualRgn(*Back, R) || GetRegionData(*Back) != D)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (const std::optional<QRegion> R = ExtCreateRegion(Data, Size))
        CheckRoundTrip(*R);
    // Points of signed 16-bit coordinates; the first byte picks the fill mode.
    if (Size >= 1) {
        std::vector<TPoint> Points;
        for (size_t I = 1; I + 4 <= Size && Points.size() < 64; I += 4) {
            int16_t X, Y;
            std::memcpy(&X, Data + I, 2);
            std::memcpy(&Y, Data + I + 2, 2);
            Points.push_back(TPoint(X / 64, Y / 64));
        }
        const QRegion P = CreatePolygonRgn(Points, (Data[0] & 1) ? WINDING : ALTERNATE);
        CheckRoundTrip(P);
        // Every pixel of the region is inside its box.
        const TRect Box = RegionBox(P);
        if (!P.isEmpty() && !EqualRgn(P.intersected(Box.ToQRect()), P))
            std::abort();
    }
    return 0;
}
