#!/usr/bin/env python3
"""The interpreter at a real terminal, its output read back through a terminal
emulator (pyte) or as the exact bytes written."""
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
    os.setsid()
    fcntl.ioctl(0, termios.TIOCSCTTY, 0)


class Terminal:
    """The interpreter on a pseudo terminal of 100 x 30 columns and rows."""

    def __init__(self, *args, locale="C.UTF-8"):
        self.master, self.slave = os.openpty()
        self.screen = pyte.Screen(100, 30)
        self.stream = pyte.ByteStream(self.screen)
        self.resize(100, 30)
        self.cooked = termios.tcgetattr(self.slave)
        env = dict(os.environ, LC_ALL=locale, TERM="xterm", INPUTRC="/dev/null")
        self.process = subprocess.Popen([EXECUTABLE, *args], stdin=self.slave, stdout=self.slave,
                                        stderr=self.slave, env=env, preexec_fn=take_terminal)
        self.raw = b""

    def resize(self, columns, rows):
        fcntl.ioctl(self.master, termios.TIOCSWINSZ, struct.pack("HHHH", rows, columns, 0, 0))
        self.screen.resize(rows, columns)

    def pump(self):
        """Reads what arrives within 0.1 s; False when nothing did."""
        if not select.select([self.master], [], [], 0.1)[0]:
            return False
        data = os.read(self.master, 65536)
        self.raw += data
        self.stream.feed(data)
        return True

    def rows(self):
        rows = [row.rstrip() for row in self.screen.display]
        while rows and not rows[-1]:
            rows.pop()
        return rows

    def text(self):
        return "\n".join(self.rows())

    def wait(self, condition, what):
        deadline = time.time() + TIMEOUT
        while not condition():
            if time.time() > deadline:
                raise AssertionError(f"{what} not seen; screen:\n{self.text()}")
            self.pump()

    def send(self, keys):
        os.write(self.master, keys.encode())

    def output_since(self, mark):
        return re.sub(rb"\x1b\[[?0-9;]*[A-Za-z]", b"", self.raw[mark:]).decode(errors="replace")

    def command(self, line, expect):
        """Types a line and waits until the output that follows holds `expect`."""
        mark = len(self.raw)
        self.send(line + "\r")
        self.wait(lambda: expect in self.output_since(mark), repr(expect))

    def finish(self):
        self.process.wait(timeout=TIMEOUT)
        while self.pump():
            pass
        return self.raw

    def fg(self):
        """What fg does after Ctrl-Z: the shell has left the terminal in its own mode."""
        termios.tcsetattr(self.slave, termios.TCSANOW, self.cooked)
        os.kill(self.process.pid, signal.SIGCONT)

    def continue_in_the_shells_mode(self):
        self.fg()
        self.wait(lambda: not termios.tcgetattr(self.slave)[3] & termios.ECHO, "the interpreter's mode")


def running(command_line):
    """True when some process runs with exactly this command line (NUL-separated)."""
    for entry in os.listdir("/proc"):
        try:
            with open(f"/proc/{entry}/cmdline", "rb") as handle:
                if handle.read() == command_line.encode():
                    return True
        except OSError:
            continue
    return False


