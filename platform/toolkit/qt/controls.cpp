#include "platform/toolkit/qt/controls.h"

#include <QEnterEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <array>
#include <vector>

#include "platform/toolkit/qt/qt_text.h"

QColor ToQColor(const Rgb& colour) {
  return QColor(colour.red, colour.green, colour.blue);
}

namespace {

QFont DesignFont(const FontDesign& design, QFont font) {
  if (design.face[0] != '\0') font.setFamily(ToQt(design.face));
  if (design.height > 0) font.setPixelSize(design.height);
  font.setWeight(QFont::Normal);
  return font;
}

void SetColours(QWidget* widget, const ControlDesign& design, QPalette::ColorRole textRole,
                QPalette::ColorRole backgroundRole) {
  QPalette palette = widget->palette();
  if (design.textColour) palette.setColor(textRole, ToQColor(*design.textColour));
  if (design.background) palette.setColor(backgroundRole, ToQColor(*design.background));
  widget->setPalette(palette);
}

void SetFrame(QFrame* frame, FrameStyle style) {
  switch (style) {
    case FrameStyle::None:
      frame->setFrameStyle(QFrame::NoFrame);
      break;
    case FrameStyle::ThinLine:
      frame->setFrameStyle(QFrame::Box | QFrame::Plain);
      frame->setLineWidth(1);
      break;
    case FrameStyle::ThinSunken:
      frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      frame->setLineWidth(1);
      break;
  }
}

QWidget* BuildLabel(const ControlDesign& design, QWidget* parent) {
  auto* label = new QLabel(ToQt(design.text), parent);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  label->setWordWrap(false);
  label->setMargin(0);
  label->setFocusPolicy(Qt::NoFocus);
  SetColours(label, design, QPalette::WindowText, QPalette::Window);
  label->setAutoFillBackground(design.background.has_value());
  label->setFont(DesignFont(design.font, label->font()));
  return label;
}

QWidget* BuildCanvas(const ControlDesign& design, QWidget* parent) {
  auto* canvas = new QWidget(parent);
  canvas->setFocusPolicy(Qt::NoFocus);
  SetColours(canvas, design, QPalette::WindowText, QPalette::Window);
  canvas->setAutoFillBackground(design.background.has_value());
  return canvas;
}

QWidget* BuildEditBox(const ControlDesign& design, QWidget* parent) {
  if (design.edit.multiLine) {
    auto* edit = new QPlainTextEdit(parent);
    edit->setPlainText(ToQtLines(design.text));
    edit->setReadOnly(design.edit.readOnly);
    edit->setVerticalScrollBarPolicy(design.edit.verticalScrollBar ? Qt::ScrollBarAlwaysOn
                                                                   : Qt::ScrollBarAlwaysOff);
    edit->setLineWrapMode(design.edit.horizontalScroll ? QPlainTextEdit::NoWrap
                                                       : QPlainTextEdit::WidgetWidth);
    SetFrame(edit, design.frame);
    SetColours(edit, design, QPalette::Text, QPalette::Base);
    edit->setFont(DesignFont(design.font, edit->font()));
    return edit;
  }
  auto* edit = new QLineEdit(ToQt(design.text), parent);
  if (design.edit.maxLength > 0) edit->setMaxLength(design.edit.maxLength);
  edit->setReadOnly(design.edit.readOnly);
  edit->setFrame(design.frame != FrameStyle::None);
  edit->setCursorPosition(0);
  SetColours(edit, design, QPalette::Text, QPalette::Base);
  edit->setFont(DesignFont(design.font, edit->font()));
  return edit;
}

}  // namespace

// ---- picture box ----

