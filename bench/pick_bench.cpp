// Cost of one pick over the start scene: a point that every panel's box
// rejects, against one that reaches the angle sum of the last panel.
#include <benchmark/benchmark.h>

#include "interaction/picking.h"
#include "scene/panels.h"
#include "tests/support/program.h"

namespace {

void BM_PickRejectedByEveryBox(benchmark::State& state) {
    PlaceStartScene();
    // Left of both rules, between them.
    for (auto _ : state) benchmark::DoNotOptimize(FindPanelAt(10.0f, 240.0f));
}
BENCHMARK(BM_PickRejectedByEveryBox);

void BM_PickLastPanel(benchmark::State& state) {
    PlaceStartScene();
    if (FindPanelAt(100.0f, 370.0f) != PANEL_LOWER_BODY_B) {
        state.SkipWithError("the point is not on the second lower strip");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(FindPanelAt(100.0f, 370.0f));
}
BENCHMARK(BM_PickLastPanel);

}  // namespace
