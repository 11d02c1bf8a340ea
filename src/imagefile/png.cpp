// PNG files through libpng, from and to memory. libpng is opened by the first PNG
// file read or written; where it cannot be, reading and writing fail. Reading expands
// palettes and low-depth gray, strips 16-bit samples to 8 and drops alpha (no
// compositing); writing gives 8-bit gray or 8-bit RGB, not interlaced. libpng reports
// errors by a long jump back into the decode and encode functions below, whose frames
// hold nothing with a destructor: what they fill belongs to their callers.
#include <cstring>
#include <new>

#include "base/diagnostics.h"
#include "imagefile/formats.h"
#include "imagefile/limits.h"
#include "imagefile/png_library.h"

namespace imagefile {
namespace {

constexpr std::size_t kSignatureBytes = 8;

// Past read_png's and write_png's check, the library is open.
const PngLibrary& libpng() { return *png_library(); }

// What png_jmpbuf(png) expands to, through the table.
jmp_buf& jump_buffer(png_structp png) { return *libpng().png_set_longjmp_fn(png, longjmp, sizeof(jmp_buf)); }

// Not [[noreturn]]: png_longjmp never returns, but the table's pointer to it does not say so.
void on_error(png_structp png, png_const_charp message) {
    ZOV_REPORT(message);
    libpng().png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

struct Input {
    ByteSpan file;
    std::size_t position = kSignatureBytes;
};

void read_bytes(png_structp png, png_bytep target, png_size_t length) {
    auto* input = static_cast<Input*>(libpng().png_get_io_ptr(png));
    if (length > input->file.size() - input->position) libpng().png_error(png, "PNG データ不足");
    std::memcpy(target, input->file.data() + input->position, length);
    input->position += length;
}

struct Reading {
    png_structp png = libpng().png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, on_warning);
    png_infop info = png ? libpng().png_create_info_struct(png) : nullptr;
    Input input;
    std::optional<Dib> dib;
    std::vector<png_bytep> rows;

    explicit Reading(ByteSpan file) : input{file} {}
    ~Reading() { libpng().png_destroy_read_struct(&png, &info, nullptr); }
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;
};

bool decode(Reading& r) {
    if (setjmp(jump_buffer(r.png))) return false;
    libpng().png_set_read_fn(r.png, &r.input, read_bytes);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // Checksums would stop nearly every changed file before the parts worth fuzzing.
    libpng().png_set_crc_action(r.png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
    libpng().png_set_sig_bytes(r.png, int(kSignatureBytes));
    libpng().png_read_info(r.png, r.info);
    const png_uint_32 width = libpng().png_get_image_width(r.png, r.info);
    const png_uint_32 height = libpng().png_get_image_height(r.png, r.info);
    const int colour_type = libpng().png_get_color_type(r.png, r.info);
    if (!picture_size_allowed(width, height)) libpng().png_error(r.png, "画像サイズが無効");
    if (colour_type == PNG_COLOR_TYPE_PALETTE) libpng().png_set_palette_to_rgb(r.png);
    if (libpng().png_get_bit_depth(r.png, r.info) < 8) libpng().png_set_expand(r.png);
    libpng().png_set_strip_16(r.png);
    libpng().png_set_strip_alpha(r.png);
    if (!(colour_type & PNG_COLOR_MASK_COLOR)) libpng().png_set_gray_to_rgb(r.png);
    libpng().png_set_bgr(r.png);
    libpng().png_set_interlace_handling(r.png);
    libpng().png_read_update_info(r.png, r.info);
    if (libpng().png_get_rowbytes(r.png, r.info) != std::size_t(width) * 3)
        libpng().png_error(r.png, "PNG 変換失敗");
    r.dib = Dib::make(width, height, 24);
    if (!r.dib) libpng().png_error(r.png, "メモリ不足");
    r.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) r.rows[y] = r.dib->row(int(y));
    libpng().png_read_image(r.png, r.rows.data());
    libpng().png_read_end(r.png, nullptr);
    return true;
}

struct Writing {
    png_structp png = libpng().png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, on_warning);
    png_infop info = png ? libpng().png_create_info_struct(png) : nullptr;
    Bytes* out;
    std::vector<png_bytep> rows;
    Bytes gray;

    explicit Writing(Bytes& target) : out(&target) {}
    ~Writing() { libpng().png_destroy_write_struct(&png, &info); }
    Writing(const Writing&) = delete;
    Writing& operator=(const Writing&) = delete;
};

void write_bytes(png_structp png, png_bytep data, png_size_t length) {
    auto* w = static_cast<Writing*>(libpng().png_get_io_ptr(png));
    bool stored = true;
    try {
        w->out->insert(w->out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        stored = false;
    }
    if (!stored) libpng().png_error(png, "メモリ不足");
}

void flush_bytes(png_structp) {}

bool encode(Writing& w, const Dib& dib, bool gray) {
    if (setjmp(jump_buffer(w.png))) return false;
    libpng().png_set_write_fn(w.png, &w, write_bytes, flush_bytes);
    libpng().png_set_IHDR(w.png, w.info, png_uint_32(dib.width), png_uint_32(dib.height), 8,
                          gray ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                          PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    libpng().png_write_info(w.png, w.info);
    if (!gray) libpng().png_set_bgr(w.png);
    libpng().png_write_image(w.png, w.rows.data());
    libpng().png_write_end(w.png, nullptr);
    return true;
}

}  // namespace

bool is_png(ByteSpan head) {
    static constexpr uint8_t kSignature[kSignatureBytes] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return head.size() >= kSignatureBytes && std::memcmp(head.data(), kSignature, kSignatureBytes) == 0;
}

std::optional<Dib> read_png(ByteSpan file) {
    if (!is_png(file)) return std::nullopt;
    if (!png_library()) {
        ZOV_REPORT("PNG 読込み失敗");
        return std::nullopt;
    }
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
    if (!png_library()) {
        ZOV_REPORT("PNG 作成失敗");
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
