"""A DNS server for the fake internet: answers A and PTR questions from the scenario, or
NXDOMAIN, an empty answer, SERVFAIL, REFUSED, or nothing at all."""

import socket
import struct
import threading
import time

RCODE = {"nxdomain": 3, "servfail": 2, "refused": 5, "nodata": 0, "answer": 0}
TYPE_A, TYPE_PTR, CLASS_IN = 1, 12, 1


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


def answer(packet, scenario, log=None):
    """The reply to one query, or None to stay silent."""
    ident, flags, qdcount = struct.unpack(">HHH", packet[:6])
    if qdcount != 1:
        return None
    name, end = _read_name(packet, 12)
    qtype, _qclass = struct.unpack(">HH", packet[end:end + 4])
    question = packet[12:end + 4]
    if log:
        log(f"dns {name} {qtype}")
    action, rtype, values = scenario.dns_rule(name)
    if action == "drop":
        return None
    records = b""
    count = 0
    if action == "answer":
        wanted = {"A": TYPE_A, "PTR": TYPE_PTR}[rtype]
        if qtype == wanted:
            for value in values:
                rdata = socket.inet_aton(value) if wanted == TYPE_A else _encode_name(value)
                records += struct.pack(">HHHIH", 0xC00C, wanted, CLASS_IN, 60, len(rdata)) + rdata
                count += 1
    reply_flags = 0x8000 | (flags & 0x7900) | 0x0080 | RCODE[action]
    header = struct.pack(">HHHHHH", ident, reply_flags, 1, count, 0, 0)
    return header + question + records


def serve(scenario, log=None, address="127.0.0.1", port=53):
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind((address, port))

    def reply(packet, peer):
        try:
            response = answer(packet, scenario, log)
        except (ValueError, IndexError, struct.error):
            return
        if response is None:
            return
        if scenario.dns_delay_ms:
            time.sleep(scenario.dns_delay_ms / 1000)
        sock.sendto(response, peer)

    def loop():
        while True:
            packet, peer = sock.recvfrom(4096)
            if scenario.dns_delay_ms:
                threading.Thread(target=reply, args=(packet, peer), daemon=True).start()
            else:
                reply(packet, peer)

    threading.Thread(target=loop, daemon=True).start()
