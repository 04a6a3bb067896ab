"""A DNS server for the fake internet, on UDP and TCP: answers A, PTR and NS questions from the
scenario, or NXDOMAIN, an empty answer, SERVFAIL, REFUSED, FORMERR, or nothing at all; or one of
the broken answers resolvers meet: truncated with nothing over TCP (a hang-up, or a connection
held open in silence), a reply with another ID or
question, a name whose compression pointer points at itself, records of another type or class.
A UDP answer over 512 bytes is sent truncated (TC bit, no records); TCP carries it whole.
Besides the resolver on 127.0.0.1, a scenario may name zone servers on other loopback addresses:
they play a list's own name server, which answers only questions that do not ask for recursion
(others get REFUSED), and their questions are logged with "@address"."""

import socket
import struct
import threading
import time

RCODE = {"nxdomain": 3, "servfail": 2, "refused": 5, "formerr": 1}
TYPE_A, TYPE_NS, TYPE_PTR, TYPE_TXT, CLASS_IN, CLASS_CH = 1, 2, 12, 16, 1, 3
FLAG_RD = 0x0100
UDP_LIMIT = 512
HOLD = object()  # over TCP: keep the connection open and say nothing


def _read_name(packet, offset):
    labels = []
    while True:
        length = packet[offset]
        offset += 1
        if length == 0:
            return ".".join(labels), offset
        if length & 0xC0:
            raise ValueError("compressed question")
        labels.append(packet[offset:offset + length].decode("ascii", "replace"))
        offset += length


def _encode_name(name):
    out = b""
    for label in name.rstrip(".").split("."):
        out += bytes([len(label)]) + label.encode("ascii")
    return out + b"\0"


def _glue(hosts, scenario, server):
    """The name servers' A records for the additional section, as real servers send them."""
    records, count = b"", 0
    for host in hosts:
        action, rtype, values = scenario.dns_rule(host, server)
        if action == "answer" and rtype == "A":
            for value in values:
                rdata = socket.inet_aton(value)
                records += _encode_name(host) + struct.pack(">HHIH", TYPE_A, CLASS_IN, 60, 4) + rdata
                count += 1
    return records, count


def answer(packet, scenario, log=None, tcp=False, server=None):
    """The reply to one query, or None to stay silent. server: a zone server's address."""
    ident, flags, qdcount = struct.unpack(">HHH", packet[:6])
    if qdcount != 1:
        return None
    name, end = _read_name(packet, 12)
    qtype, _qclass = struct.unpack(">HH", packet[end:end + 4])
    question = packet[12:end + 4]
    if log:
        log(f"dns {name} {qtype}{' tcp' if tcp else ''}{' @' + server if server else ''}")
    action, rtype, values = scenario.dns_rule(name, server)
    if server and flags & FLAG_RD:
        action = "refused"
    if action == "drop" or (action == "truncated" and tcp):
        return None
    if action == "truncated-silent":
        if tcp:
            return HOLD
        action = "truncated"
    records = b""
    count = 0
    glue, glue_count = b"", 0
    if action == "answer":
        wanted = {"A": TYPE_A, "PTR": TYPE_PTR, "NS": TYPE_NS}[rtype]
        if qtype == wanted:
            for value in values:
                rdata = socket.inet_aton(value) if wanted == TYPE_A else _encode_name(value)
                records += struct.pack(">HHHIH", 0xC00C, wanted, CLASS_IN, 60, len(rdata)) + rdata
                count += 1
        if qtype == wanted == TYPE_NS:
            glue, glue_count = _glue(values, scenario, server)
    elif action in ("other-type", "other-class"):
        rtype, rclass = (TYPE_TXT, CLASS_IN) if action == "other-type" else (TYPE_A, CLASS_CH)
        rdata = b"\x09127.0.0.2" if rtype == TYPE_TXT else socket.inet_aton("127.0.0.2")
        records = struct.pack(">HHHIH", 0xC00C, rtype, rclass, 60, len(rdata)) + rdata
        count = 1
    elif action == "pointer-loop":
        offset = 12 + len(question)  # the record's owner name points at itself
        records = struct.pack(">HHHIH", 0xC000 | offset, TYPE_A, CLASS_IN, 60, 4) + bytes(
            [127, 0, 0, 2])
        count = 1
    elif action == "wrong-question":
        question = _encode_name("other." + name) + question[end - 12:]
    records += glue
    truncated = action == "truncated" or (not tcp and 12 + len(question) + len(records) > UDP_LIMIT)
    if truncated:
        records, count, glue_count = b"", 0, 0
    reply_flags = (0x8000 | (flags & 0x7900) | 0x0080 | RCODE.get(action, 0) |
                   (0x0200 if truncated else 0))
    if action == "wrong-id":
        ident ^= 0x5A5A
    header = struct.pack(">HHHHHH", ident, reply_flags, 1, count, 0, glue_count)
    return header + question + records


def _serve_tcp(scenario, log, address, port, zone_server):
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind((address, port))
    server.listen(16)

    def read_exact(conn, n):
        data = b""
        while len(data) < n:
            chunk = conn.recv(n - len(data))
            if not chunk:
                return None
            data += chunk
        return data

    def handle(conn):
        with conn:
            try:
                while True:
                    size = read_exact(conn, 2)
                    packet = size and read_exact(conn, struct.unpack(">H", size)[0])
                    if not packet:
                        return
                    response = answer(packet, scenario, log, tcp=True, server=zone_server)
                    if response is None:
                        return  # hang up without a word
                    if response is HOLD:
                        conn.recv(1)  # until the client gives up and hangs up
                        return
                    conn.sendall(struct.pack(">H", len(response)) + response)
            except (OSError, ValueError, IndexError, struct.error):
                return

    def loop():
        while True:
            conn, _ = server.accept()
            threading.Thread(target=handle, args=(conn,), daemon=True).start()

    threading.Thread(target=loop, daemon=True).start()


def serve(scenario, log=None, address="127.0.0.1", port=53, zone_server=False):
    """Serves the resolver's answers, or with zone_server those of the server at `address`."""
    server = address if zone_server else None
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind((address, port))
    _serve_tcp(scenario, log, address, port, server)

    first_question = []  # when the first question came, for dns-warm-up

    def reply(packet, peer):
        try:
            response = answer(packet, scenario, log, server=server)
        except (ValueError, IndexError, struct.error):
            return
        if response is None:
            return
        if scenario.dns_warm_up_ms:
            time.sleep(max(0.0, first_question[0] + scenario.dns_warm_up_ms / 1000 - time.monotonic()))
        if scenario.dns_delay_ms:
            time.sleep(scenario.dns_delay_ms / 1000)
        sock.sendto(response, peer)

    def loop():
        while True:
            packet, peer = sock.recvfrom(4096)
            if not first_question:
                first_question.append(time.monotonic())
            if scenario.dns_delay_ms or scenario.dns_warm_up_ms:
                threading.Thread(target=reply, args=(packet, peer), daemon=True).start()
            else:
                reply(packet, peer)

    threading.Thread(target=loop, daemon=True).start()
