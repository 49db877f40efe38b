// The four window designs against their tables, and the windows built from them.
#include "shell/windows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <map>
#include <string>

#include "catalogue/catalogue.h"
#include "cloudplay/cloud_play.h"
#include "filmpage/film_play.h"
#include "platform/toolkit/qt/controls.h"
#include "platform/toolkit/qt/qt_text.h"
#include "platform/toolkit/qt/window.h"
#include "resources/resources.h"
#include "shell/hosts.h"
#include "shell/main_window.h"

namespace {

const ControlDesign* Find(const WindowDesign& window, std::string_view name) {
  for (const ControlDesign& control : window.controls) {
    if (name == control.name) return &control;
  }
  return nullptr;
}

struct Placed {
  const char* name;
  ControlKind kind;
  const char* parent;
  int x, y, width, height;
};

void ExpectPlaces(const WindowDesign& window, std::initializer_list<Placed> expected) {
  ASSERT_EQ(window.controls.size(), expected.size());
  size_t index = 0;
  for (const Placed& p : expected) {
    SCOPED_TRACE(ToQt(p.name).toStdString());
    const ControlDesign& c = window.controls[index++];  // in the order of the design
    EXPECT_STREQ(c.name, p.name);
    EXPECT_EQ(c.kind, p.kind);
    EXPECT_STREQ(c.parent == nullptr ? "" : c.parent, p.parent);
    EXPECT_EQ(std::tie(c.x, c.y, c.width, c.height), std::tie(p.x, p.y, p.width, p.height));
  }
}

TEST(Designs, WindowProperties) {
  struct Case {
    const WindowDesign* design;
    const char* name;
    int width, height;
    const char* caption;
    bool minimise, drag;
    Handler created, destroying;
  };
  for (const Case& c : {Case{&MainWindowDesign, "MainWindow", 901, 675, "QorvellaV2.0版                  ",
                             true, true, MainWindowCreated, MainWindowDestroying},
                        Case{&FilmPlayWindowDesign, "FilmPlayWindow", 781, 555, "在线播放", true, false,
                             FilmPlayWindowCreated, nullptr},
                        Case{&CloudLinkWindowDesign, "CloudLinkWindow", 785, 283, "免费在线云播放器", false,
                             false, nullptr, nullptr},
                        Case{&CloudPlayerWindowDesign, "CloudPlayerWindow", 970, 700, "", true, false,
                             CloudPlayerWindowCreated, CloudPlayerWindowDestroying}}) {
    const WindowDesign& w = *c.design;
    SCOPED_TRACE(w.name);
    EXPECT_STREQ(w.name, c.name);
    EXPECT_EQ(w.width, c.width);
    EXPECT_EQ(w.height, c.height);
    EXPECT_STREQ(w.caption, c.caption);
    EXPECT_EQ(w.minimiseBox, c.minimise);
    EXPECT_EQ(w.dragByClientArea, c.drag);
    EXPECT_TRUE(w.fixedFrame && w.closeBox && w.centred && w.movable && w.escCloses && w.inTaskbar);
    EXPECT_FALSE(w.maximiseBox || w.alwaysOnTop);
    EXPECT_EQ(w.icon, &ProgramIconImage);
    EXPECT_EQ(w.onCreated, c.created);
    EXPECT_EQ(w.onDestroying, c.destroying);
  }
  EXPECT_EQ(std::string(MainWindowDesign.caption).size(), std::string("QorvellaV2.0版").size() + 18);
  EXPECT_EQ(MainWindowDesign.background, (Rgb{255, 255, 255}));
  EXPECT_FALSE(FilmPlayWindowDesign.background.has_value());
}

TEST(Designs, MainWindowControlsInDesignOrder) {
  using enum ControlKind;
  ExpectPlaces(MainWindowDesign, {
                                     {"超文本浏览框2", HtmlView, "画板2", 0, -16, 208, 80},
                                     {"画板2", Canvas, "图片框1", 720, 8, 208, 64},
                                     {"图片框2", PictureBox, "图片框1", 88, 8, 136, 56},
                                     {"图片框4", PictureBox, "图片框1", 40, 16, 48, 48},
                                     {"超文本浏览框1", HtmlView, "画板1", -10, -16, 490, 80},
                                     {"画板1", Canvas, "图片框1", 240, 8, 472, 64},
                                     {"标签5", Label, "", 8, 107, 280, 24},
                                     {"图片框3", PictureBox, "", 0, 601, 896, 47},
                                     {"超级列表框1", ReportList, "", 291, 107, 601, 494},
                                     {"超级按钮_迅雷会员", OwnerDrawnButton, "", -4, 427, 295, 62},
                                     {"超级按钮_免费云播", OwnerDrawnButton, "", -4, 354, 295, 62},
                                     {"时钟2", Timer, "图片框1", 0, 0, 0, 0},
                                     {"时钟1", Timer, "图片框1", 0, 0, 0, 0},
                                     {"标签2", Label, "图片框1", 72, 72, 136, 24},
                                     {"标签1", Label, "图片框1", 40, 73, 32, 24},
                                     {"超级按钮_3D", OwnerDrawnButton, "", -4, 282, 295, 62},
                                     {"超级按钮_BD高清", OwnerDrawnButton, "", -4, 210, 295, 62},
                                     {"超级按钮_最新电影", OwnerDrawnButton, "", -4, 139, 295, 62},
                                     {"图片框1", PictureBox, "", -40, 0, 936, 104},
                                 });
}

TEST(Designs, MainWindowContentColoursAndBindings) {
  const WindowDesign& w = MainWindowDesign;
  EXPECT_STREQ(Find(w, "超文本浏览框2")->text, "http://127.0.0.1:8631/ads/zanzhu.htm");
  EXPECT_STREQ(Find(w, "超文本浏览框1")->text, (std::string(AdServer) + "/ads/mtpx.htm").c_str());
  for (const char* view : {"超文本浏览框1", "超文本浏览框2"}) {
    EXPECT_EQ(Find(w, view)->browser.zoom, 2);
    EXPECT_FALSE(Find(w, view)->browser.silent);
  }
  EXPECT_EQ(Find(w, "图片框1")->picture, &BannerPictureImage);
  EXPECT_EQ(Find(w, "图片框1")->pictureMode, PictureMode::Stretched);
  EXPECT_EQ(Find(w, "图片框2")->picture, &LogoPictureImage);
  EXPECT_EQ(Find(w, "图片框2")->pictureMode, PictureMode::TopLeft);
  EXPECT_EQ(Find(w, "图片框3")->picture, &FooterPictureImage);
  EXPECT_EQ(Find(w, "图片框3")->pictureMode, PictureMode::Stretched);
  EXPECT_EQ(Find(w, "图片框4")->picture, &ProgramIconImage);
  EXPECT_EQ(Find(w, "图片框4")->pictureMode, PictureMode::CentredFitted);
  EXPECT_EQ(Find(w, "图片框4")->background, (Rgb{22, 156, 214}));

  const ControlDesign* tip = Find(w, "标签5");
  EXPECT_STREQ(tip->text, "小提示：双击影片名称既可在线播放");
  EXPECT_EQ(tip->textColour, (Rgb{255, 0, 0}));
  EXPECT_FALSE(tip->background.has_value());
  const ControlDesign* busyText = Find(w, "标签2");
  EXPECT_STREQ(busyText->text, "正在获取影片信息.....");
  EXPECT_TRUE(busyText->hidden);
  EXPECT_EQ(busyText->background, (Rgb{9, 158, 223}));
  EXPECT_STREQ(busyText->font.face, "微软雅黑");
  EXPECT_EQ(busyText->font.height, 15);
  const ControlDesign* glyph = Find(w, "标签1");
  EXPECT_STREQ(glyph->text, "标签");
  EXPECT_TRUE(glyph->hidden);
  EXPECT_EQ(glyph->background, (Rgb{7, 156, 220}));
  EXPECT_STREQ(glyph->font.face, "");
  EXPECT_EQ(glyph->font.height, 16);
  EXPECT_EQ(Find(w, "时钟1")->period, 30);
  EXPECT_EQ(Find(w, "时钟1")->onTimer, FrameTimerTick);
  EXPECT_EQ(Find(w, "时钟2")->period, 0);
  EXPECT_EQ(Find(w, "时钟2")->onTimer, PauseTimerTick);

  struct Button {
    const char* name;
    const char* caption;
    Rgb normal, hot;
    Handler click;
  };
  for (const Button& b :
       {Button{"超级按钮_迅雷会员", "免费迅雷会员", {128, 128, 255}, {106, 106, 255}, MemberLinkClicked},
        Button{"超级按钮_免费云播", "免费在线云播", {255, 106, 106}, {215, 78, 38}, FreeCloudPlayClicked},
        Button{"超级按钮_3D", "3D电影专区", {0, 163, 0}, {0, 153, 0}, Category3dClicked},
        Button{"超级按钮_BD高清", "BD高清", {92, 169, 239}, {0, 136, 255}, CategoryBdClicked},
        Button{"超级按钮_最新电影", "最新热门电影", {255, 128, 0}, {225, 83, 6}, CategoryLatestClicked}}) {
    const ControlDesign* c = Find(w, b.name);
    SCOPED_TRACE(ToQt(b.name).toStdString());
    EXPECT_STREQ(c->text, b.caption);
    EXPECT_EQ(c->background, b.normal);
    EXPECT_EQ(c->hotBackground, b.hot);
    EXPECT_EQ(c->textColour, (Rgb{255, 255, 255}));
    EXPECT_STREQ(c->font.face, "微软雅黑");
    EXPECT_EQ(c->font.height, 14);
    EXPECT_EQ(c->onClick, b.click);
  }

  const ControlDesign* list = Find(w, "超级列表框1");
  EXPECT_EQ(list->onDoubleClick, FilmListDoubleClicked);
  EXPECT_EQ(list->frame, FrameStyle::ThinLine);
  EXPECT_EQ(list->textColour, (Rgb{0, 0, 0}));
  EXPECT_EQ(list->background, (Rgb{255, 255, 255}));
  EXPECT_STREQ(list->font.face, "微软雅黑");
  EXPECT_EQ(list->font.height, 14);
  const ListDesign& l = list->list;
  EXPECT_TRUE(l.headings && l.singleSelection && l.fullRowSelect && l.gridLines);
  EXPECT_FALSE(l.clickableHeadings || l.sorted || l.keepSelectionVisible || l.checkBoxes || l.labelEditing ||
               l.hotTracking || l.headingDragDrop);
  ASSERT_EQ(l.columns.size(), 3u);
  EXPECT_STREQ(l.columns[0].heading, "影片名称");
  EXPECT_EQ(l.columns[0].width, 300);
  EXPECT_EQ(l.columns[0].alignment, Alignment::Left);
  EXPECT_STREQ(l.columns[1].heading, "更新日期");
  EXPECT_EQ(l.columns[1].width, 100);
  EXPECT_EQ(l.columns[1].alignment, Alignment::Centre);
  EXPECT_STREQ(l.columns[2].heading, "地址");
  EXPECT_EQ(l.columns[2].width, 0);
}

TEST(Designs, OtherWindowsControls) {
  using enum ControlKind;
  ExpectPlaces(FilmPlayWindowDesign, {{"互联网浏览器1", WebBrowser, "画板1", 0, 0, 776, 416},
                                      {"画板1", Canvas, "", 0, 0, 776, 416},
                                      {"编辑框2", EditBox, "", 2, 416, 768, 111}});
  const ControlDesign* browser = Find(FilmPlayWindowDesign, "互联网浏览器1");
  EXPECT_STREQ(browser->text, "");
  EXPECT_TRUE(browser->browser.silent && browser->browser.dropTarget);
  EXPECT_FALSE(browser->browser.offline || browser->browser.registerAsBrowser);
  const ControlDesign* links = Find(FilmPlayWindowDesign, "编辑框2");
  EXPECT_TRUE(links->edit.multiLine && links->edit.readOnly && links->edit.verticalScrollBar);
  EXPECT_EQ(links->edit.maxLength, 0);
  EXPECT_EQ(links->frame, FrameStyle::ThinLine);
  EXPECT_EQ(links->font.height, 12);

  ExpectPlaces(CloudLinkWindowDesign, {{"超级按钮1", OwnerDrawnButton, "", 608, 208, 160, 32},
                                       {"超级按钮_播放", OwnerDrawnButton, "", 608, 160, 160, 32},
                                       {"编辑框1", EditBox, "", 16, 160, 584, 32},
                                       {"图片框1", PictureBox, "", 0, 0, 784, 112}});
  const ControlDesign* seeds = Find(CloudLinkWindowDesign, "超级按钮1");
  EXPECT_EQ(seeds->background, (Rgb{0, 136, 255}));
  EXPECT_EQ(seeds->hotBackground, (Rgb{0, 136, 255}));
  EXPECT_EQ(seeds->onClick, SeedSearcherClicked);
  const ControlDesign* play = Find(CloudLinkWindowDesign, "超级按钮_播放");
  EXPECT_EQ(play->background, (Rgb{149, 215, 241}));
  EXPECT_EQ(play->hotBackground, (Rgb{128, 207, 238}));
  EXPECT_EQ(play->onClick, PlayClicked);
  const ControlDesign* link = Find(CloudLinkWindowDesign, "编辑框1");
  EXPECT_STREQ(link->text, "请在此输入视频链接（thunder、ftp、http、ed2k、magnet、xplan、bt）");
  EXPECT_FALSE(link->edit.multiLine || link->edit.readOnly);
  EXPECT_EQ(link->textColour, (Rgb{8, 168, 218}));
  EXPECT_EQ(link->frame, FrameStyle::ThinSunken);
  EXPECT_EQ(Find(CloudLinkWindowDesign, "图片框1")->picture, &CloudBannerPictureImage);

  ExpectPlaces(CloudPlayerWindowDesign, {{"播放器", HtmlView, "", 0, 0, 970, 700}});
  EXPECT_TRUE(Find(CloudPlayerWindowDesign, "播放器")->browser.silent);
  EXPECT_EQ(Find(CloudPlayerWindowDesign, "播放器")->browser.zoom, 2);
}

class WindowsTest : public testing::Test {
 protected:
  void TearDown() override {
    for (DesignWindow* window : OpenWindows()) window->close();
    QTest::qWait(1);
  }
};

TEST_F(WindowsTest, MainWindowOpensAsDesigned) {
  ASSERT_TRUE(OpenWindow(MainWindowDesign));
  DesignWindow* window = FindWindow("MainWindow");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->size(), QSize(895, 646));
  EXPECT_EQ(FromQt(window->windowTitle()), MainWindowDesign.caption);  // 18 spaces kept
  EXPECT_FALSE(IsVisible(BusyGlyphLabel));
  EXPECT_FALSE(IsVisible(BusyTextLabel));
  auto* list = FindControlAs<ReportList>(FilmList);
  ASSERT_NE(list, nullptr);
  int shownColumns = 0;
  for (int column = 0; column < list->columnCount(); ++column) {
    shownColumns += !list->isColumnHidden(column) && list->columnWidth(column) > 0;
  }
  EXPECT_EQ(shownColumns, 2);
  auto* banner = FindControlAs<QWidget>({"MainWindow", "图片框1"});
  for (const char* child : {"画板2", "图片框2", "图片框4", "画板1", "标签2", "标签1"}) {
    EXPECT_EQ(FindControlAs<QWidget>({"MainWindow", child})->parentWidget(), banner);
  }
  EXPECT_EQ(FindControl({"MainWindow", "时钟1"})->parent(), banner);
  EXPECT_EQ(FindControlAs<QWidget>({"MainWindow", "超文本浏览框1"})->parentWidget(),
            FindControlAs<QWidget>({"MainWindow", "画板1"}));
  // The design font stands in as a CJK font of the system.
  QFontInfo buttonFont(FindControlAs<QWidget>({"MainWindow", "超级按钮_BD高清"})->font());
  EXPECT_TRUE(buttonFont.family().startsWith("Noto Sans CJK")) << buttonFont.family().toStdString();
}