PictureBox::PictureBox(const ControlDesign& design, QWidget* parent)
    : QWidget(parent), mode_(design.pictureMode) {
  setFocusPolicy(Qt::NoFocus);
  if (design.background) background_ = ToQColor(*design.background);
  if (design.picture == nullptr || design.picture->empty()) return;
  bytes_ = QByteArray::fromRawData(reinterpret_cast<const char*>(design.picture->data()),
                                   static_cast<qsizetype>(design.picture->size()));
  buffer_.setData(bytes_);
  buffer_.open(QIODevice::ReadOnly);
  auto* movie = new QMovie(&buffer_, QByteArray(), this);
  if (movie->isValid() && movie->frameCount() > 1) {
    movie_ = movie;
    connect(movie_, &QMovie::frameChanged, this, [this] { update(); });
    movie_->start();
  } else {
    delete movie;
    image_ = QImage::fromData(bytes_);
  }
}

QImage PictureBox::currentFrame() const {
  return movie_ ? movie_->currentImage() : image_;
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (background_) painter.fillRect(rect(), *background_);
  QImage frame = currentFrame();
  if (frame.isNull()) return;
  if (frame.cacheKey() != drawnKey_ || drawnFor_ != size() || drawn_.isNull()) {
    QSize size = frame.size();
    QPoint place(0, 0);
    switch (mode_) {
      case PictureMode::TopLeft:
        break;
      case PictureMode::Stretched:
        size = this->size();
        break;
      case PictureMode::CentredFitted:
        if (size.width() > width() || size.height() > height()) size.scale(this->size(), Qt::KeepAspectRatio);
        place = QPoint((width() - size.width()) / 2, (height() - size.height()) / 2);
        break;
    }
    drawn_ = QPixmap::fromImage(
        size == frame.size() ? frame : frame.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    drawnKey_ = frame.cacheKey();
    drawnRect_ = QRect(place, size);
    drawnFor_ = this->size();
  }
  painter.drawPixmap(drawnRect_.topLeft(), drawn_);
}

// ---- owner-drawn button ----

OwnerDrawnButton::OwnerDrawnButton(const ControlDesign& design, QWidget* parent)
    : QPushButton(ToQt(design.text), parent),
      normal_(design.background ? ToQColor(*design.background) : palette().color(QPalette::Button)),
      hot_(design.hotBackground ? ToQColor(*design.hotBackground) : normal_),
      text_(design.textColour ? ToQColor(*design.textColour) : QColor(Qt::white)) {
  // The skin engine leaves buttons with this property to draw themselves.
  setProperty("ownerDrawn", true);
  setAttribute(Qt::WA_Hover);
  setFocusPolicy(Qt::StrongFocus);
  setFont(DesignFont(design.font, font()));
}

void OwnerDrawnButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), isHot() ? hot_ : normal_);
  painter.setPen(text_);
  painter.setFont(font());
  painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
}

void OwnerDrawnButton::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  update();
  QPushButton::enterEvent(event);
}

void OwnerDrawnButton::leaveEvent(QEvent* event) {
  hovered_ = false;
  update();
  QPushButton::leaveEvent(event);
}

// ---- report list view ----

namespace {

// Draws the selection only while the list has the focus, as the system list view does
// without its "show selection always" style.
class FocusedSelectionDelegate : public QStyledItemDelegate {
 public:
  explicit FocusedSelectionDelegate(QAbstractItemView* view) : QStyledItemDelegate(view), view_(view) {}

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (!view_->hasFocus()) option->state &= ~QStyle::State_Selected;
  }

 private:
  QAbstractItemView* view_;
};

}  // namespace

