"""End-to-end tests of the Linux velmora-setup: throw-away homes, a private X display for the
message boxes (dismissed with xdotool), standard error when there is no display."""

import argparse
import os
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from e2e_common import (FAILED, INCOMPLETE, NO_DATA, SUCCESS, Checks, dismiss_boxes,
                        start_display, wait_for)

# Cases sharing a home run in order: the first two must leave it clean. "display" False runs the
# setup without a display, where its text goes to standard error.
CASES = [
    {"name": "setup alone", "home": "main", "files": [], "display": False,
     "code": 2, "text": INCOMPLETE, "creates": False},
    {"name": "page only in a web subfolder", "home": "main",
     "files": ["program", "web/index.html"], "code": 2, "creates": False},
    {"name": "first run", "home": "main", "files": ["program", "index.html"], "version": "first",
     "code": 0, "starts": 1, "stay": True},
    {"name": "installed program still running", "home": "main",
     "files": ["program", "index.html"], "version": "second", "display": False, "code": 1,
     "text": FAILED, "starts": 1, "page_stays": "first", "close_checker": True},
    {"name": "second run replaces both files", "home": "main", "files": ["program", "index.html"],
     "version": "third", "code": 0, "starts": 2, "display": False, "text": SUCCESS},
    {"name": "install folder cannot be made", "home": "blocked",
     "files": ["program", "index.html"], "display": False, "code": 1, "text": FAILED,
     "starts": 0},
    {"name": "no data folder at all", "home": None, "files": ["program", "index.html"],
     "display": False, "code": 3, "text": NO_DATA, "creates": False},
]


def make_package(folder, case, setup, standin):
    os.makedirs(folder)
    shutil.copy(setup, os.path.join(folder, "velmora-setup"))
    version = case.get("version", "")
    for item in case["files"]:
        if item == "program":
            shutil.copy(standin, os.path.join(folder, "velmora-checker"))
            with open(os.path.join(folder, "velmora-checker"), "ab") as program:
                program.write(version.encode())
            # As a download might leave it: the setup must make the installed copy executable.
            os.chmod(os.path.join(folder, "velmora-checker"), 0o644)
        else:
            os.makedirs(os.path.dirname(os.path.join(folder, item)), exist_ok=True)
            with open(os.path.join(folder, item), "w") as page:
                page.write(page_text(version))


def page_text(version):
    return f"<!doctype html><title>{version} page</title>"


