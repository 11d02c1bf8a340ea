#!/usr/bin/env python3
"""Runs one language test file through the real executable and compares its output
byte for byte. Every case runs twice, on the compiled engine (VELMORA_ENGINE unset) and
on the text interpreter (VELMORA_ENGINE=text): both must give exactly the expected output.

A test file holds one or more cases, each opened by a line "=== name". Within a case:
  --- args: ARG ...    command-line arguments (default: none, the interactive mode)
  --- input            the lines after it are fed to standard input
  --- output           the lines after it are the exact expected standard output; a
                       line "(banner)" stands for the interactive mode's banner line and
                       "(version)" for the version, both as CMakeLists.txt names it
  --- status: N        the expected exit status (default 0)
  --- file: NAME       the lines after it are written to NAME in the working directory
  --- locale: NAME     run under that locale (default C.UTF-8); under a Shift-JIS locale
                       input, files and expected output are Shift-JIS (the test file
                       itself stays UTF-8)
  --- env: NAME=VALUE ...  more environment variables (LANGUAGE is unset unless named)
A line "--- output (no newline)" expects the output without a final newline.
Lines starting with "#" before the first section of a case are comments.

Printer cases:
  --- printer          run a copy of the executable placed in the working directory, so
                       that the velmora.ini beside it is the case's own, with no CUPS
                       server (CUPS_SERVER names a socket nobody listens on) and no display
  --- stderr           the lines after it are the exact expected standard error
  --- pdf: NAME        the lines after it are the text of PDF file NAME as pdftotext gives
                       it, with a line "(page end)" where each page ends; blank lines,
                       which pdftotext adds by its own rules, are not compared
  --- pdf words: NAME  one line a word of NAME: its page, left and top edge in pixels of
                       600 dpi (the printer's own, rounded) and its text, from pdftotext -bbox
  --- result file: NAME  the lines after it are the exact contents of NAME after the run
  --- no file: NAME    NAME must not exist after the run
"""
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

from banner import banner, version


def parse_cases(path):
    cases, case, section = [], None, None
    with open(path, encoding="utf-8", newline="") as handle:
        for raw in handle.read().split("\n"):
            if raw.startswith("=== "):
                case = {"name": raw[4:].strip(), "args": [], "input": [], "output": [], "files": {},
                        "final_newline": True, "locale": "C.UTF-8", "env": {}, "printer": False,
                        "stderr": None, "checks": [], "status": 0}
                cases.append(case)
                section = None
                continue
            if case is None:
                continue
            if raw.startswith("--- args:"):
                case["args"] = shlex.split(raw[len("--- args:"):])
                section = None
            elif raw.startswith("--- status:"):
                case["status"] = int(raw[len("--- status:"):])
                section = None
            elif raw.startswith("--- locale:"):
                case["locale"] = raw[len("--- locale:"):].strip()
                section = None
            elif raw.startswith("--- env:"):
                case["env"] = dict(item.split("=", 1) for item in shlex.split(raw[len("--- env:"):]))
                section = None
            elif raw == "--- input":
                section = case["input"]
            elif raw.startswith("--- output"):
                section = case["output"]
                case["final_newline"] = "no newline" not in raw
            elif raw.startswith("--- file:"):
                section = case["files"].setdefault(raw[len("--- file:"):].strip(), [])
            elif raw == "--- printer":
                case["printer"] = True
                section = None
            elif raw == "--- stderr":
                case["stderr"] = section = []
            elif raw.startswith(("--- pdf:", "--- pdf words:", "--- result file:", "--- no file:")):
                kind, name = raw[4:].split(":", 1)
                section = []
                case["checks"].append((kind, name.strip(), section))
            elif section is not None:
                section.append(raw)
    for case in cases:
        for lines in [case["output"], case["input"], case["stderr"] or []] + [c[2] for c in case["checks"]]:
            while lines and lines[-1] == "":
                lines.pop()
    return cases


def encoding_of(locale):
    return "cp932" if "sjis" in locale.lower() or "shift" in locale.lower() else "utf-8"


def locale_available(locale):
    names = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    return locale.lower().replace("utf-8", "utf8") in {n.lower() for n in names}


def printer_setup(executable, workdir, env):
    copy = os.path.join(workdir, "velmora")
    shutil.copy(executable, copy)
    env["CUPS_SERVER"] = os.path.join(workdir, "no-cups-here")
    env["XDG_CONFIG_HOME"] = os.path.join(workdir, "config")
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "ZOV_MINCHO"):
        env.pop(name, None)
    return copy


PIXELS_PER_POINT = 600 / 72


