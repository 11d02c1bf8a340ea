// Saving and loading an 800 x 600 picture in every format gsave and gload know, in a
// scratch folder: a drawing (a few colours on white) and a photo-like gradient (every
// pixel a different colour), in milliseconds per save or load.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>

#include <unistd.h>

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

zov::Surface drawing() {
    zov::Surface surface(800, 600);
    const uint32_t colours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x000000, 0x00FFFF, 0x808080};
    for (int k = 0; k < 60; ++k) {
        const double cx = 400 + 300 * std::cos(k * 0.7), cy = 300 + 220 * std::sin(k * 1.3), r = 20 + k;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                if (std::abs(std::hypot(x - cx, y - cy) - r) < 1.5) surface.set_pixel(x, y, colours[k % 6]);
    }
    return surface;
}

zov::Surface gradient() {
    zov::Surface surface(800, 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) surface.set_pixel(x, y, zov::rgb(x * 255 / 799, y * 255 / 599, (x + y) % 256));
    return surface;
}

const zov::Surface& picture(int which) {
    static const zov::Surface pictures[] = {drawing(), gradient()};
    return pictures[which];
}

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
    const zov::Surface& surface = picture(int(state.range(1)));
    const std::string path = scratch_file(format);
    for (auto _ : state) {
        if (imagefile::save(surface, path, format.mode) != 0) state.SkipWithError("save failed");
    }
    label(state);
}

void BM_Load(benchmark::State& state) {
    const Format& format = kFormats[state.range(0)];
    const std::string path = scratch_file(format);
    if (imagefile::save(picture(int(state.range(1))), path, format.mode) != 0) state.SkipWithError("save failed");
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
