// The program's windows against the bundled sample site, driven as a user does: category
// buttons, double-clicks on films, the cloud-play flow. Expected rows and edit-box texts come
// from the site's manifest, written when its pages were generated.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QWebEngineView>

#include "platform/toolkit/toolkit.h"
#include "platform/win/process_end.h"
#include "shell/program.h"
#include "shell/windows.h"
#include "tests/e2e/gui_driver.h"

namespace {

bool PortAnswers() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(8631);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool answers = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  if (fd >= 0) ::close(fd);
  return answers;
}

Text FromHex(const QString& hex) {
  return QByteArray::fromHex(hex.toLatin1()).toStdString();
}
Text Gbk(const QString& text) {
  return FromQt(text);
}

// The sample site's server on the program's configured port, for the whole suite.
class SampleSite {
 public:
  SampleSite() {
    QString ready = dir_.filePath("ready");
    server_.start("/usr/bin/python3", {QORVELLA_SOURCE_DIR "/sample-site/server.py", "--port", "8631",
                                       "--delay-ms", "5", "--ready-file", ready});
    WaitUntil([&] { return QFile::exists(ready) || server_.state() == QProcess::NotRunning; }, 20000);
    QFile file(QORVELLA_SOURCE_DIR "/sample-site/www/manifest.json");
    file.open(QIODevice::ReadOnly);
    manifest_ = QJsonDocument::fromJson(file.readAll()).object();
  }
  ~SampleSite() {
    server_.terminate();
    server_.waitForFinished(5000);
  }
  // The death test's child process finds the port served by its parent's server.
  bool Running() const { return server_.state() == QProcess::Running || PortAnswers(); }
  QJsonObject Category(const QString& path) const {
    for (const QJsonValue& c : manifest_["categories"].toArray())
      if (c["path"].toString() == path) return c.toObject();
    return {};
  }
  QJsonObject Film(const QString& address) const {
    for (const QJsonValue& f : manifest_["films"].toArray())
      if (f["address"].toString() == address) return f.toObject();
    return {};
  }

 private:
  QTemporaryDir dir_;
  QProcess server_;
  QJsonObject manifest_;
};

SampleSite* site = nullptr;

class SampleSiteTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { site = new SampleSite; }
  static void TearDownTestSuite() {
    delete site;
    site = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(site->Running()) << "the sample site did not start (port 8631 taken?)";
    ASSERT_TRUE(OpenWindow(MainWindowDesign));
  }
  void TearDown() override {
    for (const char* window : {"FilmPlayWindow", "CloudLinkWindow", "MainWindow"}) CloseWindow(window);
    WaitUntil([] { return false; }, 50);
  }
  static bool LoadEnded() { return !IsVisible(BusyGlyphLabel) && !IsVisible(BusyTextLabel); }
  void Load(const QJsonObject& category) {
    Click("MainWindow", Gbk(category["button"].toString()));
    ASSERT_TRUE(WaitUntil(LoadEnded));
  }
  static void ExpectRows(const QJsonObject& category) {
    QJsonArray rows = category["rows"].toArray();
    ASSERT_EQ(RowCount(FilmList), rows.size());
    ASSERT_EQ(rows.size(), category["row_count"].toInt());
    for (int r = 0; r < rows.size(); ++r) {
      SCOPED_TRACE(r);
      QJsonObject row = rows[r].toObject();
      EXPECT_EQ(Cell(FilmList, r, 0), FromHex(row["title_gbk"].toString()));
      EXPECT_EQ(Cell(FilmList, r, 1), FromHex(row["date_gbk"].toString()));
      EXPECT_EQ(Cell(FilmList, r, 2), Gbk(row["address"].toString()));
    }
  }
};

TEST_F(SampleSiteTest, EachCategoryFillsTheListInPageOrderAndHidesTheLabels) {
  for (const char* path : {"/bd/", "/3ddy/", "/ys/"}) {
    SCOPED_TRACE(path);
    QJsonObject category = site->Category(path);
    Load(category);
    ExpectRows(category);
  }
}

TEST_F(SampleSiteTest, ASecondClickMidLoadLeavesOnlyTheSecondLoadsRows) {
  Click("MainWindow", "超级按钮_BD高清");
  ASSERT_TRUE(WaitUntil([] { return RowCount(FilmList) >= 10; }));
  QJsonObject category = site->Category("/3ddy/");
  Load(category);
  WaitUntil([] { return false; }, 300);
  ExpectRows(category);
}

