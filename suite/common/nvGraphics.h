// Pixel-order helpers of the suite.
#pragma once

#include <cstdint>

// For each of Count 32-bit values, from the last to the first, exchanges
// bytes 0 and 2 and clears the top byte: $AABBGGRR becomes $00RRGGBB. Nothing
// for Count <= 0; EInvalidOperation for null pixels with Count > 0.
void SwapRedBlue(uint32_t* Pixels, int Count);
