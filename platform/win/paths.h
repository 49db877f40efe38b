// Windows paths of the program mapped onto this system. "C:\\" is the per-user drive folder
// $XDG_DATA_HOME/qorvella/drive_c/ (by default ~/.local/share/qorvella/drive_c/), so
// "C:\\Windows\\jedata.dll" is drive_c/Windows/jedata.dll there.
#pragma once

#include <string>
#include <string_view>

// The drive folder, ending in "/".
std::string DriveFolder();
// "C:\\Windows\\win8.she" -> "<drive folder>Windows/win8.she" (the drive letter in either
// case). A path on another drive or without one is returned with "/" for "\\".
std::string MapWindowsPath(std::string_view windowsPath);
// The mapped "C:\\Windows" folder, ending in "/".
std::string WindowsFolder();
// Creates the drive folder and its Windows folder when they are missing, as a Windows
// system always has them. Failures are ignored: later writes then fail.
void PrepareDrive();
// The folder of the running program file, ending in "/".
std::string ProgramFolder();