TEST_F(SampleSiteTest, ADoubleClickShowsTheFilmsTitleAndLinksForEveryKindOfPage) {
  QJsonObject category = site->Category("/bd/");
  Load(category);
  QJsonObject examples = category["examples"].toObject();
  ASSERT_GE(examples.size(), 5);
  for (const QString& variant : examples.keys()) {
    SCOPED_TRACE(variant.toStdString());
    int row = examples[variant].toInt();
    QJsonObject film = site->Film(category["rows"].toArray()[row].toObject()["address"].toString());
    DoubleClickRow(row);
    ASSERT_TRUE(WaitUntil([] { return IsWindowOpen("FilmPlayWindow"); }));
    EXPECT_EQ(WindowCaption("FilmPlayWindow"), FromHex(film["title_gbk"].toString()));
    EXPECT_EQ(EditText(DownloadLinksEdit), FromHex(film["edit_text_gbk"].toString()));
    // A second double-click only brings the window forward, with the first film's content.
    DoubleClickRow(row == 0 ? 1 : 0);
    EXPECT_EQ(WindowCaption("FilmPlayWindow"), FromHex(film["title_gbk"].toString()));
    EXPECT_EQ(EditText(DownloadLinksEdit), FromHex(film["edit_text_gbk"].toString()));
    CloseWindow("FilmPlayWindow");
  }
}

TEST_F(SampleSiteTest, ADoubleClickWithNoSelectedRowOpensNothing) {
  auto* list = ControlNamed<QTableWidget>("MainWindow", "超级列表框1");
  ASSERT_NE(list, nullptr);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
  WaitUntil([] { return false; }, 100);
  EXPECT_FALSE(IsWindowOpen("FilmPlayWindow"));
}

TEST_F(SampleSiteTest, CloudPlayAsksForALinkThenShowsItInThePlayer) {
  MessageBoxWatcher boxes;
  Click("MainWindow", "超级按钮_免费云播");
  ASSERT_TRUE(IsWindowOpen("CloudLinkWindow"));
  auto* edit = ControlNamed<QLineEdit>("CloudLinkWindow", "编辑框1");
  ASSERT_NE(edit, nullptr);
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  Click("CloudLinkWindow", "超级按钮_播放");
  EXPECT_EQ(boxes.Shown(), QStringList{QString::fromUtf16(u"信息：|请输入完整的信息")});
  EXPECT_TRUE(IsWindowOpen("CloudLinkWindow"));
  EXPECT_FALSE(IsWindowOpen("CloudPlayerWindow"));

  // Death-test style: the player window's closing ends the process, so that part runs in a
  // child process of its own.
  EXPECT_EXIT(
      {
        RegisterExitRoutine([] {
          ExitCleanup();
          std::fputs("exit clean-up ran\n", stderr);
        });
        Click("MainWindow", "超级按钮_免费云播");
        auto* link = ControlNamed<QLineEdit>("CloudLinkWindow", "编辑框1");
        link->selectAll();
        QTest::keyClicks(link, "magnet:?xt=urn:btih:abc&dn=a b#c");
        Click("CloudLinkWindow", "超级按钮_播放");
        if (IsWindowOpen("CloudLinkWindow") || !IsWindowOpen("CloudPlayerWindow")) std::exit(3);
        if (WindowCaption("CloudPlayerWindow") != Gbk(QString::fromUtf16(u"在线云播"))) std::exit(4);
        auto* view = ControlNamed<QWebEngineView>("CloudPlayerWindow", "播放器");
        QString expected =
            QORVELLA_PLAYER_SITE "/client/cplayer.html?uvs=_4_&url=magnet:?xt=urn:btih:abc&dn=a b#c";
        if (view == nullptr) std::exit(5);
        WaitUntil([&] { return !view->url().isEmpty() && IsBrowserReady(CloudPlayerView); }, 20000);
        if (view->url() != QUrl(expected)) {
          std::fprintf(stderr, "player at %s\n", qPrintable(view->url().toString()));
          std::exit(5);
        }
        CloseWindow("CloudPlayerWindow");
        std::exit(6);  // not reached: closing the player ends the program
      },
      testing::ExitedWithCode(0), "exit clean-up ran");
}

}  // namespace
