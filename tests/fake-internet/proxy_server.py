"""The fake internet's stand-in for a user's proxy, on 127.0.0.1:3128. A plain HTTP request in
absolute form is forwarded to the host's port 80; CONNECT host:port opens a tunnel for TLS.
Each request is written to requests.log as "proxy GET http://host/path" or
"proxy CONNECT host:port", so a test can tell a request that came through it from one that went
around it. Clients use it only when their settings say so."""

import socket
import threading
from urllib.parse import urlsplit

PORT = 3128


def _read_head(conn):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = conn.recv(4096)
        if not chunk:
            return None, b""
        data += chunk
        if len(data) > 65536:
            return None, b""
    head, rest = data.split(b"\r\n\r\n", 1)
    return head, rest


def _pipe(source, target):
    try:
        while chunk := source.recv(65536):
            target.sendall(chunk)
    except OSError:
        pass
    finally:
        for sock in (source, target):
            try:
                sock.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass


def _tunnel(client, upstream, early):
    if early:
        upstream.sendall(early)
    back = threading.Thread(target=_pipe, args=(upstream, client), daemon=True)
    back.start()
    _pipe(client, upstream)
    back.join()


def _refuse(client, status):
    client.sendall(b"HTTP/1.1 %s\r\nContent-Length: 0\r\nConnection: close\r\n\r\n" % status)


def _handle(client, log):
    head, rest = _read_head(client)
    if head is None:
        return
    lines = head.decode("latin-1").split("\r\n")
    method, target, version = (lines[0].split(" ") + ["", ""])[:3]
    log(f"proxy {method} {target}")
    if method == "CONNECT":
        host, _, port = target.rpartition(":")
        try:
            upstream = socket.create_connection((host, int(port)), timeout=10)
        except (OSError, ValueError):
            _refuse(client, b"502 Bad Gateway")
            return
        upstream.settimeout(None)
        client.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
        with upstream:
            _tunnel(client, upstream, rest)
        return
    url = urlsplit(target)
    if url.scheme != "http" or not url.hostname:
        _refuse(client, b"400 Bad Request")
        return
    path = (url.path or "/") + (f"?{url.query}" if url.query else "")
    kept = [line for line in lines[1:]
            if line.split(":", 1)[0].strip().lower() not in ("proxy-connection", "connection")]
    request = "\r\n".join([f"{method} {path} {version}"] + kept + ["Connection: close", "", ""])
    try:
        upstream = socket.create_connection((url.hostname, url.port or 80), timeout=10)
    except OSError:
        _refuse(client, b"502 Bad Gateway")
        return
    upstream.settimeout(None)
    with upstream:
        _tunnel(client, upstream, request.encode("latin-1") + rest)


def serve(log, address="127.0.0.1", port=PORT):
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind((address, port))
    server.listen(64)

    def handle(conn):
        with conn:
            try:
                _handle(conn, log)
            except OSError:
                pass

    def loop():
        while True:
            conn, _ = server.accept()
            threading.Thread(target=handle, args=(conn,), daemon=True).start()

    threading.Thread(target=loop, daemon=True).start()
