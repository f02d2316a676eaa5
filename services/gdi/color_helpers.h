// The colour arithmetic of sys.GDI (and the QBColor of every script): the 16-colour palette
// and the colour a given per cent of the way between two colours.
#pragma once
#include <cstdint>

namespace qz {

// The palette colour 0..15 as a platform colour value (red in the low byte); 0 for others.
int32_t qb_color(int32_t number);
// GetGrad: each channel moved `percent` per cent from color1's towards color2's, rounded
// halves to even, capped at 255. 0 when either colour is negative or a channel falls below 0.
int32_t gradient_color(float percent, int32_t color1, int32_t color2);

}  // namespace qz
