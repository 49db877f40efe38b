// The Qt toolkit layer: windows built from designs, every control kind, the operations the
// handlers use (also from worker threads), timers, message boxes.
#include "platform/toolkit/toolkit.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QEnterEvent>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/toolkit/qt/controls.h"
#include "platform/toolkit/qt/qt_text.h"
#include "platform/toolkit/qt/window.h"
#include "platform/win/process_end.h"

namespace {

constexpr Rgb Red{255, 0, 0};
constexpr Rgb Blue{0, 0, 255};
constexpr Rgb Green{0, 160, 0};

// A PNG made at start, as the designs' pictures are byte arrays.
ResourceImage MakePicture(int width, int height, std::vector<unsigned char>& storage) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor(255, 0, 0));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  storage.assign(png.begin(), png.end());
  return ResourceImage(storage.data(), storage.size());
}

std::vector<unsigned char> smallBytes, wideBytes;
const ResourceImage SmallPicture = MakePicture(20, 10, smallBytes);  // 20 x 10
const ResourceImage WidePicture = MakePicture(80, 20, wideBytes);    // 80 x 20

int clicks = 0, doubleClicks = 0, ticks = 0, created = 0, destroying = 0;
void OnClick() {
  ++clicks;
}
void OnDoubleClick() {
  ++doubleClicks;
}
void OnTick() {
  ++ticks;
}
void OnCreated() {
  ++created;
}
void OnDestroying() {
  ++destroying;
}

constexpr ColumnDesign Columns[] = {
    {"影片名称", 300, Alignment::Left}, {"更新日期", 100, Alignment::Centre}, {"地址", 0, Alignment::Left}};

const ControlDesign TestControls[] = {
    {.name = "图片0",
     .kind = ControlKind::PictureBox,
     .x = 0,
     .y = 0,
     .width = 40,
     .height = 40,
     .picture = &SmallPicture,
     .pictureMode = PictureMode::TopLeft,
     .background = Blue},
    {.name = "图片1",
     .kind = ControlKind::PictureBox,
     .x = 50,
     .y = 0,
     .width = 40,
     .height = 40,
     .picture = &SmallPicture,
     .pictureMode = PictureMode::Stretched,
     .background = Blue},
    {.name = "图片2",
     .kind = ControlKind::PictureBox,
     .x = 100,
     .y = 0,
     .width = 40,
     .height = 40,
     .picture = &SmallPicture,
     .pictureMode = PictureMode::CentredFitted,
     .background = Blue},
    {.name = "图片2大",
     .kind = ControlKind::PictureBox,
     .x = 150,
     .y = 0,
     .width = 40,
     .height = 40,
     .picture = &WidePicture,
     .pictureMode = PictureMode::CentredFitted,
     .background = Blue},
    {.name = "动画",
     .kind = ControlKind::PictureBox,
     .x = 200,
     .y = 0,
     .width = 138,
     .height = 60,
     .picture = &LogoPictureImage},
    // A child larger than its canvas, placed above and left of it: only the canvas shows.
    {.name = "里面",
     .kind = ControlKind::PictureBox,
     .parent = "画板",
     .x = -10,
     .y = -16,
     .width = 100,
     .height = 80,
     .picture = &SmallPicture,
     .pictureMode = PictureMode::Stretched},
    {.name = "画板", .kind = ControlKind::Canvas, .x = 20, .y = 60, .width = 50, .height = 30},
    {.name = "标签",
     .kind = ControlKind::Label,
     .x = 0,
     .y = 100,
     .width = 100,
     .height = 24,
     .text = "标签",
     .textColour = Rgb{255, 255, 255},
     .background = Green,
     .font = {"", 16},
     .hidden = true},
    {.name = "列表",
     .kind = ControlKind::ReportList,
     .x = 0,
     .y = 130,
     .width = 450,
     .height = 150,
     .textColour = Rgb{0, 0, 0},
     .background = Rgb{255, 255, 255},
     .font = {"微软雅黑", 14},
     .frame = FrameStyle::ThinLine,
     .list = {.columns = Columns},
     .onDoubleClick = OnDoubleClick},
    {.name = "按钮",
     .kind = ControlKind::OwnerDrawnButton,
     .x = 0,
     .y = 290,
     .width = 120,
     .height = 40,
     .text = "按钮",
     .textColour = Rgb{255, 255, 255},
     .background = Red,
     .hotBackground = Blue,
     .font = {"微软雅黑", 14},
     .onClick = OnClick},
    {.name = "时钟", .kind = ControlKind::Timer, .period = 0, .onTimer = OnTick},
    {.name = "多行",
     .kind = ControlKind::EditBox,
     .x = 130,
     .y = 290,
     .width = 200,
     .height = 60,
     .frame = FrameStyle::ThinLine,
     .edit = {.multiLine = true, .readOnly = true, .verticalScrollBar = true}},
    {.name = "单行",
     .kind = ControlKind::EditBox,
     .x = 340,
     .y = 290,
     .width = 100,
     .height = 24,
     .text = "请输入",
     .textColour = Rgb{8, 168, 218},
     .frame = FrameStyle::ThinSunken},
};

