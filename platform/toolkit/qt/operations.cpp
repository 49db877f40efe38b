// The toolkit's operations on controls, each run on the GUI thread.
#include <QAbstractButton>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <algorithm>

#include "platform/toolkit/qt/controls.h"
#include "platform/toolkit/qt/gui_thread.h"
#include "platform/toolkit/qt/qt_text.h"
#include "platform/toolkit/qt/window.h"
#include "platform/toolkit/toolkit.h"

void SetCaption(ControlRef control, std::string_view caption) {
  OnGuiThread([=] {
    if (auto* label = FindControlAs<QLabel>(control)) label->setText(ToQt(caption));
    if (auto* button = FindControlAs<QAbstractButton>(control)) button->setText(ToQt(caption));
  });
}

Text Caption(ControlRef control) {
  return OnGuiThread([=] {
    if (auto* label = FindControlAs<QLabel>(control)) return FromQt(label->text());
    if (auto* button = FindControlAs<QAbstractButton>(control)) return FromQt(button->text());
    return Text();
  });
}

void SetFontFace(ControlRef control, std::string_view face) {
  OnGuiThread([=] {
    if (auto* widget = FindControlAs<QWidget>(control)) {
      QFont font = widget->font();
      font.setFamily(ToQt(face));
      widget->setFont(font);
    }
  });
}

void SetVisible(ControlRef control, bool visible) {
  OnGuiThread([=] {
    if (auto* widget = FindControlAs<QWidget>(control)) widget->setVisible(visible);
  });
}

bool IsVisible(ControlRef control) {
  return OnGuiThread([=] {
    auto* widget = FindControlAs<QWidget>(control);
    return widget != nullptr && !widget->isHidden();
  });
}

void SetTimerPeriod(ControlRef timer, int milliseconds) {
  OnGuiThread([=] {
    if (auto* control = FindControlAs<TimerControl>(timer)) control->setPeriod(milliseconds);
  });
}

int TimerPeriod(ControlRef timer) {
  return OnGuiThread([=] {
    auto* control = FindControlAs<TimerControl>(timer);
    return control != nullptr ? control->period() : 0;
  });
}

void DeleteAllRows(ControlRef list) {
  OnGuiThread([=] {
    if (auto* rows = FindControlAs<ReportList>(list)) rows->setRowCount(0);
  });
}

int InsertRow(ControlRef list) {
  return OnGuiThread([=] {
    auto* rows = FindControlAs<ReportList>(list);
    return rows != nullptr ? rows->appendRow() : -1;
  });
}

void SetCell(ControlRef list, int row, int column, std::string_view text) {
  OnGuiThread([=] {
    auto* rows = FindControlAs<ReportList>(list);
    if (rows == nullptr) return;
    if (QTableWidgetItem* cell = rows->item(row, column)) cell->setText(ToQt(text));
  });
}

Text Cell(ControlRef list, int row, int column) {
  return OnGuiThread([=] {
    auto* rows = FindControlAs<ReportList>(list);
    QTableWidgetItem* cell = rows != nullptr ? rows->item(row, column) : nullptr;
    return cell != nullptr ? FromQt(cell->text()) : Text();
  });
}

int RowCount(ControlRef list) {
  return OnGuiThread([=] {
    auto* rows = FindControlAs<ReportList>(list);
    return rows != nullptr ? rows->rowCount() : 0;
  });
}

int SelectedRow(ControlRef list) {
  return OnGuiThread([=] {
    auto* rows = FindControlAs<ReportList>(list);
    if (rows == nullptr) return -1;
    int first = -1;
    for (const QModelIndex& index : rows->selectionModel()->selectedIndexes()) {
      if (first == -1 || index.row() < first) first = index.row();
    }
    return first;
  });
}

void SelectRow(ControlRef list, int row) {
  OnGuiThread([=] {
    auto* rows = FindControlAs<ReportList>(list);
    if (rows == nullptr) return;
    if (row >= 0 && row < rows->rowCount()) {
      rows->selectRow(row);
    } else {
      rows->clearSelection();
    }
  });
}

void Navigate(ControlRef browser, std::string_view address) {
  OnGuiThread([=] {
    if (auto* view = FindControlAs<BrowserControl>(browser)) view->navigate(ToQt(address));
  });
}

bool IsBrowserReady(ControlRef browser) {
  return OnGuiThread([=] {
    auto* view = FindControlAs<BrowserControl>(browser);
    return view != nullptr && view->isReady();
  });
}

void SetEditText(ControlRef edit, std::string_view text) {
  OnGuiThread([=] {
    if (auto* box = FindControlAs<QPlainTextEdit>(edit)) box->setPlainText(ToQtLines(text));
    if (auto* line = FindControlAs<QLineEdit>(edit)) line->setText(ToQt(text));
  });
}

void AppendEditText(ControlRef edit, std::string_view text) {
  OnGuiThread([=] {
    if (auto* box = FindControlAs<QPlainTextEdit>(edit)) {
      QTextCursor cursor = box->textCursor();
      cursor.movePosition(QTextCursor::End);
      box->setTextCursor(cursor);
      box->ensureCursorVisible();
      box->insertPlainText(ToQtLines(text));
      box->ensureCursorVisible();
    }
    if (auto* line = FindControlAs<QLineEdit>(edit)) {
      line->end(false);
      line->insert(ToQt(text));
    }
  });
}

Text EditText(ControlRef edit) {
  return OnGuiThread([=] {
    if (auto* box = FindControlAs<QPlainTextEdit>(edit)) return FromQtLines(box->toPlainText());
    if (auto* line = FindControlAs<QLineEdit>(edit)) return FromQt(line->text());
    return Text();
  });
}

void RunOnGuiThread(const std::function<void()>& operation) {
  OnGuiThread([&] { operation(); });
}
