#include "platform/win/file_write.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/win/paths.h"

namespace {

bool WriteAll(int fd, std::span<const unsigned char> bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes = bytes.subspan(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

bool WriteFileBytes(std::string_view windowsPath, std::span<const unsigned char> bytes) {
  std::string path = MapWindowsPath(windowsPath);
  // No O_TRUNC here: the file may be a loaded library, and it is truncated only once the
  // exclusive lock shows that nobody holds it.
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::ftruncate(fd, 0) == 0 && WriteAll(fd, bytes);
  ok = ::close(fd) == 0 && ok;  // closing also releases the lock
  return ok;
}
