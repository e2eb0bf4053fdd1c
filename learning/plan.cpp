#include "learning/plan.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "learning/plan_moves.h"

namespace {

// What a calculation asks of the rule, whichever rule does it: an operation
// looked up between two scales, a chain of factors on C and D, a power on
// the LL scales; the planner tries them in that order.
struct Work {
    bool looksUp = false;
    Operation operation = Operation::Square;
    double operand = 0.0;
    std::string operandText;
    bool logarithm = false;
    bool chains = false;
    std::vector<Factor> factors;
    bool powers = false;
    double base = 0.0;
    std::string baseText;
    double exponent = 0.0;
    std::string exponentText;
};

const CalcNode& NodeAt(const Command& calculation, int index) {
    return calculation.nodes[static_cast<size_t>(index)];
}

bool HasSum(const Command& calculation, int index) {
    if (index < 0) return false;
    const CalcNode& node = NodeAt(calculation, index);
    return node.kind == NodeKind::Add || node.kind == NodeKind::Subtract || HasSum(calculation, node.left) ||
           HasSum(calculation, node.right);
}

// A value the learner can set directly: a number, pi or e, a negated one, or
// a fraction of two numbers (an exponent such as 1/3).
bool SimpleValue(const Command& calculation, int index, double* value, std::string* text) {
    const CalcNode& node = NodeAt(calculation, index);
    if (node.kind == NodeKind::Number) {
        *value = node.value;
        *text = node.text;
        return true;
    }
    if (node.kind == NodeKind::Negate && SimpleValue(calculation, node.left, value, text)) {
        *value = -*value;
        *text = "-" + *text;
        return true;
    }
    if (node.kind == NodeKind::Divide && NodeAt(calculation, node.left).kind == NodeKind::Number &&
        NodeAt(calculation, node.right).kind == NodeKind::Number && NodeAt(calculation, node.right).value != 0.0) {
        *value = NodeAt(calculation, node.left).value / NodeAt(calculation, node.right).value;
        *text = NodeText(calculation, index);
        return true;
    }
    return false;
}

// Powers small enough to write out as repeated factors.
constexpr int MOST_REPEATED_FACTORS = 4;

bool SmallWholeExponent(double exponent) {
    return exponent == std::round(exponent) && exponent != 0.0 && std::fabs(exponent) <= MOST_REPEATED_FACTORS;
}

bool CollectFactors(const Command& calculation, int index, bool divides, std::vector<Factor>* factors,
                    std::string* why) {
    const CalcNode& node = NodeAt(calculation, index);
    switch (node.kind) {
    case NodeKind::Number:
        if (!(node.value > 0.0)) {
            *why = "the rule's scales hold positive numbers only: work it out without the signs and put the sign "
                   "back by hand";
            return false;
        }
        factors->push_back(Factor{node.value, node.text, divides});
        return true;
    case NodeKind::Multiply:
    case NodeKind::Divide:
        return CollectFactors(calculation, node.left, divides, factors, why) &&
               CollectFactors(calculation, node.right, divides != (node.kind == NodeKind::Divide), factors, why);
    case NodeKind::Power: {
        double exponent = 0.0;
        std::string unused;
        if (SimpleValue(calculation, node.right, &exponent, &unused) && SmallWholeExponent(exponent)) {
            for (int k = 0; k < static_cast<int>(std::fabs(exponent)); ++k) {
                if (!CollectFactors(calculation, node.left, divides != (exponent < 0), factors, why)) return false;
            }
            return true;
        }
        break;
    }
    case NodeKind::Negate:
        *why = "the rule's scales hold positive numbers only: work it out without the signs and put the sign back "
               "by hand";
        return false;
    default: break;
    }
    *why = "the rule works one step at a time: work out " + NodeText(calculation, index) +
           " first and go on with its result";
    return false;
}

bool ClassifyFunction(const Command& calculation, const CalcNode& node, Work* work, std::string* why) {
    double x = 0.0;
    std::string text;
    if (!SimpleValue(calculation, node.left, &x, &text)) {
        *why = std::string("work out what is inside ") + FunctionName(node.function) +
               "( ) first: the rule takes a function of a number it can set";
        return false;
    }
    work->looksUp = true;
    work->operand = x;
    work->operandText = text;
    switch (node.function) {
    case FunctionKind::Sqrt: work->operation = Operation::SquareRoot; break;
    case FunctionKind::Cbrt: work->operation = Operation::CubeRoot; break;
    case FunctionKind::Sin: work->operation = Operation::Sine; break;
    case FunctionKind::Cos: work->operation = Operation::Cosine; break;
    case FunctionKind::Tan: work->operation = Operation::Tangent; break;
    case FunctionKind::Log: work->operation = Operation::Log; break;
    case FunctionKind::Ln: work->operation = Operation::Ln; break;
    case FunctionKind::Exp: work->operation = Operation::Exp; break;
    }
    work->logarithm = node.function == FunctionKind::Log;
    const bool root = node.function == FunctionKind::Sqrt || node.function == FunctionKind::Cbrt;
    if (root || node.function == FunctionKind::Exp) {
        work->powers = true;
        work->base = root ? x : std::exp(1.0);
        work->baseText = root ? text : "e";
        work->exponent = node.function == FunctionKind::Sqrt ? 0.5 : root ? 1.0 / 3.0 : x;
        work->exponentText = node.function == FunctionKind::Sqrt ? "0.5" : root ? "1/3" : text;
    }
    return true;
}

bool ClassifyPower(const Command& calculation, const CalcNode& node, Work* work) {
    double base = 0.0;
    double exponent = 0.0;
    std::string baseText;
    std::string exponentText;
    if (!SimpleValue(calculation, node.left, &base, &baseText) ||
        !SimpleValue(calculation, node.right, &exponent, &exponentText)) {
        return false;
    }
    work->powers = true;
    work->base = base;
    work->baseText = baseText;
    work->exponent = exponent;
    work->exponentText = exponentText;
    work->operand = baseText == "e" ? exponent : base;
    work->operandText = baseText == "e" ? exponentText : baseText;
    work->looksUp = true;
    if (baseText == "e") work->operation = Operation::Exp;
    else if (exponent == 2.0) work->operation = Operation::Square;
    else if (exponent == 3.0) work->operation = Operation::Cube;
    else if (exponent == 0.5) work->operation = Operation::SquareRoot;
    else if (std::fabs(exponent - 1.0 / 3.0) < 1e-12) work->operation = Operation::CubeRoot;
    else if (exponent == -1.0) work->operation = Operation::Reciprocal;
    else work->looksUp = false;
    return true;
}

// What the calculation asks of a rule; false with *why when no rule could do
// it as typed.
bool Classify(const Command& calculation, Work* work, std::string* why) {
    const CalcNode& root = NodeAt(calculation, calculation.root);
    if (root.kind == NodeKind::Function) return ClassifyFunction(calculation, root, work, why);
    if (root.kind == NodeKind::Power && ClassifyPower(calculation, root, work)) {
        work->chains = SmallWholeExponent(work->exponent) && work->baseText != "e" &&
                       CollectFactors(calculation, calculation.root, false, &work->factors, why);
        return true;
    }
    double operand = 0.0;
    std::string text;
    if (root.kind == NodeKind::Divide && NodeAt(calculation, root.left).kind == NodeKind::Number &&
        NodeAt(calculation, root.left).value == 1.0 && SimpleValue(calculation, root.right, &operand, &text)) {
        work->looksUp = true;
        work->operation = Operation::Reciprocal;
        work->operand = operand;
        work->operandText = text;
    }
    if (root.kind == NodeKind::Multiply) {
        const int pi = NodeAt(calculation, root.left).text == "pi" ? root.left
                       : NodeAt(calculation, root.right).text == "pi" ? root.right
                                                                      : -1;
        const int other = pi == root.left ? root.right : root.left;
        if (pi >= 0 && NodeAt(calculation, other).kind == NodeKind::Number) {
            work->looksUp = true;
            work->operation = Operation::PiTimes;
            work->operand = NodeAt(calculation, other).value;
            work->operandText = NodeAt(calculation, other).text;
        }
    }
    work->chains = CollectFactors(calculation, calculation.root, false, &work->factors, why);
    return work->chains;
}

// The ways a calculation is worked, best first: a lookup between two
// scales, a chain on C and D, a power on the LL scales.
constexpr int WAYS = 3;

bool PlanOneWay(int way, const Work& work, double exact, PlanTry* attempt, Plan* plan) {
    switch (way) {
    case 0:
        return work.looksUp && PlanLookups(LookupsFor(work.operation), work.operand, work.operandText, exact,
                                           work.logarithm, attempt, plan);
    case 1: return work.chains && PlanChain(work.factors, exact, attempt, plan);
    default:
        return work.powers &&
               PlanPower(work.base, work.baseText, work.exponent, work.exponentText, exact, attempt, plan);
    }
}

std::string Needs(const Work& work) {
    if (work.looksUp) return NeedsFor(work.operation);
    if (work.chains && work.powers) {
        return "C on the slide and D on the body to multiply it by itself, or the LL scales with C or D on one rule";
    }
    if (work.chains) return "C on the slide and D on the body";
    return "the LL scales with C or D on one rule";
}

bool SameLetters(const char* a, const std::string& b) {
    if (std::strlen(a) != b.size()) return false;
    for (size_t k = 0; k < b.size(); ++k) {
        if (std::toupper(static_cast<unsigned char>(a[k])) != std::toupper(static_cast<unsigned char>(b[k]))) {
            return false;
        }
    }
    return true;
}

const ScaleDefinition* ResolveScale(const TextureScales& rule, const std::string& name, int* strip,
                                    std::string* error) {
    const ScaleDefinition* scale = FindRuleScale(rule, name, strip);
    if (scale != nullptr) return scale;
    const bool known = FindScale(name) != nullptr;
    *error = (known ? "this rule has no " + name + "; it has " : "unknown scale '" + name + "'; this rule has ") +
             RuleScaleNames(rule);
    return nullptr;
}

bool CoversValue(const ScaleDefinition& scale, double value) {
    const double margin = 1e-9 * std::fmax(1.0, std::fabs(scale.high));
    return value >= scale.low - margin && value <= scale.high + margin;
}

// A value set against another: C's and D's ends by their names as indexes.
std::string MarkOn(double value, const ScaleDefinition& scale) {
    const bool indexed = std::strcmp(scale.name, "C") == 0 || std::strcmp(scale.name, "D") == 0;
    if (indexed && (value == 1.0 || value == 10.0)) {
        return std::string(scale.name) + "'s " + (value == 1.0 ? "1 (left index)" : "10 (right index)");
    }
    return ShortNumber(value) + " on " + scale.name;
}

}  // namespace

