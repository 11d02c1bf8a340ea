#!/usr/bin/env python3
"""Graphics windows on a real X display: a shown window holds the picture of its
surface, injected mouse events reach the gmouse counters, pictures go through the
desktop clipboard, and the interpreter ends promptly with windows open. The test
starts its own Xvfb on a display number the server picks itself (-displayfd), so it
cannot collide with another X server on the machine. With DISPLAY set it uses that
display instead, which must have a 24-bit screen of at least 1280 x 1024. Screenshots by ImageMagick's import,
pointer and window lookup by xdotool."""
import ctypes
import os
import select
import subprocess
import sys
import tempfile
import time
import unittest

EXECUTABLE = None
TITLE = "Velmora BASIC V2.00 描画画面 {}"


class Interpreter:
    """velmora on pipes; each command is followed by a marker so its output is known."""

    def __init__(self, workdir, **extra_env):
        env = dict(os.environ, LC_ALL="C.UTF-8", SDL_VIDEODRIVER="x11", **extra_env)
        self.process = subprocess.Popen([EXECUTABLE], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, cwd=workdir, env=env)
        self.output = b""
        self.markers = 0

    def run(self, *lines, timeout=30.0):
        """Sends the lines and returns what they printed, prompts removed."""
        self.markers += 1
        marker = f"@@{self.markers}@@".encode()
        text = "".join(line + "\n" for line in lines) + f'print "{marker.decode()}"\n'
        self.process.stdin.write(text.encode())
        self.process.stdin.flush()
        deadline = time.time() + timeout
        while marker + b"\n" not in self.output:
            remaining = deadline - time.time()
            if remaining <= 0:
                raise AssertionError(f"{marker!r} not seen in {self.output!r}")
            ready, _, _ = select.select([self.process.stdout], [], [], remaining)
            if ready:
                chunk = os.read(self.process.stdout.fileno(), 4096)
                if not chunk:
                    raise AssertionError(f"the interpreter ended: {self.output!r}")
                self.output += chunk
        before, _, self.output = self.output.partition(marker + b"\n")
        return [line for line in before.decode().split("\n") if line not in ("", "OK")]

    def value(self, expression):
        return self.run(f"print {expression}")[0].strip()

    def wait_for(self, expression, expected, timeout=30.0):
        """Polls until the expression prints the expected text (events take a moment)."""
        deadline = time.time() + timeout
        while (got := self.value(expression)) != expected:
            if time.time() > deadline:
                raise AssertionError(f"{expression} is {got}, not {expected}")
            time.sleep(0.05)

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True, timeout=20,
                          env=dict(os.environ, LC_ALL="C.UTF-8")).stdout.strip()


def find_window(number):
    """The X window of graphics window `number`, found by its title."""
    deadline = time.time() + 30
    while time.time() < deadline:
        for window in xdotool("search", "--onlyvisible", "--class", "velmora").split():
            if xdotool("getwindowname", window) == TITLE.format(number):
                return window
        time.sleep(0.05)
    raise AssertionError(f"window {number} is not shown")


def as_another_client(request):
    """Runs request(x11, display) on a connection of the test's own to the display."""
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x11.XDestroyWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    request(x11, display)
    x11.XCloseDisplay(display)


def destroy_window(window):
    """Takes a window away as the window manager takes down a frame."""
    as_another_client(lambda x11, display: x11.XDestroyWindow(display, int(window)))


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]


def ask_to_close(window):
    """Sends WM_DELETE_WINDOW, as a window manager's close button does."""
    def send(x11, display):
        event = ClientMessage(type=33, display=display, window=int(window), format=32,
                              message_type=x11.XInternAtom(display, b"WM_PROTOCOLS", 0))
        event.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        x11.XSendEvent(display, int(window), 0, 0, ctypes.byref(event))
    as_another_client(send)


def read_ppm(data):
    """Width, height and rows of (r, g, b) of a binary PPM."""
    fields, position = [], 0
    while len(fields) < 4:
        while data[position:position + 1].isspace():
            position += 1
        end = position
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    width, height = int(fields[1]), int(fields[2])
    pixels = data[position + 1:]
    return width, height, [[tuple(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)]
                           for y in range(height)]


def read_bmp(path):
    """Width, height and rows of (r, g, b) of a 24-bit bottom-up BMP."""
    data = open(path, "rb").read()
    offset = int.from_bytes(data[10:14], "little")
    width = int.from_bytes(data[18:22], "little")
    height = int.from_bytes(data[22:26], "little")
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):
        row = data[offset + (height - 1 - y) * stride:]
        rows.append([(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]) for x in range(width)])
    return width, height, rows


