"""Shared pieces of the installer's end-to-end tests: a private X display, message boxes found
and dismissed with xdotool, and bounded waits."""

import os
import subprocess
import time

BOX_TITLE = "Velmora Checker Setup"
INCOMPLETE = "Setup files are incomplete. Please download the setup again."
NO_DATA = "Could not locate Local AppData."
FAILED = "Installation failed. Please close the app if it is running and try again."
SUCCESS = "Velmora Checker has been installed successfully."


def start_display():
    """Starts Xvfb on a free display number; returns (process, ":N")."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    with os.fdopen(read_end, "rb") as pipe:
        while not number.endswith(b"\n"):
            chunk = pipe.read(1)
            if not chunk:
                raise RuntimeError("Xvfb did not start")
            number += chunk
    return xvfb, ":" + number.decode().strip()


def box_windows(env):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{BOX_TITLE}$"],
                           env=env, capture_output=True, text=True)
    return found.stdout.split()


def dismiss_boxes(process, env, timeout=60):
    """Presses Return on the setup's message box until `process` ends. Returns (exit code,
    number of boxes seen)."""
    seen = set()
    deadline = time.monotonic() + timeout
    while process.poll() is None:
        if time.monotonic() > deadline:
            process.kill()
            raise AssertionError("the setup did not end")
        for window in box_windows(env):
            seen.add(window)
            subprocess.run(["xdotool", "windowfocus", "--sync", window, "key", "--clearmodifiers",
                            "Return"], env=env, capture_output=True, timeout=10)
        time.sleep(0.2)
    return process.returncode, len(seen)


def wait_for(predicate, what, timeout=20):
    deadline = time.monotonic() + timeout
    while not predicate():
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.1)


class Checks:
    """Collects failed expectations so that one run reports all of them."""

    def __init__(self):
        self.failures = []
        self.case = ""

    def expect(self, condition, message):
        if not condition:
            self.failures.append(f"[{self.case}] {message}")
            print(f"FAIL [{self.case}] {message}", flush=True)

    def equal(self, actual, expected, what):
        self.expect(actual == expected, f"{what}: got {actual!r}, expected {expected!r}")

    def finish(self, cases):
        if self.failures:
            print(f"{len(self.failures)} expectation(s) failed")
            return 1
        print(f"all {cases} cases passed")
        return 0
