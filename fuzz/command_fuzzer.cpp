// A typed line, on arbitrary bytes: parsed, and where it is a calculation,
// evaluated and planned on the default rules' scales; where it is a
// setting, planned on the upper rule. Nothing may crash, hang or recurse
// without bound, and every plan's steps stay within reach.
#include <cmath>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_target.h"
#include "learning/calculation.h"
#include "learning/plan.h"
#include "reading/scale_map.h"

namespace {

const TextureScales* DefaultRules() {
    static TextureScales rules[2];
    static bool made = false;
    if (!made) {
        ScaleMap map;
        int line = 0;
        std::string problem;
        if (!ParseScaleMap("texture 0\nupper K A\nslide B CI C\nlower D L\n"
                           "texture 1\nupper LL2 LL3\nslide S T C\nlower D LL1\n",
                           &map, &line, &problem)) {
            std::abort();
        }
        rules[0] = map.textures[0];
        rules[1] = map.textures[1];
        made = true;
    }
    return rules;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    Command command;
    std::string error;
    if (!ParseCommand(line, &command, &error)) return 0;
    if (command.kind == CommandKind::Calculation) {
        EvaluateCalculation(command);
        const Plan plan = PlanCalculation(command, DefaultRules(), 0);
        for (const PlanStep& step : plan.steps) {
            const bool inReach = step.movesSlide ? std::fabs(step.target) <= SLIDE_REACH + 1e-9
                                                 : step.target >= HAIRLINE_REACH_LOW - 1e-9 &&
                                                       step.target <= HAIRLINE_REACH_HIGH + 1e-9;
            if (!std::isfinite(step.target) || !inReach) std::abort();
        }
    } else if (command.kind != CommandKind::Empty) {
        PlanStep step;
        PlanSetting(command, DefaultRules()[0], 0.0, &step, &error);
    }
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    const std::string lines[] = {"3.7*4.2/1.9", "C 10 over D 4", "upper D 2.5", "lower LL3 5", "sqrt(50)",
                                 "8^(1/3)",     "pi*2.5^2",      "1.05^12",     "sin(30)",    "((2))*-3",
                                 "log(2)+1",    "e^0.5",         "1/7",         "CI 4",       "2e3/7"};
    std::vector<std::vector<uint8_t>> seeds;
    for (const std::string& line : lines) seeds.emplace_back(line.begin(), line.end());
    return seeds;
}
