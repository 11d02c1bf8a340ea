#!/usr/bin/env python3
"""Headless windows shown in the terminal: velmora on a pseudo terminal of 80 x 24
cells of 10 x 20 pixels, which answers the terminal queries as the terminal named
would. The pictures are read back out of the output: the kitty and iTerm2 forms
carry PNG files, compared pixel for pixel with gsave's picture; sixel images are
compared within the quantisation, block characters by the colours of their cells.
PNG files are decoded by ImageMagick's convert."""
import base64
import fcntl
import os
import re
import select
import struct
import subprocess
import sys
import tempfile
import termios
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "runner"))
from banner import banner  # noqa: E402

EXECUTABLE = None

KITTY = re.compile(rb"\x1b_G([^;\x1b]*);([A-Za-z0-9+/=]*)\x1b\\")
ITERM = re.compile(rb"\x1b\]1337;File=([^:\x07]*):([A-Za-z0-9+/=]*)\x07")
SIXEL = re.compile(rb"\x1bP[0-9;]*q.*?\x1b\\", re.S)
BLOCKS = re.compile(rb"(?:\x1b\[[0-9;]*m(?:\x1b\[[0-9;]*m|[^\x1b\r\n])*\r\n)+")
QUERY = b"\x1b[c"
ANSWERS = {"kitty": b"\x1b_Gi=31;OK\x1b\\\x1b[6;20;10t\x1b[?62;22c", "sixel": b"\x1b[?63;1;4c",
           "plain": b"\x1b[?62;22c", "silent": b""}
NOTICE = "描画ウインドウは画面なしで表示されない (gsave で画像ファイルに保存できる)\r\n".encode()


def take_terminal():
    os.setsid()
    fcntl.ioctl(0, termios.TIOCSCTTY, 0)


def read_ppm(data):
    """Rows of (r, g, b) of a binary PPM (the pixels follow one blank after the header)."""
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+\d+\s", data)
    width, height, pixels = int(header.group(1)), int(header.group(2)), data[header.end():]
    return [[tuple(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)] for y in range(height)]


def decoded_png(data):
    """Rows of (r, g, b) of a PNG file, by ImageMagick."""
    ppm = subprocess.run(["convert", "png:-", "-depth", "8", "ppm:-"], input=data, capture_output=True,
                         timeout=30, check=True).stdout
    return read_ppm(ppm)


def decoded_sixel(data):
    """Rows of (r, g, b) of a sixel image with RGB colour registers (the raster
    attributes give the size; pixels never set stay None)."""
    body = data[data.index(b"q") + 1:-2].decode()
    width, height = map(int, re.match(r'"\d+;\d+;(\d+);(\d+)', body).groups())
    rows = [[None] * width for _ in range(height)]
    registers, colour, x, band = {}, None, 0, 0
    for match in re.finditer(r'"[0-9;]*|#([0-9;]*)|\$|-|!(\d+)([?-~])|([?-~])', body):
        text = match.group(0)
        if text.startswith("#"):
            fields = [int(f) for f in match.group(1).split(";")]
            if len(fields) == 5:
                registers[fields[0]] = tuple(round(v * 255 / 100) for v in fields[2:])
            colour = registers[fields[0]]
        elif text == "$":
            x = 0
        elif text == "-":
            x, band = 0, band + 1
        elif not text.startswith('"'):
            repeat = int(match.group(2)) if match.group(2) else 1
            bits = ord(match.group(3) or match.group(4)) - 63
            for _ in range(repeat):
                for bit in range(6):
                    y = band * 6 + bit
                    if bits >> bit & 1 and y < height and x < width:
                        rows[y][x] = colour
                x += 1
    return rows


def bmp_rows(path):
    data = open(path, "rb").read()
    offset, width, height = (int.from_bytes(data[a:a + 4], "little") for a in (10, 18, 22))
    stride = (width * 3 + 3) & ~3
    return [[(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]) for x in range(width)]
            for row in (data[offset + (height - 1 - y) * stride:] for y in range(height))]


