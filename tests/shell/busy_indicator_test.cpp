// MainWindow's busy indicator: the "Setup" font, the frame and pause timers, the glyphs'
// way through code page 936 into 标签1.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <chrono>
#include <string>
#include <vector>

#include "platform/toolkit/qt/qt_text.h"
#include "platform/toolkit/qt/window.h"
#include "shell/main_window.h"
#include "shell/windows.h"

namespace {

// U+E000 + n is the user-defined area's n-th code, from AA A1 on, 94 to a lead byte.
std::string Gbk(int codePoint) {
  int n = codePoint - 0xE000;
  return {static_cast<char>(0xAA + n / 94), static_cast<char>(0xA1 + n % 94)};
}

class BusyIndicatorTest : public testing::Test {
 protected:
  void SetUp() override {
    UseSteppedTimers(true);
    ASSERT_TRUE(OpenWindow(MainWindowDesign));
    label_ = FindControlAs<QLabel>(BusyGlyphLabel);
    ASSERT_NE(label_, nullptr);
  }
  void TearDown() override {
    CloseWindow("MainWindow");
    UseSteppedTimers(false);
    QTest::qWait(1);
  }
  QLabel* label_ = nullptr;
};

TEST_F(BusyIndicatorTest, CreationAddsTheFontAndGivesItToTheGlyphLabel) {
  EXPECT_NE(SetupFontHandle, 0u);
  EXPECT_EQ(BusyGlyph, 0xE052);
  EXPECT_TRUE(QFontDatabase::families().contains("Setup"));
  EXPECT_EQ(label_->font().family(), "Setup");
  EXPECT_EQ(QFontInfo(label_->font()).family(), "Setup");
  EXPECT_EQ(label_->font().pixelSize(), 16);
  EXPECT_EQ(Caption(BusyGlyphLabel), "标签");  // until the first tick
  EXPECT_EQ(TimerPeriod(FrameTimer), 30);
  EXPECT_EQ(TimerPeriod(PauseTimer), 0);
}

TEST_F(BusyIndicatorTest, SweepsTickByTickThenPausesAndRestarts) {
  EXPECT_EQ(Gbk(0xE052), "\xAA\xF3");
  EXPECT_EQ(Gbk(0xE0CB), "\xAC\xB0");
  StepTimers(29);
  EXPECT_EQ(Caption(BusyGlyphLabel), "标签");
  for (int tick = 1; tick <= 121; ++tick) {
    SCOPED_TRACE(tick);
    StepTimers(tick == 1 ? 1 : 30);
    int glyph = 0xE052 + tick - 1;
    ASSERT_EQ(Caption(BusyGlyphLabel), Gbk(glyph));  // the bytes of the ANSI code page
    ASSERT_EQ(label_->text(), QString(QChar(glyph)));
    ASSERT_EQ(BusyGlyph, glyph + 1);
    ASSERT_EQ(TimerPeriod(FrameTimer), 30);
  }
  // The 122nd tick: U+E0CB, at once replaced by one space; the pause begins.
  StepTimers(30);
  EXPECT_EQ(Caption(BusyGlyphLabel), " ");
  EXPECT_EQ(BusyGlyph, 0xE052);
  EXPECT_EQ(TimerPeriod(FrameTimer), 0);
  EXPECT_EQ(TimerPeriod(PauseTimer), 250);
  StepTimers(249);
  EXPECT_EQ(TimerPeriod(PauseTimer), 250);
  StepTimers(1);
  EXPECT_EQ(TimerPeriod(FrameTimer), 30);
  EXPECT_EQ(TimerPeriod(PauseTimer), 0);
  EXPECT_EQ(Caption(BusyGlyphLabel), " ");
  StepTimers(29);
  EXPECT_EQ(Caption(BusyGlyphLabel), " ");
  StepTimers(1);
  EXPECT_EQ(Caption(BusyGlyphLabel), Gbk(0xE052));  // the next sweep
}

TEST_F(BusyIndicatorTest, ShowingTheLabelsMidSweepDoesNotRestartIt) {
  StepTimers(30 * 50);
  SetVisible(BusyGlyphLabel, true);
  SetVisible(BusyTextLabel, true);
  StepTimers(30);
  EXPECT_EQ(Caption(BusyGlyphLabel), Gbk(0xE052 + 50));
}

TEST_F(BusyIndicatorTest, EveryFrameReachesTheLabelAndDrawsWithSetup) {
  SetVisible(BusyGlyphLabel, true);
  QColor background(7, 156, 220);
  auto inkOf = [&] {
    QImage image = label_->grab().toImage();
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) ink += image.pixelColor(x, y) != background;
    }
    return ink;
  };
  QFontMetrics metrics(label_->font());
  for (int glyph = 0xE052; glyph <= 0xE0CB; ++glyph) {
    SCOPED_TRACE(glyph);
    StepTimers(30);
    if (glyph == 0xE0CB) break;  // replaced by " " in the same tick
    ASSERT_EQ(Caption(BusyGlyphLabel), Gbk(glyph));
    ASSERT_TRUE(metrics.inFontUcs4(static_cast<uint>(glyph)));
    ASSERT_GT(inkOf(), 0);
  }
  EXPECT_EQ(inkOf(), 0);  // the pause: one space, nothing drawn
  EXPECT_TRUE(metrics.inFontUcs4(0xE0CB));
}

TEST_F(BusyIndicatorTest, DestroyingMainWindowRemovesTheFont) {
  ASSERT_TRUE(QFontDatabase::families().contains("Setup"));
  CloseWindow("MainWindow");
  EXPECT_FALSE(QFontDatabase::families().contains("Setup"));
}

TEST(BusyIndicatorRealTime, ACycleTakesAboutFourSeconds) {
  using Clock = std::chrono::steady_clock;
  ASSERT_TRUE(OpenWindow(MainWindowDesign));
  // Samples of the caption: the time each new caption was first seen.
  std::vector<std::pair<Text, Clock::time_point>> seen;
  Clock::time_point end = Clock::now() + std::chrono::milliseconds(8500);
  while (Clock::now() < end) {
    Text caption = Caption(BusyGlyphLabel);
    if (seen.empty() || seen.back().first != caption) seen.emplace_back(caption, Clock::now());
    QTest::qWait(3);
  }
  CloseWindow("MainWindow");
  auto ms = [](Clock::duration d) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
  };
  // Find two sweep starts (U+E052 after a " ").
  std::vector<size_t> starts;
  for (size_t i = 1; i < seen.size(); ++i) {
    if (seen[i].first == Gbk(0xE052) && seen[i - 1].first == " ") starts.push_back(i);
  }
  ASSERT_GE(starts.size(), 1u);
  size_t start = starts.front();
  // Frames arrive in order, each a step ahead, up to the pause.
  size_t pause = start;
  while (pause < seen.size() && seen[pause].first != " ") ++pause;
  ASSERT_LT(pause, seen.size());
  for (size_t i = start + 1; i < pause; ++i) ASSERT_GT(seen[i].first, seen[i - 1].first);
  EXPECT_GE(pause - start, 100u);  // most of the 121 frames were seen at this sampling
  long long sweep = ms(seen[pause].second - seen[start].second);
  EXPECT_GE(sweep, 3300);  // 121 frames 30 ms apart; on a loaded machine more
  EXPECT_LE(sweep, 6000);
  if (starts.size() >= 2) {
    long long blank = ms(seen[starts[1]].second - seen[pause].second);
    EXPECT_GE(blank, 250);  // 250 ms pause plus the first 30 ms frame interval
    EXPECT_LE(blank, 800);
  }
}

}  // namespace
