#!/usr/bin/env python3
"""A serial channel on the slave side of a pseudo-terminal pair: bytes go both ways,
and reads return at once with whatever has arrived. Without a baud rate the port is
still a raw byte line: no echo, no waiting for a whole line, no CR added to LF; closing the port gives it back
its earlier settings."""
import os
import subprocess
import sys
import termios
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "runner"))
from banner import banner  # noqa: E402
from streams import read_until  # noqa: E402

EXECUTABLE = None

PROGRAM = """10 open "s",1,"{port}",9600
20 x$ = input$(5,#1) : print "early";len(x$)
30 print #1,"ping";
40 r$ = ""
50 for k = 1 to 100
60   r$ = r$ + input$(10,#1)
70   if len(r$) >= 4 then goto 100
80   sleep 100
90 next
100 print "got ";r$;" eof";eof(1)
110 close 1
run
"""

RAW_PROGRAM = """10 open "s",1,"{port}"
20 print #1,"go"
30 r$ = ""
40 for k = 1 to 100
50   r$ = r$ + input$(10,#1)
60   if len(r$) >= 2 then goto 90
70   sleep 100
80 next
90 print "got ";r$
100 print #1,"end";
110 close 1
run
"""

# Channel 2 cannot have the port while channel 1 does, so "lost" is never sent; once
# channel 1 closes, channel 2 can open it.
UNSHARED_PROGRAM = """open "s",1,"{port}",9600
open "s",2,"{port}"
print #2,"lost";
close 1
open "s",2,"{port}"
print #2,"two";
close 2
"""


def start_program(text):
    """Starts the interpreter with `text` as its whole standard input."""
    process = subprocess.Popen([EXECUTABLE], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               env=dict(os.environ, LC_ALL="C.UTF-8"))
    process.stdin.write(text.encode())
    process.stdin.close()
    return process


def finish(process):
    output = process.stdout.read()
    process.wait(timeout=20)
    return output.decode()


class SerialTest(unittest.TestCase):
    def setUp(self):
        self.master, self.slave = os.openpty()
        self.port = os.ttyname(self.slave)

    def tearDown(self):
        os.close(self.master)
        os.close(self.slave)

    def assert_line_mode_kept(self):
        local_modes = termios.tcgetattr(self.slave)[3]
        self.assertEqual(local_modes & (termios.ECHO | termios.ICANON), termios.ECHO | termios.ICANON)

    def test_bytes_in_both_directions_without_blocking(self):
        process = start_program(PROGRAM.format(port=self.port))
        self.assertEqual(read_until(self.master, b"ping"), b"ping")
        os.write(self.master, b"pong")
        self.assertEqual(finish(process), banner() + "\nOK\nearly0\ngot pong eof0\nOK\n")

    def test_port_without_baud_rate_is_a_raw_line(self):
        process = start_program(RAW_PROGRAM.format(port=self.port))
        self.assertEqual(read_until(self.master, b"go\n"), b"go\n")
        os.write(self.master, b"ab")
        self.assertEqual(read_until(self.master, b"end"), b"end")
        self.assertEqual(finish(process), banner() + "\nOK\ngot ab\nOK\n")
        self.assert_line_mode_kept()

    def test_system_gives_an_open_port_its_settings_back(self):
        process = start_program('open "s",1,"{port}",9600\nsystem\n'.format(port=self.port))
        self.assertEqual(finish(process), banner() + "\nOK\nOK\n")
        self.assert_line_mode_kept()

    def test_a_port_open_on_one_channel_cannot_be_opened_on_another(self):
        process = start_program(UNSHARED_PROGRAM.format(port=self.port))
        self.assertEqual(finish(process), banner() + "\nOK\n" + "OK\n" * 7)
        self.assertEqual(read_until(self.master, b"two"), b"two")


if __name__ == "__main__":
    EXECUTABLE = os.path.abspath(sys.argv.pop(1))
    unittest.main()
