#!/usr/bin/env python3
"""The terminal as the interpreter leaves it, through a pseudo terminal: SIGTERM, SIGHUP
and SIGQUIT while it waits for a key (inkey$, input$, the help pager) or edits a line
give the terminal back its line mode with echo before the process ends, as stty -a
on the same terminal shows; and output taken into a pipe holds no editing sequences."""
import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import terminal_test
from terminal_test import Session

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "runner"))
from banner import banner  # noqa: E402

# What each waiting state needs typed after the first "OK", and what shows once it waits.
STATES = {
    "the line editor": ("", b""),
    "an inkey$ loop": ('10 k$ = "" : while k$ = "" : k$ = inkey$ : wend\rrun\r', b"run\r\n"),
    "input$": ("a$ = input$(1)\r", b"input$(1)\r\n"),
    "the help pager": ("help\r", "CR:続き ESC:中止".encode()),
}


def terminal_modes(terminal):
    """The settings stty -a names, "-" before those that are off."""
    return subprocess.run(["stty", "-a"], stdin=terminal, capture_output=True, text=True).stdout.replace(";", " ").split()


def wait_for_key_mode(terminal):
    """Until the interpreter has taken the terminal out of line mode to wait for a key."""
    deadline = time.time() + 10
    while "-icanon" not in terminal_modes(terminal):
        if time.time() > deadline:
            raise AssertionError("the terminal stayed in line mode")
        time.sleep(0.05)


def assert_line_mode_with_echo(test, terminal):
    modes = terminal_modes(terminal)
    test.assertIn("icanon", modes)
    test.assertIn("echo", modes)


class EndingSignalsTest(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        os.chdir(self.directory.name)

    def tearDown(self):
        self.directory.cleanup()

    def test_each_ending_signal_in_each_wait_restores_line_mode_and_echo(self):
        for state, (typed, shown) in STATES.items():
            for number in (signal.SIGTERM, signal.SIGHUP, signal.SIGQUIT):
                with self.subTest(state=state, signal=number.name):
                    s = Session()
                    try:
                        s.read_until(b"OK\r\n")
                        s.send(typed)
                        s.read_until(shown)
                        wait_for_key_mode(s.slave)
                        s.process.send_signal(number)
                        self.assertEqual(s.process.wait(timeout=5), -number)
                        assert_line_mode_with_echo(self, s.slave)
                    finally:
                        s.close()

    def test_a_program_file_that_ends_in_key_mode_restores_the_mode(self):
        with open("key.bas", "w") as handle:
            handle.write('10 a$ = input$(1) : print "got "; a$ : system\n')
        s = Session("key.bas")
        try:
            wait_for_key_mode(s.slave)
            s.send("x")
            s.read_until(b"got x")
            self.assertEqual(s.process.wait(timeout=5), 0)
            assert_line_mode_with_echo(self, s.slave)
        finally:
            s.close()

    def test_end_of_input_in_the_line_editor_restores_the_mode(self):
        s = Session()
        try:
            s.read_until(b"OK\r\n")
            wait_for_key_mode(s.slave)
            s.send("\x04")
            self.assertEqual(s.process.wait(timeout=5), 0)
            assert_line_mode_with_echo(self, s.slave)
        finally:
            s.close()


class PipedOutputTest(unittest.TestCase):
    def test_output_into_a_pipe_holds_only_what_was_printed(self):
        with tempfile.TemporaryDirectory() as directory:
            log = os.path.join(directory, "log")
            s = Session(command=["sh", "-c", f"{terminal_test.EXECUTABLE} | tee {log}"])
            try:
                s.read_until(b"OK\r\n")
                s.send("print 6*7\r")
                s.read_until(b"42\r\nOK\r\n")
                s.send("\x04")
                self.assertEqual(s.process.wait(timeout=5), 0)
            finally:
                s.close()
            with open(log, "rb") as handle:
                self.assertEqual(handle.read(), banner().encode() + b"\nOK\n42\nOK\n")


if __name__ == "__main__":
    terminal_test.EXECUTABLE = os.path.abspath(sys.argv.pop(1))
    unittest.main()
