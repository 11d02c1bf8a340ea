#!/usr/bin/env python3
"""Keeps the source layers free of cycles: each folder of src/ may include only the
folders below it. base (platform helpers: libraries opened when needed, whole-file
writing, character widths, diagnostics) knows nothing above it, zov knows base,
imagefile knows zov, values knows only itself and base, io (the devices) may use
values, zov and imagefile; interp, graphics, the engine, the prompt and the kernel join
them all to the interpreter and are not limited.

Usage: check_layers.py SRC_DIR. Before the tree it checks a small made-up one, so a
checker that stopped finding anything fails too."""
import os
import re
import sys
import tempfile

ALLOWED = {
    "base": {"base"},
    "zov": {"zov", "base"},
    "imagefile": {"imagefile", "zov", "base"},
    "values": {"values", "base"},
    "io": {"io", "values", "zov", "imagefile", "base"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]')


def layer_of_include(src, including_dir, target):
    """The folder of src/ that an include names, or None for a header from elsewhere."""
    candidates = [os.path.join(src, target), os.path.join(including_dir, target)]
    for path in candidates:
        relative = os.path.relpath(os.path.normpath(path), src)
        if os.path.exists(path) and not relative.startswith(".."):
            return relative.split(os.sep)[0]
    first = target.split("/")[0]
    return first if "/" in target and os.path.isdir(os.path.join(src, first)) else None


def violations(src):
    found = []
    for layer, allowed in sorted(ALLOWED.items()):
        folder = os.path.join(src, layer)
        for root, _, files in os.walk(folder):
            for name in sorted(files):
                path = os.path.join(root, name)
                with open(path, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        target = layer_of_include(src, root, match.group(1))
                        if target is not None and target not in allowed:
                            shown = os.path.relpath(path, os.path.dirname(src))
                            found.append(f"{shown}:{number}: {layer}/ may not include {match.group(1)}")
    return found


def made_up_tree_is_caught():
    files = {
        "base/h.h": "",
        "base/bad.cpp": '#include "zov/b.h"\n',
        "zov/a.h": '#include "zov/b.h"\n#include "base/h.h"\n#include <vector>\n',
        "zov/b.h": "",
        "zov/bad.cpp": '#include "values/v.h"\n',
        "imagefile/i.cpp": '#include "zov/b.h"\n#include "imagefile/i.h"\n',
        "imagefile/i.h": "",
        "imagefile/bad.cpp": '#include "io/d.h"\n',
        "values/v.h": "",
        "values/bad.cpp": '#include "graphics/g.h"\n#include "../interp/x.h"\n',
        "io/d.h": '#include "values/v.h"\n#include "d2.h"\n',
        "io/d2.h": "",
        "io/bad.cpp": '  #  include "interp/x.h"\n',
        "interp/x.h": '#include "graphics/g.h"\n#include "io/d.h"\n',
        "graphics/g.h": '#include "interp/x.h"\n',
    }
    with tempfile.TemporaryDirectory() as top:
        src = os.path.join(top, "src")
        for name, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(src, name)), exist_ok=True)
            with open(os.path.join(src, name), "w") as f:
                f.write(text)
        caught = [v.split(":")[0] for v in violations(src)]
    expected = ["src/base/bad.cpp", "src/imagefile/bad.cpp", "src/io/bad.cpp", "src/values/bad.cpp", "src/values/bad.cpp",
                "src/zov/bad.cpp"]
    return sorted(caught) == expected


def main():
    if not made_up_tree_is_caught():
        print("the layer check no longer finds the includes it should")
        return 1
    found = violations(os.path.abspath(sys.argv[1]))
    for violation in found:
        print(violation)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
