#!/usr/bin/env python3
"""Seeds the fuzz corpora from the language tests: each case's typed input becomes a
session for fuzz_lines and for fuzz_engines, and each command-line expression and
calculator line an input for fuzz_expression. For fuzz_engines a case's first ".bas"
file comes along as the session's own program file, lines opened by ">"; the program
lines of all cases, without their numbers, go to ENGINE_LINES for fuzz_engines to pick
from, and a few inputs that pick are added to its corpus.
Usage: seed_corpus.py TESTS_DIR LINES_DIR EXPRESSION_DIR ENGINES_DIR ENGINE_LINES"""
import hashlib
import os
import re
import shlex
import sys

PROGRAM_LINE = re.compile(r"\s*[0-9]+ ?(.+)")
PICKING_SEEDS = 64


def cases(path):
    case, section = None, None
    with open(path, encoding="utf-8", newline="") as handle:
        for raw in handle.read().split("\n"):
            if raw.startswith("=== "):
                if case:
                    yield case
                case, section = {"args": [], "input": [], "files": {}}, None
            elif case is None:
                continue
            elif raw.startswith("--- args:"):
                case["args"], section = shlex.split(raw[len("--- args:"):]), None
            elif raw == "--- input":
                section = case["input"]
            elif raw.startswith("--- file:"):
                section = case["files"].setdefault(raw[len("--- file:"):].strip(), [])
            elif raw.startswith("---"):
                section = None
            elif section is not None:
                section.append(raw)
    if case:
        yield case


def save(directory, text):
    data = text.encode("utf-8")
    with open(os.path.join(directory, hashlib.sha1(data).hexdigest()), "wb") as handle:
        handle.write(data)


# The one program file a fuzz_engines session has, as its load and merge name it.
ENGINES_FILE = "m.bas"


def engines_session(case):
    """The case's input for fuzz_engines, with its first .bas file as the session's file."""
    typed = "\n".join(case["input"])
    programs = [name for name in case["files"] if name.lower().endswith(".bas")]
    if not programs:
        return typed
    name = programs[0]
    typed = typed.replace(f'"{name}"', f'"{ENGINES_FILE}"')
    return "\n".join([">" + line for line in case["files"][name]] + [typed])


def program_lines(case):
    """The texts of the numbered lines the case types or loads."""
    typed = case["input"] + [line for name, lines in case["files"].items() if name.lower().endswith(".bas")
                             for line in lines]
    return [match.group(1) for match in map(PROGRAM_LINE.fullmatch, typed) if match]


def save_picking_seeds(engines_dir):
    """Inputs opened by a zero byte: fuzz_engines reads the bytes after it as picks."""
    for n in range(PICKING_SEEDS):
        picks = hashlib.sha256(str(n).encode()).digest()[: 2 * (2 + n % 12) + n % 2]
        with open(os.path.join(engines_dir, f"picks-{n}"), "wb") as handle:
            handle.write(b"\0" + picks)


def main(tests_dir, lines_dir, expression_dir, engines_dir, engine_lines):
    for directory in (lines_dir, expression_dir, engines_dir):
        os.makedirs(directory, exist_ok=True)
    known = set()
    for root, _, names in os.walk(tests_dir):
        for name in sorted(n for n in names if n.endswith(".vt")):
            for case in cases(os.path.join(root, name)):
                if case["input"] and not case["args"]:
                    save(lines_dir, "\n".join(case["input"]))
                    save(engines_dir, engines_session(case))
                    known.update(program_lines(case))
                elif case["args"] == ["-c"]:
                    for line in case["input"]:
                        save(expression_dir, line)
                elif case["args"]:
                    save(expression_dir, " ".join(case["args"]))
    with open(engine_lines, "w", encoding="utf-8") as handle:
        handle.write("".join(line + "\n" for line in sorted(known)))
    save_picking_seeds(engines_dir)


if __name__ == "__main__":
    main(*sys.argv[1:6])
