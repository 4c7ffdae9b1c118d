// The .rec codec on byte images: the count field's byte order and limits, and
// images cut short or carrying extra bytes.
#include "macro/rec_codec.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<unsigned char> Image(uint32_t countField, size_t recordBytes) {
    std::vector<unsigned char> image(kRecHeaderSize + recordBytes, 0xAB);
    for (size_t i = 0; i < kRecHeaderSize; ++i) image[i] = (unsigned char)(countField >> (8 * i));
    return image;
}

TEST(RecCodec, AcceptsWholeImagesWithinTheCallersLimitOnly) {
    const struct {
        const char* name;
        std::vector<unsigned char> image;
        int32_t limit;
        int32_t expected;
    } cases[] = {
        {"one record", Image(1, 20), kMaxRecEvents, 1},
        {"little-endian count", Image(0x00000102, 0x102 * 20), kMaxRecEvents, 0x102},
        {"extra bytes after the records", Image(2, 45), kMaxRecEvents, 2},
        {"one byte short", Image(2, 39), kMaxRecEvents, 0},
        {"no records", Image(3, 0), kMaxRecEvents, 0},
        {"zero count", Image(0, 20), kMaxRecEvents, 0},
        {"negative count", Image(0xFFFFFFFF, 20), kMaxRecEvents, 0},
        {"header cut short", std::vector<unsigned char>{1, 0, 0}, kMaxRecEvents, 0},
        {"over the load limit", Image(kMaxRecEvents + 1, 0), kMaxRecEvents, 0},
        {"a limit past the int32 image is clamped", Image(kMaxStubEvents + 1, 0), INT32_MAX, 0},
    };
    for (const auto& c : cases) {
        const unsigned char* records = nullptr;
        EXPECT_EQ(c.expected, DecodeRecImage(c.image.data(), c.image.size(), c.limit, &records)) << c.name;
        if (c.expected) {
            EXPECT_EQ(c.image.data() + kRecHeaderSize, records) << c.name;
        }
    }
    EXPECT_EQ(kMaxRecEvents, DecodeRecHeader(Image(kMaxRecEvents, 0).data(), kRecHeaderSize, kMaxRecEvents));
    EXPECT_EQ(kMaxStubEvents, DecodeRecHeader(Image(kMaxStubEvents, 0).data(), kRecHeaderSize, kMaxStubEvents));
    EXPECT_EQ(0, DecodeRecImage(nullptr, 24, kMaxRecEvents, nullptr));
}

TEST(RecCodec, HeaderRoundTripsInFileByteOrder) {
    unsigned char header[kRecHeaderSize];
    EncodeRecHeader(0x01020304, header);
    EXPECT_EQ(0x04, header[0]);
    EXPECT_EQ(0x01, header[3]);
    EXPECT_EQ(0x01020304, DecodeRecHeader(header, sizeof header, kMaxStubEvents));
}

}  // namespace
