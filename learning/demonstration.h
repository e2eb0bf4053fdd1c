// A demonstration: the steps of a plan worked on the rule in front of the
// learner, one part moving smoothly at a time (timed by the clock), each with
// its caption, pausing between steps, ending on the reading.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "learning/plan.h"

// How long one part takes to move, and the pause after it before the next.
constexpr uint32_t DEMONSTRATION_MOVE_MS = 500;
constexpr uint32_t DEMONSTRATION_PAUSE_MS = 1200;

struct Demonstration {
    bool running = false;
    Plan plan;
    size_t step = 0;
    bool moving = false;      // the step's part is on its way; else the pause after it
    uint32_t phaseStart = 0;  // tick count at which the move or pause began
    double from = 0.0;        // where the step's part stood when it set off
    std::string title;        // what is being worked: "3.7*4.2/1.9"
};

extern Demonstration demonstration;

// Starts working the plan's steps from the rule as it stands; the caption
// of the first step shows at once. A plan without steps ends at once on its
// reading.
void StartDemonstration(const Plan& plan, const std::string& title, uint32_t now);
// Moves the part of the step under way and goes on to the next step when
// its time has come; the last step ends on the reading.
void AdvanceDemonstration(uint32_t now);
// Space: the step under way is finished at once and the next one begins.
void StepOnDemonstration(uint32_t now);
// A drag or Escape: everything stays where it is.
void StopDemonstration();

// The message that ends a demonstration: the value read under the hairline
// on the answer scale, where the decimal point goes, the exact value and the
// difference in percent. Empty for a plan without an answer scale.
std::string ReadingMessage(const Plan& plan, const std::string& title);
