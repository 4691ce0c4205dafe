// Codec round trips over awkward sizes, format sniffing, multi-page TIFF,
// and hostile input: truncated, broken and absurd files.
#include <gtest/gtest.h>
#include <tiffio.h>
#include <zlib.h>

#include <cstdlib>
#include <random>

#include "picture/Codecs.h"
#include "picture/PictureView.h"
#include "platform/FileSystem.h"
#include "platform/VellomarError.h"
#include "PictureSamples.h"
#include "TempDir.h"

namespace vellomar {
namespace {

using testing::SamplePicture;
using testing::TSampleKind;

struct TRoundTrip {
    TPictureFormat Format;
    TSampleKind Kind;
    TIOParams Written;
    bool ExactBitmap;  // equal as bitmaps; otherwise equal colours
};

std::string Describe(const TRoundTrip& c) {
    return std::string(FormatName(c.Format)) + " " + testing::SampleKindName(c.Kind);
}

class PictureCodecRoundTrip : public ::testing::TestWithParam<TRoundTrip> {};

TEST_P(PictureCodecRoundTrip, LosslessFormatsGiveEveryPixelBack) {
    const TRoundTrip& c = GetParam();
    for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {7, 1}, {11, 13}, {301, 301}}) {
        const TBitmap start = SamplePicture(c.Kind, w, h, uint32_t(w * 1000 + h));
        TIOParams written;
        const std::vector<uint8_t> bytes = EncodePicture(start, c.Format, written);
        EXPECT_EQ(written, c.Written);
        const TBitmap back = DecodePicture(bytes, c.Format);
        EXPECT_EQ(back.IOParams(), c.Written) << w << " x " << h;
        if (c.ExactBitmap)
            EXPECT_EQ(back, start) << w << " x " << h;
        else
            EXPECT_TRUE(testing::SameColours(back, start)) << w << " x " << h;
        EXPECT_EQ(back.Alpha(), start.Alpha());
    }
}

const TRoundTrip kLossless[] = {
    {TPictureFormat::Png, TSampleKind::Bw1, {1, 1}, true},
    {TPictureFormat::Png, TSampleKind::Gray8, {8, 1}, true},
    {TPictureFormat::Png, TSampleKind::Palette8, {8, 1}, true},
    {TPictureFormat::Png, TSampleKind::Rgb24, {8, 3}, true},
    {TPictureFormat::Png, TSampleKind::Rgb24Alpha, {8, 4}, true},
    {TPictureFormat::Png, TSampleKind::Gray8Alpha, {8, 2}, true},
    {TPictureFormat::Tiff, TSampleKind::Bw1, {1, 1}, true},  // CCITT G4
    {TPictureFormat::Tiff, TSampleKind::Gray8, {8, 1}, true},
    {TPictureFormat::Tiff, TSampleKind::Palette8, {8, 1}, false},  // palette padded to 256
    {TPictureFormat::Tiff, TSampleKind::Rgb24, {8, 3}, true},
    {TPictureFormat::Tiff, TSampleKind::Rgb24Alpha, {8, 4}, true},
    {TPictureFormat::Tiff, TSampleKind::Gray8Alpha, {8, 2}, true},
    {TPictureFormat::Bmp, TSampleKind::Bw1, {1, 1}, true},
    {TPictureFormat::Bmp, TSampleKind::Gray8, {8, 1}, true},
    {TPictureFormat::Bmp, TSampleKind::Palette8, {8, 1}, true},
    {TPictureFormat::Bmp, TSampleKind::Rgb24, {8, 3}, true},
    {TPictureFormat::Bmp, TSampleKind::Rgb24Alpha, {8, 4}, true},
    {TPictureFormat::Jp2, TSampleKind::Gray8, {8, 1}, true},
    {TPictureFormat::Jp2, TSampleKind::Rgb24, {8, 3}, true},
    {TPictureFormat::Jp2, TSampleKind::Rgb24Alpha, {8, 4}, true},
    {TPictureFormat::J2k, TSampleKind::Gray8Alpha, {8, 2}, true},
    {TPictureFormat::J2k, TSampleKind::Rgb24, {8, 3}, true},
};

