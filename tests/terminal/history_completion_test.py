#!/usr/bin/env python3
"""The history kept between sessions and Tab completion, through a pseudo terminal."""
import os
import sys
import tempfile
import unittest
import unittest.mock

import terminal_test
from terminal_test import Session


class SessionsTest(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        os.chdir(self.directory.name)
        os.environ["XDG_STATE_HOME"] = self.directory.name
        self.history = os.path.join(self.directory.name, "velmora", "history")
        self.sessions = []

    def tearDown(self):
        for session in self.sessions:
            session.close()
        self.directory.cleanup()

    def start(self):
        session = Session()
        self.sessions.append(session)
        session.read_until(b"OK\r\n")
        session.mark()
        return session

    def test_a_line_typed_in_one_session_is_recalled_in_the_next(self):
        first = self.start()
        first.send("print 6*7\r")
        first.read_until(b"42")
        first.send("system\r")
        first.process.wait(timeout=5)
        second = self.start()
        second.send("\x1b[A\x1b[A\r")  # Up past "system" to "print 6*7"
        second.read_until(b"42\r\nOK")
        self.assertEqual(os.stat(self.history).st_mode & 0o777, 0o600)

    def test_two_sessions_at_once_keep_all_their_lines(self):
        one, two = self.start(), self.start()
        for session, text, result in ((one, "print 1+1", b"2"), (two, "print 2+2", b"4"), (one, "print 3+3", b"6")):
            session.send(text + "\r")
            session.read_until(result + b"\r\nOK")
        with open(self.history, "rb") as handle:
            self.assertEqual(handle.read(), b"print 1+1\nprint 2+2\nprint 3+3\n")

    def test_tab_completes_keywords_functions_and_names(self):
        s = self.start()
        s.send("10 counter = 3 : total = 4 : print zebra\r")
        s.send("run\r")
        s.read_until(b"0\r\nOK\r\n")
        s.mark()
        s.send("pri\t")       # a statement keyword, with a blank after it
        s.send("cou\t")       # a variable, with a blank after it
        s.send("+ TOT\t")     # typed in capitals, completed in capitals
        s.send("+ len\t")     # a function, with its parenthesis
        s.send('"abc") + zeb\t\r')  # a name that only the program text holds
        s.read_until(b"10\r\nOK")
        self.assertIn(b'print counter + TOTAL + len("abc") + zebra', s.output)
        s.send("po\t\t")  # a second Tab lists the choices
        s.read_until(b"poke")

    def test_tab_goes_into_an_answer_as_typed(self):
        s = self.start()
        s.send('line input a$ : print "<";a$;">"\r')
        s.read_until(b"\r\n")
        s.send("pri\tx\r")  # an answer is data: no keyword is completed into it
        s.read_until(b"OK")
        self.assertIn("<pri\tx>".expandtabs(8).encode(), s.output)

    def test_inside_a_string_tab_completes_file_names(self):
        s = self.start()
        open("script-file.bas", "w").close()
        s.send('print "scr\t\r')
        s.read_until(b"script-file.bas\r\nOK")

    def test_inside_a_string_tab_completes_absolute_and_home_paths(self):
        home = os.path.join(self.directory.name, "home")
        os.mkdir(home)
        open(os.path.join(home, "velmora-home.bas"), "w").close()
        self.environment(HOME=home)
        s = self.start()
        s.send('load "/usr/sh\t')
        s.read_until(b'load "/usr/share/')
        s.send("\x15")  # Ctrl-U: the line goes
        s.mark()
        s.send('load "~/velmora-h\t')
        s.read_until(b'load "~/velmora-home.bas"')

    def test_a_home_that_does_not_exist_is_never_made(self):
        # Under a folder of this test, so that no other program makes it meanwhile.
        home = os.path.join(self.directory.name, "missing-home")
        self.environment(HOME=home, XDG_STATE_HOME=None, XDG_CONFIG_HOME=None)
        s = self.start()
        s.send("print 6*7\r")
        s.read_until(b"42\r\nOK")
        s.mark()
        s.send("\x1b[A\r")  # the line is in this session's history all the same
        s.read_until(b"42\r\nOK")
        s.send("system\r")
        s.process.wait(timeout=5)
        self.assertFalse(os.path.exists(home))

    def environment(self, **changes):
        """The environment of the sessions started from now on, until the test ends; None
        removes a variable."""
        patcher = unittest.mock.patch.dict(os.environ)
        patcher.start()
        self.addCleanup(patcher.stop)
        for name, value in changes.items():
            if value is None:
                os.environ.pop(name, None)
            else:
                os.environ[name] = value


if __name__ == "__main__":
    terminal_test.EXECUTABLE = os.path.abspath(sys.argv.pop(1))
    unittest.main()
