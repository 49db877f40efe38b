// The skin file format read by the skin engine (all integers little-endian):
//
//   offset  size  field
//        0     4  magic ".SHE"
//        4     2  format version, 1
//        6     2  header length, 24
//        8     4  palette text length P
//       12     4  style sheet length S
//       16     4  CRC-32 (the zlib/PNG polynomial) of the P + S bytes after the header
//       20     4  reserved, 0
//       24     P  palette: UTF-8 lines "Role = #rrggbb" (QPalette colour role names)
//   24 + P     S  Qt style sheet, UTF-8
//
// A file is valid only when it is exactly 24 + P + S bytes long and every field checks out.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace skinh {

inline constexpr std::size_t kHeaderLength = 24;
inline constexpr std::uint16_t kFormatVersion = 1;
// Skin files are a few kilobytes; anything far larger is not one of ours.
inline constexpr std::size_t kMaxSkinFileLength = 1 << 20;

struct SkinFile {
  std::string palette;
  std::string styleSheet;
};

// The CRC-32 used by zlib and PNG; Crc32("123456789") is 0xCBF43926.
std::uint32_t Crc32(std::span<const unsigned char> bytes);

// Splits the bytes of a skin file into its two texts; nullopt when they are not a valid file.
std::optional<SkinFile> ParseSkinFile(std::span<const unsigned char> bytes);

// The local file behind `path`: "C:\\dir\\name" names
// $XDG_DATA_HOME/qorvella/drive_c/dir/name (XDG_DATA_HOME defaults to ~/.local/share);
// any other path is a native one and used as it is.
std::string LocalSkinPath(const std::string& path);

}  // namespace skinh
