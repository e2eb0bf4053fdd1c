// Shared by every fuzz target: writing the seed corpus on request.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_target.h"
#include "platform/headless/headless.h"

// With VERNASKEL_FUZZ_SEEDS=DIR in the environment, the target writes its
// seeds into DIR and exits instead of fuzzing.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* directory = std::getenv("VERNASKEL_FUZZ_SEEDS");
    if (directory == nullptr || *directory == '\0') return 0;
    mkdir(directory, 0755);
    const std::vector<std::vector<uint8_t>> seeds = FuzzSeeds();
    for (size_t i = 0; i < seeds.size(); ++i) {
        const std::string path = std::string(directory) + "/seed-" + std::to_string(i);
        FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr) {
            std::perror(path.c_str());
            std::exit(1);
        }
        std::fwrite(seeds[i].data(), 1, seeds[i].size(), file);
        std::fclose(file);
    }
    std::printf("%zu seeds written to %s\n", seeds.size(), directory);
    std::exit(0);
}

void ForgetFuzzInputEffects() { HeadlessReset(); }
