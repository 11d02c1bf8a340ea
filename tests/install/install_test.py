#!/usr/bin/env python3
"""make install and make uninstall into a temporary DESTDIR: the installed executable
runs and finds its message catalogue, scripts run through "#!", the manual page reads
cleanly with man -l, and uninstall leaves no file behind, nor a folder that install made."""
import os
import subprocess
import sys
import tempfile
import unittest

EXECUTABLE = SOURCE_DIR = None


def run(command, **options):
    return subprocess.run(command, capture_output=True, timeout=60, **options)


class InstallTest(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        self.destdir = os.path.join(self.directory.name, "root")
        self.prefix = self.destdir + "/usr/local"
        self.script = os.path.join(SOURCE_DIR, "scripts", "install.sh")
        result = run([self.script, "install", EXECUTABLE, self.destdir, "/usr/local"])
        self.assertEqual(result.returncode, 0, result.stderr)
        self.env = dict(os.environ, LC_ALL="C.UTF-8", XDG_CONFIG_HOME=self.directory.name + "/config",
                        PATH=self.prefix + "/bin:" + os.environ["PATH"])

    def tearDown(self):
        self.directory.cleanup()

    def installed_files(self):
        return sorted(os.path.relpath(os.path.join(top, name), self.prefix)
                      for top, _, names in os.walk(self.destdir) for name in names)

    def test_installs_runs_and_uninstalls(self):
        self.assertEqual(self.installed_files(), [
            "bin/velmora", "bin/velmora-kernel", "share/doc/velmora/README.md", "share/doc/velmora/examples/quadratic.vmb",
            "share/doc/velmora/examples/roots.bas", "share/doc/velmora/examples/unity.bas",
            "share/doc/velmora/examples/worked_examples.ipynb",
            "share/doc/velmora/installed-folders",
            "share/jupyter/kernels/velmora/kernel.json", "share/jupyter/kernels/velmora/logo-32x32.png",
            "share/jupyter/kernels/velmora/logo-64x64.png",
            "share/locale/en/LC_MESSAGES/velmora.mo", "share/man/man1/velmora-kernel.1", "share/man/man1/velmora.1"])
        result = run(["velmora", "(1+2i)*(3-i)"], env=self.env)
        self.assertEqual(result.stdout, b"5+5i\n")
        # The installed catalogue is found: English under LANGUAGE=en, Japanese without.
        result = run(["velmora", "a(1)"], env=dict(self.env, LANGUAGE="en"))
        self.assertEqual(result.stdout, b"array must be declared with DIM\n")
        result = run(["velmora", "a(1)"], env=self.env)
        self.assertEqual(result.stdout.decode(), "配列は DIM で宣言が必要\n")
        # An installed interpreter keeps its .ini in the XDG directory, never in bin/.
        usage = run(["velmora", "--help"], env=self.env).stdout.decode()
        self.assertIn(self.directory.name + "/config/velmora/velmora.ini", usage)
        for name in ("ZOV_GOTHIC", "ZOV_MINCHO", "ZOV_DEBUG", "VELMORA_ENGINE", "velmora/history", "-c", "EXPRESSION"):
            self.assertIn(name, usage)
        # The example script runs from the shell through its "#!" line.
        examples = self.prefix + "/share/doc/velmora/examples"
        result = run([examples + "/unity.bas"], env=self.env, cwd=examples)
        lines = result.stdout.decode().splitlines()
        self.assertEqual((len(lines), lines[0].split(), lines[3].split()), (6, ["0", "1"], ["3", "-1"]))

        self.uninstall()
        self.assertEqual(self.installed_files(), [])
        self.assertFalse(os.path.exists(self.prefix + "/share/doc/velmora"))

    def uninstall(self):
        result = run([self.script, "uninstall", EXECUTABLE, self.destdir, "/usr/local"])
        self.assertEqual(result.returncode, 0, result.stderr)

    def folders(self):
        return sorted(os.path.relpath(os.path.join(top, name), self.destdir)
                      for top, names, _ in os.walk(self.destdir) for name in names)

    def test_uninstall_removes_the_folders_install_made_and_keeps_the_others(self):
        self.uninstall()
        self.assertEqual(self.folders(), [])
        # A folder that was there before, empty as Debian's /usr/local/share/man is, stays.
        os.makedirs(self.prefix + "/share/man")
        result = run([self.script, "install", EXECUTABLE, self.destdir, "/usr/local"])
        self.assertEqual(result.returncode, 0, result.stderr)
        self.uninstall()
        self.assertEqual(self.folders(), ["usr", "usr/local", "usr/local/share", "usr/local/share/man"])

    def test_the_manual_page_reads_without_warnings(self):
        page = self.prefix + "/share/man/man1/velmora.1"
        env = dict(self.env, MANWIDTH="80", MAN_DISABLE_SECCOMP="1")
        result = run(["man", "--warnings", "-l", "-P", "cat", page], env=env)
        self.assertEqual((result.returncode, result.stderr), (0, b""))
        text = result.stdout.decode()
        for heading in ("NAME", "SYNOPSIS", "COMMAND-LINE FORMS", "FILES", "ENVIRONMENT", "EXAMPLES"):
            self.assertIn("\n" + heading + "\n", text)
        for word in ("velmora -c", "#!/usr/bin/env velmora", "ZOV_GOTHIC", "ZOV_MINCHO", "ZOV_DEBUG", "VELMORA_ENGINE",
                     "$XDG_STATE_HOME/velmora/history", "$XDG_CONFIG_HOME/velmora/velmora.ini", "LINESPC"):
            self.assertIn(word, text)


if __name__ == "__main__":
    EXECUTABLE, SOURCE_DIR = os.path.abspath(sys.argv.pop(1)), os.path.abspath(sys.argv.pop(1))
    unittest.main()
