"""Shared pieces of the installer's end-to-end tests: a private X display, message boxes found
and dismissed with xdotool, and bounded waits."""

import os
import struct
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
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-noreset",
         "-nolisten", "tcp"],
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


def icon_colour(window, env):
    """The colour of the icon at the left of a message box: "red" (error), "blue"
    (information) or None, read from an xwd shot of the window."""
    shot = subprocess.run(["xwd", "-silent", "-id", window], env=env, capture_output=True,
                          timeout=10).stdout
    if len(shot) < 100:
        return None
    header = struct.unpack(">25I", shot[:100])
    header_size, width, height = header[0], header[4], header[5]
    byte_order, bits_per_pixel, bytes_per_line = header[7], header[11], header[12]
    masks, colours = header[14:17], header[19]
    if bits_per_pixel != 32:
        return None
    pixels = shot[header_size + colours * 12:]
    shifts = [(mask & -mask).bit_length() - 1 for mask in masks]
    red = blue = 0
    for y in range(height):
        for x in range(min(width, 64)):
            offset = y * bytes_per_line + x * 4
            value = int.from_bytes(pixels[offset:offset + 4], "little" if byte_order == 0 else "big")
            r, g, b = ((value & mask) >> shift for mask, shift in zip(masks, shifts))
            red += r > 180 and g < 100 and b < 100
            blue += b > 180 and r < 120
    if max(red, blue) < 20:
        return None
    return "red" if red > blue else "blue"


def dismiss_boxes(process, env, timeout=60, on_box=None):
    """Presses Return on the setup's message box until `process` ends; `on_box(window)` sees
    each box first. Returns (exit code, number of boxes seen)."""
    seen = set()
    deadline = time.monotonic() + timeout
    while process.poll() is None:
        if time.monotonic() > deadline:
            process.kill()
            raise AssertionError("the setup did not end")
        for window in box_windows(env):
            if window not in seen and on_box:
                on_box(window)
            seen.add(window)
            try:
                subprocess.run(["xdotool", "windowfocus", "--sync", window, "key",
                                "--clearmodifiers", "Return"], env=env, capture_output=True,
                               timeout=10)
            except subprocess.TimeoutExpired:
                pass  # the box went away meanwhile; the loop looks again
        time.sleep(0.2)
    return process.returncode, len(seen)


def busy_limit(seconds):
    """A wait's limit, stretched by how busy the machine is (load per core, never below 1):
    the event is waited for, so a longer limit costs nothing when it comes in time."""
    load = os.getloadavg()[0] / (os.cpu_count() or 1)
    return int(seconds * max(1.0, load))


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
