#include "platform/toolkit/qt/qt_text.h"

#include <string>

#include "platform/win/codepage.h"

QString ToQt(std::string_view gbk) {
  std::u16string unicode = AnsiToUnicode(gbk);
  return QString::fromUtf16(unicode.data(), static_cast<qsizetype>(unicode.size()));
}

Text FromQt(const QString& text) {
  return UnicodeToAnsi(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())));
}

QString ToQtLines(std::string_view gbk) {
  QString text = ToQt(gbk);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

Text FromQtLines(const QString& text) {
  QString crlf = text;
  crlf.replace(u'\n', QStringLiteral("\r\n"));
  return FromQt(crlf);
}
