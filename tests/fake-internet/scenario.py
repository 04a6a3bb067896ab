"""Reads the fake internet's scenario files.

A scenario is a small text file of DNS answers and web pages; see README.md for the format.
Later definitions replace earlier ones, so a scenario can include a base and change a few pages.
"""

import os
import re

DNS_ACTIONS = {"nxdomain", "nodata", "servfail", "refused", "drop", "formerr", "truncated", "truncated-silent",
               "wrong-id", "wrong-question", "pointer-loop", "other-type", "other-class"}
PAGE_KEYS = {"status", "delay", "header", "cut", "stall", "trickle", "repeat", "echo-request",
             "redirect", "body", "body-file", "body-hex", "raw", "cut-by-path", "crlf"}


class ScenarioError(Exception):
    pass


def _zones():
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "zones")) as f:
        return [line.split("#")[0].strip().lower() for line in f if line.split("#")[0].strip()]


# Like the real lists, every configured zone lists its test entry, 2.0.0.127.<zone>.
TEST_ENTRIES = {"2.0.0.127." + zone: ("answer", "A", ["127.0.0.2"]) for zone in _zones()}


class Page:
    def __init__(self, host, path):
        self.host = host
        self.path = path
        self.status = 200
        self.delay_ms = None  # None: the scenario's http-delay
        self.headers = []
        self.body = b""
        self.cut = None
        self.stall_s = None
        self.trickle_ms = None
        self.repeat = None
        self.echo_request = False
        self.raw = False  # the body is sent as the whole answer, with no head of our own
        self.cut_by_path = False  # cut after as many bytes as the path's last part says
        self.crlf = False  # every newline of the body becomes CR LF


class Scenario:
    def __init__(self):
        self.pages = {}          # (host, path) -> Page; a path ending in '*' is a prefix
        self.dns = {}            # name -> (action, type, values); '*.' names are suffixes
        self.zone_servers = {}   # address -> its own dns table: a zone's own name server
        self.http_delay_ms = 0
        self.dns_delay_ms = 0
        self.tls_untrusted = False  # every HTTPS host presents the certificate nobody trusts
        self.dns_warm_up_ms = 0  # no answer before this long after the first question
        self.hosts_file = True

    def page_for(self, host, path):
        page = self.pages.get((host, path))
        if page:
            return page
        best = None
        for (h, p), candidate in self.pages.items():
            if h == host and p.endswith("*") and path.startswith(p[:-1]):
                if best is None or len(p) > len(best.path):
                    best = candidate
        if best:
            return best
        # "get * /*": any host, as a network that answers every request itself does.
        for (h, p), candidate in self.pages.items():
            if h == "*" and p.endswith("*") and path.startswith(p[:-1]):
                if best is None or len(p) > len(best.path):
                    best = candidate
        return best

    def dns_rule(self, name, server=None):
        """The rule for a name at the resolver (server None) or at a zone server's address."""
        table = self.dns if server is None else self.zone_servers.get(server, {})
        name = name.lower().rstrip(".")
        if name in table:
            return table[name]
        best = None
        for pattern, rule in table.items():
            if pattern.startswith("*.") and name.endswith(pattern[1:]):
                if best is None or len(pattern) > len(best[0]):
                    best = (pattern, rule)
        if best:
            return best[1]
        return TEST_ENTRIES.get(name, ("nxdomain", None, []))


def _number(text, what, line_no, path):
    try:
        return int(text)
    except ValueError:
        raise ScenarioError(f"{path}:{line_no}: {what} wants a number, got {text!r}")


def load(path, scenario=None, depth=0):
    if depth > 8:
        raise ScenarioError(f"{path}: includes nest too deep")
    scenario = scenario or Scenario()
    base = os.path.dirname(path)
    with open(path, "rb") as f:
        lines = f.read().decode("utf-8").split("\n")
    page = None
    i = 0
    while i < len(lines):
        line_no = i + 1
        raw = lines[i]
        i += 1
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        word, _, rest = line.partition(" ")
        rest = rest.strip()
        if word == "include":
            load(os.path.join(base, rest), scenario, depth + 1)
            page = None
        elif word == "http-delay":
            scenario.http_delay_ms = _number(rest, word, line_no, path)
        elif word == "tls-untrusted":
            scenario.tls_untrusted = True
        elif word == "dns-delay":
            scenario.dns_delay_ms = _number(rest, word, line_no, path)
        elif word == "dns-warm-up":
            scenario.dns_warm_up_ms = _number(rest, word, line_no, path)
        elif word == "hosts-file":
            if rest not in ("on", "off"):
                raise ScenarioError(f"{path}:{line_no}: hosts-file on|off")
            scenario.hosts_file = rest == "on"  # read by run.sh, from the scenario file itself
        elif word == "dns":
            parts = rest.split()
            table = scenario.dns
            if parts and parts[0].startswith("@"):  # a zone's own name server at this address
                table = scenario.zone_servers.setdefault(parts.pop(0)[1:], {})
            if len(parts) < 2:
                raise ScenarioError(f"{path}:{line_no}: dns [@ADDRESS] NAME ACTION")
            name = parts[0].lower().rstrip(".")
            kind = parts[1]
            if kind.lower() in DNS_ACTIONS:
                table[name] = (kind.lower(), None, [])
            elif kind in ("A", "PTR", "NS") and len(parts) > 2:
                table[name] = ("answer", kind, parts[2:])
            elif kind == "many" and len(parts) == 4:
                count = _number(parts[2], kind, line_no, path)
                table[name] = ("answer", "A", [parts[3]] * count)
            else:
                raise ScenarioError(f"{path}:{line_no}: unknown dns answer {kind!r}")
            page = None
        elif word == "get":
            parts = rest.split()
            if len(parts) != 2 or not parts[1].startswith("/"):
                raise ScenarioError(f"{path}:{line_no}: get HOST /PATH")
            page = Page(parts[0].lower(), parts[1])
            scenario.pages[(page.host, page.path)] = page
        elif word in PAGE_KEYS:
            if page is None:
                raise ScenarioError(f"{path}:{line_no}: {word} outside a 'get' block")
            if word == "body":
                match = re.fullmatch(r"<<(\S+)", rest)
                if match:
                    end = match.group(1)
                    collected = []
                    while i < len(lines) and lines[i] != end:
                        collected.append(lines[i])
                        i += 1
                    if i == len(lines):
                        raise ScenarioError(f"{path}:{line_no}: body never reaches {end}")
                    i += 1
                    page.body = "\n".join(collected).encode("utf-8")
                else:
                    page.body = rest.encode("utf-8")
            elif word == "body-file":
                with open(os.path.join(base, rest), "rb") as f:
                    page.body = f.read()
            elif word == "body-hex":
                page.body = bytes.fromhex(rest)
            elif word == "header":
                name, _, value = rest.partition(":")
                page.headers.append((name.strip(), value.strip()))
            elif word == "echo-request":
                page.echo_request = True
            elif word == "raw":
                page.raw = True
            elif word == "cut-by-path":
                page.cut_by_path = True
            elif word == "crlf":
                page.crlf = True
            elif word == "redirect":
                page.status = 301
                page.headers.append(("Location", rest))
            else:
                value = _number(rest, word, line_no, path)
                attr = {"status": "status", "delay": "delay_ms", "cut": "cut", "stall": "stall_s",
                        "trickle": "trickle_ms", "repeat": "repeat"}[word]
                setattr(page, attr, value)
        else:
            raise ScenarioError(f"{path}:{line_no}: unknown line {line!r}")
    return scenario
