#!/usr/bin/env python3
"""The interpreter at a real terminal, read back through a terminal emulator (pyte):
pastes, prompts and redraws, Ctrl-C and Ctrl-D, a resize, a stop and fg, long and
unusual lines, and the keys that programs see."""
import fcntl
import os
import re
import select
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import time
import unicodedata
import unittest

sys.path.append("/usr/lib/python3/dist-packages")  # Debian's python3-pyte
import pyte  # noqa: E402

EXECUTABLE = None
TIMEOUT = 20.0  # generous: the machine may be loaded


def take_terminal():
    """Makes the pseudo terminal the child's controlling terminal, so Ctrl-C signals it."""
    os.setsid()
    fcntl.ioctl(0, termios.TIOCSCTTY, 0)


class Terminal:
    """The interpreter on a pseudo terminal of 100 x 30, its output fed to an emulator."""

    def __init__(self, *args, locale="C.UTF-8", columns=100, rows=30):
        self.master, self.slave = os.openpty()
        self.resize(columns, rows)
        self.cooked = termios.tcgetattr(self.slave)
        env = dict(os.environ, LC_ALL=locale, TERM="xterm", INPUTRC="/dev/null")
        self.process = subprocess.Popen([EXECUTABLE, *args], stdin=self.slave, stdout=self.slave,
                                        stderr=self.slave, env=env, preexec_fn=take_terminal)
        self.raw = b""

    def resize(self, columns, rows):
        fcntl.ioctl(self.master, termios.TIOCSWINSZ, struct.pack("HHHH", rows, columns, 0, 0))
        if hasattr(self, "screen"):
            self.screen.resize(rows, columns)
        else:
            self.screen = pyte.Screen(columns, rows)
            self.stream = pyte.ByteStream(self.screen)

    def pump(self, seconds):
        deadline = time.time() + seconds
        while (remaining := deadline - time.time()) > 0:
            if not select.select([self.master], [], [], remaining)[0]:
                continue
            try:
                data = os.read(self.master, 65536)
            except OSError:
                return False
            if not data:
                return False
            self.raw += data
            self.stream.feed(data)
            return True
        return False

    def rows(self):
        return [row.rstrip() for row in self.screen.display]

    def last_rows(self, count):
        rows = self.rows()
        while rows and not rows[-1]:
            rows.pop()
        return rows[-count:]

    def text(self):
        return "\n".join(self.rows())

    def wait(self, condition, what):
        deadline = time.time() + TIMEOUT
        while not condition():
            if time.time() > deadline:
                raise AssertionError(f"{what} not seen; screen:\n{self.text()}")
            self.pump(0.1)

    def wait_text(self, text, count=1):
        self.wait(lambda: self.text().count(text) >= count, repr(text))

    def finish(self):
        """Reads everything until the interpreter has ended."""
        self.process.wait(timeout=TIMEOUT)
        while self.pump(0.2):
            pass

    def send(self, keys):
        os.write(self.master, keys.encode() if isinstance(keys, str) else keys)

    def output_since(self, mark):
        """What was written after `mark` (a length of the raw output), screen controls left out."""
        return re.sub(rb"\x1b\[[?0-9;]*[A-Za-z]", b"", self.raw[mark:]).decode(errors="replace")

    def command(self, line, expect):
        """Types a line and waits until the output that follows holds `expect`."""
        mark = len(self.raw)
        self.send(line + "\r")
        self.wait(lambda: expect in self.output_since(mark), repr(expect))

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(timeout=TIMEOUT)
        os.close(self.master)
        os.close(self.slave)