const WindowDesign TestWindow{.name = "TestWindow",
                              .width = 460,
                              .height = 389,
                              .caption = "测试窗口",
                              .minimiseBox = false,
                              .dragByClientArea = true,
                              .background = Rgb{255, 255, 255},
                              .icon = &ProgramIconImage,
                              .controls = TestControls,
                              .onCreated = OnCreated,
                              .onDestroying = OnDestroying};

const ControlDesign BrowserControls[] = {
    {.name = "静默",
     .kind = ControlKind::HtmlView,
     .width = 300,
     .height = 200,
     .browser = {.zoom = 2, .silent = true}},
    {.name = "普通",
     .kind = ControlKind::WebBrowser,
     .y = 200,
     .width = 300,
     .height = 100,
     .browser = {.zoom = 0, .silent = false, .dropTarget = true}},
};
const WindowDesign BrowserWindow{
    .name = "BrowserWindow", .width = 306, .height = 329, .controls = BrowserControls};

constexpr ControlRef Label{"TestWindow", "标签"};
constexpr ControlRef List{"TestWindow", "列表"};
constexpr ControlRef Timer{"TestWindow", "时钟"};
constexpr ControlRef MultiLine{"TestWindow", "多行"};
constexpr ControlRef SingleLine{"TestWindow", "单行"};

QColor PixelOf(QWidget* widget, int x, int y) {
  return widget->grab().toImage().pixelColor(x, y);
}

class ToolkitTest : public testing::Test {
 protected:
  void SetUp() override {
    clicks = doubleClicks = ticks = created = destroying = 0;
    ASSERT_TRUE(OpenWindow(TestWindow));
    window_ = FindWindow("TestWindow");
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    UseSteppedTimers(false);
    CloseWindow("TestWindow");
    CloseWindow("BrowserWindow");
    QTest::qWait(1);
  }
  template <typename T>
  T* Control(const char* name) {
    return FindControlAs<T>({"TestWindow", name});
  }
  DesignWindow* window_ = nullptr;
};

TEST_F(ToolkitTest, WindowHasTheClientSizeOfItsOuterSizeAndTheDesignedFrame) {
  EXPECT_EQ(window_->size(), QSize(460 - 6, 389 - 29));
  EXPECT_EQ(window_->minimumSize(), window_->maximumSize());  // fixed frame
  EXPECT_EQ(FromQt(window_->windowTitle()), "测试窗口");
  EXPECT_EQ(WindowCaption("TestWindow"), "测试窗口");
  Qt::WindowFlags flags = window_->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(window_->windowIcon().isNull());
  // Centred: the outer frame's middle is the screen's middle.
  QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  QPoint outerTopLeft = window_->pos() - QPoint(kFrameBorder, kFrameBorder + kCaptionHeight);
  EXPECT_LE(std::abs(outerTopLeft.x() + 460 / 2 - screen.center().x()), 1);
  EXPECT_LE(std::abs(outerTopLeft.y() + 389 / 2 - screen.center().y()), 1);
}

