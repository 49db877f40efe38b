#!/usr/bin/python3
"""Generates Qorvella's bundled sample site into www/.

The site stands in for the film-download catalogue site, the ad server, the cloud player and
the cloud-disk share host. Its listing pages and film pages carry exactly the markup that the
program cuts its fields from; www/manifest.json records, for every category, the rows the film
list must show and, for every film page, the text the play window's edit box must show.

Every film title, name and address is invented. Running the script twice gives the same bytes.

    generate.py                      # rewrite sample-site/www for http://127.0.0.1:8631
    generate.py --site http://127.0.0.1:9000 --out /tmp/site   # a tree for another host
"""

import argparse
import base64
import datetime
import hashlib
import html
import json
import os
import shutil
import struct
import sys
from dataclasses import dataclass, field

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_SITE = "http://127.0.0.1:8631"
CRLF = "\r\n"


# --- Encodings -----------------------------------------------------------------------------

@dataclass(frozen=True)
class Encoding:
    """How a page is stored and how its charset is declared."""
    name: str            # the name used in the manifest
    codec: str           # Python codec of the stored bytes
    meta: str | None     # charset named in the page's <meta charset>, or None
    header: str | None   # charset parameter of the Content-Type header, or None


GBK = Encoding("gbk", "gbk", "gbk", "gbk")
GBK_HEADER_ONLY = Encoding("gbk-header", "gbk", None, "gbk")
# The program converts a page from UTF-8 when "utf-8" (lower case) begins within the first
# 499 bytes of the body, or when its response headers say utf-8 in any letter case.
UTF8_META = Encoding("utf-8-meta", "utf-8", "utf-8", None)
UTF8_HEADER_ONLY = Encoding("utf-8-header", "utf-8", None, "UTF-8")
HTML_DEFAULT_CHARSET = "gbk"   # what the server sends for an HTML page not in charsets.json

SNIFF_LIMIT = 499              # "utf-8" must begin at a byte offset below this


# --- The catalogue -------------------------------------------------------------------------

@dataclass(frozen=True)
class Category:
    folder: str
    caption: str
    button: str
    first_date: datetime.date

    @property
    def path(self):
        return f"/{self.folder}/"


CATEGORIES = [
    Category("bd", "BD高清", "超级按钮_BD高清", datetime.date(2024, 6, 30)),
    Category("3ddy", "3D电影专区", "超级按钮_3D", datetime.date(2024, 6, 28)),
    Category("ys", "最新热门电影", "超级按钮_最新电影", datetime.date(2024, 7, 2)),
]
PAGES = 10
ROWS_PER_PAGE = 10

# Entries per listing page where it is not ten.
ENTRY_COUNTS = {("bd", 1): 12, ("bd", 5): 12, ("bd", 8): 11, ("3ddy", 2): 12,
                ("3ddy", 6): 11, ("3ddy", 7): 11, ("ys", 3): 12, ("ys", 10): 12}
# This entry has no date paragraph, so its page has one title more than dates and the
# program skips the whole page.
UNDATED_ENTRY = ("3ddy", 7, 6)
# This page ends with a member promotion that carries an address but no title and no date:
# titles and dates agree, addresses are one more.
SURPLUS_ADDRESS_PAGE = ("ys", 2)
# Date paragraphs written "<p>时间：" on this page: the program's case-insensitive cut finds them.
LOWERCASE_DATE_PAGE = ("ys", 4)
LISTING_ENCODINGS = {("bd", 4): GBK_HEADER_ONLY, ("bd", 9): UTF8_META,
                     ("3ddy", 3): UTF8_META, ("ys", 6): UTF8_HEADER_ONLY}
# Blanks around a title and a date, which the program trims.
PADDED_TITLE = ("bd", 1, 3)
PADDED_DATE = ("bd", 2, 4)

# Film page variants, dealt out in this order over the entries of each category, so page 1
# of every category holds every kind.
VARIANTS = ["links4", "thunder", "download_thunder", "fast", "none", "links3",
            "thunder_in_section", "download_fast", "links5", "fast_after_anchor",
            "none_caps_thunder", "links1", "download_missing", "none_split_marker",
            "links4", "thunder"]
KIND_OF_VARIANT = {"links": "links", "thunder": "thunder", "download": "download_page",
                   "fast": "fast_transfer", "none": "none"}
VARIANT_NOTES = {
    "links4": "download section with a thunder, a magnet, an ed2k and an ftp link",
    "links3": "download section with a magnet, an ed2k and an ftp link",
    "links5": "download section with two thunder links, a magnet, an ed2k and an ftp link",
    "links1": "download section with one ed2k link",
    "thunder": "no download section; one thunder anchor",
    "thunder_in_section": "download section whose only anchor is <a class=... href=\"thunder://",
    "download_thunder": "link to a download page that holds a thunder anchor",
    "download_fast": "thunder anchor on the film page, but a link to a download page that "
                     "holds a fast-transfer link; only the download page counts",
    "download_missing": "link to a download page that does not exist (404 page)",
    "fast": "a fast-transfer link",
    "fast_after_anchor": "a fast-transfer link after another <a target=\"_blank\" href=\" "
                         "anchor: the cut runs from that anchor, markup included",
    "none": "empty download section, no other link",
    "none_caps_thunder": "a link written THUNDER:// only (the thunder test is case-sensitive)",
    "none_split_marker": "the bytes of 迅雷快传 occur only across character boundaries",
}
# Film pages stored in UTF-8: film index within its category modulo 5.
FILM_ENCODINGS = {1: UTF8_META, 3: UTF8_HEADER_ONLY}

