#pragma once
// Generated scans of a printed A4 page for the deskew benchmarks: paragraphs
// of text lines made of letter-like glyphs (stems, bowls, ascenders,
// descenders), on slightly noisy paper, turned by a known angle and
// optionally lying inside a dark scanner border.
#include <cstdint>
#include <string>

#include "picture/Bitmap.h"

namespace vellomar::bench {

struct TScanPage {
    int Width = 2480;   // A4 at 300 dpi
    int Height = 3508;
    // The page is turned counter-clockwise by this angle, so its lines climb
    // to the right for a positive tilt; the turn that straightens it is
    // minus the tilt.
    double TiltDegrees = 0;
    // Width of the dark band of scanner lid around the paper, turned with
    // the page (so it shows as wedges); 0 for none.
    int Border = 0;
    // Rgb24 or Bw1 (black ink, white paper, black border).
    TPixelFormat Format = TPixelFormat::Rgb24;
    uint32_t Seed = 1;
};

TBitmap GenerateScanPage(const TScanPage& layout);

// For example "rgb24/tilt+1.30/border60".
std::string DescribeScanPage(const TScanPage& layout);

}  // namespace vellomar::bench
