"""The release channels as a user meets them: the Windows Installer package installed, started
from the Start menu, upgraded (with the program stopped and running) and removed (with its
settings window open) under Wine, and the winget and Scoop manifests checked against the files
they name."""

import glob
import hashlib
import json
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest
import zipfile

import yaml

import harness

UpgradeCode = "{7D7E1B76-DDBD-445B-A254-01945183A39B}"
RunKey = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
InstallerKey = r"HKCU\Software\Ferrogauge\Installer"
# How long msiexec may take for one package under Wine on a busy machine.
MsiexecTimeoutS = 180
GuideFiles = ["guide.css", "guide.html", "guide.ja.html"]


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def sha256(path):
    return hashlib.sha256(read_bytes(path)).hexdigest()


def program_version():
    with open(os.path.join(harness._repo_root(), "src", "res", "version.h")) as f:
        return re.search(r'#define FERRO_VERSION_TEXT "([^"]+)"', f.read()).group(1)


def later(version, step):
    major, minor, patch = (int(part) for part in version.split("."))
    return f"{major}.{minor}.{patch + step}"


class Packages:
    """The packages of three versions (this one and two later ones), and this version built
    again, made by the release script from the program under test, once for every test of this
    file."""

    folder = None
    versions = []
    Rebuilt = "rebuilt"

    @classmethod
    def make(cls):
        if cls.folder:
            return
        build = os.environ["FERRO_BUILD"]
        exe = os.environ.get("FERRO_EXE") or os.path.join(build, "ferrogauge.exe")
        dll = os.path.join(os.path.dirname(exe), "ferrogauge-setup.dll")
        cls.folder = tempfile.mkdtemp(prefix="packages.", dir=build)
        first = program_version()
        cls.versions = [first, later(first, 1), later(first, 2)]
        builds = [(version, version, step) for step, version in enumerate(cls.versions)]
        builds.append((first, cls.Rebuilt, 0))
        for version, name, step in builds:
            subprocess.run([os.path.join(harness._repo_root(), "scripts", "make-packages"),
                            "--exe", cls.program_of(exe, first, step, cls.folder),
                            "--setup-dll", dll, "--version", version,
                            "--out", os.path.join(cls.folder, name)],
                           check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)

    @staticmethod
    def program_of(exe, first, step, folder):
        """The program of the step-th version: after the first, the last character of the
        version texts in its version resource changed, so that an upgrade that left the old
        file in place shows."""
        if step == 0:
            return exe
        old = first.encode("utf-16-le")
        new = (first[:-1] + "abcdefgh"[step]).encode("utf-16-le")
        with open(exe, "rb") as f:
            data = f.read()
        assert data.count(old) >= 2, "no version texts in the program"
        path = os.path.join(folder, f"ferrogauge-{step}.exe")
        with open(path, "wb") as f:
            f.write(data.replace(old, new))
        return path

    @classmethod
    def remove(cls):
        if cls.folder:
            shutil.rmtree(cls.folder, ignore_errors=True)
            cls.folder = None

    @classmethod
    def msi(cls, version, name=None):
        return os.path.join(cls.folder, name or version, f"ferrogauge-{version}-x64.msi")

    @classmethod
    def zip(cls, version, name=None):
        return os.path.join(cls.folder, name or version, f"ferrogauge-{version}-win64.zip")

    @classmethod
    def program_hash(cls, version, name=None):
        """The SHA-256 of the program the packages of version hold."""
        with zipfile.ZipFile(cls.zip(version, name)) as z:
            return hashlib.sha256(z.read(f"ferrogauge-{version}/ferrogauge.exe")).hexdigest()


def setUpModule():
    Packages.make()


def tearDownModule():
    Packages.remove()