# The two fixed cloud-disk share links: "/s/" and an eight-character share code.
SHARE_PAGES = [
    {"button": "超级按钮1", "window": "CloudLinkWindow", "caption": "云种子搜索器免费下载",
     "code": "1o6Yk8Ce"},
    {"button": "超级按钮_迅雷会员", "window": "MainWindow", "caption": "免费迅雷会员",
     "code": "1qWsM3vA"},
]
CLOUD_PLAYER_PATH = "/client/cplayer.html"
CLOUD_PLAYER_QUERY = "?uvs=_4_&url="
LINK_PLACEHOLDER = "{{LINK}}"   # the server puts the escaped link here

# The program's own texts for the play window's edit box.
LINE_PREFIX = "下载地址"
LINE_SEPARATOR = "： "
THUNDER_PREFIX = "下载地址： thunder://"
FAST_PREFIX = "该资源为迅雷快传,请手动负责地址在浏览器打开即可下载\r\n"
NOTHING_FOUND = "没有找到下载资源地址"

# The GBK bytes D1 B8 C0 D7 BF EC B4 AB (迅雷快传) starting on the second byte of 难.
SPLIT_MARKER_TEXT = bytes.fromhex("c4d1b8c0d7bfecb4aba0").decode("gbk")
assert "迅雷快传".encode("gbk") in SPLIT_MARKER_TEXT.encode("gbk")


# --- Invented words ------------------------------------------------------------------------

TITLE_HEADS = ["雾港", "琥珀", "铁砧", "松涛", "赤霄", "雪原", "灯塔", "云梯", "沙漏", "银杏",
               "孤帆", "霜降", "竹影", "北辰", "玉簪", "长堤", "火种", "青石", "白鹭", "星河",
               "暮鼓", "砚台", "风铃", "潮汐"]
TITLE_TAILS = ["夜航", "信使", "谜案", "归途", "回声", "密令", "迷城", "守望", "远行记", "暗潮",
               "之约", "奇遇记", "旧事", "追光者", "边城", "残局", "迷踪", "余烬", "逆流", "长夜",
               "归来", "疑云", "彼岸", "重逢"]
GENRES = ["剧情", "悬疑", "动作", "科幻", "爱情", "喜剧", "冒险", "动画", "犯罪", "奇幻"]
REGIONS = ["大陆", "香港", "台湾", "日本", "韩国", "欧美", "泰国"]
PLACES = ["海港小城", "边陲小镇", "雪山驿站", "旧城区", "远洋货轮", "深山古寺", "沙漠绿洲",
          "江南水乡"]
PEOPLE = ["退休的灯塔看守", "年轻的气象员", "落魄的魔术师", "倔强的邮差", "初来乍到的实习医生",
          "失忆的钢琴调音师", "沉默的渡船船长", "好奇的中学生"]
EVENTS = ["一场暴风雨", "全城停电", "一封迟到的来信", "一场意外的火灾", "一次迷路",
          "一次偶然的相遇"]
TWISTS = ["发现了一个尘封多年的秘密", "卷入了一桩离奇的失踪案", "踏上了寻找亲人的旅程",
          "不得不与过去的自己和解", "意外成为小镇的英雄", "和一群陌生人结下了深厚的友谊"]


def digest(text):
    return hashlib.md5(text.encode("utf-8")).hexdigest()


def pick(words, key, salt):
    return words[int(digest(salt + key), 16) % len(words)]


def invented_titles():
    """All head+tail pairs in a fixed scrambled order, a few with a sequel mark."""
    pairs = sorted((h + t for h in TITLE_HEADS for t in TITLE_TAILS), key=digest)
    titles = []
    for i, name in enumerate(pairs):
        if i % 11 == 5:
            name += "2"
        elif i % 13 == 7:
            name += "：前传"
        titles.append(name)
    assert len(set(titles)) == len(titles)
    return titles


# --- Films ---------------------------------------------------------------------------------

@dataclass
class Film:
    category: Category
    page: int
    entry: int            # 1-based position on its listing page
    index: int            # 0-based position within its category
    title: str            # as the program shows it (trimmed)
    alt: str              # as written in the listing's alt attribute
    date: str
    date_written: str
    dated: bool
    variant: str
    encoding: Encoding
    site: str
    outcome: dict = field(default_factory=dict)

    @property
    def id(self):
        return f"{self.category.folder}{self.page:02d}{self.entry:02d}"

    @property
    def path(self):
        return f"/{self.category.folder}/film/{self.id}.htm"

    @property
    def address(self):
        return self.site + self.path

    @property
    def kind(self):
        return KIND_OF_VARIANT[self.variant.split("_")[0].rstrip("0123456789")]


def listing_path(category, page):
    return category.path if page == 1 else f"{category.path}index_{page}.htm"


def listing_file(category, page):
    return category.path + "index.htm" if page == 1 else listing_path(category, page)


