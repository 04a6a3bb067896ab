"""Times a run of many addresses by velmora-scan in the fake internet's bench-bulk scenario,
where every web and DNS answer is held back 50 ms: N addresses with --jobs J in one run, against
N single scans one after another, and against the pacing bound (the least time the published
free-tier limits allow: with ip-api.com's 45 a minute, the 46th request of a run leaves no sooner
than a minute after the first). Also the peak RSS of the run, through GNU time, and the same for
45 addresses, which the limits do not hold back. Run through scripts/bench-bulk.sh."""

import os
import subprocess
import sys
import tempfile
import time

from scan_bench import web_hosts

DELAY_S = 0.050
IP_API_PER_MINUTE = 45


def addresses(count):
    return [f"198.51.100.{100 + i}" for i in range(count)]


def log_lines(log_path):
    try:
        with open(log_path, encoding="utf-8") as f:
            return f.read().splitlines()
    except FileNotFoundError:
        return []


def timed(argv):
    # Each run with a pace of its own: what is timed is one run, not the runs before it.
    env = dict(os.environ, XDG_STATE_HOME=tempfile.mkdtemp(dir=os.environ["FAKE_NET_DIR"]))
    start = time.perf_counter()
    done = subprocess.run(["/usr/bin/time", "-f", "%M"] + argv, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, text=True, env=env)
    wall = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit(f"velmora-scan failed ({done.returncode}): {done.stderr[-400:]}")
    return wall, int(done.stderr.split()[-1]) / 1024, done.stdout


def main():
    scan, count, jobs = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    log_path = os.path.join(os.environ["FAKE_NET_DIR"], "requests.log")
    single = [scan, "--json"]

    # One scan alone: its lookups, and how many come after the ip-api.com request.
    before = len(log_lines(log_path))
    timed(single + ["198.51.100.99"])
    hosts = web_hosts()  # the first step's questions about them go out at once, not in the floor
    lookups = [line for line in log_lines(log_path)[before:]
               if not (line.startswith("dns ") and line.split()[1] in hosts)]
    after_ip_api = next((len(lookups) - i - 1 for i, line in enumerate(lookups)
                         if line.startswith("ip-api.com ")), 0)

    walls, singles_out = [], []
    start = time.perf_counter()
    for address in addresses(count):
        wall, _, out = timed(single + [address])
        walls.append(wall)
        singles_out.append(out)
    in_a_row = time.perf_counter() - start

    run_wall, run_peak, run_out = timed([scan, "--json", "--jobs", str(jobs)] + addresses(count))
    same = run_out == "".join(singles_out)

    small = min(count, IP_API_PER_MINUTE)
    small_wall, small_peak, _ = timed([scan, "--json", "--jobs", str(jobs)] + addresses(small))
    walls.sort()

    bound = ((count - 1) // IP_API_PER_MINUTE) * 60.0 + after_ip_api * DELAY_S
    floor = len(lookups) * DELAY_S
    print(f"lookups per scan: {len(lookups)} (floor {floor * 1000:.0f} ms), "
          f"load average: {os.getloadavg()[0]:.1f}")
    print(f"{count} single scans in a row: {in_a_row:.1f} s "
          f"(median scan {walls[len(walls) // 2] * 1000:.0f} ms)")
    print(f"one run of {count} with --jobs {jobs}: {run_wall:.1f} s, peak RSS {run_peak:.1f} MiB, "
          f"JSON lines {'identical to' if same else 'DIFFERENT from'} the single scans")
    print(f"pacing bound for {count}: {bound:.1f} s (ip-api.com 45/min, then {after_ip_api} "
          f"lookups of 50 ms); the run is {run_wall - bound:+.1f} s from it")
    ideal = -(-small // jobs) * floor
    print(f"one run of {small} (not held back) with --jobs {jobs}: {small_wall:.1f} s "
          f"(ceil({small}/{jobs}) x floor = {ideal:.1f} s), peak RSS {small_peak:.1f} MiB")


if __name__ == "__main__":
    main()