class WindowTest(unittest.TestCase):
    def setUp(self):
        self.workdir = tempfile.TemporaryDirectory()
        self.basic = Interpreter(self.workdir.name)

    def tearDown(self):
        self.basic.close()
        self.workdir.cleanup()

    def test_shown_window_matches_its_surface(self):
        self.basic.run("gopen 2,160,120", "gbox 10,10,60,40,&HFF,fill", "gcircle 100,60,30,&HFF0000,fill",
                       "gline 0,119,159,0,&H00FF00,bold", 'gputs 4,90,"Velmora",0,&HC0C0C0', 'gsave "s.bmp"')
        window = find_window(2)
        self.assertIn("WIDTH=160\nHEIGHT=120", xdotool("getwindowgeometry", "--shell", window))
        expected = read_bmp(os.path.join(self.workdir.name, "s.bmp"))
        deadline = time.time() + 30
        while True:
            shot = subprocess.run(["import", "-window", window, "-depth", "8", "ppm:-"], capture_output=True, timeout=20).stdout
            if read_ppm(shot) == expected or time.time() > deadline:
                break
            time.sleep(0.1)
        self.assertEqual(read_ppm(shot), expected)

        ask_to_close(window)
        self.basic.wait_for('gsizex()', "0")
        self.assertEqual(self.basic.run("gput 1,1,0"), ["描画ウインドウ・クローズ"])
        self.basic.run("gopen 2")
        find_window(2)
        self.basic.run("gclose 2")
        deadline = time.time() + 30
        while xdotool("search", "--onlyvisible", "--class", "velmora") and time.time() < deadline:
            time.sleep(0.05)
        self.assertEqual(xdotool("search", "--onlyvisible", "--class", "velmora"), "")
        self.basic.run("gopen 2,50,40")
        self.assertIn("WIDTH=50\nHEIGHT=40", xdotool("getwindowgeometry", "--shell", find_window(2)))

    def test_a_window_taken_away_by_another_client_leaves_the_interpreter_running(self):
        self.basic.run("gopen 1,80,60", "gopen 2,80,60")
        destroy_window(find_window(1))
        time.sleep(0.5)
        self.assertEqual(self.basic.run("gbox 0,0,10,10,&HFF,fill", "print gget(5,5)"), ["255"])
        self.basic.run("gopen 3,40,30")
        self.assertIn("WIDTH=40\nHEIGHT=30", xdotool("getwindowgeometry", "--shell", find_window(3)))

    def test_mouse_events_reach_the_counters(self):
        self.basic.run("gopen 1,200,150", 'x = gmouse("reset")')
        window = find_window(1)
        xdotool("mousemove", "--window", window, 20, 20, "mousedown", 1, "mousemove", "--window", window, 50, 30)
        self.basic.wait_for('gmouse("cxp");gmouse("cyp");gmouse("lon")', "30101")
        # Presses further apart than a double click's time are two presses.
        xdotool("mouseup", 1, "sleep", "0.7", "mousedown", 1, "mousemove", "--window", window, 45, 30, "mouseup", 1)
        self.basic.wait_for('gmouse("lct")', "2")
        self.basic.wait_for('gmouse("cxp");" ";gmouse("cyp");" ";gmouse("xp");" ";gmouse("yp")', "25 10 45 30")
        # A double click's second press is no press.
        xdotool("sleep", "0.7", "click", "--repeat", "2", "--delay", "50", 1)
        xdotool("click", 4, "click", 4, "click", 4, "click", 5, "click", 3, "click", 2)
        self.basic.wait_for('gmouse("hp");" ";gmouse("rct");" ";gmouse("hct");" ";gmouse("lct")', "2 1 1 3")
        self.basic.run('x = gmouse("reset")')
        self.assertEqual(self.basic.value('gmouse("lct");gmouse("cxp");gmouse("hp")'), "000")

    def test_pictures_go_through_the_desktop_clipboard(self):
        self.basic.run("gopen 1,40,30", "gput 3,3,&HFF", "gclipcopy")
        png = subprocess.run(["xclip", "-selection", "clipboard", "-t", "image/png", "-o"], capture_output=True,
                             timeout=20).stdout
        self.assertEqual(png[:8], b"\x89PNG\r\n\x1a\n")
        self.assertEqual((int.from_bytes(png[16:20], "big"), int.from_bytes(png[20:24], "big")), (40, 30))
        self.assertEqual(self.basic.run("gopen 2,5,5", "gclippaste", 'print gsizex();" ";gsizey();" ";gget(3,3)'),
                         ["40 30 255"])

    def test_ends_promptly_with_windows_open(self):
        self.basic.run("gopen 1,100,100", "gopen 2,100,100")
        find_window(2)
        self.basic.process.stdin.close()
        self.assertEqual(self.basic.process.wait(timeout=20), 0)

        other = Interpreter(self.workdir.name)
        try:
            other.run("gopen 3,100,100")
            other.process.stdin.write(b"system\n")
            other.process.stdin.flush()
            self.assertEqual(other.process.wait(timeout=20), 0)
        finally:
            other.close()


class LostDisplayTest(unittest.TestCase):
    def test_the_interpreter_outlives_its_display(self):
        server, display = start_server()
        workdir = tempfile.TemporaryDirectory()
        basic = Interpreter(workdir.name, DISPLAY=display)
        try:
            basic.run("10 print 42", "gopen 1,80,60", "gopen 2,80,60")
            server.kill()
            server.wait()
            basic.wait_for("gsizex()", "0")
            self.assertEqual(basic.run("list", "gopen 1,80,60", "print 7"), ["   10 print 42", "描画ウインドウを開けない", "7"])
            basic.process.stdin.write(b"system\n")
            basic.process.stdin.flush()
            self.assertEqual(basic.process.wait(timeout=20), 0)
        finally:
            basic.close()
            server.kill()
            workdir.cleanup()


def start_server():
    """A virtual X server and the display name that names it."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                               "-nolisten", "tcp"], pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        ready, _, _ = select.select([read_end], [], [], 30)
        chunk = os.read(read_end, 16) if ready else b""
        if not chunk:
            server.kill()
            raise SystemExit("Xvfb did not start")
        number += chunk
    os.close(read_end)
    return server, ":" + number.decode().strip()


def start_display():
    """A virtual X server; DISPLAY names it."""
    server, os.environ["DISPLAY"] = start_server()
    return server


if __name__ == "__main__":
    EXECUTABLE = os.path.abspath(sys.argv.pop(1))
    server = None if os.environ.get("DISPLAY") else start_display()
    try:
        unittest.main()
    finally:
        if server:
            server.terminate()
            server.wait()