TEST_F(ToolkitTest, OpeningAnOpenWindowBuildsNothingAndRestoresIt) {
  EXPECT_EQ(created, 1);
  window_->showMinimized();
  ASSERT_TRUE(OpenWindow(TestWindow));
  EXPECT_EQ(created, 1);
  EXPECT_EQ(FindWindow("TestWindow"), window_);
  EXPECT_FALSE(window_->isMinimized());
  QWidgetList windows = QApplication::topLevelWidgets();
  EXPECT_EQ(std::count_if(windows.begin(), windows.end(),
                          [](QWidget* w) { return w->objectName() == "TestWindow"; }),
            1);
}

TEST_F(ToolkitTest, EscClosesTheWindowThroughItsDestroyingHandler) {
  QPointer<DesignWindow> window = window_;
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
  QTest::keyClick(window_, Qt::Key_Escape);
  EXPECT_EQ(destroying, 1);
  EXPECT_FALSE(IsWindowOpen("TestWindow"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }));
  ASSERT_TRUE(OpenWindow(TestWindow));  // a closed window opens anew
  EXPECT_EQ(created, 2);
}

TEST_F(ToolkitTest, DraggingTheClientAreaMovesTheWindow) {
  QPoint start = window_->pos();
  QPoint press(300, 100);
  QTest::mousePress(window_, Qt::LeftButton, {}, press);
  QMouseEvent move(QEvent::MouseMove, QPointF(press + QPoint(25, 15)),
                   QPointF(window_->mapToGlobal(press) + QPoint(25, 15)), Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(window_, &move);
  QTest::mouseRelease(window_, Qt::LeftButton, {}, press + QPoint(25, 15));
  EXPECT_EQ(window_->pos(), start + QPoint(25, 15));
}

TEST_F(ToolkitTest, PictureBoxModesPlaceThePicture) {
  QColor red(255, 0, 0), blue(0, 0, 255);
  struct Case {
    const char* name;
    QPoint point;
    QColor expected;
  };
  for (const Case& c :
       {Case{"图片0", {5, 5}, red}, Case{"图片0", {25, 5}, blue}, Case{"图片0", {5, 15}, blue},
        Case{"图片1", {38, 38}, red}, Case{"图片2", {20, 20}, red}, Case{"图片2", {5, 20}, blue},
        Case{"图片2", {20, 12}, blue},
        // 80 x 20 scaled down to 40 x 10, centred
        Case{"图片2大", {1, 20}, red}, Case{"图片2大", {20, 13}, blue}, Case{"图片2大", {20, 26}, blue}}) {
    SCOPED_TRACE(std::string(ToQt(c.name).toStdString()) + " at " + std::to_string(c.point.x()) + "," +
                 std::to_string(c.point.y()));
    EXPECT_EQ(PixelOf(Control<PictureBox>(c.name), c.point.x(), c.point.y()), c.expected);
  }
  EXPECT_TRUE(Control<PictureBox>("动画")->isAnimated());
  EXPECT_FALSE(Control<PictureBox>("图片0")->isAnimated());
}

TEST_F(ToolkitTest, CanvasClipsItsLargerChild) {
  auto* inner = Control<PictureBox>("里面");
  EXPECT_EQ(inner->parentWidget(), Control<QWidget>("画板"));
  EXPECT_EQ(inner->geometry(), QRect(-10, -16, 100, 80));
  QImage window = window_->grab().toImage();
  EXPECT_EQ(window.pixelColor(20, 60), QColor(255, 0, 0));  // canvas corner
  EXPECT_EQ(window.pixelColor(69, 89), QColor(255, 0, 0));  // canvas far corner
  EXPECT_NE(window.pixelColor(75, 70), QColor(255, 0, 0));  // right of the canvas
  EXPECT_NE(window.pixelColor(20, 95), QColor(255, 0, 0));  // below it
}

TEST_F(ToolkitTest, LabelCaptionFontAndVisibility) {
  auto* label = Control<QLabel>("标签");
  EXPECT_TRUE(label->isHidden());
  EXPECT_FALSE(IsVisible(Label));
  SetVisible(Label, true);
  EXPECT_TRUE(IsVisible(Label));
  SetCaption(Label, "正在获取");
  EXPECT_EQ(label->text(), QString::fromUtf16(u"正在获取"));
  EXPECT_EQ(Caption(Label), "正在获取");
  SetFontFace(Label, "Setup");
  EXPECT_EQ(label->font().family(), "Setup");
  EXPECT_EQ(label->font().pixelSize(), 16);  // the designed height stays
  EXPECT_EQ(label->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
  EXPECT_EQ(PixelOf(label, 99, 1), QColor(0, 160, 0));
}

TEST_F(ToolkitTest, ReportListHasTheDesignedColumnsAndSelection) {
  auto* list = Control<ReportList>("列表");
  ASSERT_EQ(list->columnCount(), 3);
  EXPECT_EQ(FromQt(list->horizontalHeaderItem(0)->text()), "影片名称");
  EXPECT_EQ(FromQt(list->horizontalHeaderItem(1)->text()), "更新日期");
  EXPECT_EQ(list->columnWidth(0), 300);
  EXPECT_EQ(list->columnWidth(1), 100);
  EXPECT_TRUE(list->isColumnHidden(2));
  EXPECT_TRUE(list->showGrid());
  EXPECT_FALSE(list->isSortingEnabled());
  EXPECT_FALSE(list->horizontalHeader()->sectionsClickable());
  EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(list->frameShape(), QFrame::Box);
  EXPECT_EQ(list->lineWidth(), 1);
}

TEST_F(ToolkitTest, ReportListRowsAndCells) {
  EXPECT_EQ(SelectedRow(List), -1);
  for (const char* title : {"乙", "甲", "丙"}) {  // kept in insertion order, never sorted
    int row = InsertRow(List);
    SetCell(List, row, 0, title);
    SetCell(List, row, 2, "http://h/film.htm");
  }
  ASSERT_EQ(RowCount(List), 3);
  EXPECT_EQ(Cell(List, 0, 0), "乙");
  EXPECT_EQ(Cell(List, 2, 0), "丙");
  EXPECT_EQ(Cell(List, 1, 2), "http://h/film.htm");  // the invisible column carries data
  EXPECT_EQ(Cell(List, 1, 1), "");
  EXPECT_EQ(Cell(List, 7, 0), "");
  SetCell(List, 9, 0, "nowhere");  // no such row: nothing happens
  SelectRow(List, 1);
  EXPECT_EQ(SelectedRow(List), 1);
  DeleteAllRows(List);
  EXPECT_EQ(RowCount(List), 0);
  EXPECT_EQ(SelectedRow(List), -1);
}

TEST_F(ToolkitTest, ReportListDoubleClickRaisesItsEventEvenWithoutSelection) {
  auto* list = Control<ReportList>("列表");
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(50, 100));
  EXPECT_EQ(doubleClicks, 1);
}

TEST_F(ToolkitTest, WorkerListOperationsTakeEffectInOrderOnTheGuiThread) {
  std::atomic<bool> done = false;
  std::vector<int> indices;
  StartWorker([&] {
    DeleteAllRows(List);
    for (int i = 0; i < 50; ++i) {
      int row = InsertRow(List);
      indices.push_back(row);
      SetCell(List, row, 0, std::to_string(i));
      SetCell(List, row, 1, Cell(List, row, 0));  // read back at once
    }
    SetVisible(Label, true);
    done = true;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 10000));
  ASSERT_EQ(RowCount(List), 50);
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(indices[static_cast<size_t>(i)], i);
    EXPECT_EQ(Cell(List, i, 1), std::to_string(i));
  }
  EXPECT_TRUE(IsVisible(Label));
}

