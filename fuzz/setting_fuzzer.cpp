// The setting text's reading, on arbitrary bytes: whatever it accepts it
// writes back as a text it reads to the same setting.
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_target.h"
#include "learning/setting.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Setting setting;
    std::string error;
    if (!ParseSettingText(text, &setting, &error)) return 0;
    const std::string written = SettingText(setting);
    Setting again;
    if (!ParseSettingText(written, &again, &error) || SettingText(again) != written) std::abort();
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    const std::string texts[] = {
        "v1_0.5,0_0.5,0_-15,7,23_0.0002_0",
        "v1_0.4419593337287205,0.012432022094726563_0.5429216399994747,-0.004283981323242187_-17.34,5.38,22.322_"
        "0.0008_1",
        "v1_-0.25,1.25_1.25,-1.25_-35,-10,4.5_1e-5_1",
        "v1_0.5,0_0.5,0_-15,7,23_0.0002_",
        "v2_",
    };
    std::vector<std::vector<uint8_t>> seeds;
    for (const std::string& text : texts) seeds.emplace_back(text.begin(), text.end());
    return seeds;
}
