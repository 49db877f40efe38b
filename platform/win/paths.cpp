#include "platform/win/paths.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string DataHome() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  // An XDG base directory must be absolute; a relative one is ignored as the standard says.
  if (xdg != nullptr && xdg[0] == '/') return WithSlash(xdg);
  const char* home = std::getenv("HOME");
  return WithSlash(home != nullptr && home[0] != '\0' ? home : "/tmp") + ".local/share/";
}

}  // namespace

std::string DriveFolder() {
  return DataHome() + "qorvella/drive_c/";
}

std::string MapWindowsPath(std::string_view windowsPath) {
  std::string rest;
  bool onDriveC = windowsPath.size() >= 3 && (windowsPath[0] == 'C' || windowsPath[0] == 'c') &&
                  windowsPath[1] == ':' && windowsPath[2] == '\\';
  std::string_view tail = onDriveC ? windowsPath.substr(3) : windowsPath;
  for (char c : tail) rest += c == '\\' ? '/' : c;
  return onDriveC ? DriveFolder() + rest : rest;
}

std::string WindowsFolder() {
  return MapWindowsPath("C:\\Windows\\");
}

void PrepareDrive() {
  std::error_code ignored;
  std::filesystem::create_directories(WindowsFolder(), ignored);
}

std::string ProgramFolder() {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "./";
  return WithSlash(program.parent_path().string());
}