ReportList::ReportList(const ControlDesign& design, QWidget* parent)
    : QTableWidget(parent), onDoubleClick_(design.onDoubleClick) {
  const ListDesign& list = design.list;
  setColumnCount(static_cast<int>(list.columns.size()));
  verticalHeader()->hide();
  horizontalHeader()->setVisible(list.headings);
  horizontalHeader()->setSectionsClickable(list.clickableHeadings);
  horizontalHeader()->setSectionsMovable(list.headingDragDrop);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->setMinimumSectionSize(0);
  setSortingEnabled(list.sorted);
  setSelectionBehavior(list.fullRowSelect ? SelectRows : SelectItems);
  setSelectionMode(list.singleSelection ? SingleSelection : ExtendedSelection);
  setEditTriggers(list.labelEditing ? AllEditTriggers : NoEditTriggers);
  setShowGrid(list.gridLines);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  setMouseTracking(list.hotTracking);
  setHorizontalScrollMode(ScrollPerPixel);
  SetFrame(this, design.frame);
  for (int column = 0; column < columnCount(); ++column) {
    const ColumnDesign& columnDesign = list.columns[static_cast<size_t>(column)];
    Qt::Alignment alignment =
        (columnDesign.alignment == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
    alignments_.push_back(alignment);
    auto* heading = new QTableWidgetItem(ToQt(columnDesign.heading));
    heading->setTextAlignment(alignment);
    setHorizontalHeaderItem(column, heading);
    // A column of width 0 is there only to carry data: nobody can see it or widen it.
    if (columnDesign.width == 0) hideColumn(column);
    setColumnWidth(column, columnDesign.width);
  }
  QPalette colours = palette();
  if (design.textColour) colours.setColor(QPalette::Text, ToQColor(*design.textColour));
  if (design.background) colours.setColor(QPalette::Base, ToQColor(*design.background));
  setPalette(colours);
  if (!list.keepSelectionVisible) setItemDelegate(new FocusedSelectionDelegate(this));
  setFont(DesignFont(design.font, font()));
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

int ReportList::appendRow() {
  int row = rowCount();
  insertRow(row);
  for (int column = 0; column < columnCount(); ++column) {
    auto* cell = new QTableWidgetItem();
    cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    cell->setTextAlignment(alignments_[static_cast<size_t>(column)]);
    setItem(row, column, cell);
  }
  return row;
}

void ReportList::mouseDoubleClickEvent(QMouseEvent* event) {
  QTableWidget::mouseDoubleClickEvent(event);
  // As with the system list view, a double click anywhere in the list raises the event; the
  // handler looks at the selection itself.
  if (onDoubleClick_ != nullptr) onDoubleClick_();
}

void ReportList::focusInEvent(QFocusEvent* event) {
  QTableWidget::focusInEvent(event);
  viewport()->update();
}

void ReportList::focusOutEvent(QFocusEvent* event) {
  QTableWidget::focusOutEvent(event);
  viewport()->update();
}

// ---- timers ----

namespace {

struct SteppedClock {
  bool on = false;
  qint64 now = 0;
  std::vector<TimerControl*> timers;  // in creation order
};

SteppedClock& Clock() {
  static SteppedClock clock;
  return clock;
}

}  // namespace

TimerControl::TimerControl(const ControlDesign& design, QObject* parent)
    : QObject(parent), onTimer_(design.onTimer) {
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { fire(); });
  Clock().timers.push_back(this);
  setPeriod(design.period);
}

TimerControl::~TimerControl() {
  std::erase(Clock().timers, this);
}

void TimerControl::setPeriod(int milliseconds) {
  milliseconds = std::max(milliseconds, 0);
  if (milliseconds == period_) return;
  period_ = milliseconds;
  due_ = Clock().now + period_;
  if (period_ == 0 || Clock().on) {
    timer_.stop();
  } else {
    timer_.start(period_);
  }
}

void TimerControl::switchClock(bool stepped, qint64 now) {
  due_ = now + period_;
  if (stepped || period_ == 0) {
    timer_.stop();
  } else {
    timer_.start(period_);
  }
}

void TimerControl::fireStepped(qint64 now) {
  // The next due time is set before the handler runs, so that a period the handler sets
  // restarts the timer from now.
  due_ = now + period_;
  fire();
}

void TimerControl::fire() {
  if (onTimer_ != nullptr) onTimer_();
}

void UseSteppedClock(bool on) {
  SteppedClock& clock = Clock();
  if (clock.on == on) return;
  clock.on = on;
  for (TimerControl* timer : clock.timers) timer->switchClock(on, clock.now);
}

bool SteppedClockInUse() {
  return Clock().on;
}

void StepClock(int milliseconds) {
  SteppedClock& clock = Clock();
  if (!clock.on) return;
  qint64 end = clock.now + std::max(milliseconds, 0);
  for (;;) {
    TimerControl* next = nullptr;
    for (TimerControl* timer : clock.timers) {
      if (timer->period() > 0 && timer->due() <= end && (next == nullptr || timer->due() < next->due())) {
        next = timer;
      }
    }
    if (next == nullptr) break;
    clock.now = next->due();
    next->fireStepped(clock.now);
  }
  clock.now = end;
}

// ---- browsers ----

BrowserPage::BrowserPage(bool silent, QObject* parent) : QWebEnginePage(parent), silent_(silent) {}

void BrowserPage::javaScriptAlert(const QUrl& origin, const QString& message) {
  if (!silent_) QWebEnginePage::javaScriptAlert(origin, message);
}

bool BrowserPage::javaScriptConfirm(const QUrl& origin, const QString& message) {
  return !silent_ && QWebEnginePage::javaScriptConfirm(origin, message);
}

bool BrowserPage::javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                                   QString* result) {
  return !silent_ && QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                           int line, const QString& source) {
  if (!silent_) QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
}

