// The settings file's value texts: any text read back from a hand-edited file
// parses to some value, and a float survives its own text form.
#include <cmath>
#include <cstdlib>

#include "fuzz_text.h"
#include "settings/settings_values.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text = FuzzText(data, size);
    ParseSettingInt(text.c_str(), 7);
    float value = ParseSettingFloat(text.c_str());
    char form[kFloatTextSize];
    FormatSettingFloat(form, value);
    if (std::isfinite(value) && std::fabs(value) < 1000.0f) {
        // Written with two decimals, read back within a hundredth.
        if (std::fabs(ParseSettingFloat(form) - value) > 0.0051f) abort();
    }
    return 0;
}
