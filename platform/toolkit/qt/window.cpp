#include "platform/toolkit/qt/window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHash>
#include <QIcon>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QShortcut>
#include <cstdio>
#include <ctime>
#include <map>

#include "platform/toolkit/qt/controls.h"
#include "platform/toolkit/qt/gui_thread.h"
#include "platform/toolkit/qt/qt_text.h"

namespace {

QHash<QString, QPointer<DesignWindow>>& Registry() {
  static QHash<QString, QPointer<DesignWindow>> registry;
  return registry;
}

void (*lastWindowGone)() = nullptr;

// Writes the wall-clock time of the first paint of the process's first window to the file
// named by QORVELLA_STARTUP_MARK, once.
void MarkFirstPaint() {
  static bool marked = false;
  if (marked) return;
  marked = true;
  QByteArray path = qgetenv("QORVELLA_STARTUP_MARK");
  if (path.isEmpty()) return;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  if (std::FILE* file = std::fopen(path.constData(), "w")) {
    std::fprintf(file, "%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    std::fclose(file);
  }
}

Qt::WindowFlags FlagsOf(const WindowDesign& design) {
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (design.closeBox) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (design.minimiseBox) flags |= Qt::WindowMinimizeButtonHint;
  if (design.maximiseBox) flags |= Qt::WindowMaximizeButtonHint;
  if (design.alwaysOnTop) flags |= Qt::WindowStaysOnTopHint;
  if (!design.inTaskbar) flags |= Qt::Tool;
  return flags;
}

QIcon IconOf(const ResourceImage* image) {
  QPixmap pixmap;
  if (image != nullptr) {
    pixmap.loadFromData(image->data(), static_cast<uint>(image->size()));
  }
  return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

// Builds the controls, each under its parent: a control's parent may come later in the design.
void BuildControls(DesignWindow* window, std::span<const ControlDesign> controls) {
  std::map<std::string_view, const ControlDesign*> byName;
  for (const ControlDesign& control : controls) byName.emplace(control.name, &control);
  std::map<std::string_view, QObject*> built;
  auto build = [&](auto& self, const ControlDesign& control) -> QObject* {
    if (auto found = built.find(control.name); found != built.end()) return found->second;
    QWidget* parent = window;
    if (control.parent != nullptr) {
      auto parentDesign = byName.find(control.parent);
      if (parentDesign != byName.end()) {
        parent = qobject_cast<QWidget*>(self(self, *parentDesign->second));
        if (parent == nullptr) parent = window;
      }
    }
    QObject* object = BuildControl(control, parent);
    built.emplace(control.name, object);
    return object;
  };
  for (const ControlDesign& control : controls) build(build, control);
}

}  // namespace

QSize ClientSize(QSize outer) {
  return QSize(outer.width() - 2 * kFrameBorder, outer.height() - 2 * kFrameBorder - kCaptionHeight);
}

DesignWindow::DesignWindow(const WindowDesign& design) : QWidget(nullptr), design_(design) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(ToQt(design.name));
  setWindowFlags(FlagsOf(design));
  setWindowTitle(ToQt(design.caption));
  setWindowIcon(IconOf(design.icon));
  if (design.background) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, ToQColor(*design.background));
    setPalette(colours);
    setAutoFillBackground(true);
  }
  QSize client = ClientSize(QSize(design.width, design.height));
  if (design.fixedFrame) setFixedSize(client);
  resize(client);
  if (design.centred) {
    QScreen* screen = QGuiApplication::primaryScreen();
    QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    QPoint outerTopLeft(area.x() + (area.width() - design.width) / 2,
                        area.y() + (area.height() - design.height) / 2);
    move(outerTopLeft + QPoint(kFrameBorder, kFrameBorder + kCaptionHeight));
  }
  if (design.escCloses) {
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
  }
  Registry().insert(objectName(), this);
  BuildControls(this, design.controls);
}

DesignWindow::~DesignWindow() {
  auto& registry = Registry();
  if (registry.value(objectName()) == this || registry.value(objectName()).isNull()) {
    registry.remove(objectName());
  }
  if (registry.isEmpty() && lastWindowGone != nullptr) lastWindowGone();
}

void DesignWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  if (destroying_) return;
  destroying_ = true;
  // From here the window no longer counts as open: opening its design again builds a new one.
  Registry().remove(objectName());
  if (design_.onDestroying != nullptr) design_.onDestroying();
}

void DesignWindow::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  MarkFirstPaint();
}

void DesignWindow::mousePressEvent(QMouseEvent* event) {
  if (design_.dragByClientArea && event->button() == Qt::LeftButton) {
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - pos();
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

void DesignWindow::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ && (event->buttons() & Qt::LeftButton)) {
    move(event->globalPosition().toPoint() - dragOffset_);
    event->accept();
    return;
  }
  dragging_ = false;
  QWidget::mouseMoveEvent(event);
}

DesignWindow* FindWindow(std::string_view window) {
  return Registry().value(ToQt(window)).data();
}

QObject* FindControl(ControlRef control) {
  DesignWindow* window = FindWindow(control.window);
  if (window == nullptr) return nullptr;
  return window->findChild<QObject*>(ToQt(control.control));
}

QList<DesignWindow*> OpenWindows() {
  QList<DesignWindow*> windows;
  for (const auto& window : Registry()) {
    if (!window.isNull()) windows.append(window.data());
  }
  return windows;
}

void SetLastWindowGoneCallback(void (*callback)()) {
  lastWindowGone = callback;
}

// ---- toolkit operations on windows ----

bool OpenWindow(const WindowDesign& design) {
  return OnGuiThread([&design] {
    if (DesignWindow* open = FindWindow(design.name)) {
      if (open->isMinimized()) {
        open->showNormal();
      } else {
        open->raise();
        open->activateWindow();
      }
      return true;
    }
    auto* window = new DesignWindow(design);
    window->show();
    if (design.onCreated != nullptr) design.onCreated();
    return true;
  });
}

void CloseWindow(std::string_view window) {
  OnGuiThread([window] {
    if (DesignWindow* open = FindWindow(window)) open->close();
  });
}

bool IsWindowOpen(std::string_view window) {
  return OnGuiThread([window] { return FindWindow(window) != nullptr; });
}

void SetWindowCaption(std::string_view window, std::string_view caption) {
  OnGuiThread([=] {
    if (DesignWindow* open = FindWindow(window)) open->setWindowTitle(ToQt(caption));
  });
}

Text WindowCaption(std::string_view window) {
  return OnGuiThread([window] {
    DesignWindow* open = FindWindow(window);
    return open != nullptr ? FromQt(open->windowTitle()) : Text();
  });
}