double ZoomFactor(int level) {
  // The browser's text sizes, smallest to largest, relative to the medium size.
  static constexpr std::array<double, 5> factors = {0.6, 0.8, 1.0, 1.2, 1.5};
  return factors[static_cast<size_t>(std::clamp(level, 0, 4))];
}

BrowserControl::BrowserControl(const ControlDesign& design, QWidget* parent) : QWebEngineView(parent) {
  setPage(new BrowserPage(design.browser.silent, this));
  page()->setZoomFactor(ZoomFactor(design.browser.zoom));
  setAcceptDrops(design.browser.dropTarget);
  setContextMenuPolicy(Qt::NoContextMenu);
  connect(this, &QWebEngineView::loadStarted, this, [this] { loading_ = true; });
  connect(this, &QWebEngineView::loadFinished, this, [this] { loading_ = false; });
  if (design.text[0] != '\0') navigate(ToQt(design.text));
}

void BrowserControl::navigate(const QString& address) {
  // Not ready from the moment of the request, before the engine reports the start.
  loading_ = true;
  load(QUrl(address));
}

// ---- any control ----

QObject* BuildControl(const ControlDesign& design, QWidget* parent) {
  QObject* control = nullptr;
  switch (design.kind) {
    case ControlKind::Label:
      control = BuildLabel(design, parent);
      break;
    case ControlKind::PictureBox:
      control = new PictureBox(design, parent);
      break;
    case ControlKind::Canvas:
      control = BuildCanvas(design, parent);
      break;
    case ControlKind::ReportList:
      control = new ReportList(design, parent);
      break;
    case ControlKind::OwnerDrawnButton:
      control = new OwnerDrawnButton(design, parent);
      break;
    case ControlKind::Timer:
      control = new TimerControl(design, parent);
      break;
    case ControlKind::HtmlView:
    case ControlKind::WebBrowser:
      control = new BrowserControl(design, parent);
      break;
    case ControlKind::EditBox:
      control = BuildEditBox(design, parent);
      break;
  }
  control->setObjectName(ToQt(design.name));
  if (auto* widget = qobject_cast<QWidget*>(control)) {
    widget->setGeometry(design.x, design.y, design.width, design.height);
    if (design.hidden) widget->hide();
  }
  if (auto* button = dynamic_cast<QAbstractButton*>(control); button && design.onClick) {
    QObject::connect(button, &QAbstractButton::clicked, button, [handler = design.onClick] { handler(); });
  }
  return control;
}
