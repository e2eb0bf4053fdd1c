#include "tests/rulegen/rule_artwork.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

std::vector<ProbedMark> ProbedMarks() {
    std::vector<ProbedMark> probes;
    const RuleArtwork* artwork = DefaultArtwork();
    if (artwork == nullptr) return probes;
    for (int rule = 0; rule < RULE_COUNT; ++rule) {
        for (int strip = 0; strip < STRIP_COUNT; ++strip) {
            const StripMap& map = artwork[rule].strips[strip];
            for (const ScaleBand& band : LayOutStrip(map.bottom, map.top, DefaultDescription().rules[rule].strips[strip])) {
                const std::vector<ScaleMark> marks = MakeScaleMarks(*band.scale, INDEX_LENGTH, MIN_MARK_SPACING);
                for (size_t k = 0; k < marks.size(); ++k) {
                    if (marks[k].lengthClass == 0 || k % 5 == 0) probes.push_back(ProbedMark{rule, strip, band, marks[k]});
                }
            }
        }
    }
    return probes;
}

double Darkness(const uint8_t* rgb) {
    const double body = 0.299 * BODY_COLOUR.r + 0.587 * BODY_COLOUR.g + 0.114 * BODY_COLOUR.b;
    return std::max(0.0, body - (0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2]));
}

double MarkCentreInRow(const uint8_t* row, int width, int stride, double expected) {
    const int near = static_cast<int>(std::floor(expected));
    int peak = -1;
    double darkest = 0.0;
    for (int x = near - 2; x <= near + 2; ++x) {
        if (x < 0 || x >= width) continue;
        const double d = Darkness(row + static_cast<size_t>(x) * stride);
        if (d > darkest) {
            darkest = d;
            peak = x;
        }
    }
    if (peak < 0 || darkest < 20.0) return std::numeric_limits<double>::quiet_NaN();
    double weighted = 0.0;
    double total = 0.0;
    for (int x = std::max(peak - 1, 0); x <= std::min(peak + 1, width - 1); ++x) {
        const double d = Darkness(row + static_cast<size_t>(x) * stride);
        weighted += (x + 0.5) * d;
        total += d;
    }
    return weighted / total;
}

double ProbeY(const ScaleBand& band, const ScaleMark& mark) {
    return band.baseY + band.direction * 0.6 * MarkLength(band, mark.lengthClass);
}
