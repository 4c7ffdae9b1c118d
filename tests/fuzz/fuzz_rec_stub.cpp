// The .rec codec and, on every image it accepts, the player source generator:
// neither may read past the bytes it was given, whatever the count field says.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "compile/player_stub.h"
#include "macro/rec_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FILE* sink = fopen("/dev/null", "w");
    // A copy of exactly the given bytes, so that any read past them is caught.
    unsigned char* image = static_cast<unsigned char*>(malloc(size ? size : 1));
    if (!image) return 0;
    if (size) memcpy(image, data, size);
    int32_t count = DecodeRecImage(image, size, kMaxStubEvents, nullptr);
    if (count && sink) WritePlayerStubText(sink, image, (int32_t)(kRecHeaderSize + RecRecordBytes(count)));
    DecodeRecImage(image, size, kMaxRecEvents, nullptr);
    free(image);
    return 0;
}
