// The numbers typed into the preferences prompts: accepted values keep their
// promises (a speed above 0, a count within its bounds).
#include <cstdlib>

#include "fuzz_text.h"
#include "ui/number_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text = FuzzText(data, size);
    float speed = 0.0f;
    if (ParseSpeed(text.c_str(), &speed) && !(speed > 0.0f)) abort();
    int count = 0;
    if (ParseIntInRange(text.c_str(), &count, 1, 9999) && (count < 1 || count > 9999)) abort();
    return 0;
}
