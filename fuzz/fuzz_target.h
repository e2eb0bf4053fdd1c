// One fuzz target: each fuzz/<name>_fuzzer.cpp defines libFuzzer's entry
//   extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// and the inputs its corpus starts from. The build makes <name>_fuzzer of it;
// scripts/fuzz.sh runs it.
#pragma once

#include <cstdint>
#include <vector>

std::vector<std::vector<uint8_t>> FuzzSeeds();

// Forgets what the program recorded during one input (message boxes), so
// that long runs do not grow.
void ForgetFuzzInputEffects();
