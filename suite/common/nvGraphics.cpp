// Pixel-order helpers of the suite (see nvGraphics.h).
#include "nvGraphics.h"

#include "SysUtils.h"

namespace {

inline uint32_t SwapOne(uint32_t V)
{
#if defined(__GNUC__) || defined(__clang__)
    // Byte swap gives R G B A from A B G R... (bytes 0..3 reversed); dropping
    // the low byte leaves bytes 0, 1, 2 as 2, 1, 0 with a zero top byte.
    return __builtin_bswap32(V) >> 8;
#else
    return (V & 0xFFu) << 16 | (V & 0xFF00u) | ((V >> 16) & 0xFFu);
#endif
}

} // namespace

void SwapRedBlue(uint32_t* Pixels, int Count)
{
    if (Count <= 0)
        return;
    if (!Pixels)
        throw EInvalidOperation("SwapRedBlue: no pixels to swap");
    for (int I = Count - 1; I >= 0; --I)
        Pixels[I] = SwapOne(Pixels[I]);
}
