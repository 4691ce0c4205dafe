#include "PictureBenchInputs.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace vellomar::bench {

TBitmap MakeColourDocumentPage(uint32_t seed) {
    std::mt19937 random(seed);
    TBitmap page(kA4Width, kA4Height, TPixelFormat::Rgb24);
    // Paper: near white with faint noise, as a scanner gives it.
    for (int y = 0; y < kA4Height; ++y) {
        uint8_t* row = page.Row(y);
        for (int x = 0; x < kA4Width * 3; x += 3) {
            const int n = int(random() % 5);
            row[x] = uint8_t(246 + n);
            row[x + 1] = uint8_t(244 + n);
            row[x + 2] = uint8_t(238 + n);
        }
    }
    // Text: lines of glyph-sized dark strokes with word gaps.
    for (int line = 0; line < 70; ++line) {
        const int top = 1500 + line * 28;
        if (top + 20 > kA4Height - 200) break;
        int x = 200;
        while (x < kA4Width - 200) {
            const int word = 3 + int(random() % 8);
            for (int g = 0; g < word && x < kA4Width - 200; ++g, x += 14) {
                const int height = 12 + int(random() % 8);
                for (int y = top + 20 - height; y < top + 20; ++y)
                    for (int dx = 0; dx < 3 + int(random() % 6); ++dx) page.SetPixel(x + dx, y, TRgb{30, 28, 35});
            }
            x += 20;
        }
    }
    // A photograph: smooth colour fields with texture.
    for (int y = 250; y < 1350; ++y)
        for (int x = 300; x < 2180; ++x) {
            const double u = x / 180.0, v = y / 140.0;
            const int t = int(random() % 16);
            page.SetPixel(x, y, TRgb{uint8_t(120 + 100 * std::sin(u) + t), uint8_t(110 + 90 * std::cos(v + u / 3) + t),
                                     uint8_t(100 + 80 * std::sin(v * 1.7) + t)});
        }
    return page;
}

TBitmap MakeNoisePage(uint32_t seed) {
    std::mt19937 random(seed);
    TBitmap page(kA4Width, kA4Height, TPixelFormat::Rgb24);
    for (auto& byte : page.Pixels()) byte = uint8_t(random());
    page.ClearPadding();
    return page;
}

namespace {

// Made on first use and removed with its files when the program ends.
struct TBenchFolder {
    std::string Path;
    TBenchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vellomar-picture-bench-XXXXXX").string();
        const char* made = ::mkdtemp(pattern.data());
        Path = made ? made : std::filesystem::temp_directory_path().string();
    }
    ~TBenchFolder() {
        std::error_code ignored;
        if (Path.find("vellomar-picture-bench-") != std::string::npos) std::filesystem::remove_all(Path, ignored);
    }
};

}  // namespace

const std::string& PictureBenchFolder() {
    static const TBenchFolder folder;
    return folder.Path;
}

}  // namespace vellomar::bench
