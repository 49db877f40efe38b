"""The generated site against its manifest: the pages are cut the way the program cuts them,
over HTTP from the real server, and must give exactly the rows and edit-box texts recorded."""

import collections
import json
import os
import subprocess
import tempfile
import unittest

import support

server = None
manifest = None


def setUpModule():
    global server, manifest
    with open(os.path.join(support.WWW, "manifest.json"), encoding="utf-8") as f:
        manifest = json.load(f)
    server = support.ServerProcess()


def tearDownModule():
    server.stop()


def program_get(address):
    """The program's view of an address of the site, fetched from the test server."""
    if address.startswith("/"):
        address = manifest["site"] + address
    if not address.startswith(manifest["site"] + "/"):
        raise AssertionError(f"address outside the site: {address!r}")
    return support.page_text(support.fetch(server.base + address[len(manifest["site"]):]))


class ListingTest(unittest.TestCase):
    def test_category_loads_give_the_manifest_rows(self):
        for category in manifest["categories"]:
            with self.subTest(category=category["path"]):
                rows, agreed = support.load_category(program_get, category["path"])
                self.assertEqual(agreed, [p["accepted"] for p in category["pages"]])
                expected = [(bytes.fromhex(r["title_gbk"]), bytes.fromhex(r["date_gbk"]),
                             r["address"].encode("ascii")) for r in category["rows"]]
                self.assertEqual(len(rows), category["row_count"])
                self.assertEqual(rows, expected)
                self.assertEqual([r["title"].encode("gbk") for r in category["rows"]],
                                 [r[0] for r in rows])

    def test_page_counts_match_the_cut(self):
        for category in manifest["categories"]:
            for page in category["pages"]:
                with self.subTest(page=page["address"]):
                    fields = support.listing_fields(program_get(page["address"]))
                    self.assertEqual([len(f) for f in fields],
                                     [page["titles"], page["dates"], page["addresses"]])

    def test_catalogue_has_the_cases_a_load_must_handle(self):
        counts = sorted(c["row_count"] for c in manifest["categories"])
        self.assertEqual(counts, [90, 100, 100])
        rejected = [p["page"] for c in manifest["categories"] for p in c["pages"]
                    if not p["accepted"]]
        self.assertEqual(len(rejected), 1)
        self.assertGreaterEqual(rejected[0], 4)
        pages = [p for c in manifest["categories"] for p in c["pages"]]
        self.assertTrue(any(p["accepted"] and p["titles"] > 10 for p in pages))
        self.assertTrue(any(p["accepted"] and p["addresses"] > p["titles"] for p in pages))
        self.assertLessEqual({"gbk", "utf-8-meta", "utf-8-header"},
                             {p["encoding"] for p in pages})


class FilmPageTest(unittest.TestCase):
    def test_play_window_texts_match_the_manifest(self):
        for film in manifest["films"]:
            with self.subTest(film=film["address"], variant=film["variant"]):
                operation, text, fetched = support.play_window_text(program_get, film["address"])
                self.assertEqual(text, bytes.fromhex(film["edit_text_gbk"]))
                self.assertEqual(text, film["edit_text"].encode("gbk"))
                self.assertEqual(operation, film["operation"])
                self.assertEqual(fetched, film["fetches"])

    def test_every_kind_is_listed_on_the_first_page_of_every_category(self):
        kinds = {"links", "thunder", "download_page", "fast_transfer", "none"}
        for category in manifest["categories"]:
            first_page = {f["kind"] for f in manifest["films"]
                          if f["category"] == category["path"] and f["row"] is not None
                          and f["row"] < 10}
            self.assertEqual(first_page, kinds, category["path"])

    def test_every_variant_is_listed_and_rows_point_at_their_films(self):
        by_address = {f["address"]: f for f in manifest["films"]}
        for category in manifest["categories"]:
            for row_index, row in enumerate(category["rows"]):
                film = by_address[row["address"]]
                self.assertEqual((film["row"], film["title"]), (row_index, row["title"]))
            for variant, row_index in category["examples"].items():
                self.assertEqual(by_address[category["rows"][row_index]["address"]]["variant"],
                                 variant)
        listed = collections.Counter(f["variant"] for f in manifest["films"]
                                     if f["row"] is not None)
        self.assertEqual(set(listed), set(manifest["variants"]))
        encodings = {f["encoding"] for f in manifest["films"] if f["row"] is not None}
        self.assertEqual(encodings, {"gbk", "utf-8-meta", "utf-8-header"})


class OtherPagesTest(unittest.TestCase):
    def test_ad_player_and_share_pages_are_served(self):
        paths = list(manifest["ads"].values()) + [s["path"] for s in manifest["share_pages"]]
        paths.append(manifest["cloud_player"]["path"])
        for path in paths:
            with self.subTest(path=path):
                response = support.fetch(server.base + path)
                self.assertEqual(response.status, 200)
                self.assertTrue(response.header("content-type").startswith("text/html"))
        for share in manifest["share_pages"]:
            self.assertRegex(share["path"], r"^/s/[0-9A-Za-z]{8}$")
            self.assertEqual(share["address"], manifest["site"] + share["path"])


class GeneratorTest(unittest.TestCase):
    def test_generator_reproduces_the_checked_in_tree(self):
        with tempfile.TemporaryDirectory() as folder:
            out = os.path.join(folder, "www")
            subprocess.run([support.PYTHON, os.path.join(support.SITE_DIR, "generate.py"),
                            "--out", out], check=True, capture_output=True)
            written, checked_in = tree(out), tree(support.WWW)
            self.assertEqual(sorted(written), sorted(checked_in))
            stale = [name for name in sorted(written) if written[name] != checked_in[name]]
            self.assertEqual(stale, [], "www/ is not what generate.py writes: run generate.py")

    def test_generator_follows_the_site_option(self):
        with tempfile.TemporaryDirectory() as folder:
            out = os.path.join(folder, "www")
            subprocess.run([support.PYTHON, os.path.join(support.SITE_DIR, "generate.py"),
                            "--site", "http://10.1.2.3:99", "--out", out],
                           check=True, capture_output=True)
            with open(os.path.join(out, "manifest.json"), encoding="utf-8") as f:
                other = json.load(f)
            self.assertEqual(other["site"], "http://10.1.2.3:99")
            with open(os.path.join(out, "bd", "index.htm"), "rb") as f:
                _, _, addresses = support.listing_fields(f.read())
            self.assertTrue(addresses)
            self.assertTrue(all(a.startswith(b"http://10.1.2.3:99/bd/") for a in addresses))


def tree(root):
    files = {}
    for folder, _, names in os.walk(root):
        for name in names:
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, root)] = f.read()
    return files


if __name__ == "__main__":
    unittest.main()
