#pragma once
// The five 16 × 16 load-state images of page tabs: 0 an empty progress bar; 1, 2, 3 the
// bar a quarter, a half and three quarters filled in green; 4 a blue check mark.
#include <cairomm/context.h>

namespace vorlane::framework {

constexpr int LoadStateImageCount = 5;
constexpr int LoadStateImageSize = 16;

// Draws image Index (0..4) with its top-left corner at (X, Y); other indices draw nothing.
void DrawLoadStateImage(const Cairo::RefPtr<Cairo::Context>& Cr, double X, double Y, int Index);

}  // namespace vorlane::framework
