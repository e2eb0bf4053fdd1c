// Which scale each operation sets its value on and which it reads the answer
// on. Pairs on one strip come first (PlanLookups prefers those that need no
// closing of the slide); a pair whose scales do not hold the answer for a
// value is passed over, since every reading is checked against the
// calculation.
#include "learning/plan_moves.h"

namespace {

std::vector<Lookup> Pairs(std::initializer_list<const char*> inputs, std::initializer_list<const char*> answers,
                          double shift) {
    std::vector<Lookup> lookups;
    for (const char* input : inputs) {
        for (const char* answer : answers) lookups.push_back(Lookup{input, answer, shift});
    }
    return lookups;
}

std::vector<Lookup> Joined(std::vector<Lookup> a, const std::vector<Lookup>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Angles: no shifting (sin 300 is not sin 30); cosines and large tangents
// through the complementary angle.
std::vector<Lookup> Angles(const char* scale, double offset, double factor, const char* why) {
    std::vector<Lookup> lookups;
    for (const char* input : {scale, "ST"}) {
        for (const char* answer : {"C", "D"}) lookups.push_back(Lookup{input, answer, 1.0, factor, offset, why});
    }
    return lookups;
}

// e^x on the LL scale that holds it: LLn holds e^(x * 10^(n-3)) over D's x,
// the reciprocal LL0n e^(-x * 10^(n-3)).
std::vector<Lookup> Exponentials() {
    struct Rung {
        const char* scale;
        double factor;
        const char* why;
    };
    const Rung rungs[] = {
        {"LL3", 1.0, ""},
        {"LL2", 10.0, "LL2 holds e^(x/10) over x on D"},
        {"LL1", 100.0, "LL1 holds e^(x/100) over x on D"},
        {"LL0", 1000.0, "LL0 holds e^(x/1000) over x on D"},
        {"LL00", 10000.0, "LL00 holds e^(x/10000) over x on D"},
        {"LL03", -1.0, "LL03 holds e^-x over x on D"},
        {"LL02", -10.0, "LL02 holds e^(-x/10) over x on D"},
        {"LL01", -100.0, "LL01 holds e^(-x/100) over x on D"},
    };
    std::vector<Lookup> lookups;
    for (const char* input : {"D", "C"}) {
        for (const Rung& rung : rungs) lookups.push_back(Lookup{input, rung.scale, 1.0, rung.factor, 0.0, rung.why});
    }
    return lookups;
}

}  // namespace

std::vector<Lookup> LookupsFor(Operation operation) {
    switch (operation) {
    case Operation::Square: return Joined(Pairs({"D", "C"}, {"A", "B"}, 10.0), Pairs({"W1", "W2"}, {"D"}, 10.0));
    case Operation::Cube: return Pairs({"D", "C"}, {"K"}, 10.0);
    case Operation::SquareRoot:
        return Joined(Pairs({"A", "B"}, {"D", "C"}, 100.0),
                      {Lookup{"D", "W1", 100.0},
                       Lookup{"D", "W2", 100.0, 0.1, 0.0, "W2 holds the square root of ten times D"}});
    case Operation::CubeRoot: return Pairs({"K"}, {"D", "C"}, 1000.0);
    case Operation::Reciprocal:
        return Joined(Joined(Pairs({"C", "D"}, {"CI", "DI"}, 10.0), Pairs({"CI", "DI"}, {"C", "D"}, 10.0)),
                      Joined(Pairs({"CF", "DF"}, {"CIF"}, 10.0), Pairs({"CIF"}, {"CF", "DF"}, 10.0)));
    case Operation::Sine: return Angles("S", 0.0, 1.0, "");
    case Operation::Cosine: return Angles("S", 90.0, -1.0, "cos x = sin(90 - x)");
    case Operation::Tangent:
        return Joined(Angles("T", 0.0, 1.0, ""),
                      {Lookup{"T", "CI", 1.0, -1.0, 90.0, "tan x = 1/tan(90 - x)"},
                       Lookup{"T", "DI", 1.0, -1.0, 90.0, "tan x = 1/tan(90 - x)"}});
    case Operation::Log: return Pairs({"D", "C"}, {"L"}, 10.0);
    case Operation::Ln: return Pairs({"LL3", "LL2", "LL1", "LL0", "LL00"}, {"D", "C"}, 1.0);
    case Operation::Exp: return Exponentials();
    case Operation::PiTimes: return Pairs({"D", "C"}, {"DF", "CF"}, 10.0);
    }
    return {};
}

const char* NeedsFor(Operation operation) {
    switch (operation) {
    case Operation::Square:
        return "A and D (or B and C) on one rule, or C on the slide and D on the body to multiply it by itself";
    case Operation::Cube: return "K and D on one rule, or C on the slide and D on the body to multiply it by itself";
    case Operation::SquareRoot: return "A and D (or B and C) on one rule, or the LL scales with C or D";
    case Operation::CubeRoot: return "K and D on one rule, or the LL scales with C or D";
    case Operation::Reciprocal: return "CI or DI with C or D on one rule, or C on the slide and D on the body";
    case Operation::Sine:
    case Operation::Cosine: return "S (ST for small angles) with C or D on one rule";
    case Operation::Tangent: return "T (ST for small angles) with C or D on one rule";
    case Operation::Log: return "L with D or C on one rule";
    case Operation::Ln:
    case Operation::Exp: return "the LL scales with D on one rule";
    case Operation::PiTimes: return "C on the slide and D on the body";
    }
    return "";
}
