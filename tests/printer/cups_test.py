#!/usr/bin/env python3
"""A print job delivered to the default CUPS destination through libcups.

Starts a private cupsd (its own configuration, spool and logs in a temporary folder,
listening only on a unix socket there) with one raw queue as the default, whose device
is a file in that folder. A copy of the interpreter with its own .ini (no PDFFILE) runs
`lprint "hello"` and ends; the job's PDF must arrive in the file and hold the text.
Exits 77 (skipped) when it cannot run: not root, or cupsd not installed.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

DELIVERY_SECONDS = 30
COPY_FILTER = "/usr/lib/cups/filter/gziptoany"

# A raw queue runs no filter, and with a file device nothing would then write the file:
# gziptoany copies the job's PDF through unchanged. The default media is Letter, so that
# the page size shows it was taken from the destination rather than the A4 fallback.
CAPTURE_PPD = """\
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "CAPTURE.PPD"
*Manufacturer: "Velmora tests"
*Product: "(PDF capture)"
*ModelName: "PDF capture"
*ShortNickName: "PDF capture"
*NickName: "PDF capture"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsFilter: "application/pdf 0 gziptoany"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: Letter
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*PageSize Letter/Letter: "<</PageSize[612 792]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: Letter
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*PageRegion Letter/Letter: "<</PageSize[612 792]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: Letter
*ImageableArea A4/A4: "0 0 595 842"
*ImageableArea Letter/Letter: "0 0 612 792"
*DefaultPaperDimension: Letter
*PaperDimension A4/A4: "595 842"
*PaperDimension Letter/Letter: "612 792"
"""


def write(path, text):
    with open(path, "w", encoding="utf-8") as handle:
        handle.write(text)


def configure(root):
    """A cupsd that knows nothing of /etc/cups and touches nothing outside root."""
    conf = os.path.join(root, "conf")
    for name in ("conf", "spool", "spool/tmp", "cache", "state", "log", "out"):
        os.makedirs(os.path.join(root, name), mode=0o755)
    socket_path = os.path.join(root, "cups.sock")
    write(os.path.join(conf, "cupsd.conf"), f"""\
Listen {socket_path}
LogLevel debug
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
""")
    write(os.path.join(conf, "cups-files.conf"), f"""\
FileDevice Yes
RequestRoot {root}/spool
TempDir {root}/spool/tmp
CacheDir {root}/cache
StateDir {root}/state
AccessLog {root}/log/access_log
ErrorLog {root}/log/error_log
PageLog {root}/log/page_log
Printcap {root}/state/printcap
""")
    write(os.path.join(conf, "printers.conf"), f"""\
<DefaultPrinter capture>
DeviceURI file://{root}/out/job.pdf
State Idle
Accepting Yes
Shared No
</DefaultPrinter>
""")
    os.makedirs(os.path.join(conf, "ppd"), mode=0o755)
    write(os.path.join(conf, "ppd", "capture.ppd"), CAPTURE_PPD)
    return conf, socket_path


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.2)
    return False


def pdf_text(path):
    if not os.path.exists(path):
        return ""
    return subprocess.run(["pdftotext", path, "-"], capture_output=True, text=True).stdout


def pdf_info(path):
    return subprocess.run(["pdfinfo", path], capture_output=True, text=True).stdout


def error_log(root):
    path = os.path.join(root, "log", "error_log")
    if not os.path.exists(path):
        return "(no error log)"
    with open(path, encoding="utf-8", errors="replace") as handle:
        return "".join(handle.readlines()[-40:])


def run(executable, root, socket_path):
    copy = os.path.join(root, "velmora")
    shutil.copy(executable, copy)
    env = dict(os.environ, CUPS_SERVER=socket_path, HOME=root, LC_ALL="C.UTF-8",
               XDG_CONFIG_HOME=os.path.join(root, "config"))
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "ZOV_MINCHO", "LPDEST", "PRINTER"):
        env.pop(name, None)
    result = subprocess.run([copy], input=b'lprint "hello"\n', capture_output=True,
                            cwd=root, env=env, timeout=30)
    with open(copy + ".ini", encoding="utf-8") as handle:
        ini = handle.read()
    return result, ini


def main():
    executable = os.path.abspath(sys.argv[1])
    cupsd = shutil.which("cupsd") or ("/usr/sbin/cupsd" if os.path.exists("/usr/sbin/cupsd") else None)
    if os.geteuid() != 0 or cupsd is None or not os.path.exists(COPY_FILTER):
        print("skipped: needs root, cupsd and the gziptoany filter (cups-core-drivers)")
        return 77
    root = tempfile.mkdtemp(prefix="velmora-cups-")
    os.chmod(root, 0o755)
    daemon = None
    try:
        conf, socket_path = configure(root)
        daemon = subprocess.Popen([cupsd, "-f", "-c", os.path.join(conf, "cupsd.conf"),
                                   "-s", os.path.join(conf, "cups-files.conf")],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_for(lambda: os.path.exists(socket_path) or daemon.poll() is not None, 10) \
                or daemon.poll() is not None:
            print("cupsd did not start:\n" + error_log(root))
            return 1
        result, ini = run(executable, root, socket_path)
        failures = []
        if result.returncode != 0 or result.stderr:
            failures.append(f"interpreter: exit {result.returncode}, stderr {result.stderr!r}")
        if "PDFFILE" in ini:
            failures.append(f"the .ini should name no PDFFILE:\n{ini}")
        delivered = os.path.join(root, "out", "job.pdf")
        if not wait_for(lambda: "hello" in pdf_text(delivered), DELIVERY_SECONDS):
            failures.append(f"no PDF holding the text arrived in {DELIVERY_SECONDS} s\n" + error_log(root))
        elif "Page size:       612 x 792 pts" not in pdf_info(delivered):
            failures.append("the page is not the destination's Letter:\n" + pdf_info(delivered))
        for failure in failures:
            print("FAIL:", failure)
        if not failures:
            print("ok: the job reached the default CUPS destination")
        return 1 if failures else 0
    finally:
        if daemon is not None and daemon.poll() is None:
            daemon.send_signal(signal.SIGTERM)
            try:
                daemon.wait(timeout=10)
            except subprocess.TimeoutExpired:
                daemon.kill()
                daemon.wait()
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
