#include "platform/skinh/skinh.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/skinh/skin_file.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  Bytes bytes(std::istreambuf_iterator<char>(in), {});
  return bytes;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void PutLe(Bytes& bytes, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// A skin file as tools/make_skin.py packs it.
Bytes Pack(const std::string& palette, const std::string& sheet, std::uint16_t version = 1) {
  Bytes payload(palette.begin(), palette.end());
  payload.insert(payload.end(), sheet.begin(), sheet.end());
  Bytes file{'.', 'S', 'H', 'E'};
  PutLe(file, version, 2);
  PutLe(file, 24, 2);
  PutLe(file, static_cast<std::uint32_t>(palette.size()), 4);
  PutLe(file, static_cast<std::uint32_t>(sheet.size()), 4);
  PutLe(file, skinh::Crc32(payload), 4);
  PutLe(file, 0, 4);
  file.insert(file.end(), payload.begin(), payload.end());
  return file;
}

QApplication& App() {
  static int argc = 1;
  static char name[] = "skinh_test";
  static char* argv[] = {name, nullptr};
  static auto* app = new QApplication(argc, argv);  // lives until the process ends
  return *app;
}

QString ShippedStyleSheet() {
  QFile file(QStringLiteral(QORVELLA_SKIN_SHEET));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  return QString::fromUtf8(file.readAll());
}

}  // namespace

// Runs in a process of its own under CTest, before any QApplication exists.
TEST(SkinHWithoutApplication, RefusesToAttach) {
  if (QCoreApplication::instance() != nullptr) GTEST_SKIP() << "an application already exists";
  EXPECT_EQ(SkinH_AttachEx(QORVELLA_SKIN_FILE, ""), kSkinNoApplication);
}

TEST(SkinFileFormat, ChecksumIsTheZlibCrc32) {
  const std::string check = "123456789";
  EXPECT_EQ(skinh::Crc32({reinterpret_cast<const unsigned char*>(check.data()), check.size()}), 0xCBF43926u);
}

TEST(SkinFileFormat, ShippedSkinCarriesTheReadableStyleSheet) {
  const auto skin = skinh::ParseSkinFile(ReadFile(QORVELLA_SKIN_FILE));
  ASSERT_TRUE(skin.has_value());
  EXPECT_EQ(QString::fromStdString(skin->styleSheet), ShippedStyleSheet());
  EXPECT_NE(skin->palette.find("Window = "), std::string::npos);
}

TEST(SkinFileFormat, DrivePathsMapToTheUserDriveFolder) {
  ASSERT_EQ(setenv("XDG_DATA_HOME", "/data/home", 1), 0);
  const struct {
    const char* path;
    const char* local;
  } cases[] = {
      {"C:\\Windows\\win8.she", "/data/home/qorvella/drive_c/Windows/win8.she"},
      {"c:\\Skins\\x.she", "/data/home/qorvella/drive_c/Skins/x.she"},
      {"/tmp/win8.she", "/tmp/win8.she"},
      {"D:\\win8.she", "D:\\win8.she"},
      {"C:", "C:"},
      {"win8.she", "win8.she"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(skinh::LocalSkinPath(c.path), c.local);
  }
  ASSERT_EQ(setenv("XDG_DATA_HOME", "relative/ignored", 1), 0);
  ASSERT_EQ(setenv("HOME", "/home/someone", 1), 0);
  EXPECT_EQ(skinh::LocalSkinPath("C:\\a"), "/home/someone/.local/share/qorvella/drive_c/a");
  unsetenv("XDG_DATA_HOME");
}

class SkinAttach : public ::testing::Test {
 protected:
  static constexpr char kMarkerSheet[] = "QWidget#marker { border: none; }";

  void SetUp() override {
    App();
    ASSERT_TRUE(dir_.isValid());
    QApplication::setPalette(QApplication::style()->standardPalette());
    App().setStyleSheet(QString::fromLatin1(kMarkerSheet));
  }

  std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }

  QTemporaryDir dir_;
};

TEST_F(SkinAttach, StylesPresentAndFutureWindowsButKeepDesignedFontsAndColours) {
  // An owner-drawn button and a busy-indicator label as the window designs set them up.
  QWidget present;
  auto* button = new QPushButton(QStringLiteral("BD"), &present);
  button->setProperty("ownerDrawn", true);
  QFont buttonFont(QStringLiteral("Noto Sans CJK SC"));
  buttonFont.setPixelSize(14);
  button->setFont(buttonFont);
  QPalette buttonPalette = button->palette();
  buttonPalette.setColor(QPalette::Button, QColor(92, 169, 239));
  buttonPalette.setColor(QPalette::ButtonText, QColor(255, 255, 255));
  button->setPalette(buttonPalette);
  auto* label = new QLabel(QStringLiteral("x"), &present);
  QFont labelFont(QStringLiteral("Setup"));
  labelFont.setPixelSize(16);
  label->setFont(labelFont);
  QPalette labelPalette = label->palette();
  labelPalette.setColor(QPalette::WindowText, QColor(255, 255, 255));
  labelPalette.setColor(QPalette::Window, QColor(7, 156, 220));
  label->setPalette(labelPalette);
  auto* presentEdit = new QLineEdit(&present);
  present.show();

  ASSERT_EQ(SkinH_AttachEx(QORVELLA_SKIN_FILE, nullptr), kSkinAttached);

  EXPECT_EQ(App().styleSheet(), ShippedStyleSheet());
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), QColor(0xf4, 0xf7, 0xfb));
  QWidget future;
  auto* futureList = new QTreeWidget(&future);
  future.show();
  for (QWidget* widget : {static_cast<QWidget*>(presentEdit), static_cast<QWidget*>(futureList)}) {
    widget->ensurePolished();
    EXPECT_STREQ(widget->style()->metaObject()->className(), "QStyleSheetStyle");
  }
  EXPECT_EQ(present.palette().color(QPalette::Window), QColor(0xf4, 0xf7, 0xfb));
  EXPECT_EQ(future.palette().color(QPalette::Window), QColor(0xf4, 0xf7, 0xfb));

  button->ensurePolished();
  label->ensurePolished();
  EXPECT_EQ(button->font().family(), buttonFont.family());
  EXPECT_EQ(button->font().pixelSize(), 14);
  EXPECT_EQ(button->palette().color(QPalette::Button), QColor(92, 169, 239));
  EXPECT_EQ(button->palette().color(QPalette::ButtonText), QColor(255, 255, 255));
  EXPECT_EQ(label->font().family(), QStringLiteral("Setup"));
  EXPECT_EQ(label->font().pixelSize(), 16);
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 255, 255));
  EXPECT_EQ(label->palette().color(QPalette::Window), QColor(7, 156, 220));
}