TEST_F(WindowsTest, OpeningAnOpenWindowOnlyBringsItForward) {
  ASSERT_TRUE(OpenWindow(MainWindowDesign));
  FreeCloudPlayClicked();
  DesignWindow* cloudLink = FindWindow("CloudLinkWindow");
  ASSERT_NE(cloudLink, nullptr);
  SetEditText(CloudLinkEdit, "thunder://typed");
  FreeCloudPlayClicked();
  EXPECT_EQ(FindWindow("CloudLinkWindow"), cloudLink);
  EXPECT_EQ(EditText(CloudLinkEdit), "thunder://typed");  // the same window, not a new one
  EXPECT_EQ(OpenWindows().size(), 2);
}

TEST_F(WindowsTest, EscClosesMainWindow) {
  ASSERT_TRUE(OpenWindow(MainWindowDesign));
  DesignWindow* window = FindWindow("MainWindow");
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  QTest::keyClick(window, Qt::Key_Escape);
  EXPECT_FALSE(IsWindowOpen("MainWindow"));
}

TEST_F(WindowsTest, ClosingMainWindowWithFilmPlayWindowOpenKeepsTheLoopRunning) {
  ASSERT_TRUE(OpenWindow(MainWindowDesign));
  ASSERT_TRUE(OpenWindow(FilmPlayWindowDesign));
  bool runningAfterMainWindow = false;
  QTimer::singleShot(100, [] { CloseWindow("MainWindow"); });
  QTimer::singleShot(600, [&] {
    runningAfterMainWindow = IsWindowOpen("FilmPlayWindow") && !IsWindowOpen("MainWindow");
    CloseWindow("FilmPlayWindow");
  });
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_TRUE(runningAfterMainWindow);
}

}  // namespace
