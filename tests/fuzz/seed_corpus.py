#!/usr/bin/env python3
"""Seeds the fuzz corpora from the language tests: each case's typed input becomes a
session for fuzz_lines and for fuzz_engines, and each command-line expression and
calculator line an input for fuzz_expression. For fuzz_engines a case's first ".bas"
file comes along as the session's own program file, lines opened by ">".
Usage: seed_corpus.py TESTS_DIR LINES_DIR EXPRESSION_DIR ENGINES_DIR"""
import hashlib
import os
import shlex
import sys


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


def main(tests_dir, lines_dir, expression_dir, engines_dir):
    for directory in (lines_dir, expression_dir, engines_dir):
        os.makedirs(directory, exist_ok=True)
    for root, _, names in os.walk(tests_dir):
        for name in sorted(n for n in names if n.endswith(".vt")):
            for case in cases(os.path.join(root, name)):
                if case["input"] and not case["args"]:
                    save(lines_dir, "\n".join(case["input"]))
                    save(engines_dir, engines_session(case))
                elif case["args"] == ["-c"]:
                    for line in case["input"]:
                        save(expression_dir, line)
                elif case["args"]:
                    save(expression_dir, " ".join(case["args"]))


if __name__ == "__main__":
    main(*sys.argv[1:5])