def kitty_pictures(output):
    """(keys of the first piece, PNG file) of each kitty picture."""
    pictures, keys, payload = [], None, b""
    for match in KITTY.finditer(output):
        fields = dict(field.split(b"=") for field in match.group(1).split(b","))
        if fields.get(b"a") == b"q":
            continue  # the question which protocol the terminal takes
        keys = fields if keys is None else keys
        payload += match.group(2)
        if fields[b"m"] == b"0":
            pictures.append((keys, base64.b64decode(payload)))
            keys, payload = None, b""
    return pictures


def block_cells(text):
    """Rows of cells, each the set of colours it shows, of block characters in SGR colour."""
    rows = []
    for line in text.decode().split("\r\n")[:-1]:
        cells, fg, bg, inverse = [], None, None, False
        for token in re.findall(r"\x1b\[([0-9;]*)m|(.)", line):
            if token[1]:
                front, back = (bg, fg) if inverse else (fg, bg)
                shown = {front} if token[1] == "█" else {back} if token[1] == " " else {front, back}
                cells.append(shown)
                continue
            codes = [int(c) for c in token[0].split(";") if c] or [0]
            while codes:
                code = codes.pop(0)
                if code == 0:
                    fg, bg, inverse = None, None, False
                elif code == 7:
                    inverse = True
                elif code in (38, 48):
                    colour = tuple(codes[1:4])
                    codes = codes[4:]
                    fg, bg = (colour, bg) if code == 38 else (fg, colour)
        rows.append(cells)
    return rows


def near(a, b, tolerance=8):
    return a is not None and all(abs(x - y) <= tolerance for x, y in zip(a, b))


class Terminal:
    """velmora on a pseudo terminal; `answer` names the terminal that answers its queries."""

    def __init__(self, workdir, args=(), answer="silent", **env):
        self.master, self.slave = os.openpty()
        fcntl.ioctl(self.slave, termios.TIOCSWINSZ, struct.pack("HHHH", 24, 80, 800, 480))
        environment = {name: value for name, value in os.environ.items()
                       if name not in ("DISPLAY", "WAYLAND_DISPLAY", "TMUX", "TERM_PROGRAM", "TERM_PROGRAM_VERSION",
                                       "LC_TERMINAL", "VELMORA_INLINE")}
        environment.update(LC_ALL="C.UTF-8", TERM="xterm-256color", **env)
        self.process = subprocess.Popen([EXECUTABLE, *args], stdin=self.slave, stdout=self.slave, stderr=self.slave,
                                        env=environment, cwd=workdir, preexec_fn=take_terminal)
        self.answer = ANSWERS[answer]
        self.output = b""
        self.queries = 0

    def read_until(self, marker, timeout=30.0):
        """What came since the last call, up to and with `marker`; queries are answered."""
        deadline = time.time() + timeout
        while marker not in self.output:
            remaining = deadline - time.time()
            if remaining <= 0:
                raise AssertionError(f"{marker!r} not seen in {self.output[-3000:]!r}")
            ready, _, _ = select.select([self.master], [], [], remaining)
            if not ready:
                continue
            try:
                self.output += os.read(self.master, 65536)
            except OSError:
                raise AssertionError(f"the interpreter ended before {marker!r}: {self.output[-3000:]!r}")
            while self.output.count(QUERY) > self.queries:
                self.queries += 1
                os.write(self.master, self.answer)
        before, _, self.output = self.output.partition(marker)
        return before + marker

    def send(self, text):
        os.write(self.master, text.encode())

    def command(self, line):
        """Types a line and returns all it printed, the pictures at the prompt after it
        included: a second line that draws nothing marks their end."""
        self.send(line + '\rprint "@"+"@"\r')
        return self.read_until(b"@@\r\nOK\r\n")

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(timeout=10)
        os.close(self.master)
        os.close(self.slave)


