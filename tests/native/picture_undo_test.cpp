// The undo list's storage: packing, spilling to temporary files, and exact
// restores of everything a picture carries.
#include <gtest/gtest.h>

#include <random>

#include "picture/RunPacking.h"
#include "picture/UndoList.h"
#include "platform/VellomarError.h"
#include "PictureSamples.h"

namespace vellomar {
namespace {

using testing::SamplePicture;
using testing::TSampleKind;

std::vector<uint8_t> RoundTrip(const std::vector<uint8_t>& data) {
    const std::vector<uint8_t> packed = PackRuns(data.data(), data.size());
    std::vector<uint8_t> back(data.size(), 0xAB);
    UnpackRuns(packed.data(), packed.size(), back.data(), back.size());
    return back;
}

TEST(RunPacking, RoundTripsRunsPatternsNoiseAndOddLengths) {
    std::mt19937 random(3);
    for (size_t size : {size_t(0), size_t(1), size_t(7), size_t(23), size_t(24), size_t(25), size_t(1000),
                        size_t(100003)}) {
        std::vector<uint8_t> noise(size), runs(size), rgb(size);
        for (size_t i = 0; i < size; ++i) {
            noise[i] = uint8_t(random());
            runs[i] = i % 5000 < 4000 ? 0xFF : uint8_t(random());
            rgb[i] = uint8_t(i % 3 == 0 ? 235 : i % 3 == 1 ? 242 : 255);
        }
        EXPECT_EQ(RoundTrip(noise), noise) << size;
        EXPECT_EQ(RoundTrip(runs), runs) << size;
        EXPECT_EQ(RoundTrip(rgb), rgb) << size;
    }
}

TEST(RunPacking, UniformColourPacksToAFewBytes) {
    std::vector<uint8_t> rgb(3 * 100000);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t(i % 3 == 0 ? 235 : i % 3 == 1 ? 242 : 255);
    EXPECT_LT(PackRuns(rgb.data(), rgb.size()).size(), 64u);
}

TEST(RunPacking, DamagedDataRaisesInsteadOfOverrunning) {
    std::vector<uint8_t> data(5000, 7);
    std::vector<uint8_t> packed = PackRuns(data.data(), data.size());
    std::vector<uint8_t> out(data.size());
    EXPECT_THROW(UnpackRuns(packed.data(), packed.size() - 1, out.data(), out.size()), EVellomarError);
    EXPECT_THROW(UnpackRuns(packed.data(), packed.size(), out.data(), out.size() - 10), EVellomarError);
    packed[0] ^= 0x40;  // a literal length far beyond the data
    EXPECT_THROW(UnpackRuns(packed.data(), packed.size(), out.data(), out.size()), EVellomarError);
}

TEST(UndoList, RestoresEveryKindOfPictureExactly) {
    for (TSampleKind kind : {TSampleKind::Bw1, TSampleKind::Gray8, TSampleKind::Palette8,
                             TSampleKind::Rgb24, TSampleKind::Rgb24Alpha}) {
        TBitmap picture = SamplePicture(kind, 37, 11);
        picture.IOParams() = TIOParams{2, 4};
        TUndoList list;
        ASSERT_TRUE(list.Push(picture, "step"));
        const TBitmap back = list.Newest();
        EXPECT_EQ(back, picture) << testing::SampleKindName(kind);
        EXPECT_EQ(back.Palette(), picture.Palette());
        EXPECT_EQ(back.IOParams(), (TIOParams{2, 4}));
        EXPECT_EQ(back.Stride(), picture.Stride());
    }
}

TEST(UndoList, LargeSnapshotsGoToTemporaryFilesAndComeBackExactly) {
    // 1 MB of noise cannot be packed, so it is spilled.
    TBitmap noise = SamplePicture(TSampleKind::Rgb24Alpha, 700, 500);
    TBitmap page(2000, 1000, TPixelFormat::Rgb24);
    for (auto& byte : page.Pixels()) byte = 0xFF;
    page.SetPixel(1000, 500, TRgb{1, 2, 3});
    // Half runs, half noise: packed blocks, too many for memory.
    TBitmap mixed = SamplePicture(TSampleKind::Gray8, 4000, 2000);
    for (int y = 0; y < mixed.Height(); ++y)
        for (int x = 0; x < 2000; ++x) mixed.Row(y)[x] = 200;
    TUndoList list;
    list.Push(mixed, "mixed");
    EXPECT_LT(list.StoredBytes(), size_t(4000) * 2000 * 6 / 10);
    EXPECT_EQ(list.InMemoryBytes(), 0u);
    EXPECT_EQ(list.Newest(), mixed);
    list.Push(noise, "noise");
    list.Push(page, "page");
    EXPECT_LT(list.InMemoryBytes(), 4096u);
    EXPECT_GT(list.StoredBytes(), size_t(700) * 500 * 4 + size_t(4000) * 2000 / 2);
    EXPECT_EQ(list.Newest(), page);
    list.RemoveNewest();
    EXPECT_EQ(list.Newest(), noise);
    EXPECT_EQ(list.NewestCaption(), "noise");
}

TEST(UndoList, RulesForTinyPicturesLimitsAndCaptions) {
    TUndoList list;
    EXPECT_FALSE(list.Push(SamplePicture(TSampleKind::Gray8, 1, 9), "thin"));
    EXPECT_FALSE(list.Push(SamplePicture(TSampleKind::Gray8, 9, 1), "flat"));
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(list.NewestCaption(), "");
    EXPECT_THROW(list.Newest(), EVellomarError);
    list.SetLimit(2);
    for (const char* caption : {"a", "b", "c"}) list.Push(SamplePicture(TSampleKind::Gray8, 2, 2), caption);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Caption(0), "b");
    EXPECT_EQ(list.NewestCaption(), "c");
    EXPECT_THROW(list.Caption(2), EVellomarError);
    list.SetLimit(0);
    EXPECT_TRUE(list.Empty());
    EXPECT_FALSE(list.Push(SamplePicture(TSampleKind::Gray8, 2, 2), "d"));
}

}  // namespace
}  // namespace vellomar
