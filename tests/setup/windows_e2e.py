"""End-to-end tests of velmora-setup.exe under Wine: one fresh prefix with a throw-away home,
a private X display, and the setup run from package folders made for each case."""

import argparse
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

from e2e_common import (FAILED, INCOMPLETE, SUCCESS, Checks, busy_limit, dismiss_boxes,
                        icon_colour, start_display, wait_for)

# Cases run in order over the same profile: the first two must leave it clean.
CASES = [
    {"name": "setup alone", "files": [], "code": 2, "text": INCOMPLETE, "creates": False},
    {"name": "page only in a web subfolder", "files": ["program", "web/index.html"],
     "code": 2, "text": INCOMPLETE, "creates": False},
    {"name": "first run", "files": ["program", "index.html"], "version": "first",
     "code": 0, "text": SUCCESS, "starts": 1},
    {"name": "second run replaces both files", "files": ["program", "index.html"],
     "version": "second", "code": 0, "text": SUCCESS, "starts": 2},
    # Run from drive C:, where the download folder and Local AppData usually share a drive.
    {"name": "run from C:", "files": ["program", "index.html"], "version": "c-first",
     "drive_c": True, "code": 0, "text": SUCCESS, "starts": 3},
    {"name": "run from C: again with a changed page", "files": ["program", "index.html"],
     "version": "c-second", "drive_c": True, "code": 0, "text": SUCCESS, "starts": 4},
    {"name": "installed program locked", "files": ["program", "index.html"], "version": "third",
     "hold": True, "code": 1, "text": FAILED, "starts": 4, "page_stays": "c-second"},
    {"name": "checker name taken by a folder", "files": ["program-folder", "index.html"],
     "version": "fourth", "code": 1, "text": FAILED, "starts": 4, "page_stays": "c-second"},
]


def wine_path(path):
    return "Z:" + path.replace("/", "\\")


class Wine:
    def __init__(self, root, display):
        home = os.path.join(root, "home")
        os.makedirs(os.path.join(home, "Desktop"))
        self.env = dict(os.environ, HOME=home, WINEPREFIX=os.path.join(root, "prefix"),
                        WINEARCH="win64", WINEDEBUG="-all", DISPLAY=display,
                        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
        self.env.pop("WAYLAND_DISPLAY", None)
        subprocess.run(["wineboot", "--init"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=180)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=180)
        users = [u for u in glob.glob(os.path.join(self.env["WINEPREFIX"], "drive_c/users/*"))
                 if os.path.basename(u) != "Public"]
        if len(users) != 1:
            raise RuntimeError(f"cannot tell the Wine user from {users}")
        self.user = os.path.basename(users[0])
        self.profile = users[0]

    def popen(self, *args, **kwargs):
        return subprocess.Popen(["wine", *args], env=self.env, **kwargs)

    def output(self, *args, timeout=60):
        """Runs a program to its end and returns what it printed. Its output goes through a file:
        Wine's helper processes inherit a pipe and would keep it open."""
        with tempfile.TemporaryFile() as out:
            subprocess.run(["wine", *args], env=self.env, stdout=out, stderr=subprocess.DEVNULL,
                           timeout=timeout)
            out.seek(0)
            return out.read().decode().splitlines()

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)


def make_package(folder, case, setup, standin):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copy(setup, os.path.join(folder, "velmora-setup.exe"))
    version = case.get("version", "")
    for item in case["files"]:
        if item == "program":
            # Bytes after the image keep it runnable and tell the versions apart.
            shutil.copy(standin, os.path.join(folder, "velmora-checker.exe"))
            with open(os.path.join(folder, "velmora-checker.exe"), "ab") as program:
                program.write(version.encode())
        elif item == "program-folder":
            os.makedirs(os.path.join(folder, "velmora-checker.exe"))
        else:
            os.makedirs(os.path.dirname(os.path.join(folder, item)), exist_ok=True)
            with open(os.path.join(folder, item), "w") as page:
                page.write(f"<!doctype html><title>{version} page</title>")


