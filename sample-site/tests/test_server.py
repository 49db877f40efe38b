"""server.py as a real process on a free port: bytes, headers, errors, the cloud-player page,
the delay, the request log and a clean end on SIGTERM and SIGINT."""

import html
import json
import os
import signal
import subprocess
import tempfile
import time
import unittest
import urllib.parse

import support

CLOUD_PLAYER = "/client/cplayer.html"


def www_files():
    for folder, _, names in os.walk(support.WWW):
        for name in sorted(names):
            path = os.path.join(folder, name)
            yield "/" + os.path.relpath(path, support.WWW).replace(os.sep, "/"), path


def read(path):
    with open(path, "rb") as f:
        return f.read()


class ServedFilesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = support.ServerProcess()
        with open(os.path.join(support.WWW, "charsets.json"), encoding="utf-8") as f:
            cls.charsets = json.load(f)

    @classmethod
    def tearDownClass(cls):
        if cls.server.stop() != 0:
            raise AssertionError("server.py did not end with exit code 0")

    def get(self, path, method="GET"):
        return support.fetch(self.server.base + path, method)

    def test_every_file_is_served_byte_for_byte(self):
        for url_path, path in www_files():
            if url_path == CLOUD_PLAYER:
                continue
            with self.subTest(path=url_path):
                response = self.get(urllib.parse.quote(url_path))
                self.assertEqual(response.status, 200)
                self.assertEqual(response.body, read(path))
                self.assertEqual(response.header("content-length"), str(len(response.body)))

    def test_head_gives_the_headers_without_a_body(self):
        for path in ["/bd/", "/ys/index_6.htm", "/img/bd.gif'", "/no/such/page.htm"]:
            with self.subTest(path=path):
                full, head = self.get(path), self.get(path, "HEAD")
                self.assertEqual(head.body, b"")
                self.assertEqual(head.status, full.status)
                self.assertEqual(head.header("content-length"), str(len(full.body)))
                self.assertEqual(head.header("content-type"), full.header("content-type"))

    def test_content_type_follows_the_charset_table(self):
        cases = [("/bd/", "text/html; charset=gbk"),
                 ("/bd/index_4.htm", "text/html; charset=gbk"),
                 ("/css/site.css", "text/css"),
                 ("/img/ys.gif'", "image/gif"),
                 ("/manifest.json", "application/json; charset=utf-8")]
        for path, charset in self.charsets["pages"].items():
            cases.append((path, f"text/html; charset={charset}" if charset else "text/html"))
        self.assertTrue(any(c is None for c in self.charsets["pages"].values()))
        self.assertTrue(any(c and c.lower() == "utf-8" for c in self.charsets["pages"].values()))
        for path, expected in cases:
            with self.subTest(path=path):
                self.assertEqual(self.get(path).header("content-type"), expected)

    def test_folders_serve_their_index(self):
        self.assertEqual(self.get("/").body, read(os.path.join(support.WWW, "index.htm")))
        self.assertEqual(self.get("/3ddy/").body,
                         read(os.path.join(support.WWW, "3ddy", "index.htm")))
        moved = self.get("/3ddy")
        self.assertEqual((moved.status, moved.header("location")), (301, "/3ddy/"))

    def test_unknown_paths_get_404_with_the_site_error_page(self):
        not_found = read(os.path.join(support.WWW, "404.htm"))
        for path in ["/nothing.htm", "/bd/index_11.htm", "/down/gone.htm", "/../server.py",
                     "/%2e%2e/server.py", "/img/bd.gif", "/bd/index.htm/"]:
            with self.subTest(path=path):
                response = self.get(path)
                self.assertEqual((response.status, response.body), (404, not_found))
                self.assertEqual(response.header("content-length"), str(len(not_found)))

    def test_cloud_player_shows_the_link_it_was_given(self):
        prefix = CLOUD_PLAYER + "?uvs=_4_&url="
        cases = [
            ("magnet:?xt=urn:btih:ABC&dn=a b", "magnet:?xt=urn:btih:ABC&dn=a b"),
            ("thunder://QUFodHRwOi8vYS5iL2MubXA0Wlo=", "thunder://QUFodHRwOi8vYS5iL2MubXA0Wlo="),
            ("ed2k://|file|%E6%98%9F%E6%B2%B3.mkv|1|A|/", "ed2k://|file|星河.mkv|1|A|/"),
            ('http://x.test/a?b=1&c="<script>"', 'http://x.test/a?b=1&c="<script>"'),
            ("", ""),
        ]
        for sent, shown in cases:
            with self.subTest(link=sent):
                response = self.get(prefix + urllib.parse.quote(sent, safe=":/?&=|%"))
                self.assertEqual(response.status, 200)
                self.assertEqual(response.header("content-type"), "text/html; charset=utf-8")
                self.assertIn(f'<code id="link">{html.escape(shown, quote=True)}</code>'
                              .encode("utf-8"), response.body)
                self.assertEqual(response.header("content-length"), str(len(response.body)))
        bare = self.get(CLOUD_PLAYER)
        self.assertIn(b'<code id="link"></code>', bare.body)


class OptionsTest(unittest.TestCase):
    def test_delay_holds_back_every_answer(self):
        quick, slow = support.ServerProcess(), support.ServerProcess("--delay-ms", "300")
        try:
            for server, low, high in [(quick, 0.0, 0.25), (slow, 0.3, 5.0)]:
                for path in ["/bd/", "/nothing.htm"]:
                    started = time.monotonic()
                    support.fetch(server.base + path)
                    elapsed = time.monotonic() - started
                    with self.subTest(port=server.port, path=path):
                        self.assertGreaterEqual(elapsed, low)
                        self.assertLess(elapsed, high)
        finally:
            self.assertEqual(quick.stop(), 0)
            self.assertEqual(slow.stop(), 0)

    def test_request_log_records_every_request_in_order(self):
        with tempfile.TemporaryDirectory() as folder:
            log = os.path.join(folder, "requests.log")
            server = support.ServerProcess("--request-log", log)
            for method, path in [("GET", "/bd/"), ("HEAD", "/ys/index_2.htm"),
                                 ("GET", "/client/cplayer.html?uvs=_4_&url=a&b")]:
                support.fetch(server.base + path, method)
            self.assertEqual(server.stop(), 0)
            with open(log, encoding="utf-8") as f:
                self.assertEqual(f.read().splitlines(), [
                    "GET /bd/", "HEAD /ys/index_2.htm", "GET /client/cplayer.html?uvs=_4_&url=a&b"])

    def test_port_zero_prints_the_chosen_port(self):
        server = support.ServerProcess()
        try:
            self.assertEqual(server.printed, f"{server.port}\n")
            self.assertEqual(support.fetch(server.base + "/").status, 200)
        finally:
            self.assertEqual(server.stop(), 0)

    def test_signals_end_the_server_cleanly(self):
        for signum in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(signal=signum.name):
                server = support.ServerProcess()
                ready_file = server.ready_file
                support.fetch(server.base + "/bd/")
                self.assertEqual(server.stop(signum), 0)
                self.assertFalse(os.path.exists(ready_file))

    def test_busy_port_is_reported(self):
        server = support.ServerProcess()
        try:
            process = subprocess.run(
                [support.PYTHON, os.path.join(support.SITE_DIR, "server.py"),
                 "--port", str(server.port)], capture_output=True, text=True, timeout=20)
            self.assertNotEqual(process.returncode, 0)
            self.assertIn(f"127.0.0.1:{server.port}", process.stderr)
        finally:
            self.assertEqual(server.stop(), 0)


if __name__ == "__main__":
    unittest.main()
