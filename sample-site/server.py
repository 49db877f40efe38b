#!/usr/bin/python3
"""Serves Qorvella's sample site (www/) over HTTP on 127.0.0.1.

    server.py                       # port 8631, the program's default hosts
    server.py --port 0              # a free port, printed on standard output
    server.py --delay-ms 30         # answer every request 30 ms late, like a distant site
    server.py --ready-file F        # write the port to F once listening (removed at exit)
    server.py --request-log F       # append "METHOD path" of every request to F

Files are served byte for byte. HTML pages get the charset of www/charsets.json in their
Content-Type; the cloud-player page is rendered per request and shows the link it was given.
"""

import argparse
import html
import json
import os
import signal
import sys
import threading
import time
import urllib.parse
from http import HTTPStatus
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_PORT = 8631
CLOUD_PLAYER_PATH = "/client/cplayer.html"
LINK_PLACEHOLDER = b"{{LINK}}"
TYPES = {"htm": "text/html", "html": "text/html", "": "text/html", "css": "text/css",
         "json": "application/json; charset=utf-8", "gif": "image/gif", "txt": "text/plain"}


class Site:
    """The served tree and its charset table."""

    def __init__(self, root):
        self.root = os.path.realpath(root)
        with open(os.path.join(self.root, "charsets.json"), encoding="utf-8") as f:
            table = json.load(f)
        self.default_charset = table["default"]
        self.charsets = table["pages"]
        with open(os.path.join(self.root, "404.htm"), "rb") as f:
            self.not_found = f.read()

    def file_for(self, url_path):
        """The file behind a URL path, or None. A folder serves its index.htm."""
        relative = os.path.normpath(url_path.lstrip("/")) if url_path.strip("/") else ""
        if relative.startswith("..") or os.path.isabs(relative) or "\0" in relative:
            return None
        target = os.path.join(self.root, relative)
        if os.path.isdir(target):
            target = os.path.join(target, "index.htm")
        elif url_path.endswith("/"):
            return None   # a file is not a folder
        if not os.path.isfile(target) or os.path.realpath(target) != os.path.abspath(target):
            return None
        return target

    def content_type(self, url_path, file_path):
        name = os.path.basename(file_path)
        extension = name.rpartition(".")[2].rstrip("'").lower() if "." in name else ""
        kind = TYPES.get(extension, "application/octet-stream")
        if kind != "text/html":
            return kind
        if url_path.endswith("/"):
            url_path += "index.htm"
        charset = self.charsets.get(url_path, self.default_charset)
        return f"text/html; charset={charset}" if charset else "text/html"


def link_of(query):
    """The link after the first "url=" parameter: everything up to the end of the query,
    ampersands included, since the program appends the link without encoding it."""
    for start in [0] + [i + 1 for i, ch in enumerate(query) if ch == "&"]:
        if query.startswith("url=", start):
            return urllib.parse.unquote(query[start + 4:], errors="replace")
    return ""


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def version_string(self):
        return "QorvellaSample/1.0"

    def do_GET(self):
        self.answer(with_body=True)

    def do_HEAD(self):
        self.answer(with_body=False)

    def answer(self, with_body):
        options = self.server.options
        self.server.record(f"{self.command} {self.path}")
        if options.delay_ms:
            time.sleep(options.delay_ms / 1000)
        site = self.server.site
        parts = urllib.parse.urlsplit(self.path)
        url_path = urllib.parse.unquote(parts.path, errors="replace")
        target = site.file_for(url_path) if url_path.startswith("/") else None
        if target is None:
            self.send(HTTPStatus.NOT_FOUND, "text/html; charset=gbk", site.not_found, with_body)
            return
        if os.path.isdir(os.path.join(site.root, url_path.lstrip("/"))) and not url_path.endswith("/"):
            self.send_response(HTTPStatus.MOVED_PERMANENTLY)
            self.send_header("Location", parts.path + "/" + (f"?{parts.query}" if parts.query else ""))
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        with open(target, "rb") as f:
            body = f.read()
        if url_path == CLOUD_PLAYER_PATH:
            link = html.escape(link_of(parts.query), quote=True).encode("utf-8")
            body = body.replace(LINK_PLACEHOLDER, link)
        self.send(HTTPStatus.OK, site.content_type(url_path, target), body, with_body)

    def send(self, status, content_type, body, with_body):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if with_body:
            self.wfile.write(body)

    def log_message(self, format, *args):
        if self.server.options.verbose:
            super().log_message(format, *args)


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, options, site):
        self.options = options
        self.site = site
        self.log_lock = threading.Lock()
        self.log = open(options.request_log, "a", encoding="utf-8") if options.request_log else None
        super().__init__(("127.0.0.1", options.port), Handler)

    def record(self, line):
        if self.log:
            with self.log_lock:
                self.log.write(line + "\n")
                self.log.flush()

    def server_close(self):
        super().server_close()
        if self.log:
            self.log.close()


def write_ready_file(path, port):
    # Written whole and renamed, so a reader never sees a partial number.
    temporary = f"{path}.{os.getpid()}.tmp"
    with open(temporary, "w") as f:
        f.write(f"{port}\n")
    os.replace(temporary, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--port", type=int, default=DEFAULT_PORT,
                        help="port on 127.0.0.1 (default %(default)s; 0 picks a free one)")
    parser.add_argument("--delay-ms", type=int, default=0,
                        help="answer each request after this many milliseconds")
    parser.add_argument("--ready-file", help="write the port here once listening")
    parser.add_argument("--request-log", help="append one line per request to this file")
    parser.add_argument("--root", default=os.path.join(HERE, "www"), help="the tree to serve")
    parser.add_argument("--verbose", action="store_true", help="log every request to stderr")
    options = parser.parse_args()

    try:
        server = Server(options, Site(options.root))
    except OSError as error:
        sys.exit(f"server.py: cannot serve on 127.0.0.1:{options.port}: {error}")
    port = server.server_address[1]

    def stop(signum, frame):
        # shutdown() waits for serve_forever() to return, so it must run on another thread.
        threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    if options.port == 0:
        print(port, flush=True)
    if options.ready_file:
        write_ready_file(options.ready_file, port)
    if options.verbose:
        print(f"server.py: serving {options.root} on http://127.0.0.1:{port}", file=sys.stderr)
    try:
        server.serve_forever()
    finally:
        server.server_close()
        if options.ready_file:
            try:
                os.remove(options.ready_file)
            except FileNotFoundError:
                pass


if __name__ == "__main__":
    main()
