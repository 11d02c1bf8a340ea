#!/usr/bin/env python3
"""Ctrl-C during a long graph3d stops it before the next statement: the window keeps
what was drawn (the cube), the graph's parameter variables are gone, and cont goes on
after the graph."""
import os
import signal
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "runner"))
from banner import banner  # noqa: E402
from streams import read_until  # noqa: E402

EXECUTABLE = None

# fnf calls fna 128 times per point: hundreds of seconds for the 361 x 361 points.
PROGRAM = """10 gopen 1
20 def fna(x)=x*0
30 def fnb(x)=fna(x)+fna(x)+fna(x)+fna(x)
40 def fnc(x)=fnb(x)+fnb(x)+fnb(x)+fnb(x)
50 def fnd(x)=fnc(x)+fnc(x)+fnc(x)+fnc(x)
60 def fnf(x,y)=fnd(x)+fnd(y)
70 print "drawing":sleep 1
80 graph3d "xy2z",fnf
90 print "after"
run
"""



class GraphInterruptTest(unittest.TestCase):
    def test_ctrl_c_stops_a_long_graph(self):
        environment = dict(os.environ, LC_ALL="C.UTF-8", SDL_VIDEODRIVER="dummy")
        process = subprocess.Popen([EXECUTABLE], stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=environment)
        try:
            process.stdin.write(PROGRAM.encode())
            process.stdin.flush()
            self.assertEqual(read_until(process.stdout, b"drawing\n", 20), banner().encode() + b"\nOK\ndrawing\n")
            time.sleep(0.5)
            process.send_signal(signal.SIGINT)
            self.assertEqual(read_until(process.stdout, b"OK\n", 20), b"^C\nOK\n")
            # Corner (0,0,0) of the cube at the default angles, and no variable x.
            process.stdin.write(b'print gget(154,490);" ";x\ncont\n')
            process.stdin.close()
            self.assertEqual(process.stdout.read(), b"0 0\nOK\nafter\nOK\n")
            self.assertEqual(process.wait(timeout=20), 0)
        finally:
            if process.poll() is None:
                process.kill()
            process.stdout.close()


if __name__ == "__main__":
    EXECUTABLE = os.path.abspath(sys.argv.pop(1))
    unittest.main()