def pdf_words(path):
    """Page number, left and top edge and text of each word, as pdftotext -bbox gives them."""
    xhtml = subprocess.run(["pdftotext", "-bbox", path, "-"], capture_output=True, text=True).stdout
    words = []
    for page, body in enumerate(xhtml.split("<page ")[1:], start=1):
        for x, y, text in re.findall(r'<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>', body):
            words.append(f"{page} {round(float(x) * PIXELS_PER_POINT)} {round(float(y) * PIXELS_PER_POINT)} {text}")
    return words


def check_results(case, workdir, encoding):
    """The differences between what the checks expect and what the run left behind."""
    problems = []
    for kind, name, expected in case["checks"]:
        path = os.path.join(workdir, name)
        if kind == "no file":
            actual = ["(exists)"] if os.path.exists(path) else []
        elif not os.path.exists(path):
            actual = ["(no file)"]
        elif kind == "pdf":
            text = subprocess.run(["pdftotext", path, "-"], capture_output=True, text=True).stdout
            actual = [line for line in text.replace("\f", "\n(page end)\n").split("\n") if line]
            expected = [line for line in expected if line]
        elif kind == "pdf words":
            actual = pdf_words(path)
        else:
            with open(path, encoding=encoding, newline="") as handle:
                actual = handle.read().rstrip("\n").split("\n")
        if actual != expected:
            problems.append((f"{kind}: {name}", expected, actual))
    return problems


# The engines every case runs on: the name a failure reports, and VELMORA_ENGINE's value.
ENGINES = (("compiled", None), ("text", "text"))


def expected_line(line):
    return banner() if line == "(banner)" else line.replace("(version)", version())


def run_case(executable, case, engine):
    encoding = encoding_of(case["locale"])
    with tempfile.TemporaryDirectory() as workdir:
        for name, lines in case["files"].items():
            with open(os.path.join(workdir, name), "w", encoding=encoding) as handle:
                handle.write("\n".join(lines) + "\n")
        stdin = "".join(line + "\n" for line in case["input"]).encode(encoding)
        # Graphics windows are headless here: drawn, read back and saved, never shown.
        env = dict(os.environ, LC_ALL=case["locale"], SDL_VIDEODRIVER="dummy")
        env.pop("DISPLAY", None)
        env.pop("WAYLAND_DISPLAY", None)
        env.pop("VELMORA_ENGINE", None)
        env.pop("LANGUAGE", None)
        env.update(case["env"])
        if engine:
            env["VELMORA_ENGINE"] = engine
        if case["printer"]:
            executable = printer_setup(executable, workdir, env)
        result = subprocess.run([executable] + case["args"], input=stdin, capture_output=True,
                                cwd=workdir, env=env, timeout=60)
        problems = check_results(case, workdir, encoding)
    if case["stderr"] is not None:
        actual = result.stderr.decode(encoding, "replace").rstrip("\n").split("\n")
        if actual == [""]:
            actual = []
        if actual != case["stderr"]:
            problems.append(("stderr", case["stderr"], actual))
    expected = "\n".join(expected_line(line) for line in case["output"])
    if case["final_newline"] and case["output"]:
        expected += "\n"
    return result, expected.encode(encoding), problems


def report_failure(title, case, result, expected, problems):
    encoding = encoding_of(case["locale"])
    print(f"FAIL {title} (exit {result.returncode}, expected {case['status']})")
    print("--- expected")
    print(expected.decode(encoding, "replace"))
    print("--- actual")
    print(result.stdout.decode(encoding, "replace"))
    if result.stderr:
        print("--- stderr")
        print(result.stderr.decode("utf-8", "replace"))
    for what, wanted, got in problems:
        print(f"--- {what}: expected")
        print("\n".join(wanted))
        print(f"--- {what}: actual")
        print("\n".join(got))


def main():
    executable, path = os.path.abspath(sys.argv[1]), sys.argv[2]
    failures = 0
    cases = parse_cases(path)
    skipped = 0
    for case in cases:
        if not locale_available(case["locale"]):
            skipped += 1
            print(f"SKIP {case['name']}: no {case['locale']} locale on this machine")
            continue
        failed = False
        for engine_name, engine in ENGINES:
            result, expected, problems = run_case(executable, case, engine)
            if result.returncode != case["status"] or result.stdout != expected or problems:
                failed = True
                report_failure(f"{case['name']} [{engine_name} engine]", case, result, expected, problems)
        failures += failed
    print(f"{len(cases) - failures - skipped} passed, {failures} failed, {skipped} skipped")
    return 1 if failures or not cases else 0


if __name__ == "__main__":
    sys.exit(main())