class Watched:
    """A Windows process of the desktop, watched from its start by a probe that waits for its
    end, so that its exit code is known however it ends."""

    def __init__(self, desktop, pid):
        self.pid = pid
        self.popen = subprocess.Popen(["wine", desktop.probe_exe, "wait-exit", str(pid),
                                       str(3600 * 1000)], env=desktop.env(),
                                      stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                      stderr=subprocess.DEVNULL, text=True)

    def running(self):
        return self.popen.poll() is None

    def exit_code(self, timeout):
        """The process's exit code once it has ended; None if it still runs after timeout
        seconds."""
        try:
            out, _ = self.popen.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None
        answer = harness.parse_pairs(out.strip())
        return int(answer["exit_code"]) if answer.get("exited") == "1" else None

    def stop(self):
        if self.popen.poll() is None:
            self.popen.kill()
        self.popen.communicate()


class InstallTest(harness.DesktopTestCase):
    lang = "en_US.UTF-8"

    def setUp(self):
        super().setUp()
        users = [path for path in glob.glob(os.path.join(self.desktop.prefix, "drive_c", "users",
                                                         "*"))
                 if os.path.basename(path) != "Public"]
        self.assertEqual(len(users), 1, users)
        profile = users[0]
        self.folder = os.path.join(profile, "AppData", "Local", "Programs", "Ferrogauge")
        self.shortcut = os.path.join(profile, "AppData", "Roaming", "Microsoft", "Windows",
                                     "Start Menu", "Programs", "Ferrogauge.lnk")
        self.roaming_settings = os.path.join(profile, "AppData", "Roaming", "Ferrogauge")
        self.ini = os.path.join(self.folder, "ferrogauge.ini")

    # ----- what a user does -----

    def msiexec(self, *args, succeeds=True):
        """Runs msiexec without a user interface; returns its log."""
        log = os.path.join(self.desktop.run_dir, f"msiexec-{time.monotonic_ns()}.log")
        done = subprocess.run(["wine", "msiexec", *args, "/qn", "/l*v", harness.windows_path(log)],
                              env=self.desktop.env(), stdin=subprocess.DEVNULL,
                              capture_output=True, text=True, errors="replace",
                              timeout=MsiexecTimeoutS)
        self.assertEqual(done.returncode == 0, succeeds,
                         f"msiexec {' '.join(args)}: {done.returncode} {done.stdout}"
                         f"{done.stderr}")
        data = read_bytes(log)
        return data.decode("utf-16" if data[:2] == b"\xff\xfe" else "utf-8", errors="replace")

    def install(self, version):
        self.msiexec("/i", harness.windows_path(Packages.msi(version)))

    def start_from_start_menu(self):
        """Starts the program as a click on its Start-menu entry does (the shell opens the
        shortcut and does not wait for what it starts); returns a Watched process of it and
        its window."""
        self.assertTrue(os.path.isfile(self.shortcut), "no Start-menu entry")
        # No pipes: the started program would hold them open.
        subprocess.run(["wine", "start", "/unix", self.shortcut], env=self.desktop.env(),
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True, timeout=harness.ProbeTimeoutS)
        window = self.desktop.wait_window(15000)
        self.assertTrue(window.ok and window["visible"] == "1", window)
        program = Watched(self.desktop, window.int("pid"))
        self.addCleanup(program.stop)
        return program, window

    def move_window(self, window, to):
        """Drags the window by its body to put its top left corner at to."""
        grip = (window.int("left") + 70, window.int("top") + 25)
        self.desktop.drag(grip, (to[0] + 70, to[1] + 25))
        self.assertTrue(harness.wait_for(
            lambda: (self.desktop.find().int("left"), self.desktop.find().int("top")) == to),
            f"the window did not move to {to}: {self.desktop.find()}")

    def assert_ended_cleanly(self, program, what):
        self.assertEqual(program.exit_code(30), 0, what)

    # ----- what the user finds -----

    def products(self):
        answer = self.desktop.probe("msi-products", "Ferrogauge")
        self.assertTrue(answer.ok, answer)
        return [harness.parse_pairs(line) for line in answer.stdout.splitlines()
                if line.startswith("product=")]

    def assert_installed(self, version, name=None):
        """The package of version (built as name) is the one product installed, with all its
        files; returns its product answer."""
        products = self.products()
        self.assertEqual(len(products), 1, products)
        product = products[0]
        self.assertEqual(product["context"], "user", "installed for this user only")
        self.assertEqual(product["version"], version)
        self.assertEqual(harness.word(product["publisher"]), "The Ferrogauge developers")
        self.assertTrue(harness.word(product["location"]).lower().endswith(
            "\\appdata\\local\\programs\\ferrogauge\\"), product)
        icon = harness.word(product["icon"])
        self.assertTrue(icon.lower().endswith(".ico"), product)
        exe = os.path.join(self.folder, "ferrogauge.exe")
        self.assertEqual(sha256(exe), Packages.program_hash(version, name),
                         "not this version's program")
        for name in GuideFiles + ["LICENSE.txt"]:
            self.assertTrue(os.path.isfile(os.path.join(self.folder, name)), name)
        pictures = glob.glob(os.path.join(self.folder, "images", "*.png"))
        self.assertGreater(len(pictures), 10)
        self.assertTrue(os.path.isfile(self.shortcut))
        return product

    def graph_pids(self):
        """The processes that show a graph window now."""
        answer = self.desktop.probe("all")
        return {int(harness.parse_pairs(line)["pid"]) for line in answer.stdout.splitlines()
                if line.startswith("hwnd=")}

    def run_value(self):
        done = subprocess.run(["wine", "reg", "query", RunKey, "/v", "Ferrogauge"],
                              env=self.desktop.env(), stdin=subprocess.DEVNULL,
                              capture_output=True, text=True, errors="replace")
        return done.stdout.replace("\r", "") if done.returncode == 0 else None

    def set_run_value(self, command):
        subprocess.run(["wine", "reg", "add", RunKey, "/v", "Ferrogauge", "/t", "REG_SZ", "/d",
                        command, "/f"], env=self.desktop.env(), check=True,
                       stdin=subprocess.DEVNULL, capture_output=True)

    def key_exists(self, key):
        return subprocess.run(["wine", "reg", "query", key], env=self.desktop.env(),
                              stdin=subprocess.DEVNULL, capture_output=True).returncode == 0

    # ----- the stories -----

    def install_and_start(self):
        """Installs the first version, starts it from the Start menu, moves its window and exits
        it: the usual state of a user's installed copy."""
        self.install(Packages.versions[0])
        program, window = self.start_from_start_menu()
        self.move_window(window, (300, 200))
        self.exit_with_menu(program)
        return harness.word(self.assert_installed(Packages.versions[0])["location"])

    def exit_with_menu(self, program):
        posted = self.desktop.command(harness.IdExit)
        self.assertTrue(posted.ok and posted["posted"] == "1", posted)
        self.assert_ended_cleanly(program, "the Exit command")

    def test_install_start_and_upgrade_keep_the_settings_file_to_the_byte(self):
        first, second, third = Packages.versions

        # Installed without a question into the user's own program folder.
        self.install(first)
        self.assert_installed(first)
        self.assertFalse(os.path.exists(self.ini), "the package brings no settings file")

        # Started from the Start menu: the window and the tray icon; a move is saved beside the
        # program when it exits.
        program, window = self.start_from_start_menu()
        icon, _ = self.desktop.find_tray_icon(self.shot_name("tray"))
        self.assertIsNotNone(icon, "no graph in the notification area")
        self.desktop.screenshot(self.shot_name("installed"))
        self.move_window(window, (300, 200))
        self.exit_with_menu(program)
        self.assertIn(b"WndPosX=300\r\nWndPosY=200\r\n", read_bytes(self.ini))
        self.assertFalse(os.path.exists(self.roaming_settings), "saved beside the program")

        # The upgrade: in place (the new program in the same folder, one product installed),
        # the settings file untouched to the byte, and the new version starts where the old
        # one was left. (Windows keeps the sign-in entry through an upgrade: it tells the old
        # package's removal that it is part of one. Wine 8 does not, so that is not shown here.)
        settings = read_bytes(self.ini)
        self.install(second)
        self.assert_installed(second)
        self.assertEqual(read_bytes(self.ini), settings)
        # And the next one replaces that one in turn; an older one never replaces it.
        self.install(third)
        newer = self.assert_installed(third)["product"]
        log = self.msiexec("/i", harness.windows_path(Packages.msi(first)), succeeds=False)
        # Refused by the launch condition, which found the newer one (Wine does not log the
        # condition's message in a silent installation).
        self.assertIn(f"NEWERFOUND = {newer}", log)
        self.assertRegex(log, r"LaunchConditions\. Return value [^1]")
        self.assert_installed(third)
        self.assertEqual(read_bytes(self.ini), settings)
        program, window = self.start_from_start_menu()
        self.assertEqual((window.int("left"), window.int("top")), (300, 200))

    def test_the_same_version_built_again_replaces_the_one_installed(self):
        first = Packages.versions[0]
        self.install(first)
        self.msiexec("/i", harness.windows_path(Packages.msi(first, Packages.Rebuilt)))
        product = self.assert_installed(first, Packages.Rebuilt)
        self.assertEqual(product["product"],
                         msi_property(Packages.msi(first, Packages.Rebuilt), "ProductCode"))

    def test_an_upgrade_closes_the_running_program_which_saves_first(self):
        self.install_and_start()
        program, window = self.start_from_start_menu()
        self.move_window(window, (320, 240))
        # A copy unpacked elsewhere is none of the package's business.
        self.desktop.start_program(exe=self.desktop.copy_exe("unpacked"))
        self.assertTrue(harness.wait_for(lambda: len(self.graph_pids()) == 2, 15),
                        "the other copy is not up")
        other = (self.graph_pids() - {program.pid}).pop()

        # Asked to exit as at sign-out, it saves what changed and ends with success before
        # its files are replaced.
        self.install(Packages.versions[1])
        self.assert_ended_cleanly(program, "closed by the upgrade")
        self.assert_installed(Packages.versions[1])
        self.assertIn(b"WndPosX=320\r\nWndPosY=240\r\n", read_bytes(self.ini))
        self.assertEqual(self.graph_pids(), {other}, "the copy elsewhere was closed")

    def test_removal_with_the_settings_window_open_keeps_the_settings_file(self):
        folder = self.install_and_start()
        self.set_run_value(f'"{folder}ferrogauge.exe"')
        program, window = self.start_from_start_menu()
        self.assertTrue(self.desktop.open_settings(window), "no settings window")
        settings = read_bytes(self.ini)

        # Closed (the open settings window cancelled, as at sign-out), every file of the
        # package gone, the settings file and its folder kept, and the sign-in entry gone with
        # the program it started.
        self.msiexec("/x", harness.windows_path(Packages.msi(Packages.versions[0])))
        self.assert_ended_cleanly(program, "closed by the removal")
        self.assertEqual(os.listdir(self.folder), ["ferrogauge.ini"])
        self.assertEqual(read_bytes(self.ini), settings)
        self.assertFalse(os.path.exists(self.shortcut), "the Start-menu entry stays")
        self.assertEqual(self.products(), [])
        self.assertFalse(self.key_exists(InstallerKey))
        self.assertIsNone(self.run_value(), "the sign-in entry stays")

    def test_a_sign_in_entry_of_another_copy_stays_when_the_package_is_removed(self):
        first = Packages.versions[0]
        self.install(first)
        self.set_run_value(r'"C:\Tools\Ferrogauge\ferrogauge.exe"')
        self.msiexec("/x", harness.windows_path(Packages.msi(first)))
        self.assertFalse(os.path.exists(self.folder), "an empty folder stays")
        self.assertIn(r"C:\Tools\Ferrogauge\ferrogauge.exe", self.run_value() or "")