Plan PlanCalculation(const Command& calculation, const TextureScales rules[2], int preferredRule,
                     const RulePosition* now) {
    Plan plan;
    if (calculation.kind != CommandKind::Calculation || calculation.root < 0) {
        plan.message = "not a calculation";
        return plan;
    }
    const std::string& text = calculation.text;
    plan.exact = EvaluateCalculation(calculation);
    if (HasSum(calculation, calculation.root)) {
        plan.message = text + ": the rule multiplies and divides but does not add or subtract; work out each term "
                              "on the rule and add them by hand";
        return plan;
    }
    if (!std::isfinite(plan.exact)) {
        plan.message = text + " has no value";
        return plan;
    }
    if (plan.exact <= 0.0) {
        plan.message = plan.exact == 0.0 ? text + " is 0, which no scale holds"
                                         : text + " is negative: the rule's scales hold positive numbers only; work "
                                                  "it out without the sign and put the sign back by hand";
        return plan;
    }
    Work work;
    std::string why;
    if (!Classify(calculation, &work, &why)) {
        plan.message = text + ": " + why;
        return plan;
    }
    const int first = preferredRule == 1 ? 1 : 0;
    PlanTry attempts[2];
    bool anyDescribed = false;
    for (int rule = 0; rule < 2; ++rule) {
        attempts[rule].rule = rule;
        attempts[rule].scales = &rules[rule];
        attempts[rule].slideKnown = now != nullptr;
        attempts[rule].slide = now != nullptr ? now[rule].slide : 0.0;
        anyDescribed = anyDescribed || rules[rule].described;
    }
    for (int way = 0; way < WAYS; ++way) {
        for (int k = 0; k < 2; ++k) {
            const int rule = k == 0 ? first : 1 - first;
            if (rules[rule].described && PlanOneWay(way, work, plan.exact, &attempts[rule], &plan)) return plan;
        }
    }
    const std::string offScale = attempts[first].offScale.empty() ? attempts[1 - first].offScale
                                                                   : attempts[first].offScale;
    if (!anyDescribed) plan.message = "neither rule's scales are known: their textures have no scale map";
    else if (!offScale.empty()) plan.message = text + ": " + offScale;
    else plan.message = text + " needs " + Needs(work);
    return plan;
}

