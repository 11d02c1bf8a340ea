// Saving and loading an 800 x 600 picture in every format gsave and gload know, in a
// scratch folder: a drawing (a few colours on white) and a photo-like gradient (every
// pixel a different colour), in milliseconds per save or load.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "bench_pictures.h"
#include "imagefile/gfile.h"

namespace {

namespace fs = std::filesystem;

struct Format {
    const char* extension;
    int mode;
};

constexpr Format kFormats[] = {
    {"bmp", imagefile::kBmp24}, {"ppm", imagefile::kPpm}, {"tif", imagefile::kTiff24},
    {"gif", imagefile::kGif},   {"png", imagefile::kPng24}, {"jpg", imagefile::kJpeg},
};

// A folder of its own for the run, removed when the program ends.
struct ScratchDir {
    ScratchDir() : path(fs::temp_directory_path() / ("velmora-image-bench-" + std::to_string(getpid()))) {
        fs::create_directories(path);
    }
    ~ScratchDir() { fs::remove_all(path); }
    fs::path path;
};

std::string scratch_file(const Format& format) {
    static const ScratchDir dir;
    return (dir.path / (std::string("picture.") + format.extension)).string();
}

void label(benchmark::State& state) {
    state.SetLabel(std::string(kFormats[state.range(0)].extension) + (state.range(1) ? " gradient" : " drawing"));
}

void BM_Save(benchmark::State& state) {
    const Format& format = kFormats[state.range(0)];
    const zov::Surface& surface = bench_picture(int(state.range(1)));
    const std::string path = scratch_file(format);
    for (auto _ : state) {
        if (imagefile::save(surface, path, format.mode) != 0) state.SkipWithError("save failed");
    }
    label(state);
}

void BM_Load(benchmark::State& state) {
    const Format& format = kFormats[state.range(0)];
    const std::string path = scratch_file(format);
    if (imagefile::save(bench_picture(int(state.range(1))), path, format.mode) != 0) state.SkipWithError("save failed");
    zov::Surface loaded;
    for (auto _ : state) {
        if (imagefile::load(loaded, path) != 0) state.SkipWithError("load failed");
    }
    label(state);
}

void formats_and_pictures(benchmark::internal::Benchmark* bench) {
    for (int picture = 0; picture < 2; ++picture)
        for (int format = 0; format < int(std::size(kFormats)); ++format) bench->Args({format, picture});
    bench->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_Save)->Apply(formats_and_pictures);
BENCHMARK(BM_Load)->Apply(formats_and_pictures);
