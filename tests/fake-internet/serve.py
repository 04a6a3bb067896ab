"""Starts the fake internet's DNS and web servers for one scenario and the stand-in proxy, and
prints "ready" once they listen. Refuses to run anywhere but in a network namespace that holds
only loopback."""

import argparse
import os
import signal
import socket
import sys
import threading

import dns_server
import proxy_server
import scenario as scenario_file
import web_server


def only_loopback():
    return [name for _, name in socket.if_nameindex()] == ["lo"]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--scenario", required=True)
    parser.add_argument("--certs", required=True, help="folder with site/rogue cert and key")
    parser.add_argument("--log", required=True)
    args = parser.parse_args()

    if not only_loopback():
        sys.exit("serve.py: this machine has real network interfaces; run me through run.sh")

    try:
        scenario = scenario_file.load(args.scenario)
    except (OSError, scenario_file.ScenarioError) as error:
        sys.exit(f"serve.py: {error}")

    lock = threading.Lock()
    log_file = open(args.log, "a", encoding="utf-8")

    def log(line):
        with lock:
            log_file.write(line + "\n")
            log_file.flush()

    c = args.certs
    context = web_server.tls_context(f"{c}/site.crt", f"{c}/site.key", f"{c}/rogue.crt",
                                     f"{c}/rogue.key", {"untrusted.test"},
                                     scenario.tls_untrusted)
    dns_server.serve(scenario, log)
    for address in scenario.zone_servers:
        dns_server.serve(scenario, log, address=address, zone_server=True)
    web_server.serve(scenario, context, log)
    proxy_server.serve(log)
    print("ready", flush=True)
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    threading.Event().wait()


if __name__ == "__main__":
    main()
