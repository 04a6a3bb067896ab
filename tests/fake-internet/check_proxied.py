"""Checks requests.log after a run whose settings name the stand-in proxy: every web request must
have come through it. Each proxied request leaves one proxy line (CONNECT or GET) and then the web
server's line for the same host, so a host with more web lines than proxy lines was asked
directly at least once.

    check_proxied.py [LOG]      (default: $FAKE_NET_DIR/requests.log)
"""

import collections
import os
import sys
from urllib.parse import urlsplit


def proxied_host(target):
    if "://" in target:
        return (urlsplit(target).hostname or "").lower()
    return target.rpartition(":")[0].lower()


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.environ["FAKE_NET_DIR"],
                                                              "requests.log")
    web = collections.Counter()
    proxied = collections.Counter()
    with open(path, encoding="utf-8") as log:
        for line in log:
            words = line.split()
            if not words or words[0] == "dns":
                continue
            if words[0] == "proxy":
                proxied[proxied_host(words[2] if len(words) > 2 else "")] += 1
            else:
                web[words[0].lower()] += 1
    around = {host: n - proxied[host] for host, n in web.items() if n > proxied[host]}
    for host, n in sorted(around.items()):
        print(f"check_proxied: {n} request(s) to {host} went around the proxy")
    if not web:
        print("check_proxied: no web request reached the stand-ins")
    print(f"check_proxied: {sum(web.values())} web requests, {sum(proxied.values())} through the proxy")
    return 1 if around or not web else 0


if __name__ == "__main__":
    sys.exit(main())
