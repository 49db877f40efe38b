#include "resources/resources.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdint>

namespace {

QByteArray Bytes(ResourceImage image) {
  return QByteArray::fromRawData(reinterpret_cast<const char*>(image.data()),
                                 static_cast<qsizetype>(image.size()));
}

std::uint32_t Le(ResourceImage image, std::size_t offset, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = value << 8 | image[offset + i];
  return value;
}

QApplication& App() {
  static int argc = 1;
  static char name[] = "resources_test";
  static char* argv[] = {name, nullptr};
  static auto* app = new QApplication(argc, argv);  // lives until the process ends
  return *app;
}

bool WriteFile(const QString& path, ResourceImage image) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
         file.write(Bytes(image)) == static_cast<qint64>(image.size());
}

}  // namespace

TEST(Pictures, DecodeInTheirFormatsAndSizes) {
  App();
  const struct {
    const char* name;
    ResourceImage image;
    QByteArray format;
    QSize size;
  } cases[] = {
      {"banner", BannerPictureImage, "bmp", {427, 22}},
      {"logo", LogoPictureImage, "gif", {138, 60}},
      {"icon", ProgramIconImage, "ico", {48, 48}},
      {"footer", FooterPictureImage, "jpeg", {1353, 105}},
      {"cloud banner", CloudBannerPictureImage, "jpeg", {865, 130}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QByteArray data = Bytes(c.image);
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    EXPECT_EQ(reader.format(), c.format);
    EXPECT_EQ(reader.imageCount() > 1, c.format == "gif");
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(image.size(), c.size);
  }
}

TEST(Pictures, BannerIsA24BitBitmapAndIconOne32BitImage) {
  ASSERT_GT(BannerPictureImage.size(), 54u);
  EXPECT_EQ(Le(BannerPictureImage, 2, 4), BannerPictureImage.size());  // file size field
  EXPECT_EQ(Le(BannerPictureImage, 28, 2), 24u);                       // bits per pixel

  ASSERT_GT(ProgramIconImage.size(), 22u);
  EXPECT_EQ(Le(ProgramIconImage, 2, 2), 1u);  // an icon file
  EXPECT_EQ(Le(ProgramIconImage, 4, 2), 1u);  // with one image
  EXPECT_EQ(ProgramIconImage[6], 48);
  EXPECT_EQ(ProgramIconImage[7], 48);
  EXPECT_EQ(Le(ProgramIconImage, 12, 2), 32u);
  QByteArray data = Bytes(ProgramIconImage);
  EXPECT_TRUE(QImage::fromData(data).hasAlphaChannel());
}

TEST(SetupFont, AddsFamilySetupWhoseFramesDrawAndWhoseLastGlyphIsBlank) {
  App();
  const int id = QFontDatabase::addApplicationFontFromData(Bytes(SetupFontImage));
  ASSERT_NE(id, -1);
  EXPECT_EQ(QFontDatabase::applicationFontFamilies(id), QStringList{QStringLiteral("Setup")});
  QFont font(QStringLiteral("Setup"));
  font.setPixelSize(16);
  EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Setup"));
  const QFontMetrics metrics(font);

  // Each glyph drawn as the busy indicator's 32 x 24 label draws it.
  const auto render = [&font](char32_t codePoint) {
    QImage image(32, 24, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(image.rect(), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUcs4(&codePoint, 1));
    return image;
  };
  const auto inked = [](const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) != qRgb(255, 255, 255);
    }
    return count;
  };
  QImage previous;
  for (char32_t codePoint = 0xE052; codePoint <= 0xE0CA; ++codePoint) {
    SCOPED_TRACE(testing::Message() << std::hex << static_cast<std::uint32_t>(codePoint));
    EXPECT_TRUE(metrics.inFontUcs4(codePoint));
    const QImage frame = render(codePoint);
    EXPECT_GT(inked(frame), 0);
    EXPECT_NE(frame, previous);  // every frame moves the ring on
    previous = frame;
  }
  EXPECT_TRUE(metrics.inFontUcs4(0xE0CB));
  EXPECT_EQ(inked(render(0xE0CB)), 0);
  EXPECT_EQ(inked(render(U' ')), 0);
  EXPECT_TRUE(QFontDatabase::removeApplicationFont(id));
}

TEST(SkinEngineImage, LoadsFromAWrittenCopyAndAttachesTheEmbeddedSkin) {
  App();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString library = dir.filePath(QStringLiteral("jedata.dll"));
  const QString skin = dir.filePath(QStringLiteral("win8.she"));
  ASSERT_TRUE(WriteFile(library, SkinEngineImage));
  ASSERT_TRUE(WriteFile(skin, SkinFileImage));
  ASSERT_EQ(Bytes(SkinFileImage).left(4), QByteArray(".SHE"));

  void* handle = dlopen(library.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(handle, nullptr) << dlerror();
  using AttachFunction = int (*)(const char*, const char*);
  const auto attach = reinterpret_cast<AttachFunction>(dlsym(handle, "SkinH_AttachEx"));
  ASSERT_NE(attach, nullptr);
  EXPECT_EQ(attach(skin.toLocal8Bit().constData(), ""), 0);
  EXPECT_TRUE(App().styleSheet().contains(QStringLiteral("QHeaderView::section")));
  // The engine stays loaded, as in the program: the application now uses its style sheet.
}
