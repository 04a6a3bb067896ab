"""The fake internet's web server: plain HTTP on 80 and HTTPS on 443, every answer taken from
the scenario (status, body, delay, a body cut off, a stall, a trickle). Each request is written
to requests.log as "host path user-agent"."""

import http
import socket
import ssl
import threading
import time


def _reason(status):
    try:
        return http.HTTPStatus(status).phrase
    except ValueError:
        return "Status"


def _read_head(conn):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = conn.recv(4096)
        if not chunk:
            return None
        data += chunk
        if len(data) > 65536:
            return None
    return data.split(b"\r\n\r\n", 1)[0]


def _respond(conn, port, head, scenario, log):
    lines = head.decode("latin-1").split("\r\n")
    parts = lines[0].split(" ")
    path = parts[1] if len(parts) > 1 else "/"
    if "://" in path:  # the absolute form, which servers must accept (Wine sends it in a tunnel)
        path = "/" + path.split("://", 1)[1].partition("/")[2]
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(":")
        headers[name.strip().lower()] = value.strip()
    host = headers.get("host", "").split(":")[0].lower()
    log(f"{host} {path} {headers.get('user-agent', '-')}")

    page = scenario.page_for(host, path)
    if page is None:
        body = f"no page for {host}{path} in this scenario\n".encode()
        conn.sendall(b"HTTP/1.1 404 Not Found\r\nContent-Length: %d\r\nConnection: close\r\n\r\n"
                     % len(body) + body)
        return

    delay = page.delay_ms if page.delay_ms is not None else scenario.http_delay_ms
    if delay:
        time.sleep(delay / 1000)
    body = b"port %d\r\n" % port + head + b"\r\n\r\n" if page.echo_request else page.body
    if page.crlf:
        body = body.replace(b"\n", b"\r\n")
    if page.repeat is not None:
        unit = body or b"x"
        body = (unit * (page.repeat // len(unit) + 1))[:page.repeat]
    if page.stall_s is not None and page.cut is None and not page.cut_by_path:
        time.sleep(page.stall_s)  # silent before the headers
        return

    if page.raw:
        head_bytes = b""  # the body is the whole answer, status line and headers included
    else:
        out = [f"HTTP/1.1 {page.status} {_reason(page.status)}"]
        out += [f"{name}: {value}" for name, value in page.headers]
        out += [f"Content-Length: {len(body)}", "Connection: close", "", ""]
        head_bytes = "\r\n".join(out).encode("latin-1")
    cut = page.cut
    if page.cut_by_path:
        cut = int(path.rsplit("/", 1)[1])
    if cut is None and not page.trickle_ms and len(body) < (1 << 16):
        conn.sendall(head_bytes + body)  # one write: no Nagle wait between head and body
        return
    if head_bytes:
        conn.sendall(head_bytes)

    if cut is not None:
        if cut:
            conn.sendall(body[:cut])
        if page.stall_s is not None:
            time.sleep(page.stall_s)
        return
    if page.trickle_ms:
        for i in range(len(body)):
            conn.sendall(body[i:i + 1])
            time.sleep(page.trickle_ms / 1000)
        return
    view = memoryview(body)
    for start in range(0, len(body), 1 << 16):
        conn.sendall(view[start:start + (1 << 16)])


def _handle(conn, port, context, scenario, log):
    try:
        if context is not None:
            conn = context.wrap_socket(conn, server_side=True)
        head = _read_head(conn)
        if head is not None:
            _respond(conn, port, head, scenario, log)
    except (OSError, ssl.SSLError):
        pass  # the client went away or refused our certificate: its side tells the story
    finally:
        try:
            conn.close()
        except OSError:
            pass


def _listen(port, context, scenario, log):
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", port))
    server.listen(64)

    def loop():
        while True:
            conn, _ = server.accept()
            conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            threading.Thread(target=_handle, args=(conn, port, context, scenario, log),
                             daemon=True).start()

    threading.Thread(target=loop, daemon=True).start()


def tls_context(cert, key, rogue_cert, rogue_key, rogue_hosts, rogue_all=False):
    """Serves the test CA's certificate, except to rogue_hosts (or every host), which get one
    signed by a CA that nobody trusts."""
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    rogue = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    rogue.load_cert_chain(rogue_cert, rogue_key)

    def pick(sslobj, server_name, _context):
        if rogue_all or (server_name and server_name.lower() in rogue_hosts):
            sslobj.context = rogue

    context.sni_callback = pick
    return context


def serve(scenario, context, log):
    _listen(80, None, scenario, log)
    _listen(443, context, scenario, log)
