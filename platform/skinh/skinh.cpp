#include "platform/skinh/skinh.h"

#include <QApplication>
#include <QColor>
#include <QMetaEnum>
#include <QPalette>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/skinh/skin_file.h"

namespace {

std::optional<std::vector<unsigned char>> ReadSkinBytes(const char* skinFile) {
  if (skinFile == nullptr || skinFile[0] == '\0') return std::nullopt;
  const std::string path = skinh::LocalSkinPath(skinFile);
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<unsigned char> bytes;
  // Read one byte past the limit so that an oversized file is seen as such, not cut to size.
  bytes.resize(skinh::kMaxSkinFileLength + 1);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

std::optional<QString> DecodeUtf8(const std::string& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8);
  QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (decoder.hasError()) return std::nullopt;
  return text;
}

// Applies "Role = #rrggbb" lines to `palette`; false on any line that is not one.
bool ApplyPaletteText(const QString& text, QPalette& palette) {
  const QMetaEnum roles = QMetaEnum::fromType<QPalette::ColorRole>();
  for (const QString& rawLine : text.split(u'\n')) {
    const QString line = rawLine.trimmed();
    if (line.isEmpty() || line.startsWith(u'#')) continue;
    const QStringList parts = line.split(u'=');
    if (parts.size() != 2) return false;
    bool known = false;
    const int role = roles.keyToValue(parts[0].trimmed().toLatin1().constData(), &known);
    const QString colourName = parts[1].trimmed();
    if (!known || role < 0 || role >= QPalette::NColorRoles || colourName.size() != 7 ||
        !colourName.startsWith(u'#')) {
      return false;
    }
    const QColor colour = QColor::fromString(colourName);
    if (!colour.isValid()) return false;
    palette.setColor(static_cast<QPalette::ColorRole>(role), colour);
  }
  return true;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int SkinH_AttachEx(const char* skinFile,
                                                                     const char* password) {
  static_cast<void>(password);  // skins of this format are not encrypted
  auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (application == nullptr) return kSkinNoApplication;
  if (QThread::currentThread() != application->thread()) return kSkinWrongThread;

  const auto bytes = ReadSkinBytes(skinFile);
  if (!bytes) return kSkinFileMissing;
  const auto skin = skinh::ParseSkinFile(*bytes);
  if (!skin) return kSkinFileInvalid;
  const auto paletteText = DecodeUtf8(skin->palette);
  const auto styleSheet = DecodeUtf8(skin->styleSheet);
  QPalette palette = QApplication::palette();
  if (!paletteText || !styleSheet || !ApplyPaletteText(*paletteText, palette)) {
    return kSkinFileInvalid;
  }
  // The palette first, so that the style sheet's polish of every widget sees the new colours.
  QApplication::setPalette(palette);
  application->setStyleSheet(*styleSheet);
  return kSkinAttached;
}
