// The picture engine on Windows: the cross-built codecs, undo snapshots
// spilled to Win32 temporary files, and pictures saved and loaded through
// wide-character paths.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "picture/Codecs.h"
#include "picture/PictureView.h"
#include "picture/UndoList.h"
#include "platform/FileSystem.h"
#include "platform/TempFile.h"
#include "platform/VellomarError.h"

namespace vellomar {
namespace {

TBitmap Noise(int w, int h, TPixelFormat format) {
    std::mt19937 random(9);
    TBitmap b(w, h, format);
    for (auto& byte : b.Pixels()) byte = uint8_t(random());
    b.ClearPadding();
    return b;
}

TEST(PictureWin, TempFilesReadBackWhatWasWrittenAtAnyOffset) {
    TTempFile file;
    const std::string a = "first block", b = "second";
    file.WriteAt(0, a.data(), a.size());
    file.WriteAt(100000, b.data(), b.size());
    std::string back(b.size(), '?');
    file.ReadAt(100000, &back[0], back.size());
    EXPECT_EQ(back, b);
    char beyond[4];
    EXPECT_THROW(file.ReadAt(200000, beyond, sizeof beyond), EVellomarError);
}

TEST(PictureWin, LargeUndoSnapshotsSpillAndRestoreExactly) {
    TBitmap page = Noise(1200, 900, TPixelFormat::Rgb24);
    page.EnsureAlpha();
    TUndoList list;
    for (int i = 0; i < 5; ++i) list.Push(page, "step");
    // The noise goes to the files; only the packed opaque alpha stays here.
    EXPECT_LT(list.InMemoryBytes(), 1024u);
    EXPECT_GT(list.StoredBytes(), size_t(5) * 1200 * 900 * 3);
    EXPECT_EQ(list.Newest(), page);
}

TEST(PictureWin, EveryFormatRoundTripsWithTheCrossBuiltCodecs) {
    const TBitmap bw = Noise(301, 17, TPixelFormat::Bw1);
    TBitmap rgba = Noise(31, 13, TPixelFormat::Rgb24);
    rgba.EnsureAlpha();
    rgba.Alpha()[5] = 7;
    struct Case { TPictureFormat Format; const TBitmap* Picture; };
    for (const Case& c : {Case{TPictureFormat::Tiff, &bw}, Case{TPictureFormat::Png, &rgba},
                          Case{TPictureFormat::Bmp, &rgba}, Case{TPictureFormat::Jp2, &rgba},
                          Case{TPictureFormat::Png, &bw}}) {
        TIOParams written;
        EXPECT_EQ(DecodePicture(EncodePicture(*c.Picture, c.Format, written), c.Format), *c.Picture)
            << FormatName(c.Format);
    }
    TIOParams written;
    const TBitmap jpeg = DecodePicture(EncodePicture(rgba, TPictureFormat::Jpeg, written), TPictureFormat::Jpeg);
    EXPECT_EQ(jpeg.Width(), 31);
    EXPECT_EQ(jpeg.IOParams(), (TIOParams{8, 3}));
    std::vector<uint8_t> truncated = EncodePicture(rgba, TPictureFormat::Jpeg, written);
    truncated.resize(truncated.size() / 2);
    EXPECT_THROW(DecodePicture(truncated, TPictureFormat::Jpeg), EVellomarError);
}

TEST(PictureWin, PicturesSaveAndLoadUnderNonAsciiPaths) {
    wchar_t folder[MAX_PATH + 1];
    ASSERT_GT(GetTempPathW(MAX_PATH + 1, folder), 0u);
    char utf8[4 * MAX_PATH];
    ASSERT_GT(WideCharToMultiByte(CP_UTF8, 0, folder, -1, utf8, sizeof utf8, nullptr, nullptr), 0);
    const std::string path = std::string(utf8) + "vellomar \xE6\xA0\xB7\xE5\x9B\xBE.tif";  // 样图
    TPictureView view;
    const TBitmap page = Noise(64, 40, TPixelFormat::Bw1);
    view.AssignBitmap(TBitmap(page));
    view.SaveToFile(path);
    TPictureView other;
    other.LoadFromFile(path);
    EXPECT_EQ(other.Bitmap(), page);
    EXPECT_EQ(other.Bitmap().IOParams(), (TIOParams{1, 1}));
    EXPECT_TRUE(RemoveFile(path));
}

}  // namespace
}  // namespace vellomar
