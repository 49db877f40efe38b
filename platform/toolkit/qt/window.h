// A window built from its design, and the registry of the program's open windows.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QWidget>
#include <string_view>

#include "platform/toolkit/design.h"
#include "platform/toolkit/toolkit.h"

// The frame of a fixed window on Windows, which the designs' outer sizes include: a 3 px
// border on every side (SM_CXFIXEDFRAME) and a 23 px caption bar (SM_CYCAPTION) on top.
inline constexpr int kFrameBorder = 3;
inline constexpr int kCaptionHeight = 23;
// The client size of a window of outer size `outer`.
QSize ClientSize(QSize outer);

class DesignWindow : public QWidget {
 public:
  explicit DesignWindow(const WindowDesign& design);
  ~DesignWindow() override;
  const WindowDesign& design() const { return design_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  const WindowDesign& design_;
  bool destroying_ = false;
  QPoint dragOffset_;
  bool dragging_ = false;
};

// The open window of that name, or null.
DesignWindow* FindWindow(std::string_view window);
// The control of that name in that open window (a QWidget, or a QObject for timers), or null.
QObject* FindControl(ControlRef control);
template <typename T>
T* FindControlAs(ControlRef control) {
  return dynamic_cast<T*>(FindControl(control));
}

// Every open window of the program.
QList<DesignWindow*> OpenWindows();
// Called when the last window of the program has gone.
void SetLastWindowGoneCallback(void (*callback)());
