// JPEG files through libjpeg, from and to memory. libjpeg is opened by the first JPEG
// file read or written; where it cannot be, reading and writing fail. Reading gives
// 24-bit colour from gray, YCbCr, RGB, CMYK and YCCK files. A file cut short fails
// rather than loading half gray.
// Writing is baseline YCbCr at the given quality and luminance sampling. Library
// errors long-jump back into the decode and encode functions, whose frames hold
// nothing with a destructor.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include <algorithm>
#include <array>
#include <memory>
#include <new>

#include "base/diagnostics.h"
#include "imagefile/formats.h"
#include "imagefile/jpeg_library.h"
#include "imagefile/limits.h"

namespace imagefile {
namespace {

// A progressive file can hold any number of scans, each costing a pass over the image.
constexpr int kMaxScans = 256;

// Past decode's and encode's check, the library is open.
const JpegLibrary& libjpeg() { return *jpeg_library(); }

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    bool truncated = false;
};

[[noreturn]] void on_error_exit(j_common_ptr info) {
    char message[JMSG_LENGTH_MAX];
    info->err->format_message(info, message);
    ZOV_REPORT(message);
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void on_message(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) reinterpret_cast<ErrorManager*>(info->err)->truncated = true;
}

void on_progress(j_common_ptr info) {
    if (info->is_decompressor && reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) {
        ZOV_REPORT("JPEG のスキャンが多すぎる");
        ERREXIT(info, JERR_NOT_COMPILED);
    }
}

void install(ErrorManager& errors, jpeg_common_struct& info) {
    info.err = libjpeg().jpeg_std_error(&errors.base);
    errors.base.error_exit = on_error_exit;
    errors.base.emit_message = on_message;
}

// Four-channel files hold Adobe's inverted CMYK, as Photoshop writes them (libjpeg has
// already turned YCCK into it): a sample is 255 minus the ink, so red is C x K / 255
// of the stored samples, and so on. ImageMagick reads every such file this way, with
// or without Adobe's marker, and so does this reader.
void cmyk_to_bgr(const uint8_t* cmyk, uint8_t* bgr, std::size_t pixels) {
    const auto times_black = [](unsigned sample, unsigned black) { return uint8_t((sample * black + 127) / 255); };
    for (std::size_t x = 0; x < pixels; ++x, cmyk += 4, bgr += 3) {
        bgr[0] = times_black(cmyk[2], cmyk[3]);
        bgr[1] = times_black(cmyk[1], cmyk[3]);
        bgr[2] = times_black(cmyk[0], cmyk[3]);
    }
}

struct Reading {
    jpeg_decompress_struct info{};
    ErrorManager errors;
    jpeg_progress_mgr progress{};
    std::optional<Dib> dib;
    Bytes four_channel_row;
};

bool decode(Reading& r, ByteSpan file) {
    if (!jpeg_library()) return false;
    install(r.errors, *reinterpret_cast<jpeg_common_struct*>(&r.info));
    if (setjmp(r.errors.jump)) {
        libjpeg().jpeg_destroy_decompress(&r.info);
        return false;
    }
    libjpeg().jpeg_CreateDecompress(&r.info, JPEG_LIB_VERSION, sizeof(jpeg_decompress_struct));
    r.progress.progress_monitor = on_progress;
    r.info.progress = &r.progress;
    libjpeg().jpeg_mem_src(&r.info, file.data(), static_cast<unsigned long>(file.size()));
    libjpeg().jpeg_read_header(&r.info, TRUE);
    const bool four_channels = r.info.jpeg_color_space == JCS_CMYK || r.info.jpeg_color_space == JCS_YCCK;
    r.info.out_color_space = four_channels ? JCS_CMYK : JCS_EXT_BGR;
    if (!picture_size_allowed(r.info.image_width, r.info.image_height)) ERREXIT(&r.info, JERR_IMAGE_TOO_BIG);
    libjpeg().jpeg_start_decompress(&r.info);
    r.dib = Dib::make(r.info.output_width, r.info.output_height, 24);
    if (!r.dib) ERREXIT(&r.info, JERR_OUT_OF_MEMORY);
    if (four_channels) r.four_channel_row.resize(std::size_t(r.info.output_width) * 4);
    while (r.info.output_scanline < r.info.output_height) {
        uint8_t* target = r.dib->row(int(r.info.output_scanline));
        JSAMPROW row = four_channels ? r.four_channel_row.data() : target;
        if (libjpeg().jpeg_read_scanlines(&r.info, &row, 1) != 1) ERREXIT(&r.info, JERR_INPUT_EMPTY);
        if (four_channels) cmyk_to_bgr(row, target, r.info.output_width);
    }
    libjpeg().jpeg_finish_decompress(&r.info);
    libjpeg().jpeg_destroy_decompress(&r.info);
    return !r.errors.truncated;
}

// The compressed data goes into `out` a buffer at a time.
struct Writing;

struct Destination {
    jpeg_destination_mgr base{};
    Writing* writing = nullptr;
};

struct Writing {
    jpeg_compress_struct info{};
    ErrorManager errors;
    Destination destination;
    Bytes* out = nullptr;
    std::array<uint8_t, 1 << 16> buffer;
};

Writing& writing_of(j_compress_ptr info) { return *reinterpret_cast<Destination*>(info->dest)->writing; }

void start_buffer(j_compress_ptr info) {
    Writing& w = writing_of(info);
    w.destination.base.next_output_byte = w.buffer.data();
    w.destination.base.free_in_buffer = w.buffer.size();
}

void store(j_compress_ptr info, std::size_t length) {
    Writing& w = writing_of(info);
    bool stored = true;
    try {
        w.out->insert(w.out->end(), w.buffer.begin(), w.buffer.begin() + std::ptrdiff_t(length));
    } catch (const std::bad_alloc&) {
        stored = false;
    }
    if (!stored) ERREXIT(info, JERR_OUT_OF_MEMORY);
    start_buffer(info);
}

boolean store_full_buffer(j_compress_ptr info) {
    store(info, writing_of(info).buffer.size());
    return TRUE;
}

void store_rest(j_compress_ptr info) { store(info, writing_of(info).buffer.size() - info->dest->free_in_buffer); }

bool encode(Writing& w, const Dib& dib, int quality, int sampling) {
    if (!jpeg_library()) return false;
    install(w.errors, *reinterpret_cast<jpeg_common_struct*>(&w.info));
    if (setjmp(w.errors.jump)) {
        libjpeg().jpeg_destroy_compress(&w.info);
        return false;
    }
    libjpeg().jpeg_CreateCompress(&w.info, JPEG_LIB_VERSION, sizeof(jpeg_compress_struct));
    w.destination.base.init_destination = start_buffer;
    w.destination.base.empty_output_buffer = store_full_buffer;
    w.destination.base.term_destination = store_rest;
    w.destination.writing = &w;
    w.info.dest = &w.destination.base;
    w.info.image_width = JDIMENSION(dib.width);
    w.info.image_height = JDIMENSION(dib.height);
    w.info.input_components = 3;
    w.info.in_color_space = JCS_EXT_BGR;
    libjpeg().jpeg_set_defaults(&w.info);
    libjpeg().jpeg_set_quality(&w.info, std::clamp(quality, 0, 100), TRUE);
    int horizontal = 1, vertical = 1;
    if (sampling == 0x12) vertical = 2;
    if (sampling == 0x21) horizontal = 2;
    if (sampling == 0x22) horizontal = vertical = 2;
    w.info.comp_info[0].h_samp_factor = horizontal;
    w.info.comp_info[0].v_samp_factor = vertical;
    libjpeg().jpeg_start_compress(&w.info, TRUE);
    while (w.info.next_scanline < w.info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(dib.row(int(w.info.next_scanline)));
        libjpeg().jpeg_write_scanlines(&w.info, &row, 1);
    }
    libjpeg().jpeg_finish_compress(&w.info);
    libjpeg().jpeg_destroy_compress(&w.info);
    return true;
}

}  // namespace

bool is_jpeg(ByteSpan head) { return head.size() >= 2 && head[0] == 0xFF && head[1] == 0xD8; }

std::optional<Dib> read_jpeg(ByteSpan file) {
    if (!is_jpeg(file)) return std::nullopt;
    Reading reading;
    if (!decode(reading, file)) {
        ZOV_REPORT("JPEG 読込み失敗");
        return std::nullopt;
    }
    return std::move(reading.dib);
}

bool write_jpeg(const Dib& dib, int quality, int sampling, Bytes& out) {
    if (dib.bits != 24) return false;
    out.clear();
    auto writing = std::make_unique<Writing>();
    writing->out = &out;
    if (!encode(*writing, dib, quality, sampling)) {
        ZOV_REPORT("JPEG 作成失敗");
        return false;
    }
    return true;
}

}  // namespace imagefile