def read_file(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def run_case(wine, checks, case, paths, args, root, index):
    checks.case = case["name"]
    if case.get("drive_c"):
        # The same C:\pkg each time, as a download folder is reused.
        package = os.path.join(wine.env["WINEPREFIX"], "drive_c", "pkg")
        setup_program = "C:\\pkg\\velmora-setup.exe"
    else:
        package = os.path.join(root, f"package-{index}")
        setup_program = os.path.join(package, "velmora-setup.exe")
    make_package(package, case, args.setup, args.standin)

    holder = None
    if case.get("hold"):
        holder = wine.popen(args.probe, "hold", paths["win_program"], stdin=subprocess.PIPE,
                            stdout=subprocess.PIPE, text=True)
        checks.equal(holder.stdout.readline().strip(), "held", "the holder's answer")

    setup = wine.popen(setup_program)
    # The probe returns as soon as the box shows; on a busy machine it may take longer to come.
    box_limit = busy_limit(30)
    box = wine.output(args.probe, "box", str(box_limit), timeout=box_limit + 30)
    icons = []

    def note_icon(window):
        # The icon is drawn after the box appears: give it a moment, boundedly.
        for _ in range(20):
            colour = icon_colour(window, wine.env)
            if colour:
                break
            time.sleep(0.1)
        icons.append(colour)

    code, boxes = dismiss_boxes(setup, wine.env, on_box=note_icon)
    if holder:
        holder.stdin.close()
        holder.wait(timeout=30)

    checks.equal(code, case["code"], "exit code")
    checks.equal(boxes, 1, "message boxes seen")
    checks.equal(box, [f"text={case['text']}", "button=OK"], "message box")
    checks.equal(icons, ["blue" if case["code"] == 0 else "red"], "message box icon")

    if case.get("creates") is False:
        for what in ("install", "menu_folder", "desktop_link"):
            checks.expect(not os.path.lexists(paths[what]), f"{what} was created")
        return

    if case["code"] == 0:
        source_program = read_file(os.path.join(package, "velmora-checker.exe"))
        checks.expect(read_file(paths["program"]) == source_program,
                      "installed program differs from the source")
        checks.equal(read_file(paths["page"]),
                     read_file(os.path.join(package, "index.html")), "installed page")
        for link in ("menu_link", "desktop_link"):
            checks.equal(wine.output(args.probe, "lnk", paths["win_" + link]), [
                "path=" + paths["win_program"], "workdir=" + paths["win_install"],
                "description=Velmora Checker", "arguments=", "icon=", "hotkey=0", "show=1"],
                link)
    else:
        expected = f"<!doctype html><title>{case['page_stays']} page</title>".encode()
        checks.equal(read_file(paths["page"]), expected, "installed page")

    # Each successful run starts the installed program once, in the install folder.
    expected_starts = case["starts"]
    try:
        wait_for(lambda: len(starts(paths)) >= expected_starts, "the checker to start")
    except AssertionError as error:
        checks.expect(False, str(error))
    lines = starts(paths)
    checks.equal(len(lines), expected_starts, "checker starts")
    for line in lines:
        cwd, _, program = line.partition("|")
        checks.equal(cwd, paths["win_install"], "checker working directory")
        checks.expect(program.lower().endswith("velmorachecker.exe"),
                      f"started program {program!r}")


def starts(paths):
    data = read_file(paths["starts"])
    return data.decode().splitlines() if data else []


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--setup", required=True)
    parser.add_argument("--standin", required=True)
    parser.add_argument("--probe", required=True)
    args = parser.parse_args()

    root = tempfile.mkdtemp(prefix="velmora-setup-wine.")
    xvfb, display = start_display()
    wine = None
    checks = Checks()
    try:
        wine = Wine(root, display)
        local = os.path.join(wine.profile, "AppData", "Local", "Velmora Checker")
        menu = os.path.join(wine.profile, "AppData", "Roaming", "Microsoft", "Windows",
                            "Start Menu", "Programs", "Velmora Checker")
        win_profile = "C:\\users\\" + wine.user
        win_install = win_profile + "\\AppData\\Local\\Velmora Checker"
        paths = {
            "install": local,
            "program": os.path.join(local, "VelmoraChecker.exe"),
            "page": os.path.join(local, "web", "index.html"),
            "menu_folder": menu,
            "desktop_link": os.path.join(wine.profile, "Desktop", "Velmora Checker.lnk"),
            "win_install": win_install,
            "win_program": win_install + "\\VelmoraChecker.exe",
            "win_menu_link": win_profile + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu"
                             "\\Programs\\Velmora Checker\\Velmora Checker.lnk",
            "win_desktop_link": win_profile + "\\Desktop\\Velmora Checker.lnk",
            "starts": os.path.join(root, "starts.log"),
        }
        wine.env["VELMORA_STANDIN_LOG"] = wine_path(paths["starts"])
        for index, case in enumerate(CASES):
            started = time.monotonic()
            run_case(wine, checks, case, paths, args, root, index)
            print(f"case {case['name']}: {time.monotonic() - started:.1f} s", flush=True)
    finally:
        if wine:
            wine.stop()
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(root, ignore_errors=True)
    return checks.finish(len(CASES))


if __name__ == "__main__":
    sys.exit(main())