TEST_F(ToolkitTest, OperationsOnAClosedWindowDoNothing) {
  CloseWindow("TestWindow");
  std::atomic<bool> done = false;
  int row = 0;
  Text cell = "x";
  StartWorker([&] {
    row = InsertRow(List);
    SetCell(List, 0, 0, "gone");
    cell = Cell(List, 0, 0);
    SetVisible(Label, false);
    SetCaption(Label, "gone");
    done = true;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 10000));
  EXPECT_EQ(row, -1);
  EXPECT_EQ(cell, "");
  EXPECT_EQ(SelectedRow(List), -1);
  EXPECT_EQ(Caption(Label), "");
  EXPECT_FALSE(IsVisible(Label));
}

TEST_F(ToolkitTest, OwnerDrawnButtonPaintsItsStateColoursAndWhiteText) {
  auto* button = Control<OwnerDrawnButton>("按钮");
  EXPECT_TRUE(button->property("ownerDrawn").toBool());
  EXPECT_EQ(PixelOf(button, 2, 2), QColor(255, 0, 0));
  QImage normal = button->grab().toImage();
  int white = 0;
  for (int y = 0; y < normal.height(); ++y) {
    for (int x = 0; x < normal.width(); ++x) white += normal.pixelColor(x, y) == Qt::white;
  }
  EXPECT_GT(white, 10);  // the caption, in white
  EXPECT_EQ(button->font().pixelSize(), 14);
  button->setDown(true);
  EXPECT_EQ(PixelOf(button, 2, 2), QColor(0, 0, 255));
  button->setDown(false);
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(button, &enter);
  EXPECT_EQ(PixelOf(button, 2, 2), QColor(0, 0, 255));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(button, &leave);
  EXPECT_EQ(PixelOf(button, 2, 2), QColor(255, 0, 0));
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
}

