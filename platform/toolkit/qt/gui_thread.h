// Running toolkit operations on the GUI thread, whichever thread calls them.
#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <type_traits>

// A GUI-thread object that receives the calls of other threads; a child of the application,
// so that calls still pending when it goes are released, not left waiting.
QObject* GuiDispatcher();

// Runs `operation` on the GUI thread and returns its result: directly on the GUI thread,
// otherwise as a blocking queued call, so that it has taken effect when this returns.
// Without an application it does nothing and returns a default value.
template <typename F>
auto OnGuiThread(F&& operation) -> std::invoke_result_t<F&> {
  using Result = std::invoke_result_t<F&>;
  QCoreApplication* application = QCoreApplication::instance();
  QObject* dispatcher = application != nullptr ? GuiDispatcher() : nullptr;
  if (dispatcher == nullptr) return Result();
  if (QThread::currentThread() == application->thread()) return operation();
  if constexpr (std::is_void_v<Result>) {
    QMetaObject::invokeMethod(
        dispatcher, [&] { operation(); }, Qt::BlockingQueuedConnection);
  } else {
    Result result{};
    QMetaObject::invokeMethod(
        dispatcher, [&] { result = operation(); }, Qt::BlockingQueuedConnection);
    return result;
  }
}
