"""The version the build names (project() in CMakeLists.txt) and the interactive mode's
first line made from it, so that the tests follow a version change without being
edited and still check what the executable says."""
import os
import re

SOURCE_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")


def version():
    with open(os.path.join(SOURCE_DIR, "CMakeLists.txt"), encoding="utf-8") as handle:
        return re.search(r"project\(velmora VERSION ([0-9.]+)", handle.read()).group(1)


def banner():
    return f"Velmora BASIC V{version()}"