INSTANTIATE_TEST_SUITE_P(Formats, PictureCodecRoundTrip, ::testing::ValuesIn(kLossless),
                         [](const auto& info) {
                             std::string name = Describe(info.param);
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

// A smooth picture, which JPEG keeps close.
TBitmap Gradient(int w, int h, TPixelFormat format) {
    TBitmap b(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, TRgb{uint8_t(x * 255 / std::max(w - 1, 1)), uint8_t(y * 255 / std::max(h - 1, 1)), 128});
    return b;
}

TEST(PictureCodecJpeg, RoundTripsStayCloseAndReportTheirParameters) {
    for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {7, 1}, {11, 13}, {301, 301}}) {
        for (TPixelFormat format : {TPixelFormat::Rgb24, TPixelFormat::Gray8}) {
            const TBitmap start = Gradient(w, h, format);
            TIOParams written;
            const TBitmap back = DecodePicture(EncodePicture(start, TPictureFormat::Jpeg, written),
                                               TPictureFormat::Jpeg);
            ASSERT_EQ(back.Width(), w);
            ASSERT_EQ(back.Height(), h);
            EXPECT_EQ(back.Format(), format);
            const int samples = format == TPixelFormat::Rgb24 ? 3 : 1;
            EXPECT_EQ(back.IOParams(), (TIOParams{8, samples}));
            EXPECT_EQ(written, (TIOParams{8, samples}));
            int worst = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const TRgb a = start.GetPixel(x, y), b = back.GetPixel(x, y);
                    worst = std::max({worst, std::abs(a.R - b.R), std::abs(a.G - b.G), std::abs(a.B - b.B)});
                }
            EXPECT_LE(worst, 24) << w << " x " << h;
        }
    }
}

TEST(PictureCodecJpeg, OneBitAndPalettePicturesAreWrittenAsGreyAndColour) {
    TIOParams written;
    const TBitmap bw = DecodePicture(EncodePicture(SamplePicture(TSampleKind::Bw1, 16, 16), TPictureFormat::Jpeg, written),
                                     TPictureFormat::Jpeg);
    EXPECT_EQ(bw.Format(), TPixelFormat::Gray8);
    const TBitmap palette = DecodePicture(
        EncodePicture(SamplePicture(TSampleKind::Palette8, 16, 16), TPictureFormat::Jpeg, written), TPictureFormat::Jpeg);
    EXPECT_EQ(palette.Format(), TPixelFormat::Rgb24);
}

TEST(PictureCodecSniff, ContentDecidesWhenTheExtensionIsWrongOrUnknown) {
    const TBitmap start = SamplePicture(TSampleKind::Rgb24, 9, 5);
    TIOParams written;
    const std::vector<uint8_t> png = EncodePicture(start, TPictureFormat::Png, written);
    const std::vector<uint8_t> bmp = EncodePicture(start, TPictureFormat::Bmp, written);
    EXPECT_EQ(SniffFormat(png.data(), png.size()), TPictureFormat::Png);
    EXPECT_EQ(DecodePicture(png, TPictureFormat::Jpeg), start);
    EXPECT_EQ(DecodePicture(bmp, TPictureFormat::Unknown), start);

    testing::TTempDir dir;
    WriteFileAtomically(dir.Path() + "/page.jpg", png);
    WriteFileAtomically(dir.Path() + "/page.dat", bmp);
    TPictureView view;
    view.LoadFromFile(dir.Path() + "/page.jpg");
    EXPECT_EQ(view.Bitmap(), start);
    view.LoadFromFile(dir.Path() + "/page.dat");
    EXPECT_EQ(view.Bitmap(), start);
    view.LoadFromMemory(png);
    EXPECT_EQ(view.Bitmap(), start);
    EXPECT_THROW(DecodePicture(std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}, TPictureFormat::Unknown),
                 EVellomarError);
}

TEST(PictureCodecFiles, SaveAndLoadThroughTheViewByExtension) {
    testing::TTempDir dir;
    const TBitmap start = SamplePicture(TSampleKind::Bw1, 45, 17);
    for (const char* name : {"a.TIF", "b.tiff", "c.png", "d.bmp", "e.jp2", "f.j2k"}) {
        TPictureView view;
        view.AssignBitmap(TBitmap(start));
        const std::string path = dir.Path() + "/" + name;
        view.SaveToFile(path);
        EXPECT_EQ(view.Bitmap().IOParams(), (TIOParams{1, 1})) << name;
        TPictureView other;
        other.LoadFromFile(path);
        EXPECT_EQ(other.Bitmap(), start) << name;
    }
    TPictureView view;
    view.AssignBitmap(TBitmap(start));
    view.SaveToFile(dir.Path() + "/g.jpeg");
    EXPECT_TRUE(SniffFormat(ReadWholeFile(dir.Path() + "/g.jpeg").data(), 3) == TPictureFormat::Jpeg);
    EXPECT_THROW(TPictureView().SaveToFile(dir.Path() + "/empty.png"), EVellomarError);
}

