#include "platform/win/library.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "platform/win/paths.h"

namespace {

std::mutex& LibraryMutex() {
  static std::mutex mutex;
  return mutex;
}

// Loaded libraries by bare name. Never unloaded: the process ends with them.
std::map<std::string, void*, std::less<>>& Loaded() {
  static auto* loaded = new std::map<std::string, void*, std::less<>>;
  return *loaded;
}

std::map<std::pair<std::string, std::string>, void*>& Resolved() {
  static auto* resolved = new std::map<std::pair<std::string, std::string>, void*>;
  return *resolved;
}

bool IsFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void* LoadFrom(const std::string& path) {
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return nullptr;
  // The descriptor stays open (and locked shared) for the life of the process.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0 && ::flock(fd, LOCK_SH | LOCK_NB) != 0) ::close(fd);
  return handle;
}

void* LoadLocked(std::string_view name) {
  auto found = Loaded().find(name);
  if (found != Loaded().end()) return found->second;
  if (name.empty() || name.find('/') != std::string_view::npos) return nullptr;
  for (const std::string& folder : {ProgramFolder(), WindowsFolder()}) {
    std::string path = folder + std::string(name);
    if (!IsFile(path)) continue;
    void* handle = LoadFrom(path);
    if (handle != nullptr) Loaded().emplace(std::string(name), handle);
    return handle;
  }
  return nullptr;
}

}  // namespace

void* LoadLibraryByName(std::string_view name) {
  std::lock_guard lock(LibraryMutex());
  return LoadLocked(name);
}

void* ImportFunction(std::string_view library, std::string_view function) {
  std::lock_guard lock(LibraryMutex());
  auto key = std::make_pair(std::string(library), std::string(function));
  auto found = Resolved().find(key);
  if (found != Resolved().end()) return found->second;
  void* handle = LoadLocked(library);
  if (handle == nullptr) return nullptr;
  void* address = ::dlsym(handle, key.second.c_str());
  if (address != nullptr) Resolved().emplace(std::move(key), address);
  return address;
}
