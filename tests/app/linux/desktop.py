"""Drives the real velmora-checker window the way a person would: keys and clicks through
xdotool, and reads what the window shows back through the accessibility tree (AT-SPI).

  desktop.py scan IP VERDICT      type IP into the address field, press Enter, wait for VERDICT
  desktop.py missing PATH         expect the "Cannot find web/index.html" dialog showing PATH
  desktop.py close-mid-scan IP    start a scan of IP and close the window while it runs

Both end by closing the window with its close button. Exit code 0 when everything was seen.
"""

import os
import re
import subprocess
import sys
import time

import pyatspi

TITLE = "Check Your Velmora"
LIMIT_S = 60  # a scan in the fake internet takes a few seconds; this only stops a hang


def fail(message):
    print("desktop: FAIL: " + message, flush=True)
    sys.exit(1)


def say(message):
    print("desktop: " + message, flush=True)


def wait_for(what, find, limit=LIMIT_S):
    end = time.monotonic() + limit
    while time.monotonic() < end:
        try:
            found = find()
        except Exception:  # the tree changes under us while the page renders
            found = None
        if found:
            return found
        time.sleep(0.1)
    fail("gave up waiting for " + what)


def text_of(node):
    try:
        return node.queryText().getText(0, -1)
    except NotImplementedError:
        return ""
    except Exception:
        return ""


def walk(node, depth=0):
    if node is None or depth > 60:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "velmora-checker":
            return app
    return None


def top_level(role, name):
    app = application()
    if app is None:
        return None
    for i in range(app.childCount):
        window = app.getChildAtIndex(i)
        if window.getRoleName() == role and window.name == name:
            return window
    return None


def find(root, predicate):
    return next((n for n in walk(root) if predicate(n)), None)


def centre(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x + box.width // 2, box.y + box.height // 2


def click(node):
    x, y = centre(node)
    subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"], check=True)


def close_window(frame):
    button = find(frame, lambda n: n.getRoleName() == "push button" and n.name == "Close")
    if button is None:
        fail("the window has no Close button")
    click(button)
    say("clicked the window's Close button")


def main_frame():
    frame = wait_for("the window titled " + repr(TITLE), lambda: top_level("frame", TITLE))
    say("window is up, titled " + repr(frame.name))
    return frame


def icon_sizes():
    """The sizes of the icons the window hands to the window manager (_NET_WM_ICON)."""
    sizes = set()
    for window in x_window_titled(TITLE):
        shown = subprocess.run(["xprop", "-id", window, "_NET_WM_ICON"],
                               capture_output=True, text=True).stdout
        sizes.update(int(w) for w, h in re.findall(r"Icon \((\d+) x (\d+)\)", shown) if w == h)
    return sorted(sizes)


def type_scan(frame, ip):
    """Clicks into the address field, types IP and presses Enter; returns the page."""
    document = wait_for("the page", lambda: find(frame, lambda n: n.getRoleName() == "document web"))
    field = wait_for(
        "the address field",
        lambda: find(document, lambda n: n.getRoleName() == "entry" and "address" in n.name.lower()))
    say("page loaded; address field " + repr(field.name))
    click(field)
    subprocess.run(["xdotool", "type", "--delay", "40", ip], check=True)
    subprocess.run(["xdotool", "key", "Return"], check=True)
    say("typed " + ip + " and pressed Enter")
    return document


def close_mid_scan(ip):
    frame = main_frame()
    type_scan(frame, ip)
    log = os.path.join(os.environ["FAKE_NET_DIR"], "requests.log")

    def asked():
        with open(log) as lines:
            return any(ip in line for line in lines)

    wait_for("the scan's first request about " + ip, lambda: os.path.exists(log) and asked())
    say("the scan is under way")
    close_window(frame)


def scan(ip, verdict, close=True):
    frame = main_frame()
    # GDK leaves out what does not fit one X request, here the 256 px icon.
    if not {16, 32, 48, 64, 128} <= set(icon_sizes()):
        fail("the window's icons come in sizes %s" % icon_sizes())
    say("the window carries the shield icon in sizes %s" % icon_sizes())

    document = wait_for("the page", lambda: find(frame, lambda n: n.getRoleName() == "document web"))

    def verdicts():
        return [n for n in walk(document)
                if n.getRoleName() == "heading" and text_of(n).strip().startswith(verdict)]

    shown_before = len(verdicts())
    type_scan(frame, ip)

    heading = wait_for("the verdict " + repr(verdict),
                       lambda: len(verdicts()) > shown_before and verdicts()[0])
    say("page shows the verdict " + repr(text_of(heading).strip()))
    if close:
        close_window(frame)


def x_window_titled(title):
    """The X window whose title (what a window manager shows as its caption) is `title`."""
    found = subprocess.run(["xdotool", "search", "--name", "^%s$" % re.escape(title)],
                           capture_output=True, text=True)
    return found.stdout.split()


def dialogs():
    app = application()
    if app is None:
        return []
    return [app.getChildAtIndex(i) for i in range(app.childCount)
            if app.getChildAtIndex(i).getRoleName() in ("alert", "dialog")]


def missing(path):
    caption = "Cannot find web/index.html"
    dialog = wait_for("the missing-page dialog", lambda: dialogs() and dialogs()[0])
    texts = [text_of(n) for n in walk(dialog) if n.getRoleName() == "label"]
    if path not in texts:
        fail("the dialog shows %r, not the path %r" % (texts, path))
    wait_for("a window captioned " + repr(caption), lambda: x_window_titled(caption))
    say("dialog captioned %r shows %s" % (caption, path))
    frame = main_frame()
    if find(frame, lambda n: n.getRoleName() == "document web") is not None:
        fail("the window shows a page although none was found")
    click(find(dialog, lambda n: n.getRoleName() == "push button"))
    wait_for("the dialog to close", lambda: not dialogs() and not x_window_titled(caption))
    say("dialog dismissed; the window stays open and empty")
    close_window(main_frame())


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "scan":
        scan(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 3 and sys.argv[1] == "close-mid-scan":
        close_mid_scan(sys.argv[2])
    elif len(sys.argv) == 3 and sys.argv[1] == "missing":
        missing(sys.argv[2])
    else:
        sys.exit(__doc__)
