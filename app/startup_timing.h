// A timing line for whoever measures start-up (scripts/cold-start.sh).
#pragma once

// Environment variable that asks for the line: set it to 1.
constexpr const char* STARTUP_TIMING_VARIABLE = "VERNASKEL_TIMING";

// When the variable asks for it, writes one line on standard error: the wall
// clock now (Unix time in seconds), the milliseconds since the program's own
// code began and, where the system says, the processor time that the whole
// process has used. Call it once the first scene frame has been presented.
void ReportFirstFrameTiming();
