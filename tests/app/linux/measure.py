"""Speed and memory of the desktop checker (a benchmark: it prints numbers, asserts none).

  measure.py CHECKER IP VERDICT [SHOT.png]

Starts CHECKER, watches the screen until the page's first paint (the first frame in which the
window's page area holds drawn content: text and edges bring many colours, an empty view has
one or two), then scans IP as a person would and reports the resident memory of the window
process and of WebKit's web and network processes. With SHOT.png, saves the finished window.
"""

import os
import subprocess
import sys
import time

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("GdkPixbuf", "2.0")
from gi.repository import Gdk, GdkPixbuf  # noqa: E402

import desktop  # noqa: E402


def distinct_colours(pixbuf):
    # A nearest-neighbour thumbnail keeps the sampling cheap, so the watcher does not take CPU
    # time from the program it watches.
    small = pixbuf.scale_simple(220, 120, GdkPixbuf.InterpType.NEAREST)
    data = small.get_pixels()
    step = small.get_n_channels()
    stride = small.get_rowstride()
    return len({bytes(data[y * stride + x:y * stride + x + 3])
                for y in range(small.get_height())
                for x in range(0, small.get_width() * step, step)})


def first_paint(start, limit_s=30):
    root = Gdk.get_default_root_window()
    while time.monotonic() - start < limit_s:
        # The page area: below the title bar, inside the 1180 x 780 window.
        pixbuf = Gdk.pixbuf_get_from_window(root, 40, 80, 1100, 600)
        if pixbuf is not None and distinct_colours(pixbuf) > 16:
            return time.monotonic() - start
        time.sleep(0.02)
    desktop.fail("no first paint within %d s" % limit_s)


def status_kib(pid, field):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    return 0


def memory(pid):
    """Resident memory, and how much of it is the process's own (anonymous) rather than pages
    of shared libraries and fonts that other programs map too."""
    return "%.1f MiB resident (%.1f MiB anonymous, %.1f MiB file-backed)" % tuple(
        status_kib(pid, f) / 1024 for f in ("VmRSS", "RssAnon", "RssFile"))


def host_pid(checker, pid):
    """The program's pid as /proc shows it: the fake internet gives its commands a pid namespace
    of their own but keeps the machine's /proc, so Popen's pid is not the /proc entry."""
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            if os.path.realpath("/proc/%s/exe" % entry) != os.path.realpath(checker):
                continue
            with open("/proc/%s/status" % entry) as status:
                for line in status:
                    if line.startswith("NSpid:") and int(line.split()[-1]) == pid:
                        return int(entry)
        except OSError:
            continue
    return pid


def descendants(pid):
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
            with open("/proc/%s/comm" % entry) as comm:
                name = comm.read().strip()
        except OSError:
            continue
        if int(fields[1]) == pid:
            found.append((int(entry), name))
            found.extend(descendants(int(entry)))
    return found


def main(checker, ip, verdict, shot=None):
    start = time.monotonic()
    app = subprocess.Popen([checker], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    paint_s = first_paint(start)
    print("measure: start to first paint: %.3f s" % paint_s, flush=True)
    pid = host_pid(checker, app.pid)
    memory_start = memory(pid)

    desktop.scan(ip, verdict, close=False)
    time.sleep(1.0)  # let the page settle after rendering the result
    print("measure: window process at first paint: " + memory_start)
    print("measure: window process after one scan: " + memory(pid))
    for child, name in descendants(pid):
        print("measure: %s (pid %d) after one scan: %s" % (name, child, memory(child)))
    if shot:
        box = desktop.main_frame().queryComponent().getExtents(desktop.pyatspi.DESKTOP_COORDS)
        crop = "%dx%d+%d+%d" % (box.width, box.height, box.x, box.y)
        subprocess.run(["import", "-window", "root", "-crop", crop, "+repage", shot], check=True)
        print("measure: screenshot " + shot)
    desktop.close_window(desktop.main_frame())
    print("measure: exit code %d" % app.wait(timeout=10), flush=True)


if __name__ == "__main__":
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    main(*sys.argv[1:])