TEST(PictureCodecTiff, AMultiPageFileLoadsItsFirstPage) {
    testing::TTempDir dir;
    const std::string path = dir.Path() + "/pages.tif";
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tif, nullptr);
    for (int page = 0; page < 2; ++page) {
        const uint32_t w = page == 0 ? 5 : 8, h = page == 0 ? 3 : 2;
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, h);
        for (uint32_t y = 0; y < h; ++y) {
            uint8_t row[8];
            for (uint32_t x = 0; x < w; ++x) row[x] = uint8_t(page * 100 + y * 10 + x);
            TIFFWriteScanline(tif, row, y, 0);
        }
        TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    TPictureView view;
    view.LoadFromFile(path);
    ASSERT_EQ(view.PictureWidth(), 5);
    ASSERT_EQ(view.PictureHeight(), 3);
    EXPECT_EQ(view.Bitmap().Format(), TPixelFormat::Gray8);
    EXPECT_EQ(view.Bitmap().Row(2)[4], 24);
}

TEST(PictureCodecJpeg2000, OneBitPagesStayOneBitAndNoiseFallsBackToGrey) {
    TBitmap page(301, 120, TPixelFormat::Bw1);
    for (int y = 0; y < page.Height(); ++y)
        for (int x = 0; x < page.Width(); ++x)
            page.SetPixel(x, y, (y / 6) % 3 == 0 && (x / 4) % 5 != 0 ? TRgb{} : TRgb{255, 255, 255});
    TIOParams written;
    const TBitmap back = DecodePicture(EncodePicture(page, TPictureFormat::Jp2, written), TPictureFormat::Jp2);
    EXPECT_EQ(written, (TIOParams{1, 1}));
    EXPECT_EQ(back, page);

    const TBitmap noise = SamplePicture(TSampleKind::Bw1, 301, 301);
    const TBitmap grey = DecodePicture(EncodePicture(noise, TPictureFormat::Jp2, written), TPictureFormat::Jp2);
    EXPECT_TRUE(testing::SameColours(grey, noise));
}

TEST(PictureCodecTiff, MinIsWhiteOneBitPagesReadWithWhiteAsSetBits) {
    TBitmap page(20, 2, TPixelFormat::Bw1);
    page.SetPixel(3, 1, TRgb{255, 255, 255});
    TIOParams written;
    const std::vector<uint8_t> bytes = EncodePicture(page, TPictureFormat::Tiff, written);
    const TBitmap back = DecodePicture(bytes, TPictureFormat::Tiff);
    EXPECT_EQ(back.GetPixel(3, 1), (TRgb{255, 255, 255}));
    EXPECT_EQ(back.GetPixel(4, 1), (TRgb{0, 0, 0}));

    // Written as the fax standard that scanners use: Group 4, min-is-white.
    testing::TTempDir dir;
    const std::string path = dir.Path() + "/page.tif";
    WriteFileAtomically(path, bytes);
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    ASSERT_NE(tif, nullptr);
    uint16_t compression = 0, photometric = 0;
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFClose(tif);
    EXPECT_EQ(compression, COMPRESSION_CCITTFAX4);
    EXPECT_EQ(photometric, PHOTOMETRIC_MINISWHITE);
}

// --- hostile input ---------------------------------------------------------

struct THostileCase {
    TPictureFormat Format;
    TSampleKind Kind;
};

class PictureCodecHostile : public ::testing::TestWithParam<THostileCase> {};

