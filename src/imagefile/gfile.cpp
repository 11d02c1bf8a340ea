// load and save: the readers chosen by the file name's extension (or each reader in
// turn for an unknown one), the file read only once its first bytes show one of their
// formats; the writer and depth chosen by the save mode word.
#include "imagefile/gfile.h"

#include <algorithm>
#include <cctype>
#include <new>
#include <optional>
#include <string_view>
#include <utility>

#include "base/diagnostics.h"
#include "imagefile/file_io.h"
#include "imagefile/formats.h"
#include "imagefile/render.h"

namespace imagefile {
namespace {

struct Format {
    bool (*recognises)(ByteSpan head);
    std::optional<Dib> (*read)(ByteSpan file);
};

// JPEG files are saved at quality 90 with luminance sampled 1 x 1 (16 x 1 + 1), so
// colour keeps its full resolution.
constexpr int kJpegQuality = 90;
constexpr int kJpegSampling = 0x11;

std::optional<Dib> read_first_gif(ByteSpan file) { return read_gif(file, 0); }

constexpr Format kBmpFile{is_bmp, read_bmp};
constexpr Format kPnmFile{is_pnm, read_pnm};
constexpr Format kIcoFile{is_ico, read_ico};
constexpr Format kTiffFile{is_tiff, read_tiff};
constexpr Format kGifFile{is_gif, read_first_gif};
constexpr Format kPngFile{is_png, read_png};
constexpr Format kJpegFile{is_jpeg, read_jpeg};

// The text after the last ".", or the whole name when it has none, in capitals.
std::string extension_of(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    std::string extension = dot == std::string::npos ? path : path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return extension;
}

std::vector<Format> formats_for(std::string_view extension) {
    if (extension == "BMP") return {kBmpFile};
    if (extension == "PBM" || extension == "PGM" || extension == "PPM") return {kPnmFile};
    if (extension == "ICO") return {kIcoFile, kBmpFile};
    if (extension == "TIF" || extension == "TIFF") return {kTiffFile};
    if (extension == "GIF") return {kGifFile};
    if (extension == "JPG" || extension == "JPEG") return {kJpegFile};
    if (extension == "PNG") return {kPngFile};
    return {kBmpFile, kPngFile, kPnmFile, kIcoFile, kTiffFile, kGifFile, kJpegFile};
}

// The file is read only when its first bytes may begin a file of one of the formats.
std::optional<Dib> decode(const std::string& path) {
    const std::vector<Format> formats = formats_for(extension_of(path));
    const auto file = read_file(path, [&](ByteSpan head) {
        return std::any_of(formats.begin(), formats.end(), [&](const Format& format) { return format.recognises(head); });
    });
    if (!file) return std::nullopt;
    for (const Format& format : formats) {
        if (auto dib = format.read(*file)) return dib;
    }
    return std::nullopt;
}

struct Encoding {
    int bits;
    bool (*write)(const Dib&, Bytes&);
    // Only these open the file for appending when the mode asks for it.
    bool can_append = false;
};

std::optional<Encoding> encoding_for(int format) {
    switch (format) {
    case kBmp1: case kBmp4: case kBmp8: case kBmp16: case kBmp24: return Encoding{format, write_bmp};
    case kJpeg:
        return Encoding{24, [](const Dib& dib, Bytes& out) { return write_jpeg(dib, kJpegQuality, kJpegSampling, out); }, true};
    case kPbm: return Encoding{24, [](const Dib& dib, Bytes& out) { return write_pnm(dib, 4, out); }};
    case kPgm: return Encoding{24, [](const Dib& dib, Bytes& out) { return write_pnm(dib, 5, out); }};
    case kPpm: return Encoding{24, [](const Dib& dib, Bytes& out) { return write_pnm(dib, 6, out); }};
    case kGif: return Encoding{8, write_gif};
    case kTiff1: return Encoding{1, write_tiff};
    case kTiff8: return Encoding{8, write_tiff};
    case kTiff24: return Encoding{24, write_tiff};
    case kPng8: return Encoding{24, [](const Dib& dib, Bytes& out) { return write_png(dib, true, out); }, true};
    case kPng24: return Encoding{24, [](const Dib& dib, Bytes& out) { return write_png(dib, false, out); }, true};
    default: return std::nullopt;
    }
}

}  // namespace

int load(zov::Surface& surface, const std::string& path) {
    try {
        auto dib = decode(path);
        if (!dib) return -1;
        auto table = std::move(surface.colour_table);
        surface = to_surface(std::move(*dib));
        surface.colour_table = std::move(table);
        return 0;
    } catch (const std::bad_alloc&) {
        ZOV_REPORT("メモリ不足");
        return -1;
    }
}

int save(const zov::Surface& surface, const std::string& path, int mode) {
    if (path.empty()) {
        ZOV_REPORT("fname == NULL");
        return -1;
    }
    const auto encoding = encoding_for(mode & 0xFFF);
    if (!encoding) {
        ZOV_REPORT("mod が無効");
        return -1;
    }
    if (surface.empty()) {
        ZOV_REPORT("画像サイズが無効");
        return -1;
    }
    try {
        Bytes bytes;
        if (!encoding->write(render(surface, encoding->bits), bytes)) return -1;
        const bool append = encoding->can_append && (mode & kAppend) != 0;
        if (!write_file(path, bytes, append)) return -1;
        return 0;
    } catch (const std::bad_alloc&) {
        ZOV_REPORT("メモリ不足");
        return -1;
    }
}

}  // namespace imagefile
