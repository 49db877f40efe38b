// The program's process, started as a user starts it: files written at start, the skin
// engine loaded by name, the exit codes. Each start gets its own drive folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

#include "resources/resources.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Image(ResourceImage image) {
  return std::string(reinterpret_cast<const char*>(image.data()), image.size());
}

class ProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::temp_directory_path() / ("qorvella-program-" + std::to_string(::getpid()) + "-" +
                                         testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(home_);
    fs::create_directories(home_);
  }
  void TearDown() override {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    fs::remove_all(home_);
  }

  fs::path windows() const { return home_ / "qorvella/drive_c/Windows"; }
  fs::path mark() const { return home_ / "shown"; }
  std::string errors() const { return ReadFile(home_ / "stderr"); }

  void Start() {
    pid_ = ::fork();
    ASSERT_GE(pid_, 0);
    if (pid_ == 0) {
      ::setenv("XDG_DATA_HOME", home_.c_str(), 1);
      ::setenv("QORVELLA_STARTUP_MARK", mark().c_str(), 1);
      ::setenv("QORVELLA_MESSAGE_BOX_AUTOCLOSE_MS", "100", 1);
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      int err = ::open((home_ / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(err, 2);
      ::execl(QORVELLA_PROGRAM, QORVELLA_PROGRAM, static_cast<char*>(nullptr));
      ::_exit(127);
    }
  }

  // The exit code, or nothing when the program has not ended within `limit`.
  std::optional<int> WaitForEnd(std::chrono::milliseconds limit) {
    if (pid_ <= 0) return std::nullopt;  // never started, or reaped already
    auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(20ms);
    }
    return std::nullopt;
  }

  bool WaitForMainWindow() {
    auto end = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < end) {
      if (fs::exists(mark()) && fs::file_size(mark()) > 0) return true;
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return false;
      }
      std::this_thread::sleep_for(20ms);
    }
    return false;
  }

  // Ends the program as the end of the desktop session does: every window closes.
  // Nothing when the program has ended already: kill(-1) would signal every process we may.
  std::optional<int> CloseAll() {
    if (pid_ <= 0) return std::nullopt;
    ::kill(pid_, SIGTERM);
    return WaitForEnd(30s);
  }

  fs::path home_;
  pid_t pid_ = -1;
};

TEST_F(ProgramTest, StartWritesTheEmbeddedFilesAndTheLastWindowEndsItWithZero) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(WaitForMainWindow()) << errors();
  EXPECT_EQ(ReadFile(windows() / "jedata.dll"), Image(SkinEngineImage));
  EXPECT_EQ(ReadFile(windows() / "win8.she"), Image(SkinFileImage));
  EXPECT_EQ(CloseAll(), 0);
}

TEST_F(ProgramTest, StartReplacesExistingFiles) {
  fs::create_directories(windows());
  std::ofstream(windows() / "jedata.dll") << std::string(200000, 'x');  // longer than the image
  std::ofstream(windows() / "win8.she") << "old skin";
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(WaitForMainWindow()) << errors();
  EXPECT_EQ(ReadFile(windows() / "jedata.dll"), Image(SkinEngineImage));
  EXPECT_EQ(ReadFile(windows() / "win8.she"), Image(SkinFileImage));
  EXPECT_EQ(CloseAll(), 0);
}

TEST_F(ProgramTest, AnEarlierCopyThatCannotBeReplacedIsLoaded) {
  // The copy of an earlier start, held by a program that still runs with it loaded. Trailing
  // bytes mark it: a library loads with them, and they show that the write did not happen.
  fs::create_directories(windows());
  std::string earlier = Image(SkinEngineImage) + "earlier copy";
  std::ofstream(windows() / "jedata.dll", std::ios::binary) << earlier;
  int holder = ::open((windows() / "jedata.dll").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(holder, LOCK_SH), 0);
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_TRUE(WaitForMainWindow()) << errors();
  EXPECT_EQ(CloseAll(), 0);
  ::close(holder);
  EXPECT_EQ(ReadFile(windows() / "jedata.dll"), earlier);
}

TEST_F(ProgramTest, NoWriteAccessAndNoCopyEndsBeforeAnyWindowWithMinusOne) {
  // Nothing can be written under a Windows "folder" that is a file, even by root.
  fs::create_directories(windows().parent_path());
  std::ofstream(windows()) << "not a folder";
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_EQ(WaitForEnd(60s), 255);
  EXPECT_FALSE(fs::exists(mark()));
  std::string message = errors();
  EXPECT_NE(message.find("jedata.dll"), std::string::npos) << message;
  EXPECT_NE(message.find("SkinH_AttachEx"), std::string::npos) << message;
}

}  // namespace
