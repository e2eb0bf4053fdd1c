// Reading a rule from a 12-megapixel photograph (vernaskel-rulegen --photo):
// a seeded synthetic photograph of the default upper rule, 4000 x 3000,
// read from its JPEG file with its outline found, then with its corners
// given. Seconds per photograph.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "tests/rulegen/synthetic_photo.h"
#include "tools/rulegen/photo_rule.h"
#include "tools/rulegen/rule_description.h"

namespace {

struct Photograph {
    bool ok = false;
    std::string path;
    Outline outline;
    RuleArtwork strips{};
};

const Photograph& TwelveMegapixels() {
    static const Photograph photograph = [] {
        Photograph p;
        RuleDescription description{};
        RuleFonts fonts{};
        std::string error;
        RuleArtwork rule{};
        if (!ReadRuleDescriptionFile(VERNASKEL_DEFAULT_RULES, &description, &error) || !OpenRuleFonts(&fonts, &error)) {
            return p;
        }
        const PanelTable table = BuildInitialPanelTable();
        const bool drawn = MapRuleStrips(table, 0, &rule, &error) && DrawRuleTexture(description.rules[0], fonts, &rule, &error) &&
                           MapRuleStrips(table, 0, &p.strips, &error);
        CloseRuleFonts(&fonts);
        if (!drawn) return p;
        SyntheticPhotoOptions options;
        options.seed = 7;
        options.width = 4000;
        options.height = 3000;
        const SyntheticPhoto photo = MakeSyntheticPhoto(rule, options);
        p.path = "/tmp/vernaskel_photo_bench.jpg";
        p.outline = photo.outline;
        p.ok = WriteJpegPhoto(p.path, photo.rgb, photo.jpegQuality, 1, &error);
        return p;
    }();
    return photograph;
}

void ReadPhotograph(benchmark::State& state, bool corners) {
    const Photograph& photograph = TwelveMegapixels();
    if (!photograph.ok) {
        state.SkipWithError("the photograph could not be made");
        return;
    }
    PhotoRequest request;
    request.path = photograph.path;
    request.hasCorners = corners;
    request.corners = photograph.outline;
    for (auto _ : state) {
        const PhotoResult result = ReadRulePhoto(request, photograph.strips);
        if (!result.ok) {
            state.SkipWithError(result.failure.c_str());
            return;
        }
        benchmark::DoNotOptimize(result.artwork.picture.rgb.data());
    }
}

void BM_RuleFromPhotoFound(benchmark::State& state) { ReadPhotograph(state, false); }
void BM_RuleFromPhotoWithCorners(benchmark::State& state) { ReadPhotograph(state, true); }
BENCHMARK(BM_RuleFromPhotoFound)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_RuleFromPhotoWithCorners)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

}  // namespace