class ScreenTest(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        os.chdir(self.directory.name)
        self.terminals = []

    def tearDown(self):
        for terminal in self.terminals:
            terminal.close()
        self.directory.cleanup()

    def start(self, *args, **options):
        terminal = Terminal(*args, **options)
        self.terminals.append(terminal)
        if not args:
            terminal.wait_text("OK")
        return terminal

    def assert_rows(self, t, expected, last_line):
        """The rows from the one that starts with expected[0] are `expected`."""
        t.wait_text(last_line)
        rows = t.rows()
        first = max(i for i, row in enumerate(rows) if row.startswith(expected[0]))
        self.assertEqual(rows[first:first + len(expected)], expected)

    def test_a_pasted_program_enters_line_by_line(self):
        t = self.start()
        t.send('\x1b[200~10 print "one"\r20 print "two"\r30 print "three"\r\x1b[201~')
        t.command("list 20", '   20 print "two"')
        self.assert_rows(t, ["list 20", '   20 print "two"', "OK"], "list 20")
        # line input takes the first line of a paste; the rest waits for the next read.
        program = '40 line input a$ : line input b$ : print "<";a$;"|";b$;">" : end'
        t.command(program, program)
        t.command("run", "run")
        t.send("\x1b[200~first\r\tsecond\r\x1b[201~")
        t.wait_text("<first|\tsecond>".expandtabs(8))

    def test_each_prompt_shows_once(self):
        t = self.start()
        t.send("auto 100,10\r")
        t.wait_text("  100")
        t.command("print 1", "  110 ")
        t.command("print 2", "  120 ")
        t.command("", "  130 ")
        t.send("\x03")
        self.assert_rows(t, ["  100 print 1", "  110 print 2", "  120", "  130 ^C", "OK"], "  130 ^C")
        t.command("input a,b,c", "? ")
        t.command("1", "?")
        t.command("2", "?")
        t.send("\x0c")  # Ctrl-L redraws only the current prompt
        t.wait(lambda: t.rows()[0] == "?", "the prompt redrawn alone")

    def test_ctrl_d_at_an_input_leaves_later_output_alone(self):
        t = self.start()
        for statement in ("input x", "line input a$", "auto"):
            t.send(statement + "\r\x04")
            t.command("print 5", "5\r\nOK")
            self.assert_rows(t, ["print 5", "5", "OK"], "print 5")
            t.send("\x0c")
            t.wait(lambda: "print 5" not in t.text(), "a cleared screen")

    def test_ctrl_c_stops_a_loop_around_system(self):
        t = self.start()
        t.send('10 print "ti";"ck" : system "sleep 5" : goto 10\r')
        t.command("run", "tick")
        t.send("\x03")
        t.wait_text("OK", 2)
        t.command("print 3+4", "7\r\nOK")
        self.assertEqual(t.rows().count("tick"), 1)

    def test_one_ctrl_c_gives_one_report(self):
        """Ctrl-C in a direct sleep, in a program's last statement, in the help pager."""
        t = self.start()
        t.send('10 print "z";"z"; : sleep 5000\r')
        for command, shown in (('print "z";"z"; : sleep 5000', "zz"), ("run", "zz"), ("help", "CR:続き ESC:中止")):
            t.command(command, shown)
            t.send("\x03")
            t.command("print 9", "9\r\nOK")
            self.assertEqual(t.last_rows(5), [shown + "^C", "OK", "print 9", "9", "OK"])


    def test_the_shell_prompt_starts_a_row_of_its_own(self):
        with open("bad.bas", "w") as handle:
            handle.write("10 print 1+\n")
        message = "エラー".encode()
        t = self.start("bad.bas")
        t.finish()
        self.assertTrue(t.raw.endswith(b"^ " + message + b"\r\n"), t.raw)
        piped = subprocess.run([EXECUTABLE, "bad.bas"], capture_output=True).stdout
        self.assertTrue(piped.endswith(b"^ " + message), piped)
        t = self.start("-c")
        t.wait_text(":")
        t.send("\x03")
        t.finish()
        self.assertTrue(t.raw.endswith(b":^C\r\n"), t.raw)

    def test_a_resize_while_editing_redraws_the_line(self):
        t = self.start()
        line = 'print "' + "a" * 130
        t.send(line)
        t.wait_text("a" * 93)
        t.resize(60, 30)
        wrapped = [line[:60], line[60:120], line[120:]]
        t.wait(lambda: "\n".join(wrapped) in t.text(), "the line wrapped at 60 columns")
        t.command('"', "OK")
        line += '"'
        self.assert_rows(t, [line[:60], line[60:120], line[120:], "a" * 60, "a" * 60, "a" * 10, "OK"], line[:60])

    def continue_in_the_shells_mode(self, t):
        """What fg does after Ctrl-Z: the shell left the terminal in its own mode."""
        termios.tcsetattr(t.slave, termios.TCSANOW, t.cooked)
        os.kill(t.process.pid, signal.SIGCONT)
        t.wait(lambda: not termios.tcgetattr(t.slave)[3] & termios.ECHO, "the interpreter's mode back")

    def test_after_a_stop_the_terminal_mode_comes_back(self):
        t = self.start()
        self.continue_in_the_shells_mode(t)
        t.command("print 12\x1b[D3", "132\r\nOK")  # Left arrow edits the line
        t.send('10 print "go";"!" : k$ = "" : while len(k$) = 0 : k$ = inkey$ : wend : print "key";asc(k$)\r')
        t.command("run", "go!")
        self.continue_in_the_shells_mode(t)
        mark = len(t.raw)
        t.send("a")
        t.wait(lambda: "key97" in t.output_since(mark), "key97")
        self.assertNotIn("a", t.output_since(mark).split("key97")[0])

    def test_a_long_line_is_cut_where_a_character_ends(self):
        t = self.start()
        t.command("10 rem " + "あ" * 90, "長すぎる行を 253 バイトで切った")
        t.command('save "cut.bas"', "OK")
        with open("cut.bas", "rb") as handle:
            self.assertEqual(handle.read().decode(), "   10 rem " + "あ" * 82 + "\n")

    def test_columns_count_as_the_echo_shows_them(self):
        with open("caret.bas", "wb") as handle:
            handle.write('10 a$ = "\t\x01e\u0301" : b = 1 + \n'.encode())
        t = self.start()
        t.command('load "caret.bas" : run', "OK")
        echo = next(row for row in range(t.screen.lines) if t.rows()[row].startswith("   10"))
        equals = max(column for column, cell in t.screen.buffer[echo].items() if cell.data == "=")
        self.assertEqual(t.rows()[echo + 1].index("^"), equals + 1)
        t.command('print "e\u0301";pos(0)', "OK")
        self.assertIn(unicodedata.normalize("NFC", "e\u03012"), unicodedata.normalize("NFC", t.text()))

    def test_enter_and_backspace_read_as_on_the_dos_console(self):
        t = self.start()
        t.send('10 k$ = "" : while len(k$) = 0 : k$ = inkey$ : wend : print asc(k$);",";asc(input$(1))\r')
        t.send("run\r")
        t.send("\r\x7f")
        t.wait_text("13,8")

    def test_output_without_a_newline_shows_while_the_program_runs(self):
        t = self.start()
        t.send('10 print "."; : for j = 1 to 100000 : next j : goto 10\r')
        t.command("run", "...")
        t.send("\x03")
        t.wait_text("^C")

    def test_keys_typed_while_a_program_runs_wait_unechoed(self):
        t = self.start()
        t.send('10 print "wa";"it" : sleep 3000 : line input a$ : print "<";a$;">"\r')
        t.command("run", "wait")
        t.command("hello", "<hello>")
        self.assertEqual(t.text().count("hello"), 2)  # as the line editor shows it, and printed

    def test_the_help_pager_turns_pages_on_arrows_and_page_down(self):
        t = self.start()
        t.command("help", "CR:続き")
        t.send("\x1b[B")
        t.wait_text("実数関数")
        t.send("\x1b[6~")
        t.wait_text("描画コマンド")
        t.send("\x1b")
        t.wait(lambda: t.last_rows(1) == ["OK"], "OK")

    def test_under_a_single_byte_locale_editing_keeps_characters_whole(self):
        t = self.start(locale="C")
        t.command('print "あい"\x1b[D\x1b[Dう', "あうい\r\nOK")

    def test_answers_have_a_history_of_their_own(self):
        t = self.start()
        t.command("input a$", "? ")
        t.command("answer", "OK")
        t.command("\x1b[A", "? ")  # the command again, not the answer
        t.command("\x1b[A", "OK")  # at the question, the answer
        t.command('print a$;"!"', "answer!")


if __name__ == "__main__":
    EXECUTABLE = os.path.abspath(sys.argv.pop(1))
    unittest.main()
