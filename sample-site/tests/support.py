"""Helpers for the sample-site tests: the server as a child process, plain HTTP fetches, and a
model of how the program reads the site (fetch, UTF-8 to GBK conversion, marker cuts)."""

import http.client
import os
import signal
import subprocess
import sys
import tempfile
import time
import urllib.parse

SITE_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WWW = os.path.join(SITE_DIR, "www")
PYTHON = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable


class ServerProcess:
    """server.py on a free port; stop() ends it with a signal and returns its exit code."""

    def __init__(self, *options):
        self.folder = tempfile.TemporaryDirectory()
        self.ready_file = os.path.join(self.folder.name, "port")
        self.process = subprocess.Popen(
            [PYTHON, os.path.join(SITE_DIR, "server.py"), "--port", "0",
             "--ready-file", self.ready_file, *options],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        deadline = time.monotonic() + 20
        while not os.path.exists(self.ready_file):
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.process.kill()
                raise RuntimeError("server.py did not start: " + self.process.stderr.read())
            time.sleep(0.02)
        with open(self.ready_file) as f:
            self.port = int(f.read())
        self.printed = self.process.stdout.readline()
        self.base = f"http://127.0.0.1:{self.port}"

    def stop(self, signum=signal.SIGTERM):
        if self.process.poll() is None:
            self.process.send_signal(signum)
        try:
            code = self.process.wait(timeout=10)
        finally:
            if self.process.poll() is None:
                self.process.kill()
            self.process.stdout.close()
            self.process.stderr.close()
            self.folder.cleanup()
        return code


class Response:
    def __init__(self, status, headers, body):
        self.status, self.headers, self.body = status, headers, body

    def header(self, name):
        return self.headers.get(name.lower())

    def raw_headers(self):
        """Status line and header lines as the program's HTTP layer reports them."""
        lines = [f"HTTP/1.1 {self.status}"] + [f"{k}: {v}" for k, v in self.headers.items()]
        return "\r\n".join(lines) + "\r\n\r\n"


def fetch(url, method="GET"):
    """One request, the path sent exactly as it stands in the URL."""
    parts = urllib.parse.urlsplit(url)
    connection = http.client.HTTPConnection(parts.hostname, parts.port, timeout=20)
    try:
        path = url[url.index("/", len(parts.scheme) + 3):]
        connection.request(method, path)
        answer = connection.getresponse()
        body = answer.read()
        headers = {k.lower(): v for k, v in answer.getheaders()}
        return Response(answer.status, headers, body)
    finally:
        connection.close()


# --- How the program sees the site -----------------------------------------------------------

def gbk(text):
    return text.encode("gbk")


def page_text(response):
    """The page as the program's request routine returns it: converted from UTF-8 to GBK when
    "utf-8" begins within the first 499 bytes of the body or the headers say utf-8, then cut
    at the first zero byte. The status code plays no part."""
    body = response.body
    at = body.find(b"utf-8")
    if 0 <= at < 499 or "utf-8" in response.raw_headers().lower():
        text = body.decode("utf-8", errors="replace")
        body = text.removeprefix("\ufeff").encode("gbk", errors="replace")
    return body.split(b"\0", 1)[0]


def find(text, marker, start=0, case_sensitive=False):
    """0-based position of marker in text from start, or -1. Steps whole GBK characters, so
    a match never starts on a trail byte; without case_sensitive, A-Z and a-z are one."""
    if not case_sensitive:
        text, marker = text.lower(), marker.lower()   # bytes.lower() folds ASCII letters only
    position = max(start, 0)
    while len(text) - position >= len(marker):
        if text.startswith(marker, position):
            return position
        position += 2 if text[position] >= 0x80 else 1
    return -1


def contains(text, marker):
    return find(text, marker, case_sensitive=True) >= 0


QUOTE_PLACEHOLDER = gbk("#引号")


def extract_between(source, left, right):
    left = left.replace(QUOTE_PLACEHOLDER, b'"')
    right = right.replace(QUOTE_PLACEHOLDER, b'"')
    p = find(source, left)
    if p < 0:
        return b""
    q = p + len(left)
    r = find(source, right, q)
    return b"" if r < 0 else source[q:r]


def trim_blanks(text):
    while True:
        if text.startswith(b" "):
            text = text[1:]
        elif text.startswith(b"\xa1\xa1"):
            text = text[2:]
        elif text.endswith(b" "):
            text = text[:-1]
        elif text.endswith(b"\xa1\xa1"):
            text = text[:-2]
        else:
            return text


def extract_all_between(source, left, right):
    result, position = [], 0
    while True:
        p = find(source, left, position)
        if p < 0:
            return result
        r = find(source, right, p + len(left))
        if r < 0:
            return result
        cut = trim_blanks(source[p + len(left):r])
        if not cut:
            return result
        result.append(cut)
        position = r


TITLE_MARKERS = (b".gif'\" alt=\"", b'"')
DATE_MARKERS = (gbk("</p>\r\n              <P>时间："),
                b"</p>\r\n            </div>\r\n          </li>\r")
ADDRESS_MARKERS = (b'            <div class="listimg"> <a href="',
                   b'" target="_blank"><img src="')


def listing_fields(text):
    return [extract_all_between(text, *markers)
            for markers in (TITLE_MARKERS, DATE_MARKERS, ADDRESS_MARKERS)]


def load_category(get, category_path):
    """The rows a category load writes, and for each page whether its counts agreed.
    get(address) returns the program's page text."""
    rows, agreed = [], []
    for page in range(1, 11):
        path = category_path if page == 1 else f"{category_path}index_{page}.htm"
        titles, dates, addresses = listing_fields(get(path))
        agreed.append(len(titles) == len(dates))
        if len(titles) == len(dates):
            rows += list(zip(titles, dates, addresses))[:10]
        elif page <= 3:
            break
    return rows, agreed


def play_window_text(get, address):
    """(operation, edit box text) for a film, and the addresses fetched in order."""
    fetched = []

    def fetch_page(url):
        fetched.append(url)
        return get(url)

    page = fetch_page(address)
    section = extract_between(page, gbk("【下载地址】"), gbk("下载帮助"))
    links = extract_all_between(section, b'<a href="', b'">')
    if links:
        text = b"".join(gbk("下载地址") + str(i).encode() + gbk("： ") + link + b"\r\n"
                        for i, link in enumerate(links, 1))
        return "append", text, fetched
    searched = fetch_page(address)
    if contains(searched, gbk('.htm">点击进入下载地址</a></td>\r')):
        download = extract_between(searched, b'<a target="_blank" href="',
                                   gbk('">点击进入下载地址</a></td>'))
        searched = fetch_page(download.decode("gbk"))
    if contains(searched, b"thunder://"):
        return "set", gbk("下载地址： thunder://") + extract_between(searched, b"thunder://", b'">'), fetched
    if contains(searched, gbk("迅雷快传")):
        found = extract_between(searched, b'<a target="_blank" href="', gbk('">迅雷快传</a></td>\r'))
        return "append", gbk("该资源为迅雷快传,请手动负责地址在浏览器打开即可下载\r\n") + found, fetched
    return "append", gbk("没有找到下载资源地址"), fetched
