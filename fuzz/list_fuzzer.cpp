// The texture list's reading of its count and words, on arbitrary text.
#include <cstdio>
#include <string>

#include "fuzz/fuzz_target.h"
#include "images/texture_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;  // fmemopen refuses an empty buffer
    FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (file == nullptr) return 0;
    TextureList list;
    const ListReadResult result = ReadTextureList(file, &list);
    std::fclose(file);
    char message[256 + LIST_WORD_SIZE];
    DescribeListProblem(result, "data/ts", message, sizeof message);
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    const std::string lists[] = {
        "2\nupper t m data/upper.tga\nlower t m data/lower.tga\n",
        "3 a j n data\\a.jpg b B M data\\b.bmp c x y data/c.tga",
        "-1\n",
        "+21\t" + std::string(30, 'w') + " T N p",
        "2\nruleA t m data/w.tga\nruleB t",
    };
    std::vector<std::vector<uint8_t>> seeds;
    for (const std::string& list : lists) seeds.emplace_back(list.begin(), list.end());
    return seeds;
}
