// The Qt widgets behind the control kinds of a window design.
#pragma once

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QMovie>
#include <QObject>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>
#include <optional>

#include "platform/toolkit/design.h"

QColor ToQColor(const Rgb& colour);

// Shows one picture (BMP, JPEG, icon, or GIF with its animation played) in a picture mode.
class PictureBox : public QWidget {
 public:
  PictureBox(const ControlDesign& design, QWidget* parent);
  PictureMode mode() const { return mode_; }
  bool isAnimated() const { return movie_ != nullptr; }
  QImage currentFrame() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  PictureMode mode_;
  std::optional<QColor> background_;
  QImage image_;
  // The picture as last drawn: scaled once per frame and size, not at every paint.
  QPixmap drawn_;
  qint64 drawnKey_ = 0;
  QRect drawnRect_;
  QSize drawnFor_;
  QByteArray bytes_;
  QBuffer buffer_;
  QMovie* movie_ = nullptr;
};

// A push button drawn by the program: its background by state, its caption in its text colour.
class OwnerDrawnButton : public QPushButton {
 public:
  OwnerDrawnButton(const ControlDesign& design, QWidget* parent);
  QColor normalColour() const { return normal_; }
  QColor hotColour() const { return hot_; }
  bool isHot() const { return hovered_ || isDown(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QColor normal_;
  QColor hot_;
  QColor text_;
  bool hovered_ = false;
};

// The report-style list view: headings, grid lines, one whole row selected at a time.
class ReportList : public QTableWidget {
 public:
  ReportList(const ControlDesign& design, QWidget* parent);
  int appendRow();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  Handler onDoubleClick_;
  std::vector<Qt::Alignment> alignments_;
};

// A timer control: no visible form; raises its event every `period` milliseconds while the
// period is above 0. Either a real timer drives it or, in tests, the stepped clock.
class TimerControl : public QObject {
 public:
  TimerControl(const ControlDesign& design, QObject* parent);
  ~TimerControl() override;
  int period() const { return period_; }
  void setPeriod(int milliseconds);
  // The stepped clock's view of this timer.
  qint64 due() const { return due_; }
  void fireStepped(qint64 now);
  void switchClock(bool stepped, qint64 now);

 private:
  void fire();
  QTimer timer_;
  Handler onTimer_;
  int period_ = 0;
  qint64 due_ = 0;
};

// The page of a browser control; a silent one keeps the page's own dialogs and script error
// reports from the user.
class BrowserPage : public QWebEnginePage {
 public:
  BrowserPage(bool silent, QObject* parent);
  bool isSilent() const { return silent_; }

 protected:
  void javaScriptAlert(const QUrl& origin, const QString& message) override;
  bool javaScriptConfirm(const QUrl& origin, const QString& message) override;
  bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                        QString* result) override;
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                const QString& source) override;

 private:
  bool silent_;
};

// HTML view and web browser control.
class BrowserControl : public QWebEngineView {
 public:
  BrowserControl(const ControlDesign& design, QWidget* parent);
  void navigate(const QString& address);
  bool isReady() const { return !loading_; }

 private:
  bool loading_ = false;
};

// The zoom factor of a text zoom level (0 smallest to 4 largest; 2 is 100%).
double ZoomFactor(int level);

// Builds one control under `parent` (the window or another control); timers are QObjects.
QObject* BuildControl(const ControlDesign& design, QWidget* parent);

// The clock of every timer control: real timers, or the stepped clock of the tests.
void UseSteppedClock(bool on);
bool SteppedClockInUse();
void StepClock(int milliseconds);
