#pragma once
// Paints the picture view model (imgEn_view) as it is shown: the background
// colour, and the picture at its zoom and scroll offsets, sampled to the
// nearest picture pixel for every screen pixel so that a paint costs the
// size of the view, not of the picture.
#include <windows.h>

#include "picture/PictureView.h"

namespace vellomar {

// Paints the view's width × height area into 'dc' with its top-left corner
// at (left, top).
void PaintPictureView(HDC dc, int left, int top, const TPictureView& view);

// Paints the view scaled into 'bounds' of a DC that is no window of ours
// (printing, a container's snapshot): the view as it is shown, stretched.
void DrawPictureViewInto(HDC dc, const RECT& bounds, const TPictureView& view);

}  // namespace vellomar
