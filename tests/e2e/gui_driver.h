// Driving the program's real windows as a user does, from a test on the GUI thread.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QStringList>
#include <QTableWidget>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string_view>

#include "platform/toolkit/qt/qt_text.h"

// The top-level window of that design name, or null.
inline QWidget* WindowNamed(std::string_view window) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == ToQt(window) && widget->isVisible()) return widget;
  }
  return nullptr;
}

template <typename T = QWidget>
T* ControlNamed(std::string_view window, std::string_view control) {
  QWidget* top = WindowNamed(window);
  return top != nullptr ? top->findChild<T*>(ToQt(control)) : nullptr;
}

// Runs the event loop until `done` holds or `timeoutMs` have passed; returns `done()`.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 30000) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return true;
}

inline void Click(std::string_view window, std::string_view button) {
  auto* widget = ControlNamed<QAbstractButton>(window, button);
  ASSERT_NE(widget, nullptr);
  QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// Double-clicks the film list's row `row` where the user sees it (its title cell).
inline void DoubleClickRow(int row) {
  auto* list = ControlNamed<QTableWidget>("MainWindow", "超级列表框1");
  ASSERT_NE(list, nullptr);
  list->scrollToItem(list->item(row, 0));
  QRect cell = list->visualItemRect(list->item(row, 0));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
}

// Answers every message box the program shows: records its caption and text and presses OK.
class MessageBoxWatcher {
 public:
  MessageBoxWatcher() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box == nullptr || !box->isVisible()) continue;
        shown_.append(box->windowTitle() + "|" + box->text());
        box->accept();
      }
    });
    timer_.start();
  }
  // "caption|text" of each box answered, in order.
  const QStringList& Shown() const { return shown_; }

 private:
  QTimer timer_;
  QStringList shown_;
};
