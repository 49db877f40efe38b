// The category buttons against a scripted catalogue site on the program's own address: rows,
// failures, the busy labels, the order of fetches, and a newer load superseding an older one.
#include "catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <algorithm>
#include <map>
#include <string>
#include <thread>

#include "platform/toolkit/toolkit.h"
#include "shell/windows.h"
#include "tests/e2e/gui_driver.h"
#include "tests/support/http_test_server.h"

namespace {

using namespace testsupport;

constexpr int kSitePort = 8631;  // the catalogue site address this build was configured with

struct Entry {
  std::string title;
  std::string date;  // empty: the entry has no date line
  std::string address;
};

// One entry in the listing markup of the catalogue site, CR LF line ends.
std::string EntryMarkup(const Entry& e) {
  std::string markup =
      "          <li>\r\n"
      "            <div class=\"listimg\"> <a href=\"" +
      e.address + "\" target=\"_blank\"><img src=\"/p/x.gif'\" alt=\"" + e.title +
      "\" /></a></div>\r\n"
      "            <div class=\"info\"><p>" +
      e.title + "</p>\r\n";
  if (!e.date.empty()) {
    markup += "              <P>时间：" + e.date + "</p>\r\n            </div>\r\n          </li>\r\n";
  } else {
    markup += "            </div>\r\n          </li>\r\n";
  }
  return markup;
}

std::string ListingPage(const std::vector<Entry>& entries) {
  std::string page = "<html><body><ul>\r\n";
  for (const Entry& e : entries) page += EntryMarkup(e);
  return page + "</ul></body></html>\r\n";
}

std::vector<Entry> Entries(const std::string& category, int page, int count) {
  std::vector<Entry> entries;
  for (int i = 1; i <= count; ++i) {
    std::string id = category + "-" + std::to_string(page) + "-" + std::to_string(i);
    entries.push_back({"影片" + id, "2025-01-" + std::to_string(i), "http://127.0.0.1/f/" + id + ".htm"});
  }
  return entries;
}

std::string PagePath(const std::string& category, int page) {
  return page == 1 ? category : category + "index_" + std::to_string(page) + ".htm";
}

// A catalogue site whose pages a test sets before the load.
class ScriptedSite {
 public:
  explicit ScriptedSite(int delayMs = 0)
      : server_(
            [this, delayMs](const ReceivedRequest& request, Connection& connection) {
              if (delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
              std::string path = request.RequestLine().substr(4);
              path = path.substr(0, path.find(' '));
              auto page = pages_.find(path);
              connection.Send(page != pages_.end() ? HttpResponse("200 OK", "", page->second)
                                                   : HttpResponse("404 Not Found", "", "gone"));
            },
            TestHttpServer::Options{.tls = false, .port = kSitePort}) {}

  void SetPage(const std::string& path, std::string body) { pages_[path] = std::move(body); }
  void SetCategory(const std::string& category, int entriesPerPage = 10) {
    for (int page = 1; page <= 10; ++page)
      SetPage(PagePath(category, page), ListingPage(Entries(category, page, entriesPerPage)));
  }
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (const ReceivedRequest& r : server_.Requests()) {
      std::string line = r.RequestLine().substr(4);
      std::string path = line.substr(0, line.find(' '));
      // MainWindow's ad strips load from the same host; only listing pages count here.
      if (path.rfind("/ads/", 0) != 0 && path != "/favicon.ico") paths.push_back(path);
    }
    return paths;
  }

 private:
  std::map<std::string, std::string> pages_;  // set before the load starts
  TestHttpServer server_;
};

bool LabelsVisible() {
  return IsVisible(BusyGlyphLabel) && IsVisible(BusyTextLabel);
}
bool LabelsHidden() {
  return !IsVisible(BusyGlyphLabel) && !IsVisible(BusyTextLabel);
}

class CatalogueTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(OpenWindow(MainWindowDesign)); }
  void TearDown() override {
    CloseWindow("MainWindow");
    WaitUntil([] { return false; }, 50);  // let a stopped worker end
  }
  // Runs the load to its end: the labels hidden, or the message box answered.
  void ClickAndWait(const char* button, MessageBoxWatcher& boxes) {
    Click("MainWindow", button);
    EXPECT_TRUE(LabelsVisible());
    EXPECT_TRUE(WaitUntil([&] { return LabelsHidden() || !boxes.Shown().empty(); }));
    WaitUntil([] { return false; }, 50);
  }
};

// The rows of the list as title|date|address.
std::vector<std::string> Rows() {
  std::vector<std::string> rows;
  for (int r = 0; r < RowCount(FilmList); ++r)
    rows.push_back(Cell(FilmList, r, 0) + "|" + Cell(FilmList, r, 1) + "|" + Cell(FilmList, r, 2));
  return rows;
}

std::vector<std::string> ExpectedRows(const std::string& category, std::initializer_list<int> pages,
                                      int perPage = 10) {
  std::vector<std::string> rows;
  for (int page : pages)
    for (const Entry& e : Entries(category, page, perPage))
      rows.push_back(e.title + "|" + e.date + "|" + e.address);
  return rows;
}

