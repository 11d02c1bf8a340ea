#!/usr/bin/env python3
"""Terminal behaviour through a pseudo terminal: line editing with pre-typed text,
history, single keys without echo, and the terminal mode restored after Ctrl-C."""
import fcntl
import os
import re
import select
import subprocess
import sys
import tempfile
import termios
import time
import unittest

EXECUTABLE = None


def take_terminal():
    """Makes the pseudo terminal the child's controlling terminal, so Ctrl-C signals it."""
    os.setsid()
    fcntl.ioctl(0, termios.TIOCSCTTY, 0)


class Session:
    """The interpreter on the slave side of a pseudo terminal."""

    def __init__(self, *args, command=None):
        """The interpreter with `args`, or `command` (a list) in its place."""
        self.master, self.slave = os.openpty()
        self.original_mode = termios.tcgetattr(self.slave)
        env = dict(os.environ, LC_ALL="C.UTF-8", TERM="xterm")
        self.process = subprocess.Popen(command or [EXECUTABLE, *args], stdin=self.slave, stdout=self.slave,
                                        stderr=self.slave, env=env, preexec_fn=take_terminal)
        self.output = b""

    def read_until(self, expected, timeout=5.0):
        deadline = time.time() + timeout
        while expected not in self.output:
            remaining = deadline - time.time()
            if remaining <= 0:
                raise AssertionError(f"{expected!r} not seen in {self.output!r}")
            ready, _, _ = select.select([self.master], [], [], remaining)
            if ready:
                try:
                    self.output += os.read(self.master, 4096)
                except OSError:
                    break
                # Screen-control sequences (bracketed paste and the like) carry no text.
                self.output = re.sub(rb"\x1b\[[?0-9;]*[A-Za-z]", b"", self.output)
        return self.output

    def send(self, text):
        os.write(self.master, text.encode() if isinstance(text, str) else text)

    def mark(self):
        """Forgets what was read so far, so later checks see only new output."""
        self.output = b""

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(timeout=5)
        os.close(self.master)
        os.close(self.slave)


