#!/usr/bin/env python3
"""Random and malformed lines, typed at the prompt and stored in programs, must never
crash or hang the interpreter: every line gives output, a message or nothing, and the
process ends normally when its input ends. The seed is fixed so failures repeat."""
import os
import random
import subprocess
import sys
import tempfile

# Words that cannot form a loop by themselves, so every generated program ends.
WORDS = ["print", "?", "let", "dim", "erase", "swap", "if", "then", "else", "on", "error", "def", "fn",
         "fna", "input", "line", "data", "read", "restore", "rem", "'", "using", "tab(", "spc(", "and",
         "or", "not", "xor", "imp", "eqv", "mod", "sqrt(", "sin(", "log(", "mid$(", "left$(", "chr$(",
         "str$(", "val(", "instr(", "string$(", "i", "e", "pi(", "*LABEL", "*", "a", "a$", "a%", "a#",
         "b(", "x", "end", "stop", "cont", "clear", "tron", "troff", "option", "base", "write", "list",
         "renum", "delete", "edit", "new", "varptr(", "peek(", "poke", "open", "close", "field", "get",
         "put", "lset", "rset", "eof(", "loc(", "width", "help", "run", "return", "next", "wend"]
PUNCTUATION = list("+-*/^=<>(),;:\"#&[]$%!.") + ["<>", ">=", "<=", "==", "!=", "&h", "0x"]


def random_token(rng):
    roll = rng.random()
    if roll < 0.35:
        return rng.choice(WORDS)
    if roll < 0.6:
        return rng.choice(PUNCTUATION)
    if roll < 0.8:
        return rng.choice(["0", "1", "2.5", "1e308", "1e-320", "-7", "99999999999", "3i", "65536", "100000"])
    if roll < 0.9:
        return '"' + "".join(rng.choice("abc ,:\"'") for _ in range(rng.randint(0, 8)))
    return bytes(rng.randint(1, 255) for _ in range(rng.randint(1, 4))).decode("latin-1")


def random_line(rng):
    tokens = [random_token(rng) for _ in range(rng.randint(1, 14))]
    text = rng.choice(["", " "]).join(tokens)
    if rng.random() < 0.4:
        text = f"{rng.randint(1, 60) * 10} {text}"
    return text


def session(rng):
    lines = [random_line(rng) for _ in range(rng.randint(5, 40))]
    lines += ["run", "list"] if rng.random() < 0.7 else ["list"]
    return "\n".join(lines) + "\n"


def extreme_lines():
    yield "print " + "(" * 5000 + "1" + ")" * 5000
    yield "print " + "-" * 5000 + "1"
    yield "print " + "not " * 3000 + "0"
    yield "print " + "1+" * 2000 + "1"
    yield "x" * 4000
    yield "print \"" + "a" * 4000
    yield "10 def fnr(x) = fnr(x) + 1\nprint fnr(1)"
    yield "dim a(100000,100000,100000,100000)"
    yield "10 gosub 10\nrun"
    yield "print a(" + "a(" * 3000 + "1" + ")" * 3001


def run(executable, text, workdir):
    result = subprocess.run([executable], input=text.encode("latin-1", "replace"), capture_output=True,
                            cwd=workdir, timeout=60, env=dict(os.environ, LC_ALL="C.UTF-8"))
    return result.returncode


def main():
    executable = os.path.abspath(sys.argv[1])
    sessions = int(sys.argv[2]) if len(sys.argv) > 2 else 300
    rng = random.Random(20261208)
    failures = 0
    with tempfile.TemporaryDirectory() as workdir:
        cases = [(f"extreme {i}", text + "\n") for i, text in enumerate(extreme_lines())]
        cases += [(f"random {i}", session(rng)) for i in range(sessions)]
        for name, text in cases:
            try:
                code = run(executable, text, workdir)
            except subprocess.TimeoutExpired:
                code = "timeout"
            if code != 0:
                failures += 1
                print(f"FAIL {name}: exit {code}\n{text}")
    print(f"{len(cases) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
