// Windows paths mapped to the drive folder, whole-file writes, libraries loaded by bare name,
// WideCharToMultiByte and the process's exit routine.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win/file_write.h"
#include "platform/win/library.h"
#include "platform/win/paths.h"
#include "platform/win/process_end.h"
#include "platform/win/wide_char.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::span<const unsigned char> Bytes(const std::string& text) {
  return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

// A fresh XDG_DATA_HOME for each test.
class DriveTest : public testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::temp_directory_path() / ("qorvella-drive-" + std::to_string(::getpid()) + "-" +
                                         testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(home_);
    fs::create_directories(home_);
    ::setenv("XDG_DATA_HOME", home_.c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("XDG_DATA_HOME");
    fs::remove_all(home_);
  }
  fs::path windows() const { return home_ / "qorvella/drive_c/Windows"; }
  fs::path home_;
};

TEST_F(DriveTest, MapsDriveCIntoTheDataHome) {
  struct Case {
    const char* windowsPath;
    std::string expected;
  };
  std::string drive = home_.string() + "/qorvella/drive_c/";
  for (const Case& c : {Case{"C:\\Windows\\jedata.dll", drive + "Windows/jedata.dll"},
                        Case{"c:\\Windows\\win8.she", drive + "Windows/win8.she"}, Case{"C:\\", drive},
                        Case{"D:\\data\\x.txt", "D:/data/x.txt"}, Case{"relative\\name", "relative/name"}}) {
    SCOPED_TRACE(c.windowsPath);
    EXPECT_EQ(MapWindowsPath(c.windowsPath), c.expected);
  }
  EXPECT_EQ(WindowsFolder(), drive + "Windows/");
}

TEST_F(DriveTest, WithoutAnAbsoluteDataHomeUsesTheHomeFolder) {
  ::setenv("HOME", "/home/someone", 1);
  for (const char* xdg : {"", "relative/dir"}) {
    ::setenv("XDG_DATA_HOME", xdg, 1);
    EXPECT_EQ(DriveFolder(), "/home/someone/.local/share/qorvella/drive_c/");
  }
  ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(DriveFolder(), "/home/someone/.local/share/qorvella/drive_c/");
}

TEST_F(DriveTest, WriteCreatesAndReplacesTheWholeFile) {
  PrepareDrive();
  ASSERT_TRUE(fs::is_directory(windows()));
  std::string longer(5000, 'x');
  ASSERT_TRUE(WriteFileBytes("C:\\Windows\\win8.she", Bytes(longer)));
  EXPECT_EQ(ReadFile(windows() / "win8.she"), longer);
  std::string shorter = ".SHE\0short";
  ASSERT_TRUE(WriteFileBytes("C:\\Windows\\win8.she", Bytes(shorter)));
  EXPECT_EQ(ReadFile(windows() / "win8.she"), shorter);  // truncated, not overlaid
}

TEST_F(DriveTest, WriteFailsWithoutItsFolderOrOverAFolder) {
  EXPECT_FALSE(WriteFileBytes("C:\\Windows\\jedata.dll", Bytes("abc")));  // no drive yet
  PrepareDrive();
  fs::create_directory(windows() / "jedata.dll");
  EXPECT_FALSE(WriteFileBytes("C:\\Windows\\jedata.dll", Bytes("abc")));
}

TEST_F(DriveTest, WriteFailsWhileAnotherProgramHoldsTheFileAndLeavesItAlone) {
  PrepareDrive();
  ASSERT_TRUE(WriteFileBytes("C:\\Windows\\jedata.dll", Bytes("earlier copy")));
  // A running program that has loaded the library holds its file shared.
  int holder = ::open((windows() / "jedata.dll").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(holder, LOCK_SH), 0);
  EXPECT_FALSE(WriteFileBytes("C:\\Windows\\jedata.dll", Bytes("new")));
  EXPECT_EQ(ReadFile(windows() / "jedata.dll"), "earlier copy");
  ::close(holder);
  EXPECT_TRUE(WriteFileBytes("C:\\Windows\\jedata.dll", Bytes("new")));
}

