// The baseline of the program's start-up benchmark: a minimal Qt WebEngine window with two
// views loading the two addresses given, the browser engine set up as the program sets it up.
// When QORVELLA_STARTUP_MARK names a file, the first paint writes the wall-clock time there in
// nanoseconds since the epoch, as the program does.
#include <unistd.h>

#include <QApplication>
#include <QUrl>
#include <QWebEngineView>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace {

class Window : public QWidget {
 protected:
  void paintEvent(QPaintEvent* event) override {
    QWidget::paintEvent(event);
    if (marked_) return;
    marked_ = true;
    QByteArray path = qgetenv("QORVELLA_STARTUP_MARK");
    if (path.isEmpty()) return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    if (std::FILE* file = std::fopen(path.constData(), "w")) {
      std::fprintf(file, "%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
      std::fclose(file);
    }
  }

 private:
  bool marked_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s FIRST-ADDRESS SECOND-ADDRESS\n", argv[0]);
    return 2;
  }
  if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  // The views composed in software, as the program composes them: GL composition through a
  // software renderer costs start-up time and memory that the program does not spend.
  if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication application(argc, argv);
  Window window;
  window.setFixedSize(895, 646);
  auto* first = new QWebEngineView(&window);
  first->setGeometry(0, 0, 490, 80);
  first->load(QUrl(QString::fromLocal8Bit(argv[1])));
  auto* second = new QWebEngineView(&window);
  second->setGeometry(500, 0, 208, 80);
  second->load(QUrl(QString::fromLocal8Bit(argv[2])));
  window.show();
  return application.exec();
}