class ScreenTest(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        os.chdir(self.directory.name)
        self.terminals = []

    def tearDown(self):
        for t in self.terminals:
            if t.process.poll() is None:
                t.process.kill()
            t.process.wait(timeout=TIMEOUT)
            os.close(t.master)
            os.close(t.slave)
        self.directory.cleanup()

    def start(self, *args, **options):
        self.terminals.append(Terminal(*args, **options))
        t = self.terminals[-1]
        if not args:
            t.wait(lambda: "OK" in t.text(), "OK")
        return t

    def assert_last_rows(self, t, expected):
        t.wait(lambda: t.rows()[-len(expected):] == expected, expected)

    def test_pastes_enter_line_by_line_and_prompts_show_once(self):
        t = self.start()
        t.send('\x1b[200~10 print "one"\r20 print "two"\r30 print "three"\r\x1b[201~')
        self.assert_last_rows(t, ["OK", '10 print "one"', '20 print "two"', '30 print "three"'])  # each line shown
        t.command("list 20", "OK")
        self.assert_last_rows(t, ["list 20", '   20 print "two"', "OK"])
        t.command('40 line input a$ : line input b$ : print "<";a$;"|";b$;">" : end', "")
        t.command("run 40", "")
        t.send("\x1b[200~first\r\tsecond\r\x1b[201~")  # the rest of a paste waits for the next read
        t.wait(lambda: "<first|\tsecond>".expandtabs(8) in t.text(), "both lines")
        t.command("auto 100,10", "  100 ")
        for typed, next_prompt in (("print 1", "  110 "), ("print 2", "  120 "), ("", "  130 ")):
            t.command(typed, next_prompt)
        t.send("\x03")
        self.assert_last_rows(t, ["  100 print 1", "  110 print 2", "  120", "  130 ^C", "OK"])
        for typed in ("input a,b,c", "1", "2"):
            t.command(typed, "? ")
        t.send("\x0c")  # Ctrl-L redraws the current prompt alone
        t.wait(lambda: t.rows() == ["?"], "the prompt redrawn alone")

    def test_ctrl_d_and_ctrl_c(self):
        t = self.start()
        line = 'print "' + "b" * 130
        t.send(line)
        t.wait(lambda: line[100:] in t.text(), "the line")
        t.send("\x03")  # "^C" after the last row the line fills, which stays as it was
        self.assert_last_rows(t, ["OK", line[:100], line[100:] + "^C", "OK"])
        for statement in ("input x", "line input a$", "auto"):
            t.send(statement + "\r\x04")  # end of input must leave later output alone
            t.command("print 5", "5\r\nOK")
            self.assert_last_rows(t, ["^C", "OK", "print 5", "5", "OK"])
        t.send('10 print "ti";"ck" : system "sleep 5" : goto 10\r')
        mark = len(t.raw)
        t.command("run", "tick")
        t.send("\x03")
        t.wait(lambda: "^C\r\nOK" in t.output_since(mark), "^C")
        self.assertEqual(t.output_since(mark).count("tick"), 1)
        # One report for a Ctrl-C in a direct sleep, a program's last statement, the help pager.
        t.send('10 print "z";"z"; : sleep 5000\r')
        for command, shown in (('print "z";"z"; : sleep 5000', "zz"), ("run", "zz"), ("help", "CR:続き ESC:中止")):
            t.command(command, shown)
            t.send("\x03")
            t.command("print 9", "9\r\nOK")
            self.assert_last_rows(t, [shown + "^C", "OK", "print 9", "9", "OK"])

    def test_the_shell_prompt_starts_a_row_of_its_own(self):
        with open("bad.bas", "w") as handle:
            handle.write("10 print 1+\n")
        self.assertTrue(self.start("bad.bas").finish().endswith("^ エラー\r\n".encode()))
        piped = subprocess.run([EXECUTABLE, "bad.bas"], capture_output=True).stdout
        self.assertTrue(piped.endswith("^ エラー\n".encode()), piped)  # a report ends its row, piped too
        t = self.start("-c")
        t.wait(lambda: ":" in t.text(), ":")
        t.send("\x03")
        self.assertTrue(t.finish().endswith(b":^C\r\n"))

    def test_a_resize_and_a_stop_while_editing(self):
        t = self.start()
        line = 'print "' + "a" * 130
        t.send(line)
        t.wait(lambda: "a" * 93 in t.text(), "the line")
        t.resize(60, 30)
        t.wait(lambda: "\n".join([line[:60], line[60:120], line[120:]]) in t.text(), "the line at 60 columns")
        t.command('"', "OK")
        self.assert_last_rows(t, [line[60:120], line[120:] + '"', "a" * 60, "a" * 60, "a" * 10, "OK"])
        t.continue_in_the_shells_mode()
        t.command("print 12\x1b[D3", "132\r\nOK")  # Left arrow still edits
        t.send('10 print "go";"!" : k$ = "" : while len(k$) = 0 : k$ = inkey$ : wend : print "key";asc(k$)\r')
        t.command("run", "go!")
        t.continue_in_the_shells_mode()
        mark = len(t.raw)
        t.send("a")  # read at once, not echoed
        t.wait(lambda: "key97" in t.output_since(mark), "key97")
        self.assertEqual(t.output_since(mark).split("key97")[0], "")

    def test_a_stop_inside_a_command_keeps_one_report_of_ctrl_c(self):
        t = self.start()
        line_mode = lambda: termios.tcgetattr(t.slave)[3] & termios.ICANON
        t.send('system "read x" : print "sec";"ond" : system "sleep 30"\r')
        t.wait(line_mode, "the command's mode")
        t.fg()  # while the command runs
        t.send("\r")
        t.wait(lambda: "second" in t.text(), "second")
        t.wait(lambda: line_mode() and running("sleep\x0030\x00"), "the next command")
        mark = len(t.raw)
        t.send("\x03")
        t.wait(lambda: "^C\r\nOK" in t.output_since(mark), "^C")
        self.assertEqual(t.output_since(mark).count("^C"), 1)

    def test_ctrl_c_reports_once_after_all_the_output(self):
        t = self.start()

        def interrupt(keys, seen):
            mark = len(t.raw)
            t.send(keys)
            t.wait(lambda: seen in t.output_since(mark), repr(seen))
            time.sleep(0.5)  # unread, the output waits in the terminal's queue
            t.send("\x03")
            t.wait(lambda: "\r\nOK" in t.output_since(mark).split("^C", 1)[-1], "OK")
            return t.output_since(mark)

        printed = interrupt("10 k = k + 1 : print k : goto 10\rrun\r", "\r\n100\r\n").split("^C", 1)[0]
        numbers = [int(n) for n in re.findall(r"^(\d+)\r$", printed, re.M)]
        self.assertEqual(numbers, list(range(numbers[0], numbers[0] + len(numbers))), "no output dropped")
        self.assertTrue(printed.endswith(f"{numbers[-1]}\r\n"), printed[-20:])
        # A megabyte of listing in few lines, which load quickly in a sanitizer build too.
        with open("long.bas", "w") as handle:
            handle.writelines(f"{n} rem {'x' * 200}\n" for n in range(1, 5001))
        t.command('load "long.bas"', "OK")
        # A statement after the listing stops for the Ctrl-C as well, and says so.
        for command, reports in (("list", 1), ("list : print 5", 2)):
            self.assertEqual(interrupt(command + "\r", "   20 rem").count("^C"), reports, command)

    def test_long_lines_and_columns(self):
        t = self.start()
        t.command("10 rem " + "あ" * 90, "長すぎる行を 253 バイトで切った")
        t.command('save "cut.bas"', "OK")
        with open("cut.bas", "rb") as handle:
            self.assertEqual(handle.read().decode(), "   10 rem " + "あ" * 82 + "\n")
        with open("caret.bas", "wb") as handle:
            handle.write('10 a$ = "\t\x01e\u0301" : b = 1 + \n'.encode())
        t.command('load "caret.bas" : run', "OK")
        echo = len(t.rows()) - 3
        equals = max(column for column, cell in t.screen.buffer[echo].items() if cell.data == "=")
        self.assertEqual(t.rows()[echo + 1].index("^"), equals + 1)  # the caret under the blank after "="
        t.command('print "e\u0301";pos(0)', "OK")
        self.assertEqual(unicodedata.normalize("NFC", t.rows()[-2]), unicodedata.normalize("NFC", "e\u03012"))

    def test_keys_a_program_reads_and_keys_typed_ahead(self):
        t = self.start()
        t.send('10 k$ = "" : while len(k$) = 0 : k$ = inkey$ : wend : print asc(k$);",";asc(input$(1))\r')
        t.command("run", "")
        t.send("\r\x7f")  # Enter and Backspace as on the DOS console
        t.wait(lambda: "13,8" in t.text(), "13,8")
        t.send('10 print "."; : for j = 1 to 100000 : next j : goto 10\r')
        t.command("run", "...")  # shown while the program runs
        t.send("\x03")
        t.send('10 print "wa";"it" : sleep 3000 : line input a$ : print "<";a$;">"\r')
        t.command("run", "wait")
        t.command("hello", "<hello>")
        self.assertEqual(t.text().count("hello"), 2)  # not echoed while the program slept
        t.command("help", "CR:続き")
        t.send("\x1b[B")  # arrows and PgDn turn pages, ESC alone ends
        t.wait(lambda: "実数関数" in t.text(), "the second page")
        t.send("\x1b[6~")
        t.wait(lambda: "描画コマンド" in t.text(), "the fourth page")
        t.send("\x1b")
        self.assert_last_rows(t, ["CR:続き ESC:中止", "OK"])

    def test_answers_have_a_history_of_their_own(self):
        t = self.start()
        t.command("input a$", "? ")
        t.command("answer", "OK")
        t.command("\x1b[A", "? ")  # the command again, not the answer
        t.command("\x1b[A", "OK")  # at the question, the answer
        t.command('print a$;"!"', "answer!")

    def test_a_single_byte_locale_edits_whole_characters(self):
        t = self.start(locale="C")
        t.command('print "あい"\x1b[D\x1b[Dう', "あうい\r\nOK")


if __name__ == "__main__":
    EXECUTABLE = os.path.abspath(sys.argv.pop(1))
    unittest.main()