TEST_P(PictureCodecHostile, TruncatedAndBrokenFilesRaiseAndLeaveTheViewAlone) {
    TIOParams written;
    const std::vector<uint8_t> good =
        EncodePicture(SamplePicture(GetParam().Kind, 64, 48), GetParam().Format, written);
    std::vector<std::vector<uint8_t>> bad;
    for (size_t keep : {good.size() / 2, good.size() * 9 / 10, size_t(12), size_t(40)})
        bad.emplace_back(good.begin(), good.begin() + std::min(keep, good.size() - 1));
    std::mt19937 random(11);
    std::vector<uint8_t> garbage(good.begin(), good.begin() + 4);  // a signature, then noise
    for (int i = 0; i < 3000; ++i) garbage.push_back(uint8_t(random()));
    bad.push_back(garbage);

    TPictureView view;
    const TBitmap shown = SamplePicture(TSampleKind::Rgb24, 5, 4);
    view.AssignBitmap(TBitmap(shown));
    for (size_t i = 0; i < bad.size(); ++i) {
        EXPECT_THROW(view.LoadFromMemory(bad[i]), EVellomarError) << "case " << i;
        EXPECT_EQ(view.Bitmap(), shown);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureCodecHostile,
                         ::testing::Values(THostileCase{TPictureFormat::Jpeg, TSampleKind::Rgb24},
                                           THostileCase{TPictureFormat::Png, TSampleKind::Rgb24Alpha},
                                           THostileCase{TPictureFormat::Tiff, TSampleKind::Bw1},
                                           THostileCase{TPictureFormat::Tiff, TSampleKind::Rgb24},
                                           THostileCase{TPictureFormat::Bmp, TSampleKind::Palette8},
                                           THostileCase{TPictureFormat::Jp2, TSampleKind::Rgb24},
                                           THostileCase{TPictureFormat::J2k, TSampleKind::Gray8}));

void Put32BigEndian(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (24 - 8 * i));
}

TEST(PictureCodecHostile, AbsurdSizesInHeadersRaiseBeforeAllocating) {
    TIOParams written;
    const TBitmap small = SamplePicture(TSampleKind::Rgb24, 8, 8);

    std::vector<uint8_t> png = EncodePicture(small, TPictureFormat::Png, written);
    Put32BigEndian(png, 16, 1000000);  // IHDR width and height, CRC made good again
    Put32BigEndian(png, 20, 1000000);
    Put32BigEndian(png, 29, uint32_t(crc32(crc32(0, nullptr, 0), png.data() + 12, 17)));
    EXPECT_THROW(DecodePicture(png, TPictureFormat::Png), EVellomarError);

    std::vector<uint8_t> jpeg = EncodePicture(small, TPictureFormat::Jpeg, written);
    for (size_t i = 2; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {  // SOF0: height and width
            jpeg[i + 5] = jpeg[i + 7] = 0xFD;
            jpeg[i + 6] = jpeg[i + 8] = 0xE8;
            break;
        }
    EXPECT_THROW(DecodePicture(jpeg, TPictureFormat::Jpeg), EVellomarError);

    std::vector<uint8_t> bmp = EncodePicture(small, TPictureFormat::Bmp, written);
    for (size_t at : {size_t(18), size_t(22)}) {  // width, height: 2^30
        bmp[at] = bmp[at + 1] = bmp[at + 2] = 0;
        bmp[at + 3] = 0x40;
    }
    EXPECT_THROW(DecodePicture(bmp, TPictureFormat::Bmp), EVellomarError);

    // A little-endian TIFF whose one strip claims 200000 × 200000 grey pixels.
    std::vector<uint8_t> tiff = {'I', 'I', 42, 0, 8, 0, 0, 0};
    const uint16_t entries[][2] = {{256, 4}, {257, 4}, {258, 3}, {259, 3}, {262, 3}, {273, 4}, {277, 3}, {278, 4}, {279, 4}};
    const uint32_t values[] = {200000, 200000, 8, 1, 1, 200, 1, 200000, 4000000};
    tiff.push_back(9);
    tiff.push_back(0);
    for (int i = 0; i < 9; ++i) {
        const uint8_t entry[12] = {uint8_t(entries[i][0]), uint8_t(entries[i][0] >> 8), uint8_t(entries[i][1]), 0, 1, 0, 0, 0,
                                   uint8_t(values[i]), uint8_t(values[i] >> 8), uint8_t(values[i] >> 16), uint8_t(values[i] >> 24)};
        tiff.insert(tiff.end(), entry, entry + 12);
    }
    tiff.resize(tiff.size() + 4 + 100, 0);
    EXPECT_THROW(DecodePicture(tiff, TPictureFormat::Tiff), EVellomarError);

    std::vector<uint8_t> j2k = EncodePicture(small, TPictureFormat::J2k, written);
    Put32BigEndian(j2k, 8, 0x7FFFFFFF);  // SIZ: Xsiz and Ysiz
    Put32BigEndian(j2k, 12, 0x7FFFFFFF);
    EXPECT_THROW(DecodePicture(j2k, TPictureFormat::J2k), EVellomarError);
}

}  // namespace
}  // namespace vellomar