bool PlanSetting(const Command& setting, const TextureScales& rule, double currentSlide, PlanStep* step,
                 std::string* error) {
    if (!rule.described) {
        *error = "this rule's scales are not known: its texture has no scale map";
        return false;
    }
    int strip = 0;
    const ScaleDefinition* scale = ResolveScale(rule, setting.scale, &strip, error);
    if (scale == nullptr) return false;
    if (!CoversValue(*scale, setting.value)) {
        *error = OffScaleText(setting.value, *scale);
        return false;
    }
    const bool slides = setting.kind == CommandKind::SlideSetting;
    const std::string where =
        slides ? MarkOn(setting.value, *scale) : ShortNumber(setting.value) + " on " + scale->name;
    if (setting.kind == CommandKind::HairlineSetting) {
        const double hairline = scale->position(setting.value) + (strip == STRIP_SLIDE ? currentSlide : 0.0);
        if (hairline < HAIRLINE_REACH_LOW - 1e-9 || hairline > HAIRLINE_REACH_HIGH + 1e-9) {
            *error = where + " lies beyond the hairline's reach with the slide where it is; move the slide first";
            return false;
        }
        *step = PlanStep{setting.rule, false, hairline, "Set the hairline over " + where, false};
        return true;
    }
    int otherStrip = 0;
    const ScaleDefinition* other = ResolveScale(rule, setting.otherScale, &otherStrip, error);
    if (other == nullptr) return false;
    if (!CoversValue(*other, setting.otherValue)) {
        *error = OffScaleText(setting.otherValue, *other);
        return false;
    }
    if ((strip == STRIP_SLIDE) == (otherStrip == STRIP_SLIDE)) {
        *error = std::string(scale->name) + " and " + other->name + " are both on the " +
                 (strip == STRIP_SLIDE ? "slide" : "body") + "; 'over' sets a slide scale against a body scale";
        return false;
    }
    const std::string otherWhere = MarkOn(setting.otherValue, *other);
    const bool first = strip == STRIP_SLIDE;
    const double slide = first ? other->position(setting.otherValue) - scale->position(setting.value)
                               : scale->position(setting.value) - other->position(setting.otherValue);
    if (std::fabs(slide) > SLIDE_REACH + 1e-9) {
        *error = "setting " + where + " against " + otherWhere + " takes the slide beyond its reach";
        return false;
    }
    *step = PlanStep{setting.rule, true, slide,
                     "Bring " + (first ? where : otherWhere) + " to " + (first ? otherWhere : where), false};
    return true;
}

