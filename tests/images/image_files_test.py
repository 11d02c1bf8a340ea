#!/usr/bin/env python3
"""gload of files made by ImageMagick, compared with ImageMagick's own decoding of them;
of files no reader may take (a side longer than the largest window's, GIF data cut
short); and of names that are no picture files at all, which fail at once without the
interpreter reading them into memory."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import unittest
import zlib

EXECUTABLE = None
LOAD_FAILED = "画像読込失敗"
# Memory a failed load may take beyond what the interpreter takes for a missing file;
# reading one of the files below would take hundreds of megabytes.
SPARE_MEMORY_KIB = 32 * 1024


def magick(*arguments):
    return subprocess.run(["convert", *arguments], capture_output=True, check=True).stdout


def magick_pixels(path, *options):
    """Width, height and top-down RGB bytes of ImageMagick's decoding of the file."""
    size = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True, check=True).stdout
    width, height = map(int, size.split())
    return width, height, magick(path, *options, "-depth", "8", "rgb:-")


def bmp_pixels(path):
    """Width, height and top-down RGB bytes of a 24-bit bottom-up BMP, as gsave writes it."""
    with open(path, "rb") as handle:
        data = handle.read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    assert bits == 24 and height > 0
    stride = (width * 3 + 3) // 4 * 4
    rgb = bytearray()
    for y in range(height - 1, -1, -1):
        row = data[offset + y * stride:offset + y * stride + width * 3]
        for x in range(width):
            rgb += bytes((row[3 * x + 2], row[3 * x + 1], row[3 * x]))
    return width, height, bytes(rgb)


def bmp_file(width, height, rows):
    """A 24-bit BMP of the bottom-up rows as they are stored."""
    header = struct.pack("<2sIII", b"BM", 54 + len(rows), 0, 54)
    return header + struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 0, 0, 0, 0) + rows


def png_file(width, height, rows):
    """An 8-bit gray PNG of the filtered rows as they are stored."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b"")


def mean_differences(a, b):
    """The mean absolute difference of red, green and blue between two RGB byte strings."""
    pixels = len(a) // 3
    return [sum(abs(a[i] - b[i]) for i in range(channel, len(a), 3)) / pixels for channel in range(3)]


def run(lines, cwd):
    """The interpreter's output for the typed lines (windows headless) and its peak memory in KiB."""
    env = dict(os.environ, LC_ALL="C.UTF-8", SDL_VIDEODRIVER="dummy")
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "ZOV_DEBUG"):
        env.pop(name, None)
    process = subprocess.Popen([EXECUTABLE], stdin=subprocess.PIPE, stdout=subprocess.PIPE, cwd=cwd, env=env)
    # A load that waited for a pipe's writer would hang here: it is stopped, and fails.
    timer = threading.Timer(60, process.kill)
    timer.start()
    process.stdin.write("".join(line + "\n" for line in lines).encode())
    process.stdin.close()
    output = process.stdout.read().decode()
    process.stdout.close()
    _, status, usage = os.wait4(process.pid, 0)
    timer.cancel()
    process.returncode = os.waitstatus_to_exitcode(status)
    return output, usage.ru_maxrss


def gif_blocks(data):
    """Where the first image's data sub-blocks begin and end (after the zero-length block)."""
    position = 13 + (3 << ((data[10] & 7) + 1) if data[10] & 0x80 else 0)
    while data[position] == 0x21:
        position += 2
        while data[position]:
            position += data[position] + 1
        position += 1
    assert data[position] == 0x2C
    packed = data[position + 9]
    position += 10 + (3 << ((packed & 7) + 1) if packed & 0x80 else 0) + 1
    start = position
    while data[position]:
        position += data[position] + 1
    return start, position + 1


