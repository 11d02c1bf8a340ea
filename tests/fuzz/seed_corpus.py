#!/usr/bin/env python3
"""Seeds the fuzz corpora from the language tests: each case's typed input becomes a
session for fuzz_lines, and each command-line expression and calculator line an input
for fuzz_expression. Usage: seed_corpus.py TESTS_DIR LINES_DIR EXPRESSION_DIR"""
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
                case, section = {"args": [], "input": []}, None
            elif case is None:
                continue
            elif raw.startswith("--- args:"):
                case["args"], section = shlex.split(raw[len("--- args:"):]), None
            elif raw == "--- input":
                section = case["input"]
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


def main(tests_dir, lines_dir, expression_dir):
    os.makedirs(lines_dir, exist_ok=True)
    os.makedirs(expression_dir, exist_ok=True)
    for root, _, names in os.walk(tests_dir):
        for name in sorted(n for n in names if n.endswith(".vt")):
            for case in cases(os.path.join(root, name)):
                if case["input"] and not case["args"]:
                    save(lines_dir, "\n".join(case["input"]))
                elif case["args"] == ["-c"]:
                    for line in case["input"]:
                        save(expression_dir, line)
                elif case["args"]:
                    save(expression_dir, " ".join(case["args"]))


if __name__ == "__main__":
    main(*sys.argv[1:4])
