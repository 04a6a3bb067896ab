"""Times velmora-scan in the fake internet's bench scenario, where every web and DNS answer is
held back 50 ms. A deep scan is sequential, so its floor is 50 ms per request or question it
makes; the figure that matters is the time over that floor, for the whole program and for the
scan alone (scan_timing, in one process). Also reports the CPU time and the peak RSS of
velmora-scan, through GNU time (a small parent, so no inherited high-water mark).
Run through scripts/bench-scan.sh."""

import os
import subprocess
import sys
import time

DELAY_S = 0.050


HOSTS_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fake-internet", "hosts")


def web_hosts():
    with open(HOSTS_FILE, encoding="utf-8") as f:
        return {name for line in f for name in line.split("#")[0].split()}


def lines_logged(log_path, hosts=None):
    """Lines in the request log; with hosts, only those of lookups made one after another: the
    DNS questions about web hosts come from the scan's first step, which asks them all at once."""
    try:
        with open(log_path, encoding="utf-8") as f:
            lines = f.read().splitlines()
    except FileNotFoundError:
        return 0
    if hosts:
        lines = [line for line in lines if not (line.startswith("dns ") and line.split()[1] in hosts)]
    return len(lines)


def main():
    scan, timing, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
    log_path = os.path.join(os.environ["FAKE_NET_DIR"], "requests.log")
    argv = ["/usr/bin/time", "-f", "%M %U %S", scan, "--json", "198.51.100.23"]
    subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)

    hosts = web_hosts()
    walls, overs, cpus, peaks = [], [], [], []
    for _ in range(runs):
        before, before_all = lines_logged(log_path, hosts), lines_logged(log_path)
        start = time.perf_counter()
        done = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        wall = time.perf_counter() - start
        if done.returncode != 0:
            sys.exit(f"velmora-scan failed: {done.stderr}")
        lookups = lines_logged(log_path, hosts) - before
        at_once = lines_logged(log_path) - before_all - lookups
        floor = lookups * DELAY_S
        peak_kib, user_s, sys_s = done.stderr.split()[-3:]
        walls.append(wall)
        overs.append((wall - floor) / floor)
        cpus.append(float(user_s) + float(sys_s))
        peaks.append(int(peak_kib) / 1024)

    for values in (walls, overs, cpus):
        values.sort()
    mid = runs // 2
    print(f"runs: {runs}, lookups per scan: {lookups} (+{at_once} at once in the first step), "
          f"floor: {lookups * DELAY_S * 1000:.0f} ms, "
          f"load average: {os.getloadavg()[0]:.1f}")
    print(f"scan time: median {walls[mid] * 1000:.1f} ms, best {walls[0] * 1000:.1f} ms, "
          f"worst {walls[-1] * 1000:.1f} ms")
    print(f"over the floor: median {overs[mid] * 100:.1f} %, best {overs[0] * 100:.1f} %")
    print(f"CPU time of velmora-scan (user + system): median {cpus[mid] * 1000:.0f} ms")

    # The scan alone, timed inside one process (no start-up, no exit).
    lines = subprocess.run([timing, "198.51.100.23", str(runs)], capture_output=True, text=True,
                           check=True).stdout.split("\n")
    scans = sorted((float(ms), int(n) - at_once) for ms, n in (line.split() for line in lines if line))
    ms, n = scans[len(scans) // 2]
    floor_ms = n * DELAY_S * 1000
    print(f"in-process scan: median {ms:.1f} ms for {n} lookups, "
          f"{(ms - floor_ms) / floor_ms * 100:.1f} % over the floor "
          f"(best {(scans[0][0] - floor_ms) / floor_ms * 100:.1f} %)")
    print(f"peak RSS of velmora-scan: {max(peaks):.1f} MiB")


if __name__ == "__main__":
    main()