TEST_F(ToolkitTest, TimerPeriodRulesOnTheSteppedClock) {
  UseSteppedTimers(true);
  StepTimers(1000);
  EXPECT_EQ(ticks, 0);  // period 0: stopped
  SetTimerPeriod(Timer, 30);
  StepTimers(29);
  EXPECT_EQ(ticks, 0);
  StepTimers(1);
  EXPECT_EQ(ticks, 1);
  StepTimers(20);
  SetTimerPeriod(Timer, 30);  // the same period changes nothing
  StepTimers(10);
  EXPECT_EQ(ticks, 2);
  StepTimers(20);
  SetTimerPeriod(Timer, 50);  // a new period restarts from now
  StepTimers(49);
  EXPECT_EQ(ticks, 2);
  StepTimers(1);
  EXPECT_EQ(ticks, 3);
  StepTimers(500);
  EXPECT_EQ(ticks, 13);
  SetTimerPeriod(Timer, -5);  // counts as 0
  EXPECT_EQ(TimerPeriod(Timer), 0);
  StepTimers(500);
  EXPECT_EQ(ticks, 13);
}

TEST_F(ToolkitTest, TimerRunsOnRealTime) {
  SetTimerPeriod(Timer, 20);
  EXPECT_TRUE(QTest::qWaitFor([] { return ticks >= 5; }, 3000));
  SetTimerPeriod(Timer, 0);
  int stopped = ticks;
  QTest::qWait(100);
  EXPECT_EQ(ticks, stopped);
}

