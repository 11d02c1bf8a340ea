#!/usr/bin/env python3
"""Graphics windows among other windows, as a user at a desktop meets them: on its own
Xvfb with the openbox window manager, velmora runs in an xterm (or on a pseudo
terminal), xdotool reads the active window, types and moves the pointer, ImageMagick's
import takes screenshots. Checked: gopen leaves the keyboard focus with the terminal
and gactive 0 gives it back; a new or reopened window is white while a long statement
runs; a size the window system cannot show is refused; windows are kept on the
screen; VELMORA_ZOOM; the wait at the end of a command-line program; and a real
xterm with a VT340 terminal type showing a headless window's sixel picture."""
import os
import re
import select
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import window_test  # noqa: E402
from window_test import Interpreter, ask_to_close, find_window, read_bmp, read_ppm, xdotool  # noqa: E402

# fnf calls fna 128 times a point: a graph of 361 x 361 points runs for many seconds.
SLOW_GRAPH = ["def fna(x)=x*0", "def fnb(x)=fna(x)+fna(x)+fna(x)+fna(x)", "def fnc(x)=fnb(x)+fnb(x)+fnb(x)+fnb(x)",
              "def fnd(x)=fnc(x)+fnc(x)+fnc(x)+fnc(x)", "def fnf(x,y)=fnd(x)+fnd(y)"]
SCREEN = (1280, 1024)


def near(a, b, tolerance=8):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def read_all(master):
    """What a pseudo-terminal still holds, once its process has ended."""
    output = b""
    while select.select([master], [], [], 0.2)[0]:
        try:
            output += os.read(master, 4096)
        except OSError:
            break
    return output


def wait_until(condition, what, timeout=30.0):
    deadline = time.time() + timeout
    while not condition():
        if time.time() > deadline:
            raise AssertionError(f"{what} did not happen")
        time.sleep(0.05)


def active_window():
    return xdotool("getactivewindow")


def geometry(window):
    """The client area's position on the screen and its size, as xwininfo tells them."""
    info = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True, timeout=20).stdout
    value = lambda name: int(re.search(name + r":\s*(-?\d+)", info).group(1))
    return value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height")


def screenshot(window="root"):
    shot = subprocess.run(["import", "-window", window, "-depth", "8", "ppm:-"], capture_output=True,
                          timeout=30).stdout
    return read_ppm(shot)[2]