class InlinePicturesTest(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        self.terminals = []

    def tearDown(self):
        for terminal in self.terminals:
            terminal.close()
        self.directory.cleanup()

    def start(self, *args, answer="silent", **env):
        terminal = Terminal(self.directory.name, args, answer, **env)
        self.terminals.append(terminal)
        if not args:
            terminal.read_until(b"OK\r\n")
        return terminal

    def path(self, name):
        return os.path.join(self.directory.name, name)

    def test_kitty_shows_each_changed_window_once_in_number_order(self):
        t = self.start(VELMORA_INLINE="kitty")
        self.assertEqual([len(decoded_png(png)[0]) for _, png in kitty_pictures(t.command("gopen 2,40,30 : gopen 1,64,48"))],
                         [64, 40])
        pictures = kitty_pictures(t.command('gbox 4,4,20,10,&HFF,fill : gselect 2 : gcircle 20,15,8,&HFF0000,fill : '
                                            'gsave "w2.bmp" : gselect 1 : gsave "w1.bmp"'))
        self.assertEqual([decoded_png(png) for _, png in pictures],
                         [bmp_rows(self.path("w1.bmp")), bmp_rows(self.path("w2.bmp"))])
        self.assertEqual(pictures[0][0], {b"a": b"T", b"f": b"100", b"q": b"2", b"m": b"0"})  # at its own size
        # Reading a window, or drawing it as it was, changes nothing.
        self.assertEqual(kitty_pictures(t.command("print gget(1,1) : gput 1,1,gget(1,1)")), [])

    def test_pictures_come_where_the_interpreter_waits_and_not_while_it_runs(self):
        t = self.start(VELMORA_INLINE="kitty")
        for line in ("10 gopen 1,32,32", '20 for k = 0 to 31 : gput k,0,0 : a$ = inkey$ : next : print "loop"+"ed"',
                     '30 gput 0,1,0 : sleep 10 : print "sl"+"ept"', '40 gput 0,2,0 : input "name";a$',
                     "50 gput 0,3,0 : line input b$", '60 print "e"+"nd"'):
            t.send(line + "\r")
        t.send("run\r")
        self.assertEqual(kitty_pictures(t.read_until(b"looped")), [])
        self.assertEqual(len(kitty_pictures(t.read_until(b"slept"))), 1)
        # The prompt already written goes below the picture.
        before_prompt = t.read_until(b"\x1b\\\r\nname")
        self.assertEqual(len(kitty_pictures(before_prompt)), 1)
        self.assertIn(b"name\r\x1b[K\x1b_G", before_prompt)
        t.send("x\ry\r")
        self.assertEqual(len(kitty_pictures(t.read_until(b"end\r\nOK\r\n"))), 1)  # line input's
        t.send("gput 9,9,0 : edit 60\r")
        self.assertEqual(len(kitty_pictures(t.read_until(b'   60 print "e"+"nd"'))), 1)

    def test_a_program_from_the_command_line_shows_its_windows_when_it_ends(self):
        with open(self.path("draw.bas"), "w") as program:
            program.write('10 gopen 3,50,20 : gline 0,0,49,19,&HFF00 : gsave "p.bmp" : print "drawn"\n')
        t = self.start("draw.bas", VELMORA_INLINE="iterm")
        output = t.read_until(b"\x07\r\n")
        self.assertEqual(t.process.wait(timeout=30), 0)
        self.assertIn(b"drawn\r\n\x1b]1337;File=inline=1;size=", output)
        (keys, payload), = ITERM.findall(output)
        png = base64.b64decode(payload)
        self.assertEqual(keys, b"inline=1;size=%d" % len(png))
        self.assertEqual(decoded_png(png), bmp_rows(self.path("p.bmp")))
        # A program that ends the interpreter with system shows them too.
        with open(self.path("ends.bas"), "w") as program:
            program.write('10 gopen 3,50,20 : gline 0,19,49,0,&HFF : gsave "q.bmp" : system\n')
        t = self.start("ends.bas", VELMORA_INLINE="iterm")
        output = t.read_until(b"\x07")
        self.assertEqual(t.process.wait(timeout=30), 0)
        (keys, payload), = ITERM.findall(output)
        self.assertEqual(decoded_png(base64.b64decode(payload)), bmp_rows(self.path("q.bmp")))

    def test_a_picture_wider_than_the_terminal_is_shown_at_its_width(self):
        t = self.start(VELMORA_INLINE="kitty")
        (keys, png), = kitty_pictures(t.command("gopen 1,1000,100"))
        self.assertEqual((keys[b"c"], keys[b"r"]), (b"80", b"4"))
        self.assertEqual(len(decoded_png(png)[0]), 1000)

    def test_piped_output_stays_clean_text(self):
        result = subprocess.run([EXECUTABLE], input=b"gopen 1,8,8\nprint 1\n", capture_output=True, timeout=30,
                                env=dict(os.environ, LC_ALL="C.UTF-8", VELMORA_INLINE="kitty"))
        self.assertEqual(result.stdout, banner().encode() + b"\nOK\nOK\n1\nOK\n")

    def test_the_terminal_is_asked_which_protocol_it_takes(self):
        t = self.start(answer="kitty")
        self.assertEqual(len(kitty_pictures(t.command("gopen 1,8,8"))), 1)

        t = self.start(answer="sixel")
        sixel, = SIXEL.findall(t.command('gopen 1,60,36 : gbox 0,0,30,18,&HFF,fill : gcircle 40,20,10,&HC000,fill : '
                                         'gsave "s.bmp"'))
        shown, expected = decoded_sixel(sixel), bmp_rows(self.path("s.bmp"))
        self.assertEqual((len(shown[0]), len(shown)), (60, 36))
        self.assertTrue(all(near(a, b) for row, want in zip(shown, expected) for a, b in zip(row, want)))

        t = self.start(answer="plain")
        blocks = BLOCKS.search(t.command("gopen 1,160,100 : gclear &HFF0000 : gbox 0,0,80,100,&HFF,fill"))
        rows = block_cells(blocks.group(0))
        self.assertEqual([len(row) for row in rows], [16] * 5)
        for row in rows:
            for column, colours in enumerate(row):
                want = (255, 0, 0) if column < 8 else (0, 0, 255)
                self.assertTrue(all(near(colour, want) for colour in colours), (column, colours))

    def test_the_environment_names_terminals_without_asking(self):
        t = self.start(answer="kitty", TERM_PROGRAM="WezTerm")
        self.assertEqual(len(ITERM.findall(t.command("gopen 1,8,8"))), 1)
        self.assertEqual(t.queries, 0)

        t = self.start(answer="kitty", TMUX="/tmp/tmux-0/default,1,0", TERM_PROGRAM="tmux",
                       TERM_PROGRAM_VERSION="3.3a")
        self.assertIsNotNone(BLOCKS.search(t.command("gopen 1,16,16")))
        self.assertEqual(t.queries, 0)

    def test_a_silent_terminal_is_told_once_and_shown_nothing(self):
        t = self.start()
        first = t.command("gopen 1,8,8")
        second = t.command("gput 1,1,0 : gopen 2,8,8")
        self.assertIn(NOTICE, first)
        self.assertNotIn(NOTICE, second)
        self.assertEqual(t.queries, 1)
        for output in (first, second):
            self.assertEqual(kitty_pictures(output), [])
            self.assertIsNone(ITERM.search(output) or SIXEL.search(output))

        t = self.start(VELMORA_INLINE="off")
        self.assertNotIn(NOTICE, t.command("gopen 1,8,8"))
        self.assertEqual(t.queries, 0)


if __name__ == "__main__":
    EXECUTABLE = os.path.abspath(sys.argv.pop(1))
    unittest.main()