def msi_property(path, name):
    text = subprocess.run(["msiinfo", "export", path, "Property"], check=True,
                          capture_output=True, text=True).stdout
    for line in text.splitlines():
        key, _, value = line.partition("\t")
        if key == name:
            return value
    return None


def download_place(version):
    with open(os.path.join(harness._repo_root(), "packaging", "release-places")) as f:
        for line in f:
            if line.startswith("download "):
                return line.split(None, 1)[1].strip().replace("${VERSION}", version)
    return None


class ManifestTest(unittest.TestCase):
    """The manifests name the files built beside them: version, address and hash."""

    def test_winget_manifests_name_the_package(self):
        for version in Packages.versions:
            with self.subTest(version):
                msi = Packages.msi(version)
                folder = os.path.join(Packages.folder, version, "winget", "manifests", "f",
                                      "Ferrogauge", "Ferrogauge", version)
                manifests = {}
                for name in sorted(os.listdir(folder)):
                    with open(os.path.join(folder, name), encoding="utf-8") as f:
                        text = f.read()
                    self.assertNotIn("${", text, name)
                    manifest = yaml.safe_load(text)
                    manifests[manifest["ManifestType"]] = manifest
                    self.assertEqual(manifest["PackageIdentifier"], "Ferrogauge.Ferrogauge")
                    self.assertEqual(manifest["PackageVersion"], version, name)
                    self.assertEqual(manifest["ManifestVersion"], "1.6.0", name)
                    self.assertEqual(name, "Ferrogauge.Ferrogauge" + {
                        "version": "", "installer": ".installer",
                        "defaultLocale": ".locale." + manifest.get("PackageLocale", ""),
                        "locale": ".locale." + manifest.get("PackageLocale", "")}[
                            manifest["ManifestType"]] + ".yaml")
                self.assertEqual(sorted(manifests),
                                 ["defaultLocale", "installer", "locale", "version"])
                self.assertEqual(manifests["version"]["DefaultLocale"],
                                 manifests["defaultLocale"]["PackageLocale"])
                for key in ("Publisher", "PackageName", "License", "ShortDescription"):
                    self.assertTrue(manifests["defaultLocale"].get(key), key)

                installer = manifests["installer"]
                self.assertEqual(msi_property(msi, "ProductVersion"), version)
                self.assertEqual(installer["InstallerType"], "msi")
                self.assertEqual(installer["Scope"], "user")
                self.assertEqual(installer["ProductCode"], msi_property(msi, "ProductCode"))
                entry, = installer["AppsAndFeaturesEntries"]
                self.assertEqual(entry["DisplayVersion"], version)
                self.assertEqual(entry["ProductCode"], msi_property(msi, "ProductCode"))
                self.assertEqual(entry["UpgradeCode"], UpgradeCode)
                self.assertEqual(entry["Publisher"], msi_property(msi, "Manufacturer"))
                download, = installer["Installers"]
                self.assertEqual(download["Architecture"], "x64")
                self.assertEqual(download["InstallerUrl"],
                                 download_place(version) + os.path.basename(msi))
                self.assertEqual(download["InstallerSha256"], sha256(msi).upper())

    def test_scoop_manifest_names_the_zip_and_keeps_the_settings(self):
        for version in Packages.versions:
            with self.subTest(version):
                path = os.path.join(Packages.folder, version, "scoop", "ferrogauge.json")
                with open(path, encoding="utf-8") as f:
                    manifest = json.load(f)
                self.assertNotIn("${", json.dumps(manifest))
                archive = Packages.zip(version)
                download = manifest["architecture"]["64bit"]
                self.assertEqual(manifest["version"], version)
                self.assertEqual(download["url"],
                                 download_place(version) + os.path.basename(archive))
                self.assertEqual(download["hash"], sha256(archive))
                with zipfile.ZipFile(archive) as z:
                    self.assertIn(f"{manifest['extract_dir']}/ferrogauge.exe", z.namelist())
                self.assertEqual(manifest["persist"], "ferrogauge.ini")
                self.assertEqual(manifest["shortcuts"], [["ferrogauge.exe", "Ferrogauge"]])


if __name__ == "__main__":
    unittest.main()
