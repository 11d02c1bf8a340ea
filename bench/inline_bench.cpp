// Showing an 800 x 600 picture in the terminal in each inline protocol, on a terminal
// of 80 columns of 10 x 20 pixels (so at its own size): the bytes made, without the
// terminal's own drawing, in milliseconds per picture, the CPU time of all threads.
// The goal is under 50 ms.
#include <benchmark/benchmark.h>

#include "bench_pictures.h"
#include "io/inline_picture.h"

namespace {

constexpr InlineProtocol kProtocols[] = {InlineProtocol::Kitty, InlineProtocol::Iterm, InlineProtocol::Sixel,
                                         InlineProtocol::Blocks};
constexpr const char* kNames[] = {"kitty", "iterm", "sixel", "blocks"};

void BM_InlinePicture(benchmark::State& state) {
    const zov::Surface& picture = bench_picture(int(state.range(1)));
    const TerminalCells cells{80, 10, 20};
    size_t bytes = 0;
    for (auto _ : state) {
        bytes = inline_picture(picture, kProtocols[state.range(0)], cells).size();
        if (bytes == 0) state.SkipWithError("no picture made");
    }
    state.SetLabel(std::string(kNames[state.range(0)]) + (state.range(1) ? " gradient " : " drawing ") +
                   std::to_string(bytes / 1024) + " KiB");
}

void protocols_and_pictures(benchmark::internal::Benchmark* bench) {
    for (int picture = 0; picture < 2; ++picture)
        for (int protocol = 0; protocol < int(std::size(kProtocols)); ++protocol) bench->Args({protocol, picture});
    // libchafa works on threads of its own: they count too.
    bench->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_InlinePicture)->Apply(protocols_and_pictures);
