// PNG files through libpng, from and to memory. Reading expands palettes and low-depth
// gray, strips 16-bit samples to 8 and drops alpha (no compositing); writing gives
// 8-bit gray or 8-bit RGB, not interlaced. libpng reports errors by a long jump back
// into the decode and encode functions below, whose frames hold nothing with a
// destructor: what they fill belongs to their callers.
#include <png.h>

#include <cstring>
#include <new>

#include "imagefile/formats.h"
#include "imagefile/limits.h"
#include "zov/diagnostics.h"

namespace imagefile {
namespace {

constexpr std::size_t kSignatureBytes = 8;

[[noreturn]] void on_error(png_structp png, png_const_charp message) {
    ZOV_REPORT(message);
    png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

struct Input {
    ByteSpan file;
    std::size_t position = kSignatureBytes;
};

void read_bytes(png_structp png, png_bytep target, png_size_t length) {
    auto* input = static_cast<Input*>(png_get_io_ptr(png));
    if (length > input->file.size() - input->position) png_error(png, "PNG データ不足");
    std::memcpy(target, input->file.data() + input->position, length);
    input->position += length;
}

struct Reading {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, on_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    Input input;
    std::optional<Dib> dib;
    std::vector<png_bytep> rows;

    explicit Reading(ByteSpan file) : input{file} {}
    ~Reading() { png_destroy_read_struct(&png, &info, nullptr); }
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;
};

bool decode(Reading& r) {
    if (setjmp(png_jmpbuf(r.png))) return false;
    png_set_read_fn(r.png, &r.input, read_bytes);
    png_set_sig_bytes(r.png, int(kSignatureBytes));
    png_read_info(r.png, r.info);
    const png_uint_32 width = png_get_image_width(r.png, r.info);
    const png_uint_32 height = png_get_image_height(r.png, r.info);
    const int colour_type = png_get_color_type(r.png, r.info);
    if (!pixel_count_allowed(width, height)) png_error(r.png, "画像サイズが無効");
    if (colour_type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(r.png);
    if (png_get_bit_depth(r.png, r.info) < 8) png_set_expand(r.png);
    png_set_strip_16(r.png);
    png_set_strip_alpha(r.png);
    if (!(colour_type & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(r.png);
    png_set_bgr(r.png);
    png_set_interlace_handling(r.png);
    png_read_update_info(r.png, r.info);
    if (png_get_rowbytes(r.png, r.info) != std::size_t(width) * 3) png_error(r.png, "PNG 変換失敗");
    r.dib = Dib::make(width, height, 24);
    if (!r.dib) png_error(r.png, "メモリ不足");
    r.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) r.rows[y] = r.dib->row(int(y));
    png_read_image(r.png, r.rows.data());
    png_read_end(r.png, nullptr);
    return true;
}

struct Writing {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, on_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    Bytes* out;
    std::vector<png_bytep> rows;
    Bytes gray;

    explicit Writing(Bytes& target) : out(&target) {}
    ~Writing() { png_destroy_write_struct(&png, &info); }
    Writing(const Writing&) = delete;
    Writing& operator=(const Writing&) = delete;
};

void write_bytes(png_structp png, png_bytep data, png_size_t length) {
    auto* w = static_cast<Writing*>(png_get_io_ptr(png));
    bool stored = true;
    try {
        w->out->insert(w->out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        stored = false;
    }
    if (!stored) png_error(png, "メモリ不足");
}

void flush_bytes(png_structp) {}

bool encode(Writing& w, const Dib& dib, bool gray) {
    if (setjmp(png_jmpbuf(w.png))) return false;
    png_set_write_fn(w.png, &w, write_bytes, flush_bytes);
    png_set_IHDR(w.png, w.info, png_uint_32(dib.width), png_uint_32(dib.height), 8,
                 gray ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(w.png, w.info);
    if (!gray) png_set_bgr(w.png);
    png_write_image(w.png, w.rows.data());
    png_write_end(w.png, nullptr);
    return true;
}

}  // namespace

std::optional<Dib> read_png(ByteSpan file) {
    if (file.size() < kSignatureBytes || png_sig_cmp(file.data(), 0, kSignatureBytes) != 0) return std::nullopt;
    Reading reading(file);
    if (!reading.png || !reading.info) {
        ZOV_REPORT("png_create_read_struct fail");
        return std::nullopt;
    }
    if (!decode(reading)) {
        ZOV_REPORT("PNG 読込み失敗");
        return std::nullopt;
    }
    return std::move(reading.dib);
}

bool write_png(const Dib& dib, bool gray, Bytes& out) {
    if (dib.bits != 24) {
        ZOV_REPORT("カラー以外は仕様外");
        return false;
    }
    out.clear();
    Writing writing(out);
    if (!writing.png || !writing.info) {
        ZOV_REPORT("png_create_write_struct fail");
        return false;
    }
    writing.rows.resize(std::size_t(dib.height));
    if (gray) {
        const std::size_t width = std::size_t(dib.width);
        writing.gray.resize(width * std::size_t(dib.height));
        for (int y = 0; y < dib.height; ++y) {
            const uint8_t* pixel = dib.row(y);
            uint8_t* target = writing.gray.data() + std::size_t(y) * width;
            for (std::size_t x = 0; x < width; ++x, pixel += 3) target[x] = uint8_t(gray_of(pixel[2], pixel[1], pixel[0]));
            writing.rows[std::size_t(y)] = target;
        }
    } else {
        for (int y = 0; y < dib.height; ++y) writing.rows[std::size_t(y)] = const_cast<png_bytep>(dib.row(y));
    }
    if (!encode(writing, dib, gray)) {
        ZOV_REPORT("PNG 作成失敗");
        return false;
    }
    return true;
}

}  // namespace imagefile
