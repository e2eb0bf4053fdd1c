#include "learning/lessons.h"

#include <cstdio>

#include "learning/calculation.h"
#include "learning/command_line.h"
#include "learning/demonstration.h"
#include "learning/plan.h"
#include "reading/readout.h"

Lessons lessons;
PracticeSession practice;

namespace {

// The scales of both rules as the map describes them (an undescribed rule
// has none).
void BothRules(TextureScales rules[READOUT_RULES]) {
    for (int rule = 0; rule < READOUT_RULES; ++rule) {
        const TextureScales* scales = RuleScales(rule);
        rules[rule] = scales != nullptr ? *scales : TextureScales{};
    }
}

void PoseProblem() {
    TextureScales rules[READOUT_RULES];
    BothRules(rules);
    practice.problem = MakeProblem(&practice.randomState, rules, lessons.ruleInUse);
    practice.checked = false;
    practice.solutionShown = false;
    ++practice.asked;
    if (!practice.problem.plan.possible) {
        ShowMessage("Practice: these rules carry no scales to practise on (P ends practice).");
        return;
    }
    ShowMessage("Problem " + std::to_string(practice.asked) + ": " + practice.problem.text + " - " +
                practice.problem.where + "; Enter checks, S shows how, P ends practice.");
}

}  // namespace

void NoteRuleInUse(int rule) {
    if (rule >= 0 && rule < READOUT_RULES) lessons.ruleInUse = rule;
}

void RunTypedLine(const std::string& line, uint32_t now) {
    Command command;
    std::string error;
    if (!ParseCommand(line, &command, &error)) {
        ShowMessage(error);
        return;
    }
    if (command.kind == CommandKind::Empty) return;
    const int rule = command.rule >= 0 ? command.rule : lessons.ruleInUse;
    if (command.kind == CommandKind::Calculation) {
        TextureScales rules[READOUT_RULES];
        BothRules(rules);
        const RulePosition positions[READOUT_RULES] = {ReadRulePosition(0), ReadRulePosition(1)};
        const Plan plan = PlanCalculation(command, rules, rule, positions);
        if (!plan.possible) {
            ShowMessage(plan.message);
            return;
        }
        NoteRuleInUse(plan.rule);
        StartDemonstration(plan, line, now);
        return;
    }
    const TextureScales* scales = RuleScales(rule);
    if (scales == nullptr) {
        ShowMessage(std::string("The ") + (rule == 0 ? "upper" : "lower") +
                    " rule has no scale map: its scales are not known.");
        return;
    }
    Plan plan;
    plan.possible = true;
    plan.rule = rule;
    PlanStep step;
    if (!PlanSetting(command, *scales, ReadRulePosition(rule).slide, &step, &error)) {
        ShowMessage(error);
        return;
    }
    step.rule = rule;
    plan.steps.push_back(step);
    NoteRuleInUse(rule);
    StartDemonstration(plan, line, now);
}

void TogglePractice(uint32_t seed) {
    if (practice.active) {
        char text[128];
        std::snprintf(text, sizeof text, "Practice ended: %d right of %d checked.", practice.right,
                      practice.asked - (practice.checked ? 0 : 1));
        practice = PracticeSession{};
        ShowMessage(text);
        return;
    }
    practice = PracticeSession{};
    practice.active = true;
    practice.randomState = seed;
    PoseProblem();
}

void CheckOrPoseNext() {
    if (!practice.active) return;
    if (practice.checked || !practice.problem.plan.possible) {
        PoseProblem();
        return;
    }
    const Plan& plan = practice.problem.plan;
    const RuleReadout readout = ReadRule(plan.rule);
    double read = 0.0;
    bool found = false;
    for (const ScaleReading& reading : readout.readings) {
        if (reading.scale == plan.answerScale && reading.onScale) {
            read = reading.value;
            found = true;
        }
    }
    std::string message;
    const bool right = found && CheckAnswer(practice.problem, read, &message);
    if (!found) message = std::string("The hairline is off ") + plan.answerScale->name + ".";
    if (right && practice.solutionShown) message += " (as shown, so not counted)";
    if (right && !practice.solutionShown) ++practice.right;
    practice.checked = true;
    ShowMessage(practice.problem.text + ": " + message + ". Score: " + std::to_string(practice.right) + " of " + std::to_string(practice.asked) +
                ". Enter: the next problem.");
}

void ShowPracticeSolution(uint32_t now) {
    if (!practice.active || !practice.problem.plan.possible) return;
    practice.solutionShown = true;
    StartDemonstration(practice.problem.plan, practice.problem.text, now);
}
