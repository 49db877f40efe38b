// The one crossing between the program's GBK texts and Qt's strings (code page 936).
#pragma once

#include <QString>
#include <string_view>

#include "text/text.h"

QString ToQt(std::string_view gbk);
Text FromQt(const QString& text);

// Edit controls: the program's "\r\n" line breaks as Qt's "\n" and back.
QString ToQtLines(std::string_view gbk);
Text FromQtLines(const QString& text);
