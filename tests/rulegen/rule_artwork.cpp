#include "tests/rulegen/rule_artwork.h"

#include <gtest/gtest.h>

namespace {

struct Drawn {
    bool ok = false;
    RuleDescription description{};
    RuleArtwork artwork[RULE_COUNT]{};
};

Drawn DrawDefault() {
    Drawn drawn;
    std::string error;
    RuleFonts fonts{};
    if (!ReadRuleDescriptionFile(VERNASKEL_DEFAULT_RULES, &drawn.description, &error) ||
        !OpenRuleFonts(&fonts, &error)) {
        ADD_FAILURE() << error;
        return drawn;
    }
    const PanelTable table = BuildInitialPanelTable();
    drawn.ok = true;
    for (int rule = 0; rule < RULE_COUNT && drawn.ok; ++rule) {
        drawn.ok = MapRuleStrips(table, rule, &drawn.artwork[rule], &error) &&
                   DrawRuleTexture(drawn.description.rules[rule], fonts, &drawn.artwork[rule], &error);
    }
    if (!drawn.ok) ADD_FAILURE() << error;
    CloseRuleFonts(&fonts);
    return drawn;
}

const Drawn& TheDrawing() {
    static const Drawn drawn = DrawDefault();
    return drawn;
}

}  // namespace

const RuleArtwork* DefaultArtwork() { return TheDrawing().ok ? TheDrawing().artwork : nullptr; }
const RuleDescription& DefaultDescription() { return TheDrawing().description; }

std::vector<ProbedMark> MarksOf(const RuleDescription& description, const RuleArtwork* artwork, bool everyMark) {
    std::vector<ProbedMark> probes;
    if (artwork == nullptr) return probes;
    for (int rule = 0; rule < RULE_COUNT; ++rule) {
        for (int strip = 0; strip < STRIP_COUNT; ++strip) {
            const StripMap& map = artwork[rule].strips[strip];
            for (const ScaleBand& band : LayOutStrip(map.bottom, map.top, description.rules[rule].strips[strip])) {
                const std::vector<ScaleMark> marks = MakeScaleMarks(*band.scale, INDEX_LENGTH, MIN_MARK_SPACING);
                for (size_t k = 0; k < marks.size(); ++k) {
                    if (everyMark || marks[k].lengthClass == 0 || k % 5 == 0) {
                        probes.push_back(ProbedMark{rule, strip, band, marks[k]});
                    }
                }
            }
        }
    }
    return probes;
}

std::vector<ProbedMark> ProbedMarks() { return MarksOf(DefaultDescription(), DefaultArtwork(), false); }