class Xterm:
    """An xterm running a shell command in `workdir`, its X window found by its title."""

    def __init__(self, workdir, command, title, *options):
        self.process = subprocess.Popen(["xterm", "-T", title, "-geometry", "80x24+0+0", *options, "-e", command],
                                        cwd=workdir, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.window = None
        wait_until(lambda: self.find(title), "the xterm window")

    def find(self, title):
        found = xdotool("search", "--name", "^" + title + "$").split()
        self.window = found[0] if found else None
        return self.window is not None

    def type(self, line):
        xdotool("type", "--delay", "20", line + "\r")
        time.sleep(0.5)

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(timeout=10)


class DesktopTest(unittest.TestCase):
    def setUp(self):
        self.workdir = tempfile.TemporaryDirectory()
        self.closers = []

    def tearDown(self):
        for close in reversed(self.closers):
            close()
        self.workdir.cleanup()

    def path(self, name):
        return os.path.join(self.workdir.name, name)

    def xterm(self, command, title, *options):
        terminal = Xterm(self.workdir.name, command, title, *options)
        self.closers.append(terminal.close)
        return terminal

    def interpreter(self, **env):
        basic = Interpreter(self.workdir.name, **env)
        self.closers.append(basic.close)
        basic.run()  # the banner
        return basic

    def reached(self, name):
        return lambda: os.path.exists(self.path(name)) and open(self.path(name)).read() == "reached\n"

    def test_gopen_leaves_the_focus_with_the_terminal_and_gactive_0_gives_it_back(self):
        terminal = self.xterm(f"{window_test.EXECUTABLE}", "velmora-focus")
        xdotool("windowactivate", "--sync", terminal.window)
        wait_until(lambda: active_window() == terminal.window, "the xterm's activation")
        # Keys typed before the interpreter reads them may be lost: typed again until one
        # line is seen.
        wait_until(lambda: terminal.type('open "o",1,"ready.txt" : print #1,"reached" : close 1') or
                   self.reached("ready.txt")(), "the interpreter's first line")
        terminal.type("gopen 1,200,100")
        terminal.type('open "o",1,"typed.txt" : print #1,"reached" : close 1')
        find_window(1)
        wait_until(self.reached("typed.txt"), "the line typed after gopen")
        self.assertEqual(active_window(), terminal.window)

        terminal.type('gactive 1 : sleep 1500 : gactive 0 : open "o",1,"back.txt" : print #1,"reached" : close 1')
        wait_until(lambda: active_window() == find_window(1), "gactive 1")
        wait_until(self.reached("back.txt"), "gactive 0")
        wait_until(lambda: active_window() == terminal.window, "the xterm's focus back")

    def test_new_and_reopened_windows_are_white_while_a_long_statement_runs(self):
        basic = self.interpreter()
        basic.run(*SLOW_GRAPH)
        white = [[(255, 255, 255)] * 200 for _ in range(150)]
        for before in ("", "gbox 0,0,200,150,&HFF,fill : "):
            basic.process.stdin.write(f'{before}gopen 1,200,150 : graph3d "xy2z",fnf,0,0,800,600\n'.encode())
            basic.process.stdin.flush()
            window = find_window(1)
            wait_until(lambda: screenshot(window) == white, "a white window")
            time.sleep(0.5)
            self.assertEqual(screenshot(window), white)
            basic.process.send_signal(2)
            basic.run("gbox 0,0,200,150,&HFF,fill")

    def test_sizes_the_window_system_cannot_show_are_refused(self):
        basic = self.interpreter()
        self.assertEqual(basic.run("gopen 1,100,80", "gopen 1,17000,100"), ["描画ウインドウを開けない"])
        self.assertEqual(basic.value('gsizex();gsizey()'), "10080")
        self.assertIn("WIDTH=100\nHEIGHT=80", xdotool("getwindowgeometry", "--shell", find_window(1)))
        self.assertEqual(basic.run("gopen 2,17000,100"), ["描画ウインドウを開けない"])

    def test_grown_windows_stay_on_the_screen(self):
        basic = self.interpreter()
        basic.run("gopen 1,600,500", 'gsave "big.bmp"')
        window = find_window(1)
        for grow in ("gopen 1,600,500", 'gload "big.bmp"'):
            basic.run("gopen 1,100,100", "gmove 1150,900")
            wait_until(lambda: geometry(window)[0] > 1100, "the move")
            basic.run(grow)

            def on_screen():
                x, y, width, height = geometry(window)
                return width == 600 and x >= 0 and y >= 0 and x + width <= SCREEN[0] and y + height <= SCREEN[1]
            wait_until(on_screen, f"{grow} on the screen")

    def test_zoom_shows_each_picture_pixel_as_n_by_n_screen_pixels(self):
        basic = self.interpreter(VELMORA_ZOOM="2")
        basic.run("gopen 1,100,60", "gbox 10,10,20,10,&HFF,fill", 'gsave "z.bmp"', 'x = gmouse("reset")')
        window = find_window(1)
        self.assertEqual(geometry(window)[2:], (200, 120))
        _, _, picture = read_bmp(self.path("z.bmp"))
        doubled = [[pixel for pixel in row for _ in (0, 1)] for row in picture for _ in (0, 1)]
        wait_until(lambda: screenshot(window) == doubled, "the zoomed picture")
        self.assertEqual(basic.value("gsizex();gsizey();gget(10,10)"), "10060255")
        xdotool("mousemove", "--window", window, 31, 41, "click", 1)
        basic.wait_for('gmouse("xp");" ";gmouse("yp");" ";gmouse("lct")', "15 20 1")
        self.assertEqual(basic.run("gopen 2,9000,10"), ["描画ウインドウを開けない"])

    def test_a_command_line_program_waits_for_its_windows_at_a_terminal(self):
        with open(self.path("show.bas"), "w") as program:
            program.write('10 gopen 1,80,60 : gopen 2,80,60 : print "drawn"\n')
        for finish in ("close", "enter"):
            master, slave = os.openpty()
            process = subprocess.Popen([window_test.EXECUTABLE, "show.bas"], stdin=slave, stdout=slave,
                                       stderr=slave, cwd=self.workdir.name,
                                       env=dict(os.environ, LC_ALL="C.UTF-8", SDL_VIDEODRIVER="x11"))
            self.closers.append(lambda: process.poll() is None and process.kill())
            output = b""
            notice = "描画ウインドウを表示中: 全部閉じるか Enter キーで終了\r\n".encode()
            while notice not in output:
                ready, _, _ = select.select([master], [], [], 30)
                self.assertTrue(ready, output)
                output += os.read(master, 4096)
            self.assertEqual(output, b"drawn\r\n" + notice)
            time.sleep(0.3)
            self.assertIsNone(process.poll())
            if finish == "close":
                ask_to_close(find_window(1))
                time.sleep(0.3)
                self.assertIsNone(process.poll())
                ask_to_close(find_window(2))
            else:
                os.write(master, b"\r")
            status = process.wait(timeout=30)
            self.assertEqual(status, 0, (finish, output + read_all(master)))
            os.close(master)
            os.close(slave)
        piped = subprocess.run([window_test.EXECUTABLE, "show.bas"], stdin=subprocess.DEVNULL, capture_output=True,
                               cwd=self.workdir.name, timeout=30,
                               env=dict(os.environ, LC_ALL="C.UTF-8", SDL_VIDEODRIVER="x11"))
        self.assertEqual(piped.stdout, b"drawn\n")

    def test_an_xterm_with_a_vt340_terminal_type_shows_the_sixel_picture(self):
        with open(self.path("sixel.bas"), "w") as program:
            program.write("10 gopen 1,120,60 : gclear &HFF0000 : gbox 0,0,60,30,&HFF,fill\n"
                          '20 gcircle 90,40,15,&HC000,fill : gsave "x.bmp" : input a$\n')
        terminal = self.xterm(f"env -u DISPLAY {window_test.EXECUTABLE} sixel.bas", "velmora-sixel", "-ti", "vt340")
        wait_until(lambda: os.path.exists(self.path("x.bmp")), "the program's gsave")
        _, _, picture = read_bmp(self.path("x.bmp"))

        def found():
            """The picture somewhere in the xterm, its top-left corner the first red pixel."""
            shot = screenshot(terminal.window)
            corner = next(((x, y) for y, row in enumerate(shot) for x, pixel in enumerate(row)
                           if near(pixel, (255, 0, 0))), None)
            if corner is None or corner[1] + 60 > len(shot) or corner[0] + 120 > len(shot[0]):
                return False
            region = [row[corner[0]:corner[0] + 120] for row in shot[corner[1]:corner[1] + 60]]
            return all(near(a, b) for got, want in zip(region, picture) for a, b in zip(got, want))
        wait_until(found, "the sixel picture in the xterm")


def start(*command):
    return subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def openbox_manages_windows():
    """True once a new window gets its frame: openbox answers its first requests well
    after it names its desktops, and a window mapped meanwhile waits for it."""
    probe = start("xterm", "-T", "wm-probe", "-e", "sleep", "60")
    try:
        deadline = time.time() + 20
        while time.time() < deadline:
            for window in xdotool("search", "--name", "^wm-probe$").split():
                frame = subprocess.run(["xprop", "-id", window, "_NET_FRAME_EXTENTS"], capture_output=True,
                                       text=True, timeout=20).stdout
                if "=" in frame:
                    return True
            time.sleep(0.1)
        return False
    finally:
        probe.kill()
        probe.wait()


if __name__ == "__main__":
    window_test.EXECUTABLE = os.path.abspath(sys.argv.pop(1))
    server = None if os.environ.get("DISPLAY") else window_test.start_display()
    manager = start("openbox")
    try:
        # Under the sanitizer run, beside the other tests, openbox has taken over 30 s.
        wait_until(openbox_manages_windows, "openbox's start", timeout=120.0)
        unittest.main()
    finally:
        manager.terminate()
        manager.wait()
        if server:
            server.terminate()
            server.wait()
