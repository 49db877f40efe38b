#include "platform/toolkit/fonts.h"

#include <QByteArray>
#include <QFontDatabase>

#include "platform/toolkit/qt/gui_thread.h"

// Handles are the font database's ids plus one, so that 0 stays the failure value.
FontHandle AddFontMemResourceEx(const void* data, unsigned long size, void* reserved,
                                unsigned long* fontCount) {
  if (data == nullptr || size == 0 || reserved != nullptr) return 0;
  return OnGuiThread([&]() -> FontHandle {
    QByteArray bytes(static_cast<const char*>(data), static_cast<qsizetype>(size));
    int id = QFontDatabase::addApplicationFontFromData(bytes);
    if (id < 0) return 0;
    if (fontCount != nullptr) {
      *fontCount = static_cast<unsigned long>(QFontDatabase::applicationFontFamilies(id).size());
    }
    return static_cast<FontHandle>(id) + 1;
  });
}

bool RemoveFontMemResourceEx(FontHandle font) {
  if (font == 0) return false;
  return OnGuiThread([font] { return QFontDatabase::removeApplicationFont(static_cast<int>(font - 1)); });
}
