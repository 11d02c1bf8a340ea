#!/usr/bin/env python3
"""sleep accepts its longest wait and Ctrl-C ends it: the program stops with "^C" before
its next statement, and cont goes on from there."""
import os
import signal
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "runner"))
from banner import banner  # noqa: E402
from streams import read_until  # noqa: E402

EXECUTABLE = None

PROGRAM = """10 print "before"
20 sleep 8640000
30 print "after"
run
"""



class SleepTest(unittest.TestCase):
    def test_ctrl_c_ends_the_longest_sleep(self):
        process = subprocess.Popen([EXECUTABLE], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   env=dict(os.environ, LC_ALL="C.UTF-8"))
        try:
            process.stdin.write(PROGRAM.encode())
            process.stdin.flush()
            output = read_until(process.stdout, b"before\n")
            self.assertEqual(output, banner().encode() + b"\nOK\nbefore\n")
            process.send_signal(signal.SIGINT)
            self.assertEqual(read_until(process.stdout, b"OK\n"), b"^C\nOK\n")
            process.stdin.write(b"cont\n")
            process.stdin.close()
            self.assertEqual(process.stdout.read(), b"after\nOK\n")
            self.assertEqual(process.wait(timeout=20), 0)
        finally:
            if process.poll() is None:
                process.kill()
            process.stdout.close()


if __name__ == "__main__":
    EXECUTABLE = os.path.abspath(sys.argv.pop(1))
    unittest.main()