def plan_films(site):
    titles = iter(invented_titles())
    films = []
    for category in CATEGORIES:
        index = 0
        for page in range(1, PAGES + 1):
            for entry in range(1, ENTRY_COUNTS.get((category.folder, page), 10) + 1):
                key = (category.folder, page, entry)
                title = next(titles)
                date = (category.first_date - datetime.timedelta(days=index // 2)).isoformat()
                films.append(Film(
                    category=category, page=page, entry=entry, index=index, title=title,
                    alt=f"\u3000{title} " if key == PADDED_TITLE else title,
                    date=date, date_written=f" {date}" if key == PADDED_DATE else date,
                    dated=key != UNDATED_ENTRY,
                    variant=VARIANTS[index % len(VARIANTS)],
                    encoding=FILM_ENCODINGS.get(index % 5, GBK), site=site))
                index += 1
    return films


# --- Download links ------------------------------------------------------------------------

def ftp_link(film, quality):
    return f"ftp://qv:qv@dl.qorvella.test:2121/[Qorvella]{film.title}.{quality}.mkv"


def thunder_tail(inner):
    """Thunder links wrap an address as base64 of "AA" + address + "ZZ"."""
    return base64.b64encode(b"AA" + inner.encode("gbk") + b"ZZ").decode("ascii")


def film_links(film):
    h = digest(film.id)
    size = 1_000_000_000 + int(h[:6], 16) * 1000
    links = {
        "thunder1080": ("迅雷下载", "thunder://" + thunder_tail(ftp_link(film, "BD1080P中字"))),
        "thunder720": ("迅雷下载", "thunder://" + thunder_tail(ftp_link(film, "BD720P中字"))),
        "magnet": ("磁力链接", f"magnet:?xt=urn:btih:{hashlib.sha1(h.encode()).hexdigest()}"
                              f"&dn={film.id}.mkv"),
        "ed2k": ("电驴链接", f"ed2k://|file|[Qorvella]{film.title}.BD1080P.mkv|{size}|"
                            f"{h.upper()}|/"),
        "ftp": ("FTP下载", ftp_link(film, "BD720P中字")),
    }
    sets = {"links1": ["ed2k"], "links3": ["magnet", "ed2k", "ftp"],
            "links4": ["thunder1080", "magnet", "ed2k", "ftp"],
            "links5": ["thunder1080", "thunder720", "magnet", "ed2k", "ftp"]}
    return [links[name] for name in sets[film.variant]]


def kuai_path(film):
    return f"/kuai/d/{digest('kuai' + film.id)[:8]}"


def download_path(film):
    if film.variant == "download_missing":
        return f"/down/gone-{film.id}.htm"
    return f"/down/{film.id}.htm"


HELP_LINE = ('<p class="help"><b>下载帮助</b>：推荐使用迅雷下载；磁力与电驴链接可用任意'
             '支持它们的下载工具打开。</p>')


def download_block(film):
    """The film page's download part and what the play window must then show."""
    v, site = film.variant, film.site
    lines = ['<div class="downlist">']
    if v.startswith("links"):
        links = film_links(film)
        lines += ["<h2>【下载地址】</h2>", '<table class="dl">']
        for label, link in links:
            name = link.split("/")[-1] if link.startswith("ftp") else f"{film.title}.mkv"
            lines.append(f'<tr><td class="t">{label}</td><td><a href="{link}">{esc(name)}'
                         f'</a></td></tr>')
        lines += ["</table>", HELP_LINE]
        text = "".join(f"{LINE_PREFIX}{i}{LINE_SEPARATOR}{link}\r\n"
                       for i, (_, link) in enumerate(links, 1))
        outcome = ("links", "append", text)
    elif v in ("thunder", "thunder_in_section"):
        tail = thunder_tail(ftp_link(film, "BD1080P中字"))
        if v == "thunder":
            lines += ["<h2>下载</h2>",
                      f'<p class="one"><a href="thunder://{tail}">迅雷专用高速下载</a></p>']
        else:
            lines += ["<h2>【下载地址】</h2>",
                      f'<p class="one"><a class="thunder" href="thunder://{tail}">'
                      f'迅雷专用高速下载</a></p>', HELP_LINE]
        outcome = ("thunder", "set", THUNDER_PREFIX + tail)
    elif v.startswith("download"):
        lines.append("<h2>下载</h2>")
        if v == "download_fast":
            trailer = thunder_tail(ftp_link(film, "预告片"))
            lines.append(f'<p class="one">预告片：<a href="thunder://{trailer}">预告片下载</a></p>')
        lines += ['<table class="dl"><tr>', '<td class="t">下载页面</td>',
                  f'<td><a target="_blank" href="{site}{download_path(film)}">点击进入下载地址'
                  '</a></td>', "</tr></table>"]
        if v == "download_thunder":
            tail = thunder_tail(ftp_link(film, "BD1080P国语中字"))
            outcome = ("thunder", "set", THUNDER_PREFIX + tail)
        elif v == "download_fast":
            outcome = ("fast_transfer", "append", FAST_PREFIX + site + kuai_path(film))
        else:
            outcome = ("none", "append", NOTHING_FOUND)
    elif v.startswith("fast"):
        lines.append("<h2>高速下载</h2>")
        fast = fast_table(film)
        if v == "fast_after_anchor":
            tip = (f'<p class="tip">首次使用请先阅读<a target="_blank" href="{site}/help/kuai.htm">'
                   "快传使用说明</a>。</p>")
            lines.append(tip)
            joined = CRLF.join([tip] + fast)
            start = joined.index('<a target="_blank" href="') + len('<a target="_blank" href="')
            found = joined[start:joined.index('">迅雷快传</a></td>\r')]
        else:
            found = site + kuai_path(film)
        lines += fast
        outcome = ("fast_transfer", "append", FAST_PREFIX + found)
    elif v == "none":
        lines += ["<h2>【下载地址】</h2>", '<p class="none">资源整理中，敬请期待。</p>', HELP_LINE]
        outcome = ("none", "append", NOTHING_FOUND)
    elif v == "none_caps_thunder":
        tail = thunder_tail(ftp_link(film, "DVD"))
        lines += ["<h2>下载</h2>", f'<p class="one">旧版链接（已失效）：<a href="THUNDER://{tail}">'
                                  f"THUNDER://{tail[:16]}…</a></p>"]
        outcome = ("none", "append", NOTHING_FOUND)
    elif v == "none_split_marker":
        lines += ["<h2>下载</h2>", f'<p class="none">资源校验码：{SPLIT_MARKER_TEXT}（资源整理中）</p>']
        outcome = ("none", "append", NOTHING_FOUND)
    else:
        raise AssertionError(v)
    lines.append("</div>")
    case, operation, text = outcome
    fetches = [film.address]
    if case != "links":
        fetches.append(film.address)
    if v.startswith("download"):
        fetches.append(site + download_path(film))
    film.outcome = {"case": case, "operation": operation, "edit_text": text, "fetches": fetches}
    return lines


def fast_table(film):
    return ['<table class="dl"><tr>', '<td class="t">快传通道</td>',
            f'<td><a target="_blank" href="{film.site}{kuai_path(film)}">迅雷快传</a></td>',
            "</tr></table>"]


# --- Page parts ----------------------------------------------------------------------------

def esc(text):
    return html.escape(text, quote=True)


def head(title, encoding, style=None, stylesheet=True):
    lines = ["<!DOCTYPE html>", '<html lang="zh-CN">', "<head>"]
    if encoding.meta:
        lines.append(f'<meta charset="{encoding.meta}">')
    lines.append(f"<title>{esc(title)}</title>")
    if stylesheet:
        lines.append('<link rel="stylesheet" href="/css/site.css">')
    if style:
        lines += ["<style>", style.strip(), "</style>"]
    return lines + ["</head>"]


def top_bar(active=None):
    items = [("/", "首页")] + [(c.path, c.caption) for c in CATEGORIES]
    on = ' class="on"'
    nav = "".join(f'<li{on if path == active else ""}><a href="{path}">{esc(name)}</a></li>'
                  for path, name in items)
    return ['<div class="top"><div class="wrap">',
            '<a class="logo" href="/">Qorvella<span>影视</span></a>',
            f'<ul class="nav">{nav}</ul>', "</div></div>"]


FOOTER = ['<div class="foot"><div class="wrap">Qorvella 示例站点 · 影片名称与内容均为虚构 · '
          "仅供本机测试使用</div></div>", "</body>", "</html>"]


def page_text(lines):
    return CRLF.join(lines) + CRLF


# --- Pages ---------------------------------------------------------------------------------

def listing_page(category, page, films):
    key = (category.folder, page)
    encoding = LISTING_ENCODINGS.get(key, GBK)
    date_tag = "<p>" if key == LOWERCASE_DATE_PAGE else "<P>"
    lines = head(f"{category.caption} - 第{page}页 - Qorvella 影视", encoding)
    lines += ["<body>"] + top_bar(category.path)
    lines += ['<div class="wrap">',
              f'<h1 class="cat">{esc(category.caption)}<small>第 {page} 页 / 共 {PAGES} 页</small></h1>',
              '<div class="listbox">', "        <ul>"]
    for film in films:
        lines += [
            "          <li>",
            f'            <div class="listimg"> <a href="{film.address}" target="_blank">'
            f'<img src="/img/{category.folder}.gif\'" alt="{esc(film.alt)}" width="96" height="128">'
            "</a></div>",
            '            <div class="listinfo">',
            f'              <h3><a href="{film.address}" target="_blank">{esc(film.title)}</a></h3>',
            f"              <p>类型：{pick(GENRES, film.id, 'g')}\u3000"
            f"地区：{pick(REGIONS, film.id, 'r')}</p>",
            f"              {date_tag}时间：{film.date_written}</p>" if film.dated
            else "              <p>状态：资源整理中</p>",
            "            </div>",
            "          </li>",
        ]
    if key == SURPLUS_ADDRESS_PAGE:
        member = films[0].site + "/s/" + SHARE_PAGES[1]["code"]
        lines += [
            '          <li class="promo">',
            f'            <div class="listimg"> <a href="{member}" target="_blank">'
            '<img src="/img/vip.gif" alt="Qorvella 会员" width="96" height="128"></a></div>',
            '            <div class="listinfo">',
            f'              <h3><a href="{member}" target="_blank">开通会员，高清资源抢先看</a></h3>',
            "              <p>会员专享：无广告、极速下载</p>",
            "            </div>",
            "          </li>",
        ]
    lines += ["        </ul>", "</div>", '<div class="pages">']
    for n in range(1, PAGES + 1):
        if n == page:
            lines.append(f'<span class="on">{n}</span>')
        else:
            lines.append(f'<a href="{listing_path(category, n)}">{n}</a>')
    lines += ["</div>", "</div>"] + FOOTER
    return page_text(lines), encoding


def film_page(film):
    c = film.category
    synopsis = (f"{pick(PLACES, film.id, 'p')}里，{pick(PEOPLE, film.id, 'm')}在"
                f"{pick(EVENTS, film.id, 'e')}之后{pick(TWISTS, film.id, 't')}。")
    lines = head(f"{film.title} - {c.caption} - Qorvella 影视", film.encoding)
    lines += ["<body>"] + top_bar(c.path)
    lines += [
        '<div class="wrap film">',
        f'<div class="crumb"><a href="/">首页</a> &gt; <a href="{c.path}">{esc(c.caption)}</a>'
        f" &gt; {esc(film.title)}</div>",
        '<div class="detail">',
        f'<img class="poster" src="/img/{c.folder}.gif\'" alt="{esc(film.title)}" width="96" '
        'height="128">',
        '<div class="meta">',
        f"<h1>{esc(film.title)}</h1>",
        f"<p>类型：{pick(GENRES, film.id, 'g')}</p>",
        f"<p>地区：{pick(REGIONS, film.id, 'r')}</p>",
        f"<p>更新：{film.date}</p>",
        f'<p class="intro">{synopsis}</p>',
        "</div>",
        "</div>",
    ]
    lines += download_block(film)
    lines += ["</div>"] + FOOTER
    return page_text(lines)


def download_page(film):
    encoding = UTF8_META if film.index % 2 else GBK
    lines = head(f"{film.title} 下载地址 - Qorvella 影视", encoding)
    lines += ["<body>"] + top_bar()
    lines += ['<div class="wrap film">', f"<h1>{esc(film.title)} 下载地址</h1>",
              '<div class="downlist">']
    if film.variant == "download_thunder":
        tail = thunder_tail(ftp_link(film, "BD1080P国语中字"))
        lines += ['<table class="dl">',
                  f'<tr><td class="t">迅雷下载</td><td><a href="thunder://{tail}">'
                  f"{esc(film.title)}.BD1080P国语中字.mkv</a></td></tr>", "</table>"]
    else:
        lines += fast_table(film)
    lines += ['<p class="tip">若链接失效，请返回影片页面留言。</p>', "</div>", "</div>"] + FOOTER
    return page_text(lines), encoding


def kuai_page(film):
    lines = head("快传文件 - Qorvella", GBK) + ["<body>"] + top_bar()
    lines += ['<div class="wrap share">', "<h1>快传文件</h1>",
              f'<p class="file">[Qorvella]{esc(film.title)}.BD1080P.mkv</p>',
              "<p>大小：1.46 GB　有效期：7 天</p>",
              '<p><span class="btn">普通下载</span> <span class="btn alt">高速下载</span></p>',
              '<p class="tip">示例站点不提供真实文件。</p>', "</div>"] + FOOTER
    return page_text(lines)


def help_page():
    lines = head("快传使用说明 - Qorvella", GBK) + ["<body>"] + top_bar()
    lines += ['<div class="wrap share">', "<h1>快传使用说明</h1>",
              "<p>快传链接需要在浏览器中打开：复制播放窗口里显示的地址，粘贴到浏览器的地址栏即可。</p>",
              "<p>快传文件一般保存七天，过期后请返回影片页面查看新的下载方式。</p>",
              "</div>"] + FOOTER
    return page_text(lines)


def share_page(share):
    member = share["code"] == SHARE_PAGES[1]["code"]
    name = "Qorvella 会员体验说明.txt" if member else "云种子搜索器 v3.2.zip"
    size = "2 KB" if member else "3.8 MB"
    lines = head(f"{name} - Qorvella 网盘分享", GBK) + ["<body>"] + top_bar()
    lines += ['<div class="wrap share">', '<h1>Qorvella 网盘 · 分享文件</h1>',
              f'<p class="file">{esc(name)}</p>',
              f"<p>大小：{size}　分享者：Qorvella 官方　分享码：{share['code']}</p>",
              '<p><span class="btn">下载</span> <span class="btn alt">保存到我的网盘</span></p>',
              '<p class="tip">示例站点不提供真实文件。</p>', "</div>"] + FOOTER
    return page_text(lines)


def home_page(films):
    lines = head("Qorvella 影视 - 示例站点", GBK) + ["<body>"] + top_bar("/")
    lines += ['<div class="wrap">', '<div class="hero"><h1>Qorvella 影视</h1>',
              "<p>本机示例站点：为 Qorvella 提供影片目录、广告页、云播放页和网盘分享页。</p></div>",
              '<div class="cards">']
    for c in CATEGORIES:
        newest = [f for f in films if f.category is c and f.page == 1][:3]
        names = "、".join(f.title for f in newest)
        lines.append(f'<a class="card" href="{c.path}"><b>{esc(c.caption)}</b>'
                     f"<span>最新：{esc(names)}</span></a>")
    lines += ["</div>", '<ul class="links">',
              '<li><a href="/ads/mtpx.htm">横幅广告</a>（/ads/mtpx.htm）</li>',
              '<li><a href="/ads/zanzhu.htm">赞助广告</a>（/ads/zanzhu.htm）</li>',
              '<li><a href="/ads/bfq.htm">播放页</a>（/ads/bfq.htm）</li>',
              f'<li><a href="{CLOUD_PLAYER_PATH}{CLOUD_PLAYER_QUERY}magnet:?xt=urn:btih:0123456789abcdef">'
              "云播放页</a></li>"]
    for share in SHARE_PAGES:
        lines.append(f'<li><a href="/s/{share["code"]}">{esc(share["caption"])}</a></li>')
    lines += ["</ul>", "</div>"] + FOOTER
    return page_text(lines)


def not_found_page():
    lines = head("404 - 页面不存在", GBK) + ["<body>"] + top_bar()
    lines += ['<div class="wrap share">', "<h1>404</h1>", "<p>您要找的页面不存在或已被删除。</p>",
              '<p><a href="/">返回首页</a></p>', "</div>"] + FOOTER
    return page_text(lines)


AD_FONT = 'font-family:"Noto Sans CJK SC","Microsoft YaHei",sans-serif'


def ad_banner():
    # Shown in a 490 x 80 view of which only x 10..482, y 16..80 is visible.
    style = f"""
html,body{{margin:0;padding:0;width:490px;height:80px;overflow:hidden;{AD_FONT}}}
.cut{{height:16px;background:#0b5f8f}}
.ad{{position:absolute;left:10px;top:16px;width:472px;height:64px;box-sizing:border-box;
padding:9px 16px;color:#fff;background:linear-gradient(90deg,#1590c9,#38b7ea 60%,#7fd3f5)}}
.ad b{{font-size:22px;letter-spacing:1px}}
.ad span{{display:block;font-size:13px;margin-top:3px}}
.ad i{{position:absolute;right:16px;top:17px;font-style:normal;font-size:14px;padding:5px 12px;
border:2px solid #fff;border-radius:16px}}
"""
    lines = head("Qorvella 推广", UTF8_META, style, stylesheet=False)
    lines += ['<body><div class="cut"></div>',
              '<div class="ad"><b>Qorvella 影视</b><span>蓝光高清 · 3D 专区 · 每日更新，'
              "双击影片即可播放</span><i>免费看</i></div>", "</body>", "</html>"]
    return page_text(lines)


def ad_sponsor():
    # Shown in a 208 x 80 view of which only y 16..80 is visible.
    style = f"""
html,body{{margin:0;padding:0;width:208px;height:80px;overflow:hidden;{AD_FONT}}}
.cut{{height:16px;background:#b8641a}}
.ad{{position:absolute;left:0;top:16px;width:208px;height:64px;box-sizing:border-box;
padding:8px 12px;color:#fff;background:linear-gradient(135deg,#ff8a00,#f55d3e)}}
.ad b{{font-size:18px}}
.ad span{{display:block;font-size:12px;margin-top:4px}}
"""
    lines = head("Qorvella 赞助", GBK, style, stylesheet=False)
    lines += ['<body><div class="cut"></div>',
              '<div class="ad"><b>赞助商广告位</b><span>虚位以待 · ads@qorvella.test</span></div>',
              "</body>", "</html>"]
    return page_text(lines)


PLAYER_STYLE = f"""
html,body{{margin:0;padding:0;overflow:hidden;background:#0b0d12;color:#cfd6e0;{AD_FONT}}}
.screen{{display:flex;flex-direction:column;align-items:center;justify-content:center;
background:radial-gradient(circle at 50% 45%,#2b3242,#0b0d12 70%)}}
.play{{width:0;height:0;margin-left:14px;border-left:58px solid rgba(255,255,255,.88);
border-top:35px solid transparent;border-bottom:35px solid transparent}}
.hint{{margin-top:24px;font-size:15px;color:#9fb0c4}}
.bar{{height:44px;display:flex;align-items:center;gap:14px;padding:0 16px;background:#181c24;
font-size:13px}}
.bar .track{{flex:1;height:4px;border-radius:2px;background:#3a4150}}
.bar .track i{{display:block;width:18%;height:4px;border-radius:2px;background:#2fa8e0}}
.brand{{color:#2fa8e0;font-weight:bold}}
"""


def ad_player():
    # The play window's browser: 776 x 416.
    style = PLAYER_STYLE + "html,body{width:776px;height:416px}.screen{height:372px}"
    lines = head("Qorvella 播放器", GBK, style, stylesheet=False)
    lines += ["<body>", '<div class="screen"><div class="play"></div>',
              '<div class="hint">下方列出本片的下载地址，复制到下载工具即可观看</div></div>',
              '<div class="bar"><span class="brand">Qorvella</span><span>00:00 / 00:00</span>'
              '<span class="track"><i></i></span><span>高清</span></div>', "</body>", "</html>"]
    return page_text(lines)


def cloud_player():
    # The cloud-player window's view: 970 x 700. The server writes the link it was given,
    # escaped, in place of the placeholder; the script adds a fragment, which browsers keep
    # to themselves.
    style = PLAYER_STYLE + """
html,body{width:970px;height:700px}.screen{height:560px}
.link{padding:14px 18px;font-size:14px;background:#12151c;word-break:break-all}
.link code{color:#fff;font-size:14px}
"""
    lines = head("Qorvella 云播放", UTF8_META, style, stylesheet=False)
    lines += ["<body>", '<div class="screen"><div class="play"></div>',
              '<div class="hint">Qorvella 云播放：正在解析链接…</div></div>',
              '<div class="bar"><span class="brand">Qorvella 云播</span><span>00:00 / 00:00</span>'
              '<span class="track"><i></i></span><span>超清</span></div>',
              f'<div class="link">播放链接：<code id="link">{LINK_PLACEHOLDER}</code></div>',
              "<script>",
              "var h = location.hash;",
              "if (h) { try { h = decodeURIComponent(h); } catch (e) {} "
              "document.getElementById('link').textContent += h; }",
              "</script>", "</body>", "</html>"]
    return page_text(lines)


SITE_CSS = """
* { box-sizing: border-box; }
body { margin: 0; background: #f2f5f8; color: #233; font: 14px/1.6 "Noto Sans CJK SC", "Microsoft YaHei", sans-serif; }
a { color: #1479b8; text-decoration: none; }
a:hover { text-decoration: underline; }
.wrap { width: 960px; margin: 0 auto; }
.top { background: #169cd6; color: #fff; }
.top .wrap { display: flex; align-items: center; height: 56px; }
.logo { color: #fff; font-size: 24px; font-weight: bold; letter-spacing: 1px; }
.logo span { font-size: 14px; font-weight: normal; margin-left: 6px; opacity: .85; }
.nav { display: flex; list-style: none; margin: 0 0 0 32px; padding: 0; }
.nav a { display: block; padding: 0 16px; line-height: 56px; color: #e8f6fd; }
.nav .on a, .nav a:hover { background: #0f86bb; color: #fff; text-decoration: none; }
h1.cat { font-size: 20px; margin: 24px 0 12px; }
h1.cat small { font-size: 13px; color: #789; font-weight: normal; margin-left: 12px; }
.listbox ul { list-style: none; margin: 0; padding: 0; display: grid; grid-template-columns: 1fr 1fr; gap: 12px; }
.listbox li { display: flex; background: #fff; border-radius: 6px; padding: 10px; box-shadow: 0 1px 3px rgba(0,0,0,.08); }
.listbox li.promo { background: #fff8e6; }
.listimg img { display: block; border-radius: 4px; background: #dde; }
.listinfo { margin-left: 14px; }
.listinfo h3 { margin: 2px 0 8px; font-size: 16px; }
.listinfo p { margin: 2px 0; color: #567; }
.pages { margin: 20px 0; text-align: center; }
.pages a, .pages span { display: inline-block; min-width: 30px; margin: 0 2px; padding: 3px 8px; border-radius: 4px; background: #fff; }
.pages span.on { background: #169cd6; color: #fff; }
.film .crumb { margin: 18px 0 10px; color: #789; }
.detail { display: flex; background: #fff; border-radius: 6px; padding: 16px; }
.detail .meta { margin-left: 18px; }
.detail h1 { margin: 0 0 8px; font-size: 22px; }
.detail p { margin: 2px 0; }
.detail .intro { margin-top: 10px; color: #456; }
.downlist { background: #fff; border-radius: 6px; padding: 12px 16px; margin: 14px 0; }
.downlist h2 { font-size: 16px; margin: 0 0 8px; color: #c0392b; }
.dl { border-collapse: collapse; width: 100%; }
.dl td { border-top: 1px solid #e6ebf0; padding: 6px 8px; word-break: break-all; }
.dl td.t { width: 90px; color: #678; white-space: nowrap; }
.help, .tip { color: #789; font-size: 13px; }
.none { color: #999; }
.share { background: #fff; border-radius: 6px; padding: 24px 28px; margin: 24px auto; }
.share .file { font-size: 18px; font-weight: bold; }
.btn { display: inline-block; padding: 6px 18px; border-radius: 4px; background: #169cd6; color: #fff; }
.btn.alt { background: #f39c12; }
.hero { background: linear-gradient(90deg, #169cd6, #5cc4ef); color: #fff; border-radius: 6px; padding: 24px 28px; margin: 24px 0 16px; }
.hero h1 { margin: 0 0 6px; }
.cards { display: grid; grid-template-columns: repeat(3, 1fr); gap: 12px; }
.card { display: block; background: #fff; border-radius: 6px; padding: 16px; box-shadow: 0 1px 3px rgba(0,0,0,.08); }
.card b { display: block; font-size: 18px; margin-bottom: 6px; }
.card span { color: #567; font-size: 13px; }
.links { margin: 18px 0; }
.foot { margin-top: 32px; padding: 16px 0; color: #89a; font-size: 12px; text-align: center; border-top: 1px solid #dde4ea; }
"""


# --- Pictures ------------------------------------------------------------------------------

def gif(width, height, palette, pixels):
    """A GIF of up to 128 colours. Every code is 8 bits wide: a clear code every 100 pixels
    keeps the decoder's table from growing past 8-bit codes, so no real compression is needed."""
    assert len(palette) <= 128 and len(pixels) == width * height
    palette = palette + [(0, 0, 0)] * (128 - len(palette))
    out = bytearray(b"GIF89a" + struct.pack("<HHBBB", width, height, 0xF6, 0, 0))
    for rgb in palette:
        out += bytes(rgb)
    out += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0) + b"\x07"
    codes = bytearray()
    for i, p in enumerate(pixels):
        if i % 100 == 0:
            codes.append(128)
        codes.append(p)
    codes.append(129)
    for i in range(0, len(codes), 255):
        block = codes[i:i + 255]
        out += bytes([len(block)]) + block
    return bytes(out + b"\x00\x3b")


def poster(top, bottom):
    """A 96 x 128 poster: a colour gradient between two film-strip edges and a play mark."""
    w, h = 96, 128
    palette = [tuple(round(a + (b - a) * i / 99) for a, b in zip(top, bottom)) for i in range(100)]
    palette += [(24, 26, 32), (235, 238, 242), (255, 255, 255)]
    strip, hole, white = 100, 101, 102
    pixels = []
    for y in range(h):
        for x in range(w):
            if x < 9 or x >= w - 9:
                inside = 2 <= (x if x < 9 else x - (w - 9)) <= 6 and y % 12 in range(3, 9)
                pixels.append(hole if inside else strip)
            elif 36 <= x <= 66 and abs(y - 64) <= (66 - x) * 0.6:
                pixels.append(white)
            else:
                pixels.append(y * 99 // (h - 1))
    return gif(w, h, palette, pixels)


POSTER_COLOURS = {"bd": ((92, 169, 239), (18, 52, 110)), "3ddy": ((0, 190, 90), (0, 70, 40)),
                  "ys": ((255, 150, 40), (140, 40, 10)), "vip": ((255, 214, 90), (190, 120, 0))}


# --- The site ------------------------------------------------------------------------------

class Site:
    def __init__(self, base):
        self.base = base
        self.files = {}      # URL path -> bytes
        self.charsets = {}   # URL path -> charset parameter (None: none) where not the default
        self.encodings = {}  # URL path -> Encoding of every HTML page

    def page(self, path, text, encoding):
        data = text.encode(encoding.codec)
        text.encode("gbk")   # the program sees every page in GBK
        at = data.find(b"utf-8")
        if encoding.codec == "utf-8" and encoding.meta:
            assert 0 <= at < SNIFF_LIMIT, path
        else:
            assert at < 0, path
        self.files[path] = data
        self.encodings[path] = encoding
        if encoding.header != HTML_DEFAULT_CHARSET:
            self.charsets[path] = encoding.header

    def raw(self, path, data):
        self.files[path] = data


def build(base):
    site = Site(base)
    films = plan_films(base)
    for category in CATEGORIES:
        for page in range(1, PAGES + 1):
            on_page = [f for f in films if f.category is category and f.page == page]
            text, encoding = listing_page(category, page, on_page)
            site.page(listing_file(category, page), text, encoding)
    for film in films:
        site.page(film.path, film_page(film), film.encoding)
        if film.variant in ("download_thunder", "download_fast"):
            text, encoding = download_page(film)
            site.page(download_path(film), text, encoding)
        if film.variant.startswith(("fast", "download_fast")):
            site.page(kuai_path(film), kuai_page(film), GBK)
    site.page("/index.htm", home_page(films), GBK)
    site.page("/404.htm", not_found_page(), GBK)
    site.page("/help/kuai.htm", help_page(), GBK)
    for share in SHARE_PAGES:
        site.page("/s/" + share["code"], share_page(share), GBK)
    site.page("/ads/mtpx.htm", ad_banner(), UTF8_META)
    site.page("/ads/zanzhu.htm", ad_sponsor(), GBK)
    site.page("/ads/bfq.htm", ad_player(), GBK)
    site.page(CLOUD_PLAYER_PATH, cloud_player(), UTF8_META)
    site.charsets[CLOUD_PLAYER_PATH] = "utf-8"   # rendered per request, so the header says it
    site.raw("/css/site.css", SITE_CSS.lstrip().encode("ascii"))
    for name, (top, bottom) in POSTER_COLOURS.items():
        site.raw(f"/img/{name}.gif" + ("" if name == "vip" else "'"), poster(top, bottom))
    site.raw("/charsets.json", json_bytes({
        "about": "Charset parameter of the Content-Type header for HTML pages (and extensionless "
                 "pages) that do not get the default; null: no charset parameter, the page "
                 "declares its charset in a meta tag.",
        "default": HTML_DEFAULT_CHARSET,
        "pages": dict(sorted(site.charsets.items())),
    }))
    site.raw("/manifest.json", json_bytes(manifest(site, films)))
    return site


def gbk_hex(text):
    return text.encode("gbk").hex()


def manifest(site, films):
    categories = []
    for category in CATEGORIES:
        pages, rows, examples = [], [], {}
        for page in range(1, PAGES + 1):
            on_page = [f for f in films if f.category is category and f.page == page]
            dated = [f for f in on_page if f.dated]
            addresses = len(on_page) + (1 if (category.folder, page) == SURPLUS_ADDRESS_PAGE else 0)
            accepted = len(dated) == len(on_page)
            path = listing_file(category, page)
            pages.append({"page": page, "address": site.base + listing_path(category, page),
                          "file": path, "encoding": site.encodings[path].name,
                          "titles": len(on_page), "dates": len(dated), "addresses": addresses,
                          "accepted": accepted})
            if not accepted:
                continue
            for film in on_page[:ROWS_PER_PAGE]:
                examples.setdefault(film.variant, len(rows))
                film.outcome["row"] = len(rows)
                rows.append({"page": page, "title": film.title, "date": film.date,
                             "address": film.address, "title_gbk": gbk_hex(film.title),
                             "date_gbk": gbk_hex(film.date)})
        categories.append({"path": category.path, "button": category.button,
                           "caption": category.caption, "row_count": len(rows),
                           "pages": pages, "rows": rows, "examples": examples})
    film_records = []
    for film in films:
        o = film.outcome
        download = None
        if film.variant.startswith("download"):
            path = download_path(film)
            download = {"address": site.base + path, "exists": path in site.files,
                        "encoding": site.encodings[path].name if path in site.files else None}
        film_records.append({
            "address": film.address, "file": film.path, "category": film.category.path,
            "page": film.page, "entry": film.entry, "row": o.get("row"),
            "title": film.title, "title_gbk": gbk_hex(film.title),
            "encoding": film.encoding.name, "kind": film.kind, "variant": film.variant,
            "download_page": download, "case": o["case"], "operation": o["operation"],
            "edit_text": o["edit_text"], "edit_text_gbk": gbk_hex(o["edit_text"]),
            "fetches": o["fetches"]})
    return {
        "about": "Qorvella sample site: what the program must show for its pages. Texts are "
                 "Unicode here; *_gbk fields hold the GBK bytes in hex. 'row' is the 0-based "
                 "row of the film list after a full load of its category (null: not listed).",
        "site": site.base,
        "categories": categories,
        "variants": VARIANT_NOTES,
        "films": film_records,
        "ads": {"banner": "/ads/mtpx.htm", "sponsor": "/ads/zanzhu.htm",
                "player": "/ads/bfq.htm"},
        "cloud_player": {"path": CLOUD_PLAYER_PATH, "query_prefix": CLOUD_PLAYER_QUERY,
                         "shows_link_in": "code#link"},
        "share_pages": [dict(s, path="/s/" + s["code"], address=site.base + "/s/" + s["code"])
                        for s in SHARE_PAGES],
        "encodings": {e.name: {"codec": e.codec, "meta": e.meta, "header": e.header}
                      for e in (GBK, GBK_HEADER_ONLY, UTF8_META, UTF8_HEADER_ONLY)},
    }


def json_bytes(value):
    return (json.dumps(value, ensure_ascii=False, indent=1) + "\n").encode("utf-8")


def write_tree(site, out):
    if os.path.isdir(out) and os.listdir(out):
        if not os.path.isfile(os.path.join(out, "manifest.json")):
            sys.exit(f"generate.py: {out} is not empty and holds no manifest.json; not touching it")
        shutil.rmtree(out)
    for path, data in sorted(site.files.items()):
        target = os.path.join(out, *path.lstrip("/").split("/"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--site", default=DEFAULT_SITE,
                        help="scheme, host and port of the catalogue site, as compiled into the "
                             "program (default %(default)s)")
    parser.add_argument("--out", default=os.path.join(HERE, "www"),
                        help="folder to write (default: www beside this script)")
    args = parser.parse_args()
    if args.site.endswith("/"):
        parser.error("--site takes no trailing slash")
    site = build(args.site)
    write_tree(site, args.out)
    print(f"generate.py: {len(site.files)} files in {args.out}")


if __name__ == "__main__":
    main()
