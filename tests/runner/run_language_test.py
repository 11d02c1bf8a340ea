#!/usr/bin/env python3
"""Runs one language test file through the real executable and compares its output
byte for byte.

A test file holds one or more cases, each opened by a line "=== name". Within a case:
  --- args: ARG ...    command-line arguments (default: none, the interactive mode)
  --- input            the lines after it are fed to standard input
  --- output           the lines after it are the exact expected standard output
  --- file: NAME       the lines after it are written to NAME in the working directory
  --- locale: NAME     run under that locale (default C.UTF-8); under a Shift-JIS locale
                       input, files and expected output are Shift-JIS (the test file
                       itself stays UTF-8)
A line "--- output (no newline)" expects the output without a final newline.
Lines starting with "#" before the first section of a case are comments.
"""
import os
import shlex
import subprocess
import sys
import tempfile


def parse_cases(path):
    cases, case, section = [], None, None
    with open(path, encoding="utf-8", newline="") as handle:
        for raw in handle.read().split("\n"):
            if raw.startswith("=== "):
                case = {"name": raw[4:].strip(), "args": [], "input": [], "output": [], "files": {},
                        "final_newline": True, "locale": "C.UTF-8"}
                cases.append(case)
                section = None
                continue
            if case is None:
                continue
            if raw.startswith("--- args:"):
                case["args"] = shlex.split(raw[len("--- args:"):])
                section = None
            elif raw.startswith("--- locale:"):
                case["locale"] = raw[len("--- locale:"):].strip()
                section = None
            elif raw == "--- input":
                section = case["input"]
            elif raw.startswith("--- output"):
                section = case["output"]
                case["final_newline"] = "no newline" not in raw
            elif raw.startswith("--- file:"):
                section = case["files"].setdefault(raw[len("--- file:"):].strip(), [])
            elif section is not None:
                section.append(raw)
    for case in cases:
        while case["output"] and case["output"][-1] == "":
            case["output"].pop()
        while case["input"] and case["input"][-1] == "":
            case["input"].pop()
    return cases


def encoding_of(locale):
    return "cp932" if "sjis" in locale.lower() or "shift" in locale.lower() else "utf-8"


def locale_available(locale):
    names = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    return locale.lower().replace("utf-8", "utf8") in {n.lower() for n in names}


def run_case(executable, case):
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
        result = subprocess.run([executable] + case["args"], input=stdin, capture_output=True,
                                cwd=workdir, env=env, timeout=60)
    expected = "\n".join(case["output"])
    if case["final_newline"] and case["output"]:
        expected += "\n"
    return result, expected.encode(encoding)


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
        result, expected = run_case(executable, case)
        if result.returncode != 0 or result.stdout != expected:
            failures += 1
            print(f"FAIL {case['name']} (exit {result.returncode})")
            print("--- expected")
            encoding = encoding_of(case["locale"])
            print(expected.decode(encoding, "replace"))
            print("--- actual")
            print(result.stdout.decode(encoding, "replace"))
            if result.stderr:
                print("--- stderr")
                print(result.stderr.decode("utf-8", "replace"))
    print(f"{len(cases) - failures - skipped} passed, {failures} failed, {skipped} skipped")
    return 1 if failures or not cases else 0


if __name__ == "__main__":
    sys.exit(main())
