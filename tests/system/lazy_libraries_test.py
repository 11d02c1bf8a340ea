#!/usr/bin/env python3
"""The window, font, image file and printing libraries are opened by their first use, not
at start-up; one that cannot be opened (here: an empty file, or a library without the
functions, found first through LD_LIBRARY_PATH) behaves like having no display, no
PNG files or no printer destination, and says why under ZOV_DEBUG."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "runner"))
from banner import banner  # noqa: E402

EXECUTABLE = None
OPENED_LATER = ("libSDL2-2.0.so.0", "libX11.so.6", "libfontconfig.so.1", "libfreetype.so.6", "libpng16.so.16",
                "libjpeg.so.62", "libcups.so.2", "libcairo.so.2", "libchafa.so.0")
FAILED_OPEN = "プリンタオープン失敗。印字放棄！\n"
BANNER = banner() + "\nOK\n"


def environment(**extra):
    env = dict(os.environ, LC_ALL="C.UTF-8")
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "ZOV_DEBUG", "LD_LIBRARY_PATH", "ZOV_MINCHO"):
        env.pop(name, None)
    env.update(extra)
    return env


def run(arguments, stdin, env, executable=None, cwd=None):
    return subprocess.run([executable or EXECUTABLE] + arguments, input=stdin.encode(), capture_output=True,
                          env=env, cwd=cwd, timeout=60)


def mapped_libraries(arguments, stdin, env=None, cwd=None, executable=None):
    """The files the dynamic loader opened during the run, as LD_DEBUG=files lists them."""
    env = dict(env or environment(), LD_DEBUG="files")
    stderr = run(arguments, stdin, env, executable, cwd).stderr.decode("utf-8", "replace")
    return {os.path.basename(name) for name in re.findall(r"file=(\S+)", stderr)}


def a_library_without_those_functions():
    listing = subprocess.run(["ldconfig", "-p"], capture_output=True, text=True).stdout
    return re.search(r"^\s*libz\.so\.1 \(libc6,x86-64\) => (\S+)", listing, re.M).group(1)


class LazyLibrariesTest(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.mkdtemp()
        self.fakes = os.path.join(self.directory, "fakes")
        os.mkdir(self.fakes)

    def tearDown(self):
        shutil.rmtree(self.directory)

    def fake(self, soname, source=None):
        """Puts an unusable `soname` where the loader looks first."""
        path = os.path.join(self.fakes, soname)
        if source:
            shutil.copy(source, path)
        else:
            open(path, "w").close()

    def printer_copy(self, ini):
        """A copy of the interpreter with its own velmora.ini beside it."""
        copy = os.path.join(self.directory, "velmora")
        shutil.copy(EXECUTABLE, copy)
        with open(os.path.join(self.directory, "velmora.ini"), "w") as handle:
            handle.write(ini)
        return copy

    def test_sessions_that_neither_show_a_window_nor_print_open_none_of_them(self):
        for arguments, stdin in ((["1+1"], ""), ([], "\n"), ([], "gopen 1\ngline 0,0,9,9,&HFF\n")):
            with self.subTest(arguments=arguments, stdin=stdin):
                self.assertFalse(mapped_libraries(arguments, stdin) & set(OPENED_LATER))

    def test_printing_to_a_pdf_file_opens_cairo_and_not_cups(self):
        copy = self.printer_copy("[prn]\nPDFFILE=out.pdf\n")
        opened = mapped_libraries([], 'lprint "a"\n', cwd=self.directory, executable=copy)
        self.assertIn("libcairo.so.2", opened)
        self.assertNotIn("libcups.so.2", opened)
        self.assertTrue(os.path.exists(os.path.join(self.directory, "out.pdf")))

    def test_without_libsdl_a_window_on_a_named_display_is_headless(self):
        self.fake("libSDL2-2.0.so.0")
        env = environment(DISPLAY=":97", LD_LIBRARY_PATH=self.fakes, ZOV_DEBUG="1")
        result = run([], 'gopen 1\ngline 0,0,9,9,&HFF\n? gget(5,5)\n', env)
        self.assertEqual(result.stdout.decode(), BANNER + "OK\nOK\n255\nOK\n")
        self.assertRegex(result.stderr.decode(), r"^ZOV/ZOV:\d+ dlopen: \S+/libSDL2-2\.0\.so\.0: .+\n$")

    def test_without_libpng_a_png_file_is_not_saved_and_the_session_goes_on(self):
        self.fake("libpng16.so.16")
        env = environment(LD_LIBRARY_PATH=self.fakes, ZOV_DEBUG="1")
        target = os.path.join(self.directory, "x.png")
        result = run([], f'gopen 1\ngsave "{target}"\n? "after"\n', env)
        self.assertEqual(result.stdout.decode(), BANNER + "OK\n画像保存失敗\nOK\nafter\nOK\n")
        self.assertRegex(result.stderr.decode(), r"^ZOV/ZOV:\d+ dlopen: \S+/libpng16\.so\.16: .+\n")
        self.assertFalse(os.path.exists(target))

    def assert_printer_fails_to_open(self, ini, why):
        copy = self.printer_copy(ini)
        env = environment(LD_LIBRARY_PATH=self.fakes, CUPS_SERVER=os.path.join(self.directory, "no-cups"))
        stdin = 'lprint "a"\n? "after"\n'
        result = run([], stdin, env, copy, self.directory)
        self.assertEqual(result.stdout.decode(), BANNER + "OK\nafter\nOK\n")
        self.assertEqual(result.stderr.decode(), FAILED_OPEN)
        self.assertFalse(os.path.exists(os.path.join(self.directory, "out.pdf")))
        debugged = run([], stdin, dict(env, ZOV_DEBUG="1"), copy, self.directory).stderr.decode()
        self.assertRegex(debugged, r"^ZOV/ZOV:\d+ " + why + ".*\n" + FAILED_OPEN + "$")

    def test_without_libcups_there_is_no_printer_destination(self):
        self.fake("libcups.so.2", a_library_without_those_functions())
        self.assert_printer_fails_to_open("[prn]\n", r"dlsym: \S+/libcups\.so\.2: undefined symbol: cupsGetDests2")

    def test_without_libcairo_not_even_a_pdf_file_is_printed(self):
        self.fake("libcairo.so.2")
        self.assert_printer_fails_to_open("[prn]\nPDFFILE=out.pdf\n", r"dlopen: \S+/libcairo\.so\.2: ")

if __name__ == "__main__":
    EXECUTABLE = os.path.abspath(sys.argv.pop(1))
    unittest.main()
