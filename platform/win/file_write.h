// Writing a whole file, as the program does with the skin engine and the skin file.
#pragma once

#include <span>
#include <string_view>

// Writes `bytes` to the file at the Windows path `windowsPath` (see paths.h): creates it or
// truncates an existing one, writes every byte, closes it. While open, the file is held
// exclusively; a library loaded from it by LoadLibraryByName, in this or another running
// program, holds it shared, so the write then fails, as on Windows, instead of changing a
// library under a running program. Returns false on any failure.
bool WriteFileBytes(std::string_view windowsPath, std::span<const unsigned char> bytes);
