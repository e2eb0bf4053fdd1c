#include "learning/demonstration.h"

#include <cstdio>

#include "interaction/dragging.h"
#include "learning/command_line.h"
#include "reading/readout.h"

Demonstration demonstration;

namespace {

double PartPosition(const PlanStep& step) {
    const RulePosition position = ReadRulePosition(step.rule);
    return step.movesSlide ? position.slide : position.hairline;
}

// Brings the step's part to a position, within the rule's ends. A step that
// only reads moves nothing.
void MovePartTo(const PlanStep& step, double position) {
    if (step.reads) return;
    if (step.movesSlide) {
        MovePanelAlongRule(RuleSlidePanel(step.rule), SlideShiftFor(step.rule, position));
    } else {
        MovePanelAlongRule(RuleCursorPanel(step.rule), HairlineShiftFor(step.rule, position));
    }
}

// Eases in and out: slow to start and to stop, as a hand moves a slide.
double Eased(double t) { return t * t * (3.0 - 2.0 * t); }

void BeginStep(uint32_t now) {
    const PlanStep& step = demonstration.plan.steps[demonstration.step];
    demonstration.moving = true;
    demonstration.phaseStart = now;
    demonstration.from = PartPosition(step);
    ShowMessage(step.caption);
}

void Finish() {
    demonstration.running = false;
    const std::string reading = ReadingMessage(demonstration.plan, demonstration.title);
    if (!reading.empty()) ShowMessage(reading);
}

// The step under way is done: its part where the plan puts it, then the
// pause, or the end after the last step.
void EndMove(uint32_t now) {
    MovePartTo(demonstration.plan.steps[demonstration.step], demonstration.plan.steps[demonstration.step].target);
    demonstration.moving = false;
    demonstration.phaseStart = now;
    if (demonstration.step + 1 >= demonstration.plan.steps.size()) Finish();
}

}  // namespace

void StartDemonstration(const Plan& plan, const std::string& title, uint32_t now) {
    demonstration = Demonstration{};
    demonstration.plan = plan;
    demonstration.title = title;
    demonstration.running = true;
    if (plan.steps.empty()) {
        Finish();
        return;
    }
    BeginStep(now);
}

void AdvanceDemonstration(uint32_t now) {
    if (!demonstration.running) return;
    const uint32_t elapsed = now - demonstration.phaseStart;
    if (demonstration.moving) {
        if (elapsed >= DEMONSTRATION_MOVE_MS) {
            EndMove(now);
            return;
        }
        const PlanStep& step = demonstration.plan.steps[demonstration.step];
        const double t = Eased(static_cast<double>(elapsed) / DEMONSTRATION_MOVE_MS);
        MovePartTo(step, demonstration.from + (step.target - demonstration.from) * t);
        return;
    }
    if (elapsed >= DEMONSTRATION_PAUSE_MS) {
        ++demonstration.step;
        BeginStep(now);
    }
}

void StepOnDemonstration(uint32_t now) {
    if (!demonstration.running) return;
    if (demonstration.moving) EndMove(now);
    if (!demonstration.running) return;
    ++demonstration.step;
    BeginStep(now);
}

void StopDemonstration() { demonstration.running = false; }

std::string ReadingMessage(const Plan& plan, const std::string& title) {
    if (plan.answerScale == nullptr) return {};
    const RuleReadout readout = ReadRule(plan.rule);
    const ScaleReading* reading = nullptr;
    for (const ScaleReading& candidate : readout.readings) {
        if (candidate.scale == plan.answerScale) reading = &candidate;
    }
    char text[256];
    if (reading == nullptr || !reading->onScale) {
        std::snprintf(text, sizeof text, "%s: the hairline is off %s; the exact value is %.6g", title.c_str(),
                      plan.answerScale->name, plan.exact);
        return text;
    }
    const double value = PlacedAnswer(plan, reading->value);
    const double off = plan.exact != 0.0 ? 100.0 * (value - plan.exact) / plan.exact : 0.0;
    std::snprintf(text, sizeof text, "%s reads %s under the hairline: %s = %s (exact %.6g, %+.2f %%)",
                  plan.answerScale->name, FormatReading(reading->value).c_str(), title.c_str(),
                  FormatReading(value).c_str(), plan.exact, off);
    return text;
}