TEST_F(CatalogueTest, EachButtonLoadsItsOwnTenPagesInOrder) {
  struct Case {
    const char* button;
    std::string category;
  } cases[] = {{"超级按钮_最新电影", "/ys/"}, {"超级按钮_BD高清", "/bd/"}, {"超级按钮_3D", "/3ddy/"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.category);
    ScriptedSite site;
    site.SetCategory(c.category);
    MessageBoxWatcher boxes;
    ClickAndWait(c.button, boxes);
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_TRUE(LabelsHidden());
    EXPECT_EQ(Rows(), ExpectedRows(c.category, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    std::vector<std::string> expectedPaths;
    for (int page = 1; page <= 10; ++page) expectedPaths.push_back(PagePath(c.category, page));
    EXPECT_EQ(site.Paths(), expectedPaths);
  }
}

TEST_F(CatalogueTest, ABadPageFailsTheLoadOnPagesOneToThreeAndIsSkippedLater) {
  struct Case {
    int badPage;
    bool missing;  // the page is not there at all (a failed fetch)
    std::initializer_list<int> rowsFrom;
    size_t fetches;
  } cases[] = {
      {2, false, {1}, 2},
      {1, true, {}, 1},
      {3, true, {1, 2}, 3},
      {7, false, {1, 2, 3, 4, 5, 6, 8, 9, 10}, 10},
      {10, false, {1, 2, 3, 4, 5, 6, 7, 8, 9}, 10},
      {5, true, {1, 2, 3, 4, 6, 7, 8, 9, 10}, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("bad page " + std::to_string(c.badPage));
    ScriptedSite site;
    site.SetCategory("/bd/");
    std::vector<Entry> bad = Entries("/bd/", c.badPage, 10);
    bad[4].date.clear();  // titles and dates then differ in number
    site.SetPage(PagePath("/bd/", c.badPage), c.missing ? std::string() : ListingPage(bad));
    if (c.missing) site.SetPage(PagePath("/bd/", c.badPage), "<html>no films today</html>");
    MessageBoxWatcher boxes;
    ClickAndWait("超级按钮_BD高清", boxes);
    bool failsTheLoad = c.badPage <= 3;
    EXPECT_EQ(boxes.Shown(),
              failsTheLoad ? QStringList{QString::fromUtf16(u"信息：|获取最新电影失败")} : QStringList{});
    EXPECT_EQ(failsTheLoad ? LabelsVisible() : LabelsHidden(), true);
    EXPECT_EQ(Rows(), ExpectedRows("/bd/", c.rowsFrom));
    EXPECT_EQ(site.Paths().size(), c.fetches);
  }
}

TEST_F(CatalogueTest, PagesWithMoreOrFewerEntriesWriteOnlyCompleteRowsUpToTen) {
  ScriptedSite site;
  site.SetCategory("/ys/");
  site.SetPage("/ys/", ListingPage(Entries("/ys/", 1, 12)));
  std::vector<Entry> short4 = Entries("/ys/", 4, 6);
  site.SetPage("/ys/index_4.htm", ListingPage(short4));
  // Page 5: ten titles and dates, but only eight addresses: eight complete rows.
  std::string page5 = ListingPage(Entries("/ys/", 5, 10));
  for (int cut = 0; cut < 2; ++cut) {
    size_t at = page5.rfind("<div class=\"listimg\"> <a href=\"");
    page5.replace(at, 5, "<span");
  }
  site.SetPage("/ys/index_5.htm", page5);
  MessageBoxWatcher boxes;
  ClickAndWait("超级按钮_最新电影", boxes);
  EXPECT_TRUE(boxes.Shown().empty());
  std::vector<std::string> expected = ExpectedRows("/ys/", {1, 2, 3});
  for (const std::string& row : ExpectedRows("/ys/", {4}, 6)) expected.push_back(row);
  std::vector<std::string> page5Rows = ExpectedRows("/ys/", {5});
  expected.insert(expected.end(), page5Rows.begin(), page5Rows.begin() + 8);
  for (const std::string& row : ExpectedRows("/ys/", {6, 7, 8, 9, 10})) expected.push_back(row);
  EXPECT_EQ(Rows(), expected);
}

TEST_F(CatalogueTest, ASecondClickSupersedesTheRunningLoad) {
  ScriptedSite site(40);
  site.SetCategory("/bd/");
  site.SetCategory("/3ddy/");
  MessageBoxWatcher boxes;
  Click("MainWindow", "超级按钮_BD高清");
  ASSERT_TRUE(WaitUntil([] { return RowCount(FilmList) >= 10; }));
  ClickAndWait("超级按钮_3D", boxes);
  WaitUntil([] { return false; }, 200);  // the older worker had time to do harm
  EXPECT_EQ(Rows(), ExpectedRows("/3ddy/", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_TRUE(LabelsHidden());
  // At most the fetch that was under way when the newer load began; then the older one stops.
  std::vector<std::string> paths = site.Paths();
  auto first3d = std::find(paths.begin(), paths.end(), "/3ddy/");
  ASSERT_NE(first3d, paths.end());
  EXPECT_LE(std::count_if(first3d, paths.end(), [](const std::string& p) { return p.rfind("/bd/", 0) == 0; }),
            1);
}

TEST_F(CatalogueTest, ALoadWhoseMainWindowIsGoneStopsAndTouchesNothing) {
  ScriptedSite site(40);
  site.SetCategory("/bd/");
  ASSERT_TRUE(OpenWindow(CloudLinkWindowDesign));  // keeps the program going
  Click("MainWindow", "超级按钮_BD高清");
  ASSERT_TRUE(WaitUntil([] { return RowCount(FilmList) >= 10; }));
  CloseWindow("MainWindow");
  size_t fetchesAtClose = site.Paths().size();
  WaitUntil([] { return false; }, 400);
  EXPECT_LE(site.Paths().size(), fetchesAtClose + 1);
  CloseWindow("CloudLinkWindow");
}

}  // namespace
