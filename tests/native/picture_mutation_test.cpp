// Decoders against damaged files: every byte-level mutation of a valid file
// either decodes or raises EVellomarError; none may crash or leak (the
// sanitizer build checks that). VELLOMAR_MUTATION_ROUNDS sets a longer run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "picture/Codecs.h"
#include "platform/VellomarError.h"
#include "PictureSamples.h"

namespace vellomar {
namespace {

using testing::SamplePicture;
using testing::TSampleKind;

struct TMutationCase {
    TPictureFormat Format;
    TSampleKind Kind;
};

class PictureCodecMutation : public ::testing::TestWithParam<TMutationCase> {};

TEST_P(PictureCodecMutation, DamagedFilesDecodeOrRaise) {
    TIOParams written;
    const std::vector<uint8_t> good = EncodePicture(SamplePicture(GetParam().Kind, 23, 17), GetParam().Format, written);
    const int rounds = std::getenv("VELLOMAR_MUTATION_ROUNDS") ? std::atoi(std::getenv("VELLOMAR_MUTATION_ROUNDS")) : 150;
    std::mt19937 random(5);
    int raised = 0;
    for (int round = 0; round < rounds; ++round) {
        std::vector<uint8_t> bytes = good;
        const int edits = 1 + int(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % bytes.size();
            switch (random() % 3) {
            case 0: bytes[at] ^= uint8_t(1u << (random() % 8)); break;
            case 1: bytes[at] = uint8_t(random()); break;
            default: bytes[at] = (random() & 1) ? 0xFF : 0x00; break;
            }
        }
        if (random() % 4 == 0) bytes.resize(1 + random() % bytes.size());
        try {
            const TBitmap picture = DecodePicture(bytes, GetParam().Format);
            EXPECT_FALSE(picture.IsEmpty());
        } catch (const EVellomarError&) {
            ++raised;
        } catch (const std::exception& e) {
            ADD_FAILURE() << "round " << round << " raised a foreign error: " << e.what();
        }
    }
    // The decoder notices damage at all.
    EXPECT_GT(raised, 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureCodecMutation,
                         ::testing::Values(TMutationCase{TPictureFormat::Jpeg, TSampleKind::Rgb24},
                                           TMutationCase{TPictureFormat::Png, TSampleKind::Palette8},
                                           TMutationCase{TPictureFormat::Png, TSampleKind::Rgb24Alpha},
                                           TMutationCase{TPictureFormat::Tiff, TSampleKind::Bw1},
                                           TMutationCase{TPictureFormat::Tiff, TSampleKind::Palette8},
                                           TMutationCase{TPictureFormat::Tiff, TSampleKind::Rgb24Alpha},
                                           TMutationCase{TPictureFormat::Bmp, TSampleKind::Bw1},
                                           TMutationCase{TPictureFormat::Bmp, TSampleKind::Rgb24Alpha},
                                           TMutationCase{TPictureFormat::Jp2, TSampleKind::Rgb24},
                                           TMutationCase{TPictureFormat::J2k, TSampleKind::Gray8Alpha}));

}  // namespace
}  // namespace vellomar
