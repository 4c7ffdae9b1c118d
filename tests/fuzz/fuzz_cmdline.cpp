// The command-line scan: whatever the line, the copy stays inside its buffer
// and a path it accepts ends in ".rec".
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "app/cmdline.h"
#include "fuzz_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string line = FuzzText(data, size);
    char* out = static_cast<char*>(malloc(kPathBufferSize));  // exactly the documented size
    if (!out) return 0;
    if (ScanRecPathArgument(line.c_str(), out)) {
        size_t length = strlen(out);
        if (length < 4 || length >= (size_t)kPathBufferSize || strcasecmp(out + length - 4, ".rec") != 0) abort();
    }
    free(out);
    return 0;
}
