// The format readers and writers behind load and save. Readers take a whole file's
// bytes and give a bitmap, or none for anything they cannot read; writers put a whole
// file into `out` and return false when the bitmap is not one they write. Each format's
// signature test tells from a file's first bytes (kHeadBytes of file_io.h are enough)
// whether it may be one of that format; its reader refuses every file that fails it.
#pragma once
#include <optional>

#include "imagefile/dib.h"

namespace imagefile {

bool is_bmp(ByteSpan head);
bool is_pnm(ByteSpan head);
bool is_ico(ByteSpan head);
bool is_tiff(ByteSpan head);
bool is_gif(ByteSpan head);
bool is_png(ByteSpan head);
bool is_jpeg(ByteSpan head);

std::optional<Dib> read_bmp(ByteSpan file);
std::optional<Dib> read_pnm(ByteSpan file);
std::optional<Dib> read_ico(ByteSpan file);
std::optional<Dib> read_tiff(ByteSpan file);
// `index` counts the images of the file from 0.
std::optional<Dib> read_gif(ByteSpan file, int index = 0);
std::optional<Dib> read_png(ByteSpan file);
std::optional<Dib> read_jpeg(ByteSpan file);

// Any depth of 1, 4, 8, 16 or 24 bits.
bool write_bmp(const Dib& dib, Bytes& out);
// 24 bits in; `format` is 4 (PBM), 5 (PGM) or 6 (PPM).
bool write_pnm(const Dib& dib, int format, Bytes& out);
// 1, 8 or 24 bits.
bool write_tiff(const Dib& dib, Bytes& out);
// 8 bits with a 256-entry palette.
bool write_gif(const Dib& dib, Bytes& out);
// 24 bits in; written as 8-bit gray or as 8-bit RGB.
bool write_png(const Dib& dib, bool gray, Bytes& out);
// 24 bits in; quality 0-100, sampling as 16 x horizontal + vertical factor of luminance.
bool write_jpeg(const Dib& dib, int quality, int sampling, Bytes& out);

}  // namespace imagefile