const ScaleDefinition* FindRuleScale(const TextureScales& rule, const std::string& name, int* strip) {
    const ScaleDefinition* loose = nullptr;
    int looseStrip = 0;
    int looseCount = 0;
    for (int s = 0; s < STRIP_COUNT; ++s) {
        for (const ScaleDefinition* scale : rule.strips[s]) {
            if (name == scale->name) {
                *strip = s;
                return scale;
            }
            if (SameLetters(scale->name, name) && loose != scale) {
                loose = scale;
                looseStrip = s;
                ++looseCount;
            }
        }
    }
    if (looseCount != 1) return nullptr;
    *strip = looseStrip;
    return loose;
}

std::string RuleScaleNames(const TextureScales& rule) {
    std::string names;
    for (const auto& strip : rule.strips) {
        for (const ScaleDefinition* scale : strip) names += std::string(names.empty() ? "" : " ") + scale->name;
    }
    return names;
}

bool ReadPlanScale(const Plan& plan, const RulePosition& position, double* reading) {
    if (plan.answerScale == nullptr) return false;
    const double at = plan.answerStrip == STRIP_SLIDE ? position.hairline - position.slide : position.hairline;
    return ValueAtPosition(*plan.answerScale, at, reading);
}

double PlacedAnswer(const Plan& plan, double reading) {
    return reading * std::pow(10.0, plan.decimalExponent) + plan.characteristic;
}

std::string ShortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}