class ImageFilesTest(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.directory)

    def path(self, name):
        return os.path.join(self.directory, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as handle:
            handle.write(data)
        return self.path(name)

    def loaded(self, names):
        """Each file as gload reads it, saved by gsave as a 24-bit BMP; None for a failed load."""
        lines = ["gopen 1,1,1"]
        for k, name in enumerate(names):
            lines += [f'gload "{name}"', f'gsave "loaded-{k}.bmp"']
        output, _ = run(lines, self.directory)
        self.assertNotIn(LOAD_FAILED, output)
        return [bmp_pixels(self.path(f"loaded-{k}.bmp")) for k in range(len(names))]

    def test_cmyk_and_ycck_jpegs_look_as_imagemagick_shows_them(self):
        # ImageMagick writes CMYK as Adobe's inverted YCCK. The same data read as CMYK
        # (Adobe's transform byte 0), and without Adobe's marker, are CMYK files too.
        magick("rose:", "-fill", "black", "-draw", "rectangle 5,5 30,12", "-colorspace", "CMYK",
               "-quality", "95", self.path("ycck.jpg"))
        with open(self.path("ycck.jpg"), "rb") as handle:
            ycck = handle.read()
        adobe = ycck.index(b"Adobe")
        self.assertEqual(ycck[adobe + 11], 2)
        self.write("cmyk.jpg", ycck[:adobe + 11] + b"\0" + ycck[adobe + 12:])
        segment = adobe - 4
        length, = struct.unpack_from(">H", ycck, segment + 2)
        self.write("plain.jpg", ycck[:segment] + ycck[segment + 2 + length:])
        names = ["ycck.jpg", "cmyk.jpg", "plain.jpg"]
        loaded = self.loaded(names)
        for name, ours in zip(names, loaded):
            with self.subTest(name=name):
                width, height, theirs = magick_pixels(self.path(name), "-colorspace", "sRGB")
                self.assertEqual(ours[:2], (width, height))
                for difference in mean_differences(ours[2], theirs):
                    self.assertLess(difference, 2)
        # The black bar stays black: pixel (15, 8) of the 70 pixels wide rose.
        black = loaded[0][2][(8 * 70 + 15) * 3:(8 * 70 + 16) * 3]
        self.assertLess(max(black), 24)

    def test_sixteen_bit_and_gapped_bmps_load_exactly_as_imagemagick_reads_them(self):
        magick("rose:", "-define", "bmp:subtype=RGB565", self.path("565.bmp"))
        magick("rose:", "-define", "bmp:subtype=RGB555", self.path("555.bmp"))
        magick("rose:", "bmp3:" + self.path("24.bmp"))
        magick("rose:", "-colors", "200", "-type", "palette", "bmp3:" + self.path("8.bmp"))
        names = ["565.bmp", "555.bmp"]
        for name in ("24.bmp", "8.bmp"):
            # Twenty bytes of something else after the palette, the offset past them.
            with open(self.path(name), "rb") as handle:
                data = handle.read()
            offset, = struct.unpack_from("<I", data, 10)
            gapped = bytearray(data[:offset] + b"\x5a" * 20 + data[offset:])
            struct.pack_into("<I", gapped, 2, len(gapped))
            struct.pack_into("<I", gapped, 10, offset + 20)
            names.append(os.path.basename(self.write("gap-" + name, bytes(gapped))))
        for name, ours in zip(names, self.loaded(names)):
            with self.subTest(name=name):
                self.assertEqual(ours, magick_pixels(self.path(name)))

    def test_a_side_past_the_largest_window_and_gif_data_cut_short_fail(self):
        # ImageMagick's own limits refuse to make these: 100000 x 1 and 1 x 20000.
        self.write("wide.bmp", bmp_file(100000, 1, b"\0\0\xff" * 100000))
        self.write("tall.png", png_file(1, 20000, b"\0\x80" * 20000))
        magick("rose:", "-colors", "64", self.path("rose.gif"))
        with open(self.path("rose.gif"), "rb") as handle:
            gif = handle.read()
        start, end = gif_blocks(gif)
        # The first data sub-block alone, and none at all.
        self.write("short.gif", gif[:start + 1 + gif[start]] + b"\0;")
        self.write("empty.gif", gif[:start] + b"\0;")
        names = ["wide.bmp", "tall.png", "short.gif", "empty.gif"]
        size = 'print gsizex();" ";gsizey()'
        output, _ = run(["gopen 1,30,20"] + [f'gload "{name}"' for name in names] + [size, 'gload "rose.gif"', size],
                        self.directory)
        self.assertEqual(output.count(LOAD_FAILED), len(names), output)
        # The window keeps its size; the whole GIF loads.
        self.assertTrue(output.endswith("\n30 20\nOK\nOK\n70 46\nOK\n"), output)

    def test_devices_pipes_folders_and_large_files_of_no_picture_fail_at_once_without_being_read(self):
        os.symlink("/dev/zero", self.path("zero.bmp"))
        os.mkfifo(self.path("pipe.gif"))
        os.mkdir(self.path("folder.png"))
        for name in ("large.bmp", "large"):
            with open(self.path(name), "wb") as handle:
                handle.truncate(600 << 20)
        for name in ("missing.bmp", "zero.bmp", "pipe.gif", "folder.png", "large.bmp", "large"):
            with self.subTest(name=name):
                output, peak = run(["gopen 1,30,20", f'gload "{name}"', "print gsizex()"], self.directory)
                self.assertIn(LOAD_FAILED, output)
                self.assertIn("\n30\n", output)
                if name == "missing.bmp":
                    baseline = peak
                self.assertLess(peak, baseline + SPARE_MEMORY_KIB)


if __name__ == "__main__":
    EXECUTABLE = os.path.abspath(sys.argv.pop(1))
    unittest.main()
