#!/usr/bin/env python3
"""make deb: lintian finds nothing to object to in the package, which installs with
dpkg -i, works, and dpkg -r removes every file. The install runs only as root, never
when velmora is already installed, one run at a time across the machine; whatever
happens, the package is not left installed."""
import fcntl
import os
import subprocess
import sys
import tempfile
import time

SKIP = 77  # CTest's SKIP_RETURN_CODE for this test
# Shown by lintian as information only, yet what a Debian package must not lack: the
# list of checksums, and the hardening flags of a build that is hardened (a sanitizer
# or debug build is not).
REQUIRED = ("no-md5sums-control-file",)
HARDENING = ("hardening-no-bindnow", "hardening-no-fortify-functions")


def run(command, **options):
    return subprocess.run(command, capture_output=True, text=True, timeout=300, **options)


def dpkg(*arguments):
    """dpkg, waiting while another package tool holds its lock."""
    for _ in range(60):
        result = run(["dpkg", *arguments], env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
        if result.returncode == 0 or "lock" not in result.stderr:
            return result
        time.sleep(1)
    return result


def installed():
    status = run(["dpkg-query", "-W", "-f=${Status}", "velmora"]).stdout
    return status != "" and not status.endswith("not-installed")


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def check_lintian(package, hardened):
    result = run(["lintian", "--display-info", package])
    check(result.returncode in (0, 1), "lintian did not run: " + result.stderr)  # 1: it found errors
    required = REQUIRED + (HARDENING if hardened else ())
    tags = [line for line in result.stdout.splitlines()
            if line.startswith(("E: ", "W: ")) or any(tag in line for tag in required)]
    check(not tags, "lintian: " + "\n".join(tags))


def exercise(package):
    result = dpkg("-i", package)
    check(result.returncode == 0, "dpkg -i failed: " + result.stderr)
    check(run(["dpkg-query", "-W", "-f=${Status}", "velmora"]).stdout == "install ok installed", "not installed")
    depends = run(["dpkg-query", "-W", "-f=${Depends}", "velmora"]).stdout
    # The libraries opened only by the first window or print job are listed too.
    for needed in ("libreadline8", "libc6", "libsdl2-2.0-0", "libx11-6", "libcups2", "libcairo2",
                   "fonts-ipafont-gothic", "fonts-ipafont-mincho"):
        check(needed in depends, f"{needed} missing from Depends: {depends}")
    check(run(["/usr/bin/velmora", "sqrt(-4)"]).stdout == "2i\n", "the installed executable does not work")
    english = run(["/usr/bin/velmora", "a(1)"], env=dict(os.environ, LC_ALL="C.UTF-8", LANGUAGE="en")).stdout
    check(english == "array must be declared with DIM\n", "the installed catalogue is not found: " + english)
    # The archive's list, not dpkg -L: a system may be set to leave out manual pages.
    files = [line.split()[-1][1:] for line in run(["dpkg-deb", "-c", package]).stdout.splitlines()]
    for name in ("/usr/bin/velmora", "/usr/share/man/man1/velmora.1.gz",
                 "/usr/share/doc/velmora/copyright", "/usr/share/doc/velmora/examples/unity.bas",
                 "/usr/share/locale/en/LC_MESSAGES/velmora.mo"):
        check(name in files, f"{name} not in the package")
    result = dpkg("-r", "velmora")
    check(result.returncode == 0, "dpkg -r failed: " + result.stderr)
    check(not installed(), "still installed after dpkg -r")
    left = [name for name in files if os.path.isfile(name)]
    check(not left and not os.path.exists("/usr/share/doc/velmora"), f"left behind: {left}")


def main():
    executable, source_dir = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    hardened = sys.argv[3:] == ["ON"]
    with tempfile.TemporaryDirectory() as directory:
        result = run([os.path.join(source_dir, "scripts", "make-deb.sh"), executable, directory])
        check(result.returncode == 0, "make-deb.sh failed: " + result.stderr)
        package = result.stdout.strip()
        check_lintian(package, hardened)
        if os.geteuid() != 0:
            print("SKIP: lintian is content; installing a package needs root")
            return SKIP
        with open("/tmp/velmora-deb-test.lock", "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            if installed() or os.path.exists("/usr/bin/velmora") or os.path.exists("/usr/share/doc/velmora"):
                print("SKIP: lintian is content; velmora is installed on this machine already and is left alone")
                return SKIP
            try:
                exercise(package)
            finally:
                if installed():
                    dpkg("--purge", "velmora")
    print("deb: lintian is content; installed, used and removed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
