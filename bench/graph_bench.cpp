// Graphs on headless windows: a first graph3d "c2c" evaluates every sample point, the
// same graph turned through 35 more angles takes its values from the cache, and a
// graph2d curve across a 1920-pixel-wide window evaluates one point per column.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "interp/run_loop.h"
#include "interp/vmbas.h"

namespace {

void run_direct(C_VMBAS& vm, const char* text) {
    vm.direct_line.set_text(text);
    vm.current_line = &vm.direct_line;
    run_program(vm);
}

void open_window(C_VMBAS& vm, const char* gopen) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    run_direct(vm, gopen);
}

void BM_Graph3dC2cFirstDraw(benchmark::State& state) {
    C_VMBAS vm;
    open_window(vm, "gopen 1,800,600");
    for (auto _ : state) {
        run_direct(vm, "def fnf(c)=sin(c)*exp(c/3)");  // a new definition: nothing cached
        run_direct(vm, "graph3d \"c2c\",fnf");
    }
}

// One iteration: the 35 redraws after a first one, at 10-degree steps.
void BM_Graph3dC2cRotations(benchmark::State& state) {
    C_VMBAS vm;
    open_window(vm, "gopen 1,800,600");
    run_direct(vm, "def fnf(c)=sin(c)*exp(c/3)");
    run_direct(vm, "graph3d \"c2c\",fnf");
    char command[80];
    for (auto _ : state) {
        for (int step = 1; step < 36; ++step) {
            std::snprintf(command, sizeof command, "graph3d hroll %d*3.141592653589793/18", step);
            run_direct(vm, command);
            run_direct(vm, "graph3d \"c2c\",fnf");
        }
    }
}

void BM_Graph2dCurve1920(benchmark::State& state) {
    C_VMBAS vm;
    open_window(vm, "gopen 1,1920,1080");
    run_direct(vm, "def fnf(x)=sin(5*x)*exp(-x*x/4)+x/4");
    for (auto _ : state) run_direct(vm, "graph2d \"x2y\",fnf");
}

}  // namespace

BENCHMARK(BM_Graph3dC2cFirstDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Graph3dC2cRotations)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Graph2dCurve1920)->Unit(benchmark::kMillisecond);