def read_file(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def entry_values(path):
    values = {}
    for line in (read_file(path) or b"").decode().splitlines():
        key, sep, value = line.partition("=")
        if sep:
            values[key] = value
    return values


def unescape(value):
    out, i = "", 0
    while i < len(value):
        if value[i] == "\\" and i + 1 < len(value):
            out += {"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}.get(value[i + 1],
                                                                             value[i + 1])
            i += 2
        else:
            out += value[i]
            i += 1
    return out


def running_checkers(program):
    found = []
    for pid in os.listdir("/proc"):
        if pid.isdigit():
            try:
                if os.readlink(f"/proc/{pid}/exe") == program:
                    found.append(int(pid))
            except OSError:
                pass
    return found


def homes(root):
    """Each home has a space in its path, so the launchers' quoting is exercised for real."""
    main_home = os.path.join(root, "main home")
    desk = os.path.join(main_home, "Work Desk")
    os.makedirs(desk)
    os.makedirs(os.path.join(main_home, ".config"))
    with open(os.path.join(main_home, ".config", "user-dirs.dirs"), "w") as dirs:
        dirs.write('XDG_DESKTOP_DIR="$HOME/Work Desk"\n')
    blocked = os.path.join(root, "blocked home")
    os.makedirs(os.path.join(blocked, "data"))
    # A file where the install folder should go: root may write anywhere, but not through this.
    with open(os.path.join(blocked, "data", "velmora-checker"), "w") as taken:
        taken.write("not a folder")
    return {
        "main": {"HOME": main_home, "desktop": desk,
                 "data": os.path.join(main_home, ".local", "share")},
        "blocked": {"HOME": blocked, "XDG_DATA_HOME": os.path.join(blocked, "data"),
                    "desktop": None, "data": os.path.join(blocked, "data")},
    }


def run_case(checks, case, args, root, index, display, home_table):
    checks.case = case["name"]
    starts_log = os.path.join(root, f"starts-{case['home']}.log")
    package = os.path.join(root, f"package {index}")
    make_package(package, case, args.setup, args.standin)

    env = {k: v for k, v in os.environ.items()
           if k not in ("HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "DISPLAY", "WAYLAND_DISPLAY")}
    env.update(NO_AT_BRIDGE="1", GDK_BACKEND="x11", VELMORA_STANDIN_LOG=starts_log)
    home = home_table.get(case["home"]) if case["home"] else None
    if home:
        env["HOME"] = home["HOME"]
        if "XDG_DATA_HOME" in home:
            env["XDG_DATA_HOME"] = home["XDG_DATA_HOME"]
    if case.get("stay"):
        env["VELMORA_STANDIN_STAY"] = "1"
    show = case.get("display", True)
    if show:
        env["DISPLAY"] = display

    with tempfile.TemporaryFile() as err:
        setup = subprocess.Popen([os.path.join(package, "velmora-setup")], env=env,
                                 stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=err)
        code, boxes = dismiss_boxes(setup, dict(os.environ, DISPLAY=display))
        err.seek(0)
        stderr = err.read().decode()
    checks.equal(code, case["code"], "exit code")
    if show:
        checks.equal(boxes, 1, "message boxes seen")
    else:
        checks.equal(boxes, 0, "message boxes seen")
        checks.equal(stderr, case["text"] + "\n", "standard error")

    data = home["data"] if home else None
    install = os.path.join(data, "velmora-checker") if data else None
    program = os.path.join(install, "velmora-checker") if install else None
    menu_entry = os.path.join(data, "applications", "velmora-checker.desktop") if data else None
    desk_entry = (os.path.join(home["desktop"], "velmora-checker.desktop")
                  if home and home["desktop"] else None)

    if case.get("creates") is False:
        for path in (install, menu_entry, desk_entry):
            checks.expect(not path or not os.path.lexists(path), f"{path} was created")
        return

    if case["code"] == 0:
        checks.equal(read_file(program), read_file(os.path.join(package, "velmora-checker")),
                     "installed program")
        checks.equal(os.stat(program).st_mode & 0o777, 0o755, "installed program mode")
        checks.equal(read_file(os.path.join(install, "web", "index.html")),
                     page_text(case["version"]).encode(), "installed page")
        for entry in (menu_entry, desk_entry):
            valid = subprocess.run(["desktop-file-validate", entry], capture_output=True,
                                   text=True)
            checks.expect(valid.returncode == 0 and "error" not in valid.stdout,
                          f"{entry} invalid: {valid.stdout}")
            checks.expect(os.stat(entry).st_mode & 0o111, f"{entry} not executable")
            values = entry_values(entry)
            checks.equal(shlex.split(unescape(values.get("Exec", ""))), [program], "Exec")
            checks.equal(unescape(values.get("Path", "")), install, "Path")
            checks.equal(values.get("Name"), "Velmora Checker", "Name")
            checks.equal(values.get("Comment"), "Velmora Checker", "Comment")
    elif case.get("page_stays"):
        checks.equal(read_file(os.path.join(install, "web", "index.html")),
                     page_text(case["page_stays"]).encode(), "installed page")

    try:
        wait_for(lambda: len(starts(starts_log)) >= case["starts"], "the checker to start")
    except AssertionError as error:
        checks.expect(False, str(error))
    lines = starts(starts_log)
    checks.equal(len(lines), case["starts"], "checker starts")
    for line in lines:
        checks.equal(line, f"{install}|{program}", "checker working directory and path")

    if case.get("stay"):
        # Started detached: it outlives the setup, in a session of its own.
        running = running_checkers(program)
        checks.equal(len(running), 1, "running checkers")
        for pid in running:
            checks.expect(os.getsid(pid) != os.getsid(0),
                          "the checker shares the setup's session")
    if case.get("close_checker"):
        for pid in running_checkers(program):
            os.kill(pid, signal.SIGTERM)
        wait_for(lambda: not running_checkers(program), "the checker to end")


def starts(log):
    data = read_file(log)
    return data.decode().splitlines() if data else []


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--setup", required=True)
    parser.add_argument("--standin", required=True)
    args = parser.parse_args()

    root = tempfile.mkdtemp(prefix="velmora-setup-linux.")
    xvfb, display = start_display()
    checks = Checks()
    try:
        home_table = homes(root)
        for index, case in enumerate(CASES):
            started = time.monotonic()
            run_case(checks, case, args, root, index, display, home_table)
            print(f"case {case['name']}: {time.monotonic() - started:.1f} s", flush=True)
    finally:
        for pid in running_checkers(os.path.join(home_table["main"]["data"], "velmora-checker",
                                                 "velmora-checker")):
            os.kill(pid, signal.SIGKILL)
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(root, ignore_errors=True)
    return checks.finish(len(CASES))


if __name__ == "__main__":
    sys.exit(main())