TEST_F(ToolkitTest, EditBoxes) {
  auto* multi = Control<QPlainTextEdit>("多行");
  EXPECT_TRUE(multi->isReadOnly());
  EXPECT_EQ(multi->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  AppendEditText(MultiLine, "下载地址1： thunder://a\r\n");
  AppendEditText(MultiLine, "下载地址2： magnet:?b\r\n");
  EXPECT_EQ(EditText(MultiLine), "下载地址1： thunder://a\r\n下载地址2： magnet:?b\r\n");
  EXPECT_EQ(multi->blockCount(), 3);
  SetEditText(MultiLine, "替换");
  EXPECT_EQ(EditText(MultiLine), "替换");
  auto* single = Control<QLineEdit>("单行");
  EXPECT_EQ(EditText(SingleLine), "请输入");
  EXPECT_FALSE(single->isReadOnly());
  EXPECT_EQ(single->palette().color(QPalette::Text), QColor(8, 168, 218));
  SetEditText(SingleLine, "thunder://x");
  EXPECT_EQ(EditText(SingleLine), "thunder://x");
}

TEST_F(ToolkitTest, MessageBoxIsTaskModalWithOkOnlyAndItsCaption) {
  qputenv("QORVELLA_MESSAGE_BOX_AUTOCLOSE_MS", "300");
  QString caption, text;
  QMessageBox::StandardButtons buttons;
  Qt::WindowModality modality = Qt::NonModal;
  QTimer::singleShot(50, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      caption = box->windowTitle();
      text = box->text();
      buttons = box->standardButtons();
      modality = box->windowModality();
    }
  });
  std::atomic<bool> done = false;
  StartWorker([&] {  // the showing thread waits until the box is closed
    ShowMessageBox("获取最新电影失败");
    done = true;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 10000));
  qunsetenv("QORVELLA_MESSAGE_BOX_AUTOCLOSE_MS");
  EXPECT_EQ(caption, QString::fromUtf16(u"信息："));
  EXPECT_EQ(text, QString::fromUtf16(u"获取最新电影失败"));
  EXPECT_EQ(buttons, QMessageBox::Ok);
  EXPECT_EQ(modality, Qt::ApplicationModal);
}

TEST_F(ToolkitTest, BrowsersZoomNavigateAndASilentOneSwallowsDialogs) {
  ASSERT_TRUE(OpenWindow(BrowserWindow));
  auto* silent = FindControlAs<BrowserControl>({"BrowserWindow", "静默"});
  auto* plain = FindControlAs<BrowserControl>({"BrowserWindow", "普通"});
  EXPECT_DOUBLE_EQ(silent->zoomFactor(), 1.0);  // zoom level 2
  EXPECT_DOUBLE_EQ(plain->zoomFactor(), ZoomFactor(0));
  EXPECT_TRUE(plain->acceptDrops());
  EXPECT_TRUE(static_cast<BrowserPage*>(silent->page())->isSilent());
  EXPECT_FALSE(static_cast<BrowserPage*>(plain->page())->isSilent());
  EXPECT_TRUE(IsBrowserReady({"BrowserWindow", "静默"}));
  Navigate({"BrowserWindow", "静默"},
           "data:text/html,<script>alert('x');confirm('y');document.title='after'</script>");
  EXPECT_FALSE(IsBrowserReady({"BrowserWindow", "静默"}));
  EXPECT_TRUE(QTest::qWaitFor([&] { return silent->title() == "after"; }, 30000));
  EXPECT_TRUE(QTest::qWaitFor([] { return IsBrowserReady({"BrowserWindow", "静默"}); }, 30000));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(ToolkitLoop, RunsUntilTheLastWindowIsGone) {
  ASSERT_TRUE(OpenWindow(TestWindow));
  ASSERT_TRUE(OpenWindow(BrowserWindow));
  bool secondOpenAfterFirstClosed = false;
  QTimer::singleShot(50, [] { CloseWindow("TestWindow"); });
  QTimer::singleShot(300, [&] {
    secondOpenAfterFirstClosed = IsWindowOpen("BrowserWindow");
    CloseWindow("BrowserWindow");
  });
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_TRUE(secondOpenAfterFirstClosed);
  EXPECT_TRUE(OpenWindows().isEmpty());
}

TEST(ToolkitLoop, AWorkerWaitingOnTheGuiThreadDoesNotHoldUpTheEnd) {
  EXPECT_EXIT(
      {
        OpenWindow(TestWindow);
        StartWorker([] {
          for (;;) SetCaption(Label, "x");  // forever asking the GUI thread
        });
        QTimer::singleShot(200, [] { CloseWindow("TestWindow"); });
        RunMessageLoop();
        EndProcess(0);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
