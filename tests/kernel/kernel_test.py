#!/usr/bin/python3
"""The Jupyter kernel as Jupyter starts it: installed with its kernel spec into a
temporary prefix, found by name through JUPYTER_PATH and driven with jupyter_client.

Usage: kernel_test.py SOURCE_DIR BUILD_DIR. Runs under Debian's python3, which has
jupyter_client (python3-jupyter-client)."""
import os
import queue
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zlib

SOURCE_DIR = BUILD_DIR = None
TIMEOUT = 60


def install(prefix):
    subprocess.run([os.path.join(SOURCE_DIR, "scripts", "install.sh"), "install",
                    os.path.join(BUILD_DIR, "velmora"), "", prefix],
                   check=True, capture_output=True, timeout=TIMEOUT)


class Kernel:
    """A started kernel and a client that collects what each request brought."""

    def __init__(self, jupyter_path, workdir):
        import jupyter_client
        os.environ["JUPYTER_PATH"] = jupyter_path
        self.manager = jupyter_client.KernelManager(kernel_name="velmora")
        self.manager.start_kernel(cwd=workdir, env=dict(os.environ, LC_ALL="C.UTF-8"))
        self.client = self.manager.client()
        self.client.start_channels()
        self.client.wait_for_ready(timeout=TIMEOUT)

    def close(self):
        self.client.stop_channels()
        self.manager.shutdown_kernel(now=True)

    def collect(self, msg_id, answers=()):
        """The reply's content and the (type, content) of each output of `msg_id`;
        each input request is answered with the next of `answers` and noted."""
        answers = list(answers)
        outputs = []
        while True:
            if answers:
                try:
                    request = self.client.get_stdin_msg(timeout=0.05)
                    outputs.append(("input_request", request["content"]))
                    self.client.input(answers.pop(0))
                except queue.Empty:
                    pass
            try:
                message = self.client.get_iopub_msg(timeout=0.05)
            except queue.Empty:
                continue
            if message["parent_header"].get("msg_id") != msg_id:
                continue
            kind, content = message["msg_type"], message["content"]
            if kind == "status" and content["execution_state"] == "idle":
                break
            if kind not in ("status", "execute_input"):
                outputs.append((kind, content))
        reply = self.client.get_shell_msg(timeout=TIMEOUT)
        return reply["content"], outputs

    def execute(self, code, answers=()):
        return self.collect(self.client.execute(code, allow_stdin=bool(answers)), answers)


def streamed(outputs, name="stdout"):
    return "".join(content["text"] for kind, content in outputs if kind == "stream" and content["name"] == name)


class KernelTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.directory = tempfile.TemporaryDirectory()
        prefix = os.path.join(cls.directory.name, "prefix")
        install(prefix)
        cls.workdir = os.path.join(cls.directory.name, "work")
        os.mkdir(cls.workdir)
        cls.kernel = Kernel(os.path.join(prefix, "share", "jupyter"), cls.workdir)

    @classmethod
    def tearDownClass(cls):
        cls.kernel.close()
        cls.directory.cleanup()

    def test_output_program_lines_and_error_reports(self):
        reply, outputs = self.kernel.execute('print (1+2i)*(3-i)\nprint "α"; chr$(255)')
        self.assertEqual(reply["status"], "ok")
        # A byte that is no character reaches the notebook as U+FFFD.
        self.assertEqual(streamed(outputs), "5+5i\nα\ufffd\n")

        reply, outputs = self.kernel.execute("10 print 42\n20 print 1/\n")
        self.assertEqual((reply["status"], outputs), ("ok", []))
        reply, outputs = self.kernel.execute('run\nprint "not run"')
        self.assertEqual(reply["status"], "error")
        self.assertEqual(streamed(outputs), "42\n")
        report = ["   20 print 1/", "            ^ エラー"]
        self.assertEqual((reply["ename"], reply["evalue"], reply["traceback"]), ("Error", "エラー", report))
        self.assertIn(("error", {"ename": "Error", "evalue": "エラー", "traceback": report}), outputs)
        # The program stays for the next cell; a direct command's report has no line.
        reply, outputs = self.kernel.execute("20\nrun\nprint 1/")
        self.assertEqual((streamed(outputs), reply["traceback"]), ("42\n", ["エラー"]))

    def test_input_asks_through_the_input_box(self):
        reply, outputs = self.kernel.execute('input "name"; a$: line input "> "; b$\nprint a$; "/"; b$',
                                             answers=["Ada", "x, y"])
        self.assertEqual(reply["status"], "ok")
        requests = [content["prompt"] for kind, content in outputs if kind == "input_request"]
        self.assertEqual(requests, ["name", "> "])
        self.assertEqual(streamed(outputs), "Ada/x, y\n")
        # input$ reads its keys from the box; inkey$ never waits for one.
        reply, outputs = self.kernel.execute('print "[" + inkey$ + "]": k$ = input$(2): print k$', answers=["ok"])
        self.assertEqual(streamed(outputs), "[]\nok\n")

    def test_interrupt_stops_the_program_and_cont_resumes_it(self):
        code = '10 for k = 1 to 30: sleep 40: next: print "done"; k\nrun\nprint "not run"'
        msg_id = self.kernel.client.execute(code)
        time.sleep(0.5)
        self.kernel.manager.interrupt_kernel()
        reply, outputs = self.kernel.collect(msg_id)
        self.assertEqual((reply["status"], streamed(outputs)), ("error", "^C\n"))
        reply, outputs = self.kernel.execute("cont")
        self.assertEqual((reply["status"], streamed(outputs)), ("ok", "done31\n"))

    def test_child_processes_write_into_the_cell(self):
        reply, outputs = self.kernel.execute('spawn "echo", "from a child"\nprint "after"\nsystem "echo err >&2"')
        self.assertEqual(streamed(outputs), "from a child\nafter\n")
        self.assertEqual(streamed(outputs, "stderr"), "err\n")

    def test_completion(self):
        for code, expected in (("print sq", ["sqr(", "sqrt("]), ("gra", ["graph2d", "graph3d"])):
            reply = self.kernel.client.complete(code, len(code), reply=True, timeout=TIMEOUT)["content"]
            self.assertEqual(reply["matches"], expected)
            self.assertEqual((reply["cursor_start"], reply["cursor_end"]), (len(code) - len(code.split()[-1]), len(code)))


if __name__ == "__main__":
    SOURCE_DIR, BUILD_DIR = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