class TerminalTest(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        os.chdir(self.directory.name)
        self.session = Session()
        self.session.read_until(b"OK\r\n")

    def tearDown(self):
        self.session.close()
        self.directory.cleanup()

    def test_edit_offers_the_line_ready_to_edit(self):
        s = self.session
        s.send('100 print "hello"\r')
        s.send("edit 100\r")
        s.read_until(b'  100 print "hello"')
        s.send(' ; "world"\r')
        s.mark()
        s.send("run\r")
        s.read_until(b"helloworld")

    def test_history_recalls_a_line(self):
        s = self.session
        s.send("print 6*7\r")
        s.read_until(b"42")
        s.mark()
        s.send("\x1b[A\r")  # Up arrow, then Enter
        s.read_until(b"42")

    def test_inkey_returns_a_key_without_echo(self):
        s = self.session
        s.send('10 k$ = "" : while len(k$) = 0 : k$ = inkey$ : wend : print "key"; asc(k$)\r')
        s.send("run\r")
        time.sleep(0.3)
        s.mark()
        s.send("7")
        out = s.read_until(b"key55")
        self.assertNotIn(b"7", out.split(b"key55")[0])

    def test_text_before_an_inkey_loop_shows_while_it_polls(self):
        s = self.session
        s.send('10 print "press"; : k$ = "" : while len(k$) = 0 : k$ = inkey$ : wend : print k$\r')
        s.send("run\r")
        s.read_until(b"press")
        s.send("q")
        s.read_until(b"pressq")

    def test_text_before_a_compiled_loop_shows_while_it_runs(self):
        # Output without a newline waits in the writer; the statements of the loop
        # flush it once it is 50 ms old, which they only look at while it waits.
        s = self.session
        s.send('10 print "busy"; : for k=1 to 1e12: x=x+1: next\r')
        s.send("run\r")
        s.read_until(b"run\r\n")
        s.mark()
        s.read_until(b"busy")
        self.interrupt_running_program()

    def test_ctrl_c_stops_a_program_and_the_mode_is_restored(self):
        s = self.session
        s.send("10 goto 10\r")
        s.send("run\r")
        time.sleep(0.3)
        s.mark()
        s.send("\x03")
        s.read_until(b"^C\r\nOK\r\n")
        self.assertNotIn(b"^C^C", s.output)
        s.send("system\r")
        s.process.wait(timeout=5)
        self.assertEqual(termios.tcgetattr(s.slave)[3], s.original_mode[3])

    def interrupt_running_program(self):
        """Ctrl-C until the program stops: one that comes before the run loop starts
        is cleared with the flag, and a user would press it again."""
        s = self.session
        for _ in range(10):
            time.sleep(0.3)
            s.send("\x03")
            try:
                return s.read_until(b"^C\r\nOK\r\n", timeout=1.0)
            except AssertionError:
                continue
        self.fail(f"the program did not stop: {s.output!r}")

    def test_ctrl_c_in_a_compiled_loop_and_cont_go_on_at_the_same_statement(self):
        self.interrupt_and_continue(["10 for k=1 to 1e12: x=x+1: next"])

    def test_ctrl_c_in_a_compiled_loop_over_lines_and_cont_go_on_at_the_same_statement(self):
        self.interrupt_and_continue(["10 for k=1 to 1e12", "20 x=x+1", "30 next"])

    def test_ctrl_c_in_a_compiled_loop_with_a_subroutine_and_cont_go_on_at_the_same_statement(self):
        self.interrupt_and_continue(["10 for k=1 to 1e12", "20 gosub 40", "30 next: end", "40 if k>0 then x=x+1: return"])

    def interrupt_and_continue(self, program):
        s = self.session
        for line in program:
            s.send(line + "\r")
        s.send("run\r")
        for _ in range(2):
            self.interrupt_running_program()
            s.mark()
            # x is one behind k only between next and x=x+1: a statement lost or run
            # twice on the way out or back in would show here.
            s.send("print k-x; k > 1000\r")
            out = s.read_until(b"OK\r\n")
            self.assertRegex(out, rb"\n\r?[01]-1\r\nOK")
            s.mark()
            s.send("cont\r")
        self.interrupt_running_program()

    def test_ctrl_c_at_the_prompt(self):
        s = self.session
        s.send("print 1")
        time.sleep(0.2)
        s.send("\x03")
        s.read_until(b"print 1^C\r\nOK\r\n")
        s.send("system\r")
        s.process.wait(timeout=5)
        self.assertEqual(termios.tcgetattr(s.slave)[3], s.original_mode[3])

    def test_auto_offers_lines_until_ctrl_c(self):
        s = self.session
        s.send('110 print "kept"\r')
        s.send("auto 100,10\r")
        s.read_until(b"  100 ")
        s.send('print "new"\r')
        s.read_until(b'  110 print "kept"')
        s.send("\r")
        s.read_until(b"  120 ")
        s.send("\x03")
        s.read_until(b"^C\r\nOK\r\n")
        s.mark()
        s.send("list\r")
        s.read_until(b'  100 print "new"\r\n  110 print "kept"\r\nOK')

    def test_auto_keeps_an_unchanged_long_line_whole(self):
        s = self.session
        text = 'print "' + "a" * 250 + '"'  # 258 bytes, more than a typed line holds
        s.send('open "o",1,"long.bas" : print #1,"10 print ";chr$(34);string$(250,97);chr$(34) : close 1\r')
        s.send('load "long.bas"\r')
        s.send("auto 10\r")
        s.read_until(b"   10 ")
        s.send("\r")
        s.read_until(b"   20 ")
        s.send("\x03")
        s.read_until(b"^C\r\nOK\r\n")
        s.mark()
        s.send("print len(\"x\")\r")  # something that does not change the program
        s.read_until(b"1\r\nOK")
        s.mark()
        s.send("list\r")
        s.read_until(text.encode() + b"\r\nOK")


if __name__ == "__main__":
    EXECUTABLE = os.path.abspath(sys.argv.pop(1))
    unittest.main()
