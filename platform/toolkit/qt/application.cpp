// The application, its message loop, workers, message boxes and the shell.
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFont>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>
#include <csignal>
#include <cstdio>
#include <thread>

#include "platform/toolkit/qt/controls.h"
#include "platform/toolkit/qt/gui_thread.h"
#include "platform/toolkit/qt/qt_text.h"
#include "platform/toolkit/qt/window.h"
#include "platform/toolkit/toolkit.h"

namespace {

QPointer<QObject> dispatcher;
QPointer<QEventLoop> messageLoop;
int terminationPipe[2] = {-1, -1};

void QuitMessageLoop() {
  if (!messageLoop.isNull()) {
    QMetaObject::invokeMethod(messageLoop.data(), &QEventLoop::quit, Qt::QueuedConnection);
  }
}

void OnTerminationSignal(int) {
  char byte = 1;
  ssize_t ignored = ::write(terminationPipe[1], &byte, 1);
  (void)ignored;
}

// A termination request closes the windows one by one, as the end of a desktop session
// does; the loop then ends as it does when the user closes the last window.
void WatchTerminationSignals() {
  if (terminationPipe[0] >= 0) return;
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, terminationPipe) != 0) return;
  auto* notifier = new QSocketNotifier(terminationPipe[0], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
    char bytes[16];
    ssize_t ignored = ::read(terminationPipe[0], bytes, sizeof bytes);
    (void)ignored;
    for (DesignWindow* window : OpenWindows()) window->close();
  });
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

int AutoCloseMilliseconds() {
  bool ok = false;
  int milliseconds = qEnvironmentVariableIntValue("QORVELLA_MESSAGE_BOX_AUTOCLOSE_MS", &ok);
  return ok ? std::max(milliseconds, 0) : -1;
}

void ShowBox(QMessageBox::Icon icon, const QString& caption, std::string_view text) {
  OnGuiThread([&] {
    QMessageBox box(icon, caption, ToQt(text), QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    int autoClose = AutoCloseMilliseconds();
    if (autoClose >= 0) {
      std::fprintf(stderr, "%s %s\n", caption.toUtf8().constData(), box.text().toUtf8().constData());
      std::fflush(stderr);
      QTimer::singleShot(autoClose, &box, &QDialog::accept);
    }
    box.exec();
  });
}

}  // namespace

QObject* GuiDispatcher() {
  return dispatcher.data();
}

void StartToolkit() {
  if (QCoreApplication::instance() != nullptr) return;
  // The browser engine's sandbox cannot run as root; the engine then refuses to start.
  if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  // Without a GPU the engine reports its whole set-up at every start; that report is for
  // debugging the engine, not for the program's users.
  if (!qEnvironmentVariableIsSet("QT_LOGGING_RULES")) {
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext=false"));
  }
  // The browser views are composed in software: with OpenGL composition every repaint of the
  // animated logo and of the busy ring recomposes the whole window through GL, which without a
  // GPU (a software GL renderer) costs several percent of a core while the program idles.
  // QT_QUICK_BACKEND set by the user wins.
  if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  static int argc = 1;
  static char name[] = "qorvella";
  static char* argv[] = {name, nullptr};
  // Never destroyed: the process ends with the application.
  auto* application = new QApplication(argc, argv);
  application->setQuitOnLastWindowClosed(false);
  dispatcher = new QObject(application);
  // The designs' font does not exist here; a CJK font of the system stands in for it.
  QFont::insertSubstitution(QString::fromUtf16(u"微软雅黑"), QStringLiteral("Noto Sans CJK SC"));
  SetLastWindowGoneCallback(QuitMessageLoop);
}

int RunMessageLoop() {
  if (QCoreApplication::instance() == nullptr) return 0;
  WatchTerminationSignals();
  if (OpenWindows().isEmpty()) return 0;
  QEventLoop loop;
  messageLoop = &loop;
  loop.exec();
  messageLoop = nullptr;
  return 0;
}

void ShowMessageBox(std::string_view text) {
  ShowBox(QMessageBox::NoIcon, QString::fromUtf16(u"信息："), text);
}

void ShowFatalErrorBox(std::string_view text) {
  ShowBox(QMessageBox::Critical, QString::fromUtf16(u"错误"), text);
}

void ShellOpen(std::string_view address) {
  OnGuiThread([address] { QDesktopServices::openUrl(QUrl(ToQt(address))); });
}

void StartWorker(std::function<void()> work) {
  std::thread(std::move(work)).detach();
}

void UseSteppedTimers(bool on) {
  OnGuiThread([on] { UseSteppedClock(on); });
}

void StepTimers(int milliseconds) {
  OnGuiThread([milliseconds] { StepClock(milliseconds); });
}