TEST_F(DriveTest, LibrariesComeFromTheProgramFolderFirstThenTheWindowsFolder) {
  PrepareDrive();
  const std::string name = "probe" + std::to_string(::getpid()) + ".dll";
  fs::path inProgramFolder = fs::path(ProgramFolder()) / name;
  fs::copy_file("/lib/x86_64-linux-gnu/libz.so.1", windows() / name);
  fs::copy_file("/lib/x86_64-linux-gnu/libm.so.6", inProgramFolder);
  // libm (program folder) has cos, libz (Windows folder) has zlibVersion.
  auto* cosine = ImportFunction<double(double)>(name, "cos");
  fs::remove(inProgramFolder);
  ASSERT_NE(cosine, nullptr);
  EXPECT_EQ(cosine(0.0), 1.0);
  EXPECT_EQ(ImportFunction(name, "zlibVersion"), nullptr);
  EXPECT_EQ(ImportFunction(name, "no_such_export"), nullptr);

  const std::string other = "other" + std::to_string(::getpid()) + ".dll";
  fs::copy_file("/lib/x86_64-linux-gnu/libz.so.1", windows() / other);
  auto* version = ImportFunction<const char*()>(other, "zlibVersion");
  ASSERT_NE(version, nullptr);
  EXPECT_NE(std::string(version()), "");
  // Loaded, the file is held: it cannot be replaced under the running program.
  EXPECT_FALSE(WriteFileBytes("C:\\Windows\\" + other, Bytes("junk")));
}

TEST_F(DriveTest, MissingOrBrokenLibrariesGiveNull) {
  PrepareDrive();
  EXPECT_EQ(LoadLibraryByName("absent.dll"), nullptr);
  EXPECT_EQ(ImportFunction("absent.dll", "SkinH_AttachEx"), nullptr);
  std::ofstream(windows() / "broken.dll") << "not a library";
  EXPECT_EQ(LoadLibraryByName("broken.dll"), nullptr);
  EXPECT_EQ(LoadLibraryByName("../Windows/broken.dll"), nullptr);  // bare names only
}

TEST(WideCharToMultiByte, MeasuresThenConvertsWithTheNul) {
  const char16_t glyph[] = {0xE052, 0};
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, glyph, -1, nullptr, 0, nullptr, nullptr), 3);
  char out[3] = {1, 1, 1};
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, glyph, -1, out, 3, nullptr, nullptr), 3);
  EXPECT_EQ(std::string(out, 3), std::string("\xAA\xF3\0", 3));
  // The last frame of the busy ring, and plain text.
  const char16_t last[] = {0xE0CB, 0};
  ASSERT_EQ(WideCharToMultiByte(936, 0, last, -1, out, 3, nullptr, nullptr), 3);
  EXPECT_EQ(std::string(out, 2), "\xAC\xB0");
  const char16_t text[] = u"信息：";
  char gbk[16] = {};
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, gbk, sizeof gbk, nullptr, nullptr), 7);
  EXPECT_STREQ(gbk, "信息：");  // this file's literals are GBK too
}

TEST(WideCharToMultiByte, FailsOnASmallBufferAndUnsupportedArguments) {
  const char16_t glyph[] = {0xE052, 0};
  char out[8];
  int used = 0;
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, glyph, -1, out, 2, nullptr, nullptr), 0);
  EXPECT_EQ(WideCharToMultiByte(65001, 0, glyph, -1, out, 8, nullptr, nullptr), 0);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0x400, glyph, -1, out, 8, nullptr, nullptr), 0);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, glyph, -1, out, 8, "*", &used), 0);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, glyph, 0, out, 8, nullptr, nullptr), 0);
  // A given length without the NUL converts without it.
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, glyph, 1, out, 8, nullptr, nullptr), 2);
}

int exitRoutineRuns = 0;
void CountingExitRoutine() {
  std::fprintf(stderr, "exit routine run %d\n", ++exitRoutineRuns);
}

TEST(ProcessEnd, TheExitRoutineRunsOnceAtANormalEnd) {
  EXPECT_EXIT(
      {
        RegisterExitRoutine(CountingExitRoutine);
        EndProcess(0);
      },
      testing::ExitedWithCode(0), "^exit routine run 1\n$");
  EXPECT_EXIT(
      {
        RegisterExitRoutine(CountingExitRoutine);
        std::exit(0);
      },
      testing::ExitedWithCode(0), "^exit routine run 1\n$");
}

TEST(ProcessEnd, AFatalEndSkipsTheExitRoutine) {
  EXPECT_EXIT(
      {
        RegisterExitRoutine(CountingExitRoutine);
        EndProcessFatally();
      },
      testing::ExitedWithCode(255), "^$");
}

}  // namespace
