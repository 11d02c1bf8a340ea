// Rendering a surface into DIBs of every depth the writers take, with the choice of
// palette for the indexed ones.
#include "imagefile/render.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace imagefile {
namespace {

Colour colour_of(const uint8_t* pixel) { return {pixel[2], pixel[1], pixel[0]}; }
uint32_t key_of(const uint8_t* pixel) { return uint32_t(pixel[0]) | uint32_t(pixel[1]) << 8 | uint32_t(pixel[2]) << 16; }

void render_24(const zov::Surface& surface, Dib& dib) {
    std::memcpy(dib.pixels.data(), surface.bytes().data(), dib.pixels.size());
}

void render_16(const zov::Surface& surface, Dib& dib) {
    for (int y = 0; y < dib.height; ++y) {
        const uint8_t* source = surface.row(y);
        uint8_t* target = dib.row(y);
        for (int x = 0; x < dib.width; ++x, source += 3) {
            const unsigned word = unsigned(source[2] >> 3) << 10 | unsigned(source[1] >> 3) << 5 | unsigned(source[0] >> 3);
            target[x * 2] = uint8_t(word);
            target[x * 2 + 1] = uint8_t(word >> 8);
        }
    }
}

void render_black_and_white(const zov::Surface& surface, Dib& dib) {
    dib.palette = {Colour{0, 0, 0}, Colour{255, 255, 255}};
    for (int y = 0; y < dib.height; ++y) {
        const uint8_t* source = surface.row(y);
        uint8_t* target = dib.row(y);
        for (int x = 0; x < dib.width; ++x, source += 3) {
            set_index(target, x, 1, gray_of(source[2], source[1], source[0]) >= 128 ? 1 : 0);
        }
    }
}

// Every pixel's exact colour in a palette of at most `limit` entries, in the order of
// first appearance from the top row down; false when the picture has more colours.
bool render_exact(const zov::Surface& surface, Dib& dib, std::size_t limit) {
    std::unordered_map<uint32_t, unsigned> index_of;
    dib.palette.clear();
    uint32_t last_key = 0xFFFFFFFF;
    unsigned last_index = 0;
    for (int y = 0; y < dib.height; ++y) {
        const uint8_t* source = surface.row(y);
        uint8_t* target = dib.row(y);
        for (int x = 0; x < dib.width; ++x, source += 3) {
            const uint32_t key = key_of(source);
            if (key != last_key) {
                const auto [entry, added] = index_of.try_emplace(key, unsigned(dib.palette.size()));
                if (added) {
                    if (dib.palette.size() == limit) return false;
                    dib.palette.push_back(colour_of(source));
                }
                last_key = key;
                last_index = entry->second;
            }
            set_index(target, x, dib.bits, last_index);
        }
    }
    return true;
}

// The 8-bit palette without a colour table: 6 levels of red, 7 of green, 6 of blue
// (252 colours), then black.
int cube_level(int value, int levels) { return (value * (levels - 1) + 127) / 255; }
int cube_value(int level, int levels) { return (level * 255 + (levels - 1) / 2) / (levels - 1); }

void render_cube(const zov::Surface& surface, Dib& dib) {
    dib.palette.assign(256, Colour{});
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 7; ++g)
            for (int b = 0; b < 6; ++b)
                dib.palette[std::size_t((r * 7 + g) * 6 + b)] =
                    Colour{uint8_t(cube_value(r, 6)), uint8_t(cube_value(g, 7)), uint8_t(cube_value(b, 6))};
    for (int y = 0; y < dib.height; ++y) {
        const uint8_t* source = surface.row(y);
        uint8_t* target = dib.row(y);
        for (int x = 0; x < dib.width; ++x, source += 3) {
            target[x] = uint8_t((cube_level(source[2], 6) * 7 + cube_level(source[1], 7)) * 6 + cube_level(source[0], 6));
        }
    }
}

constexpr std::array<Colour, 16> kClassicColours{{
    {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 128}, {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
    {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}, {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
}};

unsigned nearest_classic(const uint8_t* pixel) {
    unsigned best = 0;
    int best_distance = 1 << 30;
    for (unsigned i = 0; i < kClassicColours.size(); ++i) {
        const int dr = pixel[2] - kClassicColours[i].red;
        const int dg = pixel[1] - kClassicColours[i].green;
        const int db = pixel[0] - kClassicColours[i].blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < best_distance) best = i, best_distance = distance;
    }
    return best;
}

// Each pixel the nearest of the classic colours (by the sum of squared differences).
void render_classic(const zov::Surface& surface, Dib& dib) {
    dib.palette.assign(kClassicColours.begin(), kClassicColours.end());
    // An attempt at exact colours may have set bits already.
    std::fill(dib.pixels.begin(), dib.pixels.end(), 0);
    for (int y = 0; y < dib.height; ++y) {
        const uint8_t* source = surface.row(y);
        uint8_t* target = dib.row(y);
        for (int x = 0; x < dib.width; ++x, source += 3) set_index(target, x, 4, nearest_classic(source));
    }
}

// The surface's own colour table: each 15-bit colour maps to the entry whose largest
// difference in the top five bits of red, green and blue is smallest, the earlier
// entry winning a tie.
void render_colour_table(const zov::Surface& surface, Dib& dib) {
    const std::size_t entries = std::min<std::size_t>(surface.colour_table.size(), 256);
    dib.palette.assign(256, Colour{});
    for (std::size_t i = 0; i < entries; ++i) {
        const uint32_t value = surface.colour_table[i];
        dib.palette[i] = Colour{uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16)};
    }
    std::vector<uint8_t> nearest(32 * 32 * 32);
    for (int r = 0; r < 32; ++r)
        for (int g = 0; g < 32; ++g)
            for (int b = 0; b < 32; ++b) {
                int best_distance = 1 << 30;
                uint8_t best = 0;
                for (std::size_t i = 0; i < entries; ++i) {
                    const Colour& c = dib.palette[i];
                    const int distance = std::max({std::abs(r - (c.red >> 3)), std::abs(g - (c.green >> 3)),
                                                   std::abs(b - (c.blue >> 3))});
                    if (distance < best_distance) best = uint8_t(i), best_distance = distance;
                }
                nearest[std::size_t(r << 10 | g << 5 | b)] = best;
            }
    for (int y = 0; y < dib.height; ++y) {
        const uint8_t* source = surface.row(y);
        uint8_t* target = dib.row(y);
        for (int x = 0; x < dib.width; ++x, source += 3) {
            target[x] = nearest[std::size_t((source[2] >> 3) << 10 | (source[1] >> 3) << 5 | source[0] >> 3)];
        }
    }
}

}  // namespace

Dib render(const zov::Surface& surface, int bits) {
    Dib dib;
    dib.width = surface.width();
    dib.height = surface.height();
    dib.bits = bits;
    dib.pixels.assign(dib.stride() * std::size_t(dib.height), 0);
    switch (bits) {
    case 24: render_24(surface, dib); break;
    case 16: render_16(surface, dib); break;
    case 1: render_black_and_white(surface, dib); break;
    case 4:
        if (!render_exact(surface, dib, 16)) render_classic(surface, dib);
        dib.palette.resize(16);
        break;
    default:
        if (!surface.colour_table.empty()) render_colour_table(surface, dib);
        else if (!render_exact(surface, dib, 256)) render_cube(surface, dib);
        dib.palette.resize(256);
        break;
    }
    return dib;
}

}  // namespace imagefile
