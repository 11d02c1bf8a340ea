#!/usr/bin/python3
"""The Jupyter kernel as Jupyter starts it: installed with its kernel spec into a
temporary prefix, found by name through JUPYTER_PATH and driven with jupyter_client.

Usage: kernel_test.py SOURCE_DIR BUILD_DIR. Runs under Debian's python3, which has
jupyter_client (python3-jupyter-client)."""
import base64
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

    def __init__(self, jupyter_path, workdir, locale={"LC_ALL": "C.UTF-8"}):
        import jupyter_client
        os.environ["JUPYTER_PATH"] = jupyter_path
        self.manager = jupyter_client.KernelManager(kernel_name="velmora")
        environment = {name: value for name, value in os.environ.items() if not name.startswith(("LC_", "LANG"))}
        self.manager.start_kernel(cwd=workdir, env=dict(environment, **locale))
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


def png_pixels(data):
    """Width, height and rows of (r, g, b) of an 8-bit RGB or RGBA PNG."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    at, chunks = 8, {}
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        chunks.setdefault(kind, b"")
        chunks[kind] += data[at + 8:at + 8 + length]
        at += 12 + length
    width, height, depth, colour = struct.unpack(">IIBB", chunks[b"IHDR"][:10])
    assert depth == 8 and colour in (2, 6)
    channels = 3 if colour == 2 else 4
    raw, stride, rows, previous = zlib.decompress(chunks[b"IDAT"]), width * channels, [], bytearray(width * channels)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            left = line[x - channels] if x >= channels else 0
            up, corner = previous[x], previous[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + left) & 255
            elif kind == 2:
                line[x] = (line[x] + up) & 255
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 255
            elif kind == 4:
                guess = left + up - corner
                near = min((abs(guess - left), 0, left), (abs(guess - up), 1, up), (abs(guess - corner), 2, corner))
                line[x] = (line[x] + near[2]) & 255
        rows.append([tuple(line[x * channels:x * channels + 3]) for x in range(width)])
        previous = line
    return width, height, rows


def bmp_pixels(data):
    """Width, height and rows of (r, g, b), top row first, of a 24-bit BMP."""
    offset, = struct.unpack("<I", data[10:14])
    width, height = struct.unpack("<ii", data[18:26])
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for y in range(height - 1, -1, -1):
        row = data[offset + y * stride:offset + y * stride + width * 3]
        rows.append([(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]) for x in range(width)])
    return width, height, rows


def images(outputs):
    return [content for kind, content in outputs if kind == "display_data"]


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
        cls.jupyter_path = os.path.join(prefix, "share", "jupyter")
        cls.kernel = Kernel(cls.jupyter_path, cls.workdir)

    @classmethod
    def tearDownClass(cls):
        cls.kernel.close()
        cls.directory.cleanup()

    def test_jupyter_lists_the_installed_kernel(self):
        # What jupyter notebook and jupyter console list, from the same search path.
        from jupyter_client.kernelspec import KernelSpecManager
        spec = KernelSpecManager().get_all_specs()["velmora"]["spec"]
        self.assertEqual((spec["display_name"], spec["language"]), ("Velmora BASIC", "velmora-basic"))
        self.assertTrue(os.access(spec["argv"][0], os.X_OK))

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
        # edit offers the line in the prompt; the answer follows it, as piped input would.
        reply, outputs = self.kernel.execute("10 print 1\nedit 10\nlist", answers=[" : print 2"])
        self.assertEqual(outputs[0], ("input_request", {"prompt": "   10 print 1", "pwd": False}))
        self.assertEqual(streamed(outputs), "   10 print 1 : print 2\n")
        # The help pages scroll in the cell without asking for a key.
        reply, outputs = self.kernel.execute("help")
        pages = streamed(outputs)
        self.assertEqual([kind for kind, _ in outputs if kind != "stream"], [])
        self.assertNotIn("ESC", pages)
        self.assertTrue(pages.lstrip().startswith("Velmora BASIC V2.00") and 'graph2d,"x2y"' in pages, pages)

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

    def test_changed_windows_are_shown_after_the_cell(self):
        code = ('gopen 2,60,40: gopen 1,48,32: gclear grgb(255,255,255)\n'
                'def fnf(x) = x * x: graph2d "x2y", fnf\n'
                'gbox 3,4,10,6,grgb(255,0,0),fill: gsave "one.bmp": gselect 2: gsave "two.bmp"')
        reply, outputs = self.kernel.execute(code)
        self.assertEqual(reply["status"], "ok", reply)
        shown = images(outputs)
        self.assertEqual([image["data"]["text/plain"] for image in shown],
                         ["Velmora BASIC V2.00 描画画面 1", "Velmora BASIC V2.00 描画画面 2"])
        for image, saved in zip(shown, ("one.bmp", "two.bmp")):
            with open(os.path.join(self.workdir, saved), "rb") as handle:
                expected = bmp_pixels(handle.read())
            self.assertEqual(png_pixels(base64.b64decode(image["data"]["image/png"])), expected)
            self.assertEqual(image["metadata"]["image/png"], {"width": expected[0], "height": expected[1]})
        # Reading a picture or drawing what is there already changes nothing to show.
        reply, outputs = self.kernel.execute('print gget(0,0): gselect 1: gput 4,5,grgb(255,0,0)')
        self.assertEqual((streamed(outputs), images(outputs)), ("16777215\n", []))
        reply, outputs = self.kernel.execute('gput 0,0,grgb(1,2,3)')
        self.assertEqual(len(images(outputs)), 1)

    def test_inspection_shows_the_help_entry(self):
        reply = self.kernel.client.inspect("print sqrt(2)", 8, reply=True, timeout=TIMEOUT)["content"]
        self.assertTrue(reply["found"])
        self.assertEqual(reply["data"]["text/plain"].splitlines()[0], "sqrt(z)")
        reply = self.kernel.client.inspect("zzz", 1, reply=True, timeout=TIMEOUT)["content"]
        self.assertFalse(reply["found"])

    def test_the_example_notebook_runs_from_start_to_end(self):
        import nbformat
        executed = os.path.join(self.directory.name, "executed.ipynb")
        notebook = os.path.join(SOURCE_DIR, "examples", "worked_examples.ipynb")
        result = subprocess.run(["jupyter-nbconvert", "--to", "notebook", "--execute", "--output", executed, notebook],
                                capture_output=True, timeout=300, cwd=self.workdir,
                                env=dict(os.environ, JUPYTER_PATH=self.jupyter_path, LC_ALL="C.UTF-8"))
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        outputs = [output for cell in nbformat.read(executed, 4).cells if cell.cell_type == "code"
                   for output in cell.outputs]
        self.assertEqual([output.output_type for output in outputs if output.output_type not in ("stream",)],
                         ["display_data"] * 3)
        self.assertIn("7       0.707106781186547-0.707106781186548i\n", "".join(
            output.text for output in outputs if output.output_type == "stream"))

    def test_messages_follow_the_locale(self):
        kernel = Kernel(self.jupyter_path, self.workdir, {"LANG": "en_US.UTF-8"})
        try:
            reply, _ = kernel.execute("print a(1)")
            self.assertEqual(reply["traceback"], ["array must be declared with DIM"])
        finally:
            kernel.close()

    def test_completion(self):
        for code, expected in (("print sq", ["sqr(", "sqrt("]), ("gra", ["graph2d", "graph3d"])):
            reply = self.kernel.client.complete(code, len(code), reply=True, timeout=TIMEOUT)["content"]
            self.assertEqual(reply["matches"], expected)
            self.assertEqual((reply["cursor_start"], reply["cursor_end"]), (len(code) - len(code.split()[-1]), len(code)))


if __name__ == "__main__":
    SOURCE_DIR, BUILD_DIR = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