TEST_F(SkinAttach, ReadsADrivePathFromTheUserDriveFolder) {
  std::filesystem::create_directories(Path("qorvella/drive_c/Windows"));
  WriteFile(Path("qorvella/drive_c/Windows/win8.she"), ReadFile(QORVELLA_SKIN_FILE));
  ASSERT_EQ(setenv("XDG_DATA_HOME", dir_.path().toLocal8Bit().constData(), 1), 0);
  EXPECT_EQ(SkinH_AttachEx("C:\\Windows\\win8.she", ""), kSkinAttached);
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(App().styleSheet(), ShippedStyleSheet());
}

TEST_F(SkinAttach, RejectsMissingAndDamagedFilesAndChangesNothing) {
  const Bytes good = ReadFile(QORVELLA_SKIN_FILE);
  ASSERT_GT(good.size(), skinh::kHeaderLength);
  const auto with = [&good](auto change) {
    Bytes bytes = good;
    change(bytes);
    return bytes;
  };
  const QColor windowBefore = QApplication::palette().color(QPalette::Window);
  std::filesystem::create_directories(Path("folder.she"));

  const struct {
    const char* name;
    Bytes bytes;  // written to the file unless `path` names something else
    const char* path;
    int expected;
  } cases[] = {
      {"no path", {}, nullptr, kSkinFileMissing},
      {"empty path", {}, "", kSkinFileMissing},
      {"no such file", {}, "/nonexistent/win8.she", kSkinFileMissing},
      {"a folder", {}, "folder.she", kSkinFileMissing},
      {"empty file", {}, "case.she", kSkinFileInvalid},
      {"wrong magic", with([](Bytes& b) { b[3] = 'F'; }), "case.she", kSkinFileInvalid},
      {"header only", Bytes(good.begin(), good.begin() + 24), "case.she", kSkinFileInvalid},
      {"cut in the magic", Bytes(good.begin(), good.begin() + 3), "case.she", kSkinFileInvalid},
      {"last byte cut", Bytes(good.begin(), good.end() - 1), "case.she", kSkinFileInvalid},
      {"byte appended", with([](Bytes& b) { b.push_back(' '); }), "case.she", kSkinFileInvalid},
      {"damaged text", with([](Bytes& b) { b[b.size() / 2] ^= 0x20; }), "case.she", kSkinFileInvalid},
      {"huge lengths", with([](Bytes& b) { b[11] = b[15] = 0xFF; }), "case.she", kSkinFileInvalid},
      {"newer version", Pack("", "QWidget {}", 2), "case.she", kSkinFileInvalid},
      {"bad colour", Pack("Window = blue\n", ""), "case.she", kSkinFileInvalid},
      {"unknown role", Pack("Windoww = #ffffff\n", ""), "case.she", kSkinFileInvalid},
      {"not UTF-8", Pack("", "QWidget { border: none; } /* \xff\xfe */"), "case.she", kSkinFileInvalid},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path;
    if (c.path != nullptr) {
      path = c.path[0] == '/' || c.path[0] == '\0' ? c.path : Path(c.path);
      if (std::string(c.path) == "case.she") WriteFile(path, c.bytes);
    }
    EXPECT_EQ(SkinH_AttachEx(c.path == nullptr ? nullptr : path.c_str(), ""), c.expected);
    EXPECT_EQ(App().styleSheet(), QString::fromLatin1(kMarkerSheet));
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), windowBefore);
  }
}

TEST_F(SkinAttach, AcceptsAMinimalSkin) {
  WriteFile(Path("minimal.she"), Pack("# comment\nWindow = #102030\n", "QLineEdit { border: none; }"));
  EXPECT_EQ(SkinH_AttachEx(Path("minimal.she").c_str(), ""), kSkinAttached);
  EXPECT_EQ(App().styleSheet(), QStringLiteral("QLineEdit { border: none; }"));
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), QColor(0x10, 0x20, 0x30));
}

TEST_F(SkinAttach, RefusesAnotherThread) {
  int result = -1;
  std::thread worker([&result] { result = SkinH_AttachEx(QORVELLA_SKIN_FILE, ""); });
  worker.join();
  EXPECT_EQ(result, kSkinWrongThread);
  EXPECT_EQ(App().styleSheet(), QString::fromLatin1(kMarkerSheet));
}
